// Long runs of line-to items drawn per pixel column give the picture of the
// point-by-point path. Seeded series of many shapes and lengths, panned,
// zoomed, on reversed and logarithmic axes, are painted both ways.
//
// The default run keeps to series of up to 10^5 points; with
// KURVO_LONG_TESTS=1 in the environment (the sanitizer run sets it) series
// of 10^6 and 10^7 points are compared too.
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <random>
#include <span>
#include <utility>
#include <string>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

namespace {

enum class Shape { Sine, RandomWalk, Spikes, Steps, Constant, NanGaps };

const char* Name(Shape s)
{
    switch (s) {
    case Shape::Sine: return "sine";
    case Shape::RandomWalk: return "random walk";
    case Shape::Spikes: return "spikes";
    case Shape::Steps: return "steps";
    case Shape::Constant: return "constant";
    case Shape::NanGaps: return "NaN gaps";
    }
    return "?";
}

// Positive values in about 1 ... 9, so that the same series suits a
// logarithmic Y axis.
std::vector<double> Series(Shape shape, std::int64_t n, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> y(static_cast<std::size_t>(n));
    double walk = 5.0;
    for (std::int64_t i = 0; i < n; ++i) {
        double v = 5.0;
        switch (shape) {
        case Shape::Sine: v = 5.0 + 3.5 * std::sin(0.2 * static_cast<double>(i)); break;
        case Shape::RandomWalk:
            walk = std::clamp(walk + (unit(random) - 0.5) * 0.2, 1.0, 9.0);
            v = walk;
            break;
        case Shape::Spikes: v = unit(random) < 0.001 ? 1.0 + 8.0 * unit(random) : 5.0 + 0.05 * unit(random); break;
        case Shape::Steps: v = 1.0 + static_cast<double>((i * 7 / (n / 13 + 1)) % 8); break;
        case Shape::Constant: v = 4.25; break;
        case Shape::NanGaps:
            v = 5.0 + 3.0 * std::sin(0.01 * static_cast<double>(i)) + unit(random);
            if (unit(random) < 0.0005) v = std::numeric_limits<double>::quiet_NaN();
            break;
        }
        y[static_cast<std::size_t>(i)] = v;
    }
    return y;
}

struct View {
    const char* name;
    double from, to;  // X range as fractions of the series length
    bool reverseX, reverseY, logX, logY;
};

struct Difference {
    std::int64_t differing = 0;
    std::int64_t linePixels = 0;
};

// Both pictures of the data area at the device pixel ratio, compared over
// every device pixel inside the frame.
Difference Compare(TCustomKurvo& chart, double ratio = 1.0)
{
    const int w = chart.Width() - chart.MarginLeft() - chart.MarginRight();
    const int h = chart.Height() - chart.MarginTop() - chart.MarginBottom();
    TBitmap reduced(w + 1, h + 1);
    TBitmap exact(w + 1, h + 1);
    reduced.SetDevicePixelRatio(ratio);
    exact.SetDevicePixelRatio(ratio);
    chart.SetLineRunReduction(true);
    chart.RenderData(reduced.Canvas(), 0, 0, false, true);
    chart.SetLineRunReduction(false);
    chart.RenderData(exact.Canvas(), 0, 0, false, true);
    chart.SetLineRunReduction(true);
    const QImage& e = exact.Image();
    const QImage& r = reduced.Image();
    // The frame's band is left out; the charts here have a white background.
    const int edge = static_cast<int>(std::ceil(ratio));
    const QRgb white = qRgb(255, 255, 255);
    Difference d;
    for (int y = edge; y < e.height() - edge; ++y)
        for (int x = edge; x < e.width() - edge; ++x) {
            d.linePixels += e.pixel(x, y) != white;
            d.differing += e.pixel(x, y) != r.pixel(x, y);
        }
    return d;
}

// A chart showing the seeded series x = 1 ... n after a move-to.
std::unique_ptr<TKurvo> SeriesChart(Shape shape, std::int64_t n, std::uint64_t seed)
{
    auto chart = std::make_unique<TKurvo>();
    DemoGeometry(*chart);
    chart->SetChartColor(clWhite);
    chart->SetDataColor(clBlack);
    chart->SetAllocSize(1000000);
    const std::vector<double> y = Series(shape, n, seed);
    std::vector<double> x(y.size());
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i) + 1.0;
    chart->MoveTo(1, 5);
    chart->AppendLinePoints(x.data(), y.data(), n);
    return chart;
}

