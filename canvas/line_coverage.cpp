// A picture of one bit per pixel collecting one-pixel lines; see
// line_coverage.h.
#include "canvas/line_coverage.h"

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
    if (i1 - i0 > 2 * kChunk) {
        // A long line whose pixels on the area all lie in full blocks adds
        // nothing: the box of its ends, cut to the area, tells.
        const long long x0 = std::clamp<long long>(std::min(from.X, to.X), 0, FWidth - 1);
        const long long x1 = std::clamp<long long>(std::max(from.X, to.X), 0, FWidth - 1);
        const long long y0 = std::clamp<long long>(std::min(from.Y, to.Y), 0, FHeight - 1);
        const long long y1 = std::clamp<long long>(std::max(from.Y, to.Y), 0, FHeight - 1);
        if (BlocksFull(x0, y0, x1, y1)) return;
    }

    // The minor offset of step i is floor((2 i am + aM) / (2 aM)).
    const long long den = 2 * aM;
    const long long num = 2 * i0 * am + aM;
    long long q = num / den;
    long long r = num % den;
    // A long line looks at its steps in chunks: a chunk whose pixels all
    // lie in full blocks adds nothing (and the next one is taken twice as
    // long), the others are walked.
    long long chunk = kChunk;
    for (long long i = i0; i < i1;) {
        long long stop = std::min(i1, i + chunk);
        if (i1 - i0 > 2 * kChunk) {
            const long long m0 = startM + sM * i;
            const long long m1 = startM + sM * (stop - 1);
            const long long n0 = startm + sm * q;
            const long long n1 = startm + sm * (q + (r + 2 * am * (stop - 1 - i)) / den);
            const long long x0 = std::clamp(xMajor ? std::min(m0, m1) : std::min(n0, n1), 0LL, FWidth - 1LL);
            const long long x1 = std::clamp(xMajor ? std::max(m0, m1) : std::max(n0, n1), 0LL, FWidth - 1LL);
            const long long y0 = std::clamp(xMajor ? std::min(n0, n1) : std::min(m0, m1), 0LL, FHeight - 1LL);
            const long long y1 = std::clamp(xMajor ? std::max(n0, n1) : std::max(m0, m1), 0LL, FHeight - 1LL);
            if (BlocksFull(x0, y0, x1, y1)) {
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

void TLineCoverage::Paint(std::uint32_t* pixels, std::size_t stride, std::uint32_t value) const
{
    ForEachCovered([&](int x, int y) { pixels[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] = value; });
}

}  // namespace kurvo
