// The application server in process on a seeded company database: 1,000 job requests per
// iteration, each stored durably with its whole payload.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "CompanyDb.h"
#include "platform/com/ComObj.h"
#include "support/Fixtures.h"
#include "support/HostObjects.h"

namespace {

struct Suite {
    kpatest::TempDir root;
    kpatest::ScopedRegistry reg;
    rtl::Variant server;
    rtl::Variant payload;

    Suite() {
        const std::string folder = root.Path();
        reg.SetKeys({{"HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward", {{"ClientPath", folder}, {"ServerPath", folder}}},
                     {"HKEY_CLASSES_ROOT\\RiveviVozodavE.dmReportCounter\\InprocServer32",
                      {{"", kpatest::BinFolder() + "KpaAppServer.so"}}}});
        root.Write("StewardS.ini", "[DBE Setting]\nMainDBType=SQLITE\nMainDBName=" + folder + "company.db\n");
        companydb::CreateOptions options;
        options.docsBase = "http://intra/kpa/";
        companydb::CreateCompanyDatabase(folder + "company.db", options);
        server = com::CreateOleObject("RiveviVozodavE.dmReportCounter");
        rtl::Variant env = rtl::VarArrayCreate(0, 12);
        const rtl::Variant when = rtl::Variant::FromDate(rtl::EncodeDate(2024, 3, 5));
        const rtl::Variant fields[] = {rtl::Variant("KPAB02"), rtl::Variant(12), rtl::Variant(1), rtl::Variant("C01"),
                                       rtl::Variant("ADMIN"), rtl::Variant("KPADB"), when, rtl::Variant("KPAB02S.Class1"),
                                       rtl::Variant("B"), rtl::Variant(0), when, rtl::Variant("")};
        for (int i = 0; i < 12; ++i) env[i + 1] = fields[i];
        payload = rtl::VarArrayOf({env, rtl::VarArrayOf({rtl::Variant(), rtl::VarArrayOf({rtl::Variant("制表日期"), rtl::Variant("edPrintDate")})}),
                                   rtl::VarArrayOf({rtl::Variant(), rtl::Variant("20240305")})});
    }
};

}  // namespace

static void BM_ThousandRequests(benchmark::State& state) {
    Suite s;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const rtl::Variant reply = com::OleCall(s.server, "Request", {s.payload});
            if (reply.AsString() == "ERROR") throw std::runtime_error("the request was refused");
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ThousandRequests)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
