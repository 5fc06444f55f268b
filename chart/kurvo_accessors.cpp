// Accessors of the chart that read or write its private state.
#include "chart/kurvo_private.h"

namespace kurvo {

int TCustomKurvo::AllocSize() const { return d->FAllocSize; }
std::uint8_t TCustomKurvo::ClassDefault() const { return d->FClassDefault; }
bool TCustomKurvo::AnnotationMode() const { return d->FAnnotationMode; }
int TCustomKurvo::CurrentLayer() const { return d->FCurrentLayer; }
const TItemList& TCustomKurvo::DataList() const { return d->FData; }
const TItemList& TCustomKurvo::AnnotationList() const { return d->FAnnot; }
int TCustomKurvo::DataCount() const { return d->FData.Count; }
int TCustomKurvo::DataCapacity() const { return d->FData.Capacity; }
TkvChartItem TCustomKurvo::DataItem(int index) const
{
    return index >= 0 && index < d->FData.Count ? d->FData.Items->Item(index) : TkvChartItem{};
}
const TLongTextArray& TCustomKurvo::DataLongTexts() const { return d->FLongTexts[0]; }
const TLongTextArray& TCustomKurvo::AnnotationLongTexts() const { return d->FLongTexts[1]; }
std::int64_t TCustomKurvo::DataBytes() const { return d->FData.Items->MemoryBytes(); }
bool TCustomKurvo::LineRunReduction() const { return d->FLineRunReduction; }
void TCustomKurvo::SetLineRunReduction(bool value) { d->FLineRunReduction = value; }
const TLayerTransform& TCustomKurvo::LayerTransform(int layer) const { return d->FTransform[ClampLayer(layer) - 1]; }
const TPanLimits& TCustomKurvo::PanLimits() const { return d->FPanLimits; }
void TCustomKurvo::SetPanLimits(const TPanLimits& limits) { d->FPanLimits = limits; }
int TCustomKurvo::ZoomHistoryNext() const { return d->FZoomNext; }
bool TCustomKurvo::Isometric() const { return d->FIsometric; }
TJointLayers* TCustomKurvo::JointLayers() { return d->FJointLayers.get(); }
TScalePropsHoriz* TCustomKurvo::ScaleX(int layer) { return d->FScaleX[ClampLayer(layer) - 1].get(); }
TScalePropsVert* TCustomKurvo::ScaleY(int layer) { return d->FScaleY[ClampLayer(layer) - 1].get(); }
const TScalePropsHoriz* TCustomKurvo::ScaleX(int layer) const { return d->FScaleX[ClampLayer(layer) - 1].get(); }
const TScalePropsVert* TCustomKurvo::ScaleY(int layer) const { return d->FScaleY[ClampLayer(layer) - 1].get(); }
TScale* TCustomKurvo::AxisX(int layer) { return d->FAxisX[ClampLayer(layer) - 1].get(); }
TScale* TCustomKurvo::AxisY(int layer) { return d->FAxisY[ClampLayer(layer) - 1].get(); }
bool TCustomKurvo::AutoRedraw() const { return d->FAutoRedraw; }
void TCustomKurvo::SetAutoRedraw(bool value) { d->FAutoRedraw = value; }
int TCustomKurvo::MarginLeft() const { return d->FMarginLeft; }
int TCustomKurvo::MarginRight() const { return d->FMarginRight; }
int TCustomKurvo::MarginTop() const { return d->FMarginTop; }
int TCustomKurvo::MarginBottom() const { return d->FMarginBottom; }
int TCustomKurvo::LRim() const { return d->FMarginLeft; }
int TCustomKurvo::RRim() const { return d->FMarginRight; }
int TCustomKurvo::TRim() const { return d->FMarginTop; }
int TCustomKurvo::BRim() const { return d->FMarginBottom; }
int TCustomKurvo::ShadowWidth() const { return d->FShadowWidth; }
TShadowStyle TCustomKurvo::ShadowStyle() const { return d->FShadowStyle; }
TColor TCustomKurvo::ShadowColor() const { return d->FShadowColor; }
TColor TCustomKurvo::ShadowBakColor() const { return d->FShadowBakColor; }
TColor TCustomKurvo::DataColor() const { return d->FDataColor; }
void TCustomKurvo::SetDataColor(TColor value) { d->FDataColor = value; }
TColor TCustomKurvo::FillColor() const { return d->FFillColor; }
void TCustomKurvo::SetFillColor(TColor value) { d->FFillColor = value; }
TColor TCustomKurvo::TextBkColor() const { return d->FFillColor; }
void TCustomKurvo::SetTextBkColor(TColor value) { d->FFillColor = value; }
TPenStyle TCustomKurvo::PenStyle() const { return d->FPenStyle; }
void TCustomKurvo::SetPenStyle(TPenStyle value) { d->FPenStyle = value; }
std::uint8_t TCustomKurvo::LineWidth() const { return d->FLineWidth; }
void TCustomKurvo::SetLineWidth(std::uint8_t value) { d->FLineWidth = value; }
TColor TCustomKurvo::ChartFrameColor() const { return d->FChartFrameColor; }
TColor TCustomKurvo::ChartColor() const { return d->FChartColor; }
TColor TCustomKurvo::WindColor() const { return d->FWindColor; }
TColor TCustomKurvo::GridColor() const { return d->FGridColor; }
GridStyleType TCustomKurvo::GridStyle() const { return d->FGridStyle; }
double TCustomKurvo::GridDx() const { return d->FGridDx; }
double TCustomKurvo::GridDy() const { return d->FGridDy; }
const std::string& TCustomKurvo::Caption() const { return d->FCaption; }
int TCustomKurvo::CaptionTrim() const { return d->FCaptionTrim; }
int TCustomKurvo::CaptionPosX() const { return d->FCaptionPosX; }
int TCustomKurvo::CaptionPosY() const { return d->FCaptionPosY; }
TAlignment TCustomKurvo::CaptionAlignment() const { return d->FCaptionAlignment; }
TCaptionAnchorHoriz TCustomKurvo::CaptionAnchorHoriz() const { return d->FCaptionAnchorHoriz; }
TCaptionAnchorVert TCustomKurvo::CaptionAnchorVert() const { return d->FCaptionAnchorVert; }
TBakGndImg* TCustomKurvo::BackGroundImg() { return d->FBackGroundImg.get(); }
TkvLayout TCustomKurvo::StandardLayout() const { return d->FStandardLayout; }
TCustomKurvo* TCustomKurvo::UseDataOf() const { return d->FUseDataOf; }
int TCustomKurvo::SharerCount() const { return d->FSharerCount; }
TFont& TCustomKurvo::TextFont() { return d->FTextFont; }
void TCustomKurvo::SetTextFont(const TFont& value) { d->FTextFont = value; }
TFontStyles TCustomKurvo::TextFontStyle() const { return d->FTextFont.Style(); }
void TCustomKurvo::SetTextFontStyle(TFontStyles value) { d->FTextFont.SetStyle(value); }
TTextBkg TCustomKurvo::TextBkStyle() const { return d->FTextBkStyle; }
void TCustomKurvo::SetTextBkStyle(TTextBkg value) { d->FTextBkStyle = value; }
TAlignment TCustomKurvo::TextAlignment() const { return d->FTextAlignment; }
TMouseActMode TCustomKurvo::MouseAction() const { return d->FMouseAction; }
void TCustomKurvo::SetMouseAction(TMouseActMode value) { d->FMouseAction = value; }
bool TCustomKurvo::MouseCursorFixed() const { return d->FMouseCursorFixed; }
void TCustomKurvo::SetMouseCursorFixed(bool value) { d->FMouseCursorFixed = value; }
TColor TCustomKurvo::MouseTraceColor() const { return d->FMouseTraceColor; }
void TCustomKurvo::SetMouseTraceColor(TColor value) { d->FMouseTraceColor = value; }
bool TCustomKurvo::MouseTraceInvert() const { return d->FMouseTraceInvert; }
void TCustomKurvo::SetMouseTraceInvert(bool value) { d->FMouseTraceInvert = value; }
double TCustomKurvo::PanGridDx() const { return d->FPanGridDx; }
void TCustomKurvo::SetPanGridDx(double value) { d->FPanGridDx = value; }
double TCustomKurvo::PanGridDy() const { return d->FPanGridDy; }
void TCustomKurvo::SetPanGridDy(double value) { d->FPanGridDy = value; }
double TCustomKurvo::PanGridOffsX() const { return d->FPanGridOffsX; }
void TCustomKurvo::SetPanGridOffsX(double value) { d->FPanGridOffsX = value; }
double TCustomKurvo::PanGridOffsY() const { return d->FPanGridOffsY; }
void TCustomKurvo::SetPanGridOffsY(double value) { d->FPanGridOffsY = value; }
bool TCustomKurvo::AvoidDuplicateMarks() const { return d->FAvoidDuplicateMarks; }
int TCustomKurvo::MinDupMarkDist() const { return d->FMinDupMarkDist; }
bool TCustomKurvo::PaintSuspended() const { return d->FPaintSuspended; }
bool TCustomKurvo::Dragging() const { return d->FDragging; }
TZoomState TCustomKurvo::ZoomState() const { return d->FZoomState; }
const std::vector<TMouseTracePoint>& TCustomKurvo::MouseTrace() const { return d->FMouseTrace; }
bool TCustomKurvo::MouseLayer(int layer) const { return d->FMouseLayer[ClampLayer(layer) - 1]; }
void TCustomKurvo::SetAnnotationMode(bool value) { d->FAnnotationMode = value; }
bool TCustomKurvo::TransparentShapes() const { return d->FTransparentShapes; }
void TCustomKurvo::SetTransparentShapes(bool value) { d->FTransparentShapes = value; }
int TCustomKurvo::DataWidth() const { return Width() - d->FMarginLeft - d->FMarginRight - d->FShadowWidth; }
int TCustomKurvo::DataHeight() const { return Height() - d->FMarginTop - d->FMarginBottom - d->FShadowWidth; }
TItemList& TCustomKurvo::TargetList() { return d->FAnnotationMode ? d->FAnnot : d->FData; }

}  // namespace kurvo
