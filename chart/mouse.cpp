// Mouse actions on the data area, axis-band drags and pointer tracking.
#include "chart/Qorn_kurvo.h"

namespace kurvo {

void TCustomKurvo::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomKurvo::MouseMove(TShiftState shift, int x, int y)
{
    FLastX = x;
    FLastY = y;
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomKurvo::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomKurvo::DblClick() { TCustomControl::DblClick(); }

void TCustomKurvo::MouseEnter()
{
    TCustomControl::MouseEnter();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TCustomKurvo::MouseLeave()
{
    TCustomControl::MouseLeave();
    if (OnMouseLeave) OnMouseLeave(this);
}

void TCustomKurvo::WMMouseMove(TShiftState shift, int x, int y)
{
    if (FInMouseMove) return;
    FInMouseMove = true;
    try {
        TCustomControl::WMMouseMove(shift, x, y);
        double wx, wy;
        PixelToWorld(FCurrentLayer, x, y, wx, wy);
        if (OnMouseMoveInChart) OnMouseMoveInChart(this, InDataArea(x, y), shift, wx, wy);
    } catch (...) {
        FInMouseMove = false;
        throw;
    }
    FInMouseMove = false;
}

int TCustomKurvo::AxisHitTest(int, int) const { return 0; }

}  // namespace kurvo
