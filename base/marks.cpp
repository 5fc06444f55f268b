// Point marks and the grey/contrast colour helpers.
#include "base/marks.h"

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

void Diamond(TCanvas& canvas, int x, int y)
{
    ClosedPath(canvas, {{x - 3, y}, {x, y + 3}, {x + 3, y}, {x, y - 3}});
}

void BoldCross(TCanvas& canvas, int x, int y, int a, int b)
{
    Line(canvas, x - 3, y - 3, x + a, y + a);
    Line(canvas, x - 3, y - 2, x + b, y + a);
    Line(canvas, x - 2, y - 3, x + a, y + b);
    Line(canvas, x - 3, y + 3, x + a, y - a);
    Line(canvas, x - 3, y + 2, x + b, y - a);
    Line(canvas, x - 2, y + 3, x + a, y - b);
}

// The outline and fill of types 0 ... 51; brush handling of the hollow and
// filled shapes is done here, the caller restores the brush colour.
void DrawSymbol(TCanvas& canvas, int type, int x, int y)
{
    const bool printer = canvas.IsPrinterCanvas();
    // Hollow shapes draw with a clear brush and leave it solid.
    const auto hollow = [&canvas](auto&& draw) {
        canvas.Brush().SetStyle(bsClear);
        draw();
        canvas.Brush().SetStyle(bsSolid);
    };

    switch (type) {
    case 0:
        canvas.SetPixel(x, y, canvas.Pen().Color());
        break;
    case 1:
    case 2:
    case 3:
        // A printer page gets lines: at its resolution single pixels are too small to see.
        if (printer) {
            const int a = type + 1;
            Line(canvas, x - a, y, x + a, y);
            Line(canvas, x, y - a, x, y + a);
        } else {
            PixelMark(canvas, kCrossRows[type - 1], x, y);
        }
        break;
    case 4:
    case 5:
    case 6:
        if (printer) {
            const int a = type - 2;
            Line(canvas, x - a, y - a, x + a, y + a);
            Line(canvas, x - a, y + a, x + a, y - a);
        } else {
            PixelMark(canvas, kCrossRows[type - 1], x, y);
        }
        break;
    case 7:
    case 8:
    case 9: {
        const int a = type - 6;
        FillWithPen(canvas);
        canvas.Rectangle(x - a, y - a, x + a + 1, y + a + 1);
        break;
    }
    case 10:
    case 11:
    case 12: {
        const int a = type - 9;
        ClosedPath(canvas, {{x - a, y - a}, {x - a, y + a}, {x + a, y + a}, {x + a, y - a}});
        break;
    }
    case 13:
        Diamond(canvas, x, y);
        canvas.SetPixel(x, y, canvas.Pen().Color());
        break;
    case 14:
    case 15: {
        const int a = type - 12;
        FillWithPen(canvas);
        Polygon(canvas, {{x - a, y}, {x, y + a}, {x + a, y}, {x, y - a}});
        break;
    }
    case 16:
    case 17: {
        const int a = type - 14;
        hollow([&] { canvas.Ellipse(x - a, y - a, x + a + 1, y + a + 1); });
        break;
    }
    case 18:
        if (printer) {
            // One-pixel strokes on the cells whose column and row have the same parity.
            for (int i = 1; i <= 7; ++i)
                for (int j = 1; j <= 7; ++j)
                    if ((i + j) % 2 == 0) Line(canvas, x - 4 + i, y - 4 + j, x - 3 + i, y - 4 + j);
        } else {
            PixelMark(canvas, kCheckerRows, x, y);
        }
        break;
    case 19:
        Diamond(canvas, x, y);
        break;
    case 20:
    case 21: {
        const int a = type - 17;
        Line(canvas, x, y, x - a, y + a);
        Line(canvas, x, y, x + a, y + a);
        break;
    }
    case 22:
    case 23: {
        const int a = type - 19;
        Line(canvas, x, y, x - a, y - a);
        Line(canvas, x, y, x + a, y - a);
        break;
    }
    case 24:
        FillWithPen(canvas);
        canvas.Ellipse(x - 3, y - 3, x + 4, y + 4);
        break;
    case 25:
        if (printer)
            BoldCross(canvas, x, y, 3, 2);
        else
            BoldCross(canvas, x, y, 4, 3);
        break;
    case 26:
        FillWithPen(canvas);
        canvas.Ellipse(x - 2, y - 2, x + 3, y + 3);
        break;
    case 27:
        hollow([&] { canvas.Ellipse(x - 2, y - 2, x + 2, y + 2); });
        break;
    case 28:
        FillWithPen(canvas);
        canvas.Ellipse(x - 2, y - 2, x + 2, y + 2);
        break;
    case 29:
    case 30: {
        const int a = type - 27;
        FillWithPen(canvas);
        Polygon(canvas, {{x - a, y}, {x, y + a}, {x + a, y}});
        break;
    }
    case 31:
    case 32: {
        const int a = type - 29;
        hollow([&] { Polygon(canvas, {{x - a, y}, {x, y + a}, {x + a, y}}); });
        break;
    }
    case 33:
        hollow([&] { Polygon(canvas, {{x - 4, y - 3}, {x, y + 4}, {x + 4, y - 3}}); });
        break;
    case 34:
        FillWithPen(canvas);
        Polygon(canvas, {{x - 4, y - 3}, {x, y + 4}, {x + 4, y - 3}});
        break;
    case 35:
        hollow([&] { Polygon(canvas, {{x - 4, y + 3}, {x, y - 4}, {x + 4, y + 3}}); });
        break;
    case 36:
        FillWithPen(canvas);
        Polygon(canvas, {{x - 4, y + 3}, {x, y - 4}, {x + 4, y + 3}});
        break;
    case 37:
        Line(canvas, x - 3, y, x + 4, y);
        Line(canvas, x, y, x, y - 8);
        break;
    case 38:
        Line(canvas, x - 3, y - 2, x + 4, y - 2);
        Line(canvas, x - 3, y + 2, x + 4, y + 2);
        Line(canvas, x, y - 2, x, y + 2);
        break;
    case 39:
        hollow([&] {
            canvas.Ellipse(x - 3, y - 3, x + 4, y + 4);
            Line(canvas, x - 3, y, x + 4, y);
            Line(canvas, x, y - 3, x, y + 4);
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
        const int b = large ? 4 : 3;
        const int c = large ? 3 : 2;
        const int s = left ? 1 : -1;  // side of the base
        const auto draw = [&] { Polygon(canvas, {{x + s * b, y - c}, {x - s * c, y}, {x + s * b, y + c}}); };
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
        canvas.Rectangle(x - 3, y - 3, x + 4, y + 4);
        canvas.Brush().SetStyle(bsSolid);
        Line(canvas, x - 3, y, x + 4, y);
        Line(canvas, x, y - 3, x, y + 4);
        break;
    case 49:
        canvas.Brush().SetStyle(bsClear);
        canvas.Rectangle(x - 2, y - 2, x + 3, y + 3);
        canvas.Brush().SetStyle(bsSolid);
        Line(canvas, x - 4, y, x + 5, y);
        Line(canvas, x, y - 4, x, y + 5);
        break;
    case 50:
        canvas.Brush().SetStyle(bsSolid);
        Line(canvas, x - 4, y, x + 5, y);
        Line(canvas, x, y - 4, x, y + 5);
        Line(canvas, x - 3, y - 3, x + 4, y + 4);
        Line(canvas, x - 3, y + 3, x + 4, y - 4);
        break;
    case 51:
        canvas.Brush().SetStyle(bsSolid);
        Line(canvas, x - 4, y, x + 5, y);
        Line(canvas, x, y - 4, x, y + 5);
        Line(canvas, x - 1, y - 3, x + 2, y - 3);
        Line(canvas, x - 1, y + 3, x + 2, y + 3);
        Line(canvas, x - 3, y - 1, x - 3, y + 2);
        Line(canvas, x + 3, y - 1, x + 3, y + 2);
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

void DrawMark(TCanvas& canvas, int markType, int x, int y)
{
    const int type = markType & 0xFF;
    if (type > kLastSymbol) {
        // The brush stays clear, so the character has no background cell.
        DrawCharacterMark(canvas, type, x, y);
        return;
    }
    const TColor brushColor = canvas.Brush().Color();
    DrawSymbol(canvas, type, x, y);
    // Setting the colour also makes the brush solid, whatever it was on entry.
    canvas.Brush().SetColor(brushColor);
}

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
