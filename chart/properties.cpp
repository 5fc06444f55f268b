// Published properties of the chart, margin geometry and SetBounds.
#include "chart/Qorn_kurvo.h"

#include "base/pixel_math.h"

#include <algorithm>

namespace kurvo {

// ----------------------------------------------------------------- geometry

bool TCustomKurvo::InDataArea(int x, int y) const
{
    return x >= FMarginLeft && x <= Width() - FMarginRight - FShadowWidth && y >= FMarginTop &&
           y <= Height() - FMarginBottom - FShadowWidth;
}

void TCustomKurvo::ResizeDataBitmap()
{
    FDataBitmap->SetSize(std::max(0, DataWidth() + 1), std::max(0, DataHeight() + 1));
}

void TCustomKurvo::SyncAxisMargins(int layer)
{
    const int n = layer - 1;
    TScale& ax = *FAxisX[n];
    TScale& ay = *FAxisY[n];
    SyncAxis(ax, *FScaleX[n]);
    ax.SetMarginLeft(FMarginLeft);
    ax.SetMarginRight(FMarginRight + FShadowWidth - 1);
    SyncAxis(ay, *FScaleY[n]);
    ay.SetMarginTop(FMarginTop);
    ay.SetMarginBottom(FMarginBottom + FShadowWidth - 1);
}

// The steps after a margin (or the shadow width) changed. Every axis takes
// all four chart margins; setting the unchanged ones again is harmless.
void TCustomKurvo::MarginGeometry()
{
    ResizeDataBitmap();
    // Each isometric range change would sync every axis and paint the whole
    // chart: 32 paints for one margin. Once, after all layers, is enough.
    WithDeferredSync([this] {
        for (int layer = 1; layer <= LayerCount; ++layer) {
            if (FIsometric) IsometricAdjust(layer);
            SyncAxisMargins(layer);
        }
    });
    CalcTransforms();
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetMarginLeft(int value)
{
    FMarginLeft = std::clamp(value, -MaxChartMargin, MaxChartMargin);
    MarginGeometry();
}

void TCustomKurvo::SetMarginRight(int value)
{
    FMarginRight = std::clamp(value, -MaxChartMargin, MaxChartMargin);
    MarginGeometry();
}

void TCustomKurvo::SetMarginTop(int value)
{
    FMarginTop = std::clamp(value, -MaxChartMargin, MaxChartMargin);
    MarginGeometry();
}

void TCustomKurvo::SetMarginBottom(int value)
{
    FMarginBottom = std::clamp(value, -MaxChartMargin, MaxChartMargin);
    MarginGeometry();
}

void TCustomKurvo::SetShadowWidth(int value)
{
    FShadowWidth = std::clamp(value, 0, 32);
    MarginGeometry();
}

void TCustomKurvo::SetBounds(int left, int top, int width, int height)
{
    // OnResize comes once the axes and transforms fit the new size.
    TBoundsChange change(*this);
    const bool suspended = FPaintSuspended;
    FPaintSuspended = true;
    height = std::max(height, FMarginTop + FMarginBottom + FShadowWidth + 20);
    width = std::max(width, FMarginLeft + FMarginRight + FShadowWidth + 80);
    TCustomControl::SetBounds(left, top, width, height);
    // OnCanResize may have changed or refused the size; a refusal keeps the position too.
    left = Left();
    top = Top();
    width = Width();
    height = Height();
    try {
        for (int layer = 1; layer <= LayerCount; ++layer) {
            if (FIsometric) IsometricAdjust(layer);
            if (FAxisX[layer - 1] && FAxisY[layer - 1]) {
                FAxisX[layer - 1]->SetBounds(0, 0, width, height);
                FAxisY[layer - 1]->SetBounds(0, 0, width, height);
                SyncAxisMargins(layer);
            }
        }
        TCustomControl::SetBounds(left, top, width, height);
        ResizeDataBitmap();
        CalcTransforms();
    } catch (...) {
        FPaintSuspended = suspended;
        throw;
    }
    FPaintSuspended = suspended;
    change.Done();
}

// --------------------------------------------------------------- appearance

void TCustomKurvo::SetShadowStyle(TShadowStyle value)
{
    FShadowStyle = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetShadowColor(TColor value)
{
    FShadowColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetShadowBakColor(TColor value)
{
    FShadowBakColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetChartFrameColor(TColor value)
{
    FChartFrameColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetChartColor(TColor value)
{
    FChartColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetWindColor(TColor value)
{
    FWindColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetGridColor(TColor value)
{
    FGridColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetGridStyle(GridStyleType value)
{
    FGridStyle = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetGridDx(double value)
{
    if (value < -3.0) return;
    FGridDx = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetGridDy(double value)
{
    if (value < -3.0) return;
    FGridDy = value;
    RepaintIfAutoRedraw();
}

// ------------------------------------------------------------------ caption

void TCustomKurvo::SetCaption(const std::string& value)
{
    FCaption = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionTrim(int value)
{
    FCaptionTrim = value == 0 ? 0 : std::clamp(value, 5, 100);
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionPosX(int value)
{
    FCaptionPosX = ClampOffset(value);
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionPosY(int value)
{
    FCaptionPosY = ClampOffset(value);
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionAlignment(TAlignment value)
{
    FCaptionAlignment = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionAnchorHoriz(TCaptionAnchorHoriz value)
{
    FCaptionAnchorHoriz = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionAnchorVert(TCaptionAnchorVert value)
{
    FCaptionAnchorVert = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetTextAlignment(TAlignment value)
{
    FTextAlignment = value;
    RepaintIfAutoRedraw();
}

// -------------------------------------------------------------- sub-objects

void TCustomKurvo::SetBackGroundImg(const TBakGndImg& value)
{
    if (&value != FBackGroundImg.get()) {
        TNotifyEvent own = FBackGroundImg->OnChange;
        FBackGroundImg->Assign(value);
        FBackGroundImg->OnChange = std::move(own);
    }
    RepaintIfAutoRedraw();
}

TCrossHair* TCustomKurvo::CrossHair(int index)
{
    return FCrossHairs[std::clamp(index, 1, CrossHairCount) - 1].get();
}

void TCustomKurvo::SetCrossHair(int index, const TCrossHair& value)
{
    TCrossHair* own = CrossHair(index);
    if (&value != own) own->Assign(value);
    RepaintIfAutoRedraw();
}

TTextLabel* TCustomKurvo::TextLabel(int index)
{
    return FTextLabels[std::clamp(index, 1, TextLabelCount) - 1].get();
}

// ---------------------------------------------------------- duplicate marks

void TCustomKurvo::SetAvoidDuplicateMarks(bool value)
{
    if (FAvoidDuplicateMarks == value) return;
    FAvoidDuplicateMarks = value;
    Paint();
}

void TCustomKurvo::SetMinDupMarkDist(int value)
{
    if (FMinDupMarkDist == value) return;
    FMinDupMarkDist = std::clamp(value, 1, 3);
    Paint();
}

}  // namespace kurvo
