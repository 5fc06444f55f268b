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

// --------------------------------------------------------------- appending

TkvChartItem TCustomKurvo::NewItem(std::uint8_t kind, std::uint8_t mode) const
{
    TkvChartItem item{};
    item.Kind = kind;
    item.Layer = FCurrentLayer;
    item.Class = FClassDefault;
    item.Color = FDataColor;
    item.PenStyle = FPenStyle;
    item.Aux = FAux;
    item.LineWidth = FLineWidth;
    // Moves, marks and arcs have no brush: their FillColor stays 0.
    if (kind != ikMoveTo && kind != ikMoveRel && kind != ikMark && kind != ikArc) item.FillColor = FFillColor;
    switch (kind) {
        case ikRectangle:
        case ikEllipse:
        case ikBox:
        case ikArrow:
        case ikDoubleArrow: item.Transparent = FTransparentShapes; break;
        default: break;
    }
    item.Mode = mode;
    return item;
}

void TCustomKurvo::GrowList(TItemList& list, std::int64_t extra)
{
    const std::int64_t needed = static_cast<std::int64_t>(list.Count) + extra;
    if (needed > INT_MAX) throw std::bad_alloc();
    if (needed > list.Capacity) {
        // In AllocSize steps past what is needed, never by doubling.
        const std::int64_t steps = (needed - list.Capacity + FAllocSize - 1) / FAllocSize;
        std::int64_t capacity = list.Capacity + steps * FAllocSize;
        if (capacity > INT_MAX) capacity = INT_MAX;
        list.Items->Reserve(capacity);  // may throw; nothing has changed then
        list.Capacity = static_cast<int>(capacity);
    }
    // Capacity is per chart, the storage may be another chart's: make sure of
    // the slots in the storage actually held.
    list.Items->Reserve(needed);
}

void TCustomKurvo::PushItem(const TkvChartItem& item)
{
    TItemList& list = TargetList();
    GrowList(list, 1);
    TkvChartItem& slot = (*list.Items)[list.Count];
    slot = item;
    const bool annotation = &list == &FAnnot;
    if (!annotation) slot.Mode = 0;
    ++list.Count;
    MarkStale();
    if (annotation) return;
    if (item.Kind < ItemKindCount) ++FItemCounters[item.Kind];
    PropagateSharedData();
}

void TCustomKurvo::AppendItem(std::uint8_t kind, double x, double y, std::uint8_t mode)
{
    TkvChartItem item = NewItem(kind, mode);
    item.X = x;
    item.Y = y;
    PushItem(item);
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
