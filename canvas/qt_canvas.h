// TCanvas realised on a QPainter: over a 32-bit QImage (the bitmaps and the
// window surface) or over any paint device (a PDF or SVG writer, a printer).
#pragma once

#include "../canvas/Qorn_canvas.h"
#include "../canvas/qt_interop.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QImage;

namespace kurvo {

class TQtCanvas : public TCanvas {
public:
    // The canvas draws into *image, which must outlive it. The painter is
    // opened on the first drawing call and closed by EndPaint.
    explicit TQtCanvas(QImage* image);
    // The canvas draws through `painter`, already active on its device, which
    // must outlive the canvas. Canvas pixels are the painter's coordinates;
    // `logPixelsY` of them make an inch on the device. `printerPage` makes
    // the canvas the printer's page (IsPrinterCanvas). GetPixel reads nothing.
    TQtCanvas(QPainter* painter, int logPixelsY, bool printerPage);
    ~TQtCanvas() override;

    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Polygon(const TPoint* points, int count) override;
    void Polyline(const TPoint* points, int count) override;
    void PolylineF(const TPointF* points, int count) override;
    void SetPixel(int x, int y, TColor color) override;
    // Device pixels as SetPixel sets them, written directly on an image;
    // one unsmoothed picture through a painter on other devices.
    void SetPixels(int x, int y, int width, int height, const std::uint32_t* pixels, std::size_t stride) override;
    TColor GetPixel(int x, int y) const override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void Draw(int x, int y, const TBitmap& image) override;
    void StretchDraw(const TRect& rect, const TBitmap& image) override;
    bool IsPrinterCanvas() const override { return FPrinterPage; }
    int PrinterLogPixelsY() const override { return FLogPixelsY; }
    double DevicePixelRatio() const override;
    // One textured fill over the part of the rectangle on the surface.
    void TileDraw(const TRect& rect, const TBitmap& image) override;

    // Finishes all drawing so that the image can be read, resized or
    // replaced. The next drawing call opens the painter again.
    void EndPaint();
    // Points the canvas at another image (after EndPaint).
    void SetImage(QImage* image);
    QImage* Image() const
    {
        Materialise();
        return FImage;
    }
    // The image is made by `allocate` at the canvas's first use (of the
    // image or for drawing); nullptr: nothing is pending.
    void SetPendingImage(std::function<void()> allocate) { FAllocate = std::move(allocate); }
    // The image's pixels for writing directly (after drawing calls that went
    // through QPainter, which stay in place); null when the canvas draws on
    // no image.
    std::uint32_t* Pixels() { return FExternal == nullptr ? WritablePixels() : nullptr; }

private:
    void Materialise() const
    {
        if (FAllocate) {
            const std::function<void()> allocate = std::move(FAllocate);
            FAllocate = nullptr;
            allocate();
        }
    }
    bool CanPaint() const;
    QPainter& Painter();
    void ApplyPen();
    void ApplyBrushForFill();
    void ApplyFont();
    const QFontMetrics& Metrics();
    struct TKnownText;
    // The width and QString of a short text in the current font, kept;
    // null for a long one.
    const TKnownText* KnownText(const std::string& text);
    void SetXorMode(QPainter& painter, bool xorMode);
    void UseQtPen(QPainter& painter);
    // The native pen of the canvas's pen (ApplyPen first).
    const QPen& QtPen();
    std::uint32_t* WritablePixels();
    bool ThinPen() const;
    void ContinueDash(TPoint from, TPoint to);
    void ThinSegment(std::uint32_t* pixels, TPoint from, TPoint to);
    void ThinPath(const TPoint* points, int count, bool closed);
    bool FastWidePen() const;
    void WideSegment(std::uint32_t* pixels, TPoint from, TPoint to);
    void WideDot(std::uint32_t* pixels, TPoint centre);
    void FillQtPolygon(const TPoint* points, int count);
    // Anti-aliased drawing (TCanvas::Antialiased), all through QPainter in
    // canvas coordinates with pixel centres at +0.5.
    bool Smooth() const { return Antialiased() && Pen().Mode() == pmCopy; }
    void SmoothStroke(const QPointF* points, int count, bool closed);
    void SmoothPolygon(const TPoint* points, int count);
    void SmoothEllipse(int x1, int y1, int x2, int y2, bool outline, bool fill);
    // The points of a path as Qt points on the pixel centres.
    template <class P>
    const QPointF* CentredPoints(const P* points, int count);
    // Lines go through QPainter wherever the own rasteriser cannot write:
    // on an image with a device pixel ratio other than 1 and on other devices.
    bool RasterDirect() const
    {
        Materialise();
        return FExternal == nullptr && FImage != nullptr && FImage->devicePixelRatio() == 1.0;
    }
    double ThinPenWidth() const;
    double StrokeOffset() const { return RasterDirect() ? 0.0 : 0.5; }
    void PainterThinPath(const TPoint* points, int count, bool closed);
    void PainterThinSegment(QPainter& painter, TPoint from, TPoint to);
    void BlockSegment(std::uint32_t* pixels, int ratio, TPoint from, TPoint to);
    // Draw's fast path: false when the bitmap has to go through QPainter.
    bool CopyPixels(int x, int y, const QImage& source);
    // An ellipse of thin solid outline (or none) set pixel by pixel, strictly
    // inside [x1, x2) x [y1, y2).
    void RasterEllipse(int x1, int y1, int x2, int y2, bool outline, bool fill);

