#include "DB.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "DBFilter.h"

namespace data {

using rtl::Format;
using rtl::Variant;

void DatabaseError(const std::string& message, const ui::TComponent* component) {
    if (component && !component->Name().empty()) throw EDatabaseError(component->Name() + ": " + message);
    throw EDatabaseError(message);
}

// ---- Enumerations ------------------------------------------------------------------------------

const ui::EnumInfo& FieldTypeEnum() {
    static const ui::EnumInfo info{
        "TFieldType",
        {"ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord", "ftBoolean", "ftFloat", "ftCurrency", "ftBCD",
         "ftDate", "ftTime", "ftDateTime", "ftBytes", "ftVarBytes", "ftAutoInc", "ftBlob", "ftMemo", "ftGraphic",
         "ftFmtMemo", "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor", "ftFixedChar", "ftWideString",
         "ftLargeint", "ftADT", "ftArray", "ftReference", "ftDataSet", "ftOraBlob", "ftOraClob", "ftVariant",
         "ftInterface", "ftIDispatch", "ftGuid"}};
    return info;
}

const ui::EnumInfo& FieldAttributeEnum() {
    static const ui::EnumInfo info{"TFieldAttribute", {"faHiddenCol", "faReadonly", "faRequired", "faLink", "faUnNamed", "faFixed"}};
    return info;
}

const ui::EnumInfo& DataSetStateEnum() {
    static const ui::EnumInfo info{"TDataSetState", {"dsInactive", "dsBrowse", "dsEdit", "dsInsert"}};
    return info;
}

const ui::EnumInfo& FilterOptionEnum() {
    static const ui::EnumInfo info{"TFilterOption", {"foCaseInsensitive", "foNoPartialCompare"}};
    return info;
}

const ui::EnumInfo& IndexOptionEnum() {
    static const ui::EnumInfo info{
        "TIndexOption", {"ixPrimary", "ixUnique", "ixDescending", "ixCaseInsensitive", "ixExpression", "ixNonMaintained"}};
    return info;
}

namespace detail {

ValueKind KindOf(TFieldType type) {
    switch (type) {
        case TFieldType::ftString:
        case TFieldType::ftFixedChar:
        case TFieldType::ftWideString:
        case TFieldType::ftMemo:
        case TFieldType::ftFmtMemo: return ValueKind::Text;
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger:
        case TFieldType::ftWord:
        case TFieldType::ftAutoInc:
        case TFieldType::ftLargeint: return ValueKind::Integer;
        case TFieldType::ftBoolean: return ValueKind::Boolean;
        case TFieldType::ftFloat:
        case TFieldType::ftCurrency:
        case TFieldType::ftBCD: return ValueKind::Float;
        case TFieldType::ftDate:
        case TFieldType::ftTime:
        case TFieldType::ftDateTime: return ValueKind::DateTime;
        default: return ValueKind::None;
    }
}

int CompareFieldValues(const Variant& a, const Variant& b, bool caseInsensitive) {
    const bool na = a.IsNull() || a.IsEmpty();
    const bool nb = b.IsNull() || b.IsEmpty();
    if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
    auto sign = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (a.IsStr() && b.IsStr()) {
        if (caseInsensitive) return sign(rtl::AnsiUpperCase(a.AsString()), rtl::AnsiUpperCase(b.AsString()));
        return sign(a.AsString(), b.AsString());
    }
    if (a.Type() == rtl::VarType::Boolean && b.Type() == rtl::VarType::Boolean) return sign(a.Bool(), b.Bool());
    if (a.Type() == rtl::VarType::Integer && b.Type() == rtl::VarType::Integer) return sign(a.Int(), b.Int());
    double x, y;
    const bool okA = !a.IsStr() || rtl::TryStrToFloat(a.AsString(), x);
    const bool okB = !b.IsStr() || rtl::TryStrToFloat(b.AsString(), y);
    if (!okA || !okB) return sign(a.AsString(), b.AsString());
    if (!a.IsStr()) x = a.Type() == rtl::VarType::Boolean ? (a.Bool() ? 1 : 0) : a.AsDouble();
    if (!b.IsStr()) y = b.Type() == rtl::VarType::Boolean ? (b.Bool() ? 1 : 0) : b.AsDouble();
    return sign(x, y);
}

}  // namespace detail

using detail::KindOf;
using detail::ValueKind;

// ---- Values ------------------------------------------------------------------------------------

bool TryStrToDateTime(std::string_view text, rtl::TDateTime& out) {
    const rtl::FormatSettingsT& fs = rtl::FormatSettings();
    const std::string s = rtl::Trim(text);
    if (s.empty()) return false;
    std::string datePart, timePart;
    const size_t space = s.find(' ');
    if (space != std::string::npos) {
        datePart = s.substr(0, space);
        timePart = rtl::Trim(s.substr(space + 1));
    } else if (s.find(fs.TimeSeparator) != std::string::npos && s.find(fs.DateSeparator) == std::string::npos) {
        timePart = s;
    } else {
        datePart = s;
    }
    auto numbers = [](const std::string& part, char sep, std::vector<int>& parts) {
        parts.clear();
        size_t start = 0;
        while (true) {
            const size_t end = part.find(sep, start);
            const std::string piece = part.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (piece.empty() || piece.size() > 4 || !std::all_of(piece.begin(), piece.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                return false;
            }
            parts.push_back(std::stoi(piece));
            if (end == std::string::npos) return true;
            start = end + 1;
        }
    };
    rtl::TDateTime date = 0, time = 0;
    std::vector<int> n;
    if (!datePart.empty()) {
        if (!numbers(datePart, fs.DateSeparator, n) || n.size() != 3) return false;
        // The order of the year, month and day follows the short date format.
        std::string order;
        for (char c : rtl::LowerCase(fs.ShortDateFormat)) {
            if ((c == 'y' || c == 'm' || c == 'd') && order.find(c) == std::string::npos) order += c;
        }
        if (order.size() != 3) order = "ymd";
        int y = 0, m = 0, d = 0;
        for (size_t i = 0; i < 3; ++i) {
            (order[i] == 'y' ? y : order[i] == 'm' ? m : d) = n[i];
        }
        if (y < 100) y += y < 50 ? 2000 : 1900;
        if (!rtl::TryEncodeDate(y, m, d, date)) return false;
    }
    if (!timePart.empty()) {
        std::string clock = timePart;
        int msec = 0;
        const size_t dot = clock.find('.');
        if (dot != std::string::npos) {
            const std::string frac = clock.substr(dot + 1);
            if (frac.empty() || frac.size() > 3 || !std::all_of(frac.begin(), frac.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                return false;
            }
            msec = std::stoi(frac);
            clock.resize(dot);
        }
        if (!numbers(clock, fs.TimeSeparator, n) || n.size() < 2 || n.size() > 3) return false;
        if (!rtl::TryEncodeTime(n[0], n[1], n.size() == 3 ? n[2] : 0, msec, time)) return false;
    }
    out = date >= 0 ? date + time : date - time;
    return true;
}

Variant CoerceFieldValue(TFieldType type, const Variant& v, std::string_view fieldName) {
    if (v.IsNull() || v.IsEmpty()) return Variant::Null();
    switch (KindOf(type)) {
        case ValueKind::Text: return Variant(v.AsString());
        case ValueKind::Integer: {
            if (v.IsStr()) {
                const std::string s = v.AsString();
                int64_t n;
                if (!rtl::TryStrToInt64(s, n)) throw rtl::EConvertError(Format("'%s' is not a valid integer value", {s}));
                return Variant(n);
            }
            return Variant(static_cast<long long>(v.AsInt64()));
        }
        case ValueKind::Boolean: {
            if (v.IsStr()) {
                const std::string s = v.AsString();
                if (rtl::SameText(s, "True")) return Variant(true);
                if (rtl::SameText(s, "False")) return Variant(false);
                throw rtl::EConvertError(Format("'%s' is not a valid boolean value", {s}));
            }
            return Variant(v.AsBoolean());
        }
        case ValueKind::Float: {
            if (v.IsStr()) {
                const std::string s = v.AsString();
                double d;
                if (!rtl::TryStrToFloat(s, d)) throw rtl::EConvertError(Format("'%s' is not a valid floating point value", {s}));
                return Variant(d);
            }
            return Variant(v.AsDouble());
        }
        case ValueKind::DateTime: {
            if (v.Type() == rtl::VarType::Date) return v;
            if (v.IsStr()) {
                const std::string s = v.AsString();
                rtl::TDateTime d;
                if (!TryStrToDateTime(s, d)) throw rtl::EConvertError(Format("'%s' is not a valid date and time", {s}));
                return Variant::FromDate(d);
            }
            return Variant::FromDate(v.AsDouble());
        }
        case ValueKind::None: break;
    }
    DatabaseError(Format("Field '%s' is of an unknown type", {std::string(fieldName)}));
}

// ---- Definitions -------------------------------------------------------------------------------

TFieldDef::TFieldDef(std::string name, TFieldType type, int size, bool required)
    : name_(std::move(name)), type_(type), size_(size) {
    SetRequired(required);
}

void TFieldDef::SetRequired(bool v) {
    attributes_ = v ? static_cast<TFieldAttributes>(attributes_ | (1u << faRequired))
                    : static_cast<TFieldAttributes>(attributes_ & ~(1u << faRequired));
}

const ui::ClassInfo& TFieldDef::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TFieldDef>("TFieldDef", &ui::TObject::StaticClassInfo())
                                          .Set("Attributes", FieldAttributeEnum(), &TFieldDef::Attributes, &TFieldDef::SetAttributes)
                                          .Enum("DataType", FieldTypeEnum(), &TFieldDef::DataType, &TFieldDef::SetDataType, 0)
                                          .Str("Name", &TFieldDef::Name, &TFieldDef::SetName)
                                          .Int("Size", &TFieldDef::Size, &TFieldDef::SetSize, 0)
                                          .Build();
    return info;
}

const ui::ClassInfo& TFieldDefs::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TFieldDefs>("TFieldDefs", &ui::TObject::StaticClassInfo()).Build();
    return info;
}

TFieldDef* TFieldDefs::Add(const std::string& name, TFieldType type, int size, bool required) {
    if (IndexOf(name) >= 0) DatabaseError(Format("Duplicate field name '%s'", {name}));
    items_.push_back(std::make_unique<TFieldDef>(name, type, size, required));
    return items_.back().get();
}

TFieldDef* TFieldDefs::Items(int i) const {
    if (i < 0 || i >= Count()) throw rtl::EListError(Format("List index out of bounds (%d)", {i}));
    return items_[static_cast<size_t>(i)].get();
}

int TFieldDefs::IndexOf(std::string_view name) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (rtl::AnsiSameText(items_[i]->Name(), name)) return static_cast<int>(i);
    }
    return -1;
}

