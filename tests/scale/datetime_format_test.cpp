// Date/time label texts: civil dates of day numbers, clock texts of
// durations, the date pattern language and the date-line pattern.
#include "scale/ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <string>

namespace kurvo::test {
namespace {

constexpr double kMs = 1.0 / 86400000.0;  // one millisecond in days

struct CivilRow {
    int Year, Month, Day;
    std::int64_t Number;
};

TEST(CivilDate, KnownDays)
{
    const CivilRow rows[] = {
        {1, 1, 1, -693593},       {1, 12, 31, -693229},     {4, 2, 29, -692439},  {100, 3, 1, -657375},
        {1600, 2, 29, -109512},   {1700, 3, 1, -72987},     {1899, 12, 29, -1},   {1899, 12, 30, 0},
        {1899, 12, 31, 1},        {1900, 1, 1, 2},          {1900, 2, 28, 60},    {1900, 3, 1, 61},
        {1970, 1, 1, 25569},      {2000, 2, 29, 36585},     {2024, 1, 1, 45292},  {9999, 12, 31, 2958465},
    };
    for (const CivilRow& r : rows) {
        SCOPED_TRACE(testing::Message() << r.Year << "-" << r.Month << "-" << r.Day);
        EXPECT_EQ(DayNumber(r.Year, r.Month, r.Day), r.Number);
        const TCivilDate d = CivilDate(r.Number);
        EXPECT_EQ(d.Year, r.Year);
        EXPECT_EQ(d.Month, r.Month);
        EXPECT_EQ(d.Day, r.Day);
    }
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int MonthLength(int y, int m)
{
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : lengths[m - 1];
}

// Every day from 1 January 1 to 31 December 9999 follows its predecessor
// in the calendar and converts back to its own number.
TEST(CivilDate, RoundTripOverTheWholeRange)
{
    TCivilDate previous = CivilDate(-693594);
    EXPECT_EQ(previous.Year, 0);
    EXPECT_EQ(previous.Month, 12);
    EXPECT_EQ(previous.Day, 31);
    int failures = 0;
    for (std::int64_t n = -693593; n <= 2958465 && failures < 5; ++n) {
        const TCivilDate d = CivilDate(n);
        TCivilDate expected = previous;
        if (++expected.Day > MonthLength(previous.Year, previous.Month)) {
            expected.Day = 1;
            if (++expected.Month > 12) {
                expected.Month = 1;
                ++expected.Year;
            }
        }
        const bool ok = d.Year == expected.Year && d.Month == expected.Month && d.Day == expected.Day &&
                        DayNumber(d.Year, d.Month, d.Day) == n;
        if (!ok) {
            ++failures;
            ADD_FAILURE() << "day " << n << " gives " << d.Year << "-" << d.Month << "-" << d.Day;
        }
        previous = d;
    }
    EXPECT_EQ(previous.Year, 9999);
    EXPECT_EQ(previous.Month, 12);
    EXPECT_EQ(previous.Day, 31);
}

TEST(CivilDate, MonthsOutsideTheYearCarry)
{
    EXPECT_EQ(DayNumber(2023, 13, 1), DayNumber(2024, 1, 1));
    EXPECT_EQ(DayNumber(2024, 0, 1), DayNumber(2023, 12, 1));
    EXPECT_EQ(DayNumber(2024, -11, 1), DayNumber(2023, 1, 1));
    EXPECT_EQ(DayNumber(2024, 25, 1), DayNumber(2026, 1, 1));
}

TEST(CivilDate, ShortMonthNames)
{
    const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(ShortMonthName(m), names[m - 1]);
    EXPECT_EQ(ShortMonthName(0), "");
    EXPECT_EQ(ShortMonthName(13), "");
}

struct PatternRow {
    const char* Name;
    std::string Pattern;
    double Value;
    std::string Text;
};

TEST(FormatTickDateTime, PatternLanguage)
{
    const double jan1 = 45292.0;  // 1 January 2024
    const PatternRow rows[] = {
        {"day 0", "yyyy-mm-dd hh:nn:ss", 0.0, "1899-12-30 00:00:00"},
        {"quoted separators", "dd\"-\"mmm\"-\"yyyy", jan1 + 0.5, "01-Jan-2024"},
        {"two-digit year", "dd.mm.yy", jan1 + 64, "05.03.24"},
        {"two-digit year of 1905", "yy", 1983.0, "05"},
        {"year 1 with four digits", "yyyy-mm-dd", -693593.0, "0001-01-01"},
        {"last millisecond of 9999", "yyyy-mm-dd hh:nn:ss.zz", 2958465.0 + 86399999 * kMs,
         "9999-12-31 23:59:59.999"},
        {"quarter day", "hh\":\"nn", 0.25, "06:00"},
        {"milliseconds, three digits", "ss.zz", 0.5 + 50 * kMs, "00.050"},
        {"hour without leading zero", "h", 0.375, "9"},
        {"hour without leading zero, afternoon", "h", 13.0 / 24, "13"},
        {"midnight, 12-hour clock", "ham/pm", 0.0, "12am"},
        {"noon is pm", "ham/pm", 0.5, "12pm"},
        {"afternoon, 12-hour clock", "h\":\"nnam/pm", (13 * 60 + 5) / 1440.0, "1:05pm"},
        {"half past midnight", "h\":\"nnam/pm", 30 / 1440.0, "12:30am"},
        {"a minute before noon", "h\":\"nnam/pm", (11 * 60 + 59) / 1440.0, "11:59am"},
        {"hh follows the 12-hour clock too", "hham/pm", 14.0 / 24, "02pm"},
        {"hours with the letter h", "h\"h\"nn", 8.5 / 24, "8h30"},
        {"tokens inside quotes are text", "\"dd mm\"dd", 0.0, "dd mm30"},
        {"a doubled quote inside quotes", "\"a\"\"b\"", 0.0, "a\"b"},
        {"empty quotes", "dd\"\"mm", 0.0, "3012"},
        {"unterminated quote runs to the end", "dd\"-x", 0.0, "30-x"},
        {"other characters are copied", "yyyy/mm/dd [x]", 0.0, "1899/12/30 [x]"},
        {"month number and name", "mm mmm", jan1 + 60, "03 Mar"},
        {"leap day", "dd mmm yyyy", 36585.0, "29 Feb 2000"},
        // A negative day's time of day counts forwards from its midnight.
        {"-0.75 is 06:00 on 29 December 1899", "yyyy-mm-dd hh:nn", -0.75, "1899-12-29 06:00"},
        {"-1.25 is 18:00 on 28 December 1899", "yyyy-mm-dd hh:nn", -1.25, "1899-12-28 18:00"},
        {"-1 is midnight of 29 December 1899", "yyyy-mm-dd hh:nn", -1.0, "1899-12-29 00:00"},
        {"a hair before a negative midnight is that midnight", "yyyy-mm-dd hh:nn:ss.zz", -2.0 - 1e-9,
         "1899-12-28 00:00:00.000"},
        {"a hair after it as well", "yyyy-mm-dd hh:nn:ss.zz", -2.0 + 1e-9, "1899-12-28 00:00:00.000"},
        {"within 1e-8 above 0 is day 0", "yyyy-mm-dd hh:nn:ss.zz", 9e-9, "1899-12-30 00:00:00.000"},
        {"within 1e-8 below 0 is day 0", "yyyy-mm-dd hh:nn:ss.zz", -9e-9, "1899-12-30 00:00:00.000"},
        // Rounded to the millisecond before the fields are taken.
        {"a third of a day is 08:00", "hh:nn", 1.0 / 3, "08:00"},
        {"0.4 ms before noon", "hh:nn:ss.zz", 0.5 - 0.4 * kMs, "12:00:00.000"},
        {"0.6 ms before noon", "hh:nn:ss.zz", 0.5 - 0.6 * kMs, "11:59:59.999"},
        {"just before midnight is the next day", "dd hh:nn", 1.0 - 0.1 * kMs, "31 00:00"},
        {"empty pattern", "", 45292.0, ""},
    };
    for (const PatternRow& r : rows) EXPECT_EQ(FormatTickDateTime(r.Pattern, r.Value), r.Text) << r.Name;
}

TEST(FormatTickDateTime, ValuesThatAreNoDatesGiveNoText)
{
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), 1e9, -1e9, 1e300};
    for (const double v : values) EXPECT_EQ(FormatTickDateTime("yyyy hh", v), "") << v;
    // Just inside the bound a text is produced.
    EXPECT_FALSE(FormatTickDateTime("yyyy", 9.9e7).empty());
}

TEST(DecodeDayNumber, AgreesWithTheFormattedText)
{
    TDateTimeParts p;
    ASSERT_TRUE(DecodeDayNumber(-0.75, p));
    EXPECT_EQ(p.Date.Year, 1899);
    EXPECT_EQ(p.Date.Month, 12);
    EXPECT_EQ(p.Date.Day, 29);
    EXPECT_EQ(p.Hour, 6);
    ASSERT_TRUE(DecodeDayNumber(45292.0 + (3600 + 2 * 60 + 3.25) / 86400.0, p));
    EXPECT_EQ(p.Date.Day, 1);
    EXPECT_EQ(p.Hour, 1);
    EXPECT_EQ(p.Minute, 2);
    EXPECT_EQ(p.Second, 3);
    EXPECT_EQ(p.Millisecond, 250);
    TDateTimeParts untouched;
    untouched.Hour = 17;
    EXPECT_FALSE(DecodeDayNumber(std::numeric_limits<double>::quiet_NaN(), untouched));
    EXPECT_EQ(untouched.Hour, 17);
}

struct SecondsRow {
    bool WithMs;
    double Seconds;
    std::string Text;
};

TEST(FormatSeconds, ClockTexts)
{
    const SecondsRow rows[] = {
        {true, 3723.5, " 01:02:03.500"},
        {false, 3723.5, " 01:02:03"},
        {false, 0.0, " 00:00:00"},
        {true, 0.0, " 00:00:00.000"},
        {true, 0.5, " 00:00:00.500"},
        {false, -4.0, "-00:00:04"},
        {false, -1200.0, "-00:20:00"},
        {true, -0.001, "-00:00:00.001"},
        {false, 360000.0, " 100:00:00"},  // hours may exceed 99
        {false, 86399.0, " 23:59:59"},
        {false, 1.9996, " 00:00:01"},  // seconds are truncated
        {true, 1.9996, " 00:00:02.000"},  // milliseconds rounded, carried into the seconds
        {true, 0.0004, " 00:00:00.000"},
        {true, 0.0006, " 00:00:00.001"},
        // The rounding residue of a tick sum does not cost a second.
        {false, -3.9999999999999996, "-00:00:04"},
        {false, 59.9999999999, " 00:01:00"},
        // ... but a real fraction is truncated, however close to the next second.
        {false, 6.9999999, " 00:00:06"},
        {false, 6.999999999, " 00:00:06"},
        // A negative value that shows zero reads as zero.
        {true, -1e-10, " 00:00:00.000"},
        {false, -1e-10, " 00:00:00"},
        {false, -0.0, " 00:00:00"},
    };
    for (const SecondsRow& r : rows)
        EXPECT_EQ(FormatSeconds(r.WithMs, r.Seconds), r.Text) << r.Seconds << " ms " << r.WithMs;
}

// Whole seconds at every magnitude from 1 s to 10^12 s: a value a few
// rounding steps off a whole second (a tick sum's own rounding) shows that
// second, a real fraction below it is truncated.
TEST(FormatSeconds, TruncatesRealFractionsAtEveryMagnitude)
{
    EXPECT_EQ(FormatSeconds(false, 1000000000000.9), " 277777777:46:40");
    EXPECT_EQ(FormatSeconds(false, 3000000000.9999), " 833333:20:00");
    EXPECT_EQ(FormatSeconds(false, 999999999999.9), " 277777777:46:39");
    for (int k = 0; k <= 12; ++k) {
        const double whole = std::pow(10.0, k);
        SCOPED_TRACE(whole);
        const std::string at = FormatSeconds(false, whole);
        const std::string before = FormatSeconds(false, whole - 1);
        ASSERT_NE(at, before);
        const double below = whole - std::nextafter(whole, 0.0);  // one rounding step
        const double above = std::nextafter(whole, HUGE_VAL) - whole;
        const struct {
            double Value;
            const std::string& Text;
        } rows[] = {
            {whole - below, at},
            {whole - 3 * below, at},
            {whole - std::fmax(2e-9, 16 * below), before},
            {whole - 0.1, before},
            {whole + above, at},
            {whole + 0.5, at},
            {whole + 1 - std::fmax(2e-9, 16 * above), at},
        };
        for (const auto& row : rows) {
            EXPECT_EQ(FormatSeconds(false, row.Value), row.Text) << std::setprecision(17) << row.Value;
            const std::string negative = row.Text == " 00:00:00" ? row.Text : "-" + row.Text.substr(1);
            EXPECT_EQ(FormatSeconds(false, -row.Value), negative) << std::setprecision(17) << row.Value;
        }
    }
}

TEST(FormatSeconds, HugeAndNonFiniteValues)
{
    EXPECT_EQ(FormatSeconds(false, 36e15), " 10000000000000:00:00");
    EXPECT_EQ(FormatSeconds(true, 36e15 + 8), " 10000000000000:00:08.000");
    // Milliseconds are kept as long as the value has them.
    EXPECT_EQ(FormatSeconds(true, 9000000000000.25), " 2500000000:00:00.250");
    EXPECT_EQ(FormatSeconds(true, 4503599627370495.5), " 1250999896491:48:15.500");
    const std::string huge = FormatSeconds(true, -std::numeric_limits<double>::max());
    EXPECT_EQ(huge.front(), '-');
    EXPECT_GT(huge.size(), 300u);
    EXPECT_EQ(huge.substr(huge.size() - 4), ".000") << huge;
    EXPECT_EQ(FormatSeconds(true, std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(FormatSeconds(false, std::numeric_limits<double>::infinity()), "");
}

struct DateLineRow {
    bool MonthName;
    TYearLength YearLength;
    TDateOrder DateOrder;
    char Separator;
    std::string Pattern;
    std::string Text;  // of 5 March 2024
};

TEST(BuildDateFormat, PatternsAndTheirTexts)
{
    const double march5 = DayNumber(2024, 3, 5);
    const DateLineRow rows[] = {
        {true, ylYYYY, doMMDDYY, '-', "mmm\"-\"dd\"-\"yyyy", "Mar-05-2024"},
        {true, ylYYYY, doDDMMYY, '/', "dd\"/\"mmm\"/\"yyyy", "05/Mar/2024"},
        {false, ylYY, doYYMMDD, '.', "yy\".\"mm\".\"dd", "24.03.05"},
        {false, ylYYYY, doDDMMYY, ' ', "dd\" \"mm\" \"yyyy", "05 03 2024"},
        // Without a year, the year and its separator are left out.
        {true, ylNone, doMMDDYY, '-', "mmm\"-\"dd", "Mar-05"},
        {true, ylNone, doDDMMYY, '-', "dd\"-\"mmm", "05-Mar"},
        {false, ylNone, doYYMMDD, '-', "mm\"-\"dd", "03-05"},
        // Separators that are tokens or quotes stay text.
        {false, ylYY, doDDMMYY, 'm', "dd\"m\"mm\"m\"yy", "05m03m24"},
        {false, ylYY, doDDMMYY, '"', "dd\"\"\"\"mm\"\"\"\"yy", "05\"03\"24"},
    };
    for (const DateLineRow& r : rows) {
        const std::string pattern = BuildDateFormat(r.MonthName, r.YearLength, r.DateOrder, r.Separator);
        EXPECT_EQ(pattern, r.Pattern);
        EXPECT_EQ(FormatTickDateTime(pattern, march5), r.Text) << pattern;
    }
}

}  // namespace
}  // namespace kurvo::test
