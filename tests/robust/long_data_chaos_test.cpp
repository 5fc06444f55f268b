// Seeded random views of charts holding 10^7 points of every shape of data:
// a sorted line, colours and classes changing at every point, marks and
// character marks, NaN and infinite gaps, X running back and forth and X at
// random. Each pan, zoom, axis, size, ratio or live append paints the chart
// (every setter of a step paints at once, and a final paint follows); no
// paint may take a second of thread CPU time.
//
//   KURVO_LONG_CHAOS_POINTS  points per chart (default 10^7; 10^6 in the
//                            sanitizer build, where only hangs are caught)
//   KURVO_CHAOS_SEED         the seed (default 1)
//   KURVO_LONG_CHAOS_STEPS   steps per shape (default 24)
#include "base/errors.h"
#include "chart/Qorn_kurvo.h"
#include "robust_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace kurvo::robust {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr double kPaintSeconds = 15.0;
constexpr std::uint64_t kDefaultPoints = 1'000'000;
#else
constexpr double kPaintSeconds = 1.0;
constexpr std::uint64_t kDefaultPoints = 10'000'000;
#endif

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A chart that times each of its paints: the longest of a step, and how
// many it made.
class TTimedKurvo : public TKurvo {
public:
    void Paint() override
    {
        const double start = ThreadCpuSeconds();
        TKurvo::Paint();
        Longest = std::max(Longest, ThreadCpuSeconds() - start);
        ++Paints;
    }
    double Longest = 0.0;
    int Paints = 0;
};

struct TLongChart {
    TExtremes X;
    std::unique_ptr<TTimedKurvo> Chart = std::make_unique<TTimedKurvo>();
    double Width = 1.0;  // the X extent of the data, for pans and zooms
    TTimedKurvo& C() { return *Chart; }
};

struct TShape {
    const char* Name;
    std::function<void(TLongChart&, std::size_t n)> Fill;
};

double Wave(std::size_t i) { return std::sin(0.002 * static_cast<double>(i)) + 0.2 * std::sin(0.7 * static_cast<double>(i)); }

void Polyline(TLongChart& s, std::size_t n, const std::function<void(std::size_t, double&, double&)>& point)
{
    std::vector<double> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) point(i, x[i], y[i]);
    s.C().DrawPolyline(x, y);
}

// Marks of `type` in a cloud, dense in the middle.
void Cloud(TLongChart& s, std::size_t n, int type)
{
    std::vector<double> x(n), y(n);
    std::normal_distribution<double> normal(0.0, 1.0);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = static_cast<double>(n) * (0.5 + 0.15 * normal(s.X.Rng()));
        y[i] = 0.5 * normal(s.X.Rng());
    }
    s.C().DrawMarks(x, y, type);
}

const std::vector<TShape>& Shapes()
{
    static const std::vector<TShape> shapes = {
        {"sorted line",
         [](TLongChart& s, std::size_t n) {
             Polyline(s, n, [](std::size_t i, double& x, double& y) { x = static_cast<double>(i), y = Wave(i); });
         }},
        {"colour per point",
         [](TLongChart& s, std::size_t n) {
             s.C().MoveTo(0.0, 0.0);
             for (std::size_t i = 1; i < n; ++i) {
                 s.C().SetDataColor(static_cast<TColor>(i * 2654435761u & 0xFFFFFF));
                 s.C().DrawTo(static_cast<double>(i), Wave(i));
             }
         }},
        {"class per point",
         [](TLongChart& s, std::size_t n) {
             s.C().MoveTo(0.0, 0.0);
             for (std::size_t i = 1; i < n; ++i) {
                 s.C().SetClassDefault(static_cast<int>(i % 251));
                 s.C().DrawTo(static_cast<double>(i), Wave(i));
             }
         }},
        {"marks", [](TLongChart& s, std::size_t n) { Cloud(s, n, s.X.Below(60)); }},
        {"character marks", [](TLongChart& s, std::size_t n) { Cloud(s, n, 52 + s.X.Below(204)); }},
        {"NaN and infinite gaps",
         [](TLongChart& s, std::size_t n) {
             Polyline(s, n, [](std::size_t i, double& x, double& y) {
                 x = i % 7001 == 7000 ? kNaN : static_cast<double>(i);
                 y = i % 2000 == 1999 ? kNaN : i % 3001 == 3000 ? (i % 2 == 0 ? kInf : -kInf) : Wave(i);
             });
         }},
        {"X back and forth",
         [](TLongChart& s, std::size_t n) {
             const double turns = static_cast<double>(n) / 1e5;
             Polyline(s, n, [&](std::size_t i, double& x, double& y) {
                 const double t = 6.283185307179586 * static_cast<double>(i) / static_cast<double>(n);
                 x = static_cast<double>(n) * (0.5 + 0.5 * std::sin(301.0 / 300.0 * turns * t));
                 y = std::sin(turns * t + 0.5);
             });
         }},
        {"X at random",
         [](TLongChart& s, std::size_t n) {
             std::uniform_real_distribution<double> unit(0.0, 1.0);
             Polyline(s, n, [&](std::size_t, double& x, double& y) {
                 x = static_cast<double>(n) * unit(s.X.Rng());
                 y = 2.0 * unit(s.X.Rng()) - 1.0;
             });
         }},
    };
    return shapes;
}

