#pragma once
#include <memory>

class QPainter;
class QPrinter;
class QWidget;

// The printer and the print dialog, reached through one object so that tests
// can script them.
class IPrinterService {
public:
    virtual ~IPrinterService() = default;
    // The application's default printer; printing to a PDF file when no
    // printer is installed. Null when no printer can be had.
    virtual std::unique_ptr<QPrinter> DefaultPrinter() = 0;
    // The print dialog for the printer (the user may choose another one, or
    // a PDF file), with the page-range choice selected and the range
    // 1 ... pages both allowed and preset.
    enum class EDialogResult { kPrint, kCancelled, kNoPrinter };
    virtual EDialogResult ExecPrintDialog(QPrinter& printer, int pages, QWidget* parent) = 0;
    // Starts the print job: the painter begins painting on the printer.
    // False when it cannot start.
    virtual bool BeginPrinting(QPainter& painter, QPrinter& printer) = 0;
};

// The service in use; never null. Until another is installed it is Qt's own.
IPrinterService& PrinterService();
// Installs another service (tests; null puts Qt's own back). Returns the
// previous one.
IPrinterService* SetPrinterService(IPrinterService* service);

// Qt's printer (QPrinter at the printer's own resolution) and its print
// dialog (QPrintDialog), which offers printing to a PDF file too.
class CQtPrinterService final : public IPrinterService {
public:
    std::unique_ptr<QPrinter> DefaultPrinter() override;
    // kNoPrinter when the printer chosen is not a valid one.
    EDialogResult ExecPrintDialog(QPrinter& printer, int pages, QWidget* parent) override;
    bool BeginPrinting(QPainter& painter, QPrinter& printer) override;
};
