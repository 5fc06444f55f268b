// The logarithmic tick pass: decade and intermediate ticks, their order,
// labels, and the ranges it hands to the linear pass.
#include "tick_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace kurvo::test {
namespace {

TTickSettings LogAxis(double lo, double hi, int minTicks = 3, int decPlaces = -2)
{
    TTickSettings s;
    s.RangeLow = lo;
    s.RangeHigh = hi;
    s.MinTicks = minTicks;
    s.DecPlaces = decPlaces;
    s.Logarithmic = true;
    return s;
}

TTickSettings With(TTickSettings s, void (*change)(TTickSettings&))
{
    change(s);
    return s;
}

struct LogRow {
    const char* Name;
    TTickSettings Settings;
    const char* Sequence;  // see TRecordedPass::Sequence
};

TEST(LogarithmicPass, VisitsDecadesAndIntermediateFactors)
{
    const LogRow rows[] = {
        {"three decades, MinTicks 3: decades only", LogAxis(1, 1000), "L1:1 L10:10 L100:100 L1000:1000"},
        {"reversed range: same ticks, ascending", LogAxis(1000, 1), "L1:1 L10:10 L100:100 L1000:1000"},
        {"MinTicks 4 on three decades: factors 2 ... 9",
         LogAxis(1, 1000, 4),
         "L1:1 L2:2 S3 S4 L5:5 S6 S7 S8 S9 L10:10 L20:20 S30 S40 L50:50 S60 S70 S80 S90 "
         "L100:100 L200:200 S300 S400 L500:500 S600 S700 S800 S900 L1000:1000"},
        {"automatic decimals, trailing zeros stripped", LogAxis(0.001, 1000),
         "L0.001:0.001 L0.01:0.01 L0.1:0.1 L1:1 L10:10 L100:100 L1000:1000"},
        {"decade exponents", LogAxis(0.001, 1000, 3, -3), "L0.001:-3 L0.01:-2 L0.1:-1 L1:0 L10:1 L100:2 L1000:3"},
        {"decade exponents leave factors 2 and 5 empty", LogAxis(1, 100, 4, -3),
         "L1:0 L2: S3 S4 L5: S6 S7 S8 S9 L10:1 L20: S30 S40 L50: S60 S70 S80 S90 L100:2"},
        {"range not starting on a decade", LogAxis(0.5, 100),
         "L0.5:0.5 S0.6 S0.7 S0.8 S0.9 L1:1 L2:2 S3 S4 L5:5 S6 S7 S8 S9 L10:10 L20:20 S30 S40 L50:50 "
         "S60 S70 S80 S90 L100:100"},
        {"fixed decimals are not stripped", LogAxis(1, 1000, 3, 2), "L1:1.00 L10:10.00 L100:100.00 L1000:1000.00"},
        {"exponent form is not stripped", LogAxis(1, 1e7, 3, -2),
         "L1: 1.0E+00 L10: 1.0E+01 L100: 1.0E+02 L1000: 1.0E+03 L10000: 1.0E+04 L100000: 1.0E+05 "
         "L1000000: 1.0E+06 L10000000: 1.0E+07"},
        {"horizontal, short ticks off: shorts reported but not drawn",
         With(LogAxis(1, 100, 4), [](TTickSettings& s) { s.ShortTicks = false; }),
         "L1:1 L2:2 s3 s4 L5:5 s6 s7 s8 s9 L10:10 L20:20 s30 s40 L50:50 s60 s70 s80 s90 L100:100"},
        {"vertical, short ticks off: shorts not visited",
         With(LogAxis(1, 100, 4),
              [](TTickSettings& s) {
                  s.ShortTicks = false;
                  s.Vertical = true;
              }),
         "L1:1 L2:2 L5:5 L10:10 L20:20 L50:50 L100:100"},
        {"user text counts the labelled ticks",
         With(LogAxis(1, 100, 4),
              [](TTickSettings& s) {
                  s.LabelType = ftUserText;
                  s.UserTickText = "a|b|c|d|e";
              }),
         "L1:a L2:b S3 S4 L5:c S6 S7 S8 S9 L10:d L20:e S30 S40 L50:e S60 S70 S80 S90 L100:e"},
        {"inscript", With(LogAxis(1, 1000), [](TTickSettings& s) { s.ScaleInscript = "[&]"; }),
         "L1:[1] L10:[10] L100:[100] L1000:[1000]"},
        {"no figures", With(LogAxis(1, 1000), [](TTickSettings& s) { s.LabelType = ftNoFigs; }),
         "L1 L10 L100 L1000"},
    };
    for (const LogRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRecordedPass pass = Record(row.Settings);
        EXPECT_EQ(pass.Sequence(), row.Sequence);
        for (const TTickVisit& v : pass.Visits) EXPECT_EQ(v.Pass, tpLogarithmic);
    }
}

struct LogListRow {
    const char* Name;
    bool Vertical;
    bool ShortTicks;
    std::vector<double> List;
};

TEST(LogarithmicPass, TickListHoldsLongTicksAndDrawnShortTicks)
{
    const std::vector<double> all = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    const std::vector<double> longs = {1, 2, 5, 10, 20, 50, 100};
    const LogListRow rows[] = {
        {"horizontal, short ticks on", false, true, all},
        {"vertical, short ticks on", true, true, all},
        {"horizontal, short ticks off", false, false, longs},
        {"vertical, short ticks off", true, false, longs},
    };
    for (const LogListRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TTickSettings s = LogAxis(1, 100, 4);
        s.Vertical = row.Vertical;
        s.ShortTicks = row.ShortTicks;
        const TRecordedPass pass = Record(s);
        ASSERT_EQ(pass.List.NumTicks(), static_cast<int>(row.List.size()));
        for (std::size_t i = 0; i < row.List.size(); ++i)
            EXPECT_DOUBLE_EQ(pass.List.TickValue(static_cast<int>(i) + 1), row.List[i]);
    }
}

struct FallbackRow {
    const char* Name;
    double Low, High;
};

TEST(LogarithmicPass, RangesWithoutWholeDecadesAreTickedLinearly)
{
    const FallbackRow rows[] = {
        {"less than one decade", 2, 15},
        {"less than one decade, reversed", 15, 2},
        {"an end at zero", 0, 100},
        {"a negative end", -10, 1000},
        {"both ends negative", -1000, -1},
    };
    for (const FallbackRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TTickSettings linear = LogAxis(row.Low, row.High);
        linear.Logarithmic = false;
        const TRecordedPass expected = Record(linear);
        const TRecordedPass pass = Record(LogAxis(row.Low, row.High));
        ASSERT_FALSE(pass.Visits.empty());
        EXPECT_EQ(pass.Sequence(), expected.Sequence());
        EXPECT_EQ(pass.ListValues(), expected.ListValues());
        for (const TTickVisit& v : pass.Visits) EXPECT_EQ(v.Pass, tpLinear);
    }
    EXPECT_EQ(Record(LogAxis(2, 15)).Sequence(), "S2 S2.5 S3 S3.5 S4 S4.5 S5 S5.5 S6 S6.5 S7 S7.5 S8 S8.5 S9 S9.5 "
                                                 "S10 S10.5 S11 S11.5 S12 S12.5 S13 S13.5 S14 S14.5 S15 "
                                                 "L2:2.0 L4:4.0 L6:6.0 L8:8.0 L10:10.0 L12:12.0 L14:14.0");
}

TEST(LogarithmicPass, SpansTheWholeRangeOfDoubles)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(Record(LogAxis(nan, 100)).Visits.empty());
    EXPECT_TRUE(Record(LogAxis(1, std::numeric_limits<double>::infinity())).Visits.empty());

