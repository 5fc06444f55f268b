// Point marks on a real bitmap: the pixels each mark sets.
#include "base/marks.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kurvo {
namespace {

constexpr int kSize = 40;
constexpr int kX = 20;
constexpr int kY = 20;
constexpr TColor kPaper = clWhite;
constexpr TColor kPen = clRed;
constexpr TColor kBrush = clAqua;

using Cells = std::set<std::pair<int, int>>;

// A white bitmap with a red pen and an aqua brush.
class Sheet {
public:
    Sheet()
    {
        TCanvas& c = bitmap.Canvas();
        c.Pen().SetColor(kPaper);
        c.Brush().SetColor(kPaper);
        c.Rectangle(0, 0, kSize, kSize);
        c.Pen().SetColor(kPen);
        c.Brush().SetColor(kBrush);
    }
    TCanvas& Canvas() { return bitmap.Canvas(); }
    TColor Pixel(int x, int y) const { return bitmap.Pixel(x, y); }

    // Pixels that are no longer paper, relative to (kX, kY).
    Cells Ink() const
    {
        Cells cells;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (Pixel(x, y) != kPaper) cells.insert({x - kX, y - kY});
        return cells;
    }
    // Colours of all pixels, row by row.
    std::vector<TColor> Pixels() const
    {
        std::vector<TColor> result;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) result.push_back(Pixel(x, y));
        return result;
    }

    TBitmap bitmap{kSize, kSize};
};

// Bitmaps cannot be copied or moved, so sheets live on the heap.
std::unique_ptr<Sheet> MarkSheet(int type)
{
    auto sheet = std::make_unique<Sheet>();
    DrawMark(sheet->Canvas(), type, kX, kY);
    return sheet;
}

Cells Square(int a)
{
    Cells cells;
    for (int dy = -a; dy <= a; ++dy)
        for (int dx = -a; dx <= a; ++dx) cells.insert({dx, dy});
    return cells;
}

TEST(MarkPixels, DotSetsExactlyTheCentrePixel)
{
    const auto sheet = MarkSheet(0);
    EXPECT_EQ(sheet->Ink(), (Cells{{0, 0}}));
    EXPECT_EQ(sheet->Pixel(kX, kY), kPen);
}

TEST(MarkPixels, FilledSquaresCoverExactlyTheirSquareInThePenColour)
{
    for (const auto& [type, a] : std::vector<std::pair<int, int>>{{7, 1}, {8, 2}, {9, 3}}) {
        const auto sheet = MarkSheet(type);
        EXPECT_EQ(sheet->Ink(), Square(a)) << "type " << type;
        for (const auto& [dx, dy] : Square(a)) EXPECT_EQ(sheet->Pixel(kX + dx, kY + dy), kPen) << "type " << type;
    }
}

TEST(MarkPixels, OnlyTheLowByteOfTheTypeCounts)
{
    EXPECT_EQ(MarkSheet(256 + 7)->Pixels(), MarkSheet(7)->Pixels());
    EXPECT_EQ(MarkSheet(0x1200 + 18)->Pixels(), MarkSheet(18)->Pixels());
    EXPECT_NE(MarkSheet(7)->Pixels(), MarkSheet(8)->Pixels());
}

// Pictures of the pixel marks: row 0 is y - 3, column 0 is x - 3.
const std::pair<int, std::vector<std::string>> kPixelMarks[] = {
    {1, {".......", ".......", "...#...", "..###..", "...#...", ".......", "......."}},
    {2, {".......", "...#...", "...#...", ".#####.", "...#...", "...#...", "......."}},
    {3, {"...#...", "...#...", "...#...", "#######", "...#...", "...#...", "...#..."}},
    {4, {".......", ".......", "..#.#..", "...#...", "..#.#..", ".......", "......."}},
    {5, {".......", ".#...#.", "..#.#..", "...#...", "..#.#..", ".#...#.", "......."}},
    {6, {"#.....#", ".#...#.", "..#.#..", "...#...", "..#.#..", ".#...#.", "#.....#"}},
    {18, {"#.#.#.#", ".#.#.#.", "#.#.#.#", ".#.#.#.", "#.#.#.#", ".#.#.#.", "#.#.#.#"}},
};

