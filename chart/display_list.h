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

/// Memory for the chunks of long arrays: blocks of LargeBlockBytes aligned
/// to their size, which the system may back with one large page each, so
/// that filling 10^7 values costs a few hundred page faults rather than
/// tens of thousands. AllocateLargeBlock throws std::bad_alloc.
constexpr std::size_t LargeBlockBytes = std::size_t{2} << 20;
KURVO_EXPORT void* AllocateLargeBlock();
KURVO_EXPORT void FreeLargeBlock(void* block) noexcept;

/// A growable array of plain values in fixed chunks. Chunks never move, so
/// growth copies nothing and 10^8 values need no contiguous block of
/// memory. The chunks of the first LargeBlockBytes are allocated one by
/// one; beyond, they are cut from large blocks.
template <class T>
class TChunkedArray {
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
    void Reserve(std::int64_t n)
    {
        if (n <= Capacity()) return;
        const std::size_t needed = static_cast<std::size_t>((n + ChunkSize - 1) >> ChunkShift);
        // Everything is allocated first, so that running out of memory
        // leaves the array as it was.
        std::vector<std::unique_ptr<T[]>> small;
        std::vector<TBlock> blocks;
        std::size_t count = FChunks.size();
        std::size_t left = FBlockLeft;
        for (; count < needed && count < kSmallChunks; ++count)
            small.push_back(std::make_unique_for_overwrite<T[]>(ChunkSize));
        for (; count < needed; ++count) {
            if (left == 0) {
                blocks.emplace_back(AllocateLargeBlock());
                left = kChunksPerBlock;
            }
            --left;
        }
        if (FChunks.capacity() < needed) FChunks.reserve(std::max(needed, 2 * FChunks.capacity()));
        FSmall.reserve(FSmall.size() + small.size());
        FBlocks.reserve(FBlocks.size() + blocks.size());
        for (auto& chunk : small) {
            FChunks.push_back(chunk.get());
            FSmall.push_back(std::move(chunk));
        }
        std::size_t nextBlock = 0;
        while (FChunks.size() < needed) {
            if (FBlockLeft == 0) {
                FBlocks.push_back(std::move(blocks[nextBlock++]));
                FBlockLeft = kChunksPerBlock;
            }
            FChunks.push_back(static_cast<T*>(FBlocks.back().get()) + (kChunksPerBlock - FBlockLeft) * ChunkSize);
            --FBlockLeft;
        }
    }
    /// Appends `v`, growing by a chunk when full (may throw std::bad_alloc).
    void PushBack(T v)
    {
        if (FSize == Capacity()) Reserve(FSize + 1);
        FChunks[static_cast<std::size_t>(FSize >> ChunkShift)][FSize & (ChunkSize - 1)] = v;
        ++FSize;
    }
    /// Appends n values; room must have been reserved.
    void AppendReserved(const T* values, std::int64_t n)
    {
        while (n > 0) {
            const std::int64_t inChunk = ChunkSize - (FSize & (ChunkSize - 1));
            const std::int64_t take = n < inChunk ? n : inChunk;
            std::memcpy(&FChunks[static_cast<std::size_t>(FSize >> ChunkShift)][FSize & (ChunkSize - 1)], values,
                        static_cast<std::size_t>(take) * sizeof(T));
            FSize += take;
            values += take;
            n -= take;
        }
    }
    /// Drops values beyond `n`; keeps the chunks.
    void Truncate(std::int64_t n) { FSize = n < FSize ? (n < 0 ? 0 : n) : FSize; }
    ///@{
    /// Value `i`, 0 <= i < Size().
    T operator[](std::int64_t i) const { return FChunks[static_cast<std::size_t>(i >> ChunkShift)][i & (ChunkSize - 1)]; }
    T& operator[](std::int64_t i) { return FChunks[static_cast<std::size_t>(i >> ChunkShift)][i & (ChunkSize - 1)]; }
    ///@}
    /// The values from `i` to the end of its chunk, which lie contiguous in memory.
    const T* Contiguous(std::int64_t i, std::int64_t& n) const
    {
        n = ChunkSize - (i & (ChunkSize - 1));
        return &FChunks[static_cast<std::size_t>(i >> ChunkShift)][i & (ChunkSize - 1)];
    }
    /// Bytes held by the chunks.
    std::int64_t MemoryBytes() const
    {
        return static_cast<std::int64_t>(FSmall.size()) * ChunkSize * static_cast<std::int64_t>(sizeof(T)) +
               static_cast<std::int64_t>(FBlocks.size() * LargeBlockBytes) +
               static_cast<std::int64_t>(FChunks.capacity() * sizeof(FChunks[0]));
    }

private:
    // Chunks cut from large blocks once the array holds a block's worth, so
    // that a short array never holds a large block mostly empty.
    static constexpr std::size_t kChunksPerBlock = LargeBlockBytes / (ChunkSize * sizeof(T));
    static constexpr std::size_t kSmallChunks = kChunksPerBlock;
    static_assert(kChunksPerBlock >= 1);
    struct TFreeBlock {
        void operator()(void* block) const noexcept { FreeLargeBlock(block); }
    };
    using TBlock = std::unique_ptr<void, TFreeBlock>;

