// Series: their points (a ring when they have a capacity) and their look.
#include "chart/series.h"

#include "base/errors.h"
#include "canvas/qt_interop.h"
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "chart/series_private.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kurvo {

namespace {

// A container holding this many dropped points more than the capacity is
// rebuilt: at least the capacity, so that rebuilding costs a constant per
// appended point, and at least a few thousand, so that small rings are not
// rebuilt at every point.
constexpr std::int64_t kMinRebuildSlack = 4096;
// Points copied per step when a container is rebuilt.
constexpr std::int64_t kCopyBlock = 65536;

bool Finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

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

// Repaints when AutoRedraw is on; otherwise the next paint event repaints.
void RepaintChart(TCustomKurvo& chart)
{
    if (chart.AutoRedraw())
        chart.RepaintIfAutoRedraw();
    else
        chart.MarkStale();
}

}  // namespace

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

void TSeriesPrivate::AppendPoints(const double* x, const double* y, std::int64_t n)
{
    if (n <= 0) return;
    // Points that the ring would drop at once are never stored.
    if (n > Capacity) {
        x += n - Capacity;
        y += n - Capacity;
        n = Capacity;
    }
    Items->AppendLinePoints(Attributes(), x, y, n);
    bool sorted = XSorted;
    double last = LastX;
    for (std::int64_t i = 0; i < n; ++i) {
        if (!Finite(x[i], y[i])) continue;
        sorted = sorted && !(x[i] < last);
        last = x[i];
    }
    XSorted = sorted;
    LastX = last;
    Trim(false);
    DataChanged();
}

void TSeriesPrivate::Trim(bool force)
{
    if (Capacity != TKurvoSeries::Unlimited) Base = std::max(Base, Items->Size() - Capacity);
    if (force || (Base > 0 && Base >= std::max(Capacity, kMinRebuildSlack))) Rebuild();
}

void TSeriesPrivate::Rebuild()
{
    auto fresh = std::make_unique<TKvItemContainer>();
    const TkvChartItem attributes = Attributes();
    const std::int64_t n = Count();
    std::vector<double> xs, ys;
    xs.reserve(static_cast<std::size_t>(std::min(n, kCopyBlock)));
    ys.reserve(xs.capacity());
    bool sorted = true;
    double last = std::numeric_limits<double>::quiet_NaN();
    for (std::int64_t from = 0; from < n; from += kCopyBlock) {
        xs.clear();
        ys.clear();
        ForEachPoint(from, std::min(n, from + kCopyBlock), [&](std::int64_t, double x, double y) {
            xs.push_back(x);
            ys.push_back(y);
            if (!Finite(x, y)) return;
            sorted = sorted && !(x < last);
            last = x;
        });
        fresh->AppendLinePoints(attributes, xs.data(), ys.data(), static_cast<std::int64_t>(xs.size()));
    }
    Items = std::move(fresh);
    Base = 0;
    XSorted = sorted;
    LastX = last;
    AttributesStale = false;
    XPyramid.Clear();
    CompactRunsFor = static_cast<std::size_t>(-1);
}

void TSeriesPrivate::Refresh()
{
    if (AttributesStale) Rebuild();
}

void TSeriesPrivate::CompactRange(std::int64_t& first, std::int64_t& last) const
{
    last = Items->XValues().Size();
    first = last;
    for (const TItemRun& run : Items->Runs()) {
        if (run.First + run.Count <= Base || !run.Compact()) continue;
        first = run.Offset + std::max<std::int64_t>(0, Base - run.First);
        return;
    }
}

std::int64_t TSeriesPrivate::PointOfCompact(std::int64_t k) const
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
    return it->second + (k - it->first) - Base;
}

std::int64_t TSeriesPrivate::LowerBoundX(double x) const
{
    std::int64_t lo, hi;
    CompactRange(lo, hi);
    if (lo >= hi) return Count();
    const TChunkedDoubles& xs = Items->XValues();
    const std::int64_t end = hi;
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (xs[mid] < x)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo == end ? Count() : PointOfCompact(lo);
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
    // Built aside first: a failed allocation leaves the old points.
    auto fresh = std::make_unique<TKvItemContainer>();
    std::swap(fresh, d->Items);
    const std::int64_t base = d->Base;
    const bool sorted = d->XSorted;
    const double last = d->LastX;
    d->Base = 0;
    d->XSorted = true;
    d->LastX = std::numeric_limits<double>::quiet_NaN();
    try {
        d->AppendPoints(x.data(), y.data(), static_cast<std::int64_t>(x.size()));
    } catch (...) {
        std::swap(fresh, d->Items);
        d->Base = base;
        d->XSorted = sorted;
        d->LastX = last;
        throw;
    }
    d->AttributesStale = false;
    d->XPyramid.Clear();
    d->CompactRunsFor = static_cast<std::size_t>(-1);
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

void TKurvoSeries::Append(double x, double y) { d->AppendPoints(&x, &y, 1); }

void TKurvoSeries::Append(std::span<const double> x, std::span<const double> y)
{
    CheckLengths("Append", x.size(), y.size());
    d->AppendPoints(x.data(), y.data(), static_cast<std::int64_t>(x.size()));
}

void TKurvoSeries::Clear()
{
    d->Items = std::make_unique<TKvItemContainer>();
    d->Base = 0;
    d->XSorted = true;
    d->LastX = std::numeric_limits<double>::quiet_NaN();
    d->AttributesStale = false;
    d->XPyramid.Clear();
    d->CompactRunsFor = static_cast<std::size_t>(-1);
    d->DataChanged();
}

std::int64_t TKurvoSeries::Count() const { return d->Count(); }

double TKurvoSeries::X(std::int64_t index) const
{
    if (index < 0 || index >= Count())
        throw EQornKurvoError("X: index " + std::to_string(index) + " is outside 0 ... " +
                              std::to_string(Count() - 1) + ".");
    return d->Items->Item(d->Base + index).X;
}

double TKurvoSeries::Y(std::int64_t index) const
{
    if (index < 0 || index >= Count())
        throw EQornKurvoError("Y: index " + std::to_string(index) + " is outside 0 ... " +
                              std::to_string(Count() - 1) + ".");
    return d->Items->Item(d->Base + index).Y;
}

std::optional<TDataRange> TKurvoSeries::DataRange() const
{
    std::int64_t first, last;
    d->CompactRange(first, last);
    if (first >= last) return std::nullopt;
    TDataRange r;
    d->Items->YPyramid().Query(d->Items->YValues(), first, last, r.YMin, r.YMax);
    const TChunkedDoubles& xs = d->Items->XValues();
    if (d->XSorted) {
        r.XMin = xs[first];
        r.XMax = xs[last - 1];
    } else {
        d->XPyramid.Extend(xs);
        d->XPyramid.Query(xs, first, last, r.XMin, r.XMax);
    }
    return r;
}

std::int64_t TKurvoSeries::Capacity() const { return d->Capacity; }

void TKurvoSeries::SetCapacity(std::int64_t n)
{
    if (n < 1)
        throw EQornKurvoError("SetCapacity: a series keeps at least 1 point (" + std::to_string(n) +
                              " given); TKurvoSeries::Unlimited keeps every point.");
    if (n == d->Capacity) return;
    const bool lowered = n < d->Count();
    d->Capacity = n;
    if (lowered) {
        d->Trim(false);
        d->DataChanged();
    }
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
    if (d->Chart.OnSeriesChange) d->Chart.OnSeriesChange(&d->Chart, this);
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
