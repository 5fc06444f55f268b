// The time pass (seconds) and the date/time passes (day numbers): which
// ticks exist, which are long, their labels and date lines, the messages,
// and what the tick list records.
#include "scale/Qorn_Scale.h"
#include "tick_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kurvo::test {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kHour = 1.0 / 24;
constexpr double kMinute = 1.0 / 1440;
constexpr double kSecond = 1.0 / 86400;
const double kJan1 = 45292.0;  // 1 January 2024, a Monday

void ExpectValuesNear(const std::vector<double>& actual, const std::vector<double>& expected, double tol = 1e-9)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tol) << "index " << i;
}

TTickSettings Axis(TFigType type, double lo, double hi, int minTicks = 3, bool vertical = false)
{
    TTickSettings s;
    s.LabelType = type;
    s.RangeLow = lo;
    s.RangeHigh = hi;
    s.MinTicks = minTicks;
    s.Vertical = vertical;
    return s;
}

TTickSettings TimeAxis(double lo, double hi, int minTicks = 3) { return Axis(ftTime, lo, hi, minTicks); }
TTickSettings DateAxis(double lo, double hi, int minTicks = 3, bool vertical = false)
{
    return Axis(ftDateTime, lo, hi, minTicks, vertical);
}

template <class F>
TTickSettings With(TTickSettings s, F change)
{
    change(s);
    return s;
}

// "label|date line" per long tick, "label" when it has no date line.
std::vector<std::string> LabelsAndDates(const TRecordedPass& pass)
{
    std::vector<std::string> out;
    for (const TTickVisit& v : pass.Visits)
        if (v.Kind == tkLong) out.push_back(v.HasDateLine ? v.Label + "|" + v.DateLine : v.Label);
    return out;
}

// --- ftTime

struct TimeRow {
    const char* Name;
    TTickSettings Settings;
    std::vector<double> Longs;
    std::vector<std::string> Labels;
    std::vector<double> Shorts;
};

TEST(TimePass, PlacesAndLabelsTicks)
{
    const TimeRow rows[] = {
        {"an hour: row 21, 1200 s in 6 short intervals", TimeAxis(0, 3600), Arith(0, 1200, 4),
         {" 00:00:00", " 00:20:00", " 00:40:00", " 01:00:00"}, Arith(0, 200, 19)},
        {"two seconds: half seconds with milliseconds", TimeAxis(0, 2), Arith(0, 0.5, 5),
         {" 00:00:00.000", " 00:00:00.500", " 00:00:01.000", " 00:00:01.500", " 00:00:02.000"}, Arith(0, 0.1, 21)},
        {"the first row: milliseconds", TimeAxis(0, 0.003), Arith(0, 0.001, 4),
         {" 00:00:00.000", " 00:00:00.001", " 00:00:00.002", " 00:00:00.003"}, Arith(0, 0.0002, 16)},
        {"row 9 still shows milliseconds", TimeAxis(0, 2.9999), Arith(0, 0.5, 6),
         {" 00:00:00.000", " 00:00:00.500", " 00:00:01.000", " 00:00:01.500", " 00:00:02.000", " 00:00:02.500"},
         Arith(0, 0.1, 30)},
        {"row 10, whole seconds, none", TimeAxis(0, 3), Arith(0, 1, 4),
         {" 00:00:00", " 00:00:01", " 00:00:02", " 00:00:03"}, Arith(0, 0.2, 16)},
        {"row 27: half days, hours beyond 24", TimeAxis(0, 129600), Arith(0, 43200, 4),
         {" 00:00:00", " 12:00:00", " 24:00:00", " 36:00:00"}, Arith(0, 7200, 19)},
        {"negative start on a multiple of the step", TimeAxis(-1200, 2400), Arith(-1200, 1200, 4),
         {"-00:20:00", " 00:00:00", " 00:20:00", " 00:40:00"}, Arith(-1200, 200, 19)},
        {"negative range", TimeAxis(-7, -1), Arith(-6, 2, 3), {"-00:00:06", "-00:00:04", "-00:00:02"},
         Arith(-7, 0.5, 13)},
        {"reversed", TimeAxis(3600, 0), Arith(3600, -1200, 4), {" 01:00:00", " 00:40:00", " 00:20:00", " 00:00:00"},
         Arith(3600, -200, 19)},
        {"start between ticks", TimeAxis(130, 3730), Arith(1200, 1200, 3), {" 00:20:00", " 00:40:00", " 01:00:00"},
         Arith(200, 200, 18)},
        {"MinTicks 0 counts as 1", TimeAxis(0, 1200, 0), Arith(0, 1200, 2), {" 00:00:00", " 00:20:00"},
         Arith(0, 200, 7)},
        {"MinTicks 10", TimeAxis(0, 600, 10), Arith(0, 60, 11),
         {" 00:00:00", " 00:01:00", " 00:02:00", " 00:03:00", " 00:04:00", " 00:05:00", " 00:06:00", " 00:07:00",
          " 00:08:00", " 00:09:00", " 00:10:00"},
         Arith(0, 10, 61)},
        // 1e12 is no multiple of 1200; the first long tick is the first multiple after it.
        {"far from zero", TimeAxis(1e12, 1e12 + 3600), Arith(1e12 + 800, 1200, 3),
         {" 277777778:00:00", " 277777778:20:00", " 277777778:40:00"}, Arith(1e12, 200, 19)},
    };
    for (const TimeRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        ExpectValuesNear(pass.Values(tkLong), row.Longs);
        EXPECT_EQ(pass.LongLabels(), row.Labels);
        ExpectValuesNear(pass.Values(tkShort), row.Shorts);
        // Short ticks first; the list holds them (the long values among them).
        ExpectValuesNear(pass.ListValues(), row.Shorts);
        for (std::size_t i = 0; i < pass.Visits.size(); ++i) {
            const TTickVisit& v = pass.Visits[i];
            EXPECT_EQ(v.Pass, tpTime);
            EXPECT_EQ(v.Labelled, v.Kind == tkLong);
            EXPECT_FALSE(v.IsMessage);
            EXPECT_FALSE(v.HasDateLine);
            if (i < row.Shorts.size()) EXPECT_EQ(v.Kind, tkShort) << i;
        }
    }
}

