// Long polylines drawn in time proportional to the pixel columns they cover
// rather than to their points, with the pixels of the point-by-point line.
// Internal: not installed.
//
// The engine knows nothing of display lists. It reads a series through
//
//     double X(std::int64_t i), Y(std::int64_t i)     world values of point i
//     void MinMax(a, b, double& lo, double& hi)        lowest and highest Y of [a, b)
//     std::int64_t LastOutside(a, b, inside)          TMinMaxPyramid::LastOutside over Y
//
// (TSeriesOverArrays adapts plain X and Y arrays and a pyramid built over
// the Y array), converts through a TCanvasMap and hands what to draw to a
// sink:
//
//     void Point(std::int64_t i)                      a line to point i
//     void Point(std::int64_t i, std::int64_t c)      the same in the colour of point c
//     void Pixel(int x, int y)                        a line to that canvas pixel
//     void Pixels(const int* x, const int* y, int n)  optional: lines to n such
//                                                     pixels in turn, clipped by the sink
//     void Move(std::int64_t i)                       the pen to point i, no line
//     void Exact(double x, double y)                  anti-aliased: a line to that
//                                                     canvas position, unrounded
//
// A piece [first, last) is a stretch of points without a gap; the caller has
// drawn (or moved to) point `first`, and the engine draws the rest, ending
// with the pen on point last - 1. Each function here reproduces the pixels
// of a line to every point in turn on a one-pixel solid pen in copy mode.
//
// Rising X (ReduceRisingPiece): the line only moves vertically inside a
// pixel column, and every point but the line's very last starts a segment.
// So the pixels a column receives from its own segments are the rows
// between its lowest and highest point, and the segments between columns
// run from the last point of one column to the first of the next: first,
// lowest, highest and last point of each column draw the same pixels as
// all of its points. Column ends are found by a search from the previous
// column's width, the extremes by the min/max structure. The last column
// of a piece ends the line: its last pixel is drawn only if an earlier
// point of the column reached it, which the structure answers too.
//
// On a fractional device pixel ratio a pixel's device pixels depend on the
// direction of the band that covers it, so there the column's vertical
// steps cover exactly the rows that the point-by-point line's vertical
// steps cover: every row between the extremes, and an extreme row unless
// the line reaches it only with the last points of the column. Bands of
// any length that cover the same rows of one column cover the same device
// pixels.
//
// Colour per point (ReduceRisingColouredPiece): a segment takes the colour
// of the point it leads to, and later segments paint over earlier ones.
// Walking a column backwards, the rows painted by the later segments form
// one interval; a segment adds rows only when its start lies outside that
// interval, and then it paints them in its colour for good. Those starts
// (found with LastOutside) and the column's first and last point, joined
// in order, each segment in the colour of the original segment leaving its
// start, paint every row of the column as the point-by-point line does.
//
// Anti-aliased (TReductionCanvas::Smooth), a line passes through the exact
// positions of its points, and a point's stroke reaches half a pixel to
// either side, so whole pixels are no longer what the line is made of.
// There the points of a rising piece are grouped by a quarter of a pixel
// column, and a group of many points is drawn as its first point, its
// lowest and highest value (exact, in the middle of the quarter column, the
// one nearer the first point first; left out where the line between first
// and last point reaches it) and its last point: the band the points cover,
// to within a quarter pixel across and exactly along Y. The
// picture differs from the point-by-point one by a few levels of grey
// where many of the point-by-point strokes overlap at the band's edges.
//
// Falling X (ReduceUnsortedPiece): a line to a point on the same pixel as
// the pen draws nothing, and a segment whose two ends lie beyond one edge
// of the canvas draws nothing on it; both are left out (the latter as a
// move), the rest drawn as they come. Linear in the points with a small
// constant, and still the picture of every point: the points are converted
// to pixels in blocks (TPointPixels) and only those that leave the pixel of
// the point before are looked at, short steps handed to the sink together.
#pragma once

#include "chart/Qorn_kurvo.h"
#include "chart/canvas_map.h"
#include "chart/display_list.h"
#include "chart/point_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

