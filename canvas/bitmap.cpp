// TBitmap: an off-screen 32-bit QImage with its own canvas.
#include "canvas/Qorn_canvas.h"
#include "canvas/picture_memory.h"
#include "canvas/qt_canvas.h"

#include <QByteArray>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

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
// rows blank; an uncompressed file must hold all the rows it announces. A
// picture larger than any bitmap may hold is refused before it is decoded.
bool HeaderAcceptable(const QByteArray& data)
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
    width = std::llabs(width);
    height = std::llabs(height);
    if (width > MaxBitmapSide || height > MaxBitmapSide || width * height > MaxBitmapPixels) return false;
    constexpr std::uint32_t kRgb = 0;
    constexpr std::uint32_t kBitFields = 3;
    if (compression != kRgb && compression != kBitFields) return true;  // run-length data: Qt checks it
    const long long rowBytes = (width * bits + 31) / 32 * 4;
    const long long available = static_cast<long long>(data.size()) - offset;
    if (available < 0) return false;
    // Divided rather than multiplied: the product of two header values can
    // exceed any integer type.
    return height == 0 || rowBytes <= available / height;
}

}  // namespace

TBitmap::TBitmap() : FImage(std::make_unique<QImage>()), FCanvas(std::make_unique<TQtCanvas>(FImage.get())) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() = default;

int TBitmap::Width() const { return FWidth; }

int TBitmap::Height() const { return FHeight; }

void TBitmap::SetWidth(int value) { SetSize(value, Height()); }

void TBitmap::SetHeight(int value) { SetSize(Width(), value); }

void LimitBitmapSize(int& width, int& height)
{
    width = std::clamp(width, 0, MaxBitmapSide);
    height = std::clamp(height, 0, MaxBitmapSide);
    if (width > 0 && std::int64_t{width} * height > MaxBitmapPixels)
        height = static_cast<int>(MaxBitmapPixels / width);
}

void TBitmap::SetSize(int width, int height)
{
    LimitBitmapSize(width, height);
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
    Reallocate();
}

// The image for the logical size at the current ratio is made at its first
// use: a chart that is sized, resized and given its ratio before it paints
// allocates (and fills, page by fresh page) each picture once, at its final
// size.
void TBitmap::Reallocate()
{
    // The painter must let go of the old pixels before they are replaced.
    FCanvas->EndPaint();
    *FImage = QImage();
    FCanvas->SetPendingImage(FWidth == 0 || FHeight == 0 ? std::function<void()>() : [this] { Allocate(); });
}

void TBitmap::Allocate()
{
    // Rounded in double and limited, so that a huge logical size cannot wrap
    // round; QImage refuses what it cannot allocate and leaves a null image.
    const auto physical = [this](int logical) {
        return static_cast<int>(std::clamp(std::lround(logical * FRatio), 1L, static_cast<long>(INT_MAX)));
    };
    // The device pixels obey the same limit as a logical size does.
    int w = physical(FWidth);
    int h = physical(FHeight);
    LimitBitmapSize(w, h);
    *FImage = NewPicture(w, h);
    FImage->setDevicePixelRatio(FRatio);
    FImage->fill(Qt::white);
}

TCanvas& TBitmap::Canvas() { return *FCanvas; }

const QImage& TBitmap::Image() const
{
    FCanvas->Image();  // made now if it waited for its first use
    FCanvas->EndPaint();
    return *FImage;
}

TColor TBitmap::Pixel(int x, int y) const
{
    FCanvas->Image();
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
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error != nullptr) *error = "Cannot open file \"" + fileName + "\"";
        return false;
    }
    const QByteArray data = file.readAll();
    return LoadFromMemory(data.constData(), static_cast<std::size_t>(data.size()), error, fileName);
}

bool TBitmap::LoadFromMemory(const void* bytes, std::size_t size, std::string* error, const std::string& name)
{
    auto fail = [&](const std::string& text) {
        if (error != nullptr) *error = text;
        return false;
    };
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) return fail("\"" + name + "\" is too large");
    const QByteArray data = QByteArray::fromRawData(static_cast<const char*>(bytes), static_cast<qsizetype>(size));
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') return fail("\"" + name + "\" is not a BMP file");
    QImage decoded;
    if (!HeaderAcceptable(data) || !decoded.loadFromData(data, "BMP") || decoded.isNull() ||
        std::int64_t{decoded.width()} * decoded.height() > MaxBitmapPixels)
        return fail("Bitmap image is not valid: \"" + name + "\"");
    FCanvas->EndPaint();
    FCanvas->SetPendingImage(nullptr);
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
