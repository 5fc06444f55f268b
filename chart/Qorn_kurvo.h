// Kurvo: the interactive 2D chart component.
//
// A chart keeps display lists of drawing items in world coordinates of 16
// layers; every layer maps its own X and Y range onto the one data area and
// has an axis control per direction. The chart paints everything off-screen
// and shows the result in one copy; pan and zoom change layer ranges and the
// picture follows. User code extends it through events.
#pragma once

#include "base/Qorn_qornbase.h"
#include "canvas/custom_control.h"
#include "chart/background.h"
#include "chart/display_list.h"
#include "chart/joint_layers.h"
#include "chart/scale_props.h"
#include "scale/Qorn_Scale.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kurvo {

class TCustomKurvo;

using TRenderEvent = std::function<void(TObject* sender, TCanvas& canvas, int top, int left)>;
using TBeforeRenderChartItemEvent =
    std::function<void(TObject* sender, TkvChartItem& chartItem, int index, bool isAnnotation)>;
using TBeforeRenderTextEvent =
    std::function<void(TObject* sender, std::string& text, int index, bool isAnnotation)>;
using TSelectRectEvent =
    std::function<void(TObject* sender, int layer, double loX, double loY, double hiX, double hiY)>;
using TBeforeCrossHMoveEvent =
    std::function<void(TObject* sender, TCrossHair* whichCrossHair, int dx, int dy, bool& allowMove)>;
using TCrossHairMoveEvent = std::function<void(TObject* sender, TCrossHair* whichCrossHair)>;
using TTextLabelMoveEvent = std::function<void(TObject* sender, TTextLabel* whichTextLabel)>;
using TMouseMoveInChartEvent =
    std::function<void(TObject* sender, bool inChart, TShiftState shift, double rMousePosX, double rMousePosY)>;

// World-to-pixel factors of one layer: x = kx * u + dx, y = ky * v + dy,
// with u, v the world value or its natural logarithm.
struct TLayerTransform {
    double kx = 0.0;
    double dx = 0.0;
    double ky = 0.0;
    double dy = 0.0;
};

// Pan limits of SetLayerRanges; all four 0 means no limiting.
struct TPanLimits {
    double XMin = 0.0;
    double YMin = 0.0;
    double XMax = 0.0;
    double YMax = 0.0;
};

constexpr int LayerCount = 16;
constexpr int ZoomHistorySize = 16;
constexpr int CrossHairCount = 4;
constexpr int TextLabelCount = 50;
constexpr int MaxSharers = 4;
constexpr int MouseTraceCapacity = 5000;
constexpr int PolylineBatch = 200;

// One slot of the zoom history for one layer, in the stored order.
struct TZoomRanges {
    double XLow = 0.0;
    double YHigh = 0.0;
    double XHigh = 0.0;
    double YLow = 0.0;
};

enum TZoomState : std::uint8_t { zsNormal, zsDrawWin };

struct TMouseTracePoint {
    double X = 0.0;
    double Y = 0.0;
    std::uint16_t Flags = 0;  // 1: break after this point, 2: drawn inverted
    TColor Colour = 0;
};

struct TDragAnchor {
    int AnchorX = 0;
    int AnchorY = 0;
    double SavedXLow = 0.0;
    double SavedXHigh = 0.0;
    double SavedYLow = 0.0;
    double SavedYHigh = 0.0;
};

// The renderer's cache of canvas state during RenderData.
struct TRenderState {
    TColor PenColor = 0;
    TPenStyle PenStyle = psSolid;
    TColor BrushColor = 0;
    TColor FontColor = 0;
    int LineWidth = 1;
    TPoint PenPos;
    int OffsetX = 0;
    int OffsetY = 0;
    std::array<TPoint, PolylineBatch> Poly{};
    int PolyCount = 0;
    // Set by a line point that cannot be drawn (non-finite coordinates): the
    // next line point only moves the pen, so the polyline has a gap there.
    bool PenBroken = false;
    // Duplicate-mark grid: (Width + 2d) x (Height + 2d) cells, -1 = empty.
    std::vector<int> DupGrid;
    int DupWidth = 0;
    int DupHeight = 0;
    int DupDist = 1;  // d of the grid as it was reset
};

// Pen widths of items are limited to 1 ... MaxItemPenWidth pixels.
constexpr int MaxItemPenWidth = 1000;

class TCustomKurvo : public TCustomControl {
public:
    explicit TCustomKurvo(QWidget* parentWidget = nullptr);
    ~TCustomKurvo() override;

