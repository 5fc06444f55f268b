// Anti-aliased drawing on real device pixels: smooth edges where a figure
// covers part of a pixel, sharp lines along the axes, positions between
// pixel centres, and the operations that stay aliased.
#include "canvas/qt_canvas.h"
#include "pixel_helpers.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kurvo {
namespace {

using TDrawing = std::function<void(TCanvas&)>;

constexpr int kSide = 24;

// The drawing on a white bitmap at `ratio`, anti-aliased or not.
QImage Drawn(double ratio, bool smooth, const TDrawing& drawing)
{
    TBitmap bitmap;
    bitmap.SetDevicePixelRatio(ratio);
    bitmap.SetSize(kSide, kSide);
    test::Clear(bitmap, clWhite);
    bitmap.Canvas().SetAntialiased(smooth);
    drawing(bitmap.Canvas());
    return bitmap.Image().convertToFormat(QImage::Format_RGB32);
}

// Pixels of neither the background nor one of the figure's own colours.
int BlendedPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xFFFFFFu;
            n += c != 0xFFFFFFu && c != 0 && c != 0xFF0000u;  // white, black, red
        }
    return n;
}

// Whether every device pixel that is not white lies in the canvas box
// [left, right] x [top, bottom].
bool InkWithin(const QImage& image, double ratio, int left, int top, int right, int bottom)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu) continue;
            const double cx = (x + 0.5) / ratio;
            const double cy = (y + 0.5) / ratio;
            if (cx < left || cx > right + 1 || cy < top || cy > bottom + 1) return false;
        }
    return true;
}

struct FigureCase {
    const char* Name;
    TDrawing Drawing;
    int Left, Top, Right, Bottom;  // canvas pixels the figure may touch
};

const FigureCase kFigures[] = {
    {"shallow line", [](TCanvas& c) { c.MoveTo(2, 3); c.LineTo(19, 10); }, 1, 2, 20, 11},
    {"polyline",
     [](TCanvas& c) {
         const TPoint p[] = {{1, 20}, {8, 3}, {15, 20}, {22, 10}};
         c.Polyline(p, 4);
     },
     0, 2, 23, 21},
    {"sub-pixel polyline",
     [](TCanvas& c) {
         const TPointF p[] = {{1.3, 19.7}, {8.25, 3.5}, {21.6, 12.1}};
         c.PolylineF(p, 3);
     },
     0, 2, 23, 21},
    {"filled polygon",
     [](TCanvas& c) {
         c.Brush().SetColor(clRed);
         const TPoint p[] = {{3, 20}, {11, 2}, {20, 17}};
         c.Polygon(p, 3);
     },
     2, 1, 21, 21},
    {"ellipse keeps to its box",
     [](TCanvas& c) {
         c.Brush().SetColor(clRed);
         c.Ellipse(3, 4, 20, 15);
     },
     3, 4, 19, 14},
    {"ellipse without outline",
     [](TCanvas& c) {
         c.Brush().SetColor(clRed);
         c.Pen().SetStyle(psClear);
         c.Ellipse(3, 4, 20, 15);
     },
     3, 4, 19, 14},
    {"arc", [](TCanvas& c) { c.Arc(2, 2, 22, 18, 22, 10, 2, 10); }, 2, 2, 21, 17},
    {"wide line", [](TCanvas& c) { c.Pen().SetWidth(3); c.MoveTo(4, 18); c.LineTo(19, 6); }, 2, 4, 21, 20},
};

TEST(SmoothDrawing, FiguresBlendTheirEdgesAndKeepToTheirPlace)
{
    for (const double ratio : {1.0, 2.0, 1.5}) {
        for (const FigureCase& row : kFigures) {
            SCOPED_TRACE(testing::Message() << row.Name << " at ratio " << ratio);
            const QImage smooth = Drawn(ratio, true, row.Drawing);
            EXPECT_GT(BlendedPixels(smooth), 4);
            EXPECT_TRUE(InkWithin(smooth, ratio, row.Left, row.Top, row.Right, row.Bottom));
            const QImage aliased = Drawn(ratio, false, row.Drawing);
            EXPECT_EQ(BlendedPixels(aliased), 0);
            EXPECT_TRUE(InkWithin(aliased, ratio, row.Left, row.Top, row.Right, row.Bottom));
        }
    }
}

TEST(SmoothDrawing, LinesAlongAnAxisStaySharp)
{
    // Between the end pixels the line's row (column) is solid ink in every
    // device pixel and nothing beside it is touched; only the two end
    // pixels are half covered.
    for (const double ratio : {1.0, 2.0, 3.0}) {
        for (const bool vertical : {false, true}) {
            SCOPED_TRACE(testing::Message() << (vertical ? "vertical" : "horizontal") << " at ratio " << ratio);
            const QImage image = Drawn(ratio, true, [&](TCanvas& c) {
                c.MoveTo(vertical ? 7 : 3, vertical ? 3 : 7);
                c.LineTo(vertical ? 7 : 18, vertical ? 18 : 7);
            });
            const int r = static_cast<int>(ratio);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const int along = (vertical ? y : x) / r;
                    const int across = (vertical ? x : y) / r;
                    const QRgb c = image.pixel(x, y) & 0xFFFFFFu;
                    if (across != 7 || along < 3 || along > 18)
                        ASSERT_EQ(c, 0xFFFFFFu) << x << "," << y;
                    else if (along > 3 && along < 18)
                        ASSERT_EQ(c, 0u) << x << "," << y;
                }
        }
    }
}

