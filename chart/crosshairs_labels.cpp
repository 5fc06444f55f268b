// Crosshairs and text labels: drawing and dragging.
#include "chart/Qorn_kurvo.h"

#include "base/pixel_math.h"
#include "chart/kurvo_private.h"
#include "chart/raise_event.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace kurvo {

namespace {

// Splits a caption into its lines at each line feed.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}

// Squared distances of pixels. A pixel difference fits 32 bits, so its
// square fits 64 bits unsigned; the sum of two saturates, as an anchor
// clamped far outside the view would otherwise wrap round to a small
// distance and win the nearest-label test.
std::uint64_t Square(std::int64_t d)
{
    const std::uint64_t a = static_cast<std::uint64_t>(d < 0 ? -d : d);
    return a * a;
}

std::uint64_t SquaredDistance(std::int64_t dx, std::int64_t dy)
{
    const std::uint64_t a = Square(dx);
    const std::uint64_t b = Square(dy);
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

}  // namespace

void TCustomKurvoPrivate::DrawCrossHairs(int x0, int y0, TBitmap& bitmap) { DrawCrossHairs(x0, y0, bitmap.Canvas()); }

void TCustomKurvoPrivate::DrawCrossHairs(int x0, int y0, TCanvas& canvas)
{
    bool any = false;
    for (const auto& c : FCrossHairs) any = any || c->Mode() != chOff;
    if (!any) return;
    const TColor penColor = canvas.Pen().Color();
    const int penWidth = canvas.Pen().Width();
    const TPenStyle penStyle = canvas.Pen().Style();
    const TBrushStyle brushStyle = canvas.Brush().Style();
    const int W = q->Width();
    const int H = q->Height();
    const int s = FShadowWidth;
    auto moveTo = [&](int x, int y) { canvas.MoveTo(x - x0, y - y0); };
    auto lineTo = [&](int x, int y) { canvas.LineTo(x - x0, y - y0); };
    auto rect = [&](int a, int b, int c, int d) { canvas.Rectangle(a - x0, b - y0, c - x0, d - y0); };

    for (int i = CrossHairCount; i >= 1; --i) {
        const TCrossHair& c = *FCrossHairs[i - 1];
        if (c.Mode() == chOff) continue;
        int cx, cy;
        q->WorldToPixel(c.Layer(), c.PosX(), c.PosY(), cx, cy);
        ClampPixel(cx, cy);
        canvas.Pen().SetColor(c.Color());
        canvas.Pen().SetWidth(c.LineWid());
        canvas.Pen().SetStyle(c.LineType());
        canvas.Brush().SetColor(FChartColor);
        const int hw = c.LineWid() / 2;
        const bool insideX = FMarginLeft + hw < cx && cx < W - FMarginRight - s - hw;
        const bool insideY = FMarginTop + hw < cy && cy < H - FMarginBottom - s - hw;
        const TCrossHMode mode = c.Mode();
        if ((mode == chHoriz || mode == chBoth) && insideY) {
            moveTo(FMarginLeft + hw + 1, cy);
            lineTo(W - FMarginRight - s - hw, cy);
        }
        if ((mode == chVert || mode == chBoth) && insideX) {
            moveTo(cx, FMarginTop + hw + 1);
            lineTo(cx, H - FMarginBottom - s - hw);
        }
        if (mode == chCrossBox && insideX && insideY) {
            moveTo(cx - 13, cy);
            lineTo(cx + 14, cy);
            moveTo(cx, cy - 13);
            lineTo(cx, cy + 14);
            canvas.Brush().SetStyle(bsClear);
            canvas.Pen().SetStyle(psSolid);
            canvas.Pen().SetColor(0xFFFFFF);
            rect(cx - 3, cy - 3, cx + 4, cy + 4);
            canvas.Pen().SetColor(0);
            rect(cx - 2, cy - 2, cx + 3, cy + 3);
        }
        if (mode == chBox && insideX && insideY) {
            canvas.Brush().SetStyle(bsClear);
            rect(cx - 4, cy - 4, cx + 5, cy + 5);
        }
    }
    canvas.Pen().SetColor(penColor);
    canvas.Pen().SetWidth(penWidth);
    canvas.Pen().SetStyle(penStyle);
    canvas.Brush().SetStyle(brushStyle);
}

void TCustomKurvoPrivate::DrawTextLabels(TCanvas& canvas)
{
    const int shiftX = FRender.OffsetX - FMarginLeft;
    const int shiftY = FRender.OffsetY - FMarginTop;
    auto rect = [&](int a, int b, int c, int d) { canvas.Rectangle(a + shiftX, b + shiftY, c + shiftX, d + shiftY); };
    for (int k = TextLabelCount; k >= 1; --k) {
        const TTextLabel& l = *FTextLabels[k - 1];
        if (l.Mode() == tlOff || !l.Visible() || !FLayerVisible[l.Layer() - 1]) continue;
        int px = 0, py = 0;
        if (l.AttachToData() != tlamNone) q->WorldToPixel(l.Layer(), l.PosX(), l.PosY(), px, py);
        int ax = l.AttachToData() == tlamXOnly || l.AttachToData() == tlamBoth ? px : RoundPixel(l.PosX());
        int ay = l.AttachToData() == tlamYOnly || l.AttachToData() == tlamBoth ? py : RoundPixel(l.PosY());
        ClampPixel(ax, ay);

        canvas.Font() = l.Font();
        canvas.Pen().SetColor(l.ColorBorder());
        canvas.Pen().SetStyle(psSolid);
        canvas.Brush().SetColor(l.ColorBkg());
        canvas.Brush().SetStyle(l.Transparent() ? bsClear : bsSolid);

        const std::vector<std::string> lines = SplitLines(l.Caption());
        const int n = static_cast<int>(lines.size());
        int tw = 0;
        for (const std::string& line : lines) tw = std::max(tw, canvas.TextWidth(line));
        if (tw == 0) tw = canvas.TextWidth(l.Caption());
        const int th = canvas.TextHeight(l.Caption());

        switch (l.VerticalAlignment()) {
            case vaTop: ay += th * n; break;
            case vaCenter: ay += th * n / 2; break;
            case vaBottom: break;
        }
        switch (l.Alignment()) {
            case taLeftJustify: break;
            case taRightJustify: ax -= tw; break;
            case taCenter: ax -= tw / 2; break;
        }
        const int bx1 = ax - 4, by1 = ay - th * n - 2, bx2 = ax + tw + 4, by2 = ay + 2;
        switch (l.Mode()) {
            case tlOff: break;
            case tlsimple:
                if (!l.Transparent()) {
                    canvas.Pen().SetColor(l.ColorBkg());
                    rect(bx1, by1, bx2, by2);
                }
                break;
            case tlBox: rect(bx1, by1, bx2, by2); break;
            case tlUnderline:
                if (!l.Transparent()) {
                    canvas.Pen().SetColor(l.ColorBkg());
                    rect(bx1, by1, bx2, by2);
                }
                canvas.Pen().SetColor(l.ColorBorder());
                canvas.MoveTo(ax + shiftX, ay + shiftY);
                canvas.LineTo(ax + tw + shiftX, ay + shiftY);
                break;
            case tlShadow:
                canvas.Pen().SetColor(l.ColorShadow());
                canvas.Brush().SetColor(l.ColorShadow());
                rect(bx1 + l.ShadowDx(), by1 + l.ShadowDy(), bx2 + l.ShadowDx(), by2 + l.ShadowDy());
                canvas.Pen().SetColor(l.ColorBorder());
                canvas.Brush().SetColor(l.ColorBkg());
                rect(bx1, by1, bx2, by2);
                break;
        }
        if (n == 1) {
            canvas.TextOut(ax + shiftX, ay - th + shiftY, l.Caption());
        } else {
            for (int j = 0; j < n; ++j) {
                const int wj = canvas.TextWidth(lines[j]);
                int dj = 0;
                if (l.Alignment() == taRightJustify) dj = tw - wj;
                if (l.Alignment() == taCenter) dj = (tw - wj) / 2;
                canvas.TextOut(ax + dj + shiftX, ay - th * n + j * th + shiftY, lines[j]);
            }
        }
    }
}

void TCustomKurvo::CrossHairDrag(TShiftState shift, int x, int y)
{
    if (!shift.Contains(ssLeft)) {
        this->d->FDragging = false;
        return;
    }
    if (!InDataArea(x, y)) return;
    if (this->d->FDragging && this->d->FSelectedCrossHair >= 1) {
        TCrossHair& c = *this->d->FCrossHairs[this->d->FSelectedCrossHair - 1];
        double wx, wy;
        PixelToWorld(c.Layer(), x, y, wx, wy);
        c.SetPosX(wx);
        c.SetPosY(wy);
        Paint();
        RaiseEvent(OnCrossHairMove, std::tuple(this, &c), *this, &TCustomKurvo::crossHairMoved,
                   this->d->FSelectedCrossHair, QPointF(c.PosX(), c.PosY()));
        return;
    }
    if (this->d->FDragging) return;
    this->d->FSelectedCrossHair = 1;
    double best = 1.7e308;
    for (int i = 1; i <= CrossHairCount; ++i) {
        const TCrossHair& c = *this->d->FCrossHairs[i - 1];
        int cx, cy;
        WorldToPixel(c.Layer(), c.PosX(), c.PosY(), cx, cy);
        const TCrossHMode m = c.Mode();
        if (m == chVert || m == chBoth || m == chCrossBox || m == chBox) {
            const double d = static_cast<double>(Square(static_cast<std::int64_t>(cx) - x));
            if (d < best) {
                best = d;
                this->d->FSelectedCrossHair = i;
            }
        }
        if (m == chHoriz || m == chBoth || m == chCrossBox || m == chBox) {
            const double d = static_cast<double>(Square(static_cast<std::int64_t>(cy) - y));
            if (d < best) {
                best = d;
                this->d->FSelectedCrossHair = i;
            }
        }
    }
    bool allowMove = true;
    TCrossHair& selected = *this->d->FCrossHairs[this->d->FSelectedCrossHair - 1];
    if (OnBeforeCrossHairMove) {
        int cx, cy;
        WorldToPixel(selected.Layer(), selected.PosX(), selected.PosY(), cx, cy);
        OnBeforeCrossHairMove(this, &selected, x - cx, y - cy, allowMove);
    }
    if (allowMove) {
        AnchorAllLayers(x, y);
        this->d->FDragging = true;
    }
}

void TCustomKurvo::TextLabelDrag(TShiftState shift, int x, int y)
{
    if (!shift.Contains(ssLeft)) {
        this->d->FDragging = false;
        return;
    }
    if (this->d->FDragging && this->d->FSelectedLabel >= 1) {
        TTextLabel& l = *this->d->FTextLabels[this->d->FSelectedLabel - 1];
        double wx, wy;
        PixelToWorld(l.Layer(), x, y, wx, wy);
        const TTxtLblAttachMode a = l.AttachToData();
        l.SetPosX(a == tlamXOnly || a == tlamBoth ? wx : x);
        l.SetPosY(a == tlamYOnly || a == tlamBoth ? wy : y);
        Paint();
        RaiseEvent(OnTextLabelMove, std::tuple(this, &l), *this, &TCustomKurvo::textLabelMoved,
                   this->d->FSelectedLabel, QPointF(l.PosX(), l.PosY()));
        return;
    }
    if (this->d->FDragging) return;
    AnchorAllLayers(x, y);
    this->d->FSelectedLabel = 1;
    double best = 1.7e308;
    for (int k = 1; k <= TextLabelCount; ++k) {
        const TTextLabel& l = *this->d->FTextLabels[k - 1];
        if (l.Mode() == tlOff || !l.Visible()) continue;
        int px = 0, py = 0;
        WorldToPixel(l.Layer(), l.PosX(), l.PosY(), px, py);
        const TTxtLblAttachMode a = l.AttachToData();
        const int lx = a == tlamXOnly || a == tlamBoth ? px : RoundPixel(l.PosX());
        const int ly = a == tlamYOnly || a == tlamBoth ? py : RoundPixel(l.PosY());
        const double d = static_cast<double>(
            SquaredDistance(static_cast<std::int64_t>(lx) - x, static_cast<std::int64_t>(ly) - y));
        if (d < best) {
            best = d;
            this->d->FSelectedLabel = k;
        }
    }
    this->d->FDragging = true;
}

}  // namespace kurvo
