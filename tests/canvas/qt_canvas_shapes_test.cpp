// Rectangles, ellipses, arcs, polygons and single pixels on real pixels.
#include "canvas/qt_canvas.h"
#include "pixel_helpers.h"

#include <gtest/gtest.h>

#include <functional>

namespace kurvo {
namespace {

using test::Box;
using test::BoundsOf;
using test::Picture;
using test::PixelSet;
using test::PixelsNot;
using test::PixelsOf;

struct RectCase {
    const char* Name;
    int X1, Y1, X2, Y2;
};

TEST(QtCanvasRectangle, OutlinesAndFillsTheBoxWithoutItsRightAndBottomEdge)
{
    // Reversed corners describe the same box.
    const RectCase rows[] = {
        {"plain", 3, 2, 12, 9}, {"reversed", 12, 9, 3, 2}, {"x reversed", 12, 2, 3, 9}, {"small", 5, 5, 8, 8},
    };
    for (const RectCase& row : rows) {
        TBitmap bitmap(16, 12);
        TCanvas& c = bitmap.Canvas();
        c.Brush().SetColor(clRed);
        c.Rectangle(row.X1, row.Y1, row.X2, row.Y2);
        const int l = std::min(row.X1, row.X2), r = std::max(row.X1, row.X2);
        const int t = std::min(row.Y1, row.Y2), b = std::max(row.Y1, row.Y2);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool inside = x >= l && x < r && y >= t && y < b;
                const bool edge = inside && (x == l || x == r - 1 || y == t || y == b - 1);
                const TColor expected = edge ? clBlack : inside ? clRed : clWhite;
                ASSERT_EQ(bitmap.Pixel(x, y), expected) << row.Name << " at " << x << "," << y << Picture(bitmap);
            }
        }
    }
}

TEST(QtCanvasRectangle, ClearPenFillsTheWholeBoxAndClearBrushLeavesTheInside)
{
    TBitmap bitmap(12, 10);
    TCanvas& c = bitmap.Canvas();
    c.Brush().SetColor(clBlue);
    c.Pen().SetStyle(psClear);
    c.Rectangle(2, 2, 6, 8);
    EXPECT_EQ(BoundsOf(PixelsOf(bitmap, clBlue)), (Box{2, 2, 5, 7}));
    EXPECT_EQ(PixelsOf(bitmap, clBlue).size(), 4u * 6u);

    c.Pen().SetStyle(psSolid);
    c.Brush().SetStyle(bsClear);
    c.Rectangle(1, 1, 11, 9);  // around the blue block, which must stay
    EXPECT_EQ(PixelsOf(bitmap, clBlue).size(), 24u) << Picture(bitmap);
    EXPECT_EQ(PixelsOf(bitmap, clBlack).size(), 2u * 10u + 2u * 6u);
    EXPECT_EQ(bitmap.Pixel(7, 4), clWhite);
}

TEST(QtCanvasRectangle, OnePixelThinBoxesAndEmptyBoxes)
{
    TBitmap bitmap(10, 10);
    TCanvas& c = bitmap.Canvas();
    c.Rectangle(2, 2, 3, 3);  // one pixel
    c.Rectangle(5, 1, 6, 8);  // one column
    c.Rectangle(1, 9, 9, 10); // one row
    c.Rectangle(7, 2, 7, 6);  // no width
    PixelSet expected{{2, 2}};
    for (int y = 1; y < 8; ++y) expected.insert({5, y});
    for (int x = 1; x < 9; ++x) expected.insert({x, 9});
    EXPECT_EQ(PixelsNot(bitmap, clWhite), expected) << Picture(bitmap);
}

// Pixel (x, y) of the box [l, r) x [t, b) mirrored in both axes.
bool Symmetric(const PixelSet& pixels, int l, int t, int r, int b)
{
    for (const auto& [x, y] : pixels) {
        if (!pixels.count({l + r - 1 - x, y}) || !pixels.count({x, t + b - 1 - y})) return false;
    }
    return true;
}

