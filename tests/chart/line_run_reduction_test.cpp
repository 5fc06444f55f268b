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

}  // namespace

TEST(LineRunReduction, PictureEqualsThePointByPointPicture)
{
    std::vector<std::int64_t> lengths{1'000, 10'000, 100'000};
    const char* longRun = std::getenv("KURVO_LONG_TESTS");
    if (longRun != nullptr && std::string(longRun) == "1") {
        lengths.push_back(1'000'000);
        lengths.push_back(10'000'000);
    }
    const View views[] = {
        {"whole", 0.0, 1.0, false, false, false, false},
        {"panned", 0.013, 1.013, false, false, false, false},
        {"zoomed 1/7", 0.31, 0.31 + 1.0 / 7, false, false, false, false},
        {"zoomed to few points", 0.5, 0.5 + 0.0004, false, false, false, false},
        {"reversed", -0.02, 0.97, true, true, false, false},
        {"logarithmic", 0.001, 1.0, false, false, true, true},
        {"logarithmic reversed", 0.05, 1.2, true, true, true, true},
    };
    double worst = 0.0;
    std::string worstCase = "none";
    int cases = 0;
    for (const std::int64_t n : lengths)
        for (const Shape shape : {Shape::Sine, Shape::RandomWalk, Shape::Spikes, Shape::Steps, Shape::Constant,
                                  Shape::NanGaps}) {
            TKurvo chart;
            DemoGeometry(chart);
            chart.SetChartColor(clWhite);
            chart.SetDataColor(clBlack);
            chart.SetAllocSize(1000000);
            const std::vector<double> y = Series(shape, n, 12345u + static_cast<std::uint64_t>(n));
            std::vector<double> x(y.size());
            for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i) + 1.0;
            chart.MoveTo(1, 5);
            chart.AppendLinePoints(x.data(), y.data(), n);
            const double length = static_cast<double>(n);
            for (const View& view : views) {
                // A large, odd view width: each X unit spans many columns or few.
                double low = 1.0 + view.from * length;
                double high = 1.0 + view.to * length;
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
                const Difference d = Compare(chart);
                ++cases;
                const std::string label =
                    std::string(Name(shape)) + ", " + std::to_string(n) + " points, " + view.name;
                ASSERT_GT(d.linePixels, 0) << label;
                const double share = static_cast<double>(d.differing) / static_cast<double>(d.linePixels);
                if (share > worst || worstCase == "none") {
                    worst = std::max(worst, share);
                    if (share >= worst) worstCase = label + ": " + std::to_string(d.differing) + " of " +
                                                    std::to_string(d.linePixels) + " line pixels differ";
                }
                EXPECT_LE(share, 0.0005) << label << ": " << d.differing << " of " << d.linePixels;
            }
        }
    std::cout << "[ worst    ] " << cases << " pictures compared; worst: " << worstCase << '\n';
}

// At other device pixel ratios lines go through QPainter as bands of
// device pixels; the columns are still canvas pixels and the picture is
// still the point-by-point one.
TEST(LineRunReduction, PictureAtOtherDevicePixelRatiosEqualsThePointByPointPicture)
{
    double worst = 0.0;
    for (const double ratio : {1.25, 1.5, 1.75, 2.0, 2.5, 3.0})
        for (const Shape shape : {Shape::Sine, Shape::RandomWalk, Shape::Spikes, Shape::Steps, Shape::NanGaps}) {
            constexpr std::int64_t n = 6'000;
            TKurvo chart;
            DemoGeometry(chart);
            chart.SetChartColor(clWhite);
            chart.SetDataColor(clBlack);
            const std::vector<double> y = Series(shape, n, 777u);
            std::vector<double> x(y.size());
            for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i) + 1.0;
            chart.MoveTo(1, 5);
            chart.AppendLinePoints(x.data(), y.data(), n);
            for (const bool reversed : {false, true}) {
                chart.Scale1X()->SetRangeLow(reversed ? 0.9 * n : 0.013 * n);
                chart.Scale1X()->SetRangeHigh(reversed ? 0.013 * n : 0.9 * n);
                chart.Scale1Y()->SetRangeLow(reversed ? 9.5 : 0.8);
                chart.Scale1Y()->SetRangeHigh(reversed ? 0.8 : 9.5);
                chart.CalcTransforms();
                const Difference d = Compare(chart, ratio);
                const std::string label = std::string(Name(shape)) + " at ratio " + std::to_string(ratio) +
                                          (reversed ? ", reversed" : "");
                ASSERT_GT(d.linePixels, 0) << label;
                const double share = static_cast<double>(d.differing) / static_cast<double>(d.linePixels);
                worst = std::max(worst, share);
                EXPECT_LE(share, 0.0005) << label << ": " << d.differing << " of " << d.linePixels;
            }
        }
    std::cout << "[ worst    ] at other ratios: " << worst * 100 << " % of line pixels differ\n";
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
