#include "ComObj.h"

#include <mutex>
#include <utility>

#include "platform/os/DynLibs.h"
#include "platform/os/Registry.h"
#include "platform/rtl/SysUtils.h"

namespace com {

void RequireArgs(const std::vector<rtl::Variant>& args, size_t count) {
    if (args.size() != count) throw EOleSysError("Invalid number of parameters.", DISP_E_BADPARAMCOUNT);
}

// ---- DispatchObject -----------------------------------------------------------------------

void DispatchObject::Method(std::string_view name, MethodHandler handler) {
    members_[rtl::UpperCase(name)] = Member{std::move(handler), nullptr, nullptr};
}

void DispatchObject::Property(std::string_view name, Getter getter, Setter setter) {
    members_[rtl::UpperCase(name)] = Member{nullptr, std::move(getter), std::move(setter)};
}

bool DispatchObject::HasMember(std::string_view name) const { return members_.count(rtl::UpperCase(name)) > 0; }

rtl::Variant DispatchObject::Invoke(std::string_view name, InvokeKind kind, std::vector<rtl::Variant>& args) {
    auto it = members_.find(rtl::UpperCase(name));
    if (it == members_.end()) {
        throw EOleError("Method '" + std::string(name) + "' not supported by automation object");
    }
    // A copy: a handler may register members again while it runs.
    const Member member = it->second;
    try {
        return Call(member, kind, args);
    } catch (const rtl::Exception&) {
        throw;
    } catch (const std::exception& e) {
        const std::string what = e.what();
        throw EOleException(what.empty() ? "Exception occurred." : what);
    } catch (...) {
        throw EOleException("Exception occurred.");
    }
}

rtl::Variant DispatchObject::Call(const Member& m, InvokeKind kind, std::vector<rtl::Variant>& args) {
    if (m.method) {
        if (kind == InvokeKind::PropertyPut) throw EOleSysError("Member not found.", DISP_E_MEMBERNOTFOUND);
        return m.method(args);
    }
    if (kind == InvokeKind::PropertyPut) {
        if (!m.setter) throw EOleSysError("Member not found.", DISP_E_MEMBERNOTFOUND);
        RequireArgs(args, 1);
        m.setter(args[0]);
        return {};
    }
    RequireArgs(args, 0);
    return m.getter();
}

// ---- Calling ------------------------------------------------------------------------------

namespace {
std::shared_ptr<IDispatch> ObjectOf(const rtl::Variant& obj) {
    std::shared_ptr<IDispatch> d;
    if (obj.Type() == rtl::VarType::Dispatch) d = obj.AsDispatch();
    if (!d) throw EOleError("Variant does not reference an automation object");
    return d;
}
}  // namespace

rtl::Variant OleCall(const rtl::Variant& obj, std::string_view method, std::vector<rtl::Variant>& args) {
    // Hold the object for the call: the callee may be released through the variant meanwhile.
    const std::shared_ptr<IDispatch> d = ObjectOf(obj);
    return d->Invoke(method, InvokeKind::Method, args);
}

rtl::Variant OleCall(const rtl::Variant& obj, std::string_view method, std::initializer_list<rtl::Variant> args) {
    std::vector<rtl::Variant> copy(args);
    return OleCall(obj, method, copy);
}

rtl::Variant OleGet(const rtl::Variant& obj, std::string_view prop) {
    const std::shared_ptr<IDispatch> d = ObjectOf(obj);
    std::vector<rtl::Variant> none;
    return d->Invoke(prop, InvokeKind::PropertyGet, none);
}

void OleSet(const rtl::Variant& obj, std::string_view prop, const rtl::Variant& value) {
    const std::shared_ptr<IDispatch> d = ObjectOf(obj);
    std::vector<rtl::Variant> args{value};
    d->Invoke(prop, InvokeKind::PropertyPut, args);
}

// ---- CreateOleObject ----------------------------------------------------------------------

namespace {

// Server libraries stay loaded for the life of the process: the objects they made, and the
// code that frees them, live in them.
KpaCreateObjectProc ServerEntry(const std::string& library) {
    static std::mutex lock;
    static std::map<std::string, KpaCreateObjectProc> loaded;
    std::lock_guard<std::mutex> guard(lock);
    if (auto it = loaded.find(library); it != loaded.end()) return it->second;
    os::LibHandle lib = os::LoadLibrary(library);
    if (!lib) throw EOleSysError("Server library could not be loaded", HRESULT_MOD_NOT_FOUND);
    auto entry = reinterpret_cast<KpaCreateObjectProc>(os::GetProcAddress(lib, kCreateObjectExport));
    if (!entry) {
        os::FreeLibrary(lib);
        throw EOleSysError("Error in the DLL", CO_E_ERRORINDLL);
    }
    loaded.emplace(library, entry);
    return entry;
}

}  // namespace

rtl::Variant CreateOleObject(std::string_view progId) {
    // A ProgID is one key name; a path would reach some other key.
    if (progId.empty() || progId.find('\\') != std::string_view::npos) {
        throw EOleSysError("Invalid class string", CO_E_CLASSSTRING);
    }
    os::TRegistry reg;
    reg.RootKey = os::HKEY_CLASSES_ROOT;
    if (!reg.OpenKeyReadOnly(progId)) throw EOleSysError("Invalid class string", CO_E_CLASSSTRING);
    std::string library;
    if (reg.OpenKeyReadOnly("InprocServer32")) {
        try {
            library = rtl::Trim(reg.ReadString(""));
        } catch (const os::ERegistryException&) {
            library.clear();  // a default value that is not text names no library
        }
    }
    if (library.empty()) throw EOleSysError("Class not registered", REGDB_E_CLASSNOTREG);

    const KpaCreateObjectProc entry = ServerEntry(library);
    std::shared_ptr<IDispatch> obj;
    bool made = false;
    const std::string id(progId);
    try {
        made = entry(id.c_str(), &obj);
    } catch (...) {
        made = false;  // a hand-written export let a failure out; it still counts as a refusal
    }
    if (!made || !obj) throw EOleSysError("ClassFactory cannot supply requested class", CLASS_E_CLASSNOTAVAILABLE);
    return DispatchVariant(std::move(obj));
}

}  // namespace com
