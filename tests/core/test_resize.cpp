#include "image/ResizeSave.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

TEST(ResizeSave, SizeTextsAndTypedTextsPerUnit) {
    EXPECT_EQ(SizeText(1024, 96, kUnitInch) + " " + SizeText(1024, 96, kUnitCm), "10.67 27.09");
    EXPECT_EQ(SizeText(384, 120, kUnitInch) + " " + SizeText(kLargest, 96, kUnitPixel),
              "3.20 9223372036854775807");
    const std::string tiny = "0." + std::string(400, '0') + "1";
    // 10 cm: trunc(10 x 96 x 0.3937...), not rounded up to a multiple of 4.
    const std::tuple<std::string, int, std::optional<std::int64_t>> cases[] = {
        {"10", kUnitCm, 377},     {"10.67", kUnitInch, 1024},
        {"800", kUnitPixel, 800}, {"", kUnitPixel, 0},
        {tiny, kUnitCm, 0},       {"99999999999999999999", kUnitPixel, kLargest},
        {"1.5", kUnitPixel, {}},  {"1.2.3", kUnitCm, {}},
        {"-5", kUnitPixel, {}},   {"1e30", kUnitInch, {}},
    };
    for (const auto& [text, unit, pixels] : cases)
        EXPECT_EQ(ParseSizeText(text, 96, unit), pixels) << text;
}

TEST(ResizeSave, TheLockedSideFollowsTheTypedOneExactly) {
    // 3 x 2 with the height typed as 6 and 300 x 100 with the width typed
    // back to 300 were 8 x 6 and 300 x 99 with a rounded float ratio.
    // {opening width, height, width typed (else height), text, width, height}
    const std::tuple<std::int64_t, std::int64_t, bool, const char*, std::int64_t, std::int64_t>
        cases[] = {
            {1024, 768, true, "800", 800, 600}, {3, 2, true, "10", 10, 6},
            {3, 2, false, "6", 9, 6},           {300, 100, true, "300", 300, 100},
            {0, 0, false, "7", 7, 7},           {1024, 768, true, "8x", 1024, 768},
        };
    for (const auto& [w0, h0, typedWidth, text, w, h] : cases) {
        CResizeSaveModel m(w0, h0, 96, 96);
        typedWidth ? m.OnWidthTyped(text) : m.OnHeightTyped(text);
        EXPECT_TRUE(m.m_nWidth == w && m.m_nHeight == h) << w0 << "x" << h0 << " " << text;
    }
    // Unlocked the height stays until the lock is on again.
    CResizeSaveModel m(1024, 768, 96, 96);
    m.SetKeepRatio(false);
    EXPECT_FALSE(m.OnWidthTyped("512"));
    EXPECT_EQ(m.m_nHeight, 768);
    m.SetKeepRatio(true);
    EXPECT_EQ(m.m_nHeight, 384);
}

TEST(ResizeSave, SizesBelowOneAndOversizedBlocksAreRefused) {
    using E = EResizeCheck; // 715827882 pixels make a row of exactly 2^31 bytes
    const std::tuple<std::int64_t, std::int64_t, EResizeCheck> cases[] = {
        {0, 5, E::kBelowOne},         {5, -1, E::kBelowOne},
        {715827882, 1, E::kOk},       {715827883, 1, E::kTooLarge},
        {30000, 30000, E::kTooLarge}, {kLargest, kLargest, E::kTooLarge},
    };
    for (const auto& [w, h, result] : cases)
        EXPECT_EQ(CheckResizeSize(w, h), result) << w << " x " << h;
}

TEST(ResizeSave, ResamplerTakesTheNearestPixelBelow) {
    CImageBuffer src;
    ASSERT_TRUE(src.Allocate(7, 5, 0, 8));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            src.SetPixelRgb(x, y, std::uint8_t(x * 30), std::uint8_t(y * 50), std::uint8_t(x + y));
    for (auto [W, H] : {std::pair{3, 11}, {13, 9}, {1, 1}, {7, 5}, {22, 2}}) {
        CImageBuffer out;
        ASSERT_TRUE(ResampleImage(src, W, H, out));
        ASSERT_TRUE(out.Width() == W && out.Height() == H);
        EXPECT_EQ(out.GetBitCount(), 8);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(out.GetPixelRgb(x, y), src.GetPixelRgb(int(std::floor(x * 7.0 / W)),
                                                                 int(std::floor(y * 5.0 / H))))
                    << W << "x" << H << " at " << x << "," << y;
    }
}

} // namespace
