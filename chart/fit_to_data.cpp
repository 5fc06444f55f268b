// FitToData: a layer's ranges from the bounding box of its data items,
// series and line views.
#include "chart/Qorn_kurvo.h"
#include "base/errors.h"
#include "chart/kurvo_private.h"
#include "chart/line_view.h"
#include "chart/series_private.h"

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

// Adds the finite points of a series, and the baseline its bars or area
// reach down to. A logarithmic axis counts only positive values: when the
// series reaches down to the floor, its points are read one by one.
void AddSeries(const TSeriesPrivate& s, TExtent& ex, TExtent& ey)
{
    const std::optional<TDataRange> r = s.q.DataRange();
    if (!r) return;
    if (s.Style == TSeriesStyle::Bars || (s.Style == TSeriesStyle::Area && s.FillTo == nullptr)) ey.Add(s.Baseline);
    if ((ex.Logarithmic && !(r->XMin > kLogFloor)) || (ey.Logarithmic && !(r->YMin > kLogFloor))) {
        s.ForEachPoint(0, s.Count(), [&](std::int64_t, double x, double y) {
            if (!std::isfinite(x) || !std::isfinite(y)) return;
            ex.Add(x);
            ey.Add(y);
        });
        return;
    }
    ex.Add(r->XMin);
    ex.Add(r->XMax);
    ey.Add(r->YMin);
    ey.Add(r->YMax);
}

// Adds the points of a line view that its structures cover (a file view
// still being read counts what is read so far). A logarithmic axis counts
// only positive values: when the view reaches down to the floor, its points
// are read one by one.
void AddView(TLineView& v, TExtent& ex, TExtent& ey)
{
    std::lock_guard<std::mutex> lock(v.Lock);
    if (!v.Error.isEmpty() || v.Pieces.empty()) return;
    if ((ex.Logarithmic && !(v.XMin > kLogFloor)) || (ey.Logarithmic && !(v.YMin > kLogFloor))) {
        for (const TPiece& piece : v.Pieces) {
            for (std::int64_t i = piece.From; i < piece.To; ++i) {
                ex.Add(v.View.X(i));
                ey.Add(v.View.Y(i));
            }
        }
        return;
    }
    ex.Add(v.XMin);
    ex.Add(v.XMax);
    ey.Add(v.YMin);
    ey.Add(v.YMax);
}

// Fits layers first ... last to the data items and line views (unless
// `only` names one series) and the shown series on them (or that series
// alone).
void FitLayers(TCustomKurvo& chart, int first, int last, const TKurvoSeries* only, double marginPercent)
{
    TCustomKurvoPrivate& d = TCustomKurvoPrivate::Get(chart);
    const double margin = std::isfinite(marginPercent) ? std::clamp(marginPercent, 0.0, 1000.0) : 0.0;
    std::array<TExtent, LayerCount> ex{};
    std::array<TExtent, LayerCount> ey{};
    for (int n = first - 1; n < last; ++n) {
        ex[n].Logarithmic = d.FScaleX[n]->Logarithmic();
        ey[n].Logarithmic = d.FScaleY[n]->Logarithmic();
    }
    if (only == nullptr) {
        d.FData.Items->ForEachRun(d.FData.Count, [&](const TkvChartItem* items, int count, int) {
            for (int i = 0; i < count; ++i) {
                const int n = ClampLayer(items[i].Layer) - 1;
                if (n + 1 >= first && n + 1 <= last) AddItem(items[i], ex[n], ey[n]);
            }
        });
    }
    for (const auto& series : d.FSeries->List) {
        const TSeriesPrivate& s = TSeriesPrivate::Get(*series);
        if (only != nullptr ? series.get() != only : !s.Visible) continue;
        if (s.Layer >= first && s.Layer <= last) AddSeries(s, ex[s.Layer - 1], ey[s.Layer - 1]);
    }
    if (only == nullptr) {
        for (const auto& view : d.LineViews().List()) {
            const int n = ClampLayer(view->Look.Layer) - 1;
            if (n + 1 >= first && n + 1 <= last) AddView(*view, ex[n], ey[n]);
        }
    }

    const bool suspended = d.FPaintSuspended;
    d.FPaintSuspended = true;
    try {
        for (int n = first - 1; n < last; ++n) {
            if (ex[n].Empty() && ey[n].Empty()) continue;
            const TScaleProps& sx = *d.FScaleX[n];
            const TScaleProps& sy = *d.FScaleY[n];
            double xLow = sx.RangeLow(), xHigh = sx.RangeHigh();
            double yLow = sy.RangeLow(), yHigh = sy.RangeHigh();
            if (!ex[n].Empty()) FittedRange(ex[n], sx, margin, xLow, xHigh);
            if (!ey[n].Empty()) FittedRange(ey[n], sy, margin, yLow, yHigh);
            chart.SetLayerRanges(n + 1, true, xLow, yLow, xHigh, yHigh, false);
        }
    } catch (...) {
        d.FPaintSuspended = suspended;
        throw;
    }
    d.FPaintSuspended = suspended;
    chart.MarkStale();
    chart.Paint();
}

}  // namespace

void TCustomKurvo::FitToData(int layer, double marginPercent)
{
    const int first = layer == 0 ? 1 : ClampLayer(layer);
    FitLayers(*this, first, layer == 0 ? LayerCount : first, nullptr, marginPercent);
}

void TCustomKurvo::FitToData(const TKurvoSeries* series, double marginPercent)
{
    if (IndexOfSeries(series) < 0) throw EQornKurvoError("FitToData: the series does not belong to this chart.");
    FitLayers(*this, series->Layer(), series->Layer(), series, marginPercent);
}

}  // namespace kurvo
