// The time and date/time passes end within the visit bound, record at most
// 250 ticks and keep their visits consistent, for any range: random,
// hostile, reversed, with non-finite ends, on both orientations.
#include "tick_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace kurvo::test {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

constexpr std::size_t kVisitAllowance = MaxTickVisits;

struct TCheck {
    std::size_t Visits = 0;
    bool Message = false;
};

TCheck CheckDateTimeVisits(const TTickSettings& s, const TRecordedPass& pass)
{
    TCheck c;
    c.Visits = pass.Visits.size();
    const bool message = !pass.Visits.empty() && pass.Visits.front().IsMessage;
    if (message) {
        c.Message = true;
        EXPECT_EQ(pass.Visits.size(), 1u);
        EXPECT_EQ(pass.List.NumTicks(), 0);
        const std::string& text = pass.Visits.front().Label;
        EXPECT_TRUE(text == "invalid DateTime scale" || text == "DateTime range is below 1 second") << text;
        const bool valid = s.RangeHigh >= s.RangeLow && s.RangeLow >= -693593 && s.RangeHigh <= 3000000;
        EXPECT_EQ(text == "invalid DateTime scale", !valid);
        return c;
    }
    // A valid range: ascending ticks inside it, every one recorded.
    double previous = -kInf;
    for (const TTickVisit& v : pass.Visits) {
        EXPECT_FALSE(v.IsMessage);
        EXPECT_EQ(v.Pass, tpDateTime);
        EXPECT_TRUE(v.DrawLine);
        EXPECT_EQ(v.Labelled, v.Kind == tkLong);
        if (v.Kind == tkShort) {
            EXPECT_TRUE(v.Label.empty());
            EXPECT_FALSE(v.HasDateLine);
        }
        if (!v.HasDateLine) EXPECT_TRUE(v.DateLine.empty());
        EXPECT_GT(v.Value, previous);
        previous = v.Value;
        EXPECT_GE(v.Value, s.RangeLow - 1e-9);
        EXPECT_LT(v.Value - s.RangeHigh, 1e-8);
    }
    const std::size_t kept = std::min<std::size_t>(pass.Visits.size(), TTickList::MaxTicks);
    EXPECT_EQ(pass.List.NumTicks(), static_cast<int>(kept));
    for (std::size_t i = 0; i < kept; ++i) EXPECT_EQ(pass.List.TickValue(static_cast<int>(i) + 1), pass.Visits[i].Value);
    return c;
}

TCheck CheckTimeVisits(const TTickSettings& s, const TRecordedPass& pass)
{
    TCheck c;
    c.Visits = pass.Visits.size();
    if (pass.Visits.empty()) return c;
    if (pass.Visits.front().Pass != tpTime) {
        // Declined: the numeric passes ran.
        for (const TTickVisit& v : pass.Visits) EXPECT_TRUE(v.Pass == tpLinear || v.Pass == tpLogarithmic);
        return c;
    }
    const double dir = s.RangeHigh > s.RangeLow ? 1.0 : -1.0;
    const double lo = std::fmin(s.RangeLow, s.RangeHigh);
    const double hi = std::fmax(s.RangeLow, s.RangeHigh);
    const double slack = 1e-9 * std::fmax(std::fabs(lo), std::fabs(hi));
    std::vector<double> recorded;
    double lastShort = -dir * kInf, lastLong = -dir * kInf;
    for (const TTickVisit& v : pass.Visits) {
        EXPECT_EQ(v.Pass, tpTime);
        EXPECT_FALSE(v.IsMessage);
        EXPECT_FALSE(v.HasDateLine);
        EXPECT_EQ(v.Labelled, v.Kind == tkLong);
        EXPECT_GE(v.Value, lo - slack);
        EXPECT_LE(v.Value, hi + slack);
        // Shorts first, then longs, each in the direction of the axis.
        double& previous = v.Kind == tkShort ? lastShort : lastLong;
        EXPECT_GE(dir * v.Value, dir * previous);
        previous = v.Value;
        if (v.Kind == tkShort) {
            EXPECT_EQ(lastLong, -dir * kInf) << "short tick after a long one";
            recorded.push_back(v.Value);
        } else {
            EXPECT_FALSE(v.Label.empty());
            EXPECT_TRUE(v.Label[0] == ' ' || v.Label[0] == '-') << v.Label;
            if (!s.ShortTicks) recorded.push_back(v.Value);
        }
    }
    const std::size_t kept = std::min<std::size_t>(recorded.size(), TTickList::MaxTicks);
    EXPECT_EQ(pass.List.NumTicks(), static_cast<int>(kept));
    for (std::size_t i = 0; i < kept; ++i) EXPECT_EQ(pass.List.TickValue(static_cast<int>(i) + 1), recorded[i]);
    return c;
}

