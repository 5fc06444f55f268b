#include "pages.h"

#include <kurvo/kurvo.h>

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <random>

namespace kurvo::gallery {
namespace {

long long GLongSeriesPoints = 10'000'000;

TKurvo* NewChart(const std::string& caption)
{
    auto* chart = new TKurvo;
    chart->ApplyTheme(ktLight);
    chart->setMinimumSize(320, 240);
    chart->SetCaption(caption);
    chart->SetCaptionAnchorHoriz(cahChartLeft);
    chart->SetCaptionAlignment(taLeftJustify);
    return chart;
}

void SetRanges(TKurvo& chart, int layer, double xLow, double xHigh, double yLow, double yHigh)
{
    chart.ScaleX(layer)->SetRangeLow(xLow);
    chart.ScaleX(layer)->SetRangeHigh(xHigh);
    chart.ScaleY(layer)->SetRangeLow(yLow);
    chart.ScaleY(layer)->SetRangeHigh(yHigh);
}

// A page made of selectors above a content widget; each selector calls its
// function with the chosen index at once and on every change.
class TSelectorPage : public QWidget {
public:
    explicit TSelectorPage(QWidget* content)
    {
        FLayout = new QVBoxLayout(this);
        FRow = new QHBoxLayout;
        FLayout->addLayout(FRow);
        FLayout->addWidget(content, 1);
    }
    void AddSelector(const QString& label, const QStringList& items, int initial, std::function<void(int)> apply)
    {
        auto* box = new QComboBox;
        box->addItems(items);
        box->setCurrentIndex(initial);
        FRow->addWidget(new QLabel(label));
        FRow->addWidget(box);
        apply(initial);
        QObject::connect(box, &QComboBox::currentIndexChanged, box, [apply](int index) { apply(index); });
    }
    void AddStatus(QLabel* status) { FLayout->addWidget(status); }
    void Finish() { FRow->addStretch(1); }

private:
    QVBoxLayout* FLayout;
    QHBoxLayout* FRow;
};

// The first point of a polyline is a move to it, the others lines to them.
void PolylinePoint(TKurvo& chart, bool first, double x, double y)
{
    if (first)
        chart.MoveTo(x, y);
    else
        chart.DrawTo(x, y);
}

void Name(TKurvo& chart, double x, double y, const char* text) { chart.TextOffset(x, y, 0, 16, text); }

QWidget* ItemKinds()
{
    TKurvo& c = *NewChart("every kind of display-list item");
    SetRanges(c, 1, 0, 10, 0, 10);
    c.SetFillColor(clAqua);
    c.SetDataColor(clNavy);
    c.MoveTo(0.3, 8.6);
    c.DrawTo(0.9, 9.4);
    c.DrawTo(1.5, 8.8);
    Name(c, 0.9, 8.4, "MoveTo, DrawTo");
    c.MoveRel(8, 0);
    c.DrawRel(16, -12);
    c.Line(2.8, 8.6, 3.8, 9.4);
    Name(c, 3.3, 8.4, "Line");
    c.MarkAt(4.8, 9.0, 3);
    Name(c, 4.8, 8.4, "MarkAt");
    c.Rectangle(5.6, 8.6, 6.6, 9.4);
    Name(c, 6.1, 8.4, "Rectangle");
    c.RectFrame(7.2, 8.6, 8.2, 9.4, fsRaised);
    Name(c, 7.7, 8.4, "RectFrame");
    c.Ellipse(9.2, 9.0, 0.5, 0.4);
    Name(c, 9.2, 8.4, "Ellipse");

    c.Bar3D(0.6, 5.0, 1.2, 6.8, 45, 8);
    Name(c, 0.9, 4.8, "Bar3D");
    c.Text(2.6, 6.0, "Text");
    c.MarkAt(4.2, 6.0, 1);
    c.TextOffset(4.2, 6.0, 8, -10, "TextOffset");
    c.Arrow(5.4, 5.2, 6.4, 6.6);
    Name(c, 5.9, 4.8, "Arrow");
    c.DoubleArrow(7.2, 5.2, 8.2, 6.6);
    Name(c, 7.7, 4.8, "DoubleArrow");
    c.Cross(9.2, 6.0, 0.4, 0.6);
    Name(c, 9.2, 4.8, "Cross");

    c.Box(0.9, 2.6, 14, 10);
    Name(c, 0.9, 1.6, "Box");
    c.ErrorBar(2.6, 2.6, 0.8, 1.0, 9);
    Name(c, 2.6, 1.4, "ErrorBar");
    c.ShiftedLine(3.8, 2.0, 4.6, 3.2, 0, 8);
    Name(c, 4.2, 1.4, "ShiftedLine");
    c.Arc(6.0, 2.6, 0.6, 0.8, 30.0, 300.0);
    Name(c, 6.0, 1.4, "Arc");
    c.Vector(7.3, 2.0, 30, -30);
    Name(c, 7.6, 1.4, "Vector");
    // Lines across the whole data area, in the free gaps between the
    // columns and the rows, named in the free cell at the bottom right.
    c.SetDataColor(clGray);
    c.VertLine(8.45);
    c.HorizLine(4.0);
    c.SetDataColor(clNavy);
    c.SetTextAlignment(taLeftJustify);
    c.TextOffset(8.45, 3.0, 6, 0, "VertLine");
    c.SetTextAlignment(taRightJustify);
    c.TextOffset(9.9, 4.0, 0, 12, "HorizLine");
    return &c;
}

const char* const kFrameNames[] = {"fsNone", "fsSimple", "fsLowered", "fsRaised", "fsEmbossed", "fsEngraved"};

QWidget* MarksAndFrames()
{
    TKurvo& c = *NewChart("the 52 marks and the frame styles");
    SetRanges(c, 1, 0, 13, 0, 10);
    c.SetDataColor(clNavy);
    for (int k = 0; k < 52; ++k) {
        const double x = 0.5 + k % 13;
        const double y = 9.0 - 1.6 * (k / 13);
        c.MarkAt(x, y, k);
        c.TextOffset(x, y, 0, 16, std::to_string(k));
    }
    c.SetFillColor(clBtnFace);
    for (int s = fsNone; s <= fsEngraved; ++s) {
        const double x = 0.4 + 2.1 * s;
        c.RectFrame(x, 1.2, x + 1.7, 2.4, static_cast<TFrameStyle>(s));
        c.TextOffset(x + 0.85, 1.2, 0, 14, kFrameNames[s]);
    }
    return &c;
}

const char* const kLayoutNames[] = {"kvl_X1Bottom_Y1Left", "kvl_X1Bottom_Y2Left", "kvl_X1Bottom_Y3Left",
                                    "kvl_X1Bottom_Y4Left", "kvl_X1Bottom_Y2Both", "kvl_X2Bottom_Y2Left",
                                    "kvl_X2Both_Y2Both"};

QWidget* LayersAndLayouts()
{
    TKurvo* c = NewChart("four layers, each with its own ranges");
    const TColor colours[] = {clNavy, clRed, clGreen, clPurple};
    for (int layer = 1; layer <= 4; ++layer) {
        SetRanges(*c, layer, 0, 25.0 * layer, -layer * 1.0, layer * 1.0);
        c->SetCurrentLayer(layer);
        c->SetDataColor(colours[layer - 1]);
        c->MoveTo(0.0, 0.0);
        for (int i = 1; i <= 200; ++i)
            c->DrawTo(i * 0.125 * layer, layer * 0.9 * std::sin(i * 0.06) * std::exp(-0.004 * i * layer));
    }
    c->SetCurrentLayer(1);
    auto* page = new TSelectorPage(c);
    QStringList names;
    for (const char* n : kLayoutNames) names << n;
    page->AddSelector("StandardLayout", names, 6, [c](int i) {
        c->SetStandardLayout(static_cast<TkvLayout>(i));
        c->update();
    });
    page->Finish();
    return page;
}

QWidget* Axes()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    // Each curve starts with a move to its own first point.
    TKurvo& lin = *NewChart("linear");
    SetRanges(lin, 1, -50, 50, -0.002, 0.003);
    for (int i = -50; i <= 50; ++i) {
        const double y = 0.003 * std::sin(i * 0.1) * std::exp(-0.0004 * i * i);
        PolylinePoint(lin, i == -50, i * 1.0, y);
    }
    TKurvo& logChart = *NewChart("logarithmic");
    SetRanges(logChart, 1, 0.1, 1e4, 1e-3, 1e3);
    logChart.Scale1X()->SetLogarithmic(true);
    logChart.Scale1Y()->SetLogarithmic(true);
    for (int i = 0; i <= 100; ++i) {
        const double f = 0.1 * std::pow(10.0, i * 0.05);
        const double y = 1e3 / (1.0 + std::pow(f / 30.0, 2.0)) * 1e-3 * (1.0 + f * f / 100.0);
        PolylinePoint(logChart, i == 0, f, y);
    }
    // A duration axis counts seconds: 06:00 to 18:00 of a day.
    TKurvo& time = *NewChart("time: seconds as clock texts");
    SetRanges(time, 1, 6 * 3600.0, 18 * 3600.0, 0, 100);
    time.Scale1X()->SetLabelType(ftTime);
    for (int m = 0; m <= 720; m += 5) {
        const double y = 50 + 30 * std::sin(m * 0.02);
        PolylinePoint(time, m == 0, 6 * 3600.0 + 60.0 * m, y);
    }
    TKurvo& dates = *NewChart("date/time");
    const double start = static_cast<double>(QDate(1899, 12, 30).daysTo(QDate(2026, 1, 1)));
    SetRanges(dates, 1, start, start + 365, -10, 30);
    dates.Scale1X()->SetLabelType(ftDateTime);
    for (int d = 0; d <= 365; ++d) {
        const double y = 10 - 12 * std::cos(d * 0.0172);
        PolylinePoint(dates, d == 0, start + d, y);
    }
    grid->addWidget(&lin, 0, 0);
    grid->addWidget(&logChart, 0, 1);
    grid->addWidget(&time, 1, 0);
    grid->addWidget(&dates, 1, 1);
    return page;
}

const char* const kGridNames[] = {"gsNone",          "gsPoints",       "gsVertLines", "gsHorizLines",
                                  "gsLines",         "gsHorizDotLines", "gsVertDotLines", "gsDotLines"};

// A small BMP for the background modes, written once into the temporary folder.
std::string BackgroundImage()
{
    const QString path = QDir::temp().filePath("kurvo-gallery-tile.bmp");
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(QColor(235, 242, 250));
    QPainter painter(&image);
    painter.setPen(QColor(190, 205, 230));
    painter.drawEllipse(8, 8, 32, 32);
    painter.end();
    image.save(path, "BMP");
    return path.toStdString();
}

QWidget* GridAndBackground()
{
    TKurvo* c = NewChart("grid styles and background modes");
    SetRanges(*c, 1, 0, 10, -1, 1);
    c->MoveTo(0.0, 0.0);
    for (int i = 1; i <= 100; ++i) c->DrawTo(i * 0.1, std::sin(i * 0.2) * 0.8);
    TBakGndImg& bg = *c->BackGroundImg();
    bg.SetIncludePath(true);
    bg.SetAreaLeft(3);
    bg.SetAreaRight(6);
    bg.SetAreaTop(0.5);
    bg.SetAreaBottom(-0.5);
    bg.SetAreaColor(0xC0E0FF);
    auto* page = new TSelectorPage(c);
    QStringList grids;
    for (const char* n : kGridNames) grids << n;
    page->AddSelector("GridStyle", grids, 7, [c](int i) { c->SetGridStyle(static_cast<GridStyleType>(i)); });
    const std::string image = BackgroundImage();
    page->AddSelector("background",
                      {"none", "image bfSimple", "image bfStretch", "image bfTile", "area bamVStripe",
                       "area bamHStripe", "area bamRect", "area bamRectInv"},
                      3, [c, image](int i) {
                          TBakGndImg& b = *c->BackGroundImg();
                          b.SetName(i >= 1 && i <= 3 ? image : std::string());
                          if (i >= 1 && i <= 3) b.SetFillMode(static_cast<TBkgFill>(i - 1));
                          const TBGAreaMode areas[] = {bamVStripe, bamHStripe, bamRect, bamRectInv};
                          b.SetAreaMode(i >= 4 ? areas[i - 4] : bamNone);
                          c->update();
                      });
    page->Finish();
    return page;
}

QWidget* CrosshairsAndLabels()
{
    TKurvo* c = NewChart("crosshairs and text labels: drag them");
    SetRanges(*c, 1, 0, 10, 0, 10);
    const TCrossHMode modes[] = {chBoth, chCrossBox, chBox};
    for (int n = 1; n <= 3; ++n) {
        TCrossHair& h = *c->CrossHair(n);
        h.SetLayer(1);
        h.SetMode(modes[n - 1]);
        h.SetColor(n == 1 ? clRed : (n == 2 ? clGreen : clBlue));
        h.SetPosX(2.5 * n);
        h.SetPosY(2.0 + 2.0 * n);
        // The small box reads better solid than in the default dashes.
        if (modes[n - 1] == chBox) h.SetLineType(psSolid);
    }
    const TTxtLblMode labelModes[] = {tlsimple, tlBox, tlUnderline, tlShadow};
    const char* const names[] = {"tlsimple", "tlBox", "tlUnderline", "tlShadow"};
    for (int n = 1; n <= 4; ++n) {
        TTextLabel& l = *c->TextLabel(n);
        l.SetLayer(1);
        l.SetPosX(1.5 + 2.2 * (n - 1));
        l.SetPosY(8.8);
        l.SetCaption(names[n - 1]);
        l.SetColorShadow(clGray);
        l.SetShadowDx(3);
        l.SetShadowDy(3);
        l.SetMode(labelModes[n - 1]);
        l.SetVisible(true);
    }
    auto* page = new TSelectorPage(c);
    page->AddSelector("MouseAction", {"maDragCrossH", "maDragLabel"}, 0,
                      [c](int i) { c->SetMouseAction(i == 0 ? maDragCrossH : maDragLabel); });
    page->Finish();
    return page;
}

const char* const kActionNames[] = {"maNone",      "maPan",         "maPanHoriz",   "maPanVert",  "maPanGrid",
                                    "maRubberBand", "maZoom",       "maZoomWind",   "maZoomWindPos",
                                    "maZoomDrag",  "maDragCrossH",  "maDragLabel",  "maRotate",   "maRotAndZoom",
                                    "maRotXOnly",  "maRotZOnly",    "maSelectRect", "maDrawMTrace",
                                    "maZoomPanColors"};

QWidget* MouseActions()
{
    TKurvo* c = NewChart("every mouse action: choose one and drag");
    SetRanges(*c, 1, 0, 100, -1.2, 1.2);
    c->MoveTo(0.0, 0.0);
    for (int i = 1; i <= 100; ++i) c->DrawTo(i * 1.0, std::sin(0.15 * i));
    auto* status = new QLabel("drag on the chart");
    const auto report = [status](const char* what, double loX, double loY, double hiX, double hiY) {
        status->setText(QString("%1: X %2 ... %3, Y %4 ... %5").arg(what).arg(loX).arg(hiX).arg(loY).arg(hiY));
    };
    c->OnRubberBand = [report](TObject*, int, double a, double b, double x, double y) { report("OnRubberBand", a, b, x, y); };
    c->OnSelectRect = [report](TObject*, int, double a, double b, double x, double y) { report("OnSelectRect", a, b, x, y); };
    c->OnZoomPan = [c, report](TObject*) {
        report("OnZoomPan", c->Scale1X()->RangeLow(), c->Scale1Y()->RangeLow(), c->Scale1X()->RangeHigh(),
               c->Scale1Y()->RangeHigh());
    };
    auto* page = new TSelectorPage(c);
    QStringList names;
    for (const char* n : kActionNames) names << n;
    page->AddSelector("MouseAction", names, 1, [c](int i) { c->SetMouseAction(static_cast<TMouseActMode>(i)); });
    page->Finish();
    page->AddStatus(status);
    return page;
}

QWidget* PaintHooks()
{
    TKurvo* c = NewChart("paint hooks: user code draws extras");
    SetRanges(*c, 1, 0, 100, -1.5, 1.5);
    c->SetMouseAction(maPan);
    c->MoveTo(0.0, 0.0);
    for (int i = 1; i <= 100; ++i) c->DrawTo(i * 1.0, std::sin(0.1 * i));
    c->OnDataRendered = [c](TObject*, TCanvas& canvas, int top, int left) {
        int x = 0;
        int y = 0;
        c->WorldToPixel(1, 47.0, std::sin(4.7), x, y);
        canvas.Pen().SetColor(clRed);
        canvas.Brush().SetStyle(bsClear);
        canvas.Ellipse(x - left - 7, y - top - 7, x - left + 8, y - top + 8);
        canvas.Font().SetColor(clRed);
        canvas.TextOut(x - left + 12, y - top - 6, "anchored to the data");
        canvas.Pen().SetColor(clGreen);
        canvas.Rectangle(8, 8, 170, 30);
        canvas.Font().SetColor(clBlue);
        canvas.TextOut(14, 12, "fixed in the data area");
    };
    c->OnBeforeTickLabel = [](TObject*, TScaleType type, double value, std::string& label) {
        if (type == sctYR && value > 0) label = "+" + label;
    };
    return c;
}

QWidget* DataSharing()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    TKurvo* overview = NewChart("overview: owns the data");
    SetRanges(*overview, 1, 0, 200, -1.2, 1.2);
    overview->MoveTo(0.0, 0.0);
    for (int i = 1; i <= 200; ++i) overview->DrawTo(i * 1.0, std::sin(0.05 * i) * std::cos(0.31 * i));
    TKurvo* detail = NewChart("detail: uses the overview's data; pan it");
    detail->SetUseDataOf(overview);
    SetRanges(*detail, 1, 40, 80, -1.2, 1.2);
    detail->SetMouseAction(maPan);
    layout->addWidget(overview);
    layout->addWidget(detail);
    return page;
}