namespace kurvo {

/// Where an anti-aliased line passes through world point (x, y): its canvas
/// position before `map` rounds it to a pixel, limited as the pixel is.
inline TPointF ExactCanvasPoint(const TCanvasMap& map, double x, double y)
{
    const auto limit = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(v, -30000.0, 30000.0); };
    const double px = map.logX ? (x <= TCanvasMap::LogFloor ? map.floorX : map.kx * std::log(x) + map.dx) : map.kx * x + map.dx;
    const double py = map.logY ? (y <= TCanvasMap::LogFloor ? map.floorY : map.ky * std::log(y) + map.dy) : map.ky * y + map.dy;
    return {limit(px + static_cast<double>(map.shiftX)), limit(py + static_cast<double>(map.shiftY))};
}

/// The canvas a piece is drawn on.
struct TReductionCanvas {
    TCanvasMap Map;  ///< world to canvas pixels
    int Right = 30001;  ///< columns from Right on lie right of the canvas
    int Bottom = 30001;  ///< rows from Bottom on lie below it
    bool Fractional = false;  ///< the device pixel ratio is not a whole number
    /// Anti-aliased: the line passes through exact positions (the sink's
    /// Point goes to the point's own, Exact to a given one), and points are
    /// grouped by a part of a pixel column rather than by the column.
    bool Smooth = false;
};

/// Adapts plain X and Y arrays (and a pyramid built over Y through
/// TPlainValues) to the series the engine reads.
struct TPlainValues {
    const double* Values = nullptr;  ///< the values
    std::int64_t Count = 0;  ///< how many
    /// Values held.
    std::int64_t Size() const { return Count; }
    /// Value `i`.
    double operator[](std::int64_t i) const { return Values[i]; }
    /// The values from `i` on, all contiguous: n of them.
    const double* Contiguous(std::int64_t i, std::int64_t& n) const
    {
        n = Count - i;
        return Values + i;
    }
};

/// A series over any two indexable value sources and a min/max structure
/// built over the second.
template <class XValues, class YValues>
struct TSeriesOver {
    const XValues& Xs;  ///< X values
    const YValues& Ys;  ///< Y values
    const TMinMaxPyramid& Pyramid;  ///< built over Ys
    /// World X of point i.
    double X(std::int64_t i) const { return Xs[i]; }
    /// World Y of point i.
    double Y(std::int64_t i) const { return Ys[i]; }
    /// Lowest and highest Y of [a, b).
    void MinMax(std::int64_t a, std::int64_t b, double& lo, double& hi) const { Pyramid.Query(Ys, a, b, lo, hi); }
    /// The points from `i` (before `last`) whose X and Y lie contiguous in
    /// memory: how many, and where.
    std::int64_t Block(std::int64_t i, std::int64_t last, const double*& x, const double*& y) const
    {
        std::int64_t nx, ny;
        x = Xs.Contiguous(i, nx);
        y = Ys.Contiguous(i, ny);
        return std::min({nx, ny, last - i});
    }
    /// Starts loading the X of point i into the cache, where X lies in chunks.
    void FetchX(std::int64_t i) const
    {
        if constexpr (requires(std::int64_t n) { Xs.Contiguous(i, n); }) {
            std::int64_t n;
            __builtin_prefetch(Xs.Contiguous(i, n));
        }
    }
    /// See TMinMaxPyramid::LastOutside.
    template <class Inside>
    std::int64_t LastOutside(std::int64_t a, std::int64_t b, Inside&& inside) const
    {
        return Pyramid.LastOutside(Ys, a, b, std::forward<Inside>(inside));
    }
};

