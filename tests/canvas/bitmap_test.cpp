// TBitmap: size, finished pixels and reading BMP files.
#include "canvas/picture_memory.h"
#include "canvas/qt_canvas.h"
#include "pixel_helpers.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <utility>
#include <vector>

namespace kurvo {
namespace {

TEST(Bitmap, SizeIsNeverNegativeAndAZeroSideKeepsTheOther)
{
    struct Row {
        int W, H, ExpectW, ExpectH;
        bool Empty;
    };
    const Row rows[] = {{5, 3, 5, 3, false}, {-2, 4, 0, 4, true}, {7, 0, 7, 0, true}, {0, 0, 0, 0, true}, {-1, -1, 0, 0, true}};
    for (const Row& row : rows) {
        TBitmap bitmap;
        bitmap.SetSize(row.W, row.H);
        EXPECT_EQ(bitmap.Width(), row.ExpectW) << row.W << "x" << row.H;
        EXPECT_EQ(bitmap.Height(), row.ExpectH) << row.W << "x" << row.H;
        EXPECT_EQ(bitmap.Empty(), row.Empty);
    }
    TBitmap bitmap(4, 4);
    bitmap.SetWidth(9);
    bitmap.SetHeight(2);
    EXPECT_EQ(bitmap.Image().size(), QSize(9, 2));
    EXPECT_EQ(bitmap.Pixel(9, 0), -1);
    EXPECT_EQ(bitmap.Pixel(0, 2), -1);
    EXPECT_EQ(bitmap.Pixel(-1, 0), -1);
}

TEST(Bitmap, NoSizeAsksForMoreThanAScreenSizedPicture)
{
    const std::pair<int, int> rows[] = {{INT_MAX, INT_MAX}, {INT_MAX, 1}, {1, INT_MAX}, {16384, 16384}, {20000, 3}};
    for (auto [w, h] : rows) {
        TBitmap bitmap(w, h);
        EXPECT_LE(bitmap.Width(), MaxBitmapSide) << w << " x " << h;
        EXPECT_LE(bitmap.Height(), MaxBitmapSide) << w << " x " << h;
        EXPECT_LE(std::int64_t{bitmap.Width()} * bitmap.Height(), MaxBitmapPixels) << w << " x " << h;
        EXPECT_GT(bitmap.Height(), 0);
        EXPECT_EQ(bitmap.Image().width(), bitmap.Width());
    }
    TBitmap ordinary(1920, 1080);
    EXPECT_EQ(ordinary.Width(), 1920);
    EXPECT_EQ(ordinary.Height(), 1080);
}

TEST(Bitmap, ResizingWhileDrawingIsSafeAndTheNewPixelsCanBeDrawn)
{
    TBitmap bitmap(20, 20);
    TCanvas& c = bitmap.Canvas();
    c.Brush().SetColor(clRed);
    c.Ellipse(0, 0, 20, 20);  // leaves the painter open
    for (int size : {50, 3, 0, 30}) {
        bitmap.SetSize(size, size);
        c.Ellipse(0, 0, size, size);
        if (size > 10) EXPECT_EQ(bitmap.Pixel(size / 2, size / 2), clRed) << size;
        EXPECT_EQ(bitmap.Image().width(), size > 0 ? size : 0);
    }
}

TEST(Bitmap, ImageAndPixelShowEveryFinishedDrawing)
{
    TBitmap bitmap(10, 10);
    bitmap.Canvas().Brush().SetColor(clLime);
    bitmap.Canvas().Ellipse(0, 0, 10, 10);
    EXPECT_EQ(FromQRgb(bitmap.Image().pixel(5, 5)), clLime);
    bitmap.Canvas().Ellipse(0, 0, 10, 10);
    bitmap.Canvas().Brush().SetColor(clNavy);
    bitmap.Canvas().Ellipse(2, 2, 8, 8);
    EXPECT_EQ(bitmap.Pixel(5, 5), clNavy);
    EXPECT_EQ(bitmap.Image().format(), QImage::Format_RGB32);
}

TEST(Bitmap, PixelFormatIsATagOnly)
{
    TBitmap bitmap(3, 3);
    bitmap.SetPixelFormat(pf32bit);
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.ClassName(), "TBitmap");
}

// ------------------------------------------------------------- BMP files

void Put(std::vector<unsigned char>& out, std::uint32_t value, int bytes)
{
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<unsigned char>((value >> (8 * k)) & 0xFF));
}

