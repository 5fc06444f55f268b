// The legend: where each placement puts it, which series it lists, that
// every picture shows it, and clicks on its entries.
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <string>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

namespace {

// The demo geometry (data area 80 ... 457 x 20 ... 381) with three series.
struct TLegendChart {
    TKurvo Chart;
    TKurvoSeries* A;
    TKurvoSeries* B;
    TKurvoSeries* Unnamed;
    TLegendChart()
    {
        DemoGeometry(Chart);
        Chart.SetChartColor(clWhite);
        A = Chart.AddSeries("first");
        B = Chart.AddSeries("second, a longer name");
        Unnamed = Chart.AddSeries("");
        for (TKurvoSeries* s : {A, B, Unnamed}) s->SetData(std::vector<double>{10, 90}, std::vector<double>{-4, 4});
        A->SetPen(QColor(255, 0, 0), 3);
        B->SetStyle(TSeriesStyle::Bars);
        B->SetBrush(QColor(0, 0, 255));
        Chart.Legend()->SetVisible(true);
        Chart.Legend()->SetFrameColor(QColor(0, 160, 0));
    }
    // The series of each entry, top to bottom (left to right in a row).
    std::vector<TKurvoSeries*> Entries()
    {
        std::vector<TKurvoSeries*> out;
        const QRect g = Chart.Legend()->Geometry();
        for (int y = g.top(); y <= g.bottom(); ++y)
            for (int x = g.left(); x <= g.right(); x += 4) {
                TKurvoSeries* s = Chart.Legend()->SeriesAt(QPoint(x, y));
                if (s != nullptr && std::find(out.begin(), out.end(), s) == out.end()) out.push_back(s);
            }
        return out;
    }
    QPoint EntryPoint(const TKurvoSeries* s)
    {
        const QRect g = Chart.Legend()->Geometry();
        for (int y = g.top(); y <= g.bottom(); ++y)
            for (int x = g.left(); x <= g.right(); ++x)
                if (Chart.Legend()->SeriesAt(QPoint(x, y)) == s) return {x + 2, y + 2};
        return {-1, -1};
    }
};

}  // namespace

TEST(Legend, PlacementsListShownNamedSeriesInOrder)
{
    TLegendChart t;
    const QSize size = t.Chart.Legend()->Size();
    ASSERT_GT(size.width(), 40);
    const struct {
        TLegendPlacement Placement;
        int Left, Top;  // -1: checked otherwise
    } rows[] = {
        {TLegendPlacement::InsideTopLeft, 88, 28},
        {TLegendPlacement::InsideTopRight, 457 - 8 - size.width(), 28},
        {TLegendPlacement::InsideBottomLeft, 88, 381 - 8 - size.height()},
        {TLegendPlacement::InsideBottomRight, 457 - 8 - size.width(), 381 - 8 - size.height()},
        {TLegendPlacement::OutsideRight, 473 - 8 - size.width(), 20},
    };
    for (const auto& row : rows) {
        t.Chart.Legend()->SetPlacement(row.Placement);
        const QRect g = t.Chart.Legend()->Geometry();
        EXPECT_EQ(g.topLeft(), QPoint(row.Left, row.Top)) << static_cast<int>(row.Placement);
        EXPECT_EQ(g.size(), size);
        EXPECT_EQ(t.Entries(), (std::vector<TKurvoSeries*>{t.A, t.B}));
    }
    // Outside bottom: one row, centred under the data area, at the bottom edge.
    t.Chart.Legend()->SetPlacement(TLegendPlacement::OutsideBottom);
    const QRect row = t.Chart.Legend()->Geometry();
    EXPECT_LT(row.height(), size.height());
    EXPECT_NEAR(row.center().x(), (80 + 457) / 2, 1);
    EXPECT_LE(row.bottom(), 421 - 4);
    EXPECT_EQ(t.Entries(), (std::vector<TKurvoSeries*>{t.A, t.B}));
    // Hidden series leave, unless clicks may bring them back; no entry, no legend.
    t.A->SetVisible(false);
    EXPECT_EQ(t.Entries(), (std::vector<TKurvoSeries*>{t.B}));
    t.Chart.Legend()->SetClickToggles(true);
    EXPECT_EQ(t.Entries(), (std::vector<TKurvoSeries*>{t.A, t.B}));
    t.B->SetName("");
    t.A->SetName("");
    EXPECT_TRUE(t.Chart.Legend()->Geometry().isEmpty());
}

