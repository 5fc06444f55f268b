// The state behind TKurvoSeries, TKurvoLegend and the chart's list of
// series. Internal: included by the library's sources and its tests only.
#pragma once

#include "chart/display_list.h"
#include "chart/legend.h"
#include "chart/line_view.h"
#include "chart/series.h"
#include "canvas/custom_control.h"

#include <QPoint>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kurvo {

class TCanvas;

/// A stretch of a series' points in one container of line-to items.
struct TSegment {
    std::unique_ptr<TKvItemContainer> Items = std::make_unique<TKvItemContainer>();
    std::int64_t Start = 0;  ///< number of the point of item 0
    /// Min and max of the compact X values, built on demand (unsorted X).
    mutable TMinMaxPyramid XPyramid;
    /// Compact runs as (first compact index, first item), rebuilt when the
    /// run table changed.
    mutable std::vector<std::pair<std::int64_t, std::int64_t>> CompactRuns;
    mutable std::size_t CompactRunsFor = static_cast<std::size_t>(-1);

    /// Number after its last point.
    std::int64_t End() const { return Start + Items->Size(); }
    /// Compact index range [first, last) of its points numbered `from` and later.
    void CompactRange(std::int64_t from, std::int64_t& first, std::int64_t& last) const;
    /// The number of the point stored as compact value `k`.
    std::int64_t PointOfCompact(std::int64_t k) const;
};

class TSeriesPrivate {
public:
    TSeriesPrivate(TKurvoSeries& owner, TCustomKurvo& chart) : q(owner), Chart(chart) {}

    /// A new series of `chart` (the constructor is the chart's own).
    static std::unique_ptr<TKurvoSeries> Make(TCustomKurvo& chart, std::string_view name, int layer)
    {
        return std::unique_ptr<TKurvoSeries>(new TKurvoSeries(chart, name, layer));
    }
    static TSeriesPrivate& Get(TKurvoSeries& s) { return *s.d; }
    static const TSeriesPrivate& Get(const TKurvoSeries& s) { return *s.d; }

    TKurvoSeries& q;
    TCustomKurvo& Chart;

    // ---- look
    std::string Name;
    int Layer = 1;
    bool Visible = true;
    TColor PenColor = 0;
    int PenWidth = 1;
    TPenStyle PenStyle = psSolid;
    QColor Brush;  // invalid: a tint of the pen colour
    TMark Mark = TMark::FilledCircle;
    int MarkSize = 0;
    TSeriesStyle Style = TSeriesStyle::Line;
    double Baseline = 0.0;
    double BarWidth = 0.0;
    const TKurvoSeries* FillTo = nullptr;

    // ---- points
    // The points are line-to items of containers: finite points in their
    // compact runs (X and Y arrays, the attributes once), gaps as whole
    // records, so that the line path of long runs draws them as it draws a
    // polyline of the display list. Points are counted from 0 for the
    // series' first point ever; Begin is the first one kept. Without a
    // capacity there is one segment; with one, segments of an eighth of it,
    // and a ring drops whole segments once all their points are older than
    // Begin, so that appending never copies points.
    std::vector<TSegment> Segments = std::vector<TSegment>(1);
    std::int64_t Begin = 0;
    std::int64_t Capacity = TKurvoSeries::Unlimited;
    bool Follow = false;
    bool FollowPending = false;
    /// The finite X values kept never fall (they may once points are dropped).
    bool XSorted = true;
    /// Last finite X appended (NaN before the first).
    double LastX = std::numeric_limits<double>::quiet_NaN();
    /// The stored attributes no longer match the look: the containers are
    /// rebuilt before the next drawing.
    bool AttributesStale = false;
    /// The program's samples the points are read from (SetView) with their
    /// per-column structures; null while the series keeps points of its
    /// own. While set, the containers above hold nothing.
    std::unique_ptr<TLineView> View;

