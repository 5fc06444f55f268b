// Dragging on an axis: the range arithmetic AxisDragRange and the handlers
// of a stand-alone axis control.
#include "scale/Qorn_Scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

// The stand-alone axis of the examples: 400 pixels long with margins 20
// (axis length wa = ha = 360), range 0 ... 100.
struct TDrag {
    int x, y, anchorX, anchorY;
    TMouseActMode action;
    TScaleType type;
    bool logarithmic;
    double low, high;  // saved at the anchor and current
};

bool DragRange(const TDrag& d, double& newLow, double& newHigh)
{
    return AxisDragRange(d.x, d.y, d.anchorX, d.anchorY, 400, 400, 20, 20, 20, 20, d.low, d.high, d.action, d.type,
                         d.logarithmic, d.low, d.high, newLow, newHigh);
}

std::string Describe(const TDrag& d)
{
    return "action " + std::to_string(d.action) + " type " + std::to_string(d.type) +
           (d.logarithmic ? " log" : "") + " anchor " + std::to_string(d.anchorX) + "," + std::to_string(d.anchorY) +
           " pointer " + std::to_string(d.x) + "," + std::to_string(d.y);
}

}  // namespace

TEST(AxisDragRange, Examples)
{
    struct Row {
        TDrag drag;
        double low, high;
    };
    const Row rows[] = {
        // Pan keeps the span; dragging right lowers a horizontal range, dragging down raises a vertical one.
        {{236, 50, 200, 50, maPan, sctXB, false, 0, 100}, -10, 90},
        {{164, 50, 200, 50, maPan, sctXT, false, 0, 100}, 10, 110},
        {{50, 236, 50, 200, maPan, sctYR, false, 0, 100}, 10, 110},
        {{50, 164, 50, 200, maPan, sctYL, false, 0, 100}, -10, 90},
        // Zoom, right half: 0 stays and the 75 under x 290 comes under x 155.
        {{155, 50, 290, 50, maZoom, sctXB, false, 0, 100}, 0, 200},
        // Zoom, left half: 100 stays and the 25 under x 110 comes under x 245.
        {{245, 50, 110, 50, maZoom, sctXB, false, 0, 100}, -100, 100},
        // Vertical zoom, lower half: the high end (top) stays.
        {{50, 155, 50, 290, maZoom, sctYR, false, 0, 100}, -100, 100},
        // Vertical zoom, upper half: the low end (bottom) stays.
        {{50, 245, 50, 110, maZoom, sctYR, false, 0, 100}, 0, 200},
        // Zoom drag about the centre, relative to the whole control: f = 1.25.
        {{100, 50, 200, 50, maZoomDrag, sctXB, false, 0, 100}, -12.5, 112.5},
        {{50, 300, 50, 200, maZoomDrag, sctYR, false, 0, 100}, -12.5, 112.5},
        {{300, 50, 200, 50, maZoomDrag, sctXT, false, 0, 100}, 12.5, 87.5},
        // Logarithmic zoom drag with f = 1 keeps 1 ... 100 (G = 10, R = 10).
        {{200, 50, 200, 50, maZoomDrag, sctXB, true, 1, 100}, 1, 100},
        {{200, 50, 200, 50, maZoomDrag, sctYL, true, 1, 100}, 1, 100},
        // Logarithmic pan: a tenth of the axis shifts two decades by 0.2 of a decade.
        {{236, 50, 200, 50, maPan, sctXB, true, 1, 100}, std::pow(10.0, -0.2), std::pow(10.0, 1.8)},
        {{50, 236, 50, 200, maPan, sctYR, true, 1, 100}, std::pow(10.0, 0.2), std::pow(10.0, 2.2)},
        // Logarithmic zoom drag with f = 1.5: three decades about G = 10.
        {{0, 50, 200, 50, maZoomDrag, sctXB, true, 1, 100}, std::pow(10.0, -0.5), std::pow(10.0, 2.5)},
        // A reversed range pans the other way round.
        {{236, 50, 200, 50, maPan, sctXB, false, 100, 0}, 110, 10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Describe(row.drag));
        double low = -1, high = -1;
        EXPECT_TRUE(DragRange(row.drag, low, high));
        EXPECT_NEAR(low, row.low, 1e-9 * (1 + std::fabs(row.low)));
        EXPECT_NEAR(high, row.high, 1e-9 * (1 + std::fabs(row.high)));
    }
}

