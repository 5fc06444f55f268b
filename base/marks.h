// Point marks, 3D frames and the grey/contrast colour helpers shared by the
// item renderer and the axis control.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../canvas/Qorn_canvas.h"

#include <cstdint>

namespace kurvo {

/// The 52 symbols a mark can show, named after their look (the mark types
/// 0 ... 51; docs/gallery/marks_frames.png shows them in this order). Plain
/// shape names are outlines, "Filled" ones are filled with the pen colour;
/// Small, plain and Large are the sizes of one shape. Mark types 52 ... 255
/// show characters and have no name here.
enum class TMark : std::uint8_t {
    Dot,                       ///< 0: one pixel
    SmallPlus,                 ///< 1: plus, arms of 1 pixel
    Plus,                      ///< 2: plus, arms of 2 pixels
    LargePlus,                 ///< 3: plus, arms of 3 pixels
    SmallCross,                ///< 4: diagonal cross, arms of 1 pixel
    Cross,                     ///< 5: diagonal cross, arms of 2 pixels
    LargeCross,                ///< 6: diagonal cross, arms of 3 pixels
    SmallFilledSquare,         ///< 7: filled square, 3 x 3
    FilledSquare,              ///< 8: filled square, 5 x 5
    LargeFilledSquare,         ///< 9: filled square, 7 x 7
    SmallSquare,               ///< 10: square outline, 3 x 3
    Square,                    ///< 11: square outline, 5 x 5
    LargeSquare,               ///< 12: square outline, 7 x 7
    DiamondWithDot,            ///< 13: diamond outline with a centre dot
    SmallFilledDiamond,        ///< 14: filled diamond, 5 x 5
    FilledDiamond,             ///< 15: filled diamond, 7 x 7
    SmallCircle,               ///< 16: circle outline, 5 x 5
    Circle,                    ///< 17: circle outline, 7 x 7
    Checkerboard,              ///< 18: 7 x 7 checkerboard
    Diamond,                   ///< 19: diamond outline, 7 x 7
    SmallCaret,                ///< 20: caret (^), 7 wide
    Caret,                     ///< 21: caret (^), 9 wide
    SmallInvertedCaret,        ///< 22: inverted caret (v), 7 wide
    InvertedCaret,             ///< 23: inverted caret (v), 9 wide
    FilledCircle,              ///< 24: filled circle, 7 x 7
    BoldCross,                 ///< 25: diagonal cross of double strokes
    SmallFilledCircle,         ///< 26: filled circle, 5 x 5
    TinyCircle,                ///< 27: circle outline, 4 x 4
    TinyFilledCircle,          ///< 28: filled circle, 4 x 4
    SmallFilledWedgeDown,      ///< 29: filled half diamond below the point, 5 wide
    FilledWedgeDown,           ///< 30: filled half diamond below the point, 7 wide
    SmallWedgeDown,            ///< 31: half diamond outline below the point, 5 wide
    WedgeDown,                 ///< 32: half diamond outline below the point, 7 wide
    TriangleDown,              ///< 33: triangle outline pointing down
    FilledTriangleDown,        ///< 34: filled triangle pointing down
    TriangleUp,                ///< 35: triangle outline pointing up
    FilledTriangleUp,          ///< 36: filled triangle pointing up
    Stem,                      ///< 37: a base line with a stem above the point
    IBeam,                     ///< 38: I-beam
    CirclePlus,                ///< 39: circle outline with a plus
    SmallTriangleLeft,         ///< 40: triangle outline pointing left, small
    SmallFilledTriangleLeft,   ///< 41: filled triangle pointing left, small
    TriangleLeft,              ///< 42: triangle outline pointing left
    FilledTriangleLeft,        ///< 43: filled triangle pointing left
    SmallTriangleRight,        ///< 44: triangle outline pointing right, small
    SmallFilledTriangleRight,  ///< 45: filled triangle pointing right, small
    TriangleRight,             ///< 46: triangle outline pointing right
    FilledTriangleRight,       ///< 47: filled triangle pointing right
    SquarePlus,                ///< 48: square outline with a plus
    SquareLongPlus,            ///< 49: small square outline with a plus reaching beyond it
    Star,                      ///< 50: plus and diagonal cross
    Target                     ///< 51: plus with four short bars around it
};

/// The mark type (0 ... 51) of a named mark, for MarkAt, DrawMarks and DrawMark.
constexpr int MarkType(TMark mark) { return static_cast<int>(mark); }

/// The largest size DrawMark() draws a symbol at, in pixels.
constexpr int MaxMarkSize = 255;

/// Draws mark `markType` (only its low byte counts) centred on (x, y) in the
/// canvas's pen colour. Types 0 ... 51 are fixed symbols, 52 ... 255 show a
/// character (200 ... 209 the digits 0 ... 9).
KURVO_EXPORT void DrawMark(TCanvas& canvas, int markType, int x, int y);

/// DrawMark at a size: `sizePx` 0 draws the symbol's own pixel pattern, as
/// DrawMark(canvas, markType, x, y) does; 1 ... MaxMarkSize (larger values
/// count as MaxMarkSize) draws the same shape about `sizePx` pixels wide,
/// its outlines one pixel thick. Plus, cross and checkerboard are then
/// drawn with lines and squares instead of their pixel patterns. Character
/// marks ignore the size and follow the canvas font.
KURVO_EXPORT void DrawMark(TCanvas& canvas, int markType, int x, int y, int sizePx);

/// The width in pixels of a symbol at its own size (DrawMark with size 0).
KURVO_EXPORT int MarkNativeSize(TMark mark);

/// Draws the 3D frame style `style` (only its low 7 bits count) around the
/// rectangle; fsNone and values above fsEngraved draw nothing.
KURVO_EXPORT void DrawFrame(TCanvas& canvas, int style, int left, int top, int right, int bottom, TColor highlight,
               TColor light, TColor shadow, TColor darkShadow, TColor simpleColor);

/// Round(0.3 R + 0.59 G + 0.11 B), halves to even.
KURVO_EXPORT int GreyValue(int r, int g, int b);
KURVO_EXPORT int GreyOf(TColor color);
/// Black when the grey value of `color` is 140 or more, otherwise white.
KURVO_EXPORT TColor ContrastColor(TColor color);

}  // namespace kurvo
