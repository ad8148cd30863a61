#include "VariantText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

namespace appserver {

namespace {

using rtl::Variant;
using rtl::VarType;

// ---- Writing ----------------------------------------------------------------------------------

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUnitEscape(std::string& out, unsigned unit) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04X", unit & 0xFFFF);
    out += buf;
}

// Characters JSON requires escaped; everything else goes through as UTF-8.
void AppendCodePoint(std::string& out, char32_t cp) {
    switch (cp) {
        case '"': out += "\\\""; return;
        case '\\': out += "\\\\"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        default: break;
    }
    if (cp < 0x20) {
        AppendUnitEscape(out, static_cast<unsigned>(cp));
    } else {
        AppendUtf8(out, cp);
    }
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. Answers the code
// points, or false.
bool DecodeUtf8(std::string_view s, std::vector<char32_t>* out) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int extra;
        if (b0 < 0x80) {
            cp = b0, extra = 0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            cp = b0 & 0x1F, extra = 1;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            cp = b0 & 0x0F, extra = 2;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            cp = b0 & 0x07, extra = 3;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))) {
            return false;
        }
        if (out) out->push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

void WriteBytes(std::string& out, const std::string& bytes) {
    std::vector<char32_t> cps;
    if (DecodeUtf8(bytes, &cps)) {
        out += '"';
        for (char32_t cp : cps) AppendCodePoint(out, cp);
        out += '"';
        return;
    }
    static const char kHex[] = "0123456789abcdef";
    out += "{\"bytes\":\"";
    for (unsigned char c : bytes) {
        out += kHex[c >> 4];
        out += kHex[c & 0x0F];
    }
    out += "\"}";
}

void WriteWide(std::string& out, const std::u16string& s) {
    out += "{\"wide\":\"";
    for (size_t i = 0; i < s.size(); ++i) {
        const char16_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            AppendCodePoint(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUnitEscape(out, u);  // a lone surrogate survives only as an escape
        } else {
            AppendCodePoint(out, u);
        }
    }
    out += "\"}";
}

std::string ShortestNumber(double d) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    std::string s(buf, r.ptr);
    if (s.find_first_of(".eE") == std::string::npos) s += ".0";  // keeps it apart from an integer
    return s;
}

void WriteDouble(std::string& out, double d) {
    if (std::isnan(d)) {
        out += "{\"real\":\"nan\"}";
    } else if (std::isinf(d)) {
        out += d > 0 ? "{\"real\":\"inf\"}" : "{\"real\":\"-inf\"}";
    } else {
        out += ShortestNumber(d);
    }
}

}  // namespace

std::string TimestampText(rtl::TDateTime dt) {
    try {
        const rtl::DateParts d = rtl::DecodeDate(dt);
        const rtl::TimeParts t = rtl::DecodeTime(dt);
        char buf[48];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day, t.hour, t.minute,
                      t.second, t.msec);
        return buf;
    } catch (const std::exception&) {
        return "";  // outside the calendar: the serial alone carries it
    }
}

namespace {

void Write(std::string& out, const Variant& v, int depth);

void WriteArray(std::string& out, const rtl::VarArray& a, int depth) {
    const bool plain = a.DimCount() == 1 && a.LowBound(1) == 0;
    if (!plain) {
        out += "{\"bounds\":[";
        for (int d = 1; d <= a.DimCount(); ++d) {
            if (d > 1) out += ',';
            out += std::to_string(a.LowBound(d)) + "," + std::to_string(a.HighBound(d));
        }
        out += "],\"items\":";
    }
    out += '[';
    bool first = true;
    auto item = [&](const Variant& v) {
        if (!first) out += ',';
        first = false;
        Write(out, v, depth + 1);
    };
    if (a.DimCount() == 1) {
        for (int i = a.LowBound(1); i <= a.HighBound(1); ++i) item(a.At(i));
    } else {
        for (int i = a.LowBound(1); i <= a.HighBound(1); ++i) {
            for (int j = a.LowBound(2); j <= a.HighBound(2); ++j) item(a.At(i, j));
        }
    }
    out += ']';
    if (!plain) out += '}';
}

constexpr int kMaxDepth = 200;

void Write(std::string& out, const Variant& v, int depth) {
    if (depth > kMaxDepth) throw EVariantText("The value is nested too deeply to be stored");
    switch (v.Type()) {
        case VarType::Empty: out += "{\"empty\":true}"; return;
        case VarType::Null: out += "null"; return;
        case VarType::Boolean: out += v.Bool() ? "true" : "false"; return;
        case VarType::Integer: out += std::to_string(v.Int()); return;
        case VarType::Double: WriteDouble(out, v.Dbl()); return;
        case VarType::Date:
            out += "{\"date\":\"" + TimestampText(v.DateValue()) + "\",\"serial\":";
            WriteDouble(out, v.DateValue());
            out += '}';
            return;
        case VarType::OleStr: WriteWide(out, v.Wide()); return;
        case VarType::String: WriteBytes(out, v.Bytes()); return;
        case VarType::Dispatch: throw EVariantText("An automation object cannot be stored");
        case VarType::Array: WriteArray(out, v.Arr(), depth); return;
    }
}

// ---- Reading ----------------------------------------------------------------------------------

struct JValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool b = false;
    std::string number;  // the number's text, read when its kind is known
    std::u16string str;  // UTF-16 units, so that escaped lone surrogates survive
    std::vector<JValue> items;
    std::vector<std::pair<std::string, JValue>> members;
};

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    JValue ParseDocument() {
        JValue v = ParseValue(0);
        SkipBlanks();
        if (pos_ != s_.size()) Fail("unexpected text after the value");
        return v;
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw EVariantText("Stored value unreadable at position " + std::to_string(pos_) + ": " + what);
    }

