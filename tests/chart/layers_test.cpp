// World <-> pixel mapping, layer coupling, range changes, zoom history.
#include "chart/Qorn_kurvo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kurvo;

namespace {

// The demo's chart: 473 x 421, margins 80/16/20/40, layer 1 X 0 ... 100, Y -5 ... 5.
void DemoGeometry(TKurvo& chart)
{
    chart.SetMarginLeft(80);
    chart.SetMarginRight(16);
    chart.SetMarginTop(20);
    chart.SetMarginBottom(40);
    chart.SetBounds(0, 41, 473, 421);
    chart.Scale1X()->SetRangeLow(0);
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1Y()->SetRangeLow(-5);
    chart.Scale1Y()->SetRangeHigh(5);
}

std::string MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EQornKurvoError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(Layers, DemoGeometryMapsTheWorldPointAndBack)
{
    TKurvo chart;
    DemoGeometry(chart);
    const TLayerTransform& t = chart.LayerTransform(1);
    EXPECT_NEAR(t.kx, 3.77, 1e-12);
    EXPECT_NEAR(t.dx, 80.0, 1e-12);
    EXPECT_NEAR(t.ky, -36.1, 1e-12);
    EXPECT_NEAR(t.dy, 200.5, 1e-12);

    int x = 0, y = 0;
    chart.WorldToPixel(1, 20.0, -1.3, x, y);
    EXPECT_EQ(x, 155);
    EXPECT_EQ(y, 247);

    double wx = 0, wy = 0;
    chart.PixelToWorld(1, x, y, wx, wy);
    EXPECT_NEAR(wx, 20.0, 1.0 / t.kx);
    EXPECT_NEAR(wy, -1.3, 1.0 / -t.ky);

    // The range ends land on the data area's edges.
    chart.WorldToPixel(1, 0.0, -5.0, x, y);
    EXPECT_EQ(x, 80);
    EXPECT_EQ(y, 381);
    chart.WorldToPixel(1, 100.0, 5.0, x, y);
    EXPECT_EQ(x, 457);
    EXPECT_EQ(y, 20);
}

TEST(Layers, RoundTripsOverTheDataArea)
{
    TKurvo chart;
    DemoGeometry(chart);
    for (int px = 80; px <= 457; px += 13)
        for (int py = 20; py <= 381; py += 17) {
            double wx, wy;
            chart.PixelToWorld(1, px, py, wx, wy);
            int bx, by;
            chart.WorldToPixel(1, wx, wy, bx, by);
            EXPECT_EQ(bx, px);
            EXPECT_EQ(by, py);
        }
}

TEST(Layers, ReversedAndLogarithmicAxes)
{
    TKurvo chart;
    DemoGeometry(chart);
    TScalePropsHoriz& x2 = *chart.Scale2X();
    x2.SetRangeLow(10);
    x2.SetRangeHigh(0);
    int x, y;
    chart.WorldToPixel(2, 10.0, 0.5, x, y);
    EXPECT_EQ(x, 80);
    chart.WorldToPixel(2, 0.0, 0.5, x, y);
    EXPECT_EQ(x, 457);

    TScalePropsHoriz& x3 = *chart.ScaleX(3);
    x3.SetRangeLow(1);
    x3.SetRangeHigh(1000);
    x3.SetLogarithmic(true);
    ASSERT_TRUE(x3.Logarithmic());
    chart.WorldToPixel(3, 1.0, 0.5, x, y);
    EXPECT_EQ(x, 80);
    chart.WorldToPixel(3, 1000.0, 0.5, x, y);
    EXPECT_EQ(x, 457);
    chart.WorldToPixel(3, std::sqrt(1000.0), 0.5, x, y);  // the middle of the decades
    EXPECT_NEAR(x, (80 + 457) / 2.0, 1.0);
    // Zero and negative values on a logarithmic axis map to pixel 0, without error.
    chart.WorldToPixel(3, 0.0, 0.5, x, y);
    EXPECT_EQ(x, 0);
    chart.WorldToPixel(3, -5.0, 0.5, x, y);
    EXPECT_EQ(x, 0);
    double wx, wy;
    chart.PixelToWorld(3, 457, 200, wx, wy);
    EXPECT_NEAR(wx, 1000.0, 1000.0 * 0.02);

    // Reversed logarithmic axis: non-positive values go to the control's width.
    x3.SetRangeLow(1000);
    x3.SetRangeHigh(1);
    chart.WorldToPixel(3, 0.0, 0.5, x, y);
    EXPECT_EQ(x, chart.Width());

    TScalePropsVert& y4 = *chart.ScaleY(4);
    y4.SetRangeLow(0.01);
    y4.SetRangeHigh(100);
    y4.SetLogarithmic(true);
    chart.WorldToPixel(4, 0.5, 0.01, x, y);
    EXPECT_EQ(y, 381);
    chart.WorldToPixel(4, 0.5, 100.0, x, y);
    EXPECT_EQ(y, 20);
    chart.WorldToPixel(4, 0.5, -1.0, x, y);
    EXPECT_EQ(y, chart.Height());
}

TEST(Layers, NonFiniteWorldValuesGiveDefinedPixels)
{
    TKurvo chart;
    DemoGeometry(chart);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        double x, y;
        int px, py;
    } rows[] = {
        {inf, -inf, 2147483647, 2147483647},     // +inf X right, -inf Y below
        {-inf, inf, -2147483647, -2147483647},
        {nan, nan, -2147483647, -2147483647},
        {1e300, -1e300, 2147483647, 2147483647},  // beyond the pixel range: clamped
    };
    for (const Row& r : rows) {
        int x = 0, y = 0;
        chart.WorldToPixel(1, r.x, r.y, x, y);
        EXPECT_EQ(x, r.px) << r.x;
        EXPECT_EQ(y, r.py) << r.y;
    }
    // Layer numbers outside 1 ... 16 are clamped.
    int a, b, c, d;
    chart.WorldToPixel(0, 20.0, -1.3, a, b);
    chart.WorldToPixel(1, 20.0, -1.3, c, d);
    EXPECT_EQ(a, c);
    EXPECT_EQ(b, d);
    chart.WorldToPixel(99, 0.5, 0.5, a, b);  // layer 16: 0 ... 1
    EXPECT_EQ(a, (80 + 457) / 2 + 0);
}

