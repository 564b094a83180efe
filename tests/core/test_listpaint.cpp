#include "thumbs/ListGeometry.h"
#include "thumbs/ListPaint.h"
#include "app/StripLogic.h"

#include "Pixels.h"
#include "TempDir.h"
#include "platform/FileOps.h"
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>

namespace {

// ---------------------------------------------------------------------------
// The geometry of the list

TEST(ListGeometry, ColumnsRowsAndScrollRange) {
    // Width, file count, then columns, rows and the largest top row.
    const std::pair<std::vector<int>, std::vector<int>> cases[] = {
        {{0, 5}, {1, 5, 3}},        {{83, 2}, {1, 2, 0}},     {{167, 5}, {1, 5, 3}},
        {{168, 5}, {2, 3, 1}},      {{1000, 12}, {11, 2, 0}}, {{1000, 11}, {11, 1, 0}},
        {{1000, 100}, {11, 10, 8}}, {{1000, 0}, {11, 0, 0}}};
    for (const auto& [in, out] : cases) {
        CListLayout l(in[1], in[0], 600);
        EXPECT_EQ((std::vector{l.Columns(), l.Rows(), l.MaxTopRow()}), out)
            << in[0] << " " << in[1];
        EXPECT_EQ(std::make_pair(l.ClampTopRow(1000), l.ClampTopRow(-5)),
                  std::make_pair(l.MaxTopRow(), 0));
    }
    // 10 columns, 35 files: the top row must lie below 35 / 10.
    EXPECT_EQ(CListLayout(35, 840, 400, 2).FirstVisible() +
                  CListLayout(35, 840, 400, 3).FirstVisible() +
                  CListLayout(10, 840, 400, 1).FirstVisible(),
              20);
    EXPECT_EQ(CListLayout(35, 840, 400, 2).CaptionRect(33), (ListRect{253, 145, 321, 165}));
}

TEST(ListGeometry, RubberBandSelectsOverlappedPictureBoxes) {
    // Two rectangles overlap when they share an interior pixel.
    EXPECT_TRUE(RectsOverlap({10, 10, 80, 70}, {79, 69, 90, 90}));
    EXPECT_FALSE(RectsOverlap({10, 10, 80, 70}, {80, 10, 90, 70}) ||
                 RectsOverlap({10, 10, 80, 70}, {10, 70, 80, 90}));
    CListLayout l(40, 4 * 84, 200, 0); // 4 columns, rows 0 ... 2 visible
    // From inside box 0 down into the caption gap of row 1, drawn either way.
    EXPECT_EQ(l.FilesInBand({30, 30, 100, 145}), (std::vector<int>{0, 1, 4, 5}));
    EXPECT_EQ(l.FilesInBand({100, 145, 30, 30}), (std::vector<int>{0, 1, 4, 5}));
    EXPECT_TRUE(l.FilesInBand({30, 30, 40, 145}).empty()); // 10 pixels wide: a click
    EXPECT_EQ(l.FilesInBand({30, 30, 41, 145}), (std::vector<int>{0, 4}));
    // A band reaching below the window ends with the first cell at its bottom
    // (file 12 at the top of row 3, y = 240).
    const std::vector<int> deep = l.FilesInBand({0, 0, 400, 2000});
    EXPECT_TRUE(deep.size() == 13u && deep.back() == 12);
    EXPECT_EQ(CListLayout(40, 4 * 84, 200, 2).FilesInBand({0, 0, 20, 20}), std::vector<int>{8});
}

TEST(ListGeometry, CaptionsBadgesAndItemStates) {
    // Up to m - 1 columns stay whole, a wide character counting as two; a
    // cut never splits a character. m = 11 for a 6-pixel face.
    EXPECT_EQ(CaptionLimit(6), 11);
    for (auto [title, m, caption] :
         {std::tuple{"abcde", 6, "abcde"},
          {"abcdef", 6, "abcde."},
          {"风景", 6, "风景"},
          {"ab风景", 6, "ab风."},
          {"春天的风景", 11, "春天的风景"},
          {"春天的风景照片", 11, "春天的风景."},
          {"IMG春天的风景", 11, "IMG春天的."},
          {"\xF0\x9F\x8C\xB8花abcdefg", 11, "\xF0\x9F\x8C\xB8花abcdef."}})
        EXPECT_EQ(CutCaption(title, m), caption) << title;
    EXPECT_EQ(ListTitleOf("/p.d/cat.01.jpg") + "|" + BadgeTextOf("/p/a.JpEg") + "|" +
                  BadgeTextOf("/p.d/noext"),
              "cat.01|JPEG|");

    // Writes beyond the table are ignored.
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

// ---------------------------------------------------------------------------
// Painting

std::uint32_t Px(int r, int g, int b) {
    return ListPixelOf(RGB(r, g, b));
}

class ListPaintTest : public ::testing::Test {
protected:
    TempDir dir;
    ProgramFolderGuard guard{dir.Path()};
    std::vector<std::string> paths;
    CItemStates states;
    std::vector<std::uint32_t> icon = std::vector<std::uint32_t>(32 * 32, 0);

    // A picture file, with its cache file written from a w x h picture of
    // distinct pixels unless w is 0.
    std::string Picture(const std::string& name, int w = 0, int h = 0) {
        dir.Write(name, "picture " + name);
        EXPECT_TRUE(!w || WriteThumbnail(Coded(w, h), dir.File(name)));
        return dir.File(name);
    }
    std::vector<ListCellText> Paint(PixelBlock& c, const CListLayout& layout) {
        // The icon: opaque red in its top half, transparent below.
        std::fill(icon.begin(), icon.begin() + 32 * 16, 0xffff0000u);
        ListPaintInput in;
        in.layout = &layout;
        in.pathOf = [this](int i) {
            return i >= 0 && i < int(paths.size()) ? paths[i] : std::string();
        };
        in.states = &states;
        in.colors.wndBack = RGB(1, 2, 3);
        in.colors.tileBack = RGB(40, 50, 60);
        in.colors.frame = RGB(0, 123, 188);
        in.colors.selFrame = RGB(128, 128, 128);
        in.thumbFolder = GetThumbFolder();
        in.icon = icon.data();
        ListCanvas v = c.Canvas();
        return PaintList(v, in);
    }
};

TEST_F(ListPaintTest, ThumbnailOneToOneCentredWithShadowAndFrame) {
    paths = {Picture("wide.jpg", 800, 600)}; // a 58 x 44 thumbnail
    states.Reset(1);
    PixelBlock c(300, 200);
    auto texts = Paint(c, CListLayout(1, 300, 200));
    std::optional<CThumbnail> t = ReadThumbnail(paths[0]);
    ASSERT_TRUE(t && t->width == 58 && t->height == 44);
    const int x = (70 - 58) / 2, y = (60 - 44) / 2;
    // Every pixel of the block one to one, the block's first row at the bottom.
    for (int r = 0; r < t->height; ++r)
        for (int col = 0; col < t->width; ++col) {
            const std::uint8_t* p = t->bits.data() + std::size_t(t->Stride()) * r + 3 * col;
            ASSERT_EQ(c.At(x + col, y + t->height - 1 - r), Px(p[2], p[1], p[0]))
                << col << "," << r;
        }
    // The box round it in the tile colour, the shadow below and right
    // starting one pixel in, the frame through both corners and the
    // background outside the cell's box.
    EXPECT_EQ(
        (std::vector{c.At(x - 1, y), c.At(x + 10, y + 44), c.At(x + 10, y + 45),
                     c.At(x + 58, y + 5), c.At(x, y + 44), c.At(0, 0), c.At(70, 60), c.At(71, 30),
                     c.At(30, 62)}),
        (std::vector{Px(40, 50, 60), Px(162, 162, 162), Px(162, 162, 162), Px(162, 162, 162),
                     Px(40, 50, 60), Px(0, 123, 188), Px(0, 123, 188), Px(1, 2, 3), Px(1, 2, 3)}));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(!texts[0].placeholder && texts[0].caption == "wide");
    EXPECT_EQ(texts[0].captionRect, (ListRect{1, 65, 69, 85}));
}

TEST_F(ListPaintTest, PlaceholderForMissingDamagedAndUnwritableCacheFiles) {
    // No cache file, a damaged one (its header promises more rows than it
    // holds), and a name too long for a cache file beside it.
    paths = {Picture("a.jpg"), Picture("b.png", 30, 20), Picture(std::string(246, 'n') + ".jpg")};
    WriteFileAtomically(GetThumbPath(paths[1]), std::string("\x3c\0\0\0\x3c\0\0\0xxxx", 12));
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(80, 60));
    EXPECT_FALSE(WriteThumbnail(img, paths[2]));
    states.Reset(3);
    PixelBlock c(400, 200);
    auto texts = Paint(c, CListLayout(3, 400, 200));
    ASSERT_EQ(texts.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        // The icon's opaque half at (left + 19, 14), its transparent half
        // showing the tile; the badge over it from left + 18.
        const int left = 84 * i;
        EXPECT_TRUE(texts[i].placeholder) << i;
        EXPECT_EQ((std::vector{c.At(left + 19, 14), c.At(left + 19, 34), c.At(left + 18, 22)}),
                  (std::vector{Px(255, 0, 0), Px(40, 50, 60), Px(12, 131, 156)}));
        EXPECT_EQ(texts[i].badgeTextRect, (ListRect{left + 20, 22, left + 50, 37}));
    }
    EXPECT_EQ(texts[0].badge + texts[1].badge, "JPGPNG");
}

TEST_F(ListPaintTest, SelectedFramesScrollingAndCellsCutAtEveryEdge) {
    for (int i = 0; i < 40; ++i)
        paths.push_back(Picture(std::to_string(i) + ".jpg"));
    states.Reset(40);
    states.Set(4, CItemStates::kSelected);
    // 3 columns; client 100 high: rows 0 and 1 start above the edge, the
    // first cell of row 2 is drawn too (and clipped), then painting stops.
    PixelBlock c(260, 100);
    auto texts = Paint(c, CListLayout(40, 260, 100));
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts.back().index, 6);
    EXPECT_EQ(c.At(84, 80), Px(128, 128, 128)); // cell 4: column 1, row 1
    EXPECT_EQ(c.At(0, 80), Px(0, 123, 188));
    EXPECT_TRUE(c.GuardIntact());
    // Scrolled by two rows the first cell shows file 6.
    texts = Paint(c, CListLayout(40, 260, 100, 2));
    EXPECT_TRUE(texts.front().index == 6 && texts.front().caption == "6");
    // Narrower than one cell and lower than one box: everything is clipped;
    // the second cell starts below the edge and ends the painting.
    paths = {Picture("a.jpg", 100, 100), Picture("b.jpg", 1, 1), Picture("c.gif")};
    PixelBlock small(50, 30);
    texts = Paint(small, CListLayout(3, 50, 30));
    EXPECT_TRUE(texts.size() == 2u && !texts[0].placeholder); // a full 60 x 60 thumbnail
    EXPECT_TRUE(small.GuardIntact());
    PixelBlock empty(120, 90);
    EXPECT_TRUE(Paint(empty, CListLayout(0, 120, 90)).empty());
    EXPECT_EQ(empty.At(119, 89), Px(1, 2, 3));
}

