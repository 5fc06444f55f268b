// A scatter plot with two kinds of marks and a legend made of marks and
// texts. The points are world values (doubles); the legend is drawn in
// annotation mode with int coordinates, which are pixels of the data area,
// so it stays in its corner while the data pans (drag with the mouse).
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <cmath>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    kurvo::TKurvo chart;
    chart.ApplyTheme(kurvo::ktLight);
    chart.setWindowTitle("Kurvo: scatter plot with a legend");
    chart.resize(640, 420);
    chart.Scale1X()->SetRangeHigh(10);
    chart.Scale1Y()->SetRangeHigh(10);
    chart.SetMouseAction(kurvo::maPan);

    constexpr int kCircle = 3;  // mark types: 0 ... 51 are symbols
    constexpr int kSquare = 9;
    for (int i = 0; i < 60; ++i) {
        const double a = 0.1 * i;
        chart.SetDataColor(kurvo::clBlue);
        chart.MarkAt(1.0 + a + 0.8 * std::sin(3.1 * i), 2.0 + 0.6 * a + std::cos(1.7 * i), kCircle);
        chart.SetDataColor(kurvo::clRed);
        chart.MarkAt(1.0 + a + 0.7 * std::cos(2.3 * i), 7.5 - 0.5 * a + 0.8 * std::sin(1.3 * i), kSquare);
    }

    chart.SetAnnotationMode(true);
    chart.SetFillColor(kurvo::clWhite);
    chart.SetDataColor(kurvo::clBlack);
    chart.Rectangle(440, 10, 560, 56);
    chart.SetDataColor(kurvo::clBlue);
    chart.MarkAt(455, 24, kCircle);
    chart.SetDataColor(kurvo::clRed);
    chart.MarkAt(455, 42, kSquare);
    chart.SetDataColor(kurvo::clBlack);
    chart.SetTextAlignment(kurvo::taLeftJustify);
    chart.Text(468, 17, "rising");
    chart.Text(468, 35, "falling");
    chart.SetAnnotationMode(false);
    return app.Run(chart);
}
