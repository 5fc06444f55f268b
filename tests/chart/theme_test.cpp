// Themes: Classic is the new chart pixel for pixel, the others set readable
// and overridable properties and paint once, the series colours, and the
// System theme following the widget's palette.
#include "canvas/qt_interop.h"
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace kurvo {
namespace {

// Items of most kinds on two layers, a caption, a shadow and a text label:
// everything a theme could colour.
void Scene(TKurvo& chart)
{
    chart.SetBounds(0, 0, 420, 300);
    chart.SetStandardLayout(kvl_X1Bottom_Y2Left);
    chart.SetShadowWidth(4);
    chart.SetCaption("Themes");
    chart.Scale1X()->SetRangeHigh(10);
    chart.Scale1Y()->SetRangeLow(-1.5);
    chart.Scale1Y()->SetRangeHigh(1.5);
    chart.Scale2Y()->SetRangeHigh(50);
    std::vector<double> x, y;
    for (int i = 0; i <= 100; ++i) {
        x.push_back(i * 0.1);
        y.push_back(std::sin(i * 0.1));
    }
    chart.DrawPolyline(x, y);
    chart.Rectangle(1.0, 0.2, 2.0, 1.0);
    chart.Ellipse(5.0, -0.5, 1.0, 0.4);
    chart.Arc(7.0, 0.5, 1.0, 0.5, 10, 200);
    chart.MarkAt(3.0, 1.2, 24);
    chart.MarkAt(4.0, 1.2, 15);
    chart.Text(8.0, -1.0, "text");
    chart.SetCurrentLayer(2);
    chart.Line(0.0, 5.0, 10.0, 45.0);
    TTextLabel& label = *chart.TextLabel(1);
    label.SetCaption("label");
    label.SetPosX(2.0);
    label.SetPosY(-1.0);
    label.SetMode(tlShadow);
    label.SetVisible(true);
}

QImage Picture(TKurvo& chart) { return chart.ToImage(); }

TEST(Theme, ClassicIsTheNewChartPixelForPixel)
{
    TKurvo plain;
    plain.HandleNeeded();
    Scene(plain);
    const QImage expected = Picture(plain);
    EXPECT_EQ(plain.Theme(), ktClassic);
    EXPECT_FALSE(plain.Antialiased());

    TKurvo classic;
    classic.HandleNeeded();
    classic.ApplyTheme(ktClassic);
    Scene(classic);
    EXPECT_TRUE(Picture(classic) == expected);

    // Back from every other theme, applied before the items (which take
    // DataColor and FillColor) and after them.
    TKurvo back;
    back.HandleNeeded();
    for (const TKurvoTheme theme : {ktDark, ktSystem, ktLight, ktClassic}) back.ApplyTheme(theme);
    Scene(back);
    back.ApplyTheme(ktDark);
    back.ApplyTheme(ktClassic);
    EXPECT_TRUE(Picture(back) == expected);
    EXPECT_FALSE(back.Antialiased());
}

struct LookRow {
    TKurvoTheme Theme;
    TColor Surround;
    TColor Area;
};

TEST(Theme, SetsReadablePropertiesPaintsOnceAndYieldsToLaterSettings)
{
    const LookRow rows[] = {
        {ktLight, clWhite, clWhite},
        {ktDark, 0x242120, 0x2D2928},
    };
    for (const LookRow& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.Theme));
        TKurvo chart;
        chart.HandleNeeded();
        chart.SetBounds(0, 0, 300, 200);
        int paints = 0;
        chart.OnScalesRendered = [&](TObject*, TCanvas&, int, int) { ++paints; };
        chart.ApplyTheme(row.Theme);
        EXPECT_EQ(paints, 1);
        EXPECT_EQ(chart.Theme(), row.Theme);
        EXPECT_EQ(chart.WindColor(), row.Surround);
        EXPECT_EQ(chart.ChartColor(), row.Area);
        EXPECT_EQ(chart.GridStyle(), gsDotLines);
        EXPECT_TRUE(chart.Antialiased());
        EXPECT_EQ(ToQColor(chart.DataColor()), chart.SeriesColor(0));
        for (int n = 1; n <= LayerCount; ++n) {
            EXPECT_TRUE(chart.ScaleX(n)->TrimTrailingZeros());
            EXPECT_TRUE(chart.ScaleY(n)->TrimTrailingZeros());
            EXPECT_FALSE(chart.ScaleY(n)->ShortTicks());
        }
        // Layer 2's axes show the colour of the layer's data.
        EXPECT_EQ(ToQColor(chart.ScaleY(2)->ColorScale()), chart.SeriesColor(1));
        EXPECT_EQ(ToQColor(chart.ScaleY(2)->Font().Color()), chart.SeriesColor(1));

        // On the picture: the surround, the area between grid lines, and a
        // dotted grid line at the tick 0.2 of X.
        const QImage image = Picture(chart);
        int x, y, gridX;
        chart.WorldToPixel(1, 0.1, 0.5, x, y);
        chart.WorldToPixel(1, 0.2, 0.5, gridX, y);
        EXPECT_EQ(FromQColor(image.pixelColor(2, 2)), row.Surround);
        EXPECT_EQ(FromQColor(image.pixelColor(x, y)), row.Area);
        int gridPixels = 0;
        for (int row2 = chart.MarginTop() + 2; row2 < chart.Height() - chart.MarginBottom() - 2; ++row2)
            gridPixels += FromQColor(image.pixelColor(gridX, row2)) == chart.GridColor();
        EXPECT_GT(gridPixels, 20);

        // Everything stays the program's to change, and copies travel.
        chart.SetGridStyle(gsNone);
        EXPECT_EQ(chart.GridStyle(), gsNone);
        const QImage plain = Picture(chart);
        for (int row2 = chart.MarginTop() + 2; row2 < chart.Height() - chart.MarginBottom() - 2; ++row2)
            ASSERT_EQ(FromQColor(plain.pixelColor(gridX, row2)), row.Area) << row2;
        TKurvo copy;
        copy.Assign(chart);
        EXPECT_EQ(copy.Theme(), row.Theme);
        EXPECT_TRUE(copy.Antialiased());
    }
}

