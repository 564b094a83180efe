#include "app/AutoSave.h"
#include "image/Codec.h"
#include "image/Selection.h"

#include <gtest/gtest.h>

namespace {

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
