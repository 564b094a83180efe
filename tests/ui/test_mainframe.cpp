#include "ScriptedPrinter.h"
#include "ScriptedWallpaper.h"
#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "app/PrintLayout.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "library/StringArchive.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "thumbs/ImageWndList.h"

#include <FreeImage.h>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

template <typename T = QWidget> T* Child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromUtf8(name));
}
QColor PixelOf(QWidget* parent, const char* name, int x, int y) {
    return Child(parent, name)->grab().toImage().pixelColor(x, y);
}
void Click(QWidget* parent, const char* name) {
    QTest::mouseClick(Child(parent, name), Qt::LeftButton);
}
void Type(QWidget* dlg, const char* edit, const char* text) {
    Child<QLineEdit>(dlg, edit)->selectAll();
    QTest::keyClicks(Child(dlg, edit), text);
}

// Runs a frame command and drives the modal dialog it opens; a dialog the
// driver leaves open is cancelled.
void Drive(CMainFrame* f, int command, std::function<void(QDialog*)> driver) {
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        driver(dlg);
        if (dlg->isVisible())
            dlg->reject();
    });
    QVERIFY(f->OnCommand(command));
}

// Runs a tool of poppler's; its output.
QString Poppler(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class MainFrameTest : public QObject, RunningApp {
    Q_OBJECT
    std::string Pic(const char* name) { return pics->File(name); }

private slots:
    void init() { Begin(); }
    void cleanup() {
        End();
        qunsetenv("TMPDIR"); // the printing test's, also when it failed half-way
    }

    void fullScreenAndSpaceKeepTheLeftPanesWidth() {
        Start();
        QWidget* right = f->GetImgContainer();
        QVERIFY(f->minimumSizeHint().width() < 800); // the status bar never widens the window
        // Space remembers the pane's own width; hidden, then full screen and
        // back, the pane shows while the flag says hidden, and the next Space
        // only sets the flag. Space in full screen never loses the width.
        f->Splitter()->setSizes({260, 900});
        QTest::keyClick(right, Qt::Key_Space);
        QVERIFY(f->LeftPaneWidth() == 0 && !f->m_bLeftPaneShown);
        QTest::keyClick(right, Qt::Key_Escape);
        QVERIFY(f->m_bFullScreen && f->menuBar()->isHidden());
        QTest::keyClick(right, Qt::Key_Escape);
        QVERIFY(f->LeftPaneWidth() == 260 && !f->m_bLeftPaneShown && !f->menuBar()->isHidden());
        QTest::keyClick(right, Qt::Key_Space);
        QVERIFY(f->LeftPaneWidth() == 260 && f->m_bLeftPaneShown);
        f->OnCommand(ID_VIEW_FULL_SCREEN);
        QTest::keyClick(right, Qt::Key_Space);
        f->OnCommand(ID_VIEW_FULL_SCREEN);
        QTest::keyClick(right, Qt::Key_Space);
        QCOMPARE(f->LeftPaneWidth(), 260);
    }

    void settingsAreReadAtStartWrittenAtExitAndReset() {
        const std::string ini = home->File("System.ini");
        home->Write("System.ini", "[RightBackColor]\nRed=300\nGreen=0\nBlue=0\n");
        home->Write("tree.sxs", std::string("\0\0", 2));
        Start(1200, 800, {"/data/pics/photo.jpg"});
        // The right pane paints in the right-pane colour; the command line's
        // folder becomes current.
        QCOMPARE(QColor(f->GetImgContainer()->grab().toImage().pixel(10, 10)), QColor(44, 0, 0));
        QCOMPARE(f->m_strCurFolder, std::string("/data/pics"));
        // Reset deletes both files; the exit writes the settings again.
        QVERIFY(f->OnCommand(ID_TOOLS_RESET));
        QVERIFY(!FileExists(ini) && !FileExists(home->File("tree.sxs")));
        app.reset();
        QCOMPARE(GetPrivateProfileString("CurrentFolder", "Folder", "", ini, 4096),
                 std::string("/data/pics"));
        // A read-only program folder is taken quietly: the settings stay as they were.
        home->Write("System.ini", "[TumSize]\nCx=90\n");
        QVERIFY(SetFolderReadOnly(home->Path(), true));
        Start();
        f->m_settings.nTumCx = 140;
        app.reset();
        SetFolderReadOnly(home->Path(), false);
        QVERIFY(ui->shown.empty());
        QCOMPARE(GetPrivateProfileInt("TumSize", "Cx", 0, ini), 90);
    }

    void gpsExportWritesTheCurrentFolder() {
        Start(1200, 800, {std::string(KELVRA_SOURCE_DIR) + "/samples/harbour.jpg"});
        QVERIFY(f->OnCommand(ID_TOOLS_EXPORT_GPS));
        const std::string bytes = ReadWholeFile(home->File("imggps.gpd")).value_or("");
        std::size_t pos = 0;
        const auto folder = ReadStringArray(bytes, pos); // without a trailing "/"
        QVERIFY(folder && folder->front() == std::string(KELVRA_SOURCE_DIR) + "/samples");
        QVERIFY(bytes.find("harbour.jpg") != std::string::npos &&
                bytes.find("31.2304") != std::string::npos);
    }

    void wallpaperCommandsHandTheShownPictureToTheDesktop() {
        Start(900, 700);
        CScriptedWallpaper setter;
        // With no picture they do nothing.
        for (int id : {ID_WALLPAPER_TILE, ID_WALLPAPER_CENTER, ID_WALLPAPER_STRETCH})
            QVERIFY(f->OnCommand(id));
        QVERIFY(setter.calls.empty());
        ui->files.push_back(MakePicture(home->File("sun.bmp"), 50, 40, RGB(200, 10, 10)));
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));
        // Stretched to the screen's size in device pixels.
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(f->OnCommand(ID_WALLPAPER_STRETCH));
        QCOMPARE(setter.calls.size(), std::size_t(1));
        const CScriptedWallpaper::Call& c = setter.calls[0];
        QVERIFY(c.path == home->File("Wallpapers/sun.bmp") && c.style == EWallpaperStyle::kStretch);
        QCOMPARE(QSize(c.width, c.height), screen->size() * screen->devicePixelRatio());
        QVERIFY(ui->shown.empty());
        setter.result = false;
        f->OnCommand(ID_WALLPAPER_TILE);
        QCOMPARE(ui->shown.size(), std::size_t(1));
        QCOMPARE(ui->shown[0].text, std::string("设置壁纸失败"));
    }

    void printingCutsTheSlicesAndPrintsEveryPage() {
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
    }

    // Both dialogs with a scripted file chooser and colour dialog.
    void resizeDialogWritesTheChosenSizeAndOptionsApplyOnOkOnly() {
        Start(1000, 700);
        ui->files = {MakePicture(Pic("orig.bmp"), 300, 200, RGB(20, 140, 220))};
        for (const char* name : {"small.JPG", "wide.bmp", "x.png", "huge.bmp", "copy.png"})
            ui->files.push_back(Pic(name));
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));

        // "1a0": the letter is refused; the locked height follows and does
        // not feed back into the width (6 would give 9).
        Drive(f, ID_EDIT_RESIZE, [](QDialog* dlg) {
            QCOMPARE(dlg->windowTitle(), QString("更改尺寸保存"));
            Type(dlg, "WidthEdit", "1a0");
            QCOMPARE(Child<QLineEdit>(dlg, "WidthEdit")->text() + "x" +
                         Child<QLineEdit>(dlg, "HeightEdit")->text(),
                     QString("10x6"));
            Click(dlg, "SaveButton");
        });
        QCOMPARE(ui->filters.back(), std::string("JPG(*.jpg)|*.jpg|BMP(*.bmp)|*.bmp|"));
        QCOMPARE(ui->startFolders.back() + "/", pics->Path()); // no trailing "/"
        QCOMPARE(FreeImage_GetFileType(Pic("small.JPG").c_str(), 0), FIF_JPEG);
        CImageBuffer saved;
        QVERIFY(LoadImageFile(Pic("small.JPG"), saved));
        QCOMPARE(QSize(saved.Width(), saved.Height()), QSize(10, 6));

        // 10 cm at 96 dpi gives a file exactly 377 pixels wide.
        Drive(f, ID_EDIT_RESIZE, [](QDialog* dlg) {
            Click(dlg, "Unit0");
            Type(dlg, "WidthEdit", "10");
            dlg->accept();
        });
        QVERIFY(LoadImageFile(Pic("wide.bmp"), saved));
        QCOMPARE(QSize(saved.Width(), saved.Height()), QSize(377, 251));

        // Refusals: a size below 1 (no file is asked for), another extension,
        // a block over the picture limit.
        for (auto [width, message] : {std::pair{"0", "请设置大于0的数值"},
                                      {"50", "无法保存为该文件格式"},
                                      {"4000000", "创建文件失败"}}) {
            Drive(f, ID_EDIT_RESIZE, [width = width](QDialog* dlg) {
                Type(dlg, "WidthEdit", width);
                dlg->accept();
            });
            QCOMPARE(ui->shown.back().text, std::string(message));
        }
        QCOMPARE(ui->filters.size(), std::size_t(5));
        // No temporary file is left beside the targets or the program.
        QCOMPARE(
            QDir(QString::fromStdString(pics->Path())).entryList(QDir::Files | QDir::Hidden).size(),
            3);
        QVERIFY(
            QDir(QString::fromStdString(home->Path())).entryList({"*.bmp"}, QDir::Files).isEmpty());

        // The picture window's "保存为" reaches the frame's save command.
        for (QAction* a : f->GetImgContainer()->ImageWnd()->ContextMenu()->actions())
            if (a->data().toInt() == 32949)
                a->trigger();
        QVERIFY(LoadImageFile(Pic("copy.png"), saved));

        f->m_settings.crRightBack = RGB(10, 20, 30);
        f->GetImgContainer()->ShowListWindow();
        CImageWndList* list = f->GetImgContainer()->ListWnd();
        CImageWnd* wnd = f->GetImgContainer()->ImageWnd();
        const COLORREF pictureBack = wnd->GetBackgroundColor(), listBack = list->Colors().wndBack;
        ui->colors = {RGB(0, 200, 0), RGB(0, 200, 0)};

        // Cancel: the fields show the frame's values, a colour box opens the
        // colour dialog preset to its colour, a scheme recolours the page at
        // once; nothing reaches the frame.
        Drive(f, ID_TOOLS_OPTIONS, [&](QDialog* sheet) {
            Click(sheet, "Box1018");
            QCOMPARE(ui->colorPresets.back(), RGB(10, 20, 30));
            QCOMPARE(PixelOf(sheet, "Box1018", 20, 9), QColor(0, 200, 0));
            QTest::keyClick(Child(sheet, "List1015"), Qt::Key_Down); // "方案2"
            QWidget* thumbs = Child(sheet, "ThumbnailsPage");
            QCOMPARE(PixelOf(thumbs, "Sample1036", 4, 40), QColor(198, 198, 198));
            QCOMPARE(PixelOf(thumbs, "Sample1036", 40, 20), QColor(167, 140, 140)); // picture row 2
        });
        QCOMPARE(wnd->GetBackgroundColor(), pictureBack);
        QCOMPARE(list->Colors().wndBack, listBack);

        // OK applies what was chosen on every page; reopened, the sheet
        // shows the chosen delay.
        Drive(f, ID_TOOLS_OPTIONS, [](QDialog* sheet) {
            Click(sheet, "Box1018");
            for (const char* name : {"List1012", "List1012", "List1062", "List1015"})
                QTest::keyClick(Child(sheet, name), Qt::Key_Down); // 3 s, "高斯模糊", "方案2"
            Click(sheet, "Radio1039");
            Click(sheet, "Check1055");
            sheet->accept();
        });
        QCOMPARE(wnd->GetBackgroundColor(), RGB(0, 200, 0));
        QCOMPARE(list->Backing().pixelColor(list->width() - 3, list->height() - 3),
                 QColor(198, 198, 198));
        QCOMPARE(f->GetImgContainer()->m_nSlideDelay, 3000);
        QCOMPARE(wnd->m_nSmoothing, 1);
        QVERIFY(f->m_bWheelZoom && f->m_settings.mAdd == 1);
        Drive(f, ID_TOOLS_OPTIONS, [](QDialog* sheet) {
            QCOMPARE(Child<QComboBox>(sheet, "List1012")->currentText(), QString("3秒"));
        });
    }
};

QTEST_MAIN(MainFrameTest)
#include "test_mainframe.moc"
