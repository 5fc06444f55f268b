// Series: a named, styled set of points that a chart owns and draws, and
// that its legend lists.
//
//     kurvo::TKurvoSeries* s = chart->AddSeries("temperature");
//     s->SetData(xs, ys);                          // std::span<const double> each
//     s->SetPen(QColor(200, 40, 40), 2);
//     s->Append(101.0, 20.5);                      // the view follows at the next paint
//
// A series keeps its points in the compact form of long line runs (about
// 17 bytes a point); a line series of millions of points is drawn per pixel
// column and pans as fast as a bare polyline. Points whose X or Y is NaN or
// infinite are kept as gaps: a line breaks there and no mark is drawn.
#pragma once

#include "../base/marks.h"
#include "../canvas/Qorn_object.h"
#include "../canvas/kurvo_export.h"
#include "../chart/sample_view.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kurvo {

class TCustomKurvo;
class TKurvoSeries;
class TSeriesPrivate;

/// How a series draws its points.
enum class TSeriesStyle : std::uint8_t {
    Line,          ///< a polyline through the points
    Marks,         ///< a mark at every point (scatter)
    LineAndMarks,  ///< the polyline, then a mark at every point
    StepsLeft,     ///< steps: a point's Y holds until the next point's X
    StepsCenter,   ///< steps: Y changes halfway between two points
    StepsRight,    ///< steps: a point's Y holds from the previous point's X
    Bars,          ///< a bar from Baseline() to each point, BarWidth() wide
    Area           ///< the polyline, filled down to Baseline() or to FillTo()
};

/// The extent of a series' finite points in world units.
struct TDataRange {
    double XMin = 0.0;  ///< smallest X
    double XMax = 0.0;  ///< largest X
    double YMin = 0.0;  ///< smallest Y
    double YMax = 0.0;  ///< largest Y
};

/// One point of a series, as NearestPoint and the hover report it.
struct TSeriesPoint {
    TKurvoSeries* Series = nullptr;  ///< the series, owned by the chart
    std::int64_t Index = 0;  ///< index of the point in the series, 0 ... Count() - 1
    double X = 0.0;  ///< world X of the point
    double Y = 0.0;  ///< world Y of the point
    friend bool operator==(const TSeriesPoint&, const TSeriesPoint&) = default;
};

/// The hovered point changed; `point` is empty when the pointer left every point.
using THoverPointChangeEvent = std::function<void(TObject* sender, const std::optional<TSeriesPoint>& point)>;
/// A legend entry was clicked; `series` is its series.
using TLegendClickEvent = std::function<void(TObject* sender, TKurvoSeries* series)>;
/// A series was added (`series` is it), removed or cleared away (`series`
/// is null) or shown or hidden (`series` is it).
using TSeriesChangeEvent = std::function<void(TObject* sender, TKurvoSeries* series)>;

/// A named, styled set of points. Series are made by TCustomKurvo::AddSeries
/// and belong to their chart: RemoveSeries, ClearSeries and the chart's
/// destruction delete them, after which a pointer to one is invalid. Data
/// changes ask the chart for a repaint (coalesced into the next paint
/// event); style setters repaint at once when AutoRedraw is on.
class KURVO_EXPORT TKurvoSeries : public TObject {
public:
    /// Capacity() of a series that keeps every point (the default).
    static constexpr std::int64_t Unlimited = std::numeric_limits<std::int64_t>::max();

    ~TKurvoSeries() override;
    TKurvoSeries(const TKurvoSeries&) = delete;
    TKurvoSeries& operator=(const TKurvoSeries&) = delete;
    std::string ClassName() const override { return "TKurvoSeries"; }

    /// The chart the series belongs to.
    TCustomKurvo* Chart() const;

    // ------------------------------------------------- data
    /// Replaces the points by (x[i], y[i]). Raises EQornKurvoError when the
    /// spans differ in length; the old points stay then.
    void SetData(std::span<const double> x, std::span<const double> y);
    /// Replaces the points by `points`.
    void SetData(std::span<const QPointF> points);
    /// Appends one point; constant time. With a Capacity() the oldest
    /// point beyond it is dropped.
    void Append(double x, double y);
    /// Appends `point`.
    void Append(QPointF point) { Append(point.x(), point.y()); }
    /// Appends the points (x[i], y[i]) at memory speed; all or nothing (a
    /// length mismatch raises EQornKurvoError, a failed allocation
    /// std::bad_alloc, and the series is unchanged).
    void Append(std::span<const double> x, std::span<const double> y);
    /// Removes every point.
    void Clear();
    /// Number of points, gaps included.
    std::int64_t Count() const;
    ///@{
    /// X and Y of point `index` (0 ... Count() - 1) as given, NaN and
    /// infinities included. Raises EQornKurvoError for another index.
    double X(std::int64_t index) const;
    double Y(std::int64_t index) const;
    ///@}
    /// The extent of the finite points; empty when there are none.
    std::optional<TDataRange> DataRange() const;

