// TCanvas on a 32-bit QImage or on any QPainter device. Lines, round pen
// ends and thin ellipses of the image path are rasterised by the canvas
// itself (qt_canvas_raster.cpp tells why); rectangles are filled here;
// polygon fills, wide XOR pens, arcs, text and images go through QPainter.
#include "canvas/qt_canvas.h"

#include "canvas/Qorn_canvas.h"
#include "canvas/qt_canvas_detail.h"

#include <QBrush>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRegularExpression>
#include <QImage>
#include <QTransform>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kurvo {

using namespace qt_canvas_detail;

namespace {

QList<qreal> QtDashPattern(TPenStyle style)
{
    switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

void Normalise(int& a, int& b)
{
    a = ClampCanvasCoord(a);
    b = ClampCanvasCoord(b);
    if (b < a) std::swap(a, b);
}

}  // namespace

// Cuts the segment (x0, y0)-(x1, y1) to the box [lo, hi] on both axes;
// false when nothing is left. t0 receives the fraction cut from the start.
// QPainter's rasteriser loses precision far outside the device.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double loX, double loY, double hiX, double hiY,
                 double& t0)
{
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    double a = 0.0;
    double b = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - loX, hiX - x0, y0 - loY, hiY - y0};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            a = std::max(a, t);
        else
            b = std::min(b, t);
        if (a > b) return false;
    }
    x1 = x0 + b * dx;
    y1 = y0 + b * dy;
    x0 += a * dx;
    y0 += a * dy;
    t0 = a;
    return true;
}

namespace {

// Rectangles handed to QPainter stay in a range its integer geometry holds.
constexpr long long kPainterReach = 1 << 24;

long long ClampReach(long long v) { return std::clamp(v, -kPainterReach, kPainterReach); }

}  // namespace

std::uint32_t PixelOf(TColor color) { return 0xFF000000u | RgbOf(color); }

TColor FromQRgb(unsigned rgb)
{
    return static_cast<TColor>(static_cast<unsigned>(qRed(rgb)) | (static_cast<unsigned>(qGreen(rgb)) << 8) |
                               (static_cast<unsigned>(qBlue(rgb)) << 16));
}

QString WithoutXmlForbidden(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
            continue;
        }
        const char16_t u = c.unicode();
        const bool allowed = (u >= 0x20 || u == u'\t' || u == u'\n' || u == u'\r') && !c.isSurrogate() &&
                             u != 0xFFFE && u != 0xFFFF;
        if (allowed) out += c;
    }
    return out;
}

TQtCanvas::TQtCanvas(QImage* image) : FImage(image) {}

TQtCanvas::TQtCanvas(QPainter* painter, int logPixelsY, bool printerPage)
    : FImage(nullptr), FExternal(painter), FLogPixelsY(std::max(logPixelsY, 1)), FPrinterPage(printerPage),
      FXmlDevice(painter != nullptr && painter->paintEngine() != nullptr &&
                 painter->paintEngine()->type() == QPaintEngine::SVG)
{
}

double TQtCanvas::DevicePixelRatio() const
{
    Materialise();
    return FExternal == nullptr && FImage != nullptr ? FImage->devicePixelRatio() : 1.0;
}

// A one-pixel pen covers round(ratio) device pixels, at least one; on other
// devices it is one canvas pixel wide.
double TQtCanvas::ThinPenWidth() const
{
    if (FExternal != nullptr) return 1.0;
    const double ratio = DevicePixelRatio();
    return std::max(1.0, std::round(ratio)) / ratio;
}

TQtCanvas::~TQtCanvas() { EndPaint(); }

void TQtCanvas::EndPaint()
{
    if (FPainter && FPainter->isActive()) FPainter->end();
}

void TQtCanvas::SetImage(QImage* image)
{
    EndPaint();
    FAllocate = nullptr;
    FImage = image;
    FDashEnd = {-0x7FFFFFFF, -0x7FFFFFFF};
}

bool TQtCanvas::CanPaint() const
{
    if (FExternal != nullptr) return FExternal->isActive();
    Materialise();
    return FImage != nullptr && !FImage->isNull();
}

QPainter& TQtCanvas::Painter()
{
    if (FExternal != nullptr) return *FExternal;
    if (!FPainter) FPainter = std::make_unique<QPainter>();
    if (!FPainter->isActive()) {
        FPainter->begin(FImage);
        // A fresh painter has default state: copy mode and no font of ours.
        FPainterXor = false;
        FPainterFontVersion = ~0u;
    }
    return *FPainter;
}

