// Loading a picture and listing a folder, against what they are built on,
// measured in one run:
//  - LoadImageFile of an 8-megapixel JPEG against the codec's own load and
//    24-bit conversion of the same file, and the peak memory of a load against
//    the 24-bit pixel block;
//  - the picture list of a folder of 10,000 entries against a bare directory
//    read of the same folder plus a sort of the names.
#include "BenchSupport.h"

#include "app/PictureFiles.h"
#include "platform/DirList.h"

#include <FreeImage.h>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFolderEntries = 10000;

struct Fixture {
    bench::TempFolder temp;
    std::string home, jpeg, folder;
    bool ok = false;
    Fixture() {
        home = temp.path;
        if (home.empty())
            return;
        jpeg = home + "photo.jpg";
        folder = home + "many/";
        std::filesystem::create_directory(folder);
        // A folder of pictures mixed with other files, like a camera dump.
        const char* exts[] = {".jpg", ".JPG", ".png", ".txt", ".xmp", ".tif", ".mov", ".gif"};
        for (int i = 0; i < kFolderEntries; ++i) {
            std::string name = folder + "IMG_" + std::to_string(100000 + (i * 7919) % 100000) +
                               "_" + std::to_string(i) + exts[i % 8];
            int fd = ::open(name.c_str(), O_CREAT | O_WRONLY, 0644);
            if (fd < 0)
                return;
            ::close(fd);
        }
        ok = bench::MakePhotoJpeg(jpeg);
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_LoadImageFile(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    long long block = 0, peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench::ResetPeakMemory();
        long long before = bench::StatusBytes("VmRSS");
        state.ResumeTiming();
        CImageBuffer img;
        benchmark::DoNotOptimize(LoadImageFile(F().jpeg, img));
        state.PauseTiming();
        peak = std::max(peak, bench::StatusBytes("VmHWM") - before);
        block = static_cast<long long>(img.Size());
        state.ResumeTiming();
    }
    state.counters["peak/block"] = block ? double(peak) / double(block) : 0;
}

// The baseline: the codec's own load and conversion of the same file.
void BM_FreeImageLoadConvert(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    for (auto _ : state) {
        FIBITMAP* dib = FreeImage_Load(FIF_JPEG, F().jpeg.c_str(), 0);
        FIBITMAP* c = FreeImage_ConvertTo24Bits(dib);
        benchmark::DoNotOptimize(c);
        FreeImage_Unload(c);
        FreeImage_Unload(dib);
    }
}

void BM_ListFolderPictures(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    for (auto _ : state)
        benchmark::DoNotOptimize(ListFolderPictures(F().folder));
}

// The baseline: read the folder's names and sort them, nothing else.
void BM_BareDirectoryReadAndSort(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::BareDirectoryReadAndSort(F().folder));
}

BENCHMARK(BM_LoadImageFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeImageLoadConvert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFolderPictures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareDirectoryReadAndSort)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    bench::UseFreshMemory();
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter r;
    benchmark::RunSpecifiedBenchmarks(&r);
    std::printf("\n");
    r.Ratio("LoadImageFile / FreeImage load + 24-bit conversion:", "BM_LoadImageFile",
            "BM_FreeImageLoadConvert");
    r.Ratio("picture list / bare directory read + sort:", "BM_ListFolderPictures",
            "BM_BareDirectoryReadAndSort");
    benchmark::Shutdown();
    return 0;
}
