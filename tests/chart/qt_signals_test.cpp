// The chart's Qt face: every user action raises its std::function event and
// then its Qt signal with the same values; the signals work through queued
// connections; TKurvo's Qt properties read and write the published
// properties (Designer and .ui files go through them).
#include "chart/Qorn_kurvo.h"

#include "canvas/qt_interop.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMetaEnum>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

// Data area x 80 ... 457, y 20 ... 381; layer 1 X 0 ... 100, Y -5 ... 5.
std::unique_ptr<TKurvo> Chart()
{
    auto chart = std::make_unique<TKurvo>();
    chart->SetMarginLeft(80);
    chart->SetMarginRight(16);
    chart->SetBounds(0, 0, 473, 421);
    chart->Scale1X()->SetRangeHigh(100);
    chart->Scale1Y()->SetRangeLow(-5);
    chart->Scale1Y()->SetRangeHigh(5);
    chart->HandleNeeded();
    return chart;
}

void Mouse(TKurvo& chart, QEvent::Type type, Qt::MouseButtons held, int x, int y)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(x, y), chart.mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&chart, &event);
}

// Press, the move that anchors a drag, the move to (x1, y1), release.
void Drag(TKurvo& chart, int x0, int y0, int x1, int y1)
{
    Mouse(chart, QEvent::MouseButtonPress, Qt::LeftButton, x0, y0);
    Mouse(chart, QEvent::MouseMove, Qt::LeftButton, x0, y0);
    Mouse(chart, QEvent::MouseMove, Qt::LeftButton, x1, y1);
    Mouse(chart, QEvent::MouseButtonRelease, Qt::NoButton, x1, y1);
}

// One event or signal with its values as text.
struct TEntry {
    std::string Name;
    std::string Values;
};

std::string Values(std::initializer_list<double> values)
{
    std::string text;
    for (double v : values) text += QString::number(v, 'g', 17).toStdString() + " ";
    return text;
}

template <class T>
int IndexOf(T* item, T* (TCustomKurvo::*get)(int), TKurvo& chart, int count)
{
    for (int i = 1; i <= count; ++i)
        if ((chart.*get)(i) == item) return i;
    return 0;
}

// Logs every event of the chart that has a signal, and every signal.
void Record(TKurvo& chart, std::vector<TEntry>& log)
{
    auto add = [&log](const char* name, std::string values = {}) { log.push_back({name, std::move(values)}); };
    chart.OnZoomPan = [add](TObject*) { add("OnZoomPan"); };
    QObject::connect(&chart, &TKurvo::viewChanged, [add] { add("viewChanged"); });
    chart.OnMouseMoveInChart = [add](TObject*, bool in, TShiftState, double x, double y) {
        add("OnMouseMoveInChart", Values({x, y, double(in)}));
    };
    QObject::connect(&chart, &TKurvo::pointerMoved,
                     [add](const QPointF& p, bool in) { add("pointerMoved", Values({p.x(), p.y(), double(in)})); });
    chart.OnRubberBand = [add](TObject*, int layer, double x0, double y0, double x1, double y1) {
        add("OnRubberBand", Values({double(layer), x0, y0, x1, y1}));
    };
    QObject::connect(&chart, &TKurvo::rubberBandDrawn, [add](int layer, const QPointF& a, const QPointF& b) {
        add("rubberBandDrawn", Values({double(layer), a.x(), a.y(), b.x(), b.y()}));
    });
    chart.OnSelectRect = [add](TObject*, int layer, double x0, double y0, double x1, double y1) {
        add("OnSelectRect", Values({double(layer), x0, y0, x1, y1}));
    };
    QObject::connect(&chart, &TKurvo::rectangleSelected, [add](int layer, const QPointF& a, const QPointF& b) {
        add("rectangleSelected", Values({double(layer), a.x(), a.y(), b.x(), b.y()}));
    });
    chart.OnCrossHairMove = [add, &chart](TObject*, TCrossHair* c) {
        const int index = IndexOf(c, &TKurvo::CrossHair, chart, CrossHairCount);
        add("OnCrossHairMove", Values({double(index), c->PosX(), c->PosY()}));
    };
    QObject::connect(&chart, &TKurvo::crossHairMoved, [add](int index, const QPointF& p) {
        add("crossHairMoved", Values({double(index), p.x(), p.y()}));
    });
    chart.OnTextLabelMove = [add, &chart](TObject*, TTextLabel* l) {
        const int index = IndexOf(l, &TKurvo::TextLabel, chart, TextLabelCount);
        add("OnTextLabelMove", Values({double(index), l->PosX(), l->PosY()}));
    };
    QObject::connect(&chart, &TKurvo::textLabelMoved, [add](int index, const QPointF& p) {
        add("textLabelMoved", Values({double(index), p.x(), p.y()}));
    });
    chart.OnMouseEnter = [add](TObject*) { add("OnMouseEnter"); };
    QObject::connect(&chart, &TKurvo::mouseEntered, [add] { add("mouseEntered"); });
    chart.OnMouseLeave = [add](TObject*) { add("OnMouseLeave"); };
    QObject::connect(&chart, &TKurvo::mouseLeft, [add] { add("mouseLeft"); });
}

