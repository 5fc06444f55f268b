// FitToData: a layer's ranges from the bounding box of its data items.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kurvo {

namespace {

constexpr double kLogFloor = 1e-100;
// Half of the largest double: a range between -kHuge and kHuge still has a
// finite width, so the layer transform stays finite.
constexpr double kHuge = 8.0e307;

// The extent of the values one axis takes into account.
struct TExtent {
    bool Logarithmic = false;
    double Low = std::numeric_limits<double>::infinity();
    double High = -std::numeric_limits<double>::infinity();

    void Add(double v)
    {
        if (!std::isfinite(v) || (Logarithmic && v <= kLogFloor)) return;
        Low = std::min(Low, v);
        High = std::max(High, v);
    }
    bool Empty() const { return Low > High; }
};

// Adds the world values of one item, by the meaning of its fields.
void AddItem(const TkvChartItem& item, TExtent& ex, TExtent& ey)
{
    switch (item.Kind) {
        case ikMark:
        case ikLineTo:
        case ikText:
        case ikMoveTo:
        case ikOffsetText:
        case ikBox:
        case ikVector:
            ex.Add(item.X);
            ey.Add(item.Y);
            break;
        case ikLine:
        case ikRectangle:
        case ikFramedRect:
        case ikBar3D:
        case ikArrow:
        case ikDoubleArrow:
        case ikShiftedLine:
            ex.Add(item.X);
            ey.Add(item.Y);
            ex.Add(item.X2);
            ey.Add(item.Y2);
            break;
        case ikEllipse:
        case ikArc:
        case ikCross:
            ex.Add(item.X - std::fabs(item.X2));
            ex.Add(item.X + std::fabs(item.X2));
            ey.Add(item.Y - std::fabs(item.Y2));
            ey.Add(item.Y + std::fabs(item.Y2));
            break;
        case ikErrorBar:
            if (item.Size != 0) {
                ex.Add(item.X - std::fabs(item.X2));
                ex.Add(item.X + std::fabs(item.Y2));
                ey.Add(item.Y);
            } else {
                ex.Add(item.X);
                ey.Add(item.Y - std::fabs(item.X2));
                ey.Add(item.Y + std::fabs(item.Y2));
            }
            break;
        case ikVertLine: ex.Add(item.X); break;
        case ikHorizLine: ey.Add(item.Y); break;
        default: break;  // relative moves are pixels; other kinds draw nothing
    }
}

// The new (low, high) of one axis, in the axis's own order.
void FittedRange(const TExtent& e, const TScaleProps& props, double margin, double& low, double& high)
{
    double lo = e.Low;
    double hi = e.High;
    if (e.Logarithmic) {
        lo = std::log(lo);
        hi = std::log(hi);
    }
    const double pad = (hi - lo) * margin / 100.0;
    if (std::isfinite(pad)) {
        lo -= pad;
        hi += pad;
    }
    if (e.Logarithmic) {
        lo = std::exp(lo);
        hi = std::exp(hi);
        lo = std::max(lo, kLogFloor);
        hi = std::min(hi, std::numeric_limits<double>::max());
    }
    lo = std::max(lo, -kHuge);
    hi = std::min(hi, kHuge);
    const double minRange = props.MinRange();
    if (hi - lo < minRange) {
        const double centre = lo / 2.0 + hi / 2.0;
        lo = centre - minRange / 2.0;
        hi = centre + minRange / 2.0;
        if (e.Logarithmic && lo <= kLogFloor) {
            lo = centre;
            hi = centre + minRange;
        }
    }
    const bool reversed = props.RangeLow() > props.RangeHigh();
    low = reversed ? hi : lo;
    high = reversed ? lo : hi;
}

}  // namespace

void TCustomKurvo::FitToData(int layer, double marginPercent)
{
    const double margin = std::isfinite(marginPercent) ? std::clamp(marginPercent, 0.0, 1000.0) : 0.0;
    const int first = layer == 0 ? 1 : ClampLayer(layer);
    const int last = layer == 0 ? LayerCount : first;
    std::array<TExtent, LayerCount> ex{};
    std::array<TExtent, LayerCount> ey{};
    for (int n = first - 1; n < last; ++n) {
        ex[n].Logarithmic = d->FScaleX[n]->Logarithmic();
        ey[n].Logarithmic = d->FScaleY[n]->Logarithmic();
    }
    d->FData.Items->ForEachRun(d->FData.Count, [&](const TkvChartItem* items, int count, int) {
        for (int i = 0; i < count; ++i) {
            const int n = ClampLayer(items[i].Layer) - 1;
            if (n + 1 >= first && n + 1 <= last) AddItem(items[i], ex[n], ey[n]);
        }
    });

    const bool suspended = d->FPaintSuspended;
    d->FPaintSuspended = true;
    try {
        for (int n = first - 1; n < last; ++n) {
            if (ex[n].Empty() && ey[n].Empty()) continue;
            const TScaleProps& sx = *d->FScaleX[n];
            const TScaleProps& sy = *d->FScaleY[n];
            double xLow = sx.RangeLow(), xHigh = sx.RangeHigh();
            double yLow = sy.RangeLow(), yHigh = sy.RangeHigh();
            if (!ex[n].Empty()) FittedRange(ex[n], sx, margin, xLow, xHigh);
            if (!ey[n].Empty()) FittedRange(ey[n], sy, margin, yLow, yHigh);
            SetLayerRanges(n + 1, true, xLow, yLow, xHigh, yHigh, false);
        }
    } catch (...) {
        d->FPaintSuspended = suspended;
        throw;
    }
    d->FPaintSuspended = suspended;
    MarkStale();
    Paint();
}

}  // namespace kurvo
