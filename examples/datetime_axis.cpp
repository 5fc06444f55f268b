// A week of hourly values on a date/time axis. X values are day numbers
// (days since 30 December 1899, the time of day as the fraction), as
// spreadsheets count them; the axis picks day, hour and date labels itself.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <QDate>

#include <cmath>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    const double monday = static_cast<double>(QDate(1899, 12, 30).daysTo(QDate(2026, 1, 5)));

    kurvo::TKurvo chart;
    chart.ApplyTheme(kurvo::ktLight);
    chart.setWindowTitle("Kurvo: a week on a date/time axis");
    chart.resize(720, 420);
    kurvo::TScalePropsHoriz& x = *chart.Scale1X();
    x.SetLabelType(kurvo::ftDateTime);
    x.DateFormat()->SetDateForTime(kurvo::dtOnePerDay);  // a date under the first time of each day
    x.SetRangeLow(monday);
    x.SetRangeHigh(monday + 7);
    chart.Scale1Y()->SetRangeLow(-10);
    chart.Scale1Y()->SetRangeHigh(25);
    chart.Scale1Y()->SetCaption("\xC2\xB0" "C");
    chart.SetGridStyle(kurvo::gsVertLines);

    chart.SetDataColor(kurvo::clMaroon);
    for (int hour = 0; hour <= 7 * 24; ++hour) {
        const double day = monday + hour / 24.0;
        const double temperature = 8.0 + 7.0 * std::sin((hour % 24 - 9) * 3.14159 / 12) + 0.4 * (hour / 24);
        if (hour == 0)
            chart.MoveTo(day, temperature);
        else
            chart.DrawTo(day, temperature);
    }
    return app.Run(chart);
}
