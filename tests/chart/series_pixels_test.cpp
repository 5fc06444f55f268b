// Series draw the pixels of the display-list drawing they stand for: a line
// series those of the point-by-point polyline (DrawPolyline with the
// reduction of long runs off), marks those of DrawMarks, steps the polyline
// through their corners, bars Rectangle items. Seeded series of several
// shapes, gaps and views are painted both ways and compared pixel by pixel.
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct TData {
    std::vector<double> X, Y;
};

// x = 1 ... n; positive Y (a logarithmic axis shows them too); shape 0 a
// sine, 1 a random walk with NaN and infinite gaps, 2 spikes and duplicates.
TData Make(int shape, int n, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    TData d;
    double walk = 5.0;
    for (int i = 0; i < n; ++i) {
        double y = 5.0 + 3.5 * std::sin(0.2 * i);
        if (shape == 1) {
            walk = std::clamp(walk + (unit(random) - 0.5) * 0.4, 1.0, 9.0);
            y = unit(random) < 0.002 ? (unit(random) < 0.5 ? kNaN : HUGE_VAL) : walk;
        } else if (shape == 2) {
            y = unit(random) < 0.01 ? 1.0 + 8.0 * unit(random) : 5.0 + std::round(unit(random) * 4) * 0.01;
        }
        d.X.push_back(i + 1.0);
        d.Y.push_back(y);
    }
    return d;
}

std::unique_ptr<TKurvo> NewChart()
{
    auto chart = std::make_unique<TKurvo>();
    DemoGeometry(*chart);
    chart->SetChartColor(clWhite);
    chart->SetAllocSize(1000000);
    return chart;
}

struct TView {
    const char* Name;
    double From, To;  // fractions of the X extent
    bool Reverse, Log;
};

void Show(TKurvo& chart, const TView& v, int n)
{
    const double low = std::max(1.0, 1.0 + v.From * n);
    const double high = 1.0 + v.To * n;
    for (TScaleProps* axis : {static_cast<TScaleProps*>(chart.Scale1X()), static_cast<TScaleProps*>(chart.Scale1Y())})
        axis->SetLogarithmic(false);
    chart.Scale1X()->SetRangeLow(v.Reverse ? high : low);
    chart.Scale1X()->SetRangeHigh(v.Reverse ? low : high);
    chart.Scale1Y()->SetRangeLow(v.Reverse ? 9.6 : 0.7);
    chart.Scale1Y()->SetRangeHigh(v.Reverse ? 0.7 : 9.6);
    chart.Scale1X()->SetLogarithmic(v.Log);
    chart.Scale1Y()->SetLogarithmic(v.Log);
    chart.CalcTransforms();
}

QImage Picture(TKurvo& chart, double ratio = 1.0)
{
    TBitmap bitmap(378, 362);
    bitmap.SetDevicePixelRatio(ratio);
    chart.RenderData(bitmap.Canvas(), 0, 0, false, true);
    return bitmap.Image().copy();
}

// Pixels that differ, and pixels the reference drew (not white).
std::pair<int, int> Differences(const QImage& a, const QImage& b)
{
    int differ = 0, drawn = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            drawn += b.pixel(x, y) != qRgb(255, 255, 255);
            differ += a.pixel(x, y) != b.pixel(x, y);
        }
    return {differ, drawn};
}

const TView kViews[] = {{"whole", 0.0, 1.0, false, false},   {"zoomed", 0.31, 0.36, false, false},
                        {"few points", 0.5, 0.5008, false, false}, {"reversed", -0.02, 0.97, true, false},
                        {"logarithmic", 0.001, 1.0, false, true}};

}  // namespace

TEST(SeriesPixels, LineSeriesEqualsThePointByPointPolyline)
{
    int cases = 0, worst = 0;
    for (const int n : {1000, 20000, 100000})
        for (const int shape : {0, 1, 2})
            for (const int width : {1, 3}) {
                const TData d = Make(shape, n, 99u + n);
                auto series = NewChart();
                TKurvoSeries* s = series->AddSeries("s");
                s->SetData(d.X, d.Y);
                s->SetPen(QColor(0, 0, 160), width, width == 1 ? Qt::SolidLine : Qt::DashLine);
                auto reference = NewChart();
                reference->SetLineRunReduction(false);
                reference->SetDataColor(0xA00000);
                reference->SetLineWidth(static_cast<std::uint8_t>(width));
                reference->SetPenStyle(width == 1 ? psSolid : psDash);
                reference->DrawPolyline(d.X, d.Y);
                for (const TView& v : kViews) {
                    Show(*series, v, n);
                    Show(*reference, v, n);
                    const auto [differ, drawn] = Differences(Picture(*series), Picture(*reference));
                    ++cases;
                    worst = std::max(worst, differ);
                    EXPECT_GT(drawn, 0) << n << " points, shape " << shape << ", " << v.Name;
                    EXPECT_EQ(differ, 0) << n << " points, shape " << shape << ", width " << width << ", " << v.Name;
                }
            }
    std::cout << "[ compared ] " << cases << " pictures, at most " << worst << " pixels differ\n";
}

