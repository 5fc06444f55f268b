// The data part of the paint pipeline: the hooks around the items, their
// arguments, what RenderData restores and re-applies, the frame, and a full
// Paint of the demo chart on real pixels.
#include "render_test_support.h"

#include "../canvas/pixel_helpers.h"
#include "chart/kurvo_private.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

TEST(PaintPipeline, HooksSeeTheDataAreaCornerAndTheEventOrder)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.SetMarginLeft(30);
    chart.SetMarginTop(25);
    chart.MoveTo(0, 0);
    chart.DrawTo(10, 10);
    std::vector<std::string> log;
    TCanvas* seenCanvas = nullptr;
    const auto hook = [&](const char* name) {
        return [&, name](TObject* sender, TCanvas& canvas, int top, int left) {
            EXPECT_EQ(sender, &chart);
            seenCanvas = &canvas;
            log.push_back(std::string(name) + " top " + std::to_string(top) + " left " + std::to_string(left));
        };
    };
    chart.OnBeforeRenderData = hook("OnBeforeRenderData");
    chart.OnDataRendered = hook("OnDataRendered");
    chart.OnBeforeRenderChartItem = [&](TObject*, TkvChartItem&, int index, bool) {
        log.push_back("item " + std::to_string(index));
    };
    TRecordingCanvas canvas;
    chart.RenderData(canvas, 0, 0, false, true);
    EXPECT_EQ(seenCanvas, &canvas);
    chart.RenderData(canvas, 5, 7, false, true);
    EXPECT_EQ(log, (std::vector<std::string>{"OnBeforeRenderData top 25 left 30", "item 0", "item 1",
                                             "OnDataRendered top 25 left 30", "OnBeforeRenderData top 18 left 25",
                                             "item 0", "item 1", "OnDataRendered top 18 left 25"}));
}

TEST(PaintPipeline, BeforeRenderDataMayChangePenAndBrushColours)
{
    TKurvo chart;
    SimpleGeometry(chart);
    TRecordingCanvas canvas;
    canvas.Pen().SetColor(clGreen);
    canvas.Brush().SetColor(clAqua);
    std::size_t hookEnd = 0;
    chart.OnBeforeRenderData = [&](TObject*, TCanvas& c, int, int) {
        c.Pen().SetColor(clRed);
        c.Brush().SetColor(clBlue);
        c.MoveTo(1, 1);
        hookEnd = canvas.Calls().size();
    };
    chart.RenderData(canvas, 0, 0, false, true);
    ASSERT_LT(hookEnd, canvas.Calls().size());
    const TCanvasCall& next = canvas.Calls()[hookEnd];  // the pen's move to the data-area corner
    EXPECT_EQ(next.Op, "MoveTo");
    EXPECT_EQ(next.PenColor, clGreen);
    EXPECT_EQ(next.BrushColor, clAqua);
}

TEST(PaintPipeline, TheFrameIsDrawnLast)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.SetChartFrameColor(clMaroon);
    chart.OnDataRendered = [](TObject*, TCanvas& c, int, int) {
        c.Pen().SetColor(clLime);
        c.Pen().SetStyle(psDot);
        c.MoveTo(3, 3);
        c.LineTo(9, 9);
    };
    TRecordingCanvas canvas;
    chart.RenderData(canvas, 4, 6, false, true);
    const auto trace = Trace(canvas.Calls());
    ASSERT_GE(trace.size(), 7u);
    const std::vector<std::string> tail(trace.end() - 7, trace.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"MoveTo 3 3", "LineTo 9 9", "MoveTo 4 6", "LineTo 184 6",
                                              "LineTo 184 136", "LineTo 4 136", "LineTo 4 6"}));
    for (std::size_t i = canvas.Calls().size() - 4; i < canvas.Calls().size(); ++i) {
        EXPECT_EQ(canvas.Calls()[i].PenColor, clMaroon);
        EXPECT_EQ(canvas.Calls()[i].PenStyle, psSolid);
    }
}

TEST(PaintPipeline, RenderStateStartsFromTheChartColourAndLineWidth)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.SetChartColor(clTeal);
    chart.SetLineWidth(0);  // drawn as the thinnest pen
    TRecordingCanvas canvas;
    canvas.Pen().SetWidth(7);
    canvas.Pen().SetStyle(psDash);
    chart.RenderData(canvas, 2, 3, false, true);
    const TCanvasCall& first = canvas.Calls().front();
    EXPECT_EQ(Describe(first), "MoveTo 2 3");
    EXPECT_EQ(first.PenWidth, 1);
    const TRenderState& r = TKurvoAccess::Render(chart);
    EXPECT_EQ(r.PenColor, clTeal);
    EXPECT_EQ(r.BrushColor, clTeal);
    EXPECT_EQ(r.FontColor, clTeal);
    EXPECT_EQ(r.PenStyle, psSolid);
    EXPECT_EQ(r.LineWidth, 1);
}

