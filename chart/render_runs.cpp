// Compact runs of line-to items: a long series drawn in time proportional to
// the pixel columns it covers rather than to its points.
//
// On the 1-pixel rasteriser the pixels a column receives from a polyline are
// those between its lowest and its highest point, since the line only moves
// vertically inside a column and every point but the line's very last is the
// start of a segment. The segments between columns run from the last point of
// one column to the first of the next. So the first, lowest, highest and last
// point of each column draw the same pixels as all of its points. Columns are
// found by binary search (X never falls in such a run, so the pixel column of
// the points is monotone) and the extremes come from the min/max structure
// of the storage: a paint costs about columns times a logarithm.
//
// On a fractional device pixel ratio a pixel's device pixels depend on the
// direction of the band that covers it, so the column's vertical steps must
// cover exactly the rows that the point-by-point line's vertical steps
// cover: every row between the extremes, and an extreme row unless the line
// reaches it only with the last points of the column. Bands of any length
// that cover the same rows of one column then cover the same device pixels.
#include "chart/Qorn_kurvo.h"

#include "canvas/qt_canvas.h"
#include "chart/kurvo_private.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

namespace kurvo {

namespace {

// Columns of up to this many points are drawn point by point: the reduction
// gains nothing there, and short lines then reach the canvas unchanged.
constexpr std::int64_t kExactColumn = 4;
// The last column of a run ends the line: its last pixel is left out unless
// an earlier point of the column reached it, which only its points can tell.
// Up to this many they are all drawn; beyond, the reduction may differ there
// by that one pixel.
constexpr std::int64_t kExactLastColumn = 4096;
// Anti-aliased runs are grouped by this part of a pixel column.
constexpr int kSmoothParts = 4;
// Group keys of the points off the canvas.
constexpr int kLeftOfCanvas = -0x7FFFFFFF;
constexpr int kRightOfCanvas = 0x7FFFFFFF;
// Runs with fewer points per column than this on average are drawn point by
// point: finding the columns would cost more than it saves.
constexpr std::int64_t kMinPointsPerColumn = 4;

}  // namespace

bool TCustomKurvo::ReducibleRun(const TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run) const
{
    if (!d->FLineRunReduction || OnBeforeRenderChartItem || !run.XRising) return false;
    const TkvChartItem& a = items.RunAttributes(run);
    // Wide and styled pens draw joins and dash phases that depend on every
    // point; XOR drawing changes pixels that are drawn twice.
    if (std::clamp<std::int32_t>(a.LineWidth, 1, MaxItemPenWidth) != 1 || a.PenStyle != psSolid ||
        canvas.Pen().Mode() != pmCopy)
        return false;
    // Values at or below the logarithmic floor all go to one edge pixel,
    // which breaks the order of the columns and of the extremes.
    const int n = ClampLayer(a.Layer) - 1;
    if (d->FScaleX[n]->Logarithmic() && !(run.XMin > TCanvasMap::LogFloor)) return false;
    if (d->FScaleY[n]->Logarithmic() && !(run.YMin > TCanvasMap::LogFloor)) return false;
    return true;
}

void TCustomKurvo::RenderLineRun(TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run,
                                 std::int64_t count, bool isAnnotation, bool monochrome)
{
    const TkvChartItem& attributes = items.RunAttributes(run);
    const auto& classVisible = isAnnotation ? d->FAnnotClassVisible : d->FDataClassVisible;
    if (!classVisible[attributes.Class]) return;
    const int layer = attributes.Layer;
    if (layer < 1 || layer > LayerCount || !d->FLayerVisible[layer - 1]) return;
    const std::int64_t n = std::min(run.Count, count - run.First);
    if (n <= 0) return;
    const TChunkedDoubles& xs = items.XValues();
    const TChunkedDoubles& ys = items.YValues();
    const std::int64_t o = run.Offset;
    const TLongTextArray& texts = d->FLongTexts[isAnnotation ? 1 : 0];
    const int offsetX = d->FRender.OffsetX;
    const int offsetY = d->FRender.OffsetY;

    TkvChartItem item = attributes;
    if (OnBeforeRenderChartItem) {
        // The hook gets a working copy of every item, as for plain items.
        for (std::int64_t i = 0; i < n; ++i) {
            item = attributes;
            item.X = xs[o + i];
            item.Y = ys[o + i];
            const int index = static_cast<int>(run.First + i);
            const unsigned runs = d->FRenderRuns;
            OnBeforeRenderChartItem(this, item, index, isAnnotation);
            if (d->FRenderRuns != runs) ReapplyRenderState(canvas);
            ResetUpperVectorState();
            RenderItem(canvas, item, index, isAnnotation, texts, monochrome, offsetX, offsetY);
        }
        return;
    }

    // The first point sets pen width and attributes and resumes a broken
    // line; the others only add polyline points, as RenderItem would.
    item.X = xs[o];
    item.Y = ys[o];
    RenderItem(canvas, item, static_cast<int>(run.First), isAnnotation, texts, monochrome, offsetX, offsetY);
    if (n == 1) return;
    const TCanvasMap map = CanvasMap(layer);
    // Anti-aliased lines pass through the points' exact positions.
    const bool smooth = canvas.Antialiased();
    TRenderState& r = d->FRender;
    const auto addPoint = [&](std::int64_t i) {
        if (smooth) {
            r.NextF = ExactCanvasPoint(map, xs[o + i], ys[o + i]);
            r.HasNextF = true;
        }
        AddPolylinePoint(map.X(xs[o + i]), map.Y(ys[o + i]), canvas);
    };

    const auto* image = dynamic_cast<const TQtCanvas*>(&canvas);
    const int right = image != nullptr && image->Image() != nullptr ? image->Image()->width() : 30001;
    const TMinMaxPyramid* pyramid = nullptr;
    if (ReducibleRun(canvas, items, run)) {
        const auto onCanvas = [right](int x) { return std::clamp(x, 0, right); };
        const std::int64_t columns =
            (std::abs(onCanvas(map.X(xs[o + n - 1])) - onCanvas(map.X(xs[o]))) + 1) * (smooth ? kSmoothParts : 1);
        if (n >= kMinPointsPerColumn * columns) {
            try {
                pyramid = &items.YPyramid();
            } catch (const std::bad_alloc&) {
                pyramid = nullptr;  // no room for the structure: draw every point
            }
        }
    }
    if (pyramid == nullptr) {
        for (std::int64_t i = 1; i < n; ++i) addPoint(i);
        return;
    }

    // The rows the points [from, to) reach, top <= bottom.
    const auto rowsOf = [&](std::int64_t from, std::int64_t to, int& top, int& bottom) {
        double low, high;
        pyramid->Query(ys, o + from, o + to, low, high);
        top = map.Y(low);
        bottom = map.Y(high);
        if (bottom < top) std::swap(top, bottom);
    };
    // Whether a point of [a, b) at `row`, the row of point b - 1, is followed
    // by one at another row: the stretch of points at `row` that ends the
    // column is found by bisection, and an earlier point at `row` is then
    // left by a step.
    const auto leftByAStep = [&](std::int64_t a, std::int64_t b, int row) {
        std::int64_t lo = a;
        std::int64_t hi = b - 1;  // [hi, b) is at `row`
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            int top, bottom;
            rowsOf(mid, b, top, bottom);
            if (top == row && bottom == row)
                hi = mid;
            else
                lo = mid + 1;
        }
        if (hi == a) return false;
        int top, bottom;
        rowsOf(a, hi, top, bottom);
        return top == row || bottom == row;
    };
    const double ratio = canvas.DevicePixelRatio();
    const bool fractional = !smooth && ratio != std::round(ratio);

