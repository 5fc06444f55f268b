// Grid walks and the data-area background.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include "canvas/recording_canvas.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace kurvo;

namespace {

// 473 x 421, margins 80/16/20/40: the data area is 377 x 361 pixels.
void Geometry(TKurvo& chart)
{
    chart.SetMarginLeft(80);
    chart.SetMarginRight(16);
    chart.SetMarginTop(20);
    chart.SetMarginBottom(40);
    chart.SetBounds(0, 0, 473, 421);
}

// World X of every vertical grid line drawn on the recording canvas.
std::vector<double> VerticalLines(TKurvo& chart, TRecordingCanvas& canvas)
{
    std::vector<double> xs;
    const auto& calls = canvas.Calls();
    for (std::size_t i = 0; i + 1 < calls.size(); ++i) {
        if (calls[i].Op != "MoveTo" || calls[i + 1].Op != "LineTo") continue;
        if (calls[i].Args[0] != calls[i + 1].Args[0]) continue;  // not vertical
        double wx, wy;
        chart.PixelToWorld(1, calls[i].Args[0] + chart.MarginLeft(), 0, wx, wy);
        xs.push_back(wx);
    }
    return xs;
}

std::vector<double> GridLines(TKurvo& chart, double low, double high, bool log, double dx)
{
    chart.Scale1X()->SetLoadingFlag(false);
    chart.Scale1X()->SetLogarithmic(false);
    chart.Scale1X()->SetRangeLow(low);
    chart.Scale1X()->SetRangeHigh(high);
    chart.Scale1X()->SetLogarithmic(log);
    chart.SetGridStyle(gsVertLines);
    chart.SetGridDx(dx);
    chart.CalcTransforms();
    TRecordingCanvas canvas;
    TCustomKurvoPrivate::Get(chart).DrawGrid(canvas);
    return VerticalLines(chart, canvas);
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, double tolerance)
{
    ASSERT_EQ(got.size(), want.size()) << ::testing::PrintToString(got);
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], tolerance * want[i] + tolerance);
}

}  // namespace

TEST(Grid, FixedSpacingStopsBeforeTheUpperBound)
{
    TKurvo chart;
    Geometry(chart);
    ExpectNear(GridLines(chart, 10, 100, false, 25), {25, 50, 75}, 0.3);
    ExpectNear(GridLines(chart, 0, 10, false, -2), {0, 2, 4, 6, 8}, 0.03);  // |value| on a linear axis
    chart.SetGridDx(-20);  // below -3: ignored
    EXPECT_EQ(chart.GridDx(), -2.0);
}

TEST(Grid, LogarithmicSequences)
{
    TKurvo chart;
    Geometry(chart);
    ExpectNear(GridLines(chart, 1, 1000, true, -1), {1, 10, 100}, 0.02);
    ExpectNear(GridLines(chart, 1, 1000, true, -2), {2, 5, 10, 20, 50, 100, 200, 500}, 0.02);
    std::vector<double> every;
    for (double decade : {1.0, 10.0, 100.0})
        for (int m = 1; m <= 9; ++m) every.push_back(m * decade);
    ExpectNear(GridLines(chart, 1, 1000, true, -3), every, 0.02);
}

TEST(Grid, TinySpacingIsBounded)
{
    TKurvo chart;
    Geometry(chart);
    EXPECT_EQ(GridLines(chart, 0, 100, false, 1e-9).size(), 1000u);
    EXPECT_EQ(GridLines(chart, 1e18, 1e18 + 1000, false, 1e-3).size(), 1u);  // no progress: one line
    chart.SetGridStyle(gsPoints);
    TRecordingCanvas canvas;
    TCustomKurvoPrivate::Get(chart).DrawGrid(canvas);
    EXPECT_LE(canvas.CallsOf("SetPixel").size(), 1000u);
}

