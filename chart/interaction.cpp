// Wheel zoom, keyboard actions and the zoom-history walk (see interaction.h).
#include "chart/interaction.h"

#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "chart/raise_event.h"

#include <QKeyEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace kurvo {

namespace {

// One notch forward shows 1 / 1.25 of the span, one back 1.25 times it.
constexpr double kWheelStep = 1.25;
// More than ten notches in one event is a forged delta, not a hand.
constexpr int kMaxWheelDelta = 10 * 120;
// Arrow keys move the view by this part of the range.
constexpr double kPanPart = 0.1;
// Bounds beyond this size, or spans below this part of the bounds, no
// longer give a usable transform; the wheel and the arrows stop there.
constexpr double kMaxBound = 1e200;
constexpr double kMinRelativeSpan = 1e-12;
constexpr double kLogFloor = 1e-100;

int PrevSlot(int s) { return s == 1 ? ZoomHistorySize : s - 1; }
int NextSlot(int s) { return s == ZoomHistorySize ? 1 : s + 1; }

bool Empty(const TKurvoInteraction::TView& v)
{
    return std::all_of(v.Values.begin(), v.Values.end(), [](double d) { return d == 0.0; });
}

// An axis's values in the space where the view is linear: the values
// themselves, or their logarithms on a logarithmic axis.
struct TAxisSpace {
    bool Log;
    double To(double v) const { return Log ? std::log(v) : v; }
    double From(double u) const { return Log ? std::exp(u) : u; }
};

// Whether lo ... hi is a range the chart can show and keep.
bool Usable(const TScaleProps& axis, double lo, double hi)
{
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo == hi) return false;
    if (std::fabs(lo) > kMaxBound || std::fabs(hi) > kMaxBound) return false;
    if (std::fabs(lo - hi) < 0.99 * axis.MinRange()) return false;
    const TAxisSpace space{axis.Logarithmic()};
    if (space.Log && (lo < kLogFloor || hi < kLogFloor)) return false;
    const double ulo = space.To(lo);
    const double uhi = space.To(hi);
    const double scale = std::max({std::fabs(ulo), std::fabs(uhi), space.Log ? 1.0 : 0.0});
    return std::fabs(uhi - ulo) > kMinRelativeSpan * scale;
}

// Limits of one axis, or none.
struct TAxisLimits {
    bool Active;
    double Min;
    double Max;
};

// The pan limits per axis; all four 0 means no limiting.
std::pair<TAxisLimits, TAxisLimits> AxisLimits(const TPanLimits& p)
{
    const bool limited = !(p.XMin == 0 && p.YMin == 0 && p.XMax == 0 && p.YMax == 0);
    return {{limited, std::min(p.XMin, p.XMax), std::max(p.XMin, p.XMax)},
            {limited, std::min(p.YMin, p.YMax), std::max(p.YMin, p.YMax)}};
}

// Zooms lo ... hi by `factor` about the world value w0, which keeps its pixel;
// pan limits cut the bounds as a zoom window's would. Unusable results
// leave the range as it is.
void ZoomAxis(const TScaleProps& axis, double w0, double factor, const TAxisLimits& limits, double& lo, double& hi)
{
    const TAxisSpace space{axis.Logarithmic()};
    if (!std::isfinite(w0) || (space.Log && !(w0 > 0.0))) return;
    const double u0 = space.To(w0);
    double nlo = space.From(u0 + (space.To(lo) - u0) * factor);
    double nhi = space.From(u0 + (space.To(hi) - u0) * factor);
    if (limits.Active) {
        nlo = std::min(std::max(nlo, limits.Min), limits.Max);
        nhi = std::min(std::max(nhi, limits.Min), limits.Max);
    }
    if (Usable(axis, nlo, nhi)) {
        lo = nlo;
        hi = nhi;
    }
}

// Shifts lo ... hi by `parts` of its span towards hi; a pan limit stops the
// shift where the range touches it, keeping the span.
void PanAxis(const TScaleProps& axis, double parts, const TAxisLimits& limits, double& lo, double& hi)
{
    if (parts == 0.0) return;
    const TAxisSpace space{axis.Logarithmic()};
    if (space.Log && !(lo > 0.0 && hi > 0.0)) return;
    const double ulo = space.To(lo);
    const double uhi = space.To(hi);
    double du = (uhi - ulo) * parts;
    if (limits.Active) {
        constexpr double inf = std::numeric_limits<double>::infinity();
        const double uMin = space.Log ? (limits.Min > 0.0 ? std::log(limits.Min) : -inf) : limits.Min;
        const double uMax = space.Log ? (limits.Max > 0.0 ? std::log(limits.Max) : -inf) : limits.Max;
        // A range already beyond a limit is not pushed further out.
        const double down = std::min(0.0, uMin - std::min(ulo, uhi));
        const double up = std::max(0.0, uMax - std::max(ulo, uhi));
        du = std::min(std::max(du, down), up);
    }
    const double nlo = space.From(ulo + du);
    const double nhi = space.From(uhi + du);
    if (Usable(axis, nlo, nhi)) {
        lo = nlo;
        hi = nhi;
    }
}

}  // namespace

