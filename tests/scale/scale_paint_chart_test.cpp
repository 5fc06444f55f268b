// The chart's axes pass their tick and label events on to the chart's own
// events, with the chart as Sender.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kurvo;

namespace {

// The demo's geometry: 473 x 421, margins 80 / 16 / 20 / 40, X 0 ... 100 at
// the bottom, Y -5 ... 5 on the left. The data area ends at y 381.
void SetUpDemoAxes(TKurvo& chart)
{
    chart.SetBounds(0, 0, 473, 421);
    chart.SetMarginLeft(80);
    chart.SetMarginRight(16);
    chart.SetMarginTop(20);
    chart.SetMarginBottom(40);
    TScalePropsHoriz& x = *chart.Scale1X();
    x.SetRangeLow(0);
    x.SetRangeHigh(100);
    x.SetShortTicks(true);
    x.SetCaption("");
    TScalePropsVert& y = *chart.Scale1Y();
    y.SetRangeLow(-5);
    y.SetRangeHigh(5);
    y.SetShortTicks(false);
    y.SetCaption("");
    for (auto* props : {static_cast<TScaleProps*>(&x), static_cast<TScaleProps*>(&y)}) {
        props->SetDecPlaces(-2);
        props->SetMinTicks(3);
    }
}

int CountPixelsOtherThan(const TBitmap& bitmap, TColor color, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (bitmap.Pixel(x, y) != color) ++n;
    return n;
}

}  // namespace

TEST(ChartAxisEvents, TickEventsReachTheChartWithTheChartAsSender)
{
    TKurvo chart;
    SetUpDemoAxes(chart);
    struct Tick {
        TScaleType type;
        double value;
        int x, y;
    };
    std::vector<Tick> ticks;
    int labels = 0;
    chart.OnScaleTickDrawn = [&](TObject* sender, TCanvas& canvas, TScaleType type, double v, int x, int y) {
        EXPECT_EQ(sender, &chart);
        EXPECT_EQ(&canvas, &TCustomKurvoPrivate::Get(chart).ControlBitmap().Canvas());
        ticks.push_back({type, v, x, y});
    };
    chart.OnBeforeTickLabel = [&](TObject* sender, TScaleType, double, std::string&) {
        EXPECT_EQ(sender, &chart);
        ++labels;
    };
    chart.HandleNeeded();  // the first paint

    int left = 0;
    int bottom = 0;
    for (const Tick& t : ticks) {
        if (t.type == sctYR) {
            ++left;
            // Client pixels of the chart: on the data area's left edge, at the
            // height the chart maps the value to.
            int px = 0;
            int py = 0;
            chart.WorldToPixel(1, 0.0, t.value, px, py);
            EXPECT_EQ(t.x, 80) << t.value;
            EXPECT_EQ(t.y, py) << t.value;
        } else {
            EXPECT_EQ(t.type, sctXT);
            ++bottom;
            int px = 0;
            int py = 0;
            chart.WorldToPixel(1, t.value, 0.0, px, py);
            EXPECT_EQ(t.x, px) << t.value;
            EXPECT_EQ(t.y, 381) << t.value;
        }
    }
    // Y: long ticks -4 ... 4. X: short ticks every 5 and long ticks every 20.
    EXPECT_EQ(left, 5);
    EXPECT_EQ(bottom, 21 + 6);
    EXPECT_EQ(labels, 5 + 6);
}

TEST(ChartAxisEvents, ChartLabelHandlerChangesTheDrawnText)
{
    TKurvo chart;
    SetUpDemoAxes(chart);
    bool emptyBottomLabels = false;
    chart.OnBeforeTickLabel = [&](TObject*, TScaleType type, double, std::string& text) {
        if (emptyBottomLabels && type == sctXT) text.clear();
    };
    chart.HandleNeeded();

    const TBitmap& bitmap = TCustomKurvoPrivate::Get(chart).ControlBitmap();
    const TColor face = ColorToRGB(chart.WindColor());
    const int h = TCustomKurvoPrivate::Get(chart).ControlBitmap().Canvas().TextHeight("0");
    // Bottom labels: from 7 pixels below the base line at y 381. Left
    // labels: ending 8 pixels left of the base line at x 80.
    auto bottomLabelPixels = [&] { return CountPixelsOtherThan(bitmap, face, 0, 388, 473, 388 + h); };
    auto leftLabelPixels = [&] { return CountPixelsOtherThan(bitmap, face, 0, 20 - h, 72, 381 + h); };
    EXPECT_GT(bottomLabelPixels(), 0);
    EXPECT_GT(leftLabelPixels(), 0);

    emptyBottomLabels = true;
    chart.Paint();
    EXPECT_EQ(bottomLabelPixels(), 0);
    EXPECT_GT(leftLabelPixels(), 0);
}
