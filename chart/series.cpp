// Series: their points (a ring when they have a capacity) and their look.
#include "chart/series.h"

#include "base/errors.h"
#include "canvas/qt_interop.h"
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "chart/raise_event.h"
#include "chart/series_private.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kurvo {

namespace {

// A ring keeps its points in segments of an eighth of its capacity (at
// most that much memory beyond it), and of at least a few thousand points,
// so that small rings are not segments of a point each.
constexpr std::int64_t kSegmentsPerRing = 8;
constexpr std::int64_t kMinSegment = 4096;
// Points copied per step when a container is rebuilt with a new look.
constexpr std::int64_t kCopyBlock = 65536;


TPenStyle ToPenStyle(Qt::PenStyle style)
{
    switch (style) {
        case Qt::NoPen: return psClear;
        case Qt::DashLine: return psDash;
        case Qt::DotLine: return psDot;
        case Qt::DashDotLine: return psDashDot;
        case Qt::DashDotDotLine: return psDashDotDot;
        default: return psSolid;
    }
}

Qt::PenStyle ToQtPenStyle(TPenStyle style)
{
    switch (style) {
        case psClear: return Qt::NoPen;
        case psDash: return Qt::DashLine;
        case psDot: return Qt::DotLine;
        case psDashDot: return Qt::DashDotLine;
        case psDashDotDot: return Qt::DashDotDotLine;
        default: return Qt::SolidLine;
    }
}

void CheckLengths(const char* what, std::size_t nx, std::size_t ny)
{
    if (nx != ny)
        throw EQornKurvoError(std::string(what) + ": " + std::to_string(nx) + " X values but " + std::to_string(ny) +
                              " Y values; both must have the same length.");
}

}  // namespace

void RepaintChart(TCustomKurvo& chart)
{
    if (chart.AutoRedraw())
        chart.RepaintIfAutoRedraw();
    else
        chart.MarkStale();
}

// ------------------------------------------------------------ private part

TkvChartItem TSeriesPrivate::Attributes() const
{
    TkvChartItem item{};
    item.Kind = ikLineTo;
    item.Layer = Layer;
    item.Color = PenColor;
    item.FillColor = FillColor();
    item.PenStyle = PenStyle;
    item.LineWidth = PenWidth;
    return item;
}

TColor TSeriesPrivate::FillColor() const
{
    if (Brush.isValid()) return FromQColor(Brush);
    const QColor pen = ToQColor(PenColor);
    const auto tint = [](int c) { return static_cast<int>(std::lround(0.35 * c + 0.65 * 255)); };
    return FromQColor(QColor(tint(pen.red()), tint(pen.green()), tint(pen.blue())));
}

// ---------------------------------------------------------------- segments

void TSegment::CompactRange(std::int64_t from, std::int64_t& first, std::int64_t& last) const
{
    last = Items->XValues().Size();
    first = last;
    const std::int64_t a = from - Start;
    for (const TItemRun& run : Items->Runs()) {
        if (run.First + run.Count <= a || !run.Compact()) continue;
        first = run.Offset + std::max<std::int64_t>(0, a - run.First);
        return;
    }
}

std::int64_t TSegment::PointOfCompact(std::int64_t k) const
{
    const auto& runs = Items->Runs();
    if (CompactRunsFor != runs.size()) {
        CompactRuns.clear();
        for (const TItemRun& run : runs)
            if (run.Compact()) CompactRuns.emplace_back(run.Offset, run.First);
        CompactRunsFor = runs.size();
    }
    auto it = std::upper_bound(CompactRuns.begin(), CompactRuns.end(), k,
                               [](std::int64_t v, const std::pair<std::int64_t, std::int64_t>& r) { return v < r.first; });
    --it;
    return Start + it->second + (k - it->first);
}

std::int64_t TSeriesPrivate::SegmentSize() const
{
    return Capacity == TKurvoSeries::Unlimited ? TKurvoSeries::Unlimited
                                               : std::max(kMinSegment, Capacity / kSegmentsPerRing);
}

