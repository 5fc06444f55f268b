// Marks that blend with what lies below, applied through tables learnt from
// the drawing itself; see blend_stamps.h.
#include "chart/blend_stamps.h"

#include "canvas/qt_canvas.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>

namespace kurvo {

namespace {

// The largest reach learnt, and the largest scratch image in device pixels:
// learning draws the mark 512 times per phase on it.
constexpr int kMaxReach = 64;
constexpr long long kMaxScratchPixels = 40000;

constexpr std::uint32_t Grey(int v) { return 0xFF000000u | static_cast<std::uint32_t>(v) * 0x010101u; }

// The pixel a table gives for `before`.
inline std::uint32_t Through(const std::uint8_t* table, std::uint32_t before)
{
    return 0xFF000000u | std::uint32_t{table[512 + (before >> 16 & 0xFF)]} << 16 |
           std::uint32_t{table[256 + (before >> 8 & 0xFF)]} << 8 | table[before & 0xFF];
}

// The pixel a table gives for every value below, or 0 where it varies.
std::uint32_t Solid(const std::array<std::uint8_t, 768>& table)
{
    for (int ch = 0; ch < 3; ++ch)
        for (int v = 1; v < 256; ++v)
            if (table[static_cast<std::size_t>(ch * 256 + v)] != table[static_cast<std::size_t>(ch * 256)]) return 0;
    return 0xFF000000u | std::uint32_t{table[512]} << 16 | std::uint32_t{table[256]} << 8 | table[0];
}

// Whether a table takes each channel towards `colour`'s, never past it, and
// keeps the values of one interval around it.
bool Contracting(const std::array<std::uint8_t, 768>& table, TColor colour)
{
    const std::uint32_t pixel = PixelOf(colour);
    for (int ch = 0; ch < 3; ++ch) {
        const int target = static_cast<int>(pixel >> (8 * ch) & 0xFF);
        const std::uint8_t* f = table.data() + ch * 256;
        if (f[target] != target) return false;
        for (const int step : {-1, 1}) {
            bool moving = false;  // a value nearer the target was moved
            for (int v = target + step; v >= 0 && v <= 255; v += step) {
                const int after = f[v];
                if ((after - v) * step > 0 || (after - target) * step < 0) return false;  // away, or past the target
                if (after == v && moving) return false;  // kept beyond a value that moved
                moving = moving || after != v;
            }
        }
    }
    return true;
}

}  // namespace

bool TBlendStamps::Prepare(const TCanvas& canvas, const TDrawMark& draw, int reach, std::uint64_t key)
{
    const auto* qt = dynamic_cast<const TQtCanvas*>(&canvas);
    if (qt == nullptr || qt->Image() == nullptr || qt->Image()->isNull() || canvas.IsPrinterCanvas() ||
        qt->Image()->format() != QImage::Format_RGB32)
        return false;
    if (canvas.Pen().Mode() != pmCopy || reach < 0 || reach > kMaxReach) return false;
    const double ratio = qt->Image()->devicePixelRatio();
    const int period = StampPeriod(ratio);
    if (period == 0) return false;
    // The mark draws its character in the pen's colour, whatever the font's.
    TFont font = canvas.Font();
    font.SetColor(clBlack);
    if (key == 0 || key != FKey || ratio != FRatio || reach != FReach || !(font == FFont) || !FScratch) {
        FKey = 0;
        FLearnt.clear();
        // The scratch holds the mark at every phase with room around it.
        const int k = (reach + 2 + period - 1) / period;
        FCentre = k * period;
        const int side = FCentre + period + reach + 3;
        const double sideDevice = std::ceil(side * ratio);
        if (sideDevice * sideDevice > static_cast<double>(kMaxScratchPixels)) return false;
        FScratch = std::make_unique<TBitmap>();
        FScratch->SetDevicePixelRatio(ratio);
        FScratch->SetSize(side, side);
        TCanvas& sc = FScratch->Canvas();
        sc.Pen().Assign(canvas.Pen());
        sc.Brush().Assign(canvas.Brush());
        sc.Font() = canvas.Font();
        FPeriod = period;
        FPeriodDevice = static_cast<int>(std::lround(period * ratio));
        FRatio = ratio;
        FReach = reach;
        FFont = font;
        FKey = key;
    }
    FDraw = draw;
    FPrepared = canvas.Pen().Color();
    if (!Learnt(FPrepared) && FLearnt.size() >= MaxColours) FLearnt.clear();
    return Colour(FPrepared) >= 0;
}

bool TBlendStamps::Learnt(TColor colour) const
{
    return std::any_of(FLearnt.begin(), FLearnt.end(), [&](const TLearnt& l) { return l.Colour == colour; });
}

void TBlendStamps::Forget()
{
    std::erase_if(FLearnt, [&](const TLearnt& l) { return l.Colour != FPrepared; });
}

int TBlendStamps::Colour(TColor colour)
{
    for (std::size_t k = 0; k < FLearnt.size(); ++k)
        if (FLearnt[k].Colour == colour) return static_cast<int>(k);
    if (!FScratch || FLearnt.size() >= MaxColours) return -1;
    auto& sc = dynamic_cast<TQtCanvas&>(FScratch->Canvas());
    sc.Pen().SetColor(colour);
    TLearnt learnt;
    learnt.Colour = colour;
    const int base = static_cast<int>(std::lround(FCentre * FRatio));
    std::map<TTable, std::uint32_t> tables;
    for (int j = 0; j < FPeriod; ++j)
        for (int i = 0; i < FPeriod; ++i) {
            TPhase phase;
            if (!Learn(sc, FDraw, FCentre + i, FCentre + j, base, FReach, FRatio, phase, tables)) return -1;
            learnt.Phases.push_back(std::move(phase));
        }
    learnt.Tables.resize(tables.size());
    for (const auto& [table, index] : tables) learnt.Tables[index] = table;
    learnt.Contracting = std::all_of(learnt.Tables.begin(), learnt.Tables.end(),
                                     [&](const TTable& t) { return Contracting(t, colour); });
    for (int j = 0; j < FPeriod; ++j)
        for (int i = 0; i < FPeriod; ++i)
            for (const std::uint32_t seed : {0x9E3779B9u, 0x7F4A7C15u})
                if (!Check(sc, learnt, FCentre + i, FCentre + j, seed)) return -1;

    // Positions farther apart than a mark's extent share no pixel.
    int left = 0, top = 0, right = 0, bottom = 0;
    for (const TPhase& phase : learnt.Phases) {
        left = std::min(left, phase.Left);
        top = std::min(top, phase.Top);
        right = std::max(right, phase.Right);
        bottom = std::max(bottom, phase.Bottom);
    }
    if (FLearnt.empty()) {
        FBox = {left, top, right, bottom};
    } else {
        FBox = {std::min(FBox.Left, left), std::min(FBox.Top, top), std::max(FBox.Right, right),
                std::max(FBox.Bottom, bottom)};
    }
    FLearnt.push_back(std::move(learnt));
    return static_cast<int>(FLearnt.size() - 1);
}

// Draws the mark at canvas pixel (x, y) of the scratch on each grey: a device
// pixel that differs from its grey on any of them is touched, and what each
// touched pixel becomes from each grey is its table.
bool TBlendStamps::Learn(TQtCanvas& scratch, const TDrawMark& draw, int x, int y, int base, int reach, double ratio,
                         TPhase& phase, std::map<TTable, std::uint32_t>& tables)
{
    QImage* image = scratch.Image();
    std::uint32_t* pixels = scratch.Pixels();
    if (image == nullptr || pixels == nullptr) return false;
    const int width = image->width(), height = image->height();
    const std::size_t stride = static_cast<std::size_t>(image->bytesPerLine() / 4);
    const auto drawOn = [&](int grey) {
        std::uint32_t* p = scratch.Pixels();
        std::fill(p, p + stride * static_cast<std::size_t>(height), Grey(grey));
        draw(scratch, x, y);
        return scratch.Pixels();
    };
    std::vector<std::uint8_t> touched(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int grey = 0; grey < 256; ++grey) {
        const std::uint32_t* p = drawOn(grey);
        if (p == nullptr) return false;
        for (int row = 0; row < height; ++row)
            for (int col = 0; col < width; ++col)
                if (p[static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(col)] != Grey(grey))
                    touched[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(col)] = 1;
    }
    std::vector<std::pair<int, int>> at;
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            if (touched[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(col)] == 0)
                continue;
            // Beyond the reach given, positions near the image's edges would
            // be left out (and the scratch may have cut the mark).
            if (std::abs(col / ratio - x) > reach + 1 || std::abs(row / ratio - y) > reach + 1) return false;
            at.emplace_back(col, row);
        }
    std::vector<TTable> learnt(at.size());
    for (int grey = 0; grey < 256; ++grey) {
        const std::uint32_t* p = drawOn(grey);
        if (p == nullptr) return false;
        for (std::size_t t = 0; t < at.size(); ++t) {
            const std::uint32_t v = p[static_cast<std::size_t>(at[t].second) * stride + static_cast<std::size_t>(at[t].first)];
            if ((v >> 24) != 0xFF) return false;  // the mark left a pixel translucent
            learnt[t][static_cast<std::size_t>(grey)] = static_cast<std::uint8_t>(v & 0xFF);
            learnt[t][256 + static_cast<std::size_t>(grey)] = static_cast<std::uint8_t>(v >> 8 & 0xFF);
            learnt[t][512 + static_cast<std::size_t>(grey)] = static_cast<std::uint8_t>(v >> 16 & 0xFF);
        }
    }
    phase.Touches.clear();
    for (std::size_t t = 0; t < at.size(); ++t) {
        const auto found = tables.emplace(learnt[t], static_cast<std::uint32_t>(tables.size())).first;
        const int dx = at[t].first - base, dy = at[t].second - base;
        if (phase.Touches.empty()) {
            phase.Left = dx, phase.Top = dy, phase.Right = dx + 1, phase.Bottom = dy + 1;
        } else {
            phase.Left = std::min(phase.Left, dx), phase.Top = std::min(phase.Top, dy);
            phase.Right = std::max(phase.Right, dx + 1), phase.Bottom = std::max(phase.Bottom, dy + 1);
        }
        phase.Touches.push_back({dx, dy, found->second, Solid(learnt[t])});
    }
    // The touches as a row of bits each, where the mark is at most 64 wide.
    phase.Rows.clear();
    if (phase.Right - phase.Left <= 64) {
        phase.Rows.assign(static_cast<std::size_t>(phase.Bottom - phase.Top), 0);
        for (const TTouch& t : phase.Touches)
            phase.Rows[static_cast<std::size_t>(t.Dy - phase.Top)] |= std::uint64_t{1} << (t.Dx - phase.Left);
    }
    return true;
}

