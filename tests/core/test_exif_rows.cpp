#include "thumbs/ExifRows.h"
#include "thumbs/ExifReader.h"

#include "ExifTestWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <utility>

using namespace exiftest;

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

Rows RowsOf(const ExifRecord& r) {
    std::vector<std::string> tags, values;
    AppendExifRows(r, tags, values);
    EXPECT_EQ(tags.size(), values.size());
    Rows rows;
    for (std::size_t i = 0; i < tags.size() && i < values.size(); ++i)
        rows.emplace_back(tags[i], values[i]);
    return rows;
}

Rows RowsOfFile(const std::string& bytes, const char* name = "rows.jpg") {
    std::string path = testing::TempDir() + std::to_string(::getpid()) + "_" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(f);
    if (!f)
        return {};
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    // Start from rows that must be replaced.
    std::vector<std::string> tags{"old"}, values{"old"};
    FillExifRows(path, tags, values);
    std::remove(path.c_str());
    EXPECT_EQ(tags.size(), values.size());
    Rows rows;
    for (std::size_t i = 0; i < tags.size() && i < values.size(); ++i)
        rows.emplace_back(tags[i], values[i]);
    return rows;
}

ExifRecord Zero() {
    ExifRecord r;
    std::memset(&r, 0, sizeof r);
    return r;
}

std::vector<std::string> Labels(const Rows& rows) {
    std::vector<std::string> labels;
    for (const auto& [label, value] : rows)
        labels.push_back(label);
    return labels;
}

std::string ValueOf(const Rows& rows, const std::string& label) {
    for (const auto& [l, v] : rows)
        if (l == label)
            return v;
    return "<no row>";
}

TEST(ExifRows, JpegWithoutExifShowsTheRowsThatAlwaysAppear) {
    Rows rows = RowsOfFile(JpegWith("", 640, 480, 3));
    Rows expected = {
        {"Exif版本", ""},           {"相机型号", ""},       {"拍摄时期", ""},
        {"图像尺寸", "640X480"},    {"色彩空间", "1"},      {"焦距:", "0.000000mm"},
        {"曝光时间", "0.000000s"},  {"编码方式", "192"},    {"闪光灯", "没有使用"},
        {"快门光圈值", "0.000000"}, {"测光模式：", "未知"}, {"ISO 速率", "0"},
    };
    EXPECT_EQ(rows, expected);
}

TEST(ExifRows, FilesThatAreNotJpegGiveNoRows) {
    EXPECT_TRUE(RowsOfFile(Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), "x.png").empty());
    // A JPEG that ends before its scan.
    EXPECT_TRUE(RowsOfFile(Soi() + FrameHeader(5, 5, 3) + Bytes({0xFF, 0xD9})).empty());
    std::vector<std::string> tags{"old"}, values{"old"};
    FillExifRows("/nonexistent/picture.jpg", tags, values);
    EXPECT_TRUE(tags.empty());
    EXPECT_TRUE(values.empty());
}

TEST(ExifRows, AFullRecordGivesAllRowsInOrder) {
    ExifRecord r = Zero();
    std::strcpy(r.szComments, "harbour");
    std::strcpy(r.szExifVersion, "0230");
    std::strcpy(r.szCameraMake, "Nikon");
    std::strcpy(r.szCameraModel, "D750");
    std::strcpy(r.szDateTime, "2016:01:02 03:04:05");
    r.nWidth = 6016;
    r.nHeight = 4016;
    r.nOrientation = 3;
    r.bIsColor = 1;
    r.nProcess = 194;
    r.bFlashUsed = 1;
    r.fFocalLength = 50;
    r.fExposureTime = 0.008f;
    r.fApertureFNumber = 2.8f;
    r.fDistance = 1.5f;
    r.fCCDWidth = 1.25f;
    r.fExposureBias = -0.5f;
    r.nLightSource = 3;
    r.nMeteringMode = 5;
    r.nExposureProgram = 3;
    r.nISOEquivalent = 400;
    r.nCompressionLevel = 4;
    r.fFocalPlaneXRes = 2000.5f;
    r.fFocalPlaneYRes = 1000.25f;
    r.fFocalPlaneUnits = 1.0f;
    r.fXResolution = 300.9f;
    r.fYResolution = 150.2f;
    r.fResolutionUnit = 3;
    r.fBrightness = 7.5f;
    std::memcpy(r.szGpsVersion, "\x02\x02\x00\x00", 4);
    std::strcpy(r.szGpsLatRef, "S");
    r.dGpsLatitude = 33.8688;
    std::strcpy(r.szGpsLonRef, "E");
    r.dGpsLongitude = 151.2093;
    std::strcpy(r.szGpsAltRef, "0");
    r.dGpsAltitude = 58.25;

    Rows expected = {
        {"图像描述", "harbour"},
        {"Exif版本", "0230"},
        {"制造商", "Nikon"},
        {"相机型号", "D750"},
        {"拍摄时期", "2016:01:02 03:04:05"},
        {"图像尺寸", "6016X4016"},
        {"方向", "右下"},
        {"色彩空间", "1"},
        {"焦距:", "50.000000mm"},
        {"曝光时间", "0.008000s"},
        {"水平分辨率", "300"},
        {"垂直分辨率", "150"},
        {"分辨率单位", "厘米"},
        {"编码方式", "194"},
        {"闪光灯", "使用"},
        {"快门光圈值", "2.800000"},
        {"物距", "1.500000m"},
        {"CCD宽度", "1.250000"},
        {"曝光补偿", "-0.500000 ev"},
        {"白平衡", "3"},
        {"亮度", "7.500000"},
        {"测光模式：", "矩阵测光"},
        {"曝光程序", "光圈优先"},
        {"ISO 速率", "400"},
        {"压缩图像质量", "较好"},
        {"焦平面X轴分辨率", "2000.500000"},
        {"焦平面Y轴分辨率", "1000.250000"},
        {"焦平面分辨率单位", "1.000000"},
        {"GPS版本", "2.2.0.0"},
        {"纬度参考", "S"},
        {"纬度", "33.868800"},
        {"经度参考", "E"},
        {"经度", "151.209300"},
        {"海拔高度参考", "0"},
        {"海拔高度", "58.250000"},
    };
    EXPECT_EQ(RowsOf(r), expected);
}