void TSeriesPrivate::NoteOrder(const TSegment& segment, std::size_t runs, std::int64_t count)
{
    const auto& all = segment.Items->Runs();
    const TChunkedDoubles& xs = segment.Items->XValues();
    for (std::size_t r = runs > 0 ? runs - 1 : 0; r < all.size(); ++r) {
        const TItemRun& run = all[r];
        if (!run.Compact()) continue;
        // A run that was there before compared its new points with its last.
        const bool extended = r + 1 == runs && count > 0;
        XSorted = XSorted && run.XRising && (extended || !(xs[run.Offset] < LastX));
        LastX = xs[run.Offset + run.Count - 1];
    }
}

void TSeriesPrivate::AppendPoints(const double* x, const double* y, std::int64_t n)
{
    if (n <= 0) return;
    // Points that the ring would drop at once are never stored.
    if (n > Capacity) {
        x += n - Capacity;
        y += n - Capacity;
        n = Capacity;
    }
    // All or nothing: a failure cuts the segments back to where they were.
    const std::size_t segments = Segments.size();
    const std::int64_t size = Segments.back().Items->Size();
    const bool sorted = XSorted;
    const double last = LastX;
    try {
        const TkvChartItem attributes = Attributes();
        while (n > 0) {
            if (Segments.back().Items->Size() >= SegmentSize()) {
                TSegment next;
                next.Start = End();
                Segments.push_back(std::move(next));
            }
            TSegment& segment = Segments.back();
            const std::int64_t take = std::min(n, SegmentSize() - segment.Items->Size());
            const auto& runs = segment.Items->Runs();
            const std::size_t before = runs.size();
            const std::int64_t count = before > 0 ? runs.back().Count : 0;
            segment.Items->AppendPoints(attributes, x, y, take);
            NoteOrder(segment, before, count);
            x += take;
            y += take;
            n -= take;
        }
    } catch (...) {
        Segments.resize(segments);
        Segments.back().Items->Truncate(size);
        Segments.back().CompactRunsFor = static_cast<std::size_t>(-1);
        XSorted = sorted;
        LastX = last;
        throw;
    }
    Drop();
    DataChanged();
}

void TSeriesPrivate::Drop()
{
    if (Capacity != TKurvoSeries::Unlimited) Begin = std::max(Begin, End() - Capacity);
    std::size_t emptied = 0;
    while (emptied + 1 < Segments.size() && Segments[emptied].End() <= Begin) ++emptied;
    Segments.erase(Segments.begin(), Segments.begin() + static_cast<std::ptrdiff_t>(emptied));
}

void TSeriesPrivate::Reset()
{
    Segments = std::vector<TSegment>(1);
    Begin = 0;
    XSorted = true;
    LastX = std::numeric_limits<double>::quiet_NaN();
    AttributesStale = false;
}

void TSeriesPrivate::Refresh()
{
    if (!AttributesStale) return;
    const TkvChartItem attributes = Attributes();
    std::vector<double> xs, ys;
    for (TSegment& segment : Segments) {
        auto fresh = std::make_unique<TKvItemContainer>();
        const std::int64_t from = std::max(Begin, segment.Start);
        for (std::int64_t a = from; a < segment.End(); a += kCopyBlock) {
            xs.clear();
            ys.clear();
            ForEachPoint(a - Begin, std::min(segment.End(), a + kCopyBlock) - Begin,
                         [&](std::int64_t, double x, double y) {
                             xs.push_back(x);
                             ys.push_back(y);
                         });
            fresh->AppendPoints(attributes, xs.data(), ys.data(), static_cast<std::int64_t>(xs.size()));
        }
        segment.Items = std::move(fresh);
        segment.Start = from;
        segment.XPyramid.Clear();
        segment.CompactRunsFor = static_cast<std::size_t>(-1);
    }
    AttributesStale = false;
}

