#include "image/View.h"
#include "image/Zoom.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

CViewState Opened(int w, int h, int cw, int ch, bool actualSizeMode = false) {
    CViewState v;
    v.SetClientSize(cw, ch);
    v.OpenPicture(w, h, actualSizeMode);
    return v;
}

// The picture pixel (x from the left, y from the bottom, fractional) shown at
// the middle of the window.
std::pair<double, double> MiddlePoint(const CViewState& v) {
    const ViewRect& rc = v.GetDestRect();
    const double z = v.GetZoom();
    return {(v.GetShownOrigin().x + (v.GetClientSize().cx / 2.0 - rc.left)) / z,
            (v.GetShownOrigin().y + (rc.bottom - v.GetClientSize().cy / 2.0)) / z};
}

TEST(ZoomLadder, LowStepsScaleToTheFitOfBothSides) {
    // Picture sizes in 1000 x 700 and the fit ratio. Both sides are fitted; a
    // picture exactly as wide as the window counts as not fitting; one inside
    // the window keeps tenth steps.
    const std::tuple<int, int, double, bool> cases[] = {{4000, 3000, 700.0 / 3000, true},
                                                        {500, 2000, 700.0 / 2000, true},
                                                        {5000, 100, 1000.0 / 5000, true},
                                                        {1000, 200, 1.0, true},
                                                        {300, 200, 1.0, false}};
    for (auto [w, h, fit, scaled] : cases) {
        CZoomLadder ladder;
        ladder.BuildZoomSteps(w, h, 1000, 700);
        EXPECT_FLOAT_EQ(ladder.GetZoomStep(0), 0.000001f);
        for (int i = 1; i <= 9; ++i)
            EXPECT_NEAR(ladder.GetZoomStep(i), scaled ? i * fit / 9 : i / 10.0, 1e-6)
                << w << " " << i;
        for (int i = 10; i < 30; ++i)
            EXPECT_EQ(ladder.GetZoomStep(i), float(i - 9)) << i;
        EXPECT_NEAR(ladder.GetFitZoom(), fit, 1e-6);
        EXPECT_EQ(ladder.LargestStepNotAbove(ladder.GetFitZoom()), fit < 1 ? 9 : 10);
        EXPECT_EQ(ladder.LargestStepNotAbove(0.01f), 1);
        EXPECT_EQ(ladder.GetMinZoom(), ladder.GetZoomStep(1));
        EXPECT_EQ(ladder.GetMaxZoom(), 20.0f);
    }
}

TEST(ViewPlacement, EachLayoutPlacesThePictureByTheScaledSize) {
    const struct {
        int w, h;
        float z;
        int layout;
    } cases[] = {{900, 700, 1.0f, kLayoutBothOverflow}, {900, 300, 1.0f, kLayoutWider},
                 {300, 700, 1.0f, kLayoutTaller},       {301, 201, 1.0f, kLayoutFits},
                 {301, 201, 2.0f, kLayoutFits},         {301, 190, 3.0f, kLayoutWider},
                 {301, 255, 3.0f, kLayoutBothOverflow}};
    const int cw = 800, ch = 600;
    for (const auto& c : cases) {
        CViewState v = Opened(c.w, c.h, cw, ch);
        v.ApplyZoom(c.z);
        const int sw = int(c.w * c.z), sh = int(c.h * c.z);
        EXPECT_EQ(v.GetScaledSize(), (ViewSize{sw, sh}));
        EXPECT_EQ(v.GetLayout(), c.layout) << c.w << "x" << c.h << " at " << c.z;
        const int dw = std::min(sw, cw), dh = std::min(sh, ch);
        const ViewRect want{(cw - dw) / 2, (ch - dh) / 2, (cw - dw) / 2 + dw, (ch - dh) / 2 + dh};
        EXPECT_EQ(v.GetDestRect(), want) << c.w << "x" << c.h << " at " << c.z;
        EXPECT_EQ(v.IsScrollable(), c.layout != kLayoutFits);
        EXPECT_EQ(v.FillsMargins(), c.layout != kLayoutBothOverflow);
    }
}

