// TScale: the axis control. Draws one linear, logarithmic, time or
// date/time axis; used on its own in a window or, embedded, for each of a
// chart's 32 axes (then it has no window and paints onto the chart's
// bitmap when the chart asks).
#pragma once

#include "../base/Qorn_qornbase.h"
#include "../canvas/custom_control.h"
#include "../scale/ticks.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kurvo {

/// Raised after each long tick is drawn: its world value and its pixel on the
/// control (chartX, chartY).
using TScaleTickDrawnEvent = std::function<void(TObject* sender, TCanvas& canvas, TScaleType scaleType,
                                                double currentTickPos, int chartX, int chartY)>;
/// Raised before a long tick's label is drawn; the handler may change `tickLabel`.
using TBeforeTickLabelEvent =
    std::function<void(TObject* sender, TScaleType scaleType, double currentTickPos, std::string& tickLabel)>;
/// Raised before and after the axis paints, with the canvas it paints on.
using TScaleRenderedEvent = std::function<void(TObject* sender, TCanvas& canvas)>;
/// Raised after a pan or zoom of the axis changed its range.
using TZoomPanEvent = std::function<void(TObject* sender)>;

/// The range arithmetic of dragging on an axis (pan, zoom with one end
/// fixed, zoom about the centre). True when Action is maPan, maZoom or
/// maZoomDrag (outputs set), False otherwise (outputs untouched).
bool AxisDragRange(int x, int y, int anchorX, int anchorY, int width, int height, int marginLeft, int marginRight,
                   int marginTop, int marginBottom, double savedLow, double savedHigh, TMouseActMode action,
                   TScaleType scaleType, bool logarithmic, double rangeLow, double rangeHigh, double& newLow,
                   double& newHigh);

/// The axis control: draws one linear, logarithmic, time or date/time axis
/// with ticks, labels and caption, on its own or embedded in a chart.
class TScale : public TCustomControl {
public:
    /// An axis control of 400 x 400 pixels inside `parentWidget`.
    explicit TScale(QWidget* parentWidget = nullptr);
    ~TScale() override;

    // --- geometry
    ///@{
    /// Distance from the top edge to the axis rectangle, pixels; default 20.
    int MarginTop() const { return FMarginTop; }
    void SetMarginTop(int value);
    ///@}
    ///@{
    /// Distance from the bottom edge to the axis rectangle, pixels; default 20.
    int MarginBottom() const { return FMarginBottom; }
    void SetMarginBottom(int value);
    ///@}
    ///@{
    /// Distance from the left edge to the axis rectangle, pixels; default 20.
    int MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(int value);
    ///@}
    ///@{
    /// Distance from the right edge to the axis rectangle, pixels; default 20.
    int MarginRight() const { return FMarginRight; }
    void SetMarginRight(int value);
    ///@}
    ///@{
    /// Orientation and side of the axis line; default sctXB.
    TScaleType ScaleType() const { return FScaleType; }
    void SetScaleType(TScaleType value);
    ///@}

    // --- range
    ///@{
    /// World value at the low end of the axis; default 0.
    double RangeLow() const { return FRangeLow; }
    void SetRangeLow(double value);
    ///@}
    ///@{
    /// World value at the high end of the axis; default 100.
    double RangeHigh() const { return FRangeHigh; }
    void SetRangeHigh(double value);
    ///@}
    ///@{
    /// Logarithmic axis; default off. Switching on needs both bounds positive
    /// (except while loading).
    bool Logarithmic() const { return FLogarithmic; }
    void SetLogarithmic(bool value);
    ///@}

    // --- ticks
    ///@{
    /// Least number of long-tick intervals, 0 or 2 ... 10; default 3.
    int MinTicks() const { return FMinTicks; }
    void SetMinTicks(int value);
    ///@}
    ///@{
    /// Short ticks between the long ones; default on.
    bool ShortTicks() const { return FShortTicks; }
    void SetShortTicks(bool value);
    ///@}
    /// Number of ticks placed by the last paint (at most 250).
    int NumTicks() const { return FTicks.NumTicks(); }
    /// The index-th tick of the last paint, counted from 1; 0.0 outside 1 ... NumTicks.
    double TickValue(int index) const { return FTicks.TickValue(index); }

