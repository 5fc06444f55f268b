// The item renderer on the recording canvas: the calls each kind makes, the
// polyline batches, the state cache, the hooks, marks and texts.
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QImage>

using namespace kurvo;
using namespace kurvo::test;

namespace {

std::vector<TCanvasCall> Only(const std::vector<TCanvasCall>& calls, const std::string& op)
{
    std::vector<TCanvasCall> out;
    for (const TCanvasCall& c : calls)
        if (c.Op == op) out.push_back(c);
    return out;
}

TPoint CanvasOf(TCustomKurvo& chart, int layer, double x, double y)
{
    int px, py;
    chart.WorldToPixel(layer, x, y, px, py);
    return {px - chart.MarginLeft(), py - chart.MarginTop()};
}

}  // namespace

// ------------------------------------------------------------- polylines

TEST(RenderPolyline, DemoCurveIsOnePolylineOf101Points)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 100; ++i) chart.DrawTo(i, std::sin(0.2 * i));
    TRecordingCanvas canvas;
    const auto lines = Only(ItemCalls(chart, canvas), "Polyline");
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].Points.size(), 101u);
    for (int i = 0; i <= 100; ++i)
        EXPECT_EQ(lines[0].Points[i], CanvasOf(chart, 1, i, i == 0 ? 0.0 : std::sin(0.2 * i))) << "point " << i;
    EXPECT_EQ(lines[0].PenColor, clBlack);
}

TEST(RenderPolyline, LongRunsAreBatchesOf200JoinedWithoutGaps)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 450; ++i) chart.DrawTo(i % 180, i % 7);
    TRecordingCanvas canvas;
    const auto lines = Only(ItemCalls(chart, canvas), "Polyline");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Points.size(), 200u);
    EXPECT_EQ(lines[1].Points.size(), 200u);
    EXPECT_EQ(lines[2].Points.size(), 53u);
    EXPECT_EQ(lines[1].Points.front(), lines[0].Points.back());
    EXPECT_EQ(lines[2].Points.front(), lines[1].Points.back());
    // Together they are the 451 points in order.
    std::vector<TPoint> joined = lines[0].Points;
    joined.insert(joined.end(), lines[1].Points.begin() + 1, lines[1].Points.end());
    joined.insert(joined.end(), lines[2].Points.begin() + 1, lines[2].Points.end());
    ASSERT_EQ(joined.size(), 451u);
    for (int i = 0; i <= 450; ++i) EXPECT_EQ(joined[i], (TPoint{i % 180, kAreaH - i % 7})) << i;
}

TEST(RenderPolyline, AttributeChangeFlushesAndTheNewBatchStartsAtTheOldEnd)
{
    struct Row {
        const char* name;
        void (*change)(TkvChartItem&);
        bool (*differs)(const TCanvasCall&, const TCanvasCall&);
    };
    const Row rows[] = {
        {"colour", [](TkvChartItem& i) { i.Color = clRed; },
         [](const TCanvasCall& a, const TCanvasCall& b) { return a.PenColor == clBlack && b.PenColor == clRed; }},
        {"pen style", [](TkvChartItem& i) { i.PenStyle = psDot; },
         [](const TCanvasCall& a, const TCanvasCall& b) { return a.PenStyle == psSolid && b.PenStyle == psDot; }},
        {"brush", [](TkvChartItem& i) { i.FillColor = clBlue; },
         [](const TCanvasCall& a, const TCanvasCall& b) { return a.BrushColor != clBlue && b.BrushColor == clBlue; }},
        {"pen width", [](TkvChartItem& i) { i.LineWidth = 3; },
         [](const TCanvasCall& a, const TCanvasCall& b) { return a.PenWidth == 1 && b.PenWidth == 3; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TKurvo chart;
        SimpleGeometry(chart);
        chart.MoveTo(0, 0);
        for (int i = 1; i <= 20; ++i) chart.DrawTo(i, i);
        chart.OnBeforeRenderChartItem = [&](TObject*, TkvChartItem& item, int index, bool) {
            if (index >= 10) row.change(item);
        };
        TRecordingCanvas canvas;
        const auto lines = Only(ItemCalls(chart, canvas), "Polyline");
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].Points.size(), 10u);  // the move and items 1 ... 9
        EXPECT_EQ(lines[1].Points.size(), 12u);  // item 9's point and items 10 ... 20
        EXPECT_EQ(lines[1].Points.front(), lines[0].Points.back());
        EXPECT_TRUE(row.differs(lines[0], lines[1]));
    }
}

TEST(RenderPolyline, NonFiniteLinePointLeavesAGap)
{
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    for (const double bad : {nan, inf, -inf}) {
        SCOPED_TRACE(bad);
        TKurvo chart;
        SimpleGeometry(chart);
        chart.MoveTo(0, 0);
        for (int i = 1; i <= 4; ++i) chart.DrawTo(10 * i, 10 * i);
        chart.OnBeforeRenderChartItem = [&](TObject*, TkvChartItem& item, int index, bool) {
            if (index == 2) item.Y = bad;
        };
        EXPECT_EQ(ItemTrace(chart), (std::vector<std::string>{
                                        "MoveTo 0 130",
                                        "Polyline (0,130) (10,120)",
                                        "MoveTo 10 120",
                                        "MoveTo 30 100",  // item 3 starts afresh
                                        "Polyline (30,100) (40,90)",
                                        "MoveTo 40 90",
                                    }));
    }
}

