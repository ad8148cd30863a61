#include <gtest/gtest.h>

#include "lib/KestrelGeneratorU.h"
#include "lib/StewardINI.h"
#include "platform/os/Clock.h"
#include "platform/os/Environment.h"
#include "support/Fixtures.h"

using kpatest::ScopedEnv;
using kpatest::ScopedRegistry;
using kpatest::TempDir;

namespace {

class StewardIni : public ::testing::Test {
protected:
    TempDir root;
    ScopedRegistry reg;
    ScopedEnv acp{"KPA_ACP", "936"};
    std::string Root() const { return root.Path(); }
    void Key(const std::optional<std::string>& profileType = std::nullopt) {
        kpatest::WriteStewardKey(reg, Root(), Root(), profileType);
    }
};

TEST_F(StewardIni, MissingRegistryKeyKeepsDefaults) {
    reg.SetKeys({{"HKEY_LOCAL_MACHINE\\Software\\Other", {{"A", "B"}}}});
    TStewardIniC c;
    EXPECT_EQ(c.ErrorCode, "E;000015");
    EXPECT_EQ(c.RootPath, "");
    EXPECT_EQ(c.ProfileType, "0");
    EXPECT_EQ(c.ProfileUser, "Default");
    EXPECT_EQ(c.UICodePage, "936");
    EXPECT_EQ(c.SysCodePage, "936");
    EXPECT_TRUE(c.Servers.empty());
    EXPECT_EQ(c.WorkDLLPaths.Count(), 0);
    EXPECT_EQ(c.LangType, "ENG");
    TStewardIniS s;
    EXPECT_EQ(s.ErrorCode, "E;000015");
    EXPECT_TRUE(s.DBSettings.IsEmpty());
}

TEST_F(StewardIni, EmptyRootStopsWithoutError) {
    kpatest::WriteStewardKey(reg, "", "", std::string("1"));
    TStewardIniC c;
    EXPECT_EQ(c.ErrorCode, "");
    EXPECT_EQ(c.RootPath, "");
    EXPECT_EQ(c.IniFileName, "");
    EXPECT_TRUE(c.Servers.empty());
    TStewardIniS s;
    EXPECT_TRUE(s.DBSettings.IsEmpty());
}

TEST_F(StewardIni, ClientFileWithoutKeysTakesDefaults) {
    Key();
    TStewardIniC c;  // no StewardC.ini at all
    EXPECT_EQ(c.ErrorCode, "");
    EXPECT_EQ(c.RootPath, Root());
    EXPECT_EQ(c.ProfilePath, Root());
    EXPECT_EQ(c.ProfileType, "");  // a missing value reads as empty
    EXPECT_EQ(c.IniFileName, Root() + "StewardC.ini");
    ASSERT_EQ(c.Servers.size(), 1u);
    EXPECT_EQ(c.Servers[0].Host, "127.0.0.1");
    EXPECT_EQ(c.Servers[0].Port, 211);
    EXPECT_EQ(c.WorkDLLPaths.ToVector(), std::vector<std::string>{Root() + "C_PKG/"});
    EXPECT_EQ(c.CreateGifBeforeSendEF, "Y");
    EXPECT_EQ(c.AutoCheckNewMsg, "1");
    EXPECT_EQ(c.LoginCheck, "0");
    EXPECT_FALSE(c.SupportCallBack);
}

TEST_F(StewardIni, ClientKeysServersAndFolders) {
    Key(std::string("0"));
    root.Write("StewardC.ini",
               "[client components]\nLangType=CHS\n"
               "[ProductVersion]\nVersion=7.1\n"
               "[CodePage]\nUICodePage=950\nDBCodePage=936\n"
               "[Server Information]\nSupportCallBack=yes\nComputerName= srv1;srv2; \nServerPort=212\n"
               "[WorkDLLPath]\n1=/opt/Pkg\n2=\\Sub\n3=Other/\n4=Other\n"
               "[TaskMessageCenter Setting]\nCheckInterval=5\nPopupMsg=0\n");
    TStewardIniC c;
    EXPECT_EQ(c.LangType, "CHS");
    EXPECT_EQ(c.ProductVersion, "7.1");
    EXPECT_TRUE(c.SupportCallBack);
    EXPECT_EQ(c.UICodePage, "950");
    EXPECT_EQ(c.CaptionConvertType, 2);
    EXPECT_EQ(c.DataConvertType, 2);
    ASSERT_EQ(c.Servers.size(), 2u);
    EXPECT_EQ(c.Servers[0].Host, "srv1");
    EXPECT_EQ(c.Servers[1].Host, "srv2");
    EXPECT_EQ(c.Servers[1].Port, 212);
    EXPECT_EQ(c.WorkDLLPaths.ToVector(),
              (std::vector<std::string>{"/opt/Pkg/", Root() + "Sub/", Root() + "Other/", Root() + "Other/"}));
    EXPECT_EQ(c.CheckInterval, "5");
    EXPECT_EQ(c.PopupMsg, "0");
}

TEST_F(StewardIni, ServerListCases) {
    Key();
    struct Case {
        const char* value;
        std::vector<std::string> hosts;
        const char* error;
    } cases[] = {
        {"srv1;srv2;", {"srv1", "srv2"}, ""},
        {";", {}, "E;000016"},
        {"   ", {}, "E;000016"},
        {"a;;b", {"a", "", "b"}, ""},
        {"a; b", {"a", " b"}, ""},
        {"solo", {"solo"}, ""},
    };
    for (const Case& c : cases) {
        root.Write("StewardC.ini", std::string("[Server Information]\nComputerName=") + c.value +
                                       "\nServerPort=abc\n[WorkDLLPath]\nk=raw\n");
        TStewardIniC ini;
        EXPECT_EQ(ini.ErrorCode, c.error) << c.value;
        std::vector<std::string> hosts;
        for (const auto& s : ini.Servers) {
            hosts.push_back(s.Host);
            EXPECT_EQ(s.Port, 211);  // not a decimal integer: the default
        }
        EXPECT_EQ(hosts, c.hosts) << c.value;
        // Without a server the folders stay unresolved lines.
        EXPECT_EQ(ini.WorkDLLPaths[0], *c.error ? "k=raw" : Root() + "raw/") << c.value;
    }
}

TEST_F(StewardIni, ProfileFolderAndFallback) {
    Key(std::string("1"));
    const std::string user = os::GetUserName();
    root.Write("StewardC.ini", "[Client Components]\nLangType=ROOT\n");
    {
        TStewardIniC c;  // no file in the profile folder: the root's is taken
        EXPECT_EQ(c.ProfilePath, Root());
        EXPECT_EQ(c.ProfileUser, user);
        EXPECT_EQ(c.LangType, "ROOT");
    }
    root.Write("Profile/" + user + "/StewardC.ini", "[Client Components]\nLangType=MINE\n");
    TStewardIniC c;
    EXPECT_EQ(c.ProfilePath, Root() + "Profile/" + user + "/");
    EXPECT_EQ(c.IniFileName, Root() + "Profile/" + user + "/StewardC.ini");
    EXPECT_EQ(c.LangType, "MINE");
}

TEST_F(StewardIni, ConversionTypesFromCodePages) {
    Key();
    struct Case {
        const char* acp;
        const char* ini;
        const char* sys;
        const char* ui;
        int caption, data;
    } cases[] = {
        {"1252", "", "437", "437", 0, 0},
        {"950", "[CodePage]\nUICodePage=936\nDBCodePage=950\n", "950", "936", 4, 1},
        {"936", "", "936", "936", 0, 0},
        {"936", "[CodePage]\nUICodePage=950\n", "936", "950", 2, 2},
        {"950", "", "950", "950", 2, 2},
        {"65001", "[CodePage]\nDBCodePage=950\n", "437", "437", 0, 0},
    };
    for (const Case& c : cases) {
        ScopedEnv e("KPA_ACP", c.acp);
        root.Write("StewardC.ini", c.ini);
        TStewardIniC ini;
        EXPECT_EQ(ini.SysCodePage, c.sys) << c.acp << c.ini;
        EXPECT_EQ(ini.UICodePage, c.ui) << c.acp << c.ini;
        EXPECT_EQ(ini.CaptionConvertType, c.caption) << c.acp << c.ini;
        EXPECT_EQ(ini.DataConvertType, c.data) << c.acp << c.ini;
    }
}

TEST_F(StewardIni, FlagValues) {
    Key();
    struct Case {
        const char* value;
        bool flag;
    } cases[] = {{"1", true},  {"y", true},  {"YES", true}, {"true", true}, {"on", false},
                 {"0", false}, {"", false},  {"2", false},  {"yes please", false}};
    for (const Case& c : cases) {
        root.Write("StewardC.ini", std::string("[Server Information]\nSupportCallBack=") + c.value + "\n");
        EXPECT_EQ(TStewardIniC().SupportCallBack, c.flag) << c.value;
    }
}

TEST_F(StewardIni, ServerReaderDatabaseSettings) {
    Key();
    root.Write("StewardS.ini",
               "[DBE Setting]\nMainUserName=kpa\nXXXXXX=b0986c\nMainDBType=oracle\nMainServerName=dbhost\n"
               "MainConnectionTimeOut=30\nMainCommandTimeOut=x\nTempPassword=\nEctPassword=b0986c\n"
               "OtherSystemControlAddress=ctl2\n"
               "[DBPasswordCtrl]\nComputerName=  pw  \nSupportCallBack=TRUE\nClientSocketPort=2000\n"
               "[WorkDLLPath]\n1=/srv/pkg\n");
    TStewardIniS s;
    ASSERT_TRUE(s.DBSettings.IsArray());
    EXPECT_EQ(rtl::VarArrayHighBound(s.DBSettings, 1), 3);
    EXPECT_EQ(rtl::VarArrayHighBound(s.DBSettings, 2), 7);
    const rtl::Variant& d = s.DBSettings;
    EXPECT_EQ(d(0, 0).AsString(), "Corvane");
    EXPECT_EQ(d(0, 1).AsString(), "kpa");
    EXPECT_EQ(d(0, 2).AsString(), "abc");
    EXPECT_EQ(d(0, 3).AsString(), "oracle");
    EXPECT_EQ(d(0, 5).AsString(), "dbhost");
    EXPECT_EQ(d(0, 6).AsInteger(), 30);
    EXPECT_EQ(d(0, 7).AsInteger(), 3000);
    EXPECT_EQ(d(1, 0).AsString(), "CorvaneTemp");
    EXPECT_EQ(d(1, 2).AsString(), "");
    EXPECT_EQ(d(1, 3).AsString(), "PARADOX");
    EXPECT_EQ(d(1, 5).AsString(), "PostgreSQL");
    EXPECT_EQ(d(2, 0).AsString(), "pw");
    EXPECT_EQ(d(2, 1).AsInteger(), 211);
    EXPECT_EQ(d(2, 2).AsInteger(), 2000);
    EXPECT_EQ(d(2, 3).AsString(), "Chinese_Taiwan_Stroke_BIN");
    EXPECT_TRUE(d(2, 4).IsEmpty());
    EXPECT_EQ(d(3, 0).AsString(), "EDIDATA");
    EXPECT_EQ(d(3, 2).AsString(), "b0986c");  // stored unchanged
    EXPECT_TRUE(d(3, 3).IsEmpty());
    EXPECT_EQ(s.DBKind, 1);
    EXPECT_TRUE(s.SupportCallBack);
    EXPECT_EQ(s.SystemControlAddress, "dbhost");
    EXPECT_EQ(s.OtherSystemControlAddress, "ctl2");
    rtl::TStringList paths;
    paths.Add("old");
    s.AssignWorkDLLPaths(paths);
    EXPECT_EQ(paths.ToVector(), std::vector<std::string>{"/srv/pkg/"});

    root.Write("StewardS.ini", "[DBE Setting]\nMainDBType=Db2\n");
    TStewardIniS s2;
    EXPECT_EQ(s2.DBKind, 2);
    EXPECT_EQ(s2.WorkDLLPaths.ToVector(), std::vector<std::string>{Root() + "S_PKG/"});
    EXPECT_EQ(s2.SystemControlAddress, "");
}

TEST(PasswordCodec, EncodesAndDecodes) {
    EXPECT_EQ(EncodeSQLSa("abc"), "b0986c");
    EXPECT_EQ(DecodeSQLSa("b0986c"), "abc");
    EXPECT_EQ(DecodeSQLSa("B0986C"), "abc");
    EXPECT_EQ(DecodeSQLSa(""), "");
    EXPECT_EQ(DecodeSQLSa(EncodeSQLSa("")), "");
    EXPECT_EQ(EncodeSQLSa(""), EncodeSQLSa(kEmptyPasswordMarker));
    EXPECT_EQ(DecodeSQLSa("b0986c7"), "abc");  // a trailing single character is ignored
    for (std::string p : {"s3cr3t!", "0123456789abcdefXYZ", "密码", "~\x01\xFF"}) {
        const std::string e = EncodeSQLSa(p);
        EXPECT_EQ(e.size(), p.size() * 2);
        EXPECT_EQ(DecodeSQLSa(e), p);
    }
}

TEST(PasswordCodec, UndecodableTextIsReported) {
    TempDir root;
    ScopedRegistry reg;
    kpatest::WriteStewardKey(reg, root.Path(), "");
    os::ScopedClock clock(rtl::EncodeDate(2024, 3, 5) + rtl::EncodeTime(8, 0, 0, 0));
    EXPECT_EQ(DecodeSQLSa("zz"), "TG_Say_Password_Error");
    const std::string log = kpatest::ReadFile(root.File("Log/Alert_KestrelGenerator_20240305.log"));
    const std::string dashes(34, '-');
    EXPECT_EQ(log, "[2024/3/5 8:00:00] " + dashes + " on " + EncodeSQLSa("DecodeSQLSa") + " " + dashes + "\n"
                   "[2024/3/5 8:00:00] 讯息信息:\n"
                   "[2024/3/5 8:00:00] Exception is EConvertError\r\nMessage 01: '$zz' is not a valid integer value\n"
                   "[2024/3/5 8:00:00] ErrorMessage Count: 1\n"
                   "[2024/3/5 8:00:00] Programer Message: 解析 Sa 时发生错误!\n");
}

class ExceptionReports : public ::testing::Test {
protected:
    TempDir root;
    ScopedRegistry reg;
    os::ScopedClock clock{rtl::EncodeDate(2024, 3, 5) + rtl::EncodeTime(8, 0, 0, 0)};
    void SetUp() override { kpatest::WriteStewardKey(reg, "", root.Path()); }
    std::string Log() const { return kpatest::ReadFile(root.File("Log/Alert_KestrelGenerator_20240305.log")); }
};

TEST_F(ExceptionReports, EachExceptionKind) {
    const std::string p = "[2024/3/5 8:00:00] ";
    const std::string dashes(34, '-');
    struct Case {
        std::function<void()> report;
        std::string lines;
    } cases[] = {
        {[] { ReportException(nullptr, "", ""); }, p + dashes + dashes + "\n"},
        {[] { ReportException(nullptr, "  ", "  "); }, p + dashes + dashes + "\n"},
        {[] {
             rtl::EDBEngineError e("db", {{8708, "bad"}, {13059, "worse"}});
             ReportException(&e, "Here", " note ");
         },
         p + dashes + " on Here " + dashes + "\n" + p + "讯息信息:\n" + p +
             "EDBEngineError Error 01: Code: 8708, Message: bad\n" + p +
             "EDBEngineError Error 02: Code: 13059, Message: worse\n" + p + "ErrorMessage Count: 2\n" + p +
             "Programer Message:  note \n"},
        {[] {
             rtl::EDBEngineError e("db", {});
             ReportException(&e, "", "");
         },
         p + dashes + dashes + "\n" + p + "讯息信息:\n" + p + "ErrorMessage Count: 0\n"},
        {[] {
             rtl::EOSError e("denied", 5);
             ReportException(&e, "", "");
         },
         p + dashes + dashes + "\n" + p + "讯息信息:\n" + p + "EWin32Error Error 01: Code: 5, Message: denied\n" + p +
             "ErrorMessage Count: 1\n"},
        {[] {
             rtl::EInOutError e("io", 103);
             ReportException(&e, "", "");
         },
         p + dashes + dashes + "\n" + p + "讯息信息:\n" + p + "EInOutError Error 01: Code: 103, Message: io\n" + p +
             "ErrorMessage Count: 1\n"},
        {[] {
             std::runtime_error e("50% %s %d");
             ReportException(&e, "", "");
         },
         p + dashes + dashes + "\n" + p + "讯息信息:\n" + p + "Exception is runtime_error\r\nMessage 01: 50% %s %d\n" +
             p + "ErrorMessage Count: 1\n"},
    };
    for (const Case& c : cases) {
        std::remove(root.File("Log/Alert_KestrelGenerator_20240305.log").c_str());
        c.report();
        EXPECT_EQ(Log(), c.lines);
    }
}

TEST(KestrelLog, FolderFallsBackToTemp) {
    TempDir tmp;
    ScopedRegistry reg;
    ScopedEnv t("TMPDIR", tmp.Path());
    EXPECT_EQ(GetKestrelLogFolder(), tmp.Path());
    os::ScopedClock clock(rtl::EncodeDate(2024, 3, 5));
    EXPECT_TRUE(WriteKestrelLog("hello"));
    EXPECT_EQ(kpatest::ReadFile(tmp.File("Log/Alert_KestrelGenerator_20240305.log")), "[2024/3/5 0:00:00] hello\n");
}

}  // namespace
