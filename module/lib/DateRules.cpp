#include "lib/DateRules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "lib/LibStrs.h"
#include "platform/rtl/SysUtils.h"

using rtl::TDateTime;
using rtl::Variant;
using rtl::VarType;

namespace {

// 1 January 0001 and 31 December 9999: the days a "yyyymmdd" text can hold.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958465.0;

// Every internal failure is a conversion error; the public routines catch it and answer empty.
[[noreturn]] void Fail(const char* what) { throw rtl::EConvertError(what); }

TDateTime Encode(int year, int month, int day) {
    TDateTime d;
    if (!rtl::TryEncodeDate(year, month, day, d)) Fail("Date out of range");
    return d;
}

TDateTime AddDays(TDateTime date, int64_t days) {
    const double r = date + static_cast<double>(days);
    if (r < kFirstDay || r >= kLastDay + 1.0) Fail("Date out of range");
    return r;
}

TDateTime AddYears(TDateTime date, int64_t count) {
    const rtl::DateParts p = rtl::DecodeDate(date);
    const int64_t year = p.year + count;
    if (year < 1 || year > 9999) Fail("Date out of range");
    const int y = static_cast<int>(year);
    return Encode(y, p.month, std::min(p.day, DaysInMonth(y, p.month)));
}

// Months are counted on year × 12 + month, where a remainder of 0 is December of the year before.
TDateTime AddMonths(TDateTime date, int64_t count) {
    const rtl::DateParts p = rtl::DecodeDate(date);
    const int64_t t = int64_t{p.year} * 12 + p.month + count;
    int64_t month = t % 12;
    int64_t year = t / 12;
    if (month == 0) {
        month = 12;
        --year;
    }
    if (month < 1 || year < 1 || year > 9999) Fail("Date out of range");
    const int y = static_cast<int>(year);
    const int m = static_cast<int>(month);
    return Encode(y, m, std::min(p.day, DaysInMonth(y, m)));
}

// A "yyyymmdd" text as a day; a text that is not a calendar day is an error.
TDateTime ReadDate(std::string_view text) {
    const TDateTime d = YmdToDate(text);
    if (d == 0) Fail("Not a date text");
    return d;
}

void PutDigits(char* out, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// Year 1..9999, month 1..12 and day 1..99 fit the eight characters exactly.
std::string FormatParts(int year, int month, int day) {
    std::string s(8, '0');
    PutDigits(s.data(), year, 4);
    PutDigits(s.data() + 4, month, 2);
    PutDigits(s.data() + 6, day, 2);
    return s;
}

std::string FormatYmd(TDateTime date) {
    const rtl::DateParts p = rtl::DecodeDate(date);
    return FormatParts(p.year, p.month, p.day);
}

// Integers arrive as numbers or as texts; texts are read strictly.
int ReadInt(const Variant& v) {
    switch (v.Type()) {
        case VarType::Integer:
            if (v.Int() >= std::numeric_limits<int>::min() && v.Int() <= std::numeric_limits<int>::max()) {
                return static_cast<int>(v.Int());
            }
            break;
        case VarType::Double: {
            const double x = v.Dbl();
            if (x == std::trunc(x) && x >= std::numeric_limits<int>::min() && x <= std::numeric_limits<int>::max()) {
                return static_cast<int>(x);
            }
            break;
        }
        case VarType::String: return rtl::StrToInt(v.Bytes());
        case VarType::OleStr: return rtl::StrToInt(v.AsString());
        default: break;
    }
    Fail("Not an integer");
}

int ReadInRange(const Variant& v, int low, int high) {
    const int x = ReadInt(v);
    if (x < low || x > high) Fail("Value out of range");
    return x;
}

// A cycle length below 1 would put the first run before the start.
int ReadCycleCount(const Variant& v) { return ReadInRange(v, 1, std::numeric_limits<int>::max()); }

std::string WeekBoundaryOf(std::string_view base, std::string_view n, std::string_view anchor) {
    const TDateTime d = AddDays(ReadDate(base), int64_t{rtl::StrToInt(n)} * 7);
    const int w = rtl::DayOfWeek(d);
    return FormatYmd(AddDays(d, anchor == "1" ? 1 - w : 7 - w));
}

std::string RelativeDateOf(std::string_view base, std::string_view n, std::string_view unit,
                           std::string_view anchor, std::string_view offset) {
    if (base.size() < 7) {
        std::string day(base);
        day += "01";
        return FormatYmd(AddMonths(ReadDate(day), rtl::StrToInt(n))).substr(0, 6);
    }
    if (unit != "0") {
        TDateTime d = AddMonths(ReadDate(base), rtl::StrToInt(n));
        switch (rtl::StrToInt(anchor)) {
            case 0: d = AddDays(d, rtl::StrToInt(offset)); break;
            case 1: {
                const rtl::DateParts p = rtl::DecodeDate(d);
                d = Encode(p.year, p.month, 1);
                break;
            }
            case 2: {
                const rtl::DateParts p = rtl::DecodeDate(d);
                d = Encode(p.year, p.month, DaysInMonth(p.year, p.month));
                break;
            }
            default: break;
        }
        return FormatYmd(d);
    }
    if (anchor == "0") {
        return FormatYmd(AddDays(ReadDate(base), int64_t{rtl::StrToInt(n)} * 7 + rtl::StrToInt(offset)));
    }
    return WeekBoundaryOf(base, n, anchor);
}

// Weekly: [N, week day 0..6]. The target day of the start's week when it is not yet past,
// else of the next week, then N − 1 weeks further.
TDateTime FirstWeeklyRun(TDateTime start, const Variant& params) {
    const int n = ReadCycleCount(params[0]);
    const int target = ReadInRange(params[1], 0, 6) + 1;
    const int64_t weeks = target >= rtl::DayOfWeek(start) ? n - 1 : n;
    const TDateTime d = AddDays(start, weeks * 7);
    return AddDays(d, target - rtl::DayOfWeek(d));
}

// Monthly on a fixed day: [0, N, day]. A day the month lacks becomes its last day.
std::string FirstMonthlyDayRun(TDateTime start, int n, const Variant& dayValue) {
    const int day = ReadInt(dayValue);
    const rtl::DateParts s = rtl::DecodeDate(start);
    const rtl::DateParts m = rtl::DecodeDate(AddMonths(start, day >= s.day ? n - 1 : n));
    if (day >= 1 && day <= 31) {
        std::string text = FormatParts(m.year, m.month, day);
        if (IsValidYmd(text)) return text;
    }
    return FormatParts(m.year, m.month, DaysInMonth(m.year, m.month));
}

// Monthly on the n-th week day: [1, N, occurrence 0..3 or 4 for the last, week day 0..6].
// N − 1 months ahead, or N when that occurrence is already before the start.
TDateTime FirstMonthlyWeekDayRun(TDateTime start, int n, const Variant& occurrenceValue, const Variant& dayValue) {
    const int occurrence = ReadInRange(occurrenceValue, 0, 4);
    const int target = ReadInRange(dayValue, 0, 6) + 1;
    int64_t months = n - 1;
    for (int pass = 0;; ++pass) {
        const rtl::DateParts m = rtl::DecodeDate(AddMonths(start, months));
        TDateTime run;
        if (occurrence < 4) {
            const TDateTime first = Encode(m.year, m.month, 1);
            const int c = target - rtl::DayOfWeek(first);
            run = first + c + 7 * (c >= 0 ? occurrence : occurrence + 1);
        } else {
            const TDateTime last = Encode(m.year, m.month, DaysInMonth(m.year, m.month));
            const int e = rtl::DayOfWeek(last) - target;
            run = e >= 0 ? last - e : last - e - 7;
        }
        if (run >= start || pass > 0) return run;
        months = n;
    }
}

// The fields of a date rule entry, numbered from 1 as the rules describe them.
class RuleFields {
public:
    explicit RuleFields(std::string_view text) {
        size_t pos = 0;
        while (count_ < fields_.size()) {
            const size_t end = text.find('\x03', pos);
            fields_[count_++] = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
            if (end == std::string_view::npos) break;
            pos = end + 1;
        }
    }
    std::string_view operator()(size_t n) const {
        if (n < 1 || n > count_) Fail("Missing date rule field");
        return fields_[n - 1];
    }

private:
    std::array<std::string_view, 14> fields_;
    size_t count_ = 0;
};

// The value of one rule (n, unit, anchor, offset from field `first` on): the base itself when
// n, anchor and offset are all "0".
std::string RuleValue(std::string_view base, const RuleFields& f, size_t first) {
    if (f(first) == "0" && f(first + 2) == "0" && f(first + 3) == "0") return std::string(base);
    return RelativeDateOf(base, f(first), f(first + 1), f(first + 2), f(first + 3));
}

std::string TextOf(const Variant& v) {
    if (v.Type() == VarType::String) return v.Bytes();
    if (v.Type() == VarType::OleStr) return v.AsString();
    Fail("Date rule is not a text");
}

}  // namespace

int DaysInMonth(int year, int month) {
    switch (month) {
        case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
        case 4: case 6: case 9: case 11: return 30;
        case 2: return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
        default: return 0;
    }
}

std::string AddToYmd(const Variant& date, std::string_view unit, int count) {
    try {
        TDateTime d;
        if (date.IsStr()) {
            d = YmdToDate(date.Type() == VarType::String ? date.Bytes() : date.AsString());
        } else if (date.Type() == VarType::Date) {
            d = date.DateValue();
            if (d < kFirstDay || d >= kLastDay + 1.0) return {};
        } else {
            return {};
        }
        if (d == 0 || unit.size() != 1) return {};
        switch (unit[0]) {
            case 'Y': case 'y': return FormatYmd(AddYears(d, count));
            case 'M': case 'm': return FormatYmd(AddMonths(d, count));
            case 'D': case 'd': return FormatYmd(AddDays(d, count));
            default: return {};
        }
    } catch (...) {
        return {};
    }
}

std::string RelativeDate(std::string_view base, std::string_view n, std::string_view unit,
                         std::string_view anchor, std::string_view offset) {
    try {
        return RelativeDateOf(base, n, unit, anchor, offset);
    } catch (...) {
        return {};
    }
}

std::string WeekBoundary(std::string_view base, std::string_view n, std::string_view anchor) {
    try {
        return WeekBoundaryOf(base, n, anchor);
    } catch (...) {
        return {};
    }
}

std::string FirstRunDate(std::string_view start, const Variant& period) {
    try {
        const int kind = ReadInt(period[0]);
        if (kind < 0 || kind > 2) return {};  // hourly runs and unknown kinds have no first run day
        const TDateTime s = ReadDate(start);
        if (kind == 0) return FormatYmd(s);
        const Variant& params = period[1];
        if (kind == 1) return FormatYmd(FirstWeeklyRun(s, params));
        const int style = ReadInRange(params[0], 0, 1);
        const int n = ReadCycleCount(params[1]);
        if (style == 0) return FirstMonthlyDayRun(s, n, params[2]);
        return FormatYmd(FirstMonthlyWeekDayRun(s, n, params[2], params[3]));
    } catch (...) {
        return {};
    }
}

Variant ShiftConditionDates(const Variant& job, std::string_view runDate) {
    try {
        Variant values = job[1];
        const Variant& rules = job[3];
        const int count = ReadInt(rules[0]);
        for (int i = 1; i <= count; ++i) {
            const std::string text = TextOf(rules[i]);
            const RuleFields f(text);
            if (f(1) != "0") {
                const std::string_view base = f(8) == "D" ? runDate : runDate.substr(0, 6);
                Variant& entry = values[rtl::StrToInt(f(9))];
                if (f(3) == "Y") entry = RuleValue(base, f, 4);
            } else {
                const std::string_view base = f(13) == "D" ? runDate : runDate.substr(0, 6);
                Variant& entry = values[rtl::StrToInt(f(14))];
                if (f(3) == "Y") entry[1] = RuleValue(base, f, 4);
                if (f(8) == "Y") entry[2] = RuleValue(base, f, 9);
            }
        }
        return values;
    } catch (...) {
        return Variant(std::string());
    }
}
