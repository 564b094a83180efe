#include "image/Codec.h"

#include "TempDir.h"
#include "platform/FileOps.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

namespace {

// A test picture with a distinct colour per pixel, written by the codec itself
// (an independent writer for our reader, and a reader for our writer).
RgbPixel Expected(int x, int yTop) {
    return {static_cast<std::uint8_t>(x * 7 + yTop), static_cast<std::uint8_t>(yTop * 5),
            static_cast<std::uint8_t>(x * 3 + 1)};
}

FIBITMAP* MakeDib(int w, int h, int bpp) {
    FIBITMAP* dib = FreeImage_Allocate(w, h, 24);
    for (int yTop = 0; yTop < h; ++yTop) {
        BYTE* row = FreeImage_GetScanLine(dib, h - 1 - yTop);
        for (int x = 0; x < w; ++x) {
            RgbPixel p = Expected(x, yTop);
            row[3 * x + FI_RGBA_RED] = p.r;
            row[3 * x + FI_RGBA_GREEN] = p.g;
            row[3 * x + FI_RGBA_BLUE] = p.b;
        }
    }
    if (bpp == 24)
        return dib;
    FIBITMAP* other = bpp == 32  ? FreeImage_ConvertTo32Bits(dib)
                      : bpp == 8 ? FreeImage_ColorQuantize(dib, FIQ_WUQUANT)
                                 : FreeImage_ConvertTo16Bits565(dib);
    FreeImage_Unload(dib);
    if (bpp == 32) // a real alpha channel, so the file keeps its four channels
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                FreeImage_GetScanLine(other, y)[4 * x + FI_RGBA_ALPHA] = BYTE(128 + x);
    return other;
}

std::string SavePicture(const TempDir& dir, const std::string& name, FREE_IMAGE_FORMAT fif, int w,
                        int h, int bpp) {
    FIBITMAP* dib = MakeDib(w, h, bpp);
    std::string path = dir.File(name);
    EXPECT_TRUE(FreeImage_Save(fif, dib, path.c_str(), 0));
    FreeImage_Unload(dib);
    return path;
}

void ExpectPixels(const CImageBuffer& img, int w, int h) {
    ASSERT_EQ(img.Width(), w);
    ASSERT_EQ(img.Height(), h);
    EXPECT_EQ(img.Stride(), (w * 3 + 3) / 4 * 4);
    for (int yTop = 0; yTop < h; ++yTop)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(img.GetPixelRgb(x, h - 1 - yTop), Expected(x, yTop)) << x << "," << yTop;
}

TEST(Codec, LosslessFormatsLoadAs24BitsAndKeepTheirDepth) {
    TempDir dir;
    struct Case {
        const char* name;
        FREE_IMAGE_FORMAT fif;
        int bpp;
    } cases[] = {{"a.png", FIF_PNG, 24},
                 {"b.png", FIF_PNG, 32},
                 {"c.bmp", FIF_BMP, 24},
                 {"d.tif", FIF_TIFF, 24},
                 {"e.bmp", FIF_BMP, 32}};
    for (const Case& c : cases) {
        CImageBuffer img;
        ASSERT_TRUE(LoadImageFile(SavePicture(dir, c.name, c.fif, 13, 7, c.bpp), img)) << c.name;
        EXPECT_EQ(img.GetBitCount(), c.bpp) << c.name;
        ExpectPixels(img, 13, 7);
    }
}

TEST(Codec, PalettedAndLossyFilesLoad) {
    TempDir dir;
    CImageBuffer img;
    ASSERT_TRUE(LoadImageFile(SavePicture(dir, "g.gif", FIF_GIF, 9, 5, 8), img));
    EXPECT_EQ(img.GetBitCount(), 8);
    EXPECT_EQ(img.Width(), 9);
    ASSERT_TRUE(LoadImageFile(SavePicture(dir, "j.jpg", FIF_JPEG, 33, 17, 24), img));
    EXPECT_EQ(img.GetBitCount(), 24);
    EXPECT_EQ(img.Height(), 17);
}

TEST(Codec, TypeComesFromContentThenFromName) {
    TempDir dir;
    std::string png = SavePicture(dir, "x.png", FIF_PNG, 4, 4, 24);
    std::rename(png.c_str(), dir.File("misnamed.jpg").c_str());
    CImageBuffer img;
    EXPECT_TRUE(LoadImageFile(dir.File("misnamed.jpg"), img)); // content wins over the name
    // A Targa file has no signature: only its name types it.
    std::string tga = SavePicture(dir, "t.tga", FIF_TARGA, 6, 3, 24);
    ASSERT_TRUE(LoadImageFile(tga, img));
    ExpectPixels(img, 6, 3);
}

TEST(Codec, BadFilesFailCleanly) {
    TempDir dir;
    CImageBuffer img;
    ASSERT_TRUE(LoadImageFile(SavePicture(dir, "ok.png", FIF_PNG, 5, 5, 24), img));
    dir.Write("empty.jpg", "");
    dir.Write("text.png", "not a picture at all");
    dir.Write("noext", "plain");
    std::filesystem::create_directory(dir.File("folder.jpg"));
    for (const char* n : {"empty.jpg", "text.png", "noext", "folder.jpg", "missing.png"}) {
        EXPECT_FALSE(LoadImageFile(dir.File(n), img)) << n;
        EXPECT_EQ(img.Width(), 5) << "a failed load keeps the old picture";
    }
}

TEST(Codec, TruncatedFilesNeverCrash) {
    TempDir dir;
    struct Case {
        const char* name;
        FREE_IMAGE_FORMAT fif;
        int bpp;
    } cases[] = {{"a.jpg", FIF_JPEG, 24},
                 {"b.png", FIF_PNG, 32},
                 {"c.gif", FIF_GIF, 8},
                 {"d.bmp", FIF_BMP, 24},
                 {"e.tif", FIF_TIFF, 24}};
    for (const Case& c : cases) {
        std::string whole = *ReadWholeFile(SavePicture(dir, c.name, c.fif, 64, 48, c.bpp));
        for (std::size_t cut : {std::size_t(1), std::size_t(10), whole.size() / 3, whole.size() / 2,
                                whole.size() - 1}) {
            dir.Write(std::string("cut-") + c.name, whole.substr(0, cut));
            CImageBuffer img;
            if (LoadImageFile(dir.File(std::string("cut-") + c.name), img)) {
                // A partial decode is acceptable; it must be a consistent picture.
                EXPECT_EQ(img.Width(), 64);
                EXPECT_EQ(img.Size(), std::size_t(img.Stride()) * img.Height());
            }
        }
    }
}

std::string Le32(std::uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
std::string Be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

TEST(Codec, HugeHeadersAreRefusedWithoutDecoding) {
    TempDir dir;
    // PNG claiming 100000 x 100000 RGB pixels (30 GB at 24 bits).
    std::string ihdr = "IHDR" + Be32(100000) + Be32(100000) + std::string("\x08\x02\0\0\0", 5);
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char ch : ihdr) {
        crc ^= ch;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + Be32(13) + ihdr + Be32(~crc) + Be32(0) +
                      "IEND" + Be32(0xAE426082);
    dir.Write("huge.png", png);
    // BMP claiming 100000 x 100000 at 24 bits with no pixel data.
    std::string bmp = "BM" + Le32(54) + Le32(0) + Le32(54) + Le32(40) + Le32(100000) +
                      Le32(100000) + std::string("\x01\0\x18\0", 4) + std::string(24, '\0');
    dir.Write("huge.bmp", bmp);
    CImageBuffer img;
    EXPECT_FALSE(LoadImageFile(dir.File("huge.png"), img));
    EXPECT_FALSE(LoadImageFile(dir.File("huge.bmp"), img));
    EXPECT_TRUE(img.IsEmpty());
}

TEST(Codec, DecodeTimeText) {
    EXPECT_EQ(FormatDecodeTime(0.0f), "解码:< 0.001秒");
    EXPECT_EQ(FormatDecodeTime(-1.0f), "解码:< 0.001秒");
    EXPECT_EQ(FormatDecodeTime(0.016f), "解码:0.016秒");
    EXPECT_EQ(FormatDecodeTime(12.5f), "解码:12.500秒");
}

TEST(BmpWriter, RectanglesKeepTheirExactWidth) {
    TempDir dir;
    CImageBuffer img;
    ASSERT_TRUE(LoadImageFile(SavePicture(dir, "src.png", FIF_PNG, 250, 40, 24), img));
    for (int width : {201, 1, 2, 3, 4, 250}) {
        std::string out = dir.File("rect" + std::to_string(width) + ".bmp");
        int left = 250 - width, top = 5, bottom = 37;
        ASSERT_TRUE(SaveImageRect(img, left, top, left + width, bottom, out));
        auto bytes = ReadWholeFile(out);
        std::size_t stride = (width * 3 + 3) / 4 * 4;
        EXPECT_EQ(bytes->size(), 54 + stride * (bottom - top));
        FIBITMAP* back = FreeImage_Load(FIF_BMP, out.c_str(), 0);
        ASSERT_TRUE(back);
        ASSERT_EQ(FreeImage_GetWidth(back), unsigned(width));
        ASSERT_EQ(FreeImage_GetHeight(back), unsigned(bottom - top));
        for (int yTop = 0; yTop < bottom - top; ++yTop) {
            BYTE* row = FreeImage_GetScanLine(back, bottom - top - 1 - yTop);
            for (int x = 0; x < width; ++x) {
                RgbPixel e = Expected(left + x, top + yTop);
                ASSERT_EQ(row[3 * x + FI_RGBA_RED], e.r);
                ASSERT_EQ(row[3 * x + FI_RGBA_GREEN], e.g);
                ASSERT_EQ(row[3 * x + FI_RGBA_BLUE], e.b);
            }
        }
        FreeImage_Unload(back);
    }
    EXPECT_FALSE(SaveImageRect(img, 10, 10, 10, 20, dir.File("empty.bmp")));
    EXPECT_FALSE(FileExists(dir.File("empty.bmp")));
    ASSERT_TRUE(SaveWholeImage(img, dir.File("whole.bmp")));
    CImageBuffer again;
    ASSERT_TRUE(LoadImageFile(dir.File("whole.bmp"), again));
    ExpectPixels(again, 250, 40);
}

TEST(ImageBuffer, EmptyAtConstructionAndPixelAccessStaysInside) {
    CImageBuffer img;
    EXPECT_TRUE(img.IsEmpty());
    EXPECT_EQ(img.Width() + img.Height() + img.Stride(), 0);
    EXPECT_EQ(img.Size(), 0u);
    EXPECT_EQ(img.GetBitCount(), 0);
    EXPECT_EQ(img.GetBackColor(), 0u);
    ASSERT_TRUE(img.Allocate(5, 3, RGB(10, 20, 30)));
    EXPECT_EQ(img.Stride(), 16);
    EXPECT_EQ(img.GetPixelRgb(4, 2), (RgbPixel{10, 20, 30}));
    img.SetPixelRgb(4, 0, 1, 2, 3);
    EXPECT_EQ(img.Row(0)[12], 3); // blue first
    EXPECT_EQ(img.Row(0)[14], 1);
    std::vector<std::uint8_t> before(img.Bits(), img.Bits() + img.Size());
    for (auto [x, y] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 3}})
        img.SetPixelRgb(x, y, 9, 9, 9);
    EXPECT_EQ(std::vector<std::uint8_t>(img.Bits(), img.Bits() + img.Size()), before);
    // SetFromDib copies a block with the 24-bit row stride.
    std::vector<std::uint8_t> rows(2 * 8, 0);
    rows[0] = 7;  // blue of (0, 0)
    rows[13] = 9; // red of (1, 1): row 1 starts at byte 8
    ASSERT_TRUE(img.SetFromDib(2, 2, rows.data(), 8));
    EXPECT_EQ(img.GetBitCount(), 8);
    EXPECT_EQ(img.GetPixelRgb(0, 0), (RgbPixel{0, 0, 7}));
    EXPECT_EQ(img.GetPixelRgb(1, 1), (RgbPixel{9, 0, 0}));
    EXPECT_FALSE(img.SetFromDib(0, 2, rows.data(), 24));
    EXPECT_TRUE(img.IsEmpty());
    EXPECT_FALSE(img.Allocate(0, 5));
    EXPECT_FALSE(img.Allocate(100000, 100000)); // above the 2 GiB block limit
    EXPECT_TRUE(img.IsEmpty());
}

} // namespace
