// The structures of a line view: stretches of finite points, the order and
// extent of X and Y, and the min/max structure over Y, built from
// Ready on in one typed pass per chunk.
#include "chart/line_view.h"
#include "chart/mapping_guard.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <type_traits>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace kurvo {

namespace {

// Loops over samples that the compiler turns into vector code, in the
// widest form the processor has.
#if defined(__x86_64__) && defined(__linux__) && defined(__clang__)
#define KURVO_VECTOR_LOOP __attribute__((target_clones("avx2", "default")))
#elif defined(__x86_64__) && defined(__linux__) && defined(__GNUC__)
#define KURVO_VECTOR_LOOP __attribute__((target_clones("avx2", "default"), optimize("tree-vectorize")))
#else
#define KURVO_VECTOR_LOOP
#endif
// ... and a loop over finite values only, for min and max in vector code
// (which then differs from the value-by-value loop at most in the sign of a
// zero, which maps to the same pixel).
#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__) && !defined(__clang__)
#define KURVO_FINITE_LOOP                                                                                             \
    __attribute__((target_clones("avx2", "default"), optimize("tree-vectorize", "finite-math-only", "no-signed-zeros")))
#else
#define KURVO_FINITE_LOOP KURVO_VECTOR_LOOP
#endif

// Least and greatest of n >= 1 samples one after the other, finite ones
// for floating-point samples (the options of the loop change nothing for
// integers).
template <class T>
KURVO_FINITE_LOOP void RawMinMax(const T* samples, std::int64_t n, T& least, T& greatest)
{
    T lo = samples[0], hi = samples[0];
    for (std::int64_t i = 1; i < n; ++i) {
        lo = samples[i] < lo ? samples[i] : lo;
        hi = samples[i] > hi ? samples[i] : hi;
    }
    least = lo;
    greatest = hi;
}

// Whether n values are all finite; with `rising`, also whether they never
// fall. On the bits, in integers as wide as the values, for vector code: a
// value is not finite when its exponent bits are all set, and adding one
// below the lowest of them then carries into the sign bit.
template <class T>
KURVO_VECTOR_LOOP bool AllFinite(const T* values, std::int64_t n, bool rising = false)
{
    using U = std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint32_t>;
    constexpr int kFraction = std::numeric_limits<T>::digits - 1;
    constexpr U kSign = U{1} << (sizeof(T) * 8 - 1);
    constexpr U kExponent = ~kSign & ~((U{1} << kFraction) - 1);
    U bad = 0;
    for (std::int64_t i = 0; i < n; ++i) bad |= (std::bit_cast<U>(values[i]) & kExponent) + (U{1} << kFraction);
    if (rising)
        for (std::int64_t i = 1; i < n; ++i) bad |= values[i] < values[i - 1] ? kSign : U{0};
    return (bad & kSign) == 0;
}

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
    double operator[](std::int64_t i) const { return Of(Samples[i * Stride + Channel]); }
    double Of(T sample) const { return static_cast<double>(sample) * Scale + Offset; }
    // Whether MinMax can work on the raw samples of one channel, whose Y
    // grows (or falls) with the sample.
    bool Raw() const { return Stride == 1 && Scale != 0.0; }
    // MinMax of raw samples known to be finite.
    void FiniteMinMax(std::int64_t from, std::int64_t to, double& lo, double& hi) const
    {
        T least, greatest;
        RawMinMax(Samples + Channel + from, to - from, least, greatest);
        lo = Of(Scale > 0.0 ? least : greatest);
        hi = Of(Scale > 0.0 ? greatest : least);
    }
    // Whether the samples of [from, to) are finite (Raw only): their Y is
    // then never NaN.
    bool Finite(std::int64_t from, std::int64_t to) const
    {
        if constexpr (std::is_integral_v<T>)
            return true;
        else
            return AllFinite(Samples + Channel + from, to - from);
    }
    // Min and max of Y over [from, to) as TMinMaxPyramid's value-by-value
    // loop finds them: for finite raw samples the Y of the least and
    // greatest sample (the conversion rounds monotonically).
    void MinMax(std::int64_t from, std::int64_t to, double& lo, double& hi) const
    {
        if (Raw() && Finite(from, to)) return FiniteMinMax(from, to, lo, hi);
        lo = hi = (*this)[from];
        for (std::int64_t i = from + 1; i < to; ++i) {
            const double v = (*this)[i];
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
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
    // Points [from, to), finite, whose X rise from `first` to `last` and
    // whose Y lie between lo and hi (both taken).
    const auto take = [&](std::int64_t from, std::int64_t to, double first, double last, double lo, double hi) {
        if (piece.To != from) {
            if (piece.To > piece.From) v.Pieces.push_back(piece);
            piece = {from, from};
        }
        piece.To = to;
        rising = rising && first >= lastX;
        lastX = last;
        xMin = first < xMin ? first : xMin;
        xMax = last > xMax ? last : xMax;
        yMin = lo < yMin ? lo : yMin;
        yMax = hi > yMax ? hi : yMax;
    };
    const auto finite = [](double a, double b) { return std::abs(a) <= DBL_MAX && std::abs(b) <= DBL_MAX; };
    // Rising X and raw samples: a chunk is taken whole when its samples
    // are finite, an X array is finite and rising through it, and the Y of
    // the least and greatest sample and the X at its ends are finite (then
    // every point between is).
    const bool raw = (!even || view.XStep() >= 0.0) && ys.Raw();
    const auto xAt = [&](std::int64_t i) {
        return even ? view.XStart() + static_cast<double>(i) * view.XStep() : xs[static_cast<std::size_t>(i)];
    };
    for (std::int64_t from = v.Ready; from < count;) {
        const std::int64_t to = std::min(count, from + kChunk);
        double lo = 0.0, hi = 0.0;
        const bool whole = raw && ys.Finite(from, to) && (even || AllFinite(xs.data() + from, to - from, true));
        if (whole) ys.FiniteMinMax(from, to, lo, hi);
        if (whole && finite(lo, hi) && finite(xAt(from), xAt(to - 1))) {
            take(from, to, xAt(from), xAt(to - 1), lo, hi);
        } else {
            for (std::int64_t i = from; i < to; ++i) {
                const double y = ys[i];
                const double x = xAt(i);
                if (finite(x, y)) take(i, i + 1, x, x, y, y);
            }
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
    if (Ready == 0) Pyramid.Reserve(View.Count());
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
