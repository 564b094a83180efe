#include "thumbs/ExifReader.h"

#include "ExifTestWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>

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
    ReadResult fromMemory;
    {
        CExifReader reader;
        fromMemory.ok = reader.ReadJpegBytes(reinterpret_cast<const unsigned char*>(bytes.data()),
                                             bytes.size());
        reader.CopyRecord(&fromMemory.record);
        fromMemory.error = reader.GetLastErrorText();
        fromMemory.sections = reader.SectionCount();
    }
    auto same = [&](const CExifReader& reader, bool ok, const char* how) {
        EXPECT_EQ(ok, fromMemory.ok) << how;
        EXPECT_EQ(std::string(reader.GetLastErrorText()), fromMemory.error) << how;
        EXPECT_EQ(reader.SectionCount(), fromMemory.sections) << how;
        EXPECT_EQ(std::memcmp(&reader.Record(), &fromMemory.record, sizeof(ExifRecord)), 0) << how;
    };
    std::FILE* f = std::tmpfile();
    EXPECT_TRUE(f);
    if (!f)
        return fromMemory;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    {
        CExifReader reader;
        bool ok = reader.ReadJpegSections(f);
        same(reader, ok, "stream");
    }
    std::fclose(f);

    const std::string path =
        testing::TempDir() + std::to_string(::getpid()) + "_exif_reader_case.jpg";
    f = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(f);
    if (!f)
        return fromMemory;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    {
        CExifReader reader;
        bool ok = reader.ReadJpegFile(path);
        same(reader, ok, "path");
    }
    std::remove(path.c_str());
    return fromMemory;
}

ReadResult ReadExif(const TiffWriter& w) {
    return Read(JpegWith(ExifSection(w.Build())));
}

bool IsZero(const ExifRecord& r) {
    static const ExifRecord zero{};
    return std::memcmp(&r, &zero, sizeof r) == 0;
}

// ---------------------------------------------------------------------------
// The section walk

TEST(ExifReaderWalk, FileWithoutStartOfImageGivesFalseAndAnEmptyRecord) {
    for (std::string bytes : {std::string(), Bytes({0xFF}), Bytes({0xFF, 0xD9, 0xFF, 0xD8}),
                              Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})}) {
        ReadResult r = Read(bytes);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(IsZero(r.record));
        EXPECT_EQ(r.error, "");
    }
}

TEST(ExifReaderWalk, JpegWithoutExifFillsOnlyTheFrameFacts) {
    ReadResult r = Read(JpegWith("", 1234, 567, 3));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.record.nWidth, 1234);
    EXPECT_EQ(r.record.nHeight, 567);
    EXPECT_EQ(r.record.bIsColor, 1);
    EXPECT_EQ(r.record.nProcess, 0xC0);
    EXPECT_EQ(r.record.bExifValid, 0);
    ExifRecord rest = r.record;
    rest.nWidth = rest.nHeight = rest.bIsColor = rest.nProcess = 0;
    EXPECT_TRUE(IsZero(rest));

    // Progressive grey picture: one component, marker code 194.
    std::string grey = Soi() + FrameHeader(300, 200, 1, 0xC2) + ScanStart();
    r = Read(grey);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.record.bIsColor, 0);
    EXPECT_EQ(r.record.nProcess, 194);
    EXPECT_EQ(r.record.nWidth, 300);
}

TEST(ExifReaderWalk, EveryFrameHeaderCodeIsDecodedAndNoOther) {
    for (int code = 0xC0; code <= 0xCF; ++code) {
        if (code == 0xC4 || code == 0xC8 || code == 0xCC)
            continue; // tables and the reserved code carry no frame
        ReadResult r = Read(Soi() + FrameHeader(10, 20, 3, code) + ScanStart());
        ASSERT_TRUE(r.ok) << code;
        EXPECT_EQ(r.record.nProcess, code);
        EXPECT_EQ(r.record.nHeight, 20);
    }
    for (int code : {0xC4, 0xC8, 0xCC, 0xDB}) {
        ReadResult r = Read(Soi() + FrameHeader(10, 20, 3, code) + ScanStart());
        ASSERT_TRUE(r.ok) << code;
        EXPECT_EQ(r.record.nProcess, 0) << code;
        EXPECT_EQ(r.record.nHeight, 0) << code;
    }
    // A frame header too short to hold the size is held but tells nothing.
    ReadResult r = Read(Soi() + Section(0xC0, Bytes({8, 0, 5})) + ScanStart());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.record.nProcess, 0);
    EXPECT_EQ(r.sections, 2);
}

TEST(ExifReaderWalk, PaddingBeforeAMarkerIsLimitedToSixBytes) {
    std::string body = Section(0xC0, Bytes({8, 0, 1, 0, 1, 3})).substr(1);
    std::string six = Soi() + std::string(6, '\xFF') + body + ScanStart();
    EXPECT_TRUE(Read(six).ok);
    ReadResult seven = Read(Soi() + std::string(7, '\xFF') + body + ScanStart());
    EXPECT_FALSE(seven.ok);
    EXPECT_EQ(seven.error, "too many padding unsigned chars\n");
}

