#include "image/Overview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void COverview::BuildOverview(const CImageBuffer& image) {
    m_bValid = false;
    m_anPixels.clear();
    m_nWidth = m_nHeight = 0;
    const int w = image.Width(), h = image.Height();
    if (image.IsEmpty() || w <= 0 || h <= 0)
        return;
    if (w <= kOverviewSide && h <= kOverviewSide) {
        m_nWidth = w;
        m_nHeight = h;
    } else if (w >= h) {
        // The scale is the smaller ratio, 100 / w here.
        m_nWidth = kOverviewSide;
        m_nHeight = std::max(1, int(std::int64_t(h) * kOverviewSide / w));
    } else {
        m_nHeight = kOverviewSide;
        m_nWidth = std::max(1, int(std::int64_t(w) * kOverviewSide / h));
    }
    m_nImageWidth = w;
    m_nImageHeight = h;
    m_anPixels.resize(std::size_t(m_nWidth) * std::size_t(m_nHeight));
    for (int y = 0; y < m_nHeight; ++y) {
        // Picture row (from the top) nearest to the centre of preview row y.
        const int top = int((std::int64_t(2 * y + 1) * h) / (2 * std::int64_t(m_nHeight)));
        const std::uint8_t* row = image.Row(h - 1 - std::min(top, h - 1));
        std::uint32_t* d = m_anPixels.data() + std::size_t(y) * std::size_t(m_nWidth);
        for (int x = 0; x < m_nWidth; ++x) {
            const int col = int((std::int64_t(2 * x + 1) * w) / (2 * std::int64_t(m_nWidth)));
            const std::uint8_t* p = row + 3 * std::size_t(std::min(col, w - 1));
            d[x] = 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
        }
    }
    m_bValid = true;
}

void COverview::ResetPosition(int cw, int ch) {
    m_ptPanel = {cw - kOverviewSide, ch - kOverviewBottomGap};
}

ViewRect COverview::PanelRect() const {
    const int x = m_ptPanel.x, y = m_ptPanel.y;
    return {x, y, x + kOverviewSide, y + kOverviewCaptionHeight + kOverviewSide};
}

ViewRect COverview::CaptionRect() const {
    const int x = m_ptPanel.x, y = m_ptPanel.y;
    return {x, y, x + kOverviewSide, y + kOverviewCaptionHeight};
}

ViewRect COverview::CloseRect() const {
    const ViewRect c = CaptionRect();
    return {c.right - kOverviewCloseSide, c.top, c.right, c.top + kOverviewCloseSide};
}

ViewRect COverview::CaptionTextRect() const {
    const ViewRect c = CaptionRect();
    return {c.left, c.top, c.right - kOverviewCloseSide, c.bottom};
}

ViewRect COverview::PreviewRect() const {
    const int x = m_ptPanel.x + (kOverviewSide - m_nWidth) / 2;
    const int y = m_ptPanel.y + kOverviewCaptionHeight + (kOverviewSide - m_nHeight) / 2;
    return {x, y, x + m_nWidth, y + m_nHeight};
}

std::string COverview::CaptionText(float zoom) {
    char text[64];
    std::snprintf(text, sizeof text, "[%.0f%%]", double(zoom) * 100.0);
    return text;
}

ViewRect COverview::PreviewMarker(const CViewState& view) const {
    const ViewSize scaled = view.GetScaledSize();
    if (!m_bValid || scaled.cx <= 0 || scaled.cy <= 0)
        return {};
    // The shown part of the zoomed picture, top-down, scaled to the preview.
    const ViewRect& rc = view.GetDestRect();
    const ViewPoint o = view.GetShownOrigin();
    const double sx = double(m_nWidth) / scaled.cx;
    const double sy = double(m_nHeight) / scaled.cy;
    const double top = double(scaled.cy) - o.y - rc.Height();
    ViewRect m{int(std::floor(o.x * sx)), int(std::floor(top * sy)),
               int(std::ceil((o.x + rc.Width()) * sx)), int(std::ceil((top + rc.Height()) * sy))};
    m.left = std::clamp(m.left, 0, m_nWidth - 1);
    m.top = std::clamp(m.top, 0, m_nHeight - 1);
    m.right = std::clamp(m.right, m.left + 1, m_nWidth);
    m.bottom = std::clamp(m.bottom, m.top + 1, m_nHeight);
    return m;
}

ViewRect COverview::MarkerRect(const CViewState& view) const {
    const ViewRect m = m_bDraggingMarker ? m_rcDragMarker : PreviewMarker(view);
    const ViewRect p = PreviewRect();
    return {p.left + m.left, p.top + m.top, p.left + m.right, p.top + m.bottom};
}

void COverview::CopyPreview(const CViewDest& dest, const ViewRect& at) const {
    for (int y = 0; y < m_nHeight; ++y) {
        const int dy = at.top + y;
        if (dy < 0 || dy >= dest.nHeight)
            continue;
        const int x0 = std::max(0, -at.left);
        const int x1 = std::min(m_nWidth, dest.nWidth - at.left);
        if (x1 <= x0)
            continue;
        std::copy(m_anPixels.begin() + std::ptrdiff_t(y) * m_nWidth + x0,
                  m_anPixels.begin() + std::ptrdiff_t(y) * m_nWidth + x1,
                  dest.Row(dy) + at.left + x0);
    }
}