// The tables against the drawing: the mark drawn twice on noise, and applied
// twice through the tables on the same noise, give the same image.
bool TBlendStamps::Check(TQtCanvas& scratch, const TLearnt& learnt, int x, int y, std::uint32_t seed)
{
    QImage* image = scratch.Image();
    std::uint32_t* pixels = scratch.Pixels();
    if (image == nullptr || pixels == nullptr) return false;
    const std::size_t stride = static_cast<std::size_t>(image->bytesPerLine() / 4);
    const std::size_t count = stride * static_cast<std::size_t>(image->height());
    std::uint32_t state = seed;
    for (std::size_t i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        pixels[i] = 0xFF000000u | state >> 8;
    }
    std::vector<std::uint32_t> expected(pixels, pixels + count);
    for (int pass = 0; pass < 2; ++pass) {
        TChanges changes;
        Apply(learnt, expected.data(), image->width(), image->height(), stride, x, y, changes, nullptr);
        FDraw(scratch, x, y);
    }
    pixels = scratch.Pixels();
    return pixels != nullptr && std::equal(expected.begin(), expected.end(), pixels);
}

int TBlendStamps::PhaseOf(int x, int y, long long& baseX, long long& baseY) const
{
    const int qx = FloorDivide(x, FPeriod);
    const int qy = FloorDivide(y, FPeriod);
    baseX = static_cast<long long>(qx) * FPeriodDevice;
    baseY = static_cast<long long>(qy) * FPeriodDevice;
    return (y - qy * FPeriod) * FPeriod + (x - qx * FPeriod);
}

