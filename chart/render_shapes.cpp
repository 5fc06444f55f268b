// The item renderer's shapes: lines, rectangles and ellipses, framed
// rectangles, 3D bars, arrows, error bars, arcs, full-size lines and crosses.
// Every corner is a clamped canvas point, and every sum of a point and a
// pixel size is formed in 64 bits before it is clamped, so no Size value can
// overflow a coordinate.
#include "chart/Qorn_kurvo.h"

#include "base/marks.h"
#include "base/pixel_math.h"
#include "chart/kurvo_private.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace kurvo {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHeadAngle = 0.3490658503988659;  // 20 degrees between shaft and barb

int ClampCoord(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, -30000, 30000)); }

TPoint Offset(TPoint p, std::int64_t dx, std::int64_t dy) { return {ClampCoord(p.X + dx), ClampCoord(p.Y + dy)}; }

// Which coordinates of a two-point item are pixels: 1 all, 2 the second
// point, 3 the first point, 4 the X values, 5 the Y values; 0 none.
struct TPixelAxes {
    bool X1 = false, Y1 = false, X2 = false, Y2 = false;
};

TPixelAxes PixelAxesOf(std::uint8_t mode)
{
    switch (mode) {
    case 1: return {true, true, true, true};
    case 2: return {false, false, true, true};
    case 3: return {true, true, false, false};
    case 4: return {true, false, true, false};
    case 5: return {false, true, false, true};
    default: return {};
    }
}

// The larger x and the larger y (the first point's when equal) move out by
// one, so that a box over exclusive right and bottom edges covers both corners.
void IncludeFarEdges(TPoint& a, TPoint& b)
{
    ++(a.X >= b.X ? a.X : b.X);
    ++(a.Y >= b.Y ? a.Y : b.Y);
}

// A segment, or its single pixel when both ends meet.
void Segment(TCanvas& canvas, TPoint a, TPoint b, TColor penColor)
{
    if (a == b) {
        canvas.SetPixel(a.X, a.Y, penColor);
        return;
    }
    canvas.MoveTo(a.X, a.Y);
    canvas.LineTo(b.X, b.Y);
}

enum class TBoxShape { Rectangle, Ellipse };

// A rectangle or ellipse with both corners included, or a single pixel.
void Box(TCanvas& canvas, TPoint a, TPoint b, TColor penColor, TBoxShape shape)
{
    if (a == b) {
        canvas.SetPixel(a.X, a.Y, penColor);
        return;
    }
    IncludeFarEdges(a, b);
    if (shape == TBoxShape::Rectangle)
        canvas.Rectangle(a.X, a.Y, b.X, b.Y);
    else
        canvas.Ellipse(a.X, a.Y, b.X, b.Y);
}

// Direction of the shaft from a to b, as the arrow heads measure it.
double ShaftAngle(TPoint a, TPoint b)
{
    const int dx = b.X - a.X;  // both within +-30000: no overflow
    const int dy = b.Y - a.Y;
    if (dx == 0) return dy > 0 ? kPi : 2 * kPi;
    return std::atan(static_cast<double>(dy) / dx) + (dx > 0 ? kPi / 2 : 3 * kPi / 2);
}

// Head of length s at `tip`; `back` is -1 for the head at the end point
// (barbs point back along the shaft) and +1 for the head at the start.
void ArrowHead(TCanvas& canvas, TPoint tip, double phi, int s, int back, bool open)
{
    const auto barb = [&](double angle) {
        return Offset(tip, std::int64_t{back} * RoundPixel(std::sin(angle) * s),
                      -std::int64_t{back} * RoundPixel(std::cos(angle) * s));
    };
    const TPoint plus = barb(phi + kHeadAngle);
    const TPoint minus = barb(phi - kHeadAngle);
    if (open) {
        canvas.MoveTo(tip.X, tip.Y);
        canvas.LineTo(plus.X, plus.Y);
        canvas.MoveTo(tip.X, tip.Y);
        canvas.LineTo(minus.X, minus.Y);
    } else {
        const TPoint head[3] = {tip, plus, minus};
        canvas.Polygon(head, 3);
    }
}

