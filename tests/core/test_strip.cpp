#include "app/StripLogic.h"

#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

namespace {

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

Bgr PixelAt(const std::vector<std::uint8_t>& block, int width, int x, int row) {
    const std::uint8_t* p = &block[std::size_t((width * 3 + 3) / 4 * 4) * row + 3 * x];
    return {p[0], p[1], p[2]};
}

} // namespace

TEST(StripGeometry, SlotsAndClicks) {
    EXPECT_EQ(StripSlotCount(1000), 17);
    for (int cw = 0; cw < 400; ++cw) {
        // Every slot that starts no further right than the right arrow; none
        // when the two arrows do not fit.
        int n = 0;
        while (cw >= 30 && 15 + 60 * n <= cw - 15)
            ++n;
        ASSERT_EQ(StripSlotCount(cw), n) << cw;
    }
    for (int x = 15; x < 985; ++x) {
        StripRect r = StripSlotRect(StripSlotFromPoint(x), 700);
        ASSERT_TRUE(x >= r.left && x < r.right && r.top == 634 && r.bottom == 700) << x;
    }
    EXPECT_EQ(StripHitTest(14, 1000), StripHit::LeftArrow);
    EXPECT_EQ(StripHitTest(15, 1000), StripHit::Slot);
    EXPECT_EQ(StripHitTest(985, 1000), StripHit::RightArrow);
    // 1000 wide: slot 0 is 15 ... 74; the last full slot cw - 75 ... cw - 15.
    EXPECT_EQ(StripAfterSlotClick(74, 1000), StripFollowUp::StepBack);
    EXPECT_EQ(StripAfterSlotClick(75, 1000), StripFollowUp::Refresh);
    EXPECT_EQ(StripAfterSlotClick(924, 1000), StripFollowUp::Refresh);
    EXPECT_EQ(StripAfterSlotClick(925, 1000), StripFollowUp::StepForward);
    EXPECT_EQ(StripAfterSlotClick(60, 120), StripFollowUp::StepBack); // overlap: slot 0 wins
}

TEST(StripRange, AllModesNearBothEnds) {
    const int n = 5;
    for (int count : {2, 3, 5, 6, 23}) {
        for (int cur = 0; cur < count; ++cur) {
            auto r = RecomputeStrip(count, cur, n, 7, kStripCentre);
            // Up to n / 2 pictures before the current one; not pulled back at the end.
            int first = std::max(cur - n / 2, 0);
            ASSERT_EQ(r, (StripRange{first, std::min(first + n, count)})) << count << " " << cur;
        }
        for (int s = -1; s < count; ++s) {
            auto back = RecomputeStrip(count, 0, n, s, kStripPageBack);
            ASSERT_EQ(back->first, std::max(s - n, 0));
            ASSERT_EQ(back->end, std::min(back->first + n, count));
            // Forward: n later, but the window stays full and inside the list.
            auto fwd = RecomputeStrip(count, 0, n, s, kStripPageForward);
            ASSERT_EQ(fwd->first, std::max(std::min(s + n, count - n), 0)) << count << " " << s;
            ASSERT_EQ(fwd->end, std::min(fwd->first + n, count));

            auto stepBack = StripStepBack(count, n, s);
            ASSERT_EQ(stepBack->first, std::max(s - 1, 0));
            ASSERT_EQ(stepBack->end, std::min(stepBack->first + n, count));
            auto stepFwd = StripStepForward(count, n, s);
            ASSERT_EQ(stepFwd->first, std::max(std::min(s + 1, count - n), 0)) << count << " " << s;
            ASSERT_EQ(stepFwd->end, std::min(stepFwd->first + n, count));
        }
    }
    for (int count : {0, 1}) {
        EXPECT_EQ(RecomputeStrip(count, 0, n, 0, kStripCentre), std::nullopt);
        EXPECT_EQ(StripStepBack(count, n, 0), std::nullopt);
        EXPECT_EQ(StripStepForward(count, n, 0), std::nullopt);
    }
    // No slots at all: an empty window.
    EXPECT_EQ(RecomputeStrip(10, 4, 0, 0, kStripCentre), (StripRange{4, 4}));
    EXPECT_EQ(FillStrip(-2, 3, 10), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(FillStrip(8, 14, 10), (std::vector<int>{8, 9}));
}

TEST(StripImage, BackgroundThumbnailsAndPlaceholder) {
    const int width = 1000 - 30; // 17 slots, the last one cut after 10 columns
    std::vector<std::uint8_t> block(StripBlockSize(width));
    ASSERT_EQ(block.size(), std::size_t((width * 3 + 3) / 4 * 4) * 66);
    ClearStripBlock(block, width);
    for (int row = 0; row < 66; ++row)
        for (int x = 0; x < width; ++x) {
            const Bgr want = row == 2 || row == 64 || x % 60 == 0 ? Bgr{0x80, 0x80, 0x80}
                                                                  : Bgr{0xE4, 0xE4, 0xEE};
            ASSERT_EQ(PixelAt(block, width, x, row), want);
        }
    const std::vector<std::uint8_t> clear = block;

    // Thumbnails whose pixel (c, r) is blue c, green r, red 7: a 60 x 45 one in
    // slot 2 sits at rows 10 ... 54 (7 + 3 from the bottom), a 60 x 20 one in
    // the cut last slot at rows 23 ... 42 and only inside the strip.
    auto numbered = [](int w, int h) {
        CThumbnail t;
        t.width = w;
        t.height = h;
        t.bits.resize(std::size_t(t.Stride()) * h);
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                std::uint8_t* p = &t.bits[std::size_t(t.Stride()) * r + 3 * c];
                p[0] = std::uint8_t(c), p[1] = std::uint8_t(r), p[2] = 7;
            }
        return t;
    };
    CThumbnail big = numbered(60, 45), cut = numbered(60, 20), empty;
    DrawStripSlot(block, width, 2, &big);
    DrawStripSlot(block, width, 16, &cut);
    DrawStripSlot(block, width, 5, &empty); // draws nothing
    DrawStripSlot(block, width, 7, nullptr);
    for (int row = 0; row < 66; ++row)
        for (int x = 0; x < width; ++x) {
            Bgr want = PixelAt(clear, width, x, row);
            if (x >= 120 && x < 180 && row >= 10 && row <= 54)
                want = {x - 120, row - 10, 7};
            if (x >= 960 && row >= 23 && row <= 42)
                want = {x - 960, row - 23, 7};
            if (x >= 421 && x <= 479 && row >= 4 && row <= 62) // ramp 160 ... 218
                want = {156 + row, 156 + row, 156 + row};
            ASSERT_EQ(PixelAt(block, width, x, row), want) << x << "," << row;
        }
}
