// Around the drawing commands: clearing (also of shared data), the picture
// following the commands, FitToData, and a logarithmic axis set up in code.
#include "chart/Qorn_kurvo.h"
#include "canvas/qt_canvas.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kurvo {
namespace {

// ---------------------------------------------------------------- clearing

TEST(CommandsClear, ClearDataEmptiesListCountersAndTextsAndRefillsWithoutGrowing)
{
    TCustomKurvo chart;
    chart.SetAnnotationMode(true);
    chart.Text(1.0, 1.0, "an annotation with a long text");
    chart.SetAnnotationMode(false);
    std::int64_t firstAllocation = -1;
    for (int round = 0; round < 1000; ++round) {
        chart.MoveTo(0.0, 0.0);
        for (int i = 1; i < 1500; ++i) chart.DrawTo(i * 1.0, 1.0);
        chart.Text(1.0, 1.0, "a data text longer than 17 bytes");
        if (firstAllocation < 0) firstAllocation = chart.DataList().Items->Allocated();
        ASSERT_EQ(chart.DataList().Items->Allocated(), firstAllocation) << round;
        ASSERT_EQ(chart.DataCount(), 1501);
        ASSERT_EQ(chart.DataLongTexts().Count, 1);
        chart.ClearData();
    }
    EXPECT_EQ(chart.DataCount(), 0);
    EXPECT_EQ(chart.DataCapacity(), 0);
    EXPECT_EQ(chart.DataList().Items->Allocated(), 0);
    EXPECT_EQ(chart.ItemCounter(0), 1);
    EXPECT_EQ(chart.ItemCounter(ikLineTo), 0);
    EXPECT_EQ(chart.DataLongTexts().Count, 0);
    EXPECT_EQ(chart.DataLongTexts().Text(1), "");
    // The annotations are untouched until they are cleared themselves.
    EXPECT_EQ(chart.AnnotationList().Count, 1);
    EXPECT_EQ(chart.AnnotationLongTexts().Count, 1);
    chart.ClearAnnotations();
    EXPECT_EQ(chart.AnnotationList().Count, 0);
    EXPECT_EQ(chart.AnnotationLongTexts().Count, 0);
}

TEST(CommandsClear, EveryMemberOfAShareShowsTheClearedListAndCanFillItAgain)
{
    // Whichever member clears, owner and sharers hold the one new empty list.
    for (const int clearer : {0, 1, 2}) {
        SCOPED_TRACE(clearer);
        TKurvo owner, a, b;
        a.SetUseDataOf(&owner);
        b.SetUseDataOf(&owner);
        TKurvo* members[] = {&owner, &a, &b};
        owner.SetAllocSize(10);
        owner.MoveTo(0.0, 0.0);
        for (int i = 0; i < 25; ++i) a.DrawTo(i * 1.0, 1.0);
        a.Text(2.0, 2.0, "a long text in the shared data");
        for (TKurvo* m : members) EXPECT_EQ(m->DataLongTexts().Text(1), "a long text in the shared data");

        members[clearer]->ClearData();
        for (TKurvo* m : members) {
            EXPECT_EQ(m->DataCount(), 0);
            EXPECT_EQ(m->DataCapacity(), 0);
            EXPECT_EQ(m->DataList().Items, owner.DataList().Items);
            EXPECT_EQ(m->ItemCounter(ikLineTo), 0);
            EXPECT_EQ(m->DataLongTexts().Count, 0);
        }
        // Any member may fill it again; the others see every item.
        for (TKurvo* m : members) m->DrawTo(5.0, 5.0);
        b.Text(1.0, 1.0, "another long text after clearing");
        for (TKurvo* m : members) {
            EXPECT_EQ(m->DataCount(), 4);
            EXPECT_EQ(m->DataItem(3).LineWidth, 1);
            EXPECT_EQ(m->DataLongTexts().Text(1), "another long text after clearing");
        }
        // A member that leaves keeps what it showed, in storage of its own.
        a.SetUseDataOf(nullptr);
        owner.DrawTo(6.0, 6.0);
        EXPECT_EQ(a.DataCount(), 4);
        EXPECT_EQ(b.DataCount(), 5);
        b.SetUseDataOf(nullptr);
    }
}

TEST(CommandsClear, AChartJoiningASharePicksUpItsLongTexts)
{
    TKurvo owner, late;
    owner.Text(1.0, 1.0, "written before the other chart joined");
    late.SetUseDataOf(&owner);
    EXPECT_EQ(late.DataLongTexts().Text(late.DataItem(0).LineWidth), "written before the other chart joined");
    late.SetUseDataOf(nullptr);
}

// ------------------------------------------------------ the picture follows

// Pixel colour of the chart on its window, as Qt shows it.
TColor Shown(QWidget& w, int x, int y)
{
    return FromQRgb(w.grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(x, y));
}

TEST(CommandsPicture, APaintEventAfterCommandsShowsTheNewItems)
{
    // Layer 1 maps world (x, y) to control pixel (10 + x, 140 - y).
    {
        SCOPED_TRACE("window-less chart");
        TKurvo chart;
        test::SimpleGeometry(chart);
        chart.HandleNeeded();  // the first paint
        EXPECT_EQ(Shown(chart, 60, 90), clWhite);
        chart.MoveTo(20.0, 50.0);
        chart.DrawTo(100.0, 50.0);
        EXPECT_EQ(Shown(chart, 60, 90), clBlack);  // grab() sends a paint event
    }
    {
        SCOPED_TRACE("shown chart");
        QWidget window;
        window.resize(200, 150);
        auto* chart = new TKurvo(&window);
        test::SimpleGeometry(*chart);
        window.show();
        QApplication::processEvents();
        EXPECT_EQ(FromQRgb(chart->WindowImage().pixel(60, 90)), clWhite);
        chart->Line(20.0, 50.0, 100.0, 50.0);
        EXPECT_EQ(FromQRgb(chart->WindowImage().pixel(60, 90)), clWhite);  // commands never paint
        chart->update();
        QApplication::processEvents();
        EXPECT_EQ(FromQRgb(chart->WindowImage().pixel(60, 90)), clBlack);
        chart->ClearData();
        chart->repaint();
        EXPECT_EQ(FromQRgb(chart->WindowImage().pixel(60, 90)), clWhite);
    }
}

// -------------------------------------------------------------- FitToData

TEST(CommandsFit, FitToDataTakesTheBoundingBoxOfTheLayersItems)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        const char* what;
        bool logX, reversedY;
        double margin;
        double xLow, xHigh, yLow, yHigh;
    } rows[] = {
        {"linear", false, false, 0, -4, 10, -3, 8},
        {"margin", false, false, 10, -5.4, 11.4, -4.1, 9.1},
        {"log X: positive values only", true, false, 0, 0.5, 10, -3, 8},
        {"log X with margin", true, false, 100, 0.025, 200, -14, 19},
        {"reversed Y stays reversed", false, true, 0, -4, 10, 8, -3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TCustomKurvo chart;
        test::SimpleGeometry(chart);
        if (r.logX) {
            chart.Scale1X()->SetRangeLow(1);
            chart.Scale1X()->SetRangeHigh(100);
            chart.Scale1X()->SetLogarithmic(true);
        }
        if (r.reversedY) {
            chart.Scale1Y()->SetRangeLow(100);
            chart.Scale1Y()->SetRangeHigh(0);
        }
        chart.Scale2X()->SetRangeLow(7);  // another layer: left alone
        chart.Scale2X()->SetRangeHigh(9);
        chart.MoveTo(nan, inf);  // never counted
        chart.Line(0.5, 8.0, 10.0, -3.0);
        chart.MarkAt(-4.0, 0.0, 1);  // not positive: left out on a log axis
        chart.SetCurrentLayer(2);
        chart.MarkAt(1000.0, 1000.0, 1);
        chart.FitToData(1, r.margin);
        EXPECT_NEAR(chart.Scale1X()->RangeLow(), r.xLow, 1e-9);
        EXPECT_NEAR(chart.Scale1X()->RangeHigh(), r.xHigh, 1e-9);
        EXPECT_NEAR(chart.Scale1Y()->RangeLow(), r.yLow, 1e-9);
        EXPECT_NEAR(chart.Scale1Y()->RangeHigh(), r.yHigh, 1e-9);
        EXPECT_EQ(chart.Scale2X()->RangeLow(), 7);
        EXPECT_EQ(chart.Scale2X()->RangeHigh(), 9);
        EXPECT_EQ(chart.Scale1X()->Logarithmic(), r.logX);
    }
}

