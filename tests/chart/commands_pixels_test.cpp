// One picture per command family, drawn through the public commands only
// and read back from the chart's own bitmap. With KURVO_PICTURES set to a
// folder, each picture is also saved there as a PNG.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cstdlib>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace kurvo {
namespace {

// Layer 1 maps world (x, y) to control pixel (10 + x, 140 - y); annotation
// pixel (x, y) is control pixel (10 + x, 10 + y).
void Draw(const char* name, TKurvo& chart, const std::function<void(TKurvo&)>& commands)
{
    test::SimpleGeometry(chart);
    chart.HandleNeeded();
    commands(chart);
    chart.Paint();
    if (const char* folder = std::getenv("KURVO_PICTURES"))
        TCustomKurvoPrivate::Get(chart).ControlBitmap().Image().save(QString::fromStdString(std::string(folder) + "/" + name + ".png"));
}

// The colour at (x, y), or at one of its eight neighbours if it is not there:
// antialiasing-free drawing may still land a pixel off on slanted edges.
bool Near(TKurvo& chart, int x, int y, TColor color)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (TCustomKurvoPrivate::Get(chart).ControlBitmap().Pixel(x + dx, y + dy) == color) return true;
    return false;
}

struct Probe {
    int x, y;
    TColor color;
    bool exact = true;
};

void Check(TKurvo& chart, const std::vector<Probe>& probes)
{
    for (const Probe& p : probes) {
        if (p.exact)
            EXPECT_EQ(TCustomKurvoPrivate::Get(chart).ControlBitmap().Pixel(p.x, p.y), p.color) << p.x << ", " << p.y;
        else
            EXPECT_TRUE(Near(chart, p.x, p.y, p.color)) << p.x << ", " << p.y;
    }
}

TEST(CommandsPixels, Lines)
{
    TKurvo chart;
    Draw("lines", chart, [](TKurvo& c) {
        c.MoveTo(10.0, 10.0);
        c.DrawTo(50.0, 10.0);
        c.DrawRel(0, -20);
        c.Line(70.0, 20.0, 90.0, 20.0);
        c.VertLine(150.0);
        c.Vector(100.0, 60.0, 20, 0);
        c.ShiftedLine(100.0, 40.0, 120.0, 40.0, 0, -3);
        const std::vector<double> x{20, 40}, y{100, 100};
        c.DrawPolyline(x, y);
        c.SetAnnotationMode(true);
        c.SetDataColor(clRed);
        c.HorizLine(5);  // pixels of the data area
        c.MoveTo(20, 100);
        c.DrawTo(40, 100);
    });
    Check(chart, {{40, 130, clBlack}, {60, 120, clBlack}, {90, 120, clBlack}, {160, 50, clBlack},
                  {120, 80, clBlack}, {120, 97, clBlack}, {40, 40, clBlack}, {100, 15, clRed},
                  {40, 110, clRed}, {40, 125, clWhite}, {120, 100, clWhite}});
}

TEST(CommandsPixels, Shapes)
{
    TKurvo chart;
    Draw("shapes", chart, [](TKurvo& c) {
        c.SetFillColor(clRed);
        c.Rectangle(20.0, 100.0, 40.0, 120.0);
        c.Box(150.0, 100.0, 5, 5);
        c.RectFrame(100.0, 20.0, 140.0, 40.0, fsLowered, clBlue, clLime);
        c.Bar3D(20.0, 20.0, 40.0, 50.0, 45, 10);
        c.Cross(60.0, 40.0, 10.0, 10.0);
        c.Arc(150.0, 30.0, 10.0, 10.0, 0, 180);
        c.SetTransparentShapes(true);
        c.Ellipse(100.0, 100.0, 15.0, 10.0);
    });
    Check(chart, {{30, 30, clBlack}, {40, 30, clRed},                       // rectangle
                  {160, 40, clRed}, {155, 40, clBlack},                     // box
                  {110, 110, clBlue}, {130, 100, clBlue}, {150, 110, clLime}, {130, 120, clLime},
                  {130, 110, clRed},                                         // framed rectangle
                  {40, 105, clRed},                                          // 3D bar front
                  {70, 95, clBlack}, {65, 100, clBlack}, {75, 95, clWhite}, // cross
                  {160, 100, clBlack, false}, {160, 120, clWhite},           // upper half arc
                  {110, 40, clWhite}, {125, 40, clBlack, false}});           // open ellipse
}