    // 601 decades: exponents of three digits do not fit the label.
    const TRecordedPass pass = Record(LogAxis(1e-300, 1e300));
    ASSERT_EQ(pass.Visits.size(), 601u);
    for (std::size_t i = 0; i < pass.Visits.size(); ++i) {
        const TTickVisit& v = pass.Visits[i];
        const int exponent = static_cast<int>(i) - 300;
        EXPECT_EQ(v.Kind, tkLong);
        EXPECT_EQ(v.Value, std::stod("1e" + std::to_string(exponent)));
        char expected[16];
        std::snprintf(expected, sizeof expected, " 1.0E%+03d", exponent);
        EXPECT_EQ(v.Label, std::abs(exponent) >= 100 ? std::string("********") : std::string(expected)) << exponent;
    }
    EXPECT_EQ(pass.List.NumTicks(), TTickList::MaxTicks);

    const TRecordedPass top = Record(LogAxis(1e300, std::numeric_limits<double>::max(), 3, -3));
    EXPECT_EQ(top.Sequence(), "L1e+300:300 L1e+301:301 L1e+302:302 L1e+303:303 L1e+304:304 L1e+305:305 "
                              "L1e+306:306 L1e+307:307 L1e+308:308");

    // From the smallest double: the decade below it is walked but visits nothing.
    const TRecordedPass bottom = Record(LogAxis(5e-324, 1e-300));
    ASSERT_EQ(bottom.Visits.size(), 24u) << bottom.Sequence();
    for (std::size_t i = 0; i < bottom.Visits.size(); ++i) {
        EXPECT_EQ(bottom.Visits[i].Pass, tpLogarithmic);
        EXPECT_EQ(bottom.Visits[i].Kind, tkLong);
        EXPECT_EQ(bottom.Visits[i].Value, std::strtod(("1e" + std::to_string(static_cast<int>(i) - 323)).c_str(), nullptr));
    }
}

