#include "Json.h"

#include "platform/rtl/CodePages.h"

#include <charconv>
#include <cmath>

namespace launcher {

namespace {

constexpr int kMaxDepth = 256;  // deeper input is refused instead of exhausting the stack
constexpr const char* kReplacement = "\xEF\xBF\xBD";

using rtl::AppendUtf8;
using rtl::Utf8SequenceLength;

void QuoteTo(std::string& out, std::string_view s) {
    static const char* const hex = "0123456789abcdef";
    out.push_back('"');
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            switch (c) {
                case '"': out += "\\\""; break;
                case '\\': out += "\\\\"; break;
                case '\b': out += "\\b"; break;
                case '\f': out += "\\f"; break;
                case '\n': out += "\\n"; break;
                case '\r': out += "\\r"; break;
                case '\t': out += "\\t"; break;
                default:
                    if (c < 0x20 || c == 0x7F) {
                        out += "\\u00";
                        out.push_back(hex[c >> 4]);
                        out.push_back(hex[c & 0xF]);
                    } else {
                        out.push_back(static_cast<char>(c));
                    }
            }
            ++i;
            continue;
        }
        const size_t n = Utf8SequenceLength(s, i);
        if (n == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    out.push_back('"');
}

void RealTo(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string_view text(buf, static_cast<size_t>(r.ptr - buf));
    out.append(text);
    // Keep it a real when read back.
    if (text.find_first_of(".eE") == std::string_view::npos) out += ".0";
}

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    Json ParseDocument() {
        SkipBlanks();
        Json v = ParseValue(0);
        SkipBlanks();
        if (pos_ != s_.size()) Fail("unexpected text after the value");
        return v;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw JsonError("JSON: " + what + " at column " + std::to_string(pos_ + 1), pos_);
    }
    bool AtEnd() const { return pos_ >= s_.size(); }
    char Peek() const { return AtEnd() ? '\0' : s_[pos_]; }
    void SkipBlanks() {
        while (!AtEnd() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) ++pos_;
    }
    void Expect(char c) {
        if (Peek() != c) Fail(std::string("'") + c + "' expected");
        ++pos_;
    }
    bool Word(std::string_view w) {
        if (s_.substr(pos_, w.size()) != w) return false;
        pos_ += w.size();
        return true;
    }

    Json ParseValue(int depth) {
        if (depth > kMaxDepth) Fail("nesting too deep");
        if (AtEnd()) Fail("a value expected");
        const char c = Peek();
        if (c == '{') return ParseObject(depth);
        if (c == '[') return ParseArray(depth);
        if (c == '"') return Json(ParseString());
        if (c == '-' || (c >= '0' && c <= '9')) return ParseNumber();
        if (Word("true")) return Json(true);
        if (Word("false")) return Json(false);
        if (Word("null")) return Json();
        Fail("a value expected");
    }

    Json ParseObject(int depth) {
        Expect('{');
        Json obj = Json::Object();
        SkipBlanks();
        if (Peek() == '}') {
            ++pos_;
            return obj;
        }
        for (;;) {
            SkipBlanks();
            if (Peek() != '"') Fail("a member name expected");
            std::string key = ParseString();
            SkipBlanks();
            Expect(':');
            SkipBlanks();
            obj.Set(key, ParseValue(depth + 1));
            SkipBlanks();
            if (Peek() == ',') {
                ++pos_;
                continue;
            }
            if (Peek() == '}') {
                ++pos_;
                return obj;
            }
            Fail("',' or '}' expected");
        }
    }

    Json ParseArray(int depth) {
        Expect('[');
        Json arr = Json::Array();
        SkipBlanks();
        if (Peek() == ']') {
            ++pos_;
            return arr;
        }
        for (;;) {
            SkipBlanks();
            arr.Push(ParseValue(depth + 1));
            SkipBlanks();
            if (Peek() == ',') {
                ++pos_;
                continue;
            }
            if (Peek() == ']') {
                ++pos_;
                return arr;
            }
            Fail("',' or ']' expected");
        }
    }

    uint32_t Hex4() {
        if (pos_ + 4 > s_.size()) Fail("four hexadecimal digits expected");
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= static_cast<uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') v |= static_cast<uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') v |= static_cast<uint32_t>(c - 'A' + 10);
            else {
                --pos_;
                Fail("four hexadecimal digits expected");
            }
        }
        return v;
    }

    std::string ParseString() {
        Expect('"');
        std::string out;
        for (;;) {
            if (AtEnd()) Fail("unterminated string");
            const unsigned char c = static_cast<unsigned char>(s_[pos_]);
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c < 0x20) Fail("control character in a string (escape it)");
            if (c == '\\') {
                ++pos_;
                if (AtEnd()) Fail("unterminated string");
                const char e = s_[pos_++];
                switch (e) {
                    case '"': out.push_back('"'); break;
                    case '\\': out.push_back('\\'); break;
                    case '/': out.push_back('/'); break;
                    case 'b': out.push_back('\b'); break;
                    case 'f': out.push_back('\f'); break;
                    case 'n': out.push_back('\n'); break;
                    case 'r': out.push_back('\r'); break;
                    case 't': out.push_back('\t'); break;
                    case 'u': {
                        uint32_t cp = Hex4();
                        if (cp >= 0xDC00 && cp <= 0xDFFF) Fail("unpaired surrogate");
                        if (cp >= 0xD800 && cp <= 0xDBFF) {
                            if (!Word("\\u")) Fail("unpaired surrogate");
                            const uint32_t low = Hex4();
                            if (low < 0xDC00 || low > 0xDFFF) Fail("unpaired surrogate");
                            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                        }
                        AppendUtf8(out, cp);
                        break;
                    }
                    default: --pos_; Fail("unknown escape");
                }
                continue;
            }
            const size_t n = Utf8SequenceLength(s_, pos_);
            if (n == 0) Fail("invalid UTF-8");
            out.append(s_.substr(pos_, n));
            pos_ += n;
        }
    }

    Json ParseNumber() {
        const size_t start = pos_;
        bool integral = true;
        if (Peek() == '-') ++pos_;
        if (Peek() == '0') {
            ++pos_;
        } else if (Peek() >= '1' && Peek() <= '9') {
            while (Peek() >= '0' && Peek() <= '9') ++pos_;
        } else {
            Fail("a digit expected");
        }
        if (Peek() == '.') {
            integral = false;
            ++pos_;
            if (!(Peek() >= '0' && Peek() <= '9')) Fail("a digit expected");
            while (Peek() >= '0' && Peek() <= '9') ++pos_;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            integral = false;
            ++pos_;
            if (Peek() == '+' || Peek() == '-') ++pos_;
            if (!(Peek() >= '0' && Peek() <= '9')) Fail("a digit expected");
            while (Peek() >= '0' && Peek() <= '9') ++pos_;
        }
        const std::string_view text = s_.substr(start, pos_ - start);
        if (integral) {
            int64_t v = 0;
            const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
            if (r.ec == std::errc() && r.ptr == text.data() + text.size()) return Json(v);
        }
        double d = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), d);
        if (r.ec == std::errc::result_out_of_range) {
            pos_ = start;
            Fail("number out of range");
        }
        return Json(d);
    }

    std::string_view s_;
    size_t pos_ = 0;
};

