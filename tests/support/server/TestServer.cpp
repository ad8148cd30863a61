// A small in-process server library for the late-binding tests (KpaTestServer.so).
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/com/ComServer.h"

namespace {

class Calculator : public com::DispatchObject {
public:
    Calculator() {
        Method("Add", [](std::vector<rtl::Variant>& args) {
            com::RequireArgs(args, 2);
            return rtl::Variant(args[0].AsInt64() + args[1].AsInt64());
        });
        // Both arguments by reference.
        Method("Swap", [](std::vector<rtl::Variant>& args) {
            com::RequireArgs(args, 2);
            std::swap(args[0], args[1]);
            return rtl::Variant();
        });
        Method("Fail", [](std::vector<rtl::Variant>& args) -> rtl::Variant {
            throw com::EOleSysError(args.empty() ? "failed" : rtl::VarToStr(args[0]), 0x1234);
        });
        Method("Crash", [](std::vector<rtl::Variant>&) -> rtl::Variant { throw std::runtime_error("server crashed"); });
        Property("Name", [this] { return rtl::Variant(name_); }, [this](const rtl::Variant& v) { name_ = rtl::VarToStr(v); });
        Property("Version", [] { return rtl::Variant(3); });
    }

private:
    std::string name_ = "calculator";
};

const com::ServerClass kClasses[] = {
    {"KpaTest.Calculator", [] { return std::shared_ptr<com::IDispatch>(std::make_shared<Calculator>()); }},
    {"KpaTest.Refuser", [] { return std::shared_ptr<com::IDispatch>(); }},
    {"KpaTest.Thrower", []() -> std::shared_ptr<com::IDispatch> { throw std::runtime_error("no object today"); }},
};

}  // namespace

extern "C" KPA_COM_EXPORT bool KpaCreateObject(const char* progId, std::shared_ptr<com::IDispatch>* result) {
    return com::ServeObject(kClasses, progId, result);
}
