// Every shape of data beside its baseline, measured in the same run: a
// 473 x 421 chart (data area 377 x 361), thread-CPU medians.
//
// BM_ColourPerPoint/N   N DrawTo whose colour (and, in the second counter,
//                       class) changes at every point, against the same N
//                       DrawTo in one colour: append_ms, one_colour_ms,
//                       points_per_s; then the pan step of the chart
//                       (pan_ms) against the one-colour line's (ratio).
// BM_Scatter/N          N marks (DrawMarks, type 24, a filled circle of 7
//                       pixels) in a cloud: pan step against QCustomPlot's
//                       scatter graph (ssDisc of 7 pixels, no line).
// BM_CharacterMarks/N   N character marks (DrawMarks, type 88, an "X" in
//                       the chart's font) in the same cloud: pan step
//                       against the same chart drawing mark by mark
//                       (SetLineRunReduction(false)).
// BM_NanGaps            10^7 points with a NaN every 2,000: pan step
//                       against QCustomPlot's line graph (NaN breaks it).
// BM_UnsortedX/shape    10^7 points whose X runs back and forth (0 spiral,
//                       1 Lissajous, 2 phase plot of a damped oscillator):
//                       pan step against QCustomPlot's QCPCurve.
// BM_RandomXY/N         N points with X and Y at random (every point a
//                       segment across the area): pan step against
//                       QCustomPlot's QCPCurve. N = 10^8 runs only with
//                       KURVO_BENCH_1E8=1, without the baseline (a replot of
//                       QCustomPlot's curve of 10^8 points takes minutes).
// BM_FirstPaint         a new chart's first paint (construction excluded)
//                       against QCustomPlot's first replot of a new plot.
// BM_TextItems          1,000 text items: pan step against raw
//                       QPainter::drawText of the same texts in the same
//                       font on an image of the data area.
//
// A pan step is SetLayerRanges with the X range shifted by 1 % (back and
// forth), which repaints the whole chart.
#include "bench_charts.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include <benchmark/benchmark.h>

#ifdef KURVO_BENCH_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace kurvo;
using bench::CpuMs;
using bench::MedianMs;

constexpr int kWidth = 473;
constexpr int kHeight = 421;

struct TRanges {
    double xLow, xHigh, yLow, yHigh;
};

// The demo-sized chart with its window and the given ranges of layer 1.
std::unique_ptr<TKurvo> Chart(const TRanges& r)
{
    auto chart = bench::DemoSizedChart();
    chart->SetAllocSize(100000);
    chart->HandleNeeded();
    chart->SetLayerRanges(1, false, r.xLow, r.yLow, r.xHigh, r.yHigh, false);
    return chart;
}

// Median pan step: the X range shifted by 1 % of its width and back.
double PanMs(TKurvo& chart, const TRanges& r, int runs)
{
    const double shift = 0.01 * (r.xHigh - r.xLow);
    const auto step = [&](int k) {
        const double s = k % 2 == 0 ? shift : 0.0;
        chart.SetLayerRanges(1, false, r.xLow + s, r.yLow, r.xHigh + s, r.yHigh, false);
    };
    for (int k = 0; k < 3; ++k) step(k);
    return MedianMs(runs, step);
}

#ifdef KURVO_BENCH_QCUSTOMPLOT
// QCustomPlot's plot of the same size, replotted with the same pan steps.
double QcpPanMs(QCustomPlot& plot, const TRanges& r, int runs)
{
    plot.resize(kWidth, kHeight);
    plot.yAxis->setRange(r.yLow, r.yHigh);
    plot.xAxis->setRange(r.xLow, r.xHigh);
    for (int k = 0; k < 2; ++k) plot.replot();
    const double shift = 0.01 * (r.xHigh - r.xLow);
    return MedianMs(runs, [&](int k) {
        const double s = k % 2 == 0 ? shift : 0.0;
        plot.xAxis->setRange(r.xLow + s, r.xHigh + s);
        plot.replot(QCustomPlot::rpImmediateRefresh);
    });
}

QVector<QCPGraphData> GraphData(const std::vector<double>& x, const std::vector<double>& y)
{
    QVector<QCPGraphData> data(static_cast<qsizetype>(x.size()));
    for (std::size_t i = 0; i < x.size(); ++i) data[static_cast<qsizetype>(i)] = QCPGraphData(x[i], y[i]);
    return data;
}
#endif

int RunsFor(std::int64_t n) { return n >= 1'000'000 ? 11 : 51; }

