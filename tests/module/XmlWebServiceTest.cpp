#include "module/lib/XmlWebServiceU.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "module/lib/LibStrs.h"
#include "platform/os/Clock.h"
#include "platform/os/Environment.h"
#include "platform/os/Files.h"
#include "platform/rtl/SysUtils.h"
#include "support/Fixtures.h"
#include "support/LoopbackHttpServer.h"

namespace {

const std::string kDecl = R"(<?xml version="1.0" encoding="GB2312"?>)";
const std::string kDocType = R"(<!DOCTYPE SC[<!ENTITY stdd "&amp;stdd;">]>)";

// ---- Header normalisation ------------------------------------------------------------------------

struct HeaderCase {
    std::string name;
    std::string text;
    std::string expected;
};

TEST(NormalizeXmlHeader, AddsWhatIsMissing) {
    const std::string body = "<Response><Status code=\"0\"/></Response>";
    const HeaderCase cases[] = {
        {"neither declaration nor document type", body, kDecl + kDocType + body},
        {"declaration naming only the version", R"(<?xml version="1.0"?>)" + body,
         R"(<?xml version="1.0" encoding="GB2312"?>)" + kDocType + body},
        {"declaration naming UTF-8 keeps it", R"(<?xml version="1.0" encoding="UTF-8"?>)" + body,
         R"(<?xml version="1.0" encoding="UTF-8"?>)" + kDocType + body},
        {"document type without declaration", kDocType + body, kDecl + kDocType + body},
        {"complete header unchanged", kDecl + kDocType + body, kDecl + kDocType + body},
        {"other document type kept", "<!DOCTYPE Response>" + body, kDecl + "<!DOCTYPE Response>" + body},
        {"case and leading line breaks do not hide the declaration", "\r\n  <?XML VERSION='1.0'?>\r\n" + body,
         "\r\n  <?XML VERSION='1.0' encoding=\"GB2312\"?>" + kDocType + "\r\n" + body},
        {"encoding split by CR LF", "<?xml version=\"1.0\" encoding\r\n=\"UTF-8\"?>" + body,
         "<?xml version=\"1.0\" encoding\r\n=\"UTF-8\"?>" + kDocType + body},
        {"only the first 100 characters count",
         R"(<?xml version="1.0" encoding="UTF-8"?>)" + std::string(70, ' ') + "<!DOCTYPE x>" + body,
         R"(<?xml version="1.0" encoding="UTF-8"?>)" + kDocType + std::string(70, ' ') + "<!DOCTYPE x>" + body},
        {"an unfinished declaration is left alone", "<?xml version=\"1.0\"", "<?xml version=\"1.0\""},
        {"empty text", "", kDecl + kDocType},
    };
    for (const HeaderCase& c : cases) EXPECT_EQ(NormalizeXmlHeader(c.text), c.expected) << c.name;
}

TEST(NormalizeXmlHeader, CountsCharactersNotBytes) {
    // 90 Chinese characters (270 bytes) before "<!doctype": inside the first 100 characters.
    std::string padding;
    for (int i = 0; i < 90; ++i) padding += "中";
    const std::string text = padding + "<!DOCTYPE r><r/>";
    EXPECT_EQ(NormalizeXmlHeader(text), kDecl + text);
}

TEST(LoadXmlNormalized, ParsesAServiceAnswerUsingStdd) {
    xml::Document doc = LoadXmlNormalized(
        "<?xml version=\"1.0\"?><Response><Status code=\"0\" Description=\"A&stdd;B\"/>"
        "<Record><Field name=\"Name\" value=\"王&stdd;五\"/></Record></Response>");
    ASSERT_FALSE(doc.DocumentElement().IsNull()) << doc.ParseError().Reason;
    EXPECT_EQ(GetAttr(doc.SelectSingleNode("//Status[@code]"), "code"), "0");
    EXPECT_EQ(GetAttr(doc.SelectSingleNode("//Status[@code]"), "Description"), "A&stdd;B");
    EXPECT_EQ(GetAttr(doc.SelectSingleNode("//Record").SelectSingleNode("Field[@name='Name']"), "value"), "王&stdd;五");
    // Without the header the entity is undeclared and the text does not parse.
    EXPECT_TRUE(LoadXmlText("<Response>&stdd;</Response>").DocumentElement().IsNull());
}

TEST(LoadXmlText, GivesADocumentWithoutRootForBadTexts) {
    for (const char* text : {"", "N", "<Root>", "<?xml version=\"1.0\"?>"}) {
        xml::Document doc;
        ASSERT_NO_THROW(doc = LoadXmlText(text)) << text;
        EXPECT_TRUE(doc.DocumentElement().IsNull()) << text;
        EXPECT_FALSE(doc.ValidateOnParse());
    }
    xml::Document fresh = NewXmlDocument();
    EXPECT_FALSE(fresh.ValidateOnParse());
    EXPECT_TRUE(fresh.DocumentElement().IsNull());
}

// ---- Children and attributes -----------------------------------------------------------------------

TEST(FindOrCreateChild, FindsCreatesOrAnswersNothing) {
    xml::Document doc = LoadXmlText(kDecl + "<Root><R1 ID=\"a\"/><R2 ID=\"b\"/></Root>");
    xml::Node root = doc.DocumentElement();

    xml::Node r2 = FindOrCreateChild(root, "R2", true);
    EXPECT_EQ(GetAttr(r2, "ID"), "b");
    EXPECT_TRUE(FindOrCreateChild(root, "R4", false).IsNull());
    EXPECT_EQ(GetAttr(FindOrCreateChild(root, "//R1", false), "ID"), "a");
    EXPECT_EQ(root.Xml(), "<Root><R1 ID=\"a\"/><R2 ID=\"b\"/></Root>");

    xml::Node r3 = FindOrCreateChild(root, "R3", true);
    ASSERT_FALSE(r3.IsNull());
    EXPECT_EQ(r3.NodeName(), "R3");
    EXPECT_TRUE(r3.ParentNode() == root);
    EXPECT_EQ(root.Xml(), "<Root><R1 ID=\"a\"/><R2 ID=\"b\"/><R3/></Root>");
    EXPECT_TRUE(FindOrCreateChild(root, "R3", true) == r3);
    EXPECT_EQ(root.ChildNodes().Length(), 3);
}

TEST(Attributes, ReadAndWriteAsText) {
    xml::Document doc = LoadXmlText("<Root><R1 ID=\"u1\" Name=\"\"/></Root>");
    xml::Node r1 = doc.SelectSingleNode("//R1");
    EXPECT_EQ(GetAttr(r1, "ID"), "u1");
    EXPECT_EQ(GetAttr(r1, "Name"), "");
    EXPECT_EQ(GetAttr(r1, "Mob"), "");
    EXPECT_EQ(GetAttr(xml::Node(), "ID"), "");

    SetAttr(r1, "Name", "张三 & \"李\"");
    SetAttr(r1, "Msg", "YNN");
    EXPECT_EQ(GetAttr(r1, "Name"), "张三 & \"李\"");
    EXPECT_EQ(kDecl + doc.DocumentElement().Xml(),
              kDecl + "<Root><R1 ID=\"u1\" Name=\"张三 &amp; &quot;李&quot;\" Msg=\"YNN\"/></Root>");
    EXPECT_THROW(SetAttr(xml::Node(), "ID", "x"), xml::EXmlError);
}

// ---- Web-service calls -----------------------------------------------------------------------------

// A port on 127.0.0.1 that refuses connections: bound, never listening, held for the test.
class RefusingPort {
public:
    RefusingPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throw std::runtime_error("cannot reserve a port");
        port_ = ntohs(addr.sin_port);
    }
    ~RefusingPort() { ::close(fd_); }
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

class CallWebServiceTest : public ::testing::Test {
protected:
    kpatest::TempDir temp;
    kpatest::ScopedEnv tmpdir{"TMPDIR", temp.Path()};
    os::ScopedClock clock{rtl::EncodeDate(2024, 3, 5) + rtl::EncodeTime(14, 7, 9, 123)};
    std::string answerFile;
    std::string library;

