// A text label: a (possibly multi-line) caption at a pixel or world point,
// optionally boxed, underlined or shadowed.
#pragma once

#include "../base/enums.h"
#include "../canvas/Qorn_canvas.h"

#include <string>

namespace kurvo {

class TCustomTextLabel : public TPersistent {
public:
    double PosX() const { return FPosX; }
    void SetPosX(double value);
    double PosY() const { return FPosY; }
    void SetPosY(double value);
    int Layer() const { return FLayer; }
    void SetLayer(int value);  ///< values outside 1 ... 16 are ignored
    int ShadowDx() const { return FShadowDx; }
    void SetShadowDx(int value);
    int ShadowDy() const { return FShadowDy; }
    void SetShadowDy(int value);
    TColor ColorShadow() const { return FColorShadow; }
    void SetColorShadow(TColor value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment value);
    TTxtLblAttachMode AttachToData() const { return FAttachToData; }
    void SetAttachToData(TTxtLblAttachMode value);
    TColor ColorBkg() const { return FColorBkg; }
    void SetColorBkg(TColor value);
    TColor ColorBorder() const { return FColorBorder; }
    void SetColorBorder(TColor value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    const TFont& Font() const { return FFont; }
    TFont& Font() { return FFont; }
    void SetFont(const TFont& value);  ///< copies the attributes
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);  ///< control characters but line feed become spaces
    TTxtLblMode Mode() const { return FMode; }
    void SetMode(TTxtLblMode value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    /// Copies every setting from any TCustomTextLabel; the own OnChange stays.
    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TCustomTextLabel"; }

    TNotifyEvent OnChange;

private:
    void Changed();

    double FPosX = 100.0;
    double FPosY = 10.0;
    int FLayer = 1;
    int FShadowDx = 0;
    int FShadowDy = 0;
    TColor FColorShadow = 0x808080;
    TAlignment FAlignment = taCenter;
    TVerticalAlignment FVerticalAlignment = vaBottom;
    TTxtLblAttachMode FAttachToData = tlamNone;
    TColor FColorBkg = 0xC0C0C0;
    TColor FColorBorder = 0;
    bool FTransparent = false;
    TFont FFont;
    std::string FCaption;
    TTxtLblMode FMode = tlsimple;
    bool FVisible = true;
};

class TTextLabel : public TCustomTextLabel {
public:
    std::string ClassName() const override { return "TTextLabel"; }
};

}  // namespace kurvo