// The pan step of a chart holding (x, y) as one polyline (median of `runs`)
// and, up to 10^7 points, QCustomPlot's: its curve (points joined in their
// order) or its line graph (sorted by X, NaN breaks it).
void PolylineRow(benchmark::State& state, const std::vector<double>& x, const std::vector<double>& y, const TRanges& r,
                 int runs, bool curve)
{
    auto chart = Chart(r);
    chart->DrawPolyline(x, y);
    state.counters["kurvo_ms"] = PanMs(*chart, r, runs);
    chart.reset();
#ifdef KURVO_BENCH_QCUSTOMPLOT
    if (x.size() > 10'000'000) return;
    QCustomPlot plot;
    if (curve) {
        auto* c = new QCPCurve(plot.xAxis, plot.yAxis);
        QVector<QCPCurveData> data(static_cast<qsizetype>(x.size()));
        for (std::size_t i = 0; i < x.size(); ++i) data[static_cast<qsizetype>(i)] = QCPCurveData(static_cast<double>(i), x[i], y[i]);
        c->data()->set(data, true);
    } else {
        plot.addGraph()->data()->set(GraphData(x, y), true);
    }
    const double qcp = QcpPanMs(plot, r, curve ? 3 : 5);
    state.counters["qcp_ms"] = qcp;
    state.counters["qcp/kurvo"] = qcp / state.counters["kurvo_ms"];
#else
    (void)curve;
#endif
}

// A colour from blue to red by value, as a line coloured by value is.
TColor ValueColour(double v)
{
    const int red = static_cast<int>(std::lround(127.5 + 127.5 * std::clamp(v, -1.0, 1.0)));
    return static_cast<TColor>(red | ((255 - red) << 16));
}

void BM_ColourPerPoint(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    const TRanges r{0.0, static_cast<double>(n), -1.5, 1.5};
    // Values and their colours first: the loops time the commands alone.
    std::vector<double> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
    std::vector<TColor> colours(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i);
        x[static_cast<std::size_t>(i)] = t;
        y[static_cast<std::size_t>(i)] = std::sin(0.002 * t) + 0.2 * std::sin(0.7 * t);
        colours[static_cast<std::size_t>(i)] = ValueColour(y[static_cast<std::size_t>(i)]);
    }
    const auto fill = [&](TKurvo& chart, int mode) {
        const double t0 = CpuMs();
        chart.MoveTo(0.0, 0.0);
        for (std::size_t i = 1; i < x.size(); ++i) {
            if (mode == 1) chart.SetDataColor(colours[i]);
            if (mode == 2) chart.SetClassDefault(static_cast<int>(i % 200));
            chart.DrawTo(x[i], y[i]);
        }
        return CpuMs() - t0;
    };
    for (auto _ : state) {
        auto coloured = Chart(r);
        const double appendMs = fill(*coloured, 1);
        const double classMs = fill(*Chart(r), 2);
        auto plain = Chart(r);
        const double plainMs = fill(*plain, 0);
        const int runs = RunsFor(n);
        const double pan = PanMs(*coloured, r, runs);
        const double plainPan = PanMs(*plain, r, runs);
        state.counters["append_ms"] = appendMs;
        state.counters["class_append_ms"] = classMs;
        state.counters["one_colour_ms"] = plainMs;
        state.counters["points_per_s"] = 1e3 * static_cast<double>(n) / appendMs;
        state.counters["pan_ms"] = pan;
        state.counters["one_colour_pan_ms"] = plainPan;
        state.counters["pan/one_colour"] = pan / plainPan;
    }
}

// A cloud of points: denser in the middle, thin at the edges.
void Cloud(std::int64_t n, std::vector<double>& x, std::vector<double>& y)
{
    std::mt19937_64 random(2024);
    std::normal_distribution<double> normal(0.0, 1.0);
    x.resize(static_cast<std::size_t>(n));
    y.resize(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = 50.0 + 14.0 * normal(random);
        y[i] = 0.35 * std::sin(x[i] / 9.0) + 0.3 * normal(random);
    }
}

