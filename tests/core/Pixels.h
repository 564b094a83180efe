#pragma once
// Pictures and pixel blocks for the drawing tests.
#include "image/ImageBuffer.h"
#include "image/ViewDest.h"
#include "thumbs/ListPaint.h"

#include <cstdint>
#include <vector>

// A picture whose every pixel tells its own place: column x and row y (from
// the top, both below 4096) are spread over red, green and blue.
inline CImageBuffer Coded(int w, int h) {
    CImageBuffer b;
    b.Allocate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelRgb(x, h - 1 - y, std::uint8_t(x & 255),
                          std::uint8_t((x >> 8) | ((y >> 8) << 4)), std::uint8_t(y & 255));
    return b;
}

struct Place {
    int x, y; // picture column, row from the top
    bool operator==(const Place&) const = default;
};

inline Place Decode(int r, int g, int b) {
    return {r | ((g & 15) << 8), b | ((g >> 4) << 8)};
}
inline Place Decode(std::uint32_t xrgb) {
    return Decode((xrgb >> 16) & 255, (xrgb >> 8) & 255, xrgb & 255);
}

// A 32-bit pixel block inside a band of guard pixels: a write outside the
// block shows up in the band.
struct PixelBlock {
    static constexpr int kGuard = 4;
    static constexpr std::uint32_t kGuardValue = 0xABABABABu;
    int w, h, stride;
    std::vector<std::uint32_t> px;

    PixelBlock(int w_, int h_, std::uint32_t fill = kGuardValue)
        : w(w_), h(h_), stride(w_ + 2 * kGuard),
          px(std::size_t(stride) * (h_ + 2 * kGuard), kGuardValue) {
        for (int y = 0; y < h; ++y)
            std::fill_n(&At(0, y), w, fill);
    }
    std::uint32_t& At(int x, int y) { return px[std::size_t(y + kGuard) * stride + x + kGuard]; }
    CViewDest Dest() {
        return {reinterpret_cast<std::uint8_t*>(&At(0, 0)), w, h, stride * 4,
                EPixelFormat::kXrgb32};
    }
    ListCanvas Canvas() { return {&At(0, 0), w, h, stride}; }
    bool GuardIntact() {
        for (int y = -kGuard; y < h + kGuard; ++y)
            for (int x = -kGuard; x < w + kGuard; ++x)
                if ((x < 0 || y < 0 || x >= w || y >= h) && At(x, y) != kGuardValue)
                    return false;
        return true;
    }
};