// A ring holds the newest points after it was rebuilt several times.
TEST(SeriesPixels, RingShowsTheNewestPointsAsTheirPolyline)
{
    const TData d = Make(1, 40000, 5);
    auto series = NewChart();
    TKurvoSeries* s = series->AddSeries("ring");
    s->SetPen(QColor(0, 0, 160));
    s->SetCapacity(9000);
    for (std::size_t i = 0; i < d.X.size(); i += 700) {
        const std::size_t n = std::min<std::size_t>(700, d.X.size() - i);
        s->Append(std::span(d.X).subspan(i, n), std::span(d.Y).subspan(i, n));
    }
    ASSERT_EQ(s->Count(), 9000);
    auto reference = NewChart();
    reference->SetLineRunReduction(false);
    reference->SetDataColor(0xA00000);
    reference->DrawPolyline(std::span(d.X).last(9000), std::span(d.Y).last(9000));
    for (const TView& v : {TView{"newest", 0.77, 1.0, false, false}, TView{"all", 0.0, 1.0, false, false}}) {
        Show(*series, v, 40000);
        Show(*reference, v, 40000);
        EXPECT_EQ(Differences(Picture(*series), Picture(*reference)).first, 0) << v.Name;
    }
}

// Every style against the display-list drawing it stands for, drawn item
// by item, at device pixel ratios 1, 1.5 and 2.
TEST(SeriesPixels, StylesEqualTheirDrawingCommands)
{
    const TData d = Make(2, 400, 11);
    TData gappy = Make(0, 60, 3);
    gappy.Y[20] = kNaN;
    gappy.X[41] = HUGE_VAL;
    struct TRow {
        const char* Name;
        std::function<void(TKurvoSeries&)> Style;
        std::function<void(TKurvo&, const TData&)> Reference;
        const TData* Data;
        bool View = false;  // the series reads the data through a view
    };
    const TData walk = Make(1, 20000, 7);
    const auto steps = [](TKurvo& c, const TData& t, int mode) {
        // The corners of the steps, broken at gaps.
        std::vector<double> x, y;
        for (std::size_t i = 0; i < t.X.size(); ++i) {
            const bool ok = std::isfinite(t.X[i]) && std::isfinite(t.Y[i]);
            if (ok && !x.empty() && std::isfinite(x.back())) {
                const double px = x.back(), py = y.back();
                const double cx = mode == 0 ? t.X[i] : (mode == 2 ? px : px + (t.X[i] - px) / 2.0);
                x.push_back(cx);
                y.push_back(mode == 2 ? t.Y[i] : py);
                if (mode == 1) {
                    x.push_back(cx);
                    y.push_back(t.Y[i]);
                }
            }
            x.push_back(ok ? t.X[i] : kNaN);
            y.push_back(ok ? t.Y[i] : kNaN);
        }
        c.DrawPolyline(x, y);
    };
    const auto bars = [](double base) {
        return [base](TKurvoSeries& s) {
            s.SetStyle(TSeriesStyle::Bars);
            s.SetBarWidth(0.6);
            s.SetBaseline(base);
            s.SetBrush(QColor(0, 200, 0));
        };
    };
    const auto barsReference = [](double base) {
        return [base](TKurvo& c, const TData& t) {
            c.SetFillColor(0x00C800);
            for (std::size_t i = 0; i < t.X.size(); ++i)
                if (std::isfinite(t.X[i]) && std::isfinite(t.Y[i])) c.Rectangle(t.X[i] - 0.3, base, t.X[i] + 0.3, t.Y[i]);
        };
    };
    const std::vector<TRow> rows = {
        {"marks", [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::Marks); s.SetMark(TMark::Circle); },
         [](TKurvo& c, const TData& t) { c.DrawMarks(t.X, t.Y, TMark::Circle); }, &d},
        {"large marks", [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::Marks); s.SetMark(TMark::Star); },
         [](TKurvo& c, const TData& t) { c.DrawMarks(t.X, t.Y, TMark::Star); }, &d},
        {"marks, wide pen",
         [](TKurvoSeries& s) {
             s.SetStyle(TSeriesStyle::Marks);
             s.SetMark(TMark::TriangleUp);
             s.SetPen(QColor(0, 0, 160), 3);
         },
         [](TKurvo& c, const TData& t) {
             c.SetLineWidth(3);
             c.DrawMarks(t.X, t.Y, TMark::TriangleUp);
         },
         &d},
        // No drawing command sizes marks: a series drawn mark by mark.
        {"sized marks", [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::Marks); s.SetMark(TMark::FilledTriangleUp, 11); },
         [](TKurvo& c, const TData& t) {
             TKurvoSeries* s = c.AddSeries("reference");
             s->SetData(t.X, t.Y);
             s->SetPen(QColor(0, 0, 160));
             s->SetStyle(TSeriesStyle::Marks);
             s->SetMark(TMark::FilledTriangleUp, 11);
         },
         &d},
        {"line and marks",
         [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::LineAndMarks); s.SetMark(TMark::FilledSquare); },
         [](TKurvo& c, const TData& t) {
             c.DrawPolyline(t.X, t.Y);
             c.DrawMarks(t.X, t.Y, TMark::FilledSquare);
         },
         &gappy},
        {"steps left", [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::StepsLeft); },
         [&](TKurvo& c, const TData& t) { steps(c, t, 0); }, &gappy},
        {"steps centre", [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::StepsCenter); },
         [&](TKurvo& c, const TData& t) { steps(c, t, 1); }, &gappy},
        {"steps right", [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::StepsRight); },
         [&](TKurvo& c, const TData& t) { steps(c, t, 2); }, &gappy},
        // Over views of the program's arrays: a long line (per column), and
        // the styles that read the points one by one.
        {"line over a view", [](TKurvoSeries&) {}, [](TKurvo& c, const TData& t) { c.DrawPolyline(t.X, t.Y); }, &walk,
         true},
        {"marks over a view", [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::Marks); s.SetMark(TMark::Circle); },
         [](TKurvo& c, const TData& t) { c.DrawMarks(t.X, t.Y, TMark::Circle); }, &d, true},
        {"line and marks over a view",
         [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::LineAndMarks); s.SetMark(TMark::FilledSquare); },
         [](TKurvo& c, const TData& t) {
             c.DrawPolyline(t.X, t.Y);
             c.DrawMarks(t.X, t.Y, TMark::FilledSquare);
         },
         &gappy, true},
        {"steps over a view", [](TKurvoSeries& s) { s.SetStyle(TSeriesStyle::StepsCenter); },
         [&](TKurvo& c, const TData& t) { steps(c, t, 1); }, &gappy, true},
        {"bars", bars(2.0), barsReference(2.0), &gappy},
        {"bars over a view", bars(0.0), barsReference(0.0), &gappy, true},
    };
    for (const TRow& row : rows) {
        auto series = NewChart();
        TKurvoSeries* s = series->AddSeries(row.Name);
        if (row.View)
            s->SetView(TKurvoSampleView(std::span<const double>(row.Data->Y)).SetXValues(row.Data->X));
        else
            s->SetData(row.Data->X, row.Data->Y);
        s->SetPen(QColor(0, 0, 160));
        row.Style(*s);
        auto reference = NewChart();
        reference->SetLineRunReduction(false);
        reference->SetDataColor(0xA00000);
        row.Reference(*reference, *row.Data);
        const int n = static_cast<int>(row.Data->X.size());
        for (const TView& v : {kViews[0], kViews[3], kViews[4], TView{"zoomed", 0.2, 0.4, false, false}})
            for (const double ratio : {1.0, 1.5, 2.0}) {
                Show(*series, v, n);
                Show(*reference, v, n);
                const auto [differ, drawn] = Differences(Picture(*series, ratio), Picture(*reference, ratio));
                EXPECT_GT(drawn, 0) << row.Name << ", " << v.Name;
                EXPECT_EQ(differ, 0) << row.Name << ", " << v.Name << " at ratio " << ratio;
            }
    }
}

