#include "platform/xml/XmlDom.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>

#include "platform/rtl/CodePages.h"

namespace xml {

namespace detail {

// One libxml2 tree and the nodes created for it that are not (or not yet) attached to it.
// Every handle into the tree holds it, so nothing is freed while a handle can reach it.
struct Tree {
    xmlDocPtr doc = nullptr;
    std::vector<xmlNodePtr> created;

    explicit Tree(xmlDocPtr d) : doc(d) {}
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;
    ~Tree() {
        // Collect the detached ones first: freeing one may free others appended below it.
        std::vector<xmlNodePtr> detached;
        for (xmlNodePtr n : created)
            if (n->parent == nullptr) detached.push_back(n);
        for (xmlNodePtr n : detached) xmlFreeNode(n);
        xmlFreeDoc(doc);
    }
};

struct DocState {
    std::shared_ptr<Tree> tree;
    bool validateOnParse = false;
    bool preserveWhiteSpace = false;
    XmlParseError error;
};

}  // namespace detail

namespace {

using detail::DocState;
using detail::Tree;

// The parse running on this thread. Its address marks our parser contexts (libxml2 copies
// _private into the contexts it makes for entities), and it keeps the parse's first fatal
// error: the cause, where the context's last error is often only a consequence.
struct ParseState {
    bool haveError = false;
    int code = 0;
    std::string message;
    int line = 0;
    int column = 0;
};
thread_local ParseState* activeParse = nullptr;
xmlExternalEntityLoader previousLoader = nullptr;

// Our documents load nothing from outside: no external DTD, no external entity, no network.
xmlParserInputPtr RefusingEntityLoader(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
    if (ctxt != nullptr && activeParse != nullptr && ctxt->_private == activeParse) return nullptr;
    return previousLoader ? previousLoader(url, id, ctxt) : nullptr;
}

void SilentStructuredError(void*, xmlErrorPtr) {}

std::string TrimmedMessage(const char* message);

// Keeps errors in the context instead of printing them, noting the first fatal one.
void RecordParseError(void*, xmlErrorPtr e) {
    ParseState* st = activeParse;
    if (st == nullptr || e == nullptr || st->haveError || e->level != XML_ERR_FATAL) return;
    st->haveError = true;
    st->code = e->code;
    st->line = e->line;
    st->column = e->int2;
    try {
        st->message = TrimmedMessage(e->message);
    } catch (...) {
        // Called from C; the code alone must do.
    }
}

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        previousLoader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(RefusingEntityLoader);
    });
}

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }
const char* C(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

std::string TakeXmlString(xmlChar* s) {
    if (s == nullptr) return {};
    std::string out(C(s));
    xmlFree(s);
    return out;
}

std::string NulFree(std::string_view s, const char* what) {
    if (s.find('\0') != std::string_view::npos) throw EXmlError(std::string(what) + " holds a NUL character");
    return std::string(s);
}

void SetUtf8Encoding(xmlDocPtr doc) {
    // The tree holds UTF-8 whatever the source was; saying so makes the serialiser write the
    // characters as they are instead of character references.
    if (doc->encoding) xmlFree(const_cast<xmlChar*>(doc->encoding));
    doc->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
}

std::shared_ptr<Tree> AdoptTree(xmlDocPtr doc) {
    try {
        return std::make_shared<Tree>(doc);
    } catch (...) {
        xmlFreeDoc(doc);
        throw;
    }
}

std::shared_ptr<Tree> NewEmptyTree() {
    xmlDocPtr doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (doc == nullptr) throw std::bad_alloc();
    SetUtf8Encoding(doc);
    return AdoptTree(doc);
}

bool IsBlank(const xmlChar* s) {
    if (s == nullptr) return true;
    for (; *s; ++s)
        if (*s != ' ' && *s != '\t' && *s != '\r' && *s != '\n') return false;
    return true;
}

// Drops text nodes made only of white space, as the system's parser does unless asked to
// preserve white space; xml:space="preserve" keeps them.
void DropBlankText(xmlNodePtr parent) {
    xmlNodePtr child = parent->children;
    while (child != nullptr) {
        xmlNodePtr next = child->next;
        if (child->type == XML_TEXT_NODE && IsBlank(child->content) && xmlNodeGetSpacePreserve(parent) != 1) {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        } else if (child->type == XML_ELEMENT_NODE) {
            DropBlankText(child);
        }
        child = next;
    }
}

std::string Serialise(xmlNodePtr node) {
    xmlBufferPtr buf = xmlBufferCreate();
    if (buf == nullptr) throw std::bad_alloc();
    xmlSaveCtxtPtr save = xmlSaveToBuffer(buf, "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_AS_XML);
    if (save == nullptr) {
        xmlBufferFree(buf);
        throw EXmlError("cannot serialise the node");
    }
    xmlSaveTree(save, node);
    xmlSaveClose(save);
    std::string out(C(xmlBufferContent(buf)), static_cast<std::size_t>(xmlBufferLength(buf)));
    xmlBufferFree(buf);
    return out;
}

std::string QualifiedName(xmlNodePtr n) {
    std::string name = n->name ? C(n->name) : "";
    if (n->ns != nullptr && n->ns->prefix != nullptr) return std::string(C(n->ns->prefix)) + ":" + name;
    return name;
}

xmlAttrPtr FindAttribute(xmlNodePtr element, std::string_view name) {
    if (element->type != XML_ELEMENT_NODE) return nullptr;
    for (xmlAttrPtr a = element->properties; a != nullptr; a = a->next)
        if (QualifiedName(reinterpret_cast<xmlNodePtr>(a)) == name) return a;
    return nullptr;
}

bool IsContainer(xmlNodePtr n) { return n->type == XML_ELEMENT_NODE || n->type == XML_DOCUMENT_NODE; }

// Links child last under parent without merging it into a neighbouring text node (libxml2's
// xmlAddChild would merge and free it, leaving handles to it dangling).
void LinkLast(xmlNodePtr parent, xmlNodePtr child) {
    xmlUnlinkNode(child);
    child->parent = parent;
    child->next = nullptr;
    child->prev = parent->last;
    if (parent->last != nullptr)
        parent->last->next = child;
    else
        parent->children = child;
    parent->last = child;
}

std::string TrimmedMessage(const char* message) {
    std::string s = message ? message : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

// The encoding named in the declaration at the start of the bytes, or empty.
std::string DeclaredEncoding(std::string_view bytes) {
    if (bytes.substr(0, 5) != "<?xml") return {};
    std::size_t end = bytes.find("?>");
    if (end == std::string_view::npos) return {};
    std::string_view decl = bytes.substr(0, end);
    std::size_t at = decl.find("encoding");
    if (at == std::string_view::npos) return {};
    std::size_t i = at + 8;
    auto skipBlanks = [&] {
        while (i < decl.size() && (decl[i] == ' ' || decl[i] == '\t' || decl[i] == '\r' || decl[i] == '\n')) ++i;
    };
    skipBlanks();
    if (i >= decl.size() || decl[i] != '=') return {};
    ++i;
    skipBlanks();
    if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\'')) return {};
    char quote = decl[i++];
    std::size_t close = decl.find(quote, i);
    if (close == std::string_view::npos) return {};
    return std::string(decl.substr(i, close - i));
}

// The Windows code page whose Microsoft table decodes a declared encoding, or 0 to leave the
// bytes to libxml2. GB2312 is read as its superset GBK, as the system's parser reads it.
int CodePageOfEncoding(std::string enc) {
    enc = rtl::LowerCase(enc);
    for (const char* name : {"gb2312", "gbk", "cp936", "windows-936", "ms936", "x-gbk", "gb_2312-80", "csgb2312"})
        if (enc == name) return rtl::CP_GBK;
    for (const char* name : {"big5", "cp950", "windows-950", "ms950", "x-big5", "csbig5"})
        if (enc == name) return rtl::CP_BIG5;
    return 0;
}

}  // namespace