    // ------------------------------------------------- points the program keeps
    /// The series reads its points from `view` (the program's samples, see
    /// TKurvoSampleView) instead of keeping them: nothing is copied, only
    /// per-column structures of a few per cent of the data are built. Its
    /// own points are dropped. Name, legend entry, pen, marks, every style,
    /// visibility, FitToData, NearestPoint, hover and FollowNewest work as
    /// with points of its own; long lines are drawn per pixel column. The
    /// memory must stay valid until the series reads other data (SetView,
    /// SetData, Clear), is removed or its chart is destroyed. Append and
    /// SetCapacity raise EQornKurvoError meanwhile; SetData and Clear go
    /// back to points of its own. Raises EQornKurvoError for a view that
    /// cannot be read and for a series with a Capacity().
    void SetView(const TKurvoSampleView& view);
    /// Whether the points are read from a view (SetView).
    bool HasView() const;
    /// The view the points are read from; an empty view without one.
    TKurvoSampleView View() const;
    /// The view's samples changed in place: the structures are rebuilt and
    /// the chart repaints. Nothing happens without a view.
    void DataChanged();
    /// The series now reads `view` (the same data grown or moved, such as a
    /// vector after push_back); points before `from` kept their values, so
    /// the structures are extended from there (0 when anything may have
    /// changed). Raises EQornKurvoError without a view (use SetView) or for
    /// a view that cannot be read.
    void DataChanged(const TKurvoSampleView& view, std::int64_t from);

    ///@{
    /// Streaming: the series keeps only its last `n` points (n >= 1; a ring,
    /// constant time per appended point). Unlimited keeps every point
    /// (default). Lowering it drops the oldest points at once. Raises
    /// EQornKurvoError for n < 1.
    std::int64_t Capacity() const;
    void SetCapacity(std::int64_t n);
    ///@}
    ///@{
    /// The layer's X range follows the newest point: at every paint after
    /// new points the range keeps its width and ends at the newest finite X
    /// (in the direction the axis runs; on a logarithmic axis its ratio).
    /// Default off.
    bool FollowNewest() const;
    void SetFollowNewest(bool value);
    ///@}

    // ------------------------------------------------- look
    ///@{
    /// The name the legend and the hover show; an empty name keeps the
    /// series out of the legend.
    const std::string& Name() const;
    void SetName(std::string_view value);
    void SetName(const QString& value);
    void SetName(const char* value) { SetName(std::string_view(value != nullptr ? value : "")); }
    ///@}
    ///@{
    /// The layer 1 ... 16 whose ranges map the points (default: the chart's
    /// CurrentLayer when it was added). Raises EQornKurvoError outside 1 ... 16.
    int Layer() const;
    void SetLayer(int value);
    ///@}
    ///@{
    /// Hidden series draw nothing, are left out of the legend, NearestPoint
    /// and FitToData. Default shown.
    bool Visible() const;
    void SetVisible(bool value);
    ///@}
    /// The pen of lines, steps, outlines and marks: a colour, a width of 1
    /// ... 1000 pixels (others are clamped) and a style (Qt::NoPen draws no
    /// line; Qt::CustomDashLine counts as a solid line). An invalid colour
    /// raises EQornKurvoError. The default colour is the next of ten in the
    /// order series are added, width 1, solid.
    void SetPen(const QColor& color, int width = 1, Qt::PenStyle style = Qt::SolidLine);
    QColor PenColor() const;  ///< see SetPen()
    int PenWidth() const;  ///< see SetPen()
    Qt::PenStyle PenStyle() const;  ///< see SetPen()
    ///@{
    /// The fill of bars and areas. An invalid colour (the default) fills
    /// with a light tint of the pen colour.
    QColor Brush() const;
    void SetBrush(const QColor& color);
    ///@}
    /// The mark of the styles Marks and LineAndMarks, in the pen colour.
    /// `sizePx` 0 (default) draws the mark's own pixel pattern, as MarkAt
    /// does; 1 ... MaxMarkSize draws the same shape that many pixels wide
    /// (see DrawMark). Raises EQornKurvoError for other sizes. Default
    /// TMark::FilledCircle.
    void SetMark(TMark mark, int sizePx = 0);
    TMark Mark() const;  ///< see SetMark()
    int MarkSize() const;  ///< see SetMark()
    ///@{
    /// How the points are drawn; default TSeriesStyle::Line.
    TSeriesStyle Style() const;
    void SetStyle(TSeriesStyle value);
    ///@}
    ///@{
    /// The world Y that bars start from and areas are filled to; default 0.
    /// A non-finite value raises EQornKurvoError.
    double Baseline() const;
    void SetBaseline(double value);
    ///@}
    ///@{
    /// Width of bars in world X units; 0 (default) chooses 0.8 of the
    /// smallest X distance between neighbouring drawn points. Negative or
    /// non-finite values raise EQornKurvoError.
    double BarWidth() const;
    void SetBarWidth(double value);
    ///@}
    ///@{
    /// An area is filled to this series (another series of the same chart)
    /// instead of to the baseline; null (default) fills to the baseline. The
    /// link ends when that series is removed. Raises EQornKurvoError for a
    /// series of another chart or for the series itself.
    const TKurvoSeries* FillTo() const;
    void SetFillTo(const TKurvoSeries* other);
    ///@}

private:
    friend class TCustomKurvo;
    friend class TSeriesPrivate;
    TKurvoSeries(TCustomKurvo& chart, std::string_view name, int layer);

    std::unique_ptr<TSeriesPrivate> d;
};

}  // namespace kurvo
