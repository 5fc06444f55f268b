// Kurvo: the interactive 2D chart component.
//
// A chart keeps display lists of drawing items in world coordinates of 16
// layers; every layer maps its own X and Y range onto the one data area and
// has an axis control per direction. The chart paints everything off-screen
// and shows the result in one copy; pan and zoom change layer ranges and the
// picture follows. User code extends it through events.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../base/Qorn_qornbase.h"
#include "../canvas/custom_control.h"
#include "../base/pixel_math.h"
#include "../chart/background.h"
#include "../chart/commands.h"
#include "../chart/display_list.h"
#include "../chart/export.h"
#include "../chart/joint_layers.h"
#include "../chart/legend.h"
#include "../chart/sample_view.h"
#include "../chart/scale_props.h"
#include "../chart/series.h"
#include "../chart/theme.h"
#include "../scale/Qorn_Scale.h"

#include <QColor>
#include <QPointF>
#include <QSize>
#include <QString>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kurvo {

class TCustomKurvoPrivate;

class TCustomKurvo;

/// Raised by the render steps with the canvas drawn on; a control pixel (x, y)
/// lies at (x - left, y - top) on `canvas`. What a handler may change during
/// a paint: see TBeforeRenderChartItemEvent.
using TRenderEvent = std::function<void(TObject* sender, TCanvas& canvas, int top, int left)>;
/// Raised with a working copy of each item before it is drawn; changes to
/// `chartItem` affect this drawing only.
///
/// Changes to the chart during a paint are safe in every paint hook (the
/// render events, the item and text hooks, the axis tick and label events):
/// a handler may call drawing commands, ClearData, ClearAnnotations and
/// setters, and may replace or clear any event, its own included. The
/// paint in progress goes on with the items it started with (as far as a
/// clear leaves them); items a handler adds are drawn from the next paint
/// on; a handler that replaces or clears an event keeps running to its end,
/// and the new handler is called from the next paint on at the latest.
using TBeforeRenderChartItemEvent =
    std::function<void(TObject* sender, TkvChartItem& chartItem, int index, bool isAnnotation)>;
/// Raised with the text a text item is about to draw; changes to `text` affect
/// this drawing only.
using TBeforeRenderTextEvent =
    std::function<void(TObject* sender, std::string& text, int index, bool isAnnotation)>;
/// A finished rubber band or selection rectangle of `layer`, in world values.
using TSelectRectEvent =
    std::function<void(TObject* sender, int layer, double loX, double loY, double hiX, double hiY)>;
/// Raised before a selected crosshair moves by (dx, dy) pixels; setting
/// `allowMove` false keeps it in place and asks again on the next move.
using TBeforeCrossHMoveEvent =
    std::function<void(TObject* sender, TCrossHair* whichCrossHair, int dx, int dy, bool& allowMove)>;
/// Raised after a crosshair moved.
using TCrossHairMoveEvent = std::function<void(TObject* sender, TCrossHair* whichCrossHair)>;
/// Raised after a text label was dragged to a new place.
using TTextLabelMoveEvent = std::function<void(TObject* sender, TTextLabel* whichTextLabel)>;
/// The last event of a pointer move: whether the pointer is over the data
/// area and the world position under it on the current layer.
using TMouseMoveInChartEvent =
    std::function<void(TObject* sender, bool inChart, TShiftState shift, double rMousePosX, double rMousePosY)>;

/// World-to-pixel factors of one layer: x = kx * u + dx, y = ky * v + dy,
/// with u, v the world value or its natural logarithm.
struct TLayerTransform {
    double kx = 0.0;  ///< horizontal factor, pixels per world unit
    double dx = 0.0;  ///< horizontal offset, pixels
    double ky = 0.0;  ///< vertical factor (negative for a rising axis)
    double dy = 0.0;  ///< vertical offset, pixels
};

/// Pan limits of SetLayerRanges; all four 0 means no limiting.
struct TPanLimits {
    double XMin = 0.0;  ///< lowest X a pan may show
    double YMin = 0.0;  ///< lowest Y a pan may show
    double XMax = 0.0;  ///< highest X a pan may show
    double YMax = 0.0;  ///< highest Y a pan may show
};

/// Number of layers; layer numbers run 1 ... 16.
constexpr int LayerCount = 16;
/// Number of slots of the zoom history.
constexpr int ZoomHistorySize = 16;
/// Number of crosshairs.
constexpr int CrossHairCount = 4;
/// Number of text labels.
constexpr int TextLabelCount = 50;
/// The most charts that can share one chart's data.
constexpr int MaxSharers = 4;
/// Points the mouse trace holds.
constexpr int MouseTraceCapacity = 5000;

/// One slot of the zoom history for one layer, in the stored order.
struct TZoomRanges {
    double XLow = 0.0;  ///< low end of X, world units
    double YHigh = 0.0;  ///< high end of Y, world units
    double XHigh = 0.0;  ///< high end of X, world units
    double YLow = 0.0;  ///< low end of Y, world units
};

/// Whether a zoom window is being drawn.
enum TZoomState : std::uint8_t { zsNormal, zsDrawWin };

/// One point of the mouse trace, in pixels of the data area.
struct TMouseTracePoint {
    double X = 0.0;  ///< horizontal pixel
    double Y = 0.0;  ///< vertical pixel
    std::uint16_t Flags = 0;  ///< 1: break after this point, 2: drawn inverted
    TColor Colour = 0;  ///< colour the point is drawn in
};

/// Pen widths of items are limited to 1 ... MaxItemPenWidth pixels.
constexpr int MaxItemPenWidth = 1000;

/// The chart control: display lists, 16 layers with their axes, crosshairs,
/// text labels, mouse actions and painting. Use TKurvo.
///
/// Threads: a chart is a widget, and Qt creates, shows, paints and destroys
/// widgets on the GUI thread only. A chart that is shown is used on the GUI
/// thread only; debug builds stop with an assertion naming the call when one
/// is used from another thread. A chart that is not shown (made on the GUI
/// thread, never shown) may be handed to a worker thread, which fills and
/// exports it (ToImage, SaveToImage, SaveToPdf, SaveToSvg): charts exported
/// in separate workers at the same time share no state, as long as each
/// chart is used by one thread at a time. An export of a chart that another
/// thread is exporting raises EQornKurvoError.
class KURVO_EXPORT TCustomKurvo : public TCustomControl {
    Q_OBJECT
public:

    /** @name Lifetime and size
     *  Construction, loading, copying and the widget's size. */
    ///@{

    /// A chart of 280 x 200 pixels with the standard layout kvl_X1Bottom_Y1Left.
    explicit TCustomKurvo(QWidget* parentWidget = nullptr);
    /// Frees the chart with its sub-objects, bitmaps and display lists.
    ~TCustomKurvo() override;

    /// Sets position and size; the size is never below SmallestSize().
    void SetBounds(int left, int top, int width, int height) override;
    /// Loading relaxes the axis objects' logarithmic checks until Loaded.
    void BeginLoading() override;
    /// Syncs the axes, computes the transforms and paints after loading.
    void Loaded() override;
    /// Copies every setting, both display lists, the sub-objects and the event
    /// handlers of a TCustomKurvo; other sources go to TPersistent::Assign().
    void Assign(const TPersistent& source) override;
    /// Hands a TCustomKurvo destination to its Assign().
    void AssignTo(TPersistent& dest) const override;
    /// "TCustomKurvo".
    std::string ClassName() const override { return "TCustomKurvo"; }
    /// Repaints when AutoRedraw is on (or while designing).
    void RepaintIfAutoRedraw();

    /// The smallest size SetBounds accepts with the current margins.
    QSize SmallestSize() const;
    /// SmallestSize(), at least 400 x 300.
    QSize sizeHint() const override;
    /// The same as SmallestSize().
    QSize minimumSizeHint() const override;
    ///@}

    /** @name Drawing commands
     *  Commands that append items to the display lists, and the drawing state
     *  new items take. */
    ///@{

