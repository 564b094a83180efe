// The picture edits of CImageBuffer: point operations, the smoothing filter,
// mirrors and quarter turns, and the colour conversions they rest on.
#include "image/ImageBuffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// The part of a rectangle (top-down picture coordinates) inside a picture of
// width x height: columns [x0, x1) and bottom-up buffer rows [row0, row1).
struct Span {
    int x0 = 0, x1 = 0, row0 = 0, row1 = 0;
};

bool Clip(int x, int y, int w, int h, int width, int height, Span& s) {
    const long long left = std::max<long long>(x, 0);
    const long long top = std::max<long long>(y, 0);
    const long long right = std::min<long long>(static_cast<long long>(x) + w, width);
    const long long bottom = std::min<long long>(static_cast<long long>(y) + h, height);
    if (right <= left || bottom <= top)
        return false;
    s = {int(left), int(right), int(height - bottom), int(height - top)};
    return true;
}

// 1000 x luminance, exactly: 299 R + 587 G + 114 B of a blue-green-red pixel.
inline unsigned Luma1000(const std::uint8_t* p) {
    return 299u * p[2] + 587u * p[1] + 114u * p[0];
}

// The luminance of a pixel from its Luma1000 value, without a division:
// floor(s / 1000) = floor(floor(s / 8) / 125), and floor(v / 125) =
// (v x 33555) >> 22 for every v below 2^15.
inline std::uint8_t LumaByte(unsigned s) {
    return static_cast<std::uint8_t>(((s >> 3) * 33555u) >> 22);
}

// Luminance above 128, i.e. at least 129.
constexpr unsigned kWhiteFrom = 129 * 1000;

// Grey scale and black and white, row by row: every pixel's three bytes
// become one value worked out from that pixel alone.
template <bool kThreshold> void PointRowPlain(std::uint8_t* p, int n) {
    for (int i = 0; i < n; ++i, p += 3) {
        const unsigned s = Luma1000(p);
        const std::uint8_t v = kThreshold ? (s >= kWhiteFrom ? 255 : 0) : LumaByte(s);
        p[0] = p[1] = p[2] = v;
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Luma1000 of the four pixels at q, reading 16 bytes: each pair of pixels is
// spread to 16-bit lanes and multiplied with the weights.
__attribute__((target("ssse3"))) inline __m128i Luma1000x4(const std::uint8_t* q) {
    const __m128i pixels01 =
        _mm_setr_epi8(0, -1, 1, -1, 2, -1, -1, -1, 3, -1, 4, -1, 5, -1, -1, -1);
    const __m128i pixels23 =
        _mm_setr_epi8(6, -1, 7, -1, 8, -1, -1, -1, 9, -1, 10, -1, 11, -1, -1, -1);
    const __m128i weights = _mm_setr_epi16(114, 587, 299, 0, 114, 587, 299, 0);
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
    return _mm_hadd_epi32(_mm_madd_epi16(_mm_shuffle_epi8(v, pixels01), weights),
                          _mm_madd_epi16(_mm_shuffle_epi8(v, pixels23), weights));
}

// Eight pixels per step, with the division by 1000 done as in LumaByte in
// 16-bit lanes. A step reads 28 bytes, so it is taken only while they lie
// inside the row's pixels; the rest of the row goes pixel by pixel.
template <bool kThreshold>
__attribute__((target("ssse3"))) void PointRowSsse3(std::uint8_t* p, int n) {
    const __m128i first16 = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m128i last8 = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, -1, -1, -1, -1, -1, -1, -1, -1);
    int i = 0;
    for (; 3 * i + 28 <= 3 * n; i += 8) {
        std::uint8_t* q = p + 3 * i;
        const __m128i s0 = Luma1000x4(q), s1 = Luma1000x4(q + 12);
        __m128i bytes;
        if (kThreshold) {
            const __m128i below = _mm_set1_epi32(int(kWhiteFrom) - 1);
            bytes = _mm_packs_epi32(_mm_cmpgt_epi32(s0, below), _mm_cmpgt_epi32(s1, below));
            bytes = _mm_packs_epi16(bytes, bytes);
        } else {
            const __m128i eighths = _mm_packs_epi32(_mm_srli_epi32(s0, 3), _mm_srli_epi32(s1, 3));
            const __m128i luma =
                _mm_srli_epi16(_mm_mulhi_epu16(eighths, _mm_set1_epi16(short(33555))), 6);
            bytes = _mm_packus_epi16(luma, luma);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q), _mm_shuffle_epi8(bytes, first16));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(q + 16), _mm_shuffle_epi8(bytes, last8));
    }
    PointRowPlain<kThreshold>(p + 3 * i, n - i);
}

