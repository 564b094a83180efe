#include "thumbs/GpsExport.h"

#include "ExifTestWriter.h"
#include "library/StringArchive.h"
#include "platform/FileOps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace exiftest;
namespace fs = std::filesystem;

namespace {

struct GpsFix {
    const char* latRef;
    std::vector<std::pair<std::int32_t, std::int32_t>> lat;
    const char* lonRef;
    std::vector<std::pair<std::int32_t, std::int32_t>> lon;
    int altRef;
    std::pair<std::int32_t, std::int32_t> alt;
};

std::string JpegWithGps(bool big, const std::string& date, const GpsFix* fix) {
    TiffWriter w(big);
    int ifd0 = w.AddDir();
    int exif = w.AddDir();
    w.Link(ifd0, 34665, exif);
    w.Ascii(exif, 36867, date);
    if (fix) {
        int gps = w.AddDir();
        w.Link(ifd0, 34853, gps);
        w.Add(gps, 0, kByte, 4, Bytes({2, 2, 0, 0}));
        w.Ascii(gps, 1, fix->latRef);
        w.Rationals(gps, 2, fix->lat);
        w.Ascii(gps, 3, fix->lonRef);
        w.Rationals(gps, 4, fix->lon);
        w.Add(gps, 5, kByte, 1, Bytes({fix->altRef}));
        w.Rational(gps, 6, fix->alt.first, fix->alt.second);
    }
    return JpegWith(ExifSection(w.Build()));
}

class GpsExportTest : public testing::Test {
protected:
    void SetUp() override {
        // A folder of its own: tests of several processes run side by side.
        std::string tmpl = (fs::path(testing::TempDir()) / "gps_home_XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        m_home = tmpl;
        fs::create_directories(m_home / "pics");
        const char* old = std::getenv("KELVRA_HOME");
        m_hadHome = old != nullptr;
        if (old)
            m_oldHome = old;
        setenv("KELVRA_HOME", m_home.c_str(), 1);
    }
    void TearDown() override {
        if (m_hadHome)
            setenv("KELVRA_HOME", m_oldHome.c_str(), 1);
        else
            unsetenv("KELVRA_HOME");
        fs::remove_all(m_home);
    }
    std::string Put(const std::string& name, const std::string& bytes) {
        fs::path p = m_home / "pics" / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    std::string ExportPath() const { return (m_home / "imggps.gpd").string(); }

    // The nine arrays of the export file, read back with the archive reader.
    std::vector<std::vector<std::string>> ReadBack() const {
        auto bytes = ReadWholeFile(ExportPath());
        EXPECT_TRUE(bytes);
        std::vector<std::vector<std::string>> arrays;
        if (!bytes)
            return arrays;
        std::size_t pos = 0;
        for (int i = 0; i < 9; ++i) {
            auto a = ReadStringArray(*bytes, pos);
            EXPECT_TRUE(a) << "array " << i;
            if (!a)
                return arrays;
            arrays.push_back(*a);
        }
        EXPECT_EQ(pos, bytes->size()); // nothing behind the ninth array
        return arrays;
    }

    fs::path m_home;
    bool m_hadHome = false;
    std::string m_oldHome;
};

TEST_F(GpsExportTest, FiveJpegsTwoWithGps) {
    const GpsFix beijing{
        "N", {{39, 1}, {54, 1}, {1512, 100}}, "E", {{116, 1}, {24, 1}, {0, 1}}, 0, {435, 10}};
    const GpsFix lima{"S", {{12, 1}, {2, 1}, {36, 1}}, "W", {{77, 1}, {1, 1}, {48, 1}}, 1, {25, 2}};
    std::vector<std::string> list = {
        Put("a.jpg", JpegWithGps(false, "2015:03:07 09:05:11", &beijing)),
        Put("b.jpg", JpegWithGps(true, "2015:03:08 10:00:00", nullptr)),
        Put("c.png", Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})),
        Put("d.jpg", JpegWithGps(true, "2016:12:31 23:59:59", &lima)),
        Put("e.jpeg", JpegWith("")),
        (m_home / "pics" / "missing.jpg").string(),
        Put("f.JPG", JpegWithGps(false, "2017:01:01 00:00:00", nullptr)),
        Put("g.jpg", Soi() + FrameHeader(5, 5, 3) + Bytes({0xFF, 0xD9})), // no scan
    };
    ASSERT_TRUE(ExportGpsInfo("/photos/trip/", list));
    auto arrays = ReadBack();
    ASSERT_EQ(arrays.size(), 9u);
    EXPECT_EQ(arrays[0], std::vector<std::string>{"/photos/trip/"});
    using V = std::vector<std::string>;
    EXPECT_EQ(arrays[1], (V{"a.jpg", "b.jpg", "d.jpg", "e.jpeg", "f.JPG"}));
    EXPECT_EQ(arrays[2], (V{"2015:03:07 09:05:11", "2015:03:08 10:00:00", "2016:12:31 23:59:59", "",
                            "2017:01:01 00:00:00"}));
    EXPECT_EQ(arrays[3], (V{"N", "", "S", "", ""}));
    // 39 deg 54 min 15.12 s = 39.904200; 12 deg 2 min 36 s = 12.043333.
    EXPECT_EQ(arrays[4], (V{"39.904200", "0.000000", "12.043333", "0.000000", "0.000000"}));
    EXPECT_EQ(arrays[5], (V{"E", "", "W", "", ""}));
    EXPECT_EQ(arrays[6], (V{"116.400000", "0.000000", "77.030000", "0.000000", "0.000000"}));
    // The altitude reference byte is copied as text: 0 gives an empty text.
    EXPECT_EQ(arrays[7], (V{"", "", "\x01", "", ""}));
    EXPECT_EQ(arrays[8], (V{"43.500000", "0.000000", "12.500000", "0.000000", "0.000000"}));
}

TEST_F(GpsExportTest, NothingToExportKeepsAnOlderFile) {
    std::ofstream(ExportPath(), std::ios::binary) << "older export";
    std::vector<std::string> list = {Put("x.png", "not a jpeg"), Put("y.bmp", "BM")};
    EXPECT_FALSE(ExportGpsInfo("/somewhere/", list));
    EXPECT_FALSE(ExportGpsInfo("/somewhere/", {}));
    EXPECT_EQ(*ReadWholeFile(ExportPath()), "older export");
}

TEST_F(GpsExportTest, AnExportReplacesTheOlderFileWhole) {
    std::ofstream(ExportPath(), std::ios::binary) << std::string(5000, 'o');
    ASSERT_TRUE(ExportGpsInfo("/f/", {Put("only.jpg", JpegWith(""))}));
    auto arrays = ReadBack();
    ASSERT_EQ(arrays.size(), 9u);
    EXPECT_EQ(arrays[1], std::vector<std::string>{"only.jpg"});
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& e : fs::directory_iterator(m_home))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(GpsExportTest, AFolderThatCannotBeWrittenFailsQuietly) {
    setenv("KELVRA_HOME", (m_home / "no" / "such" / "folder").c_str(), 1);
    EXPECT_FALSE(ExportGpsInfo("/f/", {Put("one.jpg", JpegWith(""))}));
}

} // namespace