TEST(Layers, LogarithmicRangeWithNonPositiveBoundRaises)
{
    TKurvo chart;
    DemoGeometry(chart);
    TScalePropsHoriz& x5 = *chart.ScaleX(5);
    x5.SetLoadingFlag(true);  // accepts Logarithmic without checks
    x5.SetRangeLow(0);
    // The setter's change notification recomputes the transforms, which raise.
    EXPECT_EQ(MessageOf([&] { x5.SetLogarithmic(true); }), "Logarithmic axis must not be negative.");
    // Reported once: the axis is made linear, so the chart stays usable and
    // the next computation does not raise again.
    EXPECT_FALSE(x5.Logarithmic());
    EXPECT_EQ(MessageOf([&] { chart.CalcTransforms(); }), "(no error)");
    int x, y;
    chart.WorldToPixel(5, 0.5, 0.5, x, y);
    EXPECT_EQ(x, (80 + 457) / 2);
    EXPECT_NEAR(chart.LayerTransform(1).kx, 3.77, 1e-12);
}

TEST(Layers, ZeroSizedDataAreaHasZeroFactors)
{
    TKurvo chart;
    chart.SetBounds(0, 0, 200, 200);
    chart.SetMarginLeft(150);
    chart.SetMarginRight(60);  // wider than the chart
    const TLayerTransform& t = chart.LayerTransform(1);
    EXPECT_EQ(t.kx, 0.0);
    EXPECT_EQ(t.dx, chart.Width() / 2.0);
    double wx, wy;
    chart.PixelToWorld(1, 10, 10, wx, wy);  // must not fail
    EXPECT_TRUE(std::isfinite(wx));
}

