// Date rules: shifting "yyyymmdd" texts, relative dates, first runs of periodic schedules and
// the re-evaluation of a job's relative condition dates. Where a rule can be restated as "the
// first day on or after the start that qualifies", the expected values come from walking the
// calendar of std::chrono day by day rather than from the formulas under test.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "lib/DateRules.h"

using rtl::Variant;
using rtl::VarType;
namespace chr = std::chrono;

namespace {

chr::sys_days Day(int y, unsigned m, unsigned d) { return chr::sys_days{chr::year{y} / chr::month{m} / chr::day{d}}; }

std::string Ymd(chr::sys_days d) {
    const chr::year_month_day ymd{d};
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02u%02u", int(ymd.year()), unsigned(ymd.month()), unsigned(ymd.day()));
    return buf;
}

unsigned WeekDayIndex(chr::sys_days d) { return chr::weekday{d}.c_encoding(); }  // 0 Sunday

unsigned LastDayOf(chr::year_month ym) { return unsigned(chr::year_month_day_last{ym / chr::last}.day()); }

// A day shifted by months or years the way a calendar user expects: a missing day becomes the
// month's last day.
std::string ShiftClamped(chr::sys_days d, chr::months by) {
    const chr::year_month_day ymd{d};
    const chr::year_month ym = chr::year_month{ymd.year(), ymd.month()} + by;
    const unsigned day = std::min(unsigned(ymd.day()), LastDayOf(ym));
    return Ymd(chr::sys_days{ym / chr::day{day}});
}

std::string Join3(std::initializer_list<const char*> fields) {
    std::string s;
    for (const char* f : fields) {
        if (!s.empty() || f != *fields.begin()) s += '\x03';
        s += f;
    }
    return s;
}

Variant Weekly(Variant n, Variant day) { return rtl::VarArrayOf({1, rtl::VarArrayOf({n, day})}); }
Variant MonthlyDay(Variant n, Variant day) { return rtl::VarArrayOf({2, rtl::VarArrayOf({0, n, day})}); }
Variant MonthlyWeekDay(Variant n, Variant occurrence, Variant day) {
    return rtl::VarArrayOf({2, rtl::VarArrayOf({1, n, occurrence, day})});
}

}  // namespace

// ---- DaysInMonth ---------------------------------------------------------------------------

