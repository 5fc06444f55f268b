// Line views: lines over samples the program keeps (its arrays, a mapped
// file), added, changed and removed here, in the views of the chart's data
// (shared with the charts that show it); drawn in render_views.cpp.
#include "chart/Qorn_kurvo.h"

#include "base/errors.h"
#include "chart/kurvo_private.h"
#include "chart/line_view_set.h"
#include "chart/mapping_guard.h"
#include "chart/raise_event.h"

#include <QMetaObject>

#include <algorithm>
#include <cmath>
#include <new>

namespace kurvo {

namespace {

void Check(bool ok, const char* message)
{
    if (!ok) throw EQornKurvoError(message);
}

// Points the worker summarises between two looks at the file and the stop flag.
constexpr std::int64_t kWorkerChunk = std::int64_t{1} << 22;

// Runs on the thread of `chart`, a holder of `view`: the worker's report.
void Report(TCustomKurvo* chart, const TLineView* view, int id, std::int64_t ready, std::int64_t total,
            const QString& error)
{
    TCustomKurvoPrivate& d = TCustomKurvoPrivate::Get(*chart);
    if (!d.FLineViews.Holds(view, id)) return;  // removed meanwhile
    try {
        if (!error.isEmpty())
            RaiseEvent(chart->OnLineViewError, std::tuple(chart, id, error), *chart, &TCustomKurvo::lineViewFailed, id,
                       error);
        else
            RaiseEvent(chart->OnLineViewProgress, std::tuple(chart, id, ready, total), *chart,
                       &TCustomKurvo::lineViewProgress, id, static_cast<qint64>(ready), static_cast<qint64>(total));
        d.RepaintShare();
    } catch (...) {
        // Nothing escapes into the event loop; a handler's failure is its own.
    }
}

// The worker: the structures chunk by chunk, the file's size looked at
// before each chunk is read, progress at every whole per cent.
void Build(TLineView* v)
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
            PostLineViewReport(*v, done, total, error);
            return;
        }
        done = to;
        const int percent = static_cast<int>(100.0 * static_cast<double>(done) / static_cast<double>(total));
        if (percent != lastPercent || done == total) {
            lastPercent = percent;
            PostLineViewReport(*v, done, total, QString());
        }
    }
}

}  // namespace

void PostLineViewReport(TLineView& view, std::int64_t ready, std::int64_t total, const QString& error)
{
    // Under the lock no holder can go: each one leaves the list before it is destroyed.
    std::lock_guard<std::mutex> lock(view.File->HoldersLock);
    for (TCustomKurvo* chart : view.File->Holders) {
        QMetaObject::invokeMethod(
            chart, [chart, v = &view, id = view.Id, ready, total, error] { Report(chart, v, id, ready, total, error); },
            Qt::QueuedConnection);
    }
}

// ---------------------------------------------------------------- the set

void ValidateSampleView(const TKurvoSampleView& view)
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

void ReadLineViewAgain(TLineView& v, const TKurvoSampleView& samples, std::int64_t from)
{
    ValidateSampleView(samples);
    v.View = samples;
    v.Forget(std::clamp<std::int64_t>(from, 0, samples.Count()));
    if (samples.Count() < v.Ready) v.Forget(0);
    v.Extend(samples.Count());
    v.Error.clear();
}

std::unique_ptr<TLineView> CopyLineView(const TLineView& v)
{
    auto copy = std::make_unique<TLineView>();
    copy->Id = v.Id;
    copy->View = v.View;
    copy->Look = v.Look;
    copy->Pyramid = v.Pyramid;
    copy->Pieces = v.Pieces;
    copy->XRising = v.XRising;
    copy->XMin = v.XMin;
    copy->XMax = v.XMax;
    copy->YMin = v.YMin;
    copy->YMax = v.YMax;
    copy->Ready = v.Ready;
    copy->Error = v.Error;
    return copy;
}


TLineView* TLineViewSet::Find(int id) const
{
    for (const auto& v : FList)
        if (v->Id == id) return v.get();
    return nullptr;
}

bool TLineViewSet::Holds(const TLineView* view, int id) const
{
    return std::any_of(FList.begin(), FList.end(), [&](const auto& v) { return v.get() == view && v->Id == id; });
}

int TLineViewSet::Add(std::unique_ptr<TLineView> view)
{
    view->Id = FNextId;
    std::shared_ptr<TLineView> shared(std::move(view));
    FList.push_back(shared);
    Hold(*shared);
    return FNextId++;
}

std::shared_ptr<TLineView> TLineViewSet::Take(int id)
{
    const auto it = std::find_if(FList.begin(), FList.end(), [id](const auto& v) { return v->Id == id; });
    if (it == FList.end()) return nullptr;
    std::shared_ptr<TLineView> gone = std::move(*it);
    FList.erase(it);
    Release(*gone);
    return gone;
}

