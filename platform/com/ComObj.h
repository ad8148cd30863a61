// Late-bound objects: methods and properties called by name with variant arguments.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../rtl/Variants.h"

namespace com {

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// A late-bound object. Arguments are passed in call order; a callee may change an argument
// that the caller passed by reference, and the caller reads it back from the vector.
// A property put passes the new value as the only argument.
class IDispatch {
public:
    virtual ~IDispatch() = default;
    virtual rtl::Variant Invoke(std::string_view name, InvokeKind kind, std::vector<rtl::Variant>& args) = 0;
};

// ---- Errors -------------------------------------------------------------------------------

// HRESULT-like codes, with the platform's names and values.
using HRESULT = int32_t;
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
inline constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3);
inline constexpr HRESULT CO_E_ERRORINDLL = static_cast<HRESULT>(0x800401F9);
inline constexpr HRESULT HRESULT_MOD_NOT_FOUND = static_cast<HRESULT>(0x8007007E);

// A failure raised by a late-bound call (unknown name, wrong arguments, callee error).
class EOleError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EOleError"; }
};

// A failure that carries the system's error code.
class EOleSysError : public EOleError {
public:
    EOleSysError(std::string message, HRESULT code) : EOleError(std::move(message)), code_(code) {}
    HRESULT ErrorCode() const noexcept { return code_; }
    const char* ClassName() const noexcept override { return "EOleSysError"; }

private:
    HRESULT code_;
};

// A failure inside the called object, reported to the caller with the callee's message.
class EOleException : public EOleSysError {
public:
    explicit EOleException(std::string message) : EOleSysError(std::move(message), DISP_E_EXCEPTION) {}
    const char* ClassName() const noexcept override { return "EOleException"; }
};

// Raises "Invalid number of parameters." unless exactly `count` arguments were passed.
void RequireArgs(const std::vector<rtl::Variant>& args, size_t count);

// ---- Serving objects ----------------------------------------------------------------------

// Base of objects served late-bound: a subclass registers its methods and properties by name
// in its constructor. Names compare without regard to case. A later registration of a name
// replaces the earlier one.
//
// Invoke dispatches as automation does:
//   - a method is called with Method or PropertyGet (a call without parentheses reads as a get);
//   - a property is read with PropertyGet or Method and no arguments, written with PropertyPut
//     and exactly one argument;
//   - an unknown name raises EOleError "Method 'X' not supported by automation object", whatever
//     the kind (the platform reports every unknown name so);
//   - a put on a method or a read-only property raises EOleSysError "Member not found.";
//   - a wrong argument count for a property raises EOleSysError "Invalid number of parameters.".
// A handler's rtl::Exception (EOleError included) reaches the caller unchanged; any other
// exception becomes EOleException with its message ("Exception occurred." when it has none).
class DispatchObject : public IDispatch {
public:
    using MethodHandler = std::function<rtl::Variant(std::vector<rtl::Variant>& args)>;
    using Getter = std::function<rtl::Variant()>;
    using Setter = std::function<void(const rtl::Variant& value)>;

    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    rtl::Variant Invoke(std::string_view name, InvokeKind kind, std::vector<rtl::Variant>& args) override;

    bool HasMember(std::string_view name) const;

protected:
    DispatchObject() = default;

    void Method(std::string_view name, MethodHandler handler);
    // Without a setter the property is read-only.
    void Property(std::string_view name, Getter getter, Setter setter = nullptr);

private:
    struct Member {
        MethodHandler method;
        Getter getter;
        Setter setter;
    };
    rtl::Variant Call(const Member& m, InvokeKind kind, std::vector<rtl::Variant>& args);
    std::map<std::string, Member, std::less<>> members_;  // keyed by the upper-case name
};

// Wraps an object as a Dispatch variant.
inline rtl::Variant DispatchVariant(std::shared_ptr<IDispatch> obj) { return rtl::Variant(std::move(obj)); }

// ---- Calling objects ----------------------------------------------------------------------

// The calling helpers raise EOleError "Variant does not reference an automation object" when
// `obj` holds no object.
//
// Calls a method; arguments passed by reference are read back from `args` afterwards.
rtl::Variant OleCall(const rtl::Variant& obj, std::string_view method, std::vector<rtl::Variant>& args);
// Calls a method with arguments passed by value.
rtl::Variant OleCall(const rtl::Variant& obj, std::string_view method, std::initializer_list<rtl::Variant> args = {});
rtl::Variant OleGet(const rtl::Variant& obj, std::string_view prop);
void OleSet(const rtl::Variant& obj, std::string_view prop, const rtl::Variant& value);

// ---- Creating objects by ProgID -----------------------------------------------------------

// The export of an in-process server library (see ComServer.h).
using KpaCreateObjectProc = bool (*)(const char* progId, std::shared_ptr<IDispatch>* result);
inline constexpr const char* kCreateObjectExport = "KpaCreateObject";

// Creates the object that the registry names for a ProgID:
//   [HKEY_CLASSES_ROOT\<ProgID>\InprocServer32]
//   @="Server.dll"
// The library is loaded with os::LoadLibrary and stays loaded for the life of the process.
// Raises EOleSysError:
//   "Invalid class string"                      the ProgID has no key
//   "Class not registered"                      the key names no library
//   "Server library could not be loaded"        the library does not load (os::LastLibraryError tells why)
//   "Error in the DLL"                          the library has no KpaCreateObject export
//   "ClassFactory cannot supply requested class" the library refuses or fails to create the object
rtl::Variant CreateOleObject(std::string_view progId);

}  // namespace com
