#include "base/crosshair.h"

#include "base/pixel_math.h"
#include "canvas/qt_interop.h"

#include <QColor>

#include <algorithm>

namespace kurvo {

void TCrossHair::Changed()
{
    if (OnChange) OnChange(this);
}

void TCrossHair::SetPosX(double value)
{
    FPosX = value;
    Changed();
}

void TCrossHair::SetPosY(double value)
{
    FPosY = value;
    Changed();
}

void TCrossHair::SetColor(TColor value)
{
    FColor = value;
    Changed();
}

void TCrossHair::SetMode(TCrossHMode value)
{
    FMode = value;
    Changed();
}

void TCrossHair::SetLineType(TPenStyle value)
{
    FLineType = value;
    Changed();
}

void TCrossHair::SetLineWid(int value)
{
    FLineWid = std::clamp(value, 0, MaxCrossHairWidth);
    Changed();
}

void TCrossHair::SetLayer(int value)
{
    FLayer = std::clamp(value, 1, 16);
    Changed();
}

void TCrossHair::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TCrossHair*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    FPosX = other->FPosX;
    FPosY = other->FPosY;
    FColor = other->FColor;
    FMode = other->FMode;
    FLineType = other->FLineType;
    FLineWid = other->FLineWid;
    FLayer = other->FLayer;
}

// Qt colours (see TColor)
void TCrossHair::SetColor(const QColor& value) { SetColor(FromQColor(value)); }
void TCrossHair::SetColor(Qt::GlobalColor value) { SetColor(FromQColor(value)); }

}  // namespace kurvo
