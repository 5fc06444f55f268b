// The demo's main window: a strip with an Exit button and a check box above
// a chart that shows a sine curve, plus two handlers that extend the chart
// through its events (hexadecimal labels beside the left Y axis ticks, and
// texts and a frame drawn over the data area).
#pragma once

#include "chart/Qorn_kurvo.h"

#include <QWidget>

#include <cstdint>
#include <string>

class QCheckBox;
class QFrame;
class QPushButton;

class TForm1 : public QWidget {
public:
    // Creates the chart, the panel, the button and the check box, in this
    // order, with their design values, and makes itself the global Form1.
    explicit TForm1(QWidget* parentWidget = nullptr);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    kurvo::TKurvo* Kurvo1() const { return FKurvo1; }
    QFrame* Panel1() const { return FPanel1; }
    QPushButton* ButExit() const { return FButExit; }
    QCheckBox* CBoxHexYScale() const { return FCBoxHexYScale; }

    // The handlers, public so that tests can raise them directly.
    void FormShow(QObject* sender);
    void Kurvo1ScaleTickDrawn(kurvo::TObject* sender, kurvo::TCanvas& canvas, kurvo::TScaleType scaleType,
                              double currentTickPos, int chartX, int chartY);
    void Kurvo1DataRendered(kurvo::TObject* sender, kurvo::TCanvas& canvas, int top, int left);
    void ButExitClick(QObject* sender);
    void CBoxHexYScaleClick(QObject* sender);

    // The label the tick handler draws for a tick value: "($" + four hex
    // digits + ")", the value rounded half to even and taken modulo 2^32.
    // Empty for a value that is not finite.
    static std::string HexTickLabel(double currentTickPos);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyWindowDesign();
    void ApplyChartDesign();
    void ApplyPanelDesign();
    // Panel along the top, the chart over the rest of the client area.
    void AlignControls();

    kurvo::TKurvo* FKurvo1 = nullptr;
    QFrame* FPanel1 = nullptr;
    QPushButton* FButExit = nullptr;
    QCheckBox* FCBoxHexYScale = nullptr;
};

// The application's main window while it exists.
extern TForm1* Form1;

// Value as exactly `digits` hexadecimal digits (clamped to 1 ... 16), with
// leading zeros; the digits above the 32 bits of Value are zeros.
std::string HexDigits(std::uint32_t value, std::uint8_t digits);