TEST(Grid, TickPositionsOfTheAxis)
{
    TKurvo chart;
    Geometry(chart);
    chart.HandleNeeded();
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1X()->SetShortTicks(false);  // long ticks only in the tick list
    chart.SetGridStyle(gsVertLines);
    chart.SetGridDx(0);
    chart.Paint();  // fills the axis's tick list
    if (chart.AxisX(1)->NumTicks() == 0) GTEST_SKIP() << "axis ticks are not painted yet";
    TRecordingCanvas canvas;
    TCustomKurvoPrivate::Get(chart).DrawGrid(canvas);
    ExpectNear(VerticalLines(chart, canvas), {0, 20, 40, 60, 80}, 0.3);
}

TEST(Background, AreaModesColourTheirRegion)
{
    TKurvo chart;
    Geometry(chart);
    chart.Scale1Y()->SetRangeLow(-5);
    chart.Scale1Y()->SetRangeHigh(5);
    chart.Scale1X()->SetRangeLow(-10);
    chart.Scale1X()->SetRangeHigh(10);
    TBakGndImg& img = *chart.BackGroundImg();
    img.SetAreaColor(0x123456);
    img.SetAreaMode(bamHStripe);
    TBitmap bitmap(378, 362);
    chart.DrawBackground(bitmap.Canvas(), 0, 0, 378, 362);
    int y1, y2, x, unused;
    chart.WorldToPixel(1, 0, 1, x, y1);
    chart.WorldToPixel(1, 0, -1, unused, y2);
    y1 -= 20;
    y2 -= 20;
    EXPECT_EQ(bitmap.Pixel(5, (y1 + y2) / 2), 0x123456);
    EXPECT_EQ(bitmap.Pixel(370, (y1 + y2) / 2), 0x123456);
    EXPECT_EQ(bitmap.Pixel(100, y1 - 3), clWhite);
    EXPECT_EQ(bitmap.Pixel(100, y2 + 3), clWhite);

    img.SetAreaMode(bamRectInv);
    chart.DrawBackground(bitmap.Canvas(), 0, 0, 378, 362);
    EXPECT_EQ(bitmap.Pixel(x - 80, (y1 + y2) / 2), clWhite);  // inside the rectangle
    EXPECT_EQ(bitmap.Pixel(5, 5), 0x123456);
}

TEST(Background, ImageFileAndFailures)
{
    TKurvo chart;
    Geometry(chart);
    QTemporaryDir dir;
    const std::string bmp = dir.filePath("tile.bmp").toStdString();
    QImage tile(64, 64, QImage::Format_RGB32);
    tile.fill(QColor(0, 0, 255));
    tile.setPixelColor(0, 0, QColor(255, 0, 0));
    ASSERT_TRUE(tile.save(QString::fromStdString(bmp), "BMP"));

    TBakGndImg& img = *chart.BackGroundImg();
    img.SetIncludePath(true);
    img.SetName(bmp);
    img.SetFillMode(bfTile);
    TRecordingCanvas canvas;
    chart.DrawBackground(canvas, 0, 0, 300, 100);
    EXPECT_EQ(canvas.CallsOf("Draw").size(), 5u * 2u);

    img.SetFillMode(bfStretch);
    TBitmap bitmap(300, 100);
    chart.DrawBackground(bitmap.Canvas(), 0, 0, 300, 100);
    EXPECT_EQ(bitmap.Pixel(150, 50), clBlue);

    // A file that is not a BMP: plain background, and the name is cleared.
    const std::string png = dir.filePath("tile.png").toStdString();
    ASSERT_TRUE(tile.save(QString::fromStdString(png), "PNG"));
    img.SetName(png);
    chart.DrawBackground(bitmap.Canvas(), 0, 0, 300, 100);
    EXPECT_EQ(img.Name(), "");
    EXPECT_EQ(bitmap.Pixel(150, 50), clWhite);
}

TEST(Background, NameKeepsTheFileNameWithoutIncludePath)
{
    TBakGndImg img;
    img.SetName("/some/dir/picture.bmp");
    EXPECT_EQ(img.Name(), "picture.bmp");
    img.SetIncludePath(true);
    img.SetName("C:\\pics\\p.bmp");
    EXPECT_EQ(img.Name(), "C:\\pics\\p.bmp");
    img.SetIncludePath(false);
    EXPECT_EQ(img.Name(), "p.bmp");
}