bool TBlendStamps::Apply(const TLearnt& learnt, std::uint32_t* pixels, long long width, long long height,
                         std::size_t stride, int x, int y, TChanges& changes, std::uint64_t* atColour) const
{
    const std::uint32_t colour = PixelOf(learnt.Colour);
    long long baseX, baseY;
    const TPhase& phase = learnt.Phases[static_cast<std::size_t>(PhaseOf(x, y, baseX, baseY))];
    const TTable* tables = learnt.Tables.data();
    bool changed = false;
    const bool inside = baseX + phase.Left >= 0 && baseX + phase.Right <= width && baseY + phase.Top >= 0 &&
                        baseY + phase.Bottom <= height;
    if (inside && atColour != nullptr) {
        // One contracting colour (no changes to collect), the mark wholly on
        // the image: without branches.
        for (const TTouch& t : phase.Touches) {
            const auto col = static_cast<std::size_t>(baseX + t.Dx);
            const auto row = static_cast<std::size_t>(baseY + t.Dy);
            std::uint32_t& p = pixels[row * stride + col];
            const std::uint32_t after = t.Solid != 0 ? t.Solid : Through(tables[t.Table].data(), p);
            changed |= after != p;
            p = after;
            atColour[row * FColourWords + (col >> 6)] |= std::uint64_t{after == colour} << (col & 63);
        }
        return changed;
    }
    for (const TTouch& t : phase.Touches) {
        const long long col = baseX + t.Dx, row = baseY + t.Dy;
        if (!inside && (col < 0 || col >= width || row < 0 || row >= height)) continue;
        std::uint32_t& p = pixels[static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(col)];
        const std::uint32_t after = t.Solid != 0 ? t.Solid : Through(tables[t.Table].data(), p);
        if (atColour != nullptr && after == colour)
            atColour[static_cast<std::size_t>(row) * FColourWords + static_cast<std::size_t>(col >> 6)] |=
                std::uint64_t{1} << (col & 63);
        if (after == p) continue;
        p = after;
        if (!changed) {
            changed = true;
            changes = {col, row, col, row};
        } else {
            changes = {std::min(changes.Left, col), std::min(changes.Top, row), std::max(changes.Right, col),
                       std::max(changes.Bottom, row)};
        }
    }
    return changed;
}

