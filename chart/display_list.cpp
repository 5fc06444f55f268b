// Display lists and the drawing commands that append to them.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace kurvo {

// ------------------------------------------------------- large blocks

void* AllocateLargeBlock()
{
#if defined(__linux__)
    // Twice the size, then the unaligned ends given back: the block lies on
    // a large-page boundary, which the system needs to back it with one.
    void* raw = mmap(nullptr, 2 * LargeBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + LargeBlockBytes - 1) & ~(std::uintptr_t{LargeBlockBytes} - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t end = start + 2 * LargeBlockBytes;
    if (end > aligned + LargeBlockBytes) munmap(reinterpret_cast<void*>(aligned + LargeBlockBytes), end - aligned - LargeBlockBytes);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, LargeBlockBytes, MADV_HUGEPAGE);
    return block;
#else
    void* block = std::aligned_alloc(LargeBlockBytes, LargeBlockBytes);
    if (block == nullptr) throw std::bad_alloc();
    return block;
#endif
}

void FreeLargeBlock(void* block) noexcept
{
    if (block == nullptr) return;
#if defined(__linux__)
    munmap(block, LargeBlockBytes);
#else
    std::free(block);
#endif
}

// ------------------------------------------------------- item container

namespace {

bool CompactCandidate(const TkvChartItem& item)
{
    return (item.Kind == ikLineTo || item.Kind == ikMark) && item.Mode == 0 && std::isfinite(item.X) &&
           std::isfinite(item.Y);
}

// Attribute records searched for one to share when a run starts: a series
// that switches between a few looks reuses their records.
constexpr std::size_t kSharedRecordsSearched = 8;

}  // namespace

void TKvItemContainer::Clear()
{
    FRuns.clear();
    FPlain.Clear();
    FPlainCount = 0;
    FAttributes.clear();
    FVarying.clear();
    FX = {};
    FY = {};
    FColors = {};
    FClasses = {};
    FPyramid.Clear();
    FSize = 0;
}

void TKvItemContainer::Reserve(std::int64_t slotCount)
{
    const std::int64_t extra = slotCount - FSize;
    if (extra <= 0) return;
    FX.Reserve(FX.Size() + extra);
    FY.Reserve(FY.Size() + extra);
}

void TKvItemContainer::ReservePlain(std::int64_t n) { FPlain.Reserve(n); }

void TItemPages::Reserve(std::int64_t n)
{
    if (n <= Capacity()) return;
    std::vector<std::unique_ptr<TkvChartItem[]>> fresh;
    int pages = static_cast<int>(FPages.size());
    while (PageStart(pages + static_cast<int>(fresh.size())) < n) {
        const int p = pages + static_cast<int>(fresh.size());
        // value-initialised: records beyond the count read as zero
        fresh.push_back(std::make_unique<TkvChartItem[]>(static_cast<std::size_t>(PageStart(p + 1) - PageStart(p))));
    }
    pages += static_cast<int>(fresh.size());
    if (FPages.capacity() < static_cast<std::size_t>(pages))
        FPages.reserve(std::max(static_cast<std::size_t>(pages), 2 * FPages.capacity()));
    for (auto& page : fresh) FPages.push_back(std::move(page));
}

TkvChartItem TKvItemContainer::Item(std::int64_t i) const
{
    if (i < 0 || i >= FSize) return TkvChartItem{};
    const auto next = std::upper_bound(FRuns.begin(), FRuns.end(), i,
                                       [](std::int64_t index, const TItemRun& run) { return index < run.First; });
    const TItemRun& run = *(next - 1);
    if (!run.Compact()) return PlainItem(run.Offset + (i - run.First));
    return RunItem(run, i - run.First);
}

bool TKvItemContainer::ContinuesCompactRun(const TkvChartItem& item) const
{
    return !FRuns.empty() && FRuns.back().Compact() && FRuns.back().Varying < 0 &&
           SameAttributes(item, FAttributes[static_cast<std::size_t>(FRuns.back().Attributes)]);
}

