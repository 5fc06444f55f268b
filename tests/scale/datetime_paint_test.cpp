// Painting of time and date/time axes on a recording canvas: the messages
// that replace the ticks, date lines under time-of-day labels, and
// vertical clock labels centred by their own height.
#include "canvas/recording_canvas.h"
#include "scale/Qorn_Scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

using Log = std::vector<std::string>;

std::string Format(const char* format, auto... args)
{
    char buf[160];
    std::snprintf(buf, sizeof buf, format, args...);
    return buf;
}

// Appends its lines and texts to the log shared with the event handlers.
// Texts listed in Heights get their own height, all others 13 pixels;
// every character is 6 pixels wide.
class TLogCanvas : public TRecordingCanvas {
public:
    explicit TLogCanvas(Log& log) : FLog(log) {}

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
    Log& FLog;
};

// A 141 x 141 axis with margins 20 (100 pixels long), drawn on a log canvas
// when told, its tick and label events in the log too.
struct TDateAxis {
    Log log;
    TLogCanvas canvas{log};
    TScale axis;

    TDateAxis(TScaleType type, TFigType labelType, double low, double high, bool shortTicks = false)
    {
        axis.BeginLoading();
        axis.Loaded();
        axis.SetEmbedded(true);
        axis.SetBounds(0, 0, 141, 141);
        axis.SetScaleType(type);
        axis.SetTransparent(true);
        axis.SetShowBaseLine(false);
        axis.SetExternalCanvas(&canvas, 0, 0);
        axis.SetLabelType(labelType);
        axis.SetRangeHigh(high);
        axis.SetRangeLow(low);
        axis.SetMinTicks(3);
        axis.SetShortTicks(shortTicks);
        axis.OnScaleTickDrawn = [this](TObject*, TCanvas&, TScaleType, double v, int x, int y) {
            log.push_back(Format("tick %.7g %d,%d", v, x, y));
        };
        axis.OnBeforeTickLabel = [this](TObject*, TScaleType, double v, std::string& text) {
            log.push_back(Format("label %.7g %s", v, text.c_str()));
        };
    }

    Log Paint()
    {
        log.clear();
        axis.PaintNow();
        return log;
    }
};

constexpr double kJan1 = 45292.0;  // 1 January 2024

struct MessageRow {
    const char* Name;
    TScaleType Type;
    double Low, High;
    Log Expected;
};

TEST(DateTimeAxisPaint, MessagesInsteadOfTicks)
{
    // Middle value at pixel 70. The vertical lines are 15 high (the height of
    // "T"), the second one's top at 70; they end 2 pixels left of the base
    // line at 120 (sctYR) or start 2 pixels right of the one at 20.
    const MessageRow rows[] = {
        {"horizontal below the base line, sctXT", sctXT, 0.5, 0.50001,
         {"text -26,27 DateTime range is below 1 second"}},
        {"horizontal below the base line on sctXB as well", sctXB, 0.5, 0.50001,
         {"text -26,127 DateTime range is below 1 second"}},
        {"invalid, horizontal", sctXT, 1, 0, {"text 4,27 invalid DateTime scale"}},
        {"invalid, left axis", sctYR, 1, 0, {"text 76,55 invalid", "text 70,70 DateTime", "text 88,85 scale"}},
        {"invalid, right axis", sctYL, 1, 0, {"text 22,55 invalid", "text 22,70 DateTime", "text 22,85 scale"}},
        {"too short, left axis", sctYR, 0.5, 0.5 + 3e-7,
         {"text 70,55 DateTime", "text 70,70 range is", "text 76,85 below 1", "text 82,100 second"}},
    };
    for (const MessageRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TDateAxis a(row.Type, ftDateTime, row.Low, row.High, true);
        a.canvas.Heights["T"] = 15;
        EXPECT_EQ(a.axis.ValueToPixel((row.Low + row.High) / 2), 70);
        // No line, no tick or label event, nothing for the grid.
        EXPECT_EQ(a.Paint(), row.Expected);
        EXPECT_EQ(a.axis.NumTicks(), 0);
    }
}

TEST(DateTimeAxisPaint, MessageAtAFarPixelStaysWithinTheIntegers)
{
    // An axis that still takes Logarithmic unchecked keeps its logarithmic
    // mapping for a range with an end <= 0; here that mapping puts the
    // middle of the invalid range -1 ... 4e6 at the lowest pixel.
    Log log;
    TLogCanvas canvas{log};
    TScale axis;
    axis.SetBounds(0, 0, 141, 141);
    axis.SetEmbedded(true);
    axis.SetTransparent(true);
    axis.SetShowBaseLine(false);
    axis.SetExternalCanvas(&canvas, 0, 0);
    axis.SetScaleType(sctYL);
    axis.SetLabelType(ftDateTime);
    axis.SetRangeLow(1);
    axis.SetRangeHigh(1 + 1e-12);
    axis.SetLogarithmic(true);
    axis.SetRangeLow(-1);
    axis.SetRangeHigh(4e6);
    ASSERT_TRUE(axis.Logarithmic());
    ASSERT_EQ(axis.ValueToPixel((-1 + 4e6) / 2), -2147483647);
    axis.PaintNow();
    EXPECT_EQ(log, (Log{"text 22,-2147483647 invalid", "text 22,-2147483647 DateTime", "text 22,-2147483634 scale"}));
}