TEST(ExifReaderWalk, BrokenSectionsStopTheWalkWithTheirText) {
    // A length below 2, and a file that ends where a length should be.
    ReadResult r = Read(Soi() + Bytes({0xFF, 0xDB, 0x00, 0x01}));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "invalid marker");
    r = Read(Soi() + Bytes({0xFF, 0xDB, 0x00}));
    EXPECT_EQ(r.error, "invalid marker");
    r = Read(Soi());
    EXPECT_EQ(r.error, "invalid marker");

    // A section shorter than its length; the sections before it stay held.
    std::string truncated = Section(0xDB, std::string(100, 'q')).substr(0, 50);
    r = Read(Soi() + Section(0xE2, "held") + truncated);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Premature end of file?");
    EXPECT_EQ(r.sections, 1);

    // The end of image before any scan.
    r = Read(Soi() + Section(0xE2, "x") + Section(0xD9, ""));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "");
}

TEST(ExifReaderWalk, SectionsAreHeldUpToTwenty) {
    std::string nineteen;
    for (int i = 0; i < 19; ++i)
        nineteen += Section(0xE2, std::string(1, char('a' + i)));
    ReadResult r = Read(Soi() + nineteen + ScanStart());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.sections, 20);

    r = Read(Soi() + nineteen + Section(0xE2, "z") + ScanStart());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Too many sections in jpg file");
    EXPECT_EQ(r.sections, 20);

    // Dropped sections (APP0, APP1 without EXIF, later comments) do not count.
    std::string dropped;
    for (int i = 0; i < 30; ++i)
        dropped += Section(0xE0, "JFIF") + Section(0xE1, "http://ns") + Section(0xFE, "c");
    r = Read(Soi() + dropped + ScanStart());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.sections, 2); // the first comment and the scan
}

TEST(ExifReaderWalk, HeldSectionsKeepTypeSizeAndBytes) {
    CExifReader reader;
    std::string bytes =
        Soi() + Section(0xE0, "JFIF") + Section(0xDB, "table") + FrameHeader(8, 8, 3) + ScanStart();
    ASSERT_TRUE(
        reader.ReadJpegBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    ASSERT_EQ(reader.SectionCount(), 3);
    const auto& table = reader.GetSection(0);
    EXPECT_EQ(table.nType, 0xDB);
    EXPECT_EQ(table.nSize, 7);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(table.pData.get()), 7), Be16(7) + "table");
    EXPECT_EQ(reader.GetSection(1).nType, 0xC0);
    EXPECT_EQ(reader.GetSection(2).nType, 0xDA);

    // A second file read by the same reader counts against the same limit.
    std::string many;
    for (int i = 0; i < 17; ++i)
        many += Section(0xE3, "m");
    std::string second = Soi() + many + ScanStart();
    EXPECT_FALSE(
        reader.ReadJpegBytes(reinterpret_cast<const unsigned char*>(second.data()), second.size()));
    EXPECT_STREQ(reader.GetLastErrorText(), "Too many sections in jpg file");
    EXPECT_FALSE(
        reader.ReadJpegBytes(reinterpret_cast<const unsigned char*>(second.data()), second.size()));
}

TEST(ExifReaderWalk, LongSectionsAcrossTheReadBuffer) {
    // Sections of nearly 64 KiB each: the file's head does not fit one read.
    std::string a(65000, 'a'), b(65533, 'b');
    std::string bytes = Soi() + Section(0xE2, a) + Section(0xE3, b) + Section(0xFE, "after") +
                        JpegWith("").substr(2);
    ReadResult r = Read(bytes);
    ASSERT_TRUE(r.ok);
    EXPECT_STREQ(r.record.szComments, "after");
    EXPECT_EQ(r.record.nWidth, 640);
    EXPECT_EQ(r.sections, 5);
    CExifReader reader;
    std::string path = testing::TempDir() + std::to_string(::getpid()) + "_exif_long_sections.jpg";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    ASSERT_TRUE(reader.ReadJpegFile(path));
    std::remove(path.c_str());
    EXPECT_EQ(reader.GetSection(1).nSize, 65535);
    EXPECT_EQ(
        std::string(reinterpret_cast<const char*>(reader.GetSection(1).pData.get()) + 2, 65533), b);
}

TEST(ExifReaderWalk, ResultsGoToTheCallersRecord) {
    ExifRecord mine;
    std::memset(&mine, 0x5A, sizeof mine);
    {
        CExifReader reader(&mine);
        std::string bytes = JpegWith("", 77, 66, 3);
        ASSERT_TRUE(reader.ReadJpegBytes(reinterpret_cast<const unsigned char*>(bytes.data()),
                                         bytes.size()));
    }
    EXPECT_EQ(mine.nWidth, 77);
    EXPECT_EQ(mine.nHeight, 66);
    EXPECT_EQ(mine.nOrientation, 0x5A5A5A5A); // untouched: the caller owns the record
}

TEST(ExifReaderWalk, ReadsFilesFromDisk) {
    CExifReader missing;
    EXPECT_FALSE(missing.ReadJpegFile("/nonexistent/dir/x.jpg"));
    std::string path = testing::TempDir() + std::to_string(::getpid()) + "_exif_walk.jpg";
    std::string bytes = JpegWith(Section(0xFE, "on disk"), 12, 34);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    CExifReader reader;
    ASSERT_TRUE(reader.ReadJpegFile(path));
    EXPECT_STREQ(reader.Record().szComments, "on disk");
    EXPECT_EQ(reader.Record().nWidth, 12);
    std::remove(path.c_str());
}

// ---------------------------------------------------------------------------
// The comment section

