// Tick passes: pure functions of an axis's settings and range. A pass
// yields its tick visits in drawing order and records the tick values in a
// tick list; it touches no canvas. The axis painter turns visits into
// lines, labels and events.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../base/enums.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kurvo {

/// Long ticks carry labels; short ticks lie between them.
enum TTickKind : std::uint8_t { tkShort, tkLong };

/// The pass that produced a visit; the painter's order of line, label and
/// event differs between them.
enum TTickPass : std::uint8_t { tpLinear, tpLogarithmic, tpTime, tpDateTime };

/// One tick (or message) of a pass, in drawing order.
struct TTickVisit {
    double Value = 0.0;  ///< world value of the tick
    TTickKind Kind = tkShort;  ///< long or short tick
    TTickPass Pass = tpLinear;  ///< the pass that produced it
    /// False for a logarithmic short tick on a horizontal axis with short
    /// ticks off: its event is raised, but no line is drawn.
    bool DrawLine = true;
    /// The label step runs (long ticks unless LabelType is ftNoFigs), also
    /// for an empty text.
    bool Labelled = false;
    std::string Label;  ///< label text of a labelled tick
    /// Time-of-day passes: a second label line with the date.
    bool HasDateLine = false;
    std::string DateLine;  ///< the date line under a time-of-day label
    /// Date/time passes: instead of ticks, one visit with a message at the
    /// middle value (Value). Label holds it as one line for a horizontal
    /// axis, MessageLines its words for a vertical one. No line, no tick
    /// event, nothing recorded.
    bool IsMessage = false;
    std::vector<std::string> MessageLines;  ///< words of a message on a vertical axis
};

/// The date/time label layout of an axis (the settings of its TDTLabel).
struct TDateFormatSettings {
    TTimeFormat TimeFormat = tfHHMMSS;  ///< time-of-day form
    char DateSeparator = '-';  ///< separator of date parts
    char TimeSeparator = ':';  ///< separator of time parts
    TYearLength YearLength = ylYYYY;  ///< digits of the year
    bool MonthName = true;  ///< month as a name instead of a number
    TDateOrder DateOrder = doDDMMYY;  ///< order of day, month and year
    TDateForTime DateForTime = dtOnePerDay;  ///< which ticks carry a date line
};

/// The axis settings a tick pass reads.
struct TTickSettings {
    double RangeLow = 0.0;  ///< world value at the low end
    double RangeHigh = 100.0;  ///< world value at the high end
    int MinTicks = 3;  ///< least number of long-tick intervals, 0 or 2 ... 10
    bool ShortTicks = true;  ///< short ticks between the long ones
    bool Logarithmic = false;  ///< logarithmic axis
    int DecPlaces = -2;  ///< decimals of numeric labels, -3 ... 12
    TFigType LabelType = ftNum;  ///< kind of labels
    std::string UserTickText;  ///< '|'-separated labels of ftUserText
    std::string ScaleInscript;  ///< text wrapped around numeric labels
    bool TrimTrailingZeros = false;  ///< fixed-point labels lose trailing zeros (2.50 -> 2.5, 4.0 -> 4)
    bool Vertical = false;  ///< vertical axis (message labels are split into lines)
    TDateFormatSettings DateFormat;  ///< layout of date/time labels
};

/// The values of the ticks of the last pass: at most 250 are kept, further
/// ones are visited but not recorded. Copies of an axis share one list.
class KURVO_EXPORT TTickList {
public:
    /// Most values the list keeps.
    static constexpr int MaxTicks = 250;

    TTickList() : FValues(std::make_shared<std::vector<double>>(MaxTicks, 0.0)) {}

    /// Starts a pass: NumTicks 0, 250 zeroed entries.
    void Reset();
    /// Records a value; beyond MaxTicks it is dropped.
    void Append(double value);
    /// Values recorded by the last pass.
    int NumTicks() const { return FNumTicks; }
    /// The index-th value counted from 1; 0.0 outside 1 ... NumTicks.
    double TickValue(int index) const;

private:
    std::shared_ptr<std::vector<double>> FValues;
    int FNumTicks = 0;
};

using TTickVisitor = std::function<void(TTickVisit& visit)>;

/// Upper bound of visits of one pass. A range that would need more (unit
/// steps over a huge range, steps below the spacing of doubles) gets no
/// ticks instead of a pass that does not end.
constexpr int MaxTickVisits = 5000;

/// Runs the pass the settings select (date/time, time, logarithmic or
/// linear), starting with Reset of the list.
KURVO_EXPORT void RunTickPass(const TTickSettings& settings, TTickList& list, const TTickVisitor& visit);

KURVO_EXPORT void RunLinearPass(const TTickSettings& settings, TTickList& list, const TTickVisitor& visit);
KURVO_EXPORT void RunLogarithmicPass(const TTickSettings& settings, TTickList& list, const TTickVisitor& visit);

/// The pixels a label covers along its axis, first and last included; an
/// empty span (first > last) for a label that is not drawn.
using TLabelSpan = std::function<std::pair<long long, long long>(const TTickVisit& visit)>;