template <bool kThreshold> void PointRow(std::uint8_t* p, int n) {
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3)
        PointRowSsse3<kThreshold>(p, n);
    else
        PointRowPlain<kThreshold>(p, n);
}
#else
template <bool kThreshold> void PointRow(std::uint8_t* p, int n) {
    PointRowPlain<kThreshold>(p, n);
}
#endif

void InvertBytes(std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        p[i] = static_cast<std::uint8_t>(~p[i]);
}

// A quarter turn of a w x h picture into a new block of h x w. The old
// pixel at column x of bottom-up row c lands in row w - 1 - x, column c
// (clockwise) or in row x, column h - 1 - c (counter-clockwise).
struct TurnJob {
    const std::uint8_t* src;
    std::size_t srcStride;
    int w, h;
    std::uint8_t* dst;
    std::size_t dstStride;
    bool clockwise;

    std::uint8_t* Dst(int x, int c) const {
        const int row = clockwise ? w - 1 - x : x, col = clockwise ? c : h - 1 - c;
        return dst + std::size_t(row) * dstStride + 3 * std::size_t(col);
    }
    const std::uint8_t* Src(int x, int c) const {
        return src + std::size_t(c) * srcStride + 3 * std::size_t(x);
    }
    // The pixels of columns [x0, x1) and rows [c0, c1), one by one.
    void MovePixels(int x0, int x1, int c0, int c1) const {
        for (int x = x0; x < x1; ++x)
            for (int c = c0; c < c1; ++c)
                std::memcpy(Dst(x, c), Src(x, c), 3);
    }
};

// Both pictures are walked in square tiles of 64 x 64 pixels: a tile's
// source rows (192 bytes each, three cache lines) stay in the cache while
// its columns are gathered into destination rows, and the next tile's rows
// are fetched meanwhile.
constexpr int kTurnTile = 64;

void TurnPlain(const TurnJob& j) {
    for (int x0 = 0; x0 < j.w; x0 += kTurnTile)
        for (int c0 = 0; c0 < j.h; c0 += kTurnTile)
            j.MovePixels(x0, std::min(x0 + kTurnTile, j.w), c0, std::min(c0 + kTurnTile, j.h));
}

