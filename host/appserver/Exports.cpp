// KpaAppServer.so: serves "RiveviVozodavE.dmReportCounter" to com::CreateOleObject.
#include <memory>

#include "AppServer.h"
#include "platform/com/ComServer.h"

namespace {

const com::ServerClass kClasses[] = {
    {appserver::kAppServerProgID,
     [] { return std::shared_ptr<com::IDispatch>(std::make_shared<appserver::TdmReportCounter>()); }},
};

}  // namespace

extern "C" KPA_COM_EXPORT bool KpaCreateObject(const char* progId, std::shared_ptr<com::IDispatch>* result) {
    return com::ServeObject(kClasses, progId, result);
}
