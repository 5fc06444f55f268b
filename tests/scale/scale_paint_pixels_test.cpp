// Axis painting in real pixels: tick lengths, the opaque background and
// frame, a stand-alone axis in its own window.
#include "canvas/qt_canvas.h"
#include "scale/Qorn_Scale.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <string>

using namespace kurvo;

namespace {

constexpr TColor kPaper = clWhite;
constexpr TColor kBackground = 0xD0E0F0;

void Fill(TBitmap& bitmap, TColor color)
{
    TCanvas& c = bitmap.Canvas();
    c.Pen().SetColor(color);
    c.Brush().SetColor(color);
    c.Rectangle(0, 0, bitmap.Width(), bitmap.Height());
}

// Number of pixels of `color` from (x, y) on in steps of (dx, dy).
int RunLength(const TBitmap& bitmap, int x, int y, int dx, int dy, TColor color)
{
    int n = 0;
    for (; bitmap.Pixel(x, y) == color; x += dx, y += dy) ++n;
    return n;
}

int CountPixelsOtherThan(const TBitmap& bitmap, TColor color, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (bitmap.Pixel(x, y) != color) ++n;
    return n;
}

// A loaded axis 141 x 141 (margins 20, so 100 pixels long) that paints in
// red onto a white bitmap when told to.
struct TAxisOnBitmap {
    TBitmap target{141, 141};
    TScale axis;

    explicit TAxisOnBitmap(TScaleType type)
    {
        Fill(target, kPaper);
        axis.BeginLoading();
        axis.Loaded();
        axis.SetEmbedded(true);
        axis.SetBounds(0, 0, target.Width(), target.Height());
        axis.SetScaleType(type);
        axis.SetTransparent(true);
        axis.SetShowBaseLine(false);
        axis.SetColorScale(clRed);
        axis.SetExternalCanvas(&target.Canvas(), 0, 0);
    }
};

}  // namespace

