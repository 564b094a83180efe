#include "image/Codec.h"

#include "ExifTestWriter.h"
#include "TempDir.h"
#include "platform/FileOps.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

namespace {

// A test picture with a distinct colour per pixel, written by the codec itself
// (an independent writer for our reader, and a reader for our writer).
RgbPixel Expected(int x, int yTop) {
    return {std::uint8_t(x * 7 + yTop), std::uint8_t(yTop * 5), std::uint8_t(x * 3 + 1)};
}

std::string SavePicture(const TempDir& dir, const std::string& name, FREE_IMAGE_FORMAT fif, int w,
                        int h, int bpp) {
    FIBITMAP* dib = FreeImage_Allocate(w, h, 24);
    for (int yTop = 0; yTop < h; ++yTop)
        for (int x = 0; x < w; ++x) {
            BYTE* p = FreeImage_GetScanLine(dib, h - 1 - yTop) + 3 * x;
            const RgbPixel e = Expected(x, yTop);
            p[FI_RGBA_RED] = e.r, p[FI_RGBA_GREEN] = e.g, p[FI_RGBA_BLUE] = e.b;
        }
    if (bpp != 24) {
        FIBITMAP* other =
            bpp == 32 ? FreeImage_ConvertTo32Bits(dib) : FreeImage_ColorQuantize(dib, FIQ_WUQUANT);
        FreeImage_Unload(dib);
        dib = other;
        for (int y = 0; bpp == 32 && y < h; ++y) // a real alpha channel, kept by the file
            for (int x = 0; x < w; ++x)
                FreeImage_GetScanLine(dib, y)[4 * x + FI_RGBA_ALPHA] = BYTE(128 + x);
    }
    EXPECT_TRUE(FreeImage_Save(fif, dib, dir.File(name).c_str(), 0));
    FreeImage_Unload(dib);
    return dir.File(name);
}

void ExpectPixels(const CImageBuffer& img, int w, int h) {
    ASSERT_EQ(img.Width(), w);
    ASSERT_EQ(img.Height(), h);
    EXPECT_EQ(img.Stride(), (w * 3 + 3) / 4 * 4);
    for (int yTop = 0; yTop < h; ++yTop)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(img.GetPixelRgb(x, h - 1 - yTop), Expected(x, yTop)) << x << "," << yTop;
}

TEST(Codec, BadFilesFailCleanlyAndKeepTheOldPicture) {
    TempDir dir;
    CImageBuffer img;
    // The content wins over the name.
    ASSERT_TRUE(LoadImageFile(SavePicture(dir, "ok.jpg", FIF_PNG, 5, 5, 32), img));
    EXPECT_EQ(img.GetBitCount(), 32);
    ExpectPixels(img, 5, 5);
    dir.Write("empty.jpg", "");
    dir.Write("text.png", "not a picture at all");
    dir.Write("noext", "plain");
    std::filesystem::create_directory(dir.File("folder.jpg"));
    for (const char* n : {"empty.jpg", "text.png", "noext", "folder.jpg", "missing.png"}) {
        EXPECT_FALSE(LoadImageFile(dir.File(n), img)) << n;
        EXPECT_EQ(img.Width(), 5) << n;
    }
    // Truncated files: a partial decode is acceptable if it is a consistent picture.
    for (auto [name, fif, bpp] : {std::tuple{"a.jpg", FIF_JPEG, 24},
                                  {"b.png", FIF_PNG, 32},
                                  {"c.gif", FIF_GIF, 8},
                                  {"e.tif", FIF_TIFF, 24},
                                  {"f.psd", FIF_PSD, 24}}) { // its reader crashes on some cuts
        const std::string whole = *ReadWholeFile(SavePicture(dir, name, fif, 64, 48, bpp));
        for (std::size_t cut : {std::size_t(1), std::size_t(10), whole.size() / 3, whole.size() / 2,
                                whole.size() - 1}) {
            dir.Write(std::string("cut-") + name, whole.substr(0, cut));
            CImageBuffer part;
            EXPECT_TRUE(!LoadImageFile(dir.File(std::string("cut-") + name), part) ||
                        (part.Width() == 64 && part.Size() == std::size_t(part.Stride()) * 48));
        }
    }
    // Files on which the codec's readers never end fail in their time.
    dir.Write("one.pct", "x");
    dir.Write("cut.exr", std::string("v/1\x01\x02\0\0\0chan", 12));
    for (const char* n : {"one.pct", "cut.exr"})
        EXPECT_FALSE(LoadImageFile(dir.File(n), img)) << n;
}

TEST(Codec, HugeHeadersAreRefusedWithoutDecoding) {
    // A BMP claiming 100000 x 100000 pixels at 24 bits (30 GB), with no pixel data.
    TempDir dir;
    const exiftest::TiffWriter le(false);
    dir.Write("huge.bmp", "BM" + le.U32(54) + le.U32(0) + le.U32(54) + le.U32(40) + le.U32(100000) +
                              le.U32(100000) + le.U16(1) + le.U16(24) + std::string(24, '\0'));
    CImageBuffer img;
    EXPECT_FALSE(LoadImageFile(dir.File("huge.bmp"), img));
}

TEST(Codec, DecodeTimeText) {
    EXPECT_EQ(FormatDecodeTime(0.0f), "解码:< 0.001秒");
    EXPECT_EQ(FormatDecodeTime(0.016f), "解码:0.016秒");
}

TEST(BmpWriter, RectanglesKeepTheirExactWidth) {
    TempDir dir;
    CImageBuffer img;
    ASSERT_TRUE(LoadImageFile(SavePicture(dir, "src.png", FIF_PNG, 250, 40, 24), img));
    for (int width : {201, 1, 2, 3, 4, 250}) {
        const std::string out = dir.File("rect" + std::to_string(width) + ".bmp");
        const int left = 250 - width, top = 5, bottom = 37;
        ASSERT_TRUE(SaveImageRect(img, left, top, left + width, bottom, out));
        EXPECT_EQ(ReadWholeFile(out)->size(), 54 + (width * 3 + 3) / 4 * 4 * (bottom - top));
        CImageBuffer back;
        ASSERT_TRUE(LoadImageFile(out, back));
        ASSERT_EQ(back.Width() * 100 + back.Height(), width * 100 + bottom - top);
        for (int yTop = 0; yTop < bottom - top; ++yTop)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(back.GetPixelRgb(x, bottom - top - 1 - yTop),
                          Expected(left + x, top + yTop));
    }
    EXPECT_FALSE(SaveImageRect(img, 10, 10, 10, 20, dir.File("empty.bmp")) ||
                 FileExists(dir.File("empty.bmp")));
    ASSERT_TRUE(SaveWholeImage(img, dir.File("whole.bmp")));
    CImageBuffer again;
    ASSERT_TRUE(LoadImageFile(dir.File("whole.bmp"), again));
    ExpectPixels(again, 250, 40);
}

TEST(ImageBuffer, EmptyAtConstructionAndPixelAccessStaysInside) {
    CImageBuffer img;
    EXPECT_EQ(img.Width() + img.Height() + img.Stride() + img.GetBitCount() + img.Size() +
                  img.GetBackColor() + !img.IsEmpty(),
              0u);
    ASSERT_TRUE(img.Allocate(5, 3, RGB(10, 20, 30)));
    const std::vector<std::uint8_t> before(img.Bits(), img.Bits() + img.Size());
    for (auto [x, y] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 3}})
        img.SetPixelRgb(x, y, 9, 9, 9);
    EXPECT_EQ(std::vector<std::uint8_t>(img.Bits(), img.Bits() + img.Size()), before);
    // A picture needs both sides and at most 2 GiB; a refused one leaves
    // the buffer empty.
    EXPECT_FALSE(img.Allocate(0, 5) || img.Allocate(100000, 100000));
    EXPECT_TRUE(img.IsEmpty());
}

} // namespace
