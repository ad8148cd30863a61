#include "TypInfo.h"

#include <atomic>

namespace ui {

int EnumInfo::ValueOf(std::string_view name) const {
    for (size_t i = 0; i < Names.size(); ++i) {
        if (rtl::SameText(Names[i], name)) return static_cast<int>(i);
    }
    return -1;
}

std::string EnumInfo::NameOf(int value) const {
    return value >= 0 && static_cast<size_t>(value) < Names.size() ? Names[static_cast<size_t>(value)] : std::string();
}

const EnumInfo& BooleanEnum() {
    static const EnumInfo info{"Boolean", {"False", "True"}};
    return info;
}

std::optional<int64_t> IdentMap::ValueOf(std::string_view name) const {
    for (const auto& [n, v] : Entries) {
        if (rtl::SameText(n, name)) return v;
    }
    return std::nullopt;
}

std::optional<std::string> IdentMap::NameOf(int64_t value) const {
    // Compared on 32 bits: a colour such as clWindow ($80000005) reads back sign-extended.
    for (const auto& [n, v] : Entries) {
        if (static_cast<uint32_t>(v) == static_cast<uint32_t>(value)) return n;
    }
    return std::nullopt;
}

bool MethodCode::IsNull() const {
    for (unsigned char b : Bytes) {
        if (b) return false;
    }
    return true;
}

MethodCode MethodCode::Unique() {
    static std::atomic<uint64_t> counter{0};
    MethodCode c;
    const uint64_t n = ++counter;
    c.Bytes[15] = 0xFF;  // never the layout of a member pointer's adjustment word
    std::memcpy(c.Bytes.data() + 8, &n, 7);
    return c;
}

const PropInfo* ClassInfo::FindProp(std::string_view name) const {
    for (const ClassInfo* c = this; c; c = c->Parent) {
        for (const PropInfo& p : c->Props) {
            if (rtl::SameText(p.Name, name)) return &p;
        }
    }
    return nullptr;
}

const PublishedMethod* ClassInfo::FindMethod(std::string_view name) const {
    for (const ClassInfo* c = this; c; c = c->Parent) {
        for (const PublishedMethod& m : c->Methods) {
            if (rtl::SameText(m.Name, name)) return &m;
        }
    }
    return nullptr;
}

bool ClassInfo::InheritsFrom(std::string_view className) const {
    for (const ClassInfo* c = this; c; c = c->Parent) {
        if (rtl::SameText(c->Name, className)) return true;
    }
    return false;
}

bool ClassInfo::InheritsFrom(const ClassInfo& other) const {
    for (const ClassInfo* c = this; c; c = c->Parent) {
        if (c == &other) return true;
    }
    return false;
}

std::vector<const PropInfo*> ClassInfo::AllProps() const {
    std::vector<const ClassInfo*> chain;
    for (const ClassInfo* c = this; c; c = c->Parent) chain.insert(chain.begin(), c);
    std::vector<const PropInfo*> props;
    for (const ClassInfo* c : chain) {
        for (const PropInfo& p : c->Props) {
            bool replaced = false;
            for (const PropInfo*& q : props) {
                if (rtl::SameText(q->Name, p.Name)) {
                    q = &p;  // a redeclaration keeps the first place
                    replaced = true;
                }
            }
            if (!replaced) props.push_back(&p);
        }
    }
    return props;
}

const ClassInfo& TObject::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TObject>("TObject", nullptr).Build();
    return info;
}

TMethod TObject::MethodAddress(std::string_view name) {
    const PublishedMethod* m = GetClassInfo().FindMethod(name);
    return m ? m->Bind(*this) : TMethod();
}

// ---- Reflection by name ---------------------------------------------------------------------