namespace reduction_detail {

// Columns of up to this many points are drawn point by point: the reduction
// gains nothing there, and short lines then reach the canvas unchanged.
constexpr std::int64_t kExactColumn = 4;
// Group keys of the points off the canvas.
constexpr int kLeftOfCanvas = -0x7FFFFFFF;
constexpr int kRightOfCanvas = 0x7FFFFFFF;
// Anti-aliased groups are this part of a pixel column.
constexpr int kSmoothParts = 4;
// How far (canvas pixels) an anti-aliased extreme may lie beyond its group's
// first and last point and still be left out.
constexpr double kSmoothSlack = 1.0 / 64;

// The pixel column of point i as a group key (anti-aliased, the part of a
// column): one key for all points left of the canvas and one for all right
// of it.
template <class Series>
int ColumnKey(const Series& s, const TReductionCanvas& g, std::int64_t i)
{
    if (g.Smooth) {
        // Strokes reach half a pixel beyond their points.
        const double x = ExactCanvasPoint(g.Map, s.X(i), 1.0).X;
        return x < -2.0 ? kLeftOfCanvas
                        : (x >= g.Right + 1.0 ? kRightOfCanvas : static_cast<int>(std::floor(x * kSmoothParts)));
    }
    const int c = g.Map.X(s.X(i));
    return c < 0 ? kLeftOfCanvas : (c >= g.Right ? kRightOfCanvas : c);
}

// The end of the group of points with the key of point a: the first point
// of another column. Searched from the guess a + hint outwards, by doubling
// steps and then bisection, so that evenly spaced points need two reads
// near one place instead of a search over the run's memory.
template <class Series>
std::int64_t GroupEnd(const Series& s, const TReductionCanvas& g, std::int64_t a, std::int64_t n, int c,
                      std::int64_t hint)
{
    std::int64_t lo = a;  // ColumnKey(lo) == c
    std::int64_t hi = n;  // hi == n or ColumnKey(hi) != c
    const std::int64_t guess = std::min(a + hint, n);
    if (guess < n && ColumnKey(s, g, guess) == c) {
        lo = guess;
        for (std::int64_t step = 1;; step *= 2) {
            const std::int64_t probe = guess + step;
            if (probe >= n) break;
            if (ColumnKey(s, g, probe) != c) {
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
            if (ColumnKey(s, g, probe) == c) {
                lo = probe;
                break;
            }
            hi = probe;
        }
    }
    while (hi - lo > 1) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        (ColumnKey(s, g, mid) == c ? lo : hi) = mid;
    }
    return hi;
}

// The rows the points [a, b) reach, top <= bottom.
template <class Series>
void RowsOf(const Series& s, const TReductionCanvas& g, std::int64_t a, std::int64_t b, int& top, int& bottom)
{
    double low, high;
    s.MinMax(a, b, low, high);
    top = g.Map.Y(low);
    bottom = g.Map.Y(high);
    if (bottom < top) std::swap(top, bottom);
}

// The first point of the stretch of points at `row` that ends [a, b): the
// row map is monotone, so a block of values lies on one row when its lowest
// and highest value do.
template <class Series>
std::int64_t TrailingStretch(const Series& s, const TReductionCanvas& g, std::int64_t a, std::int64_t b, int row)
{
    return s.LastOutside(a, b, [&](double lo, double hi) { return g.Map.Y(lo) == row && g.Map.Y(hi) == row; }) + 1;
}

// Whether the vertical steps of the column [a, b), whose last point lies on
// the extreme row `row`, cover that row: only when a point before the
// stretch that ends the column reached it.
template <class Series>
bool RowLeftByAStep(const Series& s, const TReductionCanvas& g, std::int64_t a, std::int64_t b, int row)
{
    const std::int64_t stretch = TrailingStretch(s, g, a, b, row);
    if (stretch <= a) return false;
    int top, bottom;
    RowsOf(s, g, a, stretch, top, bottom);
    return top == row || bottom == row;
}

// Anti-aliased: the group [a, b) of part column c after its first point,
// as its exact extremes and its last point. See the top of this file.
template <class Series, class Sink>
void SmoothGroup(const Series& s, const TReductionCanvas& g, std::int64_t a, std::int64_t b, int c, Sink& sink)
{
    double low, high;
    s.MinMax(a, b, low, high);
    const double x = (c + 0.5) / kSmoothParts;
    const double from = ExactCanvasPoint(g.Map, s.X(a), s.Y(a)).Y;
    const double to = ExactCanvasPoint(g.Map, s.X(b - 1), s.Y(b - 1)).Y;
    double near = ExactCanvasPoint(g.Map, s.X(a), low).Y;
    double far = ExactCanvasPoint(g.Map, s.X(a), high).Y;
    if (std::abs(from - near) > std::abs(from - far)) std::swap(near, far);
    // An extreme that the line from the first to the last point reaches
    // anyway is left out: a smooth stretch stays one straight stroke rather
    // than a staircase, whose overlapping corners the rasteriser would
    // darken.
    const auto beyond = [&](double v) { return v < std::min(from, to) - kSmoothSlack || v > std::max(from, to) + kSmoothSlack; };
    if (beyond(near)) sink.Exact(x, near);
    if (beyond(far)) sink.Exact(x, far);
    sink.Point(b - 1);
}

// Blocks of points in any order of X passed over at once: the shortest and
// longest, and the longest wait after a block that could not be passed.
constexpr std::int64_t kMinPassBlock = 64;
constexpr std::int64_t kMaxPassBlock = 4096;
constexpr std::int64_t kMaxPassWait = 1 << 16;

// A rectangle of canvas pixels [Low, High].
struct TPixelBox {
    TPoint Low{0, 0};
    TPoint High{-1, -1};
    bool Holds(int x, int y) const { return x >= Low.X && x <= High.X && y >= Low.Y && y <= High.Y; }
    bool Holds(const TPixelBox& b) const { return Holds(b.Low.X, b.Low.Y) && Holds(b.High.X, b.High.Y); }
};

// The box of canvas pixels of the n points from (xs, ys) and the pen, from
// their extremes, which the map keeps in order; on a logarithmic axis the
// values at or below the floor go to the floor's pixel, so there the
// lowest value above the floor counts too. False when a value is NaN.
inline bool BlockBox(const TCanvasMap& map, const double* xs, const double* ys, std::int64_t n, TPoint pen, TPixelBox& box)
{
    constexpr double floor = TCanvasMap::LogFloor;
    constexpr double none = std::numeric_limits<double>::infinity();
    double x0 = xs[0], x1 = xs[0], y0 = ys[0], y1 = ys[0];
    double xAbove = none, yAbove = none;  // lowest values above the floor
    if (!map.logX && !map.logY) {
        for (std::int64_t k = 1; k < n; ++k) {
            x0 = std::min(x0, xs[k]);
            x1 = std::max(x1, xs[k]);
            y0 = std::min(y0, ys[k]);
            y1 = std::max(y1, ys[k]);
        }
    } else {
        for (std::int64_t k = 0; k < n; ++k) {
            x0 = std::min(x0, xs[k]);
            x1 = std::max(x1, xs[k]);
            y0 = std::min(y0, ys[k]);
            y1 = std::max(y1, ys[k]);
            xAbove = std::min(xAbove, xs[k] > floor ? xs[k] : none);
            yAbove = std::min(yAbove, ys[k] > floor ? ys[k] : none);
        }
    }
    if (!(x0 <= x1 && y0 <= y1)) return false;
    box = {pen, pen};
    const auto add = [&box](int x, int y) {
        box.Low = {std::min(box.Low.X, x), std::min(box.Low.Y, y)};
        box.High = {std::max(box.High.X, x), std::max(box.High.Y, y)};
    };
    // The pixels of an axis's extremes: the floor's and those of the range
    // above it where logarithmic.
    const auto span = [](bool log, double lo, double hi, double above, auto&& to, auto&& with) {
        if (!log || lo > floor) {
            with(to(lo));
            with(to(hi));
            return;
        }
        with(to(lo));
        if (hi > floor) {
            with(to(above));
            with(to(hi));
        }
    };
    span(map.logX, x0, x1, xAbove, [&](double v) { return map.X(v); }, [&](int x) { add(x, pen.Y); });
    span(map.logY, y0, y1, yAbove, [&](double v) { return map.Y(v); }, [&](int y) { add(pen.X, y); });
    return true;
}

}  // namespace reduction_detail

