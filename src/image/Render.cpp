#include "image/Render.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// One 24-bit blue-green-red pixel as 0xFFRRGGBB, reading its three bytes only.
inline std::uint32_t Pack(const std::uint8_t* p) {
    std::uint16_t bg;
    std::memcpy(&bg, p, 2);
    return 0xFF000000u | (std::uint32_t(p[2]) << 16) | bg;
}

// The same from one 32-bit word, whose fourth byte (the next pixel, the row
// padding or the next row) is replaced by the alpha byte. Used only where
// that byte still lies inside the picture's block.
inline std::uint32_t PackWord(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return 0xFF000000u | v;
}

// n consecutive source pixels, four at a time from three 32-bit words, so
// that nothing past the last pixel is read.
void CopyRowScalar(const std::uint8_t* src, std::uint32_t* d, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4, src += 12) {
        std::uint32_t w0, w1, w2;
        std::memcpy(&w0, src, 4);
        std::memcpy(&w1, src + 4, 4);
        std::memcpy(&w2, src + 8, 4);
        d[i] = 0xFF000000u | w0;
        d[i + 1] = 0xFF000000u | (w0 >> 24) | (w1 << 8);
        d[i + 2] = 0xFF000000u | (w1 >> 16) | (w2 << 16);
        d[i + 3] = 0xFF000000u | (w2 >> 8);
    }
    for (; i < n; ++i, src += 3)
        d[i] = Pack(src);
}

#if defined(__x86_64__) || defined(__i386__)
// Eight pixels per step with byte shuffles; a 16-byte load is taken only
// while it ends inside the n pixels of the row.
__attribute__((target("ssse3"))) void CopyRowSsse3(const std::uint8_t* src, std::uint32_t* d,
                                                   int n) {
    const __m128i shuffle = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    int i = 0;
    for (; 3 * i + 28 <= 3 * n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i + 12));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_or_si128(_mm_shuffle_epi8(a, shuffle), alpha));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4),
                         _mm_or_si128(_mm_shuffle_epi8(b, shuffle), alpha));
    }
    CopyRowScalar(src + 3 * i, d + i, n - i);
}

void CopyRow(const std::uint8_t* src, std::uint32_t* d, int n) {
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3)
        CopyRowSsse3(src, d, n);
    else
        CopyRowScalar(src, d, n);
}
#else
void CopyRow(const std::uint8_t* src, std::uint32_t* d, int n) {
    CopyRowScalar(src, d, n);
}
#endif

// Pixels by the column map; the first `words` entries may be read as whole
// words (see PackWord). While a row is drawn, the lines of the next source
// row that the map will read are asked for (`next`, may be null): the reads
// of a reduced view skip through memory too fast for the processor to
// fetch ahead on its own.
void MapRow(const std::uint8_t* src, const std::uint8_t* next, const std::uint32_t* map,
            std::uint32_t* d, int n, int words) {
    int i = 0;
    if (next) {
        for (; i + 8 <= words; i += 8) {
            __builtin_prefetch(next + map[i]);
            __builtin_prefetch(next + map[i + 4]);
            for (int k = 0; k < 8; ++k)
                d[i + k] = PackWord(src + map[i + k]);
        }
    }
    for (; i < words; ++i)
        d[i] = PackWord(src + map[i]);
    for (; i < n; ++i)
        d[i] = Pack(src + map[i]);
}

#if defined(__x86_64__) || defined(__i386__)
bool HasByteShuffles() {
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    return ssse3;
}
#else
bool HasByteShuffles() {
    return false;
}
#endif

} // namespace

void CViewRenderer::ColumnGroups::Clear() {
    anO0.clear();
    anO2.clear();
    aMask01.clear();
    aMask23.clear();
}

#if defined(__x86_64__) || defined(__i386__)
// Four mapped pixels per group from two 16-byte reads and two byte shuffles.
__attribute__((target("ssse3"))) static void
MapRowGroupsSsse3(const std::uint8_t* src, const std::uint8_t* next,
                  const CViewRenderer::ColumnGroups& groups, int first, int count,
                  std::uint32_t* d) {
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    const std::uint32_t* o0 = groups.anO0.data();
    const std::uint32_t* o2 = groups.anO2.data();
    for (int j = first; j < count; ++j) {
        if (next && (j & 1) == 0) {
            __builtin_prefetch(next + o0[j]);
            __builtin_prefetch(next + o2[j]);
        }
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + o0[j]));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + o2[j]));
        const __m128i ma = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&groups.aMask01[j]));
        const __m128i mb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&groups.aMask23[j]));
        const __m128i v = _mm_or_si128(_mm_shuffle_epi8(a, ma), _mm_shuffle_epi8(b, mb));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * j), _mm_or_si128(v, alpha));
    }
}

