#pragma once
#include "app/Settings.h"
#include "image/View.h"

#include <cstddef>
#include <cstdint>

// Pixel formats a view can be drawn into.
enum class EPixelFormat {
    // One 32-bit word per pixel, 0xFFRRGGBB in native (little-endian) order,
    // rows top-down: the layout of QImage::Format_RGB32.
    kXrgb32,
};

// A caller-owned block of pixels the view is drawn into (the image window's
// backing image). Row 0 is the top row of the window.
struct CViewDest {
    std::uint8_t* pBits = nullptr;
    int nWidth = 0;
    int nHeight = 0;
    int nBytesPerRow = 0;
    EPixelFormat format = EPixelFormat::kXrgb32;

    bool IsValid() const {
        return pBits && nWidth > 0 && nHeight > 0 && format == EPixelFormat::kXrgb32 &&
               nBytesPerRow >= nWidth * 4;
    }
    std::uint32_t* Row(int y) const {
        return reinterpret_cast<std::uint32_t*>(pBits + std::size_t(y) * std::size_t(nBytesPerRow));
    }
    std::uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
};

// A COLORREF (0x00BBGGRR) as a pixel word 0xFFRRGGBB.
constexpr std::uint32_t ColorToXrgb(COLORREF c) {
    return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) |
           std::uint32_t(GetBValue(c));
}

// Fills the part of rc that lies inside the block.
void FillRect(const CViewDest& dest, const ViewRect& rc, COLORREF colour);
// Fills the whole block outside rc: the band above and below it across the
// whole width, and the bands left and right of it between them.
void FillMargins(const CViewDest& dest, const ViewRect& rc, COLORREF colour);
// Draws a one-pixel outline just inside rc (clipped to the block).
void FrameRect(const CViewDest& dest, const ViewRect& rc, COLORREF colour);
// Every channel of every pixel inside rc becomes trunc(channel x percent / 100).
void DarkenRect(const CViewDest& dest, const ViewRect& rc, int percent);
