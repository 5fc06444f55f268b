// The chart's list of series: adding, removing, finding them, and their
// part in the chart's defaults, Assign and legend clicks.
#include "chart/Qorn_kurvo.h"

#include "base/errors.h"
#include "canvas/qt_interop.h"
#include "chart/kurvo_private.h"
#include "chart/line_view_set.h"
#include "chart/raise_event.h"
#include "chart/series_private.h"

#include <algorithm>
#include <array>
#include <string>

namespace kurvo {

namespace {

// After series were deleted: the picture and the events.
void SeriesGone(TCustomKurvo& chart, bool wasHovered)
{
    RepaintChart(chart);
    if (wasHovered) RaiseHoverChange(chart);
    RaiseEvent(chart.OnSeriesChange, std::tuple(&chart, nullptr), chart, &TCustomKurvo::seriesChanged, -1);
}

}  // namespace

TKurvoSeries* TCustomKurvo::AddSeries(std::string_view name, int layer)
{
    if (layer < 0 || layer > LayerCount)
        throw EQornKurvoError("AddSeries: layer " + std::to_string(layer) +
                              " is outside 1 ... 16 (0 = the current layer).");
    TSeriesSet& set = *d->FSeries;
    auto series = TSeriesPrivate::Make(*this, name, layer == 0 ? d->FCurrentLayer : layer);
    TSeriesPrivate& s = TSeriesPrivate::Get(*series);
    s.PenColor = FromQColor(SeriesColor(set.NextColour));  // the theme's colours, in turn
    set.List.push_back(std::move(series));
    set.NextColour = (set.NextColour + 1) % SeriesColorCount;
    TKurvoSeries* added = set.List.back().get();
    RepaintChart(*this);
    RaiseEvent(OnSeriesChange, std::tuple(this, added), *this, &TCustomKurvo::seriesChanged, SeriesCount() - 1);
    // A handler may have removed it again.
    return IndexOfSeries(added) >= 0 ? added : nullptr;
}

TKurvoSeries* TCustomKurvo::AddSeries(const QString& name, int layer) { return AddSeries(FromQString(name), layer); }

void TCustomKurvo::RemoveSeries(TKurvoSeries* series)
{
    TSeriesSet& set = *d->FSeries;
    // Compared as pointers only: a stale one is never dereferenced.
    const auto it = std::find_if(set.List.begin(), set.List.end(),
                                 [series](const std::unique_ptr<TKurvoSeries>& s) { return s.get() == series; });
    if (it == set.List.end())
        throw EQornKurvoError("RemoveSeries: the series does not belong to this chart (or was removed before).");
    for (const auto& other : set.List)
        if (TSeriesPrivate::Get(*other).FillTo == series) TSeriesPrivate::Get(*other).FillTo = nullptr;
    // Unlinked first: handlers raised below see the chart without it.
    std::unique_ptr<TKurvoSeries> gone = std::move(*it);
    set.List.erase(it);
    const bool hovered = set.Hovered && set.Hovered->Series == series;
    if (hovered) set.Hovered.reset();
    gone.reset();
    SeriesGone(*this, hovered);
}

void TCustomKurvo::ClearSeries()
{
    TSeriesSet& set = *d->FSeries;
    if (set.List.empty()) return;
    const bool hovered = set.Hovered.has_value();
    set.Hovered.reset();
    // Moved out first, so that nothing reachable from the chart dangles
    // while they are destroyed.
    auto gone = std::move(set.List);
    set.List.clear();
    gone.clear();
    SeriesGone(*this, hovered);
}

int TCustomKurvo::SeriesCount() const { return static_cast<int>(d->FSeries->List.size()); }

TKurvoSeries* TCustomKurvo::Series(int index) const
{
    if (index < 0 || index >= SeriesCount())
        throw EQornKurvoError("Series: index " + std::to_string(index) + " is outside 0 ... " +
                              std::to_string(SeriesCount() - 1) + ".");
    return d->FSeries->List[static_cast<std::size_t>(index)].get();
}

int TCustomKurvo::IndexOfSeries(const TKurvoSeries* series) const
{
    const auto& list = d->FSeries->List;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == series) return static_cast<int>(i);
    return -1;
}

TKurvoLegend* TCustomKurvo::Legend()
{
    TSeriesSet& set = *d->FSeries;
    if (!set.Legend) set.Legend = std::unique_ptr<TKurvoLegend>(new TKurvoLegend(*this));
    return set.Legend.get();
}

const TKurvoLegend* TCustomKurvo::Legend() const { return const_cast<TCustomKurvo*>(this)->Legend(); }

bool TCustomKurvo::HoverTracking() const { return d->FSeries->HoverTracking; }

