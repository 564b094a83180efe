#include "ScriptedPrinter.h"
#include "ScriptedWallpaper.h"
#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "app/PrintLayout.h"
#include "image/ImageWnd.h"
#include "platform/FileOps.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

class WallpaperPrintTest : public QObject {
    Q_OBJECT
private:
    // Runs a tool of poppler's; its output.
    static QString Poppler(const QString& tool, const QStringList& args) {
        QProcess p;
        p.start(tool, args);
        p.waitForFinished(20000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private slots:
    void wallpaperCommandsHandTheShownPictureToTheDesktop() {
        ProgramHome home;
        auto app = StartApp(900, 700);
        CMainFrame* f = app->MainFrame();
        CScriptedUi ui;
        CScriptedWallpaper setter;
        // With no picture they do nothing.
        for (int id : {ID_WALLPAPER_TILE, ID_WALLPAPER_CENTER})
            QVERIFY(f->OnCommand(id));
        QVERIFY(setter.calls.empty());
        ui.files.push_back(MakePicture(home.File("sun.bmp"), 50, 40, RGB(200, 10, 10)));
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));
        QMenu* context = f->GetImgContainer()->ImageWnd()->ContextMenu();
        emit context->aboutToShow();
        // A frame command, or an item of the context menu's "设置壁纸 ".
        const struct {
            int id;
            EWallpaperStyle style;
        } cases[] = {
            {ID_WALLPAPER_TILE, EWallpaperStyle::kTile},
            {ID_WALLPAPER_CENTER, EWallpaperStyle::kCenter},
            {32952, EWallpaperStyle::kTile},
            {32951, EWallpaperStyle::kCenter},
        };
        for (const auto& c : cases) {
            if (!f->OnCommand(c.id))
                for (QAction* a : context->actions().last()->menu()->actions())
                    if (a->data().toInt() == c.id && a->isEnabled())
                        a->trigger();
            QCOMPARE(setter.calls.size(), std::size_t(1));
            QCOMPARE(setter.calls[0].path, home.File("Wallpapers/sun.bmp"));
            QCOMPARE(int(setter.calls[0].style), int(c.style));
            QCOMPARE(setter.calls[0].width, 50);
            setter.calls.clear();
        }
        QVERIFY(ui.shown.empty());
        setter.result = false;
        f->OnCommand(ID_WALLPAPER_TILE);
        QCOMPARE(ui.shown.size(), std::size_t(1));
        QCOMPARE(ui.shown[0].text, std::string("设置壁纸失败"));
    }

    void printingCutsTheSlicesAndPrintsEveryPage() {
        ProgramHome home;
        QTemporaryDir tmp;
        qputenv("TMPDIR", tmp.path().toUtf8());
        auto app = StartApp(900, 700);
        CMainFrame* f = app->MainFrame();
        CScriptedUi ui;
        CScriptedPrinter printer;
        printer.pdfPath = home.File("out.pdf");
        const QString pdf = QString::fromStdString(printer.pdfPath);
        // A picture two and a half printable widths wide.
        const auto paper = printer.DefaultPrinter();
        const QWidget* wnd = f->GetImgContainer()->ImageWnd();
        const PrintGeometry g = ComputePrintGeometry(1, paper->widthMM(), paper->heightMM(), 300,
                                                     300, wnd->logicalDpiX(), wnd->logicalDpiY());
        ui.files.push_back(
            MakePicture(home.File("wide.bmp"), int(2.5 * g.pageW / g.rx), 60, RGB(0, 0, 255)));
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));

        // Page 2 and 2 copies chosen in the dialog: still every page once.
        QTest::keyClick(f, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(printer.offered, (std::vector<std::pair<int, QString>>{{3, "Kelvra"}}));
        QVERIFY(ui.shown.empty());
        QVERIFY(Poppler("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+3\\n")));
        for (int page = 1; page <= 3; ++page)
            QCOMPARE(Poppler("pdftotext",
                             {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"})
                         .simplified(),
                     QString("Page:%1 of 3").arg(page));
        // The last page holds the remaining half page of picture on its left.
        Poppler("pdftoppm", {"-r", "20", "-f", "3", "-l", "3", "-png", "-singlefile", pdf,
                             QString::fromStdString(home.File("last"))});
        const QImage last(QString::fromStdString(home.File("last.png")));
        auto rgb = [&](int x) { return last.pixelColor(x, 2).rgb() & 0xf0f0f0; }; // about
        QCOMPARE(rgb(last.width() / 5), 0x0000f0u);
        QCOMPARE(rgb(last.width() * 4 / 5), 0xf0f0f0u);
        // The BMP it printed from is gone.
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        qunsetenv("TMPDIR");
    }

    void printerFailuresAreToldAndNothingIsPrinted() {
        ProgramHome home;
        auto app = StartApp(900, 700);
        CMainFrame* f = app->MainFrame();
        CScriptedUi ui;
        CScriptedPrinter printer;
        printer.pdfPath = home.File("out.pdf");
        QVERIFY(!f->OnCommand(ID_FILE_PRINT)); // greyed without a picture
        ui.files.push_back(MakePicture(home.File("p.bmp"), 30, 20, RGB(9, 9, 9)));
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));
        const std::string noPrinter =
            "Can   not   find   printer.   Please   check   installed/default   printers.";
        using R = IPrinterService::EDialogResult;
        const struct {
            bool hasPrinter;
            R answer;
            bool canBegin;
            std::string message; // "" for none
        } cases[] = {
            {false, R::kPrint, true, noPrinter},
            {true, R::kNoPrinter, true, noPrinter},
            {true, R::kPrint, false, "Printing   error   occured.   Unable   to   find   printer."},
            {true, R::kCancelled, true, ""},
        };
        for (const auto& c : cases) {
            ui.shown.clear();
            printer.hasPrinter = c.hasPrinter;
            printer.answer = c.answer;
            printer.canBegin = c.canBegin;
            QVERIFY(f->OnCommand(ID_FILE_PRINT));
            QCOMPARE(ui.shown.size(), std::size_t(c.message.empty() ? 0 : 1));
            if (!c.message.empty())
                QCOMPARE(ui.shown[0].text, c.message);
            QVERIFY(!FileExists(printer.pdfPath));
        }
    }

    void thePrintDialogOffersTheWholeRange() {
        ProgramHome home;
        auto app = StartApp(600, 400);
        CQtPrinterService service;
        std::unique_ptr<QPrinter> printer = service.DefaultPrinter();
        QVERIFY(printer); // a PDF file when no printer is installed
        QString range;
        QTimer::singleShot(0, this, [&] {
            auto* dlg = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            range = QString("%1-%2 %3-%4 %5")
                        .arg(dlg->minPage())
                        .arg(dlg->maxPage())
                        .arg(dlg->fromPage())
                        .arg(dlg->toPage())
                        .arg(dlg->printRange() == QAbstractPrintDialog::PageRange);
            dlg->reject();
        });
        QCOMPARE(service.ExecPrintDialog(*printer, 4, app->MainFrame()),
                 IPrinterService::EDialogResult::kCancelled);
        QCOMPARE(range, QString("1-4 1-4 1"));
    }
};

QTEST_MAIN(WallpaperPrintTest)
#include "test_wallpaperprint.moc"
