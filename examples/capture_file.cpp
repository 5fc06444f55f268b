// A capture file larger than memory, drawn without reading it whole: the
// program writes a raw recording of two interleaved 16-bit channels, then
// opens each channel with OpenSampleFile. The chart builds its per-column
// structures in the background; the progress bar follows OnLineViewProgress
// and the chart shows what is ready meanwhile.
//
//     kurvo-example-capture_file [--samples N] [--file PATH]
//
// N samples per channel (default 2,000,000: 8 MB; 500,000,000 writes 2 GB).
#include "example_app.h"

#include <kurvo/kurvo.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 100'000.0;  // samples per second per channel
constexpr double kVoltsPerCount = 5.0 / 32768.0;

// Writes n samples per channel in blocks, so that any size fits in memory.
bool WriteCapture(const QString& path, long long n)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    std::vector<std::int16_t> block(2 * 65536);
    std::uint32_t noise = 12345;
    for (long long from = 0; from < n; from += 65536) {
        const long long m = std::min<long long>(65536, n - from);
        for (long long i = 0; i < m; ++i) {
            const double t = static_cast<double>(from + i) / kRate;
            noise = noise * 1664525u + 1013904223u;
            const double jitter = static_cast<double>(noise >> 20) / 4096.0 - 0.5;
            // A slow drift with bursts, and a square wave from a second probe.
            const double a = 2.0 * std::sin(0.7 * t) + (std::fmod(t, 3.0) < 0.2 ? 1.5 * std::sin(900.0 * t) : 0.0);
            const double b = (std::fmod(t, 2.0) < 1.0 ? -3.0 : -1.5) + 0.1 * jitter;
            block[static_cast<std::size_t>(2 * i)] = static_cast<std::int16_t>((a + 0.2 * jitter) / kVoltsPerCount);
            block[static_cast<std::size_t>(2 * i + 1)] = static_cast<std::int16_t>(b / kVoltsPerCount);
        }
        const qint64 bytes = static_cast<qint64>(m) * 4;
        if (file.write(reinterpret_cast<const char*>(block.data()), bytes) != bytes) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    kurvo::examples::TExampleApp app(argc, argv);
    long long samples = 2'000'000;
    QString path = QDir::temp().filePath("kurvo-capture.raw");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--samples") == 0) samples = std::max(2LL, std::atoll(argv[i + 1]));
        if (std::strcmp(argv[i], "--file") == 0) path = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (!WriteCapture(path, samples)) {
        std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
        return 1;
    }

    QWidget window;
    window.setWindowTitle("Kurvo: a capture file drawn in place");
    window.resize(720, 460);
    auto* layout = new QVBoxLayout(&window);
    auto* chart = new kurvo::TKurvo;
    chart->ApplyTheme(kurvo::ktLight);
    auto* progress = new QProgressBar;
    layout->addWidget(chart, 1);
    layout->addWidget(progress);

    const double seconds = static_cast<double>(samples) / kRate;
    chart->SetCaption(QString("%1 samples per channel from %2").arg(samples).arg(QFileInfo(path).fileName()).toStdString());
    chart->Scale1X()->SetCaption("s");
    chart->Scale1Y()->SetCaption("V");
    chart->SetGridStyle(kurvo::gsDotLines);
    chart->SetLayerRanges(1, false, 0.0, -5.0, seconds, 5.0, false);

    // One view per channel; the layout tells the chart how the file is made.
    kurvo::TSampleFileLayout capture;
    capture.Type = kurvo::stInt16;
    capture.Channels = 2;
    capture.XStep = 1.0 / kRate;
    capture.Scale = kVoltsPerCount;
    int ready = 0;
    progress->setRange(0, 2 * 1000);
    std::int64_t done[2] = {0, 0};
    chart->OnLineViewProgress = [&](kurvo::TObject*, int view, std::int64_t points, std::int64_t total) {
        done[view % 2] = 1000 * points / total;
        progress->setValue(static_cast<int>(done[0] + done[1]));
        if (points == total) ++ready;
    };
    chart->OnLineViewError = [&](kurvo::TObject*, int, const QString& message) {
        progress->setFormat(message);
    };
    try {
        chart->SetDataColor(kurvo::clBlue);
        capture.Channel = 0;
        chart->OpenSampleFile(path, capture);
        chart->SetDataColor(kurvo::clRed);
        capture.Channel = 1;
        chart->OpenSampleFile(path, capture);
    } catch (const kurvo::EQornKurvoError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    // Off-screen, the picture is taken once both channels are ready.
    while (app.Offscreen() && ready < 2) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const int code = app.Run(window);
    QFile::remove(path);
    return code;
}
