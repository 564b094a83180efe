// Speed of the EXIF reader and the GPS export, as ratios against reading the
// same files' first 64 KiB from disk in the same run:
//   reading the EXIF record of a camera-like JPEG   / reading its first 64 KiB
//   exporting the GPS data of a folder of 1000 JPEGs / reading their first 64 KiB
#include "BenchSupport.h"

#include "../tests/core/ExifTestWriter.h"
#include "thumbs/ExifReader.h"
#include "thumbs/GpsExport.h"

#include <fcntl.h>
#include <unistd.h>

#include <vector>

using namespace exiftest;

namespace {

constexpr int kCameraWidth = 2048, kCameraHeight = 1536; // 3.1 megapixels
constexpr int kFolderFiles = 1000;

std::string ReadAll(const std::string& path) {
    return ReadWholeFile(path).value_or("");
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The EXIF block of a camera: IFD0, an EXIF directory with a maker note, GPS
// and interoperability directories and a second directory holding a small
// preview picture.
std::string CameraTiff(const std::string& preview, int index) {
    TiffWriter w(index % 2 == 1);
    int ifd0 = w.AddDir();
    int exif = w.AddDir();
    int gps = w.AddDir();
    int interop = w.AddDir();
    int ifd1 = w.AddDir();
    w.Ascii(ifd0, 270, "                               ");
    w.Ascii(ifd0, 271, "Canon");
    w.Ascii(ifd0, 272, "Canon EOS 5D Mark III");
    w.Short(ifd0, 274, 1);
    w.Rational(ifd0, 282, 72, 1);
    w.Rational(ifd0, 283, 72, 1);
    w.Short(ifd0, 296, 2);
    w.Ascii(ifd0, 305, "Firmware Version 1.2.3");
    w.Ascii(ifd0, 306, "2015:03:07 09:05:11");
    w.Ascii(ifd0, 315, "");
    w.Short(ifd0, 531, 2);
    w.Link(ifd0, 34665, exif);
    w.Link(ifd0, 34853, gps);
    w.Dir(ifd0).next = ifd1;

    w.Rational(exif, 33434, 1, 250);
    w.Rational(exif, 33437, 56, 10);
    w.Short(exif, 34850, 3);
    w.Short(exif, 34855, 800);
    w.Undefined(exif, 36864, "0230");
    w.Ascii(exif, 36867, "2015:03:07 09:05:11");
    w.Ascii(exif, 36868, "2015:03:07 09:05:11");
    w.Undefined(exif, 37121, Bytes({1, 2, 3, 0}));
    w.Rational(exif, 37377, 8, 1, kSRational);
    w.Rational(exif, 37378, 5, 1);
    w.Rational(exif, 37380, 0, 3, kSRational);
    w.Rational(exif, 37381, 3, 1);
    w.Short(exif, 37383, 5);
    w.Short(exif, 37385, 16);
    w.Rational(exif, 37386, 105, 1);
    w.Undefined(exif, 37500, std::string(9000, '\x5A')); // maker note
    w.Undefined(exif, 37510, std::string(264, '\0'));
    w.Ascii(exif, 37520, "00");
    w.Ascii(exif, 37521, "00");
    w.Ascii(exif, 37522, "00");
    w.Undefined(exif, 40960, "0100");
    w.Short(exif, 40961, 1);
    w.Short(exif, 40962, kCameraWidth);
    w.Short(exif, 40963, kCameraHeight);
    w.Link(exif, 40965, interop);
    w.Rational(exif, 41486, 5760000, 1468);
    w.Rational(exif, 41487, 3840000, 979);
    w.Short(exif, 41488, 2);
    w.Short(exif, 41985, 0);
    w.Short(exif, 41986, 1);
    w.Short(exif, 41987, 0);
    w.Short(exif, 41990, 0);
    w.Ascii(exif, 42033, "012345678901");
    w.Rationals(exif, 42034, {{24, 1}, {105, 1}, {0, 1}, {0, 1}});
    w.Ascii(exif, 42036, "EF24-105mm f/4L IS USM");

    w.Add(gps, 0, kByte, 4, Bytes({2, 3, 0, 0}));
    w.Ascii(gps, 1, index % 3 ? "N" : "S");
    w.Rationals(gps, 2, {{39, 1}, {index % 60, 1}, {1512 + index, 100}});
    w.Ascii(gps, 3, "E");
    w.Rationals(gps, 4, {{116, 1}, {24, 1}, {index, 100}});
    w.Add(gps, 5, kByte, 1, Bytes({0}));
    w.Rational(gps, 6, 4352 + index, 10);
    w.Ascii(gps, 29, "2015:03:07");

    w.Ascii(interop, 1, "R98");
    w.Undefined(interop, 2, "0100");

    w.Short(ifd1, 259, 6);
    w.Rational(ifd1, 282, 72, 1);
    w.Rational(ifd1, 283, 72, 1);
    w.Short(ifd1, 296, 2);
    w.Undefined(ifd1, 513, preview); // the preview picture itself
    w.Long(ifd1, 514, static_cast<std::uint32_t>(preview.size()));
    return w.Build();
}

// A camera-like file: the start of image, the EXIF block, then the picture's
// own sections (tables, frame header, scan) as the codec wrote them.
std::string CameraFile(const std::string& plainJpeg, const std::string& preview, int index) {
    return Soi() + ExifSection(CameraTiff(preview, index)) + plainJpeg.substr(2);
}

struct Fixture {
    std::string folder;
    std::string camera;             // one camera-like file
    std::vector<std::string> files; // the folder of JPEGs
    std::size_t cameraBytes = 0;
    bool ok = false;

    Fixture() {
        folder = bench::MakeTempFolder();
        if (folder.empty())
            return;
        std::string big = folder + "big.jpg", small = folder + "small.jpg",
                    thumb = folder + "thumb.jpg";
        if (!bench::MakePhotoJpeg(big, kCameraWidth, kCameraHeight) ||
            !bench::MakePhotoJpeg(small, 640, 480) || !bench::MakePhotoJpeg(thumb, 160, 120))
            return;
        std::string preview = ReadAll(thumb);
        camera = folder + "camera.jpg";
        std::string cameraData = CameraFile(ReadAll(big), preview, 0);
        cameraBytes = cameraData.size();
        WriteAll(camera, cameraData);
        std::string smallData = ReadAll(small);
        std::string pics = folder + "pics/";
        std::filesystem::create_directories(pics);
        for (int i = 0; i < kFolderFiles; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
            files.push_back(pics + name);
            WriteAll(files.back(), CameraFile(smallData, preview, i));
        }
        setenv("KELVRA_HOME", folder.c_str(), 1);
        ok = true;
    }
    ~Fixture() {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

std::size_t ReadFirst64K(const std::string& path) {
    static char buf[64 * 1024];
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return 0;
    std::size_t got = 0;
    while (got < sizeof buf) {
        ssize_t n = ::read(fd, buf + got, sizeof buf - got);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return got;
}

void BM_ReadFirst64K(benchmark::State& state) {
    Fixture& f = Data();
    if (!f.ok) {
        state.SkipWithError("no test files");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadFirst64K(f.camera));
    state.counters["file_bytes"] = static_cast<double>(f.cameraBytes);
}

void BM_ReadExifRecord(benchmark::State& state) {
    Fixture& f = Data();
    if (!f.ok) {
        state.SkipWithError("no test files");
        return;
    }
    ExifRecord record;
    for (auto _ : state) {
        CExifReader reader;
        benchmark::DoNotOptimize(reader.ReadJpegFile(f.camera));
        reader.CopyRecord(&record);
        benchmark::DoNotOptimize(record);
    }
    if (record.dGpsLatitude == 0 || record.nWidth != kCameraWidth)
        state.SkipWithError("the camera file was not read as expected");
}

void BM_FolderFirst64K(benchmark::State& state) {
    Fixture& f = Data();
    if (!f.ok) {
        state.SkipWithError("no test files");
        return;
    }
    for (auto _ : state)
        for (const std::string& path : f.files)
            benchmark::DoNotOptimize(ReadFirst64K(path));
}

void BM_ExportGps1000(benchmark::State& state) {
    Fixture& f = Data();
    if (!f.ok) {
        state.SkipWithError("no test files");
        return;
    }
    for (auto _ : state)
        if (!ExportGpsInfo(f.folder + "pics/", f.files))
            state.SkipWithError("export failed");
}

BENCHMARK(BM_ReadFirst64K)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadExifRecord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FolderFirst64K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportGps1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nratios (same run; limits 1.5 and 2.0):\n");
    reporter.Ratio("EXIF record / first 64 KiB of the file", "BM_ReadExifRecord",
                   "BM_ReadFirst64K");
    reporter.Ratio("GPS export of 1000 JPEGs / their first 64 KiB", "BM_ExportGps1000",
                   "BM_FolderFirst64K");
    benchmark::Shutdown();
    return 0;
}
