// Simple and 3D frames: the line calls with their pen colours, and the
// pixels they colour.
#include "base/enums.h"
#include "base/marks.h"
#include "canvas/recording_canvas.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>
#include <sstream>
#include <string>

namespace kurvo {
namespace {

constexpr TColor kHighlight = 0x000001;
constexpr TColor kLight = 0x000002;
constexpr TColor kShadow = 0x000003;
constexpr TColor kDarkShadow = 0x000004;
constexpr TColor kSimple = 0x000005;

std::string ColourName(TColor color)
{
    static const std::map<TColor, std::string> names = {{kHighlight, "Highlight"}, {kLight, "Light"},
                                                        {kShadow, "Shadow"},       {kDarkShadow, "DarkShadow"},
                                                        {kSimple, "Simple"},       {clFuchsia, "Entry"}};
    const auto it = names.find(color);
    return it == names.end() ? "?" : it->second;
}

// "M(x,y)" for moves, "Colour(x,y)" for lines drawn with that pen colour.
std::string FrameCalls(int style, int l, int t, int r, int b)
{
    TRecordingCanvas canvas;
    canvas.Pen().SetColor(clFuchsia);
    DrawFrame(canvas, style, l, t, r, b, kHighlight, kLight, kShadow, kDarkShadow, kSimple);
    std::ostringstream out;
    for (const TCanvasCall& call : canvas.Calls()) {
        if (call.Op == "MoveTo")
            out << 'M';
        else if (call.Op == "LineTo")
            out << ColourName(call.PenColor);
        else
            out << call.Op;
        out << '(' << call.Args.at(0) << ',' << call.Args.at(1) << ") ";
    }
    return out.str();
}

TEST(DrawFrame, SimpleFrameIsAClosedPathInTheSimpleColour)
{
    EXPECT_EQ(FrameCalls(fsSimple, 10, 20, 30, 40),
              "M(10,20) Simple(10,40) Simple(30,40) Simple(30,20) Simple(10,20) ");
}

struct ColourRow {
    int Style;
    const char* C1;  // outer left and top
    const char* C2;  // outer right and bottom
    const char* C3;  // inner left and top
    const char* C4;  // inner right and bottom
};

TEST(DrawFrame, ThreeDStylesDrawTwoNestedFramesInTheirColours)
{
    const ColourRow rows[] = {
        {fsLowered, "Shadow", "Highlight", "DarkShadow", "Light"},
        {fsRaised, "Highlight", "DarkShadow", "Light", "Shadow"},
        {fsEmbossed, "Highlight", "Shadow", "Shadow", "Highlight"},
        {fsEngraved, "Shadow", "Highlight", "Highlight", "Shadow"},
    };
    // L = 10, T = 20, R = 30, B = 40.
    for (const ColourRow& row : rows) {
        std::ostringstream expected;
        expected << "M(10,40) " << row.C1 << "(10,20) " << row.C1 << "(31,20) "  //
                 << "M(30,21) " << row.C2 << "(30,40) " << row.C2 << "(9,40) "   //
                 << "M(11,39) " << row.C3 << "(11,21) " << row.C3 << "(30,21) "  //
                 << "M(29,22) " << row.C4 << "(29,39) " << row.C4 << "(10,39) ";
        EXPECT_EQ(FrameCalls(row.Style, 10, 20, 30, 40), expected.str()) << "style " << row.Style;
    }
}

TEST(DrawFrame, OnlyTheLowSevenBitsOfTheStyleCount)
{
    for (int style = fsNone; style <= fsEngraved; ++style) {
        EXPECT_EQ(FrameCalls(style | 0x80, 3, 4, 50, 60), FrameCalls(style, 3, 4, 50, 60)) << style;
        EXPECT_EQ(FrameCalls(style | 0x100, 3, 4, 50, 60), FrameCalls(style, 3, 4, 50, 60)) << style;
    }
}

TEST(DrawFrame, NoneAndUnknownStylesDrawNothing)
{
    for (int style : {0, 6, 7, 0x7F, 0x80, 0x86, 0xFF}) EXPECT_EQ(FrameCalls(style, 3, 4, 50, 60), "") << style;
}

// ------------------------------------------------------------ pixels

constexpr int kW = 14;
constexpr int kH = 12;
constexpr int kL = 2, kT = 3, kR = 10, kB = 9;
constexpr TColor kPaper = clWhite;
constexpr TColor kHighlightPx = clYellow;
constexpr TColor kLightPx = clLime;
constexpr TColor kShadowPx = clBlue;
constexpr TColor kDarkShadowPx = clMaroon;
constexpr TColor kSimplePx = clPurple;

using Image = std::vector<std::vector<TColor>>;  // [y][x]

Image FramePixels(int style)
{
    auto bitmap = std::make_unique<TBitmap>(kW, kH);
    TCanvas& c = bitmap->Canvas();
    c.Pen().SetColor(kPaper);
    c.Brush().SetColor(kPaper);
    c.Rectangle(0, 0, kW, kH);
    c.Pen().SetColor(clBlack);
    DrawFrame(c, style, kL, kT, kR, kB, kHighlightPx, kLightPx, kShadowPx, kDarkShadowPx, kSimplePx);
    Image image(kH, std::vector<TColor>(kW));
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) image[y][x] = bitmap->Pixel(x, y);
    return image;
}

Image Blank() { return Image(kH, std::vector<TColor>(kW, kPaper)); }

// Both frames include their right and bottom edges. The right/bottom colour
// of a frame takes its bottom-left corner, the left/top colour its
// top-right corner.
Image ExpectedThreeD(TColor c1, TColor c2, TColor c3, TColor c4)
{
    Image image = Blank();
    const auto ring = [&image](int l, int t, int r, int b, TColor leftTop, TColor rightBottom) {
        for (int x = l; x <= r; ++x) {
            image[t][x] = leftTop;
            image[b][x] = rightBottom;
        }
        for (int y = t + 1; y < b; ++y) {
            image[y][l] = leftTop;
            image[y][r] = rightBottom;
        }
    };
    ring(kL, kT, kR, kB, c1, c2);
    ring(kL + 1, kT + 1, kR - 1, kB - 1, c3, c4);
    return image;
}

TEST(FramePixels, ThreeDStylesColourTheirEdges)
{
    struct Row {
        int Style;
        TColor C1, C2, C3, C4;
    };
    const Row rows[] = {
        {fsLowered, kShadowPx, kHighlightPx, kDarkShadowPx, kLightPx},
        {fsRaised, kHighlightPx, kDarkShadowPx, kLightPx, kShadowPx},
        {fsEmbossed, kHighlightPx, kShadowPx, kShadowPx, kHighlightPx},
        {fsEngraved, kShadowPx, kHighlightPx, kHighlightPx, kShadowPx},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FramePixels(row.Style), ExpectedThreeD(row.C1, row.C2, row.C3, row.C4)) << "style " << row.Style;
}

TEST(FramePixels, SimpleFrameOutlinesTheRectangleEdgesIncluded)
{
    Image expected = Blank();
    for (int y = kT; y <= kB; ++y)
        for (int x = kL; x <= kR; ++x)
            if (x == kL || x == kR || y == kT || y == kB) expected[y][x] = kSimplePx;
    EXPECT_EQ(FramePixels(fsSimple), expected);
}

TEST(FramePixels, HighBitIsIgnoredAndUnknownStylesLeaveThePaper)
{
    EXPECT_EQ(FramePixels(0x82), FramePixels(fsLowered));
    EXPECT_EQ(FramePixels(0x85), FramePixels(fsEngraved));
    EXPECT_NE(FramePixels(fsLowered), FramePixels(fsRaised));
    for (int style : {0, 6, 0x80, 0x86}) EXPECT_EQ(FramePixels(style), Blank()) << "style " << style;
}

}  // namespace
}  // namespace kurvo