TEST(TimePass, WithoutShortTicksTheListHoldsTheLongTicks)
{
    const TRecordedPass pass = Record(With(TimeAxis(0, 3600), [](TTickSettings& s) { s.ShortTicks = false; }));
    EXPECT_EQ(pass.Sequence(), "L0: 00:00:00 L1200: 00:20:00 L2400: 00:40:00 L3600: 01:00:00");
    ExpectValuesNear(pass.ListValues(), Arith(0, 1200, 4));
}

TEST(TimePass, LabelsIgnoreTheNumericLabelSettings)
{
    const TTickSettings s = With(TimeAxis(0, 3600), [](TTickSettings& a) {
        a.DecPlaces = 3;
        a.ScaleInscript = "(&)";
        a.UserTickText = "a|b";
        a.Logarithmic = true;  // the time pass runs whatever it says
    });
    EXPECT_EQ(Record(s).LongLabels(), (std::vector<std::string>{" 00:00:00", " 00:20:00", " 00:40:00", " 01:00:00"}));
}

struct DeclineRow {
    const char* Name;
    TTickSettings Settings;
    TTickPass Pass;  // of the numeric pass that runs instead
};

TEST(TimePass, DeclinedRangesGetNumericTicks)
{
    const DeclineRow rows[] = {
        {"a day per MinTicks", TimeAxis(0, 259200), tpLinear},
        {"below a millisecond per MinTicks", TimeAxis(0, 0.0029), tpLinear},
        {"far beyond a day", TimeAxis(-1e9, 1e9), tpLinear},
        {"logarithmic beyond a day", With(TimeAxis(1, 1e6), [](TTickSettings& s) { s.Logarithmic = true; }),
         tpLogarithmic},
    };
    for (const DeclineRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TTickSettings numeric = row.Settings;
        numeric.LabelType = ftNum;
        const TRecordedPass pass = Record(row.Settings);
        ASSERT_FALSE(pass.Visits.empty());
        EXPECT_EQ(pass.Visits.front().Pass, row.Pass);
        EXPECT_EQ(pass.Sequence(), Record(numeric).Sequence());
    }
    // An empty range is declined, and the numeric pass has no ticks for it.
    EXPECT_TRUE(Record(TimeAxis(5, 5)).Visits.empty());
    TTickList list;
    EXPECT_FALSE(RunTimePass(TimeAxis(0, 259200), list, {}));
    EXPECT_TRUE(RunTimePass(TimeAxis(0, 259199), list, {}));
}

// --- ftDateTime: selection and messages

struct MessageRow {
    const char* Name;
    TTickSettings Settings;
    std::string Text;
    std::vector<std::string> Lines;
};

