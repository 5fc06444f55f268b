// The custom-drawn control base of the chart and of the axis control: its
// own size, visibility, font and canvas, the loading state, the window
// creation step and the pointer notifications, over a QWidget.
//
// The control keeps its geometry and visibility itself, so that it works
// without a window: an axis control embedded in a chart is never shown and
// never gets a native window, and a chart rendered off-screen paints the
// same as one on the screen. The control's own canvas draws into a window
// surface (a QImage of the control's size, created on first use) that the
// widget's paint event puts on the screen.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../canvas/Qorn_canvas.h"

#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

namespace kurvo {

/// A mouse button.
enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

/// A key or button held during an input event.
enum TShiftFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

/// The set of TShiftFlag values held during an input event.
class TShiftState {
public:
    /// The empty set.
    constexpr TShiftState() = default;
    /// The set of the given flags.
    constexpr TShiftState(std::initializer_list<TShiftFlag> flags)
    {
        for (TShiftFlag f : flags) FBits |= Bit(f);
    }
    /// Whether `f` is in the set.
    constexpr bool Contains(TShiftFlag f) const { return (FBits & Bit(f)) != 0; }
    /// Adds `f` to the set.
    constexpr void Include(TShiftFlag f) { FBits |= Bit(f); }
    friend constexpr bool operator==(const TShiftState&, const TShiftState&) = default;

private:
    static constexpr std::uint8_t Bit(TShiftFlag f) { return static_cast<std::uint8_t>(1u << f); }
    std::uint8_t FBits = 0;
};

// The toolkit's standard control events.

/// A button press or release at pixel (x, y) of the control.
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
/// A pointer move to pixel (x, y) of the control.
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

/// A key went down or up.
///
/// Key codes are Qt::Key values (Qt::Key_Left, Qt::Key_A, ...): they name every
/// key Qt knows without a translation table, and code written against Qt reads
/// them as it is. A handler that sets the key to 0 has used it: the control does
/// nothing more with it and Qt does not pass it on to the parent.
using TKeyEvent = std::function<void(TObject* sender, int& key, TShiftState shift)>;
/// One Unicode code point per call: a char cannot hold most characters, and
/// UTF-16 units would split those beyond the basic plane.
using TKeyPressEvent = std::function<void(TObject* sender, char32_t& key)>;
/// wheelDelta in eighths of a degree, 120 per notch, positive away from the
/// user; mousePos in the control's own pixels, like every pointer event here.
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;
/// One whole notch of the wheel, mousePos as for TMouseWheelEvent; setting
/// `handled` stops further handling.
using TMouseWheelUpDownEvent = std::function<void(TObject* sender, TShiftState shift, TPoint mousePos, bool& handled)>;
/// `resize` false keeps the old size; the handler may change the new size.
using TCanResizeEvent = std::function<void(TObject* sender, int& newWidth, int& newHeight, bool& resize)>;

/// Phase of a drag over a control.
enum TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
/// dmAutomatic: a left-button drag beyond Qt's start distance drags the control's
/// data instead of raising the mouse events.
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };

/// Drag and drop runs on Qt's: `source` is the control a drag started from when
/// that is a control of this program, nullptr for drags from other widgets or
/// programs; their data is DragData() while the handler runs.
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
/// The handler puts what the drag carries into `data` (text, URLs, own formats).
using TStartDragEvent = std::function<void(TObject* sender, QMimeData& data)>;
/// `target` is the control of this program that took the drop, nullptr when
/// nobody took it or it went to another program; x, y in the source's pixels.
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;

class TQtCanvas;

/// The custom-drawn control base: own bounds, visibility, font and canvas,
/// loading state and the standard control events, over a QWidget.
class KURVO_EXPORT TCustomControl : public QWidget, public TPersistent {
public:
    /// A visible control of size 0 x 0 inside `parentWidget`.
    explicit TCustomControl(QWidget* parentWidget = nullptr);
    ~TCustomControl() override;

    ///@{
    /// Name of the control; default empty.
    const std::string& Name() const { return FName; }
    void SetName(const std::string& value) { FName = value; }
    ///@}

    ///@{
    /// Bounds in pixels, relative to the parent; SetWidth and SetHeight go
    /// through SetBounds().
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    ///@}
    /// Stores the bounds (negative sizes become 0) and moves the widget there.
    virtual void SetBounds(int left, int top, int width, int height);
    ///@{
    /// While set, SetBounds stores the bounds without moving or resizing the
    /// widget: the control is laid out for an off-screen picture, and Qt and
    /// the parent's layout never see the passing size.
    bool GeometryDetached() const { return FGeometryDetached; }
    void SetGeometryDetached(bool value) { FGeometryDetached = value; }
    ///@}

