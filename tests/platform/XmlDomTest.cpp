#include "platform/xml/XmlDom.h"

#include <gtest/gtest.h>
#include <libxml/xmlerror.h>

#include <string>

#include "platform/rtl/CodePages.h"
#include "support/Fixtures.h"

namespace {

using xml::Document;
using xml::EXmlError;
using xml::Node;
using xml::NodeType;

// A portal-like answer: a Status without code before the one with it, records in two places,
// a Receiver outside MD007 before the one inside it.
const char* const kAnswer =
    "<Response>"
    "<Status Description=\"first\"/>"
    "<Status code=\"0\" Description=\"ok\"/>"
    "<Receiver><R1 ID=\"outside\"/></Receiver>"
    "<Data>"
    "<Record><Field name=\"Id\" value=\"u1\"/><Field name=\"Name\" value=\"张三\"/></Record>"
    "<Record><Field name=\"Name\" value=\"李四\"/><Field name=\"Id\" value=\"u2\"/></Record>"
    "</Data>"
    "<Record><Field name=\"Id\" value=\"u3\"/></Record>"
    "<MD007><Receiver><R1 ID=\"inside\"/><R2 ID=\"second\"/></Receiver><Title Value=\"月报\"/></MD007>"
    "</Response>";

Document Loaded(const std::string& text) {
    Document doc;
    EXPECT_TRUE(doc.LoadXML(text)) << doc.ParseError().Reason;
    return doc;
}

// ---- Selection ---------------------------------------------------------------------------------

struct XPathCase {
    const char* context;  // path from the document to the context node; empty: the document
    const char* xpath;
    int count;
    const char* firstName;  // NodeName of the first node
    const char* firstText;  // its Text, or for an element the ID/value attribute checked below
};

void PrintTo(const XPathCase& c, std::ostream* os) { *os << '"' << c.xpath << "\" from \"" << c.context << '"'; }

class XmlXPath : public ::testing::TestWithParam<XPathCase> {};

TEST_P(XmlXPath, SelectsWhatTheSystemsExpressionsSelect) {
    const XPathCase& c = GetParam();
    Document doc = Loaded(kAnswer);
    Node context = *c.context ? doc.SelectSingleNode(c.context) : doc.AsNode();
    ASSERT_FALSE(context.IsNull());
    xml::NodeList list = context.SelectNodes(c.xpath);
    ASSERT_EQ(list.Length(), c.count);
    Node first = context.SelectSingleNode(c.xpath);
    if (c.count == 0) {
        EXPECT_TRUE(first.IsNull());
        return;
    }
    ASSERT_FALSE(first.IsNull());
    EXPECT_TRUE(first == list.Item(0));
    EXPECT_EQ(first.NodeName(), c.firstName);
    if (first.Type() == NodeType::Attribute) {
        EXPECT_EQ(first.Text(), c.firstText);
    } else {
        std::string key = first.HasAttribute("ID") ? "ID" : first.HasAttribute("code") ? "code" : "value";
        EXPECT_EQ(first.GetAttribute(key), c.firstText);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, XmlXPath,
    ::testing::Values(XPathCase{"", "//Status[@code]", 1, "Status", "0"},
                      XPathCase{"", "//Record", 3, "Record", ""},
                      XPathCase{"(//Record)[2]", "Field[@name='Id']", 1, "Field", "u2"},
                      XPathCase{"(//Record)[3]", "Field[@name='Name']", 0, "", ""},
                      XPathCase{"//MD007/Receiver", "R1", 1, "R1", "inside"},
                      XPathCase{"", "//MD007/Receiver", 1, "Receiver", ""},
                      XPathCase{"", "//MD007/Title/@Value", 1, "Value", "月报"},
                      XPathCase{"//Data", "Record", 2, "Record", ""},
                      XPathCase{"", "R1", 0, "", ""}));

TEST(XmlDom, RecordsComeInDocumentOrderWithTheirFields) {
    Document doc = Loaded(kAnswer);
    xml::NodeList records = doc.SelectNodes("//Record");
    std::vector<std::string> ids;
    for (int i = 0; i < records.Length(); ++i) ids.push_back(records.Item(i).SelectSingleNode("Field[@name='Id']").GetAttribute("value"));
    EXPECT_EQ(ids, (std::vector<std::string>{"u1", "u2", "u3"}));
    EXPECT_TRUE(records.Item(3).IsNull());
    EXPECT_TRUE(records.Item(-1).IsNull());
}

TEST(XmlDom, InvalidOrNonNodePathExpressionsRaise) {
    Document doc = Loaded(kAnswer);
    EXPECT_THROW(doc.SelectNodes("//["), EXmlError);
    EXPECT_THROW(doc.SelectSingleNode("count(//Record)"), EXmlError);
}

// ---- Reading nodes and attributes ----------------------------------------------------------------

TEST(XmlDom, ReadsNamesTextsAndAttributes) {
    Document doc = Loaded("<Root a=\"1 &amp; &quot;2&quot;\" b=\"中文\"><x>one</x><y>t<z>wo</z></y><!--c--></Root>");
    Node root = doc.DocumentElement();
    ASSERT_FALSE(root.IsNull());
    EXPECT_EQ(root.NodeName(), "Root");
    EXPECT_EQ(root.Type(), NodeType::Element);
    EXPECT_EQ(root.Text(), "onetwo");
    EXPECT_EQ(root.GetAttribute("a"), "1 & \"2\"");
    EXPECT_EQ(root.GetAttribute("b"), "中文");
    EXPECT_EQ(root.GetAttribute("missing"), "");
    EXPECT_FALSE(root.HasAttribute("missing"));

    xml::NamedNodeMap attrs = root.Attributes();
    ASSERT_EQ(attrs.Length(), 2);
    EXPECT_EQ(attrs.Item(1).NodeName(), "b");
    EXPECT_TRUE(attrs.Item(2).IsNull());
    Node a = attrs.GetNamedItem("a");
    ASSERT_FALSE(a.IsNull());
    EXPECT_EQ(a.Type(), NodeType::Attribute);
    EXPECT_EQ(a.Text(), "1 & \"2\"");
    EXPECT_EQ(a.Xml(), "a=\"1 &amp; &quot;2&quot;\"");
    EXPECT_TRUE(attrs.GetNamedItem("A").IsNull());  // names are case-sensitive

    xml::NodeList children = root.ChildNodes();
    ASSERT_EQ(children.Length(), 3);
    EXPECT_EQ(children.Item(0).NodeName(), "x");
    EXPECT_EQ(children.Item(2).NodeName(), "#comment");
    EXPECT_EQ(children.Item(0).ChildNodes().Item(0).NodeName(), "#text");
    EXPECT_TRUE(children.Item(0).ParentNode() == root);
    EXPECT_EQ(a.ChildNodes().Length(), 0);
    EXPECT_EQ(a.Attributes().Length(), 0);
}

TEST(XmlDom, DropsBlankTextUnlessAskedToPreserveIt) {
    const std::string text = "<Root>\r\n  <R1/>\r\n  <R2> </R2>\r\n  <P xml:space=\"preserve\"> <q/> </P>\r\n</Root>";
    Document doc = Loaded(text);
    Node root = doc.DocumentElement();
    EXPECT_EQ(root.ChildNodes().Length(), 3);
    EXPECT_EQ(root.SelectSingleNode("R2").ChildNodes().Length(), 0);
    EXPECT_EQ(root.SelectSingleNode("P").ChildNodes().Length(), 3);

    Document kept;
    kept.SetPreserveWhiteSpace(true);
    ASSERT_TRUE(kept.LoadXML(text));
    EXPECT_EQ(kept.DocumentElement().ChildNodes().Length(), 7);
}

TEST(XmlDom, NullNodesRaiseOnUse) {
    Node null;
    EXPECT_TRUE(null.IsNull());
    EXPECT_FALSE(static_cast<bool>(null));
    EXPECT_THROW(null.NodeName(), EXmlError);
    EXPECT_THROW(null.Text(), EXmlError);
    EXPECT_THROW(null.SelectSingleNode("x"), EXmlError);
    EXPECT_THROW(null.SetAttribute("a", "b"), EXmlError);
    Document doc;
    EXPECT_THROW(doc.AppendChild(null), EXmlError);
}

// ---- Building and serialising --------------------------------------------------------------------

TEST(XmlDom, BuildsAndSerialisesADocument) {
    Document doc;
    EXPECT_FALSE(doc.ValidateOnParse());
    EXPECT_TRUE(doc.DocumentElement().IsNull());
    Node root = doc.AppendChild(doc.CreateElement("Root"));
    EXPECT_TRUE(doc.DocumentElement() == root);
    Node r1 = root.AppendChild(doc.CreateElement("R1"));
    r1.SetAttribute("ID", "a&b<\"c>");
    r1.SetAttribute("Name", "张三");
    Node id = r1.Attributes().GetNamedItem("ID");
    r1.SetAttribute("ID", "u1 & co");  // replaced in place, not added
    EXPECT_EQ(id.Text(), "u1 & co");
    root.AppendChild(doc.CreateElement("R2"));
    EXPECT_EQ(root.Xml(), "<Root><R1 ID=\"u1 &amp; co\" Name=\"张三\"/><R2/></Root>");
    EXPECT_EQ(doc.Xml(), "<Root><R1 ID=\"u1 &amp; co\" Name=\"张三\"/><R2/></Root>\r\n");
    EXPECT_EQ(r1.OwnerDocument(), doc);

    Document back = Loaded("<?xml version=\"1.0\" encoding=\"GB2312\"?>" + root.Xml());
    EXPECT_EQ(back.SelectSingleNode("//R1").GetAttribute("ID"), "u1 & co");
    EXPECT_EQ(back.SelectSingleNode("//R1/@Name").Text(), "张三");
}

TEST(XmlDom, RejectsWhatCannotBeBuilt) {
    Document doc;
    EXPECT_THROW(doc.CreateElement("1bad"), EXmlError);
    EXPECT_THROW(doc.CreateElement("a b"), EXmlError);
    Node root = doc.AppendChild(doc.CreateElement("Root"));
    EXPECT_THROW(doc.AppendChild(doc.CreateElement("Second")), EXmlError);
    EXPECT_THROW(root.SetAttribute("bad name", "x"), EXmlError);
    Node child = root.AppendChild(doc.CreateElement("Child"));
    EXPECT_THROW(child.AppendChild(root), EXmlError);
    EXPECT_THROW(child.AppendChild(child), EXmlError);
    root.SetAttribute("a", "1");
    EXPECT_THROW(child.AppendChild(root.Attributes().GetNamedItem("a")), EXmlError);
    EXPECT_EQ(root.Xml(), "<Root a=\"1\"><Child/></Root>");
}

TEST(XmlDom, AppendingMovesWithinADocumentAndCopiesFromAnother) {
    Document doc = Loaded("<a><b>y</b>x</a>");
    Node a = doc.DocumentElement();
    Node y = a.SelectSingleNode("b").ChildNodes().Item(0);
    // Appended after the text "x": the moved text node must stay a node of its own.
    Node moved = a.AppendChild(y);
    EXPECT_TRUE(moved == y);
    EXPECT_EQ(y.Text(), "y");
    ASSERT_EQ(a.ChildNodes().Length(), 3);
    EXPECT_TRUE(a.ChildNodes().Item(2) == y);
    EXPECT_EQ(a.Xml(), "<a><b/>xy</a>");
    Node c = a.AppendChild(doc.CreateElement("c"));
    c.AppendChild(a.SelectSingleNode("b"));
    EXPECT_EQ(a.Xml(), "<a>xy<c><b/></c></a>");

    Document other = Loaded("<o><p k=\"v\">t</p></o>");
    Node p = other.SelectSingleNode("//p");
    Node copy = a.AppendChild(p);
    EXPECT_FALSE(copy == p);
    EXPECT_EQ(a.Xml(), "<a>xy<c><b/></c><p k=\"v\">t</p></a>");
    EXPECT_EQ(other.DocumentElement().Xml(), "<o><p k=\"v\">t</p></o>");
}

// ---- Lifetime ------------------------------------------------------------------------------------

TEST(XmlDom, NodesKeepTheirDocumentAlive) {
    Node title;
    xml::NodeList records;
    Node orphan;
    {
        Document doc = Loaded(kAnswer);
        title = doc.SelectSingleNode("//MD007/Title/@Value");
        records = doc.SelectNodes("//Record");
        Document fresh;
        orphan = fresh.CreateElement("Loose");
    }
    EXPECT_EQ(title.Text(), "月报");
    EXPECT_EQ(records.Item(2).SelectSingleNode("Field").GetAttribute("value"), "u3");
    orphan.SetAttribute("k", "v");
    EXPECT_EQ(orphan.Xml(), "<Loose k=\"v\"/>");
    Document owner = orphan.OwnerDocument();
    owner.AppendChild(orphan);
    EXPECT_EQ(owner.DocumentElement().NodeName(), "Loose");
}

TEST(XmlDom, NodesOfAReloadedDocumentStayReadable) {
    Document doc = Loaded("<old><n>1</n></old>");
    Node n = doc.SelectSingleNode("//n");
    Node loose = doc.CreateElement("Loose");
    ASSERT_TRUE(doc.LoadXML("<new/>"));
    EXPECT_EQ(n.Text(), "1");
    EXPECT_EQ(doc.DocumentElement().NodeName(), "new");
    // A node of the old content appended to the new one is copied in.
    Node copied = doc.DocumentElement().AppendChild(n);
    EXPECT_FALSE(copied == n);
    doc.DocumentElement().AppendChild(loose);
    EXPECT_EQ(doc.DocumentElement().Xml(), "<new><n>1</n><Loose/></new>");
    ASSERT_FALSE(doc.LoadXML("<broken"));
    EXPECT_EQ(n.Text(), "1");
}

// ---- Parse errors and entities --------------------------------------------------------------------

struct BadText {
    const char* text;
    int code;
};

TEST(XmlDom, ParseErrorsLeaveTheDocumentEmptyWithCodeAndReason) {
    const BadText cases[] = {
        {"", XML_ERR_DOCUMENT_EMPTY},
        {"<r><a></r>", XML_ERR_TAG_NAME_MISMATCH},
        {"<r>&stdd;</r>", XML_ERR_UNDECLARED_ENTITY},
        {"<r/><s/>", XML_ERR_DOCUMENT_END},
        {"just text", XML_ERR_DOCUMENT_EMPTY},
    };
    for (const BadText& c : cases) {
        SCOPED_TRACE(c.text);
        Document doc = Loaded("<previous/>");
        EXPECT_FALSE(doc.LoadXML(c.text));
        EXPECT_TRUE(doc.DocumentElement().IsNull());
        EXPECT_EQ(doc.ParseError().ErrorCode, c.code);
        EXPECT_FALSE(doc.ParseError().Reason.empty());
        EXPECT_EQ(doc.ParseError().Reason.find('\n'), std::string::npos);
        ASSERT_TRUE(doc.LoadXML("<after/>"));
        EXPECT_EQ(doc.ParseError().ErrorCode, 0);
        EXPECT_EQ(doc.ParseError().Reason, "");
    }
}

TEST(XmlDom, ParseErrorReportsThePosition) {
    Document doc;
    ASSERT_FALSE(doc.LoadXML("<r>\n<a>\n</b></r>"));
    EXPECT_EQ(doc.ParseError().Line, 3);
    EXPECT_GT(doc.ParseError().LinePos, 0);
}

TEST(XmlDom, TheStddEntityReadsAsItsOwnText) {
    Document doc = Loaded(
        "<?xml version=\"1.0\" encoding=\"GB2312\"?><!DOCTYPE SC[<!ENTITY stdd \"&amp;stdd;\">]>"
        "<Response><Status code=\"0\" Description=\"a&stdd;b\"/><T>x&stdd;中</T></Response>");
    EXPECT_EQ(doc.SelectSingleNode("//Status[@code]").GetAttribute("Description"), "a&stdd;b");
    EXPECT_EQ(doc.SelectSingleNode("//T").Text(), "x&stdd;中");
    EXPECT_EQ(doc.Xml().substr(0, 9), "<!DOCTYPE");
}

TEST(XmlDom, TextsAreUtf8WhateverTheirDeclarationSays) {
    for (const char* decl : {"<?xml version=\"1.0\" encoding=\"GB2312\"?>", "<?xml version=\"1.0\" encoding=\"Big5\"?>",
                             "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", "\xEF\xBB\xBF"}) {
        SCOPED_TRACE(decl);
        Document doc = Loaded(std::string(decl) + "<r v=\"資料庫镕\">中文é</r>");
        EXPECT_EQ(doc.DocumentElement().GetAttribute("v"), "資料庫镕");
        EXPECT_EQ(doc.DocumentElement().Text(), "中文é");
    }
}

TEST(XmlDom, ExternalEntitiesAreNeverLoaded) {
    kpatest::TempDir dir;
    std::string secret = dir.Write("secret.txt", "SECRET");
    std::string dtd = dir.Write("ext.dtd", "<!ATTLIST r added CDATA \"from-dtd\">");
    Document doc;
    doc.LoadXML("<!DOCTYPE r SYSTEM \"file://" + dtd + "\" [<!ENTITY x SYSTEM \"file://" + secret + "\">]><r>&x;</r>");
    if (!doc.DocumentElement().IsNull()) {
        EXPECT_EQ(doc.DocumentElement().Text().find("SECRET"), std::string::npos);
        EXPECT_FALSE(doc.DocumentElement().HasAttribute("added"));
    }
    EXPECT_NE(doc.Xml().find("<r"), std::string::npos) << doc.ParseError().Reason;
}

// ---- Files -------------------------------------------------------------------------------------

class XmlDomFile : public ::testing::Test {
protected:
    kpatest::TempDir dir;

    std::string WriteEncoded(const std::string& name, const std::string& encodingName, const std::u16string& body,
                             int codePage) {
        std::string bytes = "<?xml version=\"1.0\" encoding=\"" + encodingName + "\"?>\r\n" +
                            rtl::EncodeCodePageStrict(body, codePage);
        return dir.Write(name, bytes);
    }
};

TEST_F(XmlDomFile, ReadsGb2312FilesHoldingGbkOnlyCharacters) {
    // 镕 and 堃 are in GBK but not in GB2312; the system's parser reads GB2312 as GBK.
    const std::u16string body = u"<Root Name=\"朱镕基\"><Item>堃喆中文</Item></Root>";
    for (const char* name : {"GB2312", "gbk", "CP936"}) {
        SCOPED_TRACE(name);
        std::string path = WriteEncoded(std::string("f-") + name + ".xml", name, body, rtl::CP_GBK);
        Document doc;
        ASSERT_TRUE(doc.Load(path)) << doc.ParseError().Reason;
        EXPECT_EQ(doc.DocumentElement().GetAttribute("Name"), "朱镕基");
        EXPECT_EQ(doc.SelectSingleNode("//Item").Text(), "堃喆中文");
    }
}

TEST_F(XmlDomFile, ReadsBig5Files) {
    const std::u16string body = u"<Root Name=\"資料庫\"><Item>繁體中文測試</Item></Root>";
    for (const char* name : {"Big5", "CP950"}) {
        SCOPED_TRACE(name);
        std::string path = WriteEncoded(std::string("f-") + name + ".xml", name, body, rtl::CP_BIG5);
        Document doc;
        ASSERT_TRUE(doc.Load(path)) << doc.ParseError().Reason;
        EXPECT_EQ(doc.DocumentElement().GetAttribute("Name"), "資料庫");
        EXPECT_EQ(doc.SelectSingleNode("//Item").Text(), "繁體中文測試");
    }
}

TEST_F(XmlDomFile, ReadsUtf8LatinAndUtf16Files) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    std::u16string wide = u"\uFEFF<r>中文</r>";
    std::string utf16le;
    for (char16_t c : wide) {
        utf16le += static_cast<char>(c & 0xFF);
        utf16le += static_cast<char>(c >> 8);
    }
    const Case cases[] = {
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"GB2312\"?><r>中文</r>", "中文"},
        {"<r>中文</r>", "中文"},
        {"<?xml version='1.0' encoding='ISO-8859-1'?><r>caf\xE9</r>", "café"},
        {utf16le, "中文"},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(i);
        std::string path = dir.Write("u" + std::to_string(i++) + ".xml", c.bytes);
        Document doc;
        ASSERT_TRUE(doc.Load(path)) << doc.ParseError().Reason;
        EXPECT_EQ(doc.DocumentElement().Text(), c.text);
    }
}

TEST_F(XmlDomFile, AMissingOrBrokenFileIsAParseError) {
    Document doc = Loaded("<previous/>");
    EXPECT_FALSE(doc.Load(dir.File("none.xml")));
    EXPECT_TRUE(doc.DocumentElement().IsNull());
    EXPECT_NE(doc.ParseError().ErrorCode, 0);
    EXPECT_NE(doc.ParseError().Reason.find("none.xml"), std::string::npos);

    EXPECT_FALSE(doc.Load(WriteEncoded("broken.xml", "GB2312", u"<r>中文</x>", rtl::CP_GBK)));
    EXPECT_EQ(doc.ParseError().ErrorCode, XML_ERR_TAG_NAME_MISMATCH);
}

}  // namespace
