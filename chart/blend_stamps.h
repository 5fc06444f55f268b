// Many marks that blend with what lies below (characters in antialiased
// text) drawn fast, with the pixels of drawing each mark in turn. Internal:
// not installed.
//
// A mark drawn on an image maps the value of each device pixel it touches to
// a new value, channel by channel, whatever the pixels around it hold. That
// map is learnt once per phase of the device pixel grid: the mark is drawn
// on a scratch image in each of the 256 greys, and what each touched pixel
// became is kept as a table per channel. The marks are then applied in
// drawing order through those tables, straight into the canvas's image.
// Prepare checks the tables against the drawing itself, twice over a noise
// background, and refuses where they do not give its pixels.
//
// A position whose last mark changed no pixel, and under whose mark no pixel
// changed since, is skipped: its mark would change nothing again. A dense
// scatter of characters thus costs little more than finding its positions.
//
//     const TDrawMark draw = [](TCanvas& c, int x, int y) { DrawMark(c, 88, x, y); };
//     TBlendStamps& stamps = ...;                 // kept between paints
//     if (stamps.Prepare(canvas, draw, 12, key)) {
//         stamps.Begin(canvas);
//         for (each point in drawing order)
//             stamps.Add(x, y);                   // canvas pixels
//         stamps.Finish(draw);                    // draws the last mark itself
//     } else {
//         ... draw every mark with draw()         // the reference path
//     }
//
// Prepare refuses canvases without image memory or with a pixel format
// other than opaque 32-bit RGB, XOR pens, device pixel ratios whose pixel
// pattern does not repeat within four canvas pixels, and marks larger than
// the scratch it learns on.
#pragma once

#include "canvas/Qorn_canvas.h"
#include "chart/mark_stamps.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace kurvo {

class TQtCanvas;

/// Marks of one shape, colour and font that blend with the pixels below,
/// applied through learnt tables. Keep one between paints: the tables are
/// learnt again only when the mark, its colour, font or the ratio change.
class TBlendStamps {
public:
    /// The most colours learnt for one mark.
    static constexpr std::size_t MaxColours = 16;
    /// Learns the mark `draw` draws on `canvas` with its pen, brush and font
    /// at its device pixel ratio; `reach`: the farthest the mark reaches
    /// from its centre in canvas pixels. `key` names the shape (0: always
    /// learn again). False where the tables cannot give the mark's pixels.
    bool Prepare(const TCanvas& canvas, const TDrawMark& draw, int reach, std::uint64_t key);
    /// After Prepare: the mark in `colour` learnt as well (kept while the
    /// mark stays), for Add(x, y, colour). -1 where it cannot be, or when
    /// MaxColours are learnt already.
    int Colour(TColor colour);
    /// Whether `colour` is learnt, and how many colours are.
    bool Learnt(TColor colour) const;
    std::size_t LearntColours() const { return FLearnt.size(); }
    /// Forgets every colour but the one the last Prepare learnt.
    void Forget();
    /// Starts applying marks to `canvas`, where the mark was prepared;
    /// `oneColour`: every mark comes in the pen's colour.
    void Begin(TCanvas& canvas, bool oneColour);
    /// A mark at canvas pixel (x, y), in drawing order, in the pen colour
    /// of Begin.
    void Add(int x, int y) { Add(x, y, FDefault); }
    /// A mark at canvas pixel (x, y) in a colour Colour() gave.
    void Add(int x, int y, int colour);
    /// Whether any mark was added since Begin.
    bool Any() const { return FQueued > 0; }
    /// Draws the last mark added through `draw` (the canvas's pen, brush and
    /// font end as after drawing every mark; the caller sets the pen to the
    /// last mark's colour).
    void Finish(const TDrawMark& draw);

private:
    /// A device pixel the mark touches, from the device pixel of its
    /// phase's origin, and the table of what it becomes.
    struct TTouch {
        int Dx, Dy;
        std::uint32_t Table;
        std::uint32_t Solid;  // the pixel it gives whatever lies below; 0 where that varies
    };
    /// Per channel (blue, green, red): the value after the mark for each before.
    using TTable = std::array<std::uint8_t, 768>;
    struct TPhase {
        std::vector<TTouch> Touches;
        int Left = 0, Top = 0, Right = 0, Bottom = 0;  // device pixels it reaches, from the origin
        std::vector<std::uint64_t> Rows;  // the touches of each row as bits from Left; none where wider than 64
    };
    /// The mark in one colour.
    struct TLearnt {
        TColor Colour = 0;
        // Every table takes each channel towards the colour's, never past
        // it, and the values it keeps lie on one interval around the
        // colour's: a pixel a mark of this colour keeps is kept by it after
        // any other mark of the colour.
        bool Contracting = false;
        std::vector<TPhase> Phases;  // FPeriod x FPeriod, row-major by (y phase, x phase)
        std::vector<TTable> Tables;
    };
    bool Learn(TQtCanvas& scratch, const TDrawMark& draw, int x, int y, int base, int reach, double ratio,
               TPhase& phase, std::map<TTable, std::uint32_t>& tables);
    bool Check(TQtCanvas& scratch, const TLearnt& learnt, int x, int y, std::uint32_t seed);
    /// Device pixels changed, inclusive.
    struct TChanges {
        long long Left = 0, Top = 0, Right = -1, Bottom = -1;
    };
    /// Applies the mark at (x, y) to an image; whether a pixel changed, and which.
    /// `atColour`: where set, the bits of pixels left at the colour are set.
    bool Apply(const TLearnt& learnt, std::uint32_t* pixels, long long width, long long height, std::size_t stride,
               int x, int y, TChanges& changes, std::uint64_t* atColour) const;
    bool AtColour(const TLearnt& learnt, int x, int y) const;
    int PhaseOf(int x, int y, long long& baseX, long long& baseY) const;
    void Place(int x, int y, int colour);

    // What was learnt, and where.
    std::vector<TLearnt> FLearnt;
    std::unique_ptr<TBitmap> FScratch;  // with the canvas's pen, brush and font
    TDrawMark FDraw;
    int FCentre = 0;  // canvas pixel of the scratch the mark is learnt at
    int FPeriod = 1, FPeriodDevice = 1;
    TRect FBox{0, 0, 0, 0};  // device pixels any colour's phase reaches, from its origin
    std::uint64_t FKey = 0;
    double FRatio = 0.0;
    int FReach = 0;
    TFont FFont;  // in black: the mark takes the pen's colour
    TColor FPrepared = 0;  // the pen's colour at the last Prepare

    // The marks applied.
    TQtCanvas* FCanvas = nullptr;
    std::uint32_t* FPixels = nullptr;  // the canvas's image, from the first mark placed
    long long FImageWidth = 0, FImageHeight = 0;
    std::size_t FStride = 0;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;  // positions that can touch the image
    std::vector<std::uint8_t> FStill;  // per position: 1 + the colour in which its mark would change nothing
    int FDefault = 0;
    bool FKeepStill = false;  // one contracting colour: a still position stays still
    std::vector<std::uint64_t> FAtColour;  // then a bit per device pixel known to be at the colour
    std::size_t FColourWords = 0;  // words a row
    // The marks added and not yet placed, oldest first from FOldest: their
    // position flags and pixels are fetched into the cache while the marks
    // before them are placed (a large image misses it at every mark).
    struct TQueued {
        int X, Y, Colour;
    };
    static constexpr int kQueue = 32;
    std::array<TQueued, kQueue> FQueue{};
    int FOldest = 0, FQueued = 0;
    void Fetch(const TQueued& mark);
};

}  // namespace kurvo