TEST(DateTimePass, MessagesInsteadOfTicks)
{
    const std::vector<std::string> invalid{"invalid", "DateTime", "scale"};
    const std::vector<std::string> tooShort{"DateTime", "range is", "below 1", "second"};
    const MessageRow rows[] = {
        {"reversed", DateAxis(1, 0), "invalid DateTime scale", invalid},
        {"reversed, vertical", DateAxis(1, 0, 3, true), "invalid DateTime scale", invalid},
        {"before 1 January of year 1", DateAxis(-693593.5, 0), "invalid DateTime scale", invalid},
        {"beyond 3000000", DateAxis(0, 3000000.5), "invalid DateTime scale", invalid},
        {"NaN end", DateAxis(kNaN, 1), "invalid DateTime scale", invalid},
        {"below a second per MinTicks, horizontal", DateAxis(0.5, 0.50001), "DateTime range is below 1 second",
         tooShort},
        {"empty range", DateAxis(2, 2), "DateTime range is below 1 second", tooShort},
        {"below a hundredth per MinTicks, vertical", DateAxis(0.5, 0.5 + 3e-7, 3, true),
         "DateTime range is below 1 second", tooShort},
    };
    for (const MessageRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        ASSERT_EQ(pass.Visits.size(), 1u);
        const TTickVisit& v = pass.Visits.front();
        EXPECT_TRUE(v.IsMessage);
        EXPECT_EQ(v.Label, row.Text);
        EXPECT_EQ(v.MessageLines, row.Lines);
        EXPECT_FALSE(v.DrawLine);
        EXPECT_FALSE(v.Labelled);
        EXPECT_EQ(v.Pass, tpDateTime);
        const double middle = (row.Settings.RangeLow + row.Settings.RangeHigh) / 2;
        if (std::isnan(middle))
            EXPECT_TRUE(std::isnan(v.Value));
        else
            EXPECT_DOUBLE_EQ(v.Value, middle);
        EXPECT_EQ(pass.List.NumTicks(), 0);
    }
}

TEST(DateTimePass, RangeLimitsAreValid)
{
    for (const TTickSettings& s : {DateAxis(-693593, -693593 + 30), DateAxis(3000000 - 30, 3000000)}) {
        const TRecordedPass pass = Record(s);
        ASSERT_FALSE(pass.Visits.empty());
        EXPECT_FALSE(pass.Visits.front().IsMessage) << s.RangeLow;
    }
}

struct LevelRow {
    const char* Name;
    TTickSettings Settings;
    std::vector<std::string> Labels;
    double Short;  // distance between visits
};

// Each level over a range that starts on one of its ticks; 12:00 on 1 January 2024.
TEST(DateTimePass, SelectsTheLevelByRangePerMinTicksAndOrientation)
{
    const double noon = kJan1 + 0.5;
    const LevelRow rows[] = {
        {"hundredths, vertical", DateAxis(noon, noon + 0.3 * kSecond, 3, true),
         {"12:00:00.000", "12:00:00.100", "12:00:00.200", "12:00:00.300"}, 0.05 * kSecond},
        {"seconds, vertical", DateAxis(noon, noon + 3 * kSecond, 3, true), {"12:00:00", "12:00:01", "12:00:02", "12:00:03"},
         kSecond},
        {"seconds, horizontal", DateAxis(noon, noon + kMinute), {"12:00:00", "12:00:20", "12:00:40", "12:01:00"},
         5 * kSecond},
        {"minutes", DateAxis(noon, noon + kHour), {"12:00", "12:20", "12:40", "13:00"}, 5 * kMinute},
        {"minutes, just above the seconds threshold", DateAxis(noon, noon + 3 * 6.9445e-4),
         {"12:00", "12:01", "12:02", "12:03"}, kMinute},
        {"hours", DateAxis(noon, noon + 0.25), {"12:00", "14:00", "16:00", "18:00"}, kHour},
        {"days", DateAxis(kJan1, kJan1 + 9), {"01-Jan-2024", "04-Jan-2024", "07-Jan-2024", "10-Jan-2024"}, 1},
        {"months", DateAxis(kJan1, kJan1 + 183), {"Jan-2024", "Mar-2024", "May-2024", "Jul-2024"}, 0},
        {"years", DateAxis(kJan1, DayNumber(2030, 1, 1)), {"2024", "2026", "2028", "2030"}, 0},
    };
    for (const LevelRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        std::vector<std::string> labels;
        for (const TTickVisit& v : pass.Visits) {
            EXPECT_EQ(v.Pass, tpDateTime);
            if (v.Kind == tkLong) labels.push_back(v.Label);
        }
        EXPECT_EQ(labels, row.Labels);
        if (row.Short > 0 && pass.Visits.size() > 1)
            EXPECT_NEAR(pass.Visits[1].Value - pass.Visits[0].Value, row.Short, 1e-9);
    }
    // The horizontal thresholds give a hundredths range the message, and
    // 1.5 s per MinTicks the seconds level.
    EXPECT_TRUE(Record(DateAxis(noon, noon + 0.3 * kSecond)).Visits.front().IsMessage);
    EXPECT_EQ(Record(DateAxis(noon, noon + 4.5 * kSecond)).LongLabels().front(), "12:00:00");
}

// --- time of day