void TKurvoInteraction::AssignSettings(const TKurvoInteraction& source)
{
    FWheelZoom = source.FWheelZoom;
    FKeyboardActions = source.FKeyboardActions;
}

// ------------------------------------------------------------ views, ring

TKurvoInteraction::TView TKurvoInteraction::Current() const
{
    TView v;
    for (int n = 0; n < LayerCount; ++n) {
        const TScaleProps& sx = *FChart.ScaleX(n + 1);
        const TScaleProps& sy = *FChart.ScaleY(n + 1);
        v.Values[n * 4 + 0] = sx.RangeLow();
        v.Values[n * 4 + 1] = sy.RangeHigh();
        v.Values[n * 4 + 2] = sx.RangeHigh();
        v.Values[n * 4 + 3] = sy.RangeLow();
    }
    return v;
}

TKurvoInteraction::TView TKurvoInteraction::Slot(int slot) const
{
    TView v;
    for (int n = 0; n < LayerCount; ++n) {
        const TZoomRanges& r = FChart.ZoomHistory(slot, n + 1);
        v.Values[n * 4 + 0] = r.XLow;
        v.Values[n * 4 + 1] = r.YHigh;
        v.Values[n * 4 + 2] = r.XHigh;
        v.Values[n * 4 + 3] = r.YLow;
    }
    return v;
}

int TKurvoInteraction::Newest() const { return PrevSlot(FChart.ZoomHistoryNext()); }

bool TKurvoInteraction::Busy() const { return FChart.ZoomState() == zsDrawWin || FChart.Dragging(); }

// --------------------------------------------------------------- the walk

TKurvoInteraction::TWalk TKurvoInteraction::Synced() const
{
    TWalk w = FWalk;
    const int next = FChart.ZoomHistoryNext();
    const bool walking = w.Pos >= 0 && w.Pos < static_cast<int>(w.Order.size()) && Slot(w.Order[w.Pos]) == w.SlotView;
    if (walking) {
        if (next == w.Next) return w;
        // Views recorded since follow the one the walk stood on; those it had
        // undone, and the slots the new ones took, are gone.
        w.Order.resize(w.Pos + 1);
        for (int s = w.Next; s != next; s = NextSlot(s)) {
            w.Order.erase(std::remove(w.Order.begin(), w.Order.end(), s), w.Order.end());
            w.Order.push_back(s);
        }
    } else {
        // No walk (or the ring went round under it): the ring's order.
        w.Order.clear();
        for (int i = 0, s = next; i < ZoomHistorySize; ++i, s = NextSlot(s))
            if (!Empty(Slot(s))) w.Order.push_back(s);
    }
    w.Pos = static_cast<int>(w.Order.size()) - 1;
    w.Next = next;
    if (w.Pos >= 0) w.SlotView = Slot(w.Order[w.Pos]);
    return w;
}

int TKurvoInteraction::FindStep(const TWalk& w, int step) const
{
    const TView shown = Current();
    const int size = static_cast<int>(w.Order.size());
    for (int i = w.Pos + step; i >= 0 && i < size; i += step)
        if (!(Slot(w.Order[i]) == shown)) return i;
    return -1;
}

void TKurvoInteraction::Remember(TWalk w)
{
    w.Next = FChart.ZoomHistoryNext();
    if (w.Pos >= 0) w.SlotView = Slot(w.Order[w.Pos]);
    FWalk = std::move(w);
}

