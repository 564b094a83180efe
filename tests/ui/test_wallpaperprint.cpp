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
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

class WallpaperPrintTest : public QObject, RunningApp {
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
    void cleanup() { End(); }

    void wallpaperCommandsHandTheShownPictureToTheDesktop() {
        Begin();
        Start(900, 700);
        CScriptedWallpaper setter;
        // With no picture they do nothing.
        for (int id : {ID_WALLPAPER_TILE, ID_WALLPAPER_CENTER, ID_WALLPAPER_STRETCH})
            QVERIFY(f->OnCommand(id));
        QVERIFY(setter.calls.empty());
        ui->files.push_back(MakePicture(home->File("sun.bmp"), 50, 40, RGB(200, 10, 10)));
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));
        QMenu* context = f->GetImgContainer()->ImageWnd()->ContextMenu();
        emit context->aboutToShow();
        // Frame commands, then the items of the context menu's "设置壁纸 ".
        for (int id : {int(ID_WALLPAPER_TILE), int(ID_WALLPAPER_CENTER), int(ID_WALLPAPER_STRETCH),
                       32952, 32951, 32950})
            if (!f->OnCommand(id))
                for (QAction* a : context->actions().last()->menu()->actions())
                    if (a->data().toInt() == id && a->isEnabled())
                        a->trigger();
        // Stretched to the screen's size in device pixels.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize device = screen->size() * screen->devicePixelRatio();
        const EWallpaperStyle styles[] = {EWallpaperStyle::kTile, EWallpaperStyle::kCenter,
                                          EWallpaperStyle::kStretch};
        QCOMPARE(setter.calls.size(), std::size_t(6));
        for (std::size_t i = 0; i < 6; ++i) {
            const CScriptedWallpaper::Call& c = setter.calls[i];
            QCOMPARE(c.path, home->File("Wallpapers/sun.bmp"));
            QCOMPARE(c.style, styles[i % 3]);
            QCOMPARE(QSize(c.width, c.height), i % 3 == 2 ? device : QSize(50, 40));
        }
        QVERIFY(ui->shown.empty());
        setter.result = false;
        f->OnCommand(ID_WALLPAPER_TILE);
        QCOMPARE(ui->shown.size(), std::size_t(1));
        QCOMPARE(ui->shown[0].text, std::string("设置壁纸失败"));
    }

    void printingCutsTheSlicesAndPrintsEveryPage() {
        Begin();
        qputenv("TMPDIR", QByteArray::fromStdString(pics->Path())); // where the BMPs go
        Start(900, 700);
        CScriptedPrinter printer;
        printer.pdfPath = home->File("out.pdf");
        const QString pdf = QString::fromStdString(printer.pdfPath);
        QVERIFY(!f->OnCommand(ID_FILE_PRINT)); // greyed without a picture
        // A picture two and a half printable widths wide.
        const auto paper = printer.DefaultPrinter();
        const QWidget* wnd = f->GetImgContainer()->ImageWnd();
        const PrintGeometry g = ComputePrintGeometry(1, paper->widthMM(), paper->heightMM(), 300,
                                                     300, wnd->logicalDpiX(), wnd->logicalDpiY());
        ui->files.push_back(
            MakePicture(home->File("wide.bmp"), int(2.5 * g.pageW / g.rx), 60, RGB(0, 0, 255)));
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));

        // No printer, none from the dialog, one that cannot start, a cancelled dialog.
        using R = IPrinterService::EDialogResult;
        const std::tuple<bool, R, bool> failures[] = {{false, R::kPrint, true},
                                                      {true, R::kNoPrinter, true},
                                                      {true, R::kPrint, false},
                                                      {true, R::kCancelled, true}};
        for (const auto& c : failures) {
            std::tie(printer.hasPrinter, printer.answer, printer.canBegin) = c;
            QVERIFY(f->OnCommand(ID_FILE_PRINT));
        }
        std::vector<std::string> told;
        for (const auto& box : ui->shown)
            told.push_back(box.text);
        const std::string noPrinter =
            "Can   not   find   printer.   Please   check   installed/default   printers.";
        QCOMPARE(told, (std::vector<std::string>{
                           noPrinter, noPrinter,
                           "Printing   error   occured.   Unable   to   find   printer."}));
        QVERIFY(!FileExists(printer.pdfPath));

        // Printed. Page 2 and 2 copies chosen in the dialog: still every page once.
        printer.answer = R::kPrint;
        printer.offered.clear();
        QTest::keyClick(f, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(printer.offered, (std::vector<std::pair<int, QString>>{{3, "Kelvra"}}));
        QVERIFY(Poppler("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+3\\n")));
        QCOMPARE(Poppler("pdftotext", {pdf, "-"}).simplified(),
                 QString("Page:1 of 3 Page:2 of 3 Page:3 of 3"));
        // The last page holds the remaining half page of picture on its left.
        const QString last = QString::fromStdString(home->File("last"));
        Poppler("pdftoppm", {"-r", "20", "-f", "3", "-png", "-singlefile", pdf, last});
        const QImage page(last + ".png");
        QCOMPARE(page.pixel(page.width() / 5, 2) & 0xf0f0f0, 0x0000f0u); // about blue
        QCOMPARE(page.pixel(page.width() * 4 / 5, 2) & 0xf0f0f0, 0xf0f0f0u);
        // The BMPs it printed from are gone.
        QCOMPARE(QDir(QString::fromStdString(pics->Path())).entryList(QDir::Files | QDir::Hidden),
                 QStringList());
        qunsetenv("TMPDIR");
    }
};

QTEST_MAIN(WallpaperPrintTest)
#include "test_wallpaperprint.moc"
