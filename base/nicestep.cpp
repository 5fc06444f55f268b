#include "base/nicestep.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kurvo {

namespace {

// Distance from m to the next larger double: the smallest step that still
// moves a value of magnitude m.
double SpacingAt(double m)
{
    const double up = std::nextafter(m, std::numeric_limits<double>::infinity());
    if (std::isfinite(up)) return up - m;
    return m - std::nextafter(m, 0.0);
}

// A step that cannot be represented as distinct positions across A ... B
// (or is not a number at all) gives no ticks.
bool UsableStep(double step, double a, double b)
{
    if (!std::isfinite(step) || step == 0.0) return false;
    const double m = std::fmax(std::fabs(a), std::fabs(b));
    return std::fabs(step) >= SpacingAt(m);
}

// The First search moves at most a few steps when A / Step is exact; the
// limit only matters where rounding keeps First from reaching A.
constexpr int MaxFirstSearch = 16;

// Advances first by step until it is not more than 0.001 step before a.
// False when that does not happen within the limit.
bool SearchFirst(double& first, double a, double step, double sign)
{
    const double tolerance = 0.001 * std::fabs(step);
    for (int i = 0; i < MaxFirstSearch; ++i) {
        if (!std::isfinite(first)) return false;
        if (!(sign * (a - first) > tolerance)) return true;
        first += step;
    }
    return !(sign * (a - first) > tolerance) && std::isfinite(first);
}

TNiceStep NoStep() { return TNiceStep{0.0, 0.0, 1}; }

}  // namespace

double PowerOfTen(int exponent)
{
    if (exponent > 308) return std::numeric_limits<double>::infinity();
    if (exponent < -324) return 0.0;
    // Reading "1e<exponent>" rounds correctly, which pow does not promise.
    char text[16] = "1e";
    const auto end = std::to_chars(text + 2, text + sizeof text, exponent).ptr;
    double value = 0.0;
    if (std::from_chars(text, end, value).ec != std::errc())
        return exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return value;
}

TNiceStep NiceStep(int N, double A, double B)
{
    if (A == B) return TNiceStep{B, 0.0, 1};
    if (!std::isfinite(A) || !std::isfinite(B) || N < 0) return NoStep();

    const double sign = A < B ? 1.0 : -1.0;
    const double width = std::fabs(B - A);
    if (!std::isfinite(width)) return NoStep();

    TNiceStep r;
    if (N == 0) {
        // Unit steps run upwards on an increasing range. A reversed range is
        // ticked as the mirror image, downwards from the unit at or just
        // below A, so that the pass still walks from RangeLow to RangeHigh.
        r.Step = sign;
        if (!UsableStep(r.Step, A, B)) return NoStep();
        r.First = std::trunc(A) - sign;
        if (!SearchFirst(r.First, A, r.Step, sign)) return NoStep();
        r.S = width > 10.0 ? 1 : 5;
        return r;
    }

    const double quotient = width / N;
    if (!(quotient > 0.0)) return NoStep();  // underflow below the smallest double
    double g = std::log10(quotient);
    double h = g - std::trunc(g);
    // A quotient within 1e-10 (in log10) of a power of ten is taken as that power.
    if (std::fabs(h) < 1e-10 || std::fabs(h) > 0.9999999999) {
        g = std::round(g);
        h = 0.0;
    }
    // Make trunc(g) the decade and h the position within it, also below 1.
    if (g < 0.0 && h != 0.0) g -= 1.0;
    if (h < 0.0) h += 1.0;

    // The boundaries sit 1e-10 above log10 2 and log10 5, so that a quotient
    // of exactly 2 or 5 times a power of ten keeps the smaller mantissa.
    static const double log2Bound = std::log10(2.0) + 1e-10;
    static const double log5Bound = std::log10(5.0) + 1e-10;
    double mantissa = 1.0;
    r.S = 5;
    if (h >= log5Bound) {
        mantissa = 5.0;
    } else if (h >= log2Bound) {
        mantissa = 2.0;
        r.S = 4;
    }

    // g is finite here (the quotient is a positive double), so trunc(g) lies
    // within about -325 ... 308.
    r.Step = sign * mantissa * PowerOfTen(static_cast<int>(std::trunc(g)));
    if (!UsableStep(r.Step, A, B)) return NoStep();

    r.First = (std::trunc(A / r.Step) - 1.0) * r.Step;
    if (!SearchFirst(r.First, A, r.Step, sign)) return NoStep();
    return r;
}

}  // namespace kurvo
