// The themes page: one set of data under each theme.
#include "pages.h"

#include <kurvo/kurvo.h>

#include <QGridLayout>

#include <cmath>

namespace kurvo::gallery {
namespace {

// `colour` faded towards `background` by `amount` (0 ... 1).
TColor Faded(const QColor& colour, TColor background, double amount)
{
    const QColor b = ToQColor(background);
    const auto mix = [amount](int c, int d) { return static_cast<int>(std::lround(c + (d - c) * amount)); };
    return FromQColor(QColor(mix(colour.red(), b.red()), mix(colour.green(), b.green()), mix(colour.blue(), b.blue())));
}

// Two curves on layer 1, one with marks, and bars on layer 2 with its own
// axis on the right, each in a series colour of the theme.
TKurvo* ThemedChart(TKurvoTheme theme, const char* name)
{
    auto* c = new TKurvo;
    c->setMinimumSize(300, 200);
    c->ApplyTheme(theme);
    c->SetStandardLayout(kvl_X1Bottom_Y2Both);
    c->SetCaption(name);
    c->SetCaptionAnchorHoriz(cahChartLeft);
    c->SetCaptionAlignment(taLeftJustify);
    c->Scale1X()->SetRangeHigh(10);
    c->Scale1Y()->SetRangeLow(-1.5);
    c->Scale1Y()->SetRangeHigh(1.5);
    c->Scale2X()->SetRangeHigh(10);
    c->Scale2Y()->SetRangeHigh(40);

    c->SetCurrentLayer(2);
    c->SetDataColor(FromQColor(c->SeriesColor(1)));
    c->SetFillColor(Faded(c->SeriesColor(1), c->ChartColor(), 0.55));
    for (int i = 0; i < 10; ++i) c->Rectangle(i + 0.15, 0.0, i + 0.85, 8.0 + 24.0 * std::pow(std::sin(0.35 * i + 0.4), 2));

    c->SetCurrentLayer(1);
    c->SetLineWidth(2);
    std::vector<double> x, a, b;
    for (int i = 0; i <= 200; ++i) {
        x.push_back(i * 0.05);
        a.push_back(1.1 * std::sin(0.9 * x.back()));
        b.push_back(0.7 * std::cos(1.6 * x.back()) - 0.3);
    }
    c->SetDataColor(FromQColor(c->SeriesColor(0)));
    c->DrawPolyline(x, a);
    c->SetDataColor(FromQColor(c->SeriesColor(2)));
    c->DrawPolyline(x, b);
    c->SetLineWidth(1);
    for (int i = 0; i <= 200; i += 20) c->MarkAt(x[i], b[i], 26);
    return c;
}

}  // namespace

QWidget* ThemesPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(ThemedChart(ktClassic, "ktClassic"), 0, 0);
    grid->addWidget(ThemedChart(ktLight, "ktLight"), 0, 1);
    grid->addWidget(ThemedChart(ktDark, "ktDark"), 1, 0);
    grid->addWidget(ThemedChart(ktSystem, "ktSystem (the palette's colours)"), 1, 1);
    return page;
}

}  // namespace kurvo::gallery
