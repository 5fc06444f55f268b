// The toolkit's standard control events over Qt's: keys, the wheel, resizing,
// tool tip, context menu and drag and drop.
#include "canvas/control_detail.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace kurvo {

using detail::Guarded;
using detail::ShiftOf;

namespace {

constexpr int kWheelNotch = 120;
// A wheel event is never worth more notches than this: a forged delta of
// two billion must not keep the handlers busy for hours.
constexpr int kMaxNotchesPerEvent = 64;

TPoint PointOf(const QPointF& p)
{
    const QPoint q = detail::ClampedPoint(p);
    return {q.x(), q.y()};
}

}  // namespace

// ------------------------------------------------------------------ keys

void TCustomControl::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TCustomControl::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TCustomControl::KeyPress(char32_t& key)
{
    if (OnKeyPress) OnKeyPress(this, key);
}

void TCustomControl::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its press only, as the classic toolkit does.
    if (event->isAutoRepeat()) return event->accept();
    int key = event->key();
    const TShiftState shift = ShiftOf(event->modifiers(), QGuiApplication::mouseButtons());
    Guarded([&] { KeyUp(key, shift); });
    if (key == 0 && event->key() != 0) return event->accept();
    QWidget::keyReleaseEvent(event);
}

// ----------------------------------------------------------------- wheel

bool TCustomControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (handled) return true;
    // Fine steps (touch pads, smooth wheels) add up to whole notches; 64-bit
    // so that no delta can overflow the sum.
    const long long sum = static_cast<long long>(FWheelAccumulator) + wheelDelta;
    const long long notches = sum / kWheelNotch;
    FWheelAccumulator = static_cast<int>(sum - notches * kWheelNotch);
    const int count = static_cast<int>(std::min<long long>(std::llabs(notches), kMaxNotchesPerEvent));
    const TMouseWheelUpDownEvent& event = notches > 0 ? OnMouseWheelUp : OnMouseWheelDown;
    for (int i = 0; i < count && event; ++i) {
        bool notchHandled = false;
        event(this, shift, mousePos, notchHandled);
        handled = handled || notchHandled;
    }
    return handled;
}

void TCustomControl::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    // A purely sideways wheel is not this control's.
    if (delta == 0) return QWidget::wheelEvent(event);
    bool handled = false;
    const TShiftState shift = ShiftOf(event->modifiers(), event->buttons());
    Guarded([&] { handled = DoMouseWheel(shift, delta, PointOf(event->position())); });
    // Unused, the wheel goes on to the parent (a scroll area scrolls).
    event->setAccepted(handled);
}

// -------------------------------------------------------------- resizing

bool TCustomControl::CanResize(int& newWidth, int& newHeight)
{
    bool resize = true;
    if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
    return resize;
}

void TCustomControl::Resize()
{
    if (OnResize) OnResize(this);
}

TCustomControl::TBoundsChange::TBoundsChange(TCustomControl& control) : FControl(control)
{
    if (FControl.FBoundsDepth++ == 0) {
        FControl.FBoundsStartWidth = FControl.FWidth;
        FControl.FBoundsStartHeight = FControl.FHeight;
    }
}

TCustomControl::TBoundsChange::~TBoundsChange()
{
    if (FOpen) --FControl.FBoundsDepth;
}

void TCustomControl::TBoundsChange::Done()
{
    if (!FOpen) return;
    FOpen = false;
    if (--FControl.FBoundsDepth > 0) return;
    if (FControl.FWidth != FControl.FBoundsStartWidth || FControl.FHeight != FControl.FBoundsStartHeight)
        FControl.Resize();
}

// ------------------------------------------------- tool tip, context menu

void TCustomControl::SetHint(const std::string& value)
{
    FHint = value;
    UpdateToolTip();
}

void TCustomControl::SetShowHint(bool value)
{
    FShowHint = value;
    UpdateToolTip();
}

void TCustomControl::UpdateToolTip() { setToolTip(FShowHint ? QString::fromStdString(FHint) : QString()); }

void TCustomControl::contextMenuEvent(QContextMenuEvent* event)
{
    if (FPopupMenu.isNull()) return QWidget::contextMenuEvent(event);
    // popup, not exec: the menu must not run an event loop of its own inside
    // this handler.
    FPopupMenu->popup(event->globalPos());
    event->accept();
}

// ---------------------------------------------------------- drag and drop

void TCustomControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept)
{
    // Without a handler nothing is accepted; with one, accepting is the default.
    accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
}

void TCustomControl::DragDrop(TObject* source, int x, int y)
{
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}

