#include "thumbs/ListGeometry.h"

#include <gtest/gtest.h>

namespace {

// Do two rectangles share an interior pixel? (Touching edges share none.)
bool SharePixel(const ListRect& a, const ListRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

} // namespace

TEST(ListGeometry, ColumnsRowsAndScrollRange) {
    for (int width : {0, 83, 84, 167, 168, 1000})
        for (int count : {0, 1, 5, 11, 12, 13, 100}) {
            CListLayout l(count, width, 600);
            int cols = std::max(1, width / 84), rows = 0;
            while (rows * cols < count) // the fewest rows that hold every file
                ++rows;
            EXPECT_EQ(l.Columns(), cols);
            EXPECT_EQ(l.Rows(), rows);
            EXPECT_EQ(l.MaxTopRow(), rows >= 3 ? rows - 2 : 0) << width << " " << count;
            EXPECT_EQ(l.ClampTopRow(1000), l.MaxTopRow());
            EXPECT_EQ(l.ClampTopRow(-5), 0);
        }
    // 10 columns, 35 files: the top row must lie below 35 / 10.
    EXPECT_EQ(CListLayout(35, 840, 400, 2).FirstVisible(), 20);
    EXPECT_EQ(CListLayout(35, 840, 400, 3).FirstVisible(), 0);
    EXPECT_EQ(CListLayout(10, 840, 400, 1).FirstVisible(), 0);
    EXPECT_EQ(CListLayout(35, 840, 400, 2).CaptionRect(33), (ListRect{253, 145, 321, 165}));
}

TEST(ListGeometry, HitTestCoversWholeCellsOfListedFiles) {
    CListLayout l(23, 5 * 84 + 40, 500, 1); // 5 columns, a 40-pixel margin, scrolled one row
    ASSERT_EQ(l.FirstVisible(), 5);
    for (int y = 0; y < 500; y += 7)
        for (int x = 0; x < 5 * 84 + 40; x += 5) {
            // Cell k counted from the top-left: column x / 84, row y / 80.
            int k = (y / 80) * 5 + x / 84;
            int expected = x < 5 * 84 && 5 + k < 23 ? 5 + k : -1;
            ASSERT_EQ(l.HitTest(x, y), expected) << x << "," << y;
            if (expected >= 0) {
                ListRect c = l.CellRect(expected);
                ASSERT_TRUE(x >= c.left && x < c.right && y >= c.top && y < c.bottom);
            }
        }
    EXPECT_EQ(l.HitTest(-1, 10), -1);
    EXPECT_EQ(l.HitTest(10, -1), -1);
}

TEST(ListGeometry, RubberBandSelectsOverlappedPictureBoxes) {
    ListRect a{10, 10, 80, 70};
    for (int l = 0; l < 100; l += 3)
        for (int t = 0; t < 90; t += 4)
            for (int w : {1, 5, 30})
                for (int h : {1, 6, 40}) {
                    ListRect b{l, t, l + w, t + h};
                    ASSERT_EQ(RectsOverlap(a, b), SharePixel(a, b)) << l << "," << t;
                }

    CListLayout l(40, 4 * 84, 200, 0); // 4 columns, rows 0 ... 2 visible
    // From inside box 0 down into the caption gap of row 1, drawn either way.
    EXPECT_EQ(l.FilesInBand({30, 30, 100, 145}), (std::vector<int>{0, 1, 4, 5}));
    EXPECT_EQ(l.FilesInBand({100, 145, 30, 30}), (std::vector<int>{0, 1, 4, 5}));
    EXPECT_TRUE(l.FilesInBand({30, 30, 40, 145}).empty()); // 10 pixels wide: a click
    EXPECT_EQ(l.FilesInBand({30, 30, 41, 145}), (std::vector<int>{0, 4}));
    // A band reaching below the window ends with the first cell at its bottom
    // (file 12 at the top of row 3, y = 240).
    std::vector<int> deep = l.FilesInBand({0, 0, 400, 2000});
    EXPECT_EQ(deep.size(), 13u);
    EXPECT_EQ(deep.back(), 12);
    EXPECT_EQ(CListLayout(40, 4 * 84, 200, 2).FilesInBand({0, 0, 20, 20}), std::vector<int>{8});
}

TEST(ListGeometry, CaptionsAndBadges) {
    EXPECT_EQ(CaptionLimit(6), 11);
    EXPECT_EQ(CutCaption("abcde", 6), "abcde"); // m - 1 bytes: whole
    EXPECT_EQ(CutCaption("abcdef", 6), "abcde.");
    EXPECT_EQ(CutCaption("风景", 6), "风景");    // width 4: whole
    EXPECT_EQ(CutCaption("ab风景", 6), "ab风."); // width 5 would split the second character
    EXPECT_EQ(ListTitleOf("/p.d/cat.01.jpg"), "cat.01");
    EXPECT_EQ(BadgeTextOf("/p/cat.01.jpg"), "JPG");
    EXPECT_EQ(BadgeTextOf("/p/a.JpEg"), "JPEG");
    EXPECT_EQ(BadgeTextOf("/p.d/noext"), "");
}

TEST(ListGeometry, ItemStatesIgnoreWritesBeyondTheTable) {
    CItemStates s;
    s.Set(0, 2); // no table yet
    EXPECT_EQ(s.Get(0), 1);
    s.Reset(3);
    for (int i : {1, 3, -1, 1000000})
        s.Set(i, 2);
    EXPECT_EQ((std::vector{s.Get(0), s.Get(1), s.Get(2), s.Get(3), s.Get(-1)}),
              (std::vector{1, 2, 1, 1, 1}));
    s.SelectAll();
    EXPECT_TRUE(s.IsSelected(2) && !s.IsSelected(3));
    s.ClearMarks();
    EXPECT_FALSE(s.IsSelected(0) || s.IsSelected(1) || s.IsSelected(2));
}

TEST(ListGeometry, CaptionsCountWideCharactersAsTwo) {
    // m = 11 for a 6-pixel face: ten columns of text and the ".".
    for (auto [title, caption] :
         {std::pair{"春天的风景", "春天的风景"},                       // width 10: whole
          {"春天的风景照片", "春天的风景."},                           // 14: five characters fit
          {"IMG春天的风景", "IMG春天的."},                             // the next would make 11
          {"\xF0\x9F\x8C\xB8花abcdefg", "\xF0\x9F\x8C\xB8花abcdef."}}) // a 4-byte one too
        EXPECT_EQ(CutCaption(title, CaptionLimit(6)), caption) << title;
}
