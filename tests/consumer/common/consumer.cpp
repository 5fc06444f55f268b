// A program as a user of the library writes it: it includes Kurvo only
// through <kurvo/...>, has folders of its own named like Kurvo's, builds a
// chart, paints it off-screen, checks the picture, pans the chart and
// listens to the pan through a Qt signal. Exits 0 when all is right; with
// an argument it also writes the picture to that file.
#include <kurvo/kurvo.h>

// The program's own headers with the same folder and file names as Kurvo's;
// Kurvo's headers must not pick these up, nor these Kurvo's.
#include "base/enums.h"
#include "chart/Qorn_kurvo.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);

    kurvo::TKurvo chart;
    chart.SetBounds(0, 0, 320, 240);
    chart.HandleNeeded();
    chart.SetChartColor(kurvo::FromQColor(QColor(255, 255, 224)));
    chart.SetCaption(kurvo::FromQString(QString::fromUtf8("sin(0.2\xC2\xB7x)")));
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1Y()->SetRangeLow(-2);
    chart.Scale1Y()->SetRangeHigh(2);
    chart.SetDataColor(kurvo::clRed);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 100; ++i) chart.DrawTo(i, std::sin(0.2 * i));
    chart.Paint();
    const QImage picture = chart.WindowImage();

    int curveX = 0;
    int curveY = 0;
    chart.WorldToPixel(1, 50, std::sin(10.0), curveX, curveY);
    int emptyX = 0;
    int emptyY = 0;
    chart.WorldToPixel(1, 50, 1.8, emptyX, emptyY);
    const QColor curve = picture.pixelColor(curveX, curveY);
    const QColor empty = picture.pixelColor(emptyX, emptyY);
    const bool ok = curve == kurvo::ToQColor(kurvo::clRed) && empty == QColor(255, 255, 224) &&
                    own::Fruit::Apple != own::Fruit::Pear && own::ChartMarker() == 42 &&
                    kurvo::ToQString(chart.Caption()) == QString::fromUtf8("sin(0.2\xC2\xB7x)");
    std::printf("kurvo consumer: curve pixel %s, empty pixel %s: %s\n", curve.name().toUtf8().constData(),
                empty.name().toUtf8().constData(), ok ? "ok" : "WRONG");

    // The chart's signals through the library's meta-object: a pan drag of
    // 32 pixels to the right reports its new view.
    double lowAfterPan = 0;
    QObject::connect(&chart, &kurvo::TKurvo::viewChanged, [&] { lowAfterPan = chart.Scale1X()->RangeLow(); });
    chart.SetMouseAction(kurvo::maPan);
    for (const auto& [type, x, buttons] : {std::tuple{QEvent::MouseButtonPress, 100, Qt::LeftButton},
                                           std::tuple{QEvent::MouseMove, 100, Qt::LeftButton},
                                           std::tuple{QEvent::MouseMove, 132, Qt::LeftButton},
                                           std::tuple{QEvent::MouseButtonRelease, 132, Qt::NoButton}}) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(x, 100), QPointF(x, 100), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&chart, &event);
    }
    const bool panned = lowAfterPan < -1.0;
    std::printf("kurvo consumer: viewChanged after a pan, X from %g: %s\n", lowAfterPan, panned ? "ok" : "WRONG");

    if (argc > 1 && !picture.save(QString::fromLocal8Bit(argv[1]))) {
        std::printf("kurvo consumer: cannot write %s\n", argv[1]);
        return 1;
    }
    return ok && panned ? 0 : 1;
}