    // =================================================================
    // Drawing commands (commands.cpp)
    //
    // First use:
    //     chart->Scale1X()->SetRangeHigh(100);          // layer 1: X 0 ... 100
    //     chart->Scale1Y()->SetRangeLow(-1.2);          // Y -1.2 ... 1.2 (a new axis
    //     chart->Scale1Y()->SetRangeHigh(1.2);          // shows 0 ... 1)
    //     chart->MoveTo(0.0, 0.0);                      // world values of layer 1
    //     for (int i = 1; i <= 100; ++i) chart->DrawTo(i * 1.0, std::sin(0.2 * i));
    //     chart->MarkAt(50.0, std::sin(10.0), 9);       // a filled square on the curve
    //     chart->update();                              // shows the new items
    //
    // FitToData() instead of the two Y lines sets the ranges to the data.
    //
    // Every command appends one item (the bulk commands many) to the data
    // list, or to the annotation list while AnnotationMode is on. Items take
    // the current drawing state: CurrentLayer, ClassDefault, DataColor (pen
    // and text colour), FillColor (brush and text background), PenStyle,
    // LineWidth (pixels) and TransparentShapes. Changing the state later
    // changes only later items.
    //
    // Coordinates: double = world value of the current layer, int = pixel of
    // the data area from its top-left corner (chart/commands.h gives the full
    // rule). The data list always stores world values: pixel forms matter in
    // AnnotationMode. A command never paints; it marks the picture stale, so
    // the next paint event (update(), repaint(), grab()) shows the new items.
    //
    // Texts of at most 17 bytes are kept in the item itself; a longer text
    // takes one of the list's 50 long-text entries. Text items use TextFont's
    // name, style and size, TextAlignment and TextBkStyle (tbSolid: an opaque
    // background in FillColor).
    //
    // The chart's 50 text labels (TextLabel(n)) are another way to show a
    // text: they start hidden and attached to the data (AttachToData tlamBoth:
    // PosX/PosY are world values of the label's Layer); call SetMode(tlsimple)
    // and SetVisible(true) to show one, or SetAttachToData(tlamNone) for
    // pixel positions.
    // =================================================================

    /// Moves the pen to (x, y) without drawing.
    template <TCoordArgument X, TCoordArgument Y>
    void MoveTo(X x, Y y)
    {
        commands_detail::CheckCoords<X, Y>();
        AppendItem(ikMoveTo, x, y, commands_detail::PointMode<X, Y>());
    }
    /// Draws a line from the pen position to (x, y); runs of these are drawn as one polyline.
    template <TCoordArgument X, TCoordArgument Y>
    void DrawTo(X x, Y y)
    {
        commands_detail::CheckCoords<X, Y>();
        AppendItem(ikLineTo, x, y, commands_detail::PointMode<X, Y>());
    }
    /// Draws mark `markType` (0 ... 51 symbols, 52 ... 255 characters) centred on
    /// (x, y). A world mark outside the layer's ranges is not drawn.
    template <TCoordArgument X, TCoordArgument Y>
        requires TWholePoint<X, Y>
    void MarkAt(X x, Y y, int markType)
    {
        commands_detail::CheckCoords<X, Y>();
        AddMark(x, y, markType, commands_detail::PointMode<X, Y>());
    }
    /// A segment from (x1, y1) to (x2, y2).
    template <TCoordArgument X1, TCoordArgument Y1, TCoordArgument X2, TCoordArgument Y2>
        requires TPointPairModes<X1, Y1, X2, Y2>
    void Line(X1 x1, Y1 y1, X2 x2, Y2 y2)
    {
        commands_detail::CheckCoords<X1, Y1, X2, Y2>();
        AddTwoPoint(ikLine, x1, y1, x2, y2, Mode2<X1, Y1, X2, Y2>());
    }
    /// A rectangle with corners (x1, y1) and (x2, y2), both included; filled
    /// with FillColor unless TransparentShapes.
    template <TCoordArgument X1, TCoordArgument Y1, TCoordArgument X2, TCoordArgument Y2>
        requires TPointPairModes<X1, Y1, X2, Y2>
    void Rectangle(X1 x1, Y1 y1, X2 x2, Y2 y2)
    {
        commands_detail::CheckCoords<X1, Y1, X2, Y2>();
        AddTwoPoint(ikRectangle, x1, y1, x2, y2, Mode2<X1, Y1, X2, Y2>());
    }
    /// A rectangle filled with FillColor in a 3D frame (fsLowered, fsRaised,
    /// fsEmbossed, fsEngraved; other styles draw no frame). fsLowered draws the
    /// left and top edges in firstEdge and the others in secondEdge, fsRaised
    /// the reverse.
    template <TCoordArgument X1, TCoordArgument Y1, TCoordArgument X2, TCoordArgument Y2>
        requires TPointPairModes<X1, Y1, X2, Y2>
    void RectFrame(X1 x1, Y1 y1, X2 x2, Y2 y2, TFrameStyle style, TColor firstEdge = 0x808080,
                   TColor secondEdge = 0xFFFFFF)
    {
        commands_detail::CheckCoords<X1, Y1, X2, Y2>();
        AddFramedRect(x1, y1, x2, y2, Mode2<X1, Y1, X2, Y2>(), style, firstEdge, secondEdge);
    }
    /// A 3D bar between the world corners (x1, y1) and (x2, y2) with its top and
    /// side faces `depth` pixels deep at `angleDegrees` (0 ... 180).
    void Bar3D(double x1, double y1, double x2, double y2, int angleDegrees, TPixels depth);
    /// A text centred vertically on (x, y); "\n" starts a new line. Raises
    /// EQornKurvoError when the text needs a long-text entry and all 50 of the
    /// list are taken (nothing is added then).
    template <TCoordArgument X, TCoordArgument Y>
    void Text(X x, Y y, std::string_view text)
    {
        commands_detail::CheckCoords<X, Y>();
        AddText(ikText, x, y, 0, 0, text, commands_detail::PointMode<X, Y>());
    }
    /// A text at world (x, y) shifted by (dx, dy) pixels (a label beside a point).
    void TextOffset(double x, double y, TPixels dx, TPixels dy, std::string_view text)
    {
        AddText(ikOffsetText, x, y, dx.Value, dy.Value, text, 0);
    }
    /// An ellipse centred on world (x, y) with world half-axes radiusX, radiusY.
    void Ellipse(double x, double y, double radiusX, double radiusY);
    /// Moves the pen by (dx, dy) pixels.
    void MoveRel(TPixels dx, TPixels dy);
    /// Draws a line from the pen position by (dx, dy) pixels.
    void DrawRel(TPixels dx, TPixels dy);
    /// A segment with an arrow head of `headLength` pixels at (x2, y2) (open
    /// heads while TransparentShapes; 0 draws no head).
    template <TCoordArgument X1, TCoordArgument Y1, TCoordArgument X2, TCoordArgument Y2>
        requires TAnyTwoPointModes<X1, Y1, X2, Y2>
    void Arrow(X1 x1, Y1 y1, X2 x2, Y2 y2, TPixels headLength = 10)
    {
        commands_detail::CheckCoords<X1, Y1, X2, Y2>();
        AddArrow(ikArrow, x1, y1, x2, y2, Mode2<X1, Y1, X2, Y2>(), headLength.Value);
    }
    /// As Arrow, with heads at both ends.
    template <TCoordArgument X1, TCoordArgument Y1, TCoordArgument X2, TCoordArgument Y2>
        requires TAnyTwoPointModes<X1, Y1, X2, Y2>
    void DoubleArrow(X1 x1, Y1 y1, X2 x2, Y2 y2, TPixels headLength = 10)
    {
        commands_detail::CheckCoords<X1, Y1, X2, Y2>();
        AddArrow(ikDoubleArrow, x1, y1, x2, y2, Mode2<X1, Y1, X2, Y2>(), headLength.Value);
    }
    /// A rectangle of +-halfWidth x +-halfHeight pixels around world (x, y).
    void Box(double x, double y, TPixels halfWidth, TPixels halfHeight);
    /// Mark `markType` at world (x, y) with error bars from y - lowError to
    /// y + highError (from x - lowError to x + highError when `horizontal`).
    void ErrorBar(double x, double y, double lowError, double highError, int markType, bool horizontal = false);
    /// A segment between two world points, both shifted by (dx, dy) pixels.
    void ShiftedLine(double x1, double y1, double x2, double y2, TPixels dx, TPixels dy);
    /// An elliptic arc around world (x, y) with world half-axes radiusX,
    /// radiusY, counter-clockwise from startDegrees to endDegrees (0 = east).
    /// Angles are taken modulo 360; a non-finite angle raises EQornKurvoError.
    void Arc(double x, double y, double radiusX, double radiusY, double startDegrees, double endDegrees);
    /// A segment from world (x, y) by (dx, dy) pixels (the pen ends at its tip).
    void Vector(double x, double y, TPixels dx, TPixels dy);
    /// A line across the whole data area at x (world, or pixel for an int).
    template <TCoordArgument X>
    void VertLine(X x)
    {
        commands_detail::CheckCoords<X>();
        AppendItem(ikVertLine, x, 0.0, commands_detail::IsPixel<X> ? 1 : 0);
    }
    /// A line across the whole data area at y (world, or pixel for an int).
    template <TCoordArgument Y>
    void HorizLine(Y y)
    {
        commands_detail::CheckCoords<Y>();
        AppendItem(ikHorizLine, 0.0, y, commands_detail::IsPixel<Y> ? 1 : 0);
    }
    /// A plus sign of half sizes (halfWidth, halfHeight) around (x, y): all
    /// world, all pixels, or a world centre with pixel half sizes.
    template <TCoordArgument X, TCoordArgument Y, TCoordArgument W, TCoordArgument H>
        requires(TPointPairModes<X, Y, W, H> && commands_detail::TwoPointMode<X, Y, W, H>() != 3)
    void Cross(X x, Y y, W halfWidth, H halfHeight)
    {
        commands_detail::CheckCoords<X, Y, W, H>();
        AddTwoPoint(ikCross, x, y, halfWidth, halfHeight, Mode2<X, Y, W, H>());
    }

