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

// The line in a colour per point from point `from` (the pen on it) on to
// point to - 1, at canvas pixels as the canvas draws it at ratio 1, into
// `picture` (its pixel (0, 0) on canvas pixel `origin`): each segment in
// the colour of the point it leads to, over the segments before it.
// Returns the canvas pixel the pen ends on.
//
// Consecutive segments along one column (a line squeezed into few columns
// jumps up and down in each) are kept and painted backwards: the rows the
// later ones paint form one interval, since each segment ends where the next
// starts, and a segment paints only its rows outside it. A column of many
// segments then costs its rows once, not every segment's length.
TPoint DrawColouredPicture(QImage& picture, TPoint origin, const TRunSeries& points, const TReductionCanvas& g,
                           const TChunkedArray<TColor>& colours, std::int64_t shift, std::int64_t from, std::int64_t to)
{
    TQtCanvas canvas(&picture);
    struct TStep {
        int From, To;  // rows, To excluded
        std::uint32_t Value;
    };
    thread_local std::vector<TStep> column;
    column.clear();
    struct TPictureSink {
        QImage& Picture;
        TQtCanvas& Canvas;
        const TReductionCanvas& G;
        const TRunSeries& S;
        const TChunkedArray<TColor>& Colours;
        std::int64_t Shift;
        TPoint Origin;
        std::vector<TStep>& Column;
        TPoint Pen;
        TColor Colour = clBlack;
        void PaintColumn()
        {
            if (Column.empty()) return;
            const long long x = Pen.X;
            const bool on = x >= 0 && x < Picture.width();
            auto* bits = reinterpret_cast<std::uint32_t*>(Picture.bits());
            const auto stride = static_cast<std::size_t>(Picture.bytesPerLine() / 4);
            const long long height = Picture.height();
            const auto paint = [&](long long low, long long high, std::uint32_t value) {
                for (long long y = std::max(low, 0LL); y <= std::min(high, height - 1); ++y)
                    bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] = value;
            };
            long long low = 0, high = -1;  // the rows painted by later segments
            for (auto k = Column.size(); k-- > 0;) {
                const TStep& step = Column[k];
                const long long r0 = step.To > step.From ? step.From : step.To + 1;
                const long long r1 = step.To > step.From ? step.To - 1 : step.From;
                if (on) {
                    if (high < low) {
                        paint(r0, r1, step.Value);
                    } else {
                        paint(r0, std::min(r1, low - 1), step.Value);
                        paint(std::max(r0, high + 1), r1, step.Value);
                    }
                }
                low = high < low ? r0 : std::min(low, r0);
                high = std::max(high, r1);
            }
            Column.clear();
        }
        void Move(std::int64_t i)
        {
            PaintColumn();
            Pen = {G.Map.X(S.X(i)) - Origin.X, G.Map.Y(S.Y(i)) - Origin.Y};
        }
        void Line(TPoint p)
        {
            if (p.X == Pen.X && p.Y != Pen.Y) {
                Column.push_back({Pen.Y, p.Y, PixelOf(Colour)});
                Pen = p;
                if (Column.size() >= (1u << 16)) PaintColumn();
                return;
            }
            PaintColumn();
            Canvas.Pen().SetColor(Colour);
            Canvas.MoveTo(Pen.X, Pen.Y);
            Canvas.LineTo(p.X, p.Y);
            Pen = p;
        }
        void Pixel(int x, int y) { Line({x - Origin.X, y - Origin.Y}); }
        void Point(std::int64_t i) { Pixel(G.Map.X(S.X(i)), G.Map.Y(S.Y(i))); }
        void Point(std::int64_t i, std::int64_t c)
        {
            Colour = Colours[c + Shift];
            Point(i);
        }
    } sink{picture, canvas, g, points, colours, shift, origin, column, {}};
    sink.Move(from);
    ReduceUnsortedPiece(points, g, from, to, sink, true);
    sink.PaintColumn();
    canvas.EndPaint();
    return {sink.Pen.X + origin.X, sink.Pen.Y + origin.Y};
}

// A transparent picture of `size` canvas pixels, kept between paints; null
// where there is no memory for it.
QImage& Picture(QSize size)
{
    thread_local QImage picture;
    if (picture.size() != size) picture = QImage(size, QImage::Format_ARGB32);
    if (!picture.isNull()) picture.fill(0);
    return picture;
}

