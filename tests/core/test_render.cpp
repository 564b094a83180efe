#include "image/Render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr COLORREF kBack = RGB(12, 34, 56);

// A picture whose every pixel tells its own place: column x and row y (from
// the top) are spread over red, green and blue.
CImageBuffer Coded(int w, int h) {
    CImageBuffer b;
    EXPECT_TRUE(b.Allocate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelRgb(x, h - 1 - y, std::uint8_t(x & 255),
                          std::uint8_t((x >> 8) | ((y >> 8) << 4)), std::uint8_t(y & 255));
    return b;
}

struct Place {
    int x, y; // picture column, row from the top
    bool operator==(const Place&) const = default;
};

Place Decode(std::uint32_t v) {
    const int r = (v >> 16) & 255, g = (v >> 8) & 255, b = v & 255;
    return {r | ((g & 15) << 8), b | ((g >> 4) << 8)};
}

// A window-sized block with a few spare bytes at each row end, which must
// stay untouched.
struct Block {
    int w, h, stride;
    std::vector<std::uint8_t> bytes;
    Block(int w_, int h_)
        : w(w_), h(h_), stride(w_ * 4 + 8), bytes(std::size_t(stride) * h_, 0xAB) {}
    CViewDest Dest() { return {bytes.data(), w, h, stride, EPixelFormat::kXrgb32}; }
    std::uint32_t At(int x, int y) const {
        std::uint32_t v;
        std::memcpy(&v, bytes.data() + std::size_t(y) * stride + 4 * x, 4);
        return v;
    }
    bool PaddingIntact() const {
        for (int y = 0; y < h; ++y)
            for (int i = w * 4; i < stride; ++i)
                if (bytes[std::size_t(y) * stride + i] != 0xAB)
                    return false;
        return true;
    }
};

CViewState ViewAt(int w, int h, int cw, int ch, float z, int sx = 0, int sy = 0) {
    CViewState v;
    v.SetClientSize(cw, ch);
    v.OpenPicture(w, h, false);
    v.ApplyZoom(z);
    if (v.IsScrollable()) {
        const ViewPoint s = v.GetScroll();
        v.DragBy(s.x - sx, sy - s.y);
    }
    return v;
}

// Reference for zoom 1.0 and above, pixel by pixel: the zoomed picture is
// shown from the offset, kept so that the window is filled up to the last
// zoomed pixel; zoomed pixel p belongs to picture pixel p / zoom.
Place ExpectedEnlarged(const CViewState& v, int X, int Y) {
    const ViewRect& rc = v.GetDestRect();
    const ViewSize img = v.GetImageSize(), sc = v.GetScaledSize();
    const int z = int(v.GetZoom());
    const int ox = std::clamp(v.GetScroll().x, 0, std::max(0, sc.cx - rc.Width()));
    const int oy = std::clamp(v.GetScroll().y, 0, std::max(0, sc.cy - rc.Height()));
    const int zx = ox + (X - rc.left);
    const int zyUp = oy + (rc.bottom - 1 - Y);
    return {zx / z, img.cy - 1 - zyUp / z};
}

// Reference for a reduced view: single-precision running sums of
// 1 / zoom - 0.0001 from the left column and from the bottom row.
std::vector<int> RunningMap(int n, float z) {
    std::vector<int> m;
    float a = 0;
    for (int i = 0; i < n; ++i) {
        m.push_back(int(a));
        a += 1.0f / z - 0.0001f;
    }
    return m;
}

void ExpectFrame(const CImageBuffer& img, const CViewState& v, const char* what) {
    const ViewSize c = v.GetClientSize();
    Block b(c.cx, c.cy);
    CViewDest d = b.Dest();
    ASSERT_TRUE(RenderView(img, v, kBack, d)) << what;
    const ViewRect& rc = v.GetDestRect();
    std::vector<int> cols, rows;
    if (v.GetZoom() < 1.0f) {
        cols = RunningMap(rc.Width(), v.GetZoom());
        rows = RunningMap(rc.Height(), v.GetZoom());
    }
    int bad = 0;
    for (int Y = 0; Y < c.cy && bad < 5; ++Y)
        for (int X = 0; X < c.cx && bad < 5; ++X) {
            const std::uint32_t got = b.At(X, Y);
            if (!rc.Contains(X, Y)) {
                if (got != ColorToXrgb(kBack)) {
                    ADD_FAILURE() << what << ": margin pixel " << X << "," << Y;
                    ++bad;
                }
                continue;
            }
            Place want;
            if (v.GetZoom() < 1.0f)
                want = {cols[X - rc.left], img.Height() - 1 - rows[rc.bottom - 1 - Y]};
            else
                want = ExpectedEnlarged(v, X, Y);
            if (Decode(got) != want || (got >> 24) != 0xFF) {
                ADD_FAILURE() << what << ": pixel " << X << "," << Y << " shows " << Decode(got).x
                              << "," << Decode(got).y << " not " << want.x << "," << want.y;
                ++bad;
            }
        }
    EXPECT_TRUE(b.PaddingIntact()) << what;
}

TEST(RenderView, ActualSizeCopiesTheVisiblePartInEveryLayout) {
    // Widths that are multiples of 4 leave no row padding, so a read past
    // the last pixel leaves the picture's block (and the sanitizer sees it).
    const struct {
        int w, h;
    } sizes[] = {{400, 300}, {240, 100}, {120, 320}, {100, 60}, {200, 150}};
    for (const auto& s : sizes) {
        const CImageBuffer img = Coded(s.w, s.h);
        for (int pos = 0; pos < 3; ++pos) {
            // From the first pixel, the middle, and dragged to the last one.
            const int sx = pos == 0 ? 0 : (pos == 1 ? s.w / 3 : s.w - 1);
            const int sy = pos == 0 ? 0 : (pos == 1 ? s.h / 3 : s.h - 1);
            const CViewState v = ViewAt(s.w, s.h, 200, 150, 1.0f, sx, sy);
            ExpectFrame(img, v, "1.0");
        }
    }
}

TEST(RenderView, EnlargedViewsAtThePictureEdges) {
    const struct {
        int w, h;
        float z;
        int layout;
    } cases[] = {
        {120, 100, 2.0f, kLayoutBothOverflow}, {124, 40, 3.0f, kLayoutWider},
        {40, 96, 2.0f, kLayoutTaller},         {36, 28, 4.0f, kLayoutFits},
        {64, 48, 7.0f, kLayoutBothOverflow},   {28, 20, 20.0f, kLayoutBothOverflow},
    };
    for (const auto& c : cases) {
        const CImageBuffer img = Coded(c.w, c.h);
        for (int pos = 0; pos < 4; ++pos) {
            const int sw = int(c.w * c.z), sh = int(c.h * c.z);
            const int sx = pos == 0 ? 0 : (pos == 1 ? sw / 2 : (pos == 2 ? sw - 181 : sw - 1));
            const int sy = pos == 0 ? sh - 1 : (pos == 1 ? sh / 3 : (pos == 2 ? 1 : 0));
            const CViewState v = ViewAt(c.w, c.h, 180, 140, c.z, sx, sy);
            ASSERT_EQ(v.GetLayout(), c.layout);
            ExpectFrame(img, v, "enlarged");
        }
    }
}

TEST(RenderView, ReducedViewFollowsTheRunningSumsAndShowsEveryRow) {
    const CImageBuffer img = Coded(4000, 3000);
    CViewState v;
    v.SetClientSize(1000, 700);
    v.OpenPicture(4000, 3000, false);
    ExpectFrame(img, v, "fit");

    // All rows are shown: the top row of the view comes from the top of the
    // picture, the bottom row from the bottom.
    Block b(1000, 700);
    CViewDest d = b.Dest();
    RenderView(img, v, kBack, d);
    const ViewRect& rc = v.GetDestRect();
    const double span = 1.0 / v.GetZoom();
    EXPECT_LE(Decode(b.At(rc.left, rc.top)).y, 2 * span);
    EXPECT_EQ(Decode(b.At(rc.left, rc.bottom - 1)).y, 2999);
    EXPECT_GE(Decode(b.At(rc.right - 1, rc.top)).x, 4000 - 2 * span);

    for (int i = 1; i <= 9; ++i) {
        v.SetZoomIndex(i);
        v.ApplyZoom(v.GetZoomStep(i));
        ExpectFrame(img, v, "reduced step");
    }
}

TEST(RenderView, ReducedViewInAWindowSmallerThanThePicture) {
    // The window shrank after the fit: the reduced view fills the window
    // from the picture's lower left corner and reads nothing outside it.
    const CImageBuffer img = Coded(800, 600);
    CViewState v;
    v.SetClientSize(400, 300);
    v.OpenPicture(800, 600, false);
    v.ApplyZoom(0.9f);
    ASSERT_EQ(v.GetLayout(), kLayoutBothOverflow);
    ExpectFrame(img, v, "reduced overflowing");
}

TEST(RenderView, OddWidthsKeepRowPaddingOutOfTheView) {
    // 3 x width is not a multiple of 4: padding bytes follow each row.
    const CImageBuffer img = Coded(101, 77);
    ExpectFrame(img, ViewAt(101, 77, 90, 70, 1.0f, 100, 76), "padding 1.0");
    ExpectFrame(img, ViewAt(101, 77, 90, 70, 3.0f, 302, 0), "padding 3.0");
    ExpectFrame(img, ViewAt(101, 77, 90, 70, 0.5f), "padding 0.5");
}

TEST(RenderView, BlockSmallerThanTheWindowIsClipped) {
    const CImageBuffer img = Coded(400, 300);
    const CViewState v = ViewAt(400, 300, 200, 150, 2.0f, 123, 45);
    Block b(150, 100);
    CViewDest d = b.Dest();
    ASSERT_TRUE(RenderView(img, v, kBack, d));
    for (int Y = 0; Y < 100; ++Y)
        for (int X = 0; X < 150; ++X)
            ASSERT_EQ(Decode(b.At(X, Y)), ExpectedEnlarged(v, X, Y)) << X << "," << Y;
    EXPECT_TRUE(b.PaddingIntact());
}

TEST(RenderView, NothingToDrawFillsTheBackground) {
    const CImageBuffer img = Coded(64, 48);
    CViewState none;
    none.SetClientSize(50, 40);
    Block b(50, 40);
    CViewDest d = b.Dest();
    EXPECT_FALSE(RenderView(img, none, kBack, d));
    EXPECT_EQ(b.At(0, 0), ColorToXrgb(kBack));
    EXPECT_EQ(b.At(49, 39), ColorToXrgb(kBack));

    // A view made for another picture size must not be applied to this one.
    CViewState other = ViewAt(640, 480, 50, 40, 1.0f, 600, 0);
    EXPECT_FALSE(RenderView(img, other, kBack, d));
    EXPECT_EQ(b.At(25, 20), ColorToXrgb(kBack));
    EXPECT_TRUE(b.PaddingIntact());
}

TEST(RenderView, RendererReusedAcrossScrollsAndZooms) {
    // The cached column map must follow every change of offset and zoom.
    const CImageBuffer img = Coded(160, 120);
    CViewState v = ViewAt(160, 120, 100, 80, 2.0f, 0, 0);
    CViewRenderer r;
    Block b(100, 80);
    CViewDest d = b.Dest();
    for (int step = 0; step < 6; ++step) {
        if (step == 3)
            v.ZoomIn();
        v.DragBy(-7, 5);
        ASSERT_TRUE(r.Render(img, v, kBack, d));
        for (int Y = 0; Y < 80; Y += 7)
            for (int X = 0; X < 100; X += 3)
                ASSERT_EQ(Decode(b.At(X, Y)), ExpectedEnlarged(v, X, Y)) << step;
    }
}

} // namespace
