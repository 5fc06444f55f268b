// The seven standard layouts: margins, chart caption and the axes of layers 1 ... 4.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

namespace kurvo {

namespace {

// Location codes of a layout row: X axes 2 = top, 3 = bottom; Y axes 0 = left, 1 = right.
enum : int { locLeft = 0, locRight = 1, locTop = 2, locBottom = 3 };

struct TAxisRow {
    int CaptionPosX;
    int CaptionPosY;
    TAlignment CaptionAlignment;
    TScaleUnitAnchor CaptionAnchor;
    int ScalePos;
    bool Visible;
    int Location;
};

struct TLayoutRow {
    int MarginBottom, MarginTop, MarginLeft, MarginRight;
    int CaptionPosX, CaptionPosY;
    TAlignment CaptionAlignment;
    TCaptionAnchorHoriz CaptionAnchorHoriz;
    TCaptionAnchorVert CaptionAnchorVert;
    TAxisRow X[4];
    TAxisRow Y[4];
};

constexpr TAxisRow XOn{0, 22, taCenter, uaSclCenter, 0, true, locBottom};
constexpr TAxisRow XOff{10, 100, taCenter, uaSclCenter, 0, false, locBottom};
constexpr TAxisRow YOn{0, -23, taRightJustify, uaSclTopLft, 0, true, locLeft};
constexpr TAxisRow YOff{10, 100, taRightJustify, uaSclTopLft, 0, false, locLeft};

constexpr TAxisRow YAt(int pos) { return {0, -23, taRightJustify, uaSclTopLft, pos, true, locLeft}; }

constexpr TLayoutRow kLayouts[] = {
    // kvl_X1Bottom_Y1Left
    {40, 20, 50, 20, 0, -16, taRightJustify, cahChartRight, cavChartTop,
     {XOn, XOff, XOff, XOff},
     {{0, -16, taLeftJustify, uaSclTopLft, 0, true, locLeft}, YOff, YOff, YOff}},
    // kvl_X1Bottom_Y2Left
    {40, 24, 100, 20, 0, -16, taRightJustify, cahChartRight, cavChartTop,
     {XOn, XOff, XOff, XOff},
     {YOn, YAt(50), YOff, YOff}},
    // kvl_X1Bottom_Y3Left
    {40, 24, 150, 20, 0, -16, taRightJustify, cahChartRight, cavChartTop,
     {XOn, XOff, XOff, XOff},
     {YOn, YAt(50), YAt(100), YOff}},
    // kvl_X1Bottom_Y4Left
    {40, 24, 200, 20, 0, -16, taRightJustify, cahChartRight, cavChartTop,
     {XOn, XOff, XOff, XOff},
     {YOn, YAt(50), YAt(100), YAt(150)}},
    // kvl_X1Bottom_Y2Both
    {40, 24, 50, 50, 0, -20, taCenter, cahChartCenter, cavChartTop,
     {XOn, XOff, XOff, XOff},
     {YOn, {0, -23, taLeftJustify, uaSclTopLft, 0, true, locRight}, YOff, YOff}},
    // kvl_X2Bottom_Y2Left
    {70, 24, 100, 20, 0, -16, taRightJustify, cahChartRight, cavChartTop,
     {{-20, 7, taRightJustify, uaSclTopLft, 0, true, locBottom},
      {-20, 7, taRightJustify, uaSclTopLft, 30, true, locBottom}, XOff, XOff},
     {YOn, YAt(50), YOff, YOff}},
    // kvl_X2Both_Y2Both
    {40, 64, 50, 50, 0, -60, taCenter, cahChartCenter, cavChartTop,
     {{0, 20, taCenter, uaSclCenter, 0, true, locBottom}, {0, -40, taCenter, uaSclCenter, 0, true, locTop}, XOff,
      XOff},
     {{0, -40, taRightJustify, uaSclTopLft, 0, true, locLeft},
      {0, -40, taLeftJustify, uaSclTopLft, 0, true, locRight},
      {0, -23, taRightJustify, uaSclTopLft, 0, false, locLeft},
      {0, -23, taRightJustify, uaSclTopLft, 0, false, locLeft}}},
};

void ApplyAxisRow(TScaleProps& props, const TAxisRow& row)
{
    props.SetCaptionPosX(row.CaptionPosX);
    props.SetCaptionPosY(row.CaptionPosY);
    props.SetCaptionAlignment(row.CaptionAlignment);
    props.SetCaptionAnchor(row.CaptionAnchor);
    props.SetScalePos(row.ScalePos);
    props.SetVisible(row.Visible);
}

}  // namespace

void TCustomKurvo::SetStandardLayout(TkvLayout value)
{
    if (value > kvl_X2Both_Y2Both) return;
    const bool suspended = d->FPaintSuspended;
    d->FPaintSuspended = true;
    try {
        WithDeferredSync([&] { ApplyLayoutRow(value); });
    } catch (...) {
        d->FPaintSuspended = suspended;
        throw;
    }
    SetPaintSuspended(suspended);
}

void TCustomKurvo::ApplyLayoutRow(TkvLayout layout)
{
    const TLayoutRow& row = kLayouts[layout];
    SetMarginLeft(row.MarginLeft);
    SetMarginRight(row.MarginRight);
    SetMarginTop(row.MarginTop);
    SetMarginBottom(row.MarginBottom);
    SetCaptionPosX(row.CaptionPosX);
    SetCaptionPosY(row.CaptionPosY);
    SetCaptionAlignment(row.CaptionAlignment);
    SetCaptionAnchorHoriz(row.CaptionAnchorHoriz);
    SetCaptionAnchorVert(row.CaptionAnchorVert);
    for (int n = 0; n < 4; ++n) {
        const TAxisRow& x = row.X[n];
        if (x.Location == locTop || x.Location == locBottom)
            d->FScaleX[n]->SetScaleLocation(x.Location == locTop ? slTop : slBottom);
        ApplyAxisRow(*d->FScaleX[n], x);
        const TAxisRow& y = row.Y[n];
        if (y.Location == locLeft || y.Location == locRight)
            d->FScaleY[n]->SetScaleLocation(y.Location == locLeft ? slLeft : slRight);
        ApplyAxisRow(*d->FScaleY[n], y);
    }
    for (int n = 4; n < LayerCount; ++n) {
        d->FScaleX[n]->SetVisible(false);
        d->FScaleY[n]->SetVisible(false);
    }
    for (int n = 0; n < LayerCount; ++n) {
        SyncAxis(*d->FAxisX[n], *d->FScaleX[n]);
        SyncAxis(*d->FAxisY[n], *d->FScaleY[n]);
    }
}

}  // namespace kurvo
