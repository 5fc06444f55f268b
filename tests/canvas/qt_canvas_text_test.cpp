// Text output, text metrics and fonts on real pixels.
#include "canvas/qt_canvas.h"
#include "pixel_helpers.h"

#include <QFont>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace kurvo {
namespace {

using test::Box;
using test::BoundsOf;
using test::PixelSet;
using test::PixelsNot;

void UseFont(TCanvas& c, int height, TFontStyles style = {})
{
    c.Font().SetName("DejaVu Sans");
    c.Font().SetHeight(height);
    c.Font().SetStyle(style);
    c.Font().SetColor(clBlue);
}

// Pixels that are clearly the blue text colour (antialiased edges aside).
PixelSet InkOf(const TBitmap& bitmap)
{
    PixelSet ink;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const auto c = static_cast<unsigned>(bitmap.Pixel(x, y));
            const unsigned r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
            if (b > 160 && r < 110 && g < 110) ink.insert({x, y});
        }
    return ink;
}

TEST(QtCanvasTextOut, SolidBrushFillsTheTextCellAndClearBrushLeavesTheBackground)
{
    for (bool solid : {true, false}) {
        TBitmap bitmap(80, 40);
        test::Clear(bitmap, clYellow);
        TCanvas& c = bitmap.Canvas();
        UseFont(c, -14);
        c.Brush().SetColor(clRed);
        if (!solid) c.Brush().SetStyle(bsClear);
        c.TextOut(6, 5, "Hg");
        const int w = c.TextWidth("Hg");
        const int h = c.TextHeight("Hg");
        ASSERT_GT(w, 10);
        ASSERT_GT(h, 14);
        const Box cell{6, 5, 6 + w - 1, 5 + h - 1};
        const Box changed = BoundsOf(PixelsNot(bitmap, clYellow));
        EXPECT_GE(changed.Left, cell.Left);
        EXPECT_GE(changed.Top, cell.Top);
        EXPECT_LE(changed.Right, cell.Right);
        EXPECT_LE(changed.Bottom, cell.Bottom);
        EXPECT_FALSE(InkOf(bitmap).empty());
        if (solid) {
            EXPECT_EQ(changed, cell) << "the whole cell is filled";
            EXPECT_EQ(bitmap.Pixel(cell.Left, cell.Top), clRed);
            EXPECT_EQ(bitmap.Pixel(cell.Right, cell.Bottom), clRed);
        } else {
            EXPECT_EQ(bitmap.Pixel(cell.Left, cell.Top), clYellow);
            EXPECT_EQ(bitmap.Pixel(cell.Right, cell.Bottom), clYellow);
            EXPECT_TRUE(test::PixelsOf(bitmap, clRed).empty());
        }
    }
}

TEST(QtCanvasTextOut, TopLeftCornerAtThePointAndBaselineOneAscentBelow)
{
    TBitmap a(60, 40), b(60, 40);
    UseFont(a.Canvas(), -16);
    UseFont(b.Canvas(), -16);
    a.Canvas().Brush().SetStyle(bsClear);
    b.Canvas().Brush().SetStyle(bsClear);
    a.Canvas().TextOut(3, 2, "H");
    b.Canvas().TextOut(17, 11, "H");
    PixelSet shifted;
    for (const auto& [x, y] : InkOf(a)) shifted.insert({x + 14, y + 9});
    EXPECT_EQ(InkOf(b), shifted);

    QFont reference("DejaVu Sans");
    reference.setPixelSize(16);
    const int ascent = QFontMetrics(reference).ascent();
    const Box ink = BoundsOf(InkOf(a));
    // A capital letter stands on the baseline and does not reach the top of the cell.
    EXPECT_EQ(ink.Bottom, 2 + ascent - 1);
    EXPECT_GT(ink.Top, 2);
    EXPECT_GE(ink.Left, 3);
}

