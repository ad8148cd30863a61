#include "LibStrs.h"

#include <array>

#include "platform/os/Clock.h"
#include "platform/os/Environment.h"
#include "platform/os/Files.h"
#include "platform/os/Registry.h"
#include "platform/rtl/CodePages.h"

using rtl::TDateTime;
using rtl::Variant;
using rtl::VarType;

// ---- Packed field texts ----------------------------------------------------------------------

std::string GetField(std::string_view text, std::string_view sep, int n) {
    if (n < 1) return {};
    std::string_view rest = text;
    for (int field = 1;; ++field) {
        const size_t p = sep.empty() ? std::string_view::npos : rest.find(sep);
        if (p == std::string_view::npos) return field == n ? std::string(rest) : std::string();
        if (field == n) return std::string(rest.substr(0, p));
        rest.remove_prefix(p + sep.size());
    }
}

int FieldCount(std::string_view text, std::string_view sep) {
    if (text.empty()) return 0;
    int count = 1;
    if (sep.empty()) return count;
    for (size_t p = text.find(sep); p != std::string_view::npos; p = text.find(sep, p + sep.size())) ++count;
    return count;
}

std::string CutField(std::string& text, std::string_view sep) {
    const size_t p = sep.empty() ? std::string::npos : text.find(sep);
    std::string head;
    if (p == std::string::npos) {
        head = std::move(text);
        text.clear();
    } else {
        head = text.substr(0, p);
        text.erase(0, p + sep.size());
    }
    return head;
}

std::string ReplaceText(std::string_view text, std::string_view oldText, std::string_view newText, bool trim) {
    std::string r(text);
    if (!oldText.empty() && !rtl::SameText(oldText, newText)) {
        // Each search starts again from the beginning; nothing before the last replacement can
        // match except across its left edge, so the search resumes just before it. A new text
        // that holds the old one would be found forever: then the search goes on after it.
        const bool selfContaining = newText.find(oldText) != std::string_view::npos;
        size_t from = 0;
        for (size_t p = r.find(oldText, from); p != std::string::npos; p = r.find(oldText, from)) {
            r.replace(p, oldText.size(), newText);
            from = selfContaining ? p + newText.size() : (p >= oldText.size() - 1 ? p - (oldText.size() - 1) : 0);
        }
    }
    return trim ? rtl::Trim(r) : r;
}

// ---- Dates -----------------------------------------------------------------------------------

namespace {

// Zero-padded to at least `width` digits, never cut; a negative number keeps its sign in front.
std::string Padded(int v, int width) {
    std::string digits = std::to_string(v < 0 ? -static_cast<long long>(v) : v);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    return v < 0 ? "-" + digits : digits;
}

std::string FirstChar(std::string_view sep) { return sep.empty() ? std::string() : std::string(1, sep[0]); }

}  // namespace

std::string DateToText(int orderCode, std::string_view sep, TDateTime date) {
    if (date == 0) return {};
    const rtl::DateParts d = rtl::DecodeDate(date);
    const std::string s = FirstChar(sep);
    switch (orderCode) {
        case 1: return Padded(d.year, 4) + s + Padded(d.month, 2) + s + Padded(d.day, 2);
        case 2: return Padded(d.month, 2) + s + Padded(d.day, 2) + s + Padded(d.year, 4);
        case 3: return Padded(d.day, 2) + s + Padded(d.month, 2) + s + Padded(d.year, 4);
        case 4: return Padded(d.year - 1911, 2) + s + Padded(d.month, 2) + s + Padded(d.day, 2);
        case 5: return Padded(d.year - 1911, 3) + s + Padded(d.month, 2) + s + Padded(d.day, 2);
        default: return {};
    }
}

std::string MonthToText(int orderCode, std::string_view sep, TDateTime date) {
    if (date == 0) return {};
    const rtl::DateParts d = rtl::DecodeDate(date);
    const std::string s = FirstChar(sep);
    switch (orderCode) {
        case 1: return Padded(d.year, 4) + s + Padded(d.month, 2);
        case 2:
        case 3: return Padded(d.month, 2) + s + Padded(d.year, 4);
        case 4: return Padded(d.year - 1911, 2) + s + Padded(d.month, 2);
        case 5: return Padded(d.year - 1911, 3) + s + Padded(d.month, 2);
        default: return {};
    }
}

TDateTime TextToDate(std::string_view text, int orderCode, std::string_view sep) {
    std::string rest = rtl::Trim(text);
    if (rest.empty()) return 0;
    int f[3];
    for (int& v : f) v = rtl::StrToIntDef(rtl::Trim(CutField(rest, sep)), -1);
    if (f[0] <= 0 || f[1] <= 0 || f[2] <= 0 || orderCode < 1 || orderCode > 5) return 0;
    int year, month, day;
    switch (orderCode) {
        case 1: year = f[0], month = f[1], day = f[2]; break;
        case 2: year = f[2], month = f[0], day = f[1]; break;
        case 3: year = f[2], month = f[1], day = f[0]; break;
        default: year = f[0] + 1911, month = f[1], day = f[2]; break;
    }
    TDateTime first;
    if (!rtl::TryEncodeDate(year, month, 1, first)) return 0;
    // A day beyond the month's end rolls over into the following months.
    return first + (day - 1);
}