TEST(ExifReaderComment, ControlBytesAndLineEndsAreCleaned) {
    std::string text = std::string("a\r\nb\rc\td\x01") + '\0' + "e\n\x7F\xC3\xA9";
    ReadResult r = Read(JpegWith(Section(0xFE, text)));
    ASSERT_TRUE(r.ok);
    EXPECT_STREQ(r.record.szComments, "a\nb?c\td??e\n\x7F\xC3\xA9");
    // A carriage return at the very end has no line feed behind it.
    r = Read(JpegWith(Section(0xFE, "end\r")));
    EXPECT_STREQ(r.record.szComments, "end?");
}

TEST(ExifReaderComment, OnlyTheFirstCommentCounts) {
    ReadResult r = Read(JpegWith(Section(0xFE, "first") + Section(0xFE, "second")));
    EXPECT_STREQ(r.record.szComments, "first");
    EXPECT_EQ(r.sections, 3);
}

TEST(ExifReaderComment, LongCommentsUseTheFirstThousandBytes) {
    std::string text(1500, 'x');
    ReadResult r = Read(JpegWith(Section(0xFE, text)));
    EXPECT_EQ(std::strlen(r.record.szComments), 998u); // 1000 bytes less the length bytes

    // A two-byte character across the cut is left out whole.
    std::string utf8 = std::string(997, 'y') + "\xC3\xA9" + "tail";
    r = Read(JpegWith(Section(0xFE, utf8)));
    EXPECT_EQ(std::string(r.record.szComments), std::string(997, 'y'));
}

TEST(ExifReaderComment, CommentAndUserCommentWhicheverComesLast) {
    TiffWriter w(false);
    int ifd0 = w.AddDir();
    int exif = w.AddDir();
    w.Link(ifd0, 34665, exif);
    w.Undefined(exif, 37510, "from exif");
    std::string app1 = ExifSection(w.Build());

    EXPECT_STREQ(Read(JpegWith(app1 + Section(0xFE, "com"))).record.szComments, "com");
    EXPECT_STREQ(Read(JpegWith(Section(0xFE, "com") + app1)).record.szComments, "from exif");

    // The EXIF block clears an earlier comment even without a user comment.
    TiffWriter plain(false);
    plain.Short(plain.AddDir(), 274, 1);
    ReadResult r = Read(JpegWith(Section(0xFE, "com") + ExifSection(plain.Build())));
    EXPECT_STREQ(r.record.szComments, "");
    EXPECT_EQ(r.record.bExifValid, 1);
}

// ---------------------------------------------------------------------------
// The EXIF block, in both byte orders

class ExifBothOrders : public testing::TestWithParam<bool> {};

