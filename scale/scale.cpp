// TScale: data model, setters, mapping and lifecycle.
#include "scale/Qorn_Scale.h"

#include "base/pixel_math.h"
#include "scale/scale_private.h"

#include <algorithm>
#include <cmath>

namespace kurvo {

TScale::TScale(QWidget* parentWidget) : TCustomControl(parentWidget), d(std::make_unique<TScalePrivate>(this))
{
    d->FDateFormat = std::make_unique<TDTLabel>();
    d->FPaintSuspended = true;
    SetBounds(0, 0, 400, 400);
    ApplyDefaults();
}

TScale::~TScale() { d->FDateFormat->OnChange = nullptr; }

void TScale::ApplyDefaults()
{
    d->FPaintSuspended = true;
    d->FLoadingFlag = true;
    d->FAnchorX = d->FAnchorY = 0;
    d->FSavedLow = d->FSavedHigh = 0.0;
    d->FDragging = false;
    d->FFrameStyle = fsLowered;
    d->FColorScale = 0;
    d->FColorBackGnd = clBtnFace;
    d->FColorScheme = csBWG;
    d->FFrameDarkColor = 0;
    d->FFrameShadowColor = 0x808080;
    d->FFrameHighlightColor = 0xFFFFFF;
    d->FCaption.clear();
    d->FEmbedded = false;
    d->FExternalCanvas = nullptr;
    d->FLogarithmic = false;
    d->FScaleFactor = 1.0;
    d->FScaleOffset = 0.0;
    d->FRangeHigh = 100.0;
    d->FRangeLow = 0.0;
    d->FShortTicks = true;
    d->FDecPlaces = -2;
    d->FTrimTrailingZeros = false;
    d->FUserTickText.clear();
    d->FMinTicks = 3;
    d->FMouseAction = maNone;
    d->FScaleType = sctXB;
    d->FLabelType = ftNum;
    d->FShowBaseLine = true;
    d->FTransparent = false;
    d->FMarginTop = d->FMarginBottom = d->FMarginLeft = d->FMarginRight = 20;
    d->FCaptionPosX = 4;
    d->FCaptionPosY = 4;
    d->FCaptionAlignment = taCenter;
    d->FCaptionAnchor = uaSclTopLft;
    d->FDX = d->FDY = 0;
    OnScaleTickDrawn = nullptr;
    OnBeforeTickLabel = nullptr;
    OnBeforeScaleRendered = nullptr;
    OnAfterScaleRendered = nullptr;
    OnZoomPan = nullptr;

    d->FDateFormat->OnChange = nullptr;
    d->FDateFormat->SetTimeFormat(tfHHMMSS);
    d->FDateFormat->SetDateSeparator('-');
    d->FDateFormat->SetTimeSeparator(':');
    d->FDateFormat->SetYearLength(ylYYYY);
    d->FDateFormat->SetMonthName(true);
    d->FDateFormat->SetDateForTime(dtOnePerDay);
    d->FDateFormat->SetDateOrder(doDDMMYY);
    d->FDateFormat->OnChange = [this](TObject*) { Redraw(); };
    UpdateTransform();
}

// ------------------------------------------------------------- redraw

void TScale::Redraw()
{
    if (!d->FTransparent || d->FEmbedded)
        Paint();
    else
        Invalidate();
}

void TScale::SetPaintSuspended(bool value)
{
    if (d->FPaintSuspended == value) return;
    d->FPaintSuspended = value;
    if (!value) Redraw();
}

void TScale::PaintNow()
{
    const bool suspended = d->FPaintSuspended;
    d->FPaintSuspended = false;
    Redraw();
    d->FPaintSuspended = suspended;
}

void TScale::SetExternalCanvas(TCanvas* canvas, int dx, int dy)
{
    d->FExternalCanvas = canvas;
    d->FDX = dx;
    d->FDY = dy;
}

void TScale::SetEmbedded(bool value)
{
    if (d->FEmbedded == value) return;
    d->FEmbedded = value;
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
    d->FLoadingFlag = false;
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
    if (IsLoading() || d->FRangeHigh == d->FRangeLow) return;
    const bool horizontal = IsHorizontal(d->FScaleType);
    const int length =
        horizontal ? Width() - d->FMarginLeft - d->FMarginRight - 1 : Height() - d->FMarginTop - d->FMarginBottom - 1;
    if (length <= 0) {
        d->FScaleFactor = 0.0;
        d->FScaleOffset = Width() / 2.0;
        return;
    }
    double low = d->FRangeLow;
    double high = d->FRangeHigh;
    if (d->FLogarithmic) {
        if (low <= 0.0 || high <= 0.0) return;
        low = std::log(low);
        high = std::log(high);
    }
    if (horizontal) {
        d->FScaleFactor = length / (high - low);
        d->FScaleOffset = d->FMarginLeft - low * d->FScaleFactor;
    } else {
        d->FScaleFactor = length / (low - high);
        d->FScaleOffset = d->FMarginTop - high * d->FScaleFactor;
    }
}

std::optional<int> TScale::DefinedPixel(double value) const
{
    const double p = ExactPixel(value);
    if (std::isnan(p)) return std::nullopt;
    return RoundPixel(p);
}

int TScale::ValueToPixel(double value) const { return RoundPixel(ExactPixel(value)); }

double TScale::ExactPixel(double value) const
{
    if (!d->FLogarithmic) return d->FScaleFactor * value + d->FScaleOffset;
    if (value > 1e-100) return d->FScaleFactor * std::log(value) + d->FScaleOffset;
    return d->FRangeHigh >= d->FRangeLow ? 0.0 : Width();
}

// ----------------------------------------------------------- setters

void TScale::SetMarginTop(int value)
{
    d->FMarginTop = std::clamp(value, 0, MaxAxisMargin);
    UpdateTransform();
    Redraw();
}

void TScale::SetMarginBottom(int value)
{
    d->FMarginBottom = std::clamp(value, 0, MaxAxisMargin);
    UpdateTransform();
    Redraw();
}

void TScale::SetMarginLeft(int value)
{
    d->FMarginLeft = std::clamp(value, 0, MaxAxisMargin);
    UpdateTransform();
    Redraw();
}

void TScale::SetMarginRight(int value)
{
    d->FMarginRight = std::clamp(value, 0, MaxAxisMargin);
    UpdateTransform();
    Redraw();
}

void TScale::SetScaleType(TScaleType value)
{
    if (d->FScaleType == value) return;
    d->FScaleType = value;
    UpdateTransform();
    Redraw();
}

void TScale::SetRangeLow(double value)
{
    if (!std::isfinite(value)) return;  // a range end must be a number
    d->FRangeLow = value;
    if (d->FRangeLow == d->FRangeHigh) d->FRangeHigh = d->FRangeLow + 1.0;
    UpdateTransform();
    Redraw();
}

void TScale::SetRangeHigh(double value)
{
    if (!std::isfinite(value)) return;
    d->FRangeHigh = value;
    if (d->FRangeHigh == d->FRangeLow) d->FRangeLow = d->FRangeHigh + 1.0;
    UpdateTransform();
    Redraw();
}

void TScale::SetRangeDirect(double low, double high)
{
    d->FRangeLow = low;
    d->FRangeHigh = high;
    if (d->FRangeHigh == d->FRangeLow) d->FRangeHigh = d->FRangeLow + 1.0;
}

void TScale::SetLogarithmic(bool value)
{
    if (!value)
        d->FLogarithmic = false;
    else if (d->FLoadingFlag || (d->FRangeLow >= 1e-100 && d->FRangeHigh >= 1e-100 && d->FLabelType != ftDateTime))
        d->FLogarithmic = true;
    UpdateTransform();
    Redraw();
}

void TScale::SetMinTicks(int value)
{
    d->FMinTicks = value == 0 ? 0 : std::clamp(value, 2, 10);
    Redraw();
}

void TScale::SetShortTicks(bool value)
{
    if (d->FShortTicks == value) return;
    d->FShortTicks = value;
    Redraw();
}

void TScale::SetLabelType(TFigType value)
{
    d->FLabelType = value;
    if (value == ftDateTime) d->FLogarithmic = false;
    if (value == ftTime) d->FDecPlaces = 4;
    UpdateTransform();
    Redraw();
}

void TScale::SetDecPlaces(int value)
{
    d->FDecPlaces = std::clamp(value, -3, 12);
    UpdateTransform();
    Redraw();
}

void TScale::SetTrimTrailingZeros(bool value)
{
    if (d->FTrimTrailingZeros == value) return;
    d->FTrimTrailingZeros = value;
    Redraw();
}

void TScale::SetScaleInscript(const std::string& value)
{
    d->FScaleInscript = value;
    Redraw();
}

void TScale::SetUserTickText(const std::string& value)
{
    d->FUserTickText = value;
    Redraw();
}

void TScale::SetDateFormat(const TDTLabel& value)
{
    TNotifyEvent own = d->FDateFormat->OnChange;
    d->FDateFormat->Assign(value);
    d->FDateFormat->OnChange = std::move(own);
    Redraw();
}

void TScale::SetCaption(const std::string& value)
{
    d->FCaption = value;
    Redraw();
}

void TScale::SetCaptionPosX(int value)
{
    d->FCaptionPosX = ClampOffset(value);
    Redraw();
}

void TScale::SetCaptionPosY(int value)
{
    d->FCaptionPosY = ClampOffset(value);
    Redraw();
}

void TScale::SetCaptionAlignment(TAlignment value)
{
    d->FCaptionAlignment = value;
    Redraw();
}

void TScale::SetCaptionAnchor(TScaleUnitAnchor value)
{
    d->FCaptionAnchor = value;
    Redraw();
}

void TScale::SetColorScale(TColor value)
{
    if (d->FColorScale == value) return;
    d->FColorScale = value;
    Redraw();
}

void TScale::SetColorBackGnd(TColor value)
{
    if (d->FColorBackGnd == value) return;
    d->FColorBackGnd = value;
    Redraw();
}

void TScale::SetColorScheme(TColorScheme value)
{
    if (d->FColorScheme == value) return;
    d->FColorScheme = value;
    if (value == csBWG) {
        d->FFrameShadowColor = 0x808080;
        d->FFrameHighlightColor = 0xFFFFFF;
    } else {
        d->FFrameShadowColor = clBtnShadow;
        d->FFrameHighlightColor = clBtnHighlight;
    }
    Redraw();
}

void TScale::SetFrameStyle(TFrameStyle value)
{
    if (d->FFrameStyle == value) return;
    d->FFrameStyle = value;
    Redraw();
}

void TScale::SetShowBaseLine(bool value)
{
    d->FShowBaseLine = value;
    Redraw();
}

void TScale::SetTransparent(bool value)
{
    d->FTransparent = value;
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
    d->FFrameStyle = other->d->FFrameStyle;
    d->FColorBackGnd = other->d->FColorBackGnd;
    d->FColorScale = other->d->FColorScale;
    d->FFrameDarkColor = other->d->FFrameDarkColor;
    d->FFrameShadowColor = other->d->FFrameShadowColor;
    d->FFrameHighlightColor = other->d->FFrameHighlightColor;
    d->FColorScheme = other->d->FColorScheme;
    OnScaleTickDrawn = other->OnScaleTickDrawn;
    OnBeforeTickLabel = other->OnBeforeTickLabel;
    d->FLogarithmic = other->d->FLogarithmic;
    d->FScaleFactor = other->d->FScaleFactor;
    d->FScaleOffset = other->d->FScaleOffset;
    d->FRangeHigh = other->d->FRangeHigh;
    d->FRangeLow = other->d->FRangeLow;
    d->FShortTicks = other->d->FShortTicks;
    d->FMinTicks = other->d->FMinTicks;
    d->FDecPlaces = other->d->FDecPlaces;
    d->FTrimTrailingZeros = other->d->FTrimTrailingZeros;
    d->FShowBaseLine = other->d->FShowBaseLine;
    d->FTransparent = other->d->FTransparent;
    d->FLabelType = other->d->FLabelType;
    // The date format keeps notifying this control, not the source.
    TNotifyEvent own = d->FDateFormat->OnChange;
    d->FDateFormat->Assign(*other->d->FDateFormat);
    d->FDateFormat->OnChange = std::move(own);
    d->FMarginTop = other->d->FMarginTop;
    d->FMarginBottom = other->d->FMarginBottom;
    d->FMarginLeft = other->d->FMarginLeft;
    d->FMarginRight = other->d->FMarginRight;
    d->FCaptionPosX = other->d->FCaptionPosX;
    d->FCaptionPosY = other->d->FCaptionPosY;
    d->FUserTickText = other->d->FUserTickText;
    d->FScaleInscript = other->d->FScaleInscript;
    d->FTicks = other->d->FTicks;
    d->FCaption = other->d->FCaption;
    d->FCaptionAnchor = other->d->FCaptionAnchor;
    d->FCaptionAlignment = other->d->FCaptionAlignment;
    d->FDX = other->d->FDX;
    d->FDY = other->d->FDY;
    d->FScaleType = other->d->FScaleType;
    d->FEmbedded = other->d->FEmbedded;
    OnBeforeScaleRendered = other->OnBeforeScaleRendered;
    OnAfterScaleRendered = other->OnAfterScaleRendered;
    d->FPaintSuspended = other->d->FPaintSuspended;
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
    s.RangeLow = d->FRangeLow;
    s.RangeHigh = d->FRangeHigh;
    s.MinTicks = d->FMinTicks;
    s.ShortTicks = d->FShortTicks;
    s.Logarithmic = d->FLogarithmic;
    s.DecPlaces = d->FDecPlaces;
    s.LabelType = d->FLabelType;
    s.UserTickText = d->FUserTickText;
    s.ScaleInscript = d->FScaleInscript;
    s.TrimTrailingZeros = d->FTrimTrailingZeros;
    s.Vertical = !IsHorizontal(d->FScaleType);
    s.DateFormat.TimeFormat = d->FDateFormat->TimeFormat();
    s.DateFormat.DateSeparator = d->FDateFormat->DateSeparator();
    s.DateFormat.TimeSeparator = d->FDateFormat->TimeSeparator();
    s.DateFormat.YearLength = d->FDateFormat->YearLength();
    s.DateFormat.MonthName = d->FDateFormat->MonthName();
    s.DateFormat.DateOrder = d->FDateFormat->DateOrder();
    s.DateFormat.DateForTime = d->FDateFormat->DateForTime();
    return s;
}

}  // namespace kurvo
