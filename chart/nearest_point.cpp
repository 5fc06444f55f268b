// Finding the drawn point under the pointer, and the hover built on it.
//
// The search is a branch and bound over index blocks of a series: a block's
// points lie in the pixel box spanned by its X and Y extremes (the first and
// last X when X is sorted, the min/max structures otherwise), so a block
// whose box is farther than the best point found so far is skipped whole.
// Blocks are split 16 ways and visited nearest box first; a series of 10^7
// points sorted by X is searched in a few thousand steps wherever the
// pointer is.
#include "chart/Qorn_kurvo.h"

#include "canvas/qt_interop.h"
#include "chart/kurvo_private.h"
#include "chart/raise_event.h"
#include "chart/series_private.h"
#include "scale/ticks.h"

#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace kurvo {

namespace {

constexpr std::int64_t kLeafSize = 16;
constexpr int kFan = 16;

// The points of one segment of a series' own points, by compact index.
struct TSegmentPoints {
    const TSegment& Segment;
    std::int64_t Begin;  // the series' first point kept
    const TChunkedDoubles& Xs = Segment.Items->XValues();
    const TChunkedDoubles& Ys = Segment.Items->YValues();
    const TMinMaxPyramid* XPyramid = nullptr;  // null: X sorted

    double X(std::int64_t k) const { return Xs[k]; }
    double Y(std::int64_t k) const { return Ys[k]; }
    // Lowest and highest X of [a, b); false when unknown.
    bool XRange(std::int64_t a, std::int64_t b, double& lo, double& hi) const
    {
        if (XPyramid != nullptr) {
            XPyramid->Query(Xs, a, b, lo, hi);
        } else {
            lo = Xs[a];
            hi = Xs[b - 1];
        }
        return true;
    }
    void YRange(std::int64_t a, std::int64_t b, double& lo, double& hi) const
    {
        Segment.Items->YPyramid().Query(Ys, a, b, lo, hi);
    }
    std::int64_t Index(std::int64_t k) const { return Segment.PointOfCompact(k) - Begin; }
};

// The points of a series over a view, searched one stretch of finite points at a time.
struct TViewPoints {
    const TLineView& View;
    TViewYValues Ys{View.View, View.Ready};

    double X(std::int64_t k) const { return View.View.X(k); }
    double Y(std::int64_t k) const { return View.View.Y(k); }
    // Known where X rises; otherwise a block is bounded by its Y alone.
    bool XRange(std::int64_t a, std::int64_t b, double& lo, double& hi) const
    {
        lo = X(a);
        hi = X(b - 1);
        return View.XRising;
    }
    void YRange(std::int64_t a, std::int64_t b, double& lo, double& hi) const { View.Pyramid.Query(Ys, a, b, lo, hi); }
    std::int64_t Index(std::int64_t k) const { return k; }
};

struct TSearch {
    TCanvasMap Map;  // control pixels
    std::int64_t Tx = 0, Ty = 0;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // the data area, edges included
    std::int64_t Best = 0;  // squared distance a point must beat
    const TSeriesPrivate* Series = nullptr;
    const TSeriesPrivate* BestSeries = nullptr;
    std::int64_t BestIndex = -1;
    double BestX = 0.0, BestY = 0.0;

    // Squared distance from the pointer to the pixel box of [a, b), or -1
    // when the box misses the data area.
    template <class Points>
    std::int64_t Bound(const Points& points, std::int64_t a, std::int64_t b) const
    {
        double x0, x1;
        std::int64_t dx = 0;
        if (points.XRange(a, b, x0, x1)) {
            int px0 = Map.X(x0), px1 = Map.X(x1);
            if (px0 > px1) std::swap(px0, px1);
            px0 = std::max(px0, Left);
            px1 = std::min(px1, Right);
            if (px0 > px1) return -1;
            dx = std::max<std::int64_t>({0, px0 - Tx, Tx - px1});
            if (dx * dx >= Best) return -1;
        }
        double y0, y1;
        points.YRange(a, b, y0, y1);
        int py0 = Map.Y(y0), py1 = Map.Y(y1);
        if (py0 > py1) std::swap(py0, py1);
        py0 = std::max(py0, Top);
        py1 = std::min(py1, Bottom);
        if (py0 > py1) return -1;
        const std::int64_t dy = std::max<std::int64_t>({0, py0 - Ty, Ty - py1});
        return dx * dx + dy * dy;
    }

