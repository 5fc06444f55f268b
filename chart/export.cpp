// The chart's output calls: raster pictures at any size and device pixel
// ratio, PDF and SVG pages and printed pages.
#include "chart/export.h"

#include "base/errors.h"
#include "canvas/qt_canvas.h"
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "chart/series_private.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <string>

namespace kurvo {

namespace {

std::string SizeText(double width, double height)
{
    return std::to_string(std::llround(width)) + " x " + std::to_string(std::llround(height));
}

void CheckRatio(double ratio)
{
    if (!(ratio >= MinDevicePixelRatio && ratio <= MaxDevicePixelRatio))
        throw EQornKurvoError("Device pixel ratio must lie between 0.25 and 8.");
}

// Checked in double, before anything is allocated: a side times a ratio
// cannot wrap round.
void CheckArea(double width, double height, const char* what)
{
    if (width > MaxExportSide || height > MaxExportSide || width * height > static_cast<double>(MaxExportPixels))
        throw EQornKurvoError(std::string("A picture of ") + SizeText(width, height) + " " + what +
                              " is too large: at most " + std::to_string(MaxExportSide) + " pixels a side and " +
                              std::to_string(MaxExportPixels) + " pixels in all.");
}

// The logical size an export lays the chart out at; 0 keeps the chart's own.
QSize ExportSize(const TCustomKurvo& chart, int width, int height)
{
    if (width < 0 || height < 0)
        throw EQornKurvoError("Picture width and height must be positive, or 0 for the chart's own size.");
    if (width == 0) width = chart.Width();
    if (height == 0) height = chart.Height();
    CheckArea(width, height, "pixels");
    // The chart's own size always goes, even when margins set later exceed it.
    const QSize smallest = chart.SmallestSize();
    const bool own = width == chart.Width() && height == chart.Height();
    // A chart made smaller than its margins allow could not be given its
    // own size back: SetBounds would enlarge it.
    if (!own && (chart.Width() < smallest.width() || chart.Height() < smallest.height()))
        throw EQornKurvoError("The chart of " + SizeText(chart.Width(), chart.Height()) +
                              " pixels is smaller than its margins allow and can be exported at its own size only.");
    if (!own && (width < smallest.width() || height < smallest.height()))
        throw EQornKurvoError("A picture of " + SizeText(width, height) + " pixels is smaller than the chart's " +
                              "smallest size of " + SizeText(smallest.width(), smallest.height()) + " pixels.");
    return {width, height};
}

const char* ImageFormatOf(const std::string& path)
{
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (suffix == QLatin1String("png")) return "png";
    if (suffix == QLatin1String("bmp")) return "bmp";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "jpeg";
    throw EQornKurvoError("Unknown image file type \"" + suffix.toStdString() + "\" of \"" + path +
                          "\": use .png, .bmp, .jpg or .jpeg.");
}

[[noreturn]] void CannotWrite(const std::string& path, const std::string& reason)
{
    throw EQornKurvoError("Cannot write \"" + path + "\": " + reason + ".");
}

// Points the 32 axis controls at another canvas while the chart paints on
// it, and back at the control bitmap afterwards.
class TAxisTarget {
public:
    TAxisTarget(TCustomKurvo& chart, TCanvas& canvas) : FChart(chart) { Point(&canvas); }
    ~TAxisTarget() { Point(&FChart.ControlBitmap().Canvas()); }
    TAxisTarget(const TAxisTarget&) = delete;
    TAxisTarget& operator=(const TAxisTarget&) = delete;

private:
    void Point(TCanvas* canvas)
    {
        for (int layer = 1; layer <= LayerCount; ++layer) {
            FChart.AxisX(layer)->SetExternalCanvas(canvas, 0, 0);
            FChart.AxisY(layer)->SetExternalCanvas(canvas, 0, 0);
        }
    }

