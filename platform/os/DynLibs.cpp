#include "DynLibs.h"

#include <dlfcn.h>

#include <string>

#include "Environment.h"
#include "Files.h"
#include "platform/rtl/SysUtils.h"

namespace os {

namespace {
thread_local std::string lastError;
}

std::string LibraryFileName(std::string_view name) {
    std::string n(name);
    if (n.size() > 4 && rtl::SameText(std::string_view(n).substr(n.size() - 4), ".dll")) {
        n.replace(n.size() - 4, 4, ".so");
    }
    return n;
}

LibHandle LoadLibrary(std::string_view name) {
    const std::string file = LibraryFileName(name);
    lastError.clear();
    if (file.empty()) {
        lastError = "empty library name";
        return nullptr;
    }
    auto tryOpen = [](const std::string& path) -> LibHandle {
        dlerror();
        LibHandle h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h) {
            const char* e = dlerror();
            if (lastError.empty() && e) lastError = e;
        }
        return h;
    };
    if (file.find('/') != std::string::npos) return tryOpen(file);
    // The program's folder first, as the system's loader searches the application folder first.
    const std::string beside = GetExecutableFolder() + file;
    if (FileExists(beside)) {
        if (LibHandle h = tryOpen(beside)) return h;
    }
    if (LibHandle h = tryOpen(file)) {
        lastError.clear();
        return h;
    }
    if (FileExists("./" + file)) {
        if (LibHandle h = tryOpen("./" + file)) {
            lastError.clear();
            return h;
        }
    }
    return nullptr;
}

void* GetProcAddress(LibHandle lib, const char* symbol) {
    if (!lib || !symbol) return nullptr;
    dlerror();
    return dlsym(lib, symbol);
}

void FreeLibrary(LibHandle lib) {
    if (lib) dlclose(lib);
}

std::string LastLibraryError() { return lastError; }

}  // namespace os
