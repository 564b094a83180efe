#include "thumbs/ExifReader.h"

#include "ExifTestWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <tuple>

using namespace exiftest;

namespace {

struct ReadResult {
    bool ok = false;
    ExifRecord record{};
    std::string error;
    int sections = 0;
};

// Reads the bytes three ways: in memory, from a stdio stream and from a file
// by its path; all three must agree byte for byte.
ReadResult Read(const std::string& bytes) {
    ReadResult m;
    CExifReader memory;
    m.ok = memory.ReadJpegBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    memory.CopyRecord(&m.record);
    m.error = memory.GetLastErrorText();
    m.sections = memory.SectionCount();
    TempDir dir;
    dir.Write("a.jpg", bytes);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(dir.File("a.jpg").c_str(), "rb"),
                                                      std::fclose);
    CExifReader stream, path;
    const bool byStream = f && stream.ReadJpegSections(f.get());
    const bool byPath = path.ReadJpegFile(dir.File("a.jpg"));
    for (auto [r, ok] : {std::pair<CExifReader*, bool>{&stream, byStream}, {&path, byPath}}) {
        EXPECT_EQ(ok, m.ok);
        EXPECT_EQ(r->GetLastErrorText(), m.error);
        EXPECT_EQ(r->SectionCount(), m.sections);
        EXPECT_EQ(std::memcmp(&r->Record(), &m.record, sizeof(ExifRecord)), 0);
    }
    return m;
}

ReadResult ReadExif(const TiffWriter& w) {
    return Read(JpegWith(ExifSection(w.Build())));
}

// A JPEG whose EXIF block is one directory filled by `fill`.
template <class Fill> ReadResult ReadDir(bool big, Fill fill) {
    TiffWriter w(big);
    fill(w, w.AddDir());
    return ReadExif(w);
}

// What most failures are judged by: the text, the block's validity and the
// orientation (the tag the tests put first or last).
std::tuple<std::string, int, int> Outcome(const ReadResult& r) {
    return {r.error, r.record.bExifValid, r.record.nOrientation};
}

// ---------------------------------------------------------------------------
// The section walk and the comment

TEST(ExifReaderWalk, BrokenFilesStopTheWalkWithTheirText) {
    std::string nineteen;
    for (int i = 0; i < 19; ++i)
        nineteen += Section(0xE2, std::string(1, char('a' + i)));
    const std::string head = Section(0xC0, Bytes({8, 0, 1, 0, 1, 3})).substr(1);
    const std::tuple<std::string, const char*, int> cases[] = {
        {Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), "", 0},  // no start of image
        {Soi() + Bytes({0xFF, 0xDB, 0x00, 0x01}), "invalid marker", 0}, // a length below 2
        {Soi(), "invalid marker", 0},                                   // no length at all
        // A section shorter than its length; the sections before it stay held.
        {Soi() + Section(0xE2, "held") + Section(0xDB, std::string(100, 'q')).substr(0, 50),
         "Premature end of file?", 1},
        {Soi() + std::string(7, '\xFF') + head + ScanStart(), "too many padding unsigned chars\n",
         0},
        {Soi() + nineteen + Section(0xE2, "z") + ScanStart(), "Too many sections in jpg file", 20},
        {Soi() + Section(0xE2, "x") + Section(0xD9, ""), "", 2}}; // the end before any scan
    for (const auto& [bytes, error, sections] : cases) {
        ReadResult r = Read(bytes);
        EXPECT_EQ(std::tie(r.ok, r.error, r.sections), std::make_tuple(false, error, sections));
    }
    EXPECT_TRUE(Read(Soi() + std::string(6, '\xFF') + head + ScanStart()).ok);
    EXPECT_EQ(Read(Soi() + nineteen + ScanStart()).sections, 20);
    // Dropped sections (APP0, APP1 without EXIF, later comments) do not count.
    std::string dropped;
    for (int i = 0; i < 30; ++i)
        dropped += Section(0xE0, "JFIF") + Section(0xE1, "http://ns") + Section(0xFE, "c");
    ReadResult r = Read(Soi() + dropped + ScanStart());
    EXPECT_TRUE(r.ok && r.sections == 2); // the first comment and the scan
    EXPECT_FALSE(CExifReader().ReadJpegFile("/nonexistent/dir/x.jpg"));
}

