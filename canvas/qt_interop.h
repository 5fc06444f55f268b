// Conversions between the library's value types and Qt's, for programs that
// put the chart beside their own widgets: a colour picked in a QColorDialog,
// a caption typed into a QLineEdit.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../canvas/Qorn_canvas.h"

#include <QColor>
#include <QString>

#include <string>

namespace kurvo {

/// The opaque QColor a TColor paints as. A system colour (clBtnFace,
/// clWindow, ...) is resolved through the same fixed scheme the canvas
/// uses (ColorToRGB), so the result matches the chart's pixels rather than
/// the desktop's palette; an unknown system index gives black.
KURVO_EXPORT QColor ToQColor(TColor color);

/// The TColor (0x00BBGGRR) of a QColor's red, green and blue. Alpha is
/// dropped, because the canvas paints opaque; a QColor in another colour
/// model is converted to RGB first, and an invalid QColor gives clBlack.
/// The result is never a system colour.
KURVO_EXPORT TColor FromQColor(const QColor& color);

/// The library's texts are UTF-8 std::strings. A byte sequence that is not
/// valid UTF-8 becomes U+FFFD in the QString.
KURVO_EXPORT QString ToQString(const std::string& text);

/// The UTF-8 form of a QString; FromQString(ToQString(s)) == s for every
/// valid UTF-8 text. A lone surrogate (broken UTF-16) becomes "?".
KURVO_EXPORT std::string FromQString(const QString& text);

}  // namespace kurvo
