// The demo window: its design values and its five handlers.
#include "app/form1.h"

#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QFrame>
#include <QPalette>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>

#include <algorithm>
#include <cmath>

using namespace kurvo;

TForm1* Form1 = nullptr;

namespace {

constexpr int kClientWidth = 473;
constexpr int kClientHeight = 462;
constexpr int kPanelHeight = 41;

QColor QtColor(TColor color)
{
    const auto rgb = static_cast<std::uint32_t>(ColorToRGB(color));
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

// The window's font: "MS Sans Serif", character height 13 pixels, in the
// window text colour. Font matching picks the nearest installed sans serif.
TFont DesignFont()
{
    TFont font;
    font.SetName("MS Sans Serif");
    font.SetHeight(-13);
    font.SetColor(clWindowText);
    font.SetStyle({});
    return font;
}

QFont DesignQFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);  // character height, as the chart's canvas maps a negative TFont height
    return font;
}

void ApplyDateFormat(TDTLabel& format)
{
    format.SetTimeFormat(tfHHMMSS);
    format.SetDateSeparator('-');
    format.SetTimeSeparator(':');
    format.SetYearLength(ylYYYY);
    format.SetMonthName(true);
    format.SetDateOrder(doDDMMYY);
    format.SetDateForTime(dtOnePerDay);
}

void ApplyCrossHair(TCrossHair& crossHair, int layer)
{
    crossHair.SetColor(clBlack);
    crossHair.SetLayer(layer);
    crossHair.SetMode(chOff);
    crossHair.SetLineType(psSolid);
    crossHair.SetLineWid(1);
}

}  // namespace

std::string HexDigits(std::uint32_t value, std::uint8_t digits)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const int count = std::clamp<int>(digits, 1, 16);
    std::string result(static_cast<std::size_t>(count), '0');
    for (int i = count - 1; i >= 0; --i) {
        result[static_cast<std::size_t>(i)] = kHex[value & 0xF];
        value >>= 4;
    }
    return result;
}

std::string TForm1::HexTickLabel(double currentTickPos)
{
    if (!std::isfinite(currentTickPos)) return {};
    // Half to even in the default rounding mode; the remainder modulo 2^32 is
    // exact for every finite double, so huge values keep their low 32 bits too.
    double low = std::fmod(std::nearbyint(currentTickPos), 4294967296.0);
    if (low < 0) low += 4294967296.0;
    return "($" + HexDigits(static_cast<std::uint32_t>(low), 4) + ")";
}

TForm1::TForm1(QWidget* parentWidget) : QWidget(parentWidget)
{
    Form1 = this;
    ApplyWindowDesign();

    // Every component is loading until all of them carry their design values.
    FKurvo1 = new TKurvo(this);
    FKurvo1->BeginLoading();
    ApplyChartDesign();

    FPanel1 = new QFrame(this);
    FButExit = new QPushButton(FPanel1);
    FCBoxHexYScale = new QCheckBox(FPanel1);
    ApplyPanelDesign();

    FKurvo1->Loaded();
    AlignControls();
}

