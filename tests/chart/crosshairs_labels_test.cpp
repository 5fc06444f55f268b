// Crosshairs and text labels: drawing and dragging.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include "canvas/recording_canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kurvo;

namespace {

void Geometry(TKurvo& chart)
{
    chart.SetMarginLeft(80);
    chart.SetMarginRight(16);
    chart.SetMarginTop(20);
    chart.SetMarginBottom(40);
    chart.SetBounds(0, 0, 473, 421);
    chart.Scale1X()->SetRangeLow(0);
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1Y()->SetRangeLow(-5);
    chart.Scale1Y()->SetRangeHigh(5);
}

// Puts crosshair i at pixel row/column (px, py) of layer 1.
void PlaceAt(TKurvo& chart, int i, int px, int py)
{
    double wx, wy;
    chart.PixelToWorld(1, px, py, wx, wy);
    TCrossHair& c = *chart.CrossHair(i);
    c.SetLayer(1);
    c.SetPosX(wx);
    c.SetPosY(wy);
}

}  // namespace

TEST(CrossHairs, HorizontalLineNeedsRoomForItsWidth)
{
    TKurvo chart;
    Geometry(chart);
    TCrossHair& c = *chart.CrossHair1();
    c.SetMode(chHoriz);
    c.SetLineWid(3);
    c.SetColor(clRed);
    c.SetLineType(psSolid);

    PlaceAt(chart, 1, 200, 21);  // MarginTop + 1: touches the frame, not drawn
    TBitmap bitmap(473, 421);
    bitmap.Canvas().Brush().SetColor(clWhite);
    bitmap.Canvas().Rectangle(0, 0, 473, 421);
    TCustomKurvoPrivate::Get(chart).DrawCrossHairs(0, 0, bitmap);
    EXPECT_EQ(bitmap.Pixel(200, 21), clWhite);

    PlaceAt(chart, 1, 200, 22);
    TCustomKurvoPrivate::Get(chart).DrawCrossHairs(0, 0, bitmap);
    EXPECT_EQ(bitmap.Pixel(82, 22), clRed);   // from MarginLeft + hw + 1
    EXPECT_EQ(bitmap.Pixel(455, 22), clRed);
    // Within the data area; the 3-pixel pen's round ends may add a pixel.
    EXPECT_EQ(bitmap.Pixel(459, 22), clWhite);
    EXPECT_EQ(bitmap.Pixel(78, 22), clWhite);
}

TEST(CrossHairs, ModesAndOrder)
{
    TKurvo chart;
    Geometry(chart);
    TCrossHair& c1 = *chart.CrossHair1();
    TCrossHair& c2 = *chart.CrossHair2();
    for (TCrossHair* c : {&c1, &c2}) {
        c->SetLineType(psSolid);
        c->SetLineWid(1);
    }
    c1.SetColor(clRed);
    c2.SetColor(clBlue);
    c1.SetMode(chBoth);
    c2.SetMode(chBoth);
    PlaceAt(chart, 1, 200, 200);
    PlaceAt(chart, 2, 200, 200);
    TBitmap bitmap(473, 421);
    TCustomKurvoPrivate::Get(chart).DrawCrossHairs(0, 0, bitmap);
    EXPECT_EQ(bitmap.Pixel(300, 200), clRed);  // crosshair 1 is drawn last
    EXPECT_EQ(bitmap.Pixel(200, 300), clRed);

    // Left of the data area only the horizontal line is drawn.
    c2.SetMode(chOff);
    PlaceAt(chart, 1, 40, 150);
    TBitmap second(473, 421);
    second.Canvas().Brush().SetColor(clWhite);
    second.Canvas().Rectangle(0, 0, 473, 421);
    TCustomKurvoPrivate::Get(chart).DrawCrossHairs(0, 0, second);
    EXPECT_EQ(second.Pixel(300, 150), clRed);
    EXPECT_EQ(second.Pixel(40, 300), clWhite);

    // All off: nothing at all, the canvas state untouched.
    c1.SetMode(chOff);
    second.Canvas().Pen().SetColor(clLime);
    TCustomKurvoPrivate::Get(chart).DrawCrossHairs(0, 0, second);
    EXPECT_EQ(second.Canvas().Pen().Color(), clLime);
}

TEST(CrossHairs, DragSelectsTheNearestLineAndAsksFirst)
{
    TKurvo chart;
    Geometry(chart);
    chart.HandleNeeded();
    chart.SetMouseAction(maDragCrossH);
    TCrossHair& c1 = *chart.CrossHair1();
    TCrossHair& c2 = *chart.CrossHair2();
    c1.SetMode(chVert);
    c2.SetMode(chVert);
    PlaceAt(chart, 1, 200, 200);
    PlaceAt(chart, 2, 245, 200);

    std::vector<std::string> events;
    int refusals = 1;
    chart.OnBeforeCrossHairMove = [&](TObject*, TCrossHair* which, int dx, int, bool& allow) {
        events.push_back(which == &c2 ? "before 2 dx " + std::to_string(dx) : "before other");
        if (refusals > 0) {
            --refusals;
            allow = false;
        }
    };
    chart.OnCrossHairMove = [&](TObject*, TCrossHair* which) { events.push_back(which == &c2 ? "move 2" : "move"); };

    const TShiftState left{ssLeft};
    chart.WMMouseMove(left, 240, 210);  // 5 left of the second, 40 right of the first
    chart.WMMouseMove(left, 240, 210);  // refused once: asked again
    chart.WMMouseMove(left, 300, 150);  // moves
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], "before 2 dx -5");
    EXPECT_EQ(events[1], "before 2 dx -5");
    EXPECT_EQ(events[2], "move 2");
    int px, py;
    chart.WorldToPixel(1, c2.PosX(), c2.PosY(), px, py);
    EXPECT_EQ(px, 300);
    EXPECT_EQ(py, 150);
}