INSTANTIATE_TEST_SUITE_P(ByteOrder, ExifBothOrders, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Motorola" : "Intel"; });

TEST_P(ExifBothOrders, EveryTagOfTheTableIsDecoded) {
    TiffWriter w(GetParam());
    int ifd0 = w.AddDir();
    int exif = w.AddDir();
    int gps = w.AddDir();
    int interop = w.AddDir();
    w.Ascii(ifd0, 271, "Canon");
    w.Ascii(ifd0, 272, "Canon EOS 5D Mark III");
    w.Short(ifd0, 274, 6);
    w.Rational(ifd0, 282, 300, 1);
    w.Rational(ifd0, 283, 240, 2);
    w.Short(ifd0, 296, 2);
    w.Link(ifd0, 34665, exif);
    w.Link(ifd0, 34853, gps);

    w.Rational(exif, 33434, 1, 250);
    w.Rational(exif, 33437, 56, 10);
    w.Short(exif, 34850, 3);
    w.Short(exif, 34855, 800);
    w.Undefined(exif, 36864, "0230");
    w.Ascii(exif, 36867, "2015:03:07 09:05:11");
    w.Rational(exif, 37122, 5, 2);
    w.Rational(exif, 37379, -15, 10, kSRational);
    w.Rational(exif, 37380, -2, 3, kSRational);
    w.Rational(exif, 37382, 35, 10);
    w.Short(exif, 37383, 5);
    w.Short(exif, 37384, 4);
    w.Short(exif, 37385, 0x19);
    w.Rational(exif, 37386, 105, 1);
    w.Undefined(exif, 37510, std::string("ASCII\0\0\0", 8) + "Harbour at dawn  ");
    w.Short(exif, 40962, 5760);
    w.Long(exif, 40963, 3840);
    w.Link(exif, 40965, interop);
    w.Rational(exif, 41486, 5760000, 1417);
    w.Rational(exif, 41487, 3840000, 945);
    w.Short(exif, 41488, 2);

    w.Add(gps, 0, kByte, 4, Bytes({2, 3, 0, 0}));
    w.Ascii(gps, 1, "N");
    w.Rationals(gps, 2, {{39, 1}, {5415, 100}, {1512, 100}});
    w.Ascii(gps, 3, "E");
    w.Rationals(gps, 4, {{116, 1}, {24, 1}, {2700, 100}});
    w.Add(gps, 5, kByte, 1, Bytes({1}));
    w.Rational(gps, 6, 4352, 10);

    w.Ascii(interop, 1, "R98");
    w.Undefined(interop, 2, "0100");

    ReadResult r = ReadExif(w);
    ASSERT_TRUE(r.ok);
    const ExifRecord& e = r.record;
    EXPECT_EQ(e.bExifValid, 1);
    EXPECT_EQ(r.error, "");
    EXPECT_STREQ(e.szCameraMake, "Canon");
    EXPECT_STREQ(e.szCameraModel, "Canon EOS 5D Mark III");
    EXPECT_EQ(e.nOrientation, 6);
    EXPECT_FLOAT_EQ(e.fXResolution, 300);
    EXPECT_FLOAT_EQ(e.fYResolution, 120);
    EXPECT_FLOAT_EQ(e.fResolutionUnit, 2);
    EXPECT_FLOAT_EQ(e.fExposureTime, 0.004f);
    EXPECT_FLOAT_EQ(e.fApertureFNumber, 5.6f);
    EXPECT_EQ(e.nExposureProgram, 3);
    EXPECT_EQ(e.nISOEquivalent, 800);
    EXPECT_STREQ(e.szExifVersion, "0230");
    EXPECT_STREQ(e.szDateTime, "2015:03:07 09:05:11");
    EXPECT_EQ(e.nCompressionLevel, 2); // 2.5 truncated
    EXPECT_FLOAT_EQ(e.fBrightness, -1.5f);
    EXPECT_FLOAT_EQ(e.fExposureBias, -2.0f / 3);
    EXPECT_FLOAT_EQ(e.fDistance, 3.5f);
    EXPECT_EQ(e.nMeteringMode, 5);
    EXPECT_EQ(e.nLightSource, 4);
    EXPECT_EQ(e.bFlashUsed, 1);
    EXPECT_FLOAT_EQ(e.fFocalLength, 105);
    EXPECT_STREQ(e.szComments, "Harbour at dawn");
    EXPECT_FLOAT_EQ(e.fFocalPlaneXRes, 5760000.0f / 1417);
    EXPECT_FLOAT_EQ(e.fFocalPlaneYRes, 3840000.0f / 945);
    EXPECT_FLOAT_EQ(e.fFocalPlaneUnits, 1.0f);
    // Sensor width in inches: the larger image dimension over the plane resolution.
    EXPECT_NEAR(e.fCCDWidth, 5760 * 1.0 / (5760000.0 / 1417), 1e-5);

    EXPECT_EQ(std::string(e.szGpsVersion, 4), Bytes({2, 3, 0, 0}));
    EXPECT_EQ(FieldText(e.szGpsLatRef), "N");
    EXPECT_NEAR(e.dGpsLatitude, 39 + 54.15 / 60 + 15.12 / 3600, 1e-6);
    EXPECT_EQ(FieldText(e.szGpsLonRef), "E");
    EXPECT_NEAR(e.dGpsLongitude, 116 + 24.0 / 60 + 27.0 / 3600, 1e-6);
    EXPECT_EQ(FieldText(e.szGpsAltRef), "\x01");
    EXPECT_DOUBLE_EQ(e.dGpsAltitude, 435.2);

    // Frame facts are there as well.
    EXPECT_EQ(e.nWidth, 640);
    EXPECT_EQ(e.nHeight, 480);
}

TEST_P(ExifBothOrders, NumbersConvertByTheirFormat) {
    struct Case {
        std::uint16_t format;
        std::string (*bytes)(const TiffWriter&);
        double expected;
    };
    const Case cases[] = {
        {kByte, [](const TiffWriter&) { return Bytes({200}); }, 200},
        {kSByte, [](const TiffWriter&) { return Bytes({200}); }, 200 - 256},
        {kShort, [](const TiffWriter& w) { return w.U16(60000); }, 60000},
        {kSShort, [](const TiffWriter& w) { return w.U16(60000); }, 60000 - 65536},
        {kLong, [](const TiffWriter& w) { return w.U32(3000000000u); }, 3000000000.0},
        {kSLong, [](const TiffWriter& w) { return w.U32(0xFFFFFFF6u); }, -10},
        {kRational, [](const TiffWriter& w) { return w.U32(7) + w.U32(0); }, 0},
        // Unsigned rationals are read as signed numbers as well.
        {kRational, [](const TiffWriter& w) { return w.U32(0xFFFFFFFEu) + w.U32(4); }, -0.5},
        {kSRational, [](const TiffWriter& w) { return w.U32(3) + w.U32(0xFFFFFFFCu); }, -0.75},
        {kFloat,
         [](const TiffWriter&) {
             float f = 12.25f;
             return std::string(reinterpret_cast<const char*>(&f), 4);
         },
         12.25},
        {kDouble,
         [](const TiffWriter&) {
             double d = 6.125;
             return std::string(reinterpret_cast<const char*>(&d), 8);
         },
         6.125},
        {kAscii, [](const TiffWriter&) { return std::string("777"); }, 0},
        {kUndefined, [](const TiffWriter&) { return std::string("777"); }, 0},
    };
    for (const Case& c : cases) {
        TiffWriter w(GetParam());
        int ifd0 = w.AddDir();
        std::string data = c.bytes(w);
        // Focal length is a plain float field that takes any number.
        std::uint32_t count = c.format == kAscii || c.format == kUndefined ? 3 : 1;
        w.Add(ifd0, 37386, c.format, count, data);
        ReadResult r = ReadExif(w);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.record.bExifValid, 1);
        EXPECT_FLOAT_EQ(r.record.fFocalLength, static_cast<float>(c.expected))
            << "format " << c.format;
    }
}

