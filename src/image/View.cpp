#include "image/View.h"

#include <algorithm>
#include <cmath>

namespace {

// Largest scaled side kept; far beyond any window, small enough that sums of
// two sides stay inside int.
constexpr double kMaxScaledSide = 1 << 29;

int Truncate(double v) {
    return static_cast<int>(std::clamp(std::trunc(v), -kMaxScaledSide, kMaxScaledSide));
}

} // namespace

int CViewState::ScaledSide(int side, float z) {
    // Single precision, as the zoom itself is kept.
    return Truncate(double(float(side) * z));
}

void CViewState::SetZoomIndex(int i) {
    m_nZoomIndex = std::clamp(i, 0, CZoomLadder::kLastStep);
}

void CViewState::Place() {
    const int w = m_sizeImage.cx, h = m_sizeImage.cy;
    const int cw = m_sizeClient.cx, ch = m_sizeClient.cy;
    const int sw = ScaledSide(w, m_fZoom), sh = ScaledSide(h, m_fZoom);
    m_sizeScaled = {sw, sh};

    if (sw > cw && sh > ch) {
        m_nLayout = kLayoutBothOverflow;
        m_rcDest = {0, 0, cw, ch};
    } else if (sw > cw) {
        m_nLayout = kLayoutWider;
        const int top = (ch - sh) / 2;
        m_rcDest = {0, top, cw, top + sh};
    } else if (sh > ch) {
        m_nLayout = kLayoutTaller;
        const int left = (cw - sw) / 2;
        m_rcDest = {left, 0, left + sw, ch};
    } else {
        m_nLayout = kLayoutFits;
        const int left = (cw - sw) / 2, top = (ch - sh) / 2;
        m_rcDest = {left, top, left + sw, top + sh};
    }
    m_bFillMargins = m_nLayout != kLayoutBothOverflow;
    // A reduced view is never scrolled.
    m_bScrollable = HasPicture() && m_fZoom >= 1.0f && m_nLayout != kLayoutFits;
}

void CViewState::ClampScroll() {
    // A scrolled direction may go up to the last zoomed pixel; the renderer
    // then shows the last part of the picture. A direction that fits the
    // window is not scrolled.
    const bool overX = m_fZoom >= 1.0f && m_sizeScaled.cx > m_sizeClient.cx;
    const bool overY = m_fZoom >= 1.0f && m_sizeScaled.cy > m_sizeClient.cy;
    m_ptScroll.x = overX ? std::clamp(m_ptScroll.x, 0, m_sizeScaled.cx - 1) : 0;
    m_ptScroll.y = overY ? std::clamp(m_ptScroll.y, 0, m_sizeScaled.cy - 1) : 0;
}

ViewPoint CViewState::GetShownOrigin() const {
    if (m_fZoom < 1.0f)
        return {0, 0};
    const int maxX = std::max(0, m_sizeScaled.cx - m_rcDest.Width());
    const int maxY = std::max(0, m_sizeScaled.cy - m_rcDest.Height());
    return {std::clamp(m_ptScroll.x, 0, maxX), std::clamp(m_ptScroll.y, 0, maxY)};
}

void CViewState::SetClientSize(int cw, int ch) {
    cw = std::max(cw, 0);
    ch = std::max(ch, 0);
    if (ViewSize{cw, ch} == m_sizeClient)
        return;
    const bool hadNoArea = m_sizeClient.cx <= 0 || m_sizeClient.cy <= 0;
    m_sizeClient = {cw, ch};
    if (HasPicture() && hadNoArea) {
        // A picture opened before the window had a size: choose its initial
        // view now.
        OpenPicture(m_sizeImage.cx, m_sizeImage.cy, m_bActualSizeMode);
        return;
    }
    if (HasPicture()) {
        m_ladder.BuildZoomSteps(m_sizeImage.cx, m_sizeImage.cy, cw, ch);
        m_bLargerThanWindow = m_sizeImage.cx > cw || m_sizeImage.cy > ch;
        m_nZoomIndex = m_ladder.LargestStepNotAbove(m_fZoom);
    }
    Place();
    ClampScroll();
}

