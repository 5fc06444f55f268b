// Shared by the renderer and paint-pipeline tests: a chart with a simple
// geometry, items written straight into its lists, and a readable trace of
// the calls a recording canvas received.
#pragma once

#include "canvas/recording_canvas.h"
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace kurvo {

// gtest prints points as (x,y).
inline void PrintTo(const TPoint& p, std::ostream* os) { *os << '(' << p.X << ',' << p.Y << ')'; }

// The chart's own friend: tests reach the lists and the render state here.
// Defined once, in this header, for the whole test executable.
class TKurvoAccess {
public:
    static void Add(TCustomKurvo& chart, const TkvChartItem& item, bool annotation)
    {
        TItemList& list = annotation ? TCustomKurvoPrivate::Get(chart).FAnnot : TCustomKurvoPrivate::Get(chart).FData;
        list.Items->Truncate(list.Count);
        list.Items->Append(item, !annotation);
        ++list.Count;
        if (list.Capacity < list.Count) list.Capacity = list.Count;
    }
    static TLongTextArray& LongTexts(TCustomKurvo& chart, bool annotation)
    {
        return TCustomKurvoPrivate::Get(chart).FLongTexts[annotation ? 1 : 0];
    }
    static const TRenderState& Render(const TCustomKurvo& chart) { return TCustomKurvoPrivate::Get(chart).FRender; }
    static void SetUpperStateReset(bool value) { TCustomKurvoPrivate::SResetUpperState = value; }
};

namespace test {

// 200 x 150 with margins of 10: the data area is 180 x 130 pixels, layer 1
// maps X 0 ... 180 and Y 0 ... 130 onto it one to one, so world (x, y) is
// canvas pixel (x, 130 - y) of the data bitmap.
constexpr int kAreaW = 180;
constexpr int kAreaH = 130;

inline void SimpleGeometry(TCustomKurvo& chart)
{
    chart.SetMarginLeft(10);
    chart.SetMarginRight(10);
    chart.SetMarginTop(10);
    chart.SetMarginBottom(10);
    chart.SetBounds(0, 0, 200, 150);
    chart.Scale1X()->SetRangeLow(0);
    chart.Scale1X()->SetRangeHigh(kAreaW);
    chart.Scale1Y()->SetRangeLow(0);
    chart.Scale1Y()->SetRangeHigh(kAreaH);
}

// The demo's chart: 473 x 421, margins 80/16/20/40, layer 1 X 0 ... 100, Y -5 ... 5.
inline void DemoGeometry(TCustomKurvo& chart)
{
    chart.SetMarginLeft(80);
    chart.SetMarginRight(16);
    chart.SetMarginTop(20);
    chart.SetMarginBottom(40);
    chart.SetBounds(0, 41, 473, 421);
    chart.Scale1X()->SetRangeLow(0);
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1Y()->SetRangeLow(-5);
    chart.Scale1Y()->SetRangeHigh(5);
}

// A zeroed item of layer 1 with pen width 1, black on silver.
inline TkvChartItem Item(std::uint8_t kind, double x = 0, double y = 0, double x2 = 0, double y2 = 0,
                         std::uint8_t mode = 0)
{
    TkvChartItem item{};
    item.Kind = kind;
    item.Layer = 1;
    item.LineWidth = 1;
    item.Color = clBlack;
    item.FillColor = clSilver;
    item.PenStyle = psSolid;
    item.X = x;
    item.Y = y;
    item.X2 = x2;
    item.Y2 = y2;
    item.Mode = mode;
    return item;
}

// The item after `change` has been applied to it.
template <class F>
TkvChartItem With(TkvChartItem item, F change)
{
    change(item);
    return item;
}

inline void AddAnnotation(TCustomKurvo& chart, const TkvChartItem& item) { TKurvoAccess::Add(chart, item, true); }
inline void AddData(TCustomKurvo& chart, const TkvChartItem& item) { TKurvoAccess::Add(chart, item, false); }

// One call per entry: "Op a b c" with the integer arguments, point lists as
// "Polyline (x,y) (x,y)", texts as "TextOut x y 'text'".
inline std::string Describe(const TCanvasCall& call)
{
    std::ostringstream s;
    s << call.Op;
    for (int a : call.Args) s << ' ' << a;
    for (const TPoint& p : call.Points) s << " (" << p.X << ',' << p.Y << ')';
    if (call.Op == "TextOut") s << " '" << call.Text << "'";
    return s.str();
}

inline std::vector<std::string> Trace(const std::vector<TCanvasCall>& calls, std::size_t from = 0,
                                      std::size_t to = static_cast<std::size_t>(-1))
{
    std::vector<std::string> out;
    for (std::size_t i = from; i < calls.size() && i < to; ++i) out.push_back(Describe(calls[i]));
    return out;
}

// Renders the chart's lists onto a recording canvas and returns the calls
// made between the start of the first item and OnDataRendered (the state
// set-up and the data-area frame are left out).
inline std::vector<TCanvasCall> ItemCalls(TCustomKurvo& chart, TRecordingCanvas& canvas, bool monochrome = false)
{
    canvas.Clear();
    std::size_t first = static_cast<std::size_t>(-1);
    std::size_t last = 0;
    auto previousItemHook = chart.OnBeforeRenderChartItem;
    chart.OnBeforeRenderChartItem = [&](TObject* sender, TkvChartItem& item, int index, bool isAnnotation) {
        if (first == static_cast<std::size_t>(-1)) first = canvas.Calls().size();
        if (previousItemHook) previousItemHook(sender, item, index, isAnnotation);
    };
    auto previousDone = chart.OnDataRendered;
    chart.OnDataRendered = [&](TObject*, TCanvas&, int, int) { last = canvas.Calls().size(); };
    chart.RenderData(canvas, 0, 0, monochrome, true);
    chart.OnBeforeRenderChartItem = previousItemHook;
    chart.OnDataRendered = previousDone;
    if (first == static_cast<std::size_t>(-1)) return {};
    return {canvas.Calls().begin() + static_cast<std::ptrdiff_t>(first),
            canvas.Calls().begin() + static_cast<std::ptrdiff_t>(last)};
}

inline std::vector<std::string> ItemTrace(TCustomKurvo& chart, bool monochrome = false)
{
    TRecordingCanvas canvas;
    return Trace(ItemCalls(chart, canvas, monochrome));
}

}  // namespace test
}  // namespace kurvo
