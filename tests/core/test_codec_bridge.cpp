// The codec bridge: a picture is saved from memory as a BMP of the program's
// writer converted by the codec would be.
#include "image/Codec.h"

#include "TempDir.h"
#include "platform/FileOps.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(SaveImage, SameAsTheProgramsBmpConvertedByTheCodec) {
    TempDir dir;
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(251, 61));
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 251; ++x)
            img.SetPixelRgb(x, y, std::uint8_t(x), std::uint8_t(y * 4), std::uint8_t(x ^ y));
    ASSERT_TRUE(SaveImageRect(img, 3, 5, 204, 58, dir.File("route.bmp"))); // 201 x 53
    FIBITMAP* route = FreeImage_Load(FIF_BMP, dir.File("route.bmp").c_str(), 0);
    for (auto [format, fif] :
         {std::pair{kFormatBmp, FIF_BMP}, {kFormatJpeg, FIF_JPEG}, {kFormatPng, FIF_PNG}}) {
        const std::string mine = dir.File("m" + std::to_string(format)), theirs = mine + "t";
        ASSERT_TRUE(FreeImage_Save(fif, route, theirs.c_str(), 0));
        ASSERT_TRUE(SaveImageFile(img, 3, 5, 204, 58, mine, format));
        FIBITMAP* a = FreeImage_Load(fif, mine.c_str(), 0);
        FIBITMAP* b = FreeImage_Load(fif, theirs.c_str(), 0);
        EXPECT_EQ(FreeImage_GetWidth(a) * 100 + FreeImage_GetHeight(a), 201u * 100 + 53);
        EXPECT_EQ(FreeImage_GetDotsPerMeterX(a) + FreeImage_GetDotsPerMeterY(a),
                  FreeImage_GetDotsPerMeterX(b) + FreeImage_GetDotsPerMeterY(b))
            << format;
        for (int y = 0; y < 53; ++y)
            ASSERT_EQ(0,
                      std::memcmp(FreeImage_GetScanLine(a, y), FreeImage_GetScanLine(b, y), 603));
        FreeImage_Unload(a);
        FreeImage_Unload(b);
    }
    FreeImage_Unload(route);
    // A failed save leaves the old file, and nothing else.
    dir.Write("ro/keep.png", "old");
    const bool readOnly = dir.MakeReadOnly(dir.File("ro"));
    EXPECT_FALSE(readOnly && SaveImageFile(img, 0, 0, 9, 9, dir.File("ro/keep.png"), kFormatPng));
    EXPECT_FALSE(SaveImageFile(img, 0, 0, 9, 9, dir.File("ro/keep.gif"), 4));
    EXPECT_EQ(*ReadWholeFile(dir.File("ro/keep.png")), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("ro")), {}), 1);
}

} // namespace
