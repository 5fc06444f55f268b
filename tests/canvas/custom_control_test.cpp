// TCustomControl without and with a window: geometry, visibility, its own
// surface, and the pointer and key notifications.
#include "canvas/custom_control.h"
#include "canvas/qt_canvas.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace kurvo {
namespace {

std::string ShiftText(TShiftState s)
{
    std::string text;
    const std::pair<TShiftFlag, const char*> names[] = {{ssShift, "Shift"}, {ssAlt, "Alt"},       {ssCtrl, "Ctrl"},
                                                        {ssLeft, "Left"},   {ssRight, "Right"},   {ssMiddle, "Middle"},
                                                        {ssDouble, "Double"}};
    for (const auto& [flag, name] : names)
        if (s.Contains(flag)) text += std::string(text.empty() ? "" : "+") + name;
    return "[" + text + "]";
}

const char* ButtonText(TMouseButton b) { return b == mbLeft ? "mbLeft" : b == mbRight ? "mbRight" : "mbMiddle"; }

// Records the virtual notifications it receives, in order.
class TProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

    std::vector<std::string> Log;
    int Paints = 0;
    int PaintEvents = 0;
    int CreateWnds = 0;
    int Codes = 0;
    TColor PaintColor = clRed;

    void Paint() override
    {
        ++Paints;
        Canvas().Brush().SetColor(PaintColor);
        Canvas().Pen().SetStyle(psClear);
        Canvas().Rectangle(0, 0, Width(), Height());
    }
    void SetBounds(int left, int top, int width, int height) override
    {
        Log.push_back("SetBounds(" + std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(width) + "," +
                      std::to_string(height) + ")");
        TCustomControl::SetBounds(left, top, width, height);
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override
    {
        Log.push_back(std::string("MouseDown(") + ButtonText(b) + "," + ShiftText(s) + "," + std::to_string(x) + "," +
                      std::to_string(y) + ")");
        TCustomControl::MouseDown(b, s, x, y);
    }
    void WMMouseMove(TShiftState s, int x, int y) override
    {
        Log.push_back("WMMouseMove");
        TCustomControl::WMMouseMove(s, x, y);
    }
    void MouseMove(TShiftState s, int x, int y) override
    {
        Log.push_back("MouseMove(" + ShiftText(s) + "," + std::to_string(x) + "," + std::to_string(y) + ")");
        TCustomControl::MouseMove(s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override
    {
        Log.push_back(std::string("MouseUp(") + ButtonText(b) + "," + ShiftText(s) + "," + std::to_string(x) + "," +
                      std::to_string(y) + ")");
        TCustomControl::MouseUp(b, s, x, y);
    }
    void Click() override
    {
        Log.push_back("Click");
        TCustomControl::Click();
    }
    void DblClick() override
    {
        Log.push_back("DblClick");
        TCustomControl::DblClick();
    }
    void MouseEnter() override { Log.push_back("MouseEnter"); }
    void MouseLeave() override { Log.push_back("MouseLeave"); }
    int WantedDialogCodes() const override { return Codes; }

protected:
    void CreateWnd() override { ++CreateWnds; }
    void paintEvent(QPaintEvent* event) override
    {
        ++PaintEvents;
        TCustomControl::paintEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        Log.push_back("Key " + std::to_string(event->key()));
        TCustomControl::keyPressEvent(event);
    }
};

bool NativeWindow(const QWidget& w) { return w.testAttribute(Qt::WA_WState_Created); }

TEST(CustomControl, WorksWithoutAWindow)
{
    TProbe control;
    control.SetBounds(10, 20, 30, 40);
    EXPECT_EQ(control.Left(), 10);
    EXPECT_EQ(control.Top(), 20);
    EXPECT_EQ(control.Width(), 30);
    EXPECT_EQ(control.Height(), 40);
    EXPECT_EQ(control.geometry(), QRect(10, 20, 30, 40));
    control.Paint();
    const QImage shown = control.WindowImage();
    EXPECT_EQ(shown.size(), QSize(30, 40));
    EXPECT_EQ(FromQRgb(shown.pixel(29, 39)), clRed);
    control.Canvas().SetPixel(3, 4, clBlue);
    EXPECT_EQ(FromQRgb(control.WindowImage().pixel(3, 4)), clBlue);
    EXPECT_EQ(control.Canvas().GetPixel(3, 4), clBlue);
    // Nothing of this makes a native window or shows the control.
    control.SetVisible(true);
    control.HandleNeeded();
    EXPECT_FALSE(NativeWindow(control));
    EXPECT_FALSE(control.isVisible());
    EXPECT_TRUE(control.Visible());
    EXPECT_TRUE(control.HandleAllocated());
}

TEST(CustomControl, BoundsAreStoredWithNegativeSizesAsZero)
{
    struct Row {
        int L, T, W, H, ExpectW, ExpectH, ExpectL, ExpectT;
    };
    // Positions beyond every screen stay at the canvas range, so that Qt's
    // position-plus-side sums cannot overflow.
    for (const Row& row : {Row{1, 2, 3, 4, 3, 4, 1, 2}, Row{-5, -6, -7, 8, 0, 8, -5, -6}, Row{0, 0, 9, -1, 9, 0, 0, 0},
                           Row{INT_MAX, INT_MIN, 256, 90, 256, 90, MaxCanvasCoord, -MaxCanvasCoord}}) {
        TProbe control;
        control.SetBounds(row.L, row.T, row.W, row.H);
        EXPECT_EQ(control.Left(), row.ExpectL);
        EXPECT_EQ(control.Top(), row.ExpectT);
        EXPECT_EQ(control.Width(), row.ExpectW);
        EXPECT_EQ(control.Height(), row.ExpectH);
        // An empty surface can still be drawn on.
        control.Canvas().LineTo(5, 5);
        EXPECT_EQ(control.WindowImage().isNull(), row.ExpectW == 0 || row.ExpectH == 0);
    }
    TProbe control;
    control.SetWidth(12);
    control.SetHeight(7);
    EXPECT_EQ(control.geometry(), QRect(0, 0, 12, 7));
}

TEST(CustomControl, TheSurfaceFollowsTheSize)
{
    TProbe control;
    control.SetBounds(0, 0, 10, 10);
    control.Canvas().Brush().SetColor(clLime);
    control.Canvas().Rectangle(0, 0, 10, 10);  // painter open on the old surface
    control.SetBounds(0, 0, 25, 15);
    control.Canvas().Rectangle(20, 10, 25, 15);
    const QImage shown = control.WindowImage();
    EXPECT_EQ(shown.size(), QSize(25, 15));
    EXPECT_EQ(FromQRgb(shown.pixel(22, 12)), clLime);
}

TEST(CustomControl, VisibilityReachesTheWidgetOnlyUnderAParent)
{
    TProbe alone;
    alone.SetVisible(false);
    EXPECT_FALSE(alone.Visible());
    alone.SetVisible(true);
    EXPECT_TRUE(alone.Visible());
    EXPECT_FALSE(alone.isVisible());
    EXPECT_FALSE(NativeWindow(alone));

    QWidget parent;
    auto* child = new TProbe(&parent);
    child->SetVisible(false);
    EXPECT_TRUE(child->isHidden());
    child->SetVisible(true);
    EXPECT_FALSE(child->isHidden());
    EXPECT_TRUE(child->Visible());
}

TEST(CustomControl, CreateWndRunsOnceWhenShownOrAskedFor)
{
    TProbe asked;
    asked.HandleNeeded();
    asked.HandleNeeded();
    EXPECT_EQ(asked.CreateWnds, 1);

    QWidget parent;
    auto* child = new TProbe(&parent);
    EXPECT_FALSE(child->HandleAllocated());
    parent.show();
    EXPECT_EQ(child->CreateWnds, 1);
    child->hide();
    child->show();
    EXPECT_EQ(child->CreateWnds, 1);
}

QImage Grab(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

TEST(CustomControl, AShownControlShowsItsSurface)
{
    QWidget window;
    window.resize(100, 80);
    auto* control = new TProbe(&window);
    control->SetBounds(10, 10, 40, 30);
    window.show();
    const QImage first = Grab(*control);
    EXPECT_EQ(first.size(), QSize(40, 30));
    EXPECT_EQ(FromQRgb(first.pixel(20, 15)), clRed);
    EXPECT_EQ(control->Paints, 1);

    // Drawn outside a paint: shown without painting again.
    control->Canvas().SetPixel(5, 5, clBlue);
    EXPECT_EQ(FromQRgb(Grab(*control).pixel(5, 5)), clBlue);
    EXPECT_EQ(control->Paints, 1);

    // Invalidate asks for a new picture.
    control->PaintColor = clYellow;
    control->Invalidate();
    const QImage repainted = Grab(*control);
    EXPECT_EQ(control->Paints, 2);
    EXPECT_EQ(FromQRgb(repainted.pixel(5, 5)), clYellow);
    EXPECT_EQ(repainted, control->WindowImage());

    // A new size is painted before it is shown.
    control->SetBounds(10, 10, 60, 20);
    EXPECT_EQ(Grab(*control).size(), QSize(60, 20));
    EXPECT_EQ(control->Paints, 3);
}

TEST(CustomControl, DrawingOutsideAPaintAsksForOnePaintEventAndPaintingAsksForNone)
{
    QWidget window;
    window.resize(100, 80);
    auto* control = new TProbe(&window);
    control->SetBounds(0, 0, 50, 40);
    window.show();
    QApplication::processEvents();
    const int settled = control->PaintEvents;
    ASSERT_GE(settled, 1);
    EXPECT_EQ(control->Paints, 1);
    // Paint drew on the canvas inside the paint event: no repaint follows.
    QApplication::processEvents();
    EXPECT_EQ(control->PaintEvents, settled);

    for (int k = 0; k < 10; ++k) control->Canvas().SetPixel(k, 1, clBlue);
    QApplication::processEvents();
    EXPECT_EQ(control->PaintEvents, settled + 1);
    EXPECT_EQ(control->Paints, 1);
    EXPECT_EQ(FromQRgb(Grab(*control).pixel(9, 1)), clBlue);  // grab paints once more

    // Drawing on a hidden control asks for nothing.
    control->hide();
    const int hidden = control->PaintEvents;
    control->Canvas().SetPixel(0, 0, clBlue);
    QApplication::processEvents();
    EXPECT_EQ(control->PaintEvents, hidden);
}

TEST(CustomControl, PlatformGeometryComesBackThroughSetBounds)
{
    QWidget window;
    window.resize(200, 200);
    auto* control = new TProbe(&window);
    control->SetBounds(5, 6, 50, 40);
    window.show();
    EXPECT_EQ(control->Log, (std::vector<std::string>{"SetBounds(5,6,50,40)"}));

    control->Log.clear();
    control->resize(70, 45);  // as a layout would
    EXPECT_EQ(control->Log, (std::vector<std::string>{"SetBounds(5,6,70,45)"}));
    EXPECT_EQ(control->Width(), 70);
    control->Log.clear();
    control->move(8, 9);
    EXPECT_EQ(control->Log, (std::vector<std::string>{"SetBounds(8,9,70,45)"}));
    EXPECT_EQ(control->Left(), 8);

    // Our own change does not come back a second time.
    control->Log.clear();
    control->SetBounds(1, 2, 30, 20);
    EXPECT_EQ(control->Log, (std::vector<std::string>{"SetBounds(1,2,30,20)"}));
    EXPECT_EQ(control->geometry(), QRect(1, 2, 30, 20));
}

// ---------------------------------------------------------------- pointer

void Send(QWidget& w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(p), QPointF(p), button, buttons, modifiers);
    QApplication::sendEvent(&w, &event);
}

TEST(CustomControl, PointerEventsArriveInOrderWithTheirShiftState)
{
    using V = std::vector<std::string>;
    struct Row {
        const char* Name;
        std::function<void(QWidget&)> Events;
        V Expected;
    };
    const Row rows[] = {
        {"left click",
         [](QWidget& w) {
             Send(w, QEvent::MouseButtonPress, {5, 6}, Qt::LeftButton, Qt::LeftButton);
             Send(w, QEvent::MouseMove, {7, 8}, Qt::NoButton, Qt::LeftButton);
             Send(w, QEvent::MouseButtonRelease, {7, 8}, Qt::LeftButton, Qt::NoButton);
         },
         V{"MouseDown(mbLeft,[Left],5,6)", "WMMouseMove", "MouseMove([Left],7,8)", "MouseUp(mbLeft,[],7,8)", "Click"}},
        {"release outside makes no click",
         [](QWidget& w) {
             Send(w, QEvent::MouseButtonPress, {5, 6}, Qt::LeftButton, Qt::LeftButton);
             Send(w, QEvent::MouseButtonRelease, {45, 8}, Qt::LeftButton, Qt::NoButton);
         },
         V{"MouseDown(mbLeft,[Left],5,6)", "MouseUp(mbLeft,[],45,8)"}},
        {"right button with modifiers",
         [](QWidget& w) {
             Send(w, QEvent::MouseButtonPress, {1, 2}, Qt::RightButton, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
             Send(w, QEvent::MouseMove, {3, 2}, Qt::NoButton, Qt::RightButton | Qt::MiddleButton, Qt::AltModifier);
             Send(w, QEvent::MouseButtonRelease, {3, 2}, Qt::RightButton, Qt::NoButton);
         },
         V{"MouseDown(mbRight,[Shift+Ctrl+Right],1,2)", "WMMouseMove", "MouseMove([Alt+Right+Middle],3,2)",
           "MouseUp(mbRight,[],3,2)"}},
        {"double click",
         [](QWidget& w) {
             Send(w, QEvent::MouseButtonPress, {4, 4}, Qt::LeftButton, Qt::LeftButton);
             Send(w, QEvent::MouseButtonRelease, {4, 4}, Qt::LeftButton, Qt::NoButton);
             Send(w, QEvent::MouseButtonDblClick, {4, 4}, Qt::LeftButton, Qt::LeftButton);
             Send(w, QEvent::MouseButtonRelease, {4, 4}, Qt::LeftButton, Qt::NoButton);
         },
         V{"MouseDown(mbLeft,[Left],4,4)", "MouseUp(mbLeft,[],4,4)", "Click", "DblClick", "MouseDown(mbLeft,[Left+Double],4,4)",
           "MouseUp(mbLeft,[],4,4)"}},
        {"middle button",
         [](QWidget& w) {
             Send(w, QEvent::MouseButtonPress, {2, 3}, Qt::MiddleButton, Qt::MiddleButton);
             Send(w, QEvent::MouseButtonRelease, {2, 3}, Qt::MiddleButton, Qt::NoButton);
         },
         V{"MouseDown(mbMiddle,[Middle],2,3)", "MouseUp(mbMiddle,[],2,3)"}},
        {"enter and leave",
         [](QWidget& w) {
             QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
             QApplication::sendEvent(&w, &enter);
             QEvent leave(QEvent::Leave);
             QApplication::sendEvent(&w, &leave);
         },
         V{"MouseEnter", "MouseLeave"}},
    };
    for (const Row& row : rows) {
        TProbe control;  // never shown
        control.SetBounds(0, 0, 40, 30);
        row.Events(control);
        EXPECT_EQ(control.Log.size() > 1 ? std::vector<std::string>(control.Log.begin() + 1, control.Log.end()) : control.Log,
                  row.Expected)
            << row.Name;
        EXPECT_FALSE(NativeWindow(control)) << row.Name;
    }
}

TEST(CustomControl, DefaultNotificationsRaiseTheEvents)
{
    TCustomControl control;
    control.SetBounds(0, 0, 20, 20);
    std::vector<std::string> log;
    control.OnMouseDown = [&](TObject* sender, TMouseButton b, TShiftState s, int x, int y) {
        EXPECT_EQ(sender, &control);
        log.push_back("OnMouseDown " + std::string(ButtonText(b)) + ShiftText(s) + std::to_string(x) + "," + std::to_string(y));
    };
    control.OnMouseMove = [&](TObject* sender, TShiftState s, int x, int y) {
        EXPECT_EQ(sender, &control);
        log.push_back("OnMouseMove " + ShiftText(s) + std::to_string(x) + "," + std::to_string(y));
    };
    control.OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { log.push_back("OnMouseUp " + std::string(ButtonText(b))); };
    control.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &control);
        log.push_back("OnClick");
    };
    control.OnDblClick = [&](TObject*) { log.push_back("OnDblClick"); };
    Send(control, QEvent::MouseButtonPress, {3, 4}, Qt::LeftButton, Qt::LeftButton);
    Send(control, QEvent::MouseMove, {5, 6}, Qt::NoButton, Qt::LeftButton);
    Send(control, QEvent::MouseButtonRelease, {5, 6}, Qt::LeftButton, Qt::NoButton);
    Send(control, QEvent::MouseButtonDblClick, {5, 6}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(log, (std::vector<std::string>{"OnMouseDown mbLeft[Left]3,4", "OnMouseMove [Left]5,6", "OnMouseUp mbLeft", "OnClick",
                                             "OnDblClick", "OnMouseDown mbLeft[Left+Double]5,6"}));
    // Without handlers nothing happens.
    TCustomControl bare;
    Send(bare, QEvent::MouseButtonPress, {3, 4}, Qt::LeftButton, Qt::LeftButton);
    Send(bare, QEvent::MouseButtonRelease, {3, 4}, Qt::LeftButton, Qt::NoButton);
}

// ------------------------------------------------------------------- keys

TEST(CustomControl, WantedDialogCodesKeepArrowsAndTabHere)
{
    struct Row {
        int Codes;
        bool ArrowsAccepted, TabReachesControl;
    };
    for (const Row& row : {Row{0, false, false}, Row{1, true, false}, Row{2, false, true}, Row{3, true, true}}) {
        QWidget window;
        auto* control = new TProbe(&window);
        control->setFocusPolicy(Qt::StrongFocus);
        auto* other = new QWidget(&window);
        other->setFocusPolicy(Qt::StrongFocus);
        control->Codes = row.Codes;
        for (int key : {Qt::Key_Left, Qt::Key_Up}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(control, &press);
            EXPECT_EQ(press.isAccepted(), row.ArrowsAccepted) << row.Codes;
        }
        control->Log.clear();
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(control, &tab);
        const bool reached = !control->Log.empty() && control->Log.back() == "Key " + std::to_string(Qt::Key_Tab);
        EXPECT_EQ(reached, row.TabReachesControl) << row.Codes;
    }
}

}  // namespace
}  // namespace kurvo