// Grey level (0 black ... 255 white) of canvas row `row` at column 10, ratio 1.
int GreyOfRow(const QImage& image, int row) { return qGray(image.pixel(10, row)); }

struct SubPixelCase {
    const char* Name;
    double Y;
    int Row5Low, Row5High;  // grey range of row 5
    int Row6Low, Row6High;  // grey range of row 6
};

TEST(SmoothDrawing, PositionsBetweenPixelCentresShareTheirCoverage)
{
    const SubPixelCase rows[] = {
        {"on the centre of row 5", 5.0, 0, 0, 255, 255},
        {"half way to row 6", 5.5, 96, 160, 96, 160},
        {"a quarter of the way", 5.25, 32, 96, 160, 224},
        {"just below row 6's centre", 6.0, 255, 255, 0, 0},
    };
    for (const SubPixelCase& row : rows) {
        SCOPED_TRACE(row.Name);
        const QImage image = Drawn(1.0, true, [&](TCanvas& c) {
            const TPointF p[] = {{2, row.Y}, {20, row.Y}};
            c.PolylineF(p, 2);
        });
        EXPECT_GE(GreyOfRow(image, 5), row.Row5Low);
        EXPECT_LE(GreyOfRow(image, 5), row.Row5High);
        EXPECT_GE(GreyOfRow(image, 6), row.Row6Low);
        EXPECT_LE(GreyOfRow(image, 6), row.Row6High);
        EXPECT_EQ(GreyOfRow(image, 4), 255);
        EXPECT_EQ(GreyOfRow(image, 7), 255);
    }
}

struct SameAsCase {
    const char* Name;
    bool Smooth;  // the first drawing anti-aliased
    TDrawing Drawing;
    TDrawing Expected;  // aliased
};

TEST(SmoothDrawing, AliasedOperationsAndAliasedPositionsStayAsTheyWere)
{
    const SameAsCase rows[] = {
        {"rectangle", true,
         [](TCanvas& c) {
             c.Brush().SetColor(clRed);
             c.Rectangle(3, 4, 17, 12);
         },
         [](TCanvas& c) {
             c.Brush().SetColor(clRed);
             c.Rectangle(3, 4, 17, 12);
         }},
        {"XOR pen", true,
         [](TCanvas& c) {
             c.Pen().SetMode(pmXor);
             c.MoveTo(2, 3);
             c.LineTo(19, 10);
         },
         [](TCanvas& c) {
             c.Pen().SetMode(pmXor);
             c.MoveTo(2, 3);
             c.LineTo(19, 10);
         }},
        {"aliased sub-pixel points round half to even", false,
         [](TCanvas& c) {
             const TPointF p[] = {{1.5, 2.5}, {10.5, 7.5}, {17.49, 3.51}};
             c.PolylineF(p, 3);
         },
         [](TCanvas& c) {
             const TPoint p[] = {{2, 2}, {10, 8}, {17, 4}};
             c.Polyline(p, 3);
         }},
        // Split in a gap of the pattern (9 on, 6 off, 3 on, 6 off), so that
        // only the pattern's phase can tell the two apart.
        {"a dashed line in two calls is the line in one", true,
         [](TCanvas& c) {
             c.Pen().SetStyle(psDashDot);
             const TPointF a[] = {{1, 5}, {12, 5}};
             const TPointF b[] = {{12, 5}, {23, 5}};
             c.PolylineF(a, 2);
             c.PolylineF(b, 2);
         },
         nullptr},
    };
    for (const SameAsCase& row : rows) {
        SCOPED_TRACE(row.Name);
        const QImage drawn = Drawn(1.0, row.Smooth, row.Drawing);
        const QImage expected = row.Expected ? Drawn(1.0, false, row.Expected) : Drawn(1.0, true, [](TCanvas& c) {
            c.Pen().SetStyle(psDashDot);
            const TPointF p[] = {{1, 5}, {23, 5}};
            c.PolylineF(p, 2);
        });
        EXPECT_TRUE(drawn == expected);
    }
}


// Where segments of one line meet, the pixel there is covered once: a line
// through a point per pixel, straight or bent, keeps the pen's colour along
// its middle.
TEST(SmoothDrawing, JointsOfALineAreCoveredOnce)
{
    const struct {
        const char* Name;
        int StepX, StepY;  // between points
    } cases[] = {{"horizontal", 1, 0}, {"vertical", 0, 1}, {"diagonal", 1, 1}, {"every third pixel", 3, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QImage image = Drawn(1.0, true, [&c](TCanvas& canvas) {
            canvas.Pen().SetColor(clBlack);
            std::vector<TPointF> points;
            for (int k = 0; k < 7; ++k) points.push_back({2.0 + k * c.StepX, 2.0 + k * c.StepY});
            canvas.PolylineF(points.data(), static_cast<int>(points.size()));
        });
        // Every point but the two ends (a diagonal covers a little less
        // than its pixels).
        for (int k = 1; k < 6; ++k) EXPECT_LE(qGray(image.pixel(2 + k * c.StepX, 2 + k * c.StepY)), 24) << k;
    }
}

}  // namespace
}  // namespace kurvo
