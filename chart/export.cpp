// The chart's output calls: raster pictures at any size and device pixel
// ratio, PDF and SVG pages and printed pages.
#include "chart/export.h"

#include "base/errors.h"
#include "canvas/qt_canvas.h"
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "chart/series_private.h"
#include "chart/thread_rule.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <memory>
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

const char* ImageFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return "png";
    if (suffix == QLatin1String("bmp")) return "bmp";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "jpeg";
    throw EQornKurvoError("Unknown image file type \"" + FromQString(suffix) + "\" of \"" + FromQString(path) +
                          "\": use .png, .bmp, .jpg or .jpeg.");
}

// A NUL ends a path for the system, so that "a\0b.pdf" would write "a":
// such a path names no file the caller meant.
void CheckPath(const QString& path)
{
    if (path.contains(QChar(u'\0')))
        throw EQornKurvoError("The file path \"" + FromQString(QString(path).replace(QChar(u'\0'), QStringLiteral("\\0"))) +
                              "\" holds a NUL character; nothing was written.");
}

// PDF and SVG files are refused under any other extension, as image files
// are: a file that says what it holds is what a program opening it expects.
void CheckExtension(const QString& path, const char* extension, const char* call)
{
    if (QFileInfo(path).suffix().compare(QLatin1String(extension), Qt::CaseInsensitive) != 0)
        throw EQornKurvoError(std::string(call) + " writes ." + extension + " files only: \"" + FromQString(path) +
                              "\" has another extension.");
}

// The SVG title as the writer must be given it. Qt 6.4's generator copies the
// title into the file as it is, later versions escape it: which one runs is
// asked once, with a title of one ampersand.
QString SvgTitle(const std::string& caption)
{
    static const bool writerEscapes = [] {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator probe;
        probe.setOutputDevice(&buffer);
        probe.setSize(QSize(1, 1));
        probe.setTitle(QStringLiteral("&"));
        QPainter painter;
        if (painter.begin(&probe)) painter.end();
        return buffer.data().contains("<title>&amp;</title>");
    }();
    const QString title = WithoutXmlForbidden(ToQString(caption));
    return writerEscapes ? title : title.toHtmlEscaped();
}

[[noreturn]] void CannotWrite(const QString& path, const QString& reason)
{
    throw EQornKurvoError("Cannot write \"" + FromQString(path) + "\": " + FromQString(reason) + ".");
}

// Where an export's bytes go. A file is written to a temporary file beside
// it and renamed over it once everything is written, so that a failure (a
// full disk, a folder that cannot be written) leaves the target as it was
// and no partial file. A target that is no regular file (a device such as
// /dev/full, a pipe) cannot be replaced and is written directly; symbolic
// links are followed to their target. Nothing is renamed before Commit.
class TExportFile {
public:
    explicit TExportFile(const QString& path) : FPath(path)
    {
        QFileInfo target(path);
        for (int depth = 0; depth < 64 && target.isSymLink(); ++depth) target.setFile(target.symLinkTarget());
        if (target.isDir()) CannotWrite(path, QStringLiteral("it is a folder"));
        if (target.exists() && !target.isFile()) {
            FDirect = std::make_unique<QFile>(target.filePath());
            if (!FDirect->open(QIODevice::WriteOnly)) CannotWrite(path, FDirect->errorString());
            return;
        }
        FSave = std::make_unique<QSaveFile>(path);
        FSave->setDirectWriteFallback(false);
        if (!FSave->open(QIODevice::WriteOnly)) CannotWrite(path, FSave->errorString());
    }

    QIODevice& Device() { return FDirect ? static_cast<QIODevice&>(*FDirect) : *FSave; }

    // Puts the file in place; raises when any write failed. The temporary
    // file is removed then, as it is when the object goes without Commit.
    void Commit()
    {
        if (FDirect) {
            if (!FDirect->flush() || FDirect->error() != QFileDevice::NoError) CannotWrite(FPath, FDirect->errorString());
            FDirect->close();
            if (FDirect->error() != QFileDevice::NoError) CannotWrite(FPath, FDirect->errorString());
            return;
        }
        // Flushed here: Qt's commit does not see a failure of its own last
        // flush, which is where every write of a small file fails.
        if (!FSave->flush() || FSave->error() != QFileDevice::NoError) CannotWrite(FPath, FSave->errorString());
        if (!FSave->commit()) CannotWrite(FPath, FSave->errorString());
    }

private:
    QString FPath;
    std::unique_ptr<QSaveFile> FSave;
    std::unique_ptr<QFile> FDirect;
};

