// Grey value and contrast colour.
#include "base/marks.h"

#include <gtest/gtest.h>

namespace kurvo {
namespace {

struct GreyRow {
    int R, G, B;
    int Grey;
};

TEST(GreyValue, WeightsTheChannelsAndRoundsHalvesToEven)
{
    const GreyRow rows[] = {
        {0, 0, 0, 0},
        {255, 255, 255, 255},
        {255, 0, 0, 76},    // 76.5
        {0, 255, 0, 150},   // 150.45
        {0, 0, 255, 28},    // 28.05
        {255, 255, 0, 227}, // 226.95
        {15, 0, 0, 4},      // 4.5
        {25, 0, 0, 8},      // 7.5
        {35, 0, 0, 10},     // 10.5
        {0, 50, 0, 30},     // 29.5
        {0, 0, 50, 6},      // 5.5
        {140, 140, 140, 140},
        {139, 139, 139, 139},
        {17, 34, 51, 31},   // 30.77
    };
    for (const GreyRow& row : rows)
        EXPECT_EQ(GreyValue(row.R, row.G, row.B), row.Grey) << row.R << ", " << row.G << ", " << row.B;
}

TEST(GreyOf, ReadsRedFromTheLowByteAndBlueFromTheThird)
{
    EXPECT_EQ(GreyOf(clRed), 76);
    EXPECT_EQ(GreyOf(clLime), 150);
    EXPECT_EQ(GreyOf(clBlue), 28);
    EXPECT_EQ(GreyOf(clYellow), 227);
    EXPECT_EQ(GreyOf(0x00332211), GreyValue(0x11, 0x22, 0x33));
    EXPECT_EQ(GreyOf(0x00332211), 31);
}

TEST(GreyOf, ResolvesSystemColoursThroughTheColourScheme)
{
    for (TColor color : {clBtnFace, clBtnShadow, clWindow, clWindowText, clHighlight, clInfoBk})
        EXPECT_EQ(GreyOf(color), GreyOf(ColorToRGB(color))) << std::hex << color;
    // Button face is silver in the scheme; its index bytes alone would give 4.
    EXPECT_EQ(GreyOf(clBtnFace), 192);
}

struct ContrastRow {
    const char* Name;
    TColor Color;
    TColor Contrast;
};

TEST(ContrastColor, IsBlackFromGreyValue140AndWhiteBelow)
{
    const ContrastRow rows[] = {
        {"red (76)", clRed, clWhite},
        {"yellow (227)", clYellow, clBlack},
        {"grey 140", 0x008C8C8C, clBlack},
        {"grey 139", 0x008B8B8B, clWhite},
        {"black", clBlack, clWhite},
        {"white", clWhite, clBlack},
        {"blue (28)", clBlue, clWhite},
        {"lime (150)", clLime, clBlack},
        {"silver", clSilver, clBlack},
        {"grey (128)", clGray, clWhite},
        {"button face (silver)", clBtnFace, clBlack},
        {"button shadow (grey)", clBtnShadow, clWhite},
    };
    for (const ContrastRow& row : rows) EXPECT_EQ(ContrastColor(row.Color), row.Contrast) << row.Name;
}

}  // namespace
}  // namespace kurvo