TEST(ExifReaderComment, CleanedCutAndWhicheverComesFirstOrLast) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string("a\r\nb\rc\td\x01") + '\0' + "e\n\x7F\xC3\xA9", "a\nb?c\td??e\n\x7F\xC3\xA9"},
        {"end\r", "end?"}, // a carriage return at the very end has no line feed behind it
        {std::string(1500, 'x'), std::string(998, 'x')}, // 1000 bytes less the length bytes
        // A two-byte character across the cut is left out whole.
        {std::string(997, 'y') + "\xC3\xA9" + "tail", std::string(997, 'y')}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(FieldText(Read(JpegWith(Section(0xFE, text))).record.szComments), expected);
    ReadResult r = Read(JpegWith(Section(0xFE, "first") + Section(0xFE, "second")));
    EXPECT_STREQ(r.record.szComments, "first");
    // A comment and a user comment: whichever comes last.
    TiffWriter w(false);
    w.Undefined(w.AddDir(), 37510, "from exif");
    const std::string app1 = ExifSection(w.Build());
    EXPECT_STREQ(Read(JpegWith(app1 + Section(0xFE, "com"))).record.szComments, "com");
    EXPECT_STREQ(Read(JpegWith(Section(0xFE, "com") + app1)).record.szComments, "from exif");
}

// ---------------------------------------------------------------------------
// The EXIF block, in both byte orders

class ExifBothOrders : public testing::TestWithParam<bool> {};

