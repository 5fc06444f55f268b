// Anti-aliased figures of TQtCanvas (TCanvas::Antialiased).
//
// Smooth figures go through QPainter with its anti-aliasing on, in canvas
// coordinates: the painter's own scale covers any device pixel ratio, so a
// line is as smooth at ratio 2 as at ratio 1 and keeps the width the aliased
// line has there. Canvas pixel (x, y) is the square [x, x + 1) x [y, y + 1)
// of the painter, so a point of the canvas is the painter's (x + 0.5, y +
// 0.5): a one-pixel line between two pixels of one row then covers that row
// exactly and stays as sharp as an aliased one. Lines of every width are
// stroked as outlines and filled.
#include "canvas/qt_canvas.h"

#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace kurvo {

namespace {

constexpr double kDashPeriod = 24.0;

// Points farther out than this from the surface are cut away segment by
// segment: QPainter's rasteriser loses precision far outside the device.
constexpr double kReach = 1 << 16;

QPointF Centre(const TPoint& p) { return {p.X + 0.5, p.Y + 0.5}; }
QPointF Centre(const TPointF& p) { return {p.X + 0.5, p.Y + 0.5}; }

bool Usable(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// Turns the painter's anti-aliasing on for one figure and off again: every
// other QPainter call of the canvas draws aliased.
class TSmoothScope {
public:
    explicit TSmoothScope(QPainter& painter) : FPainter(painter)
    {
        FPainter.setRenderHint(QPainter::Antialiasing, true);
    }
    ~TSmoothScope() { FPainter.setRenderHint(QPainter::Antialiasing, false); }
    TSmoothScope(const TSmoothScope&) = delete;
    TSmoothScope& operator=(const TSmoothScope&) = delete;

private:
    QPainter& FPainter;
};

// Whether the line is over four times as long as the area of its bounding
// box: it then crosses its pixels again and again.
bool Crowded(const QPointF* points, int count)
{
    double length = 0.0;
    double left = points[0].x(), right = left, top = points[0].y(), bottom = top;
    for (int k = 1; k < count; ++k) {
        length += std::fabs(points[k].x() - points[k - 1].x()) + std::fabs(points[k].y() - points[k - 1].y());
        left = std::min(left, points[k].x());
        right = std::max(right, points[k].x());
        top = std::min(top, points[k].y());
        bottom = std::max(bottom, points[k].y());
    }
    return length > 4.0 * (right - left + 1.0) * (bottom - top + 1.0);
}

}  // namespace

template <class P>
const QPointF* TQtCanvas::CentredPoints(const P* points, int count)
{
    FQPointsF.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) FQPointsF[static_cast<std::size_t>(k)] = Centre(points[k]);
    return FQPointsF.data();
}

template const QPointF* TQtCanvas::CentredPoints(const TPoint* points, int count);
template const QPointF* TQtCanvas::CentredPoints(const TPointF* points, int count);

