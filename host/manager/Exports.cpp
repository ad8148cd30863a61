// KpaManager.so: serves "CorvaneWorkCenter.Manager" to com::CreateOleObject.
#include <memory>

#include "Manager.h"
#include "platform/com/ComServer.h"

namespace {

const com::ServerClass kClasses[] = {
    {manager::kManagerProgID, [] { return std::shared_ptr<com::IDispatch>(std::make_shared<manager::Manager>()); }},
};

}  // namespace

extern "C" KPA_COM_EXPORT bool KpaCreateObject(const char* progId, std::shared_ptr<com::IDispatch>* result) {
    return com::ServeObject(kClasses, progId, result);
}
