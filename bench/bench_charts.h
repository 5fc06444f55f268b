// Charts and timing helpers the benchmarks share.
#pragma once

#include "chart/Qorn_kurvo.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include <time.h>

namespace kurvo::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// CPU time of this thread in milliseconds: the machine may be shared, and
// other processes' turns on the cores are not ours.
inline double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The median of `runs` timings of f(step), in thread CPU time.
inline double MedianMs(int runs, const std::function<void(int)>& f)
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

// An empty chart of the demo's size (473 x 421) and margins: a data area of
// 377 x 361.
inline std::unique_ptr<TKurvo> DemoSizedChart()
{
    auto chart = std::make_unique<TKurvo>();
    chart->SetMarginLeft(80);
    chart->SetMarginRight(16);
    chart->SetMarginTop(20);
    chart->SetMarginBottom(40);
    chart->SetBounds(0, 0, 473, 421);
    return chart;
}

// The demo-sized chart showing a move to (0, 0) and `items` line-to items of
// 4 sin(0.2 i) over X 0 ... items, Y -5 ... 5, with its window created.
inline std::unique_ptr<TKurvo> SinePolylineChart(int items)
{
    auto chart = DemoSizedChart();
    chart->Scale1X()->SetRangeLow(0);
    chart->Scale1X()->SetRangeHigh(items);
    chart->Scale1Y()->SetRangeLow(-5);
    chart->Scale1Y()->SetRangeHigh(5);
    chart->SetAllocSize(items + 1);
    chart->MoveTo(0, 0);
    for (int i = 1; i <= items; ++i) chart->DrawTo(i, 4.0 * std::sin(0.2 * i));
    chart->HandleNeeded();
    return chart;
}

}  // namespace kurvo::bench
