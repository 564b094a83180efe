#include "image/View.h"
#include "image/Zoom.h"

#include "app/AutoSave.h"
#include "image/Codec.h"
#include "image/Selection.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

CViewState Opened(int w, int h, int cw, int ch, bool actualSizeMode = false) {
    CViewState v;
    v.SetClientSize(cw, ch);
    v.OpenPicture(w, h, actualSizeMode);
    return v;
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

TEST(Selection, MapsToPicturePixelsAndZoomsToFillTheWindowFromItsTopLeftCorner) {
    // A 400 x 300 picture at half size, and 30 x 15 in 20 x 10 (1.5).
    const ViewRect part = SelectionToPicture({110, 60, 211, 161}, {100, 50, 300, 200}, {400, 300});
    EXPECT_EQ(part, (ViewRect{20, 20, 222, 222}));
    EXPECT_EQ(SelectionToPicture({1, 3, 4, 6}, {0, 0, 20, 10}, {30, 15}), (ViewRect{1, 4, 5, 8}));
    struct Case {
        ViewSize image;   // in a 1000 x 700 window
        ViewRect part;    // picture pixels
        int zoom;         // 10 pixels ask for 70 or 100 and get 19; 20 stays 20
        ViewPoint corner; // picture pixel shown at the window's top-left corner
    } cases[] = {
        {{300, 200}, {100, 50, 110, 60}, 19, {100, 50}}, // fits the window at actual size
        {{300, 200}, {100, 50, 135, 85}, 20, {100, 50}},
        // Near the far corner the view stops at the picture's edges: offsets
        // 5700 - 1000 and 3800 - 700, 4700 / 19 = 247.4 and 3100 / 19 = 163.2.
        {{300, 200}, {290, 190, 300, 200}, 19, {247, 163}},
        {{2400, 1800}, {0, 0, 2400, 10}, 1, {0, 0}}, // wider than the window
    };
    for (const Case& c : cases) {
        CViewState v;
        v.SetClientSize(1000, 700);
        v.OpenPicture(c.image.cx, c.image.cy, false);
        v.ApplyZoom(0.5f);
        ASSERT_EQ(v.ZoomToSelection(c.part), float(c.zoom));
        EXPECT_EQ(v.GetZoomIndex(), c.zoom + 9);
        const ViewPoint o = v.GetShownOrigin();
        const int top = v.GetScaledSize().cy - o.y - v.GetDestRect().Height();
        EXPECT_EQ((ViewPoint{o.x / c.zoom, top / c.zoom}), c.corner) << c.part.left;
    }
}

TEST(Selection, SaveFormatByExtensionInAnyCaseAndTheAutomaticSaveName) {
    EXPECT_EQ(SelectionSaveFormat("/p/a.JPG"), kFormatJpeg);
    EXPECT_EQ(SelectionSaveFormat("/p/a.bmp"), kFormatBmp);
    EXPECT_EQ(SelectionSaveFormat("/p.jpg/a"), 0);
    EXPECT_EQ(AutoSaveTarget("/p/sun.png"), "/p/sunback.jpg");
    EXPECT_EQ(AutoSaveTarget("/p.d/sun"), "/p.d/sunback.jpg");
    EXPECT_EQ(AutoSaveTarget(""), "");
}

} // namespace