    QImage* FImage;
    mutable std::function<void()> FAllocate;
    std::unique_ptr<QPainter> FPainter;
    QPainter* FExternal = nullptr;
    int FLogPixelsY = 600;
    bool FPrinterPage = false;
    // An SVG writer copies texts and font names into markup: they lose what
    // XML cannot hold.
    bool FXmlDevice = false;
    // The one-pixel pen width the native pen was built for.
    double FPenThin = 1.0;
    unsigned FPenVersion = ~0u;
    unsigned FBrushVersion = ~0u;
    unsigned FFontVersion = ~0u;
    unsigned FPainterFontVersion = ~0u;
    bool FPainterXor = false;
    QFont FQFont;
    // A text measured or drawn in a font: its width and its QString.
    struct TKnownText {
        int Width;
        QString Text;
    };
    // Fonts built for the canvas, the current one first, with the widths
    // of texts measured in them.
    struct TFontEntry {
        std::string Name;
        int Height;
        int Style;
        QFont Font;
        QFontMetrics Metrics;
        std::unordered_map<std::string, TKnownText> Texts;
    };
    std::vector<std::unique_ptr<TFontEntry>> FFonts;
    // Native pen and brush, rebuilt only when the Version() counters move.
    QPen FQPen;
    bool FQPenStale = true;
    QBrush FQBrush;
    QColor FQBackground;
    bool FPenStyled = false;
    QPen FTextPen;
    // One-pixel pens are rasterised here; the dash pattern runs on across
    // consecutive segments that join.
    std::uint32_t FPenPixel = 0;
    std::uint32_t FGapPixel = 0;
    int FDashPhase = 0;
    TPoint FDashEnd{-0x7FFFFFFF, -0x7FFFFFFF};
    // Reused by Polygon and wide polylines so that the hot path allocates
    // only when a longer list arrives.
    std::vector<QPoint> FQPoints;
    std::vector<QPointF> FQPointsF;
    // Where the last anti-aliased dashed line ended and its dash phase in
    // pixels: a line that starts there carries the pattern on.
    QPointF FSmoothDashEnd{-1e300, -1e300};
    double FSmoothDashPhase = 0.0;
};

// TColor of a QRgb pixel value.
TColor FromQRgb(unsigned rgb);
// The opaque 32-bit pixel value of a colour, as the canvas writes it.
std::uint32_t PixelOf(TColor color);

// Cuts the segment (x0, y0)-(x1, y1) to the box [lo, hi] on both axes;
// false when nothing is left. t0 receives the fraction cut from the start.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double loX, double loY, double hiX, double hiY,
                 double& t0);

// `text` without the characters XML cannot hold (controls other than tab,
// line feed and carriage return, U+FFFE, U+FFFF, unpaired surrogates).
QString WithoutXmlForbidden(const QString& text);

}  // namespace kurvo
