// Marks stamped from the device pixels of one mark drawn once per phase; see
// mark_stamps.h.
#include "chart/mark_stamps.h"

#include "canvas/qt_canvas.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <utility>

namespace kurvo {

namespace {

// Canvas pixels after which the device pixel pattern of `ratio` repeats, up
// to four; 0 when it does not within four.
int PeriodOf(double ratio)
{
    for (int q = 1; q <= 4; ++q)
        if (ratio * q == std::round(ratio * q)) return q;
    return 0;
}

// Division rounding down, for canvas pixels left of or above the origin.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The largest reach a stamp is made for: beyond, marks are drawn one by one.
constexpr int kMaxReach = 64;

}  // namespace

bool TMarkStamps::Prepare(const TCanvas& canvas, const TDrawMark& draw, int reach, std::uint64_t key)
{
    FValid = false;
    const auto* qt = dynamic_cast<const TQtCanvas*>(&canvas);
    if (qt == nullptr || qt->Image() == nullptr || qt->Image()->isNull() || canvas.IsPrinterCanvas()) return false;
    const TPen& pen = canvas.Pen();
    if (pen.Mode() != pmCopy || (pen.Style() != psSolid && pen.Style() != psClear)) return false;
    if (reach < 0 || reach > kMaxReach) return false;
    const double ratio = qt->Image()->devicePixelRatio();
    const int period = PeriodOf(ratio);
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
    const QSizeF size = FCanvas != nullptr && FCanvas->Image() != nullptr ? FCanvas->Image()->deviceIndependentSize()
                                                                           : QSizeF();
    // Positions whose stamp can touch the image.
    FLeft = -FReach - 1;
    FTop = -FReach - 1;
    FWidth = static_cast<int>(std::ceil(size.width())) + 2 * FReach + 3;
    FHeight = static_cast<int>(std::ceil(size.height())) + 2 * FReach + 3;
    const std::size_t cells = static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight);
    if (FOrdered) {
        FLast.assign(cells, 0);
        FColour.resize(cells);
    } else {
        FSeen.assign((cells + 63) / 64, 0);
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
    const int qx = FloorDiv(x, FPeriod);
    const int qy = FloorDiv(y, FPeriod);
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
    for (const TCell& cell : FCells) {
        long long baseX, baseY;
        const int phase = PhaseOf(cell.X, cell.Y, baseX, baseY);
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
            continue;
        }
        for (const TSpan& span : FPhases[static_cast<std::size_t>(phase)]) {
            const long long row = baseY + span.Dy;
            if (row >= 0 && row < target.Height)
                setBits(row, std::max(0LL, baseX + span.Dx), std::min(target.Width, baseX + span.Dx + span.Length));
        }
    }
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
        if (!FOrdered && FRecolour) {
            Cover(target, PixelOf(FDefault));
        } else if (!FOrdered) {
            for (const TCell& cell : FCells) stamp(cell, 0);
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
