// The demo window rendered off-screen, read pixel by pixel: the data area
// and its frame, the curve, the overlay of the data-rendered handler and the
// hexadecimal labels of the tick handler.
#include "app/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

// The window's picture as it would reach the screen, read in the chart's
// own pixel coordinates.
class TChartPicture {
public:
    explicit TChartPicture(TForm1& form)
        : FImage(form.grab().toImage().convertToFormat(QImage::Format_RGB32)),
          FOrigin(form.Kurvo1()->geometry().topLeft())
    {
    }

    QRgb At(int x, int y) const { return FImage.pixel(FOrigin.x() + x, FOrigin.y() + y) & 0xFFFFFFu; }
    int Width() const { return FImage.width() - FOrigin.x(); }
    int Height() const { return FImage.height() - FOrigin.y(); }

private:
    QImage FImage;
    QPoint FOrigin;
};

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kPureBlue = 0x0000FF;
constexpr QRgb kPureGreen = 0x00FF00;
constexpr QRgb kPureRed = 0xFF0000;

// Colour classes for antialiased text: the pixel leans clearly to one primary.
bool Bluish(QRgb c) { return qBlue(c) > 150 && qRed(c) < 110 && qGreen(c) < 110; }
bool Reddish(QRgb c) { return qRed(c) > 150 && qBlue(c) < 110 && qGreen(c) < 110; }
bool Dark(QRgb c) { return qRed(c) < 110 && qGreen(c) < 110 && qBlue(c) < 110; }

struct TBox {
    int Left = INT_MAX;
    int Top = INT_MAX;
    int Right = INT_MIN;
    int Bottom = INT_MIN;
    int Count = 0;
    void Add(int x, int y)
    {
        Left = std::min(Left, x);
        Top = std::min(Top, y);
        Right = std::max(Right, x);
        Bottom = std::max(Bottom, y);
        ++Count;
    }
};

template <class Pred>
TBox BoxOf(const TChartPicture& picture, int x0, int y0, int x1, int y1, Pred pred)
{
    TBox box;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (pred(picture.At(x, y))) box.Add(x, y);
    return box;
}

struct TTick {
    double Value;
    int X;
    int Y;
};

// A shown demo window whose tick handler is observed: every left-Y-axis tick
// the chart reports is recorded before the window's own handler runs.
class DemoPixels : public ::testing::Test {
protected:
    void SetUp() override
    {
        TKurvo& k = *Form.Kurvo1();
        TScaleTickDrawnEvent own = k.OnScaleTickDrawn;
        k.OnScaleTickDrawn = [this, own](TObject* sender, TCanvas& canvas, TScaleType type, double value, int x,
                                         int y) {
            if (type == sctYR) Ticks.push_back({value, x, y});
            own(sender, canvas, type, value, x, y);
        };
        Form.show();
        QApplication::processEvents();
    }

    // The picture as the window shows it now.
    TChartPicture Render() { return TChartPicture(Form); }

    // The picture after a full repaint of the chart, with its ticks recorded.
    TChartPicture Repaint()
    {
        Ticks.clear();
        Form.Kurvo1()->Invalidate();
        return TChartPicture(Form);
    }

    TForm1 Form;
    std::vector<TTick> Ticks;
};

}  // namespace

TEST_F(DemoPixels, DataAreaIsWhiteInsideABlackFrame)
{
    const TChartPicture p = Render();
    ASSERT_EQ(p.Width(), 473);
    ASSERT_EQ(p.Height(), 421);
    // The frame: columns 80 and 457, rows 20 and 381.
    for (int y = 20; y <= 381; ++y) {
        EXPECT_EQ(p.At(80, y), kBlack) << "left edge, y " << y;
        EXPECT_EQ(p.At(457, y), kBlack) << "right edge, y " << y;
    }
    for (int x = 80; x <= 457; ++x) {
        EXPECT_EQ(p.At(x, 20), kBlack) << "top edge, x " << x;
        EXPECT_EQ(p.At(x, 381), kBlack) << "bottom edge, x " << x;
    }
    // Just outside the frame is the window colour, not the data area.
    EXPECT_NE(p.At(79, 200), kWhite);
    EXPECT_NE(p.At(458, 200), kWhite);
    EXPECT_NE(p.At(300, 19), kWhite);
    EXPECT_NE(p.At(300, 382), kWhite);
    // Inside, away from the curve (|y| <= 1 maps to rows 164 ... 236) and
    // the overlay (rows 110 ... 145 and the relative text near row 247),
    // every pixel is white.
    const int bands[][2] = {{21, 105}, {275, 380}};
    for (const auto& band : bands)
        for (int y = band[0]; y <= band[1]; ++y)
            for (int x = 81; x <= 456; ++x)
                ASSERT_EQ(p.At(x, y), kWhite) << "(" << x << ", " << y << ")";
}

