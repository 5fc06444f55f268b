// The bit picture of one-pixel lines holds the pixels the canvas draws for
// the same lines at ratio 1: short and long lines, lines leaving the area,
// enough long lines to fill it (so that full blocks are passed over), and
// polylines mostly along rows given to a pen in blocks, the last one eight
// steps along a row that end the line.
#include "canvas/line_coverage.h"
#include "canvas/Qorn_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace kurvo;

TEST(LineCoverage, HoldsThePixelsTheCanvasDraws)
{
    struct Case {
        const char* name;
        int lines, reach;  // how many, and how far beyond the 97 x 61 area their ends may lie
        bool rows = false;  // steps along rows through TLinePath
    };
    for (const Case& c : {Case{"short lines", 3000, 0}, Case{"lines leaving the area", 3000, 400},
                          Case{"enough long lines to fill the area", 20000, 40}, Case{"rows", 3000, 0, true},
                          Case{"eight steps along a row that end the line", 2, 0, true}}) {
        SCOPED_TRACE(c.name);
        constexpr int w = 97, h = 61;
        TBitmap bitmap(w, h);
        TCanvas& canvas = bitmap.Canvas();
        canvas.Brush().SetColor(clWhite);
        canvas.Pen().SetColor(clWhite);
        canvas.Rectangle(0, 0, w, h);
        canvas.Pen().SetColor(clBlack);
        TLineCoverage coverage;
        coverage.Reset(w, h);
        std::mt19937 random(static_cast<unsigned>(c.lines + c.reach));
        std::uniform_int_distribution<int> x(-c.reach, w + c.reach), y(-c.reach, h + c.reach), step(-3, 3);
        TPoint pen{x(random), y(random)};
        canvas.MoveTo(pen.X, pen.Y);
        TLinePath path(coverage, pen);
        std::vector<int> xs, ys;
        for (int k = 0; k < c.lines + (c.rows ? 8 : 0); ++k) {
            TPoint to = c.reach == 0 ? TPoint{pen.X + step(random), pen.Y + step(random)} : TPoint{x(random), y(random)};
            if (c.rows) {  // on the area, never on the spot, the last eight steps towards its middle
                const int along = k >= c.lines || step(random) > 0 ? (pen.X < w / 2 ? 1 : -1) : (pen.X > 0 ? -1 : 1);
                to = k >= c.lines || k % 7 != 0 ? TPoint{pen.X + along, pen.Y}
                                                : TPoint{std::clamp(to.X, 0, w - 1), std::clamp(to.Y, 1, h - 1)};
                if (to.X == pen.X && to.Y == pen.Y) --to.Y;
            }
            canvas.LineTo(to.X, to.Y);
            if (!c.rows) coverage.Segment(pen, to);
            xs.push_back(to.X);
            ys.push_back(to.Y);
            pen = to;
        }
        for (int k = 0, block = 1; c.rows && k < c.lines + 8; k += block, block = 1 + (block * 7 + 3) % 40) {
            block = k < c.lines ? std::min(block, c.lines - k) : 8;
            path.LineTos(xs.data() + k, ys.data() + k, block, {0, 0});
        }
        path.Flush();
        int differing = 0, drawn = 0;
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px) {
                const bool line = bitmap.Pixel(px, py) == clBlack;
                drawn += line;
                differing += line != coverage.Covered(px, py);
            }
        EXPECT_GT(drawn, std::min(c.lines, 100));
        EXPECT_EQ(differing, 0);
    }
}