TEST(JointLayers, MessagesAndCoupling)
{
    TKurvo chart;
    DemoGeometry(chart);
    TJointLayers& j = *chart.JointLayers();
    int changes = 0;
    j.OnChange = [&](TObject*) { ++changes; };

    // A free layer controlled by itself: nothing happens.
    j.SetXControlledBy(3, 3);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(j.XControlledBy(3), 3);

    // Joining copies the controller's X range at once and keeps the own Y range.
    chart.ScaleY(2)->SetRangeLow(7);
    chart.ScaleY(2)->SetRangeHigh(9);
    j.SetXControlledBy(2, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(chart.ScaleX(2)->RangeLow(), 0.0);
    EXPECT_EQ(chart.ScaleX(2)->RangeHigh(), 100.0);
    EXPECT_EQ(chart.ScaleY(2)->RangeLow(), 7.0);

    EXPECT_EQ(MessageOf([&] { j.SetXControlledBy(1, 3); }), "Layer 1 is joined by other layers (2)");
    EXPECT_EQ(MessageOf([&] { j.SetXControlledBy(4, 2); }), "Destination layer 2 is already joined");
    EXPECT_EQ(MessageOf([&] { j.SetYControlledBy(5, 17); }), "Destination layer 17 is out of range");
    EXPECT_EQ(MessageOf([&] { j.SetYControlledBy(5, 0); }), "Destination layer 0 is out of range");
    j.SetXControlledBy(3, 1);
    j.SetXControlledBy(5, 1);
    j.SetXControlledBy(2, 2);
    j.SetXControlledBy(2, 1);
    EXPECT_EQ(MessageOf([&] { j.SetXControlledBy(1, 4); }), "Layer 1 is joined by other layers (2, 3, 5)");
    // The tables are unchanged after an error.
    EXPECT_EQ(j.XControlledBy(1), 1);
    EXPECT_EQ(j.XControlledBy(4), 4);
}

TEST(JointLayers, SetLayerRangesMovesCoupledLayers)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.ScaleY(2)->SetRangeLow(7);
    chart.ScaleY(2)->SetRangeHigh(9);
    chart.JointLayers()->SetXControlledBy(2, 1);
    chart.SetLayerRanges(1, false, 10, -1, 60, 1, false);
    EXPECT_EQ(chart.ScaleX(2)->RangeLow(), 10.0);
    EXPECT_EQ(chart.ScaleX(2)->RangeHigh(), 60.0);
    EXPECT_EQ(chart.ScaleY(2)->RangeLow(), 7.0);
    EXPECT_EQ(chart.ScaleY(2)->RangeHigh(), 9.0);
    // The axis controls follow the objects.
    EXPECT_EQ(chart.AxisX(2)->RangeLow(), 10.0);
    EXPECT_EQ(chart.AxisY(1)->RangeHigh(), 1.0);

    // A controlled axis cannot be moved by itself.
    chart.SetLayerRanges(2, false, 500, 0, 600, 1, false);
    EXPECT_EQ(chart.ScaleX(2)->RangeLow(), 10.0);
    EXPECT_EQ(chart.ScaleY(2)->RangeLow(), 0.0);
}

TEST(Layers, ApplyLayerRangeRefusesNarrowAndNonFiniteRanges)
{
    TKurvo chart;
    DemoGeometry(chart);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        double xlo, xhi;
        bool stored;
    } rows[] = {
        {10, 10 + 0.98e-10, false},  // narrower than 0.99 * MinRange
        {10, 10 + 1e-10, true},
        {nan, 50, false},
        {0, std::numeric_limits<double>::infinity(), false},
        {-20, 80, true},
    };
    for (const Row& r : rows) {
        chart.ApplyLayerRange(1, false, 0, -5, 100, 5, false);
        chart.ApplyLayerRange(1, false, r.xlo, -5, r.xhi, 5, false);
        if (r.stored) {
            EXPECT_EQ(chart.Scale1X()->RangeLow(), r.xlo);
            EXPECT_EQ(chart.Scale1X()->RangeHigh(), r.xhi);
        } else {
            EXPECT_EQ(chart.Scale1X()->RangeLow(), 0.0) << r.xlo;
            EXPECT_EQ(chart.Scale1X()->RangeHigh(), 100.0) << r.xhi;
        }
    }
    // A logarithmic bound below 1e-100 is refused on its own.
    TScalePropsHoriz& x3 = *chart.ScaleX(3);
    x3.SetRangeLow(1);
    x3.SetRangeHigh(100);
    x3.SetLogarithmic(true);
    chart.ApplyLayerRange(3, false, -1, 0, 50, 1, false);
    EXPECT_EQ(x3.RangeLow(), 1.0);
    EXPECT_EQ(x3.RangeHigh(), 50.0);
}

TEST(Layers, PanLimitsShiftPansAndCutZooms)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.SetPanLimits({-10, -6, 110, 6});
    EXPECT_EQ(chart.PanLimits().XMax, 110.0);

    chart.SetMouseAction(maPan);  // panning keeps the span
    chart.SetLayerRanges(1, false, 30, -5, 130, 5, true);
    EXPECT_EQ(chart.Scale1X()->RangeLow(), 10.0);
    EXPECT_EQ(chart.Scale1X()->RangeHigh(), 110.0);

    chart.SetMouseAction(maZoomDrag);  // elsewhere only the violating bound moves
    chart.SetLayerRanges(1, false, -50, -5, 50, 5, true);
    EXPECT_EQ(chart.Scale1X()->RangeLow(), -10.0);
    EXPECT_EQ(chart.Scale1X()->RangeHigh(), 50.0);

    // Limit False ignores the limits.
    chart.SetLayerRanges(1, false, -50, -5, 50, 5, false);
    EXPECT_EQ(chart.Scale1X()->RangeLow(), -50.0);
}