INSTANTIATE_TEST_SUITE_P(ByteOrder, ExifBothOrders, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Motorola" : "Intel"; });

TEST_P(ExifBothOrders, EveryTagOfTheTableIsDecodedInEveryFormat) {
    // The camera, the date, the exposure, the resolution and the GPS
    // directory are checked against exiftool.
    TiffWriter w(GetParam());
    const int ifd0 = w.AddDir(), exif = w.AddDir();
    w.Link(ifd0, 34665, exif);
    w.Undefined(exif, 36864, "0230");
    w.Undefined(exif, 37510, std::string("ASCII\0\0\0", 8) + "Harbour at dawn  ");
    for (auto [tag, num, den] :
         {std::tuple{37122, 5, 2}, {41486, 5760000, 1417}, {41487, 3840000, 945}})
        w.Rational(exif, std::uint16_t(tag), num, den);
    for (auto [dir, tag, v] :
         {std::tuple{ifd0, 296, 2}, {exif, 37385, 0x19}, {exif, 40962, 5760}, {exif, 41488, 3}})
        w.Short(dir, std::uint16_t(tag), unsigned(v));
    // ISO 49 is multiplied by 200; the other formats on the way.
    w.Long(exif, 34855, 49);
    w.Long(exif, 40963, 3840);
    w.Add(exif, 34850, kSShort, 1, w.U16(3));
    w.Add(exif, 37383, kSByte, 1, Bytes({5}));
    w.Add(exif, 37384, kSLong, 1, w.U32(4));
    w.Float(exif, 37386, 105.0f);
    w.Double(exif, 37382, 3.5);
    w.Rational(exif, 37379, -15, 10, kSRational);
    w.Rational(exif, 37380, -2, 3, kSRational);

    ReadResult r = ReadExif(w);
    const ExifRecord& e = r.record;
    EXPECT_TRUE(r.ok && r.error.empty() && e.bExifValid);
    EXPECT_EQ(FieldText(e.szExifVersion) + "|" + FieldText(e.szComments), "0230|Harbour at dawn");
    // Compression 2.5 is truncated; the flash is used by its low three bits.
    EXPECT_EQ(
        (std::vector{e.nExposureProgram, e.nISOEquivalent, e.nCompressionLevel, e.nMeteringMode,
                     e.nLightSource, e.bFlashUsed, e.nWidth, e.nHeight, e.bIsColor, e.nProcess}),
        (std::vector{3, 9800, 2, 5, 4, 1, 640, 480, 1, 0xC0}));
    EXPECT_EQ(
        (std::vector{e.fResolutionUnit, e.fFocalLength, e.fDistance, e.fBrightness, e.fExposureBias,
                     e.fFocalPlaneXRes, e.fFocalPlaneYRes, e.fFocalPlaneUnits}),
        (std::vector<float>{2, 105, 3.5f, -1.5f, float(-2.0 / 3), float(5760000.0 / 1417),
                            float(3840000.0 / 945), float(1 / 2.54)}));
    // Sensor width in inches: the larger image dimension over the plane
    // resolution, in inches per unit.
    EXPECT_NEAR(e.fCCDWidth, 5760 / 2.54 / (5760000.0 / 1417), 1e-5);
}

TEST_P(ExifBothOrders, OddNumbersAndCodedValues) {
    const TiffWriter o(GetParam());
    // Focal length takes any number: signed bytes, unsigned rationals read
    // as signed, a zero denominator, texts.
    const std::tuple<std::uint16_t, std::string, double> numbers[] = {
        {kSByte, Bytes({200}), -56},
        {kRational, o.U32(0xFFFFFFFEu) + o.U32(4), -0.5},
        {kRational, o.U32(7) + o.U32(0), 0},
        {kAscii, "777", 0}};
    for (const auto& [format, data, expected] : numbers) {
        ReadResult r = ReadDir(GetParam(), [&](TiffWriter& w, int dir) {
            w.Add(dir, 37386, format, format == kAscii ? 3 : 1, data);
        });
        EXPECT_FLOAT_EQ(r.record.fFocalLength, static_cast<float>(expected)) << format;
    }
    // Shutter speed 8 is 1/256 s and aperture value 6 is f/8, unless the
    // direct values come first.
    ReadResult r = ReadDir(GetParam(), [](TiffWriter& w, int dir) {
        w.Rational(dir, 33437, 4, 1);
        w.Rational(dir, 37377, 8, 1, kSRational);
        w.Rational(dir, 37378, 6, 1);
    });
    EXPECT_EQ(std::make_pair(r.record.fExposureTime, r.record.fApertureFNumber),
              std::make_pair(1.0f / 256, 4.0f));
}

TEST_P(ExifBothOrders, TextsAreCutAtTheirLimitsAndNeverReadPastTheirValue) {
    ReadResult r = ReadDir(GetParam(), [](TiffWriter& w, int dir) {
        w.Ascii(dir, 271, std::string(40, 'M'));
        w.Ascii(dir, 272, std::string(37, 'o') + "\xE6\x9D\xB1"); // 40 bytes
        w.Ascii(dir, 36867, "2015:03:07 09:05:11 extra");
        w.Undefined(dir, 36864, "02301");
    });
    // A cut that would split a character leaves the character out.
    EXPECT_EQ((std::vector{FieldText(r.record.szCameraMake), FieldText(r.record.szCameraModel),
                           FieldText(r.record.szDateTime), FieldText(r.record.szExifVersion)}),
              (std::vector{std::string(31, 'M'), std::string(37, 'o'),
                           std::string("2015:03:07 09:05:11"), std::string("0230")}));
    // A two-byte make sits in the entry itself; the other two bytes of the
    // field and the next entry are not part of the text.
    r = ReadDir(GetParam(), [&](TiffWriter& w, int dir) {
        w.AddRaw(dir, 271, kAscii, 2, GetParam() ? 0x41424344u : 0x44434241u); // "ABCD"
        w.Short(dir, 274, 3);
    });
    EXPECT_STREQ(r.record.szCameraMake, "AB");
    EXPECT_EQ(r.record.nOrientation, 3);
    // User comments: the ASCII form, blanks, and the 199-byte limit, never
    // with an earlier comment's tail behind them.
    const std::pair<std::string, std::string> comments[] = {
        {std::string("ASCII\0\0\0", 8) + "word  ", "word"},
        {"ASCII     late", ""}, // offsets 5..9 are all blanks
        {"plain text   ", "plain text"},
        {std::string(250, 'u'), std::string(199, 'u')}};
    for (const auto& [value, expected] : comments) {
        TiffWriter w(GetParam());
        w.Undefined(w.AddDir(), 37510, value);
        r = Read(JpegWith(Section(0xFE, std::string(600, 'c')) + ExifSection(w.Build())));
        EXPECT_EQ(FieldText(r.record.szComments), expected) << value;
    }
}

TEST_P(ExifBothOrders, GpsPositionsComeOnlyFromThreeRationalsInTheGpsDirectory) {
    TiffWriter w(GetParam());
    const int ifd0 = w.AddDir(), exif = w.AddDir(), interop = w.AddDir(), gps = w.AddDir();
    w.Link(ifd0, 34665, exif);
    w.Link(exif, 40965, interop);
    w.Link(ifd0, 34853, gps);
    // Interoperability index and version share the numbers of GPS tags 1 and 2.
    w.Ascii(interop, 1, "R98");
    w.Undefined(interop, 2, "0100");
    w.Rationals(ifd0, 4, {{10, 1}, {0, 1}, {0, 1}});
    w.Rational(exif, 6, 100, 1);
    w.Rationals(gps, 2, {{10, 1}, {30, 1}});                  // two components only
    w.Add(gps, 4, kShort, 3, w.U16(1) + w.U16(2) + w.U16(3)); // not rationals
    w.Add(gps, 6, kRational, 0, "");                          // no components
    ExifRecord e = ReadExif(w).record;
    EXPECT_EQ(FieldText(e.szGpsLatRef), "");
    EXPECT_EQ((std::vector{e.dGpsLatitude, e.dGpsLongitude, e.dGpsAltitude}),
              (std::vector{0.0, 0.0, 0.0}));
}

// ---------------------------------------------------------------------------
// Failures of the EXIF block

TEST_P(ExifBothOrders, HeaderFailuresKeepTheWalkGoing) {
    TiffWriter w(GetParam());
    w.Short(w.AddDir(), 274, 3);
    const std::string tiff = w.Build(), order = tiff.substr(0, 2), exif("Exif\0\0", 6);
    const std::string start = exif + order + w.U16(42);
    const std::pair<std::string, const char*> cases[] = {
        {std::string("Exif\0\1", 6) + tiff, "Incorrect Exif header"},
        {"Exif", "Incorrect Exif header"},
        {exif + "IM" + tiff.substr(2), "Invalid Exif alignment marker."},
        {exif + "I", "Invalid Exif alignment marker."},
        {exif + order, "Invalid Exif start (1)"},
        {exif + order + w.U16(43) + tiff.substr(4), "Invalid Exif start (1)"},
        {start, "Suspicious offset of first IFD value"},
        {start + w.U32(7) + tiff.substr(8), "Suspicious offset of first IFD value"},
        {start + w.U32(17) + tiff.substr(8), "Suspicious offset of first IFD value"},
        // The first directory is read at offset 8 whatever the offset says.
        {start + w.U32(16) + tiff.substr(8), ""}};
    for (const auto& [block, error] : cases) {
        ReadResult r = Read(JpegWith(Section(0xE1, block) + Section(0xFE, "later"), 9, 9));
        const int valid = *error == '\0';
        EXPECT_EQ(Outcome(r), std::make_tuple(error, valid, 3 * valid));
        // The walk goes on, and a failed block stays held.
        EXPECT_TRUE(r.ok && FieldText(r.record.szComments) == "later" && r.record.nWidth == 9 &&
                    r.sections == 4)
            << error;
    }
}

TEST_P(ExifBothOrders, PointersOutsideTheBlockAreRefusedWithoutWrapping) {
    // Offsets outside the block, and component counts whose byte count
    // overflows 32 bits.
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {1, 0xFFFFFFF8u}, {1, 1000}, {0x20000000u, 8}, {0xFFFFFFFFu, 8}};
    for (auto [count, offset] : cases) {
        ReadResult r = ReadDir(GetParam(), [&](TiffWriter& w, int dir) {
            w.Short(dir, 274, 5);
            w.AddRaw(dir, 33434, kRational, count, offset);
        });
        EXPECT_EQ(Outcome(r), std::make_tuple("Illegal pointer offset value in EXIF.", 0, 5))
            << count << " " << offset;
    }
    // A value that ends exactly at the end of the block is inside it; a
    // rational or double with no components (it would be read from the
    // entry's own bytes and the next entry's) is left out.
    ReadResult r = ReadDir(GetParam(), [](TiffWriter& w, int dir) {
        w.AddRaw(dir, 37386, kDouble, 0, 0x40000000);
        w.AddRaw(dir, 37382, kRational, 0, 0x01000000);
        w.Rational(dir, 33434, 1, 8);
    });
    EXPECT_EQ((std::vector{r.record.fExposureTime, r.record.fFocalLength, r.record.fDistance}),
              (std::vector{0.125f, 0.0f, 0.0f}));
    EXPECT_EQ(r.record.bExifValid, 1);
}

