// Objects the test program serves by ProgID to the libraries it loads (the module creates its
// application server by ProgID): the registry names the bridge library KpaHostBridge.so, which
// asks the test program for the object.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/com/ComObj.h"

namespace kpatest {

using ObjectFactory = std::function<std::shared_ptr<com::IDispatch>()>;

void ServeInProcess(const std::string& progId, ObjectFactory factory);
void StopServing(const std::string& progId);
std::shared_ptr<com::IDispatch> CreateServed(const std::string& progId);

// The bridge library's path, for the registry.
std::string HostBridgeLibrary();
// The folder of the built programs and libraries.
std::string BinFolder();

class ScopedServe {
public:
    ScopedServe(std::string progId, ObjectFactory factory) : progId_(std::move(progId)) {
        ServeInProcess(progId_, std::move(factory));
    }
    ~ScopedServe() { StopServing(progId_); }
    ScopedServe(const ScopedServe&) = delete;
    ScopedServe& operator=(const ScopedServe&) = delete;

private:
    std::string progId_;
};

}  // namespace kpatest