// A hook that repaints runs RenderData inside RenderData. The outer run goes
// on with its own pending points, pen position and colours.
TEST(PaintPipeline, NestedRenderFromAHookKeepsTheOuterState)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.SetChartFrameColor(clMaroon);
    TKurvoAccess::Add(chart, Item(ikMoveTo, 0, 0), false);
    for (int i = 1; i <= 6; ++i)
        TKurvoAccess::Add(chart, With(Item(ikLineTo, 10 * i, 10), [](TkvChartItem& it) { it.Color = clRed; }), false);
    TRecordingCanvas canvas;
    bool nested = false;
    std::size_t nestedEnd = 0;
    chart.OnBeforeRenderChartItem = [&](TObject*, TkvChartItem&, int index, bool) {
        if (index == 3 && !nested) {
            nested = true;
            chart.RenderData(canvas, 0, 0, false, true);
            nestedEnd = canvas.Calls().size();
        }
    };
    chart.RenderData(canvas, 0, 0, false, true);
    ASSERT_GT(nestedEnd, 0u);
    const auto& calls = canvas.Calls();
    std::vector<TCanvasCall> outerLines;
    for (std::size_t i = nestedEnd; i < calls.size(); ++i)
        if (calls[i].Op == "Polyline") outerLines.push_back(calls[i]);
    ASSERT_EQ(outerLines.size(), 1u);
    EXPECT_EQ(Describe(outerLines[0]), "Polyline (0,130) (10,120) (20,120) (30,120) (40,120) (50,120) (60,120)");
    EXPECT_EQ(outerLines[0].PenColor, clRed);  // the nested frame left the canvas maroon
}

namespace {

// Pixel colour of the chart control's own bitmap.
TColor ControlPixel(TKurvo& chart, int x, int y) { return TCustomKurvoPrivate::Get(chart).ControlBitmap().Pixel(x, y); }

}  // namespace

TEST(PaintPipeline, DemoChartPaintsItsCurveInAFramedWhiteArea)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.HandleNeeded();
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 100; ++i) chart.DrawTo(i, std::sin(0.2 * i));
    chart.Paint();
    // The frame at x 80 ... 457 and y 20 ... 381 of the control.
    for (int x = 80; x <= 457; x += 17) {
        EXPECT_EQ(ControlPixel(chart, x, 20), clBlack) << x;
        EXPECT_EQ(ControlPixel(chart, x, 381), clBlack) << x;
    }
    for (int y = 20; y <= 381; y += 19) {
        EXPECT_EQ(ControlPixel(chart, 80, y), clBlack) << y;
        EXPECT_EQ(ControlPixel(chart, 457, y), clBlack) << y;
    }
    // Every point of the curve is inked; white area well away from it.
    for (int i = 0; i <= 100; ++i) {
        int x, y;
        chart.WorldToPixel(1, i, i == 0 ? 0.0 : std::sin(0.2 * i), x, y);
        EXPECT_EQ(ControlPixel(chart, x, y), clBlack) << "point " << i;
    }
    EXPECT_EQ(ControlPixel(chart, 200, 60), clWhite);
    EXPECT_EQ(ControlPixel(chart, 300, 350), clWhite);
    // The margin keeps the window colour.
    EXPECT_EQ(ControlPixel(chart, 2, 2), ColorToRGB(clBtnFace));
}

namespace {

std::vector<kurvo::TCanvasCall> FrameCalls(kurvo::TKurvo& chart, const char* op)
{
    kurvo::TRecordingCanvas canvas;
    TCustomKurvoPrivate::Get(chart).PaintFrame(canvas);
    return canvas.CallsOf(op);
}

}  // namespace

TEST(PaintFrame, ShadowStripsAndTheRaisedFace)
{
    using namespace kurvo;
    TKurvo chart;
    chart.SetBounds(0, 0, 300, 200);
    EXPECT_TRUE(FrameCalls(chart, "Polygon").empty());  // no shadow without a width
    chart.SetShadowWidth(5);
    chart.SetShadowColor(clGray);

    const auto rects = FrameCalls(chart, "Rectangle");
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].Args, (std::vector<int>{0, 0, 300, 200}));
    EXPECT_EQ(rects[1].Args, (std::vector<int>{295, 0, 300, 5}));
    EXPECT_EQ(rects[2].Args, (std::vector<int>{0, 195, 5, 200}));
    EXPECT_EQ(rects[1].BrushColor, chart.ShadowBakColor());

    struct Row {
        TShadowStyle style;
        int f;
        TColor pen;
    } rows[] = {{ssFlying, 4, clGray}, {ssBox, 0, clBlack}};
    for (const Row& r : rows) {
        chart.SetShadowStyle(r.style);
        const auto polys = FrameCalls(chart, "Polygon");
        ASSERT_EQ(polys.size(), 2u);
        EXPECT_EQ(polys[0].Points, (std::vector<TPoint>{{r.f, 195}, {4, 199}, {299, 199}, {295, 195}}));
        EXPECT_EQ(polys[1].Points, (std::vector<TPoint>{{295, 195}, {299, 199}, {299, 4}, {295, r.f}}));
        EXPECT_EQ(polys[0].PenColor, r.pen);
        EXPECT_EQ(polys[0].BrushColor, clGray);
        const auto lines = FrameCalls(chart, "LineTo");
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines[1].Args, (std::vector<int>{295, 195}));
        EXPECT_EQ(lines[1].PenColor, clBlack);
    }
}