void TQtCanvas::SetXorMode(QPainter& painter, bool xorMode)
{
    if (FPainterXor != xorMode) {
        painter.setCompositionMode(xorMode ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_SourceOver);
        FPainterXor = xorMode;
    }
}

void TQtCanvas::ApplyPen()
{
    const TPen& pen = Pen();
    const double thin = ThinPenWidth();
    if (FPenVersion == pen.Version() && FPenThin == thin) return;
    FPenVersion = pen.Version();
    FPenThin = thin;
    // The native pen is built when a drawing needs it: a line that changes
    // colour at every segment on the own rasteriser needs only the pixel.
    FQPenStale = true;
    const std::uint32_t rgb = RgbOf(pen.Color());
    FPenPixel = pen.Mode() == pmXor ? rgb : (0xFF000000u | rgb);
    // Wide styled pens draw solid, as on the classic desktop.
    FPenStyled = pen.Width() == 1 && PatternOf(pen.Style()) != nullptr;
    // The gap colour depends on the pen mode too.
    const std::uint32_t gap = RgbOf(Brush().Color());
    FGapPixel = pen.Mode() == pmXor ? gap : (0xFF000000u | gap);
}

const QPen& TQtCanvas::QtPen()
{
    if (!FQPenStale) return FQPen;
    FQPenStale = false;
    const TPen& pen = Pen();
    const QColor color = ToQColor(pen.Color());
    if (pen.Style() == psClear) {
        FQPen = QPen(Qt::NoPen);
    } else if (pen.Width() == 1 && RasterDirect()) {
        FQPen = QPen(color, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        FQPen.setCosmetic(true);
        if (FPenStyled) FQPen.setDashPattern(QtDashPattern(pen.Style()));
    } else if (pen.Width() == 1) {
        FQPen = QPen(color, FPenThin, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        if (FPenStyled) {
            // Qt counts dashes in pen widths; the pattern is in canvas pixels.
            QList<qreal> pattern = QtDashPattern(pen.Style());
            for (qreal& v : pattern) v /= FPenThin;
            FQPen.setDashPattern(pattern);
        }
    } else {
        FQPen = QPen(color, pen.Width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }
    return FQPen;
}

void TQtCanvas::ApplyBrushForFill()
{
    const TBrush& brush = Brush();
    if (FBrushVersion == brush.Version()) return;
    FBrushVersion = brush.Version();
    if (brush.Style() == bsSolid)
        FQBrush = QBrush(ToQColor(brush.Color()));
    else
        FQBrush = QBrush(Qt::NoBrush);
    FQBackground = ToQColor(brush.Color());
    const std::uint32_t rgb = RgbOf(brush.Color());
    FGapPixel = Pen().Mode() == pmXor ? rgb : (0xFF000000u | rgb);
}

void TQtCanvas::UseQtPen(QPainter& painter)
{
    painter.setPen(QtPen());
    const bool opaqueGaps = FPenStyled && Brush().Style() == bsSolid;
    painter.setBackgroundMode(opaqueGaps ? Qt::OpaqueMode : Qt::TransparentMode);
    if (opaqueGaps) painter.setBackground(FQBrush);
}

void TQtCanvas::ApplyFont()
{
    const TFont& font = Font();
    if (FFontVersion == font.Version()) return;
    FFontVersion = font.Version();
    FTextPen = QPen(ToQColor(font.Color()));

    // Painting assigns the same fonts again and again (every axis, every
    // paint): a font already built is taken up again with its metrics and
    // measured widths.
    const bool bold = font.Style().Contains(fsBold);
    const bool italic = font.Style().Contains(fsItalic);
    const bool underline = font.Style().Contains(fsUnderline);
    const bool strikeOut = font.Style().Contains(fsStrikeOut);
    const int style = (bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0) | (strikeOut ? 8 : 0);
    // No picture is taller than the largest bitmap, so neither is a font:
    // the limit keeps -INT_MIN and the cell scaling below clear of overflow.
    const int height = std::clamp(font.Height(), -MaxBitmapSide, MaxBitmapSide);
    for (std::size_t k = 0; k < FFonts.size(); ++k) {
        TFontEntry& entry = *FFonts[k];
        if (entry.Height == height && entry.Style == style && entry.Name == font.Name()) {
            const auto found = FFonts.begin() + static_cast<std::ptrdiff_t>(k);
            std::rotate(FFonts.begin(), found, found + 1);
            FQFont = FFonts.front()->Font;
            return;
        }
    }

    QString family = QString::fromStdString(font.Name());
    // The SVG writer puts the family into an attribute as it is; no font
    // is named with quotes or markup characters.
    if (FXmlDevice) family = WithoutXmlForbidden(family).remove(QRegularExpression(QStringLiteral("[\"'<>&]")));
    QFont q(family);
    q.setStyleHint(QFont::SansSerif);
    q.setBold(bold);
    q.setItalic(italic);
    q.setUnderline(underline);
    q.setStrikeOut(strikeOut);
    if (height < 0) {
        q.setPixelSize(-height);
    } else if (height > 0) {
        // A positive height is the whole cell, internal leading included:
        // scale the character size so that the cell comes out that high.
        q.setPixelSize(height);
        const int cell = QFontMetrics(q).height();
        if (cell > 0)
            q.setPixelSize(static_cast<int>(std::clamp(std::lround(double(height) * height / cell), 1L,
                                                       static_cast<long>(MaxBitmapSide))));
    } else {
        q.setPixelSize(11);  // height 0 asks for the default size, 8 points at 96 pixels per inch
    }
    constexpr std::size_t kFontsKept = 4;
    if (FFonts.size() == kFontsKept) FFonts.pop_back();
    FFonts.insert(FFonts.begin(),
                  std::make_unique<TFontEntry>(TFontEntry{font.Name(), height, style, q, QFontMetrics(q), {}}));
    FQFont = q;
}

const QFontMetrics& TQtCanvas::Metrics()
{
    ApplyFont();
    return FFonts.front()->Metrics;
}

std::uint32_t* TQtCanvas::WritablePixels()
{
    if (!CanPaint()) return nullptr;
    const QImage::Format format = FImage->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied) {
        EndPaint();
        *FImage = FImage->convertToFormat(QImage::Format_RGB32);
    }
    // bits() would detach a shared image from under an active painter.
    if (FPainter && FPainter->isActive() && !FImage->isDetached()) EndPaint();
    return reinterpret_cast<std::uint32_t*>(FImage->bits());
}

void TQtCanvas::FillQtPolygon(const TPoint* points, int count)
{
    FQPoints.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) FQPoints[static_cast<std::size_t>(k)] = QPoint(points[k].X, points[k].Y);
    QPainter& p = Painter();
    SetXorMode(p, Pen().Mode() == pmXor);
    p.setPen(Qt::NoPen);
    p.setBrush(FQBrush);
    p.drawPolygon(FQPoints.data(), count, Qt::OddEvenFill);
}

void TQtCanvas::LineTo(int x, int y)
{
    const TPoint from = PenPos();
    const TPoint to{x, y};
    SetPenPos(to);
    if (Pen().Style() == psClear || !CanPaint()) return;
    ApplyPen();
    ApplyBrushForFill();
    if (Smooth()) {
        const TPoint segment[2] = {from, to};
        SmoothStroke(CentredPoints(segment, 2), 2, false);
        return;
    }
    if (ThinPen()) {
        if (!RasterDirect()) {
            const TPoint segment[2] = {from, to};
            PainterThinPath(segment, 2, false);
        } else if (std::uint32_t* pixels = WritablePixels()) {
            ThinSegment(pixels, from, to);
        }
        return;
    }
    if (FastWidePen()) {
        std::uint32_t* pixels = WritablePixels();
        WideDot(pixels, from);
        WideSegment(pixels, from, to);
        WideDot(pixels, to);
        return;
    }
    QPainter& p = Painter();
    SetXorMode(p, Pen().Mode() == pmXor);
    UseQtPen(p);
    const double o = StrokeOffset();
    p.drawLine(QPointF(from.X + o, from.Y + o), QPointF(x + o, y + o));
}

void TQtCanvas::Polyline(const TPoint* points, int count)
{
    if (points == nullptr || count <= 0) return;
    SetPenPos(points[count - 1]);
    if (count < 2 || Pen().Style() == psClear || !CanPaint()) return;
    ApplyPen();
    ApplyBrushForFill();
    if (Smooth()) {
        SmoothStroke(CentredPoints(points, count), count, false);
        return;
    }
    if (ThinPen()) {
        ThinPath(points, count, false);
        return;
    }
    if (FastWidePen()) {
        std::uint32_t* pixels = WritablePixels();
        WideDot(pixels, points[0]);
        for (int k = 0; k + 1 < count; ++k) {
            WideSegment(pixels, points[k], points[k + 1]);
            WideDot(pixels, points[k + 1]);
        }
        return;
    }
    FQPoints.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) FQPoints[static_cast<std::size_t>(k)] = QPoint(points[k].X, points[k].Y);
    QPainter& p = Painter();
    SetXorMode(p, Pen().Mode() == pmXor);
    UseQtPen(p);
    const double o = StrokeOffset();
    p.translate(o, o);
    p.drawPolyline(FQPoints.data(), count);
    p.translate(-o, -o);
}

