#pragma once
#include <array>

// The ladder of zoom factors a picture is shown at. Step 0 is a marker below
// the smallest real step, steps 1 to 9 reduce (step 9 is the fit step when the
// picture is larger than the window), step 10 is actual size and steps 11 to
// 29 enlarge by whole factors 2 to 20.
class CZoomLadder {
public:
    static constexpr int m_nZoomSteps = 30;
    static constexpr int kFitStep = 9;
    static constexpr int kActualStep = 10;
    static constexpr int kLastStep = m_nZoomSteps - 1;
    static constexpr float kBelowSmallest = 0.000001f;

    CZoomLadder() { BuildZoomSteps(0, 0, 0, 0); }

    // Fills the ladder for a picture of w x h pixels in a client area of
    // cw x ch pixels.
    void BuildZoomSteps(int w, int h, int cw, int ch);

    // Step i of the ladder; i is clamped to [0, 29].
    float GetZoomStep(int i) const;
    // The smallest real step (step 1).
    float GetMinZoom() const { return m_afZoomSteps[1]; }
    // The two ends the main frame is told: step 0 and step 29.
    float GetLowestEnd() const { return m_afZoomSteps[0]; }
    float GetMaxZoom() const { return m_afZoomSteps[kLastStep]; }

    // The zoom that shows the whole picture inside the window: 1.0 when it
    // fits at actual size, else the smaller of the two side ratios.
    float GetFitZoom() const;

    // True when the picture is at least as wide or as tall as the window, the
    // case in which steps 1 to 9 are scaled to the fit ratio.
    bool DoesNotFit() const { return m_w >= m_cw || m_h >= m_ch; }

    // The highest step whose value is not above z (rounding noise of a
    // single-precision step is ignored); 1 when z lies below step 1.
    int LargestStepNotAbove(float z) const;

    const std::array<float, m_nZoomSteps>& Steps() const { return m_afZoomSteps; }

private:
    std::array<float, m_nZoomSteps> m_afZoomSteps{};
    int m_w = 0, m_h = 0, m_cw = 0, m_ch = 0;
};
