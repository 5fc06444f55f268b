// The item renderer: draws one display-list item onto the data-area canvas.
#include "chart/Qorn_kurvo.h"

#include "base/pixel_math.h"

namespace kurvo {

TPoint TCustomKurvo::WorldToCanvas(int layer, double x, double y) const
{
    int px, py;
    WorldToPixel(layer, x, y, px, py);
    ClampPixel(px, py);
    return {px + FRender.OffsetX - FMarginLeft, py + FRender.OffsetY - FMarginTop};
}

void TCustomKurvo::FlushPolyline(TCanvas& canvas)
{
    TRenderState& r = FRender;
    if (r.PolyCount <= 0) return;
    canvas.Polyline(r.Poly.data(), r.PolyCount);
    const TPoint last = r.Poly[r.PolyCount - 1];
    canvas.MoveTo(last.X, last.Y);
    r.PenPos = last;
    r.PolyCount = 0;
}

void TCustomKurvo::AddPolylinePoint(int x, int y, TCanvas& canvas)
{
    TRenderState& r = FRender;
    if (r.PolyCount == 0) r.Poly[r.PolyCount++] = r.PenPos;
    r.Poly[r.PolyCount++] = {x, y};
    if (r.PolyCount >= PolylineBatch) {
        FlushPolyline(canvas);
        r.Poly[r.PolyCount++] = {x, y};
    }
}

int TCustomKurvo::MeasureText(const std::string& text, TCanvas& canvas, int& lineHeight, int& totalHeight,
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

void TCustomKurvo::RenderItem(TCanvas& canvas, TkvChartItem& item, int /*index*/, bool /*isAnnotation*/,
                              const TLongTextArray& /*longTexts*/, bool monochrome, int /*offsetX*/,
                              int /*offsetY*/)
{
    TRenderState& r = FRender;
    const TColor color = monochrome ? 0 : item.Color;
    if (item.Kind != ikText && item.Kind != ikOffsetText && item.LineWidth != r.LineWidth) {
        FlushPolyline(canvas);
        r.LineWidth = item.LineWidth;
        canvas.Pen().SetWidth(item.LineWidth);
    }
    switch (item.Kind) {
        case ikLineTo: {
            const TPoint p = WorldToCanvas(item.Layer, item.X, item.Y);
            if (color != r.PenColor || item.PenStyle != r.PenStyle || item.FillColor != r.BrushColor) {
                FlushPolyline(canvas);
                r.PenColor = color;
                r.PenStyle = item.PenStyle;
                r.BrushColor = item.FillColor;
                canvas.Pen().SetColor(color);
                canvas.Pen().SetStyle(item.PenStyle);
                canvas.Brush().SetColor(item.FillColor);
            }
            AddPolylinePoint(p.X, p.Y, canvas);
            break;
        }
        case ikMoveTo: {
            const TPoint p = WorldToCanvas(item.Layer, item.X, item.Y);
            FlushPolyline(canvas);
            r.PenPos = p;
            canvas.MoveTo(p.X, p.Y);
            break;
        }
        default: FlushPolyline(canvas); break;
    }
}

}  // namespace kurvo