TEST(DaysInMonth, FollowsTheGregorianLeapRule) {
    struct Case {
        int year, month, days;
    } const cases[] = {
        {2024, 1, 31}, {2024, 2, 29}, {2023, 2, 28}, {1900, 2, 28}, {2000, 2, 29}, {2100, 2, 28},
        {2024, 4, 30}, {2024, 6, 30}, {2024, 9, 30}, {2024, 11, 30}, {2024, 12, 31}, {2024, 7, 31},
        {2024, 8, 31}, {2024, 0, 0}, {2024, 13, 0}, {2024, -1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
    for (int year = 1899; year <= 2401; ++year) {
        int total = 0;
        for (int m = 1; m <= 12; ++m) total += DaysInMonth(year, m);
        EXPECT_EQ(total, chr::year{year}.is_leap() ? 366 : 365) << year;
    }
}

// ---- AddToYmd ------------------------------------------------------------------------------

TEST(AddToYmd, ShiftsByUnitAndKeepsDaysInsideTheMonth) {
    struct Case {
        Variant date;
        const char* unit;
        int count;
        const char* expected;
    } const cases[] = {
        {"20240229", "Y", 1, "20250228"},
        {"20240229", "Y", 4, "20280229"},
        {"20240229", "y", -1, "20230228"},
        {"20240131", "M", 1, "20240229"},
        {"20230131", "M", 1, "20230228"},
        {"20240331", "m", -1, "20240229"},
        {"20240315", "M", -3, "20231215"},
        {"20241215", "M", 1, "20250115"},
        {"20240115", "M", -1, "20231215"},  // a remainder of 0 is December of the year before
        {"20240115", "M", -13, "20221215"},
        {"20240115", "M", 23, "20251215"},
        {"20240430", "M", 1, "20240530"},
        {"20241231", "D", 1, "20250101"},
        {"20240301", "d", -1, "20240229"},
        {"20240315", "D", 0, "20240315"},
        {"20240315", "D", -366, "20230315"},
        {std::u16string(u"20240131"), "M", 1, "20240229"},
        {Variant::FromDate(rtl::EncodeDate(2024, 1, 31) + 0.75), "M", 1, "20240229"},
        {Variant::FromDate(rtl::EncodeDate(2024, 12, 31)), "D", 1, "20250101"},
        // Nothing to shift, or nothing to shift by.
        {"", "D", 1, ""},
        {Variant(), "D", 1, ""},
        {Variant::Null(), "D", 1, ""},
        {20240315, "D", 1, ""},
        {Variant::FromDate(0), "D", 1, ""},
        {"20240230", "D", 1, ""},
        {"2024031", "D", 1, ""},
        {"20240315", "W", 1, ""},
        {"20240315", "", 1, ""},
        {"20240315", "DD", 1, ""},
        // Leaving the calendar is an error, not a wrapped date.
        {"99991231", "D", 1, ""},
        {"99991215", "M", 1, ""},
        {"99990101", "Y", 1, ""},
        {"00010115", "M", -1, ""},
        {"20240315", "Y", 2147483647, ""},
        {"20240315", "M", -2147483647 - 1, ""},
        {Variant::FromDate(1e12), "D", 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AddToYmd(c.date, c.unit, c.count), c.expected)
            << c.date.AsString() << " " << c.unit << " " << c.count;
    }
}

TEST(AddToYmd, AgreesWithTheCalendarOverTwoYears) {
    const int counts[] = {-400, -25, -13, -12, -11, -1, 0, 1, 2, 11, 12, 13, 25, 400};
    for (chr::sys_days d = Day(2023, 1, 1); d <= Day(2024, 12, 31); d += chr::days{1}) {
        const Variant text = Ymd(d);
        for (int n : counts) {
            ASSERT_EQ(AddToYmd(text, "D", n), Ymd(d + chr::days{n})) << Ymd(d) << " D " << n;
            ASSERT_EQ(AddToYmd(text, "M", n), ShiftClamped(d, chr::months{n})) << Ymd(d) << " M " << n;
            ASSERT_EQ(AddToYmd(text, "Y", n), ShiftClamped(d, chr::months{12 * n})) << Ymd(d) << " Y " << n;
        }
    }
}

// ---- RelativeDate and WeekBoundary -----------------------------------------------------------

TEST(RelativeDate, EvaluatesMonthAndWeekRules) {
    struct Case {
        const char *base, *n, *unit, *anchor, *offset, *expected;
    } const cases[] = {
        // Months: shift, then the anchor.
        {"20240315", "1", "1", "2", "0", "20240430"},
        {"20240315", "1", "1", "1", "0", "20240401"},
        {"20240315", "1", "1", "0", "-1", "20240414"},
        {"20240315", "1", "1", "0", "20", "20240505"},
        {"20240315", "-2", "1", "2", "0", "20240131"},
        {"20240131", "1", "1", "0", "0", "20240229"},
        {"20240131", "1", "1", "3", "0", "20240229"},   // another anchor leaves the shifted day
        {"20240131", "1", "1", "1", "x", "20240201"},   // the offset belongs to anchor 0 only
        {"20231130", "3", "月", "2", "0", "20240229"},  // any unit but "0" counts months
        // Weeks: whole weeks plus days, or the week's boundary (15 March 2024 is a Friday).
        {"20240315", "0", "0", "1", "0", "20240310"},
        {"20240315", "0", "0", "2", "0", "20240316"},
        {"20240315", "1", "0", "0", "2", "20240324"},
        {"20240315", "-2", "0", "0", "-1", "20240229"},
        {"20240310", "0", "0", "1", "0", "20240310"},   // a Sunday is its own week's start
        {"20240316", "0", "0", "2", "0", "20240316"},   // a Saturday its own week's end
        {"20240315", "-1", "0", "1", "0", "20240303"},
        {"20240315", "1", "0", "x", "0", "20240323"},
        // Month texts: months only, and a month text back.
        {"202403", "-1", "0", "1", "0", "202402"},
        {"202403", "10", "1", "2", "x", "202501"},
        {"202401", "-1", "1", "0", "0", "202312"},
        // Errors give an empty text.
        {"20240315", "x", "1", "2", "0", ""},
        {"20240315", "", "1", "2", "0", ""},
        {"20240315", "1.5", "1", "2", "0", ""},
        {"20240315", "1", "1", "x", "0", ""},
        {"20240315", "1", "1", "0", "x", ""},
        {"20240315", "1", "0", "0", "x", ""},
        {"20240315", "x", "0", "1", "0", ""},
        {"202403", "x", "1", "1", "0", ""},
        {"20240230", "1", "1", "1", "0", ""},
        {"2024031", "1", "1", "1", "0", ""},
        {"202413", "1", "1", "1", "0", ""},
        {"", "1", "1", "1", "0", ""},
        {"99991215", "1", "1", "1", "0", ""},
        {"99991231", "0", "0", "2", "0", ""},  // a Friday: its Saturday is past the calendar
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RelativeDate(c.base, c.n, c.unit, c.anchor, c.offset), c.expected)
            << c.base << " n=" << c.n << " unit=" << c.unit << " anchor=" << c.anchor << " offset=" << c.offset;
    }
}

TEST(WeekBoundary, GivesTheSundayOrSaturdayOfTheShiftedWeek) {
    const int weeks[] = {-3, 0, 1, 5};
    for (chr::sys_days d = Day(2023, 12, 1); d <= Day(2025, 1, 31); d += chr::days{1}) {
        for (int n : weeks) {
            const chr::sys_days shifted = d + chr::weeks{n};
            chr::sys_days sunday = shifted;
            while (WeekDayIndex(sunday) != 0) sunday -= chr::days{1};
            chr::sys_days saturday = shifted;
            while (WeekDayIndex(saturday) != 6) saturday += chr::days{1};
            const std::string nText = std::to_string(n);
            ASSERT_EQ(WeekBoundary(Ymd(d), nText, "1"), Ymd(sunday)) << Ymd(d) << " n=" << n;
            ASSERT_EQ(WeekBoundary(Ymd(d), nText, "2"), Ymd(saturday)) << Ymd(d) << " n=" << n;
            ASSERT_EQ(WeekBoundary(Ymd(d), nText, "0"), Ymd(saturday)) << Ymd(d) << " n=" << n;
        }
    }
    EXPECT_EQ(WeekBoundary("20240315", "x", "1"), "");
    EXPECT_EQ(WeekBoundary("2024-3-15", "0", "1"), "");
    EXPECT_EQ(WeekBoundary("00010101", "0", "1"), "");  // a Monday: its Sunday is before the calendar
}

// ---- FirstRunDate --------------------------------------------------------------------------

TEST(FirstRunDate, ExamplesAndMalformedSchedules) {
    struct Case {
        const char* name;
        const char* start;
        Variant period;
        const char* expected;
    } const cases[] = {
        {"daily", "20240315", rtl::VarArrayOf({0, "3"}), "20240315"},
        {"daily, kind as text", "20240229", rtl::VarArrayOf({"0", "1"}), "20240229"},
        {"weekly Monday to Friday", "20240311", Weekly("1", 5), "20240315"},
        {"weekly Wednesday to Monday", "20240313", Weekly("1", 1), "20240318"},
        {"two-weekly Monday to Friday", "20240311", Weekly("2", 5), "20240322"},
        {"two-weekly Wednesday to Monday", "20240313", Weekly("2", 1), "20240325"},
        {"weekly on the start's day", "20240315", Weekly("1", 5), "20240315"},
        {"weekly across the year", "20241228", Weekly("1", 0), "20241229"},
        {"weekly, wide texts", "20240313", Weekly(std::u16string(u"1"), std::u16string(u"1")), "20240318"},
        {"monthly day after the start's", "20240310", MonthlyDay("1", "15"), "20240315"},
        {"monthly day before the start's", "20240320", MonthlyDay("1", "15"), "20240415"},
        {"monthly on the start's day", "20240315", MonthlyDay("1", "15"), "20240315"},
        {"monthly day 31 in April", "20240405", MonthlyDay("1", "31"), "20240430"},
        {"monthly day 30 in February", "20240131", MonthlyDay("1", "30"), "20240229"},
        {"quarterly day 31", "20231215", MonthlyDay("3", 31), "20240229"},
        {"monthly across the year", "20241220", MonthlyDay("1", "5"), "20250105"},
        {"last Friday after it passed", "20240330", MonthlyWeekDay("1", 4, 5), "20240426"},
        {"last Friday before it", "20240301", MonthlyWeekDay("1", 4, 5), "20240329"},
        {"second Tuesday across the year", "20241215", MonthlyWeekDay("1", 1, 2), "20250114"},
        {"first Monday on the start", "20240101", MonthlyWeekDay("1", 0, 1), "20240101"},
        {"fourth Sunday, every 2 months", "20240101", MonthlyWeekDay("2", 3, 0), "20240225"},
        {"counts as texts", "20240330", MonthlyWeekDay("1", "4", "5"), "20240426"},
        // No first day, or no schedule.
        {"hourly", "20240315", rtl::VarArrayOf({3, 1.5}), ""},
        {"unknown kind", "20240315", rtl::VarArrayOf({4, "1"}), ""},
        {"negative kind", "20240315", rtl::VarArrayOf({-1, "1"}), ""},
        {"kind not a number", "20240315", rtl::VarArrayOf({"x", "1"}), ""},
        {"no period definition", "20240315", Variant(), ""},
        {"empty period definition", "20240315", rtl::VarArrayOf({}), ""},
        {"weekly without parameters", "20240315", rtl::VarArrayOf({1}), ""},
        {"weekly parameters not an array", "20240315", rtl::VarArrayOf({1, "1"}), ""},
        {"weekly count not a number", "20240315", Weekly("abc", 1), ""},
        {"weekly count 0", "20240315", Weekly("0", 1), ""},
        {"weekly count negative", "20240315", Weekly("-2", 1), ""},
        {"weekly day 7", "20240315", Weekly("1", 7), ""},
        {"weekly day missing", "20240315", rtl::VarArrayOf({1, rtl::VarArrayOf({"1"})}), ""},
        {"monthly style 2", "20240315", rtl::VarArrayOf({2, rtl::VarArrayOf({2, "1", "15"})}), ""},
        {"monthly day not a number", "20240315", MonthlyDay("1", "x"), ""},
        {"monthly count 0", "20240315", MonthlyDay("0", "15"), ""},
        {"monthly occurrence 5", "20240315", MonthlyWeekDay("1", 5, 1), ""},
        {"monthly week day -1", "20240315", MonthlyWeekDay("1", 0, -1), ""},
        {"monthly week day missing", "20240315", rtl::VarArrayOf({2, rtl::VarArrayOf({1, "1", 0})}), ""},
        {"start not a day", "20240230", rtl::VarArrayOf({0, "1"}), ""},
        {"start empty", "", Weekly("1", 1), ""},
        {"run past the calendar", "99991215", MonthlyDay("1", "10"), ""},
        {"week past the calendar", "99991231", Weekly("1", 6), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FirstRunDate(c.start, c.period), c.expected) << c.name;
}

// Weekly: the first target day on or after the start, then N − 1 weeks on.
TEST(FirstRunDate, WeeklyMatchesADayWalk) {
    for (chr::sys_days s = Day(2024, 1, 1); s <= Day(2025, 1, 14); s += chr::days{1}) {
        for (unsigned wd = 0; wd < 7; ++wd) {
            chr::sys_days first = s;
            while (WeekDayIndex(first) != wd) first += chr::days{1};
            for (int n = 1; n <= 3; ++n) {
                ASSERT_EQ(FirstRunDate(Ymd(s), Weekly(std::to_string(n), int(wd))), Ymd(first + chr::weeks{n - 1}))
                    << Ymd(s) << " day " << wd << " every " << n;
            }
        }
    }
}

// Monthly on day c: the first day on or after the start that is day c (or the last day of a
// shorter month), then in the month N − 1 months on.
TEST(FirstRunDate, MonthlyFixedDayMatchesADayWalk) {
    auto runDayOf = [](chr::year_month ym, unsigned c) { return chr::sys_days{ym / chr::day{std::min(c, LastDayOf(ym))}}; };
    for (chr::sys_days s = Day(2023, 12, 1); s <= Day(2025, 3, 31); s += chr::days{1}) {
        for (unsigned c : {1u, 15u, 28u, 29u, 30u, 31u}) {
            chr::sys_days first = s;
            for (;;) {
                const chr::year_month_day ymd{first};
                if (first == runDayOf({ymd.year(), ymd.month()}, c)) break;
                first += chr::days{1};
            }
            const chr::year_month_day f{first};
            for (int n = 1; n <= 3; ++n) {
                const chr::year_month ym = chr::year_month{f.year(), f.month()} + chr::months{n - 1};
                ASSERT_EQ(FirstRunDate(Ymd(s), MonthlyDay(std::to_string(n), std::to_string(c))), Ymd(runDayOf(ym, c)))
                    << Ymd(s) << " day " << c << " every " << n;
            }
        }
    }
}

// Monthly on the n-th or last week day: with N = 1 the first such day on or after the start;
// with a longer cycle always the one N − 1 months on. Expected days are found by counting the
// week days of the month one by one.
TEST(FirstRunDate, MonthlyWeekDayMatchesADayWalk) {
    auto occurrenceIn = [](chr::year_month ym, unsigned occurrence, unsigned wd) {
        std::vector<chr::sys_days> hits;
        for (chr::sys_days d{ym / chr::day{1}}; d <= chr::sys_days{ym / chr::last}; d += chr::days{1}) {
            if (WeekDayIndex(d) == wd) hits.push_back(d);
        }
        return occurrence == 4 ? hits.back() : hits.at(occurrence);
    };
    for (chr::sys_days s = Day(2023, 11, 1); s <= Day(2025, 2, 28); s += chr::days{1}) {
        const chr::year_month_day sy{s};
        const chr::year_month sm{sy.year(), sy.month()};
        for (unsigned occurrence = 0; occurrence <= 4; ++occurrence) {
            for (unsigned wd = 0; wd < 7; ++wd) {
                chr::sys_days hit = occurrenceIn(sm, occurrence, wd);
                if (hit < s) hit = occurrenceIn(sm + chr::months{1}, occurrence, wd);
                ASSERT_EQ(FirstRunDate(Ymd(s), MonthlyWeekDay("1", int(occurrence), int(wd))), Ymd(hit))
                    << Ymd(s) << " occurrence " << occurrence << " day " << wd;
                for (int n = 2; n <= 3; ++n) {
                    ASSERT_EQ(FirstRunDate(Ymd(s), MonthlyWeekDay(std::to_string(n), int(occurrence), int(wd))),
                              Ymd(occurrenceIn(sm + chr::months{n - 1}, occurrence, wd)))
                        << Ymd(s) << " occurrence " << occurrence << " day " << wd << " every " << n;
                }
            }
        }
    }
}

// ---- ShiftConditionDates -------------------------------------------------------------------

class ShiftConditionDatesTest : public ::testing::Test {
protected:
    // Values indexed 1..5: a day, a range [tag, from, to], a month, another range, a day no rule names.
    ShiftConditionDatesTest() : values(rtl::VarArrayCreate(1, 5)) {
        values[1] = "20240101";
        values[2] = rtl::VarArrayOf({"R", "20240101", "20240131"});
        values[3] = "202401";
        values[4] = rtl::VarArrayOf({"R", "20230101", "20231231"});
        values[5] = "20200202";
    }

    Variant Job(std::initializer_list<Variant> rules, Variant count = Variant()) const {
        std::vector<Variant> list;
        list.emplace_back(count.IsEmpty() ? Variant(int(rules.size())) : count);
        list.insert(list.end(), rules);
        Variant job = rtl::VarArrayCreate(1, 3);
        job[1] = values;
        job[2] = rtl::VarArrayOf({"Y", "08:30", rtl::VarArrayOf({0, "1"}), rtl::VarArrayOf({"20240315", 0})});
        job[3] = rtl::VarArrayOf(std::move(list));
        return job;
    }

    static void ExpectFailed(const Variant& r) {
        EXPECT_EQ(r.Type(), VarType::String);
        if (r.Type() == VarType::String) {
            EXPECT_EQ(r.Bytes(), "");
        }
    }

    Variant values;
};

TEST_F(ShiftConditionDatesTest, SingleDateRules) {
    struct Case {
        const char* name;
        std::string rule;
        int index;
        const char* expected;
        bool wide = false;
    } const cases[] = {
        {"relative day", Join3({"1", "edDate", "Y", "1", "1", "2", "0", "D", "1"}), 1, "20240430"},
        {"all zero takes the run day", Join3({"1", "edDate", "Y", "0", "1", "0", "0", "D", "1"}), 1, "20240315"},
        {"week rule", Join3({"1", "edDate", "Y", "0", "0", "1", "0", "D", "1"}), 1, "20240310"},
        {"relative month", Join3({"1", "meMonth", "Y", "-1", "1", "0", "0", "M", "3"}), 3, "202402"},
        {"all zero takes the run month", Join3({"1", "meMonth", "Y", "0", "0", "0", "0", "M", "3"}), 3, "202403"},
        {"rule kind other than 0 is single", Join3({"2", "edDate", "Y", "1", "1", "1", "0", "D", "1"}), 1, "20240401"},
        {"wide rule text", Join3({"1", "edDate", "Y", "1", "1", "2", "0", "D", "1"}), 1, "20240430", true},
    };
    for (const Case& c : cases) {
        const Variant rule = c.wide ? Variant(rtl::VarToWideStr(c.rule)) : Variant(c.rule);
        const Variant r = ShiftConditionDates(Job({rule}), "20240315");
        ASSERT_TRUE(r.IsArray()) << c.name;
        EXPECT_EQ(r[c.index].AsString(), c.expected) << c.name;
        for (int i = 1; i <= 5; ++i) {
            if (i != c.index) {
                EXPECT_TRUE(r[i].Identical(values[i])) << c.name << " entry " << i;
            }
        }
    }
}

TEST_F(ShiftConditionDatesTest, RangeRulesMoveTheirRelativeEnds) {
    struct Case {
        const char* name;
        std::string rule;
        const char *from, *to;
    } const cases[] = {
        {"both ends", Join3({"0", "spDate", "Y", "-1", "1", "1", "0", "Y", "-1", "1", "2", "0", "D", "2"}), "20240201", "20240229"},
        {"from only", Join3({"0", "spDate", "Y", "0", "1", "0", "0", "N", "-1", "1", "2", "0", "D", "2"}), "20240315", "20240131"},
        {"to only", Join3({"0", "spDate", "N", "-1", "1", "1", "0", "Y", "1", "0", "0", "-1", "D", "2"}), "20240101", "20240321"},
        {"month ends", Join3({"0", "spMonth", "Y", "-2", "1", "0", "0", "Y", "0", "0", "0", "0", "M", "2"}), "202401", "202403"},
    };
    for (const Case& c : cases) {
        const Variant r = ShiftConditionDates(Job({c.rule}), "20240315");
        ASSERT_TRUE(r.IsArray()) << c.name;
        EXPECT_EQ(r[2][0].AsString(), "R") << c.name;
        EXPECT_EQ(r[2][1].AsString(), c.from) << c.name;
        EXPECT_EQ(r[2][2].AsString(), c.to) << c.name;
        for (int i : {1, 3, 4, 5}) EXPECT_TRUE(r[i].Identical(values[i])) << c.name << " entry " << i;
    }
}

TEST_F(ShiftConditionDatesTest, RulesThatAreNotRelativeLeaveTheirEntriesAlone) {
    values[3] = 42;  // not even a text: a rule that is off must not look at it
    values[4] = Variant::Null();
    const Variant job = Job({
        Join3({"1", "edDate", "N", "1", "1", "2", "0", "D", "1"}),
        Join3({"0", "spDate", "N", "1", "1", "2", "0", "N", "1", "1", "2", "0", "D", "2"}),
        Join3({"1", "edOther", "", "1", "1", "2", "0", "D", "3"}),
        Join3({"0", "spOther", "y", "1", "1", "2", "0", "n", "1", "1", "2", "0", "D", "4"}),
    });
    const Variant before = job;
    const Variant r = ShiftConditionDates(job, "20240315");
    ASSERT_TRUE(r.IsArray());
    EXPECT_TRUE(r.Identical(values));
    EXPECT_TRUE(job.Identical(before));
}

TEST_F(ShiftConditionDatesTest, EveryRuleIsAppliedToACopy) {
    const Variant job = Job({
        Join3({"1", "edDate", "Y", "1", "1", "2", "0", "D", "1"}),
        Join3({"0", "spDate", "Y", "0", "0", "1", "0", "Y", "0", "0", "2", "0", "D", "4"}),
        Join3({"1", "meMonth", "Y", "1", "1", "0", "0", "M", "3"}),
    }, Variant("3"));
    const Variant before = job;
    const Variant r = ShiftConditionDates(job, "20240315");
    ASSERT_TRUE(r.IsArray());
    EXPECT_EQ(r[1].AsString(), "20240430");
    EXPECT_EQ(r[4][1].AsString(), "20240310");
    EXPECT_EQ(r[4][2].AsString(), "20240316");
    EXPECT_EQ(r[3].AsString(), "202404");
    EXPECT_TRUE(r[5].Identical(values[5]));
    EXPECT_TRUE(job.Identical(before));

    const Variant none = ShiftConditionDates(Job({}), "20240315");
    EXPECT_TRUE(none.Identical(values));
}

TEST_F(ShiftConditionDatesTest, AnyErrorGivesAnEmptyText) {
    const std::string good = Join3({"1", "edDate", "Y", "1", "1", "2", "0", "D", "1"});
    struct Case {
        const char* name;
        Variant job;
        const char* runDate;
    } const cases[] = {
        {"index past the array", Job({Join3({"1", "edDate", "Y", "1", "1", "2", "0", "D", "9"})}), "20240315"},
        {"index 0 below the array", Job({Join3({"1", "edDate", "Y", "1", "1", "2", "0", "D", "0"})}), "20240315"},
        {"index not a number", Job({Join3({"1", "edDate", "Y", "1", "1", "2", "0", "D", "x"})}), "20240315"},
        {"index read even when off", Job({Join3({"1", "edDate", "N", "1", "1", "2", "0", "D", ""})}), "20240315"},
        {"single rule missing its index", Job({Join3({"1", "edDate", "Y", "1", "1", "2", "0", "D"})}), "20240315"},
        {"range rule missing its index",
         Job({Join3({"0", "spDate", "Y", "1", "1", "2", "0", "Y", "1", "1", "2", "0", "D"})}), "20240315"},
        {"count not a number", Job({good}, Variant("two")), "20240315"},
        {"empty rule", Job({""}), "20240315"},
        {"n not a number", Job({Join3({"1", "edDate", "Y", "x", "1", "2", "0", "D", "1"})}), "20240315"},
        {"anchor not a number", Job({Join3({"1", "edDate", "Y", "1", "1", "x", "0", "D", "1"})}), "20240315"},
        {"offset not a number", Job({Join3({"1", "edDate", "Y", "1", "1", "0", "x", "D", "1"})}), "20240315"},
        {"to-value n not a number",
         Job({Join3({"0", "spDate", "Y", "1", "1", "2", "0", "Y", "?", "1", "2", "0", "D", "2"})}), "20240315"},
        {"range entry not an array",
         Job({Join3({"0", "spDate", "Y", "1", "1", "2", "0", "N", "1", "1", "2", "0", "D", "1"})}), "20240315"},
        {"count above the rules", Job({good}, Variant(2)), "20240315"},
        {"rule not a text", Job({Variant(7)}), "20240315"},
        {"a later rule fails", Job({good, Join3({"1", "edDate", "Y", "1", "1", "2", "0", "D", "6"})}), "20240315"},
        {"run day not a day", Job({good}), "20240230"},
        {"no job", Variant(), "20240315"},
        {"job without rules", rtl::VarArrayOf({Variant(), values}), "20240315"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectFailed(ShiftConditionDates(c.job, c.runDate));
    }
}