// The SVG generator gives the picture's size in millimetres of six digits,
// which readers at 96 pixels to the inch round up to one pixel more than
// the chart has (200 px: "52.9167mm", 200.0001 px). Pixels are exact.
void WriteSvgSizeInPixels(QByteArray& svg, QSize size)
{
    const QRegularExpression header(QStringLiteral("<svg width=\"[^\"]*\" height=\"[^\"]*\""));
    const qsizetype head = std::min<qsizetype>(svg.size(), 512);
    const QRegularExpressionMatch match = header.match(QString::fromUtf8(svg.constData(), head));
    if (!match.hasMatch()) return;
    const QByteArray pixels = "<svg width=\"" + QByteArray::number(size.width()) + "\" height=\"" +
                              QByteArray::number(size.height()) + "\"";
    // The header is ASCII: character and byte offsets agree.
    svg.replace(match.capturedStart(), match.capturedLength(), pixels);
}

// Points the 32 axis controls at another canvas while the chart paints on
// it, and back at the control bitmap afterwards.
class TAxisTarget {
public:
    TAxisTarget(TCustomKurvo& chart, TCanvas& canvas) : FChart(chart) { Point(&canvas); }
    ~TAxisTarget() { Point(&TCustomKurvoPrivate::Get(FChart).ControlBitmap().Canvas()); }
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
        // Taken in one step: an export of the same chart from another thread
        // is refused too.
        if (FExporter.FComposing > 0 || FExporter.FBusy.exchange(true))
            throw EQornKurvoError("A chart cannot be exported while it paints or exports.");
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
                TCustomKurvoPrivate& chart = TCustomKurvoPrivate::Get(FChart);
                chart.ComposePicture(FChart.DevicePixelRatio());
                chart.DrawCrossHairs(0, 0, chart.ControlBitmap());
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
    TCustomKurvoPrivate& chart = TCustomKurvoPrivate::Get(FChart);
    chart.ComposePicture(ratio);
    chart.DrawCrossHairs(0, 0, chart.ControlBitmap());
    const QImage& picture = chart.ControlBitmap().Image();
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

void TKurvoExporter::SaveToImage(const QString& path, int width, int height, double ratio)
{
    CheckPath(path);
    const char* format = ImageFormatOf(path);
    const QImage image = ToImage(width, height, ratio);
    TExportFile file(path);
    QImageWriter writer(&file.Device(), format);
    if (std::string(format) == "jpeg") writer.setQuality(95);
    if (!writer.write(image)) CannotWrite(path, writer.errorString());
    file.Commit();
}

void TKurvoExporter::PaintTo(QPainter& painter, bool printerPage)
{
    if (!painter.isActive()) throw EQornKurvoError("The painter to draw the chart on is not active.");
    if (FComposing > 0) throw EQornKurvoError("A chart cannot be exported while it paints or exports.");
    const TComposing composing(*this);
    const TPainterState state(painter);
    TQtCanvas canvas(&painter, ScreenLogPixelsY(), printerPage);
    const TAxisTarget axes(FChart, canvas);
    TCustomKurvoPrivate& chart = TCustomKurvoPrivate::Get(FChart);
    chart.PaintFrame(canvas);

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
        chart.DrawMouseTrace(0, 0, canvas);
    }
    DrawLegend(FChart, canvas, false, 0, 0);
    chart.DrawCrossHairs(0, 0, canvas);
}

void TKurvoExporter::SaveToPdf(const QString& path)
{
    CheckPath(path);
    CheckExtension(path, "pdf", "SaveToPdf");
    const QSize size = ExportSize(FChart, 0, 0);
    TExportFile file(path);
    const TRun run(*this, size, false);
    QPdfWriter writer(&file.Device());
    // One device unit per chart pixel: the canvas draws in chart pixels.
    writer.setResolution(ScreenLogPixelsY());
    const double toPoints = 72.0 / ScreenLogPixelsY();
    const QPageSize page(QSizeF(size.width() * toPoints, size.height() * toPoints), QPageSize::Point, QString(),
                         QPageSize::ExactMatch);
    writer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF()));
    writer.setCreator(QStringLiteral("Kurvo"));
    QPainter painter;
    if (!painter.begin(&writer)) CannotWrite(path, QStringLiteral("the PDF could not be started"));
    try {
        PaintTo(painter, true);
    } catch (...) {
        painter.end();
        throw;
    }
    if (!painter.end()) CannotWrite(path, QStringLiteral("the PDF could not be finished"));
    file.Commit();
}

