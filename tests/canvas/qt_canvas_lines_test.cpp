// Lines and polylines with one-pixel pens, read back from real pixels.
#include "canvas/qt_canvas.h"
#include "pixel_helpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace kurvo {
namespace {

using test::Picture;
using test::PixelSet;
using test::PixelsOf;

struct LineCase {
    const char* Name;
    TPoint From;
    TPoint To;
};

// Both signs of every direction class.
const LineCase kLines[] = {
    {"right", {2, 5}, {15, 5}},          {"left", {15, 7}, {2, 7}},          {"down", {4, 1}, {4, 17}},
    {"up", {6, 17}, {6, 1}},             {"shallow down-right", {1, 2}, {18, 9}}, {"shallow up-left", {18, 9}, {1, 2}},
    {"shallow up-right", {1, 15}, {17, 11}}, {"shallow down-left", {17, 11}, {1, 15}}, {"steep down-right", {3, 1}, {8, 18}},
    {"steep up-left", {8, 18}, {3, 1}},  {"steep up-right", {10, 18}, {13, 2}}, {"steep down-left", {13, 2}, {10, 18}},
    {"diagonal", {2, 2}, {14, 14}},      {"anti-diagonal back", {14, 2}, {2, 14}},
};

// The pixels a one-pixel segment must cover: exactly one per step along the
// major axis, starting at From, never at To, each within half a pixel of the
// exact line in the minor direction.
void ExpectSegmentPixels(const PixelSet& pixels, TPoint from, TPoint to, const std::string& where)
{
    const int dx = to.X - from.X;
    const int dy = to.Y - from.Y;
    const int n = std::max(std::abs(dx), std::abs(dy));
    ASSERT_EQ(static_cast<int>(pixels.size()), n) << where;
    EXPECT_TRUE(pixels.count({from.X, from.Y})) << where << ": start pixel missing";
    EXPECT_FALSE(pixels.count({to.X, to.Y})) << where << ": end pixel drawn";
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    std::set<int> majors;
    for (const auto& [x, y] : pixels) {
        const int step = xMajor ? (x - from.X) * (dx < 0 ? -1 : 1) : (y - from.Y) * (dy < 0 ? -1 : 1);
        EXPECT_GE(step, 0) << where << " pixel " << x << "," << y;
        EXPECT_LT(step, n) << where << " pixel " << x << "," << y;
        majors.insert(step);
        const double t = static_cast<double>(step) / n;
        const double exactMinor = xMajor ? from.Y + t * dy : from.X + t * dx;
        const int minor = xMajor ? y : x;
        EXPECT_LE(std::abs(minor - exactMinor), 0.5 + 1e-9) << where << " pixel " << x << "," << y;
    }
    EXPECT_EQ(static_cast<int>(majors.size()), n) << where << ": two pixels on one step";
}

TEST(QtCanvasLineTo, LeavesOutTheEndPixelInEveryDirection)
{
    for (const LineCase& row : kLines) {
        TBitmap bitmap(20, 20);
        TCanvas& c = bitmap.Canvas();
        c.MoveTo(row.From.X, row.From.Y);
        c.LineTo(row.To.X, row.To.Y);
        EXPECT_EQ(c.PenPos(), row.To) << row.Name;
        const PixelSet ink = PixelsOf(bitmap, clBlack);
        ExpectSegmentPixels(ink, row.From, row.To, std::string(row.Name) + Picture(bitmap));
        EXPECT_EQ(test::PixelsNot(bitmap, clWhite).size(), ink.size()) << row.Name << ": pixels of another colour";
    }
}

TEST(QtCanvasLineTo, ZeroLengthDrawsNothingAndPenPosFollows)
{
    TBitmap bitmap(8, 8);
    TCanvas& c = bitmap.Canvas();
    c.MoveTo(3, 3);
    c.LineTo(3, 3);
    EXPECT_TRUE(test::PixelsNot(bitmap, clWhite).empty());
    c.LineTo(6, 3);
    c.LineTo(6, 6);
    // The second segment starts where the first one left off.
    EXPECT_EQ(PixelsOf(bitmap, clBlack), (PixelSet{{3, 3}, {4, 3}, {5, 3}, {6, 3}, {6, 4}, {6, 5}}));
}

TEST(QtCanvasLineTo, ClipsLinesThatLeaveTheBitmap)
{
    // The same lines on a big bitmap and, shifted, on a small one that shows
    // the window [10, 30) x [10, 30) of it: the window must match.
    const LineCase rows[] = {
        {"across", {-5, 12}, {44, 27}},  {"steep across", {13, 45}, {22, -3}}, {"from inside out", {20, 20}, {-20, 5}},
        {"corner to corner", {0, 0}, {39, 39}}, {"outside", {0, 0}, {39, 5}},
    };
    for (const LineCase& row : rows) {
        TBitmap big(40, 40);
        TBitmap small(20, 20);
        big.Canvas().MoveTo(row.From.X, row.From.Y);
        big.Canvas().LineTo(row.To.X, row.To.Y);
        small.Canvas().MoveTo(row.From.X - 10, row.From.Y - 10);
        small.Canvas().LineTo(row.To.X - 10, row.To.Y - 10);
        PixelSet window;
        for (const auto& [x, y] : PixelsOf(big, clBlack))
            if (x >= 10 && x < 30 && y >= 10 && y < 30) window.insert({x - 10, y - 10});
        EXPECT_EQ(PixelsOf(small, clBlack), window) << row.Name << Picture(small);
    }
}

TEST(QtCanvasLineTo, FarAwayCoordinatesStillDrawTheVisiblePart)
{
    TBitmap bitmap(30, 10);
    TCanvas& c = bitmap.Canvas();
    c.MoveTo(-2000000000, 4);
    c.LineTo(2000000000, 4);
    c.MoveTo(7, 2000000000);
    c.LineTo(7, -2000000000);
    PixelSet expected;
    for (int x = 0; x < 30; ++x) expected.insert({x, 4});
    for (int y = 0; y < 10; ++y) expected.insert({7, y});
    EXPECT_EQ(PixelsOf(bitmap, clBlack), expected) << Picture(bitmap);
}

// Lines whose ends lie anywhere in the int range, the whole range included,
// still put one pixel per step on the exact line where they cross the
// bitmap: the step arithmetic of such a line reaches 2^64.
TEST(QtCanvasLineTo, LinesAcrossTheWholeIntRangeKeepToTheExactLine)
{
    constexpr int lo = INT_MIN;
    constexpr int hi = INT_MAX;
    const LineCase rows[] = {
        {"diagonal", {lo, lo}, {hi, hi}},
        {"diagonal back", {hi, hi}, {lo, lo}},
        {"anti-diagonal", {lo + 20, hi}, {hi, lo + 20}},
        {"steep", {lo + 1000, lo}, {hi - 1000, hi}},
        {"shallow", {lo, lo + 1000}, {hi, hi - 1000}},
        {"shallow back", {hi, hi - 1001}, {lo, lo + 999}},
    };
    for (const LineCase& row : rows) {
        TBitmap bitmap(30, 30);
        bitmap.Canvas().MoveTo(row.From.X, row.From.Y);
        bitmap.Canvas().LineTo(row.To.X, row.To.Y);
        const PixelSet pixels = PixelsOf(bitmap, clBlack);
        const long double dx = static_cast<long double>(row.To.X) - row.From.X;
        const long double dy = static_cast<long double>(row.To.Y) - row.From.Y;
        const bool xMajor = std::fabs(dx) >= std::fabs(dy);
        int steps = 0;
        for (int m = 2; m < 28; ++m) {
            // The exact line at this major coordinate, and the pixels drawn there.
            const long double t = (m - static_cast<long double>(xMajor ? row.From.X : row.From.Y)) / (xMajor ? dx : dy);
            const long double exact = (xMajor ? row.From.Y : row.From.X) + t * (xMajor ? dy : dx);
            if (exact < 1 || exact > 28) continue;
            ++steps;
            int found = 0;
            for (const auto& [x, y] : pixels)
                if ((xMajor ? x : y) == m) {
                    ++found;
                    EXPECT_LE(std::fabs((xMajor ? y : x) - exact), 0.5L + 1e-6L) << row.Name << " at " << m;
                }
            EXPECT_EQ(found, 1) << row.Name << " at " << m << Picture(bitmap);
        }
        EXPECT_GT(steps, 10) << row.Name;
    }
}

TEST(QtCanvasPolyline, EverySegmentLeavesOutItsEndAndTheLastPointStaysEmpty)
{
    const std::vector<std::vector<TPoint>> paths = {
        {{2, 2}, {12, 2}, {12, 9}, {3, 9}, {3, 4}},       // a spiral, every direction once
        {{18, 1}, {1, 17}, {18, 17}, {1, 1}},            // crossing diagonals
        {{5, 5}, {9, 3}, {13, 12}, {6, 16}, {2, 11}},    // shallow and steep mixed
    };
    for (const auto& path : paths) {
        TBitmap bitmap(20, 20);
        TCanvas& c = bitmap.Canvas();
        c.Polyline(path.data(), static_cast<int>(path.size()));
        const PixelSet ink = PixelsOf(bitmap, clBlack);
        // Union of the single segments drawn one by one.
        TBitmap reference(20, 20);
        reference.Canvas().MoveTo(path[0].X, path[0].Y);
        for (std::size_t k = 1; k < path.size(); ++k) reference.Canvas().LineTo(path[k].X, path[k].Y);
        EXPECT_EQ(ink, PixelsOf(reference, clBlack)) << Picture(bitmap);
        const TPoint last = path.back();
        bool lastElsewhere = false;
        for (std::size_t k = 0; k + 1 < path.size(); ++k) lastElsewhere |= path[k] == last;
        if (!lastElsewhere) EXPECT_FALSE(ink.count({last.X, last.Y})) << Picture(bitmap);
        for (std::size_t k = 0; k + 1 < path.size(); ++k)
            EXPECT_TRUE(ink.count({path[k].X, path[k].Y})) << "vertex " << k << Picture(bitmap);
        EXPECT_EQ(c.PenPos(), last);
    }
}

TEST(QtCanvasPolyline, SegmentsMatchSingleLines)
{
    // Each segment of the first path covers exactly what LineTo covers.
    const TPoint path[] = {{2, 2}, {12, 2}, {12, 9}, {3, 9}, {3, 4}};
    TBitmap bitmap(20, 20);
    bitmap.Canvas().Polyline(path, 5);
    PixelSet expected;
    for (int k = 0; k + 1 < 5; ++k) {
        TBitmap one(20, 20);
        one.Canvas().MoveTo(path[k].X, path[k].Y);
        one.Canvas().LineTo(path[k + 1].X, path[k + 1].Y);
        const PixelSet s = PixelsOf(one, clBlack);
        ExpectSegmentPixels(s, path[k], path[k + 1], "segment " + std::to_string(k));
        expected.insert(s.begin(), s.end());
    }
    EXPECT_EQ(PixelsOf(bitmap, clBlack), expected);
}

// Polylines take a shortcut for segments that lie on the image; seeded
// random paths, some running off the image, cover what LineTo covers.
TEST(QtCanvasPolyline, RandomPathsMatchLineToSegments)
{
    std::srand(4242);
    for (int path = 0; path < 40; ++path) {
        const int spread = path % 2 == 0 ? 40 : 70;  // odd paths leave the 40 x 30 image
        std::vector<TPoint> points;
        for (int k = 0; k < 60; ++k) points.push_back({std::rand() % spread - 5, std::rand() % spread - 5});
        TBitmap bitmap(40, 30);
        bitmap.Canvas().Polyline(points.data(), static_cast<int>(points.size()));
        TBitmap reference(40, 30);
        reference.Canvas().MoveTo(points[0].X, points[0].Y);
        for (std::size_t k = 1; k < points.size(); ++k) reference.Canvas().LineTo(points[k].X, points[k].Y);
        ASSERT_EQ(PixelsOf(bitmap, clBlack), PixelsOf(reference, clBlack)) << "path " << path << Picture(bitmap);
    }
}

TEST(QtCanvasPolyline, FewerThanTwoPointsDrawNothing)
{
    TBitmap bitmap(8, 8);
    const TPoint one[] = {{3, 3}};
    bitmap.Canvas().Polyline(one, 1);
    bitmap.Canvas().Polyline(one, 0);
    bitmap.Canvas().Polyline(nullptr, 3);
    EXPECT_TRUE(test::PixelsNot(bitmap, clWhite).empty());
}

TEST(QtCanvasPen, ColourChangesBetweenCallsTakeEffect)
{
    TBitmap bitmap(10, 6);
    TCanvas& c = bitmap.Canvas();
    c.MoveTo(0, 1);
    c.LineTo(10, 1);
    c.Pen().SetColor(clRed);
    c.MoveTo(0, 2);
    c.LineTo(10, 2);
    c.Pen().SetColor(clBtnFace);  // a system colour
    c.MoveTo(0, 3);
    c.LineTo(10, 3);
    EXPECT_EQ(bitmap.Pixel(5, 1), clBlack);
    EXPECT_EQ(bitmap.Pixel(5, 2), clRed);
    EXPECT_EQ(bitmap.Pixel(5, 3), ColorToRGB(clBtnFace));
}

TEST(QtCanvasPen, ClearPenDrawsNothingButMoves)
{
    TBitmap bitmap(10, 10);
    TCanvas& c = bitmap.Canvas();
    c.Pen().SetStyle(psClear);
    c.MoveTo(1, 1);
    c.LineTo(8, 8);
    const TPoint path[] = {{0, 5}, {9, 5}};
    c.Polyline(path, 2);
    EXPECT_TRUE(test::PixelsNot(bitmap, clWhite).empty());
    EXPECT_EQ(c.PenPos(), (TPoint{9, 5}));
}

TEST(QtCanvasPen, WidePenIsThickWithRoundEndsAndNoDashes)
{
    for (TPenStyle style : {psSolid, psDash, psDot}) {
        TBitmap bitmap(40, 20);
        TCanvas& c = bitmap.Canvas();
        c.Pen().SetWidth(3);
        c.Pen().SetStyle(style);
        c.MoveTo(5, 10);
        c.LineTo(35, 10);
        for (int x = 6; x < 35; ++x) {
            EXPECT_EQ(bitmap.Pixel(x, 9), clBlack) << "x " << x << Picture(bitmap);
            EXPECT_EQ(bitmap.Pixel(x, 10), clBlack) << "x " << x;
            EXPECT_EQ(bitmap.Pixel(x, 11), clBlack) << "x " << x;
            EXPECT_EQ(bitmap.Pixel(x, 7), clWhite) << "x " << x;
            EXPECT_EQ(bitmap.Pixel(x, 13), clWhite) << "x " << x;
        }
        // Round caps reach past the end point on the centre row only.
        EXPECT_EQ(bitmap.Pixel(35, 10), clBlack) << Picture(bitmap);
        EXPECT_EQ(bitmap.Pixel(37, 10), clWhite) << Picture(bitmap);
    }
}

// A pen wider than the square root of the int range: its round ends are
// computed in floating point and cover the whole bitmap.
TEST(QtCanvasPen, PensOfAnyWidthCoverTheirRoundEnds)
{
    for (const int width : {46341, 100000, INT_MAX}) {
        TBitmap bitmap(30, 10);
        TCanvas& c = bitmap.Canvas();
        c.Pen().SetWidth(width);
        c.MoveTo(5, 5);
        c.LineTo(6, 5);
        EXPECT_EQ(PixelsOf(bitmap, clBlack).size(), 300u) << width << Picture(bitmap);
    }
}

TEST(QtCanvasPen, WidePolylineDrawsEverySegment)
{
    TBitmap bitmap(30, 30);
    TCanvas& c = bitmap.Canvas();
    c.Pen().SetWidth(2);
    const TPoint path[] = {{3, 3}, {25, 3}, {25, 25}};
    c.Polyline(path, 3);
    EXPECT_EQ(bitmap.Pixel(14, 3), clBlack) << Picture(bitmap);
    EXPECT_EQ(bitmap.Pixel(25, 14), clBlack) << Picture(bitmap);
    EXPECT_EQ(bitmap.Pixel(14, 14), clWhite);
    EXPECT_EQ(c.PenPos(), (TPoint{25, 25}));
}

// Wide copy-mode lines are rasterised by the canvas itself; XOR lines of the
// same width go through Qt's geometric stroker. Both must cover the same
// band, differing only along its edges.
TEST(QtCanvasPen, WideLinesCoverTheSameBandAsTheGeometricStroke)
{
    const std::vector<std::vector<TPoint>> paths = {
        {{4, 30}, {56, 30}},
        {{30, 56}, {30, 4}},
        {{5, 5}, {55, 55}},
        {{55, 10}, {8, 50}},
        {{5, 40}, {20, 10}, {35, 50}, {55, 12}},
    };
    for (int width : {2, 3, 5, 8}) {
        for (const auto& path : paths) {
            TBitmap own(60, 60), qt(60, 60);
            own.Canvas().Pen().SetWidth(width);
            own.Canvas().Polyline(path.data(), static_cast<int>(path.size()));
            qt.Canvas().Pen().SetWidth(width);
            qt.Canvas().Pen().SetMode(pmXor);
            qt.Canvas().Pen().SetColor(clWhite);  // white XOR white = black
            qt.Canvas().Polyline(path.data(), static_cast<int>(path.size()));
            const PixelSet a = PixelsOf(own, clBlack);
            const PixelSet b = PixelsOf(qt, clBlack);
            PixelSet both, differ;
            for (const auto& p : a) (b.count(p) ? both : differ).insert(p);
            for (const auto& p : b)
                if (!a.count(p)) differ.insert(p);
            EXPECT_LE(differ.size() * 5, a.size()) << "width " << width << Picture(own) << Picture(qt);
            for (const auto& [x, y] : differ) {
                bool edge = false;
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy) edge |= both.count({x + dx, y + dy}) != 0;
                EXPECT_TRUE(edge) << "width " << width << " stray pixel " << x << "," << y << Picture(own);
            }
        }
    }
}

