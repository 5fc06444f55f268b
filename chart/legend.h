// The legend of a chart's series: one entry per shown, named series, in the
// order they were added, each with a sample of its line, mark or fill.
//
//     chart->Legend()->SetVisible(true);
//     chart->Legend()->SetPlacement(kurvo::TLegendPlacement::InsideTopLeft);
//     chart->Legend()->SetClickToggles(true);   // a click on an entry shows or hides its series
#pragma once

#include "../canvas/Qorn_object.h"
#include "../canvas/kurvo_export.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <memory>

namespace kurvo {

class TCustomKurvo;
class TKurvoSeries;
class TLegendPrivate;

/// Where the legend is drawn.
enum class TLegendPlacement : std::uint8_t {
    InsideTopLeft,      ///< in the data area's top left corner
    InsideTopRight,     ///< in the data area's top right corner (default)
    InsideBottomLeft,   ///< in the data area's bottom left corner
    InsideBottomRight,  ///< in the data area's bottom right corner
    OutsideRight,       ///< in the right margin, at the control's right edge, from the data area's top
    OutsideBottom       ///< in the bottom margin, at the control's bottom edge, entries side by side
};

/// The legend of a chart (TCustomKurvo::Legend()). Inside placements lie
/// over the data area, drawn after everything else there; outside ones in
/// the margin, drawn after the data area has been put in place (before the
/// crosshairs). The chart never changes its margins for the legend: an
/// outside legend needs a margin that holds Size(), and overlaps the data
/// area where the margin is narrower. Every setter repaints when AutoRedraw
/// is on. Hidden by default.
class KURVO_EXPORT TKurvoLegend : public TObject {
public:
    ~TKurvoLegend() override;
    TKurvoLegend(const TKurvoLegend&) = delete;
    TKurvoLegend& operator=(const TKurvoLegend&) = delete;
    std::string ClassName() const override { return "TKurvoLegend"; }

    ///@{
    /// Whether the legend is drawn; default off.
    bool Visible() const;
    void SetVisible(bool value);
    ///@}
    ///@{
    /// Where it is drawn; default InsideTopRight.
    TLegendPlacement Placement() const;
    void SetPlacement(TLegendPlacement value);
    ///@}
    ///@{
    /// Colour of the frame around the legend; an invalid or fully
    /// transparent colour draws no frame. Default black.
    QColor FrameColor() const;
    void SetFrameColor(const QColor& value);
    ///@}
    ///@{
    /// Colour behind the entries; an invalid or fully transparent colour
    /// leaves the chart visible behind them. Default white.
    QColor BackgroundColor() const;
    void SetBackgroundColor(const QColor& value);
    ///@}
    ///@{
    /// Colour of the names; default black.
    QColor TextColor() const;
    void SetTextColor(const QColor& value);
    ///@}
    ///@{
    /// Font of the names (family, point size, bold, italic, underline,
    /// strike-out); default the chart's font when the legend was made.
    QFont Font() const;
    void SetFont(const QFont& value);
    ///@}
    ///@{
    /// A left click on an entry shows or hides its series; default off.
    /// Hidden named series keep a grey entry while it is on. A press on the
    /// legend starts no mouse action while it is on or the chart's
    /// OnLegendClick is assigned; a left click on an entry then raises
    /// OnLegendClick (after the toggle).
    bool ClickToggles() const;
    void SetClickToggles(bool value);
    ///@}

    /// Size in pixels of the legend for the current entries and font; empty
    /// when it has no entry.
    QSize Size() const;
    /// Where the legend lies now, in pixels of the control; empty when it is
    /// hidden or has no entry.
    QRect Geometry() const;
    /// The series whose entry lies under `pixel` (pixels of the control), or
    /// null.
    TKurvoSeries* SeriesAt(QPoint pixel) const;

private:
    friend class TCustomKurvo;
    friend class TLegendPrivate;
    explicit TKurvoLegend(TCustomKurvo& chart);

    std::unique_ptr<TLegendPrivate> d;
};

}  // namespace kurvo
