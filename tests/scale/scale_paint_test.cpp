// Axis painting on a recording canvas: the order of lines, labels and
// events, label and caption positions, the opaque and transparent ways, and
// when nothing is drawn.
#include "canvas/recording_canvas.h"
#include "scale/Qorn_Scale.h"
#include "scale/scale_private.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kurvo {

// Draws single tick visits, for the passes that cannot be run from here yet.
struct TScalePaintAccess {
    static void DrawVisit(TScale& axis, TCanvas& canvas, TTickVisit& visit, int base, int zeroHeight)
    {
        TScalePrivate::DrawTickVisit(axis, canvas, visit, base, zeroHeight);
    }
};

}  // namespace kurvo

using namespace kurvo;

namespace {

std::string Format(const char* format, auto... args)
{
    char buf[160];
    std::snprintf(buf, sizeof buf, format, args...);
    return buf;
}

// A recording canvas that also appends its lines and texts to a shared log,
// so that canvas calls and events can be compared as one sequence. Texts
// listed in Heights get their own height; all others are 13 pixels high.
class TLogCanvas : public TRecordingCanvas {
public:
    explicit TLogCanvas(std::vector<std::string>& log) : FLog(log) {}

    void LineTo(int x, int y) override
    {
        FLog.push_back(Format("line %d,%d>%d,%d", PenPos().X, PenPos().Y, x, y));
        TRecordingCanvas::LineTo(x, y);
    }
    void TextOut(int x, int y, const std::string& text) override
    {
        FLog.push_back(Format("text %d,%d %s", x, y, text.c_str()));
        TRecordingCanvas::TextOut(x, y, text);
    }
    int TextHeight(const std::string& text) override
    {
        const auto it = Heights.find(text);
        return it != Heights.end() ? it->second : TRecordingCanvas::TextHeight(text);
    }

    std::map<std::string, int> Heights;

private:
    std::vector<std::string>& FLog;
};

// A loaded axis that draws only when told (PaintNow), onto a log canvas.
struct TAxisOnCanvas {
    std::vector<std::string> log;
    TLogCanvas canvas{log};
    TScale axis;

    TAxisOnCanvas(TScaleType type, int width = 141, int height = 141)
    {
        axis.BeginLoading();
        axis.Loaded();
        axis.SetEmbedded(true);
        axis.SetBounds(0, 0, width, height);
        axis.SetScaleType(type);
        axis.SetTransparent(true);
        axis.SetShowBaseLine(false);
        axis.SetExternalCanvas(&canvas, 0, 0);
    }

    void SetRange(double low, double high, int minTicks, bool shortTicks)
    {
        axis.SetRangeHigh(high);
        axis.SetRangeLow(low);
        axis.SetMinTicks(minTicks);
        axis.SetShortTicks(shortTicks);
    }

    // Tick and label events go into the log; both check their fixed arguments.
    void RecordEvents()
    {
        axis.OnScaleTickDrawn = [this](TObject* sender, TCanvas& c, TScaleType type, double v, int x, int y) {
            EXPECT_EQ(sender, &axis);
            EXPECT_EQ(&c, &canvas);
            EXPECT_EQ(type, axis.ScaleType());
            log.push_back(Format("tick %g %d,%d", v, x, y));
        };
        axis.OnBeforeTickLabel = [this](TObject* sender, TScaleType type, double v, std::string& text) {
            EXPECT_EQ(sender, &axis);
            EXPECT_EQ(type, axis.ScaleType());
            log.push_back(Format("label %g %s", v, text.c_str()));
        };
    }

    void Paint()
    {
        log.clear();
        canvas.Clear();
        axis.PaintNow();
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const TCanvasCall& c : canvas.CallsOf("TextOut"))
            out.push_back(Format("%d,%d %s", c.Args[0], c.Args[1], c.Text.c_str()));
        return out;
    }
};

using Log = std::vector<std::string>;

}  // namespace