/// Keeps what one piece learnt about the next: the likely number of points
/// per column.
struct TReductionState {
    std::int64_t Hint = 1;  ///< points in the last column drawn
    int Column = reduction_detail::kLeftOfCanvas;  ///< the column of Lo ... Hi
    int Lo = 0;  ///< rows that vertical steps of earlier pieces covered in Column
    int Hi = -1;  ///< ... (none when Hi < Lo)
};

/// A piece whose X never falls, in one colour. See the top of this file.
template <class Series, class Sink>
void ReduceRisingPiece(const Series& s, const TReductionCanvas& g, std::int64_t first, std::int64_t last, Sink& sink,
                       TReductionState& state)
{
    using namespace reduction_detail;
    std::int64_t a = first;
    int c = ColumnKey(s, g, a);
    // The mean spacing of X: where X is evenly spaced, a column's end is
    // found from it in a read or two instead of a search through memory.
    const double spacing = !g.Smooth && !g.Map.logX && g.Map.kx != 0.0 && last - first > 2
                               ? (s.X(last - 1) - s.X(first)) / static_cast<double>(last - 1 - first)
                               : 0.0;
    while (a < last) {
        std::int64_t hint = state.Hint;
        if (spacing > 0.0 && c != kLeftOfCanvas && c != kRightOfCanvas) {
            const double edge = ((g.Map.kx > 0.0 ? c + 0.5 : c - 0.5) - static_cast<double>(g.Map.shiftX) - g.Map.dx) / g.Map.kx;
            const double points = (edge - s.X(a)) / spacing;
            if (points >= 0.0 && points < static_cast<double>(last - a)) hint = static_cast<std::int64_t>(points) + 1;
        }
        const std::int64_t b = GroupEnd(s, g, a, last, c, hint);
        if (c == kLeftOfCanvas || c == kRightOfCanvas) {
            // Points off the canvas draw nothing among themselves: only the
            // points where the line enters and leaves the group matter.
            if (a > first) sink.Point(a);
            if (b - 1 > a) sink.Point(b - 1);
        } else if (b - a <= kExactColumn) {
            for (std::int64_t i = std::max(a, first + 1); i < b; ++i) sink.Point(i);
        } else if (g.Smooth) {
            if (a > first) sink.Point(a);
            SmoothGroup(s, g, a, b, c, sink);
        } else {
            if (a > first) sink.Point(a);
            int top, bottom;
            RowsOf(s, g, a, b, top, bottom);
            const int lastRow = g.Map.Y(s.Y(b - 1));
            // The vertical steps cover the rows from top to bottom; an extreme
            // row is left out when the line only reaches it with its last
            // points. That matters on a fractional ratio, and for the last
            // pixel of the line.
            bool coverTop = true;
            bool coverBottom = true;
            if ((g.Fractional || b == last) && top < bottom && (lastRow == top || lastRow == bottom))
                (lastRow == top ? coverTop : coverBottom) = RowLeftByAStep(s, g, a, b, lastRow);
            // The rows the vertical steps cover. A piece that lies in this
            // column alone draws nothing else (it starts with a move and
            // ends the line), so it is left out when earlier pieces covered
            // its rows already: a series with a gap every few hundred
            // points draws each column once.
            const int lo = top + (coverTop ? 0 : 1);
            const int hi = top == bottom ? top - 1 : bottom - (coverBottom ? 0 : 1);
            const bool covered = state.Column == c && (lo > hi || (lo >= state.Lo && hi <= state.Hi));
            if (lo <= hi) {
                if (state.Column == c && lo <= state.Hi + 1 && hi >= state.Lo - 1) {
                    state.Lo = std::min(state.Lo, lo);
                    state.Hi = std::max(state.Hi, hi);
                } else if (state.Column != c || hi - lo > state.Hi - state.Lo) {
                    state.Lo = lo;
                    state.Hi = hi;
                }
                state.Column = c;
            }
            if (covered && (a == first || b < last)) {
                // Nothing new in this column: a piece alone in it, or the
                // vertical steps of a part that leaves it (its line to the
                // next column starts from its last point, which draws that
                // pixel).
                sink.Move(b - 1);
            } else if (!coverTop) {
                sink.Pixel(c, bottom);
            } else if (!coverBottom) {
                sink.Pixel(c, top);
            } else if (lastRow == bottom) {
                sink.Pixel(c, bottom);
                sink.Pixel(c, top);
            } else {
                sink.Pixel(c, top);
                sink.Pixel(c, bottom);
            }
            sink.Point(b - 1);
        }
        if (c != kLeftOfCanvas && c != kRightOfCanvas) state.Hint = b - a;
        a = b;
        if (a < last) c = ColumnKey(s, g, a);
    }
}