void TQtCanvas::SmoothStroke(const QPointF* points, int count, bool closed)
{
    if (count < 2) return;
    QPainter& p = Painter();
    SetXorMode(p, false);
    UseQtPen(p);
    p.setBrush(Qt::NoBrush);
    // Round joins: a mitre at a sharp turn of a data line would reach far
    // beyond its points.
    QPen pen = QtPen();
    pen.setJoinStyle(Qt::RoundJoin);

    // A dashed line that starts where the last one ended carries its pattern on.
    const bool dashed = FPenStyled && !closed;
    const double unit = pen.widthF() > 0.0 ? pen.widthF() : 1.0;
    if (dashed) {
        if (points[0] != FSmoothDashEnd) FSmoothDashPhase = 0.0;
        pen.setDashOffset(FSmoothDashPhase / unit);
    }
    p.setPen(pen);

    double loX = -kReach, loY = -kReach, hiX = kReach, hiY = kReach;
    if (FImage != nullptr && FExternal == nullptr) {
        const QSizeF size = FImage->deviceIndependentSize();
        hiX += size.width();
        hiY += size.height();
    }
    bool near = true;
    for (int k = 0; k < count && near; ++k)
        near = Usable(points[k]) && points[k].x() >= loX && points[k].x() <= hiX && points[k].y() >= loY &&
               points[k].y() <= hiY;

    const TSmoothScope smooth(p);
    // Qt's raster engine hands pens up to one device pixel wide to its
    // cosmetic stroker, which blends each segment on its own: the pixel where
    // two segments meet gets two half coverages, and a straight line through
    // a point per pixel comes out mid-grey instead of in the pen's colour.
    // Such lines are filled as one outline, as wider ones are, unless they
    // cover their own pixels many times over (the dense columns of a long
    // series): there the joints are covered by other segments, and the
    // outline of so many crossings would take a hundred times as long.
    const bool hairline = FExternal == nullptr && (pen.isCosmetic() || pen.widthF() * DevicePixelRatio() <= 1.0) &&
                          !Crowded(points, count);
    if (near && hairline) {
        QPainterPath path(points[0]);
        for (int k = 1; k < count; ++k) path.lineTo(points[k]);
        if (closed) path.closeSubpath();
        QPen outline = pen;
        if (outline.isCosmetic()) {
            outline.setCosmetic(false);
            outline.setWidthF(std::max(1.0, outline.widthF()) / DevicePixelRatio());
        }
        p.fillPath(QPainterPathStroker(outline).createStroke(path), outline.brush());
    } else if (near) {
        if (closed)
            p.drawPolygon(points, count);
        else
            p.drawPolyline(points, count);
    } else {
        // Segment by segment, each cut to the reach; a point that is not a
        // number breaks the line there.
        const int segments = closed ? count : count - 1;
        for (int k = 0; k < segments; ++k) {
            QPointF a = points[k];
            QPointF b = points[(k + 1) % count];
            if (!Usable(a) || !Usable(b)) continue;
            double x0 = a.x(), y0 = a.y(), x1 = b.x(), y1 = b.y(), cut = 0.0;
            if (ClipSegment(x0, y0, x1, y1, loX, loY, hiX, hiY, cut)) p.drawLine(QPointF(x0, y0), QPointF(x1, y1));
        }
    }

    if (dashed) {
        double length = 0.0;
        for (int k = 0; k + 1 < count; ++k)
            if (Usable(points[k]) && Usable(points[k + 1]))
                length += std::hypot(points[k + 1].x() - points[k].x(), points[k + 1].y() - points[k].y());
        FSmoothDashPhase = std::fmod(FSmoothDashPhase + std::min(length, 1e12), kDashPeriod);
        FSmoothDashEnd = points[count - 1];
    }
}

void TQtCanvas::SmoothPolygon(const TPoint* points, int count)
{
    const QPointF* centred = CentredPoints(points, count);
    if (Brush().Style() == bsSolid) {
        QPainter& p = Painter();
        SetXorMode(p, false);
        p.setPen(Qt::NoPen);
        p.setBrush(FQBrush);
        const TSmoothScope smooth(p);
        p.drawPolygon(centred, count, Qt::OddEvenFill);
    }
    if (Pen().Style() != psClear) SmoothStroke(centred, count, true);
}

// The outline is a band one pen width wide whose outer edge is the box; the
// fill reaches to the middle of that band, or to the box without an outline.
void TQtCanvas::SmoothEllipse(int x1, int y1, int x2, int y2, bool outline, bool fill)
{
    QPainter& p = Painter();
    SetXorMode(p, false);
    const TSmoothScope smooth(p);
    const double width = ThinPen() ? ThinPenWidth() : Pen().Width();
    const double inset = outline ? 0.5 * std::min<double>(width, std::min(x2 - x1, y2 - y1)) : 0.0;
    const QRectF box(x1 + inset, y1 + inset, x2 - x1 - 2 * inset, y2 - y1 - 2 * inset);
    if (fill) {
        p.setPen(Qt::NoPen);
        p.setBrush(FQBrush);
        p.drawEllipse(box);
    }
    if (outline) {
        UseQtPen(p);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(box);
    }
}

void TQtCanvas::PolylineF(const TPointF* points, int count)
{
    if (!Smooth()) {
        TCanvas::PolylineF(points, count);
        return;
    }
    if (points == nullptr || count <= 0) return;
    const TPointF& last = points[count - 1];
    SetPenPos({RoundCanvasCoord(last.X), RoundCanvasCoord(last.Y)});
    if (count < 2 || Pen().Style() == psClear || !CanPaint()) return;
    ApplyPen();
    ApplyBrushForFill();
    SmoothStroke(CentredPoints(points, count), count, false);
}

}  // namespace kurvo
