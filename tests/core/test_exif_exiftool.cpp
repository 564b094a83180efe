// Checks the EXIF reader against an independent one: exiftool writes the tags
// into a JPEG made by FreeImage and reports what it stored; the reader must
// decode the same values (with its own rules: ISO below 50 times 200, the
// altitude reference byte as text).
#include "thumbs/ExifReader.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ExiftoolPath() {
    for (const char* p : {"/usr/bin/exiftool", "/usr/local/bin/exiftool"})
        if (fs::exists(p))
            return p;
    return {};
}

std::string RunCapture(const std::string& command) {
    std::string out;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    pclose(pipe);
    return out;
}

bool MakeBaseJpeg(const std::string& path, int width, int height) {
    FIBITMAP* dib = FreeImage_Allocate(width, height, 24);
    if (!dib)
        return false;
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(dib, y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<BYTE>(x * 4);
            row[3 * x + 1] = static_cast<BYTE>(y * 5);
            row[3 * x + 2] = 128;
        }
    }
    bool ok = FreeImage_Save(FIF_JPEG, dib, path.c_str(), 0);
    FreeImage_Unload(dib);
    return ok;
}

std::vector<std::string> SplitTabs(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    std::vector<std::string> fields;
    std::stringstream ss(line);
    std::string f;
    while (std::getline(ss, f, '\t'))
        fields.push_back(f);
    return fields;
}

struct Scenario {
    const char* order;
    int iso;
    const char* latRef;
    double lat;
    const char* lonRef;
    double lon;
    int altRef;
    double alt;
    int orientation;
};

const char* const kReadTags[] = {
    "-EXIF:Make",
    "-EXIF:Model",
    "-EXIF:DateTimeOriginal",
    "-EXIF:ExposureTime",
    "-EXIF:FNumber",
    "-EXIF:FocalLength",
    "-EXIF:ISO",
    "-EXIF:Orientation",
    "-EXIF:XResolution",
    "-EXIF:YResolution",
    "-EXIF:ResolutionUnit",
    "-EXIF:GPSLatitude",
    "-EXIF:GPSLatitudeRef",
    "-EXIF:GPSLongitude",
    "-EXIF:GPSLongitudeRef",
    "-EXIF:GPSAltitude",
    "-EXIF:GPSAltitudeRef",
    "-File:ImageWidth",
    "-File:ImageHeight",
    "-EXIF:ExifVersion",
};

