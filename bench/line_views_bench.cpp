// Line views against the copying path, on the demo-sized chart (data area
// 377 x 361); times are thread CPU times unless named wall, pans are
// medians of steps that shift the X range by 1 % and repaint in full.
//
// BM_LineViewDoubles/N: N doubles y = sin(0.2 i) at x = i held by the program.
//   view_setup_ms   AddLineView(x, y): the per-column structures, nothing copied;
//   view_paint_ms   the first full paint after it;
//   view_pan_ms     a pan step;
//   copy_setup_ms   MoveTo + AppendLinePoints of the same arrays (the copy);
//   copy_pan_ms     a pan step of that chart;
//   view_bytes_per_point / copy_bytes_per_point   what the chart holds.
// BM_SampleFile/N: a raw file of N int16 samples (a noisy sine) in the
// temporary folder, opened with OpenSampleFile.
//   ready_wall_ms   open until the worker reports every point (wall clock:
//                   the worker runs on its own thread), cold and warm page
//                   cache are not told apart (the file was just written);
//   ready_cpu_ms    the CPU time of the process meanwhile: the worker's, as
//                   this thread sleeps while it waits;
//   first_paint_ms  the full picture after that;
//   pan_ms          a pan step;
//   anon_mb         resident memory of this process that is not file pages
//                   (RssAnon), grown since before the open;
//   copy_pan_ms     the pan step of the same samples converted to doubles and
//                   copied into the data list (N <= 10^8 only).
// N = 10^8 (doubles) and 10^9 (file, 2 GB) run only with KURVO_BENCH_1E8=1.
#include "bench_charts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <time.h>

namespace {

using namespace kurvo;
using bench::Clock;
using bench::CpuMs;
using bench::MedianMs;

// A value of /proc/self/status in MB ("VmRSS:", "RssAnon:").
double StatusMb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + key.size()) / 1024.0;
    return 0.0;
}

double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double PanMs(TKurvo& chart, double width, int runs)
{
    const auto step = [&](int k) {
        const double low = k % 2 == 0 ? 0.01 * width : 0.0;
        chart.SetLayerRanges(1, false, low, -1.5, low + width, 1.5, false);
    };
    for (int k = 0; k < 5; ++k) step(k);
    return MedianMs(runs, step);
}

void BM_LineViewDoubles(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    std::vector<double> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        x[static_cast<std::size_t>(i)] = static_cast<double>(i);
        y[static_cast<std::size_t>(i)] = std::sin(0.2 * static_cast<double>(i));
    }
    const double width = static_cast<double>(n);
    for (auto _ : state) {
        auto chart = bench::DemoSizedChart();
        chart->HandleNeeded();
        chart->SetLayerRanges(1, false, 0, -1.5, width, 1.5, false);
        double t0 = CpuMs();
        chart->AddLineView(x, y);
        state.counters["view_setup_ms"] = CpuMs() - t0;
        t0 = CpuMs();
        chart->Paint();
        state.counters["view_paint_ms"] = CpuMs() - t0;
        const double viewPan = PanMs(*chart, width, 51);
        state.counters["view_pan_ms"] = viewPan;
        state.counters["view_bytes_per_point"] =
            static_cast<double>(chart->LineViewBytes() + chart->DataBytes()) / static_cast<double>(n);
        chart.reset();

        auto copy = bench::DemoSizedChart();
        copy->HandleNeeded();
        copy->SetAllocSize(1000000);
        t0 = CpuMs();
        copy->MoveTo(x[0], y[0]);
        copy->AppendLinePoints(x.data() + 1, y.data() + 1, n - 1);
        state.counters["copy_setup_ms"] = CpuMs() - t0;
        copy->SetLayerRanges(1, false, 0, -1.5, width, 1.5, false);
        const double copyPan = PanMs(*copy, width, 51);
        state.counters["copy_pan_ms"] = copyPan;
        state.counters["copy_bytes_per_point"] = static_cast<double>(copy->DataBytes()) / static_cast<double>(n);
        state.counters["copy/view_pan"] = copyPan / viewPan;
    }
}

void BM_SampleFile(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    const QString path = QDir::temp().filePath(QStringLiteral("kurvo-bench-%1.raw").arg(n));
    {
        // Written in blocks of 2^20 samples, untimed.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the sample file");
            return;
        }
        std::vector<std::int16_t> block(1 << 20);
        for (std::int64_t from = 0; from < n; from += static_cast<std::int64_t>(block.size())) {
            const std::int64_t m = std::min<std::int64_t>(static_cast<std::int64_t>(block.size()), n - from);
            for (std::int64_t i = 0; i < m; ++i)
                block[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
                    20000.0 * std::sin(2e-6 * static_cast<double>(from + i)) + static_cast<double>((from + i) * 7919 % 2001) - 1000.0);
            file.write(reinterpret_cast<const char*>(block.data()), m * 2);
        }
    }
    TSampleFileLayout layout;
    layout.Scale = 1.0 / 30000.0;
    const double width = static_cast<double>(n);
    for (auto _ : state) {
        const double anonBefore = StatusMb("RssAnon:");
        auto chart = bench::DemoSizedChart();
        chart->HandleNeeded();
        chart->SetLayerRanges(1, false, 0, -1.5, width, 1.5, false);
        const auto t0 = Clock::now();
        const double cpu0 = ProcessCpuMs();
        const int id = chart->OpenSampleFile(path, layout);
        while (chart->LineViewReady(id) < n) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        state.counters["ready_wall_ms"] = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        state.counters["ready_cpu_ms"] = ProcessCpuMs() - cpu0;
        double c0 = CpuMs();
        chart->Paint();
        state.counters["first_paint_ms"] = CpuMs() - c0;
        state.counters["pan_ms"] = PanMs(*chart, width, 51);
        state.counters["anon_mb"] = StatusMb("RssAnon:") - anonBefore;
        state.counters["structure_mb"] = static_cast<double>(chart->LineViewBytes()) / 1048576.0;
        chart.reset();
        if (n <= 100'000'000) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            const auto* s = reinterpret_cast<const std::int16_t*>(bytes.constData());
            std::vector<double> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
            for (std::int64_t i = 0; i < n; ++i) {
                x[static_cast<std::size_t>(i)] = static_cast<double>(i);
                y[static_cast<std::size_t>(i)] = static_cast<double>(s[i]) * layout.Scale;
            }
            auto copy = bench::DemoSizedChart();
            copy->HandleNeeded();
            copy->SetAllocSize(1000000);
            copy->MoveTo(x[0], y[0]);
            copy->AppendLinePoints(x.data() + 1, y.data() + 1, n - 1);
            copy->SetLayerRanges(1, false, 0, -1.5, width, 1.5, false);
            state.counters["copy_pan_ms"] = PanMs(*copy, width, 51);
        }
    }
    QFile::remove(path);
}

const bool registered = [] {
    const char* e = std::getenv("KURVO_BENCH_1E8");
    const bool large = e != nullptr && std::string(e) == "1";
    auto* doubles = benchmark::RegisterBenchmark("BM_LineViewDoubles", BM_LineViewDoubles);
    doubles->ArgName("N")->Arg(1'000'000)->Arg(10'000'000)->Iterations(1);
    auto* file = benchmark::RegisterBenchmark("BM_SampleFile", BM_SampleFile);
    file->ArgName("N")->Arg(10'000'000)->Iterations(1);
    if (large) {
        doubles->Arg(100'000'000);
        file->Arg(100'000'000)->Arg(1'000'000'000);
    }
    return true;
}();

}  // namespace
