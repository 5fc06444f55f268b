// Point marks: the calls each mark type makes on a recording canvas, with
// the brush state of every drawing call.
#include "base/marks.h"
#include "canvas/recording_canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace kurvo {
namespace {

constexpr int kX = 40;
constexpr int kY = 30;
constexpr TColor kPen = clRed;
constexpr TColor kBrush = clAqua;

// One token per call, coordinates relative to the mark's centre. Drawing
// calls carry the brush they were made with: "#" solid in the pen colour
// (filled), "o" clear (hollow), nothing for the caller's solid brush, "?"
// anything else. SetPixel in another colour than the pen's is marked "!".
std::string Describe(const TRecordingCanvas& canvas)
{
    std::ostringstream out;
    bool first = true;
    for (const TCanvasCall& call : canvas.Calls()) {
        if (!first) out << ' ';
        first = false;
        if (call.Op == "MoveTo" || call.Op == "LineTo" || call.Op == "SetPixel") {
            out << call.Op[0] << '(' << call.Args[0] - kX << ',' << call.Args[1] - kY << ')';
        } else if (call.Op == "Rectangle" || call.Op == "Ellipse") {
            out << call.Op[0] << '(' << call.Args[0] - kX << ',' << call.Args[1] - kY << ','
                << call.Args[2] - kX << ',' << call.Args[3] - kY << ')';
        } else if (call.Op == "Polygon") {
            out << 'P';
            for (TPoint p : call.Points) out << '(' << p.X - kX << ',' << p.Y - kY << ')';
        } else {
            out << call.Op;
        }
        if (call.Op == "SetPixel") {
            if (call.Color != call.PenColor) out << '!';
        } else if (call.Op != "MoveTo") {
            if (call.BrushStyle == bsClear)
                out << 'o';
            else if (call.BrushColor == call.PenColor)
                out << '#';
            else if (call.BrushColor != kBrush)
                out << '?';
        }
    }
    return out.str();
}

std::string Draw(int type, bool printer = false)
{
    TRecordingCanvas canvas;
    canvas.SetPrinter(printer);
    canvas.Pen().SetColor(kPen);
    canvas.Brush().SetColor(kBrush);
    DrawMark(canvas, type, kX, kY);
    return Describe(canvas);
}

struct SymbolRow {
    int Type;
    const char* Calls;
};

// Every fixed symbol except the pixel pictures (1 ... 6, 18), which have
// their own tests below.
const SymbolRow kScreenSymbols[] = {
    {0, "S(0,0)"},
    {7, "R(-1,-1,2,2)#"},
    {8, "R(-2,-2,3,3)#"},
    {9, "R(-3,-3,4,4)#"},
    {10, "M(-1,-1) L(-1,1) L(1,1) L(1,-1) L(-1,-1)"},
    {11, "M(-2,-2) L(-2,2) L(2,2) L(2,-2) L(-2,-2)"},
    {12, "M(-3,-3) L(-3,3) L(3,3) L(3,-3) L(-3,-3)"},
    {13, "M(-3,0) L(0,3) L(3,0) L(0,-3) L(-3,0) S(0,0)"},
    {14, "P(-2,0)(0,2)(2,0)(0,-2)#"},
    {15, "P(-3,0)(0,3)(3,0)(0,-3)#"},
    {16, "E(-2,-2,3,3)o"},
    {17, "E(-3,-3,4,4)o"},
    {19, "M(-3,0) L(0,3) L(3,0) L(0,-3) L(-3,0)"},
    {20, "M(0,0) L(-3,3) M(0,0) L(3,3)"},
    {21, "M(0,0) L(-4,4) M(0,0) L(4,4)"},
    {22, "M(0,0) L(-3,-3) M(0,0) L(3,-3)"},
    {23, "M(0,0) L(-4,-4) M(0,0) L(4,-4)"},
    {24, "E(-3,-3,4,4)#"},
    {25, "M(-3,-3) L(4,4) M(-3,-2) L(3,4) M(-2,-3) L(4,3) M(-3,3) L(4,-4) M(-3,2) L(3,-4) M(-2,3) L(4,-3)"},
    {26, "E(-2,-2,3,3)#"},
    {27, "E(-2,-2,2,2)o"},
    {28, "E(-2,-2,2,2)#"},
    {29, "P(-2,0)(0,2)(2,0)#"},
    {30, "P(-3,0)(0,3)(3,0)#"},
    {31, "P(-2,0)(0,2)(2,0)o"},
    {32, "P(-3,0)(0,3)(3,0)o"},
    {33, "P(-4,-3)(0,4)(4,-3)o"},
    {34, "P(-4,-3)(0,4)(4,-3)#"},
    {35, "P(-4,3)(0,-4)(4,3)o"},
    {36, "P(-4,3)(0,-4)(4,3)#"},
    {37, "M(-3,0) L(4,0) M(0,0) L(0,-8)"},
    {38, "M(-3,-2) L(4,-2) M(-3,2) L(4,2) M(0,-2) L(0,2)"},
    {39, "E(-3,-3,4,4)o M(-3,0) L(4,0)o M(0,-3) L(0,4)o"},
    {40, "P(3,-2)(-2,0)(3,2)o"},
    {41, "P(3,-2)(-2,0)(3,2)#"},
    {42, "P(4,-3)(-3,0)(4,3)o"},
    {43, "P(4,-3)(-3,0)(4,3)#"},
    {44, "P(-3,-2)(2,0)(-3,2)o"},
    {45, "P(-3,-2)(2,0)(-3,2)#"},
    {46, "P(-4,-3)(3,0)(-4,3)o"},
    {47, "P(-4,-3)(3,0)(-4,3)#"},
    {48, "R(-3,-3,4,4)o M(-3,0) L(4,0) M(0,-3) L(0,4)"},
    {49, "R(-2,-2,3,3)o M(-4,0) L(5,0) M(0,-4) L(0,5)"},
    {50, "M(-4,0) L(5,0) M(0,-4) L(0,5) M(-3,-3) L(4,4) M(-3,3) L(4,-4)"},
    {51, "M(-4,0) L(5,0) M(0,-4) L(0,5) M(-1,-3) L(2,-3) M(-1,3) L(2,3) M(-3,-1) L(-3,2) M(3,-1) L(3,2)"},
};

TEST(DrawMark, FixedSymbolsMakeTheirCallsWithTheirBrush)
{
    for (const SymbolRow& row : kScreenSymbols) EXPECT_EQ(Draw(row.Type), row.Calls) << "type " << row.Type;
}

TEST(DrawMark, PrinterPageGetsLineFormsOfThePixelMarksAndAShorterBoldCross)
{
    const SymbolRow rows[] = {
        {1, "M(-2,0) L(2,0) M(0,-2) L(0,2)"},
        {2, "M(-3,0) L(3,0) M(0,-3) L(0,3)"},
        {3, "M(-4,0) L(4,0) M(0,-4) L(0,4)"},
        {4, "M(-2,-2) L(2,2) M(-2,2) L(2,-2)"},
        {5, "M(-3,-3) L(3,3) M(-3,3) L(3,-3)"},
        {6, "M(-4,-4) L(4,4) M(-4,4) L(4,-4)"},
        {25, "M(-3,-3) L(3,3) M(-3,-2) L(2,3) M(-2,-3) L(3,2) M(-3,3) L(3,-3) M(-3,2) L(2,-3) M(-2,3) L(3,-2)"},
    };
    for (const SymbolRow& row : rows) EXPECT_EQ(Draw(row.Type, true), row.Calls) << "type " << row.Type;
}

TEST(DrawMark, OtherSymbolsAreTheSameOnThePrinterPage)
{
    for (const SymbolRow& row : kScreenSymbols) {
        if (row.Type == 25) continue;
        EXPECT_EQ(Draw(row.Type, true), row.Calls) << "type " << row.Type;
    }
}

// Pictures of the pixel marks: row 0 is y - 3, column 0 is x - 3.
using Picture = std::vector<std::string>;

const std::pair<int, Picture> kPixelMarks[] = {
    {1, {".......", ".......", "...#...", "..###..", "...#...", ".......", "......."}},
    {2, {".......", "...#...", "...#...", ".#####.", "...#...", "...#...", "......."}},
    {3, {"...#...", "...#...", "...#...", "#######", "...#...", "...#...", "...#..."}},
    {4, {".......", ".......", "..#.#..", "...#...", "..#.#..", ".......", "......."}},
    {5, {".......", ".#...#.", "..#.#..", "...#...", "..#.#..", ".#...#.", "......."}},
    {6, {"#.....#", ".#...#.", "..#.#..", "...#...", "..#.#..", ".#...#.", "#.....#"}},
    {18, {"#.#.#.#", ".#.#.#.", "#.#.#.#", ".#.#.#.", "#.#.#.#", ".#.#.#.", "#.#.#.#"}},
};

std::set<std::pair<int, int>> Cells(const Picture& picture)
{
    std::set<std::pair<int, int>> cells;
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 7; ++col)
            if (picture[row][col] == '#') cells.insert({col - 3, row - 3});
    return cells;
}

