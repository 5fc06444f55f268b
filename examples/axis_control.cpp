// The axis control on its own, without a chart: a date/time axis over one
// week and a logarithmic axis, placed in an ordinary Qt layout. Drag the
// date axis with the left mouse button to pan it.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <QVBoxLayout>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    QWidget window;
    window.setWindowTitle("Kurvo: axis controls");
    window.resize(640, 200);
    auto* layout = new QVBoxLayout(&window);
    // The look of the charts' light theme: white, grey lines, dark text.
    const auto lightLook = [](kurvo::TScale& axis) {
        axis.SetColorBackGnd(QColor(Qt::white));
        axis.SetColorScale(QColor(150, 150, 150));
        axis.Font().SetColor(QColor(51, 51, 51));
        axis.SetFrameStyle(kurvo::fsNone);
    };

    auto* week = new kurvo::TScale(&window);
    week->Loaded();  // a control made in code has no stored values to wait for
    week->SetScaleType(kurvo::sctXT);  // line on the top side: a bottom axis
    week->SetLabelType(kurvo::ftDateTime);
    week->SetRangeLow(46023.0);  // day numbers since 30 December 1899: 1 ... 8 January 2026
    week->SetRangeHigh(46030.0);
    week->SetMouseAction(kurvo::maPan);
    lightLook(*week);
    week->setFixedHeight(70);
    layout->addWidget(week);

    auto* decades = new kurvo::TScale(&window);
    decades->Loaded();
    decades->SetScaleType(kurvo::sctXT);
    // A logarithmic axis needs positive bounds before it is switched on.
    decades->SetRangeLow(0.01);
    decades->SetRangeHigh(1e5);
    decades->SetLogarithmic(true);
    lightLook(*decades);
    decades->setFixedHeight(70);
    layout->addWidget(decades);

    week->OnZoomPan = [decades](kurvo::TObject*) { decades->SetColorScale(kurvo::clNavy); };
    return app.Run(window);
}
