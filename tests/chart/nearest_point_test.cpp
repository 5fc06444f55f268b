// NearestPoint against the plain search over every point, and the hover
// built on it: its events and the texts of its tool tip.
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QToolTip>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The pixels of the drawn points of the shown series: finite, inside the
// data area.
std::vector<QPoint> DrawnPixels(TKurvo& chart)
{
    std::vector<QPoint> out;
    const int right = chart.Width() - chart.MarginRight(), bottom = chart.Height() - chart.MarginBottom();
    for (int k = 0; k < chart.SeriesCount(); ++k) {
        TKurvoSeries& s = *chart.Series(k);
        if (!s.Visible()) continue;
        for (std::int64_t i = 0; i < s.Count(); ++i) {
            if (!std::isfinite(s.X(i)) || !std::isfinite(s.Y(i))) continue;
            int px, py;
            chart.WorldToPixel(s.Layer(), s.X(i), s.Y(i), px, py);
            if (px >= chart.MarginLeft() && px <= right && py >= chart.MarginTop() && py <= bottom)
                out.emplace_back(px, py);
        }
    }
    return out;
}

// The squared distance of the nearest of `pixels` within `reach`, or -1.
std::int64_t PlainNearest(const std::vector<QPoint>& pixels, QPoint p, int reach)
{
    std::int64_t best = -1;
    for (const QPoint q : pixels) {
        const std::int64_t d = std::int64_t{q.x() - p.x()} * (q.x() - p.x()) + std::int64_t{q.y() - p.y()} * (q.y() - p.y());
        if (d <= std::int64_t{reach} * reach && (best < 0 || d < best)) best = d;
    }
    return best;
}

struct TCase {
    const char* Name;
    int Points;
    bool Sorted, Gaps, Ring, Reversed, Log;
    bool View = false;  // read through a view of the arrays
};

}  // namespace

TEST(NearestPoint, FindsThePointThePlainSearchFinds)
{
    const TCase cases[] = {
        {"sorted sine", 200000, true, false, false, false, false},
        {"unsorted scatter", 20000, false, false, false, false, false},
        {"gaps", 30000, true, true, false, false, false},
        {"ring", 30000, true, false, true, false, false},
        {"reversed", 30000, true, false, false, true, false},
        {"logarithmic scatter", 20000, false, true, false, false, true},
        {"view with gaps", 200000, true, true, false, false, false, true},
        {"view, unsorted scatter", 20000, false, true, false, false, false, true},
    };
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const TCase& c : cases) {
        TKurvo chart;
        DemoGeometry(chart);
        std::vector<double> x, y;
        for (int i = 0; i < c.Points; ++i) {
            x.push_back(c.Sorted ? 100.0 * i / c.Points : 100.0 * unit(random));
            y.push_back(c.Sorted ? 4.0 * std::sin(0.002 * i) : 9.0 * unit(random) + 0.5);
            if (c.Gaps && unit(random) < 0.01) (unit(random) < 0.5 ? x : y).back() = kNaN;
        }
        TKurvoSeries* s = chart.AddSeries("s");
        if (c.View) {
            s->SetView(TKurvoSampleView(std::span<const double>(y)).SetXValues(x));
        } else if (c.Ring) {
            s->SetCapacity(c.Points / 3);
            s->Append(x, y);
        } else {
            s->SetData(x, y);
        }
        // A second, sparse series on top, partly hidden by the first.
        TKurvoSeries* top = chart.AddSeries("top");
        top->SetData(std::vector<double>{10, 50, 90}, std::vector<double>{1, 2, 3});
        if (c.Reversed) {
            chart.Scale1X()->SetRangeLow(100);
            chart.Scale1X()->SetRangeHigh(0);
        }
        if (c.Log) {
            chart.Scale1X()->SetRangeLow(1);
            chart.Scale1Y()->SetRangeLow(0.5);
            chart.Scale1Y()->SetRangeHigh(10);
            chart.Scale1X()->SetLogarithmic(true);
            chart.Scale1Y()->SetLogarithmic(true);
        }
        chart.CalcTransforms();
        const std::vector<QPoint> pixels = DrawnPixels(chart);
        for (int probe = 0; probe < 150; ++probe) {
            const QPoint p(60 + static_cast<int>(unit(random) * 430), static_cast<int>(unit(random) * 420));
            const int reach = probe % 3 == 0 ? 3 : (probe % 3 == 1 ? 12 : 400);
            const std::int64_t expected = PlainNearest(pixels, p, reach);
            const std::optional<TSeriesPoint> found = chart.NearestPoint(p, reach);
            ASSERT_EQ(found.has_value(), expected >= 0) << c.Name << " at " << p.x() << ", " << p.y();
            if (!found) continue;
            // The point is the series' own and lies at the nearest distance.
            EXPECT_EQ(found->X, found->Series->X(found->Index)) << c.Name;
            EXPECT_EQ(found->Y, found->Series->Y(found->Index)) << c.Name;
            int px, py;
            chart.WorldToPixel(1, found->X, found->Y, px, py);
            EXPECT_EQ(std::int64_t{px - p.x()} * (px - p.x()) + std::int64_t{py - p.y()} * (py - p.y()), expected)
                << c.Name << " at " << p.x() << ", " << p.y();
        }
    }
}

