#include "image/FloatingRow.h"

#include <gtest/gtest.h>

namespace {

TEST(FloatingRow, ButtonsSitAlongTheBottomCentreWithGaps) {
    CFloatingRow row;
    row.Layout(1000, 700);
    // c = 500; the row runs from y = 607 to 631.
    EXPECT_EQ(row.ButtonAt(500 - 102, 607), EFloatingButton::kZoomIn);
    EXPECT_EQ(row.ButtonAt(500 - 79, 630), EFloatingButton::kZoomIn);
    EXPECT_EQ(row.ButtonAt(500 - 78, 620), EFloatingButton::kNone); // the gap
    EXPECT_EQ(row.ButtonAt(500 - 68, 620), EFloatingButton::kZoomOut);
    EXPECT_EQ(row.ButtonAt(500 - 11, 620), EFloatingButton::kFit);
    EXPECT_EQ(row.ButtonAt(500, 620), EFloatingButton::kPrevious);
    EXPECT_EQ(row.ButtonAt(500 + 57, 620), EFloatingButton::kNext);
    EXPECT_EQ(row.ButtonAt(500 + 91, 620), EFloatingButton::kRotateRight);
    EXPECT_EQ(row.ButtonAt(500 + 92, 620), EFloatingButton::kNone);
    EXPECT_EQ(row.ButtonAt(500, 606), EFloatingButton::kNone);
    EXPECT_EQ(row.ButtonAt(500, 631), EFloatingButton::kNone);
    EXPECT_TRUE(row.InExit(976, 0));
    EXPECT_TRUE(row.InExit(999, 23));
    EXPECT_FALSE(row.InExit(975, 5));
    EXPECT_FALSE(row.InExit(990, 24));
    EXPECT_EQ(row.band, (ViewRect{0, 603, 1000, 634}));
}

} // namespace