void TLineViewSet::Clear()
{
    // Out of the list first: a report arriving meanwhile finds nothing.
    std::vector<std::shared_ptr<TLineView>> gone = std::move(FList);
    FList.clear();
    for (const auto& v : gone) Release(*v);
}

void TLineViewSet::CopyFrom(const TLineViewSet& other)
{
    if (&other == this) return;
    std::vector<std::shared_ptr<TLineView>> copies;
    copies.reserve(other.FList.size());
    for (const auto& v : other.FList) {
        if (v->File) {
            copies.push_back(v);
            continue;
        }
        std::shared_ptr<TLineView> copy = CopyLineView(*v);
        copies.push_back(std::move(copy));
    }
    Clear();
    FList = std::move(copies);
    for (const auto& v : FList) Hold(*v);
    FNextId = other.FNextId;
}

void TLineViewSet::Hold(TLineView& view)
{
    if (!view.File) return;
    std::lock_guard<std::mutex> lock(view.File->HoldersLock);
    view.File->Holders.push_back(&FHolder);
}

void TLineViewSet::Release(TLineView& view)
{
    if (!view.File) return;
    std::lock_guard<std::mutex> lock(view.File->HoldersLock);
    auto& holders = view.File->Holders;
    const auto it = std::find(holders.begin(), holders.end(), &FHolder);
    if (it != holders.end()) holders.erase(it);
}

// ------------------------------------------------------- public operations

TLineViewSet& TCustomKurvoPrivate::LineViews() const
{
    return FUseDataOf != nullptr ? Get(*FUseDataOf).FLineViews : const_cast<TLineViewSet&>(FLineViews);
}

void TCustomKurvoPrivate::RepaintShare() const
{
    TCustomKurvo& owner = FUseDataOf != nullptr ? *FUseDataOf : *q;
    owner.RepaintIfAutoRedraw();
    const TCustomKurvoPrivate& o = Get(owner);
    for (int i = 0; i < o.FSharerCount; ++i)
        if (o.FSharers[i] != nullptr) o.FSharers[i]->RepaintIfAutoRedraw();
}

int TCustomKurvo::AddLineView(std::span<const double> x, std::span<const double> y)
{
    Check(x.size() == y.size(), "The X and Y arrays of a line view must be equally long.");
    return AddLineView(TKurvoSampleView(y).SetXValues(x));
}

int TCustomKurvo::AddLineView(const TKurvoSampleView& view)
{
    ValidateSampleView(view);
    auto v = std::make_unique<TLineView>();
    v->View = view;
    v->Look = NewItem(ikLineTo, 0);
    v->Extend(view.Count());
    const int id = d->LineViews().Add(std::move(v));
    d->RepaintShare();
    return id;
}

void TCustomKurvo::DataChanged(int view)
{
    TLineView* v = d->LineViews().Find(view);
    if (v == nullptr || v->File) return;
    DataChanged(view, v->View, 0);
}

void TCustomKurvo::DataChanged(int view, const TKurvoSampleView& samples, std::int64_t from)
{
    TLineView* v = d->LineViews().Find(view);
    if (v == nullptr) return;
    if (v->File) throw EQornKurvoError("A view of a sample file cannot be changed; open the file again.");
    ReadLineViewAgain(*v, samples, from);
    d->RepaintShare();
}

void TCustomKurvo::RemoveLineView(int view)
{
    // Taken out first, so that a report of its worker arriving later finds
    // nothing; the last holder's release ends the worker.
    const std::shared_ptr<TLineView> gone = d->LineViews().Take(view);
    if (gone) d->RepaintShare();
}

std::vector<int> TCustomKurvo::LineViews() const
{
    std::vector<int> ids;
    for (const auto& v : d->LineViews().List()) ids.push_back(v->Id);
    return ids;
}

std::int64_t TCustomKurvo::LineViewReady(int view) const
{
    TLineView* v = d->LineViews().Find(view);
    if (v == nullptr) return -1;
    std::lock_guard<std::mutex> lock(v->Lock);
    return v->Ready;
}

QString TCustomKurvo::LineViewError(int view) const
{
    TLineView* v = d->LineViews().Find(view);
    if (v == nullptr) return {};
    std::lock_guard<std::mutex> lock(v->Lock);
    return v->Error;
}

std::int64_t TCustomKurvo::LineViewBytes() const
{
    std::int64_t bytes = 0;
    for (const auto& v : d->LineViews().List()) {
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
    ValidateSampleView(view);
    auto v = std::make_unique<TLineView>();
    v->View = view;
    v->Look = NewItem(ikLineTo, 0);
    v->File = std::move(file);
    TLineView* raw = v.get();
    const int id = d->LineViews().Add(std::move(v));
    raw->File->Worker = std::thread(Build, raw);
    d->RepaintShare();
    return id;
}

}  // namespace kurvo