bool COverview::DrawOverview(const CViewDest& dest, const CViewState& view) const {
    if (!IsShown(view) || !dest.IsValid())
        return false;
    const ViewRect panel = PanelRect();
    DarkenRect(dest, {panel.left, panel.top + kOverviewCaptionHeight, panel.right, panel.bottom},
               kOverviewDarkenPercent);
    CopyPreview(dest, PreviewRect());

    const ViewRect caption = CaptionRect();
    FillRect(dest, caption, kOverviewCaptionColor);
    FrameRect(dest, caption, kOverviewEdgeColor);
    // The close box: its left edge and a cross inset 4 pixels.
    const ViewRect close = CloseRect();
    FillRect(dest, {close.left, close.top, close.left + 1, close.bottom}, kOverviewEdgeColor);
    for (int i = 4; i < kOverviewCloseSide - 4; ++i) {
        FillRect(dest, {close.left + i, close.top + i, close.left + i + 1, close.top + i + 1},
                 kOverviewEdgeColor);
        const int x = close.right - 1 - i;
        FillRect(dest, {x, close.top + i, x + 1, close.top + i + 1}, kOverviewEdgeColor);
    }

    FrameRect(dest, MarkerRect(view), kOverviewMarkerColor);
    return true;
}

EOverviewHit COverview::HitTest(int x, int y, const CViewState& view) const {
    if (!IsShown(view))
        return EOverviewHit::kNone;
    if (CloseRect().Contains(x, y))
        return EOverviewHit::kClose;
    if (MarkerRect(view).Contains(x, y))
        return EOverviewHit::kMarker;
    if (PanelRect().Contains(x, y))
        return EOverviewHit::kPanel;
    return EOverviewHit::kNone;
}

void COverview::BeginMarkerDrag(int x, int y, const CViewState& view) {
    m_rcDragMarker = PreviewMarker(view);
    const ViewRect p = PreviewRect();
    m_ptGrab = {x - (p.left + m_rcDragMarker.left), y - (p.top + m_rcDragMarker.top)};
    m_bDraggingMarker = true;
    m_bDraggingPanel = false;
}

bool COverview::DragMarkerTo(int x, int y, CViewState& view) {
    if (!m_bDraggingMarker)
        return false;
    const ViewRect p = PreviewRect();
    const int mw = m_rcDragMarker.Width(), mh = m_rcDragMarker.Height();
    const int freeX = std::max(0, m_nWidth - mw), freeY = std::max(0, m_nHeight - mh);
    const int left = std::clamp(x - m_ptGrab.x - p.left, 0, freeX);
    const int top = std::clamp(y - m_ptGrab.y - p.top, 0, freeY);
    m_rcDragMarker = {left, top, left + mw, top + mh};

    // The marker's free travel in the preview spans the view's free travel
    // in the zoomed picture, so both ends of the marker's path reach both
    // ends of the picture.
    const ViewSize scaled = view.GetScaledSize();
    const ViewRect& rc = view.GetDestRect();
    const int travelX = std::max(0, scaled.cx - rc.Width());
    const int travelY = std::max(0, scaled.cy - rc.Height());
    ViewPoint scroll = view.GetShownOrigin();
    if (freeX > 0)
        scroll.x = int(std::lround(double(left) * travelX / freeX));
    if (freeY > 0)
        scroll.y = travelY - int(std::lround(double(top) * travelY / freeY));
    return view.ScrollTo(scroll.x, scroll.y);
}

void COverview::BeginPanelDrag(int x, int y) {
    m_ptGrab = {x - m_ptPanel.x, y - m_ptPanel.y};
    m_bDraggingPanel = true;
    m_bDraggingMarker = false;
}

void COverview::DragPanelTo(int x, int y) {
    if (m_bDraggingPanel)
        m_ptPanel = {x - m_ptGrab.x, y - m_ptGrab.y};
}

ViewRect COverview::DrawPopup(const CViewDest& dest, int x, int y) {
    if (!m_bValid || !dest.IsValid()) {
        m_rcPopup = {};
        return m_rcPopup;
    }
    x = std::clamp(x, 0, std::max(0, dest.nWidth - m_nWidth));
    y = std::clamp(y, 0, std::max(0, dest.nHeight - m_nHeight));
    m_rcPopup = {x, y, x + m_nWidth, y + m_nHeight};
    CopyPreview(dest, m_rcPopup);
    return m_rcPopup;
}

bool COverview::ScrollToPopupPoint(int x, int y, CViewState& view) const {
    if (!m_bValid || !m_rcPopup.Contains(x, y))
        return false;
    const ViewSize scaled = view.GetScaledSize();
    const ViewRect& rc = view.GetDestRect();
    // The clicked preview pixel's centre in zoomed pixels (top-down).
    const double zx = (x - m_rcPopup.left + 0.5) * scaled.cx / m_nWidth;
    const double zy = (y - m_rcPopup.top + 0.5) * scaled.cy / m_nHeight;
    const int sx = int(std::floor(zx - rc.Width() / 2.0));
    const int sy = int(std::floor(scaled.cy - zy - rc.Height() / 2.0));
    view.ScrollTo(sx, sy);
    return true;
}