void BM_Scatter(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    const TRanges r{0.0, 100.0, -1.5, 1.5};
    std::vector<double> x, y;
    Cloud(n, x, y);
    for (auto _ : state) {
        auto chart = Chart(r);
        chart->DrawMarks(x, y, 24);
        state.counters["kurvo_ms"] = PanMs(*chart, r, RunsFor(n));
        std::set<std::pair<int, int>> pixels;
        for (std::size_t i = 0; i < x.size(); ++i) {
            int px, py;
            chart->WorldToPixel(1, x[i], y[i], px, py);
            pixels.insert({px, py});
        }
        state.counters["distinct_pixels"] = static_cast<double>(pixels.size());
        chart.reset();
#ifdef KURVO_BENCH_QCUSTOMPLOT
        QCustomPlot plot;
        QCPGraph* graph = plot.addGraph();
        graph->setLineStyle(QCPGraph::lsNone);
        graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 7));
        graph->data()->set(GraphData(x, y), false);
        const double qcp = QcpPanMs(plot, r, RunsFor(n));
        state.counters["qcp_ms"] = qcp;
        state.counters["qcp/kurvo"] = qcp / state.counters["kurvo_ms"];
#endif
    }
}

void BM_CharacterMarks(benchmark::State& state)
{
    const TRanges r{0.0, 100.0, -1.5, 1.5};
    std::vector<double> x, y;
    Cloud(state.range(0), x, y);
    for (auto _ : state) {
        auto chart = Chart(r);
        chart->DrawMarks(x, y, 88);
        const double kurvo = PanMs(*chart, r, RunsFor(state.range(0)));
        chart->SetLineRunReduction(false);
        const double each = PanMs(*chart, r, 3);
        state.counters["kurvo_ms"] = kurvo;
        state.counters["mark_by_mark_ms"] = each;
        state.counters["mark_by_mark/kurvo"] = each / kurvo;
    }
}

void BM_NanGaps(benchmark::State& state)
{
    constexpr std::int64_t n = 10'000'000;
    const TRanges r{0.0, static_cast<double>(n), -1.5, 1.5};
    std::vector<double> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        x[static_cast<std::size_t>(i)] = static_cast<double>(i);
        y[static_cast<std::size_t>(i)] = i % 2000 == 1999 ? std::numeric_limits<double>::quiet_NaN()
                                                          : std::sin(0.2 * static_cast<double>(i));
    }
    for (auto _ : state) PolylineRow(state, x, y, r, 11, false);
}

// 10^7 points of a curve whose X runs back and forth many times.
void Unsorted(int shape, std::int64_t n, std::vector<double>& x, std::vector<double>& y)
{
    x.resize(static_cast<std::size_t>(n));
    y.resize(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        double u, v;
        switch (shape) {
        case 0: {  // a spiral of 200 turns
            const double a = 2 * 3.14159265358979323846 * 200 * t;
            u = t * std::cos(a);
            v = t * std::sin(a);
            break;
        }
        case 1:  // a Lissajous figure 301 : 299
            u = std::sin(2 * 3.14159265358979323846 * 301 * t);
            v = std::sin(2 * 3.14159265358979323846 * 299 * t + 0.5);
            break;
        default: {  // a damped oscillator in the phase plane, with noise
            const double a = 2 * 3.14159265358979323846 * 500 * t;
            const double e = std::exp(-2.0 * t);
            u = e * std::cos(a) + 0.01 * std::sin(7919.0 * a);
            v = -e * std::sin(a) + 0.01 * std::cos(104729.0 * t);
            break;
        }
        }
        x[static_cast<std::size_t>(i)] = u;
        y[static_cast<std::size_t>(i)] = v;
    }
}

void BM_UnsortedX(benchmark::State& state)
{
    const int shape = static_cast<int>(state.range(0));
    constexpr std::int64_t n = 10'000'000;
    const TRanges r{-1.2, 1.2, -1.2, 1.2};
    std::vector<double> x, y;
    Unsorted(shape, n, x, y);
    for (auto _ : state) PolylineRow(state, x, y, r, 5, true);
}

void BM_RandomXY(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    const TRanges r{-0.1, 1.1, -0.1, 1.1};
    std::vector<double> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = unit(random);
        y[i] = unit(random);
    }
    for (auto _ : state) PolylineRow(state, x, y, r, 5, true);
}

