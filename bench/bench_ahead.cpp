// Stepping to the next picture and loading a JPEG, against their floors,
// each pair measured in turns in the same iterations (targets: 1.3 each):
//  - the next picture of a folder of 8-megapixel JPEGs when decode-ahead has
//    finished before the key: from the command to the new frame drawn in a
//    1280 x 800 window image (the spare taken, the old picture handed to the
//    worker, the view laid out and drawn), against a repaint of the same
//    picture at the same zoom (counter next/repaint);
//  - LoadImageFile of an 8-megapixel JPEG against a bare tjDecompress2 with
//    the same flags of the same bytes into a 24-bit block made beforehand
//    (counter load/bare).
// bench/x_stepping.sh measures the same steps in the real program under X:
// key to screen, and resident memory.
#include "BenchSupport.h"

#include "image/DecodeAhead.h"
#include "image/JpegDecode.h"
#include "image/Render.h"
#include "image/View.h"

#include <thread>
#include <turbojpeg.h>

namespace {

constexpr int kFrameW = 1280, kFrameH = 800, kPictures = 4;

struct Fixture {
    bench::TempFolder temp;
    std::string home;
    std::vector<std::string> jpegs;
    bool ok = false;
    Fixture() {
        home = temp.path;
        for (int i = 0; i < kPictures && !home.empty(); ++i) {
            jpegs.push_back(home + "photo" + std::to_string(i) + ".jpg");
            if (!bench::MakePhotoJpeg(jpegs.back()))
                return;
        }
        ok = !home.empty();
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

// The picture window's drawing state.
struct Window {
    bench::WindowFrame frame{kFrameW, kFrameH};
    CViewState view;
    CViewRenderer renderer;
    CDecodeAhead ahead;
    std::unique_ptr<CImageBuffer> image = std::make_unique<CImageBuffer>();
    void Show(std::unique_ptr<CImageBuffer> img) {
        ahead.Discard(std::exchange(image, std::move(img))); // freed on the worker
        view.SetClientSize(kFrameW, kFrameH);
        view.OpenPicture(image->Width(), image->Height(), false);
        renderer.Render(*image, view, RGB(255, 255, 255), frame.dest);
    }
};

// Each step is followed by a repaint of the new picture at the same zoom, so
// that both see the same load of the machine; the counters give the mean
// of each and their ratio.
void BM_NextWithSpareReady(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    Window w;
    auto first = std::make_unique<CImageBuffer>();
    LoadImageFile(F().jpegs[0], *first);
    w.Show(std::move(first));
    using Clock = std::chrono::steady_clock;
    double next = 0, repaint = 0;
    int i = 0;
    for (auto _ : state) {
        const std::string& path = F().jpegs[std::size_t(++i % kPictures)];
        w.ahead.Request(path);
        while (!w.ahead.Holds(path))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto t0 = Clock::now();
        std::unique_ptr<CImageBuffer> spare = w.ahead.Take(path);
        if (!spare)
            return state.SkipWithError("no spare");
        w.Show(std::move(spare));
        const auto t1 = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the old one is freed
        const auto t2 = Clock::now();
        w.renderer.Render(*w.image, w.view, RGB(255, 255, 255), w.frame.dest);
        const auto t3 = Clock::now();
        next += std::chrono::duration<double, std::milli>(t1 - t0).count();
        repaint += std::chrono::duration<double, std::milli>(t3 - t2).count();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    state.counters["next_ms"] = next / double(state.iterations());
    state.counters["repaint_ms"] = repaint / double(state.iterations());
    state.counters["next/repaint"] = next / repaint;
}

// LoadImageFile and a bare decode of the same bytes, one after the other in
// each iteration, so that both see the same load of the machine.
void BM_LoadImageFileAgainstBareDecode(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    const std::string bytes = *ReadWholeFile(F().jpegs[0]);
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    tjhandle tj = tjInitDecompress();
    const int w = bench::kPhotoWidth, h = bench::kPhotoHeight;
    const int stride = static_cast<int>(CImageBuffer::StrideFor(w));
    std::vector<unsigned char> out(std::size_t(stride) * h);
    using Clock = std::chrono::steady_clock;
    double load = 0, bare = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        CImageBuffer img;
        benchmark::DoNotOptimize(LoadImageFile(F().jpegs[0], img));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(tjDecompress2(tj, src, bytes.size(), out.data(), w, stride, h,
                                               TJPF_BGR, FastJpegFlags()));
        const auto t2 = Clock::now();
        load += std::chrono::duration<double, std::milli>(t1 - t0).count();
        bare += std::chrono::duration<double, std::milli>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    tjDestroy(tj);
    state.counters["load_ms"] = load / double(state.iterations());
    state.counters["bare_ms"] = bare / double(state.iterations());
    state.counters["load/bare"] = load / bare;
}

BENCHMARK(BM_NextWithSpareReady)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(60);
BENCHMARK(BM_LoadImageFileAgainstBareDecode)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(30);

} // namespace

int main(int argc, char** argv) {
    ReturnLargeBlocksAtOnce(); // as the program does
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
