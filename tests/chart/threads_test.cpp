// Charts and threads: charts that are not shown are filled and exported in
// worker threads side by side; a chart on the screen used from another
// thread stops a debug build with the name of the call.
#include "chart/Qorn_kurvo.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>

using namespace kurvo;

namespace {

void Fill(TKurvo& chart, int seed)
{
    chart.SetCaption("worker " + std::to_string(seed));
    chart.Scale1Y()->SetRangeLow(-1.5);
    chart.Scale1Y()->SetRangeHigh(1.5);
    chart.Text(0.5, 1.2, "a text of more than seventeen bytes");
    chart.MoveTo(0.0, 0.0);
    for (int i = 1; i <= 20000; ++i) chart.DrawTo(i / 20000.0, std::sin(i * 0.001 * seed));
}

}  // namespace

// Two charts, made on the GUI thread, each filled and exported in a worker
// of its own at the same time: every picture is the one the GUI thread
// makes of an equal chart, and every file is complete.
TEST(ChartThreads, ChartsThatAreNotShownExportSideBySideInWorkers)
{
    QTemporaryDir dir;
    TKurvo charts[2];
    QImage pictures[2];
    std::string failures[2];
    auto work = [&](int k) {
        try {
            Fill(charts[k], k + 1);
            const std::string base = dir.filePath("w" + QString::number(k)).toStdString();
            for (int round = 0; round < 3; ++round) {
                pictures[k] = charts[k].ToImage(0, 0, 1.5);
                charts[k].SaveToImage(base + ".png");
                charts[k].SaveToPdf(base + ".pdf");
                charts[k].SaveToSvg(base + ".svg");
            }
        } catch (const std::exception& e) {
            failures[k] = e.what();
        }
    };
    std::thread first(work, 0);
    std::thread second(work, 1);
    first.join();
    second.join();
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(failures[k], "");
        TKurvo reference;
        Fill(reference, k + 1);
        EXPECT_EQ(pictures[k], reference.ToImage(0, 0, 1.5));
        for (const char* extension : {".png", ".pdf", ".svg"})
            EXPECT_GT(QFile(dir.filePath("w" + QString::number(k) + extension)).size(), 1000) << extension;
    }
}

// Debug builds only: the check is left out of optimised builds.
TEST(ChartThreadsDeathTest, AShownChartUsedFromAnotherThreadStopsWithTheCallsName)
{
#ifdef NDEBUG
    GTEST_SKIP() << "the thread check runs in debug builds";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto offThread = [](void (*call)(TKurvo&)) {
        QWidget window;
        auto* chart = new TKurvo(&window);
        window.show();
        QCoreApplication::processEvents();
        std::thread worker([&] { call(*chart); });
        worker.join();
    };
    EXPECT_DEATH(offThread([](TKurvo& c) { c.DrawTo(1.0, 1.0); }), "DrawTo was called on a chart that is shown");
    EXPECT_DEATH(offThread([](TKurvo& c) { c.SaveToPdf(std::string("/nonexistent/c.pdf")); }), "SaveToPdf");
    EXPECT_DEATH(offThread([](TKurvo& c) { c.SetCaption("x"); }), "Paint");
#endif
}
