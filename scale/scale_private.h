// The state of the axis control behind its d-pointer. Internal: not installed, included
// only by the library's own sources and its tests.
#pragma once

#include "scale/Qorn_Scale.h"

#include <memory>
#include <utility>

namespace kurvo {

class TScalePrivate {
public:
    explicit TScalePrivate(TScale* owner) : q(owner) {}
    TScalePrivate(const TScalePrivate&) = delete;
    TScalePrivate& operator=(const TScalePrivate&) = delete;

    static TScalePrivate& Get(TScale& object) { return *object.d; }
    static const TScalePrivate& Get(const TScale& object) { return *object.d; }

    // Private member functions of TScale, for its helper classes and tests.
    template <class S, class... A>
    static decltype(auto) DrawTickVisit(S& self, A&&... a)
    {
        return self.DrawTickVisit(std::forward<A>(a)...);
    }

    TScale* const q;


    int FMarginTop = 20;

    int FMarginBottom = 20;

    int FMarginLeft = 20;

    int FMarginRight = 20;

    TScaleType FScaleType = sctXB;

    double FRangeLow = 0.0;

    double FRangeHigh = 100.0;

    bool FLogarithmic = false;

    int FMinTicks = 3;

    bool FShortTicks = true;

    TFigType FLabelType = ftNum;

    int FDecPlaces = -2;

    bool FTrimTrailingZeros = false;

    std::string FScaleInscript;

    std::string FUserTickText;

    std::unique_ptr<TDTLabel> FDateFormat;

    std::string FCaption;

    int FCaptionPosX = 4;

    int FCaptionPosY = 4;

    TAlignment FCaptionAlignment = taCenter;

    TScaleUnitAnchor FCaptionAnchor = uaSclTopLft;

    TColor FColorScale = 0;

    TColor FColorBackGnd = clBtnFace;

    TColorScheme FColorScheme = csBWG;

    TFrameStyle FFrameStyle = fsLowered;

    bool FShowBaseLine = true;

    bool FTransparent = false;

    TMouseActMode FMouseAction = maNone;


    double FScaleFactor = 1.0;

    double FScaleOffset = 0.0;

    TTickList FTicks;

    TColor FFrameDarkColor = 0;

    TColor FFrameShadowColor = 0x808080;

    TColor FFrameHighlightColor = 0xFFFFFF;

    bool FLoadingFlag = true;

    bool FEmbedded = false;

    bool FPaintSuspended = true;

    TCanvas* FExternalCanvas = nullptr;

    int FDX = 0;

    int FDY = 0;


    /// Drag state of a stand-alone axis.
    int FAnchorX = 0;

    int FAnchorY = 0;

    double FSavedLow = 0.0;

    double FSavedHigh = 0.0;

    bool FDragging = false;
};

}  // namespace kurvo
