// Compact runs of line-to items: a long series drawn per pixel column (or,
// with X in any order, without the lines that draw nothing), with the
// picture of the point-by-point path; see run_reduction.h. Runs of marks go
// to render_marks.cpp.
//
// A series with gaps (a non-finite point every so often) is a chain of
// compact runs with a gap record between each two. The chain is drawn in
// one pass, a move at every gap, so that a gap costs no more than the
// column it falls in.
#include "chart/Qorn_kurvo.h"

#include "canvas/line_coverage.h"
#include "canvas/qt_canvas.h"
#include "chart/kurvo_private.h"
#include "chart/reduction_sink.h"
#include "chart/run_reduction.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

namespace kurvo {

namespace {

// Rising runs with fewer points per column than this on average are drawn
// point by point: finding the columns would cost more than it saves.
constexpr std::int64_t kMinPointsPerColumn = 4;
// Runs in any order of X shorter than this are drawn point by point, so that
// short lines reach the canvas unchanged.
constexpr std::int64_t kMinUnsortedPoints = 64;

int PenWidthOf(std::int32_t lineWidth) { return std::clamp<std::int32_t>(lineWidth, 1, MaxItemPenWidth); }

// Whether the pixels of a run may be found without drawing every point:
// wide and styled pens draw joins and dash phases that depend on every
// point; XOR drawing changes pixels that are drawn twice; values at or below
// the logarithmic floor all go to one edge pixel, which breaks the order of
// the columns and of the extremes (lines in any order of X, drawn to every
// point's own pixel, keep them).
bool Reducible(const TCustomKurvoPrivate& p, const TCanvas& canvas, const TkvChartItem& a, const TItemRun& run)
{
    if (!p.FLineRunReduction || PenWidthOf(a.LineWidth) != 1 || a.PenStyle != psSolid ||
        canvas.Pen().Mode() != pmCopy)
        return false;
    if (!run.XRising && !canvas.Antialiased()) return true;
    const int n = ClampLayer(a.Layer) - 1;
    if (p.FScaleX[static_cast<std::size_t>(n)]->Logarithmic() && !(run.XMin > TCanvasMap::LogFloor)) return false;
    if (p.FScaleY[static_cast<std::size_t>(n)]->Logarithmic() && !(run.YMin > TCanvasMap::LogFloor)) return false;
    return true;
}

// A record that only breaks the line: a line-to without a pixel, drawn
// (class and layer visible) with the run's pen width.
bool GapRecord(const TCustomKurvoPrivate& p, const TkvChartItem& item, const TkvChartItem& line, bool isAnnotation)
{
    const auto& classVisible = isAnnotation ? p.FAnnotClassVisible : p.FDataClassVisible;
    return item.Kind == ikLineTo && !(std::isfinite(item.X) && std::isfinite(item.Y)) && classVisible[item.Class] &&
           item.Layer >= 1 && item.Layer <= LayerCount && p.FLayerVisible[static_cast<std::size_t>(item.Layer - 1)] &&
           PenWidthOf(item.LineWidth) == PenWidthOf(line.LineWidth);
}

// The canvas's size in canvas pixels, with a pixel to spare, where known.
void CanvasBounds(const TCanvas& canvas, TReductionCanvas& g)
{
    const auto* qt = dynamic_cast<const TQtCanvas*>(&canvas);
    if (qt == nullptr || qt->Image() == nullptr || qt->Image()->isNull()) return;
    const QSizeF size = qt->Image()->deviceIndependentSize();
    g.Right = static_cast<int>(std::ceil(size.width())) + 1;
    g.Bottom = static_cast<int>(std::ceil(size.height())) + 1;
}

// The compact X and Y values as a series of absolute indices.
using TRunSeries = TSeriesOver<TChunkedDoubles, TChunkedDoubles>;

}  // namespace

// The first n items of a compact run one by one, as plain items are drawn:
// the hook (called through a copy, which may clear the event) gets a working
// copy of every item; items of hidden classes are left out.
void TCustomKurvoPrivate::RenderRunItems(TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run, std::int64_t n,
                                  bool isAnnotation, bool monochrome)
{
    const auto& classVisible = isAnnotation ? FAnnotClassVisible : FDataClassVisible;
    const TLongTextArray& texts = FLongTexts[isAnnotation ? 1 : 0];
    const int offsetX = FRender.OffsetX;
    const int offsetY = FRender.OffsetY;
    const TBeforeRenderChartItemEvent onItem = q->OnBeforeRenderChartItem;
    for (std::int64_t k = 0; k < n; ++k) {
        TkvChartItem item = items.RunItem(run, k);
        if (!classVisible[item.Class]) continue;
        const int index = static_cast<int>(run.First + k);
        if (onItem) {
            const unsigned runs = FRenderRuns;
            onItem(q, item, index, isAnnotation);
            if (FRenderRuns != runs) ReapplyRenderState(canvas);
            ResetUpperVectorState();
        }
        RenderItem(canvas, item, index, isAnnotation, texts, monochrome, offsetX, offsetY);
    }
}

std::size_t TCustomKurvoPrivate::RenderCompactRun(TCanvas& canvas, const TKvItemContainer& items, std::size_t r,
                                           std::int64_t count, bool isAnnotation, bool monochrome)
{
    // By value: a hook may append runs, which moves the table.
    const TItemRun run = items.Runs()[r];
    return RenderCompactRunPart(canvas, items, r, run, true, count, isAnnotation, monochrome);
}

std::size_t TCustomKurvoPrivate::RenderCompactRunPart(TCanvas& canvas, const TKvItemContainer& items, std::size_t r,
                                               const TItemRun& part, bool joinRuns, std::int64_t count,
                                               bool isAnnotation, bool monochrome)
{
    const TItemRun run = part;
    // By value: a hook may start runs of its own, which moves the table of
    // shared records.
    const TkvChartItem attributes = items.RunAttributes(run);
    if (attributes.Kind == ikMark) {
        RenderMarkRun(canvas, items, run, count, isAnnotation, monochrome);
        return r + 1;
    }
    const auto& classVisible = isAnnotation ? FAnnotClassVisible : FDataClassVisible;
    const bool varying = run.Varying >= 0;
    const int layer = attributes.Layer;
    if (layer < 1 || layer > LayerCount || !FLayerVisible[layer - 1]) return r + 1;
    if (!varying && !classVisible[attributes.Class]) return r + 1;
    const std::int64_t n = std::min(run.Count, count - run.First);
    if (n <= 0) return r + 1;
    const TLongTextArray& texts = FLongTexts[isAnnotation ? 1 : 0];
    const int offsetX = FRender.OffsetX;
    const int offsetY = FRender.OffsetY;
    const bool allVisible = !varying || items.Varying(run).AllVisible(classVisible);

    // Anti-aliased, only one-colour lines in a reducible pen are reduced
    // (per part of a column, through exact positions); the rest, and lines
    // in any order of X, go point by point.
    const bool smooth = canvas.Antialiased();
    if (q->OnBeforeRenderChartItem || !allVisible || (smooth && (varying || !Reducible(*this, canvas, attributes, run)))) {
        // Item by item: the hook gets a working copy of every item, as for
        // plain items; points of hidden classes are left out of the line.
        RenderRunItems(canvas, items, run, n, isAnnotation, monochrome);
        return r + 1;
    }

    // The first point sets pen width and attributes and resumes a broken
    // line; the others only add polyline points, as RenderItem would.
    TkvChartItem first = items.RunItem(run, 0);
    RenderItem(canvas, first, static_cast<int>(run.First), isAnnotation, texts, monochrome, offsetX, offsetY);

    TReductionCanvas g;
    g.Map = CanvasMap(layer);
    CanvasBounds(canvas, g);
    const double ratio = canvas.DevicePixelRatio();
    g.Fractional = ratio != std::round(ratio);
    g.Smooth = smooth;
    const TChunkedDoubles& xs = items.XValues();
    const TChunkedDoubles& ys = items.YValues();
    const bool coloured = varying && !monochrome;
    const std::int64_t colours = varying ? items.Varying(run).Offset - run.Offset : 0;

    // For the sink, which reads X and Y only.
    static const TMinMaxPyramid unused;
    const TRunSeries points{xs, ys, unused};
    // Every point's colour from its own item; a line to a pixel or to a
    // point in the colour of another.
    TkvChartItem look = attributes;
    struct TSink : TPolylineSink<TRunSeries> {
        const TKvItemContainer& Items;
        std::int64_t ColourShift;
        TkvChartItem& Look;
        using TPolylineSink<TRunSeries>::Point;
        void Point(std::int64_t i, std::int64_t c)
        {
            Look.Color = Items.Colors()[c + ColourShift];
            Chart.SetLineAttributes(Canvas, Look.Color, Look);
            Point(i);
        }
    } sink{{*this, canvas, FRender, g, points}, items, colours, look};

    // The chain: this run and the runs of the same look that follow it
    // after gap records only (drawn as gaps: a move to the next piece).
    std::size_t next = r + 1;
    const auto& runs = items.Runs();
    thread_local std::vector<TPiece> chain;
    chain.assign(1, TPiece{run.Offset, run.Offset + n});
    while (joinRuns && !varying && FLineRunReduction && next + 1 < runs.size()) {
        const TItemRun& gap = runs[next];
        const TItemRun& after = runs[next + 1];
        if (gap.Compact() || after.Attributes != run.Attributes || after.Varying >= 0 || after.First >= count ||
            gap.First + gap.Count > count)
            break;
        bool onlyGaps = true;
        for (std::int64_t k = 0; k < gap.Count && onlyGaps; ++k)
            onlyGaps = GapRecord(*this, items.PlainItem(gap.Offset + k), attributes, isAnnotation);
        if (!onlyGaps) break;
        chain.push_back({after.Offset, after.Offset + std::min(after.Count, count - after.First)});
        next += 2;
    }

    // Each piece by its order of X and length: per column, without lines to
    // the pixel the pen is on, or point by point. Consecutive pieces per
    // column go to the engine together.
    TReductionState state;
    thread_local std::vector<std::int64_t> records;
    const TMinMaxPyramid* pyramid = nullptr;
    const auto modeOf = [&](std::size_t p) {
        const TPiece& piece = chain[p];
        const std::int64_t m = piece.To - piece.From;
        // The run of each piece: the chain's first run, then every second one.
        const TItemRun& pieceRun = p == 0 ? run : runs[r + 2 * p];
        if (m <= 1) return 0;
        if (!Reducible(*this, canvas, attributes, pieceRun)) {
            // A rising run that reaches a logarithmic floor loses the order
            // of its columns, not its pixels: it goes as a line in any order
            // of X, every point to its own pixel.
            TItemRun anyOrder = pieceRun;
            anyOrder.XRising = false;
            return pieceRun.XRising && m >= kMinUnsortedPoints && !g.Smooth &&
                           Reducible(*this, canvas, attributes, anyOrder)
                       ? 2
                       : 0;
        }
        // Anti-aliased lines in any order of X go point by point.
        if (!pieceRun.XRising) return m >= kMinUnsortedPoints && !g.Smooth ? 2 : 0;
        const std::int64_t columns = std::abs(std::clamp(g.Map.X(xs[piece.To - 1]), -1, g.Right) -
                                              std::clamp(g.Map.X(xs[piece.From]), -1, g.Right)) + 1;
        if (m < kMinPointsPerColumn * columns) return 0;
        if (pyramid == nullptr) {
            try {
                pyramid = &items.YPyramid();
            } catch (const std::bad_alloc&) {
                return 0;  // no room for the structure: draw every point
            }
        }
        return 1;
    };
    for (std::size_t p = 0; p < chain.size();) {
        const int mode = modeOf(p);
        if (mode == 1) {
            const TRunSeries series{xs, ys, *pyramid};
            if (coloured) {
                ReduceRisingColouredPiece(series, g, chain[p].From, chain[p].To, sink, state, records);
                ++p;
                continue;
            }
            std::size_t q = p + 1;
            while (q < chain.size() && modeOf(q) == 1) ++q;
            ReduceRisingPieces(series, g, chain.data() + p, q - p, p > 0, sink, state);
            p = q;
            continue;
        }
        if (p > 0) sink.Move(chain[p].From);
        if (mode == 2) {
            auto* qt = dynamic_cast<TQtCanvas*>(&canvas);
            std::uint32_t* pixels = qt != nullptr && !coloured && ratio == 1.0 ? qt->Pixels() : nullptr;
            thread_local TLineCoverage coverage;
            // The pixels of one colour collected a bit each (in the data
            // area, from `origin` on) and written once.
            const auto cover = [&](std::int64_t from, TPoint origin, int width, int height) {
                FlushPolyline(canvas);
                coverage.Reset(width, height);
                struct TCoverageSink {
                    TLinePath Path;
                    const TReductionCanvas& G;
                    const TChunkedDoubles& Xs;
                    const TChunkedDoubles& Ys;
                    TPoint Origin;
                    void Pixel(int x, int y) { Path.LineTo({x - Origin.X, y - Origin.Y}); }
                    void Move(std::int64_t i) { Path.MoveTo({G.Map.X(Xs[i]) - Origin.X, G.Map.Y(Ys[i]) - Origin.Y}); }
                    void Point(std::int64_t i) { Pixel(G.Map.X(Xs[i]), G.Map.Y(Ys[i])); }
                    void Point(std::int64_t i, std::int64_t) { Point(i); }
                    bool Covered(TPoint low, TPoint high)
                    {
                        return Path.Covered({low.X - Origin.X, low.Y - Origin.Y}, {high.X - Origin.X, high.Y - Origin.Y});
                    }
                    void Core(TPoint& low, TPoint& high) const
                    {
                        Path.Core(low, high);
                        low = {low.X + Origin.X, low.Y + Origin.Y};
                        high = {high.X + Origin.X, high.Y + Origin.Y};
                    }
                } sink{{coverage, {g.Map.X(xs[from]) - origin.X, g.Map.Y(ys[from]) - origin.Y}}, g, xs, ys, origin};
                ReduceUnsortedPiece(points, g, from, chain[p].To, sink, false);
                sink.Path.Flush();
                // The pen ends on the last point, as after a polyline.
                const TPoint pen{sink.Path.Pen().X + origin.X, sink.Path.Pen().Y + origin.Y};
                FRender.PenPos = pen;
                return pen;
            };
            if (pixels != nullptr) {
                const QImage& image = *qt->Image();
                const TPoint pen = cover(chain[p].From, {0, 0}, image.width(), image.height());
                coverage.Paint(pixels, static_cast<std::size_t>(image.bytesPerLine() / 4), PixelOf(canvas.Pen().Color()));
                canvas.MoveTo(pen.X, pen.Y);
            } else {
                thread_local TSegmentSet seen;
                seen.Clear();
                const std::int64_t stop =
                    ReduceUnsortedPiece(points, g, chain[p].From, chain[p].To, sink, coloured, coloured ? nullptr : &seen);
                if (stop < chain[p].To) {
                    // More distinct segments than the set holds, on a device
                    // that the own rasteriser does not write (another ratio,
                    // PDF): the rest of the line goes in at canvas pixels of
                    // the data area, each drawn as a pixel (docs/long-series.md).
                    const TPoint origin{offsetX, offsetY};
                    const TPoint pen = cover(stop, origin, q->DataWidth() + 1, q->DataHeight() + 1);
                    const TColor colour = canvas.Pen().Color();
                    coverage.ForEachCovered([&](int x, int y) { canvas.SetPixel(origin.X + x, origin.Y + y, colour); });
                    canvas.MoveTo(pen.X, pen.Y);
                }
            }
        } else {
            for (std::int64_t i = chain[p].From + 1; i < chain[p].To; ++i) {
                if (coloured)
                    sink.Point(i, i);
                else
                    sink.Point(i);
            }
        }
        ++p;
    }
    return next;
}

}  // namespace kurvo
