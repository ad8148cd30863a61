#include <gtest/gtest.h>

#include "lib/LibStrs.h"
#include "platform/os/Clock.h"
#include "platform/os/Files.h"
#include "platform/rtl/CodePages.h"
#include "support/Fixtures.h"

using rtl::EncodeDate;
using rtl::Variant;
using rtl::VarType;
using rtl::VarArrayCreate;
using rtl::VarArrayOf;

namespace {

TEST(Fields, GetFieldAndCount) {
    struct Case {
        const char* text;
        const char* sep;
        int n;
        const char* field;
    } cases[] = {
        {"a;b;c", ";", 1, "a"}, {"a;b;c", ";", 3, "c"},  {"a;b;c", ";", 4, ""},    {"abc", ";", 1, "abc"},
        {"abc", ";", 2, ""},    {"", ";", 1, ""},        {"a;", ";", 2, ""},       {"a||b||c", "||", 2, "b"},
        {"x\x03y", "\x03", 2, "y"}, {";b", ";", 1, ""},  {"a;b", ";", 0, ""},      {"a;;c", ";", 3, "c"},
    };
    for (const Case& c : cases) EXPECT_EQ(GetField(c.text, c.sep, c.n), c.field) << c.text << " #" << c.n;

    EXPECT_EQ(FieldCount("a;b;c", ";"), 3);
    EXPECT_EQ(FieldCount("abc", ";"), 1);
    EXPECT_EQ(FieldCount("", ";"), 0);
    EXPECT_EQ(FieldCount(";", ";"), 2);
    EXPECT_EQ(FieldCount("a\x03\x03", "\x03"), 3);
}

TEST(Fields, CutFieldConsumesTheText) {
    std::string t = "a;b;c";
    EXPECT_EQ(CutField(t, ";"), "a");
    EXPECT_EQ(t, "b;c");
    EXPECT_EQ(CutField(t, ";"), "b");
    EXPECT_EQ(CutField(t, ";"), "c");
    EXPECT_EQ(t, "");
    std::string s = "abc";
    EXPECT_EQ(CutField(s, ";"), "abc");
    EXPECT_EQ(s, "");
    std::string u = "x||y";
    EXPECT_EQ(CutField(u, "||"), "x");
    EXPECT_EQ(u, "y");
}

TEST(Fields, ReplaceTextRescansFromTheStart) {
    struct Case {
        const char* text;
        const char* oldText;
        const char* newText;
        bool trim;
        const char* result;
    } cases[] = {
        {"a\r\nb\r\n", "\r\n", "", false, "ab"},
        {"select * from $$ADMMB", "$$", "dbo.", false, "select * from dbo.ADMMB"},
        {"<Receiver>x</Receiver>", "Receiver>", "Root>", false, "<Root>x</Root>"},
        {"aabb", "ab", "", false, ""},       // the search starts again after each removal
        {"ABC", "abc", "ABC", false, "ABC"}, // equal without regard to case: nothing replaced
        {"abc", "B", "x", false, "abc"},     // the search itself is case-sensitive
        {"  x[**********]  ", "[**********]", "", true, "x"},
        {"a", "a", "ba", false, "ba"},       // a new text holding the old one ends
        {"aaa", "a", "aa", false, "aaaaaa"},
        {"x", "", "y", false, "x"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplaceText(c.text, c.oldText, c.newText, c.trim), c.result) << c.text;
}

TEST(Dates, DateToTextInEveryOrder) {
    const rtl::TDateTime d = EncodeDate(2024, 3, 5);
    struct Case {
        int code;
        const char* sep;
        const char* text;
        const char* month;
    } cases[] = {
        {1, "/", "2024/03/05", "2024/03"}, {2, "/", "03/05/2024", "03/2024"}, {3, "/", "05/03/2024", "03/2024"},
        {4, "/", "113/03/05", "113/03"},   {5, "/", "113/03/05", "113/03"},   {1, "", "20240305", "202403"},
        {1, "-/", "2024-03-05", "2024-03"}, {6, "/", "", ""},                 {0, "/", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateToText(c.code, c.sep, d), c.text) << c.code;
        EXPECT_EQ(MonthToText(c.code, c.sep, d), c.month) << c.code;
    }
    EXPECT_EQ(DateToText(1, "/", 0), "");
    EXPECT_EQ(MonthToText(1, "/", 0), "");
    EXPECT_EQ(MonthToText(4, "/", EncodeDate(2005, 3, 5)), "94/03");
    EXPECT_EQ(MonthToText(5, "/", EncodeDate(2005, 3, 5)), "094/03");
    EXPECT_EQ(DateToText(4, "/", EncodeDate(1915, 1, 2)), "04/01/02");
    EXPECT_EQ(DateToText(5, ".", EncodeDate(2024, 3, 5)), "113.03.05");
}

TEST(Dates, TextToDateReadsEveryOrderAndRollsOver) {
    struct Case {
        const char* text;
        int code;
        const char* sep;
        rtl::TDateTime expected;
    } cases[] = {
        {"113/03/05", 4, "/", EncodeDate(2024, 3, 5)},
        {"113/03/05", 5, "/", EncodeDate(2024, 3, 5)},
        {"2024/03/05", 1, "/", EncodeDate(2024, 3, 5)},
        {"03/05/2024", 2, "/", EncodeDate(2024, 3, 5)},
        {"05/03/2024", 3, "/", EncodeDate(2024, 3, 5)},
        {" 2024 / 3 / 5 ", 1, "/", EncodeDate(2024, 3, 5)},
        {"2024/02/30", 1, "/", EncodeDate(2024, 3, 1)},
        {"2023/12/32", 1, "/", EncodeDate(2024, 1, 1)},
        {"2024/13/01", 1, "/", 0},
        {"2024/03", 1, "/", 0},
        {"2024/00/05", 1, "/", 0},
        {"2024/03/05", 6, "/", 0},
        {"a/b/c", 1, "/", 0},
        {"", 1, "/", 0},
        {"   ", 1, "/", 0},
        {"2024-03-05", 1, "/", 0},
        {"10000/01/01", 1, "/", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(TextToDate(c.text, c.code, c.sep), c.expected) << c.text << " code " << c.code;
}

TEST(Dates, YmdReadingAndValidity) {
    EXPECT_EQ(YmdToDate("20240305"), EncodeDate(2024, 3, 5));
    EXPECT_EQ(YmdToDate("20240230"), 0);
    EXPECT_EQ(YmdToDate("2024035"), 0);
    EXPECT_EQ(YmdToDate("202403051"), 0);
    EXPECT_EQ(YmdToDate("2024ab05"), 0);
    EXPECT_EQ(YmdToDate("00000101"), 0);
    struct Case {
        const char* text;
        bool valid;
    } cases[] = {
        {"", true},          {"17530101", true},  {"17521231", false}, {"99991231", true},
        {"20240229", true},  {"20230229", false}, {"2024030", false},  {"abcdefgh", false},
        {"20241301", false}, {"19000229", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidYmd(c.text), c.valid) << c.text;
}

TEST(Misc, SmallRoutines) {
    EXPECT_EQ(VarIIf(true, 1, "b").AsInteger(), 1);
    EXPECT_EQ(VarIIf(false, 1, "b").AsString(), "b");
    EXPECT_TRUE(VarIsBlank(Variant()));
    EXPECT_TRUE(VarIsBlank(Variant::Null()));
    EXPECT_FALSE(VarIsBlank(Variant("")));
    EXPECT_TRUE(IsLocalHost("127.0.0.1"));
    EXPECT_FALSE(IsLocalHost("localhost"));
    EXPECT_FALSE(IsLocalHost(" 127.0.0.1"));
    EXPECT_DOUBLE_EQ(StrToFloatDefault("1.5e2", -1), 150);
    EXPECT_DOUBLE_EQ(StrToFloatDefault("1,5", -1), -1);
    EXPECT_DOUBLE_EQ(StrToFloatDefault("", 2), 2);
    EXPECT_EQ(GetTempFolder().back(), '/');
}

TEST(Misc, PackVarListUsesTheCountInElementZero) {
    const Variant list = VarArrayOf({2, "a", u"中", "ignored"});
    EXPECT_EQ(PackVarList("HEAD", list), u"HEAD\x03" u"2\x03" u"a\x03中\x03");
    EXPECT_EQ(PackVarList("", VarArrayOf({0})), u"\x03" u"0\x03");
    EXPECT_THROW(PackVarList("x", VarArrayOf({3, "a"})), rtl::ERangeError);
}

TEST(Dialogs, ButtonCaptions) {
    struct Case {
        const char* name;
        const char* caption;
    } cases[] = {
        {"Yes", "是(&Y)"},      {"No", "否(&N)"},           {"OK", "确定"},       {"Cancel", "取消"},
        {"Abort", "中断(&A)"},  {"Retry", "重试(&R)"},      {"Ignore", "忽略(&I)"}, {"All", "全部(&A)"},
        {"NoToAll", "全否(&o)"}, {"YesToAll", "全是(&A)"}, {"Help", "帮助(&H)"},  {"yes", "yes"},
        {"Close", "Close"},     {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ButtonCaption(c.name), c.caption) << c.name;
}

class CodePageConversion : public ::testing::Test {
protected:
    kpatest::TempDir root;
    kpatest::ScopedRegistry reg;
    void SetUp() override { kpatest::WriteStewardKey(reg, root.Path(), ""); }
    std::string TodayLog() const {
        const auto files = kpatest::ListFiles(root.File("Log"));
        return files.empty() ? std::string() : kpatest::ReadFile(root.File("Log/" + files[0]));
    }
};

TEST_F(CodePageConversion, WideAndAnsiWithRealCodePages) {
    EXPECT_EQ(WideToAnsiCP(u"中文", 936), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(WideToAnsiCP(u"中文", 950), "\xA4\xA4\xA4\xE5");
    EXPECT_EQ(AnsiToWideCP("\xD6\xD0\xCE\xC4", 936), u"中文");
    EXPECT_EQ(AnsiToWideCP("\xA4\xA4\xA4\xE5", 950), u"中文");
    // A code page the system does not know falls back to the default conversion.
    EXPECT_EQ(WideToAnsiCP(u"中文", 12345), "中文");
    EXPECT_EQ(AnsiToWideCP("中文", 12345), u"中文");
}

TEST_F(CodePageConversion, VarToAnsiCPEncodesWideStringsInsideArrays) {
    const Variant inner = VarArrayOf({u"甲", 5});
    Variant grid = VarArrayCreate(0, 0, 0, 1);
    grid(0, 0) = u"乙";
    grid(0, 1) = VarArrayOf({u"丙"});
    const Variant payload = VarArrayOf({u"中文", "bytes", 7, inner, grid, Variant::Null()});
    const Variant r = VarToAnsiCP(payload, 936);
    EXPECT_EQ(r[0].Type(), VarType::String);
    EXPECT_EQ(r[0].Bytes(), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(r[1].Bytes(), "bytes");  // byte strings inside arrays stay
    EXPECT_EQ(r[2].AsInteger(), 7);
    EXPECT_EQ(r[3][0].Bytes(), rtl::EncodeCodePage(u"甲", 936));
    EXPECT_EQ(r[4](0, 0).Bytes(), rtl::EncodeCodePage(u"乙", 936));
    // Only one-dimensional arrays recurse: an array inside a two-dimensional one stays.
    EXPECT_TRUE(r[4](0, 1).Identical(grid(0, 1)));
    EXPECT_TRUE(r[5].IsNull());
    // The input is untouched.
    EXPECT_EQ(payload[0].Wide(), u"中文");
    // Scalars: byte strings are taken as wide text too.
    EXPECT_EQ(VarToAnsiCP(Variant("中文"), 950).Bytes(), "\xA4\xA4\xA4\xE5");
    EXPECT_TRUE(VarToAnsiCP(Variant(), 936).IsEmpty());
    EXPECT_TRUE(VarToAnsiCP(Variant::Null(), 936).IsNull());
    EXPECT_EQ(TodayLog(), "");
}

TEST_F(CodePageConversion, VarToWideCPRedecodesAndRoundTrips) {
    const Variant encoded = VarToAnsiCP(VarArrayOf({u"中文", VarArrayOf({u"體"})}), 65001);
    const Variant back = VarToWideCP(encoded, 65001);
    // Byte strings inside arrays are left as they are; wide strings are re-decoded.
    EXPECT_EQ(back[0].Type(), VarType::String);
    const Variant wide = VarToWideCP(VarArrayOf({u"中文", VarArrayOf({u"體"}), 3}), 65001);
    EXPECT_EQ(wide[0].Wide(), u"中文");
    EXPECT_EQ(wide[1][0].Wide(), u"體");
    EXPECT_EQ(wide[2].AsInteger(), 3);
    // A scalar byte string holding GBK bytes is decoded from 936.
    EXPECT_EQ(VarToWideCP(Variant(std::string("\xD6\xD0\xCE\xC4")), 936).Wide(), u"中文");
}

TEST_F(CodePageConversion, FailuresReturnTheInputAndWriteTheLog) {
    os::ScopedClock clock(EncodeDate(2024, 3, 5) + rtl::EncodeTime(8, 9, 10, 11));
    // GBK bytes are not text of our own encoding: the conversion fails and logs.
    const Variant bad(std::string("\xD6\xD0"));
    const Variant r = VarToAnsiCP(bad, 936);
    EXPECT_TRUE(r.Identical(bad));
    const Variant w = VarToWideCP(VarArrayOf({Variant(std::u16string(1, char16_t(0xD800)))}), 936);
    EXPECT_EQ(w[0].Wide().size(), 1u);
    const std::string log = kpatest::ReadFile(root.File("Log/Alert_libstrs_20240305.log"));
    EXPECT_NE(log.find("[2024/03/05 08:09:10:011] LINE[2735] Invalid UTF-8"), std::string::npos) << log;
    EXPECT_NE(log.find("] LINE[115] Unpaired surrogate"), std::string::npos) << log;
}

class AlertLogs : public ::testing::Test {
protected:
    kpatest::TempDir client, server;
    kpatest::ScopedRegistry reg;
    os::ScopedClock clock{EncodeDate(2024, 3, 5) + rtl::EncodeTime(13, 4, 5, 6)};
};

TEST_F(AlertLogs, FolderFileNameAndLineFormat) {
    kpatest::WriteStewardKey(reg, client.Path(), server.Path());
    ASSERT_TRUE(WriteAlertLog("libstrs", "first", "D"));
    ASSERT_TRUE(WriteAlertLog("libstrs", "100% done", "D"));
    EXPECT_EQ(kpatest::ReadFile(client.File("Log/Alert_libstrs_20240305.log")),
              "[2024/03/05 13:04:05:006] first\n[2024/03/05 13:04:05:006] 100% done\n");
    struct Case {
        const char* source;
        const char* period;
        const char* file;
    } cases[] = {
        {"src", "M", "Alert_src_202403.log"},
        {"src", "Y", "Alert_src_2024.log"},
        {"src", "W", "Alert_src_20240305.log"},
        {"x.txt", "D", "Alert_x.txt_20240305"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteAlertLog(c.source, "t", c.period));
        EXPECT_TRUE(os::FileExists(client.File(std::string("Log/") + c.file))) << c.file;
    }
}

TEST_F(AlertLogs, BaseFolderFallsBackToServerThenProgram) {
    kpatest::WriteStewardKey(reg, "", server.Path());
    ASSERT_TRUE(WriteAlertLog("libstrs", "to server", "D"));
    EXPECT_NE(kpatest::ReadFile(server.File("Log/Alert_libstrs_20240305.log")).find("to server"), std::string::npos);
    EXPECT_EQ(GetLauncherFolder(), server.Path());
}

TEST_F(AlertLogs, UnwritableFolderAnswersFalse) {
    const std::string blocker = client.Write("Log", "a file where the folder should be");
    kpatest::WriteStewardKey(reg, client.Path(), "");
    EXPECT_FALSE(WriteAlertLog("libstrs", "x", "D"));
}

}  // namespace
