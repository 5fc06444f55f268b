// Pieces the canvas's own rasterisers share with the rest of TQtCanvas.
// Internal.
#pragma once

#include "canvas/Qorn_canvas.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace kurvo::qt_canvas_detail {

inline constexpr int kDashPeriod = 24;

// On/off runs in pixels, as the classic desktop draws one-pixel styled pens.
// Each pattern is repeated to a period of 24 pixels.
constexpr std::array<bool, kDashPeriod> MakePattern(std::initializer_list<int> runs)
{
    std::array<bool, kDashPeriod> bits{};
    int pos = 0;
    while (pos < kDashPeriod) {
        bool on = true;
        for (int run : runs) {
            for (int k = 0; k < run && pos < kDashPeriod; ++k) bits[pos++] = on;
            on = !on;
        }
    }
    return bits;
}

inline constexpr std::array<bool, kDashPeriod> kDash = MakePattern({18, 6});
inline constexpr std::array<bool, kDashPeriod> kDot = MakePattern({3, 3});
inline constexpr std::array<bool, kDashPeriod> kDashDot = MakePattern({9, 6, 3, 6});
inline constexpr std::array<bool, kDashPeriod> kDashDotDot = MakePattern({9, 3, 3, 3, 3, 3});

inline const std::array<bool, kDashPeriod>* PatternOf(TPenStyle style)
{
    switch (style) {
    case psDash: return &kDash;
    case psDot: return &kDot;
    case psDashDot: return &kDashDot;
    case psDashDotDot: return &kDashDotDot;
    default: return nullptr;
    }
}

inline std::uint32_t RgbOf(TColor color)
{
    const auto c = static_cast<std::uint32_t>(ColorToRGB(color));
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// Sets n pixels to one value, sixteen bytes a store: the plain loop becomes
// one four-byte store a cycle, and background fills were the largest part
// of a chart's paint.
inline void FillPixels(std::uint32_t* row, std::size_t n, std::uint32_t value)
{
    const std::uint32_t quad[4] = {value, value, value, value};
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4) std::memcpy(row + k, quad, sizeof quad);
    for (; k < n; ++k) row[k] = value;
}

}  // namespace kurvo::qt_canvas_detail
