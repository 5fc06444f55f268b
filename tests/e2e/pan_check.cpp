// Compares two screen pictures (X window dumps) of the demo taken before and
// after a drag: the curve must have moved by the given number of pixels to
// the right, the red text with it, while the blue text and the green frame
// stayed where they were.
//
// Usage: kurvo-e2e-pancheck BEFORE.xwd AFTER.xwd LEFT TOP RIGHT BOTTOM SHIFT [PNG_PREFIX]
//        kurvo-e2e-pancheck --ready PICTURE.xwd LEFT TOP RIGHT BOTTOM
// LEFT ... BOTTOM is the chart's data area in screen pixels, edges included.
// With PNG_PREFIX the data areas are also written as PREFIX-before.png and
// PREFIX-after.png for a person to look at. --ready succeeds once the
// picture shows the demo's data area painted (its green frame).
#include <QFile>
#include <QImage>
#include <QString>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

std::uint32_t BigEndian32(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// One colour channel of a pixel value, scaled to 0 ... 255.
int Channel(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t value = (pixel & mask) >> shift;
    const std::uint32_t top = (1u << bits) - 1;
    return static_cast<int>(value * 255 / top);
}

// Reads a ZPixmap dump of 24 or 32 bits per pixel with true-colour masks:
// a header of big-endian 32-bit fields, the window name, the colour map,
// then the rows.
QImage ReadXwd(const QString& path, std::string& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot open " + path.toStdString();
        return {};
    }
    const QByteArray data = file.readAll();
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    if (data.size() < 100) {
        error = "too short for a window dump";
        return {};
    }
    auto field = [bytes](int index) { return BigEndian32(bytes + 4 * index); };
    const std::uint32_t headerSize = field(0);
    const std::uint32_t version = field(1);
    const std::uint32_t format = field(2);
    const std::uint32_t width = field(4);
    const std::uint32_t height = field(5);
    const std::uint32_t byteOrder = field(7);  // 0: least significant byte first
    const std::uint32_t bitsPerPixel = field(11);
    const std::uint32_t bytesPerLine = field(12);
    const std::uint32_t redMask = field(14);
    const std::uint32_t greenMask = field(15);
    const std::uint32_t blueMask = field(16);
    const std::uint32_t colours = field(19);
    if (version != 7 || format != 2 || (bitsPerPixel != 24 && bitsPerPixel != 32) || width == 0 || height == 0 ||
        width > 16384 || height > 16384) {
        error = "not a 24/32-bit ZPixmap window dump";
        return {};
    }
    const std::uint64_t offset = std::uint64_t{headerSize} + std::uint64_t{colours} * 12;
    if (offset + std::uint64_t{bytesPerLine} * height > static_cast<std::uint64_t>(data.size()) ||
        bytesPerLine < width * (bitsPerPixel / 8)) {
        error = "window dump is truncated";
        return {};
    }
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    const int step = static_cast<int>(bitsPerPixel / 8);
    for (std::uint32_t y = 0; y < height; ++y) {
        const unsigned char* row = bytes + offset + std::uint64_t{bytesPerLine} * y;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = row + x * step;
            std::uint32_t pixel = 0;
            for (int b = 0; b < step; ++b) {
                const int at = byteOrder == 0 ? step - 1 - b : b;
                pixel = (pixel << 8) | p[at];
            }
            out[x] = qRgb(Channel(pixel, redMask), Channel(pixel, greenMask), Channel(pixel, blueMask));
        }
    }
    return image;
}