namespace {

const PropInfo& Need(const TObject* obj, std::string_view name) {
    if (!obj) throw EPropertyError("Property " + std::string(name) + " does not exist");
    const PropInfo* p = obj->GetClassInfo().FindProp(name);
    if (!p) throw EPropertyError("Property " + std::string(name) + " does not exist");
    return *p;
}

[[noreturn]] void WrongKind(const PropInfo& p) { throw EPropertyError("Invalid property type: " + p.Name); }
[[noreturn]] void ReadOnly(const PropInfo& p) { throw EPropertyError("Property " + p.Name + " is read-only"); }

std::string SetToText(const PropInfo& p, int64_t mask) {
    std::string r = "[";
    bool first = true;
    for (size_t i = 0; i < p.Enum->Names.size() && i < 64; ++i) {
        if (mask & (int64_t{1} << i)) {
            if (!first) r += ",";
            r += p.Enum->Names[i];
            first = false;
        }
    }
    return r + "]";
}

int64_t TextToSet(const PropInfo& p, std::string_view text) {
    std::string t = rtl::Trim(text);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') {
        throw EPropertyConvertError("Invalid property value: " + std::string(text));
    }
    int64_t mask = 0;
    std::string inner = t.substr(1, t.size() - 2);
    size_t start = 0;
    while (start <= inner.size()) {
        size_t comma = inner.find(',', start);
        const std::string item = rtl::Trim(inner.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!item.empty()) {
            const int v = p.Enum->ValueOf(item);
            if (v < 0) throw EPropertyConvertError("Invalid property value: " + std::string(text));
            mask |= int64_t{1} << v;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return mask;
}

}  // namespace

const PropInfo* GetPropInfo(const TObject* obj, std::string_view name) {
    return obj ? obj->GetClassInfo().FindProp(name) : nullptr;
}

bool IsPublishedProp(const TObject* obj, std::string_view name) { return GetPropInfo(obj, name) != nullptr; }

int64_t GetOrdProp(const TObject* obj, std::string_view name) {
    const PropInfo& p = Need(obj, name);
    if (!p.GetOrd) WrongKind(p);
    return p.GetOrd(*obj);
}

void SetOrdProp(TObject* obj, std::string_view name, int64_t value) {
    const PropInfo& p = Need(obj, name);
    if (!p.IsOrdinal()) WrongKind(p);
    if (!p.SetOrd) ReadOnly(p);
    p.SetOrd(*obj, value);
}

std::string GetStrProp(const TObject* obj, std::string_view name) {
    const PropInfo& p = Need(obj, name);
    if (!p.GetStr) WrongKind(p);
    return p.GetStr(*obj);
}

void SetStrProp(TObject* obj, std::string_view name, const std::string& value) {
    const PropInfo& p = Need(obj, name);
    if (p.Kind != TypeKind::String) WrongKind(p);
    if (!p.SetStr) ReadOnly(p);
    p.SetStr(*obj, value);
}

double GetFloatProp(const TObject* obj, std::string_view name) {
    const PropInfo& p = Need(obj, name);
    if (!p.GetFloat) WrongKind(p);
    return p.GetFloat(*obj);
}

void SetFloatProp(TObject* obj, std::string_view name, double value) {
    const PropInfo& p = Need(obj, name);
    if (p.Kind != TypeKind::Float) WrongKind(p);
    if (!p.SetFloat) ReadOnly(p);
    p.SetFloat(*obj, value);
}

TObject* GetObjectProp(const TObject* obj, std::string_view name) {
    const PropInfo& p = Need(obj, name);
    if (!p.GetObject) WrongKind(p);
    return p.GetObject(*obj);
}

void SetObjectProp(TObject* obj, std::string_view name, TObject* value) {
    const PropInfo& p = Need(obj, name);
    if (p.Kind != TypeKind::Class) WrongKind(p);
    if (!p.SetObject) ReadOnly(p);
    p.SetObject(*obj, value);
}

TMethod GetMethodProp(const TObject* obj, std::string_view name) {
    const PropInfo& p = Need(obj, name);
    if (!p.GetMethod) WrongKind(p);
    return p.GetMethod(*obj);
}

void SetMethodProp(TObject* obj, std::string_view name, const TMethod& value) {
    const PropInfo& p = Need(obj, name);
    if (!p.SetMethod) WrongKind(p);
    p.SetMethod(*obj, value);
}

std::string GetEnumProp(const TObject* obj, std::string_view name) {
    const PropInfo& p = Need(obj, name);
    if (p.Kind != TypeKind::Enumeration) WrongKind(p);
    return p.Enum->NameOf(static_cast<int>(p.GetOrd(*obj)));
}

void SetEnumProp(TObject* obj, std::string_view name, std::string_view valueName) {
    const PropInfo& p = Need(obj, name);
    if (p.Kind != TypeKind::Enumeration) WrongKind(p);
    const int v = p.Enum->ValueOf(valueName);
    if (v < 0) throw EPropertyConvertError("Invalid property value: " + std::string(valueName));
    if (!p.SetOrd) ReadOnly(p);
    p.SetOrd(*obj, v);
}

std::string GetPropText(const TObject* obj, std::string_view name) {
    const PropInfo& p = Need(obj, name);
    switch (p.Kind) {
        case TypeKind::Integer: {
            const int64_t v = p.GetOrd(*obj);
            if (p.Idents) {
                if (auto n = p.Idents->NameOf(v)) return *n;
            }
            return std::to_string(v);
        }
        case TypeKind::Char: return std::string(1, static_cast<char>(p.GetOrd(*obj)));
        case TypeKind::Enumeration: return p.Enum->NameOf(static_cast<int>(p.GetOrd(*obj)));
        case TypeKind::Set: return SetToText(p, p.GetOrd(*obj));
        case TypeKind::Float: return rtl::FloatToStr(p.GetFloat(*obj));
        case TypeKind::String: return p.GetStr(*obj);
        case TypeKind::Class: {
            const TObject* o = p.GetObject(*obj);
            if (!o) return {};
            const PropInfo* nameProp = o->GetClassInfo().FindProp("Name");
            return nameProp && nameProp->GetStr ? nameProp->GetStr(*o) : o->ClassName();
        }
        case TypeKind::Method: {
            const TMethod m = p.GetMethod(*obj);
            if (!m.Assigned()) return {};
            // The name of the published method of the bound object, when it is one.
            const auto* target = static_cast<const TObject*>(m.Data);
            if (!target) return {};
            for (const ClassInfo* c = &target->GetClassInfo(); c; c = c->Parent) {
                for (const PublishedMethod& pm : c->Methods) {
                    if (pm.Bind(const_cast<TObject&>(*target)) == m) return pm.Name;
                }
            }
            return {};
        }
    }
    return {};
}

void SetPropText(TObject* obj, std::string_view name, std::string_view text) {
    const PropInfo& p = Need(obj, name);
    auto invalid = [&]() -> EPropertyConvertError {
        return EPropertyConvertError("Invalid property value: '" + std::string(text) + "' for " + p.Name);
    };
    switch (p.Kind) {
        case TypeKind::Integer: {
            if (!p.SetOrd) ReadOnly(p);
            int64_t v;
            if (rtl::TryStrToInt64(rtl::Trim(text), v)) {
                p.SetOrd(*obj, v);
                return;
            }
            const IdentMap* idents = p.Idents;
            if (idents) {
                if (auto iv = idents->ValueOf(rtl::Trim(text))) {
                    p.SetOrd(*obj, *iv);
                    return;
                }
            }
            throw invalid();
        }
        case TypeKind::Char:
            if (!p.SetOrd) ReadOnly(p);
            if (text.size() != 1) throw invalid();
            p.SetOrd(*obj, static_cast<unsigned char>(text[0]));
            return;
        case TypeKind::Enumeration: {
            if (!p.SetOrd) ReadOnly(p);
            int v = p.Enum->ValueOf(rtl::Trim(text));
            if (v < 0) {
                int n;
                if (!rtl::TryStrToInt(rtl::Trim(text), n) || n < 0 || static_cast<size_t>(n) >= p.Enum->Names.size()) {
                    throw invalid();
                }
                v = n;
            }
            p.SetOrd(*obj, v);
            return;
        }
        case TypeKind::Set:
            if (!p.SetOrd) ReadOnly(p);
            p.SetOrd(*obj, TextToSet(p, text));
            return;
        case TypeKind::Float: {
            if (!p.SetFloat) ReadOnly(p);
            double v;
            if (!rtl::TryStrToFloat(text, v)) throw invalid();
            p.SetFloat(*obj, v);
            return;
        }
        case TypeKind::String:
            if (!p.SetStr) ReadOnly(p);
            p.SetStr(*obj, std::string(text));
            return;
        case TypeKind::Class:
        case TypeKind::Method: throw EPropertyError("Property " + p.Name + " cannot be set from text");
    }
}

const IdentMap& ColorIdents() {
    static const IdentMap map{{
        {"clBlack", 0x000000},      {"clMaroon", 0x000080},   {"clGreen", 0x008000},
        {"clOlive", 0x008080},      {"clNavy", 0x800000},     {"clPurple", 0x800080},
        {"clTeal", 0x808000},       {"clGray", 0x808080},     {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF},        {"clLime", 0x00FF00},     {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},       {"clFuchsia", 0xFF00FF},  {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},      {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
        {"clCream", 0xF0FBFF},      {"clMedGray", 0xA4A0A0},  {"clNone", 0x1FFFFFFF},
        {"clDefault", 0x20000000},  {"clScrollBar", int64_t(0x80000000)}, {"clBackground", int64_t(0x80000001)},
        {"clActiveCaption", int64_t(0x80000002)}, {"clInactiveCaption", int64_t(0x80000003)},
        {"clMenu", int64_t(0x80000004)}, {"clWindow", int64_t(0x80000005)}, {"clWindowFrame", int64_t(0x80000006)},
        {"clMenuText", int64_t(0x80000007)}, {"clWindowText", int64_t(0x80000008)},
        {"clCaptionText", int64_t(0x80000009)}, {"clActiveBorder", int64_t(0x8000000A)},
        {"clInactiveBorder", int64_t(0x8000000B)}, {"clAppWorkSpace", int64_t(0x8000000C)},
        {"clHighlight", int64_t(0x8000000D)}, {"clHighlightText", int64_t(0x8000000E)},
        {"clBtnFace", int64_t(0x8000000F)}, {"clBtnShadow", int64_t(0x80000010)},
        {"clGrayText", int64_t(0x80000011)}, {"clBtnText", int64_t(0x80000012)},
        {"clInactiveCaptionText", int64_t(0x80000013)}, {"clBtnHighlight", int64_t(0x80000014)},
        {"cl3DDkShadow", int64_t(0x80000015)}, {"cl3DLight", int64_t(0x80000016)},
        {"clInfoText", int64_t(0x80000017)}, {"clInfoBk", int64_t(0x80000018)},
    }};
    return map;
}

const IdentMap& CursorIdents() {
    static const IdentMap map{{
        {"crDefault", 0},    {"crNone", -1},      {"crArrow", -2},      {"crCross", -3},    {"crIBeam", -4},
        {"crSize", -22},     {"crSizeNESW", -6},  {"crSizeNS", -7},     {"crSizeNWSE", -8}, {"crSizeWE", -9},
        {"crUpArrow", -10},  {"crHourGlass", -11}, {"crDrag", -12},     {"crNoDrop", -13},  {"crHSplit", -14},
        {"crVSplit", -15},   {"crMultiDrag", -16}, {"crSQLWait", -17},  {"crNo", -18},      {"crAppStart", -19},
        {"crHelp", -20},     {"crHandPoint", -21}, {"crSizeAll", -22},
    }};
    return map;
}

}  // namespace ui