    // ------------------------------------------------- drawing commands
    void MoveTo(int x, int y);
    void DrawTo(int x, double y);
    // The common body of every drawing command.
    void AppendItem(std::uint8_t kind, double x, double y, std::uint8_t mode);

    int AllocSize() const { return FAllocSize; }
    void SetAllocSize(int value);
    std::uint8_t ClassDefault() const { return FClassDefault; }
    void SetClassDefault(int value);
    bool AnnotationMode() const { return FAnnotationMode; }
    int CurrentLayer() const { return FCurrentLayer; }

    // Read access to the lists (tests, renderers of user code).
    const TItemList& DataList() const { return FData; }
    const TItemList& AnnotationList() const { return FAnnot; }
    int DataCount() const { return FData.Count; }
    int DataCapacity() const { return FData.Capacity; }
    const TkvChartItem& DataItem(int index) const { return (*FData.Items)[index]; }
    int ItemCounter(int kind) const;
    const TLongTextArray& DataLongTexts() const { return FLongTexts[0]; }
    const TLongTextArray& AnnotationLongTexts() const { return FLongTexts[1]; }

    // ------------------------------------------------- layers, mapping
    virtual void CalcTransforms();
    void WorldToPixel(int layer, double x, double y, int& xPix, int& yPix) const;
    void PixelToWorld(int layer, int xPix, int yPix, double& x, double& y) const;
    void SetLayerRanges(int layer, bool pushHistory, double xLow, double yLow, double xHigh, double yHigh, bool limit);
    void ApplyLayerRange(int layer, bool pushHistory, double xLow, double yLow, double xHigh, double yHigh,
                         bool limit);
    void PushZoomHistory();
    void ClearZoomHistory();
    const TLayerTransform& LayerTransform(int layer) const { return FTransform[ClampLayer(layer) - 1]; }

    const TPanLimits& PanLimits() const { return FPanLimits; }
    void SetPanLimits(const TPanLimits& limits) { FPanLimits = limits; }
    // Slot 1 ... 16 of the zoom history for layer 1 ... 16.
    const TZoomRanges& ZoomHistory(int slot, int layer) const;
    // The slot the next PushZoomHistory writes, 1 ... 16.
    int ZoomHistoryNext() const { return FZoomNext; }

    bool Isometric() const { return FIsometric; }
    void SetIsometric(bool value);

    TJointLayers* JointLayers() { return FJointLayers.get(); }
    // Takes the coupling tables of `value` (the own object keeps its owner and callback).
    void SetJointLayers(const TJointLayers& value);

    // Axis property objects of layer 1 ... 16 (clamped).
    TScalePropsHoriz* ScaleX(int layer) { return FScaleX[ClampLayer(layer) - 1].get(); }
    TScalePropsVert* ScaleY(int layer) { return FScaleY[ClampLayer(layer) - 1].get(); }
    const TScalePropsHoriz* ScaleX(int layer) const { return FScaleX[ClampLayer(layer) - 1].get(); }
    const TScalePropsVert* ScaleY(int layer) const { return FScaleY[ClampLayer(layer) - 1].get(); }
    // Axis controls of layer 1 ... 16 (clamped).
    TScale* AxisX(int layer) { return FAxisX[ClampLayer(layer) - 1].get(); }
    TScale* AxisY(int layer) { return FAxisY[ClampLayer(layer) - 1].get(); }

    TScalePropsHoriz* Scale1X() { return ScaleX(1); }
    TScalePropsHoriz* Scale2X() { return ScaleX(2); }
    TScalePropsHoriz* Scale3X() { return ScaleX(3); }
    TScalePropsHoriz* Scale4X() { return ScaleX(4); }
    TScalePropsVert* Scale1Y() { return ScaleY(1); }
    TScalePropsVert* Scale2Y() { return ScaleY(2); }
    TScalePropsVert* Scale3Y() { return ScaleY(3); }
    TScalePropsVert* Scale4Y() { return ScaleY(4); }
    // Copies the given object's values into the own one.
    void SetScaleX(int layer, const TScalePropsHoriz& value);
    void SetScaleY(int layer, const TScalePropsVert& value);

    // Copies an axis object into its control.
    void SyncAxis(TScale& axis, const TScaleProps& props);
    // Change handler of all axis objects: syncs every axis, re-applies the
    // layer ranges and paints once.
    void SyncAllAxes();

    // ------------------------------------------------- properties
    bool AutoRedraw() const { return FAutoRedraw; }
    void SetAutoRedraw(bool value) { FAutoRedraw = value; }