    TCustomKurvo& FChart;
};

class TPainterState {
public:
    explicit TPainterState(QPainter& painter) : FPainter(painter) { FPainter.save(); }
    ~TPainterState() { FPainter.restore(); }
    TPainterState(const TPainterState&) = delete;
    TPainterState& operator=(const TPainterState&) = delete;

private:
    QPainter& FPainter;
};

}  // namespace

// One export: lays the chart out at the asked size without touching the
// widget, and gives the chart its own size and picture back at the end.
class TKurvoExporter::TRun {
public:
    // `raster`: the run composes into the chart's bitmaps, which must show the
    // chart's own picture again afterwards.
    TRun(TKurvoExporter& exporter, QSize size, bool raster) : FExporter(exporter), FChart(exporter.FChart)
    {
        if (FExporter.FBusy || FExporter.FComposing > 0)
            throw EQornKurvoError("A chart cannot be exported while it paints or exports.");
        FExporter.FBusy = true;
        FLive = FChart.Visible() && !FChart.IsLoading() && !FChart.PaintSuspended();
        FDetached = FChart.GeometryDetached();
        FOwnSize = QSize(FChart.Width(), FChart.Height());
        FRecompose = raster || size != FOwnSize;
        FChart.SetGeometryDetached(true);
        try {
            if (size != FOwnSize) Layout(size);
        } catch (...) {
            Restore();
            throw;
        }
    }

    ~TRun() { Restore(); }

    TRun(const TRun&) = delete;
    TRun& operator=(const TRun&) = delete;

private:
    void Layout(QSize size) { FChart.SetBounds(FChart.Left(), FChart.Top(), size.width(), size.height()); }

    void Restore() noexcept
    {
        // A failure while the chart gets its own size back leaves the size
        // restored (the control stores it first) and is the failure the
        // export itself met and reported; it cannot be raised twice.
        try {
            if (QSize(FChart.Width(), FChart.Height()) != FOwnSize) Layout(FOwnSize);
            // The control bitmap shows the chart's own picture again, as the
            // window does.
            if (FLive && FRecompose) {
                FChart.ComposePicture(FChart.DevicePixelRatio());
                FChart.DrawCrossHairs(0, 0, FChart.ControlBitmap());
            }
        } catch (...) {
        }
        FChart.SetGeometryDetached(FDetached);
        FExporter.FBusy = false;
    }

