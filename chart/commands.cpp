// The public drawing commands: one per item kind, the bulk commands, clearing
// and fitting the ranges to the data.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "chart/thread_rule.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace kurvo {

namespace {

constexpr double kLogFloor = 1e-100;

std::int32_t WrappedAngle(double degrees)
{
    if (!std::isfinite(degrees)) throw EQornKurvoError("Arc angles must be finite numbers.");
    // The item keeps angles in units of 1e-8 radian in 32 bits: one turn fits.
    const double turn = std::fmod(degrees, 360.0);
    return static_cast<std::int32_t>(std::lrint(turn * std::numbers::pi / 180.0 * 1e8));
}

}  // namespace

// ------------------------------------------------------------ single items

void TCustomKurvo::AddMark(double x, double y, int markType, std::uint8_t mode)
{
    TkvChartItem item = NewItem(ikMark, mode, x, y, 0.0, 0.0);
    item.Shape = markType;
    // The character-mark size when printing.
    item.Size = d->FTextFont.Size();
    PushItem(item);
}

void TCustomKurvo::AddTwoPoint(std::uint8_t kind, double x1, double y1, double x2, double y2, std::uint8_t mode)
{
    PushItem(NewItem(kind, mode, x1, y1, x2, y2));
}

void TCustomKurvo::AddFramedRect(double x1, double y1, double x2, double y2, std::uint8_t mode, TFrameStyle style,
                                 TColor firstEdge, TColor secondEdge)
{
    TkvChartItem item = NewItem(ikFramedRect, mode, x1, y1, x2, y2);
    item.Style = style;
    item.Extra[0] = firstEdge;
    item.Extra[1] = secondEdge;
    PushItem(item);
}

void TCustomKurvo::AddArrow(std::uint8_t kind, double x1, double y1, double x2, double y2, std::uint8_t mode,
                            int head)
{
    TkvChartItem item = NewItem(kind, mode, x1, y1, x2, y2);
    item.Size = std::max(head, 0);
    PushItem(item);
}

void TCustomKurvo::AddText(std::uint8_t kind, double x, double y, int dx, int dy, std::string_view text,
                           std::uint8_t mode)
{
    TkvChartItem item = NewItem(kind, mode, x, y, dx, dy);
    item.Size = d->FTextFont.Size();
    item.Size2 = d->FTextBkStyle == tbSolid ? 1 : 0;
    item.Shape = d->FTextAlignment;  // 0 left, 1 right, 2 centred, as TAlignment
    const bool annotation = d->FAnnotationMode;
    TLongTextArray& texts = d->FLongTexts[annotation ? 1 : 0];
    if (text.size() <= static_cast<std::size_t>(TShortText::MaxLength)) {
        item.LineWidth = 0;  // in text items the text index: 0 is the item's own text
        item.ShortText.Assign(text);
        PushItem(item);
        return;
    }
    if (texts.Count >= TLongTextArray::Size)
        throw EQornKurvoError("Kurvo: all 50 long texts of the " +
                              std::string(annotation ? "annotation" : "data") +
                              " list are in use; a text longer than 17 bytes cannot be added before the list is "
                              "cleared.");
    // Taken only once the item is in: a failed append leaves the entry free.
    item.LineWidth = texts.Count + 1;
    PushItem(item);
    texts.Texts[texts.Count] = std::string(text);
    ++texts.Count;
    if (!annotation) ShareDataLongTexts();
}

void TCustomKurvo::Bar3D(double x1, double y1, double x2, double y2, int angleDegrees, TPixels depth)
{
    TkvChartItem item = NewItem(ikBar3D, 0, x1, y1, x2, y2);
    item.Size = angleDegrees;
    item.Size2 = depth.Value;
    PushItem(item);
}

void TCustomKurvo::Ellipse(double x, double y, double radiusX, double radiusY)
{
    AddTwoPoint(ikEllipse, x, y, radiusX, radiusY, 0);
}

void TCustomKurvo::MoveRel(TPixels dx, TPixels dy) { AppendItem(ikMoveRel, dx.Value, dy.Value, 1); }

void TCustomKurvo::DrawRel(TPixels dx, TPixels dy) { AppendItem(ikLineRel, dx.Value, dy.Value, 1); }

void TCustomKurvo::Box(double x, double y, TPixels halfWidth, TPixels halfHeight)
{
    TkvChartItem item = NewItem(ikBox, 0, x, y, 0.0, 0.0);
    item.Size = halfWidth.Value;
    item.Size2 = halfHeight.Value;
    PushItem(item);
}

