#pragma once
// Shared pieces of the benchmarks: a private temporary folder, a
// photograph-like 8-megapixel JPEG, peak-memory readings, and a reporter that
// keeps each benchmark's time so the program can print ratios measured in
// the same run.
#include "image/Codec.h"
#include "image/ViewDest.h"
#include "platform/FileOps.h"

#include <benchmark/benchmark.h>

#include "platform/DirList.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace bench {

constexpr int kPhotoWidth = 3264, kPhotoHeight = 2448; // 8.0 megapixels

// A new temporary folder ending with "/", removed by the caller.
inline std::string MakeTempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/kelvra-bench-XXXXXX";
    return ::mkdtemp(tmpl.data()) ? tmpl + "/" : std::string();
}

// A new temporary folder (see MakeTempFolder), removed with everything in
// it when this goes.
struct TempFolder {
    std::string path = MakeTempFolder();
    TempFolder() = default;
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
};

// A temporary folder (see TempFolder) that the program takes for its own
// (KELVRA_HOME): the thumbnail cache and the settings go there.
struct ProgramHome : TempFolder {
    ProgramHome() {
        if (!path.empty())
            ::setenv("KELVRA_HOME", path.c_str(), 1);
    }
};

// A window's 32-bit frame of w x h pixels and the view's destination in it.
struct WindowFrame {
    std::vector<std::uint32_t> px;
    CViewDest dest;
    WindowFrame(int w, int h)
        : px(std::size_t(w) * h), dest{reinterpret_cast<std::uint8_t*>(px.data()), w, h, w * 4,
                                       EPixelFormat::kXrgb32} {}
    WindowFrame(const WindowFrame&) = delete;
    WindowFrame& operator=(const WindowFrame&) = delete;
};

// Writes a photograph-like JPEG (smooth gradients with noise, so it has a
// usual size) of the given size; false when it could not be written.
inline bool MakePhotoJpeg(const std::string& path, int width = kPhotoWidth,
                          int height = kPhotoHeight) {
    CImageBuffer img;
    if (!img.Allocate(width, height))
        return false;
    std::mt19937 rng(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int n = static_cast<int>(rng() % 24);
            img.SetPixelRgb(x, y, (x * 255 / width + n) & 255, (y * 255 / height + n) & 255,
                            ((x + y) / 24 + n) & 255);
        }
    return SaveImageFile(img, 0, 0, width, height, path, kFormatJpeg);
}

// Makes every large block its own mapping that goes back to the system when
// freed, so that the resident size tells what is in use (otherwise the
// allocator keeps a freed picture's pages and a later peak goes unseen).
inline void UseFreshMemory() {
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 20);
}

// The baseline of every listing: the names of a folder read with readdir and
// sorted without regard to case, nothing else.
inline std::vector<std::string> BareDirectoryReadAndSort(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            names.emplace_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    return names;
}

// Resets the process's peak resident size to its current size.
inline void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
inline long long StatusBytes(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string key;
    long long kb = 0;
    while (in >> key) {
        if (key == std::string(field) + ":") {
            in >> kb;
            return kb * 1024;
        }
        std::getline(in, key);
    }
    return -1;
}

// Keeps the mean real time of every benchmark for the ratios at the end.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                times[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    bool Has(const std::string& n) const { return times.count(n) && times.at(n) > 0; }
    // Prints "label: a / b" when both were measured.
    void Ratio(const char* label, const std::string& a, const std::string& b) const {
        if (Has(a) && Has(b))
            std::printf("%-52s %6.3f\n", label, times.at(a) / times.at(b));
    }
    std::map<std::string, double> times;
};

} // namespace bench