#if defined(__x86_64__) || defined(__i386__)
// The same with blocks of 4 x 4 pixels turned in vector registers: the four
// runs of 4 pixels are spread to 32-bit lanes, transposed and packed back to
// runs of 12 bytes. Each 16-byte read ends inside the next row, so the last
// source row, like the columns and rows left over by whole blocks, goes
// pixel by pixel.
template <bool kClockwise> __attribute__((target("ssse3"))) void TurnSsse3(const TurnJob& j) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const int wBlocks = j.w / 4 * 4, hBlocks = (j.h - 1) / 4 * 4;
    const std::ptrdiff_t os = std::ptrdiff_t(j.srcStride);
    // Destination rows of the four columns of a block, and the step from one
    // block to the next along them.
    const std::ptrdiff_t rowStep = kClockwise ? -std::ptrdiff_t(j.dstStride) : j.dstStride;
    const std::ptrdiff_t colStep = kClockwise ? 12 : -12;
    // Clockwise the strips of columns are taken from the right, so that the
    // destination rows are filled in ascending order both ways.
    for (int xi = 0; xi < wBlocks; xi += kTurnTile)
        for (int c0 = 0; c0 < hBlocks; c0 += kTurnTile) {
            const int x0 = kClockwise ? std::max(wBlocks - xi - kTurnTile, 0) : xi;
            const int x1 = kClockwise ? wBlocks - xi : std::min(x0 + kTurnTile, wBlocks);
            const int c1 = std::min(c0 + kTurnTile, hBlocks);
            for (int c = c1; c < std::min(c1 + kTurnTile, j.h); ++c)
                for (int x = x0; x < x1; x += 21)
                    __builtin_prefetch(j.Src(x, c), 0, 2);
            for (int x = x0; x < x1; x += 4) {
                const std::uint8_t* s = j.Src(x, c0);
                std::uint8_t* d = j.Dst(x, kClockwise ? c0 : c0 + 3);
                for (int c = c0; c < c1; c += 4, s += 4 * os, d += colStep) {
                    // The four source rows in the order of a destination row.
                    __m128i r[4];
                    for (int k = 0; k < 4; ++k)
                        r[k] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(
                                                    s + (kClockwise ? k : 3 - k) * os)),
                                                spread);
                    const __m128i t0 = _mm_unpacklo_epi32(r[0], r[1]);
                    const __m128i t1 = _mm_unpacklo_epi32(r[2], r[3]);
                    const __m128i t2 = _mm_unpackhi_epi32(r[0], r[1]);
                    const __m128i t3 = _mm_unpackhi_epi32(r[2], r[3]);
                    const __m128i columns[4] = {
                        _mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1),
                        _mm_unpacklo_epi64(t2, t3), _mm_unpackhi_epi64(t2, t3)};
                    for (int k = 0; k < 4; ++k) {
                        std::uint8_t* out = d + k * rowStep;
                        const __m128i v = _mm_shuffle_epi8(columns[k], pack);
                        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), v);
                        const auto tail = std::uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
                        std::memcpy(out + 8, &tail, 4);
                    }
                }
            }
        }
    j.MovePixels(wBlocks, j.w, 0, j.h);
    j.MovePixels(0, wBlocks, hBlocks, j.h);
}

void Turn(const TurnJob& j) {
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (!ssse3)
        TurnPlain(j);
    else if (j.clockwise)
        TurnSsse3<true>(j);
    else
        TurnSsse3<false>(j);
}
#else
void Turn(const TurnJob& j) {
    TurnPlain(j);
}
#endif

inline void Swap3(std::uint8_t* a, std::uint8_t* b) {
    std::swap(a[0], b[0]);
    std::swap(a[1], b[1]);
    std::swap(a[2], b[2]);
}

} // namespace

YCbCrPixel CImageBuffer::RgbToYCbCr(int r, int g, int b) {
    // In units of 1 / 100000; every value is at least 0, so integer division
    // truncates toward zero as the conversion asks.
    const int cb = (50000 * b - 33126 * g - 16874 * r + 12800000) / 100000;
    const int cr = (50000 * r - 41869 * g - 8131 * b + 12800000) / 100000;
    return {Luminance(r, g, b), cb, cr};
}

RgbPixel CImageBuffer::YCbCrToRgb(int y, int cr, int cb) {
    auto byte = [](long long v) { return static_cast<std::uint8_t>(std::clamp(v, 0LL, 255LL)); };
    const long long dr = cr - 128, db = cb - 128;
    // C++ division truncates toward zero, as each result is to be.
    return {byte((dr * 1402 + 1000LL * y) / 1000),
            byte((100000LL * y - db * 34414 - dr * 71414) / 100000),
            byte((db * 1772 + 1000LL * y) / 1000)};
}

void CImageBuffer::Invert(int x, int y, int w, int h) {
    Span s;
    if (IsEmpty() || !Clip(x, y, w, h, m_nWidth, m_nHeight, s))
        return;
    const std::size_t bytes = 3 * std::size_t(s.x1 - s.x0);
    for (int r = s.row0; r < s.row1; ++r)
        InvertBytes(Row(r) + 3 * s.x0, bytes);
}

void CImageBuffer::GreyScale(int x, int y, int w, int h) {
    Span s;
    if (IsEmpty() || !Clip(x, y, w, h, m_nWidth, m_nHeight, s))
        return;
    for (int r = s.row0; r < s.row1; ++r)
        PointRow<false>(Row(r) + 3 * s.x0, s.x1 - s.x0);
}