    /// The line-to record the points are stored with (X, Y unused).
    TkvChartItem Attributes() const;
    /// Number after the newest point.
    std::int64_t End() const { return Segments.back().End(); }
    /// Points kept, or read from the view.
    std::int64_t Count() const { return View ? View->Ready : End() - Begin; }
    /// Takes the order and newest X of the view's points after it was set or changed.
    void ViewChanged();
    /// Appends finite or non-finite points; all or nothing.
    void AppendPoints(const double* x, const double* y, std::int64_t n);
    /// Drops the points beyond the capacity and the segments they emptied.
    void Drop();
    /// Forgets every point.
    void Reset();
    /// Rebuilds the containers when the attributes are stale.
    void Refresh();
    /// The segment holding point number `number` (Begin <= number < End()).
    const TSegment& SegmentOf(std::int64_t number) const;
    /// Calls f(pointIndex, x, y) for points [from, to) in order, gaps included.
    template <class F>
    void ForEachPoint(std::int64_t from, std::int64_t to, F&& f) const;
    /// Calls f(firstIndex, xs, ys, n) for points [from, to) in order, gaps
    /// included, in stretches of n points whose X and Y lie in arrays.
    template <class F>
    void ForEachStretch(std::int64_t from, std::int64_t to, F&& f) const;
    /// The first point whose X is >= x (finite X sorted); Count() if none.
    std::int64_t LowerBoundX(double x) const;
    /// Data changed: ask the chart for a repaint.
    void DataChanged();
    /// The look changed: repaint when AutoRedraw is on.
    void LookChanged(bool attributes);
    /// The fill colour of bars and areas.
    TColor FillColor() const;

private:
    /// Takes the order of the points just appended to `segment`, whose run
    /// table held `runs` runs before (the last of them `count` items).
    void NoteOrder(const TSegment& segment, std::size_t runs, std::int64_t count);
    /// Points per segment.
    std::int64_t SegmentSize() const;
};

template <class F>
void TSeriesPrivate::ForEachPoint(std::int64_t from, std::int64_t to, F&& f) const
{
    ForEachStretch(from, to, [&f](std::int64_t first, const double* xs, const double* ys, std::int64_t n) {
        for (std::int64_t j = 0; j < n; ++j) f(first + j, xs[j], ys[j]);
    });
}

