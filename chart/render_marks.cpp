// Compact runs of mark items: a scatter of many points stamped once per
// pixel position from the device pixels of one mark (mark_stamps.h), with
// the picture of drawing every mark. The duplicate-mark rule still runs
// for every mark in list order before the stamps are placed.
#include "chart/Qorn_kurvo.h"

#include "base/marks.h"
#include "chart/blend_stamps.h"
#include "chart/kurvo_private.h"
#include "chart/mark_stamps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <memory>

namespace kurvo {

namespace {

// Shorter runs are drawn mark by mark: a stamp costs a few marks to make.
constexpr std::int64_t kMinStampedMarks = 32;
// The farthest a fixed symbol reaches from its centre (the stem, 8 pixels
// up), before the pen's width; wider pens draw mark by mark.
constexpr int kSymbolReach = 9;
constexpr int kMaxStampedPenWidth = 16;
constexpr int kLastSymbol = 51;
// Character marks are learnt by drawing the character 512 times per phase of
// the device pixels: fewer are drawn one by one.
constexpr std::int64_t kMinBlendedMarks = 1024;

bool Between(double v, double a, double b) { return a <= b ? (a <= v && v <= b) : (b <= v && v <= a); }

}  // namespace

void TCustomKurvoPrivate::RenderMarkRun(TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run,
                                 std::int64_t count, bool isAnnotation, bool monochrome)
{
    // By value: a hook may start runs of its own, which moves the table of
    // shared records.
    const TkvChartItem attributes = items.RunAttributes(run);
    const auto& classVisible = isAnnotation ? FAnnotClassVisible : FDataClassVisible;
    const bool varying = run.Varying >= 0;
    const int layer = attributes.Layer;
    if (layer < 1 || layer > LayerCount || !FLayerVisible[layer - 1]) return;
    if (!varying && !classVisible[attributes.Class]) return;
    const std::int64_t n = std::min(run.Count, count - run.First);
    if (n <= 0) return;
    const int type = attributes.Shape & 0xFF;
    const int width = std::clamp<std::int32_t>(attributes.LineWidth, 1, MaxItemPenWidth);

    // Item by item: as the reference (LineRunReduction off), with the hook
    // (a working copy of every item), for wide pens, short runs and
    // anti-aliased marks (drawn at their exact positions).
    const bool character = type > kLastSymbol;
    const bool coloured = varying && !monochrome;
    if (!FLineRunReduction || q->OnBeforeRenderChartItem || width > kMaxStampedPenWidth || n < kMinStampedMarks ||
        canvas.IsPrinterCanvas() || canvas.Antialiased() || (character && n < kMinBlendedMarks)) {
        RenderRunItems(canvas, items, run, n, isAnnotation, monochrome);
        return;
    }

    // What RenderItem does before any mark: the pen width, the batch of
    // line points ended.
    TRenderState& r = FRender;
    if (width != r.LineWidth) {
        FlushPolyline(canvas);
        r.LineWidth = width;
        canvas.Pen().SetWidth(width);
    }
    FlushPolyline(canvas);

    const TChunkedDoubles& xs = items.XValues();
    const TChunkedDoubles& ys = items.YValues();
    const std::int64_t o = run.Offset;
    const std::int64_t v = varying ? items.Varying(run).Offset : 0;
    const TScaleProps& sx = *q->ScaleX(layer);
    const TScaleProps& sy = *q->ScaleY(layer);
    const double xLow = sx.RangeLow(), xHigh = sx.RangeHigh(), yLow = sy.RangeLow(), yHigh = sy.RangeHigh();
    const TCanvasMap map = CanvasMap(layer);
    const auto colourOf = [&](std::int64_t k) {
        return monochrome ? clBlack : (varying ? items.Colors()[v + k] : attributes.Color);
    };
    const auto visible = [&](std::int64_t k) {
        return (!varying || classVisible[items.Classes()[v + k]]) && Between(xs[o + k], xLow, xHigh) &&
               Between(ys[o + k], yLow, yHigh);
    };
    const TDrawMark draw = [type](TCanvas& c, int x, int y) { DrawMark(c, type, x, y); };

    // The first visible mark sets the pen as RenderItem would; the stamp is
    // made with it.
    std::int64_t k = 0;
    while (k < n && !visible(k)) ++k;
    if (k == n) return;
    SetPenColor(canvas, colourOf(k));
    SetPenStyleCached(canvas, attributes.PenStyle);
    if (character) {
        RenderCharacterMarks(canvas, items, run, k, n, isAnnotation, monochrome);
        return;
    }
    if (!FMarkStamps) FMarkStamps = std::make_shared<TMarkStamps>();
    TMarkStamps& stamps = *FMarkStamps;
    if (!stamps.Prepare(canvas, draw, kSymbolReach + width, static_cast<std::uint64_t>(type) + 1)) {
        RenderRunItems(canvas, items, run, n, isAnnotation, monochrome, k);
        return;
    }
    stamps.Begin(canvas, coloured);
    // Chunk by chunk: X and Y of a point lie at the same index of their
    // arrays, so one contiguous stretch of each is read at a time.
    const bool avoid = FAvoidDuplicateMarks;
    const double x0 = std::min(xLow, xHigh), x1 = std::max(xLow, xHigh);
    const double y0 = std::min(yLow, yHigh), y1 = std::max(yLow, yHigh);
    const bool plain = !varying && !avoid;
    while (k < n) {
        std::int64_t stretch;
        const double* px = xs.Contiguous(o + k, stretch);
        std::int64_t same;
        const double* py = ys.Contiguous(o + k, same);
        const std::int64_t end = std::min(n, k + stretch);
        if (plain) {
            // The common scatter: one colour, no rule between the marks.
            stamps.AddInside(px, py, end - k, map, x0, x1, y0, y1);
        } else {
            for (std::int64_t j = 0; j < end - k; ++j) {
                if (!visible(k + j)) continue;
                const int x = map.X(px[j]);
                const int y = map.Y(py[j]);
                if (avoid && DuplicateMark(attributes.Shape, x, y)) continue;
                if (coloured)
                    stamps.Add(x, y, colourOf(k + j));
                else
                    stamps.Add(x, y);
            }
        }
        k = end;
    }
    if (!stamps.Any()) return;
    int x, y;
    TColor last;
    stamps.Last(x, y, last);
    if (coloured) SetPenColor(canvas, last);
    stamps.Finish(draw);
    ResetUpperVectorState();
}

// Character marks from mark k on, in order, through the tables of
// blend_stamps.h (a table per colour, for up to a few colours); mark by mark
// where those cannot give the pixels.
void TCustomKurvoPrivate::RenderCharacterMarks(TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run,
                                               std::int64_t k, std::int64_t n, bool isAnnotation, bool monochrome)
{
    const TkvChartItem attributes = items.RunAttributes(run);
    const auto& classVisible = isAnnotation ? FAnnotClassVisible : FDataClassVisible;
    const bool varying = run.Varying >= 0;
    const int layer = attributes.Layer;
    const int type = attributes.Shape & 0xFF;
    const TDrawMark draw = [type](TCanvas& c, int x, int y) { DrawMark(c, type, x, y); };
    const bool coloured = varying && !monochrome;
    const std::int64_t v = varying ? items.Varying(run).Offset : 0;
    if (!FBlendStamps) FBlendStamps = std::make_shared<TBlendStamps>();
    TBlendStamps& stamps = *FBlendStamps;
    // The character is drawn centred on its position, a cell of text high.
    const int reach = canvas.TextHeight("M") + 2;
    if (!stamps.Prepare(canvas, draw, reach, static_cast<std::uint64_t>(type) + 1)) {
        RenderRunItems(canvas, items, run, n, isAnnotation, monochrome, k);
        return;
    }
    // In a colour per mark: a few colours are learnt each, more go mark by mark.
    std::vector<std::pair<TColor, int>> palette;
    if (coloured) {
        std::vector<TColor> distinct;
        for (std::int64_t j = k; j < n && distinct.size() <= TBlendStamps::MaxColours; ++j) {
            const TColor c = items.Colors()[v + j];
            if (std::find(distinct.begin(), distinct.end(), c) == distinct.end()) distinct.push_back(c);
        }
        const auto missing = static_cast<std::size_t>(
            std::count_if(distinct.begin(), distinct.end(), [&](TColor c) { return !stamps.Learnt(c); }));
        if (distinct.size() <= TBlendStamps::MaxColours && stamps.LearntColours() + missing > TBlendStamps::MaxColours)
            stamps.Forget();
        for (const TColor c : distinct) {
            const int learnt = distinct.size() <= TBlendStamps::MaxColours ? stamps.Colour(c) : -1;
            if (learnt < 0) {
                RenderRunItems(canvas, items, run, n, isAnnotation, monochrome, k);
                return;
            }
            palette.emplace_back(c, learnt);
        }
    }
    const auto colourIndex = [&](TColor c) {
        for (const auto& [colour, index] : palette)
            if (colour == c) return index;
        return 0;  // not reached: every colour of the run is in the palette
    };
    const TChunkedDoubles& xs = items.XValues();
    const TChunkedDoubles& ys = items.YValues();
    const std::int64_t o = run.Offset;
    const TScaleProps& sx = *q->ScaleX(layer);
    const TScaleProps& sy = *q->ScaleY(layer);
    const double xLow = sx.RangeLow(), xHigh = sx.RangeHigh(), yLow = sy.RangeLow(), yHigh = sy.RangeHigh();
    const TCanvasMap map = CanvasMap(layer);
    const bool avoid = FAvoidDuplicateMarks;
    stamps.Begin(canvas, !coloured);
    TColor last = canvas.Pen().Color(), lastLooked = last;
    int lastIndex = coloured ? colourIndex(last) : 0;
    for (; k < n; ++k) {
        const double x = xs[o + k], y = ys[o + k];
        if ((varying && !classVisible[items.Classes()[v + k]]) || !Between(x, xLow, xHigh) || !Between(y, yLow, yHigh))
            continue;
        const int px = map.X(x);
        const int py = map.Y(y);
        if (avoid && DuplicateMark(attributes.Shape, px, py)) continue;
        if (coloured) {
            last = items.Colors()[v + k];
            if (last != lastLooked) {
                lastLooked = last;
                lastIndex = colourIndex(last);
            }
            stamps.Add(px, py, lastIndex);
        } else {
            stamps.Add(px, py);
        }
    }
    // The last mark is drawn itself, in its colour.
    if (coloured && stamps.Any()) SetPenColor(canvas, last);
    stamps.Finish(draw);
    ResetUpperVectorState();
}

}  // namespace kurvo
