// Marks stamped from the device pixels of one mark drawn once per phase; see
// mark_stamps.h.
#include "chart/mark_stamps.h"

#include "canvas/cpu_features.h"
#include "canvas/qt_canvas.h"

#include <QImage>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace kurvo {

namespace {

// The largest reach a stamp is made for: beyond, marks are drawn one by one.
constexpr int kMaxReach = 64;

#if defined(__x86_64__) && defined(__GNUC__)
// Lane masks and rounding of four doubles.
__attribute__((target("avx2"))) inline __m256d And(__m256d a, __m256d b) { return _mm256_and_pd(a, b); }
__attribute__((target("avx2"))) inline __m256d Below(__m256d v, __m256d high)
{
    return _mm256_cmp_pd(v, high, _CMP_LT_OQ);
}
__attribute__((target("avx2"))) inline __m256d NotBelow(__m256d v, __m256d low)
{
    return _mm256_cmp_pd(v, low, _CMP_GE_OQ);
}
// low <= v <= high; false for NaN.
__attribute__((target("avx2"))) inline __m256d Within(__m256d v, __m256d low, __m256d high)
{
    return _mm256_and_pd(NotBelow(v, low), _mm256_cmp_pd(v, high, _CMP_LE_OQ));
}
// Rounded as lrint rounds, in the current rounding mode (|v| < 2^31).
__attribute__((target("avx2"))) inline __m256d Rounded(__m256d v)
{
    return _mm256_cvtepi32_pd(_mm256_cvtpd_epi32(v));
}
#endif

// The cells of points of a linear layer for AddInside, without a branch:
// the position of a point inside the ranges, or `Spare` for a point outside
// or whose mark cannot touch the image. True when a point inside lies
// beyond the limits of the inline conversion (its cell is then Spare: the
// caller converts the block exactly).
struct TCellMap {
    double Kx, Dx, Ky, Dy;
    double X0, X1, Y0, Y1;
    double LimitX, LimitY;  // |pixel| below these: the conversion needs no clamp
    int OffsetX, OffsetY;  // canvas pixel to cell column and row
    int Width, Height;  // cell columns and rows
    std::uint32_t Spare;

    bool Cells(const double* xs, const double* ys, std::int64_t n, std::uint32_t* at) const
    {
#if defined(__x86_64__) && defined(__GNUC__)
        if (HasAvx2()) return CellsWide(xs, ys, n, at);
#endif
        return CellsNarrow(xs, ys, n, at, 0);
    }

#if defined(__x86_64__) && defined(__GNUC__)
    // Four points at a time, where the processor has AVX2. The cell is
    // worked out in doubles (exact for these integers), without fused
    // multiply-adds: the pixels round as in CellsNarrow, in the same
    // rounding mode.
    __attribute__((target("avx2"))) bool CellsWide(const double* xs, const double* ys, std::int64_t n,
                                                   std::uint32_t* at) const
    {
        const __m256d kx = _mm256_set1_pd(Kx), dx = _mm256_set1_pd(Dx);
        const __m256d ky = _mm256_set1_pd(Ky), dy = _mm256_set1_pd(Dy);
        const __m256d x0 = _mm256_set1_pd(X0), x1 = _mm256_set1_pd(X1);
        const __m256d y0 = _mm256_set1_pd(Y0), y1 = _mm256_set1_pd(Y1);
        const __m256d limitX = _mm256_set1_pd(LimitX), limitY = _mm256_set1_pd(LimitY);
        const __m256d sign = _mm256_set1_pd(-0.0);
        const __m256d offsetX = _mm256_set1_pd(OffsetX), offsetY = _mm256_set1_pd(OffsetY);
        const __m256d width = _mm256_set1_pd(Width), height = _mm256_set1_pd(Height), zero = _mm256_setzero_pd();
        const __m256d spare = _mm256_set1_pd(Spare);
        int far = 0;
        std::int64_t i = 0;
        for (; i + 4 <= n; i += 4) {
            const __m256d x = _mm256_loadu_pd(xs + i), y = _mm256_loadu_pd(ys + i);
            const __m256d fx = _mm256_add_pd(_mm256_mul_pd(kx, x), dx);
            const __m256d fy = _mm256_add_pd(_mm256_mul_pd(ky, y), dy);
            const __m256d in = And(Within(x, x0, x1), Within(y, y0, y1));
            const __m256d near =
                And(Below(_mm256_andnot_pd(sign, fx), limitX), Below(_mm256_andnot_pd(sign, fy), limitY));
            far |= _mm256_movemask_pd(_mm256_andnot_pd(near, in));
            const __m256d cx = _mm256_add_pd(Rounded(_mm256_and_pd(near, fx)), offsetX);
            const __m256d cy = _mm256_add_pd(Rounded(_mm256_and_pd(near, fy)), offsetY);
            const __m256d ok = And(And(in, near), And(And(NotBelow(cx, zero), Below(cx, width)),
                                                      And(NotBelow(cy, zero), Below(cy, height))));
            const __m256d cell = _mm256_blendv_pd(spare, _mm256_add_pd(_mm256_mul_pd(cy, width), cx), ok);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(at + i), _mm256_cvttpd_epi32(cell));
        }
        return CellsNarrow(xs, ys, n, at, i) || far != 0;
    }
#endif

