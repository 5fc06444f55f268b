// Axis property objects: everything the user sets about one layer's X or Y
// axis. Their ranges are the layer's world ranges; the chart copies them
// into its axis controls with SyncAxis.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../base/Qorn_qornbase.h"

#include <memory>
#include <string>

namespace kurvo {

/// The settings of one layer's X or Y axis: range, labels, caption and
/// look. Every setter raises OnChange unless its comment says otherwise.
class KURVO_EXPORT TScaleProps : public TPersistent {
public:
    TScaleProps();
    ~TScaleProps() override;
    TScaleProps(const TScaleProps&) = delete;
    TScaleProps& operator=(const TScaleProps&) = delete;

    /// Every field to its reset value; clears OnChange.
    virtual void Reset();

    ///@{
    /// Caption of the axis; default empty.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    ///@}
    ///@{
    /// Caption offset from its anchor in X, pixels; default 0.
    int CaptionPosX() const { return FCaptionPosX; }
    void SetCaptionPosX(int value);
    ///@}
    ///@{
    /// Caption offset from its anchor in Y, pixels; default 0.
    int CaptionPosY() const { return FCaptionPosY; }
    void SetCaptionPosY(int value);
    ///@}
    ///@{
    /// Alignment of the caption at its anchor; default taCenter.
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment value);
    ///@}
    ///@{
    /// Where along the axis the caption sits; default uaSclTopLft.
    TScaleUnitAnchor CaptionAnchor() const { return FCaptionAnchor; }
    void SetCaptionAnchor(TScaleUnitAnchor value);
    ///@}
    ///@{
    /// Colour of the axis line, ticks and labels; default black.
    TColor ColorScale() const { return FColorScale; }
    void SetColorScale(TColor value);
    ///@}
    ///@{
    /// Layout of date/time labels (LabelType ftDateTime), owned by the object.
    TDTLabel* DateFormat() { return FDateFormat.get(); }
    const TDTLabel* DateFormat() const { return FDateFormat.get(); }
    ///@}
    /// Takes the settings of `value` into the own date format (which keeps
    /// its own change callback).
    void SetDateFormat(const TDTLabel& value);
    ///@{
    /// Decimals of numeric labels, -3 ... 12 (clamped); negative values select
    /// exponent form and automatic choices. Default -2.
    int DecPlaces() const { return FDecPlaces; }
    void SetDecPlaces(int value);  ///< clamped to -3 ... 12
    ///@}
    ///@{
    /// Logarithmic axis; default off. Switching on is refused (the value stays)
    /// while a bound is below 1e-100 or LabelType is ftDateTime, except while loading.
    bool Logarithmic() const { return FLogarithmic; }
    void SetLogarithmic(bool value);
    ///@}
    ///@{
    /// Kind of the tick labels; default ftNum. ftDateTime also switches
    /// Logarithmic off, ftTime sets DecPlaces to 4.
    TFigType LabelType() const { return FLabelType; }
    void SetLabelType(TFigType value);
    ///@}
    ///@{
    /// Font of the tick labels; its own changes raise OnChange too. SetFont copies
    /// the attributes.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);
    ///@}
    ///@{
    /// Least number of long ticks; default 3.
    int MinTicks() const { return FMinTicks; }
    void SetMinTicks(int value);
    ///@}
    ///@{
    /// Set while the chart loads; relaxes the logarithmic checks. No OnChange.
    bool LoadingFlag() const { return FLoading; }
    void SetLoadingFlag(bool value) { FLoading = value; }
    ///@}
    ///@{
    /// Off for a stand-alone object. On (the chart's own axis objects, outside
    /// loading): a logarithmic axis never accepts a bound below 1e-100 but
    /// raises EQornKurvoError ("Logarithmic axis must not be negative.") and
    /// changes nothing; Logarithmic(true) on a range with one such bound moves
    /// that bound one decade beyond the other, and raises when both are.
    bool RaiseImpossibleLog() const { return FRaiseImpossibleLog; }
    void SetRaiseImpossibleLog(bool value) { FRaiseImpossibleLog = value; }
    ///@}
    ///@{
    /// Low end of the range, world units; default 0. A range narrower than
    /// MinRange() is widened away from the bound being set; on a logarithmic axis
    /// a bound below 1e-100 is ignored.
    double RangeLow() const { return FRangeLow; }
    void SetRangeLow(double value);
    ///@}
    ///@{
    /// High end of the range, world units; default 1; see RangeLow().
    double RangeHigh() const { return FRangeHigh; }
    void SetRangeHigh(double value);
    ///@}
    ///@{
    /// Short ticks between the long ones; default on.
    bool ShortTicks() const { return FShortTicks; }
    void SetShortTicks(bool value);
    ///@}
    ///@{
    /// Text wrapped around every numeric label; default empty.
    const std::string& ScaleInscript() const { return FScaleInscript; }
    void SetScaleInscript(const std::string& value);
    ///@}
    /// Orientation and side of the axis line, set through ScaleLocation.
    TScaleType ScaleType() const { return FScaleType; }
    ///@{
    /// Distance of the axis line outward from the data area's edge, pixels;
    /// default 0 (kept separately for X and Y scale types).
    int ScalePos() const;
    void SetScalePos(int value);
    ///@}
    ///@{
    /// Smallest allowed |RangeHigh - RangeLow|, world units; default 1e-10.
    /// Values at or below 1e-100 are ignored; a narrower range is recentred.
    double MinRange() const { return FMinRange; }
    void SetMinRange(double value);
    ///@}
    /// What a drag on the axis band does; default maNone.
    TMouseActMode MouseAction() const { return FMouseAction; }
    /// Only stored (the axis control never gets it), so it raises no OnChange.
    void SetMouseAction(TMouseActMode value);
    ///@{
    /// '|'-separated labels used when LabelType is ftUserText; default empty.
    const std::string& UserTickText() const { return FUserTickText; }
    void SetUserTickText(const std::string& value);
    ///@}
    ///@{
    /// Whether the axis is drawn; default off.
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    ///@}

