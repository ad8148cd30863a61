// The suite's outside objects for a launcher run in a test (KpaFakeSuite.so): the manager
// "CorvaneWorkCenter.Manager" and the application server "RiveviVozodavE.dmReportCounter",
// served from the recording doubles. Both ProgIDs are registered with this library, so the
// launcher's manager and the module's server share one call log.
//
// What the doubles know: program KPAB02 in ADMMB query 01, the company title in the system
// information, the document rows of ADMMB query 07 and the base address of ADMMS query 01.
// The environment adjusts them for a test:
//   KPA_FAKE_SUITE_DOCS  the document rows as "CODE=Name;CODE=Name" (empty: no rows)
//   KPA_FAKE_SUITE_LOG   a file that receives every call, one "Object.Member args" a line,
//                        when the process ends
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/ComServer.h"
#include "support/ServerDoubles.h"

namespace {

using kpatest::CallLog;
using kpatest::FakeAppServer;
using kpatest::FakeManager;
using kpatest::FakeValidator;
using rtl::Variant;

std::string Env(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string(fallback);
}

std::vector<Variant> DocumentRows(const std::string& text) {
    std::vector<Variant> rows;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        const std::string item = text.substr(start, end - start);
        const size_t eq = item.find('=');
        if (eq != std::string::npos) rows.push_back(rtl::VarArrayOf({Variant(item.substr(0, eq)), Variant(item.substr(eq + 1))}));
        start = end + 1;
    }
    return rows;
}

std::string ArgText(const Variant& v) {
    if (v.IsArray()) return FakeValidator::KeyText(v);
    try {
        return rtl::VarToStr(v);
    } catch (...) {
        return "?";
    }
}

class Suite {
public:
    Suite() {
        manager_->Validator()->SetRow("ADMMB", "01", "KPAB02",
                                      {Variant("决策分析文件"), Variant(""), Variant(""), Variant(""), Variant("N")});
        manager_->Counter()->SetSysInfo({{"Sys001", Variant("1")}, {"Sys002", Variant("/")}, {"TGK002", Variant("示范公司")}});
        const std::vector<Variant> docs = DocumentRows(Env("KPA_FAKE_SUITE_DOCS", "KPAH03=薪资结构分析;KPAH05=人力成本分析"));
        if (!docs.empty()) manager_->Validator()->SetRow("ADMMB", "07", "KPAH01;KPAH17", docs);
        manager_->Validator()->SetRow("ADMMS", "01", "", {Variant("/srv/kpa/docs/")});
    }
    ~Suite() {
        const std::string path = Env("KPA_FAKE_SUITE_LOG", "");
        if (path.empty()) return;
        std::ofstream out(path, std::ios::trunc);
        for (const kpatest::CallEntry& e : log_->Entries()) {
            out << e.object << "." << e.member;
            for (size_t i = 0; i < e.args.size(); ++i) out << (i ? "," : " ") << ArgText(e.args[i]);
            out << "\n";
        }
    }
    std::shared_ptr<com::IDispatch> Manager() { return manager_; }
    std::shared_ptr<com::IDispatch> Server() { return server_; }

private:
    std::shared_ptr<CallLog> log_ = std::make_shared<CallLog>();
    std::shared_ptr<FakeManager> manager_ = std::make_shared<FakeManager>(log_);
    std::shared_ptr<FakeAppServer> server_ = std::make_shared<FakeAppServer>(log_);
};

Suite& TheSuite() {
    static Suite suite;
    return suite;
}

const com::ServerClass kClasses[] = {
    {"CorvaneWorkCenter.Manager", [] { return TheSuite().Manager(); }},
    {"RiveviVozodavE.dmReportCounter", [] { return TheSuite().Server(); }},
};

}  // namespace

extern "C" KPA_COM_EXPORT bool KpaCreateObject(const char* progId, std::shared_ptr<com::IDispatch>* result) {
    return com::ServeObject(kClasses, progId, result);
}
