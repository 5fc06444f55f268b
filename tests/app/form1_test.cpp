// The demo window: its design values, the order of its components, the
// hexadecimal tick labels, the overlay handler's calls and what showing,
// the Exit button and the check box do.
#include "app/form1.h"

#include "canvas/recording_canvas.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

struct THexRow {
    std::uint32_t Value;
    int Digits;
    const char* Expected;
};

// Shows the form and lets its events run.
void ShowAndSettle(TForm1& form)
{
    form.show();
    QApplication::processEvents();
}

}  // namespace

TEST(DemoHexDigits, GivesExactlyTheClampedNumberOfDigits)
{
    const THexRow rows[] = {
        {static_cast<std::uint32_t>(-5), 4, "FFFB"},  // two's complement
        {0, 4, "0000"},
        {4096, 4, "1000"},
        {65536, 4, "0000"},                 // only the low digits
        {0xDEADBEEF, 8, "DEADBEEF"},
        {0xDEADBEEF, 1, "F"},
        {0xABC, 0, "C"},                    // clamped up to 1
        {0x12345678, 16, "0000000012345678"},  // digits above bit 31 are 0
        {0x12345678, 20, "0000000012345678"},  // clamped down to 16
        {0xFFFFFFFF, 255, "00000000FFFFFFFF"},
    };
    for (const THexRow& row : rows) {
        EXPECT_EQ(HexDigits(row.Value, static_cast<std::uint8_t>(row.Digits)), row.Expected)
            << "value " << row.Value << ", digits " << row.Digits;
    }
}

TEST(DemoTickHandler, LabelsTheRoundedTickValueBelowAndLeftOfTheTick)
{
    struct TRow {
        double Tick;
        const char* Label;
    };
    const TRow rows[] = {
        {2.5, "($0002)"},  // halves to even
        {3.5, "($0004)"},
        {-2.5, "($FFFE)"},
        {-0.5, "($0000)"},
        {0.0, "($0000)"},
        {-1.0, "($FFFF)"},
        {-5.0, "($FFFB)"},
        {4.4, "($0004)"},
        {4096.0, "($1000)"},
        {65536.0, "($0000)"},
        {4294967297.0, "($0001)"},  // the low 32 bits of the integer
        {-4294967297.0, "($FFFF)"},
        {1099511627776.0 + 0x1234, "($1234)"},
    };
    TForm1 form;
    for (const TRow& row : rows) {
        TRecordingCanvas canvas;
        form.Kurvo1ScaleTickDrawn(form.Kurvo1(), canvas, sctYR, row.Tick, 79, 200);
        const auto texts = canvas.CallsOf("TextOut");
        ASSERT_EQ(texts.size(), 1u) << row.Tick;
        EXPECT_EQ(texts[0].Text, row.Label) << row.Tick;
        // Right edge 8 pixels left of the tick, top half a line below it.
        const int w = TRecordingCanvas::CharWidth * static_cast<int>(texts[0].Text.size());
        EXPECT_EQ(texts[0].Args, (std::vector<int>{79 - w - 8, 200 + TRecordingCanvas::LineHeight / 2})) << row.Tick;
    }
}

TEST(DemoTickHandler, DrawsOnlyForLeftYAxesWhileTheBoxIsChecked)
{
    TForm1 form;
    ASSERT_TRUE(form.CBoxHexYScale()->isChecked());
    struct TRow {
        TScaleType Type;
        bool Checked;
        bool Draws;
    };
    const TRow rows[] = {
        {sctYR, true, true},   {sctYL, true, false}, {sctXT, true, false},
        {sctXB, true, false},  {sctYR, false, false}, {sctYL, false, false},
    };
    for (const TRow& row : rows) {
        form.CBoxHexYScale()->setChecked(row.Checked);
        TRecordingCanvas canvas;
        form.Kurvo1ScaleTickDrawn(form.Kurvo1(), canvas, row.Type, 2.0, 79, 100);
        EXPECT_EQ(canvas.Calls().empty(), !row.Draws) << "type " << int(row.Type) << ", checked " << row.Checked;
    }
}

