// The item renderer: draws one display-list item onto the data-area canvas.
//
// Line-to items are the bulk of every chart. They are collected into
// polylines of up to 200 points, and pen, brush and font go through the
// render-state cache, so a long run of equal items costs one canvas call per
// batch. The shapes (lines, boxes, arrows, bars, ...) are in render_shapes.cpp.
#include "chart/Qorn_kurvo.h"

#include "base/marks.h"
#include "base/pixel_math.h"
#include "base/raise_event.h"
#include "chart/kurvo_private.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace kurvo {

namespace {

constexpr std::int64_t kCanvasLimit = 30000;

int ClampCoord(std::int64_t v) { return static_cast<int>(std::clamp(v, -kCanvasLimit, kCanvasLimit)); }

// Font sizes of text items and printed character marks, in points.
constexpr int kMaxFontPoints = 1000;

int PenWidthOf(std::int32_t lineWidth) { return std::clamp<std::int32_t>(lineWidth, 1, MaxItemPenWidth); }

bool Finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

bool Between(double v, double a, double b) { return a <= b ? (a <= v && v <= b) : (b <= v && v <= a); }

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void ZeroUpper() { _mm256_zeroupper(); }
#endif

// Where an anti-aliased line passes through an item point: its canvas
// position before ItemPoint rounds it. Each coordinate a world value of
// the layer of `map` or a pixel of the data area.
TPointF ExactItemPoint(const TCanvasMap& map, const TRenderState& r, double x, double y, bool xPixel, bool yPixel)
{
    const TPointF world = ExactCanvasPoint(map, xPixel ? 1.0 : x, yPixel ? 1.0 : y);
    const auto pixel = [](double v, int offset) { return std::clamp(v + offset, -30000.0, 30000.0); };
    return {xPixel ? pixel(x, r.OffsetX) : world.X, yPixel ? pixel(y, r.OffsetY) : world.Y};
}

// The exact pen position where it still belongs to the pen's pixel; the
// pixel itself where the pen moved since (a shape that sets it, the start).
TPointF ExactPenPos(const TRenderState& r)
{
    const bool current = std::fabs(r.PenPosF.X - r.PenPos.X) <= 0.5 && std::fabs(r.PenPosF.Y - r.PenPos.Y) <= 0.5;
    return current ? r.PenPosF : TPointF{static_cast<double>(r.PenPos.X), static_cast<double>(r.PenPos.Y)};
}

}  // namespace

// Debian's Qt 6 returns from some of its AVX code paths with the upper halves
// of the vector registers still in use. Until a vzeroupper, every SSE
// instruction of ours then pays a state transition, which makes log, exp and
// sin (logarithmic layers, arcs, arrows) about 16 times slower. The render
// loop calls this before its items and after canvas calls that enter Qt.
void TCustomKurvoPrivate::ResetUpperVectorState()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx && TCustomKurvoPrivate::SResetUpperState) ZeroUpper();
#endif
}

// ------------------------------------------------------------ coordinates

// The hot path of line-to items: a linear layer is converted here with the
// same multiply-add and rounding as WorldToPixel, without the call.
TPoint TCustomKurvoPrivate::WorldToCanvas(int layer, double x, double y) const
{
    const int n = ClampLayer(layer) - 1;
    int px, py;
    if (!FScaleX[n]->Logarithmic() && !FScaleY[n]->Logarithmic()) {
        const TLayerTransform& t = FTransform[n];
        px = RoundPixel(t.kx * x + t.dx);
        py = RoundPixel(t.ky * y + t.dy);
    } else {
        q->WorldToPixel(layer, x, y, px, py);
    }
    return {ClampCoord(std::int64_t{px} + FRender.OffsetX - FMarginLeft),
            ClampCoord(std::int64_t{py} + FRender.OffsetY - FMarginTop)};
}

TPoint TCustomKurvoPrivate::PixelToCanvas(double x, double y) const
{
    return {ClampCoord(std::int64_t{FRender.OffsetX} + RoundPixel(x)),
            ClampCoord(std::int64_t{FRender.OffsetY} + RoundPixel(y))};
}

