// The sink through which the reductions of run_reduction.h draw a series
// of the display list or a line view into the renderer's polyline, aliased
// or anti-aliased. Internal: not installed.
#pragma once

#include "chart/kurvo_private.h"
#include "chart/run_reduction.h"

#include <cmath>
#include <cstdint>

namespace kurvo {

/// Lines to points of `S` (and to canvas pixels or positions) added to the
/// chart's polyline; anti-aliased (G.Smooth) each through its exact position.
template <class Series>
struct TPolylineSink {
    TCustomKurvoPrivate& Chart;  ///< whose polyline
    TCanvas& Canvas;  ///< drawn on
    TRenderState& State;  ///< the chart's render state
    const TReductionCanvas& G;  ///< conversion and limits
    const Series& S;  ///< the points

    /// A line to point i.
    void Point(std::int64_t i)
    {
        const double x = S.X(i);
        const double y = S.Y(i);
        if (G.Smooth) Note(ExactCanvasPoint(G.Map, x, y));
        Chart.AddPolylinePoint(G.Map.X(x), G.Map.Y(y), Canvas);
    }
    /// A line to point i; one colour for all.
    void Point(std::int64_t i, std::int64_t) { Point(i); }
    /// A line to canvas pixel (x, y).
    void Pixel(int x, int y) { Chart.AddPolylinePoint(x, y, Canvas); }
    /// A line to canvas position (x, y), unrounded.
    void Exact(double x, double y)
    {
        Note({x, y});
        Chart.AddPolylinePoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), Canvas);
    }
    /// The pen to point i without a line.
    void Move(std::int64_t i)
    {
        Chart.FlushPolyline(Canvas);
        const double x = S.X(i);
        const double y = S.Y(i);
        State.PenPos = {G.Map.X(x), G.Map.Y(y)};
        State.PenPosF = G.Smooth ? ExactCanvasPoint(G.Map, x, y)
                                 : TPointF{static_cast<double>(State.PenPos.X), static_cast<double>(State.PenPos.Y)};
        State.PenBroken = false;
        Canvas.MoveTo(State.PenPos.X, State.PenPos.Y);
    }

private:
    void Note(TPointF exact)
    {
        State.NextF = exact;
        State.HasNextF = true;
    }
};

}  // namespace kurvo
