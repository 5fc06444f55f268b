// Series as objects: their points (gaps, rings), the chart's list and its
// handles, FitToData, Assign, data sharing, repaints and events.
#include "render_test_support.h"

#include "base/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> Iota(int from, int n)
{
    std::vector<double> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = from + i;
    return v;
}

}  // namespace

// Points keep what was given, gaps included, in every way they arrive; a
// ring keeps the newest ones across its rebuilds.
TEST(Series, PointsAsGivenGapsIncludedAndRingsKeepTheNewest)
{
    TKurvo chart;
    TKurvoSeries* s = chart.AddSeries("s");
    s->SetData(std::vector<double>{1, 2, 3, HUGE_VAL}, std::vector<double>{10, kNaN, 30, 40});
    s->Append(5, -HUGE_VAL);
    s->Append(std::vector<double>{6, 7}, std::vector<double>{60, 70});
    s->Append(QPointF(8, 80));
    ASSERT_EQ(s->Count(), 8);
    const double xs[] = {1, 2, 3, HUGE_VAL, 5, 6, 7, 8};
    const double ys[] = {10, kNaN, 30, 40, -HUGE_VAL, 60, 70, 80};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(s->X(i), xs[i]) << i;
        if (std::isnan(ys[i]))
            EXPECT_TRUE(std::isnan(s->Y(i)));
        else
            EXPECT_EQ(s->Y(i), ys[i]) << i;
    }
    const std::optional<TDataRange> r = s->DataRange();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->XMin, 1);
    EXPECT_EQ(r->XMax, 8);
    EXPECT_EQ(r->YMin, 10);
    EXPECT_EQ(r->YMax, 80);

    // Rings of several sizes, fed one by one and in blocks, many times over.
    for (const std::int64_t capacity : {1, 7, 5000}) {
        TKurvoSeries* ring = chart.AddSeries("ring");
        ring->SetCapacity(capacity);
        int next = 0;
        for (int round = 0; round < 30; ++round) {
            const int n = round % 3 == 0 ? 1 : 997;
            std::vector<double> x = Iota(next, n), y = Iota(1000000 + next, n);
            if (round == 11) y[0] = kNaN;  // a gap travels through the ring
            ring->Append(x, y);
            next += n;
        }
        const std::int64_t kept = std::min<std::int64_t>(capacity, next);
        ASSERT_EQ(ring->Count(), kept) << capacity;
        for (std::int64_t i = 0; i < kept; i += std::max<std::int64_t>(1, kept / 50)) {
            EXPECT_EQ(ring->X(i), static_cast<double>(next - kept + i)) << capacity << " at " << i;
        }
        const std::optional<TDataRange> rr = ring->DataRange();
        ASSERT_TRUE(rr);
        EXPECT_EQ(rr->XMin, next - kept);
        EXPECT_EQ(rr->XMax, next - 1);
        // Lowering the capacity drops the oldest at once.
        ring->SetCapacity(1);
        EXPECT_EQ(ring->Count(), 1);
        EXPECT_EQ(ring->X(0), next - 1);
    }
}

// Bad input raises EQornKurvoError and changes nothing.
TEST(Series, BadInputIsRefusedAndNothingIsLost)
{
    TKurvo chart;
    TKurvoSeries* s = chart.AddSeries("s");
    s->SetData(std::vector<double>{1, 2}, std::vector<double>{3, 4});
    s->SetCapacity(10);
    TKurvo other;
    TKurvoSeries* foreign = other.AddSeries("foreign");
    const std::vector<double> three{1, 2, 3}, two{1, 2};
    const struct {
        const char* Name;
        std::function<void()> Call;
    } rows[] = {
        {"SetData lengths", [&] { s->SetData(three, two); }},
        {"Append lengths", [&] { s->Append(two, three); }},
        {"X beyond", [&] { (void)s->X(2); }},
        {"Y before", [&] { (void)s->Y(-1); }},
        {"capacity 0", [&] { s->SetCapacity(0); }},
        {"capacity -5", [&] { s->SetCapacity(-5); }},
        {"layer 17", [&] { s->SetLayer(17); }},
        {"AddSeries layer -1", [&] { chart.AddSeries("x", -1); }},
        {"mark size", [&] { s->SetMark(TMark::Circle, MaxMarkSize + 1); }},
        {"mark", [&] { s->SetMark(static_cast<TMark>(52)); }},
        {"style", [&] { s->SetStyle(static_cast<TSeriesStyle>(99)); }},
        {"pen colour", [&] { s->SetPen(QColor()); }},
        {"baseline", [&] { s->SetBaseline(kNaN); }},
        {"bar width", [&] { s->SetBarWidth(-1); }},
        {"fill to itself", [&] { s->SetFillTo(s); }},
        {"fill to another chart's", [&] { s->SetFillTo(foreign); }},
        {"remove another chart's", [&] { chart.RemoveSeries(foreign); }},
        {"remove null", [&] { chart.RemoveSeries(nullptr); }},
        {"Series(5)", [&] { (void)chart.Series(5); }},
        {"FitToData another chart's", [&] { chart.FitToData(foreign); }},
        {"legend placement", [&] { chart.Legend()->SetPlacement(static_cast<TLegendPlacement>(9)); }},
    };
    for (const auto& row : rows) {
        EXPECT_THROW(row.Call(), EQornKurvoError) << row.Name;
        EXPECT_EQ(s->Count(), 2) << row.Name;
        EXPECT_EQ(s->Y(1), 4) << row.Name;
        EXPECT_EQ(s->Capacity(), 10) << row.Name;
        EXPECT_EQ(s->Layer(), 1) << row.Name;
        EXPECT_EQ(chart.SeriesCount(), 1) << row.Name;
    }
}