/// A piece [From, To) of a series with gaps.
struct TPiece {
    std::int64_t From = 0;  ///< first point
    std::int64_t To = 0;  ///< one past the last point
};

/// Pieces of one colour separated by gaps, X rising within each: each drawn
/// as ReduceRisingPiece does, the pen moved to the first point of every
/// piece (of the first one too when `moveFirst`). Pieces that lie in one
/// pixel column, all of whose rows the column's earlier pieces covered,
/// draw nothing new; a stretch of them is passed over with one look at the
/// min/max structure, so that a series with a gap every few hundred points
/// costs about one query per column.
template <class Series, class Sink>
void ReduceRisingPieces(const Series& s, const TReductionCanvas& g, const TPiece* pieces, std::size_t count,
                        bool moveFirst, Sink& sink, TReductionState& state)
{
    using namespace reduction_detail;
    const auto alone = [&](const TPiece& piece, int c) {
        return ColumnKey(s, g, piece.From) == c && ColumnKey(s, g, piece.To - 1) == c;
    };
    // The ends of pieces lie far apart in memory: those of a later piece
    // are fetched while this one is looked at.
    constexpr std::size_t kAhead = 8;
    const auto fetch = [&](std::size_t k) {
        if (k >= count) return;
        s.FetchX(pieces[k].From);
        s.FetchX(pieces[k].To - 1);
    };
    std::size_t checkedTo = 0;  // pieces before it were looked at as a stretch already
    bool penOnLast = true;
    for (std::size_t p = 0; p < count;) {
        const TPiece& piece = pieces[p];
        const int c = ColumnKey(s, g, piece.From);
        if ((p > 0 || moveFirst) && p >= checkedTo && c == state.Column && c != kLeftOfCanvas && c != kRightOfCanvas) {
            std::size_t q = p;
            for (std::size_t k = q + 1; k <= q + kAhead; ++k) fetch(k);
            while (q < count && alone(pieces[q], c)) fetch(++q + kAhead);
            checkedTo = q;
            if (q > p) {
                int top, bottom;
                RowsOf(s, g, pieces[p].From, pieces[q - 1].To, top, bottom);
                if (top >= state.Lo && bottom <= state.Hi) {
                    p = q;
                    penOnLast = false;
                    continue;
                }
            }
        }
        if (p > 0 || moveFirst) sink.Move(piece.From);
        ReduceRisingPiece(s, g, piece.From, piece.To, sink, state);
        penOnLast = true;
        ++p;
    }
    if (!penOnLast && count > 0) sink.Move(pieces[count - 1].To - 1);
}

