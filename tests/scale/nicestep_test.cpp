// The round step of a linear axis and the first long tick.
#include "base/nicestep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace kurvo {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kMax = std::numeric_limits<double>::max();

struct StepRow {
    const char* Name;
    int N;
    double A, B;
    double First, Step;
    int S;
};

TEST(NiceStep, RoundStepsAndFirstTicks)
{
    const StepRow rows[] = {
        {"0 to 100", 3, 0, 100, 0, 20, 4},
        {"-5 to 5", 3, -5, 5, -4, 2, 4},
        {"quotient exactly 20 takes mantissa 1", 5, 0, 100, 0, 10, 5},
        {"reversed", 3, 100, 0, 100, -20, 4},
        {"reversed negative", 3, -7, -93, -20, -20, 4},
        {"mantissa 5", 3, -1, 1, -1, 0.5, 5},
        {"below one", 3, 0, 1, 0, 0.2, 4},
        {"MinTicks 10", 10, 0, 1, 0, 0.1, 5},
        {"quotient exactly 10", 2, 0, 20, 0, 10, 5},
        {"quotient exactly 2 takes mantissa 1", 2, 0, 4, 0, 1, 5},
        {"quotient exactly 5 takes mantissa 2", 2, 0, 10, 0, 2, 4},
        {"quotient just above 5 takes mantissa 5", 2, 0, 10.00001, 0, 5, 5},
        {"quotient a hair below 10 is taken as 10", 2, 0, 19.9999999999, 0, 10, 5},
        {"quotient 0.001", 3, 0, 0.003, 0, 0.001, 5},
        {"quotient a little above 0.0002", 3, 0, 0.0007, 0, 0.0002, 4},
        {"quotient a little below 0.0002", 3, 0, 0.0006, 0, 0.0001, 5},
        {"first multiple after the start", 3, 7, 93, 20, 20, 4},
        {"a tick less than 0.001 step before the start is kept", 3, 4.0009, 10, 4, 1, 5},
        {"a tick further before the start is not", 3, 4.0011, 10, 5, 1, 5},
        {"unit steps", 0, 0, 100, 0, 1, 1},
        {"unit steps: first unit at or after the start", 0, 0.2, 0.5, 1, 1, 5},
        {"unit steps from a negative start", 0, -0.5, 0.7, 0, 1, 5},
        {"unit steps keep a unit 0.001 before the start", 0, 3.0005, 20, 3, 1, 1},
        {"unit steps, width 10 has five shorts", 0, -2.5, 7.5, -2, 1, 5},
        {"unit steps reversed run downwards", 0, 5.5, 0, 5, -1, 5},
        {"unit steps reversed negative", 0, -5.5, -20, -6, -1, 1},
        {"width 1e-50", 3, 1e-50, 2e-50, 1e-50, 2e-51, 4},
        {"1e15 magnitude", 3, 1e15, 1e15 + 100, 1e15, 20, 4},
        {"1e15 wide", 3, -1e15, 1e15, -1e15, 5e14, 5},
        {"1e300", 3, 1e300, 2e300, 1e300, 2e299, 4},
        {"-1e-300 reversed", 3, -1e-300, -2e-300, -1e-300, -2e-301, 4},
        {"up to the largest double", 3, 0, kMax, 0, 5e307, 5},
    };
    for (const StepRow& r : rows) {
        SCOPED_TRACE(r.Name);
        const TNiceStep ns = NiceStep(r.N, r.A, r.B);
        EXPECT_NEAR(ns.Step, r.Step, 1e-12 * std::fabs(r.Step));
        EXPECT_NEAR(ns.First, r.First, 1e-12 * std::fabs(r.Step));
        EXPECT_EQ(ns.S, r.S);
    }
}

struct NoStepRow {
    const char* Name;
    int N;
    double A, B;
};

