// The picture edits on an 8-megapixel picture, each against a memcpy of the
// picture's 24-bit block timed right beside it in the same run: the point
// edits (invert, grey, black and white) and the quarter turns. The edits
// alone are timed, without any drawing.
#include "BenchSupport.h"

#include <ctime>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <vector>

namespace {

struct Fixture {
    CImageBuffer image;
    std::vector<std::uint8_t> copy;
    bool ok = false;
    Fixture() {
        const int w = bench::kPhotoWidth, h = bench::kPhotoHeight;
        if (!image.Allocate(w, h))
            return;
        std::mt19937 rng(5);
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = image.Row(y);
            for (int x = 0; x < 3 * w; ++x)
                row[x] = std::uint8_t((x / 5 + y / 3 + rng() % 32) & 255);
        }
        copy.assign(image.Size(), 0);
        ok = true;
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

std::map<std::string, double> g_ratios, g_best;

// The CPU time of this thread, page faults included: a time slice the shared
// machine gives to another process does not count.
double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Times the edit and, right after it, a memcpy of the whole block; the
// ratios of the medians and of the best times go into the report.
void TimeEdit(benchmark::State& state, const char* label,
              const std::function<void(CImageBuffer&)>& edit) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    CImageBuffer& img = F().image;
    std::vector<double> editTimes, copyTimes;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        edit(img);
        benchmark::ClobberMemory();
        const double t1 = ThreadSeconds();
        std::memcpy(F().copy.data(), img.Bits(), img.Size());
        benchmark::DoNotOptimize(F().copy.data());
        benchmark::ClobberMemory();
        const double t2 = ThreadSeconds();
        editTimes.push_back(t1 - t0);
        copyTimes.push_back(t2 - t1);
        state.SetIterationTime(editTimes.back());
    }
    auto median = [](std::vector<double> x) {
        std::nth_element(x.begin(), x.begin() + std::ptrdiff_t(x.size() / 2), x.end());
        return x[x.size() / 2];
    };
    if (!editTimes.empty()) {
        g_ratios[label] = state.counters["x_memcpy"] = median(editTimes) / median(copyTimes);
        g_best[label] = state.counters["best_x_memcpy"] =
            *std::min_element(editTimes.begin(), editTimes.end()) /
            *std::min_element(copyTimes.begin(), copyTimes.end());
    }
}

void Whole(CImageBuffer& b, void (CImageBuffer::*op)(int, int, int, int)) {
    (b.*op)(0, 0, b.Width(), b.Height());
}

void BM_Invert(benchmark::State& s) {
    TimeEdit(s, "1 invert", [](CImageBuffer& b) { Whole(b, &CImageBuffer::Invert); });
}
void BM_GreyScale(benchmark::State& s) {
    TimeEdit(s, "2 grey scale", [](CImageBuffer& b) { Whole(b, &CImageBuffer::GreyScale); });
}
void BM_Threshold(benchmark::State& s) {
    TimeEdit(s, "3 black and white", [](CImageBuffer& b) { Whole(b, &CImageBuffer::Threshold); });
}
void BM_RotateClockwise(benchmark::State& s) {
    TimeEdit(s, "4 rotate clockwise", [](CImageBuffer& b) { b.RotateClockwise(); });
}
void BM_RotateCounterClockwise(benchmark::State& s) {
    TimeEdit(s, "5 rotate counter-clockwise", [](CImageBuffer& b) { b.RotateCounterClockwise(); });
}

// A fixed number of paired timings each, enough for a steady median.
BENCHMARK(BM_Invert)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GreyScale)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threshold)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateClockwise)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateCounterClockwise)
    ->UseManualTime()
    ->Iterations(21)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter r;
    benchmark::RunSpecifiedBenchmarks(&r);
    std::printf("\nedit of an 8-megapixel picture against a memcpy of its 24-bit block, "
                "medians of paired timings\n(goal: point edits at most 2, turns at most 4):\n");
    for (const auto& [name, ratio] : g_ratios)
        std::printf("%-44s %6.3f  (best times: %6.3f)\n", (name + " / memcpy:").c_str(), ratio,
                    g_best[name]);
    benchmark::Shutdown();
    return 0;
}
