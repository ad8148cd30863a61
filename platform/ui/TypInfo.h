// Published properties and events: one static table per class, chained to the parent class's
// table, read by name at run time. The system's stored data (language files, condition sets,
// host updates) addresses components by class and property name, so this is part of the data
// format, not a convenience.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"

namespace ui {

class TObject;
struct ClassInfo;

class EPropertyError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EPropertyError"; }
};

class EPropertyConvertError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EPropertyConvertError"; }
};

enum class TypeKind { Integer, Char, Enumeration, Set, Float, String, Class, Method };

// The value names of an enumeration type (Boolean is the enumeration False, True).
struct EnumInfo {
    std::string TypeName;
    std::vector<std::string> Names;
    int ValueOf(std::string_view name) const;  // -1 when unknown; compared without regard to case
    std::string NameOf(int value) const;       // empty when out of range
};

const EnumInfo& BooleanEnum();

// Identifier tables for integer properties that the system writes as names (clRed, crHandPoint).
struct IdentMap {
    std::vector<std::pair<std::string, int64_t>> Entries;
    std::optional<int64_t> ValueOf(std::string_view name) const;
    std::optional<std::string> NameOf(int64_t value) const;
};

// The identity of an event handler's method: the raw representation of a member pointer (or a
// unique number for a handler that is no member function).
struct MethodCode {
    std::array<unsigned char, 16> Bytes{};
    bool operator==(const MethodCode&) const = default;
    bool IsNull() const;
    template <typename M>
    static MethodCode Of(M member) {
        static_assert(sizeof(M) <= 16);
        MethodCode c;
        std::memcpy(c.Bytes.data(), &member, sizeof(M));
        return c;
    }
    static MethodCode Unique();
};

// An event handler as the platform stores it: code and the object it is bound to, plus the
// callable itself. Two handlers are the same handler when their code and object are.
struct TMethod {
    MethodCode Code;
    const void* Data = nullptr;
    std::shared_ptr<const void> Fn;           // a std::function of the event's signature
    const std::type_info* Signature = nullptr;

    bool Assigned() const noexcept { return Fn != nullptr; }
    friend bool operator==(const TMethod& a, const TMethod& b) {
        return a.Assigned() == b.Assigned() && a.Code == b.Code && a.Data == b.Data;
    }
};

// An event property of signature void(Args...). Unassigned is a state of its own.
template <typename... Args>
class TEvent {
public:
    using Function = std::function<void(Args...)>;

    TEvent() = default;
    // Binds a method of an object.
    template <typename O, typename C, typename R>
    TEvent(O* object, R (C::*method)(Args...)) {
        static_assert(std::is_base_of_v<C, O>, "the handler must be a method of the object");
        m_.Code = MethodCode::Of(method);
        m_.Data = object;
        C* target = object;
        Set(std::make_shared<const Function>([target, method](Args... a) { (target->*method)(std::forward<Args>(a)...); }));
    }
    // A handler that is no member function; it compares equal only to its own copies.
    static TEvent Lambda(Function f, const void* data = nullptr) {
        TEvent e;
        e.m_.Code = MethodCode::Unique();
        e.m_.Data = data;
        e.Set(std::make_shared<const Function>(std::move(f)));
        return e;
    }
    // From a stored handler; raises EPropertyError when its signature is not this event's.
    static TEvent FromMethod(const TMethod& m) {
        TEvent e;
        if (!m.Assigned()) return e;
        if (!m.Signature || *m.Signature != typeid(void(Args...))) {
            throw EPropertyError("Event handler does not match the event's parameters");
        }
        e.m_ = m;
        e.fn_ = static_cast<const Function*>(m.Fn.get());
        return e;
    }

    bool Assigned() const noexcept { return fn_ != nullptr; }
    explicit operator bool() const noexcept { return Assigned(); }
    const TMethod& Method() const noexcept { return m_; }
    void Clear() noexcept { *this = TEvent(); }

