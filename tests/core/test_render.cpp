#include "image/Blur.h"
#include "image/FloatingRow.h"
#include "image/Overview.h"
#include "image/Render.h"

#include "Pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr COLORREF kBack = RGB(12, 34, 56);

// A view at zoom z, dragged so that zoomed pixel (sx, sy) (y from the bottom)
// is at the lower left corner as far as the view allows.
CViewState ViewAt(int w, int h, int cw, int ch, float z, int sx = 0, int sy = 0) {
    CViewState v;
    v.SetClientSize(cw, ch);
    v.OpenPicture(w, h, false);
    v.ApplyZoom(z);
    if (v.IsScrollable())
        v.DragBy(v.GetScroll().x - sx, sy - v.GetScroll().y);
    return v;
}

// Reference for zoom 1.0 and above, pixel by pixel: the zoomed picture is
// shown from the offset, kept so that the window is filled up to the last
// zoomed pixel; zoomed pixel p belongs to picture pixel p / zoom.
Place ExpectedEnlarged(const CViewState& v, int X, int Y) {
    const ViewRect& rc = v.GetDestRect();
    const ViewSize sc = v.GetScaledSize();
    const int z = int(v.GetZoom());
    const int ox = std::clamp(v.GetScroll().x, 0, std::max(0, sc.cx - rc.Width()));
    const int oy = std::clamp(v.GetScroll().y, 0, std::max(0, sc.cy - rc.Height()));
    return {(ox + X - rc.left) / z, v.GetImageSize().cy - 1 - (oy + rc.bottom - 1 - Y) / z};
}

void ExpectFrame(const CImageBuffer& img, const CViewState& v) {
    const ViewSize c = v.GetClientSize();
    const ViewRect& rc = v.GetDestRect();
    const float z = v.GetZoom();
    SCOPED_TRACE(testing::Message() << img.Width() << "x" << img.Height() << " at " << z << " from "
                                    << v.GetScroll().x << "," << v.GetScroll().y);
    PixelBlock b(c.cx, c.cy);
    ASSERT_TRUE(RenderView(img, v, kBack, b.Dest()));
    // Reference for a reduced view: single-precision running sums of
    // 1 / zoom - 0.0001 from the left column and from the bottom row.
    std::vector<int> cols;
    float sum = 0;
    for (int i = 0; z < 1.0f && i < std::max(rc.Width(), rc.Height()); ++i, sum += 1 / z - 0.0001f)
        cols.push_back(int(sum));
    int bad = 0;
    for (int Y = 0; Y < c.cy && bad < 5; ++Y)
        for (int X = 0; X < c.cx && bad < 5; ++X) {
            const std::uint32_t got = b.At(X, Y);
            if (!rc.Contains(X, Y)) {
                if (got != ColorToXrgb(kBack) && ++bad)
                    ADD_FAILURE() << "margin pixel " << X << "," << Y;
                continue;
            }
            const Place want =
                z < 1.0f ? Place{cols[X - rc.left], img.Height() - 1 - cols[rc.bottom - 1 - Y]}
                         : ExpectedEnlarged(v, X, Y);
            if ((Decode(got) != want || (got >> 24) != 0xFF) && ++bad)
                ADD_FAILURE() << "pixel " << X << "," << Y << " shows " << Decode(got).x << ","
                              << Decode(got).y << " not " << want.x << "," << want.y;
        }
    EXPECT_TRUE(b.GuardIntact());
}

TEST(RenderView, EveryZoomAndLayoutFromEveryEdge) {
    // Widths that are multiples of 4 leave no row padding, so a read past
    // the last pixel leaves the picture's block (and the sanitizer sees it);
    // 101 leaves padding behind each row, which must stay out of the view.
    // In the last case the window shrank after the fit: the reduced view
    // overflows it.
    const struct {
        int w, h, cw, ch;
        float z;
    } cases[] = {{400, 300, 200, 150, 1},   {240, 100, 200, 150, 1}, {120, 320, 200, 150, 1},
                 {100, 60, 200, 150, 1},    {120, 100, 180, 140, 2}, {124, 40, 180, 140, 3},
                 {40, 96, 180, 140, 2},     {36, 28, 180, 140, 4},   {28, 20, 180, 140, 20},
                 {101, 77, 90, 70, 1},      {101, 77, 90, 70, 3},    {101, 77, 90, 70, 0.5f},
                 {800, 600, 400, 300, 0.9f}};
    for (const auto& c : cases) {
        const CImageBuffer img = Coded(c.w, c.h);
        const int sw = int(c.w * c.z), sh = int(c.h * c.z);
        for (auto [sx, sy] :
             {std::pair{0, 0}, {sw / 2, sh / 3}, {sw - c.cw - 1, 1}, {sw - 1, sh - 1}, {0, sh - 1}})
            ExpectFrame(img, ViewAt(c.w, c.h, c.cw, c.ch, c.z, sx, sy));
    }
}

