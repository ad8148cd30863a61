#include "Jobs.h"

#include <cmath>
#include <string>

namespace appserver {

namespace {

using rtl::Variant;
using rtl::VarType;

// ---- Reading parts of a payload -----------------------------------------------------------

std::string Found(const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty: return "nothing";
        case VarType::Null: return "Null";
        case VarType::Boolean: return "a Boolean";
        case VarType::Integer: return "the integer " + std::to_string(v.Int());
        case VarType::Double: return "the number " + rtl::FloatToStr(v.Dbl());
        case VarType::Date: return "a date";
        case VarType::OleStr:
        case VarType::String: {
            const std::string t = rtl::VarToStr(v);
            return t.empty() ? "an empty text" : "the text \"" + (t.size() > 40 ? t.substr(0, 40) + "..." : t) + "\"";
        }
        case VarType::Dispatch: return "an automation object";
        case VarType::Array: {
            const rtl::VarArray& a = v.Arr();
            if (a.DimCount() != 1) return "a two-dimensional array";
            return "an array with bounds " + std::to_string(a.LowBound(1)) + ".." + std::to_string(a.HighBound(1));
        }
    }
    return "an unknown value";
}

[[noreturn]] void Bad(const std::string& part, const std::string& rule, const Variant& found) {
    throw EBadPayload(part + " must be " + rule + "; found " + Found(found));
}

bool IsOneDim(const Variant& v) { return v.IsArray() && v.Arr().DimCount() == 1; }

// A one-dimensional array; the bounds are checked by the caller.
const rtl::VarArray& ArrayOf(const std::string& part, const Variant& v, const std::string& rule) {
    if (!IsOneDim(v)) Bad(part, rule, v);
    return v.Arr();
}

void RequireBounds(const std::string& part, const Variant& v, int low, int high) {
    const std::string rule = "an array with bounds " + std::to_string(low) + ".." + std::to_string(high);
    const rtl::VarArray& a = ArrayOf(part, v, rule);
    if (a.LowBound(1) != low || a.HighBound(1) != high) Bad(part, rule, v);
}

std::string Text(const std::string& part, const Variant& v, bool required) {
    if (!v.IsStr()) Bad(part, required ? "a non-empty text" : "a text", v);
    std::string t = rtl::VarToStr(v);
    if (required && rtl::Trim(t).empty()) Bad(part, "a non-empty text", v);
    return t;
}

// An integer given as a number or as a decimal text.
bool TryInt(const Variant& v, int& out) {
    if (v.Type() == VarType::Integer) {
        if (v.Int() < INT32_MIN || v.Int() > INT32_MAX) return false;
        out = static_cast<int>(v.Int());
        return true;
    }
    if (v.Type() == VarType::Double) {
        const double d = v.Dbl();
        if (!std::isfinite(d) || d != std::floor(d) || d < INT32_MIN || d > INT32_MAX) return false;
        out = static_cast<int>(d);
        return true;
    }
    if (v.IsStr()) return rtl::TryStrToIntDecimal(rtl::Trim(rtl::VarToStr(v)), out);
    return false;
}

int IntIn(const std::string& part, const Variant& v, int low, int high) {
    int n = 0;
    if (!TryInt(v, n) || n < low || n > high) {
        Bad(part, high == INT32_MAX ? "an integer of at least " + std::to_string(low)
                                    : "an integer from " + std::to_string(low) + " to " + std::to_string(high),
            v);
    }
    return n;
}

rtl::TDateTime DateTimeOf(const std::string& part, const Variant& v) {
    if (v.Type() != VarType::Date) Bad(part, "a date and time", v);
    return v.DateValue();
}

std::string Ymd(const std::string& part, const Variant& v) {
    const std::string t = v.IsStr() ? rtl::VarToStr(v) : std::string();
    if (!IsYmdDate(t)) Bad(part, "a date written YYYYMMDD", v);
    return t;
}

int CountFields(const std::string& text, char sep) {
    int n = 1;
    for (char c : text) n += c == sep ? 1 : 0;
    return n;
}

std::string Field(const std::string& text, int index, char sep) {  // index from 1
    size_t start = 0;
    for (int i = 1; i < index; ++i) {
        start = text.find(sep, start);
        if (start == std::string::npos) return "";
        ++start;
    }
    const size_t end = text.find(sep, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// ---- The parts ----------------------------------------------------------------------------

const char* const kEnvNames[] = {"",
                                 "program code",
                                 "number of environment elements",
                                 "number of option elements",
                                 "company code",
                                 "user code",
                                 "database name",
                                 "date and time of the request",
                                 "server class name",
                                 "program kind",
                                 "run mode",
                                 "run date and time",
                                 "notification recipients"};

std::string EnvPart(int i) {
    return "Environment element " + std::to_string(i) + " (" + (i <= 12 ? kEnvNames[i] : "") + ")";
}

void CheckEnvironment(const Variant& env, JobDescription& job, int& optionCount) {
    const std::string part = "The environment (payload element 0)";
    const rtl::VarArray& a = ArrayOf(part, env, "an array with elements 1 to 9 at least");
    if (a.LowBound(1) > 1 || a.HighBound(1) < 9) Bad(part, "an array with elements 1 to 9 at least", env);
    const int high = a.HighBound(1);

    job.ProgramID = Text(EnvPart(1), a.At(1), true);
    int count = 0;
    if (!TryInt(a.At(2), count) || count != high) {
        Bad(EnvPart(2), "the environment's high bound " + std::to_string(high), a.At(2));
    }
    optionCount = IntIn(EnvPart(3), a.At(3), 0, INT32_MAX);
    job.Company = Text(EnvPart(4), a.At(4), true);
    job.UserID = Text(EnvPart(5), a.At(5), true);
    job.DBName = Text(EnvPart(6), a.At(6), false);
    job.RequestTime = DateTimeOf(EnvPart(7), a.At(7));
    job.ServerClass = Text(EnvPart(8), a.At(8), true);
    job.ProgramKind = Text(EnvPart(9), a.At(9), true);
    if (job.ProgramKind.size() != 1) Bad(EnvPart(9), "one letter", a.At(9));
    if (high >= 10) job.RunMode = IntIn(EnvPart(10), a.At(10), 0, 2);
    if (high >= 11) job.RunTime = DateTimeOf(EnvPart(11), a.At(11));
    if (high >= 12) Text(EnvPart(12), a.At(12), false);
}

void CheckOptions(const Variant& labels, const Variant& values, int optionCount) {
    const std::string labelPart = "The option labels (payload element 1)";
    const std::string rule = "an array with bounds 0.." + std::to_string(optionCount) + " or 1.." +
                             std::to_string(optionCount) + " (environment element 3)";
    const rtl::VarArray& l = ArrayOf(labelPart, labels, rule);
    if (l.LowBound(1) > 1 || l.LowBound(1) < 0 || l.HighBound(1) != optionCount) Bad(labelPart, rule, labels);
    const std::string valuePart = "The option values (payload element 2)";
    const std::string same = "an array with the bounds of the option labels, " + std::to_string(l.LowBound(1)) + ".." +
                             std::to_string(l.HighBound(1));
    const rtl::VarArray& v = ArrayOf(valuePart, values, same);
    if (v.LowBound(1) != l.LowBound(1) || v.HighBound(1) != l.HighBound(1)) Bad(valuePart, same, values);
    for (int i = std::max(1, l.LowBound(1)); i <= l.HighBound(1); ++i) {
        const Variant& label = l.At(i);
        if (!IsOneDim(label) || label.Arr().Length(1) < 2 || !label.Arr().Items()[0].IsStr() ||
            !label.Arr().Items()[1].IsStr()) {
            Bad("Option label " + std::to_string(i), "an array [caption, component name]", label);
        }
    }
}

Variant CheckCycle(const Variant& cycle, int& kind) {
    const std::string part = "The period definition (schedule element 2)";
    RequireBounds(part, cycle, 0, 1);
    kind = IntIn("The cycle kind (period definition element 0)", cycle[0], 0, 3);
    const Variant& p = cycle[1];
    const std::string params = "The cycle parameters (period definition element 1)";
    switch (kind) {
        case 0: IntIn(params + ", every N days,", p, 1, INT32_MAX); break;
        case 1:
            RequireBounds(params, p, 0, 1);
            IntIn("The weekly cycle's N weeks", p[0], 1, INT32_MAX);
            IntIn("The weekly cycle's week day", p[1], 0, 6);
            break;
        case 2: {
            const rtl::VarArray& a = ArrayOf(params, p, "an array [0, N months, day] or [1, N months, occurrence, week day]");
            if (a.LowBound(1) != 0 || (a.HighBound(1) != 2 && a.HighBound(1) != 3)) {
                Bad(params, "an array [0, N months, day] or [1, N months, occurrence, week day]", p);
            }
            const int style = IntIn("The monthly cycle's style", p[0], 0, 1);
            IntIn("The monthly cycle's N months", p[1], 1, INT32_MAX);
            if (style == 0) {
                RequireBounds(params, p, 0, 2);
                IntIn("The monthly cycle's day", p[2], 1, 31);
            } else {
                RequireBounds(params, p, 0, 3);
                IntIn("The monthly cycle's occurrence", p[2], 0, 4);
                IntIn("The monthly cycle's week day", p[3], 0, 6);
            }
            break;
        }
        default: {
            double hours = 0;
            const bool number = p.Type() == VarType::Integer || p.Type() == VarType::Double;
            if (number) hours = p.AsDouble();
            if (!number || !std::isfinite(hours) || hours <= 0) Bad(params + ", every H hours,", "a positive number", p);
        }
    }
    return cycle;
}

JobSchedule CheckSchedule(const Variant& schedule, const Variant& rules) {
    JobSchedule s;
    RequireBounds("The schedule (payload element 3)", schedule, 0, 3);
    if (!schedule[0].IsStr() || rtl::VarToStr(schedule[0]) != "Y") Bad("Schedule element 0", "the text \"Y\"", schedule[0]);
    s.RunTime = schedule[1].IsStr() ? rtl::VarToStr(schedule[1]) : std::string();
    int hour = -1, minute = -1;
    const bool timeOk = s.RunTime.size() == 5 && s.RunTime[2] == ':' &&
                        rtl::TryStrToIntDecimal(s.RunTime.substr(0, 2), hour) &&
                        rtl::TryStrToIntDecimal(s.RunTime.substr(3, 2), minute) && hour >= 0 && hour <= 23 &&
                        minute >= 0 && minute <= 59;
    if (!timeOk) Bad("Schedule element 1 (run time)", "a time written HH:MM", schedule[1]);
    s.Cycle = CheckCycle(schedule[2], s.CycleKind);

    const Variant& range = schedule[3];
    const std::string part = "The range (schedule element 3)";
    const rtl::VarArray& r = ArrayOf(part, range, "an array [start, 0], [start, 1, runs] or [start, 2, end]");
    if (r.LowBound(1) != 0 || r.HighBound(1) < 1) Bad(part, "an array [start, 0], [start, 1, runs] or [start, 2, end]", range);
    s.StartDate = Ymd("The range's start date", range[0]);
    s.RangeKind = IntIn("The range kind (range element 1)", range[1], 0, 2);
    if (s.RangeKind == 0) {
        RequireBounds(part, range, 0, 1);
    } else {
        RequireBounds(part, range, 0, 2);
        if (s.RangeKind == 1) {
            s.RunCount = IntIn("The range's number of runs", range[2], 1, INT32_MAX);
        } else {
            s.EndDate = Ymd("The range's end date", range[2]);
            if (s.EndDate < s.StartDate) Bad("The range's end date", "on or after the start date " + s.StartDate, range[2]);
        }
    }

    const std::string rulePart = "The date rule list (payload element 4)";
    const rtl::VarArray& l = ArrayOf(rulePart, rules, "an array [n, rule 1, ..., rule n]");
    if (l.LowBound(1) != 0 || l.HighBound(1) < 0) Bad(rulePart, "an array [n, rule 1, ..., rule n]", rules);
    int n = 0;
    if (!TryInt(l.At(0), n) || n != l.HighBound(1)) {
        Bad("Date rule list element 0", "the number of rules, " + std::to_string(l.HighBound(1)), l.At(0));
    }
    for (int i = 1; i <= n; ++i) {
        const std::string rp = "Date rule " + std::to_string(i);
        const std::string rule = Text(rp, l.At(i), true);
        const bool isRange = Field(rule, 1, '\x03') == "0";
        if (CountFields(rule, '\x03') < (isRange ? 13 : 8) || Field(rule, 2, '\x03').empty()) {
            Bad(rp, isRange ? "a range rule of 13 fields at least" : "a date rule of 8 fields at least", l.At(i));
        }
    }
    s.DateRules = rules;
    return s;
}

}  // namespace

// ---- Job numbers --------------------------------------------------------------------------

std::string FormatJobNumber(int64_t sequence) {
    if (sequence < 1 || sequence > kMaxJobSequence) {
        throw rtl::ERangeError("Job sequence number " + std::to_string(sequence) + " is outside 1.." +
                               std::to_string(kMaxJobSequence));
    }
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string digits(8, '0');
    for (int i = 7; i >= 0 && sequence > 0; --i) {
        digits[static_cast<size_t>(i)] = kDigits[sequence % 36];
        sequence /= 36;
    }
    return digits + "0000";
}

std::string FirstSubJobNumber(std::string_view jobNumber) { return std::string(jobNumber.substr(0, 8)) + "0001"; }

std::string AllocateJobNumber(data::SqlDatabase& db) {
    // The write comes first: it takes the database's write lock, so no other server can read
    // the same value in between.
    if (db.Execute("UPDATE JOB_COUNTER SET VALUE = VALUE + 1 WHERE NAME = 'JOB'") != 1) {
        db.Execute("INSERT INTO JOB_COUNTER (NAME, VALUE) VALUES ('JOB', 1)");
    }
    const data::SqlRows rows = db.Query("SELECT VALUE FROM JOB_COUNTER WHERE NAME = 'JOB'");
    return FormatJobNumber(rows.Rows.at(0).at(0).AsInt64());
}

// ---- Payloads -----------------------------------------------------------------------------

bool IsYmdDate(std::string_view text) {
    if (text.size() != 8) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    if (text < "17530101") return false;
    const int y = std::stoi(std::string(text.substr(0, 4)));
    const int m = std::stoi(std::string(text.substr(4, 2)));
    const int d = std::stoi(std::string(text.substr(6, 2)));
    rtl::TDateTime ignored = 0;
    return rtl::TryEncodeDate(y, m, d, ignored);
}

JobDescription CheckPayload(const rtl::Variant& payload) {
    const std::string part = "The job payload";
    const std::string rule = "an array with bounds 0..2 (0..4 for a periodic job)";
    const rtl::VarArray& p = ArrayOf(part, payload, rule);
    if (p.LowBound(1) != 0 || (p.HighBound(1) != 2 && p.HighBound(1) != 4)) Bad(part, rule, payload);

    JobDescription job;
    int optionCount = 0;
    CheckEnvironment(p.At(0), job, optionCount);
    CheckOptions(p.At(1), p.At(2), optionCount);
    if (p.HighBound(1) == 4) job.Schedule = CheckSchedule(p.At(3), p.At(4));
    return job;
}

}  // namespace appserver
