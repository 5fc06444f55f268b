// Simple and 3D frames: the line calls and their pen colours.
#include "base/enums.h"
#include "base/marks.h"
#include "canvas/recording_canvas.h"

#include <gtest/gtest.h>

#include <map>
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

}  // namespace
}  // namespace kurvo