private:
    void SkipBlanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) ++pos_;
    }

    bool Literal(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    JValue ParseValue(int depth) {
        if (depth > kMaxDepth) Fail("nested too deeply");
        SkipBlanks();
        if (pos_ >= s_.size()) Fail("a value is missing");
        JValue v;
        const char c = s_[pos_];
        if (c == '{') {
            v.kind = JValue::Object;
            ++pos_;
            SkipBlanks();
            if (pos_ < s_.size() && s_[pos_] == '}') {
                ++pos_;
                return v;
            }
            for (;;) {
                SkipBlanks();
                if (pos_ >= s_.size() || s_[pos_] != '"') Fail("a member name is missing");
                std::string key = ToUtf8(ParseString());
                SkipBlanks();
                if (pos_ >= s_.size() || s_[pos_] != ':') Fail("':' is missing");
                ++pos_;
                v.members.emplace_back(std::move(key), ParseValue(depth + 1));
                SkipBlanks();
                if (pos_ < s_.size() && s_[pos_] == ',') {
                    ++pos_;
                    continue;
                }
                if (pos_ < s_.size() && s_[pos_] == '}') {
                    ++pos_;
                    return v;
                }
                Fail("',' or '}' is missing");
            }
        }
        if (c == '[') {
            v.kind = JValue::Array;
            ++pos_;
            SkipBlanks();
            if (pos_ < s_.size() && s_[pos_] == ']') {
                ++pos_;
                return v;
            }
            for (;;) {
                v.items.push_back(ParseValue(depth + 1));
                SkipBlanks();
                if (pos_ < s_.size() && s_[pos_] == ',') {
                    ++pos_;
                    continue;
                }
                if (pos_ < s_.size() && s_[pos_] == ']') {
                    ++pos_;
                    return v;
                }
                Fail("',' or ']' is missing");
            }
        }
        if (c == '"') {
            v.kind = JValue::String;
            v.str = ParseString();
            return v;
        }
        if (Literal("null")) return v;
        if (Literal("true")) {
            v.kind = JValue::Bool, v.b = true;
            return v;
        }
        if (Literal("false")) {
            v.kind = JValue::Bool, v.b = false;
            return v;
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            v.kind = JValue::Number;
            v.number = ParseNumberText();
            return v;
        }
        Fail("not a value");
    }

    std::string ParseNumberText() {
        const size_t start = pos_;
        auto digits = [&] {
            const size_t from = pos_;
            while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
            return pos_ > from;
        };
        if (s_[pos_] == '-') ++pos_;
        if (pos_ < s_.size() && s_[pos_] == '0') {
            ++pos_;
        } else if (!digits()) {
            Fail("a number has no digits");
        }
        if (pos_ < s_.size() && s_[pos_] == '.') {
            ++pos_;
            if (!digits()) Fail("a number has no digits after its point");
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
            if (!digits()) Fail("a number has no exponent digits");
        }
        return std::string(s_.substr(start, pos_ - start));
    }

    unsigned Hex4() {
        if (pos_ + 4 > s_.size()) Fail("a \\u escape is cut short");
        unsigned u = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = s_[pos_++];
            u <<= 4;
            if (h >= '0' && h <= '9') {
                u |= static_cast<unsigned>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                u |= static_cast<unsigned>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                u |= static_cast<unsigned>(h - 'A' + 10);
            } else {
                Fail("a \\u escape holds a non-hexadecimal digit");
            }
        }
        return u;
    }

    std::u16string ParseString() {
        ++pos_;  // the opening quote
        std::u16string out;
        for (;;) {
            if (pos_ >= s_.size()) Fail("a string is not closed");
            const auto c = static_cast<unsigned char>(s_[pos_]);
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c < 0x20) Fail("a control character inside a string");
            if (c == '\\') {
                ++pos_;
                if (pos_ >= s_.size()) Fail("an escape is cut short");
                const char e = s_[pos_++];
                switch (e) {
                    case '"': out += u'"'; break;
                    case '\\': out += u'\\'; break;
                    case '/': out += u'/'; break;
                    case 'b': out += u'\b'; break;
                    case 'f': out += u'\f'; break;
                    case 'n': out += u'\n'; break;
                    case 'r': out += u'\r'; break;
                    case 't': out += u'\t'; break;
                    case 'u': out += static_cast<char16_t>(Hex4()); break;
                    default: Fail("an unknown escape");
                }
                continue;
            }
            // One UTF-8 sequence.
            size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            if (pos_ + len > s_.size()) Fail("invalid UTF-8");
            std::vector<char32_t> cps;
            if (!DecodeUtf8(s_.substr(pos_, len), &cps) || cps.size() != 1) Fail("invalid UTF-8");
            pos_ += len;
            const char32_t cp = cps[0];
            if (cp >= 0x10000) {
                out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                out += static_cast<char16_t>(cp);
            }
        }
    }

