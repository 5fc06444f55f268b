// Mouse actions on the chart: pans, zoom drag, zoom windows, rubber band and
// selection, mouse trace, cursors, double click, axis-band drags and pointer
// tracking. The gestures are Qt mouse events sent to an off-screen chart
// with the demo's geometry.
#include "chart/Qorn_kurvo.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

// Demo geometry: 473 x 421, margins 80/16/20/40, so the data area spans
// x 80 ... 457 and y 20 ... 381 (w = 377, h = 361); layer 1 X 0 ... 100, Y -5 ... 5.
constexpr int kRight = 457;
constexpr int kBottom = 381;

std::unique_ptr<TKurvo> DemoChart(int width = 473, int height = 421)
{
    auto chart = std::make_unique<TKurvo>();
    chart->SetMarginLeft(80);
    chart->SetMarginRight(16);
    chart->SetMarginTop(20);
    chart->SetMarginBottom(40);
    chart->SetBounds(0, 0, width, height);
    chart->Scale1X()->SetRangeLow(0);
    chart->Scale1X()->SetRangeHigh(100);
    chart->Scale1Y()->SetRangeLow(-5);
    chart->Scale1Y()->SetRangeHigh(5);
    chart->HandleNeeded();
    return chart;
}

// World coordinates of layer 1 at a pixel of the demo geometry.
double WorldX(int px) { return (px - 80) * 100.0 / 377.0; }
double WorldY(int py) { return 5.0 - (py - 20) * 10.0 / 361.0; }

void Send(TKurvo& chart, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y)
{
    QMouseEvent event(type, QPointF(x, y), QPointF(x, y), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&chart, &event);
}

void Press(TKurvo& chart, int x, int y, Qt::MouseButton button = Qt::LeftButton,
           Qt::MouseButtons held = Qt::NoButton)
{
    Send(chart, QEvent::MouseButtonPress, button, held | button, x, y);
}

void Move(TKurvo& chart, int x, int y, Qt::MouseButtons held = Qt::LeftButton)
{
    Send(chart, QEvent::MouseMove, Qt::NoButton, held, x, y);
}

void Release(TKurvo& chart, int x, int y, Qt::MouseButton button = Qt::LeftButton,
             Qt::MouseButtons held = Qt::NoButton)
{
    Send(chart, QEvent::MouseButtonRelease, button, held, x, y);
}

// Press at `from`, the anchoring move there, then a move to `to`; no release.
void DragTo(TKurvo& chart, int fromX, int fromY, int toX, int toY)
{
    Press(chart, fromX, fromY);
    Move(chart, fromX, fromY);
    Move(chart, toX, toY);
}

void Drag(TKurvo& chart, int fromX, int fromY, int toX, int toY)
{
    DragTo(chart, fromX, fromY, toX, toY);
    Release(chart, toX, toY);
}

struct TRanges {
    double xLow, xHigh, yLow, yHigh;
};

TRanges RangesOf(const TKurvo& chart, int layer = 1)
{
    return {chart.ScaleX(layer)->RangeLow(), chart.ScaleX(layer)->RangeHigh(), chart.ScaleY(layer)->RangeLow(),
            chart.ScaleY(layer)->RangeHigh()};
}

void ExpectRanges(const TKurvo& chart, const TRanges& expected, double tolerance = 1e-9, int layer = 1)
{
    const TRanges r = RangesOf(chart, layer);
    EXPECT_NEAR(r.xLow, expected.xLow, tolerance);
    EXPECT_NEAR(r.xHigh, expected.xHigh, tolerance);
    EXPECT_NEAR(r.yLow, expected.yLow, tolerance);
    EXPECT_NEAR(r.yHigh, expected.yHigh, tolerance);
}

// Appends the name of every event the chart raises; a repaint shows as "Paint".
void Record(TKurvo& chart, std::vector<std::string>& log)
{
    chart.OnMouseDown = [&log](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("OnMouseDown"); };
    chart.OnMouseMove = [&log](TObject*, TShiftState, int, int) { log.push_back("OnMouseMove"); };
    chart.OnMouseUp = [&log](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("OnMouseUp"); };
    chart.OnDblClick = [&log](TObject*) { log.push_back("OnDblClick"); };
    chart.OnZoomPan = [&log](TObject*) { log.push_back("OnZoomPan"); };
    chart.OnRubberBand = [&log](TObject*, int, double, double, double, double) { log.push_back("OnRubberBand"); };
    chart.OnSelectRect = [&log](TObject*, int, double, double, double, double) { log.push_back("OnSelectRect"); };
    chart.OnMouseMoveInChart = [&log](TObject*, bool, TShiftState, double, double) {
        log.push_back("OnMouseMoveInChart");
    };
    chart.OnDataRendered = [&log](TObject*, TCanvas&, int, int) { log.push_back("Paint"); };
}

int Count(const std::vector<std::string>& log, const std::string& name)
{
    int n = 0;
    for (const std::string& s : log) n += s == name ? 1 : 0;
    return n;
}

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

// The application cursor is global: every test leaves it at crDefault.
class MouseChart : public ::testing::Test {
protected:
    void TearDown() override { SetScreenCursor(crDefault); }
};

using MousePan = MouseChart;
using MouseZoom = MouseChart;
using MouseWindowFigure = MouseChart;
using MouseTrace = MouseChart;
using MouseCursor = MouseChart;
using MouseDoubleClick = MouseChart;
using MouseAxisBand = MouseChart;
using MouseEventOrder = MouseChart;
using MousePointerTracking = MouseChart;

}  // namespace

// ---------------------------------------------------------------- pans

TEST_F(MousePan, TenPixelsRightMovesOnlyLayerOne)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maPan);
    chart->Scale2X()->SetRangeLow(0);
    chart->Scale2X()->SetRangeHigh(50);
    chart->Scale2X()->SetVisible(true);
    Drag(*chart, 200, 200, 210, 200);
    ExpectRanges(*chart, {-1000.0 / 377.0, 100.0 - 1000.0 / 377.0, -5, 5}, 1e-12);
    EXPECT_NEAR(chart->ScaleX(1)->RangeLow(), -2.6525198939, 1e-9);
    EXPECT_EQ(chart->ScaleX(2)->RangeLow(), 0.0);
    EXPECT_EQ(chart->ScaleX(2)->RangeHigh(), 50.0);
    // The axis controls follow the layer.
    EXPECT_NEAR(chart->AxisX(1)->RangeLow(), -1000.0 / 377.0, 1e-12);
}