// The two-edge frame of a framed rectangle, (x1, y1) its bottom-left and
// (x2, y2) its top-right corner. Inset frames (embossed, engraved) draw each
// colour as a closed path one pixel inside the other.
template <class SetPen>
void RectFrame(TCanvas& canvas, int style, int x1, int y1, int x2, int y2, TColor first, TColor second,
               SetPen setPen)
{
    if (style == fsRaised || style == fsEngraved) std::swap(first, second);
    if (style == fsLowered || style == fsRaised) {
        setPen(first);
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x1, y2);
        canvas.LineTo(x2, y2);
        setPen(second);
        canvas.LineTo(x2, y1);
        canvas.LineTo(x1, y1);
    } else if (style == fsEmbossed || style == fsEngraved) {
        setPen(first);
        canvas.MoveTo(x1 + 1, y1);
        canvas.LineTo(x1 + 1, y2 + 1);
        canvas.LineTo(x2, y2 + 1);
        canvas.LineTo(x2, y1);
        canvas.LineTo(x1 + 1, y1);
        setPen(second);
        canvas.MoveTo(x1, y1 - 1);
        canvas.LineTo(x1, y2);
        canvas.LineTo(x2 - 1, y2);
        canvas.LineTo(x2 - 1, y1 - 1);
        canvas.LineTo(x1, y1 - 1);
    }
}

bool Overlaps(double lo, double hi, double a, double b)
{
    return lo <= std::max(a, b) && hi >= std::min(a, b);
}

}  // namespace

