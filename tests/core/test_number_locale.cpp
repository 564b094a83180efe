// Under a decimal-comma locale, once the start-up step has run, numbers are
// written and read in the C locale: the GPS export, the decode time and the
// resize dialog's sizes.
#include "app/StartUp.h"
#include "image/Codec.h"
#include "image/ResizeSave.h"
#include "thumbs/GpsExport.h"

#include "ExifTestWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(NumberLocale, NumbersStayInTheCLocale) {
    // As the application object does, in the locale that scripts/setup.sh makes.
    const std::string locale = "de_DE.UTF-8";
    if (!std::setlocale(LC_ALL, locale.c_str()))
        GTEST_SKIP() << "no " << locale << " locale";
    UseCNumberFormat();
    exiftest::TiffWriter w(false);
    w.Link(w.AddDir(), 34853, 1);
    w.Rationals(w.AddDir(), 2, {{43, 1}, {28, 1}, {56748, 10000}}); // latitude 43.468243
    TempDir dir;
    dir.Write("gps.jpg", exiftest::JpegWith(exiftest::ExifSection(w.Build())));
    EXPECT_NE(BuildGpsExport(dir.Path(), {dir.File("gps.jpg")})
                  .find("\x09"
                        "43.468243"),
              std::string::npos);
    EXPECT_EQ(FormatDecodeTime(0.016f), "解码:0.016秒");
    EXPECT_EQ(SizeText(1024, 96, kUnitInch), "10.67");
    EXPECT_EQ(ParseSizeText("10.67", 96, kUnitInch), 1024);
    EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), locale); // texts keep the user's locale
    std::setlocale(LC_ALL, "C");
}

} // namespace