// A BMP file with a 40-byte info header. `rows` are given top to bottom as
// raw pixel bytes without padding; a negative height stores them top-down.
std::vector<unsigned char> Bmp(int width, int height, int bits, const std::vector<std::vector<unsigned char>>& rows,
                               const std::vector<std::uint32_t>& palette = {})
{
    const int rowBytes = (width * bits + 31) / 32 * 4;
    const int absHeight = height < 0 ? -height : height;
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size()) * 4;
    std::vector<unsigned char> out = {'B', 'M'};
    Put(out, offset + static_cast<std::uint32_t>(rowBytes * absHeight), 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, 40, 4);
    Put(out, static_cast<std::uint32_t>(width), 4);
    Put(out, static_cast<std::uint32_t>(height), 4);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(bits), 2);
    Put(out, 0, 4);  // no compression
    Put(out, static_cast<std::uint32_t>(rowBytes * absHeight), 4);
    Put(out, 2835, 4);
    Put(out, 2835, 4);
    Put(out, static_cast<std::uint32_t>(palette.size()), 4);
    Put(out, 0, 4);
    for (std::uint32_t entry : palette) Put(out, entry, 4);
    for (int r = 0; r < absHeight; ++r) {
        const auto& row = rows[static_cast<std::size_t>(height < 0 ? r : absHeight - 1 - r)];
        out.insert(out.end(), row.begin(), row.end());
        for (int pad = static_cast<int>(row.size()); pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

class BitmapFile : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes)
    {
        const std::string path = (FDir.path() + "/").toStdString() + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    QTemporaryDir FDir;
};

// 3 x 2 pixels, top row red, green, blue; bottom row white, black, grey.
const std::vector<std::vector<unsigned char>> kRows24 = {
    {0, 0, 255, 0, 255, 0, 255, 0, 0},
    {255, 255, 255, 0, 0, 0, 128, 128, 128},
};
const TColor kExpected[2][3] = {{clRed, clLime, clBlue}, {clWhite, clBlack, clGray}};

TEST_F(BitmapFile, ReadsBottomUpAndTopDownTwentyFourBitFiles)
{
    for (int height : {2, -2}) {
        TBitmap bitmap(1, 1);
        std::string error = "untouched";
        ASSERT_TRUE(bitmap.LoadFromFile(Write("rgb.bmp", Bmp(3, height, 24, kRows24)), &error)) << error;
        EXPECT_EQ(error, "untouched");
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_EQ(bitmap.Height(), 2);
        EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(bitmap.Pixel(x, y), kExpected[y][x]) << x << "," << y << " height " << height;
        // The loaded picture can be drawn on.
        bitmap.Canvas().SetPixel(0, 0, clYellow);
        EXPECT_EQ(bitmap.Pixel(0, 0), clYellow);
    }
}

TEST_F(BitmapFile, ReadsPalettedFiles)
{
    // Two palette entries: 0 = maroon, 1 = teal; 4 x 1 pixels 0 1 1 0.
    const auto bytes = Bmp(4, 1, 8, {{0, 1, 1, 0}}, {0x00800000, 0x00008080});  // stored as B, G, R, 0
    TBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromFile(Write("pal.bmp", bytes)));
    EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
    EXPECT_EQ(bitmap.Pixel(0, 0), clMaroon);
    EXPECT_EQ(bitmap.Pixel(1, 0), clTeal);
    EXPECT_EQ(bitmap.Pixel(3, 0), clMaroon);
}