/// A piece whose X never falls, each segment in the colour of the point it
/// leads to. See the top of this file.
template <class Series, class Sink>
void ReduceRisingColouredPiece(const Series& s, const TReductionCanvas& g, std::int64_t first, std::int64_t last,
                               Sink& sink, TReductionState& state, std::vector<std::int64_t>& records)
{
    using namespace reduction_detail;
    std::int64_t a = first;
    int c = ColumnKey(s, g, a);
    while (a < last) {
        const std::int64_t b = GroupEnd(s, g, a, last, c, state.Hint);
        if (c == kLeftOfCanvas || c == kRightOfCanvas) {
            if (a > first) sink.Point(a, a);
            if (b - 1 > a) sink.Point(b - 1, b - 1);
        } else if (b - a <= kExactColumn) {
            for (std::int64_t i = std::max(a, first + 1); i < b; ++i) sink.Point(i, i);
        } else {
            if (a > first) sink.Point(a, a);
            const int lastRow = g.Map.Y(s.Y(b - 1));
            const std::int64_t stretch = TrailingStretch(s, g, a, b, lastRow);
            if (stretch <= a) {
                sink.Point(b - 1, b - 1);  // the whole column on one pixel
            } else {
                // Backwards: the starts of the segments that paint rows no
                // later segment paints. The segment into the stretch paints
                // from its start up to the last row, that row excluded.
                records.clear();
                std::int64_t j = stretch - 1;
                int r = g.Map.Y(s.Y(j));
                int lo = r < lastRow ? r : lastRow + 1;
                int hi = r < lastRow ? lastRow - 1 : r;
                records.push_back(j);
                for (;;) {
                    j = s.LastOutside(a, j, [&](double v, double w) {
                        const int p = g.Map.Y(v);
                        const int q = g.Map.Y(w);
                        return p >= lo && p <= hi && q >= lo && q <= hi;
                    });
                    if (j < a) break;
                    r = g.Map.Y(s.Y(j));
                    (r < lo ? lo : hi) = r;
                    records.push_back(j);
                }
                // Forwards through the starts, each segment in the colour
                // of the original segment that leaves its start.
                std::int64_t from = records.back();
                if (from != a) sink.Point(from, from + 1);
                for (std::size_t k = records.size() - 1; k > 0; --k) {
                    sink.Point(records[k - 1], from + 1);
                    from = records[k - 1];
                }
                sink.Point(b - 1, from + 1);
            }
        }
        if (c != kLeftOfCanvas && c != kRightOfCanvas) state.Hint = b - a;
        a = b;
        if (a < last) c = ColumnKey(s, g, a);
    }
}