// 141 x 141 pixels with margins 20: the axis is 100 pixels long, so a
// linear range 0 ... 20 puts its ticks 0, 10, 20 at pixels 20, 70, 120 and
// a logarithmic range 1 ... 100 its decades 1, 10, 100 there too.
TEST(AxisPaint, StepOrderPerPassAndOrientation)
{
    struct Row {
        const char* name;
        TScaleType type;
        bool logarithmic;
        double low, high;
        int minTicks;
        bool shortTicks;
        Log expected;
    };
    const Row rows[] = {
        {"linear bottom axis: line, label, event", sctXT, false, 0, 20, 2, false,
         {"line 20,20>20,27", "label 0 0.0", "text 11,27 0.0", "tick 0 20,20",  //
          "line 70,20>70,27", "label 10 10.0", "text 58,27 10.0", "tick 10 70,20",  //
          "line 120,20>120,27", "label 20 20.0", "text 108,27 20.0", "tick 20 120,20"}},
        {"linear top axis: ticks and labels upwards", sctXB, false, 0, 20, 2, false,
         {"line 20,120>20,113", "label 0 0.0", "text 11,100 0.0", "tick 0 20,120",  //
          "line 70,120>70,113", "label 10 10.0", "text 58,100 10.0", "tick 10 70,120",  //
          "line 120,120>120,113", "label 20 20.0", "text 108,100 20.0", "tick 20 120,120"}},
        {"linear left axis: line, event, label", sctYR, false, 0, 20, 2, false,
         {"line 120,120>114,120", "tick 0 120,120", "label 0 0.0", "text 94,114 0.0",  //
          "line 120,70>114,70", "tick 10 120,70", "label 10 10.0", "text 88,64 10.0",  //
          "line 120,20>114,20", "tick 20 120,20", "label 20 20.0", "text 88,14 20.0"}},
        {"linear right axis: to the right", sctYL, false, 0, 20, 2, false,
         {"line 20,120>26,120", "tick 0 20,120", "label 0 0.0", "text 28,114 0.0",  //
          "line 20,70>26,70", "tick 10 20,70", "label 10 10.0", "text 28,64 10.0",  //
          "line 20,20>26,20", "tick 20 20,20", "label 20 20.0", "text 28,14 20.0"}},
        {"logarithmic top axis: line, event, label", sctXB, true, 1, 100, 2, false,
         {"line 20,120>20,113", "tick 1 20,120", "label 1 1", "text 17,100 1",  //
          "line 70,120>70,113", "tick 10 70,120", "label 10 10", "text 64,100 10",  //
          "line 120,120>120,113", "tick 100 120,120", "label 100 100", "text 111,100 100"}},
        {"logarithmic left axis", sctYR, true, 1, 100, 2, false,
         {"line 120,120>114,120", "tick 1 120,120", "label 1 1", "text 106,114 1",  //
          "line 120,70>114,70", "tick 10 120,70", "label 10 10", "text 100,64 10",  //
          "line 120,20>114,20", "tick 100 120,20", "label 100 100", "text 94,14 100"}},
        {"logarithmic bottom axis without short ticks: their events only", sctXT, true, 1, 10, 3, false,
         {"line 20,20>20,27", "tick 1 20,20", "label 1 1", "text 17,27 1",  //
          "line 50,20>50,27", "tick 2 50,20", "label 2 2", "text 47,27 2",  //
          "tick 3 68,20", "tick 4 80,20",  //
          "line 90,20>90,27", "tick 5 90,20", "label 5 5", "text 87,27 5",  //
          "tick 6 98,20", "tick 7 105,20", "tick 8 110,20", "tick 9 115,20",  //
          "line 120,20>120,27", "tick 10 120,20", "label 10 10", "text 114,27 10"}},
        {"logarithmic right axis: short ticks as long as long ones", sctYL, true, 1, 10, 3, true,
         {"line 20,120>26,120", "tick 1 20,120", "label 1 1", "text 28,114 1",  //
          "line 20,90>26,90", "tick 2 20,90", "label 2 2", "text 28,84 2",  //
          "line 20,72>26,72", "tick 3 20,72", "line 20,60>26,60", "tick 4 20,60",  //
          "line 20,50>26,50", "tick 5 20,50", "label 5 5", "text 28,44 5",  //
          "line 20,42>26,42", "tick 6 20,42", "line 20,35>26,35", "tick 7 20,35",  //
          "line 20,30>26,30", "tick 8 20,30", "line 20,25>26,25", "tick 9 20,25",  //
          "line 20,20>26,20", "tick 10 20,20", "label 10 10", "text 28,14 10"}},
        {"logarithmic left axis without short ticks: not visited", sctYR, true, 1, 10, 3, false,
         {"line 120,120>114,120", "tick 1 120,120", "label 1 1", "text 106,114 1",  //
          "line 120,90>114,90", "tick 2 120,90", "label 2 2", "text 106,84 2",  //
          "line 120,50>114,50", "tick 5 120,50", "label 5 5", "text 106,44 5",  //
          "line 120,20>114,20", "tick 10 120,20", "label 10 10", "text 100,14 10"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TAxisOnCanvas a(r.type);
        a.SetRange(r.low, r.high, r.minTicks, r.shortTicks);
        a.axis.SetLogarithmic(r.logarithmic);
        a.RecordEvents();
        a.Paint();
        EXPECT_EQ(a.log, r.expected);
    }
}

TEST(AxisPaint, LongTickValueIsReportedTwiceWithShortTicks)
{
    // Step 10 with five short intervals: short ticks every 2 from 0 to 20.
    for (TScaleType type : {sctXT, sctYR}) {
        SCOPED_TRACE(int(type));
        TAxisOnCanvas a(type);
        a.SetRange(0, 20, 2, true);
        std::vector<double> reported;
        a.axis.OnScaleTickDrawn = [&](TObject*, TCanvas&, TScaleType, double v, int, int) { reported.push_back(v); };
        a.Paint();
        const std::vector<double> expected = {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 0, 10, 20};
        EXPECT_EQ(reported, expected);
        // Short ticks are 4 pixels long on both orientations.
        const TCanvasCall shortLine = a.canvas.CallsOf("LineTo")[1];  // the tick at 2, pixel 30 or 110
        if (type == sctXT)
            EXPECT_EQ(shortLine.Args, (std::vector<int>{30, 24}));
        else
            EXPECT_EQ(shortLine.Args, (std::vector<int>{116, 110}));
        EXPECT_EQ(a.canvas.CallsOf("LineTo").size(), 14u);
    }
}

// Labels that would overlap are thinned to round steps until no two
// overlap; every tick keeps its line and its event. (401 decade labels on
// 100 pixels were a black band; five clock texts of 13 characters on a
// 100-pixel axis ran into each other.)
TEST(AxisPaint, OverlappingLabelsAreThinnedTicksStay)
{
    struct Row {
        const char* name;
        double low, high;
        bool logarithmic;
        TFigType labelType;
        int decPlaces;
        int size;   // of the control; margins 20
        int ticks;  // lines and tick events
    };
    const Row rows[] = {
        {"logarithmic, 401 decades", 1e-100, 1e300, true, ftNum, -2, 141, 401},
        {"time, 0.25 ... 0.75 s: labels with milliseconds", 0.25, 0.75, false, ftTime, -2, 241, 30},
        {"linear, six decimals", 0, 20, false, ftNum, 6, 241, 26},
        {"dates, 1 ... 31 January 2024: every other week's label", 45292, 45322, false, ftDateTime, -2, 241, 31},
    };
    for (const Row& r : rows) {
        for (TScaleType type : {sctXT, sctYR}) {
            SCOPED_TRACE(Format("%s, type %d", r.name, int(type)));
            TAxisOnCanvas a(type, r.size, r.size);
            a.SetRange(r.low, r.high, 3, true);
            a.axis.SetLogarithmic(r.logarithmic);
            a.axis.SetLabelType(r.labelType);
            a.axis.SetDecPlaces(r.decPlaces);
            int ticks = 0, labels = 0;
            a.axis.OnScaleTickDrawn = [&](TObject*, TCanvas&, TScaleType, double, int, int) { ++ticks; };
            a.axis.OnBeforeTickLabel = [&](TObject*, TScaleType, double, std::string&) { ++labels; };
            a.Paint();
            EXPECT_EQ(ticks, r.ticks);
            EXPECT_EQ(static_cast<int>(a.canvas.CallsOf("LineTo").size()), r.ticks);
            const auto texts = a.canvas.CallsOf("TextOut");
            EXPECT_EQ(static_cast<int>(texts.size()), labels);
            EXPECT_GE(texts.size(), 2u);
            // No two labels overlap along the axis.
            std::vector<std::pair<int, int>> spans;
            for (const TCanvasCall& t : texts) {
                const int from = type == sctXT ? t.Args[0] : t.Args[1];
                const int length = type == sctXT ? TRecordingCanvas::CharWidth * static_cast<int>(t.Text.size())
                                                 : TRecordingCanvas::LineHeight;
                spans.push_back({from, from + length - 1});
            }
            std::sort(spans.begin(), spans.end());
            for (std::size_t k = 1; k < spans.size(); ++k) EXPECT_GT(spans[k].first, spans[k - 1].second);
        }
    }
}

TEST(AxisPaint, LabelsFollowLabelTypeAndHandler)
{
    struct Row {
        const char* name;
        TFigType labelType;
        bool emptyingHandler;
        Log texts;
    };
    const Row rows[] = {
        {"numeric labels", ftNum, false, {"11,27 0.0", "58,27 10.0", "108,27 20.0"}},
        {"ftNoFigs: no label step at all", ftNoFigs, false, {}},
        // The label step still runs with the empty text; only the ticks show.
        {"texts emptied by the handler", ftNum, true, {"20,27 ", "70,27 ", "120,27 "}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TAxisOnCanvas a(sctXT);
        a.SetRange(0, 20, 2, false);
        a.axis.SetLabelType(r.labelType);
        int labelEvents = 0;
        a.axis.OnBeforeTickLabel = [&](TObject*, TScaleType, double, std::string& text) {
            ++labelEvents;
            if (r.emptyingHandler) text.clear();
        };
        a.Paint();
        EXPECT_EQ(a.Texts(), r.texts);
        EXPECT_EQ(labelEvents, static_cast<int>(r.texts.size()));
        EXPECT_EQ(a.canvas.CallsOf("LineTo").size(), 3u);  // the ticks stay
    }
}

TEST(AxisPaint, HandlerTextIsTheOneDrawnAndMeasured)
{
    // "ten ten" is 42 pixels wide and, on this canvas, 20 high.
    struct Row {
        TScaleType type;
        Log texts;
    };
    const Row rows[] = {
        {sctXB, {"11,100 0.0", "49,93 ten ten", "108,100 20.0"}},
        {sctYR, {"94,114 0.0", "70,64 ten ten", "88,14 20.0"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.type));
        TAxisOnCanvas a(r.type);
        a.SetRange(0, 20, 2, false);
        a.canvas.Heights["ten ten"] = 20;
        a.axis.OnBeforeTickLabel = [](TObject*, TScaleType, double v, std::string& text) {
            if (v == 10) text = "ten ten";
        };
        a.Paint();
        EXPECT_EQ(a.Texts(), r.texts);
    }
}

TEST(AxisPaint, WithoutHandlersPaintsTheSame)
{
    TAxisOnCanvas a(sctYR);
    a.SetRange(0, 20, 2, true);
    a.Paint();  // no handler assigned: nothing to call
    EXPECT_EQ(a.canvas.CallsOf("LineTo").size(), 14u);
    EXPECT_EQ(a.Texts(), (Log{"94,114 0.0", "88,64 10.0", "88,14 20.0"}));
}

TEST(AxisPaint, TickListReflectsThePass)
{
    TAxisOnCanvas a(sctXT);
    a.SetRange(0, 20, 2, false);
    EXPECT_EQ(a.axis.NumTicks(), 0);
    a.Paint();
    ASSERT_EQ(a.axis.NumTicks(), 3);
    EXPECT_EQ(a.axis.TickValue(1), 0.0);
    EXPECT_EQ(a.axis.TickValue(2), 10.0);
    EXPECT_EQ(a.axis.TickValue(3), 20.0);
    a.SetRange(0, 20, 2, true);  // eleven short ticks, long ones already among them
    a.Paint();
    EXPECT_EQ(a.axis.NumTicks(), 11);
    EXPECT_EQ(a.axis.TickValue(11), 20.0);
}

TEST(AxisPaint, BottomAxisLabelsStayInsideTheControl)
{
    // Width 200, margins 10: the ticks 0, 20, ... 100 lie at 10, 46, 82,
    // 117, 153, 189. The first label would start left of pixel 2, the last
    // would pass the right edge.
    TAxisOnCanvas a(sctXT, 200, 400);
    a.axis.SetMarginLeft(10);
    a.axis.SetMarginRight(10);
    a.axis.SetDecPlaces(1);
    a.SetRange(0, 100, 3, false);
    a.Paint();
    EXPECT_EQ(a.Texts(), (Log{"2,27 0.0", "34,27 20.0", "70,27 40.0", "105,27 60.0", "141,27 80.0",
                              "168,27 100.0"}));
    // The last label ends 2 pixels inside the right edge.
    EXPECT_EQ(168 + a.canvas.TextWidth("100.0"), 200 - 2);
}

TEST(AxisPaint, VerticalLabelsAreCentredByHalfTheHeightOfZero)
{
    // Range -5 ... 5 over 180 pixels from y = 10: ticks -4 ... 4 at
    // y = 171, 135, 100, 64, 28.
    struct Row {
        TScaleType type;
        Log texts;
    };
    const Row rows[] = {
        {sctYR, {"347,165 -4.0", "347,129 -2.0", "353,94 0.0", "353,58 2.0", "353,22 4.0"}},
        {sctYL, {"28,165 -4.0", "28,129 -2.0", "28,94 0.0", "28,58 2.0", "28,22 4.0"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.type));
        TAxisOnCanvas a(r.type, 400, 200);
        a.axis.SetMarginTop(10);
        a.axis.SetMarginBottom(10);
        a.SetRange(-5, 5, 3, false);
        // Taller labels do not move: only the height of "0" counts.
        for (const char* text : {"-4.0", "-2.0", "0.0", "2.0", "4.0"}) a.canvas.Heights[text] = 25;
        a.Paint();
        EXPECT_EQ(a.Texts(), r.texts);
    }
}

TEST(AxisPaint, CaptionByAnchorAndAlignment)
{
    // Caption "Axis" is 24 pixels wide; CaptionPosX 5, CaptionPosY 11.
    // Horizontal (bottom axis, base line y 20): margins left 30, right 50.
    // Vertical (right axis, base line x 20): margins top 30, bottom 50.
    struct Row {
        TScaleType type;
        int size;
        TScaleUnitAnchor anchor;
        TAlignment alignment;
        int left, top;
    };
    const Row rows[] = {
        {sctXT, 400, uaSclTopLft, taLeftJustify, 35, 31},
        {sctXT, 400, uaSclTopLft, taRightJustify, 11, 31},
        {sctXT, 400, uaSclTopLft, taCenter, 23, 31},
        {sctXT, 400, uaSclCenter, taLeftJustify, 195, 31},
        {sctXT, 400, uaSclCenter, taRightJustify, 171, 31},
        {sctXT, 400, uaSclCenter, taCenter, 183, 31},
        {sctXT, 400, uaSclBotRgt, taLeftJustify, 355, 31},
        {sctXT, 400, uaSclBotRgt, taRightJustify, 331, 31},
        {sctXT, 400, uaSclBotRgt, taCenter, 343, 31},
        {sctYL, 400, uaSclTopLft, taLeftJustify, 25, 41},
        {sctYL, 400, uaSclTopLft, taRightJustify, 1, 41},
        {sctYL, 400, uaSclTopLft, taCenter, 13, 41},
        {sctYL, 400, uaSclCenter, taLeftJustify, 25, 201},
        {sctYL, 400, uaSclCenter, taRightJustify, 1, 201},
        {sctYL, 400, uaSclCenter, taCenter, 13, 201},
        {sctYL, 400, uaSclBotRgt, taLeftJustify, 25, 361},
        {sctYL, 400, uaSclBotRgt, taRightJustify, 1, 361},
        {sctYL, 400, uaSclBotRgt, taCenter, 13, 361},
        // Narrower than the margins: -31 div 2 is -15 (towards zero).
        {sctXT, 49, uaSclCenter, taLeftJustify, 20, 31},
        {sctYL, 49, uaSclCenter, taLeftJustify, 25, 26},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << int(r.type) << " size " << r.size << " anchor " << int(r.anchor)
                                        << " alignment " << int(r.alignment));
        TAxisOnCanvas a(r.type, r.size, r.size);
        a.axis.SetMarginLeft(IsHorizontal(r.type) ? 30 : 20);
        a.axis.SetMarginRight(50);
        a.axis.SetMarginTop(IsHorizontal(r.type) ? 20 : 30);
        a.axis.SetMarginBottom(50);
        a.axis.SetLabelType(ftNoFigs);  // the caption is the only text
        a.axis.SetCaption("Axis");
        a.axis.SetCaptionPosX(5);
        a.axis.SetCaptionPosY(11);
        a.axis.SetCaptionAnchor(r.anchor);
        a.axis.SetCaptionAlignment(r.alignment);
        a.Paint();
        EXPECT_EQ(a.Texts(), (Log{Format("%d,%d Axis", r.left, r.top)}));
    }
}

TEST(AxisPaint, TransparentDrawsStraightOntoTheTarget)
{
    TAxisOnCanvas a(sctXT, 200, 100);
    a.axis.SetShowBaseLine(true);
    a.axis.SetColorScale(clNavy);
    a.axis.SetCaption("c");
    a.SetRange(0, 20, 2, false);
    a.axis.SetExternalCanvas(&a.canvas, 3, 5);
    std::vector<const TCanvas*> canvases;
    a.axis.OnBeforeScaleRendered = [&](TObject*, TCanvas& c) { canvases.push_back(&c); };
    a.axis.OnScaleTickDrawn = [&](TObject*, TCanvas& c, TScaleType, double, int, int) { canvases.push_back(&c); };
    a.axis.OnAfterScaleRendered = [&](TObject*, TCanvas& c) { canvases.push_back(&c); };
    a.Paint();

    EXPECT_EQ(canvases, (std::vector<const TCanvas*>(5, &a.canvas)));
    EXPECT_TRUE(a.canvas.CallsOf("Draw").empty());
    EXPECT_TRUE(a.canvas.CallsOf("Rectangle").empty());  // neither background nor frame
    // DY moves the base line down, DX does not move the ticks along the axis.
    const std::vector<TCanvasCall> lines = a.canvas.CallsOf("LineTo");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].Args, (std::vector<int>{20, 32}));  // tick 0 from y 25
    const TCanvasCall& base = lines.back();
    EXPECT_EQ(base.Args, (std::vector<int>{179, 25}));
    EXPECT_EQ(a.canvas.Calls()[a.canvas.Calls().size() - 2].Op, "MoveTo");
    EXPECT_EQ(a.canvas.Calls()[a.canvas.Calls().size() - 2].Args, (std::vector<int>{20, 25}));
    for (const TCanvasCall& c : a.canvas.Calls()) {
        EXPECT_EQ(c.PenColor, clNavy) << c.Op;
        EXPECT_EQ(c.BrushStyle, bsClear) << c.Op;
    }
    // The state the paint leaves on the target.
    EXPECT_EQ(a.canvas.Pen().Color(), clNavy);
    EXPECT_EQ(a.canvas.Brush().Style(), bsClear);
    EXPECT_EQ(a.canvas.Font(), a.axis.Font());
}

