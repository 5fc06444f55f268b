// Painting of the axis control: target choice, the transparent and opaque
// ways, tick lines, labels, caption and the axis events.
#include "scale/Qorn_Scale.h"

#include "base/marks.h"
#include "base/raise_event.h"
#include "scale/scale_private.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace kurvo {

namespace {

// Tick lengths and label distances in pixels, from the base line inwards.
constexpr int kHorizontalShortTick = 4;
constexpr int kHorizontalLongTick = 7;
constexpr int kHorizontalLabelGap = 7;
constexpr int kVerticalShortTick = 4;
constexpr int kVerticalLongTick = 6;
constexpr int kVerticalLogTick = 6;  // short and long alike
constexpr int kVerticalLabelGap = 8;
// Labels are kept this far inside the left and right edges of the control.
constexpr int kLabelEdge = 2;

// Centre a vertical label by its own height (time and date passes).
constexpr int kOwnHeight = -1;

// The lines of a message on a vertical axis keep this far from the base line.
constexpr int kMessageGap = 2;

// A date/time axis whose range cannot be ticked shows a message at the
// pixel of its middle value instead: one centred line below a horizontal
// base line (on either side), or the words as lines of the height of "T"
// beside a vertical one, the second line's top at the pixel. It is no tick
// and no label, so it raises no event.
void DrawMessage(TCanvas& canvas, TScaleType type, int pixel, int base, const TTickVisit& visit)
{
    // In 64 bits: a mapping kept from a logarithmic range can put the middle
    // at the integer limits.
    auto clamped = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -2147483647LL, 2147483647LL)); };
    if (IsHorizontal(type)) {
        const long long left = static_cast<long long>(pixel) - canvas.TextWidth(visit.Label) / 2;
        canvas.TextOut(clamped(left), base + kHorizontalLabelGap, visit.Label);
        return;
    }
    const int h = canvas.TextHeight("T");
    long long top = static_cast<long long>(pixel) - h;
    for (const std::string& line : visit.MessageLines) {
        const int left = type == sctYR ? base - canvas.TextWidth(line) - kMessageGap : base + kMessageGap;
        canvas.TextOut(left, clamped(top), line);
        top += h;
    }
}

// Left edge of a horizontal label of half width `half` at tick pixel x: centred,
// but not left of the edge, and ending inside the right edge. In 64 bits: a
// tick pixel near the integer limits must not overflow.
long long HorizontalLabelLeft(long long x, long long half, int width)
{
    if (x + half < width - kLabelEdge) return x - std::min<long long>(half, x - kLabelEdge);
    return width - 2 * half - kLabelEdge;
}

}  // namespace

void TScale::Paint()
{
    if (!Visible() || IsLoading() || d->FPaintSuspended) return;
    if (d->FExternalCanvas != nullptr)
        PaintAxis(*d->FExternalCanvas, d->FDX, d->FDY);
    else
        PaintAxis(Canvas(), 0, 0);
}

void TScale::PaintAxis(TCanvas& target, int dx, int dy)
{
    target.Font() = Font();
    RaiseEvent(OnBeforeScaleRendered, this, target);

    if (d->FTransparent) {
        DrawAxis(target, dx, dy);
        RaiseEvent(OnAfterScaleRendered, this, target);
        return;
    }

    // At the target's device pixel ratio, so that the copy stays sharp.
    TBitmap bitmap;
    bitmap.SetDevicePixelRatio(target.DevicePixelRatio());
    bitmap.SetSize(Width(), Height());
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font() = Font();
    canvas.Pen().SetColor(d->FColorBackGnd);
    canvas.Brush().SetColor(d->FColorBackGnd);
    canvas.Rectangle(0, 0, Width(), Height());
    DrawAxis(canvas, 0, 0);
    RaiseEvent(OnAfterScaleRendered, this, canvas);
    DrawFrame(canvas, d->FFrameStyle, 0, 0, Width() - 1, Height() - 1, d->FFrameHighlightColor, clSilver,
              d->FFrameShadowColor, d->FFrameDarkColor, d->FFrameDarkColor);
    target.Draw(dx, dy, bitmap);
}

