// Charts created, shared, copied and destroyed in random orders: owners die
// before their sharers, copies of sharers join owners, and every survivor
// still draws and paints. Run under LeakSanitizer in CI; here the resident
// memory must stay flat from one round to the next. Line views over the
// program's memory and over a sample file (read by a worker meanwhile)
// travel with the data: copied, shared, cleared and removed at random.
//
//   KURVO_LIFETIME_SEED    seed (default 1)
//   KURVO_LIFETIME_CYCLES  create/share/destroy cycles (default 300)
#include "chart/Qorn_kurvo.h"
#include "robust_support.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdint>
#include <fstream>
#include <span>
#include <memory>
#include <vector>

namespace kurvo::robust {
namespace {

long ResidentMegabytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * 4096 / (1024 * 1024);
}

TEST(Lifetime, ChartsDieInAnyOrderWithoutLeaksOrDanglingPartners)
{
    const std::uint64_t seed = EnvNumber("KURVO_LIFETIME_SEED", 1);
    const int cycles = static_cast<int>(EnvNumber("KURVO_LIFETIME_CYCLES", 300));
    TExtremes x(seed);
    // The refusals of data sharing would open modal boxes.
    const TMessageHandler previous = SetInfoMessageHandler([](const std::string&) {});
    std::vector<std::unique_ptr<TKurvo>> charts;
    std::vector<double> samples(50'000);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<double>(i % 97) / 10.0;
    QTemporaryDir dir;
    const QString path = dir.filePath("lifetime.raw");
    {
        const std::vector<std::int16_t> counts(2'000'000, 5);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(counts.data()), static_cast<qint64>(counts.size() * 2));
    }
    long afterWarmUp = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        SCOPED_TRACE("KURVO_LIFETIME_SEED=" + std::to_string(seed) + " cycle " + std::to_string(cycle));
        auto pick = [&]() -> TKurvo& { return *charts[static_cast<std::size_t>(x.Below(static_cast<int>(charts.size())))]; };
        switch (charts.empty() ? 0 : x.Below(10)) {
        case 0:
            if (charts.size() < 8) {
                charts.push_back(std::make_unique<TKurvo>());
                charts.back()->SetBounds(0, 0, 120 + x.Below(100), 90 + x.Below(100));
                charts.back()->HandleNeeded();
            }
            break;
        case 1: pick().SetUseDataOf(&pick()); break;
        case 2: pick().SetUseDataOf(nullptr); break;
        case 3: pick().Assign(pick()); break;
        case 4: {
            // An owner (or anyone) goes first; its former sharers must paint.
            charts.erase(charts.begin() + x.Below(static_cast<int>(charts.size())));
            for (auto& c : charts) c->Paint();
            break;
        }
        case 5: {
            TKurvo& c = pick();
            const int n = 1 + x.Below(1500);
            for (int i = 0; i < n; ++i) c.DrawTo(i, i % 7);
            break;
        }
        case 6: pick().AddLineView(TKurvoSampleView(std::span<const double>(samples), 0.0, 0.01)); break;
        case 7: pick().OpenSampleFile(path, TSampleFileLayout{}); break;
        case 8: {
            TKurvo& c = pick();
            const std::vector<int> views = c.LineViews();
            if (x.Below(2) == 0 || views.empty())
                c.ClearData(x.Below(2) == 0);
            else
                c.RemoveLineView(views[static_cast<std::size_t>(x.Below(static_cast<int>(views.size())))]);
            break;
        }
        default:
            QCoreApplication::processEvents();  // the workers' reports
            pick().Paint();
            break;
        }
        for (auto& c : charts) {
            ASSERT_LE(c->DataCount(), c->DataList().Items->Allocated());
            if (TKurvo* owner = static_cast<TKurvo*>(c->UseDataOf())) {
                bool alive = false;
                for (auto& o : charts) alive = alive || o.get() == owner;
                ASSERT_TRUE(alive) << "a chart uses the data of a destroyed one";
                ASSERT_EQ(c->DataCount(), owner->DataCount());
                ASSERT_EQ(c->LineViews(), owner->LineViews()) << "a sharer shows its owner's views";
            }
        }
        if (cycle == cycles / 4) afterWarmUp = ResidentMegabytes();
    }
    charts.clear();
    SetInfoMessageHandler(previous);
    // Drawing grows lists, so compare with room for the largest lists alive.
    // AddressSanitizer keeps freed memory in quarantine (up to 256 MB), so
    // there the resident size says nothing and LeakSanitizer checks leaks.
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(ResidentMegabytes() - afterWarmUp, 64) << "memory kept growing";
#else
    (void)afterWarmUp;
#endif
}

// Charts shown, drawn to and destroyed by deleteLater from inside the event
// loop, as a program closes its views: the heap in use stays flat (a chart
// is about 100 KB; what Qt keeps of a top-level window is tens of bytes).
TEST(Lifetime, ChartsDestroyedByDeleteLaterLeaveNothingBehind)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator does not report the heap in use";
#else
    const int cycles = 600;
    const auto heapInUse = [] { return static_cast<long long>(mallinfo2().uordblks); };
    const bool quitOnClose = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    int cycle = 0;
    long long before = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (cycle == cycles / 4) before = heapInUse();
        if (++cycle > cycles) return QCoreApplication::exit();
        auto* chart = new TKurvo;
        chart->show();
        chart->MoveTo(0.0, 0.0);
        for (int i = 0; i < 500; ++i) chart->DrawTo(i, i % 7);
        chart->Paint();
        chart->deleteLater();
    });
    timer.start();
    QCoreApplication::exec();
    QApplication::setQuitOnLastWindowClosed(quitOnClose);
    const double perChart = static_cast<double>(heapInUse() - before) / (cycles - cycles / 4);
    EXPECT_LT(perChart, 200.0) << "bytes kept per chart";
#endif
}

}  // namespace
}  // namespace kurvo::robust
