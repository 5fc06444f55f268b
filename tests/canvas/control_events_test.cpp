// The toolkit's standard control events on a shown window: keys, wheel,
// resizing, drag and drop, tool tip and context menu, in the order Qt's
// events raise them.
#include "canvas/custom_control.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kurvo {
namespace {

std::string Shift(TShiftState s)
{
    std::string t;
    if (s.Contains(ssShift)) t += "S";
    if (s.Contains(ssCtrl)) t += "C";
    if (s.Contains(ssAlt)) t += "A";
    return t;
}

const char* StateName(TDragState s) { return s == dsDragEnter ? "Enter" : s == dsDragMove ? "Move" : "Leave"; }

// Qt delivers a drag leave only inside a drag of its own; the test calls the handler.
class TDropTarget : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    using TCustomControl::dragLeaveEvent;
};

// A control in a shown top-level window whose handlers record every event.
class ControlEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(300, 200);
        control = new TDropTarget(window.get());
        control->SetBounds(10, 10, 200, 150);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        TCustomControl& c = *control;
        c.OnKeyDown = [this](TObject*, int& key, TShiftState s) {
            log.push_back("OnKeyDown " + std::to_string(key) + Shift(s));
            if (key == swallow) key = 0;
        };
        c.OnKeyUp = [this](TObject*, int& key, TShiftState s) {
            log.push_back("OnKeyUp " + std::to_string(key) + Shift(s));
        };
        c.OnKeyPress = [this](TObject*, char32_t& key) { log.push_back("OnKeyPress " + std::to_string(key)); };
        c.OnMouseWheel = [this](TObject*, TShiftState, int delta, TPoint p, bool& handled) {
            log.push_back("OnMouseWheel " + std::to_string(delta) + " " + std::to_string(p.X) + "," +
                          std::to_string(p.Y));
            handled = wheelHandled;
        };
        c.OnMouseWheelUp = [this](TObject*, TShiftState, TPoint, bool& handled) {
            log.push_back("OnMouseWheelUp");
            handled = true;
        };
        c.OnMouseWheelDown = [this](TObject*, TShiftState, TPoint, bool&) { log.push_back("OnMouseWheelDown"); };
        c.OnCanResize = [this](TObject*, int& w, int& h, bool& resize) {
            log.push_back("OnCanResize " + std::to_string(w) + "x" + std::to_string(h));
            if (narrowTo > 0) w = narrowTo;
            resize = allowResize;
        };
        c.OnResize = [this](TObject* sender) {
            auto* s = static_cast<TCustomControl*>(sender);
            log.push_back("OnResize " + std::to_string(s->Width()) + "x" + std::to_string(s->Height()));
        };
        c.OnDragOver = [this](TObject*, TObject* source, int x, int y, TDragState state, bool& accept) {
            const QMimeData* data = control->DragData();
            log.push_back(std::string("OnDragOver ") + StateName(state) + " " + std::to_string(x) + "," +
                          std::to_string(y) + (source ? " control" : " outside") +
                          (data ? " " + data->text().toStdString() : ""));
            accept = acceptDrag;
        };
        c.OnDragDrop = [this](TObject*, TObject* source, int x, int y) {
            log.push_back("OnDragDrop " + std::to_string(x) + "," + std::to_string(y) +
                          (source ? " control" : " outside") + " " + control->DragData()->text().toStdString());
        };
    }

    bool SendKey(QEvent::Type type, int key, Qt::KeyboardModifiers mods, const QString& text, bool repeat = false)
    {
        QKeyEvent event(type, key, mods, text, repeat);
        event.ignore();
        QApplication::sendEvent(control, &event);
        return event.isAccepted();
    }

    bool SendWheel(int delta, QPoint at = {20, 30})
    {
        QWheelEvent event(at, control->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        event.ignore();
        QApplication::sendEvent(control, &event);
        return event.isAccepted();
    }

    std::unique_ptr<QWidget> window;
    TDropTarget* control = nullptr;
    std::vector<std::string> log;
    int swallow = -1;
    bool wheelHandled = false;
    bool allowResize = true;
    int narrowTo = 0;
    bool acceptDrag = true;
};