void TScale::DrawAxis(TCanvas& canvas, int dx, int dy)
{
    canvas.Pen().SetColor(d->FColorScale);
    const int w = Width();
    const int h = Height();
    int base = 0;
    switch (d->FScaleType) {
    case sctXB:
        base = dy + h - d->FMarginBottom - 1;
        PaintHorizontal(canvas, base);
        break;
    case sctXT:
        base = dy + d->FMarginTop;
        PaintHorizontal(canvas, base);
        break;
    case sctYL:
        base = dx + d->FMarginLeft;
        PaintVertical(canvas, base);
        break;
    case sctYR:
        base = dx + w - d->FMarginRight - 1;
        PaintVertical(canvas, base);
        break;
    }
    if (!d->FShowBaseLine) return;
    // Drawn with the pen as the pass left it: a tick handler's pen change
    // shows here too.
    if (IsHorizontal(d->FScaleType)) {
        canvas.MoveTo(d->FMarginLeft, base);
        canvas.LineTo(w - d->FMarginRight - 1, base);
    } else {
        canvas.MoveTo(base, d->FMarginTop);
        canvas.LineTo(base, h - d->FMarginBottom - 1);
    }
}

void TScale::PrepareAxisCanvas(TCanvas& canvas)
{
    if (canvas.IsPrinterCanvas()) {
        TFont& font = canvas.Font();
        font.SetPixelsPerInch(ScreenLogPixelsY());
        font.SetSize(Font().Size());
        font.SetPixelsPerInch(CanvasLogPixelsY(canvas));
    }
    // Opaque: label and caption cells take the background brush.
    canvas.Brush().SetStyle(d->FTransparent ? bsClear : bsSolid);
}

void TScale::PaintHorizontal(TCanvas& canvas, int baseY)
{
    PrepareAxisCanvas(canvas);
    DrawTicks(canvas, baseY, 0);
    DrawCaption(canvas, baseY);
}

void TScale::PaintVertical(TCanvas& canvas, int baseX)
{
    PrepareAxisCanvas(canvas);
    DrawTicks(canvas, baseX, canvas.TextHeight("0"));
    DrawCaption(canvas, baseX);
}

void TScale::DrawTicks(TCanvas& canvas, int base, int zeroHeight)
{
    // The visits are collected, so that labels that would overlap (a
    // logarithmic axis over hundreds of decades, long clock texts on a short
    // axis) can be thinned before anything is drawn.
    std::vector<TTickVisit> visits;
    RunTickPass(TickSettings(), d->FTicks, [&visits](TTickVisit& visit) { visits.push_back(std::move(visit)); });
    const bool horizontal = IsHorizontal(d->FScaleType);
    ThinLabels(visits, [&](const TTickVisit& visit) -> std::pair<long long, long long> {
        const std::optional<int> pixel = DefinedPixel(visit.Value);
        if (!pixel) return {1, 0};
        // Where DrawTickLabel and DrawVerticalLabel put the label.
        if (horizontal) {
            const long long half = canvas.TextWidth(visit.Label) / 2;
            const long long left = HorizontalLabelLeft(*pixel, half, Width());
            return {left, left + 2 * half};
        }
        const bool clockPass = visit.Pass == tpTime || visit.Pass == tpDateTime;
        const int height = canvas.TextHeight(visit.Label);
        const long long top = static_cast<long long>(*pixel) - (clockPass ? height : zeroHeight) / 2;
        return {top, top + height - 1};
    });
    for (TTickVisit& visit : visits) DrawTickVisit(canvas, visit, base, zeroHeight);
}