TEST(QtCanvasText, WidthAndHeightFollowTheTextAndTheFont)
{
    TBitmap bitmap(4, 4);
    TCanvas& c = bitmap.Canvas();
    UseFont(c, -12);
    const int w1 = c.TextWidth("W");
    const int h12 = c.TextHeight("W");
    EXPECT_EQ(c.TextWidth(""), 0);
    EXPECT_NEAR(c.TextWidth("WWWW"), 4 * w1, 2);
    EXPECT_GT(c.TextWidth("Wide text"), c.TextWidth("Wide"));
    EXPECT_EQ(c.TextHeight(""), h12);
    EXPECT_EQ(c.TextHeight("jÄ"), h12);
    // A new size is measured at once (the metrics are cached per font change).
    c.Font().SetHeight(-24);
    EXPECT_NEAR(c.TextHeight("W"), 2 * h12, 3);
    EXPECT_NEAR(c.TextWidth("W"), 2 * w1, 3);
    c.Font().SetStyle({fsBold});
    EXPECT_GT(c.TextWidth("WWWW"), 0);
    EXPECT_NE(c.TextWidth("mmmmmmmm"), 0);
}

// The canvas keeps the last few fonts with the widths measured in them:
// going back and forth between more fonts than it keeps, every width is the
// one a fresh canvas measures in that font, and the text colour follows a
// colour-only change.
TEST(QtCanvasText, WidthsFollowEveryFontChangeAcrossTheKeptFonts)
{
    const std::tuple<const char*, int, TFontStyles> fonts[] = {
        {"DejaVu Sans", -12, {}},          {"DejaVu Sans", -13, {}}, {"DejaVu Sans", -12, {fsBold}},
        {"DejaVu Serif", -12, {}},         {"DejaVu Sans", 16, {fsItalic}}, {"DejaVu Sans Mono", -12, {}}};
    const auto use = [&](TCanvas& c, int k) {
        c.Font().SetName(std::get<0>(fonts[k]));
        c.Font().SetHeight(std::get<1>(fonts[k]));
        c.Font().SetStyle(std::get<2>(fonts[k]));
    };
    TBitmap bitmap(4, 4);
    for (const int k : {0, 1, 0, 2, 3, 4, 5, 0, 5, 1, 4, 2, 3, 3, 0})
        for (const char* text : {"0.25", "-1.5E+03", "Wide text"}) {
            TBitmap fresh(4, 4);
            use(fresh.Canvas(), k);
            use(bitmap.Canvas(), k);
            EXPECT_EQ(bitmap.Canvas().TextWidth(text), fresh.Canvas().TextWidth(text)) << k << " " << text;
        }

    TBitmap picture(60, 30);
    picture.Canvas().Brush().SetStyle(bsClear);
    UseFont(picture.Canvas(), -20);
    picture.Canvas().TextOut(2, 2, "W");
    picture.Canvas().Font().SetColor(clRed);  // same font, other colour
    picture.Canvas().TextOut(30, 2, "W");
    EXPECT_FALSE(InkOf(picture).empty());
    for (const auto& [x, y] : InkOf(picture)) EXPECT_LT(x, 30) << "the second W is red";
}

TEST(QtCanvasText, PositiveHeightIsTheWholeCell)
{
    TBitmap bitmap(4, 4);
    TCanvas& c = bitmap.Canvas();
    for (int height : {13, 20, 31}) {
        UseFont(c, height);
        EXPECT_NEAR(c.TextHeight("X"), height, 1) << height;
        UseFont(c, -height);
        EXPECT_GT(c.TextHeight("X"), height) << "a character height leaves room for the leading";
    }
}

TEST(QtCanvasText, SizeAndPixelsPerInchGiveTheRealisedHeight)
{
    struct Row {
        int Points, PixelsPerInch, SameAsHeight;
    };
    const Row rows[] = {{12, 96, -16}, {8, 96, -11}, {12, 192, -32}, {9, 72, -9}};
    for (const Row& row : rows) {
        TBitmap bitmap(4, 4);
        TCanvas& c = bitmap.Canvas();
        UseFont(c, -1);
        c.Font().SetPixelsPerInch(row.PixelsPerInch);
        c.Font().SetSize(row.Points);
        EXPECT_EQ(c.Font().Height(), row.SameAsHeight);
        const int bySize = c.TextHeight("X");
        const int bySizeWidth = c.TextWidth("Kurvo");
        UseFont(c, row.SameAsHeight);
        EXPECT_EQ(c.TextHeight("X"), bySize) << row.Points << " pt at " << row.PixelsPerInch;
        EXPECT_EQ(c.TextWidth("Kurvo"), bySizeWidth);
    }
}