    // Bulk commands: the same items as the single commands in a loop, added
    // in one step.

    /// A polyline through the world points (x[i], y[i]): a MoveTo and DrawTo
    /// items. Raises EQornKurvoError ("DrawPolyline: n X values but m Y
    /// values; both must have the same length.") when x and y differ in length.
    void DrawPolyline(std::span<const double> x, std::span<const double> y);
    /// Pointer form of DrawPolyline(); a null pointer counts as no points.
    void DrawPolyline(const double* x, const double* y, std::size_t count)
    {
        DrawPolyline(std::span<const double>(x, x != nullptr ? count : 0),
                     std::span<const double>(y, y != nullptr ? count : 0));
    }
    /// Mark `markType` at each world point (x[i], y[i]). Raises EQornKurvoError
    /// ("DrawMarks: ...") when x and y differ in length.
    void DrawMarks(std::span<const double> x, std::span<const double> y, int markType);

    /// Empties the data list, its item counters, long texts and line views
    /// (whose files close; their memory is not read again). The storage
    /// is kept for the next items unless releaseStorage. Charts sharing this
    /// data (UseDataOf) stay joined and all show the emptied list.
    void ClearData(bool releaseStorage = false);
    /// Empties the annotation list and its long texts.
    void ClearAnnotations();

    /// Sets the ranges of `layer` (0: every layer) to the bounding box of its
    /// data items, shown series (with the baseline of bars and areas) and
    /// line views (the points read so far of a file view),
    /// widened by marginPercent of the width on each side (0 ...
    /// 1000). Non-finite values are skipped, a logarithmic axis counts only
    /// positive values, a layer without such values keeps its ranges, a
    /// reversed axis stays reversed and a range never gets narrower than the
    /// axis's MinRange. Paints once.
    void FitToData(int layer = 0, double marginPercent = 0.0);

    // Drawing state.
    void SetCurrentLayer(int value);  ///< 1 ... 16, clamped
    /// Sets AnnotationMode().
    void SetAnnotationMode(bool value);
    /// Rectangles, ellipses and boxes without fill, arrows with open heads.
    bool TransparentShapes() const;
    /// Sets TransparentShapes().
    void SetTransparentShapes(bool value);
    // =================================================================

    /// Step by which the display lists grow, in items: 1 ... 1000000, default
    /// 1000; other values are ignored.
    int AllocSize() const;
    /// Sets AllocSize().
    void SetAllocSize(int value);
    /// Class of new items, 0 ... 254, default 0; 255 is ignored.
    std::uint8_t ClassDefault() const;
    /// Sets ClassDefault().
    void SetClassDefault(int value);
    /// Whether new items go to the annotation list (pixel coordinates allowed).
    bool AnnotationMode() const;
    /// The layer of new items, 1 ... 16.
    int CurrentLayer() const;

    /// Colour of new items; default black. Used by later items only.
    TColor DataColor() const;
    /// Sets DataColor().
    void SetDataColor(TColor value);
    /// Fill colour of new items; default silver (12632256). Used by later items only.
    TColor FillColor() const;
    /// Sets FillColor().
    void SetFillColor(TColor value);
    /// Alias of FillColor().
    TColor TextBkColor() const;
    /// Sets TextBkColor().
    void SetTextBkColor(TColor value);
    /// Pen style of new items; default psSolid.
    TPenStyle PenStyle() const;
    /// Sets PenStyle().
    void SetPenStyle(TPenStyle value);
    /// Pen width of new items, pixels; default 1.
    std::uint8_t LineWidth() const;
    /// Sets LineWidth().
    void SetLineWidth(std::uint8_t value);

    /// Font of the text items; default a copy of the control's font.
    TFont& TextFont();
    /// Sets TextFont().
    void SetTextFont(const TFont& value);
    /// Style of TextFont(); default none.
    TFontStyles TextFontStyle() const;
    /// Sets TextFontStyle().
    void SetTextFontStyle(TFontStyles value);
    /// Background of text items; default tbClear.
    TTextBkg TextBkStyle() const;
    /// Sets TextBkStyle().
    void SetTextBkStyle(TTextBkg value);
    /// Alignment of text items at their point; default taCenter.
    TAlignment TextAlignment() const;
    /// Sets TextAlignment().
    void SetTextAlignment(TAlignment value);

    /// MarkAt with a named mark.
    template <TCoord X, TCoord Y>
        requires TWholePoint<X, Y>
    void MarkAt(X x, Y y, TMark mark) { MarkAt(x, y, MarkType(mark)); }
    /// DrawMarks with a named mark.
    void DrawMarks(std::span<const double> x, std::span<const double> y, TMark mark)
    {
        DrawMarks(x, y, MarkType(mark));
    }
    ///@}

    /** @name Display lists and data sharing
     *  Reading the display lists, long series and sharing one chart's data. */
    ///@{

    /// The data list, for reading (tests, renderers of user code).
    const TItemList& DataList() const;
    /// The annotation list.
    const TItemList& AnnotationList() const;
    /// Items in the data list.
    int DataCount() const;
    /// Items the data list has room for.
    int DataCapacity() const;
    /// Item `index` of the data list, rebuilt from its storage; a zeroed item
    /// at and beyond Count.
    TkvChartItem DataItem(int index) const;
    /// Number of items of `kind` (0 ... 24) added so far; 0 for other kinds.
    int ItemCounter(int kind) const;
    /// Long texts of the data list (index 1 ... 50).
    const TLongTextArray& DataLongTexts() const;
    /// Long texts of the annotation list.
    const TLongTextArray& AnnotationLongTexts() const;

    /// The bulk form of DrawTo: n line-to items at (x[i], y[i]) with the
    /// current attributes, in the list DrawTo would use (with coordinate mode
    /// `mode` in the annotation list). Equal line-to items are stored in
    /// compact form at memory speed. All or nothing: when memory runs out,
    /// std::bad_alloc leaves the list as it was.
    void AppendLinePoints(const double* x, const double* y, std::int64_t n, std::uint8_t mode = 4);
    /// Bytes the data list's storage holds now (shared storage included).
    std::int64_t DataBytes() const;
    /// Long runs of thin solid line-to items are drawn per pixel column (the
    /// first, lowest, highest and last point of each column) instead of point
    /// by point, lines to the pixel the line is on are left out, and long
    /// runs of marks are stamped once per pixel position; the picture stays
    /// the same. On by default; off draws every item, as the reference these
    /// paths are compared with.
    bool LineRunReduction() const;
    /// Sets LineRunReduction().
    void SetLineRunReduction(bool value);

    /// The chart whose data list this chart shows, or null (default) for its own.
    TCustomKurvo* UseDataOf() const;
    /// Sets UseDataOf().
    void SetUseDataOf(TCustomKurvo* value);
    /// Number of charts showing this chart's data.
    int SharerCount() const;
    /// Chart `index` of those showing this chart's data, 0 ... SharerCount() - 1.
    TCustomKurvo* Sharer(int index) const;
    ///@}

    /** @name Line views
     *  Lines drawn from the program's own arrays and from sample files. */
    ///@{

    // Views are part of the chart's data, as its items are: ClearData removes
    // them, Assign gives the copy views of its own over the same memory and
    // the same files (a file is mapped and read once), and a chart showing
    // another's data (UseDataOf) shows, adds and removes that chart's views
    // and keeps copies when it leaves or the owner is destroyed. Removing or
    // changing a view repaints every chart showing it. OnBeforeRenderChartItem
    // is not raised for their points, which are not items.

