// The chart component: construction defaults, setter rules, SetBounds,
// standard layouts, Assign and its lifetime.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <QCoreApplication>
#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

using namespace kurvo;

TEST(Chart, ConstructionDefaults)
{
    TKurvo chart;
    EXPECT_EQ(chart.MarginLeft(), 50);
    EXPECT_EQ(chart.MarginRight(), 20);
    EXPECT_EQ(chart.MarginTop(), 20);
    EXPECT_EQ(chart.MarginBottom(), 40);
    EXPECT_EQ(chart.CaptionPosY(), -16);
    EXPECT_EQ(chart.CaptionAlignment(), taRightJustify);
    EXPECT_EQ(chart.Width(), 280);
    EXPECT_EQ(chart.Height(), 200);
    EXPECT_TRUE(chart.AutoRedraw());
    EXPECT_EQ(chart.AllocSize(), 1000);
    EXPECT_EQ(chart.FillColor(), 12632256);
    EXPECT_EQ(chart.ChartColor(), clWhite);
    EXPECT_EQ(chart.WindColor(), clBtnFace);
    EXPECT_EQ(chart.ShadowColor(), clGrayText);
    EXPECT_EQ(chart.MouseAction(), maNone);
    EXPECT_EQ(chart.ItemCounter(0), 1);
    EXPECT_EQ(chart.StandardLayout(), kvl_X1Bottom_Y1Left);
    EXPECT_TRUE(chart.PaintSuspended());  // until the window is created
    EXPECT_EQ(chart.ZoomHistoryNext(), 2);

    // Axis controls: embedded, suspended, named, coloured per layer.
    EXPECT_EQ(chart.AxisX(3)->Name(), "KV_FScale_X_3");
    EXPECT_EQ(chart.AxisY(16)->Name(), "KV_FScale_Y_16");
    EXPECT_TRUE(chart.AxisX(1)->Embedded());
    EXPECT_TRUE(chart.AxisX(1)->Transparent());
    EXPECT_EQ(chart.AxisX(1)->MouseAction(), maZoom);
    EXPECT_EQ(chart.AxisY(1)->MouseAction(), maNone);
    EXPECT_EQ(chart.AxisX(1)->ExternalCanvas(), &TCustomKurvoPrivate::Get(chart).ControlBitmap().Canvas());
    EXPECT_EQ(chart.ScaleX(2)->ColorScale(), clMaroon);
    EXPECT_EQ(chart.ScaleY(13)->ColorScale(), clBlue);
    // Layers 5 ... 16 alternate sides and step outwards; the layout placed 1 ... 4.
    EXPECT_EQ(chart.ScaleX(6)->ScaleType(), sctXB);
    EXPECT_EQ(chart.ScaleX(6)->ScalePos(), 60);
    EXPECT_EQ(chart.ScaleY(7)->ScaleType(), sctYR);
    EXPECT_EQ(chart.ScaleY(7)->ScalePos(), 150);
    EXPECT_TRUE(chart.Scale1X()->Visible());
    EXPECT_TRUE(chart.Scale1Y()->Visible());
    EXPECT_FALSE(chart.Scale2Y()->Visible());
    EXPECT_EQ(chart.Scale1Y()->CaptionAlignment(), taLeftJustify);
    EXPECT_EQ(chart.CrossHair2()->Layer(), 2);
    EXPECT_EQ(chart.CrossHair2()->Color(), 255);
    EXPECT_EQ(chart.CrossHair2()->LineType(), psDashDotDot);
    EXPECT_EQ(chart.TextLabel(7)->Mode(), tlOff);
    EXPECT_EQ(chart.TextLabel(7)->AttachToData(), tlamBoth);
    EXPECT_EQ(chart.BackGroundImg()->FillMode(), bfStretch);
}

TEST(Chart, SetBoundsKeepsRoomForTheDataArea)
{
    TKurvo chart;
    chart.SetBounds(0, 0, 10, 10);
    EXPECT_EQ(chart.Width(), 150);
    EXPECT_EQ(chart.Height(), 80);
    chart.SetShadowWidth(5);
    chart.SetBounds(0, 0, 10, 10);
    EXPECT_EQ(chart.Width(), 155);
    EXPECT_EQ(chart.Height(), 85);
    // The axis controls cover the chart.
    EXPECT_EQ(chart.AxisY(4)->Width(), 155);
    EXPECT_EQ(chart.AxisY(4)->MarginBottom(), 40 + 5 - 1);
    EXPECT_EQ(TCustomKurvoPrivate::Get(chart).DataBitmap().Width(), 155 - 50 - 20 - 5 + 1);
}

