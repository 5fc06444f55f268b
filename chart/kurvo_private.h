// The state of the chart behind its d-pointer. Internal: not installed, included
// only by the library's own sources and its tests.
#pragma once

#include "chart/Qorn_kurvo.h"
#include "chart/canvas_map.h"
#include "chart/interaction.h"
#include "chart/series_private.h"
#include "chart/line_view.h"
#include "chart/line_view_set.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>

namespace kurvo {

/// Axis colours of layers 1 ... 16 of a new chart (and of ktClassic).
constexpr std::array<TColor, LayerCount> ClassicLayerColors = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

class TCustomKurvo;
/// Makes `chart` apply ktSystem again whenever its palette or style changes
/// while that is its theme (theme.cpp).
void WatchPalette(TCustomKurvo& chart);
class TMarkStamps;
class TBlendStamps;

/// `layer` clamped to 1 ... 16.
constexpr int ClampLayer(int layer) { return layer < 1 ? 1 : (layer > LayerCount ? LayerCount : layer); }

/// Points the renderer collects before drawing a polyline.
constexpr int PolylineBatch = 200;

struct TDragAnchor {
    int AnchorX = 0;  ///< pixel X of the anchor
    int AnchorY = 0;  ///< pixel Y of the anchor
    double SavedXLow = 0.0;  ///< low end of X at the anchor, world units
    double SavedXHigh = 0.0;  ///< high end of X at the anchor
    double SavedYLow = 0.0;  ///< low end of Y at the anchor
    double SavedYHigh = 0.0;  ///< high end of Y at the anchor
};

/// The renderer's cache of canvas state during RenderData.
struct TRenderState {
    TColor PenColor = 0;  ///< pen colour last set on the canvas
    TPenStyle PenStyle = psSolid;  ///< pen style last set on the canvas
    TColor BrushColor = 0;  ///< brush colour last set on the canvas
    TColor FontColor = 0;  ///< font colour last set on the canvas
    int LineWidth = 1;  ///< pen width last set on the canvas, pixels
    TPoint PenPos;  ///< pen position
    int OffsetX = 0;  ///< render offset in X, pixels
    int OffsetY = 0;  ///< render offset in Y, pixels
    std::array<TPoint, PolylineBatch> Poly{};  ///< points of the polyline being collected
    int PolyCount = 0;  ///< points used in Poly
    /// Anti-aliased drawing: the exact canvas positions of Poly and of the
    /// pen (each rounds to its pixel), so that a curve passes through its
    /// points rather than through their pixels.
    std::array<TPointF, PolylineBatch> PolyF{};
    TPointF PenPosF;  ///< exact pen position, valid while it rounds to PenPos
    /// The exact position of the next AddPolylinePoint, noted just before it.
    TPointF NextF;
    bool HasNextF = false;  ///< whether NextF holds one
    /// Set by a line point that cannot be drawn (non-finite coordinates): the
    /// next line point only moves the pen, so the polyline has a gap there.
    bool PenBroken = false;
    /// Duplicate-mark grid: (Width + 2d) x (Height + 2d) cells, -1 = empty.
    /// Made at the first mark of a paint; a grid of more than DupDenseCells
    /// cells (a chart tens of thousands of pixels a side) keeps only the
    /// cells that marks have used, in DupSparse.
    std::vector<int> DupGrid;
    std::unordered_map<std::int64_t, int> DupSparse;
    bool DupActive = false;  ///< duplicate marks are avoided in this paint
    bool DupReady = false;  ///< DupGrid made, or DupSparse in use
    int DupWidth = 0;  ///< grid columns
    int DupHeight = 0;  ///< grid rows
    int DupDist = 1;  ///< d of the grid as it was reset
    static constexpr std::int64_t DupDenseCells = std::int64_t{1} << 22;
};

class TCustomKurvoPrivate {
public:
    explicit TCustomKurvoPrivate(TCustomKurvo* owner) : q(owner) {}
    TCustomKurvoPrivate(const TCustomKurvoPrivate&) = delete;
    TCustomKurvoPrivate& operator=(const TCustomKurvoPrivate&) = delete;