TEST_F(MousePan, PressAndReleaseWithoutMovingChangesNoRangeButRecordsTheHistory)
{
    for (bool anchoringMove : {false, true}) {
        SCOPED_TRACE(anchoringMove ? "with the anchoring move" : "press and release only");
        auto chart = DemoChart();
        chart->SetMouseAction(maPan);
        std::vector<std::string> log;
        Record(*chart, log);
        const int slot = chart->ZoomHistoryNext();
        Press(*chart, 200, 200);
        if (anchoringMove) Move(*chart, 200, 200);
        Release(*chart, 200, 200);
        ExpectRanges(*chart, {0, 100, -5, 5}, 0.0);
        EXPECT_EQ(Count(log, "OnZoomPan"), 0);
        EXPECT_EQ(Count(log, "Paint"), 0);
        EXPECT_EQ(chart->ZoomHistoryNext(), slot % ZoomHistorySize + 1);
        const TZoomRanges& h = chart->ZoomHistory(slot, 1);
        EXPECT_EQ(h.XLow, 0.0);
        EXPECT_EQ(h.YHigh, 5.0);
        EXPECT_EQ(h.XHigh, 100.0);
        EXPECT_EQ(h.YLow, -5.0);
    }
}

TEST_F(MousePan, LeavingTheDataAreaFreezesAndReturningContinuesFromTheAnchor)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maPan);
    std::vector<std::string> log;
    Record(*chart, log);
    DragTo(*chart, 200, 200, 210, 200);
    ExpectRanges(*chart, {-1000.0 / 377, 100 - 1000.0 / 377, -5, 5});
    log.clear();
    Move(*chart, kRight + 1, 200);
    Move(*chart, 300, kBottom + 5);
    ExpectRanges(*chart, {-1000.0 / 377, 100 - 1000.0 / 377, -5, 5});
    EXPECT_EQ(Count(log, "OnZoomPan"), 0);
    EXPECT_TRUE(chart->Dragging());
    Move(*chart, 220, 200);
    ExpectRanges(*chart, {-2000.0 / 377, 100 - 2000.0 / 377, -5, 5});
    Release(*chart, 220, 200);
    EXPECT_FALSE(chart->Dragging());
}

TEST_F(MousePan, TheWorldPointUnderTheAnchorFollowsThePointer)
{
    struct Row {
        TMouseActMode action;
        bool logX, logY;
        int dx, dy;
    };
    const Row rows[] = {
        {maPan, false, false, 37, -50},  {maPan, true, true, -60, 45},     {maPan, false, true, 120, 90},
        {maPanHoriz, false, false, 30, 40}, {maPanHoriz, true, false, -30, 40}, {maPanVert, false, false, 30, -40},
        {maPanVert, false, true, 30, 70},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "action " << int(row.action) << " log " << row.logX << row.logY
                                        << " move " << row.dx << "," << row.dy);
        auto chart = DemoChart();
        if (row.logX) {
            chart->Scale1X()->SetRangeLow(1);
            chart->Scale1X()->SetRangeHigh(1000);
            chart->Scale1X()->SetLogarithmic(true);
        }
        if (row.logY) {
            chart->Scale1Y()->SetRangeLow(0.1);
            chart->Scale1Y()->SetRangeHigh(10);
            chart->Scale1Y()->SetLogarithmic(true);
        }
        chart->SetMouseAction(row.action);
        const TRanges before = RangesOf(*chart);
        const int ax = 250, ay = 200;
        double wx0, wy0;
        chart->PixelToWorld(1, ax, ay, wx0, wy0);
        DragTo(*chart, ax, ay, ax + row.dx, ay + row.dy);
        double wx1, wy1;
        chart->PixelToWorld(1, ax + row.dx, ay + row.dy, wx1, wy1);
        const TRanges after = RangesOf(*chart);
        if (row.action != maPanVert) {
            EXPECT_NEAR(wx1, wx0, 1e-9 * std::fabs(wx0) + 1e-12);
        } else {
            EXPECT_EQ(after.xLow, before.xLow);
            EXPECT_EQ(after.xHigh, before.xHigh);
        }
        if (row.action != maPanHoriz) {
            EXPECT_NEAR(wy1, wy0, 1e-9 * std::fabs(wy0) + 1e-12);
        } else {
            EXPECT_EQ(after.yLow, before.yLow);
            EXPECT_EQ(after.yHigh, before.yHigh);
        }
    }
}

TEST_F(MousePan, StopsAtAPanLimitWithoutChangingTheSpan)
{
    for (int dx : {10, -10}) {
        SCOPED_TRACE(dx);
        auto chart = DemoChart();
        chart->SetMouseAction(maPan);
        chart->SetPanLimits({0, -5, 100, 5});
        Drag(*chart, 200, 200, 200 + dx, 230);
        ExpectRanges(*chart, {0, 100, -5, 5});
    }
}

TEST_F(MousePan, GridSnapsTheLowBoundsAndKeepsTheSpans)
{
    // X 0 ... 37.7 over 377 pixels: one pixel is 0.1 world units.
    struct Row {
        int dx, dy;
        double gridDx, offsX, gridDy, offsY;
        TRanges expected;
    };
    const Row rows[] = {
        {-37, 0, 1, 0.5, 1, 0, {3.5, 41.2, -5, 5}},     // 3.7 -> Int(3.7) + 0.5
        {2, 0, 1, 0.5, 1, 0, {0.5, 38.2, -5, 5}},       // -0.2 -> Int(-0.2) + 0.5
        {25, 0, 1, 0, 1, 0, {-2, 35.7, -5, 5}},         // -2.5 truncates toward zero
        {-37, 0, 0, 0.5, 1, 0, {3.7, 41.4, -5, 5}},     // step 0 switches X snapping off
        {-37, 0, -1, 0.5, 1, 0, {3.7, 41.4, -5, 5}},    // as does a negative step
        {0, 37, 1, 0, 1, 0.5, {0, 37.7, -2.5, 7.5}},    // Y: -5 + 1.0249... -> Int(-3.97) + 0.5
        {-37, 37, 2, 0, 0.5, 0, {2, 39.7, -3.5, 6.5}},  // other steps: Int(1.85) * 2, Int(-7.95) * 0.5
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "move " << row.dx << "," << row.dy << " steps " << row.gridDx << ","
                                        << row.gridDy);
        auto chart = DemoChart();
        chart->Scale1X()->SetRangeHigh(37.7);
        chart->SetMouseAction(maPanGrid);
        chart->SetPanGridDx(row.gridDx);
        chart->SetPanGridOffsX(row.offsX);
        chart->SetPanGridDy(row.gridDy);
        chart->SetPanGridOffsY(row.offsY);
        Drag(*chart, 200, 200, 200 + row.dx, 200 + row.dy);
        ExpectRanges(*chart, row.expected);
    }
}