void TCustomKurvo::SetHoverTracking(bool value)
{
    TSeriesSet& set = *d->FSeries;
    set.HoverTracking = value;
    if (!value) HideHover(*this);
}

int TCustomKurvo::HoverDistance() const { return d->FSeries->HoverDistance; }

void TCustomKurvo::SetHoverDistance(int value) { d->FSeries->HoverDistance = std::clamp(value, 1, 100); }

std::optional<TSeriesPoint> TCustomKurvo::HoverPoint() const { return d->FSeries->Hovered; }

// --------------------------------------------------------- chart lifecycle

void ResetSeries(TCustomKurvo& chart)
{
    TSeriesSet& set = *TCustomKurvoPrivate::Get(chart).FSeries;
    auto gone = std::move(set.List);
    set.List.clear();
    gone.clear();
    set.Hovered.reset();
    set.NextColour = 0;
    set.HoverTracking = false;
    set.HoverDistance = 8;
    set.LegendPress = false;
    set.Legend.reset();
}

void CopySeries(TCustomKurvo& to, const TCustomKurvo& from)
{
    if (&to == &from) return;
    const TSeriesSet& source = *TCustomKurvoPrivate::Get(from).FSeries;
    std::vector<std::unique_ptr<TKurvoSeries>> copies;
    for (const auto& series : source.List) {
        const TSeriesPrivate& s = TSeriesPrivate::Get(*series);
        auto copy = TSeriesPrivate::Make(to, s.Name, s.Layer);
        TSeriesPrivate& c = TSeriesPrivate::Get(*copy);
        c.Visible = s.Visible;
        c.PenColor = s.PenColor;
        c.PenWidth = s.PenWidth;
        c.PenStyle = s.PenStyle;
        c.Brush = s.Brush;
        c.Mark = s.Mark;
        c.MarkSize = s.MarkSize;
        c.Style = s.Style;
        c.Baseline = s.Baseline;
        c.BarWidth = s.BarWidth;
        c.Capacity = s.Capacity;
        c.Follow = s.Follow;
        if (s.View) {
            // Over the same samples, with copies of the structures.
            c.View = CopyLineView(*s.View);
            c.XSorted = s.XSorted;
            c.LastX = s.LastX;
            copies.push_back(std::move(copy));
            continue;
        }
        // The points: the source's, rebuilt with the copy's attributes.
        std::vector<double> xs, ys;
        xs.reserve(static_cast<std::size_t>(s.Count()));
        ys.reserve(xs.capacity());
        s.ForEachPoint(0, s.Count(), [&](std::int64_t, double x, double y) {
            xs.push_back(x);
            ys.push_back(y);
        });
        c.AppendPoints(xs.data(), ys.data(), static_cast<std::int64_t>(xs.size()));
        copies.push_back(std::move(copy));
    }
    // The fill links point at the copies.
    for (std::size_t i = 0; i < source.List.size(); ++i) {
        const TKurvoSeries* target = TSeriesPrivate::Get(*source.List[i]).FillTo;
        const int k = from.IndexOfSeries(target);
        if (k >= 0) TSeriesPrivate::Get(*copies[i]).FillTo = copies[static_cast<std::size_t>(k)].get();
    }
    TSeriesSet& set = *TCustomKurvoPrivate::Get(to).FSeries;
    auto gone = std::move(set.List);
    set.List = std::move(copies);
    gone.clear();
    set.Hovered.reset();
    set.NextColour = source.NextColour;
    set.HoverTracking = source.HoverTracking;
    set.HoverDistance = source.HoverDistance;
    if (source.Legend) TLegendPrivate::Get(*to.Legend()).CopyFrom(TLegendPrivate::Get(*source.Legend));
}

// ------------------------------------------------------------ legend clicks

bool LegendMouseDown(TCustomKurvo& chart, TMouseButton button, int x, int y)
{
    TSeriesSet& set = *TCustomKurvoPrivate::Get(chart).FSeries;
    set.LegendPress = false;
    if (!set.Legend || !TLegendPrivate::Get(*set.Legend).Visible) return false;
    const bool toggles = TLegendPrivate::Get(*set.Legend).ClickToggles;
    if (!toggles && !chart.OnLegendClick) return false;
    if (!chart.Legend()->Geometry().contains(QPoint(x, y))) return false;
    set.LegendPress = true;
    TKurvoSeries* series = chart.Legend()->SeriesAt(QPoint(x, y));
    if (series == nullptr || button != mbLeft) return true;
    if (toggles) series->SetVisible(!series->Visible());
    // A handler of the visibility change may have removed the series.
    if (chart.IndexOfSeries(series) >= 0)
        RaiseEvent(chart.OnLegendClick, std::tuple(&chart, series), chart, &TCustomKurvo::legendEntryClicked,
                   chart.IndexOfSeries(series));
    return true;
}

}  // namespace kurvo