TEST(DemoTickHandler, IgnoresTicksThatAreNotFinite)
{
    TForm1 form;
    for (double tick : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity()}) {
        TRecordingCanvas canvas;
        form.Kurvo1ScaleTickDrawn(form.Kurvo1(), canvas, sctYR, tick, 79, 100);
        EXPECT_TRUE(canvas.CallsOf("TextOut").empty()) << tick;
    }
}

TEST(DemoDataRendered, DrawsTheTextsAndTheFrameWithTheirColours)
{
    TForm1 form;
    TKurvo& chart = *form.Kurvo1();
    TRecordingCanvas canvas;
    const int top = chart.MarginTop();
    const int left = chart.MarginLeft();
    form.Kurvo1DataRendered(&chart, canvas, top, left);

    int x;
    int y;
    chart.WorldToPixel(1, 20.0, -1.3, x, y);
    const std::vector<std::string> ops = {"TextOut", "MoveTo", "LineTo", "LineTo", "LineTo", "LineTo", "TextOut"};
    ASSERT_EQ(canvas.Ops(), ops);
    const auto& calls = canvas.Calls();
    EXPECT_EQ(calls[0].Text, "text position: absolute");
    EXPECT_EQ(calls[0].Args, (std::vector<int>{100, 100}));
    EXPECT_EQ(calls[0].FontColor, 0xFF0000);
    const std::vector<std::vector<int>> frame = {{93, 95}, {260, 95}, {260, 120}, {93, 120}, {93, 95}};
    for (std::size_t i = 0; i < frame.size(); ++i) {
        EXPECT_EQ(calls[1 + i].Args, frame[i]) << i;
        EXPECT_EQ(calls[1 + i].PenColor, 0x00FF00) << i;
        EXPECT_EQ(calls[1 + i].PenWidth, 5) << i;
    }
    EXPECT_EQ(calls[6].Text, "text position: relative to the data");
    EXPECT_EQ(calls[6].Args, (std::vector<int>{x - left, y - top}));
    EXPECT_EQ(calls[6].FontColor, 0x0000FF);
    // Left behind: red font, green pen of width 1.
    EXPECT_EQ(canvas.Font().Color(), 0x0000FF);
    EXPECT_EQ(canvas.Pen().Color(), 0x00FF00);
    EXPECT_EQ(canvas.Pen().Width(), 1);
}

TEST(DemoDataRendered, RelativeTextFollowsThePannedData)
{
    TForm1 form;
    TKurvo& chart = *form.Kurvo1();
    auto relativeText = [&] {
        TRecordingCanvas canvas;
        form.Kurvo1DataRendered(&chart, canvas, chart.MarginTop(), chart.MarginLeft());
        return canvas.CallsOf("TextOut");
    };
    const auto before = relativeText();
    chart.SetLayerRanges(1, false, 10.0, -6.0, 110.0, 4.0, false);  // the data moves left and up
    const auto after = relativeText();
    ASSERT_EQ(before.size(), 2u);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].Args, before[0].Args);  // the absolute text stays
    EXPECT_LT(after[1].Args[0], before[1].Args[0]);
    EXPECT_LT(after[1].Args[1], before[1].Args[1]);
}

TEST(DemoWindow, ComponentsInTheirOrderWithTheirDesignValues)
{
    TForm1 form;
    EXPECT_EQ(Form1, &form);
    EXPECT_EQ(form.windowTitle().toStdString(), "Kurvo - User Defined Extensions");
    EXPECT_EQ(form.width(), 473);
    EXPECT_EQ(form.height(), 462);

    // Creation order: the chart, then the panel; the button, then the box.
    const QObjectList children = form.children();
    ASSERT_GE(children.size(), 2);
    EXPECT_EQ(children[0], form.Kurvo1());
    EXPECT_EQ(children[1], form.Panel1());
    const QObjectList inPanel = form.Panel1()->children();
    ASSERT_EQ(inPanel.size(), 2);
    EXPECT_EQ(inPanel[0], form.ButExit());
    EXPECT_EQ(inPanel[1], form.CBoxHexYScale());

    EXPECT_EQ(form.Panel1()->geometry(), QRect(0, 0, 473, 41));
    EXPECT_EQ(form.ButExit()->geometry(), QRect(8, 8, 75, 25));
    EXPECT_EQ(form.ButExit()->text().toStdString(), "Exit");
    EXPECT_EQ(form.CBoxHexYScale()->geometry(), QRect(104, 12, 161, 17));
    EXPECT_EQ(form.CBoxHexYScale()->text().toStdString(), "Hexadecimal Y Scale");
    EXPECT_TRUE(form.CBoxHexYScale()->isChecked());

    const TKurvo& chart = *form.Kurvo1();
    EXPECT_EQ(chart.Left(), 0);
    EXPECT_EQ(chart.Top(), 41);
    EXPECT_EQ(chart.Width(), 473);
    EXPECT_EQ(chart.Height(), 421);
    EXPECT_FALSE(chart.IsLoading());
}