void CViewState::OpenPicture(int w, int h, bool bActualSizeMode) {
    if (w <= 0 || h <= 0) {
        ClearPicture();
        return;
    }
    m_sizeImage = {w, h};
    m_bActualSizeMode = bActualSizeMode;
    const int cw = m_sizeClient.cx, ch = m_sizeClient.cy;
    m_ladder.BuildZoomSteps(w, h, cw, ch);
    m_bLargerThanWindow = w > cw || h > ch;
    m_fZoom = 1.0f;
    m_ptScroll = {0, 0};
    Place();

    if (m_bLargerThanWindow)
        m_nZoomIndex = CZoomLadder::kFitStep;
    else
        m_nZoomIndex = CZoomLadder::kActualStep;
    ApplyZoom(m_ladder.GetZoomStep(m_nZoomIndex));
    // Further zoom commands step from the zoom shown, or from actual size in
    // the "图片实际尺寸" display mode.
    if (bActualSizeMode)
        m_nZoomIndex = CZoomLadder::kActualStep;
}

void CViewState::ResetForRotation(int w, int h) {
    if (w <= 0 || h <= 0) {
        ClearPicture();
        return;
    }
    m_sizeImage = {w, h};
    m_ladder.BuildZoomSteps(w, h, m_sizeClient.cx, m_sizeClient.cy);
    m_bLargerThanWindow = w > m_sizeClient.cx || h > m_sizeClient.cy;
    m_fZoom = 1.0f;
    m_ptScroll = {0, 0};
    Place();
    if (m_bLargerThanWindow) {
        const float fit = m_ladder.GetFitZoom();
        m_nZoomIndex = m_ladder.LargestStepNotAbove(fit);
        ApplyZoom(fit);
    } else {
        m_nZoomIndex = CZoomLadder::kActualStep;
        ApplyZoom(1.0f);
    }
}

void CViewState::ClearPicture() {
    m_sizeImage = {0, 0};
    m_ladder.BuildZoomSteps(0, 0, m_sizeClient.cx, m_sizeClient.cy);
    m_bLargerThanWindow = false;
    m_fZoom = 1.0f;
    m_nZoomIndex = CZoomLadder::kActualStep;
    m_ptScroll = {0, 0};
    Place();
}

void CViewState::ApplyZoom(float z) {
    if (!(z > 0.0f))
        z = CZoomLadder::kBelowSmallest;
    const float zPrev = m_fZoom;
    const ViewSize prevScaled = m_sizeScaled;
    const ViewPoint prevOrigin = GetShownOrigin();

    m_fZoom = z;
    Place();

    const int w = m_sizeImage.cx, h = m_sizeImage.cy;
    const int cw = m_sizeClient.cx, ch = m_sizeClient.cy;
    const int sw = m_sizeScaled.cx, sh = m_sizeScaled.cy;

    if (z < 1.0f) {
        m_ptScroll = {0, 0};
    } else if (z == 1.0f) {
        // The middle of the picture comes to the middle of the window.
        m_ptScroll.x = w >= cw ? w / 2 - cw / 2 : 0;
        m_ptScroll.y = h >= ch ? h / 2 - ch / 2 : 0;
    } else {
        const bool prevOverflow = prevScaled.cx > cw || prevScaled.cy > ch;
        const bool nowOverflow = sw > cw || sh > ch;
        if (prevOverflow && nowOverflow && zPrev > 0.0f) {
            // The picture point at the middle of the window stays there. In a
            // direction that fitted before, the picture was centred, so its
            // middle was at the middle of the window.
            const double cx = prevScaled.cx > cw
                                  ? std::trunc(cw / (2.0 * zPrev) + prevOrigin.x / double(zPrev))
                                  : std::trunc(w / 2.0);
            const double cy = prevScaled.cy > ch
                                  ? std::trunc(ch / (2.0 * zPrev) + prevOrigin.y / double(zPrev))
                                  : std::trunc(h / 2.0);
            m_ptScroll.x = sw > cw ? std::clamp(Truncate(cx * z - cw / 2.0), 0, sw - cw) : 0;
            m_ptScroll.y = sh > ch ? std::clamp(Truncate(cy * z - ch / 2.0), 0, sh - ch) : 0;
        } else {
            m_ptScroll.x = sw >= cw ? sw / 2 - cw / 2 : 0;
            m_ptScroll.y = sh >= ch ? sh / 2 - ch / 2 : 0;
        }
    }
    ClampScroll();
}