// Image export and PaintTo show the legend, inside over the data and
// outside in the margin (over the data area when the margin is too narrow),
// with its samples.
TEST(Legend, EveryPictureShowsIt)
{
    TLegendChart t;
    const QRgb frame = qRgb(0, 160, 0);
    for (const TLegendPlacement placement : {TLegendPlacement::InsideBottomLeft, TLegendPlacement::OutsideRight}) {
        t.Chart.Legend()->SetPlacement(placement);
        const QRect g = t.Chart.Legend()->Geometry();
        const int sampleX = t.EntryPoint(t.A).x() + 8;
        QImage painted(473, 421, QImage::Format_RGB32);
        painted.fill(Qt::black);
        QPainter painter(&painted);
        t.Chart.PaintTo(painter);
        painter.end();
        for (const QImage& image : {t.Chart.ToImage(), painted}) {
            EXPECT_EQ(image.pixel(g.topLeft()), frame);
            EXPECT_EQ(image.pixel(g.bottomRight()), frame);
            EXPECT_EQ(image.pixel(g.center().x(), g.top() + 2), qRgb(255, 255, 255));
            // The line sample of the first entry is red, three pixels thick.
            int red = 0;
            for (int y = g.top(); y <= g.bottom(); ++y) red += image.pixel(sampleX, y) == qRgb(255, 0, 0);
            EXPECT_EQ(red, 3) << static_cast<int>(placement);
        }
    }
    t.Chart.Legend()->SetVisible(false);
    EXPECT_TRUE(t.Chart.Legend()->Geometry().isEmpty());
}

// With ClickToggles a press on an entry toggles its series and pans
// nothing; OnLegendClick follows. Without it (and without a handler) the
// press is the mouse action's.
TEST(Legend, ClicksToggleSeriesAndStartNoMouseAction)
{
    TLegendChart t;
    TKurvo& c = t.Chart;
    c.SetMouseAction(maPan);
    c.Legend()->SetPlacement(TLegendPlacement::InsideTopLeft);
    std::vector<std::string> events;
    c.OnLegendClick = [&](TObject*, TKurvoSeries* s) { events.push_back("click " + s->Name()); };
    c.OnSeriesChange = [&](TObject*, TKurvoSeries* s) { events.push_back("change " + s->Name()); };
    QObject::connect(&c, &TCustomKurvo::legendEntryClicked, [&](int i) { events.push_back("signal " + std::to_string(i)); });
    const auto drag = [&](QPoint from) {
        c.MouseDown(mbLeft, {ssLeft}, from.x(), from.y());
        for (int k = 1; k <= 3; ++k) c.WMMouseMove({ssLeft}, from.x() + 20 * k, from.y() + 10 * k);
        c.MouseUp(mbLeft, {}, from.x() + 60, from.y() + 30);
        return c.Scale1X()->RangeLow();
    };
    c.Legend()->SetClickToggles(true);
    const QPoint b = t.EntryPoint(t.B);
    EXPECT_EQ(drag(b), 0.0);  // no pan
    EXPECT_FALSE(t.B->Visible());
    EXPECT_EQ(drag(b), 0.0);
    EXPECT_TRUE(t.B->Visible());
    EXPECT_EQ(events, (std::vector<std::string>{"change second, a longer name", "click second, a longer name", "signal 1",
                                                "change second, a longer name", "click second, a longer name",
                                                "signal 1"}));
    // Right button: consumed, no toggle.
    c.MouseDown(mbRight, {ssRight}, b.x(), b.y());
    c.MouseUp(mbRight, {}, b.x(), b.y());
    EXPECT_TRUE(t.B->Visible());
    // Outside the legend the drag pans.
    EXPECT_NE(drag(QPoint(300, 300)), 0.0);
    c.Scale1X()->SetRangeLow(0);
    c.Scale1X()->SetRangeHigh(100);
    c.Legend()->SetClickToggles(false);
    c.OnLegendClick = nullptr;
    EXPECT_NE(drag(b), 0.0);
    EXPECT_TRUE(t.B->Visible());
}
