// TScale: the axis control. Draws one linear, logarithmic, time or
// date/time axis; used on its own in a window or, embedded, for each of a
// chart's 32 axes (then it has no window and paints onto the chart's
// bitmap when the chart asks).
#pragma once

#include "../canvas/kurvo_export.h"

#include "../base/Qorn_qornbase.h"
#include "../canvas/custom_control.h"
#include "../scale/ticks.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QDateTime;
class QTimeZone;

namespace kurvo {

class TScalePrivate;

/// Raised after each tick is drawn, short ticks included: its world value and
/// the pixel where it meets the axis line (chartX, chartY). While ShortTicks
/// is on, a labelled value is raised twice, first as a short tick at the
/// same place. With ShortTicks off only the labelled ticks are raised, except
/// on a horizontal logarithmic axis, which raises its short ticks without
/// drawing them. On a vertical axis the tick's label is drawn after the
/// event, with what the handler left on the canvas.
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
KURVO_EXPORT bool AxisDragRange(int x, int y, int anchorX, int anchorY, int width, int height, int marginLeft, int marginRight,
                   int marginTop, int marginBottom, double savedLow, double savedHigh, TMouseActMode action,
                   TScaleType scaleType, bool logarithmic, double rangeLow, double rangeHigh, double& newLow,
                   double& newHigh);

/// The axis control: draws one linear, logarithmic, time or date/time axis
/// with ticks, labels and caption, on its own or embedded in a chart.
class KURVO_EXPORT TScale : public TCustomControl {
public:
    /// An axis control of 400 x 400 pixels inside `parentWidget`.
    explicit TScale(QWidget* parentWidget = nullptr);
    ~TScale() override;

    // --- geometry
    ///@{
    /// Distance from the top edge to the axis rectangle, pixels; default 20.
    int MarginTop() const;
    void SetMarginTop(int value);
    ///@}
    ///@{
    /// Distance from the bottom edge to the axis rectangle, pixels; default 20.
    int MarginBottom() const;
    void SetMarginBottom(int value);
    ///@}
    ///@{
    /// Distance from the left edge to the axis rectangle, pixels; default 20.
    int MarginLeft() const;
    void SetMarginLeft(int value);
    ///@}
    ///@{
    /// Distance from the right edge to the axis rectangle, pixels; default 20.
    int MarginRight() const;
    void SetMarginRight(int value);
    ///@}
    ///@{
    /// Orientation and side of the axis line; default sctXB.
    TScaleType ScaleType() const;
    void SetScaleType(TScaleType value);
    ///@}

    // --- range
    ///@{
    /// World value at the low end of the axis; default 0.
    double RangeLow() const;
    void SetRangeLow(double value);
    ///@}
    ///@{
    /// World value at the high end of the axis; default 100.
    double RangeHigh() const;
    void SetRangeHigh(double value);
    ///@}
    ///@{
    /// Logarithmic axis; default off. Switching on needs both bounds positive
    /// (except while loading).
    bool Logarithmic() const;
    void SetLogarithmic(bool value);
    ///@}

    // --- ticks
    ///@{
    /// Least number of long-tick intervals, 0 or 2 ... 10; default 3.
    int MinTicks() const;
    void SetMinTicks(int value);
    ///@}
    ///@{
    /// Short ticks between the long ones; default on.
    bool ShortTicks() const;
    void SetShortTicks(bool value);
    ///@}
    /// Number of ticks placed by the last paint (at most 250).
    int NumTicks() const;
    /// The index-th tick of the last paint, counted from 1; 0.0 outside 1 ... NumTicks.
    double TickValue(int index) const;

    // --- labels
    ///@{
    /// Kind of the tick labels; default ftNum. An ftDateTime axis takes day
    /// numbers (see DaysFromDateTime()), an ftTime axis seconds.
    TFigType LabelType() const;
    void SetLabelType(TFigType value);
    ///@}