// ---- Node ------------------------------------------------------------------------------------

void* Node::Checked() const {
    if (node_ == nullptr) throw EXmlError("operation on a null node");
    return node_;
}

NodeType Node::Type() const {
    switch (static_cast<xmlNodePtr>(Checked())->type) {
        case XML_ELEMENT_NODE: return NodeType::Element;
        case XML_ATTRIBUTE_NODE: return NodeType::Attribute;
        case XML_TEXT_NODE: return NodeType::Text;
        case XML_CDATA_SECTION_NODE: return NodeType::CData;
        case XML_PI_NODE: return NodeType::ProcessingInstruction;
        case XML_COMMENT_NODE: return NodeType::Comment;
        case XML_DOCUMENT_NODE: return NodeType::Document;
        case XML_DTD_NODE: return NodeType::DocumentType;
        default: return NodeType::Other;
    }
}

std::string Node::NodeName() const {
    auto n = static_cast<xmlNodePtr>(Checked());
    switch (n->type) {
        case XML_ELEMENT_NODE:
        case XML_ATTRIBUTE_NODE: return QualifiedName(n);
        case XML_TEXT_NODE: return "#text";
        case XML_CDATA_SECTION_NODE: return "#cdata-section";
        case XML_COMMENT_NODE: return "#comment";
        case XML_DOCUMENT_NODE: return "#document";
        default: return n->name ? C(n->name) : "";
    }
}

