// The chart's Qt face: every user action raises its std::function event and
// then its Qt signal with the same values; the signals work through queued
// connections; TKurvo's Qt properties reach the published properties.
#include "chart/Qorn_kurvo.h"

#include "canvas/qt_interop.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

void Mouse(TKurvo& chart, QEvent::Type type, Qt::MouseButtons held, int x, int y)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(x, y), chart.mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&chart, &event);
}

// Press, the move that anchors a drag, the move to the end, release; all
// inside the data area (50 ... 453 x 20 ... 381 of a 473 x 421 chart).
void Drag(TKurvo& chart)
{
    Mouse(chart, QEvent::MouseButtonPress, Qt::LeftButton, 150, 100);
    Mouse(chart, QEvent::MouseMove, Qt::LeftButton, 150, 100);
    Mouse(chart, QEvent::MouseMove, Qt::LeftButton, 300, 250);
    Mouse(chart, QEvent::MouseButtonRelease, Qt::NoButton, 300, 250);
}

std::string Text(const std::vector<double>& values)
{
    std::string text;
    for (double v : values) text += QString::number(v, 'g', 17).toStdString() + " ";
    return text;
}

// A signal's arguments in the form Text gives the event's: a point as x, y.
std::string SignalText(const QList<QVariant>& arguments)
{
    std::vector<double> values;
    for (const QVariant& a : arguments) {
        const bool point = a.metaType() == QMetaType::fromType<QPointF>();
        values.push_back(point ? a.toPointF().x() : a.toDouble());
        if (point) values.push_back(a.toPointF().y());
    }
    return Text(values);
}

// The event log of one chart: the names in order and, per event, its values
// and the spy of its signal.
struct TRecorder {
    std::vector<std::string> Names;
    std::map<std::string, std::vector<std::string>> Values;
    std::map<std::string, std::unique_ptr<QSignalSpy>> Spies;

    template <class Signal>
    std::function<void(std::string)> Event(TKurvo& chart, const std::string& name, Signal signal)
    {
        Spies[name] = std::make_unique<QSignalSpy>(&chart, signal);
        return [this, name](std::string values) {
            // The handler runs before its signal goes out.
            EXPECT_EQ(Spies[name]->count(), int(Values[name].size())) << name;
            Names.push_back(name);
            Values[name].push_back(std::move(values));
        };
    }

    explicit TRecorder(TKurvo& c)
    {
        auto zoomPan = Event(c, "OnZoomPan", &TKurvo::viewChanged);
        c.OnZoomPan = [zoomPan](TObject*) { zoomPan({}); };
        auto move = Event(c, "OnMouseMoveInChart", &TKurvo::pointerMoved);
        c.OnMouseMoveInChart = [move](TObject*, bool in, TShiftState, double x, double y) { move(Text({x, y, 1.0 * in})); };
        auto band = Event(c, "OnRubberBand", &TKurvo::rubberBandDrawn);
        c.OnRubberBand = [band](TObject*, int l, double x0, double y0, double x1, double y1) {
            band(Text({1.0 * l, x0, y0, x1, y1}));
        };
        auto select = Event(c, "OnSelectRect", &TKurvo::rectangleSelected);
        c.OnSelectRect = [select](TObject*, int l, double x0, double y0, double x1, double y1) {
            select(Text({1.0 * l, x0, y0, x1, y1}));
        };
        auto cross = Event(c, "OnCrossHairMove", &TKurvo::crossHairMoved);
        c.OnCrossHairMove = [cross, &c](TObject*, TCrossHair* h) {
            const double index = h == c.CrossHair2() ? 2 : 0;
            cross(Text({index, h->PosX(), h->PosY()}));
        };
        auto label = Event(c, "OnTextLabelMove", &TKurvo::textLabelMoved);
        c.OnTextLabelMove = [label, &c](TObject*, TTextLabel* l) {
            const double index = l == c.TextLabel(3) ? 3 : 0;
            label(Text({index, l->PosX(), l->PosY()}));
        };
        auto enter = Event(c, "OnMouseEnter", &TKurvo::mouseEntered);
        c.OnMouseEnter = [enter](TObject*) { enter({}); };
        auto leave = Event(c, "OnMouseLeave", &TKurvo::mouseLeft);
        c.OnMouseLeave = [leave](TObject*) { leave({}); };
    }
};

}  // namespace

