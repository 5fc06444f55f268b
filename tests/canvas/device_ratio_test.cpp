// Drawing at device pixel ratios other than 1, read from the device pixels:
// lines stay sharp and round(ratio) device pixels wide, shapes keep the
// geometry of the ratio-1 picture, text gets the full resolution. Also the
// canvas on an arbitrary QPainter device.
#include "canvas/qt_canvas.h"
#include "pixel_helpers.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kurvo {
namespace {

constexpr int kSize = 24;

using TDrawing = std::function<void(TCanvas&)>;

// The drawing on a white kSize x kSize bitmap at `ratio`.
QImage Draw(double ratio, const TDrawing& drawing)
{
    TBitmap bitmap;
    bitmap.SetDevicePixelRatio(ratio);
    bitmap.SetSize(kSize, kSize);
    test::Clear(bitmap, clWhite);
    drawing(bitmap.Canvas());
    return bitmap.Image().convertToFormat(QImage::Format_RGB32);
}

bool Ink(const QImage& image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return false;
    return (image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
}

struct ShapeCase {
    const char* Name;
    TDrawing Drawing;
};

const ShapeCase kShapes[] = {
    {"right", [](TCanvas& c) { c.MoveTo(2, 5); c.LineTo(15, 5); }},
    {"left", [](TCanvas& c) { c.MoveTo(15, 7); c.LineTo(2, 7); }},
    {"down", [](TCanvas& c) { c.MoveTo(4, 1); c.LineTo(4, 17); }},
    {"up", [](TCanvas& c) { c.MoveTo(6, 17); c.LineTo(6, 1); }},
    {"shallow", [](TCanvas& c) { c.MoveTo(1, 2); c.LineTo(18, 9); }},
    {"steep back", [](TCanvas& c) { c.MoveTo(13, 2); c.LineTo(10, 18); }},
    {"diagonal", [](TCanvas& c) { c.MoveTo(2, 2); c.LineTo(14, 14); }},
    {"polyline",
     [](TCanvas& c) {
         const TPoint p[] = {{1, 20}, {8, 3}, {15, 20}, {22, 10}};
         c.Polyline(p, 4);
     }},
    {"rectangle outline",
     [](TCanvas& c) {
         c.Brush().SetStyle(bsClear);
         c.Rectangle(3, 4, 19, 15);
     }},
    {"filled rectangle",
     [](TCanvas& c) {
         c.Brush().SetColor(clBlack);
         c.Rectangle(3, 4, 19, 15);
     }},
    {"dashed", [](TCanvas& c) { c.Pen().SetStyle(psDot); c.Brush().SetStyle(bsClear); c.MoveTo(1, 11); c.LineTo(23, 11); }},
    {"ellipse",
     [](TCanvas& c) {
         c.Brush().SetStyle(bsClear);
         c.Ellipse(3, 3, 20, 16);
     }},
    {"polygon",
     [](TCanvas& c) {
         const TPoint p[] = {{3, 3}, {20, 6}, {8, 20}};
         c.Brush().SetColor(clBlack);
         c.Polygon(p, 3);
     }},
    {"pixels", [](TCanvas& c) { for (int k = 0; k < 20; k += 3) c.SetPixel(k, 20 - k, clBlack); }},
};

// Each ink pixel at `ratio` lies within half a logical pixel (at least one
// device pixel) of the ratio-1 picture scaled by `ratio`, and each ink pixel
// of the ratio-1 picture has ink that near its scaled square. The ratio-1
// staircase itself strays up to half a pixel from the exact line.
TEST(DeviceRatioTest, ShapesKeepTheGeometryOfTheRatioOnePicture)
{
    for (const double ratio : {2.0, 3.0, 1.5, 1.25}) {
        for (const ShapeCase& shape : kShapes) {
            SCOPED_TRACE(std::string(shape.Name) + " at ratio " + std::to_string(ratio));
            const QImage one = Draw(1.0, shape.Drawing);
            const QImage scaled = Draw(ratio, shape.Drawing);
            const int reach = static_cast<int>(std::ceil(ratio / 2));
            ASSERT_EQ(scaled.width(), std::lround(kSize * ratio));
            const auto inkOfOne = [&](int dx, int dy) {
                return Ink(one, static_cast<int>(std::floor(dx / ratio)), static_cast<int>(std::floor(dy / ratio)));
            };
            int stray = 0;
            int missing = 0;
            for (int y = 0; y < scaled.height(); ++y)
                for (int x = 0; x < scaled.width(); ++x) {
                    if (!Ink(scaled, x, y)) continue;
                    bool near = false;
                    for (int j = -reach; j <= reach && !near; ++j)
                        for (int i = -reach; i <= reach && !near; ++i) near = inkOfOne(x + i, y + j);
                    if (!near) ++stray;
                }
            for (int y = 0; y < kSize; ++y)
                for (int x = 0; x < kSize; ++x) {
                    if (!Ink(one, x, y)) continue;
                    bool near = false;
                    const int x0 = static_cast<int>(std::floor(x * ratio)) - reach;
                    const int x1 = static_cast<int>(std::ceil((x + 1) * ratio)) - 1 + reach;
                    const int y0 = static_cast<int>(std::floor(y * ratio)) - reach;
                    const int y1 = static_cast<int>(std::ceil((y + 1) * ratio)) - 1 + reach;
                    for (int j = y0; j <= y1 && !near; ++j)
                        for (int i = x0; i <= x1 && !near; ++i) near = Ink(scaled, i, j);
                    if (!near) ++missing;
                }
            EXPECT_EQ(stray, 0);
            EXPECT_EQ(missing, 0);
        }
    }
}

// A picture set in one go gives the device pixels of SetPixel on each of
// its pixels, on a bitmap and through a painter, partly off the surface.
TEST(DeviceRatioTest, PixelPictureSetsTheDevicePixelsOfSetPixel)
{
    std::vector<std::uint32_t> picture(20 * 19);
    for (std::size_t k = 0; k < picture.size(); ++k)
        picture[k] = (k * 2654435761u >> 7) % 3 == 0 ? 0 : 0xFF000000u | static_cast<std::uint32_t>(k * 0x10305u & 0xFFFFFFu);
    for (const bool painter : {false, true})
        for (const double ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
            const auto draw = [&](bool onePass) {
                QImage image(static_cast<int>(std::lround(kSize * ratio)), static_cast<int>(std::lround(kSize * ratio)),
                             QImage::Format_RGB32);
                image.setDevicePixelRatio(ratio);
                image.fill(Qt::white);
                QPainter external;
                if (painter) external.begin(&image);
                TQtCanvas canvas = painter ? TQtCanvas(&external, 96, false) : TQtCanvas(&image);
                if (onePass)
                    canvas.SetPixels(-3, 8, 20, 19, picture.data(), 20);
                else
                    canvas.TCanvas::SetPixels(-3, 8, 20, 19, picture.data(), 20);
                canvas.EndPaint();
                return image;
            };
            EXPECT_TRUE(draw(true) == draw(false)) << (painter ? "through a painter" : "on a bitmap") << " at ratio " << ratio;
        }
}

// A one-pixel line is a band of round(ratio) fully dark rows or columns,
// without grey neighbours, that ends before the end pixel.
TEST(DeviceRatioTest, OnePixelLinesAreSharpBandsOfRoundRatioDevicePixels)
{
    for (const double ratio : {2.0, 3.0, 1.5, 1.25}) {
        SCOPED_TRACE("ratio " + std::to_string(ratio));
        const int band = static_cast<int>(std::lround(ratio));
        const QImage horizontal = Draw(ratio, [](TCanvas& c) { c.MoveTo(2, 5); c.LineTo(15, 5); });
        const QImage vertical = Draw(ratio, [](TCanvas& c) { c.MoveTo(7, 16); c.LineTo(7, 3); });
        for (const bool across : {false, true}) {
            const QImage& image = across ? vertical : horizontal;
            // Lines along the other axis: count the dark device pixels per row
            // (or column) and insist on pure black or pure white.
            int darkLines = 0;
            for (int a = 0; a < image.height(); ++a) {
                int dark = 0;
                for (int b = 0; b < image.width(); ++b) {
                    const QRgb p = (across ? image.pixel(a, b) : image.pixel(b, a)) & 0xFFFFFFu;
                    ASSERT_TRUE(p == 0 || p == 0xFFFFFFu) << "grey device pixel " << std::hex << p;
                    if (p == 0) ++dark;
                }
                if (dark > 0) {
                    ++darkLines;
                    // Logical pixels 2 ... 14 (or 4 ... 16): the device pixels
                    // whose centres lie in between (a centre on the edge
                    // belongs to the pixel before it).
                    const double from = across ? 4 : 2;
                    const double to = across ? 17 : 15;
                    EXPECT_EQ(dark, std::floor(to * ratio - 0.5) - std::floor(from * ratio - 0.5)) << "band line " << a;
                }
            }
            EXPECT_EQ(darkLines, band);
        }
        // The end pixel (15, 5) stays white, the start pixel (2, 5) is dark.
        TBitmap probe;
        probe.SetDevicePixelRatio(ratio);
        probe.SetSize(kSize, kSize);
        test::Clear(probe, clWhite);
        probe.Canvas().MoveTo(2, 5);
        probe.Canvas().LineTo(15, 5);
        EXPECT_EQ(probe.Pixel(2, 5), clBlack);
        EXPECT_EQ(probe.Pixel(14, 5), clBlack);
        EXPECT_EQ(probe.Pixel(15, 5), clWhite);
        EXPECT_EQ(probe.Canvas().GetPixel(15, 5), clWhite);
        EXPECT_EQ(probe.Canvas().GetPixel(14, 5), clBlack);
    }
}

// On a whole-number ratio a one-pixel line along an axis is the ratio x
// ratio blocks of its ratio-1 pixels, in every direction, also where it
// leaves the bitmap; lines of other slopes in the same path keep their bands.
TEST(DeviceRatioTest, AxisLinesOnWholeNumberRatiosAreTheBlocksOfTheirPixels)
{
    const TDrawing axisLines = [](TCanvas& c) {
        const TPoint stairs[] = {{1, 1}, {9, 1}, {9, 6}, {3, 6}, {3, 14}, {3, 9}, {20, 9}, {20, 30}};
        c.Polyline(stairs, 8);
        c.MoveTo(30, 21);  // from outside the bitmap in
        c.LineTo(5, 21);
        c.MoveTo(-4, 18);
        c.LineTo(12, 18);
        c.Rectangle(13, 12, 19, 16);
        // Single segments in each direction, their end pixels in view.
        for (const auto& [from, to] : {std::pair<TPoint, TPoint>{{22, 2}, {22, 8}}, {{17, 7}, {17, 2}},
                                       {{11, 3}, {16, 3}}, {{16, 5}, {11, 5}}}) {
            c.MoveTo(from.X, from.Y);
            c.LineTo(to.X, to.Y);
        }
    };
    const QImage one = Draw(1.0, axisLines);
    for (const int ratio : {2, 3}) {
        SCOPED_TRACE("ratio " + std::to_string(ratio));
        const QImage image = Draw(ratio, axisLines);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(Ink(image, x, y), Ink(one, x / ratio, y / ratio)) << x << "," << y;
        // A sloped segment between axis segments is still drawn by its band.
        const QImage mixed = Draw(ratio, [](TCanvas& c) {
            const TPoint path[] = {{2, 2}, {2, 10}, {12, 16}, {20, 16}};
            c.Polyline(path, 4);
        });
        EXPECT_TRUE(Ink(mixed, 7 * ratio, 13 * ratio));
        EXPECT_TRUE(Ink(mixed, 19 * ratio + ratio - 1, 16 * ratio));
        EXPECT_FALSE(Ink(mixed, 20 * ratio, 16 * ratio)) << "the path ends before its end pixel";
    }
}

// A bitmap drawn on a bitmap of the same whole-number ratio lands pixel for
// pixel at its place, also where it hangs over an edge.
TEST(DeviceRatioTest, BitmapsOfTheSameRatioAreDrawnPixelForPixel)
{
    const auto colourAt = [](int x, int y) { return static_cast<TColor>((20 + 30 * x) | (20 + 40 * y) << 8 | 100 << 16); };
    for (const int ratio : {1, 2, 3}) {
        TBitmap source;
        source.SetDevicePixelRatio(ratio);
        source.SetSize(7, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) source.Canvas().SetPixel(x, y, colourAt(x, y));
        for (const TPoint at : {TPoint{3, 4}, TPoint{-2, -1}, TPoint{16, 13}, TPoint{40, 2}}) {
            SCOPED_TRACE("ratio " + std::to_string(ratio) + " at " + std::to_string(at.X) + "," + std::to_string(at.Y));
            TBitmap target;
            target.SetDevicePixelRatio(ratio);
            target.SetSize(20, 16);
            test::Clear(target, clWhite);
            target.Canvas().Draw(at.X, at.Y, source);
            const QImage& image = target.Image();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const int sx = x / ratio - at.X;
                    const int sy = y / ratio - at.Y;
                    const bool inside = sx >= 0 && sy >= 0 && sx < 7 && sy < 5;
                    ASSERT_EQ(FromQRgb(image.pixel(x, y)), inside ? colourAt(sx, sy) : clWhite) << x << "," << y;
                }
        }
    }
}

int DarkPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}

