// A small in-process server library for the late-binding tests (KpaTestServer.so).
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

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

// An application server with one provider, "pvdTest" (ID integer, NAME string), that applies
// the deltas it is sent to its own rows (protocol in docs/data.md).
class AppServer : public com::DispatchObject {
public:
    AppServer() {
        rows_ = {{int64_t{1}, "one"}, {int64_t{2}, "two"}};
        Method("AS_GetRecords", [this](std::vector<rtl::Variant>& args) {
            com::RequireArgs(args, 1);
            CheckProvider(args[0]);
            std::vector<rtl::Variant> packet{rtl::VarArrayOf({"ID", "NAME"}), rtl::VarArrayOf({"ftInteger", "ftString"})};
            for (const auto& [id, name] : rows_) packet.push_back(rtl::VarArrayOf({rtl::Variant(static_cast<long long>(id)), name}));
            return rtl::VarArrayOf(std::move(packet));
        });
        Method("AS_ApplyUpdates", [this](std::vector<rtl::Variant>& args) {
            com::RequireArgs(args, 4);
            CheckProvider(args[0]);
            const auto& delta = args[1].Arr().Items();
            std::vector<rtl::Variant> errors;
            for (size_t i = 1; i < delta.size(); ++i) {
                const int kind = delta[i][0].AsInteger();  // 0 modify, 1 insert, 2 delete
                auto row = rows_.end();
                if (kind != 1) {
                    const int64_t id = delta[i][1][0].AsInt64();
                    for (auto it = rows_.begin(); it != rows_.end(); ++it) {
                        if (it->first == id) row = it;
                    }
                    if (row == rows_.end()) {
                        errors.push_back(rtl::VarArrayOf({static_cast<int>(i), "Record not found"}));
                        continue;
                    }
                }
                if (kind == 2) {
                    rows_.erase(row);
                } else {
                    std::pair<int64_t, std::string> values{delta[i][2][0].AsInt64(), rtl::VarToStr(delta[i][2][1])};
                    if (kind == 1) {
                        rows_.push_back(values);
                    } else {
                        *row = values;
                    }
                }
            }
            const int count = static_cast<int>(errors.size());
            if (count > 0) args[3] = rtl::VarArrayOf(std::move(errors));
            return rtl::Variant(count);
        });
    }

private:
    static void CheckProvider(const rtl::Variant& name) {
        if (rtl::VarToStr(name) != "pvdTest") throw com::EOleException("Provider not exported: " + rtl::VarToStr(name));
    }
    std::vector<std::pair<int64_t, std::string>> rows_;
};

const com::ServerClass kClasses[] = {
    {"KpaTest.Calculator", [] { return std::shared_ptr<com::IDispatch>(std::make_shared<Calculator>()); }},
    {"KpaTest.Refuser", [] { return std::shared_ptr<com::IDispatch>(); }},
    {"KpaTest.Thrower", []() -> std::shared_ptr<com::IDispatch> { throw std::runtime_error("no object today"); }},
    {"KpaTest.AppServer", [] { return std::shared_ptr<com::IDispatch>(std::make_shared<AppServer>()); }},
};

}  // namespace

extern "C" KPA_COM_EXPORT bool KpaCreateObject(const char* progId, std::shared_ptr<com::IDispatch>* result) {
    return com::ServeObject(kClasses, progId, result);
}