TEST_F(ControlEvents, KeysRaiseDownPressUpAndAUsedKeyStaysWithTheControl)
{
    EXPECT_FALSE(SendKey(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, "A"));
    // A held key repeats its press only.
    SendKey(QEvent::KeyRelease, Qt::Key_A, Qt::ShiftModifier, "A", true);
    SendKey(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, "A", true);
    SendKey(QEvent::KeyRelease, Qt::Key_A, Qt::ShiftModifier, "A");
    // A character beyond the basic plane is one key press, not two halves.
    SendKey(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUcs4(U"\U0001F600"));
    swallow = Qt::Key_F2;
    EXPECT_TRUE(SendKey(QEvent::KeyPress, Qt::Key_F2, Qt::ControlModifier, ""));
    const std::string a = std::to_string(Qt::Key_A);
    EXPECT_EQ(log, (std::vector<std::string>{"OnKeyDown " + a + "S", "OnKeyPress 65", "OnKeyDown " + a + "S",
                                             "OnKeyPress 65", "OnKeyUp " + a + "S", "OnKeyDown 0", "OnKeyPress 128512",
                                             "OnKeyDown " + std::to_string(Qt::Key_F2) + "C"}));
}

TEST_F(ControlEvents, WheelNotchesAddUpAndAHandledWheelIsNotPassedOn)
{
    struct Row {
        std::vector<int> deltas;
        bool handledByOnMouseWheel;
        std::vector<std::string> expected;
        bool accepted;  // of the last event
    };
    const std::vector<Row> rows = {
        {{120}, false, {"OnMouseWheel 120 20,30", "OnMouseWheelUp"}, true},
        {{60, 60}, false, {"OnMouseWheel 60 20,30", "OnMouseWheel 60 20,30", "OnMouseWheelUp"}, true},
        // Down is not handled here: the wheel goes on to the parent.
        {{-240}, false, {"OnMouseWheel -240 20,30", "OnMouseWheelDown", "OnMouseWheelDown"}, false},
        {{120}, true, {"OnMouseWheel 120 20,30"}, true},
    };
    for (const Row& row : rows) {
        log.clear();
        wheelHandled = row.handledByOnMouseWheel;
        bool accepted = false;
        for (int d : row.deltas) accepted = SendWheel(d);
        EXPECT_EQ(log, row.expected) << row.deltas.front();
        EXPECT_EQ(accepted, row.accepted) << row.deltas.front();
    }
    // A forged delta is worth a bounded number of notches.
    log.clear();
    wheelHandled = false;
    SendWheel(INT_MAX);
    SendWheel(INT_MIN);
    EXPECT_LE(log.size(), 2u + 2u * 64u);
}

TEST_F(ControlEvents, ResizingAsksFirstAndReportsOnce)
{
    control->SetBounds(10, 10, 220, 160);
    control->SetBounds(20, 20, 220, 160);  // a pure move asks nothing
    narrowTo = 100;
    control->SetBounds(20, 20, 250, 170);
    narrowTo = 0;
    allowResize = false;
    control->SetBounds(0, 0, 50, 50);
    EXPECT_EQ(log, (std::vector<std::string>{"OnCanResize 220x160", "OnResize 220x160", "OnCanResize 250x170",
                                             "OnResize 100x170", "OnCanResize 50x50"}));
    EXPECT_EQ(control->Width(), 100);
    EXPECT_EQ(control->geometry(), QRect(20, 20, 100, 170));

    // A size that Qt gives the widget goes the same way.
    log.clear();
    allowResize = true;
    control->resize(120, 90);
    EXPECT_EQ(log, (std::vector<std::string>{"OnCanResize 120x90", "OnResize 120x90"}));
    EXPECT_EQ(control->Height(), 90);
}

