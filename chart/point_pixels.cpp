// Blocks of points converted to canvas pixels; see point_pixels.h.
#include "chart/point_pixels.h"

#include "canvas/cpu_features.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kurvo {

namespace {

#if defined(__x86_64__) && defined(__GNUC__)
// For each mask of eight lanes, the lanes set, in order, then the rest.
struct TPackTable {
    std::uint8_t Lanes[256][8];
    constexpr TPackTable() : Lanes{}
    {
        for (int mask = 0; mask < 256; ++mask) {
            int at = 0;
            for (int lane = 0; lane < 8; ++lane)
                if ((mask >> lane & 1) != 0) Lanes[mask][at++] = static_cast<std::uint8_t>(lane);
            for (int lane = 0; lane < 8; ++lane)
                if ((mask >> lane & 1) == 0) Lanes[mask][at++] = static_cast<std::uint8_t>(lane);
        }
    }
};
constexpr TPackTable kPackTable;
constexpr const std::uint8_t (&kPack)[256][8] = kPackTable.Lanes;
#endif

}  // namespace

void TPointPixels::Convert(const TCanvasMap& map, const double* xs, const double* ys, int n, TPoint pen)
{
    FCount = n;
    FX[0] = pen.X;
    FY[0] = pen.Y;
    FMoves = 0;
    FPathX[0] = pen.X;
    FPathY[0] = pen.Y;
    FLongestStep = 0;
    const bool linear = !map.logX && !map.logY;
#if defined(__x86_64__) && defined(__GNUC__)
    const bool wide = HasAvx2();
    if (wide && linear && LinearWide(map, xs, ys, n)) {
        ScanWide();
        return;
    }
#endif
    const double limitX = TCanvasMap::InlineLimit(map.shiftX);
    const double limitY = TCanvasMap::InlineLimit(map.shiftY);
    for (int k = 0; k < n; ++k) {
        const double fx = map.kx * xs[k] + map.dx;
        const double fy = map.ky * ys[k] + map.dy;
        if (linear && std::abs(fx) < limitX && std::abs(fy) < limitY) {
            FX[k + 1] = static_cast<int>(std::lrint(fx) + map.shiftX);
            FY[k + 1] = static_cast<int>(std::lrint(fy) + map.shiftY);
        } else {
            FX[k + 1] = map.X(xs[k]);
            FY[k + 1] = map.Y(ys[k]);
        }
    }
#if defined(__x86_64__) && defined(__GNUC__)
    if (wide) {
        ScanWide();
        return;
    }
#endif
    ScanNarrow(0);
}

void TPointPixels::ScanNarrow(int from)
{
    for (int k = from; k < FCount; ++k) {
        const int x = FX[k + 1];
        const int y = FY[k + 1];
        FLongestStep = std::max({FLongestStep, std::abs(x - FX[k]), std::abs(y - FY[k])});
        if (x != FX[k] || y != FY[k]) Add(k);
    }
}

#if defined(__x86_64__) && defined(__GNUC__)

// Four points at a time, rounded as lrint rounds (the current rounding
// mode); false, with nothing usable converted, when a point lies beyond the
// limits of the inline conversion (or is NaN).
__attribute__((target("avx2"))) bool TPointPixels::LinearWide(const TCanvasMap& map, const double* xs,
                                                              const double* ys, int n)
{
    const double limitX = TCanvasMap::InlineLimit(map.shiftX);
    const double limitY = TCanvasMap::InlineLimit(map.shiftY);
    if (!(limitX > 0.0 && limitY > 0.0)) return false;
    const __m256d kx = _mm256_set1_pd(map.kx), dx = _mm256_set1_pd(map.dx);
    const __m256d ky = _mm256_set1_pd(map.ky), dy = _mm256_set1_pd(map.dy);
    const __m256d farX = _mm256_set1_pd(limitX), farY = _mm256_set1_pd(limitY);
    const __m256d sign = _mm256_set1_pd(-0.0);
    const __m128i shiftX = _mm_set1_epi32(static_cast<int>(map.shiftX));
    const __m128i shiftY = _mm_set1_epi32(static_cast<int>(map.shiftY));
    int k = 0;
    for (; k + 4 <= n; k += 4) {
        const __m256d fx = _mm256_add_pd(_mm256_mul_pd(kx, _mm256_loadu_pd(xs + k)), dx);
        const __m256d fy = _mm256_add_pd(_mm256_mul_pd(ky, _mm256_loadu_pd(ys + k)), dy);
        const __m256d near = _mm256_and_pd(_mm256_cmp_pd(_mm256_andnot_pd(sign, fx), farX, _CMP_LT_OQ),
                                           _mm256_cmp_pd(_mm256_andnot_pd(sign, fy), farY, _CMP_LT_OQ));
        if (_mm256_movemask_pd(near) != 0xF) return false;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(FX + k + 1), _mm_add_epi32(_mm256_cvtpd_epi32(fx), shiftX));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(FY + k + 1), _mm_add_epi32(_mm256_cvtpd_epi32(fy), shiftY));
    }
    for (; k < n; ++k) {
        const double fx = map.kx * xs[k] + map.dx;
        const double fy = map.ky * ys[k] + map.dy;
        if (!(std::abs(fx) < limitX && std::abs(fy) < limitY)) return false;
        FX[k + 1] = static_cast<int>(std::lrint(fx) + map.shiftX);
        FY[k + 1] = static_cast<int>(std::lrint(fy) + map.shiftY);
    }
    return true;
}

// Eight points at a time: the longest step and the pixels that differ from
// the one before.
__attribute__((target("avx2"))) void TPointPixels::ScanWide()
{
    __m256i step = _mm256_setzero_si256();
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    int k = 0;
    for (; k + 8 <= FCount; k += 8) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(FX + k + 1));
        const __m256i xBefore = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(FX + k));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(FY + k + 1));
        const __m256i yBefore = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(FY + k));
        step = _mm256_max_epi32(step, _mm256_max_epi32(_mm256_abs_epi32(_mm256_sub_epi32(x, xBefore)),
                                                       _mm256_abs_epi32(_mm256_sub_epi32(y, yBefore))));
        const __m256i same = _mm256_and_si256(_mm256_cmpeq_epi32(x, xBefore), _mm256_cmpeq_epi32(y, yBefore));
        // The lanes that moved, packed to the front, written after the
        // path so far.
        const unsigned moved = ~static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(same))) & 0xFF;
        const __m256i pack = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(kPack[moved])));
        const __m256i index = _mm256_add_epi32(lanes, _mm256_set1_epi32(k));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(FPathX + FMoves + 1), _mm256_permutevar8x32_epi32(x, pack));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(FPathY + FMoves + 1), _mm256_permutevar8x32_epi32(y, pack));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(FIndex + FMoves + 1), _mm256_permutevar8x32_epi32(index, pack));
        FMoves += __builtin_popcount(moved);
    }
    alignas(32) int steps[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(steps), step);
    for (const int s : steps) FLongestStep = std::max(FLongestStep, s);
    ScanNarrow(k);
}

#endif

}  // namespace kurvo