TEST(QtCanvasPen, WideLineThicknessIsMeasuredSquareToTheLine)
{
    for (int width : {2, 3, 4, 6}) {
        for (TPoint end : {TPoint{50, 50}, TPoint{50, 20}, TPoint{20, 50}}) {
            TBitmap bitmap(60, 60);
            TCanvas& c = bitmap.Canvas();
            c.Pen().SetWidth(width);
            c.MoveTo(5, 5);
            c.LineTo(end.X, end.Y);
            // Ink per row (x-major) or per column (y-major) in the middle of the line.
            const bool xMajor = end.X - 5 >= end.Y - 5;
            const double dx = end.X - 5, dy = end.Y - 5;
            const double expected = width * std::sqrt(dx * dx + dy * dy) / std::max(dx, dy);
            const int mid = xMajor ? (5 + end.X) / 2 : (5 + end.Y) / 2;
            int count = 0;
            for (int k = 0; k < 60; ++k) count += bitmap.Pixel(xMajor ? mid : k, xMajor ? k : mid) == clBlack;
            EXPECT_NEAR(count, expected, 1.0) << "width " << width << " to " << end.X << "," << end.Y << Picture(bitmap);
        }
    }
}

TEST(QtCanvasPen, WideLinesClipAtTheEdges)
{
    TBitmap bitmap(20, 20);
    TCanvas& c = bitmap.Canvas();
    c.Pen().SetWidth(4);
    c.MoveTo(-1000000, -999990);
    c.LineTo(1000000, 1000010);  // the diagonal shifted down by 10
    c.MoveTo(-50, 2);
    c.LineTo(70, 2);
    EXPECT_EQ(bitmap.Pixel(0, 10), clBlack) << Picture(bitmap);
    EXPECT_EQ(bitmap.Pixel(9, 19), clBlack);
    EXPECT_EQ(bitmap.Pixel(19, 2), clBlack);
    EXPECT_EQ(bitmap.Pixel(0, 2), clBlack);
    EXPECT_EQ(bitmap.Pixel(15, 10), clWhite);
}

}  // namespace
}  // namespace kurvo