TEST(CommandsPixels, Marks)
{
    TKurvo chart;
    Draw("marks", chart, [](TKurvo& c) {
        c.MarkAt(50.0, 50.0, 9);
        const std::vector<double> x{100, 120}, y{50, 50};
        c.DrawMarks(x, y, 9);
        c.ErrorBar(150.0, 50.0, 20.0, 20.0, 1);
        c.MarkAt(500.0, 50.0, 9);  // outside the ranges: not drawn
        c.SetAnnotationMode(true);
        c.MarkAt(5, 5, 9);
    });
    Check(chart, {{57, 87, clBlack}, {63, 93, clBlack}, {64, 90, clWhite}, {110, 90, clBlack},
                  {133, 93, clBlack}, {160, 75, clBlack}, {157, 110, clBlack}, {163, 70, clBlack},
                  {12, 12, clBlack}, {18, 18, clBlack}, {19, 15, clWhite}});
}

TEST(CommandsPixels, Arrows)
{
    TKurvo chart;
    Draw("arrows", chart, [](TKurvo& c) {
        c.Arrow(20.0, 60.0, 80.0, 60.0, 20);
        c.SetTransparentShapes(true);
        c.Arrow(20.0, 30.0, 80.0, 30.0, 20);
        c.SetAnnotationMode(true);
        c.DoubleArrow(20, 60, 100, 60, 0);
    });
    // Filled head: FillColor inside the triangle; open head: only its two barbs.
    Check(chart, {{60, 80, clBlack}, {78, 77, clSilver}, {60, 110, clBlack}, {60, 111, clWhite},
                  {78, 107, clWhite}, {60, 108, clWhite}, {100, 70, clBlack}, {100, 71, clWhite}});
}

// Pixels in the rectangle x0 ... x1, y0 ... y1 of the control whose colour
// is near `color` (texts are drawn antialiased).
int Inked(TKurvo& chart, int x0, int y0, int x1, int y1, TColor color)
{
    auto channel = [](TColor c, int shift) { return (c >> shift) & 0xFF; };
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const TColor c = TCustomKurvoPrivate::Get(chart).ControlBitmap().Pixel(x, y);
            bool near = true;
            for (const int shift : {0, 8, 16}) near = near && std::abs(channel(c, shift) - channel(color, shift)) < 100;
            n += near ? 1 : 0;
        }
    return n;
}

TEST(CommandsPixels, Texts)
{
    TKurvo chart;
    Draw("texts", chart, [](TKurvo& c) {
        c.Text(90.0, 110.0, "WWW");
        c.SetTextBkStyle(tbSolid);
        c.SetFillColor(clYellow);
        c.SetDataColor(clBlue);
        c.TextOffset(30.0, 30.0, 0, -20, "a text longer than seventeen bytes");
    });
    // Centred on x = 100, the middle of the line at y = 30.
    EXPECT_GT(Inked(chart, 85, 20, 115, 40, clBlack), 20);
    EXPECT_EQ(Inked(chart, 12, 20, 80, 40, clBlack), 0);
    // The long text: blue on yellow, starting near x = 40 (taCenter), 20 pixels above y = 110.
    EXPECT_GT(Inked(chart, 20, 80, 180, 100, clBlue), 20);
    EXPECT_GT(Inked(chart, 20, 80, 180, 100, clYellow), 20);
}

}  // namespace
}  // namespace kurvo
