#include "base/textlabel.h"

#include "base/pixel_math.h"
#include "canvas/qt_interop.h"

#include <QColor>

namespace kurvo {

void TCustomTextLabel::Changed()
{
    if (OnChange) OnChange(this);
}

void TCustomTextLabel::SetPosX(double value)
{
    FPosX = value;
    Changed();
}

void TCustomTextLabel::SetPosY(double value)
{
    FPosY = value;
    Changed();
}

void TCustomTextLabel::SetLayer(int value)
{
    if (value < 1 || value > 16) return;
    FLayer = value;
    Changed();
}

void TCustomTextLabel::SetShadowDx(int value)
{
    FShadowDx = ClampOffset(value);
    Changed();
}

void TCustomTextLabel::SetShadowDy(int value)
{
    FShadowDy = ClampOffset(value);
    Changed();
}

void TCustomTextLabel::SetColorShadow(TColor value)
{
    FColorShadow = value;
    Changed();
}

void TCustomTextLabel::SetAlignment(TAlignment value)
{
    FAlignment = value;
    Changed();
}

void TCustomTextLabel::SetVerticalAlignment(TVerticalAlignment value)
{
    FVerticalAlignment = value;
    Changed();
}

void TCustomTextLabel::SetAttachToData(TTxtLblAttachMode value)
{
    FAttachToData = value;
    Changed();
}

void TCustomTextLabel::SetColorBkg(TColor value)
{
    FColorBkg = value;
    Changed();
}

void TCustomTextLabel::SetColorBorder(TColor value)
{
    FColorBorder = value;
    Changed();
}

void TCustomTextLabel::SetTransparent(bool value)
{
    FTransparent = value;
    Changed();
}

void TCustomTextLabel::SetFont(const TFont& value)
{
    FFont = value;
    Changed();
}

void TCustomTextLabel::SetCaption(const std::string& value)
{
    FCaption = value;
    for (char& c : FCaption)
        if (static_cast<unsigned char>(c) < 32 && c != '\n') c = ' ';
    Changed();
}

void TCustomTextLabel::SetMode(TTxtLblMode value)
{
    FMode = value;
    Changed();
}

void TCustomTextLabel::SetVisible(bool value)
{
    FVisible = value;
    Changed();
}

void TCustomTextLabel::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TCustomTextLabel*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    FPosX = other->FPosX;
    FPosY = other->FPosY;
    FLayer = other->FLayer;
    FShadowDx = other->FShadowDx;
    FShadowDy = other->FShadowDy;
    FColorShadow = other->FColorShadow;
    FAlignment = other->FAlignment;
    FVerticalAlignment = other->FVerticalAlignment;
    FAttachToData = other->FAttachToData;
    FColorBkg = other->FColorBkg;
    FColorBorder = other->FColorBorder;
    FTransparent = other->FTransparent;
    FFont = other->FFont;
    FCaption = other->FCaption;
    FMode = other->FMode;
    FVisible = other->FVisible;
}

// Qt colours (see TColor)
void TCustomTextLabel::SetColorShadow(const QColor& value) { SetColorShadow(FromQColor(value)); }
void TCustomTextLabel::SetColorShadow(Qt::GlobalColor value) { SetColorShadow(FromQColor(value)); }
void TCustomTextLabel::SetColorBkg(const QColor& value) { SetColorBkg(FromQColor(value)); }
void TCustomTextLabel::SetColorBkg(Qt::GlobalColor value) { SetColorBkg(FromQColor(value)); }
void TCustomTextLabel::SetColorBorder(const QColor& value) { SetColorBorder(FromQColor(value)); }
void TCustomTextLabel::SetColorBorder(Qt::GlobalColor value) { SetColorBorder(FromQColor(value)); }

}  // namespace kurvo
