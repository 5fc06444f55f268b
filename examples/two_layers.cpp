// Two layers over one data area: temperature on layer 1 with the left Y
// axis, rain on layer 2 with a second Y axis on the right. Each layer has
// its own ranges; the standard layout kvl_X1Bottom_Y2Both shows both axes.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <cmath>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    kurvo::TKurvo chart;
    chart.ApplyTheme(kurvo::ktLight);
    chart.setWindowTitle("Kurvo: two layers, two Y axes");
    chart.resize(640, 420);
    chart.SetStandardLayout(kurvo::kvl_X1Bottom_Y2Both);
    for (int layer = 1; layer <= 2; ++layer) {
        chart.ScaleX(layer)->SetRangeLow(1);
        chart.ScaleX(layer)->SetRangeHigh(12);
    }
    chart.Scale1Y()->SetRangeLow(-5);
    chart.Scale1Y()->SetRangeHigh(25);
    chart.Scale1Y()->SetCaption("\xC2\xB0" "C");
    chart.Scale2Y()->SetRangeLow(0);
    chart.Scale2Y()->SetRangeHigh(120);
    chart.Scale2Y()->SetCaption("mm");

    chart.SetCurrentLayer(2);  // rain as bars, in layer 2's units
    chart.SetDataColor(kurvo::clNavy);
    chart.SetFillColor(kurvo::clAqua);
    for (int month = 1; month <= 12; ++month)
        chart.Rectangle(month - 0.3, 0.0, month + 0.3, 60.0 + 40.0 * std::cos(month * 0.52));

    chart.SetCurrentLayer(1);  // temperature as a line over the bars
    chart.SetDataColor(kurvo::clRed);
    chart.SetLineWidth(2);
    for (int month = 1; month <= 12; ++month) {
        const double celsius = 10.0 - 11.0 * std::cos((month - 1) * 0.52);
        if (month == 1)
            chart.MoveTo(1.0, celsius);
        else
            chart.DrawTo(month * 1.0, celsius);
    }
    return app.Run(chart);
}