QWidget* LongSeries()
{
    const long long n = GLongSeriesPoints;
    TKurvo* c = NewChart(std::to_string(n) + " points: drag to pan, drag the axes to zoom");
    std::vector<double> x(static_cast<std::size_t>(n));
    std::vector<double> y(static_cast<std::size_t>(n));
    std::mt19937_64 random(7);
    std::normal_distribution<double> step(0.0, 1.0);
    double v = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = static_cast<double>(i);
        v += step(random);
        y[i] = v;
    }
    c->SetAllocSize(static_cast<int>(std::min<long long>(n + 16, 1 << 30)));
    c->DrawPolyline(x, y);
    c->FitToData(1, 2.0);
    c->SetMouseAction(maPan);
    return c;
}

// Every series style on one chart, one band each, listed by a legend in
// the right margin; below, the legend in other places.
QWidget* SeriesAndLegend()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    TKurvo* styles = NewChart("series styles");
    styles->setMinimumSize(320, 200);
    styles->SetMarginRight(150);
    SetRanges(*styles, 1, 0, 24, 0, 8.6);
    const struct {
        const char* Name;
        TSeriesStyle Style;
    } rows[] = {{"Line", TSeriesStyle::Line},           {"Marks", TSeriesStyle::Marks},
                {"LineAndMarks", TSeriesStyle::LineAndMarks}, {"StepsLeft", TSeriesStyle::StepsLeft},
                {"StepsCenter", TSeriesStyle::StepsCenter}, {"StepsRight", TSeriesStyle::StepsRight},
                {"Bars", TSeriesStyle::Bars},           {"Area", TSeriesStyle::Area}};
    const TMark marks[] = {TMark::FilledCircle, TMark::Circle, TMark::FilledTriangleUp, TMark::Star};
    for (int k = 0; k < 8; ++k) {
        std::vector<double> x, y;
        const double base = 7.6 - k;  // one band per style, top to bottom
        for (int i = 0; i <= 24; ++i) {
            x.push_back(i);
            y.push_back(base + 0.35 + 0.3 * std::sin(0.55 * i + k));
        }
        TKurvoSeries* s = styles->AddSeries(rows[k].Name);
        s->SetData(x, y);
        s->SetStyle(rows[k].Style);
        s->SetMark(marks[k % 4], k == 1 ? 9 : 0);
        s->SetBaseline(base);
        if (k == 7) s->SetPen(s->PenColor(), 2);
    }
    styles->Legend()->SetVisible(true);
    styles->Legend()->SetPlacement(TLegendPlacement::OutsideRight);
    grid->addWidget(styles, 0, 0, 1, 3);

    // Each placement once more on a small chart; the last one's cos was
    // hidden by a click on its entry, which stays listed, greyed.
    const struct {
        const char* Caption;
        TLegendPlacement Placement;
    } places[] = {{"InsideTopLeft", TLegendPlacement::InsideTopLeft},
                  {"InsideTopRight", TLegendPlacement::InsideTopRight},
                  {"InsideBottomLeft", TLegendPlacement::InsideBottomLeft},
                  {"InsideBottomRight, no frame", TLegendPlacement::InsideBottomRight},
                  {"OutsideBottom", TLegendPlacement::OutsideBottom},
                  {"OutsideRight", TLegendPlacement::OutsideRight}};
    for (int k = 0; k < 6; ++k) {
        TKurvo* c = NewChart(places[k].Caption);
        c->setMinimumSize(200, 130);
        SetRanges(*c, 1, 0, 10, -1.3, 1.3);
        if (places[k].Placement == TLegendPlacement::OutsideBottom) c->SetMarginBottom(58);
        if (places[k].Placement == TLegendPlacement::OutsideRight) c->SetMarginRight(70);
        for (int j = 0; j < 2; ++j) {
            std::vector<double> x, y;
            for (int i = 0; i <= 100; ++i) {
                x.push_back(0.1 * i);
                y.push_back(j == 0 ? std::sin(0.8 * x.back()) : 0.6 * std::cos(1.3 * x.back()));
            }
            TKurvoSeries* s = c->AddSeries(j == 0 ? "sin" : "cos");
            s->SetData(x, y);
        }
        c->Legend()->SetVisible(true);
        c->Legend()->SetPlacement(places[k].Placement);
        if (k == 3) {
            c->Legend()->SetFrameColor(QColor());
            c->Legend()->SetBackgroundColor(QColor(240, 240, 200));
        }
        c->Legend()->SetClickToggles(true);
        if (k == 5) c->Series(1)->SetVisible(false);
        grid->addWidget(c, 1 + k / 3, k % 3);
    }
    grid->setRowStretch(0, 2);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(2, 1);
    return page;
}



