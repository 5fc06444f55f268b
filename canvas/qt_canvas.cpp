// TCanvas on a 32-bit QImage.
//
// One-pixel pens are rasterised here rather than by QPainter: Qt's cosmetic
// stroker orders every segment by increasing coordinate and then leaves out
// the pixel at the larger end, so a line drawn right-to-left or upwards
// would lose its start pixel and keep its end pixel. Stepping from the
// start point ourselves keeps "the end pixel is excluded" true in every
// direction, and makes the hot path (thousands of short polyline segments
// per paint) a loop over the image memory without any allocation.
// Wide pens in copy mode are drawn here as well, as a band of pixels along
// the line with a round dot on every vertex: Qt's geometric stroker spends
// some hundred microseconds on one 200-point polyline. Rectangles are filled
// here too. Polygon fills, ellipses, arcs, wide XOR pens, text and images go
// through QPainter.
//
// The own rasteriser writes image memory at one device pixel per canvas
// pixel. On an image with another device pixel ratio, and on devices without
// image memory (PDF, SVG, printer), every line goes through QPainter
// instead, aliased and in canvas coordinates: a one-pixel pen becomes a band
// round(ratio) device pixels wide on the canvas pixel centres, so that lines
// stay sharp and keep the pixel rules above.
#include "canvas/qt_canvas.h"

#include "canvas/Qorn_canvas.h"

#include <QBrush>
#include <QPainterPath>
#include <QImage>
#include <QTransform>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kurvo {

