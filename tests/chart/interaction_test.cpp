// The chart's opt-in interactions: wheel zoom about the pointer, keyboard
// pans and gesture cancelling, walking the zoom history; focus and keys in a
// shown window; a soak of random gestures with everything switched on.
#include "chart/Qorn_kurvo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

// Demo geometry: data area x 80 ... 457, y 20 ... 381; layer 1 X 0 ... 100, Y -5 ... 5.
std::unique_ptr<TKurvo> DemoChart()
{
    auto chart = std::make_unique<TKurvo>();
    chart->SetMarginLeft(80);
    chart->SetMarginRight(16);
    chart->SetMarginTop(20);
    chart->SetMarginBottom(40);
    chart->SetBounds(0, 0, 473, 421);
    chart->Scale1X()->SetRangeLow(0);
    chart->Scale1X()->SetRangeHigh(100);
    chart->Scale1Y()->SetRangeLow(-5);
    chart->Scale1Y()->SetRangeHigh(5);
    chart->HandleNeeded();
    // The start view is the first one of the history.
    chart->ClearZoomHistory();
    return chart;
}

void Mouse(TKurvo& chart, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x, int y)
{
    QMouseEvent event(type, QPointF(x, y), chart.mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&chart, &event);
}

// A left-button drag: press, the anchoring move, the move to the end, release.
void Drag(TKurvo& chart, int x0, int y0, int x1, int y1)
{
    Mouse(chart, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, x0, y0);
    Mouse(chart, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, x0, y0);
    Mouse(chart, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, x1, y1);
    Mouse(chart, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, x1, y1);
}