// Callers have reserved room for one more run, attribute set and point.
void TKvItemContainer::StartCompactRun(const TkvChartItem& item)
{
    TItemRun run;
    run.First = FSize;
    run.Offset = FX.Size();
    // Polylines of equal attributes after move-to items share one record,
    // and so do runs that switch between a few looks.
    std::size_t shared = FAttributes.size();
    for (std::size_t k = FAttributes.size(); k > 0 && FAttributes.size() - k < kSharedRecordsSearched; --k)
        if (SameAttributes(item, FAttributes[k - 1])) {
            shared = k - 1;
            break;
        }
    if (shared == FAttributes.size()) {
        TkvChartItem attributes = item;
        attributes.X = 0.0;
        attributes.Y = 0.0;
        FAttributes.push_back(attributes);
    }
    run.Attributes = static_cast<std::int32_t>(shared);
    run.XMin = item.X;
    run.YMin = item.Y;
    FRuns.push_back(run);
}

void TKvItemContainer::AppendPlain(const TkvChartItem& item)
{
    ReservePlain(FPlainCount + 1);
    if (FRuns.empty() || FRuns.back().Compact()) {
        TItemRun run;
        run.First = FSize;
        run.Offset = FPlainCount;
        FRuns.push_back(run);
    }
    FPlain[FPlainCount] = item;
    ++FPlainCount;
    ++FRuns.back().Count;
    ++FSize;
}

// Callers have reserved room for one more colour and class.
void TKvItemContainer::MakeVarying()
{
    TItemRun& run = FRuns.back();
    const TkvChartItem& attributes = FAttributes[static_cast<std::size_t>(run.Attributes)];
    TVaryingRun varying;
    varying.Offset = FColors.Size();
    varying.Add(attributes.Class);
    FColors.PushBack(attributes.Color);
    FClasses.PushBack(attributes.Class);
    run.Varying = static_cast<std::int32_t>(FVarying.size());
    FVarying.push_back(varying);
}

void TKvItemContainer::AppendSlow(const TkvChartItem& item, bool compact)
{
    // Every allocation first: a failure leaves the container unchanged. The
    // tables grow by doubling, so that a list whose items all differ still
    // appends in constant time.
    const auto roomForOne = [](auto& table) {
        if (table.size() == table.capacity()) table.reserve(table.size() < 16 ? 16 : 2 * table.size());
    };
    roomForOne(FRuns);
    if (!compact || !CompactCandidate(item)) return AppendPlain(item);
    if (FX.Size() == FX.Capacity() || FY.Size() == FY.Capacity()) {
        FX.Reserve(FX.Size() + 1);
        FY.Reserve(FY.Size() + 1);
    }
    // A point that differs from the run before it only in colour or class
    // joins it as a varying run when the run is varying already or holds a
    // single point (the previous point differed too): a line coloured by
    // value is one run, not a run per point.
    const TItemRun* last = FRuns.empty() || !FRuns.back().Compact() ? nullptr : &FRuns.back();
    const bool same = last != nullptr && last->Varying < 0 &&
                      SameAttributes(item, FAttributes[static_cast<std::size_t>(last->Attributes)]);
    const bool varying = !same && last != nullptr && (last->Varying >= 0 || last->Count == 1) &&
                         SameButColourAndClass(item, FAttributes[static_cast<std::size_t>(last->Attributes)]);
    if (varying) {
        FColors.Reserve(FColors.Size() + 2);
        FClasses.Reserve(FClasses.Size() + 2);
        roomForOne(FVarying);
        if (last->Varying < 0) MakeVarying();
        FColors.PushBack(item.Color);
        FClasses.PushBack(item.Class);
        FVarying[static_cast<std::size_t>(FRuns.back().Varying)].Add(item.Class);
    } else if (!same) {
        roomForOne(FAttributes);
        StartCompactRun(item);
    }
    TItemRun& run = FRuns.back();
    if (run.Count > 0) {
        run.XRising = run.XRising && item.X >= FX[FX.Size() - 1];
        run.XMin = std::min(run.XMin, item.X);
        run.YMin = std::min(run.YMin, item.Y);
    }
    FX.PushBack(item.X);
    FY.PushBack(item.Y);
    ++run.Count;
    ++FSize;
}