TFieldDef* TFieldDefs::Find(std::string_view name) const {
    const int i = IndexOf(name);
    if (i < 0) DatabaseError(Format("Field '%s' not found", {std::string(name)}));
    return items_[static_cast<size_t>(i)].get();
}

TIndexDef::TIndexDef(std::string name, std::string fields, TIndexOptions options)
    : name_(std::move(name)), fields_(std::move(fields)), options_(options) {}

const ui::ClassInfo& TIndexDef::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TIndexDef>("TIndexDef", &ui::TObject::StaticClassInfo())
                                          .Str("Name", &TIndexDef::Name, &TIndexDef::SetName)
                                          .Str("Fields", &TIndexDef::Fields, &TIndexDef::SetFields)
                                          .Set("Options", IndexOptionEnum(), &TIndexDef::Options, &TIndexDef::SetOptions)
                                          .Build();
    return info;
}

const ui::ClassInfo& TIndexDefs::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TIndexDefs>("TIndexDefs", &ui::TObject::StaticClassInfo()).Build();
    return info;
}

TIndexDef* TIndexDefs::Add(const std::string& name, const std::string& fields, TIndexOptions options) {
    if (IndexOf(name) >= 0) DatabaseError(Format("Duplicate index name '%s'", {name}));
    items_.push_back(std::make_unique<TIndexDef>(name, fields, options));
    return items_.back().get();
}