struct TArea {
    int left, top, right, bottom;
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

using TColourTest = std::function<bool(QRgb)>;

bool IsCurve(QRgb c) { return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100; }
bool IsBlue(QRgb c) { return qBlue(c) > 150 && qRed(c) < 110 && qGreen(c) < 110; }
bool IsGreen(QRgb c) { return qGreen(c) > 200 && qRed(c) < 80 && qBlue(c) < 80; }
bool IsRed(QRgb c) { return qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 110; }

struct TMatch {
    int counted = 0;  // pixels of the colour in `after` whose source lies in the area
    int matched = 0;  // of them, those found in `before` shifted by (dx, dy)
    double Ratio() const { return counted > 0 ? static_cast<double>(matched) / counted : 0.0; }
};

// How well the pixels of one colour in `after` are those of `before` moved by (dx, dy).
TMatch Match(const QImage& before, const QImage& after, const TArea& area, const TColourTest& colour, int dx, int dy)
{
    TMatch m;
    for (int y = area.top; y <= area.bottom; ++y)
        for (int x = area.left; x <= area.right; ++x) {
            if (!colour(after.pixel(x, y))) continue;
            if (!area.Contains(x - dx, y - dy)) continue;
            ++m.counted;
            if (colour(before.pixel(x - dx, y - dy))) ++m.matched;
        }
    return m;
}

int CountPixels(const QImage& image, const TArea& area, const TColourTest& colour)
{
    int n = 0;
    for (int y = area.top; y <= area.bottom; ++y)
        for (int x = area.left; x <= area.right; ++x) n += colour(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// The same pixels of one colour in both pictures, in both directions.
bool StaysPut(const QImage& before, const QImage& after, const TArea& area, const TColourTest& colour,
              const char* what, int minimum)
{
    const int count = CountPixels(before, area, colour);
    const TMatch forward = Match(before, after, area, colour, 0, 0);
    const TMatch backward = Match(after, before, area, colour, 0, 0);
    const bool ok = count >= minimum && forward.Ratio() >= 0.99 && backward.Ratio() >= 0.99;
    std::printf("%s: %d pixels, %.3f of them in place after the drag, %.3f before it: %s\n", what, count,
                backward.Ratio(), forward.Ratio(), ok ? "ok" : "FAILED");
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 7 && std::string(argv[1]) == "--ready") {
        std::string error;
        const QImage picture = ReadXwd(QString::fromLocal8Bit(argv[2]), error);
        const TArea data{std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6])};
        if (picture.isNull() || data.left < 0 || data.top < 0 || data.right >= picture.width() ||
            data.bottom >= picture.height())
            return 1;
        return CountPixels(picture, data, IsGreen) >= 1000 ? 0 : 1;
    }
    if (argc != 8 && argc != 9) {
        std::fprintf(stderr, "usage: %s BEFORE.xwd AFTER.xwd LEFT TOP RIGHT BOTTOM SHIFT [PNG_PREFIX]\n", argv[0]);
        return 2;
    }
    std::string error;
    const QImage before = ReadXwd(QString::fromLocal8Bit(argv[1]), error);
    if (before.isNull()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 2;
    }
    const QImage after = ReadXwd(QString::fromLocal8Bit(argv[2]), error);
    if (after.isNull()) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.c_str());
        return 2;
    }
    const TArea data{std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6])};
    const int shift = std::atoi(argv[7]);
    if (before.size() != after.size() || data.left < 0 || data.top < 0 || data.right >= before.width() ||
        data.bottom >= before.height() || data.left + 10 > data.right || data.top + 10 > data.bottom) {
        std::fprintf(stderr, "the data area does not fit the pictures\n");
        return 2;
    }
    if (argc == 9) {
        const QRect r(data.left, data.top, data.right - data.left + 1, data.bottom - data.top + 1);
        before.copy(r).save(QString::fromLocal8Bit(argv[8]) + QStringLiteral("-before.png"));
        after.copy(r).save(QString::fromLocal8Bit(argv[8]) + QStringLiteral("-after.png"));
    }

    // The curve: dark pixels inside the data area, its frame left out.
    const TArea inside{data.left + 2, data.top + 2, data.right - 2, data.bottom - 2};
    int bestDx = 0, bestDy = 0;
    TMatch best;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -2 * shift - 20; dx <= 2 * shift + 20; ++dx) {
            const TMatch m = Match(before, after, inside, IsCurve, dx, dy);
            if (m.counted >= 100 && m.Ratio() > best.Ratio()) {
                best = m;
                bestDx = dx;
                bestDy = dy;
            }
        }
    const TMatch unmoved = Match(before, after, inside, IsCurve, 0, 0);
    const bool curveOk = bestDx == shift && bestDy == 0 && best.Ratio() >= 0.9 && unmoved.Ratio() < 0.5;
    std::printf("curve: best match moved by (%d, %d), %d of %d pixels (%.3f); unmoved %.3f: %s\n", bestDx, bestDy,
                best.matched, best.counted, best.Ratio(), unmoved.Ratio(), curveOk ? "ok" : "FAILED");

    const TMatch red = Match(before, after, data, IsRed, shift, 0);
    const bool redOk = red.counted >= 30 && red.Ratio() >= 0.95;
    std::printf("red text: %d of %d pixels moved by %d: %s\n", red.matched, red.counted, shift,
                redOk ? "ok" : "FAILED");

    const bool blueOk = StaysPut(before, after, data, IsBlue, "blue text", 30);
    const bool greenOk = StaysPut(before, after, data, IsGreen, "green frame", 1000);
    return curveOk && redOk && blueOk && greenOk ? 0 : 1;
}