    // Points left of the canvas, or right of it when its width is known,
    // draw nothing among themselves (a segment between two of them stays on
    // their side): each side is one group, of which only the points where
    // the line enters and leaves it matter.
    //
    // Anti-aliased, a point's stroke reaches half a pixel to either side of
    // it, so the extremes are taken per part of a column: the groups are
    // kSmoothParts to the pixel.
    const int parts = smooth ? kSmoothParts : 1;
    const auto column = [&](std::int64_t i) {
        if (smooth) {
            const double x = ExactCanvasPoint(map, xs[o + i], 1.0).X;
            if (x < -0.5) return kLeftOfCanvas;
            if (x >= right - 0.5) return kRightOfCanvas;
            return static_cast<int>(std::floor(x * kSmoothParts + 0.5));
        }
        const int c = map.X(xs[o + i]);
        return c < 0 ? kLeftOfCanvas : (c >= right ? kRightOfCanvas : c);
    };
    std::int64_t a = 0;
    int c = column(0);
    std::int64_t hint = 1;  // points in the last column: the likely size of the next
    while (a < n) {
        // The group's end b: the first point of another column. Searched
        // from the guess a + hint outwards, by doubling steps and then
        // bisection, so that evenly spaced points need two reads near one
        // place instead of a search over the run's memory.
        std::int64_t lo = a;  // column(lo) == c
        std::int64_t hi = n;  // hi == n or column(hi) != c
        const std::int64_t guess = std::min(a + hint, n);
        if (guess < n && column(guess) == c) {
            lo = guess;
            for (std::int64_t step = 1;; step *= 2) {
                const std::int64_t probe = guess + step;
                if (probe >= n) break;
                if (column(probe) != c) {
                    hi = probe;
                    break;
                }
                lo = probe;
            }
        } else {
            hi = guess;
            for (std::int64_t step = 1;; step *= 2) {
                const std::int64_t probe = guess - step;
                if (probe <= a) break;
                if (column(probe) == c) {
                    lo = probe;
                    break;
                }
                hi = probe;
            }
        }
        while (hi - lo > 1) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            (column(mid) == c ? lo : hi) = mid;
        }
        const std::int64_t b = hi;
        if (c == kLeftOfCanvas || c == kRightOfCanvas) {
            if (a > 0) addPoint(a);
            if (b - 1 > a) addPoint(b - 1);
        } else if (b - a <= kExactColumn || (b == n && b - a <= kExactLastColumn)) {
            for (std::int64_t i = std::max<std::int64_t>(a, 1); i < b; ++i) addPoint(i);
        } else {
            if (a > 0) addPoint(a);
            int top, bottom;
            rowsOf(a, b, top, bottom);
            const int last = map.Y(ys[o + b - 1]);
            // The vertical steps in the column cover the rows from top to
            // bottom; an extreme row is left out when the line only reaches
            // it with its last points, which only matters on a fractional
            // ratio (see above).
            bool coverTop = true;
            bool coverBottom = true;
            if (fractional && top < bottom && (last == top || last == bottom))
                (last == top ? coverTop : coverBottom) = leftByAStep(a, b, last);
            // Anti-aliased, the column's stroke reaches the exact extremes,
            // as the points' own strokes do.
            double exactTop = top, exactBottom = bottom;
            if (smooth) {
                double low, high;
                pyramid->Query(ys, o + a, o + b, low, high);
                exactTop = ExactCanvasPoint(map, xs[o + a], low).Y;
                exactBottom = ExactCanvasPoint(map, xs[o + a], high).Y;
                if (exactBottom < exactTop) std::swap(exactTop, exactBottom);
            }
            const auto addExtreme = [&](bool upper) {
                if (smooth) {
                    r.NextF = {static_cast<double>(c) / parts, upper ? exactTop : exactBottom};
                    r.HasNextF = true;
                }
                AddPolylinePoint(smooth ? map.X(xs[o + a]) : c, upper ? top : bottom, canvas);
            };
            if (!coverTop) {
                addExtreme(false);
            } else if (!coverBottom) {
                addExtreme(true);
            } else if (last == bottom) {
                addExtreme(false);
                addExtreme(true);
            } else {
                addExtreme(true);
                addExtreme(false);
            }
            addPoint(b - 1);
        }
        if (c != kLeftOfCanvas && c != kRightOfCanvas) hint = b - a;
        a = b;
        if (a < n) c = column(a);
    }
}

}  // namespace kurvo
