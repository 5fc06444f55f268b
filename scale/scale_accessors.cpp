// Accessors of the axis control that read or write its private state.
#include "scale/scale_private.h"

namespace kurvo {

int TScale::MarginTop() const { return d->FMarginTop; }
int TScale::MarginBottom() const { return d->FMarginBottom; }
int TScale::MarginLeft() const { return d->FMarginLeft; }
int TScale::MarginRight() const { return d->FMarginRight; }
TScaleType TScale::ScaleType() const { return d->FScaleType; }
double TScale::RangeLow() const { return d->FRangeLow; }
double TScale::RangeHigh() const { return d->FRangeHigh; }
bool TScale::Logarithmic() const { return d->FLogarithmic; }
int TScale::MinTicks() const { return d->FMinTicks; }
bool TScale::ShortTicks() const { return d->FShortTicks; }
bool TScale::TrimTrailingZeros() const { return d->FTrimTrailingZeros; }
int TScale::NumTicks() const { return d->FTicks.NumTicks(); }
double TScale::TickValue(int index) const { return d->FTicks.TickValue(index); }
TFigType TScale::LabelType() const { return d->FLabelType; }
int TScale::DecPlaces() const { return d->FDecPlaces; }
const std::string& TScale::ScaleInscript() const { return d->FScaleInscript; }
const std::string& TScale::UserTickText() const { return d->FUserTickText; }
TDTLabel* TScale::DateFormat() { return d->FDateFormat.get(); }
const TDTLabel* TScale::DateFormat() const { return d->FDateFormat.get(); }
const std::string& TScale::Caption() const { return d->FCaption; }
int TScale::CaptionPosX() const { return d->FCaptionPosX; }
int TScale::CaptionPosY() const { return d->FCaptionPosY; }
TAlignment TScale::CaptionAlignment() const { return d->FCaptionAlignment; }
TScaleUnitAnchor TScale::CaptionAnchor() const { return d->FCaptionAnchor; }
TColor TScale::ColorScale() const { return d->FColorScale; }
TColor TScale::ColorBackGnd() const { return d->FColorBackGnd; }
TColorScheme TScale::ColorScheme() const { return d->FColorScheme; }
TFrameStyle TScale::FrameStyle() const { return d->FFrameStyle; }
bool TScale::ShowBaseLine() const { return d->FShowBaseLine; }
bool TScale::Transparent() const { return d->FTransparent; }
TColor TScale::FrameDarkColor() const { return d->FFrameDarkColor; }
TColor TScale::FrameShadowColor() const { return d->FFrameShadowColor; }
TColor TScale::FrameHighlightColor() const { return d->FFrameHighlightColor; }
TMouseActMode TScale::MouseAction() const { return d->FMouseAction; }
void TScale::SetMouseAction(TMouseActMode value) { d->FMouseAction = value; }
bool TScale::PaintSuspended() const { return d->FPaintSuspended; }
TCanvas* TScale::ExternalCanvas() const { return d->FExternalCanvas; }
int TScale::DrawOffsetX() const { return d->FDX; }
int TScale::DrawOffsetY() const { return d->FDY; }
bool TScale::Embedded() const { return d->FEmbedded; }
bool TScale::LoadingFlag() const { return d->FLoadingFlag; }
double TScale::ScaleFactor() const { return d->FScaleFactor; }
double TScale::ScaleOffset() const { return d->FScaleOffset; }

}  // namespace kurvo