TEST(Theme, SeriesColorsAreDistinctReadableAndRepeat)
{
    TKurvo chart;
    for (const TKurvoTheme theme : {ktClassic, ktLight, ktDark}) {
        SCOPED_TRACE(static_cast<int>(theme));
        chart.ApplyTheme(theme);
        std::set<QRgb> seen;
        const QColor area = ToQColor(chart.ChartColor());
        for (int i = 0; i < SeriesColorCount; ++i) {
            const QColor c = chart.SeriesColor(i);
            seen.insert(c.rgb());
            EXPECT_EQ(chart.SeriesColor(i + SeriesColorCount), c);
            EXPECT_EQ(chart.SeriesColor(i - SeriesColorCount), c);
            // Each stands out from the data area by lightness or hue.
            EXPECT_GT(std::abs(c.lightness() - area.lightness()) + std::abs(c.saturation() - area.saturation()), 60)
                << i;
        }
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(SeriesColorCount));
    }
    chart.ApplyTheme(ktLight);
    const QColor light = chart.SeriesColor(3);
    chart.ApplyTheme(ktClassic);
    EXPECT_EQ(chart.SeriesColor(3), light);
    chart.ApplyTheme(ktDark);
    EXPECT_NE(chart.SeriesColor(3), light);
}

QPalette PaletteOf(const QColor& window, const QColor& base, const QColor& text)
{
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::WindowText, text);
    return p;
}

TEST(Theme, SystemFollowsThePaletteAndRepaints)
{
    TKurvo chart;
    chart.HandleNeeded();
    chart.SetBounds(0, 0, 300, 200);
    chart.setPalette(PaletteOf(QColor(230, 232, 236), QColor(250, 250, 250), QColor(10, 10, 10)));
    chart.ApplyTheme(ktSystem);
    int x, y;
    chart.WorldToPixel(1, 0.1, 0.5, x, y);
    EXPECT_EQ(TCustomKurvoPrivate::Get(chart).ControlBitmap().Pixel(2, 2), FromQColor(QColor(230, 232, 236)));
    EXPECT_EQ(TCustomKurvoPrivate::Get(chart).ControlBitmap().Pixel(x, y), FromQColor(QColor(250, 250, 250)));
    chart.ApplyTheme(ktLight);
    const QColor lightSeries = chart.SeriesColor(0);

    // A dark palette: the next paint, which the change itself causes, is in
    // its colours, and the series colours turn to the dark set.
    chart.ApplyTheme(ktSystem);
    int paints = 0;
    chart.OnScalesRendered = [&](TObject*, TCanvas&, int, int) { ++paints; };
    chart.setPalette(PaletteOf(QColor(20, 22, 24), QColor(30, 30, 34), QColor(240, 240, 240)));
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(TCustomKurvoPrivate::Get(chart).ControlBitmap().Pixel(2, 2), FromQColor(QColor(20, 22, 24)));
    EXPECT_EQ(TCustomKurvoPrivate::Get(chart).ControlBitmap().Pixel(x, y), FromQColor(QColor(30, 30, 34)));
    EXPECT_EQ(chart.WindColor(), FromQColor(QColor(20, 22, 24)));
    EXPECT_NE(chart.SeriesColor(0), lightSeries);
    chart.ApplyTheme(ktDark);
    EXPECT_EQ(chart.SeriesColor(0), chart.SeriesColor(0 + SeriesColorCount));

    // Another theme ends the following.
    chart.ApplyTheme(ktLight);
    paints = 0;
    chart.setPalette(PaletteOf(QColor(20, 22, 24), QColor(90, 30, 34), QColor(240, 240, 240)));
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(chart.WindColor(), clWhite);
}

}  // namespace
}  // namespace kurvo
