// Background thumbnails against the picture window's own work, in one run:
// the thumbnails of a folder of 8-megapixel JPEGs made by the background
// maker on its one worker, against LoadImageFile followed by the cache write
// of each picture on the benchmark's thread. Both start from an empty cache.
//
// The folder holds KELVRA_BENCH_PICTURES pictures (100 unless set): links
// of one photograph under names of their own, so each has its own cache
// file, without 100 copies on the disk. The maker runs once at its normal
// (lowest) priority, which yields to anything else the machine runs, and
// once at the priority of the benchmark's thread, the figure to compare.
// Last, how late a steady tick on the benchmark's thread comes while the
// maker works, against the same tick with nothing else running.

#include "BenchSupport.h"
#include "image/Codec.h"
#include "platform/FileOps.h"
#include "thumbs/ThumbCache.h"
#include "thumbs/ThumbMaker.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

int PictureCount() {
    const char* n = std::getenv("KELVRA_BENCH_PICTURES");
    return n && std::atoi(n) > 0 ? std::atoi(n) : 100;
}

struct Fixture {
    bench::ProgramHome temp;
    std::string home;
    std::vector<std::string> pictures;
    bool ok = false;

    Fixture() {
        home = temp.path;
        if (home.empty())
            return;
        const std::string photo = home + "photo.jpg";
        if (!bench::MakePhotoJpeg(photo))
            return;
        std::filesystem::create_directory(home + "pics");
        for (int i = 0; i < PictureCount(); ++i) {
            std::string p = home + "pics/IMG_" + std::to_string(1000 + i) + ".jpg";
            if (::link(photo.c_str(), p.c_str()) != 0)
                return;
            pictures.push_back(p);
        }
        ok = true;
    }
    void ClearCache() const {
        std::error_code ec;
        std::filesystem::remove_all(GetThumbFolder(), ec);
    }
};

Fixture& TheFixture() {
    static Fixture f;
    return f;
}

// Baseline: what the picture window does for each picture it opens.
void BM_LoadAndWriteEach(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        f.ClearCache();
        state.ResumeTiming();
        for (const std::string& p : f.pictures) {
            CImageBuffer img;
            benchmark::DoNotOptimize(LoadImageFile(p, img) && WriteThumbnail(img, p));
        }
    }
    state.counters["pictures"] = static_cast<double>(f.pictures.size());
}

void RunMaker(benchmark::State& state, bool lowPriority) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    std::mutex m;
    std::condition_variable cv;
    int finished = 0, made = 0;
    CThumbMaker::Callbacks callbacks{[&](int, int) {
                                         std::lock_guard<std::mutex> lock(m);
                                         ++made;
                                     },
                                     [&](int job) {
                                         std::lock_guard<std::mutex> lock(m);
                                         finished = job;
                                         cv.notify_all();
                                     }};
    CThumbMaker maker(callbacks, lowPriority);
    for (auto _ : state) {
        state.PauseTiming();
        f.ClearCache();
        {
            std::lock_guard<std::mutex> lock(m);
            made = 0;
        }
        state.ResumeTiming();
        const int job = maker.Start(f.pictures, 0, 40);
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [&] { return finished == job; });
    }
    std::lock_guard<std::mutex> lock(m);
    if (made != static_cast<int>(f.pictures.size()))
        state.SkipWithError("not every thumbnail was made");
    state.counters["pictures"] = static_cast<double>(f.pictures.size());
}

void BM_BackgroundMaker(benchmark::State& state) {
    RunMaker(state, false);
}

void BM_BackgroundMakerLowPriority(benchmark::State& state) {
    RunMaker(state, true);
}

// The user-interface thread's side: a tick every 4 ms on the benchmark's
// thread for 2 s, and how late each one comes, while the maker works at its
// lowest priority and while nothing else of the program runs. Reported are
// the worst and the 99th percentile in milliseconds (a frame is 16.7 ms).
void MeasureTicks(benchmark::State& state, bool making) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    using Clock = std::chrono::steady_clock;
    CThumbMaker maker({});
    std::vector<double> late;
    for (auto _ : state) {
        state.PauseTiming();
        f.ClearCache();
        state.ResumeTiming();
        if (making)
            maker.Start(f.pictures, 0, 40);
        Clock::time_point next = Clock::now();
        for (int i = 0; i < 500; ++i) {
            next += std::chrono::milliseconds(4);
            std::this_thread::sleep_until(next);
            late.push_back(std::chrono::duration<double, std::milli>(Clock::now() - next).count());
        }
        maker.Stop();
    }
    std::sort(late.begin(), late.end());
    state.counters["worst_ms"] = late.back();
    state.counters["p99_ms"] = late[late.size() * 99 / 100];
}

void BM_TicksWhileMaking(benchmark::State& state) {
    MeasureTicks(state, true);
}

void BM_TicksIdle(benchmark::State& state) {
    MeasureTicks(state, false);
}

BENCHMARK(BM_LoadAndWriteEach)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_BackgroundMaker)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_BackgroundMakerLowPriority)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_TicksWhileMaking)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TicksIdle)->Unit(benchmark::kMillisecond)->Iterations(1);

// Also keeps the CPU time of the whole process: the maker's worker is not
// the benchmark's thread, and a machine busy with other work stretches the
// real time of both sides by chance.
class CCpuReporter : public bench::CRatioReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                cpu[r.run_name.function_name] = r.GetAdjustedCPUTime();
        CRatioReporter::ReportRuns(runs);
    }
    void CpuRatio(const char* label, const std::string& a, const std::string& b) {
        if (cpu[a] > 0 && cpu[b] > 0)
            std::printf("%-52s %6.3f\n", label, cpu[a] / cpu[b]);
    }
    std::map<std::string, double> cpu;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CCpuReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double n = static_cast<double>(TheFixture().pictures.size());
    std::printf("\ncores: %u, pictures: %.0f of %d x %d\n", std::thread::hardware_concurrency(), n,
                bench::kPhotoWidth, bench::kPhotoHeight);
    if (reporter.Has("BM_LoadAndWriteEach") && n > 0)
        std::printf("load + cache write, per picture:        %8.2f ms\n",
                    reporter.times["BM_LoadAndWriteEach"] / n);
    for (const char* name : {"BM_BackgroundMaker", "BM_BackgroundMakerLowPriority"})
        if (reporter.Has(name) && n > 0)
            std::printf("%-30s per picture: %8.2f ms\n", name, reporter.times[name] / n);
    reporter.Ratio("background maker / (load + write)", "BM_BackgroundMaker",
                   "BM_LoadAndWriteEach");
    reporter.Ratio("background maker, lowest priority / (load + write)",
                   "BM_BackgroundMakerLowPriority", "BM_LoadAndWriteEach");
    reporter.CpuRatio("the same in process CPU time:", "BM_BackgroundMaker", "BM_LoadAndWriteEach");
    reporter.CpuRatio("lowest priority, in process CPU time:", "BM_BackgroundMakerLowPriority",
                      "BM_LoadAndWriteEach");
    benchmark::Shutdown();
    return 0;
}