TEST_P(ExifBothOrders, DerivedExposureAndApertureYieldToDirectValues) {
    auto build = [&](bool directFirst) {
        TiffWriter w(GetParam());
        int d = w.AddDir();
        if (directFirst) {
            w.Rational(d, 33434, 1, 60);
            w.Rational(d, 37377, 8, 1, kSRational);
            w.Rational(d, 33437, 4, 1);
            w.Rational(d, 37378, 6, 1);
        } else {
            w.Rational(d, 37377, 8, 1, kSRational);
            w.Rational(d, 33434, 1, 60);
            w.Rational(d, 37381, 6, 1);
            w.Rational(d, 33437, 4, 1);
        }
        return ReadExif(w).record;
    };
    // Either order ends with the direct values.
    for (bool directFirst : {true, false}) {
        ExifRecord e = build(directFirst);
        EXPECT_FLOAT_EQ(e.fExposureTime, 1.0f / 60);
        EXPECT_FLOAT_EQ(e.fApertureFNumber, 4.0f);
    }
    // Alone, shutter speed 8 is 1/256 s and aperture value 6 is f/8.
    TiffWriter w(GetParam());
    int d = w.AddDir();
    w.Rational(d, 37377, 8, 1, kSRational);
    w.Rational(d, 37381, 6, 1);
    ExifRecord e = ReadExif(w).record;
    EXPECT_FLOAT_EQ(e.fExposureTime, 1.0f / 256);
    EXPECT_FLOAT_EQ(e.fApertureFNumber, 8.0f);
}

TEST_P(ExifBothOrders, IsoBelowFiftyIsMultipliedBy200) {
    for (auto [stored, expected] :
         std::vector<std::pair<int, int>>{{2, 400}, {49, 9800}, {50, 50}, {100, 100}, {0, 0}}) {
        TiffWriter w(GetParam());
        w.Short(w.AddDir(), 34855, stored);
        EXPECT_EQ(ReadExif(w).record.nISOEquivalent, expected) << stored;
    }
}

TEST_P(ExifBothOrders, FlashUsesTheThreeLowBits) {
    for (auto [flash, used] : std::vector<std::pair<int, int>>{
             {0x00, 0}, {0x01, 1}, {0x05, 1}, {0x10, 0}, {0x18, 0}, {0x19, 1}, {0x20, 0}}) {
        TiffWriter w(GetParam());
        w.Short(w.AddDir(), 37385, flash);
        EXPECT_EQ(ReadExif(w).record.bFlashUsed, used) << flash;
    }
}

TEST_P(ExifBothOrders, FocalPlaneUnitsBecomeInchesPerUnit) {
    const std::pair<int, float> units[] = {
        {1, 1.0f}, {2, 1.0f}, {3, float(1 / 2.54)}, {4, float(1 / 25.4)}, {5, float(1 / 25400.0)},
        {6, 0.0f}};
    for (auto [code, inches] : units) {
        TiffWriter w(GetParam());
        int d = w.AddDir();
        w.Long(d, 40962, 4000);
        w.Short(d, 40963, 3000);
        w.Rational(d, 41486, 1000, 1);
        w.Short(d, 41488, code);
        ExifRecord e = ReadExif(w).record;
        EXPECT_FLOAT_EQ(e.fFocalPlaneUnits, inches) << code;
        EXPECT_FLOAT_EQ(e.fCCDWidth, 4000 * inches / 1000) << code;
    }
    // Without a plane resolution there is no sensor width.
    TiffWriter w(GetParam());
    int d = w.AddDir();
    w.Long(d, 40962, 4000);
    w.Short(d, 41488, 2);
    EXPECT_EQ(ReadExif(w).record.fCCDWidth, 0.0f);
}

TEST_P(ExifBothOrders, OrientationOutsideOneToEightIsDroppedAndDecodingGoesOn) {
    TiffWriter w(GetParam());
    int d = w.AddDir();
    w.Short(d, 274, 9);
    w.Ascii(d, 271, "after");
    ReadResult r = ReadExif(w);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.record.nOrientation, 0);
    EXPECT_EQ(r.error, "Undefined rotation value");
    EXPECT_EQ(r.record.bExifValid, 1);
    EXPECT_STREQ(r.record.szCameraMake, "after");
}

TEST_P(ExifBothOrders, TextsAreCutAtTheirLimits) {
    TiffWriter w(GetParam());
    int d = w.AddDir();
    w.Ascii(d, 271, std::string(40, 'M'));
    w.Ascii(d, 272, std::string(37, 'o') + "\xE6\x9D\xB1"); // 40 bytes
    w.Ascii(d, 36867, "2015:03:07 09:05:11 extra");
    w.Undefined(d, 36864, "02301");
    ExifRecord e = ReadExif(w).record;
    EXPECT_EQ(FieldText(e.szCameraMake), std::string(31, 'M'));
    EXPECT_EQ(FieldText(e.szCameraModel), std::string(37, 'o')); // the character is left out
    EXPECT_EQ(FieldText(e.szDateTime), "2015:03:07 09:05:11");
    EXPECT_EQ(FieldText(e.szExifVersion), "0230");

    // A cut that would split a character leaves the character out.
    TiffWriter u(GetParam());
    int ud = u.AddDir();
    u.Ascii(ud, 271, std::string(30, 'a') + "\xC3\xA9");
    EXPECT_EQ(FieldText(ReadExif(u).record.szCameraMake), std::string(30, 'a'));
}

