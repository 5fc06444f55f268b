// Background image settings.
#include "chart/background.h"

namespace kurvo {

std::string ExtractFileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void TBakGndImg::Changed()
{
    if (OnChange) OnChange(this);
}

void TBakGndImg::SetName(const std::string& value)
{
    FName = FIncludePath ? value : ExtractFileName(value);
    Changed();
}

void TBakGndImg::SetIncludePath(bool value)
{
    FIncludePath = value;
    if (!value) FName = ExtractFileName(FName);
    Changed();
}

void TBakGndImg::SetFillMode(TBkgFill value)
{
    FFillMode = value;
    Changed();
}

void TBakGndImg::SetAreaMode(TBGAreaMode value)
{
    FAreaMode = value;
    Changed();
}

void TBakGndImg::SetAreaColor(TColor value)
{
    FAreaColor = value;
    Changed();
}

void TBakGndImg::SetAreaLeft(double value)
{
    FAreaLeft = value;
    Changed();
}

void TBakGndImg::SetAreaRight(double value)
{
    FAreaRight = value;
    Changed();
}

void TBakGndImg::SetAreaTop(double value)
{
    FAreaTop = value;
    Changed();
}

void TBakGndImg::SetAreaBottom(double value)
{
    FAreaBottom = value;
    Changed();
}

void TBakGndImg::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TBakGndImg*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    FName = other->FName;
    FIncludePath = other->FIncludePath;
    FFillMode = other->FFillMode;
    FAreaMode = other->FAreaMode;
    FAreaColor = other->FAreaColor;
    FAreaLeft = other->FAreaLeft;
    FAreaRight = other->FAreaRight;
    FAreaTop = other->FAreaTop;
    FAreaBottom = other->FAreaBottom;
    OnChange = other->OnChange;
}

}  // namespace kurvo
