// The pixels of one-pixel lines at device pixel ratio 1, and a picture of
// one bit per pixel that collects many such lines. Internal: not installed.
#pragma once

#include "canvas/Qorn_canvas.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace kurvo {

/// One bit per pixel of a width x height area that one-pixel solid lines
/// are collected in (each pixel of each segment as TCanvas::LineTo draws it
/// at ratio 1), then painted onto an image in one colour. Lines of one
/// colour in copy mode give the same pixels whatever their order and
/// however often a pixel is reached, so each pixel is written once. Long
/// lines pass over the blocks of 16 x 16 pixels that are already full, so
/// that a line across a picture that lines have filled costs little.
class TLineCoverage {
public:
    /// Clears the area and gives it its size.
    void Reset(int width, int height);
    /// The pixels of the segment from `from` towards `to`, `to` excluded,
    /// that lie on the area.
    void Segment(TPoint from, TPoint to)
    {
        // Most segments of a dense line step to a neighbour: they draw their
        // start pixel alone.
        const int dx = to.X - from.X;
        const int dy = to.Y - from.Y;
        if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 && (dx | dy) != 0 &&
            static_cast<unsigned>(from.X) < static_cast<unsigned>(FWidth) &&
            static_cast<unsigned>(from.Y) < static_cast<unsigned>(FHeight)) {
            Set(from.X, from.Y);
            return;
        }
        LongSegment(from, to);
    }
    /// Sets `value` in every pixel collected; `pixels` is a 32-bit image of
    /// at least the area's size with `stride` pixels a row.
    void Paint(std::uint32_t* pixels, std::size_t stride, std::uint32_t value) const;
    /// Calls f(x, y) for every pixel collected.
    template <class F>
    void ForEachCovered(F&& f) const
    {
        for (int y = 0; y < FHeight; ++y) {
            const std::uint64_t* bits = FBits.data() + static_cast<std::size_t>(y) * FWords;
            for (std::size_t w = 0; w < FWords; ++w)
                for (std::uint64_t b = bits[w]; b != 0; b &= b - 1)
                    f(static_cast<int>((w << 6) + static_cast<std::size_t>(__builtin_ctzll(b))), y);
        }
    }
    /// Whether pixel (x, y) was collected.
    bool Covered(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < FWidth && y < FHeight &&
               ((FBits[static_cast<std::size_t>(y) * FWords + static_cast<std::size_t>(x >> 6)] >> (x & 63)) & 1) != 0;
    }
    /// Whether every pixel of [x0, x1] x [y0, y1] that lies on the area was
    /// collected (true for a box off the area). Answered from counts taken
    /// now and then: a pixel collected since the last count may still count
    /// as missing, never the other way round (pixels are only added).
    bool BoxCovered(long long x0, long long y0, long long x1, long long y1);
    /// A rectangle [low, high] of collected pixels, found at the last count
    /// (empty, high.X < low.X, before): the box of the pixels collected
    /// then, less as few of its outer rows and columns as need be.
    void Core(TPoint& low, TPoint& high) const
    {
        low = FCoreLow;
        high = FCoreHigh;
    }

private:
    static constexpr int kTileShift = 4;  // blocks of 16 x 16
    // Areas of up to this many pixels keep a count per pixel (4 bytes each);
    // larger ones count full blocks only.
    static constexpr long long kMaxPixelSums = 1LL << 22;
    void Set(long long x, long long y)
    {
        std::uint64_t& word = FBits[static_cast<std::size_t>(y) * FWords + static_cast<std::size_t>(x >> 6)];
        const std::uint64_t bit = std::uint64_t{1} << (x & 63);
        if ((word & bit) != 0) return;
        word |= bit;
        ++FSetSincePixelSums;
        const long long tx = x >> kTileShift;
        const long long ty = y >> kTileShift;
        const std::size_t tile = static_cast<std::size_t>(ty * FTilesAcross + tx);
        if (++FTileCount[tile] == TileArea(tx, ty)) {
            FTileFull[tile] = 1;
            ++FFullSinceSums;
        }
    }
    long long TileArea(long long tx, long long ty) const
    {
        return std::min<long long>(1 << kTileShift, FWidth - (tx << kTileShift)) *
               std::min<long long>(1 << kTileShift, FHeight - (ty << kTileShift));
    }
    bool TileFull(long long x, long long y) const
    {
        return static_cast<unsigned long long>(x) < static_cast<unsigned long long>(FWidth) &&
               static_cast<unsigned long long>(y) < static_cast<unsigned long long>(FHeight) &&
               FTileFull[static_cast<std::size_t>((y >> kTileShift) * FTilesAcross + (x >> kTileShift))] != 0;
    }
    /// Whether every block of the pixels [x0, x1] x [y0, y1] (on the area)
    /// is full, by the sums of full blocks as last counted.
    bool BlocksFull(long long x0, long long y0, long long x1, long long y1);
    /// The same per pixel, by the per-pixel counts.
    bool PixelsFull(long long x0, long long y0, long long x1, long long y1);
    /// Collected pixels in [x0, x1] x [y0, y1], by the per-pixel counts.
    long long PixelSum(long long x0, long long y0, long long x1, long long y1) const;
    void LongSegment(TPoint from, TPoint to);

    int FWidth = 0;
    int FHeight = 0;
    std::size_t FWords = 0;  // 64-bit words per row
    int FTilesAcross = 0;
    int FTilesDown = 0;
    std::vector<std::uint64_t> FBits;
    std::vector<std::uint16_t> FTileCount;  // pixels set per block
    std::vector<std::uint8_t> FTileFull;  // 1 for a full block
    // Full blocks summed over every rectangle from the top left corner
    // ((FTilesAcross + 1) x (FTilesDown + 1)), counted again when enough
    // blocks have become full since.
    std::vector<std::int32_t> FFullSums;
    long long FFullSinceSums = 0;
    // Collected pixels summed over every rectangle from the top left corner
    // ((FWidth + 1) x (FHeight + 1)) where the area is small enough, counted
    // again once pixels have been added and long lines have walked four
    // times as many steps as the area has pixels since: the counting costs
    // a fraction of the walking it saves.
    std::vector<std::uint32_t> FPixelSums;
    long long FSetSincePixelSums = 0;
    long long FWalkedSincePixelSums = 0;
    TPoint FCoreLow;
    TPoint FCoreHigh{-1, -1};
};