TEST(RenderPolyline, MoveWithoutPixelMakesTheNextPointAMove)
{
    TKurvo chart;
    SimpleGeometry(chart);
    TKurvoAccess::Add(chart, Item(ikMoveTo, 5, 5), false);
    TKurvoAccess::Add(chart, Item(ikLineTo, 10, 10), false);
    TKurvoAccess::Add(chart, Item(ikMoveTo, std::nan(""), 5), false);
    TKurvoAccess::Add(chart, Item(ikLineTo, 20, 20), false);
    TKurvoAccess::Add(chart, Item(ikLineTo, 30, 20), false);
    EXPECT_EQ(ItemTrace(chart), (std::vector<std::string>{"MoveTo 5 125", "Polyline (5,125) (10,120)", "MoveTo 10 120",
                                                           "MoveTo 20 110", "Polyline (20,110) (30,110)",
                                                           "MoveTo 30 110"}));
}

TEST(RenderPolyline, EachListEndsItsOwnBatch)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.MoveTo(0, 0);
    chart.DrawTo(10, 10);
    AddAnnotation(chart, Item(ikLineTo, 20, 20, 0, 0, 1));
    EXPECT_EQ(ItemTrace(chart), (std::vector<std::string>{"MoveTo 0 130", "Polyline (0,130) (10,120)", "MoveTo 10 120",
                                                           "Polyline (10,120) (20,20)", "MoveTo 20 20"}));
}

// ------------------------------------------------------------ every kind

