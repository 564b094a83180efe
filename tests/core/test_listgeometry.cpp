#include "thumbs/ListGeometry.h"

#include <gtest/gtest.h>

namespace {

// Brute-force overlap of two rectangles as sets of pixels: do they share an
// interior point? (Touching edges share none.)
bool SharePixel(const ListRect& a, const ListRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

} // namespace

TEST(ListGeometry, ColumnsRowsAndScrollRange) {
    for (int width : {0, 50, 83, 84, 167, 168, 1000}) {
        for (int count : {0, 1, 5, 11, 12, 13, 100}) {
            CListLayout l(count, width, 600);
            int cols = std::max(1, width / 84);
            EXPECT_EQ(l.Columns(), cols);
            // Rows: the smallest number of full rows that holds every file.
            int rows = 0;
            while (rows * cols < count)
                ++rows;
            EXPECT_EQ(l.Rows(), rows);
            EXPECT_EQ(l.MaxTopRow(), rows >= 3 ? rows - 2 : 0) << width << " " << count;
            EXPECT_EQ(l.ClampTopRow(-5), 0);
            EXPECT_EQ(l.ClampTopRow(1000), l.MaxTopRow());
        }
    }
}

TEST(ListGeometry, FirstVisibleFollowsTheTopRow) {
    // 10 columns, 35 files: rows 0..3, top rows 0..2.
    EXPECT_EQ(CListLayout(35, 840, 400, 2).FirstVisible(), 20);
    EXPECT_EQ(CListLayout(35, 840, 400, 3).FirstVisible(), 0); // 3 is not below 35 / 10
    EXPECT_EQ(CListLayout(35, 840, 400, -1).FirstVisible(), 0);
    EXPECT_EQ(CListLayout(10, 840, 400, 1).FirstVisible(), 0); // no more files than columns
    CListLayout l(35, 840, 400, 2);
    EXPECT_EQ(l.CellRect(20), (ListRect{0, 0, 84, 80}));
    EXPECT_EQ(l.CellRect(33), (ListRect{3 * 84, 80, 4 * 84, 160}));
    EXPECT_EQ(l.BoxRect(33), (ListRect{3 * 84, 80, 3 * 84 + 70, 140}));
    EXPECT_EQ(l.CaptionRect(33), (ListRect{3 * 84 + 1, 145, 3 * 84 + 69, 165}));
}

TEST(ListGeometry, HitTestCoversWholeCellsOfListedFiles) {
    CListLayout l(23, 5 * 84 + 40, 500, 1); // 5 columns, a 40-pixel margin on the right
    ASSERT_EQ(l.FirstVisible(), 5);
    for (int y = 0; y < 500; y += 7)
        for (int x = 0; x < 5 * 84 + 40; x += 5) {
            int expected = -1;
            // Which cell rectangle holds the point?
            for (int i = l.FirstVisible(); i < l.Count(); ++i) {
                ListRect c = l.CellRect(i);
                if (x >= c.left && x < c.right && y >= c.top && y < c.bottom)
                    expected = i;
            }
            ASSERT_EQ(l.HitTest(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(l.HitTest(-1, 10), -1);
    EXPECT_EQ(l.HitTest(10, -1), -1);
    EXPECT_EQ(CListLayout(0, 500, 500).HitTest(1, 1), -1);
}

TEST(ListGeometry, OverlapRuleExcludesTouchingEdges) {
    ListRect a{10, 10, 80, 70};
    for (int l = 0; l < 100; l += 3)
        for (int t = 0; t < 90; t += 4)
            for (int w : {0, 1, 5, 30})
                for (int h : {1, 6, 40}) {
                    ListRect b{l, t, l + w, t + h};
                    if (w == 0)
                        continue;
                    ASSERT_EQ(RectsOverlap(a, b), SharePixel(a, b)) << l << "," << t;
                    ASSERT_EQ(RectsOverlap(b, a), SharePixel(a, b));
                }
    EXPECT_FALSE(RectsOverlap(a, {80, 10, 90, 70}));
    EXPECT_TRUE(RectsOverlap(a, {79, 10, 90, 70}));
}

TEST(ListGeometry, BandSelectsOverlappedPictureBoxes) {
    CListLayout l(40, 4 * 84, 200, 0); // 4 columns, 200 pixels high: rows 0..2 visible
    // A band from the middle of cell 0's box down into the caption gap of row 1.
    ListRect band{30, 30, 100, 145};
    std::vector<int> expected;
    for (int i = 0; i < l.Count(); ++i) {
        if (SharePixel(l.BoxRect(i), band))
            expected.push_back(i);
    }
    EXPECT_EQ(l.FilesInBand(band), expected);
    EXPECT_EQ(expected, (std::vector<int>{0, 1, 4, 5}));
    // The same band drawn from its other corner.
    EXPECT_EQ(l.FilesInBand({100, 145, 30, 30}), expected);
    // Bands of 10 pixels or less are clicks.
    EXPECT_TRUE(l.FilesInBand({30, 30, 40, 145}).empty());
    EXPECT_EQ(l.FilesInBand({30, 30, 41, 145}), (std::vector<int>{0, 4}));
    // A band reaching below the window ends after the first cell at its bottom.
    std::vector<int> deep = l.FilesInBand({0, 0, 400, 2000});
    EXPECT_EQ(deep.front(), 0);
    EXPECT_EQ(deep.back(), 12); // row 3 starts at 240, below 200: its first cell ends it
    // Scrolled: cells are counted from the first visible one.
    CListLayout s(40, 4 * 84, 200, 2);
    EXPECT_EQ(s.FilesInBand({0, 0, 20, 20}), (std::vector<int>{8}));
}

TEST(ListGeometry, CaptionsAreCutByBytesOnCharacterBoundaries) {
    EXPECT_EQ(CaptionLimit(6), 11);
    EXPECT_EQ(CaptionLimit(0), 68);
    const int m = 6;
    EXPECT_EQ(CutCaption("abcde", m), "abcde");   // m - 1 bytes: whole
    EXPECT_EQ(CutCaption("abcdef", m), "abcde."); // m bytes: cut
    EXPECT_EQ(CutCaption("", m), "");
    // "风景" is 6 bytes; a cut to 5 bytes would split the second character.
    EXPECT_EQ(CutCaption("风景", m), "风.");
    EXPECT_EQ(CutCaption("a风景", m), "a风.");
    EXPECT_EQ(CutCaption("ab风景", 7), "ab风.");
    EXPECT_EQ(CutCaption("abc", 0), ".");
    // Whatever is cut, the kept part is a prefix of whole characters.
    std::string t = "照片2024年夏天的海边.jpg";
    for (int limit = 1; limit < 40; ++limit) {
        std::string c = CutCaption(t, limit);
        if (c == t)
            continue;
        ASSERT_EQ(c.back(), '.');
        std::string kept = c.substr(0, c.size() - 1);
        ASSERT_LE(static_cast<int>(kept.size()), limit - 1);
        ASSERT_EQ(t.compare(0, kept.size(), kept), 0);
        ASSERT_TRUE(kept.size() == t.size() ||
                    (static_cast<unsigned char>(t[kept.size()]) & 0xC0) != 0x80);
        ASSERT_GT(static_cast<int>(kept.size()), limit - 1 - 3); // at most one character given back
    }
}

TEST(ListGeometry, TitlesAndBadges) {
    EXPECT_EQ(ListTitleOf("/p/cat.01.jpg"), "cat.01");
    EXPECT_EQ(ListTitleOf("/p.d/noext"), "noext");
    EXPECT_EQ(BadgeTextOf("/p/cat.01.jpg"), "JPG");
    EXPECT_EQ(BadgeTextOf("/p/a.JpEg"), "JPEG");
    EXPECT_EQ(BadgeTextOf("/p.d/noext"), "");
    EXPECT_EQ(BadgeRight(84, "JPG", 5), 84 + 22 + 15);
    int x, y;
    ThumbOriginInBox({84, 80, 154, 140}, 58, 44, x, y);
    EXPECT_EQ(x, 84 + 6);
    EXPECT_EQ(y, 80 + 8);
    ThumbOriginInBox({0, 0, 70, 60}, 60, 60, x, y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 0);
}

TEST(ListGeometry, ItemStatesIgnoreWritesBeyondTheTable) {
    CItemStates s;
    EXPECT_EQ(s.Get(0), 1);
    s.Set(0, 2); // no table yet
    EXPECT_EQ(s.Get(0), 1);
    s.Reset(3);
    EXPECT_EQ(s.Count(), 3);
    s.Set(1, 2);
    s.Set(3, 2);
    s.Set(-1, 2);
    s.Set(1000000, 2);
    EXPECT_EQ(s.Get(1), 2);
    EXPECT_EQ(s.Get(3), 1);
    EXPECT_EQ(s.Get(-1), 1);
    s.SelectAll();
    EXPECT_TRUE(s.IsSelected(0) && s.IsSelected(2));
    EXPECT_FALSE(s.IsSelected(3));
    s.ClearMarks();
    EXPECT_EQ(s.Get(0) + s.Get(1) + s.Get(2), 3);
    s.Reset(-2);
    EXPECT_EQ(s.Count(), 0);
}