// An area is filled between its line and the baseline (or another
// series), not beyond; gaps split it.
TEST(SeriesPixels, AreaFillsDownToTheBaselineOrTheOtherSeries)
{
    auto chart = NewChart();
    Show(*chart, kViews[0], 100);
    const std::vector<double> x{1, 40, 41, 60, 100};
    TKurvoSeries* low = chart->AddSeries("low");
    low->SetData(x, std::vector<double>{2, 2, 2, 2, 2});
    low->SetPen(QColor(0, 0, 0), 1, Qt::NoPen);
    low->SetVisible(false);
    TKurvoSeries* area = chart->AddSeries("area");
    area->SetData(x, std::vector<double>{8, 8, kNaN, 6, 6});
    area->SetStyle(TSeriesStyle::Area);
    area->SetBaseline(1.0);
    area->SetBrush(QColor(0, 200, 0));
    const auto at = [&](double wx, double wy) {
        int px, py;
        chart->WorldToPixel(1, wx, wy, px, py);
        return Picture(*chart).pixel(px - chart->MarginLeft(), py - chart->MarginTop());
    };
    const QRgb green = qRgb(0, 200, 0), white = qRgb(255, 255, 255);
    const struct {
        double X, Y;
        QRgb Colour;
    } probes[] = {{20, 5, green}, {20, 1.5, green}, {20, 0.9, white}, {20, 8.5, white},
                  {50, 5, white}, {80, 4, green},   {80, 6.5, white}};
    for (const auto& p : probes) EXPECT_EQ(at(p.X, p.Y), p.Colour) << p.X << ", " << p.Y;
    area->SetFillTo(low);
    EXPECT_EQ(at(20, 5), green);
    EXPECT_EQ(at(20, 1.5), white);  // below the other series
}
