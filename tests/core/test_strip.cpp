#include "app/StripLogic.h"

#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

namespace {

// Slots counted one by one: every slot that starts no further right than the
// right arrow button (the last of them may show only part of itself, or
// nothing); none when the two buttons do not fit.
int SlotsByPixels(int cw) {
    if (cw < 30)
        return 0;
    int n = 0;
    while (15 + 60 * n <= cw - 15)
        ++n;
    return n;
}

} // namespace

TEST(StripGeometry, SlotsAndRectangles) {
    EXPECT_EQ(StripSlotCount(1000), 17);
    for (int cw = 0; cw < 700; ++cw)
        ASSERT_EQ(StripSlotCount(cw), SlotsByPixels(cw)) << cw;

    EXPECT_EQ(StripBandRect(1000, 700), (StripRect{0, 634, 1000, 700}));
    EXPECT_EQ(StripLeftArrowRect(1000, 700), (StripRect{0, 634, 15, 700}));
    EXPECT_EQ(StripRightArrowRect(1000, 700), (StripRect{985, 634, 1000, 700}));
    EXPECT_EQ(StripSlotRect(16, 700), (StripRect{975, 634, 1035, 700})); // cut off at 985
    EXPECT_EQ(StripHighlightRect(2, 700), (StripRect{135, 636, 195, 698}));

    for (int x = 15; x < 985; ++x) {
        int s = StripSlotFromPoint(x);
        StripRect r = StripSlotRect(s, 700);
        ASSERT_TRUE(x >= r.left && x < r.right) << x;
    }
    EXPECT_EQ(StripHitTest(14, 1000), StripHit::LeftArrow);
    EXPECT_EQ(StripHitTest(15, 1000), StripHit::Slot);
    EXPECT_EQ(StripHitTest(984, 1000), StripHit::Slot);
    EXPECT_EQ(StripHitTest(985, 1000), StripHit::RightArrow);
}

TEST(StripGeometry, ClicksOnTheFirstAndLastFullSlot) {
    // 1000 wide: slot 0 is 15..74; cw - 75 ... cw - 15 is 925..985.
    EXPECT_EQ(StripAfterSlotClick(15, 1000), StripFollowUp::StepBack);
    EXPECT_EQ(StripAfterSlotClick(74, 1000), StripFollowUp::StepBack);
    EXPECT_EQ(StripAfterSlotClick(75, 1000), StripFollowUp::Refresh);
    EXPECT_EQ(StripAfterSlotClick(924, 1000), StripFollowUp::Refresh);
    EXPECT_EQ(StripAfterSlotClick(925, 1000), StripFollowUp::StepForward);
    EXPECT_EQ(StripAfterSlotClick(984, 1000), StripFollowUp::StepForward);
    // So narrow that the two overlap: the first slot wins.
    EXPECT_EQ(StripAfterSlotClick(60, 120), StripFollowUp::StepBack);
}

TEST(StripRange, CentredOnTheCurrentPicture) {
    const int n = 5;
    EXPECT_EQ(RecomputeStrip(1, 0, n, 0, kStripCentre), std::nullopt);
    EXPECT_EQ(RecomputeStrip(0, 0, n, 0, kStripCentre), std::nullopt);
    for (int count : {2, 3, 5, 6, 20}) {
        for (int cur = 0; cur < count; ++cur) {
            auto r = RecomputeStrip(count, cur, n, 7, kStripCentre);
            ASSERT_TRUE(r);
            // Two pictures before the current one when there are two.
            int before = std::min(cur, n / 2);
            EXPECT_EQ(r->first, cur - before);
            EXPECT_EQ(r->end, std::min(cur - before + n, count));
            EXPECT_GE(cur, r->first);
            EXPECT_LT(cur, r->end);
        }
    }
    // Near the end the window is not pulled back: it holds fewer pictures.
    EXPECT_EQ(RecomputeStrip(20, 19, n, 0, kStripCentre), (StripRange{17, 20}));
    EXPECT_EQ(RecomputeStrip(20, 0, 4, 0, kStripCentre), (StripRange{0, 4}));
    EXPECT_EQ(RecomputeStrip(20, 10, 4, 0, kStripCentre), (StripRange{8, 12}));
}

