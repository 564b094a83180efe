#include "image/ImageBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Pixels = std::vector<RgbPixel>; // top-down, row by row

CImageBuffer Make(int w, int h, const Pixels& px) {
    CImageBuffer b;
    EXPECT_TRUE(b.Allocate(w, h));
    for (int i = 0; i < w * h; ++i)
        b.SetPixelRgb(i % w, h - 1 - i / w, px[i].r, px[i].g, px[i].b);
    return b;
}

Pixels Read(const CImageBuffer& b) {
    Pixels px;
    for (int i = 0; i < b.Width() * b.Height(); ++i)
        px.push_back(b.GetPixelRgb(i % b.Width(), b.Height() - 1 - i / b.Width()));
    return px;
}

TEST(ColourConversion, WorkedValues) {
    // Red: Y 76.245, Cb 84.97, Cr 255.5.
    EXPECT_EQ(CImageBuffer::RgbToYCbCr(255, 0, 0), (YCbCrPixel{76, 84, 255}));
    EXPECT_EQ(CImageBuffer::YCbCrToRgb(76, 128, 128), (RgbPixel{76, 76, 76}));
    // R 200.944, G 75.42, B -38.2 (kept at 0).
    EXPECT_EQ(CImageBuffer::YCbCrToRgb(100, 200, 50), (RgbPixel{200, 75, 0}));
}

TEST(PointEdits, EachPixelGetsItsOwnLuminanceInsideTheRectangleOnly) {
    // Rows long enough for the vector steps, with a tail; the first four
    // pixels are worked by hand.
    const int w = 37, h = 3;
    Pixels in = {{255, 0, 0}, {1, 1, 1}, {128, 128, 128}, {129, 129, 129}};
    for (unsigned seed = 1; in.size() < w * h; seed = seed * 1103515245u + 12345u)
        in.push_back({std::uint8_t(seed >> 24), std::uint8_t(seed >> 16), std::uint8_t(seed >> 8)});
    CImageBuffer grey = Make(w, h, in), bw = Make(w, h, in), inv = Make(w, h, in);
    grey.GreyScale(0, 0, w, h - 1); // all rows but the bottom one
    bw.Threshold(-5, -5, 100, 100); // clipped to the picture
    inv.Invert(0, 0, w, h);
    EXPECT_EQ(Read(inv)[0], (RgbPixel{0, 255, 255}));
    inv.Invert(0, 0, w, h);
    EXPECT_EQ(Read(inv), in);
    const Pixels g = Read(grey), b = Read(bw);
    // Red gives 76, a grey keeps its level, luminance 128 is black, 129 white.
    EXPECT_EQ(Pixels(g.begin(), g.begin() + 4), (Pixels{{76, 76, 76}, {1, 1, 1}, in[2], in[3]}));
    EXPECT_EQ(Pixels(b.begin() + 2, b.begin() + 4), (Pixels{{0, 0, 0}, {255, 255, 255}}));
    for (int i = 0; i < w * h; ++i) {
        const auto y = std::uint8_t((299 * in[i].r + 587 * in[i].g + 114 * in[i].b) / 1000);
        const std::uint8_t t = y > 128 ? 255 : 0;
        EXPECT_EQ(g[i], (i < w * (h - 1) ? RgbPixel{y, y, y} : in[i])) << i;
        EXPECT_EQ(b[i], (RgbPixel{t, t, t})) << i;
    }
}

TEST(PointEdits, LinesEveryFifteenColumnsAndSmoothingFromTheBottomUp) {
    CImageBuffer lines = Make(31, 1, Pixels(31, RgbPixel{200, 200, 200}));
    lines.LinePattern(0, 0, 31, 1);
    for (int x = 0; x < 31; ++x)
        EXPECT_EQ(Read(lines)[x].g, x % 15 ? 200 : 255) << x;
    // One row: the pixel stands in above and below, (R + 2G + B) / 4.
    CImageBuffer row = Make(1, 1, {{40, 80, 120}});
    row.Smooth(0, 0, 1, 1);
    EXPECT_EQ(Read(row), (Pixels{{80, 80, 80}}));
    // One grey column, 160, 80, 0 from the top. From the bottom up:
    // (12 x 0 + 4 x 80) / 16 = 20; (8 x 80 + 4 x 160 + 4 x 20) / 16 = 85;
    // (12 x 160 + 4 x 85) / 16 = 141.
    CImageBuffer b = Make(1, 3, {{160, 160, 160}, {80, 80, 80}, {0, 0, 0}});
    b.Smooth(0, 0, 1, 3);
    EXPECT_EQ(Read(b), (Pixels{{141, 141, 141}, {85, 85, 85}, {20, 20, 20}}));
}

TEST(Turns, EveryPixelMovesToItsPlaceAndTheWayBackRestoresTheBlock) {
    // Where the input pixel (x, y) of a w x h picture lands: mirrored left to
    // right, top to bottom, turned clockwise (A B C / D E F become D A / E B /
    // F C) and counter-clockwise. Mirroring twice, four turns one way, or one
    // each way give the picture back.
    using Run = void (*)(CImageBuffer&);
    using To = std::pair<int, int> (*)(int, int, int, int);
    const Run lr = [](CImageBuffer& b) { b.MirrorLeftRight(); };
    const Run tb = [](CImageBuffer& b) { b.MirrorTopBottom(); };
    const Run cw = [](CImageBuffer& b) { b.RotateClockwise(); };
    const Run ccw = [](CImageBuffer& b) { b.RotateCounterClockwise(); };
    const struct {
        Run run;
        To to;
        Run back;
        int times;
    } ops[] = {{lr, [](int x, int y, int w, int) { return std::pair(w - 1 - x, y); }, lr, 1},
               {tb, [](int x, int y, int, int h) { return std::pair(x, h - 1 - y); }, tb, 1},
               {cw, [](int x, int y, int, int h) { return std::pair(h - 1 - y, x); }, cw, 3},
               {ccw, [](int x, int y, int w, int) { return std::pair(y, w - 1 - x); }, cw, 1}};
    // Odd and even sizes, thin ones, and ones wider than the 64-pixel tiles.
    for (auto [w, h] : {std::pair(1, 1), {1, 5}, {5, 1}, {3, 2}, {4, 4}, {101, 75}, {70, 33}})
        for (const auto& op : ops) {
            Pixels px; // red and green tell the column and the row
            for (int i = 0; i < w * h; ++i)
                px.push_back({std::uint8_t(i % w), std::uint8_t(i / w), 7});
            CImageBuffer out = Make(w, h, px);
            op.run(out);
            const int ow = op.run == cw || op.run == ccw ? h : w;
            ASSERT_EQ(std::pair(out.Width(), out.Stride()),
                      std::pair(ow, int(CImageBuffer::StrideFor(ow))));
            const Pixels got = Read(out);
            for (int i = 0; i < w * h; ++i) {
                const auto [x, y] = op.to(i % w, i / w, w, h);
                ASSERT_EQ(got[y * ow + x], px[i]) << w << "x" << h << " pixel " << i;
            }
            for (int i = 0; i < op.times; ++i)
                op.back(out);
            const CImageBuffer in = Make(w, h, px);
            ASSERT_EQ(out.Size(), in.Size());
            EXPECT_EQ(std::memcmp(out.Bits(), in.Bits(), in.Size()), 0) << w << "x" << h;
        }
}

} // namespace
