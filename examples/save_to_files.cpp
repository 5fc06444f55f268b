// Saving a chart: a PNG at a chosen size and pixel ratio, and a PDF page.
// The chart is laid out off-screen for the asked size and keeps its own
// size on the screen. Failures (a folder that does not exist, a size beyond
// the limits) raise kurvo::EQornKurvoError with the reason.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <QDir>

#include <cmath>
#include <cstdio>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    kurvo::TKurvo chart;
    chart.ApplyTheme(kurvo::ktLight);
    chart.setWindowTitle("Kurvo: saving to PNG and PDF");
    chart.resize(640, 420);
    chart.SetCaption("damped oscillation");
    chart.Scale1X()->SetRangeHigh(200);
    chart.Scale1Y()->SetRangeLow(-1);
    chart.Scale1Y()->SetRangeHigh(1);
    chart.SetDataColor(kurvo::clTeal);
    chart.MoveTo(0, 1);
    for (int i = 1; i <= 200; ++i) chart.DrawTo(i, std::exp(-0.015 * i) * std::cos(0.2 * i));

    const std::string folder = QDir::tempPath().toStdString() + "/";
    try {
        // 1200 x 800 logical pixels at ratio 2: a 2400 x 1600 picture for a print-ready slide.
        chart.SaveToImage(folder + "kurvo-example.png", 1200, 800, 2.0);
        chart.SaveToPdf(folder + "kurvo-example.pdf");
        std::printf("saved %skurvo-example.png and .pdf\n", folder.c_str());
    } catch (const kurvo::EQornKurvoError& e) {
        std::fprintf(stderr, "cannot save: %s\n", e.what());
        return 1;
    }
    return app.Run(chart);
}