const char* SignalOf(const std::string& event)
{
    static const std::vector<std::pair<std::string, const char*>> pairs = {
        {"OnZoomPan", "viewChanged"},          {"OnMouseMoveInChart", "pointerMoved"},
        {"OnRubberBand", "rubberBandDrawn"},   {"OnSelectRect", "rectangleSelected"},
        {"OnCrossHairMove", "crossHairMoved"}, {"OnTextLabelMove", "textLabelMoved"},
        {"OnMouseEnter", "mouseEntered"},      {"OnMouseLeave", "mouseLeft"}};
    for (const auto& [e, s] : pairs)
        if (e == event) return s;
    return "?";
}

}  // namespace

TEST(ChartSignals, EachUserActionRaisesItsEventThenItsSignalWithTheSameValues)
{
    struct TRow {
        const char* Action;
        std::function<void(TKurvo&)> Setup;
        std::function<void(TKurvo&)> Act;
        std::vector<std::string> Events;  // in the documented order; each is followed by its signal
    };
    const auto mouseAction = [](TMouseActMode mode) { return [mode](TKurvo& c) { c.SetMouseAction(mode); }; };
    const auto drag = [](TKurvo& c) { Drag(c, 150, 100, 300, 250); };
    const std::string move = "OnMouseMoveInChart";
    const std::vector<TRow> rows = {
        {"pan drag", mouseAction(maPan), drag, {move, "OnZoomPan", move}},
        {"zoom drag", mouseAction(maZoomDrag), drag, {move, "OnZoomPan", move}},
        {"zoom window", mouseAction(maZoomWind), drag, {move, move, "OnZoomPan"}},
        {"rubber band", mouseAction(maRubberBand), drag, {move, move, "OnRubberBand", "OnZoomPan"}},
        {"selection rectangle", mouseAction(maSelectRect), drag, {move, move, "OnSelectRect", "OnZoomPan"}},
        {"crosshair drag",
         [](TKurvo& c) {
             c.SetMouseAction(maDragCrossH);
             c.CrossHair2()->SetLayer(1);
             c.CrossHair2()->SetMode(chBoth);
         },
         drag, {move, "OnCrossHairMove", move}},
        {"text label drag",
         [](TKurvo& c) {
             c.SetMouseAction(maDragLabel);
             c.TextLabel(3)->SetCaption("label");
             c.TextLabel(3)->SetMode(tlBox);
             c.TextLabel(3)->SetVisible(true);
         },
         drag, {move, "OnTextLabelMove", move}},
        {"wheel zoom", [](TKurvo& c) { c.SetWheelZoom(true); },
         [](TKurvo& c) {
             QWheelEvent wheel(QPointF(200, 150), c.mapToGlobal(QPointF(200, 150)), QPoint(), QPoint(0, 120),
                               Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
             QApplication::sendEvent(&c, &wheel);
         },
         {"OnZoomPan"}},
        {"arrow key pan", [](TKurvo& c) { c.SetKeyboardActions(true); },
         [](TKurvo& c) {
             QKeyEvent key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
             QApplication::sendEvent(&c, &key);
         },
         {"OnZoomPan"}},
        {"undo and redo",
         [drag](TKurvo& c) {
             c.SetMouseAction(maZoomWindPos);
             drag(c);
         },
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
        auto chart = Chart();
        if (row.Setup) row.Setup(*chart);
        std::vector<TEntry> log;
        Record(*chart, log);
        row.Act(*chart);

        std::vector<std::string> expected, names;
        for (const std::string& event : row.Events) {
            expected.push_back(event);
            expected.push_back(SignalOf(event));
        }
        for (const TEntry& e : log) names.push_back(e.Name);
        ASSERT_EQ(names, expected);
        for (std::size_t i = 0; i + 1 < log.size(); i += 2)
            EXPECT_EQ(log[i + 1].Values, log[i].Values) << log[i].Name;
    }
}

TEST(ChartSignals, QueuedConnectionsDeliverTheValuesOfTheMoment)
{
    auto chart = Chart();
    std::vector<QPointF> events;
    chart->OnMouseMoveInChart = [&](TObject*, bool, TShiftState, double x, double y) { events.emplace_back(x, y); };
    QObject receiver;
    std::vector<QPointF> queued;
    QObject::connect(chart.get(), &TKurvo::pointerMoved, &receiver,
                     [&](const QPointF& world, bool) { queued.push_back(world); }, Qt::QueuedConnection);
    QSignalSpy direct(chart.get(), &TKurvo::pointerMoved);

    Mouse(*chart, QEvent::MouseMove, Qt::NoButton, 150, 100);
    Mouse(*chart, QEvent::MouseMove, Qt::NoButton, 300, 250);
    ASSERT_EQ(direct.count(), 2);  // a direct connection has its calls already
    EXPECT_EQ(direct.at(1).at(0).toPointF(), events.at(1));
    EXPECT_TRUE(queued.empty());  // a queued one waits for the event loop
    QApplication::processEvents();
    // Each arrives with the position of its own move, not the last one.
    EXPECT_EQ(queued, events);
    EXPECT_NE(events.at(0), events.at(1));
}

// Only values go out: a reference could not be queued and a pointer to the
// chart's own objects would reach another thread while the chart changes
// them.
TEST(ChartSignals, EverySignalCarriesValuesThatCanBeQueued)
{
    const QMetaObject& meta = TKurvo::staticMetaObject;
    int signalCount = 0;
    for (int i = QWidget::staticMetaObject.methodCount(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() != QMetaMethod::Signal) continue;
        ++signalCount;
        for (int p = 0; p < method.parameterCount(); ++p) {
            const QByteArray type = method.parameterTypes().at(p);
            EXPECT_TRUE(method.parameterMetaType(p).isValid() && !type.contains('&') && !type.contains('*'))
                << method.methodSignature().constData() << " argument " << p << ": " << type.constData();
        }
    }
    EXPECT_GE(signalCount, 8);
}

// Designer's property editor, uic's setProperty calls and style sheets use
// these; each must reach the property of the same name.
TEST(ChartQtProperties, ReadAndWriteThePublishedProperties)
{
    struct TRow {
        const char* Name;
        QVariant Value;
        std::function<bool(const TKurvo&)> Stored;
    };
    const QString caption = QString::fromUtf8("Me\xC3\x9Fwerte \xE2\x80\x93 Kan\xC3\xA4l 1");
    const std::vector<TRow> rows = {
        {"MarginLeft", 61, [](const TKurvo& c) { return c.MarginLeft() == 61; }},
        {"MarginRight", 7, [](const TKurvo& c) { return c.MarginRight() == 7; }},
        {"MarginTop", 33, [](const TKurvo& c) { return c.MarginTop() == 33; }},
        {"MarginBottom", 44, [](const TKurvo& c) { return c.MarginBottom() == 44; }},
        {"ShadowWidth", 5, [](const TKurvo& c) { return c.ShadowWidth() == 5; }},
        {"ChartColor", QColor(0x12, 0x34, 0x56), [](const TKurvo& c) { return c.ChartColor() == 0x563412; }},
        {"WindColor", QColor(Qt::yellow), [](const TKurvo& c) { return c.WindColor() == clYellow; }},
        {"ChartFrameColor", QColor(Qt::blue), [](const TKurvo& c) { return c.ChartFrameColor() == clBlue; }},
        {"GridColor", QColor(Qt::green), [](const TKurvo& c) { return c.GridColor() == clLime; }},
        {"ShadowColor", QColor(1, 2, 3), [](const TKurvo& c) { return c.ShadowColor() == 0x030201; }},
        {"DataColor", QColor(Qt::red), [](const TKurvo& c) { return c.DataColor() == clRed; }},
        {"Caption", caption, [caption](const TKurvo& c) { return ToQString(c.Caption()) == caption; }},
        {"ShadowStyle", QVariant::fromValue(ssBox), [](const TKurvo& c) { return c.ShadowStyle() == ssBox; }},
        {"GridStyle", QVariant::fromValue(gsDotLines), [](const TKurvo& c) { return c.GridStyle() == gsDotLines; }},
        {"MouseAction", QVariant::fromValue(maZoomWindPos),
         [](const TKurvo& c) { return c.MouseAction() == maZoomWindPos; }},
        {"MouseCursorFixed", false, [](const TKurvo& c) { return !c.MouseCursorFixed(); }},
        {"WheelZoom", true, [](const TKurvo& c) { return c.WheelZoom(); }},
        {"KeyboardActions", true, [](const TKurvo& c) { return c.KeyboardActions(); }},
        {"Isometric", true, [](const TKurvo& c) { return c.Isometric(); }},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TKurvo chart;
        const QMetaProperty property =
            TKurvo::staticMetaObject.property(TKurvo::staticMetaObject.indexOfProperty(row.Name));
        ASSERT_TRUE(property.isValid());
        EXPECT_TRUE(property.isWritable() && property.isDesignable());
        EXPECT_TRUE(chart.setProperty(row.Name, row.Value));
        EXPECT_TRUE(row.Stored(chart));
        EXPECT_EQ(chart.property(row.Name), row.Value);
    }
}

// The enumerations behind properties carry their value names, so Designer
// offers them by name and a .ui file stores "kurvo::maPan".
TEST(ChartQtProperties, EnumerationsAreKnownByName)
{
    TKurvo chart;
    const QMetaObject& meta = TKurvo::staticMetaObject;
    const QMetaEnum actions = meta.property(meta.indexOfProperty("MouseAction")).enumerator();
    ASSERT_TRUE(actions.isValid());
    EXPECT_EQ(actions.keyCount(), maZoomPanColors + 1);
    EXPECT_EQ(actions.keyToValue("maZoomDrag"), maZoomDrag);
    // uic writes an enumeration property of a promoted widget as an int.
    EXPECT_TRUE(chart.setProperty("MouseAction", int(maPanVert)));
    EXPECT_EQ(chart.MouseAction(), maPanVert);
    const QMetaEnum grids = meta.property(meta.indexOfProperty("GridStyle")).enumerator();
    EXPECT_EQ(QString(grids.valueToKey(gsNone)), QString("gsNone"));
}