    static TCustomKurvoPrivate& Get(TCustomKurvo& object) { return *object.d; }
    static const TCustomKurvoPrivate& Get(const TCustomKurvo& object) { return *object.d; }

    // Private member functions of TCustomKurvo, for its helper classes and tests.
    template <class S, class... A>
    static decltype(auto) InDataArea(S& self, A&&... a)
    {
        return self.InDataArea(std::forward<A>(a)...);
    }

    TCustomKurvo* const q;


    // ---- display lists
    TItemList FData;

    TItemList FAnnot;

    // ---- line views (chart/line_views.cpp): part of the data, drawn after
    // the data list's items. A chart showing another's data uses that
    // chart's views and leaves its own set empty.
    TLineViewSet FLineViews{*q};
    /// The views this chart shows: its own, or those of the chart whose data it uses.
    TLineViewSet& LineViews() const;
    /// Repaints (when AutoRedraw is on) every chart showing this chart's data.
    void RepaintShare() const;

    std::array<TLongTextArray, 2> FLongTexts;

    std::array<int, ItemKindCount> FItemCounters{};

    int FAllocSize = 1000;

    bool FAnnotationMode = false;

    int FCurrentLayer = 1;

    std::uint8_t FClassDefault = 0;

    TColor FDataColor = 0;

    TColor FFillColor = 12632256;

    TPenStyle FPenStyle = psSolid;

    std::uint8_t FLineWidth = 1;

    std::int32_t FAux = 0;


    // ---- layers
    std::array<std::unique_ptr<TScalePropsHoriz>, LayerCount> FScaleX;

    std::array<std::unique_ptr<TScalePropsVert>, LayerCount> FScaleY;

    std::array<std::unique_ptr<TScale>, LayerCount> FAxisX;

    std::array<std::unique_ptr<TScale>, LayerCount> FAxisY;

    std::array<TLayerTransform, LayerCount> FTransform{};

    std::unique_ptr<TJointLayers> FJointLayers;

    TPanLimits FPanLimits;

    std::array<std::array<TZoomRanges, LayerCount>, ZoomHistorySize> FZoomHistory{};

    int FZoomNext = 1;

    // ---- which records the zoom history walk counts (interaction.cpp)
    std::int64_t FZoomPushes = 0;  ///< records made so far
    std::array<std::int64_t, ZoomHistorySize> FZoomStamps{};  ///< FZoomPushes after each slot's record

    bool FIsometric = false;

    int FAspectX = 36;

    int FAspectY = 36;


    // ---- properties
    bool FAutoRedraw = false;

    int FMarginLeft = 50;

    int FMarginRight = 10;

    int FMarginTop = 16;

    int FMarginBottom = 32;

    int FShadowWidth = 0;

    TShadowStyle FShadowStyle = ssFlying;

    TColor FShadowColor = clGrayText;

    TColor FShadowBakColor = clBtnFace;

    TColor FChartFrameColor = 0;

    TColor FChartColor = clWhite;

    TColor FWindColor = clBtnFace;

    TColor FGridColor = 0;

    GridStyleType FGridStyle = gsNone;

    double FGridDx = 0.0;

    double FGridDy = 0.0;

    std::string FCaption;

    int FCaptionTrim = 100;

    int FCaptionPosX = 0;

    int FCaptionPosY = -16;

    TAlignment FCaptionAlignment = taRightJustify;

    TCaptionAnchorHoriz FCaptionAnchorHoriz = cahChartRight;

    TCaptionAnchorVert FCaptionAnchorVert = cavChartTop;

    TkvLayout FStandardLayout = kvl_X1Bottom_Y1Left;

    TFont FTextFont;

