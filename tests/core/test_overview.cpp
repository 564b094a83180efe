#include "image/Overview.h"
#include "image/Render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Each pixel tells its column and row (from the top).
CImageBuffer Coded(int w, int h) {
    CImageBuffer b;
    EXPECT_TRUE(b.Allocate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelRgb(x, h - 1 - y, std::uint8_t(x & 255),
                          std::uint8_t((x >> 8) | ((y >> 8) << 4)), std::uint8_t(y & 255));
    return b;
}

void Decode(std::uint32_t v, int& x, int& y) {
    const int r = (v >> 16) & 255, g = (v >> 8) & 255, b = v & 255;
    x = r | ((g & 15) << 8);
    y = b | ((g >> 4) << 8);
}

CViewState View(int w, int h, int cw, int ch, float z) {
    CViewState v;
    v.SetClientSize(cw, ch);
    v.OpenPicture(w, h, false);
    v.ApplyZoom(z);
    return v;
}

struct Frame {
    int w, h;
    std::vector<std::uint32_t> px;
    Frame(int w_, int h_) : w(w_), h(h_), px(std::size_t(w_) * h_, 0) {}
    CViewDest Dest() {
        return {reinterpret_cast<std::uint8_t*>(px.data()), w, h, w * 4, EPixelFormat::kXrgb32};
    }
    std::uint32_t At(int x, int y) const { return px[std::size_t(y) * w + x]; }
};

TEST(Overview, LargePictureIsFittedAndCentred) {
    const struct { int w, h; } sizes[] = {{4000, 3000}, {300, 1000}, {150, 101}, {1000, 1000}};
    for (const auto& s : sizes) {
        COverview o;
        o.BuildOverview(Coded(s.w, s.h));
        ASSERT_TRUE(o.IsValid());
        // The smaller ratio scales both sides.
        const double scale = std::min(100.0 / s.w, 100.0 / s.h);
        const ViewSize p = o.GetPreviewSize();
        EXPECT_NEAR(p.cx, s.w * scale, 1.0) << s.w << "x" << s.h;
        EXPECT_NEAR(p.cy, s.h * scale, 1.0) << s.w << "x" << s.h;
        EXPECT_EQ(std::max(p.cx, p.cy), 100);
        // Each preview pixel comes from inside its own footprint on the picture.
        for (int y = 0; y < p.cy; ++y)
            for (int x = 0; x < p.cx; ++x) {
                int sx, sy;
                Decode(o.PreviewPixel(x, y), sx, sy);
                ASSERT_GE(sx, int(x * double(s.w) / p.cx));
                ASSERT_LT(sx, (x + 1) * double(s.w) / p.cx);
                ASSERT_GE(sy, int(y * double(s.h) / p.cy));
                ASSERT_LT(sy, (y + 1) * double(s.h) / p.cy);
            }
        o.ResetPosition(800, 600);
        const ViewRect r = o.PreviewRect();
        EXPECT_EQ(r.left - 700, (100 - p.cx) / 2);
        EXPECT_EQ(r.top - (600 - 166 + 15), (100 - p.cy) / 2);
    }
}

TEST(Overview, SmallPictureIsTakenAsItIs) {
    COverview o;
    o.BuildOverview(Coded(50, 30));
    ASSERT_EQ(o.GetPreviewSize(), (ViewSize{50, 30}));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x) {
            int sx, sy;
            Decode(o.PreviewPixel(x, y), sx, sy);
            ASSERT_EQ(sx, x);
            ASSERT_EQ(sy, y);
        }
    CImageBuffer empty;
    o.BuildOverview(empty);
    EXPECT_FALSE(o.IsValid());
}

TEST(Overview, CaptionShowsTheZoomInPercent) {
    EXPECT_EQ(COverview::CaptionText(2.0f), "[200%]");
    EXPECT_EQ(COverview::CaptionText(700.0f / 3000), "[23%]");
    EXPECT_EQ(COverview::CaptionText(1.0f), "[100%]");
}

TEST(Overview, DrawDarkensThePanelAndMarksTheShownPart) {
    const int cw = 500, ch = 400;
    const CImageBuffer img = Coded(1000, 800);
    CViewState v = View(1000, 800, cw, ch, 2.0f); // 2000 x 1600, scrolled
    COverview o;
    o.BuildOverview(img);
    o.ResetPosition(cw, ch);

    Frame f(cw, ch);
    CViewDest d = f.Dest();
    ASSERT_TRUE(RenderView(img, v, RGB(0, 0, 0), d));
    const std::vector<std::uint32_t> view = f.px;
    ASSERT_TRUE(o.DrawOverview(d, v));

    const ViewRect panel = o.PanelRect(), preview = o.PreviewRect();
    const ViewRect marker = o.MarkerRect(v);
    // Darkened: a pixel of the preview area outside the preview itself
    // (the 100 x 80 preview leaves bands above and below it).
    ASSERT_GT(preview.top, panel.top + 15);
    const int x = panel.left + 50, y = panel.top + 16;
    const std::uint32_t under = view[std::size_t(y) * cw + x], got = f.At(x, y);
    for (int shift : {0, 8, 16}) {
        const int c = (under >> shift) & 255;
        EXPECT_EQ(int((got >> shift) & 255), int(std::trunc(c * 0.6 + 1e-9)));
    }
    // Caption band colour, preview pixels, marker outline.
    EXPECT_EQ(f.At(panel.left + 30, panel.top + 7), ColorToXrgb(kOverviewCaptionColor));
    EXPECT_EQ(f.At(panel.left, panel.top), ColorToXrgb(kOverviewEdgeColor));
    EXPECT_EQ(f.At(marker.left, marker.top), ColorToXrgb(kOverviewMarkerColor));
    EXPECT_EQ(f.At(marker.right - 1, marker.bottom - 1), ColorToXrgb(kOverviewMarkerColor));
    const int px = (marker.left + preview.right) / 2 + 1, py = preview.top + 1;
    ASSERT_FALSE(marker.Contains(px, py));
    EXPECT_EQ(f.At(px, py), o.PreviewPixel(px - preview.left, py - preview.top));

    // The marker covers the shown part: 250 x 200 picture pixels out of
    // 1000 x 800, a quarter in each direction, at the scroll offset.
    const ViewPoint s = v.GetShownOrigin();
    const double k = 100.0 / 1000; // preview pixels per picture pixel
    EXPECT_NEAR(marker.left - preview.left, s.x / 2.0 * k, 1.0);
    EXPECT_NEAR(marker.Width(), 250 * k, 1.0);
    EXPECT_NEAR(marker.Height(), 200 * k, 1.0);
    EXPECT_NEAR(marker.top - preview.top, (800 - (s.y + ch) / 2.0) * k, 1.0);

    // Not drawn over a view that does not scroll.
    CViewState fits = View(1000, 800, cw, ch, 0.4f);
    Frame g(cw, ch);
    CViewDest gd = g.Dest();
    EXPECT_FALSE(o.DrawOverview(gd, fits));
    EXPECT_EQ(o.HitTest(panel.left + 5, panel.top + 5, fits), EOverviewHit::kNone);
}

