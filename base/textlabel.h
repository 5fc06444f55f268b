// A text label: a (possibly multi-line) caption at a pixel or world point,
// optionally boxed, underlined or shadowed.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../base/enums.h"
#include "../canvas/Qorn_canvas.h"

#include <string>

namespace kurvo {

/// A caption at a pixel or world point, optionally boxed, underlined or
/// shadowed. Every setter raises OnChange.
class KURVO_EXPORT TCustomTextLabel : public TPersistent {
public:
    ///@{
    /// X of the anchor point: a pixel, or a world value when AttachToData says
    /// so; default 100.
    double PosX() const { return FPosX; }
    void SetPosX(double value);
    ///@}
    ///@{
    /// Y of the anchor point; see PosX(). Default 10.
    double PosY() const { return FPosY; }
    void SetPosY(double value);
    ///@}
    ///@{
    /// Layer of world anchors, 1 ... 16; default 1.
    int Layer() const { return FLayer; }
    void SetLayer(int value);  ///< values outside 1 ... 16 are ignored
    ///@}
    ///@{
    /// Shadow offset in X, pixels; default 0.
    int ShadowDx() const { return FShadowDx; }
    void SetShadowDx(int value);
    ///@}
    ///@{
    /// Shadow offset in Y, pixels; default 0.
    int ShadowDy() const { return FShadowDy; }
    void SetShadowDy(int value);
    ///@}
    ///@{
    /// Colour of the shadow; default grey (0x808080).
    TColor ColorShadow() const { return FColorShadow; }
    void SetColorShadow(TColor value);
    ///@}
    ///@{
    /// Horizontal placement of the text block at the anchor; default taCenter.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    ///@}
    ///@{
    /// Vertical placement of the text block at the anchor; default vaBottom.
    TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment value);
    ///@}
    ///@{
    /// Which of PosX and PosY are world values; default tlamNone.
    TTxtLblAttachMode AttachToData() const { return FAttachToData; }
    void SetAttachToData(TTxtLblAttachMode value);
    ///@}
    ///@{
    /// Background colour; default silver (0xC0C0C0).
    TColor ColorBkg() const { return FColorBkg; }
    void SetColorBkg(TColor value);
    ///@}
    ///@{
    /// Colour of the frame and underline; default black.
    TColor ColorBorder() const { return FColorBorder; }
    void SetColorBorder(TColor value);
    ///@}
    ///@{
    /// No background fill; default off.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    ///@}
    ///@{
    /// Font of the text, owned by the label.
    const TFont& Font() const { return FFont; }
    TFont& Font() { return FFont; }
    void SetFont(const TFont& value);  ///< copies the attributes
    ///@}
    ///@{
    /// The text; a line feed separates lines. Default empty.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);  ///< control characters but line feed become spaces
    ///@}
    ///@{
    /// Form: tlOff, tlsimple, tlBox, tlUnderline or tlShadow; default tlsimple.
    TTxtLblMode Mode() const { return FMode; }
    void SetMode(TTxtLblMode value);
    ///@}
    ///@{
    /// Whether the label is drawn and can be picked; default on.
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    ///@}

    /// Copies every setting from any TCustomTextLabel; the own OnChange stays.
    void Assign(const TPersistent& source) override;
    /// The name of the class.
    std::string ClassName() const override { return "TCustomTextLabel"; }

    /// Raised after every change of a setting.
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

/// The chart's text label.
class KURVO_EXPORT TTextLabel : public TCustomTextLabel {
public:
    std::string ClassName() const override { return "TTextLabel"; }
};

}  // namespace kurvo
