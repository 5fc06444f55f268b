// Painting long polylines: a full Paint of the chart against the cost of
// drawing the same pixels with QPainter::drawPolyline in batches of 200.
//
// Every benchmark row reports, besides its own time per Paint:
//   baseline_ms  the best of several QPainter runs over the same points,
//                already converted to data-area pixels, on a QImage of the
//                data area's size (aliased cosmetic 1-pixel pen, flat caps);
//   paint_ms     the best single Paint;
//   ratio        paint_ms / baseline_ms (the goal is at most 1.5 at 10^6);
//   allocs       operator new calls during one Paint, after a first Paint
//                (the same for every N: nothing is allocated per item).
// Times are CPU times of the benchmark thread, the best of the runs.
//
// BM_PaintLogLayer paints a logarithmic layer with the vector-state reset of
// the render loop switched on (reset 1) and off (reset 0). Some Qt builds
// return from AVX code with the upper register halves dirty, which makes
// SSE code, log included, many times slower until a vzeroupper. With dirty 1
// an OnBeforeRenderData handler leaves that state just before the items, as
// such a Qt call would, so that the effect of the reset can be measured on
// any machine (on this one, the paint's own Qt calls leave it clean).
#include "bench_charts.h"
#include "chart/kurvo_private.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include <time.h>

namespace {

// Counts every allocation of the process; the benchmarks read the counter
// around one Paint.
std::size_t gAllocations = 0;

}  // namespace

void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace kurvo {

// The chart's friend, for the vector-state switch.
class TKurvoAccess {
public:
    static void SetUpperStateReset(bool value) { TCustomKurvoPrivate::SResetUpperState = value; }
};

}  // namespace kurvo

namespace {

// CPU time of this thread in milliseconds: the machine may be shared.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

#if defined(__x86_64__)
// Writes a 256-bit register without a vzeroupper afterwards.
void DirtyUpperState()
{
    static const bool hasAvx = __builtin_cpu_supports("avx");
    alignas(32) static const double values[4] = {1, 2, 3, 4};
    if (hasAvx) asm volatile("vmovupd %0, %%ymm8" : : "m"(values) : "xmm8");
}
#else
void DirtyUpperState() {}
#endif

// A smooth curve with a little ripple: segments of a few pixels, as a
// measured signal drawn across the chart.
double Signal(long i, long n)
{
    return 0.9 * std::sin(2 * 3.14159265358979323846 * 8.0 * static_cast<double>(i) / static_cast<double>(n)) +
           0.05 * std::sin(0.7 * static_cast<double>(i));
}

// The demo's chart size and margins; layer 1 X 0 ... n (or 1 ... n + 1 on a
// logarithmic axis), Y -1 ... 1; one move-to and n line-to items.
std::unique_ptr<kurvo::TKurvo> MakeChart(long n, bool logarithmic)
{
    auto chart = kurvo::bench::DemoSizedChart();
    chart->SetAllocSize(1000000);
    const double first = logarithmic ? 1.0 : 0.0;
    chart->Scale1X()->SetRangeHigh(first + static_cast<double>(n));
    chart->Scale1X()->SetRangeLow(first);
    if (logarithmic) chart->Scale1X()->SetLogarithmic(true);
    chart->Scale1Y()->SetRangeLow(-1);
    chart->Scale1Y()->SetRangeHigh(1);
    chart->HandleNeeded();
    chart->MoveTo(static_cast<int>(first), 0);
    for (long i = 1; i <= n; ++i) chart->DrawTo(static_cast<int>(first) + static_cast<int>(i), Signal(i, n));
    return chart;
}

// The items' points as data-area pixels, exactly as the chart maps them.
std::vector<QPoint> PixelsOf(kurvo::TKurvo& chart, long n)
{
    std::vector<QPoint> points;
    points.reserve(static_cast<std::size_t>(n) + 1);
    for (long i = 0; i <= n; ++i) {
        int x, y;
        chart.WorldToPixel(1, static_cast<double>(i), i == 0 ? 0.0 : Signal(i, n), x, y);
        points.emplace_back(x - chart.MarginLeft(), y - chart.MarginTop());
    }
    return points;
}

double BaselineMs(const std::vector<QPoint>& points, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPen pen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    double best = 1e300;
    for (int rep = 0; rep < 5; ++rep) {
        const double start = CpuMs();
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(pen);
        // Batches of 200 points, each starting at the previous one's last point.
        const std::size_t count = points.size();
        for (std::size_t k = 0; k + 1 < count; k += 199)
            painter.drawPolyline(points.data() + k, static_cast<int>(std::min<std::size_t>(200, count - k)));
        painter.end();
        best = std::min(best, CpuMs() - start);
    }
    return best;
}

// Runs the benchmark loop over Paint and fills in the counters.
void PaintLoop(benchmark::State& state, kurvo::TKurvo& chart, double baseline)
{
    chart.Paint();  // first paint: bitmaps and caches reach their size
    const std::size_t before = gAllocations;
    chart.Paint();
    const std::size_t allocs = gAllocations - before;

    double best = 1e300;
    for (auto _ : state) {
        const double start = CpuMs();
        chart.Paint();
        best = std::min(best, CpuMs() - start);
    }
    state.counters["paint_ms"] = best;
    state.counters["allocs"] = static_cast<double>(allocs);
    if (baseline > 0) {
        state.counters["baseline_ms"] = baseline;
        state.counters["ratio"] = best / baseline;
    }
}

void BM_PaintLineTo(benchmark::State& state)
{
    const long n = static_cast<long>(state.range(0));
    auto chart = MakeChart(n, false);
    const std::vector<QPoint> points = PixelsOf(*chart, n);
    const int w = chart->Width() - chart->MarginLeft() - chart->MarginRight() - chart->ShadowWidth();
    const int h = chart->Height() - chart->MarginTop() - chart->MarginBottom() - chart->ShadowWidth();
    const double baseline = BaselineMs(points, w + 1, h + 1);
    kurvo::TKurvoAccess::SetUpperStateReset(true);
    PaintLoop(state, *chart, baseline);
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_PaintLogLayer(benchmark::State& state)
{
    const long n = static_cast<long>(state.range(0));
    const bool reset = state.range(1) != 0;
    const bool dirty = state.range(2) != 0;
    auto chart = MakeChart(n, true);
    if (dirty) chart->OnBeforeRenderData = [](kurvo::TObject*, kurvo::TCanvas&, int, int) { DirtyUpperState(); };
    kurvo::TKurvoAccess::SetUpperStateReset(reset);
    PaintLoop(state, *chart, 0.0);
    kurvo::TKurvoAccess::SetUpperStateReset(true);
    state.SetItemsProcessed(state.iterations() * n);
}

}  // namespace

BENCHMARK(BM_PaintLineTo)->ArgName("N")->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintLogLayer)
    ->ArgNames({"N", "reset", "dirty"})
    ->Args({1000000, 1, 0})
    ->Args({1000000, 0, 0})
    ->Args({1000000, 1, 1})
    ->Args({1000000, 0, 1})
    ->Unit(benchmark::kMillisecond);
