#include "SysUtils.h"

#include <cxxabi.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <typeinfo>

#include "CodePages.h"
#include "Variants.h"

namespace rtl {

std::string ExceptionClassName(const std::exception& e) {
    if (const auto* ours = dynamic_cast<const Exception*>(&e)) return ours->ClassName();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status),
                                                      &std::free);
    std::string n = (status == 0 && name) ? name.get() : typeid(e).name();
    if (auto p = n.rfind("::"); p != std::string::npos) n = n.substr(p + 2);
    return n;
}

FormatSettingsT& FormatSettings() {
    static FormatSettingsT settings;
    return settings;
}

// ---- Texts -----------------------------------------------------------------------------------

namespace {
inline bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
}  // namespace

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlankOrControl(s[b])) ++b;
    while (e > b && IsBlankOrControl(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && IsBlankOrControl(s[b])) ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsBlankOrControl(s[e - 1])) --e;
    return std::string(s.substr(0, e));
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = AsciiUpper(c);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = AsciiLower(c);
    return r;
}

int CompareText(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiUpper(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiUpper(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

namespace {
std::string MapCase(std::string_view s, bool upper) {
    bool ascii = std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return upper ? UpperCase(s) : LowerCase(s);
    const std::u16string w = Utf8ToWideLenient(s);
    std::u16string out(w.size() * 2 + 4, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    auto fn = upper ? u_strToUpper : u_strToLower;
    int32_t n = fn(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                   reinterpret_cast<const UChar*>(w.data()), static_cast<int32_t>(w.size()), "", &status);
    if (U_FAILURE(status)) return std::string(s);
    out.resize(static_cast<size_t>(n));
    return WideToUtf8Lenient(out);
}
}  // namespace

std::string AnsiUpperCase(std::string_view s) { return MapCase(s, true); }
std::string AnsiLowerCase(std::string_view s) { return MapCase(s, false); }
bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiUpperCase(a) == AnsiUpperCase(b); }

bool StartsText(std::string_view prefix, std::string_view s) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

std::string StringOfChar(char c, int count) { return count > 0 ? std::string(static_cast<size_t>(count), c) : std::string(); }

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string r;
    size_t pos = 0;
    for (;;) {
        const size_t f = s.find(from, pos);
        if (f == std::string_view::npos) break;
        r.append(s.substr(pos, f - pos)).append(to);
        pos = f + from.size();
    }
    r.append(s.substr(pos));
    return r;
}

// ---- Numbers ---------------------------------------------------------------------------------

std::string IntToStr(int64_t v) { return std::to_string(v); }

std::string IntToHex(int64_t v, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", std::max(digits, 0), static_cast<unsigned long long>(v));
    return buf;
}

bool TryStrToInt64(std::string_view s, int64_t& out) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16, ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16, i += 2;
    }
    if (i >= s.size()) return false;
    unsigned long long mag = 0;
    const char* first = s.data() + i;
    const char* last = s.data() + s.size();
    auto [p, ec] = std::from_chars(first, last, mag, base);
    if (ec != std::errc() || p != last) return false;
    if (!neg && mag > static_cast<unsigned long long>(std::numeric_limits<int64_t>::max())) return false;
    if (neg && mag > static_cast<unsigned long long>(std::numeric_limits<int64_t>::max()) + 1ULL) return false;
    out = neg ? static_cast<int64_t>(0ULL - mag) : static_cast<int64_t>(mag);
    return true;
}

