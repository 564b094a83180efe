#include "thumbs/ListPaint.h"

#include "platform/FileOps.h"
#include "thumbs/ThumbCache.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

// A canvas with a guard band of known pixels on every side, so that a write
// outside the client area shows up.
class Canvas {
public:
    static constexpr int kGuard = 8;
    static constexpr std::uint32_t kGuardPixel = 0x12345678;
    Canvas(int w, int h)
        : m_w(w), m_h(h), m_stride(w + 2 * kGuard),
          m_bits(std::size_t(m_stride) * (h + 2 * kGuard), kGuardPixel) {}
    ListCanvas View() {
        return {m_bits.data() + std::size_t(kGuard) * m_stride + kGuard, m_w, m_h, m_stride};
    }
    std::uint32_t At(int x, int y) const {
        return m_bits[std::size_t(y + kGuard) * m_stride + x + kGuard];
    }
    bool GuardIntact() const {
        for (int y = -kGuard; y < m_h + kGuard; ++y)
            for (int x = -kGuard; x < m_w + kGuard; ++x)
                if ((x < 0 || y < 0 || x >= m_w || y >= m_h) && At(x, y) != kGuardPixel)
                    return false;
        return true;
    }

private:
    int m_w, m_h, m_stride;
    std::vector<std::uint32_t> m_bits;
};