TEST_F(ControlEvents, DropsFromOutsideHaveNoSourceButTheirData)
{
    QMimeData data;
    data.setText("payload");
    const Qt::DropActions actions = Qt::CopyAction;
    QDragEnterEvent enter(QPoint(5, 6), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent move(QPoint(7, 8), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &move);
    EXPECT_TRUE(move.isAccepted());
    QDropEvent drop(QPointF(9, 10), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(control->DragData(), nullptr);

    // Refused: the moves keep coming, no drop; leaving reports the last position.
    acceptDrag = false;
    QDragEnterEvent enter2(QPoint(1, 2), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &enter2);
    EXPECT_EQ(enter2.dropAction(), Qt::IgnoreAction);
    QDragMoveEvent move2(QPoint(3, 4), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &move2);
    EXPECT_FALSE(move2.isAccepted());
    QDropEvent drop2(QPointF(3, 4), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &drop2);
    QDragLeaveEvent leave;
    control->dragLeaveEvent(&leave);

    EXPECT_EQ(log, (std::vector<std::string>{
                       "OnDragOver Enter 5,6 outside payload", "OnDragOver Move 7,8 outside payload",
                       "OnDragDrop 9,10 outside payload", "OnDragOver Enter 1,2 outside payload",
                       "OnDragOver Move 3,4 outside payload", "OnDragOver Leave 3,4 outside"}));
}

TEST_F(ControlEvents, ADragStartsAfterTheStartDistanceAndEndsWithItsTarget)
{
    control->SetDragMode(dmAutomatic);
    control->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("OnMouseDown"); };
    control->OnStartDrag = [this](TObject*, QMimeData& data) {
        log.push_back("OnStartDrag");
        data.setText("from the control");
    };
    control->OnEndDrag = [this](TObject*, TObject* target, int, int) {
        log.push_back(std::string("OnEndDrag ") + (target ? "control" : "nowhere"));
    };
    QTest::mousePress(control, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(control, QPoint(21, 20));  // within the start distance
    EXPECT_TRUE(log.empty());
    // Qt's drag runs until the button is released; on the off-screen
    // platform nobody takes the drop.
    QPointer<TCustomControl> target = control;
    QTimer::singleShot(50, [target] {
        if (target.isNull()) return;
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(80, 80), target->mapToGlobal(QPointF(80, 80)),
                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target.data(), &up);
    });
    QMouseEvent far(QEvent::MouseMove, QPointF(80, 80), control->mapToGlobal(QPointF(80, 80)), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &far);
    QTest::qWait(100);
    // Where Qt's drag ends depends on the platform's pointer; the order does not.
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.front(), "OnStartDrag");
    EXPECT_EQ(log.back().rfind("OnEndDrag", 0), 0u) << log.back();
    for (const std::string& entry : log) EXPECT_NE(entry, "OnMouseDown");
}

TEST_F(ControlEvents, HintAndPopupMenuAreQtsToolTipAndContextMenu)
{
    control->SetHint("the hint");
    EXPECT_TRUE(control->toolTip().isEmpty());  // ShowHint is off by default
    control->SetShowHint(true);
    EXPECT_EQ(control->toolTip(), QString("the hint"));

    auto menu = std::make_unique<QMenu>();
    menu->addAction("one");
    control->SetPopupMenu(menu.get());
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(control, &event);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
    menu.reset();  // deleted elsewhere: the control forgets it
    EXPECT_EQ(control->PopupMenu(), nullptr);
    QApplication::sendEvent(control, &event);
}

TEST_F(ControlEvents, AHandlersExceptionIsReportedAndNotPassedToQt)
{
    std::vector<std::string> shown;
    TMessageHandler old = SetInfoMessageHandler([&](const std::string& text) { shown.push_back(text); });
    control->OnKeyDown = [](TObject*, int&, TShiftState) { throw std::runtime_error("key handler failed"); };
    // A second failure while the first waits to be shown is not stacked on top of it.
    control->OnKeyPress = [](TObject*, char32_t&) { throw std::runtime_error("key press handler failed"); };
    control->OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool&) {
        throw std::runtime_error("wheel handler failed");
    };
    SendKey(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
    QApplication::processEvents();
    SendWheel(120);
    QApplication::processEvents();
    SetInfoMessageHandler(old);
    EXPECT_EQ(shown, (std::vector<std::string>{"key handler failed", "wheel handler failed"}));
}

}  // namespace
}  // namespace kurvo