TEST(DateTimePass, OneDayInHours)
{
    const TRecordedPass pass = Record(DateAxis(kJan1, kJan1 + 1));
    ExpectValuesNear(pass.Values(tkLong), Arith(kJan1, 8 * kHour, 4));
    ExpectValuesNear(pass.Values(tkShort), {kJan1 + 2 * kHour, kJan1 + 4 * kHour, kJan1 + 6 * kHour, kJan1 + 10 * kHour,
                                            kJan1 + 12 * kHour, kJan1 + 14 * kHour, kJan1 + 18 * kHour,
                                            kJan1 + 20 * kHour, kJan1 + 22 * kHour});
    // The date line goes under the first label of each day.
    EXPECT_EQ(LabelsAndDates(pass),
              (std::vector<std::string>{"00:00|01-Jan-2024", "08:00", "16:00", "00:00|02-Jan-2024"}));
    // Every visit is recorded, in order.
    ExpectValuesNear(pass.ListValues(), Arith(kJan1, 2 * kHour, 13));
    for (const TTickVisit& v : pass.Visits) {
        EXPECT_EQ(v.Labelled, v.Kind == tkLong);
        if (v.Kind == tkShort) EXPECT_FALSE(v.HasDateLine);
    }
}

TEST(DateTimePass, DayZeroInHours)
{
    EXPECT_EQ(LabelsAndDates(Record(DateAxis(0, 1))),
              (std::vector<std::string>{"00:00|30-Dec-1899", "08:00", "16:00", "00:00|31-Dec-1899"}));
}

struct DateLineRow {
    const char* Name;
    TDateForTime Mode;
    std::vector<std::string> Labels;
};

TEST(DateTimePass, DateLinesPerDateForTime)
{
    // Two days: step 12 h, five long ticks.
    const DateLineRow rows[] = {
        {"never", dtNone, {"00:00", "12:00", "00:00", "12:00", "00:00"}},
        {"once per chart", dtOnePerChart, {"00:00|01-Jan-2024", "12:00", "00:00", "12:00", "00:00"}},
        {"when the day changes", dtOnePerDay,
         {"00:00|01-Jan-2024", "12:00", "00:00|02-Jan-2024", "12:00", "00:00|03-Jan-2024"}},
        {"at every labelled tick", dtAllTicks,
         {"00:00|01-Jan-2024", "12:00|01-Jan-2024", "00:00|02-Jan-2024", "12:00|02-Jan-2024", "00:00|03-Jan-2024"}},
    };
    for (const DateLineRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TTickSettings s = With(DateAxis(kJan1, kJan1 + 2), [&](TTickSettings& a) { a.DateFormat.DateForTime = row.Mode; });
        EXPECT_EQ(LabelsAndDates(Record(s)), row.Labels);
    }
}

TEST(DateTimePass, DateLineFollowsTheDateSettings)
{
    const TTickSettings s = With(DateAxis(kJan1 + 31, kJan1 + 31.25), [](TTickSettings& a) {
        a.DateFormat.DateOrder = doMMDDYY;
        a.DateFormat.MonthName = false;
        a.DateFormat.DateSeparator = '/';
        a.DateFormat.YearLength = ylYY;
    });
    EXPECT_EQ(LabelsAndDates(Record(s)).front(), "00:00|02/01/24");
}

// The day memory compares days of the month: a tick a month later on the
// same day of the month gets no new date line.
TEST(DateTimePass, DayMemoryComparesTheDayOfTheMonth)
{
    TTickList list;
    std::vector<std::string> dates;
    // Hours level over 31 days is not reachable, so check the rule on a
    // pass that spans a month boundary: 31 January 18:00 ... 1 February 06:00.
    const double lo = kJan1 + 30 + 18 * kHour;
    RunTickPass(DateAxis(lo, lo + 0.5), list, [&](TTickVisit& v) {
        if (v.HasDateLine) dates.push_back(v.DateLine);
    });
    EXPECT_EQ(dates, (std::vector<std::string>{"31-Jan-2024", "01-Feb-2024"}));
}

struct ClockRow {
    const char* Name;
    TTimeFormat Format;
    char Separator;
    double Span;  // from noon; three MinTicks intervals
    std::vector<std::string> Labels;
};