    int MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(int value);
    int MarginRight() const { return FMarginRight; }
    void SetMarginRight(int value);
    int MarginTop() const { return FMarginTop; }
    void SetMarginTop(int value);
    int MarginBottom() const { return FMarginBottom; }
    void SetMarginBottom(int value);
    int LRim() const { return FMarginLeft; }
    void SetLRim(int value) { SetMarginLeft(value); }
    int RRim() const { return FMarginRight; }
    void SetRRim(int value) { SetMarginRight(value); }
    int TRim() const { return FMarginTop; }
    void SetTRim(int value) { SetMarginTop(value); }
    int BRim() const { return FMarginBottom; }
    void SetBRim(int value) { SetMarginBottom(value); }
    int ShadowWidth() const { return FShadowWidth; }
    void SetShadowWidth(int value);
    TShadowStyle ShadowStyle() const { return FShadowStyle; }
    void SetShadowStyle(TShadowStyle value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);
    TColor ShadowBakColor() const { return FShadowBakColor; }
    void SetShadowBakColor(TColor value);

    TColor DataColor() const { return FDataColor; }
    void SetDataColor(TColor value) { FDataColor = value; }
    TColor FillColor() const { return FFillColor; }
    void SetFillColor(TColor value) { FFillColor = value; }
    TColor TextBkColor() const { return FFillColor; }
    void SetTextBkColor(TColor value) { FFillColor = value; }
    TPenStyle PenStyle() const { return FPenStyle; }
    void SetPenStyle(TPenStyle value) { FPenStyle = value; }
    std::uint8_t LineWidth() const { return FLineWidth; }
    void SetLineWidth(std::uint8_t value) { FLineWidth = value; }

