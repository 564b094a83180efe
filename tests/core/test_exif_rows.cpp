#include "thumbs/ExifRows.h"
#include "thumbs/ExifReader.h"
#include "thumbs/GpsExport.h"

#include "ExifTestWriter.h"
#include "TempDir.h"
#include "library/StringArchive.h"
#include "platform/FileOps.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace exiftest;
using Strings = std::vector<std::string>;

// Records are written with designated initializers; the members left out are
// zero, which is the point.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// The rows as "label=value" lines.
std::string Text(const std::vector<std::string>& tags, const std::vector<std::string>& values) {
    EXPECT_EQ(tags.size(), values.size());
    std::string out;
    for (std::size_t i = 0; i < tags.size() && i < values.size(); ++i)
        out += tags[i] + "=" + values[i] + "\n";
    return out;
}

std::string RowsOf(const ExifRecord& r) {
    std::vector<std::string> tags, values;
    AppendExifRows(r, tags, values);
    return Text(tags, values);
}

std::string RowsOfFile(const std::string& bytes) {
    TempDir dir;
    dir.Write("rows.jpg", bytes);
    std::vector<std::string> tags{"old"}, values{"old"}; // rows that must be replaced
    FillExifRows(dir.File("rows.jpg"), tags, values);
    return Text(tags, values);
}

TEST(ExifRows, FilesGiveTheRowsThatAlwaysAppearOrNone) {
    EXPECT_EQ(RowsOfFile(JpegWith("", 640, 480, 3)),
              "Exif版本=\n相机型号=\n拍摄时期=\n图像尺寸=640X480\n色彩空间=1\n焦距:=0.000000mm\n"
              "曝光时间=0.000000s\n编码方式=192\n闪光灯=没有使用\n快门光圈值=0.000000\n"
              "测光模式：=未知\nISO 速率=0\n");
    // Not a JPEG, a JPEG that ends before its scan, no file at all.
    EXPECT_EQ(RowsOfFile(Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})), "");
    EXPECT_EQ(RowsOfFile(Soi() + FrameHeader(5, 5, 3) + Bytes({0xFF, 0xD9})), "");
    std::vector<std::string> tags{"old"}, values{"old"};
    FillExifRows("/nonexistent/picture.jpg", tags, values);
    EXPECT_TRUE(tags.empty() && values.empty());
}

TEST(ExifRows, AFullRecordGivesAllRowsInOrder) {
    ExifRecord r{.nHeight = 4016, .nWidth = 6016, .szGpsVersion = {2, 2, 0, 0}};
    std::strcpy(r.szComments, "harbour");
    std::strcpy(r.szExifVersion, "0230");
    std::strcpy(r.szCameraMake, "Nikon");
    std::strcpy(r.szCameraModel, "D750");
    std::strcpy(r.szDateTime, "2016:01:02 03:04:05");
    std::strcpy(r.szGpsLatRef, "S");
    std::strcpy(r.szGpsLonRef, "E");
    std::strcpy(r.szGpsAltRef, "0");
    // One statement, every number of the record.
    r.nOrientation = 3, r.bIsColor = 1, r.nProcess = 194, r.bFlashUsed = 1, r.nLightSource = 3,
    r.nMeteringMode = 5, r.nExposureProgram = 3, r.nISOEquivalent = 400, r.nCompressionLevel = 4,
    r.fFocalLength = 50, r.fExposureTime = 0.008f, r.fApertureFNumber = 2.8f, r.fDistance = 1.5f,
    r.fCCDWidth = 1.25f, r.fExposureBias = -0.5f, r.fFocalPlaneXRes = 2000.5f,
    r.fFocalPlaneYRes = 1000.25f, r.fFocalPlaneUnits = 1, r.fXResolution = 300.9f,
    r.fYResolution = 150.2f, r.fResolutionUnit = 3, r.fBrightness = 7.5f, r.dGpsLatitude = 33.8688,
    r.dGpsLongitude = 151.2093, r.dGpsAltitude = 58.25;
    EXPECT_EQ(RowsOf(r),
              "图像描述=harbour\nExif版本=0230\n制造商=Nikon\n相机型号=D750\n"
              "拍摄时期=2016:01:02 03:04:05\n图像尺寸=6016X4016\n方向=右下\n色彩空间=1\n"
              "焦距:=50.000000mm\n曝光时间=0.008000s\n水平分辨率=300\n垂直分辨率=150\n"
              "分辨率单位=厘米\n编码方式=194\n闪光灯=使用\n快门光圈值=2.800000\n物距=1.500000m\n"
              "CCD宽度=1.250000\n曝光补偿=-0.500000 ev\n白平衡=3\n亮度=7.500000\n"
              "测光模式：=矩阵测光\n曝光程序=光圈优先\nISO 速率=400\n压缩图像质量=较好\n"
              "焦平面X轴分辨率=2000.500000\n焦平面Y轴分辨率=1000.250000\n"
              "焦平面分辨率单位=1.000000\nGPS版本=2.2.0.0\n纬度参考=S\n纬度=33.868800\n"
              "经度参考=E\n经度=151.209300\n海拔高度参考=0\n海拔高度=58.250000\n");
}

