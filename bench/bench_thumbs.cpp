// Cost of the thumbnail cache against the work around it, measured in one run:
//  - writing the thumbnail of a freshly loaded 8-megapixel JPEG, against the
//    load itself (the image window does both for every picture it opens);
//  - reading the cache files of a full repaint of the list (300 cells: the
//    cache name of each picture plus its cache file), against bare reads of
//    the same cache files.
// The pictures and the cache live in a temporary program folder on the same
// file system as TMPDIR (default /tmp).

#include "BenchSupport.h"
#include "image/Codec.h"
#include "platform/FileOps.h"
#include "thumbs/ThumbCache.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kPictureWidth = bench::kPhotoWidth, kPictureHeight = bench::kPhotoHeight;
constexpr int kRepaintCells = 300;

struct Fixture {
    bench::ProgramHome temp;
    std::string home;
    std::string jpeg;
    std::vector<std::string> pictures; // the list's files, each with a cache file
    std::vector<std::string> cacheFiles;
    bool ok = false;

    Fixture() {
        home = temp.path;
        if (home.empty())
            return;
        jpeg = home + "photo.jpg";
        if (!bench::MakePhotoJpeg(jpeg, kPictureWidth, kPictureHeight))
            return;

        std::filesystem::create_directory(home + "pics");
        CImageBuffer small;
        if (!small.Allocate(800, 600, RGB(90, 120, 150)))
            return;
        for (int i = 0; i < kRepaintCells; ++i) {
            std::string p = home + "pics/IMG_" + std::to_string(10000 + i) + ".jpg";
            if (!WriteFileAtomically(p, std::string(2000 + i, 'p')) || !WriteThumbnail(small, p))
                return;
            pictures.push_back(p);
            cacheFiles.push_back(GetThumbPath(p));
        }
        ok = true;
    }
};

Fixture& TheFixture() {
    static Fixture f;
    return f;
}

void BM_Load8MP(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    for (auto _ : state) {
        CImageBuffer img;
        benchmark::DoNotOptimize(LoadImageFile(f.jpeg, img));
    }
}

void BM_Load8MPAndWriteThumbnail(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        DeleteFileAt(GetThumbPath(f.jpeg));
        state.ResumeTiming();
        CImageBuffer img;
        LoadImageFile(f.jpeg, img);
        benchmark::DoNotOptimize(WriteThumbnail(img, f.jpeg));
    }
}

void BM_WriteThumbnailOf8MP(benchmark::State& state) {
    Fixture& f = TheFixture();
    CImageBuffer img;
    if (!f.ok || !LoadImageFile(f.jpeg, img)) {
        state.SkipWithError("fixture");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        DeleteFileAt(GetThumbPath(f.jpeg));
        state.ResumeTiming();
        benchmark::DoNotOptimize(WriteThumbnail(img, f.jpeg));
    }
}

void BM_RepaintReads(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    for (auto _ : state)
        for (const std::string& p : f.pictures)
            benchmark::DoNotOptimize(ReadThumbnail(p));
}

// Baseline: the same cache files read whole, without naming or checking.
void BM_BareCacheReads(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    for (auto _ : state)
        for (const std::string& c : f.cacheFiles)
            benchmark::DoNotOptimize(ReadWholeFile(c));
}

BENCHMARK(BM_Load8MP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load8MPAndWriteThumbnail)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteThumbnailOf8MP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintReads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareCacheReads)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.times;
    auto has = [&](const char* n) { return reporter.Has(n); };
    std::printf("\n");
    if (has("BM_Load8MP") && has("BM_WriteThumbnailOf8MP"))
        std::printf("thumbnail write / 8-MP load:             %6.2f %%\n",
                    100.0 * t["BM_WriteThumbnailOf8MP"] / t["BM_Load8MP"]);
    if (has("BM_Load8MP") && has("BM_Load8MPAndWriteThumbnail"))
        std::printf("(load + write) / load:                   %6.3f\n",
                    t["BM_Load8MPAndWriteThumbnail"] / t["BM_Load8MP"]);
    if (has("BM_RepaintReads") && has("BM_BareCacheReads"))
        std::printf("repaint reads (%d files) / bare reads:  %6.2f  (%.3f ms a repaint)\n",
                    kRepaintCells, t["BM_RepaintReads"] / t["BM_BareCacheReads"],
                    t["BM_RepaintReads"]);
    if (has("BM_RepaintReads") && has("BM_Load8MP"))
        std::printf("repaint reads / 8-MP load:               %6.2f %%\n",
                    100.0 * t["BM_RepaintReads"] / t["BM_Load8MP"]);
    benchmark::Shutdown();
    return 0;
}