TEST(AxisPaint, OpaqueDrawsOneBitmapOfTheControlSize)
{
    TAxisOnCanvas a(sctXB, 200, 100);
    a.axis.SetTransparent(false);
    a.axis.SetColorBackGnd(0x336699);
    a.axis.SetColorScale(clMaroon);
    a.SetRange(0, 20, 2, false);
    a.axis.SetExternalCanvas(&a.canvas, 3, 5);
    const TCanvas* before = nullptr;
    std::vector<const TCanvas*> drawnOn;
    a.axis.OnBeforeScaleRendered = [&](TObject*, TCanvas& c) { before = &c; };
    a.axis.OnScaleTickDrawn = [&](TObject*, TCanvas& c, TScaleType, double, int, int) { drawnOn.push_back(&c); };
    a.axis.OnAfterScaleRendered = [&](TObject*, TCanvas& c) {
        drawnOn.push_back(&c);
        EXPECT_EQ(c.Brush().Style(), bsSolid);  // label cells take the background
        EXPECT_EQ(c.Brush().Color(), 0x336699);
        EXPECT_EQ(c.Pen().Color(), clMaroon);
        EXPECT_EQ(c.Font(), a.axis.Font());
    };
    a.Paint();

    EXPECT_EQ(before, &a.canvas);
    ASSERT_EQ(drawnOn.size(), 4u);
    EXPECT_NE(drawnOn[0], &a.canvas);
    EXPECT_EQ(drawnOn, (std::vector<const TCanvas*>(4, drawnOn[0])));
    EXPECT_EQ(a.canvas.Ops(), (Log{"Draw"}));
    EXPECT_EQ(a.canvas.Calls()[0].Args, (std::vector<int>{3, 5, 200, 100}));
}