TEST(QtCanvasEllipse, InscribedInTheBoxWithRightAndBottomExclusive)
{
    const RectCase rows[] = {
        {"wide", 2, 3, 20, 13}, {"tall", 4, 1, 11, 15}, {"circle", 3, 3, 16, 16}, {"even circle", 2, 2, 14, 14},
        {"reversed", 20, 13, 2, 3},
    };
    for (const RectCase& row : rows) {
        TBitmap bitmap(24, 18);
        TCanvas& c = bitmap.Canvas();
        c.Brush().SetColor(clRed);
        c.Ellipse(row.X1, row.Y1, row.X2, row.Y2);
        const int l = std::min(row.X1, row.X2), r = std::max(row.X1, row.X2);
        const int t = std::min(row.Y1, row.Y2), b = std::max(row.Y1, row.Y2);
        const PixelSet outline = PixelsOf(bitmap, clBlack);
        const PixelSet all = PixelsNot(bitmap, clWhite);
        EXPECT_EQ(BoundsOf(all), (Box{l, t, r - 1, b - 1})) << row.Name << Picture(bitmap);
        EXPECT_EQ(BoundsOf(outline), (Box{l, t, r - 1, b - 1})) << row.Name;
        EXPECT_EQ(bitmap.Pixel((l + r) / 2, (t + b) / 2), clRed) << row.Name;
        EXPECT_EQ(bitmap.Pixel(l, t), clWhite) << row.Name << ": the corner is outside the ellipse";
        EXPECT_EQ(bitmap.Pixel(r - 1, b - 1), clWhite) << row.Name;
        EXPECT_TRUE(Symmetric(all, l, t, r, b)) << row.Name << Picture(bitmap);
        // The outline closes: every filled pixel sees no white 4-neighbour.
        for (const auto& [x, y] : PixelsOf(bitmap, clRed)) {
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                ASSERT_NE(bitmap.Pixel(x + dx, y + dy), clWhite) << row.Name << " at " << x << "," << y << Picture(bitmap);
        }
    }
}

// Every box size up to 40 x 40: the ellipse stays inside [x1, x2) x [y1, y2)
// and touches each of the four edges.
TEST(QtCanvasEllipse, EveryBoxSizeStaysInsideItsBox)
{
    constexpr int origin = 5;
    TBitmap bitmap(origin + 42, origin + 42);
    int wrong = 0;
    for (int w = 1; w <= 40; ++w)
        for (int h = 1; h <= 40; ++h) {
            test::Clear(bitmap, clWhite);
            TCanvas& c = bitmap.Canvas();
            c.Brush().SetColor(clRed);
            c.Ellipse(origin, origin, origin + w, origin + h);
            const Box expected{origin, origin, origin + w - 1, origin + h - 1};
            const Box drawn = BoundsOf(PixelsNot(bitmap, clWhite));
            if (drawn != expected && ++wrong <= 400)
                ADD_FAILURE() << w << " x " << h << ": drawn over " << drawn.Left << "," << drawn.Top << " ... "
                              << drawn.Right << "," << drawn.Bottom << Picture(bitmap);
        }
    EXPECT_EQ(wrong, 0) << "box sizes whose ellipse is not inscribed";
}

TEST(QtCanvasEllipse, ClearPenFillsInsideTheBoxAndClearBrushOnlyOutlines)
{
    TBitmap bitmap(20, 16);
    TCanvas& c = bitmap.Canvas();
    c.Brush().SetColor(clBlue);
    c.Pen().SetStyle(psClear);
    c.Ellipse(2, 2, 16, 12);
    const Box filled = BoundsOf(PixelsOf(bitmap, clBlue));
    EXPECT_GE(filled.Left, 2);
    EXPECT_GE(filled.Top, 2);
    EXPECT_LE(filled.Right, 15);
    EXPECT_LE(filled.Bottom, 11);
    EXPECT_EQ(PixelsNot(bitmap, clWhite), PixelsOf(bitmap, clBlue));

    TBitmap ring(20, 16);
    ring.Canvas().Brush().SetStyle(bsClear);
    ring.Canvas().Ellipse(2, 2, 16, 12);
    EXPECT_EQ(ring.Pixel(9, 7), clWhite);
    EXPECT_EQ(PixelsNot(ring, clWhite), PixelsOf(ring, clBlack));
    EXPECT_EQ(BoundsOf(PixelsOf(ring, clBlack)), (Box{2, 2, 15, 11}));
}

