// The application server object "RiveviVozodavE.dmReportCounter": condition sets (provider
// pvdConSave), rights, job requests and their status, and the run of a program's server
// library. Late-bound members are listed in docs/appserver.md.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/ComObj.h"
#include "platform/data/SqlDB.h"

namespace appserver {

inline constexpr const char* kAppServerProgID = "RiveviVozodavE.dmReportCounter";
inline constexpr const char* kConditionProvider = "pvdConSave";

class TdmReportCounter : public com::DispatchObject {
public:
    TdmReportCounter();

private:
    using Args = std::vector<rtl::Variant>;

    // Registers a member whose failures become the server's last error.
    void Serve(std::string_view name, std::function<rtl::Variant(Args&)> body);
    // The company database, opened on first use and kept for the object's life.
    data::SqlDatabase& Db();

    rtl::Variant LoadTable(Args& args);
    rtl::Variant GetRecords(Args& args);
    rtl::Variant ApplyUpdates(Args& args);
    std::string InsertConTable(const rtl::Variant& set);
    std::string DeleteConTable(const rtl::Variant& key);
    std::string ChangeConName(const rtl::Variant& oldKey, const rtl::Variant& newKey);
    rtl::Variant GetPower(Args& args);
    rtl::Variant Submit(Args& args, bool direct);
    rtl::Variant ExecSvrDLL(Args& args);
    rtl::Variant UpdateStatus1(Args& args);

    // Answers "" or the error text, which also becomes the last error.
    std::string Answer(const std::function<void()>& body);
    void CheckProvider(const rtl::Variant& name) const;

    std::mutex mutex_;
    std::shared_ptr<data::SqlDatabase> db_;
    std::string lastError_;
    bool tableLoaded_ = false;  // LoadTable named the user and program the provider serves
    std::string conUser_, conProgram_;
};

}  // namespace appserver