    // --- labels
    ///@{
    /// Kind of the tick labels; default ftNum.
    TFigType LabelType() const { return FLabelType; }
    void SetLabelType(TFigType value);
    ///@}
    ///@{
    /// Decimals of numeric labels, -3 ... 12 (clamped); negative values select
    /// exponent form and automatic choices. Default -2.
    int DecPlaces() const { return FDecPlaces; }
    void SetDecPlaces(int value);
    ///@}
    ///@{
    /// Text wrapped around every numeric label; default empty.
    const std::string& ScaleInscript() const { return FScaleInscript; }
    void SetScaleInscript(const std::string& value);
    ///@}
    ///@{
    /// '|'-separated labels used when LabelType is ftUserText; default empty.
    const std::string& UserTickText() const { return FUserTickText; }
    void SetUserTickText(const std::string& value);
    ///@}
    ///@{
    /// Layout of ftDateTime labels, owned by the control; SetDateFormat copies
    /// the settings.
    TDTLabel* DateFormat() { return FDateFormat.get(); }
    const TDTLabel* DateFormat() const { return FDateFormat.get(); }
    void SetDateFormat(const TDTLabel& value);
    ///@}

    // --- caption
    ///@{
    /// Caption of the axis; default empty.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    ///@}
    ///@{
    /// Caption offset from its anchor in X, pixels; default 4.
    int CaptionPosX() const { return FCaptionPosX; }
    void SetCaptionPosX(int value);
    ///@}
    ///@{
    /// Caption offset from its anchor in Y, pixels; default 4.
    int CaptionPosY() const { return FCaptionPosY; }
    void SetCaptionPosY(int value);
    ///@}
    ///@{
    /// Alignment of the caption; default taCenter.
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment value);
    ///@}
    ///@{
    /// Where along the axis the caption sits; default uaSclTopLft.
    TScaleUnitAnchor CaptionAnchor() const { return FCaptionAnchor; }
    void SetCaptionAnchor(TScaleUnitAnchor value);
    ///@}

    // --- appearance
    ///@{
    /// Pen colour of the base line and ticks; default black.
    TColor ColorScale() const { return FColorScale; }
    void SetColorScale(TColor value);
    ///@}
    ///@{
    /// Colour of the opaque background; default the button-face colour.
    TColor ColorBackGnd() const { return FColorBackGnd; }
    void SetColorBackGnd(TColor value);
    ///@}
    ///@{
    /// Colours of the 3D frame; default csBWG.
    TColorScheme ColorScheme() const { return FColorScheme; }
    void SetColorScheme(TColorScheme value);
    ///@}
    ///@{
    /// Form of the frame; default fsLowered.
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle value);
    ///@}
    ///@{
    /// Whether the base line is drawn; default on.
    bool ShowBaseLine() const { return FShowBaseLine; }
    void SetShowBaseLine(bool value);
    ///@}
    ///@{
    /// Draw on the target canvas without background, frame or bitmap; default off.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    ///@}
    ///@{
    /// Colours the 3D frame is drawn with (dark, shadow, highlight).
    TColor FrameDarkColor() const { return FFrameDarkColor; }
    TColor FrameShadowColor() const { return FFrameShadowColor; }
    TColor FrameHighlightColor() const { return FFrameHighlightColor; }
    ///@}

    // --- interaction
    ///@{
    /// What a drag on the stand-alone axis does: maPan, maZoom or maZoomDrag;
    /// default maNone.
    TMouseActMode MouseAction() const { return FMouseAction; }
    void SetMouseAction(TMouseActMode value) { FMouseAction = value; }
    ///@}

    // --- operations for the owner
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void Paint() override;
    ///@{
    /// Holds painting; clearing it paints at once.
    void SetPaintSuspended(bool value);
    /// Whether painting is suspended.
    bool PaintSuspended() const { return FPaintSuspended; }
    ///@}
    /// Paints now even while painting is suspended.
    void PaintNow();
    ///@{
    /// Draws onto `canvas` (with offsets dx, dy) instead of the own canvas;
    /// nullptr returns to the own canvas. No redraw.
    void SetExternalCanvas(TCanvas* canvas, int dx, int dy);
    /// The canvas drawn on instead of the own one, or null.
    TCanvas* ExternalCanvas() const { return FExternalCanvas; }
    ///@}
    ///@{
    /// Offset of the drawing on the external canvas, pixels.
    int DrawOffsetX() const { return FDX; }
    int DrawOffsetY() const { return FDY; }
    ///@}
    ///@{
    /// Set by the chart on its own axes.
    void SetEmbedded(bool value);
    bool Embedded() const { return FEmbedded; }
    ///@}
    /// Set while loading; Logarithmic is then accepted without checks.
    bool LoadingFlag() const { return FLoadingFlag; }
    /// Pixel along the axis of a world value (x for horizontal, y for vertical types).
    int ValueToPixel(double value) const;
    /// ValueToPixel, but none where the value has no pixel (NaN, or an axis
    /// narrower than its numbers can resolve).
    std::optional<int> DefinedPixel(double value) const;
    ///@{
    /// Mapping along the axis: pixel = factor * value + offset (of the logarithm
    /// on a logarithmic axis).
    double ScaleFactor() const { return FScaleFactor; }
    double ScaleOffset() const { return FScaleOffset; }
    ///@}
    /// Recomputes the world-to-pixel mapping from range, margins and size.
    void UpdateTransform();
    /// Re-applies every default of a new axis control.
    void ApplyDefaults();

    /// Copies the settings of another TScale as plain fields; then Redraw.
    void Assign(const TPersistent& source) override;
    void AssignTo(TPersistent& dest) const override;
    std::string ClassName() const override { return "TScale"; }

    /// One tick pass plus the caption on `canvas`, base line at baseY / baseX.
    void PaintHorizontal(TCanvas& canvas, int baseY);
    /// See PaintHorizontal().
    void PaintVertical(TCanvas& canvas, int baseX);
    /// The label step of a horizontal axis.
    void DrawTickLabel(TCanvas& canvas, double value, int x, int baseY, std::string text);

    // --- mouse (stand-alone axis)
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;

    // --- events
    /// See TScaleTickDrawnEvent.
    TScaleTickDrawnEvent OnScaleTickDrawn;
    /// See TBeforeTickLabelEvent.
    TBeforeTickLabelEvent OnBeforeTickLabel;
    /// Raised before the axis paints.
    TScaleRenderedEvent OnBeforeScaleRendered;
    /// Raised after the axis painted.
    TScaleRenderedEvent OnAfterScaleRendered;
    /// Raised after a drag on the axis changed the range.
    TZoomPanEvent OnZoomPan;

    /// The settings the tick passes read.
    TTickSettings TickSettings() const;

