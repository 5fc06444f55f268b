// Bulk commands against the single commands in a loop, appending the same
// series to a fresh data list.
//
// Each iteration appends n points both ways, timed by hand in turn, and the
// counters give items per second of each and
//   ratio   loop time / bulk time (the goal is at least 10).
#include "bench_charts.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using kurvo::bench::Clock;
using kurvo::bench::Seconds;

template <class Append>
void Compare(benchmark::State& state, Append loop, Append bulk)
{
    const auto n = static_cast<int>(state.range(0));
    std::vector<double> x(static_cast<std::size_t>(n));
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        x[static_cast<std::size_t>(i)] = i * 0.01;
        y[static_cast<std::size_t>(i)] = std::sin(0.2 * i);
    }
    auto chart = std::make_unique<kurvo::TKurvo>();
    double loopSeconds = 0;
    double bulkSeconds = 0;
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        loop(*chart, x, y);
        const Clock::time_point t1 = Clock::now();
        benchmark::DoNotOptimize(chart->DataCount());
        chart->ClearData();
        const Clock::time_point t2 = Clock::now();
        bulk(*chart, x, y);
        const Clock::time_point t3 = Clock::now();
        benchmark::DoNotOptimize(chart->DataCount());
        chart->ClearData();
        loopSeconds += Seconds(t1 - t0);
        bulkSeconds += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t3 - t2));
    }
    const double items = static_cast<double>(state.iterations()) * n;
    state.counters["loop_items_per_s"] = items / loopSeconds;
    state.counters["bulk_items_per_s"] = items / bulkSeconds;
    state.counters["ratio"] = loopSeconds / bulkSeconds;
    state.SetItemsProcessed(state.iterations() * n);
}

using Series = const std::vector<double>;

void BM_DrawPolylineVsLoop(benchmark::State& state)
{
    Compare(
        state,
        +[](kurvo::TKurvo& c, Series& x, Series& y) {
            c.MoveTo(x[0], y[0]);
            for (std::size_t i = 1; i < x.size(); ++i) c.DrawTo(x[i], y[i]);
        },
        +[](kurvo::TKurvo& c, Series& x, Series& y) { c.DrawPolyline(x, y); });
}

void BM_DrawMarksVsLoop(benchmark::State& state)
{
    Compare(
        state,
        +[](kurvo::TKurvo& c, Series& x, Series& y) {
            for (std::size_t i = 0; i < x.size(); ++i) c.MarkAt(x[i], y[i], 9);
        },
        +[](kurvo::TKurvo& c, Series& x, Series& y) { c.DrawMarks(x, y, 9); });
}

}  // namespace

BENCHMARK(BM_DrawPolylineVsLoop)->Arg(10000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawMarksVsLoop)->Arg(10000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