    // Points from `i` on, one at a time.
    bool CellsNarrow(const double* xs, const double* ys, std::int64_t n, std::uint32_t* at, std::int64_t i) const
    {
        bool beyond = false;
        for (; i < n; ++i) {
            const double fx = Kx * xs[i] + Dx;
            const double fy = Ky * ys[i] + Dy;
            const bool in = xs[i] >= X0 && xs[i] <= X1 && ys[i] >= Y0 && ys[i] <= Y1;
            const bool near = std::abs(fx) < LimitX && std::abs(fy) < LimitY;
            beyond |= in && !near;
            const auto cx = static_cast<std::uint32_t>(static_cast<int>(std::lrint(near ? fx : 0.0)) + OffsetX);
            const auto cy = static_cast<std::uint32_t>(static_cast<int>(std::lrint(near ? fy : 0.0)) + OffsetY);
            at[i] = in && near && cx < static_cast<std::uint32_t>(Width) && cy < static_cast<std::uint32_t>(Height)
                        ? cy * static_cast<std::uint32_t>(Width) + cx
                        : Spare;
        }
        return beyond;
    }
};

}  // namespace

TStampPositions TStampPositions::Of(const TQtCanvas* canvas, int reach)
{
    const QSizeF size = canvas != nullptr && canvas->Image() != nullptr ? canvas->Image()->deviceIndependentSize()
                                                                        : QSizeF();
    return {-reach - 1, -reach - 1, static_cast<int>(std::ceil(size.width())) + 2 * reach + 3,
            static_cast<int>(std::ceil(size.height())) + 2 * reach + 3};
}

