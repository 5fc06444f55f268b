// The chart component: construction, defaults, loading, Assign, destruction.
#include "chart/Qorn_kurvo.h"

#include "base/raise_event.h"
#include "chart/interaction.h"
#include "chart/kurvo_private.h"
#include "chart/series_private.h"

#include <string>

namespace kurvo {

TCustomKurvo::TCustomKurvo(QWidget* parentWidget) :
    TCustomControl(parentWidget), d(std::make_unique<TCustomKurvoPrivate>(this))
{
    d->FInteraction = std::make_unique<TKurvoInteraction>(*this);
    d->FPaintSuspended = true;
    d->FAnnotationMode = false;
    d->FDataInFront = false;
    d->FAnnotationsShown = true;
    d->FAnnotTextsLast = true;

    for (auto& crossHair : d->FCrossHairs) crossHair = std::make_unique<TCrossHair>();
    for (auto& label : d->FTextLabels) label = std::make_unique<TTextLabel>();
    d->FBackGroundImg = std::make_unique<TBakGndImg>();
    d->FJointLayers = std::make_unique<TJointLayers>(this);
    d->FExporter = std::make_unique<TKurvoExporter>(*this);
    WatchPalette(*this);
    // A chart takes its share of a layout without a stretch factor.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    d->FDataBitmap = std::make_unique<TBitmap>();
    d->FControlBitmap = std::make_unique<TBitmap>();
    d->FBackBitmap = std::make_unique<TBitmap>();
    d->FBitmap10 = std::make_unique<TBitmap>();
    for (int n = 0; n < LayerCount; ++n) {
        d->FAxisX[n] = std::make_unique<TScale>();
        d->FScaleX[n] = std::make_unique<TScalePropsHoriz>();
        d->FAxisY[n] = std::make_unique<TScale>();
        d->FScaleY[n] = std::make_unique<TScalePropsVert>();
    }

    TCustomControl::SetBounds(Left(), Top(), 280, 200);
    d->FMarginLeft = 50;
    d->FMarginRight = 10;
    d->FMarginTop = 16;
    d->FMarginBottom = 32;

    d->FMouseTrace.clear();
    d->FMouseTrace.reserve(MouseTraceCapacity);
    d->FMouseTraceColor = 0xFFFFFF;
    d->FMouseTraceInvert = true;
    ResizeDataBitmap();
    d->FControlBitmap->SetSize(Width(), Height());

    d->FTextFont = Font();
    WithDeferredSync([this] { SetDefaults(); });
    ClearEvents();
    // A chart built in code is never loaded: its axis objects check their
    // settings from the start (BeginLoading relaxes the checks again).
    SetAxisLoadingFlags(IsLoading());
}

void TCustomKurvo::SetAxisLoadingFlags(bool value)
{
    for (int n = 0; n < LayerCount; ++n) {
        d->FScaleX[n]->SetLoadingFlag(value);
        d->FScaleY[n]->SetLoadingFlag(value);
    }
}

void TCustomKurvo::BeginLoading()
{
    TCustomControl::BeginLoading();
    SetAxisLoadingFlags(true);
}

TCustomKurvo::~TCustomKurvo()
{
    // A chart that leaves must not be left behind in its owner's sharer list.
    if (d->FUseDataOf != nullptr) d->FUseDataOf->RemoveSharer(this);
    ReleaseSharers();

    // The sub-objects notify this chart; silence them before they go.
    for (auto& crossHair : d->FCrossHairs) crossHair->OnChange = nullptr;
    for (auto& label : d->FTextLabels) label->OnChange = nullptr;
    d->FBackGroundImg->OnChange = nullptr;
    d->FJointLayers->OnChange = nullptr;
    for (int n = 0; n < LayerCount; ++n) {
        d->FScaleX[n]->OnChange = nullptr;
        d->FScaleX[n]->DateFormat()->OnChange = nullptr;
        d->FScaleY[n]->OnChange = nullptr;
        d->FScaleY[n]->DateFormat()->OnChange = nullptr;
        d->FAxisX[n]->SetExternalCanvas(nullptr, 0, 0);
        d->FAxisY[n]->SetExternalCanvas(nullptr, 0, 0);
    }
}

void TCustomKurvo::ClearEvents()
{
    OnScaleTickDrawn = nullptr;
    OnBeforeTickLabel = nullptr;
    OnBeforeRenderData = nullptr;
    OnDataRendered = nullptr;
    OnScalesRendered = nullptr;
    OnBeforeRenderChartItem = nullptr;
    OnLineViewProgress = nullptr;
    OnLineViewError = nullptr;
    OnBeforeRenderText = nullptr;
    OnZoomPan = nullptr;
    OnRubberBand = nullptr;
    OnSelectRect = nullptr;
    OnBeforeCrossHairMove = nullptr;
    OnCrossHairMove = nullptr;
    OnTextLabelMove = nullptr;
    OnMouseMoveInChart = nullptr;
    OnMouseEnter = nullptr;
    OnMouseLeave = nullptr;
    OnHoverPointChange = nullptr;
    OnLegendClick = nullptr;
    OnSeriesChange = nullptr;
    OnMouseDown = nullptr;
    OnMouseMove = nullptr;
    OnMouseUp = nullptr;
    OnClick = nullptr;
    OnDblClick = nullptr;
}

void TCustomKurvo::InstallAxisCallbacks(int layer)
{
    const int n = layer - 1;
    for (TScale* axis : {d->FAxisX[n].get(), d->FAxisY[n].get()}) {
        axis->OnScaleTickDrawn = [this](TObject*, TCanvas& canvas, TScaleType scaleType, double value, int x, int y) {
            RaiseEvent(OnScaleTickDrawn, this, canvas, scaleType, value, x, y);
        };
        axis->OnBeforeTickLabel = [this](TObject*, TScaleType scaleType, double value, std::string& label) {
            RaiseEvent(OnBeforeTickLabel, this, scaleType, value, label);
        };
        axis->OnZoomPan = [this](TObject*) { SyncAllAxes(); };
    }
    auto sync = [this](TObject*) { SyncAllAxes(); };
    d->FScaleX[n]->OnChange = sync;
    d->FScaleX[n]->DateFormat()->OnChange = sync;
    d->FScaleY[n]->OnChange = sync;
    d->FScaleY[n]->DateFormat()->OnChange = sync;
}

void TCustomKurvo::SetDefaults()
{
    // 1. lists and item defaults
    d->FPaintSuspended = true;
    d->FStandardLayout = kvl_X1Bottom_Y1Left;
    if (d->FUseDataOf != nullptr) d->FUseDataOf->RemoveSharer(this);
    d->FUseDataOf = nullptr;
    d->FData.Clear();
    d->FAnnot.Clear();
    d->FAllocSize = 1000;
    d->FClassDefault = 0;
    d->FAvoidDuplicateMarks = false;
    d->FMinDupMarkDist = 1;
    ResetSeries(*this);

    // 2. shadow, colours, layers, pan grid
    d->FShadowWidth = 0;
    d->FShadowColor = clGrayText;
    d->FShadowBakColor = clBtnFace;
    d->FShadowStyle = ssFlying;
    d->FCurrentLayer = 1;
    d->FLayerVisible.fill(true);
    d->FDataColor = 0;
    d->FPenStyle = psSolid;
    d->FChartFrameColor = 0;
    d->FFillColor = 12632256;
    d->FChartColor = clWhite;
    d->FWindColor = clBtnFace;
    d->FGridColor = 0;
    d->FLineWidth = 1;
    d->FPanGridDx = d->FPanGridDy = 1.0;
    d->FPanGridOffsX = d->FPanGridOffsY = 0.0;

    // 3. caption and item counters
    d->FCaption.clear();
    d->FCaptionTrim = 100;
    d->FCaptionPosX = 0;
    d->FCaptionPosY = -15;
    d->FCaptionAlignment = taRightJustify;
    d->FCaptionAnchorHoriz = cahChartRight;
    d->FCaptionAnchorVert = cavChartTop;
    d->FItemCounters.fill(0);
    d->FItemCounters[0] = 1;

    // 4. crosshairs
    auto repaint = [this](TObject*) { RepaintIfAutoRedraw(); };
    for (int i = 0; i < CrossHairCount; ++i) {
        TCrossHair& c = *d->FCrossHairs[i];
        c.OnChange = repaint;
        c.SetPosX(0);
        c.SetPosY(0);
        c.SetLayer(i + 1);
        c.SetColor(255);
        c.SetMode(chOff);
        c.SetLineType(psDashDotDot);
        c.SetLineWid(1);
    }

    // 5. text labels
    for (auto& labelPtr : d->FTextLabels) {
        TTextLabel& l = *labelPtr;
        l.OnChange = repaint;
        l.SetPosX(0);
        l.SetPosY(0);
        l.SetLayer(1);
        l.SetAttachToData(tlamBoth);
        l.SetAlignment(taCenter);
        l.SetVerticalAlignment(vaBottom);
        l.SetColorBkg(0xFFFFFF);
        l.SetColorBorder(0);
        l.SetShadowDx(3);
        l.SetShadowDy(3);
        l.SetColorShadow(8421504);
        l.SetTransparent(false);
        l.SetCaption("");
        l.SetFont(Font());
        l.SetVisible(false);
        l.SetMode(tlOff);
    }

    // 6. long texts, background image, layer coupling
    for (TLongTextArray& texts : d->FLongTexts) texts.Clear();
    d->FBackGroundImg->OnChange = repaint;
    d->FBackGroundImg->SetName("");
    d->FJointLayers->OnChange = repaint;

    // 7. rendering defaults
    d->FAux = 0;
    d->FIsometric = false;
    d->FMouseCursorFixed = true;
    d->FAutoRedraw = false;
    d->FRender.PolyCount = 0;
    d->FTextFont = Font();
    d->FTextBkStyle = tbClear;
    d->FTextAlignment = taCenter;
    d->FDataClassVisible.fill(true);
    d->FAnnotClassVisible.fill(true);
    d->FGridStyle = gsNone;
    d->FGridDx = d->FGridDy = 0.0;
    d->FAntialiased = false;
    d->FTheme = ktClassic;

    // 8. cursors of the mouse actions
    RegisterCursor(1, "CURHAND", 12, 3);
    RegisterCursor(2, "CURZOOMW", 7, 9);
    RegisterCursor(3, "CURZOOMD", 15, 15);
    RegisterCursor(4, "CURZOOMP", 7, 8);

    // 9. bitmaps and the screen's aspect
    d->FDataBitmap->SetPixelFormat(pf32bit);
    d->FBitmap10->SetSize(10, 10);
    d->FAspectX = ScreenAspectX();
    d->FAspectY = ScreenAspectY();

    // 10. axis objects and controls
    for (int layer = 1; layer <= LayerCount; ++layer) {
        const int n = layer - 1;
        TScale& ax = *d->FAxisX[n];
        d->FScaleX[n]->Reset();
        d->FScaleX[n]->SetRaiseImpossibleLog(true);
        ax.ApplyDefaults();
        InstallAxisCallbacks(layer);
        ax.SetMouseAction(maZoom);
        ax.SetTransparent(true);
        ax.SetColorBackGnd(d->FWindColor);
        ax.SetFrameStyle(fsNone);
        ax.SetBounds(0, 0, Width(), Height());
        SyncAxis(ax, *d->FScaleX[n]);
        ax.SetMarginLeft(d->FMarginLeft);
        ax.SetMarginRight(d->FMarginRight + d->FShadowWidth - 1);

        TScale& ay = *d->FAxisY[n];
        d->FScaleY[n]->Reset();
        d->FScaleY[n]->SetRaiseImpossibleLog(true);
        ay.ApplyDefaults();
        InstallAxisCallbacks(layer);
        ay.SetTransparent(true);
        ay.SetColorBackGnd(d->FWindColor);
        ay.SetFrameStyle(fsNone);
        ay.SetBounds(0, 0, Width(), Height());
        SyncAxis(ay, *d->FScaleY[n]);
        ay.SetMarginTop(d->FMarginTop);
        ay.SetMarginBottom(d->FMarginBottom + d->FShadowWidth - 1);
    }

    // 11. embed the axes: they draw only when asked, onto the control bitmap
    for (int layer = 1; layer <= LayerCount; ++layer) {
        const int n = layer - 1;
        const bool odd = layer % 2 == 1;
        TScale& ax = *d->FAxisX[n];
        ax.SetPaintSuspended(true);
        ax.SetEmbedded(true);
        ax.SetExternalCanvas(&d->FControlBitmap->Canvas(), 0, 0);
        ax.SetName("KV_FScale_X_" + std::to_string(layer));
        d->FScaleX[n]->SetColorScale(ClassicLayerColors[n]);
        d->FScaleX[n]->SetScaleLocation(odd ? slBottom : slTop);
        d->FScaleX[n]->SetScalePos((n / 2) * 30);

        TScale& ay = *d->FAxisY[n];
        ay.SetPaintSuspended(true);
        ay.SetEmbedded(true);
        ay.SetExternalCanvas(&d->FControlBitmap->Canvas(), 0, 0);
        ay.SetName("KV_FScale_Y_" + std::to_string(layer));
        d->FScaleY[n]->SetColorScale(ClassicLayerColors[n]);
        d->FScaleY[n]->SetScaleLocation(odd ? slLeft : slRight);
        d->FScaleY[n]->SetScalePos((n / 2) * 50);
    }

    // 12. the first standard layout, history, mouse state
    d->FPaintSuspended = true;
    SetStandardLayout(kvl_X1Bottom_Y1Left);
    ClearZoomHistory();
    d->FPanLimits = TPanLimits{};
    d->FMouseAction = maNone;
    d->FMouseLayer.fill(false);
    d->FMouseLayer[0] = true;
    d->FDragging = false;
    d->FAnchors.fill(TDragAnchor{});
    d->FLastX = d->FLastY = 0;
    d->FZoomState = zsNormal;
    d->FWinX0 = d->FWinY0 = d->FWinX1 = d->FWinY1 = 0;
    d->FDoubleClick = false;
    d->FSelectedCrossHair = 0;
    d->FSelectedLabel = 0;
    d->FAutoRedraw = true;
}

void TCustomKurvo::Loaded()
{
    TCustomControl::Loaded();
    for (int n = 0; n < LayerCount; ++n) {
        SyncAxis(*d->FAxisX[n], *d->FScaleX[n]);
        SyncAxis(*d->FAxisY[n], *d->FScaleY[n]);
        d->FScaleX[n]->SetLoadingFlag(false);
        d->FScaleY[n]->SetLoadingFlag(false);
    }
    CalcTransforms();
    Paint();
}

void TCustomKurvo::RepaintIfAutoRedraw()
{
    if (d->FAutoRedraw || IsDesigning()) Paint();
}

void TKurvo::CreateWnd()
{
    TCustomKurvo::CreateWnd();
    SetPaintSuspended(false);
}

void TKurvo::paintEvent(QPaintEvent* event)
{
    if (HandleAllocated()) return TCustomKurvo::paintEvent(event);
    // Composed as an export composes a never-shown chart. The hold on
    // painting comes back afterwards, and the picture is no view the user
    // has seen, so the zoom history does not start with it.
    TCustomKurvoPrivate& p = TCustomKurvoPrivate::Get(*this);
    const bool held = p.FPaintSuspended;
    p.FPaintSuspended = false;
    Invalidate();  // composed afresh: changes made while held did not paint
    TCustomControl::paintEvent(event);
    p.FPaintSuspended = held;
}

// ---------------------------------------------------------------- Assign

void TCustomKurvo::Assign(const TPersistent& source)
{
    const auto* src = dynamic_cast<const TCustomKurvo*>(&source);
    if (src == nullptr) {
        TCustomControl::Assign(source);
        return;
    }
    if (src == this) return;
    const bool suspended = d->FPaintSuspended;
    d->FPaintSuspended = true;

    // settings of the property table
    d->FAllocSize = src->d->FAllocSize;
    d->FAutoRedraw = src->d->FAutoRedraw;
    d->FMarginLeft = src->d->FMarginLeft;
    d->FMarginRight = src->d->FMarginRight;
    d->FMarginTop = src->d->FMarginTop;
    d->FMarginBottom = src->d->FMarginBottom;
    d->FShadowWidth = src->d->FShadowWidth;
    d->FShadowStyle = src->d->FShadowStyle;
    d->FShadowColor = src->d->FShadowColor;
    d->FShadowBakColor = src->d->FShadowBakColor;
    d->FDataColor = src->d->FDataColor;
    d->FFillColor = src->d->FFillColor;
    d->FPenStyle = src->d->FPenStyle;
    d->FLineWidth = src->d->FLineWidth;
    d->FChartFrameColor = src->d->FChartFrameColor;
    d->FChartColor = src->d->FChartColor;
    d->FWindColor = src->d->FWindColor;
    d->FGridColor = src->d->FGridColor;
    d->FGridStyle = src->d->FGridStyle;
    d->FGridDx = src->d->FGridDx;
    d->FGridDy = src->d->FGridDy;
    d->FCaption = src->d->FCaption;
    d->FCaptionTrim = src->d->FCaptionTrim;
    d->FCaptionPosX = src->d->FCaptionPosX;
    d->FCaptionPosY = src->d->FCaptionPosY;
    d->FCaptionAlignment = src->d->FCaptionAlignment;
    d->FCaptionAnchorHoriz = src->d->FCaptionAnchorHoriz;
    d->FCaptionAnchorVert = src->d->FCaptionAnchorVert;
    d->FClassDefault = src->d->FClassDefault;
    d->FIsometric = src->d->FIsometric;
    d->FStandardLayout = src->d->FStandardLayout;
    d->FTextBkStyle = src->d->FTextBkStyle;
    d->FTextAlignment = src->d->FTextAlignment;
    d->FMouseAction = src->d->FMouseAction;
    d->FMouseCursorFixed = src->d->FMouseCursorFixed;
    d->FMouseTraceColor = src->d->FMouseTraceColor;
    d->FMouseTraceInvert = src->d->FMouseTraceInvert;
    d->FPanGridDx = src->d->FPanGridDx;
    d->FPanGridDy = src->d->FPanGridDy;
    d->FPanGridOffsX = src->d->FPanGridOffsX;
    d->FPanGridOffsY = src->d->FPanGridOffsY;
    d->FAvoidDuplicateMarks = src->d->FAvoidDuplicateMarks;
    d->FMinDupMarkDist = src->d->FMinDupMarkDist;
    d->FAux = src->d->FAux;

    // internal state: lists (a copy of their own; sharing is re-established below)
    auto copyList = [this](const TItemList& from, TItemList& to) {
        const int capacity = d->FAllocSize * (from.Count / d->FAllocSize + 1);
        to.Items = from.Items->Copy(from.Count, capacity);
        to.Count = from.Count;
        to.Capacity = capacity;
    };
    copyList(src->d->FData, d->FData);
    copyList(src->d->FAnnot, d->FAnnot);
    d->FLongTexts = src->d->FLongTexts;
    d->FItemCounters = src->d->FItemCounters;
    d->FDataClassVisible = src->d->FDataClassVisible;
    d->FAnnotClassVisible = src->d->FAnnotClassVisible;
    d->FLayerVisible = src->d->FLayerVisible;
    d->FDataInFront = src->d->FDataInFront;
    d->FAnnotationsShown = src->d->FAnnotationsShown;
    d->FAnnotTextsLast = src->d->FAnnotTextsLast;
    d->FAnnotationMode = src->d->FAnnotationMode;
    d->FCurrentLayer = src->d->FCurrentLayer;
    d->FPanLimits = src->d->FPanLimits;
    d->FZoomHistory = src->d->FZoomHistory;
    d->FZoomNext = src->d->FZoomNext;
    d->FZoomPushes = src->d->FZoomPushes;
    d->FZoomStamps = src->d->FZoomStamps;
    d->FTransform = src->d->FTransform;
    d->FAspectX = src->d->FAspectX;
    d->FAspectY = src->d->FAspectY;
    d->FMouseLayer = src->d->FMouseLayer;

    // Sharing: the copy uses the data of the source's owner, as the source
    // does, when that keeps the sharing rules (the copy has no sharers of
    // its own, the owner has room). A source's own sharers stay with the
    // source; the copy's own sharers see its new data.
    if (d->FUseDataOf != nullptr) d->FUseDataOf->RemoveSharer(this);
    d->FUseDataOf = nullptr;
    TCustomKurvo* owner = src->d->FUseDataOf;
    if (owner != nullptr && owner != this && d->FSharerCount == 0 && owner->d->FSharerCount < MaxSharers) {
        d->FUseDataOf = owner;
        TakeSharedData(*owner);
        owner->d->FSharers[owner->d->FSharerCount++] = this;
    }
    PropagateSharedData();
    // The line views of the data: the owner's while sharing, else copies of
    // the source's over the same memory and the same files.
    if (d->FUseDataOf != nullptr)
        d->FLineViews.Clear();
    else
        d->FLineViews.CopyFrom(src->d->LineViews());

    // events
    OnScaleTickDrawn = src->OnScaleTickDrawn;
    OnBeforeTickLabel = src->OnBeforeTickLabel;
    OnBeforeRenderData = src->OnBeforeRenderData;
    OnDataRendered = src->OnDataRendered;
    OnScalesRendered = src->OnScalesRendered;
    OnBeforeRenderChartItem = src->OnBeforeRenderChartItem;
    OnLineViewProgress = src->OnLineViewProgress;
    OnLineViewError = src->OnLineViewError;
    OnBeforeRenderText = src->OnBeforeRenderText;
    OnZoomPan = src->OnZoomPan;
    OnRubberBand = src->OnRubberBand;
    OnSelectRect = src->OnSelectRect;
    OnBeforeCrossHairMove = src->OnBeforeCrossHairMove;
    OnCrossHairMove = src->OnCrossHairMove;
    OnTextLabelMove = src->OnTextLabelMove;
    OnMouseMoveInChart = src->OnMouseMoveInChart;
    OnMouseEnter = src->OnMouseEnter;
    OnMouseLeave = src->OnMouseLeave;
    OnHoverPointChange = src->OnHoverPointChange;
    OnLegendClick = src->OnLegendClick;
    OnSeriesChange = src->OnSeriesChange;
    CopySeries(*this, *src);
    AssignControlEvents(*src);
    d->FInteraction->AssignSettings(*src->d->FInteraction);
    SetKeyboardActions(src->KeyboardActions());
    d->FInteraction->HistoryCopied();

    // Sub-objects through their own Assign; each keeps notifying this chart
    // and every axis keeps drawing onto this chart's bitmap.
    for (int n = 0; n < LayerCount; ++n) {
        d->FAxisX[n]->Assign(*src->d->FAxisX[n]);
        d->FAxisY[n]->Assign(*src->d->FAxisY[n]);
        d->FAxisX[n]->SetExternalCanvas(&d->FControlBitmap->Canvas(), 0, 0);
        d->FAxisY[n]->SetExternalCanvas(&d->FControlBitmap->Canvas(), 0, 0);
        d->FScaleX[n]->Assign(*src->d->FScaleX[n]);
        d->FScaleY[n]->Assign(*src->d->FScaleY[n]);
        InstallAxisCallbacks(n + 1);
    }
    auto repaint = [this](TObject*) { RepaintIfAutoRedraw(); };
    d->FBackGroundImg->Assign(*src->d->FBackGroundImg);
    d->FBackGroundImg->OnChange = repaint;
    for (int i = 0; i < CrossHairCount; ++i) d->FCrossHairs[i]->Assign(*src->d->FCrossHairs[i]);
    for (int i = 0; i < TextLabelCount; ++i) d->FTextLabels[i]->Assign(*src->d->FTextLabels[i]);
    d->FJointLayers->Assign(*src->d->FJointLayers);
    d->FJointLayers->SetOwner(this);
    d->FJointLayers->OnChange = repaint;
    d->FTextFont = src->d->FTextFont;
    d->FAntialiased = src->d->FAntialiased;
    d->FTheme = src->d->FTheme;

    d->FPaintSuspended = suspended;
    ResizeDataBitmap();
    SyncAllAxes();
    CalcTransforms();
    Paint();
}

void TCustomKurvo::AssignTo(TPersistent& dest) const
{
    if (auto* chart = dynamic_cast<TCustomKurvo*>(&dest)) {
        chart->Assign(*this);
        return;
    }
    TCustomControl::AssignTo(dest);
}

}  // namespace kurvo