TEST_F(MousePan, GridLeavesALayerWithALogarithmicAxisUnchanged)
{
    for (bool logX : {true, false}) {
        SCOPED_TRACE(logX ? "logarithmic X" : "logarithmic Y");
        auto chart = DemoChart();
        TScaleProps& axis = logX ? static_cast<TScaleProps&>(*chart->Scale1X()) : *chart->Scale1Y();
        axis.SetRangeLow(1);
        axis.SetRangeHigh(100);
        axis.SetLogarithmic(true);
        chart->SetMouseAction(maPanGrid);
        const TRanges before = RangesOf(*chart);
        Drag(*chart, 200, 200, 260, 280);
        ExpectRanges(*chart, before, 0.0);
    }
}

// ------------------------------------------------------------ zoom drag

TEST_F(MouseZoom, DragZoomsAboutTheCentreOfTheAnchorRanges)
{
    // 474 x 420: half the control is 237 x 210 pixels.
    struct Row {
        int dx, dy;
        bool isometric;
        double fx, fy;  // expected span factors
    };
    const Row rows[] = {
        {237, 0, false, 0.5, 1.0},   {-237, 0, false, 1.5, 1.0},  {0, -210, false, 1.0, 0.5},
        {0, 210, false, 1.0, 1.5},   {237, 0, true, 0.5, 0.5},    {237, 150, true, 0.5, 0.5},
        {-237, -210, false, 1.5, 0.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "move " << row.dx << "," << row.dy << " isometric " << row.isometric);
        auto chart = DemoChart(474, 420);
        chart->SetIsometric(row.isometric);
        chart->SetMouseAction(maZoomDrag);
        const TRanges before = RangesOf(*chart);
        const int ax = row.dx >= 0 ? 100 : 400;
        const int ay = row.dy >= 0 ? 150 : 300;
        std::vector<std::string> log;
        Record(*chart, log);
        DragTo(*chart, ax, ay, ax + row.dx, ay + row.dy);
        const TRanges after = RangesOf(*chart);
        EXPECT_NEAR(after.xHigh - after.xLow, row.fx * (before.xHigh - before.xLow), 1e-9);
        EXPECT_NEAR(after.xHigh + after.xLow, before.xHigh + before.xLow, 1e-9);
        EXPECT_NEAR(after.yHigh - after.yLow, row.fy * (before.yHigh - before.yLow), 1e-9);
        EXPECT_NEAR(after.yHigh + after.yLow, before.yHigh + before.yLow, 1e-9);
        EXPECT_EQ(Count(log, "OnZoomPan"), 1);
        EXPECT_EQ(Count(log, "Paint"), 1);
        const int slot = chart->ZoomHistoryNext();
        Release(*chart, ax + row.dx, ay + row.dy);
        EXPECT_EQ(chart->ZoomHistory(slot, 1).XHigh, after.xHigh);
    }
}

// ---------------------------------------------------------- zoom windows

TEST_F(MouseZoom, WindowCornerOrders)
{
    struct Row {
        TMouseActMode action;
        int x0, y0, x1, y1;
        TRanges expected;
    };
    const Row rows[] = {
        // Top-left to bottom-right: maZoomWind reverses Y, maZoomWindPos keeps the directions.
        {maZoomWind, 100, 100, 300, 250, {WorldX(100), WorldX(300), WorldY(100), WorldY(250)}},
        {maZoomWind, 300, 250, 100, 100, {WorldX(300), WorldX(100), WorldY(250), WorldY(100)}},
        {maZoomWind, 300, 100, 100, 250, {WorldX(300), WorldX(100), WorldY(100), WorldY(250)}},
        {maZoomWindPos, 100, 100, 300, 250, {WorldX(100), WorldX(300), WorldY(250), WorldY(100)}},
        {maZoomWindPos, 300, 250, 100, 100, {WorldX(100), WorldX(300), WorldY(250), WorldY(100)}},
        {maZoomWindPos, 100, 250, 300, 100, {WorldX(100), WorldX(300), WorldY(250), WorldY(100)}},
        // The end is clamped to the data area.
        {maZoomWind, 100, 100, 470, 420, {WorldX(100), 100, WorldY(100), -5}},
        {maZoomWindPos, 100, 100, 10, 0, {0, WorldX(100), WorldY(100), 5}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "action " << int(row.action) << " from " << row.x0 << "," << row.y0
                                        << " to " << row.x1 << "," << row.y1);
        auto chart = DemoChart();
        chart->SetMouseAction(row.action);
        std::vector<std::string> log;
        Record(*chart, log);
        const int slot = chart->ZoomHistoryNext();
        Press(*chart, row.x0, row.y0);
        EXPECT_EQ(chart->ZoomState(), zsDrawWin);
        Move(*chart, (row.x0 + row.x1) / 2, (row.y0 + row.y1) / 2);
        Move(*chart, row.x1, row.y1);
        EXPECT_EQ(Count(log, "Paint"), 0);  // the figure costs no repaint
        Release(*chart, row.x1, row.y1);
        EXPECT_EQ(chart->ZoomState(), zsNormal);
        ExpectRanges(*chart, row.expected);
        EXPECT_EQ(Count(log, "OnZoomPan"), 1);
        EXPECT_EQ(Count(log, "Paint"), 1);
        EXPECT_NE(chart->ZoomHistoryNext(), slot);  // the new ranges are in the history
        EXPECT_EQ(chart->ZoomHistory(slot, 1).XLow, chart->ScaleX(1)->RangeLow());
    }
}

