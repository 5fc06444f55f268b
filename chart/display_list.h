// Display lists: flat arrays of drawing items in world coordinates.
#pragma once

#include "../canvas/Qorn_canvas.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kurvo {

// A short string of at most 17 characters: a length byte and 17 bytes.
struct TShortText {
    static constexpr int MaxLength = 17;
    std::uint8_t Length = 0;
    char Chars[MaxLength] = {};

    std::string Str() const { return std::string(Chars, Length > MaxLength ? MaxLength : Length); }
    // Keeps the first 17 bytes of `text`.
    void Assign(std::string_view text)
    {
        Length = static_cast<std::uint8_t>(text.size() > MaxLength ? MaxLength : text.size());
        std::memcpy(Chars, text.data(), Length);
    }
};

// Item kinds.
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

// One drawing step. A plain record: copied as a whole, no owned resources.
struct TkvChartItem {
    double X;
    double Y;
    double X2;
    double Y2;
    TColor Color;
    TColor FillColor;
    TColor Extra[2];
    TPenStyle PenStyle;
    std::int32_t Aux;
    std::int32_t LineWidth;  // text kinds: text index (0 = ShortText, 1 ... 50 long texts)
    std::uint8_t Class;
    std::uint8_t Kind;
    std::int32_t Layer;
    bool Transparent;
    std::uint8_t Style;
    TShortText ShortText;
    std::int32_t Size;
    std::int32_t Size2;
    std::int32_t Shape;
    std::uint8_t Mode;
};
static_assert(std::is_trivially_copyable_v<TkvChartItem>);
static_assert(std::is_standard_layout_v<TkvChartItem>);

// Item storage in fixed pages of zeroed slotCount. Pages are never moved, so
// growing a list never copies items, and a list of any length grows in
// constant time per item. Copies (Assign, leaving a share) copy page by page.
class TKvItemContainer {
public:
    static constexpr int PageShift = 10;
    static constexpr int PageSize = 1 << PageShift;

    TKvItemContainer() = default;
    TKvItemContainer(const TKvItemContainer&) = delete;
    TKvItemContainer& operator=(const TKvItemContainer&) = delete;

    // Makes at least `slotCount` slotCount available, zeroed. Throws std::bad_alloc
    // (and keeps the container as it was) when memory runs out.
    void Reserve(std::int64_t slotCount);
    std::int64_t Allocated() const { return static_cast<std::int64_t>(FPages.size()) << PageShift; }
    void Clear() { FPages.clear(); }
    // Zeroes the first `count` slots and keeps every page for reuse.
    void ZeroFirst(std::int64_t count);

    TkvChartItem& operator[](std::int64_t i) { return FPages[i >> PageShift][i & (PageSize - 1)]; }
    const TkvChartItem& operator[](std::int64_t i) const { return FPages[i >> PageShift][i & (PageSize - 1)]; }

    // A new container with the first `count` items and room for `slotCount`.
    std::shared_ptr<TKvItemContainer> Copy(std::int64_t count, std::int64_t slotCount) const;

    // Calls f(const TkvChartItem* items, int n, int firstIndex) for
    // contiguous runs covering items 0 ... count - 1.
    template <class F>
    void ForEachRun(std::int64_t count, F&& f) const
    {
        for (std::int64_t first = 0; first < count; first += PageSize) {
            const std::int64_t n = count - first < PageSize ? count - first : PageSize;
            f(FPages[first >> PageShift].get(), static_cast<int>(n), static_cast<int>(first));
        }
    }

private:
    std::vector<std::unique_ptr<TkvChartItem[]>> FPages;
};

// One display list of a chart: its storage (shared with other charts while
// they share data), Count and Capacity.
struct TItemList {
    std::shared_ptr<TKvItemContainer> Items = std::make_shared<TKvItemContainer>();
    int Count = 0;
    int Capacity = 0;

    void Clear()
    {
        Items = std::make_shared<TKvItemContainer>();
        Count = 0;
        Capacity = 0;
    }
};

// 50 strings indexed 1 ... 50 and the number in use.
struct TLongTextArray {
    static constexpr int Size = 50;
    std::array<std::string, Size> Texts;
    int Count = 0;

    // Entry 1 ... 50; an empty text for any other index.
    const std::string& Text(int index) const;
    void Clear()
    {
        for (std::string& t : Texts) t.clear();
        Count = 0;
    }
};

}  // namespace kurvo
