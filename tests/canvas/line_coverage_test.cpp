// The bit picture of one-pixel lines holds the pixels the canvas draws for
// the same lines at ratio 1: short and long lines, lines leaving the area,
// and enough long lines to fill it (so that full blocks are passed over).
#include "canvas/line_coverage.h"
#include "canvas/Qorn_canvas.h"

#include <gtest/gtest.h>

#include <random>

using namespace kurvo;

TEST(LineCoverage, HoldsThePixelsTheCanvasDraws)
{
    struct Case {
        const char* name;
        int lines, reach;  // how many, and how far beyond the 97 x 61 area their ends may lie
    };
    for (const Case& c : {Case{"short lines", 3000, 0}, Case{"lines leaving the area", 3000, 400},
                          Case{"enough long lines to fill the area", 20000, 40}}) {
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
        for (int k = 0; k < c.lines; ++k) {
            const TPoint to = c.reach == 0 ? TPoint{pen.X + step(random), pen.Y + step(random)} : TPoint{x(random), y(random)};
            canvas.LineTo(to.X, to.Y);
            coverage.Segment(pen, to);
            pen = to;
        }
        int differing = 0, drawn = 0;
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px) {
                const bool line = bitmap.Pixel(px, py) == clBlack;
                drawn += line;
                differing += line != coverage.Covered(px, py);
            }
        EXPECT_GT(drawn, 100);
        EXPECT_EQ(differing, 0);
    }
}
