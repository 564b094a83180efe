// JPEG files load with the codec's own default pixels and depth, whether the
// fast decoder takes them or leaves them to the codec.
#include "image/Codec.h"
#include "image/JpegDecode.h"

#include "TempDir.h"
#include "platform/FileOps.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstring>

TEST(JpegDecode, SamePixelsAsTheCodecAndTheCodecForWhatItRefuses) {
    TempDir dir;
    // Busy content, so that every coefficient matters; odd sizes leave
    // partial blocks at the edges. 8 bits: grey; 32 bits: CMYK.
    auto save = [&](const std::string& name, int w, int h, int flags, int bpp) {
        FIBITMAP* dib = FreeImage_Allocate(w, h, bpp);
        for (unsigned i = 0; i < FreeImage_GetPitch(dib) * h; ++i)
            FreeImage_GetBits(dib)[i] = BYTE(i % 251 * 7 + i / FreeImage_GetPitch(dib));
        if (bpp == 32)
            FreeImage_GetICCProfile(dib)->flags |= FIICC_COLOR_IS_CMYK;
        FreeImage_Save(FIF_JPEG, dib, dir.File(name).c_str(), flags);
        FreeImage_Unload(dib);
        return dir.File(name);
    };
    const std::string samples = std::string(KELVRA_SOURCE_DIR) + "/samples/";
    // Each file, and whether the fast decoder takes it.
    const std::pair<std::string, bool> cases[] = {
        {save("420.jpg", 333, 251, JPEG_DEFAULT, 24), true},
        {save("422.jpg", 333, 251, JPEG_SUBSAMPLING_422, 24), true},
        {save("444.jpg", 161, 97, JPEG_SUBSAMPLING_444 | JPEG_QUALITYSUPERB, 24), true},
        {save("progressive.jpg", 301, 203, JPEG_PROGRESSIVE | JPEG_OPTIMIZE, 24), true},
        {save("grey.jpg", 257, 129, JPEG_PROGRESSIVE, 8), true},
        {samples + "sunset.jpg", true},
        {samples + "harbour.jpg", true},
        {save("cmyk.jpg", 48, 40, JPEG_DEFAULT, 32), false},
        {dir.File("truncated.jpg"), false}};
    dir.Write("truncated.jpg", ReadWholeFile(cases[0].first)->substr(0, 20000));
    for (const auto& [path, fast] : cases) {
        CImageBuffer img;
        CFileHandle f = OpenRegularFile(path);
        ASSERT_EQ(f && DecodeJpegFast(f.Fd(), img), fast) << path;
        FIBITMAP* dib = FreeImage_Load(FIF_JPEG, path.c_str(), 0);
        ASSERT_EQ(LoadImageFile(path, img), dib != nullptr) << path;
        FIBITMAP* want = FreeImage_ConvertTo24Bits(dib);
        EXPECT_EQ(img.GetBitCount(), FreeImage_GetBPP(dib)) << path;
        ASSERT_EQ(img.Size(), FreeImage_GetPitch(want) * FreeImage_GetHeight(want)) << path;
        EXPECT_EQ(std::memcmp(img.Bits(), FreeImage_GetBits(want), img.Size()), 0) << path;
        FreeImage_Unload(want);
        FreeImage_Unload(dib);
    }
}