    std::vector<T*> FChunks;
    std::vector<std::unique_ptr<T[]>> FSmall;
    std::vector<TBlock> FBlocks;
    std::size_t FBlockLeft = 0;  // chunks of the last block not handed out yet
    std::int64_t FSize = 0;
};

/// The X and Y values of compact items.
using TChunkedDoubles = TChunkedArray<double>;

/// Minimum and maximum over any index range of a series of values in about
/// 2 * 15 * log16(n) steps. Level k keeps min and max of blocks of
/// 2^baseShift * 16^k values (16^(k+1) by default); a larger base keeps a
/// structure over big samples small at the price of longer scans at both
/// ends of a range. Built lazily: Extend covers values appended since the last call,
/// recomputing only the blocks they touch. The values are any indexable
/// source with Size() (chunked arrays, plain arrays behind an adapter).
class KURVO_EXPORT TMinMaxPyramid {
public:
    ///@{
    /// Blocks of a level hold Fan = 2^FanShift blocks of the level below.
    static constexpr int FanShift = 4;
    static constexpr int Fan = 1 << FanShift;
    ///@}
    /// Blocks of level 0 hold 2^baseShift values (1 ... 20).
    explicit TMinMaxPyramid(int baseShift = FanShift) : FBase(std::clamp(baseShift, 1, 20)) {}