const TSegment& TSeriesPrivate::SegmentOf(std::int64_t number) const
{
    const auto it = std::upper_bound(Segments.begin(), Segments.end(), number,
                                     [](std::int64_t v, const TSegment& s) { return v < s.Start; });
    return *(it - 1);
}

std::int64_t TSeriesPrivate::LowerBoundX(double x) const
{
    if (View) {
        // Finite X never fall: the first stretch reaching x, then the point in it.
        const TKurvoSampleView& v = View->View;
        const auto& pieces = View->Pieces;
        const auto p = std::partition_point(pieces.begin(), pieces.end(),
                                            [&](const TPiece& piece) { return v.X(piece.To - 1) < x; });
        if (p == pieces.end()) return Count();
        std::int64_t lo = p->From, hi = p->To - 1;
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (v.X(mid) < x)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }
    for (const TSegment& segment : Segments) {
        std::int64_t lo, hi;
        segment.CompactRange(Begin, lo, hi);
        const TChunkedDoubles& xs = segment.Items->XValues();
        if (lo >= hi || xs[hi - 1] < x) continue;
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (xs[mid] < x)
                lo = mid + 1;
            else
                hi = mid;
        }
        return segment.PointOfCompact(lo) - Begin;
    }
    return Count();
}

void TSeriesPrivate::DataChanged()
{
    if (Follow) FollowPending = true;
    Chart.Invalidate();
}

void TSeriesPrivate::LookChanged(bool attributes)
{
    if (attributes) AttributesStale = true;
    RepaintChart(Chart);
}

// ------------------------------------------------------------------ series

TKurvoSeries::TKurvoSeries(TCustomKurvo& chart, std::string_view name, int layer) :
    d(std::make_unique<TSeriesPrivate>(*this, chart))
{
    d->Name = std::string(name);
    d->Layer = layer;
}

TKurvoSeries::~TKurvoSeries() = default;

TCustomKurvo* TKurvoSeries::Chart() const { return &d->Chart; }

void TKurvoSeries::SetData(std::span<const double> x, std::span<const double> y)
{
    CheckLengths("SetData", x.size(), y.size());
    // Built aside first: a failed allocation leaves the old points (or view).
    std::unique_ptr<TLineView> view = std::move(d->View);
    std::vector<TSegment> old = std::move(d->Segments);
    const std::int64_t begin = d->Begin;
    const bool sorted = d->XSorted;
    const double last = d->LastX;
    const bool stale = d->AttributesStale;
    d->Reset();
    try {
        d->AppendPoints(x.data(), y.data(), static_cast<std::int64_t>(x.size()));
    } catch (...) {
        d->Segments = std::move(old);
        d->Begin = begin;
        d->XSorted = sorted;
        d->LastX = last;
        d->AttributesStale = stale;
        d->View = std::move(view);
        throw;
    }
    d->DataChanged();
}

void TKurvoSeries::SetData(std::span<const QPointF> points)
{
    std::vector<double> x(points.size()), y(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        x[i] = points[i].x();
        y[i] = points[i].y();
    }
    SetData(x, y);
}

namespace {

void CheckNoView(const TSeriesPrivate& s, const char* what)
{
    if (s.View)
        throw EQornKurvoError(std::string(what) + ": the series reads its points from the program's samples (SetView); "
                              "change them and call DataChanged, or give the series points of its own with SetData.");
}

}  // namespace

void TKurvoSeries::Append(double x, double y)
{
    CheckNoView(*d, "Append");
    d->AppendPoints(&x, &y, 1);
}

void TKurvoSeries::Append(std::span<const double> x, std::span<const double> y)
{
    CheckNoView(*d, "Append");
    CheckLengths("Append", x.size(), y.size());
    d->AppendPoints(x.data(), y.data(), static_cast<std::int64_t>(x.size()));
}

void TKurvoSeries::Clear()
{
    d->View.reset();
    d->Reset();
    d->DataChanged();
}