/// A pen drawing a polyline into a TLineCoverage. Consecutive segments along
/// one column or one row are collected as the interval they cover and
/// written as one segment: a line squeezed into a column (a range zoomed
/// out far) then costs a step per point, not one per pixel of every
/// segment. The pixels are those of the segments drawn one by one.
class TLinePath {
public:
    TLinePath(TLineCoverage& coverage, TPoint pen) : FCoverage(coverage) { FState.Pen = pen; }
    TPoint Pen() const { return FState.Pen; }
    void MoveTo(TPoint to)
    {
        Flush();
        FState.Pen = to;
    }
    void LineTo(TPoint to) { Step(FState, to); }
    /// LineTo((x[k], y[k]) - origin) for each of the n pixels in turn, with
    /// the pen and the interval kept in registers on the way.
    void LineTos(const int* x, const int* y, int n, TPoint origin)
    {
        TState state = FState;
        for (int k = 0; k < n;) {
            // Eight steps along the row being collected, taken together
            // (first and last on the row: a noisy line seldom gets further).
            if (state.Along == kRow && k + 8 <= n && y[k] == state.Pen.Y + origin.Y && y[k + 7] == y[k] &&
                RowOfEight(x + k, y + k, origin, state.Pen, state.Low, state.High)) {
                k += 8;
                continue;
            }
            Step(state, {x[k] - origin.X, y[k] - origin.Y});
            ++k;
        }
        FState = state;
    }
    /// See TLineCoverage::BoxCovered; the interval not yet written counts
    /// as missing.
    bool Covered(TPoint low, TPoint high) { return FCoverage.BoxCovered(low.X, low.Y, high.X, high.Y); }
    /// See TLineCoverage::Core.
    void Core(TPoint& low, TPoint& high) const { FCoverage.Core(low, high); }
    /// Writes the interval collected so far; the pen stays.
    void Flush() { Flush(FState); }

private:
    enum TAlong { kNone, kColumn, kRow };
    // When the eight pixels (x[k], y[k]) - origin all lie on the row of
    // `pen` and each differs from the one before: extends [low, high] as
    // the steps to them do, moves the pen to the last one and returns true.
    // False, changing nothing, otherwise (and where the processor lacks
    // AVX2).
    static bool RowOfEight(const int* x, const int* y, TPoint origin, TPoint& pen, int& low, int& high);
    struct TState {
        TPoint Pen;
        TAlong Along = kNone;
        int Line = 0;
        int Low = 0;
        int High = 0;
    };
    // Inlined into the loops that keep a state in registers.
    [[gnu::always_inline]] void Step(TState& s, TPoint to)
    {
        if (to.X == s.Pen.X && to.Y != s.Pen.Y) {
            Extend(s, kColumn, s.Pen.X, s.Pen.Y, to.Y);
        } else if (to.Y == s.Pen.Y && to.X != s.Pen.X) {
            Extend(s, kRow, s.Pen.Y, s.Pen.X, to.X);
        } else if (to.X != s.Pen.X) {
            Flush(s);
            FCoverage.Segment(s.Pen, to);
        }
        s.Pen = to;
    }
    [[gnu::always_inline]] void Flush(TState& s)
    {
        if (s.Along != kNone) Write(s.Along, s.Line, s.Low, s.High);
        s.Along = kNone;
    }
    // By value, so that a state in registers stays there.
    void Write(TAlong along, int line, int low, int high)
    {
        if (along == kColumn)
            FCoverage.Segment({line, low}, {line, high + 1});
        else
            FCoverage.Segment({low, line}, {high + 1, line});
    }
    // A segment from `from` to `to` along `line`: it covers `from` up to
    // `to` excluded, next to or over what the interval holds.
    [[gnu::always_inline]] void Extend(TState& s, TAlong along, int line, int from, int to)
    {
        // Without a branch on the direction, which dense lines change at
        // random.
        const int low = std::min(from, to + 1);
        const int high = std::max(from, to - 1);
        if (s.Along != along) {
            Flush(s);
            s.Along = along;
            s.Line = line;
            s.Low = low;
            s.High = high;
            return;
        }
        s.Low = std::min(s.Low, low);
        s.High = std::max(s.High, high);
    }

    TLineCoverage& FCoverage;
    TState FState;
};

}  // namespace kurvo