void TKurvoExporter::SaveToSvg(const QString& path)
{
    CheckPath(path);
    CheckExtension(path, "svg", "SaveToSvg");
    const QSize size = ExportSize(FChart, 0, 0);
    TExportFile file(path);
    const TRun run(*this, size, false);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(ScreenLogPixelsY());
    generator.setTitle(SvgTitle(FChart.Caption()));
    QPainter painter;
    if (!painter.begin(&generator)) CannotWrite(path, QStringLiteral("the SVG could not be started"));
    try {
        PaintTo(painter, false);
    } catch (...) {
        painter.end();
        throw;
    }
    if (!painter.end()) CannotWrite(path, QStringLiteral("the SVG could not be finished"));
    QByteArray svg = buffer.buffer();
    WriteSvgSizeInPixels(svg, size);
    if (file.Device().write(svg) != svg.size()) CannotWrite(path, file.Device().errorString());
    file.Commit();
}

void TKurvoExporter::Print(QPrinter& printer, TPrintLayout layout)
{
    const int resolution = printer.resolution();
    if (resolution <= 0) throw EQornKurvoError("The printer reports no resolution.");
    // The chart is laid out at 96 chart pixels to the inch on the printable
    // area: filling it, or at the largest size of the chart's own aspect
    // that fits, centred.
    const double scale = static_cast<double>(resolution) / ScreenLogPixelsY();
    const QRect area = printer.pageLayout().paintRectPixels(resolution);
    const int areaWidth = std::max(1, static_cast<int>(std::floor(area.width() / scale)));
    const int areaHeight = std::max(1, static_cast<int>(std::floor(area.height() / scale)));
    int width = areaWidth;
    int height = areaHeight;
    if (layout != plFillPage && FChart.Width() > 0 && FChart.Height() > 0) {
        const double aspect = static_cast<double>(FChart.Width()) / FChart.Height();
        if (areaWidth > areaHeight * aspect)
            width = std::clamp(static_cast<int>(std::lround(areaHeight * aspect)), 1, areaWidth);
        else
            height = std::clamp(static_cast<int>(std::lround(areaWidth / aspect)), 1, areaHeight);
    }
    const QSize size = ExportSize(FChart, width, height);
    const TRun run(*this, size, false);
    QPainter painter;
    if (!painter.begin(&printer)) throw EQornKurvoError("The printer did not start printing.");
    try {
        painter.scale(scale, scale);
        painter.translate((areaWidth - width) / 2, (areaHeight - height) / 2);
        PaintTo(painter, true);
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    if (!painter.end()) throw EQornKurvoError("The printer did not finish printing.");
}

// ------------------------------------------------------------ chart calls

QImage TCustomKurvo::ToImage(int width, int height, double ratio)
{
    CheckChartThread(*this, "ToImage");
    return d->FExporter->ToImage(width, height, ratio);
}

void TCustomKurvo::SaveToImage(const QString& path, int width, int height, double ratio)
{
    CheckChartThread(*this, "SaveToImage");
    d->FExporter->SaveToImage(path, width, height, ratio);
}

void TCustomKurvo::SaveToImage(const std::string& path, int width, int height, double ratio)
{
    SaveToImage(QString::fromStdString(path), width, height, ratio);
}

void TCustomKurvo::SaveToImage(const char* path, int width, int height, double ratio)
{
    SaveToImage(QString::fromUtf8(path), width, height, ratio);
}

void TCustomKurvo::SaveToPdf(const QString& path)
{
    CheckChartThread(*this, "SaveToPdf");
    d->FExporter->SaveToPdf(path);
}

void TCustomKurvo::SaveToPdf(const std::string& path) { SaveToPdf(QString::fromStdString(path)); }

void TCustomKurvo::SaveToPdf(const char* path) { SaveToPdf(QString::fromUtf8(path)); }

void TCustomKurvo::SaveToSvg(const QString& path)
{
    CheckChartThread(*this, "SaveToSvg");
    d->FExporter->SaveToSvg(path);
}

void TCustomKurvo::SaveToSvg(const std::string& path) { SaveToSvg(QString::fromStdString(path)); }

void TCustomKurvo::SaveToSvg(const char* path) { SaveToSvg(QString::fromUtf8(path)); }

void TCustomKurvo::Print(QPrinter& printer, TPrintLayout layout)
{
    CheckChartThread(*this, "Print");
    d->FExporter->Print(printer, layout);
}

void TCustomKurvo::PaintTo(QPainter& painter, bool printerPage)
{
    CheckChartThread(*this, "PaintTo");
    d->FExporter->PaintTo(painter, printerPage);
}

QSize TCustomKurvo::SmallestSize() const
{
    // As SetBounds limits the size.
    return {d->FMarginLeft + d->FMarginRight + d->FShadowWidth + 80, d->FMarginTop + d->FMarginBottom + d->FShadowWidth + 20};
}

QSize TCustomKurvo::sizeHint() const { return SmallestSize().expandedTo(QSize(400, 300)); }

QSize TCustomKurvo::minimumSizeHint() const { return SmallestSize(); }

}  // namespace kurvo
