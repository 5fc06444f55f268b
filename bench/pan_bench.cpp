// One pan step (a pointer move with the left button held: new layer
// ranges and the full repaint) against a plain Paint of the same chart: a
// 473 x 421 chart with the demo's margins and one long polyline.
#include "bench_charts.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>

namespace {

using namespace kurvo;
using bench::Clock;
using bench::Seconds;

// A move to (0, 0) and `items` line-to items over the whole X range.
std::unique_ptr<TKurvo> PolylineChart(int items)
{
    auto chart = bench::SinePolylineChart(items);
    chart->SetMouseAction(maPan);
    return chart;
}


// Each iteration is one pan step, timed by hand, followed by one plain Paint
// timed the same way; the ratio of the two sums is reported.
void BM_PanStep(benchmark::State& state)
{
    const int items = static_cast<int>(state.range(0));
    auto chart = PolylineChart(items);
    const TShiftState left{ssLeft};
    chart->MouseDown(mbLeft, left, 200, 200);
    chart->WMMouseMove(left, 200, 200);  // the anchoring move
    int zoomPans = 0;
    chart->OnZoomPan = [&zoomPans](TObject*) { ++zoomPans; };

    double panTime = 0.0;
    double paintTime = 0.0;
    int step = 0;
    for (auto _ : state) {
        // Alternate the pointer so that every step really changes the ranges.
        const int x = 200 + (++step % 2 == 0 ? 10 : 20);
        const auto t0 = Clock::now();
        chart->WMMouseMove(left, x, 200);
        const auto t1 = Clock::now();
        chart->Paint();
        const auto t2 = Clock::now();
        panTime += Seconds(t1 - t0);
        paintTime += Seconds(t2 - t1);
        state.SetIterationTime(Seconds(t1 - t0));
    }
    chart->MouseUp(mbLeft, {}, 200, 200);
    if (zoomPans != step) state.SkipWithError("a move did not pan");
    const double n = static_cast<double>(state.iterations());
    state.counters["pan_ms"] = 1e3 * panTime / n;
    state.counters["paint_ms"] = 1e3 * paintTime / n;
    state.counters["pan/paint"] = paintTime > 0.0 ? panTime / paintTime : 0.0;
    state.SetItemsProcessed(state.iterations() * items);
}

void BM_PanBaselinePaint(benchmark::State& state)
{
    const int items = static_cast<int>(state.range(0));
    auto chart = PolylineChart(items);
    for (auto _ : state) chart->Paint();
    state.SetItemsProcessed(state.iterations() * items);
}

}  // namespace

BENCHMARK(BM_PanStep)->ArgName("items")->Arg(100'000)->Arg(1'000'000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanBaselinePaint)->ArgName("items")->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