// The same, two groups (eight pixels) per step in the two halves of a
// 256-bit register.
__attribute__((target("avx2"))) static void
MapRowGroupsAvx2(const std::uint8_t* src, const std::uint8_t* next,
                 const CViewRenderer::ColumnGroups& groups, int count, std::uint32_t* d) {
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    const std::uint32_t* o0 = groups.anO0.data();
    const std::uint32_t* o2 = groups.anO2.data();
    int j = 0;
    for (; j + 2 <= count; j += 2) {
        // Eight pixels of a reduced row span less than one cache line of
        // the source as long as the groups are built at all.
        if (next)
            __builtin_prefetch(next + o0[j]);
        const __m256i a = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + o0[j]))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + o0[j + 1])), 1);
        const __m256i b = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + o2[j]))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + o2[j + 1])), 1);
        const __m256i ma = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&groups.aMask01[j]));
        const __m256i mb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&groups.aMask23[j]));
        const __m256i v = _mm256_or_si256(_mm256_shuffle_epi8(a, ma), _mm256_shuffle_epi8(b, mb));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 4 * j), _mm256_or_si256(v, alpha));
    }
    if (j < count)
        MapRowGroupsSsse3(src, nullptr, groups, j, count, d);
}

static void MapRowGroups(const std::uint8_t* src, const std::uint8_t* next,
                         const CViewRenderer::ColumnGroups& groups, int count, std::uint32_t* d) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        MapRowGroupsAvx2(src, next, groups, count, d);
    else
        MapRowGroupsSsse3(src, next, groups, 0, count, d);
}
#else
static void MapRowGroups(const std::uint8_t*, const std::uint8_t*,
                         const CViewRenderer::ColumnGroups&, int, std::uint32_t*) {}
#endif

void CViewRenderer::BuildGroups(int w) {
    m_groups.Clear();
    // Each 16-byte read must end inside the picture's block; rows other than
    // the last in memory have a whole row after them, which is enough from a
    // width of 5 on. Narrower pictures take the plain path.
    if (!HasByteShuffles() || w < 5 || m_bIdentityColumns)
        return;
    const std::size_t count = m_anColumnMap.size() / 4;
    for (std::size_t j = 0; j < count; ++j) {
        const std::uint32_t* o = &m_anColumnMap[4 * j];
        if (o[1] + 3 - o[0] > 16 || o[3] + 3 - o[2] > 16) {
            m_groups.Clear();
            return;
        }
        std::array<std::uint8_t, 16> m01, m23;
        m01.fill(0x80); // a set high bit makes the shuffle write a zero
        m23.fill(0x80);
        for (std::uint32_t c = 0; c < 3; ++c) {
            m01[c] = std::uint8_t(c);
            m01[4 + c] = std::uint8_t(o[1] - o[0] + c);
            m23[8 + c] = std::uint8_t(c);
            m23[12 + c] = std::uint8_t(o[3] - o[2] + c);
        }
        m_groups.anO0.push_back(o[0]);
        m_groups.anO2.push_back(o[2]);
        m_groups.aMask01.push_back(m01);
        m_groups.aMask23.push_back(m23);
    }
}

bool CViewRenderer::BuildColumnMap(const CImageBuffer& image, const CViewState& view, int x0,
                                   int n) {
    const float z = view.GetZoom();
    const int w = image.Width();
    const int origin = view.GetShownOrigin().x;
    const ColumnKey key{w, z, origin, x0, n};
    if (key == m_columnKey && m_anColumnMap.size() == std::size_t(n))
        return m_bIdentityColumns;
    m_columnKey = key;
    m_anColumnMap.resize(std::size_t(n));
    m_bIdentityColumns = false;

    if (z < 1.0f) {
        // Reduced: a running single-precision sum of 1 / z - 0.0001 per
        // column, kept on the picture.
        const float step = 1.0f / z - 0.0001f;
        float a = 0.0f;
        for (int x = 0; x < x0; ++x)
            a += step;
        for (int i = 0; i < n; ++i, a += step)
            m_anColumnMap[i] = std::uint32_t(std::min(int(a), w - 1)) * 3;
    } else if (z == 1.0f) {
        m_bIdentityColumns = origin + x0 + n <= w;
        for (int i = 0; i < n; ++i)
            m_anColumnMap[i] = std::uint32_t(std::min(origin + x0 + i, w - 1)) * 3;
    } else {
        // Enlarged: zoomed column origin + x shows picture column
        // trunc((origin + x) / z), never past the last column.
        for (int i = 0; i < n; ++i) {
            const int col = int((double(origin) + x0 + i) / double(z));
            m_anColumnMap[i] = std::uint32_t(std::min(col, w - 1)) * 3;
        }
    }
    BuildGroups(w);
    return m_bIdentityColumns;
}

