// Drawing the series in the data area, after the data items and before the
// annotations: line, marks, steps, bars and areas.
//
// Lines and marks each go through one small function (LinePath, MarksPath)
// so that a faster engine for either replaces one body. The line path hands
// the compact runs of a series to the per-column reduction of long runs,
// which draws the pixels of the point-by-point polyline; the marks path
// stamps the device pixels of one mark at each canvas position once per
// series and paint, since a second mark of the same look at the same
// position changes no pixel.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "chart/mark_stamps.h"
#include "chart/series_private.h"

#include "base/marks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace kurvo {

namespace {

using TP = TCustomKurvoPrivate;

bool Finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

bool Between(double v, double a, double b) { return a <= b ? (a <= v && v <= b) : (b <= v && v <= a); }

// The points [From, To) a series needs to draw the layer's visible X range:
// for sorted X the points inside it and one beyond on each side (the
// segments leaving the view), otherwise all. A dashed line takes its dash
// phase from every segment before, so it is drawn whole.
struct TWindow {
    std::int64_t From = 0;
    std::int64_t To = 0;
};

TWindow VisibleWindow(const TCustomKurvo& chart, const TSeriesPrivate& s)
{
    const std::int64_t n = s.Count();
    if (!s.XSorted || n < 64 || (s.PenStyle != psSolid && s.PenStyle != psClear)) return {0, n};
    const TScaleProps& sx = *chart.ScaleX(s.Layer);
    const double lo = std::min(sx.RangeLow(), sx.RangeHigh());
    const double hi = std::max(sx.RangeLow(), sx.RangeHigh());
    const std::int64_t from = std::max<std::int64_t>(0, s.LowerBoundX(lo) - 1);
    // The first point beyond hi, whose segment enters the view.
    std::int64_t to = s.LowerBoundX(std::nextafter(hi, std::numeric_limits<double>::infinity()));
    to = std::min(n, to + 1);
    return {from, std::max(from, to)};
}

// The pen of lines and outlines: width, colour, style and brush through the
// render-state cache, so that the items drawn afterwards find it current.
void SetLinePen(TCustomKurvo& chart, TCanvas& canvas, TColor color, TPenStyle style, int width, TColor brush)
{
    TRenderState& r = TP::Get(chart).FRender;
    TP::FlushPolyline(chart, canvas);
    if (width != r.LineWidth) {
        r.LineWidth = width;
        canvas.Pen().SetWidth(width);
    }
    TP::SetPenColor(chart, canvas, color);
    TP::SetPenStyle(chart, canvas, style);
    TP::SetBrushColor(chart, canvas, brush);
}

// Starts a new line at canvas point p.
void MovePen(TCustomKurvo& chart, TCanvas& canvas, TPoint p)
{
    TRenderState& r = TP::Get(chart).FRender;
    TP::FlushPolyline(chart, canvas);
    r.PenPos = p;
    r.PenBroken = false;
    canvas.MoveTo(p.X, p.Y);
}

// ------------------------------------------------------------- line path

// The polyline through points [from, to): compact runs through the
// reduction of long runs (which draws the first point of a run as a move
// when the line is broken), gaps break it.
void LinePath(TCustomKurvo& chart, TCanvas& canvas, TSeriesPrivate& s, TWindow w, bool monochrome)
{
    // Series points are not display-list items: the item hook is not raised
    // for them, and without it the reduction applies.
    struct THookAside {
        TCustomKurvo& Chart;
        TBeforeRenderChartItemEvent Hook;
        ~THookAside() { Chart.OnBeforeRenderChartItem = std::move(Hook); }
    } aside{chart, std::move(chart.OnBeforeRenderChartItem)};
    chart.OnBeforeRenderChartItem = nullptr;

    if (s.View) {
        // Over the program's samples: drawn as line views are, per column.
        TP::RenderLineView(chart, canvas, *s.View, s.Attributes(), monochrome);
        return;
    }
    s.Refresh();
    TP::BreakPolyline(chart, canvas);
    const std::int64_t first = s.Begin + w.From;
    const std::int64_t last = s.Begin + w.To;
    // Segments join: the line goes on from one to the next.
    for (const TSegment& segment : s.Segments) {
        if (segment.End() <= first) continue;
        if (segment.Start >= last) break;
        const TKvItemContainer& items = *segment.Items;
        const std::int64_t a = first - segment.Start;
        const std::int64_t b = last - segment.Start;
        for (const TItemRun& run : items.Runs()) {
            if (run.First + run.Count <= a) continue;
            if (run.First >= b) break;
            if (!run.Compact()) {
                TP::BreakPolyline(chart, canvas);
                continue;
            }
            TItemRun part = run;
            const std::int64_t skip = std::max<std::int64_t>(0, a - run.First);
            part.First += skip;
            part.Offset += skip;
            part.Count = std::min(run.First + run.Count, b) - part.First;
            TP::RenderLineRun(chart, canvas, items, part, monochrome);
        }
    }
    TP::FlushPolyline(chart, canvas);
}

// ------------------------------------------------------------ marks path

// Fewer marks are drawn one by one: a stamp costs a few marks to make.
constexpr std::int64_t kMinStampedMarks = 32;
// Wider pens draw mark by mark, as they do for mark items.
constexpr int kMaxStampedPenWidth = 16;

// How far a mark reaches from its centre: at its own size the stem of the
// largest symbol, 8 pixels up, else at most its size; plus the pen.
int MarkReach(int size, int penWidth) { return (size == 0 ? 9 : size) + penWidth; }

// The marks of points [From, To) inside the layer's ranges stamped once per
// canvas position (mark_stamps.h), with the pixels of drawing each mark.
// False, with nothing drawn, where the stamps cannot hold that picture: the
// reference drawing (reduction off), printer and anti-aliased canvases
// (marks at their exact positions), wide pens, few marks, large marks.
bool StampMarks(TCustomKurvo& chart, TCanvas& canvas, const TSeriesPrivate& s, TWindow w, double x0, double x1,
                double y0, double y1)
{
    TCustomKurvoPrivate& d = TP::Get(chart);
    if (!d.FLineRunReduction || canvas.IsPrinterCanvas() || canvas.Antialiased() || s.PenWidth > kMaxStampedPenWidth ||
        w.To - w.From < kMinStampedMarks)
        return false;
    const int type = MarkType(s.Mark);
    const int size = s.MarkSize;
    const TDrawMark draw = [type, size](TCanvas& c, int x, int y) { DrawMark(c, type, x, y, size); };
    if (!d.FMarkStamps) d.FMarkStamps = std::make_shared<TMarkStamps>();
    TMarkStamps& stamps = *d.FMarkStamps;
    // A mark at size 0 has the key the mark items give it: the stamp is shared.
    const std::uint64_t key = (static_cast<std::uint64_t>(size) << 8 | static_cast<std::uint64_t>(type)) + 1;
    if (!stamps.Prepare(canvas, draw, MarkReach(size, s.PenWidth), key)) return false;
    stamps.Begin(canvas);
    const TCanvasMap map = TP::CanvasMap(chart, s.Layer);
    s.ForEachStretch(w.From, w.To, [&](std::int64_t, const double* xs, const double* ys, std::int64_t n) {
        stamps.AddInside(xs, ys, n, map, x0, x1, y0, y1);
    });
    if (stamps.Any()) stamps.Finish(draw);
    return true;
}

// A mark at every finite point inside the layer's ranges (as MarkAt draws
// one): stamped where it can be, else each canvas position drawn once.
void MarksPath(TCustomKurvo& chart, TCanvas& canvas, const TSeriesPrivate& s, TWindow w, bool monochrome)
{
    TCustomKurvoPrivate& d = TP::Get(chart);
    TRenderState& r = d.FRender;
    TP::FlushPolyline(chart, canvas);
    if (s.PenWidth != r.LineWidth) {
        r.LineWidth = s.PenWidth;
        canvas.Pen().SetWidth(s.PenWidth);
    }
    TP::SetPenColor(chart, canvas, monochrome ? clBlack : s.PenColor);
    TP::SetPenStyle(chart, canvas, psSolid);
    const TScaleProps& sx = *chart.ScaleX(s.Layer);
    const TScaleProps& sy = *chart.ScaleY(s.Layer);
    const double xa = sx.RangeLow(), xb = sx.RangeHigh();
    const double ya = sy.RangeLow(), yb = sy.RangeHigh();
    if (StampMarks(chart, canvas, s, w, std::min(xa, xb), std::max(xa, xb), std::min(ya, yb), std::max(ya, yb))) {
        TP::ResetUpperVectorState();
        return;
    }
    const TCanvasMap map = TP::CanvasMap(chart, s.Layer);
    // Positions drawn so far, over the data area and a pixel around it
    // (none on a data area larger than any bitmap: its marks are all drawn).
    int w0 = std::max(0, chart.Width() - chart.MarginLeft() - chart.MarginRight() - chart.ShadowWidth()) + 3;
    int h0 = std::max(0, chart.Height() - chart.MarginTop() - chart.MarginBottom() - chart.ShadowWidth()) + 3;
    if (std::int64_t{w0} * h0 > MaxBitmapPixels) w0 = h0 = 0;
    std::vector<std::uint64_t> stamped((static_cast<std::size_t>(w0) * h0 + 63) / 64, 0);
    const int type = MarkType(s.Mark);
    s.ForEachPoint(w.From, w.To, [&](std::int64_t, double x, double y) {
        if (!Finite(x, y) || !Between(x, xa, xb) || !Between(y, ya, yb)) return;
        const int px = map.X(x);
        const int py = map.Y(y);
        const int cx = px - r.OffsetX + 1;
        const int cy = py - r.OffsetY + 1;
        if (cx >= 0 && cx < w0 && cy >= 0 && cy < h0) {
            const std::size_t bit = static_cast<std::size_t>(cy) * w0 + cx;
            if (stamped[bit / 64] >> (bit % 64) & 1) return;
            stamped[bit / 64] |= std::uint64_t{1} << (bit % 64);
        }
        DrawMark(canvas, type, px, py, s.MarkSize);
    });
    TP::ResetUpperVectorState();
}

// ------------------------------------------------------------------ steps

void StepsPath(TCustomKurvo& chart, TCanvas& canvas, const TSeriesPrivate& s, TWindow w, bool monochrome)
{
    SetLinePen(chart, canvas, monochrome ? clBlack : s.PenColor, s.PenStyle, s.PenWidth, s.FillColor());
    const TCanvasMap map = TP::CanvasMap(chart, s.Layer);
    bool open = false;
    double px = 0.0, py = 0.0;  // the previous finite point
    s.ForEachPoint(w.From, w.To, [&](std::int64_t, double x, double y) {
        if (!Finite(x, y)) {
            open = false;
            return;
        }
        if (!open) {
            MovePen(chart, canvas, {map.X(x), map.Y(y)});
            open = true;
        } else {
            switch (s.Style) {
                case TSeriesStyle::StepsLeft: TP::AddPolylinePoint(chart, map.X(x), map.Y(py), canvas); break;
                case TSeriesStyle::StepsRight: TP::AddPolylinePoint(chart, map.X(px), map.Y(y), canvas); break;
                default: {
                    const int mid = map.X(px + (x - px) / 2.0);
                    TP::AddPolylinePoint(chart, mid, map.Y(py), canvas);
                    TP::AddPolylinePoint(chart, mid, map.Y(y), canvas);
                    break;
                }
            }
            TP::AddPolylinePoint(chart, map.X(x), map.Y(y), canvas);
        }
        px = x;
        py = y;
    });
    TP::FlushPolyline(chart, canvas);
}

// ------------------------------------------------------------------- bars

double AutoBarWidth(const TSeriesPrivate& s, TWindow w)
{
    double gap = std::numeric_limits<double>::infinity();
    double previous = std::numeric_limits<double>::quiet_NaN();
    s.ForEachPoint(w.From, w.To, [&](std::int64_t, double x, double y) {
        if (!Finite(x, y)) return;
        const double g = std::fabs(x - previous);
        if (g > 0.0 && g < gap) gap = g;
        previous = x;
    });
    return std::isfinite(gap) ? 0.8 * gap : 1.0;
}

void BarsPath(TCustomKurvo& chart, TCanvas& canvas, const TSeriesPrivate& s, TWindow w, bool monochrome)
{
    const TColor fill = monochrome ? clSilver : s.FillColor();
    const TColor pen = s.PenStyle == psClear ? fill : (monochrome ? clBlack : s.PenColor);
    SetLinePen(chart, canvas, pen, s.PenStyle == psClear ? psSolid : s.PenStyle, s.PenWidth, fill);
    canvas.Brush().SetStyle(bsSolid);
    const TCanvasMap map = TP::CanvasMap(chart, s.Layer);
    const double half = (s.BarWidth > 0.0 ? s.BarWidth : AutoBarWidth(s, w)) / 2.0;
    const int base = map.Y(s.Baseline);
    s.ForEachPoint(w.From, w.To, [&](std::int64_t, double x, double y) {
        if (!Finite(x, y)) return;
        int x1 = map.X(x - half), x2 = map.X(x + half);
        int y1 = map.Y(y), y2 = base;
        if (x1 == x2 && y1 == y2) {
            canvas.SetPixel(x1, y1, pen);
            return;
        }
        // Both corners included, as the rectangle items draw them.
        (x1 > x2 ? x1 : x2) += 1;
        (y1 > y2 ? y1 : y2) += 1;
        canvas.Rectangle(x1, y1, x2, y2);
    });
    TP::ResetUpperVectorState();
}

// ------------------------------------------------------------------- area

void FillPolygon(TCustomKurvo& chart, TCanvas& canvas, std::vector<TPoint>& polygon, TColor fill)
{
    if (polygon.size() >= 3) {
        SetLinePen(chart, canvas, fill, psSolid, 1, fill);
        canvas.Brush().SetStyle(bsSolid);
        canvas.Polygon(polygon.data(), static_cast<int>(polygon.size()));
    }
    polygon.clear();
}

void AreaPath(TCustomKurvo& chart, TCanvas& canvas, TSeriesPrivate& s, TWindow w, bool monochrome)
{
    const TColor fill = monochrome ? clSilver : s.FillColor();
    const TCanvasMap map = TP::CanvasMap(chart, s.Layer);
    std::vector<TPoint> polygon;
    const TSeriesPrivate* other = s.FillTo != nullptr ? &TSeriesPrivate::Get(*s.FillTo) : nullptr;
    if (other == nullptr) {
        // One polygon per stretch between gaps, closed along the baseline.
        const int base = map.Y(s.Baseline);
        const auto close = [&] {
            if (!polygon.empty()) {
                const TPoint first = polygon.front();
                const TPoint last = polygon.back();
                polygon.push_back({last.X, base});
                polygon.push_back({first.X, base});
            }
            FillPolygon(chart, canvas, polygon, fill);
        };
        s.ForEachPoint(w.From, w.To, [&](std::int64_t, double x, double y) {
            if (Finite(x, y))
                polygon.push_back({map.X(x), map.Y(y)});
            else
                close();
        });
        close();
    } else {
        // The band between the two series: this one forwards, the other
        // back, gaps of either left out.
        s.ForEachPoint(w.From, w.To, [&](std::int64_t, double x, double y) {
            if (Finite(x, y)) polygon.push_back({map.X(x), map.Y(y)});
        });
        const TCanvasMap otherMap = TP::CanvasMap(chart, other->Layer);
        const std::size_t mine = polygon.size();
        other->ForEachPoint(0, other->Count(), [&](std::int64_t, double x, double y) {
            if (Finite(x, y)) polygon.push_back({otherMap.X(x), otherMap.Y(y)});
        });
        std::reverse(polygon.begin() + static_cast<std::ptrdiff_t>(mine), polygon.end());
        FillPolygon(chart, canvas, polygon, fill);
    }
    if (s.PenStyle != psClear) LinePath(chart, canvas, s, w, monochrome);
}

void RenderOne(TCustomKurvo& chart, TCanvas& canvas, TSeriesPrivate& s, bool monochrome)
{
    const TWindow w = VisibleWindow(chart, s);
    if (w.From >= w.To) return;
    switch (s.Style) {
        case TSeriesStyle::Line: LinePath(chart, canvas, s, w, monochrome); break;
        case TSeriesStyle::Marks: MarksPath(chart, canvas, s, w, monochrome); break;
        case TSeriesStyle::LineAndMarks:
            LinePath(chart, canvas, s, w, monochrome);
            MarksPath(chart, canvas, s, w, monochrome);
            break;
        case TSeriesStyle::StepsLeft:
        case TSeriesStyle::StepsCenter:
        case TSeriesStyle::StepsRight: StepsPath(chart, canvas, s, w, monochrome); break;
        case TSeriesStyle::Bars: BarsPath(chart, canvas, s, w, monochrome); break;
        case TSeriesStyle::Area: AreaPath(chart, canvas, s, w, monochrome); break;
    }
}

}  // namespace