namespace {

struct KindRow {
    const char* name;
    std::vector<TkvChartItem> items;  // annotation items, with their modes
    std::vector<std::string> expected;
};

TkvChartItem Framed(int style)
{
    return With(Item(ikFramedRect, 10, 10, 30, 20, 1), [style](TkvChartItem& i) {
        i.Style = static_cast<std::uint8_t>(style);
        i.Extra[0] = clRed;
        i.Extra[1] = clBlue;
    });
}

TkvChartItem Arrow(std::uint8_t kind, double x1, double y1, double x2, double y2, int size, bool open,
                   std::uint8_t mode = 1)
{
    return With(Item(kind, x1, y1, x2, y2, mode), [&](TkvChartItem& i) {
        i.Size = size;
        i.Transparent = open;
    });
}

TkvChartItem Sized(TkvChartItem item, int size, int size2)
{
    item.Size = size;
    item.Size2 = size2;
    return item;
}

TkvChartItem Mark(double x, double y, int shape, std::uint8_t mode)
{
    return With(Item(ikMark, x, y, 0, 0, mode), [shape](TkvChartItem& i) { i.Shape = shape; });
}

// Layer 1 maps world (x, y) to canvas (x, 130 - y); modes 1 ... 5 make coordinates pixels.
const std::vector<KindRow>& KindRows()
{
    static const std::vector<KindRow> rows = {
        {"line, world", {Item(ikLine, 10, 20, 30, 40)}, {"MoveTo 10 110", "LineTo 30 90"}},
        {"line, mode 2: second point in pixels", {Item(ikLine, 10, 20, 30, 40, 2)}, {"MoveTo 10 110", "LineTo 30 40"}},
        {"line, mode 3: first point in pixels", {Item(ikLine, 10, 20, 30, 40, 3)}, {"MoveTo 10 20", "LineTo 30 90"}},
        {"line, pixels round half to even", {Item(ikLine, 10.5, 11.5, 30.5, 2.5, 1)}, {"MoveTo 10 12", "LineTo 30 2"}},
        {"line whose ends share a pixel", {Item(ikLine, 10, 20, 10.2, 20.3)}, {"SetPixel 10 110"}},
        {"shifted line", {Sized(Item(ikShiftedLine, 10, 20, 30, 40), 3, -4)}, {"MoveTo 13 106", "LineTo 33 86"}},
        {"rectangle: the larger x and y grow by one", {Item(ikRectangle, 20, 10, 5, 30, 1)}, {"Rectangle 21 10 5 31"}},
        {"rectangle: equal x grow on the first point", {Item(ikRectangle, 5, 10, 5, 30, 1)}, {"Rectangle 6 10 5 31"}},
        {"rectangle of one pixel", {Item(ikRectangle, 7, 8, 7.4, 8.4, 1)}, {"SetPixel 7 8"}},
        {"ellipse of half axes X2, Y2", {Item(ikEllipse, 50, 50, 10, 5)}, {"Ellipse 40 75 61 86"}},
        {"box of Size x Size2 pixels", {Sized(Item(ikBox, 50, 50), 4, 3)}, {"Rectangle 46 77 55 84"}},
        {"framed rectangle, lowered",
         {Framed(2)},
         {"Rectangle 10 20 30 10", "MoveTo 10 20", "LineTo 10 10", "LineTo 30 10", "LineTo 30 20", "LineTo 10 20"}},
        {"framed rectangle, embossed",
         {Framed(4)},
         {"Rectangle 10 20 30 10", "MoveTo 11 20", "LineTo 11 11", "LineTo 30 11", "LineTo 30 20", "LineTo 11 20",
          "MoveTo 10 19", "LineTo 10 10", "LineTo 29 10", "LineTo 29 19", "LineTo 10 19"}},
        {"framed rectangle, unknown style", {Framed(7)}, {"Rectangle 10 20 30 10"}},
        {"3D bar at 45 degrees",
         {Sized(Item(ikBar3D, 20, 20, 40, 60), 45, 10)},
         {"Polygon (20,70) (27,63) (47,63) (40,70)", "Polygon (47,63) (40,70) (40,110) (47,103)",
          "Rectangle 20 70 41 111"}},
        {"3D bar above 90 degrees has its side on the left",
         {Sized(Item(ikBar3D, 20, 20, 40, 60), 135, 10)},
         {"Polygon (40,70) (33,63) (13,63) (20,70)", "Polygon (13,63) (20,70) (20,110) (13,103)",
          "Rectangle 41 70 20 111"}},
        {"arrow, filled head", {Arrow(ikArrow, 10, 50, 60, 50, 10, false)},
         {"MoveTo 10 50", "LineTo 60 50", "Polygon (60,50) (51,47) (51,53)"}},
        {"arrow, open head", {Arrow(ikArrow, 10, 50, 60, 50, 10, true)},
         {"MoveTo 10 50", "LineTo 60 50", "MoveTo 60 50", "LineTo 51 47", "MoveTo 60 50", "LineTo 51 53"}},
        {"double arrow: the start head first", {Arrow(ikDoubleArrow, 10, 50, 60, 50, 10, false)},
         {"MoveTo 10 50", "LineTo 60 50", "Polygon (10,50) (19,53) (19,47)", "Polygon (60,50) (51,47) (51,53)"}},
        {"arrow pointing down", {Arrow(ikArrow, 30, 10, 30, 60, 10, true)},
         {"MoveTo 30 10", "LineTo 30 60", "MoveTo 30 60", "LineTo 33 51", "MoveTo 30 60", "LineTo 27 51"}},
        {"arrow pointing left and up", {Arrow(ikArrow, 60, 60, 20, 20, 10, true)},
         {"MoveTo 60 60", "LineTo 20 20", "MoveTo 20 20", "LineTo 24 29", "MoveTo 20 20", "LineTo 29 24"}},
        {"arrow without head", {Arrow(ikArrow, 10, 50, 60, 50, 0, false)}, {"MoveTo 10 50", "LineTo 60 50"}},
        {"arrow, mode 4: X in pixels, Y world", {Arrow(ikArrow, 10, 50, 60, 50, 10, false, 4)},
         {"MoveTo 10 80", "LineTo 60 80", "Polygon (60,80) (51,77) (51,83)"}},
        {"arrow of one pixel", {Arrow(ikArrow, 10, 50, 10.3, 50, 10, false)}, {"SetPixel 10 50"}},
        {"vertical error bars",
         {Item(ikErrorBar, 50, 50, 5, -10)},
         {"MoveTo 50 80", "LineTo 50 85", "MoveTo 47 85", "LineTo 54 85", "MoveTo 50 80", "LineTo 50 70",
          "MoveTo 47 70", "LineTo 54 70", "SetPixel 50 80"}},
        {"horizontal error bars",
         {Sized(Item(ikErrorBar, 50, 50, 5, 10), 1, 0)},
         {"MoveTo 50 80", "LineTo 45 80", "MoveTo 45 77", "LineTo 45 84", "MoveTo 50 80", "LineTo 60 80",
          "MoveTo 60 77", "LineTo 60 84", "SetPixel 50 80"}},
        {"error bars reaching into the range from outside",
         {Item(ikErrorBar, 185, 50, 10, 10)},
         {"MoveTo 185 80", "LineTo 185 90", "MoveTo 182 90", "LineTo 189 90", "MoveTo 185 80", "LineTo 185 70",
          "MoveTo 182 70", "LineTo 189 70", "SetPixel 185 80"}},
        {"error bars wholly outside the range", {Item(ikErrorBar, 200, 50, 5, 10)}, {}},
        {"arc of a quarter turn",
         {Sized(Item(ikArc, 50, 50, 10, 5), 0, 157079633)},
         {"Arc 40 75 61 86 100000050 80 50 -99999920"}},
        {"arc of one pixel", {Item(ikArc, 50, 50, 0, 0)}, {"SetPixel 50 80"}},
        {"vector", {Item(ikVector, 10, 10, 5, -3)}, {"Polyline (10,120) (15,117)", "MoveTo 15 117"}},
        {"vector of one pixel", {Item(ikVector, 10, 10, 0.4, 0)}, {"SetPixel 10 120"}},
        {"vertical line, world X", {Item(ikVertLine, 30, 999)}, {"MoveTo 30 0", "LineTo 30 130"}},
        {"vertical line, pixel X", {Item(ikVertLine, 12.5, 999, 0, 0, 1)}, {"MoveTo 12 0", "LineTo 12 130"}},
        {"horizontal line, world Y", {Item(ikHorizLine, 999, 30)}, {"MoveTo 0 100", "LineTo 180 100"}},
        {"horizontal line, pixel Y", {Item(ikHorizLine, 999, 30, 0, 0, 3)}, {"MoveTo 0 30", "LineTo 180 30"}},
        {"cross, world", {Item(ikCross, 50, 50, 10, 5)}, {"MoveTo 50 75", "LineTo 50 86", "MoveTo 40 80", "LineTo 61 80"}},
        {"cross, pixels", {Item(ikCross, 50, 50, 10, 5, 1)},
         {"MoveTo 50 56", "LineTo 50 45", "MoveTo 40 50", "LineTo 61 50"}},
        {"cross, world centre with pixel half sizes", {Item(ikCross, 50, 50, 3, 2, 2)},
         {"MoveTo 50 78", "LineTo 50 83", "MoveTo 47 80", "LineTo 54 80"}},
        {"cross leaves the pen at its centre",
         {Item(ikCross, 50, 50, 10, 5), Item(ikLineTo, 70, 70)},
         {"MoveTo 50 75", "LineTo 50 86", "MoveTo 40 80", "LineTo 61 80", "Polyline (50,80) (70,60)", "MoveTo 70 60"}},
        {"line-to in every single-point mode",
         {Item(ikMoveTo, 0, 0, 0, 0, 1), Item(ikLineTo, 15, 20, 0, 0, 4), Item(ikLineTo, 20, 30, 0, 0, 5),
          Item(ikLineTo, 25, 25, 0, 0, 2), Item(ikLineTo, 30.5, 40, 0, 0, 3)},
         {"MoveTo 0 0", "Polyline (0,0) (15,110) (20,30) (25,105) (30,40)", "MoveTo 30 40"}},
        {"relative moves and lines",
         {Item(ikMoveTo, 10, 10, 0, 0, 1), Item(ikMoveRel, 5, 5), Item(ikLineRel, 10, 0), Item(ikLineRel, 0, 10)},
         {"MoveTo 10 10", "MoveTo 15 15", "Polyline (15,15) (25,15) (25,25)", "MoveTo 25 25"}},
        {"line-relative continues from the last waiting point",
         {Item(ikMoveTo, 10, 10, 0, 0, 1), Item(ikLineTo, 20, 10, 0, 0, 1), Item(ikLineRel, 0, 5)},
         {"MoveTo 10 10", "Polyline (10,10) (20,10) (20,15)", "MoveTo 20 15"}},
        {"move-relative from the last waiting point",
         {Item(ikMoveTo, 10, 10, 0, 0, 1), Item(ikLineTo, 20, 10, 0, 0, 1), Item(ikMoveRel, 1, 1)},
         {"MoveTo 10 10", "Polyline (10,10) (20,10)", "MoveTo 20 10", "MoveTo 21 11"}},
        {"kinds without a drawing", {Item(0, 5, 5), Item(10, 5, 5), Item(11, 5, 5), Item(25, 5, 5), Item(255, 5, 5)}, {}},
        {"mark, pixel mode", {Mark(20, 30, 0, 1), Mark(20, 30, 7, 5)}, {"SetPixel 20 30", "Rectangle 19 29 22 32"}},
        {"mark, pixel mode on the far edge", {Mark(180, 130, 0, 1)}, {"SetPixel 180 130"}},
        {"mark, pixel mode beyond the edge", {Mark(180.5, 30, 0, 1), Mark(20, -0.5, 0, 3)}, {}},
        {"mark, world mode within the range", {Mark(180, 0, 0, 0)}, {"SetPixel 180 130"}},
        {"mark, world mode beyond the range though on the bitmap", {Mark(180.4, 50, 0, 0)}, {}},
    };
    return rows;
}

}  // namespace

