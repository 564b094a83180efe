#include "app/PrintLayout.h"

#include <gtest/gtest.h>

TEST(PrintLayout, PagesSlicesAndFooter) {
    // A4-like printable area (200 x 287 mm) at 600 dpi: 4724 x 6779 dots.
    struct Case {
        int w, h, screenDpi;
        int pages;
        PrintSlice last;
    } cases[] = {
        // 96 -> 600 dpi scales by 6.25; 1890 pixels are 2.5 pages wide: the
        // third page holds the remaining 1890 - 2 x 755.84 pixels.
        {1890, 300, 96, 3, {1511, 378, 2362, 1875}},
        // Narrower than the page: one page at the picture's own size.
        {500, 40, 96, 1, {0, 500, 3125, 250}},
        // Exactly two page widths at 600 dpi on both sides: no third page.
        {9448, 10, 600, 2, {4724, 4724, 4724, 10}},
    };
    for (const Case& c : cases) {
        PrintGeometry g = ComputePrintGeometry(c.w, 200, 287, 600, 600, c.screenDpi, c.screenDpi);
        EXPECT_EQ(g.pageW, 4724);
        EXPECT_EQ(g.pageH, 6779);
        EXPECT_DOUBLE_EQ(g.rx, 600.0 / c.screenDpi);
        EXPECT_DOUBLE_EQ(g.ry, g.rx);
        EXPECT_EQ(g.footerX, 4251);
        EXPECT_EQ(g.footerY, 6711);
        ASSERT_EQ(g.pages, c.pages) << c.w;
        PrintSlice last = PrintSliceFor(g, c.w, c.h, g.pages - 1);
        EXPECT_EQ(last.srcX, c.last.srcX) << c.w;
        EXPECT_EQ(last.srcW, c.last.srcW) << c.w;
        EXPECT_EQ(last.destW, c.last.destW) << c.w;
        EXPECT_EQ(last.destH, c.last.destH) << c.w;
        // The full pages before it lie side by side, one page wide each.
        for (int i = 0; i + 1 < g.pages; ++i) {
            PrintSlice s = PrintSliceFor(g, c.w, c.h, i);
            EXPECT_EQ(s.destW, g.pageW);
            EXPECT_EQ(s.srcX, int(i * g.pageW / g.rx));
            EXPECT_EQ(s.srcW, int(g.pageW / g.rx));
        }
    }
    EXPECT_DOUBLE_EQ(ComputePrintGeometry(10, 200, 287, 600, 600, 96, 96).ry, 6.25);
    // A printer that reports no size or resolution prints nothing.
    EXPECT_EQ(ComputePrintGeometry(100, 0, 287, 600, 600, 96, 96).pages, 0);
    EXPECT_EQ(ComputePrintGeometry(100, 200, 287, 600, 600, 0, 96).pages, 0);
    EXPECT_EQ(PrintFooterText(2, 3), "Page:2   of   3");
}