bool TMarkStamps::Prepare(const TCanvas& canvas, const TDrawMark& draw, int reach, std::uint64_t key)
{
    FValid = false;
    const auto* qt = dynamic_cast<const TQtCanvas*>(&canvas);
    if (qt == nullptr || qt->Image() == nullptr || qt->Image()->isNull() || canvas.IsPrinterCanvas()) return false;
    const TPen& pen = canvas.Pen();
    if (pen.Mode() != pmCopy || (pen.Style() != psSolid && pen.Style() != psClear)) return false;
    if (reach < 0 || reach > kMaxReach) return false;
    const double ratio = qt->Image()->devicePixelRatio();
    const int period = StampPeriod(ratio);
    if (period == 0) return false;
    if (key != 0 && key == FKey && ratio == FRatio && pen.Width() == FPenWidth && pen.Style() == FPenStyle &&
        reach == FReach && FOneColour && !FPhases.empty()) {
        FValid = true;
        return true;
    }
    FKey = 0;
    FPhases.clear();

    // The mark at each phase of a scratch image with the canvas's pen, brush
    // and font, on black and on white: a device pixel it sets has the same
    // value on both, one it leaves keeps each background, any other blends.
    const int k = (reach + 2 + period - 1) / period;
    const int centre = k * period;
    const int side = centre + period + reach + 3;
    const int base = static_cast<int>(std::lround(k * period * ratio));
    TBitmap scratch;
    scratch.SetDevicePixelRatio(ratio);
    scratch.SetSize(side, side);
    auto& sc = dynamic_cast<TQtCanvas&>(scratch.Canvas());
    const auto drawOn = [&](std::uint32_t background, int i, int j) {
        QImage* image = sc.Image();
        std::uint32_t* pixels = sc.Pixels();
        if (pixels == nullptr) return QImage();
        std::fill(pixels, pixels + static_cast<std::size_t>(image->bytesPerLine() / 4) * image->height(), background);
        sc.Pen().Assign(canvas.Pen());
        sc.Brush().Assign(canvas.Brush());
        sc.Font() = canvas.Font();
        draw(sc, centre + i, centre + j);
        return scratch.Image().copy();
    };
    bool oneColour = true;
    std::uint32_t colour = 0;
    bool any = false;
    for (int j = 0; j < period; ++j)
        for (int i = 0; i < period; ++i) {
            const QImage onBlack = drawOn(0xFF000000u, i, j);
            const QImage onWhite = drawOn(0xFFFFFFFFu, i, j);
            if (onBlack.isNull() || onWhite.isNull()) return false;
            std::vector<TSpan> spans;
            for (int y = 0; y < onBlack.height(); ++y) {
                const auto* a = reinterpret_cast<const std::uint32_t*>(onBlack.constScanLine(y));
                const auto* b = reinterpret_cast<const std::uint32_t*>(onWhite.constScanLine(y));
                for (int x = 0; x < onBlack.width(); ++x) {
                    if (a[x] != b[x]) {
                        if (a[x] == 0xFF000000u && b[x] == 0xFFFFFFFFu) continue;
                        return false;  // blended: the stamp would not give the same pixels
                    }
                    // Beyond the reach given, positions near the image's
                    // edges would be left out (and the scratch may have cut it).
                    if (std::abs(x / ratio - (centre + i)) > reach + 1 || std::abs(y / ratio - (centre + j)) > reach + 1)
                        return false;
                    if (!any) colour = a[x];
                    any = true;
                    oneColour = oneColour && a[x] == colour;
                    TSpan* last = spans.empty() ? nullptr : &spans.back();
                    if (last != nullptr && last->Dy == y - base && last->Dx + last->Length == x - base &&
                        last->Value == a[x])
                        ++last->Length;
                    else
                        spans.push_back({x - base, y - base, 1, a[x]});
                }
            }
            FPhases.push_back(std::move(spans));
        }
    // The same stamps as rows of bits, for Cover.
    FPhaseRows.clear();
    FPhaseBox.clear();
    for (const std::vector<TSpan>& spans : FPhases) {
        std::vector<TRowBits> rows;
        TRect box{0, 0, 0, 0};
        bool fits = true;
        for (const TSpan& span : spans) {
            if (box.Left == box.Right) box = {span.Dx, span.Dy, span.Dx + span.Length, span.Dy + 1};
            box = {std::min(box.Left, span.Dx), std::min(box.Top, span.Dy), std::max(box.Right, span.Dx + span.Length),
                   std::max(box.Bottom, span.Dy + 1)};
            if (rows.empty() || rows.back().Dy != span.Dy) rows.push_back({span.Dx, span.Dy, 0});
            const int from = span.Dx - rows.back().Dx;
            if (from + span.Length > 64) fits = false;
            for (int b = from; b < from + span.Length && b < 64; ++b) rows.back().Bits |= std::uint64_t{1} << b;
        }
        FPhaseRows.push_back(fits ? std::move(rows) : std::vector<TRowBits>{});
        FPhaseBox.push_back(box);
    }
    FOneColour = oneColour;
    FReach = reach;
    FPeriod = period;
    FPeriodDevice = static_cast<int>(std::lround(period * ratio));
    FRatio = ratio;
    FPenWidth = pen.Width();
    FPenStyle = pen.Style();
    FKey = key;
    FValid = true;
    return true;
}

void TMarkStamps::Begin(TCanvas& canvas, bool colours)
{
    FTarget = &canvas;
    FCanvas = dynamic_cast<TQtCanvas*>(&canvas);
    FDefault = canvas.Pen().Color();
    FOrdered = colours || !FOneColour;
    FRecolour = FOneColour;
    FAny = false;
    FCells.clear();
    FOrder = 0;
    const TStampPositions positions = TStampPositions::Of(FCanvas, FReach);
    FLeft = positions.Left;
    FTop = positions.Top;
    FWidth = positions.Width;
    FHeight = positions.Height;
    const std::size_t cells = static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight);
    if (FOrdered) {
        FLast.assign(cells, 0);
        FColour.resize(cells);
    } else {
        FMarked.assign(cells + 1, 0);
    }
}