TEST_F(MouseZoom, IsometricWindowIsASquare)
{
    struct Row {
        int x0, y0, x1, y1;
        int endX, endY;  // the corner the window ends at
    };
    const Row rows[] = {
        {100, 100, 200, 130, 200, 200},  // dx * dy > 0: y = y0 + dx
        {200, 100, 100, 130, 100, 200},  // dx * dy < 0: y = y0 - dx
        {100, 300, 200, 250, 200, 200},
        {100, 100, 400, 110, 400, kBottom},  // the square's side is clamped in y
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "to " << row.x1 << "," << row.y1);
        auto chart = DemoChart();
        chart->SetIsometric(true);
        chart->SetMouseAction(maZoomWind);
        double wx0, wy0, wx1, wy1;
        chart->PixelToWorld(1, row.x0, row.y0, wx0, wy0);
        chart->PixelToWorld(1, row.endX, row.endY, wx1, wy1);
        Drag(*chart, row.x0, row.y0, row.x1, row.y1);
        ExpectRanges(*chart, {wx0, wx1, wy0, wy1});
    }
}

// --------------------------------------------------------- window figures

TEST_F(MouseWindowFigure, XorRectangleFollowsThePointerWithoutARepaint)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maSelectRect);
    const QImage clean = chart->WindowImage();
    Press(*chart, 100, 100);
    EXPECT_EQ(chart->WindowImage(), clean);  // a press draws nothing yet
    Move(*chart, 200, 150);
    QImage shown = chart->WindowImage();
    // Rectangle(100, 100, 200, 150): the outline covers x 100 ... 199, y 100 ... 149.
    EXPECT_EQ(Pixel(shown, 150, 100), Pixel(clean, 150, 100) ^ 0xFFFFFFu);
    EXPECT_EQ(Pixel(shown, 199, 120), Pixel(clean, 199, 120) ^ 0xFFFFFFu);
    EXPECT_EQ(Pixel(shown, 150, 149), Pixel(clean, 150, 149) ^ 0xFFFFFFu);
    EXPECT_EQ(Pixel(shown, 150, 120), Pixel(clean, 150, 120));  // the brush is clear
    EXPECT_EQ(Pixel(shown, 200, 120), Pixel(clean, 200, 120));

    Move(*chart, 180, 140);
    shown = chart->WindowImage();
    EXPECT_EQ(Pixel(shown, 190, 100), Pixel(clean, 190, 100));  // the old figure is gone
    EXPECT_EQ(Pixel(shown, 199, 120), Pixel(clean, 199, 120));
    EXPECT_EQ(Pixel(shown, 150, 100), Pixel(clean, 150, 100) ^ 0xFFFFFFu);
    EXPECT_EQ(Pixel(shown, 179, 120), Pixel(clean, 179, 120) ^ 0xFFFFFFu);
    // The canvas is left in copy mode with a solid brush.
    EXPECT_EQ(chart->Canvas().Pen().Mode(), pmCopy);
    EXPECT_EQ(chart->Canvas().Brush().Style(), bsSolid);
}

TEST_F(MouseWindowFigure, RubberBandIsAnXorLineFromTheAnchor)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maRubberBand);
    const QImage clean = chart->WindowImage();
    DragTo(*chart, 100, 100, 300, 100);
    QImage shown = chart->WindowImage();
    EXPECT_EQ(Pixel(shown, 200, 100), Pixel(clean, 200, 100) ^ 0xFFFFFFu);
    EXPECT_EQ(Pixel(shown, 200, 101), Pixel(clean, 200, 101));
    Move(*chart, 100, 300);
    shown = chart->WindowImage();
    EXPECT_EQ(Pixel(shown, 200, 100), Pixel(clean, 200, 100));
    EXPECT_EQ(Pixel(shown, 100, 200), Pixel(clean, 100, 200) ^ 0xFFFFFFu);
}

TEST_F(MouseWindowFigure, ReleaseWithAnotherButtonCancelsAndErasesTheFigure)
{
    for (TMouseActMode action : {maZoomWind, maZoomWindPos, maRubberBand, maSelectRect}) {
        SCOPED_TRACE(int(action));
        auto chart = DemoChart();
        chart->SetMouseAction(action);
        std::vector<std::string> log;
        Record(*chart, log);
        const QImage clean = chart->WindowImage();
        const int slot = chart->ZoomHistoryNext();
        DragTo(*chart, 100, 100, 250, 200);
        EXPECT_NE(chart->WindowImage(), clean);
        Press(*chart, 250, 200, Qt::RightButton, Qt::LeftButton);
        Release(*chart, 250, 200, Qt::RightButton, Qt::LeftButton);
        EXPECT_EQ(chart->ZoomState(), zsNormal);
        EXPECT_EQ(chart->WindowImage(), clean);
        Release(*chart, 250, 200);
        ExpectRanges(*chart, {0, 100, -5, 5}, 0.0);
        EXPECT_EQ(Count(log, "OnZoomPan"), 0);
        EXPECT_EQ(Count(log, "OnRubberBand") + Count(log, "OnSelectRect"), 0);
        EXPECT_EQ(Count(log, "Paint"), 0);
        EXPECT_EQ(chart->ZoomHistoryNext(), slot);
    }
}

TEST_F(MouseWindowFigure, WindowWithoutWidthOrHeightIsIgnored)
{
    struct Row {
        TMouseActMode action;
        int x1, y1;
    };
    const Row rows[] = {
        {maSelectRect, 100, 100}, {maSelectRect, 100, 200}, {maSelectRect, 200, 100},
        {maZoomWind, 100, 100},   {maZoomWindPos, 300, 100}, {maRubberBand, 100, 300},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.action) << " to " << row.x1 << "," << row.y1);
        auto chart = DemoChart();
        chart->SetMouseAction(row.action);
        std::vector<std::string> log;
        Record(*chart, log);
        Press(*chart, 100, 100);
        if (row.x1 != 100 || row.y1 != 100) Move(*chart, row.x1, row.y1);
        Release(*chart, row.x1, row.y1);
        EXPECT_EQ(chart->ZoomState(), zsNormal);
        ExpectRanges(*chart, {0, 100, -5, 5}, 0.0);
        EXPECT_EQ(Count(log, "OnSelectRect") + Count(log, "OnRubberBand") + Count(log, "OnZoomPan"), 0);
    }
}

