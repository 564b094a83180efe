// Writes the seed corpora of the fuzz targets into <folder>/<target>/: small
// JPEG heads and EXIF blocks in both byte orders, archive files, INI texts and
// thumbnail cache files, each built byte by byte.
#include "ExifTestWriter.h"
#include "library/StringArchive.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace exiftest;
namespace fs = std::filesystem;

namespace {

void Put(const fs::path& folder, const std::string& name, const std::string& bytes) {
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

// An EXIF block with every tag the reader knows, a GPS and an interoperability
// directory, and a second directory behind the first.
std::string FullTiff(bool big) {
    TiffWriter w(big);
    int ifd0 = w.AddDir();
    int exif = w.AddDir();
    int gps = w.AddDir();
    int interop = w.AddDir();
    int ifd1 = w.AddDir();
    w.Ascii(ifd0, 271, "Canon");
    w.Ascii(ifd0, 272, "EOS 80D");
    w.Short(ifd0, 274, 6);
    w.Rational(ifd0, 282, 72, 1);
    w.Rational(ifd0, 283, 72, 1);
    w.Short(ifd0, 296, 2);
    w.Link(ifd0, 34665, exif);
    w.Link(ifd0, 34853, gps);
    w.Dir(ifd0).next = ifd1;
    w.Rational(exif, 33434, 1, 125);
    w.Rational(exif, 33437, 28, 10);
    w.Short(exif, 34850, 2);
    w.Short(exif, 34855, 200);
    w.Undefined(exif, 36864, "0230");
    w.Ascii(exif, 36867, "2018:05:01 12:00:00");
    w.Rational(exif, 37122, 3, 1);
    w.Rational(exif, 37377, 7, 1, kSRational);
    w.Rational(exif, 37378, 3, 1);
    w.Rational(exif, 37379, 5, 1, kSRational);
    w.Rational(exif, 37380, -1, 3, kSRational);
    w.Rational(exif, 37381, 3, 1);
    w.Rational(exif, 37382, 12, 10);
    w.Short(exif, 37383, 5);
    w.Short(exif, 37384, 1);
    w.Short(exif, 37385, 0x19);
    w.Rational(exif, 37386, 50, 1);
    w.Undefined(exif, 37510, std::string("ASCII\0\0\0", 8) + "seed  ");
    w.Short(exif, 40962, 6000);
    w.Short(exif, 40963, 4000);
    w.Link(exif, 40965, interop);
    w.Rational(exif, 41486, 6000, 1);
    w.Rational(exif, 41487, 4000, 1);
    w.Short(exif, 41488, 3);
    w.Float(exif, 37386, 35.0f);
    w.Double(exif, 37382, 2.5);
    w.Add(gps, 0, kByte, 4, Bytes({2, 2, 0, 0}));
    w.Ascii(gps, 1, "N");
    w.Rationals(gps, 2, {{39, 1}, {54, 1}, {1512, 100}});
    w.Ascii(gps, 3, "E");
    w.Rationals(gps, 4, {{116, 1}, {24, 1}, {0, 1}});
    w.Add(gps, 5, kByte, 1, Bytes({0}));
    w.Rational(gps, 6, 435, 10);
    w.Ascii(interop, 1, "R98");
    w.Undefined(interop, 2, "0100");
    w.Long(ifd1, 513, 0);
    w.Long(ifd1, 514, 0);
    return w.Build();
}

std::string SmallTiff(bool big) {
    TiffWriter w(big);
    int d = w.AddDir();
    w.Short(d, 274, 1);
    w.Ascii(d, 271, "x");
    return w.Build();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];

    // Whole JPEG heads.
    const fs::path jpeg = root / "fuzz_jpeg";
    Put(jpeg, "plain.jpg", JpegWith(Section(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14))));
    Put(jpeg, "exif_ii.jpg", JpegWith(ExifSection(FullTiff(false))));
    Put(jpeg, "exif_mm.jpg", JpegWith(ExifSection(FullTiff(true))));
    Put(jpeg, "comment.jpg",
        JpegWith(Section(0xFE, "a comment\r\nline two\t\x01") + Section(0xFE, "second")));
    Put(jpeg, "tables.jpg",
        Soi() + Section(0xDB, std::string(65, '\x01')) + Section(0xC4, std::string(30, '\x02')) +
            Bytes({0xFF, 0xFF, 0xFF}) + FrameHeader(320, 200, 1, 0xC2) + ScanStart());
    Put(jpeg, "small_exif.jpg", JpegWith(ExifSection(SmallTiff(true)) + Section(0xFE, "c")));
    Put(jpeg, "end.jpg", Soi() + Section(0xE2, "ICC") + Bytes({0xFF, 0xD9}));

    // EXIF blocks (the TIFF data behind "Exif\0\0").
    const fs::path exif = root / "fuzz_exif";
    Put(exif, "full_ii.tif", FullTiff(false));
    Put(exif, "full_mm.tif", FullTiff(true));
    Put(exif, "small_ii.tif", SmallTiff(false));
    Put(exif, "small_mm.tif", SmallTiff(true));

    // Archive files: favourites and a GPS export of two pictures.
    const fs::path archive = root / "fuzz_archive";
    Put(archive, "favourites.sxs", WriteStringArray({"[1]Home###/home/user/", "[2]Pics###/p/"}));
    std::string gpd;
    AppendStringArray(gpd, {"/photos/"});
    AppendStringArray(gpd, {"a.jpg", "b.jpg"});
    AppendStringArray(gpd, {"2015:03:07 09:05:11", ""});
    AppendStringArray(gpd, {"N", ""});
    AppendStringArray(gpd, {"39.904200", "0.000000"});
    AppendStringArray(gpd, {"E", ""});
    AppendStringArray(gpd, {"116.400000", "0.000000"});
    AppendStringArray(gpd, {"", ""});
    AppendStringArray(gpd, {"43.500000", "0.000000"});
    Put(archive, "imggps.gpd", gpd);
    Put(archive, "long.sxs", WriteStringArray({std::string(300, 'L'), "", "\xE4\xB8\xAD"}));

    // INI texts.
    const fs::path ini = root / "fuzz_ini";
    Put(ini, "system.ini",
        "[Settings]\r\nmLastSee=1\r\nmSave = 0\r\nmDelete=1\r\nmAdd=0\r\nColor1=16777215\r\n"
        "ThumbSize=60\r\n\r\n[Path]\r\nLastFolder=\"/home/user/pics/\"\r\n; comment\r\n");
    Put(ini, "odd.ini", "[ spaced ]\nkey=\n=value\n[unclosed\nk='q'\nx = 12abc\n");

    // Thumbnail cache files: 32-bit width and height, then bottom-up rows.
    const fs::path thumbs = root / "fuzz_thumbcache";
    auto thumb = [](int w, int h) {
        std::string s;
        for (int v : {w, h})
            for (int i = 0; i < 4; ++i)
                s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        std::size_t stride = ((static_cast<std::size_t>(w) * 24 + 31) / 32) * 4;
        for (std::size_t i = 0; i < stride * static_cast<std::size_t>(h); ++i)
            s.push_back(static_cast<char>(i * 7));
        return s;
    };
    Put(thumbs, "empty.xux", thumb(0, 0));
    Put(thumbs, "one.xux", thumb(1, 1));
    Put(thumbs, "wide.xux", thumb(60, 7));
    Put(thumbs, "tall.xux", thumb(5, 60));
    return 0;
}