    /// A line through (x[i], y[i]) read from the program's own arrays at
    /// every paint, never copied: only per-column structures of about 1 %
    /// of the data's size are kept. Drawn after the data list's items, with
    /// the pen colour, width, style, layer and class a DrawTo would take
    /// now, as a move to the first point and a line to each further one
    /// (non-finite points leave gaps). The arrays must stay valid until the
    /// view is removed or the chart is destroyed; see TKurvoSampleView.
    /// Returns the view's number. Raises EQornKurvoError for arrays of
    /// different lengths.
    int AddLineView(std::span<const double> x, std::span<const double> y);
    /// A line view over samples of any type (see TKurvoSampleView). Raises
    /// EQornKurvoError for a view that cannot be read (no data, a channel
    /// outside the stride, too few X values, non-finite scale or spacing).
    int AddLineView(const TKurvoSampleView& view);
    /// The samples of view `view` changed in place: its structures are
    /// rebuilt and the chart repaints. An unknown number is ignored.
    void DataChanged(int view);
    /// View `view` now reads `samples` (the same program data, grown or
    /// moved, such as a vector after push_back); points before `from` kept
    /// their values, so the structures are extended from there only (pass
    /// 0 when anything may have changed).
    void DataChanged(int view, const TKurvoSampleView& samples, std::int64_t from);
    /// Removes view `view` (a file view also closes its file); afterwards
    /// the chart no longer reads its memory.
    void RemoveLineView(int view);
    /// The numbers of the views, in drawing order.
    std::vector<int> LineViews() const;
    /// Points of view `view` whose structures are built (all of them but
    /// while a file view is being read); -1 for an unknown number.
    std::int64_t LineViewReady(int view) const;
    /// Why view `view` is no longer drawn (a file that shrank, memory that
    /// ran out); empty while it is drawn.
    QString LineViewError(int view) const;
    /// Bytes the views' own structures hold.
    std::int64_t LineViewBytes() const;
    /// Opens a raw binary file of samples as a line view without reading it
    /// whole: the file is mapped into memory, its structures are built by a
    /// worker thread, OnLineViewProgress reports the points ready, and each
    /// paint draws those. Raises EQornKurvoError when the file cannot be
    /// opened or mapped, is shorter than its header, or its samples do not
    /// fill whole points of every channel. The file stays open until the
    /// view is removed; one that shrinks meanwhile stops being drawn
    /// (OnLineViewError) rather than being read past its end.
    int OpenSampleFile(const QString& path, const TSampleFileLayout& layout);
    ///@}

    /** @name Axes and layers
     *  The 16 layers, their ranges, axes and coupling, and world-pixel mapping. */
    ///@{

    /// Recomputes the world-to-pixel factors of every layer from its ranges and
    /// the data area; does nothing while loading. Raises EQornKurvoError
    /// ("Logarithmic axis must not be negative.") for a logarithmic axis with
    /// a bound <= 0, and so can any setter that recomputes them.
    virtual void CalcTransforms();
    /// Pixel of the data area (from the control's top-left) of world point
    /// (x, y) of `layer` (1 ... 16), clamped to the drawable range.
    void WorldToPixel(int layer, double x, double y, int& xPix, int& yPix) const;
    /// World point of `layer` under pixel (xPix, yPix); the inverse of WorldToPixel.
    void PixelToWorld(int layer, int xPix, int yPix, double& x, double& y) const;
    /// Sets the ranges of `layer` (clamped to 1 ... 16), world units. An axis
    /// another layer controls keeps its range; layers coupled to this one
    /// follow. `pushHistory` records the ranges in the zoom history, `limit`
    /// cuts them to PanLimits(). Paints once.
    void SetLayerRanges(int layer, bool pushHistory, double xLow, double yLow, double xHigh, double yHigh, bool limit);
    /// Sets the ranges of `layer` alone, without the coupling of JointLayers().
    void ApplyLayerRange(int layer, bool pushHistory, double xLow, double yLow, double xHigh, double yHigh,
                         bool limit);
    /// Stores the current ranges of every layer in the next zoom history slot.
    void PushZoomHistory();
    /// Empties the zoom history.
    void ClearZoomHistory();
    /// World-to-pixel factors of `layer` (clamped to 1 ... 16).
    const TLayerTransform& LayerTransform(int layer) const;

    /// The limits SetLayerRanges() applies when asked; all 0 (default) means none.
    const TPanLimits& PanLimits() const;
    /// Sets PanLimits().
    void SetPanLimits(const TPanLimits& limits);
    /// Slot 1 ... 16 of the zoom history for layer 1 ... 16.
    const TZoomRanges& ZoomHistory(int slot, int layer) const;
    /// The slot the next PushZoomHistory writes, 1 ... 16.
    int ZoomHistoryNext() const;

    /// Keeps one world unit equally long in X and Y by adjusting the Y range;
    /// default off.
    bool Isometric() const;
    /// Sets Isometric().
    void SetIsometric(bool value);

    /// The layer-coupling object (owned by the chart).
    TJointLayers* JointLayers();
    /// Takes the coupling tables of `value` (the own object keeps its owner and callback).
    void SetJointLayers(const TJointLayers& value);

    /// Axis property objects of layer 1 ... 16 (clamped).
    TScalePropsHoriz* ScaleX(int layer);
    /// Axis property object of Y of `layer` 1 ... 16 (clamped).
    TScalePropsVert* ScaleY(int layer);
    /// Read-only X axis property object of `layer`.
    const TScalePropsHoriz* ScaleX(int layer) const;
    /// Read-only Y axis property object of `layer`.
    const TScalePropsVert* ScaleY(int layer) const;
    /// Axis controls of layer 1 ... 16 (clamped).
    TScale* AxisX(int layer);
    /// Y axis control of `layer` 1 ... 16 (clamped).
    TScale* AxisY(int layer);

    /// The X axis property object of layer 1: ScaleX(1).
    TScalePropsHoriz* Scale1X() { return ScaleX(1); }
    /// The X axis property object of layer 2: ScaleX(2).
    TScalePropsHoriz* Scale2X() { return ScaleX(2); }
    /// The X axis property object of layer 3: ScaleX(3).
    TScalePropsHoriz* Scale3X() { return ScaleX(3); }
    /// The X axis property object of layer 4: ScaleX(4).
    TScalePropsHoriz* Scale4X() { return ScaleX(4); }
    /// The Y axis property object of layer 1: ScaleY(1).
    TScalePropsVert* Scale1Y() { return ScaleY(1); }
    /// The Y axis property object of layer 2: ScaleY(2).
    TScalePropsVert* Scale2Y() { return ScaleY(2); }
    /// The Y axis property object of layer 3: ScaleY(3).
    TScalePropsVert* Scale3Y() { return ScaleY(3); }
    /// The Y axis property object of layer 4: ScaleY(4).
    TScalePropsVert* Scale4Y() { return ScaleY(4); }
    /// Copies the given object's values into the own one.
    void SetScaleX(int layer, const TScalePropsHoriz& value);
    /// Copies the given object's values into the Y axis object of `layer`.
    void SetScaleY(int layer, const TScalePropsVert& value);

    /// Copies an axis object into its control.
    void SyncAxis(TScale& axis, const TScaleProps& props);
    /// Change handler of all axis objects: syncs every axis, re-applies the
    /// layer ranges and paints once.
    void SyncAllAxes();

    /// The standard layout last applied; default kvl_X1Bottom_Y1Left.
    TkvLayout StandardLayout() const;
    /// Applies a layout; the stored value is not changed (reading returns the earlier one).
    void SetStandardLayout(TkvLayout value);

    ///@}

    /** @name Appearance
     *  Colours, margins, shadow, grid, caption, background and themes. */
    ///@{

    /// Margins between the control's edge and the data area, in pixels (the
    /// axes and caption are drawn in them); defaults 50, 20, 20, 40 (left, right,
    /// top, bottom). Setting one re-lays the axes and repaints.
    int MarginLeft() const;
    /// Sets MarginLeft().
    void SetMarginLeft(int value);
    /// Right margin in pixels; see MarginLeft().
    int MarginRight() const;
    /// Sets MarginRight().
    void SetMarginRight(int value);
    /// Top margin in pixels; see MarginLeft().
    int MarginTop() const;
    /// Sets MarginTop().
    void SetMarginTop(int value);
    /// Bottom margin in pixels; see MarginLeft().
    int MarginBottom() const;
    /// Sets MarginBottom().
    void SetMarginBottom(int value);
    /// Alias of MarginLeft().
    int LRim() const;
    /// Sets LRim().
    void SetLRim(int value) { SetMarginLeft(value); }
    /// Alias of MarginRight().
    int RRim() const;
    /// Sets RRim().
    void SetRRim(int value) { SetMarginRight(value); }
    /// Alias of MarginTop().
    int TRim() const;
    /// Sets TRim().
    void SetTRim(int value) { SetMarginTop(value); }
    /// Alias of MarginBottom().
    int BRim() const;
    /// Sets BRim().
    void SetBRim(int value) { SetMarginBottom(value); }
    /// Width of the shadow beside the data area, 0 ... 32 pixels (clamped); default 0.
    int ShadowWidth() const;
    /// Sets ShadowWidth().
    void SetShadowWidth(int value);
    /// Form of the shadow; default ssFlying.
    TShadowStyle ShadowStyle() const;
    /// Sets ShadowStyle().
    void SetShadowStyle(TShadowStyle value);
    /// Colour of the shadow; default clGrayText.
    TColor ShadowColor() const;
    /// Sets ShadowColor().
    void SetShadowColor(TColor value);
    /// Colour behind the shadow; default clBtnFace.
    TColor ShadowBakColor() const;
    /// Sets ShadowBakColor().
    void SetShadowBakColor(TColor value);

