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

#include "../canvas/Qorn_canvas.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

namespace kurvo {

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

class TShiftState {
public:
    constexpr TShiftState() = default;
    constexpr TShiftState(std::initializer_list<TShiftFlag> flags)
    {
        for (TShiftFlag f : flags) FBits |= Bit(f);
    }
    constexpr bool Contains(TShiftFlag f) const { return (FBits & Bit(f)) != 0; }
    constexpr void Include(TShiftFlag f) { FBits |= Bit(f); }
    friend constexpr bool operator==(const TShiftState&, const TShiftState&) = default;

private:
    static constexpr std::uint8_t Bit(TShiftFlag f) { return static_cast<std::uint8_t>(1u << f); }
    std::uint8_t FBits = 0;
};

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

class TQtCanvas;

class TCustomControl : public QWidget, public TPersistent {
public:
    explicit TCustomControl(QWidget* parentWidget = nullptr);
    ~TCustomControl() override;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& value) { FName = value; }

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    // Stores the bounds (negative sizes become 0) and moves the widget there.
    virtual void SetBounds(int left, int top, int width, int height);
    // While set, SetBounds stores the bounds without moving or resizing the
    // widget: the control is laid out for an off-screen picture, and Qt and
    // the parent's layout never see the passing size.
    bool GeometryDetached() const { return FGeometryDetached; }
    void SetGeometryDetached(bool value) { FGeometryDetached = value; }

    // Device pixels per pixel of the control's pictures: the widget's own
    // ratio (its screen's), unless SetDevicePixelRatio chose one. A value
    // of 0 (or anything not positive and finite) follows the widget again.
    double DevicePixelRatio() const;
    void SetDevicePixelRatio(double value);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);

    // The control's font; a change repaints nothing by itself.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value) { FFont = value; }

    // The control's own canvas: the window surface.
    TCanvas& Canvas();
    // What the window shows (the surface), for tests and snapshots.
    QImage WindowImage();

    // Draws the control on its own canvas. The base draws nothing.
    virtual void Paint() {}
    // Asks the platform to repaint the control later.
    void Invalidate();
    // Marks the picture out of date without asking for a paint event: the
    // next one (update(), repaint(), grab(), an exposure) paints again.
    void MarkStale() { FSurfaceStale = true; }

    // Loading from a stored description: setters run while IsLoading() is
    // true; Loaded ends it.
    bool IsLoading() const { return FLoading; }
    virtual void BeginLoading() { FLoading = true; }
    virtual void Loaded() { FLoading = false; }
    bool IsDesigning() const { return false; }

    // The window-creation step; runs once, when the control is first shown
    // or when HandleNeeded is called.
    bool HandleAllocated() const { return FHandleAllocated; }
    void HandleNeeded();

    // Pointer notifications in client pixels; each raises its event.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseEnter();
    virtual void MouseLeave();
    // The pointer-move message; the base hands it to MouseMove.
    virtual void WMMouseMove(TShiftState shift, int x, int y) { MouseMove(shift, x, y); }
    // Which keys the control handles itself (1 arrows, 2 Tab); 0 for none.
    virtual int WantedDialogCodes() const { return 0; }

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    std::string ClassName() const override { return "TCustomControl"; }

protected:
    virtual void CreateWnd() {}

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
    TFont FFont;
    QImage FSurface;
    std::unique_ptr<TQtCanvas> FCanvas;
};

// Replaceable modal information message (one OK button). Tests install a
// handler that records the text instead of blocking.
using TMessageHandler = std::function<void(const std::string& text)>;
void ShowInfoMessage(const std::string& text);
// Installs a handler; an empty one restores the message box. Returns the old one.
TMessageHandler SetInfoMessageHandler(TMessageHandler handler);

// Application-wide cursor override. 0 = crDefault (no override), -3 = crCross,
// 1 ... 4 the registered application cursors.
constexpr int crDefault = 0;
constexpr int crCross = -3;
void SetScreenCursor(int cursor);
int ScreenCursor();
// Registers a 32 x 32 two-colour cursor image from the program's resources
// (":/cursors/<name>.xbm" with its mask "<name>_mask.xbm") in slot `index`.
// Returns false when the resource is missing.
bool RegisterCursor(int index, const std::string& resourceName, int hotX, int hotY);
bool CursorRegistered(int index);

}  // namespace kurvo