std::string Node::Text() const {
    return TakeXmlString(xmlNodeGetContent(static_cast<xmlNodePtr>(Checked())));
}

std::string Node::Xml() const {
    auto n = static_cast<xmlNodePtr>(Checked());
    if (n->type == XML_DOCUMENT_NODE) {
        std::string out;
        for (xmlNodePtr c = n->children; c != nullptr; c = c->next) out += Serialise(c) + "\r\n";
        return out;
    }
    std::string out = Serialise(n);
    if (n->type == XML_ATTRIBUTE_NODE && !out.empty() && out.front() == ' ') out.erase(0, 1);
    return out;
}

NodeList Node::SelectNodes(std::string_view xpath) const {
    auto n = static_cast<xmlNodePtr>(Checked());
    std::string expr = NulFree(xpath, "path expression");
    InitLibrary();
    xmlDocPtr doc = n->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(n) : n->doc;
    xmlXPathContextPtr ctx = xmlXPathNewContext(doc);
    if (ctx == nullptr) throw std::bad_alloc();
    ctx->node = n;
    ctx->error = SilentStructuredError;
    xmlXPathObjectPtr result = xmlXPathEvalExpression(X(expr), ctx);
    if (result == nullptr) {
        std::string reason = TrimmedMessage(ctx->lastError.message);
        xmlXPathFreeContext(ctx);
        throw EXmlError("invalid path expression \"" + expr + "\"" + (reason.empty() ? "" : ": " + reason));
    }
    NodeList list;
    list.doc_ = doc_;
    if (result->type != XPATH_NODESET) {
        xmlXPathFreeObject(result);
        xmlXPathFreeContext(ctx);
        throw EXmlError("the path expression \"" + expr + "\" does not select nodes");
    }
    if (result->nodesetval != nullptr) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
            xmlNodePtr found = result->nodesetval->nodeTab[i];
            // Namespace nodes in a result are temporary copies; they are not part of the tree.
            if (found != nullptr && found->type != XML_NAMESPACE_DECL) list.nodes_.push_back(found);
        }
    }
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(ctx);
    return list;
}

Node Node::SelectSingleNode(std::string_view xpath) const {
    return SelectNodes(xpath).Item(0);
}

NodeList Node::ChildNodes() const {
    auto n = static_cast<xmlNodePtr>(Checked());
    NodeList list;
    list.doc_ = doc_;
    if (IsContainer(n))
        for (xmlNodePtr c = n->children; c != nullptr; c = c->next) list.nodes_.push_back(c);
    return list;
}

Node Node::ParentNode() const {
    auto n = static_cast<xmlNodePtr>(Checked());
    if (n->type == XML_ATTRIBUTE_NODE || n->type == XML_DOCUMENT_NODE || n->parent == nullptr) return {};
    return Node(doc_, n->parent);
}

NamedNodeMap Node::Attributes() const {
    auto n = static_cast<xmlNodePtr>(Checked());
    NamedNodeMap map;
    if (n->type == XML_ELEMENT_NODE) {
        map.doc_ = doc_;
        map.element_ = n;
    }
    return map;
}

bool Node::HasAttribute(std::string_view name) const {
    return FindAttribute(static_cast<xmlNodePtr>(Checked()), name) != nullptr;
}

