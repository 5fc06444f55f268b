// Colours, pen, brush and font: the platform-independent part of the canvas.
#include "canvas/Qorn_canvas.h"

#include "canvas/qt_interop.h"

#include <QColor>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace kurvo {

namespace {

// The classic desktop colour scheme, indexed by system colour number.
constexpr std::array<TColor, 25> kSystemColors = {
    0xC8C8C8,  // 0 scroll bar
    0x808000,  // 1 background (desktop)
    0x800000,  // 2 active caption
    0x808080,  // 3 inactive caption
    0xC0C0C0,  // 4 menu
    0xFFFFFF,  // 5 window
    0x000000,  // 6 window frame
    0x000000,  // 7 menu text
    0x000000,  // 8 window text
    0xFFFFFF,  // 9 caption text
    0xC0C0C0,  // 10 active border
    0xC0C0C0,  // 11 inactive border
    0x808080,  // 12 application workspace
    0x800000,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xC0C0C0,  // 15 button face
    0x808080,  // 16 button shadow
    0x808080,  // 17 grey text
    0x000000,  // 18 button text
    0xC0C0C0,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x000000,  // 21 3D dark shadow
    0xDFDFDF,  // 22 3D light
    0x000000,  // 23 info text
    0xE1FFFF,  // 24 info background
};

}  // namespace

TColor ColorToRGB(TColor color)
{
    const auto bits = static_cast<std::uint32_t>(color);
    if ((bits & 0xFF000000u) == 0xFF000000u) {
        const std::uint32_t index = bits & 0xFFu;
        return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
    }
    return static_cast<TColor>(bits & 0x00FFFFFFu);
}

void TPen::SetColor(TColor value)
{
    if (FColor != value) {
        FColor = value;
        ++FVersion;
    }
}

void TPen::SetWidth(int value)
{
    if (value < 1) value = 1;
    if (FWidth != value) {
        FWidth = value;
        ++FVersion;
    }
}

void TPen::SetStyle(TPenStyle value)
{
    if (FStyle != value) {
        FStyle = value;
        ++FVersion;
    }
}

void TPen::SetMode(TPenMode value)
{
    if (FMode != value) {
        FMode = value;
        ++FVersion;
    }
}

void TPen::Assign(const TPen& source)
{
    SetColor(source.FColor);
    SetWidth(source.FWidth);
    SetStyle(source.FStyle);
    SetMode(source.FMode);
}

void TBrush::SetColor(TColor value)
{
    if (FColor != value || FStyle != bsSolid) {
        FColor = value;
        FStyle = bsSolid;
        ++FVersion;
    }
}

void TBrush::SetStyle(TBrushStyle value)
{
    if (FStyle != value) {
        FStyle = value;
        ++FVersion;
    }
}

void TBrush::Assign(const TBrush& source)
{
    FColor = source.FColor;
    FStyle = source.FStyle;
    ++FVersion;
}

TFont::TFont() = default;

TFont::TFont(const TFont& other)
    : FName(other.FName),
      FHeight(other.FHeight),
      FColor(other.FColor),
      FStyle(other.FStyle),
      FPixelsPerInch(other.FPixelsPerInch)
{
}

TFont& TFont::operator=(const TFont& other)
{
    if (this != &other) {
        FName = other.FName;
        FHeight = other.FHeight;
        FColor = other.FColor;
        FStyle = other.FStyle;
        FPixelsPerInch = other.FPixelsPerInch;
        Changed();
    }
    return *this;
}

void TFont::Changed()
{
    ++FVersion;
    if (OnChange) OnChange(*this);
}

void TFont::SetName(const std::string& value)
{
    if (FName != value) {
        FName = value;
        Changed();
    }
}

int TFont::Size() const
{
    // Size = -Height * 72 / PPI, rounded like MulDiv.
    const double size = -static_cast<double>(FHeight) * 72.0 / FPixelsPerInch;
    return static_cast<int>(std::lround(size));
}

void TFont::SetSize(int points)
{
    const long height = -std::lround(static_cast<double>(points) * FPixelsPerInch / 72.0);
    SetHeight(static_cast<int>(height));
}