TEST(AxisDragRange, PointerAtTheAnchorKeepsTheRange)
{
    for (TMouseActMode action : {maPan, maZoom, maZoomDrag})
        for (TScaleType type : {sctXB, sctXT, sctYL, sctYR})
            for (bool logarithmic : {false, true})
                for (int at : {60, 300}) {  // both halves for maZoom
                    const TDrag d{at, at, at, at, action, type, logarithmic, 2, 50};
                    SCOPED_TRACE(Describe(d));
                    double low = -1, high = -1;
                    ASSERT_TRUE(DragRange(d, low, high));
                    EXPECT_NEAR(low, 2, 1e-12);
                    EXPECT_NEAR(high, 50, 1e-12);
                }
}

TEST(AxisDragRange, LogarithmicZoomKeepsTheFixedEndAndZoomsOutTowardsIt)
{
    struct Row {
        TDrag drag;
        bool fixesHigh;
    };
    const Row rows[] = {
        {{155, 50, 290, 50, maZoom, sctXB, true, 1, 100}, false},  // right half, towards the fixed low end
        {{330, 50, 110, 50, maZoom, sctXB, true, 1, 100}, true},   // left half, towards the fixed high end
        {{50, 30, 50, 290, maZoom, sctYR, true, 1, 100}, true},    // lower half, towards the top
        {{50, 370, 50, 110, maZoom, sctYR, true, 1, 100}, false},  // upper half, towards the bottom
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Describe(row.drag));
        double low = -1, high = -1;
        ASSERT_TRUE(DragRange(row.drag, low, high));
        if (row.fixesHigh) {
            EXPECT_EQ(high, 100.0);
            EXPECT_LT(low, 1.0);
        } else {
            EXPECT_EQ(low, 1.0);
            EXPECT_GT(high, 100.0);
        }
    }
    // Right half, moved right by a tenth of the axis: 10 * 10^(0.9), as G * exp(ln R * (-0.1 + 1)).
    double low = -1, high = -1;
    ASSERT_TRUE(DragRange({326, 50, 290, 50, maZoom, sctXB, true, 1, 100}, low, high));
    EXPECT_EQ(low, 1.0);
    EXPECT_NEAR(high, std::pow(10.0, 1.9), 1e-9);
}

TEST(AxisDragRange, OtherActionsAreInertAndLeaveTheOutputs)
{
    for (int a = maNone; a <= maZoomPanColors; ++a) {
        const auto action = static_cast<TMouseActMode>(a);
        if (action == maPan || action == maZoom || action == maZoomDrag) continue;
        SCOPED_TRACE(a);
        double low = 123, high = 456;
        EXPECT_FALSE(DragRange({236, 50, 200, 50, action, sctXB, false, 0, 100}, low, high));
        EXPECT_EQ(low, 123);
        EXPECT_EQ(high, 456);
    }
}