TEST(MarkPixels, PixelMarksSetExactlyThePixelsOfTheirPicture)
{
    for (const auto& [type, picture] : kPixelMarks) {
        Cells expected;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 7; ++col)
                if (picture[row][col] == '#') expected.insert({col - 3, row - 3});
        const auto sheet = MarkSheet(type);
        EXPECT_EQ(sheet->Ink(), expected) << "type " << type;
        for (const auto& [dx, dy] : expected) EXPECT_EQ(sheet->Pixel(kX + dx, kY + dy), kPen) << "type " << type;
    }
}

TEST(MarkPixels, EverySymbolDrawsInThePenColourWithinItsBox)
{
    // The largest symbols reach from x - 4 to x + 4 and from y - 7 (the
    // stem) to y + 4.
    for (int type = 0; type <= 51; ++type) {
        const auto sheet = MarkSheet(type);
        const Cells ink = sheet->Ink();
        EXPECT_FALSE(ink.empty()) << "type " << type;
        for (const auto& [dx, dy] : ink) {
            EXPECT_EQ(sheet->Pixel(kX + dx, kY + dy), kPen) << "type " << type << " at " << dx << ", " << dy;
            EXPECT_TRUE(dx >= -4 && dx <= 4 && dy >= -7 && dy <= 4) << "type " << type << " at " << dx << ", " << dy;
        }
    }
}

struct InsideRow {
    int Type;
    int Dx, Dy;  // a point inside the outline, off the outline itself
    bool Filled;
};

TEST(MarkPixels, FilledSymbolsCoverTheirInsideAndHollowOnesLeaveIt)
{
    const InsideRow rows[] = {
        {12, 0, 0, false}, {13, 0, 0, true},  {13, 1, 0, false}, {14, 0, 0, true},  {15, 0, 0, true},
        {19, 0, 0, false}, {16, 0, 0, false}, {17, 0, 0, false}, {24, 0, 0, true},  {26, 0, 0, true},
        {28, 0, 0, true},  {30, 0, 1, true},  {32, 0, 1, false}, {33, 0, 0, false}, {34, 0, 0, true},
        {35, 0, 0, false}, {36, 0, 0, true},  {39, 1, 1, false}, {42, 1, 0, false}, {43, 1, 0, true},
        {46, -1, 0, false}, {47, -1, 0, true}, {48, 1, 1, false}, {49, 1, 1, false},
    };
    for (const InsideRow& row : rows) {
        const auto sheet = MarkSheet(row.Type);
        EXPECT_EQ(sheet->Pixel(kX + row.Dx, kY + row.Dy), row.Filled ? kPen : kPaper)
            << "type " << row.Type << " at " << row.Dx << ", " << row.Dy;
    }
}

TEST(MarkPixels, AfterAFilledSymbolFillsUseTheEarlierBrushColour)
{
    for (int type : {7, 14, 24, 29, 34, 41, 45}) {
        Sheet sheet;
        DrawMark(sheet.Canvas(), type, kX, kY);
        sheet.Canvas().Rectangle(0, 0, 6, 6);
        EXPECT_EQ(sheet.Pixel(2, 2), kBrush) << "type " << type;
    }
}

// The text metrics of `text` in the sheet's font.
std::pair<int, int> Measure(Sheet& sheet, const std::string& text)
{
    return {sheet.Canvas().TextWidth(text), sheet.Canvas().TextHeight(text)};
}

std::unique_ptr<Sheet> CharacterSheet(int type, int x = kX, int y = kY)
{
    auto sheet = std::make_unique<Sheet>();
    sheet->Canvas().Font().SetColor(clBlue);
    sheet->Canvas().Font().SetHeight(-20);
    sheet->Canvas().Pen().SetColor(clBlack);
    DrawMark(sheet->Canvas(), type, x, y);
    return sheet;
}

