#include "image/Selection.h"

#include "image/Codec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <strings.h>

ViewRect RubberBandRect(ViewPoint anchor, ViewPoint pt, const ViewRect& dest) {
    const ViewRect r{std::max(std::min(anchor.x, pt.x), dest.left),
                     std::max(std::min(anchor.y, pt.y), dest.top),
                     std::min(std::max(anchor.x, pt.x), dest.right),
                     std::min(std::max(anchor.y, pt.y), dest.bottom)};
    return r.IsEmpty() ? ViewRect{} : r;
}

ViewRect SelectionToPicture(const ViewRect& sel, const ViewRect& dest, ViewSize image) {
    if (sel.IsEmpty() || dest.IsEmpty())
        return {};
    const double fx = double(image.cx) / dest.Width();
    const double fy = double(image.cy) / dest.Height();
    const int x0 = static_cast<int>((sel.left - dest.left) * fx);
    const int y0 = static_cast<int>((sel.top - dest.top) * fy);
    const ViewRect part{x0, y0, x0 + static_cast<int>(sel.Width() * fx),
                        y0 + static_cast<int>(sel.Height() * fy)};
    // A selection inside the placement maps inside the picture; the clamp
    // only guards against a selection left over from another placement.
    const ViewRect clipped{std::clamp(part.left, 0, image.cx), std::clamp(part.top, 0, image.cy),
                           std::clamp(part.right, 0, image.cx),
                           std::clamp(part.bottom, 0, image.cy)};
    return clipped.IsEmpty() ? ViewRect{} : clipped;
}

std::string SelectionSizeText(const ViewRect& part) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%dX%d", part.Width(), part.Height());
    return buf;
}

int SelectionZoom(int sw, int sh, int cw, int ch) {
    if (sw <= 0 || sh <= 0)
        return 1;
    double z = std::min(double(cw) / sw, double(ch) / sh);
    if (z < 1.0)
        z = 1.0;
    if (z > 20.0)
        z = 19.0;
    return static_cast<int>(z);
}

int SelectionSaveFormat(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return 0;
    const char* ext = path.c_str() + dot + 1;
    if (strcasecmp(ext, "bmp") == 0)
        return kFormatBmp;
    if (strcasecmp(ext, "jpg") == 0)
        return kFormatJpeg;
    return 0;
}

float CViewState::ZoomToSelection(const ViewRect& part) {
    if (!HasPicture() || part.IsEmpty())
        return m_fZoom;
    const int cw = m_sizeClient.cx, ch = m_sizeClient.cy;
    m_fZoom = float(SelectionZoom(part.Width(), part.Height(), cw, ch));
    m_nZoomIndex = m_ladder.LargestStepNotAbove(m_fZoom);
    Place();
    // The offset counts from the bottom row of the enlarged picture: the
    // part's top row comes to the window's top when the picture is taller
    // than the window. A direction that fits is not scrolled.
    const long long n = static_cast<long long>(m_fZoom);
    const long long sw = m_sizeScaled.cx, sh = m_sizeScaled.cy;
    m_ptScroll.x = sw > cw ? int(std::clamp(n * part.left, 0LL, sw - cw)) : 0;
    m_ptScroll.y = sh > ch ? int(std::clamp(sh - n * part.top - ch, 0LL, sh - ch)) : 0;
    ClampScroll();
    return m_fZoom;
}