void TCustomKurvo::ErrorBar(double x, double y, double lowError, double highError, int markType, bool horizontal)
{
    TkvChartItem item = NewItem(ikErrorBar, 0, x, y, lowError, highError);
    item.Shape = markType;
    item.Size = horizontal ? 1 : 0;
    PushItem(item);
}

void TCustomKurvo::ShiftedLine(double x1, double y1, double x2, double y2, TPixels dx, TPixels dy)
{
    TkvChartItem item = NewItem(ikShiftedLine, 0, x1, y1, x2, y2);
    item.Size = dx.Value;
    item.Size2 = dy.Value;
    PushItem(item);
}

void TCustomKurvo::Arc(double x, double y, double radiusX, double radiusY, double startDegrees, double endDegrees)
{
    TkvChartItem item = NewItem(ikArc, 0, x, y, radiusX, radiusY);
    item.Size = WrappedAngle(startDegrees);
    item.Size2 = WrappedAngle(endDegrees);
    PushItem(item);
}

void TCustomKurvo::Vector(double x, double y, TPixels dx, TPixels dy)
{
    AddTwoPoint(ikVector, x, y, dx.Value, dy.Value, 0);
}

void TCustomKurvo::SetCurrentLayer(int value) { d->FCurrentLayer = ClampLayer(value); }

// ------------------------------------------------------------------- bulk

void TCustomKurvo::DrawPolyline(std::span<const double> x, std::span<const double> y)
{
    // 1. validate
    if (x.size() != y.size())
        throw EQornKurvoError("DrawPolyline: " + std::to_string(x.size()) + " X values but " +
                              std::to_string(y.size()) + " Y values; both must have the same length.");
    if (x.empty()) return;
    if (x.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) throw std::bad_alloc();
    const auto n = static_cast<std::int64_t>(x.size());
    // 2. the items the single commands would make, world coordinates,
    // appended in one step (the line-to items straight into compact form)
    AppendPoints(NewItem(ikMoveTo, 0), NewItem(ikLineTo, 0), x.data(), y.data(), n);
}

void TCustomKurvo::DrawMarks(std::span<const double> x, std::span<const double> y, int markType)
{
    if (x.size() != y.size())
        throw EQornKurvoError("DrawMarks: " + std::to_string(x.size()) + " X values but " +
                              std::to_string(y.size()) + " Y values; both must have the same length.");
    if (x.empty()) return;
    if (x.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) throw std::bad_alloc();
    const auto n = static_cast<std::int64_t>(x.size());
    TkvChartItem mark = NewItem(ikMark, 0);
    mark.Shape = markType;
    mark.Size = d->FTextFont.Size();
    AppendPoints(mark, mark, x.data(), y.data(), n);
}

// ---------------------------------------------------------------- clearing

void TCustomKurvo::ClearData(bool releaseStorage)
{
    CheckChartThread(*this, "ClearData");
    if (releaseStorage) {
        d->FData.Clear();
    } else {
        // Refilling a cleared chart then costs no allocation; the items
        // beyond the new Count read as zero, as unused slots always do.
        d->FData.Items->Truncate(0);
        d->FData.Count = 0;
    }
    d->FItemCounters.fill(0);
    d->FItemCounters[0] = 1;
    d->FLongTexts[0].Clear();
    // The line views go with the items: their files close, their memory is
    // not read again (by any chart of the share).
    d->LineViews().Clear();
    MarkStale();
    // Every chart of the share holds the one list: all of them see it empty,
    // and none keeps a Capacity beyond storage that was released.
    TCustomKurvo* owner = d->FUseDataOf != nullptr ? d->FUseDataOf : this;
    auto take = [this, releaseStorage](TCustomKurvo& other) {
        if (&other == this) return;
        other.TakeSharedData(*this);
        if (releaseStorage) other.d->FData.Capacity = 0;
        other.d->FLongTexts[0].Clear();
    };
    take(*owner);
    for (int i = 0; i < owner->d->FSharerCount; ++i)
        if (owner->d->FSharers[i] != nullptr) take(*owner->d->FSharers[i]);
}

void TCustomKurvo::ClearAnnotations()
{
    CheckChartThread(*this, "ClearAnnotations");
    d->FAnnot.Clear();
    d->FLongTexts[1].Clear();
    MarkStale();
}

void TCustomKurvo::ShareDataLongTexts()
{
    TCustomKurvo* owner = d->FUseDataOf != nullptr ? d->FUseDataOf : this;
    if (owner != this) owner->d->FLongTexts[0] = d->FLongTexts[0];
    for (int i = 0; i < owner->d->FSharerCount; ++i) {
        TCustomKurvo* sharer = owner->d->FSharers[i];
        if (sharer != nullptr && sharer != this) sharer->d->FLongTexts[0] = d->FLongTexts[0];
    }
}

}  // namespace kurvo
