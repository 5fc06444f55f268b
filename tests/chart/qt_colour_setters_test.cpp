// Every colour setter that takes a TColor takes a QColor and Qt's named
// colours as well, and stores the same colour the TColor would be.
#include "chart/Qorn_kurvo.h"
#include "canvas/qt_interop.h"

#include <QColor>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace kurvo;

namespace {

struct TColourProperty {
    const char* Name;
    std::function<void(const QColor&)> SetQ;
    std::function<void(Qt::GlobalColor)> SetNamed;
    std::function<TColor()> Get;
};

// A row for the property `get` / `set` of `object`.
#define COLOUR_ROW(name, object, get, set)                                                      \
    TColourProperty                                                                             \
    {                                                                                           \
        name, [&](const QColor& c) { (object).set(c); }, [&](Qt::GlobalColor c) { (object).set(c); }, \
            [&] { return (object).get(); }                                                      \
    }

}  // namespace

TEST(QtColourSetters, EveryColourPropertyTakesQColorAndQtNamedColours)
{
    TKurvo chart;
    TScale axis;
    TPen pen;
    TBrush brush;
    TFont font;
    TTextLabel& label = *chart.TextLabel(1);
    const std::vector<TColourProperty> rows = {
        COLOUR_ROW("DataColor", chart, DataColor, SetDataColor),
        COLOUR_ROW("FillColor", chart, FillColor, SetFillColor),
        COLOUR_ROW("ChartColor", chart, ChartColor, SetChartColor),
        COLOUR_ROW("WindColor", chart, WindColor, SetWindColor),
        COLOUR_ROW("GridColor", chart, GridColor, SetGridColor),
        COLOUR_ROW("ChartFrameColor", chart, ChartFrameColor, SetChartFrameColor),
        COLOUR_ROW("ShadowColor", chart, ShadowColor, SetShadowColor),
        COLOUR_ROW("axis object ColorScale", *chart.Scale2Y(), ColorScale, SetColorScale),
        COLOUR_ROW("axis ColorScale", axis, ColorScale, SetColorScale),
        COLOUR_ROW("axis ColorBackGnd", axis, ColorBackGnd, SetColorBackGnd),
        COLOUR_ROW("crosshair Color", *chart.CrossHair3(), Color, SetColor),
        COLOUR_ROW("label ColorBkg", label, ColorBkg, SetColorBkg),
        COLOUR_ROW("label ColorBorder", label, ColorBorder, SetColorBorder),
        COLOUR_ROW("label ColorShadow", label, ColorShadow, SetColorShadow),
        COLOUR_ROW("label font Color", label.Font(), Color, SetColor),
        COLOUR_ROW("TextFont Color", chart.TextFont(), Color, SetColor),
        COLOUR_ROW("pen Color", pen, Color, SetColor),
        COLOUR_ROW("brush Color", brush, Color, SetColor),
        COLOUR_ROW("font Color", font, Color, SetColor),
    };
    for (const TColourProperty& row : rows) {
        SCOPED_TRACE(row.Name);
        row.SetQ(QColor(0x12, 0x34, 0x56));
        EXPECT_EQ(row.Get(), 0x563412);
        row.SetQ(QColor(0xAB, 0xCD, 0xEF, 0x40));  // the canvas paints opaque: alpha is dropped
        EXPECT_EQ(row.Get(), 0xEFCDAB);
        row.SetQ(QColor::fromHsv(240, 255, 255));  // other colour models become RGB
        EXPECT_EQ(row.Get(), clBlue);
        row.SetQ(QColor());
        EXPECT_EQ(row.Get(), clBlack);
        // Qt's names are colours, not the small numbers the enumeration holds.
        row.SetNamed(Qt::red);
        EXPECT_EQ(row.Get(), clRed);
        row.SetNamed(Qt::darkCyan);
        EXPECT_EQ(row.Get(), clTeal);
        row.SetNamed(Qt::white);
        EXPECT_EQ(row.Get(), clWhite);
    }
}

// A QColor set on the chart is the colour its pixels get.
TEST(QtColourSetters, TheChartPaintsTheQColor)
{
    TKurvo chart;
    chart.resize(300, 200);
    chart.SetChartColor(QColor(250, 240, 200));
    chart.SetWindColor(Qt::darkGreen);
    const QImage picture = chart.ToImage();
    EXPECT_EQ(QColor(picture.pixel(150, 100)), QColor(250, 240, 200));
    EXPECT_EQ(QColor(picture.pixel(2, 2)), QColor(Qt::darkGreen));
}