void TMarkStamps::AddInside(const double* xs, const double* ys, std::int64_t n, const TCanvasMap& map, double x0,
                            double x1, double y0, double y1)
{
    // A linear layer: the conversion of TCanvasMap inline, whose clamp a
    // point near the data area never reaches.
    const bool linear = !map.logX && !map.logY;
    const double limitX = TCanvasMap::InlineLimit(map.shiftX);
    const double limitY = TCanvasMap::InlineLimit(map.shiftY);
    const auto inside = [&](std::int64_t i) { return xs[i] >= x0 && xs[i] <= x1 && ys[i] >= y0 && ys[i] <= y1; };
    const auto toCanvas = [&](std::int64_t i, int& x, int& y) {
        if (linear) {
            const double fx = map.kx * xs[i] + map.dx;
            const double fy = map.ky * ys[i] + map.dy;
            if (std::abs(fx) < limitX && std::abs(fy) < limitY) {
                x = static_cast<int>(std::lrint(fx) + map.shiftX);
                y = static_cast<int>(std::lrint(fy) + map.shiftY);
                return;
            }
        }
        x = map.X(xs[i]);
        y = map.Y(ys[i]);
    };
    int x = 0, y = 0;
    if (FOrdered) {
        for (std::int64_t i = 0; i < n; ++i)
            if (inside(i)) {
                toCanvas(i, x, y);
                Add(x, y);
            }
        return;
    }
    // One colour: the positions are only marked, in blocks of two passes.
    // The first works out each point's position without a branch (in a
    // scatter whether a point is inside, or its position new, is a coin
    // toss): a point outside, or whose mark cannot touch the image, goes to
    // the spare byte at the end. The second marks them.
    constexpr std::int64_t kBlock = 256;
    std::uint32_t at[kBlock];
    const auto spare = static_cast<std::uint32_t>(FMarked.size() - 1);
    std::uint8_t* marked = FMarked.data();
    // Canvas pixel to cell: the shift and the first position in one offset,
    // added after rounding (fx + offset could round differently).
    const TCellMap cells{map.kx, map.dx, map.ky, map.dy, x0, x1, y0, y1, limitX, limitY,
                         static_cast<int>(map.shiftX - FLeft), static_cast<int>(map.shiftY - FTop),
                         FWidth, FHeight, spare};
    for (std::int64_t from = 0; from < n; from += kBlock) {
        const std::int64_t count = std::min(kBlock, n - from);
        const bool exact = !linear || cells.Cells(xs + from, ys + from, count, at);
        if (exact) {
            // A logarithmic layer, or a point the inline conversion cannot take.
            for (std::int64_t i = 0; i < count; ++i) {
                at[i] = spare;
                if (!inside(from + i)) continue;
                toCanvas(from + i, x, y);
                std::size_t cell;
                if (CellOf(x, y, cell)) at[i] = static_cast<std::uint32_t>(cell);
            }
        }
        for (std::int64_t i = 0; i < count; ++i) marked[at[i]] = 1;
    }
    // The last mark, drawn again by Finish.
    for (std::int64_t i = n - 1; i >= 0; --i)
        if (inside(i)) {
            toCanvas(i, x, y);
            FAny = true;
            FFinalX = x;
            FFinalY = y;
            FFinalColour = FDefault;
            break;
        }
}

// The image the stamps go to.
struct TMarkStamps::TTarget {
    std::uint32_t* Pixels;
    long long Width, Height;
    std::size_t Stride;
};

int TMarkStamps::PhaseOf(int x, int y, long long& baseX, long long& baseY) const
{
    if (FPeriod == 1) {
        baseX = static_cast<long long>(x) * FPeriodDevice;
        baseY = static_cast<long long>(y) * FPeriodDevice;
        return 0;
    }
    const int qx = FloorDivide(x, FPeriod);
    const int qy = FloorDivide(y, FPeriod);
    baseX = static_cast<long long>(qx) * FPeriodDevice;
    baseY = static_cast<long long>(qy) * FPeriodDevice;
    return (y - qy * FPeriod) * FPeriod + (x - qx * FPeriod);
}

void TMarkStamps::StampAt(const TTarget& target, int x, int y, bool recolour, std::uint32_t value) const
{
    long long baseX, baseY;
    const int phase = PhaseOf(x, y, baseX, baseY);
    for (const TSpan& span : FPhases[static_cast<std::size_t>(phase)]) {
        const long long row = baseY + span.Dy;
        if (row < 0 || row >= target.Height) continue;
        const long long from = std::max(0LL, baseX + span.Dx);
        const long long to = std::min(target.Width, baseX + span.Dx + span.Length);
        std::uint32_t* p = target.Pixels + static_cast<std::size_t>(row) * target.Stride;
        const std::uint32_t v = recolour ? value : span.Value;
        for (long long k = from; k < to; ++k) p[k] = v;
    }
}