// Text is rendered at the device resolution, not enlarged from the ratio-1
// glyphs: more than three times the ink, and 2 x 2 blocks that differ.
TEST(DeviceRatioTest, TextIsRenderedAtFullResolution)
{
    const TDrawing text = [](TCanvas& c) {
        c.Brush().SetStyle(bsClear);
        c.Font().SetColor(clBlack);
        c.TextOut(1, 4, "Kw8");
    };
    const QImage one = Draw(1.0, text);
    const QImage two = Draw(2.0, text);
    const int inkOne = DarkPixels(one);
    const int inkTwo = DarkPixels(two);
    ASSERT_GT(inkOne, 10);
    EXPECT_GE(inkTwo, 3 * inkOne);
    int mixedBlocks = 0;
    for (int y = 0; y + 1 < two.height(); y += 2)
        for (int x = 0; x + 1 < two.width(); x += 2) {
            const QRgb p = two.pixel(x, y);
            if (two.pixel(x + 1, y) != p || two.pixel(x, y + 1) != p || two.pixel(x + 1, y + 1) != p) ++mixedBlocks;
        }
    EXPECT_GT(mixedBlocks, 10);
    // Text metrics stay in canvas pixels.
    TBitmap a;
    TBitmap b;
    b.SetDevicePixelRatio(2.0);
    EXPECT_EQ(a.Canvas().TextWidth("Kw8"), b.Canvas().TextWidth("Kw8"));
}