namespace {

constexpr int kDashPeriod = 24;

// On/off runs in pixels, as the classic desktop draws one-pixel styled pens.
// Each pattern is repeated to a period of 24 pixels.
constexpr std::array<bool, kDashPeriod> MakePattern(std::initializer_list<int> runs)
{
    std::array<bool, kDashPeriod> bits{};
    int pos = 0;
    while (pos < kDashPeriod) {
        bool on = true;
        for (int run : runs) {
            for (int k = 0; k < run && pos < kDashPeriod; ++k) bits[pos++] = on;
            on = !on;
        }
    }
    return bits;
}

constexpr std::array<bool, kDashPeriod> kDash = MakePattern({18, 6});
constexpr std::array<bool, kDashPeriod> kDot = MakePattern({3, 3});
constexpr std::array<bool, kDashPeriod> kDashDot = MakePattern({9, 6, 3, 6});
constexpr std::array<bool, kDashPeriod> kDashDotDot = MakePattern({9, 3, 3, 3, 3, 3});

const std::array<bool, kDashPeriod>* PatternOf(TPenStyle style)
{
    switch (style) {
    case psDash: return &kDash;
    case psDot: return &kDot;
    case psDashDot: return &kDashDot;
    case psDashDotDot: return &kDashDotDot;
    default: return nullptr;
    }
}

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

std::uint32_t RgbOf(TColor color)
{
    const auto c = static_cast<std::uint32_t>(ColorToRGB(color));
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// Sets n pixels to one value, sixteen bytes a store: the plain loop becomes
// one four-byte store a cycle, and background fills were the largest part
// of a chart's paint.
void FillPixels(std::uint32_t* row, std::size_t n, std::uint32_t value)
{
    const std::uint32_t quad[4] = {value, value, value, value};
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4) std::memcpy(row + k, quad, sizeof quad);
    for (; k < n; ++k) row[k] = value;
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

TColor FromQRgb(unsigned rgb)
{
    return static_cast<TColor>(static_cast<unsigned>(qRed(rgb)) | (static_cast<unsigned>(qGreen(rgb)) << 8) |
                               (static_cast<unsigned>(qBlue(rgb)) << 16));
}

TQtCanvas::TQtCanvas(QImage* image) : FImage(image) {}

TQtCanvas::TQtCanvas(QPainter* painter, int logPixelsY, bool printerPage)
    : FImage(nullptr), FExternal(painter), FLogPixelsY(std::max(logPixelsY, 1)), FPrinterPage(printerPage)
{
}

double TQtCanvas::DevicePixelRatio() const
{
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
    FImage = image;
    FDashEnd = {-0x7FFFFFFF, -0x7FFFFFFF};
}

bool TQtCanvas::CanPaint() const
{
    if (FExternal != nullptr) return FExternal->isActive();
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

    const QColor color = ToQColor(pen.Color());
    const std::uint32_t rgb = RgbOf(pen.Color());
    FPenPixel = pen.Mode() == pmXor ? rgb : (0xFF000000u | rgb);
    // Wide styled pens draw solid, as on the classic desktop.
    FPenStyled = pen.Width() == 1 && PatternOf(pen.Style()) != nullptr;

    if (pen.Style() == psClear) {
        FQPen = QPen(Qt::NoPen);
    } else if (pen.Width() == 1 && RasterDirect()) {
        FQPen = QPen(color, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        FQPen.setCosmetic(true);
        if (FPenStyled) FQPen.setDashPattern(QtDashPattern(pen.Style()));
    } else if (pen.Width() == 1) {
        FQPen = QPen(color, thin, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        if (FPenStyled) {
            // Qt counts dashes in pen widths; the pattern is in canvas pixels.
            QList<qreal> pattern = QtDashPattern(pen.Style());
            for (qreal& v : pattern) v /= thin;
            FQPen.setDashPattern(pattern);
        }
    } else {
        FQPen = QPen(color, pen.Width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }
    // The gap colour depends on the pen mode too.
    FBrushVersion = ~0u;
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
    painter.setPen(FQPen);
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

    QFont q(QString::fromStdString(font.Name()));
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

bool TQtCanvas::ThinPen() const { return Pen().Width() == 1; }

// The dash pattern runs on from the last segment when this one starts at its
// end, and starts again otherwise.
void TQtCanvas::ContinueDash(TPoint from, TPoint to)
{
    if (!(from == FDashEnd)) FDashPhase = 0;
    FDashEnd = to;
}

// Pixels of the segment from `from` towards `to`, `to` itself excluded: one
// pixel per step along the major axis, the minor coordinate rounded from
// the exact line. Only the steps that can land on the image are visited.
void TQtCanvas::ThinSegment(std::uint32_t* pixels, TPoint from, TPoint to)
{
    const long long dx = static_cast<long long>(to.X) - from.X;
    const long long dy = static_cast<long long>(to.Y) - from.Y;
    const long long adx = std::llabs(dx);
    const long long ady = std::llabs(dy);
    const long long n = std::max(adx, ady);
    ContinueDash(from, to);
    if (n == 0) return;

    const bool xMajor = adx >= ady;
    const long long width = FImage->width();
    const long long height = FImage->height();
    const long long stride = FImage->bytesPerLine() / 4;
    const long long startM = xMajor ? from.X : from.Y;
    const long long startm = xMajor ? from.Y : from.X;
    const long long limitM = xMajor ? width : height;
    const long long limitm = xMajor ? height : width;
    const long long sM = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long sm = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const long long aM = n;
    const long long am = xMajor ? ady : adx;

    // Steps whose major coordinate lies on the image.
    long long i0 = sM > 0 ? -startM : startM - limitM + 1;
    long long i1 = sM > 0 ? limitM - startM : startM + 1;
    // Steps whose minor coordinate can lie on it (one step of slack; every
    // pixel is still checked below).
    if (am == 0) {
        if (startm < 0 || startm >= limitm) return;
    } else {
        const double perStep = static_cast<double>(am) / static_cast<double>(aM);
        const double lo = sm > 0 ? (-0.5 - startm) / perStep : (startm - limitm + 0.5) / perStep;
        const double hi = sm > 0 ? (limitm - 0.5 - startm) / perStep : (startm + 0.5) / perStep;
        i0 = std::max(i0, static_cast<long long>(std::floor(lo)) - 1);
        i1 = std::min(i1, static_cast<long long>(std::ceil(hi)) + 2);
    }
    i0 = std::max(i0, 0LL);
    i1 = std::min(i1, n);

    const std::array<bool, kDashPeriod>* pattern = PatternOf(Pen().Style());
    const bool fillGaps = pattern != nullptr && Brush().Style() == bsSolid;
    const bool xorMode = Pen().Mode() == pmXor;

    if (i0 < i1) {
        // minor offset of step i = floor((2 i am + aM) / (2 aM)), kept incrementally.
        const long long den = 2 * aM;
        long long num = 2 * i0 * am + aM;
        long long q = num / den;
        long long r = num % den;
        int phase = static_cast<int>((FDashPhase + i0) % kDashPeriod);
        for (long long i = i0; i < i1; ++i) {
            const long long major = startM + sM * i;
            const long long minor = startm + sm * q;
            if (minor >= 0 && minor < limitm) {
                const bool on = pattern == nullptr || (*pattern)[phase];
                if (on || fillGaps) {
                    const long long px = xMajor ? major : minor;
                    const long long py = xMajor ? minor : major;
                    std::uint32_t& dst = pixels[py * stride + px];
                    const std::uint32_t value = on ? FPenPixel : FGapPixel;
                    dst = xorMode ? (dst ^ value) : value;
                }
            }
            r += 2 * am;
            if (r >= den) {
                r -= den;
                ++q;
            }
            if (++phase == kDashPeriod) phase = 0;
        }
    }
    FDashPhase = static_cast<int>((FDashPhase + n) % kDashPeriod);
}

namespace {

// A solid one-pixel segment whose ends both lie on the image, `to`
// excluded: the pixels of ThinSegment without its clipping and dash work.
inline void InsideSolidSegment(std::uint32_t* pixels, long long stride, std::uint32_t value, TPoint from, TPoint to,
                               long long n)
{
    const long long dx = static_cast<long long>(to.X) - from.X;
    const long long dy = static_cast<long long>(to.Y) - from.Y;
    const long long adx = dx < 0 ? -dx : dx;
    const long long ady = dy < 0 ? -dy : dy;
    // Steps along the major axis, the minor offset floor((2 i am + aM) / (2 aM)).
    const long long majorStep = adx >= ady ? (dx < 0 ? -1 : 1) : (dy < 0 ? -stride : stride);
    const long long minorStep = adx >= ady ? (dy < 0 ? -stride : stride) : (dx < 0 ? -1 : 1);
    const long long am2 = 2 * (adx >= ady ? ady : adx);
    const long long den = 2 * n;
    std::uint32_t* p = pixels + static_cast<long long>(from.Y) * stride + from.X;
    long long r = n;
    for (long long i = 0; i < n; ++i) {
        *p = value;
        p += majorStep;
        r += am2;
        if (r >= den) {
            r -= den;
            p += minorStep;
        }
    }
}

}  // namespace

void TQtCanvas::ThinPath(const TPoint* points, int count, bool closed)
{
    if (!RasterDirect()) {
        PainterThinPath(points, count, closed);
        return;
    }
    std::uint32_t* pixels = WritablePixels();
    if (pixels == nullptr) return;
    if (PatternOf(Pen().Style()) != nullptr || Pen().Mode() == pmXor) {
        for (int k = 0; k + 1 < count; ++k) ThinSegment(pixels, points[k], points[k + 1]);
        if (closed) ThinSegment(pixels, points[count - 1], points[0]);
        return;
    }
    // Solid copy pens, the bulk of every chart: the image geometry is read
    // once per path, and segments that lie on the image skip the clipping.
    const long long width = FImage->width();
    const long long height = FImage->height();
    const long long stride = FImage->bytesPerLine() / 4;
    const std::uint32_t value = FPenPixel;
    const auto inside = [&](TPoint p) { return p.X >= 0 && p.X < width && p.Y >= 0 && p.Y < height; };
    const auto segment = [&](TPoint from, TPoint to) {
        const long long n = std::max(std::llabs(static_cast<long long>(to.X) - from.X),
                                     std::llabs(static_cast<long long>(to.Y) - from.Y));
        if (n == 0 || !inside(from) || !inside(to)) return ThinSegment(pixels, from, to);
        ContinueDash(from, to);
        FDashPhase = static_cast<int>((FDashPhase + n) % kDashPeriod);
        InsideSolidSegment(pixels, stride, value, from, to, n);
    };
    for (int k = 0; k + 1 < count; ++k) segment(points[k], points[k + 1]);
    if (closed) segment(points[count - 1], points[0]);
}

// Overlapping pixels are drawn twice, so XOR drawing keeps to QPainter.
bool TQtCanvas::FastWidePen() const { return Pen().Width() > 1 && Pen().Mode() == pmCopy && RasterDirect(); }

void TQtCanvas::PainterThinPath(const TPoint* points, int count, bool closed)
{
    if (!CanPaint()) return;
    // On a whole-number ratio a solid band along an axis has whole device
    // pixel edges: it is the blocks of its canvas pixels, filled here
    // without Qt's stroker. Taken before the painter, which it may close.
    std::uint32_t* pixels = nullptr;
    int ratio = 0;
    if (FExternal == nullptr && FImage != nullptr && PatternOf(Pen().Style()) == nullptr && Pen().Mode() == pmCopy) {
        const double r = FImage->devicePixelRatio();
        if (r >= 2.0 && r == std::round(r)) {
            ratio = static_cast<int>(r);
            pixels = WritablePixels();
        }
    }
    QPainter& p = Painter();
    SetXorMode(p, Pen().Mode() == pmXor);
    UseQtPen(p);
    const auto segment = [&](TPoint from, TPoint to) {
        if (pixels != nullptr && (from.X == to.X || from.Y == to.Y))
            BlockSegment(pixels, ratio, from, to);
        else
            PainterThinSegment(p, from, to);
    };
    for (int k = 0; k + 1 < count; ++k) segment(points[k], points[k + 1]);
    if (closed) segment(points[count - 1], points[0]);
}

// The device pixels of a solid band along an axis on a whole-number ratio:
// ratio x ratio blocks of the canvas pixels from `from` to `to`, `to`
// excluded, as PainterThinSegment covers them.
void TQtCanvas::BlockSegment(std::uint32_t* pixels, int ratio, TPoint from, TPoint to)
{
    const long long dx = static_cast<long long>(to.X) - from.X;
    const long long dy = static_cast<long long>(to.Y) - from.Y;
    const long long n = std::max(std::llabs(dx), std::llabs(dy));
    ContinueDash(from, to);
    if (n == 0) return;
    FDashPhase = static_cast<int>((FDashPhase + n) % kDashPeriod);
    // Canvas pixels [x0, x1) x [y0, y1).
    long long x0 = from.X, x1 = from.X + 1LL, y0 = from.Y, y1 = from.Y + 1LL;
    if (dx > 0) x1 = to.X;
    if (dx < 0) x0 = to.X + 1LL;
    if (dy > 0) y1 = to.Y;
    if (dy < 0) y0 = to.Y + 1LL;
    const long long left = std::max(0LL, x0 * ratio);
    const long long right = std::min(static_cast<long long>(FImage->width()), x1 * ratio);
    const long long top = std::max(0LL, y0 * ratio);
    const long long bottom = std::min(static_cast<long long>(FImage->height()), y1 * ratio);
    if (left >= right || top >= bottom) return;
    const std::size_t stride = static_cast<std::size_t>(FImage->bytesPerLine() / 4);
    const std::uint32_t value = 0xFF000000u | RgbOf(Pen().Color());
    for (long long y = top; y < bottom; ++y)
        FillPixels(pixels + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(left),
                   static_cast<std::size_t>(right - left), value);
}

// The band runs between the pixel centres, moved back half a step along the
// major axis, with flat ends: it covers the start pixel and stops where the
// end pixel begins, in every direction. The dash pattern runs on across
// joined segments as on the raster path.
void TQtCanvas::PainterThinSegment(QPainter& painter, TPoint from, TPoint to)
{
    const long long dx = static_cast<long long>(to.X) - from.X;
    const long long dy = static_cast<long long>(to.Y) - from.Y;
    const long long n = std::max(std::llabs(dx), std::llabs(dy));
    ContinueDash(from, to);
    if (n == 0) return;
    const double hx = 0.5 * static_cast<double>(dx) / static_cast<double>(n);
    const double hy = 0.5 * static_cast<double>(dy) / static_cast<double>(n);
    double x0 = from.X + 0.5 - hx;
    double y0 = from.Y + 0.5 - hy;
    double x1 = to.X + 0.5 - hx;
    double y1 = to.Y + 0.5 - hy;
    double reachX = 1e6;
    double reachY = 1e6;
    if (FImage != nullptr && FExternal == nullptr) {
        const QSizeF size = FImage->deviceIndependentSize();
        reachX = size.width() + 2;
        reachY = size.height() + 2;
    }
    double cut = 0.0;
    if (ClipSegment(x0, y0, x1, y1, -2.0, -2.0, reachX, reachY, cut)) {
        if (FPenStyled) {
            QPen pen = FQPen;
            pen.setDashOffset((FDashPhase + cut * static_cast<double>(n)) / FPenThin);
            painter.setPen(pen);
        }
        painter.drawLine(QPointF(x0, y0), QPointF(x1, y1));
    }
    FDashPhase = static_cast<int>((FDashPhase + n) % kDashPeriod);
}

// Wide pens cover the pixels whose centres lie inside the band of the pen's
// width around the exact line, with round dots on the vertices. A centre
// exactly on the border counts on the lower and right side, as in Qt's
// aliased strokes (a horizontal line of width 3 at y covers y - 1 ... y + 1).

// The body of a wide line: per step along the major axis, the run of
// pixels across it. The round ends come from WideDot.
void TQtCanvas::WideSegment(std::uint32_t* pixels, TPoint from, TPoint to)
{
    const long long dx = static_cast<long long>(to.X) - from.X;
    const long long dy = static_cast<long long>(to.Y) - from.Y;
    const long long n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0) return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long stride = FImage->bytesPerLine() / 4;
    const long long startM = xMajor ? from.X : from.Y;
    const double startm = xMajor ? from.Y : from.X;
    const long long limitM = xMajor ? FImage->width() : FImage->height();
    const long long limitm = xMajor ? FImage->height() : FImage->width();
    const long long sM = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const double perStep = static_cast<double>(xMajor ? dy : dx) / static_cast<double>(n);
    const double length = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    // The band's extent across the major axis.
    const double half = Pen().Width() * length / static_cast<double>(n) / 2.0;

    // The band ends square to the line at both end points.
    const double dMajor = static_cast<double>(xMajor ? dx : dy);
    const double dMinor = static_cast<double>(xMajor ? dy : dx);
    const double length2 = length * length;

    const long long i0 = std::max(0LL, sM > 0 ? -startM : startM - limitM + 1);
    const long long i1 = std::min(n, sM > 0 ? limitM - startM : startM + 1);
    for (long long i = i0; i < i1; ++i) {
        const long long major = startM + sM * i;
        // The line at the pixel centre's major coordinate; pixels m with
        // centre - half < m + 0.5 <= centre + half.
        const double along = static_cast<double>(i) + 0.5 * static_cast<double>(sM);
        const double centre = startm + perStep * along;
        double lower = centre - half;
        double upper = centre + half;
        if (dMinor != 0) {
            const double a = along * static_cast<double>(sM) * dMajor;  // (u - start) * dMajor
            const double v0 = startm - a / dMinor;
            const double v1 = startm + (length2 - a) / dMinor;
            lower = std::max(lower, std::min(v0, v1));
            upper = std::min(upper, std::max(v0, v1));
        }
        const long long lo = std::max(static_cast<long long>(std::floor(lower - 0.5)) + 1, 0LL);
        const long long hi = std::min(static_cast<long long>(std::floor(upper - 0.5)) + 1, limitm);
        for (long long m = lo; m < hi; ++m) pixels[(xMajor ? m : major) * stride + (xMajor ? major : m)] = FPenPixel;
    }
}

// A round dot as wide as the pen on a vertex.
void TQtCanvas::WideDot(std::uint32_t* pixels, TPoint centre)
{
    const int width = Pen().Width();
    const double r2 = width * width / 4.0;
    const long long reach = width / 2 + 1;
    const long long stride = FImage->bytesPerLine() / 4;
    const long long x0 = std::max(0LL, static_cast<long long>(centre.X) - reach);
    const long long x1 = std::min<long long>(FImage->width() - 1, static_cast<long long>(centre.X) + reach);
    const long long y0 = std::max(0LL, static_cast<long long>(centre.Y) - reach);
    const long long y1 = std::min<long long>(FImage->height() - 1, static_cast<long long>(centre.Y) + reach);
    for (long long y = y0; y <= y1; ++y)
        for (long long x = x0; x <= x1; ++x) {
            const double ex = static_cast<double>(x - centre.X) + 0.5;
            const double ey = static_cast<double>(y - centre.Y) + 0.5;
            const double d2 = ex * ex + ey * ey;
            if (d2 < r2 || (d2 == r2 && ex + ey > 0)) pixels[y * stride + x] = FPenPixel;
        }
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

// Row j of the box holds the pixels whose centres lie within the ellipse at
// the row's centre, at least the middle one or two, and the rows through the
// centre the whole width, so that the ellipse touches all four sides and is
// symmetric. A pixel of the region with a
// 4-neighbour outside it belongs to the outline, the others to the fill.
void TQtCanvas::RasterEllipse(int x1, int y1, int x2, int y2, bool outline, bool fill)
{
    std::uint32_t* pixels = WritablePixels();
    if (pixels == nullptr) return;
    const long long w = static_cast<long long>(x2) - x1;
    const long long h = static_cast<long long>(y2) - y1;
    const double a = static_cast<double>(w) / 2.0;
    const double b = static_cast<double>(h) / 2.0;
    struct Span {
        long long L = 0, R = 0;  // [L, R) relative to x1; empty when L >= R
    };
    auto span = [&](long long j) {
        Span s;
        if (j < 0 || j >= h) return s;
        const double dy = std::fabs(static_cast<double>(j) + 0.5 - b);
        const double t = dy / b;
        // The rows through the centre reach both sides; every row holds its middle pixel.
        const double half = dy <= 0.5 ? a : std::max(a * std::sqrt(std::max(0.0, 1.0 - t * t)), 0.5);
        constexpr double eps = 1e-9;
        s.L = std::max(0LL, static_cast<long long>(std::ceil(a - half - 0.5 - eps)));
        s.R = std::min(w, static_cast<long long>(std::floor(a + half - 0.5 + eps)) + 1);
        return s;
    };
    const bool xorMode = Pen().Mode() == pmXor;
    const std::uint32_t brushRgb = RgbOf(Brush().Color());
    const std::uint32_t fillPixel = xorMode ? brushRgb : (0xFF000000u | brushRgb);
    const long long stride = FImage->bytesPerLine() / 4;
    const long long width = FImage->width();
    auto put = [&](long long y, long long from, long long to, std::uint32_t value) {
        from = std::max(from + x1, 0LL);
        to = std::min(to + x1, width);
        std::uint32_t* row = pixels + y * stride;
        for (long long x = from; x < to; ++x) row[x] = xorMode ? (row[x] ^ value) : value;
    };
    // Only the rows on the image are visited.
    const long long firstRow = std::max(0LL, -static_cast<long long>(y1));
    const long long lastRow = std::min(h, static_cast<long long>(FImage->height()) - y1);
    for (long long j = firstRow; j < lastRow; ++j) {
        const Span s = span(j);
        if (s.L >= s.R) continue;
        const long long y = y1 + j;
        if (!outline) {
            put(y, s.L, s.R, fillPixel);
            continue;
        }
        const Span up = span(j - 1);
        const Span down = span(j + 1);
        const long long innerL = std::max({s.L + 1, up.L, down.L});
        const long long innerR = std::min({s.R - 1, up.R, down.R});
        if (innerL >= innerR) {
            put(y, s.L, s.R, FPenPixel);
            continue;
        }
        put(y, s.L, innerL, FPenPixel);
        if (fill) put(y, innerL, innerR, fillPixel);
        put(y, innerR, s.R, FPenPixel);
    }
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
    const QString qtext = ToQString(text);
    QPainter& p = Painter();
    SetXorMode(p, false);
    if (Brush().Style() == bsSolid) p.fillRect(QRect(x, y, TextWidth(text), metrics.height()), FQBrush);
    if (qtext.isEmpty()) return;
    if (FPainterFontVersion != FFontVersion) {
        p.setFont(FQFont);
        FPainterFontVersion = FFontVersion;
    }
    p.setPen(FTextPen);
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawText(QPoint(x, y + metrics.ascent()), qtext);
}

int TQtCanvas::TextWidth(const std::string& text)
{
    const QFontMetrics& metrics = Metrics();
    // Axes measure the same short labels at every paint; the widths of up
    // to 512 texts of up to 64 bytes are kept per font.
    constexpr std::size_t kWidthsKept = 512;
    constexpr std::size_t kLongestKept = 64;
    if (text.size() > kLongestKept) return metrics.horizontalAdvance(ToQString(text));
    auto& widths = FFonts.front()->Widths;
    if (const auto found = widths.find(text); found != widths.end()) return found->second;
    const int width = metrics.horizontalAdvance(ToQString(text));
    if (widths.size() >= kWidthsKept) widths.clear();
    widths.emplace(text, width);
    return width;
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
    const int left = std::max(rect.Left, 0);
    const int top = std::max(rect.Top, 0);
    const int right = std::min(rect.Right, FImage->width());
    const int bottom = std::min(rect.Bottom, FImage->height());
    if (left >= right || top >= bottom) return;
    const QRect area(left, top, right - left, bottom - top);
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