void CViewRenderer::BuildRowTable(const CImageBuffer& image, const CViewState& view, int y0,
                                  int n) {
    // Drawn rows y0 .. y0 + n - 1 of the destination rectangle, counted from
    // its top; r is the same row counted from the rectangle's bottom.
    const float z = view.GetZoom();
    const int h = image.Height();
    const int dh = view.GetDestRect().Height();
    const int origin = view.GetShownOrigin().y;
    m_apRows.resize(std::size_t(n));

    if (z < 1.0f) {
        // Reduced: the same running sum as the columns, from the bottom row.
        const float step = 1.0f / z - 0.0001f;
        float b = 0.0f;
        for (int r = 0; r < dh; ++r, b += step) {
            const int i = dh - 1 - r - y0;
            if (i >= 0 && i < n)
                m_apRows[std::size_t(i)] = image.Row(std::min(int(b), h - 1));
        }
    } else if (z == 1.0f) {
        for (int i = 0; i < n; ++i)
            m_apRows[i] = image.Row(std::min(origin + dh - 1 - (y0 + i), h - 1));
    } else {
        for (int i = 0; i < n; ++i) {
            const int r = dh - 1 - (y0 + i);
            const int row = int((double(origin) + r) / double(z));
            m_apRows[i] = image.Row(std::min(row, h - 1));
        }
    }
}

bool CViewRenderer::Render(const CImageBuffer& image, const CViewState& view, COLORREF back,
                           const CViewDest& dest) {
    if (!dest.IsValid())
        return false;
    const ViewRect& rc = view.GetDestRect();
    const ViewSize size = view.GetImageSize();
    const bool drawable = !image.IsEmpty() && view.HasPicture() && size.cx == image.Width() &&
                          size.cy == image.Height() && view.GetZoom() > 0.0f && !rc.IsEmpty();
    if (!drawable) {
        FillRect(dest, {0, 0, dest.nWidth, dest.nHeight}, back);
        return false;
    }

    // The drawn part of the destination rectangle, in its own coordinates.
    const int x0 = std::max(0, -rc.left);
    const int x1 = std::min(rc.Width(), dest.nWidth - rc.left);
    const int y0 = std::max(0, -rc.top);
    const int y1 = std::min(rc.Height(), dest.nHeight - rc.top);
    FillMargins(dest, rc, back);
    if (x1 <= x0 || y1 <= y0)
        return true;
    const int n = x1 - x0;

    const bool identity = BuildColumnMap(image, view, x0, n);
    BuildRowTable(image, view, y0, y1 - y0);
    const std::uint32_t* map = m_anColumnMap.data();
    // Every row but the last one in memory has the next row after it, so a
    // whole-word read of any of its pixels stays in the block. In the last
    // one only columns at least one byte before its end are read that way
    // (the map never decreases, so they come first).
    const std::uint8_t* lastRow = image.Row(image.Height() - 1);
    const std::uint32_t stride = std::uint32_t(image.Stride());
    int lastRowWords = 0;
    while (lastRowWords < n && m_anColumnMap[std::size_t(lastRowWords)] + 4 <= stride)
        ++lastRowWords;
    const int groups = m_groups.Count();
    int lastRowGroups = 0;
    while (lastRowGroups < groups && m_groups.anO2[std::size_t(lastRowGroups)] + 16 <= stride)
        ++lastRowGroups;
    const std::uint8_t* prevSrc = nullptr;
    const std::uint32_t* prevDst = nullptr;
    // From the bottom row up, so that the picture's rows (kept bottom-up) are
    // read in ascending memory order.
    for (int y = y1 - 1; y >= y0; --y) {
        const std::uint8_t* src = m_apRows[std::size_t(y - y0)];
        std::uint32_t* d = dest.Row(rc.top + y) + rc.left + x0;
        if (src == prevSrc) {
            // An enlarged view repeats each source row; copy the row drawn
            // just below.
            std::memcpy(d, prevDst, std::size_t(n) * 4);
        } else if (identity) {
            CopyRow(src + map[0], d, n);
        } else {
            const std::uint8_t* next = y > y0 ? m_apRows[std::size_t(y - 1 - y0)] : nullptr;
            if (next == src)
                next = nullptr;
            const int g = src == lastRow ? lastRowGroups : groups;
            if (g > 0)
                MapRowGroups(src, next, m_groups, g, d);
            const int done = 4 * g;
            MapRow(src, next, map + done, d + done, n - done,
                   std::max(0, (src == lastRow ? lastRowWords : n) - done));
        }
        prevSrc = src;
        prevDst = d;
    }
    return true;
}

bool RenderView(const CImageBuffer& image, const CViewState& view, COLORREF back,
                const CViewDest& dest) {
    CViewRenderer renderer;
    return renderer.Render(image, view, back, dest);
}

ViewRect LoadFailureTextRect(int cw, int ch) {
    return {0, ch / 2 - 10, cw, ch};
}