void TQtCanvas::Polygon(const TPoint* points, int count)
{
    if (points == nullptr || count < 2 || !CanPaint()) return;
    ApplyPen();
    ApplyBrushForFill();
    if (Smooth()) {
        SmoothPolygon(points, count);
        return;
    }
    if (Brush().Style() == bsSolid) FillQtPolygon(points, count);
    if (Pen().Style() == psClear) return;
    if (ThinPen()) {
        FDashEnd = {-0x7FFFFFFF, -0x7FFFFFFF};
        ThinPath(points, count, true);
        return;
    }
    FQPoints.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) FQPoints[static_cast<std::size_t>(k)] = QPoint(points[k].X, points[k].Y);
    QPainter& p = Painter();
    SetXorMode(p, Pen().Mode() == pmXor);
    UseQtPen(p);
    p.setBrush(Qt::NoBrush);
    const double o = StrokeOffset();
    p.translate(o, o);
    p.drawPolygon(FQPoints.data(), count);
    p.translate(-o, -o);
}

void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Normalise(x1, x2);
    Normalise(y1, y2);
    if (x1 == x2 || y1 == y2 || !CanPaint()) return;
    ApplyPen();
    ApplyBrushForFill();
    const bool outline = Pen().Style() != psClear;

    if (Brush().Style() == bsSolid && !RasterDirect()) {
        const long long inset = outline ? 1 : 0;
        const long long left = ClampReach(x1 + inset);
        const long long top = ClampReach(y1 + inset);
        const long long right = ClampReach(static_cast<long long>(x2) - inset);
        const long long bottom = ClampReach(static_cast<long long>(y2) - inset);
        if (left < right && top < bottom) {
            QPainter& p = Painter();
            SetXorMode(p, Pen().Mode() == pmXor);
            p.fillRect(QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                             static_cast<int>(bottom - top)),
                       FQBackground);
        }
    } else if (Brush().Style() == bsSolid) {
        // With an outline the fill covers the inside only, so that XOR
        // drawing touches every pixel once.
        const int inset = outline ? 1 : 0;
        const int left = std::max(x1 + inset, 0);
        const int top = std::max(y1 + inset, 0);
        const int right = std::min(x2 - inset, FImage->width());
        const int bottom = std::min(y2 - inset, FImage->height());
        if (left < right && top < bottom) {
            std::uint32_t* pixels = WritablePixels();
            const std::size_t stride = static_cast<std::size_t>(FImage->bytesPerLine() / 4);
            const std::uint32_t rgb = RgbOf(Brush().Color());
            for (int y = top; y < bottom; ++y) {
                std::uint32_t* row = pixels + static_cast<std::size_t>(y) * stride;
                if (Pen().Mode() == pmXor)
                    for (int x = left; x < right; ++x) row[x] ^= rgb;
                else
                    FillPixels(row + left, static_cast<std::size_t>(right - left), 0xFF000000u | rgb);
            }
        }
    }
    if (!outline) return;

    if (ThinPen() && !RasterDirect()) {
        FDashEnd = {-0x7FFFFFFF, -0x7FFFFFFF};
        if (x2 - x1 == 1 || y2 - y1 == 1) {
            const TPoint segment[2] = {{x1, y1}, x2 - x1 == 1 ? TPoint{x1, y2} : TPoint{x2, y1}};
            PainterThinPath(segment, 2, false);
            return;
        }
        const TPoint corners[4] = {{x1, y1}, {x2 - 1, y1}, {x2 - 1, y2 - 1}, {x1, y2 - 1}};
        PainterThinPath(corners, 4, true);
        return;
    }
    if (ThinPen()) {
        std::uint32_t* pixels = WritablePixels();
        FDashEnd = {-0x7FFFFFFF, -0x7FFFFFFF};
        if (x2 - x1 == 1 || y2 - y1 == 1) {
            // A box one pixel thin is a single line, both ends included.
            ThinSegment(pixels, {x1, y1}, x2 - x1 == 1 ? TPoint{x1, y2} : TPoint{x2, y1});
            return;
        }
        const TPoint corners[4] = {{x1, y1}, {x2 - 1, y1}, {x2 - 1, y2 - 1}, {x1, y2 - 1}};
        ThinPath(corners, 4, true);
        return;
    }
    QPainter& p = Painter();
    SetXorMode(p, Pen().Mode() == pmXor);
    UseQtPen(p);
    p.setBrush(Qt::NoBrush);
    const double o = StrokeOffset();
    p.drawRect(QRectF(x1 + o, y1 + o, x2 - x1 - 1, y2 - y1 - 1));
}