    template <class Points>
    void Scan(const Points& points, std::int64_t a, std::int64_t b)
    {
        for (std::int64_t k = a; k < b; ++k) {
            const double x = points.X(k), y = points.Y(k);
            const int px = Map.X(x);
            const int py = Map.Y(y);
            if (px < Left || px > Right || py < Top || py > Bottom) continue;
            const std::int64_t d = (px - Tx) * (px - Tx) + (py - Ty) * (py - Ty);
            if (d < Best) {
                Best = d;
                BestIndex = points.Index(k);
                BestX = x;
                BestY = y;
                BestSeries = Series;
            }
        }
    }

    template <class Points>
    void Visit(const Points& points, std::int64_t a, std::int64_t b)
    {
        if (b - a <= kLeafSize) return Scan(points, a, b);
        // Pieces aligned to the largest power of 16 below the length, so
        // that the min/max structures answer each from one level.
        std::int64_t step = kLeafSize;
        while (step * kFan < b - a) step *= kFan;
        struct TPiece {
            std::int64_t A, B, D;
        };
        TPiece pieces[kFan + 2];
        int count = 0;
        for (std::int64_t p = a; p < b;) {
            const std::int64_t q = std::min(b, (p / step + 1) * step);
            const std::int64_t d = Bound(points, p, q);
            if (d >= 0 && d < Best) pieces[count++] = {p, q, d};
            p = q;
        }
        std::sort(pieces, pieces + count, [](const TPiece& l, const TPiece& r) { return l.D < r.D; });
        for (int i = 0; i < count; ++i)
            if (pieces[i].D < Best) Visit(points, pieces[i].A, pieces[i].B);
    }
};

// Decimals that show one pixel's worth of `span` world units.
int PixelDecimals(double span)
{
    if (!(span > 0.0) || !std::isfinite(span)) return 2;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(span))), 0, 12);
}

// `value` as the axis writes its labels, with enough decimals to tell
// neighbouring pixels apart (`span`: world units of one pixel there).
std::string AxisText(const TScaleProps& axis, double value, double span)
{
    if (!std::isfinite(value)) return FormatTickNumber(value, 0);
    switch (axis.LabelType()) {
        case ftDateTime: {
            const TDTLabel& f = *axis.DateFormat();
            const std::string time = std::string("hh") + QuotedPatternText(f.TimeSeparator()) + "nn" +
                                     QuotedPatternText(f.TimeSeparator()) + "ss" + (span * 86400.0 < 1.0 ? ".zz" : "");
            return FormatTickDateTime(BuildDateFormat(f.MonthName(), f.YearLength(), f.DateOrder(), f.DateSeparator()) +
                                          " " + time,
                                      value);
        }
        case ftTime: {
            std::string text = FormatSeconds(span < 1.0, value);
            if (!text.empty() && text.front() == ' ') text.erase(0, 1);
            return text;
        }
        default: break;
    }
    const double magnitude = std::fabs(value);
    const int axisDecimals = axis.Logarithmic() ? 0 : AutoDecPlaces(axis.DecPlaces(), axis.RangeLow(), axis.RangeHigh());
    std::string text;
    if (axisDecimals < 0 || (magnitude != 0.0 && (magnitude >= 1e9 || magnitude < 1e-5)))
        text = FormatTickNumber(value, -1);
    else
        text = FormatTickNumber(value, std::max(axisDecimals, PixelDecimals(span)));
    return ApplyInscript(text, axis.ScaleInscript());
}

// World units of one pixel at `value` on an axis `pixels` long.
double PixelSpan(const TScaleProps& axis, double value, int pixels)
{
    const double lo = axis.RangeLow();
    const double hi = axis.RangeHigh();
    if (pixels <= 0) return 0.0;
    if (axis.Logarithmic() && lo > 0.0 && hi > 0.0) return std::fabs(value * std::log(hi / lo)) / pixels;
    return std::fabs(hi - lo) / pixels;
}

}  // namespace

std::optional<TSeriesPoint> TCustomKurvo::NearestPoint(QPoint pixel, int maxDistancePx) const
{
    if (maxDistancePx < 0) return std::nullopt;
    const std::int64_t reach = std::min(maxDistancePx, 100000);
    TSearch search;
    search.Tx = pixel.x();
    search.Ty = pixel.y();
    search.Left = d->FMarginLeft;
    search.Top = d->FMarginTop;
    search.Right = Width() - d->FMarginRight - d->FShadowWidth;
    search.Bottom = Height() - d->FMarginBottom - d->FShadowWidth;
    search.Best = reach * reach + 1;
    const auto& list = d->FSeries->List;
    // Later series first: of two equally close points the later-drawn one wins.
    for (std::size_t i = list.size(); i-- > 0;) {
        const TSeriesPrivate& s = TSeriesPrivate::Get(*list[i]);
        if (!s.Visible || !d->FLayerVisible[static_cast<std::size_t>(s.Layer - 1)]) continue;
        search.Map = d->CanvasMap(s.Layer);
        search.Map.shiftX = 0;
        search.Map.shiftY = 0;
        search.Series = &s;
        if (s.View) {
            const TViewPoints points{*s.View};
            for (const TPiece& piece : s.View->Pieces) search.Visit(points, piece.From, piece.To);
            continue;
        }
        for (const TSegment& segment : s.Segments) {
            std::int64_t first, last;
            segment.CompactRange(s.Begin, first, last);
            if (first >= last) continue;
            TSegmentPoints points{segment, s.Begin};
            if (!s.XSorted) {
                segment.XPyramid.Extend(segment.Items->XValues());
                points.XPyramid = &segment.XPyramid;
            }
            search.Visit(points, first, last);
        }
    }
    if (search.BestSeries == nullptr) return std::nullopt;
    return TSeriesPoint{&search.BestSeries->q, search.BestIndex, search.BestX, search.BestY};
}