TEST(RenderKinds, EachKindMakesItsCalls)
{
    for (const KindRow& row : KindRows()) {
        SCOPED_TRACE(row.name);
        TKurvo chart;
        SimpleGeometry(chart);
        for (const TkvChartItem& item : row.items) AddAnnotation(chart, item);
        EXPECT_EQ(ItemTrace(chart), row.expected);
    }
}

TEST(RenderKinds, AWorldMarkBeyondTheRangeIsLeftOutWhileALineToItIsDrawn)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.MoveTo(170, 50);
    chart.DrawTo(180, 50);
    TKurvoAccess::Add(chart, Item(ikLineTo, 180.4, 50), false);
    TKurvoAccess::Add(chart, Mark(180.4, 50, 7, 0), false);
    EXPECT_EQ(ItemTrace(chart),
              (std::vector<std::string>{"MoveTo 170 80", "Polyline (170,80) (180,80) (180,80)", "MoveTo 180 80"}));
}

// ------------------------------------------------------------------ text

namespace {

TkvChartItem Text(const std::string& text, double x, double y, int shape, bool solid, std::uint8_t mode = 1)
{
    return With(Item(ikText, x, y, 0, 0, mode), [&](TkvChartItem& i) {
        i.ShortText.Assign(text);
        i.Shape = shape;
        i.Size = 10;
        i.Size2 = solid ? 0x101 : 0x100;  // only the low byte counts
        i.LineWidth = 0;
        i.Color = clNavy;
        i.FillColor = clYellow;
    });
}

}  // namespace