TEST(DemoWindow, ColourAndFontOfTheWindow)
{
    TForm1 form;
    const auto face = static_cast<std::uint32_t>(ColorToRGB(clBtnFace));
    const QColor window = form.palette().color(QPalette::Window);
    EXPECT_EQ(window.red(), static_cast<int>(face & 0xFF));
    EXPECT_EQ(window.green(), static_cast<int>((face >> 8) & 0xFF));
    EXPECT_EQ(window.blue(), static_cast<int>((face >> 16) & 0xFF));
    EXPECT_EQ(form.font().pixelSize(), 13);
    EXPECT_EQ(form.font().family().toStdString(), "MS Sans Serif");
    // The chart uses the window's font for its caption.
    EXPECT_EQ(form.Kurvo1()->Font().Height(), -13);
}

TEST(DemoWindow, StoredChartValuesLandInTheChart)
{
    TForm1 form;
    TKurvo& k = *form.Kurvo1();
    EXPECT_EQ(k.AllocSize(), 1000);
    EXPECT_TRUE(k.AutoRedraw());
    EXPECT_EQ(k.MarginLeft(), 80);
    EXPECT_EQ(k.MarginRight(), 16);
    EXPECT_EQ(k.MarginTop(), 20);
    EXPECT_EQ(k.MarginBottom(), 40);
    EXPECT_EQ(k.ShadowWidth(), 0);
    EXPECT_EQ(k.Caption(), "pan the chart by dragging it with the left mouse button");
    EXPECT_EQ(k.CaptionPosX(), 0);
    EXPECT_EQ(k.CaptionPosY(), -16);
    EXPECT_EQ(k.CaptionAlignment(), taRightJustify);
    EXPECT_EQ(k.CaptionAnchorHoriz(), cahChartRight);
    EXPECT_EQ(k.CaptionAnchorVert(), cavChartTop);
    EXPECT_EQ(k.MouseAction(), maPan);
    EXPECT_TRUE(k.MouseCursorFixed());
    EXPECT_EQ(k.GridStyle(), gsNone);
    EXPECT_FALSE(k.Isometric());
    EXPECT_EQ(k.ClassDefault(), 0);
    EXPECT_EQ(k.ShadowStyle(), ssFlying);
    EXPECT_EQ(k.ShadowColor(), clGrayText);
    EXPECT_EQ(k.ShadowBakColor(), clBtnFace);
    EXPECT_EQ(k.TextBkStyle(), tbClear);
    EXPECT_EQ(k.FillColor(), clWhite);  // stored as TextBkColor
    EXPECT_EQ(k.TextAlignment(), taCenter);
    EXPECT_TRUE(k.TextFontStyle().Empty());
    EXPECT_TRUE(static_cast<bool>(k.OnScaleTickDrawn));
    EXPECT_TRUE(static_cast<bool>(k.OnDataRendered));

    for (int n = 1; n <= CrossHairCount; ++n) {
        const TCrossHair& ch = *k.CrossHair(n);
        EXPECT_EQ(ch.Color(), clBlack) << n;
        EXPECT_EQ(ch.Layer(), n) << n;
        EXPECT_EQ(ch.Mode(), chOff) << n;
        EXPECT_EQ(ch.LineType(), psSolid) << n;
        EXPECT_EQ(ch.LineWid(), 1) << n;
    }

    const TBakGndImg& image = *k.BackGroundImg();
    EXPECT_TRUE(image.Name().empty());
    EXPECT_EQ(image.FillMode(), bfStretch);
    EXPECT_EQ(image.AreaMode(), bamNone);
    EXPECT_EQ(image.AreaColor(), 0xDDDDDD);
    EXPECT_EQ(image.AreaLeft(), -1.0);
    EXPECT_EQ(image.AreaTop(), 1.0);

    for (int n = 1; n <= 2; ++n) {
        EXPECT_EQ(k.JointLayers()->XControlledBy(n), n);
        EXPECT_EQ(k.JointLayers()->YControlledBy(n), n);
    }
}

