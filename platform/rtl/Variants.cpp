#include "Variants.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "CodePages.h"

namespace rtl {

const char* VarTypeName(VarType t) {
    switch (t) {
        case VarType::Empty: return "Empty";
        case VarType::Null: return "Null";
        case VarType::Boolean: return "Boolean";
        case VarType::Integer: return "Integer";
        case VarType::Double: return "Double";
        case VarType::Date: return "Date";
        case VarType::OleStr: return "OleStr";
        case VarType::String: return "String";
        case VarType::Dispatch: return "Dispatch";
        case VarType::Array: return "Array";
    }
    return "Unknown";
}

namespace {
[[noreturn]] void CastError(VarType from, const char* to) {
    throw EVariantTypeCastError(std::string("Could not convert variant of type (") + VarTypeName(from) +
                                ") into type (" + to + ")");
}

// Banker's rounding, as the platform rounds reals to integers.
int64_t RoundHalfEven(double v, VarType from, const char* to) {
    if (!std::isfinite(v) || v >= 9.2233720368547758e18 || v <= -9.2233720368547758e18) CastError(from, to);
    return static_cast<int64_t>(std::nearbyint(v));
}
}  // namespace

Variant::Variant(std::shared_ptr<com::IDispatch> d) noexcept : v_(std::move(d)) {}

Variant::Variant(VarArray a) : v_(ArrayBox{std::make_unique<VarArray>(std::move(a))}) {}

Variant Variant::Null() noexcept {
    Variant v;
    v.v_ = NullTag{};
    return v;
}

Variant Variant::FromDate(TDateTime d) noexcept {
    Variant v;
    v.v_ = DateBox{d};
    return v;
}

Variant::Variant(const Variant& o) {
    std::visit(
        [this](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, ArrayBox>) {
                v_.template emplace<ArrayBox>(ArrayBox{std::make_unique<VarArray>(*x.p)});
            } else {
                v_.template emplace<T>(x);
            }
        },
        o.v_);
}

Variant& Variant::operator=(const Variant& o) {
    if (this != &o) {
        Variant copy(o);
        *this = std::move(copy);
    }
    return *this;
}

Variant::~Variant() = default;

const VarArray& Variant::Arr() const {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    return *std::get<ArrayBox>(v_).p;
}

VarArray& Variant::Arr() {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    return *std::get<ArrayBox>(v_).p;
}

Variant& Variant::operator[](int i) { return Arr().At(i); }
const Variant& Variant::operator[](int i) const { return Arr().At(i); }
Variant& Variant::operator()(int i, int j) { return Arr().At(i, j); }
const Variant& Variant::operator()(int i, int j) const { return Arr().At(i, j); }

std::string Variant::AsString() const {
    switch (Type()) {
        case VarType::Empty:
        case VarType::Null: return {};
        case VarType::Boolean: return Bool() ? "True" : "False";
        case VarType::Integer: return std::to_string(Int());
        case VarType::Double: return FloatToStr(Dbl());
        case VarType::Date: return DateTimeToStr(DateValue());
        case VarType::OleStr: return WideToUtf8(Wide());
        case VarType::String: return Bytes();
        default: CastError(Type(), "String");
    }
}

std::u16string Variant::AsWide() const {
    switch (Type()) {
        case VarType::OleStr: return Wide();
        case VarType::String: return Utf8ToWide(Bytes());
        default: return Utf8ToWide(AsString());
    }
}

int64_t Variant::AsInt64() const {
    switch (Type()) {
        case VarType::Empty: return 0;
        case VarType::Boolean: return Bool() ? -1 : 0;
        case VarType::Integer: return Int();
        case VarType::Double: return RoundHalfEven(Dbl(), Type(), "Int64");
        case VarType::Date: return RoundHalfEven(DateValue(), Type(), "Int64");
        case VarType::OleStr:
        case VarType::String: {
            const std::string s = AsString();
            int64_t v;
            if (TryStrToInt64(s, v)) return v;
            double d;
            if (TryStrToFloat(s, d)) return RoundHalfEven(d, Type(), "Int64");
            CastError(Type(), "Int64");
        }
        default: CastError(Type(), "Int64");
    }
}

int Variant::AsInteger() const {
    const int64_t v = AsInt64();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) CastError(Type(), "Integer");
    return static_cast<int>(v);
}