void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Normalise(x1, x2);
    Normalise(y1, y2);
    if (x1 == x2 || y1 == y2 || !CanPaint()) return;
    ApplyPen();
    ApplyBrushForFill();
    const bool outline = Pen().Style() != psClear;
    const bool fill = Brush().Style() == bsSolid;
    if (!outline && !fill) return;
    if (Smooth()) {
        SmoothEllipse(x1, y1, x2, y2, outline, fill);
        return;
    }
    // Qt's aliased ellipse strays a pixel beyond the box of many wide
    // ellipses, clip or not; thin solid ones are therefore set here.
    if (RasterDirect() && (!outline || (ThinPen() && !FPenStyled))) {
        RasterEllipse(x1, y1, x2, y2, outline, fill);
        return;
    }
    // Wide and dashed outlines, and every ellipse on a device the canvas
    // cannot write directly: Qt's stroke of a path, which keeps to the clip.
    QPainter& p = Painter();
    SetXorMode(p, Pen().Mode() == pmXor);
    p.setBrush(FQBrush);
    if (outline) {
        UseQtPen(p);
    } else {
        p.setPen(Qt::NoPen);
    }
    // The clip keeps wide strokes inside the box; it narrows any clip the
    // painter already has and is undone afterwards.
    p.save();
    p.setClipRect(QRect(x1, y1, x2 - x1, y2 - y1), Qt::IntersectClip);
    if (outline) {
        // An aliased outline of the box w-1 x h-1 covers exactly w x h pixels.
        const double o = StrokeOffset();
        QPainterPath path;
        path.addEllipse(QRectF(x1 + o, y1 + o, x2 - x1 - 1, y2 - y1 - 1));
        p.drawPath(path);
    } else {
        p.drawEllipse(QRectF(x1, y1, x2 - x1, y2 - y1));
    }
    p.restore();
}

void TQtCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Normalise(x1, x2);
    Normalise(y1, y2);
    if (x1 == x2 || y1 == y2 || Pen().Style() == psClear || !CanPaint()) return;
    ApplyPen();
    ApplyBrushForFill();
    // Anti-aliased, the band of a thin pen keeps to the box at every ratio.
    const bool smooth = Smooth();
    const double band = smooth && ThinPen() ? ThinPenWidth() : 1.0;
    const double o = smooth ? 0.5 * band : StrokeOffset();
    const QRectF box(x1 + o, y1 + o, x2 - x1 - band, y2 - y1 - band);
    const double cx = box.center().x();
    const double cy = box.center().y();
    const double rx = std::max(box.width() / 2.0, 0.5);
    const double ry = std::max(box.height() / 2.0, 0.5);
    // Qt measures arc angles on the unit circle before it is stretched to
    // the ellipse, so the radial directions are scaled first. Angles grow
    // counter-clockwise on the screen (y points down).
    constexpr double kDegrees = 180.0 / 3.14159265358979323846;
    const double start = std::atan2(-(y3 + o - cy) / ry, (x3 + o - cx) / rx) * kDegrees;
    const double end = std::atan2(-(y4 + o - cy) / ry, (x4 + o - cx) / rx) * kDegrees;
    double span = end - start;
    while (span < 0) span += 360.0;
    if (span < 1.0 / 32) span = 360.0;  // equal radials give the whole ellipse
    QPainter& p = Painter();
    SetXorMode(p, Pen().Mode() == pmXor);
    UseQtPen(p);
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.drawArc(box, static_cast<int>(std::lround(start * 16)), static_cast<int>(std::lround(span * 16)));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void TQtCanvas::SetPixel(int x, int y, TColor color)
{
    if (!RasterDirect()) {
        if (!CanPaint()) return;
        if (FExternal == nullptr) {
            const QSizeF size = FImage->deviceIndependentSize();
            if (x < 0 || y < 0 || x >= size.width() || y >= size.height()) return;
        }
        QPainter& p = Painter();
        SetXorMode(p, false);
        p.fillRect(QRect(x, y, 1, 1), ToQColor(color));
        return;
    }
    if (!CanPaint() || x < 0 || y < 0 || x >= FImage->width() || y >= FImage->height()) return;
    std::uint32_t* pixels = WritablePixels();
    pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(FImage->bytesPerLine() / 4) + static_cast<std::size_t>(x)] =
        0xFF000000u | RgbOf(color);
}

