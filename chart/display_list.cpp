// Display lists and the drawing commands that append to them.
#include "chart/Qorn_kurvo.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace kurvo {

void TKvItemContainer::Reserve(std::int64_t slotCount)
{
    if (slotCount <= Allocated()) return;
    const std::int64_t pagesNeeded = (slotCount + PageSize - 1) >> PageShift;
    // Allocate everything first, so that running out of memory leaves the
    // container as it was.
    std::vector<std::unique_ptr<TkvChartItem[]>> fresh;
    fresh.reserve(static_cast<std::size_t>(pagesNeeded) - FPages.size());
    while (static_cast<std::int64_t>(FPages.size() + fresh.size()) < pagesNeeded)
        fresh.push_back(std::make_unique<TkvChartItem[]>(PageSize));  // value-initialised: zero
    if (FPages.capacity() < static_cast<std::size_t>(pagesNeeded))
        FPages.reserve(std::max(static_cast<std::size_t>(pagesNeeded), 2 * FPages.capacity()));
    for (auto& page : fresh) FPages.push_back(std::move(page));
}

std::shared_ptr<TKvItemContainer> TKvItemContainer::Copy(std::int64_t count, std::int64_t slotCount) const
{
    auto copy = std::make_shared<TKvItemContainer>();
    copy->Reserve(slotCount > count ? slotCount : count);
    ForEachRun(count, [&](const TkvChartItem* items, int n, int first) {
        std::memcpy(&(*copy)[first], items, static_cast<std::size_t>(n) * sizeof(TkvChartItem));
    });
    return copy;
}

const std::string& TLongTextArray::Text(int index) const
{
    static const std::string empty;
    return index >= 1 && index <= Size ? Texts[index - 1] : empty;
}

// --------------------------------------------------------------- commands

void TCustomKurvo::MoveTo(int x, int y) { AppendItem(ikMoveTo, x, y, 1); }

void TCustomKurvo::DrawTo(int x, double y) { AppendItem(ikLineTo, x, y, 4); }

void TCustomKurvo::AppendItem(std::uint8_t kind, double x, double y, std::uint8_t mode)
{
    TItemList& list = TargetList();
    if (list.Count >= list.Capacity) {
        if (list.Count == INT_MAX) throw std::bad_alloc();
        std::int64_t capacity = static_cast<std::int64_t>(list.Capacity) + FAllocSize;
        // A chart that took over shared data may hold fewer slotCount than the
        // share's Count: grow in AllocSize steps past Count, never below it.
        if (capacity <= list.Count) capacity += (list.Count - capacity) / FAllocSize * FAllocSize + FAllocSize;
        list.Items->Reserve(capacity);  // may throw; nothing has changed then
        list.Capacity = capacity > INT_MAX ? INT_MAX : static_cast<int>(capacity);
    }
    // Capacity is per chart, but the storage may be shared with (or taken
    // over from) a chart that allocated less: only the container held knows
    // how many slots exist.
    if (list.Count >= list.Items->Allocated())
        list.Items->Reserve(std::max<std::int64_t>(list.Capacity, std::int64_t{list.Count} + 1));
    TkvChartItem& item = (*list.Items)[list.Count];
    item.Kind = kind;
    item.Layer = FCurrentLayer;
    item.Class = FClassDefault;
    item.Color = FDataColor;
    item.PenStyle = FPenStyle;
    item.Aux = FAux;
    item.LineWidth = FLineWidth;
    item.X = x;
    item.Y = y;
    if (kind == ikLineTo) item.FillColor = FFillColor;
    const bool annotation = &list == &FAnnot;
    item.Mode = annotation ? mode : 0;
    if (annotation) {
        ++list.Count;
        return;
    }
    ++FItemCounters[kind];
    ++list.Count;
    PropagateSharedData();
}

void TCustomKurvo::SetAllocSize(int value)
{
    if (value < 1 || value > 1000000) return;
    FAllocSize = value;
}

void TCustomKurvo::SetClassDefault(int value)
{
    if (value < 0 || value > 254) return;
    FClassDefault = static_cast<std::uint8_t>(value);
}

int TCustomKurvo::ItemCounter(int kind) const
{
    return kind >= 0 && kind < ItemKindCount ? FItemCounters[kind] : 0;
}

}  // namespace kurvo