void RenderSeries(TCustomKurvo& chart, TCanvas& canvas, bool monochrome)
{
    TCustomKurvoPrivate& d = TP::Get(chart);
    if (d.FSeries->List.empty()) return;
    // The series leave the pen of the item lists where they found it: an
    // annotation list that starts with a line point goes on from the data.
    TRenderState& r = d.FRender;
    TP::FlushPolyline(chart, canvas);
    const TPoint pen = r.PenPos;
    const bool broken = r.PenBroken;
    // No user code runs while series are drawn (the item hook is set aside),
    // so the list stays as it is.
    for (const auto& series : d.FSeries->List) {
        TSeriesPrivate& s = TSeriesPrivate::Get(*series);
        if (!s.Visible || !d.FLayerVisible[static_cast<std::size_t>(s.Layer - 1)] || s.Count() == 0) continue;
        RenderOne(chart, canvas, s, monochrome);
    }
    TP::FlushPolyline(chart, canvas);
    r.PenPos = pen;
    r.PenBroken = broken;
    canvas.MoveTo(pen.X, pen.Y);
}

void ApplySeriesFollow(TCustomKurvo& chart)
{
    TCustomKurvoPrivate& d = TP::Get(chart);
    for (const auto& series : d.FSeries->List) {
        TSeriesPrivate& s = TSeriesPrivate::Get(*series);
        if (!s.FollowPending) continue;
        s.FollowPending = false;
        if (!s.Follow || !std::isfinite(s.LastX)) continue;
        const TScaleProps& sx = *chart.ScaleX(s.Layer);
        const TScaleProps& sy = *chart.ScaleY(s.Layer);
        const double lo = sx.RangeLow();
        const double hi = sx.RangeHigh();
        double newLo, newHi = s.LastX;
        if (sx.Logarithmic()) {
            if (!(s.LastX > 0.0) || !(lo > 0.0) || !(hi > 0.0)) continue;
            newLo = s.LastX / (hi / lo);
        } else {
            newLo = s.LastX - (hi - lo);
        }
        if (!std::isfinite(newLo) || (newLo == lo && newHi == hi)) continue;
        // Inside a paint: the ranges change without another one.
        const bool suspended = d.FPaintSuspended;
        d.FPaintSuspended = true;
        try {
            chart.SetLayerRanges(s.Layer, false, newLo, sy.RangeLow(), newHi, sy.RangeHigh(), false);
        } catch (...) {
            d.FPaintSuspended = suspended;
            throw;
        }
        d.FPaintSuspended = suspended;
    }
}

}  // namespace kurvo
