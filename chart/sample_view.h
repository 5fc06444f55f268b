// Samples the program keeps in its own memory (or in a file), described for
// a chart that draws them without copying them.
#pragma once

#include <cstdint>
#include <span>

namespace kurvo {

/// The type of the samples a view reads.
enum TSampleType : std::uint8_t {
    stDouble,  ///< 8-byte IEEE double
    stFloat,  ///< 4-byte IEEE float
    stInt16,  ///< 2-byte signed integer
    stInt32  ///< 4-byte signed integer
};

/// Bytes a sample of `type` takes.
constexpr int SampleSize(TSampleType type)
{
    return type == stDouble ? 8 : (type == stInt16 ? 2 : 4);
}

/// Where a line's points come from: Y from an array of samples in the
/// program's memory, value = sample * Scale() + Offset(); X either from an
/// array of doubles or evenly spaced, XStart() + i * XStep(), without an
/// array. Point i reads sample i * Stride() + Channel() of the array, so
/// one channel of interleaved recordings is a view too.
///
/// A view only points at the memory; the chart that draws it reads the
/// memory at every paint. That memory must stay valid and as large as the
/// view says until the view is removed from the chart or the chart is
/// destroyed (destroying the chart first is safe: it never touches the
/// memory again). After changing the samples, tell the chart with
/// TCustomKurvo::DataChanged.
///
/// \code
/// std::vector<std::int16_t> adc = Record();          // the instrument's counts
/// kurvo::TKurvoSampleView view(std::span<const std::int16_t>(adc), 0.0, 1e-6);  // 1 MHz
/// view.SetScale(10.0 / 32768, 0.0);                  // counts to volts
/// chart.AddLineView(view);
/// \endcode
class TKurvoSampleView {
public:
    /// An empty view: no points.
    TKurvoSampleView() = default;
    ///@{
    /// Samples `y`, point i at X = xStart + i * xStep.
    TKurvoSampleView(std::span<const double> y, double xStart = 0.0, double xStep = 1.0)
        : TKurvoSampleView(stDouble, y.data(), static_cast<std::int64_t>(y.size()), xStart, xStep) {}
    TKurvoSampleView(std::span<const float> y, double xStart = 0.0, double xStep = 1.0)
        : TKurvoSampleView(stFloat, y.data(), static_cast<std::int64_t>(y.size()), xStart, xStep) {}
    TKurvoSampleView(std::span<const std::int16_t> y, double xStart = 0.0, double xStep = 1.0)
        : TKurvoSampleView(stInt16, y.data(), static_cast<std::int64_t>(y.size()), xStart, xStep) {}
    TKurvoSampleView(std::span<const std::int32_t> y, double xStart = 0.0, double xStep = 1.0)
        : TKurvoSampleView(stInt32, y.data(), static_cast<std::int64_t>(y.size()), xStart, xStep) {}
    ///@}
    /// `samples` samples of `type` at `data`, point i at X = xStart + i * xStep.
    TKurvoSampleView(TSampleType type, const void* data, std::int64_t samples, double xStart, double xStep)
        : FType(type), FData(data), FSamples(samples < 0 ? 0 : samples), FXStart(xStart), FXStep(xStep) {}

    /// Type of the samples.
    TSampleType Type() const { return FType; }
    /// First sample.
    const void* Data() const { return FData; }
    /// Samples in the array (of all channels).
    std::int64_t Samples() const { return FSamples; }
    /// Points: the samples of the view's channel.
    std::int64_t Count() const
    {
        return FSamples > FChannel ? (FSamples - FChannel + FStride - 1) / FStride : 0;
    }

    ///@{
    /// Y = sample * scale + offset; default 1 and 0.
    double Scale() const { return FScale; }
    double Offset() const { return FOffset; }
    TKurvoSampleView& SetScale(double scale, double offset)
    {
        FScale = scale;
        FOffset = offset;
        return *this;
    }
    ///@}
    ///@{
    /// Channel `channel` (0 ... channels - 1) of samples interleaved over
    /// `channels` channels: point i reads sample i * channels + channel.
    int Channel() const { return FChannel; }
    int Stride() const { return FStride; }
    TKurvoSampleView& SetChannel(int channel, int channels)
    {
        FChannel = channel;
        FStride = channels;
        return *this;
    }
    ///@}
    ///@{
    /// Evenly spaced X: start and step (used while XValues() is empty).
    double XStart() const { return FXStart; }
    double XStep() const { return FXStep; }
    TKurvoSampleView& SetXSpacing(double start, double step)
    {
        FXStart = start;
        FXStep = step;
        return *this;
    }
    ///@}
    ///@{
    /// X of every point from the program's array instead (at least Count() values).
    std::span<const double> XValues() const { return FX; }
    TKurvoSampleView& SetXValues(std::span<const double> x)
    {
        FX = x;
        return *this;
    }
    ///@}

    /// Y of point i, 0 <= i < Count().
    double Y(std::int64_t i) const
    {
        const std::int64_t k = i * FStride + FChannel;
        double v;
        switch (FType) {
        case stDouble: v = static_cast<const double*>(FData)[k]; break;
        case stFloat: v = static_cast<const float*>(FData)[k]; break;
        case stInt16: v = static_cast<const std::int16_t*>(FData)[k]; break;
        default: v = static_cast<const std::int32_t*>(FData)[k]; break;
        }
        return v * FScale + FOffset;
    }
    /// X of point i, 0 <= i < Count().
    double X(std::int64_t i) const
    {
        return FX.empty() ? FXStart + static_cast<double>(i) * FXStep : FX[static_cast<std::size_t>(i)];
    }

private:
    TSampleType FType = stDouble;
    const void* FData = nullptr;
    std::int64_t FSamples = 0;
    double FXStart = 0.0;
    double FXStep = 1.0;
    double FScale = 1.0;
    double FOffset = 0.0;
    int FChannel = 0;
    int FStride = 1;
    std::span<const double> FX;
};

/// How a raw binary file of samples is laid out: a header to skip, then
/// samples of one type, little-endian as this machine stores them, of
/// `Channels` channels interleaved (sample of channel c at point i is
/// number i * Channels + c), evenly spaced in X.
struct TSampleFileLayout {
    TSampleType Type = stInt16;  ///< type of every sample
    int Channels = 1;  ///< channels interleaved, 1 ... 1024
    int Channel = 0;  ///< the channel drawn, 0 ... Channels - 1
    std::int64_t HeaderBytes = 0;  ///< bytes before the first sample
    double XStart = 0.0;  ///< X of the first point
    double XStep = 1.0;  ///< X from one point to the next
    double Scale = 1.0;  ///< Y = sample * Scale + Offset
    double Offset = 0.0;  ///< see Scale
};

}  // namespace kurvo
