// TCustomControl over QWidget, the information message and the
// application cursor.
#include "canvas/custom_control.h"

#include "canvas/control_detail.h"
#include "canvas/picture_memory.h"
#include "canvas/qt_canvas.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>

// Q_INIT_RESOURCE declares a global function; it must not be used inside a namespace.
static void InitCursorResources() { Q_INIT_RESOURCE(cursors); }

namespace kurvo {

// The control's own canvas. Every drawing call first makes sure the surface
// has the control's current size; outside the paint event it also asks Qt
// to show the surface again (once until the next paint event).
class TWindowCanvas : public TQtCanvas {
public:
    explicit TWindowCanvas(TCustomControl& control) : TQtCanvas(&control.FSurface), FControl(control) {}

    void LineTo(int x, int y) override
    {
        Prepare();
        TQtCanvas::LineTo(x, y);
    }
    void Rectangle(int x1, int y1, int x2, int y2) override
    {
        Prepare();
        TQtCanvas::Rectangle(x1, y1, x2, y2);
    }
    void Ellipse(int x1, int y1, int x2, int y2) override
    {
        Prepare();
        TQtCanvas::Ellipse(x1, y1, x2, y2);
    }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override
    {
        Prepare();
        TQtCanvas::Arc(x1, y1, x2, y2, x3, y3, x4, y4);
    }
    void Polygon(const TPoint* points, int count) override
    {
        Prepare();
        TQtCanvas::Polygon(points, count);
    }
    void Polyline(const TPoint* points, int count) override
    {
        Prepare();
        TQtCanvas::Polyline(points, count);
    }
    void SetPixel(int x, int y, TColor color) override
    {
        Prepare();
        TQtCanvas::SetPixel(x, y, color);
    }
    TColor GetPixel(int x, int y) const override
    {
        FControl.Surface();
        return TQtCanvas::GetPixel(x, y);
    }
    void TextOut(int x, int y, const std::string& text) override
    {
        Prepare();
        TQtCanvas::TextOut(x, y, text);
    }
    void Draw(int x, int y, const TBitmap& image) override
    {
        Prepare();
        TQtCanvas::Draw(x, y, image);
    }
    void StretchDraw(const TRect& rect, const TBitmap& image) override
    {
        Prepare();
        TQtCanvas::StretchDraw(rect, image);
    }

    // The paint event has put the surface on the screen.
    void Shown() { FUpdateQueued = false; }

private:
    void Prepare()
    {
        FControl.Surface();
        if (!FControl.FInPaintEvent && !FUpdateQueued && FControl.isVisible()) {
            FControl.update();
            FUpdateQueued = true;
        }
    }

    TCustomControl& FControl;
    bool FUpdateQueued = false;
};

namespace detail {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier) shift.Include(ssShift);
    if (modifiers & Qt::AltModifier) shift.Include(ssAlt);
    if (modifiers & Qt::ControlModifier) shift.Include(ssCtrl);
    if (buttons & Qt::LeftButton) shift.Include(ssLeft);
    if (buttons & Qt::RightButton) shift.Include(ssRight);
    if (buttons & Qt::MiddleButton) shift.Include(ssMiddle);
    return shift;
}

void ReportEventError(const std::exception& error)
{
    static bool pending = false;
    if (pending) return;
    pending = true;
    QTimer::singleShot(0, [text = std::string(error.what())] {
        pending = false;
        ShowInfoMessage(text);
    });
}

}  // namespace detail

namespace {

using detail::Guarded;
using detail::ShiftOf;

bool ButtonOf(Qt::MouseButton button, TMouseButton& result)
{
    switch (button) {
    case Qt::LeftButton: result = mbLeft; return true;
    case Qt::RightButton: result = mbRight; return true;
    case Qt::MiddleButton: result = mbMiddle; return true;
    default: return false;
    }
}

// Resets a flag when the scope ends, also by an exception.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

}  // namespace