    void SetUp() override {
        answerFile = GetTempFolder() + "~Norvo_20240305140709123.tmp";
        std::string bin = os::GetEnv("KPA_TEST_BIN_DIR");
        library = os::IncludeTrailingPathDelimiter(bin.empty() ? os::GetExecutableFolder() : bin) + "CallWebService.so";
        ASSERT_TRUE(os::FileExists(library)) << library << " is missing; build the CallWebService target";
    }

    std::string Call(const std::string& address, const std::string& request = "<Request/>") {
        return CallWebServiceIn(library, address, "PORTAL.getAllUser", request);
    }
};

TEST_F(CallWebServiceTest, PostsTheRequestAndAnswersTheLinesWithCrLf) {
    kpatest::LoopbackHttpServer server(200, "<?xml version=\"1.0\"?>\n<Response>\r\n<Status code=\"0\"/>\r</Response>");
    // A file left under the answer's name is replaced and removed, proving the name used.
    temp.Write(os::ExtractFileName(answerFile), "stale");
    const std::string request = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Request>   <Access>用户</Access></Request>";

    std::string answer = Call(server.Url("/portal/ws"), request);

    EXPECT_EQ(answer, "<?xml version=\"1.0\"?>\r\n<Response>\r\n<Status code=\"0\"/>\r\n</Response>\r\n");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Method, "POST");
    EXPECT_EQ(requests[0].Path, "/portal/ws");
    EXPECT_EQ(requests[0].Body, request);
    EXPECT_EQ(requests[0].Header("SOAPAction"), "\"PORTAL.getAllUser\"");
    EXPECT_EQ(requests[0].Header("Content-Type"), "text/xml; charset=UTF-8");
    EXPECT_FALSE(os::FileExists(answerFile));
    EXPECT_TRUE(kpatest::ListFiles(temp.Path()).empty());
}