TEST(DateTimePass, ClockPatternsByLevelAndTimeFormat)
{
    const ClockRow rows[] = {
        {"hours, 24-hour clock", tfHHMMSS, ':', 0.25, {"12:00", "14:00", "16:00", "18:00"}},
        {"hours, letter h", tfHHhMM, ':', 0.25, {"12h", "14h", "16h", "18h"}},
        {"hours, am/pm", tfAMPM, ':', 0.25, {"12pm", "2pm", "4pm", "6pm"}},
        {"minutes, 24-hour clock, own separator", tfHHMMSS, '.', kHour, {"12.00", "12.20", "12.40", "13.00"}},
        {"minutes, letter h", tfHHhMM, ':', kHour, {"12h00", "12h20", "12h40", "13h00"}},
        {"minutes, am/pm", tfAMPM, ':', kHour, {"12:00pm", "12:20pm", "12:40pm", "1:00pm"}},
        {"seconds, 24-hour clock", tfHHMMSS, ':', kMinute, {"12:00:00", "12:00:20", "12:00:40", "12:01:00"}},
        {"seconds, letter h", tfHHhMM, ':', kMinute, {"12h00:00", "12h00:20", "12h00:40", "12h01:00"}},
        {"seconds, am/pm", tfAMPM, ':', kMinute, {"12:00.00pm", "12:00.20pm", "12:00.40pm", "12:01.00pm"}},
    };
    for (const ClockRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TTickSettings s = With(DateAxis(kJan1 + 0.5, kJan1 + 0.5 + row.Span), [&](TTickSettings& a) {
            a.DateFormat.TimeFormat = row.Format;
            a.DateFormat.TimeSeparator = row.Separator;
            a.DateFormat.DateForTime = dtNone;
        });
        EXPECT_EQ(Record(s).LongLabels(), row.Labels);
    }
}

TEST(DateTimePass, HundredthsPatternsOnAVerticalAxis)
{
    const double t = kJan1 + 0.75;  // 18:00
    const std::pair<TTimeFormat, std::vector<std::string>> rows[] = {
        {tfHHMMSS, {"18:00:00.000", "18:00:00.100", "18:00:00.200", "18:00:00.300"}},
        {tfHHhMM, {"18h00:00.000", "18h00:00.100", "18h00:00.200", "18h00:00.300"}},
        {tfAMPM, {"6:00.00.000pm", "6:00.00.100pm", "6:00.00.200pm", "6:00.00.300pm"}},
    };
    for (const auto& [format, labels] : rows) {
        const TTickSettings s = With(DateAxis(t, t + 0.3 * kSecond, 3, true), [&](TTickSettings& a) {
            a.DateFormat.TimeFormat = format;
            a.DateFormat.DateForTime = dtNone;
        });
        EXPECT_EQ(Record(s).LongLabels(), labels) << int(format);
    }
}

TEST(DateTimePass, TimeOfDayStartsAtTheFirstTickNotBeforeRangeLow)
{
    // 09:10 ... 21:10, step 3 h, shorts every hour: from 10:00, longs from 12:00.
    const double lo = kJan1 + 9 * kHour + 10 * kMinute;
    const TRecordedPass pass = Record(DateAxis(lo, lo + 0.5));
    ExpectValuesNear(pass.Values(tkLong), Arith(kJan1 + 12 * kHour, 3 * kHour, 4));
    EXPECT_NEAR(pass.Visits.front().Value, kJan1 + 10 * kHour, 1e-9);
    EXPECT_NEAR(pass.Visits.back().Value, kJan1 + 21 * kHour, 1e-9);
    // Without short ticks only the long ones, from the first multiple of the step.
    const TRecordedPass longs = Record(With(DateAxis(lo, lo + 0.5), [](TTickSettings& a) { a.ShortTicks = false; }));
    EXPECT_EQ(longs.LongLabels(), (std::vector<std::string>{"12:00", "15:00", "18:00", "21:00"}));
    EXPECT_TRUE(longs.Values(tkShort).empty());
    ExpectValuesNear(longs.ListValues(), longs.Values(tkLong));
}

struct RangeLowTickRow {
    const char* Name;
    TTickSettings Settings;
    std::string FirstLabel;
};

TEST(DateTimePass, TimeOfDayTickAtRangeLowItself)
{
    // RangeLow on a whole hour: its day number is off the exact hour by up
    // to 1e-4 of the smallest unit (hundredths near day 45000, seconds
    // near day 2900000), and the tick at RangeLow must still come first.
    const double twoAm = kJan1 + 2 * kHour;
    const double late = 2900000 + 5 * kHour;
    const RangeLowTickRow rows[] = {
        {"hundredths on a vertical axis", DateAxis(twoAm, twoAm + 0.3 * kSecond, 3, true), "02:00:00.000"},
        {"hundredths without short ticks",
         With(DateAxis(twoAm, twoAm + 0.3 * kSecond, 3, true), [](TTickSettings& a) { a.ShortTicks = false; }),
         "02:00:00.000"},
        {"seconds far from day 0", DateAxis(late, late + 30 * kSecond), "05:00:00"},
        {"seconds far from day 0 on a vertical axis", DateAxis(late, late + 30 * kSecond, 3, true), "05:00:00"},
        {"minutes", DateAxis(twoAm, twoAm + kHour), "02:00"},
    };
    for (const RangeLowTickRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        ASSERT_FALSE(pass.Visits.empty());
        const TTickVisit& first = pass.Visits.front();
        EXPECT_EQ(first.Kind, tkLong);
        EXPECT_NEAR(first.Value, row.Settings.RangeLow, 1e-9);
        EXPECT_EQ(first.Label, row.FirstLabel);
        // The date line goes with the first labelled tick.
        EXPECT_TRUE(first.HasDateLine);
        EXPECT_DOUBLE_EQ(pass.List.TickValue(1), first.Value);
    }
}