// The recording canvas measures 6 pixels per character and 13 per line, so
// a line is 14 pixels high and the first line starts 7 above the point.
TEST(RenderText, AlignmentAndLines)
{
    const std::vector<KindRow> rows = {
        {"left", {Text("abc", 100, 50, 0, false)}, {"TextOut 100 43 'abc'"}},
        {"right", {Text("abc", 100, 50, 1, false)}, {"TextOut 82 43 'abc'"}},
        {"centred", {Text("abcde", 100, 50, 2, false)}, {"TextOut 85 43 'abcde'"}},
        {"two lines, right aligned, solid background",
         {Text("ab\nwxyz", 100, 50, 1, true)},
         {"Rectangle 72 41 104 73", "TextOut 88 43 'ab'", "TextOut 76 57 'wxyz'"}},
        {"two lines, centred, clear background",
         {Text("ab\nwxyz", 100, 50, 2, false)},
         {"TextOut 94 43 'ab'", "TextOut 88 57 'wxyz'"}},
        {"three lines with an empty one", {Text("a\n\nbb", 10, 20, 0, false)},
         {"TextOut 10 13 'a'", "TextOut 10 27 ''", "TextOut 10 41 'bb'"}},
        {"world position", {Text("a", 30, 40, 0, false, 0)}, {"TextOut 30 83 'a'"}},
        {"offset text: world point plus X2, Y2 pixels",
         {With(Text("a", 30, 40, 0, false, 0), [](TkvChartItem& i) {
             i.Kind = ikOffsetText;
             i.X2 = 5.5;
             i.Y2 = -3;
         })},
         {"TextOut 36 80 'a'"}},
    };
    for (const KindRow& row : rows) {
        SCOPED_TRACE(row.name);
        TKurvo chart;
        SimpleGeometry(chart);
        for (const TkvChartItem& item : row.items) AddAnnotation(chart, item);
        EXPECT_EQ(ItemTrace(chart), row.expected);
    }
}

TEST(RenderText, AttributesComeFromTheItemAndTextFont)
{
    TKurvo chart;
    SimpleGeometry(chart);
    TFont font = chart.TextFont();
    font.SetName("DejaVu Serif");
    font.SetStyle({fsBold});
    font.SetSize(30);
    chart.SetTextFont(font);
    AddAnnotation(chart, Text("ab\ncd", 100, 50, 0, true));
    AddAnnotation(chart, With(Text("e", 100, 90, 0, false), [](TkvChartItem& i) { i.Size = 17; }));
    TRecordingCanvas canvas;
    const auto calls = ItemCalls(chart, canvas);
    const auto rect = Only(calls, "Rectangle");
    ASSERT_EQ(rect.size(), 1u);
    EXPECT_EQ(rect[0].PenColor, clYellow);  // the background colour outlines the background
    EXPECT_EQ(rect[0].BrushColor, clYellow);
    EXPECT_EQ(rect[0].BrushStyle, bsSolid);
    const auto texts = Only(calls, "TextOut");
    ASSERT_EQ(texts.size(), 3u);
    for (const TCanvasCall& t : texts) {
        EXPECT_EQ(t.FontColor, clNavy);
        EXPECT_EQ(t.FontName, "DejaVu Serif");
        EXPECT_EQ(t.FontStyle, TFontStyles({fsBold}));
        EXPECT_EQ(t.BrushColor, clYellow);
    }
    EXPECT_EQ(texts[0].FontSize, 10);
    EXPECT_EQ(texts[0].BrushStyle, bsSolid);
    EXPECT_EQ(texts[2].FontSize, 17);
    EXPECT_EQ(texts[2].BrushStyle, bsClear);
}

TEST(RenderText, TextSourcesAndTheTextHook)
{
    TKurvo chart;
    SimpleGeometry(chart);
    TKurvoAccess::LongTexts(chart, true).Texts[0] = "long one";
    TKurvoAccess::LongTexts(chart, true).Texts[49] = "long fifty";
    TKurvoAccess::LongTexts(chart, false).Texts[0] = "data list's own";
    const auto indexed = [](int index) {
        return With(Text("short", 0, 50, 0, false), [index](TkvChartItem& i) { i.LineWidth = index; });
    };
    for (int index : {0, 1, 50, 51, -1, 1000}) AddAnnotation(chart, indexed(index));
    std::vector<std::string> seen;
    chart.OnBeforeRenderText = [&](TObject* sender, std::string& text, int index, bool isAnnotation) {
        EXPECT_EQ(sender, &chart);
        EXPECT_TRUE(isAnnotation);
        seen.push_back(std::to_string(index) + ":" + text);
        if (index == 4) text = "changed";
    };
    const auto trace = ItemTrace(chart);
    EXPECT_EQ(seen, (std::vector<std::string>{"0:short", "1:long one", "2:long fifty", "3:", "4:short", "5:"}));
    ASSERT_EQ(trace.size(), 6u);
    EXPECT_EQ(trace[1], "TextOut 0 43 'long one'");
    EXPECT_EQ(trace[3], "TextOut 0 43 ''");  // index 51 lies outside the table
    EXPECT_EQ(trace[4], "TextOut 0 43 'changed'");
    EXPECT_EQ(trace[5], "TextOut 0 43 ''");
    // The stored item is untouched: the next paint asks again.
    seen.clear();
    ItemTrace(chart);
    EXPECT_EQ(seen.back(), "5:");
}

TEST(RenderText, AnnotationTextsAreDrawnAfterTheOtherAnnotations)
{
    TKurvo chart;
    SimpleGeometry(chart);
    AddAnnotation(chart, Text("t", 10, 10, 0, false));
    AddAnnotation(chart, Item(ikLine, 1, 2, 3, 4, 1));
    chart.MoveTo(0, 0);
    std::vector<std::string> order;
    chart.OnBeforeRenderChartItem = [&](TObject*, TkvChartItem& item, int index, bool isAnnotation) {
        order.push_back(std::string(isAnnotation ? "annotation " : "data ") + std::to_string(index) + " kind " +
                        std::to_string(item.Kind));
    };
    EXPECT_EQ(ItemTrace(chart), (std::vector<std::string>{"MoveTo 0 130", "MoveTo 1 2", "LineTo 3 4", "TextOut 10 3 't'"}));
    EXPECT_EQ(order, (std::vector<std::string>{"data 0 kind 8", "annotation 1 kind 2", "annotation 0 kind 7"}));
}