    TKurvoExporter& FExporter;
    TCustomKurvo& FChart;
    QSize FOwnSize;
    bool FLive = false;
    bool FDetached = false;
    bool FRecompose = false;
};

QImage TKurvoExporter::ToImage(int width, int height, double ratio)
{
    CheckRatio(ratio);
    const QSize size = ExportSize(FChart, width, height);
    return Render(size.width(), size.height(), ratio);
}

QImage TKurvoExporter::Render(int width, int height, double ratio)
{
    CheckArea(std::round(width * ratio), std::round(height * ratio), "device pixels");
    const TRun run(*this, QSize(width, height), true);
    FChart.ComposePicture(ratio);
    FChart.DrawCrossHairs(0, 0, FChart.ControlBitmap());
    const QImage& picture = FChart.ControlBitmap().Image();
    if (picture.isNull())
        throw EQornKurvoError("Not enough memory for a picture of " + SizeText(width * ratio, height * ratio) +
                              " device pixels.");
    // A copy of its own: the bitmap is redrawn when the chart gets its own size back.
    QImage image = picture.copy();
    image.setDevicePixelRatio(ratio);
    const int dotsPerMeter = static_cast<int>(std::lround(ratio * ScreenLogPixelsY() / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

void TKurvoExporter::SaveToImage(const std::string& path, int width, int height, double ratio)
{
    const char* format = ImageFormatOf(path);
    const QImage image = ToImage(width, height, ratio);
    QImageWriter writer(QString::fromStdString(path), format);
    if (std::string(format) == "jpeg") writer.setQuality(95);
    if (!writer.write(image)) CannotWrite(path, writer.errorString().toStdString());
}

void TKurvoExporter::PaintTo(QPainter& painter, bool printerPage)
{
    if (!painter.isActive()) throw EQornKurvoError("The painter to draw the chart on is not active.");
    if (FComposing > 0) throw EQornKurvoError("A chart cannot be exported while it paints or exports.");
    const TComposing composing(*this);
    const TPainterState state(painter);
    TQtCanvas canvas(&painter, ScreenLogPixelsY(), printerPage);
    const TAxisTarget axes(FChart, canvas);
    FChart.PaintFrame(canvas);

    // The data area is drawn as into the data bitmap, with the origin at its
    // corner: hooks get the Top and Left of a paint and draw where they do
    // on the screen. The bitmap's edges clip on the screen, the painter here.
    const int w = std::max(0, FChart.Width() - FChart.MarginLeft() - FChart.MarginRight() - FChart.ShadowWidth() + 1);
    const int h = std::max(0, FChart.Height() - FChart.MarginTop() - FChart.MarginBottom() - FChart.ShadowWidth() + 1);
    {
        const TPainterState dataArea(painter);
        painter.translate(FChart.MarginLeft(), FChart.MarginTop());
        painter.setClipRect(QRect(0, 0, w, h), Qt::IntersectClip);
        FChart.DrawBackground(canvas, 0, 0, w, h);
        FChart.RenderData(canvas, 0, 0, false, false);
        FChart.DrawMouseTrace(0, 0, canvas);
    }
    DrawLegend(FChart, canvas, false, 0, 0);
    FChart.DrawCrossHairs(0, 0, canvas);
}

void TKurvoExporter::SaveToPdf(const std::string& path)
{
    const QSize size = ExportSize(FChart, 0, 0);
    const TRun run(*this, size, false);
    QPdfWriter writer(QString::fromStdString(path));
    // One device unit per chart pixel: the canvas draws in chart pixels.
    writer.setResolution(ScreenLogPixelsY());
    const double toPoints = 72.0 / ScreenLogPixelsY();
    const QPageSize page(QSizeF(size.width() * toPoints, size.height() * toPoints), QPageSize::Point, QString(),
                         QPageSize::ExactMatch);
    writer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF()));
    writer.setCreator(QStringLiteral("Kurvo"));
    QPainter painter;
    if (!painter.begin(&writer)) CannotWrite(path, "the file cannot be created");
    try {
        PaintTo(painter, true);
    } catch (...) {
        painter.end();
        throw;
    }
    if (!painter.end()) CannotWrite(path, "the PDF could not be finished");
}

void TKurvoExporter::SaveToSvg(const std::string& path)
{
    const QSize size = ExportSize(FChart, 0, 0);
    const TRun run(*this, size, false);
    QSvgGenerator generator;
    generator.setFileName(QString::fromStdString(path));
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(ScreenLogPixelsY());
    generator.setTitle(QString::fromStdString(FChart.Caption()));
    QPainter painter;
    if (!painter.begin(&generator)) CannotWrite(path, "the file cannot be created");
    try {
        PaintTo(painter, false);
    } catch (...) {
        painter.end();
        throw;
    }
    if (!painter.end()) CannotWrite(path, "the SVG could not be finished");
}

void TKurvoExporter::Print(QPrinter& printer)
{
    const int resolution = printer.resolution();
    if (resolution <= 0) throw EQornKurvoError("The printer reports no resolution.");
    // The chart fills the printable area at 96 chart pixels to the inch.
    const double scale = static_cast<double>(resolution) / ScreenLogPixelsY();
    const QRect area = printer.pageLayout().paintRectPixels(resolution);
    const QSize size = ExportSize(FChart, std::max(1, static_cast<int>(std::floor(area.width() / scale))),
                                  std::max(1, static_cast<int>(std::floor(area.height() / scale))));
    const TRun run(*this, size, false);
    QPainter painter;
    if (!painter.begin(&printer)) throw EQornKurvoError("The printer did not start printing.");
    try {
        painter.scale(scale, scale);
        PaintTo(painter, true);
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    if (!painter.end()) throw EQornKurvoError("The printer did not finish printing.");
}

// ------------------------------------------------------------ chart calls

QImage TCustomKurvo::ToImage(int width, int height, double ratio) { return d->FExporter->ToImage(width, height, ratio); }

void TCustomKurvo::SaveToImage(const std::string& path, int width, int height, double ratio)
{
    d->FExporter->SaveToImage(path, width, height, ratio);
}

void TCustomKurvo::SaveToPdf(const std::string& path) { d->FExporter->SaveToPdf(path); }

void TCustomKurvo::SaveToSvg(const std::string& path) { d->FExporter->SaveToSvg(path); }

void TCustomKurvo::Print(QPrinter& printer) { d->FExporter->Print(printer); }

void TCustomKurvo::PaintTo(QPainter& painter, bool printerPage) { d->FExporter->PaintTo(painter, printerPage); }

QSize TCustomKurvo::SmallestSize() const
{
    // As SetBounds limits the size.
    return {d->FMarginLeft + d->FMarginRight + d->FShadowWidth + 80, d->FMarginTop + d->FMarginBottom + d->FShadowWidth + 20};
}

QSize TCustomKurvo::sizeHint() const { return SmallestSize().expandedTo(QSize(400, 300)); }

QSize TCustomKurvo::minimumSizeHint() const { return SmallestSize(); }

}  // namespace kurvo
