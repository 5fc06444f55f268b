// Date/time label settings of an axis (TimeFormat, separators, year length,
// month names, date order, when time labels get a date line).
#pragma once

#include "../base/enums.h"
#include "../canvas/Qorn_object.h"

namespace kurvo {

class TDTLabel : public TPersistent {
public:
    TDTLabel() = default;
    TDTLabel(const TDTLabel&) = delete;
    TDTLabel& operator=(const TDTLabel&) = delete;
    ~TDTLabel() override { OnChange = nullptr; }

    TTimeFormat TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(TTimeFormat value);  ///< always notifies
    char DateSeparator() const { return FDateSeparator; }
    void SetDateSeparator(char value);
    char TimeSeparator() const { return FTimeSeparator; }
    void SetTimeSeparator(char value);
    TYearLength YearLength() const { return FYearLength; }
    void SetYearLength(TYearLength value);
    bool MonthName() const { return FMonthName; }
    void SetMonthName(bool value);
    TDateOrder DateOrder() const { return FDateOrder; }
    void SetDateOrder(TDateOrder value);  ///< always notifies
    TDateForTime DateForTime() const { return FDateForTime; }
    void SetDateForTime(TDateForTime value);

    /// Copies the seven settings and the OnChange handler from another TDTLabel.
    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TDTLabel"; }

    /// The seven settings are equal.
    bool SameSettings(const TDTLabel& other) const;

    TNotifyEvent OnChange;

private:
    void Changed();

    TTimeFormat FTimeFormat = tfHHMMSS;
    char FDateSeparator = '-';
    char FTimeSeparator = ':';
    TYearLength FYearLength = ylYYYY;
    bool FMonthName = true;
    TDateOrder FDateOrder = doDDMMYY;
    TDateForTime FDateForTime = dtOnePerDay;
};

}  // namespace kurvo