TEST_F(BitmapFile, ReadsWhatQtWrites)
{
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixel(4, 3, qRgb(200, 100, 50));
    const QString path = FDir.path() + "/qt.bmp";
    ASSERT_TRUE(image.save(path, "BMP"));
    TBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromFile(path.toStdString()));
    EXPECT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(bitmap.Pixel(0, 0), 0x1E140A);
    EXPECT_EQ(bitmap.Pixel(4, 3), 0x3264C8);
}

TEST_F(BitmapFile, RefusedFilesLeaveTheBitmapAsItWas)
{
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::red);
    const QString pngPath = FDir.path() + "/picture.png";
    ASSERT_TRUE(png.save(pngPath, "PNG"));
    auto truncated = Bmp(3, 2, 24, kRows24);
    truncated.resize(truncated.size() - 5);
    auto header = Bmp(3, 2, 24, kRows24);
    header.resize(30);
    // Header values patched in: width, height (info header offsets 4, 8), compression (16).
    auto patched = [](std::uint32_t width, std::uint32_t height, std::uint32_t bits, std::uint32_t compression) {
        auto bytes = Bmp(1, 1, 32, {{0, 0, 0, 0}});
        auto set = [&](std::size_t at, std::uint32_t v, int n) {
            for (int k = 0; k < n; ++k) bytes[at + static_cast<std::size_t>(k)] = static_cast<unsigned char>(v >> (8 * k));
        };
        set(18, width, 4);
        set(22, height, 4);
        set(28, bits, 2);
        set(30, compression, 4);
        return bytes;
    };
    std::vector<unsigned char> garbage = {'B', 'M'};
    for (int k = 0; k < 80; ++k) garbage.push_back(static_cast<unsigned char>(k * 7));

    const std::pair<const char*, std::string> rows[] = {
        {"missing", (FDir.path() + "/nothing-here.bmp").toStdString()},
        {"png", pngPath.toStdString()},
        {"truncated rows", Write("truncated.bmp", truncated)},
        {"truncated header", Write("header.bmp", header)},
        {"garbage after the signature", Write("garbage.bmp", garbage)},
        {"empty file", Write("empty.bmp", {})},
        {"directory", FDir.path().toStdString()},
        {"largest dimensions at 32 bits", Write("huge.bmp", patched(0x7fffffff, 0x7fffffff, 32, 0))},
        {"largest negative height", Write("down.bmp", patched(0x7fffffff, 0x80000000u, 32, 0))},
        {"run-length picture larger than a screen", Write("rle.bmp", patched(10000, 10000, 8, 1))},
    };
    for (const auto& [name, path] : rows) {
        TBitmap bitmap(2, 3);
        bitmap.Canvas().SetPixel(1, 1, clRed);
        bitmap.SetPixelFormat(pf32bit);
        std::string error;
        EXPECT_FALSE(bitmap.LoadFromFile(path, &error)) << name;
        EXPECT_NE(error.find(path), std::string::npos) << name << ": " << error;
        EXPECT_EQ(bitmap.Width(), 2) << name;
        EXPECT_EQ(bitmap.Height(), 3) << name;
        EXPECT_EQ(bitmap.Pixel(1, 1), clRed) << name;
        EXPECT_EQ(bitmap.PixelFormat(), pf32bit) << name;
        EXPECT_FALSE(bitmap.LoadFromFile(path)) << name << ": without an error text";
    }
}

}  // namespace
}  // namespace kurvo

// Picture memory freed by one picture serves the next of its size, and two
// pictures alive at once never share it.
TEST(Bitmap, PictureMemoryIsReusedButNeverShared)
{
    QImage first = kurvo::NewPicture(64, 48);
    const uchar* firstBits = first.constBits();
    QImage second = kurvo::NewPicture(64, 48);
    ASSERT_FALSE(first.isNull());
    EXPECT_NE(second.constBits(), firstBits);
    first = QImage();
    QImage third = kurvo::NewPicture(64, 48);
    EXPECT_EQ(third.constBits(), firstBits);
    second.fill(Qt::red);
    third.fill(Qt::blue);
    EXPECT_EQ(second.pixel(63, 47), qRgb(255, 0, 0));
    EXPECT_TRUE(kurvo::NewPicture(0, 5).isNull());
}
