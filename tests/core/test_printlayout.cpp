#include "app/PrintLayout.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(PrintLayout, PagesSlicesAndFooter) {
    // A printable area of 200 x 287 mm at 600 dpi is 4724 x 6779 dots; from a
    // 96 dpi screen the picture grows by 6.25.
    const PrintGeometry a4 = ComputePrintGeometry(1890, 200, 287, 600, 600, 96, 96);
    EXPECT_EQ(std::tie(a4.pageW, a4.pageH, a4.footerX, a4.footerY),
              std::make_tuple(4724, 6779, 4251, 6711));
    EXPECT_DOUBLE_EQ(a4.ry, 6.25);
    struct Case {
        int w, screenDpi, pages;
        int srcX, srcW, destW; // of the last page
    } cases[] = {
        {1890, 96, 3, 1511, 378, 2362},   // 2.5 pages: the last holds the remaining half
        {500, 96, 1, 0, 500, 3125},       // narrower than the page: at its own size
        {9448, 600, 2, 4724, 4724, 4724}, // exactly two pages
    };
    for (const Case& c : cases) {
        const PrintGeometry g =
            ComputePrintGeometry(c.w, 200, 287, 600, 600, c.screenDpi, c.screenDpi);
        ASSERT_EQ(g.pages, c.pages) << c.w;
        const PrintSlice last = PrintSliceFor(g, c.w, 40, g.pages - 1);
        EXPECT_EQ(std::tie(last.srcX, last.srcW, last.destW, last.destH),
                  std::make_tuple(c.srcX, c.srcW, c.destW, int(40 * g.ry)))
            << c.w;
    }
    // A printer that reports no size prints nothing.
    EXPECT_EQ(ComputePrintGeometry(100, 0, 287, 600, 600, 96, 96).pages, 0);
    EXPECT_EQ(PrintFooterText(2, 3), "Page:2   of   3");
}