std::string Node::GetAttribute(std::string_view name) const {
    xmlAttrPtr a = FindAttribute(static_cast<xmlNodePtr>(Checked()), name);
    return a ? TakeXmlString(xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(a))) : std::string();
}

void Node::SetAttribute(std::string_view name, std::string_view value) {
    auto n = static_cast<xmlNodePtr>(Checked());
    if (n->type != XML_ELEMENT_NODE) throw EXmlError("attributes can only be set on an element");
    std::string nm = NulFree(name, "attribute name");
    std::string val = NulFree(value, "attribute value");
    if (xmlValidateQName(X(nm), 0) != 0) throw EXmlError("invalid attribute name \"" + nm + "\"");
    // Replaces the value of an existing attribute in place, so handles to it stay valid.
    if (xmlSetProp(n, X(nm), X(val)) == nullptr) throw EXmlError("cannot set the attribute \"" + nm + "\"");
}

Node Node::AppendChild(const Node& child) {
    auto parent = static_cast<xmlNodePtr>(Checked());
    auto c = static_cast<xmlNodePtr>(child.Checked());
    if (!IsContainer(parent)) throw EXmlError("only elements and documents take children");
    switch (c->type) {
        case XML_ELEMENT_NODE:
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE: break;
        default: throw EXmlError("a node of this kind cannot be appended as a child");
    }
    xmlDocPtr parentDoc = parent->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(parent) : parent->doc;
    if (parent->type == XML_DOCUMENT_NODE) {
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE)
            throw EXmlError("text cannot stand at the top of a document");
        if (c->type == XML_ELEMENT_NODE) {
            xmlNodePtr root = xmlDocGetRootElement(parentDoc);
            if (root != nullptr && root != c) throw EXmlError("a document has only one root element");
        }
    }

    if (c->doc != parentDoc) {
        // From another tree: names and strings belong to that tree, so copy the node in.
        xmlNodePtr copy = xmlDocCopyNode(c, parentDoc, 1);
        if (copy == nullptr) throw std::bad_alloc();
        LinkLast(parent, copy);
        return Node(doc_, copy);
    }
    for (xmlNodePtr p = parent; p != nullptr; p = p->parent)
        if (p == c) throw EXmlError("a node cannot be appended below itself");
    LinkLast(parent, c);
    return Node(doc_, c);
}

Document Node::OwnerDocument() const {
    Checked();
    return Document(doc_.owner);
}

// ---- NodeList and NamedNodeMap -----------------------------------------------------------------

Node NodeList::Item(int i) const {
    if (i < 0 || i >= Length()) return {};
    return Node(doc_, nodes_[static_cast<std::size_t>(i)]);
}

int NamedNodeMap::Length() const noexcept {
    int count = 0;
    if (element_ != nullptr)
        for (xmlAttrPtr a = static_cast<xmlNodePtr>(element_)->properties; a != nullptr; a = a->next) ++count;
    return count;
}

Node NamedNodeMap::Item(int i) const {
    if (element_ == nullptr || i < 0) return {};
    xmlAttrPtr a = static_cast<xmlNodePtr>(element_)->properties;
    for (; a != nullptr && i > 0; a = a->next) --i;
    return a ? Node(doc_, a) : Node();
}

Node NamedNodeMap::GetNamedItem(std::string_view name) const {
    if (element_ == nullptr) return {};
    xmlAttrPtr a = FindAttribute(static_cast<xmlNodePtr>(element_), name);
    return a ? Node(doc_, a) : Node();
}

// ---- Document --------------------------------------------------------------------------------

Document::Document() : state_(std::make_shared<DocState>()) {
    InitLibrary();
    state_->tree = NewEmptyTree();
}

bool Document::ValidateOnParse() const noexcept { return state_->validateOnParse; }
void Document::SetValidateOnParse(bool on) noexcept { state_->validateOnParse = on; }
bool Document::PreserveWhiteSpace() const noexcept { return state_->preserveWhiteSpace; }
void Document::SetPreserveWhiteSpace(bool on) noexcept { state_->preserveWhiteSpace = on; }
const XmlParseError& Document::ParseError() const noexcept { return state_->error; }

Node Document::AsNode() const {
    return Node(detail::Ref{state_, state_->tree}, state_->tree->doc);
}

