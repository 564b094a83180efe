#include "image/Blur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Truncates a channel sum to a byte. The small allowance keeps a flat area
// at its colour when the normalised weights add up to a hair below one.
inline std::uint32_t ToByte(float v) {
    const int i = static_cast<int>(v + 0.001f);
    return static_cast<std::uint32_t>(std::clamp(i, 0, 255));
}

// The horizontal pass over one row of `count` pixels.
void BlurRow(const std::uint32_t* src, std::uint32_t* dst, int count,
             const std::vector<float>& kernel, const std::vector<float>& prefix) {
    const int n = static_cast<int>(kernel.size());
    const int c = n / 2;
    for (int x = 0; x < count; ++x) {
        const int kmin = std::max(0, c - x);
        const int kmax = std::min(n - 1, c + (count - 1 - x));
        float r = 0, g = 0, b = 0;
        const std::uint32_t* p = src + (x + kmin - c);
        for (int k = kmin; k <= kmax; ++k, ++p) {
            const std::uint32_t v = *p;
            const float wk = kernel[std::size_t(k)];
            r += wk * float((v >> 16) & 0xFF);
            g += wk * float((v >> 8) & 0xFF);
            b += wk * float(v & 0xFF);
        }
        const float used = prefix[std::size_t(kmax + 1)] - prefix[std::size_t(kmin)];
        dst[x] =
            0xFF000000u | (ToByte(r / used) << 16) | (ToByte(g / used) << 8) | ToByte(b / used);
    }
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

    const int W = rc.Width(), H = rc.Height();
    std::vector<std::uint32_t> scratch(std::size_t(W) * std::size_t(H));
    for (int y = 0; y < H; ++y)
        BlurRow(dest.Row(rc.top + y) + rc.left, scratch.data() + std::size_t(y) * W, W, kernel,
                prefix);

    // The vertical pass, one output row at a time, adds whole rows of the
    // scratch block so that memory is read in order.
    const int n = static_cast<int>(kernel.size());
    const int c = n / 2;
    std::vector<float> acc(std::size_t(W) * 3);
    for (int y = 0; y < H; ++y) {
        const int kmin = std::max(0, c - y);
        const int kmax = std::min(n - 1, c + (H - 1 - y));
        std::fill(acc.begin(), acc.end(), 0.0f);
        for (int k = kmin; k <= kmax; ++k) {
            const std::uint32_t* s = scratch.data() + std::size_t(y + k - c) * W;
            const float wk = kernel[std::size_t(k)];
            float* a = acc.data();
            for (int x = 0; x < W; ++x, a += 3) {
                const std::uint32_t v = s[x];
                a[0] += wk * float((v >> 16) & 0xFF);
                a[1] += wk * float((v >> 8) & 0xFF);
                a[2] += wk * float(v & 0xFF);
            }
        }
        const float used = prefix[std::size_t(kmax + 1)] - prefix[std::size_t(kmin)];
        std::uint32_t* d = dest.Row(rc.top + y) + rc.left;
        const float* a = acc.data();
        for (int x = 0; x < W; ++x, a += 3)
            d[x] = 0xFF000000u | (ToByte(a[0] / used) << 16) | (ToByte(a[1] / used) << 8) |
                   ToByte(a[2] / used);
    }
}

void BlurView(const CViewDest& dest, float zoom) {
    GaussianBlur(dest, {0, 0, dest.nWidth, dest.nHeight}, BlurSigmaForZoom(zoom));
}
