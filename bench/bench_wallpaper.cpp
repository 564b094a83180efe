// Laying out the root window's wallpaper for a 3840 x 2160 screen from an
// 8-megapixel picture (tiled, centred, stretched), against a memcpy of the
// screen's 24-bit block, measured in one run.
#include "BenchSupport.h"

#include "platform/RootWallpaper.h"

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kScreenWidth = 3840, kScreenHeight = 2160;

struct Fixture {
    CImageBuffer picture, screen;
    std::vector<std::uint8_t> copy;
    bool ok = false;
    Fixture() {
        if (!picture.Allocate(bench::kPhotoWidth, bench::kPhotoHeight) ||
            !screen.Allocate(kScreenWidth, kScreenHeight))
            return;
        std::mt19937 rng(5);
        for (int y = 0; y < picture.Height(); ++y) {
            std::uint8_t* row = picture.Row(y);
            for (int x = 0; x < 3 * picture.Width(); ++x)
                row[x] = std::uint8_t((x / 5 + y / 3 + rng() % 16) & 255);
        }
        copy.resize(screen.Size());
        ok = true;
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_MemcpyScreen(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    for (auto _ : state) {
        std::memcpy(F().copy.data(), F().screen.Bits(), F().copy.size());
        benchmark::DoNotOptimize(F().copy.data());
        benchmark::ClobberMemory();
    }
}

void Compose(benchmark::State& state, EWallpaperStyle style) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    for (auto _ : state) {
        CImageBuffer out;
        if (!ComposeWallpaper(F().picture, kScreenWidth, kScreenHeight, style, out))
            return state.SkipWithError("compose");
        benchmark::DoNotOptimize(out.Bits());
    }
}

void BM_ComposeTile(benchmark::State& state) {
    Compose(state, EWallpaperStyle::kTile);
}
void BM_ComposeCentre(benchmark::State& state) {
    Compose(state, EWallpaperStyle::kCenter);
}
void BM_ComposeStretch(benchmark::State& state) {
    Compose(state, EWallpaperStyle::kStretch);
}

BENCHMARK(BM_MemcpyScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeTile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeCentre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeStretch)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter r;
    benchmark::RunSpecifiedBenchmarks(&r);
    std::printf("\n");
    r.Ratio("tiled screen / memcpy of the screen:", "BM_ComposeTile", "BM_MemcpyScreen");
    r.Ratio("centred screen / memcpy of the screen:", "BM_ComposeCentre", "BM_MemcpyScreen");
    r.Ratio("stretched screen / memcpy of the screen:", "BM_ComposeStretch", "BM_MemcpyScreen");
    benchmark::Shutdown();
    return 0;
}