TEST(QtCanvasArc, RunsCounterClockwiseFromTheStartRadialToTheEndRadial)
{
    // Circle in [0, 21) x [0, 21), centre (10, 10).
    struct ArcCase {
        const char* Name;
        TPoint Start, End;
        bool UpperRight, UpperLeft, LowerLeft, LowerRight;
    };
    const ArcCase rows[] = {
        {"right to top", {20, 10}, {10, 0}, true, false, false, false},
        {"top to right", {10, 0}, {20, 10}, false, true, true, true},
        {"left to right", {0, 10}, {20, 10}, false, false, true, true},
        {"right to left", {20, 10}, {0, 10}, true, true, false, false},
        {"same radial", {20, 3}, {40, -11}, true, true, true, true},
    };
    for (const ArcCase& row : rows) {
        TBitmap bitmap(21, 21);
        TCanvas& c = bitmap.Canvas();
        c.Brush().SetColor(clRed);  // an arc is never filled
        c.Arc(0, 0, 21, 21, row.Start.X, row.Start.Y, row.End.X, row.End.Y);
        bool quadrant[4] = {};
        for (const auto& [x, y] : PixelsNot(bitmap, clWhite)) {
            ASSERT_EQ(bitmap.Pixel(x, y), clBlack);
            // Classify by the pixel's direction from the centre, away from the axes.
            if (std::abs(x - 10) < 3 || std::abs(y - 10) < 3) continue;
            quadrant[(y < 10 ? 0 : 2) + ((x < 10) == (y < 10) ? 1 : 0)] = true;
        }
        EXPECT_EQ(quadrant[0], row.UpperRight) << row.Name << Picture(bitmap);
        EXPECT_EQ(quadrant[1], row.UpperLeft) << row.Name << Picture(bitmap);
        EXPECT_EQ(quadrant[2], row.LowerLeft) << row.Name << Picture(bitmap);
        EXPECT_EQ(quadrant[3], row.LowerRight) << row.Name << Picture(bitmap);
        EXPECT_LE(BoundsOf(PixelsNot(bitmap, clWhite)).Right, 20);
    }
}

TEST(QtCanvasPolygon, FilledAndOutlinedIncludingEveryVertex)
{
    TBitmap bitmap(20, 20);
    TCanvas& c = bitmap.Canvas();
    c.Brush().SetColor(clRed);
    const TPoint square[] = {{2, 2}, {9, 2}, {9, 8}, {2, 8}};
    c.Polygon(square, 4);
    for (int y = 2; y <= 8; ++y)
        for (int x = 2; x <= 9; ++x) {
            const bool edge = x == 2 || x == 9 || y == 2 || y == 8;
            ASSERT_EQ(bitmap.Pixel(x, y), edge ? clBlack : clRed) << x << "," << y << Picture(bitmap);
        }
    EXPECT_EQ(BoundsOf(PixelsNot(bitmap, clWhite)), (Box{2, 2, 9, 8}));

    TBitmap tri(20, 20);
    tri.Canvas().Brush().SetColor(clRed);
    const TPoint triangle[] = {{10, 1}, {18, 17}, {2, 17}};
    tri.Canvas().Polygon(triangle, 3);
    for (const TPoint& p : triangle) EXPECT_EQ(tri.Pixel(p.X, p.Y), clBlack) << Picture(tri);
    EXPECT_EQ(tri.Pixel(10, 12), clRed);
    EXPECT_EQ(tri.Pixel(3, 3), clWhite);
    EXPECT_EQ(BoundsOf(PixelsNot(tri, clWhite)), (Box{2, 1, 18, 17}));
    // The outline closes back to the first vertex: the edge from (2, 17) to
    // (10, 1) is drawn.
    EXPECT_EQ(tri.Pixel(6, 9), clBlack) << Picture(tri);
}

