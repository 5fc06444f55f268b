// The background image settings and the coloured area of the data area.
#pragma once

#include "../base/enums.h"
#include "../canvas/Qorn_canvas.h"

#include <string>

namespace kurvo {

class TBakGndImg : public TPersistent {
public:
    /// File name of a BMP image; without IncludePath only its file-name part is kept.
    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    bool IncludePath() const { return FIncludePath; }
    void SetIncludePath(bool value);
    TBkgFill FillMode() const { return FFillMode; }
    void SetFillMode(TBkgFill value);
    TBGAreaMode AreaMode() const { return FAreaMode; }
    void SetAreaMode(TBGAreaMode value);
    TColor AreaColor() const { return FAreaColor; }
    void SetAreaColor(TColor value);
    double AreaLeft() const { return FAreaLeft; }
    void SetAreaLeft(double value);
    double AreaRight() const { return FAreaRight; }
    void SetAreaRight(double value);
    double AreaTop() const { return FAreaTop; }
    void SetAreaTop(double value);
    double AreaBottom() const { return FAreaBottom; }
    void SetAreaBottom(double value);

    /// Copies the settings and the change callback.
    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TBakGndImg"; }

    TNotifyEvent OnChange;

private:
    void Changed();

    std::string FName;
    bool FIncludePath = false;
    TBkgFill FFillMode = bfStretch;
    TBGAreaMode FAreaMode = bamNone;
    TColor FAreaColor = 0xDDDDDD;
    double FAreaLeft = -1.0;
    double FAreaRight = 1.0;
    double FAreaTop = 1.0;
    double FAreaBottom = -1.0;
};

/// The text after the last path separator ('/' or '\').
std::string ExtractFileName(const std::string& path);

}  // namespace kurvo
