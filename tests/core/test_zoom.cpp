#include "image/View.h"
#include "image/Zoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

CViewState Opened(int w, int h, int cw, int ch, bool actualSizeMode = false) {
    CViewState v;
    v.SetClientSize(cw, ch);
    v.OpenPicture(w, h, actualSizeMode);
    return v;
}

// The picture pixel (x from the left, y from the bottom, fractional) shown at
// the middle of the window.
void MiddlePoint(const CViewState& v, double& px, double& py) {
    const ViewRect& rc = v.GetDestRect();
    const ViewPoint o = v.GetShownOrigin();
    const ViewSize c = v.GetClientSize();
    const double z = v.GetZoom();
    px = (o.x + (c.cx / 2.0 - rc.left)) / z;
    py = (o.y + (rc.bottom - c.cy / 2.0)) / z;
}

TEST(ZoomLadder, PictureLargerThanWindowScalesTheLowStepsToTheFitOfBothSides) {
    CZoomLadder ladder;
    ladder.BuildZoomSteps(4000, 3000, 1000, 700);
    const double r = std::min(1000.0 / 4000, 700.0 / 3000); // the height limits here
    EXPECT_FLOAT_EQ(ladder.GetZoomStep(0), 0.000001f);
    for (int i = 1; i <= 9; ++i)
        EXPECT_NEAR(ladder.GetZoomStep(i), i * r / 9, 1e-6) << i;
    for (int i = 10; i < 30; ++i)
        EXPECT_EQ(ladder.GetZoomStep(i), float(i - 9)) << i;
    EXPECT_NEAR(ladder.GetFitZoom(), r, 1e-6);
    EXPECT_EQ(ladder.GetMinZoom(), ladder.GetZoomStep(1));
    EXPECT_EQ(ladder.GetLowestEnd(), ladder.GetZoomStep(0));
    EXPECT_EQ(ladder.GetMaxZoom(), 20.0f);

    // A tall picture is limited by the height, a wide and flat one by the width.
    ladder.BuildZoomSteps(500, 2000, 1000, 700);
    EXPECT_NEAR(ladder.GetZoomStep(9), 700.0 / 2000, 1e-6);
    ladder.BuildZoomSteps(5000, 100, 1000, 700);
    EXPECT_NEAR(ladder.GetZoomStep(9), 1000.0 / 5000, 1e-6);
}

TEST(ZoomLadder, PictureInsideWindowKeepsTenthSteps) {
    CZoomLadder ladder;
    ladder.BuildZoomSteps(300, 200, 1000, 700);
    for (int i = 1; i <= 9; ++i)
        EXPECT_NEAR(ladder.GetZoomStep(i), i / 10.0, 1e-6) << i;
    EXPECT_EQ(ladder.GetFitZoom(), 1.0f);
    // Exactly as wide as the window counts as not fitting; its fit step is 1.0.
    ladder.BuildZoomSteps(1000, 200, 1000, 700);
    EXPECT_NEAR(ladder.GetZoomStep(9), 1.0, 1e-6);
    EXPECT_EQ(ladder.LargestStepNotAbove(ladder.GetFitZoom()), 10);
}