TEST(TextLabels, AlignmentAndModes)
{
    TKurvo chart;
    Geometry(chart);
    TTextLabel& l = *chart.TextLabel(1);
    l.SetAttachToData(tlamNone);
    l.SetPosX(200);
    l.SetPosY(100);
    l.SetCaption("long line\nshort");
    l.SetAlignment(taRightJustify);
    l.SetVerticalAlignment(vaTop);
    l.SetMode(tlBox);
    l.SetVisible(true);
    TRecordingCanvas canvas;
    TCustomKurvoPrivate::Get(chart).DrawTextLabels(canvas);
    const auto texts = canvas.CallsOf("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    const int w0 = 6 * 9, w1 = 6 * 5, th = 13;
    // Both lines end at the block's right edge; vaTop puts the block below the anchor.
    EXPECT_EQ(texts[0].Args[0] + w0, 200 - 80);
    EXPECT_EQ(texts[1].Args[0] + w1, 200 - 80);
    EXPECT_EQ(texts[0].Args[1], 100 - 20);
    EXPECT_EQ(texts[1].Args[1], 100 - 20 + th);
    const auto boxes = canvas.CallsOf("Rectangle");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Args, (std::vector<int>{200 - w0 - 4 - 80, 100 - 2 - 20, 200 + 4 - 80, 100 + 2 * th + 2 - 20}));

    // Shadow mode fills both boxes even when transparent.
    l.SetMode(tlShadow);
    l.SetTransparent(true);
    l.SetCaption("x");
    l.SetVerticalAlignment(vaBottom);
    canvas.Clear();
    TCustomKurvoPrivate::Get(chart).DrawTextLabels(canvas);
    const auto shadow = canvas.CallsOf("Rectangle");
    ASSERT_EQ(shadow.size(), 2u);
    EXPECT_EQ(shadow[0].BrushStyle, bsSolid);
    EXPECT_EQ(shadow[1].BrushStyle, bsSolid);
    EXPECT_EQ(shadow[0].Args[0] - shadow[1].Args[0], 3);
    EXPECT_EQ(canvas.CallsOf("TextOut")[0].Args[1], 100 - 13 - 20);

    // Invisible or off labels are not drawn.
    l.SetVisible(false);
    canvas.Clear();
    TCustomKurvoPrivate::Get(chart).DrawTextLabels(canvas);
    EXPECT_TRUE(canvas.CallsOf("TextOut").empty());
}

TEST(TextLabels, CaptionAndLayerRules)
{
    TTextLabel l;
    l.SetCaption(std::string("a\tb\nc\x01"));
    EXPECT_EQ(l.Caption(), "a b\nc ");
    l.SetLayer(17);
    EXPECT_EQ(l.Layer(), 1);
    TCrossHair c;
    c.SetLayer(0);
    EXPECT_EQ(c.Layer(), 1);
    c.SetLayer(40);
    EXPECT_EQ(c.Layer(), 16);
}

TEST(TextLabels, DragMovesTheNearestLabelAnywhere)
{
    TKurvo chart;
    Geometry(chart);
    chart.HandleNeeded();
    chart.SetMouseAction(maDragLabel);
    for (int k : {3, 4}) {
        TTextLabel& l = *chart.TextLabel(k);
        l.SetAttachToData(tlamNone);
        l.SetMode(tlsimple);
        l.SetVisible(true);
        l.SetCaption("label");
        l.SetPosY(100);
    }
    chart.TextLabel(3)->SetPosX(100);
    chart.TextLabel(4)->SetPosX(200);
    TTextLabel* moved = nullptr;
    chart.OnTextLabelMove = [&](TObject*, TTextLabel* which) { moved = which; };
    const TShiftState left{ssLeft};
    chart.WMMouseMove(left, 190, 110);
    chart.WMMouseMove(left, 300, 40);
    EXPECT_EQ(moved, chart.TextLabel(4));
    EXPECT_EQ(chart.TextLabel(4)->PosX(), 300.0);
    EXPECT_EQ(chart.TextLabel(4)->PosY(), 40.0);
    chart.WMMouseMove(left, 5, 5);  // outside the data area too
    EXPECT_EQ(chart.TextLabel(4)->PosX(), 5.0);
}

TEST(TextLabels, ALabelFarOutsideTheViewIsNotTheNearest)
{
    // Label 3 is anchored to a world point far above and left of the view,
    // whose pixel is clamped to (-2147483647, -2147483647); its squared
    // distance to the pointer exceeds the 64-bit range.
    TKurvo chart;
    Geometry(chart);
    chart.HandleNeeded();
    chart.SetMouseAction(maDragLabel);
    for (int k : {3, 4}) {
        TTextLabel& l = *chart.TextLabel(k);
        l.SetMode(tlsimple);
        l.SetVisible(true);
        l.SetCaption("label");
    }
    chart.TextLabel(3)->SetAttachToData(tlamBoth);
    chart.TextLabel(3)->SetPosX(-1e20);
    chart.TextLabel(3)->SetPosY(1e20);
    chart.TextLabel(4)->SetAttachToData(tlamNone);
    chart.TextLabel(4)->SetPosX(200);
    chart.TextLabel(4)->SetPosY(100);
    TTextLabel* moved = nullptr;
    chart.OnTextLabelMove = [&](TObject*, TTextLabel* which) { moved = which; };
    const TShiftState left{ssLeft};
    chart.WMMouseMove(left, 190, 110);
    chart.WMMouseMove(left, 300, 40);
    EXPECT_EQ(moved, chart.TextLabel(4));
    EXPECT_EQ(chart.TextLabel(3)->PosX(), -1e20);
}