TPoint TCustomKurvoPrivate::ItemPoint(int layer, double x, double y, bool xPixel, bool yPixel) const
{
    if (!xPixel && !yPixel) return WorldToCanvas(layer, x, y);
    if (xPixel && yPixel) return PixelToCanvas(x, y);
    // 1.0 stands in for the pixel coordinate: valid on logarithmic axes too.
    const TPoint world = WorldToCanvas(layer, xPixel ? 1.0 : x, yPixel ? 1.0 : y);
    const TPoint pixel = PixelToCanvas(x, y);
    return {xPixel ? pixel.X : world.X, yPixel ? pixel.Y : world.Y};
}

TPoint TCustomKurvoPrivate::ShiftedWorldPoint(int layer, double x, double y, double dx, double dy) const
{
    int px, py;
    q->WorldToPixel(layer, x, y, px, py);
    return {ClampCoord(std::int64_t{RoundPixel(px + dx)} + FRender.OffsetX - FMarginLeft),
            ClampCoord(std::int64_t{RoundPixel(py + dy)} + FRender.OffsetY - FMarginTop)};
}

TPoint TCustomKurvoPrivate::CurrentPenPos() const
{
    const TRenderState& r = FRender;
    return r.PolyCount > 0 ? r.Poly[r.PolyCount - 1] : r.PenPos;
}

bool TCustomKurvoPrivate::InLayerRanges(int layer, double x, double y) const
{
    const TScaleProps& sx = *q->ScaleX(layer);
    const TScaleProps& sy = *q->ScaleY(layer);
    return Between(x, sx.RangeLow(), sx.RangeHigh()) && Between(y, sy.RangeLow(), sy.RangeHigh());
}

// ------------------------------------------------------------ state cache

void TCustomKurvoPrivate::SetPenColor(TCanvas& canvas, TColor color)
{
    if (color == FRender.PenColor) return;
    FRender.PenColor = color;
    canvas.Pen().SetColor(color);
}

void TCustomKurvoPrivate::SetPenStyleCached(TCanvas& canvas, TPenStyle style)
{
    if (style == FRender.PenStyle) return;
    FRender.PenStyle = style;
    canvas.Pen().SetStyle(style);
}

void TCustomKurvoPrivate::SetBrushColor(TCanvas& canvas, TColor color)
{
    if (color == FRender.BrushColor) return;
    FRender.BrushColor = color;
    canvas.Brush().SetColor(color);
}

void TCustomKurvoPrivate::SetFontColor(TCanvas& canvas, TColor color)
{
    if (color == FRender.FontColor) return;
    FRender.FontColor = color;
    canvas.Font().SetColor(color);
}

void TCustomKurvoPrivate::ReapplyRenderState(TCanvas& canvas)
{
    const TRenderState& r = FRender;
    canvas.Pen().SetMode(pmCopy);
    canvas.SetAntialiased(FAntialiased);
    canvas.Pen().SetWidth(r.LineWidth);
    canvas.Pen().SetColor(r.PenColor);
    canvas.Pen().SetStyle(r.PenStyle);
    canvas.Brush().SetColor(r.BrushColor);
    canvas.Font().SetColor(r.FontColor);
    const TPoint p = CurrentPenPos();
    canvas.MoveTo(p.X, p.Y);
}

// --------------------------------------------------------------- polyline

void TCustomKurvoPrivate::FlushPolyline(TCanvas& canvas)
{
    TRenderState& r = FRender;
    if (r.PolyCount <= 0) return;
    const TPoint last = r.Poly[r.PolyCount - 1];
    // A single point is the carried-over end of a full batch: it has no
    // segment to draw.
    if (r.PolyCount > 1) {
        if (canvas.Antialiased()) {
            canvas.PolylineF(r.PolyF.data(), r.PolyCount);
        } else
            canvas.Polyline(r.Poly.data(), r.PolyCount);
        ResetUpperVectorState();
    }
    canvas.MoveTo(last.X, last.Y);
    r.PenPos = last;
    r.PenPosF = r.PolyF[r.PolyCount - 1];
    r.PolyCount = 0;
}