TColor TQtCanvas::GetPixel(int x, int y) const
{
    if (FExternal != nullptr) return -1;
    if (!RasterDirect() && CanPaint()) {
        // The device pixel under the canvas pixel's centre.
        const QSizeF size = FImage->deviceIndependentSize();
        if (x < 0 || y < 0 || x >= size.width() || y >= size.height()) return -1;
        const double ratio = FImage->devicePixelRatio();
        const int px = std::min(static_cast<int>((x + 0.5) * ratio), FImage->width() - 1);
        const int py = std::min(static_cast<int>((y + 0.5) * ratio), FImage->height() - 1);
        return FromQRgb(FImage->pixel(px, py));
    }
    if (!CanPaint() || x < 0 || y < 0 || x >= FImage->width() || y >= FImage->height()) return -1;
    return FromQRgb(FImage->pixel(x, y));
}

void TQtCanvas::TextOut(int x, int y, const std::string& text)
{
    if (!CanPaint()) return;
    x = ClampCanvasCoord(x);
    y = ClampCanvasCoord(y);
    ApplyBrushForFill();
    const QFontMetrics& metrics = Metrics();
    const TKnownText* known = KnownText(text);
    const QString plain = known != nullptr ? known->Text : ToQString(text);
    const QString qtext = FXmlDevice ? WithoutXmlForbidden(plain) : plain;
    QPainter& p = Painter();
    SetXorMode(p, false);
    if (Brush().Style() == bsSolid)
        p.fillRect(QRect(x, y, known != nullptr ? known->Width : TextWidth(text), metrics.height()), FQBrush);
    if (qtext.isEmpty()) return;
    if (FPainterFontVersion != FFontVersion) {
        p.setFont(FQFont);
        FPainterFontVersion = FFontVersion;
    }
    p.setPen(FTextPen);
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawText(QPoint(x, y + metrics.ascent()), qtext);
}

// Axes measure the same short labels at every paint, and text items draw
// the same texts: the widths and QStrings of up to 4096 texts of up to 64
// bytes are kept per font.
const TQtCanvas::TKnownText* TQtCanvas::KnownText(const std::string& text)
{
    constexpr std::size_t kTextsKept = 4096;
    constexpr std::size_t kLongestKept = 64;
    if (text.size() > kLongestKept) return nullptr;
    const QFontMetrics& metrics = Metrics();
    auto& texts = FFonts.front()->Texts;
    if (const auto found = texts.find(text); found != texts.end()) return &found->second;
    QString q = ToQString(text);
    const int width = metrics.horizontalAdvance(q);
    if (texts.size() >= kTextsKept) texts.clear();
    return &texts.emplace(text, TKnownText{width, std::move(q)}).first->second;
}

int TQtCanvas::TextWidth(const std::string& text)
{
    if (const TKnownText* known = KnownText(text)) return known->Width;
    return Metrics().horizontalAdvance(ToQString(text));
}

int TQtCanvas::TextHeight(const std::string&) { return Metrics().height(); }

