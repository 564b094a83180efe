#include "image/Blur.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

struct Pixels {
    int w, h;
    std::vector<std::uint32_t> px;
    Pixels(int w_, int h_, std::uint32_t fill) : w(w_), h(h_), px(std::size_t(w_) * h_, fill) {}
    CViewDest Dest() {
        return {reinterpret_cast<std::uint8_t*>(px.data()), w, h, w * 4, EPixelFormat::kXrgb32};
    }
    std::uint32_t& At(int x, int y) { return px[std::size_t(y) * w + x]; }
};

// The weights of the rule, in double precision: exp(-d^2 / (2 sigma^2)).
double Weight(int d, int sigma) {
    return std::exp(-double(d) * d / (2.0 * sigma * sigma));
}

TEST(Blur, SigmaAndKernelFollowTheZoom) {
    EXPECT_FALSE(ShouldBlurAfterDrag(kSmoothingGaussian, 3.0f));
    EXPECT_TRUE(ShouldBlurAfterDrag(kSmoothingGaussian, 4.0f));
    EXPECT_FALSE(ShouldBlurAfterDrag(kSmoothingLinear, 8.0f));

    const struct {
        float zoom;
        int sigma;
    } cases[] = {{3.5f, 1}, {4.0f, 1}, {5.0f, 2}, {8.0f, 2}, {9.0f, 3}, {20.0f, 6}};
    for (const auto& c : cases) {
        EXPECT_EQ(BlurSigmaForZoom(c.zoom), c.sigma) << c.zoom;
        const std::vector<float> k = GaussianKernel(c.sigma);
        ASSERT_EQ(int(k.size()), 2 * 3 * c.sigma + 1);
        const int mid = int(k.size()) / 2;
        double sum = 0;
        for (float v : k)
            sum += v;
        EXPECT_NEAR(sum, 1.0, 1e-5);
        for (int i = 0; i < int(k.size()); ++i)
            EXPECT_NEAR(k[i] / k[mid], Weight(i - mid, c.sigma), 1e-5) << c.sigma << " " << i;
    }
}

TEST(Blur, FlatAreaKeepsItsColour) {
    for (int sigma : {1, 2, 6}) {
        Pixels p(40, 30, 0xFFC8641Eu);
        GaussianBlur(p.Dest(), {0, 0, 40, 30}, sigma);
        // Truncating each pass's weighted sum may lose a level per pass.
        for (std::uint32_t v : p.px)
            for (int shift : {0, 8, 16}) {
                const int got = int(v >> shift) & 255, was = int(0xFFC8641Eu >> shift) & 255;
                ASSERT_TRUE(got <= was && got >= was - 2) << sigma;
            }
    }
}

TEST(Blur, SinglePointSpreadsAsTwoTruncatedPasses) {
    // A lone bright green point in the middle of a black field. Each pass
    // truncates to whole levels, so the reference does the same.
    const int n = 21, c = 10, sigma = 1;
    Pixels p(n, n, 0xFF000000u);
    p.At(c, c) = 0xFF00FF00u;
    GaussianBlur(p.Dest(), {0, 0, n, n}, sigma);
    double total = 0;
    for (int d = -3; d <= 3; ++d)
        total += Weight(d, sigma);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int dx = std::abs(x - c), dy = std::abs(y - c);
            int want = 0;
            if (dx <= 3 && dy <= 3) {
                const int row = int(255 * Weight(dx, sigma) / total);
                want = int(row * Weight(dy, sigma) / total);
            }
            const int got = int((p.At(x, y) >> 8) & 255);
            EXPECT_NEAR(got, want, 1) << x << "," << y;
            EXPECT_EQ(p.At(x, y) & 0xFFFF00FFu, 0xFF000000u);
        }
}

TEST(Blur, EdgesDivideByTheWeightsInside) {
    // Left column red 200, rest black: at the left edge only the taps on
    // the picture count, so the edge keeps more than a middle column would.
    const int w = 12, h = 5, sigma = 1;
    Pixels p(w, h, 0xFF000000u);
    for (int y = 0; y < h; ++y)
        p.At(0, y) = 0xFFC80000u;
    GaussianBlur(p.Dest(), {0, 0, w, h}, sigma);
    for (int x = 0; x < 5; ++x) {
        double num = 0, den = 0;
        for (int d = -3; d <= 3; ++d) {
            const int sx = x + d;
            if (sx < 0 || sx >= w)
                continue;
            den += Weight(d, sigma);
            num += Weight(d, sigma) * (sx == 0 ? 200 : 0);
        }
        const int want = int(num / den); // the vertical pass sees a flat column
        for (int y = 0; y < h; ++y)
            EXPECT_NEAR(int((p.At(x, y) >> 16) & 255), want, 1) << x << "," << y;
    }
}

TEST(Blur, OnlyTheRectangleChanges) {
    Pixels p(20, 20, 0xFF000000u);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            p.At(x, y) = ((x + y) & 1) ? 0xFFFFFFFFu : 0xFF000000u;
    const std::vector<std::uint32_t> before = p.px;
    GaussianBlur(p.Dest(), {5, 6, 15, 14}, 2);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 15 && y >= 6 && y < 14;
            if (!inside)
                EXPECT_EQ(p.At(x, y), before[std::size_t(y) * 20 + x]);
            else
                EXPECT_NE(p.At(x, y), before[std::size_t(y) * 20 + x]) << x << "," << y;
        }
}

TEST(Blur, EachPassTruncatesWithoutAllowance) {
    // Rows all alike, of random levels: a pixel is its row's weighted sum
    // (in double precision here) truncated, less the level that the vertical
    // pass of a flat column may lose. A sum just below a whole level (by
    // 0.0002 to 0.0009, far beyond float rounding) keeps the level below.
    const int n = 4096;
    Pixels p(n, 7, 0);
    std::mt19937 rng(5);
    for (int x = 0; x < n; ++x)
        for (int y = 0, v = int(rng() & 0xFFFFFF); y < 7; ++y)
            p.At(x, y) = 0xFF000000u | std::uint32_t(v);
    const std::vector<std::uint32_t> row(p.px.begin(), p.px.begin() + n);
    GaussianBlur(p.Dest(), {0, 0, n, 7}, 1);
    const std::vector<float> k = GaussianKernel(1);
    int justBelow = 0;
    for (int x = 3; x < n - 3; ++x)
        for (int shift : {0, 8, 16}) {
            double sum = 0;
            for (int d = -3; d <= 3; ++d)
                sum += double(k[std::size_t(d + 3)]) *
                       double((row[std::size_t(x + d)] >> shift) & 255);
            const double below = std::ceil(sum) - sum;
            if (below < 0.0002 || below > 0.9998)
                continue; // too close to call
            justBelow += below < 0.0009;
            const int got = int(p.At(x, 3) >> shift) & 255;
            ASSERT_TRUE(got == int(sum) || got == int(sum) - 1) << x << " " << sum;
        }
    EXPECT_GT(justBelow, 0);
}

} // namespace
