#include "app/PrintLayout.h"

#include <algorithm>

namespace {
constexpr double kInchPerMm = 0.03937007874015748;

int Trunc(double v) {
    return static_cast<int>(std::clamp(v, -2147483647.0, 2147483647.0));
}
} // namespace

PrintGeometry ComputePrintGeometry(int pictureW, int pageWidthMm, int pageHeightMm, int printerDpiX,
                                   int printerDpiY, int screenDpiX, int screenDpiY) {
    PrintGeometry g;
    if (pageWidthMm <= 0 || pageHeightMm <= 0 || printerDpiX <= 0 || printerDpiY <= 0 ||
        screenDpiX <= 0 || screenDpiY <= 0)
        return g;
    g.pageW = Trunc(double(pageWidthMm) * printerDpiX * kInchPerMm);
    g.pageH = Trunc(double(pageHeightMm) * printerDpiY * kInchPerMm);
    g.rx = double(printerDpiX) / screenDpiX;
    g.ry = double(printerDpiY) / screenDpiY;
    g.footerX = Trunc(g.pageW * 0.9);
    g.footerY = Trunc(g.pageH * 0.99);
    if (g.pageW > 0 && g.pageH > 0 && pictureW > 0)
        g.pages = Trunc((pictureW * g.rx + g.pageW - 1) / g.pageW);
    return g;
}

PrintSlice PrintSliceFor(const PrintGeometry& g, int pictureW, int pictureH, int page) {
    PrintSlice s;
    const double sliceW = g.pageW / g.rx; // one page width in picture pixels
    s.srcX = Trunc(page * g.pageW / g.rx);
    s.destH = Trunc(pictureH * g.ry);
    if (page < g.pages - 1) {
        s.srcW = Trunc(sliceW);
        s.destW = g.pageW;
    } else {
        s.srcW = Trunc(pictureW - sliceW * page);
        s.destW = Trunc(s.srcW * g.rx);
    }
    return s;
}

std::string PrintFooterText(int page, int pages) {
    return "Page:" + std::to_string(page) + "   of   " + std::to_string(pages);
}
