#pragma once
#include "app/Settings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

struct RgbPixel {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const RgbPixel&) const = default;
};

struct YCbCrPixel {
    int y = 0, cb = 0, cr = 0;
    bool operator==(const YCbCrPixel&) const = default;
};

// Makes every block of a megabyte or more (pictures, their codec bitmaps,
// window images) a mapping of its own that goes back to the system the
// moment it is freed, so that stepping through pictures never keeps the
// pages of the ones before. Called once at start.
void ReturnLargeBlocksAtOnce();

// A picture in memory: 24 bits per pixel, rows bottom-up (row 0 is the bottom
// row), each pixel blue, green, red, rows padded to a multiple of 4 bytes.
// It also remembers the bit depth of the file the picture came from.
class CImageBuffer {
public:
    // The largest pixel block a picture may have (2 GiB).
    static constexpr std::uint64_t kMaxBlock = std::uint64_t(1) << 31;

    CImageBuffer() = default;
    CImageBuffer(const CImageBuffer&) = delete;
    CImageBuffer& operator=(const CImageBuffer&) = delete;
    CImageBuffer(CImageBuffer&& o) noexcept { *this = std::move(o); }
    CImageBuffer& operator=(CImageBuffer&& o) noexcept;

    // Bytes per row of a 24-bit picture of the given width, in 64 bits.
    static std::uint64_t StrideFor(std::int64_t width) {
        return static_cast<std::uint64_t>((width * 24 + 31) / 32) * 4;
    }

    // Replaces the picture with a copy of a bottom-up 24-bit block of
    // width x height pixels whose rows are StrideFor(width) bytes apart.
    // Fails, leaving the buffer empty, when a side is not positive, the block
    // would exceed kMaxBlock, or memory cannot be had.
    bool SetFromDib(int width, int height, const std::uint8_t* bits, std::uint16_t bitCount);
    // Takes over a bottom-up 24-bit block that another owner (the codec)
    // allocated, with rows StrideFor(width) apart, so a decoded picture is
    // never copied; release gives the block back when the buffer lets go of
    // it. Fails (releasing the block) under the same rules as SetFromDib.
    bool AdoptDib(int width, int height, std::uint8_t* bits, std::uint16_t bitCount,
                  std::function<void(std::uint8_t*)> release);
    // Makes a new picture of the given size filled with one colour.
    bool Allocate(int width, int height, COLORREF fill = 0, std::uint16_t bitCount = 24);
    void FreeBits();

    bool IsEmpty() const { return !m_pBits; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    int Stride() const { return m_nStride; }
    std::size_t Size() const { return m_nSize; }
    std::uint16_t GetBitCount() const { return m_nBitCount; }
    COLORREF GetBackColor() const { return m_crBack; }
    void SetBackColor(COLORREF c) { m_crBack = c; }
    const std::uint8_t* Bits() const { return m_pBits.get(); }
    std::uint8_t* Bits() { return m_pBits.get(); }

    // Row y counted from the bottom (0 = bottom row).
    const std::uint8_t* Row(int y) const { return m_pBits.get() + std::size_t(y) * m_nStride; }
    std::uint8_t* Row(int y) { return m_pBits.get() + std::size_t(y) * m_nStride; }

    // Writes one pixel at column x of bottom-up row y; outside the picture it
    // does nothing.
    void SetPixelRgb(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // Reads one pixel at column x of bottom-up row y; the caller keeps the
    // coordinates inside the picture.
    RgbPixel GetPixelRgb(int x, int y) const {
        const std::uint8_t* p = Row(y) + 3 * std::size_t(x);
        return {p[2], p[1], p[0]};
    }

    // The colour conversions of the JPEG file interchange format (BT.601,
    // full range), every result truncated toward zero. They are evaluated in
    // exact integer arithmetic, so a grey pixel keeps its level: (v, v, v)
    // has luminance v.
    static YCbCrPixel RgbToYCbCr(int r, int g, int b);
    // Cr = Cb = 128 gives Y in all three channels; other results are kept
    // inside 0 .. 255.
    static RgbPixel YCbCrToRgb(int y, int cr, int cb);
    // trunc(0.299 R + 0.587 G + 0.114 B).
    static int Luminance(int r, int g, int b) { return (299 * r + 587 * g + 114 * b) / 1000; }

    // The edits. Those with a rectangle (x, y from the top-left, w x h)
    // change only the part of it that lies inside the picture.
    void Invert(int x, int y, int w, int h);      // every byte b becomes 255 - b
    void GreyScale(int x, int y, int w, int h);   // all channels = luminance
    void Threshold(int x, int y, int w, int h);   // luminance > 128: white, else black
    void LinePattern(int x, int y, int w, int h); // every 15th pixel of a row black or white
    // A grey vertical 1-2-1 filter, applied from the rectangle's bottom row
    // upwards, so each row sees the filtered row below it.
    void Smooth(int x, int y, int w, int h);
    // Exact mirrors of the whole picture.
    void MirrorTopBottom();
    void MirrorLeftRight();
    // Quarter turns: a w x h picture becomes h x w with every pixel kept.
    // False (the picture unchanged) when the turned picture would be larger
    // than kMaxBlock or memory for it cannot be had.
    bool RotateClockwise();
    bool RotateCounterClockwise();

private:
    bool Rotate(bool clockwise);
    using Release = std::function<void(std::uint8_t*)>;
    using Block = std::unique_ptr<std::uint8_t, Release>;
    static Block NewBlock(std::uint64_t size); // null when memory cannot be had
    void Take(int width, int height, std::uint16_t bitCount, Block block);

    std::uint16_t m_nBitCount = 0;
    COLORREF m_crBack = 0;
    Block m_pBits{nullptr, Release()};
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    std::int32_t m_nStride = 0;
    std::size_t m_nSize = 0;
};