TCustomControl::TCustomControl(QWidget* parentWidget) : QWidget(parentWidget)
{
    setMouseTracking(true);
    // The surface covers the whole widget; Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click gives the keyboard to the control, so its key events and the
    // keys it asks for (WantedDialogCodes) reach it in a window.
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
    // The widget starts with the control's bounds, 0 x 0; Qt's default
    // sizes (100 x 30, 640 x 480 for a window) are no size anybody asked for.
    resize(0, 0);
    setAttribute(Qt::WA_Resized, false);
    FSeenGeometry = geometry();
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::SetBounds(int left, int top, int width, int height)
{
    TBoundsChange change(*this);
    // A position beyond every screen is kept at the canvas range, so that
    // position plus side (Qt's own geometry sums too) stays within int.
    left = ClampCanvasCoord(left);
    top = ClampCanvasCoord(top);
    // Sides beyond a bitmap's reach could never be painted, and keeping them
    // small keeps every sum of a side and a margin within int.
    width = std::clamp(width, 0, MaxBitmapSide);
    height = std::clamp(height, 0, MaxBitmapSide);
    if ((width != FWidth || height != FHeight) && !CanResize(width, height)) {
        // Refused: a geometry Qt has given the widget already goes back too.
        ApplyGeometry();
        return;
    }
    width = std::clamp(width, 0, MaxBitmapSide);
    height = std::clamp(height, 0, MaxBitmapSide);
    const bool resized = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (resized) SurfaceChanged();
    ApplyGeometry();
    change.Done();
}

void TCustomControl::ApplyGeometry()
{
    if (FGeometryDetached) return;
    // setGeometry sends resize and move events to a visible widget, and
    // they come back here; the guard stops that loop.
    if (!FApplyingGeometry) {
        TFlagScope scope(FApplyingGeometry);
        setGeometry(FLeft, FTop, FWidth, FHeight);
    }
    // Qt may keep another geometry (a fixed size below the control's
    // smallest): the control then keeps its bounds until the widget's
    // geometry changes again, instead of asking at every read.
    FSeenGeometry = geometry();
}

void TCustomControl::AdoptGeometry() const
{
    // Inside a change of the bounds the widget's geometry is the change's
    // business; while detached the bounds are an export's.
    if (FBoundsDepth > 0 || FApplyingGeometry || FGeometryDetached) return;
    // Bounds follow the widget whenever they are read, also from const
    // code; a control is never a const object itself.
    auto& self = const_cast<TCustomControl&>(*this);
    const QRect g = geometry();
    // Noted first, so that a failing SetBounds is not retried at every read.
    self.FSeenGeometry = g;
    Guarded([&] { self.SetBounds(g.x(), g.y(), g.width(), g.height()); });
}

void TCustomControl::SetVisible(bool value)
{
    FVisible = value;
    // Without a parent the widget would become a window of its own.
    if (parentWidget() != nullptr) QWidget::setVisible(value);
}

double TCustomControl::DevicePixelRatio() const
{
    const double ratio = FRatioOverride > 0 ? FRatioOverride : devicePixelRatioF();
    return std::clamp(ratio, MinDevicePixelRatio, MaxDevicePixelRatio);
}

void TCustomControl::SetDevicePixelRatio(double value)
{
    value = std::isfinite(value) && value > 0 ? value : 0.0;
    if (value == FRatioOverride) return;
    FRatioOverride = value;
    Invalidate();
}

void TCustomControl::SurfaceChanged() { FSurfaceStale = true; }

// The surface has the control's size in device pixels, so that the window
// shows it one to one; a new ratio (the window moved to another screen)
// makes a new surface and a repaint.
QImage& TCustomControl::Surface()
{
    const bool wanted = FWidth > 0 && FHeight > 0;
    const double ratio = DevicePixelRatio();
    const auto physical = [ratio](int logical) {
        return static_cast<int>(std::min(std::lround(logical * ratio), static_cast<long>(INT_MAX)));
    };
    // Device pixels obey the bitmap limit, so no size and ratio can ask for
    // more than a screen-sized picture.
    int w = wanted ? physical(FWidth) : 0;
    int h = wanted ? physical(FHeight) : 0;
    LimitBitmapSize(w, h);
    const bool matches = wanted ? FSurface.width() == w && FSurface.height() == h && FSurface.devicePixelRatio() == ratio
                                : FSurface.isNull();
    if (!matches) {
        if (FCanvas) FCanvas->EndPaint();
        if (wanted && w > 0 && h > 0) {
            FSurface = NewPicture(w, h);
            FSurface.setDevicePixelRatio(ratio);
            FSurface.fill(ToQColor(clBtnFace));
        } else {
            FSurface = QImage();
        }
        FSurfaceStale = true;
    }
    return FSurface;
}

TCanvas& TCustomControl::Canvas()
{
    FollowGeometry();
    if (!FCanvas) FCanvas = std::make_unique<TWindowCanvas>(*this);
    Surface();
    return *FCanvas;
}

QImage TCustomControl::WindowImage()
{
    FollowGeometry();
    Surface();
    if (FCanvas) FCanvas->EndPaint();
    return FSurface;
}

void TCustomControl::Invalidate()
{
    FSurfaceStale = true;
    // A paint event in progress will not be followed by another one.
    if (!FInPaintEvent) update();
}

void TCustomControl::HandleNeeded()
{
    if (FHandleAllocated) return;
    FHandleAllocated = true;
    CreateWnd();
}

void TCustomControl::paintEvent(QPaintEvent*)
{
    {
        TFlagScope scope(FInPaintEvent);
        Canvas();
        if (FSurfaceStale) {
            FSurfaceStale = false;
            Guarded([this] { Paint(); });
        }
        FCanvas->EndPaint();
        static_cast<TWindowCanvas&>(*FCanvas).Shown();
    }
    QPainter painter(this);
    if (!FSurface.isNull()) painter.drawImage(0, 0, FSurface);
}

void TCustomControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FollowGeometry();
}