struct DateLineRow {
    const char* Name;
    TScaleType Type;
    Log Expected;  // of the first and the last long tick
};

TEST(DateTimeAxisPaint, DateLinesOneTextLineFurtherOut)
{
    // One day: long ticks at 00:00, 08:00, 16:00, 00:00 (pixels 20, 53, 87,
    // 120); date lines "01-Jan-2024" and "02-Jan-2024" (66 wide, 13 high)
    // under the first and the last.
    const DateLineRow rows[] = {
        {"bottom axis: below the label", sctXT,
         {"label 45292 00:00", "text 5,27 00:00", "label 45292 01-Jan-2024", "text 2,40 01-Jan-2024",
          "tick 45292 20,20", "label 45293 00:00", "text 105,27 00:00", "label 45293 02-Jan-2024",
          "text 73,40 02-Jan-2024", "tick 45293 120,20"}},
        {"top axis: above the label", sctXB,
         {"label 45292 00:00", "text 5,100 00:00", "label 45292 01-Jan-2024", "text 2,87 01-Jan-2024",
          "tick 45292 20,120", "label 45293 00:00", "text 105,100 00:00", "label 45293 02-Jan-2024",
          "text 73,87 02-Jan-2024", "tick 45293 120,120"}},
        {"left axis: above the label, by three half heights", sctYR,
         {"label 45292 00:00", "text 82,114 00:00", "label 45292 01-Jan-2024", "text 46,102 01-Jan-2024",
          "tick 45292 120,120", "label 45293 00:00", "text 82,14 00:00", "label 45293 02-Jan-2024",
          "text 46,2 02-Jan-2024", "tick 45293 120,20"}},
        {"right axis", sctYL,
         {"label 45292 00:00", "text 28,114 00:00", "label 45292 01-Jan-2024", "text 28,102 01-Jan-2024",
          "tick 45292 20,120", "label 45293 00:00", "text 28,14 00:00", "label 45293 02-Jan-2024",
          "text 28,2 02-Jan-2024", "tick 45293 20,20"}},
    };
    for (const DateLineRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TDateAxis a(row.Type, ftDateTime, kJan1, kJan1 + 1);
        // Line, label event, text and tick event per long tick, and two date lines.
        Log log = a.Paint();
        ASSERT_EQ(log.size(), 4u * 4 + 2 * 2);
        std::erase_if(log, [](const std::string& e) { return e.rfind("line", 0) == 0; });
        Log ends(log.begin(), log.begin() + 5);
        ends.insert(ends.end(), log.end() - 5, log.end());
        EXPECT_EQ(ends, row.Expected);
        EXPECT_EQ(a.axis.NumTicks(), 4);
    }
}

TEST(DateTimeAxisPaint, DateLineTextChangedByTheHandlerKeepsItsPlace)
{
    TDateAxis a(sctYR, ftDateTime, kJan1, kJan1 + 1);
    a.axis.OnBeforeTickLabel = [](TObject*, TScaleType, double, std::string& text) {
        if (text == "01-Jan-2024") text = "Monday, 1 January 2024";
    };
    const Log log = a.Paint();
    // Placed by the width of the text before the handler (66), not after (132).
    EXPECT_NE(std::find(log.begin(), log.end(), "text 46,102 Monday, 1 January 2024"), log.end());
}

TEST(DateTimeAxisPaint, VerticalClockLabelsCentredByTheirOwnHeight)
{
    // ftTime 0 ... 3600 s on a left axis: long ticks at pixels 120, 87, 53, 20.
    // The labels are 21 high, "0" 13: they are centred by 21 / 2 = 10.
    TDateAxis a(sctYR, ftTime, 0, 3600);
    for (const char* label : {" 00:00:00", " 00:20:00", " 00:40:00", " 01:00:00"}) a.canvas.Heights[label] = 21;
    const Log log = a.Paint();
    const Log expected = {
        "line 120,120>114,120", "label 0  00:00:00",    "text 58,110  00:00:00", "tick 0 120,120",
        "line 120,87>114,87",   "label 1200  00:20:00", "text 58,77  00:20:00",  "tick 1200 120,87",
        "line 120,53>114,53",   "label 2400  00:40:00", "text 58,43  00:40:00",  "tick 2400 120,53",
        "line 120,20>114,20",   "label 3600  01:00:00", "text 58,10  01:00:00",  "tick 3600 120,20",
    };
    EXPECT_EQ(log, expected);
}

TEST(DateTimeAxisPaint, ShortTicksOfADateAxisRaiseTheirEventOnly)
{
    // 90 days from 1 January: a visit every 7 days, long every 28.
    TDateAxis a(sctXT, ftDateTime, kJan1, kJan1 + 90, true);
    const Log log = a.Paint();
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(Log(log.begin(), log.begin() + 6),
              (Log{"line 20,20>20,27", "label 45292 01-Jan-2024", "text 2,27 01-Jan-2024", "tick 45292 20,20",
                   "line 28,20>28,24", "tick 45299 28,20"}));
    EXPECT_EQ(a.axis.NumTicks(), 13);
}

}  // namespace
