// Variants: the tagged values exchanged with the launcher, the manager and the application
// server. Copying a variant copies its array deeply, as the platform does.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "SysUtils.h"

namespace com {
class IDispatch;  // late-bound objects, see platform/com
}

namespace rtl {

enum class VarType : uint8_t {
    Empty,
    Null,
    Boolean,
    Integer,   // 64-bit storage; the platform's integer kinds share it
    Double,
    Date,      // TDateTime
    OleStr,    // wide string (UTF-16)
    String,    // byte string
    Dispatch,  // late-bound object
    Array,     // array of variants, one or two dimensions
};

const char* VarTypeName(VarType t);

class VarArray;

class Variant {
public:
    Variant() noexcept = default;
    Variant(bool v) noexcept : v_(v) {}
    Variant(int v) noexcept : v_(int64_t{v}) {}
    Variant(long v) noexcept : v_(int64_t{v}) {}
    Variant(long long v) noexcept : v_(int64_t{v}) {}
    Variant(unsigned v) noexcept : v_(int64_t{v}) {}
    Variant(double v) noexcept : v_(v) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(std::string s) noexcept : v_(std::move(s)) {}
    Variant(std::string_view s) : v_(std::string(s)) {}
    Variant(const char16_t* s) : v_(std::u16string(s)) {}
    Variant(std::u16string s) noexcept : v_(std::move(s)) {}
    Variant(std::u16string_view s) : v_(std::u16string(s)) {}
    Variant(std::shared_ptr<com::IDispatch> d) noexcept;
    Variant(VarArray a);

    static Variant Null() noexcept;
    static Variant FromDate(TDateTime d) noexcept;

    Variant(const Variant& o);
    Variant(Variant&&) noexcept = default;
    Variant& operator=(const Variant& o);
    Variant& operator=(Variant&&) noexcept = default;
    ~Variant();

    VarType Type() const noexcept { return static_cast<VarType>(v_.index()); }
    bool IsEmpty() const noexcept { return Type() == VarType::Empty; }
    bool IsNull() const noexcept { return Type() == VarType::Null; }
    bool IsArray() const noexcept { return Type() == VarType::Array; }
    bool IsStr() const noexcept { return Type() == VarType::String || Type() == VarType::OleStr; }
    bool IsNumeric() const noexcept {
        return Type() == VarType::Integer || Type() == VarType::Double || Type() == VarType::Boolean;
    }

    // Conversions with the platform's rules; they raise EVariantTypeCastError where the platform does.
    std::string AsString() const;        // UTF-8 (a byte string is returned as it is)
    std::u16string AsWide() const;
    int64_t AsInt64() const;
    int AsInteger() const;
    double AsDouble() const;
    bool AsBoolean() const;
    TDateTime AsDate() const;
    std::shared_ptr<com::IDispatch> AsDispatch() const;

    // Direct access to the stored value; the tag must match.
    const std::string& Bytes() const { return std::get<std::string>(v_); }
    const std::u16string& Wide() const { return std::get<std::u16string>(v_); }
    int64_t Int() const { return std::get<int64_t>(v_); }
    double Dbl() const { return std::get<double>(v_); }
    bool Bool() const { return std::get<bool>(v_); }
    TDateTime DateValue() const { return std::get<DateBox>(v_).value; }

    // Arrays. Indexes are the array's own (bounds may start anywhere).
    const VarArray& Arr() const;
    VarArray& Arr();
    Variant& operator[](int i);
    const Variant& operator[](int i) const;
    Variant& operator()(int i, int j);
    const Variant& operator()(int i, int j) const;

    // Structural identity: same tag and same value, arrays compared element by element.
    bool Identical(const Variant& o) const;

private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    struct DateBox {
        TDateTime value;
    };
    struct ArrayBox {
        std::unique_ptr<VarArray> p;
    };
    // The alternatives' order is the VarType order.
    std::variant<std::monostate, NullTag, bool, int64_t, double, DateBox, std::u16string, std::string,
                 std::shared_ptr<com::IDispatch>, ArrayBox>
        v_;
};

// An array of variants with one or two dimensions and arbitrary bounds; row-major storage.
class VarArray {
public:
    VarArray() = default;
    VarArray(int low, int high);
    VarArray(int low0, int high0, int low1, int high1);

    int DimCount() const noexcept { return dims_; }
    int LowBound(int dim = 1) const;   // dim counts from 1
    int HighBound(int dim = 1) const;
    int Length(int dim = 1) const { return HighBound(dim) - LowBound(dim) + 1; }
    size_t ElementCount() const noexcept { return items_.size(); }

    Variant& At(int i);
    const Variant& At(int i) const;
    Variant& At(int i, int j);
    const Variant& At(int i, int j) const;

    // Changes the high bound of a one-dimensional array, keeping the elements that remain.
    void Redim(int high);

    std::vector<Variant>& Items() noexcept { return items_; }
    const std::vector<Variant>& Items() const noexcept { return items_; }

private:
    size_t Offset(int i) const;
    size_t Offset(int i, int j) const;
    int dims_ = 1;
    int low_[2] = {0, 0};
    int high_[2] = {-1, -1};
    std::vector<Variant> items_;
};

// ---- The platform's variant routines -----------------------------------------------------

VarType VarTypeOf(const Variant& v);
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
inline bool VarIsStr(const Variant& v) { return v.IsStr(); }
int VarArrayDimCount(const Variant& v);  // 0 for a non-array
int VarArrayLowBound(const Variant& v, int dim);   // raises for a non-array or a bad dimension
int VarArrayHighBound(const Variant& v, int dim);
Variant VarArrayOf(std::initializer_list<Variant> items);  // bounds 0..n-1
Variant VarArrayOf(std::vector<Variant> items);
Variant VarArrayCreate(int low, int high);
Variant VarArrayCreate(int low0, int high0, int low1, int high1);
void VarArrayRedim(Variant& v, int high);

std::string VarToStr(const Variant& v);  // empty and null give an empty text
std::u16string VarToWideStr(const Variant& v);

enum class VarCompareResult { LessThan, Equal, GreaterThan, NotEqual };
// Compares values with type promotion: numbers numerically, texts as texts (a text against a
// number is read as a number), null equal only to null, empty as 0 or the empty text.
VarCompareResult VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);
inline bool operator==(const Variant& a, const Variant& b) { return VarSameValue(a, b); }

}  // namespace rtl
