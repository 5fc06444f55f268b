#include "base/dtlabel.h"

namespace kurvo {

void TDTLabel::Changed()
{
    if (OnChange) OnChange(this);
}

void TDTLabel::SetTimeFormat(TTimeFormat value)
{
    FTimeFormat = value;
    Changed();
}

void TDTLabel::SetDateSeparator(char value)
{
    if (FDateSeparator == value) return;
    FDateSeparator = value;
    Changed();
}

void TDTLabel::SetTimeSeparator(char value)
{
    if (FTimeSeparator == value) return;
    FTimeSeparator = value;
    Changed();
}

void TDTLabel::SetYearLength(TYearLength value)
{
    if (FYearLength == value) return;
    FYearLength = value;
    Changed();
}

void TDTLabel::SetMonthName(bool value)
{
    if (FMonthName == value) return;
    FMonthName = value;
    Changed();
}

void TDTLabel::SetDateOrder(TDateOrder value)
{
    FDateOrder = value;
    Changed();
}

void TDTLabel::SetDateForTime(TDateForTime value)
{
    if (FDateForTime == value) return;
    FDateForTime = value;
    Changed();
}

void TDTLabel::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TDTLabel*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    FTimeFormat = other->FTimeFormat;
    FDateSeparator = other->FDateSeparator;
    FTimeSeparator = other->FTimeSeparator;
    FYearLength = other->FYearLength;
    FMonthName = other->FMonthName;
    FDateOrder = other->FDateOrder;
    FDateForTime = other->FDateForTime;
    OnChange = other->OnChange;
}

bool TDTLabel::SameSettings(const TDTLabel& other) const
{
    return FTimeFormat == other.FTimeFormat && FDateSeparator == other.FDateSeparator &&
           FTimeSeparator == other.FTimeSeparator && FYearLength == other.FYearLength &&
           FMonthName == other.FMonthName && FDateOrder == other.FDateOrder && FDateForTime == other.FDateForTime;
}

}  // namespace kurvo
