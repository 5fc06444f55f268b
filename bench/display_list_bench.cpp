// Appending long series to the data list.
#include "chart/Qorn_kurvo.h"

#include <benchmark/benchmark.h>

namespace {

void BM_AppendDrawTo(benchmark::State& state)
{
    const int allocSize = static_cast<int>(state.range(0));
    constexpr int kItems = 10'000'000;
    for (auto _ : state) {
        state.PauseTiming();
        auto chart = std::make_unique<kurvo::TKurvo>();
        chart->SetAllocSize(allocSize);
        state.ResumeTiming();
        chart->MoveTo(0, 0);
        for (int i = 1; i < kItems; ++i) chart->DrawTo(i, 0.5);
        benchmark::DoNotOptimize(chart->DataCount());
        state.PauseTiming();
        chart.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

}  // namespace

BENCHMARK(BM_AppendDrawTo)->ArgName("AllocSize")->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
