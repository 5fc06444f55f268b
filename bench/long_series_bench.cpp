// Times are thread CPU times (the machine may be shared), medians of runs.
//
// Long series: a 473 x 421 chart (data area 377 x 361) showing x = i,
// y = sin(0.2 i), i = 0 ... N - 1.
//
// BM_LongSeries/N measures, in one run and as medians:
//   kurvo_pan_ms    one pan step: the X range shifted by 1 % of N (back and
//                   forth) through SetLayerRanges, which repaints in full;
//   kurvo_paint_ms  a plain Paint of the same chart;
//   frame_only_ms   the pan step of the chart without items (axes, frame,
//                   copies): the part of every paint that N does not change;
//   raw_ms          the baseline: the same points converted to pixels and
//                   drawn with QPainter::drawPolyline in joined batches of
//                   200 (aliased 1-pixel pen) on a QImage of the data area;
//   qcp_ms          QCustomPlot 2.1 (Qt 6) of the same size and data, its
//                   adaptive sampling on (its default): setRange + replot;
//   raw/kurvo, qcp/kurvo  how many times the baselines take Kurvo's pan step;
//   bytes_per_point the data list's storage after painting.
// BM_LongSeriesSmooth/N: the pan step anti-aliased (kurvo_smooth_pan_ms)
// beside the aliased one and QCustomPlot's anti-aliased graph.
// BM_AppendRates: DrawTo one by one and AppendLinePoints in one call, 10^7
// points each, against copying the same 16 bytes per point (memcpy).
// BM_LiveData: 10^7 points, then per frame 10,000 more with the view
// following the newest 10^7: frame = append + pan + full repaint.
// BM_LongSeries1e8 runs only with KURVO_BENCH_1E8=1: 10^8 points, build
// time, pan step, resident memory.
#include "bench_charts.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>

#include <benchmark/benchmark.h>

#ifdef KURVO_BENCH_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <time.h>

