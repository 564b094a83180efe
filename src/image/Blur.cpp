#include "image/Blur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Truncates a channel sum to a whole level.
inline std::uint8_t Truncated(float v) {
    return static_cast<std::uint8_t>(std::clamp(static_cast<int>(v), 0, 255));
}

// 1 / the sum of the weights of the taps that fall inside a line of `count`
// values, for position i.
inline float InverseUsedWeights(int i, int count, const std::vector<float>& prefix) {
    const int n = int(prefix.size()) - 1, c = n / 2;
    const int kmin = std::max(0, c - i);
    const int kmax = std::min(n - 1, c + (count - 1 - i));
    return 1.0f / (prefix[std::size_t(kmax + 1)] - prefix[std::size_t(kmin)]);
}

// Horizontal pass over one row of W levels: each tap is added as the whole
// row shifted by its distance, so the inner loops run over x.
void RowPass(const std::uint8_t* in, std::uint8_t* out, int W, const std::vector<float>& kernel,
             const std::vector<float>& prefix, float* acc) {
    const int n = static_cast<int>(kernel.size());
    const int c = n / 2;
    std::fill(acc, acc + W, 0.0f);
    for (int k = 0; k < n; ++k) {
        const int off = k - c;
        const int x0 = std::max(0, -off), x1 = std::min(W, W - off);
        const float wk = kernel[std::size_t(k)];
        for (int x = x0; x < x1; ++x)
            acc[x] += wk * float(in[x + off]);
    }
    // Only within c of either end do taps fall outside the row.
    const float inner = InverseUsedWeights(c, 2 * c + 1, prefix);
    const int e0 = std::min(c, W), e1 = std::max(e0, W - c);
    for (int x = 0; x < e0; ++x)
        out[x] = Truncated(acc[x] * InverseUsedWeights(x, W, prefix));
    for (int x = e0; x < e1; ++x)
        out[x] = Truncated(acc[x] * inner);
    for (int x = e1; x < W; ++x)
        out[x] = Truncated(acc[x] * InverseUsedWeights(x, W, prefix));
}

// Vertical pass for output row y of a plane of H rows of W levels: the
// taps' rows are added whole.
void ColumnPass(const std::uint8_t* in, std::uint8_t* out, int y, int W, int H,
                const std::vector<float>& kernel, const std::vector<float>& prefix, float* acc) {
    const int n = static_cast<int>(kernel.size());
    const int c = n / 2;
    const int kmin = std::max(0, c - y), kmax = std::min(n - 1, c + (H - 1 - y));
    std::fill(acc, acc + W, 0.0f);
    for (int k = kmin; k <= kmax; ++k) {
        const float wk = kernel[std::size_t(k)];
        const std::uint8_t* s = in + std::ptrdiff_t(y + k - c) * W;
        for (int x = 0; x < W; ++x)
            acc[x] += wk * float(s[x]);
    }
    const float inv = InverseUsedWeights(y, H, prefix);
    for (int x = 0; x < W; ++x)
        out[x] = Truncated(acc[x] * inv);
}

} // namespace

bool ShouldBlurAfterDrag(int nSmoothing, float zoom) {
    return nSmoothing == kSmoothingGaussian && zoom > 3.0f;
}

int BlurSigmaForZoom(float zoom) {
    if (zoom <= 4.0f)
        return 1;
    return std::max(1, static_cast<int>(zoom * 0.3f + 0.5f));
}

std::vector<float> GaussianKernel(int sigma) {
    sigma = std::max(sigma, 1);
    const int n = static_cast<int>(2 * std::ceil(3.0 * sigma) + 1);
    const int c = n / 2;
    std::vector<float> k(static_cast<std::size_t>(n));
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const double d = i - c;
        const double v = std::exp(-(d * d) / (2.0 * sigma * sigma));
        k[std::size_t(i)] = float(v);
        sum += v;
    }
    for (float& v : k)
        v = float(v / sum);
    return k;
}

void GaussianBlur(const CViewDest& dest, const ViewRect& rcIn, int sigma) {
    if (!dest.IsValid())
        return;
    const ViewRect rc{std::max(rcIn.left, 0), std::max(rcIn.top, 0),
                      std::min(rcIn.right, dest.nWidth), std::min(rcIn.bottom, dest.nHeight)};
    if (rc.IsEmpty())
        return;
    const std::vector<float> kernel = GaussianKernel(sigma);
    std::vector<float> prefix(kernel.size() + 1, 0.0f);
    for (std::size_t i = 0; i < kernel.size(); ++i)
        prefix[i + 1] = prefix[i] + kernel[i];

    // The area as three planes of channel levels, red, green and blue, each
    // H rows of W values; the horizontal pass goes into a scratch copy, the
    // vertical pass back.
    const int W = rc.Width(), H = rc.Height();
    const std::size_t plane = std::size_t(W) * std::size_t(H);
    std::vector<std::uint8_t> levels(3 * plane), scratch(3 * plane);
    std::vector<float> acc(static_cast<std::size_t>(W));
    for (int y = 0; y < H; ++y) {
        const std::uint32_t* p = dest.Row(rc.top + y) + rc.left;
        std::uint8_t* r = levels.data() + std::size_t(y) * W;
        for (int x = 0; x < W; ++x) {
            r[x] = std::uint8_t(p[x] >> 16);
            r[plane + x] = std::uint8_t(p[x] >> 8);
            r[2 * plane + x] = std::uint8_t(p[x]);
        }
    }
    for (int ch = 0; ch < 3; ++ch) {
        std::uint8_t* lv = levels.data() + ch * plane;
        std::uint8_t* mid = scratch.data() + ch * plane;
        for (int y = 0; y < H; ++y)
            RowPass(lv + std::size_t(y) * W, mid + std::size_t(y) * W, W, kernel, prefix,
                    acc.data());
        for (int y = 0; y < H; ++y)
            ColumnPass(mid, lv + std::size_t(y) * W, y, W, H, kernel, prefix, acc.data());
    }
    for (int y = 0; y < H; ++y) {
        std::uint32_t* p = dest.Row(rc.top + y) + rc.left;
        const std::uint8_t* r = levels.data() + std::size_t(y) * W;
        for (int x = 0; x < W; ++x)
            p[x] = 0xFF000000u | (std::uint32_t(r[x]) << 16) | (std::uint32_t(r[plane + x]) << 8) |
                   std::uint32_t(r[2 * plane + x]);
    }
}

void BlurView(const CViewDest& dest, float zoom) {
    GaussianBlur(dest, {0, 0, dest.nWidth, dest.nHeight}, BlurSigmaForZoom(zoom));
}