TEST(NiceStep, NoStepWithoutAUsableRange)
{
    const TNiceStep equal = NiceStep(3, 5, 5);
    EXPECT_EQ(equal.Step, 0.0);
    EXPECT_EQ(equal.First, 5.0);
    EXPECT_EQ(equal.S, 1);

    const NoStepRow rows[] = {
        {"not-a-number start", 3, kNaN, 1},
        {"not-a-number end", 3, 1, kNaN},
        {"both not a number", 0, kNaN, kNaN},
        {"infinite end", 3, 0, kInf},
        {"infinite start", 0, -kInf, 0},
        {"width overflows", 3, -kMax, kMax},
        {"first tick overflows", 2, -1.6e308, 0},
        {"width underflows over N", 3, 0, 5e-324},
        {"step below the spacing of doubles", 3, 1e18, 1e18 + 256},
        {"unit steps below the spacing of doubles", 0, 1e16, 1e16 + 100},
        {"unit steps at 1e300", 0, 1e300, 2e300},
        {"unit steps reversed at 1e300", 0, 2e300, 1e300},
        {"negative N", -1, 0, 1},
    };
    for (const NoStepRow& r : rows) {
        SCOPED_TRACE(r.Name);
        EXPECT_EQ(NiceStep(r.N, r.A, r.B).Step, 0.0);
    }
}

TEST(PowerOfTen, IsTheNearestDouble)
{
    EXPECT_EQ(PowerOfTen(0), 1.0);
    EXPECT_EQ(PowerOfTen(-1), 0.1);
    EXPECT_EQ(PowerOfTen(23), 1e23);
    EXPECT_EQ(PowerOfTen(-323), 1e-323);
    EXPECT_EQ(PowerOfTen(308), 1e308);
    EXPECT_EQ(PowerOfTen(309), kInf);
    EXPECT_EQ(PowerOfTen(-324), 0.0);
    EXPECT_EQ(PowerOfTen(-100000), 0.0);
    EXPECT_EQ(PowerOfTen(100000), kInf);
    for (int e = -323; e <= 308; ++e)
        EXPECT_EQ(PowerOfTen(e), std::strtod(("1e" + std::to_string(e)).c_str(), nullptr)) << e;
}

// The next round step above m: 1 -> 2 -> 5 -> 10.
double NextMantissa(double m) { return m == 1 ? 2 : m == 2 ? 5 : 10; }

TEST(NiceStep, RandomRangesGetTheLargestRoundStep)
{
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int checked = 0;
    for (int i = 0; i < 50000; ++i) {
        const int n = static_cast<int>(rng() % 11);
        const double a = (rng() % 2 ? -1 : 1) * std::pow(10.0, -300 + 600 * unit(rng)) * (rng() % 4 == 0 ? 0 : 1);
        const double magnitude = std::fabs(a) > 0 ? std::log10(std::fabs(a)) : -300 + 600 * unit(rng);
        const double width = std::pow(10.0, magnitude - 14 + 17 * unit(rng));
        const double b = a + (rng() % 2 ? -width : width);
        const TNiceStep ns = NiceStep(n, a, b);
        SCOPED_TRACE(testing::Message() << "N=" << n << " A=" << a << " B=" << b);
        if (ns.Step == 0.0) {
            // Only a step too fine for the magnitude is refused.
            const double q = n == 0 ? 1.0 : std::fabs(b - a) / n;
            ASSERT_LT(q, 20 * (std::nextafter(std::fmax(std::fabs(a), std::fabs(b)), kInf) -
                               std::fmax(std::fabs(a), std::fabs(b))));
            continue;
        }
        ++checked;
        const double sign = a < b ? 1 : -1;
        ASSERT_EQ(std::signbit(ns.Step), sign < 0);
        const double step = std::fabs(ns.Step);
        if (n == 0) {
            ASSERT_EQ(step, 1.0);
        } else {
            const int decade = static_cast<int>(std::floor(std::log10(step) + 1e-9));
            const double mantissa = std::round(step / PowerOfTen(decade));
            ASSERT_TRUE(mantissa == 1 || mantissa == 2 || mantissa == 5) << step;
            ASSERT_EQ(ns.S, mantissa == 2 ? 4 : 5);
            const double q = std::fabs(b - a) / n;
            ASSERT_LE(step, q * (1 + 1e-9));  // at least N intervals
            ASSERT_GT(NextMantissa(mantissa) * PowerOfTen(decade) * (1 + 1e-9), q);  // and the largest such step
        }
        // First: not more than 0.001 step before A, less than a step after it
        // (give or take the rounding of values at A's magnitude).
        const double m = std::fmax(std::fabs(a), std::fabs(b));
        const double slack = 1e-9 + 2 * (std::nextafter(m, kInf) - m) / step;
        const double lead = sign * (a - ns.First) / step;
        ASSERT_LE(lead, 0.001 + slack);
        ASSERT_GT(lead, -1 - slack);
    }
    EXPECT_GT(checked, 30000);
}

}  // namespace
}  // namespace kurvo