void TKurvoInteraction::Show(const TView& view)
{
    const bool held = TCustomKurvoPrivate::Get(FChart).FPaintSuspended;
    TCustomKurvoPrivate::Get(FChart).FPaintSuspended = true;
    try {
        for (int layer = 1; layer <= LayerCount; ++layer) {
            // A coupled axis takes its controller's range, whatever the coupling was when recorded.
            const int cx = FChart.JointLayers()->XControlledBy(layer) - 1;
            const int cy = FChart.JointLayers()->YControlledBy(layer) - 1;
            TScaleProps& sx = *FChart.ScaleX(layer);
            TScaleProps& sy = *FChart.ScaleY(layer);
            const double xLow = view.Values[cx * 4 + 0];
            const double xHigh = view.Values[cx * 4 + 2];
            const double yLow = view.Values[cy * 4 + 3];
            const double yHigh = view.Values[cy * 4 + 1];
            // An axis made logarithmic since may not take a recorded range.
            if (Usable(sx, xLow, xHigh)) {
                sx.StoreRangeLow(xLow);
                sx.StoreRangeHigh(xHigh);
            }
            if (Usable(sy, yLow, yHigh)) {
                sy.StoreRangeLow(yLow);
                sy.StoreRangeHigh(yHigh);
            }
            FChart.SyncAxis(*FChart.AxisX(layer), sx);
            FChart.SyncAxis(*FChart.AxisY(layer), sy);
        }
        FChart.CalcTransforms();
    } catch (...) {
        TCustomKurvoPrivate::Get(FChart).FPaintSuspended = held;
        throw;
    }
    FChart.SetPaintSuspended(held);
    RaiseEvent(FChart.OnZoomPan, std::tuple(&FChart), FChart, &TCustomKurvo::viewChanged);
}

bool TKurvoInteraction::Undo()
{
    if (Busy() || FChart.IsLoading()) return false;
    TWalk w = Synced();
    if (w.Pos < 0 || !(Current() == Slot(w.Order[w.Pos]))) {
        // The view shown is recorded first, so Redo can return to it; it
        // follows the walk's view like any other new record.
        w.Order.resize(w.Pos + 1);
        const int slot = FChart.ZoomHistoryNext();
        FChart.PushZoomHistory();
        w.Order.erase(std::remove(w.Order.begin(), w.Order.end(), slot), w.Order.end());
        w.Order.push_back(slot);
        w.Pos = static_cast<int>(w.Order.size()) - 1;
    }
    FRun = false;
    const int i = FindStep(w, -1);
    if (i >= 0) {
        Show(Slot(w.Order[i]));
        w.Pos = i;
    }
    Remember(std::move(w));
    return i >= 0;
}

bool TKurvoInteraction::Redo()
{
    if (Busy()) return false;
    TWalk w = Synced();
    // A view changed since the last step drops what was undone.
    if (w.Pos < 0 || !(Current() == Slot(w.Order[w.Pos]))) return false;
    const int i = FindStep(w, +1);
    if (i < 0) return false;
    Show(Slot(w.Order[i]));
    w.Pos = i;
    Remember(std::move(w));
    return true;
}

bool TKurvoInteraction::CanUndo() const
{
    if (Busy() || FChart.IsLoading()) return false;
    const TWalk w = Synced();
    if (w.Pos < 0) return false;
    if (Current() == Slot(w.Order[w.Pos])) return FindStep(w, -1) >= 0;
    // Undo records the view shown in the next slot and then goes back to the
    // nearest differing view not overwritten by that record.
    const TView shown = Current();
    const int overwritten = FChart.ZoomHistoryNext();
    for (int i = w.Pos; i >= 0; --i)
        if (w.Order[i] != overwritten && !(Slot(w.Order[i]) == shown)) return true;
    return false;
}

bool TKurvoInteraction::CanRedo() const
{
    if (Busy()) return false;
    const TWalk w = Synced();
    if (w.Pos < 0 || !(Current() == Slot(w.Order[w.Pos]))) return false;
    return FindStep(w, +1) >= 0;
}

// ------------------------------------------------ runs of wheel and arrows

bool TKurvoInteraction::RunActive() const
{
    return FRun && FChart.ZoomHistoryNext() == FRunNext && Current() == FRunView;
}

void TKurvoInteraction::StepBegins()
{
    if (!RunActive() && !(Current() == Slot(Newest()))) FChart.PushZoomHistory();
}

void TKurvoInteraction::StepEnds()
{
    FRun = true;
    FRunNext = FChart.ZoomHistoryNext();
    FRunView = Current();
}

void TKurvoInteraction::GestureStarts()
{
    if (RunActive() && !(Current() == Slot(Newest()))) FChart.PushZoomHistory();
    FRun = false;
}

// ------------------------------------------------------- wheel and keys

// One step of the view: `change` moves the ranges of the layers it returns
// true for. The chart repaints once, and OnZoomPan is raised when the view
// changed.
template <class F>
void TKurvoInteraction::StepLayerRanges(F&& change)
{
    StepBegins();
    const TView before = Current();
    const bool held = TCustomKurvoPrivate::Get(FChart).FPaintSuspended;
    TCustomKurvoPrivate::Get(FChart).FPaintSuspended = true;
    try {
        for (int layer = 1; layer <= LayerCount; ++layer) {
            const TScaleProps& sx = *FChart.ScaleX(layer);
            const TScaleProps& sy = *FChart.ScaleY(layer);
            double xLow = sx.RangeLow(), xHigh = sx.RangeHigh();
            double yLow = sy.RangeLow(), yHigh = sy.RangeHigh();
            if (change(layer, sx, sy, xLow, xHigh, yLow, yHigh))
                FChart.SetLayerRanges(layer, false, xLow, yLow, xHigh, yHigh, false);
        }
    } catch (...) {
        TCustomKurvoPrivate::Get(FChart).FPaintSuspended = held;
        throw;
    }
    FChart.SetPaintSuspended(held);
    StepEnds();
    if (!(Current() == before)) RaiseEvent(FChart.OnZoomPan, std::tuple(&FChart), FChart, &TCustomKurvo::viewChanged);
}

