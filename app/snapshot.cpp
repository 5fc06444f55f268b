// kurvo-snapshot [--size WxH] [--ratio R] OUT: builds the demo's main window
// off-screen at WxH pixels (its design size by default), shows it as the demo
// does after start and saves its picture: OUT.png, .bmp or .jpg at device
// pixel ratio R (1 by default), OUT.pdf or OUT.svg as a vector page. The
// chart is drawn by its own output calls (ToImage, PaintTo), so it is sharp
// at every ratio and vector graphics in a PDF or SVG; the panel above it is
// rendered by Qt.
#include "app/form1.h"

#include <QApplication>
#include <QFrame>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

int Usage(const char* program)
{
    std::fprintf(stderr, "usage: %s [--size WxH] [--ratio R] OUT.png|.bmp|.jpg|.pdf|.svg\n", program);
    return 2;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    if (text.size() < end.size()) return false;
    std::string tail = text.substr(text.size() - end.size());
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == end;
}

bool ParseSize(const std::string& text, int& width, int& height)
{
    char x = 0;
    char rest = 0;
    return std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) == 3 && (x == 'x' || x == 'X');
}

bool ParseRatio(const std::string& text, double& ratio)
{
    char rest = 0;
    return std::sscanf(text.c_str(), "%lf%c", &ratio, &rest) == 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* program = argc > 0 ? argv[0] : "kurvo-snapshot";
    int width = 0;
    int height = 0;
    double ratio = 1.0;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            if (!ParseSize(argv[++i], width, height)) return Usage(program);
        } else if (arg == "--ratio" && i + 1 < argc) {
            if (!ParseRatio(argv[++i], ratio)) return Usage(program);
        } else if (out.empty() && !arg.empty() && arg[0] != '-') {
            out = arg;
        } else {
            return Usage(program);
        }
    }
    if (out.empty()) return Usage(program);
    if (width < 0 || height < 0 || width > 16384 || height > 16384) {
        std::fprintf(stderr, "kurvo-snapshot: --size must lie between 1x1 and 16384x16384\n");
        return 2;
    }

    // Off-screen unless the caller chose a platform: the picture then does
    // not depend on a display or a window manager.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    TForm1 form;
    form.show();
    // Let the show, layout and paint events run.
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    if (width > 0 && height > 0) {
        form.resize(width, height);
        QApplication::processEvents();
    }
    try {
        kurvo::TKurvo& chart = *form.Kurvo1();
        const QSize size = form.size();
        const QPoint chartAt = chart.geometry().topLeft();
        QFrame& panel = *form.Panel1();
        const auto drawPanel = [&](QPainter& painter) {
            painter.fillRect(QRect(QPoint(0, 0), size), form.palette().window());
            panel.render(&painter, panel.geometry().topLeft(), QRegion(),
                         QWidget::DrawWindowBackground | QWidget::DrawChildren);
        };
        if (EndsWith(out, ".pdf") || EndsWith(out, ".svg")) {
            QPdfWriter pdf(QString::fromLocal8Bit(out.c_str()));
            QSvgGenerator svg;
            QPaintDevice* device = &pdf;
            if (EndsWith(out, ".pdf")) {
                pdf.setResolution(kurvo::ScreenLogPixelsY());
                pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size) * 0.75, QPageSize::Point, QString(),
                                                        QPageSize::ExactMatch),
                                              QPageLayout::Portrait, QMarginsF()));
            } else {
                svg.setFileName(QString::fromLocal8Bit(out.c_str()));
                svg.setSize(size);
                svg.setViewBox(QRect(QPoint(0, 0), size));
                svg.setResolution(kurvo::ScreenLogPixelsY());
                device = &svg;
            }
            QPainter painter;
            if (!painter.begin(device)) throw kurvo::EQornKurvoError("Cannot write \"" + out + "\".");
            drawPanel(painter);
            painter.translate(chartAt);
            chart.PaintTo(painter, EndsWith(out, ".pdf"));
            if (!painter.end()) throw kurvo::EQornKurvoError("Cannot write \"" + out + "\".");
            return 0;
        }
        // The chart first: it checks the ratio before anything large is made.
        const QImage chartPicture = chart.ToImage(0, 0, ratio);
        QImage picture(static_cast<int>(std::lround(size.width() * ratio)),
                       static_cast<int>(std::lround(size.height() * ratio)), QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
        {
            QPainter painter(&picture);
            drawPanel(painter);
            painter.drawImage(chartAt, chartPicture);
        }
        picture.setDotsPerMeterX(chartPicture.dotsPerMeterX());
        picture.setDotsPerMeterY(chartPicture.dotsPerMeterY());
        QImageWriter writer(QString::fromLocal8Bit(out.c_str()));
        if (!writer.write(picture))
            throw kurvo::EQornKurvoError("Cannot write \"" + out + "\": " + writer.errorString().toStdString() + ".");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kurvo-snapshot: %s\n", e.what());
        return 1;
    }
    return 0;
}