void CImageBuffer::Threshold(int x, int y, int w, int h) {
    Span s;
    if (IsEmpty() || !Clip(x, y, w, h, m_nWidth, m_nHeight, s))
        return;
    for (int r = s.row0; r < s.row1; ++r)
        PointRow<true>(Row(r) + 3 * s.x0, s.x1 - s.x0);
}

void CImageBuffer::LinePattern(int x, int y, int w, int h) {
    Span s;
    if (IsEmpty() || !Clip(x, y, w, h, m_nWidth, m_nHeight, s))
        return;
    // Columns x, x + 15, x + 30 ... of the rectangle as given, where inside.
    int first = x >= s.x0 ? x : x + (s.x0 - x + 14) / 15 * 15;
    for (int r = s.row0; r < s.row1; ++r)
        for (int c = first; c < s.x1; c += 15) {
            std::uint8_t* p = Row(r) + 3 * std::size_t(c);
            const std::uint8_t v = Luma1000(p) >= kWhiteFrom ? 255 : 0;
            p[0] = p[1] = p[2] = v;
        }
}

void CImageBuffer::Smooth(int x, int y, int w, int h) {
    Span s;
    if (IsEmpty() || !Clip(x, y, w, h, m_nWidth, m_nHeight, s))
        return;
    for (int r = s.row0; r < s.row1; ++r) {
        std::uint8_t* p = Row(r) + 3 * s.x0;
        // The row below has been filtered already; at the rectangle's edges
        // the pixel stands in for its missing neighbour.
        const std::uint8_t* down = r > s.row0 ? Row(r - 1) + 3 * s.x0 : p;
        const std::uint8_t* up = r + 1 < s.row1 ? Row(r + 1) + 3 * s.x0 : p;
        for (int i = 0; i < s.x1 - s.x0; ++i, p += 3, down += 3, up += 3) {
            // Weights 1 2 1 / 2 4 2 / 1 2 1 across red, green, blue of the
            // rows below, own and above; they sum to 16.
            const unsigned sum = 2u * p[2] + 4u * p[1] + 2u * p[0] + up[2] + 2u * up[1] + up[0] +
                                 down[2] + 2u * down[1] + down[0];
            const std::uint8_t v = static_cast<std::uint8_t>(sum >> 4);
            p[0] = p[1] = p[2] = v;
        }
    }
}

void CImageBuffer::MirrorTopBottom() {
    if (IsEmpty())
        return;
    for (int r = 0, q = m_nHeight - 1; r < q; ++r, --q)
        std::swap_ranges(Row(r), Row(r) + 3 * std::size_t(m_nWidth), Row(q));
}

void CImageBuffer::MirrorLeftRight() {
    if (IsEmpty())
        return;
    for (int r = 0; r < m_nHeight; ++r) {
        std::uint8_t* row = Row(r);
        for (int a = 0, b = m_nWidth - 1; a < b; ++a, --b)
            Swap3(row + 3 * std::size_t(a), row + 3 * std::size_t(b));
    }
}

bool CImageBuffer::RotateClockwise() {
    return Rotate(true);
}

bool CImageBuffer::RotateCounterClockwise() {
    return Rotate(false);
}

bool CImageBuffer::Rotate(bool clockwise) {
    if (IsEmpty())
        return true;
    const std::size_t newStride = StrideFor(m_nHeight);
    if (newStride * std::uint64_t(m_nWidth) > kMaxBlock) // a row's padding grows with a turn
        return false;
    Block block = NewBlock(newStride * std::size_t(m_nWidth));
    if (!block)
        return false;
    const TurnJob job{
        m_pBits.get(), std::size_t(m_nStride), m_nWidth, m_nHeight, block.get(), newStride,
        clockwise};
    Turn(job);
    for (int r = 0; r < m_nWidth; ++r)
        std::memset(block.get() + std::size_t(r) * newStride + 3 * std::size_t(m_nHeight), 0,
                    newStride - 3 * std::size_t(m_nHeight));
    Take(m_nHeight, m_nWidth, m_nBitCount, std::move(block));
    return true;
}