TEST(AxisPaint, NothingIsDrawnWhileInvisibleLoadingOrSuspended)
{
    struct Row {
        const char* name;
        void (*setup)(TScale&);
        bool usePaintNow;
        bool drawn;
    };
    const Row rows[] = {
        {"painted on request", [](TScale&) {}, true, true},
        {"invisible", [](TScale& s) { s.SetVisible(false); }, true, false},
        {"loading", [](TScale& s) { s.BeginLoading(); }, true, false},
        {"suspended", [](TScale&) {}, false, false},
    };
    for (const Row& r : rows) {
        for (bool transparent : {false, true}) {
            SCOPED_TRACE(testing::Message() << r.name << (transparent ? " transparent" : " opaque"));
            TAxisOnCanvas a(sctXT);
            a.axis.SetTransparent(transparent);
            int events = 0;
            a.axis.OnBeforeScaleRendered = [&](TObject*, TCanvas&) { ++events; };
            r.setup(a.axis);
            a.canvas.Clear();
            if (r.usePaintNow)
                a.axis.PaintNow();
            else
                a.axis.Paint();  // the axis keeps its suspension
            EXPECT_EQ(!a.canvas.Calls().empty(), r.drawn);
            EXPECT_EQ(events, r.drawn ? 1 : 0);
        }
    }
}