// ------------------------------------------------------------ monochrome

TEST(RenderMonochrome, BlackPenSilverFillWhiteTextBackground)
{
    TKurvo chart;
    SimpleGeometry(chart);
    AddAnnotation(chart, With(Item(ikRectangle, 1, 1, 20, 20, 1), [](TkvChartItem& i) {
        i.Color = clRed;
        i.FillColor = clBlue;
    }));
    AddAnnotation(chart, Text("ab\ncd", 100, 50, 0, true));
    for (const bool monochrome : {false, true}) {
        SCOPED_TRACE(monochrome ? "monochrome" : "colour");
        TRecordingCanvas canvas;
        const auto calls = ItemCalls(chart, canvas, monochrome);
        const auto rects = Only(calls, "Rectangle");
        ASSERT_EQ(rects.size(), 2u);
        EXPECT_EQ(rects[0].PenColor, monochrome ? clBlack : clRed);
        EXPECT_EQ(rects[0].BrushColor, monochrome ? clSilver : clBlue);
        EXPECT_EQ(rects[1].BrushColor, monochrome ? clWhite : clYellow);  // the text background
        for (const TCanvasCall& t : Only(calls, "TextOut")) {
            EXPECT_EQ(t.FontColor, monochrome ? clBlack : clNavy);
            EXPECT_EQ(t.BrushColor, monochrome ? clWhite : clYellow);
            EXPECT_EQ(t.BrushStyle, bsSolid);
        }
    }
}

// ------------------------------------------------------------------ hooks

TEST(RenderHooks, ItemHookChangesOnlyThisDrawing)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.MoveTo(0, 0);
    chart.DrawTo(50, 50);
    bool recolour = true;
    chart.OnBeforeRenderChartItem = [&](TObject* sender, TkvChartItem& item, int index, bool isAnnotation) {
        EXPECT_EQ(sender, &chart);
        EXPECT_FALSE(isAnnotation);
        if (recolour && index == 1) {
            item.Color = clRed;
            item.Y = 100;
        }
    };
    TRecordingCanvas canvas;
    auto lines = Only(ItemCalls(chart, canvas), "Polyline");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].PenColor, clRed);
    EXPECT_EQ(lines[0].Points.back(), (TPoint{50, 30}));
    EXPECT_EQ(chart.DataItem(1).Color, clBlack);
    recolour = false;
    lines = Only(ItemCalls(chart, canvas), "Polyline");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].PenColor, clBlack);
    EXPECT_EQ(lines[0].Points.back(), (TPoint{50, 80}));
}

TEST(RenderHooks, HiddenClassesAndLayersAreSkippedBeforeTheHook)
{
    TKurvo chart;
    SimpleGeometry(chart);
    TKurvoAccess::Add(chart, Item(ikLine, 1, 1, 5, 5), false);
    TKurvoAccess::Add(chart, With(Item(ikLine, 2, 2, 6, 6), [](TkvChartItem& i) { i.Layer = 0; }), false);
    TKurvoAccess::Add(chart, With(Item(ikLine, 3, 3, 7, 7), [](TkvChartItem& i) { i.Layer = 17; }), false);
    std::vector<int> indices;
    chart.OnBeforeRenderChartItem = [&](TObject*, TkvChartItem&, int index, bool) { indices.push_back(index); };
    ItemTrace(chart);
    EXPECT_EQ(indices, (std::vector<int>{0}));
}

// -------------------------------------------------------- duplicate marks

TEST(RenderDuplicateMarks, EqualMarksCloserThanTheDistanceAreDrawnOnce)
{
    struct Row {
        int dist;
        int dx, dy;
        int secondType;
        bool secondDrawn;
    };
    const Row rows[] = {
        {1, 1, 0, 7, false}, {1, 2, 0, 7, true},  {1, 1, 1, 7, false}, {1, 0, 0, 8, true},
        {1, 0, 0, 263, false},  // only the low byte names the type
        {2, 2, -2, 7, false}, {2, 3, 0, 7, true}, {3, 0, 3, 7, false}, {3, 4, 0, 7, true},
    };
    // The same on a chart of 30000 x 20000 pixels, where a cell per pixel
    // would take gigabytes and the grid keeps only the cells marks used.
    for (const bool huge : {false, true})
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << (huge ? "huge " : "") << "d " << row.dist << " offset " << row.dx
                                            << "," << row.dy << " type " << row.secondType);
            TKurvo chart;
            SimpleGeometry(chart);
            if (huge) {
                chart.SetBounds(0, 0, 30000, 20000);
                chart.Scale1X()->SetRangeHigh(30000 - 20);
                chart.Scale1Y()->SetRangeHigh(20000 - 20);
            }
            chart.SetAvoidDuplicateMarks(true);
            chart.SetMinDupMarkDist(row.dist);
            AddAnnotation(chart, Mark(50, 50, 7, 1));
            AddAnnotation(chart, Mark(50 + row.dx, 50 + row.dy, row.secondType, 1));
            const auto trace = ItemTrace(chart);
            EXPECT_EQ(trace.size(), row.secondDrawn ? 2u : 1u);
            if (!huge) EXPECT_EQ(trace.front(), "Rectangle 49 49 52 52");
        }
}

