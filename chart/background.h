// The background image settings and the coloured area of the data area.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../base/enums.h"
#include "../canvas/Qorn_canvas.h"

#include <string>

namespace kurvo {

/// The data area's background: an image read from a file, and a coloured
/// area in world coordinates. Every setter raises OnChange.
class KURVO_EXPORT TBakGndImg : public TPersistent {
public:
    ///@{
    /// File name of a BMP image; without IncludePath only its file-name part is kept.
    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    ///@}
    ///@{
    /// Keep the directory part of Name(); default off. Switching off shortens Name().
    bool IncludePath() const { return FIncludePath; }
    void SetIncludePath(bool value);
    ///@}
    ///@{
    /// How the image fills the data area: bfSimple, bfStretch or bfTile; default bfStretch.
    TBkgFill FillMode() const { return FFillMode; }
    void SetFillMode(TBkgFill value);
    ///@}
    ///@{
    /// Which part of the data area the coloured area covers; default bamNone.
    TBGAreaMode AreaMode() const { return FAreaMode; }
    void SetAreaMode(TBGAreaMode value);
    ///@}
    ///@{
    /// Colour of the area; default 0xDDDDDD.
    TColor AreaColor() const { return FAreaColor; }
    void SetAreaColor(TColor value);
    ///@}
    ///@{
    /// Left bound of the area, world units of the current layer; default -1.
    double AreaLeft() const { return FAreaLeft; }
    void SetAreaLeft(double value);
    ///@}
    ///@{
    /// Right bound of the area, world units; default 1.
    double AreaRight() const { return FAreaRight; }
    void SetAreaRight(double value);
    ///@}
    ///@{
    /// Top bound of the area, world units; default 1.
    double AreaTop() const { return FAreaTop; }
    void SetAreaTop(double value);
    ///@}
    ///@{
    /// Bottom bound of the area, world units; default -1.
    double AreaBottom() const { return FAreaBottom; }
    void SetAreaBottom(double value);
    ///@}

    /// Copies the settings and the change callback.
    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TBakGndImg"; }

    /// Raised after every change; the chart repaints.
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
KURVO_EXPORT std::string ExtractFileName(const std::string& path);

}  // namespace kurvo
