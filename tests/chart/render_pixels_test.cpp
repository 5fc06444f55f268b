// The item renderer on a real bitmap: the pixels rectangles, marks, framed
// rectangles and arrows cover.
#include "render_test_support.h"

#include "../canvas/pixel_helpers.h"
#include "base/marks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

namespace {

constexpr TColor kFrame = clGray;

// Renders the chart's lists into a white data bitmap of the data area's size
// (181 x 131); the data-area frame is grey.
class DataBitmap {
public:
    explicit DataBitmap(TKurvo& chart) : bitmap(kAreaW + 1, kAreaH + 1)
    {
        chart.SetChartFrameColor(kFrame);
        Clear(bitmap, clWhite);
        chart.RenderData(bitmap.Canvas(), 0, 0, false, true);
    }
    TColor At(int x, int y) const { return bitmap.Pixel(x, y); }
    TBitmap bitmap;
};

// Pixels within 15 of (40, 30) that are not white (text is anti-aliased).
PixelSet InkNearTheMark(const TBitmap& bitmap)
{
    PixelSet ink;
    for (const auto& p : PixelsNot(bitmap, clWhite))
        if (std::abs(p.first - 40) <= 15 && std::abs(p.second - 30) <= 15) ink.insert(p);
    return ink;
}

bool OnFrame(int x, int y) { return x == 0 || y == 0 || x == kAreaW || y == kAreaH; }

struct Probe {
    int x, y;
    TColor color;
};

}  // namespace