TEST_F(MouseWindowFigure, PressOutsideTheDataAreaOrWithAnotherButtonStartsNoFigure)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maZoomWind);
    Press(*chart, 79, 100);
    EXPECT_EQ(chart->ZoomState(), zsNormal);
    Release(*chart, 79, 100);
    Press(*chart, 100, 100, Qt::RightButton);
    EXPECT_EQ(chart->ZoomState(), zsNormal);
    Release(*chart, 100, 100, Qt::RightButton);
    Press(*chart, kRight, kBottom);  // the edges belong to the data area
    EXPECT_EQ(chart->ZoomState(), zsDrawWin);
}

TEST_F(MouseWindowFigure, RubberBandAndSelectionReportWorldCorners)
{
    struct Row {
        TMouseActMode action;
        bool reversedX;
        int x0, y0, x1, y1;
        double loX, loY, hiX, hiY;
    };
    auto reversedX = [](int px) { return 100.0 - WorldX(px); };
    const Row rows[] = {
        // The rubber band runs from the start point to the end point.
        {maRubberBand, false, 100, 100, 300, 250, WorldX(100), WorldY(100), WorldX(300), WorldY(250)},
        {maRubberBand, false, 300, 250, 100, 100, WorldX(300), WorldY(250), WorldX(100), WorldY(100)},
        // The selection follows the axes, whichever corner the drag started from.
        {maSelectRect, false, 100, 100, 300, 250, WorldX(100), WorldY(250), WorldX(300), WorldY(100)},
        {maSelectRect, false, 300, 250, 100, 100, WorldX(100), WorldY(250), WorldX(300), WorldY(100)},
        {maSelectRect, false, 300, 100, 100, 250, WorldX(100), WorldY(250), WorldX(300), WorldY(100)},
        // A reversed X axis reports LoX > HiX.
        {maSelectRect, true, 100, 100, 300, 250, reversedX(100), WorldY(250), reversedX(300), WorldY(100)},
        {maSelectRect, true, 300, 250, 100, 100, reversedX(100), WorldY(250), reversedX(300), WorldY(100)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.action) << (row.reversedX ? " reversed" : "") << " from "
                                        << row.x0 << "," << row.y0);
        auto chart = DemoChart();
        if (row.reversedX) {
            chart->Scale1X()->SetRangeLow(100);
            chart->Scale1X()->SetRangeHigh(0);
        }
        chart->SetMouseAction(row.action);
        const TRanges before = RangesOf(*chart);
        struct Report {
            int layer;
            double loX, loY, hiX, hiY;
        };
        std::vector<Report> reports;
        std::vector<std::string> log;
        Record(*chart, log);
        auto report = [&](TObject* sender, int layer, double loX, double loY, double hiX, double hiY) {
            EXPECT_EQ(sender, chart.get());
            reports.push_back({layer, loX, loY, hiX, hiY});
        };
        (row.action == maRubberBand ? chart->OnRubberBand : chart->OnSelectRect) = report;
        Drag(*chart, row.x0, row.y0, row.x1, row.y1);
        ASSERT_EQ(reports.size(), 1u);  // only layer 1 carries the mouse-layer flag
        EXPECT_EQ(reports[0].layer, 1);
        EXPECT_NEAR(reports[0].loX, row.loX, 1e-9);
        EXPECT_NEAR(reports[0].loY, row.loY, 1e-9);
        EXPECT_NEAR(reports[0].hiX, row.hiX, 1e-9);
        EXPECT_NEAR(reports[0].hiY, row.hiY, 1e-9);
        if (row.reversedX) EXPECT_GT(reports[0].loX, reports[0].hiX);
        EXPECT_EQ(Count(log, "OnZoomPan"), 1);
        ExpectRanges(*chart, before, 0.0);
    }
}

// ----------------------------------------------------------- mouse trace

TEST_F(MouseTrace, RecordsClampedWorldPointsWithColourAndFlags)
{
    for (bool invert : {true, false}) {
        SCOPED_TRACE(invert ? "inverted" : "copied");
        auto chart = DemoChart();
        chart->SetMouseAction(maDrawMTrace);
        chart->SetMouseTraceInvert(invert);
        chart->SetMouseTraceColor(0x0000FF);
        Move(*chart, 200, 200, Qt::NoButton);  // without the button nothing is recorded
        EXPECT_TRUE(chart->MouseTrace().empty());
        Press(*chart, 470, 10);
        EXPECT_TRUE(chart->MouseTrace().empty());  // the press records nothing
        Move(*chart, 470, 10);
        Move(*chart, 0, 500);
        ASSERT_EQ(chart->MouseTrace().size(), 2u);
        const TMouseTracePoint& p = chart->MouseTrace()[0];
        EXPECT_NEAR(p.X, 100.0, 1e-12);  // clamped to (457, 20)
        EXPECT_NEAR(p.Y, 5.0, 1e-12);
        EXPECT_EQ(p.Colour, 0x0000FF);
        EXPECT_EQ(p.Flags, invert ? 2 : 0);
        EXPECT_NEAR(chart->MouseTrace()[1].X, 0.0, 1e-12);  // clamped to (80, 381)
        EXPECT_NEAR(chart->MouseTrace()[1].Y, -5.0, 1e-12);
    }
}

