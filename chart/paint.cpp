// The paint pipeline: the whole control is composed in the control bitmap,
// the data area in the data bitmap, and the result reaches the window in
// one copy.
#include "chart/Qorn_kurvo.h"

#include "base/pixel_math.h"
#include "base/raise_event.h"
#include "chart/kurvo_private.h"
#include "chart/thread_rule.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace kurvo {

void TCustomKurvo::SetPaintSuspended(bool value)
{
    if (d->FPaintSuspended == value) return;
    d->FPaintSuspended = value;
    if (!value) Paint();
}

void TCustomKurvo::Paint()
{
    CheckChartThread(*this, "Paint (also a setter while AutoRedraw is on)");
    if ((!Visible() && !IsDesigning()) || IsLoading() || d->FPaintSuspended) return;
    d->ComposePicture(DevicePixelRatio());
    d->ShowBitmap(0, 0, Canvas(), *d->FControlBitmap);
    RecheckHover(*this);
}

void TCustomKurvo::paintEvent(QPaintEvent* event)
{
    TCustomControl::paintEvent(event);
    d->FInteraction->ViewShown();
}

void TCustomKurvoPrivate::ComposePicture(double ratio)
{
    const TKurvoExporter::TComposing composing(*FExporter);
    // The bitmaps take the window's device pixel ratio, so that the copy to
    // the window is one to one and text and lines stay sharp.
    FControlBitmap->SetDevicePixelRatio(ratio);
    FDataBitmap->SetDevicePixelRatio(ratio);
    PaintFrame(FControlBitmap->Canvas());
    q->ResizeDataBitmap();
    TBitmap& data = *FDataBitmap;
    q->DrawBackground(data.Canvas(), 0, 0, data.Width(), data.Height());
    q->RenderDataToBitmap(data, 0, 0, false, false);
    DrawMouseTrace(0, 0, data);
    FControlBitmap->Canvas().Draw(FMarginLeft, FMarginTop, data);
    // After the data area: a legend in a margin too narrow for it still shows.
    DrawLegend(*q, FControlBitmap->Canvas(), false, 0, 0);
}