void TCustomKurvoPrivate::AddPolylinePoint(int x, int y, TCanvas& canvas)
{
    TRenderState& r = FRender;
    const TPointF exact = r.HasNextF ? r.NextF : TPointF{static_cast<double>(x), static_cast<double>(y)};
    r.HasNextF = false;
    if (r.PolyCount == 0) {
        r.Poly[0] = r.PenPos;
        r.PolyF[0] = ExactPenPos(r);
        r.PolyCount = 1;
    }
    r.Poly[r.PolyCount] = {x, y};
    r.PolyF[r.PolyCount++] = exact;
    if (r.PolyCount >= PolylineBatch) {
        FlushPolyline(canvas);
        r.Poly[0] = {x, y};
        r.PolyF[0] = exact;
        r.PolyCount = 1;
    }
}

// Line-to, line-relative and vector points: a change of pen colour, pen
// style or brush colour ends the batch and sets all three.
void TCustomKurvoPrivate::SetLineAttributes(TCanvas& canvas, TColor penColor, const TkvChartItem& item)
{
    TRenderState& r = FRender;
    if (penColor == r.PenColor && item.PenStyle == r.PenStyle && item.FillColor == r.BrushColor) return;
    FlushPolyline(canvas);
    r.PenColor = penColor;
    r.PenStyle = item.PenStyle;
    r.BrushColor = item.FillColor;
    canvas.Pen().SetColor(penColor);
    canvas.Pen().SetStyle(item.PenStyle);
    canvas.Brush().SetColor(item.FillColor);
}

void TCustomKurvoPrivate::AddLinePoint(TCanvas& canvas, TColor penColor, const TkvChartItem& item, TPoint p)
{
    TRenderState& r = FRender;
    SetLineAttributes(canvas, penColor, item);
    if (r.PenBroken) {
        r.PenBroken = false;
        r.PenPos = p;
        r.PenPosF = r.HasNextF ? r.NextF : TPointF{static_cast<double>(p.X), static_cast<double>(p.Y)};
        r.HasNextF = false;
        canvas.MoveTo(p.X, p.Y);
        return;
    }
    AddPolylinePoint(p.X, p.Y, canvas);
}

// A line point with a non-finite coordinate has no pixel. Clamping it would
// draw a stroke to the canvas limit that the data does not contain, so the
// point is left out and the line resumes, after a gap, at the next point.
void TCustomKurvoPrivate::BreakPolyline(TCanvas& canvas)
{
    FlushPolyline(canvas);
    FRender.PenBroken = true;
}

// ------------------------------------------------------------------ marks

bool TCustomKurvoPrivate::DuplicateMark(int markType, int x, int y)
{
    TRenderState& r = this->FRender;
    if (!r.DupActive) return false;
    const std::int64_t cells = std::int64_t{r.DupWidth} * r.DupHeight;
    if (!r.DupReady) {
        if (cells <= TRenderState::DupDenseCells) r.DupGrid.assign(static_cast<std::size_t>(cells), -1);
        r.DupReady = true;
    }
    const bool dense = !r.DupGrid.empty();
    const auto cellAt = [&r, dense](std::int64_t cell) {
        if (dense) return r.DupGrid[static_cast<std::size_t>(cell)];
        const auto it = r.DupSparse.find(cell);
        return it == r.DupSparse.end() ? -1 : it->second;
    };
    const auto setCell = [&r, dense](std::int64_t cell, int type) {
        if (dense) r.DupGrid[static_cast<std::size_t>(cell)] = type;
        else r.DupSparse[cell] = type;
    };
    const int type = markType & 0xFF;
    const std::int64_t d = r.DupDist;
    const std::int64_t cx = d + x;
    const std::int64_t cy = d + y;
    const auto inside = [&r](std::int64_t i, std::int64_t k) {
        return i >= 0 && i < r.DupWidth && k >= 0 && k < r.DupHeight;
    };
    if (inside(cx, cy) && cellAt(cx * r.DupHeight + cy) == type) return true;
    for (std::int64_t i = cx - d; i <= cx + d; ++i)
        for (std::int64_t k = cy - d; k <= cy + d; ++k)
            if (inside(i, k)) setCell(i * r.DupHeight + k, type);
    return false;
}

void TCustomKurvoPrivate::DrawItemMark(TCanvas& canvas, int markType, int printerFontSize, TPoint p)
{
    if (canvas.IsPrinterCanvas() && (markType & 0xFF) > 51) {
        canvas.Font().SetPixelsPerInch(CanvasLogPixelsY(canvas));
        canvas.Font().SetSize(std::clamp(printerFontSize, -kMaxFontPoints, kMaxFontPoints));
    }
    DrawMark(canvas, markType, p.X, p.Y);
    // Character marks take the pen colour as font colour.
    FRender.FontColor = canvas.Font().Color();
}

