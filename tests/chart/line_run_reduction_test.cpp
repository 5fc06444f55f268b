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
Difference Compare(TKurvo& chart, double ratio = 1.0)
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
    void Check(const std::string& label, const Difference& d)
    {
        ++cases;
        ASSERT_GT(d.linePixels, 0) << label;
        const double s = static_cast<double>(d.differing) / static_cast<double>(d.linePixels);
        if (s > share || text == "none") {
            share = s;
            text = label + ": " + std::to_string(d.differing) + " of " + std::to_string(d.linePixels) +
                   " line pixels differ";
        }
        EXPECT_LE(s, 0.0005) << label << ": " << d.differing << " of " << d.linePixels;
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
