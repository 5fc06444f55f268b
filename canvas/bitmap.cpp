// TBitmap: an off-screen 32-bit QImage with its own canvas.
#include "canvas/Qorn_canvas.h"
#include "canvas/qt_canvas.h"

#include <QByteArray>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kurvo {

namespace {

constexpr QImage::Format kFormat = QImage::Format_RGB32;

std::uint32_t ReadLE(const QByteArray& data, qsizetype offset, int bytes)
{
    std::uint32_t value = 0;
    for (int k = bytes - 1; k >= 0; --k) value = (value << 8) | static_cast<unsigned char>(data[offset + k]);
    return value;
}

// The bit count of the file's pixels, from its info header.
TPixelFormat FormatOfBmp(const QByteArray& data)
{
    constexpr qsizetype kInfoHeader = 14;
    if (data.size() < kInfoHeader + 16) return pfDevice;
    const std::uint32_t headerSize = ReadLE(data, kInfoHeader, 4);
    const std::uint32_t bits = headerSize == 12 ? ReadLE(data, kInfoHeader + 10, 2) : ReadLE(data, kInfoHeader + 14, 2);
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfDevice;
    }
}

// Qt decodes a BMP whose pixel rows are cut short and leaves the missing
// rows blank; an uncompressed file must hold all the rows it announces.
bool UncompressedRowsComplete(const QByteArray& data)
{
    constexpr qsizetype kInfoHeader = 14;
    if (data.size() < kInfoHeader + 4) return false;
    const std::uint32_t headerSize = ReadLE(data, kInfoHeader, 4);
    const std::uint32_t offset = ReadLE(data, 10, 4);
    long long width = 0;
    long long height = 0;
    long long bits = 0;
    std::uint32_t compression = 0;
    if (headerSize == 12) {
        if (data.size() < kInfoHeader + 12) return false;
        width = ReadLE(data, kInfoHeader + 4, 2);
        height = ReadLE(data, kInfoHeader + 6, 2);
        bits = ReadLE(data, kInfoHeader + 10, 2);
    } else {
        if (data.size() < kInfoHeader + 20) return false;
        width = static_cast<std::int32_t>(ReadLE(data, kInfoHeader + 4, 4));
        height = static_cast<std::int32_t>(ReadLE(data, kInfoHeader + 8, 4));
        bits = ReadLE(data, kInfoHeader + 14, 2);
        compression = ReadLE(data, kInfoHeader + 16, 4);
    }
    constexpr std::uint32_t kRgb = 0;
    constexpr std::uint32_t kBitFields = 3;
    if (compression != kRgb && compression != kBitFields) return true;  // run-length data: Qt checks it
    const long long rowBytes = (std::llabs(width) * bits + 31) / 32 * 4;
    return static_cast<long long>(offset) + rowBytes * std::llabs(height) <= data.size();
}

}  // namespace

TBitmap::TBitmap() : FImage(std::make_unique<QImage>()), FCanvas(std::make_unique<TQtCanvas>(FImage.get())) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() = default;

int TBitmap::Width() const { return FWidth; }

int TBitmap::Height() const { return FHeight; }

void TBitmap::SetWidth(int value) { SetSize(value, Height()); }

void TBitmap::SetHeight(int value) { SetSize(Width(), value); }

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width() && height == Height()) return;
    FWidth = width;
    FHeight = height;
    Reallocate();
}

void TBitmap::SetDevicePixelRatio(double value)
{
    value = std::isfinite(value) ? std::clamp(value, MinDevicePixelRatio, MaxDevicePixelRatio) : 1.0;
    if (value == FRatio) return;
    FRatio = value;
    if (FImage->isNull()) {
        FImage->setDevicePixelRatio(value);
        return;
    }
    Reallocate();
}

// A new image for the logical size at the current ratio.
void TBitmap::Reallocate()
{
    // The painter must let go of the old pixels before they are replaced.
    FCanvas->EndPaint();
    if (FWidth == 0 || FHeight == 0) {
        *FImage = QImage();
        return;
    }
    // Rounded in double and limited, so that a huge logical size cannot wrap
    // round; QImage refuses what it cannot allocate and leaves a null image.
    const auto physical = [this](int logical) {
        return static_cast<int>(std::clamp(std::lround(logical * FRatio), 1L, static_cast<long>(INT_MAX)));
    };
    *FImage = QImage(physical(FWidth), physical(FHeight), kFormat);
    FImage->setDevicePixelRatio(FRatio);
    FImage->fill(Qt::white);
}

TCanvas& TBitmap::Canvas() { return *FCanvas; }

const QImage& TBitmap::Image() const
{
    FCanvas->EndPaint();
    return *FImage;
}

TColor TBitmap::Pixel(int x, int y) const
{
    FCanvas->EndPaint();
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight || FImage->isNull()) return -1;
    if (FRatio != 1.0) {
        x = std::min(static_cast<int>((x + 0.5) * FRatio), FImage->width() - 1);
        y = std::min(static_cast<int>((y + 0.5) * FRatio), FImage->height() - 1);
    }
    return FromQRgb(FImage->pixel(x, y));
}

bool TBitmap::LoadFromFile(const std::string& fileName, std::string* error)
{
    auto fail = [&](const std::string& text) {
        if (error != nullptr) *error = text;
        return false;
    };
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::ReadOnly)) return fail("Cannot open file \"" + fileName + "\"");
    const QByteArray data = file.readAll();
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') return fail("\"" + fileName + "\" is not a BMP file");
    QImage decoded;
    if (!UncompressedRowsComplete(data) || !decoded.loadFromData(data, "BMP") || decoded.isNull())
        return fail("Bitmap image is not valid: \"" + fileName + "\"");
    FCanvas->EndPaint();
    // A file's picture has one device pixel per pixel.
    *FImage = decoded.convertToFormat(kFormat);
    FImage->setDevicePixelRatio(1.0);
    FRatio = 1.0;
    FWidth = FImage->width();
    FHeight = FImage->height();
    FPixelFormat = FormatOfBmp(data);
    return true;
}

}  // namespace kurvo