TEST(AxisPixels, TickLengths)
{
    struct Row {
        const char* name;
        TScaleType type;
        bool logarithmic;
        double low, high;
        int minTicks;
        bool shortTicks;
        double value;
        int length;
    };
    // Linear 0 ... 20: long ticks 0, 10, 20, short ones every 2.
    // Logarithmic 1 ... 10: long ticks 1, 2, 5, 10, short ones 3, 4, 6 ... 9.
    const Row rows[] = {
        {"bottom axis, long", sctXT, false, 0, 20, 2, false, 10, 7},
        {"top axis, long", sctXB, false, 0, 20, 2, false, 10, 7},
        {"bottom axis, short", sctXT, false, 0, 20, 2, true, 2, 4},
        {"left axis, long", sctYR, false, 0, 20, 2, false, 10, 6},
        {"right axis, short", sctYL, false, 0, 20, 2, true, 2, 4},
        {"logarithmic left axis, short", sctYR, true, 1, 10, 3, true, 3, 6},
        {"logarithmic right axis, long", sctYL, true, 1, 10, 3, true, 2, 6},
        {"logarithmic top axis, short", sctXB, true, 1, 10, 3, true, 3, 4},
        {"logarithmic top axis, long", sctXB, true, 1, 10, 3, true, 5, 7},
        {"logarithmic bottom axis, short ticks off", sctXT, true, 1, 10, 3, false, 3, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TAxisOnBitmap a(r.type);
        a.axis.SetLabelType(ftNoFigs);
        a.axis.SetRangeHigh(r.high);
        a.axis.SetRangeLow(r.low);
        a.axis.SetLogarithmic(r.logarithmic);
        a.axis.SetMinTicks(r.minTicks);
        a.axis.SetShortTicks(r.shortTicks);
        a.axis.PaintNow();

        const int p = a.axis.ValueToPixel(r.value);
        int x = p, y = p, dx = 0, dy = 0;
        switch (r.type) {
        case sctXT: y = 20, dy = 1; break;
        case sctXB: y = 120, dy = -1; break;
        case sctYL: x = 20, dx = 1; break;
        case sctYR: x = 120, dx = -1; break;
        }
        EXPECT_EQ(RunLength(a.target, x, y, dx, dy, clRed), r.length);
        EXPECT_EQ(a.target.Pixel(x - dx, y - dy), kPaper);  // starts on the base line
    }
}

TEST(AxisPixels, BaseLineSpansTheAxis)
{
    TAxisOnBitmap a(sctXT);
    a.axis.SetLabelType(ftNoFigs);
    a.axis.SetShowBaseLine(true);
    a.axis.SetRangeHigh(99);  // no tick at the right end
    a.axis.PaintNow();
    // From MarginLeft to Width - MarginRight - 1, that end pixel left out.
    EXPECT_EQ(RunLength(a.target, 20, 20, 1, 0, clRed), 100);
    EXPECT_EQ(a.target.Pixel(19, 20), kPaper);
}

TEST(AxisPixels, EmptiedLabelsLeaveOnlyTheTicks)
{
    for (bool emptied : {false, true}) {
        SCOPED_TRACE(emptied);
        TAxisOnBitmap a(sctXT);
        a.axis.SetRangeHigh(20);
        a.axis.SetMinTicks(2);
        a.axis.SetShortTicks(false);
        if (emptied) a.axis.OnBeforeTickLabel = [](TObject*, TScaleType, double, std::string& text) { text.clear(); };
        a.axis.PaintNow();
        // Labels sit 7 pixels below the base line at y 20.
        const int h = a.target.Canvas().TextHeight("0");
        const int labelPixels = CountPixelsOtherThan(a.target, kPaper, 0, 27, 141, 27 + h);
        if (emptied)
            EXPECT_EQ(labelPixels, 0);
        else
            EXPECT_GT(labelPixels, 0);
        EXPECT_EQ(CountPixelsOtherThan(a.target, kPaper, 0, 0, 141, 27), 3 * 7);  // the three long ticks
    }
}

TEST(AxisPixels, OpaqueBackgroundAndFrame)
{
    struct Pixel {
        int x, y;
        TColor color;
    };
    struct Row {
        const char* name;
        bool transparent;
        TFrameStyle frame;
        std::vector<Pixel> pixels;
    };
    // The axis is 200 x 100 and drawn at (5, 7) on a 220 x 120 white bitmap.
    const Row rows[] = {
        {"opaque, lowered frame", false, fsLowered,
         {{5, 57, 0x808080},   // outer left: frame shadow colour
          {6, 57, clBlack},    // inner left: frame dark colour
          {204, 57, clWhite},  // outer right: frame highlight colour
          {203, 57, clSilver}, // inner right
          {105, 7, 0x808080},  // outer top
          {105, 106, clWhite}, // outer bottom
          {15, 17, kBackground},
          {4, 57, kPaper},  // outside the control
          {105, 6, kPaper}}},
        {"opaque, no frame", false, fsNone, {{5, 57, kBackground}, {6, 57, kBackground}, {204, 106, kBackground}}},
        {"transparent: neither background nor frame", true, fsLowered,
         {{5, 57, kPaper}, {6, 57, kPaper}, {15, 17, kPaper}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TBitmap target(220, 120);
        Fill(target, kPaper);
        TScale axis;
        axis.BeginLoading();
        axis.Loaded();
        axis.SetEmbedded(true);
        axis.SetBounds(0, 0, 200, 100);
        axis.SetColorBackGnd(kBackground);
        axis.SetFrameStyle(r.frame);
        axis.SetTransparent(r.transparent);
        axis.SetExternalCanvas(&target.Canvas(), 5, 7);
        axis.PaintNow();
        for (const Pixel& p : r.pixels) EXPECT_EQ(target.Pixel(p.x, p.y), p.color) << p.x << "," << p.y;
        // The ticks of the top axis (base line y = 79) are there in every case.
        // Drawn transparent, the offsets move the axis across its direction only.
        const int tickX = (r.transparent ? 0 : 5) + axis.ValueToPixel(0);
        EXPECT_EQ(target.Pixel(tickX, 7 + 78), clBlack);
    }
}

TEST(AxisWindow, StandAloneAxisPaintsItselfOpaqueWithItsFrame)
{
    for (bool byShow : {false, true}) {
        SCOPED_TRACE(byShow ? "shown" : "HandleNeeded");
        TScale axis;
        axis.BeginLoading();
        axis.Loaded();
        axis.SetBounds(0, 0, 200, 100);
        axis.SetColorBackGnd(kBackground);
        axis.SetCaption("volts");
        EXPECT_NE(FromQRgb(axis.WindowImage().pixel(15, 17)), kBackground);  // no window yet: not painted
        if (byShow) {
            axis.show();
            QApplication::processEvents();
        } else {
            axis.HandleNeeded();
        }
        EXPECT_TRUE(axis.HandleAllocated());
        EXPECT_FALSE(axis.PaintSuspended());
        const QImage image = axis.WindowImage();
        auto pixel = [&](int x, int y) { return FromQRgb(image.pixel(x, y)); };
        EXPECT_EQ(pixel(0, 50), 0x808080);
        EXPECT_EQ(pixel(1, 50), clBlack);
        EXPECT_EQ(pixel(199, 50), clWhite);
        EXPECT_EQ(pixel(15, 17), kBackground);
        EXPECT_EQ(pixel(axis.ValueToPixel(40), 78), clBlack);  // a long tick of the top axis
        // A setter repaints the opaque axis at once.
        axis.SetColorBackGnd(clYellow);
        EXPECT_EQ(FromQRgb(axis.WindowImage().pixel(15, 17)), clYellow);
        if (byShow) axis.hide();
    }
}

// At device pixel ratio 2 the stand-alone axis paints a surface of twice the
// size in device pixels, its opaque bitmap included: the one-pixel frame
// lines and ticks are two sharp device pixels wide, not a blurred copy.
TEST(AxisWindow, StandAloneAxisPaintsAtTheDevicePixelRatio)
{
    TScale axis;
    axis.SetDevicePixelRatio(2.0);
    axis.BeginLoading();
    axis.Loaded();
    axis.SetBounds(0, 0, 200, 100);
    axis.SetColorBackGnd(kBackground);
    axis.HandleNeeded();
    const QImage image = axis.WindowImage();
    ASSERT_EQ(image.size(), QSize(400, 200));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    auto pixel = [&](int x, int y) { return FromQRgb(image.pixel(x, y)); };
    const struct {
        int X;
        TColor Color;
    } frame[] = {{0, 0x808080}, {1, 0x808080}, {2, clBlack}, {3, clBlack}, {4, kBackground}};
    for (const auto& column : frame) EXPECT_EQ(pixel(column.X, 100), column.Color) << "column " << column.X;
    const int tick = 2 * axis.ValueToPixel(40);
    EXPECT_EQ(pixel(tick - 1, 2 * 78), kBackground);
    EXPECT_EQ(pixel(tick, 2 * 78), clBlack);
    EXPECT_EQ(pixel(tick + 1, 2 * 78), clBlack);
    EXPECT_EQ(pixel(tick + 2, 2 * 78), kBackground);
}
