// Display lists: flat arrays of drawing items in world coordinates.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../canvas/Qorn_canvas.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace kurvo {

/// A short string of at most 17 characters: a length byte and 17 bytes.
struct TShortText {
    /// Most characters a short text holds.
    static constexpr int MaxLength = 17;
    std::uint8_t Length = 0;  ///< characters in use
    char Chars[MaxLength] = {};  ///< the characters, not terminated

    /// The text as a string.
    std::string Str() const { return std::string(Chars, Length > MaxLength ? MaxLength : Length); }
    /// Keeps the first 17 bytes of `text`.
    void Assign(std::string_view text)
    {
        Length = static_cast<std::uint8_t>(text.size() > MaxLength ? MaxLength : text.size());
        std::memcpy(Chars, text.data(), Length);
    }
};

/// Item kinds.
enum : std::uint8_t {
    ikNone = 0,
    ikMark = 1,
    ikLine = 2,
    ikLineTo = 3,
    ikRectangle = 4,
    ikFramedRect = 5,
    ikBar3D = 6,
    ikText = 7,
    ikMoveTo = 8,
    ikEllipse = 9,
    ikMoveRel = 12,
    ikLineRel = 13,
    ikArrow = 14,
    ikDoubleArrow = 15,
    ikOffsetText = 16,
    ikBox = 17,
    ikErrorBar = 18,
    ikShiftedLine = 19,
    ikArc = 20,
    ikVector = 21,
    ikVertLine = 22,
    ikHorizLine = 23,
    ikCross = 24
};
constexpr int ItemKindCount = 25;

/// One drawing step. A plain record: copied as a whole, no owned resources.
struct TkvChartItem {
    double X;  ///< first point, horizontal
    double Y;  ///< first point, vertical
    double X2;  ///< second point's X, or a size or offset, by kind
    double Y2;  ///< second point's Y, or a size or offset, by kind
    TColor Color;  ///< pen colour (text colour of text kinds)
    TColor FillColor;  ///< brush colour
    TColor Extra[2];  ///< first and second edge colour of framed rectangles
    TPenStyle PenStyle;  ///< pen style
    std::int32_t Aux;  ///< a user value no drawing step reads
    std::int32_t LineWidth;  ///< text kinds: text index (0 = ShortText, 1 ... 50 long texts)
    std::uint8_t Class;  ///< class 0 ... 255; selects the class visibility entry
    std::uint8_t Kind;  ///< kind 0 ... 24 (ikMark, ikLine, ...)
    std::int32_t Layer;  ///< layer 1 ... 16 whose transform maps the coordinates
    bool Transparent;  ///< shapes: clear brush; arrows: open heads
    std::uint8_t Style;  ///< 3D frame style of framed rectangles (TFrameStyle values)
    TShortText ShortText;  ///< text of text items with text index 0
    std::int32_t Size;  ///< by kind: font size in points, angle in degrees, arrow head length or half width in pixels, ...
    std::int32_t Size2;  ///< by kind: opaque text background, depth or half height in pixels, end angle, ...
    std::int32_t Shape;  ///< mark type (marks, error bars) or text alignment: 0 left, 1 right, 2 centred
    std::uint8_t Mode;  ///< coordinate mode: which coordinates are pixels; always 0 in the data list
};
static_assert(std::is_trivially_copyable_v<TkvChartItem>);
static_assert(std::is_standard_layout_v<TkvChartItem>);

/// A growable array of doubles in fixed chunks. Chunks never move, so growth
/// copies nothing and 10^8 values need no contiguous block of memory.
class KURVO_EXPORT TChunkedDoubles {
public:
    ///@{
    /// Values per chunk: 2^ChunkShift.
    static constexpr int ChunkShift = 10;
    static constexpr std::int64_t ChunkSize = std::int64_t{1} << ChunkShift;
    ///@}

