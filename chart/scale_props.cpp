#include "chart/scale_props.h"

#include "base/pixel_math.h"

#include <algorithm>
#include <cmath>

namespace kurvo {

namespace {
constexpr double kLogFloor = 1e-100;
const char* const kLogError = "Logarithmic axis must not be negative.";
}

TScaleProps::TScaleProps() { TScaleProps::Reset(); }

TScaleProps::~TScaleProps()
{
    OnChange = nullptr;
    FFont.OnChange = nullptr;
}

void TScaleProps::Reset()
{
    FCaption.clear();
    FCaptionPosX = 0;
    FCaptionPosY = 0;
    FCaptionAlignment = taCenter;
    FCaptionAnchor = uaSclTopLft;
    FColorScale = 0;
    OnChange = nullptr;
    if (!FDateFormat) FDateFormat = std::make_unique<TDTLabel>();
    TNotifyEvent dateChange = std::move(FDateFormat->OnChange);
    FDateFormat->OnChange = nullptr;
    FDateFormat->SetTimeFormat(tfHHMMSS);
    FDateFormat->SetDateSeparator('-');
    FDateFormat->SetTimeSeparator(':');
    FDateFormat->SetYearLength(ylYYYY);
    FDateFormat->SetMonthName(true);
    FDateFormat->SetDateForTime(dtOnePerDay);
    FDateFormat->SetDateOrder(doDDMMYY);
    FDateFormat->OnChange = std::move(dateChange);
    FDecPlaces = -2;
    FTrimTrailingZeros = false;
    FLogarithmic = false;
    FLabelType = ftNum;
    FFont.OnChange = nullptr;
    FFont = TFont();
    FFont.OnChange = [this](TFont&) { Changed(); };
    FMinTicks = 3;
    FLoading = true;
    FRangeLow = 0.0;
    FRangeHigh = 1.0;
    FShortTicks = true;
    FScaleInscript.clear();
    FScaleType = sctXT;
    FScalePosVert = 0;
    FScalePosHoriz = 0;
    FMinRange = 1e-10;
    FMouseAction = maNone;
    FUserTickText.clear();
    FVisible = false;
}

void TScaleProps::Changed()
{
    if (OnChange) OnChange(this);
}

void TScaleProps::SetCaption(const std::string& value)
{
    FCaption = value;
    Changed();
}

void TScaleProps::SetCaptionPosX(int value)
{
    FCaptionPosX = ClampOffset(value);
    Changed();
}

void TScaleProps::SetCaptionPosY(int value)
{
    FCaptionPosY = ClampOffset(value);
    Changed();
}

void TScaleProps::SetCaptionAlignment(TAlignment value)
{
    FCaptionAlignment = value;
    Changed();
}

void TScaleProps::SetCaptionAnchor(TScaleUnitAnchor value)
{
    FCaptionAnchor = value;
    Changed();
}

void TScaleProps::SetColorScale(TColor value)
{
    FColorScale = value;
    Changed();
}

void TScaleProps::SetDateFormat(const TDTLabel& value)
{
    if (&value != FDateFormat.get()) {
        TNotifyEvent own = FDateFormat->OnChange;
        FDateFormat->Assign(value);
        FDateFormat->OnChange = std::move(own);
    }
    Changed();
}

void TScaleProps::SetDecPlaces(int value)
{
    FDecPlaces = std::clamp(value, -3, 12);
    Changed();
}

void TScaleProps::SetTrimTrailingZeros(bool value)
{
    FTrimTrailingZeros = value;
    Changed();
}

void TScaleProps::SetLogarithmic(bool value)
{
    if (!value) {
        FLogarithmic = false;
    } else if (FLoading || (FRangeLow >= kLogFloor && FRangeHigh >= kLogFloor && FLabelType != ftDateTime)) {
        FLogarithmic = true;
    } else if (FRaiseImpossibleLog && FLabelType != ftDateTime) {
        // Switching first and setting the range afterwards must work, so a
        // range with one positive bound is made positive: the other bound
        // goes one decade beyond it. No positive bound at all cannot be mended.
        if (FRangeLow < kLogFloor && FRangeHigh < kLogFloor) throw EQornKurvoError(kLogError);
        if (FRangeLow < kLogFloor)
            FRangeLow = FRangeHigh / 10.0;
        else
            FRangeHigh = FRangeLow / 10.0;
        FLogarithmic = true;
    }
    Changed();
}

bool TScaleProps::RefusedByLog(double low, double high) const
{
    if (!FLogarithmic || (low >= kLogFloor && high >= kLogFloor)) return false;
    if (FRaiseImpossibleLog && !FLoading) throw EQornKurvoError(kLogError);
    return true;
}

void TScaleProps::SetLabelType(TFigType value)
{
    FLabelType = value;
    if (value == ftDateTime) FLogarithmic = false;
    if (value == ftTime) FDecPlaces = 4;
    Changed();
}

void TScaleProps::SetFont(const TFont& value)
{
    if (&value == &FFont) return;
    TFont::OnChange_t own = std::move(FFont.OnChange);
    FFont.OnChange = nullptr;
    FFont = value;
    FFont.OnChange = std::move(own);
    Changed();
}

void TScaleProps::SetMinTicks(int value)
{
    FMinTicks = value;
    Changed();
}

void TScaleProps::SetRangeLow(double value)
{
    if (!std::isfinite(value)) return;  // a range end must be a number
    if (std::fabs(FRangeHigh - value) < FMinRange) {
        if (FRaiseImpossibleLog) RefusedByLog(value, value + FMinRange);
        FRangeLow = value;
        FRangeHigh = value + FMinRange;
    } else if (RefusedByLog(value, FRangeHigh)) {
        // a logarithmic axis keeps its positive bound
    } else {
        FRangeLow = value;
    }
    Changed();
}

void TScaleProps::SetRangeHigh(double value)
{
    if (!std::isfinite(value)) return;
    if (std::fabs(FRangeLow - value) < FMinRange) {
        if (FRaiseImpossibleLog) RefusedByLog(value - FMinRange, value);
        FRangeHigh = value;
        FRangeLow = value - FMinRange;
    } else if (RefusedByLog(FRangeLow, value)) {
    } else {
        FRangeHigh = value;
    }
    Changed();
}

void TScaleProps::SetShortTicks(bool value)
{
    FShortTicks = value;
    Changed();
}

void TScaleProps::SetScaleInscript(const std::string& value)
{
    FScaleInscript = value;
    Changed();
}

int TScaleProps::ScalePos() const { return IsHorizontal(FScaleType) ? FScalePosHoriz : FScalePosVert; }

void TScaleProps::SetScalePos(int value)
{
    if (IsHorizontal(FScaleType))
        FScalePosHoriz = ClampOffset(value);
    else
        FScalePosVert = ClampOffset(value);
    Changed();
}

void TScaleProps::SetMinRange(double value)
{
    if (!(value > kLogFloor) || !std::isfinite(value)) return;
    FMinRange = value;
    if (std::fabs(FRangeHigh - FRangeLow) >= value) return;
    const double centre = (FRangeLow + FRangeHigh) / 2.0;
    FRangeLow = centre - value / 2.0;
    FRangeHigh = centre + value / 2.0;
    Changed();
}

void TScaleProps::SetMouseAction(TMouseActMode value) { FMouseAction = value; }

void TScaleProps::SetUserTickText(const std::string& value)
{
    FUserTickText = value;
    Changed();
}

void TScaleProps::SetVisible(bool value)
{
    FVisible = value;
    Changed();
}

void TScaleProps::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TScaleProps*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    FCaption = other->FCaption;
    FCaptionPosX = other->FCaptionPosX;
    FCaptionPosY = other->FCaptionPosY;
    FCaptionAlignment = other->FCaptionAlignment;
    FCaptionAnchor = other->FCaptionAnchor;
    FColorScale = other->FColorScale;
    OnChange = other->OnChange;
    FDateFormat->Assign(*other->FDateFormat);
    FDecPlaces = other->FDecPlaces;
    FTrimTrailingZeros = other->FTrimTrailingZeros;
    FLogarithmic = other->FLogarithmic;
    FLabelType = other->FLabelType;
    TFont::OnChange_t fontChange = std::move(FFont.OnChange);
    FFont.OnChange = nullptr;
    FFont = other->FFont;
    FFont.OnChange = std::move(fontChange);
    FMinTicks = other->FMinTicks;
    FLoading = other->FLoading;
    FRangeLow = other->FRangeLow;
    FRangeHigh = other->FRangeHigh;
    FShortTicks = other->FShortTicks;
    FScaleInscript = other->FScaleInscript;
    FScaleType = other->FScaleType;
    FScalePosVert = other->FScalePosVert;
    FScalePosHoriz = other->FScalePosHoriz;
    FMinRange = other->FMinRange;
    FUserTickText = other->FUserTickText;
    FVisible = other->FVisible;
}

// ------------------------------------------------------------ subclasses

TScalePropsHoriz::TScalePropsHoriz() { TScalePropsHoriz::Reset(); }

void TScalePropsHoriz::Reset()
{
    FLocation = slBottom;
    TScaleProps::Reset();
}

void TScalePropsHoriz::SetScaleLocation(TScaleLocationHoriz value)
{
    FLocation = value;
    SetScaleType(value == slTop ? sctXB : sctXT);
    Changed();
}

TScalePropsVert::TScalePropsVert() { TScalePropsVert::Reset(); }

void TScalePropsVert::Reset()
{
    FLocation = slLeft;
    TScaleProps::Reset();
}

void TScalePropsVert::SetScaleLocation(TScaleLocationVert value)
{
    FLocation = value;
    SetScaleType(value == slLeft ? sctYR : sctYL);
    Changed();
}

}  // namespace kurvo
