// Themes and anti-aliasing: the chart's look in one call.
//
// A theme is a set of values for published properties, applied through
// their setters with painting suspended, so that the chart paints once and
// every value stays what a program reads and may change afterwards.
#include "chart/Qorn_kurvo.h"

#include "canvas/control_detail.h"
#include "canvas/qt_interop.h"
#include "chart/kurvo_private.h"

#include <QEvent>
#include <QPalette>

#include <array>

namespace kurvo {

namespace {

constexpr TColor Rgb(int r, int g, int b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); }

// Ten colours apart in hue and lightness, readable on white; the dark set
// keeps their hues, lighter, for a dark background.
constexpr std::array<TColor, SeriesColorCount> kLightSeries = {
    Rgb(31, 119, 180), Rgb(255, 127, 14), Rgb(44, 160, 44),  Rgb(214, 39, 40),   Rgb(148, 103, 189),
    Rgb(140, 86, 75),  Rgb(227, 119, 194), Rgb(127, 127, 127), Rgb(188, 189, 34), Rgb(23, 190, 207)};
constexpr std::array<TColor, SeriesColorCount> kDarkSeries = {
    Rgb(86, 164, 240), Rgb(255, 160, 64), Rgb(92, 200, 92),   Rgb(255, 107, 107), Rgb(185, 145, 240),
    Rgb(210, 160, 122), Rgb(240, 140, 210), Rgb(180, 180, 180), Rgb(220, 220, 90), Rgb(80, 210, 230)};

// The values a theme sets.
struct TThemeColors {
    TColor Surround;  // WindColor, ShadowBakColor
    TColor Area;  // ChartColor
    TColor Frame;  // ChartFrameColor, axes of layer 1, text label borders
    TColor Grid;
    GridStyleType GridStyle;
    TColor Text;  // captions and labels
    TColor Shadow;  // ShadowColor, text label shadows
    TColor LabelBackground;  // text labels
    bool Smooth;  // Antialiased, TrimTrailingZeros, no ShortTicks
    const std::array<TColor, SeriesColorCount>* Series;
};

// a + (b - a) * t per channel.
TColor Mix(TColor a, TColor b, double t)
{
    const auto c = static_cast<unsigned>(ColorToRGB(a));
    const auto d = static_cast<unsigned>(ColorToRGB(b));
    unsigned out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const double x = (c >> shift) & 0xFFu;
        const double y = (d >> shift) & 0xFFu;
        out |= static_cast<unsigned>(x + (y - x) * t + 0.5) << shift;
    }
    return static_cast<TColor>(out);
}

bool DarkPalette(const QPalette& palette) { return palette.color(QPalette::Base).lightness() < 128; }

TThemeColors ColorsOf(TKurvoTheme theme, const QPalette& palette)
{
    switch (theme) {
    case ktLight:
        return {clWhite, clWhite, Rgb(150, 150, 150), Rgb(200, 200, 200), gsDotLines, Rgb(51, 51, 51),
                Rgb(210, 210, 210), clWhite, true, &kLightSeries};
    case ktDark:
        return {Rgb(32, 33, 36), Rgb(40, 41, 45), Rgb(112, 112, 118), Rgb(78, 78, 84), gsDotLines,
                Rgb(218, 218, 222), Rgb(16, 16, 18), Rgb(48, 49, 53), true, &kDarkSeries};
    case ktSystem: {
        const TColor window = FromQColor(palette.color(QPalette::Window));
        const TColor base = FromQColor(palette.color(QPalette::Base));
        const TColor text = FromQColor(palette.color(QPalette::WindowText));
        const bool dark = DarkPalette(palette);
        return {window, base, Mix(text, window, 0.45), Mix(text, base, dark ? 0.7 : 0.78), gsDotLines, text,
                Mix(text, window, 0.75), base, true, dark ? &kDarkSeries : &kLightSeries};
    }
    case ktClassic:
    default:
        return {clBtnFace, clWhite, clBlack, clBlack, gsNone, clWindowText, clGrayText, clWhite, false, &kLightSeries};
    }
}