void TBlendStamps::Begin(TCanvas& canvas, bool oneColour)
{
    FCanvas = dynamic_cast<TQtCanvas*>(&canvas);
    FDefault = std::max(0, Colour(canvas.Pen().Color()));
    FKeepStill = oneColour && !FLearnt.empty() && FLearnt[static_cast<std::size_t>(FDefault)].Contracting;
    FPixels = nullptr;
    FOldest = FQueued = 0;
    const TStampPositions positions = TStampPositions::Of(FCanvas, FReach);
    FLeft = positions.Left;
    FTop = positions.Top;
    FWidth = positions.Width;
    FHeight = positions.Height;
    FStill.assign(static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight), 0);
    if (FCanvas != nullptr && (FPixels = FCanvas->Pixels()) != nullptr) {
        const QImage& image = *FCanvas->Image();
        FImageWidth = image.width();
        FImageHeight = image.height();
        FStride = static_cast<std::size_t>(image.bytesPerLine() / 4);
    }
    // In one contracting colour a pixel at the colour stays there: the
    // pixels marks set to it are kept a bit each (a spare word a row, for
    // rows of a mark read across two words).
    FColourWords = static_cast<std::size_t>((FImageWidth + 63) / 64) + 1;
    if (FKeepStill && FPixels != nullptr)
        FAtColour.assign(FColourWords * static_cast<std::size_t>(FImageHeight), 0);
    else
        FAtColour.clear();
}