void TScale::DrawTickVisit(TCanvas& canvas, TTickVisit& visit, int base, int zeroHeight)
{
    const bool horizontal = IsHorizontal(d->FScaleType);
    const std::optional<int> defined = DefinedPixel(visit.Value);
    if (!defined) return;  // nowhere to draw it, and no position to report
    const int pixel = *defined;
    if (visit.IsMessage) {
        DrawMessage(canvas, d->FScaleType, pixel, base, visit);
        return;
    }
    const int x = horizontal ? pixel : base;
    const int y = horizontal ? base : pixel;
    const bool isLong = visit.Kind == tkLong;

    if (visit.DrawLine) {
        int length;
        if (horizontal)
            length = isLong ? kHorizontalLongTick : kHorizontalShortTick;
        else if (visit.Pass == tpLogarithmic)
            length = kVerticalLogTick;
        else
            length = isLong ? kVerticalLongTick : kVerticalShortTick;
        canvas.MoveTo(x, y);
        switch (d->FScaleType) {
        case sctXB: canvas.LineTo(x, y - length); break;
        case sctXT: canvas.LineTo(x, y + length); break;
        case sctYL: canvas.LineTo(x + length, y); break;
        case sctYR: canvas.LineTo(x - length, y); break;
        }
    }

    const bool clockPass = visit.Pass == tpTime || visit.Pass == tpDateTime;
    auto label = [&] {
        if (horizontal)
            DrawTickLabel(canvas, visit.Value, x, base, std::move(visit.Label));
        else
            DrawVerticalLabel(canvas, visit.Value, base, y, std::move(visit.Label),
                              clockPass ? kOwnHeight : zeroHeight);
        if (visit.HasDateLine) DrawDateLine(canvas, visit.Value, pixel, base, std::move(visit.DateLine));
    };
    // The label comes before the tick event on horizontal linear axes and
    // in the time and date passes, after it otherwise.
    const bool labelFirst = clockPass || (horizontal && visit.Pass == tpLinear);
    if (visit.Labelled && labelFirst) label();
    RaiseEvent(OnScaleTickDrawn, this, canvas, d->FScaleType, visit.Value, x, y);
    if (visit.Labelled && !labelFirst) label();
}

void TScale::DrawTickLabel(TCanvas& canvas, double value, int x, int baseY, std::string text)
{
    RaiseEvent(OnBeforeTickLabel, this, d->FScaleType, value, text);
    const int h = canvas.TextHeight(text);
    const long long left = HorizontalLabelLeft(x, canvas.TextWidth(text) / 2, Width());
    const int top = d->FScaleType == sctXB ? baseY - kHorizontalLabelGap - h : baseY + kHorizontalLabelGap;
    canvas.TextOut(static_cast<int>(left), top, text);
}

void TScale::DrawVerticalLabel(TCanvas& canvas, double value, int baseX, int y, std::string text, int centreHeight)
{
    RaiseEvent(OnBeforeTickLabel, this, d->FScaleType, value, text);
    const int w = canvas.TextWidth(text);
    const int h = centreHeight >= 0 ? centreHeight : canvas.TextHeight(text);
    const int left = d->FScaleType == sctYR ? baseX - w - kVerticalLabelGap : baseX + kVerticalLabelGap;
    // In 64 bits: a tick pixel near the integer limits must not overflow.
    canvas.TextOut(left, ClampCanvasCoord(static_cast<long long>(y) - h / 2), text);
}

void TScale::DrawDateLine(TCanvas& canvas, double value, int pixel, int base, std::string text)
{
    // One text line further from the base line than the time label; the
    // size is measured before the handler may change the text.
    const int h = canvas.TextHeight(text);
    if (IsHorizontal(d->FScaleType)) {
        DrawTickLabel(canvas, value, pixel, d->FScaleType == sctXB ? base - h : base + h, std::move(text));
        return;
    }
    const int w = canvas.TextWidth(text);
    RaiseEvent(OnBeforeTickLabel, this, d->FScaleType, value, text);
    const int left = d->FScaleType == sctYR ? base - w - kVerticalLabelGap : base + kVerticalLabelGap;
    canvas.TextOut(left, pixel - 3 * (h / 2), text);
}

void TScale::DrawCaption(TCanvas& canvas, int base)
{
    if (d->FCaption.empty()) return;
    const int w = canvas.TextWidth(d->FCaption);
    int x;
    int y;
    if (IsHorizontal(d->FScaleType)) {
        switch (d->FCaptionAnchor) {
        case uaSclTopLft: x = d->FMarginLeft; break;
        case uaSclCenter: x = d->FMarginLeft + (Width() - d->FMarginLeft - d->FMarginRight) / 2; break;
        default: x = Width() - d->FMarginRight; break;
        }
        x += d->FCaptionPosX;
        y = d->FCaptionPosY + base;
    } else {
        switch (d->FCaptionAnchor) {
        case uaSclTopLft: y = d->FMarginTop; break;
        case uaSclCenter: y = d->FMarginTop + (Height() - d->FMarginTop - d->FMarginBottom) / 2; break;
        default: y = Height() - d->FMarginBottom; break;
        }
        y += d->FCaptionPosY;
        x = d->FCaptionPosX + base;
    }
    switch (d->FCaptionAlignment) {
    case taLeftJustify: break;
    case taRightJustify: x -= w; break;
    default: x -= w / 2; break;
    }
    canvas.TextOut(x, y, d->FCaption);
}

}  // namespace kurvo
