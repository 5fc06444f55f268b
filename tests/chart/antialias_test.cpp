// Anti-aliased data on the chart's picture: the items blend their edges,
// everything else (axes, ticks, labels, grid, frame, rectangles) keeps the
// aliased picture, and curves pass through their points between pixels.
#include "render_test_support.h"

#include "../canvas/pixel_helpers.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kurvo {
namespace {

struct TItemBox {
    std::string Name;
    int Left, Top, Right, Bottom;  // control pixels
    bool Blends;  // anti-aliasing changes its pixels
};

// The chart pixels of the world box (x1, y1) ... (x2, y2) of layer 1, widened by `margin`.
TItemBox BoxOf(TKurvo& chart, const char* name, double x1, double y1, double x2, double y2, bool blends,
               int margin = 2)
{
    int ax, ay, bx, by;
    chart.WorldToPixel(1, x1, y1, ax, ay);
    chart.WorldToPixel(1, x2, y2, bx, by);
    return {name, std::min(ax, bx) - margin, std::min(ay, by) - margin, std::max(ax, bx) + margin,
            std::max(ay, by) + margin, blends};
}

TEST(Antialiasing, OnlyTheItemsChangeAndEachSmoothFormBlends)
{
    TKurvo chart;
    chart.SetBounds(0, 0, 360, 260);
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1Y()->SetRangeHigh(100);
    chart.SetGridStyle(gsLines);
    chart.SetGridColor(0xC8C8C8);
    chart.SetDataColor(clNavy);
    chart.SetFillColor(clAqua);
    chart.MoveTo(4.0, 10.0);
    for (int i = 1; i <= 40; ++i) chart.DrawTo(4.0 + i, 10.0 + 8.0 * std::sin(0.3 * i));
    chart.Ellipse(70.0, 75.0, 9.0, 7.0);
    chart.Arrow(55.0, 20.0, 90.0, 42.0);
    chart.Arc(25.0, 70.0, 10.0, 12.0, 20, 250);
    chart.MarkAt(50.0, 85.0, 24);  // filled circle
    chart.MarkAt(85.0, 85.0, 9);   // filled square
    chart.Rectangle(40.0, 50.0, 48.0, 60.0);
    const TItemBox boxes[] = {
        BoxOf(chart, "curve", 4, 2, 44, 18, true),
        BoxOf(chart, "ellipse", 61, 68, 79, 82, true),
        BoxOf(chart, "arrow", 55, 20, 90, 42, true, 4),
        BoxOf(chart, "arc", 15, 58, 35, 82, true),
        BoxOf(chart, "circle mark", 50, 85, 50, 85, true, 4),
        BoxOf(chart, "square mark", 85, 85, 85, 85, false, 4),
        BoxOf(chart, "rectangle", 40, 50, 48, 60, false),
    };

    const QImage aliased = chart.ToImage();
    chart.SetAntialiased(true);
    const QImage smooth = chart.ToImage();
    ASSERT_EQ(aliased.size(), smooth.size());
    std::vector<int> changed(std::size(boxes), 0);
    int outside = 0;
    for (int y = 0; y < smooth.height(); ++y)
        for (int x = 0; x < smooth.width(); ++x) {
            if (smooth.pixel(x, y) == aliased.pixel(x, y)) continue;
            bool inBox = false;
            for (std::size_t k = 0; k < std::size(boxes); ++k) {
                const TItemBox& b = boxes[k];
                if (x >= b.Left && x <= b.Right && y >= b.Top && y <= b.Bottom) {
                    ++changed[k];
                    inBox = true;
                }
            }
            if (!inBox && ++outside <= 5) ADD_FAILURE() << "pixel " << x << "," << y << " changed outside the items";
        }
    EXPECT_EQ(outside, 0);
    for (std::size_t k = 0; k < std::size(boxes); ++k) {
        SCOPED_TRACE(boxes[k].Name);
        if (boxes[k].Blends)
            EXPECT_GT(changed[k], 3);
        else
            EXPECT_EQ(changed[k], 0);
    }
    chart.SetAntialiased(false);
    EXPECT_TRUE(chart.ToImage() == aliased);
}

struct PassRow {
    const char* Name;
    double Y;  // world Y = 130 - canvas row
    int UpperLow, UpperHigh;  // grey range of canvas row 69
    int LowerLow, LowerHigh;  // grey range of canvas row 70
};

TEST(Antialiasing, CurvesPassThroughTheirPointsBetweenPixels)
{
    // Layer 1 maps world (x, y) to data-bitmap pixel (x, 130 - y).
    const PassRow rows[] = {
        {"on row 70", 60.0, 255, 255, 0, 0},
        {"half way between rows 69 and 70", 60.5, 96, 160, 96, 160},
        {"a quarter of a row above row 70", 60.25, 160, 224, 32, 96},
    };
    for (const PassRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TKurvo chart;
        test::SimpleGeometry(chart);
        chart.SetAntialiased(true);
        chart.MoveTo(20.0, row.Y);
        chart.DrawTo(90.0, row.Y);
        chart.DrawTo(160.0, row.Y);
        TBitmap bitmap(test::kAreaW + 1, test::kAreaH + 1);
        test::Clear(bitmap, clWhite);
        chart.RenderData(bitmap.Canvas(), 0, 0, false, true);
        for (const int x : {40, 90, 140}) {
            const int upper = qGray(bitmap.Image().pixel(x, 69));
            const int lower = qGray(bitmap.Image().pixel(x, 70));
            EXPECT_GE(upper, row.UpperLow) << x;
            EXPECT_LE(upper, row.UpperHigh) << x;
            EXPECT_GE(lower, row.LowerLow) << x;
            EXPECT_LE(lower, row.LowerHigh) << x;
        }
    }
}

struct ReductionRow {
    const char* Name;
    char Shape;  // 's' smooth sine, 'n' noisy sine, 'r' random walk, 'f' fast sine
    int Points;
    char Path;  // 'l' compact run of the data list, 's' series, 'v' line view
    double MaxMean;  // mean grey difference over the line's pixels
    int MaxWorst;  // largest grey difference of one pixel
};

// A long line is drawn per part of a pixel column with its exact extremes,
// by the data list, a series and a line view alike: its picture keeps close
// to the point-by-point one and reaches the same rows in every column.
TEST(Antialiasing, LongRunReductionKeepsCloseToThePointByPointPicture)
{
    // The point-by-point picture darkens where its strokes overlap: at the
    // edges of a dense band, and along a smooth line at 10^6 points, where
    // each batch of 200 points is a stroke of its own a fraction of a pixel
    // long.
    const ReductionRow rows[] = {
        {"smooth sine", 's', 100'000, 'l', 8.0, 80},      {"smooth sine", 's', 1'000'000, 'l', 30.0, 110},
        {"noisy sine", 'n', 100'000, 'l', 5.0, 230},      {"noisy sine", 'n', 1'000'000, 'l', 6.0, 230},
        {"random walk", 'r', 100'000, 'l', 28.0, 250},    {"random walk", 'r', 1'000'000, 'l', 30.0, 250},
        {"fast sine", 'f', 1'000'000, 'l', 0.5, 40},      {"noisy sine series", 'n', 100'000, 's', 5.0, 230},
        {"noisy sine view", 'n', 100'000, 'v', 5.0, 230},
    };
    for (const ReductionRow& row : rows) {
        SCOPED_TRACE(std::string(row.Name) + " " + std::to_string(row.Points));
        TKurvo chart;
        test::DemoGeometry(chart);
        chart.SetChartColor(clWhite);
        chart.SetDataColor(clBlack);
        chart.SetAllocSize(1'000'000);
        chart.Scale1X()->SetRangeHigh(row.Points);
        std::vector<double> x(static_cast<std::size_t>(row.Points)), y(x.size());
        std::uint32_t seed = 7;
        const auto unit = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<double>(seed >> 8) / 16777216.0;
        };
        double walk = 0.0;
        for (int i = 0; i < row.Points; ++i) {
            x[static_cast<std::size_t>(i)] = i;
            walk += unit() - 0.5;
            const double v = row.Shape == 'n'   ? 4.0 * std::sin(i * 20.0 / row.Points) + unit() - 0.5
                             : row.Shape == 'r' ? std::clamp(walk * 10.0 / std::sqrt(row.Points), -4.5, 4.5)
                             : row.Shape == 'f' ? 3.0 * std::sin(i * 0.37)
                                                : 4.0 * std::sin(i * 12.0 / row.Points);
            y[static_cast<std::size_t>(i)] = v;
        }
        if (row.Path == 'l') {
            chart.MoveTo(0.0, y[0]);
            chart.AppendLinePoints(x.data(), y.data(), row.Points);
        } else if (row.Path == 's') {
            chart.AddSeries("s")->SetData(x, y);
            chart.Series(0)->SetPen(Qt::black);
        } else {
            chart.AddLineView(x, y);
        }
        chart.SetAntialiased(true);
        const int w = chart.Width() - chart.MarginLeft() - chart.MarginRight();
        const int h = chart.Height() - chart.MarginTop() - chart.MarginBottom();
        TBitmap reduced(w + 1, h + 1), exact(w + 1, h + 1);
        test::Clear(reduced, clWhite);
        test::Clear(exact, clWhite);
        chart.RenderData(reduced.Canvas(), 0, 0, false, true);
        chart.SetLineRunReduction(false);
        chart.RenderData(exact.Canvas(), 0, 0, false, true);

        double sum = 0.0;
        int pixels = 0, worst = 0;
        for (int px = 2; px < w - 1; ++px) {
            int firstR = -1, lastR = -1, firstE = -1, lastE = -1;
            for (int py = 2; py < h - 1; ++py) {
                const int r = qGray(reduced.Image().pixel(px, py));
                const int e = qGray(exact.Image().pixel(px, py));
                if (r == 255 && e == 255) continue;
                sum += std::abs(r - e);
                worst = std::max(worst, std::abs(r - e));
                ++pixels;
                if (r < 250 && firstR < 0) firstR = py;
                if (e < 250 && firstE < 0) firstE = py;
                if (r < 250) lastR = py;
                if (e < 250) lastE = py;
            }
            // The dark rows of each column reach the same extremes, give or
            // take the strokes of the neighbour columns, which reach half a
            // pixel into this one and darken more where many overlap.
            EXPECT_NEAR(firstR, firstE, 6) << "column " << px;
            EXPECT_NEAR(lastR, lastE, 6) << "column " << px;
        }
        ASSERT_GT(pixels, 0);
        std::printf("%s %d: mean %.2f worst %d over %d pixels\n", row.Name, row.Points, sum / pixels, worst, pixels);
        EXPECT_LE(sum / pixels, row.MaxMean);
        EXPECT_LE(worst, row.MaxWorst);
    }
}

}  // namespace
}  // namespace kurvo