TEST(DateTimePass, TimeOfDayBeforeDayZero)
{
    // 29 December 1899, 06:00 ... 18:00: the time of day counts from that day's midnight.
    const TRecordedPass pass = Record(DateAxis(-0.75, -0.25));
    ExpectValuesNear(pass.Values(tkLong), Arith(-0.75, 3 * kHour, 5));
    EXPECT_EQ(LabelsAndDates(pass), (std::vector<std::string>{"06:00|29-Dec-1899", "09:00", "12:00", "15:00", "18:00"}));
}

TEST(DateTimePass, TimeOfDayEndsWithinATickOfRangeHigh)
{
    // A tick up to 1e-8 days beyond RangeHigh is still visited. From 21:36
    // on 31 December: step 8 h, shorts every 2 h, the last one at midnight.
    const TRecordedPass within = Record(DateAxis(kJan1 - 0.1, kJan1 + 1 - 5e-9));
    EXPECT_EQ(within.LongLabels(), (std::vector<std::string>{"00:00", "08:00", "16:00", "00:00"}));
    EXPECT_EQ(within.Visits.back().Value, kJan1 + 1);
    const TRecordedPass beyond = Record(DateAxis(kJan1 - 0.1, kJan1 + 1 - 2e-8));
    EXPECT_EQ(beyond.LongLabels(), (std::vector<std::string>{"00:00", "08:00", "16:00"}));
    EXPECT_NEAR(beyond.Visits.back().Value, kJan1 + 22 * kHour, 1e-9);
}

// --- days

struct DaysRow {
    const char* Name;
    TTickSettings Settings;
    std::vector<double> Longs;
    std::vector<std::string> Labels;
    double Visit;  // distance between visits
};

TEST(DateTimePass, DaysPass)
{
    const DaysRow rows[] = {
        {"90 days from 1 January: step 28", DateAxis(kJan1, kJan1 + 90), Arith(kJan1, 28, 4),
         {"01-Jan-2024", "29-Jan-2024", "26-Feb-2024", "25-Mar-2024"}, 7},
        {"90 days from day 0: aligned to 1 January 1899", DateAxis(0, 90), Arith(1, 28, 4),
         {"31-Dec-1899", "28-Jan-1900", "25-Feb-1900", "25-Mar-1900"}, 7},
        {"two days per MinTicks", DateAxis(kJan1, kJan1 + 6), Arith(kJan1, 2, 4),
         {"01-Jan-2024", "03-Jan-2024", "05-Jan-2024", "07-Jan-2024"}, 1},
        {"a week per MinTicks, mid-year", DateAxis(kJan1 + 40.5, kJan1 + 61.5), Arith(kJan1 + 42, 7, 3),
         {"12-Feb-2024", "19-Feb-2024", "26-Feb-2024"}, 1},
        {"no year", With(DateAxis(kJan1, kJan1 + 6), [](TTickSettings& s) { s.DateFormat.YearLength = ylNone; }),
         Arith(kJan1, 2, 4), {"01-Jan-", "03-Jan-", "05-Jan-", "07-Jan-"}, 1},
        {"month first, numbers", With(DateAxis(kJan1, kJan1 + 6), [](TTickSettings& s) {
             s.DateFormat.DateOrder = doMMDDYY;
             s.DateFormat.MonthName = false;
             s.DateFormat.DateSeparator = '/';
         }),
         Arith(kJan1, 2, 4), {"01/01/2024", "01/03/2024", "01/05/2024", "01/07/2024"}, 1},
        {"year first, two digits, no year", With(DateAxis(kJan1, kJan1 + 6), [](TTickSettings& s) {
             s.DateFormat.DateOrder = doYYMMDD;
             s.DateFormat.YearLength = ylNone;
         }),
         Arith(kJan1, 2, 4), {"-Jan-01", "-Jan-03", "-Jan-05", "-Jan-07"}, 1},
        {"without short ticks", With(DateAxis(kJan1, kJan1 + 90), [](TTickSettings& s) { s.ShortTicks = false; }),
         Arith(kJan1, 28, 4), {"01-Jan-2024", "29-Jan-2024", "26-Feb-2024", "25-Mar-2024"}, 28},
        {"before day 0", DateAxis(-30, 0), Arith(-27, 7, 4), {"03-Dec-1899", "10-Dec-1899", "17-Dec-1899", "24-Dec-1899"},
         1},
    };
    for (const DaysRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        ExpectValuesNear(pass.Values(tkLong), row.Longs);
        EXPECT_EQ(pass.LongLabels(), row.Labels);
        ASSERT_GT(pass.Visits.size(), 1u);
        EXPECT_EQ(pass.Visits[1].Value - pass.Visits[0].Value, row.Visit);
        EXPECT_GE(pass.Visits.front().Value, row.Settings.RangeLow);
        EXPECT_LE(pass.Visits.back().Value, row.Settings.RangeHigh);
        std::vector<double> all;
        for (const TTickVisit& v : pass.Visits) all.push_back(v.Value);
        EXPECT_EQ(pass.ListValues(), all);
    }
}

