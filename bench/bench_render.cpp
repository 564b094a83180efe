// Drawing one frame of a 1920 x 1080 image window from an 8-megapixel
// picture, against a memcpy of the frame's bytes, measured in one run:
// the fit step (reduced), actual size, x 2 and x 8 (scrolled, so the column
// map is rebuilt every frame as during a drag), plus the blur after a drag
// and the overview panel.
#include "BenchSupport.h"

#include "image/Blur.h"
#include "image/Overview.h"
#include "image/Render.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kClientWidth = 1920, kClientHeight = 1080;
constexpr COLORREF kBack = RGB(128, 128, 128);

struct Fixture {
    CImageBuffer image;
    std::vector<std::uint32_t> frame, copy;
    bool ok = false;
    Fixture() : frame(std::size_t(kClientWidth) * kClientHeight), copy(frame.size()) {
        const int w = bench::kPhotoWidth, h = bench::kPhotoHeight;
        if (!image.Allocate(w, h))
            return;
        std::mt19937 rng(11);
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = image.Row(y);
            for (int x = 0; x < 3 * w; ++x)
                row[x] = std::uint8_t((x / 7 + y / 5 + rng() % 16) & 255);
        }
        ok = true;
    }
    CViewDest Dest() {
        return {reinterpret_cast<std::uint8_t*>(frame.data()), kClientWidth, kClientHeight,
                kClientWidth * 4, EPixelFormat::kXrgb32};
    }
};

std::map<std::string, double> g_ratios, g_warmRatios;

Fixture& F() {
    static Fixture f;
    return f;
}

CViewState ViewAtStep(int step) {
    CViewState v;
    v.SetClientSize(kClientWidth, kClientHeight);
    v.OpenPicture(F().image.Width(), F().image.Height(), false);
    if (step != CZoomLadder::kFitStep) {
        v.SetZoomIndex(step);
        v.ApplyZoom(v.GetZoomStep(step));
    }
    return v;
}

void BM_MemcpyFrame(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    const std::size_t bytes = F().frame.size() * 4;
    for (auto _ : state) {
        std::memcpy(F().copy.data(), F().frame.data(), bytes);
        benchmark::DoNotOptimize(F().copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

// The machine is shared, so the load changes between two benchmarks. Each
// frame is therefore timed right next to a memcpy of the frame's bytes (into
// a block the frame has pushed out of the cache, as a real copy would find
// it) and next to a second, warm memcpy; the ratios of the medians (and of
// the best times) are reported as counters.
void RenderFrames(benchmark::State& state, const char* label, int step, bool scroll) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    CViewState v = ViewAtStep(step);
    CViewRenderer r;
    CViewDest d = F().Dest();
    const std::size_t bytes = F().frame.size() * 4;
    std::vector<double> render, copy, warmCopy;
    int dir = 1;
    for (auto _ : state) {
        if (scroll) {
            // A drag moves the view a few pixels per frame.
            if (!v.DragBy(3 * dir, -2 * dir))
                dir = -dir;
        }
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(r.Render(F().image, v, kBack, d));
        benchmark::ClobberMemory();
        const auto t1 = std::chrono::steady_clock::now();
        std::memcpy(F().copy.data(), F().frame.data(), bytes);
        benchmark::DoNotOptimize(F().copy.data());
        benchmark::ClobberMemory();
        const auto t2 = std::chrono::steady_clock::now();
        // Once more with both blocks warm: the stricter baseline.
        std::memcpy(F().copy.data(), F().frame.data(), bytes);
        benchmark::DoNotOptimize(F().copy.data());
        benchmark::ClobberMemory();
        const auto t3 = std::chrono::steady_clock::now();
        render.push_back(std::chrono::duration<double>(t1 - t0).count());
        copy.push_back(std::chrono::duration<double>(t2 - t1).count());
        warmCopy.push_back(std::chrono::duration<double>(t3 - t2).count());
        // The benchmark's own time is the frame alone.
        state.SetIterationTime(render.back());
    }
    auto median = [](std::vector<double> x) {
        std::nth_element(x.begin(), x.begin() + std::ptrdiff_t(x.size() / 2), x.end());
        return x[x.size() / 2];
    };
    if (!render.empty()) {
        state.counters["x_memcpy"] = median(render) / median(copy);
        state.counters["best_x_memcpy"] = *std::min_element(render.begin(), render.end()) /
                                          *std::min_element(copy.begin(), copy.end());
        state.counters["x_warm_memcpy"] = median(render) / median(warmCopy);
        g_warmRatios[label] = state.counters["x_warm_memcpy"];
        g_ratios[label] = state.counters["x_memcpy"];
    }
}

void BM_RenderFit(benchmark::State& state) {
    RenderFrames(state, "1 fit step", CZoomLadder::kFitStep, false);
}
void BM_RenderActualScrolled(benchmark::State& state) {
    RenderFrames(state, "2 actual size, scrolled", CZoomLadder::kActualStep, true);
}
void BM_RenderZoom2Scrolled(benchmark::State& state) {
    RenderFrames(state, "3 x 2, scrolled", 11, true);
}
void BM_RenderZoom8Scrolled(benchmark::State& state) {
    RenderFrames(state, "4 x 8, scrolled", 17, true);
}

void BM_BlurViewZoom4(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    CViewState v = ViewAtStep(13);
    CViewDest d = F().Dest();
    for (auto _ : state) {
        RenderView(F().image, v, kBack, d);
        BlurView(d, v.GetZoom());
        benchmark::ClobberMemory();
    }
}

void BM_OverviewDraw(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    CViewState v = ViewAtStep(11);
    COverview o;
    o.BuildOverview(F().image);
    o.ResetPosition(kClientWidth, kClientHeight);
    CViewDest d = F().Dest();
    for (auto _ : state) {
        benchmark::DoNotOptimize(o.DrawOverview(d, v));
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderFit)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderActualScrolled)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderZoom2Scrolled)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderZoom8Scrolled)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlurViewZoom4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OverviewDraw)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter r;
    benchmark::RunSpecifiedBenchmarks(&r);
    std::printf("\nframe cost against a memcpy of the frame, medians of paired timings "
                "(goal: at most 3):\n");
    for (const auto& [name, ratio] : g_ratios)
        std::printf("%-52s %6.3f\n", (name + " / memcpy:").c_str(), ratio);
    std::printf("\nthe same against the memcpy repeated with both blocks warm:\n");
    for (const auto& [name, ratio] : g_warmRatios)
        std::printf("%-52s %6.3f\n", (name + " / warm memcpy:").c_str(), ratio);
    std::printf("\nagainst the separately timed memcpy (sensitive to load changes):\n");
    r.Ratio("fit step / memcpy:", "BM_RenderFit", "BM_MemcpyFrame");
    r.Ratio("1.0 scrolled / memcpy:", "BM_RenderActualScrolled", "BM_MemcpyFrame");
    r.Ratio("x 2 scrolled / memcpy:", "BM_RenderZoom2Scrolled", "BM_MemcpyFrame");
    r.Ratio("x 8 scrolled / memcpy:", "BM_RenderZoom8Scrolled", "BM_MemcpyFrame");
    r.Ratio("blur after a drag at x 4 (with its frame) / memcpy:", "BM_BlurViewZoom4",
            "BM_MemcpyFrame");
    r.Ratio("overview panel / memcpy:", "BM_OverviewDraw", "BM_MemcpyFrame");
    benchmark::Shutdown();
    return 0;
}