// The chart's handles: order, removal, fill links, Assign's copies, defaults
// and data sharing, which shares items but not series.
TEST(Series, HandlesBelongToTheirChartAndNothingDangles)
{
    TKurvo chart;
    chart.SetCurrentLayer(3);
    TKurvoSeries* a = chart.AddSeries("a");
    TKurvoSeries* b = chart.AddSeries(QString("b"), 2);
    TKurvoSeries* c = chart.AddSeries(std::string_view("c"));
    EXPECT_EQ(a->Layer(), 3);
    EXPECT_EQ(b->Layer(), 2);
    EXPECT_NE(a->PenColor(), b->PenColor());  // each its own colour
    TKurvo dark;
    dark.ApplyTheme(ktDark);
    EXPECT_EQ(dark.AddSeries("d")->PenColor(), dark.SeriesColor(0));  // the theme's colours
    b->SetData(std::vector<double>{1, 2}, std::vector<double>{5, 6});
    c->SetFillTo(b);
    chart.RemoveSeries(b);
    EXPECT_EQ(chart.SeriesCount(), 2);
    EXPECT_EQ(chart.Series(1), c);
    EXPECT_EQ(c->FillTo(), nullptr);
    EXPECT_THROW(chart.RemoveSeries(b), EQornKurvoError);  // removed before: refused, never used
    EXPECT_EQ(chart.IndexOfSeries(b), -1);

    c->SetData(std::vector<double>{1, 2, 3}, std::vector<double>{7, 8, 9});
    c->SetFillTo(a);
    c->SetStyle(TSeriesStyle::Area);
    chart.Legend()->SetVisible(true);
    TKurvo copy;
    copy.Assign(chart);
    ASSERT_EQ(copy.SeriesCount(), 2);
    TKurvoSeries* cc = copy.Series(1);
    EXPECT_NE(cc, c);
    EXPECT_EQ(cc->Chart(), &copy);
    EXPECT_EQ(cc->Count(), 3);
    EXPECT_EQ(cc->Style(), TSeriesStyle::Area);
    EXPECT_EQ(cc->FillTo(), copy.Series(0));
    EXPECT_TRUE(copy.Legend()->Visible());
    cc->Append(4, 10);
    EXPECT_EQ(c->Count(), 3);  // the copies are independent

    // A chart that shows another's items shows its own series only.
    TKurvo sharer;
    sharer.SetUseDataOf(&chart);
    EXPECT_EQ(sharer.SeriesCount(), 0);
    chart.ClearSeries();
    EXPECT_EQ(chart.SeriesCount(), 0);
    EXPECT_EQ(copy.SeriesCount(), 2);
    sharer.SetUseDataOf(nullptr);
}