    ///@{
    /// Stores a range without checks or notification (layer range changes).
    void StoreRangeLow(double value) { FRangeLow = value; }
    void StoreRangeHigh(double value) { FRangeHigh = value; }
    void StoreLogarithmic(bool value) { FLogarithmic = value; }
    ///@}

    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TScaleProps"; }

    /// Raised after a change; the chart installs SyncAllAxes.
    TNotifyEvent OnChange;

protected:
    /// Sets the scale type (ScaleLocation's setter does).
    void SetScaleType(TScaleType value) { FScaleType = value; }
    /// Raises OnChange when assigned.
    void Changed();
    /// True when a logarithmic axis must refuse the range low ... high; raises
    /// instead while RaiseImpossibleLog is on and the object is not loading.
    bool RefusedByLog(double low, double high) const;

private:
    std::string FCaption;
    int FCaptionPosX = 0;
    int FCaptionPosY = 0;
    TAlignment FCaptionAlignment = taCenter;
    TScaleUnitAnchor FCaptionAnchor = uaSclTopLft;
    TColor FColorScale = 0;
    std::unique_ptr<TDTLabel> FDateFormat;
    int FDecPlaces = -2;
    bool FLogarithmic = false;
    TFigType FLabelType = ftNum;
    TFont FFont;
    int FMinTicks = 3;
    bool FLoading = true;
    double FRangeLow = 0.0;
    double FRangeHigh = 1.0;
    bool FShortTicks = true;
    std::string FScaleInscript;
    TScaleType FScaleType = sctXT;
    int FScalePosVert = 0;
    int FScalePosHoriz = 0;
    double FMinRange = 1e-10;
    TMouseActMode FMouseAction = maNone;
    std::string FUserTickText;
    bool FVisible = false;
    bool FRaiseImpossibleLog = false;
};

/// The axis properties of an X axis.
class KURVO_EXPORT TScalePropsHoriz : public TScaleProps {
public:
    TScalePropsHoriz();
    void Reset() override;
    ///@{
    /// Side of the data area the axis lies on; default slBottom.
    TScaleLocationHoriz ScaleLocation() const { return FLocation; }
    void SetScaleLocation(TScaleLocationHoriz value);
    ///@}
    std::string ClassName() const override { return "TScalePropsHoriz"; }

private:
    TScaleLocationHoriz FLocation = slBottom;
};

/// The axis properties of a Y axis.
class KURVO_EXPORT TScalePropsVert : public TScaleProps {
public:
    TScalePropsVert();
    void Reset() override;
    ///@{
    /// Side of the data area the axis lies on; default slLeft.
    TScaleLocationVert ScaleLocation() const { return FLocation; }
    void SetScaleLocation(TScaleLocationVert value);
    ///@}
    std::string ClassName() const override { return "TScalePropsVert"; }

private:
    TScaleLocationVert FLocation = slLeft;
};

}  // namespace kurvo
