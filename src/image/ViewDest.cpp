#include "image/ViewDest.h"

#include <algorithm>

namespace {

ViewRect Clip(const CViewDest& dest, const ViewRect& rc) {
    ViewRect c{std::max(rc.left, 0), std::max(rc.top, 0), std::min(rc.right, dest.nWidth),
               std::min(rc.bottom, dest.nHeight)};
    if (c.IsEmpty())
        return {};
    return c;
}

} // namespace

void FillRect(const CViewDest& dest, const ViewRect& rc, COLORREF colour) {
    if (!dest.IsValid())
        return;
    const ViewRect c = Clip(dest, rc);
    if (c.IsEmpty())
        return;
    const std::uint32_t v = ColorToXrgb(colour);
    for (int y = c.top; y < c.bottom; ++y)
        std::fill_n(dest.Row(y) + c.left, c.Width(), v);
}

void FillMargins(const CViewDest& dest, const ViewRect& rc, COLORREF colour) {
    if (!dest.IsValid())
        return;
    const int W = dest.nWidth, H = dest.nHeight;
    if (rc.IsEmpty()) {
        FillRect(dest, {0, 0, W, H}, colour);
        return;
    }
    FillRect(dest, {0, 0, W, rc.top}, colour);
    FillRect(dest, {0, rc.bottom, W, H}, colour);
    FillRect(dest, {0, rc.top, rc.left, rc.bottom}, colour);
    FillRect(dest, {rc.right, rc.top, W, rc.bottom}, colour);
}

void FrameRect(const CViewDest& dest, const ViewRect& rc, COLORREF colour) {
    if (rc.IsEmpty())
        return;
    FillRect(dest, {rc.left, rc.top, rc.right, rc.top + 1}, colour);
    FillRect(dest, {rc.left, rc.bottom - 1, rc.right, rc.bottom}, colour);
    FillRect(dest, {rc.left, rc.top, rc.left + 1, rc.bottom}, colour);
    FillRect(dest, {rc.right - 1, rc.top, rc.right, rc.bottom}, colour);
}

void DarkenRect(const CViewDest& dest, const ViewRect& rc, int percent) {
    if (!dest.IsValid())
        return;
    const ViewRect c = Clip(dest, rc);
    if (c.IsEmpty())
        return;
    percent = std::clamp(percent, 0, 100);
    for (int y = c.top; y < c.bottom; ++y) {
        std::uint32_t* p = dest.Row(y);
        for (int x = c.left; x < c.right; ++x) {
            const std::uint32_t v = p[x];
            const std::uint32_t r = ((v >> 16) & 0xFF) * percent / 100;
            const std::uint32_t g = ((v >> 8) & 0xFF) * percent / 100;
            const std::uint32_t b = (v & 0xFF) * percent / 100;
            p[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
}
