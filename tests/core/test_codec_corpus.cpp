// Replays valid, truncated and corrupted files of every format the codec
// reads through the program's load path, in the AddressSanitizer build. The
// codec writes the files itself (a valid one must load with the codec's own
// 24-bit pixels, as before); formats it only reads get random bytes under
// their names. Each format runs in a child process: where it fails,
// the sanitizer's report names the code at fault. Faults of the codec (and
// loads that never end) are reported in the "codec_faults" property; a
// fault of the program's own code fails the test.
#include "image/Codec.h"

#include "TempDir.h"
#include "platform/FileOps.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(CodecCorpus, ValidTruncatedAndCorruptedFilesOfEveryFormat) {
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "replayed by the AddressSanitizer build";
#endif
    TempDir dir;
    std::string faults;
    for (int i = 0; i < FreeImage_GetFIFCount(); ++i) {
        const auto fif = static_cast<FREE_IMAGE_FORMAT>(i);
        const std::string ext = FreeImage_GetFIFExtensionList(fif), log = dir.File("log");
        const std::string name =
            dir.File("f" + std::to_string(i) + "." + ext.substr(0, ext.find(',')));
        if (!FreeImage_FIFSupportsReading(fif))
            continue;
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) { // exits 1 (sanitizer), 3 (a check failed), 4 (bytes of its own) or 0
            ::dup2(::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            const rlimit cpu{10, 11}; // a load that never ends is stopped
            ::setrlimit(RLIMIT_CPU, &cpu);
            FIBITMAP* rgb = FreeImage_Allocate(40, 32, 24);
            for (unsigned y = 0; y < 32; ++y)
                for (unsigned x = 0; x < 120; ++x)
                    FreeImage_GetScanLine(rgb, int(y))[x] = BYTE(x * y);
            FIBITMAP* dib = FreeImage_FIFSupportsExportBPP(fif, 24)  ? rgb
                            : FreeImage_FIFSupportsExportBPP(fif, 8) ? FreeImage_ConvertTo8Bits(rgb)
                            : FreeImage_FIFSupportsExportBPP(fif, 1) ? FreeImage_Threshold(rgb, 99)
                                                                     : FreeImage_ConvertToRGBF(rgb);
            const bool own =
                FreeImage_FIFSupportsWriting(fif) && FreeImage_Save(fif, dib, name.c_str(), 0);
            std::string bytes = ReadWholeFile(name).value_or("");
            std::mt19937 rng(i);
            while (bytes.size() < 700 && !own) // no signature: typed by its name only
                bytes.push_back(char(rng()));
            if (own) { // the file as written loads, the codec's own 24-bit pixels
                FIBITMAP* want = FreeImage_ConvertTo24Bits(FreeImage_Load(fif, name.c_str(), 0));
                CImageBuffer img;
                if (!LoadImageFile(name, img) || img.Width() != 40 ||
                    (want && std::memcmp(img.Bits(), FreeImage_GetBits(want), img.Size()) != 0))
                    ::_exit(3);
                std::ofstream(dir.File("written"), std::ios::app) << '.';
            }
            std::vector<std::string> samples;
            for (std::size_t cut :
                 {std::size_t(1), std::size_t(12), bytes.size() / 3, bytes.size() - 1})
                samples.push_back(bytes.substr(0, cut));
            for (int k = 0; k < 12; ++k) {
                samples.push_back(bytes);
                for (int n = 1 + int(rng() % 8); n > 0; --n) // mostly in the headers
                    samples.back()[rng() % (rng() % 2 ? std::min<std::size_t>(bytes.size(), 64)
                                                      : bytes.size())] = char(rng());
            }
            for (const std::string& sample : samples) {
                std::ofstream(name, std::ios::binary) << sample;
                CImageBuffer img; // a picture that loads is whole
                if (LoadImageFile(name, img) &&
                    img.Size() != std::size_t(img.Stride()) * img.Height())
                    ::_exit(3);
            }
            ::_exit(own ? 0 : 4);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (status == 0 || status == 4 << 8)
            continue;
        ASSERT_NE(status, 3 << 8) << name << " did not load as it should";
        // The first frame of the report outside the sanitizer and the C
        // library lies in a shared library (the codec's), not in ours.
        std::istringstream report(ReadWholeFile(log).value_or(""));
        for (std::string line; std::getline(report, line);)
            if (line.find("    #") == 0 && line.find("sanitizer") == std::string::npos &&
                line.find("libc.so") == std::string::npos) {
                EXPECT_NE(line.find(".so"), std::string::npos) << name << ":\n" << report.str();
                break;
            }
        faults +=
            name.substr(dir.Path().size()) + (WIFSIGNALED(status) ? " (no end) " : " (crash) ");
    }
    EXPECT_GE(ReadWholeFile(dir.File("written")).value_or("").size(), 20u); // formats written
    RecordProperty("codec_faults", faults);
    std::printf("The codec itself fails on: %s\n", faults.c_str());
}

} // namespace