TEST(ExifRows, CodedValuesAtTheEdgesOfTheirTables) {
    // Orientation 8 and metering 7 are the last entries of their tables.
    ExifRecord last = Zero();
    last.nOrientation = 8;
    last.nMeteringMode = 7;
    EXPECT_EQ(ValueOf(RowsOf(last), "方向"), "下左");
    EXPECT_EQ(ValueOf(RowsOf(last), "测光模式："), "其他");
    // Programs 2 and 5 share a text; above 8 the row stays with an empty value.
    const std::pair<int, const char*> programs[] = {
        {1, "手动模式"}, {2, "程序正常模式"}, {5, "程序正常模式"}, {8, "横向模式"}, {9, ""}};
    for (auto [program, text] : programs) {
        ExifRecord r = Zero();
        r.nExposureProgram = program;
        EXPECT_EQ(ValueOf(RowsOf(r), "曝光程序"), text) << program;
    }
    const std::pair<int, const char*> levels[] = {{1, "一般"}, {2, "正常"}, {3, "正常"},
                                                  {4, "较好"}, {5, "正常"}, {0, "<no row>"}};
    for (auto [level, text] : levels) {
        ExifRecord r = Zero();
        r.nCompressionLevel = level;
        EXPECT_EQ(ValueOf(RowsOf(r), "压缩图像质量"), text) << level;
    }
    const std::pair<float, const char*> units[] = {
        {1, "无"}, {2, "英寸"}, {3.7f, "厘米"}, {5, "5.000000"}, {0.5f, "0.500000"}};
    for (auto [unit, text] : units) {
        ExifRecord r = Zero();
        r.fXResolution = r.fYResolution = 10;
        r.fResolutionUnit = unit;
        EXPECT_EQ(ValueOf(RowsOf(r), "分辨率单位"), text) << unit;
    }
}

TEST(ExifRows, RowsLeftOutByTheirConditions) {
    ExifRecord r = Zero();
    r.nMeteringMode = 8;
    r.nExposureProgram = -1;
    r.fXResolution = 72;     // without a vertical resolution
    r.dGpsLongitude = 116.4; // without a latitude
    std::strcpy(r.szGpsLatRef, "N");
    std::vector<std::string> expected = {"Exif版本", "相机型号",   "拍摄时期", "图像尺寸",
                                         "色彩空间", "焦距:",      "曝光时间", "编码方式",
                                         "闪光灯",   "快门光圈值", "ISO 速率"};
    EXPECT_EQ(Labels(RowsOf(r)), expected);
    r.nMeteringMode = -1;
    EXPECT_EQ(Labels(RowsOf(r)), expected);
}

TEST(ExifRows, GpsVersionBytesAreSigned) {
    ExifRecord r = Zero();
    r.dGpsLatitude = 1;
    std::memcpy(r.szGpsVersion, "\x02\xFE\x80\x7F", 4);
    EXPECT_EQ(ValueOf(RowsOf(r), "GPS版本"), "2.-2.-128.127");
}

TEST(ExifRows, RowsFromAFileFollowTheReadersRules) {
    // 72 dots per inch, orientation 9, and a GPS block on the equator.
    TiffWriter w(true);
    int ifd0 = w.AddDir();
    int gps = w.AddDir();
    w.Rational(ifd0, 282, 72, 1);
    w.Rational(ifd0, 283, 72, 1);
    w.Short(ifd0, 296, 2);
    w.Short(ifd0, 274, 9);
    w.Link(ifd0, 34853, gps);
    w.Ascii(gps, 1, "N");
    w.Rationals(gps, 2, {{0, 1}, {0, 1}, {0, 1}});
    w.Ascii(gps, 3, "E");
    w.Rationals(gps, 4, {{30, 1}, {0, 1}, {0, 1}});
    Rows rows = RowsOfFile(JpegWith(ExifSection(w.Build()), 100, 50));
    EXPECT_EQ(ValueOf(rows, "水平分辨率"), "72");
    EXPECT_EQ(ValueOf(rows, "垂直分辨率"), "72");
    EXPECT_EQ(ValueOf(rows, "分辨率单位"), "英寸");
    EXPECT_EQ(ValueOf(rows, "方向"), "<no row>");
    EXPECT_EQ(ValueOf(rows, "纬度"), "<no row>");
    EXPECT_EQ(ValueOf(rows, "经度"), "<no row>");
    EXPECT_EQ(ValueOf(rows, "图像尺寸"), "100X50");
    EXPECT_EQ(rows.size(), 15u);
}

} // namespace
