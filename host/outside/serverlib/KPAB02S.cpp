// KPAB02S.so: the server library of program KPAB02 ("KPAB02S.DLL"). The program's work is
// the document list on the client, so its server side has only to account for the run: it
// checks that the job was requested for this program and writes a job-status row ("RAN")
// into the company database that StewardS.ini names.
//
// Run by the application server's ExecSvrDLL, or in the client's process when the
// application server runs there; the parameter array is described in SvrController.h.
#include <exception>
#include <memory>
#include <string>

#include "SvrController.h"
#include "ServerConfig.h"
#include "VariantText.h"
#include "platform/os/Clock.h"
#include "platform/rtl/CodePages.h"

namespace {

using rtl::Variant;

constexpr const char* kProgram = "KPAB02";
constexpr const char* kSource = "KPAB02S";

class Kpab02Controller : public appserver::SvrController {
public:
    std::u16string LastError() override { return rtl::Utf8ToWideLenient(lastError_); }

    void Execute(const Variant& params) override {
        lastError_.clear();
        try {
            Run(params);
        } catch (const std::exception& e) {
            lastError_ = std::string("KPAB02S: ") + e.what();
            throw rtl::Exception(lastError_);
        }
    }

private:
    struct Job {
        std::string jobNo, subJob, company, user, database;
        int optionCount = 0;
    };

    static std::string Text(const Variant& v, const char* what) {
        if (!v.IsStr()) throw rtl::Exception(std::string(what) + " is not a text");
        return rtl::VarToStr(v);
    }

    static Job Read(const Variant& params) {
        if (!params.IsArray() || params.Arr().DimCount() != 1) throw rtl::Exception("the parameters are not an array");
        const std::vector<Variant>& p = params.Arr().Items();
        Job job;
        const Variant* values = nullptr;
        if (p.size() == 7) {  // program kind "B"
            job.jobNo = Text(p[0], "the job number");
            job.company = Text(p[1], "the company code");
            job.user = Text(p[2], "the user code");
            values = &p[3];
            job.database = Text(p[4], "the database name");
            job.subJob = Text(p[5], "the sub-job number");
        } else if (p.size() == 12) {
            job.jobNo = Text(p[0], "the job number");
            job.company = Text(p[2], "the company code");
            job.user = Text(p[3], "the user code");
            job.database = Text(p[4], "the database name");
            values = &p[5];
            job.subJob = Text(p[8], "the sub-job number");
        } else {
            throw rtl::Exception("the parameters hold " + std::to_string(p.size()) + " elements, not 7 or 12");
        }
        if (job.jobNo.empty()) throw rtl::Exception("the job number is empty");
        if (values->IsArray()) job.optionCount = static_cast<int>(values->Arr().ElementCount());
        return job;
    }

    void Run(const Variant& params) {
        const Job job = Read(params);
        std::shared_ptr<data::SqlDatabase> db = appserver::OpenServerDatabase(appserver::ReadServerConfig());
        const data::SqlRows rows = db->Query("SELECT PROGRAM_ID, COMPANY FROM JOB_REQUEST WHERE JOB_NO = ?", {job.jobNo});
        if (rows.Rows.empty()) throw rtl::Exception("job " + job.jobNo + " was never requested");
        if (!rtl::SameText(rtl::VarToStr(rows.Rows[0][0]), kProgram)) {
            throw rtl::Exception("job " + job.jobNo + " belongs to program " + rtl::VarToStr(rows.Rows[0][0]));
        }
        if (rtl::VarToStr(rows.Rows[0][1]) != job.company) {
            throw rtl::Exception("job " + job.jobNo + " belongs to another company");
        }
        const std::string message = "KPAB02 ran for company " + job.company + ", user " + job.user + ", database " +
                                    job.database + " with " + std::to_string(job.optionCount) + " option values";
        db->Execute("INSERT INTO JOB_STATUS (JOB_NO, SUB_JOB_NO, STATUS, MESSAGE, SOURCE, CREATE_TIME) "
                    "VALUES (?, ?, 'RAN', ?, ?, ?)",
                    {job.jobNo, job.subJob, message, kSource, appserver::TimestampText(os::Now())});
    }

    std::string lastError_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) appserver::SvrController* GetSvrController() {
    try {
        return new Kpab02Controller();
    } catch (...) {
        return nullptr;
    }
}