const bool registered = [] {
    auto* random = benchmark::RegisterBenchmark("BM_RandomXY", BM_RandomXY);
    random->ArgName("N")->Arg(10'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);
    if (const char* e = std::getenv("KURVO_BENCH_1E8"); e != nullptr && std::string(e) == "1") random->Arg(100'000'000);
    return true;
}();

// Median of `runs` timings of the part `timed` of a step whose `setup`
// comes first, untimed.
template <class Setup, class Timed>
double MedianPartMs(int runs, Setup setup, Timed timed)
{
    std::vector<double> t;
    for (int k = 0; k < runs; ++k) {
        auto state = setup();
        const double t0 = CpuMs();
        timed(state);
        t.push_back(CpuMs() - t0);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

void BM_FirstPaint(benchmark::State& state)
{
    // A few charts and plots first, so that both start from a heap that has
    // held pictures of this size (the first ones of a process also pay for
    // fresh pages: see kurvo_first_ms, the first chart of the run).
    const double cold = MedianPartMs(
        1, [] { return bench::DemoSizedChart(); }, [](std::unique_ptr<TKurvo>& chart) { chart->HandleNeeded(); });
    for (int k = 0; k < 3; ++k) bench::DemoSizedChart()->HandleNeeded();
#ifdef KURVO_BENCH_QCUSTOMPLOT
    for (int k = 0; k < 3; ++k) {
        QCustomPlot plot;
        plot.resize(kWidth, kHeight);
        plot.replot(QCustomPlot::rpImmediateRefresh);
    }
#endif
    for (auto _ : state) {
        state.counters["kurvo_first_ms"] = cold;
        // Construction, geometry and the first paint, as a program makes a chart.
        const double whole = MedianMs(21, [](int) {
            auto chart = bench::DemoSizedChart();
            chart->HandleNeeded();  // ends the suspension: the first paint
            benchmark::DoNotOptimize(chart.get());
        });
        const double paint = MedianPartMs(
            21, [] { return bench::DemoSizedChart(); }, [](std::unique_ptr<TKurvo>& chart) { chart->HandleNeeded(); });
        state.counters["kurvo_ms"] = whole;
        state.counters["kurvo_paint_ms"] = paint;
#ifdef KURVO_BENCH_QCUSTOMPLOT
        const double qcp = MedianMs(21, [](int) {
            QCustomPlot plot;
            plot.resize(kWidth, kHeight);
            plot.replot(QCustomPlot::rpImmediateRefresh);
        });
        const double qcpReplot = MedianPartMs(
            21,
            [] {
                auto plot = std::make_unique<QCustomPlot>();
                plot->resize(kWidth, kHeight);
                return plot;
            },
            [](std::unique_ptr<QCustomPlot>& plot) { plot->replot(QCustomPlot::rpImmediateRefresh); });
        state.counters["qcp_ms"] = qcp;
        state.counters["qcp_replot_ms"] = qcpReplot;
        state.counters["kurvo/qcp"] = whole / qcp;
#endif
    }
}

void BM_TextItems(benchmark::State& state)
{
    constexpr int n = 1000;
    const TRanges r{0.0, 100.0, 0.0, 100.0};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0.0, 100.0);
    std::vector<double> x(n), y(n);
    std::vector<std::string> texts(n);
    for (int i = 0; i < n; ++i) {
        x[static_cast<std::size_t>(i)] = unit(random);
        y[static_cast<std::size_t>(i)] = unit(random);
        texts[static_cast<std::size_t>(i)] = "P" + std::to_string(i);
    }
    for (auto _ : state) {
        auto chart = Chart(r);
        for (int i = 0; i < n; ++i) chart->Text(x[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(i)], texts[static_cast<std::size_t>(i)]);
        const double kurvo = PanMs(*chart, r, 51);
        const double empty = PanMs(*Chart(r), r, 51);
        // The same texts at the same pixels in the text items' font, on an
        // image of the data area.
        QImage image(378, 362, QImage::Format_RGB32);
        QFont font(QString::fromStdString(chart->TextFont().Name()));
        font.setPixelSize(static_cast<int>(std::lround(chart->TextFont().Size() * 96.0 / 72.0)));
        std::vector<QString> qtexts;
        for (const std::string& t : texts) qtexts.push_back(QString::fromStdString(t));
        const double raw = MedianMs(51, [&](int) {
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(font);
            painter.setPen(Qt::black);
            for (int i = 0; i < n; ++i)
                painter.drawText(QPointF(3.77 * x[static_cast<std::size_t>(i)], 361 - 3.61 * y[static_cast<std::size_t>(i)]),
                                 qtexts[static_cast<std::size_t>(i)]);
        });
        state.counters["kurvo_ms"] = kurvo;
        state.counters["texts_ms"] = kurvo - empty;
        state.counters["raw_ms"] = raw;
        state.counters["texts/raw"] = (kurvo - empty) / raw;
    }
}

}  // namespace

BENCHMARK(BM_ColourPerPoint)->ArgName("N")->Arg(80'000)->Arg(10'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scatter)->ArgName("N")->Arg(100'000)->Arg(1'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharacterMarks)->ArgName("N")->Arg(100'000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NanGaps)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPaint)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextItems)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnsortedX)->ArgName("shape")->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);