void TKvItemContainer::AppendPoints(const TkvChartItem& attributes, const double* x, const double* y,
                                    std::int64_t n)
{
    if (n <= 0) return;
    TkvChartItem item = attributes;
    item.Kind = attributes.Kind == ikMark ? ikMark : ikLineTo;
    item.Mode = 0;
    // Reserve for the worst case first, so that a failure adds nothing; the
    // tables grow by doubling, so that many bulk calls stay linear.
    std::int64_t broken = 0;
    for (std::int64_t i = 0; i < n; ++i) broken += !(std::isfinite(x[i]) && std::isfinite(y[i]));
    FX.Reserve(FX.Size() + n - broken);
    FY.Reserve(FY.Size() + n - broken);
    ReservePlain(FPlainCount + broken);
    const auto roomFor = [](auto& table, std::size_t more) {
        if (table.capacity() < table.size() + more) table.reserve(std::max(table.size() + more, 2 * table.capacity()));
    };
    roomFor(FRuns, 2 * static_cast<std::size_t>(broken) + 1);
    roomFor(FAttributes, 1);

    std::int64_t i = 0;
    while (i < n) {
        if (std::isfinite(x[i]) && std::isfinite(y[i])) {
            item.X = x[i];
            item.Y = y[i];
            if (!ContinuesCompactRun(item)) StartCompactRun(item);
            TItemRun& run = FRuns.back();
            double previous = run.Count > 0 ? FX[FX.Size() - 1] : x[i];
            bool rising = run.XRising;
            double xMin = run.XMin;
            double yMin = run.YMin;
            // One pass finds the finite stretch and its order and minima.
            std::int64_t end = i;
            for (; end < n; ++end) {
                const double xv = x[end];
                const double yv = y[end];
                if (!(std::abs(xv) <= DBL_MAX && std::abs(yv) <= DBL_MAX)) break;
                rising &= xv >= previous;
                previous = xv;
                xMin = xv < xMin ? xv : xMin;
                yMin = yv < yMin ? yv : yMin;
            }
            run.XRising = rising;
            run.XMin = xMin;
            run.YMin = yMin;
            FX.AppendReserved(x + i, end - i);
            FY.AppendReserved(y + i, end - i);
            run.Count += end - i;
            FSize += end - i;
            i = end;
        }
        if (i < n) {
            item.X = x[i];
            item.Y = y[i];
            AppendPlain(item);
            ++i;
        }
    }
}

void TKvItemContainer::Truncate(std::int64_t count)
{
    if (count >= FSize) return;
    if (count < 0) count = 0;
    while (!FRuns.empty() && FRuns.back().First >= count) FRuns.pop_back();
    if (!FRuns.empty()) FRuns.back().Count = count - FRuns.back().First;
    std::int64_t xy = 0;
    std::int64_t plain = 0;
    std::int64_t varying = 0;
    std::size_t varyingRuns = 0;
    for (const TItemRun& run : FRuns) {
        (run.Compact() ? xy : plain) = run.Offset + run.Count;
        if (run.Varying >= 0) {
            TVaryingRun& v = FVarying[static_cast<std::size_t>(run.Varying)];
            varying = v.Offset + run.Count;
            varyingRuns = static_cast<std::size_t>(run.Varying) + 1;
        }
    }
    FX.Truncate(xy);
    FY.Truncate(xy);
    FColors.Truncate(varying);
    FClasses.Truncate(varying);
    FVarying.resize(varyingRuns);
    // The classes of a shortened varying run: only those still in it.
    if (!FRuns.empty() && FRuns.back().Varying >= 0) {
        TVaryingRun& v = FVarying.back();
        v.Classes = {};
        for (std::int64_t k = 0; k < FRuns.back().Count; ++k) v.Add(FClasses[v.Offset + k]);
    }
    // Records beyond Count read as zero again.
    for (std::int64_t k = plain; k < FPlainCount; ++k) FPlain[k] = TkvChartItem{};
    FPlainCount = plain;
    FPyramid.Clear();
    FSize = count;
}

