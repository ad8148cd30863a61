#include "HostObjects.h"

#include <map>

#include "platform/os/Environment.h"
#include "platform/rtl/SysUtils.h"

namespace kpatest {

namespace {
std::map<std::string, ObjectFactory>& Factories() {
    static std::map<std::string, ObjectFactory> factories;
    return factories;
}
}  // namespace

void ServeInProcess(const std::string& progId, ObjectFactory factory) { Factories()[rtl::UpperCase(progId)] = std::move(factory); }

void StopServing(const std::string& progId) { Factories().erase(rtl::UpperCase(progId)); }

std::shared_ptr<com::IDispatch> CreateServed(const std::string& progId) {
    auto it = Factories().find(rtl::UpperCase(progId));
    return it == Factories().end() ? nullptr : it->second();
}

std::string BinFolder() {
    std::string dir = os::GetEnv("KPA_TEST_BIN_DIR");
    if (dir.empty()) return os::GetExecutableFolder();
    if (dir.back() != '/') dir.push_back('/');
    return dir;
}

std::string HostBridgeLibrary() { return BinFolder() + "KpaHostBridge.so"; }

}  // namespace kpatest
