// The time pass (durations in seconds) and the date/time passes (day
// numbers): time of day, days, months and years, and the messages shown
// instead of ticks.
#include "scale/ticks.h"

#include "base/nicestep.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

namespace kurvo {

namespace {

// --- shared

// Relative widening of the range ends of the time pass.
constexpr double kTimeSlack = 0.999999999;

// A date/time tick may lie this many days beyond RangeHigh.
constexpr double kEndSlack = 1e-8;

// Valid date/time ranges: 1 January of year 1 ... 3000000.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 3000000.0;

// Years are ticked up to this one; its 1 January is the last tick.
constexpr int kLastYear = 9999;

// The step searches divide by MinTicks; 0 (unit steps on numeric axes)
// has no meaning here and counts as 1.
int StepDivisor(int minTicks) { return minTicks < 1 ? 1 : minTicks; }

// Step searches take the largest step not above the range per MinTicks.
// A range that is a whole multiple of a step loses a few ulps to the day
// numbers it is computed from (an hour at day 45292 is 0.99999999994 h);
// the relative slack keeps that step.
bool StepFits(double step, double perMinTicks) { return step <= perMinTicks * (1.0 + 1e-9); }

void Emit(const TTickVisitor& visitor, double value, TTickKind kind, TTickPass pass, std::string label,
          std::string dateLine = {}, bool hasDateLine = false)
{
    if (!visitor) return;
    TTickVisit v;
    v.Value = value;
    v.Kind = kind;
    v.Pass = pass;
    v.Labelled = kind == tkLong;
    v.Label = std::move(label);
    v.HasDateLine = hasDateLine;
    v.DateLine = std::move(dateLine);
    visitor(v);
}

void EmitMessage(const TTickVisitor& visitor, const TTickSettings& s, const char* text,
                 std::vector<std::string> lines)
{
    if (!visitor) return;
    TTickVisit v;
    v.Value = s.RangeLow / 2 + s.RangeHigh / 2;  // halves first: no overflow at the ends of the doubles
    v.Kind = tkLong;
    v.Pass = tpDateTime;
    v.DrawLine = false;
    v.IsMessage = true;
    v.Label = text;
    v.MessageLines = std::move(lines);
    visitor(v);
}

// --- ftTime

struct TTimeRow {
    double Step;  // seconds
    int Short;    // short intervals per step
};

constexpr std::array<TTimeRow, 28> kTimeRows{{
    {0.001, 5}, {0.002, 4}, {0.005, 5}, {0.01, 5},   {0.02, 4},    {0.05, 5},    {0.1, 5},
    {0.2, 4},   {0.5, 5},   {1, 5},     {2, 4},      {5, 5},       {10, 5},      {20, 4},
    {30, 6},    {60, 6},    {120, 6},   {180, 6},    {300, 5},     {600, 5},     {1200, 6},
    {1800, 6},  {3600, 6},  {7200, 4},  {14400, 4},  {21600, 6},   {43200, 6},   {86400, 6},
}};

// Rows 1 ... 9 step below one second and show milliseconds.
constexpr int kLastMillisecondRow = 9;

// The limit at a range end, moved away from the range by a relative 1e-9
// (outwards = towards -inf for the lower end), but by no more than a
// hundredth of the short step: far from zero the relative widening would
// otherwise let ticks outside the axis through.
double Widened(double end, bool outwardsDown, double sub)
{
    const double relative = (end >= 0.0) == outwardsDown ? end * kTimeSlack : end / kTimeSlack;
    const double cap = 0.01 * std::fabs(sub);
    if (std::fabs(relative - end) <= cap) return relative;
    return outwardsDown ? end - cap : end + cap;
}

// --- time of day

enum TClockLevel { clHours, clMinutes, clSeconds, clHundredths };

struct TClockRow {
    double PerDay;  // units per day
    std::array<int, 6> Steps;
    std::array<int, 6> Shorts;  // short step in units, not a count
};

constexpr std::array<TClockRow, 4> kClockRows{{
    {24, {1, 2, 3, 6, 8, 12}, {1, 1, 1, 2, 2, 3}},
    {1440, {1, 2, 5, 10, 20, 30}, {1, 1, 1, 2, 5, 10}},
    {86400, {1, 2, 5, 10, 20, 30}, {1, 1, 1, 2, 5, 10}},
    {8640000, {1, 2, 5, 10, 20, 50}, {1, 1, 1, 5, 10, 10}},
}};

std::string ClockPattern(TClockLevel level, TTimeFormat format, char separator)
{
    const std::string s = QuotedPatternText(separator);
    switch (format) {
    case tfHHhMM:
        switch (level) {
        case clHours: return "h\"h\"";
        case clMinutes: return "h\"h\"nn";
        case clSeconds: return "h\"h\"nn" + s + "ss";
        default: return "h\"h\"nn" + s + "ss.zz";
        }
    case tfAMPM:
        switch (level) {
        case clHours: return "ham/pm";
        case clMinutes: return "h" + s + "nnam/pm";
        case clSeconds: return "h" + s + "nn\".\"ssam/pm";
        default: return "h" + s + "nn\".\"ss.zzam/pm";
        }
    default:
        switch (level) {
        case clHours:
        case clMinutes: return "hh" + s + "nn";
        case clSeconds: return "hh" + s + "nn" + s + "ss";
        default: return "hh" + s + "nn" + s + "ss.zz";
        }
    }
}

// Whether a long tick of the given day of month gets the date line.
bool WantsDateLine(TDateForTime mode, int dayOfMonth, int dayMemory)
{
    switch (mode) {
    case dtOnePerChart: return dayMemory == -1;
    case dtOnePerDay: return dayOfMonth != dayMemory;
    case dtAllTicks: return true;
    default: return false;
    }
}

void RunTimeOfDayPass(const TTickSettings& s, double q, TClockLevel level, TTickList& list,
                      const TTickVisitor& visit)
{
    const TClockRow& row = kClockRows[level];
    const double qu = q * row.PerDay;
    std::size_t pick = 0;
    for (std::size_t i = 0; i < row.Steps.size(); ++i)
        if (StepFits(row.Steps[i], qu)) pick = i;
    const double step = row.Steps[pick];  // units
    const double inc = s.ShortTicks ? row.Shorts[pick] : step;

    // Ticks are whole multiples of inc units counted from the midnight of
    // RangeLow's day, which keeps the long/short test exact. The step
    // divides the units of a day, so a multiple of the step from midnight
    // is also one from day 0. (Short steps divide the step, so starting at
    // the first short multiple not before RangeLow is the same as stepping
    // back from the first long one.)
    const double dayStart = std::floor(s.RangeLow);
    const double tod = (s.RangeLow - dayStart) * row.PerDay;  // also for RangeLow < 0: from its midnight
    auto valueAt = [&](double u) { return dayStart + u / row.PerDay; };
    double u0 = std::ceil((tod - 1e-6) / inc) * inc;          // 1e-6 unit: the rounding of tod
    // Far from day 0 that rounding exceeds 1e-6 unit for seconds and
    // hundredths (a day number near 45000 carries about 6e-5 hundredths),
    // which would skip a tick whose value is RangeLow itself.
    if (valueAt(u0 - inc) >= s.RangeLow) u0 -= inc;

    // Count first; the range per MinTicks bounds this, a huge MinTicks does not.
    int count = 0;
    while (valueAt(u0 + count * inc) - s.RangeHigh < kEndSlack)
        if (++count > MaxTickVisits) return;

    const std::string pattern = ClockPattern(level, s.DateFormat.TimeFormat, s.DateFormat.TimeSeparator);
    const TDateFormatSettings& df = s.DateFormat;
    const std::string datePattern = BuildDateFormat(df.MonthName, df.YearLength, df.DateOrder, df.DateSeparator);
    int dayMemory = -1;  // day of month of the last date line
    for (int i = 0; i < count; ++i) {
        const double u = u0 + i * inc;
        const double v = valueAt(u);
        list.Append(v);
        const bool isLong = !s.ShortTicks || std::fmod(u, step) == 0.0;
        if (!isLong) {
            Emit(visit, v, tkShort, tpDateTime, {});
            continue;
        }
        TDateTimeParts parts;
        DecodeDayNumber(v, parts);
        const bool dateLine = WantsDateLine(df.DateForTime, parts.Date.Day, dayMemory);
        std::string date;
        if (dateLine) {
            date = FormatTickDateTime(datePattern, v);
            dayMemory = parts.Date.Day;
        }
        Emit(visit, v, tkLong, tpDateTime, FormatTickDateTime(pattern, v), std::move(date), dateLine);
    }
}

// --- days, months, years

std::string DayPattern(const TDateFormatSettings& df)
{
    const std::string s = QuotedPatternText(df.DateSeparator);
    const std::string m = df.MonthName ? "mmm" : "mm";
    // ylNone leaves the year out but keeps its separator.
    const std::string y = df.YearLength == ylNone ? "" : df.YearLength == ylYY ? "yy" : "yyyy";
    switch (df.DateOrder) {
    case doMMDDYY: return m + s + "dd" + s + y;
    case doYYMMDD: return y + s + m + s + "dd";
    default: return "dd" + s + m + s + y;
    }
}

std::string MonthPattern(const TDateFormatSettings& df)
{
    const std::string s = QuotedPatternText(df.DateSeparator);
    const std::string m = df.MonthName ? "mmm" : "mm";
    const std::string y = df.YearLength == ylNone ? "" : df.YearLength == ylYY ? "yy" : "yyyy";
    return df.DateOrder == doYYMMDD ? y + s + m : m + s + y;
}

void RunDaysPass(const TTickSettings& s, double q, TTickList& list, const TTickVisitor& visit)
{
    static constexpr std::array<int, 6> kDaySteps{1, 2, 3, 7, 14, 28};
    int c = kDaySteps[0];
    for (int d : kDaySteps)
        if (StepFits(d, q)) c = d;
    const int inc = !s.ShortTicks ? c : (c <= 7 ? 1 : 7);

    // Aligned to 1 January of RangeLow's year.
    const auto lowDay = static_cast<std::int64_t>(std::floor(s.RangeLow));
    const std::int64_t jan1 = DayNumber(CivilDate(lowDay).Year, 1, 1);
    const auto sinceJan1 = static_cast<std::int64_t>(std::trunc(s.RangeLow - static_cast<double>(jan1)));
    const std::int64_t first = jan1 + c * (sinceJan1 / c);
    const std::int64_t phase = ((first % c) + c) % c;

    const double span = (s.RangeHigh - static_cast<double>(first)) / inc;
    if (!(span < MaxTickVisits)) return;
    const int count = static_cast<int>(span) + 2;

    const std::string pattern = DayPattern(s.DateFormat);
    for (int i = 0; i < count; ++i) {
        const std::int64_t day = first + static_cast<std::int64_t>(i) * inc;
        const auto v = static_cast<double>(day);
        if (!(v - s.RangeHigh < kEndSlack)) break;
        if (v < s.RangeLow) continue;
        list.Append(v);
        const bool isShort = s.ShortTicks && ((day % c) + c) % c != phase;
        if (isShort)
            Emit(visit, v, tkShort, tpDateTime, {});
        else
            Emit(visit, v, tkLong, tpDateTime, FormatTickDateTime(pattern, v));
    }
}

void RunMonthsPass(const TTickSettings& s, int minTicks, TTickList& list, const TTickVisitor& visit)
{
    static constexpr std::array<int, 5> kMonthSteps{1, 2, 3, 4, 6};
    const double qm = (s.RangeHigh - s.RangeLow) / 30.4375 / minTicks;
    int k = 1;
    for (int m : kMonthSteps)
        if (StepFits(m, qm)) k = m;

    const TCivilDate low = CivilDate(static_cast<std::int64_t>(std::floor(s.RangeLow)));
    // Months counted from year 0, so that stepping is one addition.
    std::int64_t month = static_cast<std::int64_t>(low.Year) * 12 + (low.Month - 1);
    auto monthOfYear = [](std::int64_t m) { return static_cast<int>(m % 12) + 1; };
    if (k > 1 && !s.ShortTicks) {
        do {
            ++month;
        } while (monthOfYear(month) % k != 1);
    }
    const int inc = s.ShortTicks ? 1 : k;
    auto firstOf = [](std::int64_t m) {
        return static_cast<double>(DayNumber(static_cast<int>(m / 12), static_cast<int>(m % 12) + 1, 1));
    };

    // A month has at least 28 days.
    const double span = (s.RangeHigh - firstOf(month)) / (28.0 * inc);
    if (!(span < MaxTickVisits)) return;
    const int count = static_cast<int>(span) + 2;

    const std::string pattern = MonthPattern(s.DateFormat);
    for (int i = 0; i < count; ++i, month += inc) {
        const double v = firstOf(month);
        if (!(v - s.RangeHigh < kEndSlack)) break;
        if (v < s.RangeLow) continue;
        list.Append(v);
        const bool isShort = s.ShortTicks && k != 1 && monthOfYear(month) % k != 1;
        if (isShort)
            Emit(visit, v, tkShort, tpDateTime, {});
        else
            Emit(visit, v, tkLong, tpDateTime, FormatTickDateTime(pattern, v));
    }
}

void RunYearsPass(const TTickSettings& s, int minTicks, TTickList& list, const TTickVisitor& visit)
{
    const double qy = std::fmax(1.0, (s.RangeHigh - s.RangeLow) / 365.25 / minTicks);
    // 1, 2 or 5 times a power of ten, the largest not above qy. The
    // mantissa is taken by division rather than from log10's fraction, so
    // that exactly 2 or 5 is not lost to rounding.
    int e = static_cast<int>(std::floor(std::log10(qy)));
    double mantissa = qy / PowerOfTen(e);
    if (mantissa < 1.0) mantissa = qy / PowerOfTen(--e);
    if (mantissa >= 10.0) mantissa = qy / PowerOfTen(++e);
    const int f = mantissa >= 5.0 ? 5 : mantissa >= 2.0 ? 2 : 1;
    // qy is at most about 10112 (the widest valid range in single years).
    const auto n = static_cast<int>(std::llround(PowerOfTen(e) * f));
    int v = n;
    if (s.ShortTicks && n > 1) v = static_cast<int>(std::llround(f == 5 ? n / 5.0 : n / 2.0));

    const TCivilDate low = CivilDate(static_cast<std::int64_t>(std::floor(s.RangeLow)));
    int year = (low.Year + v - 1) / v * v;  // low.Year >= 1
    // The date decides, not the time: RangeLow at any time of 1 January
    // keeps that day's tick, less than a day before the axis starts.
    if (year == low.Year && (low.Month != 1 || low.Day != 1)) year += v;

    // The pass ends after the year 9999 (or RangeHigh's year, if earlier).
    const int highYear = CivilDate(static_cast<std::int64_t>(std::floor(s.RangeHigh))).Year;
    if (year <= kLastYear && (std::min(highYear, kLastYear) - year) / v + 1 > MaxTickVisits) return;

    const TYearLength yl = s.DateFormat.YearLength;
    for (; year <= kLastYear; year += v) {
        const auto value = static_cast<double>(DayNumber(year, 1, 1));
        if (!(value - s.RangeHigh < kEndSlack)) break;
        list.Append(value);
        if (s.ShortTicks && year % n != 0) {
            Emit(visit, value, tkShort, tpDateTime, {});
            continue;
        }
        std::string label;
        if (yl == ylYY) {
            label = FormatTickDateTime("yy", value);
        } else if (yl == ylYYYY) {
            label = FormatTickDateTime("yyyy", value);
            label.erase(0, label.find_first_not_of('0'));
        }
        Emit(visit, value, tkLong, tpDateTime, std::move(label));
    }
}

}  // namespace

// --- ftTime

bool RunTimePass(const TTickSettings& s, TTickList& list, const TTickVisitor& visit)
{
    const double r = std::fabs(s.RangeHigh - s.RangeLow) / StepDivisor(s.MinTicks);
    int row = 0;  // 1-based; 0: below the first step
    for (std::size_t i = 0; i < kTimeRows.size(); ++i)
        if (StepFits(kTimeRows[i].Step, r)) row = static_cast<int>(i) + 1;
    if (row == 0 || row == static_cast<int>(kTimeRows.size())) return false;

    const double lo = s.RangeLow;
    const double hi = s.RangeHigh;
    const double dir = hi > lo ? 1.0 : -1.0;
    const TTimeRow& t = kTimeRows[static_cast<std::size_t>(row - 1)];
    const double step = dir * t.Step;
    const double sub = step / t.Short;

    double first = std::floor(lo / step / kTimeSlack) * step;
    // Far from zero the relative 1/0.999999999 exceeds a step and would put
    // First after RangeLow, or many steps before it; take the plain multiple.
    if (dir * (first - lo) > 0.0 || dir * (lo - first) > 2.0 * t.Step) first = std::floor(lo / step) * step;

    // Both limits are widened away from the range, whichever way it runs.
    const double limLow = Widened(dir > 0 ? lo : hi, true, sub);
    const double limHigh = Widened(dir > 0 ? hi : lo, false, sub);
    auto inside = [&](double v) { return limLow <= v && v <= limHigh; };

    // First may lie up to two steps before RangeLow (a negative RangeLow on
    // a multiple of the step); the walk covers those and 5 sub-steps more.
    const double count = std::trunc((hi - lo) / sub) + 5 + 2 * t.Short;
    // Both walks together stay within the visit bound.
    if (!(2 * (count + 1) <= MaxTickVisits)) return true;
    const int last = static_cast<int>(count);

    if (s.ShortTicks) {
        for (int m = 0; m <= last; ++m) {
            const double v = first + m * sub;
            if (!inside(v)) continue;
            list.Append(v);
            Emit(visit, v, tkShort, tpTime, {});
        }
    }
    const bool withMs = row <= kLastMillisecondRow;
    for (int m = 0; m <= last; ++m) {
        const double v = first + m * sub;
        const double k = v / step;
        if (std::fabs(k - std::nearbyint(k)) > 0.01 || !inside(v)) continue;
        if (!s.ShortTicks) list.Append(v);
        Emit(visit, v, tkLong, tpTime, FormatSeconds(withMs, v));
    }
    return true;
}

// --- ftDateTime

void RunDateTimePass(const TTickSettings& s, TTickList& list, const TTickVisitor& visit)
{
    const double lo = s.RangeLow;
    const double hi = s.RangeHigh;
    if (!(hi >= lo && lo >= kFirstDay && hi <= kLastDay)) {  // also NaN ends
        EmitMessage(visit, s, "invalid DateTime scale", {"invalid", "DateTime", "scale"});
        return;
    }
    const int minTicks = StepDivisor(s.MinTicks);
    const double q = (hi - lo) / minTicks;

    // The thresholds of a vertical axis reach down to hundredths of a second.
    const double tooShort = s.Vertical ? 1.1574074074074074e-7 : 1.1574e-5;
    if (q <= tooShort) {
        EmitMessage(visit, s, "DateTime range is below 1 second", {"DateTime", "range is", "below 1", "second"});
        return;
    }
    if (s.Vertical && q <= 1.1574074074074073e-5)
        RunTimeOfDayPass(s, q, clHundredths, list, visit);
    else if (q <= (s.Vertical ? 6.944444444444445e-4 : 6.9444e-4))
        RunTimeOfDayPass(s, q, clSeconds, list, visit);
    else if (q <= 0.041667)
        RunTimeOfDayPass(s, q, clMinutes, list, visit);
    else if (q <= 1.0)
        RunTimeOfDayPass(s, q, clHours, list, visit);
    else if (q <= 30.0)
        RunDaysPass(s, q, list, visit);
    else if (q <= 366.0)
        RunMonthsPass(s, minTicks, list, visit);
    else
        RunYearsPass(s, minTicks, list, visit);
}

}  // namespace kurvo
