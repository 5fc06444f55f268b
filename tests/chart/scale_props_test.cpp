// Axis property objects: setter rules, Assign, SyncAxis.
#include "chart/Qorn_kurvo.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kurvo;

namespace {

struct Counted {
    TScalePropsHoriz props;
    int changes = 0;
    Counted()
    {
        props.SetLoadingFlag(false);
        props.OnChange = [this](TObject*) { ++changes; };
    }
};

}  // namespace

TEST(ScaleProps, ResetValues)
{
    TScalePropsVert v;
    EXPECT_EQ(v.RangeLow(), 0.0);
    EXPECT_EQ(v.RangeHigh(), 1.0);
    EXPECT_EQ(v.MinRange(), 1e-10);
    EXPECT_EQ(v.DecPlaces(), -2);
    EXPECT_FALSE(v.TrimTrailingZeros());
    EXPECT_EQ(v.MinTicks(), 3);
    EXPECT_TRUE(v.ShortTicks());
    EXPECT_FALSE(v.Visible());
    EXPECT_TRUE(v.LoadingFlag());
    EXPECT_EQ(v.ScaleLocation(), slLeft);
    EXPECT_EQ(v.ScaleType(), sctXT);  // until a location is set
    v.SetScaleLocation(slLeft);
    EXPECT_EQ(v.ScaleType(), sctYR);
    v.SetScaleLocation(slRight);
    EXPECT_EQ(v.ScaleType(), sctYL);
    TScalePropsHoriz h;
    h.SetScaleLocation(slTop);
    EXPECT_EQ(h.ScaleType(), sctXB);
    h.SetScaleLocation(slBottom);
    EXPECT_EQ(h.ScaleType(), sctXT);
    const TDTLabel& df = *h.DateFormat();
    EXPECT_EQ(df.TimeFormat(), tfHHMMSS);
    EXPECT_EQ(df.DateSeparator(), '-');
    EXPECT_EQ(df.TimeSeparator(), ':');
    EXPECT_EQ(df.YearLength(), ylYYYY);
    EXPECT_TRUE(df.MonthName());
    EXPECT_EQ(df.DateForTime(), dtOnePerDay);
    EXPECT_EQ(df.DateOrder(), doDDMMYY);
}

TEST(ScaleProps, RangeRules)
{
    struct Row {
        const char* what;
        double low0, high0;
        bool log;
        bool setLow;
        double value;
        double low, high;
    } rows[] = {
        {"narrow high widens low", 0, 1, false, false, 1e-12, 1e-12 - 1e-10, 1e-12},
        {"narrow low widens high", 0, 1, false, true, 1 - 1e-12, 1 - 1e-12, 1 - 1e-12 + 1e-10},
        {"plain low", 0, 1, false, true, -3, -3, 1},
        {"reversed allowed", 0, 1, false, false, -3, 0, -3},
        {"log refuses negative low", 1, 100, true, true, -5, 1, 100},
        {"log refuses zero high", 1, 100, true, false, 0, 1, 100},
        {"min range before log", 1, 100, true, false, 1 + 1e-12, 1 + 1e-12 - 1e-10, 1 + 1e-12},
        {"NaN ignored", 0, 1, false, true, std::numeric_limits<double>::quiet_NaN(), 0, 1},
        {"infinity ignored", 0, 1, false, false, std::numeric_limits<double>::infinity(), 0, 1},
    };
    for (const Row& r : rows) {
        Counted c;
        c.props.SetRangeLow(r.low0);
        c.props.SetRangeHigh(r.high0);
        if (r.log) c.props.SetLogarithmic(true);
        ASSERT_EQ(c.props.Logarithmic(), r.log) << r.what;
        if (r.setLow)
            c.props.SetRangeLow(r.value);
        else
            c.props.SetRangeHigh(r.value);
        EXPECT_DOUBLE_EQ(c.props.RangeLow(), r.low) << r.what;
        EXPECT_DOUBLE_EQ(c.props.RangeHigh(), r.high) << r.what;
    }
}

TEST(ScaleProps, MinRange)
{
    Counted c;
    c.props.SetMinRange(4);  // 0 ... 1 is narrower: recentred
    EXPECT_EQ(c.props.RangeLow(), -1.5);
    EXPECT_EQ(c.props.RangeHigh(), 2.5);
    EXPECT_EQ(c.changes, 1);
    c.props.SetMinRange(0);  // ignored, no notification
    c.props.SetMinRange(1e-101);
    EXPECT_EQ(c.props.MinRange(), 4.0);
    EXPECT_EQ(c.changes, 1);
    c.props.SetMinRange(2);  // range wide enough: stored without notification
    EXPECT_EQ(c.props.MinRange(), 2.0);
    EXPECT_EQ(c.changes, 1);
}