public:
    // UTF-16 units as UTF-8; false when they hold a lone surrogate.
    static bool TryUtf8(const std::u16string& s, std::string& out) {
        out.clear();
        for (size_t i = 0; i < s.size(); ++i) {
            const char16_t u = s[i];
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
                ++i;
            } else if (u >= 0xD800 && u <= 0xDFFF) {
                return false;
            } else {
                AppendUtf8(out, u);
            }
        }
        return true;
    }

    std::string ToUtf8(const std::u16string& s) const {
        std::string out;
        if (!TryUtf8(s, out)) Fail("a byte string holds a lone surrogate");
        return out;
    }

private:
    std::string_view s_;
    size_t pos_ = 0;
};

class Reader {
public:
    explicit Reader(const Parser& p) : p_(p) {}

    Variant Read(const JValue& j) const {
        switch (j.kind) {
            case JValue::Null: return Variant::Null();
            case JValue::Bool: return Variant(j.b);
            case JValue::Number: return Number(j.number);
            case JValue::String: return Variant(p_.ToUtf8(j.str));
            case JValue::Array: {
                rtl::VarArray a(0, static_cast<int>(j.items.size()) - 1);
                for (size_t i = 0; i < j.items.size(); ++i) a.At(static_cast<int>(i)) = Read(j.items[i]);
                return Variant(std::move(a));
            }
            case JValue::Object: return Object(j);
        }
        return Variant();
    }

private:
    [[noreturn]] void Bad(const std::string& what) const { throw EVariantText("Stored value unreadable: " + what); }

    Variant Number(const std::string& text) const {
        const char* b = text.data();
        const char* e = b + text.size();
        if (text.find_first_of(".eE") == std::string::npos) {
            int64_t i = 0;
            const auto r = std::from_chars(b, e, i);
            if (r.ec != std::errc() || r.ptr != e) Bad("the integer " + text + " is out of range");
            return Variant(static_cast<long long>(i));
        }
        double d = 0;
        const auto r = std::from_chars(b, e, d);
        if (r.ec != std::errc() || r.ptr != e) Bad("the number " + text + " is out of range");
        return Variant(d);
    }

    const JValue* Member(const JValue& j, std::string_view name) const {
        for (const auto& [k, v] : j.members) {
            if (k == name) return &v;
        }
        return nullptr;
    }

    static bool HasOnly(const JValue& j, std::initializer_list<std::string_view> names) {
        for (const auto& m : j.members) {
            bool known = false;
            for (std::string_view n : names) known = known || m.first == n;
            if (!known) return false;
        }
        return true;
    }

    int Bound(const JValue& j) const {
        if (j.kind != JValue::Number || j.number.find_first_of(".eE") != std::string::npos) Bad("an array bound is not an integer");
        int v = 0;
        const auto r = std::from_chars(j.number.data(), j.number.data() + j.number.size(), v);
        if (r.ec != std::errc()) Bad("an array bound is out of range");
        return v;
    }