    /// Brings the structure up to date with the values appended since the last call.
    template <class V>
    void Extend(const V& values);
    /// Makes room in the first level (nearly all of the structure) for n
    /// values: building up to n then moves none of it.
    void Reserve(std::int64_t n)
    {
        if (FLevels.empty()) FLevels.emplace_back();
        FLevels[0].reserve(static_cast<std::size_t>(2 * ((n + (std::int64_t{1} << FBase) - 1) >> FBase)));
    }
    /// Forgets everything.
    void Clear()
    {
        FLevels.clear();
        FBuilt = 0;
    }
    /// Min and max of values[first ... last - 1], first < last <= the size at
    /// the last Extend.
    template <class V>
    void Query(const V& values, std::int64_t first, std::int64_t last, double& lo, double& hi) const;
    /// The last index i of [first, last) whose value is not `inside`, or
    /// first - 1 when all are. inside(lo, hi) tells whether every value
    /// between lo and hi is inside (a test on an interval, such as "maps to
    /// one pixel row"), so whole blocks are passed over at once.
    template <class V, class Inside>
    std::int64_t LastOutside(const V& values, std::int64_t first, std::int64_t last, Inside&& inside) const;
    /// Bytes held.
    std::int64_t MemoryBytes() const
    {
        std::int64_t bytes = 0;
        for (const auto& level : FLevels) bytes += static_cast<std::int64_t>(level.capacity() * sizeof(double));
        return bytes;
    }

private:
    /// Each level: min, max interleaved per block.
    std::vector<std::vector<double>> FLevels;
    std::int64_t FBuilt = 0;
    int FBase = FanShift;
    /// An entry of `level` covers 2^ShiftOf(level) values (level -1: one value).
    int ShiftOf(int level) const { return level < 0 ? 0 : FBase + FanShift * level; }
    /// An entry of level + 1 covers 2^StepAbove(level) entries of `level`.
    int StepAbove(int level) const { return level < 0 ? FBase : FanShift; }
    /// Min and max of values[from ... to - 1], from < to, value by value (a
    /// NaN first gives NaN, later ones are passed over); or by the source's
    /// own MinMax(from, to, lo, hi) where it has one, with the same result.
    template <class V>
    static auto BlockMinMax(const V& values, std::int64_t from, std::int64_t to, double& lo, double& hi, int)
        -> decltype(values.MinMax(from, to, lo, hi))
    {
        return values.MinMax(from, to, lo, hi);
    }
    template <class V>
    static void BlockMinMax(const V& values, std::int64_t from, std::int64_t to, double& lo, double& hi, long)
    {
        lo = hi = values[from];
        for (std::int64_t i = from + 1; i < to; ++i) {
            const double v = values[i];
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
    }
};

template <class V>
void TMinMaxPyramid::Extend(const V& values)
{
    const std::int64_t n = values.Size();
    if (n < FBuilt) Clear();  // the values were cut: start again
    if (n == FBuilt) return;
    std::int64_t below = n;  // entries of the level below
    for (std::size_t level = 0; below > 1; ++level) {
        const int step = StepAbove(static_cast<int>(level) - 1);
        const std::int64_t blocks = (below + (std::int64_t{1} << step) - 1) >> step;
        const std::int64_t firstDirty = FBuilt >> ShiftOf(static_cast<int>(level));
        if (level == FLevels.size()) FLevels.emplace_back();
        std::vector<double>& out = FLevels[level];
        out.resize(static_cast<std::size_t>(2 * blocks));
        for (std::int64_t b = firstDirty; b < blocks; ++b) {
            const std::int64_t from = b << step;
            const std::int64_t to = std::min(below, from + (std::int64_t{1} << step));
            double lo, hi;
            if (level == 0) {
                BlockMinMax(values, from, to, lo, hi, 0);
            } else {
                const std::vector<double>& in = FLevels[level - 1];
                lo = in[static_cast<std::size_t>(2 * from)];
                hi = in[static_cast<std::size_t>(2 * from + 1)];
                for (std::int64_t i = from + 1; i < to; ++i) {
                    lo = std::min(lo, in[static_cast<std::size_t>(2 * i)]);
                    hi = std::max(hi, in[static_cast<std::size_t>(2 * i + 1)]);
                }
            }
            out[static_cast<std::size_t>(2 * b)] = lo;
            out[static_cast<std::size_t>(2 * b + 1)] = hi;
        }
        below = blocks;
    }
    FBuilt = n;
}

template <class V>
void TMinMaxPyramid::Query(const V& values, std::int64_t first, std::int64_t last, double& lo, double& hi) const
{
    lo = HUGE_VAL;
    hi = -HUGE_VAL;
    const auto scan = [&](int level, std::int64_t from, std::int64_t to) {
        if (level < 0) {
            for (std::int64_t i = from; i < to; ++i) {
                const double v = values[i];
                lo = v < lo ? v : lo;
                hi = v > hi ? v : hi;
            }
            return;
        }
        const double* e = FLevels[static_cast<std::size_t>(level)].data();
        for (std::int64_t i = from; i < to; ++i) {
            lo = e[2 * i] < lo ? e[2 * i] : lo;
            hi = e[2 * i + 1] > hi ? e[2 * i + 1] : hi;
        }
    };
    std::int64_t l = first;
    std::int64_t h = last;
    const int levels = static_cast<int>(FLevels.size());
    for (int level = -1; l < h; ++level) {
        const int step = StepAbove(level);
        const std::int64_t up = (l + (std::int64_t{1} << step) - 1) >> step;
        const std::int64_t down = h >> step;
        if (level + 1 >= levels || up >= down) {
            scan(level, l, h);
            return;
        }
        scan(level, l, up << step);
        scan(level, down << step, h);
        l = up;
        h = down;
    }
}

template <class V, class Inside>
std::int64_t TMinMaxPyramid::LastOutside(const V& values, std::int64_t first, std::int64_t last,
                                         Inside&& inside) const
{
    const int levels = static_cast<int>(FLevels.size());
    // Level -1 are the values themselves; an entry e of level L >= 0 covers
    // the values [e << s, (e + 1) << s), s = ShiftOf(L).
    const auto entryInside = [&](int level, std::int64_t e) {
        if (level < 0) return inside(values[e], values[e]);
        const double* p = FLevels[static_cast<std::size_t>(level)].data() + 2 * e;
        return inside(p[0], p[1]);
    };
    const auto shiftOf = [this](int level) { return ShiftOf(level); };
    // The last entry not inside among the children of an entry not inside.
    const auto descend = [&](int level, std::int64_t e) {
        for (; level >= 0; --level) {
            std::int64_t child = ((e + 1) << StepAbove(level - 1)) - 1;
            while (entryInside(level - 1, child)) --child;
            e = child;
        }
        return e;
    };
    // Up from the end: at each level the entries right of the next boundary
    // of the level above, as long as they lie in [first, last).
    int level = -1;
    std::int64_t end = last;  // entries of `level` before `end` are left
    for (;;) {
        const int s = shiftOf(level);
        const std::int64_t lowest = (first + (std::int64_t{1} << s) - 1) >> s;
        const int up = StepAbove(level);
        const bool rise = level + 1 < levels && ((end >> up) << up) > lowest;
        const std::int64_t stop = rise ? (end >> up) << up : lowest;
        for (std::int64_t e = end - 1; e >= stop; --e)
            if (!entryInside(level, e)) return descend(level, e);
        if (!rise) {
            end = stop;
            break;
        }
        end = stop >> up;
        ++level;
    }
    // Down on the left: the values [first, end << s) lie in entries of the
    // levels below.
    for (std::int64_t limit = end << shiftOf(level); level > -1;) {
        --level;
        const int s = shiftOf(level);
        const std::int64_t lowest = (first + (std::int64_t{1} << s) - 1) >> s;
        for (std::int64_t e = (limit >> s) - 1; e >= lowest; --e)
            if (!entryInside(level, e)) return descend(level, e);
        limit = lowest << s;
    }
    return first - 1;
}

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
/// line-to or mark items that differ only in X and Y (and, in a varying
/// run, in Color and Class).
struct TItemRun {
    std::int64_t First = 0;   ///< list index of the first item
    std::int64_t Count = 0;  ///< number of items
    std::int64_t Offset = 0;  ///< into the plain items or into the X/Y arrays
    std::int32_t Attributes = -1;  ///< compact runs: index of the shared attributes, -1 for plain runs
    std::int32_t Varying = -1;  ///< varying runs: index of their colours and classes, else -1
    bool XRising = true;      ///< compact runs: X never falls
    double XMin = 0.0;  ///< smallest X of a compact run
    double YMin = 0.0;  ///< smallest Y of a compact run
    /// Whether this is a compact run.
    bool Compact() const { return Attributes >= 0; }
};

/// Where the colours and classes of a varying run are kept, and which
/// classes occur in it.
struct TVaryingRun {
    std::int64_t Offset = 0;  ///< into the colour and class arrays
    std::array<std::uint64_t, 4> Classes{};  ///< bit c set: class c occurs
    /// Notes that class `c` occurs.
    void Add(std::uint8_t c) { Classes[c >> 6] |= std::uint64_t{1} << (c & 63); }
    /// Whether every class that occurs is visible in `visible`.
    template <class Table>
    bool AllVisible(const Table& visible) const
    {
        for (int c = 0; c < 256; ++c)
            if (((Classes[static_cast<std::size_t>(c >> 6)] >> (c & 63)) & 1) != 0 && !visible[static_cast<std::size_t>(c)])
                return false;
        return true;
    }
};

/// The items of one display list. Long runs of equal line-to or mark items
/// (one layer, equal attributes, finite values) are kept compact: X and Y in
/// plain arrays and the attributes once, about 17 bytes per point. A run
/// whose items change colour or class at every point keeps both per point
/// as well (5 bytes more). Everything else is kept as whole records. Index,
/// DataItem and the counts see one flat list.
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
    /// Item `k` (0-based) of compact run `run`, rebuilt.
    TkvChartItem RunItem(const TItemRun& run, std::int64_t k) const
    {
        TkvChartItem item = FAttributes[static_cast<std::size_t>(run.Attributes)];
        item.X = FX[run.Offset + k];
        item.Y = FY[run.Offset + k];
        if (run.Varying >= 0) {
            const std::int64_t v = FVarying[static_cast<std::size_t>(run.Varying)].Offset + k;
            item.Color = FColors[v];
            item.Class = FClasses[v];
        }
        return item;
    }