TEST_F(DemoPixels, CurvePassesThroughItsPoints)
{
    const TChartPicture p = Render();
    TKurvo& k = *Form.Kurvo1();
    ASSERT_EQ(k.DataCount(), 101);
    int checked = 0;
    for (int i = 0; i < k.DataCount(); ++i) {
        const TkvChartItem& item = k.DataItem(i);
        int px;
        int py;
        k.WorldToPixel(1, item.X, item.Y, px, py);
        bool ink = false;
        for (int dy = -1; dy <= 1 && !ink; ++dy)
            for (int dx = -1; dx <= 1 && !ink; ++dx) ink = p.At(px + dx, py + dy) == kBlack;
        EXPECT_TRUE(ink) << "point " << i << " at (" << px << ", " << py << ")";
        ++checked;
    }
    EXPECT_EQ(checked, 101);
    // Between the points the line is continuous: every column of the data
    // area holds curve pixels within the curve's rows.
    for (int x = 81; x <= 456; ++x) {
        bool ink = false;
        for (int y = 160; y <= 240 && !ink; ++y) ink = p.At(x, y) == kBlack;
        EXPECT_TRUE(ink) << "column " << x;
    }
}

TEST_F(DemoPixels, OverlayStandsWhereTheHandlerPutsIt)
{
    const TChartPicture p = Render();
    TKurvo& k = *Form.Kurvo1();
    const int left = k.MarginLeft();
    const int top = k.MarginTop();

    // Blue text: its top-left corner at canvas (100, 100), chart (180, 120).
    const TBox blue = BoxOf(p, 81, 21, 456, 380, Bluish);
    ASSERT_GT(blue.Count, 20);
    EXPECT_GE(blue.Left, 100 + left);
    EXPECT_LE(blue.Left, 100 + left + 3);
    EXPECT_GE(blue.Top, 100 + top);
    EXPECT_LE(blue.Top, 100 + top + 6);
    EXPECT_LE(blue.Bottom, 100 + top + 20);
    EXPECT_GT(BoxOf(p, blue.Left, blue.Top, blue.Right, blue.Bottom,
                    [](QRgb c) { return c == kPureBlue; }).Count, 0);

    // Green frame, pen width 5, centred on the path (93, 95) - (260, 120) of
    // the canvas: at the middle of each side the band is five pixels wide.
    const int x0 = 93 + left;
    const int x1 = 260 + left;
    const int y0 = 95 + top;
    const int y1 = 120 + top;
    auto greenRun = [&](int x, int y, int stepX, int stepY) {
        // Length of the pure green run through (x, y) along the step.
        int n = 0;
        int ax = x;
        int ay = y;
        while (p.At(ax, ay) == kPureGreen) ax -= stepX, ay -= stepY, ++n;
        ax = x + stepX;
        ay = y + stepY;
        while (p.At(ax, ay) == kPureGreen) ax += stepX, ay += stepY, ++n;
        return n;
    };
    const int midX = (x0 + x1) / 2;
    const int midY = (y0 + y1) / 2;
    EXPECT_EQ(greenRun(midX, y0, 0, 1), 5) << "top side";
    EXPECT_EQ(greenRun(midX, y1, 0, 1), 5) << "bottom side";
    EXPECT_EQ(greenRun(x0, midY, 1, 0), 5) << "left side";
    EXPECT_EQ(greenRun(x1, midY, 1, 0), 5) << "right side";
    // The sides run the whole way between the corners.
    for (int x = x0; x <= x1; ++x) {
        EXPECT_EQ(p.At(x, y0), kPureGreen) << "top, x " << x;
        EXPECT_EQ(p.At(x, y1), kPureGreen) << "bottom, x " << x;
    }
    for (int y = y0; y <= y1; ++y) {
        EXPECT_EQ(p.At(x0, y), kPureGreen) << "left, y " << y;
        EXPECT_EQ(p.At(x1, y), kPureGreen) << "right, y " << y;
    }
    // No green anywhere else in the data area.
    const TBox green = BoxOf(p, 81, 21, 456, 380, [](QRgb c) { return qGreen(c) > 150 && qRed(c) < 110; });
    EXPECT_GE(green.Left, x0 - 3);
    EXPECT_LE(green.Right, x1 + 3);
    EXPECT_GE(green.Top, y0 - 3);
    EXPECT_LE(green.Bottom, y1 + 3);

    // Red text: its top-left corner at the pixel of the world point (20, -1.3).
    int rx;
    int ry;
    k.WorldToPixel(1, 20.0, -1.3, rx, ry);
    const TBox red = BoxOf(p, 81, 21, 456, 380, Reddish);
    ASSERT_GT(red.Count, 20);
    EXPECT_GE(red.Left, rx);
    EXPECT_LE(red.Left, rx + 3);
    EXPECT_GE(red.Top, ry);
    EXPECT_LE(red.Top, ry + 6);
    EXPECT_LE(red.Bottom, ry + 20);
    EXPECT_GT(BoxOf(p, red.Left, red.Top, red.Right, red.Bottom, [](QRgb c) { return c == kPureRed; }).Count, 0);
}

