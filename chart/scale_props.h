// Axis property objects: everything the user sets about one layer's X or Y
// axis. Their ranges are the layer's world ranges; the chart copies them
// into its axis controls with SyncAxis.
#pragma once

#include "../base/Qorn_qornbase.h"

#include <memory>
#include <string>

namespace kurvo {

class TScaleProps : public TPersistent {
public:
    TScaleProps();
    ~TScaleProps() override;
    TScaleProps(const TScaleProps&) = delete;
    TScaleProps& operator=(const TScaleProps&) = delete;

    /// Every field to its reset value; clears OnChange.
    virtual void Reset();

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    int CaptionPosX() const { return FCaptionPosX; }
    void SetCaptionPosX(int value);
    int CaptionPosY() const { return FCaptionPosY; }
    void SetCaptionPosY(int value);
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment value);
    TScaleUnitAnchor CaptionAnchor() const { return FCaptionAnchor; }
    void SetCaptionAnchor(TScaleUnitAnchor value);
    TColor ColorScale() const { return FColorScale; }
    void SetColorScale(TColor value);
    TDTLabel* DateFormat() { return FDateFormat.get(); }
    const TDTLabel* DateFormat() const { return FDateFormat.get(); }
    /// Takes the settings of `value` into the own date format (which keeps
    /// its own change callback).
    void SetDateFormat(const TDTLabel& value);
    int DecPlaces() const { return FDecPlaces; }
    void SetDecPlaces(int value);  ///< clamped to -3 ... 12
    bool Logarithmic() const { return FLogarithmic; }
    void SetLogarithmic(bool value);
    TFigType LabelType() const { return FLabelType; }
    void SetLabelType(TFigType value);
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);
    int MinTicks() const { return FMinTicks; }
    void SetMinTicks(int value);
    bool LoadingFlag() const { return FLoading; }
    void SetLoadingFlag(bool value) { FLoading = value; }
    /// Off for a stand-alone object. On (the chart's own axis objects, outside
    /// loading): a logarithmic axis never accepts a bound below 1e-100 but
    /// raises EQornKurvoError ("Logarithmic axis must not be negative.") and
    /// changes nothing; Logarithmic(true) on a range with one such bound moves
    /// that bound one decade beyond the other, and raises when both are.
    bool RaiseImpossibleLog() const { return FRaiseImpossibleLog; }
    void SetRaiseImpossibleLog(bool value) { FRaiseImpossibleLog = value; }
    double RangeLow() const { return FRangeLow; }
    void SetRangeLow(double value);
    double RangeHigh() const { return FRangeHigh; }
    void SetRangeHigh(double value);
    bool ShortTicks() const { return FShortTicks; }
    void SetShortTicks(bool value);
    const std::string& ScaleInscript() const { return FScaleInscript; }
    void SetScaleInscript(const std::string& value);
    TScaleType ScaleType() const { return FScaleType; }
    int ScalePos() const;
    void SetScalePos(int value);
    double MinRange() const { return FMinRange; }
    void SetMinRange(double value);
    TMouseActMode MouseAction() const { return FMouseAction; }
    /// Only stored (the axis control never gets it), so it raises no OnChange.
    void SetMouseAction(TMouseActMode value);
    const std::string& UserTickText() const { return FUserTickText; }
    void SetUserTickText(const std::string& value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    /// Stores a range without checks or notification (layer range changes).
    void StoreRangeLow(double value) { FRangeLow = value; }
    void StoreRangeHigh(double value) { FRangeHigh = value; }
    void StoreLogarithmic(bool value) { FLogarithmic = value; }

    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TScaleProps"; }

    TNotifyEvent OnChange;

protected:
    void SetScaleType(TScaleType value) { FScaleType = value; }
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

class TScalePropsHoriz : public TScaleProps {
public:
    TScalePropsHoriz();
    void Reset() override;
    TScaleLocationHoriz ScaleLocation() const { return FLocation; }
    void SetScaleLocation(TScaleLocationHoriz value);
    std::string ClassName() const override { return "TScalePropsHoriz"; }

private:
    TScaleLocationHoriz FLocation = slBottom;
};

class TScalePropsVert : public TScaleProps {
public:
    TScalePropsVert();
    void Reset() override;
    TScaleLocationVert ScaleLocation() const { return FLocation; }
    void SetScaleLocation(TScaleLocationVert value);
    std::string ClassName() const override { return "TScalePropsVert"; }

private:
    TScaleLocationVert FLocation = slLeft;
};

}  // namespace kurvo