TEST(ZoomHistory, RingOfSixteenSlots)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.ClearZoomHistory();  // writes slot 1
    EXPECT_EQ(chart.ZoomHistoryNext(), 2);
    const TZoomRanges& first = chart.ZoomHistory(1, 1);
    EXPECT_EQ(first.XLow, 0.0);
    EXPECT_EQ(first.YHigh, 5.0);
    EXPECT_EQ(first.XHigh, 100.0);
    EXPECT_EQ(first.YLow, -5.0);
    for (int i = 2; i <= 16; ++i) {
        chart.SetLayerRanges(1, true, i, -5, 100 + i, 5, false);
        EXPECT_EQ(chart.ZoomHistory(i, 1).XLow, i);
    }
    EXPECT_EQ(chart.ZoomHistoryNext(), 1);
    chart.SetLayerRanges(1, true, 42, -5, 142, 5, false);  // the 16th push after the clear
    EXPECT_EQ(chart.ZoomHistory(1, 1).XLow, 42.0);
    EXPECT_EQ(chart.ZoomHistory(2, 1).XLow, 2.0);
    EXPECT_EQ(chart.ZoomHistoryNext(), 2);
    // A range change that stores nothing does not push.
    chart.SetLayerRanges(1, true, 42, 5, 42, 5, false);
    EXPECT_EQ(chart.ZoomHistoryNext(), 2);
    // Nor does one whose bounds a logarithmic axis refuses, each bound on its own.
    TScalePropsHoriz& x3 = *chart.ScaleX(3);
    x3.SetRangeLow(1);
    x3.SetRangeHigh(100);
    x3.SetLogarithmic(true);
    chart.SetLayerRanges(3, true, -5, 0, -1, 0, false);  // Y too narrow, X bounds not positive
    EXPECT_EQ(x3.RangeLow(), 1.0);
    EXPECT_EQ(x3.RangeHigh(), 100.0);
    EXPECT_EQ(chart.ZoomHistoryNext(), 2);
    chart.SetLayerRanges(3, true, -5, 0, 50, 0, false);  // the high bound is stored: a push
    EXPECT_EQ(x3.RangeHigh(), 50.0);
    EXPECT_EQ(chart.ZoomHistoryNext(), 3);
}

TEST(Layers, IsometricMakesUnitsEqualInBothDirections)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.SetIsometric(true);
    const TLayerTransform& t = chart.LayerTransform(1);
    EXPECT_NEAR(std::fabs(t.kx), std::fabs(t.ky), std::fabs(t.kx) * 0.01);
    EXPECT_NEAR(chart.Scale1Y()->RangeLow() + chart.Scale1Y()->RangeHigh(), 0.0, 1e-9);  // centre kept
    EXPECT_EQ(chart.Scale1X()->RangeHigh(), 100.0);  // X unchanged
    // Resizing keeps it isometric.
    chart.SetBounds(0, 0, 600, 300);
    EXPECT_NEAR(std::fabs(chart.LayerTransform(1).kx), std::fabs(chart.LayerTransform(1).ky),
                std::fabs(chart.LayerTransform(1).kx) * 0.01);
}

// Every layer's Y range follows a margin change, yet the chart paints as for
// any other margin change, not once for each of the 32 axes.
TEST(Layers, IsometricMarginChangeKeepsUnitsEqualAndPaintsOnce)
{
    TKurvo chart;
    DemoGeometry(chart);
    chart.HandleNeeded();
    int paints = 0;
    chart.OnScalesRendered = [&](TObject*, TCanvas&, int, int) { ++paints; };
    chart.SetIsometric(true);
    EXPECT_LE(paints, 2);
    for (const auto& set : {&TKurvo::SetMarginLeft, &TKurvo::SetMarginTop, &TKurvo::SetShadowWidth}) {
        paints = 0;
        (chart.*set)(17);
        EXPECT_LE(paints, 2);
        for (int layer : {1, 16})
            EXPECT_NEAR(std::fabs(chart.LayerTransform(layer).kx), std::fabs(chart.LayerTransform(layer).ky),
                        std::fabs(chart.LayerTransform(layer).kx) * 0.01)
                << layer;
    }
}