// FitToData takes the shown series and line views of a layer (or one series
// alone), their finite points only, positive ones on a logarithmic axis.
TEST(Series, FitToDataIncludesSeries)
{
    TKurvo chart;
    chart.SetBounds(0, 0, 400, 300);
    chart.MoveTo(0.0, 0.0);
    chart.DrawTo(10.0, 5.0);
    TKurvoSeries* wide = chart.AddSeries("wide");
    wide->SetData(std::vector<double>{-20, kNaN, 30}, std::vector<double>{-1, 1e300, 2});
    TKurvoSeries* hidden = chart.AddSeries("hidden");
    hidden->SetData(std::vector<double>{-1000, 1000}, std::vector<double>{-1000, 1000});
    hidden->SetVisible(false);
    TKurvoSeries* other = chart.AddSeries("other layer", 2);
    other->SetData(std::vector<double>{0.5, 100}, std::vector<double>{-3, 4});
    chart.SetCurrentLayer(3);
    const std::vector<double> viewX{-2, 7, kNaN, 3}, viewY{-4, 0.25, 9, 8};
    chart.AddLineView(viewX, viewY);
    const std::vector<std::int16_t> samples{-100, 200, 50};
    chart.AddLineView(TKurvoSampleView(std::span<const std::int16_t>(samples)).SetScale(0.01, 0.0).SetXSpacing(10, 5));
    TKurvoSeries* viewed = chart.AddSeries("over a view", 4);
    viewed->SetView(TKurvoSampleView(std::span<const std::int16_t>(samples)).SetScale(0.01, 0.0).SetXSpacing(10, 5));

    const struct {
        const char* Name;
        std::function<void()> Fit;
        double XLow, XHigh, YLow, YHigh;
    } rows[] = {
        {"layer 1", [&] { chart.FitToData(1); }, -20, 30, -1, 5},
        {"one series", [&] { chart.FitToData(wide); }, -20, 30, -1, 2},
        {"bars from their baseline", [&] {
             wide->SetStyle(TSeriesStyle::Bars);
             wide->SetBaseline(-7);
             chart.FitToData(wide);
         }, -20, 30, -7, 2},
        {"hidden one alone", [&] { chart.FitToData(hidden); }, -1000, 1000, -1000, 1000},
        {"layer 2 logarithmic", [&] {
             chart.ScaleX(2)->SetRangeLow(1);
             chart.ScaleX(2)->SetLogarithmic(true);
             other->Append(-5, 0);
             chart.FitToData(2);
         }, 0.5, 100, -3, 4},
        {"layer 3 line views", [&] { chart.FitToData(3); }, -2, 20, -4, 8},
        {"layer 3 logarithmic", [&] {
             chart.ScaleY(3)->SetRangeLow(1);
             chart.ScaleY(3)->SetLogarithmic(true);
             chart.FitToData(3);
         }, -2, 20, 0.25, 8},
        {"layer 4 series over a view", [&] { chart.FitToData(viewed); }, 10, 20, -1, 2},
    };
    for (const auto& row : rows) {
        row.Fit();
        const std::string name = row.Name;
        const int layer = name.find("layer ") == 0 ? name[6] - '0' : 1;
        EXPECT_DOUBLE_EQ(chart.ScaleX(layer)->RangeLow(), row.XLow) << row.Name;
        EXPECT_DOUBLE_EQ(chart.ScaleX(layer)->RangeHigh(), row.XHigh) << row.Name;
        EXPECT_DOUBLE_EQ(chart.ScaleY(layer)->RangeLow(), row.YLow) << row.Name;
        EXPECT_DOUBLE_EQ(chart.ScaleY(layer)->RangeHigh(), row.YHigh) << row.Name;
    }
}

// A series over a view reads the program's samples: it follows their
// changes, Assign copies it over the same memory; appending and a capacity
// are refused, while SetData and Clear give it points of its own again.
TEST(Series, OverAViewReadsTheProgramsSamplesUntilGivenPointsOfItsOwn)
{
    TKurvo chart;
    std::vector<float> samples{1, 2, kNaN, 4};
    TKurvoSeries* s = chart.AddSeries("view");
    s->SetView(TKurvoSampleView(std::span<const float>(samples), 10, 2));
    ASSERT_TRUE(s->HasView());
    EXPECT_EQ(s->Count(), 4);
    EXPECT_EQ(s->X(3), 16);
    EXPECT_TRUE(std::isnan(s->Y(2)));
    samples.push_back(-8);
    samples[0] = 9;
    s->DataChanged(TKurvoSampleView(std::span<const float>(samples), 10, 2), 0);
    ASSERT_EQ(s->Count(), 5);
    const std::optional<TDataRange> r = s->DataRange();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->XMax, 18);
    EXPECT_EQ(r->YMin, -8);
    EXPECT_EQ(r->YMax, 9);
    TKurvo copy;
    copy.Assign(chart);
    samples[1] = 100;  // in place: each chart is told
    s->DataChanged();
    copy.Series(0)->DataChanged();
    EXPECT_EQ(s->DataRange()->YMax, 100);
    EXPECT_EQ(copy.Series(0)->DataRange()->YMax, 100);

    TKurvoSeries* ring = chart.AddSeries("ring");
    ring->SetCapacity(10);
    EXPECT_THROW(ring->SetView(TKurvoSampleView(std::span<const float>(samples))), EQornKurvoError);
    EXPECT_THROW(TKurvo().AddSeries("x")->DataChanged(TKurvoSampleView(), 0), EQornKurvoError);
    const std::vector<double> two{1, 2};
    const struct {
        const char* Name;
        std::function<void(TKurvoSeries&)> Call;
        bool Throws;
        std::int64_t Count;  // afterwards; HasView() while it is 5
    } rows[] = {
        {"Append", [](TKurvoSeries& v) { v.Append(1, 2); }, true, 5},
        {"Append spans", [&](TKurvoSeries& v) { v.Append(two, two); }, true, 5},
        {"SetCapacity", [](TKurvoSeries& v) { v.SetCapacity(3); }, true, 5},
        {"unreadable view", [](TKurvoSeries& v) { v.SetView(TKurvoSampleView(stDouble, nullptr, 5, 0, 1)); }, true, 5},
        {"SetData", [&](TKurvoSeries& v) { v.SetData(two, two); }, false, 2},
        {"Clear", [](TKurvoSeries& v) { v.Clear(); }, false, 0},
    };
    for (const auto& row : rows) {
        TKurvoSeries* v = chart.AddSeries(row.Name);
        v->SetView(TKurvoSampleView(std::span<const float>(samples)));
        if (row.Throws)
            EXPECT_THROW(row.Call(*v), EQornKurvoError) << row.Name;
        else
            row.Call(*v);
        EXPECT_EQ(v->Count(), row.Count) << row.Name;
        EXPECT_EQ(v->HasView(), row.Count == 5) << row.Name;
    }
}

