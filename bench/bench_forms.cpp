// The module's form life through its controller, as a launcher drives it: load once, then many
// times a controller, a started form (connected to in-process doubles of the server side),
// and freeing it. Reports the time per form, the heap a started form holds, the heap left
// behind after 10,000 forms, and the one-time cost of loading the module.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <malloc.h>

#include <chrono>
#include <filesystem>

#include "entry/DLLBaseCtrller.h"
#include "platform/ui/Forms.h"
#include "support/Fixtures.h"
#include "support/HostObjects.h"
#include "support/ServerDoubles.h"

namespace {

constexpr const char* kServerProgID = "RiveviVozodavE.dmReportCounter";

struct Suite {
    kpatest::TempDir root;
    kpatest::ScopedRegistry reg;
    kpatest::ScopedEnv acp{"KPA_ACP", "936"};
    std::shared_ptr<kpatest::FakeManager> manager = std::make_shared<kpatest::FakeManager>();
    rtl::Variant managerVariant{std::static_pointer_cast<com::IDispatch>(manager)};
    kpatest::ScopedServe serve{kServerProgID, [] { return std::static_pointer_cast<com::IDispatch>(std::make_shared<kpatest::FakeAppServer>()); }};
    rtl::Variant context = rtl::VarArrayOf({rtl::Variant("ADMIN"), rtl::Variant("C01"), rtl::Variant("KPADB"),
                                            rtl::Variant(0), rtl::Variant("host")});
    GetControllerFn getController = nullptr;

    Suite() {
        reg.SetKeys({{"HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward", {{"ClientPath", root.Path()}}},
                     {std::string("HKEY_CLASSES_ROOT\\") + kServerProgID + "\\InprocServer32", {{"", kpatest::HostBridgeLibrary()}}}});
        root.Write("StewardC.ini", "[Server Information]\nComputerName=127.0.0.1\n");
        manager->Validator()->SetRow("ADMMB", "01", "KPAB02", {rtl::Variant("决策分析"), rtl::Variant(""), rtl::Variant(""),
                                                               rtl::Variant(""), rtl::Variant("Y")});
        void* lib = dlopen((kpatest::BinFolder() + "KPAB02C.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!lib) throw std::runtime_error(dlerror());
        getController = reinterpret_cast<GetControllerFn>(dlsym(lib, "GetController"));
    }

    void OneForm() {
        TDLLBaseController* ctl = getController();
        ctl->Manager = managerVariant;
        if (ctl->CreateForm(context) != 0) throw std::runtime_error("the form did not start");
        delete ctl;
        ui::Application().ProcessMessages();
        manager->Log()->Clear();
    }
};

Suite& TheSuite() {
    static Suite suite;
    return suite;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

}  // namespace

static void BM_StartedFormLifecycle(benchmark::State& state) {
    Suite& s = TheSuite();
    s.OneForm();  // first use of everything outside the loop
    for (auto _ : state) s.OneForm();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StartedFormLifecycle)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

static void BM_HeapOfAStartedForm(benchmark::State& state) {
    Suite& s = TheSuite();
    s.OneForm();
    size_t held = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        TDLLBaseController* ctl = s.getController();
        ctl->Manager = s.managerVariant;
        ctl->CreateForm(s.context);
        held = HeapInUse() - before;
        delete ctl;
        ui::Application().ProcessMessages();
        s.manager->Log()->Clear();
    }
    state.counters["bytes_per_form"] = static_cast<double>(held);
}
BENCHMARK(BM_HeapOfAStartedForm)->Iterations(100);

static void BM_HeapGrowthOver10000Forms(benchmark::State& state) {
    Suite& s = TheSuite();
    for (int i = 0; i < 100; ++i) s.OneForm();  // caches and pools settle first
    double growth = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        for (int i = 0; i < 10000; ++i) s.OneForm();
        growth = static_cast<double>(HeapInUse()) - static_cast<double>(before);
    }
    state.counters["heap_growth_bytes"] = growth;
}
BENCHMARK(BM_HeapGrowthOver10000Forms)->Iterations(1)->Unit(benchmark::kMillisecond);

static void BM_LoadModule(benchmark::State& state) {
    // A fresh copy each time, so that the loader really loads it.
    kpatest::TempDir dir;
    std::filesystem::copy_file(kpatest::BinFolder() + "CvResD5.so", dir.File("CvResD5.so"));  // bound at load
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string copy = dir.File("KPAB02C_" + std::to_string(n++) + ".so");
        std::filesystem::copy_file(kpatest::BinFolder() + "KPAB02C.so", copy);
        state.ResumeTiming();
        void* lib = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!lib) throw std::runtime_error(dlerror());
        auto get = reinterpret_cast<GetControllerFn>(dlsym(lib, "GetController"));
        delete get();
        state.PauseTiming();
        dlclose(lib);
        std::filesystem::remove(copy);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadModule)->Iterations(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
