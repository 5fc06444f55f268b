// World-to-canvas conversion of one layer for the renderer. Internal: not
// installed, included only by the library's own sources and its tests.
#pragma once

#include "base/pixel_math.h"

#include <cmath>
#include <cstdint>

namespace kurvo {

/// World-to-canvas conversion of one layer during RenderData: the same
/// arithmetic and rounding as WorldToPixel plus the render offsets and the
/// canvas clamp, with the axis kinds looked up once instead of per point.
struct TCanvasMap {
    double kx = 0.0;  ///< horizontal factor, as in TLayerTransform
    double dx = 0.0;  ///< horizontal offset
    double ky = 0.0;  ///< vertical factor
    double dy = 0.0;  ///< vertical offset
    bool logX = false;  ///< whether the X axis is logarithmic
    bool logY = false;  ///< whether the Y axis is logarithmic
    double floorX = 0.0;  ///< pixel of an X value at or below the logarithmic floor
    double floorY = 0.0;  ///< pixel of a Y value at or below the logarithmic floor
    std::int64_t shiftX = 0;  ///< render offset added after rounding, X
    std::int64_t shiftY = 0;  ///< render offset added after rounding, Y
    static constexpr double LogFloor = 1e-100;  ///< values at or below it are drawn at floorX / floorY

    /// A linear layer's unrounded pixel below this in magnitude needs no
    /// limit: with the render offset `shift` added it stays within +-30000,
    /// so kx * x + dx rounded plus the offset is the pixel X() gives.
    static double InlineLimit(std::int64_t shift) { return 29999.0 - static_cast<double>(shift < 0 ? -shift : shift); }
    /// Limits a pixel to -30000 ... 30000.
    static int Clamp(std::int64_t v) { return static_cast<int>(v < -30000 ? -30000 : (v > 30000 ? 30000 : v)); }
    /// Canvas X of world value `x`.
    int X(double x) const
    {
        const double p = logX ? (x <= LogFloor ? floorX : kx * std::log(x) + dx) : kx * x + dx;
        return Clamp(std::int64_t{RoundPixel(p)} + shiftX);
    }
    /// Canvas Y of world value `y`.
    int Y(double y) const
    {
        const double p = logY ? (y <= LogFloor ? floorY : ky * std::log(y) + dy) : ky * y + dy;
        return Clamp(std::int64_t{RoundPixel(p)} + shiftY);
    }
};

}  // namespace kurvo