TEST(AxisPaint, HandlerExceptionPassesOutOfPaint)
{
    for (bool transparent : {true, false}) {
        TAxisOnCanvas a(sctXT);
        a.axis.SetTransparent(transparent);
        a.axis.OnScaleTickDrawn = [](TObject*, TCanvas&, TScaleType, double v, int, int) {
            if (v > 0) throw std::runtime_error("tick handler");
        };
        EXPECT_THROW(a.axis.PaintNow(), std::runtime_error) << transparent;
        a.axis.OnScaleTickDrawn = nullptr;
        a.axis.OnBeforeTickLabel = [](TObject*, TScaleType, double, std::string&) { throw std::logic_error("label"); };
        EXPECT_THROW(a.axis.PaintNow(), std::logic_error) << transparent;
    }
}

TEST(AxisPaint, PrinterCanvasTakesTheFontSizeAtTheScreenResolution)
{
    // The control font: 13 pixels at 120 pixels per inch, i.e. 8 points.
    TFont font;
    font.SetPixelsPerInch(120);
    font.SetHeight(-13);
    for (bool printer : {false, true}) {
        SCOPED_TRACE(printer);
        TAxisOnCanvas a(sctXT);
        a.axis.SetFont(font);
        a.canvas.SetPrinter(printer);
        a.Paint();
        if (printer) {
            // 8 points at the screen's 96 pixels per inch are 11 pixels; the
            // printer's resolution is then set without changing them.
            EXPECT_EQ(a.canvas.Font().Height(), -11);
            EXPECT_EQ(a.canvas.Font().PixelsPerInch(), CanvasLogPixelsY(a.canvas));
        } else {
            EXPECT_EQ(a.canvas.Font(), font);
        }
    }
}