// Style setters repaint at once with AutoRedraw and only mark the picture
// stale without it; data changes ask for one coalesced paint. Events come
// in order.
TEST(Series, RepaintsAndEvents)
{
    TKurvo chart;
    chart.HandleNeeded();
    int paints = 0;
    std::vector<std::string> events;
    chart.OnScalesRendered = [&](TObject*, TCanvas&, int, int) { ++paints; };
    chart.OnSeriesChange = [&](TObject*, TKurvoSeries* s) { events.push_back(s ? "change " + s->Name() : "change"); };
    QObject::connect(&chart, &TCustomKurvo::seriesChanged, [&](int i) { events.push_back("signal " + std::to_string(i)); });
    TKurvoSeries* s = chart.AddSeries("s");
    EXPECT_EQ(paints, 1);
    s->SetPen(QColor(1, 2, 3), 2);
    s->SetMark(TMark::Star, 12);
    s->SetStyle(TSeriesStyle::Marks);
    s->SetName("t");
    s->SetVisible(false);
    chart.Legend()->SetVisible(true);
    EXPECT_EQ(paints, 7);
    for (int i = 0; i < 100; ++i) s->Append(i, i);  // no paint per point
    EXPECT_EQ(paints, 7);
    chart.SetAutoRedraw(false);
    s->SetBrush(QColor(9, 9, 9));
    EXPECT_EQ(paints, 7);
    chart.RemoveSeries(s);
    EXPECT_EQ(events,
              (std::vector<std::string>{"change s", "signal 0", "change t", "signal 0", "change", "signal -1"}));
}

// FollowNewest moves the layer's X range at the next paint, keeping its
// width and direction; log axes keep their ratio.
TEST(Series, FollowNewestMovesTheRangeAtThePaint)
{
    TKurvo chart;
    chart.HandleNeeded();
    chart.Scale1X()->SetRangeLow(0);
    chart.Scale1X()->SetRangeHigh(10);
    TKurvoSeries* s = chart.AddSeries("s");
    s->SetFollowNewest(true);
    s->Append(std::vector<double>{20, 25, kNaN}, std::vector<double>{1, 2, 3});
    EXPECT_EQ(chart.Scale1X()->RangeHigh(), 10);  // not before the paint
    chart.Paint();
    EXPECT_EQ(chart.Scale1X()->RangeLow(), 15);
    EXPECT_EQ(chart.Scale1X()->RangeHigh(), 25);
    chart.Scale1X()->SetRangeLow(40);  // reversed
    chart.Scale1X()->SetRangeHigh(30);
    s->Append(50, 1);
    chart.Paint();
    EXPECT_EQ(chart.Scale1X()->RangeLow(), 60);
    EXPECT_EQ(chart.Scale1X()->RangeHigh(), 50);
    chart.Scale1X()->SetRangeLow(1);
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1X()->SetLogarithmic(true);
    s->Append(1000, 1);
    chart.Paint();
    EXPECT_DOUBLE_EQ(chart.Scale1X()->RangeLow(), 10);
    EXPECT_DOUBLE_EQ(chart.Scale1X()->RangeHigh(), 1000);
}