TIndexDef* TIndexDefs::Items(int i) const {
    if (i < 0 || i >= Count()) throw rtl::EListError(Format("List index out of bounds (%d)", {i}));
    return items_[static_cast<size_t>(i)].get();
}

int TIndexDefs::IndexOf(std::string_view name) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (rtl::AnsiSameText(items_[i]->Name(), name)) return static_cast<int>(i);
    }
    return -1;
}

TIndexDef* TIndexDefs::Find(std::string_view name) const {
    const int i = IndexOf(name);
    if (i < 0) DatabaseError(Format("Index '%s' not found", {std::string(name)}));
    return items_[static_cast<size_t>(i)].get();
}

// ---- Fields ------------------------------------------------------------------------------------

TField::TField(TDataSet* dataSet, std::string name, TFieldType type, int size)
    : dataSet_(dataSet), name_(std::move(name)), type_(type), size_(size) {}

const ui::ClassInfo& TField::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TField>("TField", &ui::TObject::StaticClassInfo())
                                          .Str("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel)
                                          .Str("FieldName", &TField::FieldName, nullptr)
                                          .Bool("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly, false)
                                          .Bool("Required", &TField::Required, &TField::SetRequired, false)
                                          .Int("Size", &TField::Size, nullptr, 0)
                                          .Bool("Visible", &TField::Visible, &TField::SetVisible, true)
                                          .Event("OnChange", &TField::OnChange)
                                          .Event("OnGetText", &TField::OnGetText)
                                          .Event("OnSetText", &TField::OnSetText)
                                          .Event("OnValidate", &TField::OnValidate)
                                          .Build();
    return info;
}

const Variant& TField::Current() const {
    static const Variant null = Variant::Null();
    const std::vector<Variant>* values = dataSet_->ActiveValues();
    if (!values || slot_ < 0 || static_cast<size_t>(slot_) >= values->size()) return null;
    return (*values)[static_cast<size_t>(slot_)];
}

void TField::Store(Variant v) { dataSet_->WriteField(*this, std::move(v)); }

void TField::AccessError(const char* typeName) const {
    DatabaseError(Format("Cannot access field '%s' as type %s", {DisplayName(), typeName}));
}

bool TField::IsNull() const {
    const Variant& v = Current();
    return v.IsNull() || v.IsEmpty();
}

Variant TField::AsVariant() const { return IsNull() ? Variant::Null() : Current(); }

void TField::SetAsVariant(const Variant& v) {
    if (v.IsStr() && KindOf(type_) == ValueKind::Text) {
        SetAsString(v.AsString());
        return;
    }
    Store(CoerceFieldValue(type_, v, name_));
}

std::string TField::AsString() const {
    const Variant& v = Current();
    if (IsNull()) return {};
    switch (type_) {
        case TFieldType::ftDate: return rtl::DateToStr(v.DateValue());
        case TFieldType::ftTime: return rtl::TimeToStr(v.DateValue());
        default: return v.AsString();
    }
}

void TField::SetAsString(const std::string& v) {
    if (v.empty()) {
        Clear();
        return;
    }
    Store(CoerceFieldValue(type_, Variant(v), name_));
}

int64_t TField::AsLargeInt() const {
    switch (KindOf(type_)) {
        case ValueKind::Text: return rtl::StrToInt64(AsString());
        case ValueKind::Integer: return IsNull() ? 0 : Current().Int();
        case ValueKind::Float: return IsNull() ? 0 : Current().AsInt64();  // rounds half to even
        default: AccessError("Integer");
    }
}

int TField::AsInteger() const {
    const int64_t v = AsLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) throw rtl::ERangeError("Range check error");
    return static_cast<int>(v);
}

void TField::SetAsLargeInt(int64_t v) {
    switch (KindOf(type_)) {
        case ValueKind::Text: Store(Variant(rtl::IntToStr(v))); break;
        case ValueKind::Integer: Store(Variant(static_cast<long long>(v))); break;
        case ValueKind::Float: Store(Variant(static_cast<double>(v))); break;
        default: AccessError("Integer");
    }
}

void TField::SetAsInteger(int v) { SetAsLargeInt(v); }

double TField::AsFloat() const {
    switch (KindOf(type_)) {
        case ValueKind::Text: return rtl::StrToFloat(AsString());
        case ValueKind::Integer:
        case ValueKind::Float:
        case ValueKind::DateTime: return IsNull() ? 0.0 : Current().AsDouble();
        default: AccessError("Float");
    }
}

void TField::SetAsFloat(double v) {
    switch (KindOf(type_)) {
        case ValueKind::Text: Store(Variant(rtl::FloatToStr(v))); break;
        case ValueKind::Integer: Store(CoerceFieldValue(type_, Variant(v), name_)); break;
        case ValueKind::Float: Store(Variant(v)); break;
        case ValueKind::DateTime: Store(Variant::FromDate(v)); break;
        default: AccessError("Float");
    }
}

rtl::TDateTime TField::AsDateTime() const {
    if (KindOf(type_) != ValueKind::DateTime) AccessError("TDateTime");
    return IsNull() ? 0.0 : Current().DateValue();
}

void TField::SetAsDateTime(rtl::TDateTime v) {
    if (KindOf(type_) != ValueKind::DateTime) AccessError("TDateTime");
    Store(Variant::FromDate(v));
}

bool TField::AsBoolean() const {
    switch (KindOf(type_)) {
        case ValueKind::Text: {
            const std::string s = AsString();
            return !s.empty() && (s[0] == 'Y' || s[0] == 'y' || s[0] == 'T' || s[0] == 't');
        }
        case ValueKind::Boolean: return !IsNull() && Current().Bool();
        default: AccessError("Boolean");
    }
}

