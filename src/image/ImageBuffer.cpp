#include "image/ImageBuffer.h"

#include <cstring>
#include <new>

CImageBuffer& CImageBuffer::operator=(CImageBuffer&& o) noexcept {
    if (this != &o) {
        m_nBitCount = o.m_nBitCount;
        m_crBack = o.m_crBack;
        m_pBits = std::move(o.m_pBits);
        m_nWidth = o.m_nWidth;
        m_nHeight = o.m_nHeight;
        m_nStride = o.m_nStride;
        m_nSize = o.m_nSize;
        o.m_nWidth = o.m_nHeight = o.m_nStride = 0;
        o.m_nSize = 0;
    }
    return *this;
}

bool CImageBuffer::AllocateBlock(std::uint64_t size) {
    std::uint8_t* block = new (std::nothrow) std::uint8_t[size];
    m_pBits = std::unique_ptr<std::uint8_t, Release>(block, [](std::uint8_t* p) { delete[] p; });
    return block != nullptr;
}

bool CImageBuffer::AdoptDib(int width, int height, std::uint8_t* bits, std::uint16_t bitCount,
                            std::function<void(std::uint8_t*)> release) {
    FreeBits();
    std::unique_ptr<std::uint8_t, Release> owned(bits, std::move(release));
    if (width <= 0 || height <= 0 || !bits)
        return false;
    std::uint64_t stride = StrideFor(width);
    std::uint64_t size = stride * static_cast<std::uint64_t>(height);
    if (size > kMaxBlock)
        return false;
    m_pBits = std::move(owned);
    m_nBitCount = bitCount;
    m_nWidth = width;
    m_nHeight = height;
    m_nStride = static_cast<std::int32_t>(stride);
    m_nSize = static_cast<std::size_t>(size);
    return true;
}

void CImageBuffer::FreeBits() {
    m_pBits.reset();
    m_nWidth = m_nHeight = m_nStride = 0;
    m_nSize = 0;
}

bool CImageBuffer::Allocate(int width, int height, COLORREF fill, std::uint16_t bitCount) {
    FreeBits();
    if (width <= 0 || height <= 0)
        return false;
    std::uint64_t stride = StrideFor(width);
    std::uint64_t size = stride * static_cast<std::uint64_t>(height);
    if (size > kMaxBlock)
        return false;
    if (!AllocateBlock(size))
        return false;
    m_nBitCount = bitCount;
    m_nWidth = width;
    m_nHeight = height;
    m_nStride = static_cast<std::int32_t>(stride);
    m_nSize = static_cast<std::size_t>(size);
    std::uint8_t* row = m_pBits.get();
    for (int x = 0; x < width; ++x) {
        row[3 * x] = static_cast<std::uint8_t>(GetBValue(fill));
        row[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(fill));
        row[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(fill));
    }
    std::memset(row + 3 * std::size_t(width), 0, stride - 3 * std::size_t(width));
    for (int y = 1; y < height; ++y)
        std::memcpy(Row(y), row, stride);
    return true;
}

bool CImageBuffer::SetFromDib(int width, int height, const std::uint8_t* bits,
                              std::uint16_t bitCount) {
    FreeBits();
    if (width <= 0 || height <= 0 || !bits)
        return false;
    std::uint64_t stride = StrideFor(width);
    std::uint64_t size = stride * static_cast<std::uint64_t>(height);
    if (size > kMaxBlock)
        return false;
    if (!AllocateBlock(size))
        return false;
    std::memcpy(m_pBits.get(), bits, size);
    m_nBitCount = bitCount;
    m_nWidth = width;
    m_nHeight = height;
    m_nStride = static_cast<std::int32_t>(stride);
    m_nSize = static_cast<std::size_t>(size);
    return true;
}

void CImageBuffer::SetPixelRgb(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (x < 0 || x >= m_nWidth || y < 0 || y >= m_nHeight)
        return;
    std::uint8_t* p = Row(y) + 3 * std::size_t(x);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}