// Applies ktSystem again after a change of the widget's palette or style.
class TThemeWatcher : public QObject {
public:
    explicit TThemeWatcher(TCustomKurvo& chart) : FChart(chart) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == &FChart && FChart.Theme() == ktSystem &&
            (type == QEvent::PaletteChange || type == QEvent::StyleChange))
            detail::Guarded([this] { FChart.ApplyTheme(ktSystem); });
        return false;
    }

private:
    TCustomKurvo& FChart;
};

}  // namespace

void WatchPalette(TCustomKurvo& chart)
{
    auto& watcher = TCustomKurvoPrivate::Get(chart).FThemeWatcher;
    watcher = std::make_unique<TThemeWatcher>(chart);
    chart.installEventFilter(watcher.get());
}

void TCustomKurvo::ApplyTheme(TKurvoTheme theme)
{
    if (theme > ktSystem) return;
    const TThemeColors c = ColorsOf(theme, palette());
    const bool classic = theme == ktClassic;
    d->FTheme = theme;
    const bool suspended = d->FPaintSuspended;
    d->FPaintSuspended = true;
    try {
        WithDeferredSync([&] {
            SetWindColor(c.Surround);
            SetChartColor(c.Area);
            SetChartFrameColor(c.Frame);
            SetGridColor(c.Grid);
            SetGridStyle(c.GridStyle);
            SetShadowColor(c.Shadow);
            SetShadowBakColor(c.Surround);
            SetDataColor(classic ? clBlack : (*c.Series)[0]);
            SetFillColor(classic ? clSilver : Mix((*c.Series)[0], c.Area, 0.7));
            SetAntialiased(c.Smooth);
            Font().SetColor(c.Text);
            for (int n = 0; n < LayerCount; ++n) {
                // Layer 1's axes are neutral; the others take their layer's
                // series colour, so that an axis shows which data it measures.
                const TColor axis = classic ? ClassicLayerColors[n] : n == 0 ? c.Frame : (*c.Series)[n % SeriesColorCount];
                const TColor label = classic ? clWindowText : n == 0 ? c.Text : axis;
                for (TScaleProps* props : {static_cast<TScaleProps*>(d->FScaleX[n].get()),
                                           static_cast<TScaleProps*>(d->FScaleY[n].get())}) {
                    props->SetColorScale(axis);
                    props->Font().SetColor(label);
                    props->SetTrimTrailingZeros(c.Smooth);
                    // Without short ticks the grid keeps to the labelled ones.
                    props->SetShortTicks(!c.Smooth);
                }
            }
            for (auto& label : d->FTextLabels) {
                label->SetColorBkg(c.LabelBackground);
                label->SetColorBorder(classic ? clBlack : c.Frame);
                label->SetColorShadow(classic ? clGray : c.Shadow);
                label->Font().SetColor(c.Text);
            }
        });
    } catch (...) {
        d->FPaintSuspended = suspended;
        throw;
    }
    SetPaintSuspended(suspended);
}

TKurvoTheme TCustomKurvo::Theme() const { return d->FTheme; }

QColor TCustomKurvo::SeriesColor(int index) const
{
    const bool dark = d->FTheme == ktDark || (d->FTheme == ktSystem && DarkPalette(palette()));
    const auto& colors = dark ? kDarkSeries : kLightSeries;
    const int k = ((index % SeriesColorCount) + SeriesColorCount) % SeriesColorCount;
    return ToQColor(colors[static_cast<std::size_t>(k)]);
}

bool TCustomKurvo::Antialiased() const { return d->FAntialiased; }

void TCustomKurvo::SetAntialiased(bool value)
{
    d->FAntialiased = value;
    RepaintIfAutoRedraw();
}

}  // namespace kurvo
