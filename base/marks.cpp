// Point marks and the grey/contrast colour helpers.
#include "base/marks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace kurvo {

namespace {

constexpr int kLastSymbol = 51;

using TPixelRows = std::array<std::uint8_t, 7>;

// 7x7 pictures of the screen forms of types 1 ... 6 and 18, one byte per
// row from y - 3 down to y + 3; bit 6 is column x - 3, bit 0 column x + 3.
constexpr std::array<TPixelRows, 6> kCrossRows = {{
    {0x00, 0x00, 0x08, 0x1C, 0x08, 0x00, 0x00},  // 1 small plus
    {0x00, 0x08, 0x08, 0x3E, 0x08, 0x08, 0x00},  // 2 plus
    {0x08, 0x08, 0x08, 0x7F, 0x08, 0x08, 0x08},  // 3 large plus
    {0x00, 0x00, 0x14, 0x08, 0x14, 0x00, 0x00},  // 4 small diagonal cross
    {0x00, 0x22, 0x14, 0x08, 0x14, 0x22, 0x00},  // 5 diagonal cross
    {0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41},  // 6 large diagonal cross
}};
constexpr TPixelRows kCheckerRows = {0x55, 0x2A, 0x55, 0x2A, 0x55, 0x2A, 0x55};  // 18

void PixelMark(TCanvas& canvas, const TPixelRows& rows, int x, int y)
{
    const TColor color = canvas.Pen().Color();
    for (int i = 1; i <= 7; ++i)
        for (int j = 1; j <= 7; ++j)
            if ((rows[i - 1] >> (j - 1)) & 1) canvas.SetPixel(x + 4 - j, y - 4 + i, color);
}

void Line(TCanvas& canvas, int x1, int y1, int x2, int y2)
{
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

// Line path through the corners and back to the first one.
void ClosedPath(TCanvas& canvas, std::initializer_list<TPoint> corners)
{
    const TPoint first = *corners.begin();
    canvas.MoveTo(first.X, first.Y);
    for (auto it = corners.begin() + 1; it != corners.end(); ++it) canvas.LineTo(it->X, it->Y);
    canvas.LineTo(first.X, first.Y);
}

void Polygon(TCanvas& canvas, std::initializer_list<TPoint> points)
{
    canvas.Polygon(points.begin(), static_cast<int>(points.size()));
}

void FillWithPen(TCanvas& canvas) { canvas.Brush().SetColor(canvas.Pen().Color()); }

void Diamond(TCanvas& canvas, int x, int y, int a)
{
    ClosedPath(canvas, {{x - a, y}, {x, y + a}, {x + a, y}, {x, y - a}});
}

// Six lines from the upper left (offsets r and q towards the centre) to a
// and b beyond it.
void BoldCross(TCanvas& canvas, int x, int y, int r, int q, int a, int b)
{
    Line(canvas, x - r, y - r, x + a, y + a);
    Line(canvas, x - r, y - q, x + b, y + a);
    Line(canvas, x - q, y - r, x + a, y + b);
    Line(canvas, x - r, y + r, x + a, y - a);
    Line(canvas, x - r, y + q, x + b, y - a);
    Line(canvas, x - q, y + r, x + a, y - b);
}

// Widths in pixels of types 0 ... 51 at their own size: a mark drawn at
// another size scales its geometry by the ratio of the two.
constexpr std::array<std::uint8_t, kLastSymbol + 1> kNativeSize = {
    1, 3, 5, 7, 3, 5, 7, 3, 5, 7, 3, 5, 7, 7, 5, 7, 5, 7, 7, 7, 5, 7, 5, 7, 7, 7,
    5, 4, 4, 5, 7, 5, 7, 9, 9, 9, 9, 8, 7, 7, 6, 6, 8, 8, 6, 6, 8, 8, 7, 9, 9, 9};

// The outline and fill of types 0 ... 51; brush handling of the hollow and
// filled shapes is done here, the caller restores the brush colour. At
// size 0 a mark is its own pixel pattern; at another size every offset
// from the centre is scaled by the ratio of the widths between the
// outermost pixels, and the pixel patterns of types 1 ... 6 and 18 give way
// to their line forms (the forms a printer page gets).
void DrawSymbol(TCanvas& canvas, int type, int x, int y, int size)
{
    const int native = kNativeSize[static_cast<std::size_t>(type)];
    const double scale = size == 0 ? 1.0 : static_cast<double>(std::max(size - 1, 1)) / std::max(native - 1, 1);
    const bool scaled = scale != 1.0;
    // Shapes an even number of pixels wide (and the checkerboard's cells)
    // scale with the whole width.
    const auto w = [&](int v) { return scaled ? static_cast<int>(std::lround(static_cast<double>(v) * size / native)) : v; };
    const bool printer = canvas.IsPrinterCanvas();
    const auto s = [scale, scaled](int v) { return scaled ? static_cast<int>(std::lround(v * scale)) : v; };
    // The far end of a line or box whose drawing leaves out its last pixel.
    const auto e = [&s](int v) { return s(v - 1) + 1; };
    // Hollow shapes draw with a clear brush and leave it solid.
    const auto hollow = [&canvas](auto&& draw) {
        canvas.Brush().SetStyle(bsClear);
        draw();
        canvas.Brush().SetStyle(bsSolid);
    };

    switch (type) {
    case 0:
        if (scaled) {
            FillWithPen(canvas);
            const int diameter = s(1) + 1;
            canvas.Ellipse(x - diameter / 2, y - diameter / 2, x - diameter / 2 + diameter, y - diameter / 2 + diameter);
        } else {
            canvas.SetPixel(x, y, canvas.Pen().Color());
        }
        break;
    case 1:
    case 2:
    case 3:
        // A printer page gets lines: at its resolution single pixels are too small to see.
        if (printer || scaled) {
            const int a = scaled ? s(type) : type + 1;
            Line(canvas, x - a, y, x + a + (scaled ? 1 : 0), y);
            Line(canvas, x, y - a, x, y + a + (scaled ? 1 : 0));
        } else {
            PixelMark(canvas, kCrossRows[type - 1], x, y);
        }
        break;
    case 4:
    case 5:
    case 6:
        if (printer || scaled) {
            const int a = scaled ? s(type - 3) : type - 2;
            const int b = scaled ? a + 1 : a;
            Line(canvas, x - a, y - a, x + b, y + b);
            Line(canvas, x - a, y + a, x + b, y - b);
        } else {
            PixelMark(canvas, kCrossRows[type - 1], x, y);
        }
        break;
    case 7:
    case 8:
    case 9: {
        const int a = s(type - 6);
        FillWithPen(canvas);
        canvas.Rectangle(x - a, y - a, x + a + 1, y + a + 1);
        break;
    }
    case 10:
    case 11:
    case 12: {
        const int a = s(type - 9);
        ClosedPath(canvas, {{x - a, y - a}, {x - a, y + a}, {x + a, y + a}, {x + a, y - a}});
        break;
    }
    case 13:
        Diamond(canvas, x, y, s(3));
        canvas.SetPixel(x, y, canvas.Pen().Color());
        break;
    case 14:
    case 15: {
        const int a = s(type - 12);
        FillWithPen(canvas);
        Polygon(canvas, {{x - a, y}, {x, y + a}, {x + a, y}, {x, y - a}});
        break;
    }
    case 16:
    case 17: {
        const int a = s(type - 14);
        hollow([&] { canvas.Ellipse(x - a, y - a, x + a + 1, y + a + 1); });
        break;
    }
    case 18:
        if (scaled) {
            // The cells whose column and row have the same parity, each a square.
            FillWithPen(canvas);
            const auto edge = [&](int i) { return static_cast<int>(std::lround((i - 3.5) * size / 7.0)); };
            for (int i = 0; i < 7; ++i)
                for (int j = 0; j < 7; ++j)
                    if ((i + j) % 2 == 0)
                        canvas.Rectangle(x + edge(i), y + edge(j), x + std::max(edge(i) + 1, edge(i + 1)),
                                         y + std::max(edge(j) + 1, edge(j + 1)));
        } else if (printer) {
            // One-pixel strokes on the cells whose column and row have the same parity.
            for (int i = 1; i <= 7; ++i)
                for (int j = 1; j <= 7; ++j)
                    if ((i + j) % 2 == 0) Line(canvas, x - 4 + i, y - 4 + j, x - 3 + i, y - 4 + j);
        } else {
            PixelMark(canvas, kCheckerRows, x, y);
        }
        break;
    case 19:
        Diamond(canvas, x, y, s(3));
        break;
    case 20:
    case 21: {
        const int a = e(type - 17);
        Line(canvas, x, y, x - a, y + a);
        Line(canvas, x, y, x + a, y + a);
        break;
    }
    case 22:
    case 23: {
        const int a = e(type - 19);
        Line(canvas, x, y, x - a, y - a);
        Line(canvas, x, y, x + a, y - a);
        break;
    }
    case 24:
        FillWithPen(canvas);
        canvas.Ellipse(x - s(3), y - s(3), x + e(4), y + e(4));
        break;
    case 25:
        if (printer && !scaled)
            BoldCross(canvas, x, y, 3, 2, 3, 2);
        else
            BoldCross(canvas, x, y, s(3), s(2), e(4), e(3));
        break;
    case 26:
        FillWithPen(canvas);
        canvas.Ellipse(x - s(2), y - s(2), x + e(3), y + e(3));
        break;
    case 27:
        hollow([&] { canvas.Ellipse(x - w(2), y - w(2), x + w(2), y + w(2)); });
        break;
    case 28:
        FillWithPen(canvas);
        canvas.Ellipse(x - w(2), y - w(2), x + w(2), y + w(2));
        break;
    case 29:
    case 30: {
        const int a = s(type - 27);
        FillWithPen(canvas);
        Polygon(canvas, {{x - a, y}, {x, y + a}, {x + a, y}});
        break;
    }
    case 31:
    case 32: {
        const int a = s(type - 29);
        hollow([&] { Polygon(canvas, {{x - a, y}, {x, y + a}, {x + a, y}}); });
        break;
    }
    case 33:
    case 34:
    case 35:
    case 36: {
        // Down (33, 34) or up (35, 36); odd types hollow, even filled.
        const int d = type <= 34 ? 1 : -1;
        const auto draw = [&] { Polygon(canvas, {{x - s(4), y - d * s(3)}, {x, y + d * s(4)}, {x + s(4), y - d * s(3)}}); };
        if (type % 2 == 1) {
            hollow(draw);
        } else {
            FillWithPen(canvas);
            draw();
        }
        break;
    }
    case 37:
        Line(canvas, x - s(3), y, x + e(4), y);
        Line(canvas, x, y, x, y - e(8));
        break;
    case 38:
        Line(canvas, x - s(3), y - s(2), x + e(4), y - s(2));
        Line(canvas, x - s(3), y + s(2), x + e(4), y + s(2));
        Line(canvas, x, y - s(2), x, y + e(2));
        break;
    case 39:
        hollow([&] {
            canvas.Ellipse(x - s(3), y - s(3), x + e(4), y + e(4));
            Line(canvas, x - s(3), y, x + e(4), y);
            Line(canvas, x, y - s(3), x, y + e(4));
        });
        break;
    case 40:
    case 41:
    case 42:
    case 43:
    case 44:
    case 45:
    case 46:
    case 47: {
        // Triangles pointing left (40 ... 43) or right (44 ... 47); even
        // types hollow, odd filled; the second pair is one pixel larger.
        const bool left = type < 44;
        const bool large = (type - 40) % 4 >= 2;
        const int b = s(large ? 4 : 3);
        const int c = s(large ? 3 : 2);
        const int side = left ? 1 : -1;  // side of the base
        const auto draw = [&] { Polygon(canvas, {{x + side * b, y - c}, {x - side * c, y}, {x + side * b, y + c}}); };
        if (type % 2 == 0) {
            hollow(draw);
        } else {
            FillWithPen(canvas);
            draw();
        }
        break;
    }
    case 48:
        canvas.Brush().SetStyle(bsClear);
        canvas.Rectangle(x - s(3), y - s(3), x + e(4), y + e(4));
        canvas.Brush().SetStyle(bsSolid);
        Line(canvas, x - s(3), y, x + e(4), y);
        Line(canvas, x, y - s(3), x, y + e(4));
        break;
    case 49:
        canvas.Brush().SetStyle(bsClear);
        canvas.Rectangle(x - s(2), y - s(2), x + e(3), y + e(3));
        canvas.Brush().SetStyle(bsSolid);
        Line(canvas, x - s(4), y, x + e(5), y);
        Line(canvas, x, y - s(4), x, y + e(5));
        break;
    case 50:
        canvas.Brush().SetStyle(bsSolid);
        Line(canvas, x - s(4), y, x + e(5), y);
        Line(canvas, x, y - s(4), x, y + e(5));
        Line(canvas, x - s(3), y - s(3), x + e(4), y + e(4));
        Line(canvas, x - s(3), y + s(3), x + e(4), y - e(4));
        break;
    case 51:
        canvas.Brush().SetStyle(bsSolid);
        Line(canvas, x - s(4), y, x + e(5), y);
        Line(canvas, x, y - s(4), x, y + e(5));
        Line(canvas, x - s(1), y - s(3), x + e(2), y - s(3));
        Line(canvas, x - s(1), y + s(3), x + e(2), y + s(3));
        Line(canvas, x - s(3), y - s(1), x - s(3), y + e(2));
        Line(canvas, x + s(3), y - s(1), x + s(3), y + e(2));
        break;
    default:
        break;
    }
}

// The text of character mark `type` (52 ... 255) as UTF-8: 200 ... 209 are
// the digits, every other type is the Latin-1 character with that code.
std::string MarkCharacter(int type)
{
    if (type >= 200 && type <= 209) return std::string(1, static_cast<char>('0' + (type - 200)));
    if (type < 0x80) return std::string(1, static_cast<char>(type));
    return {static_cast<char>(0xC0 | (type >> 6)), static_cast<char>(0x80 | (type & 0x3F))};
}

void DrawCharacterMark(TCanvas& canvas, int type, int x, int y)
{
    const std::string text = MarkCharacter(type);
    canvas.Font().SetColor(canvas.Pen().Color());
    canvas.Brush().SetStyle(bsClear);
    const int w = canvas.TextWidth(text);
    const int h = canvas.TextHeight(text);
    canvas.TextOut(x - w / 2, y - h / 2, text);
}

}  // namespace

void DrawMark(TCanvas& canvas, int markType, int x, int y) { DrawMark(canvas, markType, x, y, 0); }

void DrawMark(TCanvas& canvas, int markType, int x, int y, int sizePx)
{
    const int type = markType & 0xFF;
    if (type > kLastSymbol) {
        // The brush stays clear, so the character has no background cell.
        DrawCharacterMark(canvas, type, x, y);
        return;
    }
    const TColor brushColor = canvas.Brush().Color();
    const int size = std::clamp(sizePx, 0, MaxMarkSize);
    DrawSymbol(canvas, type, x, y, size);
    // Setting the colour also makes the brush solid, whatever it was on entry.
    canvas.Brush().SetColor(brushColor);
}

int MarkNativeSize(TMark mark) { return kNativeSize[static_cast<std::size_t>(mark)]; }

int GreyValue(int r, int g, int b)
{
    // nearbyint in the default rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint(0.3 * r + 0.59 * g + 0.11 * b));
}

int GreyOf(TColor color)
{
    // System colours count with their value in the current scheme, not with
    // the bytes of their index.
    const auto rgb = static_cast<std::uint32_t>(ColorToRGB(color));
    return GreyValue(static_cast<int>(rgb & 0xFFu), static_cast<int>((rgb >> 8) & 0xFFu),
                     static_cast<int>((rgb >> 16) & 0xFFu));
}

TColor ContrastColor(TColor color) { return GreyOf(color) >= 140 ? clBlack : clWhite; }

}  // namespace kurvo
