// The structures of a line view: stretches of finite points, the order and
// extent of X and Y, and the min/max structure over Y, built from
// Ready on in one typed pass per chunk.
#include "chart/line_view.h"
#include "chart/mapping_guard.h"

#include <algorithm>
#include <cmath>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace kurvo {

namespace {

// Y of the samples of one type, read without a switch per value.
template <class T>
struct TTypedY {
    const T* Samples;
    std::int64_t Stride;
    std::int64_t Channel;
    double Scale;
    double Offset;
    std::int64_t Count;
    std::int64_t Size() const { return Count; }
    // The expression of TKurvoSampleView::Y, so that both give the same double.
    double operator[](std::int64_t i) const
    {
        return static_cast<double>(Samples[i * Stride + Channel]) * Scale + Offset;
    }
};

// Points are scanned and summarised in chunks that stay in the cache
// between the two passes.
constexpr std::int64_t kChunk = std::int64_t{1} << 16;

template <class T>
void ExtendTyped(TLineView& v, std::int64_t count)
{
    const TKurvoSampleView& view = v.View;
    const TTypedY<T> ys{static_cast<const T*>(view.Data()), view.Stride(), view.Channel(), view.Scale(), view.Offset(),
                        count};
    const std::span<const double> xs = view.XValues();
    const bool even = xs.empty();
    // The last finite X before Ready, for the order of X.
    double lastX = -HUGE_VAL;
    if (!v.Pieces.empty()) lastX = view.X(v.Pieces.back().To - 1);
    TPiece piece{-1, -1};
    if (!v.Pieces.empty() && v.Pieces.back().To == v.Ready) {
        piece = v.Pieces.back();
        v.Pieces.pop_back();
    }
    // In locals: the samples are read through pointers that could alias the
    // view's members, which would keep these in memory at every point.
    bool rising = v.XRising;
    double xMin = v.XMin;
    double xMax = v.XMax;
    double yMin = v.YMin;
    double yMax = v.YMax;
    for (std::int64_t from = v.Ready; from < count;) {
        const std::int64_t to = std::min(count, from + kChunk);
        for (std::int64_t i = from; i < to; ++i) {
            const double y = ys[i];
            const double x = even ? view.XStart() + static_cast<double>(i) * view.XStep() : xs[static_cast<std::size_t>(i)];
            if (!(std::abs(x) <= DBL_MAX && std::abs(y) <= DBL_MAX)) continue;
            if (piece.To != i) {
                if (piece.To > piece.From) v.Pieces.push_back(piece);
                piece = {i, i};
            }
            piece.To = i + 1;
            rising = rising && x >= lastX;
            lastX = x;
            xMin = x < xMin ? x : xMin;
            xMax = x > xMax ? x : xMax;
            yMin = y < yMin ? y : yMin;
            yMax = y > yMax ? y : yMax;
        }
        TTypedY<T> upTo = ys;
        upTo.Count = to;
        v.Pyramid.Extend(upTo);
        from = to;
    }
    if (piece.To > piece.From) v.Pieces.push_back(piece);
    v.XRising = rising;
    v.XMin = xMin;
    v.XMax = xMax;
    v.YMin = yMin;
    v.YMax = yMax;
    v.Ready = count;
}

}  // namespace

void TLineView::Extend(std::int64_t count)
{
    if (count <= Ready) return;
    switch (View.Type()) {
    case stDouble: ExtendTyped<double>(*this, count); break;
    case stFloat: ExtendTyped<float>(*this, count); break;
    case stInt16: ExtendTyped<std::int16_t>(*this, count); break;
    case stInt32: ExtendTyped<std::int32_t>(*this, count); break;
    }
}

void TLineView::Forget(std::int64_t from)
{
    if (from >= Ready) return;
    // The order and least values cannot be taken back point by point.
    Pyramid.Clear();
    Pieces.clear();
    XRising = true;
    XMin = YMin = HUGE_VAL;
    XMax = YMax = -HUGE_VAL;
    Ready = 0;
}

std::int64_t TLineView::MemoryBytes() const
{
    return Pyramid.MemoryBytes() + static_cast<std::int64_t>(Pieces.capacity() * sizeof(TPiece));
}

std::int64_t TMappedSampleFile::BytesNow() const
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::fstat(File.handle(), &st) != 0) return 0;
    return static_cast<std::int64_t>(st.st_size);
#else
    // Elsewhere a mapped file cannot be shortened.
    return MapBytes;
#endif
}

bool TMappedSampleFile::Shortened() const
{
    return BytesNow() < MapBytes || MappingLostPages(Map);
}

TMappedSampleFile::~TMappedSampleFile()
{
    Stop = true;
    if (Worker.joinable()) Worker.join();
    if (Map != nullptr) {
        UnguardMapping(Map);
        File.unmap(Map);
    }
}

}  // namespace kurvo