TEST_F(MouseTrace, StrokesAreDrawnOnTheWindowAndEndAtTheRelease)
{
    for (bool invert : {true, false}) {
        SCOPED_TRACE(invert ? "inverted" : "copied");
        auto chart = DemoChart();
        chart->SetMouseAction(maDrawMTrace);
        chart->SetMouseTraceInvert(invert);
        chart->SetMouseTraceColor(0x0000FF);  // red
        std::vector<std::string> log;
        Record(*chart, log);
        const QImage clean = chart->WindowImage();
        const QRgb red = 0xFF0000u;
        auto drawn = [&](const QImage& image, int x, int y) {
            return Pixel(image, x, y) == (invert ? Pixel(clean, x, y) ^ red : red);
        };

        Press(*chart, 100, 100);
        Move(*chart, 100, 100);
        Move(*chart, 200, 100);
        QImage shown = chart->WindowImage();
        EXPECT_TRUE(drawn(shown, 150, 100));
        EXPECT_EQ(Pixel(shown, 150, 101), Pixel(clean, 150, 101));
        Release(*chart, 200, 100);
        EXPECT_EQ(chart->MouseTrace().back().Flags & 1, 1);

        // The next stroke does not connect to the end of the previous one.
        Press(*chart, 200, 200);
        Move(*chart, 200, 200);
        shown = chart->WindowImage();
        EXPECT_EQ(Pixel(shown, 200, 150), Pixel(clean, 200, 150));
        Move(*chart, 300, 200);
        shown = chart->WindowImage();
        EXPECT_TRUE(drawn(shown, 250, 200));
        Release(*chart, 300, 200);
        ASSERT_EQ(chart->MouseTrace().size(), 4u);
        EXPECT_EQ(chart->MouseTrace()[0].Flags & 1, 0);
        EXPECT_EQ(chart->MouseTrace()[1].Flags & 1, 1);
        EXPECT_EQ(chart->MouseTrace()[3].Flags & 1, 1);
        EXPECT_EQ(Count(log, "Paint"), 0);
        EXPECT_EQ(chart->Canvas().Pen().Mode(), pmCopy);
    }
}

TEST_F(MouseTrace, HoldsAtMost5000Points)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maDrawMTrace);
    Press(*chart, 100, 100);
    for (int i = 0; i < MouseTraceCapacity + 1; ++i) chart->WMMouseMove({ssLeft}, 100 + i % 300, 100 + i % 7);
    EXPECT_EQ(chart->MouseTrace().size(), static_cast<std::size_t>(MouseTraceCapacity));
    // The 5001st point (x 100 + 5000 % 300 = 200) was not recorded.
    EXPECT_NEAR(chart->MouseTrace().back().X, WorldX(100 + 4999 % 300), 1e-9);
    Release(*chart, 100, 100);
    EXPECT_EQ(chart->MouseTrace().back().Flags & 1, 1);
}

// ---------------------------------------------------------------- cursor

TEST_F(MouseCursor, FollowsTheActionInsideTheDataArea)
{
    constexpr int kPreset = -21;  // any cursor no action sets
    struct Row {
        TMouseActMode action;
        int inside;
    };
    const Row rows[] = {
        {maNone, crCross},        {maPan, 1},          {maPanHoriz, 1},          {maPanVert, 1},
        {maPanGrid, 1},           {maRubberBand, crDefault}, {maZoom, kPreset},  {maZoomWind, 2},
        {maZoomWindPos, 4},       {maZoomDrag, 3},     {maDragCrossH, crDefault}, {maDragLabel, crDefault},
        {maRotate, kPreset},      {maRotAndZoom, kPreset}, {maRotXOnly, kPreset}, {maRotZOnly, kPreset},
        {maSelectRect, crDefault}, {maDrawMTrace, kPreset}, {maZoomPanColors, kPreset},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.action));
        auto chart = DemoChart();
        chart->SetMouseAction(row.action);
        chart->SetMouseCursorFixed(false);
        SetScreenCursor(kPreset);
        Move(*chart, 200, 200, Qt::NoButton);
        EXPECT_EQ(ScreenCursor(), row.inside);
        SetScreenCursor(kPreset);
        Move(*chart, 79, 200, Qt::NoButton);
        EXPECT_EQ(ScreenCursor(), crDefault);
        chart->SetMouseCursorFixed(true);
        SetScreenCursor(kPreset);
        Move(*chart, 200, 200, Qt::NoButton);
        EXPECT_EQ(ScreenCursor(), crDefault);
    }
}

// ---------------------------------------------------------- double click

TEST_F(MouseDoubleClick, TogglesPanAndZoomOfTheAxisUnderThePointer)
{
    struct Row {
        bool horizontal;
        TMouseActMode before, after;
    };
    const Row rows[] = {
        {false, maPan, maZoom}, {false, maZoom, maPan},         {false, maNone, maNone},
        {true, maPan, maZoom},  {true, maZoom, maPan},          {true, maZoomDrag, maZoomDrag},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.horizontal ? "X axis " : "Y axis ") << int(row.before));
        auto chart = DemoChart();
        TScaleProps& axis = row.horizontal ? static_cast<TScaleProps&>(*chart->Scale1X()) : *chart->Scale1Y();
        axis.SetMouseAction(row.before);
        const int x = row.horizontal ? 200 : 50;
        const int y = row.horizontal ? 400 : 200;
        Move(*chart, x, y, Qt::NoButton);
        Send(*chart, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, x, y);
        Release(*chart, x, y);
        EXPECT_EQ(axis.MouseAction(), row.after);
    }
}

TEST_F(MouseDoubleClick, ThePressThatCompletesItIsInert)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maZoomWind);
    std::vector<std::string> log;
    Record(*chart, log);
    Press(*chart, 200, 200);
    Release(*chart, 200, 200);
    Send(*chart, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, 200, 200);
    EXPECT_EQ(chart->ZoomState(), zsNormal);  // no window figure started
    Release(*chart, 200, 200);
    EXPECT_EQ(log, (std::vector<std::string>{"OnMouseDown", "OnMouseUp", "OnDblClick", "OnMouseUp"}));

    // Without that press, the next release only clears the flag.
    log.clear();
    chart->DblClick();
    chart->MouseUp(mbLeft, {}, 200, 200);
    chart->MouseUp(mbLeft, {}, 200, 200);
    EXPECT_EQ(log, (std::vector<std::string>{"OnDblClick", "OnMouseUp"}));
}

// ------------------------------------------------------------- axis bands