TEST(QtCanvasPolygon, ClearBrushOutlinesOnlyAndClearPenFillsOnly)
{
    const TPoint square[] = {{2, 2}, {9, 2}, {9, 8}, {2, 8}};
    TBitmap outline(12, 12);
    outline.Canvas().Brush().SetStyle(bsClear);
    outline.Canvas().Polygon(square, 4);
    EXPECT_EQ(PixelsNot(outline, clWhite).size(), 2u * 8u + 2u * 5u) << Picture(outline);

    TBitmap fill(12, 12);
    fill.Canvas().Brush().SetColor(clRed);
    fill.Canvas().Pen().SetStyle(psClear);
    fill.Canvas().Polygon(square, 4);
    EXPECT_EQ(PixelsNot(fill, clWhite), PixelsOf(fill, clRed));
    // Filled alone, the polygon keeps the same right and bottom rule as Rectangle.
    EXPECT_EQ(BoundsOf(PixelsOf(fill, clRed)), (Box{2, 2, 8, 7})) << Picture(fill, clWhite, clRed);
}

TEST(QtCanvasSetPixel, SetsExactlyOnePixelAndIgnoresOutsideCoordinates)
{
    TBitmap bitmap(9, 7);
    TCanvas& c = bitmap.Canvas();
    c.Pen().SetMode(pmXor);  // the pen mode does not apply
    c.SetPixel(4, 3, clGreen);
    c.SetPixel(-1, 3, clGreen);
    c.SetPixel(9, 3, clGreen);
    c.SetPixel(4, 7, clGreen);
    c.SetPixel(0, 0, clInfoBk);
    EXPECT_EQ(PixelsNot(bitmap, clWhite), (PixelSet{{4, 3}, {0, 0}}));
    EXPECT_EQ(bitmap.Pixel(4, 3), clGreen);
    EXPECT_EQ(c.GetPixel(4, 3), clGreen);
    EXPECT_EQ(c.GetPixel(0, 0), ColorToRGB(clInfoBk));
    EXPECT_EQ(c.GetPixel(9, 0), -1);
    EXPECT_EQ(c.GetPixel(0, -1), -1);
}

// A background where every pixel differs from its neighbours.
void Pattern(TBitmap& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.Canvas().SetPixel(x, y, static_cast<TColor>((x * 37 + y * 91) & 0xFF) | ((x * 13) & 0xFF) << 8 | 0x400000);
}

TEST(QtCanvasXor, DrawingTwiceRestoresThePicture)
{
    const TPoint path[] = {{1, 1}, {30, 4}, {12, 20}, {28, 22}};
    const std::vector<std::pair<const char*, std::function<void(TCanvas&)>>> shapes = {
        {"LineTo", [](TCanvas& c) { c.MoveTo(2, 3); c.LineTo(29, 17); }},
        {"Polyline", [&](TCanvas& c) { c.Polyline(path, 4); }},
        {"dashed line", [](TCanvas& c) { c.Pen().SetStyle(psDashDot); c.MoveTo(0, 12); c.LineTo(31, 12); }},
        {"wide line", [](TCanvas& c) { c.Pen().SetWidth(3); c.MoveTo(3, 20); c.LineTo(28, 5); }},
        {"Rectangle clear", [](TCanvas& c) { c.Brush().SetStyle(bsClear); c.Rectangle(4, 4, 20, 16); }},
        {"Rectangle filled", [](TCanvas& c) { c.Brush().SetColor(clAqua); c.Rectangle(6, 3, 27, 19); }},
        {"Ellipse", [](TCanvas& c) { c.Brush().SetStyle(bsClear); c.Ellipse(3, 3, 29, 21); }},
        {"Arc", [](TCanvas& c) { c.Arc(3, 3, 29, 21, 29, 12, 3, 12); }},
        {"Polygon", [&](TCanvas& c) { c.Brush().SetColor(clYellow); c.Polygon(path, 4); }},
    };
    for (const auto& [name, draw] : shapes) {
        TBitmap bitmap(32, 24);
        Pattern(bitmap);
        const QImage before = bitmap.Image().copy();
        TCanvas& c = bitmap.Canvas();
        c.Pen().SetColor(0x5A3CF0);
        c.Pen().SetMode(pmXor);
        draw(c);
        EXPECT_NE(bitmap.Image(), before) << name << ": the first pass changes nothing";
        draw(c);
        EXPECT_EQ(bitmap.Image(), before) << name;
    }
}