double Variant::AsDouble() const {
    switch (Type()) {
        case VarType::Empty: return 0;
        case VarType::Boolean: return Bool() ? -1 : 0;
        case VarType::Integer: return static_cast<double>(Int());
        case VarType::Double: return Dbl();
        case VarType::Date: return DateValue();
        case VarType::OleStr:
        case VarType::String: {
            double d;
            if (TryStrToFloat(AsString(), d)) return d;
            CastError(Type(), "Double");
        }
        default: CastError(Type(), "Double");
    }
}

bool Variant::AsBoolean() const {
    switch (Type()) {
        case VarType::Empty: return false;
        case VarType::Boolean: return Bool();
        case VarType::Integer: return Int() != 0;
        case VarType::Double: return Dbl() != 0;
        case VarType::Date: return DateValue() != 0;
        case VarType::OleStr:
        case VarType::String: {
            const std::string s = AsString();
            if (SameText(s, "True")) return true;
            if (SameText(s, "False")) return false;
            double d;
            if (TryStrToFloat(s, d)) return d != 0;
            CastError(Type(), "Boolean");
        }
        default: CastError(Type(), "Boolean");
    }
}

TDateTime Variant::AsDate() const {
    switch (Type()) {
        case VarType::Date: return DateValue();
        case VarType::Empty:
        case VarType::Integer:
        case VarType::Double: return AsDouble();
        default: CastError(Type(), "Date");
    }
}

std::shared_ptr<com::IDispatch> Variant::AsDispatch() const {
    if (Type() == VarType::Dispatch) return std::get<std::shared_ptr<com::IDispatch>>(v_);
    if (Type() == VarType::Empty) return nullptr;
    CastError(Type(), "Dispatch");
}

bool Variant::Identical(const Variant& o) const {
    if (Type() != o.Type()) return false;
    switch (Type()) {
        case VarType::Empty:
        case VarType::Null: return true;
        case VarType::Boolean: return Bool() == o.Bool();
        case VarType::Integer: return Int() == o.Int();
        case VarType::Double: return Dbl() == o.Dbl();
        case VarType::Date: return DateValue() == o.DateValue();
        case VarType::OleStr: return Wide() == o.Wide();
        case VarType::String: return Bytes() == o.Bytes();
        case VarType::Dispatch: return AsDispatch() == o.AsDispatch();
        case VarType::Array: {
            const VarArray& a = Arr();
            const VarArray& b = o.Arr();
            if (a.DimCount() != b.DimCount()) return false;
            for (int d = 1; d <= a.DimCount(); ++d) {
                if (a.LowBound(d) != b.LowBound(d) || a.HighBound(d) != b.HighBound(d)) return false;
            }
            for (size_t k = 0; k < a.ElementCount(); ++k) {
                if (!a.Items()[k].Identical(b.Items()[k])) return false;
            }
            return true;
        }
    }
    return false;
}

// ---- VarArray --------------------------------------------------------------------------------

VarArray::VarArray(int low, int high) : dims_(1) {
    if (high < low - 1) throw EVariantError("Invalid variant array bounds");
    low_[0] = low;
    high_[0] = high;
    items_.resize(static_cast<size_t>(high - low + 1));
}

VarArray::VarArray(int low0, int high0, int low1, int high1) : dims_(2) {
    if (high0 < low0 - 1 || high1 < low1 - 1) throw EVariantError("Invalid variant array bounds");
    low_[0] = low0, high_[0] = high0, low_[1] = low1, high_[1] = high1;
    items_.resize(static_cast<size_t>(high0 - low0 + 1) * static_cast<size_t>(high1 - low1 + 1));
}

int VarArray::LowBound(int dim) const {
    if (dim < 1 || dim > dims_) throw EVariantError("Variant array dimension out of range");
    return low_[dim - 1];
}

int VarArray::HighBound(int dim) const {
    if (dim < 1 || dim > dims_) throw EVariantError("Variant array dimension out of range");
    return high_[dim - 1];
}

size_t VarArray::Offset(int i) const {
    if (dims_ != 1) throw EVariantError("Variant array has two dimensions");
    if (i < low_[0] || i > high_[0]) throw ERangeError("Variant array index out of bounds");
    return static_cast<size_t>(i - low_[0]);
}

size_t VarArray::Offset(int i, int j) const {
    if (dims_ != 2) throw EVariantError("Variant array has one dimension");
    if (i < low_[0] || i > high_[0] || j < low_[1] || j > high_[1]) throw ERangeError("Variant array index out of bounds");
    return static_cast<size_t>(i - low_[0]) * static_cast<size_t>(high_[1] - low_[1] + 1) + static_cast<size_t>(j - low_[1]);
}

