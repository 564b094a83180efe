#include "platform/PrinterService.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {
CQtPrinterService g_qtPrinter;
IPrinterService* g_printer = &g_qtPrinter;
} // namespace

IPrinterService& PrinterService() {
    return *g_printer;
}

IPrinterService* SetPrinterService(IPrinterService* service) {
    IPrinterService* old = g_printer;
    g_printer = service ? service : &g_qtPrinter;
    return old;
}

std::unique_ptr<QPrinter> CQtPrinterService::DefaultPrinter() {
    // Without an installed printer Qt prints into a PDF file.
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!printer->isValid())
        return nullptr;
    return printer;
}

IPrinterService::EDialogResult CQtPrinterService::ExecPrintDialog(QPrinter& printer, int pages,
                                                                  QWidget* parent) {
    QPrintDialog dlg(&printer, parent);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dlg.setMinMax(1, pages);
    dlg.setFromTo(1, pages);
    dlg.setPrintRange(QAbstractPrintDialog::PageRange);
    if (dlg.exec() != QDialog::Accepted)
        return EDialogResult::kCancelled;
    return printer.isValid() ? EDialogResult::kPrint : EDialogResult::kNoPrinter;
}

bool CQtPrinterService::BeginPrinting(QPainter& painter, QPrinter& printer) {
    return painter.begin(&printer);
}