TEST(StripRange, PagingBackAndForward) {
    const int count = 23, n = 5;
    // Page back from wherever the strip starts: n earlier, never before 0.
    for (int s = -1; s < count; ++s) {
        auto r = RecomputeStrip(count, 0, n, s, kStripPageBack);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->first, std::max(s - n, 0)) << s;
        EXPECT_EQ(r->end, std::min(r->first + n, count));
    }
    // Page forward: n later, but the window never runs past the end and is
    // full whenever the list can fill it.
    for (int s = -1; s < count; ++s) {
        auto r = RecomputeStrip(count, 0, n, s, kStripPageForward);
        ASSERT_TRUE(r);
        int want = std::min(s + n, count - n);
        EXPECT_EQ(r->first, std::max(want, 0)) << s;
        EXPECT_EQ(r->end, r->first + n);
        EXPECT_LE(r->end, count);
    }
    EXPECT_EQ(RecomputeStrip(count, 0, n, 18, kStripPageForward), (StripRange{18, 23}));
    // Fewer pictures than slots: everything, from 0.
    EXPECT_EQ(RecomputeStrip(3, 0, n, 0, kStripPageForward), (StripRange{0, 3}));
    EXPECT_EQ(RecomputeStrip(3, 0, n, 2, kStripPageBack), (StripRange{0, 3}));
}

TEST(StripRange, SteppingOnePicture) {
    const int count = 12, n = 5;
    for (int s = -1; s < count; ++s) {
        auto back = StripStepBack(count, n, s);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->first, std::max(s - 1, 0));
        EXPECT_EQ(back->end, std::min(back->first + n, count));

        auto fwd = StripStepForward(count, n, s);
        ASSERT_TRUE(fwd);
        EXPECT_EQ(fwd->first, std::min(std::max(s + 1, 0), count - n)) << s;
        EXPECT_EQ(fwd->end, fwd->first + n);
    }
    // At the end stepping forward stays put; at the start stepping back does.
    EXPECT_EQ(StripStepForward(count, n, 7), (StripRange{7, 12}));
    EXPECT_EQ(StripStepBack(count, n, 0), (StripRange{0, 5}));
    EXPECT_EQ(StripStepForward(3, n, 0), (StripRange{0, 3}));
    EXPECT_EQ(StripStepForward(1, n, 0), std::nullopt);
    EXPECT_EQ(StripStepBack(1, n, 0), std::nullopt);
}

TEST(StripRange, NoSlotsAndFilling) {
    // A pane too narrow for a strip offers no slot: every window is empty.
    EXPECT_EQ(RecomputeStrip(10, 4, 0, 0, kStripCentre), (StripRange{4, 4}));
    EXPECT_EQ(StripStepForward(10, 0, 3), (StripRange{4, 4}));
    EXPECT_EQ(FillStrip(4, 4, 10), std::vector<int>{});
    EXPECT_EQ(FillStrip(-2, 3, 10), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(FillStrip(8, 14, 10), (std::vector<int>{8, 9}));
}

namespace {

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

Bgr PixelAt(const std::vector<std::uint8_t>& block, int width, int x, int row) {
    const std::size_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint8_t* p = &block[stride * row + 3 * x];
    return {p[0], p[1], p[2]};
}

// A thumbnail whose pixel (c, r) is (c, r, 7) as blue, green, red.
CThumbnail NumberedThumb(int w, int h) {
    CThumbnail t;
    t.width = w;
    t.height = h;
    t.bits.assign(static_cast<std::size_t>((w * 3 + 3) / 4 * 4) * h, 0);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            std::uint8_t* p = &t.bits[static_cast<std::size_t>(t.Stride()) * r + 3 * c];
            p[0] = static_cast<std::uint8_t>(c);
            p[1] = static_cast<std::uint8_t>(r);
            p[2] = 7;
        }
    return t;
}

} // namespace