TEST(ScaleProps, LogarithmicChecksAfterLoading)
{
    TScalePropsHoriz p;
    p.SetLogarithmic(true);  // loading: accepted on 0 ... 1
    EXPECT_TRUE(p.Logarithmic());
    p.SetLogarithmic(false);
    p.SetLoadingFlag(false);
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    p.SetLogarithmic(true);  // RangeLow 0: refused, but notified
    EXPECT_FALSE(p.Logarithmic());
    EXPECT_EQ(changes, 1);
    p.SetRangeLow(0.5);
    p.SetLabelType(ftDateTime);
    p.SetLogarithmic(true);  // date/time axes are never logarithmic
    EXPECT_FALSE(p.Logarithmic());
    p.SetLabelType(ftNum);
    p.SetLogarithmic(true);
    EXPECT_TRUE(p.Logarithmic());
    p.SetLabelType(ftDateTime);
    EXPECT_FALSE(p.Logarithmic());
    p.SetLabelType(ftTime);
    EXPECT_EQ(p.DecPlaces(), 4);
}

TEST(ScaleProps, ClampsAndStores)
{
    Counted c;
    struct Row {
        int in, out;
    } dec[] = {{20, 12}, {-7, -3}, {5, 5}, {-3, -3}, {12, 12}};
    for (const Row& r : dec) {
        c.props.SetDecPlaces(r.in);
        EXPECT_EQ(c.props.DecPlaces(), r.out);
    }
    // ScalePos has one store per orientation.
    c.props.SetScaleLocation(slBottom);
    c.props.SetScalePos(30);
    EXPECT_EQ(c.props.ScalePos(), 30);
    TScalePropsVert v;
    v.SetScaleLocation(slLeft);
    v.SetScalePos(50);
    EXPECT_EQ(v.ScalePos(), 50);
    // A font change of the object's own font notifies.
    const int before = c.changes;
    c.props.Font().SetColor(clRed);
    EXPECT_GT(c.changes, before);
    // MouseAction is only stored: no notification.
    const int beforeMouse = c.changes;
    c.props.SetMouseAction(maPan);
    EXPECT_EQ(c.props.MouseAction(), maPan);
    EXPECT_EQ(c.changes, beforeMouse);
}

TEST(ScaleProps, AssignCopiesSettingsButNotLocationOrMouseAction)
{
    TScalePropsHoriz a;
    a.SetCaption("t");
    a.SetRangeLow(-2);
    a.SetRangeHigh(8);
    a.SetMinRange(0.5);
    a.SetScaleLocation(slTop);
    a.SetScalePos(12);
    a.SetMouseAction(maPan);
    a.SetVisible(true);
    a.SetTrimTrailingZeros(true);
    a.Font().SetColor(clBlue);
    a.DateFormat()->SetTimeFormat(tfAMPM);
    int calls = 0;
    a.OnChange = [&](TObject*) { ++calls; };

    TScalePropsHoriz b;
    b.Assign(a);
    EXPECT_EQ(calls, 0);  // Assign raises nothing
    EXPECT_EQ(b.Caption(), "t");
    EXPECT_EQ(b.RangeLow(), -2.0);
    EXPECT_EQ(b.RangeHigh(), 8.0);
    EXPECT_EQ(b.MinRange(), 0.5);
    EXPECT_EQ(b.ScaleType(), sctXB);
    EXPECT_EQ(b.ScaleLocation(), slBottom);  // the location itself is not copied
    EXPECT_EQ(b.ScalePos(), 12);
    EXPECT_EQ(b.MouseAction(), maNone);
    EXPECT_TRUE(b.Visible());
    EXPECT_TRUE(b.TrimTrailingZeros());
    EXPECT_EQ(b.Font().Color(), clBlue);
    EXPECT_EQ(b.DateFormat()->TimeFormat(), tfAMPM);
    b.SetCaption("u");  // the callback travelled with the settings
    EXPECT_EQ(calls, 1);

    TDTLabel other;
    EXPECT_THROW(b.Assign(other), EConvertError);
}

TEST(ScaleProps, SyncAxisPlacesTheAxisLineOnTheDataAreaEdge)
{
    TKurvo chart;
    chart.SetMarginLeft(80);
    chart.SetMarginRight(16);
    chart.SetBounds(0, 0, 473, 421);
    TScale& y1 = *chart.AxisY(1);
    EXPECT_EQ(chart.Scale1Y()->ScaleType(), sctYR);
    EXPECT_EQ(y1.ScaleType(), sctYR);
    EXPECT_EQ(y1.MarginRight(), 473 - 80 - 1);
    // ... so the base line x = Width - MarginRight - 1 is the data area's left edge.
    EXPECT_EQ(y1.Width() - y1.MarginRight() - 1, 80);
    TScale& x1 = *chart.AxisX(1);
    EXPECT_EQ(x1.ScaleType(), sctXT);
    EXPECT_EQ(x1.MarginTop(), 421 - chart.MarginBottom());
    EXPECT_EQ(x1.MarginLeft(), 80);
    EXPECT_EQ(x1.MarginRight(), 16 - 1);

    chart.Scale1X()->SetCaption("seconds");
    chart.Scale1X()->SetDecPlaces(3);
    chart.Scale1X()->SetTrimTrailingZeros(true);
    chart.Scale1X()->DateFormat()->SetDateSeparator('/');
    EXPECT_EQ(x1.Caption(), "seconds");
    EXPECT_EQ(x1.DecPlaces(), 3);
    EXPECT_TRUE(x1.TrimTrailingZeros());
    EXPECT_TRUE(x1.TickSettings().TrimTrailingZeros);
    EXPECT_EQ(x1.DateFormat()->DateSeparator(), '/');
}
