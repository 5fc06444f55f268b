// Pictures of a chart for files and printers: raster images at any size and
// device pixel ratio, PDF and SVG pages, printed pages.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../canvas/Qorn_canvas.h"

#include <string>

class QImage;
class QPainter;
class QPrinter;

namespace kurvo {

class TCustomKurvo;

/// Limits of an exported picture, in logical and in device pixels alike: the
/// limits of every bitmap (a side of 16384 pixels, 4096 x 4096 pixels in
/// all), so that an export never asks for a picture no bitmap could hold.
constexpr int MaxExportSide = MaxBitmapSide;
constexpr long long MaxExportPixels = MaxBitmapPixels;

/// Renders one chart; the chart's output calls forward here.
class KURVO_EXPORT TKurvoExporter {
public:
    /// The exporter of `chart`, which must outlive it.
    explicit TKurvoExporter(TCustomKurvo& chart) : FChart(chart) {}
    TKurvoExporter(const TKurvoExporter&) = delete;
    TKurvoExporter& operator=(const TKurvoExporter&) = delete;

    /// Raster picture of `width` x `height` logical pixels (0: the chart's own) at
    /// device pixel ratio `ratio`; see TCustomKurvo::ToImage() for limits and errors.
    QImage ToImage(int width, int height, double ratio);
    /// Saves ToImage() as PNG, BMP or JPEG, chosen by the extension of `path`.
    void SaveToImage(const std::string& path, int width, int height, double ratio);
    /// Saves one vector page of the chart's size, 96 chart pixels to the inch.
    void SaveToPdf(const std::string& path);
    /// Saves the chart as an SVG picture of the chart's size.
    void SaveToSvg(const std::string& path);
    /// Prints the chart onto the printable area of one page of `printer`.
    void Print(QPrinter& printer);
    /// Draws the chart at its size through the active `painter`, one unit per
    /// chart pixel; `printerPage` selects printer fonts and line forms of marks.
    void PaintTo(QPainter& painter, bool printerPage);

    /// Marks a composition of the picture in progress: an export started from
    /// one of its hooks would re-lay the chart out under the running paint.
    class TComposing {
    public:
        /// Marks the exporter as composing until the guard is destroyed.
        explicit TComposing(TKurvoExporter& exporter) : FExporter(exporter) { ++FExporter.FComposing; }
        ~TComposing() { --FExporter.FComposing; }
        TComposing(const TComposing&) = delete;
        TComposing& operator=(const TComposing&) = delete;

    private:
        TKurvoExporter& FExporter;
    };

private:
    class TRun;
    /// Raster export at a validated size.
    QImage Render(int width, int height, double ratio);

    TCustomKurvo& FChart;
    bool FBusy = false;
    int FComposing = 0;
};

}  // namespace kurvo
