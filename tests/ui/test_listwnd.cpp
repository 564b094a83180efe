#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/KelvraApp.h"
#include "app/MainFrame.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "library/TreeContainerWnd.h"
#include "platform/FileOps.h"
#include "platform/QtUtil.h"
#include "thumbs/ImageWndList.h"
#include "thumbs/ThumbCache.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

class ListWndTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramHome> home;
    std::unique_ptr<CKelvraApp> app;
    std::unique_ptr<CScriptedUi> ui;
    CMainFrame* f = nullptr;
    CTreeContainerWnd* tree = nullptr;
    std::unique_ptr<QTemporaryDir> pics;
    std::vector<std::string> files;

    std::string Dir() const { return pics->path().toStdString() + "/"; }
    CImageWndList* List() const { return f->GetImgContainer()->ListWnd(); }
    QColor At(int x, int y) const { return QColor(List()->Backing().pixel(x, y)); }

    // A folder of n pictures p00.bmp ... shown in the list.
    void ShowFolderOf(int n) {
        files.clear();
        for (int i = 0; i < n; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "p%02d.bmp", i);
            files.push_back(MakePicture(Dir() + name, 160, 120, RGB(40 * (i % 6), 200, 90)));
        }
        ShowFolder(Dir());
    }
    void ShowFolder(const std::string& folder) {
        tree->ShowFolder(folder);
        f->ShowListMode();
        QTest::qWait(10);
        QVERIFY(List());
        QVERIFY(List()->isVisible());
    }
    QPoint CellCentre(int i) const {
        ListRect r = List()->Layout().BoxRect(i);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void Click(int i, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(List(), Qt::LeftButton, mods, CellCentre(i));
    }

private slots:
    void init() {
        home = std::make_unique<ProgramHome>();
        app = StartApp(1200, 800);
        QVERIFY(app);
        ui = std::make_unique<CScriptedUi>();
        f = app->MainFrame();
        tree = f->GetTreeContainer();
        pics = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        ui.reset();
        app.reset();
        home.reset();
        pics.reset();
    }

    void paintsThumbnailsOfViewedPicturesAndPlaceholdersOfTheRest() {
        files = {MakePicture(Dir() + "a.bmp", 400, 300, RGB(250, 0, 0)),
                 MakePicture(Dir() + "b.bmp", 400, 300, RGB(0, 250, 0)),
                 MakePicture(Dir() + "c.bmp", 300, 400, RGB(0, 0, 250))};
        tree->ShowFolder(Dir());
        tree->OpenPicture(files[1]); // viewing writes its cache file
        QVERIFY(f->GetImgContainer()->ImageWnd()->IsLoaded());
        ShowFolder(Dir());
        const CSystemSettings& s = f->m_settings;
        QCOMPARE(At(84 + 35, 30), QColor(0, 250, 0)); // the thumbnail at the box's centre
        QCOMPARE(At(18, 22), QColor(12, 131, 156));   // the badges of the others
        QCOMPARE(At(2 * 84 + 18, 33), QColor(12, 131, 156));
        QCOMPARE(At(0, 0), ToQColor(s.crTumCrIndi)); // frames in the normal colour
        QCOMPARE(At(84 + 70, 60), ToQColor(s.crTumCrIndi));
        QCOMPARE(At(77, 30), ToQColor(s.crRightTubBk)); // between the boxes
        const auto& texts = List()->Texts();
        QCOMPARE(int(texts.size()), 3);
        QVERIFY(texts[0].placeholder && !texts[1].placeholder && texts[2].placeholder);
        QCOMPARE(texts[0].badge, std::string("BMP"));
        QCOMPARE(texts[2].caption, std::string("c"));
        // What is drawn as text can be read by assistive technologies too.
        QCOMPARE(List()->accessibleDescription(), QString("a BMP\nb\nc BMP"));

        // Clearing the cache: the folder goes and every cell is a placeholder.
        QVERIFY(f->OnCommand(ID_TOOLS_CLEAR_THUMBS));
        QVERIFY(!DirectoryExists(GetThumbFolder()));
        QCOMPARE(At(84 + 18, 22), QColor(12, 131, 156));
        QVERIFY(List()->Texts()[1].placeholder);
        // ... and a second clear finds no folder to remove.
        QVERIFY(f->OnCommand(ID_TOOLS_CLEAR_THUMBS));
        QCOMPARE(ui->shown.back().text, std::string("Failed to Delete selected Folder "));
    }

    void aReadOnlyProgramFolderLeavesPlaceholdersAndNoMessage() {
        files = {MakePicture(Dir() + "a.bmp", 90, 60, RGB(250, 0, 0)),
                 MakePicture(Dir() + "b.bmp", 90, 60, RGB(0, 250, 0))};
        tree->ShowFolder(Dir());
        if (!SetFolderReadOnly(home->Path(), true))
            QSKIP("the program folder cannot be made read-only here");
        tree->OpenPicture(files[0]);
        SetFolderReadOnly(home->Path(), false);
        QVERIFY(f->GetImgContainer()->ImageWnd()->IsLoaded());
        QVERIFY(ui->shown.empty());
        QVERIFY(!ThumbExists(files[0]));
        ShowFolder(Dir());
        QVERIFY(List()->Texts()[0].placeholder);
    }

    void aFolderWithoutPicturesShowsItsMessageThenTheBackground() {
        ShowFolderOf(2);
        f->ClearListPane();
        f->ShowNoPictures();
        const QImage& img = List()->Backing();
        int text = 0;
        for (int y = img.height() / 2 - 10; y < img.height() / 2 + 20; ++y)
            for (int x = 0; x < img.width(); ++x)
                text += QColor(img.pixel(x, y)) == QColor(0, 116, 153);
        QVERIFY(text > 50);
        QCOMPARE(List()->accessibleDescription(), QString("文件夹内没有可显示的图片"));
        // A later repaint of the empty folder shows the background only.
        tree->m_arrFolderImages.clear();
        List()->RedrawAll();
        QCOMPARE(QColor(img.pixel(img.width() / 2, img.height() / 2 + 5)),
                 ToQColor(f->m_settings.crRightTubBk));
        QVERIFY(List()->accessibleDescription().isEmpty());
    }

    void clickCtrlClickBandAndSelectAll() {
        ShowFolderOf(5);
        CImageWndList* l = List();
        const QColor sel = ToQColor(f->m_settings.crTumCrInfo),
                     normal = ToQColor(f->m_settings.crTumCrIndi);
        Click(2);
        QCOMPARE(l->m_strCurFile, files[2]);
        QVERIFY(l->m_arrSelected.empty()); // a plain click marks, the path is the clicked file
        QVERIFY(l->m_states.IsSelected(2));
        QCOMPARE(At(2 * 84, 0), sel);
        QCOMPARE(At(0, 0), normal);
        // Ctrl-clicking the same cell twice lists it twice.
        Click(4, Qt::ControlModifier);
        Click(4, Qt::ControlModifier);
        QCOMPARE(l->m_arrSelected, (std::vector<std::string>{files[4], files[4]}));
        QVERIFY(l->m_states.IsSelected(2) && l->m_states.IsSelected(4));
        // Below the last file: nothing is hit and the selection goes.
        QTest::mouseClick(l, Qt::LeftButton, {}, QPoint(10, 85));
        QVERIFY(l->m_strCurFile.empty());
        QVERIFY(l->m_arrSelected.empty());
        QVERIFY(!l->m_states.IsSelected(2) && !l->m_states.IsSelected(4));
        QCOMPARE(At(2 * 84, 0), normal);

        // A band over three boxes; a band only 10 pixels wide selects nothing.
        QTest::mousePress(l, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(l, QPoint(100, 40));
        QTest::mouseRelease(l, Qt::LeftButton, {}, QPoint(200, 50));
        QCOMPARE(l->m_arrSelected, (std::vector<std::string>{files[0], files[1], files[2]}));
        QCOMPARE(At(84, 0), sel);
        QVERIFY(!l->m_states.IsSelected(3));
        QTest::mousePress(l, Qt::LeftButton, {}, QPoint(75, 70));
        QTest::mouseRelease(l, Qt::LeftButton, {}, QPoint(85, 5));
        QVERIFY(l->m_arrSelected.empty());

        // Ctrl+A.
        QTest::keyPress(l, Qt::Key_Control);
        QTest::keyClick(l, Qt::Key_A, Qt::ControlModifier);
        QTest::keyRelease(l, Qt::Key_Control);
        QCOMPARE(l->m_arrSelected, files);
        QCOMPARE(At(4 * 84 + 70, 60), sel);
        QVERIFY(!l->m_bCtrlDown);
    }

    void scrollingStaysWithinZeroAndRowsMinusTwo() {
        ShowFolderOf(60);
        CImageWndList* l = List();
        const CListLayout layout = l->Layout();
        const int cols = layout.Columns(), maxRow = layout.Rows() - 2;
        QVERIFY(maxRow >= 1);
        QVERIFY(l->ScrollBar()->isVisible());
        QCOMPARE(l->ScrollBar()->maximum(), maxRow);
        for (int i = 0; i < maxRow + 3; ++i) {
            QWheelEvent down(QPointF(50, 50), l->mapToGlobal(QPointF(50, 50)), QPoint(),
                             QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                             false);
            QApplication::sendEvent(l, &down);
        }
        QCOMPARE(l->m_nTopRow, maxRow);
        QCOMPARE(l->ScrollBar()->value(), maxRow);
        QCOMPARE(l->Texts().front().index, maxRow * cols);
        for (int i = 0; i < maxRow + 3; ++i)
            QTest::keyClick(l, Qt::Key_Up);
        QCOMPARE(l->m_nTopRow, 0);
        QTest::keyClick(l, Qt::Key_Down);
        QCOMPARE(l->m_nTopRow, 1);
        l->ScrollBar()->setValue(maxRow);
        QCOMPARE(l->m_nTopRow, maxRow);
        QCOMPARE(l->Texts().front().caption, ListTitleOf(files[std::size_t(maxRow * cols)]));

        // Fewer than three rows: no range, the wheel and Down stay at row 0.
        QDir(pics->path()).removeRecursively();
        QDir().mkpath(pics->path());
        ShowFolderOf(3);
        QVERIFY(!List()->ScrollBar()->isVisible());
        QTest::keyClick(List(), Qt::Key_Down);
        QCOMPARE(List()->m_nTopRow, 0);
    }

    void copyAndMoveToAChosenFolder() {
        ShowFolderOf(4);
        CImageWndList* l = List();
        const std::string out = Dir() + "out/";
        std::filesystem::create_directory(out);
        QCOMPARE(l->ContextMenu()->title(), QString("列表菜单"));
        QStringList texts;
        for (QAction* a : l->ContextMenu()->actions())
            texts << QString("%1 %2").arg(a->data().toInt()).arg(a->text());
        QCOMPARE(texts, QStringList({"33043 打开", "33041 复制到", "33042 移动到", "33038 删除"}));

        // Without a selection the clicked file is the target; a cancelled
        // chooser changes nothing.
        Click(1);
        l->OnListCommand(ID_LIST_COPY_TO);
        QCOMPARE(ui->folderTitles.back(), std::string("请选择目录"));
        QVERIFY(!FileExists(out + "p01.bmp"));
        ui->folders.push_back(out);
        l->OnListCommand(ID_LIST_COPY_TO);
        QVERIFY(FileExists(out + "p01.bmp"));

        // Move p00 and p01: p01 exists at the target and stays where it is.
        Click(0, Qt::ControlModifier);
        Click(1, Qt::ControlModifier);
        ui->folders.push_back(out);
        f->OnCommand(ID_EDIT_MOVE);
        QVERIFY(FileExists(out + "p00.bmp"));
        QVERIFY(!FileExists(files[0]));
        QVERIFY(FileExists(files[1]));
        QCOMPARE(tree->m_arrFolderImages, (std::vector<std::string>{files[1], files[2], files[3]}));
        QVERIFY(l->m_arrSelected.empty());
        QCOMPARE(l->m_states.Count(), 3);
        QCOMPARE(l->Texts().front().caption, std::string("p01"));
    }

    void deleteAsksOnceForTheCommandAndOncePerFile() {
        ShowFolderOf(4);
        CImageWndList* l = List();
        f->m_settings.mDelete = 1;
        Click(0, Qt::ControlModifier);
        Click(2, Qt::ControlModifier);
        ui->answers = {IPlatformUi::AnswerCancel};
        QTest::keyClick(l, Qt::Key_Delete);
        QCOMPARE(ui->shown.size(), std::size_t(1));
        QVERIFY(FileExists(files[0]) && FileExists(files[2]));

        l->OnListCommand(ID_LIST_DELETE);
        QCOMPARE(ui->shown.size(), std::size_t(4)); // the command, then each file
        for (const auto& m : ui->shown) {
            QCOMPARE(m.text, std::string("你确定要删除该文件吗？"));
            QCOMPARE(m.caption, std::string("Tavisk美图"));
            QCOMPARE(m.buttons, IPlatformUi::OkCancel);
        }
        QVERIFY(!FileExists(files[0]) && !FileExists(files[2]));
        QCOMPARE(tree->m_arrFolderImages, (std::vector<std::string>{files[1], files[3]}));
        QVERIFY(l->m_arrSelected.empty() && l->m_strCurFile.empty());

        // A file that cannot be deleted stays, in the list as on disk.
        f->m_settings.mDelete = 0;
        ui->shown.clear();
        Click(0);
        if (!SetFolderReadOnly(pics->path().toStdString(), true))
            QSKIP("the folder cannot be made read-only here");
        f->OnCommand(ID_EDIT_DELETE);
        SetFolderReadOnly(pics->path().toStdString(), false);
        QCOMPARE(ui->shown.size(), std::size_t(1));
        QCOMPARE(ui->shown[0].text, std::string("删除文件失败"));
        QVERIFY(FileExists(files[1]));
        QCOMPARE(tree->m_arrFolderImages, (std::vector<std::string>{files[1], files[3]}));
    }

    void openWithTheAssociatedProgramReportsAFailure() {
        ShowFolderOf(2);
        std::vector<std::string> opened;
        List()->m_fnShellOpen = [&](const std::string& p) {
            opened.push_back(p);
            return false;
        };
        Click(1);
        List()->OnListCommand(ID_LIST_OPEN);
        QCOMPARE(opened, std::vector<std::string>{files[1]});
        QCOMPARE(ui->shown.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(ui->shown[0].text)
                    .startsWith(QString("Failed to run \"%1\", Error: ").arg(Q(files[1]))));
        QCOMPARE(ui->shown[0].caption, std::string("Open Failed "));
    }

    void doubleClickOpensThePictureThroughTheLeftPane() {
        ShowFolderOf(3);
        QTest::mouseDClick(List(), Qt::LeftButton, {}, CellCentre(2));
        QCOMPARE(f->GetImgContainer()->GetMode(), 1);
        QVERIFY(f->m_bImageMode);
        QCOMPARE(tree->m_strCurrentFile, files[2]);
        QCOMPARE(f->GetImgContainer()->ImageWnd()->CurrentFile(), files[2]);
        QVERIFY(ThumbExists(files[2]));
    }

    void aFolderChangeForgetsTheSelection() {
        ShowFolderOf(3);
        const std::vector<std::string> old = files;
        Click(0);
        Click(1, Qt::ControlModifier);
        QVERIFY(!List()->m_arrSelected.empty());
        QTemporaryDir other;
        MakePicture(other.path().toStdString() + "/x.bmp", 50, 50, RGB(1, 2, 3));
        // Once while the list is shown, once after the picture window was.
        ShowFolder(other.path().toStdString() + "/");
        QVERIFY(List()->m_arrSelected.empty());
        QVERIFY(List()->m_strCurFile.empty());
        ShowFolder(Dir());
        Click(0);
        Click(1, Qt::ControlModifier);
        f->GetImgContainer()->ShowImageWindow();
        ShowFolder(other.path().toStdString() + "/");
        QVERIFY(List()->m_arrSelected.empty());
        QVERIFY(List()->m_strCurFile.empty());
        QVERIFY(f->OnCommand(ID_EDIT_DELETE));
        for (const std::string& p : old)
            QVERIFY(FileExists(p));
        QVERIFY(ui->shown.empty());
        // Space hides the left pane.
        QTest::keyClick(List(), Qt::Key_Space);
        QVERIFY(!f->m_bLeftPaneShown);
    }
};

QTEST_MAIN(ListWndTest)
#include "test_listwnd.moc"
