// Dragging on an axis: the range arithmetic and the stand-alone handlers.
#include "scale/Qorn_Scale.h"
#include "scale/scale_private.h"

#include <cmath>

namespace kurvo {

namespace {

// a / b, refused (false) when b is 0; keeps every quotient of a drag finite.
bool Quotient(double a, double b, double& result)
{
    if (b == 0.0) return false;
    result = a / b;
    return true;
}

}  // namespace

bool AxisDragRange(int x, int y, int anchorX, int anchorY, int width, int height, int marginLeft, int marginRight,
                   int marginTop, int marginBottom, double savedLow, double savedHigh, TMouseActMode action,
                   TScaleType scaleType, bool logarithmic, double rangeLow, double rangeHigh, double& newLow,
                   double& newHigh)
{
    if (action != maPan && action != maZoom && action != maZoomDrag) return false;
    const bool horizontal = IsHorizontal(scaleType);
    const double wa = width - marginLeft - marginRight;
    const double ha = height - marginTop - marginBottom;
    const double span = savedHigh - savedLow;
    double lo = 0.0;
    double hi = 0.0;

    if (action == maPan) {
        // A shift that keeps the span; the value under the anchor follows the pointer.
        double frac;
        if (horizontal ? !Quotient(anchorX - x, wa, frac) : !Quotient(y - anchorY, ha, frac)) return false;
        if (logarithmic) {
            const double f = std::exp(std::log(rangeHigh / rangeLow) * frac);
            lo = savedLow * f;
            hi = savedHigh * f;
        } else {
            const double s = (rangeHigh - rangeLow) * frac;
            lo = savedLow + s;
            hi = savedHigh + s;
        }
    } else {
        const double g = std::sqrt(savedLow * savedHigh);
        const double lnR = std::log(savedHigh / g);
        if (action == maZoom) {
            // The end farther from the grab point stays; which one depends on
            // the half of the axis where the drag started.
            const bool fixHigh = horizontal ? anchorX < marginLeft + wa / 2.0 : anchorY > marginTop + ha / 2.0;
            // Linear: distances of pointer and anchor from the fixed end.
            // Logarithmic: the move in axis lengths, towards the fixed end positive.
            double pointerDist, anchorDist, move, length;
            if (horizontal) {
                length = wa;
                if (fixHigh) {
                    pointerDist = width - x - marginRight;
                    anchorDist = width - anchorX - marginRight;
                    move = x - anchorX;
                } else {
                    pointerDist = x - marginLeft;
                    anchorDist = anchorX - marginLeft;
                    move = anchorX - x;
                }
            } else {
                length = ha;
                if (fixHigh) {
                    pointerDist = y - marginTop;
                    anchorDist = anchorY - marginTop;
                    move = anchorY - y;
                } else {
                    pointerDist = height - y - marginBottom;
                    anchorDist = height - anchorY - marginBottom;
                    move = y - anchorY;
                }
            }
            if (logarithmic) {
                double frac;
                if (!Quotient(move, length, frac)) return false;
                const double k = std::exp(lnR * (frac + 1.0));
                lo = fixHigh ? g / k : savedLow;
                hi = fixHigh ? savedHigh : g * k;
            } else {
                double ratio, delta;
                if (!Quotient(pointerDist, anchorDist, ratio) || !Quotient(span, ratio, delta)) return false;
                lo = fixHigh ? savedHigh - delta : savedLow;
                hi = fixHigh ? savedHigh : savedLow + delta;
            }
        } else {
            // maZoomDrag: about the centre, relative to the whole control.
            double frac;
            if (horizontal ? !Quotient(anchorX - x, width, frac) : !Quotient(y - anchorY, height, frac))
                return false;
            const double f = frac + 1.0;
            if (logarithmic) {
                const double k = std::exp(lnR * f);
                lo = g / k;
                hi = g * k;
            } else {
                const double c = (savedLow + savedHigh) / 2.0;
                lo = c - span * f / 2.0;
                hi = c + span * f / 2.0;
            }
        }
    }
    // A range must be numbers, positive ones on a logarithmic axis (whose
    // bounds <= 0 give none).
    if (!std::isfinite(lo) || !std::isfinite(hi)) return false;
    if (logarithmic && !(lo > 0.0 && hi > 0.0)) return false;
    newLow = lo;
    newHigh = hi;
    return true;
}

void TScale::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (!shift.Contains(ssLeft)) return;
    const bool overAxis = IsHorizontal(d->FScaleType)
                              ? d->FMarginLeft < x && x < Width() - d->FMarginRight && 0 < y && y < Height()
                              : 0 < x && x < Width() && d->FMarginTop < y && y < Height() - d->FMarginBottom;
    if (!overAxis) return;
    // The first qualifying move, not the press, fixes the anchor.
    if (!d->FDragging) {
        d->FAnchorX = x;
        d->FAnchorY = y;
        d->FSavedLow = d->FRangeLow;
        d->FSavedHigh = d->FRangeHigh;
    } else {
        double low, high;
        if (AxisDragRange(x, y, d->FAnchorX, d->FAnchorY, Width(), Height(), d->FMarginLeft, d->FMarginRight, d->FMarginTop,
                          d->FMarginBottom, d->FSavedLow, d->FSavedHigh, d->FMouseAction, d->FScaleType, d->FLogarithmic, d->FRangeLow,
                          d->FRangeHigh, low, high)) {
            const bool suspended = d->FPaintSuspended;
            d->FPaintSuspended = true;
            SetRangeDirect(low, high);
            UpdateTransform();
            Redraw();
            SetPaintSuspended(suspended);
            if (OnZoomPan) OnZoomPan(this);
        }
    }
    d->FDragging = true;
}

void TScale::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    d->FDragging = false;
    TCustomControl::MouseUp(button, shift, x, y);
}

void TScale::DblClick()
{
    if (d->FMouseAction == maPan)
        d->FMouseAction = maZoom;
    else if (d->FMouseAction == maZoom)
        d->FMouseAction = maPan;
    TCustomControl::DblClick();
}

}  // namespace kurvo