TEST(DemoWindow, StoredAxisValuesLandInTheAxisObjectsAndControls)
{
    TForm1 form;
    TKurvo& k = *form.Kurvo1();
    struct TAxisRow {
        const char* Name;
        const TScaleProps* Props;
        double Low;
        double High;
        bool Visible;
        TScaleType Type;
        bool ShortTicks;
        TColor Color;
        int CaptionPosX;
        int CaptionPosY;
        TAlignment Alignment;
        TScaleUnitAnchor Anchor;
    };
    const TAxisRow rows[] = {
        {"Scale1X", k.Scale1X(), 0.0, 100.0, true, sctXT, true, clBlack, 0, 22, taCenter, uaSclCenter},
        {"Scale1Y", k.Scale1Y(), -5.0, 5.0, true, sctYR, false, clBlack, 0, -16, taLeftJustify, uaSclTopLft},
        {"Scale2X", k.Scale2X(), 0.0, 1.0, false, sctXT, true, clMaroon, 10, 100, taCenter, uaSclCenter},
        {"Scale2Y", k.Scale2Y(), 0.0, 1.0, false, sctYR, true, clMaroon, 10, 100, taRightJustify, uaSclTopLft},
    };
    for (const TAxisRow& r : rows) {
        const TScaleProps& p = *r.Props;
        EXPECT_EQ(p.RangeLow(), r.Low) << r.Name;
        EXPECT_EQ(p.RangeHigh(), r.High) << r.Name;
        EXPECT_EQ(p.MinRange(), 1e-10) << r.Name;
        EXPECT_EQ(p.Visible(), r.Visible) << r.Name;
        EXPECT_EQ(p.ScaleType(), r.Type) << r.Name;
        EXPECT_EQ(p.ScalePos(), 0) << r.Name;
        EXPECT_EQ(p.ShortTicks(), r.ShortTicks) << r.Name;
        EXPECT_EQ(p.LabelType(), ftNum) << r.Name;
        EXPECT_FALSE(p.Logarithmic()) << r.Name;
        EXPECT_EQ(p.DecPlaces(), -2) << r.Name;
        EXPECT_EQ(p.MinTicks(), 3) << r.Name;
        EXPECT_EQ(p.ColorScale(), r.Color) << r.Name;
        EXPECT_EQ(p.CaptionPosX(), r.CaptionPosX) << r.Name;
        EXPECT_EQ(p.CaptionPosY(), r.CaptionPosY) << r.Name;
        EXPECT_EQ(p.CaptionAlignment(), r.Alignment) << r.Name;
        EXPECT_EQ(p.CaptionAnchor(), r.Anchor) << r.Name;
        EXPECT_EQ(p.Font().Name(), "MS Sans Serif") << r.Name;
        EXPECT_EQ(p.Font().Height(), -13) << r.Name;
        EXPECT_EQ(p.Font().Color(), clWindowText) << r.Name;
        EXPECT_FALSE(p.LoadingFlag()) << r.Name;  // cleared by Loaded
        const TDTLabel& d = *p.DateFormat();
        EXPECT_EQ(d.TimeFormat(), tfHHMMSS) << r.Name;
        EXPECT_EQ(d.DateSeparator(), '-') << r.Name;
        EXPECT_EQ(d.TimeSeparator(), ':') << r.Name;
        EXPECT_EQ(d.YearLength(), ylYYYY) << r.Name;
        EXPECT_TRUE(d.MonthName()) << r.Name;
        EXPECT_EQ(d.DateOrder(), doDDMMYY) << r.Name;
        EXPECT_EQ(d.DateForTime(), dtOnePerDay) << r.Name;
    }
    // The layer-1 controls carry the ranges, and the left Y axis line lies on
    // the data area's left edge.
    EXPECT_EQ(k.AxisX(1)->RangeHigh(), 100.0);
    EXPECT_EQ(k.AxisY(1)->RangeLow(), -5.0);
    EXPECT_EQ(k.AxisY(1)->RangeHigh(), 5.0);
    EXPECT_EQ(k.AxisY(1)->MarginRight(), k.Width() - k.MarginLeft() - 1);

    // The layer transform maps the ranges onto the data area 80 ... 457 x 20 ... 381.
    int x;
    int y;
    k.WorldToPixel(1, 0.0, 5.0, x, y);
    EXPECT_EQ(x, 80);
    EXPECT_EQ(y, 20);
    k.WorldToPixel(1, 100.0, -5.0, x, y);
    EXPECT_EQ(x, 457);
    EXPECT_EQ(y, 381);
}