void TQtCanvas::Draw(int x, int y, const TBitmap& image)
{
    const QImage& source = image.Image();  // finishes the source's own drawing
    if (source.isNull() || !CanPaint()) return;
    if (&source == FImage) {
        const QImage copy = source.copy();
        QPainter& p = Painter();
        SetXorMode(p, false);
        p.drawImage(QPoint(x, y), copy);
        return;
    }
    if (CopyPixels(x, y, source)) return;
    QPainter& p = Painter();
    SetXorMode(p, false);
    p.drawImage(QPoint(x, y), source);
}

// An opaque bitmap of the same whole-number ratio lands on whole device
// pixels: its rows are copied. Qt's drawImage takes a scaling path for some
// ratios (three: a paint of ten times the cost), though nothing is scaled.
bool TQtCanvas::CopyPixels(int x, int y, const QImage& source)
{
    if (FExternal != nullptr || FImage == nullptr || source.format() != QImage::Format_RGB32) return false;
    const double r = FImage->devicePixelRatio();
    if (source.devicePixelRatio() != r || r != std::round(r) || r < 1.0 || r > 64.0) return false;
    std::uint32_t* pixels = WritablePixels();
    if (pixels == nullptr) return false;
    const long long ratio = static_cast<long long>(r);
    const long long left = static_cast<long long>(ClampCanvasCoord(x)) * ratio;
    const long long top = static_cast<long long>(ClampCanvasCoord(y)) * ratio;
    const long long fromX = std::max(0LL, -left);
    const long long fromY = std::max(0LL, -top);
    const long long toX = std::min<long long>(source.width(), FImage->width() - left);
    const long long toY = std::min<long long>(source.height(), FImage->height() - top);
    if (fromX >= toX || fromY >= toY) return true;
    const std::size_t stride = static_cast<std::size_t>(FImage->bytesPerLine() / 4);
    for (long long row = fromY; row < toY; ++row)
        std::memcpy(pixels + static_cast<std::size_t>(top + row) * stride + static_cast<std::size_t>(left + fromX),
                    reinterpret_cast<const std::uint32_t*>(source.constScanLine(static_cast<int>(row))) + fromX,
                    static_cast<std::size_t>(toX - fromX) * sizeof(std::uint32_t));
    return true;
}

void TQtCanvas::TileDraw(const TRect& rect, const TBitmap& image)
{
    const QImage& source = image.Image();
    if (source.isNull() || !CanPaint()) return;
    // On an image the fill stops at its edges; on another device (PDF, SVG,
    // printer) the painter's clip bounds it, and the rectangle only has to
    // stay in a range QPainter's integer geometry holds.
    const long long maxRight = FImage != nullptr ? FImage->width() : kPainterReach;
    const long long maxBottom = FImage != nullptr ? FImage->height() : kPainterReach;
    const long long minLeft = FImage != nullptr ? 0 : -kPainterReach;
    const long long left = std::max<long long>(rect.Left, minLeft);
    const long long top = std::max<long long>(rect.Top, minLeft);
    const long long right = std::min<long long>(rect.Right, maxRight);
    const long long bottom = std::min<long long>(rect.Bottom, maxBottom);
    if (left >= right || top >= bottom) return;
    const QRect area(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                     static_cast<int>(bottom - top));
    QBrush texture(&source == FImage ? source.copy() : source);
    texture.setTransform(QTransform::fromTranslate(rect.Left, rect.Top));
    QPainter& p = Painter();
    SetXorMode(p, false);
    p.fillRect(area, texture);
}

void TQtCanvas::StretchDraw(const TRect& rect, const TBitmap& image)
{
    const QImage& source = image.Image();
    if (source.isNull() || !CanPaint() || rect.Left == rect.Right || rect.Top == rect.Bottom) return;
    const TRect r{ClampCanvasCoord(rect.Left), ClampCanvasCoord(rect.Top), ClampCanvasCoord(rect.Right),
                  ClampCanvasCoord(rect.Bottom)};
    if (r.Left == r.Right || r.Top == r.Bottom) return;
    const bool mirrorX = r.Right < r.Left;
    const bool mirrorY = r.Bottom < r.Top;
    const QRect target(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::abs(r.Right - r.Left),
                       std::abs(r.Bottom - r.Top));
    const QImage picture = (mirrorX || mirrorY || &source == FImage) ? source.mirrored(mirrorX, mirrorY) : source;
    QPainter& p = Painter();
    SetXorMode(p, false);
    p.drawImage(target, picture);
}

}  // namespace kurvo