TEST(MarkPixels, CharacterMarkDrawsTheLetterInsideItsCellCentredOnThePoint)
{
    const auto sheet = CharacterSheet('A');
    const auto [w, h] = Measure(*sheet, "A");
    ASSERT_GT(w, 4);
    ASSERT_GT(h, 10);
    const int left = kX - w / 2;
    const int top = kY - h / 2;
    const Cells ink = sheet->Ink();
    ASSERT_FALSE(ink.empty());
    bool penColoured = false;
    for (const auto& [dx, dy] : ink) {
        const int px = kX + dx;
        const int py = kY + dy;
        EXPECT_TRUE(px >= left && px < left + w && py >= top && py < top + h) << "ink at " << px << ", " << py;
        const TColor c = sheet->Pixel(px, py);
        EXPECT_NE(c, kBrush) << "text cell filled at " << px << ", " << py;
        EXPECT_NE(c, clBlue) << "drawn in the font's old colour at " << px << ", " << py;
        penColoured = penColoured || c == clBlack;
    }
    EXPECT_TRUE(penColoured);
}

TEST(MarkPixels, CharacterMarkMovesWithThePoint)
{
    const Cells at = CharacterSheet(65, kX, kY)->Ink();
    Cells shifted;
    for (const auto& [dx, dy] : CharacterSheet(65, kX + 3, kY - 2)->Ink()) shifted.insert({dx - 3, dy + 2});
    EXPECT_EQ(shifted, at);
}

TEST(MarkPixels, DigitMarksDrawTheirDigitCentred)
{
    std::vector<std::vector<TColor>> pictures;
    for (int digit = 0; digit <= 9; ++digit) {
        const auto mark = CharacterSheet(200 + digit);
        // The digit written by hand, centred the same way.
        Sheet text;
        TCanvas& c = text.Canvas();
        c.Font().SetHeight(-20);
        c.Font().SetColor(clBlack);
        c.Brush().SetStyle(bsClear);
        const std::string s(1, static_cast<char>('0' + digit));
        const auto [w, h] = Measure(text, s);
        c.TextOut(kX - w / 2, kY - h / 2, s);
        EXPECT_EQ(mark->Pixels(), text.Pixels()) << "digit " << digit;
        pictures.push_back(mark->Pixels());
    }
    for (std::size_t a = 0; a < pictures.size(); ++a)
        for (std::size_t b = a + 1; b < pictures.size(); ++b)
            EXPECT_NE(pictures[a], pictures[b]) << "digits " << a << " and " << b << " look the same";
}

}  // namespace
}  // namespace kurvo

namespace kurvo {
namespace {

// The extent of the ink of `cells`: width and height in pixels.
std::pair<int, int> Extent(const std::set<std::pair<int, int>>& cells)
{
    int x0 = 1000, x1 = -1000, y0 = 1000, y1 = -1000;
    for (const auto& [x, y] : cells) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    }
    return {x1 - x0 + 1, y1 - y0 + 1};
}

}  // namespace

// A named mark is its mark type; size 0 is the mark's own pattern, and a
// size draws the shape about that many pixels wide and high.
TEST(DrawMark, NamedMarksAtTheirOwnSizeAndScaled)
{
    EXPECT_EQ(MarkType(TMark::Dot), 0);
    EXPECT_EQ(MarkType(TMark::LargeFilledSquare), 9);
    EXPECT_EQ(MarkType(TMark::Checkerboard), 18);
    EXPECT_EQ(MarkType(TMark::FilledCircle), 24);
    EXPECT_EQ(MarkType(TMark::Target), 51);
    for (int type = 0; type <= MarkType(TMark::Target); ++type) {
        const TMark mark = static_cast<TMark>(type);
        Sheet own, zero, large;
        DrawMark(own.Canvas(), type, kX, kY);
        DrawMark(zero.Canvas(), type, kX, kY, 0);
        EXPECT_EQ(zero.Pixels(), own.Pixels()) << type;
        const auto [w, h] = Extent(own.Ink());
        EXPECT_EQ(std::max(w, h), MarkNativeSize(mark)) << type;
        DrawMark(large.Canvas(), type, kX, kY, 21);
        const auto [lw, lh] = Extent(large.Ink());
        EXPECT_GE(std::max(lw, lh), 20) << type;
        EXPECT_LE(std::max(lw, lh), 22) << type;
    }
}

}  // namespace kurvo
