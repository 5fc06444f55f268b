// Paint hooks: user code draws its own extras with the chart's canvas.
// OnDataRendered runs after the data, with the data area's top-left corner
// at (left, top) of the chart: a chart pixel (x, y) is at (x - left,
// y - top) on the hook's canvas. OnScaleTickDrawn runs for every tick of
// every axis and gets the tick's pixel on the chart.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <cmath>
#include <cstdio>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    kurvo::TKurvo chart;
    chart.ApplyTheme(kurvo::ktLight);
    chart.setWindowTitle("Kurvo: paint hooks");
    chart.resize(640, 420);
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1Y()->SetRangeLow(-1.5);
    chart.Scale1Y()->SetRangeHigh(1.5);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 100; ++i) chart.DrawTo(i, std::sin(0.1 * i));

    // A marker that stays on the data point (50, sin 5) while the view pans.
    chart.OnDataRendered = [&chart](kurvo::TObject*, kurvo::TCanvas& canvas, int top, int left) {
        int x = 0;
        int y = 0;
        chart.WorldToPixel(1, 50, std::sin(5.0), x, y);
        canvas.Pen().SetColor(kurvo::clRed);
        canvas.Brush().SetStyle(kurvo::bsClear);
        canvas.Ellipse(x - left - 6, y - top - 6, x - left + 7, y - top + 7);
        canvas.Font().SetColor(kurvo::clRed);
        canvas.TextOut(x - left + 10, y - top - 6, "minimum");
        // A note at a fixed place of the data area.
        canvas.Pen().SetColor(kurvo::clGreen);
        canvas.Rectangle(8, 8, 150, 30);
        canvas.Font().SetColor(kurvo::clBlue);
        canvas.TextOut(14, 12, "drawn by user code");
    };
    // A second label in percent under every label of the left axis; (x, y)
    // is the tick's end on the chart.
    chart.SetMarginLeft(70);
    chart.OnScaleTickDrawn = [](kurvo::TObject*, kurvo::TCanvas& canvas, kurvo::TScaleType type, double value,
                                int x, int y) {
        if (type != kurvo::sctYR) return;  // sctYR: the left Y axis
        char text[16];
        std::snprintf(text, sizeof text, "%+.0f %%", value * 100);
        canvas.Font().SetColor(kurvo::clGray);
        canvas.TextOut(x - canvas.TextWidth(text) - 8, y + canvas.TextHeight(text) / 2, text);
    };
    return app.Run(chart);
}