namespace {
bool SplitYmd(std::string_view ymd, int& y, int& m, int& d) {
    if (ymd.size() != 8) return false;
    y = rtl::StrToIntDef(ymd.substr(0, 4), 0);
    m = rtl::StrToIntDef(ymd.substr(4, 2), 0);
    d = rtl::StrToIntDef(ymd.substr(6, 2), 0);
    return y != 0 && m != 0 && d != 0;
}
}  // namespace

TDateTime YmdToDate(std::string_view ymd) {
    int y, m, d;
    TDateTime r;
    if (!SplitYmd(ymd, y, m, d) || !rtl::TryEncodeDate(y, m, d, r)) return 0;
    return r;
}

bool IsValidYmd(std::string_view ymd) {
    if (ymd.empty()) return true;
    return YmdToDate(ymd) != 0 && ymd >= "17530101" && ymd <= "99991231";
}

// ---- Variants, environment and numbers ---------------------------------------------------------

Variant VarIIf(bool flag, const Variant& a, const Variant& b) { return flag ? a : b; }

bool VarIsBlank(const Variant& v) { return v.IsEmpty() || v.IsNull(); }

std::string GetTempFolder() { return os::GetTempPath(); }

bool IsLocalHost(std::string_view address) { return address == "127.0.0.1"; }

double StrToFloatDefault(std::string_view text, double def) { return rtl::StrToFloatDef(text, def); }

std::u16string PackVarList(std::string_view head, const Variant& list) {
    const std::u16string sep(1, u'\x03');
    std::u16string r = rtl::Utf8ToWideLenient(head) + sep + rtl::VarToWideStr(list[0]) + sep;
    const int n = list[0].AsInteger();
    for (int i = 1; i <= n; ++i) r += rtl::VarToWideStr(list[i]) + sep;
    return r;
}

// ---- Code pages --------------------------------------------------------------------------------

std::string WideToAnsiCP(std::u16string_view text, int codePage) {
    // A code page the system cannot convert falls back to the default conversion.
    if (!rtl::IsCodePageSupported(codePage)) return rtl::WideToUtf8Lenient(text);
    return rtl::EncodeCodePage(text, codePage);
}

std::u16string AnsiToWideCP(std::string_view text, int codePage) {
    if (!rtl::IsCodePageSupported(codePage)) return rtl::Utf8ToWideLenient(text);
    return rtl::DecodeCodePage(text, codePage);
}

namespace {

void LogConversionError(const char* line, const std::exception& e) {
    WriteAlertLog("libstrs", std::string(line) + e.what(), "D");
}

// Wide text -> bytes of the code page, kept as a byte string.
Variant EncodedScalar(const Variant& v, int codePage) { return Variant(WideToAnsiCP(v.AsWide(), codePage)); }

// A string read as bytes of the system's own encoding, re-decoded with the code page.
Variant DecodedScalar(const Variant& v, int codePage) {
    const std::string bytes = v.Type() == VarType::OleStr ? rtl::WideToUtf8(v.Wide()) : v.Bytes();
    return Variant(AnsiToWideCP(bytes, codePage));
}

}  // namespace

namespace {

// The walk both conversions share: a scalar string is converted; a one-dimensional array has its
// wide strings converted and its arrays walked again; a two-dimensional array has only its
// wide strings converted; anything else stays. On any error the input is returned and logged.
template <typename Convert>
Variant ConvertStrings(const Variant& v, int codePage, Convert convert, const char* logLine) {
    try {
        switch (v.Type()) {
            case VarType::OleStr:
            case VarType::String: return convert(v, codePage);
            case VarType::Array: break;
            default: return v;
        }
        Variant r = v;
        rtl::VarArray& a = r.Arr();
        if (a.DimCount() > 2) return r;
        for (Variant& e : a.Items()) {
            if (e.IsArray() && a.DimCount() == 1) {
                e = ConvertStrings(e, codePage, convert, logLine);
            } else if (e.Type() == VarType::OleStr) {
                e = convert(e, codePage);
            }
        }
        return r;
    } catch (const std::exception& e) {
        LogConversionError(logLine, e);
        return v;
    }
}

}  // namespace

Variant VarToAnsiCP(const Variant& v, int codePage) { return ConvertStrings(v, codePage, EncodedScalar, "LINE[2735] "); }

Variant VarToWideCP(const Variant& v, int codePage) { return ConvertStrings(v, codePage, DecodedScalar, "LINE[115] "); }

