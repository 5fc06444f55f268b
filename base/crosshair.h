// A crosshair: marks a world point of a layer with lines, a cross-box or a box.
#pragma once

#include "../base/enums.h"
#include "../canvas/Qorn_canvas.h"

namespace kurvo {

class TCrossHair : public TPersistent {
public:
    double PosX() const { return FPosX; }
    void SetPosX(double value);
    double PosY() const { return FPosY; }
    void SetPosY(double value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TCrossHMode Mode() const { return FMode; }
    void SetMode(TCrossHMode value);
    TPenStyle LineType() const { return FLineType; }
    void SetLineType(TPenStyle value);
    int LineWid() const { return FLineWid; }
    void SetLineWid(int value);
    int Layer() const { return FLayer; }
    void SetLayer(int value);  ///< clamped to 1 ... 16

    /// Copies the seven settings; the own OnChange stays.
    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TCrossHair"; }

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
