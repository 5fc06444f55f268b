// The data-area background (plain colour, coloured area, image) and the grid.
#include "chart/Qorn_kurvo.h"

#include "base/pixel_math.h"
#include "chart/kurvo_private.h"

#include <algorithm>
#include <cmath>

namespace kurvo {

namespace {

// Grid walks stop after this many positions per direction, so a spacing far
// too small for the range cannot stall painting.
constexpr int kMaxGridLines = 1000;

// Decade exponent of a positive value, snapped to an integer within 1e-14.
double SnappedLog10(double v)
{
    double g = std::log10(v);
    const double r = std::nearbyint(g);
    if (std::fabs(g - r) < 1e-14) g = r;
    return g;
}

}  // namespace

void TCustomKurvo::DrawBackground(TCanvas& canvas, int left, int top, int width, int height)
{
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetMode(pmCopy);
    canvas.Brush().SetColor(d->FChartColor);
    d->FRender.BrushColor = d->FChartColor;
    canvas.Pen().SetColor(d->FChartFrameColor);

    TBakGndImg& img = *d->FBackGroundImg;
    if (!img.Name().empty()) {
        // The file is read at every paint; nothing is cached.
        if (!d->FBackBitmap->LoadFromFile(img.Name()) || d->FBackBitmap->Empty()) {
            canvas.Rectangle(left, top, left + width, top + height);
            img.SetName("");  // the next paint draws the plain background
            return;
        }
        switch (img.FillMode()) {
            case bfSimple:
                canvas.Rectangle(0, 0, width, height);
                canvas.Draw(0, 0, *d->FBackBitmap);
                break;
            case bfStretch: canvas.StretchDraw({0, 0, width, height}, *d->FBackBitmap); break;
            case bfTile: canvas.TileDraw({0, 0, width, height}, *d->FBackBitmap); break;
        }
        return;
    }

    canvas.Rectangle(left, top, left + width, top + height);
    canvas.Brush().SetColor(img.AreaColor());
    canvas.Pen().SetColor(img.AreaColor());
    int xl, yt, xr, yb;
    WorldToPixel(d->FCurrentLayer, img.AreaLeft(), img.AreaTop(), xl, yt);
    WorldToPixel(d->FCurrentLayer, img.AreaRight(), img.AreaBottom(), xr, yb);
    ClampPixel(xl, yt);
    ClampPixel(xr, yb);
    xl += left - d->FMarginLeft;
    xr += left - d->FMarginLeft;
    yt += top - d->FMarginTop;
    yb += top - d->FMarginTop;
    const int R = left + width;
    const int B = top + height;
    switch (img.AreaMode()) {
        case bamNone: break;
        case bamLeft: canvas.Rectangle(left, top, xl, B); break;
        case bamRight: canvas.Rectangle(xr, top, R, B); break;
        case bamTop: canvas.Rectangle(left, top, R, yt); break;
        case bamBottom: canvas.Rectangle(left, yb, R, B); break;
        case bamVStripe: canvas.Rectangle(xl, top, xr, B); break;
        case bamHStripe: canvas.Rectangle(left, yt, R, yb); break;
        case bamRect: canvas.Rectangle(xl, yt, xr, yb); break;
        case bamRectInv:
            canvas.Rectangle(left, top, R, yt);
            canvas.Rectangle(left, yb, R, B);
            canvas.Rectangle(left, top, xl, B);
            canvas.Rectangle(xr, top, R, B);
            break;
        case bamVStripeInv:
            canvas.Rectangle(left, top, xl, B);
            canvas.Rectangle(xr, top, R, B);
            break;
        case bamHStripeInv:
            canvas.Rectangle(left, top, R, yt);
            canvas.Rectangle(left, yb, R, B);
            break;
    }
}

double TCustomKurvoPrivate::NextGridValue(bool isLogarithmic, int index, bool isY, double step, double current) const
{
    const int n = FCurrentLayer - 1;
    if (step == 0.0) {
        const TScale& axis = isY ? *FAxisY[n] : *FAxisX[n];
        if (index >= 1 && index <= axis.NumTicks()) return axis.TickValue(index);
        const TScaleProps& props = isY ? static_cast<const TScaleProps&>(*FScaleY[n]) : *FScaleX[n];
        return std::max(props.RangeLow(), props.RangeHigh());
    }
    if (!isLogarithmic || step > 0.0) return current + std::fabs(step);
    if (step == -1.0) return current * 10.0;
    const double g = SnappedLog10(current);
    const double e = std::floor(g);
    const double v = std::nearbyint(std::pow(10.0, g - e));
    const double decade = std::pow(10.0, e);
    if (step == -2.0) {
        if (v <= 1.0) return 2.0 * decade;
        if (v <= 2.0) return 5.0 * decade;
        return 10.0 * decade;
    }
    return (v + 1.0) * decade;
}

void TCustomKurvoPrivate::DrawGrid(TCanvas& canvas)
{
    const int n = FCurrentLayer - 1;
    // The render state is set up after the grid; set the canvas directly.
    canvas.Brush().SetColor(FChartColor);
    FRender.BrushColor = FChartColor;
    const TScaleProps& sx = *FScaleX[n];
    const TScaleProps& sy = *FScaleY[n];
    const double xlo = std::min(sx.RangeLow(), sx.RangeHigh());
    const double xhi = std::max(sx.RangeLow(), sx.RangeHigh());
    const double ylo = std::min(sy.RangeLow(), sy.RangeHigh());
    const double yhi = std::max(sy.RangeLow(), sy.RangeHigh());

    auto firstValue = [](const TScale& axis, bool logarithmic, double step, double lo) {
        if (step == 0.0)
            return axis.NumTicks() > 0 ? axis.TickValue(1) : std::min(axis.RangeLow(), axis.RangeHigh());
        if (!logarithmic || step > 0.0) return std::ceil(lo / step) * step;
        if (!(lo > 0.0)) return lo;
        if (step == -1.0) return std::pow(10.0, std::ceil(std::log10(lo)));
        const double g = std::log10(lo);
        const double e = std::floor(g);
        const double v = std::nearbyint(std::pow(10.0, g - e));
        if (step == -2.0) return (v <= 2.0 ? 2.0 : v <= 5.0 ? 5.0 : 10.0) * std::pow(10.0, e);
        if (step == -3.0) return v * std::pow(10.0, e);
        return lo;
    };
    const bool logX = sx.Logarithmic();
    const bool logY = sy.Logarithmic();
    const double x0 = firstValue(*FAxisX[n], logX, FGridDx, xlo);
    const double y0 = firstValue(*FAxisY[n], logY, FGridDy, ylo);

    const int shiftX = FRender.OffsetX - FMarginLeft;
    const int shiftY = FRender.OffsetY - FMarginTop;
    auto canvasPoint = [&](double wx, double wy) {
        int px, py;
        q->WorldToPixel(FCurrentLayer, wx, wy, px, py);
        ClampPixel(px, py);
        return TPoint{px + shiftX, py + shiftY};
    };
    auto line = [&](double wx1, double wy1, double wx2, double wy2) {
        const TPoint a = canvasPoint(wx1, wy1);
        const TPoint b = canvasPoint(wx2, wy2);
        canvas.MoveTo(a.X, a.Y);
        canvas.LineTo(b.X, b.Y);
    };
    // Walks the positions of one axis from `first` while below `hi`. A
    // spacing that stops advancing (a step below the spacing of doubles)
    // ends the walk; tick positions end it by returning the upper bound.
    auto walk = [&](bool logarithmic, bool isY, double step, double first, double hi, int limit, auto&& visit) {
        double v = first;
        for (int index = 1; index <= limit && v < hi; ++index) {
            if (!visit(v)) return;
            const double next = NextGridValue(logarithmic, index + 1, isY, step, v);
            if (step != 0.0 && !(next > v)) return;
            v = next;
        }
    };

    canvas.Pen().SetColor(FGridColor);
    const bool dotted = FGridStyle == gsHorizDotLines || FGridStyle == gsVertDotLines || FGridStyle == gsDotLines;
    const bool vertical = FGridStyle == gsVertLines || FGridStyle == gsVertDotLines || FGridStyle == gsLines ||
                          FGridStyle == gsDotLines;
    const bool horizontal = FGridStyle == gsHorizLines || FGridStyle == gsHorizDotLines ||
                            FGridStyle == gsLines || FGridStyle == gsDotLines;

    if (FGridStyle == gsPoints) {
        int dots = 0;
        walk(logX, false, FGridDx, x0, xhi, kMaxGridLines, [&](double x) {
            walk(logY, true, FGridDy, y0, yhi, kMaxGridLines, [&](double y) {
                if (dots >= kMaxGridLines) return false;
                const TPoint p = canvasPoint(x, y);
                canvas.SetPixel(p.X, p.Y, FGridColor);
                ++dots;
                return true;
            });
            return dots < kMaxGridLines;
        });
        return;
    }
    canvas.Pen().SetStyle(dotted ? psDot : psSolid);
    if (vertical)
        walk(logX, false, FGridDx, x0, xhi, kMaxGridLines, [&](double x) {
            line(x, ylo, x, yhi);
            return true;
        });
    if (horizontal)
        walk(logY, true, FGridDy, y0, yhi, kMaxGridLines, [&](double y) {
            line(xlo, y, xhi, y);
            return true;
        });
    if (dotted) canvas.Pen().SetStyle(psSolid);
}

}  // namespace kurvo