TEST(RenderDuplicateMarks, TheGridStartsEmptyOnEveryRenderAndIsOffByDefault)
{
    TKurvo chart;
    SimpleGeometry(chart);
    AddAnnotation(chart, Mark(50, 50, 0, 1));
    AddAnnotation(chart, Mark(50, 50, 0, 1));
    EXPECT_EQ(ItemTrace(chart).size(), 2u);
    chart.SetAvoidDuplicateMarks(true);
    EXPECT_EQ(ItemTrace(chart).size(), 1u);
    EXPECT_EQ(ItemTrace(chart).size(), 1u);  // not suppressed by the previous render
}

TEST(RenderDuplicateMarks, MarksBeyondTheGridAreDrawnAndNeverStampedOutsideIt)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.SetAvoidDuplicateMarks(true);
    chart.SetMinDupMarkDist(3);
    // With these offsets the far corner lies beyond the grid of the control's size.
    for (int k = 0; k < 2; ++k) AddAnnotation(chart, Mark(180, 130, 0, 1));
    for (int k = 0; k < 2; ++k) AddAnnotation(chart, Mark(0, 0, 0, 1));
    AddAnnotation(chart, Item(ikErrorBar, 0, 130, 1, 1));  // no duplicate rule for error bars
    TRecordingCanvas canvas;
    chart.RenderData(canvas, 150, 120, false, true);
    const auto trace = Trace(canvas.Calls());
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "SetPixel 330 250"), 2);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "SetPixel 150 120"), 2);  // the second mark, then the bar's dot
}

// ------------------------------------------------------- mapping, printer

// Line points take a shortcut for linear layers; they must land exactly
// where WorldToPixel puts them, halves, reversed axes and clamping included.
TEST(RenderPolyline, LinePointsMapExactlyAsWorldToPixel)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.ScaleX(2)->SetRangeLow(50);
    chart.ScaleX(2)->SetRangeHigh(-3.3);  // reversed
    chart.ScaleY(2)->SetRangeLow(-1e-3);
    chart.ScaleY(2)->SetRangeHigh(7e-3);
    chart.ScaleX(3)->SetRangeLow(1);
    chart.ScaleX(3)->SetRangeHigh(1e4);
    chart.ScaleX(3)->SetLogarithmic(true);
    chart.ScaleY(4)->SetRangeLow(1e-3);
    chart.ScaleY(4)->SetRangeHigh(10);
    chart.ScaleY(4)->SetLogarithmic(true);
    const double values[] = {0, 10.5, 11.5, 0.25, -0.5, 179.5, 1e-3, 3e-3, 42.424242, -7, 1e7, -1e7, 1e12, -1e300, 5e-324};
    std::vector<std::pair<int, TPoint>> points;  // layer, expected canvas point
    for (int layer = 1; layer <= 4; ++layer)
        for (double x : values)
            for (double y : {values[1], values[2], values[9], values[12], values[7]}) {
                TkvChartItem item = Item(ikLineTo, x, y);
                item.Layer = layer;
                TKurvoAccess::Add(chart, item, false);
                int px, py;
                chart.WorldToPixel(layer, x, y, px, py);
                const auto canvas = [](int p) {
                    return static_cast<int>(std::clamp<long long>(p - 10LL, -30000, 30000));
                };
                points.push_back({layer, {canvas(px), canvas(py)}});
            }
    TRecordingCanvas canvas;
    std::vector<TPoint> drawn;
    for (const TCanvasCall& c : ItemCalls(chart, canvas))
        if (c.Op == "Polyline") drawn.insert(drawn.end(), c.Points.begin() + 1, c.Points.end());
    ASSERT_EQ(drawn.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(drawn[i], points[i].second) << "layer " << points[i].first << ", item " << i;
}

TEST(RenderPrinter, TextAndCharacterMarksTakeTheirSizeAtThePrinterResolution)
{
    struct Row {
        const char* name;
        TkvChartItem item;
        int height;  // canvas font height afterwards, pixels
    };
    const Row rows[] = {
        {"text of 10 points", With(Item(ikText, 5, 5, 0, 0, 1), [](TkvChartItem& i) { i.Size = 10; i.LineWidth = 0; }),
         -83},
        {"character mark of 12 points", With(Mark(5, 5, 65, 1), [](TkvChartItem& i) { i.Size = 12; }), -100},
        {"symbol mark keeps the font", With(Mark(5, 5, 51, 1), [](TkvChartItem& i) { i.Size = 12; }), -11},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TKurvo chart;
        SimpleGeometry(chart);
        AddAnnotation(chart, row.item);
        TRecordingCanvas canvas;
        canvas.SetPrinter(true);
        ItemCalls(chart, canvas);
        EXPECT_EQ(canvas.Font().Height(), row.height);
    }
}