TEST(DrawMark, PixelMarksSetThePixelsOfTheirPictureInThePenColour)
{
    for (const auto& [type, picture] : kPixelMarks) {
        TRecordingCanvas canvas;
        canvas.Pen().SetColor(kPen);
        canvas.Brush().SetColor(kBrush);
        DrawMark(canvas, type, kX, kY);
        std::set<std::pair<int, int>> drawn;
        for (const TCanvasCall& call : canvas.Calls()) {
            ASSERT_EQ(call.Op, "SetPixel") << "type " << type;
            EXPECT_EQ(call.Color, kPen) << "type " << type;
            EXPECT_TRUE(drawn.insert({call.Args[0] - kX, call.Args[1] - kY}).second) << "pixel set twice, type " << type;
        }
        EXPECT_EQ(drawn, Cells(picture)) << "type " << type;
    }
}

TEST(DrawMark, CheckerboardOnThePrinterPageIsOnePixelStrokesOnTheSameCells)
{
    TRecordingCanvas canvas;
    canvas.SetPrinter(true);
    canvas.Pen().SetColor(kPen);
    DrawMark(canvas, 18, kX, kY);
    const auto& calls = canvas.Calls();
    ASSERT_EQ(calls.size() % 2, 0u);
    std::set<std::pair<int, int>> cells;
    for (std::size_t k = 0; k < calls.size(); k += 2) {
        ASSERT_EQ(calls[k].Op, "MoveTo");
        ASSERT_EQ(calls[k + 1].Op, "LineTo");
        const int x = calls[k].Args[0];
        const int y = calls[k].Args[1];
        // LineTo leaves out its end pixel: a stroke to a neighbour covers one pixel.
        const int dx = calls[k + 1].Args[0] - x;
        const int dy = calls[k + 1].Args[1] - y;
        EXPECT_EQ(std::abs(dx) + std::abs(dy), 1) << "stroke from " << x << ", " << y;
        EXPECT_TRUE(cells.insert({x - kX, y - kY}).second);
    }
    EXPECT_EQ(cells, Cells(kPixelMarks[6].second));
}