bool TryStrToInt(std::string_view s, int& out) {
    int64_t v;
    if (!TryStrToInt64(s, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    out = static_cast<int>(v);
    return true;
}

int StrToInt(std::string_view s) {
    int v;
    if (!TryStrToInt(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return v;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v;
    if (!TryStrToInt64(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return v;
}

int StrToIntDef(std::string_view s, int def) {
    int v;
    return TryStrToInt(s, v) ? v : def;
}

bool TryStrToIntDecimal(std::string_view s, int& out) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (i >= s.size()) return false;
    for (size_t k = i; k < s.size(); ++k) {
        if (s[k] < '0' || s[k] > '9') return false;
    }
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    auto [p, ec] = std::from_chars(first, s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

bool TryStrToFloat(std::string_view s, double& out) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    std::string_view t = s.substr(b, e - b);
    if (t.empty()) return false;
    // Accept exactly: [sign] digits [. digits] [(e|E) [sign] digits], with digits on one side of the point.
    size_t i = 0;
    if (t[i] == '+' || t[i] == '-') ++i;
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    if (i < t.size() && t[i] == FormatSettings().DecimalSeparator) {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        size_t ed = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++ed;
        if (ed == 0) return false;
    }
    if (i != t.size()) return false;
    std::string normal(t);
    if (FormatSettings().DecimalSeparator != '.') std::replace(normal.begin(), normal.end(), FormatSettings().DecimalSeparator, '.');
    if (normal[0] == '+') normal.erase(0, 1);
    double v = 0;
    auto [p, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), v);
    if (ec == std::errc::result_out_of_range) return false;
    if (ec != std::errc() || p != normal.data() + normal.size()) return false;
    out = v;
    return true;
}

double StrToFloat(std::string_view s) {
    double v;
    if (!TryStrToFloat(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(std::string_view s, double def) {
    double v;
    return TryStrToFloat(s, v) ? v : def;
}

namespace {

// The significant decimal digits of |v| rounded to `precision` digits, and the decimal exponent
// of the first digit (v = 0.d1d2d3... * 10^(exponent+1)).
struct Digits {
    std::string digits;  // no leading zeros; "0" for zero
    int exponent = 0;
    bool negative = false;
};

// The decimal digits of |v| as the platform sees them: 17 significant digits, then rounded
// half away from zero at the wanted position (so 2.25 rounds to 2.3).
Digits RawDigits(double v) {
    Digits d;
    d.negative = std::signbit(v) && v != 0;
    v = std::fabs(v);
    if (v == 0) {
        d.digits = "0";
        return d;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.16e", v);
    const std::string s(buf);
    const size_t ep = s.find('e');
    d.exponent = std::atoi(s.c_str() + ep + 1);
    for (size_t i = 0; i < ep; ++i) {
        if (s[i] != '.') d.digits.push_back(s[i]);
    }
    return d;
}

// Keeps `keep` leading digits (may be 0 or negative: everything is rounded away).
void RoundDigits(Digits& d, int keep) {
    if (d.digits == "0") return;
    if (keep >= static_cast<int>(d.digits.size())) return;
    if (keep < 0) {
        d.digits = "0";
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') d.digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    if (d.digits.empty()) {
        d.digits = "0";
        d.exponent = 0;
    }
}

Digits ToDigits(double v, int precision) {
    Digits d = RawDigits(v);
    RoundDigits(d, std::clamp(precision, 1, 18));
    return d;
}

// Rounds |v| to `decimals` places and returns its integer and fraction digits.
void FixedDigits(double v, int decimals, std::string& intPart, std::string& fracPart) {
    decimals = std::clamp(decimals, 0, 18);
    Digits d = RawDigits(v);
    RoundDigits(d, d.exponent + 1 + decimals);
    intPart.clear();
    fracPart.clear();
    if (d.digits == "0") {
        intPart = "0";
        fracPart.assign(static_cast<size_t>(decimals), '0');
        return;
    }
    // Digits stand for 0.d1d2... * 10^(exponent+1).
    const int intLen = d.exponent + 1;
    for (int i = 0; i < intLen; ++i) intPart.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(i)] : '0');
    if (intPart.empty()) intPart = "0";
    for (int i = 0; i < decimals; ++i) {
        const int k = intLen + i;
        fracPart.push_back(k >= 0 && k < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(k)] : '0');
    }
}

std::string GroupThousands(const std::string& intPart) {
    const char sep = FormatSettings().ThousandSeparator;
    std::string r;
    const int n = static_cast<int>(intPart.size());
    for (int i = 0; i < n; ++i) {
        r.push_back(intPart[static_cast<size_t>(i)]);
        const int left = n - 1 - i;
        if (left > 0 && left % 3 == 0 && sep) r.push_back(sep);
    }
    return r;
}

std::string ExponentText(int exponent, int minDigits, bool alwaysSign) {
    std::string r = "E";
    if (exponent < 0) {
        r.push_back('-');
    } else if (alwaysSign) {
        r.push_back('+');
    }
    std::string num = std::to_string(std::abs(exponent));
    if (static_cast<int>(num.size()) < minDigits) num.insert(0, static_cast<size_t>(minDigits) - num.size(), '0');
    return r + num;
}

}  // namespace

std::string FloatToStrF(double v, FloatFormat format, int precision, int digits) {
    const char dec = FormatSettings().DecimalSeparator;
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
    if (precision > 18) precision = 18;
    switch (format) {
        case FloatFormat::General: {
            if (precision < 1) precision = 15;
            Digits d = ToDigits(v, precision);
            while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
            std::string r = d.negative ? "-" : "";
            if (d.digits == "0") return "0";
            const bool fixed = d.exponent < precision && d.exponent >= -5;
            if (fixed) {
                if (d.exponent < 0) {
                    r += "0";
                    r.push_back(dec);
                    r += std::string(static_cast<size_t>(-d.exponent - 1), '0') + d.digits;
                } else {
                    const size_t intLen = static_cast<size_t>(d.exponent) + 1;
                    if (d.digits.size() <= intLen) {
                        r += d.digits + std::string(intLen - d.digits.size(), '0');
                    } else {
                        r += d.digits.substr(0, intLen);
                        r.push_back(dec);
                        r += d.digits.substr(intLen);
                    }
                }
                return r;
            }
            r += d.digits.substr(0, 1);
            if (d.digits.size() > 1) {
                r.push_back(dec);
                r += d.digits.substr(1);
            }
            return r + ExponentText(d.exponent, std::clamp(digits, 0, 4), false);
        }
        case FloatFormat::Exponent: {
            if (precision < 1) precision = 15;
            Digits d = ToDigits(v, precision);
            if (d.digits == "0") d.digits = std::string(static_cast<size_t>(precision), '0');
            std::string r = d.negative ? "-" : "";
            r += d.digits.substr(0, 1);
            r.push_back(dec);
            r += d.digits.substr(1);
            return r + ExponentText(d.exponent, std::clamp(digits, 0, 4), true);
        }
        case FloatFormat::Fixed:
        case FloatFormat::Number:
        case FloatFormat::Currency: {
            std::string ip, fp;
            FixedDigits(v, digits, ip, fp);
            const bool negative = v < 0 && (std::any_of(ip.begin(), ip.end(), [](char c) { return c != '0'; }) ||
                                            std::any_of(fp.begin(), fp.end(), [](char c) { return c != '0'; }));
            if (format != FloatFormat::Fixed) ip = GroupThousands(ip);
            std::string body = ip;
            if (!fp.empty()) {
                body.push_back(dec);
                body += fp;
            }
            if (format == FloatFormat::Currency) {
                const std::string& cur = FormatSettings().CurrencyString;
                if (!negative) return FormatSettings().CurrencyFormat == 1 ? body + cur : cur + body;
                return cur + "-" + body;
            }
            return negative ? "-" + body : body;
        }
    }
    return {};
}

std::string FloatToStr(double v) { return FloatToStrF(v, FloatFormat::General, 15, 0); }

// ---- Format ----------------------------------------------------------------------------------

namespace {

[[noreturn]] void InvalidFormat(std::string_view fmt) {
    throw EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}
[[noreturn]] void MissingArgument(std::string_view fmt) {
    throw EConvertError("No argument for format '" + std::string(fmt) + "'");
}

std::string Pad(std::string s, int width, bool left) {
    if (width > 0 && static_cast<int>(s.size()) < width) {
        const std::string fill(static_cast<size_t>(width) - s.size(), ' ');
        s = left ? s + fill : fill + s;
    }
    return s;
}

}  // namespace

std::string Format(std::string_view fmt, std::initializer_list<Variant> args) {
    return Format(fmt, std::span<const Variant>(args.begin(), args.size()));
}

std::string Format(std::string_view fmt, std::span<const Variant> args) {
    std::string out;
    out.reserve(fmt.size() + 16);
    size_t argIndex = 0;
    size_t i = 0;
    const size_t n = fmt.size();
    auto nextArg = [&]() -> const Variant& {
        if (argIndex >= args.size()) MissingArgument(fmt);
        return args[argIndex++];
    };
    auto readNumber = [&](int& value) -> bool {  // digits or '*'
        if (i < n && fmt[i] == '*') {
            const Variant& a = nextArg();
            if (a.Type() != VarType::Integer) InvalidFormat(fmt);
            value = static_cast<int>(a.Int());
            ++i;
            return true;
        }
        if (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
            value = 0;
            while (i < n && fmt[i] >= '0' && fmt[i] <= '9') value = value * 10 + (fmt[i++] - '0');
            return true;
        }
        return false;
    };
    while (i < n) {
        const size_t pct = fmt.find('%', i);
        if (pct == std::string_view::npos) {
            out.append(fmt.substr(i));
            break;
        }
        out.append(fmt.substr(i, pct - i));
        i = pct + 1;
        if (i >= n) InvalidFormat(fmt);
        if (fmt[i] == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        bool left = false;
        int width = -1, precision = -1, number = -1;
        // [index:]
        if (readNumber(number)) {
            if (i < n && fmt[i] == ':') {
                ++i;
                argIndex = static_cast<size_t>(number);
                number = -1;
            }
        }
        if (number < 0) {
            if (i < n && fmt[i] == '-') {
                left = true;
                ++i;
            }
            if (!readNumber(width)) width = -1;
        } else {
            width = number;
        }
        if (i < n && fmt[i] == '.') {
            ++i;
            if (!readNumber(precision)) InvalidFormat(fmt);
        }
        if (i >= n) InvalidFormat(fmt);
        const char type = AsciiLower(fmt[i++]);
        const Variant& a = nextArg();
        std::string piece;
        switch (type) {
            case 'd':
            case 'u':
            case 'x': {
                if (a.Type() != VarType::Integer) InvalidFormat(fmt);
                int64_t v = a.Int();
                bool neg = false;
                std::string digits;
                if (type == 'x') {
                    // A 32-bit argument prints as 32 bits, as the platform's integers do.
                    digits = (v < 0 && v >= std::numeric_limits<int32_t>::min())
                                 ? IntToHex(static_cast<uint32_t>(v), 0)
                                 : IntToHex(v, 0);
                } else if (type == 'u') {
                    digits = std::to_string(static_cast<uint32_t>(v));
                } else {
                    neg = v < 0;
                    digits = std::to_string(v);
                    if (neg) digits.erase(0, 1);
                }
                if (precision > static_cast<int>(digits.size())) digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
                piece = neg ? "-" + digits : digits;
                break;
            }
            case 'e':
            case 'f':
            case 'g':
            case 'n':
            case 'm': {
                double v;
                if (a.Type() == VarType::Double) {
                    v = a.Dbl();
                } else if (a.Type() == VarType::Date) {
                    v = a.DateValue();
                } else {
                    InvalidFormat(fmt);
                }
                switch (type) {
                    case 'e': piece = FloatToStrF(v, FloatFormat::Exponent, precision < 0 ? 15 : precision, 3); break;
                    case 'f': piece = FloatToStrF(v, FloatFormat::Fixed, 18, precision < 0 ? 2 : precision); break;
                    case 'g': piece = FloatToStrF(v, FloatFormat::General, precision < 0 ? 15 : precision, 3); break;
                    case 'n': piece = FloatToStrF(v, FloatFormat::Number, 18, precision < 0 ? 2 : precision); break;
                    default:
                        piece = FloatToStrF(v, FloatFormat::Currency, 18,
                                            precision < 0 ? FormatSettings().CurrencyDecimals : precision);
                        break;
                }
                break;
            }
            case 's': {
                if (a.Type() == VarType::String) {
                    piece = a.Bytes();
                } else if (a.Type() == VarType::OleStr) {
                    piece = WideToUtf8Lenient(a.Wide());
                } else {
                    InvalidFormat(fmt);
                }
                if (precision >= 0 && static_cast<size_t>(precision) < piece.size()) piece.resize(static_cast<size_t>(precision));
                break;
            }
            case 'p': {
                if (a.Type() != VarType::Integer) InvalidFormat(fmt);
                piece = IntToHex(a.Int(), 16);
                break;
            }
            default: InvalidFormat(fmt);
        }
        out += Pad(std::move(piece), width, left);
    }
    return out;
}

// ---- Date-time values ------------------------------------------------------------------------

namespace {
constexpr int kDaysBefore1900 = 693594;  // day number of 1899-12-30 counting 0001-01-01 as 1
constexpr int kCumDays[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                                 {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};
}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
    if (month < 1 || month > 12) return 0;
    const int leap = IsLeapYear(year) ? 1 : 0;
    return kCumDays[leap][month] - kCumDays[leap][month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
    const int y = year - 1;
    const int days = y * 365 + y / 4 - y / 100 + y / 400 + kCumDays[IsLeapYear(year) ? 1 : 0][month - 1] + day;
    out = static_cast<double>(days - kDaysBefore1900);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999) {
        return false;
    }
    out = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / 86400000.0;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime t;
    if (!TryEncodeTime(hour, minute, second, msec, t)) throw EConvertError("Invalid argument to time encode");
    return t;
}

DateParts DecodeDate(TDateTime dt) {
    DateParts p;
    long long t = static_cast<long long>(std::trunc(dt)) + kDaysBefore1900 - 1;  // days since 0001-01-01
    if (t < 0) return p;
    constexpr int D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
    long long y = 1;
    y += (t / D400) * 400;
    t %= D400;
    long long i = t / D100;
    long long d = t % D100;
    if (i == 4) {
        --i;
        d += D100;
    }
    y += i * 100;
    i = d / D4;
    d %= D4;
    y += i * 4;
    i = d / D1;
    d %= D1;
    if (i == 4) {
        --i;
        d += D1;
    }
    y += i;
    const int leap = IsLeapYear(static_cast<int>(y)) ? 1 : 0;
    int m = 1;
    while (d >= kCumDays[leap][m]) ++m;
    p.year = static_cast<int>(y);
    p.month = m;
    p.day = static_cast<int>(d - kCumDays[leap][m - 1] + 1);
    return p;
}

TimeParts DecodeTime(TDateTime dt) {
    TimeParts p;
    const double frac = std::fabs(dt - std::trunc(dt));
    long long ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    p.hour = static_cast<int>(ms / 3600000);
    ms %= 3600000;
    p.minute = static_cast<int>(ms / 60000);
    ms %= 60000;
    p.second = static_cast<int>(ms / 1000);
    p.msec = static_cast<int>(ms % 1000);
    return p;
}

int DayOfWeek(TDateTime dt) {
    // 30 December 1899 was a Saturday.
    long long d = static_cast<long long>(std::trunc(dt));
    int w = static_cast<int>(((d - 1) % 7 + 7) % 7);  // 0 = Sunday
    return w + 1;
}

TDateTime DateOf(TDateTime dt) { return std::trunc(dt); }

namespace {

std::string Num(int v, int width) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), '0');
    return s;
}

void AppendDateTime(std::string& out, std::string_view fmt, TDateTime dt, int depth);

// Looks ahead for an am/pm marker, which switches hours to the twelve-hour clock.
bool HasAmPm(std::string_view fmt, size_t from) {
    for (size_t i = from; i < fmt.size(); ++i) {
        const char c = fmt[i];
        if (c == '"' || c == '\'') {
            const size_t e = fmt.find(c, i + 1);
            if (e == std::string_view::npos) return false;
            i = e;
            continue;
        }
        if (StartsText("am/pm", fmt.substr(i)) || StartsText("a/p", fmt.substr(i)) || StartsText("ampm", fmt.substr(i))) {
            return true;
        }
    }
    return false;
}

void AppendDateTime(std::string& out, std::string_view fmt, TDateTime dt, int depth) {
    const FormatSettingsT& fs = FormatSettings();
    if (depth > 2) return;
    const DateParts dp = DecodeDate(dt);
    const TimeParts tp = DecodeTime(dt);
    char lastToken = ' ';
    size_t i = 0;
    auto run = [&](char c) {
        size_t k = i;
        while (k < fmt.size() && AsciiUpper(fmt[k]) == c) ++k;
        const size_t count = k - i;
        i = k;
        return count;
    };
    while (i < fmt.size()) {
        const char raw = fmt[i];
        char token = AsciiUpper(raw);
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastToken == 'H') token = 'N';
            lastToken = token;
        }
        switch (token) {
            case 'Y': {
                const size_t c = run('Y');
                out += c <= 2 ? Num(dp.year % 100, 2) : Num(dp.year, 4);
                break;
            }
            case 'M': {
                const size_t c = run('M');
                if (c == 1) out += std::to_string(dp.month);
                else if (c == 2) out += Num(dp.month, 2);
                else if (c == 3) out += fs.ShortMonthNames[dp.month - 1];
                else out += fs.LongMonthNames[dp.month - 1];
                break;
            }
            case 'D': {
                const size_t c = run('D');
                const int wd = DayOfWeek(dt) - 1;
                if (c == 1) out += std::to_string(dp.day);
                else if (c == 2) out += Num(dp.day, 2);
                else if (c == 3) out += fs.ShortDayNames[wd];
                else if (c == 4) out += fs.LongDayNames[wd];
                else if (c == 5) AppendDateTime(out, fs.ShortDateFormat, dt, depth + 1);
                else AppendDateTime(out, fs.LongDateFormat, dt, depth + 1);
                break;
            }
            case 'H': {
                const size_t c = run('H');
                int h = tp.hour;
                if (HasAmPm(fmt, i)) {
                    h %= 12;
                    if (h == 0) h = 12;
                }
                out += c == 1 ? std::to_string(h) : Num(h, 2);
                break;
            }
            case 'N': {
                const size_t c = run(AsciiUpper(raw));
                out += c == 1 ? std::to_string(tp.minute) : Num(tp.minute, 2);
                break;
            }
            case 'S': {
                const size_t c = run('S');
                out += c == 1 ? std::to_string(tp.second) : Num(tp.second, 2);
                break;
            }
            case 'Z': {
                const size_t c = run('Z');
                out += c == 1 ? std::to_string(tp.msec) : Num(tp.msec, 3);
                break;
            }
            case 'T': {
                const size_t c = run('T');
                AppendDateTime(out, c == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, depth + 1);
                break;
            }
            case 'C': {
                run('C');
                AppendDateTime(out, fs.ShortDateFormat, dt, depth + 1);
                if (dt - std::trunc(dt) != 0) {
                    out.push_back(' ');
                    AppendDateTime(out, fs.LongTimeFormat, dt, depth + 1);
                }
                break;
            }
            case 'A': {
                const std::string_view rest = fmt.substr(i);
                const bool pm = tp.hour >= 12;
                if (StartsText("am/pm", rest)) {
                    out += pm ? rest.substr(3, 2) : rest.substr(0, 2);
                    i += 5;
                } else if (StartsText("a/p", rest)) {
                    out += pm ? rest.substr(2, 1) : rest.substr(0, 1);
                    i += 3;
                } else if (StartsText("ampm", rest)) {
                    out += pm ? fs.TimePMString : fs.TimeAMString;
                    i += 4;
                } else {
                    out.push_back(raw);
                    ++i;
                }
                break;
            }
            case '/':
                out.push_back(fs.DateSeparator);
                ++i;
                break;
            case ':':
                out.push_back(fs.TimeSeparator);
                ++i;
                break;
            case '"':
            case '\'': {
                const size_t e = fmt.find(raw, i + 1);
                if (e == std::string_view::npos) {
                    out.append(fmt.substr(i + 1));
                    i = fmt.size();
                } else {
                    out.append(fmt.substr(i + 1, e - i - 1));
                    i = e + 1;
                }
                break;
            }
            default:
                out.push_back(raw);
                ++i;
                break;
        }
    }
}

}  // namespace

std::string FormatDateTime(std::string_view fmt, TDateTime dt) {
    std::string out;
    if (fmt.empty()) fmt = "c";
    AppendDateTime(out, fmt, dt, 0);
    return out;
}

std::string DateToStr(TDateTime dt) { return FormatDateTime(FormatSettings().ShortDateFormat, dt); }
std::string TimeToStr(TDateTime dt) { return FormatDateTime(FormatSettings().LongTimeFormat, dt); }
std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }

}  // namespace rtl