TEST(CommandsFit, EmptyLayersKeepTheirRangesAndAPointKeepsMinRange)
{
    TKurvo chart;
    test::SimpleGeometry(chart);
    chart.HandleNeeded();
    int paints = 0;
    chart.OnScalesRendered = [&](TObject*, TCanvas&, int, int) { ++paints; };
    chart.Scale3Y()->SetMinRange(2.0);
    chart.SetCurrentLayer(3);
    chart.MarkAt(5.0, 5.0, 1);
    chart.SetCurrentLayer(4);
    chart.VertLine(3.0);  // X only: Y keeps its range
    paints = 0;
    chart.FitToData();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(chart.Scale1X()->RangeHigh(), test::kAreaW);  // layer 1 has no items
    EXPECT_DOUBLE_EQ(chart.Scale3Y()->RangeLow(), 4.0);
    EXPECT_DOUBLE_EQ(chart.Scale3Y()->RangeHigh(), 6.0);
    EXPECT_EQ(chart.Scale3Y()->MinRange(), 2.0);
    EXPECT_NEAR(chart.ScaleX(4)->RangeLow(), 3.0, 1e-9);
    EXPECT_EQ(chart.ScaleY(4)->RangeLow(), 0.0);
    EXPECT_EQ(chart.ScaleY(4)->RangeHigh(), 1.0);
}

