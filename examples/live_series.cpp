// A live plot: two signals arrive 50 points at a time, each series keeps
// its newest 2000 points (SetCapacity), and the view follows the newest X.
// The legend lists both; a click on an entry hides or shows its series.
// Hover over the lines: the tool tip and the line under the chart show
// the point under the pointer.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>
#include <random>
#include <vector>

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    QWidget window;
    window.setWindowTitle("Kurvo: live series with a legend");
    window.resize(720, 460);
    auto* chart = new kurvo::TKurvo;
    auto* status = new QLabel("hover over a line");
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(chart, 1);
    layout->addWidget(status);

    chart->ApplyTheme(kurvo::ktLight);
    chart->Scale1X()->SetRangeLow(0);
    chart->Scale1X()->SetRangeHigh(20);  // seconds shown; the range moves with the data
    chart->Scale1X()->SetCaption("s");
    chart->Scale1Y()->SetRangeLow(-2);
    chart->Scale1Y()->SetRangeHigh(2);

    kurvo::TKurvoSeries* sensor = chart->AddSeries("sensor");
    kurvo::TKurvoSeries* filtered = chart->AddSeries("filtered");
    sensor->SetPen(QColor(70, 130, 200));
    filtered->SetPen(QColor(200, 60, 40), 2);
    for (kurvo::TKurvoSeries* s : {sensor, filtered}) {
        s->SetCapacity(2000);
        s->SetFollowNewest(true);
    }
    chart->Legend()->SetVisible(true);
    chart->Legend()->SetPlacement(kurvo::TLegendPlacement::InsideTopLeft);
    chart->Legend()->SetClickToggles(true);
    chart->SetHoverTracking(true);
    chart->OnHoverPointChange = [status](kurvo::TObject*, const std::optional<kurvo::TSeriesPoint>& p) {
        status->setText(p ? QString("%1: t = %2 s, value %3")
                                .arg(QString::fromStdString(p->Series->Name()))
                                .arg(p->X, 0, 'f', 2)
                                .arg(p->Y, 0, 'f', 3)
                          : QString("hover over a line"));
    };

    // 50 new points every 20 ms: 100 points per second of signal time.
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 0.25);
    double t = 0.0, smooth = 0.0;
    const auto feed = [&] {
        std::vector<double> x, raw, low;
        for (int i = 0; i < 50; ++i, t += 0.01) {
            const double v = std::sin(0.7 * t) + 0.5 * std::sin(2.3 * t) + noise(random);
            smooth += 0.05 * (v - smooth);
            x.push_back(t);
            raw.push_back(v);
            low.push_back(smooth);
        }
        sensor->Append(x, raw);
        filtered->Append(x, low);  // each repaints once, at the next paint event
    };
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, feed);
    timer.start(20);

    if (app.Offscreen()) {
        // The picture: 30 s of data, the pointer over the newest filtered point.
        for (int k = 0; k < 60; ++k) feed();
        window.show();
        QApplication::processEvents();
        int x = 0, y = 0;
        chart->WorldToPixel(1, t - 0.01, smooth, x, y);
        QMouseEvent move(QEvent::MouseMove, QPointF(x - 3, y + 2), QPointF(chart->mapToGlobal(QPoint(x - 3, y + 2))),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(chart, &move);
        timer.stop();
    }
    return app.Run(window);
}