std::shared_ptr<TKvItemContainer> TKvItemContainer::Copy(std::int64_t count, std::int64_t slotCount) const
{
    auto copy = std::make_shared<TKvItemContainer>();
    count = std::clamp<std::int64_t>(count, 0, FSize);
    copy->FAttributes = FAttributes;
    std::int64_t xy = 0;
    std::int64_t plain = 0;
    std::int64_t varying = 0;
    for (const TItemRun& run : FRuns) {
        if (run.First >= count) break;
        const std::int64_t n = std::min(run.Count, count - run.First);
        (run.Compact() ? xy : plain) += n;
        if (run.Varying >= 0) varying += n;
    }
    copy->FX.Reserve(xy);
    copy->FY.Reserve(xy);
    copy->FColors.Reserve(varying);
    copy->FClasses.Reserve(varying);
    copy->FVarying.reserve(FVarying.size());
    copy->ReservePlain(plain);
    copy->FRuns.reserve(FRuns.size());
    for (const TItemRun& run : FRuns) {
        if (run.First >= count) break;
        TItemRun part = run;
        part.Count = std::min(run.Count, count - run.First);
        if (run.Compact()) {
            part.Offset = copy->FX.Size();
            for (std::int64_t k = 0; k < part.Count; ++k) {
                copy->FX.PushBack(FX[run.Offset + k]);
                copy->FY.PushBack(FY[run.Offset + k]);
            }
            if (run.Varying >= 0) {
                const TVaryingRun& from = FVarying[static_cast<std::size_t>(run.Varying)];
                TVaryingRun to;
                to.Offset = copy->FColors.Size();
                for (std::int64_t k = 0; k < part.Count; ++k) {
                    copy->FColors.PushBack(FColors[from.Offset + k]);
                    copy->FClasses.PushBack(FClasses[from.Offset + k]);
                    to.Add(FClasses[from.Offset + k]);
                }
                part.Varying = static_cast<std::int32_t>(copy->FVarying.size());
                copy->FVarying.push_back(to);
            }
        } else {
            part.Offset = copy->FPlainCount;
            for (std::int64_t k = 0; k < part.Count; ++k) {
                const std::int64_t to = copy->FPlainCount++;
                copy->FPlain[to] = PlainItem(run.Offset + k);
            }
        }
        copy->FRuns.push_back(part);
    }
    copy->FSize = count;
    copy->Reserve(slotCount);
    return copy;
}

const TMinMaxPyramid& TKvItemContainer::YPyramid() const
{
    FPyramid.Extend(FY);
    return FPyramid;
}

std::int64_t TKvItemContainer::MemoryBytes() const
{
    return FX.MemoryBytes() + FY.MemoryBytes() + FPyramid.MemoryBytes() + FPlain.MemoryBytes() +
           FColors.MemoryBytes() + FClasses.MemoryBytes() +
           static_cast<std::int64_t>(FRuns.capacity() * sizeof(TItemRun) +
                                     FAttributes.capacity() * sizeof(TkvChartItem) +
                                     FVarying.capacity() * sizeof(TVaryingRun));
}

const std::string& TLongTextArray::Text(int index) const
{
    static const std::string empty;
    return index >= 1 && index <= Size ? Texts[index - 1] : empty;
}

// --------------------------------------------------------------- appending

template <class F>
void TCustomKurvo::AppendToList(TItemList& list, std::int64_t added, F&& append)
{
    const int capacity = list.Capacity;
    if (std::int64_t{list.Count} + added > list.Capacity) GrowList(list, added);
    try {
        TKvItemContainer& items = *list.Items;
        // Items go to slot Count of the storage held now, whatever it holds
        // beyond that; slots before Count that it lacks read as zero.
        if (items.Size() > list.Count) items.Truncate(list.Count);
        while (items.Size() < list.Count) items.Append(TkvChartItem{}, false);
        append(items);
    } catch (...) {
        list.Capacity = capacity;
        throw;
    }
    list.Count += static_cast<int>(added);
    MarkStale();
}

namespace {

// Copied rather than value-initialised: GCC clears a returned record with
// `rep stos`, whose start-up cost was the largest part of DrawTo.
const TkvChartItem kZeroItem{};

}  // namespace

TkvChartItem TCustomKurvo::NewItem(std::uint8_t kind, std::uint8_t mode) const
{
    TkvChartItem item;
    std::memcpy(&item, &kZeroItem, sizeof item);
    item.Kind = kind;
    item.Layer = d->FCurrentLayer;
    item.Class = d->FClassDefault;
    item.Color = d->FDataColor;
    item.PenStyle = d->FPenStyle;
    item.Aux = d->FAux;
    item.LineWidth = d->FLineWidth;
    // Moves, marks and arcs have no brush: their FillColor stays 0.
    if (kind != ikMoveTo && kind != ikMoveRel && kind != ikMark && kind != ikArc) item.FillColor = d->FFillColor;
    switch (kind) {
        case ikRectangle:
        case ikEllipse:
        case ikBox:
        case ikArrow:
        case ikDoubleArrow: item.Transparent = d->FTransparentShapes; break;
        default: break;
    }
    item.Mode = mode;
    return item;
}

TkvChartItem TCustomKurvo::NewItem(std::uint8_t kind, std::uint8_t mode, double x1, double y1, double x2,
                                   double y2) const
{
    TkvChartItem item = NewItem(kind, mode);
    item.X = x1;
    item.Y = y1;
    item.X2 = x2;
    item.Y2 = y2;
    return item;
}