TEST_P(ExifBothOrders, TextsNeverReadPastTheirValue) {
    // A two-byte make sits in the entry itself; the other two bytes of the
    // field and the next entry are not part of the text.
    TiffWriter w(GetParam());
    int d = w.AddDir();
    w.AddRaw(d, 271, kAscii, 2, GetParam() ? 0x41424344u : 0x44434241u); // "ABCD"
    w.Short(d, 274, 3);
    ExifRecord e = ReadExif(w).record;
    EXPECT_STREQ(e.szCameraMake, "AB");
    EXPECT_EQ(e.nOrientation, 3);
}

TEST_P(ExifBothOrders, UserCommentForms) {
    struct Case {
        std::string value;
        std::string expected;
    };
    const Case cases[] = {
        {std::string("ASCII\0\0\0", 8) + "word  ", "word"},
        {"ASCII     late", ""}, // offsets 5..9 are all blanks
        {std::string("ASCII\0\0\0\0\0", 10) + "x", ""},
        {"plain text   ", "plain text"},
        {std::string(250, 'u'), std::string(199, 'u')},
        {"     ", ""},
    };
    for (const Case& c : cases) {
        TiffWriter w(GetParam());
        w.Undefined(w.AddDir(), 37510, c.value);
        EXPECT_EQ(FieldText(ReadExif(w).record.szComments), c.expected) << c.value;
    }
    // A long user comment never leaves an earlier comment's tail behind it.
    TiffWriter w(GetParam());
    w.Undefined(w.AddDir(), 37510, std::string(250, 'u'));
    ReadResult r = Read(JpegWith(Section(0xFE, std::string(600, 'c')) + ExifSection(w.Build())));
    EXPECT_EQ(FieldText(r.record.szComments), std::string(199, 'u'));
}

TEST_P(ExifBothOrders, GpsTagsCountOnlyInTheGpsDirectory) {
    TiffWriter w(GetParam());
    int ifd0 = w.AddDir();
    int exif = w.AddDir();
    int interop = w.AddDir();
    w.Link(ifd0, 34665, exif);
    w.Link(exif, 40965, interop);
    // Interoperability index and version share the numbers of GPS tags 1 and 2.
    w.Ascii(interop, 1, "R98");
    w.Undefined(interop, 2, "0100");
    w.Rationals(ifd0, 4, {{10, 1}, {0, 1}, {0, 1}});
    w.Rational(exif, 6, 100, 1);
    ExifRecord e = ReadExif(w).record;
    EXPECT_EQ(FieldText(e.szGpsLatRef), "");
    EXPECT_EQ(e.dGpsLatitude, 0.0);
    EXPECT_EQ(e.dGpsLongitude, 0.0);
    EXPECT_EQ(e.dGpsAltitude, 0.0);
}

TEST_P(ExifBothOrders, GpsPositionsNeedThreeRationals) {
    TiffWriter w(GetParam());
    int ifd0 = w.AddDir();
    int gps = w.AddDir();
    w.Link(ifd0, 34853, gps);
    w.Rationals(gps, 2, {{10, 1}, {30, 1}});                  // two components only
    w.Add(gps, 4, kShort, 3, w.U16(1) + w.U16(2) + w.U16(3)); // not rationals
    w.Add(gps, 6, kRational, 0, "");                          // no components
    ExifRecord e = ReadExif(w).record;
    EXPECT_EQ(e.dGpsLatitude, 0.0);
    EXPECT_EQ(e.dGpsLongitude, 0.0);
    EXPECT_EQ(e.dGpsAltitude, 0.0);

    // Signed rationals are accepted; minutes and degrees are single precision.
    TiffWriter s(GetParam());
    int s0 = s.AddDir();
    int sg = s.AddDir();
    s.Link(s0, 34853, sg);
    s.Rationals(sg, 2, {{1, 3}, {1, 7}, {1, 9}}, kSRational);
    ExifRecord se = ReadExif(s).record;
    double expected = double(float(1.0 / 3)) + double(float(1.0 / 7)) / 60 + (1.0 / 9) / 3600;
    EXPECT_DOUBLE_EQ(se.dGpsLatitude, expected);
}

TEST_P(ExifBothOrders, RationalWithoutItsBytesIsRefused) {
    // A rational with no components would be read from the entry's own four
    // bytes and the next entry's; it is left out instead.
    TiffWriter w(GetParam());
    int d = w.AddDir();
    w.AddRaw(d, 33434, kRational, 0, 0x01000000);
    w.AddRaw(d, 37386, kDouble, 0, 0x40000000);
    w.Short(d, 274, 8);
    ReadResult r = ReadExif(w);
    EXPECT_EQ(r.record.fExposureTime, 0.0f);
    EXPECT_EQ(r.record.fFocalLength, 0.0f);
    EXPECT_EQ(r.record.nOrientation, 8);
    EXPECT_EQ(r.record.bExifValid, 1);
}

// ---------------------------------------------------------------------------
// Failures of the EXIF block

