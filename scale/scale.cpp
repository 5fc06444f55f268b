// TScale: data model, setters, mapping and lifecycle.
#include "scale/Qorn_Scale.h"

#include "base/pixel_math.h"

#include <algorithm>
#include <cmath>

namespace kurvo {

TScale::TScale(QWidget* parentWidget) : TCustomControl(parentWidget), FDateFormat(std::make_unique<TDTLabel>())
{
    FPaintSuspended = true;
    SetBounds(0, 0, 400, 400);
    ApplyDefaults();
}

TScale::~TScale() { FDateFormat->OnChange = nullptr; }

void TScale::ApplyDefaults()
{
    FPaintSuspended = true;
    FLoadingFlag = true;
    FAnchorX = FAnchorY = 0;
    FSavedLow = FSavedHigh = 0.0;
    FDragging = false;
    FFrameStyle = fsLowered;
    FColorScale = 0;
    FColorBackGnd = clBtnFace;
    FColorScheme = csBWG;
    FFrameDarkColor = 0;
    FFrameShadowColor = 0x808080;
    FFrameHighlightColor = 0xFFFFFF;
    FCaption.clear();
    FEmbedded = false;
    FExternalCanvas = nullptr;
    FLogarithmic = false;
    FScaleFactor = 1.0;
    FScaleOffset = 0.0;
    FRangeHigh = 100.0;
    FRangeLow = 0.0;
    FShortTicks = true;
    FDecPlaces = -2;
    FUserTickText.clear();
    FMinTicks = 3;
    FMouseAction = maNone;
    FScaleType = sctXB;
    FLabelType = ftNum;
    FShowBaseLine = true;
    FTransparent = false;
    FMarginTop = FMarginBottom = FMarginLeft = FMarginRight = 20;
    FCaptionPosX = 4;
    FCaptionPosY = 4;
    FCaptionAlignment = taCenter;
    FCaptionAnchor = uaSclTopLft;
    FDX = FDY = 0;
    OnScaleTickDrawn = nullptr;
    OnBeforeTickLabel = nullptr;
    OnBeforeScaleRendered = nullptr;
    OnAfterScaleRendered = nullptr;
    OnZoomPan = nullptr;

    FDateFormat->OnChange = nullptr;
    FDateFormat->SetTimeFormat(tfHHMMSS);
    FDateFormat->SetDateSeparator('-');
    FDateFormat->SetTimeSeparator(':');
    FDateFormat->SetYearLength(ylYYYY);
    FDateFormat->SetMonthName(true);
    FDateFormat->SetDateForTime(dtOnePerDay);
    FDateFormat->SetDateOrder(doDDMMYY);
    FDateFormat->OnChange = [this](TObject*) { Redraw(); };
    UpdateTransform();
}

// ------------------------------------------------------------- redraw

void TScale::Redraw()
{
    if (!FTransparent || FEmbedded)
        Paint();
    else
        Invalidate();
}

void TScale::SetPaintSuspended(bool value)
{
    if (FPaintSuspended == value) return;
    FPaintSuspended = value;
    if (!value) Redraw();
}

void TScale::PaintNow()
{
    const bool suspended = FPaintSuspended;
    FPaintSuspended = false;
    Redraw();
    FPaintSuspended = suspended;
}

void TScale::SetExternalCanvas(TCanvas* canvas, int dx, int dy)
{
    FExternalCanvas = canvas;
    FDX = dx;
    FDY = dy;
}

void TScale::SetEmbedded(bool value)
{
    if (FEmbedded == value) return;
    FEmbedded = value;
    Redraw();
}

void TScale::CreateWnd()
{
    TCustomControl::CreateWnd();
    SetPaintSuspended(false);
}

void TScale::Loaded()
{
    TCustomControl::Loaded();
    UpdateTransform();
    FLoadingFlag = false;
    Redraw();
}

void TScale::SetBounds(int left, int top, int width, int height)
{
    TCustomControl::SetBounds(left, top, width, height);
    UpdateTransform();
    Redraw();
}

// ----------------------------------------------------------- mapping

void TScale::UpdateTransform()
{
    if (IsLoading() || FRangeHigh == FRangeLow) return;
    const bool horizontal = IsHorizontal(FScaleType);
    const int length =
        horizontal ? Width() - FMarginLeft - FMarginRight - 1 : Height() - FMarginTop - FMarginBottom - 1;
    if (length <= 0) {
        FScaleFactor = 0.0;
        FScaleOffset = Width() / 2.0;
        return;
    }
    double low = FRangeLow;
    double high = FRangeHigh;
    if (FLogarithmic) {
        if (low <= 0.0 || high <= 0.0) return;
        low = std::log(low);
        high = std::log(high);
    }
    if (horizontal) {
        FScaleFactor = length / (high - low);
        FScaleOffset = FMarginLeft - low * FScaleFactor;
    } else {
        FScaleFactor = length / (low - high);
        FScaleOffset = FMarginTop - high * FScaleFactor;
    }
}

std::optional<int> TScale::DefinedPixel(double value) const
{
    double p;
    if (FLogarithmic) {
        if (value > 1e-100)
            p = FScaleFactor * std::log(value) + FScaleOffset;
        else
            p = FRangeHigh >= FRangeLow ? 0.0 : Width();
    } else {
        p = FScaleFactor * value + FScaleOffset;
    }
    if (std::isnan(p)) return std::nullopt;
    return RoundPixel(p);
}

int TScale::ValueToPixel(double value) const
{
    double p;
    if (FLogarithmic) {
        if (value > 1e-100)
            p = FScaleFactor * std::log(value) + FScaleOffset;
        else
            p = FRangeHigh >= FRangeLow ? 0.0 : Width();
    } else {
        p = FScaleFactor * value + FScaleOffset;
    }
    return RoundPixel(p);
}

// ----------------------------------------------------------- setters

void TScale::SetMarginTop(int value)
{
    FMarginTop = std::clamp(value, 0, MaxAxisMargin);
    UpdateTransform();
    Redraw();
}

void TScale::SetMarginBottom(int value)
{
    FMarginBottom = std::clamp(value, 0, MaxAxisMargin);
    UpdateTransform();
    Redraw();
}

void TScale::SetMarginLeft(int value)
{
    FMarginLeft = std::clamp(value, 0, MaxAxisMargin);
    UpdateTransform();
    Redraw();
}

void TScale::SetMarginRight(int value)
{
    FMarginRight = std::clamp(value, 0, MaxAxisMargin);
    UpdateTransform();
    Redraw();
}

void TScale::SetScaleType(TScaleType value)
{
    if (FScaleType == value) return;
    FScaleType = value;
    UpdateTransform();
    Redraw();
}

void TScale::SetRangeLow(double value)
{
    if (!std::isfinite(value)) return;  // a range end must be a number
    FRangeLow = value;
    if (FRangeLow == FRangeHigh) FRangeHigh = FRangeLow + 1.0;
    UpdateTransform();
    Redraw();
}

void TScale::SetRangeHigh(double value)
{
    if (!std::isfinite(value)) return;
    FRangeHigh = value;
    if (FRangeHigh == FRangeLow) FRangeLow = FRangeHigh + 1.0;
    UpdateTransform();
    Redraw();
}

void TScale::SetRangeDirect(double low, double high)
{
    FRangeLow = low;
    FRangeHigh = high;
    if (FRangeHigh == FRangeLow) FRangeHigh = FRangeLow + 1.0;
}

void TScale::SetLogarithmic(bool value)
{
    if (!value)
        FLogarithmic = false;
    else if (FLoadingFlag || (FRangeLow >= 1e-100 && FRangeHigh >= 1e-100 && FLabelType != ftDateTime))
        FLogarithmic = true;
    UpdateTransform();
    Redraw();
}

void TScale::SetMinTicks(int value)
{
    FMinTicks = value == 0 ? 0 : std::clamp(value, 2, 10);
    Redraw();
}

void TScale::SetShortTicks(bool value)
{
    if (FShortTicks == value) return;
    FShortTicks = value;
    Redraw();
}

void TScale::SetLabelType(TFigType value)
{
    FLabelType = value;
    if (value == ftDateTime) FLogarithmic = false;
    if (value == ftTime) FDecPlaces = 4;
    UpdateTransform();
    Redraw();
}

void TScale::SetDecPlaces(int value)
{
    FDecPlaces = std::clamp(value, -3, 12);
    UpdateTransform();
    Redraw();
}

void TScale::SetScaleInscript(const std::string& value)
{
    FScaleInscript = value;
    Redraw();
}

void TScale::SetUserTickText(const std::string& value)
{
    FUserTickText = value;
    Redraw();
}

void TScale::SetDateFormat(const TDTLabel& value)
{
    TNotifyEvent own = FDateFormat->OnChange;
    FDateFormat->Assign(value);
    FDateFormat->OnChange = std::move(own);
    Redraw();
}

void TScale::SetCaption(const std::string& value)
{
    FCaption = value;
    Redraw();
}

void TScale::SetCaptionPosX(int value)
{
    FCaptionPosX = ClampOffset(value);
    Redraw();
}

void TScale::SetCaptionPosY(int value)
{
    FCaptionPosY = ClampOffset(value);
    Redraw();
}

void TScale::SetCaptionAlignment(TAlignment value)
{
    FCaptionAlignment = value;
    Redraw();
}

void TScale::SetCaptionAnchor(TScaleUnitAnchor value)
{
    FCaptionAnchor = value;
    Redraw();
}

void TScale::SetColorScale(TColor value)
{
    if (FColorScale == value) return;
    FColorScale = value;
    Redraw();
}

void TScale::SetColorBackGnd(TColor value)
{
    if (FColorBackGnd == value) return;
    FColorBackGnd = value;
    Redraw();
}

void TScale::SetColorScheme(TColorScheme value)
{
    if (FColorScheme == value) return;
    FColorScheme = value;
    if (value == csBWG) {
        FFrameShadowColor = 0x808080;
        FFrameHighlightColor = 0xFFFFFF;
    } else {
        FFrameShadowColor = clBtnShadow;
        FFrameHighlightColor = clBtnHighlight;
    }
    Redraw();
}

void TScale::SetFrameStyle(TFrameStyle value)
{
    if (FFrameStyle == value) return;
    FFrameStyle = value;
    Redraw();
}

void TScale::SetShowBaseLine(bool value)
{
    FShowBaseLine = value;
    Redraw();
}

void TScale::SetTransparent(bool value)
{
    FTransparent = value;
    Redraw();
}

// ------------------------------------------------------------- assign

void TScale::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TScale*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    FFrameStyle = other->FFrameStyle;
    FColorBackGnd = other->FColorBackGnd;
    FColorScale = other->FColorScale;
    FFrameDarkColor = other->FFrameDarkColor;
    FFrameShadowColor = other->FFrameShadowColor;
    FFrameHighlightColor = other->FFrameHighlightColor;
    FColorScheme = other->FColorScheme;
    OnScaleTickDrawn = other->OnScaleTickDrawn;
    OnBeforeTickLabel = other->OnBeforeTickLabel;
    FLogarithmic = other->FLogarithmic;
    FScaleFactor = other->FScaleFactor;
    FScaleOffset = other->FScaleOffset;
    FRangeHigh = other->FRangeHigh;
    FRangeLow = other->FRangeLow;
    FShortTicks = other->FShortTicks;
    FMinTicks = other->FMinTicks;
    FDecPlaces = other->FDecPlaces;
    FShowBaseLine = other->FShowBaseLine;
    FTransparent = other->FTransparent;
    FLabelType = other->FLabelType;
    // The date format keeps notifying this control, not the source.
    TNotifyEvent own = FDateFormat->OnChange;
    FDateFormat->Assign(*other->FDateFormat);
    FDateFormat->OnChange = std::move(own);
    FMarginTop = other->FMarginTop;
    FMarginBottom = other->FMarginBottom;
    FMarginLeft = other->FMarginLeft;
    FMarginRight = other->FMarginRight;
    FCaptionPosX = other->FCaptionPosX;
    FCaptionPosY = other->FCaptionPosY;
    FUserTickText = other->FUserTickText;
    FScaleInscript = other->FScaleInscript;
    FTicks = other->FTicks;
    FCaption = other->FCaption;
    FCaptionAnchor = other->FCaptionAnchor;
    FCaptionAlignment = other->FCaptionAlignment;
    FDX = other->FDX;
    FDY = other->FDY;
    FScaleType = other->FScaleType;
    FEmbedded = other->FEmbedded;
    OnBeforeScaleRendered = other->OnBeforeScaleRendered;
    OnAfterScaleRendered = other->OnAfterScaleRendered;
    FPaintSuspended = other->FPaintSuspended;
    Redraw();
}

