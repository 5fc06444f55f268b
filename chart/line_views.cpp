// Line views: lines over samples the program keeps (its arrays, a mapped
// file), added, changed and removed here; drawn in render_views.cpp.
#include "chart/Qorn_kurvo.h"

#include "base/errors.h"
#include "chart/kurvo_private.h"
#include "chart/mapping_guard.h"
#include "chart/raise_event.h"

#include <QMetaObject>

#include <algorithm>
#include <cmath>
#include <new>

namespace kurvo {

namespace {

TLineView* FindView(const std::vector<std::unique_ptr<TLineView>>& views, int id)
{
    for (const auto& v : views)
        if (v->Id == id) return v.get();
    return nullptr;
}

void Check(bool ok, const char* message)
{
    if (!ok) throw EQornKurvoError(message);
}

void Validate(const TKurvoSampleView& view)
{
    Check(view.Stride() >= 1 && view.Stride() <= 1024 && view.Channel() >= 0 && view.Channel() < view.Stride(),
          "The channel of a line view must lie between 0 and its channel count - 1 (at most 1024 channels).");
    Check(view.Data() != nullptr || view.Samples() == 0, "A line view needs the address of its samples.");
    Check(std::isfinite(view.Scale()) && std::isfinite(view.Offset()),
          "The scale and offset of a line view must be finite.");
    const std::int64_t n = view.Count();
    if (!view.XValues().empty()) {
        Check(static_cast<std::int64_t>(view.XValues().size()) >= n, "A line view needs an X value for every point.");
    } else {
        Check(std::isfinite(view.XStart()) && std::isfinite(view.XStep()) &&
                  std::isfinite(view.XStart() + static_cast<double>(n) * view.XStep()),
              "The X start and step of a line view must be finite.");
    }
}

// Points the worker summarises between two looks at the file and the stop flag.
constexpr std::int64_t kWorkerChunk = std::int64_t{1} << 22;

// Runs on the chart's thread: the worker's report of view `id`.
void Report(TCustomKurvo* chart, int id, std::int64_t ready, std::int64_t total, const QString& error)
{
    TLineView* v = FindView(TCustomKurvoPrivate::Get(*chart).FLineViews, id);
    if (v == nullptr) return;  // removed meanwhile
    try {
        if (!error.isEmpty())
            RaiseEvent(chart->OnLineViewError, std::tuple(chart, id, error), *chart, &TCustomKurvo::lineViewFailed, id,
                       error);
        else
            RaiseEvent(chart->OnLineViewProgress, std::tuple(chart, id, ready, total), *chart,
                       &TCustomKurvo::lineViewProgress, id, static_cast<qint64>(ready), static_cast<qint64>(total));
        chart->RepaintIfAutoRedraw();
    } catch (...) {
        // Nothing escapes into the event loop; a handler's failure is its own.
    }
}

// The worker: the structures chunk by chunk, the file's size looked at
// before each chunk is read, progress at every whole per cent.
void Build(TCustomKurvo* chart, TLineView* v)
{
    TMappedSampleFile& file = *v->File;
    const std::int64_t total = v->View.Count();
    int lastPercent = -1;
    for (std::int64_t done = 0; done < total && !file.Stop;) {
        const std::int64_t to = std::min(total, done + kWorkerChunk);
        QString error;
        if (file.Shortened())
            error = QStringLiteral("The sample file %1 became shorter while it was shown.").arg(file.File.fileName());
        {
            std::lock_guard<std::mutex> lock(v->Lock);
            if (error.isEmpty()) {
                try {
                    v->Extend(to);
                } catch (const std::bad_alloc&) {
                    error = QStringLiteral("Not enough memory for the sample file %1.").arg(file.File.fileName());
                }
            }
            if (!error.isEmpty()) v->Error = error;
        }
        if (!error.isEmpty()) {
            PostLineViewReport(chart, v->Id, done, total, error);
            return;
        }
        done = to;
        const int percent = static_cast<int>(100.0 * static_cast<double>(done) / static_cast<double>(total));
        if (percent != lastPercent || done == total) {
            lastPercent = percent;
            PostLineViewReport(chart, v->Id, done, total, QString());
        }
    }
}

}  // namespace

void PostLineViewReport(TCustomKurvo* chart, int id, std::int64_t ready, std::int64_t total, const QString& error)
{
    QMetaObject::invokeMethod(
        chart, [chart, id, ready, total, error] { Report(chart, id, ready, total, error); }, Qt::QueuedConnection);
}

int TCustomKurvo::AddLineView(std::span<const double> x, std::span<const double> y)
{
    Check(x.size() == y.size(), "The X and Y arrays of a line view must be equally long.");
    return AddLineView(TKurvoSampleView(y).SetXValues(x));
}

int TCustomKurvo::AddLineView(const TKurvoSampleView& view)
{
    Validate(view);
    auto v = std::make_unique<TLineView>();
    v->View = view;
    v->Look = NewItem(ikLineTo, 0);
    v->Extend(view.Count());
    v->Id = d->FNextLineView++;
    d->FLineViews.push_back(std::move(v));
    RepaintIfAutoRedraw();
    return d->FLineViews.back()->Id;
}

void TCustomKurvo::DataChanged(int view)
{
    TLineView* v = FindView(d->FLineViews, view);
    if (v == nullptr || v->File) return;
    DataChanged(view, v->View, 0);
}

void TCustomKurvo::DataChanged(int view, const TKurvoSampleView& samples, std::int64_t from)
{
    TLineView* v = FindView(d->FLineViews, view);
    if (v == nullptr) return;
    if (v->File) throw EQornKurvoError("A view of a sample file cannot be changed; open the file again.");
    Validate(samples);
    v->View = samples;
    v->Forget(std::clamp<std::int64_t>(from, 0, samples.Count()));
    if (samples.Count() < v->Ready) v->Forget(0);
    v->Extend(samples.Count());
    v->Error.clear();
    RepaintIfAutoRedraw();
}

void TCustomKurvo::RemoveLineView(int view)
{
    auto& views = d->FLineViews;
    // The view is taken out first, so that a report of its worker arriving
    // later finds nothing; its destructor ends the worker.
    const auto it = std::find_if(views.begin(), views.end(), [view](const auto& v) { return v->Id == view; });
    if (it == views.end()) return;
    const std::unique_ptr<TLineView> gone = std::move(*it);
    views.erase(it);
    RepaintIfAutoRedraw();
}

std::vector<int> TCustomKurvo::LineViews() const
{
    std::vector<int> ids;
    for (const auto& v : d->FLineViews) ids.push_back(v->Id);
    return ids;
}

std::int64_t TCustomKurvo::LineViewReady(int view) const
{
    TLineView* v = FindView(d->FLineViews, view);
    if (v == nullptr) return -1;
    std::lock_guard<std::mutex> lock(v->Lock);
    return v->Ready;
}

QString TCustomKurvo::LineViewError(int view) const
{
    TLineView* v = FindView(d->FLineViews, view);
    if (v == nullptr) return {};
    std::lock_guard<std::mutex> lock(v->Lock);
    return v->Error;
}

std::int64_t TCustomKurvo::LineViewBytes() const
{
    std::int64_t bytes = 0;
    for (const auto& v : d->FLineViews) {
        std::lock_guard<std::mutex> lock(v->Lock);
        bytes += v->MemoryBytes();
    }
    return bytes;
}

int TCustomKurvo::OpenSampleFile(const QString& path, const TSampleFileLayout& layout)
{
    const auto fail = [&path](const QString& why) {
        throw EQornKurvoError(QStringLiteral("Cannot show the sample file %1: %2").arg(path, why).toStdString());
    };
    if (layout.Channels < 1 || layout.Channels > 1024 || layout.Channel < 0 || layout.Channel >= layout.Channels)
        fail(QStringLiteral("the channel must lie between 0 and the channel count - 1 (at most 1024 channels)."));
    if (layout.HeaderBytes < 0) fail(QStringLiteral("the header cannot be shorter than 0 bytes."));
    auto file = std::make_unique<TMappedSampleFile>();
    file->File.setFileName(path);
    if (!file->File.open(QIODevice::ReadOnly)) fail(file->File.errorString() + QLatin1Char('.'));
    const std::int64_t bytes = file->BytesNow();
    if (bytes < layout.HeaderBytes) fail(QStringLiteral("it is shorter than its header."));
    const std::int64_t pointBytes = std::int64_t{SampleSize(layout.Type)} * layout.Channels;
    const std::int64_t body = bytes - layout.HeaderBytes;
    if (body % pointBytes != 0)
        fail(QStringLiteral("its %1 bytes of samples are not a whole number of points of %2 bytes (the file may be "
                            "truncated, or the sample type or channel count wrong).")
                 .arg(body)
                 .arg(pointBytes));
    if (bytes > 0) {
        file->Map = file->File.map(0, bytes);
        if (file->Map == nullptr) fail(file->File.errorString() + QLatin1Char('.'));
        file->MapBytes = bytes;
        // A read racing with another program cutting the file reads zeros
        // instead of faulting; the size checks then stop the view.
        GuardMapping(file->Map, static_cast<std::size_t>(bytes));
    }
    TKurvoSampleView view(layout.Type, file->Map == nullptr ? nullptr : file->Map + layout.HeaderBytes,
                          body / SampleSize(layout.Type), layout.XStart, layout.XStep);
    view.SetScale(layout.Scale, layout.Offset).SetChannel(layout.Channel, layout.Channels);
    // Samples of a type wider than a byte must be aligned to be read in place.
    if (reinterpret_cast<std::uintptr_t>(view.Data()) % static_cast<std::uintptr_t>(SampleSize(layout.Type)) != 0)
        fail(QStringLiteral("the header length is not a multiple of the sample size."));
    Validate(view);
    auto v = std::make_unique<TLineView>();
    v->View = view;
    v->Look = NewItem(ikLineTo, 0);
    v->File = std::move(file);
    v->Id = d->FNextLineView++;
    TLineView* raw = v.get();
    d->FLineViews.push_back(std::move(v));
    raw->File->Worker = std::thread(Build, this, raw);
    RepaintIfAutoRedraw();
    return raw->Id;
}

}  // namespace kurvo