// ------------------------------------------------------------------- text

int TCustomKurvoPrivate::MeasureText(const std::string& text, TCanvas& canvas, int& lineHeight, int& totalHeight,
                              int& maxWidth)
{
    int lines = 0;
    maxWidth = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        maxWidth = std::max(maxWidth, canvas.TextWidth(line));
        ++lines;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (maxWidth == 0) maxWidth = canvas.TextWidth(text);
    lineHeight = canvas.TextHeight(text) + 1;
    totalHeight = lineHeight * lines;
    return lines;
}

void TCustomKurvoPrivate::RenderText(TCanvas& canvas, const TkvChartItem& source, int index, bool isAnnotation,
                              const TLongTextArray& longTexts, bool monochrome, TPoint position)
{
    // A copy: the hook may clear the list, which empties the stored record.
    const TkvChartItem item = source;
    // Indices above 50 find an empty text in the table.
    std::string text = item.LineWidth >= 1 ? longTexts.Text(item.LineWidth) : item.ShortText.Str();
    if (q->OnBeforeRenderText) {
        const unsigned runs = FRenderRuns;
        RaiseEvent(q->OnBeforeRenderText, q, text, index, isAnnotation);
        if (FRenderRuns != runs) ReapplyRenderState(canvas);
    }
    // The font is set up after the hook, which cannot see the canvas: a hook
    // that repaints cannot leave the font of a nested text behind.
    const TColor background = monochrome ? clWhite : item.FillColor;
    const bool solid = (item.Size2 & 0xFF) != 0;
    SetFontColor(canvas, monochrome ? clBlack : item.Color);
    TFont& font = canvas.Font();
    font.SetName(FTextFont.Name());
    font.SetStyle(FTextFont.Style());
    font.SetPixelsPerInch(CanvasLogPixelsY(canvas));
    font.SetSize(std::clamp(item.Size, -kMaxFontPoints, kMaxFontPoints));
    SetBrushColor(canvas, background);
    canvas.Brush().SetStyle(solid ? bsSolid : bsClear);
    int lineHeight, totalHeight, maxWidth;
    const int lines = MeasureText(text, canvas, lineHeight, totalHeight, maxWidth);

    std::int64_t x = position.X;
    const std::int64_t y = std::int64_t{position.Y} - lineHeight / 2;  // first line centred on the point
    if (item.Shape == 1)
        x -= maxWidth;
    else if (item.Shape == 2)
        x -= maxWidth / 2;
    if (lines == 1) {
        canvas.TextOut(ClampCoord(x), ClampCoord(y), text);
        return;
    }
    if (solid) {
        SetPenColor(canvas, background);
        canvas.Rectangle(ClampCoord(x - 4), ClampCoord(y - 2), ClampCoord(x + maxWidth + 4),
                         ClampCoord(y + std::int64_t{lines} * lineHeight + 2));
    }
    std::size_t start = 0;
    for (std::int64_t i = 0; i < lines; ++i) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::int64_t dx = 0;
        if (item.Shape == 1)
            dx = maxWidth - canvas.TextWidth(line);
        else if (item.Shape == 2)
            dx = (maxWidth - canvas.TextWidth(line)) / 2;
        canvas.TextOut(ClampCoord(x + dx), ClampCoord(y + i * lineHeight), line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

// ------------------------------------------------------------ RenderItem

void TCustomKurvoPrivate::RenderItem(TCanvas& canvas, TkvChartItem& item, int index, bool isAnnotation,
                              const TLongTextArray& longTexts, bool monochrome, int offsetX, int offsetY)
{
    TRenderState& r = FRender;
    r.OffsetX = offsetX;
    r.OffsetY = offsetY;
    const std::uint8_t kind = item.Kind;
    if (kind != ikText && kind != ikOffsetText) {
        const int width = PenWidthOf(item.LineWidth);
        if (width != r.LineWidth) {
            FlushPolyline(canvas);
            r.LineWidth = width;
            canvas.Pen().SetWidth(width);
        }
    }
    const TColor pen = monochrome ? clBlack : item.Color;
    // Single-point coordinate modes: 1 and 3 pixels, 4 X pixel, 5 Y pixel.
    const std::uint8_t mode = item.Mode;
    const bool xPixel = mode == 1 || mode == 3 || mode == 4;
    const bool yPixel = mode == 1 || mode == 3 || mode == 5;

    // Line points flush only when their attributes change.
    if (kind == ikLineTo) {
        if (!Finite(item.X, item.Y)) return BreakPolyline(canvas);
        if (canvas.Antialiased()) {
            r.NextF = ExactItemPoint(CanvasMap(item.Layer), r, item.X, item.Y, xPixel, yPixel);
            r.HasNextF = true;
        }
        return AddLinePoint(canvas, pen, item, ItemPoint(item.Layer, item.X, item.Y, xPixel, yPixel));
    }
    if (kind == ikLineRel) {
        if (!Finite(item.X, item.Y)) return BreakPolyline(canvas);
        const TPoint from = CurrentPenPos();
        return AddLinePoint(canvas, pen, item,
                            {ClampCoord(std::int64_t{from.X} + RoundPixel(item.X)),
                             ClampCoord(std::int64_t{from.Y} + RoundPixel(item.Y))});
    }

    FlushPolyline(canvas);
    switch (kind) {
    case ikMoveTo:
    case ikMoveRel: {
        // A move to a point without pixel leaves the pen where it is; the
        // next line point starts afresh.
        if (!Finite(item.X, item.Y)) {
            r.PenBroken = true;
            return;
        }
        const TPoint p = kind == ikMoveTo ? ItemPoint(item.Layer, item.X, item.Y, xPixel, yPixel)
                                          : TPoint{ClampCoord(std::int64_t{r.PenPos.X} + RoundPixel(item.X)),
                                                   ClampCoord(std::int64_t{r.PenPos.Y} + RoundPixel(item.Y))};
        r.PenPos = p;
        r.PenPosF = kind == ikMoveTo && canvas.Antialiased()
                        ? ExactItemPoint(CanvasMap(item.Layer), r, item.X, item.Y, xPixel, yPixel)
                        : TPointF{static_cast<double>(p.X), static_cast<double>(p.Y)};
        r.PenBroken = false;
        canvas.MoveTo(p.X, p.Y);
        return;
    }
    case ikVector: {
        const TPoint p1 = WorldToCanvas(item.Layer, item.X, item.Y);
        const TPoint p2{ClampCoord(std::int64_t{p1.X} + RoundPixel(item.X2)),
                        ClampCoord(std::int64_t{p1.Y} + RoundPixel(item.Y2))};
        SetLineAttributes(canvas, pen, item);
        if (p1 == p2) {
            canvas.SetPixel(p1.X, p1.Y, pen);
        } else {
            r.PenPos = p1;
            r.PenBroken = false;
            AddPolylinePoint(p2.X, p2.Y, canvas);
        }
        return;
    }
    case ikMark: {
        const bool pixel = mode != 0;
        const bool visible =
            pixel ? (0 <= item.X && item.X <= q->Width() - FMarginRight - FMarginLeft && 0 <= item.Y &&
                     item.Y <= q->Height() - FMarginBottom - FMarginTop)
                  : InLayerRanges(item.Layer, item.X, item.Y);
        if (!visible) return;
        SetPenColor(canvas, pen);
        SetPenStyleCached(canvas, item.PenStyle);
        const TPoint p = pixel ? PixelToCanvas(item.X, item.Y) : WorldToCanvas(item.Layer, item.X, item.Y);
        if (FAvoidDuplicateMarks && DuplicateMark(item.Shape, p.X, p.Y)) return;
        DrawItemMark(canvas, item.Shape, item.Size, p);
        break;
    }
    case ikText:
        RenderText(canvas, item, index, isAnnotation, longTexts, monochrome,
                   ItemPoint(item.Layer, item.X, item.Y, xPixel, yPixel));
        break;
    case ikOffsetText:
        RenderText(canvas, item, index, isAnnotation, longTexts, monochrome,
                   ShiftedWorldPoint(item.Layer, item.X, item.Y, item.X2, item.Y2));
        break;
    default:
        RenderShape(canvas, item, monochrome);
        break;
    }
    ResetUpperVectorState();
}

}  // namespace kurvo