    /// Colour of the frame around the data area; default black.
    TColor ChartFrameColor() const;
    /// Sets ChartFrameColor().
    void SetChartFrameColor(TColor value);
    /// Colour of the data area; default white.
    TColor ChartColor() const;
    /// Sets ChartColor().
    void SetChartColor(TColor value);
    /// Colour of the control around the data area; default clBtnFace.
    TColor WindColor() const;
    /// Sets WindColor().
    void SetWindColor(TColor value);
    /// Colour of the grid; default black.
    TColor GridColor() const;
    /// Sets GridColor().
    void SetGridColor(TColor value);

    /// The chart's colour setters with a QColor or one of Qt's named colours
    /// (Qt::red); each stores FromQColor() of the colour (see TColor).
    void SetDataColor(const QColor& value);
    /// Sets DataColor() to one of Qt's named colours (Qt::red).
    void SetDataColor(Qt::GlobalColor value);
    /// Sets FillColor() to a QColor.
    void SetFillColor(const QColor& value);
    /// Sets FillColor() to one of Qt's named colours (Qt::red).
    void SetFillColor(Qt::GlobalColor value);
    /// Sets ChartColor() to a QColor.
    void SetChartColor(const QColor& value);
    /// Sets ChartColor() to one of Qt's named colours (Qt::red).
    void SetChartColor(Qt::GlobalColor value);
    /// Sets WindColor() to a QColor.
    void SetWindColor(const QColor& value);
    /// Sets WindColor() to one of Qt's named colours (Qt::red).
    void SetWindColor(Qt::GlobalColor value);
    /// Sets GridColor() to a QColor.
    void SetGridColor(const QColor& value);
    /// Sets GridColor() to one of Qt's named colours (Qt::red).
    void SetGridColor(Qt::GlobalColor value);
    /// Sets ChartFrameColor() to a QColor.
    void SetChartFrameColor(const QColor& value);
    /// Sets ChartFrameColor() to one of Qt's named colours (Qt::red).
    void SetChartFrameColor(Qt::GlobalColor value);
    /// Sets ShadowColor() to a QColor.
    void SetShadowColor(const QColor& value);
    /// Sets ShadowColor() to one of Qt's named colours (Qt::red).
    void SetShadowColor(Qt::GlobalColor value);

    /// Form of the grid; default gsNone.
    GridStyleType GridStyle() const;
    /// Sets GridStyle().
    void SetGridStyle(GridStyleType value);
    /// Grid spacing in X: above 0 a world step, 0 the axis ticks, -1 ... -3 the
    /// axis ticks or subticks; values below -3 are ignored. Default 0.
    double GridDx() const;
    /// Sets GridDx().
    void SetGridDx(double value);
    /// Grid spacing in Y; see GridDx().
    double GridDy() const;
    /// Sets GridDy().
    void SetGridDy(double value);

    /// Caption of the chart, drawn in the margin; default empty.
    const std::string& Caption() const;
    /// Sets Caption().
    void SetCaption(const std::string& value);
    /// Caption width in percent of the data area, 5 ... 100 (clamped) or 0 for
    /// no limit; default 100.
    int CaptionTrim() const;
    /// Sets CaptionTrim().
    void SetCaptionTrim(int value);
    /// Caption offset from its anchor in X, pixels; default 0.
    int CaptionPosX() const;
    /// Sets CaptionPosX().
    void SetCaptionPosX(int value);
    /// Caption offset from its anchor in Y, pixels; default -16.
    int CaptionPosY() const;
    /// Sets CaptionPosY().
    void SetCaptionPosY(int value);
    /// Alignment of the caption at its anchor; default taRightJustify.
    TAlignment CaptionAlignment() const;
    /// Sets CaptionAlignment().
    void SetCaptionAlignment(TAlignment value);
    /// Horizontal anchor of the caption; default cahChartRight.
    TCaptionAnchorHoriz CaptionAnchorHoriz() const;
    /// Sets CaptionAnchorHoriz().
    void SetCaptionAnchorHoriz(TCaptionAnchorHoriz value);
    /// Vertical anchor of the caption; default cavChartTop.
    TCaptionAnchorVert CaptionAnchorVert() const;
    /// Sets CaptionAnchorVert().
    void SetCaptionAnchorVert(TCaptionAnchorVert value);

    /// The background-image object (owned by the chart).
    TBakGndImg* BackGroundImg();
    /// Takes the settings of `value` (the own object keeps its callback).
    void SetBackGroundImg(const TBakGndImg& value);

    /// Sets the chart's look (TKurvoTheme tells each) through the published
    /// setters, so that every value stays readable and can be changed
    /// afterwards: WindColor, ChartColor, ChartFrameColor, GridStyle,
    /// GridColor, ShadowColor, ShadowBakColor, DataColor, FillColor,
    /// Antialiased, the Font colour, each axis's ColorScale, label font
    /// colour, ShortTicks and TrimTrailingZeros, and the text labels' colours. Items
    /// already added keep their colours; layouts, sizes and fonts stay.
    /// Paints once. ktClassic gives back the settings of a new chart.
    void ApplyTheme(TKurvoTheme theme);
    /// The theme last applied; ktClassic for a new chart.
    TKurvoTheme Theme() const;
    /// Colour `index` (any int; the colours repeat after SeriesColorCount)
    /// of the theme's series colours, for the data of a series or layer:
    /// ktClassic and ktLight share ten colours that stand out on white,
    /// ktDark has brighter ones, ktSystem takes one of the two sets by the
    /// lightness of the palette's base colour.
    QColor SeriesColor(int index) const;
    /// Anti-aliased data: data lines, curves, marks, ellipses, arcs and
    /// polygons of the display lists are drawn with smooth edges, at every
    /// device pixel ratio; axes, ticks, grid and frames stay on whole pixels.
    /// Default off: the classic, aliased picture.
    bool Antialiased() const;
    /// Sets Antialiased().
    void SetAntialiased(bool value);
    ///@}

    /** @name Crosshairs and text labels
     *  The four crosshairs and fifty text labels. */
    ///@{

    /// Crosshair `index`, 1 ... 4 (clamped).
    TCrossHair* CrossHair(int index);
    /// Crosshair 1: CrossHair(1).
    TCrossHair* CrossHair1() { return CrossHair(1); }
    /// Crosshair 2: CrossHair(2).
    TCrossHair* CrossHair2() { return CrossHair(2); }
    /// Crosshair 3: CrossHair(3).
    TCrossHair* CrossHair3() { return CrossHair(3); }
    /// Crosshair 4: CrossHair(4).
    TCrossHair* CrossHair4() { return CrossHair(4); }
    /// Copies the values of `value` into crosshair `index` (1 ... 4, clamped).
    void SetCrossHair(int index, const TCrossHair& value);
    /// Text label `index`, 1 ... 50 (clamped).
    TTextLabel* TextLabel(int index);
    ///@}

    /** @name Interaction
     *  Mouse actions, wheel and keyboard, and the zoom history walk. */
    ///@{

    /// What a drag in the data area does (pan, zoom, rubber band, ...); default maNone.
    TMouseActMode MouseAction() const;
    /// Sets MouseAction().
    void SetMouseAction(TMouseActMode value);
    /// Keep the cursor the mouse action chose; default on.
    bool MouseCursorFixed() const;
    /// Sets MouseCursorFixed().
    void SetMouseCursorFixed(bool value);
    /// Colour of the mouse trace; default white.
    TColor MouseTraceColor() const;
    /// Sets MouseTraceColor().
    void SetMouseTraceColor(TColor value);
    /// Draw the mouse trace by inverting pixels; default on.
    bool MouseTraceInvert() const;
    /// Sets MouseTraceInvert().
    void SetMouseTraceInvert(bool value);
    /// Pan grid step in X, world units: pans snap to it; default 1.0.
    double PanGridDx() const;
    /// Sets PanGridDx().
    void SetPanGridDx(double value);
    /// Pan grid step in Y, world units; default 1.0.
    double PanGridDy() const;
    /// Sets PanGridDy().
    void SetPanGridDy(double value);
    /// Pan grid offset in X, world units; default 0.0.
    double PanGridOffsX() const;
    /// Sets PanGridOffsX().
    void SetPanGridOffsX(double value);
    /// Pan grid offset in Y, world units; default 0.0.
    double PanGridOffsY() const;
    /// Sets PanGridOffsY().
    void SetPanGridOffsY(double value);

    // Opt-in interactions (chart/interaction.h); with both switches off the
    // chart behaves as without them.

