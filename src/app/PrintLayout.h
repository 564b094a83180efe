#pragma once
#include <string>

// How a picture is laid out on paper: it keeps the physical size it has on
// the screen, converted to the printer's resolution, and a picture wider than
// the printable page is cut into vertical slices one page wide, one per page.
// Every page carries the footer "Page:%d   of   %d".

struct PrintGeometry {
    int pageW = 0, pageH = 0;  // the printable page in printer dots
    double rx = 0.0, ry = 0.0; // printer dots per screen pixel, each direction
    int pages = 0;             // page-wide slices; 0 when nothing can be printed
    int footerX = 0, footerY = 0;
};

// pageW = trunc(width mm x printer dpi x / 25.4), pageH likewise; rx, ry =
// printer dpi / screen dpi; pages = trunc((W x rx + pageW - 1) / pageW) for a
// picture W pixels wide; the footer at 90 % of the page's width and 99 % of
// its height. No pages when a size or resolution is not positive.
PrintGeometry ComputePrintGeometry(int pictureW, int pageWidthMm, int pageHeightMm, int printerDpiX,
                                   int printerDpiY, int screenDpiX, int screenDpiY);

// What page `page` (from 0) shows: the columns [srcX, srcX + srcW) of a
// picture W x H pixels, drawn at the top left of the page destW x destH dots.
// Every page but the last holds a full page width; the last holds the
// remaining width R = trunc(W - (pageW / rx) x page), scaled like the others
// (so a picture narrower than the page prints at its own size).
struct PrintSlice {
    int srcX = 0, srcW = 0;
    int destW = 0, destH = 0;
};
PrintSlice PrintSliceFor(const PrintGeometry& g, int pictureW, int pictureH, int page);

// "Page:%d   of   %d" with page (from 1) and pages.
std::string PrintFooterText(int page, int pages);
