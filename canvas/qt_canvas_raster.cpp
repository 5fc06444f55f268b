// The canvas's own rasterisers for images of device pixel ratio 1, and the
// aliased QPainter lines that follow the same pixel rules on other devices.
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
// some hundred microseconds on one 200-point polyline.
//
// The own rasteriser writes image memory at one device pixel per canvas
// pixel. On an image with another device pixel ratio, and on devices without
// image memory (PDF, SVG, printer), every line goes through QPainter
// instead, aliased and in canvas coordinates: a one-pixel pen becomes a band
// round(ratio) device pixels wide on the canvas pixel centres, so that lines
// stay sharp and keep the pixel rules above.
#include "canvas/qt_canvas.h"

#include "canvas/qt_canvas_detail.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace kurvo {

using namespace qt_canvas_detail;

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
        // minor offset of step i = floor((2 i am + aM) / (2 aM)), kept
        // incrementally. The start is split so that nothing overflows: a
        // line across the whole int range has i0 and am near 2^32, and
        // i0 * am (below 2^64) fits only unsigned.
        const long long den = 2 * aM;
        const unsigned long long product = static_cast<unsigned long long>(i0) * static_cast<unsigned long long>(am);
        const long long rest = 2 * static_cast<long long>(product % static_cast<unsigned long long>(aM)) + aM;
        long long q = static_cast<long long>(product / static_cast<unsigned long long>(aM)) + rest / den;
        long long r = rest % den;
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
    const auto inside = [&](TPoint p) {
        return static_cast<unsigned long long>(p.X) < static_cast<unsigned long long>(width) &&
               static_cast<unsigned long long>(p.Y) < static_cast<unsigned long long>(height);
    };
    // The dash phase runs on as ContinueDash keeps it (a later styled pen
    // continues from this path's end), reduced once at the end.
    long long phase = FDashPhase;
    const auto segment = [&](TPoint from, TPoint to) {
        const long long n = std::max(std::llabs(static_cast<long long>(to.X) - from.X),
                                     std::llabs(static_cast<long long>(to.Y) - from.Y));
        if (n == 0 || !inside(from) || !inside(to)) {
            FDashPhase = static_cast<int>(phase % kDashPeriod);
            ThinSegment(pixels, from, to);
            phase = FDashPhase;
            return;
        }
        if (!(from == FDashEnd)) phase = 0;
        FDashEnd = to;
        phase += n;
        // A step to a neighbour draws its start pixel alone: lines through
        // many points on few pixels are mostly such steps.
        if (n == 1)
            pixels[static_cast<long long>(from.Y) * stride + from.X] = value;
        else
            InsideSolidSegment(pixels, stride, value, from, to, n);
    };
    for (int k = 0; k + 1 < count; ++k) segment(points[k], points[k + 1]);
    if (closed) segment(points[count - 1], points[0]);
    FDashPhase = static_cast<int>(phase % kDashPeriod);
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
            QPen pen = QtPen();
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
    const double r2 = static_cast<double>(width) * width / 4.0;
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

void TQtCanvas::SetPixels(int x, int y, int width, int height, const std::uint32_t* pixels, std::size_t stride)
{
    if (pixels == nullptr || width <= 0 || height <= 0 || !CanPaint()) return;
    if (FExternal != nullptr) {
        // One picture: a PDF or SVG holds an image, not a rectangle a pixel.
        const QImage picture(reinterpret_cast<const uchar*>(pixels), width, height,
                             static_cast<qsizetype>(stride * sizeof(std::uint32_t)), QImage::Format_ARGB32);
        QPainter& p = Painter();
        SetXorMode(p, false);
        const bool smooth = p.testRenderHint(QPainter::SmoothPixmapTransform);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(QRect(x, y, width, height), picture);
        p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        return;
    }
    std::uint32_t* target = WritablePixels();
    if (target == nullptr) return;
    // Canvas pixel v covers the device pixels from edge(v) up to edge(v + 1),
    // as QPainter fills a one-pixel rectangle at the image's ratio.
    const double ratio = FImage->devicePixelRatio();
    const auto edges = [ratio](long long from, int count, long long limit) {
        std::vector<long long> e(static_cast<std::size_t>(count) + 1);
        for (int k = 0; k <= count; ++k)
            e[static_cast<std::size_t>(k)] =
                std::clamp(static_cast<long long>(std::floor(static_cast<double>(from + k) * ratio + 0.5)), 0LL, limit);
        return e;
    };
    const std::vector<long long> columns = edges(x, width, FImage->width());
    const std::vector<long long> rows = edges(y, height, FImage->height());
    const auto targetStride = static_cast<std::size_t>(FImage->bytesPerLine() / 4);
    for (int j = 0; j < height; ++j) {
        const std::uint32_t* source = pixels + static_cast<std::size_t>(j) * stride;
        for (long long row = rows[static_cast<std::size_t>(j)]; row < rows[static_cast<std::size_t>(j) + 1]; ++row) {
            std::uint32_t* line = target + static_cast<std::size_t>(row) * targetStride;
            for (int i = 0; i < width; ++i) {
                if ((source[i] >> 24) == 0) continue;
                for (long long c = columns[static_cast<std::size_t>(i)]; c < columns[static_cast<std::size_t>(i) + 1]; ++c)
                    line[c] = source[i] | 0xFF000000u;
            }
        }
    }
}

}  // namespace kurvo
