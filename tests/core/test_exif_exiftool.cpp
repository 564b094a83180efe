// Checks the EXIF reader against an independent writer: exiftool writes the
// tags into a JPEG made by the codec, in both byte orders; the reader must
// decode the same values (with its own rules: ISO below 50 times 200, the
// altitude reference byte as text).
#include "thumbs/ExifReader.h"

#include "TempDir.h"
#include "image/Codec.h"
#include "platform/FileOps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

TEST(ExifAgainstExiftool, ReaderDecodesWhatExiftoolWrote) {
    ASSERT_TRUE(std::filesystem::exists("/usr/bin/exiftool"))
        << "exiftool is missing (Debian package libimage-exiftool-perl); run scripts/setup.sh";
    TempDir dir;
    CImageBuffer base;
    ASSERT_TRUE(base.Allocate(96, 64, RGB(200, 100, 50)));
    ASSERT_TRUE(SaveImageFile(base, 0, 0, 96, 64, dir.File("base.jpg"), kFormatJpeg));

    // Byte order, references, ISO, altitude reference, orientation, then
    // latitude, longitude and altitude.
    const struct {
        const char *order, *latRef, *lonRef;
        int iso, altRef, orientation;
        double lat, lon, alt;
    } scenarios[] = {{"II", "N", "E", 250, 0, 6, 48.858370, 2.294481, 35.5},
                     {"MM", "S", "W", 32, 1, 8, 33.856784, 151.215297, 12.25},
                     {"MM", "N", "E", 1600, 0, 1, 0.5, 179.999, 8848.86}};
    for (const auto& s : scenarios) {
        SCOPED_TRACE(std::string(s.order) + " " + std::to_string(s.iso));
        const std::string file = dir.File("tagged.jpg");
        std::filesystem::copy_file(dir.File("base.jpg"), file,
                                   std::filesystem::copy_options::overwrite_existing);
        std::ostringstream write;
        write.precision(10);
        write << "/usr/bin/exiftool -q -overwrite_original -n -ExifByteOrder=" << s.order
              << " '-Make=Kelvra Optics' '-Model=KV-" << s.iso << " Mark II'"
              << " '-DateTimeOriginal=2019:06:15 14:30:45'"
              << " -ExposureTime=0.003125 -FNumber=7.1 -FocalLength=35.5 -ISO=" << s.iso
              << " -Orientation=" << s.orientation
              << " -XResolution=300 -YResolution=240 -ResolutionUnit=2 '-GPSVersionID=2 3 0 0'"
              << " -GPSLatitude=" << s.lat << " -GPSLatitudeRef=" << s.latRef
              << " -GPSLongitude=" << s.lon << " -GPSLongitudeRef=" << s.lonRef
              << " -GPSAltitude=" << s.alt << " -GPSAltitudeRef=" << s.altRef << " '" << file
              << "'";
        write << " >'" << dir.File("out.txt") << "' 2>&1";
        ASSERT_EQ(std::system(write.str().c_str()), 0) << write.str();
        ASSERT_EQ(ReadWholeFile(dir.File("out.txt")).value_or("?"), "")
            << write.str(); // not even a warning
        // exiftool wrote the block in the byte order asked for.
        EXPECT_NE(ReadWholeFile(file).value_or("").find(std::string("Exif\0\0", 6) + s.order),
                  std::string::npos);

        CExifReader reader;
        ASSERT_TRUE(reader.ReadJpegFile(file)) << reader.GetLastErrorText();
        const ExifRecord& r = reader.Record();
        EXPECT_EQ(r.bExifValid, 1);
        EXPECT_STREQ(reader.GetLastErrorText(), "");
        EXPECT_EQ(
            (std::vector{FieldText(r.szCameraMake), FieldText(r.szCameraModel),
                         FieldText(r.szDateTime), FieldText(r.szGpsLatRef),
                         FieldText(r.szGpsLonRef), FieldText(r.szExifVersion)}),
            (std::vector<std::string>{"Kelvra Optics", "KV-" + std::to_string(s.iso) + " Mark II",
                                      "2019:06:15 14:30:45", s.latRef, s.lonRef, "0232"}));
        EXPECT_EQ((std::vector{r.fExposureTime, r.fApertureFNumber, r.fFocalLength, r.fXResolution,
                               r.fYResolution, r.fResolutionUnit}),
                  (std::vector{0.003125f, 7.1f, 35.5f, 300.0f, 240.0f, 2.0f}));
        EXPECT_EQ((std::vector{r.nISOEquivalent, r.nOrientation, r.nWidth, r.nHeight}),
                  (std::vector{s.iso < 50 ? s.iso * 200 : s.iso, s.orientation, 96, 64}));
        // Degrees and minutes pass through single precision in the reader.
        EXPECT_NEAR(r.dGpsLatitude, s.lat, 2e-6);
        EXPECT_NEAR(r.dGpsLongitude, s.lon, 2e-6);
        EXPECT_NEAR(r.dGpsAltitude, s.alt, 1e-9);
        // The reference byte is copied as text: 0 ends the text at once.
        EXPECT_EQ(FieldText(r.szGpsAltRef), s.altRef ? std::string(1, char(s.altRef)) : "");
        EXPECT_EQ(std::string(r.szGpsVersion, 4), std::string("\x02\x03\x00\x00", 4));
    }
}

} // namespace
