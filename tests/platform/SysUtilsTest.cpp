#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"

using namespace rtl;

namespace {

struct FormatCase {
    const char* fmt;
    std::vector<Variant> args;
    const char* expected;
};

TEST(Format, FollowsTheClassLibraryRules) {
    const FormatCase cases[] = {
        {"%s %d", {"a", 3}, "a 3"},
        {"%.2d", {7}, "07"},
        {"%.2d", {123}, "123"},
        {"%.3d", {-5}, "-005"},
        {"%5d|%-5d|", {42, 42}, "   42|42   |"},
        {"%x", {255}, "FF"},
        {"%.4x", {255}, "00FF"},
        {"%x", {-1}, "FFFFFFFF"},
        {"%u", {-1}, "4294967295"},
        {"%.3s", {"abcdef"}, "abc"},
        {"%s", {std::u16string(u"中文")}, "中文"},
        {"%2:s %0:s %s", {"a", "b", "c"}, "c a b"},
        {"%*d", {4, 9}, "   9"},
        {"100%%", {}, "100%"},
        {"%f", {1.5}, "1.50"},
        {"%.1f", {2.25}, "2.3"},
        {"%.0f", {-0.4}, "0"},
        {"%.2f", {0.125}, "0.13"},
        {"%.0f", {0.5}, "1"},
        {"%.1f", {9.96}, "10.0"},
        {"%.3f", {-1234.5}, "-1234.500"},
        {"%n", {1234567.891}, "1,234,567.89"},
        {"%e", {1234.5}, "1.23450000000000E+003"},
        {"%g", {0.5}, "0.5"},
        {"%m", {-12.5}, "¥-12.50"},
        {"EDBEngineError Error %.2d: Code: %d, Message: %s", {1, 8708, "x"},
         "EDBEngineError Error 01: Code: 8708, Message: x"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(Format(c.fmt, std::span<const Variant>(c.args)), c.expected) << c.fmt;
    }
}

TEST(Format, RaisesOnMissingOrMismatchedArguments) {
    EXPECT_THROW(Format("%s %s", {"only one"}), EConvertError);
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s", {12}), EConvertError);
    EXPECT_THROW(Format("%f", {12}), EConvertError);
    EXPECT_THROW(Format("%k", {1}), EConvertError);
    EXPECT_THROW(Format("trailing %", {}), EConvertError);
    try {
        Format("%s-%s", {"a"});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "No argument for format '%s-%s'");
    }
    try {
        Format("%d", {"a"});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
    }
}

TEST(Texts, TrimAndCase) {
    EXPECT_EQ(Trim(" \t\x03 a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim("中 "), "中");
    EXPECT_EQ(UpperCase("abcÄ"), "ABCÄ");
    EXPECT_EQ(AnsiUpperCase("abcä"), "ABCÄ");
    EXPECT_TRUE(SameText("Yes", "yES"));
    EXPECT_FALSE(SameText("Yes", "Ye"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
}

TEST(Numbers, IntegerReading) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"12", true, 12},   {"-12", true, -12},  {"+7", true, 7},       {"  5", true, 5},
        {"5 ", false, 0},   {"$1F", true, 31},   {"0x1f", true, 31},    {"", false, 0},
        {"1.5", false, 0},  {"abc", false, 0},   {"2147483647", true, 2147483647},
        {"2147483648", false, 0},
    };
    for (const Case& c : cases) {
        int v = 0;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(StrToIntDef("x", -1), -1);
    try {
        StrToInt("zz");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'zz' is not a valid integer value");
    }
    int v;
    EXPECT_TRUE(TryStrToIntDecimal("-42", v));
    EXPECT_EQ(v, -42);
    EXPECT_FALSE(TryStrToIntDecimal("$1F", v));
    EXPECT_FALSE(TryStrToIntDecimal(" 1", v));
    EXPECT_FALSE(TryStrToIntDecimal("-", v));
}

TEST(Numbers, FloatReadingAndWriting) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"1.5", true, 1.5}, {"-2e3", true, -2000}, {".5", true, 0.5}, {"5.", true, 5},
        {" 3 ", true, 3},   {"1,5", false, 0},     {"e5", false, 0},  {"1e", false, 0},
        {"nan", false, 0},  {"", false, 0},        {"0x10", false, 0},
    };
    for (const Case& c : cases) {
        double v = 0;
        EXPECT_EQ(TryStrToFloat(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(FloatToStr(1.5), "1.5");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(0.0000015), "1.5E-6");
    EXPECT_EQ(FloatToStr(-0.25), "-0.25");
}

TEST(Dates, EncodeAndDecodeRoundTripOverTheValidRange) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2024, 3, 5), 45356);
    // Every day from 1753 to 2100 decodes to itself and steps by one.
    TDateTime prev = EncodeDate(1752, 12, 31);
    for (int y = 1753; y <= 2100; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInAMonth(y, m); ++d) {
                const TDateTime dt = EncodeDate(y, m, d);
                ASSERT_EQ(dt, prev + 1) << y << "-" << m << "-" << d;
                const DateParts p = DecodeDate(dt);
                ASSERT_EQ(p.year, y);
                ASSERT_EQ(p.month, m);
                ASSERT_EQ(p.day, d);
                prev = dt;
            }
        }
    }
    TDateTime out;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, out));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, out));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, out));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, out));
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
}

TEST(Dates, WeekDayAndTime) {
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 15)), 6);  // Friday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 10)), 1);  // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7); // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(1800, 1, 1)), 4);   // Wednesday
    const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(13, 4, 5, 67);
    const TimeParts p = DecodeTime(t);
    EXPECT_EQ(p.hour, 13);
    EXPECT_EQ(p.minute, 4);
    EXPECT_EQ(p.second, 5);
    EXPECT_EQ(p.msec, 67);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
}

TEST(Dates, FormatDateTimePatterns) {
    const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(9, 7, 3, 45);
    struct Case {
        const char* fmt;
        const char* expected;
    } cases[] = {
        {"YYYYMMDDHHNNSSZZZ", "20240305090703045"},
        {"YYYY/MM/DD hh:nn:ss:zzz", "2024/03/05 09:07:03:045"},
        {"yyyymmdd", "20240305"},
        {"yyyymm", "202403"},
        {"yy-m-d", "24-3-5"},
        {"hh:mm", "09:07"},  // m after h is minutes
        {"h:n:s.z", "9:7:3.45"},
        {"'y'yyyy\"m\"", "y2024m"},
        {"hh am/pm", "09 am"},
        {"dddd", "星期二"},
        {"mmmm", "三月"},
        {"c", "2024/3/5 9:07:03"},
        {"ddddd", "2024/3/5"},
        {"tt", "9:07:03"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.fmt, t), c.expected) << c.fmt;
    EXPECT_EQ(FormatDateTime("hh AM/PM", EncodeDate(2024, 3, 5) + EncodeTime(0, 0, 0, 0)), "12 AM");
    EXPECT_EQ(FormatDateTime("h am/pm", EncodeTime(13, 0, 0, 0)), "1 pm");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "2024/3/5");
}

TEST(Exceptions, ClassNames) {
    EXPECT_EQ(ExceptionClassName(EConvertError("x")), "EConvertError");
    EXPECT_EQ(ExceptionClassName(EDBEngineError("x", {})), "EDBEngineError");
    EXPECT_EQ(ExceptionClassName(std::runtime_error("x")), "runtime_error");
}

}  // namespace
