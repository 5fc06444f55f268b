// Painting of the axis control: target choice, transparent and opaque ways.
#include "scale/Qorn_Scale.h"

namespace kurvo {

void TScale::Paint()
{
    if (!Visible() || IsLoading() || FPaintSuspended) return;
    if (FExternalCanvas != nullptr)
        PaintAxis(*FExternalCanvas, FDX, FDY);
    else
        PaintAxis(Canvas(), 0, 0);
}

void TScale::PaintAxis(TCanvas&, int, int) {}

void TScale::PaintHorizontal(TCanvas&, int) {}

void TScale::PaintVertical(TCanvas&, int) {}

void TScale::DrawTickLabel(TCanvas&, double, int, int, std::string) {}

void TScale::DrawTickVisit(TCanvas&, TTickVisit&, int, int) {}

}  // namespace kurvo