TEST(RenderView, ReusedAndRefusedViews) {
    // One renderer across scrolls and zooms: the cached column map follows.
    CViewState m = ViewAt(160, 120, 100, 80, 2.0f, 0, 0);
    const CImageBuffer mid = Coded(160, 120);
    CViewRenderer r;
    PixelBlock b(100, 80);
    for (int step = 0; step < 6; ++step) {
        if (step == 3)
            m.ZoomIn();
        m.DragBy(-7, 5);
        ASSERT_TRUE(r.Render(mid, m, kBack, b.Dest()));
        for (int Y = 0; Y < 80; Y += 7)
            for (int X = 0; X < 100; X += 3)
                ASSERT_EQ(Decode(b.At(X, Y)), ExpectedEnlarged(m, X, Y)) << step;
    }

    // Nothing to draw, or a view made for another picture size: background only.
    CViewState none;
    none.SetClientSize(100, 80);
    EXPECT_FALSE(RenderView(mid, none, kBack, b.Dest()));
    EXPECT_EQ(b.At(99, 79), ColorToXrgb(kBack));
    b = PixelBlock(100, 80);
    EXPECT_FALSE(RenderView(mid, ViewAt(640, 480, 100, 80, 1.0f, 600, 0), kBack, b.Dest()));
    EXPECT_EQ(b.At(50, 40), ColorToXrgb(kBack));
    EXPECT_TRUE(b.GuardIntact());
}

// ---------------------------------------------------------------------------
// The overview panel and the full-screen button row

TEST(Overview, PreviewPanelMarkerAndItsDrags) {
    const int cw = 500, ch = 400;
    const CImageBuffer img = Coded(1000, 800);
    CViewState v = ViewAt(1000, 800, cw, ch, 2.0f, 700, 500); // 2000 x 1600, scrolled
    COverview o;
    o.BuildOverview(img);
    o.ResetPosition(cw, ch);
    // The picture fitted into 100 x 100, each preview pixel from its own
    // footprint, centred in the panel's preview area.
    ASSERT_EQ(o.GetPreviewSize(), (ViewSize{100, 80}));
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(Decode(o.PreviewPixel(x, y)).x / 10 * 100 +
                          Decode(o.PreviewPixel(x, y)).y / 10,
                      x * 100 + y);
    const ViewRect panel = o.PanelRect(), preview = o.PreviewRect(), marker = o.MarkerRect(v);
    EXPECT_EQ(preview, (ViewRect{400, 234 + 15 + 10, 500, 234 + 15 + 90}));
    // Drawn over the view: the area round the preview darkened to 60 %, the
    // caption band, the preview, the marker round the shown part (250 x 200
    // of 1000 x 800 picture pixels, at the scroll offset).
    PixelBlock f(cw, ch);
    ASSERT_TRUE(RenderView(img, v, RGB(0, 0, 0), f.Dest()));
    const std::uint32_t under = f.At(panel.left + 50, panel.top + 16) & 255;
    ASSERT_TRUE(o.DrawOverview(f.Dest(), v));
    EXPECT_EQ(f.At(panel.left + 50, panel.top + 16) & 255, std::uint32_t(under * 0.6 + 1e-9));
    EXPECT_EQ(f.At(panel.left + 30, panel.top + 7), ColorToXrgb(kOverviewCaptionColor));
    EXPECT_EQ(f.At(marker.left, marker.top), ColorToXrgb(kOverviewMarkerColor));
    EXPECT_EQ(f.At(preview.left + 3, preview.top + 1), o.PreviewPixel(3, 1));
    const ViewPoint s = v.GetShownOrigin();
    EXPECT_TRUE(std::abs(marker.left - preview.left - s.x / 20.0) <= 1 &&
                std::abs(marker.top - preview.top - (800 - (s.y + ch) / 2.0) / 10) <= 1 &&
                std::abs(marker.Width() - 25) <= 1 && std::abs(marker.Height() - 20) <= 1);
    // Not drawn over a view that does not scroll.
    EXPECT_FALSE(o.DrawOverview(f.Dest(), ViewAt(1000, 800, cw, ch, 0.4f)));

    const ViewRect close = o.CloseRect();
    EXPECT_EQ((std::vector{o.HitTest(close.left + 2, close.top + 2, v),
                           o.HitTest(marker.left + 1, marker.top + 1, v),
                           o.HitTest(panel.left + 1, panel.top + 1, v),
                           o.HitTest(panel.left - 1, panel.top + 1, v)}),
              (std::vector{EOverviewHit::kClose, EOverviewHit::kMarker, EOverviewHit::kPanel,
                           EOverviewHit::kNone}));
    // The marker dragged far to the top left and far to the bottom right
    // stops at the preview's corners, the view at the picture's.
    o.BeginMarkerDrag(marker.left + 2, marker.top + 2, v);
    o.DragMarkerTo(-1000, -1000, v);
    EXPECT_EQ(v.GetShownOrigin(), (ViewPoint{0, 1600 - 400}));
    EXPECT_EQ(o.MarkerRect(v).left, o.PreviewRect().left);
    o.DragMarkerTo(5000, 5000, v);
    o.EndDrag();
    EXPECT_EQ(v.GetShownOrigin(), (ViewPoint{2000 - 500, 0}));
    EXPECT_EQ(o.MarkerRect(v).bottom, o.PreviewRect().bottom);
}