void TField::SetAsBoolean(bool v) {
    switch (KindOf(type_)) {
        case ValueKind::Text: Store(Variant(v ? "T" : "F")); break;
        case ValueKind::Boolean: Store(Variant(v)); break;
        default: AccessError("Boolean");
    }
}

void TField::Clear() { Store(Variant::Null()); }

std::string TField::GetText(bool display) const {
    if (OnGetText) {
        std::string text;
        OnGetText(const_cast<TField*>(this), text, display);
        return text;
    }
    return AsString();
}

void TField::SetText(const std::string& v) {
    if (OnSetText) {
        OnSetText(this, v);
    } else {
        SetAsString(v);
    }
}

// ---- Datasets ----------------------------------------------------------------------------------

namespace {
bool IsEditing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

std::vector<std::string> SplitNames(std::string_view names) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= names.size()) {
        const size_t end = names.find(';', start);
        const std::string name = rtl::Trim(names.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (!name.empty()) out.push_back(name);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return out;
}
}  // namespace

TDataSet::TDataSet(ui::TComponent* owner)
    : ui::TComponent(owner), fieldDefs_(std::make_unique<TFieldDefs>()), indexDefs_(std::make_unique<TIndexDefs>()) {}

TDataSet::~TDataSet() = default;

const ui::ClassInfo& TDataSet::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TDataSet>("TDataSet", &ui::TComponent::StaticClassInfo())
                                          .Bool("Active", &TDataSet::Active, &TDataSet::SetActive, false)
                                          .Object<TFieldDefs>("FieldDefs", &TDataSet::FieldDefs, nullptr)
                                          .Str("Filter", &TDataSet::Filter, &TDataSet::SetFilter)
                                          .Bool("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered, false)
                                          .Set("FilterOptions", FilterOptionEnum(), &TDataSet::FilterOptions, &TDataSet::SetFilterOptions)
                                          .Event("BeforeOpen", &TDataSet::BeforeOpen)
                                          .Event("AfterOpen", &TDataSet::AfterOpen)
                                          .Event("BeforeClose", &TDataSet::BeforeClose)
                                          .Event("AfterClose", &TDataSet::AfterClose)
                                          .Event("BeforeInsert", &TDataSet::BeforeInsert)
                                          .Event("AfterInsert", &TDataSet::AfterInsert)
                                          .Event("BeforeEdit", &TDataSet::BeforeEdit)
                                          .Event("AfterEdit", &TDataSet::AfterEdit)
                                          .Event("BeforePost", &TDataSet::BeforePost)
                                          .Event("AfterPost", &TDataSet::AfterPost)
                                          .Event("BeforeCancel", &TDataSet::BeforeCancel)
                                          .Event("AfterCancel", &TDataSet::AfterCancel)
                                          .Event("BeforeDelete", &TDataSet::BeforeDelete)
                                          .Event("AfterDelete", &TDataSet::AfterDelete)
                                          .Event("BeforeScroll", &TDataSet::BeforeScroll)
                                          .Event("AfterScroll", &TDataSet::AfterScroll)
                                          .Event("OnFilterRecord", &TDataSet::OnFilterRecord)
                                          .Event("OnNewRecord", &TDataSet::OnNewRecord)
                                          .Build();
    return info;
}

void TDataSet::Destroy() {
    state_ = TDataSetState::dsInactive;
    ClearData();
    ui::TComponent::Destroy();
}

void TDataSet::Loaded() {
    ui::TComponent::Loaded();
    if (streamedActive_) {
        streamedActive_ = false;
        SetActive(true);
    }
}

void TDataSet::CheckActive() const {
    if (!Active()) DatabaseError("Cannot perform this operation on a closed dataset", this);
}

void TDataSet::CheckInactive() const {
    if (Active()) DatabaseError("Cannot perform this operation on an open dataset", this);
}

void TDataSet::SetActive(bool v) {
    if (IsLoading()) {
        streamedActive_ = v;
        return;
    }
    if (v == Active()) return;
    if (v) {
        BeforeOpen(this);
        OpenCursor();
        AfterOpen(this);
        Scrolled();
    } else {
        BeforeClose(this);
        state_ = TDataSetState::dsInactive;
        ClearData();
        filter_.reset();
        InternalClose();
        AfterClose(this);
    }
}

void TDataSet::OpenCursor() {
    ClearData();
    try {
        InternalOpen();
        ResolveIndex();
        ResolveFilter();
        state_ = TDataSetState::dsBrowse;
        RebuildView(nullptr);
        cur_ = view_.empty() ? -1 : 0;
        bof_ = true;
        eof_ = view_.empty();
    } catch (...) {
        state_ = TDataSetState::dsInactive;
        ClearData();
        filter_.reset();
        InternalClose();
        throw;
    }
}

void TDataSet::ClearData() {
    data_.clear();
    view_.clear();
    cur_ = -1;
    bof_ = eof_ = true;
    buffer_.clear();
    insertBefore_ = nullptr;
    modified_ = false;
    changeSeq_ = 0;
}

void TDataSet::BindFields() {
    for (auto& f : fieldPool_) f->slot_ = -1;
    fields_.clear();
    for (int i = 0; i < fieldDefs_->Count(); ++i) {
        const TFieldDef* def = fieldDefs_->Items(i);
        TField* field = nullptr;
        for (auto& f : fieldPool_) {
            if (f->slot_ < 0 && f->type_ == def->DataType() && rtl::AnsiSameText(f->name_, def->Name())) {
                field = f.get();
                break;
            }
        }
        if (!field) {
            if (KindOf(def->DataType()) == ValueKind::None) {
                DatabaseError(Format("Field '%s' is of an unknown type", {def->Name()}), this);
            }
            fieldPool_.push_back(std::make_unique<TField>(this, def->Name(), def->DataType(), def->Size()));
            field = fieldPool_.back().get();
            field->required_ = def->Required();
        }
        field->name_ = def->Name();
        field->size_ = def->Size();
        field->slot_ = i;
        fields_.push_back(field);
    }
}