    TTextBkg FTextBkStyle = tbClear;

    TAlignment FTextAlignment = taCenter;

    TMouseActMode FMouseAction = maNone;

    bool FMouseCursorFixed = true;

    TColor FMouseTraceColor = 0xFFFFFF;

    bool FMouseTraceInvert = true;

    double FPanGridDx = 1.0;

    double FPanGridDy = 1.0;

    double FPanGridOffsX = 0.0;

    double FPanGridOffsY = 0.0;

    bool FAvoidDuplicateMarks = false;

    int FMinDupMarkDist = 1;


    // ---- sub-objects
    std::array<std::unique_ptr<TCrossHair>, CrossHairCount> FCrossHairs;

    std::array<std::unique_ptr<TTextLabel>, TextLabelCount> FTextLabels;

    std::unique_ptr<TBakGndImg> FBackGroundImg;


    // ---- painting
    std::unique_ptr<TBitmap> FDataBitmap;

    std::unique_ptr<TBitmap> FControlBitmap;

    std::unique_ptr<TBitmap> FBackBitmap;

    std::unique_ptr<TBitmap> FBitmap10;

    bool FPaintSuspended = true;

    TRenderState FRender;

    /// Nesting depth of RenderData and a count of its runs: a hook that
    /// repaints starts a nested run, after which the outer run re-applies its
    /// render state to its canvas.
    int FRenderDepth = 0;

    unsigned FRenderRuns = 0;

    std::array<bool, 256> FDataClassVisible{};

    std::array<bool, 256> FAnnotClassVisible{};

    std::array<bool, LayerCount> FLayerVisible{};

    bool FDataInFront = false;

    bool FAnnotationsShown = true;

    bool FAnnotTextsLast = true;

    bool FLineRunReduction = true;

    /// The stamp of the marks drawn last and its buffers (render_marks.cpp).
    std::shared_ptr<TMarkStamps> FMarkStamps;
    std::shared_ptr<TBlendStamps> FBlendStamps;

    /// While positive, SyncAllAxes only notes that it is due; the multi-step
    /// change that deferred it runs it once at the end.
    int FSyncDeferred = 0;

    bool FSyncPending = false;


    // ---- mouse
    std::array<bool, LayerCount> FMouseLayer{};

    bool FDragging = false;

    std::array<TDragAnchor, LayerCount> FAnchors{};

    int FLastX = 0;

    int FLastY = 0;

    TZoomState FZoomState = zsNormal;

    int FWinX0 = 0;

    int FWinY0 = 0;

    int FWinX1 = 0;

    int FWinY1 = 0;

    bool FDoubleClick = false;

    int FSelectedCrossHair = 0;

    int FSelectedLabel = 0;

    std::vector<TMouseTracePoint> FMouseTrace;

    bool FInMouseMove = false;


    // ---- output
    std::unique_ptr<TKurvoExporter> FExporter;


    // ---- data sharing
    TCustomKurvo* FUseDataOf = nullptr;

    std::array<TCustomKurvo*, MaxSharers> FSharers{};

    int FSharerCount = 0;


    // ---- wheel, keyboard and zoom history walk (interaction.cpp)
    std::unique_ptr<TKurvoInteraction> FInteraction;

    bool FTransparentShapes = false;


    // ---- the look (theme.cpp)
    bool FAntialiased = false;

    TKurvoTheme FTheme = ktClassic;

    /// Applies ktSystem again when the widget's palette or style changes.
    std::unique_ptr<QObject> FThemeWatcher;

    static inline bool SResetUpperState = true;  ///< benchmarks switch it off to compare


    // ---- series, legend and hover (chart/series_private.h)
    std::unique_ptr<TSeriesSet> FSeries = std::make_unique<TSeriesSet>();

