// Layers: world ranges, the world <-> pixel transforms, coupled layers,
// range changes as one step, pan limits, zoom history and Isometric.
#include "chart/Qorn_kurvo.h"

#include "base/pixel_math.h"
#include "chart/kurvo_private.h"

#include <cmath>

namespace kurvo {

namespace {

constexpr double kLogFloor = 1e-100;
const char* const kLogError = "Logarithmic axis must not be negative.";

struct TAxisFactors {
    double k;
    double d;
};

// Maps lo to `first` and hi to `last` (pixel edges of the data area).
TAxisFactors LinearFactors(int extent, double first, double last, double lo, double hi)
{
    return {extent / (hi - lo), (first * hi - last * lo) / (hi - lo)};
}

}  // namespace

void TCustomKurvo::CalcTransforms()
{
    if (IsLoading()) return;
    const int w = DataWidth();
    const int h = DataHeight();
    const double right = Width() - d->FMarginRight - d->FShadowWidth;
    const double bottom = Height() - d->FMarginBottom - d->FShadowWidth;
    // A logarithmic axis with a bound <= 0 (stored while loading, or directly)
    // is reported once and made linear, so that the chart stays usable and
    // the next paint does not raise again.
    bool impossibleLog = false;
    auto logUsable = [&impossibleLog](TScaleProps& props) {
        if (!props.Logarithmic()) return false;
        if (props.RangeLow() > 0.0 && props.RangeHigh() > 0.0) return true;
        props.StoreLogarithmic(false);
        impossibleLog = true;
        return false;
    };
    for (int n = 0; n < LayerCount; ++n) {
        TLayerTransform& t = d->FTransform[n];
        TScaleProps& sx = *d->FScaleX[n];
        TScaleProps& sy = *d->FScaleY[n];
        if (w <= 0) {
            t.kx = 0.0;
            t.dx = Width() / 2.0;
        } else {
            double lo = sx.RangeLow();
            double hi = sx.RangeHigh();
            if (logUsable(sx)) {
                lo = std::log(lo);
                hi = std::log(hi);
            }
            const TAxisFactors f = LinearFactors(w, d->FMarginLeft, right, lo, hi);
            t.kx = f.k;
            t.dx = f.d;
        }
        if (h <= 0) {
            t.ky = 0.0;
            t.dy = Height() / 2.0;
        } else {
            double lo = sy.RangeLow();
            double hi = sy.RangeHigh();
            if (logUsable(sy)) {
                lo = std::log(lo);
                hi = std::log(hi);
            }
            // lo to the bottom edge, hi to the top edge
            const TAxisFactors f = LinearFactors(h, bottom, d->FMarginTop, lo, hi);
            t.ky = -f.k;
            t.dy = f.d;
        }
    }
    if (impossibleLog) throw EQornKurvoError(kLogError);
}

void TCustomKurvo::WorldToPixel(int layer, double x, double y, int& xPix, int& yPix) const
{
    const int n = ClampLayer(layer) - 1;
    const TLayerTransform& t = d->FTransform[n];
    const TScaleProps& sx = *d->FScaleX[n];
    const TScaleProps& sy = *d->FScaleY[n];
    double px;
    if (sx.Logarithmic())
        px = x <= kLogFloor ? (sx.RangeHigh() >= sx.RangeLow() ? 0.0 : Width()) : t.kx * std::log(x) + t.dx;
    else
        px = t.kx * x + t.dx;
    double py;
    if (sy.Logarithmic())
        py = y <= kLogFloor ? (sy.RangeHigh() >= sy.RangeLow() ? Height() : 0.0) : t.ky * std::log(y) + t.dy;
    else
        py = t.ky * y + t.dy;
    xPix = RoundPixel(px);
    yPix = RoundPixel(py);
}

TCanvasMap TCustomKurvoPrivate::CanvasMap(int layer) const
{
    static_assert(TCanvasMap::LogFloor == kLogFloor);
    const int n = ClampLayer(layer) - 1;
    const TLayerTransform& t = FTransform[n];
    const TScaleProps& sx = *FScaleX[n];
    const TScaleProps& sy = *FScaleY[n];
    TCanvasMap m;
    m.kx = t.kx;
    m.dx = t.dx;
    m.ky = t.ky;
    m.dy = t.dy;
    m.logX = sx.Logarithmic();
    m.logY = sy.Logarithmic();
    m.floorX = sx.RangeHigh() >= sx.RangeLow() ? 0.0 : q->Width();
    m.floorY = sy.RangeHigh() >= sy.RangeLow() ? q->Height() : 0.0;
    m.shiftX = std::int64_t{FRender.OffsetX} - FMarginLeft;
    m.shiftY = std::int64_t{FRender.OffsetY} - FMarginTop;
    return m;
}

void TCustomKurvo::PixelToWorld(int layer, int xPix, int yPix, double& x, double& y) const
{
    const int n = ClampLayer(layer) - 1;
    const TLayerTransform& t = d->FTransform[n];
    // A data area without width or height has factor 0: give its centre value.
    const double u = t.kx != 0.0 ? (xPix - t.dx) / t.kx : 0.0;
    const double v = t.ky != 0.0 ? (yPix - t.dy) / t.ky : 0.0;
    x = d->FScaleX[n]->Logarithmic() ? std::exp(u) : u;
    y = d->FScaleY[n]->Logarithmic() ? std::exp(v) : v;
}

// ---------------------------------------------------------- range changes

void TCustomKurvo::SetLayerRanges(int layer, bool pushHistory, double xLow, double yLow, double xHigh,
                                  double yHigh, bool limit)
{
    const int L = ClampLayer(layer);
    const bool suspended = d->FPaintSuspended;
    d->FPaintSuspended = true;
    // A controlled axis cannot be moved by itself.
    if (d->FJointLayers->XControlledBy(L) != L) {
        xLow = ScaleX(L)->RangeLow();
        xHigh = ScaleX(L)->RangeHigh();
    }
    if (d->FJointLayers->YControlledBy(L) != L) {
        yLow = ScaleY(L)->RangeLow();
        yHigh = ScaleY(L)->RangeHigh();
    }
    try {
        ApplyLayerRange(L, pushHistory, xLow, yLow, xHigh, yHigh, limit);
        for (int i = 1; i <= LayerCount; ++i) {
            if (i == L) continue;
            const int cx = d->FJointLayers->XControlledBy(i);
            const int cy = d->FJointLayers->YControlledBy(i);
            if (cx == L || cy == L)
                ApplyLayerRange(i, true, ScaleX(cx)->RangeLow(), ScaleY(cy)->RangeLow(), ScaleX(cx)->RangeHigh(),
                                ScaleY(cy)->RangeHigh(), false);
        }
    } catch (...) {
        d->FPaintSuspended = suspended;
        throw;
    }
    SetPaintSuspended(suspended);
}

bool TCustomKurvo::StoreRange(TScaleProps& props, double low, double high)
{
    if (!props.Logarithmic()) {
        props.StoreRangeLow(low);
        props.StoreRangeHigh(high);
        return true;
    }
    bool stored = false;
    if (!(low < kLogFloor)) {
        props.StoreRangeLow(low);
        stored = true;
    }
    if (!(high < kLogFloor)) {
        props.StoreRangeHigh(high);
        stored = true;
    }
    return stored;
}

void TCustomKurvo::ApplyLayerRange(int layer, bool pushHistory, double xLow, double yLow, double xHigh,
                                   double yHigh, bool limit)
{
    const int L = ClampLayer(layer);
    const TPanLimits& p = d->FPanLimits;
    if (limit && !(p.XMin == 0 && p.YMin == 0 && p.XMax == 0 && p.YMax == 0)) {
        const double wx = xHigh - xLow;
        const double wy = yHigh - yLow;
        const bool panX = d->FMouseAction == maPan || d->FMouseAction == maPanHoriz || d->FMouseAction == maPanGrid;
        const bool panY = d->FMouseAction == maPan || d->FMouseAction == maPanVert || d->FMouseAction == maPanGrid;
        auto limitAxis = [](double& lo, double& hi, double width, double mn, double mx, bool pan) {
            if (lo < mn) {
                lo = mn;
                if (pan) hi = lo + width;
            }
            if (lo > mx) {
                lo = mx;
                if (pan) hi = lo + width;
            }
            if (hi < mn) {
                hi = mn;
                if (pan) lo = hi - width;
            }
            if (hi > mx) {
                hi = mx;
                if (pan) lo = hi - width;
            }
        };
        limitAxis(xLow, xHigh, wx, p.XMin, p.XMax, panX);
        limitAxis(yLow, yHigh, wy, p.YMin, p.YMax, panY);
    }
    TScaleProps& sx = *ScaleX(L);
    TScaleProps& sy = *ScaleY(L);
    bool stored = false;
    // Non-finite bounds are refused like a too narrow range: a range must be numbers.
    if (std::isfinite(xLow) && std::isfinite(xHigh) && !(std::fabs(xLow - xHigh) < 0.99 * sx.MinRange()))
        stored = StoreRange(sx, xLow, xHigh);
    if (std::isfinite(yLow) && std::isfinite(yHigh) && !(std::fabs(yLow - yHigh) < 0.99 * sy.MinRange()))
        stored = StoreRange(sy, yLow, yHigh) || stored;
    SyncAxis(*AxisX(L), sx);
    SyncAxis(*AxisY(L), sy);
    if (pushHistory && stored) PushZoomHistory();
    CalcTransforms();
}

// ----------------------------------------------------------- zoom history

void TCustomKurvo::PushZoomHistory()
{
    if (IsLoading()) return;
    auto& slot = d->FZoomHistory[d->FZoomNext - 1];
    for (int n = 0; n < LayerCount; ++n)
        slot[n] = {d->FScaleX[n]->RangeLow(), d->FScaleY[n]->RangeHigh(), d->FScaleX[n]->RangeHigh(), d->FScaleY[n]->RangeLow()};
    d->FZoomStamps[d->FZoomNext - 1] = ++d->FZoomPushes;
    d->FZoomNext = d->FZoomNext == ZoomHistorySize ? 1 : d->FZoomNext + 1;
}

void TCustomKurvo::ClearZoomHistory()
{
    for (auto& slot : d->FZoomHistory) slot.fill(TZoomRanges{});
    d->FZoomStamps.fill(0);
    d->FZoomNext = 1;
    d->FInteraction->HistoryCleared();
    PushZoomHistory();
}

const TZoomRanges& TCustomKurvo::ZoomHistory(int slot, int layer) const
{
    const int s = slot < 1 ? 1 : (slot > ZoomHistorySize ? ZoomHistorySize : slot);
    return d->FZoomHistory[s - 1][ClampLayer(layer) - 1];
}

// -------------------------------------------------------------- isometric

void TCustomKurvo::IsometricAdjust(int layer)
{
    const int n = ClampLayer(layer) - 1;
    TScaleProps& sx = *d->FScaleX[n];
    TScaleProps& sy = *d->FScaleY[n];
    const double cy = (sy.RangeHigh() + sy.RangeLow()) / 2.0;
    const double half = (sx.RangeHigh() - sx.RangeLow()) * (DataHeight() + 1) / (DataWidth() + 1) *
                        static_cast<double>(d->FAspectY) / d->FAspectX / 2.0;
    // A logarithmic axis keeps a bound it cannot take.
    if (!sy.Logarithmic() || cy + half >= 1e-100) sy.SetRangeHigh(cy + half);
    if (!sy.Logarithmic() || cy - half >= 1e-100) sy.SetRangeLow(cy - half);
}

void TCustomKurvo::SetIsometric(bool value)
{
    d->FIsometric = value;
    if (!value) return;
    WithDeferredSync([this] {
        for (int layer = 1; layer <= LayerCount; ++layer) IsometricAdjust(layer);
    });
    PushZoomHistory();
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetJointLayers(const TJointLayers& value)
{
    if (&value != d->FJointLayers.get()) {
        TNotifyEvent own = d->FJointLayers->OnChange;
        d->FJointLayers->Assign(value);
        d->FJointLayers->SetOwner(this);
        d->FJointLayers->OnChange = std::move(own);
    }
    RepaintIfAutoRedraw();
}

// ------------------------------------------------------------ axis objects

void TCustomKurvo::SyncAxis(TScale& axis, const TScaleProps& props)
{
    axis.SetScaleType(props.ScaleType());
    const int pos = props.ScalePos();
    switch (props.ScaleType()) {
        case sctXB: axis.SetMarginBottom(pos + Height() - d->FMarginTop - 1); break;
        case sctXT: axis.SetMarginTop(pos + Height() - d->FMarginBottom - d->FShadowWidth); break;
        case sctYL: axis.SetMarginLeft(pos + Width() - d->FMarginRight - d->FShadowWidth); break;
        case sctYR: axis.SetMarginRight(pos + Width() - d->FMarginLeft - 1); break;
    }
    axis.SetRangeLow(props.RangeLow());
    axis.SetRangeHigh(props.RangeHigh());
    axis.SetVisible(props.Visible());
    axis.SetCaption(props.Caption());
    axis.SetCaptionPosX(props.CaptionPosX());
    axis.SetCaptionPosY(props.CaptionPosY());
    axis.SetCaptionAlignment(props.CaptionAlignment());
    axis.SetCaptionAnchor(props.CaptionAnchor());
    axis.SetColorScale(props.ColorScale());
    axis.SetDecPlaces(props.DecPlaces());
    axis.SetTrimTrailingZeros(props.TrimTrailingZeros());
    axis.SetLogarithmic(props.Logarithmic());
    axis.SetLabelType(props.LabelType());
    axis.SetShortTicks(props.ShortTicks());
    axis.SetMinTicks(props.MinTicks());
    axis.SetScaleInscript(props.ScaleInscript());
    axis.SetUserTickText(props.UserTickText());
    axis.SetFont(props.Font());
    axis.Font().SetColor(props.Font().Color());
    TDTLabel& df = *axis.DateFormat();
    const TDTLabel& pf = *props.DateFormat();
    df.SetTimeFormat(pf.TimeFormat());
    df.SetDateSeparator(pf.DateSeparator());
    df.SetTimeSeparator(pf.TimeSeparator());
    df.SetYearLength(pf.YearLength());
    df.SetMonthName(pf.MonthName());
    df.SetDateForTime(pf.DateForTime());
    df.SetDateOrder(pf.DateOrder());
}

void TCustomKurvo::SyncAllAxes()
{
    if (d->FSyncDeferred > 0) {
        d->FSyncPending = true;
        return;
    }
    const bool suspended = d->FPaintSuspended;
    d->FPaintSuspended = true;
    try {
        for (int n = 0; n < LayerCount; ++n) {
            SyncAxis(*d->FAxisX[n], *d->FScaleX[n]);
            SyncAxis(*d->FAxisY[n], *d->FScaleY[n]);
        }
        for (int layer = 1; layer <= LayerCount; ++layer)
            SetLayerRanges(layer, false, ScaleX(layer)->RangeLow(), ScaleY(layer)->RangeLow(),
                           ScaleX(layer)->RangeHigh(), ScaleY(layer)->RangeHigh(), false);
    } catch (...) {
        d->FPaintSuspended = suspended;
        throw;
    }
    d->FPaintSuspended = suspended;
    Paint();
}

void TCustomKurvo::WithDeferredSync(const std::function<void()>& f)
{
    ++d->FSyncDeferred;
    try {
        f();
    } catch (...) {
        --d->FSyncDeferred;
        throw;
    }
    if (--d->FSyncDeferred == 0 && d->FSyncPending) {
        d->FSyncPending = false;
        SyncAllAxes();
    }
}

void TCustomKurvo::SetScaleX(int layer, const TScalePropsHoriz& value)
{
    TScalePropsHoriz& own = *ScaleX(layer);
    if (&value == &own) return;
    own.Assign(value);
    InstallAxisCallbacks(ClampLayer(layer));
    if (IsDesigning()) Paint();
}

void TCustomKurvo::SetScaleY(int layer, const TScalePropsVert& value)
{
    TScalePropsVert& own = *ScaleY(layer);
    if (&value == &own) return;
    own.Assign(value);
    InstallAxisCallbacks(ClampLayer(layer));
    if (IsDesigning()) Paint();
}

}  // namespace kurvo