    void operator()(Args... args) const {
        if (!fn_) return;
        // A handler may replace or clear its own event while it runs: keep it alive meanwhile.
        const std::shared_ptr<const void> keep = m_.Fn;
        (*static_cast<const Function*>(keep.get()))(std::forward<Args>(args)...);
    }

    friend bool operator==(const TEvent& a, const TEvent& b) { return a.m_ == b.m_; }

private:
    void Set(std::shared_ptr<const Function> f) {
        fn_ = f.get();
        m_.Fn = std::move(f);
        m_.Signature = &typeid(void(Args...));
    }
    TMethod m_;
    const Function* fn_ = nullptr;
};

using TNotifyEvent = TEvent<TObject*>;

// One published property. Only the accessors of its kind are set.
struct PropInfo {
    std::string Name;
    TypeKind Kind = TypeKind::Integer;
    const EnumInfo* Enum = nullptr;        // Enumeration; Set: the element type
    const IdentMap* Idents = nullptr;      // Integer properties written as identifiers
    const ClassInfo* PropClass = nullptr;  // Class
    const std::type_info* EventSignature = nullptr;  // Method
    std::optional<int64_t> Default;

    std::function<int64_t(const TObject&)> GetOrd;
    std::function<void(TObject&, int64_t)> SetOrd;
    std::function<std::string(const TObject&)> GetStr;
    std::function<void(TObject&, const std::string&)> SetStr;
    std::function<double(const TObject&)> GetFloat;
    std::function<void(TObject&, double)> SetFloat;
    std::function<TObject*(const TObject&)> GetObject;
    std::function<void(TObject&, TObject*)> SetObject;
    std::function<TMethod(const TObject&)> GetMethod;
    std::function<void(TObject&, const TMethod&)> SetMethod;

    bool IsOrdinal() const {
        return Kind == TypeKind::Integer || Kind == TypeKind::Char || Kind == TypeKind::Enumeration ||
               Kind == TypeKind::Set;
    }
    bool Writable() const { return SetOrd || SetStr || SetFloat || SetObject || SetMethod; }
};

// A published method: binds the method to an object as an event handler.
struct PublishedMethod {
    std::string Name;
    std::function<TMethod(TObject&)> Bind;
};

struct ClassInfo {
    std::string Name;
    const ClassInfo* Parent = nullptr;
    std::vector<PropInfo> Props;
    std::vector<PublishedMethod> Methods;

    // Own properties first, then the parent's; names compare without regard to case.
    const PropInfo* FindProp(std::string_view name) const;
    const PublishedMethod* FindMethod(std::string_view name) const;
    bool InheritsFrom(std::string_view className) const;
    bool InheritsFrom(const ClassInfo& other) const;
    // Every property in declaration order, parents' first, each name once.
    std::vector<const PropInfo*> AllProps() const;
};

// Builds one class's table. Getters and setters are member functions; each registration is a
// line of the class's own StaticClassInfo().
template <typename T>
class ClassBuilder {
public:
    ClassBuilder(std::string name, const ClassInfo* parent) {
        info_.Name = std::move(name);
        info_.Parent = parent;
    }

    template <typename G, typename S>
    ClassBuilder& Int(std::string name, G get, S set, std::optional<int64_t> def = std::nullopt,
                      const IdentMap* idents = nullptr) {
        PropInfo p = Base(std::move(name), TypeKind::Integer);
        p.Default = def;
        p.Idents = idents;
        p.GetOrd = [get](const TObject& o) { return static_cast<int64_t>((Self(o).*get)()); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetOrd = [set](TObject& o, int64_t v) { (Self(o).*set)(static_cast<ArgOf<S>>(v)); };
        }
        return Add(std::move(p));
    }