    // ---- the item renderer (render_item.cpp, render_shapes.cpp, render_runs.cpp,
    // render_marks.cpp, render_views.cpp); canvas points are clamped to +-30000
    /// Draws one item onto `canvas`.
    void RenderItem(TCanvas& canvas, TkvChartItem& item, int index, bool isAnnotation,
                    const TLongTextArray& longTexts, bool monochrome, int offsetX, int offsetY);
    /// Draws the collected polyline points.
    void FlushPolyline(TCanvas& canvas);
    /// Adds a point to the polyline being collected, drawing it when full.
    void AddPolylinePoint(int x, int y, TCanvas& canvas);
    /// Size of a possibly multi-line text on `canvas`, in pixels; returns the line count.
    static int MeasureText(const std::string& text, TCanvas& canvas, int& lineHeight, int& totalHeight,
                           int& maxWidth);
    TPoint WorldToCanvas(int layer, double x, double y) const;
    TPoint PixelToCanvas(double x, double y) const;
    /// Each coordinate a world value of `layer` or a pixel of the data area.
    TPoint ItemPoint(int layer, double x, double y, bool xPixel, bool yPixel) const;
    /// World point plus a pixel shift, the sums limited before rounding.
    TPoint ShiftedWorldPoint(int layer, double x, double y, double dx, double dy) const;
    /// The pen position including points still waiting in the polyline buffer.
    TPoint CurrentPenPos() const;
    bool InLayerRanges(int layer, double x, double y) const;
    void SetPenColor(TCanvas& canvas, TColor color);
    void SetPenStyleCached(TCanvas& canvas, TPenStyle style);
    void SetBrushColor(TCanvas& canvas, TColor color);
    void SetFontColor(TCanvas& canvas, TColor color);
    void SetLineAttributes(TCanvas& canvas, TColor penColor, const TkvChartItem& item);
    void AddLinePoint(TCanvas& canvas, TColor penColor, const TkvChartItem& item, TPoint p);
    void BreakPolyline(TCanvas& canvas);
    bool DuplicateMark(int markType, int x, int y);
    void DrawItemMark(TCanvas& canvas, int markType, int printerFontSize, TPoint p);
    void RenderText(TCanvas& canvas, const TkvChartItem& item, int index, bool isAnnotation,
                    const TLongTextArray& longTexts, bool monochrome, TPoint position);
    void RenderShape(TCanvas& canvas, const TkvChartItem& item, bool monochrome);
    void RenderList(TCanvas& canvas, const TItemList& list, bool isAnnotation, int pass, bool monochrome);
    /// Compact run `r` of `items` (render_runs.cpp): a line per pixel
    /// column, a line with gaps in one pass, marks stamped per pixel, where
    /// that keeps the picture of every item; returns the next run to draw.
    std::size_t RenderCompactRun(TCanvas& canvas, const TKvItemContainer& items, std::size_t r, std::int64_t count,
                                 bool isAnnotation, bool monochrome);
    /// `run`, run `r` of `items` or a part of it; with `joinRuns`, the runs of
    /// the same look after gap records join it. Returns the next run to draw.
    std::size_t RenderCompactRunPart(TCanvas& canvas, const TKvItemContainer& items, std::size_t r,
                                     const TItemRun& run, bool joinRuns, std::int64_t count, bool isAnnotation,
                                     bool monochrome);
    void RenderMarkRun(TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run, std::int64_t count,
                       bool isAnnotation, bool monochrome);
    void RenderCharacterMarks(TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run, std::int64_t k,
                              std::int64_t n, bool isAnnotation, bool monochrome);
    /// Items [`from`, `n`) of compact run `run`, one by one (render_runs.cpp).
    void RenderRunItems(TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run, std::int64_t n,
                        bool isAnnotation, bool monochrome, std::int64_t from = 0);
    /// The line views, after the data list (render_views.cpp).
    void RenderLineViews(TCanvas& canvas, bool monochrome);
    /// Draws the built points of `view` as a move to the first point of each
    /// stretch and a line to each further one, with the attributes of `look`
    /// (a line-to item). The view's lock is held or no worker builds it.
    void RenderLineView(TCanvas& canvas, const TLineView& view, const TkvChartItem& look, bool monochrome);
    /// The layer's world-to-canvas conversion with its axis kinds resolved once.
    TCanvasMap CanvasMap(int layer) const;
    /// Puts the cached render state back on the canvas after a nested RenderData.
    void ReapplyRenderState(TCanvas& canvas);
    /// Clears the upper halves of the AVX registers (see render_item.cpp).
    static void ResetUpperVectorState();