template <class F>
void TSeriesPrivate::ForEachStretch(std::int64_t from, std::int64_t to, F&& f) const
{
    if (View) {
        // The view's samples converted block by block into arrays.
        constexpr std::int64_t kBlock = 256;
        double xs[kBlock], ys[kBlock];
        const TKurvoSampleView& v = View->View;
        for (std::int64_t i = from; i < to;) {
            const std::int64_t n = std::min(kBlock, to - i);
            for (std::int64_t j = 0; j < n; ++j) {
                xs[j] = v.X(i + j);
                ys[j] = v.Y(i + j);
            }
            f(i, xs, ys, n);
            i += n;
        }
        return;
    }
    const std::int64_t first = Begin + from;
    const std::int64_t last = Begin + to;
    for (const TSegment& segment : Segments) {
        if (segment.End() <= first) continue;
        if (segment.Start >= last) break;
        const TKvItemContainer& items = *segment.Items;
        const std::int64_t a0 = std::max(first, segment.Start) - segment.Start;
        const std::int64_t b0 = std::min(last, segment.End()) - segment.Start;
        const auto& runs = items.Runs();
        // The run holding a0: runs are ordered by their first item.
        std::size_t r = 0;
        for (std::size_t lo = 0, hi = runs.size(); lo < hi;) {
            const std::size_t mid = (lo + hi) / 2;
            if (runs[mid].First <= a0) {
                r = mid;
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        for (; r < runs.size() && runs[r].First < b0; ++r) {
            const TItemRun& run = runs[r];
            const std::int64_t a = std::max(a0, run.First);
            const std::int64_t b = std::min(b0, run.First + run.Count);
            const std::int64_t shift = segment.Start - Begin;
            if (run.Compact()) {
                // X and Y of a point lie at one index of their chunked arrays.
                for (std::int64_t i = a; i < b;) {
                    const std::int64_t k = run.Offset + (i - run.First);
                    std::int64_t nx, ny;
                    const double* xs = items.XValues().Contiguous(k, nx);
                    const double* ys = items.YValues().Contiguous(k, ny);
                    const std::int64_t n = std::min({b - i, nx, ny});
                    f(i + shift, xs, ys, n);
                    i += n;
                }
            } else {
                for (std::int64_t i = a; i < b; ++i) {
                    const TkvChartItem& item = items.PlainItem(run.Offset + (i - run.First));
                    f(i + shift, &item.X, &item.Y, std::int64_t{1});
                }
            }
        }
    }
}

/// One legend entry as laid out: the series and its rectangle.
struct TLegendEntry {
    TKurvoSeries* Series = nullptr;
    QRect Rect;  ///< control pixels
};

/// A legend laid out on a canvas.
struct TLegendLayout {
    QRect Box;  ///< control pixels; empty without entries
    int RowHeight = 0;
    int SampleWidth = 0;
    std::vector<TLegendEntry> Entries;
};

class TLegendPrivate {
public:
    TLegendPrivate(TKurvoLegend& owner, TCustomKurvo& chart) : q(owner), Chart(chart) {}
    static TLegendPrivate& Get(TKurvoLegend& l) { return *l.d; }
    static const TLegendPrivate& Get(const TKurvoLegend& l) { return *l.d; }

    TKurvoLegend& q;
    TCustomKurvo& Chart;
    bool Visible = false;
    TLegendPlacement Placement = TLegendPlacement::InsideTopRight;
    QColor FrameColor = Qt::black;
    QColor BackgroundColor = Qt::white;
    QColor TextColor = Qt::black;
    TFont Font;
    bool ClickToggles = false;

    /// Lays the legend out with the font metrics of `canvas`.
    TLegendLayout Layout(TCanvas& canvas) const;
    /// Draws the legend when its placement is inside (`inside`) or outside
    /// the data area; `shiftX`, `shiftY` turn control pixels into canvas pixels.
    void Draw(TCanvas& canvas, bool inside, int shiftX, int shiftY) const;
    /// Copies the settings of another legend.
    void CopyFrom(const TLegendPrivate& other);
};

// The series' part in the chart's paint, mouse handling and lifecycle.

/// A changed look: repaints when AutoRedraw is on, else marks the picture
/// stale for the next paint event.
void RepaintChart(TCustomKurvo& chart);
/// Draws the shown series in the data area (series_render.cpp).
void RenderSeries(TCustomKurvo& chart, TCanvas& canvas, bool monochrome);
/// Moves the X range of layers whose series follow their newest point.
void ApplySeriesFollow(TCustomKurvo& chart);
/// Draws the legend when it lies inside (`inside`) or outside the data area;
/// (shiftX, shiftY) turns control pixels into pixels of `canvas`.
void DrawLegend(TCustomKurvo& chart, TCanvas& canvas, bool inside, int shiftX, int shiftY);
/// A press on the legend: toggles and reports an entry; true when the press
/// starts no mouse action.
bool LegendMouseDown(TCustomKurvo& chart, TMouseButton button, int x, int y);
/// The hover after a pointer move to (x, y) (nearest_point.cpp).
void HoverMove(TCustomKurvo& chart, int x, int y);
/// Ends the hover: no point, no tool tip.
void HideHover(TCustomKurvo& chart);
/// The pointer left the control: the hover ends and no new picture restarts it.
void HoverLeave(TCustomKurvo& chart);
/// After a paint: while the pointer rests on the chart, the hover looks
/// again (from the event loop) at what now lies under it, as the data or
/// the view may have moved.
void RecheckHover(TCustomKurvo& chart);
/// Raises OnHoverPointChange and hoverPointChanged with the hovered point.
void RaiseHoverChange(TCustomKurvo& chart);
/// Deletes every series and restores the legend and hover defaults.
void ResetSeries(TCustomKurvo& chart);
/// Replaces the series, legend and hover settings of `to` by copies of those of `from`.
void CopySeries(TCustomKurvo& to, const TCustomKurvo& from);

/// The chart's series, legend and hover state (TCustomKurvoPrivate::FSeries).
struct TSeriesSet {
    std::vector<std::unique_ptr<TKurvoSeries>> List;
    std::unique_ptr<TKurvoLegend> Legend;
    int NextColour = 0;
    bool HoverTracking = false;
    int HoverDistance = 8;
    std::optional<TSeriesPoint> Hovered;
    /// Where the pointer rests on the control while the hover tracks it.
    std::optional<QPoint> Pointer;
    bool RecheckQueued = false;
    /// The press went to the legend: the drag starts no mouse action.
    bool LegendPress = false;
};

}  // namespace kurvo