// The time and date passes draw their visits in their own order and centre
// vertical labels by their own height; a date line goes one text line
// further out. These visits are drawn one by one here.
TEST(AxisPaint, ClockPassVisits)
{
    struct Row {
        const char* name;
        TScaleType type;
        bool dateLine;
        Log expected;
    };
    // Value 10 on a 0 ... 20 axis: pixel 70. Base line at 20 (sctXT, sctYL)
    // or 120 (sctYR). Time label "00:10" (30 wide, 21 high here), date line
    // "1-Jan" (30 wide, 13 high) changed by the handler to "1-Jan-1900".
    const Row rows[] = {
        {"horizontal: line, label, date line, event", sctXT, true,
         {"line 70,20>70,27", "label 10 00:10", "text 55,27 00:10", "label 10 1-Jan", "text 40,40 1-Jan-1900",
          "tick 10 70,20"}},
        {"vertical: label centred by its own height", sctYL, false,
         {"line 20,70>26,70", "label 10 00:10", "text 28,60 00:10", "tick 10 20,70"}},
        {"vertical date line: placed by its size before the handler", sctYR, true,
         {"line 120,70>114,70", "label 10 00:10", "text 82,60 00:10", "label 10 1-Jan", "text 82,52 1-Jan-1900",
          "tick 10 120,70"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TAxisOnCanvas a(r.type);
        a.SetRange(0, 20, 2, false);
        a.RecordEvents();
        a.canvas.Heights["00:10"] = 21;
        auto recordLabel = a.axis.OnBeforeTickLabel;
        a.axis.OnBeforeTickLabel = [&](TObject* sender, TScaleType type, double v, std::string& text) {
            recordLabel(sender, type, v, text);
            if (text == "1-Jan") text = "1-Jan-1900";
        };
        TTickVisit visit;
        visit.Value = 10;
        visit.Kind = tkLong;
        visit.Pass = tpDateTime;
        visit.Labelled = true;
        visit.Label = "00:10";
        visit.HasDateLine = r.dateLine;
        visit.DateLine = "1-Jan";
        const int base = r.type == sctYR ? 120 : 20;
        TScalePaintAccess::DrawVisit(a.axis, a.canvas, visit, base, 13);
        EXPECT_EQ(a.log, r.expected);
    }
}

// Ranges whose ends map to one number (narrower than a rounding step of
// their logarithm, or of themselves): the ticks have no pixel, so nothing is
// drawn for them and no event reports an undefined position.
TEST(AxisPaint, TicksWithoutAPixelAreNotDrawn)
{
    struct Row {
        const char* Name;
        TScaleType Type;
        bool Logarithmic;
        double Low, High;
    };
    const Row rows[] = {
        {"log, vertical", sctYR, true, 4.8666985372458141e+260, 4.8666985372463008e+260},
        {"log, horizontal", sctXT, true, 4.8666985372458141e+260, 4.8666985372463008e+260},
        {"linear, subnormal width", sctYL, false, 0.0, 5e-324},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        TAxisOnCanvas a(r.Type);
        a.SetRange(r.Low, r.High, 3, true);
        a.axis.SetLogarithmic(r.Logarithmic);
        std::vector<std::pair<int, int>> positions;
        a.axis.OnScaleTickDrawn = [&](TObject*, TCanvas&, TScaleType, double, int x, int y) {
            positions.emplace_back(x, y);
        };
        a.Paint();
        for (auto [x, y] : positions) {
            EXPECT_LE(std::abs(x), MaxCanvasCoord);
            EXPECT_LE(std::abs(y), MaxCanvasCoord);
        }
        for (const TCanvasCall& c : a.canvas.CallsOf("TextOut")) {
            EXPECT_LE(std::abs(c.Args[0]), MaxCanvasCoord) << c.Text;
            EXPECT_LE(std::abs(c.Args[1]), MaxCanvasCoord) << c.Text;
        }
    }
}