// Four channels of a 16-bit recording the program keeps, drawn in place:
// each channel is a view (scale, offset, stride) over the one interleaved
// array, which the chart never copies; the noise channel is a series over
// its view, with a legend entry. The array belongs to a child of the
// chart, so it outlives every paint.
struct TRecording : QObject {
    std::vector<std::int16_t> Samples;
};

QWidget* SampleViews()
{
    const long long n = GLongSeriesPoints;
    TKurvo* c = NewChart(std::to_string(n) + " points x 4 channels of int16, drawn from the program's array");
    auto* recording = new TRecording;
    recording->setParent(c);
    std::vector<std::int16_t>& s = recording->Samples;
    s.resize(static_cast<std::size_t>(4 * n));
    std::mt19937_64 random(11);
    std::normal_distribution<double> noise(0.0, 300.0);
    for (long long i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        const double v[4] = {8000.0 * std::sin(40.0 * t), std::fmod(t * 24.0, 1.0) < 0.5 ? 6000.0 : -6000.0,
                             12000.0 * t - 6000.0, 0.0};
        for (int k = 0; k < 4; ++k)
            s[static_cast<std::size_t>(4 * i + k)] = static_cast<std::int16_t>(v[k] + noise(random) * (k == 3 ? 8.0 : 1.0));
    }
    const TColor colours[4] = {clBlue, clRed, clGreen, clPurple};
    for (int k = 0; k < 4; ++k) {
        TKurvoSampleView view(std::span<const std::int16_t>(s), 0.0, 1.0 / static_cast<double>(n));
        view.SetChannel(k, 4).SetScale(1.0 / 10000.0, 3.0 - 2.0 * k);  // volts, one band per channel
        c->SetDataColor(colours[k]);
        if (k < 3) {
            c->AddLineView(view);
            continue;
        }
        TKurvoSeries* series = c->AddSeries("noise: a series over the same array");
        series->SetView(view);
        series->SetPen(QColor(128, 0, 128));
    }
    c->Legend()->SetVisible(true);
    c->Legend()->SetPlacement(TLegendPlacement::InsideBottomLeft);
    SetRanges(*c, 1, 0.0, 1.0, -5.5, 4.5);
    c->Scale1X()->SetCaption("s");
    c->SetMouseAction(maPan);
    return c;
}
}  // namespace

