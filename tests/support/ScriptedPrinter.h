#pragma once
// The printer for window tests, installed while the object lives. A printer
// results or not (hasPrinter), printing into the PDF file pdfPath at 300 dots
// per inch; the print dialog records the pages and the document name it is
// offered, chooses page 2 only and 2 copies, and answers `answer`; painting
// starts or not (canBegin).
#include "platform/PrinterService.h"

#include <QPainter>
#include <QPrinter>
#include <string>
#include <vector>

class CScriptedPrinter final : public IPrinterService {
public:
    CScriptedPrinter() : m_old(SetPrinterService(this)) {}
    ~CScriptedPrinter() override { SetPrinterService(m_old); }

    std::unique_ptr<QPrinter> DefaultPrinter() override {
        if (!hasPrinter)
            return nullptr;
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(QString::fromStdString(pdfPath));
        p->setResolution(300);
        return p;
    }
    EDialogResult ExecPrintDialog(QPrinter& printer, int pages, QWidget*) override {
        offered.push_back({pages, printer.docName()});
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 2);
        printer.setCopyCount(2);
        return answer;
    }
    bool BeginPrinting(QPainter& painter, QPrinter& printer) override {
        return canBegin && painter.begin(&printer);
    }

    bool hasPrinter = true, canBegin = true;
    EDialogResult answer = EDialogResult::kPrint;
    std::string pdfPath;
    std::vector<std::pair<int, QString>> offered; // pages and document name per dialog

private:
    IPrinterService* m_old;
};
