// A picture of one bit per pixel collecting one-pixel lines; see
// line_coverage.h.
#include "canvas/line_coverage.h"

#include "canvas/cpu_features.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cmath>

namespace kurvo {

namespace {

constexpr long long kChunk = 16;  // steps of a long line looked at together

}  // namespace

void TLineCoverage::Reset(int width, int height)
{
    FWidth = std::max(width, 0);
    FHeight = std::max(height, 0);
    FWords = static_cast<std::size_t>((FWidth + 63) / 64);
    FTilesAcross = (FWidth + (1 << kTileShift) - 1) >> kTileShift;
    FTilesDown = (FHeight + (1 << kTileShift) - 1) >> kTileShift;
    FBits.assign(FWords * static_cast<std::size_t>(FHeight), 0);
    FTileCount.assign(static_cast<std::size_t>(FTilesAcross) * static_cast<std::size_t>(FTilesDown), 0);
    FTileFull.assign(FTileCount.size(), 0);
    FFullSums.assign(static_cast<std::size_t>(FTilesAcross + 1) * static_cast<std::size_t>(FTilesDown + 1), 0);
    FFullSinceSums = 0;
    FPixelSums.clear();  // counted at the first question
    FSetSincePixelSums = 0;
    FWalkedSincePixelSums = 0;
    FCoreLow = {0, 0};
    FCoreHigh = {-1, -1};
}

bool TLineCoverage::BoxCovered(long long x0, long long y0, long long x1, long long y1)
{
    x0 = std::max(x0, 0LL);
    y0 = std::max(y0, 0LL);
    x1 = std::min(x1, FWidth - 1LL);
    y1 = std::min(y1, FHeight - 1LL);
    if (x0 > x1 || y0 > y1) return true;
    if (static_cast<long long>(FWidth) * FHeight <= kMaxPixelSums) return PixelsFull(x0, y0, x1, y1);
    return BlocksFull(x0, y0, x1, y1);
}

long long TLineCoverage::PixelSum(long long x0, long long y0, long long x1, long long y1) const
{
    const std::size_t across = static_cast<std::size_t>(FWidth) + 1;
    const auto sum = [&](long long x, long long y) {
        return static_cast<long long>(FPixelSums[static_cast<std::size_t>(y) * across + static_cast<std::size_t>(x)]);
    };
    return sum(x1 + 1, y1 + 1) - sum(x0, y1 + 1) - sum(x1 + 1, y0) + sum(x0, y0);
}

bool TLineCoverage::PixelsFull(long long x0, long long y0, long long x1, long long y1)
{
    const std::size_t across = static_cast<std::size_t>(FWidth) + 1;
    if (FSetSincePixelSums > 0 && FWalkedSincePixelSums >= 4LL * FWidth * FHeight) {
        FPixelSums.resize(across * (static_cast<std::size_t>(FHeight) + 1));
        // The box of the collected pixels on the way.
        TPoint low{FWidth, FHeight}, high{-1, -1};
        for (std::size_t y = 0; y < static_cast<std::size_t>(FHeight); ++y) {
            const std::uint64_t* bits = FBits.data() + y * FWords;
            const std::uint32_t* above = FPixelSums.data() + y * across;
            std::uint32_t* row = FPixelSums.data() + (y + 1) * across;
            std::uint32_t inRow = 0;
            for (std::size_t x = 0; x < static_cast<std::size_t>(FWidth); ++x) {
                inRow += static_cast<std::uint32_t>((bits[x >> 6] >> (x & 63)) & 1);
                row[x + 1] = above[x + 1] + inRow;
            }
            if (inRow == 0) continue;
            for (std::size_t w = 0; w < FWords; ++w)
                if (bits[w] != 0) {
                    low.X = std::min(low.X, static_cast<int>(64 * w) + __builtin_ctzll(bits[w]));
                    break;
                }
            for (std::size_t w = FWords; w-- > 0;)
                if (bits[w] != 0) {
                    high.X = std::max(high.X, static_cast<int>(64 * w) + 63 - __builtin_clzll(bits[w]));
                    break;
                }
            low.Y = std::min(low.Y, static_cast<int>(y));
            high.Y = static_cast<int>(y);
        }
        FSetSincePixelSums = 0;
        FWalkedSincePixelSums = 0;
        // The core: that box without as few of its outer rows and columns as
        // leave only collected pixels (lines that fill an area rarely fill
        // its edges).
        FCoreLow = {0, 0};
        FCoreHigh = {-1, -1};
        for (int cut = 0; low.X + cut <= high.X - cut && low.Y + cut <= high.Y - cut; cut = std::max(cut + 1, cut * 3 / 2))
            if (PixelSum(low.X + cut, low.Y + cut, high.X - cut, high.Y - cut) ==
                static_cast<long long>(high.X - low.X - 2 * cut + 1) * (high.Y - low.Y - 2 * cut + 1)) {
                FCoreLow = {low.X + cut, low.Y + cut};
                FCoreHigh = {high.X - cut, high.Y - cut};
                break;
            }
    }
    if (!FPixelSums.empty() && PixelSum(x0, y0, x1, y1) == (x1 - x0 + 1) * (y1 - y0 + 1)) return true;
    // The caller walks the box instead, about its width and height in steps:
    // counted as walked, so that pixels collected since the last count,
    // which only lines that pass them set, cannot keep the answer stale.
    FWalkedSincePixelSums += (x1 - x0 + 1) + (y1 - y0 + 1);
    return false;
}

bool TLineCoverage::BlocksFull(long long x0, long long y0, long long x1, long long y1)
{
    // Counted again after a sixty-fourth of the blocks (at least one) have
    // become full: a few hundred times at most, whatever the lines.
    const long long across = FTilesAcross + 1;
    if (FFullSinceSums * 64 >= std::max<long long>(1, static_cast<long long>(FTileCount.size()))) {
        for (long long ty = 0; ty < FTilesDown; ++ty)
            for (long long tx = 0; tx < FTilesAcross; ++tx) {
                const bool full = FTileFull[static_cast<std::size_t>(ty * FTilesAcross + tx)] != 0;
                FFullSums[static_cast<std::size_t>((ty + 1) * across + tx + 1)] =
                    (full ? 1 : 0) + FFullSums[static_cast<std::size_t>(ty * across + tx + 1)] +
                    FFullSums[static_cast<std::size_t>((ty + 1) * across + tx)] -
                    FFullSums[static_cast<std::size_t>(ty * across + tx)];
            }
        FFullSinceSums = 0;
    }
    const long long tx0 = x0 >> kTileShift, tx1 = (x1 >> kTileShift) + 1;
    const long long ty0 = y0 >> kTileShift, ty1 = (y1 >> kTileShift) + 1;
    const auto sum = [&](long long tx, long long ty) { return FFullSums[static_cast<std::size_t>(ty * across + tx)]; };
    return sum(tx1, ty1) - sum(tx0, ty1) - sum(tx1, ty0) + sum(tx0, ty0) == (tx1 - tx0) * (ty1 - ty0);
}

void TLineCoverage::LongSegment(TPoint from, TPoint to)
{
    const long long dx = static_cast<long long>(to.X) - from.X;
    const long long dy = static_cast<long long>(to.Y) - from.Y;
    const long long adx = std::llabs(dx);
    const long long ady = std::llabs(dy);
    const long long n = std::max(adx, ady);
    if (n == 0 || FWidth == 0 || FHeight == 0) return;
    const bool xMajor = adx >= ady;
    const auto inside = [this](TPoint p) {
        return static_cast<unsigned>(p.X) < static_cast<unsigned>(FWidth) &&
               static_cast<unsigned>(p.Y) < static_cast<unsigned>(FHeight);
    };
    if (n <= 2 * kChunk && inside(from) && inside(to)) {
        // A short line on the area: no clipping and no blocks to look at.
        const long long stepX = dx < 0 ? -1 : 1;
        const long long stepY = dy < 0 ? -1 : 1;
        const long long am2 = 2 * (xMajor ? ady : adx);
        long long x = from.X, y = from.Y, r = n;
        for (long long i = 0; i < n; ++i) {
            Set(x, y);
            (xMajor ? x : y) += xMajor ? stepX : stepY;
            r += am2;
            if (r >= 2 * n) {
                r -= 2 * n;
                (xMajor ? y : x) += xMajor ? stepY : stepX;
            }
        }
        return;
    }
    // A long line whose pixels on the area were all collected adds nothing:
    // the box of its ends tells.
    if (n > 2 * kChunk && BoxCovered(std::min(from.X, to.X), std::min(from.Y, to.Y), std::max(from.X, to.X),
                                     std::max(from.Y, to.Y)))
        return;
    const long long startM = xMajor ? from.X : from.Y;
    const long long startm = xMajor ? from.Y : from.X;
    const long long limitM = xMajor ? FWidth : FHeight;
    const long long limitm = xMajor ? FHeight : FWidth;
    const long long sM = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long sm = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const long long aM = n;
    const long long am = xMajor ? ady : adx;

    // Steps whose major coordinate lies on the area, and whose minor one can
    // (a step of slack; each pixel is checked below), as the canvas clips.
    long long i0 = sM > 0 ? -startM : startM - limitM + 1;
    long long i1 = sM > 0 ? limitM - startM : startM + 1;
    if (inside(from) && inside(to)) {
        i0 = 0;
        i1 = n;
    } else if (am == 0) {
        if (startm < 0 || startm >= limitm) return;
    } else {
        const double perStep = static_cast<double>(am) / static_cast<double>(aM);
        const double lo = sm > 0 ? (-0.5 - startm) / perStep : (startm - limitm + 0.5) / perStep;
        const double hi = sm > 0 ? (limitm - 0.5 - startm) / perStep : (startm + 0.5) / perStep;
        i0 = std::max(i0, static_cast<long long>(std::floor(lo)) - 1);
        i1 = std::min(i1, static_cast<long long>(std::ceil(hi)) + 2);
    }
    i0 = std::max(i0, 0LL);
    i1 = std::min(i1, n);
    if (i0 >= i1) return;

    // The minor offset of step i is floor((2 i am + aM) / (2 aM)).
    const long long den = 2 * aM;
    const long long num = 2 * i0 * am + aM;
    long long q = num / den;
    long long r = num % den;
    // A long line looks at its steps in chunks: a chunk whose pixels were
    // all collected adds nothing (and the next one is taken twice as long),
    // the others are walked.
    long long chunk = kChunk;
    for (long long i = i0; i < i1;) {
        long long stop = std::min(i1, i + chunk);
        if (i1 - i0 > 2 * kChunk) {
            const long long m0 = startM + sM * i;
            const long long m1 = startM + sM * (stop - 1);
            const long long n0 = startm + sm * q;
            const long long n1 = startm + sm * (q + (r + 2 * am * (stop - 1 - i)) / den);
            if (xMajor ? BoxCovered(std::min(m0, m1), std::min(n0, n1), std::max(m0, m1), std::max(n0, n1))
                       : BoxCovered(std::min(n0, n1), std::min(m0, m1), std::max(n0, n1), std::max(m0, m1))) {
                const long long advanced = r + 2 * am * (stop - i);
                q += advanced / den;
                r = advanced % den;
                i = stop;
                chunk = std::min(chunk * 2, 64 * kChunk);
                continue;
            }
            if (chunk > kChunk) {
                chunk = kChunk;
                continue;
            }
            stop = std::min(i1, i + kChunk);
            FWalkedSincePixelSums += stop - i;
        }
        for (; i < stop; ++i) {
            const long long major = startM + sM * i;
            const long long minor = startm + sm * q;
            if (minor >= 0 && minor < limitm) {
                if (xMajor)
                    Set(major, minor);
                else
                    Set(minor, major);
            }
            r += 2 * am;
            if (r >= den) {
                r -= den;
                ++q;
            }
        }
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

__attribute__((target("avx2"))) bool RowOfEightWide(const int* x, const int* y, TPoint origin, TPoint& pen, int& low,
                                                    int& high)
{
    const __m256i xs = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(x)), _mm256_set1_epi32(origin.X));
    const __m256i ys = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(ys, _mm256_set1_epi32(pen.Y + origin.Y))) != -1) return false;
    // The start of each step: the pen, then the first seven pixels.
    const __m256i from = _mm256_blend_epi32(
        _mm256_permutevar8x32_epi32(xs, _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6)), _mm256_set1_epi32(pen.X), 1);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(from, xs)) != 0) return false;
    // Each step covers its start up to its end excluded: min(from, to + 1)
    // ... max(from, to - 1).
    const __m256i one = _mm256_set1_epi32(1);
    __m256i lo = _mm256_min_epi32(from, _mm256_add_epi32(xs, one));
    __m256i hi = _mm256_max_epi32(from, _mm256_sub_epi32(xs, one));
    __m128i lo4 = _mm_min_epi32(_mm256_castsi256_si128(lo), _mm256_extracti128_si256(lo, 1));
    __m128i hi4 = _mm_max_epi32(_mm256_castsi256_si128(hi), _mm256_extracti128_si256(hi, 1));
    lo4 = _mm_min_epi32(lo4, _mm_shuffle_epi32(lo4, 0x4E));
    hi4 = _mm_max_epi32(hi4, _mm_shuffle_epi32(hi4, 0x4E));
    lo4 = _mm_min_epi32(lo4, _mm_shuffle_epi32(lo4, 0xB1));
    hi4 = _mm_max_epi32(hi4, _mm_shuffle_epi32(hi4, 0xB1));
    low = std::min(low, _mm_cvtsi128_si32(lo4));
    high = std::max(high, _mm_cvtsi128_si32(hi4));
    pen.X = x[7] - origin.X;
    return true;
}

}  // namespace
#endif

bool TLinePath::RowOfEight(const int* x, const int* y, TPoint origin, TPoint& pen, int& low, int& high)
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (HasAvx2()) return RowOfEightWide(x, y, origin, pen, low, high);
#else
    (void)x;
    (void)y;
    (void)origin;
    (void)pen;
    (void)low;
    (void)high;
#endif
    return false;
}

void TLineCoverage::Paint(std::uint32_t* pixels, std::size_t stride, std::uint32_t value) const
{
    ForEachCovered([&](int x, int y) { pixels[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] = value; });
}

}  // namespace kurvo
