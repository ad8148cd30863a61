// An in-process server library that serves whatever the host program serves (KpaHostBridge.so):
// tests register their doubles by ProgID in the program, and the registry names this library.
#include <dlfcn.h>

#include <memory>

#include "platform/com/ComServer.h"

extern "C" KPA_COM_EXPORT bool KpaCreateObject(const char* progId, std::shared_ptr<com::IDispatch>* result) {
    using HostFactory = bool (*)(const char*, std::shared_ptr<com::IDispatch>*);
    auto host = reinterpret_cast<HostFactory>(dlsym(RTLD_DEFAULT, "KpaTestCreateObject"));
    return host && host(progId, result);
}