/// Directed segments between canvas pixels drawn so far, so that a line
/// of one colour that passes the same way again is left out (it would draw
/// the same device pixels). Holds up to Limit segments of LengthLimit
/// pixels together: beyond, drawing each through QPainter would take
/// seconds. A line in a colour per point (`distinct` false) has every
/// segment drawn, in its colour over what came before: the set then only
/// counts them, up to ColouredLimit, each of which sets a pen.
class TSegmentSet {
public:
    /// Most segments held.
    static constexpr std::size_t Limit = std::size_t{1} << 20;
    /// Most segments counted of a line in a colour per point.
    static constexpr std::size_t ColouredLimit = std::size_t{1} << 18;
    /// Most pixels of the segments held, along their longer side.
    static constexpr long long LengthLimit = 1LL << 22;
    /// Forgets every segment, keeping the memory; see the class for
    /// `distinct`.
    void Clear(bool distinct = true)
    {
        std::fill(FSlots.begin(), FSlots.end(), 0);
        FCount = 0;
        FLength = 0;
        FDistinct = distinct;
    }
    /// Whether the segments or pixels held reach their limit.
    bool Full() const { return FCount >= (FDistinct ? Limit : ColouredLimit) || FLength >= LengthLimit * (FDistinct ? 1 : 4); }
    /// Notes the segment from (x1, y1) to (x2, y2), canvas pixels within
    /// +-30000; true when it was not there yet (or the set is full, or
    /// only counts).
    bool Insert(int x1, int y1, int x2, int y2)
    {
        if (!FDistinct) {
            ++FCount;
            FLength += std::max(std::abs(x2 - x1), std::abs(y2 - y1));
            return true;
        }
        const auto part = [](int v) { return static_cast<std::uint64_t>(static_cast<std::uint16_t>(v + 32768)); };
        // No pixel within the canvas limits packs to 0, the empty slot.
        const std::uint64_t key = part(x1) << 48 | part(y1) << 32 | part(x2) << 16 | part(y2);
        if (2 * (FCount + 1) > FSlots.size()) {
            if (FCount >= Limit) return true;
            Grow();
        }
        const std::size_t mask = FSlots.size() - 1;
        for (std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;;
             slot = (slot + 1) & mask) {
            if (FSlots[slot] == key) return false;
            if (FSlots[slot] == 0) {
                FSlots[slot] = key;
                ++FCount;
                FLength += std::max(std::abs(x2 - x1), std::abs(y2 - y1));
                return true;
            }
        }
    }

private:
    void Grow()
    {
        std::vector<std::uint64_t> old = std::move(FSlots);
        FSlots.assign(old.empty() ? 1024 : 2 * old.size(), 0);
        const std::size_t mask = FSlots.size() - 1;
        for (const std::uint64_t key : old) {
            if (key == 0) continue;
            std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
            while (FSlots[slot] != 0) slot = (slot + 1) & mask;
            FSlots[slot] = key;
        }
    }
    std::vector<std::uint64_t> FSlots;
    std::size_t FCount = 0;
    long long FLength = 0;
    bool FDistinct = true;
};

