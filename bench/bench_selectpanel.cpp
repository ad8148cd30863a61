// The selection panel's value list at 10,000 rows: adding rows one by one with the duplicate
// check and sorting on, and loading and writing back a panel value text of 10,000 rows. Texts
// sort under the Simplified Chinese locale (pinyin).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "controls/SelectPnl.h"

namespace {

constexpr int kRows = 10000;

// Codes and Chinese names in random order; one row in twenty repeats an earlier code in
// another case, which the duplicate check removes.
std::vector<std::vector<std::string>> MakeRows() {
    static const char* const syllables[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄", "周", "吴", "徐", "孙",
                                            "马", "朱", "胡", "林", "郭", "何", "高", "罗", "郑", "梁", "谢", "宋",
                                            "唐", "许", "邓", "冯", "韩", "曹", "明", "华", "国", "建", "文", "平"};
    std::mt19937 random(20050301);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        std::string code;
        if (i > 0 && i % 20 == 0) {
            code = rows[random() % rows.size()][0];
            for (char& c : code) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else {
            code = "EMP" + std::to_string(100000 + random() % 900000);
        }
        std::string name;
        const int length = 2 + static_cast<int>(random() % 2);
        for (int k = 0; k < length; ++k) name += syllables[random() % std::size(syllables)];
        rows.push_back({code, name});
    }
    return rows;
}

std::string MakeValueText(const std::vector<std::vector<std::string>>& rows) {
    std::string text = "sp_Discrete";
    text += kPanelFieldSep;
    for (const auto& r : rows) text += r[0] + kListCellSep + r[1] + kListRowEnd;
    return text;
}

void UseChineseLocale() { setenv("KPA_ACP", "936", 1); }

TSelectPanel* MakePanel(TCheckDuplicate check) {
    auto* panel = new TSelectPanel(nullptr);
    panel->SetStyle(sp_Discrete);
    panel->SetCheckDuplicate(check);
    panel->SetSortListBox(true);
    return panel;
}

}  // namespace

// AddRow on the panel's list: the list view's items, columns sized after every row.
static void BM_PanelAddRow10k(benchmark::State& state) {
    UseChineseLocale();
    const auto rows = MakeRows();
    TSelectPanel* panel = MakePanel(cd_CaseInsensitive);
    for (auto _ : state) {
        state.PauseTiming();
        panel->ListBox->ClearRows();
        state.ResumeTiming();
        for (const auto& r : rows) panel->ListBox->AddRow(r);
    }
    state.counters["rows"] = panel->ListBox->Items()->Count();
    state.SetItemsProcessed(state.iterations() * kRows);
    panel->Free();
}
BENCHMARK(BM_PanelAddRow10k)->Unit(benchmark::kMillisecond);

// The same rows into the value list alone, without any control.
static void BM_RowsAdd10k(benchmark::State& state) {
    UseChineseLocale();
    const auto rows = MakeRows();
    for (auto _ : state) {
        TSelectRows list;
        list.SetCheckDuplicate(cd_CaseInsensitive);
        list.SetSorted(true);
        for (const auto& r : rows) list.Add(r);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RowsAdd10k)->Unit(benchmark::kMillisecond);

// A condition set's panel value text read into the panel and written back.
static void BM_PanelValueTextLoadWrite10k(benchmark::State& state) {
    UseChineseLocale();
    const std::string text = MakeValueText(MakeRows());
    TSelectPanel* panel = MakePanel(static_cast<TCheckDuplicate>(state.range(0)));
    size_t written = 0;
    for (auto _ : state) {
        if (!panel->SetValueText(text)) state.SkipWithError("the value text did not load");
        written = panel->ValueText().size();
    }
    state.counters["rows"] = panel->ListBox->Items()->Count();
    state.counters["bytes"] = static_cast<double>(written);
    state.SetItemsProcessed(state.iterations() * kRows);
    panel->Free();
}
BENCHMARK(BM_PanelValueTextLoadWrite10k)->Arg(cd_None)->Arg(cd_CaseInsensitive)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
