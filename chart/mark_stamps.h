// Many marks of one shape drawn fast: the mark is drawn once per phase of
// the canvas's device pixels onto a scratch image, the device pixels it
// sets are kept as a stamp, and the stamp is written into the canvas's
// image at each distinct pixel position once. Internal: not installed.
//
// How to use it (a scatter series, a run of mark items):
//
//     // Draws one mark centred on canvas pixel (x, y) with the canvas's
//     // current pen, brush and font, as the point-by-point path would.
//     const TDrawMark draw = [](TCanvas& c, int x, int y) { DrawMark(c, 24, x, y); };
//     TMarkStamps& stamps = ...;                  // kept between paints
//     if (stamps.Prepare(canvas, draw, 4, key)) { // reach: 4 pixels from the centre
//         stamps.Begin(canvas);
//         for (each point in drawing order)
//             stamps.Add(x, y);                   // canvas pixels; or Add(x, y, colour)
//         // set the pen to the last mark's colour (Last) if marks had colours
//         stamps.Finish(draw);                    // stamps, then draws the last
//     } else {
//         ... draw every mark with draw()         // the reference path
//     }
//
// or, for world values of a layer, stamps.AddInside(xs, ys, n, map, x0, x1,
// y0, y1) with the layer's TCanvasMap and its ranges.
//
// The picture is the one of drawing every mark in turn:
// - in one colour the marks only set pixels to their colours, so a mark on
//   a pixel already marked changes nothing and each position is stamped
//   once, in any order;
// - with a colour per mark (Add(x, y, colour), a mark that was drawn in the
//   pen colour) a later mark on a position paints over the earlier one and
//   over its neighbours in between, so each position is stamped once in the
//   order of its last mark, with that mark's colour: every pixel then ends
//   with the colour of the last mark covering it, as before.
// Finish draws the last mark through `draw` itself, so that the canvas's
// pen position, brush and font end as after the point-by-point path.
//
// Prepare refuses (returns false) where stamps would change the picture:
// canvases without image memory (PDF, SVG, printer, recording), XOR pens,
// styled pens (their dashes run on from mark to mark), device pixel ratios
// whose pixel pattern does not repeat within four canvas pixels, marks that
// blend with what lies below (antialiased text, translucent colours) and
// marks that reach farther than the reach given.
#pragma once

#include "canvas/Qorn_canvas.h"
#include "chart/Qorn_kurvo.h"
#include "chart/canvas_map.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

