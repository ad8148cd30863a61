#include <gtest/gtest.h>

#include "platform/os/Clock.h"
#include "platform/os/DynLibs.h"
#include "platform/os/Environment.h"
#include "platform/os/Files.h"
#include "platform/os/IniFiles.h"
#include "platform/os/Registry.h"
#include "platform/rtl/CodePages.h"
#include "support/Fixtures.h"

using namespace os;
using kpatest::ScopedEnv;
using kpatest::ScopedRegistry;
using kpatest::TempDir;

namespace {

TEST(Registry, ReadsKeysAndValuesOfARegFile) {
    ScopedRegistry reg;
    reg.SetRawText(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward]\r\n"
        "\"ClientPath\"=\"/opt/kpa/\"\r\n"
        "\"Quoted\"=\"a \\\"b\\\" c\\\\d\"\r\n"
        "\"Count\"=dword:0000000a\r\n"
        "\"Name\"=\"中文\"\r\n"
        "@=\"default\"\r\n"
        "; a comment\r\n"
        "garbage line\r\n"
        "\r\n"
        "[HKLM\\Software\\Other]\r\n"
        "\"X\"=\"1\"\r\n");
    TRegistry r;
    r.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(r.OpenKeyReadOnly("software\\tgk\\STEWARD"));
    EXPECT_EQ(r.CurrentPath(), "software\\tgk\\STEWARD");
    EXPECT_EQ(r.ReadString("clientpath"), "/opt/kpa/");
    EXPECT_EQ(r.ReadString("Quoted"), "a \"b\" c\\d");
    EXPECT_EQ(r.ReadString("Name"), "中文");
    EXPECT_EQ(r.ReadString(""), "default");
    EXPECT_EQ(r.ReadString("Missing"), "");
    EXPECT_FALSE(r.ValueExists("Missing"));
    EXPECT_EQ(r.ReadInteger("Count"), 10);
    EXPECT_THROW(r.ReadString("Count"), ERegistryException);
    EXPECT_THROW(r.ReadInteger("ClientPath"), ERegistryException);
    EXPECT_TRUE(r.KeyExists("\\Software\\Other"));
    EXPECT_FALSE(r.OpenKeyReadOnly("Software\\Nope"));
    EXPECT_TRUE(r.OpenKeyReadOnly("\\Software"));
    auto keys = r.GetKeyNames();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"Other", "TGK"}));
    r.RootKey = HKEY_CURRENT_USER;
    EXPECT_FALSE(r.OpenKeyReadOnly("\\Software\\TGK\\Steward"));
}

TEST(Registry, MissingFileUtf16FileAndChanges) {
    ScopedRegistry reg;
    TRegistry r;
    r.RootKey = HKEY_LOCAL_MACHINE;
    EXPECT_FALSE(r.OpenKeyReadOnly("Software\\TGK\\Steward"));  // no file at all

    const std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward]\r\n\"ClientPath\"=\"/宽/\"\r\n";
    std::string bytes = "\xFF\xFE" + rtl::EncodeCodePage(text, 1200);
    reg.SetRawText(bytes);
    ASSERT_TRUE(r.OpenKeyReadOnly("Software\\TGK\\Steward"));
    EXPECT_EQ(r.ReadString("ClientPath"), "/宽/");

    // A changed file is read again by the next reader.
    kpatest::WriteStewardKey(reg, "/changed/and/longer/", "");
    TRegistry r2;
    r2.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(r2.OpenKeyReadOnly("Software\\TGK\\Steward"));
    EXPECT_EQ(r2.ReadString("ClientPath"), "/changed/and/longer/");
    EXPECT_FALSE(r2.OpenKey("Software\\TGK\\New", true));  // never created
}

