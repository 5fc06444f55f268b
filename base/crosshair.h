// A crosshair: marks a world point of a layer with lines, a cross-box or a box.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../base/enums.h"
#include "../canvas/Qorn_canvas.h"

namespace kurvo {

/// A crosshair: marks a world point of a layer with lines, a cross-box or a
/// box. Every setter raises OnChange.
class KURVO_EXPORT TCrossHair : public TPersistent {
public:
    ///@{
    /// World X of the marked point.
    double PosX() const { return FPosX; }
    void SetPosX(double value);
    ///@}
    ///@{
    /// World Y of the marked point.
    double PosY() const { return FPosY; }
    void SetPosY(double value);
    ///@}
    ///@{
    /// Colour of the lines.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    ///@}
    ///@{
    /// Form: chOff, chHoriz, chVert, chBoth, chCrossBox or chBox.
    TCrossHMode Mode() const { return FMode; }
    void SetMode(TCrossHMode value);
    ///@}
    ///@{
    /// Pen style of the lines.
    TPenStyle LineType() const { return FLineType; }
    void SetLineType(TPenStyle value);
    ///@}
    ///@{
    /// Pen width of the lines, pixels.
    int LineWid() const { return FLineWid; }
    void SetLineWid(int value);
    ///@}
    ///@{
    /// Layer whose transform places the point, 1 ... 16.
    int Layer() const { return FLayer; }
    void SetLayer(int value);  ///< clamped to 1 ... 16
    ///@}

    /// Copies the seven settings; the own OnChange stays.
    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TCrossHair"; }

    /// Raised after every change of a setting.
    TNotifyEvent OnChange;

private:
    void Changed();

    double FPosX = 0.0;
    double FPosY = 0.0;
    TColor FColor = 0;
    TCrossHMode FMode = chOff;
    TPenStyle FLineType = psSolid;
    int FLineWid = 0;
    int FLayer = 0;
};

}  // namespace kurvo