void TCustomControl::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    FollowGeometry();
}

void TCustomControl::showEvent(QShowEvent* event)
{
    Guarded([this] { HandleNeeded(); });
    QWidget::showEvent(event);
    // Becoming visible asks for a paint: the owner may have changed what the
    // control shows after its window was created (the demo adds its data then).
    SurfaceChanged();
}

void TCustomControl::mousePressEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!ButtonOf(event->button(), button)) return QWidget::mousePressEvent(event);
    if (button == mbLeft) FPressedLeft = true;
    const QPoint p = detail::ClampedPoint(event->position());
    if (button == mbLeft && FDragMode == dmAutomatic) {
        // The left button drags the control's data; it makes no mouse events.
        FAutoDragPending = true;
        FAutoDragStart = p;
        return;
    }
    Guarded([&] { MouseDown(button, ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

void TCustomControl::mouseMoveEvent(QMouseEvent* event)
{
    if (AutoDragMove(event)) return;
    const QPoint p = detail::ClampedPoint(event->position());
    Guarded([&] { WMMouseMove(ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

void TCustomControl::mouseReleaseEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!ButtonOf(event->button(), button)) return QWidget::mouseReleaseEvent(event);
    const QPoint p = detail::ClampedPoint(event->position());
    const bool click = button == mbLeft && FPressedLeft;
    if (button == mbLeft) FPressedLeft = false;
    if (button == mbLeft && FAutoDragPending) {
        // Pressed and released without dragging: still a click.
        FAutoDragPending = false;
        Guarded([this] { Click(); });
        return;
    }
    Guarded([&] {
        MouseUp(button, ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
        if (click && p.x() >= 0 && p.y() >= 0 && p.x() < FWidth && p.y() < FHeight) Click();
    });
}

void TCustomControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!ButtonOf(event->button(), button)) return QWidget::mouseDoubleClickEvent(event);
    // The second press of a double click makes no click of its own.
    FPressedLeft = false;
    const QPoint p = detail::ClampedPoint(event->position());
    TShiftState shift = ShiftOf(event->modifiers(), event->buttons());
    shift.Include(ssDouble);
    Guarded([&] {
        DblClick();
        MouseDown(button, shift, p.x(), p.y());
    });
}

void TCustomControl::enterEvent(QEnterEvent*)
{
    Guarded([this] { MouseEnter(); });
}

void TCustomControl::leaveEvent(QEvent*)
{
    Guarded([this] { MouseLeave(); });
}

bool TCustomControl::focusNextPrevChild(bool next)
{
    // Returning false hands Tab to keyPressEvent.
    if ((WantedDialogCodes() & 2) != 0) return false;
    return QWidget::focusNextPrevChild(next);
}

void TCustomControl::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    const TShiftState shift = ShiftOf(event->modifiers(), QGuiApplication::mouseButtons());
    Guarded([&] { KeyDown(key, shift); });
    // Each character the key makes, also after a handler used the key (as
    // the classic toolkit reports the character of a handled key press).
    const QList<uint> text = event->text().toUcs4();
    for (uint code : text) {
        char32_t c = code;
        Guarded([&] { KeyPress(c); });
    }
    if (key == 0 && event->key() != 0) return event->accept();
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        // Accepted arrows stay here instead of moving the focus in the parent.
        if ((WantedDialogCodes() & 1) != 0) return event->accept();
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if ((WantedDialogCodes() & 2) != 0) return event->accept();
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}

void TCustomControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TCustomControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TCustomControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TCustomControl::Click()
{
    if (OnClick) OnClick(this);
}

void TCustomControl::DblClick()
{
    if (OnDblClick) OnDblClick(this);
}

void TCustomControl::MouseEnter() {}

void TCustomControl::MouseLeave() {}

// ------------------------------------------------------- message box

namespace {

TMessageHandler& MessageHandler()
{
    static TMessageHandler handler;
    return handler;
}

}  // namespace

void ShowInfoMessage(const std::string& text)
{
    if (const TMessageHandler& handler = MessageHandler()) {
        handler(text);
        return;
    }
    QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(), QString::fromStdString(text),
                             QMessageBox::Ok);
}

TMessageHandler SetInfoMessageHandler(TMessageHandler handler)
{
    TMessageHandler old = std::move(MessageHandler());
    MessageHandler() = std::move(handler);
    return old;
}

// ------------------------------------------------------------ cursors

namespace {

// Kept for the whole run: cursors outlive every window that shows them.
std::map<int, QCursor>& Cursors()
{
    static auto* cursors = new std::map<int, QCursor>;
    return *cursors;
}

int gScreenCursor = crDefault;

QCursor CursorOf(int cursor)
{
    const auto found = Cursors().find(cursor);
    if (found != Cursors().end()) return found->second;
    switch (cursor) {
    case -3: return QCursor(Qt::CrossCursor);
    case -4: return QCursor(Qt::IBeamCursor);
    case -7: return QCursor(Qt::SizeVerCursor);
    case -9: return QCursor(Qt::SizeHorCursor);
    case -11: return QCursor(Qt::WaitCursor);
    case -21: return QCursor(Qt::PointingHandCursor);
    case -22: return QCursor(Qt::SizeAllCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

}  // namespace

void SetScreenCursor(int cursor)
{
    if (cursor == gScreenCursor) return;
    if (cursor == crDefault)
        QGuiApplication::restoreOverrideCursor();
    else if (gScreenCursor == crDefault)
        QGuiApplication::setOverrideCursor(CursorOf(cursor));
    else
        QGuiApplication::changeOverrideCursor(CursorOf(cursor));
    gScreenCursor = cursor;
}

int ScreenCursor() { return gScreenCursor; }

bool RegisterCursor(int index, const std::string& resourceName, int hotX, int hotY)
{
    InitCursorResources();
    const QString base = QStringLiteral(":/cursors/") + QString::fromStdString(resourceName);
    const QBitmap bitmap(base + QStringLiteral(".xbm"));
    const QBitmap mask(base + QStringLiteral("_mask.xbm"));
    if (bitmap.isNull() || mask.isNull() || bitmap.size() != mask.size()) return false;
    Cursors().insert_or_assign(index, QCursor(bitmap, mask, hotX, hotY));
    return true;
}

bool CursorRegistered(int index) { return Cursors().count(index) != 0; }

}  // namespace kurvo
