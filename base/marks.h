// Point marks, 3D frames and the grey/contrast colour helpers shared by the
// item renderer and the axis control.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../canvas/Qorn_canvas.h"

namespace kurvo {

/// Draws mark `markType` (only its low byte counts) centred on (x, y) in the
/// canvas's pen colour. Types 0 ... 51 are fixed symbols, 52 ... 255 show a
/// character (200 ... 209 the digits 0 ... 9).
KURVO_EXPORT void DrawMark(TCanvas& canvas, int markType, int x, int y);

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