    template <typename G, typename S>
    ClassBuilder& Char(std::string name, G get, S set, std::optional<char> def = std::nullopt) {
        PropInfo p = Base(std::move(name), TypeKind::Char);
        if (def) p.Default = static_cast<unsigned char>(*def);
        p.GetOrd = [get](const TObject& o) { return static_cast<int64_t>(static_cast<unsigned char>((Self(o).*get)())); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetOrd = [set](TObject& o, int64_t v) { (Self(o).*set)(static_cast<char>(v)); };
        }
        return Add(std::move(p));
    }

    template <typename G, typename S>
    ClassBuilder& Bool(std::string name, G get, S set, std::optional<bool> def = std::nullopt) {
        PropInfo p = Base(std::move(name), TypeKind::Enumeration);
        p.Enum = &BooleanEnum();
        if (def) p.Default = *def ? 1 : 0;
        p.GetOrd = [get](const TObject& o) { return (Self(o).*get)() ? int64_t{1} : int64_t{0}; };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetOrd = [set](TObject& o, int64_t v) { (Self(o).*set)(v != 0); };
        }
        return Add(std::move(p));
    }

    template <typename G, typename S>
    ClassBuilder& Enum(std::string name, const EnumInfo& info, G get, S set, std::optional<int64_t> def = std::nullopt) {
        PropInfo p = Base(std::move(name), TypeKind::Enumeration);
        p.Enum = &info;
        p.Default = def;
        p.GetOrd = [get](const TObject& o) { return static_cast<int64_t>((Self(o).*get)()); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetOrd = [set](TObject& o, int64_t v) { (Self(o).*set)(static_cast<ArgOf<S>>(v)); };
        }
        return Add(std::move(p));
    }

    // A set of enumeration values, stored as a bit mask (bit n is value n).
    template <typename G, typename S>
    ClassBuilder& Set(std::string name, const EnumInfo& element, G get, S set) {
        PropInfo p = Base(std::move(name), TypeKind::Set);
        p.Enum = &element;
        p.GetOrd = [get](const TObject& o) { return static_cast<int64_t>((Self(o).*get)()); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetOrd = [set](TObject& o, int64_t v) { (Self(o).*set)(static_cast<ArgOf<S>>(v)); };
        }
        return Add(std::move(p));
    }

    template <typename G, typename S>
    ClassBuilder& Str(std::string name, G get, S set) {
        PropInfo p = Base(std::move(name), TypeKind::String);
        p.GetStr = [get](const TObject& o) { return std::string((Self(o).*get)()); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetStr = [set](TObject& o, const std::string& v) { (Self(o).*set)(v); };
        }
        return Add(std::move(p));
    }

    template <typename G, typename S>
    ClassBuilder& Float(std::string name, G get, S set) {
        PropInfo p = Base(std::move(name), TypeKind::Float);
        p.GetFloat = [get](const TObject& o) { return static_cast<double>((Self(o).*get)()); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetFloat = [set](TObject& o, double v) { (Self(o).*set)(static_cast<ArgOf<S>>(v)); };
        }
        return Add(std::move(p));
    }

    // An object property; the setter receives an object of the property's class or nullptr
    // (anything else raises EPropertyError).
    template <typename P, typename G, typename S>
    ClassBuilder& Object(std::string name, G get, S set) {
        PropInfo p = Base(std::move(name), TypeKind::Class);
        p.PropClass = &P::StaticClassInfo();
        p.GetObject = [get](const TObject& o) -> TObject* { return (Self(o).*get)(); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetObject = [set, cls = p.PropClass](TObject& o, TObject* v) {
                P* typed = v ? dynamic_cast<P*>(v) : nullptr;
                if (v && !typed) throw EPropertyError("Invalid property value: an object of class " + cls->Name + " is needed");
                (Self(o).*set)(typed);
            };
        }
        return Add(std::move(p));
    }

    // An event property held in a data member of type TEvent<...>.
    template <typename... Args>
    ClassBuilder& Event(std::string name, TEvent<Args...> T::*member) {
        PropInfo p = Base(std::move(name), TypeKind::Method);
        p.EventSignature = &typeid(void(Args...));
        p.GetMethod = [member](const TObject& o) { return (Self(o).*member).Method(); };
        p.SetMethod = [member](TObject& o, const TMethod& m) { Self(o).*member = TEvent<Args...>::FromMethod(m); };
        return Add(std::move(p));
    }

    // A method that can be bound by name as an event handler.
    template <typename... Args>
    ClassBuilder& Method(std::string name, void (T::*method)(Args...)) {
        info_.Methods.push_back(PublishedMethod{std::move(name), [method](TObject& o) {
                                                    return TEvent<Args...>(&Self(o), method).Method();
                                                }});
        return *this;
    }

    ClassInfo Build() { return std::move(info_); }