TCheck CheckPass(const TTickSettings& s)
{
    SCOPED_TRACE(testing::Message() << "range " << s.RangeLow << " ... " << s.RangeHigh << " MinTicks " << s.MinTicks
                                    << " short " << s.ShortTicks << " vertical " << s.Vertical << " type "
                                    << int(s.LabelType));
    TRecordedPass pass;
    std::size_t visits = 0;
    RunTickPass(s, pass.List, [&](TTickVisit& v) {
        // Stop recording (but keep counting) once the bound is broken, so a
        // runaway pass shows up as a failure rather than exhausting memory.
        if (++visits <= kVisitAllowance) pass.Visits.push_back(v);
    });
    EXPECT_LE(visits, kVisitAllowance);
    EXPECT_LE(pass.List.NumTicks(), TTickList::MaxTicks);
    if (visits > kVisitAllowance) return {visits, false};
    return s.LabelType == ftDateTime ? CheckDateTimeVisits(s, pass) : CheckTimeVisits(s, pass);
}

TTickSettings Settings(TFigType type, double lo, double hi, int minTicks, unsigned flags)
{
    TTickSettings s;
    s.LabelType = type;
    s.RangeLow = lo;
    s.RangeHigh = hi;
    s.MinTicks = minTicks;
    s.ShortTicks = flags & 1;
    s.Vertical = flags & 2;
    s.Logarithmic = flags & 4;
    s.DateFormat.DateForTime = static_cast<TDateForTime>((flags >> 3) % 4);
    s.DateFormat.TimeFormat = static_cast<TTimeFormat>((flags >> 3) % 3);
    return s;
}

TEST(DateTimePassProperty, HostileEndsInEveryCombination)
{
    const double max = std::numeric_limits<double>::max();
    const double ends[] = {0.0,      -0.0,      0.5,       1.0,       -1.0,      1e-9,     45292.0,  45292.0 + 1e-9,
                           -693593,  -693594,   2958465,   2958466,   3000000,   3000001,  -1e6,     1e6,
                           86400.0,  259200.0,  1e12,      -1e12,     1e300,     -1e300,   max,      -max,
                           std::numeric_limits<double>::denorm_min(),  kNaN,     kInf,     -kInf};
    std::size_t total = 0;
    for (const TFigType type : {ftTime, ftDateTime})
        for (const double lo : ends)
            for (const double hi : ends)
                for (const int minTicks : {0, 1, 2, 3, 10, 1000000, -5})
                    for (unsigned flags = 0; flags < 8; ++flags)
                        total += CheckPass(Settings(type, lo, hi, minTicks, flags)).Visits;
    EXPECT_GT(total, 0u);
}

// A random range in one of the shapes that reach the different passes.
std::pair<double, double> RandomRange(std::mt19937_64& rng, TFigType type)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto magnitude = [&](double lo, double hi) { return std::pow(10.0, lo + (hi - lo) * unit(rng)); };
    auto sign = [&] { return rng() % 2 ? -1.0 : 1.0; };
    // Day numbers of the valid range, or seconds around zero.
    const double a = type == ftDateTime ? -693593 + unit(rng) * 3693593 : sign() * magnitude(-4, 7);
    switch (rng() % 6) {
    case 0: return {a, a + magnitude(-9, 7)};  // every level, also past the year 9999
    case 1: return {a, a + magnitude(-9, 1)};  // seconds to days
    case 2: return {a, std::nextafter(a, kInf)};
    case 3: return {sign() * magnitude(-320, 308), sign() * magnitude(-320, 308)};
    case 4: {
        const double special[] = {kNaN, kInf, -kInf, 0.0, -693593.0, 3000000.0};
        return {special[rng() % 6], a};
    }
    default: return {-693593 + unit(rng) * 5, 3000000 - unit(rng) * 5};  // the widest ranges
    }
}

TEST(DateTimePassProperty, RandomRangesEndWithinTheBound)
{
    std::mt19937_64 rng(11);
    std::size_t ticked = 0;
    std::size_t messages = 0;
    for (int i = 0; i < 20000; ++i) {
        const TFigType type = rng() % 2 ? ftTime : ftDateTime;
        auto [lo, hi] = RandomRange(rng, type);
        if (rng() % 4 == 0) std::swap(lo, hi);
        const TTickSettings s =
            Settings(type, lo, hi, static_cast<int>(rng() % 11), static_cast<unsigned>(rng() % 32));
        const TCheck c = CheckPass(s);
        if (c.Message)
            ++messages;
        else if (c.Visits > 0)
            ++ticked;
        if (testing::Test::HasFailure()) break;
    }
    EXPECT_GT(ticked, 10000u);
    EXPECT_GT(messages, 1000u);
}

// Each level of the date/time pass, over ranges that grow from a hundredth
// of a second to the whole valid range, with every MinTicks: never more than
// the visit bound, at most 250 recorded.
TEST(DateTimePassProperty, EveryLevelOverGrowingRanges)
{
    for (const bool vertical : {false, true})
        for (int minTicks = 0; minTicks <= 10; ++minTicks)
            for (double width = 1e-7; width < 3.7e6; width *= 1.37) {
                // At both ends of the valid range.
                CheckPass(Settings(ftDateTime, 3000000 - width, 3000000, minTicks, vertical ? 3 : 1));
                CheckPass(Settings(ftDateTime, -693593, -693593 + width, minTicks, vertical ? 3 : 1));
                if (testing::Test::HasFailure()) return;
            }
}

}  // namespace
}  // namespace kurvo::test