namespace {

using namespace kurvo;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 473;
constexpr int kHeight = 421;
constexpr double kYLow = -1.5;
constexpr double kYHigh = 1.5;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// CPU time of this thread in milliseconds: the machine may be shared, and
// other processes' turns on the cores are not ours.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The median of `runs` timings of f(step), in thread CPU time.
double MedianMs(int runs, const std::function<void(int)>& f)
{
    std::vector<double> t;
    for (int k = 0; k < runs; ++k) {
        const double t0 = CpuMs();
        f(k);
        t.push_back(CpuMs() - t0);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

double ResidentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0.0;
}

void Series(std::int64_t from, std::int64_t n, std::vector<double>& x, std::vector<double>& y)
{
    x.resize(static_cast<std::size_t>(n));
    y.resize(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        x[static_cast<std::size_t>(i)] = static_cast<double>(from + i);
        y[static_cast<std::size_t>(i)] = std::sin(0.2 * static_cast<double>(from + i));
    }
}

// The chart with the series, filled in blocks of 10^6 by the bulk command.
std::unique_ptr<TKurvo> SeriesChart(std::int64_t n)
{
    auto chart = bench::DemoSizedChart();
    chart->SetAllocSize(static_cast<int>(std::clamp<std::int64_t>(n / 10, 1000, 1000000)));
    chart->MoveTo(0, 0);
    std::vector<double> x, y;
    for (std::int64_t from = 1; from < n; from += 1000000) {
        Series(from, std::min<std::int64_t>(1000000, n - from), x, y);
        chart->AppendLinePoints(x.data(), y.data(), static_cast<std::int64_t>(x.size()));
    }
    chart->HandleNeeded();
    chart->SetLayerRanges(1, false, 0, kYLow, static_cast<double>(n), kYHigh, false);
    return chart;
}

double KurvoPanMs(TKurvo& chart, std::int64_t n, int runs)
{
    const double shift = 0.01 * static_cast<double>(n);
    const auto step = [&](int k) {
        const double low = k % 2 == 0 ? shift : 0.0;
        chart.SetLayerRanges(1, false, low, kYLow, low + static_cast<double>(n), kYHigh, false);
    };
    // Untimed steps first: the first paints fill Qt's glyph and font caches.
    for (int k = 0; k < 5; ++k) step(k);
    return MedianMs(runs, step);
}

double RawPolylineMs(const std::vector<double>& x, const std::vector<double>& y, int runs)
{
    const std::int64_t n = static_cast<std::int64_t>(x.size());
    QImage image(378, 362, QImage::Format_RGB32);
    std::vector<QPoint> points(x.size());
    const double shift = 0.01 * static_cast<double>(n);
    return MedianMs(runs, [&](int k) {
        const double low = k % 2 == 0 ? shift : 0.0;
        const double kx = 377.0 / static_cast<double>(n);
        const double ky = -361.0 / (kYHigh - kYLow);
        for (std::size_t i = 0; i < x.size(); ++i)
            points[i] = QPoint(static_cast<int>(std::lrint(kx * (x[i] - low))),
                               static_cast<int>(std::lrint(ky * (y[i] - kYHigh))));
        image.fill(Qt::white);
        QPainter painter(&image);
        QPen pen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setCosmetic(true);
        painter.setPen(pen);
        // In batches of 200 that join, as a chart draws its polylines.
        for (std::size_t first = 0; first + 1 < points.size(); first += 199)
            painter.drawPolyline(&points[first], static_cast<int>(std::min<std::size_t>(200, points.size() - first)));
    });
}

#ifdef KURVO_BENCH_QCUSTOMPLOT
double QCustomPlotMs(const std::vector<double>& x, const std::vector<double>& y, int runs)
{
    const std::int64_t n = static_cast<std::int64_t>(x.size());
    QCustomPlot plot;
    plot.resize(kWidth, kHeight);
    QCPGraph* graph = plot.addGraph();
    QVector<QCPGraphData> data(static_cast<qsizetype>(x.size()));
    for (std::size_t i = 0; i < x.size(); ++i) data[static_cast<qsizetype>(i)] = QCPGraphData(x[i], y[i]);
    graph->data()->set(data, true);
    plot.yAxis->setRange(kYLow, kYHigh);
    plot.xAxis->setRange(0, static_cast<double>(n));
    for (int k = 0; k < 3; ++k) plot.replot();
    const double shift = 0.01 * static_cast<double>(n);
    return MedianMs(runs, [&](int k) {
        const double low = k % 2 == 0 ? shift : 0.0;
        plot.xAxis->setRange(low, low + static_cast<double>(n));
        plot.replot(QCustomPlot::rpImmediateRefresh);
    });
}
#endif

void BM_LongSeries(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    // Short steps are timed more often: their medians move with every
    // interruption of a shared machine.
    const int baselineRuns = n >= 10'000'000 ? 5 : (n >= 1'000'000 ? 11 : (n >= 100'000 ? 51 : 501));
    const int kurvoRuns = n >= 100'000 ? 51 : 501;
    for (auto _ : state) {
        auto chart = SeriesChart(n);
        const double pan = KurvoPanMs(*chart, n, kurvoRuns);
        const double paint = MedianMs(kurvoRuns, [&](int) { chart->Paint(); });
        state.counters["kurvo_pan_ms"] = pan;
        state.counters["kurvo_paint_ms"] = paint;
        state.counters["bytes_per_point"] = static_cast<double>(chart->DataBytes()) / static_cast<double>(n);
        chart.reset();
        // The same pan step without any item: axes, frame and copies alone.
        auto empty = SeriesChart(1);
        state.counters["frame_only_ms"] = KurvoPanMs(*empty, n, kurvoRuns);
        empty.reset();
        std::vector<double> x, y;
        Series(0, n, x, y);
        const double raw = RawPolylineMs(x, y, baselineRuns);
        state.counters["raw_ms"] = raw;
        state.counters["raw/kurvo"] = raw / pan;
#ifdef KURVO_BENCH_QCUSTOMPLOT
        const double qcp = QCustomPlotMs(x, y, baselineRuns);
        state.counters["qcp_ms"] = qcp;
        state.counters["qcp/kurvo"] = qcp / pan;
#endif
    }
}

void BM_AppendRates(benchmark::State& state)
{
    constexpr std::int64_t n = 10'000'000;
    std::vector<double> x, y;
    Series(0, n, x, y);
    for (auto _ : state) {
        auto single = std::make_unique<TKurvo>();
        single->SetAllocSize(1000000);
        double t0 = CpuMs();
        for (std::size_t i = 0; i < x.size(); ++i) single->DrawTo(x[i], y[i]);
        const double singleMs = CpuMs() - t0;
        single.reset();

        auto bulk = std::make_unique<TKurvo>();
        bulk->SetAllocSize(1000000);
        t0 = CpuMs();
        bulk->AppendLinePoints(x.data(), y.data(), n);
        const double bulkMs = CpuMs() - t0;
        bulk.reset();

        // The same bytes copied into fresh memory: the speed of memory.
        t0 = CpuMs();
        auto cx = std::make_unique_for_overwrite<double[]>(n);
        auto cy = std::make_unique_for_overwrite<double[]>(n);
        std::memcpy(cx.get(), x.data(), n * sizeof(double));
        std::memcpy(cy.get(), y.data(), n * sizeof(double));
        benchmark::DoNotOptimize(cx.get());
        benchmark::DoNotOptimize(cy.get());
        const double copyMs = CpuMs() - t0;

        state.counters["drawto_Mitems_s"] = 1e-3 * static_cast<double>(n) / singleMs;
        state.counters["bulk_Mitems_s"] = 1e-3 * static_cast<double>(n) / bulkMs;
        state.counters["memcpy_Mitems_s"] = 1e-3 * static_cast<double>(n) / copyMs;
        state.counters["bulk/memcpy"] = copyMs / bulkMs;
    }
}

void BM_LiveData(benchmark::State& state)
{
    constexpr std::int64_t n = 10'000'000;
    constexpr std::int64_t perFrame = 10'000;
    for (auto _ : state) {
        auto chart = SeriesChart(n);
        std::vector<double> x, y;
        std::int64_t total = n;
        const double frame = MedianMs(101, [&](int) {
            Series(total, perFrame, x, y);
            chart->AppendLinePoints(x.data(), y.data(), perFrame);
            total += perFrame;
            chart->SetLayerRanges(1, false, static_cast<double>(total - n), kYLow, static_cast<double>(total),
                                  kYHigh, false);
        });
        state.counters["frame_ms"] = frame;
        state.counters["points"] = static_cast<double>(total);
    }
}

void BM_LongSeries1e8(benchmark::State& state)
{
    constexpr std::int64_t n = 100'000'000;
    for (auto _ : state) {
        const double before = ResidentMb();
        const auto t0 = Clock::now();
        auto chart = SeriesChart(n);
        state.counters["build_s"] = Ms(Clock::now() - t0) / 1e3;
        state.counters["kurvo_pan_ms"] = KurvoPanMs(*chart, n, 11);
        state.counters["rss_mb"] = ResidentMb() - before;
        state.counters["bytes_per_point"] = static_cast<double>(chart->DataBytes()) / static_cast<double>(n);
    }
}

// Anti-aliased data lines on the same chart: the pan step with
// SetAntialiased(true) beside the aliased one, both in this run, and
// QCustomPlot with its graph anti-aliased (its default).
void BM_LongSeriesSmooth(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    const int runs = n >= 1'000'000 ? 11 : 51;
    for (auto _ : state) {
        auto chart = SeriesChart(n);
        const double aliased = KurvoPanMs(*chart, n, runs);
        chart->SetAntialiased(true);
        const double smooth = KurvoPanMs(*chart, n, runs);
        state.counters["kurvo_pan_ms"] = aliased;
        state.counters["kurvo_smooth_pan_ms"] = smooth;
        state.counters["smooth/aliased"] = smooth / aliased;
#ifdef KURVO_BENCH_QCUSTOMPLOT
        chart.reset();
        std::vector<double> x, y;
        Series(0, n, x, y);
        const double qcp = QCustomPlotMs(x, y, runs);
        state.counters["qcp_ms"] = qcp;
        state.counters["qcp/kurvo_smooth"] = qcp / smooth;
#endif
    }
}

const bool registered = [] {
    if (const char* e = std::getenv("KURVO_BENCH_1E8"); e != nullptr && std::string(e) == "1")
        benchmark::RegisterBenchmark("BM_LongSeries1e8", BM_LongSeries1e8)->Iterations(1)->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

BENCHMARK(BM_LongSeries)->ArgName("N")->Arg(1'000)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Iterations(1);
BENCHMARK(BM_LongSeriesSmooth)->ArgName("N")->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Iterations(1);
BENCHMARK(BM_AppendRates)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveData)->Iterations(1)->Unit(benchmark::kMillisecond);