std::int64_t TKurvoSeries::Count() const { return d->Count(); }

double TKurvoSeries::X(std::int64_t index) const
{
    if (index < 0 || index >= Count())
        throw EQornKurvoError("X: index " + std::to_string(index) + " is outside 0 ... " +
                              std::to_string(Count() - 1) + ".");
    if (d->View) return d->View->View.X(index);
    const TSegment& segment = d->SegmentOf(d->Begin + index);
    return segment.Items->Item(d->Begin + index - segment.Start).X;
}

double TKurvoSeries::Y(std::int64_t index) const
{
    if (index < 0 || index >= Count())
        throw EQornKurvoError("Y: index " + std::to_string(index) + " is outside 0 ... " +
                              std::to_string(Count() - 1) + ".");
    if (d->View) return d->View->View.Y(index);
    const TSegment& segment = d->SegmentOf(d->Begin + index);
    return segment.Items->Item(d->Begin + index - segment.Start).Y;
}

std::optional<TDataRange> TKurvoSeries::DataRange() const
{
    if (d->View) {
        const TLineView& v = *d->View;
        if (v.Pieces.empty()) return std::nullopt;
        return TDataRange{v.XMin, v.XMax, v.YMin, v.YMax};
    }
    std::optional<TDataRange> range;
    for (const TSegment& segment : d->Segments) {
        std::int64_t first, last;
        segment.CompactRange(d->Begin, first, last);
        if (first >= last) continue;
        TDataRange r;
        segment.Items->YPyramid().Query(segment.Items->YValues(), first, last, r.YMin, r.YMax);
        const TChunkedDoubles& xs = segment.Items->XValues();
        if (d->XSorted) {
            r.XMin = xs[first];
            r.XMax = xs[last - 1];
        } else {
            segment.XPyramid.Extend(xs);
            segment.XPyramid.Query(xs, first, last, r.XMin, r.XMax);
        }
        if (range) {
            r.XMin = std::min(r.XMin, range->XMin);
            r.XMax = std::max(r.XMax, range->XMax);
            r.YMin = std::min(r.YMin, range->YMin);
            r.YMax = std::max(r.YMax, range->YMax);
        }
        range = r;
    }
    return range;
}

std::int64_t TKurvoSeries::Capacity() const { return d->Capacity; }

void TKurvoSeries::SetCapacity(std::int64_t n)
{
    if (n < 1)
        throw EQornKurvoError("SetCapacity: a series keeps at least 1 point (" + std::to_string(n) +
                              " given); TKurvoSeries::Unlimited keeps every point.");
    if (n == d->Capacity) return;
    CheckNoView(*d, "SetCapacity");
    const bool lowered = n < d->Count();
    d->Capacity = n;
    if (!lowered) return;
    d->Drop();
    // A long segment from before the limit is copied down to what is kept
    // rather than held until all its points have gone.
    if (d->Segments.front().Items->Size() > 2 * n + kMinSegment) {
        std::vector<double> xs, ys;
        xs.reserve(static_cast<std::size_t>(d->Count()));
        ys.reserve(xs.capacity());
        d->ForEachPoint(0, d->Count(), [&](std::int64_t, double x, double y) {
            xs.push_back(x);
            ys.push_back(y);
        });
        SetData(xs, ys);
    }
    d->DataChanged();
}

bool TKurvoSeries::FollowNewest() const { return d->Follow; }

void TKurvoSeries::SetFollowNewest(bool value)
{
    d->Follow = value;
    d->FollowPending = value;
    RepaintChart(d->Chart);
}

const std::string& TKurvoSeries::Name() const { return d->Name; }

void TKurvoSeries::SetName(std::string_view value)
{
    d->Name = std::string(value);
    d->LookChanged(false);
}

void TKurvoSeries::SetName(const QString& value) { SetName(FromQString(value)); }

int TKurvoSeries::Layer() const { return d->Layer; }