TEST(StripImage, BackgroundAndSeparators) {
    const int width = 1000 - 30;
    std::vector<std::uint8_t> block(StripBlockSize(width), 0x11);
    ASSERT_EQ(block.size(), std::size_t((width * 3 + 3) / 4 * 4) * 66);
    ClearStripBlock(block, width);
    for (int row = 0; row < 66; ++row)
        for (int x = 0; x < width; ++x) {
            bool separator = row == 2 || row == 64 || x % 60 == 0;
            Bgr want = separator ? Bgr{0x80, 0x80, 0x80} : Bgr{0xE4, 0xE4, 0xEE};
            ASSERT_EQ(PixelAt(block, width, x, row), want) << x << "," << row;
        }
    std::vector<std::uint8_t> wrong(10, 0x11);
    ClearStripBlock(wrong, width);
    EXPECT_EQ(wrong, std::vector<std::uint8_t>(10, 0x11));
}

TEST(StripImage, ThumbnailsSitCentredAboveTheBottomSeparator) {
    const int width = 1000 - 30; // 17 slots, the last one cut after 10 columns
    std::vector<std::uint8_t> block(StripBlockSize(width));
    ClearStripBlock(block, width);
    const std::vector<std::uint8_t> clear = block;

    CThumbnail t = NumberedThumb(60, 45);
    DrawStripSlot(block, width, 2, &t);
    int drawnRows = 0, lowest = 66, highest = -1;
    for (int row = 0; row < 66; ++row)
        for (int x = 0; x < width; ++x) {
            Bgr p = PixelAt(block, width, x, row);
            if (p.r != 7)
                continue;
            // Where did this pixel come from?
            ASSERT_EQ(p.b, x - 120);
            ASSERT_EQ(p.g, row - 10);
            lowest = std::min(lowest, row);
            highest = std::max(highest, row);
            drawnRows += x == 150;
        }
    EXPECT_EQ(lowest, 10); // 7 + 3 from the bottom
    EXPECT_EQ(highest, 54);
    EXPECT_EQ(drawnRows, 45);

    // The last slot keeps only what lies inside the strip.
    block = clear;
    CThumbnail narrow = NumberedThumb(60, 20);
    DrawStripSlot(block, width, 16, &narrow);
    // 60 x 20 in slot 16: columns 960 ... 1019, rows 23 ... 42; the strip ends at 970.
    for (int row = 0; row < 66; ++row)
        for (int x = 900; x < width; ++x) {
            Bgr want = PixelAt(clear, width, x, row);
            if (x >= 960 && row >= 23 && row < 43)
                want = {x - 960, row - 23, 7};
            ASSERT_EQ(PixelAt(block, width, x, row), want) << x << "," << row;
        }

    // An empty thumbnail draws nothing.
    block = clear;
    CThumbnail empty;
    DrawStripSlot(block, width, 3, &empty);
    EXPECT_EQ(block, clear);
}

TEST(StripImage, PlaceholderRamp) {
    const int width = 130; // slots 0, 1 and the first 10 columns of slot 2
    std::vector<std::uint8_t> block(StripBlockSize(width));
    ClearStripBlock(block, width);
    const std::vector<std::uint8_t> clear = block;
    DrawStripSlot(block, width, 2, nullptr);
    for (int row = 0; row < 66; ++row)
        for (int x = 0; x < width; ++x) {
            bool ramp = row >= 4 && row <= 62 && x >= 121 && x <= 179;
            Bgr want = ramp ? Bgr{156 + row, 156 + row, 156 + row} : PixelAt(clear, width, x, row);
            ASSERT_EQ(PixelAt(block, width, x, row), want) << x << "," << row;
        }
    EXPECT_EQ(PixelAt(block, width, 125, 4).r, 160);
    EXPECT_EQ(PixelAt(block, width, 125, 62).r, 218);
}
