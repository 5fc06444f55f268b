// The data-area background (plain colour, coloured area, image) and the grid.
#include "chart/Qorn_kurvo.h"

#include "base/pixel_math.h"

namespace kurvo {

void TCustomKurvo::DrawBackground(TCanvas& canvas, int left, int top, int width, int height)
{
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetMode(pmCopy);
    canvas.Brush().SetColor(FChartColor);
    FRender.BrushColor = FChartColor;
    canvas.Pen().SetColor(FChartFrameColor);
    canvas.Rectangle(left, top, left + width, top + height);
}

void TCustomKurvo::DrawGrid(TCanvas&) {}

double TCustomKurvo::NextGridValue(bool, int, bool, double, double current) const { return current; }

}  // namespace kurvo