bool TKurvoInteraction::Wheel(int wheelDelta, TPoint mousePos)
{
    if (!FWheelZoom) return false;
    if (Busy()) return true;  // a gesture in progress owns the view
    const int x = mousePos.X;
    const int y = mousePos.Y;
    const bool inData = TCustomKurvoPrivate::InDataArea(FChart, x, y);
    const int hit = inData ? 0 : FChart.AxisHitTest(x, y);
    if (!inData && hit == 0) return false;

    const int delta = std::clamp(wheelDelta, -kMaxWheelDelta, kMaxWheelDelta);
    // Forward (away from the user) zooms in.
    const double factor = std::pow(kWheelStep, -delta / 120.0);
    const auto [limitsX, limitsY] = AxisLimits(FChart.PanLimits());

    StepLayerRanges([&](int layer, const TScaleProps& sx, const TScaleProps& sy, double& xLow, double& xHigh,
                        double& yLow, double& yHigh) {
        // The data area zooms the layers the mouse actions move; a band its own axis.
        const bool zoomX = inData ? FChart.MouseLayer(layer) : hit == -layer;
        const bool zoomY = inData ? FChart.MouseLayer(layer) : hit == layer;
        if (!zoomX && !zoomY) return false;
        double wx = 0.0, wy = 0.0;
        FChart.PixelToWorld(layer, x, y, wx, wy);
        const TLayerTransform& t = FChart.LayerTransform(layer);
        if (zoomX && t.kx != 0.0) ZoomAxis(sx, wx, factor, limitsX, xLow, xHigh);
        if (zoomY && t.ky != 0.0) ZoomAxis(sy, wy, factor, limitsY, yLow, yHigh);
        return true;
    });
    return true;
}

void TKurvoInteraction::Pan(int dx, int dy)
{
    if (Busy()) return;
    const auto [limitsX, limitsY] = AxisLimits(FChart.PanLimits());
    StepLayerRanges([&](int layer, const TScaleProps& sx, const TScaleProps& sy, double& xLow, double& xHigh,
                        double& yLow, double& yHigh) {
        if (!FChart.MouseLayer(layer)) return false;
        PanAxis(sx, dx * kPanPart, limitsX, xLow, xHigh);
        PanAxis(sy, dy * kPanPart, limitsY, yLow, yHigh);
        return true;
    });
}

bool TKurvoInteraction::Key(int key, TShiftState shift)
{
    if (!FKeyboardActions) return false;
    switch (key) {
        // Escape is only used when there is a figure to cancel; otherwise it
        // goes on (a dialog closes).
        case Qt::Key_Escape: return FChart.CancelWindowFigure();
        case Qt::Key_Backspace:
            if (shift.Contains(ssShift))
                Redo();
            else
                Undo();
            return true;
        case Qt::Key_Left: Pan(-1, 0); return true;
        case Qt::Key_Right: Pan(1, 0); return true;
        case Qt::Key_Up: Pan(0, 1); return true;
        case Qt::Key_Down: Pan(0, -1); return true;
        default: return false;
    }
}

// ------------------------------------------------------- chart members

bool TCustomKurvo::WheelZoom() const { return d->FInteraction->WheelZoom(); }
void TCustomKurvo::SetWheelZoom(bool value) { d->FInteraction->SetWheelZoom(value); }
bool TCustomKurvo::KeyboardActions() const { return d->FInteraction->KeyboardActions(); }
void TCustomKurvo::SetKeyboardActions(bool value) { d->FInteraction->SetKeyboardActions(value); }
bool TCustomKurvo::UndoZoom() { return d->FInteraction->Undo(); }
bool TCustomKurvo::RedoZoom() { return d->FInteraction->Redo(); }
bool TCustomKurvo::CanUndoZoom() const { return d->FInteraction->CanUndo(); }
bool TCustomKurvo::CanRedoZoom() const { return d->FInteraction->CanRedo(); }

void TCustomKurvo::KeyDown(int& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (key != 0 && d->FInteraction->Key(key, shift)) key = 0;
}

bool TCustomKurvo::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
    return d->FInteraction->Wheel(wheelDelta, mousePos);
}

}  // namespace kurvo
