// Code-page conversion of a job payload: 10,000 elements in nested arrays, most of them texts.
#include <benchmark/benchmark.h>

#include "lib/LibStrs.h"
#include "platform/rtl/CodePages.h"

namespace {

rtl::Variant MakePayload(bool wide) {
    // 100 groups of 100 elements: Chinese and ASCII texts, numbers, and small range arrays.
    std::vector<rtl::Variant> groups;
    for (int g = 0; g < 100; ++g) {
        std::vector<rtl::Variant> items;
        for (int i = 0; i < 100; ++i) {
            const std::string text = (i % 3 == 0 ? "部门" : "EMP") + std::to_string(g * 100 + i) + "薪资决策分析";
            switch (i % 4) {
                case 0:
                case 1: items.emplace_back(wide ? rtl::Variant(rtl::Utf8ToWideLenient(text)) : rtl::Variant(text)); break;
                case 2: items.emplace_back(g * 100 + i); break;
                default:
                    items.push_back(rtl::VarArrayOf({rtl::Variant(u"起"), rtl::Variant(u"迄")}));
                    break;
            }
        }
        groups.push_back(rtl::VarArrayOf(std::move(items)));
    }
    return rtl::VarArrayOf(std::move(groups));
}

}  // namespace


static void BM_VarToAnsiCP_936(benchmark::State& state) {
    const rtl::Variant payload = MakePayload(true);
    for (auto _ : state) benchmark::DoNotOptimize(VarToAnsiCP(payload, 936));
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_VarToAnsiCP_936)->Unit(benchmark::kMillisecond);

static void BM_VarToWideCP_936(benchmark::State& state) {
    const rtl::Variant payload = MakePayload(true);
    for (auto _ : state) benchmark::DoNotOptimize(VarToWideCP(payload, 936));
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_VarToWideCP_936)->Unit(benchmark::kMillisecond);

static void BM_VarToWideCP_Utf8(benchmark::State& state) {
    const rtl::Variant payload = MakePayload(true);
    for (auto _ : state) benchmark::DoNotOptimize(VarToWideCP(payload, rtl::CP_UTF8));
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_VarToWideCP_Utf8)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
