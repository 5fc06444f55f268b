// One wheel-zoom step and one UndoZoom step against one pan step of the same
// chart, measured alternately in the same loop: all three change the ranges
// and repaint once, so each should cost about what a pan step costs.
#include "bench_charts.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>

namespace {

using namespace kurvo;
using bench::Clock;
using bench::Seconds;

std::unique_ptr<TKurvo> SineChart(int items)
{
    auto chart = bench::SinePolylineChart(items);
    chart->ClearZoomHistory();
    return chart;
}


void BM_WheelAndUndoAgainstPan(benchmark::State& state)
{
    const int items = static_cast<int>(state.range(0));
    auto wheelChart = SineChart(items);
    wheelChart->SetWheelZoom(true);
    auto panChart = SineChart(items);
    panChart->SetMouseAction(maPan);
    const TShiftState left{ssLeft};
    panChart->MouseDown(mbLeft, left, 200, 200);
    panChart->WMMouseMove(left, 200, 200);  // the anchoring move

    double wheelTime = 0.0, undoTime = 0.0, panTime = 0.0;
    int step = 0;
    bool allChanged = true;
    for (auto _ : state) {
        const bool forward = ++step % 2 == 0;
        const auto t0 = Clock::now();
        allChanged = wheelChart->DoMouseWheel({}, forward ? 120 : -120, {200, 200}) && allChanged;
        const auto t1 = Clock::now();
        allChanged = wheelChart->UndoZoom() && allChanged;
        const auto t2 = Clock::now();
        panChart->WMMouseMove(left, forward ? 210 : 220, 200);
        const auto t3 = Clock::now();
        wheelTime += Seconds(t1 - t0);
        undoTime += Seconds(t2 - t1);
        panTime += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t1 - t0));
    }
    panChart->MouseUp(mbLeft, {}, 200, 200);
    if (!allChanged) state.SkipWithError("a wheel or undo step changed nothing");
    const double n = static_cast<double>(state.iterations());
    state.counters["wheel_ms"] = 1e3 * wheelTime / n;
    state.counters["undo_ms"] = 1e3 * undoTime / n;
    state.counters["pan_ms"] = 1e3 * panTime / n;
    state.counters["wheel/pan"] = panTime > 0.0 ? wheelTime / panTime : 0.0;
    state.counters["undo/pan"] = panTime > 0.0 ? undoTime / panTime : 0.0;
}

}  // namespace

BENCHMARK(BM_WheelAndUndoAgainstPan)->ArgName("items")->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond);
