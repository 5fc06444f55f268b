// Published properties of the chart, margin geometry and SetBounds.
#include "chart/Qorn_kurvo.h"

#include "base/pixel_math.h"
#include "canvas/qt_interop.h"
#include "chart/kurvo_private.h"
#include "chart/thread_rule.h"

#include <QColor>

#include <algorithm>

namespace kurvo {

// ----------------------------------------------------------------- geometry

bool TCustomKurvo::InDataArea(int x, int y) const
{
    return x >= d->FMarginLeft && x <= Width() - d->FMarginRight - d->FShadowWidth && y >= d->FMarginTop &&
           y <= Height() - d->FMarginBottom - d->FShadowWidth;
}

void TCustomKurvo::ResizeDataBitmap()
{
    d->FDataBitmap->SetSize(std::max(0, DataWidth() + 1), std::max(0, DataHeight() + 1));
}

void TCustomKurvo::SyncAxisMargins(int layer)
{
    const int n = layer - 1;
    TScale& ax = *d->FAxisX[n];
    TScale& ay = *d->FAxisY[n];
    SyncAxis(ax, *d->FScaleX[n]);
    ax.SetMarginLeft(d->FMarginLeft);
    ax.SetMarginRight(d->FMarginRight + d->FShadowWidth - 1);
    SyncAxis(ay, *d->FScaleY[n]);
    ay.SetMarginTop(d->FMarginTop);
    ay.SetMarginBottom(d->FMarginBottom + d->FShadowWidth - 1);
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
            if (d->FIsometric) IsometricAdjust(layer);
            SyncAxisMargins(layer);
        }
    });
    CalcTransforms();
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetMarginLeft(int value)
{
    d->FMarginLeft = std::clamp(value, -MaxChartMargin, MaxChartMargin);
    MarginGeometry();
}

void TCustomKurvo::SetMarginRight(int value)
{
    d->FMarginRight = std::clamp(value, -MaxChartMargin, MaxChartMargin);
    MarginGeometry();
}

void TCustomKurvo::SetMarginTop(int value)
{
    d->FMarginTop = std::clamp(value, -MaxChartMargin, MaxChartMargin);
    MarginGeometry();
}

void TCustomKurvo::SetMarginBottom(int value)
{
    d->FMarginBottom = std::clamp(value, -MaxChartMargin, MaxChartMargin);
    MarginGeometry();
}

void TCustomKurvo::SetShadowWidth(int value)
{
    d->FShadowWidth = std::clamp(value, 0, 32);
    MarginGeometry();
}

void TCustomKurvo::SetBounds(int left, int top, int width, int height)
{
    CheckChartThread(*this, "SetBounds");
    // OnResize comes once the axes and transforms fit the new size.
    TBoundsChange change(*this);
    const bool suspended = d->FPaintSuspended;
    d->FPaintSuspended = true;
    height = std::max(height, d->FMarginTop + d->FMarginBottom + d->FShadowWidth + 20);
    width = std::max(width, d->FMarginLeft + d->FMarginRight + d->FShadowWidth + 80);
    TCustomControl::SetBounds(left, top, width, height);
    // OnCanResize may have changed or refused the size; a refusal keeps the position too.
    left = Left();
    top = Top();
    width = Width();
    height = Height();
    try {
        for (int layer = 1; layer <= LayerCount; ++layer) {
            if (d->FIsometric) IsometricAdjust(layer);
            if (d->FAxisX[layer - 1] && d->FAxisY[layer - 1]) {
                d->FAxisX[layer - 1]->SetBounds(0, 0, width, height);
                d->FAxisY[layer - 1]->SetBounds(0, 0, width, height);
                SyncAxisMargins(layer);
            }
        }
        TCustomControl::SetBounds(left, top, width, height);
        ResizeDataBitmap();
        CalcTransforms();
    } catch (...) {
        d->FPaintSuspended = suspended;
        throw;
    }
    d->FPaintSuspended = suspended;
    change.Done();
}

// --------------------------------------------------------------- appearance