    /// WheelZoom: the wheel over the data area zooms the layers the mouse
    /// actions move, over an axis band that axis alone, about the pointer:
    /// the world point under it stays there (in log space on a logarithmic
    /// axis). One notch forward shows 1/1.25 of the span; pan limits cut the
    /// range, MinRange and unusable ranges stop the zoom; OnZoomPan follows.
    bool WheelZoom() const;
    /// Sets WheelZoom(); off by default.
    void SetWheelZoom(bool value);
    /// KeyboardActions: arrow keys pan by a tenth of the range (like a pan, a
    /// pan limit stops it), Escape cancels a zoom window, rubber band or
    /// selection being drawn, Backspace is UndoZoom and Shift+Backspace RedoZoom.
    /// While on, the chart takes the focus by Tab as well as by a click (Qt's
    /// strong focus policy), and a Tab OnKeyDown leaves unused moves the
    /// focus on; while off, a click alone gives the focus and Tab stays.
    bool KeyboardActions() const;
    /// Sets KeyboardActions(); default off.
    void SetKeyboardActions(bool value);
    /// Goes back one view in the zoom history (chart/interaction.h tells
    /// how); true when the view changed. Nothing happens while a mouse
    /// gesture is in progress, here and in RedoZoom().
    bool UndoZoom();
    /// Goes forward again to a view UndoZoom() left; true when the view changed.
    bool RedoZoom();
    /// Whether UndoZoom() has a view to go back to.
    bool CanUndoZoom() const;
    /// Whether RedoZoom() has a view to go forward to.
    bool CanRedoZoom() const;
    /// Ends a zoom window, rubber band or selection being drawn without any
    /// effect and erases its figure; false when none was drawn.
    bool CancelWindowFigure();
    /// Raises OnKeyDown, then handles the keys of KeyboardActions() a
    /// handler left.
    void KeyDown(int& key, TShiftState shift) override;
    /// The wheel zoom while WheelZoom() is on.
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;

    /// Raises OnMouseDown; a press on the legend toggles its entry, and a
    /// zoom window, rubber band or selection starts in the data area.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    /// Runs the mouse action of a pointer move.
    void MouseMove(TShiftState shift, int x, int y) override;
    /// Ends a drag and raises its events.
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    /// Over an axis band, switches that axis's MouseAction between maPan and
    /// maZoom; then raises OnDblClick.
    void DblClick() override;
    /// Raises OnMouseEnter.
    void MouseEnter() override;
    /// Raises OnMouseLeave.
    void MouseLeave() override;
    /// A pointer move as the platform reports it: MouseMove(), the hover,
    /// then OnMouseMoveInChart; a move that arrives while the previous one
    /// is handled is dropped.
    void WMMouseMove(TShiftState shift, int x, int y) override;
    /// Arrow keys and Tab reach the chart inside dialogs too.
    int WantedDialogCodes() const override { return 3; }
    /// Layer of the Y axis band under pixel (x, y), minus the layer of an X
    /// axis band, 0 for none.
    int AxisHitTest(int x, int y) const;
    /// Whether a drag is in progress.
    bool Dragging() const;
    /// Whether a zoom window is being drawn.
    TZoomState ZoomState() const;
    /// Points of the mouse trace.
    const std::vector<TMouseTracePoint>& MouseTrace() const;
    /// Whether mouse actions work on `layer`; only layer 1 at creation.
    bool MouseLayer(int layer) const;
    ///@}

    /** @name Painting
     *  Painting, the paint hooks a subclass may override, and its switches. */
    ///@{

    /// Repaint after every change of a property; default on.
    bool AutoRedraw() const;
    /// Sets AutoRedraw().
    void SetAutoRedraw(bool value);

    /// Composes the picture off-screen and shows it in one copy; does
    /// nothing while the chart is hidden, loading or its painting suspended.
    void Paint() override;
    /// Draws the data-area background (image or ChartColor) at the given pixel rectangle.
    virtual void DrawBackground(TCanvas& canvas, int left, int top, int width, int height);
    /// Draws the data area onto `bitmap` at (offsetX, offsetY).
    virtual void RenderDataToBitmap(TBitmap& bitmap, int offsetX, int offsetY, bool monochrome, bool skipGrid);
    /// Draws the grid, the items and the frame of the data area onto `canvas`;
    /// `monochrome` draws black on white, `skipGrid` leaves the grid out.
    virtual void RenderData(TCanvas& canvas, int offsetX, int offsetY, bool monochrome, bool skipGrid);
    /// While set, property changes do not paint.
    virtual void SetPaintSuspended(bool value);
    /// Whether painting is suspended.
    bool PaintSuspended() const;

    /// Skip marks that fall within MinDupMarkDist() pixels of one already drawn; default off.
    bool AvoidDuplicateMarks() const;
    /// Sets AvoidDuplicateMarks().
    void SetAvoidDuplicateMarks(bool value);
    /// Distance of AvoidDuplicateMarks(), 1 ... 3 pixels (clamped); default 1.
    int MinDupMarkDist() const;
    /// Sets MinDupMarkDist().
    void SetMinDupMarkDist(int value);
    ///@}

    /** @name Export
     *  The chart's picture as an image, a file, a printed page or on a painter. */
    ///@{

    /// (chart/export.cpp) The chart's picture at any size and device pixel
    /// ratio, as files and on any QPainter device. For a different size the
    /// chart is laid out off-screen (the widget is never resized and no resize
    /// event reaches Qt) and gets its own size and picture back afterwards. A
    /// chart that was never shown gives its full picture as well. A width or
    /// height of 0 means the chart's own. Sizes are limited to
    /// MaxExportSide pixels a side and MaxExportPixels in all, both in
    /// logical and in device pixels; ratios to MinDevicePixelRatio ...
    /// MaxDevicePixelRatio. Every failure raises EQornKurvoError.
    ///
    /// Files: a path is a QString or UTF-8 text; one holding a NUL character
    /// is refused. A file is written to a temporary file beside it and
    /// renamed into place once complete, so that a failure (a full disk, a
    /// folder that cannot be written) raises and leaves no partial file
    /// and an existing file as it was. Symbolic links are followed; a
    /// target that is no regular file (a device) is written directly.
    QImage ToImage(int width = 0, int height = 0, double ratio = 1.0);
    /// PNG, BMP or JPEG by the file's extension (.png, .bmp, .jpg, .jpeg,
    /// any case; any other is refused); the file records ratio x 96 pixels
    /// per inch.
    void SaveToImage(const QString& path, int width = 0, int height = 0, double ratio = 1.0);
    /// SaveToImage() with a UTF-8 path.
    void SaveToImage(const std::string& path, int width = 0, int height = 0, double ratio = 1.0);
    /// SaveToImage() with a UTF-8 path.
    void SaveToImage(const char* path, int width = 0, int height = 0, double ratio = 1.0);
    /// One page of the chart's own size (96 chart pixels to the inch) in
    /// vector form. The PDF page is a printer's page (printer fonts and line
    /// forms of the bitmap marks). The path must end in .pdf (any case):
    /// another extension is refused with EQornKurvoError, nothing is added.
    void SaveToPdf(const QString& path);
    /// SaveToPdf() with a UTF-8 path.
    void SaveToPdf(const std::string& path);
    /// SaveToPdf() with a UTF-8 path.
    void SaveToPdf(const char* path);
    /// The chart as an SVG picture of its own size in pixels (width and
    /// height without unit, and the view box, are the chart's); it is no
    /// printer's page. Every text in it is XML text, whatever it holds:
    /// characters XML cannot hold are left out. The path must end in .svg
    /// (any case): another extension is refused with EQornKurvoError,
    /// nothing is added.
    void SaveToSvg(const QString& path);
    /// SaveToSvg() with a UTF-8 path.
    void SaveToSvg(const std::string& path);
    /// SaveToSvg() with a UTF-8 path.
    void SaveToSvg(const char* path);
    /// The chart on one page of the printer, laid out at 96 chart pixels to
    /// the inch: by default at the largest size of its own aspect ratio that
    /// fits the printable area, centred on it; plFillPage fills the whole
    /// area instead.
    void Print(QPrinter& printer, TPrintLayout layout = plKeepAspect);
    /// Draws the chart at its current size through an active painter, one
    /// painter unit per chart pixel, without its bitmaps.
    void PaintTo(QPainter& painter, bool printerPage = false);
    ///@}

    /** @name Series and legend
     *  Series with their data and look, the legend, nearest point and hover. */
    ///@{

    // ------------------------------------------------- series, legend, nearest point, hover
    // (chart/series.h, chart/legend.h). Series are drawn in the data area
    // after the data items and before the annotations, in the order they
    // were added; the legend after everything else of the data area (or of
    // the margins, when it lies outside). Every paint, export, PaintTo and
    // Print shows both. Series belong to their chart: charts that share
    // data (UseDataOf) share display-list items only, and each shows its
    // own series; Assign copies them. OnBeforeRenderChartItem is not raised
    // for series points, which are not items.

