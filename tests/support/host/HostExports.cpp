// What a test program provides to the libraries it loads, as a launcher does: the window
// system, and the objects it serves in process.
#include <memory>

#include "platform/ui/HostWindowSystem.h"
#include "support/HostObjects.h"

extern "C" __attribute__((visibility("default"))) bool KpaTestCreateObject(const char* progId,
                                                                           std::shared_ptr<com::IDispatch>* result) {
    if (!progId || !result) return false;
    try {
        std::shared_ptr<com::IDispatch> obj = kpatest::CreateServed(progId);
        if (!obj) return false;
        *result = std::move(obj);
        return true;
    } catch (...) {
        return false;
    }
}
