// Conversions between TColor / UTF-8 strings and QColor / QString.
#include "canvas/qt_interop.h"

#include <gtest/gtest.h>

namespace kurvo {
namespace {

struct ColourRow {
    const char* Name;
    TColor Color;
    int R, G, B;
};

TEST(QtInterop, ColoursConvertChannelByChannelAndBack)
{
    const ColourRow rows[] = {
        {"black", clBlack, 0, 0, 0},
        {"white", clWhite, 255, 255, 255},
        {"red is the low byte", clRed, 255, 0, 0},
        {"blue is the third byte", clBlue, 0, 0, 255},
        {"mixed", 0x00332211, 0x11, 0x22, 0x33},
    };
    for (const ColourRow& row : rows) {
        const QColor q = ToQColor(row.Color);
        EXPECT_EQ(q, QColor(row.R, row.G, row.B)) << row.Name;
        EXPECT_EQ(q.alpha(), 255) << row.Name;
        EXPECT_EQ(FromQColor(q), row.Color) << row.Name;
    }
}

TEST(QtInterop, SystemColoursBecomeTheRgbTheCanvasPaints)
{
    for (TColor color : {clBtnFace, clWindow, clWindowText, clHighlight, clInfoBk, SystemColor(200)}) {
        const TColor rgb = ColorToRGB(color);
        EXPECT_EQ(FromQColor(ToQColor(color)), rgb) << std::hex << color;
        EXPECT_NE(rgb, color) << "a system colour never comes back as itself";
    }
    EXPECT_EQ(ToQColor(clBtnFace), QColor(192, 192, 192));
    EXPECT_EQ(ToQColor(SystemColor(200)), QColor(0, 0, 0)) << "unknown system index";
}

TEST(QtInterop, QColorsOutsidePlainRgbAreReducedToOpaqueRgb)
{
    EXPECT_EQ(FromQColor(QColor(10, 20, 30, 0)), 0x001E140A) << "alpha dropped";
    EXPECT_EQ(FromQColor(QColor::fromHsv(240, 255, 255)), clBlue);
    EXPECT_EQ(FromQColor(QColor::fromCmyk(0, 255, 255, 0)), clRed);
    EXPECT_EQ(FromQColor(QColor()), clBlack) << "invalid colour";
}

TEST(QtInterop, TextsRoundTripAsUtf8)
{
    const std::string texts[] = {"", "plain", "\xC2\xB5s und \xE2\x88\x92" "5 \xC2\xB0" "C", "\xF0\x9F\x93\x88",
                                 std::string("nul\0inside", 10)};
    for (const std::string& text : texts) {
        const QString q = ToQString(text);
        EXPECT_EQ(FromQString(q), text);
    }
    EXPECT_EQ(ToQString("\xE2\x88\x92" "5"), QString(QChar(0x2212)) + "5");
    EXPECT_EQ(ToQString("\xF0\x9F\x93\x88").size(), 2) << "one code point outside the BMP is a surrogate pair";
    EXPECT_EQ(ToQString("bad \xFF byte"), QString("bad ") + QChar(0xFFFD) + " byte");
    EXPECT_EQ(FromQString(QString("a") + QChar(0xD800) + "b"), "a?b") << "a lone surrogate";
}

}  // namespace
}  // namespace kurvo