void ShowView(TKurvo& chart, const View& view, std::int64_t n)
{
    // A large, odd view width: each X unit spans many columns or few.
    double low = 1.0 + view.from * static_cast<double>(n);
    double high = 1.0 + view.to * static_cast<double>(n);
    if (view.logX) low = std::max(low, 1.0);
    chart.Scale1X()->SetLogarithmic(false);
    chart.Scale1Y()->SetLogarithmic(false);
    chart.Scale1X()->SetRangeLow(view.reverseX ? high : low);
    chart.Scale1X()->SetRangeHigh(view.reverseX ? low : high);
    chart.Scale1Y()->SetRangeLow(view.reverseY ? 9.5 : 0.8);
    chart.Scale1Y()->SetRangeHigh(view.reverseY ? 0.8 : 9.5);
    chart.Scale1X()->SetLogarithmic(view.logX);
    chart.Scale1Y()->SetLogarithmic(view.logY);
    chart.CalcTransforms();
}

// Checks one comparison against the allowed share and keeps the worst.
struct Worst {
    double share = 0.0;
    std::string text = "none";
    int cases = 0;
    void Check(const std::string& label, const Difference& d, double allowed = 0.0005)
    {
        ++cases;
        ASSERT_GT(d.linePixels, 0) << label;
        const double s = static_cast<double>(d.differing) / static_cast<double>(d.linePixels);
        if (s > share || text == "none") {
            share = s;
            text = label + ": " + std::to_string(d.differing) + " of " + std::to_string(d.linePixels) +
                   " line pixels differ";
        }
        EXPECT_LE(s, allowed) << label << ": " << d.differing << " of " << d.linePixels;
    }
};

const View kViews[] = {
    {"whole", 0.0, 1.0, false, false, false, false},
    {"panned", 0.013, 1.013, false, false, false, false},
    {"zoomed 1/7", 0.31, 0.31 + 1.0 / 7, false, false, false, false},
    {"zoomed to few points", 0.5, 0.5 + 0.0004, false, false, false, false},
    {"reversed", -0.02, 0.97, true, true, false, false},
    {"logarithmic", 0.001, 1.0, false, false, true, true},
    {"logarithmic reversed", 0.05, 1.2, true, true, true, true},
};

}  // namespace