TEST_F(MouseAxisBand, HitTestFindsTheStartBands)
{
    auto chart = DemoChart();
    // Layer 1: bottom X axis (band 381 < y < 421 across 80 < x < 457), left Y axis (30 < x < 80 across 20 < y < 381).
    struct Row {
        int x, y, expected;
    };
    const Row rows[] = {
        {200, 382, -1}, {200, 381, 0},  {200, 420, -1}, {200, 421, 0},  {81, 400, -1},  {80, 400, 0},
        {456, 400, -1}, {457, 400, 0},  {79, 200, 1},   {31, 200, 1},   {30, 200, 0},   {80, 200, 0},
        {50, 21, 1},    {50, 20, 0},    {50, 380, 1},   {50, 381, 0},   {200, 200, 0},  {50, 400, 0},
    };
    for (const Row& row : rows) EXPECT_EQ(chart->AxisHitTest(row.x, row.y), row.expected) << row.x << "," << row.y;

    // An invisible axis has no start band; a visible one of another layer has its own.
    chart->Scale1X()->SetVisible(false);
    EXPECT_EQ(chart->AxisHitTest(200, 400), 0);
    chart->Scale2X()->SetScaleLocation(slTop);
    chart->Scale2X()->SetVisible(true);
    const int p = chart->Scale2X()->ScalePos();
    EXPECT_EQ(chart->AxisHitTest(200, 20 - p - 1), -2);
    EXPECT_EQ(chart->AxisHitTest(200, 20 - p - 40), 0);
    // Vertical axes are tested first: move both bands into the data area so that they cross.
    chart->Scale1X()->SetVisible(true);
    chart->Scale1X()->SetScalePos(-100);  // band 281 < y < 321
    EXPECT_EQ(chart->AxisHitTest(100, 300), -1);
    chart->Scale1Y()->SetScalePos(-60);  // band 90 < x < 140
    EXPECT_EQ(chart->AxisHitTest(100, 300), 1);
    EXPECT_EQ(chart->AxisHitTest(200, 300), -1);
}

TEST_F(MouseAxisBand, StartDepthIs40AndAContinuingDragReaches50)
{
    auto chart = DemoChart();
    chart->Scale1X()->SetMouseAction(maPan);
    // 45 pixels below the data area: no drag starts there.
    Press(*chart, 200, kBottom + 45);
    Move(*chart, 200, kBottom + 45);
    EXPECT_FALSE(chart->Dragging());
    Move(*chart, 210, kBottom + 45);
    ExpectRanges(*chart, {0, 100, -5, 5}, 0.0);
    Release(*chart, 210, kBottom + 45);

    // Started 19 pixels below, the drag keeps changing the axis there.
    Press(*chart, 200, kBottom + 19);
    Move(*chart, 200, kBottom + 19);
    EXPECT_TRUE(chart->Dragging());
    ExpectRanges(*chart, {0, 100, -5, 5}, 0.0);
    Move(*chart, 210, kBottom + 45);
    ExpectRanges(*chart, {-1000.0 / 377, 100 - 1000.0 / 377, -5, 5});
    // Beyond 50 pixels, or not across the data area, it stops changing.
    Move(*chart, 220, kBottom + 50);
    Move(*chart, kRight + 3, kBottom + 10);
    ExpectRanges(*chart, {-1000.0 / 377, 100 - 1000.0 / 377, -5, 5});
    Release(*chart, 220, kBottom + 50);
    EXPECT_FALSE(chart->Dragging());
}

TEST_F(MouseAxisBand, EveryLayerInTheBandMovesAndOneOnZoomPanIsRaised)
{
    auto chart = DemoChart();
    chart->Scale1Y()->SetMouseAction(maPan);
    // Layer 3 (no mouse-layer flag, invisible axis) shares the band of layer 1's Y axis.
    chart->Scale3Y()->SetScaleLocation(slLeft);
    chart->Scale3Y()->SetScalePos(0);
    chart->Scale3Y()->SetRangeLow(0);
    chart->Scale3Y()->SetRangeHigh(361);
    chart->Scale3Y()->SetMouseAction(maZoomDrag);
    std::vector<std::string> log;
    Record(*chart, log);
    DragTo(*chart, 50, 200, 50, 219);
    // Layer 1 pans: 19 pixels down shift Y by 10 * 19 / 361 up.
    ExpectRanges(*chart, {0, 100, -5 + 190.0 / 361, 5 + 190.0 / 361});
    // Layer 3 zooms about its centre: f = 19 / 421 + 1.
    const double f = 19.0 / 421 + 1;
    EXPECT_NEAR(chart->ScaleY(3)->RangeLow(), 180.5 - 180.5 * f, 1e-9);
    EXPECT_NEAR(chart->ScaleY(3)->RangeHigh(), 180.5 + 180.5 * f, 1e-9);
    EXPECT_EQ(Count(log, "OnZoomPan"), 1);
}

TEST_F(MouseAxisBand, AxisDragsApplyThePanLimits)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maPan);
    chart->Scale1X()->SetMouseAction(maPan);
    chart->SetPanLimits({0, -5, 100, 5});
    DragTo(*chart, 200, 400, 210, 400);
    ExpectRanges(*chart, {0, 100, -5, 5});
}

TEST_F(MouseAxisBand, NoAxisDragWhileAWindowIsDrawn)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maZoomWind);
    chart->Scale1X()->SetMouseAction(maPan);
    Press(*chart, 200, 300);
    Move(*chart, 200, 400);  // anchors on the band
    Move(*chart, 250, 400);
    ExpectRanges(*chart, {0, 100, -5, 5}, 0.0);
}

TEST_F(MouseAxisBand, ADragStartedOnTheBandContinuesAsTheChartActionFromThatAnchor)
{
    // The demo: axis objects keep maNone, the chart pans.
    auto chart = DemoChart();
    chart->SetMouseAction(maPan);
    std::vector<std::string> log;
    Record(*chart, log);
    Press(*chart, 200, 400);
    Move(*chart, 200, 400);
    EXPECT_TRUE(chart->Dragging());
    Move(*chart, 210, 400);  // still outside the data area
    ExpectRanges(*chart, {0, 100, -5, 5}, 0.0);
    EXPECT_EQ(Count(log, "OnZoomPan"), 0);
    Move(*chart, 220, 300);
    ExpectRanges(*chart, {-2000.0 / 377, 100 - 2000.0 / 377, -5 - 1000.0 / 361, 5 - 1000.0 / 361});
}

// ----------------------------------------------------------- event order

TEST_F(MouseEventOrder, PanGesture)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maPan);
    std::vector<std::string> log;
    Record(*chart, log);
    Drag(*chart, 200, 200, 210, 200);
    EXPECT_EQ(log, (std::vector<std::string>{"OnMouseDown", "OnMouseMove", "OnMouseMoveInChart", "OnMouseMove",
                                             "Paint", "OnZoomPan", "OnMouseMoveInChart", "OnMouseUp"}));
}

