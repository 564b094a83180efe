// Opening a picture as the picture window does, against the codec alone,
// measured in one run:
//  - decode, initial view, the first 1920 x 1080 frame, the thumbnail and the
//    overview of an 8-megapixel JPEG, against the codec's own load and 24-bit
//    conversion of the same file;
//  - the peak memory of stepping through a folder of 8-megapixel JPEGs, above
//    the idle process (which already holds the window's frame), against one
//    picture's 24-bit block.
#include "BenchSupport.h"

#include "image/Overview.h"
#include "image/Render.h"
#include "image/View.h"
#include "thumbs/ThumbCache.h"

#include <FreeImage.h>

#include <memory>
#include <vector>

namespace {

constexpr int kFrameW = 1920, kFrameH = 1080, kFolderPictures = 6;

struct Fixture {
    bench::ProgramHome temp;
    std::string home;
    std::vector<std::string> jpegs;
    bool ok = false;
    Fixture() {
        home = temp.path;
        if (home.empty())
            return;
        for (int i = 0; i < kFolderPictures; ++i) {
            jpegs.push_back(home + "photo" + std::to_string(i) + ".jpg");
            if (!bench::MakePhotoJpeg(jpegs.back()))
                return;
        }
        ok = true;
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

// The window's state: its frame, view, renderer and overview, and the picture.
struct Window {
    bench::WindowFrame frame{kFrameW, kFrameH};
    CViewState view;
    CViewRenderer renderer;
    COverview overview;
    std::unique_ptr<CImageBuffer> image = std::make_unique<CImageBuffer>();

    // What opening a file does: decode into a new buffer, which replaces the
    // old one, then the first frame, the thumbnail and the overview.
    bool Open(const std::string& path) {
        auto next = std::make_unique<CImageBuffer>();
        if (!LoadImageFile(path, *next))
            return false;
        image = std::move(next);
        view.SetClientSize(kFrameW, kFrameH);
        view.OpenPicture(image->Width(), image->Height(), false);
        renderer.Render(*image, view, RGB(255, 255, 255), frame.dest);
        WriteThumbnail(*image, path);
        overview.BuildOverview(*image);
        return true;
    }
};

void BM_OpenToFirstFrame(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    Window w;
    for (auto _ : state) {
        state.PauseTiming();
        DeleteFileAt(GetThumbPath(F().jpegs[0])); // every first view writes its thumbnail
        state.ResumeTiming();
        benchmark::DoNotOptimize(w.Open(F().jpegs[0]));
    }
}

void BM_CodecLoadConvert(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    for (auto _ : state) {
        FIBITMAP* dib = FreeImage_Load(FIF_JPEG, F().jpegs[0].c_str(), 0);
        FIBITMAP* c = FreeImage_ConvertTo24Bits(dib);
        benchmark::DoNotOptimize(c);
        FreeImage_Unload(c);
        FreeImage_Unload(dib);
    }
}

void BM_StepThroughFolder(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    double worst = 0;
    for (auto _ : state) {
        Window w; // the idle window: its frame exists, no picture yet
        std::fill(w.frame.px.begin(), w.frame.px.end(), 0u);
        bench::ResetPeakMemory();
        long long idle = bench::StatusBytes("VmRSS");
        std::size_t block = 0;
        for (const std::string& p : F().jpegs) {
            w.Open(p);
            block = w.image->Size();
        }
        long long peak = bench::StatusBytes("VmHWM") - idle;
        worst = std::max(worst, double(peak) / double(block));
    }
    state.counters["peak/block"] = worst;
}

BENCHMARK(BM_OpenToFirstFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodecLoadConvert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepThroughFolder)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    bench::UseFreshMemory();
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter r;
    benchmark::RunSpecifiedBenchmarks(&r);
    std::printf("\n");
    r.Ratio("open to first 1920x1080 frame / codec load + 24-bit:", "BM_OpenToFirstFrame",
            "BM_CodecLoadConvert");
    benchmark::Shutdown();
    return 0;
}