    /// Values stored.
    std::int64_t Size() const { return FSize; }
    /// Values the chunks hold room for.
    std::int64_t Capacity() const { return static_cast<std::int64_t>(FChunks.size()) << ChunkShift; }
    /// Room for `n` values. Throws std::bad_alloc and keeps the array as it was.
    void Reserve(std::int64_t n);
    /// Appends `v`, growing by a chunk when full (may throw std::bad_alloc).
    void PushBack(double v)
    {
        if (FSize == Capacity()) Reserve(FSize + 1);
        FChunks[FSize >> ChunkShift][FSize & (ChunkSize - 1)] = v;
        ++FSize;
    }
    /// Appends n values; room must have been reserved.
    void AppendReserved(const double* values, std::int64_t n);
    /// Drops values beyond `n`; keeps the chunks.
    void Truncate(std::int64_t n) { FSize = n < FSize ? (n < 0 ? 0 : n) : FSize; }
    ///@{
    /// Value `i`, 0 <= i < Size().
    double operator[](std::int64_t i) const { return FChunks[i >> ChunkShift][i & (ChunkSize - 1)]; }
    double& operator[](std::int64_t i) { return FChunks[i >> ChunkShift][i & (ChunkSize - 1)]; }
    ///@}
    /// Bytes held by the chunks.
    std::int64_t MemoryBytes() const
    {
        return Capacity() * static_cast<std::int64_t>(sizeof(double)) +
               static_cast<std::int64_t>(FChunks.capacity() * sizeof(FChunks[0]));
    }

private:
    std::vector<std::unique_ptr<double[]>> FChunks;
    std::int64_t FSize = 0;
};

/// Minimum and maximum over any index range of a TChunkedDoubles in about
/// 2 * 15 * log16(n) steps. Level k keeps min and max of blocks of 16^(k+1)
/// values. Built lazily: Extend covers values appended since the last call,
/// recomputing only the blocks they touch.
class KURVO_EXPORT TMinMaxPyramid {
public:
    ///@{
    /// Blocks of a level hold Fan = 2^FanShift blocks of the level below.
    static constexpr int FanShift = 4;
    static constexpr int Fan = 1 << FanShift;
    ///@}

    /// Brings the structure up to date with the values appended since the last call.
    void Extend(const TChunkedDoubles& values);
    /// Forgets everything.
    void Clear()
    {
        FLevels.clear();
        FBuilt = 0;
    }
    /// Min and max of values[first ... last - 1], first < last <= the size at
    /// the last Extend.
    void Query(const TChunkedDoubles& values, std::int64_t first, std::int64_t last, double& lo, double& hi) const;
    /// Bytes held.
    std::int64_t MemoryBytes() const;

private:
    /// Each level: min, max interleaved per block.
    std::vector<std::vector<double>> FLevels;
    std::int64_t FBuilt = 0;
};

/// Whole item records in pages that never move, so that a reference to a
/// record stays valid while records are appended. The first pages are small
/// (16, 16, 32, ... 512 records) and grow as the list does: a display list
/// with a handful of whole records beside a long compact run holds a few
/// kilobytes for them, not a full page. From record 1024 on every page
/// holds PageSize records.
class KURVO_EXPORT TItemPages {
public:
    ///@{
    /// Records of a full page: PageSize = 2^PageShift.
    static constexpr int PageShift = 10;
    static constexpr std::int64_t PageSize = std::int64_t{1} << PageShift;
    ///@}

    /// Records the pages hold room for.
    std::int64_t Capacity() const
    {
        return FPages.empty() ? 0 : PageStart(static_cast<int>(FPages.size()));
    }
    /// Room for `n` records, zeroed. Throws std::bad_alloc and keeps the
    /// pages as they were.
    void Reserve(std::int64_t n);
    /// Frees every page.
    void Clear() { FPages.clear(); }
    ///@{
    /// Record `i`, 0 <= i < Capacity().
    const TkvChartItem& operator[](std::int64_t i) const
    {
        const int p = PageOf(i);
        return FPages[static_cast<std::size_t>(p)][i - PageStart(p)];
    }
    TkvChartItem& operator[](std::int64_t i)
    {
        const int p = PageOf(i);
        return FPages[static_cast<std::size_t>(p)][i - PageStart(p)];
    }
    ///@}
    /// Records from `i` to the end of its page, which lie contiguous in memory.
    std::int64_t ContiguousFrom(std::int64_t i) const { return PageStart(PageOf(i) + 1) - i; }
    /// Bytes held by the pages.
    std::int64_t MemoryBytes() const
    {
        return Capacity() * static_cast<std::int64_t>(sizeof(TkvChartItem)) +
               static_cast<std::int64_t>(FPages.capacity() * sizeof(FPages[0]));
    }

private:
    // Pages 1 ... 6 start at 16, 32, ... 512 and double; page 6 + k starts at k * PageSize.
    static int PageOf(std::int64_t i)
    {
        if (i >= PageSize) return 6 + static_cast<int>(i >> PageShift);
        int p = 0;
        for (std::int64_t start = 16; i >= start; start <<= 1) ++p;
        return p;
    }
    static std::int64_t PageStart(int p)
    {
        if (p == 0) return 0;
        if (p <= 6) return std::int64_t{1} << (p + 3);
        return static_cast<std::int64_t>(p - 6) << PageShift;
    }