// Labels that would overlap are thinned, factors 2 and 5 first, then to
// every 2nd, 5th, 10th, ... decade; ticks stay, fitting labels stay as they
// are. Spans here: `pixels` per decade, labels `extent` pixels long.
TEST(LogarithmicLabels, ThinnedOnlyWhereTheyWouldOverlap)
{
    struct Row {
        const char* Name;
        TTickSettings Settings;
        double Pixels;
        int Extent;
        const char* Sequence;  // "" when it is long: checked by the labelled exponents
        std::vector<int> LabelledExponents;
    };
    const Row rows[] = {
        {"fitting labels stay", LogAxis(1, 1000), 50, 13, "L1:1 L10:10 L100:100 L1000:1000", {}},
        {"just touching is no overlap", LogAxis(1, 1000), 13, 13, "L1:1 L10:10 L100:100 L1000:1000", {}},
        {"every second decade", LogAxis(1, 1000), 12, 13, "L1:1 L10 L100:100 L1000", {}},
        {"factors 2 and 5 go first", LogAxis(1, 100, 4), 40, 13,
         "L1:1 L2 S3 S4 L5 S6 S7 S8 S9 L10:10 L20 S30 S40 L50 S60 S70 S80 S90 L100:100", {}},
        {"every fifth decade", LogAxis(1e-10, 1e10), 4, 13, "", {-10, -5, 0, 5, 10}},
        {"601 decades on 300 pixels", LogAxis(1e-300, 1e300), 0.5, 13, "",
         {-300, -250, -200, -150, -100, -50, 0, 50, 100, 150, 200, 250, 300}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TRecordedPass pass = Record(row.Settings);
        const std::size_t visits = pass.Visits.size();
        ThinLabels(pass.Visits, [&row](const TTickVisit& v) {
            const long long centre = std::llround(std::log10(v.Value) * row.Pixels);
            return std::pair<long long, long long>{centre - row.Extent / 2, centre - row.Extent / 2 + row.Extent - 1};
        });
        EXPECT_EQ(pass.Visits.size(), visits);
        if (*row.Sequence != '\0') {
            EXPECT_EQ(pass.Sequence(), row.Sequence);
            continue;
        }
        std::vector<int> labelled;
        for (const TTickVisit& v : pass.Visits)
            if (v.Labelled) labelled.push_back(static_cast<int>(std::lround(std::log10(v.Value))));
        EXPECT_EQ(labelled, row.LabelledExponents);
    }
}

// Time-of-day labels 10 pixels apart and 13 long keep every other one; the
// date of a day whose first label goes stays under its first label shown.
TEST(TimeOfDayLabels, DateLineMovesToTheFirstLabelShownOfItsDay)
{
    const struct {
        const char* Time;
        const char* Date;  // "" without a date line
    } ticks[] = {{"16:00", "01-Jan"}, {"00:00", "02-Jan"}, {"08:00", ""}, {"16:00", ""}, {"00:00", "03-Jan"}};
    std::vector<TTickVisit> visits;
    for (const auto& t : ticks) {
        TTickVisit v;
        v.Kind = tkLong;
        v.Pass = tpDateTime;
        v.Labelled = true;
        v.Label = t.Time;
        v.HasDateLine = *t.Date != '\0';
        v.DateLine = t.Date;
        v.Value = static_cast<double>(visits.size());
        visits.push_back(v);
    }
    ThinLabels(visits, [](const TTickVisit& v) {
        const long long at = std::llround(v.Value * 10);
        return std::pair<long long, long long>{at, at + 12};
    });
    std::string shown;
    for (const TTickVisit& v : visits)
        shown += v.Labelled ? v.Label + (v.HasDateLine ? "/" + v.DateLine : "") + " " : "- ";
    EXPECT_EQ(shown, "16:00/01-Jan - 08:00/02-Jan - 00:00/03-Jan ");
}

}  // namespace
}  // namespace kurvo::test