// ---------------------------------------------------------------------------
// The GPS export of a folder

// A JPEG with a date and, given a latitude reference, a GPS position (39 deg
// 54 min 15.12 s, 116 deg 24 min west) with an altitude of 12.5 m below sea
// level in the south, above it in the north.
std::string JpegWithGps(bool big, const std::string& date, const char* latRef = nullptr) {
    TiffWriter w(big);
    const int ifd0 = w.AddDir(), exif = w.AddDir();
    w.Link(ifd0, 34665, exif);
    w.Ascii(exif, 36867, date);
    if (latRef) {
        const int gps = w.AddDir();
        w.Link(ifd0, 34853, gps);
        w.Ascii(gps, 1, latRef);
        w.Rationals(gps, 2, {{39, 1}, {54, 1}, {1512, 100}});
        w.Ascii(gps, 3, "W");
        w.Rationals(gps, 4, {{116, 1}, {24, 1}, {0, 1}});
        w.Add(gps, 5, kByte, 1, Bytes({*latRef == 'S'}));
        w.Rational(gps, 6, 25, 2);
    }
    return JpegWith(ExifSection(w.Build()));
}

TEST(GpsExport, JpegsAreExportedWithTheirPositions) {
    TempDir home;
    ProgramFolderGuard guard(home.Path());
    home.Write("imggps.gpd", std::string(5000, 'o')); // an older export is replaced whole
    const std::pair<const char*, std::string> files[] = {
        {"a.jpg", JpegWithGps(false, "2015:03:07 09:05:11", "N")},
        {"b.jpg", JpegWithGps(true, "2015:03:08 10:00:00")},
        {"c.png", Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})},
        {"d.jpg", JpegWithGps(true, "2016:12:31 23:59:59", "S")},
        {"g.jpg", Soi() + FrameHeader(5, 5, 3) + Bytes({0xFF, 0xD9})}}; // no scan
    Strings list{home.File("pics/missing.jpg")};
    for (const auto& [name, bytes] : files) {
        home.Write(std::string("pics/") + name, bytes);
        list.push_back(home.File(std::string("pics/") + name));
    }
    ASSERT_TRUE(ExportGpsInfo("/photos/trip/", list));
    // Nine arrays and nothing behind them; the altitude reference byte is
    // copied as text: 0 gives an empty text.
    const std::string bytes = ReadWholeFile(home.File("imggps.gpd")).value_or("");
    std::vector<Strings> arrays;
    std::size_t pos = 0;
    while (auto a = ReadStringArray(bytes, pos))
        arrays.push_back(*a);
    EXPECT_EQ(pos, bytes.size());
    const std::vector<Strings> expected = {
        {"/photos/trip/"},
        {"a.jpg", "b.jpg", "d.jpg"},
        {"2015:03:07 09:05:11", "2015:03:08 10:00:00", "2016:12:31 23:59:59"},
        {"N", "", "S"},
        {"39.904200", "0.000000", "39.904200"},
        {"W", "", "W"},
        {"116.400000", "0.000000", "116.400000"},
        {"", "", "\x01"},
        {"12.500000", "0.000000", "12.500000"}};
    EXPECT_EQ(arrays, expected);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.Path()), {}), 2);

    // Nothing to export, or nowhere to write: false, and the older file stays.
    EXPECT_FALSE(ExportGpsInfo("/somewhere/", {home.File("pics/c.png")}) ||
                 ExportGpsInfo("/somewhere/", {}));
    ProgramFolderGuard nowhere(home.File("no/such/folder"));
    EXPECT_FALSE(ExportGpsInfo("/f/", {home.File("pics/a.jpg")}));
    EXPECT_EQ(ReadWholeFile(home.File("imggps.gpd")), bytes);
}

} // namespace