TEST_P(ExifBothOrders, HeaderFailuresKeepTheWalkGoing) {
    TiffWriter w(GetParam());
    w.Short(w.AddDir(), 274, 3);
    std::string tiff = w.Build();
    struct Case {
        std::string block;
        const char* error;
    };
    std::string order = tiff.substr(0, 2);
    const Case cases[] = {
        {std::string("Exif\0\1", 6) + tiff, "Incorrect Exif header"},
        {std::string("Exif", 4), "Incorrect Exif header"},
        {std::string("Exif\0\0", 6) + "IM" + tiff.substr(2), "Invalid Exif alignment marker."},
        {std::string("Exif\0\0I", 7), "Invalid Exif alignment marker."},
        {std::string("Exif\0\0", 6) + order, "Invalid Exif start (1)"},
        {std::string("Exif\0\0", 6) + order + w.U16(43) + tiff.substr(4), "Invalid Exif start (1)"},
        {std::string("Exif\0\0", 6) + order + w.U16(42), "Suspicious offset of first IFD value"},
        {std::string("Exif\0\0", 6) + order + w.U16(42) + w.U32(7) + tiff.substr(8),
         "Suspicious offset of first IFD value"},
        {std::string("Exif\0\0", 6) + order + w.U16(42) + w.U32(17) + tiff.substr(8),
         "Suspicious offset of first IFD value"},
    };
    for (const Case& c : cases) {
        ReadResult r = Read(JpegWith(Section(0xE1, c.block) + Section(0xFE, "later"), 9, 9));
        EXPECT_TRUE(r.ok) << c.error;
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.record.bExifValid, 0);
        EXPECT_EQ(r.record.nOrientation, 0);
        EXPECT_STREQ(r.record.szComments, "later");
        EXPECT_EQ(r.record.nWidth, 9);
        EXPECT_EQ(r.sections, 4); // the failed block stays held
    }
    // The first directory is read at offset 8 whatever the offset says.
    for (std::uint32_t first : {8u, 16u}) {
        std::string block =
            std::string("Exif\0\0", 6) + order + w.U16(42) + w.U32(first) + tiff.substr(8);
        ReadResult r = Read(JpegWith(Section(0xE1, block)));
        EXPECT_EQ(r.record.bExifValid, 1);
        EXPECT_EQ(r.record.nOrientation, 3);
    }
}

TEST_P(ExifBothOrders, DirectoryFailuresStopTheirDirectoryOnly) {
    const bool big = GetParam();
    // A directory whose entries run past the block.
    {
        TiffWriter w(big);
        int d = w.AddDir();
        w.Short(d, 274, 3);
        std::string tiff = w.Build();
        tiff = tiff.substr(0, 8) + w.U16(100) + tiff.substr(10);
        ReadResult r = Read(JpegWith(ExifSection(tiff)));
        EXPECT_EQ(r.error, "Illegally sized directory");
        EXPECT_EQ(r.record.bExifValid, 0);
        EXPECT_EQ(r.record.nOrientation, 0);
    }
    // A block too short to hold the count of the first directory.
    {
        std::string tiff = std::string(big ? "MM" : "II") + TiffWriter(big).U16(42) +
                           TiffWriter(big).U32(8) + "\x01";
        ReadResult r = Read(JpegWith(ExifSection(tiff)));
        EXPECT_EQ(r.error, "Illegally sized directory");
    }
    // Format 13 stops the directory; values before it stay, format 0 passes.
    {
        TiffWriter w(big);
        int d = w.AddDir();
        w.Short(d, 274, 2);
        w.AddRaw(d, 271, 0, 5, 0);
        w.Short(d, 37383, 3);
        w.AddRaw(d, 37384, 13, 1, 1);
        w.Short(d, 34855, 400);
        ReadResult r = ReadExif(w);
        EXPECT_EQ(r.error, "Illegal format code in EXIF dir");
        EXPECT_EQ(r.record.bExifValid, 0);
        EXPECT_EQ(r.record.nOrientation, 2);
        EXPECT_EQ(r.record.nMeteringMode, 3);
        EXPECT_EQ(r.record.nISOEquivalent, 0);
        EXPECT_STREQ(r.record.szCameraMake, "");
    }
    // A failing sub-directory does not stop the directory that links to it.
    {
        TiffWriter w(big);
        int ifd0 = w.AddDir();
        int exif = w.AddDir();
        w.Link(ifd0, 34665, exif);
        w.Short(ifd0, 274, 4);
        w.Short(exif, 34855, 100);
        w.AddRaw(exif, 37386, 99, 1, 0);
        ReadResult r = ReadExif(w);
        EXPECT_EQ(r.error, "Illegal format code in EXIF dir");
        EXPECT_EQ(r.record.bExifValid, 1);
        EXPECT_EQ(r.record.nISOEquivalent, 100);
        EXPECT_EQ(r.record.nOrientation, 4);
    }
}

TEST_P(ExifBothOrders, PointersOutsideTheBlockAreRefusedWithoutWrapping) {
    const std::uint32_t offsets[] = {0xFFFFFFF8u, 0x7FFFFFFFu, 1000};
    for (std::uint32_t offset : offsets) {
        TiffWriter w(GetParam());
        int d = w.AddDir();
        w.Short(d, 274, 5);
        w.AddRaw(d, 33434, kRational, 1, offset);
        ReadResult r = ReadExif(w);
        EXPECT_EQ(r.error, "Illegal pointer offset value in EXIF.") << offset;
        EXPECT_EQ(r.record.bExifValid, 0);
        EXPECT_EQ(r.record.nOrientation, 5);
    }
    // A component count whose byte count overflows 32 bits.
    for (std::uint32_t count : {0x20000000u, 0x40000000u, 0xFFFFFFFFu}) {
        TiffWriter w(GetParam());
        w.AddRaw(w.AddDir(), 33434, kRational, count, 8);
        EXPECT_EQ(ReadExif(w).error, "Illegal pointer offset value in EXIF.") << count;
    }
    // A value that ends exactly at the end of the block is inside it.
    TiffWriter w(GetParam());
    int d = w.AddDir();
    w.Rational(d, 33434, 1, 8);
    std::string tiff = w.Build();
    ASSERT_EQ(tiff.size(), 8u + 2 + 12 + 4 + 8);
    ReadResult r = Read(JpegWith(ExifSection(tiff)));
    EXPECT_FLOAT_EQ(r.record.fExposureTime, 0.125f);
    EXPECT_EQ(r.record.bExifValid, 1);
}