Variant& VarArray::At(int i) { return items_[Offset(i)]; }
const Variant& VarArray::At(int i) const { return items_[Offset(i)]; }
Variant& VarArray::At(int i, int j) { return items_[Offset(i, j)]; }
const Variant& VarArray::At(int i, int j) const { return items_[Offset(i, j)]; }

void VarArray::Redim(int high) {
    if (dims_ != 1) throw EVariantError("Only one-dimensional variant arrays can be resized");
    if (high < low_[0] - 1) throw EVariantError("Invalid variant array bounds");
    high_[0] = high;
    items_.resize(static_cast<size_t>(high - low_[0] + 1));
}

// ---- Routines --------------------------------------------------------------------------------

VarType VarTypeOf(const Variant& v) { return v.Type(); }

int VarArrayDimCount(const Variant& v) { return v.IsArray() ? v.Arr().DimCount() : 0; }
int VarArrayLowBound(const Variant& v, int dim) { return v.Arr().LowBound(dim); }
int VarArrayHighBound(const Variant& v, int dim) { return v.Arr().HighBound(dim); }

Variant VarArrayOf(std::initializer_list<Variant> items) {
    VarArray a(0, static_cast<int>(items.size()) - 1);
    size_t k = 0;
    for (const Variant& v : items) a.Items()[k++] = v;
    return Variant(std::move(a));
}

Variant VarArrayOf(std::vector<Variant> items) {
    VarArray a(0, static_cast<int>(items.size()) - 1);
    a.Items() = std::move(items);
    return Variant(std::move(a));
}

Variant VarArrayCreate(int low, int high) { return Variant(VarArray(low, high)); }
Variant VarArrayCreate(int low0, int high0, int low1, int high1) { return Variant(VarArray(low0, high0, low1, high1)); }
void VarArrayRedim(Variant& v, int high) { v.Arr().Redim(high); }

std::string VarToStr(const Variant& v) { return v.AsString(); }
std::u16string VarToWideStr(const Variant& v) { return v.IsEmpty() || v.IsNull() ? std::u16string() : v.AsWide(); }

namespace {
template <typename T>
VarCompareResult Cmp(const T& a, const T& b) {
    if (a < b) return VarCompareResult::LessThan;
    if (b < a) return VarCompareResult::GreaterThan;
    return VarCompareResult::Equal;
}
}  // namespace

VarCompareResult VarCompareValue(const Variant& a, const Variant& b) {
    const VarType ta = a.Type(), tb = b.Type();
    if (ta == VarType::Null || tb == VarType::Null) {
        return ta == tb ? VarCompareResult::Equal : VarCompareResult::NotEqual;
    }
    if (ta == VarType::Array || tb == VarType::Array) {
        if (ta != tb) return VarCompareResult::NotEqual;
        const VarArray& x = a.Arr();
        const VarArray& y = b.Arr();
        if (x.DimCount() != y.DimCount() || x.ElementCount() != y.ElementCount()) return VarCompareResult::NotEqual;
        for (size_t k = 0; k < x.ElementCount(); ++k) {
            if (VarCompareValue(x.Items()[k], y.Items()[k]) != VarCompareResult::Equal) return VarCompareResult::NotEqual;
        }
        return VarCompareResult::Equal;
    }
    if (ta == VarType::Dispatch || tb == VarType::Dispatch) {
        return a.Identical(b) ? VarCompareResult::Equal : VarCompareResult::NotEqual;
    }
    const bool sa = a.IsStr() || ta == VarType::Empty;
    const bool sb = b.IsStr() || tb == VarType::Empty;
    if (ta == VarType::Empty && tb == VarType::Empty) return VarCompareResult::Equal;
    if (sa && sb) return Cmp(a.AsString(), b.AsString());
    // At least one number: compare as numbers; a text that is no number compares as text.
    double x, y;
    if (a.IsStr() && !TryStrToFloat(a.AsString(), x)) return Cmp(a.AsString(), b.AsString());
    if (b.IsStr() && !TryStrToFloat(b.AsString(), y)) return Cmp(a.AsString(), b.AsString());
    return Cmp(a.AsDouble(), b.AsDouble());
}

bool VarSameValue(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == VarCompareResult::Equal; }

}  // namespace rtl
