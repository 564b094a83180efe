// The image window's printing.
#include "app/PrintLayout.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "platform/PlatformUi.h"
#include "platform/PrinterService.h"
#include "platform/QtUtil.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>
#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kNoPrinter =
    "Can   not   find   printer.   Please   check   installed/default   printers.";
constexpr const char* kCannotStart = "Printing   error   occured.   Unable   to   find   printer.";

// The columns [x, x + w) of a picture, all its rows, as a top-down image.
QImage Columns(const CImageBuffer& img, int x, int w) {
    QImage out(w, img.Height(), QImage::Format_BGR888);
    for (int y = 0; y < out.height(); ++y)
        std::memcpy(out.scanLine(y), img.Row(img.Height() - 1 - y) + 3 * std::size_t(x),
                    3 * std::size_t(w));
    return out;
}

PrintGeometry GeometryFor(const QPrinter& printer, const QWidget& screen, int pictureW) {
    return ComputePrintGeometry(pictureW, printer.widthMM(), printer.heightMM(),
                                printer.logicalDpiX(), printer.logicalDpiY(), screen.logicalDpiX(),
                                screen.logicalDpiY());
}

} // namespace

void CImageWnd::PrintPicture() {
    if (!m_bLoaded)
        return;
    // A file of its own in the temporary folder, removed with the object.
    QTemporaryFile temp(QDir::tempPath() + "/kelvra-print-XXXXXX.bmp");
    if (!temp.open())
        return;
    temp.close();
    const std::string path = PathBytes(temp.fileName());
    if (SaveImageFile(*m_pImage, 0, 0, m_pImage->Width(), m_pImage->Height(), path, kFormatBmp))
        PrintBmpFile(path);
}

void CImageWnd::PrintBmpFile(const std::string& path) {
    CImageBuffer picture;
    if (!LoadImageFile(path, picture))
        return;
    const int w = picture.Width(), h = picture.Height();
    std::unique_ptr<QPrinter> printer = PrinterService().DefaultPrinter();
    PrintGeometry g;
    if (printer)
        g = GeometryFor(*printer, *this, w);
    if (g.pages <= 0) {
        PlatformUi().MessageBox(kNoPrinter);
        return;
    }
    printer->setDocName(kAppTitle);
    const auto chosen = PrinterService().ExecPrintDialog(*printer, g.pages, this);
    if (chosen == IPrinterService::EDialogResult::kCancelled)
        return;
    // The dialog may have chosen another printer, paper or resolution.
    g = GeometryFor(*printer, *this, w);
    if (chosen == IPrinterService::EDialogResult::kNoPrinter || g.pages <= 0) {
        PlatformUi().MessageBox(kNoPrinter);
        return;
    }
    // Every page once, whatever range or number of copies was chosen.
    printer->setPrintRange(QPrinter::AllPages);
    printer->setCopyCount(1);
    QPainter painter;
    if (!PrinterService().BeginPrinting(painter, *printer)) {
        PlatformUi().MessageBox(kCannotStart);
        return;
    }
    for (int i = 0; i < g.pages; ++i) {
        if (i > 0)
            printer->newPage();
        const PrintSlice s = PrintSliceFor(g, w, h, i);
        const int columns = std::min(s.srcW, w - s.srcX);
        if (columns > 0)
            painter.drawImage(QRect(0, 0, s.destW, s.destH), Columns(picture, s.srcX, columns));
        // The footer's baseline sits at 99 % of the page, so it stays on it.
        painter.drawText(g.footerX, g.footerY, Q(PrintFooterText(i + 1, g.pages)));
    }
    painter.end();
}