    TColor ChartFrameColor() const { return FChartFrameColor; }
    void SetChartFrameColor(TColor value);
    TColor ChartColor() const { return FChartColor; }
    void SetChartColor(TColor value);
    TColor WindColor() const { return FWindColor; }
    void SetWindColor(TColor value);
    TColor GridColor() const { return FGridColor; }
    void SetGridColor(TColor value);
    GridStyleType GridStyle() const { return FGridStyle; }
    void SetGridStyle(GridStyleType value);
    double GridDx() const { return FGridDx; }
    void SetGridDx(double value);
    double GridDy() const { return FGridDy; }
    void SetGridDy(double value);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    int CaptionTrim() const { return FCaptionTrim; }
    void SetCaptionTrim(int value);
    int CaptionPosX() const { return FCaptionPosX; }
    void SetCaptionPosX(int value);
    int CaptionPosY() const { return FCaptionPosY; }
    void SetCaptionPosY(int value);
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment value);
    TCaptionAnchorHoriz CaptionAnchorHoriz() const { return FCaptionAnchorHoriz; }
    void SetCaptionAnchorHoriz(TCaptionAnchorHoriz value);
    TCaptionAnchorVert CaptionAnchorVert() const { return FCaptionAnchorVert; }
    void SetCaptionAnchorVert(TCaptionAnchorVert value);

    TBakGndImg* BackGroundImg() { return FBackGroundImg.get(); }
    // Takes the settings of `value` (the own object keeps its callback).
    void SetBackGroundImg(const TBakGndImg& value);
    TCrossHair* CrossHair(int index);  // 1 ... 4 (clamped)
    TCrossHair* CrossHair1() { return CrossHair(1); }
    TCrossHair* CrossHair2() { return CrossHair(2); }
    TCrossHair* CrossHair3() { return CrossHair(3); }
    TCrossHair* CrossHair4() { return CrossHair(4); }
    void SetCrossHair(int index, const TCrossHair& value);
    TTextLabel* TextLabel(int index);  // 1 ... 50 (clamped)

    TkvLayout StandardLayout() const { return FStandardLayout; }
    // Applies a layout; the stored value is not changed (reading returns the earlier one).
    void SetStandardLayout(TkvLayout value);

    TCustomKurvo* UseDataOf() const { return FUseDataOf; }
    void SetUseDataOf(TCustomKurvo* value);
    int SharerCount() const { return FSharerCount; }
    TCustomKurvo* Sharer(int index) const;  // 0 ... SharerCount - 1

    TFont& TextFont() { return FTextFont; }
    void SetTextFont(const TFont& value) { FTextFont = value; }
    TFontStyles TextFontStyle() const { return FTextFont.Style(); }
    void SetTextFontStyle(TFontStyles value) { FTextFont.SetStyle(value); }
    TTextBkg TextBkStyle() const { return FTextBkStyle; }
    void SetTextBkStyle(TTextBkg value) { FTextBkStyle = value; }
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment value);

    TMouseActMode MouseAction() const { return FMouseAction; }
    void SetMouseAction(TMouseActMode value) { FMouseAction = value; }
    bool MouseCursorFixed() const { return FMouseCursorFixed; }
    void SetMouseCursorFixed(bool value) { FMouseCursorFixed = value; }
    TColor MouseTraceColor() const { return FMouseTraceColor; }
    void SetMouseTraceColor(TColor value) { FMouseTraceColor = value; }
    bool MouseTraceInvert() const { return FMouseTraceInvert; }
    void SetMouseTraceInvert(bool value) { FMouseTraceInvert = value; }
    double PanGridDx() const { return FPanGridDx; }
    void SetPanGridDx(double value) { FPanGridDx = value; }
    double PanGridDy() const { return FPanGridDy; }
    void SetPanGridDy(double value) { FPanGridDy = value; }
    double PanGridOffsX() const { return FPanGridOffsX; }
    void SetPanGridOffsX(double value) { FPanGridOffsX = value; }
    double PanGridOffsY() const { return FPanGridOffsY; }
    void SetPanGridOffsY(double value) { FPanGridOffsY = value; }
    bool AvoidDuplicateMarks() const { return FAvoidDuplicateMarks; }
    void SetAvoidDuplicateMarks(bool value);
    int MinDupMarkDist() const { return FMinDupMarkDist; }
    void SetMinDupMarkDist(int value);

    // ------------------------------------------------- lifecycle
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void Assign(const TPersistent& source) override;
    void AssignTo(TPersistent& dest) const override;
    std::string ClassName() const override { return "TCustomKurvo"; }
    // Repaints when AutoRedraw is on (or while designing).
    void RepaintIfAutoRedraw();

    // ------------------------------------------------- painting
    void Paint() override;
    void PaintFrame(TCanvas& canvas);
    virtual void DrawBackground(TCanvas& canvas, int left, int top, int width, int height);
    virtual void RenderDataToBitmap(TBitmap& bitmap, int offsetX, int offsetY, bool monochrome, bool skipGrid);
    virtual void RenderData(TCanvas& canvas, int offsetX, int offsetY, bool monochrome, bool skipGrid);
    virtual void SetPaintSuspended(bool value);
    bool PaintSuspended() const { return FPaintSuspended; }
    void DrawMouseTrace(int offsetX, int offsetY, TBitmap& bitmap);
    void ShowBitmap(int x, int y, TCanvas& canvas, TBitmap& bitmap);
    void DrawCrossHairs(int x0, int y0, TBitmap& bitmap);
    void DrawTextLabels(TCanvas& canvas);
    void DrawGrid(TCanvas& canvas);
    double NextGridValue(bool isLogarithmic, int index, bool isY, double step, double current) const;

    TBitmap& ControlBitmap() { return *FControlBitmap; }
    TBitmap& DataBitmap() { return *FDataBitmap; }

    // ------------------------------------------------- item renderer
    void RenderItem(TCanvas& canvas, TkvChartItem& item, int index, bool isAnnotation,
                    const TLongTextArray& longTexts, bool monochrome, int offsetX, int offsetY);
    void FlushPolyline(TCanvas& canvas);
    void AddPolylinePoint(int x, int y, TCanvas& canvas);
    static int MeasureText(const std::string& text, TCanvas& canvas, int& lineHeight, int& totalHeight,
                           int& maxWidth);

    // ------------------------------------------------- mouse
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void WMMouseMove(TShiftState shift, int x, int y) override;
    int WantedDialogCodes() const override { return 3; }
    int AxisHitTest(int x, int y) const;
    bool Dragging() const { return FDragging; }
    TZoomState ZoomState() const { return FZoomState; }
    const std::vector<TMouseTracePoint>& MouseTrace() const { return FMouseTrace; }
    bool MouseLayer(int layer) const { return FMouseLayer[ClampLayer(layer) - 1]; }

    // ------------------------------------------------- events
    TScaleTickDrawnEvent OnScaleTickDrawn;
    TBeforeTickLabelEvent OnBeforeTickLabel;
    TRenderEvent OnBeforeRenderData;
    TRenderEvent OnDataRendered;
    TRenderEvent OnScalesRendered;
    TBeforeRenderChartItemEvent OnBeforeRenderChartItem;
    TBeforeRenderTextEvent OnBeforeRenderText;
    TZoomPanEvent OnZoomPan;
    TSelectRectEvent OnRubberBand;
    TSelectRectEvent OnSelectRect;
    TBeforeCrossHMoveEvent OnBeforeCrossHairMove;
    TCrossHairMoveEvent OnCrossHairMove;
    TTextLabelMoveEvent OnTextLabelMove;
    TMouseMoveInChartEvent OnMouseMoveInChart;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    static int ClampLayer(int layer) { return layer < 1 ? 1 : (layer > LayerCount ? LayerCount : layer); }