void TDataSet::LoadRecord(const std::vector<Variant>& values) {
    if (values.size() != fields_.size()) DatabaseError("Invalid data packet", this);
    auto rec = std::make_unique<Record>();
    rec->values.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        rec->values.push_back(CoerceFieldValue(fields_[i]->type_, values[i], fields_[i]->name_));
    }
    rec->original = rec->values;
    data_.push_back(std::move(rec));
}

TField* TDataSet::Fields(int i) const {
    if (i < 0 || i >= FieldCount()) throw rtl::EListError(Format("List index out of bounds (%d)", {i}));
    return fields_[static_cast<size_t>(i)];
}

TField* TDataSet::FindField(std::string_view name) const {
    for (TField* f : fields_) {
        if (rtl::AnsiSameText(f->name_, name)) return f;
    }
    return nullptr;
}

TField* TDataSet::FieldByName(std::string_view name) const {
    TField* f = FindField(name);
    if (!f) DatabaseError(Format("Field '%s' not found", {std::string(name)}), this);
    return f;
}

const std::vector<Variant>* TDataSet::ActiveValues() const {
    if (judging_) return &judging_->values;
    if (IsEditing(state_)) return &buffer_;
    if (state_ == TDataSetState::dsBrowse && cur_ >= 0 && static_cast<size_t>(cur_) < view_.size()) return &view_[static_cast<size_t>(cur_)]->values;
    return nullptr;
}

void TDataSet::WriteField(TField& field, Variant value) {
    if (!IsEditing(state_)) DatabaseError("Dataset not in edit or insert mode", this);
    if (field.slot_ < 0 || static_cast<size_t>(field.slot_) >= buffer_.size()) {
        DatabaseError(Format("Field '%s' not found", {field.name_}), this);
    }
    if (field.readOnly_) DatabaseError(Format("Field '%s' cannot be modified", {field.DisplayName()}));
    Variant& slot = buffer_[static_cast<size_t>(field.slot_)];
    // OnValidate sees the new value in the field; a refusal puts the old one back.
    Variant old = std::move(slot);
    slot = std::move(value);
    try {
        field.OnValidate(&field);
    } catch (...) {
        buffer_[static_cast<size_t>(field.slot_)] = std::move(old);
        throw;
    }
    modified_ = true;
    field.OnChange(&field);
}

// ---- Navigation

void TDataSet::First() {
    CheckActive();
    CheckBrowseMode();
    BeforeScroll(this);
    cur_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    Scrolled();
}

void TDataSet::Last() {
    CheckActive();
    CheckBrowseMode();
    BeforeScroll(this);
    cur_ = static_cast<int>(view_.size()) - 1;
    eof_ = true;
    bof_ = view_.empty();
    Scrolled();
}