// ---------------------------------------------------------------------------
// The bottom strip

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
    std::array<std::uint8_t, 3> Bytes() const {
        return {std::uint8_t(b), std::uint8_t(g), std::uint8_t(r)};
    }
};

Bgr PixelAt(const std::vector<std::uint8_t>& block, int width, int x, int row) {
    const std::uint8_t* p = &block[std::size_t((width * 3 + 3) / 4 * 4) * row + 3 * x];
    return {p[0], p[1], p[2]};
}

TEST(StripGeometry, SlotsAndClicks) {
    // Every slot that starts no further right than the right arrow; none
    // when the two arrows do not fit.
    EXPECT_EQ((std::vector{StripSlotCount(0), StripSlotCount(29), StripSlotCount(30),
                           StripSlotCount(89), StripSlotCount(90), StripSlotCount(1000)}),
              (std::vector{0, 0, 1, 1, 2, 17}));
    for (int x = 15; x < 985; ++x) {
        StripRect r = StripSlotRect(StripSlotFromPoint(x), 700);
        ASSERT_TRUE(x >= r.left && x < r.right && r.top == 634 && r.bottom == 700) << x;
    }
    EXPECT_EQ(
        (std::vector{StripHitTest(14, 1000), StripHitTest(15, 1000), StripHitTest(985, 1000)}),
        (std::vector{StripHit::LeftArrow, StripHit::Slot, StripHit::RightArrow}));
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
        // Back: n or one earlier; forward: n or one later, but the window
        // stays full and inside the list.
        auto range = [&](int first) { return StripRange{first, std::min(first + n, count)}; };
        for (int s = -1; s < count; ++s) {
            ASSERT_EQ(RecomputeStrip(count, 0, n, s, kStripPageBack), range(std::max(s - n, 0)));
            ASSERT_EQ(RecomputeStrip(count, 0, n, s, kStripPageForward),
                      range(std::max(std::min(s + n, count - n), 0)))
                << count << " " << s;
            ASSERT_EQ(StripStepBack(count, n, s), range(std::max(s - 1, 0)));
            ASSERT_EQ(StripStepForward(count, n, s), range(std::max(std::min(s + 1, count - n), 0)))
                << count << " " << s;
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
    // Thumbnails whose pixel (c, r) is blue c, green r, red 7: a 60 x 45 one
    // in slot 2 sits at rows 10 ... 54 (7 + 3 from the bottom), a 60 x 20 one
    // in the cut last slot at rows 23 ... 42 and only inside the strip; an
    // empty one draws nothing, none the grey ramp 160 ... 218.
    auto numbered = [](int w, int h) {
        CThumbnail t{w, h, std::vector<std::uint8_t>(std::size_t((w * 3 + 3) / 4 * 4) * h)};
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c)
                std::memcpy(&t.bits[std::size_t(t.Stride()) * r + 3 * c],
                            Bgr{c, r, 7}.Bytes().data(), 3);
        return t;
    };
    CThumbnail big = numbered(60, 45), cut = numbered(60, 20), empty;
    DrawStripSlot(block, width, 2, &big);
    DrawStripSlot(block, width, 16, &cut);
    DrawStripSlot(block, width, 5, &empty);
    DrawStripSlot(block, width, 7, nullptr);
    for (int row = 0; row < 66; ++row)
        for (int x = 0; x < width; ++x) {
            Bgr want = row == 2 || row == 64 || x % 60 == 0 ? Bgr{0x80, 0x80, 0x80}
                                                            : Bgr{0xE4, 0xE4, 0xEE};
            if (x >= 120 && x < 180 && row >= 10 && row <= 54)
                want = {x - 120, row - 10, 7};
            if (x >= 960 && row >= 23 && row <= 42)
                want = {x - 960, row - 23, 7};
            if (x >= 421 && x <= 479 && row >= 4 && row <= 62)
                want = {156 + row, 156 + row, 156 + row};
            ASSERT_EQ(PixelAt(block, width, x, row), want) << x << "," << row;
        }
}

} // namespace