    ///@{
    /// Device pixels per pixel of the control's pictures: the widget's own
    /// ratio (its screen's), unless SetDevicePixelRatio chose one. A value
    /// of 0 (or anything not positive and finite) follows the widget again.
    double DevicePixelRatio() const;
    void SetDevicePixelRatio(double value);
    ///@}

    ///@{
    /// Whether the control is visible; default on.
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    ///@}

    ///@{
    /// The control's font; a change repaints nothing by itself.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value) { FFont = value; }
    ///@}

    /// The control's own canvas: the window surface.
    TCanvas& Canvas();
    /// What the window shows (the surface), for tests and snapshots.
    QImage WindowImage();

    /// Draws the control on its own canvas. The base draws nothing.
    virtual void Paint() {}
    /// Asks the platform to repaint the control later.
    void Invalidate();
    /// Marks the picture out of date without asking for a paint event: the
    /// next one (update(), repaint(), grab(), an exposure) paints again.
    void MarkStale() { FSurfaceStale = true; }

    /// Loading from a stored description: setters run while IsLoading() is
    /// true; Loaded ends it.
    bool IsLoading() const { return FLoading; }
    /// Starts loading from a stored description.
    virtual void BeginLoading() { FLoading = true; }
    /// Ends loading; derived controls bring their state up to date here.
    virtual void Loaded() { FLoading = false; }
    /// Always false: this platform has no designer.
    bool IsDesigning() const { return false; }

    ///@{
    /// The window-creation step; runs once, when the control is first shown
    /// or when HandleNeeded is called.
    bool HandleAllocated() const { return FHandleAllocated; }
    void HandleNeeded();
    ///@}

    ///@{
    /// Pointer notifications in client pixels; each raises its event.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseEnter();
    virtual void MouseLeave();
    ///@}
    /// The pointer-move message; the base hands it to MouseMove.
    virtual void WMMouseMove(TShiftState shift, int x, int y) { MouseMove(shift, x, y); }
    /// Which keys the control handles itself (1 arrows, 2 Tab); 0 for none.
    virtual int WantedDialogCodes() const { return 0; }

    ///@{
    /// Keys; each raises its event first. The control takes the keyboard focus
    /// when it is clicked.
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void KeyPress(char32_t& key);
    ///@}
    /// The wheel: OnMouseWheel, and unless that handled it OnMouseWheelUp or
    /// OnMouseWheelDown once per whole notch (small steps add up). True when a
    /// handler took it; otherwise Qt passes the wheel on to the parent.
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    /// Asked before the size changes (not for a pure move); false keeps the old bounds.
    virtual bool CanResize(int& newWidth, int& newHeight);
    /// The size has changed; raised once per change, after a derived control
    /// has brought its own state to the new size.
    virtual void Resize();
    /// Raised while something is dragged over the control; set `accept` to take it.
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    /// Something was dropped on the control at (x, y).
    virtual void DragDrop(TObject* source, int x, int y);
    /// Starts dragging this control's data now (OnStartDrag fills it); returns
    /// when the drop is over, after OnEndDrag.
    void BeginDrag();
    /// The data of the drag being handled in OnDragOver or OnDragDrop, else nullptr.
    const QMimeData* DragData() const { return FDragData; }

