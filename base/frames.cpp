// Simple and 3D frames around a rectangle.
#include "base/enums.h"
#include "base/marks.h"

namespace kurvo {

namespace {

// Two nested one-pixel frames, each in two colours: c1 left and top, c2
// right and bottom (outer); c3 and c4 the same for the inner frame. In each
// frame the top-right corner takes the left/top colour and the bottom-left
// corner the right/bottom colour.
void FourColorFrame(TCanvas& canvas, int l, int t, int r, int b, TColor c1, TColor c2, TColor c3, TColor c4)
{
    canvas.Pen().SetColor(c1);
    canvas.MoveTo(l, b);
    canvas.LineTo(l, t);
    canvas.LineTo(r + 1, t);
    canvas.MoveTo(r, t + 1);
    canvas.Pen().SetColor(c2);
    canvas.LineTo(r, b);
    canvas.LineTo(l - 1, b);

    canvas.Pen().SetColor(c3);
    canvas.MoveTo(l + 1, b - 1);
    canvas.LineTo(l + 1, t + 1);
    canvas.LineTo(r, t + 1);
    canvas.MoveTo(r - 1, t + 2);
    canvas.Pen().SetColor(c4);
    canvas.LineTo(r - 1, b - 1);
    canvas.LineTo(l, b - 1);
}

}  // namespace

void DrawFrame(TCanvas& canvas, int style, int left, int top, int right, int bottom, TColor highlight,
               TColor light, TColor shadow, TColor darkShadow, TColor simpleColor)
{
    switch (style & 0x7F) {
    case fsSimple:
        canvas.Pen().SetColor(simpleColor);
        canvas.MoveTo(left, top);
        canvas.LineTo(left, bottom);
        canvas.LineTo(right, bottom);
        canvas.LineTo(right, top);
        canvas.LineTo(left, top);
        break;
    case fsLowered:
        FourColorFrame(canvas, left, top, right, bottom, shadow, highlight, darkShadow, light);
        break;
    case fsRaised:
        FourColorFrame(canvas, left, top, right, bottom, highlight, darkShadow, light, shadow);
        break;
    case fsEmbossed:
        FourColorFrame(canvas, left, top, right, bottom, highlight, shadow, shadow, highlight);
        break;
    case fsEngraved:
        FourColorFrame(canvas, left, top, right, bottom, shadow, highlight, highlight, shadow);
        break;
    default:  // fsNone and unknown styles
        break;
    }
}

}  // namespace kurvo