// -------------------------------------------------------------------- hover

namespace {

void ShowHover(TCustomKurvo& chart, const TSeriesPoint& p, int x, int y)
{
    const TSeriesPrivate& s = TSeriesPrivate::Get(*p.Series);
    const TScaleProps& sx = *chart.ScaleX(s.Layer);
    const TScaleProps& sy = *chart.ScaleY(s.Layer);
    const int w = chart.Width() - chart.MarginLeft() - chart.MarginRight() - chart.ShadowWidth();
    const int h = chart.Height() - chart.MarginTop() - chart.MarginBottom() - chart.ShadowWidth();
    std::string text = s.Name.empty() ? std::string() : s.Name + "\n";
    text += "x = " + AxisText(sx, p.X, PixelSpan(sx, p.X, w)) + "\ny = " + AxisText(sy, p.Y, PixelSpan(sy, p.Y, h));
    QToolTip::showText(chart.mapToGlobal(QPoint(x + 12, y + 12)), ToQString(text), &chart);
}

}  // namespace

void HoverMove(TCustomKurvo& chart, int x, int y)
{
    TSeriesSet& set = *TCustomKurvoPrivate::Get(chart).FSeries;
    if (!set.HoverTracking) return;
    set.Pointer = QPoint(x, y);
    const bool inside = x >= chart.MarginLeft() && x <= chart.Width() - chart.MarginRight() - chart.ShadowWidth() &&
                        y >= chart.MarginTop() && y <= chart.Height() - chart.MarginBottom() - chart.ShadowWidth();
    const std::optional<TSeriesPoint> found =
        inside ? chart.NearestPoint(QPoint(x, y), set.HoverDistance) : std::nullopt;
    if (found == set.Hovered) return;
    set.Hovered = found;
    if (found)
        ShowHover(chart, *found, x, y);
    else
        QToolTip::hideText();
    RaiseHoverChange(chart);
}

void HideHover(TCustomKurvo& chart)
{
    TSeriesSet& set = *TCustomKurvoPrivate::Get(chart).FSeries;
    if (!set.Hovered) return;
    set.Hovered.reset();
    QToolTip::hideText();
    RaiseHoverChange(chart);
}

void HoverLeave(TCustomKurvo& chart)
{
    TCustomKurvoPrivate::Get(chart).FSeries->Pointer.reset();
    HideHover(chart);
}

void RecheckHover(TCustomKurvo& chart)
{
    TSeriesSet& set = *TCustomKurvoPrivate::Get(chart).FSeries;
    if (!set.HoverTracking || !set.Pointer || set.RecheckQueued) return;
    set.RecheckQueued = true;
    // Queued: the handlers of the hover event run outside the paint. The
    // call is dropped with the chart.
    QMetaObject::invokeMethod(
        &chart,
        [&chart] {
            TSeriesSet& now = *TCustomKurvoPrivate::Get(chart).FSeries;
            now.RecheckQueued = false;
            if (!now.Pointer) return;
            try {
                HoverMove(chart, now.Pointer->x(), now.Pointer->y());
            } catch (...) {
                // A handler's error stays out of Qt's event loop.
            }
        },
        Qt::QueuedConnection);
}

void RaiseHoverChange(TCustomKurvo& chart)
{
    const std::optional<TSeriesPoint> p = TCustomKurvoPrivate::Get(chart).FSeries->Hovered;
    RaiseEvent(chart.OnHoverPointChange, std::tuple(&chart, p), chart, &TCustomKurvo::hoverPointChanged,
               p ? chart.IndexOfSeries(p->Series) : -1, static_cast<qint64>(p ? p->Index : -1),
               p ? QPointF(p->X, p->Y) : QPointF());
}

}  // namespace kurvo