void TCustomKurvoPrivate::PaintFrame(TCanvas& canvas)
{
    const int W = q->Width();
    const int H = q->Height();
    const int s = FShadowWidth;
    ApplySeriesFollow(*q);
    FControlBitmap->SetSize(W, H);

    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetMode(pmCopy);
    canvas.Brush().SetColor(FWindColor);
    canvas.Pen().SetColor(FWindColor);
    canvas.Rectangle(0, 0, W, H);

    if (s > 0) {
        canvas.Brush().SetColor(FShadowBakColor);
        canvas.Pen().SetColor(FShadowBakColor);
        canvas.Rectangle(W - s, 0, W, s);
        canvas.Rectangle(0, H - s, s, H);
        canvas.Brush().SetColor(FShadowColor);
        int f;
        if (FShadowStyle == ssFlying) {
            canvas.Pen().SetColor(FShadowColor);
            f = s - 1;
        } else {
            canvas.Pen().SetColor(0);
            f = 0;
        }
        const TPoint bottom[] = {{f, H - s}, {s - 1, H - 1}, {W - 1, H - 1}, {W - s, H - s}};
        canvas.Polygon(bottom, 4);
        const TPoint right[] = {{W - s, H - s}, {W - 1, H - 1}, {W - 1, s - 1}, {W - s, f}};
        canvas.Polygon(right, 4);
        canvas.Pen().SetColor(0);
        canvas.Pen().SetStyle(psSolid);
        canvas.MoveTo(0, 0);
        canvas.LineTo(W - s, 0);
        canvas.LineTo(W - s, H - s);
        canvas.LineTo(0, H - s);
        canvas.LineTo(0, 0);
    }

    canvas.Pen().SetColor(FChartFrameColor);
    canvas.Brush().SetStyle(bsClear);
    canvas.Font() = q->Font();
    if (canvas.IsPrinterCanvas()) {
        const int size = q->Font().Size();
        canvas.Font().SetPixelsPerInch(CanvasLogPixelsY(canvas));
        canvas.Font().SetSize(size);
    }

    // chart caption
    std::string text = FCaption;
    int tw = canvas.TextWidth(text);
    if (FCaptionTrim != 0 && !text.empty()) {
        const int avail = W - (s + FMarginLeft + FMarginRight);
        const long max = std::lrint(avail * 0.01 * FCaptionTrim);
        if (max < tw && tw > 0) {
            // Counted in characters, so a multi-byte character is never split.
            const int length = Utf8Length(text);
            const long n = std::lrint(length * (static_cast<double>(max) / tw)) - 2;
            text = Utf8Prefix(text, static_cast<int>(std::clamp<long>(n, 0, length))) + "...";
            tw = canvas.TextWidth(text);
        }
    }
    int x = FCaptionPosX;
    int y = FCaptionPosY;
    switch (FCaptionAnchorHoriz) {
        case cahControlLeft: break;
        case cahChartLeft: x += FMarginLeft; break;
        case cahChartCenter: x += FMarginLeft + (W - FMarginLeft - FMarginRight - s) / 2; break;
        case cahChartRight: x += W - FMarginRight - s; break;
        case cahControlRight: x += W; break;
    }
    switch (FCaptionAnchorVert) {
        case cavControlTop: break;
        case cavChartTop: y += FMarginTop; break;
        case cavChartCenter: y += FMarginTop + (H - FMarginTop - FMarginBottom - s) / 2; break;
        case cavChartBottom: y += H - FMarginBottom; break;
        case cavControlBottom: y += H; break;
    }
    canvas.ResetTextAlign();
    switch (FCaptionAlignment) {
        case taLeftJustify: canvas.TextOut(x, y, text); break;
        case taRightJustify: canvas.TextOut(x - tw, y, text); break;
        case taCenter: canvas.TextOut(x - tw / 2, y, text); break;
    }

    q->CalcTransforms();
    for (int n = 0; n < LayerCount; ++n) {
        q->SyncAxis(*FAxisX[n], *FScaleX[n]);
        FAxisX[n]->PaintNow();
    }
    for (int n = 0; n < LayerCount; ++n) {
        q->SyncAxis(*FAxisY[n], *FScaleY[n]);
        FAxisY[n]->PaintNow();
    }
    RaiseEvent(q->OnScalesRendered, q, canvas, 0, 0);
}

void TCustomKurvo::RenderDataToBitmap(TBitmap& bitmap, int offsetX, int offsetY, bool monochrome, bool skipGrid)
{
    RenderData(bitmap.Canvas(), offsetX, offsetY, monochrome, skipGrid);
}

