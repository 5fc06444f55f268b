// The legend: layout, drawing and hit testing of its entries.
#include "chart/legend.h"

#include "base/marks.h"
#include "canvas/qt_interop.h"
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "chart/series_private.h"

#include <algorithm>
#include <cmath>

namespace kurvo {

namespace {

// Pixels: inside the frame, between a sample and its name, between entries
// side by side, of a line sample, and from the data area's edge or the
// control's edge.
constexpr int kPadding = 5;
constexpr int kSampleGap = 6;
constexpr int kEntryGap = 14;
constexpr int kSampleWidth = 24;
constexpr int kInset = 8;
// Hidden series keep their entry (greyed) while clicks toggle them.
constexpr TColor kHiddenColor = clGray;

bool Shows(const QColor& c) { return c.isValid() && c.alpha() > 0; }

bool Inside(TLegendPlacement p)
{
    return p != TLegendPlacement::OutsideRight && p != TLegendPlacement::OutsideBottom;
}

void UseFont(TCanvas& canvas, const TFont& font)
{
    const int size = font.Size();
    canvas.Font() = font;
    canvas.Font().SetPixelsPerInch(CanvasLogPixelsY(canvas));
    canvas.Font().SetSize(size);
}

void Sample(TCanvas& canvas, const TSeriesPrivate& s, QRect r, bool hidden)
{
    const TColor pen = hidden ? kHiddenColor : s.PenColor;
    const int cy = r.top() + r.height() / 2;
    const int x1 = r.left();
    const int x2 = r.left() + kSampleWidth;
    canvas.Pen().SetColor(pen);
    canvas.Pen().SetWidth(std::min(s.PenWidth, 4));
    canvas.Pen().SetStyle(s.PenStyle == psClear ? psSolid : s.PenStyle);
    switch (s.Style) {
        case TSeriesStyle::Bars:
        case TSeriesStyle::Area: {
            canvas.Pen().SetWidth(1);
            canvas.Pen().SetStyle(psSolid);
            const TColor fill = hidden ? clSilver : s.FillColor();
            if (s.PenStyle == psClear) canvas.Pen().SetColor(fill);
            canvas.Brush().SetColor(fill);
            canvas.Rectangle(x1 + 2, cy - 5, x2 - 1, cy + 6);
            break;
        }
        case TSeriesStyle::Marks: break;
        default:
            if (s.PenStyle != psClear) {
                canvas.MoveTo(x1, cy);
                canvas.LineTo(x2, cy);
            }
            break;
    }
    if (s.Style == TSeriesStyle::Marks || s.Style == TSeriesStyle::LineAndMarks) {
        canvas.Pen().SetStyle(psSolid);
        DrawMark(canvas, MarkType(s.Mark), (x1 + x2) / 2, cy, std::min(s.MarkSize, 16));
    }
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(psSolid);
}

}  // namespace

// ---------------------------------------------------------------- private

TLegendLayout TLegendPrivate::Layout(TCanvas& canvas) const
{
    TLegendLayout out;
    const TSeriesSet& set = *TCustomKurvoPrivate::Get(Chart).FSeries;
    UseFont(canvas, Font);
    std::vector<int> widths;
    int textHeight = 0;
    for (const auto& series : set.List) {
        const TSeriesPrivate& s = TSeriesPrivate::Get(*series);
        if (s.Name.empty() || (!s.Visible && !ClickToggles)) continue;
        out.Entries.push_back({series.get(), QRect()});
        widths.push_back(canvas.TextWidth(s.Name));
        textHeight = std::max(textHeight, canvas.TextHeight(s.Name));
    }
    if (out.Entries.empty()) return out;
    out.RowHeight = std::max(textHeight, 12) + 2;
    out.SampleWidth = kSampleWidth;
    const bool row = Placement == TLegendPlacement::OutsideBottom;
    int w = 0, h = 0;
    if (row) {
        for (const int tw : widths) w += kSampleWidth + kSampleGap + tw;
        w += kEntryGap * static_cast<int>(widths.size() - 1) + 2 * kPadding;
        h = out.RowHeight + 2 * kPadding;
    } else {
        w = kSampleWidth + kSampleGap + *std::max_element(widths.begin(), widths.end()) + 2 * kPadding;
        h = out.RowHeight * static_cast<int>(widths.size()) + 2 * kPadding;
    }

    const int W = Chart.Width();
    const int H = Chart.Height();
    const int left = Chart.MarginLeft();
    const int top = Chart.MarginTop();
    const int right = W - Chart.MarginRight() - Chart.ShadowWidth();
    const int bottom = H - Chart.MarginBottom() - Chart.ShadowWidth();
    int x = 0, y = 0;
    switch (Placement) {
        case TLegendPlacement::InsideTopLeft: x = left + kInset; y = top + kInset; break;
        case TLegendPlacement::InsideTopRight: x = right - kInset - w; y = top + kInset; break;
        case TLegendPlacement::InsideBottomLeft: x = left + kInset; y = bottom - kInset - h; break;
        case TLegendPlacement::InsideBottomRight: x = right - kInset - w; y = bottom - kInset - h; break;
        case TLegendPlacement::OutsideRight: x = W - Chart.ShadowWidth() - kInset - w; y = top; break;
        case TLegendPlacement::OutsideBottom:
            x = left + (right - left - w) / 2;
            y = H - Chart.ShadowWidth() - kInset / 2 - h;
            break;
    }
    out.Box = QRect(x, y, w, h);
    int ex = x + kPadding;
    int ey = y + kPadding;
    for (std::size_t i = 0; i < out.Entries.size(); ++i) {
        const int ew = kSampleWidth + kSampleGap + widths[i];
        out.Entries[i].Rect = row ? QRect(ex, ey, ew, out.RowHeight) : QRect(ex, ey, w - 2 * kPadding, out.RowHeight);
        if (row)
            ex += ew + kEntryGap;
        else
            ey += out.RowHeight;
    }
    return out;
}

void TLegendPrivate::Draw(TCanvas& canvas, bool inside, int shiftX, int shiftY) const
{
    if (!Visible || Inside(Placement) != inside) return;
    const TLegendLayout layout = Layout(canvas);
    if (layout.Entries.empty()) return;
    const QRect box = layout.Box.translated(shiftX, shiftY);
    canvas.Pen().SetMode(pmCopy);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(psSolid);
    if (Shows(BackgroundColor) || Shows(FrameColor)) {
        canvas.Pen().SetColor(FromQColor(Shows(FrameColor) ? FrameColor : BackgroundColor));
        if (Shows(BackgroundColor))
            canvas.Brush().SetColor(FromQColor(BackgroundColor));
        else
            canvas.Brush().SetStyle(bsClear);
        canvas.Rectangle(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
        canvas.Brush().SetStyle(bsSolid);
    }
    canvas.ResetTextAlign();
    for (const TLegendEntry& entry : layout.Entries) {
        const TSeriesPrivate& s = TSeriesPrivate::Get(*entry.Series);
        const QRect r = entry.Rect.translated(shiftX, shiftY);
        Sample(canvas, s, r, !s.Visible);
        UseFont(canvas, Font);
        canvas.Font().SetColor(s.Visible ? FromQColor(TextColor) : kHiddenColor);
        canvas.Brush().SetStyle(bsClear);
        const int th = canvas.TextHeight(s.Name);
        canvas.TextOut(r.left() + kSampleWidth + kSampleGap, r.top() + (r.height() - th) / 2, s.Name);
        canvas.Brush().SetStyle(bsSolid);
    }
}

void TLegendPrivate::CopyFrom(const TLegendPrivate& other)
{
    Visible = other.Visible;
    Placement = other.Placement;
    FrameColor = other.FrameColor;
    BackgroundColor = other.BackgroundColor;
    TextColor = other.TextColor;
    Font = other.Font;
    ClickToggles = other.ClickToggles;
}

void DrawLegend(TCustomKurvo& chart, TCanvas& canvas, bool inside, int shiftX, int shiftY)
{
    const auto& legend = TCustomKurvoPrivate::Get(chart).FSeries->Legend;
    if (legend) TLegendPrivate::Get(*legend).Draw(canvas, inside, shiftX, shiftY);
}

// ----------------------------------------------------------------- legend

TKurvoLegend::TKurvoLegend(TCustomKurvo& chart) : d(std::make_unique<TLegendPrivate>(*this, chart))
{
    d->Font = chart.Font();
}

TKurvoLegend::~TKurvoLegend() = default;

bool TKurvoLegend::Visible() const { return d->Visible; }

void TKurvoLegend::SetVisible(bool value)
{
    d->Visible = value;
    RepaintChart(d->Chart);
}

TLegendPlacement TKurvoLegend::Placement() const { return d->Placement; }

void TKurvoLegend::SetPlacement(TLegendPlacement value)
{
    if (static_cast<int>(value) > static_cast<int>(TLegendPlacement::OutsideBottom))
        throw EQornKurvoError("SetPlacement: " + std::to_string(static_cast<int>(value)) +
                              " is not a legend placement.");
    d->Placement = value;
    RepaintChart(d->Chart);
}

QColor TKurvoLegend::FrameColor() const { return d->FrameColor; }

void TKurvoLegend::SetFrameColor(const QColor& value)
{
    d->FrameColor = value;
    RepaintChart(d->Chart);
}

QColor TKurvoLegend::BackgroundColor() const { return d->BackgroundColor; }

void TKurvoLegend::SetBackgroundColor(const QColor& value)
{
    d->BackgroundColor = value;
    RepaintChart(d->Chart);
}

QColor TKurvoLegend::TextColor() const { return d->TextColor; }

void TKurvoLegend::SetTextColor(const QColor& value)
{
    if (!value.isValid()) throw EQornKurvoError("SetTextColor: the colour is not valid.");
    d->TextColor = value;
    RepaintChart(d->Chart);
}

QFont TKurvoLegend::Font() const
{
    QFont font(ToQString(d->Font.Name()));
    font.setPointSize(std::max(1, d->Font.Size()));
    font.setBold(d->Font.Style().Contains(fsBold));
    font.setItalic(d->Font.Style().Contains(fsItalic));
    font.setUnderline(d->Font.Style().Contains(fsUnderline));
    font.setStrikeOut(d->Font.Style().Contains(fsStrikeOut));
    return font;
}

void TKurvoLegend::SetFont(const QFont& value)
{
    TFont font = d->Font;
    font.SetName(FromQString(value.family()));
    const double points = value.pointSizeF() > 0 ? value.pointSizeF() : value.pixelSize() * 72.0 / 96.0;
    font.SetSize(std::clamp(static_cast<int>(std::lround(points)), 1, 1000));
    TFontStyles styles;
    if (value.bold()) styles.Include(fsBold);
    if (value.italic()) styles.Include(fsItalic);
    if (value.underline()) styles.Include(fsUnderline);
    if (value.strikeOut()) styles.Include(fsStrikeOut);
    font.SetStyle(styles);
    d->Font = font;
    RepaintChart(d->Chart);
}

bool TKurvoLegend::ClickToggles() const { return d->ClickToggles; }

void TKurvoLegend::SetClickToggles(bool value)
{
    d->ClickToggles = value;
    RepaintChart(d->Chart);
}

QSize TKurvoLegend::Size() const
{
    return d->Layout(TCustomKurvoPrivate::Get(d->Chart).FControlBitmap->Canvas()).Box.size();
}

QRect TKurvoLegend::Geometry() const
{
    if (!d->Visible) return {};
    return d->Layout(TCustomKurvoPrivate::Get(d->Chart).FControlBitmap->Canvas()).Box;
}

TKurvoSeries* TKurvoLegend::SeriesAt(QPoint pixel) const
{
    if (!d->Visible) return nullptr;
    const TLegendLayout layout = d->Layout(TCustomKurvoPrivate::Get(d->Chart).FControlBitmap->Canvas());
    for (const TLegendEntry& entry : layout.Entries)
        if (entry.Rect.contains(pixel)) return entry.Series;
    return nullptr;
}

}  // namespace kurvo
