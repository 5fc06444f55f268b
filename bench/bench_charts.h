// Charts and timing helpers the benchmarks share.
#pragma once

#include "chart/Qorn_kurvo.h"

#include <chrono>
#include <cmath>
#include <memory>

namespace kurvo::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

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