    ///@{
    /// How a drag on the control starts; default dmManual.
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode value) { FDragMode = value; }
    ///@}
    ///@{
    /// The tool tip: Hint is shown while ShowHint is on (off by default).
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& value);
    ///@}
    ///@{
    /// Whether Hint() is shown; default off.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    ///@}
    ///@{
    /// The context menu, not owned; shown at the pointer by a right click (or
    /// the menu key). A menu deleted elsewhere is simply gone.
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* value) { FPopupMenu = value; }
    ///@}

    /// A mouse button was pressed over the control.
    TMouseEvent OnMouseDown;
    /// The pointer moved over the control.
    TMouseMoveEvent OnMouseMove;
    /// A mouse button was released.
    TMouseEvent OnMouseUp;
    /// The control was clicked.
    TNotifyEvent OnClick;
    /// The control was double-clicked.
    TNotifyEvent OnDblClick;
    /// A key went down; setting `key` to 0 consumes it.
    TKeyEvent OnKeyDown;
    /// A key went up; setting `key` to 0 consumes it.
    TKeyEvent OnKeyUp;
    /// A character was typed; setting `key` to 0 consumes it.
    TKeyPressEvent OnKeyPress;
    /// The wheel turned; setting `handled` stops further handling.
    TMouseWheelEvent OnMouseWheel;
    /// The wheel turned one notch away from the user.
    TMouseWheelUpDownEvent OnMouseWheelUp;
    /// The wheel turned one notch towards the user.
    TMouseWheelUpDownEvent OnMouseWheelDown;
    /// The size changed.
    TNotifyEvent OnResize;
    /// The size is about to change; the handler may change or refuse it.
    TCanResizeEvent OnCanResize;
    /// Something is dragged over the control.
    TDragOverEvent OnDragOver;
    /// Something was dropped on the control.
    TDragDropEvent OnDragDrop;
    /// A drag of the control's data starts; the handler fills the data.
    TStartDragEvent OnStartDrag;
    /// A drag of the control's data ended.
    TEndDragEvent OnEndDrag;

    /// Copies the handlers of the standard control events (a derived Assign uses it).
    void AssignControlEvents(const TCustomControl& source);

    std::string ClassName() const override { return "TCustomControl"; }

protected:
    /// The window-creation step; derived controls finish their setup here.
    virtual void CreateWnd() {}

    /// Brackets a change of the bounds: nested changes (a derived SetBounds
    /// that applies the bounds more than once) raise OnResize once, at the end
    /// of the outermost, when the size differs from the one at its start.
    class TBoundsChange {
    public:
        /// Opens a change of the bounds of `control`.
        explicit TBoundsChange(TCustomControl& control);
        ~TBoundsChange();
        TBoundsChange(const TBoundsChange&) = delete;
        TBoundsChange& operator=(const TBoundsChange&) = delete;
        /// The change is complete; raises OnResize when this is the outermost one.
        void Done();

    private:
        TCustomControl& FControl;
        bool FOpen = true;
    };

    ///@{
    /// Qt's events, translated into the control's calls and events above.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    ///@}

private:
    friend class TWindowCanvas;
    void SurfaceChanged();
    QImage& Surface();

    std::string FName;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FLoading = false;
    bool FHandleAllocated = false;
    bool FApplyingGeometry = false;
    bool FGeometryDetached = false;
    double FRatioOverride = 0.0;
    bool FInPaintEvent = false;
    bool FSurfaceStale = true;
    bool FPressedLeft = false;
    // standard control events (control_events.cpp)
    bool AutoDragMove(QMouseEvent* event);
    void UpdateToolTip();
    bool DragOverAt(QDropEvent* event, TDragState state);
    int FWheelAccumulator = 0;
    int FBoundsDepth = 0;
    int FBoundsStartWidth = 0;
    int FBoundsStartHeight = 0;
    TDragMode FDragMode = dmManual;
    bool FAutoDragPending = false;
    QPoint FAutoDragStart;
    const QMimeData* FDragData = nullptr;
    QPointer<QObject> FDragSource;
    bool FDragAccepted = false;
    TPoint FDragPos;
    std::string FHint;
    bool FShowHint = false;
    QPointer<QMenu> FPopupMenu;
    TFont FFont;
    QImage FSurface;
    std::unique_ptr<TQtCanvas> FCanvas;
};

/// Replaces the modal information message. Tests install a handler that
/// records the text instead of blocking.
using TMessageHandler = std::function<void(const std::string& text)>;
/// A modal information message (one OK button), or the installed handler.
KURVO_EXPORT void ShowInfoMessage(const std::string& text);
/// Installs a handler; an empty one restores the message box. Returns the old one.
KURVO_EXPORT TMessageHandler SetInfoMessageHandler(TMessageHandler handler);

/// Application-wide cursor override. 0 = crDefault (no override), -3 = crCross,
/// 1 ... 4 the registered application cursors.
constexpr int crDefault = 0;
constexpr int crCross = -3;
KURVO_EXPORT void SetScreenCursor(int cursor);
KURVO_EXPORT int ScreenCursor();
/// Registers a 32 x 32 two-colour cursor image from the program's resources
/// (":/cursors/<name>.xbm" with its mask "<name>_mask.xbm") in slot `index`.
/// Returns false when the resource is missing.
KURVO_EXPORT bool RegisterCursor(int index, const std::string& resourceName, int hotX, int hotY);
KURVO_EXPORT bool CursorRegistered(int index);

}  // namespace kurvo
