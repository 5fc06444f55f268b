// Series beside QCustomPlot 2.1 (Qt 6), each pair in one run. Times are
// medians of thread CPU time on a 473 x 421 chart (data area 377 x 361).
//
// BM_SeriesLinePan         10^7 points x = i, y = sin(0.2 i): one pan step
//                          (X range shifted by 1 % of N, full repaint);
//                          QCustomPlot: setRange + replot of a QCPGraph.
// BM_SeriesScatterPan      10^6 uniformly scattered points drawn as 5-pixel
//                          filled circles (TMark::SmallFilledCircle; QCP's
//                          ssDisc of size 5, no line): one pan step.
// BM_SeriesAppend          10^7 points appended in one call (Append of two
//                          spans; QCP's addData of two vectors, sorted),
//                          in million points a second.
// BM_SeriesStreaming       a ring of 10^7 points (SetCapacity, the view
//                          following the newest X), per frame 10,000 more
//                          and a full repaint; QCP: addData, removeBefore,
//                          setRange, replot.
// BM_SeriesViewLinePan     the 10^7 points of BM_SeriesLinePan read by a
//                          series over a view of the two arrays (SetView):
//                          set-up and one pan step beside the series that
//                          holds copies (SetData) in the same run, and the
//                          bytes per point each keeps.
// BM_SeriesNearestPoint    NearestPoint within 10 pixels on the 10^7-point
//                          line at 200 pointer positions spread over the
//                          data area; QCP: QCPGraph::selectTest at the same
//                          positions (whose tolerance is its own).
#include "bench_charts.h"
#include "chart/series_private.h"

#include <QPointF>

#include <benchmark/benchmark.h>

#ifdef KURVO_BENCH_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include <time.h>