TEST(Chart, SetterRules)
{
    TKurvo chart;
    struct IntRow {
        const char* what;
        void (TCustomKurvo::*set)(int);
        int (TCustomKurvo::*get)() const;
        int in, out;
    } ints[] = {
        {"ShadowWidth high", &TCustomKurvo::SetShadowWidth, &TCustomKurvo::ShadowWidth, 40, 32},
        {"ShadowWidth low", &TCustomKurvo::SetShadowWidth, &TCustomKurvo::ShadowWidth, -1, 0},
        {"CaptionTrim low", &TCustomKurvo::SetCaptionTrim, &TCustomKurvo::CaptionTrim, 3, 5},
        {"CaptionTrim zero", &TCustomKurvo::SetCaptionTrim, &TCustomKurvo::CaptionTrim, 0, 0},
        {"CaptionTrim high", &TCustomKurvo::SetCaptionTrim, &TCustomKurvo::CaptionTrim, 500, 100},
        {"MinDupMarkDist zero", &TCustomKurvo::SetMinDupMarkDist, &TCustomKurvo::MinDupMarkDist, 0, 1},
        {"MinDupMarkDist high", &TCustomKurvo::SetMinDupMarkDist, &TCustomKurvo::MinDupMarkDist, 9, 3},
        {"MinDupMarkDist", &TCustomKurvo::SetMinDupMarkDist, &TCustomKurvo::MinDupMarkDist, 2, 2},
        {"AllocSize zero ignored", &TCustomKurvo::SetAllocSize, &TCustomKurvo::AllocSize, 0, 1000},
        {"AllocSize too big ignored", &TCustomKurvo::SetAllocSize, &TCustomKurvo::AllocSize, 1000001, 1000},
        {"AllocSize max", &TCustomKurvo::SetAllocSize, &TCustomKurvo::AllocSize, 1000000, 1000000},
    };
    for (const IntRow& r : ints) {
        (chart.*r.set)(r.in);
        EXPECT_EQ((chart.*r.get)(), r.out) << r.what;
    }
    chart.SetClassDefault(7);
    chart.SetClassDefault(255);
    EXPECT_EQ(chart.ClassDefault(), 7);
    chart.SetGridDx(2.5);
    chart.SetGridDx(-4);
    EXPECT_EQ(chart.GridDx(), 2.5);
    chart.SetGridDy(-3);
    EXPECT_EQ(chart.GridDy(), -3.0);
    // Aliases share their storage.
    chart.SetTextBkColor(clRed);
    EXPECT_EQ(chart.FillColor(), clRed);
    chart.SetFillColor(clLime);
    EXPECT_EQ(chart.TextBkColor(), clLime);
    chart.SetLRim(81);
    chart.SetBRim(41);
    EXPECT_EQ(chart.MarginLeft(), 81);
    EXPECT_EQ(chart.MarginBottom(), 41);
    EXPECT_EQ(chart.TRim(), chart.MarginTop());
    EXPECT_EQ(chart.RRim(), chart.MarginRight());
    EXPECT_EQ(chart.AxisX(1)->MarginLeft(), 81);
}

TEST(Chart, RepaintsSynchronouslyWhenAutoRedraw)
{
    TKurvo chart;
    chart.HandleNeeded();
    int paints = 0;
    chart.OnScalesRendered = [&](TObject*, TCanvas&, int, int) { ++paints; };
    chart.SetChartColor(clYellow);
    EXPECT_EQ(paints, 1);
    chart.SetDataColor(clRed);  // item defaults only
    chart.SetFillColor(clRed);
    EXPECT_EQ(paints, 1);
    chart.SetAutoRedraw(false);
    chart.SetGridColor(clRed);
    EXPECT_EQ(paints, 1);
    chart.SetAvoidDuplicateMarks(true);  // repaints regardless of AutoRedraw
    chart.SetMinDupMarkDist(2);
    EXPECT_EQ(paints, 3);
    chart.SetMinDupMarkDist(2);  // unchanged: nothing
    EXPECT_EQ(paints, 3);
}