int TDataSet::MoveBy(int distance) {
    CheckActive();
    CheckBrowseMode();
    BeforeScroll(this);
    int moved = 0;
    if ((distance > 0 && !eof_) || (distance < 0 && !bof_)) {
        bof_ = eof_ = false;
        const int last = static_cast<int>(view_.size()) - 1;
        while (distance > 0) {
            if (cur_ >= last) {
                eof_ = true;
                break;
            }
            ++cur_;
            ++moved;
            --distance;
        }
        while (distance < 0) {
            if (cur_ <= 0) {
                bof_ = true;
                break;
            }
            --cur_;
            --moved;
            ++distance;
        }
    }
    Scrolled();
    return moved;
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::RecordCount() const {
    CheckActive();
    return static_cast<int>(view_.size());
}

int TDataSet::RecNo() const {
    if (state_ == TDataSetState::dsInactive || state_ == TDataSetState::dsInsert || cur_ < 0) return -1;
    return cur_ + 1;
}

void TDataSet::SetRecNo(int recNo) {
    CheckActive();
    CheckBrowseMode();
    if (recNo < 1 || recNo > static_cast<int>(view_.size())) return;
    BeforeScroll(this);
    cur_ = recNo - 1;
    bof_ = eof_ = false;
    Scrolled();
}

// ---- Editing

void TDataSet::CheckBrowseMode() {
    CheckActive();
    if (IsEditing(state_)) {
        if (modified_) {
            Post();
        } else {
            Cancel();
        }
    }
}

void TDataSet::SetReadOnly(bool v) {
    if (Active()) CheckBrowseMode();
    readOnly_ = v;
}

void TDataSet::Edit() {
    CheckActive();
    if (IsEditing(state_)) return;
    if (view_.empty()) {
        Insert();
        return;
    }
    if (readOnly_) DatabaseError("Cannot modify a read-only dataset", this);
    BeforeEdit(this);
    buffer_ = view_[static_cast<size_t>(cur_)]->values;
    state_ = TDataSetState::dsEdit;
    modified_ = false;
    AfterEdit(this);
}

void TDataSet::BeginInsert(bool append) {
    CheckActive();
    CheckBrowseMode();
    if (readOnly_) DatabaseError("Cannot modify a read-only dataset", this);
    BeforeInsert(this);
    BeforeScroll(this);
    insertBefore_ = (append || cur_ < 0) ? nullptr : view_[static_cast<size_t>(cur_)];
    appending_ = append;
    buffer_.assign(fields_.size(), Variant::Null());
    state_ = TDataSetState::dsInsert;
    try {
        OnNewRecord(this);
    } catch (...) {
        state_ = TDataSetState::dsBrowse;
        buffer_.clear();
        insertBefore_ = nullptr;
        throw;
    }
    // Defaults set by OnNewRecord alone do not make the record worth keeping.
    modified_ = false;
    AfterInsert(this);
    Scrolled();
}

void TDataSet::Insert() { BeginInsert(false); }
void TDataSet::Append() { BeginInsert(true); }

void TDataSet::Post() {
    CheckActive();
    if (!IsEditing(state_)) DatabaseError("Dataset not in edit or insert mode", this);
    BeforePost(this);
    for (TField* f : fields_) {
        const Variant& v = buffer_[static_cast<size_t>(f->slot_)];
        if (f->required_ && (v.IsNull() || v.IsEmpty())) DatabaseError(Format("Field '%s' must have a value", {f->DisplayName()}));
    }
    const Record* self = state_ == TDataSetState::dsEdit ? view_[static_cast<size_t>(cur_)] : nullptr;
    CheckUnique(buffer_, self);
    const Record* keep;
    if (state_ == TDataSetState::dsEdit) {
        Record* r = view_[static_cast<size_t>(cur_)];
        r->values = std::move(buffer_);
        if (r->status == TUpdateStatus::usUnmodified) r->status = TUpdateStatus::usModified;
        r->changeSeq = ++changeSeq_;
        keep = r;
    } else {
        auto rec = std::make_unique<Record>();
        rec->values = std::move(buffer_);
        rec->status = TUpdateStatus::usInserted;
        rec->changeSeq = ++changeSeq_;
        keep = rec.get();
        auto at = data_.end();
        if (insertBefore_ && !appending_) {
            at = std::find_if(data_.begin(), data_.end(), [&](const auto& p) { return p.get() == insertBefore_; });
        }
        data_.insert(at, std::move(rec));
    }
    state_ = TDataSetState::dsBrowse;
    buffer_.clear();
    modified_ = false;
    insertBefore_ = nullptr;
    RebuildView(keep);
    AfterPost(this);
}

void TDataSet::Cancel() {
    if (!IsEditing(state_)) return;
    BeforeCancel(this);
    state_ = TDataSetState::dsBrowse;
    buffer_.clear();
    modified_ = false;
    insertBefore_ = nullptr;
    AfterCancel(this);
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (view_.empty()) DatabaseError("Cannot perform this operation on an empty dataset", this);
    if (readOnly_) DatabaseError("Cannot modify a read-only dataset", this);
    BeforeDelete(this);
    BeforeScroll(this);
    if (state_ == TDataSetState::dsEdit) {
        state_ = TDataSetState::dsBrowse;
        buffer_.clear();
        modified_ = false;
    }
    Record* r = view_[static_cast<size_t>(cur_)];
    if (r->status == TUpdateStatus::usInserted) {
        // Never seen by the provider: it simply goes.
        data_.erase(std::find_if(data_.begin(), data_.end(), [&](const auto& p) { return p.get() == r; }));
    } else {
        r->status = TUpdateStatus::usDeleted;
        r->changeSeq = ++changeSeq_;
    }
    RebuildView(nullptr);
    AfterDelete(this);
    Scrolled();
}

// ---- Order and filter

void TDataSet::RebuildView(const Record* keep) {
    const int old = cur_;
    view_.clear();
    for (const auto& rec : data_) {
        if (rec->status != TUpdateStatus::usDeleted && Accepts(*rec)) view_.push_back(rec.get());
    }
    if (!indexKeys_.empty()) {
        std::stable_sort(view_.begin(), view_.end(), [this](const Record* a, const Record* b) { return Compare(*a, *b) < 0; });
    }
    cur_ = -1;
    if (keep) {
        auto it = std::find(view_.begin(), view_.end(), keep);
        if (it != view_.end()) cur_ = static_cast<int>(it - view_.begin());
    }
    if (cur_ < 0 && !view_.empty()) cur_ = std::clamp(old, 0, static_cast<int>(view_.size()) - 1);
    bof_ = eof_ = view_.empty();
}

bool TDataSet::Accepts(const Record& r) {
    if (!filtered_) return true;
    if (filter_ && !filter_->Matches(r.values, filterOptions_)) return false;
    if (!OnFilterRecord) return true;
    bool accept = true;
    judging_ = &r;
    try {
        OnFilterRecord(this, accept);
    } catch (...) {
        judging_ = nullptr;
        throw;
    }
    judging_ = nullptr;
    return accept;
}

int TDataSet::Compare(const Record& a, const Record& b) const {
    for (const IndexKey& k : indexKeys_) {
        const size_t s = static_cast<size_t>(k.slot);
        int c = detail::CompareFieldValues(a.values[s], b.values[s], k.caseInsensitive);
        if (k.descending) c = -c;
        if (c != 0) return c;
    }
    return 0;
}

std::vector<int> TDataSet::FieldSlots(std::string_view names) const {
    std::vector<int> slots;
    for (const std::string& name : SplitNames(names)) slots.push_back(FieldByName(name)->slot_);
    return slots;
}

void TDataSet::ResolveIndex() {
    std::string fields;
    TIndexOptions options = 0;
    if (!indexName_.empty()) {
        const int i = indexDefs_->IndexOf(indexName_);
        if (i < 0) DatabaseError(Format("Index '%s' not found", {indexName_}), this);
        fields = indexDefs_->Items(i)->Fields();
        options = indexDefs_->Items(i)->Options();
    } else {
        fields = indexFieldNames_;
    }
    std::vector<IndexKey> keys;
    for (int slot : FieldSlots(fields)) {
        keys.push_back({slot, ((options >> ixDescending) & 1) != 0, ((options >> ixCaseInsensitive) & 1) != 0});
    }
    indexKeys_ = std::move(keys);
}

std::vector<TField*> TDataSet::IndexFields() const {
    std::vector<TField*> out;
    for (const IndexKey& k : indexKeys_) out.push_back(fields_[static_cast<size_t>(k.slot)]);
    return out;
}

void TDataSet::SetIndexName(const std::string& v) { ChangeIndex(v, v.empty() ? indexFieldNames_ : std::string()); }

void TDataSet::SetIndexFieldNames(const std::string& v) { ChangeIndex(v.empty() ? indexName_ : std::string(), v); }

// Sets the index (by name or by fields; the other is cleared when one is given) and, on an open
// dataset, orders the records by it, keeping the current record; a bad index leaves the old one.
void TDataSet::ChangeIndex(const std::string& name, const std::string& fields) {
    if (!Active()) {
        indexName_ = name;
        indexFieldNames_ = fields;
        return;
    }
    CheckBrowseMode();
    const std::string oldName = indexName_, oldFields = indexFieldNames_;
    indexName_ = name;
    indexFieldNames_ = fields;
    try {
        ResolveIndex();
    } catch (...) {
        indexName_ = oldName;
        indexFieldNames_ = oldFields;
        ResolveIndex();
        throw;
    }
    RebuildView(cur_ >= 0 ? view_[static_cast<size_t>(cur_)] : nullptr);
    bof_ = eof_ = view_.empty();
}

void TDataSet::ResolveFilter() {
    filter_.reset();
    if (!filtered_ || rtl::Trim(filterText_).empty()) return;
    try {
        filter_ = std::make_unique<detail::FilterExpression>(filterText_, [this](std::string_view name) {
            const TField* f = FindField(name);
            if (!f) DatabaseError(Format("Field '%s' not found", {std::string(name)}));
            return detail::FilterField{f->slot_, f->type_};
        });
    } catch (const EDatabaseError& e) {
        DatabaseError(e.Message(), this);
    }
}

void TDataSet::SetFilter(const std::string& v) {
    if (!Active() || !filtered_) {
        filterText_ = v;
        return;
    }
    CheckBrowseMode();
    const std::string old = filterText_;
    filterText_ = v;
    try {
        ResolveFilter();
    } catch (...) {
        filterText_ = old;
        ResolveFilter();
        throw;
    }
    RebuildView(nullptr);
    First();
}

void TDataSet::SetFiltered(bool v) {
    if (v == filtered_) return;
    if (!Active()) {
        filtered_ = v;
        return;
    }
    CheckBrowseMode();
    filtered_ = v;
    try {
        ResolveFilter();
    } catch (...) {
        filtered_ = !v;
        filter_.reset();
        throw;
    }
    RebuildView(nullptr);
    First();
}

void TDataSet::SetFilterOptions(TFilterOptions v) {
    filterOptions_ = v;
    if (Active() && filtered_) {
        CheckBrowseMode();
        RebuildView(nullptr);
        First();
    }
}

void TDataSet::CheckUnique(const std::vector<Variant>& values, const Record* self) const {
    for (int i = 0; i < indexDefs_->Count(); ++i) {
        const TIndexDef* def = indexDefs_->Items(i);
        const TIndexOptions o = def->Options();
        if (!((o >> ixUnique) & 1) && !((o >> ixPrimary) & 1)) continue;
        const std::vector<int> slots = FieldSlots(def->Fields());
        const bool ci = (o >> ixCaseInsensitive) & 1;
        for (const auto& rec : data_) {
            if (rec.get() == self || rec->status == TUpdateStatus::usDeleted) continue;
            const bool same = std::all_of(slots.begin(), slots.end(), [&](int s) {
                return detail::CompareFieldValues(rec->values[static_cast<size_t>(s)], values[static_cast<size_t>(s)], ci) == 0;
            });
            if (same) DatabaseError("Key violation.");
        }
    }
}

// ---- Searching

const TDataSet::Record* TDataSet::FindMatch(const std::vector<int>& slots, const Variant& keys, TLocateOptions options) const {
    std::vector<Variant> wanted;
    if (keys.IsArray()) {
        const rtl::VarArray& a = keys.Arr();
        if (a.DimCount() == 1) wanted = a.Items();
    } else if (slots.size() == 1) {
        wanted.push_back(keys);
    }
    if (slots.empty() || wanted.size() != slots.size()) DatabaseError("The key values do not match the key fields", this);
    const bool ci = (options >> loCaseInsensitive) & 1;
    const bool partial = (options >> loPartialKey) & 1;
    // Keys take the type of their field once, not per record.
    std::vector<bool> text(slots.size());
    for (size_t i = 0; i < slots.size(); ++i) {
        const TField* f = fields_[static_cast<size_t>(slots[i])];
        text[i] = KindOf(f->type_) == ValueKind::Text;
        wanted[i] = text[i] ? (wanted[i].IsNull() || wanted[i].IsEmpty() ? Variant::Null() : Variant(wanted[i].AsString()))
                            : CoerceFieldValue(f->type_, wanted[i], f->name_);
        if (ci && text[i] && !wanted[i].IsNull()) wanted[i] = Variant(rtl::AnsiUpperCase(wanted[i].AsString()));
    }
    for (const Record* rec : view_) {
        bool all = true;
        for (size_t i = 0; i < slots.size() && all; ++i) {
            const Variant& have = rec->values[static_cast<size_t>(slots[i])];
            const Variant& want = wanted[i];
            if (want.IsNull() || have.IsNull()) {
                all = want.IsNull() && have.IsNull();
            } else if (text[i]) {
                const std::string h = ci ? rtl::AnsiUpperCase(have.AsString()) : have.AsString();
                const std::string& w = want.Bytes();
                all = partial ? h.compare(0, w.size(), w) == 0 : h == w;
            } else {
                all = detail::CompareFieldValues(have, want, false) == 0;
            }
        }
        if (all) return rec;
    }
    return nullptr;
}

bool TDataSet::Locate(std::string_view keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckActive();
    CheckBrowseMode();
    const Record* found = FindMatch(FieldSlots(keyFields), keyValues, options);
    BeforeScroll(this);
    if (!found) return false;
    cur_ = static_cast<int>(std::find(view_.begin(), view_.end(), found) - view_.begin());
    bof_ = eof_ = false;
    Scrolled();
    return true;
}

Variant TDataSet::Lookup(std::string_view keyFields, const Variant& keyValues, std::string_view resultFields) {
    CheckActive();
    CheckBrowseMode();
    const std::vector<int> results = FieldSlots(resultFields);
    const Record* found = FindMatch(FieldSlots(keyFields), keyValues, 0);
    if (!found) return Variant::Null();
    auto value = [&](int slot) {
        const Variant& v = found->values[static_cast<size_t>(slot)];
        return v.IsEmpty() ? Variant::Null() : v;
    };
    if (results.size() == 1) return value(results[0]);
    std::vector<Variant> out;
    for (int s : results) out.push_back(value(s));
    return rtl::VarArrayOf(std::move(out));
}

bool TDataSet::FindKey(const std::vector<Variant>& keyValues) {
    CheckActive();
    CheckBrowseMode();
    if (indexKeys_.empty()) DatabaseError("No index currently active", this);
    if (keyValues.empty() || keyValues.size() > indexKeys_.size()) DatabaseError("The key values do not match the key fields", this);
    std::vector<Variant> wanted;
    for (size_t i = 0; i < keyValues.size(); ++i) {
        const TField* f = fields_[static_cast<size_t>(indexKeys_[i].slot)];
        wanted.push_back(CoerceFieldValue(f->type_, keyValues[i], f->name_));
    }
    BeforeScroll(this);
    for (size_t r = 0; r < view_.size(); ++r) {
        bool all = true;
        for (size_t i = 0; i < wanted.size() && all; ++i) {
            const IndexKey& k = indexKeys_[i];
            all = detail::CompareFieldValues(view_[r]->values[static_cast<size_t>(k.slot)], wanted[i], k.caseInsensitive) == 0;
        }
        if (all) {
            cur_ = static_cast<int>(r);
            bof_ = eof_ = false;
            Scrolled();
            return true;
        }
    }
    return false;
}

// ---- Change log

std::vector<TDataSet::Change> TDataSet::Changes() const {
    std::vector<Change> out;
    for (const auto& rec : data_) {
        switch (rec->status) {
            case TUpdateStatus::usModified: out.push_back({rec.get(), TUpdateKind::ukModify, &rec->original, &rec->values}); break;
            case TUpdateStatus::usInserted: out.push_back({rec.get(), TUpdateKind::ukInsert, nullptr, &rec->values}); break;
            case TUpdateStatus::usDeleted: out.push_back({rec.get(), TUpdateKind::ukDelete, &rec->original, nullptr}); break;
            case TUpdateStatus::usUnmodified: break;
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const Change& a, const Change& b) { return a.record->changeSeq < b.record->changeSeq; });
    return out;
}

int TDataSet::ChangeCount() const {
    return static_cast<int>(std::count_if(data_.begin(), data_.end(), [](const auto& r) { return r->status != TUpdateStatus::usUnmodified; }));
}

void TDataSet::MergeChanges(const std::vector<const Record*>* records) {
    auto selected = [&](const Record* r) {
        return !records || std::find(records->begin(), records->end(), r) != records->end();
    };
    const Record* keep = cur_ >= 0 && static_cast<size_t>(cur_) < view_.size() ? view_[static_cast<size_t>(cur_)] : nullptr;
    std::erase_if(data_, [&](const auto& r) { return r->status == TUpdateStatus::usDeleted && selected(r.get()); });
    for (auto& r : data_) {
        if (r->status != TUpdateStatus::usUnmodified && r->status != TUpdateStatus::usDeleted && selected(r.get())) {
            r->original = r->values;
            r->status = TUpdateStatus::usUnmodified;
        }
    }
    RebuildView(keep);
}

void TDataSet::CancelChanges() {
    const Record* keep = cur_ >= 0 && static_cast<size_t>(cur_) < view_.size() ? view_[static_cast<size_t>(cur_)] : nullptr;
    if (keep && keep->status == TUpdateStatus::usInserted) keep = nullptr;
    std::erase_if(data_, [](const auto& r) { return r->status == TUpdateStatus::usInserted; });
    for (auto& r : data_) {
        if (r->status != TUpdateStatus::usUnmodified) {
            r->values = r->original;
            r->status = TUpdateStatus::usUnmodified;
        }
    }
    RebuildView(keep);
}

TUpdateStatus TDataSet::CurrentUpdateStatus() const {
    if (state_ == TDataSetState::dsInsert) return TUpdateStatus::usInserted;
    if (!Active() || cur_ < 0) return TUpdateStatus::usUnmodified;
    return view_[static_cast<size_t>(cur_)]->status;
}

// ---- Data source -------------------------------------------------------------------------------

TDataSource::TDataSource(ui::TComponent* owner) : ui::TComponent(owner) {}

const ui::ClassInfo& TDataSource::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TDataSource>("TDataSource", &ui::TComponent::StaticClassInfo())
                                          .Bool("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit, true)
                                          .Object<TDataSet>("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet)
                                          .Bool("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled, true)
                                          .Build();
    return info;
}

void TDataSource::SetDataSet(TDataSet* v) {
    if (dataSet_) dataSet_->RemoveFreeNotification(this);
    dataSet_ = v;
    if (v) v->FreeNotification(this);
}

TDataSetState TDataSource::State() const {
    return dataSet_ && enabled_ ? dataSet_->State() : TDataSetState::dsInactive;
}

void TDataSource::Destroy() {
    SetDataSet(nullptr);
    ui::TComponent::Destroy();
}

void TDataSource::Notification(ui::TComponent* component, ui::TOperation operation) {
    ui::TComponent::Notification(component, operation);
    if (operation == ui::TOperation::opRemove && component == dataSet_) dataSet_ = nullptr;
}

// ---- Connections -------------------------------------------------------------------------------

const ui::ClassInfo& TCustomConnection::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TCustomConnection>("TCustomConnection", &ui::TComponent::StaticClassInfo())
                                          .Bool("Connected", &TCustomConnection::Connected, &TCustomConnection::SetConnected, false)
                                          .Event("AfterConnect", &TCustomConnection::AfterConnect)
                                          .Event("AfterDisconnect", &TCustomConnection::AfterDisconnect)
                                          .Event("BeforeConnect", &TCustomConnection::BeforeConnect)
                                          .Event("BeforeDisconnect", &TCustomConnection::BeforeDisconnect)
                                          .Build();
    return info;
}

void TCustomConnection::SetConnected(bool v) {
    if (IsLoading()) {
        streamedConnected_ = v;
        return;
    }
    if (v == GetConnected()) return;
    if (v) {
        BeforeConnect(this);
        DoConnect();
        AfterConnect(this);
    } else {
        BeforeDisconnect(this);
        DoDisconnect();
        AfterDisconnect(this);
    }
}

void TCustomConnection::Loaded() {
    ui::TComponent::Loaded();
    if (streamedConnected_) {
        streamedConnected_ = false;
        SetConnected(true);
    }
}

}  // namespace data