TEST(LineRunReduction, PictureEqualsThePointByPointPicture)
{
    std::vector<std::int64_t> lengths{1'000, 10'000, 100'000};
    const char* longRun = std::getenv("KURVO_LONG_TESTS");
    if (longRun != nullptr && std::string(longRun) == "1") {
        lengths.push_back(1'000'000);
        lengths.push_back(10'000'000);
    }
    Worst worst;
    for (const std::int64_t n : lengths)
        for (const Shape shape : {Shape::Sine, Shape::RandomWalk, Shape::Spikes, Shape::Steps, Shape::Constant,
                                  Shape::NanGaps}) {
            const auto chart = SeriesChart(shape, n, 12345u + static_cast<std::uint64_t>(n));
            for (const View& view : kViews) {
                ShowView(*chart, view, n);
                worst.Check(std::string(Name(shape)) + ", " + std::to_string(n) + " points, " + view.name,
                            Compare(*chart));
            }
        }
    std::cout << "[ worst    ] " << worst.cases << " pictures compared; worst: " << worst.text << '\n';
}

// At other device pixel ratios lines go through QPainter as bands of
// device pixels; the columns are still canvas pixels and the picture is
// still the point-by-point one.
TEST(LineRunReduction, PictureAtOtherDevicePixelRatiosEqualsThePointByPointPicture)
{
    Worst worst;
    for (const double ratio : {1.25, 1.5, 1.75, 2.0, 2.5, 3.0})
        for (const Shape shape : {Shape::Sine, Shape::RandomWalk, Shape::Spikes, Shape::Steps, Shape::NanGaps}) {
            const auto chart = SeriesChart(shape, 6'000, 777u);
            for (const View& view : {kViews[1], kViews[4]}) {
                ShowView(*chart, view, 6'000);
                worst.Check(std::string(Name(shape)) + " at ratio " + std::to_string(ratio) + ", " + view.name,
                            Compare(*chart, ratio));
            }
        }
    std::cout << "[ worst    ] at other ratios: " << worst.text << '\n';
}

// The reduction reads the min/max structure; after appending to a painted
// run (live data) the structure follows and the new points are drawn.
TEST(LineRunReduction, AppendedPointsAreDrawnAfterAPaint)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.SetChartColor(clWhite);
    chart.Scale1X()->SetRangeLow(0);
    chart.Scale1X()->SetRangeHigh(20000);
    chart.Scale1Y()->SetRangeLow(-5);
    chart.Scale1Y()->SetRangeHigh(5);
    chart.CalcTransforms();
    std::vector<double> x(10000), y(10000, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i);
    chart.MoveTo(0, 0);
    chart.AppendLinePoints(x.data(), y.data(), 10000);
    TBitmap first(378, 362);
    chart.RenderData(first.Canvas(), 0, 0, false, true);
    // A spike far up in the second half, inside one column of many points.
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = 10000.0 + static_cast<double>(i);
        y[i] = i == 5003 ? 4.0 : 0.0;
    }
    chart.AppendLinePoints(x.data(), y.data(), 10000);
    const Difference d = Compare(chart);
    EXPECT_EQ(d.differing, 0);
    TBitmap second(378, 362);
    chart.RenderData(second.Canvas(), 0, 0, false, true);
    int px, py;
    chart.WorldToPixel(1, 15003, 4.0, px, py);
    EXPECT_NE(second.Pixel(px - chart.MarginLeft(), py - chart.MarginTop()), clWhite);
}

// ------------------------------------------------ the other shapes of data
//
// Each fast path against the point-by-point picture at ratios 1, 1.5 and 2;
// not one device pixel may differ.

namespace {

constexpr double kRatios[] = {1.0, 1.5, 2.0};
constexpr TColor kPalette[] = {clBlack, clRed, clBlue, 0x008000, 0x0080FF, clMaroon};

// Seeded points in any order of X: a spiral, a Lissajous figure and noise
// (long segments across the whole area).
void Unsorted(int shape, std::int64_t n, std::vector<double>& x, std::vector<double>& y)
{
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    x.resize(static_cast<std::size_t>(n));
    y.resize(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        const double a = 6.2831853 * 40 * t;
        double u = unit(random), v = unit(random);
        if (shape == 0) {
            u = 0.5 + 0.45 * t * std::cos(a);
            v = 0.5 + 0.45 * t * std::sin(a);
        } else if (shape == 1) {
            u = 0.5 + 0.45 * std::sin(a * 1.01);
            v = 0.5 + 0.45 * std::sin(a * 0.99 + 0.5);
        } else if (shape == 4) {  // rising X, half of Y at or below zero
            u = t;
            v = 0.5 + 0.45 * std::sin(a);
        } else if (shape == 5) {  // X a step back and Y across at every other point
            u = t - static_cast<double>(i % 2) * 1.5 / static_cast<double>(n);
            v = (i % 2 == 0 ? 0.1 : 0.9) + 0.05 * std::sin(a);
        }
        x[static_cast<std::size_t>(i)] = 100.0 * u;
        y[static_cast<std::size_t>(i)] = 10.0 * v - 5.0;
    }
}

}  // namespace

// A line whose colour changes every point, every few points or in long
// stretches: per column its rows take the colour of the last segment that
// reached them, as when every segment is drawn.
TEST(LineRunReduction, ColourPerPointPictureEqualsThePointByPointPicture)
{
    Worst worst;
    for (const double ratio : kRatios)
        for (const Shape shape : {Shape::Sine, Shape::RandomWalk, Shape::Spikes, Shape::Steps})
            for (const int stretch : {1, 7, 1500}) {
                TKurvo chart;
                DemoGeometry(chart);
                chart.SetChartColor(clWhite);
                chart.SetAllocSize(100000);
                const std::vector<double> y = Series(shape, 20'000, 31u + static_cast<std::uint64_t>(stretch));
                chart.MoveTo(1, 5);
                for (std::size_t i = 0; i < y.size(); ++i) {
                    chart.SetDataColor(kPalette[(i / static_cast<std::size_t>(stretch) * 7 + i % 3) % 6]);
                    chart.DrawTo(static_cast<double>(i) + 1.0, y[i]);
                }
                for (const View& view : {kViews[0], kViews[1], kViews[2], kViews[4]}) {
                    ShowView(chart, view, 20'000);
                    worst.Check(std::string(Name(shape)) + ", colour every " + std::to_string(stretch) +
                                    " points at ratio " + std::to_string(ratio) + ", " + view.name,
                                Compare(chart, ratio), 0.0);
                }
            }
    std::cout << "[ worst    ] colour per point: " << worst.text << '\n';
}

// NaN and infinite points every few points, or every 2,000: the pieces
// between the gaps are drawn in one pass, each from a move. With zeros
// besides (`floor`), logarithmic views put pieces at the floor, which go as
// lines in any order of X, their pixels collected for the whole chain.
TEST(LineRunReduction, GapsPictureEqualsThePointByPointPicture)
{
    Worst worst;
    for (const double ratio : kRatios)
        for (const std::int64_t every : {3, 40, 2000})
            for (const int kind : {0, 1, 2}) {
                const bool infinite = kind == 1;
                const bool floor = kind == 2;
                auto chart = SeriesChart(Shape::RandomWalk, 60'000, 5u + static_cast<std::uint64_t>(every));
                chart->ClearData();
                std::vector<double> y = Series(Shape::Sine, 60'000, 5u);
                std::vector<double> x(y.size());
                for (std::size_t i = 0; i < x.size(); ++i) {
                    x[i] = static_cast<double>(i) + 1.0;
                    if (i % static_cast<std::size_t>(every) == static_cast<std::size_t>(every) - 1)
                        (i % 2 == 0 ? y[i] : x[i]) = infinite ? -std::numeric_limits<double>::infinity()
                                                              : std::numeric_limits<double>::quiet_NaN();
                    else if (floor && i % 7 == 3)
                        y[i] = 0.0;
                }
                chart->MoveTo(1, 5);
                chart->AppendLinePoints(x.data(), y.data(), static_cast<std::int64_t>(x.size()));
                for (const View& view : {kViews[0], kViews[2], kViews[3], kViews[4], kViews[5]}) {
                    ShowView(*chart, view, 60'000);
                    worst.Check(std::string(infinite ? "infinite" : floor ? "NaN, zeros," : "NaN") + " every " +
                                    std::to_string(every) +
                                    " at ratio " + std::to_string(ratio) + ", " + view.name,
                                Compare(*chart, ratio), 0.0);
                }
            }
    std::cout << "[ worst    ] gaps: " << worst.text << '\n';
}

// X back and forth: lines to the pixel the pen is on and segments beyond
// one edge are left out; in one colour and in a colour per point. Enough
// noise (shape 3) covers the area but its edges, so that blocks of points
// and lines within drawn pixels pass; in one colour it holds more segments
// than the set of segments drawn through QPainter, beyond which other
// ratios draw canvas pixels (docs/performance.md), so at ratio 1 only. A
// rising line (shape 4) whose Y reaches the logarithmic floor goes the same
// way; from zero (shape 6) it rises, on logarithmic axes with its first
// points at the floor of X and half of Y at the floor below the area, and
// goes per column. In colours, 300,000 points going back and forth in
// narrow columns (shape 5) are more segments than go through the canvas one
// by one: the rest is drawn into a picture.
TEST(LineRunReduction, UnsortedXPictureEqualsThePointByPointPicture)
{
    Worst worst;
    for (const double ratio : kRatios)
        for (const int shape : {0, 1, 2, 3, 4, 5, 6})
            for (const bool colours : {false, true}) {
                if (shape == 3 && !colours && ratio != 1.0) continue;
                if (shape == 5 && (!colours || ratio != 1.0)) continue;
                TKurvo chart;
                DemoGeometry(chart);
                chart.SetChartColor(clWhite);
                chart.SetAllocSize(100000);
                std::vector<double> x, y;
                Unsorted(shape == 3 ? 2 : shape == 6 ? 4 : shape, shape == 2 ? 3'000 : shape == 5 ? 300'000 : 40'000, x,
                         y);
                if (shape == 6)
                    for (double& v : x) v = v < 1.0 ? 0.0 : v;
                chart.MoveTo(shape == 6 ? 0 : 50, 0);
                if (colours) {
                    for (std::size_t i = 0; i < x.size(); ++i) {
                        chart.SetDataColor(kPalette[i % 6]);
                        chart.DrawTo(x[i], y[i]);
                    }
                } else {
                    chart.AppendLinePoints(x.data(), y.data(), static_cast<std::int64_t>(x.size()));
                }
                // Whole, zoomed in (much of the line off the area), reversed,
                // and zoomed out so far that the line lies in a column or a row;
                // zoomed in so far that most points lie beyond the canvas limits.
                const double yLow = chart.Scale1Y()->RangeLow(), yHigh = chart.Scale1Y()->RangeHigh();
                // Logarithmic Y puts the values at or below zero on the edge.
                struct TView {
                    double low, high, ySpread;
                    bool logY = false;
                    bool logX = false;
                };
                for (const auto& [low, high, ySpread, logY, logX] :
                     {TView{0.0, 100.0, 1.0}, TView{30.0, 60.0, 1.0}, TView{110.0, -5.0, 1.0}, TView{-3e4, 3e4, 1.0},
                      TView{0.0, 100.0, 1e4}, TView{0.0, 100.0, 1.0, true}, TView{49.99, 50.01, 1.0},
                      TView{1.0, 100.0, 1.0, true, true}}) {
                    // Noise far beyond the limits differs through QPainter at
                    // other ratios, with and without the reduction; in colours
                    // its long segments soon go into a picture.
                    if (low == 49.99 && (shape == 2 || (shape == 3 && colours)) && ratio != 1.0) continue;
                    chart.Scale1X()->SetLogarithmic(false);
                    chart.Scale1Y()->SetLogarithmic(false);
                    chart.Scale1X()->SetRangeLow(low);
                    chart.Scale1X()->SetRangeHigh(high);
                    chart.Scale1Y()->SetRangeLow(logY ? 0.01 : yLow * ySpread);
                    chart.Scale1Y()->SetRangeHigh(yHigh * ySpread);
                    chart.Scale1Y()->SetLogarithmic(logY);
                    chart.Scale1X()->SetLogarithmic(logX);
                    chart.CalcTransforms();
                    static const char* const names[] = {"spiral", "Lissajous", "noise", "dense noise", "rising",
                                                        "columns", "rising from zero"};
                    worst.Check(std::string(names[shape]) +
                                    (colours ? " in colours" : "") + " at ratio " + std::to_string(ratio) + ", X " +
                                    std::to_string(low) + " ... " + std::to_string(high) + (logY ? ", log Y" : "") +
                                    (logX ? ", log X" : ""),
                                Compare(chart, ratio), 0.0);
                }
            }
    std::cout << "[ worst    ] unsorted X: " << worst.text << '\n';
}

// Every mark shape with pens of one and three pixels, in one colour and in
// a colour per mark, with and without AvoidDuplicateMarks: a cloud of
// marks, many on one pixel, some beyond the axis ranges (403: not a whole
// number of the groups the fast path converts together). Characters, whose
// text blends with what lies below, in a cloud of 3001 that piles up.
TEST(LineRunReduction, MarkStampsPictureEqualsTheMarkByMarkPicture)
{
    std::vector<double> x, y;
    std::mt19937_64 random(4);
    std::normal_distribution<double> normal(0.0, 1.0);
    for (int i = 0; i < 3001; ++i) {
        x.push_back(std::round(4 * (50 + 25 * normal(random))) / 4);
        y.push_back(std::round(4 * (2 * normal(random))) / 4);
    }
    std::vector<int> types;
    for (int type = 0; type <= 51; ++type) types.push_back(type);
    for (const int character : {52, 64, 88, 200, 233, 255}) types.push_back(character);
    Worst worst;
    for (const double ratio : kRatios)
        for (const int type : types)
            for (const int variant : {0, 1, 2, 3}) {
                const std::size_t n = type <= 51 ? 403 : x.size();
                if (type > 51 && variant == 1) continue;  // the pen does not draw text
                // 0 one colour; 1 three-pixel pen; 2 colour per mark; 3 duplicates avoided
                TKurvo chart;
                SimpleGeometry(chart);
                chart.Scale1X()->SetRangeHigh(100);
                chart.Scale1Y()->SetRangeLow(-5);
                chart.Scale1Y()->SetRangeHigh(5);
                chart.SetChartColor(clWhite);
                chart.SetLineWidth(variant == 1 ? 3 : 1);
                chart.SetAvoidDuplicateMarks(variant == 3);
                if (variant == 2) {
                    for (std::size_t i = 0; i < n; ++i) {
                        chart.SetDataColor(kPalette[i % 6]);
                        chart.MarkAt(x[i], y[i], type);
                    }
                } else {
                    chart.DrawMarks(std::span(x).first(n), std::span(y).first(n), type);
                }
                chart.CalcTransforms();
                worst.Check("mark " + std::to_string(type) + ", variant " + std::to_string(variant) + " at ratio " +
                                std::to_string(ratio),
                            Compare(chart, ratio), 0.0);
            }
    std::cout << "[ worst    ] marks: " << worst.text << '\n';
}

// With OnBeforeRenderChartItem every item of a compact run goes through it
// (marks, a line in a colour per point, a line with gaps) and what it
// changes shows; a class hidden in a line of a class per point leaves those
// points out of the line, as for whole records.
TEST(LineRunReduction, HookSeesEveryItemAndHiddenClassesLeavePointsOut)
{
    const auto image = [](TCustomKurvo& chart) {
        TBitmap bitmap(378, 362);
        chart.RenderData(bitmap.Canvas(), 0, 0, false, true);
        return bitmap.Image().copy();
    };
    const auto prepare = [](TKurvo& chart) {
        DemoGeometry(chart);
        chart.SetChartColor(clWhite);
        chart.Scale1X()->SetRangeHigh(500);
        chart.CalcTransforms();
    };
    struct Case {
        const char* name;
        void (*fill)(TKurvo&);
    };
    const Case cases[] = {
        {"marks", [](TKurvo& c) {
             std::vector<double> x(500), y(500);
             for (int i = 0; i < 500; ++i) x[i] = i, y[i] = 4 * std::sin(0.05 * i);
             c.DrawMarks(x, y, 9);
         }},
        {"colour per point", [](TKurvo& c) {
             c.MoveTo(0, 0);
             for (int i = 1; i < 500; ++i) {
                 c.SetDataColor(kPalette[i % 3]);
                 c.DrawTo(static_cast<double>(i), 4 * std::sin(0.05 * i));
             }
         }},
        {"gaps", [](TKurvo& c) {
             std::vector<double> x(500), y(500);
             for (int i = 0; i < 500; ++i) x[i] = i, y[i] = i % 50 == 49 ? std::nan("") : 4 * std::sin(0.05 * i);
             c.AppendLinePoints(x.data(), y.data(), 500);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TKurvo chart;
        prepare(chart);
        c.fill(chart);
        int calls = 0;
        chart.OnBeforeRenderChartItem = [&](TObject*, TkvChartItem& item, int, bool) {
            ++calls;
            item.Color = clLime;
        };
        const QImage picture = image(chart);
        EXPECT_EQ(calls, chart.DataCount());
        int lime = 0, other = 0;
        for (int y = 2; y < picture.height() - 2; ++y)
            for (int x = 2; x < picture.width() - 2; ++x) {
                const QRgb p = picture.pixel(x, y);
                lime += p == qRgb(0, 255, 0);
                other += p != qRgb(0, 255, 0) && p != qRgb(255, 255, 255);
            }
        EXPECT_GT(lime, 400);
        EXPECT_EQ(other, 0);
    }

    TKurvo classed, even;
    for (TKurvo* chart : {&classed, &even}) {
        prepare(*chart);
        chart->MoveTo(0, 0);
    }
    for (int i = 1; i < 500; ++i) {
        classed.SetClassDefault(i % 2);
        classed.DrawTo(static_cast<double>(i), 4 * std::sin(0.3 * i));
        if (i % 2 == 0) even.DrawTo(static_cast<double>(i), 4 * std::sin(0.3 * i));
    }
    TCustomKurvoPrivate::Get(classed).FDataClassVisible[1] = false;
    EXPECT_TRUE(image(classed) == image(even));
}