TEST(DrawMark, OnlyTheLowByteOfTheTypeCounts)
{
    const std::pair<int, int> rows[] = {{256 + 7, 7}, {512 + 3, 3}, {0x7F00 + 24, 24}, {-249, 7}, {-256, 0},
                                        {256 + 65, 65}, {1024 + 203, 203}, {-1, 255}};
    for (const auto& [type, same] : rows) {
        EXPECT_EQ(Draw(type), Draw(same)) << "type " << type;
        EXPECT_EQ(Draw(type, true), Draw(same, true)) << "type " << type;
    }
}

TEST(DrawMark, FixedSymbolsRestoreTheBrushColourAndLeaveItSolid)
{
    for (TBrushStyle entryStyle : {bsSolid, bsClear}) {
        for (int type = 0; type <= 51; ++type) {
            for (bool printer : {false, true}) {
                TRecordingCanvas canvas;
                canvas.SetPrinter(printer);
                canvas.Pen().SetColor(kPen);
                canvas.Pen().SetWidth(2);
                canvas.Pen().SetStyle(psDot);
                canvas.Brush().SetColor(kBrush);
                canvas.Brush().SetStyle(entryStyle);
                const TColor fontColor = canvas.Font().Color();
                DrawMark(canvas, type, kX, kY);
                EXPECT_FALSE(canvas.Calls().empty()) << "type " << type;
                EXPECT_EQ(canvas.Brush().Color(), kBrush) << "type " << type;
                EXPECT_EQ(canvas.Brush().Style(), bsSolid) << "type " << type;
                EXPECT_EQ(canvas.Pen().Color(), kPen) << "type " << type;
                EXPECT_EQ(canvas.Pen().Width(), 2) << "type " << type;
                EXPECT_EQ(canvas.Pen().Style(), psDot) << "type " << type;
                EXPECT_EQ(canvas.Font().Color(), fontColor) << "type " << type;
            }
        }
    }
}

