// A form made in Qt Designer with a plain QWidget promoted to kurvo::TKurvo:
// uic creates the chart with its parent alone and sets the properties the
// form gives it by name. The program checks them, draws into the chart and
// writes the window's picture to the file named by its argument.
#include "ui_chart_form.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    QWidget window;
    Ui::ChartForm form;
    form.setupUi(&window);
    kurvo::TKurvo& chart = *form.chart;
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1Y()->SetRangeLow(-2);
    chart.Scale1Y()->SetRangeHigh(2);
    chart.SetDataColor(kurvo::clBlue);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 100; ++i) chart.DrawTo(i, std::sin(0.2 * i));
    window.show();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    const QImage picture = window.grab().toImage();

    // The chart filled the layout's place, and its data area has the colour the form set.
    const QPoint chartOrigin = chart.mapTo(&window, QPoint(0, 0));
    int x = 0, y = 0;
    chart.WorldToPixel(1, 50, 1.8, x, y);
    const QColor inside = picture.pixelColor(chartOrigin + QPoint(x, y));
    const bool ok = chart.MarginLeft() == 64 && chart.MouseAction() == kurvo::maPan &&
                    kurvo::ToQString(chart.Caption()) == QStringLiteral("promoted from QWidget") &&
                    chart.width() > 300 && inside == QColor(255, 255, 224);
    std::printf("kurvo form: margin %d, action %d, chart %d x %d, data area %s: %s\n", chart.MarginLeft(),
                int(chart.MouseAction()), chart.width(), chart.height(), inside.name().toUtf8().constData(),
                ok ? "ok" : "WRONG");
    if (argc > 1 && !picture.save(QString::fromLocal8Bit(argv[1]))) return 1;
    return ok ? 0 : 1;
}
