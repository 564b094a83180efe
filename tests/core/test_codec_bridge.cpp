// The codec bridge: every type the codec loads becomes a 24-bit picture, the
// size cap counts the bytes a picture takes at its own depth while it is
// decoded, and a picture is saved from memory as a BMP of the program's
// writer converted by the codec would be.
#include "image/Codec.h"

#include "TempDir.h"
#include "platform/FileOps.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <tuple>

namespace {

// The picture in floating-point colour, brighter than white (up to 5).
FIBITMAP* Bright(FIBITMAP* rgb, FIBITMAP* (*convert)(FIBITMAP*)) {
    FIBITMAP* dib = convert(rgb);
    float* f = reinterpret_cast<float*>(FreeImage_GetBits(dib));
    for (unsigned i = 0; i < FreeImage_GetPitch(dib) * FreeImage_GetHeight(dib) / 4; ++i)
        f[i] *= 5;
    return dib;
}

TEST(CodecTypes, EveryTypeLoadsAsTwentyFourBits) {
    // Grey types give the grey picture back (by the high byte of 16-bit
    // values, by their own range, black to white, for the others); colour
    // types what the codec's tone mapper makes of their RGB values.
    TempDir dir;
    FIBITMAP* rgb = FreeImage_Allocate(16, 8, 24); // rows of 48 bytes, no padding
    BYTE* bits = FreeImage_GetBits(rgb);
    for (int i = 0; i < 16 * 8 * 3; ++i)
        bits[i] = i < 3 ? 0 : i >= 16 * 8 * 3 - 3 ? 255 : BYTE(i * 37);
    FIBITMAP* grey = FreeImage_ConvertToGreyscale(rgb);
    FIBITMAP* grey24 = FreeImage_ConvertTo24Bits(grey);
    const std::tuple<FREE_IMAGE_FORMAT, FIBITMAP*, unsigned> cases[] = {
        // depth of the file
        {FIF_PNG, FreeImage_ConvertToType(grey, FIT_UINT16, FALSE), 16},
        {FIF_TIFF, FreeImage_ConvertToType(grey, FIT_UINT16, FALSE), 16},
        {FIF_TIFF, FreeImage_ConvertToType(grey, FIT_INT16, FALSE), 16},
        {FIF_TIFF, FreeImage_ConvertToType(grey, FIT_UINT32, FALSE), 32},
        {FIF_TIFF, FreeImage_ConvertToType(grey, FIT_INT32, FALSE), 32},
        {FIF_TIFF, FreeImage_ConvertToType(grey, FIT_FLOAT, FALSE), 32},
        {FIF_PFM, FreeImage_ConvertToType(grey, FIT_FLOAT, FALSE), 32},
        {FIF_TIFF, FreeImage_ConvertToType(grey, FIT_DOUBLE, FALSE), 64},
        {FIF_HDR, Bright(rgb, FreeImage_ConvertToRGBF), 96},
        {FIF_EXR, Bright(rgb, FreeImage_ConvertToRGBF), 96},
        {FIF_EXR, Bright(rgb, FreeImage_ConvertToRGBAF), 128}, // mapped as the one before
    };
    int k = 0;
    for (auto [fif, dib, bitCount] : cases) {
        const std::string path = dir.File(std::to_string(k++) + FreeImage_GetFormatFromFIF(fif));
        ASSERT_TRUE(FreeImage_Save(fif, dib, path.c_str(), 0)) << path;
        const bool grey = bitCount <= 64;
        FIBITMAP* rgbFile =
            grey ? nullptr : FreeImage_Load(fif, (k == 11 ? dir.File("9EXR") : path).c_str(), 0);
        FIBITMAP* want = grey ? grey24 : FreeImage_ToneMapping(rgbFile, FITMO_DRAGO03, 0, 0);
        CImageBuffer img;
        ASSERT_TRUE(LoadImageFile(path, img)) << path;
        EXPECT_EQ(img.GetBitCount(), bitCount) << path;
        ASSERT_EQ(img.Width() * 10 + img.Height(), 168) << path;
        for (std::size_t i = 0; i < img.Size(); ++i)
            ASSERT_NEAR(img.Bits()[i], FreeImage_GetBits(want)[i], grey ? 1 : 0)
                << path << " " << i;
        for (FIBITMAP* d : {dib, rgbFile, grey ? nullptr : want})
            FreeImage_Unload(d);
    }
    for (FIBITMAP* d : {rgb, grey, grey24})
        FreeImage_Unload(d);
}

TEST(CodecTypes, SizeCapCountsTheDepthAndGifAndWbmpHeadersAreRead) {
    // 4 x 2 pixels: 24 bytes at 24 bits. The decoded block and each step.
    EXPECT_EQ(DecodePeakBytes(FIT_RGBA16, 64, 4, 2), 64u + 24);
    EXPECT_EQ(DecodePeakBytes(FIT_UINT16, 16, 4, 2), 8u + 24);     // via 8-bit grey
    EXPECT_EQ(DecodePeakBytes(FIT_RGBAF, 128, 4, 2), 128u + 96);   // to RGB float first
    EXPECT_EQ(DecodePeakBytes(FIT_RGBF, 96, 4, 2), 96u + 96 + 24); // the tone mapper's copy
    // 65535 x 65535 pixels of 256 colours: the codec reads no GIF header
    // alone, and would fill 4.3 GB before decoding anything.
    TempDir dir;
    const std::string side("\xFF\xFF", 2);
    dir.Write("huge.gif", "GIF89a" + side + side + std::string("\xF7\0\0", 3) +
                              std::string(768, '\x40') + std::string(",\0\0\0\0", 5) + side + side +
                              std::string("\0\x08\x02\x00\x01\0;", 7));
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak resident size starts again
    auto peak = [] {
        std::ifstream in("/proc/self/status");
        std::string key = "";
        while (in >> key && key != "VmHWM:") {
        }
        long long kb = 0;
        in >> kb;
        return kb << 10;
    };
    const long long before = peak();
    CImageBuffer img;
    EXPECT_FALSE(LoadImageFile(dir.File("huge.gif"), img));
    EXPECT_LT(peak() - before, 256ll << 20);
    // A WBMP whose header ends on an extension flag: the codec would read
    // for ever. A whole 9 x 2 picture with an extension field still loads.
    for (auto [bytes, loads] : {std::pair{std::string("\0\x80", 2), false},
                                {std::string("\0\x80\0\x05\x09\x02\xFF\x80\0\0", 10), true}}) {
        dir.Write("w.wbmp", bytes);
        EXPECT_EQ(LoadImageFile(dir.File("w.wbmp"), img), loads) << bytes.size();
    }
}

TEST(SaveImage, SameAsTheProgramsBmpConvertedByTheCodec) {
    TempDir dir;
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(251, 61));
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 251; ++x)
            img.SetPixelRgb(x, y, std::uint8_t(x), std::uint8_t(y * 4), std::uint8_t(x ^ y));
    ASSERT_TRUE(SaveImageRect(img, 3, 5, 204, 58, dir.File("route.bmp"))); // 201 x 53
    // The BMP header ends with five fields of 0 (image size, resolutions, colours).
    EXPECT_EQ(ReadWholeFile(dir.File("route.bmp"))->substr(34, 20), std::string(20, '\0'));
    FIBITMAP* route = FreeImage_Load(FIF_BMP, dir.File("route.bmp").c_str(), 0);
    for (auto [format, fif] :
         {std::pair{kFormatBmp, FIF_BMP}, {kFormatJpeg, FIF_JPEG}, {kFormatPng, FIF_PNG}}) {
        const std::string mine = dir.File(std::string("m") + char(0x30 + format)),
                          theirs = mine + "t";
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