void TCustomKurvo::SetShadowStyle(TShadowStyle value)
{
    d->FShadowStyle = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetShadowColor(TColor value)
{
    d->FShadowColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetShadowBakColor(TColor value)
{
    d->FShadowBakColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetChartFrameColor(TColor value)
{
    d->FChartFrameColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetChartColor(TColor value)
{
    d->FChartColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetWindColor(TColor value)
{
    d->FWindColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetGridColor(TColor value)
{
    d->FGridColor = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetGridStyle(GridStyleType value)
{
    d->FGridStyle = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetGridDx(double value)
{
    if (value < -3.0) return;
    d->FGridDx = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetGridDy(double value)
{
    if (value < -3.0) return;
    d->FGridDy = value;
    RepaintIfAutoRedraw();
}

// ------------------------------------------------------------------ caption

void TCustomKurvo::SetCaption(const std::string& value)
{
    d->FCaption = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionTrim(int value)
{
    d->FCaptionTrim = value == 0 ? 0 : std::clamp(value, 5, 100);
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionPosX(int value)
{
    d->FCaptionPosX = ClampOffset(value);
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionPosY(int value)
{
    d->FCaptionPosY = ClampOffset(value);
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionAlignment(TAlignment value)
{
    d->FCaptionAlignment = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionAnchorHoriz(TCaptionAnchorHoriz value)
{
    d->FCaptionAnchorHoriz = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetCaptionAnchorVert(TCaptionAnchorVert value)
{
    d->FCaptionAnchorVert = value;
    RepaintIfAutoRedraw();
}

void TCustomKurvo::SetTextAlignment(TAlignment value)
{
    d->FTextAlignment = value;
    RepaintIfAutoRedraw();
}

// -------------------------------------------------------------- sub-objects

void TCustomKurvo::SetBackGroundImg(const TBakGndImg& value)
{
    if (&value != d->FBackGroundImg.get()) {
        TNotifyEvent own = d->FBackGroundImg->OnChange;
        d->FBackGroundImg->Assign(value);
        d->FBackGroundImg->OnChange = std::move(own);
    }
    RepaintIfAutoRedraw();
}

TCrossHair* TCustomKurvo::CrossHair(int index)
{
    return d->FCrossHairs[std::clamp(index, 1, CrossHairCount) - 1].get();
}

void TCustomKurvo::SetCrossHair(int index, const TCrossHair& value)
{
    TCrossHair* own = CrossHair(index);
    if (&value != own) own->Assign(value);
    RepaintIfAutoRedraw();
}

TTextLabel* TCustomKurvo::TextLabel(int index)
{
    return d->FTextLabels[std::clamp(index, 1, TextLabelCount) - 1].get();
}

// ---------------------------------------------------------- duplicate marks

void TCustomKurvo::SetAvoidDuplicateMarks(bool value)
{
    if (d->FAvoidDuplicateMarks == value) return;
    d->FAvoidDuplicateMarks = value;
    Paint();
}

void TCustomKurvo::SetMinDupMarkDist(int value)
{
    if (d->FMinDupMarkDist == value) return;
    d->FMinDupMarkDist = std::clamp(value, 1, 3);
    Paint();
}

// Qt colours (see TColor)
void TCustomKurvo::SetDataColor(const QColor& value) { SetDataColor(FromQColor(value)); }
void TCustomKurvo::SetDataColor(Qt::GlobalColor value) { SetDataColor(FromQColor(value)); }
void TCustomKurvo::SetFillColor(const QColor& value) { SetFillColor(FromQColor(value)); }
void TCustomKurvo::SetFillColor(Qt::GlobalColor value) { SetFillColor(FromQColor(value)); }
void TCustomKurvo::SetChartColor(const QColor& value) { SetChartColor(FromQColor(value)); }
void TCustomKurvo::SetChartColor(Qt::GlobalColor value) { SetChartColor(FromQColor(value)); }
void TCustomKurvo::SetWindColor(const QColor& value) { SetWindColor(FromQColor(value)); }
void TCustomKurvo::SetWindColor(Qt::GlobalColor value) { SetWindColor(FromQColor(value)); }
void TCustomKurvo::SetGridColor(const QColor& value) { SetGridColor(FromQColor(value)); }
void TCustomKurvo::SetGridColor(Qt::GlobalColor value) { SetGridColor(FromQColor(value)); }
void TCustomKurvo::SetChartFrameColor(const QColor& value) { SetChartFrameColor(FromQColor(value)); }
void TCustomKurvo::SetChartFrameColor(Qt::GlobalColor value) { SetChartFrameColor(FromQColor(value)); }
void TCustomKurvo::SetShadowColor(const QColor& value) { SetShadowColor(FromQColor(value)); }
void TCustomKurvo::SetShadowColor(Qt::GlobalColor value) { SetShadowColor(FromQColor(value)); }

}  // namespace kurvo
