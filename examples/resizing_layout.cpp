// A chart inside a Qt layout: it takes the room the layout gives it and
// repaints at the new size. Resize the window: the data area, the axes and
// their ticks follow.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    QWidget window;
    window.setWindowTitle("Kurvo: a chart in a layout");
    window.resize(720, 480);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel("Resize the window; the chart takes all the room that is left."));

    auto* chart = new kurvo::TKurvo;
    chart->ApplyTheme(kurvo::ktLight);
    chart->Scale1X()->SetRangeHigh(1000);
    chart->Scale1Y()->SetRangeLow(-1.1);
    chart->Scale1Y()->SetRangeHigh(1.1);
    chart->SetGridStyle(kurvo::gsDotLines);
    chart->MoveTo(0, 0);
    for (int i = 1; i <= 1000; ++i) chart->DrawTo(i, std::sin(i * 0.0314) * std::exp(-i * 0.002));
    layout->addWidget(chart, 1);  // all the stretch goes to the chart
    return app.Run(window);
}