TEST(RenderPixels, PixelRectangleCoversBothCorners)
{
    struct Row {
        double x1, y1, x2, y2;
    };
    for (const Row& row : {Row{0, 0, 10, 5}, Row{2, 3, 12, 8}, Row{12, 8, 2, 3}, Row{4, 4, 4, 9}}) {
        SCOPED_TRACE(testing::Message() << row.x1 << "," << row.y1 << " - " << row.x2 << "," << row.y2);
        TKurvo chart;
        SimpleGeometry(chart);
        AddAnnotation(chart, With(Item(ikRectangle, row.x1, row.y1, row.x2, row.y2, 1), [](TkvChartItem& i) {
            i.Color = clRed;
            i.FillColor = clBlue;
        }));
        DataBitmap data(chart);
        const int left = static_cast<int>(std::min(row.x1, row.x2));
        const int right = static_cast<int>(std::max(row.x1, row.x2));
        const int top = static_cast<int>(std::min(row.y1, row.y2));
        const int bottom = static_cast<int>(std::max(row.y1, row.y2));
        int wrong = 0;
        for (int y = 0; y <= kAreaH; ++y)
            for (int x = 0; x <= kAreaW; ++x) {
                TColor expected = clWhite;
                if (OnFrame(x, y))
                    expected = kFrame;
                else if (x >= left && x <= right && y >= top && y <= bottom)
                    expected = (x == left || x == right || y == top || y == bottom) ? clRed : clBlue;
                if (data.At(x, y) != expected && ++wrong <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << data.At(x, y) << ", expected " << expected;
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(RenderPixels, MarksThroughItemsMatchDrawMark)
{
    for (const int type : {0, 7, 9, 65, 203}) {
        SCOPED_TRACE(type);
        TKurvo chart;
        SimpleGeometry(chart);
        AddAnnotation(chart, With(Item(ikMark, 40, 30, 0, 0, 1), [type](TkvChartItem& i) {
            i.Shape = type;
            i.Color = clRed;
        }));
        DataBitmap data(chart);
        const PixelSet ink = InkNearTheMark(data.bitmap);

        TBitmap reference(kAreaW + 1, kAreaH + 1);
        Clear(reference, clWhite);
        reference.Canvas().Pen().SetColor(clRed);
        DrawMark(reference.Canvas(), type, 40, 30);
        EXPECT_EQ(ink, InkNearTheMark(reference));
        if (type < 52) EXPECT_EQ(ink, PixelsOf(data.bitmap, clRed));
        ASSERT_FALSE(ink.empty());
        const Box box = BoundsOf(ink);
        switch (type) {
        case 0: EXPECT_EQ(ink, PixelSet({{40, 30}})); break;
        case 7: EXPECT_EQ(box, (Box{39, 29, 41, 31})); EXPECT_EQ(ink.size(), 9u); break;
        case 9: EXPECT_EQ(box, (Box{37, 27, 43, 33})); EXPECT_EQ(ink.size(), 49u); break;
        default:  // a character centred on the point
            EXPECT_LE(box.Left, 40);
            EXPECT_GE(box.Right, 40);
            EXPECT_LE(box.Top, 31);
            EXPECT_GE(box.Bottom, 29);
            break;
        }
    }
}

TEST(RenderPixels, CharacterMarksShowTheirCharacter)
{
    const auto inkOf = [](int type) {
        TKurvo chart;
        SimpleGeometry(chart);
        AddAnnotation(chart, With(Item(ikMark, 40, 30, 0, 0, 1), [type](TkvChartItem& i) {
            i.Shape = type;
            i.Color = clRed;
        }));
        DataBitmap data(chart);
        return InkNearTheMark(data.bitmap);
    };
    EXPECT_NE(inkOf(65), inkOf(203));
    EXPECT_EQ(inkOf(203 + 256), inkOf(203));  // only the low byte counts
}

TEST(RenderPixels, FramedRectangleEdgeColours)
{
    struct Row {
        int style;
        std::vector<Probe> probes;
    };
    // (10, 10) - (30, 20): first edge colour red, second blue, fill yellow.
    const Row rows[] = {
        {2, {{10, 15, clRed}, {20, 10, clRed}, {30, 15, clBlue}, {20, 20, clBlue}, {10, 20, clRed}, {20, 15, clYellow}}},
        {3, {{10, 15, clBlue}, {20, 10, clBlue}, {30, 15, clRed}, {20, 20, clRed}, {20, 15, clYellow}}},
        {4,
         {{10, 15, clBlue}, {11, 15, clRed}, {20, 10, clBlue}, {20, 11, clRed}, {29, 15, clBlue}, {30, 15, clRed},
          {20, 19, clBlue}, {20, 20, clRed}, {20, 15, clYellow}}},
        {5,
         {{10, 15, clRed}, {11, 15, clBlue}, {20, 10, clRed}, {20, 11, clBlue}, {29, 15, clRed}, {30, 15, clBlue},
          {20, 19, clRed}, {20, 20, clBlue}, {20, 15, clYellow}}},
        {0, {{10, 15, clYellow}, {20, 10, clYellow}, {30, 15, clWhite}, {20, 20, clWhite}, {20, 15, clYellow}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.style);
        TKurvo chart;
        SimpleGeometry(chart);
        AddAnnotation(chart, With(Item(ikFramedRect, 30, 10, 10, 20, 1), [&row](TkvChartItem& i) {
            i.Style = static_cast<std::uint8_t>(row.style);
            i.Extra[0] = clRed;
            i.Extra[1] = clBlue;
            i.FillColor = clYellow;
        }));
        DataBitmap data(chart);
        for (const Probe& p : row.probes) EXPECT_EQ(data.At(p.x, p.y), p.color) << "at " << p.x << "," << p.y;
    }
}

TEST(RenderPixels, ArrowHeads)
{
    struct Row {
        const char* name;
        std::uint8_t kind;
        bool open;
        std::vector<Probe> probes;
    };
    // Shaft (10, 50) - (60, 50), head length 10: barbs at (51, 47) and (51, 53).
    const Row rows[] = {
        {"filled", ikArrow, false,
         {{54, 49, clBlue}, {54, 50, clBlue}, {54, 51, clBlue}, {54, 48, clRed}, {54, 52, clRed}, {51, 47, clRed},
          {54, 46, clWhite}, {30, 50, clRed}, {16, 49, clWhite}}},
        {"open", ikArrow, true,
         {{54, 49, clWhite}, {54, 50, clRed}, {54, 51, clWhite}, {54, 48, clRed}, {54, 52, clRed}, {52, 47, clRed},
          {51, 47, clWhite}}},  // a barb leaves out its end pixel
        {"double", ikDoubleArrow, false, {{16, 49, clBlue}, {16, 51, clBlue}, {54, 49, clBlue}, {19, 47, clRed}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TKurvo chart;
        SimpleGeometry(chart);
        AddAnnotation(chart, With(Item(row.kind, 10, 50, 60, 50, 1), [&row](TkvChartItem& i) {
            i.Size = 10;
            i.Transparent = row.open;
            i.Color = clRed;
            i.FillColor = clBlue;
        }));
        DataBitmap data(chart);
        for (const Probe& p : row.probes) EXPECT_EQ(data.At(p.x, p.y), p.color) << "at " << p.x << "," << p.y;
    }
}

// The gaps of a dotted shaft are filled with the brush; a brush of the pen's
// colour is replaced by its contrast colour so that the dots stay visible.
TEST(RenderPixels, DottedArrowShaftKeepsItsGapsVisible)
{
    struct Row {
        TColor pen, fill, gap;
    };
    for (const Row& row : {Row{clYellow, clYellow, clBlack}, Row{clNavy, clNavy, clWhite}, Row{clRed, clBlue, clBlue}}) {
        SCOPED_TRACE(testing::Message() << row.pen << " on " << row.fill);
        TKurvo chart;
        SimpleGeometry(chart);
        AddAnnotation(chart, With(Item(ikArrow, 10, 50, 100, 50, 1), [&row](TkvChartItem& i) {
            i.PenStyle = psDot;
            i.Color = row.pen;
            i.FillColor = row.fill;
        }));
        DataBitmap data(chart);
        int dots = 0, gaps = 0;
        for (int x = 10; x < 100; ++x) {
            const TColor c = data.At(x, 50);
            dots += c == row.pen;
            gaps += c == row.gap;
        }
        EXPECT_GT(dots, 30);
        EXPECT_GT(gaps, 30);
        EXPECT_EQ(dots + gaps, 90);
    }
}

TEST(RenderPixels, ThreeDimensionalBarFacesAreFilled)
{
    TKurvo chart;
    SimpleGeometry(chart);
    AddAnnotation(chart, With(Item(ikBar3D, 20, 20, 40, 60), [](TkvChartItem& i) {
        i.Size = 45;
        i.Size2 = 10;
        i.Color = clRed;
        i.FillColor = clBlue;
    }));
    DataBitmap data(chart);
    EXPECT_EQ(data.At(30, 90), clBlue);   // front face
    EXPECT_EQ(data.At(30, 66), clBlue);   // top face
    EXPECT_EQ(data.At(44, 90), clBlue);   // side face
    EXPECT_EQ(data.At(20, 90), clRed);    // front outline
    EXPECT_EQ(data.At(40, 110), clRed);   // front's bottom-right corner included
    EXPECT_EQ(data.At(41, 111), clWhite);
    EXPECT_EQ(data.At(19, 66), clWhite);  // beyond the top face's left end
}