namespace {

using namespace kurvo;

constexpr int kWidth = 473;
constexpr int kHeight = 421;

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Median of `runs` timings after `warm` untimed calls.
double Median(int warm, int runs, const std::function<void(int)>& f)
{
    for (int k = 0; k < warm; ++k) f(k);
    std::vector<double> t;
    for (int k = 0; k < runs; ++k) {
        const double t0 = CpuMs();
        f(warm + k);
        t.push_back(CpuMs() - t0);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

struct TPoints {
    std::vector<double> X, Y;
};

TPoints Sine(std::int64_t from, std::int64_t n)
{
    TPoints p;
    p.X.resize(static_cast<std::size_t>(n));
    p.Y.resize(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        p.X[static_cast<std::size_t>(i)] = static_cast<double>(from + i);
        p.Y[static_cast<std::size_t>(i)] = std::sin(0.2 * static_cast<double>(from + i));
    }
    return p;
}

TPoints Scatter(std::int64_t n)
{
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    TPoints p;
    for (std::int64_t i = 0; i < n; ++i) {
        p.X.push_back(100.0 * unit(random));
        p.Y.push_back(100.0 * unit(random));
    }
    return p;
}

// A shown chart with one series of `points`, X 0 ... xHigh, Y yLow ... yHigh.
std::unique_ptr<TKurvo> SeriesChart(const TPoints& points, TSeriesStyle style, double xHigh, double yLow, double yHigh)
{
    auto chart = bench::DemoSizedChart();
    TKurvoSeries* s = chart->AddSeries("s");
    s->SetData(points.X, points.Y);
    s->SetStyle(style);
    s->SetMark(TMark::SmallFilledCircle);
    s->SetPen(QColor(0, 0, 160));
    chart->HandleNeeded();
    chart->SetLayerRanges(1, false, 0, yLow, xHigh, yHigh, false);
    return chart;
}

double KurvoPanMs(TKurvo& chart, double width, double yLow, double yHigh, int runs)
{
    return Median(5, runs, [&](int k) {
        const double low = k % 2 == 0 ? 0.01 * width : 0.0;
        chart.SetLayerRanges(1, false, low, yLow, low + width, yHigh, false);
    });
}

#ifdef KURVO_BENCH_QCUSTOMPLOT
std::unique_ptr<QCustomPlot> Plot(const TPoints& points, bool scatter, double xHigh, double yLow, double yHigh)
{
    auto plot = std::make_unique<QCustomPlot>();
    plot->resize(kWidth, kHeight);
    QCPGraph* graph = plot->addGraph();
    graph->setData(QVector<double>(points.X.begin(), points.X.end()), QVector<double>(points.Y.begin(), points.Y.end()),
                   !scatter);
    if (scatter) {
        graph->setLineStyle(QCPGraph::lsNone);
        graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 5));
    }
    plot->xAxis->setRange(0, xHigh);
    plot->yAxis->setRange(yLow, yHigh);
    for (int k = 0; k < 3; ++k) plot->replot();
    return plot;
}

double PlotPanMs(QCustomPlot& plot, double width, int runs)
{
    return Median(2, runs, [&](int k) {
        const double low = k % 2 == 0 ? 0.01 * width : 0.0;
        plot.xAxis->setRange(low, low + width);
        plot.replot(QCustomPlot::rpImmediateRefresh);
    });
}
#endif

void Report(benchmark::State& state, const char* what, double kurvo, double qcp, bool higherIsBetter = false)
{
    state.counters[std::string("kurvo_") + what] = kurvo;
#ifdef KURVO_BENCH_QCUSTOMPLOT
    state.counters[std::string("qcp_") + what] = qcp;
    state.counters["qcp/kurvo"] = higherIsBetter ? kurvo / qcp : qcp / kurvo;
#else
    (void)qcp;
    (void)higherIsBetter;
#endif
}

void BM_SeriesLinePan(benchmark::State& state)
{
    constexpr std::int64_t n = 10'000'000;
    const TPoints points = Sine(0, n);
    for (auto _ : state) {
        auto chart = SeriesChart(points, TSeriesStyle::Line, n, -1.5, 1.5);
        const double kurvo = KurvoPanMs(*chart, n, -1.5, 1.5, 51);
        std::int64_t bytes = 0;
        for (const TSegment& segment : TSeriesPrivate::Get(*chart->Series(0)).Segments)
            bytes += segment.Items->MemoryBytes();
        state.counters["bytes_per_point"] = static_cast<double>(bytes) / static_cast<double>(n);
        chart.reset();
        double qcp = 0.0;
#ifdef KURVO_BENCH_QCUSTOMPLOT
        auto plot = Plot(points, false, n, -1.5, 1.5);
        qcp = PlotPanMs(*plot, n, 7);
#endif
        Report(state, "pan_ms", kurvo, qcp);
    }
}

void BM_SeriesViewLinePan(benchmark::State& state)
{
    constexpr std::int64_t n = 10'000'000;
    const TPoints points = Sine(0, n);
    for (auto _ : state) {
        auto owned = bench::DemoSizedChart();
        double t0 = CpuMs();
        owned->AddSeries("s")->SetData(points.X, points.Y);
        const double ownedSetUp = CpuMs() - t0;
        std::int64_t bytes = 0;
        for (const TSegment& segment : TSeriesPrivate::Get(*owned->Series(0)).Segments)
            bytes += segment.Items->MemoryBytes();
        auto viewed = bench::DemoSizedChart();
        t0 = CpuMs();
        viewed->AddSeries("s")->SetView(TKurvoSampleView(std::span<const double>(points.Y)).SetXValues(points.X));
        const double viewSetUp = CpuMs() - t0;
        for (TKurvo* chart : {owned.get(), viewed.get()}) {
            chart->Series(0)->SetPen(QColor(0, 0, 160));
            chart->HandleNeeded();
            chart->SetLayerRanges(1, false, 0, -1.5, n, 1.5, false);
        }
        state.counters["view_pan_ms"] = KurvoPanMs(*viewed, n, -1.5, 1.5, 51);
        state.counters["owned_pan_ms"] = KurvoPanMs(*owned, n, -1.5, 1.5, 51);
        state.counters["view_setup_ms"] = viewSetUp;
        state.counters["owned_setup_ms"] = ownedSetUp;
        state.counters["view_bytes_per_point"] =
            static_cast<double>(TSeriesPrivate::Get(*viewed->Series(0)).View->MemoryBytes()) / static_cast<double>(n);
        state.counters["owned_bytes_per_point"] = static_cast<double>(bytes) / static_cast<double>(n);
    }
}

void BM_SeriesScatterPan(benchmark::State& state)
{
    const TPoints points = Scatter(1'000'000);
    for (auto _ : state) {
        auto chart = SeriesChart(points, TSeriesStyle::Marks, 100, 0, 100);
        const double kurvo = KurvoPanMs(*chart, 100, 0, 100, 21);
        chart.reset();
        double qcp = 0.0;
#ifdef KURVO_BENCH_QCUSTOMPLOT
        auto plot = Plot(points, true, 100, 0, 100);
        qcp = PlotPanMs(*plot, 100, 21);
#endif
        Report(state, "pan_ms", kurvo, qcp);
    }
}

void BM_SeriesAppend(benchmark::State& state)
{
    constexpr std::int64_t n = 10'000'000;
    const TPoints points = Sine(0, n);
    for (auto _ : state) {
        auto chart = std::make_unique<TKurvo>();
        TKurvoSeries* s = chart->AddSeries("s");
        double t0 = CpuMs();
        s->Append(points.X, points.Y);
        const double kurvoMs = CpuMs() - t0;
        chart.reset();
        double qcpMs = 1.0;
#ifdef KURVO_BENCH_QCUSTOMPLOT
        const QVector<double> keys(points.X.begin(), points.X.end()), values(points.Y.begin(), points.Y.end());
        QCustomPlot plot;
        QCPGraph* graph = plot.addGraph();
        t0 = CpuMs();
        graph->addData(keys, values, true);
        qcpMs = CpuMs() - t0;
#endif
        Report(state, "Mpoints_s", 1e-3 * n / kurvoMs, 1e-3 * n / qcpMs, true);
    }
}

void BM_SeriesStreaming(benchmark::State& state)
{
    constexpr std::int64_t n = 10'000'000;
    constexpr std::int64_t perFrame = 10'000;
    const TPoints start = Sine(0, n);
    for (auto _ : state) {
        auto chart = SeriesChart(start, TSeriesStyle::Line, n, -1.5, 1.5);
        TKurvoSeries* s = chart->Series(0);
        s->SetCapacity(n);
        s->SetFollowNewest(true);
        std::int64_t total = n;
        // 1001 frames: the ring is rebuilt once within them (every 10^7
        // points); the median leaves that frame out, the maximum shows it.
        std::vector<double> frames;
        const double kurvo = Median(3, 1001, [&](int) {
            const TPoints next = Sine(total, perFrame);
            const double t0 = CpuMs();
            s->Append(next.X, next.Y);
            chart->Paint();
            frames.push_back(CpuMs() - t0);
            total += perFrame;
        });
        state.counters["kurvo_max_frame_ms"] = *std::max_element(frames.begin(), frames.end());
        state.counters["points"] = static_cast<double>(s->Count());
        chart.reset();
        double qcp = 0.0;
#ifdef KURVO_BENCH_QCUSTOMPLOT
        auto plot = Plot(start, false, n, -1.5, 1.5);
        QCPGraph* graph = plot->graph(0);
        std::int64_t qcpTotal = n;
        qcp = Median(3, 51, [&](int) {
            const TPoints next = Sine(qcpTotal, perFrame);
            graph->addData(QVector<double>(next.X.begin(), next.X.end()), QVector<double>(next.Y.begin(), next.Y.end()),
                           true);
            qcpTotal += perFrame;
            graph->data()->removeBefore(static_cast<double>(qcpTotal - n));
            plot->xAxis->setRange(static_cast<double>(qcpTotal - n), static_cast<double>(qcpTotal));
            plot->replot(QCustomPlot::rpImmediateRefresh);
        });
#endif
        Report(state, "frame_ms", kurvo, qcp);
    }
}

void BM_SeriesNearestPoint(benchmark::State& state)
{
    constexpr std::int64_t n = 10'000'000;
    const TPoints points = Sine(0, n);
    std::vector<QPoint> probes;
    for (int k = 0; k < 200; ++k) probes.emplace_back(80 + (k * 37) % 377, 20 + (k * 53) % 361);
    for (auto _ : state) {
        auto chart = SeriesChart(points, TSeriesStyle::Line, n, -1.5, 1.5);
        chart->Paint();
        int found = 0;
        const double kurvo = Median(20, 200, [&](int k) {
            found += chart->NearestPoint(probes[static_cast<std::size_t>(k) % probes.size()], 10).has_value();
        });
        state.counters["kurvo_found_share"] = static_cast<double>(found) / 220.0;
        chart.reset();
        double qcp = 0.0;
#ifdef KURVO_BENCH_QCUSTOMPLOT
        auto plot = Plot(points, false, n, -1.5, 1.5);
        QCPGraph* graph = plot->graph(0);
        qcp = Median(2, 21, [&](int k) {
            QVariant details;
            benchmark::DoNotOptimize(graph->selectTest(QPointF(probes[static_cast<std::size_t>(k) % probes.size()]),
                                                       false, &details));
        });
#endif
        Report(state, "query_ms", kurvo, qcp);
    }
}

}  // namespace

BENCHMARK(BM_SeriesLinePan)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesScatterPan)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesAppend)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesStreaming)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesViewLinePan)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesNearestPoint)->Iterations(1)->Unit(benchmark::kMillisecond);