    Variant Object(const JValue& j) const {
        if (j.members.size() == 1 && j.members[0].first == "empty") {
            if (j.members[0].second.kind != JValue::Bool || !j.members[0].second.b) Bad("\"empty\" must be true");
            return Variant();
        }
        if (j.members.size() == 1 && j.members[0].first == "wide") {
            if (j.members[0].second.kind != JValue::String) Bad("\"wide\" must be a string");
            return Variant(j.members[0].second.str);
        }
        if (j.members.size() == 1 && j.members[0].first == "bytes") return Bytes(j.members[0].second);
        if (j.members.size() == 1 && j.members[0].first == "real") {
            const JValue& r = j.members[0].second;
            std::string t;
            if (r.kind != JValue::String || !Parser::TryUtf8(r.str, t)) Bad("\"real\" must be a string");
            if (t == "inf") return Variant(std::numeric_limits<double>::infinity());
            if (t == "-inf") return Variant(-std::numeric_limits<double>::infinity());
            if (t == "nan") return Variant(std::numeric_limits<double>::quiet_NaN());
            Bad("\"real\" must be inf, -inf or nan");
        }
        if (Member(j, "date") && HasOnly(j, {"date", "serial"})) return Date(j);
        if (Member(j, "bounds") && Member(j, "items") && HasOnly(j, {"bounds", "items"})) return Array(j);
        Bad("an object of unknown form");
    }

    Variant Bytes(const JValue& v) const {
        std::string hex;
        if (v.kind != JValue::String || !Parser::TryUtf8(v.str, hex) || hex.size() % 2 != 0) Bad("\"bytes\" must be hexadecimal pairs");
        std::string out;
        for (size_t i = 0; i < hex.size(); i += 2) {
            unsigned b = 0;
            const auto r = std::from_chars(hex.data() + i, hex.data() + i + 2, b, 16);
            if (r.ec != std::errc() || r.ptr != hex.data() + i + 2) Bad("\"bytes\" must be hexadecimal pairs");
            out += static_cast<char>(b);
        }
        return Variant(std::move(out));
    }

    Variant Date(const JValue& j) const {
        if (const JValue* serial = Member(j, "serial")) {
            if (serial->kind == JValue::Number) return Variant::FromDate(Number(serial->number).AsDouble());
            if (serial->kind == JValue::Object) {
                const Variant d = Object(*serial);
                if (d.Type() == VarType::Double) return Variant::FromDate(d.Dbl());
            }
            Bad("\"serial\" must be a number");
        }
        std::string t;
        const JValue* text = Member(j, "date");
        if (text->kind != JValue::String || !Parser::TryUtf8(text->str, t)) Bad("\"date\" must be a string");
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
        char tail = 0;
        const int n = std::sscanf(t.c_str(), "%4d-%2d-%2d %2d:%2d:%2d.%3d%c", &y, &mo, &d, &h, &mi, &s, &ms, &tail);
        rtl::TDateTime day = 0, time = 0;
        if ((n != 3 && n != 6 && n != 7) || !rtl::TryEncodeDate(y, mo, d, day) || !rtl::TryEncodeTime(h, mi, s, ms, time)) {
            Bad("\"date\" must read as YYYY-MM-DD[ HH:NN:SS[.ZZZ]]");
        }
        return Variant::FromDate(day >= 0 ? day + time : day - time);
    }

    Variant Array(const JValue& j) const {
        const JValue& bounds = *Member(j, "bounds");
        const JValue& items = *Member(j, "items");
        if (bounds.kind != JValue::Array || (bounds.items.size() != 2 && bounds.items.size() != 4)) {
            Bad("\"bounds\" must hold two or four integers");
        }
        if (items.kind != JValue::Array) Bad("\"items\" must be an array");
        std::vector<int> b;
        for (const JValue& x : bounds.items) b.push_back(Bound(x));
        try {
            if (b.size() == 2) {
                rtl::VarArray a(b[0], b[1]);
                if (items.items.size() != a.ElementCount()) Bad("\"items\" does not fit \"bounds\"");
                size_t k = 0;
                for (int i = b[0]; i <= b[1]; ++i) a.At(i) = Read(items.items[k++]);
                return Variant(std::move(a));
            }
            rtl::VarArray a(b[0], b[1], b[2], b[3]);
            if (items.items.size() != a.ElementCount()) Bad("\"items\" does not fit \"bounds\"");
            size_t k = 0;
            for (int i = b[0]; i <= b[1]; ++i) {
                for (int jj = b[2]; jj <= b[3]; ++jj) a.At(i, jj) = Read(items.items[k++]);
            }
            return Variant(std::move(a));
        } catch (const rtl::EVariantError& e) {
            Bad(std::string("\"bounds\" are invalid: ") + e.what());
        }
    }

    const Parser& p_;
};

}  // namespace

std::string VariantToText(const rtl::Variant& v) {
    std::string out;
    Write(out, v, 0);
    return out;
}

rtl::Variant TextToVariant(std::string_view text) {
    Parser parser(text);
    const JValue doc = parser.ParseDocument();
    return Reader(parser).Read(doc);
}

}  // namespace appserver
