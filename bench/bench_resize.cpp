// Resizing and saving, against what it is built on, measured in one run:
// resampling an 8-megapixel picture to 1920 x 1080 and writing it as a BMP
// file, against a memcpy of the 1920 x 1080 block plus WriteBmpFile of it.
#include "BenchSupport.h"

#include "image/ResizeSave.h"

#include <cstring>
#include <random>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

struct Fixture {
    bench::TempFolder temp;
    std::string home;
    CImageBuffer photo;
    bool ok = false;
    Fixture() {
        home = temp.path;
        if (home.empty() || !photo.Allocate(bench::kPhotoWidth, bench::kPhotoHeight))
            return;
        std::mt19937 rng(7);
        for (int y = 0; y < photo.Height(); ++y) {
            std::uint8_t* row = photo.Row(y);
            for (int i = 0; i < 3 * photo.Width(); ++i)
                row[i] = static_cast<std::uint8_t>((i / 7 + y / 3 + rng() % 16) & 255);
        }
        ok = true;
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_ResampleToBmp(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    const std::string path = F().home + "resized.bmp";
    for (auto _ : state)
        if (!ResampleToBmp(F().photo, kWidth, kHeight, path))
            return state.SkipWithError("resample");
}

// The baseline: the destination block copied once and written.
void BM_MemcpyAndWriteBmp(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    const std::string path = F().home + "copied.bmp";
    const std::size_t size = CImageBuffer::StrideFor(kWidth) * kHeight;
    std::vector<std::uint8_t> block(F().photo.Bits(), F().photo.Bits() + size), copy(size);
    for (auto _ : state) {
        std::memcpy(copy.data(), block.data(), size);
        benchmark::ClobberMemory();
        if (!WriteBmpFile(copy.data(), kWidth, kHeight, path))
            return state.SkipWithError("write");
    }
}

BENCHMARK(BM_ResampleToBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyAndWriteBmp)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    bench::UseFreshMemory();
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter r;
    benchmark::RunSpecifiedBenchmarks(&r);
    std::printf("\n");
    r.Ratio("8 MP resampled to 1920x1080 and written / memcpy + BMP write:", "BM_ResampleToBmp",
            "BM_MemcpyAndWriteBmp");
    benchmark::Shutdown();
    return 0;
}
