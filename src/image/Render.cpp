#include "image/Render.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// One 24-bit blue-green-red pixel as 0xFFRRGGBB.
inline std::uint32_t Pack(const std::uint8_t* p) {
    std::uint16_t bg;
    std::memcpy(&bg, p, 2);
    return 0xFF000000u | (std::uint32_t(p[2]) << 16) | bg;
}

// n consecutive source pixels, four at a time from three 32-bit words, so
// that nothing past the last pixel is read.
void CopyRow(const std::uint8_t* src, std::uint32_t* d, int n) {
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

void MapRow(const std::uint8_t* src, const std::uint32_t* map, std::uint32_t* d, int n) {
    for (int i = 0; i < n; ++i)
        d[i] = Pack(src + map[i]);
}

} // namespace

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
    const std::uint8_t* prevSrc = nullptr;
    const std::uint32_t* prevDst = nullptr;
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* src = m_apRows[std::size_t(y - y0)];
        std::uint32_t* d = dest.Row(rc.top + y) + rc.left + x0;
        if (src == prevSrc) {
            // An enlarged view repeats each source row; copy the row drawn
            // just above.
            std::memcpy(d, prevDst, std::size_t(n) * 4);
        } else if (identity) {
            CopyRow(src + map[0], d, n);
        } else {
            MapRow(src, map, d, n);
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
