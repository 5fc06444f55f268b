// A tiled background: one TileDraw against the tile-by-tile Draw loop it
// replaced, on the same bitmap, in the same run.
//
//   tile_ms      the best TileDraw over the whole bitmap;
//   baseline_ms  the best loop of one Draw per tile (the former way);
//   ratio        tile_ms / baseline_ms.
#include "canvas/Qorn_canvas.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

template <class F>
double BestMs(F&& f, int runs)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void BM_TiledBackground(benchmark::State& state)
{
    using namespace kurvo;
    const int side = static_cast<int>(state.range(0));
    TBitmap target(side, side);
    TBitmap tile(7, 5);
    tile.Canvas().SetPixel(0, 0, clRed);
    TCanvas& canvas = target.Canvas();
    auto oneCall = [&] {
        canvas.TileDraw({0, 0, side, side}, tile);
        (void)target.Image();
    };
    auto perTile = [&] {
        for (int x = 0; x < side; x += 7)
            for (int y = 0; y < side; y += 5) canvas.Draw(x, y, tile);
        (void)target.Image();
    };
    for (auto _ : state) oneCall();
    const double tileMs = BestMs(oneCall, 3);
    const double baselineMs = BestMs(perTile, side > 2000 ? 1 : 3);
    state.counters["tile_ms"] = tileMs;
    state.counters["baseline_ms"] = baselineMs;
    state.counters["ratio"] = tileMs / baselineMs;
}
BENCHMARK(BM_TiledBackground)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