void TScale::AssignTo(TPersistent& dest) const
{
    if (auto* scale = dynamic_cast<TScale*>(&dest)) {
        scale->Assign(*this);
        return;
    }
    TPersistent::AssignTo(dest);
}

TTickSettings TScale::TickSettings() const
{
    TTickSettings s;
    s.RangeLow = FRangeLow;
    s.RangeHigh = FRangeHigh;
    s.MinTicks = FMinTicks;
    s.ShortTicks = FShortTicks;
    s.Logarithmic = FLogarithmic;
    s.DecPlaces = FDecPlaces;
    s.LabelType = FLabelType;
    s.UserTickText = FUserTickText;
    s.ScaleInscript = FScaleInscript;
    s.Vertical = !IsHorizontal(FScaleType);
    s.DateFormat.TimeFormat = FDateFormat->TimeFormat();
    s.DateFormat.DateSeparator = FDateFormat->DateSeparator();
    s.DateFormat.TimeSeparator = FDateFormat->TimeSeparator();
    s.DateFormat.YearLength = FDateFormat->YearLength();
    s.DateFormat.MonthName = FDateFormat->MonthName();
    s.DateFormat.DateOrder = FDateFormat->DateOrder();
    s.DateFormat.DateForTime = FDateFormat->DateForTime();
    return s;
}

}  // namespace kurvo
