// XML texts for the notification forms and the message queue, and the call of a web service
// through the suite's web-service library "CallWebService.dll".
#pragma once

#include <string>
#include <string_view>

#include "platform/xml/XmlDom.h"

// An empty document that does not validate while parsing.
xml::Document NewXmlDocument();
// A new document loaded from the text. A text that does not parse gives a document without
// root element; nothing is reported.
xml::Document LoadXmlText(std::string_view text);
// The text with an XML declaration, an encoding and the document type that declares the
// entity stdd added where they are missing, so that answers of outside services parse.
std::string NormalizeXmlHeader(std::string_view text);
xml::Document LoadXmlNormalized(std::string_view text);

// The first node the path expression name selects from node; when there is none and create is
// set, a new element called name appended to node; else the null node.
xml::Node FindOrCreateChild(const xml::Node& node, std::string_view name, bool create);
// The attribute's value; empty when the attribute is absent or the element is the null node.
std::string GetAttr(const xml::Node& element, std::string_view name);
void SetAttr(const xml::Node& element, std::string_view name, std::string_view value);

// Calls method of the web service at address with the request text through the web-service
// library and answers the service's answer, its lines each ended by CR LF. Empty when the
// library or its entry point is missing; a failure of the call raises rtl::Exception.
std::string CallWebService(std::string_view address, std::string_view method, std::string_view request);
// The same through the library named libraryName (a library name or a file path).
std::string CallWebServiceIn(std::string_view libraryName, std::string_view address, std::string_view method,
                             std::string_view request);