struct TView {
    const char* Name;
    std::function<void(TLongChart&)> Run;
};

// The X range [low, low + width] with Y from -1.5 to 1.5.
void ShowX(TLongChart& s, double low, double width)
{
    s.C().SetLayerRanges(1, false, low, -1.5, low + width, 1.5, false);
}

const std::vector<TView>& Views()
{
    static const std::vector<TView> views = {
        {"whole data", [](TLongChart& s) { ShowX(s, 0.0, s.Width); }},
        {"pan 1 %",
         [](TLongChart& s) { ShowX(s, s.X.Coin() ? 0.01 * s.Width : -0.01 * s.Width, s.Width); }},
        {"zoom in",
         [](TLongChart& s) {
             const double width = s.Width * std::ldexp(1.0, -s.X.Below(40));
             ShowX(s, s.X.Below(1000) * 0.001 * s.Width, width);
         }},
        {"zoom out", [](TLongChart& s) { ShowX(s, -s.Width * 1e6, s.Width * 3e6); }},
        {"extreme ranges",
         [](TLongChart& s) {
             s.C().SetLayerRanges(1, s.X.Coin(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Coin());
         }},
        {"logarithmic axes",
         [](TLongChart& s) {
             s.C().SetLayerRanges(1, false, 1.0, 1e-3, s.Width, 2.0, false);
             s.C().ScaleX(1)->SetLogarithmic(s.X.Coin());
             s.C().ScaleY(1)->SetLogarithmic(s.X.Coin());
         }},
        {"linear axes",
         [](TLongChart& s) {
             s.C().ScaleX(1)->SetLogarithmic(false);
             s.C().ScaleY(1)->SetLogarithmic(false);
         }},
        {"device pixel ratio",
         [](TLongChart& s) {
             static constexpr double ratios[] = {1.0, 1.25, 1.5, 2.0, 3.0};
             s.C().SetDevicePixelRatio(ratios[s.X.Below(static_cast<int>(std::size(ratios)))]);
         }},
        {"size", [](TLongChart& s) { s.C().SetBounds(0, 0, 1 + s.X.Below(1600), 1 + s.X.Below(1200)); }},
        {"live append",
         [](TLongChart& s) {
             std::vector<double> x(10000), y(10000);
             for (std::size_t i = 0; i < x.size(); ++i) {
                 x[i] = s.Width + static_cast<double>(i);
                 y[i] = Wave(i);
             }
             s.C().AppendLinePoints(x.data(), y.data(), static_cast<std::int64_t>(x.size()));
             s.Width += static_cast<double>(x.size());
         }},
    };
    return views;
}

TEST(LongDataChaos, EveryPaintOfEveryShapeTakesLessThanASecond)
{
    const std::uint64_t n = EnvNumber("KURVO_LONG_CHAOS_POINTS", kDefaultPoints);
    const std::uint64_t seed = EnvNumber("KURVO_CHAOS_SEED", 1);
    const std::uint64_t steps = EnvNumber("KURVO_LONG_CHAOS_STEPS", 24);
    const std::vector<TView>& views = Views();
    for (const TShape& shape : Shapes()) {
        TLongChart s{TExtremes(seed)};
        s.C().SetBounds(0, 0, 473, 421);
        s.C().SetAllocSize(1000000);
        const std::uint64_t points = n;
        s.Width = static_cast<double>(points);
        shape.Fill(s, static_cast<std::size_t>(points));  // no window yet: nothing is painted while filling
        s.C().HandleNeeded();
        std::deque<std::string> recent;
        for (std::uint64_t step = 0; step < steps; ++step) {
            const TView& view = views[static_cast<std::size_t>(s.X.Below(static_cast<int>(views.size())))];
            recent.push_back(std::to_string(step) + ": " + view.Name);
            if (recent.size() > 8) recent.pop_front();
            s.C().Longest = 0.0;
            s.C().Paints = 0;
            const double start = ThreadCpuSeconds();
            try {
                view.Run(s);
                s.C().Paint();
            } catch (const EQornKurvoError&) {
            } catch (const std::bad_alloc&) {
            } catch (const std::exception& e) {
                FAIL() << shape.Name << ": escaped: " << e.what();
            }
            // Each paint within the limit, and the rest of the step too.
            const double seconds = ThreadCpuSeconds() - start;
            const int paints = s.C().Paints;
            if (s.C().Longest >= kPaintSeconds || seconds >= kPaintSeconds * (1 + paints)) {
                std::ostringstream out;
                for (const std::string& r : recent) out << "\n  " << r;
                FAIL() << shape.Name << " with " << points << " points: " << view.Name << " took " << seconds
                       << " s for " << paints << " paints, the longest " << s.C().Longest
                       << " s; replay with KURVO_CHAOS_SEED=" << seed << ", last views:" << out.str();
            }
        }
    }
}

}  // namespace
}  // namespace kurvo::robust
