// Dragging on an axis: the range arithmetic and the stand-alone handlers.
#include "scale/Qorn_Scale.h"

namespace kurvo {

bool AxisDragRange(int, int, int, int, int, int, int, int, int, int, double, double, TMouseActMode, TScaleType,
                   bool, double, double, double&, double&)
{
    return false;
}

void TScale::MouseMove(TShiftState shift, int x, int y) { TCustomControl::MouseMove(shift, x, y); }

void TScale::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    FDragging = false;
    TCustomControl::MouseUp(button, shift, x, y);
}

void TScale::DblClick() { TCustomControl::DblClick(); }

}  // namespace kurvo
