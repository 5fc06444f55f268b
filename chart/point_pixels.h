// The canvas pixels of a block of points, and which of them step off the
// pixel of the point before. Internal: not installed.
#pragma once

#include "chart/canvas_map.h"

#include "canvas/Qorn_canvas.h"

#include <cstdint>

namespace kurvo {

/// Up to Size points converted to canvas pixels together: on a linear layer
/// four at a time where the processor has AVX2 (chosen at run time, without
/// fused multiply-adds, so every pixel is the one TCanvasMap gives), one at
/// a time elsewhere. A line walks the pixels that differ from the pixel
/// before them (the path), which a line of many points per pixel finds
/// without looking at the rest.
class TPointPixels {
public:
    static constexpr int Size = 256;  ///< most points of a block
    /// Converts the n <= Size points from (xs, ys); `pen` is the pixel the
    /// line comes from, which the first point is compared with.
    void Convert(const TCanvasMap& map, const double* xs, const double* ys, int n, TPoint pen);
    /// How many points lie on another pixel than the point before.
    int Moves() const { return FMoves; }
    /// The X of the pen's pixel, then the X of the pixel of each of those
    /// points in order (Moves() + 1 values).
    const int* PathX() const { return FPathX; }
    /// ... and their Y.
    const int* PathY() const { return FPathY; }
    /// The point of the block at PathX()[m], PathY()[m], 1 <= m <= Moves().
    int Index(int m) const { return FIndex[m]; }
    /// The longest step from one pixel to the next, along X or Y.
    int LongestStep() const { return FLongestStep; }

private:
    bool LinearWide(const TCanvasMap& map, const double* xs, const double* ys, int n);
    void ScanWide();
    void ScanNarrow(int from);
    void Add(int k)
    {
        ++FMoves;
        FPathX[FMoves] = FX[k + 1];
        FPathY[FMoves] = FY[k + 1];
        FIndex[FMoves] = k;
    }

    int FCount = 0;
    // The pen's pixel, then the block's.
    int FX[Size + 1];
    int FY[Size + 1];
    int FMoves = 0;
    // Room for a group of eight written whole past the last entry.
    int FPathX[Size + 8];
    int FPathY[Size + 8];
    int FIndex[Size + 8];
    int FLongestStep = 0;
};

}  // namespace kurvo