std::uint32_t Px(int r, int g, int b) {
    return 0xff000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

// A 32 x 32 icon: opaque red in its top half, transparent below.
std::vector<std::uint32_t> HalfIcon() {
    std::vector<std::uint32_t> icon(32 * 32, 0);
    for (int i = 0; i < 32 * 16; ++i)
        icon[i] = 0xffff0000u;
    return icon;
}

class ListPaintTest : public ::testing::Test {
protected:
    TempDir dir;
    ProgramFolderGuard guard{dir.Path()};
    std::vector<std::string> paths;
    CItemStates states;
    std::vector<std::uint32_t> icon = HalfIcon();

    // A picture file with its cache file written from a w x h picture of
    // distinct pixels.
    std::string Viewed(const std::string& name, int w, int h) {
        const std::string p = dir.File(name);
        WriteFileAtomically(p, "picture " + name);
        CImageBuffer img;
        EXPECT_TRUE(img.Allocate(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.SetPixelRgb(x, y, std::uint8_t(x * 3), std::uint8_t(y * 3), 200);
        EXPECT_TRUE(WriteThumbnail(img, p));
        return p;
    }
    std::string NeverViewed(const std::string& name) {
        const std::string p = dir.File(name);
        WriteFileAtomically(p, "picture " + name);
        return p;
    }
    std::vector<ListCellText> Paint(Canvas& c, const CListLayout& layout) {
        ListPaintInput in;
        in.layout = &layout;
        in.pathOf = [this](int i) {
            return i >= 0 && i < int(paths.size()) ? paths[std::size_t(i)] : std::string();
        };
        in.states = &states;
        in.colors.wndBack = RGB(1, 2, 3);
        in.colors.tileBack = RGB(40, 50, 60);
        in.colors.frame = RGB(0, 123, 188);
        in.colors.selFrame = RGB(128, 128, 128);
        in.thumbFolder = GetThumbFolder();
        in.captionCharWidth = 6;
        in.badgeCharWidth = 5;
        in.icon = icon.data();
        ListCanvas v = c.View();
        return PaintList(v, in);
    }
};

TEST_F(ListPaintTest, ThumbnailOneToOneCentredWithShadowAndFrame) {
    paths = {Viewed("wide.jpg", 800, 600)}; // a 58 x 44 thumbnail
    states.Reset(1);
    Canvas c(300, 200);
    auto texts = Paint(c, CListLayout(1, 300, 200));
    std::optional<CThumbnail> t = ReadThumbnail(paths[0]);
    ASSERT_TRUE(t);
    ASSERT_EQ(t->width, 58);
    ASSERT_EQ(t->height, 44);
    const int x = (70 - 58) / 2, y = (60 - 44) / 2;
    // Every pixel of the block one to one, the block's first row at the bottom.
    for (int r = 0; r < t->height; ++r)
        for (int col = 0; col < t->width; ++col) {
            const std::uint8_t* p = t->bits.data() + std::size_t(t->Stride()) * r + 3 * col;
            ASSERT_EQ(c.At(x + col, y + t->height - 1 - r), Px(p[2], p[1], p[0]))
                << col << "," << r;
        }
    // The box around it in the tile colour, the shadow below and right.
    EXPECT_EQ(c.At(x - 1, y), Px(40, 50, 60));
    EXPECT_EQ(c.At(x + 10, y + 44), Px(162, 162, 162));
    EXPECT_EQ(c.At(x + 10, y + 45), Px(162, 162, 162));
    EXPECT_EQ(c.At(x + 58, y + 5), Px(162, 162, 162));
    EXPECT_EQ(c.At(x, y + 44), Px(40, 50, 60)); // the shadow starts one pixel in
    // The frame through both corners; the background outside the cell's box.
    EXPECT_EQ(c.At(0, 0), Px(0, 123, 188));
    EXPECT_EQ(c.At(70, 60), Px(0, 123, 188));
    EXPECT_EQ(c.At(71, 30), Px(1, 2, 3));
    EXPECT_EQ(c.At(30, 62), Px(1, 2, 3));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_FALSE(texts[0].placeholder);
    EXPECT_EQ(texts[0].caption, "wide");
    EXPECT_EQ(texts[0].captionRect, (ListRect{1, 65, 69, 85}));
}

TEST_F(ListPaintTest, PlaceholderForMissingAndDamagedCacheFiles) {
    paths = {NeverViewed("a.jpg"), Viewed("b.png", 30, 20), NeverViewed("longname.tiff")};
    // A damaged cache file: its header promises more rows than it holds.
    std::string bytes(8, '\0');
    bytes[0] = 60;
    bytes[4] = 60;
    WriteFileAtomically(GetThumbPath(paths[1]), bytes + std::string(100, 'x'));
    states.Reset(3);
    Canvas c(300, 200);
    auto texts = Paint(c, CListLayout(3, 300, 200));
    ASSERT_EQ(texts.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const int left = 84 * i;
        EXPECT_TRUE(texts[i].placeholder) << i;
        // The icon's opaque half at (left + 19, 14), its transparent half
        // showing the tile; the badge over it from left + 18.
        EXPECT_EQ(c.At(left + 19, 14), Px(255, 0, 0)) << i;
        EXPECT_EQ(c.At(left + 19, 14 + 20), Px(40, 50, 60)) << i;
        EXPECT_EQ(c.At(left + 18, 22), Px(12, 131, 156)) << i;
        EXPECT_EQ(c.At(left + 18, 33), Px(12, 131, 156)) << i;
        EXPECT_EQ(texts[i].badgeTextRect, (ListRect{left + 20, 22, left + 50, 37}));
    }
    EXPECT_EQ(texts[0].badge, "JPG");
    EXPECT_EQ(texts[2].badge, "TIFF");
    // The badge is 4 pixels plus one character width (5) per byte wide.
    EXPECT_EQ(c.At(22 + 3 * 5 - 1, 25), Px(12, 131, 156));
    EXPECT_NE(c.At(22 + 3 * 5, 25), Px(12, 131, 156));
    EXPECT_EQ(c.At(2 * 84 + 22 + 4 * 5 - 1, 25), Px(12, 131, 156));
    // m = 68 / 6 = 11: "longname" is whole.
    EXPECT_EQ(texts[2].caption, "longname");
}

TEST_F(ListPaintTest, SelectedFramesAndTheStopAfterTheBottomEdge) {
    for (int i = 0; i < 40; ++i)
        paths.push_back(NeverViewed("p" + std::to_string(i) + ".jpg"));
    states.Reset(40);
    states.Set(4, CItemStates::kSelected);
    // 3 columns; client 100 high: rows 0 and 1 start above the edge, the
    // first cell of row 2 is drawn too (and clipped), then painting stops.
    Canvas c(260, 100);
    auto texts = Paint(c, CListLayout(40, 260, 100));
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts.back().index, 6);
    EXPECT_EQ(c.At(84, 80), Px(128, 128, 128)); // cell 4: column 1, row 1
    EXPECT_EQ(c.At(0, 80), Px(0, 123, 188));
    EXPECT_TRUE(c.GuardIntact());

    // Scrolled by two rows the first cell shows file 6.
    Canvas s(260, 100);
    texts = Paint(s, CListLayout(40, 260, 100, 2));
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().index, 6);
    EXPECT_EQ(texts.front().caption, "p6");
    EXPECT_TRUE(s.GuardIntact());
}

TEST_F(ListPaintTest, EmptyListAndCellsCutAtEveryEdgeStayInsideTheCanvas) {
    Canvas empty(120, 90);
    EXPECT_TRUE(Paint(empty, CListLayout(0, 120, 90)).empty());
    EXPECT_EQ(empty.At(60, 45), Px(1, 2, 3));
    EXPECT_EQ(empty.At(119, 89), Px(1, 2, 3));

    paths = {Viewed("a.jpg", 100, 100), Viewed("b.jpg", 1, 1), NeverViewed("c.gif")};
    states.Reset(3);
    // Narrower than one cell and lower than one box: everything is clipped.
    Canvas small(50, 30);
    auto texts = Paint(small, CListLayout(3, 50, 30));
    EXPECT_EQ(texts.size(), 2u); // the second starts below the edge and ends it
    EXPECT_TRUE(small.GuardIntact());
    Canvas tall(50, 400);
    texts = Paint(tall, CListLayout(3, 50, 400));
    EXPECT_EQ(texts.size(), 3u);
    EXPECT_TRUE(tall.GuardIntact());
}

} // namespace

