// Conversions of real pixel positions to integer pixels.
#pragma once

#include <cmath>
#include <cstdint>

namespace kurvo {

constexpr double MaxPixel = 2147483647.0;

/// Rounds half to even after clamping to +-2147483647. NaN has no pixel; it
/// is mapped to -2147483647 (as far off as -infinity), so a NaN never
/// reaches an integer conversion.
inline int RoundPixel(double p)
{
    if (!(p >= -MaxPixel)) return -2147483647;  // also NaN
    if (p > MaxPixel) p = MaxPixel;
    return static_cast<int>(std::lrint(p));  // current rounding mode: to nearest, ties to even
}

/// The range of pixel offsets that properties accept (caption positions,
/// axis positions, shadow offsets): the canvas range. Sums of a few of them
/// and a control side (at most 16384) stay far from int's limits.
constexpr int MaxPixelOffset = 30000;
/// Chart margins: enough for any layout on a screen, negative ones included.
constexpr int MaxChartMargin = 4096;
/// An axis control's margins: beyond any control side plus offsets.
constexpr int MaxAxisMargin = 1 << 20;
/// Crosshair line widths.
constexpr int MaxCrossHairWidth = 100;

inline int ClampOffset(int v) { return v < -MaxPixelOffset ? -MaxPixelOffset : v > MaxPixelOffset ? MaxPixelOffset : v; }

/// Limits a pixel coordinate to the range the canvas can draw: -30000 ... 30000.
/// Returns whether anything was clamped.
inline bool ClampPixel(int& x, int& y)
{
    constexpr int limit = 30000;
    bool clamped = false;
    if (x < -limit) { x = -limit; clamped = true; }
    else if (x > limit) { x = limit; clamped = true; }
    if (y < -limit) { y = -limit; clamped = true; }
    else if (y > limit) { y = limit; clamped = true; }
    return clamped;
}

}  // namespace kurvo
