#pragma once
#include "image/ViewDest.h"

#include <vector>

// Gaussian smoothing of what the image window shows, run when a drag of a
// strongly enlarged picture ends and the "高斯模糊" option is chosen.

// m_nSmoothing values.
enum : int {
    kSmoothingLinear = 0,   // "线性插值": nothing after a drag
    kSmoothingGaussian = 1, // "高斯模糊": blur after a drag above zoom 3
};

// Whether the view is blurred after a drag at this zoom.
bool ShouldBlurAfterDrag(int nSmoothing, float zoom);
// sigma 1 up to zoom 4, else trunc(zoom x 0.3 + 0.5).
int BlurSigmaForZoom(float zoom);
// The n = 2 x ceil(3 sigma) + 1 weights exp(-(i - n/2)^2 / (2 sigma^2)),
// normalised to sum 1.
std::vector<float> GaussianKernel(int sigma);
// Blurs the pixels inside rc (clipped to the block): a horizontal pass into a
// scratch block, then a vertical pass back. Taps outside rc are left out and
// the sum is divided by the weights that were used; channels are truncated.
void GaussianBlur(const CViewDest& dest, const ViewRect& rc, int sigma);
// Blurs the whole block with the sigma for the zoom.
void BlurView(const CViewDest& dest, float zoom);