float CViewState::ZoomIn() {
    if (!HasPicture())
        return m_fZoom;
    m_nZoomIndex = std::min(m_nZoomIndex + 1, int(CZoomLadder::kLastStep));
    ApplyZoom(m_ladder.GetZoomStep(m_nZoomIndex));
    return m_fZoom;
}

EZoomOutResult CViewState::ZoomOut(bool bLeaveForList) {
    if (!HasPicture())
        return EZoomOutResult::kStepped;
    const int index = std::max(m_nZoomIndex - 1, 0);
    const float z = m_ladder.GetZoomStep(index);
    if (z < m_ladder.GetMinZoom()) {
        if (bLeaveForList)
            return EZoomOutResult::kLeftForList;
        m_nZoomIndex = 1;
        ApplyZoom(m_ladder.GetMinZoom());
        return EZoomOutResult::kStayedAtSmallest;
    }
    m_nZoomIndex = index;
    ApplyZoom(z);
    return EZoomOutResult::kStepped;
}

float CViewState::FitToWindow() {
    if (!HasPicture())
        return m_fZoom;
    if (m_bLargerThanWindow) {
        m_nZoomIndex = CZoomLadder::kFitStep;
        ApplyZoom(m_ladder.GetZoomStep(CZoomLadder::kFitStep));
    } else {
        m_nZoomIndex = CZoomLadder::kActualStep;
        ApplyZoom(1.0f);
    }
    return m_fZoom;
}

float CViewState::ActualSize() {
    if (!HasPicture())
        return m_fZoom;
    m_nZoomIndex = CZoomLadder::kActualStep;
    ApplyZoom(m_ladder.GetZoomStep(CZoomLadder::kActualStep));
    return m_fZoom;
}

bool CViewState::DragBy(int dx, int dy) {
    if (!m_bScrollable || m_fZoom < 1.0f)
        return false;
    const ViewPoint before = m_ptScroll;
    // Picture follows the mouse; y counts from the bottom row.
    m_ptScroll.x = Truncate(double(m_ptScroll.x) - dx);
    m_ptScroll.y = Truncate(double(m_ptScroll.y) + dy);
    ClampScroll();
    return !(before == m_ptScroll);
}

int CViewState::ArrowStep() const {
    if (!m_bScrollable)
        return 0;
    if (m_fZoom < 10.0f)
        return static_cast<int>(m_fZoom * 4.0f);
    if (m_fZoom < 20.0f)
        return static_cast<int>(m_fZoom * 1.5f);
    return static_cast<int>(m_fZoom);
}

bool CViewState::ArrowKey(EArrowKey key) {
    const int s = ArrowStep();
    if (s == 0)
        return false;
    const ViewPoint before = m_ptScroll;
    switch (key) {
    case EArrowKey::kLeft:
        m_ptScroll.x -= s;
        break;
    case EArrowKey::kRight:
        m_ptScroll.x += s;
        break;
    case EArrowKey::kUp:
        m_ptScroll.y += s;
        break;
    case EArrowKey::kDown:
        m_ptScroll.y -= s;
        break;
    }
    ClampScroll();
    return !(before == m_ptScroll);
}

bool CViewState::ScrollTo(int x, int y) {
    if (!m_bScrollable)
        return false;
    const ViewPoint before = m_ptScroll;
    m_ptScroll.x = std::clamp(x, 0, std::max(0, m_sizeScaled.cx - m_rcDest.Width()));
    m_ptScroll.y = std::clamp(y, 0, std::max(0, m_sizeScaled.cy - m_rcDest.Height()));
    return !(before == m_ptScroll);
}