TEST(FloatingRow, SixButtonsAlongTheBottomCentreAndTheExitCorner) {
    CFloatingRow row;
    row.Layout(1000, 700); // 93 to 69 pixels above the bottom, 10 pixels apart
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(row.buttons[std::size_t(i)], (ViewRect{398 + 34 * i, 607, 422 + 34 * i, 631}));
    EXPECT_EQ(row.exit, (ViewRect{976, 0, 1000, 24}));
    EXPECT_EQ(row.band, (ViewRect{0, 603, 1000, 634}));
}

// ---------------------------------------------------------------------------
// The blur after a drag of a strongly enlarged view

// The weights of the rule, in double precision: exp(-d^2 / (2 sigma^2)).
double Weight(int d, int sigma) {
    return std::exp(-double(d) * d / (2.0 * sigma * sigma));
}

TEST(Blur, SigmaKernelAndTwoTruncatedPasses) {
    EXPECT_FALSE(ShouldBlurAfterDrag(kSmoothingGaussian, 3.0f) ||
                 ShouldBlurAfterDrag(kSmoothingLinear, 8.0f));
    EXPECT_TRUE(ShouldBlurAfterDrag(kSmoothingGaussian, 4.0f));
    for (auto [zoom, sigma] : {std::pair{4.0f, 1}, {5.0f, 2}, {8.0f, 2}, {9.0f, 3}, {20.0f, 6}}) {
        EXPECT_EQ(BlurSigmaForZoom(zoom), sigma) << zoom;
        const std::vector<float> k = GaussianKernel(sigma);
        ASSERT_EQ(int(k.size()), 6 * sigma + 1);
        EXPECT_NEAR(k[0] / k[3 * sigma], Weight(3 * sigma, sigma), 1e-5);
        EXPECT_NEAR(std::accumulate(k.begin(), k.end(), 0.0), 1.0, 1e-5);
    }
    // A red left column in a black field: at an edge only the taps on the
    // picture count, and the other channels stay.
    const int n = 21, sigma = 1;
    PixelBlock p(n, n, 0xFF000000u);
    for (int y = 0; y < n; ++y)
        p.At(0, y) = 0xFFC80000u;
    GaussianBlur(p.Dest(), {0, 0, n, n}, sigma);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double num = 0, den = 0;
            for (int d = -3; d <= 3; ++d)
                if (x + d >= 0 && x + d < n) {
                    den += Weight(d, sigma);
                    num += x + d == 0 ? Weight(d, sigma) * 200 : 0;
                }
            EXPECT_NEAR(int((p.At(x, y) >> 16) & 255), int(num / den), 1) << x << "," << y;
            EXPECT_EQ(p.At(x, y) & 0xFF00FFFFu, 0xFF000000u);
        }
}

TEST(Blur, EachPassTruncatesWithoutAllowance) {
    // Rows all alike, of random levels: a pixel is its row's weighted sum
    // (in double precision here) truncated, less the level that the vertical
    // pass of a flat column may lose. A sum just below a whole level (by
    // 0.0002 to 0.0009, far beyond float rounding) keeps the level below.
    const int n = 4096;
    PixelBlock p(n, 7, 0);
    std::mt19937 rng(5);
    std::vector<std::uint32_t> row;
    for (int x = 0; x < n; ++x) {
        row.push_back(0xFF000000u | std::uint32_t(rng() & 0xFFFFFF));
        for (int y = 0; y < 7; ++y)
            p.At(x, y) = row.back();
    }
    GaussianBlur(p.Dest(), {0, 0, n, 7}, 1);
    const std::vector<float> k = GaussianKernel(1);
    int justBelow = 0;
    for (int x = 3; x < n - 3; ++x)
        for (int shift : {0, 8, 16}) {
            double sum = 0;
            for (int d = -3; d <= 3; ++d)
                sum += double(k[std::size_t(d + 3)]) *
                       double((row[std::size_t(x + d)] >> shift) & 255);
            const double below = std::ceil(sum) - sum;
            if (below < 0.0002 || below > 0.9998)
                continue; // too close to call
            justBelow += below < 0.0009;
            const int got = int(p.At(x, 3) >> shift) & 255;
            ASSERT_TRUE(got == int(sum) || got == int(sum) - 1) << x << " " << sum;
        }
    EXPECT_GT(justBelow, 0);
}

} // namespace
