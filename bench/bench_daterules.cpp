// First run dates of periodic schedules: one evaluation per schedule shown or submitted, over a
// realistic mix of cycles built the way the option form builds them (counts as texts, indexes as
// integers) and start dates spread over three decades.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "lib/DateRules.h"

namespace {

struct Schedule {
    std::string start;
    rtl::Variant period;
};

std::vector<Schedule> BuildSchedules(size_t count) {
    std::mt19937 rng(20240315);
    auto pick = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    std::vector<Schedule> out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        char start[16];
        const int month = pick(1, 12);
        std::snprintf(start, sizeof start, "%04d%02d%02d", pick(2000, 2030), month, pick(1, DaysInMonth(2001, month)));
        rtl::Variant period;
        const int kind = pick(0, 99);
        if (kind < 25) {  // daily
            period = rtl::VarArrayOf({0, std::to_string(pick(1, 7))});
        } else if (kind < 50) {  // weekly
            period = rtl::VarArrayOf({1, rtl::VarArrayOf({std::to_string(pick(1, 4)), pick(0, 6)})});
        } else if (kind < 72) {  // monthly on a day
            period = rtl::VarArrayOf({2, rtl::VarArrayOf({0, std::to_string(pick(1, 12)), std::to_string(pick(1, 31))})});
        } else if (kind < 95) {  // monthly on the n-th or last week day
            period = rtl::VarArrayOf({2, rtl::VarArrayOf({1, std::to_string(pick(1, 6)), pick(0, 4), pick(0, 6)})});
        } else {  // hourly
            period = rtl::VarArrayOf({3, 0.5 * pick(1, 48)});
        }
        out.push_back({start, std::move(period)});
    }
    return out;
}

void BM_FirstRunDate(benchmark::State& state) {
    const std::vector<Schedule> schedules = BuildSchedules(100000);
    size_t found = 0;
    for (auto _ : state) {
        for (const Schedule& s : schedules) {
            std::string run = FirstRunDate(s.start, s.period);
            found += run.size();
            benchmark::DoNotOptimize(run);
        }
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(schedules.size()));
}
BENCHMARK(BM_FirstRunDate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