void TBlendStamps::Add(int x, int y, int colour)
{
    if (FQueued == kQueue) {
        const TQueued& oldest = FQueue[static_cast<std::size_t>(FOldest)];
        Place(oldest.X, oldest.Y, oldest.Colour);
        FOldest = (FOldest + 1) % kQueue;
        --FQueued;
    }
    const int at = (FOldest + FQueued) % kQueue;
    FQueue[static_cast<std::size_t>(at)] = {x, y, colour};
    ++FQueued;
    const auto cx = static_cast<unsigned>(x - FLeft);
    const auto cy = static_cast<unsigned>(y - FTop);
    if (cx < static_cast<unsigned>(FWidth) && cy < static_cast<unsigned>(FHeight))
        __builtin_prefetch(FStill.data() + static_cast<std::size_t>(cy) * static_cast<std::size_t>(FWidth) + cx);
    // Half way through the queue the position's flag is known: a mark that
    // will be applied has its rows fetched.
    if (FQueued > kQueue / 2) Fetch(FQueue[static_cast<std::size_t>((at + kQueue / 2) % kQueue)]);
}

void TBlendStamps::Fetch(const TQueued& mark)
{
    const auto cx = static_cast<unsigned>(mark.X - FLeft);
    const auto cy = static_cast<unsigned>(mark.Y - FTop);
    if (FPixels == nullptr || cx >= static_cast<unsigned>(FWidth) || cy >= static_cast<unsigned>(FHeight)) return;
    std::uint8_t& still = FStill[static_cast<std::size_t>(cy) * static_cast<std::size_t>(FWidth) + cx];
    if (still == mark.Colour + 1) return;
    // Pixels at the colour stay there whatever marks come before this one:
    // a mark all of whose pixels are is still already.
    if (!FAtColour.empty() && AtColour(FLearnt[static_cast<std::size_t>(mark.Colour)], mark.X, mark.Y)) {
        still = static_cast<std::uint8_t>(mark.Colour + 1);
        return;
    }
    long long baseX, baseY;
    PhaseOf(mark.X, mark.Y, baseX, baseY);
    const long long left = std::max(0LL, baseX + FBox.Left), right = std::min(FImageWidth - 1, baseX + FBox.Right - 1);
    const long long top = std::max(0LL, baseY + FBox.Top), bottom = std::min(FImageHeight - 1, baseY + FBox.Bottom - 1);
    if (left > right) return;
    for (long long row = top; row <= bottom; ++row) {
        const std::uint32_t* line = FPixels + static_cast<std::size_t>(row) * FStride;
        for (long long col = left; col <= right; col += 16) __builtin_prefetch(line + col, 1);
        __builtin_prefetch(line + right, 1);
    }
}