TForm1::~TForm1()
{
    // The chart's paint hooks call back into this window; none may run while
    // the children are destroyed.
    FKurvo1->OnScaleTickDrawn = nullptr;
    FKurvo1->OnDataRendered = nullptr;
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::ApplyWindowDesign()
{
    move(324, 228);
    resize(kClientWidth, kClientHeight);
    setWindowTitle(QStringLiteral("Kurvo - User Defined Extensions"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QtColor(clBtnFace));
    palette.setColor(QPalette::Button, QtColor(clBtnFace));
    palette.setColor(QPalette::WindowText, QtColor(clWindowText));
    palette.setColor(QPalette::ButtonText, QtColor(clWindowText));
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(DesignQFont());
}

void TForm1::ApplyChartDesign()
{
    TKurvo& k = *FKurvo1;
    // The chart uses its parent's font, which it gets before its own values.
    k.SetFont(DesignFont());
    k.SetBounds(0, 41, 473, 421);

    k.SetAllocSize(1000);
    k.SetAutoRedraw(true);
    k.SetMarginLeft(80);
    k.SetMarginRight(16);
    k.SetMarginTop(20);
    k.SetMarginBottom(40);

    TBakGndImg& image = *k.BackGroundImg();
    image.SetIncludePath(false);
    image.SetFillMode(bfStretch);
    image.SetAreaMode(bamNone);
    image.SetAreaColor(14540253);
    image.SetAreaLeft(-1.0);
    image.SetAreaRight(1.0);
    image.SetAreaTop(1.0);
    image.SetAreaBottom(-1.0);

    k.SetClassDefault(0);
    k.SetGridStyle(gsNone);
    k.SetIsometric(false);

    TJointLayers& joint = *k.JointLayers();
    joint.SetXControlledBy(1, 1);
    joint.SetYControlledBy(1, 1);
    joint.SetXControlledBy(2, 2);
    joint.SetYControlledBy(2, 2);

    k.SetCaption("pan the chart by dragging it with the left mouse button");
    k.SetCaptionPosX(0);
    k.SetCaptionPosY(-16);
    k.SetCaptionAlignment(taRightJustify);
    k.SetCaptionAnchorHoriz(cahChartRight);
    k.SetCaptionAnchorVert(cavChartTop);

    for (int n = 1; n <= CrossHairCount; ++n) ApplyCrossHair(*k.CrossHair(n), n);

    k.SetMouseAction(maPan);
    k.SetMouseCursorFixed(true);

    // Axis objects: MinRange first, so that the range checks see it. RangeLow
    // of Scale1X keeps its reset value 0.
    TScalePropsHoriz& x1 = *k.Scale1X();
    x1.SetMinRange(1e-10);
    x1.SetRangeHigh(100.0);
    x1.SetVisible(true);
    x1.SetScaleLocation(slBottom);
    x1.SetScalePos(0);
    x1.SetShortTicks(true);
    x1.SetLabelType(ftNum);
    x1.SetLogarithmic(false);
    x1.SetDecPlaces(-2);
    x1.SetMinTicks(3);
    x1.SetColorScale(clBlack);
    x1.SetCaptionPosX(0);
    x1.SetCaptionPosY(22);
    x1.SetCaptionAlignment(taCenter);
    x1.SetCaptionAnchor(uaSclCenter);
    ApplyDateFormat(*x1.DateFormat());
    x1.SetFont(DesignFont());

    TScalePropsVert& y1 = *k.Scale1Y();
    y1.SetMinRange(1e-10);
    y1.SetRangeLow(-5.0);
    y1.SetRangeHigh(5.0);
    y1.SetVisible(true);
    y1.SetScaleLocation(slLeft);
    y1.SetScalePos(0);
    y1.SetShortTicks(false);
    y1.SetLabelType(ftNum);
    y1.SetLogarithmic(false);
    y1.SetDecPlaces(-2);
    y1.SetMinTicks(3);
    y1.SetColorScale(clBlack);
    y1.SetCaptionPosX(0);
    y1.SetCaptionPosY(-16);
    y1.SetCaptionAlignment(taLeftJustify);
    y1.SetCaptionAnchor(uaSclTopLft);
    ApplyDateFormat(*y1.DateFormat());
    y1.SetFont(DesignFont());

    TScalePropsHoriz& x2 = *k.Scale2X();
    x2.SetMinRange(1e-10);
    x2.SetRangeHigh(1.0);
    x2.SetVisible(false);
    x2.SetScaleLocation(slBottom);
    x2.SetScalePos(0);
    x2.SetShortTicks(true);
    x2.SetColorScale(clMaroon);
    x2.SetCaptionPosX(10);
    x2.SetCaptionPosY(100);
    x2.SetCaptionAlignment(taCenter);
    x2.SetCaptionAnchor(uaSclCenter);
    x2.SetLabelType(ftNum);
    x2.SetDecPlaces(-2);
    x2.SetMinTicks(3);
    ApplyDateFormat(*x2.DateFormat());
    x2.SetFont(DesignFont());

    TScalePropsVert& y2 = *k.Scale2Y();
    y2.SetMinRange(1e-10);
    y2.SetRangeHigh(1.0);
    y2.SetVisible(false);
    y2.SetScaleLocation(slLeft);
    y2.SetScalePos(0);
    y2.SetShortTicks(true);
    y2.SetColorScale(clMaroon);
    y2.SetCaptionPosX(10);
    y2.SetCaptionPosY(100);
    y2.SetCaptionAlignment(taRightJustify);
    y2.SetCaptionAnchor(uaSclTopLft);
    y2.SetLabelType(ftNum);
    y2.SetDecPlaces(-2);
    y2.SetMinTicks(3);
    ApplyDateFormat(*y2.DateFormat());
    y2.SetFont(DesignFont());

    k.SetShadowStyle(ssFlying);
    k.SetShadowColor(clGrayText);
    k.SetShadowBakColor(clBtnFace);
    k.SetTextFontStyle({});
    k.SetTextBkStyle(tbClear);
    k.SetTextBkColor(clWhite);
    k.SetTextAlignment(taCenter);

    k.OnScaleTickDrawn = [this](TObject* sender, TCanvas& canvas, TScaleType scaleType, double currentTickPos,
                                int chartX, int chartY) {
        Kurvo1ScaleTickDrawn(sender, canvas, scaleType, currentTickPos, chartX, chartY);
    };
    k.OnDataRendered = [this](TObject* sender, TCanvas& canvas, int top, int left) {
        Kurvo1DataRendered(sender, canvas, top, left);
    };
}

void TForm1::ApplyPanelDesign()
{
    // A panel with a raised one-pixel bevel, in the window colour.
    FPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    FPanel1->setLineWidth(1);
    FPanel1->setAutoFillBackground(true);
    FPanel1->setGeometry(0, 0, kClientWidth, kPanelHeight);

    FButExit->setGeometry(8, 8, 75, 25);
    FButExit->setText(QStringLiteral("Exit"));
    connect(FButExit, &QPushButton::clicked, this, [this] { ButExitClick(FButExit); });

    FCBoxHexYScale->setGeometry(104, 12, 161, 17);
    FCBoxHexYScale->setText(QStringLiteral("Hexadecimal Y Scale"));
    FCBoxHexYScale->setChecked(true);
    // Connected after the design value, so that setting it raises no click;
    // every later change of the state does, as a click on the box.
    connect(FCBoxHexYScale, &QCheckBox::toggled, this, [this] { CBoxHexYScaleClick(FCBoxHexYScale); });

    setTabOrder(FButExit, FCBoxHexYScale);
}

void TForm1::AlignControls()
{
    const int panelHeight = FPanel1->height();
    FPanel1->setGeometry(0, 0, width(), panelHeight);
    FKurvo1->SetBounds(0, panelHeight, width(), std::max(0, height() - panelHeight));
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    AlignControls();
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A spontaneous show is the window system restoring a minimised window,
    // not the window becoming visible.
    if (!event->spontaneous()) FormShow(this);
}

// ---------------------------------------------------------------- handlers

void TForm1::FormShow(QObject* /*sender*/)
{
    FKurvo1->MoveTo(0, 0);
    for (int i = 1; i <= 100; ++i) {
        // Evaluated in extended precision, then rounded once to double.
        const long double y = std::sin(0.2L * static_cast<long double>(i));
        FKurvo1->DrawTo(i, static_cast<double>(y));
    }
}

void TForm1::Kurvo1ScaleTickDrawn(TObject* /*sender*/, TCanvas& canvas, TScaleType scaleType,
                                  double currentTickPos, int chartX, int chartY)
{
    if (!FCBoxHexYScale->isChecked()) return;
    if (scaleType != sctYR) return;
    const std::string s = HexTickLabel(currentTickPos);
    if (s.empty()) return;
    const int w = canvas.TextWidth(s);
    const int h = canvas.TextHeight(s);
    canvas.TextOut(chartX - w - 8, chartY + h / 2, s);
}

void TForm1::Kurvo1DataRendered(TObject* /*sender*/, TCanvas& canvas, int top, int left)
{
    canvas.Font().SetColor(0xFF0000);
    canvas.TextOut(100, 100, "text position: absolute");

    canvas.Pen().SetColor(0x00FF00);
    canvas.Pen().SetWidth(5);
    canvas.MoveTo(93, 95);
    canvas.LineTo(260, 95);
    canvas.LineTo(260, 120);
    canvas.LineTo(93, 120);
    canvas.LineTo(93, 95);
    canvas.Pen().SetWidth(1);

    canvas.Font().SetColor(0x0000FF);
    int x;
    int y;
    FKurvo1->WorldToPixel(1, 20.0, -1.3, x, y);
    canvas.TextOut(x - left, y - top, "text position: relative to the data");
}

void TForm1::ButExitClick(QObject* /*sender*/) { close(); }

void TForm1::CBoxHexYScaleClick(QObject* /*sender*/) { FKurvo1->Invalidate(); }