    std::vector<std::unique_ptr<TkvChartItem[]>> FPages;
};

/// One stretch of a display list: either plain items or a compact run of
/// line-to items that differ only in X and Y.
struct TItemRun {
    std::int64_t First = 0;   ///< list index of the first item
    std::int64_t Count = 0;  ///< number of items
    std::int64_t Offset = 0;  ///< into the plain items or into the X/Y arrays
    std::int32_t Attributes = -1;  ///< compact runs: index of the shared attributes, -1 for plain runs
    bool XRising = true;      ///< compact runs: X never falls
    double XMin = 0.0;  ///< smallest X of a compact run
    double YMin = 0.0;  ///< smallest Y of a compact run
    /// Whether this is a compact run.
    bool Compact() const { return Attributes >= 0; }
};

/// The items of one display list. Long runs of equal line-to items (one
/// layer, equal attributes, finite values) are kept compact: X and Y in plain
/// arrays and the attributes once, about 17 bytes per point. Everything else
/// is kept as whole records. Index, DataItem and the counts see one flat list.
class KURVO_EXPORT TKvItemContainer {
public:
    /// Compact items are rebuilt for ForEachRun in buffers of this many.
    static constexpr std::int64_t PageSize = TItemPages::PageSize;

    TKvItemContainer() = default;
    TKvItemContainer(const TKvItemContainer&) = delete;
    TKvItemContainer& operator=(const TKvItemContainer&) = delete;

    /// Number of items.
    std::int64_t Size() const { return FSize; }
    /// Makes room for `slotCount` items in the form they most likely take
    /// (compact points). Throws std::bad_alloc and keeps the container as it
    /// was when memory runs out.
    void Reserve(std::int64_t slotCount);
    /// Removes every item and frees the storage.
    void Clear();

    /// Item `i`, rebuilt from its run; a zeroed item beyond Size.
    TkvChartItem Item(std::int64_t i) const;
    /// Item `i`; see Item().
    TkvChartItem operator[](std::int64_t i) const { return Item(i); }

    /// Appends one item; a line-to joins the compact run before it when it
    /// can. `compact` false keeps it as a whole record. Strong guarantee.
    void Append(const TkvChartItem& item, bool compact = true)
    {
        if (!compact || !TryAppendPoint(item)) AppendSlow(item, compact);
    }
    /// Everything but X and Y equal: the item may share a compact run's record.
    static bool SameAttributes(const TkvChartItem& a, const TkvChartItem& b)
    {
        // Eleven words compared at once rather than field by field: this
        // runs for every appended point.
        constexpr std::size_t from = offsetof(TkvChartItem, X2);
        constexpr std::size_t words = (sizeof(TkvChartItem) - from) / 8;
        static_assert(from + 8 * words == sizeof(TkvChartItem));
        return SameWords(reinterpret_cast<const char*>(&a) + from, reinterpret_cast<const char*>(&b) + from,
                         std::make_index_sequence<words>());
    }
    /// Appends n line-to items that share `attributes` (X, Y ignored) with
    /// the given coordinates. Non-finite points are stored as whole records.
    void AppendLinePoints(const TkvChartItem& attributes, const double* x, const double* y, std::int64_t n);
    /// Drops items beyond `count`.
    void Truncate(std::int64_t count);

    /// A new container with the first `count` items and room for `slotCount`.
    std::shared_ptr<TKvItemContainer> Copy(std::int64_t count, std::int64_t slotCount) const;

    /// Item slots held: compact points plus whole records.
    std::int64_t Allocated() const
    {
        return FX.Capacity() + FPlain.Capacity();
    }

    /// Calls f(const TkvChartItem* items, int n, int firstIndex) for
    /// contiguous stretches covering items 0 ... count - 1; compact items are
    /// rebuilt into a buffer of up to PageSize items first.
    template <class F>
    void ForEachRun(std::int64_t count, F&& f) const
    {
        std::vector<TkvChartItem> buffer;
        for (const TItemRun& run : FRuns) {
            if (run.First >= count) break;
            const std::int64_t n = std::min(run.Count, count - run.First);
            for (std::int64_t done = 0; done < n;) {
                const std::int64_t offset = run.Offset + done;
                std::int64_t take = std::min<std::int64_t>(n - done, PageSize);
                const TkvChartItem* items;
                if (run.Compact()) {
                    buffer.assign(static_cast<std::size_t>(take), FAttributes[static_cast<std::size_t>(run.Attributes)]);
                    for (std::int64_t k = 0; k < take; ++k) {
                        buffer[static_cast<std::size_t>(k)].X = FX[offset + k];
                        buffer[static_cast<std::size_t>(k)].Y = FY[offset + k];
                    }
                    items = buffer.data();
                } else {
                    // Records are contiguous within a page.
                    take = std::min<std::int64_t>(take, FPlain.ContiguousFrom(offset));
                    items = &PlainItem(offset);
                }
                f(items, static_cast<int>(take), static_cast<int>(run.First + done));
                done += take;
            }
        }
    }