TEST(AxisDragRange, NoRangeWithoutAnAxisLengthOrANumber)
{
    // An axis without length, a pointer on the fixed end of a zoom, a
    // logarithmic axis with a bound <= 0: no division by zero and no NaN
    // reaches the outputs.
    struct Row {
        int width, x, anchorX;
        TMouseActMode action;
        bool logarithmic;
        double low, high;
    };
    const Row rows[] = {
        {40, 25, 21, maPan, false, 0, 100},      {40, 25, 21, maZoom, true, 1, 100},
        {0, 25, 21, maZoomDrag, false, 0, 100},  {400, 20, 290, maZoom, false, 0, 100},
        {400, 236, 200, maZoomDrag, true, -1, 100}, {400, 236, 200, maPan, true, 0, 100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "width " << row.width << " action " << int(row.action));
        double low = 123, high = 456;
        EXPECT_FALSE(AxisDragRange(row.x, 50, row.anchorX, 50, row.width, 100, 20, 20, 20, 20, row.low, row.high,
                                   row.action, sctXB, row.logarithmic, row.low, row.high, low, high));
        EXPECT_EQ(low, 123);
        EXPECT_EQ(high, 456);
    }
}

// ------------------------------------------------------ stand-alone axis

namespace {

struct TAxisFixture {
    TScale axis;
    int zoomPans = 0;
    int paints = 0;

    explicit TAxisFixture(TScaleType type = sctXB, TMouseActMode action = maPan)
    {
        axis.SetScaleType(type);
        axis.SetBounds(0, 0, 400, 400);
        axis.SetMouseAction(action);
        axis.HandleNeeded();  // window creation: the axis paints from now on
        axis.OnZoomPan = [this](TObject* sender) {
            EXPECT_EQ(sender, &axis);
            ++zoomPans;
        };
        axis.OnBeforeScaleRendered = [this](TObject*, TCanvas&) { ++paints; };
    }
    void Move(int x, int y, bool left = true) { axis.MouseMove(left ? TShiftState{ssLeft} : TShiftState{}, x, y); }
    void Up(int x, int y) { axis.MouseUp(mbLeft, {}, x, y); }
};

}  // namespace

TEST(ScaleMouse, TheFirstQualifyingMoveAnchorsThePan)
{
    TAxisFixture f;
    f.axis.MouseDown(mbLeft, {ssLeft}, 100, 50);  // the press is not the anchor
    f.Move(200, 50);
    EXPECT_EQ(f.axis.RangeLow(), 0.0);
    EXPECT_EQ(f.zoomPans, 0);
    f.Move(236, 50);
    EXPECT_NEAR(f.axis.RangeLow(), -10, 1e-12);
    EXPECT_NEAR(f.axis.RangeHigh(), 90, 1e-12);
    EXPECT_EQ(f.zoomPans, 1);
    EXPECT_EQ(f.paints, 1);  // one repaint per move
    // The mapping follows at once: -10 is at the left end of the axis.
    EXPECT_EQ(f.axis.ValueToPixel(-10), 20);
    f.Move(272, 50);
    EXPECT_NEAR(f.axis.RangeLow(), -20, 1e-12);
    EXPECT_EQ(f.zoomPans, 2);

    // After the release the next qualifying move anchors again.
    f.Up(272, 50);
    f.Move(300, 50);
    EXPECT_NEAR(f.axis.RangeLow(), -20, 1e-12);
    EXPECT_EQ(f.zoomPans, 2);
    f.Move(336, 50);
    EXPECT_NEAR(f.axis.RangeLow(), -30, 1e-12);
    EXPECT_NEAR(f.axis.RangeHigh(), 70, 1e-12);
}

TEST(ScaleMouse, OnlyMovesStrictlyOverTheAxisWithTheLeftButtonCount)
{
    struct Row {
        TScaleType type;
        int x, y;
        bool qualifies;
    };
    const Row rows[] = {
        {sctXB, 21, 50, true},  {sctXB, 20, 50, false},  {sctXB, 379, 50, true}, {sctXB, 380, 50, false},
        {sctXB, 200, 0, false}, {sctXB, 200, 399, true}, {sctXB, 200, 400, false},
        {sctYR, 50, 21, true},  {sctYR, 50, 20, false},  {sctYR, 50, 380, false}, {sctYR, 0, 200, false},
        {sctYR, 399, 200, true}, {sctYL, 400, 200, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "type " << int(row.type) << " at " << row.x << "," << row.y);
        TAxisFixture f(row.type);
        // Anchored at the probe only when it qualifies; otherwise the second move anchors.
        f.Move(row.x, row.y);
        f.Move(250, 250);
        EXPECT_EQ(f.zoomPans, row.qualifies ? 1 : 0);
    }
    // Without the left button nothing anchors.
    TAxisFixture f;
    f.Move(200, 50, false);
    f.Move(236, 50);
    EXPECT_EQ(f.zoomPans, 0);
}