void TCustomKurvoPrivate::RenderShape(TCanvas& canvas, const TkvChartItem& item, bool monochrome)
{
    const TColor pen = monochrome ? clBlack : item.Color;
    const TColor fill = monochrome ? clSilver : item.FillColor;  // kinds that fill
    const int layer = item.Layer;
    const TPixelAxes modes = PixelAxesOf(item.Mode);
    const auto first = [&] { return ItemPoint(layer, item.X, item.Y, modes.X1, modes.Y1); };
    const auto second = [&] { return ItemPoint(layer, item.X2, item.Y2, modes.X2, modes.Y2); };
    // The corners of a box of half sizes X2, Y2 around (X, Y), top-left first.
    const auto boxCorners = [&](TPoint& a, TPoint& b) {
        a = WorldToCanvas(layer, item.X - item.X2, item.Y + item.Y2);
        b = WorldToCanvas(layer, item.X + item.X2, item.Y - item.Y2);
    };
    const auto shapeAttributes = [&](TColor brush) {
        SetPenColor(canvas, pen);
        SetBrushColor(canvas, brush);
        SetPenStyleCached(canvas, item.PenStyle);
    };
    const auto brushStyle = [&] { canvas.Brush().SetStyle(item.Transparent ? bsClear : bsSolid); };

    switch (item.Kind) {
    case ikLine:
    case ikShiftedLine: {
        shapeAttributes(item.FillColor);
        if (item.Kind == ikLine) {
            Segment(canvas, first(), second(), pen);
        } else {
            Segment(canvas, ShiftedWorldPoint(layer, item.X, item.Y, item.Size, item.Size2),
                    ShiftedWorldPoint(layer, item.X2, item.Y2, item.Size, item.Size2), pen);
        }
        break;
    }
    case ikRectangle:
    case ikEllipse:
    case ikBox: {
        shapeAttributes(fill);
        brushStyle();
        TPoint a, b;
        if (item.Kind == ikRectangle) {
            a = first();
            b = second();
        } else if (item.Kind == ikEllipse) {
            boxCorners(a, b);
        } else {
            a = ShiftedWorldPoint(layer, item.X, item.Y, -static_cast<double>(item.Size), -static_cast<double>(item.Size2));
            b = ShiftedWorldPoint(layer, item.X, item.Y, item.Size, item.Size2);
        }
        kurvo::Box(canvas, a, b, pen, item.Kind == ikEllipse ? TBoxShape::Ellipse : TBoxShape::Rectangle);
        break;
    }
    case ikFramedRect: {
        SetPenColor(canvas, fill);
        SetBrushColor(canvas, fill);
        canvas.Brush().SetStyle(bsSolid);
        SetPenStyleCached(canvas, item.PenStyle);
        const TPoint a = first();
        const TPoint b = second();
        const int x1 = std::min(a.X, b.X);
        const int x2 = std::max(a.X, b.X);
        const int y1 = std::max(a.Y, b.Y);  // bottom
        const int y2 = std::min(a.Y, b.Y);
        if (a == b) {
            canvas.SetPixel(a.X, a.Y, fill);
            break;
        }
        canvas.Rectangle(x1, y1, x2, y2);
        kurvo::RectFrame(canvas, item.Style, x1, y1, x2, y2, item.Extra[0], item.Extra[1],
                  [&](TColor c) { SetPenColor(canvas, c); });
        break;
    }
    case ikBar3D: {
        shapeAttributes(fill);
        canvas.Brush().SetStyle(bsSolid);
        const TPoint a = WorldToCanvas(layer, item.X, item.Y);
        const TPoint b = WorldToCanvas(layer, item.X2, item.Y2);
        int x1 = std::min(a.X, b.X);
        int x2 = std::max(a.X, b.X);
        const int y1 = std::min(a.Y, b.Y);  // top
        const int y2 = std::max(a.Y, b.Y);
        const double angle = item.Size * kPi / 180.0;
        const std::int64_t dx = RoundPixel(std::cos(angle) * item.Size2);
        const std::int64_t dy = -std::int64_t{RoundPixel(std::sin(angle) * item.Size2)};
        if (item.Size > 90) std::swap(x1, x2);  // the side face on the left
        const TPoint top[4] = {{x1, y1}, Offset({x1, y1}, dx, dy), Offset({x2, y1}, dx, dy), {x2, y1}};
        canvas.Polygon(top, 4);
        const TPoint side[4] = {Offset({x2, y1}, dx, dy), {x2, y1}, {x2, y2}, Offset({x2, y2}, dx, dy)};
        canvas.Polygon(side, 4);
        TPoint front1{x1, y1};
        TPoint front2{x2, y2};
        IncludeFarEdges(front1, front2);
        canvas.Rectangle(front1.X, front1.Y, front2.X, front2.Y);
        break;
    }
    case ikArrow:
    case ikDoubleArrow: {
        shapeAttributes(fill);
        brushStyle();
        const TPoint p1 = first();
        const TPoint p2 = second();
        if (p1 == p2) {
            canvas.SetPixel(p1.X, p1.Y, pen);
            break;
        }
        canvas.MoveTo(p1.X, p1.Y);
        // The gaps of a styled shaft are filled with the brush: keep them
        // visible when the brush has the pen's colour.
        const bool contrast = item.PenStyle != psSolid && fill == pen;
        if (contrast) SetBrushColor(canvas, ContrastColor(pen));
        canvas.LineTo(p2.X, p2.Y);
        if (contrast) {
            SetBrushColor(canvas, fill);
            brushStyle();
        }
        if (item.Size >= 1) {
            SetPenStyleCached(canvas, psSolid);
            const double phi = ShaftAngle(p1, p2);
            if (item.Kind == ikDoubleArrow) ArrowHead(canvas, p1, phi, item.Size, 1, item.Transparent);
            ArrowHead(canvas, p2, phi, item.Size, -1, item.Transparent);
        }
        break;
    }
    case ikErrorBar: {
        // X2 is the lower, Y2 the upper error, for both directions.
        const double lower = std::fabs(item.X2);
        const double upper = std::fabs(item.Y2);
        const TScaleProps& sx = *q->ScaleX(layer);
        const TScaleProps& sy = *q->ScaleY(layer);
        if (!Overlaps(item.X - lower, item.X + upper, sx.RangeLow(), sx.RangeHigh()) ||
            !Overlaps(item.Y - lower, item.Y + upper, sy.RangeLow(), sy.RangeHigh()))
            break;
        SetPenColor(canvas, pen);
        SetPenStyleCached(canvas, item.PenStyle);
        SetBrushColor(canvas, item.FillColor);
        const TPoint c = WorldToCanvas(layer, item.X, item.Y);
        const bool horizontal = item.Size != 0;
        for (const double error : {-lower, upper}) {
            const TPoint e = horizontal ? WorldToCanvas(layer, item.X + error, item.Y)
                                        : WorldToCanvas(layer, item.X, item.Y + error);
            canvas.MoveTo(c.X, c.Y);
            if (horizontal) {
                canvas.LineTo(e.X, c.Y);
                canvas.MoveTo(e.X, c.Y - 3);
                canvas.LineTo(e.X, c.Y + 4);
            } else {
                canvas.LineTo(c.X, e.Y);
                canvas.MoveTo(c.X - 3, e.Y);
                canvas.LineTo(c.X + 4, e.Y);
            }
        }
        DrawItemMark(canvas, item.Shape, item.Size, c);
        break;
    }
    case ikArc: {
        SetPenColor(canvas, pen);
        TPoint a, b;
        boxCorners(a, b);
        if (a == b) {
            canvas.SetPixel(a.X, a.Y, pen);
            break;
        }
        const TPoint c = WorldToCanvas(layer, item.X, item.Y);
        IncludeFarEdges(a, b);
        // Angles in units of 1e-8 rad; the radial points lie 1e8 pixels out,
        // which fits an int even from a centre at the clamp limit.
        const double start = item.Size * 1e-8;
        const double end = item.Size2 * 1e-8;
        canvas.Arc(a.X, a.Y, b.X, b.Y, RoundPixel(c.X + std::cos(start) * 1e8), RoundPixel(c.Y - std::sin(start) * 1e8),
                   RoundPixel(c.X + std::cos(end) * 1e8), RoundPixel(c.Y - std::sin(end) * 1e8));
        break;
    }
    case ikVertLine:
    case ikHorizLine: {
        SetPenColor(canvas, pen);
        SetPenStyleCached(canvas, item.PenStyle);
        SetBrushColor(canvas, item.FillColor);
        const TRenderState& r = FRender;
        // Only the one coordinate counts; 1.0 is valid on any axis.
        if (item.Kind == ikVertLine) {
            const int x = ItemPoint(layer, item.X, 1.0, modes.X1, modes.X1).X;
            canvas.MoveTo(x, r.OffsetY);
            canvas.LineTo(x, ClampCoord(std::int64_t{r.OffsetY} + q->Height() - FMarginBottom - FMarginTop));
        } else {
            const int y = ItemPoint(layer, 1.0, item.Y, modes.Y1, modes.Y1).Y;
            canvas.MoveTo(r.OffsetX, y);
            canvas.LineTo(ClampCoord(std::int64_t{r.OffsetX} + q->Width() - FMarginLeft - FMarginRight), y);
        }
        break;
    }
    case ikCross: {
        SetPenColor(canvas, pen);
        SetBrushColor(canvas, fill);
        canvas.Brush().SetStyle(bsSolid);
        SetPenStyleCached(canvas, item.PenStyle);
        TPoint a, b;
        if (item.Mode == 1) {
            a = PixelToCanvas(item.X - item.X2, item.Y + item.Y2);
            b = PixelToCanvas(item.X + item.X2, item.Y - item.Y2);
        } else if (item.Mode == 2) {
            const double hx = RoundPixel(item.X2);
            const double hy = RoundPixel(item.Y2);
            a = ShiftedWorldPoint(layer, item.X, item.Y, -hx, -hy);
            b = ShiftedWorldPoint(layer, item.X, item.Y, hx, hy);
        } else {
            boxCorners(a, b);
        }
        if (a == b) {
            canvas.SetPixel(a.X, a.Y, pen);
            break;
        }
        IncludeFarEdges(a, b);
        const int xm = (a.X + b.X) / 2;
        const int ym = (a.Y + b.Y) / 2;
        canvas.MoveTo(xm, a.Y);
        canvas.LineTo(xm, b.Y);
        canvas.MoveTo(a.X, ym);
        canvas.LineTo(b.X, ym);
        FRender.PenPos = {xm, ym};
        FRender.PenBroken = false;
        break;
    }
    default:
        break;  // kinds 0, 10, 11 and above 24 draw nothing
    }
}

}  // namespace kurvo