struct CharacterRow {
    int Type;
    const char* Text;
};

TEST(DrawMark, CharacterMarksShowTheirCharacter)
{
    const CharacterRow rows[] = {
        {52, "4"},
        {65, "A"},
        {126, "~"},
        {127, "\x7F"},
        {128, "\xC2\x80"},
        {199, "\xC3\x87"},  // C cedilla
        {200, "0"},
        {203, "3"},
        {209, "9"},
        {210, "\xC3\x92"},  // O grave
        {233, "\xC3\xA9"},  // e acute
        {255, "\xC3\xBF"},  // y diaeresis
    };
    for (const CharacterRow& row : rows) {
        TRecordingCanvas canvas;
        canvas.Pen().SetColor(kPen);
        DrawMark(canvas, row.Type, kX, kY);
        const auto calls = canvas.Calls();
        ASSERT_EQ(calls.size(), 1u) << "type " << row.Type;
        EXPECT_EQ(calls[0].Op, "TextOut");
        EXPECT_EQ(calls[0].Text, row.Text) << "type " << row.Type;
    }
}

TEST(DrawMark, CharacterIsCentredInThePenColourWithoutBackground)
{
    // The recording canvas measures one character as 6 x 13 pixels.
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{40, 30}, {0, 0}, {7, 100}}) {
        TRecordingCanvas canvas;
        canvas.Pen().SetColor(clGreen);
        canvas.Brush().SetColor(kBrush);
        canvas.Font().SetColor(clBlue);
        DrawMark(canvas, 'W', x, y);
        ASSERT_EQ(canvas.Calls().size(), 1u);
        const TCanvasCall& call = canvas.Calls()[0];
        EXPECT_EQ(call.Args, (std::vector<int>{x - 3, y - 6}));
        EXPECT_EQ(call.FontColor, clGreen);
        EXPECT_EQ(call.BrushStyle, bsClear);
        EXPECT_EQ(canvas.Brush().Style(), bsClear);
        EXPECT_EQ(canvas.Font().Color(), clGreen);
        EXPECT_EQ(canvas.Pen().Color(), clGreen);
    }
}

TEST(DrawMark, CharacterMarksAreTheSameOnThePrinterPage)
{
    for (int type : {52, 65, 203, 255}) EXPECT_EQ(Draw(type, true), Draw(type)) << "type " << type;
}

}  // namespace
}  // namespace kurvo