// Hidden series, points outside the data area, ties and reach.
TEST(NearestPoint, RulesOfWhatCounts)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.CalcTransforms();
    TKurvoSeries* under = chart.AddSeries("under");
    TKurvoSeries* over = chart.AddSeries("over");
    under->SetData(std::vector<double>{50, 120}, std::vector<double>{0, 0});
    over->SetData(std::vector<double>{50}, std::vector<double>{0});
    int px, py;
    chart.WorldToPixel(1, 50, 0, px, py);
    const auto at = [&](int dx, int reach) { return chart.NearestPoint(QPoint(px + dx, py), reach); };
    EXPECT_EQ(at(0, 0)->Series, over);  // a tie goes to the series drawn later
    over->SetVisible(false);
    EXPECT_EQ(at(0, 0)->Series, under);
    EXPECT_EQ(at(5, 5)->Index, 0);
    EXPECT_FALSE(at(6, 5));
    // X 120 lies beyond the data area: not drawn, not found.
    int ox, oy;
    chart.WorldToPixel(1, 120, 0, ox, oy);
    EXPECT_FALSE(chart.NearestPoint(QPoint(ox, oy), 3));
    EXPECT_FALSE(chart.NearestPoint(QPoint(px, py), -1));
}

// The hover raises its event when the point changes and ends when the
// pointer leaves; its tool tip shows the name and the values as the axes
// write them.
TEST(NearestPoint, HoverReportsChangesAndFormatsLikeTheAxes)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.HandleNeeded();
    TKurvoSeries* s = chart.AddSeries("speed");
    s->SetData(std::vector<double>{20, 60}, std::vector<double>{1.25, -2});
    chart.Paint();
    std::vector<std::string> seen;
    chart.OnHoverPointChange = [&](TObject*, const std::optional<TSeriesPoint>& p) {
        seen.push_back(p ? std::to_string(p->Index) : "none");
    };
    chart.OnMouseMoveInChart = [&](TObject*, bool, TShiftState, double, double) { seen.push_back("in chart"); };
    QObject::connect(&chart, &TCustomKurvo::hoverPointChanged, [&](int series, qint64 index, QPointF p) {
        seen.push_back("signal " + std::to_string(series) + " " + std::to_string(index) + " " + std::to_string(p.x()));
    });
    int px, py;
    chart.WorldToPixel(1, 20, 1.25, px, py);
    chart.WMMouseMove({}, px, py);  // hover off: nothing
    chart.SetHoverTracking(true);
    chart.WMMouseMove({}, px + 2, py);
    chart.WMMouseMove({}, px + 3, py);  // the same point: no event
    EXPECT_EQ(QToolTip::text().toStdString(), "speed\nx = 20.0\ny = 1.25");
    chart.WMMouseMove({}, px + 100, py);
    chart.WMMouseMove({}, px, py);
    chart.MouseLeave();
    EXPECT_EQ(seen, (std::vector<std::string>{"in chart", "0", "signal 0 0 20.000000", "in chart", "in chart", "none",
                                              "signal -1 -1 0.000000", "in chart", "0", "signal 0 0 20.000000",
                                              "in chart", "none", "signal -1 -1 0.000000"}));
    // A resting pointer: after each paint the hover looks again at what
    // the data and the view now put under it; after the pointer left, not.
    chart.WMMouseMove({}, px, py);
    seen.clear();
    const struct {
        std::function<void()> Change;
        const char* Seen;
    } still[] = {
        {[&] { s->SetData(std::vector<double>{40}, std::vector<double>{0}); }, "none"},
        {[&] { s->Append(20, 1.25); }, "1"},
        {[&] { chart.Scale1X()->SetRangeLow(10); }, "none"},
        {[&] { chart.Scale1X()->SetRangeLow(0); }, "1"},
        {[&] { chart.MouseLeave(); }, "none"},
        {[&] { s->Append(20, 1.25); }, ""},
    };
    for (const auto& row : still) {
        seen.clear();
        row.Change();
        chart.Paint();
        QCoreApplication::processEvents();
        EXPECT_EQ(seen.empty() ? "" : seen.front(), std::string(row.Seen)) << row.Seen;
    }
    // Time and date/time axes.
    chart.Scale1X()->SetLabelType(ftTime);
    s->SetData(std::vector<double>{3725.5}, std::vector<double>{0});
    chart.Scale1X()->SetRangeLow(3700);
    chart.Scale1X()->SetRangeHigh(3750);
    chart.Paint();
    chart.WorldToPixel(1, 3725.5, 0, px, py);
    chart.WMMouseMove({}, px, py);
    EXPECT_EQ(QToolTip::text().toStdString(), "speed\nx = 01:02:05.500\ny = 0.00");
    chart.Scale1X()->SetLabelType(ftDateTime);
    s->SetData(std::vector<double>{46023.75}, std::vector<double>{0});
    chart.Scale1X()->SetRangeHigh(46030);
    chart.Scale1X()->SetRangeLow(46020);
    chart.Paint();
    chart.WorldToPixel(1, 46023.75, 0, px, py);
    chart.WMMouseMove({}, px, py);
    EXPECT_EQ(QToolTip::text().toStdString(), "speed\nx = 01-Jan-2026 18:00:00\ny = 0.00");
}