/// A piece in any order of X: lines to the same pixel and segments beyond
/// one edge of the canvas are left out, and, when `seen` is given (one
/// colour), segments drawn before. `coloured` keeps the colour of each
/// segment (the point it leads to). Returns `last`, or, when `seen` filled
/// up, the point the line stopped at (the pen on it). See the top of this
/// file.
template <class Series, class Sink>
std::int64_t ReduceUnsortedPiece(const Series& s, const TReductionCanvas& g, std::int64_t first, std::int64_t last,
                                 Sink& sink, bool coloured, TSegmentSet* seen = nullptr)
{
    const TCanvasMap& map = g.Map;
    int px = map.X(s.X(first));
    int py = map.Y(s.Y(first));
    // The side of the canvas a pixel lies beyond: bits left, right, above, below.
    const auto outside = [&g](int x, int y) {
        return (x < 0 ? 1 : 0) | (x >= g.Right ? 2 : 0) | (y < 0 ? 4 : 0) | (y >= g.Bottom ? 8 : 0);
    };
    int side = outside(px, py);
    std::int64_t pending = -1;  // a point the pen has to move to before the next line
    // A sink that knows the pixels drawn so far (Covered, and Core, a
    // rectangle of them) lets lines that lie within such pixels pass as
    // moves: a segment with both ends in the core, and a block of points
    // whose box with the pen is all drawn. Blocks grow while they pass;
    // after one that does not, the next is looked at later and later.
    constexpr bool canPass = requires(Sink& k, TPoint p) {
        k.Covered(p, p);
        k.Core(p, p);
    };
    // A sink that takes lines to many pixels at once (Pixels).
    constexpr bool takesPixels = requires(Sink& k, const int* p) { k.Pixels(p, p, 1); };
    // Steps longer than this go one by one, where a line within drawn
    // pixels passes as a move.
    constexpr int kBulkStep = 4;
    using reduction_detail::kMinPassBlock;
    std::int64_t blockLength = kMinPassBlock;
    std::int64_t wait = kMinPassBlock;
    std::int64_t nextLook = first + 1;
    reduction_detail::TPixelBox core;
    if constexpr (canPass) sink.Core(core.Low, core.High);
    // The points go in blocks converted together; only those whose pixel
    // differs from the one before are looked at one by one.
    TPointPixels pixels;
    for (std::int64_t i = first + 1; i < last;) {
        const double* xs;
        const double* ys;
        const std::int64_t n = s.Block(i, last, xs, ys);
        for (std::int64_t j = 0; j < n;) {
            std::int64_t end = std::min<std::int64_t>(n, j + TPointPixels::Size);
            if constexpr (canPass) {
                const std::int64_t length = std::min(blockLength, n - j);
                if (i + j >= nextLook && length >= kMinPassBlock && !coloured && seen == nullptr) {
                    sink.Core(core.Low, core.High);
                    reduction_detail::TPixelBox box;
                    if (reduction_detail::BlockBox(map, xs + j, ys + j, length, {px, py}, box) &&
                        (core.Holds(box) || sink.Covered(box.Low, box.High))) {
                        j += length;
                        px = map.X(xs[j - 1]);
                        py = map.Y(ys[j - 1]);
                        side = outside(px, py);
                        pending = i + j - 1;
                        blockLength = std::min(2 * blockLength, reduction_detail::kMaxPassBlock);
                        wait = kMinPassBlock;
                        nextLook = i + j;
                        continue;
                    }
                    blockLength = kMinPassBlock;
                    nextLook = i + j + wait;
                    wait = std::min(2 * wait, reduction_detail::kMaxPassWait);
                }
                // The block ends where the next look at a block falls.
                if (!coloured && seen == nullptr && nextLook > i + j) end = std::min(end, nextLook - i);
            }
            pixels.Convert(map, xs + j, ys + j, static_cast<int>(end - j), {px, py});
            const int* pathX = pixels.PathX();
            const int* pathY = pixels.PathY();
            const int moves = pixels.Moves();
            // Short steps cost little however they lie: a sink that takes
            // lines to many pixels at once (and clips them itself) gets
            // them so.
            if constexpr (takesPixels) {
                if (!coloured && seen == nullptr && moves > 0 && pixels.LongestStep() <= kBulkStep) {
                    if (pending >= 0) sink.Move(pending);
                    pending = -1;
                    sink.Pixels(pathX + 1, pathY + 1, moves);
                    px = pathX[moves];
                    py = pathY[moves];
                    side = outside(px, py);
                    j = end;
                    continue;
                }
            }
            for (int m = 1; m <= moves; ++m) {
                const std::int64_t at = i + j + pixels.Index(m);
                const int x = pathX[m];
                const int y = pathY[m];
                if (seen != nullptr && seen->Full()) {
                    if (pending >= 0) sink.Move(pending);
                    return at - 1;
                }
                const int to = outside(x, y);
                if ((side & to) != 0 || (seen != nullptr && !seen->Insert(px, py, x, y)) ||
                    (canPass && core.Holds(x, y) && core.Holds(px, py) && !coloured)) {
                    pending = at;
                } else {
                    if (pending >= 0) sink.Move(pending);
                    pending = -1;
                    if (coloured)
                        sink.Point(at, at);
                    else
                        sink.Pixel(x, y);
                }
                px = x;
                py = y;
                side = to;
            }
            j = end;
        }
        i += n;
    }
    if (pending >= 0) sink.Move(pending);
    return last;
}

}  // namespace kurvo
