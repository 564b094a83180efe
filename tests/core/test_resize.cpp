#include "image/ResizeSave.h"

#include "TempDir.h"
#include "image/Codec.h"

#include <FreeImage.h>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

TEST(ResizeSave, SizeTextsInEachUnit) {
    struct Case {
        std::int64_t pixels;
        int dpi, unit;
        const char* text;
    } cases[] = {
        {1024, 96, kUnitInch, "10.67"},
        {1024, 96, kUnitCm, "27.09"},
        {1024, 96, kUnitPixel, "1024"},
        {377, 96, kUnitCm, "9.97"},
        {0, 96, kUnitCm, "0.00"},
        {96, 120, kUnitInch, "0.80"},
        {kLargest, 96, kUnitPixel, "9223372036854775807"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SizeText(c.pixels, c.dpi, c.unit), c.text) << c.pixels << " " << c.unit;
}

TEST(ResizeSave, TypedTextsReadInTheCurrentUnitOnly) {
    struct Case {
        const char* text;
        int unit;
        std::optional<std::int64_t> pixels;
    } cases[] = {
        {"10", kUnitCm, 377}, // trunc(10 x 96 x 0.3937...) = trunc(377.95)
        {"10.67", kUnitInch, 1024},
        {".5", kUnitInch, 48},
        {"2.", kUnitInch, 192},
        {"800", kUnitPixel, 800},
        {"", kUnitPixel, 0},
        {".", kUnitCm, 0},
        {"99999999999999999999999", kUnitPixel, kLargest},
        {"1e30", kUnitInch, std::nullopt},
        {"1.5", kUnitPixel, std::nullopt},
        {"1.2.3", kUnitCm, std::nullopt},
        {"10,5", kUnitCm, std::nullopt},
        {"-5", kUnitPixel, std::nullopt},
        {" 5", kUnitPixel, std::nullopt},
        {"abc", kUnitInch, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseSizeText(c.text, 96, c.unit), c.pixels) << c.text << " " << c.unit;
    EXPECT_EQ(*ParseSizeText(std::string(400, '9') + ".5", 96, kUnitCm), kLargest);
    EXPECT_EQ(*ParseSizeText("0." + std::string(400, '0') + "1", 96, kUnitCm), 0);
}

TEST(ResizeSave, TheLockedSideFollowsOnlyWhatTheUserTyped) {
    // 1024 x 768 with the lock on: width 800 gives height 600.
    CResizeSaveModel m(1024, 768, 96, 96);
    EXPECT_EQ(m.WidthText(), "1024");
    EXPECT_TRUE(m.m_bKeepRatio);
    EXPECT_TRUE(m.OnWidthTyped("800"));
    EXPECT_EQ(m.m_nHeight, 600);
    EXPECT_EQ(m.HeightText(), "600");

    // A locked 3 x 2 picture: width 10 gives 10 x 6, height 6 gives 9 x 6.
    CResizeSaveModel small(3, 2, 96, 96);
    small.OnWidthTyped("10");
    EXPECT_EQ(small.m_nWidth, 10);
    EXPECT_EQ(small.m_nHeight, 6);
    small.OnHeightTyped("6");
    EXPECT_EQ(small.m_nWidth, 9);

    // The ratio is exact: a 300 x 100 picture typed back to 300 stays 100 high.
    CResizeSaveModel wide(300, 100, 96, 96);
    wide.OnWidthTyped("600");
    wide.OnWidthTyped("300");
    EXPECT_EQ(wide.m_nHeight, 100);

    // Unlocked, the other side stays; locking again makes the height follow.
    CResizeSaveModel free(1024, 768, 96, 96);
    free.SetKeepRatio(false);
    EXPECT_FALSE(free.OnWidthTyped("512"));
    EXPECT_EQ(free.m_nHeight, 768);
    free.SetKeepRatio(true);
    EXPECT_EQ(free.m_nHeight, 384);

    // A picture without a size keeps both sides equal when locked.
    CResizeSaveModel none(0, 0, 96, 96);
    none.OnHeightTyped("7");
    EXPECT_EQ(none.m_nWidth, 7);

    // Text that is not a number of the unit changes nothing.
    EXPECT_FALSE(m.OnWidthTyped("8x"));
    EXPECT_EQ(m.m_nWidth, 800);
}

TEST(ResizeSave, UnitsShowTheSameSizeAndResetRestoresTheOpeningOne) {
    CResizeSaveModel m(1024, 768, 96, 120);
    m.SetUnit(kUnitCm);
    m.OnWidthTyped("10");
    EXPECT_EQ(m.m_nWidth, 377);
    EXPECT_EQ(m.m_nHeight, 282); // 377 x 768 / 1024
    m.SetUnit(kUnitInch);
    EXPECT_EQ(m.WidthText(), "3.93");
    EXPECT_EQ(m.HeightText(), "2.35"); // the height at 120 dpi
    EXPECT_EQ(m.m_nWidth, 377);        // showing another unit changes no size
    m.Reset();
    EXPECT_EQ(m.WidthText(), "10.67");
    EXPECT_EQ(m.HeightText(), "6.40");
    EXPECT_EQ(m.m_nHeight, 768);
}

TEST(ResizeSave, SizesBelowOneAndOversizedBlocksAreRefused) {
    struct Case {
        std::int64_t w, h;
        EResizeCheck result;
    } cases[] = {
        {0, 5, EResizeCheck::kBelowOne},
        {5, 0, EResizeCheck::kBelowOne},
        {1, 1, EResizeCheck::kOk},
        {715827882, 1, EResizeCheck::kOk}, // a row of exactly 2^31 bytes
        {715827883, 1, EResizeCheck::kTooLarge},
        {30000, 30000, EResizeCheck::kTooLarge},
        {kLargest, kLargest, EResizeCheck::kTooLarge},
        {1, std::int64_t(1) << 31, EResizeCheck::kTooLarge},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckResizeSize(c.w, c.h), c.result) << c.w << " x " << c.h;

    CImageBuffer src, out;
    ASSERT_TRUE(src.Allocate(4, 4, RGB(1, 2, 3)));
    ASSERT_TRUE(out.Allocate(2, 2));
    EXPECT_FALSE(ResampleImage(src, 0, 3, out));
    EXPECT_FALSE(ResampleImage(src, 30000, 30000, out));
    EXPECT_EQ(out.Width(), 2); // a refused resample leaves the target alone
}

TEST(ResizeSave, ResamplerTakesTheNearestPixelBelow) {
    CImageBuffer src;
    ASSERT_TRUE(src.Allocate(7, 5, 0, 8));
    src.SetBackColor(RGB(9, 8, 7));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            src.SetPixelRgb(x, y, std::uint8_t(x * 30), std::uint8_t(y * 50), std::uint8_t(x + y));
    const int sizes[][2] = {{3, 11}, {13, 9}, {1, 1}, {7, 5}, {22, 2}};
    for (const auto& s : sizes) {
        const int W = s[0], H = s[1];
        CImageBuffer out;
        ASSERT_TRUE(ResampleImage(src, W, H, out));
        ASSERT_EQ(out.Width(), W);
        ASSERT_EQ(out.Height(), H);
        EXPECT_EQ(out.GetBitCount(), 8);
        EXPECT_EQ(out.GetBackColor(), RGB(9, 8, 7));
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                int sx = static_cast<int>(std::floor(x * 7.0 / W));
                int sy = static_cast<int>(std::floor(y * 5.0 / H));
                ASSERT_EQ(out.GetPixelRgb(x, y), src.GetPixelRgb(sx, sy))
                    << W << "x" << H << " at " << x << "," << y;
            }
    }
}

TEST(ResizeSave, ResampledBmpHasExactlyTheWidthAskedFor) {
    TempDir dir;
    CImageBuffer src;
    ASSERT_TRUE(src.Allocate(1024, 768, RGB(200, 100, 50)));
    const int width = static_cast<int>(*ParseSizeText("10", 96, kUnitCm)); // 377, not 380
    ASSERT_TRUE(ResampleToBmp(src, width, 200, dir.File("out.bmp")));
    FIBITMAP* dib = FreeImage_Load(FIF_BMP, dir.File("out.bmp").c_str(), 0);
    ASSERT_TRUE(dib);
    EXPECT_EQ(FreeImage_GetWidth(dib), 377u);
    EXPECT_EQ(FreeImage_GetHeight(dib), 200u);
    RGBQUAD last;
    ASSERT_TRUE(FreeImage_GetPixelColor(dib, 376, 199, &last));
    EXPECT_EQ(last.rgbRed, 200);
    EXPECT_EQ(last.rgbBlue, 50);
    FreeImage_Unload(dib);
}

TEST(ResizeSave, FormatComesFromTheExtensionWithoutRegardToCase) {
    struct Case {
        const char* path;
        int format;
    } cases[] = {
        {"/p/a.jpg", kFormatJpeg}, {"/p/photo.JPG", kFormatJpeg},
        {"/p/x.Bmp", kFormatBmp},  {"/p/x.png", 0},
        {"/p/x.jpeg", 0},          {"/p/x", 0},
        {"/p.jpg/x", 0},           {"/p/x.bmp.txt", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResizeFormatOf(c.path), c.format) << c.path;
}

} // namespace