TEST(ViewCommands, OpeningFitsALargePictureAndShowsASmallOneAtActualSize) {
    // 4000 x 3000 in 1000 x 700: the height limits, every row is shown, also
    // when the picture came before the window had a size.
    CViewState late;
    late.OpenPicture(4000, 3000, false);
    late.SetClientSize(1000, 700);
    for (const CViewState& v : {Opened(4000, 3000, 1000, 700), late}) {
        EXPECT_NEAR(v.GetZoom(), 700.0 / 3000, 1e-5);
        EXPECT_TRUE(v.GetScaledSize().cx <= 1000 && v.GetScaledSize().cy >= 699 &&
                    v.GetScaledSize().cy <= 700);
        EXPECT_EQ(std::make_tuple(v.GetZoomIndex(), v.GetLayout(), v.GetScroll()),
                  std::make_tuple(9, int(kLayoutFits), ViewPoint{0, 0}));
    }
    // A small picture: centred at 1.0, and stepping goes to the neighbours of
    // the zoom shown, so a zoom out never enlarges it.
    CViewState s = Opened(300, 200, 1000, 700);
    EXPECT_EQ(s.GetDestRect(), (ViewRect{350, 250, 650, 450}));
    EXPECT_EQ(s.ZoomOut(false), EZoomOutResult::kStepped);
    EXPECT_NEAR(s.GetZoom(), 0.9, 1e-6);
    EXPECT_FLOAT_EQ(Opened(300, 200, 1000, 700).ZoomIn(), 2.0f);
    // In the actual-size display mode the next step starts from step 10.
    CViewState a = Opened(4000, 3000, 1000, 700, true);
    EXPECT_EQ(a.GetZoomIndex(), 10);
    EXPECT_FLOAT_EQ(a.ZoomIn(), 2.0f);
}

TEST(ViewCommands, ZoomStopsAtBothEndsAndLeavesForTheListOnlyWhenAsked) {
    CViewState v = Opened(300, 200, 1000, 700);
    for (int i = 0; i < 25; ++i)
        v.ZoomIn();
    EXPECT_FLOAT_EQ(v.ZoomIn(), 20.0f);
    for (int i = 0; i < 40; ++i)
        v.ZoomOut(false);
    EXPECT_EQ(v.ZoomOut(false), EZoomOutResult::kStayedAtSmallest);
    EXPECT_EQ(std::make_pair(v.GetZoom(), v.GetZoomIndex()), std::make_pair(v.GetMinZoom(), 1));
    // The commands stay usable: one step in leaves the smallest step.
    EXPECT_FLOAT_EQ(v.ZoomIn(), v.GetZoomStep(2));
    CViewState l = Opened(4000, 3000, 1000, 700);
    while (l.GetZoomIndex() > 1)
        l.ZoomOut(true);
    const float zoom = l.GetZoom();
    EXPECT_EQ(l.ZoomOut(true), EZoomOutResult::kLeftForList);
    EXPECT_EQ(l.ZoomOut(false), EZoomOutResult::kStayedAtSmallest);
    EXPECT_EQ(std::make_pair(l.GetZoom(), l.GetZoomIndex()), std::make_pair(zoom, 1));
}

TEST(ViewCommands, FitActualSizeResizeAndRotation) {
    CViewState v = Opened(4000, 3000, 1000, 700);
    v.ActualSize();
    EXPECT_EQ(v.GetScroll(), (ViewPoint{1500, 1150})); // centred: columns 2000 - 500 on
    v.ZoomIn();
    EXPECT_NEAR(v.FitToWindow(), 700.0 / 3000, 1e-5);
    EXPECT_EQ(v.GetZoomIndex(), 9);
    // A picture exactly as wide as the window shows from column 0 at 1.0.
    CViewState e = Opened(1000, 500, 1000, 700);
    e.ActualSize();
    EXPECT_EQ(std::make_pair(e.GetShownOrigin().x, e.GetDestRect().Width()),
              std::make_pair(0, 1000));
    // A resize keeps the zoom shown and rebuilds the ladder; when the zoom
    // now overflows, a zoom out makes the picture smaller.
    v.SetClientSize(1600, 1200);
    EXPECT_NEAR(v.GetZoom(), 700.0 / 3000, 1e-5);
    EXPECT_NEAR(v.FitToWindow(), 0.4, 1e-5);
    v.SetClientSize(500, 400);
    v.ZoomOut(false);
    EXPECT_LT(v.GetZoom(), 0.4f);
    // A turned picture is fitted again, its index on the step shown.
    v.ResetForRotation(3000, 4000);
    EXPECT_NEAR(v.GetZoom(), 400.0 / 4000, 1e-6);
    EXPECT_LE(v.GetZoomStep(v.GetZoomIndex()), v.GetZoom() * 1.00001f);
    EXPECT_GT(v.GetZoomStep(v.GetZoomIndex() + 1), v.GetZoom());
    // Without a picture the commands do nothing.
    v.ClearPicture();
    EXPECT_EQ(v.ZoomIn(), v.GetZoom());
    EXPECT_FALSE(v.DragBy(10, 10) || v.IsScrollable());
}