private:
    template <typename S>
    struct SetterArg;
    template <typename C, typename R, typename A>
    struct SetterArg<R (C::*)(A)> {
        using type = std::remove_cvref_t<A>;
    };
    template <typename C, typename R, typename A>
    struct SetterArg<R (C::*)(A) noexcept> {
        using type = std::remove_cvref_t<A>;
    };
    template <typename S>
    using ArgOf = typename SetterArg<S>::type;

    static T& Self(TObject& o) { return static_cast<T&>(o); }
    static const T& Self(const TObject& o) { return static_cast<const T&>(o); }
    static PropInfo Base(std::string name, TypeKind kind) {
        PropInfo p;
        p.Name = std::move(name);
        p.Kind = kind;
        return p;
    }
    ClassBuilder& Add(PropInfo p) {
        info_.Props.push_back(std::move(p));
        return *this;
    }
    ClassInfo info_;
};

// The root of every class with published properties.
class TObject {
public:
    virtual ~TObject() = default;
    static const ClassInfo& StaticClassInfo();
    virtual const ClassInfo& GetClassInfo() const { return StaticClassInfo(); }
    std::string ClassName() const { return GetClassInfo().Name; }
    bool InheritsFrom(std::string_view className) const { return GetClassInfo().InheritsFrom(className); }
    // A published method bound to this object; unassigned when there is none of that name.
    TMethod MethodAddress(std::string_view name);
};

// ---- Reflection by name ---------------------------------------------------------------------

const PropInfo* GetPropInfo(const TObject* obj, std::string_view name);
bool IsPublishedProp(const TObject* obj, std::string_view name);
// The typed accessors raise EPropertyError for a missing property or one of another kind.
int64_t GetOrdProp(const TObject* obj, std::string_view name);
void SetOrdProp(TObject* obj, std::string_view name, int64_t value);
std::string GetStrProp(const TObject* obj, std::string_view name);
void SetStrProp(TObject* obj, std::string_view name, const std::string& value);
double GetFloatProp(const TObject* obj, std::string_view name);
void SetFloatProp(TObject* obj, std::string_view name, double value);
TObject* GetObjectProp(const TObject* obj, std::string_view name);
void SetObjectProp(TObject* obj, std::string_view name, TObject* value);
TMethod GetMethodProp(const TObject* obj, std::string_view name);
void SetMethodProp(TObject* obj, std::string_view name, const TMethod& value);
std::string GetEnumProp(const TObject* obj, std::string_view name);
void SetEnumProp(TObject* obj, std::string_view name, std::string_view valueName);

// Any property's value as text: numbers in decimal (or their identifier), enumerations by
// name, sets as "[a,b]", objects by component name, events by method name when known.
std::string GetPropText(const TObject* obj, std::string_view name);
// Sets a property from text the way stored forms write values: integers in decimal or as an
// identifier (clRed, crHandPoint), enumerations and Booleans by name, sets as "[a,b]", reals
// with a point. Raises EPropertyConvertError when the text does not fit the property.
void SetPropText(TObject* obj, std::string_view name, std::string_view text);

// Colour and cursor identifiers of the class library.
const IdentMap& ColorIdents();
const IdentMap& CursorIdents();

}  // namespace ui