TEST(ScaleMouse, LeavingTheAxisKeepsTheDrag)
{
    TAxisFixture f;
    f.Move(200, 50);
    f.Move(236, 0);    // off the axis: nothing
    f.Move(236, 400);
    f.Move(200, 50, false);  // no button: nothing, and the drag is not ended
    EXPECT_EQ(f.zoomPans, 0);
    f.Move(236, 50);
    EXPECT_NEAR(f.axis.RangeLow(), -10, 1e-12);
}

TEST(ScaleMouse, VerticalAxisPansAndZooms)
{
    TAxisFixture pan(sctYR);
    pan.Move(50, 200);
    pan.Move(50, 236);
    EXPECT_NEAR(pan.axis.RangeLow(), 10, 1e-12);
    EXPECT_NEAR(pan.axis.RangeHigh(), 110, 1e-12);

    TAxisFixture zoom(sctYL, maZoom);
    zoom.Move(50, 290);  // lower half: the top end stays
    zoom.Move(50, 155);
    EXPECT_NEAR(zoom.axis.RangeLow(), -100, 1e-12);
    EXPECT_NEAR(zoom.axis.RangeHigh(), 100, 1e-12);
}

TEST(ScaleMouse, EqualBoundsAreSeparatedByOne)
{
    // 2^52 ... 2^52 + 2 zoomed in about the centre to a tenth: both ends round to 2^52 + 1.
    TAxisFixture f(sctXB, maZoomDrag);
    f.axis.SetRangeLow(4503599627370496.0);
    f.axis.SetRangeHigh(4503599627370498.0);
    f.Move(21, 50);
    f.Move(379, 50);
    EXPECT_EQ(f.axis.RangeLow(), 4503599627370497.0);
    EXPECT_EQ(f.axis.RangeHigh(), 4503599627370498.0);
    EXPECT_EQ(f.zoomPans, 1);
}

TEST(ScaleMouse, InertActionsChangeNothing)
{
    for (TMouseActMode action : {maNone, maZoomWind, maRubberBand, maPanHoriz}) {
        SCOPED_TRACE(int(action));
        TAxisFixture f(sctXB, action);
        f.Move(200, 50);
        f.Move(236, 50);
        EXPECT_EQ(f.axis.RangeLow(), 0.0);
        EXPECT_EQ(f.axis.RangeHigh(), 100.0);
        EXPECT_EQ(f.zoomPans, 0);
        EXPECT_EQ(f.paints, 0);
    }
}

TEST(ScaleMouse, DoubleClickTogglesPanAndZoom)
{
    struct Row {
        TMouseActMode before, after;
    };
    const Row rows[] = {{maPan, maZoom}, {maZoom, maPan}, {maNone, maNone}, {maZoomDrag, maZoomDrag}};
    for (const Row& row : rows) {
        TAxisFixture f(sctXB, row.before);
        std::vector<std::string> log;
        f.axis.OnDblClick = [&](TObject*) { log.push_back("OnDblClick " + std::to_string(f.axis.MouseAction())); };
        f.axis.DblClick();
        EXPECT_EQ(f.axis.MouseAction(), row.after) << int(row.before);
        // The event comes after the toggle.
        EXPECT_EQ(log, std::vector<std::string>{"OnDblClick " + std::to_string(row.after)});
    }
}