void SetLongSeriesPoints(long long count) { GLongSeriesPoints = std::max(2LL, std::min(count, 50'000'000LL)); }

std::vector<TPage> Pages()
{
    return {
        {"item_kinds", "Every kind of display-list item, one command each", ItemKinds},
        {"marks_frames", "The 52 marks and the six frame styles", MarksAndFrames},
        {"layers_layouts", "Four layers over one data area and the seven standard layouts", LayersAndLayouts},
        {"axes", "Linear, logarithmic, time and date/time axes", Axes},
        {"grid_background", "Grid styles, background images and colour areas", GridAndBackground},
        {"crosshairs_labels", "Crosshair and text-label modes, dragged with the mouse", CrosshairsAndLabels},
        {"mouse_actions", "Every MouseAction, with the events it raises", MouseActions},
        {"paint_hooks", "Paint hooks: extras anchored to the data or fixed, changed tick labels", PaintHooks},
        {"data_sharing", "Two charts on one set of data", DataSharing},
        {"long_series", "A long random walk, panned live", LongSeries},
        {"series_legend", "Every series style; the legend in its places", SeriesAndLegend},
        {"themes", "ktClassic, ktLight, ktDark and ktSystem on the same data", ThemesPage},

        {"sample_views", "Four channels of an int16 array drawn in place, never copied (one a series)", SampleViews},
    };
}

}  // namespace kurvo::gallery