TEST(IniFile, ProfileRules) {
    TempDir dir;
    const std::string path = dir.Write("a.ini",
                                       "; comment\n"
                                       "orphan=1\n"
                                       "[Server Information]\r\n"
                                       "  ComputerName =  srv1;srv2;  \r\n"
                                       "ServerPort=0x10\n"
                                       "Quoted=\"  spaced  \"\n"
                                       "Dup=first\n"
                                       "dup=second\n"
                                       "[server information]\n"
                                       "Late=ignored\n"
                                       "[WorkDLLPath]\n"
                                       "1=/a\n"
                                       "2=/b\n"
                                       "1=/c\n"
                                       "bare line\n"
                                       "[中文]\n"
                                       "键=值\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("SERVER INFORMATION", "computername", "x"), "srv1;srv2;");
    EXPECT_EQ(ini.ReadInteger("Server Information", "ServerPort", 1), 16);
    EXPECT_EQ(ini.ReadString("Server Information", "Quoted", ""), "  spaced  ");
    EXPECT_EQ(ini.ReadString("Server Information", "DUP", ""), "first");
    EXPECT_EQ(ini.ReadString("Server Information", "Late", "def"), "def");
    EXPECT_EQ(ini.ReadString("Nope", "orphan", "def"), "def");
    EXPECT_EQ(ini.ReadString("中文", "键", ""), "值");
    EXPECT_TRUE(ini.ValueExists("server information", "Dup"));
    EXPECT_FALSE(ini.SectionExists("Missing"));
    rtl::TStringList values;
    ini.ReadSectionValues("workdllpath", values);
    EXPECT_EQ(values.ToVector(), (std::vector<std::string>{"1=/a", "2=/b", "1=/a", "bare line="}));
    rtl::TStringList keys;
    ini.ReadSection("WorkDLLPath", keys);
    EXPECT_EQ(keys.Count(), 4);
}

TEST(IniFile, MissingFileAndForeignEncoding) {
    TempDir dir;
    TIniFile missing(dir.File("none.ini"));
    EXPECT_EQ(missing.ReadString("A", "B", "def"), "def");
    EXPECT_EQ(missing.ReadInteger("A", "B", 7), 7);

    // A file written in GBK by another system is read in the system code page.
    ScopedEnv acp("KPA_ACP", "936");
    const std::string path = dir.Write("gbk.ini", "[A]\r\nName=" + rtl::EncodeCodePage(u"中文", 936) + "\r\n");
    EXPECT_EQ(TIniFile(path).ReadString("A", "Name", ""), "中文");
}

TEST(Environment, CodePageFromOverrideOrLocale) {
    ScopedEnv all("LC_ALL", std::nullopt), ctype("LC_CTYPE", std::nullopt);
    struct Case {
        std::optional<std::string> acp, lang;
        int expected;
    } cases[] = {
        {"950", "en_US.UTF-8", 950},
        {std::nullopt, "zh_CN.UTF-8", 936},
        {std::nullopt, "zh_TW.Big5", 950},
        {std::nullopt, "zh_HK.UTF-8", 950},
        {std::nullopt, "en_US.UTF-8", 1252},
        {std::nullopt, std::nullopt, 1252},
        {"junk", "zh_CN", 936},
    };
    for (const Case& c : cases) {
        ScopedEnv a("KPA_ACP", c.acp), l("LANG", c.lang);
        EXPECT_EQ(GetACP(), c.expected) << c.lang.value_or("-");
    }
}

TEST(Environment, FoldersAndNames) {
    EXPECT_FALSE(GetUserName().empty());
    EXPECT_FALSE(GetComputerName().empty());
    EXPECT_EQ(GetExecutableFolder().back(), '/');
    TempDir dir;
    ScopedEnv tmp("TMPDIR", dir.Path());
    EXPECT_EQ(GetTempPath(), dir.Path());
    EXPECT_FALSE(GetCommandLine().empty());
}

TEST(Files, FoldersPathsAndAppend) {
    TempDir dir;
    const std::string deep = dir.File("a/b/c");
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep + "/"));
    const std::string blocker = dir.Write("file", "x");
    EXPECT_FALSE(ForceDirectories(blocker + "/sub"));
    EXPECT_EQ(PathJoin("/x/", "/y"), "/x/y");
    EXPECT_EQ(PathJoin("/x", "y"), "/x/y");
    EXPECT_EQ(ExtractFilePath("/a/b.txt"), "/a/");
    EXPECT_EQ(ExtractFileName("/a/b.txt"), "b.txt");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    const std::string f = dir.File("log.txt");
    EXPECT_TRUE(AppendFileBytes(f, "one\n"));
    EXPECT_TRUE(AppendFileBytes(f, "two\n"));
    EXPECT_EQ(ReadFileBytes(f), "one\ntwo\n");
    EXPECT_FALSE(AppendFileBytes(dir.File("no/such/folder/x"), "x"));
    try {
        ReadFileBytes(dir.File("missing"));
        FAIL();
    } catch (const rtl::EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
    }
}

TEST(DynLibs, NamesAndLoading) {
    EXPECT_EQ(LibraryFileName("CallWebService.dll"), "CallWebService.so");
    EXPECT_EQ(LibraryFileName("X.DLL"), "X.so");
    EXPECT_EQ(LibraryFileName("libm.so.6"), "libm.so.6");
    DynLib m("libm.so.6");
    ASSERT_TRUE(m);
    EXPECT_NE(m.Symbol("cos"), nullptr);
    EXPECT_EQ(m.Symbol("no_such_symbol_here"), nullptr);
    DynLib none("NoSuchLibraryAnywhere.dll");
    EXPECT_FALSE(none);
    EXPECT_NE(LastLibraryError().find("NoSuchLibraryAnywhere.so"), std::string::npos);
}

TEST(Clock, SettableForTests) {
    const rtl::TDateTime fixed = rtl::EncodeDate(2024, 3, 5) + 0.5;
    {
        ScopedClock c(fixed);
        EXPECT_EQ(Now(), fixed);
        EXPECT_EQ(Date(), rtl::EncodeDate(2024, 3, 5));
    }
    EXPECT_GT(Now(), rtl::EncodeDate(2020, 1, 1));
}

}  // namespace