TEST_P(ExifBothOrders, SubDirectoryLinksOutsideOrBackAreIllegal) {
    const bool big = GetParam();
    // Outside the block.
    {
        TiffWriter w(big);
        int d = w.AddDir();
        w.AddRaw(d, 34665, kLong, 1, 5000);
        w.Short(d, 274, 7);
        ReadResult r = ReadExif(w);
        EXPECT_EQ(r.error, "Illegal subdirectory link");
        EXPECT_EQ(r.record.bExifValid, 0);
        EXPECT_EQ(r.record.nOrientation, 0); // the entry loop stopped
    }
    // A directory that links to itself, and two that link to each other.
    for (bool mutual : {false, true}) {
        TiffWriter w(big);
        int ifd0 = w.AddDir();
        int exif = w.AddDir();
        w.Link(ifd0, 34665, exif);
        w.Short(exif, 34855, 200);
        w.Link(exif, 34853, mutual ? ifd0 : exif);
        w.Short(exif, 37383, 2);
        ReadResult r = ReadExif(w);
        EXPECT_EQ(r.error, "Illegal subdirectory link");
        EXPECT_EQ(r.record.nISOEquivalent, 200);
        EXPECT_EQ(r.record.nMeteringMode, 0);
        EXPECT_EQ(r.record.bExifValid, 1); // the failure stays inside the sub-directory
    }
}

TEST(ExifReaderLinks, ManyDistinctDirectoriesEndWithAnIllegalLink) {
    // A chain of 100 directories, each linking to the next through the EXIF tag.
    TiffWriter w(false);
    std::vector<int> dirs;
    for (int i = 0; i < 100; ++i)
        dirs.push_back(w.AddDir());
    for (int i = 0; i + 1 < 100; ++i)
        w.Link(dirs[i], 34665, dirs[i + 1]);
    w.Short(dirs[99], 274, 6);
    ReadResult r = ReadExif(w);
    EXPECT_EQ(r.error, "Illegal subdirectory link");
    EXPECT_EQ(r.record.nOrientation, 0);
    EXPECT_EQ(r.record.bExifValid, 1);
}

TEST(ExifReaderLinks, NextDirectoryLinkIsSixteenBitsInBlockOrder) {
    // Intel order: the low half of a 32-bit link comes first and is followed.
    TiffWriter ii(false);
    int a = ii.AddDir();
    int b = ii.AddDir();
    ii.Short(a, 274, 1);
    ii.Dir(a).next = b;
    ii.Short(b, 274, 8);
    EXPECT_EQ(ReadExif(ii).record.nOrientation, 8);

    // Motorola order: the first two bytes are the high half (0), so a 32-bit
    // link to the second directory is not followed ...
    TiffWriter mm(true);
    a = mm.AddDir();
    b = mm.AddDir();
    mm.Short(a, 274, 1);
    mm.Dir(a).next = b;
    mm.Short(b, 274, 8);
    EXPECT_EQ(ReadExif(mm).record.nOrientation, 1);
    // ... but a link stored in those first two bytes is.
    TiffWriter mm2(true);
    a = mm2.AddDir();
    b = mm2.AddDir();
    mm2.Short(a, 274, 1);
    mm2.Dir(a).rawNext = mm2.DirOffset(b) << 16;
    mm2.Short(b, 274, 8);
    EXPECT_EQ(ReadExif(mm2).record.nOrientation, 8);

    // A link beyond the block fails the directory; a link back to it as well.
    TiffWriter out(false);
    a = out.AddDir();
    out.Short(a, 274, 2);
    out.Dir(a).rawNext = 0xF000;
    ReadResult r = ReadExif(out);
    EXPECT_EQ(r.error, "Illegal subdirectory link");
    EXPECT_EQ(r.record.bExifValid, 0);
    EXPECT_EQ(r.record.nOrientation, 2);

    TiffWriter loop(false);
    a = loop.AddDir();
    loop.Short(a, 274, 2);
    loop.Dir(a).next = a;
    r = ReadExif(loop);
    EXPECT_EQ(r.error, "Illegal subdirectory link");
    EXPECT_EQ(r.record.bExifValid, 0);

    // A failing further directory does not fail the one before it.
    TiffWriter bad(false);
    a = bad.AddDir();
    b = bad.AddDir();
    bad.Short(a, 274, 2);
    bad.Dir(a).next = b;
    bad.AddRaw(b, 1, 77, 1, 0);
    r = ReadExif(bad);
    EXPECT_EQ(r.error, "Illegal format code in EXIF dir");
    EXPECT_EQ(r.record.bExifValid, 1);
}

} // namespace