    // --- date/time values
    // A date/time axis (LabelType ftDateTime, here and on a chart's axes)
    // takes day numbers: days since 30 December 1899 (day 0), the time of day
    // as the fraction, so 46023.75 is 1 January 2026, 18:00. A day number is
    // a calendar date and a clock time with no time zone of its own; the
    // conversions below say which zone's clock it reads. QTimeZone::utc()
    // reads UTC, QTimeZone::systemTimeZone() the computer's local time. A
    // local time the clock skips (the hour a change to summer time leaves
    // out) counts as the time that far after the change, 02:30 as 03:30; one
    // the clock shows twice (the hour a change back repeats) is the later of
    // the two. The conversions are exact to the millisecond for every date
    // an axis shows (its ranges end at day 3000000); day numbers beyond
    // 10^8 days either side of day 0, NaN and infinities give NaN or an
    // invalid QDateTime.
    ///@{
    /// The day number of the date and time `value` shows in its own time
    /// time zone (a QDateTime in UTC gives its UTC clock, one in local
    /// time its local clock); NaN for an invalid QDateTime.
    static double DaysFromDateTime(const QDateTime& value);
    /// The moment whose date and time in `zone` are day number `days`,
    /// rounded to the millisecond, as a QDateTime in `zone`.
    static QDateTime DateTimeFromDays(double days, const QTimeZone& zone);
    /// The day number of Unix time `seconds` (seconds since 1 January 1970,
    /// 00:00 UTC) on the clock of `zone`: 25569 + seconds / 86400 in UTC.
    static double DaysFromUnixSeconds(double seconds, const QTimeZone& zone);
    /// The Unix time of day number `days` read on the clock of `zone`; the
    /// inverse of DaysFromUnixSeconds().
    static double UnixSecondsFromDays(double days, const QTimeZone& zone);
    ///@}
    ///@{
    /// Decimals of numeric labels, -3 ... 12 (clamped); negative values select
    /// exponent form and automatic choices. Default -2.
    int DecPlaces() const;
    void SetDecPlaces(int value);
    ///@}
    ///@{
    /// Fixed-point numeric labels lose their needless trailing zeros (2.50
    /// becomes 2.5, -4.0 becomes -4); exponent forms stay as they are.
    /// Default off: the labels keep the decimals DecPlaces chose.
    bool TrimTrailingZeros() const;
    void SetTrimTrailingZeros(bool value);
    ///@}
    ///@{
    /// Text wrapped around every numeric label; default empty.
    const std::string& ScaleInscript() const;
    void SetScaleInscript(const std::string& value);
    ///@}
    ///@{
    /// '|'-separated labels used when LabelType is ftUserText; default empty.
    const std::string& UserTickText() const;
    void SetUserTickText(const std::string& value);
    ///@}
    ///@{
    /// Layout of ftDateTime labels, owned by the control; SetDateFormat copies
    /// the settings.
    TDTLabel* DateFormat();
    const TDTLabel* DateFormat() const;
    void SetDateFormat(const TDTLabel& value);
    ///@}

    // --- caption
    ///@{
    /// Caption of the axis; default empty.
    const std::string& Caption() const;
    void SetCaption(const std::string& value);
    ///@}
    ///@{
    /// Caption offset from its anchor in X, pixels; default 4.
    int CaptionPosX() const;
    void SetCaptionPosX(int value);
    ///@}
    ///@{
    /// Caption offset from its anchor in Y, pixels; default 4.
    int CaptionPosY() const;
    void SetCaptionPosY(int value);
    ///@}
    ///@{
    /// Alignment of the caption; default taCenter.
    TAlignment CaptionAlignment() const;
    void SetCaptionAlignment(TAlignment value);
    ///@}
    ///@{
    /// Where along the axis the caption sits; default uaSclTopLft.
    TScaleUnitAnchor CaptionAnchor() const;
    void SetCaptionAnchor(TScaleUnitAnchor value);
    ///@}