TEST(DemoWindow, ChartFillsTheClientAreaBelowThePanel)
{
    TForm1 form;
    ShowAndSettle(form);
    struct TRow {
        int Width;
        int Height;
    };
    const TRow rows[] = {{600, 500}, {473, 462}, {300, 200}};
    for (const TRow& r : rows) {
        form.resize(r.Width, r.Height);
        QApplication::processEvents();
        const TKurvo& k = *form.Kurvo1();
        EXPECT_EQ(form.Panel1()->geometry(), QRect(0, 0, r.Width, 41)) << r.Width;
        EXPECT_EQ(k.Left(), 0) << r.Width;
        EXPECT_EQ(k.Top(), 41) << r.Width;
        EXPECT_EQ(k.Width(), r.Width) << r.Width;
        EXPECT_EQ(k.Height(), r.Height - 41) << r.Width;
        EXPECT_EQ(form.Kurvo1()->geometry(), QRect(0, 41, r.Width, r.Height - 41)) << r.Width;
        // The data area follows: its bottom-right corner is the world point (100, -5).
        int x;
        int y;
        form.Kurvo1()->WorldToPixel(1, 100.0, -5.0, x, y);
        EXPECT_EQ(x, r.Width - 16) << r.Width;
        EXPECT_EQ(y, r.Height - 41 - 40) << r.Width;
    }
}

TEST(DemoWindow, EachShowAppendsTheCurve)
{
    TForm1 form;
    TKurvo& k = *form.Kurvo1();
    const int before = k.DataCount();
    ShowAndSettle(form);
    ASSERT_EQ(k.DataCount(), before + 101);
    const TkvChartItem& start = k.DataItem(before);
    EXPECT_EQ(start.Kind, ikMoveTo);
    EXPECT_EQ(start.X, 0.0);
    EXPECT_EQ(start.Y, 0.0);
    for (int i = 1; i <= 100; ++i) {
        const TkvChartItem& item = k.DataItem(before + i);
        EXPECT_EQ(item.Kind, ikLineTo) << i;
        EXPECT_EQ(item.Layer, 1) << i;
        EXPECT_EQ(item.X, i) << i;
        // Near the double computation, which carries the error of 0.2 in
        // double; equal to the extended one rounded once.
        EXPECT_NEAR(item.Y, std::sin(0.2 * i), 1e-13) << i;
        EXPECT_EQ(item.Y, static_cast<double>(std::sin(0.2L * i))) << i;
    }
    EXPECT_NEAR(k.DataItem(before + 100).Y, std::sin(20.0), 1e-14);

    form.hide();
    QApplication::processEvents();
    EXPECT_EQ(k.DataCount(), before + 101);  // hiding adds nothing
    ShowAndSettle(form);
    EXPECT_EQ(k.DataCount(), before + 202);
    EXPECT_EQ(k.DataItem(before + 101).Kind, ikMoveTo);
}

TEST(DemoWindow, ExitClosesTheWindow)
{
    TForm1 form;
    ShowAndSettle(form);
    ASSERT_TRUE(form.isVisible());
    form.ButExit()->click();
    QApplication::processEvents();
    EXPECT_FALSE(form.isVisible());
}

TEST(DemoWindow, LaterFormIsTheGlobalWindowUntilDestroyed)
{
    auto* first = new TForm1;
    EXPECT_EQ(Form1, first);
    delete first;
    EXPECT_EQ(Form1, nullptr);
}
