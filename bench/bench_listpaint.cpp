// Cost of a full repaint of the thumbnail list, 1920 x 1080 pixels (about 300
// cells, each with a cache file), against reading those cache files alone,
// measured in one run:
//  - BM_BareCacheReads: the cache files of the painted cells read whole;
//  - BM_ListPaintPixels: the list's pixel painting (cache names, cache reads
//    and checks, thumbnails, shadows, frames) into a 1920 x 1080 block;
//  - BM_ListRepaintWindow (built with the window library): the list window's
//    own repaint, texts included, on the off-screen platform.
// The pictures and the cache live in a temporary program folder on the file
// system of TMPDIR (default /tmp).

#include "BenchSupport.h"
#include "thumbs/ListPaint.h"
#include "thumbs/ThumbCache.h"

#ifdef KELVRA_BENCH_QT
#include "app/ImgContainerWnd.h"
#include "app/KelvraApp.h"
#include "app/MainFrame.h"
#include "library/TreeContainerWnd.h"
#include "thumbs/ImageWndList.h"

#include <QApplication>
#include <QScrollBar>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kPictures = 330; // more than one screen: the list scrolls

struct Fixture {
    bench::ProgramHome temp;
    std::string home, folder;
    std::vector<std::string> pictures;
    std::vector<std::string> paintedCacheFiles; // the cache files one repaint reads
    bool ok = false;

    Fixture() {
        home = temp.path;
        if (home.empty())
            return;
        folder = home + "pics/";
        std::filesystem::create_directory(folder);
        CImageBuffer img;
        if (!img.Allocate(800, 600, RGB(90, 120, 150)))
            return;
        for (int i = 0; i < kPictures; ++i) {
            std::string p = folder + "IMG_" + std::to_string(10000 + i) + ".jpg";
            if (!WriteFileAtomically(p, std::string(2000 + i, 'p')) || !WriteThumbnail(img, p))
                return;
            pictures.push_back(p);
        }
        ok = true;
    }
};

Fixture& TheFixture() {
    static Fixture f;
    return f;
}

struct CorePaint {
    std::vector<std::uint32_t> bits = std::vector<std::uint32_t>(std::size_t(kWidth) * kHeight);
    CItemStates states;
    CListLayout layout{kPictures, kWidth, kHeight};
    ListPaintInput in;
    explicit CorePaint(const Fixture& f) {
        states.Reset(kPictures);
        in.layout = &layout;
        in.pathOf = [&f](int i) { return f.pictures[std::size_t(i)]; };
        in.states = &states;
        in.thumbFolder = GetThumbFolder();
    }
    std::vector<ListCellText> Paint() {
        ListCanvas canvas{bits.data(), kWidth, kHeight, kWidth};
        return PaintList(canvas, in);
    }
};

void BM_BareCacheReads(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    if (f.paintedCacheFiles.empty()) {
        CorePaint paint(f);
        for (const ListCellText& t : paint.Paint())
            f.paintedCacheFiles.push_back(GetThumbPath(f.pictures[std::size_t(t.index)]));
    }
    for (auto _ : state)
        for (const std::string& c : f.paintedCacheFiles)
            benchmark::DoNotOptimize(ReadWholeFile(c));
    state.counters["files"] = double(f.paintedCacheFiles.size());
}

void BM_ListPaintPixels(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    CorePaint paint(f);
    std::size_t cells = 0;
    for (auto _ : state)
        cells = paint.Paint().size();
    state.counters["cells"] = double(cells);
}

#ifdef KELVRA_BENCH_QT
// The program's frame showing the fixture's folder in a list window whose
// client area is 1920 x 1080.
struct ListWindow {
    CKelvraApp app;
    CImageWndList* list = nullptr;
    explicit ListWindow(const Fixture& f) {
        if (!app.InitInstance({}))
            return;
        CMainFrame* frame = app.MainFrame();
        frame->GetTreeContainer()->ShowFolder(f.folder);
        frame->ShowListMode();
        list = frame->GetImgContainer()->ListWnd();
        if (list)
            list->setGeometry(0, 0, kWidth + list->ScrollBar()->sizeHint().width(), kHeight);
    }
};

void BM_ListRepaintWindow(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.ok) {
        state.SkipWithError("fixture");
        return;
    }
    ListWindow w(f);
    if (!w.list) {
        state.SkipWithError("list window");
        return;
    }
    for (auto _ : state)
        w.list->RedrawAll();
    state.counters["cells"] = double(w.list->Texts().size());
    state.counters["width"] = w.list->ClientWidth();
}
#endif

// The same three measured in turns, many times over, so that the load of a
// shared machine falls on all of them alike; prints the ratios of the
// medians.
void Interleaved(int rounds) {
    Fixture& f = TheFixture();
    if (!f.ok || f.paintedCacheFiles.empty())
        return;
    CorePaint paint(f);
#ifdef KELVRA_BENCH_QT
    ListWindow w(f);
#endif
    std::vector<double> reads, pixels, window;
    auto now = [] { return std::chrono::steady_clock::now(); };
    auto ms = [](auto a, auto b) {
        return std::chrono::duration<double, std::milli>(b - a).count();
    };
    for (int r = 0; r < rounds; ++r) {
        auto t0 = now();
        for (const std::string& c : f.paintedCacheFiles)
            benchmark::DoNotOptimize(ReadWholeFile(c));
        auto t1 = now();
        benchmark::DoNotOptimize(paint.Paint());
        auto t2 = now();
        reads.push_back(ms(t0, t1));
        pixels.push_back(ms(t1, t2));
#ifdef KELVRA_BENCH_QT
        if (w.list) {
            auto t3 = now();
            w.list->RedrawAll();
            window.push_back(ms(t3, now()));
        }
#endif
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    const double base = median(reads);
    std::printf("interleaved, %d rounds, medians: reads %.3f ms, pixels %.3f ms", rounds, base,
                median(pixels));
    if (!window.empty())
        std::printf(", window %.3f ms", median(window));
    std::printf("\n%-52s %6.3f\n",
                "interleaved: list pixels / bare cache reads:", median(pixels) / base);
    if (!window.empty()) {
        std::printf("%-52s %6.3f\n",
                    "interleaved: list window repaint / bare cache reads:", median(window) / base);
        std::printf("%-52s %6.3f\n", "interleaved: list window repaint in 60 Hz frames:",
                    median(window) / (1000.0 / 60.0));
    }
}

BENCHMARK(BM_BareCacheReads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListPaintPixels)->Unit(benchmark::kMillisecond);
#ifdef KELVRA_BENCH_QT
BENCHMARK(BM_ListRepaintWindow)->Unit(benchmark::kMillisecond);
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef KELVRA_BENCH_QT
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.Ratio("list pixels / bare cache reads:", "BM_ListPaintPixels", "BM_BareCacheReads");
    reporter.Ratio("list window repaint / bare cache reads:", "BM_ListRepaintWindow",
                   "BM_BareCacheReads");
    if (reporter.Has("BM_ListRepaintWindow"))
        std::printf("%-52s %6.3f\n", "list window repaint in 60 Hz frames:",
                    reporter.times.at("BM_ListRepaintWindow") / (1000.0 / 60.0));
    Interleaved(200);
    benchmark::Shutdown();
    return 0;
}
