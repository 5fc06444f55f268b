// The coordinate rule of the drawing commands: the argument types give the
// coordinate mode of the item.
//
//   double (any floating type)  a world value of the current layer
//   int                         a pixel of the data area, from its top-left corner
//
// Only `int` means pixels. Any other integer type (long, std::size_t, ...)
// makes the call fail to compile rather than guess, with one message: "use
// double for a world value or int for a pixel". A pixel-only argument (a
// shift, a half size, an arrow head) is a `TPixels`, which refuses a floating
// value at compile time, so a world value can never be truncated into pixels,
// and another integer type with "a pixel argument takes an int".
//
// The mode matters in the annotation list. The data list always stores world
// coordinates (mode 0), so there an int is simply a world value.
#pragma once

#include <concepts>
#include <cstdint>
#include <type_traits>

namespace kurvo {

template <class T>
concept TWorldCoord = std::floating_point<T>;
template <class T>
concept TPixelCoord = std::same_as<T, int>;
template <class T>
concept TCoord = TWorldCoord<T> || TPixelCoord<T>;
/// What a coordinate parameter of a drawing command accepts: any number type.
/// The command then compiles for a TCoord only; another integer type stops
/// the build with one message instead of a list of overloads that do not fit.
template <class T>
concept TCoordArgument = std::is_arithmetic_v<T>;

/// An argument that is always in pixels. Built from an int only: a double
/// argument does not compile.
struct TPixels {
    /// The distance in pixels.
    int Value;
    /// Wraps a pixel distance; implicit so that an int literal can be passed.
    constexpr TPixels(int value) : Value(value) {}  // NOLINT: implicit on purpose
    TPixels(long double) = delete;
    TPixels(double) = delete;
    TPixels(float) = delete;
    /// Any other integer type (long, std::size_t, ...) does not compile.
    template <std::integral T>
        requires(!std::same_as<T, int>)
    constexpr TPixels(T value) : Value(0)  // NOLINT: implicit, to catch the call
    {
        static_assert(std::is_same_v<T, int>, "a pixel argument takes an int");
        (void)value;
    }
};

namespace commands_detail {

template <class T>
constexpr bool IsPixel = TPixelCoord<T>;

/// Stops the build when a coordinate is neither a floating type nor int. A
/// plain trait, not the concept, so that the message comes without notes.
template <class... T>
constexpr void CheckCoords()
{
    static_assert(((std::is_floating_point_v<T> || std::is_same_v<T, int>) && ...),
                  "use double for a world value or int for a pixel");
}

/// Mode of a single point: 0 world, 1 pixels, 4 X pixel and Y world, 5 X world and Y pixel.
template <class X, class Y>
constexpr std::uint8_t PointMode()
{
    if constexpr (IsPixel<X> && IsPixel<Y>) return 1;
    else if constexpr (IsPixel<X>) return 4;
    else if constexpr (IsPixel<Y>) return 5;
    else return 0;
}

/// Mode of two points, -1 when the combination has none:
/// 0 all world, 1 all pixels, 2 first world and second pixels,
/// 3 first pixels and second world, 4 X values pixels, 5 Y values pixels.
template <class X1, class Y1, class X2, class Y2>
constexpr int TwoPointMode()
{
    constexpr bool a = IsPixel<X1>, b = IsPixel<Y1>, c = IsPixel<X2>, d = IsPixel<Y2>;
    if (!a && !b && !c && !d) return 0;
    if (a && b && c && d) return 1;
    if (!a && !b && c && d) return 2;
    if (a && b && !c && !d) return 3;
    if (a && !b && c && !d) return 4;
    if (!a && b && !c && d) return 5;
    return -1;
}

}  // namespace commands_detail

// The combinations below read int as pixels and every other number type as
// a world value; whether each type is a TCoord at all the command checks
// itself (CheckCoords), so that a long or std::size_t gets its one message.

/// Two points in modes 0 ... 3 (each point all world or all pixels).
template <class X1, class Y1, class X2, class Y2>
concept TPointPairModes = commands_detail::TwoPointMode<X1, Y1, X2, Y2>() >= 0 &&
                          commands_detail::TwoPointMode<X1, Y1, X2, Y2>() <= 3;
/// Two points in any of the modes 0 ... 5.
template <class X1, class Y1, class X2, class Y2>
concept TAnyTwoPointModes = commands_detail::TwoPointMode<X1, Y1, X2, Y2>() >= 0;
/// A point given wholly in world values or wholly in pixels.
template <class X, class Y>
concept TWholePoint = TPixelCoord<X> == TPixelCoord<Y>;

}  // namespace kurvo
