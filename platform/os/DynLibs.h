// Libraries loaded by name at run time. A library the system names "NAME.dll" is the file
// "NAME.so". A bare name is searched, in order, in the running program's folder, through the
// dynamic loader's own search (LD_LIBRARY_PATH, the system folders), in the current folder.
#pragma once

#include <string>
#include <string_view>

namespace os {

using LibHandle = void*;

// The file name a library name stands for ("X.dll" -> "X.so"; other names unchanged).
std::string LibraryFileName(std::string_view name);
// nullptr when the library cannot be loaded; LastLibraryError() tells why.
LibHandle LoadLibrary(std::string_view name);
void* GetProcAddress(LibHandle lib, const char* symbol);  // nullptr when missing
void FreeLibrary(LibHandle lib);
std::string LastLibraryError();

// Owns a loaded library for a scope.
class DynLib {
public:
    DynLib() = default;
    explicit DynLib(std::string_view name) : handle_(LoadLibrary(name)) {}
    ~DynLib() { Reset(); }
    DynLib(DynLib&& o) noexcept : handle_(o.handle_) { o.handle_ = nullptr; }
    DynLib& operator=(DynLib&& o) noexcept {
        if (this != &o) {
            Reset();
            handle_ = o.handle_;
            o.handle_ = nullptr;
        }
        return *this;
    }
    DynLib(const DynLib&) = delete;
    DynLib& operator=(const DynLib&) = delete;

    explicit operator bool() const noexcept { return handle_ != nullptr; }
    LibHandle Handle() const noexcept { return handle_; }
    void* Symbol(const char* name) const { return handle_ ? GetProcAddress(handle_, name) : nullptr; }
    LibHandle Release() noexcept {
        LibHandle h = handle_;
        handle_ = nullptr;
        return h;
    }
    void Reset() noexcept {
        if (handle_) FreeLibrary(handle_);
        handle_ = nullptr;
    }

private:
    LibHandle handle_ = nullptr;
};

}  // namespace os
