#include "image/Zoom.h"

#include <algorithm>

void CZoomLadder::BuildZoomSteps(int w, int h, int cw, int ch) {
    m_w = std::max(w, 0);
    m_h = std::max(h, 0);
    m_cw = std::max(cw, 0);
    m_ch = std::max(ch, 0);

    m_afZoomSteps[0] = kBelowSmallest;
    if (m_w > 0 && m_h > 0 && DoesNotFit()) {
        // Both sides must stay inside the window, so the fit ratio is the
        // smaller of the two. A window of no size still gets a positive
        // ladder so that no step is zero.
        float r = std::min(float(m_cw) / float(m_w), float(m_ch) / float(m_h));
        r = std::max(r, kBelowSmallest);
        for (int i = 1; i <= 9; ++i)
            m_afZoomSteps[i] = float(i) * (r * 0.11111111f);
    } else {
        for (int i = 1; i <= 9; ++i)
            m_afZoomSteps[i] = float(i) * 0.1f;
    }
    for (int i = kActualStep; i < m_nZoomSteps; ++i)
        m_afZoomSteps[i] = float(i - 9);
}

float CZoomLadder::GetZoomStep(int i) const {
    return m_afZoomSteps[std::clamp(i, 0, kLastStep)];
}

float CZoomLadder::GetFitZoom() const {
    if (m_w <= 0 || m_h <= 0)
        return 1.0f;
    if (m_w < m_cw && m_h < m_ch)
        return 1.0f;
    return std::min(float(m_cw) / float(m_w), float(m_ch) / float(m_h));
}

int CZoomLadder::LargestStepNotAbove(float z) const {
    const float limit = z * (1.0f + 1e-5f);
    int best = 1;
    for (int i = 1; i < m_nZoomSteps; ++i)
        if (m_afZoomSteps[i] <= limit)
            best = i;
    return best;
}