    // --- appearance
    ///@{
    /// Pen colour of the base line and ticks; default black.
    TColor ColorScale() const;
    void SetColorScale(TColor value);
    void SetColorScale(const QColor& value);  ///< a Qt colour, see TColor
    void SetColorScale(Qt::GlobalColor value);
    ///@}
    ///@{
    /// Colour of the opaque background; default the button-face colour.
    TColor ColorBackGnd() const;
    void SetColorBackGnd(TColor value);
    void SetColorBackGnd(const QColor& value);  ///< a Qt colour, see TColor
    void SetColorBackGnd(Qt::GlobalColor value);
    ///@}
    ///@{
    /// Colours of the 3D frame; default csBWG.
    TColorScheme ColorScheme() const;
    void SetColorScheme(TColorScheme value);
    ///@}
    ///@{
    /// Form of the frame; default fsLowered.
    TFrameStyle FrameStyle() const;
    void SetFrameStyle(TFrameStyle value);
    ///@}
    ///@{
    /// Whether the base line is drawn; default on.
    bool ShowBaseLine() const;
    void SetShowBaseLine(bool value);
    ///@}
    ///@{
    /// Draw on the target canvas without background, frame or bitmap; default off.
    bool Transparent() const;
    void SetTransparent(bool value);
    ///@}
    ///@{
    /// Colours the 3D frame is drawn with (dark, shadow, highlight).
    TColor FrameDarkColor() const;
    TColor FrameShadowColor() const;
    TColor FrameHighlightColor() const;
    ///@}

    // --- interaction
    ///@{
    /// What a drag on the stand-alone axis does: maPan, maZoom or maZoomDrag;
    /// default maNone.
    TMouseActMode MouseAction() const;
    void SetMouseAction(TMouseActMode value);
    ///@}

    // --- operations for the owner
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void Paint() override;
    ///@{
    /// Holds painting; clearing it paints at once.
    void SetPaintSuspended(bool value);
    /// Whether painting is suspended.
    bool PaintSuspended() const;
    ///@}
    /// Paints now even while painting is suspended.
    void PaintNow();
    ///@{
    /// Draws onto `canvas` (with offsets dx, dy) instead of the own canvas;
    /// nullptr returns to the own canvas. No redraw.
    void SetExternalCanvas(TCanvas* canvas, int dx, int dy);
    /// The canvas drawn on instead of the own one, or null.
    TCanvas* ExternalCanvas() const;
    ///@}
    ///@{
    /// Offset of the drawing on the external canvas, pixels.
    int DrawOffsetX() const;
    int DrawOffsetY() const;
    ///@}
    ///@{
    /// Set by the chart on its own axes.
    void SetEmbedded(bool value);
    bool Embedded() const;
    ///@}
    /// Set while loading; Logarithmic is then accepted without checks.
    bool LoadingFlag() const;
    /// Pixel along the axis of a world value (x for horizontal, y for vertical types).
    int ValueToPixel(double value) const;
    /// ValueToPixel, but none where the value has no pixel (NaN, or an axis
    /// narrower than its numbers can resolve).
    std::optional<int> DefinedPixel(double value) const;
    ///@{
    /// Mapping along the axis: pixel = factor * value + offset (of the logarithm
    /// on a logarithmic axis).
    double ScaleFactor() const;
    double ScaleOffset() const;
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
    /// The unrounded pixel of a value (NaN when the value has none).
    double ExactPixel(double value) const;

    void PaintAxis(TCanvas& target, int dx, int dy);
    /// Ticks, labels, caption and base line, the base line moved across the
    /// axis by (dx, dy).
    void DrawAxis(TCanvas& canvas, int dx, int dy);
    /// Printer font rule and brush style, before a pass.
    void PrepareAxisCanvas(TCanvas& canvas);
    /// The tick pass with every visit drawn; labels that would overlap are
    /// thinned first.
    void DrawTicks(TCanvas& canvas, int base, int zeroHeight);
    /// Line, label and events of one visit; zeroHeight is the height of "0"
    /// on a vertical axis.
    void DrawTickVisit(TCanvas& canvas, TTickVisit& visit, int base, int zeroHeight);
    /// The label step of a vertical axis, centred by centreHeight, or by the
    /// label's own height when centreHeight is negative.
    void DrawVerticalLabel(TCanvas& canvas, double value, int baseX, int y, std::string text, int centreHeight);
    /// The date line under a time-of-day label.
    void DrawDateLine(TCanvas& canvas, double value, int pixel, int base, std::string text);
    void DrawCaption(TCanvas& canvas, int base);

private:
    // All state lives in the private class (scale/scale_private.h).
    std::unique_ptr<TScalePrivate> d;
    friend class TScalePrivate;
};

}  // namespace kurvo