    /// A new series named `name` on `layer` (1 ... 16; 0 = CurrentLayer),
    /// drawn after the earlier ones. Raises EQornKurvoError for another layer;
    /// null when a handler of OnSeriesChange removed it again.
    TKurvoSeries* AddSeries(std::string_view name, int layer = 0);
    /// AddSeries() with a QString name.
    TKurvoSeries* AddSeries(const QString& name, int layer = 0);
    /// AddSeries() with a C string name; null counts as an empty name.
    TKurvoSeries* AddSeries(const char* name, int layer = 0)
    {
        return AddSeries(std::string_view(name != nullptr ? name : ""), layer);
    }
    /// Deletes `series`; every pointer to it is invalid afterwards. A pointer
    /// that is not one of this chart's series (another chart's, one removed
    /// before, null) raises EQornKurvoError and is never used.
    void RemoveSeries(TKurvoSeries* series);
    /// Deletes every series.
    void ClearSeries();
    /// Number of series.
    int SeriesCount() const;
    /// Series `index`, 0 ... SeriesCount() - 1 in drawing order; raises
    /// EQornKurvoError for another index.
    TKurvoSeries* Series(int index) const;
    /// The index of `series`, or -1 when it is not one of this chart's.
    int IndexOfSeries(const TKurvoSeries* series) const;
    /// The legend of the series (owned by the chart).
    TKurvoLegend* Legend();
    /// The legend, for reading.
    const TKurvoLegend* Legend() const;
    /// The drawn point of a shown series closest to `pixel` (pixels of the
    /// control, as mouse events give them) within `maxDistancePx` pixels, or
    /// nothing. Only points inside the data area count; distances are those
    /// of the drawn pixels; of two equally close points the one drawn later
    /// wins. Uses the transforms of the last paint or range change.
    std::optional<TSeriesPoint> NearestPoint(QPoint pixel, int maxDistancePx = 8) const;
    /// FitToData for the layer of `series`, to the finite points of that
    /// series alone. Raises EQornKurvoError for a series of another chart.
    void FitToData(const TKurvoSeries* series, double marginPercent = 0.0);
    /// Hover: while on, every pointer move over the data area looks for the
    /// nearest point within HoverDistance(), shows a tool tip with its
    /// series' name and its X and Y in the formats of the layer's axes, and
    /// raises OnHoverPointChange when the point changes; while the pointer
    /// rests, it looks again after each paint. Default off.
    bool HoverTracking() const;
    /// Sets HoverTracking().
    void SetHoverTracking(bool value);
    /// Pixels within which the hover finds a point, 1 ... 100 (clamped); default 8.
    int HoverDistance() const;
    /// Sets HoverDistance().
    void SetHoverDistance(int value);
    /// The point the hover shows now, if any.
    std::optional<TSeriesPoint> HoverPoint() const;
    ///@}

    /** @name Events
     *  Handlers user code assigns; an unassigned event is not raised. */
    ///@{

    /// Forwarded from every axis control, with the chart as sender.
    TScaleTickDrawnEvent OnScaleTickDrawn;
    /// Forwarded from every axis control, with the chart as sender; the handler
    /// may change the label text.
    TBeforeTickLabelEvent OnBeforeTickLabel;
    /// Raised before the grid and the items are drawn; pen and brush colours the
    /// handler sets are restored afterwards.
    TRenderEvent OnBeforeRenderData;
    /// Raised after the items are drawn, before the frame of the data area.
    TRenderEvent OnDataRendered;
    /// Raised after the axes are drawn, on the control bitmap (top and left 0).
    TRenderEvent OnScalesRendered;
    /// See TBeforeRenderChartItemEvent.
    TBeforeRenderChartItemEvent OnBeforeRenderChartItem;
    /// Raised on the chart's thread while a file view is built: `ready` of
    /// `total` points are drawn now (the last time, ready == total).
    std::function<void(TObject* sender, int view, std::int64_t ready, std::int64_t total)> OnLineViewProgress;
    /// Raised when view `view` stops being drawn, with the reason.
    std::function<void(TObject* sender, int view, const QString& message)> OnLineViewError;
    /// See TBeforeRenderTextEvent.
    TBeforeRenderTextEvent OnBeforeRenderText;
    /// Raised once after a pan or zoom changed layer ranges.
    TZoomPanEvent OnZoomPan;
    /// A rubber-band line was finished (MouseAction maRubberBand).
    TSelectRectEvent OnRubberBand;
    /// A selection rectangle was finished (MouseAction maSelect).
    TSelectRectEvent OnSelectRect;
    /// See TBeforeCrossHMoveEvent.
    TBeforeCrossHMoveEvent OnBeforeCrossHairMove;
    /// See TCrossHairMoveEvent.
    TCrossHairMoveEvent OnCrossHairMove;
    /// See TTextLabelMoveEvent.
    TTextLabelMoveEvent OnTextLabelMove;
    /// See TMouseMoveInChartEvent.
    TMouseMoveInChartEvent OnMouseMoveInChart;
    /// The pointer entered the control.
    TNotifyEvent OnMouseEnter;
    /// The pointer left the control.
    TNotifyEvent OnMouseLeave;

    /// See THoverPointChangeEvent.
    THoverPointChangeEvent OnHoverPointChange;
    /// See TLegendClickEvent; raised after a click toggled the series.
    TLegendClickEvent OnLegendClick;
    /// See TSeriesChangeEvent.
    TSeriesChangeEvent OnSeriesChange;
    ///@}

    // ------------------------------------------------- Qt signals
    // The events above a program may want to connect to also go out as Qt
    // signals, each right after its On... handler and with the same values
    // (chart/raise_event.h raises both). Which to use:
    //  - An On... event has one handler, called synchronously inside the
    //    chart's own step, before the chart goes on; handlers of some events
    //    change values passed by reference (a tick label, an item about to be
    //    drawn, AllowMove) and the paint hooks run inside a paint. Use them to
    //    take part in what the chart does.
    //  - A signal is for connecting: any number of receivers, slots of other
    //    objects (disconnected when either side is destroyed), queued
    //    connections and receivers in other threads. Its arguments are Qt and
    //    plain types, so queued connections need no registration. A signal
    //    reports; it cannot change what the chart does.
    // The paint hooks, the veto OnBeforeCrossHairMove and the control's own
    // mouse and key events have no signal: the first two only make sense
    // synchronously, the last are QWidget's events.
Q_SIGNALS:
    /// Beside OnZoomPan: a pan, zoom drag, zoom window, axis drag, wheel
    /// zoom, arrow-key pan, UndoZoom or RedoZoom changed the view (a finished
    /// rubber band or selection raises it too, as OnZoomPan does).
    void viewChanged();
    /// Beside OnMouseMoveInChart, the last signal of every pointer move:
    /// `world` is the point under the pointer on the current layer (also
    /// outside the data area), `inDataArea` whether the pointer is over it.
    void pointerMoved(const QPointF& world, bool inDataArea);
    /// Beside OnRubberBand: a rubber band of `layer` was finished, from the
    /// world point `start` to `end`.
    void rubberBandDrawn(int layer, const QPointF& start, const QPointF& end);
    /// Beside OnSelectRect: a selection rectangle of `layer` was finished;
    /// `low` to `high` run in the direction of each axis (a reversed axis
    /// gives low.x() > high.x()).
    void rectangleSelected(int layer, const QPointF& low, const QPointF& high);
    /// Beside OnCrossHairMove: crosshair `index` (1 ... 4) was dragged to the
    /// world point `position` of its layer.
    void crossHairMoved(int index, const QPointF& position);
    /// Beside OnTextLabelMove: text label `index` (1 ... 50) was dragged;
    /// `position` is its new PosX, PosY (world or pixel values as the
    /// label's AttachToData says).
    void textLabelMoved(int index, const QPointF& position);
    /// Beside OnMouseEnter: the pointer entered the control.
    void mouseEntered();
    /// Beside OnMouseLeave: the pointer left the control.
    void mouseLeft();
    /// Beside OnSeriesChange: series `seriesIndex` (Series(seriesIndex)) was
    /// added, shown or hidden; -1 after series were removed or cleared.
    /// Signals carry indices, not pointers: a queued slot gets no pointer
    /// that may have died on the way.
    void seriesChanged(int seriesIndex);
    /// Beside OnHoverPointChange: the hover shows point `pointIndex` of series
    /// `seriesIndex` at the world point `position`; seriesIndex -1 when it
    /// shows none.
    void hoverPointChanged(int seriesIndex, qint64 pointIndex, const QPointF& position);
    /// Beside OnLegendClick: the legend entry of series `seriesIndex` was
    /// clicked (after the click toggled it, when clicks toggle).
    void legendEntryClicked(int seriesIndex);
    /// Beside OnLineViewProgress: `ready` of `total` points of file view
    /// `view` are built and drawn.
    void lineViewProgress(int view, qint64 ready, qint64 total);
    /// Beside OnLineViewError: view `view` stopped being drawn, for `message`.
    void lineViewFailed(int view, const QString& message);

protected:
    /// Restores every setting to its value after construction.
    void SetDefaults();

