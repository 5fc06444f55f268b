// Drawing of the crosshairs and the text labels.
#include "chart/Qorn_kurvo.h"

namespace kurvo {

void TCustomKurvo::DrawCrossHairs(int, int, TBitmap&) {}

void TCustomKurvo::DrawTextLabels(TCanvas&) {}

void TCustomKurvo::CrossHairDrag(TShiftState, int, int) {}

void TCustomKurvo::TextLabelDrag(TShiftState, int, int) {}

}  // namespace kurvo