// --- months

struct MonthsRow {
    const char* Name;
    TTickSettings Settings;
    std::vector<std::string> Labels;
    int Shorts;
};

TEST(DateTimePass, MonthsPass)
{
    const double jan2025 = DayNumber(2025, 1, 1);
    const MonthsRow rows[] = {
        {"a year: four-month steps from January", DateAxis(kJan1, jan2025),
         {"Jan-2024", "May-2024", "Sep-2024", "Jan-2025"}, 9},
        {"without short ticks the first long month comes after RangeLow's",
         With(DateAxis(kJan1, jan2025), [](TTickSettings& s) { s.ShortTicks = false; }),
         {"May-2024", "Sep-2024", "Jan-2025"}, 0},
        {"mid-month start: the month's 1st is before the range", DateAxis(kJan1 + 14, jan2025 + 14),
         {"May-2024", "Sep-2024", "Jan-2025"}, 9},
        {"one-month steps", DateAxis(kJan1, kJan1 + 100), {"Jan-2024", "Feb-2024", "Mar-2024", "Apr-2024"}, 0},
        {"one-month steps without short ticks start at RangeLow's month",
         With(DateAxis(kJan1 + 14, kJan1 + 114), [](TTickSettings& s) { s.ShortTicks = false; }),
         {"Feb-2024", "Mar-2024", "Apr-2024"}, 0},
        {"six-month steps wrap into the next year",
         With(DateAxis(DayNumber(2023, 8, 1), DayNumber(2025, 8, 1)), [](TTickSettings& s) { s.MinTicks = 4; }),
         {"Jan-2024", "Jul-2024", "Jan-2025", "Jul-2025"}, 21},
        {"year first", With(DateAxis(kJan1, jan2025), [](TTickSettings& s) { s.DateFormat.DateOrder = doYYMMDD; }),
         {"2024-Jan", "2024-May", "2024-Sep", "2025-Jan"}, 9},
        {"no year keeps the separator",
         With(DateAxis(kJan1, jan2025), [](TTickSettings& s) { s.DateFormat.YearLength = ylNone; }),
         {"Jan-", "May-", "Sep-", "Jan-"}, 9},
        {"numbers, two-digit year", With(DateAxis(kJan1, jan2025), [](TTickSettings& s) {
             s.DateFormat.MonthName = false;
             s.DateFormat.YearLength = ylYY;
             s.DateFormat.DateSeparator = '/';
         }),
         {"01/24", "05/24", "09/24", "01/25"}, 9},
    };
    for (const MonthsRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        EXPECT_EQ(pass.LongLabels(), row.Labels);
        EXPECT_EQ(static_cast<int>(pass.Values(tkShort).size()), row.Shorts);
        for (const TTickVisit& v : pass.Visits) {
            EXPECT_EQ(CivilDate(static_cast<std::int64_t>(v.Value)).Day, 1) << v.Value;
            EXPECT_GE(v.Value, row.Settings.RangeLow);
            EXPECT_LE(v.Value, row.Settings.RangeHigh);
        }
        EXPECT_EQ(pass.List.NumTicks(), static_cast<int>(pass.Visits.size()));
    }
}

// --- years

struct YearsRow {
    const char* Name;
    TTickSettings Settings;
    std::vector<int> Years;  // every visit
    std::vector<std::string> Labels;
};

TTickSettings YearAxis(int from, int to, int minTicks = 3)
{
    return DateAxis(DayNumber(from, 1, 1), DayNumber(to, 1, 1), minTicks);
}