// Handlers may change the lists and clear their own event during a paint:
// the paint goes on without reading freed storage or a destroyed handler,
// and what a handler adds is drawn from the next paint on. A handler that
// starts runs of other attributes moves the table of the runs' shared
// records; one that clears its event would destroy itself mid-call.
TEST(RenderHooks, HandlersMayChangeTheListsAndClearTheirEventDuringAPaint)
{
    const auto refill = [](TKurvo& c) {
        c.MoveTo(0.0, 0.0);
        for (int i = 1; i <= 100; ++i) c.DrawTo(i * 1.8, 10.0);
        c.Text(90.0, 100.0, "text");
    };
    const std::pair<const char*, std::function<void(TKurvo&)>> changes[] = {
        {"new runs",
         [](TKurvo& c) {
             for (int k = 0; k < 20; ++k) {
                 c.SetDataColor(k + 1);
                 c.MoveTo(0.0, 0.0);
                 for (int i = 0; i < 3; ++i) c.DrawTo(i * 3.0, 60.0);
             }
         }},
        {"ClearData and refill",
         [&](TKurvo& c) {
             c.ClearData();
             refill(c);
         }},
        {"ClearData releasing and refill",
         [&](TKurvo& c) {
             c.ClearData(true);
             refill(c);
         }},
        {"texts",
         [](TKurvo& c) {
             for (int k = 0; k < 3; ++k) {
                 try {
                     c.Text(5.0, 5.0, std::string(40, 'x'));
                 } catch (const EQornKurvoError&) {  // all long texts taken
                 }
             }
         }},
    };
    // Every hook a paint raises; `f` changes the chart at its first two
    // calls and clears the event at the second.
    using TAct = std::function<void(std::function<void()>& clear)>;
    using THookSetter = void (*)(TKurvo&, TAct);
    const std::pair<const char*, THookSetter> hooks[] = {
        {"OnBeforeRenderChartItem",
         [](TKurvo& c, TAct f) {
             c.OnBeforeRenderChartItem = [&c, f](TObject*, TkvChartItem&, int, bool) {
                 std::function<void()> clear = [&c] { c.OnBeforeRenderChartItem = nullptr; };
                 f(clear);
             };
         }},
        {"OnBeforeRenderText",
         [](TKurvo& c, TAct f) {
             c.OnBeforeRenderText = [&c, f](TObject*, std::string&, int, bool) {
                 std::function<void()> clear = [&c] { c.OnBeforeRenderText = nullptr; };
                 f(clear);
             };
         }},
        {"OnBeforeRenderData",
         [](TKurvo& c, TAct f) {
             c.OnBeforeRenderData = [&c, f](TObject*, TCanvas&, int, int) {
                 std::function<void()> clear = [&c] { c.OnBeforeRenderData = nullptr; };
                 f(clear);
             };
         }},
        {"OnDataRendered",
         [](TKurvo& c, TAct f) {
             c.OnDataRendered = [&c, f](TObject*, TCanvas&, int, int) {
                 std::function<void()> clear = [&c] { c.OnDataRendered = nullptr; };
                 f(clear);
             };
         }},
        {"OnScalesRendered",
         [](TKurvo& c, TAct f) {
             c.OnScalesRendered = [&c, f](TObject*, TCanvas&, int, int) {
                 std::function<void()> clear = [&c] { c.OnScalesRendered = nullptr; };
                 f(clear);
             };
         }},
        {"OnScaleTickDrawn",
         [](TKurvo& c, TAct f) {
             c.OnScaleTickDrawn = [&c, f](TObject*, TCanvas&, TScaleType, double, int, int) {
                 std::function<void()> clear = [&c] { c.OnScaleTickDrawn = nullptr; };
                 f(clear);
             };
         }},
        {"OnBeforeTickLabel",
         [](TKurvo& c, TAct f) {
             c.OnBeforeTickLabel = [&c, f](TObject*, TScaleType, double, std::string&) {
                 std::function<void()> clear = [&c] { c.OnBeforeTickLabel = nullptr; };
                 f(clear);
             };
         }},
    };
    struct TWatch {
        explicit TWatch(std::shared_ptr<bool> flag) : Flag(std::move(flag)) {}
        ~TWatch() { *Flag = true; }
        std::shared_ptr<bool> Flag;
    };
    for (const auto& [hookName, install] : hooks)
        for (const auto& [changeName, change] : changes) {
            SCOPED_TRACE(std::string(hookName) + ": " + changeName);
            TKurvo chart;
            SimpleGeometry(chart);
            chart.MoveTo(0.0, 0.0);
            for (int i = 1; i <= 1000; ++i) chart.DrawTo(i * 0.18, 10.0);
            chart.Text(90.0, 100.0, "text");
            // Set when the handler's own captures are destroyed.
            auto destroyed = std::make_shared<bool>(false);
            auto watch = std::make_shared<TWatch>(destroyed);
            int calls = 0;
            bool destroyedInCall = false;
            install(chart, [&chart, &calls, &destroyedInCall, change, watch, destroyed](std::function<void()>& clear) {
                if (++calls > 2) return;
                if (calls == 2) clear();
                change(chart);
                destroyedInCall = destroyedInCall || *destroyed;
            });
            watch.reset();
            const QImage first = chart.ToImage();
            const QImage second = chart.ToImage();
            EXPECT_EQ(first.size(), second.size());
            EXPECT_GE(calls, 2);
            EXPECT_FALSE(destroyedInCall);
            EXPECT_TRUE(*destroyed);  // released once the call was over
        }
}