namespace {

// The control a drag of this program started from; nullptr otherwise.
TObject* DragSource(const QDropEvent* event) { return dynamic_cast<TCustomControl*>(event->source()); }

// Sets `data` for the lifetime of the scope, also when leaving by an exception.
class TDragDataScope {
public:
    TDragDataScope(const QMimeData*& slot, const QMimeData* data) : FSlot(slot) { FSlot = data; }
    ~TDragDataScope() { FSlot = nullptr; }
    TDragDataScope(const TDragDataScope&) = delete;
    TDragDataScope& operator=(const TDragDataScope&) = delete;

private:
    const QMimeData*& FSlot;
};

}  // namespace

bool TCustomControl::DragOverAt(QDropEvent* event, TDragState state)
{
    FDragPos = PointOf(event->position());
    FDragSource = event->source();
    bool accept = false;
    TDragDataScope scope(FDragData, event->mimeData());
    Guarded([&] { DragOver(DragSource(event), FDragPos.X, FDragPos.Y, state, accept); });
    FDragAccepted = accept;
    return accept;
}

void TCustomControl::dragEnterEvent(QDragEnterEvent* event)
{
    const bool accept = DragOverAt(event, dsDragEnter);
    if (accept) return event->acceptProposedAction();
    // Taken without a drop action: Qt then keeps sending the moves, and a
    // later position may be accepted.
    event->accept();
    event->setDropAction(Qt::IgnoreAction);
}

void TCustomControl::dragMoveEvent(QDragMoveEvent* event)
{
    if (DragOverAt(event, dsDragMove))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TCustomControl::dragLeaveEvent(QDragLeaveEvent* event)
{
    // Qt tells neither source nor position on leaving: those the drag last had here.
    bool accept = false;
    TObject* const source = dynamic_cast<TCustomControl*>(FDragSource.data());
    Guarded([&] { DragOver(source, FDragPos.X, FDragPos.Y, dsDragLeave, accept); });
    FDragAccepted = false;
    event->accept();
}

void TCustomControl::dropEvent(QDropEvent* event)
{
    if (!FDragAccepted) return event->ignore();
    FDragAccepted = false;
    const TPoint p = PointOf(event->position());
    TDragDataScope scope(FDragData, event->mimeData());
    Guarded([&] { DragDrop(DragSource(event), p.X, p.Y); });
    event->acceptProposedAction();
}

void TCustomControl::BeginDrag()
{
    // Qt owns the drag object and its data once exec runs; the pointer is
    // only read while the drag exists.
    QPointer<QDrag> drag = new QDrag(this);
    auto* data = new QMimeData;
    drag->setMimeData(data);
    Guarded([&] {
        if (OnStartDrag) OnStartDrag(this, *data);
    });
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    QObject* const target = (!drag.isNull() && action != Qt::IgnoreAction) ? drag->target() : nullptr;
    // QDrag::target is the widget that took the drop; a child of a control counts as the control.
    TCustomControl* control = nullptr;
    for (QObject* o = target; o != nullptr && control == nullptr; o = o->parent())
        control = dynamic_cast<TCustomControl*>(o);
    if (!drag.isNull()) drag->deleteLater();
    const QPoint p = mapFromGlobal(QCursor::pos());
    Guarded([&] {
        if (OnEndDrag) OnEndDrag(this, control, p.x(), p.y());
    });
}

bool TCustomControl::AutoDragMove(QMouseEvent* event)
{
    if (!FAutoDragPending) return false;
    if (!(event->buttons() & Qt::LeftButton)) {
        FAutoDragPending = false;
        return false;
    }
    const QPoint p = detail::ClampedPoint(event->position());
    if ((p - FAutoDragStart).manhattanLength() < QApplication::startDragDistance()) return true;
    FAutoDragPending = false;
    FPressedLeft = false;
    BeginDrag();
    return true;
}

void TCustomControl::AssignControlEvents(const TCustomControl& source)
{
    OnMouseDown = source.OnMouseDown;
    OnMouseMove = source.OnMouseMove;
    OnMouseUp = source.OnMouseUp;
    OnClick = source.OnClick;
    OnDblClick = source.OnDblClick;
    OnKeyDown = source.OnKeyDown;
    OnKeyUp = source.OnKeyUp;
    OnKeyPress = source.OnKeyPress;
    OnMouseWheel = source.OnMouseWheel;
    OnMouseWheelUp = source.OnMouseWheelUp;
    OnMouseWheelDown = source.OnMouseWheelDown;
    OnResize = source.OnResize;
    OnCanResize = source.OnCanResize;
    OnDragOver = source.OnDragOver;
    OnDragDrop = source.OnDragDrop;
    OnStartDrag = source.OnStartDrag;
    OnEndDrag = source.OnEndDrag;
}

}  // namespace kurvo
