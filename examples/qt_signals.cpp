// The chart in a Qt window, wired with Qt signals and slots: a status line
// follows the pointer (pointerMoved), the visible ranges follow every pan
// and zoom (viewChanged), and the buttons undo a zoom or go back to the
// whole curve. Drag a rectangle to zoom into it, turn the wheel to zoom
// about the pointer.
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString Range(double low, double high) { return QString("%1 \u2026 %2").arg(low, 0, 'f', 2).arg(high, 0, 'f', 2); }

}  // namespace

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    QWidget window;
    window.setWindowTitle("Kurvo: Qt signals");
    window.resize(640, 460);

    auto* chart = new kurvo::TKurvo(&window);
    chart->Scale1X()->SetRangeHigh(20);
    chart->Scale1Y()->SetRangeLow(-1.2);
    chart->Scale1Y()->SetRangeHigh(1.2);
    chart->SetDataColor(kurvo::clNavy);
    chart->MoveTo(0.0, 0.0);
    for (int i = 1; i <= 400; ++i) chart->DrawTo(i * 0.05, std::sin(i * 0.05) * std::exp(-i * 0.004));
    chart->SetMouseAction(kurvo::maZoomWindPos);
    chart->SetWheelZoom(true);
    chart->ClearZoomHistory();  // undo stops at the whole curve

    auto* view = new QLabel(&window);
    auto* pointer = new QLabel(&window);
    auto* undo = new QPushButton("Undo zoom", &window);
    auto* whole = new QPushButton("Whole curve", &window);
    auto* bar = new QHBoxLayout;
    bar->addWidget(view, 1);
    bar->addWidget(undo);
    bar->addWidget(whole);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(chart, 1);
    layout->addLayout(bar);
    layout->addWidget(pointer);

    const auto showView = [=] {
        view->setText("X " + Range(chart->Scale1X()->RangeLow(), chart->Scale1X()->RangeHigh()) + "    Y " +
                      Range(chart->Scale1Y()->RangeLow(), chart->Scale1Y()->RangeHigh()));
        undo->setEnabled(chart->CanUndoZoom());
    };
    QObject::connect(chart, &kurvo::TKurvo::viewChanged, view, showView);
    QObject::connect(chart, &kurvo::TKurvo::pointerMoved, pointer, [pointer](const QPointF& world, bool inside) {
        pointer->setText(inside ? QString("x = %1, y = %2").arg(world.x(), 0, 'f', 3).arg(world.y(), 0, 'f', 3)
                                : QString("outside the data area"));
    });
    QObject::connect(chart, &kurvo::TKurvo::mouseLeft, pointer, [pointer] { pointer->clear(); });
    QObject::connect(undo, &QPushButton::clicked, chart, [chart] { chart->UndoZoom(); });
    QObject::connect(whole, &QPushButton::clicked, chart, [chart, showView] {
        // Ranges set from code raise no event: the view line is updated here.
        chart->SetLayerRanges(1, true, 0, -1.2, 20, 1.2, false);
        showView();
    });
    showView();

    if (app.Offscreen()) {
        // For the picture: the drag of a zoom window over the first swing,
        // then the pointer over its top, as a user's mouse would send them.
        window.show();
        QApplication::processEvents();  // the layout gives the chart its size
        const auto send = [chart](QEvent::Type type, double wx, double wy, Qt::MouseButtons held) {
            int x = 0, y = 0;
            chart->WorldToPixel(1, wx, wy, x, y);
            const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, QPointF(x, y), chart->mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
            QApplication::sendEvent(chart, &event);
        };
        send(QEvent::MouseButtonPress, 0.5, 1.0, Qt::LeftButton);
        send(QEvent::MouseMove, 3.5, 0.2, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, 3.5, 0.2, Qt::NoButton);
        send(QEvent::MouseMove, 1.6, 0.88, Qt::NoButton);
    }
    return app.Run(window);
}
