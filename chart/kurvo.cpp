// The chart component: construction, defaults, loading, Assign, destruction.
#include "chart/Qorn_kurvo.h"
#include "chart/interaction.h"

#include <string>

namespace kurvo {

namespace {

// Axis colours of layers 1 ... 16.
constexpr std::array<TColor, LayerCount> kLayerColors = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

}  // namespace

TCustomKurvo::TCustomKurvo(QWidget* parentWidget) : TCustomControl(parentWidget)
{
    FInteraction = std::make_unique<TKurvoInteraction>(*this);
    FPaintSuspended = true;
    FAnnotationMode = false;
    FDataInFront = false;
    FAnnotationsShown = true;
    FAnnotTextsLast = true;

    for (auto& crossHair : FCrossHairs) crossHair = std::make_unique<TCrossHair>();
    for (auto& label : FTextLabels) label = std::make_unique<TTextLabel>();
    FBackGroundImg = std::make_unique<TBakGndImg>();
    FJointLayers = std::make_unique<TJointLayers>(this);
    FExporter = std::make_unique<TKurvoExporter>(*this);
    // A chart takes its share of a layout without a stretch factor.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    FDataBitmap = std::make_unique<TBitmap>();
    FControlBitmap = std::make_unique<TBitmap>();
    FBackBitmap = std::make_unique<TBitmap>();
    FBitmap10 = std::make_unique<TBitmap>();
    for (int n = 0; n < LayerCount; ++n) {
        FAxisX[n] = std::make_unique<TScale>();
        FScaleX[n] = std::make_unique<TScalePropsHoriz>();
        FAxisY[n] = std::make_unique<TScale>();
        FScaleY[n] = std::make_unique<TScalePropsVert>();
    }

    TCustomControl::SetBounds(Left(), Top(), 280, 200);
    FMarginLeft = 50;
    FMarginRight = 10;
    FMarginTop = 16;
    FMarginBottom = 32;

    FMouseTrace.clear();
    FMouseTrace.reserve(MouseTraceCapacity);
    FMouseTraceColor = 0xFFFFFF;
    FMouseTraceInvert = true;
    ResizeDataBitmap();
    FControlBitmap->SetSize(Width(), Height());

    FTextFont = Font();
    WithDeferredSync([this] { SetDefaults(); });
    ClearEvents();
    // A chart built in code is never loaded: its axis objects check their
    // settings from the start (BeginLoading relaxes the checks again).
    SetAxisLoadingFlags(IsLoading());
}

void TCustomKurvo::SetAxisLoadingFlags(bool value)
{
    for (int n = 0; n < LayerCount; ++n) {
        FScaleX[n]->SetLoadingFlag(value);
        FScaleY[n]->SetLoadingFlag(value);
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
    if (FUseDataOf != nullptr) FUseDataOf->RemoveSharer(this);
    ReleaseSharers();

    // The sub-objects notify this chart; silence them before they go.
    for (auto& crossHair : FCrossHairs) crossHair->OnChange = nullptr;
    for (auto& label : FTextLabels) label->OnChange = nullptr;
    FBackGroundImg->OnChange = nullptr;
    FJointLayers->OnChange = nullptr;
    for (int n = 0; n < LayerCount; ++n) {
        FScaleX[n]->OnChange = nullptr;
        FScaleX[n]->DateFormat()->OnChange = nullptr;
        FScaleY[n]->OnChange = nullptr;
        FScaleY[n]->DateFormat()->OnChange = nullptr;
        FAxisX[n]->SetExternalCanvas(nullptr, 0, 0);
        FAxisY[n]->SetExternalCanvas(nullptr, 0, 0);
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
    OnMouseDown = nullptr;
    OnMouseMove = nullptr;
    OnMouseUp = nullptr;
    OnClick = nullptr;
    OnDblClick = nullptr;
}

void TCustomKurvo::InstallAxisCallbacks(int layer)
{
    const int n = layer - 1;
    for (TScale* axis : {FAxisX[n].get(), FAxisY[n].get()}) {
        axis->OnScaleTickDrawn = [this](TObject*, TCanvas& canvas, TScaleType scaleType, double value, int x, int y) {
            if (OnScaleTickDrawn) OnScaleTickDrawn(this, canvas, scaleType, value, x, y);
        };
        axis->OnBeforeTickLabel = [this](TObject*, TScaleType scaleType, double value, std::string& label) {
            if (OnBeforeTickLabel) OnBeforeTickLabel(this, scaleType, value, label);
        };
        axis->OnZoomPan = [this](TObject*) { SyncAllAxes(); };
    }
    auto sync = [this](TObject*) { SyncAllAxes(); };
    FScaleX[n]->OnChange = sync;
    FScaleX[n]->DateFormat()->OnChange = sync;
    FScaleY[n]->OnChange = sync;
    FScaleY[n]->DateFormat()->OnChange = sync;
}

void TCustomKurvo::SetDefaults()
{
    // 1. lists and item defaults
    FPaintSuspended = true;
    FStandardLayout = kvl_X1Bottom_Y1Left;
    if (FUseDataOf != nullptr) FUseDataOf->RemoveSharer(this);
    FUseDataOf = nullptr;
    FData.Clear();
    FAnnot.Clear();
    FAllocSize = 1000;
    FClassDefault = 0;
    FAvoidDuplicateMarks = false;
    FMinDupMarkDist = 1;

    // 2. shadow, colours, layers, pan grid
    FShadowWidth = 0;
    FShadowColor = clGrayText;
    FShadowBakColor = clBtnFace;
    FShadowStyle = ssFlying;
    FCurrentLayer = 1;
    FLayerVisible.fill(true);
    FDataColor = 0;
    FPenStyle = psSolid;
    FChartFrameColor = 0;
    FFillColor = 12632256;
    FChartColor = clWhite;
    FWindColor = clBtnFace;
    FGridColor = 0;
    FLineWidth = 1;
    FPanGridDx = FPanGridDy = 1.0;
    FPanGridOffsX = FPanGridOffsY = 0.0;

    // 3. caption and item counters
    FCaption.clear();
    FCaptionTrim = 100;
    FCaptionPosX = 0;
    FCaptionPosY = -15;
    FCaptionAlignment = taRightJustify;
    FCaptionAnchorHoriz = cahChartRight;
    FCaptionAnchorVert = cavChartTop;
    FItemCounters.fill(0);
    FItemCounters[0] = 1;

    // 4. crosshairs
    auto repaint = [this](TObject*) { RepaintIfAutoRedraw(); };
    for (int i = 0; i < CrossHairCount; ++i) {
        TCrossHair& c = *FCrossHairs[i];
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
    for (auto& labelPtr : FTextLabels) {
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
    for (TLongTextArray& texts : FLongTexts) texts.Clear();
    FBackGroundImg->OnChange = repaint;
    FBackGroundImg->SetName("");
    FJointLayers->OnChange = repaint;

    // 7. rendering defaults
    FAux = 0;
    FIsometric = false;
    FMouseCursorFixed = true;
    FAutoRedraw = false;
    FRender.PolyCount = 0;
    FTextFont = Font();
    FTextBkStyle = tbClear;
    FTextAlignment = taCenter;
    FDataClassVisible.fill(true);
    FAnnotClassVisible.fill(true);
    FGridStyle = gsNone;
    FGridDx = FGridDy = 0.0;

    // 8. cursors of the mouse actions
    RegisterCursor(1, "CURHAND", 12, 3);
    RegisterCursor(2, "CURZOOMW", 7, 9);
    RegisterCursor(3, "CURZOOMD", 15, 15);
    RegisterCursor(4, "CURZOOMP", 7, 8);

    // 9. bitmaps and the screen's aspect
    FDataBitmap->SetPixelFormat(pf32bit);
    FBitmap10->SetSize(10, 10);
    FAspectX = ScreenAspectX();
    FAspectY = ScreenAspectY();

    // 10. axis objects and controls
    for (int layer = 1; layer <= LayerCount; ++layer) {
        const int n = layer - 1;
        TScale& ax = *FAxisX[n];
        FScaleX[n]->Reset();
        FScaleX[n]->SetRaiseImpossibleLog(true);
        ax.ApplyDefaults();
        InstallAxisCallbacks(layer);
        ax.SetMouseAction(maZoom);
        ax.SetTransparent(true);
        ax.SetColorBackGnd(FWindColor);
        ax.SetFrameStyle(fsNone);
        ax.SetBounds(0, 0, Width(), Height());
        SyncAxis(ax, *FScaleX[n]);
        ax.SetMarginLeft(FMarginLeft);
        ax.SetMarginRight(FMarginRight + FShadowWidth - 1);

        TScale& ay = *FAxisY[n];
        FScaleY[n]->Reset();
        FScaleY[n]->SetRaiseImpossibleLog(true);
        ay.ApplyDefaults();
        InstallAxisCallbacks(layer);
        ay.SetTransparent(true);
        ay.SetColorBackGnd(FWindColor);
        ay.SetFrameStyle(fsNone);
        ay.SetBounds(0, 0, Width(), Height());
        SyncAxis(ay, *FScaleY[n]);
        ay.SetMarginTop(FMarginTop);
        ay.SetMarginBottom(FMarginBottom + FShadowWidth - 1);
    }

    // 11. embed the axes: they draw only when asked, onto the control bitmap
    for (int layer = 1; layer <= LayerCount; ++layer) {
        const int n = layer - 1;
        const bool odd = layer % 2 == 1;
        TScale& ax = *FAxisX[n];
        ax.SetPaintSuspended(true);
        ax.SetEmbedded(true);
        ax.SetExternalCanvas(&FControlBitmap->Canvas(), 0, 0);
        ax.SetName("KV_FScale_X_" + std::to_string(layer));
        FScaleX[n]->SetColorScale(kLayerColors[n]);
        FScaleX[n]->SetScaleLocation(odd ? slBottom : slTop);
        FScaleX[n]->SetScalePos((n / 2) * 30);

        TScale& ay = *FAxisY[n];
        ay.SetPaintSuspended(true);
        ay.SetEmbedded(true);
        ay.SetExternalCanvas(&FControlBitmap->Canvas(), 0, 0);
        ay.SetName("KV_FScale_Y_" + std::to_string(layer));
        FScaleY[n]->SetColorScale(kLayerColors[n]);
        FScaleY[n]->SetScaleLocation(odd ? slLeft : slRight);
        FScaleY[n]->SetScalePos((n / 2) * 50);
    }

    // 12. the first standard layout, history, mouse state
    FPaintSuspended = true;
    SetStandardLayout(kvl_X1Bottom_Y1Left);
    ClearZoomHistory();
    FPanLimits = TPanLimits{};
    FMouseAction = maNone;
    FMouseLayer.fill(false);
    FMouseLayer[0] = true;
    FDragging = false;
    FAnchors.fill(TDragAnchor{});
    FLastX = FLastY = 0;
    FZoomState = zsNormal;
    FWinX0 = FWinY0 = FWinX1 = FWinY1 = 0;
    FDoubleClick = false;
    FSelectedCrossHair = 0;
    FSelectedLabel = 0;
    FAutoRedraw = true;
}

void TCustomKurvo::Loaded()
{
    TCustomControl::Loaded();
    for (int n = 0; n < LayerCount; ++n) {
        SyncAxis(*FAxisX[n], *FScaleX[n]);
        SyncAxis(*FAxisY[n], *FScaleY[n]);
        FScaleX[n]->SetLoadingFlag(false);
        FScaleY[n]->SetLoadingFlag(false);
    }
    CalcTransforms();
    Paint();
}

void TCustomKurvo::RepaintIfAutoRedraw()
{
    if (FAutoRedraw || IsDesigning()) Paint();
}

void TKurvo::CreateWnd()
{
    TCustomKurvo::CreateWnd();
    SetPaintSuspended(false);
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
    const bool suspended = FPaintSuspended;
    FPaintSuspended = true;

    // settings of the property table
    FAllocSize = src->FAllocSize;
    FAutoRedraw = src->FAutoRedraw;
    FMarginLeft = src->FMarginLeft;
    FMarginRight = src->FMarginRight;
    FMarginTop = src->FMarginTop;
    FMarginBottom = src->FMarginBottom;
    FShadowWidth = src->FShadowWidth;
    FShadowStyle = src->FShadowStyle;
    FShadowColor = src->FShadowColor;
    FShadowBakColor = src->FShadowBakColor;
    FDataColor = src->FDataColor;
    FFillColor = src->FFillColor;
    FPenStyle = src->FPenStyle;
    FLineWidth = src->FLineWidth;
    FChartFrameColor = src->FChartFrameColor;
    FChartColor = src->FChartColor;
    FWindColor = src->FWindColor;
    FGridColor = src->FGridColor;
    FGridStyle = src->FGridStyle;
    FGridDx = src->FGridDx;
    FGridDy = src->FGridDy;
    FCaption = src->FCaption;
    FCaptionTrim = src->FCaptionTrim;
    FCaptionPosX = src->FCaptionPosX;
    FCaptionPosY = src->FCaptionPosY;
    FCaptionAlignment = src->FCaptionAlignment;
    FCaptionAnchorHoriz = src->FCaptionAnchorHoriz;
    FCaptionAnchorVert = src->FCaptionAnchorVert;
    FClassDefault = src->FClassDefault;
    FIsometric = src->FIsometric;
    FStandardLayout = src->FStandardLayout;
    FTextBkStyle = src->FTextBkStyle;
    FTextAlignment = src->FTextAlignment;
    FMouseAction = src->FMouseAction;
    FMouseCursorFixed = src->FMouseCursorFixed;
    FMouseTraceColor = src->FMouseTraceColor;
    FMouseTraceInvert = src->FMouseTraceInvert;
    FPanGridDx = src->FPanGridDx;
    FPanGridDy = src->FPanGridDy;
    FPanGridOffsX = src->FPanGridOffsX;
    FPanGridOffsY = src->FPanGridOffsY;
    FAvoidDuplicateMarks = src->FAvoidDuplicateMarks;
    FMinDupMarkDist = src->FMinDupMarkDist;
    FAux = src->FAux;

    // internal state: lists (a copy of their own; sharing is re-established below)
    auto copyList = [this](const TItemList& from, TItemList& to) {
        const int capacity = FAllocSize * (from.Count / FAllocSize + 1);
        to.Items = from.Items->Copy(from.Count, capacity);
        to.Count = from.Count;
        to.Capacity = capacity;
    };
    copyList(src->FData, FData);
    copyList(src->FAnnot, FAnnot);
    FLongTexts = src->FLongTexts;
    FItemCounters = src->FItemCounters;
    FDataClassVisible = src->FDataClassVisible;
    FAnnotClassVisible = src->FAnnotClassVisible;
    FLayerVisible = src->FLayerVisible;
    FDataInFront = src->FDataInFront;
    FAnnotationsShown = src->FAnnotationsShown;
    FAnnotTextsLast = src->FAnnotTextsLast;
    FAnnotationMode = src->FAnnotationMode;
    FCurrentLayer = src->FCurrentLayer;
    FPanLimits = src->FPanLimits;
    FZoomHistory = src->FZoomHistory;
    FZoomNext = src->FZoomNext;
    FTransform = src->FTransform;
    FAspectX = src->FAspectX;
    FAspectY = src->FAspectY;
    FMouseLayer = src->FMouseLayer;

    // Sharing: the copy uses the data of the source's owner, as the source
    // does, when that keeps the sharing rules (the copy has no sharers of
    // its own, the owner has room). A source's own sharers stay with the
    // source; the copy's own sharers see its new data.
    if (FUseDataOf != nullptr) FUseDataOf->RemoveSharer(this);
    FUseDataOf = nullptr;
    TCustomKurvo* owner = src->FUseDataOf;
    if (owner != nullptr && owner != this && FSharerCount == 0 && owner->FSharerCount < MaxSharers) {
        FUseDataOf = owner;
        TakeSharedData(*owner);
        owner->FSharers[owner->FSharerCount++] = this;
    }
    PropagateSharedData();

    // events
    OnScaleTickDrawn = src->OnScaleTickDrawn;
    OnBeforeTickLabel = src->OnBeforeTickLabel;
    OnBeforeRenderData = src->OnBeforeRenderData;
    OnDataRendered = src->OnDataRendered;
    OnScalesRendered = src->OnScalesRendered;
    OnBeforeRenderChartItem = src->OnBeforeRenderChartItem;
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
    AssignControlEvents(*src);
    FInteraction->AssignSettings(*src->FInteraction);

    // Sub-objects through their own Assign; each keeps notifying this chart
    // and every axis keeps drawing onto this chart's bitmap.
    for (int n = 0; n < LayerCount; ++n) {
        FAxisX[n]->Assign(*src->FAxisX[n]);
        FAxisY[n]->Assign(*src->FAxisY[n]);
        FAxisX[n]->SetExternalCanvas(&FControlBitmap->Canvas(), 0, 0);
        FAxisY[n]->SetExternalCanvas(&FControlBitmap->Canvas(), 0, 0);
        FScaleX[n]->Assign(*src->FScaleX[n]);
        FScaleY[n]->Assign(*src->FScaleY[n]);
        InstallAxisCallbacks(n + 1);
    }
    auto repaint = [this](TObject*) { RepaintIfAutoRedraw(); };
    FBackGroundImg->Assign(*src->FBackGroundImg);
    FBackGroundImg->OnChange = repaint;
    for (int i = 0; i < CrossHairCount; ++i) FCrossHairs[i]->Assign(*src->FCrossHairs[i]);
    for (int i = 0; i < TextLabelCount; ++i) FTextLabels[i]->Assign(*src->FTextLabels[i]);
    FJointLayers->Assign(*src->FJointLayers);
    FJointLayers->SetOwner(this);
    FJointLayers->OnChange = repaint;
    FTextFont = src->FTextFont;

    FPaintSuspended = suspended;
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