void TCustomKurvo::GrowList(TItemList& list, std::int64_t added)
{
    const std::int64_t needed = std::int64_t{list.Count} + added;
    if (needed > INT_MAX) throw std::bad_alloc();
    // The fewest AllocSize steps past the items, never by doubling. A chart
    // that took over shared data may hold fewer slots than the share's
    // Count: it also grows in AllocSize steps past Count, never below it.
    std::int64_t capacity = list.Capacity;
    if (capacity < needed) capacity += (needed - capacity + d->FAllocSize - 1) / d->FAllocSize * d->FAllocSize;
    // The storage this chart holds now gets the room, whatever Capacity
    // says: Capacity is this chart's own count of slots, not the storage's.
    list.Items->Reserve(capacity);  // may throw; nothing has changed then
    list.Capacity = capacity > INT_MAX ? INT_MAX : static_cast<int>(capacity);
}

void TCustomKurvo::PushItem(const TkvChartItem& item)
{
    TItemList& list = TargetList();
    const bool annotation = &list == &d->FAnnot;
    if (annotation) {
        AppendToList(list, 1, [&](TKvItemContainer& items) { items.Append(item, false); });
        return;
    }
    if (item.Mode == 0) {
        AppendToList(list, 1, [&](TKvItemContainer& items) { items.Append(item); });
    } else {
        TkvChartItem stored = item;
        stored.Mode = 0;
        AppendToList(list, 1, [&](TKvItemContainer& items) { items.Append(stored); });
    }
    if (item.Kind < ItemKindCount) ++d->FItemCounters[item.Kind];
    PropagateSharedData();
}

void TCustomKurvo::AppendItem(std::uint8_t kind, double x, double y, std::uint8_t mode)
{
    TkvChartItem item = NewItem(kind, mode);
    item.X = x;
    item.Y = y;
    PushItem(item);
}

void TCustomKurvo::AppendPoints(TkvChartItem first, TkvChartItem rest, const double* x, const double* y,
                                std::int64_t n)
{
    if (n <= 0) return;
    TItemList& list = TargetList();
    const bool annotation = &list == &d->FAnnot;
    if (!annotation) {
        first.Mode = 0;
        rest.Mode = 0;
    }
    AppendToList(list, n, [&](TKvItemContainer& items) {
        first.X = x[0];
        first.Y = y[0];
        items.Append(first, !annotation);
        if (!annotation && (rest.Kind == ikLineTo || rest.Kind == ikMark))
            return items.AppendPoints(rest, x + 1, y + 1, n - 1);
        for (std::int64_t i = 1; i < n; ++i) {
            rest.X = x[i];
            rest.Y = y[i];
            items.Append(rest, !annotation);
        }
    });
    if (annotation) return;
    if (first.Kind < ItemKindCount) ++d->FItemCounters[first.Kind];
    if (rest.Kind < ItemKindCount) d->FItemCounters[rest.Kind] += static_cast<int>(n - 1);
    PropagateSharedData();
}

void TCustomKurvo::AppendLinePoints(const double* x, const double* y, std::int64_t n, std::uint8_t mode)
{
    if (n <= 0 || x == nullptr || y == nullptr) return;
    TItemList& list = TargetList();
    TkvChartItem item = NewItem(ikLineTo, mode);
    if (&list == &d->FAnnot) {
        AppendToList(list, n, [&](TKvItemContainer& items) {
            for (std::int64_t i = 0; i < n; ++i) {
                item.X = x[i];
                item.Y = y[i];
                items.Append(item, false);
            }
        });
        return;
    }
    item.Mode = 0;
    AppendToList(list, n, [&](TKvItemContainer& items) { items.AppendPoints(item, x, y, n); });
    d->FItemCounters[ikLineTo] += static_cast<int>(n);
    PropagateSharedData();
}

void TCustomKurvo::SetAllocSize(int value)
{
    if (value < 1 || value > 1000000) return;
    d->FAllocSize = value;
}

void TCustomKurvo::SetClassDefault(int value)
{
    if (value < 0 || value > 254) return;
    d->FClassDefault = static_cast<std::uint8_t>(value);
}

int TCustomKurvo::ItemCounter(int kind) const
{
    return kind >= 0 && kind < ItemKindCount ? d->FItemCounters[kind] : 0;
}

}  // namespace kurvo