// ------------------------------------------------- logarithmic axis in code

TEST(CommandsLogAxis, EitherOrderGivesALogarithmicAxis)
{
    using Step = void (*)(TScaleProps&);
    const Step log = [](TScaleProps& p) { p.SetLogarithmic(true); };
    const Step low = [](TScaleProps& p) { p.SetRangeLow(1); };
    const Step high = [](TScaleProps& p) { p.SetRangeHigh(1000); };
    const std::vector<std::vector<Step>> orders = {
        {log, low, high}, {log, high, low}, {low, log, high}, {high, log, low}, {low, high, log}, {high, low, log}};
    for (std::size_t k = 0; k < orders.size(); ++k) {
        SCOPED_TRACE(k);
        TKurvo chart;
        test::SimpleGeometry(chart);
        chart.HandleNeeded();
        for (const Step step : orders[k]) ASSERT_NO_THROW(step(*chart.Scale1X()));
        EXPECT_TRUE(chart.Scale1X()->Logarithmic());
        EXPECT_EQ(chart.Scale1X()->RangeLow(), 1);
        EXPECT_EQ(chart.Scale1X()->RangeHigh(), 1000);
        int x, y;
        chart.WorldToPixel(1, 10, 0, x, y);
        EXPECT_EQ(x, 10 + 60);  // one decade of three
        ASSERT_NO_THROW(chart.Paint());
    }
}

TEST(CommandsLogAxis, AnImpossibleRangeRaisesAtTheCallAndTheChartStaysUsable)
{
    TKurvo chart;
    test::SimpleGeometry(chart);
    chart.HandleNeeded();
    TScalePropsHoriz& x = *chart.Scale1X();
    x.SetRangeLow(1);
    x.SetRangeHigh(1000);
    x.SetLogarithmic(true);
    for (const double bad : {-5.0, 0.0}) {
        EXPECT_THROW(x.SetRangeLow(bad), EQornKurvoError);
        EXPECT_THROW(x.SetRangeHigh(bad), EQornKurvoError);
    }
    try {
        x.SetRangeLow(-5);
    } catch (const EQornKurvoError& e) {
        EXPECT_STREQ(e.what(), "Logarithmic axis must not be negative.");
    }
    EXPECT_EQ(x.RangeLow(), 1);
    EXPECT_EQ(x.RangeHigh(), 1000);
    EXPECT_NO_THROW(chart.Paint());

    // No positive bound to keep: switching on fails, the axis stays linear.
    TScalePropsVert& y = *chart.Scale1Y();
    y.SetRangeLow(-10);
    y.SetRangeHigh(-1);
    EXPECT_THROW(y.SetLogarithmic(true), EQornKurvoError);
    EXPECT_FALSE(y.Logarithmic());
    EXPECT_NO_THROW(chart.Paint());
}

TEST(CommandsLogAxis, ARangeLoadedImpossibleIsReportedOnceAndMadeLinear)
{
    TKurvo chart;
    test::SimpleGeometry(chart);
    chart.BeginLoading();
    chart.Scale1X()->SetLogarithmic(true);  // accepted while loading, on 0 ... 180
    chart.Scale1X()->SetRangeLow(0);
    EXPECT_THROW(chart.Loaded(), EQornKurvoError);
    EXPECT_FALSE(chart.Scale1X()->Logarithmic());
    chart.HandleNeeded();
    EXPECT_NO_THROW(chart.Paint());
    EXPECT_NO_THROW(chart.Paint());
}

}  // namespace
}  // namespace kurvo