    // ---- the paint pipeline's steps (paint.cpp, grid_background.cpp, crosshairs_labels.cpp)
    /// Composes the picture in the control bitmap as Paint does, at the given
    /// device pixel ratio, without copying it to the window.
    void ComposePicture(double ratio);
    /// Paints the control background, shadow, caption and axes, then raises OnScalesRendered.
    void PaintFrame(TCanvas& canvas);
    /// Draws the mouse trace, its origin at (offsetX, offsetY).
    void DrawMouseTrace(int offsetX, int offsetY, TCanvas& canvas);
    void DrawMouseTrace(int offsetX, int offsetY, TBitmap& bitmap);
    /// Draws the crosshairs onto `bitmap`, then copies it onto `canvas` at (x, y).
    void ShowBitmap(int x, int y, TCanvas& canvas, TBitmap& bitmap);
    /// Draws the crosshairs, the data area's origin at (x0, y0).
    void DrawCrossHairs(int x0, int y0, TCanvas& canvas);
    void DrawCrossHairs(int x0, int y0, TBitmap& bitmap);
    /// Draws the visible text labels.
    void DrawTextLabels(TCanvas& canvas);
    /// Draws the grid of the data area.
    void DrawGrid(TCanvas& canvas);
    /// The grid line after `current` on an axis with step `step`.
    double NextGridValue(bool isLogarithmic, int index, bool isY, double step, double current) const;
    /// The off-screen picture of the whole control.
    TBitmap& ControlBitmap() { return *FControlBitmap; }
    /// The off-screen picture of the data area.
    TBitmap& DataBitmap() { return *FDataBitmap; }

    // The renderer's steps for the series drawing (series_render.cpp).
    static void RenderLineView(TCustomKurvo& c, TCanvas& canvas, const TLineView& view, const TkvChartItem& look,
                               bool monochrome)
    {
        Get(c).RenderLineView(canvas, view, look, monochrome);
    }
    static void RenderLineRun(TCustomKurvo& c, TCanvas& canvas, const TKvItemContainer& items, const TItemRun& run,
                              bool monochrome)
    {
        Get(c).RenderCompactRunPart(canvas, items, 0, run, false, run.First + run.Count, false, monochrome);
    }
    static void FlushPolyline(TCustomKurvo& c, TCanvas& canvas) { Get(c).FlushPolyline(canvas); }
    static void AddPolylinePoint(TCustomKurvo& c, int x, int y, TCanvas& canvas)
    {
        Get(c).AddPolylinePoint(x, y, canvas);
    }
    static void BreakPolyline(TCustomKurvo& c, TCanvas& canvas) { Get(c).BreakPolyline(canvas); }
    static void SetPenColor(TCustomKurvo& c, TCanvas& canvas, TColor color) { Get(c).SetPenColor(canvas, color); }
    static void SetPenStyle(TCustomKurvo& c, TCanvas& canvas, TPenStyle style)
    {
        Get(c).SetPenStyleCached(canvas, style);
    }
    static void SetBrushColor(TCustomKurvo& c, TCanvas& canvas, TColor color) { Get(c).SetBrushColor(canvas, color); }
    static TCanvasMap CanvasMap(const TCustomKurvo& c, int layer) { return Get(c).CanvasMap(layer); }
};

}  // namespace kurvo
