// A small JSON value: what the launcher reads from scripts (parameter packages, expected values)
// and writes, one compact line per record. Objects keep their members in insertion order, so
// that the lines read the same on every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace launcher {

// A text that is no JSON; Offset is the byte where reading stopped.
class JsonError : public std::runtime_error {
public:
    JsonError(const std::string& message, size_t offset) : std::runtime_error(message), offset_(offset) {}
    size_t Offset() const noexcept { return offset_; }

private:
    size_t offset_;
};

class Json {
public:
    enum class Kind { Null, Bool, Int, Real, String, Array, Object };
    using Member = std::pair<std::string, Json>;

    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool v) : kind_(Kind::Bool), bool_(v) {}
    template <typename I, std::enable_if_t<std::is_integral_v<I> && !std::is_same_v<I, bool>, int> = 0>
    Json(I v) : kind_(Kind::Int), int_(static_cast<int64_t>(v)) {}
    Json(double v) : kind_(Kind::Real), real_(v) {}
    Json(const char* s) : kind_(Kind::String), str_(s) {}
    Json(std::string s) : kind_(Kind::String), str_(std::move(s)) {}
    Json(std::string_view s) : kind_(Kind::String), str_(s) {}

    static Json Array(std::vector<Json> items = {});
    static Json Object();

    Kind GetKind() const noexcept { return kind_; }
    bool IsNull() const noexcept { return kind_ == Kind::Null; }
    bool IsNumber() const noexcept { return kind_ == Kind::Int || kind_ == Kind::Real; }
    bool IsString() const noexcept { return kind_ == Kind::String; }
    bool IsArray() const noexcept { return kind_ == Kind::Array; }
    bool IsObject() const noexcept { return kind_ == Kind::Object; }

    // The typed readers raise std::logic_error for a value of another kind.
    bool AsBool() const;
    int64_t AsInt() const;
    double AsReal() const;  // integers too
    const std::string& AsString() const;
    const std::vector<Json>& Items() const;
    const std::vector<Member>& Members() const;

    // Appends to an array.
    Json& Push(Json v);
    // Sets a member of an object: replaces one of that name, else appends.
    Json& Set(std::string_view key, Json v);
    // A member of an object; nullptr when missing or when this is no object.
    const Json* Find(std::string_view key) const;
    // A member that must be there; raises std::out_of_range naming it when it is not.
    const Json& At(std::string_view key) const;

    // The compact text: no blanks, every text valid UTF-8 (bytes that are not become U+FFFD),
    // control characters escaped, reals that JSON cannot hold (infinities, NaN) as null.
    std::string Dump() const;
    void DumpTo(std::string& out) const;

    // Reads one value (blanks around it allowed) and raises JsonError for anything else. Numbers
    // without fraction or exponent that fit 64 bits are integers; the others are reals.
    static Json Parse(std::string_view text);

    // Same value: numbers compare by value (1 equals 1.0), objects member by member in any order.
    friend bool operator==(const Json& a, const Json& b);

private:
    Kind kind_ = Kind::Null;
    bool bool_ = false;
    int64_t int_ = 0;
    double real_ = 0;
    std::string str_;
    std::vector<Json> items_;
    std::vector<Member> members_;
};

// A text as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view text);

}  // namespace launcher