TEST(DeviceRatioTest, BitmapKeepsItsLogicalSizeAndRejectsAbsurdRatios)
{
    TBitmap bitmap(10, 7);
    bitmap.SetDevicePixelRatio(1.5);
    EXPECT_EQ(bitmap.Width(), 10);
    EXPECT_EQ(bitmap.Image().width(), 15);
    EXPECT_EQ(bitmap.Image().height(), 11);  // 10.5 rounds to 11 (away from zero)
    EXPECT_DOUBLE_EQ(bitmap.Image().devicePixelRatio(), 1.5);
    EXPECT_EQ(bitmap.Canvas().DevicePixelRatio(), 1.5);
    const struct {
        double Value;
        double Expected;
    } rows[] = {{std::nan(""), 1.0}, {INFINITY, 1.0}, {-2.0, MinDevicePixelRatio}, {0.0, MinDevicePixelRatio},
                {1e9, MaxDevicePixelRatio}, {3.0, 3.0}};
    for (const auto& row : rows) {
        bitmap.SetDevicePixelRatio(row.Value);
        EXPECT_EQ(bitmap.DevicePixelRatio(), row.Expected) << row.Value;
        EXPECT_EQ(bitmap.Image().width(), std::lround(10 * row.Expected));
    }
}

// The canvas on a device it cannot write directly: lines through QPainter on
// the pixel centres, the printer flag and resolution as given, no reading.
TEST(DeviceRatioTest, CanvasOnAnyPainterDevice)
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TQtCanvas canvas(&painter, 300, true);
        EXPECT_TRUE(canvas.IsPrinterCanvas());
        EXPECT_EQ(CanvasLogPixelsY(canvas), 300);
        EXPECT_EQ(canvas.GetPixel(1, 1), -1);
        canvas.MoveTo(15, 5);
        canvas.LineTo(2, 5);
        canvas.Brush().SetColor(clBlack);
        canvas.Rectangle(4, 10, 8, 12);
        TQtCanvas screen(&painter, 96, false);
        EXPECT_FALSE(screen.IsPrinterCanvas());
        EXPECT_EQ(CanvasLogPixelsY(screen), ScreenLogPixelsY());
    }
    for (int x = 0; x < kSize; ++x)
        for (int y = 0; y < kSize; ++y) {
            const bool line = y == 5 && x >= 3 && x <= 15;
            const bool box = x >= 4 && x < 8 && y >= 10 && y < 12;
            EXPECT_EQ(Ink(image, x, y), line || box) << x << ", " << y;
        }
}

}  // namespace
}  // namespace kurvo
