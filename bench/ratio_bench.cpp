// Composing the chart's picture at device pixel ratio 2 (lines through
// QPainter, four times the pixels) against ratio 1 (the own rasteriser) in
// the same run, for a sine polyline of N points drawn with a one-pixel and
// with a three-pixel pen.
//
// Reported per row:
//   baseline_ms  the best composition at ratio 1;
//   ratio2_ms    the best composition at ratio 2;
//   ratio        ratio2_ms / baseline_ms.
// Times are CPU times of the benchmark thread, the best of the runs.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include <time.h>

namespace {

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double BestCompose(kurvo::TKurvo& chart, double ratio, int runs)
{
    double best = 1e300;
    for (int k = 0; k < runs; ++k) {
        const double start = CpuMs();
        kurvo::TCustomKurvoPrivate::Get(chart).ComposePicture(ratio);
        best = std::min(best, CpuMs() - start);
    }
    return best;
}

void BM_ComposeAtRatioTwo(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const int width = static_cast<int>(state.range(1));
    kurvo::TKurvo chart;
    chart.SetBounds(0, 0, 800, 600);
    chart.Scale1X()->SetRangeHigh(n);
    chart.Scale1Y()->SetRangeLow(-1.5);
    chart.Scale1Y()->SetRangeHigh(1.5);
    chart.SetLineWidth(static_cast<std::uint8_t>(width));
    chart.MoveTo(0, 0);
    for (int i = 1; i <= n; ++i) chart.DrawTo(i, std::sin(40.0 * i / n));
    double baseline = 0;
    double two = 0;
    for (auto _ : state) {
        baseline = BestCompose(chart, 1.0, 5);
        two = BestCompose(chart, 2.0, 5);
    }
    state.counters["baseline_ms"] = baseline;
    state.counters["ratio2_ms"] = two;
    state.counters["ratio"] = two / baseline;
}

}  // namespace

BENCHMARK(BM_ComposeAtRatioTwo)
    ->ArgNames({"N", "pen"})
    ->Args({1000, 1})
    ->Args({100000, 1})
    ->Args({1000, 3})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
