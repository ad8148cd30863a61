// An XML DOM with XPath selection over libxml2, shaped like the platform parser the system used:
// a document loaded from a text or a file, element, attribute and text nodes, node lists and
// attribute maps. Node handles share ownership of their document, so a node stays usable for as
// long as any handle to it exists, even after the document handle is gone or was reloaded.
//
// Texts are UTF-8. A text handed to LoadXML is always read as UTF-8, whatever its declaration
// names; a file read by Load is decoded from the encoding its byte order mark or declaration
// gives (GB2312/GBK/CP936 and Big5/CP950 with the Microsoft tables). Documents never load
// anything from outside: no network, no external DTD, no external entity.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/SysUtils.h"

namespace xml {

namespace detail {
struct DocState;
struct Tree;
// What a handle keeps alive: the document it belongs to and the tree its node lives in (a
// document that is loaded again gets a new tree; handles into the old one stay valid).
struct Ref {
    std::shared_ptr<DocState> owner;
    std::shared_ptr<Tree> tree;
};
}  // namespace detail

// Misuse of the DOM: an operation on a null node, an invalid name or path expression, a node
// appended where it cannot go.
class EXmlError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EXmlError"; }
};

// The outcome of the last load. ErrorCode is 0 after a successful load, else the parser's error
// number (libxml2's xmlParserErrors), with its reason text and position.
struct XmlParseError {
    int ErrorCode = 0;
    std::string Reason;
    int Line = 0;
    int LinePos = 0;
};

enum class NodeType { Element, Attribute, Text, CData, ProcessingInstruction, Comment, Document, DocumentType, Other };

class Document;
class NodeList;
class NamedNodeMap;

class Node {
public:
    Node() = default;  // the null node

    bool IsNull() const noexcept { return node_ == nullptr; }
    explicit operator bool() const noexcept { return node_ != nullptr; }
    // The same node of the same document.
    friend bool operator==(const Node& a, const Node& b) noexcept { return a.node_ == b.node_; }

    // The operations below raise EXmlError on the null node.
    NodeType Type() const;
    // Element and attribute: the qualified name; "#text", "#cdata-section", "#comment",
    // "#document"; a processing instruction's target.
    std::string NodeName() const;
    // The text content: of an element all its descendant text; of an attribute its value.
    std::string Text() const;
    // The node serialised as XML (an attribute as name="value").
    std::string Xml() const;

    Node SelectSingleNode(std::string_view xpath) const;  // null when nothing matches
    NodeList SelectNodes(std::string_view xpath) const;

    NodeList ChildNodes() const;  // empty for attributes and text
    Node ParentNode() const;      // null for attributes, the document node and unattached nodes
    NamedNodeMap Attributes() const;  // empty unless an element
    bool HasAttribute(std::string_view name) const;
    std::string GetAttribute(std::string_view name) const;  // empty when absent
    void SetAttribute(std::string_view name, std::string_view value);  // elements only

    // Appends child as the last child of this element or document node and returns it. A node
    // of this document moves from where it was; a node of another document is copied in, and
    // the copy is returned.
    Node AppendChild(const Node& child);

    Document OwnerDocument() const;

private:
    friend class Document;
    friend class NodeList;
    friend class NamedNodeMap;
    Node(detail::Ref doc, void* node) : doc_(std::move(doc)), node_(node) {}
    void* Checked() const;

    detail::Ref doc_;
    void* node_ = nullptr;  // xmlNodePtr (or xmlAttrPtr, xmlDocPtr: same leading layout)
};

class NodeList {
public:
    NodeList() = default;
    int Length() const noexcept { return static_cast<int>(nodes_.size()); }
    Node Item(int i) const;  // null outside 0 .. Length() - 1

private:
    friend class Node;
    detail::Ref doc_;
    std::vector<void*> nodes_;
};

class NamedNodeMap {
public:
    NamedNodeMap() = default;
    int Length() const noexcept;
    Node Item(int i) const;                          // null outside the range
    Node GetNamedItem(std::string_view name) const;  // null when absent

private:
    friend class Node;
    detail::Ref doc_;
    void* element_ = nullptr;
};

// A document handle. Copies share the same document, as interface references do.
class Document {
public:
    Document();  // a new, empty document (no root element)

    // Kept for the system's code, which switches it off; documents are never validated
    // against a DTD, whatever it says.
    bool ValidateOnParse() const noexcept;
    void SetValidateOnParse(bool on) noexcept;
    // When off (the default, as on the system's parser) text nodes holding only white space
    // are dropped while loading, outside xml:space="preserve".
    bool PreserveWhiteSpace() const noexcept;
    void SetPreserveWhiteSpace(bool on) noexcept;

    // Replace the content by the parsed text or file. False on failure: the document is then
    // empty (no root element) and ParseError() says why.
    bool LoadXML(std::string_view text);
    bool Load(const std::string& path);
    const XmlParseError& ParseError() const noexcept;

    Node DocumentElement() const;  // null when the document is empty
    Node AsNode() const;           // the document node
    Node CreateElement(std::string_view name);  // not yet attached; raises EXmlError on a bad name
    Node AppendChild(const Node& child) { return AsNode().AppendChild(child); }
    Node SelectSingleNode(std::string_view xpath) const { return AsNode().SelectSingleNode(xpath); }
    NodeList SelectNodes(std::string_view xpath) const { return AsNode().SelectNodes(xpath); }
    NodeList ChildNodes() const { return AsNode().ChildNodes(); }
    // The top-level nodes (document type, comments, the root element) serialised, each
    // followed by CR LF; no XML declaration, since the text is no longer in the file's encoding.
    std::string Xml() const { return AsNode().Xml(); }

    friend bool operator==(const Document& a, const Document& b) noexcept { return a.state_ == b.state_; }

private:
    friend class Node;
    explicit Document(std::shared_ptr<detail::DocState> state) : state_(std::move(state)) {}
    bool Parse(std::string_view utf8OrBytes, bool forceUtf8);

    std::shared_ptr<detail::DocState> state_;
};

}  // namespace xml
