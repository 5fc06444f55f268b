// A crosshair that follows the pointer and a text label that shows the
// world coordinates under it. OnMouseMoveInChart reports every pointer move
// in world units of layer 1.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <cmath>
#include <cstdio>

namespace {

void ShowPosition(kurvo::TKurvo& chart, double x, double y)
{
    chart.CrossHair1()->SetPosX(x);
    chart.CrossHair1()->SetPosY(y);
    char text[64];
    std::snprintf(text, sizeof text, "x = %.2f\ny = %.3f", x, y);
    chart.TextLabel(1)->SetCaption(text);
}

}  // namespace

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    kurvo::TKurvo chart;
    chart.ApplyTheme(kurvo::ktLight);
    chart.setWindowTitle("Kurvo: crosshair");
    chart.resize(640, 420);
    chart.Scale1X()->SetRangeHigh(10);
    chart.Scale1Y()->SetRangeLow(-1.2);
    chart.Scale1Y()->SetRangeHigh(1.2);
    chart.MoveTo(0, 1);
    for (int i = 1; i <= 10; ++i) chart.DrawTo(i, std::cos(i));

    kurvo::TCrossHair& cross = *chart.CrossHair1();
    cross.SetLayer(1);
    cross.SetColor(kurvo::clRed);
    cross.SetMode(kurvo::chBoth);
    kurvo::TTextLabel& label = *chart.TextLabel(1);
    label.SetMode(kurvo::tlBox);
    label.SetVisible(true);
    label.SetAlignment(kurvo::taLeftJustify);
    label.SetVerticalAlignment(kurvo::vaTop);
    // Not attached to data, the position is in pixels of the chart control
    // (a chart's labels start attached to both world coordinates).
    label.SetAttachToData(kurvo::tlamNone);
    label.SetPosX(chart.MarginLeft() + 12);
    label.SetPosY(chart.MarginTop() + 12);
    label.SetColorBkg(kurvo::clInfoBk);

    chart.OnMouseMoveInChart = [&chart](kurvo::TObject*, bool inChart, kurvo::TShiftState, double x, double y) {
        if (inChart) ShowPosition(chart, x, y);
    };
    ShowPosition(chart, 4, std::cos(4.0));  // where the picture shows it
    return app.Run(chart);
}
