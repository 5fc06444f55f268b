// Reading the pixels of a TBitmap in tests.
#pragma once

#include "canvas/Qorn_canvas.h"

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <utility>

namespace kurvo::test {

using PixelSet = std::set<std::pair<int, int>>;

// Every pixel of the bitmap whose colour is `color`.
inline PixelSet PixelsOf(const TBitmap& bitmap, TColor color)
{
    PixelSet result;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            if (bitmap.Pixel(x, y) == color) result.insert({x, y});
    return result;
}

// Every pixel that differs from `background`.
inline PixelSet PixelsNot(const TBitmap& bitmap, TColor background)
{
    PixelSet result;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            if (bitmap.Pixel(x, y) != background) result.insert({x, y});
    return result;
}

// The bitmap as text, one row per line: '.' background, '#' ink, 'o' any
// other colour. Printed by failing assertions.
inline std::string Picture(const TBitmap& bitmap, TColor background = clWhite, TColor ink = clBlack)
{
    std::string text = "\n";
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.Pixel(x, y);
            text += c == background ? '.' : c == ink ? '#' : 'o';
        }
        text += '\n';
    }
    return text;
}

// A fresh bitmap filled with one colour, pen and brush in their defaults.
inline void Clear(TBitmap& bitmap, TColor color)
{
    TCanvas& c = bitmap.Canvas();
    const TPen pen = c.Pen();
    c.Pen().SetStyle(psClear);
    c.Brush().SetColor(color);
    c.Rectangle(0, 0, bitmap.Width(), bitmap.Height());
    c.Pen().Assign(pen);
}

struct Box {
    int Left, Top, Right, Bottom;  // inclusive
    friend bool operator==(const Box&, const Box&) = default;
};

inline Box BoundsOf(const PixelSet& pixels)
{
    Box b{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    for (const auto& [x, y] : pixels) {
        b.Left = std::min(b.Left, x);
        b.Top = std::min(b.Top, y);
        b.Right = std::max(b.Right, x);
        b.Bottom = std::max(b.Bottom, y);
    }
    return b;
}

inline std::ostream& operator<<(std::ostream& os, const Box& b)
{
    return os << "[" << b.Left << "," << b.Top << " .. " << b.Right << "," << b.Bottom << "]";
}

}  // namespace kurvo::test