TEST_F(MouseEventOrder, AxisBandDragComesBeforeTheActionsEvents)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maPan);
    chart->Scale1X()->SetMouseAction(maPan);
    std::vector<std::string> log;
    Record(*chart, log);
    Press(*chart, 200, 400);
    Move(*chart, 200, 400);
    log.clear();
    Move(*chart, 210, 400);
    EXPECT_EQ(log, (std::vector<std::string>{"OnMouseMove", "Paint", "OnZoomPan", "OnMouseMoveInChart"}));
}

TEST_F(MouseEventOrder, WindowRelease)
{
    struct Row {
        TMouseActMode action;
        std::vector<std::string> release;
    };
    const Row rows[] = {
        {maSelectRect, {"OnSelectRect", "OnZoomPan", "Paint", "OnMouseUp"}},
        {maRubberBand, {"OnRubberBand", "OnZoomPan", "Paint", "OnMouseUp"}},
        {maZoomWind, {"OnZoomPan", "Paint", "OnMouseUp"}},
        {maZoomWindPos, {"OnZoomPan", "Paint", "OnMouseUp"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.action));
        auto chart = DemoChart();
        chart->SetMouseAction(row.action);
        std::vector<std::string> log;
        Record(*chart, log);
        Press(*chart, 100, 100);
        EXPECT_EQ(log, (std::vector<std::string>{"OnMouseDown"}));
        Move(*chart, 200, 200);
        log.clear();
        Release(*chart, 200, 200);
        EXPECT_EQ(log, row.release);
    }
}

// ------------------------------------------------------ pointer tracking

TEST_F(MousePointerTracking, ReportsTheWorldPointAndWhetherItIsInTheDataArea)
{
    struct Row {
        int x, y;
        bool inChart;
        double wx, wy;
    };
    const Row rows[] = {
        {80, 20, true, 0, 5},
        {79, 20, false, -100.0 / 377, 5},  // -0.2652...
        {kRight, kBottom, true, 100, -5},
        {kRight + 1, kBottom, false, 100 + 100.0 / 377, -5},
        {200, kBottom + 1, false, WorldX(200), -5 - 10.0 / 361},
        {-30, -40, false, WorldX(-30), WorldY(-40)},
    };
    auto chart = DemoChart();
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
        int calls = 0;
        chart->OnMouseMoveInChart = [&](TObject* sender, bool inChart, TShiftState shift, double wx, double wy) {
            ++calls;
            EXPECT_EQ(sender, chart.get());
            EXPECT_EQ(inChart, row.inChart);
            EXPECT_TRUE(shift.Contains(ssShift));
            EXPECT_FALSE(shift.Contains(ssLeft));
            EXPECT_NEAR(wx, row.wx, 1e-9);
            EXPECT_NEAR(wy, row.wy, 1e-9);
        };
        QMouseEvent event(QEvent::MouseMove, QPointF(row.x, row.y), QPointF(row.x, row.y), Qt::NoButton,
                          Qt::NoButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(chart.get(), &event);
        EXPECT_EQ(calls, 1);
    }
}

TEST_F(MousePointerTracking, TheReportedPointIsInTheViewAfterThePan)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maPan);
    double reported = -1;
    chart->OnMouseMoveInChart = [&](TObject*, bool, TShiftState, double wx, double) { reported = wx; };
    DragTo(*chart, 200, 200, 230, 200);
    EXPECT_NEAR(reported, WorldX(200), 1e-9);  // the point grabbed at the anchor
}

TEST_F(MousePointerTracking, ANestedPointerMoveIsDropped)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maPan);
    std::vector<std::string> log;
    Record(*chart, log);
    bool nested = false;
    // A handler that processes a pending pointer move while the first is handled.
    chart->OnZoomPan = [&](TObject*) {
        log.push_back("OnZoomPan");
        if (!nested) {
            nested = true;
            Move(*chart, 300, 300);
        }
    };
    int moves = 0;
    chart->OnMouseMove = [&](TObject*, TShiftState, int, int) {
        log.push_back("OnMouseMove");
        if (++moves == 1) Move(*chart, 250, 250);
    };
    DragTo(*chart, 200, 200, 210, 200);
    EXPECT_TRUE(nested);
    EXPECT_EQ(log, (std::vector<std::string>{"OnMouseDown", "OnMouseMove", "OnMouseMoveInChart", "OnMouseMove",
                                             "Paint", "OnZoomPan", "OnMouseMoveInChart"}));
    ExpectRanges(*chart, {-1000.0 / 377, 100 - 1000.0 / 377, -5, 5});
}

TEST_F(MousePointerTracking, TheGuardIsClearedWhenAHandlerThrows)
{
    auto chart = DemoChart();
    int moves = 0;
    chart->OnMouseMove = [&](TObject*, TShiftState, int, int) {
        if (++moves == 1) throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(chart->WMMouseMove({}, 100, 100), std::runtime_error);
    chart->WMMouseMove({}, 110, 100);
    EXPECT_EQ(moves, 2);
}

TEST_F(MousePointerTracking, EnterAndLeaveAreReported)
{
    auto chart = DemoChart();
    std::vector<std::string> log;
    chart->OnMouseEnter = [&](TObject* sender) { log.push_back(sender == chart.get() ? "OnMouseEnter" : "?"); };
    chart->OnMouseLeave = [&](TObject* sender) { log.push_back(sender == chart.get() ? "OnMouseLeave" : "?"); };
    QEnterEvent enter(QPointF(100, 100), QPointF(100, 100), QPointF(100, 100));
    QCoreApplication::sendEvent(chart.get(), &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(chart.get(), &leave);
    EXPECT_EQ(log, (std::vector<std::string>{"OnMouseEnter", "OnMouseLeave"}));
}

TEST_F(MousePointerTracking, ArrowKeysAndTabStayWithTheChart)
{
    auto chart = DemoChart();
    for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Tab}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        event.ignore();
        QCoreApplication::sendEvent(chart.get(), &event);
        EXPECT_TRUE(event.isAccepted()) << key;
    }
    // Other keys go their usual way.
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(chart.get(), &other);
    EXPECT_FALSE(other.isAccepted());
}