protected:
    void CreateWnd() override;

private:
    void Redraw();
    void SetRangeDirect(double low, double high);
    friend struct TScalePaintAccess;  ///< tests draw single tick visits through this

    void PaintAxis(TCanvas& target, int dx, int dy);
    /// Ticks, labels, caption and base line, the base line moved across the
    /// axis by (dx, dy).
    void DrawAxis(TCanvas& canvas, int dx, int dy);
    /// Printer font rule and brush style, before a pass.
    void PrepareAxisCanvas(TCanvas& canvas);
    /// Line, label and events of one visit; zeroHeight is the height of "0"
    /// on a vertical axis.
    void DrawTickVisit(TCanvas& canvas, TTickVisit& visit, int base, int zeroHeight);
    /// The label step of a vertical axis, centred by centreHeight, or by the
    /// label's own height when centreHeight is negative.
    void DrawVerticalLabel(TCanvas& canvas, double value, int baseX, int y, std::string text, int centreHeight);
    /// The date line under a time-of-day label.
    void DrawDateLine(TCanvas& canvas, double value, int pixel, int base, std::string text);
    void DrawCaption(TCanvas& canvas, int base);

    int FMarginTop = 20;
    int FMarginBottom = 20;
    int FMarginLeft = 20;
    int FMarginRight = 20;
    TScaleType FScaleType = sctXB;
    double FRangeLow = 0.0;
    double FRangeHigh = 100.0;
    bool FLogarithmic = false;
    int FMinTicks = 3;
    bool FShortTicks = true;
    TFigType FLabelType = ftNum;
    int FDecPlaces = -2;
    std::string FScaleInscript;
    std::string FUserTickText;
    std::unique_ptr<TDTLabel> FDateFormat;
    std::string FCaption;
    int FCaptionPosX = 4;
    int FCaptionPosY = 4;
    TAlignment FCaptionAlignment = taCenter;
    TScaleUnitAnchor FCaptionAnchor = uaSclTopLft;
    TColor FColorScale = 0;
    TColor FColorBackGnd = clBtnFace;
    TColorScheme FColorScheme = csBWG;
    TFrameStyle FFrameStyle = fsLowered;
    bool FShowBaseLine = true;
    bool FTransparent = false;
    TMouseActMode FMouseAction = maNone;

    double FScaleFactor = 1.0;
    double FScaleOffset = 0.0;
    TTickList FTicks;
    TColor FFrameDarkColor = 0;
    TColor FFrameShadowColor = 0x808080;
    TColor FFrameHighlightColor = 0xFFFFFF;
    bool FLoadingFlag = true;
    bool FEmbedded = false;
    bool FPaintSuspended = true;
    TCanvas* FExternalCanvas = nullptr;
    int FDX = 0;
    int FDY = 0;

    /// Drag state of a stand-alone axis.
    int FAnchorX = 0;
    int FAnchorY = 0;
    double FSavedLow = 0.0;
    double FSavedHigh = 0.0;
    bool FDragging = false;
};

}  // namespace kurvo