Node Document::DocumentElement() const {
    xmlNodePtr root = xmlDocGetRootElement(state_->tree->doc);
    return root ? Node(detail::Ref{state_, state_->tree}, root) : Node();
}

Node Document::CreateElement(std::string_view name) {
    std::string nm = NulFree(name, "element name");
    if (xmlValidateQName(X(nm), 0) != 0) throw EXmlError("invalid element name \"" + nm + "\"");
    Tree& tree = *state_->tree;
    tree.created.reserve(tree.created.size() + 1);
    xmlNodePtr n = xmlNewDocNode(tree.doc, nullptr, X(nm), nullptr);
    if (n == nullptr) throw std::bad_alloc();
    tree.created.push_back(n);
    return Node(detail::Ref{state_, state_->tree}, n);
}

bool Document::LoadXML(std::string_view text) {
    // Our texts are UTF-8 whatever their declaration names.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return Parse(text, true);
}

bool Document::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        int err = errno;
        state_->tree = NewEmptyTree();
        state_->error = XmlParseError{XML_IO_LOAD_ERROR, "cannot open \"" + path + "\": " + std::strerror(err), 0, 0};
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        state_->tree = NewEmptyTree();
        state_->error = XmlParseError{XML_IO_LOAD_ERROR, "cannot read \"" + path + "\"", 0, 0};
        return false;
    }
    std::string_view view(bytes);
    if (view.substr(0, 3) == "\xEF\xBB\xBF") return Parse(view.substr(3), true);
    // UTF-16 and UTF-32 files announce themselves with a byte order mark; libxml2 reads them.
    if (view.substr(0, 2) == "\xFF\xFE" || view.substr(0, 2) == "\xFE\xFF" ||
        view.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4))
        return Parse(view, false);
    if (int cp = CodePageOfEncoding(DeclaredEncoding(view)); cp != 0)
        return Parse(rtl::WideToUtf8Lenient(rtl::DecodeCodePage(view, cp)), true);
    return Parse(view, false);
}

bool Document::Parse(std::string_view text, bool forceUtf8) {
    InitLibrary();
    auto fail = [this](int code, std::string reason, int line, int column) {
        state_->tree = NewEmptyTree();
        state_->error = XmlParseError{code == 0 ? XML_ERR_INTERNAL_ERROR : code, std::move(reason), line, column};
        return false;
    };
    if (text.size() > static_cast<std::size_t>(INT_MAX)) return fail(XML_ERR_INTERNAL_ERROR, "the document is too large", 0, 0);

    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (ctxt == nullptr) throw std::bad_alloc();
    ParseState state;
    struct Activation {
        ParseState* saved;
        explicit Activation(ParseState* s) : saved(activeParse) { activeParse = s; }
        ~Activation() { activeParse = saved; }
    } activation(&state);
    ctxt->_private = &state;
    // Errors stay in the context; nothing is printed.
    ctxt->sax->serror = RecordParseError;
    int options = XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    if (forceUtf8) options |= XML_PARSE_IGNORE_ENC;
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, text.data(), static_cast<int>(text.size()), nullptr,
                                      forceUtf8 ? "UTF-8" : nullptr, options);
    if (doc != nullptr && (!ctxt->wellFormed || xmlDocGetRootElement(doc) == nullptr)) {
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    if (doc == nullptr) {
        xmlErrorPtr e = xmlCtxtGetLastError(ctxt);
        if (!state.haveError && e != nullptr && e->code != XML_ERR_OK) {
            state.code = e->code;
            state.message = TrimmedMessage(e->message);
            state.line = e->line;
            state.column = e->int2;
        } else if (!state.haveError) {
            state.code = XML_ERR_DOCUMENT_EMPTY;
            state.message = "the document has no root element";
        }
        xmlFreeParserCtxt(ctxt);
        return fail(state.code, std::move(state.message), state.line, state.column);
    }
    xmlFreeParserCtxt(ctxt);
    SetUtf8Encoding(doc);
    if (!state_->preserveWhiteSpace) DropBlankText(reinterpret_cast<xmlNodePtr>(doc));
    state_->tree = AdoptTree(doc);
    state_->error = XmlParseError{};
    return true;
}

}  // namespace xml