TEST(QtCanvasXor, CombinesThePenColourWithTheBackground)
{
    TBitmap bitmap(10, 3);
    TCanvas& c = bitmap.Canvas();
    c.SetPixel(3, 1, 0x00F0F0);
    c.Pen().SetMode(pmXor);
    c.Pen().SetColor(0x0F00FF);
    c.MoveTo(0, 1);
    c.LineTo(10, 1);
    EXPECT_EQ(bitmap.Pixel(3, 1), 0x0FF00F);
    EXPECT_EQ(bitmap.Pixel(5, 1), 0xF0FF00);
    c.Pen().SetMode(pmCopy);
    c.MoveTo(0, 1);
    c.LineTo(10, 1);
    EXPECT_EQ(bitmap.Pixel(3, 1), 0x0F00FF);
}

struct DashCase {
    TPenStyle Style;
    std::vector<int> Runs;  // on, off, on, ... pixels of one period
};

const DashCase kDashes[] = {
    {psDash, {18, 6}},
    {psDot, {3, 3}},
    {psDashDot, {9, 6, 3, 6}},
    {psDashDotDot, {9, 3, 3, 3, 3, 3}},
};

// The run lengths of `ink` along row y, starting with an ink run.
std::vector<int> RunsAlongRow(const TBitmap& bitmap, int y, int from, int to, TColor ink)
{
    std::vector<int> runs;
    bool on = true;
    int length = 0;
    for (int x = from; x < to; ++x) {
        const bool isInk = bitmap.Pixel(x, y) == ink;
        if (isInk == on) {
            ++length;
        } else {
            runs.push_back(length);
            on = isInk;
            length = 1;
        }
    }
    runs.push_back(length);
    return runs;
}

TEST(QtCanvasStyledPen, GapsTakeTheBrushColourWhenSolidAndStayUntouchedWhenClear)
{
    for (const DashCase& row : kDashes) {
        for (bool solid : {true, false}) {
            TBitmap bitmap(60, 12);
            test::Clear(bitmap, clYellow);
            TCanvas& c = bitmap.Canvas();
            c.Pen().SetStyle(row.Style);
            c.Brush().SetColor(clGreen);
            if (!solid) c.Brush().SetStyle(bsClear);
            c.MoveTo(0, 2);
            c.LineTo(48, 2);  // two periods
            c.MoveTo(54, 11);
            c.LineTo(54, 0);  // upwards
            const TColor gap = solid ? clGreen : clYellow;
            std::vector<int> expected;
            for (int total = 0; total < 48;)
                for (int run : row.Runs) {
                    expected.push_back(run);
                    total += run;
                }
            EXPECT_EQ(RunsAlongRow(bitmap, 2, 0, 48, clBlack), expected) << int(row.Style) << Picture(bitmap, clYellow);
            for (int x = 0; x < 48; ++x) {
                const TColor p = bitmap.Pixel(x, 2);
                ASSERT_TRUE(p == clBlack || p == gap) << "style " << int(row.Style) << " x " << x;
            }
            // The vertical line starts its pattern with ink at its start pixel.
            EXPECT_EQ(bitmap.Pixel(54, 11), clBlack);
            EXPECT_EQ(bitmap.Pixel(54, 0), clYellow) << "end pixel";
            EXPECT_EQ(bitmap.Pixel(48, 2), clYellow) << "end pixel";
        }
    }
}