namespace {

TEST_F(ListPaintTest, NamesAndReadsAgreeWithTheCacheItself) {
    // The list's own lookups give the cache's names and thumbnails.
    const std::string a = Viewed("cat.01.jpg", 100, 50);
    std::filesystem::create_directory(dir.File("sub.dir"));
    std::filesystem::create_symlink(a, dir.File("link.jpg"));
    for (const std::string& p : {a, dir.File("missing.png"), dir.File("sub.dir"),
                                 dir.File("link.jpg"), std::string("noslash.jpg")})
        EXPECT_EQ(ListThumbName(p), GetThumbName(p)) << p;

    const std::string good = GetThumbPath(a);
    std::optional<CThumbnail> mine = ListReadThumbnail(good), theirs = ReadThumbnailFile(good);
    ASSERT_TRUE(mine && theirs);
    EXPECT_EQ(mine->width, theirs->width);
    EXPECT_EQ(mine->bits, theirs->bits);
    // A file longer or shorter than its rows, a bad header, an empty file and
    // a folder are nothing.
    const std::string bytes = ReadWholeFile(good).value();
    const std::pair<const char*, std::string> files[] = {
        {"long.xux", bytes + std::string(20000, 'z')},
        {"short.xux", bytes.substr(0, bytes.size() - 1)},
        {"wide.xux", std::string("\x3d\0\0\0\x01\0\0\0", 8) + std::string(400, 'q')},
        {"empty.xux", ""},
    };
    for (const auto& [name, content] : files) {
        WriteFileAtomically(dir.File(name), content);
        EXPECT_EQ(ListReadThumbnail(dir.File(name)).has_value(),
                  ReadThumbnailFile(dir.File(name)).has_value())
            << name;
    }
    EXPECT_FALSE(ListReadThumbnail(dir.File("long.xux")));
    EXPECT_FALSE(ListReadThumbnail(dir.File("short.xux")));
    EXPECT_FALSE(ListReadThumbnail(dir.File("sub.dir")));
}

} // namespace

namespace {

TEST_F(ListPaintTest, APictureWhoseCacheNameIsTooLongShowsThePlaceholder) {
    // 250 bytes of name plus the stamp exceed the file system's 255.
    const std::string p = dir.File(std::string(246, 'n') + ".jpg");
    WriteFileAtomically(p, "picture");
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(80, 60));
    EXPECT_FALSE(WriteThumbnail(img, p));
    paths = {p};
    states.Reset(1);
    Canvas c(200, 100);
    auto texts = Paint(c, CListLayout(1, 200, 100));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].placeholder);
    EXPECT_EQ(c.At(18, 22), Px(12, 131, 156));
}

} // namespace