TEST(DateTimePass, YearsPass)
{
    const YearsRow rows[] = {
        {"ten-year steps, shorts halfway", YearAxis(2000, 2030), {2000, 2005, 2010, 2015, 2020, 2025, 2030},
         {"2000", "2010", "2020", "2030"}},
        {"without short ticks", With(YearAxis(2000, 2030), [](TTickSettings& s) { s.ShortTicks = false; }),
         {2000, 2010, 2020, 2030}, {"2000", "2010", "2020", "2030"}},
        {"two-year steps, shorts every year", YearAxis(2000, 2008), {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008},
         {"2000", "2002", "2004", "2006", "2008"}},
        {"five-year steps, shorts every year", YearAxis(2000, 2016),
         {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010, 2011, 2012, 2013, 2014, 2015, 2016},
         {"2000", "2005", "2010", "2015"}},
        {"fifty-year steps, shorts every ten", YearAxis(1800, 1960),
         {1800, 1810, 1820, 1830, 1840, 1850, 1860, 1870, 1880, 1890, 1900, 1910, 1920, 1930, 1940, 1950, 1960},
         {"1800", "1850", "1900", "1950"}},
        // Gregorian years are shorter than 365.25 days: 300 of them give 99.99 per MinTicks, so 301.
        {"leading zeros removed", YearAxis(700, 1001), {700, 750, 800, 850, 900, 950, 1000},
         {"700", "800", "900", "1000"}},
        {"from year 1", DateAxis(-693593, DayNumber(32, 1, 1)), {5, 10, 15, 20, 25, 30}, {"10", "20", "30"}},
        {"RangeLow after 1 January of a multiple: the next one",
         DateAxis(DayNumber(2000, 6, 1), DayNumber(2031, 6, 1)), {2005, 2010, 2015, 2020, 2025, 2030},
         {"2010", "2020", "2030"}},
        {"RangeLow on 1 January after midnight: that year still comes first",
         DateAxis(DayNumber(2000, 1, 1) + 0.5, DayNumber(2031, 1, 1)), {2000, 2005, 2010, 2015, 2020, 2025, 2030},
         {"2000", "2010", "2020", "2030"}},
        {"RangeLow after 1 January otherwise", DateAxis(DayNumber(2001, 6, 1), DayNumber(2032, 6, 1)),
         {2005, 2010, 2015, 2020, 2025, 2030}, {"2010", "2020", "2030"}},
        {"two digits", With(YearAxis(2000, 2030), [](TTickSettings& s) { s.DateFormat.YearLength = ylYY; }),
         {2000, 2005, 2010, 2015, 2020, 2025, 2030}, {"00", "10", "20", "30"}},
        {"no year: labelled, but empty", With(YearAxis(2000, 2030), [](TTickSettings& s) { s.DateFormat.YearLength = ylNone; }),
         {2000, 2005, 2010, 2015, 2020, 2025, 2030}, {"", "", "", ""}},
        {"MinTicks 0 counts as 1", YearAxis(2000, 2030, 0), {2000, 2010, 2020, 2030}, {"2000", "2020"}},
        {"the pass ends at the year 9999", DateAxis(DayNumber(9000, 1, 1), 3000000),
         {9000, 9100, 9200, 9300, 9400, 9500, 9600, 9700, 9800, 9900}, {"9000", "9200", "9400", "9600", "9800"}},
        {"a range beyond the year 9999 has no ticks", DateAxis(2990000, 3000000, 2), {}, {}},
    };
    for (const YearsRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        std::vector<int> years;
        for (const TTickVisit& v : pass.Visits) {
            const auto day = static_cast<std::int64_t>(v.Value);
            EXPECT_EQ(static_cast<double>(day), v.Value);
            const TCivilDate d = CivilDate(day);
            EXPECT_EQ(d.Month * 100 + d.Day, 101) << v.Value;
            years.push_back(d.Year);
            EXPECT_EQ(v.Labelled, v.Kind == tkLong);
        }
        EXPECT_EQ(years, row.Years);
        EXPECT_EQ(pass.LongLabels(), row.Labels);
        EXPECT_EQ(pass.List.NumTicks(), static_cast<int>(pass.Visits.size()));
    }
}

// --- the axis control hands its date format to the passes

TEST(DateTimePass, AxisControlPassesItsDateFormat)
{
    TScale axis;
    axis.SetLabelType(ftDateTime);
    axis.SetRangeLow(kJan1);
    axis.SetRangeHigh(kJan1 + 6);
    TDTLabel format;
    format.SetDateOrder(doYYMMDD);
    format.SetYearLength(ylYY);
    format.SetMonthName(false);
    format.SetDateSeparator('.');
    format.SetTimeSeparator('h');
    format.SetTimeFormat(tfAMPM);
    format.SetDateForTime(dtAllTicks);
    axis.SetDateFormat(format);
    const TTickSettings s = axis.TickSettings();
    EXPECT_EQ(s.DateFormat.TimeFormat, tfAMPM);
    EXPECT_EQ(s.DateFormat.TimeSeparator, 'h');
    EXPECT_EQ(s.DateFormat.DateForTime, dtAllTicks);
    EXPECT_EQ(Record(s).LongLabels(), (std::vector<std::string>{"24.01.01", "24.01.03", "24.01.05", "24.01.07"}));

    // ylNone with doDDMMYY: day labels end with the separator.
    format.SetDateOrder(doDDMMYY);
    format.SetYearLength(ylNone);
    axis.SetDateFormat(format);
    for (const std::string& label : Record(axis.TickSettings()).LongLabels()) EXPECT_EQ(label.back(), '.') << label;
}

}  // namespace
}  // namespace kurvo::test