TEST(ExifAgainstExiftool, ReaderDecodesWhatExiftoolWrote) {
    const std::string exiftool = ExiftoolPath();
    ASSERT_FALSE(exiftool.empty())
        << "exiftool is missing (Debian package libimage-exiftool-perl); run scripts/setup.sh";

    const fs::path dir =
        fs::path(testing::TempDir()) / ("exiftool_check_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string base = (dir / "base.jpg").string();
    ASSERT_TRUE(MakeBaseJpeg(base, 96, 64));

    const Scenario scenarios[] = {
        {"II", 250, "N", 48.858370, "E", 2.294481, 0, 35.5, 6},
        {"MM", 32, "S", 33.856784, "W", 151.215297, 1, 12.25, 8},
        {"MM", 1600, "N", 0.5, "E", 179.999, 0, 8848.86, 1},
    };
    int index = 0;
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(std::string(s.order) + " scenario " + std::to_string(index));
        const std::string file = (dir / ("tagged" + std::to_string(index++) + ".jpg")).string();
        fs::copy_file(base, file, fs::copy_options::overwrite_existing);
        std::ostringstream write;
        write.precision(10);
        write << exiftool << " -q -overwrite_original -n"
              << " -ExifByteOrder=" << s.order << " '-Make=Kelvra Optics'"
              << " '-Model=KV-" << s.iso << " Mark II'"
              << " '-DateTimeOriginal=2019:06:15 14:30:45'"
              << " -ExposureTime=0.003125 -FNumber=7.1 -FocalLength=35.5"
              << " -ISO=" << s.iso << " -Orientation=" << s.orientation
              << " -XResolution=300 -YResolution=240 -ResolutionUnit=2"
              << " '-GPSVersionID=2 3 0 0'"
              << " -GPSLatitude=" << s.lat << " -GPSLatitudeRef=" << s.latRef
              << " -GPSLongitude=" << s.lon << " -GPSLongitudeRef=" << s.lonRef
              << " -GPSAltitude=" << s.alt << " -GPSAltitudeRef=" << s.altRef << " '" << file
              << "' 2>&1";
        std::string writeOut = RunCapture(write.str());
        ASSERT_EQ(writeOut, "") << write.str();

        std::string read = exiftool + " -n -T -f";
        for (const char* tag : kReadTags)
            read += std::string(" ") + tag;
        read += " '" + file + "'";
        std::vector<std::string> v = SplitTabs(RunCapture(read));
        ASSERT_EQ(v.size(), std::size(kReadTags)) << read;
        // exiftool wrote the block in the byte order asked for.
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t exif = bytes.find(std::string("Exif\0\0", 6));
        ASSERT_NE(exif, std::string::npos);
        EXPECT_EQ(bytes.substr(exif + 6, 2), s.order);

        CExifReader reader;
        ASSERT_TRUE(reader.ReadJpegFile(file)) << reader.GetLastErrorText();
        const ExifRecord& r = reader.Record();
        EXPECT_EQ(r.bExifValid, 1);
        EXPECT_STREQ(reader.GetLastErrorText(), "");
        EXPECT_EQ(FieldText(r.szCameraMake), v[0]);
        EXPECT_EQ(FieldText(r.szCameraModel), v[1]);
        EXPECT_EQ(FieldText(r.szDateTime), v[2]);
        EXPECT_FLOAT_EQ(r.fExposureTime, std::stof(v[3]));
        EXPECT_FLOAT_EQ(r.fApertureFNumber, std::stof(v[4]));
        EXPECT_FLOAT_EQ(r.fFocalLength, std::stof(v[5]));
        const int iso = std::stoi(v[6]);
        EXPECT_EQ(r.nISOEquivalent, iso < 50 ? iso * 200 : iso);
        EXPECT_EQ(r.nOrientation, std::stoi(v[7]));
        EXPECT_FLOAT_EQ(r.fXResolution, std::stof(v[8]));
        EXPECT_FLOAT_EQ(r.fYResolution, std::stof(v[9]));
        EXPECT_FLOAT_EQ(r.fResolutionUnit, std::stof(v[10]));
        // Degrees and minutes pass through single precision in the reader.
        EXPECT_NEAR(r.dGpsLatitude, std::stod(v[11]), 2e-6);
        EXPECT_EQ(FieldText(r.szGpsLatRef), v[12]);
        EXPECT_NEAR(r.dGpsLongitude, std::stod(v[13]), 2e-6);
        EXPECT_EQ(FieldText(r.szGpsLonRef), v[14]);
        EXPECT_NEAR(r.dGpsAltitude, std::stod(v[15]), 1e-9);
        // The reference byte is copied as text: 0 ends the text at once.
        const int altRef = std::stoi(v[16]);
        EXPECT_EQ(FieldText(r.szGpsAltRef), altRef == 0 ? std::string() : std::string(1, altRef));
        EXPECT_EQ(r.nWidth, std::stoi(v[17]));
        EXPECT_EQ(r.nHeight, std::stoi(v[18]));
        EXPECT_EQ(FieldText(r.szExifVersion), v[19]);
        EXPECT_EQ(std::string(r.szGpsVersion, 4), std::string("\x02\x03\x00\x00", 4));
        // And exiftool read back the values it was given.
        EXPECT_NEAR(std::stod(v[11]), s.lat, 1e-6);
        EXPECT_EQ(iso, s.iso);
    }
    fs::remove_all(dir);
}

} // namespace
