// The chart's size is the widget's geometry, shown or not, whichever way the
// geometry is set; every picture and file of the chart takes that size, and
// the chart is laid out for it once.
#include "chart/Qorn_kurvo.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using namespace kurvo;

namespace {

// The first two numbers after `key` in the file, e.g. of "/MediaBox [0 0 w h]"
// or viewBox="0 0 w h": the size of the page or picture.
QSizeF SizeAfter(const QString& path, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromLatin1(file.readAll());
    const QRegularExpression re(QRegularExpression::escape(key) + R"(\s*"?\[?\s*0\s+0\s+([\d.]+)\s+([\d.]+))");
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) return {};
    return {m.captured(1).toDouble(), m.captured(2).toDouble()};
}

struct TRoute {
    const char* Name;
    // The chart is a child of a window (never shown unless the route shows it).
    bool InWindow;
    std::function<void(QWidget& window, TKurvo& chart)> Apply;
    QSize Expected;
};

void InLayout(QWidget& window, TKurvo& chart, bool show)
{
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&chart);
    window.resize(520, 410);
    // A window that is never shown lays itself out when asked to.
    layout->activate();
    if (show) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
}

}  // namespace

TEST(WidgetGeometry, EveryRouteGivesTheChartItsSizeInEveryOutput)
{
    const QSize size(520, 410);
    const std::vector<TRoute> routes = {
        {"resize, no parent", false, [](QWidget&, TKurvo& c) { c.resize(520, 410); }, size},
        {"resize in a window", true, [](QWidget&, TKurvo& c) { c.resize(520, 410); }, size},
        {"setGeometry", true, [](QWidget&, TKurvo& c) { c.setGeometry(7, 9, 520, 410); }, size},
        {"setFixedSize", true, [](QWidget&, TKurvo& c) { c.setFixedSize(520, 410); }, size},
        {"layout, never shown", true, [](QWidget& w, TKurvo& c) { InLayout(w, c, false); }, size},
        {"layout, shown", true, [](QWidget& w, TKurvo& c) { InLayout(w, c, true); }, size},
        {"SetBounds", true, [](QWidget&, TKurvo& c) { c.SetBounds(7, 9, 520, 410); }, size},
        // The chart keeps its smallest size (margins plus 80 x 20), and so
        // does the widget.
        {"resize below the smallest size", true, [](QWidget&, TKurvo& c) { c.resize(10, 10); }, QSize(150, 80)},
    };
    for (const TRoute& route : routes) {
        SCOPED_TRACE(route.Name);
        QWidget window;
        auto owned = std::make_unique<TKurvo>(route.InWindow ? &window : nullptr);
        TKurvo& chart = *owned;
        if (route.InWindow) owned.release();  // the window owns it
        chart.Scale1X()->SetRangeHigh(100);
        std::vector<std::string> log;
        chart.OnCanResize = [&](TObject*, int& w, int& h, bool&) {
            log.push_back("OnCanResize " + std::to_string(w) + "x" + std::to_string(h));
        };
        chart.OnResize = [&](TObject*) {
            // The axes and the transforms fit the new size when it is reported.
            int x = 0, y = 0;
            chart.WorldToPixel(1, 100, 0, x, y);
            log.push_back("OnResize " + std::to_string(x) + "," + std::to_string(y) + " axis " +
                          std::to_string(chart.AxisX(1)->Width()) + "x" + std::to_string(chart.AxisY(1)->Height()));
        };

        route.Apply(window, chart);
        const QSize expected = route.Expected;
        EXPECT_EQ(chart.Width(), expected.width());
        EXPECT_EQ(chart.Height(), expected.height());
        EXPECT_EQ(chart.size(), expected);
        EXPECT_EQ(chart.ToImage().size(), expected);
        QTemporaryDir dir;
        const QString png = dir.filePath("c.png");
        const QString pdf = dir.filePath("c.pdf");
        const QString svg = dir.filePath("c.svg");
        chart.SaveToImage(png.toStdString());
        chart.SaveToPdf(pdf.toStdString());
        chart.SaveToSvg(svg.toStdString());
        EXPECT_EQ(QImage(png).size(), expected);
        const double points = 72.0 / ScreenLogPixelsY();
        const QSizeF page = SizeAfter(pdf, "/MediaBox");
        EXPECT_NEAR(page.width(), expected.width() * points, 0.5);  // whole points
        EXPECT_NEAR(page.height(), expected.height() * points, 0.5);
        EXPECT_EQ(SizeAfter(svg, "viewBox="), QSizeF(expected));

        // Showing the window delivers what Qt held back; it is no change any more.
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(chart.size(), expected);
        const std::string corner = std::to_string(expected.width() - 20) + "," + std::to_string(expected.height() - 40);
        const std::string axes = std::to_string(expected.width()) + "x" + std::to_string(expected.height());
        EXPECT_EQ(log, (std::vector<std::string>{"OnCanResize " + axes, "OnResize " + corner + " axis " + axes}));
    }
}

TEST(WidgetGeometry, GrabOfANeverShownChartIsItsPicture)
{
    struct TGrab {
        const char* Name;
        bool InWindow;
        // What the grab shows of the chart.
        std::function<QImage(QWidget& window, TKurvo& chart)> Grab;
    };
    const QRect place(10, 20, 300, 200);
    const std::vector<TGrab> grabs = {
        {"the chart alone", false, [](QWidget&, TKurvo& c) { return c.grab().toImage(); }},
        {"the chart in a window", true, [](QWidget&, TKurvo& c) { return c.grab().toImage(); }},
        {"the window around it", true, [&](QWidget& w, TKurvo&) { return w.grab().toImage().copy(place); }},
    };
    for (const TGrab& grab : grabs) {
        SCOPED_TRACE(grab.Name);
        QWidget window;
        window.resize(400, 300);
        auto owned = std::make_unique<TKurvo>(grab.InWindow ? &window : nullptr);
        TKurvo& chart = *owned;
        if (grab.InWindow) owned.release();
        chart.setGeometry(place);
        chart.Scale1X()->SetRangeHigh(10);
        chart.SetDataColor(clRed);
        chart.MoveTo(0.0, 0.0);
        chart.DrawTo(10.0, 1.0);
        const auto same = [&](const char* when) {
            SCOPED_TRACE(when);
            const QImage shown = grab.Grab(window, chart).convertToFormat(QImage::Format_RGB32);
            EXPECT_EQ(shown, chart.ToImage().convertToFormat(QImage::Format_RGB32));
        };
        same("first grab");
        // Painting stays held until the window exists; a later grab shows later items.
        EXPECT_TRUE(chart.PaintSuspended());
        chart.SetDataColor(clBlue);
        chart.Line(0.0, 1.0, 10.0, 0.0);
        same("after more items");
    }
}
