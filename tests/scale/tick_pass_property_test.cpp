// Every pass ends, stays within its visit bound and keeps its tick list
// consistent, for any range a user can set or a pan can produce.
#include "tick_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace kurvo::test {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

constexpr std::size_t kVisitAllowance = MaxTickVisits + 8;

// Checks one pass; returns the number of visits.
std::size_t CheckPass(const TTickSettings& s)
{
    SCOPED_TRACE(testing::Message() << "range " << s.RangeLow << " ... " << s.RangeHigh << " MinTicks " << s.MinTicks
                                    << " log " << s.Logarithmic << " short " << s.ShortTicks << " vertical "
                                    << s.Vertical << " type " << int(s.LabelType));
    TRecordedPass pass;
    std::size_t visits = 0;
    RunTickPass(s, pass.List, [&](TTickVisit& v) {
        // Stop recording (but keep counting) once the bound is broken, so a
        // runaway pass shows up as a failure rather than exhausting memory.
        if (++visits <= kVisitAllowance) pass.Visits.push_back(v);
    });
    EXPECT_LE(visits, kVisitAllowance);
    EXPECT_LE(pass.List.NumTicks(), TTickList::MaxTicks);
    if (visits > kVisitAllowance) return visits;

    const bool logPass = !pass.Visits.empty() && pass.Visits.front().Pass == tpLogarithmic;
    const double dir = s.RangeHigh > s.RangeLow ? 1.0 : -1.0;
    const double width = std::fabs(s.RangeHigh - s.RangeLow);
    std::vector<double> recorded;
    double lastShort = -dir * kInf, lastLong = -dir * kInf, last = -kInf;
    for (const TTickVisit& v : pass.Visits) {
        EXPECT_TRUE(std::isfinite(v.Value)) << v.Value;
        EXPECT_EQ(v.Labelled, v.Kind == tkLong && s.LabelType != ftNoFigs);
        if (v.Kind == tkShort) EXPECT_TRUE(v.Label.empty());
        if (s.LabelType != ftUserText) EXPECT_LE(v.Label.size(), 14 + s.ScaleInscript.size());
        if (logPass) {
            // Logarithmic ticks ascend, whatever the direction of the axis.
            EXPECT_EQ(v.Pass, tpLogarithmic);
            EXPECT_GT(v.Value, last);
            last = v.Value;
            EXPECT_TRUE(v.DrawLine || (v.Kind == tkShort && !s.ShortTicks && !s.Vertical));
            if (v.Kind == tkLong || s.ShortTicks) recorded.push_back(v.Value);
        } else {
            // Linear ticks follow the direction of the axis, shorts first.
            EXPECT_EQ(v.Pass, tpLinear);
            EXPECT_TRUE(v.DrawLine);
            double& previous = v.Kind == tkShort ? lastShort : lastLong;
            EXPECT_GE(dir * v.Value, dir * previous);
            previous = v.Value;
            if (v.Kind == tkShort) EXPECT_EQ(lastLong, -dir * kInf) << "short tick after a long one";
            if (v.Kind == tkShort || s.Vertical || !s.ShortTicks) recorded.push_back(v.Value);
        }
    }
    // The list holds the recorded visits in order, up to 250 of them; a long
    // tick reported as exactly 0 may be recorded with its rounding residue.
    const std::size_t kept = std::min<std::size_t>(recorded.size(), TTickList::MaxTicks);
    EXPECT_EQ(pass.List.NumTicks(), static_cast<int>(kept));
    for (std::size_t i = 0; i < kept && i < static_cast<std::size_t>(pass.List.NumTicks()); ++i) {
        const double listed = pass.List.TickValue(static_cast<int>(i) + 1);
        if (recorded[i] == 0.0)
            EXPECT_LE(std::fabs(listed), 1e-14 * width);
        else
            EXPECT_EQ(listed, recorded[i]);
    }
    return visits;
}

TTickSettings Settings(double lo, double hi, int minTicks, unsigned flags, TFigType type = ftNum)
{
    TTickSettings s;
    s.RangeLow = lo;
    s.RangeHigh = hi;
    s.MinTicks = minTicks;
    s.Logarithmic = flags & 1;
    s.ShortTicks = flags & 2;
    s.Vertical = flags & 4;
    s.LabelType = type;
    s.DecPlaces = -2;
    return s;
}

TEST(TickPassProperty, HostileEndsInEveryCombination)
{
    const double max = std::numeric_limits<double>::max();
    const double ends[] = {0.0,   -0.0,   1.0,   -1.0,    0.5,      100.0,   -100.0,  4000.0,  1e9,
                           1e-300, -1e-300, 1e300, -1e300,  max,      -max,    std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(),
                           1e-320, kNaN,   kInf,  -kInf,   1e15,     1e18,    1e18 + 256,
                           9007199254740992.0,   9007199254740994.0};
    std::size_t total = 0;
    for (const double lo : ends)
        for (const double hi : ends)
            for (const int minTicks : {0, 2, 3, 10})
                for (unsigned flags = 0; flags < 8; ++flags) total += CheckPass(Settings(lo, hi, minTicks, flags));
    EXPECT_GT(total, 0u);
}

// A random range: ends of random magnitude, nearly equal ends, ends a few
// doubles apart, denormals, and now and then a non-finite end.
std::pair<double, double> RandomRange(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto magnitude = [&](double lo, double hi) { return std::pow(10.0, lo + (hi - lo) * unit(rng)); };
    auto sign = [&] { return rng() % 2 ? -1.0 : 1.0; };
    const double a = sign() * magnitude(-320, 308);
    switch (rng() % 8) {
    case 0: return {a, sign() * magnitude(-320, 308)};
    case 1: return {a, std::nextafter(a, sign() * kInf)};
    case 2: {
        double b = a;
        for (int i = static_cast<int>(rng() % 600); i > 0; --i) b = std::nextafter(b, kInf);
        return {a, b};
    }
    case 3: return {a, a + sign() * std::fabs(a) * magnitude(-16, -10)};
    case 4: return {sign() * magnitude(-5, 4), sign() * magnitude(-5, 4)};  // what a pan produces
    case 5: return {0.0, sign() * magnitude(0, 7)};  // unit steps over small and huge ranges
    case 6: {
        const double special[] = {kNaN, kInf, -kInf, 0.0, std::numeric_limits<double>::denorm_min()};
        return {special[rng() % 5], a};
    }
    default: return {a, a + sign() * std::fabs(a) * magnitude(-3, 3)};
    }
}

TEST(TickPassProperty, RandomRangesEndWithinTheBound)
{
    std::mt19937_64 rng(7);
    // Time and date/time axes have passes of their own, with their own property test.
    const TFigType types[] = {ftNoFigs, ftNum, ftUserText};
    std::size_t nonEmpty = 0;
    for (int i = 0; i < 20000; ++i) {
        auto [lo, hi] = RandomRange(rng);
        if (rng() % 2) std::swap(lo, hi);
        TTickSettings s = Settings(lo, hi, static_cast<int>(rng() % 11), static_cast<unsigned>(rng() % 8),
                                   types[rng() % 3]);
        s.DecPlaces = static_cast<int>(rng() % 16) - 3;
        s.UserTickText = "a|b|c";
        if (rng() % 4 == 0) s.ScaleInscript = "[&]";
        if (CheckPass(s) > 0) ++nonEmpty;
        if (testing::Test::HasFailure()) break;
    }
    EXPECT_GT(nonEmpty, 10000u);
}

}  // namespace
}  // namespace kurvo::test