// One mark into the canvas's image, unless its position is still in its colour.
void TBlendStamps::Place(int x, int y, int colour)
{
    const auto cx = static_cast<unsigned>(x - FLeft);
    const auto cy = static_cast<unsigned>(y - FTop);
    if (cx >= static_cast<unsigned>(FWidth) || cy >= static_cast<unsigned>(FHeight) || FCanvas == nullptr) return;
    std::uint8_t& still = FStill[static_cast<std::size_t>(cy) * static_cast<std::size_t>(FWidth) + cx];
    if (still == colour + 1 || FPixels == nullptr) return;
    const TLearnt& learnt = FLearnt[static_cast<std::size_t>(colour)];
    if (!FAtColour.empty() && AtColour(learnt, x, y)) {
        // Every pixel of the mark is at its colour already: nothing changes.
        still = static_cast<std::uint8_t>(colour + 1);
        return;
    }
    TChanges changes;
    if (!Apply(learnt, FPixels, FImageWidth, FImageHeight, FStride, x, y, changes,
               FAtColour.empty() ? nullptr : FAtColour.data())) {
        still = static_cast<std::uint8_t>(colour + 1);
        return;
    }
    // In one contracting colour every still position stays still.
    if (FKeepStill) return;
    // Pixels changed: the marks whose pixels reach the changes (by the box
    // of every colour and phase) may change something again, in any colour.
    // A mark at x has its box from its phase's origin, device pixel
    // FloorDivide(x, FPeriod) * FPeriodDevice, on.
    const auto first = [&](long long from, int reachTo) {
        // The lowest position whose box ends after device pixel `from`.
        const long long origin = from - reachTo + 1;
        return (origin >= 0 ? (origin + FPeriodDevice - 1) / FPeriodDevice : -((-origin) / FPeriodDevice)) * FPeriod;
    };
    const auto last = [&](long long to, int reachFrom) {
        // The highest position whose box starts at or before device pixel `to`.
        const long long origin = to - reachFrom;
        return (origin >= 0 ? origin / FPeriodDevice : -((-origin + FPeriodDevice - 1) / FPeriodDevice)) * FPeriod +
               FPeriod - 1;
    };
    const long long x0 = std::max<long long>(0, first(changes.Left, FBox.Right) - FLeft);
    const long long x1 = std::min<long long>(FWidth - 1, last(changes.Right, FBox.Left) - FLeft);
    const long long y0 = std::max<long long>(0, first(changes.Top, FBox.Bottom) - FTop);
    const long long y1 = std::min<long long>(FHeight - 1, last(changes.Bottom, FBox.Top) - FTop);
    for (long long row = y0; row <= y1 && x0 <= x1; ++row)
        std::memset(FStill.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(x0), 0,
                    static_cast<std::size_t>(x1 - x0 + 1));
}

// Whether every pixel the mark at (x, y) touches lies on the image and is
// known to be at the mark's colour.
bool TBlendStamps::AtColour(const TLearnt& learnt, int x, int y) const
{
    long long baseX, baseY;
    const TPhase& phase = learnt.Phases[static_cast<std::size_t>(PhaseOf(x, y, baseX, baseY))];
    if (phase.Rows.empty() || baseX + phase.Left < 0 || baseX + phase.Right > FImageWidth || baseY + phase.Top < 0 ||
        baseY + phase.Bottom > FImageHeight)
        return false;
    const long long bit = baseX + phase.Left;
    const std::size_t word = static_cast<std::size_t>(bit >> 6);
    const int shift = static_cast<int>(bit & 63);
    const std::uint64_t* row = FAtColour.data() + static_cast<std::size_t>(baseY + phase.Top) * FColourWords + word;
    for (const std::uint64_t mask : phase.Rows) {
        const std::uint64_t bits = shift == 0 ? row[0] : (row[0] >> shift | row[1] << (64 - shift));
        if ((bits & mask) != mask) return false;
        row += FColourWords;
    }
    return true;
}

void TBlendStamps::Finish(const TDrawMark& draw)
{
    if (FQueued == 0 || FCanvas == nullptr) return;
    for (; FQueued > 1; --FQueued, FOldest = (FOldest + 1) % kQueue) {
        const TQueued& mark = FQueue[static_cast<std::size_t>(FOldest)];
        Place(mark.X, mark.Y, mark.Colour);
    }
    const TQueued& last = FQueue[static_cast<std::size_t>(FOldest)];
    FQueued = 0;
    draw(*FCanvas, last.X, last.Y);
}

}  // namespace kurvo
