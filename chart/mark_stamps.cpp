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

std::uint32_t PixelOf(TColor colour)
{
    const auto c = static_cast<std::uint32_t>(ColorToRGB(colour));
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
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

void TMarkStamps::AddMark(int x, int y, TColor colour)
{
    FAny = true;
    FFinalX = x;
    FFinalY = y;
    FFinalColour = colour;
    const auto cx = static_cast<unsigned>(x - FLeft);
    const auto cy = static_cast<unsigned>(y - FTop);
    if (cx >= static_cast<unsigned>(FWidth) || cy >= static_cast<unsigned>(FHeight)) return;
    const auto cell = static_cast<std::size_t>(cy) * static_cast<std::size_t>(FWidth) + cx;
    if (!FOrdered) {
        std::uint64_t& word = FSeen[cell >> 6];
        const std::uint64_t bit = std::uint64_t{1} << (cell & 63);
        if ((word & bit) != 0) return;
        word |= bit;
        FCells.push_back(static_cast<std::int32_t>(cell));
        return;
    }
    if (FLast[cell] == 0) FCells.push_back(static_cast<std::int32_t>(cell));
    FLast[cell] = ++FOrder;
    FColour[cell] = colour;
}

void TMarkStamps::StampAt(std::uint32_t* pixels, int x, int y, bool recolour, std::uint32_t value) const
{
    const QImage& image = *FCanvas->Image();
    const int width = image.width();
    const int height = image.height();
    const std::size_t stride = static_cast<std::size_t>(image.bytesPerLine() / 4);
    const int qx = FloorDiv(x, FPeriod);
    const int qy = FloorDiv(y, FPeriod);
    const int phase = (y - qy * FPeriod) * FPeriod + (x - qx * FPeriod);
    const long long baseX = static_cast<long long>(qx) * FPeriodDevice;
    const long long baseY = static_cast<long long>(qy) * FPeriodDevice;
    for (const TSpan& span : FPhases[static_cast<std::size_t>(phase)]) {
        const long long row = baseY + span.Dy;
        if (row < 0 || row >= height) continue;
        const long long from = std::max(0LL, baseX + span.Dx);
        const long long to = std::min<long long>(width, baseX + span.Dx + span.Length);
        if (from >= to) continue;
        std::fill(pixels + static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(from),
                  pixels + static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(to),
                  recolour ? value : span.Value);
    }
}

void TMarkStamps::Finish(const TDrawMark& draw)
{
    if (!FAny || FCanvas == nullptr) return;
    std::uint32_t* pixels = FCanvas->Pixels();
    if (pixels != nullptr) {
        const auto position = [this](std::int32_t cell, int& x, int& y) {
            x = cell % FWidth + FLeft;
            y = cell / FWidth + FTop;
        };
        int x, y;
        if (!FOrdered) {
            const std::uint32_t value = PixelOf(FDefault);
            for (const std::int32_t cell : FCells) {
                position(cell, x, y);
                StampAt(pixels, x, y, FRecolour, value);
            }
        } else {
            std::vector<std::pair<std::uint32_t, std::int32_t>> order;
            order.reserve(FCells.size());
            for (const std::int32_t cell : FCells) order.emplace_back(FLast[static_cast<std::size_t>(cell)], cell);
            std::sort(order.begin(), order.end());
            for (const auto& [last, cell] : order) {
                position(cell, x, y);
                StampAt(pixels, x, y, FRecolour, PixelOf(FColour[static_cast<std::size_t>(cell)]));
            }
        }
    }
    // The last mark once more through the drawing itself: the canvas's pen
    // position, brush and font end as after drawing every mark.
    draw(*FTarget, FFinalX, FFinalY);
}

}  // namespace kurvo
