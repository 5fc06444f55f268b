// Colours, pen, brush and font objects and the recording canvas.
#include "canvas/qt_canvas.h"
#include "canvas/recording_canvas.h"

#include <gtest/gtest.h>

namespace kurvo {
namespace {

TEST(Colors, SystemColoursResolveAndRgbValuesPassThrough)
{
    struct Row {
        TColor In, Out;
    };
    const Row rows[] = {{clRed, 0x0000FF},          {clSilver, 12632256}, {0x123456, 0x123456}, {clBtnFace, 0xC0C0C0},
                        {clWindowText, 0x000000},   {clWindow, 0xFFFFFF}, {clGrayText, 0x808080}, {clInfoBk, 0xE1FFFF},
                        {SystemColor(200), clBlack}};
    for (const Row& row : rows) EXPECT_EQ(ColorToRGB(row.In), row.Out) << std::hex << row.In;
    EXPECT_EQ(clBtnFace, -16777201);
}

TEST(Colors, QtColoursCarryRedInTheLowByte)
{
    for (TColor c : {clRed, clLime, clBlue, TColor{0x123456}, clBtnFace}) {
        const QColor q = ToQColor(c);
        EXPECT_EQ(q.red(), ColorToRGB(c) & 0xFF);
        EXPECT_EQ(q.blue(), (ColorToRGB(c) >> 16) & 0xFF);
        EXPECT_EQ(FromQRgb(q.rgb()), ColorToRGB(c));
    }
}

TEST(PenAndBrush, VersionsMoveOnRealChangesOnly)
{
    TPen pen;
    const unsigned v0 = pen.Version();
    pen.SetColor(clBlack);
    pen.SetWidth(1);
    pen.SetStyle(psSolid);
    EXPECT_EQ(pen.Version(), v0);
    pen.SetWidth(0);
    EXPECT_EQ(pen.Width(), 1);
    EXPECT_EQ(pen.Version(), v0);
    pen.SetMode(pmXor);
    EXPECT_NE(pen.Version(), v0);

    TBrush brush;
    brush.SetStyle(bsClear);
    const unsigned v1 = brush.Version();
    brush.SetColor(brush.Color());  // a colour makes a clear brush solid
    EXPECT_EQ(brush.Style(), bsSolid);
    EXPECT_NE(brush.Version(), v1);
}

TEST(Font, SizeHeightAndPixelsPerInch)
{
    struct Row {
        int Ppi, Points, Height, SizeBack;
    };
    const Row rows[] = {{96, 8, -11, 8}, {96, 10, -13, 10}, {96, 12, -16, 12}, {120, 10, -17, 10}, {600, 12, -100, 12}, {72, 9, -9, 9}};
    for (const Row& row : rows) {
        TFont font;
        font.SetPixelsPerInch(row.Ppi);
        font.SetSize(row.Points);
        EXPECT_EQ(font.Height(), row.Height) << row.Points << " pt at " << row.Ppi;
        EXPECT_EQ(font.Size(), row.SizeBack);
    }
    TFont font;
    EXPECT_EQ(font.Size(), 8);
    EXPECT_EQ(font.Height(), -11);
    font.SetPixelsPerInch(192);  // the height stays, so the size halves
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Size(), 4);
}

TEST(Font, AssignmentCopiesEveryAttributeAndKeepsTheHandler)
{
    int changes = 0;
    TFont target;
    target.OnChange = [&](TFont&) { ++changes; };
    TFont source;
    source.SetName("DejaVu Sans");
    source.SetHeight(-20);
    source.SetColor(clMaroon);
    source.SetStyle({fsBold, fsUnderline});
    source.SetPixelsPerInch(120);
    target = source;
    EXPECT_TRUE(target == source);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(static_cast<bool>(target.OnChange));
    target.SetColor(clMaroon);
    EXPECT_EQ(changes, 1);
    target.SetStyle({fsItalic});
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(target == source);
}

TEST(RecordingCanvas, LogsEveryCallWithTheStateOfThatMoment)
{
    TRecordingCanvas c;
    c.Pen().SetColor(clRed);
    c.MoveTo(1, 2);
    c.LineTo(3, 4);
    c.Brush().SetStyle(bsClear);
    c.Font().SetSize(10);
    c.TextOut(5, 6, "äb");
    const TPoint pts[] = {{0, 0}, {7, 8}};
    c.Polyline(pts, 2);
    c.ResetTextAlign();
    EXPECT_EQ(c.Ops(), (std::vector<std::string>{"MoveTo", "LineTo", "TextOut", "Polyline", "ResetTextAlign"}));
    const auto lines = c.CallsOf("LineTo");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Args, (std::vector<int>{3, 4}));
    EXPECT_EQ(lines[0].PenColor, clRed);
    EXPECT_EQ(lines[0].BrushStyle, bsSolid);
    const auto texts = c.CallsOf("TextOut");
    EXPECT_EQ(texts[0].Text, "äb");
    EXPECT_EQ(texts[0].BrushStyle, bsClear);
    EXPECT_EQ(texts[0].FontSize, 10);
    EXPECT_EQ(c.TextWidth("äb"), 2 * TRecordingCanvas::CharWidth);
    EXPECT_EQ(c.TextHeight(""), TRecordingCanvas::LineHeight);
    EXPECT_EQ(c.PenPos(), (TPoint{7, 8}));
    EXPECT_EQ(c.GetPixel(0, 0), -1);
    EXPECT_FALSE(c.IsPrinterCanvas());
    c.SetPrinter(true);
    EXPECT_TRUE(c.IsPrinterCanvas());
    EXPECT_EQ(CanvasLogPixelsY(c), 600);
    c.Clear();
    EXPECT_TRUE(c.Calls().empty());
}

TEST(DeviceValues, TheScreenCanvasIsNoPrinter)
{
    TBitmap bitmap(2, 2);
    EXPECT_FALSE(bitmap.Canvas().IsPrinterCanvas());
    EXPECT_EQ(CanvasLogPixelsY(bitmap.Canvas()), ScreenLogPixelsY());
    EXPECT_EQ(ScreenLogPixelsY(), 96);
    EXPECT_EQ(ScreenAspectX(), ScreenAspectY());
}

}  // namespace
}  // namespace kurvo