TEST(ViewZoom, EnlargingKeepsThePointAtTheMiddleOfTheWindow) {
    // From somewhere off-centre, and after a drag past the end (then the
    // point kept is the one actually shown).
    for (int drag : {0, 1}) {
        CViewState v = Opened(2000, 1500, 800, 600);
        v.ActualSize();
        v.DragBy(drag ? -5000 : 300, drag ? -5000 : -200);
        for (int step = 0; step < 4; ++step) {
            const auto [x0, y0] = MiddlePoint(v);
            const float zPrev = v.GetZoom();
            v.ZoomIn();
            const auto [x1, y1] = MiddlePoint(v);
            // Within one picture pixel of the previous zoom.
            EXPECT_NEAR(x1, x0, 1.0 / zPrev + 1e-9) << drag << " step " << step;
            EXPECT_NEAR(y1, y0, 1.0 / zPrev + 1e-9) << drag << " step " << step;
            EXPECT_LE(v.GetScroll().x, v.GetScaledSize().cx - 800);
        }
    }
}

TEST(ViewDrag, DragsAndArrowsMoveThePictureAndStopAtItsLastPixel) {
    CViewState v = Opened(3000, 2000, 800, 600);
    v.ActualSize();
    const ViewPoint p = v.GetScroll();
    EXPECT_TRUE(v.DragBy(10, 20)); // mouse right and down
    EXPECT_EQ(v.GetScroll(), (ViewPoint{p.x - 10, p.y + 20}));
    v.ArrowKey(EArrowKey::kRight); // 4 pixels at 1.0
    v.ArrowKey(EArrowKey::kDown);
    EXPECT_EQ(v.GetScroll(), (ViewPoint{p.x - 6, p.y + 16}));
    v.DragBy(-100000, -100000);
    EXPECT_EQ(std::make_pair(v.GetScroll(), v.GetShownOrigin()),
              std::make_pair(ViewPoint{2999, 0}, ViewPoint{3000 - 800, 0}));
    EXPECT_FALSE(v.ArrowKey(EArrowKey::kRight) || v.ArrowKey(EArrowKey::kDown));
    v.DragBy(100000, 100000);
    EXPECT_EQ(std::make_pair(v.GetScroll(), v.GetShownOrigin()),
              std::make_pair(ViewPoint{0, 1999}, ViewPoint{0, 2000 - 600}));
    EXPECT_FALSE(v.DragBy(1, 1)); // already at both ends
    // The arrow step follows the zoom.
    std::vector<int> steps;
    for (int index : {10, 11, 18, 19, 20, 28, 29}) {
        v.SetZoomIndex(index);
        v.ApplyZoom(v.GetZoomStep(index));
        steps.push_back(v.ArrowStep());
    }
    EXPECT_EQ(steps, (std::vector{4, 8, 36, 15, 16, 28, 20}));
    // Only wider: the vertical direction is not scrolled; a picture that fits
    // and a reduced view are not moved.
    CViewState w = Opened(1600, 300, 800, 600);
    w.ActualSize();
    w.DragBy(0, 500);
    EXPECT_EQ(w.GetScroll().y, 0);
    EXPECT_FALSE(Opened(300, 200, 800, 600).ArrowKey(EArrowKey::kLeft) ||
                 Opened(4000, 3000, 800, 600).DragBy(50, 50));
}

} // namespace
