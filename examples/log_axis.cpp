// A logarithmic Y axis: the growth of a quantity over five decades.
//
// A logarithmic axis needs two positive bounds. Setting the range first
// and switching Logarithmic on after always works; the stand-alone axis
// control TScale ignores SetLogarithmic(true) while a bound is 0 or less
// (a new one runs from 0 to 100).
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <cmath>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    kurvo::TKurvo chart;
    chart.ApplyTheme(kurvo::ktLight);
    chart.setWindowTitle("Kurvo: logarithmic axis");
    chart.resize(640, 420);
    chart.SetMarginLeft(70);

    kurvo::TScalePropsVert& y = *chart.Scale1Y();
    y.SetRangeLow(1);
    y.SetRangeHigh(1e5);
    y.SetLogarithmic(true);
    y.SetCaption("cells");
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1X()->SetCaption("hours");
    chart.SetGridStyle(kurvo::gsDotLines);

    chart.SetDataColor(kurvo::clNavy);
    chart.MoveTo(0, 1);
    for (int hour = 1; hour <= 100; ++hour) chart.DrawTo(hour, 1e5 / (1.0 + 1e5 * std::exp(-0.15 * hour)));
    return app.Run(chart);
}