TEST(StandardLayout, AppliesMarginsAndAxesAndPaintsOnce)
{
    TKurvo chart;
    chart.HandleNeeded();
    int paints = 0;
    chart.OnScalesRendered = [&](TObject*, TCanvas&, int, int) { ++paints; };

    chart.SetStandardLayout(kvl_X1Bottom_Y3Left);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(chart.MarginLeft(), 150);
    EXPECT_EQ(chart.MarginTop(), 24);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_TRUE(chart.ScaleY(n)->Visible()) << n;
        EXPECT_EQ(chart.ScaleY(n)->ScalePos(), (n - 1) * 50) << n;
    }
    EXPECT_FALSE(chart.ScaleY(4)->Visible());
    for (int n = 5; n <= 16; ++n) {
        EXPECT_FALSE(chart.ScaleX(n)->Visible());
        EXPECT_FALSE(chart.ScaleY(n)->Visible());
        EXPECT_FALSE(chart.AxisY(n)->Visible());
    }
    EXPECT_EQ(chart.StandardLayout(), kvl_X1Bottom_Y1Left);  // reading returns the earlier value

    chart.SetStandardLayout(kvl_X2Both_Y2Both);
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(chart.Scale2X()->ScaleType(), sctXB);
    EXPECT_EQ(chart.Scale2Y()->ScaleType(), sctYL);
    EXPECT_EQ(chart.AxisX(2)->ScaleType(), sctXB);
    EXPECT_EQ(chart.AxisY(2)->ScaleType(), sctYL);
    EXPECT_EQ(chart.CaptionPosY(), -60);
    EXPECT_EQ(chart.CaptionAnchorHoriz(), cahChartCenter);
    EXPECT_EQ(chart.Scale2Y()->CaptionAlignment(), taLeftJustify);
    EXPECT_EQ(chart.ScaleY(3)->CaptionPosY(), -23);

    chart.SetStandardLayout(kvl_X2Bottom_Y2Left);
    EXPECT_EQ(chart.MarginBottom(), 70);
    EXPECT_EQ(chart.Scale2X()->ScaleType(), sctXT);
    EXPECT_EQ(chart.Scale2X()->ScalePos(), 30);
    EXPECT_EQ(chart.Scale1X()->CaptionPosX(), -20);
    EXPECT_EQ(chart.Scale1X()->CaptionAnchor(), uaSclTopLft);

    // While suspended by the caller, a layout does not paint.
    chart.SetPaintSuspended(true);
    chart.SetStandardLayout(kvl_X1Bottom_Y2Both);
    EXPECT_EQ(paints, 3 - 0);
}

TEST(Chart, AssignGivesAnEqualChart)
{
    TKurvo a;
    a.SetBounds(0, 0, 473, 421);
    a.SetStandardLayout(kvl_X1Bottom_Y2Left);
    a.SetMarginLeft(80);
    a.SetCaption("copy me");
    a.SetAllocSize(7);
    a.MoveTo(0, 0);
    for (int i = 1; i <= 20; ++i) a.DrawTo(i, std::sin(0.2 * i));
    a.Scale1X()->SetRangeHigh(20);
    a.Scale1Y()->SetRangeLow(-2);
    a.Scale2Y()->SetRangeHigh(9);
    a.SetMouseAction(maZoomDrag);
    a.JointLayers()->SetYControlledBy(3, 2);

    TKurvo b;
    b.SetBounds(0, 0, 473, 421);
    b.Assign(a);
    ASSERT_EQ(b.DataCount(), a.DataCount());
    EXPECT_EQ(b.DataCapacity(), 7 * (21 / 7 + 1));
    for (int i = 0; i < a.DataCount(); ++i) {
        EXPECT_EQ(b.DataItem(i).Kind, a.DataItem(i).Kind);
        EXPECT_EQ(b.DataItem(i).X, a.DataItem(i).X);
        EXPECT_EQ(b.DataItem(i).Y, a.DataItem(i).Y);
    }
    for (int k = 0; k < ItemKindCount; ++k) EXPECT_EQ(b.ItemCounter(k), a.ItemCounter(k));
    EXPECT_EQ(b.Caption(), "copy me");
    EXPECT_EQ(b.MarginLeft(), 80);
    EXPECT_EQ(b.MarginTop(), 24);
    EXPECT_EQ(b.MouseAction(), maZoomDrag);
    EXPECT_EQ(b.Scale1X()->RangeHigh(), 20.0);
    EXPECT_EQ(b.Scale2Y()->RangeHigh(), 9.0);
    EXPECT_EQ(b.JointLayers()->YControlledBy(3), 2);
    for (int layer = 1; layer <= LayerCount; ++layer) {
        EXPECT_DOUBLE_EQ(b.LayerTransform(layer).kx, a.LayerTransform(layer).kx);
        EXPECT_DOUBLE_EQ(b.LayerTransform(layer).dy, a.LayerTransform(layer).dy);
        EXPECT_EQ(b.AxisX(layer)->ExternalCanvas(), &TCustomKurvoPrivate::Get(b).ControlBitmap().Canvas());
        EXPECT_EQ(b.AxisY(layer)->ExternalCanvas(), &TCustomKurvoPrivate::Get(b).ControlBitmap().Canvas());
    }
    // The copy's objects notify the copy: a change of b's axis moves b only.
    b.Scale1X()->SetRangeHigh(50);
    EXPECT_EQ(b.AxisX(1)->RangeHigh(), 50.0);
    EXPECT_EQ(a.AxisX(1)->RangeHigh(), 20.0);
    b.JointLayers()->SetYControlledBy(4, 1);
    EXPECT_EQ(a.JointLayers()->YControlledBy(4), 4);
    // Appending to the copy leaves the source alone.
    b.DrawTo(99, 1);
    EXPECT_EQ(a.DataCount(), 21);
}