TEST(ChartSignals, EachUserActionRaisesItsEventThenItsSignalWithTheSameValues)
{
    struct TRow {
        const char* Action;
        std::function<void(TKurvo&)> Setup;  // not recorded
        std::function<void(TKurvo&)> Act;
        std::vector<std::string> Events;  // in the documented order
    };
    const auto dragWith = [](TMouseActMode mode) {
        return [mode](TKurvo& c) {
            c.SetMouseAction(mode);
            Drag(c);
        };
    };
    const std::string move = "OnMouseMoveInChart";
    const std::vector<TRow> rows = {
        {"pan drag", nullptr, dragWith(maPan), {move, "OnZoomPan", move}},
        {"zoom drag", nullptr, dragWith(maZoomDrag), {move, "OnZoomPan", move}},
        {"zoom window", nullptr, dragWith(maZoomWind), {move, move, "OnZoomPan"}},
        {"rubber band", nullptr, dragWith(maRubberBand), {move, move, "OnRubberBand", "OnZoomPan"}},
        {"selection rectangle", nullptr, dragWith(maSelectRect), {move, move, "OnSelectRect", "OnZoomPan"}},
        {"crosshair drag", nullptr,
         [](TKurvo& c) {
             c.CrossHair2()->SetLayer(1);
             c.CrossHair2()->SetMode(chBoth);
             c.SetMouseAction(maDragCrossH);
             Drag(c);
         },
         {move, "OnCrossHairMove", move}},
        {"text label drag", nullptr,
         [](TKurvo& c) {
             c.TextLabel(3)->SetMode(tlBox);
             c.TextLabel(3)->SetVisible(true);
             c.SetMouseAction(maDragLabel);
             Drag(c);
         },
         {move, "OnTextLabelMove", move}},
        {"wheel zoom and arrow key", nullptr,
         [](TKurvo& c) {
             c.SetWheelZoom(true);
             c.SetKeyboardActions(true);
             QWheelEvent wheel(QPointF(200, 150), c.mapToGlobal(QPointF(200, 150)), QPoint(), QPoint(0, 120),
                               Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
             QApplication::sendEvent(&c, &wheel);
             QKeyEvent key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
             QApplication::sendEvent(&c, &key);
         },
         {"OnZoomPan", "OnZoomPan"}},
        {"undo and redo", dragWith(maZoomWindPos),
         [](TKurvo& c) {
             c.UndoZoom();
             c.RedoZoom();
         },
         {"OnZoomPan", "OnZoomPan"}},
        {"enter and leave", nullptr,
         [](TKurvo& c) {
             QEnterEvent enter(QPointF(100, 100), QPointF(100, 100), QPointF(100, 100));
             QApplication::sendEvent(&c, &enter);
             QEvent leave(QEvent::Leave);
             QApplication::sendEvent(&c, &leave);
         },
         {"OnMouseEnter", "OnMouseLeave"}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Action);
        TKurvo chart;
        chart.SetBounds(0, 0, 473, 421);
        chart.Scale1X()->SetRangeHigh(100);
        chart.HandleNeeded();
        if (row.Setup) row.Setup(chart);
        TRecorder recorder(chart);
        row.Act(chart);
        EXPECT_EQ(recorder.Names, row.Events);
        for (const auto& [name, spy] : recorder.Spies) {
            std::vector<std::string> signalled;
            for (const QList<QVariant>& arguments : *spy) signalled.push_back(SignalText(arguments));
            EXPECT_EQ(signalled, recorder.Values[name]) << name;
        }
    }
}

TEST(ChartSignals, QueuedConnectionsDeliverTheValuesOfTheMoment)
{
    TKurvo chart;
    chart.SetBounds(0, 0, 473, 421);
    chart.HandleNeeded();
    std::vector<QPointF> events;
    chart.OnMouseMoveInChart = [&](TObject*, bool, TShiftState, double x, double y) { events.emplace_back(x, y); };
    QObject receiver;
    std::vector<QPointF> queued;
    QObject::connect(&chart, &TKurvo::pointerMoved, &receiver,
                     [&](const QPointF& world, bool) { queued.push_back(world); }, Qt::QueuedConnection);
    Mouse(chart, QEvent::MouseMove, Qt::NoButton, 150, 100);
    Mouse(chart, QEvent::MouseMove, Qt::NoButton, 300, 250);
    EXPECT_TRUE(queued.empty());  // nothing before the event loop runs
    QApplication::processEvents();
    EXPECT_EQ(queued, events);  // each with the position of its own move
    ASSERT_EQ(events.size(), 2u);
    EXPECT_NE(events[0], events[1]);
}

// Only values go out: a reference could not be queued, and a pointer to the
// chart's own objects would reach another thread while the chart changes them.
TEST(ChartSignals, EverySignalCarriesOnlyValues)
{
    const QMetaObject& meta = TKurvo::staticMetaObject;
    for (int i = QWidget::staticMetaObject.methodCount(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() != QMetaMethod::Signal) continue;
        for (const QByteArray& type : method.parameterTypes())
            EXPECT_FALSE(type.contains('&') || type.contains('*')) << method.methodSignature().constData();
    }
}

// Designer's property editor, uic's setProperty calls and style sheets use
// these; each must reach the property of the same name.
TEST(ChartQtProperties, ReadAndWriteThePublishedProperties)
{
    const QString caption = QString::fromUtf8("Me\xC3\x9Fwerte \xE2\x80\x93 Kanal 1");
    const std::vector<std::pair<const char*, QVariant>> rows = {
        {"MarginLeft", 61},
        {"MarginRight", 7},
        {"MarginTop", 33},
        {"MarginBottom", 44},
        {"ShadowWidth", 5},
        {"ShadowStyle", QVariant::fromValue(ssBox)},
        {"ChartColor", QColor(0x12, 0x34, 0x56)},
        {"WindColor", QColor(0x21, 0x43, 0x65)},
        {"ChartFrameColor", QColor(0x31, 0x41, 0x59)},
        {"GridColor", QColor(0x26, 0x53, 0x58)},
        {"ShadowColor", QColor(0x97, 0x93, 0x23)},
        {"DataColor", QColor(0x84, 0x62, 0x64)},
        {"Caption", caption},
        {"GridStyle", QVariant::fromValue(gsDotLines)},
        {"MouseAction", QVariant::fromValue(maZoomWindPos)},
        {"MouseCursorFixed", false},
        {"WheelZoom", true},
        {"KeyboardActions", true},
        {"Isometric", true},
    };
    TKurvo chart;
    for (const auto& [name, value] : rows) {
        EXPECT_NE(chart.property(name), value) << name;
        EXPECT_TRUE(chart.setProperty(name, value)) << name;
    }
    // The values are where the library's own API reads them.
    EXPECT_EQ(chart.ChartColor(), 0x563412);
    EXPECT_EQ(ToQString(chart.Caption()), caption);
    EXPECT_EQ(chart.MouseAction(), maZoomWindPos);
    for (const auto& [name, value] : rows) EXPECT_EQ(chart.property(name), value) << name;
    // uic writes an enumeration of a promoted widget's dynamic property as an int.
    EXPECT_TRUE(chart.setProperty("MouseAction", int(maPanVert)));
    EXPECT_EQ(chart.MouseAction(), maPanVert);
}