namespace kurvo {

class TQtCanvas;

/// Draws one mark centred on canvas pixel (x, y) with the canvas's current
/// pen, brush and font.
using TDrawMark = std::function<void(TCanvas& canvas, int x, int y)>;

/// Canvas pixels after which the device pixel pattern of `ratio` repeats, up
/// to four; 0 when it does not within four.
inline int StampPeriod(double ratio)
{
    for (int q = 1; q <= 4; ++q)
        if (ratio * q == std::round(ratio * q)) return q;
    return 0;
}

/// Division rounding down, for canvas pixels left of or above the origin.
inline int FloorDivide(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

/// The canvas positions whose stamp, reaching `reach` canvas pixels from its
/// centre, can touch the image of `canvas`.
struct TStampPositions {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    static TStampPositions Of(const TQtCanvas* canvas, int reach);
};

/// The device pixels of one mark, per phase of the device pixel grid, and
/// the marks of one drawing collected to be stamped. Keep one between
/// paints: the stamp and the buffers are reused.
class TMarkStamps {
public:
    /// Builds the stamp of the mark `draw` draws on `canvas` at its device
    /// pixel ratio with its pen, brush and font; `reach` is the farthest the
    /// mark reaches from its centre in canvas pixels. A non-zero `key` names
    /// the mark: the stamp of the last Prepare with the same key, ratio and
    /// pen is taken again (for a stamp of one colour, whatever the colour).
    /// False where stamps would change the picture (see the top of this file).
    bool Prepare(const TCanvas& canvas, const TDrawMark& draw, int reach, std::uint64_t key = 0);
    /// Whether the last Prepare succeeded.
    bool Valid() const { return FValid; }
    /// Whether all pixels of the mark have one colour (the stamp can then
    /// take any colour through Add(x, y, colour)).
    bool OneColour() const { return FOneColour; }

    /// Starts collecting the marks to stamp on `canvas`, where the stamp was
    /// prepared; the marks of Add(x, y) take the canvas's pen colour (or the
    /// stamp's own colours). `colours`: the marks come with a colour each
    /// (OneColour stamps only).
    void Begin(TCanvas& canvas, bool colours = false);
    /// A mark at canvas pixel (x, y).
    __attribute__((always_inline)) void Add(int x, int y) { AddMark(x, y, FDefault); }
    /// A mark at canvas pixel (x, y) in `colour` (after Begin(canvas, true)).
    __attribute__((always_inline)) void Add(int x, int y, TColor colour) { AddMark(x, y, colour); }
    /// A mark at each world point (xs[i], ys[i]), i < n, of a layer with
    /// `map` that lies in [x0, x1] x [y0, y1] (x0 <= x1, y0 <= y1; NaN lies
    /// outside), in the canvas's pen colour.
    void AddInside(const double* xs, const double* ys, std::int64_t n, const TCanvasMap& map, double x0, double x1,
                   double y0, double y1);
    /// Whether any mark was added since Begin.
    bool Any() const { return FAny; }
    /// Canvas pixel and colour of the last mark added.
    void Last(int& x, int& y, TColor& colour) const
    {
        x = FFinalX;
        y = FFinalY;
        colour = FFinalColour;
    }
    /// Stamps every position collected, then draws the last mark added
    /// through `draw` on the canvas with its current pen (the caller sets
    /// the last mark's colour, see Last).
    void Finish(const TDrawMark& draw);

private:
    /// A horizontal stretch of device pixels of one value, relative to the
    /// device pixel of the phase's origin.
    struct TSpan {
        int Dx, Dy, Length;
        std::uint32_t Value;
    };
    // The cell of canvas position (x, y); false where its mark cannot touch the image.
    __attribute__((always_inline)) bool CellOf(int x, int y, std::size_t& cell) const
    {
        const auto cx = static_cast<unsigned>(x - FLeft);
        const auto cy = static_cast<unsigned>(y - FTop);
        if (cx >= static_cast<unsigned>(FWidth) || cy >= static_cast<unsigned>(FHeight)) return false;
        cell = static_cast<std::size_t>(cy) * static_cast<std::size_t>(FWidth) + cx;
        return true;
    }
    // Inline: it runs for every mark of a scatter.
    __attribute__((always_inline)) void AddMark(int x, int y, TColor colour)
    {
        FAny = true;
        FFinalX = x;
        FFinalY = y;
        FFinalColour = colour;
        std::size_t cell;
        if (!CellOf(x, y, cell)) return;
        if (!FOrdered) {
            FMarked[cell] = 1;
            return;
        }
        if (FLast[cell] == 0) FCells.push_back({x, y, static_cast<std::int32_t>(cell)});
        FLast[cell] = ++FOrder;
        FColour[cell] = colour;
    }
    struct TTarget;
    void StampAt(const TTarget& target, int x, int y, bool recolour, std::uint32_t value) const;
    /// The phase of canvas pixel (x, y) and the device pixel its stamp is placed from.
    int PhaseOf(int x, int y, long long& baseX, long long& baseY) const;
    void Cover(const TTarget& target, std::uint32_t value);

    // The stamp.
    bool FValid = false;
    bool FOneColour = true;
    int FReach = 0;
    int FPeriod = 1;  // canvas pixels after which the device pattern repeats
    int FPeriodDevice = 1;  // device pixels in FPeriod canvas pixels
    std::vector<std::vector<TSpan>> FPhases;  // FPeriod x FPeriod, row-major by (y phase, x phase)
    /// One row of a phase's stamp as bits: device pixels Dx ... Dx + 63.
    struct TRowBits {
        int Dx, Dy;
        std::uint64_t Bits;
    };
    std::vector<std::vector<TRowBits>> FPhaseRows;  // per phase; empty when a row is wider than 64
    std::vector<TRect> FPhaseBox;  // per phase: device pixels [Left, Right) x [Top, Bottom) it reaches
    std::uint64_t FKey = 0;
    double FRatio = 0.0;
    int FPenWidth = 0;
    TPenStyle FPenStyle = psSolid;

    // The marks collected.
    TQtCanvas* FCanvas = nullptr;
    TCanvas* FTarget = nullptr;
    TColor FDefault = 0;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;  // positions that can touch the image
    std::vector<std::uint8_t> FMarked;  // one colour: 1 per position marked, and a spare byte
    std::vector<std::uint32_t> FLast;  // the last mark per position: its order + 1
    std::vector<TColor> FColour;  // ... and its colour
    struct TCell {
        int X, Y;  // canvas pixel
        std::int32_t Index;  // into FLast and FColour
    };
    std::vector<TCell> FCells;  // colours: positions in the order first seen
    std::vector<std::uint64_t> FCover;  // one bit per device pixel of the image
    std::uint32_t FOrder = 0;
    bool FOrdered = false;  // stamped in the order of each position's last mark
    bool FRecolour = false;  // the stamp takes the marks' colours
    bool FAny = false;
    int FFinalX = 0, FFinalY = 0;
    TColor FFinalColour = 0;
};

}  // namespace kurvo