// ---- Dialogs -----------------------------------------------------------------------------------

std::string ButtonCaption(std::string_view buttonName) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 11> captions{{
        {"Yes", "是(&Y)"},
        {"No", "否(&N)"},
        {"OK", "确定"},
        {"Cancel", "取消"},
        {"Abort", "中断(&A)"},
        {"Retry", "重试(&R)"},
        {"Ignore", "忽略(&I)"},
        {"All", "全部(&A)"},
        {"NoToAll", "全否(&o)"},
        {"YesToAll", "全是(&A)"},
        {"Help", "帮助(&H)"},
    }};
    for (const auto& [name, caption] : captions) {
        if (name == buttonName) return std::string(caption);
    }
    return std::string(buttonName);
}

// ---- Alert logs --------------------------------------------------------------------------------

std::string GetLauncherFolder() {
    try {
        os::TRegistry reg;
        reg.RootKey = os::HKEY_LOCAL_MACHINE;
        if (!reg.OpenKeyReadOnly("Software\\TGK\\Steward")) return {};
        std::string folder = reg.ReadString("ClientPath");
        if (folder.empty()) folder = reg.ReadString("ServerPath");
        return folder;
    } catch (const std::exception&) {
        return {};
    }
}

namespace {

std::string PeriodStamp(std::string_view period, TDateTime now) {
    if (period == "M") return rtl::FormatDateTime("yyyymm", now);
    if (period == "Y") return rtl::FormatDateTime("yyyy", now);
    return rtl::FormatDateTime("yyyymmdd", now);
}

}  // namespace

bool WriteLogLine(const std::string& baseFolder, const std::string& fileName, std::string_view stamp,
                  std::string_view text) {
    try {
        const std::string folder = os::PathJoin(baseFolder, "Log");
        if (!os::ForceDirectories(folder)) return false;
        std::string line;
        line.reserve(stamp.size() + text.size() + 4);
        line.append("[").append(stamp).append("] ").append(text).append("\n");
        return os::AppendFileBytes(os::PathJoin(folder, fileName), line);
    } catch (const std::exception&) {
        return false;
    }
}

namespace {
bool WriteSourceLog(const std::string& baseFolder, std::string_view source, std::string_view text,
                    std::string_view period) {
    const TDateTime now = os::Now();
    std::string name = "Alert_" + std::string(source) + "_" + PeriodStamp(period, now);
    if (source.find('.') == std::string_view::npos) name += ".log";
    return WriteLogLine(baseFolder, name, rtl::FormatDateTime("YYYY/MM/DD hh:nn:ss:zzz", now), text);
}
}  // namespace

bool WriteAlertLog(std::string_view source, std::string_view text, std::string_view period) {
    try {
        std::string base = GetLauncherFolder();
        if (base.empty()) base = os::GetExecutableFolder();
        return WriteSourceLog(base, source, text, period);
    } catch (const std::exception&) {
        return false;
    }
}

bool WriteDownloadLog(std::string_view source, std::string_view text, std::string_view period) {
    try {
        return WriteSourceLog(os::GetExecutableFolder(), source, text, period);
    } catch (const std::exception&) {
        return false;
    }
}

// ---- Published properties by name ---------------------------------------------------------------

namespace {
const ui::PropInfo* Published(const ui::TObject* obj, std::string_view name) {
    return obj && !name.empty() ? ui::GetPropInfo(obj, name) : nullptr;
}
}  // namespace

ui::TMethod GetMethodPropByName(const ui::TObject* obj, std::string_view name) {
    const ui::PropInfo* p = Published(obj, name);
    return p && p->GetMethod ? p->GetMethod(*obj) : ui::TMethod();
}

std::string GetStrPropByName(const ui::TObject* component, std::string_view name) {
    const ui::PropInfo* p = Published(component, name);
    return p && p->GetStr ? p->GetStr(*component) : std::string();
}

int64_t GetOrdPropByName(const ui::TObject* control, std::string_view name) {
    const ui::PropInfo* p = Published(control, name);
    return p && p->GetOrd ? p->GetOrd(*control) : 0;
}

void SetStrPropByName(ui::TObject* component, std::string_view name, const std::string& value) {
    const ui::PropInfo* p = Published(component, name);
    if (p && p->SetStr) p->SetStr(*component, value);
}

void SetOrdPropByName(ui::TObject* obj, std::string_view name, int64_t value) {
    const ui::PropInfo* p = Published(obj, name);
    if (p && p->SetOrd) p->SetOrd(*obj, value);
}

void SetMethodPropByName(ui::TObject* obj, std::string_view name, const ui::TMethod& handler) {
    const ui::PropInfo* p = Published(obj, name);
    if (p && p->SetMethod) p->SetMethod(*obj, handler);
}

bool HasProperty(const ui::TObject* component, std::string_view name) { return Published(component, name) != nullptr; }