void TFont::SetHeight(int pixels)
{
    if (FHeight != pixels) {
        FHeight = pixels;
        Changed();
    }
}

void TFont::SetColor(TColor value)
{
    if (FColor != value) {
        FColor = value;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles value)
{
    if (!(FStyle == value)) {
        FStyle = value;
        Changed();
    }
}

void TFont::SetPixelsPerInch(int value)
{
    if (value < 1) value = 1;
    if (FPixelsPerInch != value) {
        FPixelsPerInch = value;
        Changed();
    }
}

bool operator==(const TFont& a, const TFont& b)
{
    return a.FName == b.FName && a.FHeight == b.FHeight && a.FColor == b.FColor && a.FStyle == b.FStyle &&
           a.FPixelsPerInch == b.FPixelsPerInch;
}

int RoundCanvasCoord(double v)
{
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp<double>(v, -MaxCanvasCoord, MaxCanvasCoord)));
}

void TCanvas::MoveTo(int x, int y) { FPenPos = {x, y}; }

void TCanvas::PolylineF(const TPointF* points, int count)
{
    if (points == nullptr || count <= 0) return;
    std::vector<TPoint> rounded;
    rounded.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        // A point that is not a number has no pixel: it is left out.
        if (std::isnan(points[k].X) || std::isnan(points[k].Y)) continue;
        rounded.push_back({RoundCanvasCoord(points[k].X), RoundCanvasCoord(points[k].Y)});
    }
    if (!rounded.empty()) Polyline(rounded.data(), static_cast<int>(rounded.size()));
}

void TCanvas::SetPixels(int x, int y, int width, int height, const std::uint32_t* pixels, std::size_t stride)
{
    if (pixels == nullptr) return;
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            const std::uint32_t v = pixels[static_cast<std::size_t>(j) * stride + static_cast<std::size_t>(i)];
            if ((v >> 24) != 0)
                SetPixel(x + i, y + j, static_cast<TColor>(((v >> 16) & 0xFFu) | (v & 0xFF00u) | ((v & 0xFFu) << 16)));
        }
}

void TCanvas::TileDraw(const TRect& rect, const TBitmap& image)
{
    const std::int64_t w = image.Width();
    const std::int64_t h = image.Height();
    if (w <= 0 || h <= 0) return;
    // No surface is larger than MaxBitmapSide, so tiles beyond it are never seen.
    const std::int64_t right = std::min<std::int64_t>(rect.Right, std::int64_t{rect.Left} + MaxBitmapSide);
    const std::int64_t bottom = std::min<std::int64_t>(rect.Bottom, std::int64_t{rect.Top} + MaxBitmapSide);
    for (std::int64_t x = rect.Left; x < right; x += w)
        for (std::int64_t y = rect.Top; y < bottom; y += h) Draw(static_cast<int>(x), static_cast<int>(y), image);
}

int Utf8Length(const std::string& text)
{
    int n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string Utf8Prefix(const std::string& text, int count)
{
    std::size_t end = 0;
    for (int n = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && n++ == count) break;
    }
    return text.substr(0, end);
}

int ScreenLogPixelsY() { return ScreenPixelsPerInch; }

int CanvasLogPixelsY(const TCanvas& canvas)
{
    return canvas.IsPrinterCanvas() ? canvas.PrinterLogPixelsY() : ScreenLogPixelsY();
}

int ScreenAspectX() { return 36; }

int ScreenAspectY() { return 36; }

// Qt colours (see TColor)
void TPen::SetColor(const QColor& value) { SetColor(FromQColor(value)); }
void TPen::SetColor(Qt::GlobalColor value) { SetColor(FromQColor(value)); }
void TBrush::SetColor(const QColor& value) { SetColor(FromQColor(value)); }
void TBrush::SetColor(Qt::GlobalColor value) { SetColor(FromQColor(value)); }
void TFont::SetColor(const QColor& value) { SetColor(FromQColor(value)); }
void TFont::SetColor(Qt::GlobalColor value) { SetColor(FromQColor(value)); }

}  // namespace kurvo