TEST(Overview, HitTestAndPanelDrag) {
    const CImageBuffer img = Coded(1000, 800);
    CViewState v = View(1000, 800, 500, 400, 2.0f);
    COverview o;
    o.BuildOverview(img);
    o.ResetPosition(500, 400);
    const ViewRect close = o.CloseRect(), marker = o.MarkerRect(v), panel = o.PanelRect();
    EXPECT_EQ(o.HitTest(close.left + 2, close.top + 2, v), EOverviewHit::kClose);
    EXPECT_EQ(o.HitTest(marker.left + 1, marker.top + 1, v), EOverviewHit::kMarker);
    EXPECT_EQ(o.HitTest(panel.left + 1, panel.top + 1, v), EOverviewHit::kPanel);
    EXPECT_EQ(o.HitTest(panel.left - 1, panel.top + 1, v), EOverviewHit::kNone);

    o.BeginPanelDrag(panel.left + 10, panel.top + 5);
    o.DragPanelTo(30, 40);
    o.EndDrag();
    EXPECT_EQ(o.GetPosition(), (ViewPoint{20, 35}));
}

TEST(Overview, MarkerDragScrollsTheViewToBothEnds) {
    const CImageBuffer img = Coded(1000, 800);
    CViewState v = View(1000, 800, 500, 400, 2.0f);
    COverview o;
    o.BuildOverview(img);
    o.ResetPosition(500, 400);
    const ViewRect m = o.MarkerRect(v);
    o.BeginMarkerDrag(m.left + 2, m.top + 2, v);
    // Far to the top left: the view shows the top left corner.
    o.DragMarkerTo(-1000, -1000, v);
    EXPECT_EQ(v.GetShownOrigin(), (ViewPoint{0, 1600 - 400}));
    EXPECT_EQ(o.MarkerRect(v).left, o.PreviewRect().left);
    EXPECT_EQ(o.MarkerRect(v).top, o.PreviewRect().top);
    // Far to the bottom right: the last column and the bottom row.
    o.DragMarkerTo(5000, 5000, v);
    EXPECT_EQ(v.GetShownOrigin(), (ViewPoint{2000 - 500, 0}));
    EXPECT_EQ(o.MarkerRect(v).right, o.PreviewRect().right);
    EXPECT_EQ(o.MarkerRect(v).bottom, o.PreviewRect().bottom);
    // In between, the view shows what the marker covers (within one
    // preview pixel).
    const ViewRect p = o.PreviewRect();
    o.DragMarkerTo(p.left + 30 + 2, p.top + 20 + 2, v);
    o.EndDrag();
    const ViewPoint s = v.GetShownOrigin();
    const double perPreview = 2.0 * 1000 / 100; // zoomed pixels per preview pixel
    EXPECT_NEAR(s.x, 30 * perPreview, perPreview);
    EXPECT_NEAR(1600 - (s.y + 400), 20 * perPreview, perPreview);
}

TEST(Overview, PopupClickCentresTheClickedPlace) {
    const CImageBuffer img = Coded(1000, 800);
    CViewState v = View(1000, 800, 500, 400, 1.0f);
    COverview o;
    o.BuildOverview(img);
    Frame f(500, 400);
    CViewDest d = f.Dest();
    const ViewRect r = o.DrawPopup(d, 480, 10); // moved inside the window
    EXPECT_EQ(r, (ViewRect{400, 10, 500, 90}));
    EXPECT_EQ(f.At(r.left + 3, r.top + 4), o.PreviewPixel(3, 4));
    EXPECT_FALSE(o.ScrollToPopupPoint(r.left - 1, r.top, v));

    // A click on preview pixel (40, 30) centres picture point ~(405, 305).
    ASSERT_TRUE(o.ScrollToPopupPoint(r.left + 40, r.top + 30, v));
    const ViewPoint s = v.GetShownOrigin();
    EXPECT_NEAR(s.x + 250, 405, 6);
    EXPECT_NEAR(800 - (s.y + 200), 305, 6);
    // A click at the corner stops at the picture's corner.
    ASSERT_TRUE(o.ScrollToPopupPoint(r.right - 1, r.bottom - 1, v));
    EXPECT_EQ(v.GetShownOrigin(), (ViewPoint{500, 0}));
}

} // namespace