    /// Appends one item; a line-to or mark joins the compact run before it
    /// when it can. `compact` false keeps it as a whole record. Strong
    /// guarantee.
    void Append(const TkvChartItem& item, bool compact = true)
    {
        if (!compact || !TryAppendPoint(item)) AppendSlow(item, compact);
    }
    /// Everything but X and Y equal: the item may share a compact run's record.
    static bool SameAttributes(const TkvChartItem& a, const TkvChartItem& b)
    {
        return SameWords(reinterpret_cast<const char*>(&a) + kFrom, reinterpret_cast<const char*>(&b) + kFrom,
                         std::make_index_sequence<kWords>(), 0);
    }
    /// Everything but X, Y, Color and Class equal: the item may join a
    /// varying run.
    static bool SameButColourAndClass(const TkvChartItem& a, const TkvChartItem& b)
    {
        return SameWords(reinterpret_cast<const char*>(&a) + kFrom, reinterpret_cast<const char*>(&b) + kFrom,
                         std::make_index_sequence<kWords>(), 1);
    }
    /// Appends n line-to items (or marks, when `attributes` is a mark) that
    /// share `attributes` (X, Y ignored) with the given coordinates.
    /// Non-finite points are stored as whole records.
    void AppendPoints(const TkvChartItem& attributes, const double* x, const double* y, std::int64_t n);
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
                    buffer.resize(static_cast<std::size_t>(take));
                    for (std::int64_t k = 0; k < take; ++k) buffer[static_cast<std::size_t>(k)] = RunItem(run, done + k);
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
    /// The shared record of a compact run (of a varying run: its first item's colour and class).
    const TkvChartItem& RunAttributes(const TItemRun& run) const { return FAttributes[run.Attributes]; }
    ///@{
    /// X and Y values of the compact runs.
    const TChunkedDoubles& XValues() const { return FX; }
    const TChunkedDoubles& YValues() const { return FY; }
    ///@}
    /// The colours and classes of a varying run and where they start.
    const TVaryingRun& Varying(const TItemRun& run) const { return FVarying[static_cast<std::size_t>(run.Varying)]; }
    ///@{
    /// Colours and classes of the varying runs.
    const TChunkedArray<TColor>& Colors() const { return FColors; }
    const TChunkedArray<std::uint8_t>& Classes() const { return FClasses; }
    ///@}
    /// The min/max structure over all compact Y values, brought up to date.
    const TMinMaxPyramid& YPyramid() const;
    /// Bytes held for the items (arrays, pages, runs, min/max structure).
    std::int64_t MemoryBytes() const;

private:
    // The record from X2 on, compared in eight-byte words.
    static constexpr std::size_t kFrom = offsetof(TkvChartItem, X2);
    static constexpr std::size_t kWords = (sizeof(TkvChartItem) - kFrom) / 8;
    static_assert(kFrom + 8 * kWords == sizeof(TkvChartItem));
    // Color and Class, left out by the varying comparison: a mask per word.
    static constexpr std::uint64_t MaskOf(std::size_t word)
    {
        std::uint64_t mask = ~std::uint64_t{0};
        const auto clear = [&](std::size_t offset, std::size_t bytes) {
            for (std::size_t b = offset; b < offset + bytes; ++b)
                if (b >= kFrom + 8 * word && b < kFrom + 8 * word + 8) mask &= ~(std::uint64_t{0xFF} << (8 * (b - kFrom - 8 * word)));
        };
        clear(offsetof(TkvChartItem, Color), sizeof(TColor));
        clear(offsetof(TkvChartItem, Class), 1);
        return mask;
    }
    // Unrolled: a loop over the words left the comparison the largest cost of DrawTo.
    template <std::size_t... K>
    static bool SameWords(const char* a, const char* b, std::index_sequence<K...>, int varying)
    {
        const auto word = [](const char* p) {
            std::uint64_t w;
            std::memcpy(&w, p, sizeof w);
            return w;
        };
        if (varying == 0) return ((word(a + 8 * K) ^ word(b + 8 * K)) | ...) == 0;
        return (((word(a + 8 * K) ^ word(b + 8 * K)) & MaskOf(K)) | ...) == 0;
    }
    /// The common case: a finite point that continues the last compact run
    /// within the room already reserved.
    bool TryAppendPoint(const TkvChartItem& item)
    {
        if (FRuns.empty() || !FRuns.back().Compact() || FX.Size() == FX.Capacity() || FY.Size() == FY.Capacity() ||
            item.Mode != 0 || !(std::abs(item.X) <= DBL_MAX) || !(std::abs(item.Y) <= DBL_MAX))
            return false;
        TItemRun& run = FRuns.back();
        const TkvChartItem& attributes = FAttributes[static_cast<std::size_t>(run.Attributes)];
        if (run.Varying < 0) {
            if (!SameAttributes(item, attributes)) return false;
        } else {
            if (FColors.Size() == FColors.Capacity() || FClasses.Size() == FClasses.Capacity() ||
                !SameButColourAndClass(item, attributes))
                return false;
            FColors.PushBack(item.Color);
            FClasses.PushBack(item.Class);
            FVarying[static_cast<std::size_t>(run.Varying)].Add(item.Class);
        }
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
    /// True when `item` may continue the last run with equal attributes.
    bool ContinuesCompactRun(const TkvChartItem& item) const;
    void StartCompactRun(const TkvChartItem& item);
    /// Makes the last run, of one point, a varying run.
    void MakeVarying();
    void AppendPlain(const TkvChartItem& item);
    void ReservePlain(std::int64_t n);

    std::vector<TItemRun> FRuns;
    TItemPages FPlain;
    std::int64_t FPlainCount = 0;
    std::vector<TkvChartItem> FAttributes;
    std::vector<TVaryingRun> FVarying;
    TChunkedDoubles FX;
    TChunkedDoubles FY;
    TChunkedArray<TColor> FColors;
    TChunkedArray<std::uint8_t> FClasses;
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