void TCustomKurvo::RenderData(TCanvas& canvas, int offsetX, int offsetY, bool monochrome, bool skipGrid)
{
    // A hook that repaints (a setter called with AutoRedraw on) runs a nested
    // RenderData; the outer run gets its render state back afterwards, and
    // RenderList re-applies it to the outer canvas.
    struct TRunGuard {
        TCustomKurvo& Chart;
        std::unique_ptr<TRenderState> Outer;
        ~TRunGuard()
        {
            if (Outer) Chart.d->FRender = std::move(*Outer);
            --Chart.d->FRenderDepth;
        }
    } guard{*this, this->d->FRenderDepth > 0 ? std::make_unique<TRenderState>(this->d->FRender) : nullptr};
    ++this->d->FRenderDepth;
    ++this->d->FRenderRuns;

    TRenderState& r = this->d->FRender;
    r.OffsetX = offsetX;
    r.OffsetY = offsetY;
    // The grid itself is made by the first mark (DuplicateMark): most paints
    // have none, and a very large chart must not allocate a cell per pixel.
    r.DupActive = this->d->FAvoidDuplicateMarks;
    r.DupReady = false;
    r.DupGrid.clear();
    r.DupSparse.clear();
    if (r.DupActive) {
        const int d = this->d->FMinDupMarkDist;
        r.DupDist = d;
        r.DupWidth = std::max(0, Width() + 2 * d);
        r.DupHeight = std::max(0, Height() + 2 * d);
    }

    const TColor brush = canvas.Brush().Color();
    const TColor pen = canvas.Pen().Color();
    RaiseEvent(OnBeforeRenderData, this, canvas, this->d->FMarginTop - offsetY, this->d->FMarginLeft - offsetX);
    canvas.Brush().SetColor(brush);
    canvas.Pen().SetColor(pen);

    if (this->d->FGridStyle != gsNone && !skipGrid) d->DrawGrid(canvas);

    r.LineWidth = std::clamp<int>(this->d->FLineWidth, 1, MaxItemPenWidth);
    canvas.Pen().SetWidth(r.LineWidth);
    r.PenPos = {offsetX, offsetY};
    canvas.MoveTo(offsetX, offsetY);
    r.PenColor = this->d->FChartColor;
    canvas.Pen().SetColor(this->d->FChartColor);
    r.PenStyle = psSolid;
    canvas.Pen().SetStyle(psSolid);
    r.BrushColor = this->d->FChartColor;
    canvas.Brush().SetColor(this->d->FChartColor);
    r.FontColor = this->d->FChartColor;
    canvas.Font().SetColor(this->d->FChartColor);
    r.PolyCount = 0;
    r.PenBroken = false;
    canvas.ResetTextAlign();
    // Only the items are anti-aliased: grid, text labels and the frame stay
    // on whole pixels.
    const bool smooth = canvas.Antialiased();
    canvas.SetAntialiased(this->d->FAntialiased);

    // Series, then line views, follow the data items, whichever side of the
    // annotations they lie.
    if (!this->d->FDataInFront) {
        d->RenderList(canvas, this->d->FData, false, 0, monochrome);
        RenderSeries(*this, canvas, monochrome);
        d->RenderLineViews(canvas, monochrome);
    }
    if (this->d->FAnnotationsShown) {
        if (this->d->FAnnotTextsLast) {
            d->RenderList(canvas, this->d->FAnnot, true, 1, monochrome);
            d->RenderList(canvas, this->d->FAnnot, true, 2, monochrome);
        } else {
            d->RenderList(canvas, this->d->FAnnot, true, 0, monochrome);
        }
    }
    if (this->d->FDataInFront) {
        d->RenderList(canvas, this->d->FData, false, 0, monochrome);
        RenderSeries(*this, canvas, monochrome);
        d->RenderLineViews(canvas, monochrome);
    }
    canvas.SetAntialiased(false);

    canvas.Pen().SetWidth(1);
    d->DrawTextLabels(canvas);

    RaiseEvent(OnDataRendered, this, canvas, this->d->FMarginTop - offsetY, this->d->FMarginLeft - offsetX);

    const int w = DataWidth();
    const int h = DataHeight();
    canvas.Pen().SetColor(this->d->FChartFrameColor);
    canvas.Pen().SetStyle(psSolid);
    canvas.MoveTo(offsetX, offsetY);
    canvas.LineTo(offsetX + w, offsetY);
    canvas.LineTo(offsetX + w, offsetY + h);
    canvas.LineTo(offsetX, offsetY + h);
    canvas.LineTo(offsetX, offsetY);

    DrawLegend(*this, canvas, true, offsetX - this->d->FMarginLeft, offsetY - this->d->FMarginTop);
    canvas.SetAntialiased(smooth);
}

