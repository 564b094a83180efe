#include "image/ImageBuffer.h"

#include <cstring>
#include <malloc.h>
#include <new>

void ReturnLargeBlocksAtOnce() {
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 20);
}

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

namespace {

// Bytes of a 24-bit block of width x height, or 0 when a side is not positive
// or the block would be larger than a picture may be.
std::uint64_t BlockSizeFor(int width, int height) {
    if (width <= 0 || height <= 0)
        return 0;
    std::uint64_t size = CImageBuffer::StrideFor(width) * static_cast<std::uint64_t>(height);
    return size > CImageBuffer::kMaxBlock ? 0 : size;
}

} // namespace

CImageBuffer::Block CImageBuffer::NewBlock(std::uint64_t size) {
    return Block(new (std::nothrow) std::uint8_t[size], [](std::uint8_t* p) { delete[] p; });
}

void CImageBuffer::Take(int width, int height, std::uint16_t bitCount, Block block) {
    m_pBits = std::move(block);
    m_nBitCount = bitCount;
    m_nWidth = width;
    m_nHeight = height;
    m_nStride = static_cast<std::int32_t>(StrideFor(width));
    m_nSize = static_cast<std::size_t>(m_nStride) * static_cast<std::size_t>(height);
}

bool CImageBuffer::AdoptDib(int width, int height, std::uint8_t* bits, std::uint16_t bitCount,
                            std::function<void(std::uint8_t*)> release) {
    FreeBits();
    Block owned(bits, std::move(release)); // given back on every path
    if (!bits || BlockSizeFor(width, height) == 0)
        return false;
    Take(width, height, bitCount, std::move(owned));
    return true;
}

void CImageBuffer::FreeBits() {
    m_pBits.reset();
    m_nWidth = m_nHeight = m_nStride = 0;
    m_nSize = 0;
}

bool CImageBuffer::Allocate(int width, int height, COLORREF fill, std::uint16_t bitCount) {
    FreeBits();
    std::uint64_t size = BlockSizeFor(width, height);
    Block block = size ? NewBlock(size) : nullptr;
    if (!block)
        return false;
    Take(width, height, bitCount, std::move(block));
    std::uint8_t* row = Row(0);
    for (int x = 0; x < width; ++x) {
        row[3 * x] = static_cast<std::uint8_t>(GetBValue(fill));
        row[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(fill));
        row[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(fill));
    }
    std::memset(row + 3 * std::size_t(width), 0, m_nStride - 3 * std::size_t(width));
    for (int y = 1; y < height; ++y)
        std::memcpy(Row(y), row, m_nStride);
    return true;
}

bool CImageBuffer::SetFromDib(int width, int height, const std::uint8_t* bits,
                              std::uint16_t bitCount) {
    FreeBits();
    std::uint64_t size = bits ? BlockSizeFor(width, height) : 0;
    Block block = size ? NewBlock(size) : nullptr;
    if (!block)
        return false;
    std::memcpy(block.get(), bits, size);
    Take(width, height, bitCount, std::move(block));
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