TEST(ExifReaderLinks, LinksOutsideTheBlockBackOrTooDeepAreIllegal) {
    // Outside the block: the entry loop stops.
    ReadResult r = ReadDir(false, [](TiffWriter& w, int dir) {
        w.AddRaw(dir, 34665, kLong, 1, 5000);
        w.Short(dir, 274, 7);
    });
    EXPECT_EQ(Outcome(r), std::make_tuple("Illegal subdirectory link", 0, 0));
    // A chain of 100 directories, each linking to the next through the EXIF tag.
    TiffWriter chain(false);
    for (int i = 0; i < 100; ++i)
        chain.AddDir();
    for (int i = 0; i + 1 < 100; ++i)
        chain.Link(i, 34665, i + 1);
    chain.Short(99, 274, 6);
    EXPECT_EQ(Outcome(ReadExif(chain)), std::make_tuple("Illegal subdirectory link", 1, 0));

    // Two directories, orientation 1 then 8 (or a bad format), the first
    // linking to the second behind its entries, or back to itself.
    auto read = [](bool badSecond, bool back = false) {
        TiffWriter w(false);
        w.Short(w.AddDir(), 274, 1);
        if (badSecond)
            w.AddRaw(w.AddDir(), 1, 77, 1, 0);
        else
            w.Short(w.AddDir(), 274, 8);
        w.Dir(0).next = back ? 0 : 1;
        return Outcome(ReadExif(w));
    };
    EXPECT_EQ(read(false), std::make_tuple("", 1, 8));
    // A link back fails, and so does one inside a sub-directory; the
    // failure stays inside that sub-directory.
    EXPECT_EQ(read(false, true), std::make_tuple("Illegal subdirectory link", 0, 1));
    TiffWriter w(true);
    w.Link(w.AddDir(), 34665, 1);
    w.Short(w.AddDir(), 34855, 200);
    w.Link(1, 34853, 0);
    w.Short(1, 37383, 2);
    r = ReadExif(w);
    EXPECT_EQ(Outcome(r), std::make_tuple("Illegal subdirectory link", 1, 0));
    EXPECT_EQ(std::make_pair(r.record.nISOEquivalent, r.record.nMeteringMode),
              std::make_pair(200, 0));
    // A failing further directory does not fail the one before it.
    EXPECT_EQ(read(true), std::make_tuple("Illegal format code in EXIF dir", 1, 1));
}

} // namespace