void TKurvoSeries::SetLayer(int value)
{
    if (value < 1 || value > LayerCount)
        throw EQornKurvoError("SetLayer: layer " + std::to_string(value) + " is outside 1 ... 16.");
    if (value == d->Layer) return;
    d->Layer = value;
    d->LookChanged(true);
}

bool TKurvoSeries::Visible() const { return d->Visible; }

void TKurvoSeries::SetVisible(bool value)
{
    if (value == d->Visible) return;
    d->Visible = value;
    d->LookChanged(false);
    RaiseEvent(d->Chart.OnSeriesChange, std::tuple(&d->Chart, this), d->Chart, &TCustomKurvo::seriesChanged,
               d->Chart.IndexOfSeries(this));
}

void TKurvoSeries::SetPen(const QColor& color, int width, Qt::PenStyle style)
{
    if (!color.isValid()) throw EQornKurvoError("SetPen: the colour is not valid.");
    d->PenColor = FromQColor(color);
    d->PenWidth = std::clamp(width, 1, MaxItemPenWidth);
    d->PenStyle = ToPenStyle(style);
    d->LookChanged(true);
}

QColor TKurvoSeries::PenColor() const { return ToQColor(d->PenColor); }

int TKurvoSeries::PenWidth() const { return d->PenWidth; }

Qt::PenStyle TKurvoSeries::PenStyle() const { return ToQtPenStyle(d->PenStyle); }

QColor TKurvoSeries::Brush() const { return d->Brush; }

void TKurvoSeries::SetBrush(const QColor& color)
{
    d->Brush = color.isValid() ? color.toRgb() : QColor();
    d->LookChanged(true);
}

void TKurvoSeries::SetMark(TMark mark, int sizePx)
{
    if (static_cast<int>(mark) > MarkType(TMark::Target))
        throw EQornKurvoError("SetMark: " + std::to_string(static_cast<int>(mark)) + " is not a mark.");
    if (sizePx < 0 || sizePx > MaxMarkSize)
        throw EQornKurvoError("SetMark: a mark size of " + std::to_string(sizePx) + " pixels is outside 0 ... " +
                              std::to_string(MaxMarkSize) + ".");
    d->Mark = mark;
    d->MarkSize = sizePx;
    d->LookChanged(false);
}

TMark TKurvoSeries::Mark() const { return d->Mark; }

int TKurvoSeries::MarkSize() const { return d->MarkSize; }

TSeriesStyle TKurvoSeries::Style() const { return d->Style; }

void TKurvoSeries::SetStyle(TSeriesStyle value)
{
    if (static_cast<int>(value) > static_cast<int>(TSeriesStyle::Area))
        throw EQornKurvoError("SetStyle: " + std::to_string(static_cast<int>(value)) + " is not a series style.");
    d->Style = value;
    d->LookChanged(false);
}

double TKurvoSeries::Baseline() const { return d->Baseline; }

void TKurvoSeries::SetBaseline(double value)
{
    if (!std::isfinite(value)) throw EQornKurvoError("SetBaseline: the baseline must be a finite number.");
    d->Baseline = value;
    d->LookChanged(false);
}

double TKurvoSeries::BarWidth() const { return d->BarWidth; }

void TKurvoSeries::SetBarWidth(double value)
{
    if (!(value >= 0.0) || !std::isfinite(value))
        throw EQornKurvoError("SetBarWidth: the width must be a finite number >= 0 (0 chooses it).");
    d->BarWidth = value;
    d->LookChanged(false);
}

const TKurvoSeries* TKurvoSeries::FillTo() const { return d->FillTo; }

void TKurvoSeries::SetFillTo(const TKurvoSeries* other)
{
    if (other == this) throw EQornKurvoError("SetFillTo: a series cannot be filled to itself.");
    if (other != nullptr && d->Chart.IndexOfSeries(other) < 0)
        throw EQornKurvoError("SetFillTo: the series does not belong to this series' chart.");
    d->FillTo = other;
    d->LookChanged(false);
}

}  // namespace kurvo
