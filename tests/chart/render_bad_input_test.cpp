// Items no drawing command creates but a handler can write: non-finite
// coordinates, extreme sizes and pen widths, text indices outside the
// table, unknown kinds and modes. Every one is drawn or skipped without a
// crash, an out-of-range read or an overflow (the sanitizer build runs this),
// and nothing reaches the canvas outside the clamped coordinate range.
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

namespace {

struct Patch {
    const char* name;
    std::function<void(TkvChartItem&)> apply;
};

const std::vector<Patch>& Patches()
{
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    static const std::vector<Patch> patches = {
        {"sane", [](TkvChartItem&) {}},
        {"X NaN", [=](TkvChartItem& i) { i.X = nan; }},
        {"Y NaN", [=](TkvChartItem& i) { i.Y = nan; }},
        {"X2 NaN", [=](TkvChartItem& i) { i.X2 = nan; }},
        {"Y2 -inf", [=](TkvChartItem& i) { i.Y2 = -inf; }},
        {"all inf", [=](TkvChartItem& i) { i.X = i.Y = i.X2 = i.Y2 = inf; }},
        {"all -inf", [=](TkvChartItem& i) { i.X = i.Y = i.X2 = i.Y2 = -inf; }},
        {"huge", [](TkvChartItem& i) { i.X = 1e300; i.Y = -1e300; i.X2 = 1e308; i.Y2 = -1e308; }},
        {"Size max", [](TkvChartItem& i) { i.Size = INT_MAX; i.Size2 = INT_MAX; }},
        {"Size min", [](TkvChartItem& i) { i.Size = INT_MIN; i.Size2 = INT_MIN; }},
        {"Size mixed", [](TkvChartItem& i) { i.Size = INT_MAX; i.Size2 = INT_MIN; }},
        {"width 0", [](TkvChartItem& i) { i.LineWidth = 0; }},
        {"width 10000", [](TkvChartItem& i) { i.LineWidth = 10000; }},
        {"width -5", [](TkvChartItem& i) { i.LineWidth = -5; }},
        {"width 51", [](TkvChartItem& i) { i.LineWidth = 51; }},
        {"width max", [](TkvChartItem& i) { i.LineWidth = INT_MAX; }},
        {"width min", [](TkvChartItem& i) { i.LineWidth = INT_MIN; }},
        {"Shape min", [](TkvChartItem& i) { i.Shape = INT_MIN; }},
        {"Shape max", [](TkvChartItem& i) { i.Shape = INT_MAX; }},
        {"Mode 6", [](TkvChartItem& i) { i.Mode = 6; }},
        {"Mode 255 with NaN", [=](TkvChartItem& i) { i.Mode = 255; i.X = nan; }},
        {"Mode 1 NaN", [=](TkvChartItem& i) { i.Mode = 1; i.X2 = nan; i.Y = inf; }},
        {"Mode 2 huge", [](TkvChartItem& i) { i.Mode = 2; i.X2 = 1e300; i.Size = INT_MAX; }},
        {"Style 255", [](TkvChartItem& i) { i.Style = 255; }},
        {"pen style 200", [](TkvChartItem& i) { i.PenStyle = static_cast<TPenStyle>(200); }},
        {"layer 99", [](TkvChartItem& i) { i.Layer = 99; }},
        {"layer -5", [](TkvChartItem& i) { i.Layer = -5; }},
        {"short text length 255", [](TkvChartItem& i) { i.ShortText.Length = 255; }},
        {"transparent", [](TkvChartItem& i) { i.Transparent = true; i.Size = 1000000; }},
    };
    return patches;
}

TkvChartItem Base(int kind)
{
    TkvChartItem item = Item(static_cast<std::uint8_t>(kind), 50, 50, 10, 10);
    item.Size = 5;
    item.Size2 = 1;
    item.Shape = 65;
    item.ShortText.Assign("x\ny");
    item.Color = clRed;
    item.FillColor = clBlue;
    item.Style = 2;
    return item;
}

bool Drawable(int kind) { return (kind >= 1 && kind <= 9) || (kind >= 12 && kind <= 24); }

// Arc radial points lie 1e8 pixels out; everything else within the clamp
// range, plus the few pixels a box corner, a mark or an error-bar tick
// reaches beyond its clamped point.
void ExpectSaneCall(const TCanvasCall& call, const std::string& where)
{
    const long long limit = call.Op == "Arc" ? 100030001LL : 30010LL;
    for (int a : call.Args) EXPECT_LE(std::llabs(a), limit) << where << ": " << Describe(call);
    for (const TPoint& p : call.Points) {
        EXPECT_LE(std::abs(p.X), 30010) << where;
        EXPECT_LE(std::abs(p.Y), 30010) << where;
    }
    EXPECT_GE(call.PenWidth, 1) << where;
    EXPECT_LE(call.PenWidth, MaxItemPenWidth) << where;
    EXPECT_LE(std::abs(call.FontSize), 1000) << where;
}

}  // namespace

