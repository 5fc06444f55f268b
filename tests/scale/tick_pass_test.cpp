// The linear tick pass: where long and short ticks go, their labels, what
// the tick list records, and the pass selection.
#include "tick_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kurvo::test {
namespace {

void ExpectValuesNear(const std::vector<double>& actual, const std::vector<double>& expected, double tol)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tol) << "index " << i;
}

TTickSettings Axis(double lo, double hi, int minTicks = 3, int decPlaces = -2)
{
    TTickSettings s;
    s.RangeLow = lo;
    s.RangeHigh = hi;
    s.MinTicks = minTicks;
    s.DecPlaces = decPlaces;
    return s;
}

struct LinearRow {
    const char* Name;
    TTickSettings Settings;
    std::vector<double> Longs;
    std::vector<std::string> Labels;
    std::vector<double> Shorts;
};

TEST(LinearPass, PlacesAndLabelsTicks)
{
    const LinearRow rows[] = {
        {"0 to 100", Axis(0, 100), Arith(0, 20, 6), {"0", "20", "40", "60", "80", "100"}, Arith(0, 5, 21)},
        {"long tick up to 0.001 step beyond the end", Axis(0, 99.99), Arith(0, 20, 6),
         {"0", "20", "40", "60", "80", "100"}, Arith(0, 5, 20)},
        {"short tick up to 0.001 short step beyond the end", Axis(0, 99.997), Arith(0, 20, 6),
         {"0", "20", "40", "60", "80", "100"}, Arith(0, 5, 21)},
        {"-5 to 5, one decimal", Axis(-5, 5), Arith(-4, 2, 5), {"-4.0", "-2.0", "0.0", "2.0", "4.0"},
         Arith(-5, 0.5, 21)},
        {"MinTicks 5: quotient 20 takes mantissa 1", Axis(0, 100, 5), Arith(0, 10, 11),
         {"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}, Arith(0, 2, 51)},
        {"reversed 100 to 0", Axis(100, 0), Arith(100, -20, 6), {"100", "80", "60", "40", "20", "0"},
         Arith(100, -5, 21)},
        {"-1 to 1, two decimals", Axis(-1, 1), Arith(-1, 0.5, 5), {"-1.00", "-0.50", "0.00", "0.50", "1.00"},
         Arith(-1, 0.1, 21)},
        {"DecPlaces 0 labels whole values only", Axis(0, 1, 3, 0), Arith(0, 0.2, 6), {"0", "", "", "", "", "1"},
         Arith(0, 0.05, 21)},
        {"fixed decimals", Axis(0, 1, 3, 3), Arith(0, 0.2, 6), {"0.000", "0.200", "0.400", "0.600", "0.800", "1.000"},
         Arith(0, 0.05, 21)},
        {"exponent form", Axis(0, 100, 3, -1), Arith(0, 20, 6),
         {" 0.0E+00", " 2.0E+01", " 4.0E+01", " 6.0E+01", " 8.0E+01", " 1.0E+02"}, Arith(0, 5, 21)},
        {"MinTicks 0: the single long tick lies beyond the range", Axis(0.2, 0.5, 0), {1.0}, {"1.00"}, {0.2, 0.4}},
        {"MinTicks 0: unit steps, five shorts each up to width 10", Axis(0, 3, 0), Arith(0, 1, 4),
         {"0.00", "1.00", "2.00", "3.00"}, Arith(0, 0.2, 16)},
        {"MinTicks 0: one short per unit above width 10", Axis(0, 12, 0), Arith(0, 1, 13),
         {"0.0", "1.0", "2.0", "3.0", "4.0", "5.0", "6.0", "7.0", "8.0", "9.0", "10.0", "11.0", "12.0"},
         Arith(0, 1, 13)},
        {"MinTicks 0 reversed: unit steps downwards", Axis(5.5, 0, 0), Arith(5, -1, 6),
         {"5.0", "4.0", "3.0", "2.0", "1.0", "0.0"}, Arith(5.4, -0.2, 28)},
        {"MinTicks 10", Axis(0, 1, 10), Arith(0, 0.1, 11),
         {"0.00", "0.10", "0.20", "0.30", "0.40", "0.50", "0.60", "0.70", "0.80", "0.90", "1.00"},
         Arith(0, 0.02, 51)},
        {"width 1e-50", Axis(0, 1e-50), Arith(0, 2e-51, 6),
         {" 0.0E+00", " 2.0E-51", " 4.0E-51", " 6.0E-51", " 8.0E-51", " 1.0E-50"}, Arith(0, 5e-52, 21)},
        {"1e15 magnitude: labels cut to 14 characters", Axis(1e15, 1e15 + 100), Arith(1e15, 20, 6),
         {"10000000000000", "10000000000000", "10000000000000", "10000000000000", "10000000000000",
          "10000000000001"},
         Arith(1e15, 5, 21)},
        {"reversed at 1e15", Axis(-1e15, -2e15), Arith(-1e15, -2e14, 6),
         {"-1.0E+15", "-1.2E+15", "-1.4E+15", "-1.6E+15", "-1.8E+15", "-2.0E+15"}, Arith(-1e15, -5e13, 21)},
        {"zero on a wide range keeps one decimal", Axis(-200000, 200000, 3, 3), Arith(-200000, 100000, 5),
         {"-200000.000", "-100000.000", "0.0", "100000.000", "200000.000"}, Arith(-200000, 20000, 21)},
        {"zero on a wide range without decimals", Axis(-200000, 200000, 3, 0), Arith(-200000, 100000, 5),
         {"-200000", "-100000", "0", "100000", "200000"}, Arith(-200000, 20000, 21)},
    };
    for (const LinearRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        const double tol = 1e-9 * std::fabs(row.Settings.RangeHigh - row.Settings.RangeLow);
        ExpectValuesNear(pass.Values(tkLong), row.Longs, tol);
        ExpectValuesNear(pass.Values(tkShort), row.Shorts, tol);
        EXPECT_EQ(pass.LongLabels(), row.Labels);
        // All short ticks come first, then the long ones; every visit is drawn.
        bool seenLong = false;
        for (const TTickVisit& v : pass.Visits) {
            EXPECT_FALSE(seenLong && v.Kind == tkShort);
            seenLong = seenLong || v.Kind == tkLong;
            EXPECT_EQ(v.Pass, tpLinear);
            EXPECT_TRUE(v.DrawLine);
            EXPECT_EQ(v.Labelled, v.Kind == tkLong);
        }
    }
}

TEST(LinearPass, ShortTicksOffVisitsLongTicksOnly)
{
    TTickSettings s = Axis(0, 100);
    s.ShortTicks = false;
    const TRecordedPass pass = Record(s);
    EXPECT_EQ(pass.Sequence(), "L0:0 L20:20 L40:40 L60:60 L80:80 L100:100");
}

TEST(LinearPass, LongTickNextToZeroIsExactlyZero)
{
    // First + 2 * Step is -1.4e-17 here, not 0: it is reported as 0.
    const TRecordedPass pass = Record(Axis(-0.1, 0.1));
    const std::vector<double> longs = pass.Values(tkLong);
    ASSERT_EQ(longs.size(), 5u);
    EXPECT_EQ(longs[2], 0.0);
    EXPECT_FALSE(std::signbit(longs[2]));
    EXPECT_EQ(pass.LongLabels()[2], "0.000");
}

struct LabelSourceRow {
    const char* Name;
    TFigType LabelType;
    std::string UserTickText;
    std::string ScaleInscript;
    int DecPlaces;
    std::vector<std::string> Labels;
    bool Labelled;
};

TEST(LinearPass, LabelTextSources)
{
    // -5 ... 5 has the five long ticks -4, -2, 0, 2, 4.
    const LabelSourceRow rows[] = {
        {"user text, last field repeated", ftUserText, "A|B", "", -2, {"A", "B", "B", "B", "B"}, true},
        {"user text ending in a separator", ftUserText, "A|B|", "", -2, {"A", "B", "", "", ""}, true},
        {"empty user text", ftUserText, "", "& kg", -2, {"", "", "", "", ""}, true},
        {"inscript around the number", ftNum, "", "& kg", -2, {"-4.0 kg", "-2.0 kg", "0.0 kg", "2.0 kg", "4.0 kg"},
         true},
        {"inscript in front", ftNum, "", "$", -2, {"$-4.0", "$-2.0", "$0.0", "$2.0", "$4.0"}, true},
        {"no figures", ftNoFigs, "A|B", "$", -2, {"", "", "", "", ""}, false},
    };
    for (const LabelSourceRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TTickSettings s = Axis(-5, 5, 3, row.DecPlaces);
        s.LabelType = row.LabelType;
        s.UserTickText = row.UserTickText;
        s.ScaleInscript = row.ScaleInscript;
        const TRecordedPass pass = Record(s);
        EXPECT_EQ(pass.LongLabels(), row.Labels);
        for (const TTickVisit& v : pass.Visits) EXPECT_EQ(v.Labelled, row.Labelled && v.Kind == tkLong);
    }
}

struct TrimRow {
    const char* Name;
    TTickSettings Settings;
    std::vector<std::string> Labels;
};

TEST(TickPass, TrimTrailingZerosShortensFixedPointLabelsOnly)
{
    const auto trimmed = [](TTickSettings s, bool logarithmic = false) {
        s.TrimTrailingZeros = true;
        s.Logarithmic = logarithmic;
        return s;
    };
    TTickSettings inscript = Axis(-5, 5);
    inscript.ScaleInscript = "&.0 kg";  // the inscript's own zero stays
    const TrimRow rows[] = {
        {"one decimal, zero included", trimmed(Axis(-5, 5)), {"-4", "-2", "0", "2", "4"}},
        {"two decimals", trimmed(Axis(-1, 1)), {"-1", "-0.5", "0", "0.5", "1"}},
        {"fixed decimals", trimmed(Axis(0, 1, 3, 3)), {"0", "0.2", "0.4", "0.6", "0.8", "1"}},
        {"whole numbers keep their zeros", trimmed(Axis(0, 100)), {"0", "20", "40", "60", "80", "100"}},
        {"exponent form stays", trimmed(Axis(0, 100, 3, -1)),
         {" 0.0E+00", " 2.0E+01", " 4.0E+01", " 6.0E+01", " 8.0E+01", " 1.0E+02"}},
        {"zero on a wide range", trimmed(Axis(-200000, 200000, 3, 3)),
         {"-200000", "-100000", "0", "100000", "200000"}},
        {"before the inscript", trimmed(inscript), {"-4.0 kg", "-2.0 kg", "0.0 kg", "2.0 kg", "4.0 kg"}},
        {"logarithmic with fixed decimals", trimmed(Axis(0.01, 10, 3, 3), true), {"0.01", "0.1", "1", "10"}},
        {"off: the decimals DecPlaces chose", Axis(-1, 1), {"-1.00", "-0.50", "0.00", "0.50", "1.00"}},
    };
    for (const TrimRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(Record(row.Settings).LongLabels(), row.Labels);
    }
}

struct RecordingRow {
    const char* Name;
    bool Vertical;
    bool ShortTicks;
    std::vector<double> List;
};

std::vector<double> Concat(std::vector<double> a, const std::vector<double>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(LinearPass, TickListRecordsByOrientation)
{
    const RecordingRow rows[] = {
        {"horizontal with short ticks: the short ticks only", false, true, Arith(0, 5, 21)},
        {"horizontal without short ticks: the long ticks", false, false, Arith(0, 20, 6)},
        {"vertical with short ticks: short, then long ticks", true, true, Concat(Arith(0, 5, 21), Arith(0, 20, 6))},
        {"vertical without short ticks: the long ticks", true, false, Arith(0, 20, 6)},
    };
    for (const RecordingRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TTickSettings s = Axis(0, 100);
        s.Vertical = row.Vertical;
        s.ShortTicks = row.ShortTicks;
        const TRecordedPass pass = Record(s);
        EXPECT_EQ(pass.ListValues(), row.List);
        EXPECT_EQ(pass.List.TickValue(0), 0.0);
        EXPECT_EQ(pass.List.TickValue(pass.List.NumTicks() + 1), 0.0);
    }
}

TEST(LinearPass, TicksBeyondThe250thAreVisitedButNotRecorded)
{
    TTickSettings s = Axis(0, 300, 0);
    s.ShortTicks = false;
    s.Vertical = true;
    const TRecordedPass pass = Record(s);
    EXPECT_EQ(pass.Visits.size(), 301u);
    EXPECT_EQ(pass.List.NumTicks(), TTickList::MaxTicks);
    EXPECT_EQ(pass.List.TickValue(250), 249.0);
    EXPECT_EQ(pass.List.TickValue(251), 0.0);
}

struct BoundRow {
    const char* Name;
    TTickSettings Settings;
    std::size_t Visits;
};

TTickSettings NoShorts(TTickSettings s)
{
    s.ShortTicks = false;
    return s;
}

TEST(LinearPass, RangesThatNeedTooManyOrNoUsableTicksGetNone)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double max = std::numeric_limits<double>::max();
    const BoundRow rows[] = {
        {"4001 unit steps fit without short ticks", NoShorts(Axis(0, 4000, 0)), 4001},
        {"with their 4002 short ticks they do not", Axis(0, 4000, 0), 0},
        {"a billion unit steps", Axis(0, 1e9, 0), 0},
        {"a billion unit steps downwards", Axis(1e9, 0, 0), 0},
        {"step below the spacing of doubles", Axis(1e18, 1e18 + 256), 0},
        {"unit steps below the spacing of doubles", Axis(1e17, 1e17 + 64, 0), 0},
        {"step just above the spacing of doubles", NoShorts(Axis(1e18, 1e18 + 2048, 2)), 3},
        {"not-a-number end", Axis(nan, 1), 0},
        {"infinite end", Axis(0, inf), 0},
        {"both ends infinite", Axis(-inf, inf), 0},
        {"width overflows", Axis(-max, max), 0},
        {"up to the largest double", NoShorts(Axis(0, max)), 4},
        {"equal ends", Axis(5, 5), 0},
        {"width below the smallest double", Axis(0, 5e-324), 0},
    };
    for (const BoundRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        EXPECT_EQ(pass.Visits.size(), row.Visits);
        EXPECT_EQ(pass.List.NumTicks(), std::min<int>(static_cast<int>(row.Visits), TTickList::MaxTicks));
    }
}

TEST(TickPass, StartsWithAnEmptyList)
{
    TTickSettings s = Axis(0, 100);
    TTickList list;
    for (int i = 0; i < 7; ++i) list.Append(i + 1.0);
    s.RangeLow = std::numeric_limits<double>::quiet_NaN();  // a range without ticks
    int visits = 0;
    RunTickPass(s, list, [&visits](TTickVisit&) { ++visits; });
    EXPECT_EQ(visits, 0);
    EXPECT_EQ(list.NumTicks(), 0);
    EXPECT_EQ(list.TickValue(1), 0.0);
}

TEST(TickList, AppendsUpTo250AndResets)
{
    TTickList list;
    EXPECT_EQ(list.NumTicks(), 0);
    for (int i = 1; i <= 260; ++i) list.Append(i);
    EXPECT_EQ(list.NumTicks(), 250);
    EXPECT_EQ(list.TickValue(1), 1.0);
    EXPECT_EQ(list.TickValue(250), 250.0);
    EXPECT_EQ(list.TickValue(251), 0.0);
    EXPECT_EQ(list.TickValue(-3), 0.0);
    list.Reset();
    EXPECT_EQ(list.NumTicks(), 0);
    EXPECT_EQ(list.TickValue(1), 0.0);
    list.Append(4.5);
    EXPECT_EQ(list.TickValue(1), 4.5);
}

}  // namespace
}  // namespace kurvo::test
