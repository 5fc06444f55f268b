// Mouse actions on the data area, axis-band drags and pointer tracking.
//
// A press only starts the window figures; pans, zoom drags and axis drags
// take their anchor at the first pointer move with the left button held.
// While a figure is drawn it lives on the window canvas in XOR, so a move
// costs two small figures instead of a repaint; the next Paint covers it.
#include "chart/Qorn_kurvo.h"
#include "chart/interaction.h"
#include "chart/kurvo_private.h"
#include "chart/raise_event.h"

#include <cmath>
#include <utility>

namespace kurvo {

namespace {

// Start depths of the axis bands (horizontal, vertical) and the depth of a
// drag in progress.
constexpr int kStartDepthHoriz = 40;
constexpr int kStartDepthVert = 50;
constexpr int kContinueDepth = 50;

bool IsPanAction(TMouseActMode a) { return a == maPan || a == maPanHoriz || a == maPanVert || a == maPanGrid; }

bool IsWindowAction(TMouseActMode a)
{
    return a == maZoomWind || a == maZoomWindPos || a == maRubberBand || a == maSelectRect;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Pan-grid snapping; Int of the classic runtime truncates toward zero.
double Snap(double v, double step, double offset) { return step > 0.0 ? std::trunc(v / step) * step + offset : v; }

// Holds the chart's painting while several ranges change. Release hands back
// the earlier value for SetPaintSuspended; without it (an exception) the
// flag is restored without painting.
class TPaintHold {
public:
    explicit TPaintHold(bool& flag) : FFlag(flag), FOld(flag) { FFlag = true; }
    ~TPaintHold()
    {
        if (FArmed) FFlag = FOld;
    }
    TPaintHold(const TPaintHold&) = delete;
    TPaintHold& operator=(const TPaintHold&) = delete;
    bool Release()
    {
        FArmed = false;
        return FOld;
    }

private:
    bool& FFlag;
    bool FOld;
    bool FArmed = true;
};

// Sets a flag for the lifetime of the scope, also when leaving by an exception.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

// Whether (x, y) lies in the band beside the data area that belongs to an
// axis object: an open interval `depth` pixels deep, starting ScalePos
// pixels beyond the data-area edge on the axis's side.
bool InAxisBand(const TCustomKurvo& chart, const TScaleProps& axis, int depth, int x, int y)
{
    const int p = axis.ScalePos();
    switch (axis.ScaleType()) {
        case sctXT: {
            const int edge = chart.Height() - chart.MarginBottom() + p;
            return edge < y && y < edge + depth;
        }
        case sctXB: {
            const int edge = chart.MarginTop() - p;
            return edge - depth < y && y < edge;
        }
        case sctYL: {
            const int edge = chart.Width() - chart.MarginRight() + p;
            return edge < x && x < edge + depth;
        }
        case sctYR: {
            const int edge = chart.MarginLeft() - p;
            return edge - depth < x && x < edge;
        }
    }
    return false;
}

// The pointer lies across the data area in the direction of the axis.
bool AcrossDataArea(const TCustomKurvo& chart, bool horizontal, int x, int y)
{
    if (horizontal) return chart.MarginLeft() < x && x < chart.Width() - chart.MarginRight();
    return chart.MarginTop() < y && y < chart.Height() - chart.MarginBottom();
}

void ToggleAxisAction(TScaleProps& axis)
{
    if (axis.MouseAction() == maPan)
        axis.SetMouseAction(maZoom);
    else if (axis.MouseAction() == maZoom)
        axis.SetMouseAction(maPan);
}

}  // namespace

// ---------------------------------------------------------------- handlers

void TCustomKurvo::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // The press that completes a double click only clears the flag.
    if (d->FDoubleClick) {
        d->FDoubleClick = false;
        return;
    }
    d->FInteraction->GestureStarts();
    TCustomControl::MouseDown(button, shift, x, y);
    if (IsWindowAction(d->FMouseAction) && d->FZoomState == zsNormal && button == mbLeft && InDataArea(x, y)) {
        d->FZoomState = zsDrawWin;
        d->FWinX0 = d->FWinX1 = x;
        d->FWinY0 = d->FWinY1 = y;
    }
}

void TCustomKurvo::MouseMove(TShiftState shift, int x, int y)
{
    d->FLastX = x;
    d->FLastY = y;
    TCustomControl::MouseMove(shift, x, y);
    AxisBandDrag(shift, x, y);
    switch (d->FMouseAction) {
        case maPan:
        case maPanHoriz:
        case maPanVert:
        case maPanGrid: PanMove(shift, x, y); break;
        case maZoomDrag: ZoomDragMove(shift, x, y); break;
        case maZoomWind:
        case maZoomWindPos:
        case maRubberBand:
        case maSelectRect:
            if (d->FZoomState == zsDrawWin) WindowFigureMove(x, y);
            break;
        case maDrawMTrace: MouseTraceMove(shift, x, y); break;
        case maDragCrossH: CrossHairDrag(shift, x, y); break;
        case maDragLabel: TextLabelDrag(shift, x, y); break;
        default: break;
    }
    UpdateCursor(x, y);
}

void TCustomKurvo::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    // A double click whose press did not arrive: its release clears the flag.
    if (d->FDoubleClick) {
        d->FDoubleClick = false;
        return;
    }
    d->FDragging = false;
    if (d->FMouseAction == maDrawMTrace && !d->FMouseTrace.empty()) d->FMouseTrace.back().Flags |= 1;
    if (IsWindowAction(d->FMouseAction) && d->FZoomState == zsDrawWin) WindowRelease(button);
    if (IsPanAction(d->FMouseAction) || d->FMouseAction == maZoomDrag) PushZoomHistory();
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomKurvo::DblClick()
{
    d->FDoubleClick = true;
    const int hit = AxisHitTest(d->FLastX, d->FLastY);
    if (hit > 0)
        ToggleAxisAction(*ScaleY(hit));
    else if (hit < 0)
        ToggleAxisAction(*ScaleX(-hit));
    TCustomControl::DblClick();
}

// ------------------------------------------------------------ axis bands

int TCustomKurvo::AxisHitTest(int x, int y) const
{
    for (int layer = 1; layer <= LayerCount; ++layer) {
        const TScaleProps& axis = *ScaleY(layer);
        if (axis.Visible() && AcrossDataArea(*this, false, x, y) && InAxisBand(*this, axis, kStartDepthVert, x, y))
            return layer;
    }
    for (int layer = 1; layer <= LayerCount; ++layer) {
        const TScaleProps& axis = *ScaleX(layer);
        if (axis.Visible() && AcrossDataArea(*this, true, x, y) && InAxisBand(*this, axis, kStartDepthHoriz, x, y))
            return -layer;
    }
    return 0;
}

void TCustomKurvo::AnchorAllLayers(int x, int y)
{
    for (int n = 0; n < LayerCount; ++n) {
        TDragAnchor& a = d->FAnchors[n];
        a.AnchorX = x;
        a.AnchorY = y;
        a.SavedXLow = d->FScaleX[n]->RangeLow();
        a.SavedXHigh = d->FScaleX[n]->RangeHigh();
        a.SavedYLow = d->FScaleY[n]->RangeLow();
        a.SavedYHigh = d->FScaleY[n]->RangeHigh();
    }
}

void TCustomKurvo::AxisBandDrag(TShiftState shift, int x, int y)
{
    if (!shift.Contains(ssLeft)) {
        d->FDragging = false;
        return;
    }
    if (!d->FDragging) {
        // Only anchors; the axis moves from the next pointer move on.
        if (AxisHitTest(x, y) != 0) {
            AnchorAllLayers(x, y);
            d->FDragging = true;
        }
        return;
    }
    // Every layer takes part here, whatever its mouse-layer flag says.
    bool changed = false;
    for (int layer = 1; layer <= LayerCount; ++layer) {
        const TDragAnchor& a = d->FAnchors[layer - 1];
        TScaleProps& ax = *ScaleX(layer);
        TScaleProps& ay = *ScaleY(layer);
        double lo = 0.0;
        double hi = 0.0;
        if (ax.MouseAction() != maNone && InAxisBand(*this, ax, kContinueDepth, x, y) &&
            AcrossDataArea(*this, true, x, y) && d->FZoomState != zsDrawWin &&
            AxisDragRange(x, y, a.AnchorX, a.AnchorY, Width(), Height(), d->FMarginLeft, d->FMarginRight, d->FMarginTop,
                          d->FMarginBottom, a.SavedXLow, a.SavedXHigh, ax.MouseAction(), ax.ScaleType(),
                          ax.Logarithmic(), ax.RangeLow(), ax.RangeHigh(), lo, hi)) {
            SetLayerRanges(layer, false, lo, ay.RangeLow(), hi, ay.RangeHigh(), true);
            changed = true;
        }
        if (ay.MouseAction() != maNone && InAxisBand(*this, ay, kContinueDepth, x, y) &&
            AcrossDataArea(*this, false, x, y) && d->FZoomState != zsDrawWin &&
            AxisDragRange(x, y, a.AnchorX, a.AnchorY, Width(), Height(), d->FMarginLeft, d->FMarginRight, d->FMarginTop,
                          d->FMarginBottom, a.SavedYLow, a.SavedYHigh, ay.MouseAction(), ay.ScaleType(),
                          ay.Logarithmic(), ay.RangeLow(), ay.RangeHigh(), lo, hi)) {
            SetLayerRanges(layer, false, ax.RangeLow(), lo, ax.RangeHigh(), hi, true);
            changed = true;
        }
    }
    if (changed) RaiseEvent(OnZoomPan, std::tuple(this), *this, &TCustomKurvo::viewChanged);
}

// ------------------------------------------------------ pans, zoom drag

// The common start of the pans and the zoom drag: true when this move
// changes ranges.
bool TCustomKurvo::DragStep(TShiftState shift, int x, int y)
{
    if (!shift.Contains(ssLeft)) {
        d->FDragging = false;
        return false;
    }
    // The first move with the button held, not the press, fixes the anchor.
    if (!d->FDragging) {
        AnchorAllLayers(x, y);
        d->FDragging = true;
        return false;
    }
    // Outside the data area the view freezes; the anchor stays.
    return InDataArea(x, y);
}

void TCustomKurvo::PanMove(TShiftState shift, int x, int y)
{
    if (!DragStep(shift, x, y)) return;

    const int w = DataWidth();
    const int h = DataHeight();
    TPaintHold hold(d->FPaintSuspended);
    for (int layer = 1; layer <= LayerCount; ++layer) {
        if (!d->FMouseLayer[layer - 1]) continue;
        const TDragAnchor& a = d->FAnchors[layer - 1];
        const TScaleProps& sx = *ScaleX(layer);
        const TScaleProps& sy = *ScaleY(layer);
        const double xLow = sx.RangeLow();
        const double xHigh = sx.RangeHigh();
        const double yLow = sy.RangeLow();
        const double yHigh = sy.RangeHigh();
        // Fractions of the data area the pointer moved (0 without an extent).
        const double fracX = w > 0 ? static_cast<double>(x - a.AnchorX) / w : 0.0;
        const double fracY = h > 0 ? static_cast<double>(y - a.AnchorY) / h : 0.0;

        double newXLow = xLow;
        double newXHigh = xHigh;
        double newYLow = yLow;
        double newYHigh = yHigh;
        if (d->FMouseAction == maPanGrid) {
            // Snapping keeps the spans of the anchor; logarithmic layers stay.
            if (sx.Logarithmic() || sy.Logarithmic()) continue;
            const double dX = (xHigh - xLow) * fracX;
            const double dY = (yHigh - yLow) * fracY;
            newXLow = Snap(a.SavedXLow - dX, d->FPanGridDx, d->FPanGridOffsX);
            newXHigh = a.SavedXHigh - (a.SavedXLow - newXLow);
            newYLow = Snap(a.SavedYLow + dY, d->FPanGridDy, d->FPanGridOffsY);
            newYHigh = a.SavedYHigh - (a.SavedYLow - newYLow);
        } else {
            if (d->FMouseAction != maPanVert) {
                if (sx.Logarithmic()) {
                    const double f = std::exp(std::log(xHigh / xLow) * -fracX);
                    newXLow = a.SavedXLow * f;
                    newXHigh = a.SavedXHigh * f;
                } else {
                    const double dX = (xHigh - xLow) * fracX;
                    newXLow = a.SavedXLow - dX;
                    newXHigh = a.SavedXHigh - dX;
                }
            }
            if (d->FMouseAction != maPanHoriz) {
                // World Y grows upward, pixel y downward: dragging down moves the range up.
                if (sy.Logarithmic()) {
                    const double f = std::exp(std::log(yHigh / yLow) * fracY);
                    newYLow = a.SavedYLow * f;
                    newYHigh = a.SavedYHigh * f;
                } else {
                    const double dY = (yHigh - yLow) * fracY;
                    newYLow = a.SavedYLow + dY;
                    newYHigh = a.SavedYHigh + dY;
                }
            }
        }
        SetLayerRanges(layer, false, newXLow, newYLow, newXHigh, newYHigh, true);
    }
    SetPaintSuspended(hold.Release());
    RaiseEvent(OnZoomPan, std::tuple(this), *this, &TCustomKurvo::viewChanged);
}

void TCustomKurvo::ZoomDragMove(TShiftState shift, int x, int y)
{
    if (!DragStep(shift, x, y)) return;

    TPaintHold hold(d->FPaintSuspended);
    for (int layer = 1; layer <= LayerCount; ++layer) {
        if (!d->FMouseLayer[layer - 1]) continue;
        const TDragAnchor& a = d->FAnchors[layer - 1];
        // Relative to the whole control, not the data area; linear also on a logarithmic axis.
        const double fX = Width() > 0 ? 1.0 - static_cast<double>(x - a.AnchorX) / Width() : 1.0;
        const double fY =
            d->FIsometric ? fX : (Height() > 0 ? 1.0 + static_cast<double>(y - a.AnchorY) / Height() : 1.0);
        const double cX = (a.SavedXHigh + a.SavedXLow) / 2.0;
        const double hX = (a.SavedXHigh - a.SavedXLow) * fX / 2.0;
        const double cY = (a.SavedYHigh + a.SavedYLow) / 2.0;
        const double hY = (a.SavedYHigh - a.SavedYLow) * fY / 2.0;
        SetLayerRanges(layer, false, cX - hX, cY - hY, cX + hX, cY + hY, true);
    }
    SetPaintSuspended(hold.Release());
    RaiseEvent(OnZoomPan, std::tuple(this), *this, &TCustomKurvo::viewChanged);
}

// ------------------------------------------------------- window figures

void TCustomKurvo::DrawWindowFigure(int x1, int y1)
{
    TCanvas& canvas = Canvas();
    canvas.Pen().SetMode(pmXor);
    canvas.Pen().SetColor(0xFFFFFF);
    canvas.Brush().SetStyle(bsClear);
    if (d->FMouseAction == maRubberBand) {
        canvas.MoveTo(d->FWinX0, d->FWinY0);
        canvas.LineTo(x1, y1);
    } else {
        canvas.Rectangle(d->FWinX0, d->FWinY0, x1, y1);
    }
    canvas.Pen().SetMode(pmCopy);
    canvas.Brush().SetStyle(bsSolid);
}

void TCustomKurvo::WindowFigureMove(int x, int y)
{
    x = Clamp(x, d->FMarginLeft, Width() - d->FMarginRight - d->FShadowWidth);
    if (d->FIsometric && (d->FMouseAction == maZoomWind || d->FMouseAction == maZoomWindPos)) {
        const long long dx = x - d->FWinX0;
        const long long dy = y - d->FWinY0;
        y = static_cast<int>(dx * dy > 0 ? d->FWinY0 + dx : d->FWinY0 - dx);
    }
    y = Clamp(y, d->FMarginTop, Height() - d->FMarginBottom - d->FShadowWidth);
    // XOR: drawing the old figure again erases it.
    DrawWindowFigure(d->FWinX1, d->FWinY1);
    DrawWindowFigure(x, y);
    d->FWinX1 = x;
    d->FWinY1 = y;
}

bool TCustomKurvo::CancelWindowFigure()
{
    if (d->FZoomState != zsDrawWin) return false;
    d->FZoomState = zsNormal;
    DrawWindowFigure(d->FWinX1, d->FWinY1);
    return true;
}

void TCustomKurvo::WindowRelease(TMouseButton button)
{
    d->FZoomState = zsNormal;
    if (button != mbLeft) {
        DrawWindowFigure(d->FWinX1, d->FWinY1);
        return;
    }
    if (d->FWinX0 == d->FWinX1 || d->FWinY0 == d->FWinY1) return;

    TPaintHold hold(d->FPaintSuspended);
    const bool followAxes = d->FMouseAction == maZoomWindPos || d->FMouseAction == maSelectRect;
    for (int layer = 1; layer <= LayerCount; ++layer) {
        if (!d->FMouseLayer[layer - 1]) continue;
        double wx0, wy0, wx1, wy1;
        PixelToWorld(layer, d->FWinX0, d->FWinY0, wx0, wy0);
        PixelToWorld(layer, d->FWinX1, d->FWinY1, wx1, wy1);
        if (followAxes) {
            // Afterwards the corners run in the direction of each axis.
            const TScaleProps& sx = *ScaleX(layer);
            const TScaleProps& sy = *ScaleY(layer);
            if ((wx1 < wx0 && sx.RangeLow() < sx.RangeHigh()) || (wx1 > wx0 && sx.RangeLow() > sx.RangeHigh()))
                std::swap(wx0, wx1);
            if ((wy1 < wy0 && sy.RangeLow() < sy.RangeHigh()) || (wy1 > wy0 && sy.RangeLow() > sy.RangeHigh()))
                std::swap(wy0, wy1);
        }
        switch (d->FMouseAction) {
            case maRubberBand:
                RaiseEvent(OnRubberBand, std::tuple(this, layer, wx0, wy0, wx1, wy1), *this,
                           &TCustomKurvo::rubberBandDrawn, layer, QPointF(wx0, wy0), QPointF(wx1, wy1));
                break;
            case maSelectRect:
                RaiseEvent(OnSelectRect, std::tuple(this, layer, wx0, wy0, wx1, wy1), *this,
                           &TCustomKurvo::rectangleSelected, layer, QPointF(wx0, wy0), QPointF(wx1, wy1));
                break;
            default:
                // maZoomWind keeps the drag order: a window dragged downwards reverses Y.
                SetLayerRanges(layer, true, wx0, wy0, wx1, wy1, false);
                break;
        }
    }
    RaiseEvent(OnZoomPan, std::tuple(this), *this, &TCustomKurvo::viewChanged);
    // Repaints (when painting was not held before), which also removes the figure.
    SetPaintSuspended(hold.Release());
}

// ----------------------------------------------------------- mouse trace

void TCustomKurvo::MouseTraceMove(TShiftState shift, int x, int y)
{
    if (d->FZoomState != zsNormal || !shift.Contains(ssLeft)) return;
    x = Clamp(x, d->FMarginLeft, Width() - d->FMarginRight - d->FShadowWidth);
    y = Clamp(y, d->FMarginTop, Height() - d->FMarginBottom - d->FShadowWidth);
    if (d->FMouseTrace.size() >= static_cast<std::size_t>(MouseTraceCapacity)) return;

    TMouseTracePoint point;
    PixelToWorld(d->FCurrentLayer, x, y, point.X, point.Y);
    point.Colour = d->FMouseTraceColor;
    point.Flags = d->FMouseTraceInvert ? 2 : 0;
    d->FMouseTrace.push_back(point);

    if (d->FMouseTrace.size() < 2) return;
    const TMouseTracePoint& prev = d->FMouseTrace[d->FMouseTrace.size() - 2];
    if (prev.Flags & 1) return;  // the previous stroke ended there
    int px, py;
    WorldToPixel(d->FCurrentLayer, prev.X, prev.Y, px, py);
    TCanvas& canvas = Canvas();
    canvas.Pen().SetColor(d->FMouseTraceColor);
    canvas.Pen().SetMode(d->FMouseTraceInvert ? pmXor : pmCopy);
    canvas.MoveTo(px, py);
    canvas.LineTo(x, y);
    canvas.Pen().SetMode(pmCopy);
}

// ---------------------------------------------------------------- cursor

void TCustomKurvo::UpdateCursor(int x, int y)
{
    if (d->FMouseCursorFixed || !InDataArea(x, y)) {
        SetScreenCursor(crDefault);
        return;
    }
    switch (d->FMouseAction) {
        case maNone: SetScreenCursor(crCross); break;
        case maPan:
        case maPanHoriz:
        case maPanVert:
        case maPanGrid: SetScreenCursor(1); break;  // CURHAND
        case maZoomWind: SetScreenCursor(2); break;  // CURZOOMW
        case maZoomDrag: SetScreenCursor(3); break;  // CURZOOMD
        case maZoomWindPos: SetScreenCursor(4); break;  // CURZOOMP
        case maRubberBand:
        case maDragCrossH:
        case maDragLabel:
        case maSelectRect: SetScreenCursor(crDefault); break;
        default: break;  // the other actions leave the cursor as it is
    }
}

// ------------------------------------------------------ pointer tracking

void TCustomKurvo::MouseEnter()
{
    TCustomControl::MouseEnter();
    RaiseEvent(OnMouseEnter, std::tuple(this), *this, &TCustomKurvo::mouseEntered);
}

void TCustomKurvo::MouseLeave()
{
    TCustomControl::MouseLeave();
    RaiseEvent(OnMouseLeave, std::tuple(this), *this, &TCustomKurvo::mouseLeft);
}

void TCustomKurvo::WMMouseMove(TShiftState shift, int x, int y)
{
    // A pointer move that arrives while one is being handled (a handler
    // that processes pending events) is dropped whole.
    if (d->FInMouseMove) return;
    TFlagScope guard(d->FInMouseMove);
    TCustomControl::WMMouseMove(shift, x, y);
    // After the actions of this move: the world point under the pointer in the new view.
    double wx, wy;
    PixelToWorld(d->FCurrentLayer, x, y, wx, wy);
    const bool inChart = InDataArea(x, y);
    RaiseEvent(OnMouseMoveInChart, std::tuple(this, inChart, shift, wx, wy), *this, &TCustomKurvo::pointerMoved,
               QPointF(wx, wy), inChart);
}

}  // namespace kurvo