    /// Shows the picture; the first paint event starts the zoom history
    /// UndoZoom() walks (ranges set before it are not views to go back to).
    void paintEvent(QPaintEvent* event) override;

private:
    // geometry helpers
    int DataWidth() const;
    int DataHeight() const;
    bool InDataArea(int x, int y) const;
    void ResizeDataBitmap();
    void MarginGeometry();
    void IsometricAdjust(int layer);
    void SyncAxisMargins(int layer);
    void InstallAxisCallbacks(int layer);
    void ClearEvents();
    void SetAxisLoadingFlags(bool value);
    /// Stores a range as a layer range change does; false when a logarithmic
    /// axis refused both bounds.
    bool StoreRange(TScaleProps& props, double low, double high);
    void ApplyLayoutRow(TkvLayout layout);
    /// Runs f with SyncAllAxes deferred, then syncs once when anything asked for it.
    void WithDeferredSync(const std::function<void()>& f);

    // display list helpers
    TItemList& TargetList();
    /// Grows Capacity in AllocSize steps until `added` more items fit and
    /// reserves that room in the storage the list holds.
    void GrowList(TItemList& list, std::int64_t added);
    /// Grows the list, lets `append` add `added` items to its storage at
    /// Count and counts them; all or nothing (display_list.cpp).
    template <class F>
    void AppendToList(TItemList& list, std::int64_t added, F&& append);
    void PropagateSharedData();
    void TakeSharedData(const TCustomKurvo& from);
    void RemoveSharer(TCustomKurvo* sharer);
    // Unlinks every sharer of this chart, leaving each with storage no other chart writes.
    void ReleaseSharers();

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

    // ---- drawing commands (commands.cpp)
    /// The common body of every drawing command: an item of `kind` at (x, y)
    /// with the current drawing state.
    void AppendItem(std::uint8_t kind, double x, double y, std::uint8_t mode);
    template <class X1, class Y1, class X2, class Y2>
    static constexpr std::uint8_t Mode2()
    {
        return static_cast<std::uint8_t>(commands_detail::TwoPointMode<X1, Y1, X2, Y2>());
    }
    /// An item of `kind` with the current drawing state.
    TkvChartItem NewItem(std::uint8_t kind, std::uint8_t mode) const;
    /// NewItem with the first point (x1, y1) and the second values (x2, y2).
    TkvChartItem NewItem(std::uint8_t kind, std::uint8_t mode, double x1, double y1, double x2, double y2) const;
    /// Appends a filled-in item to the target list.
    void PushItem(const TkvChartItem& item);
    /// Appends n items at (x[i], y[i]): the first like `first`, the others
    /// like `rest`; line-to items fill compact runs directly. All or nothing.
    void AppendPoints(TkvChartItem first, TkvChartItem rest, const double* x, const double* y, std::int64_t n);
    void AddMark(double x, double y, int markType, std::uint8_t mode);
    void AddTwoPoint(std::uint8_t kind, double x1, double y1, double x2, double y2, std::uint8_t mode);
    void AddFramedRect(double x1, double y1, double x2, double y2, std::uint8_t mode, TFrameStyle style,
                       TColor firstEdge, TColor secondEdge);
    void AddArrow(std::uint8_t kind, double x1, double y1, double x2, double y2, std::uint8_t mode, int head);
    void AddText(std::uint8_t kind, double x, double y, int dx, int dy, std::string_view text, std::uint8_t mode);
    /// Hands the data list's long texts to every chart sharing the data.
    void ShareDataLongTexts();

private:
    // All state lives in the private class (chart/kurvo_private.h).
    std::unique_ptr<TCustomKurvoPrivate> d;
    friend class TCustomKurvoPrivate;
};

/// The published chart: window creation ends the suspension of painting.
/// It offers every drawing command of TCustomKurvo by public inheritance;
/// TCustomKurvo's page lists its members by topic.
///
/// Its main settings are also Qt properties of the same names, for Qt
/// Designer, .ui files and setProperty(): MarginLeft, MarginRight,
/// MarginTop, MarginBottom, ShadowWidth, ShadowStyle, ChartColor,
/// WindColor, ChartFrameColor, GridColor, ShadowColor and DataColor (as
/// QColor), Caption (as QString), GridStyle, MouseAction,
/// MouseCursorFixed, WheelZoom, KeyboardActions and Isometric.
class KURVO_EXPORT TKurvo : public TCustomKurvo {
    Q_OBJECT
    /// MarginLeft()
    Q_PROPERTY(int MarginLeft READ MarginLeft WRITE SetMarginLeft)
    /// MarginRight()
    Q_PROPERTY(int MarginRight READ MarginRight WRITE SetMarginRight)
    /// MarginTop()
    Q_PROPERTY(int MarginTop READ MarginTop WRITE SetMarginTop)
    /// MarginBottom()
    Q_PROPERTY(int MarginBottom READ MarginBottom WRITE SetMarginBottom)
    /// ShadowWidth()
    Q_PROPERTY(int ShadowWidth READ ShadowWidth WRITE SetShadowWidth)
    /// ShadowStyle()
    Q_PROPERTY(kurvo::TShadowStyle ShadowStyle READ ShadowStyle WRITE SetShadowStyle)
    /// ChartColor(), as a QColor
    Q_PROPERTY(QColor ChartColor READ QtChartColor WRITE SetQtChartColor)
    /// WindColor(), as a QColor
    Q_PROPERTY(QColor WindColor READ QtWindColor WRITE SetQtWindColor)
    /// ChartFrameColor(), as a QColor
    Q_PROPERTY(QColor ChartFrameColor READ QtChartFrameColor WRITE SetQtChartFrameColor)
    /// GridColor(), as a QColor
    Q_PROPERTY(QColor GridColor READ QtGridColor WRITE SetQtGridColor)
    /// ShadowColor(), as a QColor
    Q_PROPERTY(QColor ShadowColor READ QtShadowColor WRITE SetQtShadowColor)
    /// DataColor(), as a QColor
    Q_PROPERTY(QColor DataColor READ QtDataColor WRITE SetQtDataColor)
    /// Caption(), as a QString
    Q_PROPERTY(QString Caption READ QtCaption WRITE SetQtCaption)
    /// GridStyle()
    Q_PROPERTY(kurvo::GridStyleType GridStyle READ GridStyle WRITE SetGridStyle)
    /// MouseAction()
    Q_PROPERTY(kurvo::TMouseActMode MouseAction READ MouseAction WRITE SetMouseAction)
    /// MouseCursorFixed()
    Q_PROPERTY(bool MouseCursorFixed READ MouseCursorFixed WRITE SetMouseCursorFixed)
    /// WheelZoom()
    Q_PROPERTY(bool WheelZoom READ WheelZoom WRITE SetWheelZoom)
    /// KeyboardActions()
    Q_PROPERTY(bool KeyboardActions READ KeyboardActions WRITE SetKeyboardActions)
    /// Isometric()
    Q_PROPERTY(bool Isometric READ Isometric WRITE SetIsometric)

public:
    /// A chart control inside `parentWidget`; the constructor uic calls for
    /// a form's chart, also one promoted from a plain QWidget.
    explicit TKurvo(QWidget* parentWidget = nullptr) : TCustomKurvo(parentWidget) {}
    std::string ClassName() const override { return "TKurvo"; }

protected:
    void CreateWnd() override;
    /// Before the window exists (a chart never shown), a paint event comes
    /// from QWidget::grab() or render(): it shows the picture ToImage() gives,
    /// while painting stays held until the window is created.
    void paintEvent(QPaintEvent* event) override;

private:
    // The Qt-typed sides of the colour and text properties (chart/qt_properties.cpp).
    QColor QtChartColor() const;
    void SetQtChartColor(const QColor& value);
    QColor QtWindColor() const;
    void SetQtWindColor(const QColor& value);
    QColor QtChartFrameColor() const;
    void SetQtChartFrameColor(const QColor& value);
    QColor QtGridColor() const;
    void SetQtGridColor(const QColor& value);
    QColor QtShadowColor() const;
    void SetQtShadowColor(const QColor& value);
    QColor QtDataColor() const;
    void SetQtDataColor(const QColor& value);
    QString QtCaption() const;
    void SetQtCaption(const QString& value);
};

}  // namespace kurvo