TEST_F(CallWebServiceTest, ReadsALargeAnswerWhole) {
    std::string body, expected;
    for (int i = 0; i < 20000; ++i) {
        std::string line = "<Record><Field name=\"Id\" value=\"u" + std::to_string(i) + "\"/></Record>";
        body += line + "\n";
        expected += line + "\r\n";
    }
    kpatest::LoopbackHttpServer server(200, body);
    EXPECT_EQ(Call(server.Url()), expected);
    EXPECT_FALSE(os::FileExists(answerFile));
}

TEST_F(CallWebServiceTest, AnEmptyAnswerIsEmpty) {
    kpatest::LoopbackHttpServer server(200, "");
    EXPECT_EQ(Call(server.Url()), "");
    EXPECT_FALSE(os::FileExists(answerFile));
}

TEST_F(CallWebServiceTest, AServerErrorIsRaisedWithItsStatus) {
    kpatest::LoopbackHttpServer server(500, "<Fault/>");
    try {
        Call(server.Url("/ws"));
        FAIL() << "no error raised";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), "HTTP 500 from " + server.Url("/ws"));
    }
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(kpatest::ListFiles(temp.Path()).empty());
}

TEST_F(CallWebServiceTest, AnUnreachableServiceIsRaised) {
    RefusingPort port;
    const std::string address = "http://127.0.0.1:" + std::to_string(port.Port()) + "/ws";
    try {
        Call(address);
        FAIL() << "no error raised";
    } catch (const rtl::Exception& e) {
        EXPECT_FALSE(e.Message().empty());
        EXPECT_NE(e.Message().find(std::to_string(port.Port())), std::string::npos) << e.Message();
    }
    EXPECT_TRUE(kpatest::ListFiles(temp.Path()).empty());
}

TEST_F(CallWebServiceTest, AMissingLibraryOrEntryPointGivesAnEmptyAnswer) {
    kpatest::LoopbackHttpServer server(200, "<Response/>");
    EXPECT_EQ(CallWebServiceIn(temp.File("NoSuchLibrary.so"), server.Url(), "m", "<r/>"), "");
    // A library without the entry point.
    EXPECT_EQ(CallWebServiceIn("libm.so.6", server.Url(), "m", "<r/>"), "");
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(CallWebServiceTest, FindsTheLibraryByItsSystemName) {
    // The program's folder is searched first; the test program sits beside the library.
    if (!os::FileExists(os::GetExecutableFolder() + "CallWebService.so"))
        GTEST_SKIP() << "the test program is not beside the library";
    kpatest::LoopbackHttpServer server(200, "<Response/>");
    EXPECT_EQ(CallWebService(server.Url(), "PORTAL.getAllUser", "<Request/>"), "<Response/>\r\n");
    ASSERT_EQ(server.Requests().size(), 1u);
}

}  // namespace