TEST_F(DemoPixels, PanningMovesOnlyTheRelativeText)
{
    TKurvo& k = *Form.Kurvo1();
    const TChartPicture before = Render();
    int bx, by;
    k.WorldToPixel(1, 20.0, -1.3, bx, by);
    k.SetLayerRanges(1, false, -10.0, -6.0, 90.0, 4.0, false);  // the data moves right and up
    int ax, ay;
    k.WorldToPixel(1, 20.0, -1.3, ax, ay);
    ASSERT_GT(ax, bx);
    ASSERT_LT(ay, by);
    const TChartPicture after = Render();

    const TBox blueBefore = BoxOf(before, 81, 21, 456, 380, Bluish);
    const TBox blueAfter = BoxOf(after, 81, 21, 456, 380, Bluish);
    EXPECT_EQ(blueAfter.Left, blueBefore.Left);
    EXPECT_EQ(blueAfter.Top, blueBefore.Top);
    EXPECT_EQ(blueAfter.Count, blueBefore.Count);
    const TBox redBefore = BoxOf(before, 81, 21, 456, 380, Reddish);
    const TBox redAfter = BoxOf(after, 81, 21, 456, 380, Reddish);
    EXPECT_EQ(redAfter.Left - redBefore.Left, ax - bx);
    EXPECT_EQ(redAfter.Top - redBefore.Top, ay - by);
    EXPECT_EQ(redAfter.Count, redBefore.Count);
}

TEST_F(DemoPixels, HexLabelsStandBelowTheLeftAxisLabelsWhileChecked)
{
    const TChartPicture checked = Repaint();
    const std::vector<TTick> ticks = Ticks;
    ASSERT_FALSE(ticks.empty()) << "the left Y axis reported no ticks";

    Ticks.clear();
    Form.CBoxHexYScale()->click();  // unchecks and asks for a repaint
    ASSERT_FALSE(Form.CBoxHexYScale()->isChecked());
    const TChartPicture unchecked = Render();
    EXPECT_EQ(Ticks.size(), ticks.size());

    // Only the labels changed: every differing pixel lies left of the axis,
    // more than 8 pixels from it.
    for (int y = 0; y < 421; ++y)
        for (int x = 0; x < 473; ++x)
            if (checked.At(x, y) != unchecked.At(x, y)) ASSERT_LT(x, 80 - 8) << "(" << x << ", " << y << ")";

    // Below each tick inside the data area's height, dark text that the
    // unchecked picture lacks: it starts below the tick and ends within two
    // text lines (at most 20 pixels each) of it.
    const int maxLine = 20;
    int labelled = 0;
    for (const TTick& t : ticks) {
        if (t.Y < 20 || t.Y > 381) continue;
        ++labelled;
        TBox added;
        for (int y = t.Y - maxLine; y <= t.Y + 3 * maxLine && y < 421; ++y)
            for (int x = 0; x < t.X; ++x)
                if (y >= 0 && Dark(checked.At(x, y)) && !Dark(unchecked.At(x, y))) added.Add(x, y);
        EXPECT_GT(added.Count, 10) << "tick " << t.Value;
        EXPECT_GT(added.Top, t.Y) << "tick " << t.Value;
        EXPECT_LE(added.Bottom, t.Y + 2 * maxLine) << "tick " << t.Value;
        EXPECT_LE(added.Right, t.X - 8) << "tick " << t.Value;
    }
    EXPECT_GE(labelled, 3);

    Form.CBoxHexYScale()->click();  // checked again: the labels return
    const TChartPicture again = Render();
    for (int y = 0; y < 421; ++y)
        for (int x = 0; x < 473; ++x) ASSERT_EQ(again.At(x, y), checked.At(x, y)) << "(" << x << ", " << y << ")";
}
