// Line views: lines over samples the program keeps (arrays of four sample
// types, interleaved channels, mapped files) give the picture of the same
// points drawn one by one from the data list, follow changes of the data,
// and refuse input they cannot read with a clear error.
#include "render_test_support.h"

#include "base/errors.h"
#include "chart/mapping_guard.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

namespace {

// Samples of one type and what the chart should read from them.
struct Samples {
    std::vector<double> d;
    std::vector<float> f;
    std::vector<std::int16_t> s;
    std::vector<std::int32_t> l;
    TKurvoSampleView view;
};

// n points of a noisy sine (NaN every ~2000 points where the type has one)
// as samples of `type`, channel 1 of `channels`, scaled to about -4 ... 4.
void Fill(Samples& out, TSampleType type, std::int64_t n, int channels, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int channel = channels - 1;
    const std::size_t total = static_cast<std::size_t>(n * channels);
    const double scale = type == stDouble || type == stFloat ? 1.0 : 4.0 / 30000.0;
    for (std::int64_t i = 0; i < n * channels; ++i) {
        double v = 3.5 * std::sin(0.002 * static_cast<double>(i / channels)) + 0.5 * unit(random);
        if (i > channels && unit(random) < 0.0005) v = std::numeric_limits<double>::quiet_NaN();
        switch (type) {
        case stDouble: out.d.resize(total), out.d[static_cast<std::size_t>(i)] = v; break;
        case stFloat: out.f.resize(total), out.f[static_cast<std::size_t>(i)] = static_cast<float>(v); break;
        case stInt16: out.s.resize(total), out.s[static_cast<std::size_t>(i)] = std::isnan(v) ? 0 : static_cast<std::int16_t>(v / scale); break;
        case stInt32: out.l.resize(total), out.l[static_cast<std::size_t>(i)] = std::isnan(v) ? 7 : static_cast<std::int32_t>(v / scale * 1000.0); break;
        }
    }
    const double xStep = 100.0 / static_cast<double>(n);
    switch (type) {
    case stDouble: out.view = TKurvoSampleView(std::span<const double>(out.d), 0.0, xStep); break;
    case stFloat: out.view = TKurvoSampleView(std::span<const float>(out.f), 0.0, xStep); break;
    case stInt16: out.view = TKurvoSampleView(std::span<const std::int16_t>(out.s), 0.0, xStep); break;
    case stInt32: out.view = TKurvoSampleView(std::span<const std::int32_t>(out.l), 0.0, xStep); break;
    }
    out.view.SetScale(type == stInt32 ? scale / 1000.0 : scale, type == stDouble ? 0.0 : 0.25);
    out.view.SetChannel(channel, channels);
}

std::unique_ptr<TKurvo> Chart()
{
    auto chart = std::make_unique<TKurvo>();
    DemoGeometry(*chart);
    chart->SetChartColor(clWhite);
    chart->SetDataColor(clBlack);
    chart->SetAllocSize(1000000);
    return chart;
}

// The reference: the view's points in the data list, a move to the first
// and a line to each further one.
std::unique_ptr<TKurvo> PointByPoint(const TKurvoSampleView& view)
{
    auto chart = Chart();
    std::vector<double> x, y;
    for (std::int64_t i = 0; i < view.Count(); ++i) {
        x.push_back(view.X(i));
        y.push_back(view.Y(i));
    }
    chart->MoveTo(x[0], y[0]);
    chart->AppendLinePoints(x.data() + 1, y.data() + 1, view.Count() - 1);
    chart->SetLineRunReduction(false);
    return chart;
}

QImage DataPicture(TCustomKurvo& chart, double xLow, double xHigh, bool logY = false, double ratio = 1.0)
{
    chart.Scale1Y()->SetLogarithmic(false);
    chart.Scale1X()->SetRangeLow(xLow);
    chart.Scale1X()->SetRangeHigh(xHigh);
    chart.Scale1Y()->SetRangeLow(logY ? 0.1 : -5);
    chart.Scale1Y()->SetRangeHigh(5);
    chart.Scale1Y()->SetLogarithmic(logY);
    chart.CalcTransforms();
    TBitmap bitmap(378, 362);
    bitmap.SetDevicePixelRatio(ratio);
    chart.RenderData(bitmap.Canvas(), 0, 0, false, true);
    return bitmap.Image().copy();
}

std::int64_t Differing(const QImage& a, const QImage& b)
{
    std::int64_t n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

struct Range {
    const char* name;
    double low, high;
    bool logY;
    double ratio;
};
const Range kRanges[] = {
    {"whole", 0, 100, false, 1.0},     {"panned", 1.3, 101.3, false, 1.0},  {"zoomed", 31, 45.3, false, 1.0},
    {"few points", 50, 50.05, false, 1.0}, {"reversed", 97, -2, false, 1.0}, {"logarithmic Y", 0, 100, true, 1.0},
    {"ratio 1.5", 0, 100, false, 1.5},  {"ratio 2", 13, 60, false, 2.0},
};

// Serves the chart's events until `done`; the bound (a minute) only ends
// the wait for a broken worker.
template <class F>
bool WaitFor(F done)
{
    for (int k = 0; k < 60000 && !done(); ++k) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

void WriteFile(const QString& path, const void* data, std::int64_t bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(static_cast<const char*>(data), bytes), bytes);
}

}  // namespace

TEST(LineViews, PictureEqualsThePointByPointPictureForEverySampleType)
{
    struct Case {
        const char* name;
        TSampleType type;
        int channels;
        bool xArray;
    };
    const Case cases[] = {
        {"doubles, X array", stDouble, 1, true}, {"doubles, even X", stDouble, 1, false},
        {"floats", stFloat, 1, false},           {"int16, 3 channels", stInt16, 3, false},
        {"int32", stInt32, 1, false},            {"int16", stInt16, 1, false},
    };
    for (const std::int64_t n : {std::int64_t{3'000}, std::int64_t{200'000}})
        for (const Case& c : cases) {
            Samples s;
            Fill(s, c.type, n, c.channels, 99u + static_cast<std::uint64_t>(n));
            std::vector<double> x;
            if (c.xArray) {
                for (std::int64_t i = 0; i < n; ++i) x.push_back(s.view.X(i));
                s.view.SetXValues(x);
            }
            auto viewed = Chart();
            const int id = c.xArray ? viewed->AddLineView(x, s.d) : viewed->AddLineView(s.view);
            auto reference = PointByPoint(s.view);
            EXPECT_EQ(viewed->DataCount(), 0) << "a view is not copied into the data list";
            // Structures of at most 5 % of the samples' bytes.
            EXPECT_LE(viewed->LineViewBytes(), n * SampleSize(c.type) * c.channels / 20 + 4096) << c.name;
            EXPECT_EQ(viewed->LineViewReady(id), n);
            for (const Range& r : kRanges) {
                const QImage expected = DataPicture(*reference, r.low, r.high, r.logY, r.ratio);
                EXPECT_EQ(Differing(DataPicture(*viewed, r.low, r.high, r.logY, r.ratio), expected), 0)
                    << c.name << ", " << n << " points, " << r.name;
            }
        }
}

TEST(LineViews, ChangedDataIsDrawnAsAFreshViewWouldDrawIt)
{
    Samples s;
    Fill(s, stDouble, 60'000, 1, 7);
    std::vector<double> y(s.d.begin(), s.d.begin() + 30'000);
    auto chart = Chart();
    chart->SetDataColor(clRed);
    const int id = chart->AddLineView(TKurvoSampleView(std::span<const double>(y), 0.0, 100.0 / 60'000));
    const auto check = [&](const char* what) {
        auto fresh = Chart();
        fresh->SetDataColor(clRed);
        fresh->AddLineView(TKurvoSampleView(std::span<const double>(y), 0.0, 100.0 / 60'000));
        for (const Range& r : kRanges)
            EXPECT_EQ(Differing(DataPicture(*chart, r.low, r.high), DataPicture(*fresh, r.low, r.high)), 0)
                << what << ", " << r.name;
    };
    // Appended (the vector moves): the structures grow from the old end.
    y.insert(y.end(), s.d.begin() + 30'000, s.d.end());
    chart->DataChanged(id, TKurvoSampleView(std::span<const double>(y), 0.0, 100.0 / 60'000), 30'000);
    check("appended");
    // Changed in place, some to NaN: everything is rebuilt.
    for (std::size_t i = 0; i < y.size(); i += 7) y[i] = i % 5 == 0 ? std::nan("") : -y[i];
    chart->DataChanged(id);
    check("changed in place");
    // Shortened, though `from` claims otherwise.
    y.resize(1'000);
    chart->DataChanged(id, TKurvoSampleView(std::span<const double>(y), 0.0, 100.0 / 60'000), 5'000);
    check("shortened");
    EXPECT_EQ(chart->LineViewReady(id), 1'000);

    chart->RemoveLineView(id);
    EXPECT_TRUE(chart->LineViews().empty());
    EXPECT_EQ(chart->LineViewReady(id), -1);
    chart->DataChanged(id);  // unknown: ignored
}

TEST(LineViews, ViewsThatCannotBeReadAreRefused)
{
    const std::vector<double> y(10, 1.0);
    const std::vector<double> shortX(9, 1.0);
    const std::vector<std::int16_t> s(12, 1);
    struct Case {
        const char* name;
        TKurvoSampleView view;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"no samples", TKurvoSampleView(stInt16, nullptr, 5, 0, 1)},
        {"channel beyond the stride", TKurvoSampleView(std::span<const std::int16_t>(s)).SetChannel(3, 3)},
        {"negative channel", TKurvoSampleView(std::span<const std::int16_t>(s)).SetChannel(-1, 2)},
        {"too many channels", TKurvoSampleView(std::span<const std::int16_t>(s)).SetChannel(0, 5000)},
        {"NaN scale", TKurvoSampleView(std::span<const double>(y)).SetScale(std::nan(""), 0)},
        {"infinite offset", TKurvoSampleView(std::span<const double>(y)).SetScale(1, inf)},
        {"too few X values", TKurvoSampleView(std::span<const double>(y)).SetXValues(shortX)},
        {"infinite step", TKurvoSampleView(std::span<const double>(y), 0, inf)},
        {"last X overflows", TKurvoSampleView(std::span<const double>(y), 0, 1e308)},
    };
    auto chart = Chart();
    for (const Case& c : cases) EXPECT_THROW(chart->AddLineView(c.view), EQornKurvoError) << c.name;
    EXPECT_THROW(chart->AddLineView(shortX, y), EQornKurvoError);
    EXPECT_TRUE(chart->LineViews().empty());
    // An empty view is no error and draws nothing.
    EXPECT_NO_THROW(chart->AddLineView(TKurvoSampleView()));
    EXPECT_EQ(Differing(DataPicture(*chart, 0, 100), DataPicture(*Chart(), 0, 100)), 0);
}

TEST(LineViews, SampleFilesGiveThePictureOfTheSameSamplesInMemory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Samples s;
    Fill(s, stInt16, 300'000, 2, 3);
    // An 8-byte header before the samples.
    std::vector<std::int16_t> bytes(4, 0x5A5A);
    bytes.insert(bytes.end(), s.s.begin(), s.s.end());
    const QString path = dir.filePath("capture.raw");
    WriteFile(path, bytes.data(), static_cast<std::int64_t>(bytes.size() * 2));

    TSampleFileLayout layout;
    layout.Type = stInt16;
    layout.Channels = 2;
    layout.Channel = 1;
    layout.HeaderBytes = 8;
    layout.XStep = s.view.XStep();
    layout.Scale = s.view.Scale();
    layout.Offset = s.view.Offset();
    auto chart = Chart();
    std::vector<std::int64_t> reports;
    chart->OnLineViewProgress = [&](TObject*, int, std::int64_t ready, std::int64_t total) {
        EXPECT_EQ(total, 300'000);
        reports.push_back(ready);
    };
    QSignalSpy signal(chart.get(), &TCustomKurvo::lineViewProgress);
    const int id = chart->OpenSampleFile(path, layout);
    ASSERT_TRUE(WaitFor([&] { return !reports.empty() && reports.back() == 300'000; }));
    EXPECT_EQ(chart->LineViewReady(id), 300'000);
    ASSERT_EQ(signal.count(), static_cast<int>(reports.size())) << "the Qt signal beside every event";
    EXPECT_EQ(signal.last().at(0).toInt(), id);
    EXPECT_EQ(signal.last().at(1).toLongLong(), 300'000);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));

    auto memory = Chart();
    memory->AddLineView(s.view);
    for (const Range& r : kRanges)
        EXPECT_EQ(Differing(DataPicture(*chart, r.low, r.high, r.logY, r.ratio),
                            DataPicture(*memory, r.low, r.high, r.logY, r.ratio)),
                  0)
            << r.name;

    // Removed under its name: the open mapping still holds the samples.
    const QImage before = DataPicture(*chart, 0, 100);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(Differing(DataPicture(*chart, 0, 100), before), 0);
}

TEST(LineViews, ASampleFileThatShrinksIsNoLongerRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("shrinking.raw");
    std::vector<float> samples(100'000);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<float>(std::sin(0.01 * static_cast<double>(i)));
    WriteFile(path, samples.data(), static_cast<std::int64_t>(samples.size() * 4));
    TSampleFileLayout layout;
    layout.Type = stFloat;
    layout.XStep = 0.001;
    auto chart = Chart();
    std::vector<std::string> errors;
    chart->OnLineViewError = [&](TObject*, int, const QString& message) { errors.push_back(message.toStdString()); };
    const int id = chart->OpenSampleFile(path, layout);
    ASSERT_TRUE(WaitFor([&] { return chart->LineViewReady(id) == 100'000; }));
    const QImage blank = DataPicture(*Chart(), 0, 100);
    EXPECT_GT(Differing(DataPicture(*chart, 0, 100), blank), 0);

    QFile(path).resize(4096);  // the mapping's last pages now lie past the end
    EXPECT_EQ(Differing(DataPicture(*chart, 0, 100), blank), 0) << "nothing of the file is drawn any more";
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("became shorter"), std::string::npos) << errors[0];
    EXPECT_FALSE(chart->LineViewError(id).isEmpty());
}

#ifdef __linux__
// A read of a guarded mapping past the end of a file that was cut meanwhile
// reads zeros instead of faulting; once the guard ends, the fault goes to
// whoever handled it before.
TEST(LineViews, ReadsOfACutFileReadZerosWhileTheMappingIsGuarded)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.raw");
    const std::vector<char> bytes(3 * 65536, 'k');
    WriteFile(path, bytes.data(), static_cast<std::int64_t>(bytes.size()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    uchar* map = file.map(0, file.size());
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(GuardMapping(map, bytes.size()));
    ASSERT_TRUE(QFile(path).resize(1000));
    const volatile uchar* read = map;
    EXPECT_EQ(read[bytes.size() - 1], 0) << "the last page, gone from the file";
    EXPECT_EQ(read[10], 'k') << "a page still in the file";
    EXPECT_TRUE(MappingLostPages(map));

    UnguardMapping(map);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The handler before ours ends the process (the system by SIGBUS, a sanitizer by abort).
    EXPECT_DEATH((void)read[2 * 65536 - 1], "");
    file.unmap(map);
}
#endif

TEST(LineViews, FilesThatCannotBeShownAreRefusedWithTheReason)
{
    QTemporaryDir dir;
    const std::vector<std::int16_t> samples(1001, 5);
    const QString odd = dir.filePath("odd.raw");
    WriteFile(odd, samples.data(), 2001);  // half a sample at the end
    const QString whole = dir.filePath("whole.raw");
    WriteFile(whole, samples.data(), 2002);
    struct Case {
        const char* name;
        QString path;
        TSampleFileLayout layout;
        const char* reason;
    };
    const auto layout = [](TSampleType type, int channels, int channel, std::int64_t header) {
        TSampleFileLayout l;
        l.Type = type;
        l.Channels = channels;
        l.Channel = channel;
        l.HeaderBytes = header;
        return l;
    };
    const Case cases[] = {
        {"missing", dir.filePath("none.raw"), layout(stInt16, 1, 0, 0), "none.raw"},
        {"truncated sample", odd, layout(stInt16, 1, 0, 0), "not a whole number of points"},
        {"channels do not divide", whole, layout(stInt16, 2, 0, 0), "not a whole number of points"},
        {"wrong type", whole, layout(stDouble, 1, 0, 0), "not a whole number of points"},
        {"header beyond the end", whole, layout(stInt16, 1, 0, 4000), "shorter than its header"},
        {"misaligned header", whole, layout(stInt16, 1, 0, 1), "not a whole number"},
        {"channel outside", whole, layout(stInt16, 2, 2, 0), "channel"},
        {"negative header", whole, layout(stInt16, 1, 0, -2), "header"},
    };
    auto chart = Chart();
    for (const Case& c : cases) {
        try {
            chart->OpenSampleFile(c.path, c.layout);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const EQornKurvoError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.name << ": " << e.what();
        }
    }
    EXPECT_TRUE(chart->LineViews().empty());
}

TEST(LineViews, AChartDestroyedOrAViewRemovedWhileAFileIsReadLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.raw");
    const std::vector<std::int16_t> samples(8'000'000, 3);
    WriteFile(path, samples.data(), static_cast<std::int64_t>(samples.size() * 2));
    TSampleFileLayout layout;
    for (int round = 0; round < 3; ++round) {
        auto chart = Chart();
        int reports = 0;
        chart->OnLineViewProgress = [&](TObject*, int, std::int64_t, std::int64_t) { ++reports; };
        const int id = chart->OpenSampleFile(path, layout);
        if (round == 1) chart->RemoveLineView(id);
        if (round == 2) chart->OpenSampleFile(path, layout);
        chart.reset();  // ends the workers; their reports die with the chart
        QCoreApplication::processEvents();
        EXPECT_EQ(reports, 0);
    }
}

// Views belong to the chart's data: ClearData takes them away, Assign copies
// them (over the same memory, the same file), charts showing another's data
// show its views and keep copies when they leave or the owner goes; every
// chart of a share repaints when a view goes.
TEST(LineViews, ViewsGoWithTheDataUnderClearDataAssignAndSharing)
{
    QTemporaryDir dir;
    Samples s;
    Fill(s, stInt16, 20'000, 1, 8);
    const QString path = dir.filePath("shared.raw");
    WriteFile(path, s.s.data(), static_cast<std::int64_t>(s.s.size() * 2));
    TSampleFileLayout layout;
    layout.XStep = s.view.XStep();
    layout.Scale = s.view.Scale();
    layout.Offset = s.view.Offset();
    // Steps on charts a (holding the view) and b: C a clears, K a clears
    // and frees, c b clears, A b.Assign(a), X a is destroyed, S b uses a's
    // data, L b leaves, J a uses b's data, R a removes the view.
    const struct {
        const char* name;
        bool file;
        const char* steps;
        char shown;  // the chart looked at
        bool drawn;  // whether it shows the view's line
    } cases[] = {
        {"cleared", false, "C", 'a', false},
        {"assigned, source destroyed", false, "AX", 'b', true},
        {"assigned, source cleared", false, "AK", 'b', true},
        {"shown by a sharer", false, "S", 'b', true},
        {"sharer left, owner cleared", false, "SLC", 'b', true},
        {"owner destroyed", false, "SX", 'b', true},
        {"removed by the owner", false, "SR", 'b', false},
        {"cleared by a sharer", false, "Sc", 'a', false},
        {"chart joins another's data", false, "J", 'a', false},
        {"file cleared", true, "C", 'a', false},
        {"file assigned, source destroyed", true, "AX", 'b', true},
        {"file shown by a sharer", true, "S", 'b', true},
        {"file kept by a sharer whose owner went", true, "SX", 'b', true},
    };
    const QImage line = DataPicture(*PointByPoint(s.view), 0, 100);
    const QImage blank = DataPicture(*Chart(), 0, 100);
    for (const auto& c : cases) {
        auto a = Chart();
        auto b = Chart();
        for (TKurvo* chart : {a.get(), b.get()}) {
            chart->SetAutoRedraw(true);
            chart->SetPaintSuspended(false);
        }
        if (c.file) {
            const int id = a->OpenSampleFile(path, layout);
            ASSERT_TRUE(WaitFor([&] { return a->LineViewReady(id) == s.view.Count(); })) << c.name;
        } else {
            a->AddLineView(s.view);
        }
        int painted = 0;
        b->OnDataRendered = [&](TObject*, TCanvas&, int, int) { ++painted; };
        for (const char step : std::string(c.steps)) {
            switch (step) {
            case 'C': a->ClearData(); break;
            case 'K': a->ClearData(true); break;
            case 'c': b->ClearData(); break;
            case 'A': b->Assign(*a); break;
            case 'X': a.reset(); break;
            case 'S': b->SetUseDataOf(a.get()); break;
            case 'L': b->SetUseDataOf(nullptr); break;
            case 'J': a->SetUseDataOf(b.get()); break;
            default:
                painted = 0;
                a->RemoveLineView(a->LineViews().at(0));
                EXPECT_EQ(painted, 1) << c.name << ": the sharer repaints";
            }
        }
        TCustomKurvo* shown = c.shown == 'a' ? a.get() : b.get();
        if (c.file && c.drawn)
            ASSERT_TRUE(WaitFor([&] {
                QCoreApplication::processEvents();
                return !shown->LineViews().empty() && shown->LineViewReady(shown->LineViews()[0]) == s.view.Count();
            })) << c.name;
        EXPECT_EQ(shown->LineViews().size(), c.drawn ? 1u : 0u) << c.name;
        EXPECT_EQ(Differing(DataPicture(*shown, 0, 100), c.drawn ? line : blank), 0) << c.name;
    }
}

// The min/max structure with coarse blocks at its base answers as a scan does.
TEST(LineViews, CoarseMinMaxStructureAnswersAsAScan)
{
    std::mt19937_64 random(5);
    std::vector<double> v(70'000);
    for (double& x : v) x = std::uniform_real_distribution<double>(-1, 1)(random);
    const TPlainValues values{v.data(), static_cast<std::int64_t>(v.size())};
    for (const int base : {1, 4, 8, 12}) {
        TMinMaxPyramid pyramid(base);
        pyramid.Extend(TPlainValues{v.data(), 30'000});  // grown in two steps
        pyramid.Extend(values);
        for (int k = 0; k < 400; ++k) {
            std::int64_t a = static_cast<std::int64_t>(random() % v.size());
            std::int64_t b = static_cast<std::int64_t>(random() % v.size());
            if (a > b) std::swap(a, b);
            ++b;
            double lo, hi;
            pyramid.Query(values, a, b, lo, hi);
            EXPECT_EQ(lo, *std::min_element(v.begin() + a, v.begin() + b)) << base << ' ' << a << ' ' << b;
            EXPECT_EQ(hi, *std::max_element(v.begin() + a, v.begin() + b)) << base << ' ' << a << ' ' << b;
            const double limit = 0.999;
            std::int64_t expected = a - 1;
            for (std::int64_t i = b - 1; i >= a; --i)
                if (std::abs(v[static_cast<std::size_t>(i)]) > limit) {
                    expected = i;
                    break;
                }
            EXPECT_EQ(pyramid.LastOutside(values, a, b,
                                          [&](double l, double h) { return l >= -limit && h <= limit; }),
                      expected)
                << base << ' ' << a << ' ' << b;
        }
    }
}