bool Wheel(TKurvo& chart, int x, int y, int delta)
{
    QWheelEvent event(QPointF(x, y), chart.mapToGlobal(QPointF(x, y)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    event.ignore();
    QApplication::sendEvent(&chart, &event);
    return event.isAccepted();
}

bool Key(TKurvo& chart, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, mods);
    event.ignore();
    QApplication::sendEvent(&chart, &event);
    return event.isAccepted();
}

struct TRanges {
    double xLow, xHigh, yLow, yHigh;
    friend bool operator==(const TRanges&, const TRanges&) = default;
};

TRanges RangesOf(const TKurvo& chart, int layer = 1)
{
    return {chart.ScaleX(layer)->RangeLow(), chart.ScaleX(layer)->RangeHigh(), chart.ScaleY(layer)->RangeLow(),
            chart.ScaleY(layer)->RangeHigh()};
}

std::string Text(const TRanges& r)
{
    return std::to_string(r.xLow) + ".." + std::to_string(r.xHigh) + " / " + std::to_string(r.yLow) + ".." +
           std::to_string(r.yHigh);
}

void ExpectNear(const TRanges& actual, const TRanges& expected, double tol = 1e-9)
{
    EXPECT_NEAR(actual.xLow, expected.xLow, tol);
    EXPECT_NEAR(actual.xHigh, expected.xHigh, tol);
    EXPECT_NEAR(actual.yLow, expected.yLow, tol);
    EXPECT_NEAR(actual.yHigh, expected.yHigh, tol);
}

// Span in the space where the axis is linear.
double Span(const TScaleProps& a)
{
    return a.Logarithmic() ? std::log(a.RangeHigh()) - std::log(a.RangeLow()) : a.RangeHigh() - a.RangeLow();
}

void LogX(TKurvo& c)
{
    c.Scale1X()->SetRangeLow(1);
    c.Scale1X()->SetRangeHigh(1000);
    c.Scale1X()->SetLogarithmic(true);
}

// ------------------------------------------------------------- wheel zoom

TEST(WheelZoom, KeepsTheWorldPointUnderThePointerAndZoomsOnlyWhatIsUnderIt)
{
    struct Row {
        const char* name;
        std::function<void(TKurvo&)> setup;
        int x, y, delta;
        bool zoomX, zoomY;
    };
    const std::vector<Row> rows = {
        {"data area", nullptr, 200, 150, 120, true, true},
        {"zoom out", nullptr, 300, 300, -240, true, true},
        {"reversed X", [](TKurvo& c) { c.Scale1X()->SetRangeLow(100), c.Scale1X()->SetRangeHigh(0); }, 150, 100, 120,
         true, true},
        {"logarithmic X", LogX, 400, 200, 360, true, true},
        {"X axis band", nullptr, 200, 400, 120, true, false},
        {"Y axis band", nullptr, 50, 200, 120, false, true},
        {"log X axis band", LogX, 120, 400, -120, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto chart = DemoChart();
        if (row.setup) row.setup(*chart);
        chart->SetWheelZoom(true);
        int zoomPans = 0;
        chart->OnZoomPan = [&](TObject*) { ++zoomPans; };
        double wx0, wy0;
        chart->PixelToWorld(1, row.x, row.y, wx0, wy0);
        const double spanX = Span(*chart->Scale1X());
        const double spanY = Span(*chart->Scale1Y());
        const TRanges before = RangesOf(*chart);

        EXPECT_TRUE(Wheel(*chart, row.x, row.y, row.delta));
        const double factor = std::pow(1.25, -row.delta / 120.0);
        double wx1, wy1;
        chart->PixelToWorld(1, row.x, row.y, wx1, wy1);
        const TRanges after = RangesOf(*chart);
        if (row.zoomX) {
            EXPECT_NEAR(Span(*chart->Scale1X()), spanX * factor, 1e-9 * std::fabs(spanX));
            EXPECT_NEAR(wx1, wx0, 1e-9 * std::max(1.0, std::fabs(wx0)));
        } else {
            EXPECT_EQ(after.xLow, before.xLow);
            EXPECT_EQ(after.xHigh, before.xHigh);
        }
        if (row.zoomY) {
            EXPECT_NEAR(Span(*chart->Scale1Y()), spanY * factor, 1e-9 * std::fabs(spanY));
            EXPECT_NEAR(wy1, wy0, 1e-9 * std::max(1.0, std::fabs(wy0)));
        } else {
            EXPECT_EQ(after.yLow, before.yLow);
            EXPECT_EQ(after.yHigh, before.yHigh);
        }
        EXPECT_EQ(zoomPans, 1);
    }
}

TEST(WheelZoom, IsOffByDefaultAndLeavesOtherPlacesAlone)
{
    auto chart = DemoChart();
    const TRanges start = RangesOf(*chart);
    EXPECT_FALSE(Wheel(*chart, 200, 150, 120));  // off: the parent gets the wheel
    chart->SetWheelZoom(true);
    EXPECT_FALSE(Wheel(*chart, 5, 5, 120));  // neither data area nor an axis band
    EXPECT_EQ(RangesOf(*chart), start);
    // A handler that takes the wheel keeps the chart from zooming.
    chart->OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; };
    EXPECT_TRUE(Wheel(*chart, 200, 150, 120));
    EXPECT_EQ(RangesOf(*chart), start);
}

TEST(WheelZoom, StopsAtMinRangeAtPanLimitsAndBeforeUnusableRanges)
{
    auto chart = DemoChart();
    chart->SetWheelZoom(true);
    chart->Scale1X()->SetMinRange(1.0);
    for (int i = 0; i < 100; ++i) Wheel(*chart, 200, 150, 1200);
    EXPECT_GE(chart->Scale1X()->RangeHigh() - chart->Scale1X()->RangeLow(), 0.99);
    // Y has no MinRange: it stops where the span no longer tells values apart.
    const TRanges in = RangesOf(*chart);
    EXPECT_GT(in.yHigh, in.yLow) << Text(in);

    for (int i = 0; i < 3000; ++i) Wheel(*chart, 200, 150, INT_MIN);
    const TRanges out = RangesOf(*chart);
    for (double v : {out.xLow, out.xHigh, out.yLow, out.yHigh}) {
        EXPECT_TRUE(std::isfinite(v)) << Text(out);
        EXPECT_LE(std::fabs(v), 1e200) << Text(out);
    }
    EXPECT_GT(out.xHigh - out.xLow, 1e100);

    auto limited = DemoChart();
    limited->SetWheelZoom(true);
    limited->SetPanLimits({0.0, -10.0, 120.0, 10.0});
    for (int i = 0; i < 20; ++i) Wheel(*limited, 200, 150, -120);
    ExpectNear(RangesOf(*limited), {0.0, 120.0, -10.0, 10.0});
}

// ------------------------------------------------------------ arrow keys

TEST(KeyboardActions, ArrowsPanByATenthOfTheRange)
{
    struct Row {
        const char* name;
        std::function<void(TKurvo&)> setup;
        int key;
        TRanges expected;
    };
    const double f = std::pow(10.0, 0.3);  // a tenth of three decades
    const std::vector<Row> rows = {
        {"right", nullptr, Qt::Key_Right, {10, 110, -5, 5}},
        {"left", nullptr, Qt::Key_Left, {-10, 90, -5, 5}},
        {"up", nullptr, Qt::Key_Up, {0, 100, -4, 6}},
        {"down", nullptr, Qt::Key_Down, {0, 100, -6, 4}},
        {"reversed X, right", [](TKurvo& c) { c.Scale1X()->SetRangeLow(100), c.Scale1X()->SetRangeHigh(0); },
         Qt::Key_Right, {90, -10, -5, 5}},
        {"logarithmic X, right", LogX, Qt::Key_Right, {f, 1000 * f, -5, 5}},
        {"stopped by a pan limit", [](TKurvo& c) { c.SetPanLimits({0.0, -5.0, 105.0, 5.0}); }, Qt::Key_Right,
         {5, 105, -5, 5}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto chart = DemoChart();
        if (row.setup) row.setup(*chart);
        const TRanges start = RangesOf(*chart);
        Key(*chart, row.key);
        EXPECT_EQ(RangesOf(*chart), start);  // off by default
        chart->SetKeyboardActions(true);
        int zoomPans = 0;
        chart->OnZoomPan = [&](TObject*) { ++zoomPans; };
        EXPECT_TRUE(Key(*chart, row.key));
        ExpectNear(RangesOf(*chart), row.expected, 1e-9 * std::max(1.0, std::fabs(row.expected.xHigh)));
        EXPECT_EQ(zoomPans, 1);
    }
}

TEST(KeyboardActions, EscapeCancelsAWindowGestureAndErasesItsFigure)
{
    for (TMouseActMode action : {maZoomWind, maZoomWindPos, maRubberBand, maSelectRect}) {
        SCOPED_TRACE(action);
        auto chart = DemoChart();
        chart->SetMouseAction(action);
        chart->SetKeyboardActions(true);
        std::vector<std::string> log;
        chart->OnZoomPan = [&](TObject*) { log.push_back("OnZoomPan"); };
        chart->OnSelectRect = [&](TObject*, int, double, double, double, double) { log.push_back("OnSelectRect"); };
        chart->OnRubberBand = [&](TObject*, int, double, double, double, double) { log.push_back("OnRubberBand"); };
        EXPECT_FALSE(Key(*chart, Qt::Key_Escape));  // nothing to cancel: Escape goes on
        const QImage before = chart->WindowImage();
        const TRanges start = RangesOf(*chart);

        Mouse(*chart, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, 150, 100);
        Mouse(*chart, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, 150, 100);
        Mouse(*chart, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, 300, 250);
        ASSERT_NE(chart->WindowImage(), before);
        EXPECT_TRUE(Key(*chart, Qt::Key_Escape));
        EXPECT_EQ(chart->ZoomState(), zsNormal);
        EXPECT_EQ(chart->WindowImage(), before);
        // The rest of the gesture does nothing.
        Mouse(*chart, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, 320, 260);
        Mouse(*chart, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, 320, 260);
        EXPECT_EQ(chart->WindowImage(), before);
        EXPECT_EQ(RangesOf(*chart), start);
        EXPECT_TRUE(log.empty());
    }
}

// ------------------------------------------------------------ zoom history

TEST(ZoomHistoryWalk, UndoAndRedoWalkTheRecordedViews)
{
    auto chart = DemoChart();
    chart->SetMouseAction(maZoomWindPos);
    const TRanges a = RangesOf(*chart);
    EXPECT_FALSE(chart->CanUndoZoom());
    EXPECT_FALSE(chart->UndoZoom());
    Drag(*chart, 100, 50, 400, 300);
    const TRanges b = RangesOf(*chart);
    Drag(*chart, 150, 100, 300, 200);
    const TRanges c = RangesOf(*chart);
    int zoomPans = 0;
    chart->OnZoomPan = [&](TObject*) { ++zoomPans; };

    EXPECT_FALSE(chart->CanRedoZoom());
    ASSERT_TRUE(chart->UndoZoom());
    EXPECT_EQ(RangesOf(*chart), b);
    ASSERT_TRUE(chart->UndoZoom());
    EXPECT_EQ(RangesOf(*chart), a);
    EXPECT_FALSE(chart->CanUndoZoom());
    EXPECT_FALSE(chart->UndoZoom());
    EXPECT_TRUE(chart->CanRedoZoom());
    ASSERT_TRUE(chart->RedoZoom());
    EXPECT_EQ(RangesOf(*chart), b);
    ASSERT_TRUE(chart->RedoZoom());
    EXPECT_EQ(RangesOf(*chart), c);
    EXPECT_FALSE(chart->RedoZoom());
    EXPECT_EQ(zoomPans, 4);

    // Backspace walks too, once keyboard actions are on.
    chart->SetKeyboardActions(true);
    EXPECT_TRUE(Key(*chart, Qt::Key_Backspace));
    EXPECT_EQ(RangesOf(*chart), b);
    EXPECT_TRUE(Key(*chart, Qt::Key_Backspace, Qt::ShiftModifier));
    EXPECT_EQ(RangesOf(*chart), c);

    // A zoom after an undo drops the views undone and follows the view it started from.
    Key(*chart, Qt::Key_Backspace);
    Drag(*chart, 200, 100, 250, 150);
    const TRanges d = RangesOf(*chart);
    EXPECT_FALSE(chart->CanRedoZoom());
    ASSERT_TRUE(chart->UndoZoom());
    EXPECT_EQ(RangesOf(*chart), b);
    ASSERT_TRUE(chart->UndoZoom());
    EXPECT_EQ(RangesOf(*chart), a);
    ASSERT_TRUE(chart->RedoZoom());
    ASSERT_TRUE(chart->RedoZoom());
    EXPECT_EQ(RangesOf(*chart), d);  // c is no longer on the way
    EXPECT_FALSE(chart->RedoZoom());
}

TEST(ZoomHistoryWalk, AWheelRunIsOneStepAndUnrecordedViewsCanBeReturnedTo)
{
    auto chart = DemoChart();
    chart->SetWheelZoom(true);
    const TRanges a = RangesOf(*chart);
    const int next = chart->ZoomHistoryNext();
    for (int i = 0; i < 5; ++i) Wheel(*chart, 200, 150, 120);
    const TRanges w = RangesOf(*chart);
    EXPECT_EQ(chart->ZoomHistoryNext(), next);  // the start view was recorded already
    ASSERT_TRUE(chart->UndoZoom());
    EXPECT_EQ(RangesOf(*chart), a);
    ASSERT_TRUE(chart->RedoZoom());
    EXPECT_EQ(RangesOf(*chart), w);

    // A range set by code is not recorded; undo records it first.
    chart->Scale1X()->SetRangeHigh(50);
    const TRanges code = RangesOf(*chart);
    ASSERT_TRUE(chart->UndoZoom());
    EXPECT_EQ(RangesOf(*chart), w);
    ASSERT_TRUE(chart->RedoZoom());
    EXPECT_EQ(RangesOf(*chart), code);

    // A press after a wheel run records where the run ended.
    for (int i = 0; i < 3; ++i) Wheel(*chart, 200, 150, -120);
    const TRanges w2 = RangesOf(*chart);
    chart->SetMouseAction(maPan);
    Drag(*chart, 200, 150, 250, 150);
    ASSERT_TRUE(chart->UndoZoom());
    EXPECT_EQ(RangesOf(*chart), w2);
}

TEST(ZoomHistoryWalk, GoesBackAtMostOnceRoundTheRing)
{
    auto chart = DemoChart();
    for (int i = 1; i <= 40; ++i) chart->SetLayerRanges(1, true, i, -5, 100 + i, 5, false);
    int steps = 0;
    while (chart->UndoZoom() && steps < 100) ++steps;
    EXPECT_EQ(steps, ZoomHistorySize - 1);
    EXPECT_EQ(chart->Scale1X()->RangeLow(), 40 - (ZoomHistorySize - 1));
    int redone = 0;
    while (chart->RedoZoom() && redone < 100) ++redone;
    EXPECT_EQ(redone, ZoomHistorySize - 1);
    EXPECT_EQ(chart->Scale1X()->RangeLow(), 40);
}

// An interaction handler may clear its own event: the running handler and
// what it captured live to the end of its call (cleared through the member,
// they were destroyed under it).
TEST(InteractionEvents, AHandlerMayClearItsOwnEvent)
{
    struct TWatch {
        bool* Destroyed;
        ~TWatch() { *Destroyed = true; }
    };
    using TInstall = void (*)(TKurvo&, std::shared_ptr<TWatch>, bool&);
    using TRaise = void (*)(TKurvo&);
    const struct {
        const char* Name;
        TInstall Install;
        TRaise Raise;
    } rows[] = {
        {"OnZoomPan",
         [](TKurvo& c, std::shared_ptr<TWatch> w, bool& seen) {
             c.OnZoomPan = [&c, w, &seen](TObject*) { c.OnZoomPan = nullptr; seen = *w->Destroyed; };
         },
         [](TKurvo& c) {
             c.SetMouseAction(maZoomWindPos);
             Drag(c, 100, 50, 400, 300);
         }},
        {"OnMouseMoveInChart",
         [](TKurvo& c, std::shared_ptr<TWatch> w, bool& seen) {
             c.OnMouseMoveInChart = [&c, w, &seen](TObject*, bool, TShiftState, double, double) {
                 c.OnMouseMoveInChart = nullptr;
                 seen = *w->Destroyed;
             };
         },
         [](TKurvo& c) { Mouse(c, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, 200, 200); }},
        {"OnMouseEnter",
         [](TKurvo& c, std::shared_ptr<TWatch> w, bool& seen) {
             c.OnMouseEnter = [&c, w, &seen](TObject*) { c.OnMouseEnter = nullptr; seen = *w->Destroyed; };
         },
         [](TKurvo& c) {
             QEnterEvent event(QPointF(200, 200), QPointF(200, 200), c.mapToGlobal(QPointF(200, 200)));
             QApplication::sendEvent(&c, &event);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        auto chart = DemoChart();
        bool destroyed = false, destroyedInCall = true;
        row.Install(*chart, std::make_shared<TWatch>(&destroyed), destroyedInCall);
        row.Raise(*chart);
        EXPECT_FALSE(destroyedInCall);
        EXPECT_TRUE(destroyed);  // released once the call returned
    }
}

TEST(ZoomHistoryWalk, StartsWithTheFirstViewShown)
{
    struct Row {
        const char* name;
        std::function<void(TKurvo&)> beforeShow;  // besides setting the ranges
        std::function<void(TKurvo&)> gesture;
    };
    const std::vector<Row> rows = {
        {"wheel", nullptr, [](TKurvo& c) { Wheel(c, 200, 150, 240); }},
        {"pan", nullptr, [](TKurvo& c) { c.SetMouseAction(maPan), Drag(c, 200, 150, 260, 120); }},
        {"zoom window", nullptr, [](TKurvo& c) { c.SetMouseAction(maZoomWindPos), Drag(c, 100, 50, 300, 200); }},
        {"arrow keys", nullptr, [](TKurvo& c) { Key(c, Qt::Key_Left), Key(c, Qt::Key_Up); }},
        {"a view recorded before the first paint", [](TKurvo& c) { c.SetLayerRanges(1, true, 10, -1, 20, 1, false); },
         [](TKurvo& c) { Wheel(c, 200, 150, -120); }},
        // A grab is a picture, not a view the user has seen.
        {"a grab before the first show", [](TKurvo& c) { c.grab(); }, [](TKurvo& c) { Wheel(c, 200, 150, 240); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget window;
        window.resize(480, 430);
        auto* chart = new TKurvo(&window);
        chart->SetBounds(0, 0, 473, 421);
        chart->SetWheelZoom(true);
        chart->SetKeyboardActions(true);
        if (row.beforeShow) row.beforeShow(*chart);
        // Ranges the program sets before the chart is seen are no view of the history.
        chart->Scale1X()->SetRangeHigh(100);
        chart->Scale1Y()->SetRangeLow(-5);
        chart->Scale1Y()->SetRangeHigh(5);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        chart->repaint();
        const TRanges shown = RangesOf(*chart);

        row.gesture(*chart);
        const TRanges changed = RangesOf(*chart);
        ASSERT_FALSE(changed == shown);
        ASSERT_TRUE(chart->UndoZoom());
        EXPECT_EQ(RangesOf(*chart), shown);
        EXPECT_FALSE(chart->CanUndoZoom());
        EXPECT_FALSE(chart->UndoZoom());
        EXPECT_EQ(RangesOf(*chart), shown);
        ASSERT_TRUE(chart->RedoZoom());
        EXPECT_EQ(RangesOf(*chart), changed);
    }
}

// ------------------------------------------------------- a shown window

TEST(ChartInAWindow, AClickTakesTheFocusAndTabAndArrowsReachTheChart)
{
    QWidget window;
    window.resize(480, 460);
    auto* button = new QPushButton("button", &window);
    button->setGeometry(0, 0, 80, 24);
    auto* chart = new TKurvo(&window);
    chart->SetMarginLeft(80);
    chart->SetBounds(0, 30, 473, 421);
    chart->Scale1X()->SetRangeLow(0);
    chart->Scale1X()->SetRangeHigh(100);
    std::vector<int> keys;
    chart->OnKeyDown = [&](TObject*, int& key, TShiftState) { keys.push_back(key); };
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());

    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_TRUE(chart->hasFocus());
    QTest::keyClick(window.windowHandle(), Qt::Key_Tab);
    EXPECT_TRUE(chart->hasFocus());  // Tab stays with the chart
    chart->SetKeyboardActions(true);
    QTest::keyClick(window.windowHandle(), Qt::Key_Right);
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_Tab, Qt::Key_Right}));
    EXPECT_DOUBLE_EQ(chart->Scale1X()->RangeLow(), 10.0);
}

TEST(ChartInAWindow, TabReachesAndLeavesTheChartWhileKeyboardActionsAreOn)
{
    for (const bool actions : {false, true}) {
        SCOPED_TRACE(actions ? "keyboard actions on" : "keyboard actions off");
        QWidget window;
        window.resize(480, 500);
        auto* before = new QPushButton("before", &window);
        before->setGeometry(0, 0, 80, 24);
        auto* chart = new TKurvo(&window);
        chart->SetBounds(0, 30, 473, 421);
        auto* after = new QPushButton("after", &window);
        after->setGeometry(100, 460, 80, 24);
        std::vector<int> keys;
        chart->OnKeyDown = [&](TObject*, int& key, TShiftState) { keys.push_back(key); };
        chart->SetKeyboardActions(actions);
        EXPECT_EQ(chart->focusPolicy(), actions ? Qt::StrongFocus : Qt::ClickFocus);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        before->setFocus();

        QTest::keyClick(window.windowHandle(), Qt::Key_Tab);
        EXPECT_EQ(chart->hasFocus(), actions);
        EXPECT_EQ(after->hasFocus(), !actions);
        if (!actions) continue;
        // The chart sees Tab first; unused, it moves the focus on.
        QTest::keyClick(window.windowHandle(), Qt::Key_Tab);
        EXPECT_TRUE(after->hasFocus());
        EXPECT_EQ(keys, std::vector<int>{Qt::Key_Tab});
        QTest::keyClick(window.windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_TRUE(chart->hasFocus());
        QTest::keyClick(window.windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_TRUE(before->hasFocus());
        // A Tab a handler used stays with the chart.
        chart->setFocus();
        chart->OnKeyDown = [](TObject*, int& key, TShiftState) { key = 0; };
        QTest::keyClick(window.windowHandle(), Qt::Key_Tab);
        EXPECT_TRUE(chart->hasFocus());
        // Switched off again, a click alone gives the focus.
        chart->SetKeyboardActions(false);
        EXPECT_EQ(chart->focusPolicy(), Qt::ClickFocus);
    }
}

TEST(ChartInAWindow, OnResizeComesWhenTheChartFitsItsNewSizeAndARefusedSizeKeepsTheBounds)
{
    auto chart = DemoChart();
    std::vector<std::string> log;
    chart->OnCanResize = [&](TObject*, int& w, int& h, bool& resize) {
        log.push_back("OnCanResize " + std::to_string(w) + "x" + std::to_string(h));
        resize = w < 1000;
    };
    chart->OnResize = [&](TObject*) {
        int x, y;
        chart->WorldToPixel(1, 100, -5, x, y);  // the data area's lower right corner
        log.push_back("OnResize " + std::to_string(x) + "," + std::to_string(y));
    };
    chart->SetBounds(0, 0, 573, 521);
    chart->SetBounds(30, 40, 2000, 2000);
    EXPECT_EQ(log, (std::vector<std::string>{"OnCanResize 573x521", "OnResize 557,481", "OnCanResize 2000x2000"}));
    EXPECT_EQ(chart->geometry(), QRect(0, 0, 573, 521));
}

// ------------------------------------------------------------------ soak

TEST(InteractionSoak, RandomGesturesKeepEveryRangeUsable)
{
    std::vector<std::string> messages;
    TMessageHandler old = SetInfoMessageHandler([&](const std::string& text) { messages.push_back(text); });
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        auto chart = DemoChart();
        if (seed == 2) LogX(*chart);
        if (seed == 3) chart->SetPanLimits({-50.0, -20.0, 150.0, 20.0});
        chart->SetWheelZoom(true);
        chart->SetKeyboardActions(true);
        chart->Scale1X()->SetMouseAction(maZoom);
        chart->Scale1Y()->SetMouseAction(maPan);
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Escape, Qt::Key_Backspace};
        bool held = false;
        for (int i = 0; i < 1500; ++i) {
            const int x = pick(-40, 520);
            const int y = pick(-40, 470);
            switch (pick(0, 9)) {
                case 0: chart->SetMouseAction(static_cast<TMouseActMode>(pick(0, maZoomPanColors))); break;
                case 1:
                    Mouse(*chart, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, x, y);
                    held = true;
                    break;
                case 2:
                    Mouse(*chart, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, x, y);
                    held = false;
                    break;
                case 3: Wheel(*chart, x, y, pick(0, 20) == 0 ? (pick(0, 1) ? INT_MAX : INT_MIN) : pick(-360, 360)); break;
                case 4:
                    Key(*chart, keys[pick(0, 5)], pick(0, 1) ? Qt::ShiftModifier : Qt::NoModifier);
                    break;
                case 5: pick(0, 1) ? chart->UndoZoom() : chart->RedoZoom(); break;
                default: Mouse(*chart, QEvent::MouseMove, Qt::NoButton, held ? Qt::LeftButton : Qt::NoButton, x, y);
            }
            const TRanges r = RangesOf(*chart);
            ASSERT_TRUE(std::isfinite(r.xLow) && std::isfinite(r.xHigh) && std::isfinite(r.yLow) &&
                        std::isfinite(r.yHigh))
                << i << " " << Text(r);
            ASSERT_NE(r.xLow, r.xHigh) << i;
            ASSERT_NE(r.yLow, r.yHigh) << i;
            if (seed == 2) ASSERT_GT(std::min(r.xLow, r.xHigh), 0.0) << i;
        }
    }
    QApplication::processEvents();
    SetInfoMessageHandler(old);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