protected:
    void SetDefaults();

private:
    // geometry helpers
    int DataWidth() const { return Width() - FMarginLeft - FMarginRight - FShadowWidth; }
    int DataHeight() const { return Height() - FMarginTop - FMarginBottom - FShadowWidth; }
    bool InDataArea(int x, int y) const;
    void ResizeDataBitmap();
    void MarginGeometry();
    void IsometricAdjust(int layer);
    void SyncAxisMargins(int layer);
    void InstallAxisCallbacks(int layer);
    void ClearEvents();
    // Stores a range as a layer range change does; false when a logarithmic
    // axis refused both bounds.
    bool StoreRange(TScaleProps& props, double low, double high);
    void ApplyLayoutRow(TkvLayout layout);
    // Runs f with SyncAllAxes deferred, then syncs once when anything asked for it.
    void WithDeferredSync(const std::function<void()>& f);

    // display list helpers
    TItemList& TargetList() { return FAnnotationMode ? FAnnot : FData; }
    void PropagateSharedData();
    void TakeSharedData(const TCustomKurvo& from);
    void RemoveSharer(TCustomKurvo* sharer);
    // Unlinks every sharer of this chart, leaving each with storage no other chart writes.
    void ReleaseSharers();

    // renderer helpers (render_item.cpp, render_shapes.cpp); canvas points
    // are clamped to +-30000
    TPoint WorldToCanvas(int layer, double x, double y) const;
    TPoint PixelToCanvas(double x, double y) const;
    // Each coordinate a world value of `layer` or a pixel of the data area.
    TPoint ItemPoint(int layer, double x, double y, bool xPixel, bool yPixel) const;
    // World point plus a pixel shift, the sums limited before rounding.
    TPoint ShiftedWorldPoint(int layer, double x, double y, double dx, double dy) const;
    // The pen position including points still waiting in the polyline buffer.
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
    // Puts the cached render state back on the canvas after a nested RenderData.
    void ReapplyRenderState(TCanvas& canvas);
    // Clears the upper halves of the AVX registers (see render_item.cpp).
    static void ResetUpperVectorState();

    // mouse helpers (mouse.cpp)
    void AnchorAllLayers(int x, int y);
    void AxisBandDrag(TShiftState shift, int x, int y);
    bool DragStep(TShiftState shift, int x, int y);
    void PanMove(TShiftState shift, int x, int y);
    void ZoomDragMove(TShiftState shift, int x, int y);
    void WindowFigureMove(int x, int y);
    void DrawWindowFigure(int x1, int y1);
    void MouseTraceMove(TShiftState shift, int x, int y);
    void WindowRelease(TMouseButton button);
    void UpdateCursor(int x, int y);
    void CrossHairDrag(TShiftState shift, int x, int y);
    void TextLabelDrag(TShiftState shift, int x, int y);

    // ---- display lists
    TItemList FData;
    TItemList FAnnot;
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
    // Nesting depth of RenderData and a count of its runs: a hook that
    // repaints starts a nested run, after which the outer run re-applies its
    // render state to its canvas.
    int FRenderDepth = 0;
    unsigned FRenderRuns = 0;
    static inline bool SResetUpperState = true;  // benchmarks switch it off to compare
    std::array<bool, 256> FDataClassVisible{};
    std::array<bool, 256> FAnnotClassVisible{};
    std::array<bool, LayerCount> FLayerVisible{};
    bool FDataInFront = false;
    bool FAnnotationsShown = true;
    bool FAnnotTextsLast = true;
    // While positive, SyncAllAxes only notes that it is due; the multi-step
    // change that deferred it runs it once at the end.
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

    // ---- data sharing
    TCustomKurvo* FUseDataOf = nullptr;
    std::array<TCustomKurvo*, MaxSharers> FSharers{};
    int FSharerCount = 0;

    friend class TKurvoAccess;  // tests reach internal state through this
};

// The published chart: window creation ends the suspension of painting.
class TKurvo : public TCustomKurvo {
public:
    explicit TKurvo(QWidget* parentWidget = nullptr) : TCustomKurvo(parentWidget) {}
    std::string ClassName() const override { return "TKurvo"; }

protected:
    void CreateWnd() override;
};

}  // namespace kurvo