TEST(QtCanvasText, ExtremeHeightsGiveTheLargestFontInsteadOfOverflowing)
{
    TBitmap b;
    b.SetSize(40, 40);
    TCanvas& c = b.Canvas();
    struct Row {
        int Height;
        int LargestOfItsKind;  // character height (negative) or whole cell (positive)
    };
    for (const Row row : {Row{INT_MIN, -MaxBitmapSide}, Row{INT_MIN + 1, -MaxBitmapSide},
                          Row{-MaxBitmapSide - 1, -MaxBitmapSide}, Row{INT_MAX, MaxBitmapSide},
                          Row{MaxBitmapSide + 1, MaxBitmapSide}}) {
        UseFont(c, row.LargestOfItsKind);
        const int largest = c.TextHeight("W");
        ASSERT_GT(largest, 1000) << row.Height;
        UseFont(c, row.Height);
        EXPECT_EQ(c.TextHeight("W"), largest) << row.Height;
        EXPECT_GT(c.TextWidth("W"), 0) << row.Height;
        c.TextOut(0, 0, "W");
    }
}

TEST(QtCanvasText, StylesChangeThePicture)
{
    auto draw = [](TFontStyles style) {
        auto bitmap = std::make_unique<TBitmap>(120, 30);
        TCanvas& c = bitmap->Canvas();
        UseFont(c, -16, style);
        c.Brush().SetStyle(bsClear);
        c.TextOut(2, 2, "Kurvo lines");
        return bitmap;
    };
    const auto regular = draw({});
    const auto bold = draw({fsBold});
    const auto italic = draw({fsItalic});
    const auto underline = draw({fsUnderline});
    const auto strike = draw({fsStrikeOut});
    EXPECT_GT(InkOf(*bold).size(), InkOf(*regular).size() * 5 / 4);
    EXPECT_NE(InkOf(*italic), InkOf(*regular));

    // Underline and strike-out add a row of ink across (nearly) the whole text.
    auto longestRow = [](const TBitmap& b) {
        const PixelSet ink = InkOf(b);
        int best = 0;
        for (int y = 0; y < b.Height(); ++y) {
            int run = 0;
            for (int x = 0; x < b.Width(); ++x) {
                run = ink.count({x, y}) ? run + 1 : 0;
                best = std::max(best, run);
            }
        }
        return best;
    };
    const int width = BoundsOf(InkOf(*regular)).Right - BoundsOf(InkOf(*regular)).Left;
    EXPECT_LT(longestRow(*regular), width / 2);
    EXPECT_GT(longestRow(*underline), width * 9 / 10);
    EXPECT_GT(longestRow(*strike), width * 9 / 10);
    EXPECT_GT(BoundsOf(InkOf(*underline)).Bottom, BoundsOf(InkOf(*strike)).Bottom - 1);
}

TEST(QtCanvasText, UnknownAndClassicFontNamesStillDrawText)
{
    for (const char* name : {"MS Sans Serif", "No Such Font Family", "Arial"}) {
        TBitmap bitmap(80, 30);
        TCanvas& c = bitmap.Canvas();
        c.Font().SetName(name);
        c.Font().SetHeight(-13);
        c.Font().SetColor(clWindowText);  // a system colour: black
        c.TextOut(1, 1, "Kurvo");
        EXPECT_GT(c.TextWidth("Kurvo"), 15) << name;
        int dark = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) dark += (bitmap.Pixel(x, y) & 0x808080) == 0;
        EXPECT_GT(dark, 30) << name;
    }
}

