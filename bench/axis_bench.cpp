// Painting the demo's two axes: X 0 ... 100 at the bottom, Y -5 ... 5 on the
// left of a 473 x 421 chart with margins 80 / 16 / 20 / 40.
#include "scale/Qorn_Scale.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kurvo;

constexpr int kWidth = 473;
constexpr int kHeight = 421;
constexpr int kMarginLeft = 80;
constexpr int kMarginRight = 16;
constexpr int kMarginTop = 20;
constexpr int kMarginBottom = 40;

// An axis set up as the chart sets up its own: embedded, transparent,
// painting only when asked, onto the given canvas.
void SetUpEmbedded(TScale& axis, TCanvas& canvas)
{
    axis.BeginLoading();
    axis.Loaded();
    axis.SetBounds(0, 0, kWidth, kHeight);
    axis.SetEmbedded(true);
    axis.SetTransparent(true);
    axis.SetFrameStyle(fsNone);
    axis.SetDecPlaces(-2);
    axis.SetMinTicks(3);
    axis.SetExternalCanvas(&canvas, 0, 0);
}

// The axis rectangle coincides with the data area; the base line lies on
// its bottom (X) or left (Y) edge.
void SetUpDemoAxes(TScale& x, TScale& y, TCanvas& canvas)
{
    SetUpEmbedded(x, canvas);
    x.SetScaleType(sctXT);
    x.SetMarginLeft(kMarginLeft);
    x.SetMarginRight(kMarginRight - 1);
    x.SetMarginTop(kHeight - kMarginBottom);
    x.SetRangeHigh(100);
    x.SetRangeLow(0);
    x.SetShortTicks(true);

    SetUpEmbedded(y, canvas);
    y.SetScaleType(sctYR);
    y.SetMarginTop(kMarginTop);
    y.SetMarginBottom(kMarginBottom - 1);
    y.SetMarginRight(kWidth - kMarginLeft - 1);
    y.SetRangeLow(-5);
    y.SetRangeHigh(5);
    y.SetShortTicks(false);
}

void BM_PaintDemoAxes(benchmark::State& state)
{
    TBitmap bitmap(kWidth, kHeight);
    TScale x;
    TScale y;
    SetUpDemoAxes(x, y, bitmap.Canvas());
    for (auto _ : state) {
        x.PaintNow();
        y.PaintNow();
        // Includes finishing the drawing into the bitmap's pixels.
        benchmark::DoNotOptimize(bitmap.Image().constBits());
    }
    state.counters["ticks"] = x.NumTicks() + y.NumTicks();
}
BENCHMARK(BM_PaintDemoAxes)->Unit(benchmark::kMicrosecond);

// The stand-alone way: the X axis opaque, composed in a bitmap of the
// control's size and copied onto the target.
void BM_PaintOpaqueAxis(benchmark::State& state)
{
    TBitmap bitmap(kWidth, kHeight);
    TScale x;
    TScale y;
    SetUpDemoAxes(x, y, bitmap.Canvas());
    x.SetTransparent(false);
    x.SetFrameStyle(fsLowered);
    for (auto _ : state) {
        x.PaintNow();
        benchmark::DoNotOptimize(bitmap.Image().constBits());
    }
}
BENCHMARK(BM_PaintOpaqueAxis)->Unit(benchmark::kMicrosecond);

}  // namespace