    /// The stretches the list consists of, in order.
    const std::vector<TItemRun>& Runs() const { return FRuns; }
    /// Whole record at `offset` of the plain storage.
    const TkvChartItem& PlainItem(std::int64_t offset) const
    {
        return FPlain[offset];
    }
    /// The shared record of a compact run.
    const TkvChartItem& RunAttributes(const TItemRun& run) const { return FAttributes[run.Attributes]; }
    ///@{
    /// X and Y values of the compact runs.
    const TChunkedDoubles& XValues() const { return FX; }
    const TChunkedDoubles& YValues() const { return FY; }
    ///@}
    /// The min/max structure over all compact Y values, brought up to date.
    const TMinMaxPyramid& YPyramid() const;
    /// Bytes held for the items (arrays, pages, runs, min/max structure).
    std::int64_t MemoryBytes() const;

private:
    // Unrolled: a loop over the words left the comparison the largest cost of DrawTo.
    template <std::size_t... K>
    static bool SameWords(const char* a, const char* b, std::index_sequence<K...>)
    {
        const auto word = [](const char* p) {
            std::uint64_t w;
            std::memcpy(&w, p, sizeof w);
            return w;
        };
        return ((word(a + 8 * K) ^ word(b + 8 * K)) | ...) == 0;
    }
    /// The common case: a finite line-to point that continues the last
    /// compact run within the room already reserved.
    bool TryAppendPoint(const TkvChartItem& item)
    {
        if (FRuns.empty() || !FRuns.back().Compact() || FX.Size() == FX.Capacity() || FY.Size() == FY.Capacity() ||
            item.Kind != ikLineTo || item.Mode != 0 || !(std::abs(item.X) <= DBL_MAX) ||
            !(std::abs(item.Y) <= DBL_MAX) ||
            !SameAttributes(item, FAttributes[static_cast<std::size_t>(FRuns.back().Attributes)]))
            return false;
        TItemRun& run = FRuns.back();
        run.XRising = run.XRising && item.X >= FX[FX.Size() - 1];
        run.XMin = item.X < run.XMin ? item.X : run.XMin;
        run.YMin = item.Y < run.YMin ? item.Y : run.YMin;
        FX.PushBack(item.X);
        FY.PushBack(item.Y);
        ++run.Count;
        ++FSize;
        return true;
    }
    void AppendSlow(const TkvChartItem& item, bool compact);
    /// True when `item` may continue the last run.
    bool ContinuesCompactRun(const TkvChartItem& item) const;
    void StartCompactRun(const TkvChartItem& item);
    void AppendPlain(const TkvChartItem& item);
    void ReservePlain(std::int64_t n);

    std::vector<TItemRun> FRuns;
    TItemPages FPlain;
    std::int64_t FPlainCount = 0;
    std::vector<TkvChartItem> FAttributes;
    TChunkedDoubles FX;
    TChunkedDoubles FY;
    mutable TMinMaxPyramid FPyramid;
    std::int64_t FSize = 0;
};

/// One display list of a chart: its storage (shared with other charts while
/// they share data), Count and Capacity.
struct TItemList {
    std::shared_ptr<TKvItemContainer> Items = std::make_shared<TKvItemContainer>();  ///< the items; shared while charts share data
    int Count = 0;  ///< items in the list
    int Capacity = 0;  ///< items the list has room for

    /// Empties the list with fresh storage.
    void Clear()
    {
        Items = std::make_shared<TKvItemContainer>();
        Count = 0;
        Capacity = 0;
    }
};

/// 50 strings indexed 1 ... 50 and the number in use.
struct KURVO_EXPORT TLongTextArray {
    /// Number of entries.
    static constexpr int Size = 50;
    std::array<std::string, Size> Texts;  ///< entries 1 ... 50 at index 0 ... 49
    int Count = 0;  ///< entries in use

    /// Entry 1 ... 50; an empty text for any other index.
    const std::string& Text(int index) const;
    /// Empties every entry.
    void Clear()
    {
        for (std::string& t : Texts) t.clear();
        Count = 0;
    }
};

}  // namespace kurvo