TEST(PaintFrame, CaptionAnchorsAndAlignment)
{
    using namespace kurvo;
    TKurvo chart;
    chart.SetBounds(0, 0, 300, 200);  // margins 50/20/20/40: data area 230 x 140
    chart.SetShadowWidth(3);
    chart.SetCaption("abcd");  // 24 pixels wide on the recording canvas
    chart.SetCaptionPosX(1);
    chart.SetCaptionPosY(2);
    struct Row {
        TCaptionAnchorHoriz h;
        TCaptionAnchorVert v;
        TAlignment align;
        int x, y;
    } rows[] = {
        {cahControlLeft, cavControlTop, taLeftJustify, 1, 2},
        {cahChartLeft, cavChartTop, taLeftJustify, 51, 22},
        {cahChartCenter, cavChartCenter, taCenter, 1 + 50 + 227 / 2 - 12, 2 + 20 + 137 / 2},
        {cahChartRight, cavChartBottom, taRightJustify, 1 + 277 - 24, 2 + 160},
        {cahControlRight, cavControlBottom, taRightJustify, 1 + 300 - 24, 2 + 200},
    };
    for (const Row& r : rows) {
        chart.SetCaptionAnchorHoriz(r.h);
        chart.SetCaptionAnchorVert(r.v);
        chart.SetCaptionAlignment(r.align);
        const auto texts = FrameCalls(chart, "TextOut");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].Args, (std::vector<int>{r.x, r.y})) << r.h << " " << r.v;
        EXPECT_EQ(texts[0].BrushStyle, bsClear);
    }
}

TEST(PaintFrame, CaptionTrimShortensByCharacters)
{
    using namespace kurvo;
    TKurvo chart;
    chart.SetBounds(0, 0, 300, 200);  // data area 230 wide
    // Kept characters: round(100 * trim% * 230 / 600) - 2, or all of them.
    struct Row {
        std::string unit;
        int trim;
        int kept;
    } rows[] = {
        {"x", 100, 36},
        {"x", 0, -1},
        {"x", 50, 17},
        {"\xC3\xA9", 50, 17},  // a two-byte character counts once
    };
    for (const Row& r : rows) {
        std::string caption;
        for (int i = 0; i < 100; ++i) caption += r.unit;
        chart.SetCaption(caption);
        chart.SetCaptionTrim(r.trim);
        const auto texts = FrameCalls(chart, "TextOut");
        ASSERT_EQ(texts.size(), 1u);
        std::string want;
        for (int i = 0; i < (r.kept < 0 ? 100 : r.kept); ++i) want += r.unit;
        if (r.kept >= 0) want += "...";
        EXPECT_EQ(texts[0].Text, want) << r.trim;
    }
}

// A chart on a screen of device pixel ratio 2 composes its bitmaps and its
// window surface at that ratio: the picture reaches the window one to one,
// the one-pixel frame is two sharp device pixels wide, and the geometry the
// API reports stays in logical pixels.
TEST(PaintPipeline, PaintsAtTheWindowsDevicePixelRatio)
{
    kurvo::TKurvo chart;
    chart.SetDevicePixelRatio(2.0);
    chart.HandleNeeded();  // the window exists: painting starts
    const QImage window = chart.WindowImage();
    ASSERT_EQ(window.size(), QSize(2 * chart.Width(), 2 * chart.Height()));
    EXPECT_EQ(TCustomKurvoPrivate::Get(chart).ControlBitmap().Image().size(), window.size());
    EXPECT_EQ(TCustomKurvoPrivate::Get(chart).DataBitmap().DevicePixelRatio(), 2.0);
    const int x = 2 * chart.MarginLeft();
    const int y = 2 * (chart.MarginTop() + 10);
    EXPECT_EQ(window.pixel(x - 1, y) & 0xFFFFFFu, 0xC0C0C0u);
    EXPECT_EQ(window.pixel(x, y) & 0xFFFFFFu, 0u);
    EXPECT_EQ(window.pixel(x + 1, y) & 0xFFFFFFu, 0u);
    EXPECT_EQ(window.pixel(x + 2, y) & 0xFFFFFFu, 0xFFFFFFu);
    int px = 0;
    int py = 0;
    chart.WorldToPixel(1, chart.Scale1X()->RangeLow(), chart.Scale1Y()->RangeLow(), px, py);
    EXPECT_EQ(px, chart.MarginLeft());
}