TEST(QtCanvasText, ThePenIsBackAfterText)
{
    TBitmap bitmap(60, 30);
    TCanvas& c = bitmap.Canvas();
    UseFont(c, -12);
    c.Pen().SetColor(clRed);
    c.Pen().SetWidth(2);
    c.MoveTo(0, 25);
    c.LineTo(59, 25);
    c.TextOut(0, 0, "text");
    c.MoveTo(0, 20);
    c.LineTo(59, 20);
    EXPECT_EQ(bitmap.Pixel(30, 20), clRed);
    EXPECT_EQ(bitmap.Pixel(30, 25), clRed);
}

TEST(QtCanvasText, TextIgnoresTheXorPenMode)
{
    TBitmap bitmap(60, 30);
    TCanvas& c = bitmap.Canvas();
    UseFont(c, -12);
    c.Pen().SetMode(pmXor);
    c.Brush().SetColor(clRed);
    c.TextOut(0, 0, "text");
    c.TextOut(0, 0, "text");
    EXPECT_EQ(bitmap.Pixel(0, 0), clRed);
}

// ---------------------------------------------------------------- images

void Source(TBitmap& source)
{
    source.SetSize(3, 2);
    const TColor colours[2][3] = {{clRed, clLime, clBlue}, {clYellow, clAqua, clFuchsia}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) source.Canvas().SetPixel(x, y, colours[y][x]);
}

TEST(QtCanvasDraw, CopiesAtNaturalSizeAndClipsAtTheEdges)
{
    TBitmap source;
    Source(source);
    TBitmap dest(12, 10);
    dest.Canvas().Draw(5, 4, source);
    dest.Canvas().Draw(-1, -1, source);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            TColor expected = clWhite;
            if (x >= 5 && x < 8 && y >= 4 && y < 6) expected = source.Pixel(x - 5, y - 4);
            if (x < 2 && y < 1) expected = source.Pixel(x + 1, y + 1);
            ASSERT_EQ(dest.Pixel(x, y), expected) << x << "," << y;
        }
}

TEST(QtCanvasDraw, StretchDrawScalesAndReversedRectanglesMirror)
{
    TBitmap source;
    Source(source);
    struct Row {
        TRect Rect;
        bool MirrorX, MirrorY;
    };
    for (const Row& row : {Row{{2, 1, 8, 5}, false, false}, Row{{8, 5, 2, 1}, true, true}, Row{{8, 1, 2, 5}, true, false}}) {
        TBitmap dest(10, 7);
        dest.Canvas().StretchDraw(row.Rect, source);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x) {
                TColor expected = clWhite;
                if (x >= 2 && x < 8 && y >= 1 && y < 5) {
                    int sx = (x - 2) / 2, sy = (y - 1) / 2;
                    if (row.MirrorX) sx = 2 - sx;
                    if (row.MirrorY) sy = 1 - sy;
                    expected = source.Pixel(sx, sy);
                }
                ASSERT_EQ(dest.Pixel(x, y), expected) << x << "," << y;
            }
    }
}

TEST(QtCanvasDraw, TheSourceShowsItsLatestDrawing)
{
    TBitmap source(10, 10);
    source.Canvas().Brush().SetColor(clRed);
    source.Canvas().Ellipse(0, 0, 10, 10);  // drawn by the painter, still open
    TBitmap dest(10, 10);
    dest.Canvas().Draw(0, 0, source);
    EXPECT_EQ(dest.Pixel(5, 5), clRed);
    // Drawing a bitmap onto itself works on a copy.
    source.Canvas().Draw(5, 0, source);
    EXPECT_EQ(source.Pixel(5, 5), clBlack);  // the left edge of the ellipse
    EXPECT_EQ(source.Pixel(9, 5), clRed);
}

TEST(QtCanvasDraw, EmptyImagesDrawNothing)
{
    TBitmap empty;
    TBitmap dest(5, 5);
    dest.Canvas().Draw(0, 0, empty);
    dest.Canvas().StretchDraw({0, 0, 5, 5}, empty);
    TBitmap source;
    Source(source);
    dest.Canvas().StretchDraw({1, 1, 1, 4}, source);
    EXPECT_TRUE(PixelsNot(dest, clWhite).empty());
}

}  // namespace
}  // namespace kurvo