TEST(ViewPlacement, EachLayoutPlacesThePictureByTheScaledSize) {
    struct Case {
        int w, h;
        float z;
        int layout;
    } cases[] = {{900, 700, 1.0f, kLayoutBothOverflow}, {900, 300, 1.0f, kLayoutWider},
                 {300, 700, 1.0f, kLayoutTaller},       {301, 201, 1.0f, kLayoutFits},
                 {301, 201, 2.0f, kLayoutFits},         {301, 190, 3.0f, kLayoutWider},
                 {301, 255, 3.0f, kLayoutBothOverflow}};
    const int cw = 800, ch = 600;
    for (const Case& c : cases) {
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

TEST(ViewCommands, LargePictureOpensFittedWithAllOfItInside) {
    CViewState v = Opened(4000, 3000, 1000, 700);
    EXPECT_EQ(v.GetZoomIndex(), 9);
    EXPECT_NEAR(v.GetZoom(), 700.0 / 3000, 1e-5);
    EXPECT_LE(v.GetScaledSize().cx, 1000);
    EXPECT_LE(v.GetScaledSize().cy, 700);
    EXPECT_GE(v.GetScaledSize().cy, 699);
    EXPECT_EQ(v.GetLayout(), kLayoutFits);
    EXPECT_FALSE(v.IsScrollable());
    EXPECT_EQ(v.GetScroll(), (ViewPoint{0, 0}));
}

TEST(ViewCommands, SmallPictureOpensAtActualSizeAndStepsFromThere) {
    CViewState v = Opened(300, 200, 1000, 700);
    EXPECT_EQ(v.GetZoom(), 1.0f);
    EXPECT_EQ(v.GetDestRect(), (ViewRect{350, 250, 650, 450}));
    // Stepping goes to the neighbours of the zoom shown: a zoom out never
    // enlarges the picture.
    EXPECT_FLOAT_EQ(v.ZoomIn(), 2.0f);
    CViewState w = Opened(300, 200, 1000, 700);
    EXPECT_EQ(w.ZoomOut(false), EZoomOutResult::kStepped);
    EXPECT_NEAR(w.GetZoom(), 0.9, 1e-6);

    // In the actual-size display mode the next step starts from step 10.
    CViewState a = Opened(4000, 3000, 1000, 700, true);
    EXPECT_NEAR(a.GetZoom(), 700.0 / 3000, 1e-5);
    EXPECT_EQ(a.GetZoomIndex(), 10);
    EXPECT_FLOAT_EQ(a.ZoomIn(), 2.0f);
}

TEST(ViewCommands, ZoomStopsAtBothEndsOfTheLadder) {
    CViewState v = Opened(300, 200, 1000, 700);
    for (int i = 0; i < 25; ++i)
        v.ZoomIn();
    EXPECT_EQ(v.GetZoomIndex(), 29);
    EXPECT_FLOAT_EQ(v.ZoomIn(), 20.0f);
    EXPECT_EQ(v.GetZoomIndex(), 29);

    const float smallest = v.GetMinZoom();
    for (int i = 0; i < 40; ++i)
        v.ZoomOut(false);
    EXPECT_EQ(v.ZoomOut(false), EZoomOutResult::kStayedAtSmallest);
    EXPECT_EQ(v.GetZoom(), smallest);
    EXPECT_EQ(v.GetZoomIndex(), 1);
    // The commands stay usable: one step in leaves the smallest step.
    EXPECT_FLOAT_EQ(v.ZoomIn(), v.GetZoomStep(2));
}

TEST(ViewCommands, ZoomOutBelowSmallestLeavesForTheListOnlyWhenAsked) {
    CViewState v = Opened(4000, 3000, 1000, 700);
    while (v.GetZoomIndex() > 1)
        v.ZoomOut(true);
    const float zoom = v.GetZoom();
    EXPECT_EQ(v.ZoomOut(true), EZoomOutResult::kLeftForList);
    EXPECT_EQ(v.GetZoom(), zoom);
    EXPECT_EQ(v.GetZoomIndex(), 1);
    EXPECT_EQ(v.ZoomOut(false), EZoomOutResult::kStayedAtSmallest);
    EXPECT_EQ(v.GetZoom(), zoom);
}

TEST(ViewCommands, FitAndActualSize) {
    CViewState v = Opened(4000, 3000, 1000, 700);
    v.ActualSize();
    EXPECT_EQ(v.GetZoom(), 1.0f);
    EXPECT_EQ(v.GetZoomIndex(), 10);
    // Actual size centres the picture: columns 2000 - 500 on.
    EXPECT_EQ(v.GetScroll(), (ViewPoint{1500, 1150}));
    v.ZoomIn();
    v.ZoomIn();
    EXPECT_NEAR(v.FitToWindow(), 700.0 / 3000, 1e-5);
    EXPECT_EQ(v.GetZoomIndex(), 9);

    CViewState s = Opened(300, 200, 1000, 700);
    s.ZoomIn();
    EXPECT_EQ(s.FitToWindow(), 1.0f);
    EXPECT_EQ(s.GetZoomIndex(), 10);
    s.ZoomOut(false);
    EXPECT_EQ(s.FitToWindow(), 1.0f);

    // A picture exactly as wide as the window shows from column 0 at 1.0.
    CViewState e = Opened(1000, 500, 1000, 700);
    e.ActualSize();
    EXPECT_EQ(e.GetShownOrigin().x, 0);
    EXPECT_EQ(e.GetDestRect().Width(), 1000);
}

TEST(ViewCommands, ResizeKeepsFitMeaningful) {
    CViewState v = Opened(4000, 3000, 1000, 700);
    v.SetClientSize(1600, 1200);
    EXPECT_NEAR(v.GetZoom(), 700.0 / 3000, 1e-5); // the zoom shown stays
    EXPECT_NEAR(v.FitToWindow(), std::min(1600.0 / 4000, 1200.0 / 3000), 1e-5);
    v.SetClientSize(500, 400);
    // The shown zoom now overflows; the index follows it so that a zoom
    // out makes the picture smaller.
    const float before = v.GetZoom();
    v.ZoomOut(false);
    EXPECT_LT(v.GetZoom(), before);
    EXPECT_NEAR(v.FitToWindow(), std::min(500.0 / 4000, 400.0 / 3000), 1e-5);
    EXPECT_LE(v.GetScaledSize().cx, 500);
    EXPECT_LE(v.GetScaledSize().cy, 400);
}

TEST(ViewCommands, PictureOpenedBeforeTheWindowHadASizeIsFittedAtTheFirstSize) {
    CViewState v;
    v.OpenPicture(4000, 3000, false);
    v.SetClientSize(1000, 700);
    EXPECT_NEAR(v.GetZoom(), 700.0 / 3000, 1e-5);
    EXPECT_EQ(v.GetZoomIndex(), 9);
    EXPECT_EQ(v.GetLayout(), kLayoutFits);
}

TEST(ViewCommands, RotationRefitsTheTurnedPicture) {
    CViewState v = Opened(4000, 3000, 1000, 700);
    v.ZoomIn();
    v.ResetForRotation(3000, 4000);
    EXPECT_NEAR(v.GetZoom(), 700.0 / 4000, 1e-6);
    EXPECT_LE(v.GetZoomStep(v.GetZoomIndex()), v.GetZoom() * 1.00001f);
    EXPECT_GT(v.GetZoomStep(v.GetZoomIndex() + 1), v.GetZoom());
    v.ResetForRotation(200, 300);
    EXPECT_EQ(v.GetZoom(), 1.0f);
    EXPECT_EQ(v.GetZoomIndex(), 10);
}

TEST(ViewCommands, WithoutAPictureTheCommandsDoNothing) {
    CViewState v;
    v.SetClientSize(800, 600);
    v.ClearPicture();
    EXPECT_EQ(v.ZoomIn(), 1.0f);
    EXPECT_EQ(v.GetZoomIndex(), 10);
    EXPECT_FALSE(v.DragBy(10, 10));
    EXPECT_FALSE(v.IsScrollable());
}

TEST(ViewZoom, EnlargingKeepsThePointAtTheMiddleOfTheWindow) {
    const int cw = 800, ch = 600;
    CViewState v = Opened(2000, 1500, cw, ch);
    v.ActualSize();
    v.DragBy(300, -200); // somewhere off-centre
    for (int step = 0; step < 4; ++step) {
        double x0, y0, x1, y1;
        MiddlePoint(v, x0, y0);
        const float zPrev = v.GetZoom();
        v.ZoomIn();
        MiddlePoint(v, x1, y1);
        // Within one picture pixel of the previous zoom.
        EXPECT_NEAR(x1, x0, 1.0 / zPrev + 1e-9) << "step " << step;
        EXPECT_NEAR(y1, y0, 1.0 / zPrev + 1e-9) << "step " << step;
    }
    // After a drag past the end the point kept is the one actually shown.
    CViewState e = Opened(2000, 1500, cw, ch);
    e.ActualSize();
    e.DragBy(-5000, -5000);
    ASSERT_EQ(e.GetScroll(), (ViewPoint{1999, 0}));
    double x0, y0, x1, y1;
    MiddlePoint(e, x0, y0);
    e.ZoomIn();
    MiddlePoint(e, x1, y1);
    EXPECT_NEAR(x1, x0, 1.0);
    EXPECT_NEAR(y1, y0, 1.0);
    EXPECT_LE(e.GetScroll().x, e.GetScaledSize().cx - cw);
}

TEST(ViewDrag, PictureFollowsTheMouseAndStopsAtTheLastPixel) {
    CViewState v = Opened(2000, 1500, 800, 600);
    v.ActualSize();
    const ViewPoint start = v.GetScroll();
    EXPECT_TRUE(v.DragBy(10, 20)); // mouse right and down
    EXPECT_EQ(v.GetScroll(), (ViewPoint{start.x - 10, start.y + 20}));
    v.DragBy(-100000, -100000);
    EXPECT_EQ(v.GetScroll(), (ViewPoint{1999, 0}));
    EXPECT_EQ(v.GetShownOrigin(), (ViewPoint{2000 - 800, 0}));
    v.DragBy(100000, 100000);
    EXPECT_EQ(v.GetScroll(), (ViewPoint{0, 1499}));
    EXPECT_EQ(v.GetShownOrigin(), (ViewPoint{0, 1500 - 600}));
    EXPECT_FALSE(v.DragBy(1, 1)); // already at both ends

    // Only wider: the vertical direction is not scrolled.
    CViewState w = Opened(1600, 300, 800, 600);
    w.ActualSize();
    w.DragBy(0, 500);
    EXPECT_EQ(w.GetScroll().y, 0);

    // A reduced view does not pan.
    CViewState r = Opened(4000, 3000, 800, 600);
    EXPECT_FALSE(r.DragBy(50, 50));
}

TEST(ViewKeys, ArrowStepDependsOnTheZoom) {
    CViewState v = Opened(3000, 3000, 800, 600);
    const struct {
        int index;
        int step;
    } cases[] = {{10, 4}, {11, 8}, {18, 36}, {19, 15}, {20, 16}, {28, 28}, {29, 20}};
    for (const auto& c : cases) {
        v.SetZoomIndex(c.index);
        v.ApplyZoom(v.GetZoomStep(c.index));
        const float z = v.GetZoom();
        const int want = z < 10 ? int(z * 4) : (z < 20 ? int(z * 1.5) : int(z));
        ASSERT_EQ(want, c.step);
        EXPECT_EQ(v.ArrowStep(), c.step) << "zoom " << z;
    }
    // A picture that fits is not moved.
    CViewState s = Opened(300, 200, 800, 600);
    EXPECT_EQ(s.ArrowStep(), 0);
    EXPECT_FALSE(s.ArrowKey(EArrowKey::kLeft));
}

TEST(ViewKeys, ArrowsMoveTheOffsetAndClamp) {
    CViewState v = Opened(3000, 3000, 800, 600);
    v.ActualSize();
    const ViewPoint p = v.GetScroll();
    const int s = v.ArrowStep();
    v.ArrowKey(EArrowKey::kLeft);
    EXPECT_EQ(v.GetScroll(), (ViewPoint{p.x - s, p.y}));
    v.ArrowKey(EArrowKey::kUp);
    EXPECT_EQ(v.GetScroll(), (ViewPoint{p.x - s, p.y + s}));
    v.ArrowKey(EArrowKey::kRight);
    v.ArrowKey(EArrowKey::kDown);
    EXPECT_EQ(v.GetScroll(), p);
    for (int i = 0; i < 1000; ++i)
        v.ArrowKey(EArrowKey::kRight);
    EXPECT_EQ(v.GetScroll().x, 2999);
    for (int i = 0; i < 1000; ++i)
        v.ArrowKey(EArrowKey::kDown);
    EXPECT_EQ(v.GetScroll().y, 0);
}

} // namespace
