// A line drawn from samples the chart does not own: the description of the
// samples, the look of the line and the per-column structures built over
// them. Internal: not installed.
//
// The structures cover a prefix of the points, [0, Ready): a view over the
// program's memory is built whole when it is added or changed; a view over
// a mapped file is built by a worker thread, chunk by chunk, and the paint
// draws the prefix built so far. Lock guards everything the worker writes.
#pragma once

#include "chart/display_list.h"
#include "chart/run_reduction.h"
#include "chart/sample_view.h"

#include <QFile>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kurvo {

class TCustomKurvo;

/// Level 0 of a view's min/max structure covers blocks of 2^8 samples: about
/// 16 bytes per 256 points, 3 % of 16-bit samples, under 1 % of doubles.
constexpr int kViewPyramidBase = 8;

/// The Y values of a view's first `Count` points as an indexable source.
struct TViewYValues {
    const TKurvoSampleView& View;  ///< the samples
    std::int64_t Count;  ///< points readable
    /// Points readable.
    std::int64_t Size() const { return Count; }
    /// Y of point i.
    double operator[](std::int64_t i) const { return View.Y(i); }
};

/// The X values of a view as an indexable source.
struct TViewXValues {
    const TKurvoSampleView& View;  ///< the samples
    /// X of point i.
    double operator[](std::int64_t i) const { return View.X(i); }
};

/// A raw file of samples mapped into memory, and the worker building the
/// view's structures over it.
struct TMappedSampleFile {
    QFile File;  ///< kept open: the mapping lives as long as the handle
    uchar* Map = nullptr;  ///< the mapping, header included
    std::int64_t MapBytes = 0;  ///< bytes mapped
    std::atomic<bool> Stop{false};  ///< asks the worker to end
    std::mutex HoldersLock;  ///< guards Holders
    std::vector<TCustomKurvo*> Holders;  ///< charts whose views include this file's
    std::thread Worker;  ///< builds the structures
    /// Bytes the file holds now, read from the open handle (a file replaced
    /// or removed under its name keeps its mapping and its size).
    std::int64_t BytesNow() const;
    /// Whether the file lost bytes of the mapping: shorter now than mapped,
    /// or a page read after it was cut came back as zeros (the mapping is
    /// guarded against the fault such a read raises).
    bool Shortened() const;
    ~TMappedSampleFile();
};

/// One line view of a chart.
struct TLineView {
    int Id = 0;  ///< the number AddLineView returned
    TKurvoSampleView View;  ///< where the points come from
    TkvChartItem Look{};  ///< attributes of every point (a line-to item)
    std::mutex Lock;  ///< guards the members below while a worker builds them
    TMinMaxPyramid Pyramid{kViewPyramidBase};  ///< over Y of [0, Ready)
    std::vector<TPiece> Pieces;  ///< stretches of finite points in [0, Ready)
    bool XRising = true;  ///< X never falls within [0, Ready)
    double XMin = HUGE_VAL;  ///< smallest finite X in [0, Ready)
    double XMax = -HUGE_VAL;  ///< largest finite X in [0, Ready)
    double YMin = HUGE_VAL;  ///< smallest finite Y in [0, Ready)
    double YMax = -HUGE_VAL;  ///< largest finite Y in [0, Ready)
    std::int64_t Ready = 0;  ///< points the structures cover
    QString Error;  ///< why the view is no longer drawn; empty while it is
    std::unique_ptr<TMappedSampleFile> File;  ///< the mapped file of a file view

    /// Brings the structures from Ready up to `count` points (Lock held or
    /// no worker running). Throws std::bad_alloc and keeps what was built.
    void Extend(std::int64_t count);
    /// Forgets the structures from point `from` on.
    void Forget(std::int64_t from);
    /// Bytes the structures hold.
    std::int64_t MemoryBytes() const;
};

/// Hands a report on file view `view` to the thread of every chart holding
/// it: progress (`error` empty) or the reason it stopped. There each raises
/// OnLineViewProgress or OnLineViewError and repaints with the charts
/// sharing its data; a report for a view removed meanwhile, or to a chart
/// destroyed meanwhile, is dropped.
void PostLineViewReport(TLineView& view, std::int64_t ready, std::int64_t total, const QString& error);

}  // namespace kurvo