[[noreturn]] void WrongKind(const char* wanted) { throw std::logic_error(std::string("JSON value is not ") + wanted); }

}  // namespace

Json Json::Array(std::vector<Json> items) {
    Json j;
    j.kind_ = Kind::Array;
    j.items_ = std::move(items);
    return j;
}

Json Json::Object() {
    Json j;
    j.kind_ = Kind::Object;
    return j;
}

bool Json::AsBool() const {
    if (kind_ != Kind::Bool) WrongKind("a Boolean");
    return bool_;
}

int64_t Json::AsInt() const {
    if (kind_ != Kind::Int) WrongKind("an integer");
    return int_;
}

double Json::AsReal() const {
    if (kind_ == Kind::Int) return static_cast<double>(int_);
    if (kind_ != Kind::Real) WrongKind("a number");
    return real_;
}

const std::string& Json::AsString() const {
    if (kind_ != Kind::String) WrongKind("a string");
    return str_;
}

const std::vector<Json>& Json::Items() const {
    if (kind_ != Kind::Array) WrongKind("an array");
    return items_;
}

const std::vector<Json::Member>& Json::Members() const {
    if (kind_ != Kind::Object) WrongKind("an object");
    return members_;
}

Json& Json::Push(Json v) {
    if (kind_ != Kind::Array) WrongKind("an array");
    items_.push_back(std::move(v));
    return *this;
}

const Json& Json::At(std::string_view key) const {
    if (const Json* j = Find(key)) return *j;
    throw std::out_of_range("JSON value has no member '" + std::string(key) + "'");
}

Json& Json::Set(std::string_view key, Json v) {
    if (kind_ != Kind::Object) WrongKind("an object");
    for (Member& m : members_) {
        if (m.first == key) {
            m.second = std::move(v);
            return *this;
        }
    }
    members_.emplace_back(std::string(key), std::move(v));
    return *this;
}

const Json* Json::Find(std::string_view key) const {
    if (kind_ != Kind::Object) return nullptr;
    for (const Member& m : members_) {
        if (m.first == key) return &m.second;
    }
    return nullptr;
}

void Json::DumpTo(std::string& out) const {
    switch (kind_) {
        case Kind::Null: out += "null"; break;
        case Kind::Bool: out += bool_ ? "true" : "false"; break;
        case Kind::Int: out += std::to_string(int_); break;
        case Kind::Real: RealTo(out, real_); break;
        case Kind::String: QuoteTo(out, str_); break;
        case Kind::Array:
            out.push_back('[');
            for (size_t i = 0; i < items_.size(); ++i) {
                if (i) out.push_back(',');
                items_[i].DumpTo(out);
            }
            out.push_back(']');
            break;
        case Kind::Object:
            out.push_back('{');
            for (size_t i = 0; i < members_.size(); ++i) {
                if (i) out.push_back(',');
                QuoteTo(out, members_[i].first);
                out.push_back(':');
                members_[i].second.DumpTo(out);
            }
            out.push_back('}');
            break;
    }
}

std::string Json::Dump() const {
    std::string out;
    DumpTo(out);
    return out;
}

Json Json::Parse(std::string_view text) { return Parser(text).ParseDocument(); }

bool operator==(const Json& a, const Json& b) {
    if (a.IsNumber() && b.IsNumber()) {
        if (a.kind_ == Json::Kind::Int && b.kind_ == Json::Kind::Int) return a.int_ == b.int_;
        return a.AsReal() == b.AsReal();
    }
    if (a.kind_ != b.kind_) return false;
    switch (a.kind_) {
        case Json::Kind::Null: return true;
        case Json::Kind::Bool: return a.bool_ == b.bool_;
        case Json::Kind::String: return a.str_ == b.str_;
        case Json::Kind::Array: return a.items_ == b.items_;
        case Json::Kind::Object: {
            if (a.members_.size() != b.members_.size()) return false;
            for (const Json::Member& m : a.members_) {
                const Json* other = b.Find(m.first);
                if (!other || !(*other == m.second)) return false;
            }
            return true;
        }
        default: return false;
    }
}

std::string JsonQuote(std::string_view text) {
    std::string out;
    QuoteTo(out, text);
    return out;
}

}  // namespace launcher