TEST(RenderBadInput, EveryKindWithEveryBadValueOnTheRecordingCanvas)
{
    TKurvo chart;
    SimpleGeometry(chart);
    chart.SetAvoidDuplicateMarks(true);
    chart.SetMinDupMarkDist(3);
    TKurvoAccess::LongTexts(chart, true).Texts[49] = "fifty";
    // A line waits in the buffer ahead of every item.
    AddAnnotation(chart, Item(ikMoveTo, 10, 10, 0, 0, 1));
    AddAnnotation(chart, Item(ikLineTo, 20, 20, 0, 0, 1));
    AddAnnotation(chart, Item(ikLine, 0, 0));  // replaced in the hook
    AddAnnotation(chart, Item(ikLineTo, 30, 20, 0, 0, 1));
    for (int kind = 0; kind <= 255; ++kind)
        for (const Patch& patch : Patches()) {
            const std::string where = "kind " + std::to_string(kind) + ", " + patch.name;
            chart.OnBeforeRenderChartItem = [&](TObject*, TkvChartItem& item, int index, bool) {
                if (index != 2) return;
                item = Base(kind);
                patch.apply(item);
            };
            TRecordingCanvas canvas;
            const auto calls = ItemCalls(chart, canvas);
            for (const TCanvasCall& call : calls) ExpectSaneCall(call, where);
            if (!Drawable(kind)) {
                // Nothing but the move, the flush of the waiting line and the last line-to.
                std::size_t lines = 0;
                for (const TCanvasCall& call : calls) lines += call.Op == "Polyline";
                EXPECT_EQ(calls.size(), 5u) << where;
                EXPECT_EQ(lines, 2u) << where;
            }
            if (::testing::Test::HasFailure()) return;
        }
}

TEST(RenderBadInput, EveryKindWithEveryBadValueOnABitmap)
{
    TKurvo chart;
    SimpleGeometry(chart);
    AddAnnotation(chart, Item(ikMoveTo, 10, 10, 0, 0, 1));
    AddAnnotation(chart, Item(ikLine, 0, 0));  // replaced in the hook
    AddAnnotation(chart, Item(ikLineTo, 30, 20, 0, 0, 1));
    TBitmap bitmap(kAreaW + 1, kAreaH + 1);
    for (int kind = 0; kind <= 25; ++kind)
        for (const Patch& patch : Patches()) {
            chart.OnBeforeRenderChartItem = [&](TObject*, TkvChartItem& item, int index, bool) {
                if (index != 1) return;
                item = Base(kind);
                patch.apply(item);
            };
            chart.RenderData(bitmap.Canvas(), 0, 0, false, true);
        }
    // The data-area frame still closes the picture.
    EXPECT_EQ(bitmap.Pixel(0, 0), clBlack);
    EXPECT_EQ(bitmap.Pixel(kAreaW, kAreaH), clBlack);
}

TEST(RenderBadInput, ExtremeSizesAreClampedNotWrapped)
{
    struct Row {
        const char* name;
        TkvChartItem item;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"box of the largest sizes",
         With(Item(ikBox, 50, 50), [](TkvChartItem& i) { i.Size = INT_MAX; i.Size2 = INT_MAX; }),
         {"Rectangle -30000 -30000 30001 30001"}},
        {"box of the smallest sizes",
         With(Item(ikBox, 50, 50), [](TkvChartItem& i) { i.Size = INT_MIN; i.Size2 = INT_MIN; }),
         {"Rectangle 30001 30001 -30000 -30000"}},
        {"shifted line far off", With(Item(ikShiftedLine, 50, 50, 60, 60), [](TkvChartItem& i) { i.Size = INT_MAX; }),
         {"MoveTo 30000 80", "LineTo 30000 70"}},
        {"cross of huge pixel half sizes", Item(ikCross, 50, 50, 1e300, -1e300, 2),
         {"MoveTo 0 30001", "LineTo 0 -30000", "MoveTo -30000 0", "LineTo 30001 0"}},
        {"arrow with a huge head", With(Item(ikArrow, 10, 50, 60, 50, 1), [](TkvChartItem& i) { i.Size = INT_MAX; }),
         {"MoveTo 10 50", "LineTo 60 50", "Polygon (60,50) (-30000,-30000) (-30000,30000)"}},
        {"line-relative far off", Item(ikLineRel, 1e300, -1e300),
         {"Polyline (0,0) (30000,-30000)", "MoveTo 30000 -30000"}},
        {"offset text beyond the int range", With(Item(ikOffsetText, 50, 50, 1e300, -1e300), [](TkvChartItem& i) {
             i.ShortText.Assign("t");
             i.LineWidth = 0;
         }),
         {"TextOut 30000 -30000 't'"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TKurvo chart;
        SimpleGeometry(chart);
        AddAnnotation(chart, row.item);
        EXPECT_EQ(ItemTrace(chart), row.expected);
    }
}

TEST(RenderBadInput, PenWidthsAreLimited)
{
    struct Row {
        int lineWidth;
        int penWidth;
    };
    for (const Row& row : {Row{0, 1}, Row{-7, 1}, Row{1, 1}, Row{5, 5}, Row{1000, 1000}, Row{10000, 1000},
                           Row{INT_MAX, 1000}}) {
        SCOPED_TRACE(row.lineWidth);
        TKurvo chart;
        SimpleGeometry(chart);
        AddAnnotation(chart, With(Item(ikLine, 1, 1, 5, 5, 1), [&row](TkvChartItem& i) { i.LineWidth = row.lineWidth; }));
        TRecordingCanvas canvas;
        const auto calls = ItemCalls(chart, canvas);
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[1].PenWidth, row.penWidth);
    }
}

TEST(RenderBadInput, TextItemsIgnoreTheirTextIndexAsPenWidth)
{
    TKurvo chart;
    SimpleGeometry(chart);
    TKurvoAccess::LongTexts(chart, true).Texts[6] = "seven";
    AddAnnotation(chart, With(Item(ikText, 5, 20, 0, 0, 1), [](TkvChartItem& i) { i.LineWidth = 7; }));
    TRecordingCanvas canvas;
    const auto calls = ItemCalls(chart, canvas);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Text, "seven");
    EXPECT_EQ(calls[0].PenWidth, 1);
}