// pass 0: every item; 1: every item but texts; 2: texts only.
void TCustomKurvoPrivate::RenderList(TCanvas& canvas, const TItemList& list, bool isAnnotation, int pass, bool monochrome)
{
    const auto& classVisible = isAnnotation ? FAnnotClassVisible : FDataClassVisible;
    const TLongTextArray& texts = FLongTexts[isAnnotation ? 1 : 0];
    // Keep the storage alive for the walk even if a handler replaces the
    // list (SetDefaults, a new data source); items it appends are not drawn.
    const std::shared_ptr<TKvItemContainer> items = list.Items;
    const std::int64_t count = list.Count;
    const int offsetX = FRender.OffsetX;
    const int offsetY = FRender.OffsetY;
    // The walk calls its own copy of the handler, which may replace or clear the event.
    const TBeforeRenderChartItemEvent onItem = q->OnBeforeRenderChartItem;
    // By index and by value: a handler may append to the list and so move
    // the run table (the items it appends are not drawn).
    for (std::size_t r = 0; r < items->Runs().size();) {
        const TItemRun run = items->Runs()[r];
        if (run.First >= count) break;
        ResetUpperVectorState();
        if (run.Compact()) {
            // Compact runs are line-to and mark items: never texts.
            r = pass != 2 ? RenderCompactRun(canvas, *items, r, count, isAnnotation, monochrome) : r + 1;
            continue;
        }
        ++r;
        const std::int64_t n = std::min(run.Count, count - run.First);
        for (std::int64_t i = 0; i < n; ++i) {
            const TkvChartItem& stored = items->PlainItem(run.Offset + i);
            if (pass != 0) {
                const bool isText = stored.Kind == ikText || stored.Kind == ikOffsetText;
                if ((pass == 1) == isText) continue;
            }
            if (!classVisible[stored.Class]) continue;
            const int layer = stored.Layer;
            if (layer < 1 || layer > LayerCount || !FLayerVisible[layer - 1]) continue;
            const int index = static_cast<int>(run.First + i);
            if (onItem) {
                TkvChartItem item = stored;
                const unsigned runs = FRenderRuns;
                onItem(q, item, index, isAnnotation);
                if (FRenderRuns != runs) ReapplyRenderState(canvas);
                ResetUpperVectorState();
                RenderItem(canvas, item, index, isAnnotation, texts, monochrome, offsetX, offsetY);
            } else {
                // RenderItem only reads the item: without a hook there is
                // nothing to protect the stored record from.
                RenderItem(canvas, const_cast<TkvChartItem&>(stored), index, isAnnotation, texts, monochrome, offsetX,
                           offsetY);
            }
        }
    }
    FlushPolyline(canvas);
}

void TCustomKurvoPrivate::DrawMouseTrace(int offsetX, int offsetY, TBitmap& bitmap)
{
    DrawMouseTrace(offsetX, offsetY, bitmap.Canvas());
}

void TCustomKurvoPrivate::DrawMouseTrace(int offsetX, int offsetY, TCanvas& canvas)
{
    if (FMouseTrace.empty()) return;
    const TColor penColor = canvas.Pen().Color();
    const int penWidth = canvas.Pen().Width();
    const TPenStyle penStyle = canvas.Pen().Style();
    const TBrushStyle brushStyle = canvas.Brush().Style();
    const int shiftX = offsetX - FMarginLeft;
    const int shiftY = offsetY - FMarginTop;
    for (std::size_t k = 1; k < FMouseTrace.size(); ++k) {
        const TMouseTracePoint& prev = FMouseTrace[k - 1];
        const TMouseTracePoint& point = FMouseTrace[k];
        if (prev.Flags & 1) continue;
        canvas.Pen().SetColor(point.Colour);
        canvas.Pen().SetMode(point.Flags & 2 ? pmXor : pmCopy);
        int x1, y1, x2, y2;
        q->WorldToPixel(FCurrentLayer, prev.X, prev.Y, x1, y1);
        q->WorldToPixel(FCurrentLayer, point.X, point.Y, x2, y2);
        ClampPixel(x1, y1);
        ClampPixel(x2, y2);
        canvas.MoveTo(x1 + shiftX, y1 + shiftY);
        canvas.LineTo(x2 + shiftX, y2 + shiftY);
        canvas.Pen().SetMode(pmCopy);
    }
    canvas.Pen().SetColor(penColor);
    canvas.Pen().SetWidth(penWidth);
    canvas.Pen().SetStyle(penStyle);
    canvas.Brush().SetStyle(brushStyle);
}

void TCustomKurvoPrivate::ShowBitmap(int x, int y, TCanvas& canvas, TBitmap& bitmap)
{
    DrawCrossHairs(0, 0, bitmap);
    canvas.Draw(x, y, bitmap);
}

}  // namespace kurvo