TEST(Chart, AssignLeavesTheSourceAloneAndCopiesAxisObjectsByTheirAssign)
{
    TKurvo a;
    a.HandleNeeded();
    a.Scale1X()->SetMouseAction(maPan);
    int sourcePaints = 0;
    a.OnScalesRendered = [&](TObject*, TCanvas&, int, int) { ++sourcePaints; };
    TKurvo b;
    b.Scale1Y()->SetMouseAction(maZoom);
    b.Assign(a);
    EXPECT_EQ(sourcePaints, 0);  // copying from a chart does not repaint it
    // The axis objects' own Assign copies no MouseAction: the copy keeps its own.
    EXPECT_EQ(b.Scale1X()->MouseAction(), maNone);
    EXPECT_EQ(b.Scale1Y()->MouseAction(), maZoom);
}

TEST(Chart, AxesOfACopyDrawOntoTheCopysBitmap)
{
    TKurvo a;
    a.SetBounds(0, 0, 300, 200);
    TKurvo b;
    b.SetBounds(0, 0, 300, 200);
    b.Assign(a);
    b.HandleNeeded();
    int onA = 0, onB = 0;
    b.OnScaleTickDrawn = [&](TObject* sender, TCanvas& canvas, TScaleType, double, int, int) {
        EXPECT_EQ(sender, &b);
        if (&canvas == &TCustomKurvoPrivate::Get(b).ControlBitmap().Canvas()) ++onB;
        if (&canvas == &TCustomKurvoPrivate::Get(a).ControlBitmap().Canvas()) ++onA;
    };
    b.Paint();
    EXPECT_EQ(onA, 0);
    (void)onB;  // ticks are drawn once axes paint their ticks
}

TEST(Chart, CreatingAndDestroyingManyChartsIsBounded)
{
    for (int i = 0; i < 1000; ++i) {
        auto chart = std::make_unique<TKurvo>();
        chart->MoveTo(0, 0);
        chart->DrawTo(1, 1.0);
    }
    // Resident memory stays bounded (the sanitizer build checks for leaks).
    std::ifstream status("/proc/self/status");
    std::string line;
    long rssKb = 0;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) rssKb = std::stol(line.substr(6));
    EXPECT_LT(rssKb, 1024L * 1024L);
}

TEST(Chart, AnErrorWhilePaintingForTheWindowIsReportedNotThrownIntoTheEventLoop)
{
    std::vector<std::string> messages;
    TMessageHandler previous = SetInfoMessageHandler([&](const std::string& text) { messages.push_back(text); });
    {
        TKurvo chart;
        chart.resize(300, 200);
        chart.show();
        QCoreApplication::processEvents();
        TScalePropsHoriz& x5 = *chart.ScaleX(5);
        x5.SetRangeLow(-2);
        x5.SetRangeHigh(-1);
        EXPECT_THROW(x5.SetLogarithmic(true), EQornKurvoError);  // a direct caller sees the error
        x5.StoreLogarithmic(true);  // an impossible axis stored without any check
        chart.Invalidate();
        chart.grab();  // the platform's paint request meets the error
        QCoreApplication::processEvents();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], "Logarithmic axis must not be negative.");
        // Reported once: the axis was made linear, later paints succeed.
        chart.Invalidate();
        chart.grab();
        QCoreApplication::processEvents();
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_FALSE(x5.Logarithmic());
    }
    SetInfoMessageHandler(previous);
}

TEST(Chart, ShowingTheWindowPaintsWhatWasAddedSinceItsCreation)
{
    TKurvo chart;
    chart.resize(300, 200);
    chart.show();  // window creation paints the empty chart
    QCoreApplication::processEvents();
    chart.Scale1X()->SetRangeHigh(10);
    chart.SetAutoRedraw(false);
    chart.MoveTo(0, 0);
    chart.DrawTo(10, 1.0);  // commands never repaint by themselves
    chart.hide();
    chart.show();
    const QImage shown = chart.grab().toImage();
    int x, y;
    chart.WorldToPixel(1, 5.0, 0.5, x, y);
    EXPECT_EQ(shown.pixelColor(x, y), QColor(Qt::black));
}