// Sets the drawn pixels of `picture` on the canvas at `origin`.
void SetPicture(TCanvas& canvas, TPoint origin, const QImage& picture)
{
    canvas.SetPixels(origin.X, origin.Y, picture.width(), picture.height(),
                     reinterpret_cast<const std::uint32_t*>(picture.constBits()),
                     static_cast<std::size_t>(picture.bytesPerLine() / 4));
}

}  // namespace

// Items [from, n) of a compact run one by one, as plain items are drawn:
// the hook (called through a copy, which may clear the event) gets a working
// copy of every item; items of hidden classes are left out.
void TCustomKurvoPrivate::RenderRunItems(TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run, std::int64_t n,
                                  bool isAnnotation, bool monochrome, std::int64_t from)
{
    const auto& classVisible = isAnnotation ? FAnnotClassVisible : FDataClassVisible;
    const TLongTextArray& texts = FLongTexts[isAnnotation ? 1 : 0];
    const int offsetX = FRender.OffsetX;
    const int offsetY = FRender.OffsetY;
    const TBeforeRenderChartItemEvent onItem = q->OnBeforeRenderChartItem;
    for (std::int64_t k = from; k < n; ++k) {
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
    const auto FindPyramid = [&] {
        if (pyramid == nullptr) {
            try {
                pyramid = &items.YPyramid();
            } catch (const std::bad_alloc&) {
                return false;
            }
        }
        return true;
    };
    const auto modeOf = [&](std::size_t p) {
        const TPiece& piece = chain[p];
        const std::int64_t m = piece.To - piece.From;
        // The run of each piece: the chain's first run, then every second one.
        const TItemRun& pieceRun = p == 0 ? run : runs[r + 2 * p];
        if (m <= 1) return 0;
        if (!Reducible(*this, canvas, attributes, pieceRun)) {
            TItemRun anyOrder = pieceRun;
            anyOrder.XRising = false;
            if (!pieceRun.XRising || m < kMinUnsortedPoints || g.Smooth || !Reducible(*this, canvas, attributes, anyOrder))
                return 0;
            // A rising run that reaches a logarithmic floor loses the order
            // of its columns, not its pixels. Where the floor row lies
            // beyond the canvas on the side of the small values, rows
            // beyond it draw nothing and the order holds for what is seen;
            // the points at the floor of X come first and go apart (3).
            // Otherwise the run goes as a line in any order of X, every
            // point to its own pixel (2).
            const int floorRow = g.Map.Y(0.0);  // rows from g.Bottom - 1 on lie below the canvas
            const bool yAside = !g.Map.logY || pieceRun.YMin > TCanvasMap::LogFloor ||
                                (g.Map.ky < 0 ? floorRow >= g.Bottom - 1 : floorRow < 0);
            if (!yAside || !FindPyramid()) return 2;
            return 3;
        }
        // Anti-aliased lines in any order of X go point by point.
        if (!pieceRun.XRising) return m >= kMinUnsortedPoints && !g.Smooth ? 2 : 0;
        const std::int64_t columns = std::abs(std::clamp(g.Map.X(xs[piece.To - 1]), -1, g.Right) -
                                              std::clamp(g.Map.X(xs[piece.From]), -1, g.Right)) + 1;
        if (m < kMinPointsPerColumn * columns) return 0;
        return FindPyramid() ? 1 : 0;  // without room for the structure: every point
    };
    // Pieces in any order of X: at ratio 1 in one colour every piece's
    // pixels are collected (`direct`); elsewhere segments go through the
    // canvas, distinct ones in one colour, until `seen` is full for the
    // chain, and the rest is collected too. The area collected: the
    // canvas, or the data area where the canvas's size is unknown.
    auto* qt = dynamic_cast<TQtCanvas*>(&canvas);
    const bool whole = qt != nullptr && qt->Image() != nullptr && !qt->Image()->isNull();
    const bool direct = whole && !coloured && ratio == 1.0 && qt->Pixels() != nullptr;
    const TPoint areaOrigin = whole ? TPoint{0, 0} : TPoint{offsetX, offsetY};
    const QSize area = whole ? QSize(g.Right - 1, g.Bottom - 1) : QSize(q->DataWidth() + 1, q->DataHeight() + 1);
    thread_local TLineCoverage coverage;
    thread_local TSegmentSet seen;
    bool collecting = false;  // coverage holds pixels to write
    bool counting = false;  // seen is cleared for the chain
    bool spent = false;  // seen filled up
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
        if (mode == 3) {
            // The points at the floor of X (one column) and the rest, each
            // per column, joined by the line between them.
            const TRunSeries series{xs, ys, *pyramid};
            const std::int64_t from = chain[p].From;
            const std::int64_t to = chain[p].To;
            std::int64_t k = from;
            for (std::int64_t n = g.Map.logX ? to - from : 0; n > 0;) {
                const std::int64_t half = n / 2;
                if (!(xs[k + half] > TCanvasMap::LogFloor)) {
                    k += half + 1;
                    n -= half + 1;
                } else {
                    n = half;
                }
            }
            const auto part = [&](std::int64_t a, std::int64_t b) {
                if (b - a < 2) return;
                if (coloured)
                    ReduceRisingColouredPiece(series, g, a, b, sink, state, records);
                else
                    ReduceRisingPiece(series, g, a, b, sink, state);
            };
            part(from, k > from ? k : to);
            if (k > from && k < to) {
                if (coloured)
                    sink.Point(k, k);
                else
                    sink.Point(k);
                part(k, to);
            }
            ++p;
            continue;
        }
        if (mode == 2) {
            // The pixels of one colour collected a bit each (from `origin`
            // on) and written once, after the chain's last piece.
            const auto cover = [&](std::int64_t from) {
                FlushPolyline(canvas);
                if (!collecting) {
                    coverage.Reset(area.width(), area.height());
                    collecting = true;
                }
                const TPoint origin = areaOrigin;
                struct TCoverageSink {
                    TLinePath Path;
                    const TReductionCanvas& G;
                    const TChunkedDoubles& Xs;
                    const TChunkedDoubles& Ys;
                    TPoint Origin;
                    void Pixel(int x, int y) { Path.LineTo({x - Origin.X, y - Origin.Y}); }
                    void Pixels(const int* x, const int* y, int n) { Path.LineTos(x, y, n, Origin); }
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
                canvas.MoveTo(pen.X, pen.Y);
            };
            if (collecting || direct || (!coloured && spent)) {
                cover(chain[p].From);
            } else {
                if (!counting) {
                    seen.Clear(!coloured);
                    counting = true;
                }
                const std::int64_t stop = ReduceUnsortedPiece(points, g, chain[p].From, chain[p].To, sink, coloured, &seen);
                if (stop < chain[p].To) {
                    // More segments than the set allows through the canvas
                    // one by one (on another ratio or device, or in colours):
                    // the rest of the line is drawn at canvas pixels into a
                    // picture of the canvas (of the data area where its size
                    // is unknown), set on the canvas in one go
                    // (docs/performance.md).
                    spent = true;
                    if (!coloured) {
                        cover(stop);
                    } else if (QImage& picture = Picture(area); picture.isNull()) {
                        // No memory for the picture: the rest one by one.
                        ReduceUnsortedPiece(points, g, stop, chain[p].To, sink, coloured);
                    } else {
                        FlushPolyline(canvas);
                        const TPoint pen =
                            DrawColouredPicture(picture, areaOrigin, points, g, items.Colors(), colours, stop, chain[p].To);
                        SetPicture(canvas, areaOrigin, picture);
                        FRender.PenPos = pen;
                        canvas.MoveTo(pen.X, pen.Y);
                    }
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
    if (collecting) {
        if (direct) {
            coverage.Paint(qt->Pixels(), static_cast<std::size_t>(qt->Image()->bytesPerLine() / 4),
                           PixelOf(canvas.Pen().Color()));
        } else if (QImage& picture = Picture(area); !picture.isNull()) {
            coverage.Paint(reinterpret_cast<std::uint32_t*>(picture.bits()),
                           static_cast<std::size_t>(picture.bytesPerLine() / 4), PixelOf(canvas.Pen().Color()));
            SetPicture(canvas, areaOrigin, picture);
        } else {
            // No memory for the picture: pixel by pixel.
            const TColor colour = canvas.Pen().Color();
            coverage.ForEachCovered([&](int x, int y) { canvas.SetPixel(areaOrigin.X + x, areaOrigin.Y + y, colour); });
        }
    }
    return next;
}

}  // namespace kurvo
