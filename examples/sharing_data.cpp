// Two charts, one set of data: the lower chart uses the upper chart's items
// (SetUseDataOf) and shows them over its own ranges, zoomed in. Whatever
// is added to the upper chart appears in both.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <QVBoxLayout>

#include <cmath>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    QWidget window;
    window.setWindowTitle("Kurvo: two charts sharing data");
    window.resize(640, 560);
    auto* layout = new QVBoxLayout(&window);

    auto* overview = new kurvo::TKurvo(&window);
    overview->ApplyTheme(kurvo::ktLight);
    overview->SetCaption("overview");
    overview->Scale1X()->SetRangeHigh(200);
    overview->Scale1Y()->SetRangeLow(-1.2);
    overview->Scale1Y()->SetRangeHigh(1.2);
    overview->MoveTo(0, 0);
    for (int i = 1; i <= 200; ++i) overview->DrawTo(i, std::sin(0.05 * i) * std::cos(0.31 * i));
    layout->addWidget(overview);

    auto* detail = new kurvo::TKurvo(&window);
    detail->ApplyTheme(kurvo::ktLight);
    detail->SetCaption("detail: pan me");
    detail->SetUseDataOf(overview);
    detail->Scale1X()->SetRangeLow(40);
    detail->Scale1X()->SetRangeHigh(80);
    detail->Scale1Y()->SetRangeLow(-1.2);
    detail->Scale1Y()->SetRangeHigh(1.2);
    detail->SetMouseAction(kurvo::maPan);
    layout->addWidget(detail);
    return app.Run(window);
}
