// A line chart from two arrays: DrawPolyline adds the whole series in one
// step, FitToData sets the ranges to the data with a margin.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <cmath>
#include <vector>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    std::vector<double> time(400);
    std::vector<double> voltage(400);
    for (std::size_t i = 0; i < time.size(); ++i) {
        time[i] = 0.05 * static_cast<double>(i);  // seconds
        voltage[i] = 3.0 * std::sin(time[i]) + std::sin(7.0 * time[i]);
    }

    kurvo::TKurvo chart;
    chart.ApplyTheme(kurvo::ktLight);
    chart.setWindowTitle("Kurvo: line chart from arrays");
    chart.resize(640, 420);
    chart.Scale1X()->SetCaption("s");
    chart.Scale1Y()->SetCaption("V");
    chart.SetGridStyle(kurvo::gsDotLines);
    chart.SetDataColor(kurvo::clBlue);
    chart.SetLineWidth(2);
    chart.DrawPolyline(time, voltage);  // throws EQornKurvoError when the lengths differ
    chart.FitToData(1, 5.0);            // layer 1, 5 % margin on each side
    return app.Run(chart);
}
