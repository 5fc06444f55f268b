// Themes: a chart's whole look in one call (TCustomKurvo::ApplyTheme).
#pragma once

#include <cstdint>

namespace kurvo {

/// The looks ApplyTheme() sets.
///
/// - ktClassic: the chart as it is after construction: a button-face
///   surround, a white data area in a black frame, no grid, black data,
///   axes in the 16 layer colours (black, maroon, green, olive, ...),
///   labels with the decimals their axis chose, aliased drawing.
/// - ktLight: a white surround and data area in a grey frame, a light
///   dotted grid at the labelled ticks (the axes have no short ticks),
///   anti-aliased data, the data colour and the axes of layers 2 ... 16
///   from the series colours, labels without needless trailing zeros.
/// - ktDark: ktLight's settings in light colours on a dark grey surround
///   and data area, with brighter series colours.
/// - ktSystem: ktLight's settings in the colours of the widget's QPalette
///   (window, base and text colours; the dark series colours on a dark
///   base). The chart follows the palette: a palette or style change
///   applies the theme again in the new colours.
enum TKurvoTheme : std::uint8_t { ktClassic, ktLight, ktDark, ktSystem };

/// Number of distinct series colours a theme has; SeriesColor() repeats
/// them in this period.
constexpr int SeriesColorCount = 10;

}  // namespace kurvo
