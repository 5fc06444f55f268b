// Date/time label settings of an axis (TimeFormat, separators, year length,
// month names, date order, when time labels get a date line).
#pragma once

#include "../canvas/kurvo_export.h"

#include "../base/enums.h"
#include "../canvas/Qorn_object.h"

namespace kurvo {

/// The layout of date/time tick labels. Every setter raises OnChange; the
/// ones not marked "always notifies" only on a real change.
class KURVO_EXPORT TDTLabel : public TPersistent {
public:
    TDTLabel() = default;
    TDTLabel(const TDTLabel&) = delete;
    TDTLabel& operator=(const TDTLabel&) = delete;
    ~TDTLabel() override { OnChange = nullptr; }

    ///@{
    /// Time-of-day form: tfHHMMSS, tfHHhMM or tfAMPM; default tfHHMMSS.
    TTimeFormat TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(TTimeFormat value);  ///< always notifies
    ///@}
    ///@{
    /// Character between date parts; default '-'.
    char DateSeparator() const { return FDateSeparator; }
    void SetDateSeparator(char value);
    ///@}
    ///@{
    /// Character between time parts; default ':'.
    char TimeSeparator() const { return FTimeSeparator; }
    void SetTimeSeparator(char value);
    ///@}
    ///@{
    /// Digits of the year: ylNone, ylYY or ylYYYY; default ylYYYY.
    TYearLength YearLength() const { return FYearLength; }
    void SetYearLength(TYearLength value);
    ///@}
    ///@{
    /// Month as a name instead of a number; default on.
    bool MonthName() const { return FMonthName; }
    void SetMonthName(bool value);
    ///@}
    ///@{
    /// Order of day, month and year; default doDDMMYY.
    TDateOrder DateOrder() const { return FDateOrder; }
    void SetDateOrder(TDateOrder value);  ///< always notifies
    ///@}
    ///@{
    /// Which ticks carry a date: dtNone, dtOnePerChart, dtOnePerDay or
    /// dtAllTicks; default dtOnePerDay.
    TDateForTime DateForTime() const { return FDateForTime; }
    void SetDateForTime(TDateForTime value);
    ///@}

    /// Copies the seven settings and the OnChange handler from another TDTLabel.
    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TDTLabel"; }

    /// The seven settings are equal.
    bool SameSettings(const TDTLabel& other) const;

    /// Raised after a change of a setting.
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