TEST(QtCanvasStyledPen, PatternRunsOnAcrossJoinedSegments)
{
    for (const DashCase& row : kDashes) {
        TBitmap joined(60, 4);
        TBitmap single(60, 4);
        joined.Canvas().Pen().SetStyle(row.Style);
        single.Canvas().Pen().SetStyle(row.Style);
        joined.Canvas().MoveTo(0, 1);
        for (int x : {7, 13, 14, 40, 55}) joined.Canvas().LineTo(x, 1);
        single.Canvas().MoveTo(0, 1);
        single.Canvas().LineTo(55, 1);
        EXPECT_EQ(joined.Image(), single.Image()) << int(row.Style) << Picture(joined);
        // A new start point starts a new pattern.
        joined.Canvas().MoveTo(0, 2);
        joined.Canvas().LineTo(55, 2);
        EXPECT_EQ(RunsAlongRow(joined, 2, 0, 55, clBlack), RunsAlongRow(joined, 1, 0, 55, clBlack));
    }
}

TEST(QtCanvasStyledPen, EllipseAndRectangleOutlinesAreStyledToo)
{
    for (bool solid : {true, false}) {
        TBitmap bitmap(40, 40);
        test::Clear(bitmap, clYellow);
        TCanvas& c = bitmap.Canvas();
        c.Pen().SetStyle(psDot);
        c.Brush().SetColor(clGreen);
        if (!solid) c.Brush().SetStyle(bsClear);
        c.Ellipse(2, 2, 38, 20);
        c.Rectangle(2, 22, 38, 38);
        // Along the top of the rectangle and the top of the ellipse.
        int ink = 0, gap = 0;
        for (int x = 2; x < 38; ++x) {
            const TColor p = bitmap.Pixel(x, 22);
            ink += p == clBlack;
            gap += p == (solid ? clGreen : clYellow);
        }
        EXPECT_EQ(ink + gap, 36) << Picture(bitmap, clYellow);
        EXPECT_GT(ink, 10);
        EXPECT_GT(gap, 10);
        int ellipseInk = 0, ellipseGap = 0;
        for (int x = 14; x < 26; ++x) {
            const TColor p = bitmap.Pixel(x, 2);
            ellipseInk += p == clBlack;
            ellipseGap += p == (solid ? clGreen : clYellow);
        }
        EXPECT_GT(ellipseInk, 2) << Picture(bitmap, clYellow);
        EXPECT_GT(ellipseGap, 2) << Picture(bitmap, clYellow);
        EXPECT_EQ(ellipseInk + ellipseGap, 12) << Picture(bitmap, clYellow);
    }
}

TEST(QtCanvas, EmptyBitmapTakesEveryCallWithoutDrawing)
{
    TBitmap bitmap;
    TCanvas& c = bitmap.Canvas();
    const TPoint pts[] = {{0, 0}, {5, 5}, {0, 5}};
    c.MoveTo(1, 1);
    c.LineTo(4, 4);
    c.Rectangle(0, 0, 5, 5);
    c.Ellipse(0, 0, 5, 5);
    c.Arc(0, 0, 5, 5, 5, 2, 0, 2);
    c.Polygon(pts, 3);
    c.Polyline(pts, 3);
    c.SetPixel(0, 0, clRed);
    c.TextOut(0, 0, "x");
    EXPECT_EQ(c.GetPixel(0, 0), -1);
    EXPECT_EQ(c.PenPos(), (TPoint{0, 5}));
    EXPECT_GT(c.TextHeight("x"), 0);
}

}  // namespace
}  // namespace kurvo