/// Thins the labels of a pass (`visits` in pass order) that would overlap
/// on the axis. Every tick stays; a label that goes leaves its visit
/// unlabelled, and labels that do not overlap are left exactly as they are.
/// Logarithmic passes lose the labels of factors 2 and 5 first; then decades
/// are labelled only where the exponent is a multiple of 2, 5, 10, 20, 50,
/// ..., the first of these steps whose labels do not overlap. Other passes
/// keep the labels at multiples of 2, 5, 10, ... label steps, counted from
/// the value 0 where the labels are evenly stepped (0.2, 0.4, ... of the
/// labels 0.1, 0.2, ...) and from the first label otherwise (months, years).
/// The date line of a label that goes moves to the next label that stays.
/// Example: 600 decades on a 300-pixel axis with labels 13 pixels high keep
/// the labels of 10^-300, 10^-250, ..., 10^300.
void ThinLabels(std::vector<TTickVisit>& visits, const TLabelSpan& span);

// --- time and date passes (MinTicks below 1 counts as 1 in both)

/// Ticks of a duration in seconds. Returns false, having visited nothing,
/// when the range per MinTicks lies outside 0.001 s ... 1 day; the numeric
/// passes then tick the axis instead.
KURVO_EXPORT bool RunTimePass(const TTickSettings& settings, TTickList& list, const TTickVisitor& visit);
/// Ticks of day numbers: time of day, days, months or years by the range
/// per MinTicks, or a message visit for an invalid or too short range.
KURVO_EXPORT void RunDateTimePass(const TTickSettings& settings, TTickList& list, const TTickVisitor& visit);

// --- date/time labels

/// Sign place (' ' or '-') and the clock text of |seconds|: hh:nn:ss with
/// at least two hour digits, plus ".zzz" milliseconds when asked.
/// Example: 3723.5 s with milliseconds gives " 01:02:03.500".
KURVO_EXPORT std::string FormatSeconds(bool withMilliseconds, double seconds);

/// Formats a day number (day 0 = 30 December 1899, the fraction the time of
/// day) with a pattern. Tokens: hh and h (hour with and without leading
/// zero; 1 ... 12 when the pattern has am/pm), nn, ss, zz (milliseconds,
/// three digits), am/pm, dd, mm, mmm (Jan ... Dec), yy, yyyy. "Quoted" text
/// is copied (a doubled quote inside stands for one), anything else as it
/// is. The value is rounded to the millisecond; values within 1e-8 of 0 are
/// 0; a negative value counts its time of day forwards from its day's
/// midnight (-0.75 is 29 December 1899, 06:00). Values that are not finite
/// or lie beyond +-1e8 days give an empty text.
KURVO_EXPORT std::string FormatTickDateTime(const std::string& pattern, double value);

/// A character as quoted pattern text: '-' gives "-", a quote """".
KURVO_EXPORT std::string QuotedPatternText(char c);

/// The pattern of the date line under time-of-day labels.
KURVO_EXPORT std::string BuildDateFormat(bool monthName, TYearLength yearLength, TDateOrder dateOrder, char dateSeparator);

// --- civil dates (proleptic Gregorian), day 0 = 30 December 1899

/// A calendar date.
struct TCivilDate {
    int Year = 1899;  ///< year; 1 ... 9999 for the calendar's dates
    int Month = 12;  ///< 1 ... 12
    int Day = 30;    ///< 1 ... 31
};

/// Day number of a date; the month may lie outside 1 ... 12 and carries
/// into the year. Years are meant as 1 ... 9999 but any int year works.
KURVO_EXPORT std::int64_t DayNumber(int year, int month, int day);
/// Date of a whole day number (|day| up to about 7e11).
KURVO_EXPORT TCivilDate CivilDate(std::int64_t day);

/// Date and clock time of a day number.
struct TDateTimeParts {
    TCivilDate Date;  ///< the calendar date
    int Hour = 0;  ///< 0 ... 23
    int Minute = 0;  ///< 0 ... 59
    int Second = 0;  ///< 0 ... 59
    int Millisecond = 0;  ///< 0 ... 999
};
/// The parts of a day number as FormatTickDateTime shows it (rounded to the
/// millisecond). False, with the parts untouched, where it shows nothing.
KURVO_EXPORT bool DecodeDayNumber(double value, TDateTimeParts& parts);
/// "Jan" ... "Dec"; empty outside 1 ... 12.
KURVO_EXPORT std::string ShortMonthName(int month);

// --- label helpers

/// Decimals of a linear axis: DecPlaces other than -2 and -3 as it is;
/// otherwise chosen from the width of A ... B (-1 selects exponent form).
KURVO_EXPORT int AutoDecPlaces(int decPlaces, double a, double b);
/// Decimals of a logarithmic axis: only -2 is automatic.
KURVO_EXPORT int AutoDecPlacesLog(int decPlaces, double a, double b);
/// Fixed-point text with d decimals (d >= 0) or two-digit exponent form (d = -1).
KURVO_EXPORT std::string FormatTickNumber(double v, int d);
/// The k-th '|'-separated field of a user tick text.
KURVO_EXPORT std::string UserTickField(const std::string& text, int k);
/// Labels made of user texts (UserTickText fields, ScaleInscript) are cut to
/// this many bytes, at a character boundary: no axis shows a longer label,
/// and measuring hundreds of huge labels at every paint would stall it.
constexpr std::size_t MaxUserLabelLength = 255;
/// Wraps a label with an inscript: "pre&post" around it, otherwise in front.
KURVO_EXPORT std::string ApplyInscript(const std::string& label, const std::string& inscript);

}  // namespace kurvo