// Marks of one colour in one colour: the union of their device pixels is
// collected in a bit per device pixel first, so that each pixel of a dense
// scatter is written once rather than once for every mark covering it.
void TMarkStamps::Cover(const TTarget& target, std::uint32_t value)
{
    // A spare word per row: a stamp row of 64 bits may reach into the next word.
    const std::size_t words = static_cast<std::size_t>((target.Width + 63) / 64) + 1;
    FCover.assign(words * static_cast<std::size_t>(target.Height), 0);
    const auto setBits = [&](long long row, long long from, long long to) {
        std::uint64_t* bits = FCover.data() + static_cast<std::size_t>(row) * words;
        while (from < to) {
            const long long word = from >> 6;
            const long long end = std::min(to, (word + 1) << 6);
            const int n = static_cast<int>(end - from);
            bits[word] |= (n == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << n) - 1)) << (from & 63);
            from = end;
        }
    };
    const auto cover = [&](int x, int y) {
        long long baseX, baseY;
        const int phase = PhaseOf(x, y, baseX, baseY);
        const TRect& box = FPhaseBox[static_cast<std::size_t>(phase)];
        const std::vector<TRowBits>& rows = FPhaseRows[static_cast<std::size_t>(phase)];
        if (!rows.empty() && baseX + box.Left >= 0 && baseX + box.Right <= target.Width && baseY + box.Top >= 0 &&
            baseY + box.Bottom <= target.Height) {
            // Wholly on the image: a row of the stamp is one or two word operations.
            for (const TRowBits& r : rows) {
                const long long bit = baseX + r.Dx;
                std::uint64_t* w = FCover.data() + static_cast<std::size_t>(baseY + r.Dy) * words + static_cast<std::size_t>(bit >> 6);
                const int shift = static_cast<int>(bit & 63);
                w[0] |= r.Bits << shift;
                if (shift != 0) w[1] |= r.Bits >> (64 - shift);
            }
            return;
        }
        for (const TSpan& span : FPhases[static_cast<std::size_t>(phase)]) {
            const long long row = baseY + span.Dy;
            if (row >= 0 && row < target.Height)
                setBits(row, std::max(0LL, baseX + span.Dx), std::min(target.Width, baseX + span.Dx + span.Length));
        }
    };
    // The positions marked, eight bytes at a time: most of a chart has none.
    const std::uint8_t* marked = FMarked.data();
    const std::size_t positions = FMarked.size() - 1;
    const auto width = static_cast<std::size_t>(FWidth);
    const auto at = [&](std::size_t k) {
        cover(static_cast<int>(k % width) + FLeft, static_cast<int>(k / width) + FTop);
    };
    std::size_t cell = 0;
    for (; cell + 8 <= positions; cell += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, marked + cell, 8);
        if (eight == 0) continue;
        for (std::size_t k = cell; k < cell + 8; ++k)
            if (marked[k] != 0) at(k);
    }
    for (; cell < positions; ++cell)
        if (marked[cell] != 0) at(cell);
    const std::size_t used = words - 1;
    for (long long row = 0; row < target.Height; ++row) {
        const std::uint64_t* bits = FCover.data() + static_cast<std::size_t>(row) * words;
        std::uint32_t* p = target.Pixels + static_cast<std::size_t>(row) * target.Stride;
        for (std::size_t w = 0; w < used; ++w)
            for (std::uint64_t b = bits[w]; b != 0; b &= b - 1)
                p[(w << 6) + static_cast<std::size_t>(__builtin_ctzll(b))] = value;
    }
}

void TMarkStamps::Finish(const TDrawMark& draw)
{
    if (!FAny || FCanvas == nullptr) return;
    if (std::uint32_t* pixels = FCanvas->Pixels()) {
        const QImage& image = *FCanvas->Image();
        const TTarget target{pixels, image.width(), image.height(), static_cast<std::size_t>(image.bytesPerLine() / 4)};
        const auto stamp = [&](const TCell& cell, std::uint32_t value) {
            StampAt(target, cell.X, cell.Y, FRecolour, value);
        };
        if (!FOrdered) {
            // One colour (a stamp of one colour takes the pen's).
            Cover(target, PixelOf(FDefault));
        } else {
            // In the order of each position's last mark.
            std::vector<std::pair<std::uint32_t, std::size_t>> order;
            order.reserve(FCells.size());
            for (std::size_t k = 0; k < FCells.size(); ++k)
                order.emplace_back(FLast[static_cast<std::size_t>(FCells[k].Index)], k);
            std::sort(order.begin(), order.end());
            for (const auto& [last, k] : order)
                stamp(FCells[k], PixelOf(FColour[static_cast<std::size_t>(FCells[k].Index)]));
        }
    }
    // The last mark once more through the drawing itself: the canvas's pen
    // position, brush and font end as after drawing every mark.
    draw(*FTarget, FFinalX, FFinalY);
}

}  // namespace kurvo
