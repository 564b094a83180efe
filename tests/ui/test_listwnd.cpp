#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
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

class ListWndTest : public QObject, RunningApp {
    Q_OBJECT
    std::vector<std::string> files;

    CImageWndList* List() const { return f->GetImgContainer()->ListWnd(); }
    QColor At(int x, int y) const { return QColor(List()->Backing().pixel(x, y)); }
    // A folder of n pictures 100.bmp ... shown in the list.
    void ShowFolderOf(int n) {
        files.clear();
        for (int i = 0; i < n; ++i)
            files.push_back(MakePicture(pics->File(std::to_string(100 + i) + ".bmp"), 160, 120,
                                        RGB(40 * (i % 6), 200, 90)));
        ShowFolder(pics->Path());
    }
    void ShowFolder(const std::string& folder) {
        pane->ShowFolder(folder);
        f->ShowListMode();
        QTest::qWait(10);
        QVERIFY(List() && List()->isVisible());
    }
    QPoint CellCentre(int i) const {
        const ListRect r = List()->Layout().BoxRect(i);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void Click(int i, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(List(), Qt::LeftButton, mods, CellCentre(i));
    }

private slots:
    void init() {
        Begin();
        Start();
    }
    void cleanup() { End(); }

    void paintsThumbnailsOfViewedPicturesAndPlaceholdersOfTheRest() {
        files = {MakePicture(pics->File("a.bmp"), 400, 300, RGB(250, 0, 0)),
                 MakePicture(pics->File("b.bmp"), 400, 300, RGB(0, 250, 0))};
        pane->ShowFolder(pics->Path());
        pane->OpenPicture(files[1]); // viewing writes its cache file
        ShowFolder(pics->Path());
        QCOMPARE(At(84 + 35, 30), QColor(0, 250, 0)); // the thumbnail at the box's centre
        QCOMPARE(At(0, 0), ToQColor(f->m_settings.crTumCrIndi)); // frames in the settings' colour
        // What is drawn as text can be read by assistive technologies too.
        QCOMPARE(List()->accessibleDescription(), QString("a BMP\nb"));
        // Clearing the cache: the folder goes and every cell is a placeholder.
        QVERIFY(f->OnCommand(ID_TOOLS_CLEAR_THUMBS) && !DirectoryExists(GetThumbFolder()));
        QCOMPARE(At(84 + 18, 22), QColor(12, 131, 156)); // the badge

        // A read-only program folder leaves placeholders and says nothing.
        QVERIFY(SetFolderReadOnly(home->Path(), true));
        pane->OpenPicture(files[0]);
        SetFolderReadOnly(home->Path(), false);
        QVERIFY(f->GetImgContainer()->ImageWnd()->IsLoaded() && ui->shown.empty());
        QVERIFY(!ThumbExists(files[0]));
    }

    void clicksBandsKeysAndTheScrollRange() {
        ShowFolderOf(60);
        CImageWndList* l = List();
        const QColor sel = ToQColor(f->m_settings.crTumCrInfo);
        Click(2);
        QCOMPARE(l->m_strCurFile, files[2]);
        QVERIFY(l->m_arrSelected.empty() && l->m_states.IsSelected(2)); // a plain click marks
        QCOMPARE(At(2 * 84, 0), sel);
        QTest::keyPress(l, Qt::Key_Control);
        QTest::keyClick(l, Qt::Key_A, Qt::ControlModifier);
        QTest::keyRelease(l, Qt::Key_Control);
        QCOMPARE(l->m_arrSelected, files);
        QVERIFY(!l->m_bCtrlDown);

        // The wheel, the arrow keys and the scroll bar stay within 0 ... rows - 2.
        const int maxRow = l->Layout().Rows() - 2;
        QCOMPARE(l->ScrollBar()->maximum(), maxRow);
        for (int i = 0; i < maxRow + 3; ++i) {
            QWheelEvent down(QPointF(50, 50), l->mapToGlobal(QPointF(50, 50)), QPoint(),
                             QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                             false);
            QApplication::sendEvent(l, &down);
        }
        QVERIFY(l->m_nTopRow == maxRow && l->ScrollBar()->value() == maxRow);
        QCOMPARE(l->Texts().front().index, maxRow * l->Layout().Columns());
        // Below the last file nothing is hit and the selection goes.
        QTest::mouseClick(l, Qt::LeftButton, {}, QPoint(l->width() / 2, l->height() - 5));
        QVERIFY(l->m_strCurFile.empty() && l->m_arrSelected.empty() && !l->m_states.IsSelected(2));
    }

    void copyMoveAndOpenTheSelectionOrTheClickedFile() {
        ShowFolderOf(4);
        CImageWndList* l = List();
        const std::string out = pics->File("out/");
        std::filesystem::create_directory(out);
        QStringList texts;
        for (QAction* a : l->ContextMenu()->actions())
            texts << QString("%1 %2").arg(a->data().toInt()).arg(a->text());
        QCOMPARE(l->ContextMenu()->title(), QString("列表菜单"));
        QCOMPARE(texts, QStringList({"33043 打开", "33041 复制到", "33042 移动到", "33038 删除"}));
        // Without a selection the clicked file is the target; a cancelled
        // chooser changes nothing.
        Click(1);
        l->OnListCommand(ID_LIST_COPY_TO);
        QCOMPARE(ui->folderTitles.back(), std::string("请选择目录"));
        QVERIFY(!FileExists(out + "101.bmp"));
        ui->folders.push_back(out);
        l->OnListCommand(ID_LIST_COPY_TO);
        QVERIFY(FileExists(out + "101.bmp"));
        // Move 100 and 101: 101 exists at the target and stays where it is, listed.
        Click(0, Qt::ControlModifier);
        Click(1, Qt::ControlModifier);
        ui->folders.push_back(out);
        f->OnCommand(ID_EDIT_MOVE);
        QVERIFY(FileExists(out + "100.bmp") && !FileExists(files[0]) && FileExists(files[1]));
        QCOMPARE(pane->m_arrFolderImages, (std::vector<std::string>{files[1], files[2], files[3]}));
        QVERIFY(l->m_arrSelected.empty() && l->m_states.Count() == 3);
        QCOMPARE(l->Texts().front().caption, std::string("101"));
    }

    void deleteAsksOnceForTheCommandAndOncePerFile() {
        ShowFolderOf(4);
        CImageWndList* l = List();
        f->m_settings.mDelete = 1;
        Click(0, Qt::ControlModifier);
        Click(2, Qt::ControlModifier);
        ui->answers = {IPlatformUi::AnswerCancel};
        QTest::keyClick(l, Qt::Key_Delete);
        QVERIFY(ui->shown.size() == 1 && FileExists(files[0]) && FileExists(files[2]));
        l->OnListCommand(ID_LIST_DELETE);
        QCOMPARE(ui->shown.size(), std::size_t(4)); // the command, then each file
        QCOMPARE(ui->shown.back().text, std::string("你确定要删除该文件吗？"));
        QVERIFY(!FileExists(files[0]) && !FileExists(files[2]));
        QCOMPARE(pane->m_arrFolderImages, (std::vector<std::string>{files[1], files[3]}));
        QVERIFY(l->m_arrSelected.empty() && l->m_strCurFile.empty());
        // A file that cannot be deleted stays, in the list as on disk.
        f->m_settings.mDelete = 0;
        Click(0);
        QVERIFY(SetFolderReadOnly(pics->Path(), true));
        f->OnCommand(ID_EDIT_DELETE);
        SetFolderReadOnly(pics->Path(), false);
        QCOMPARE(ui->shown.back().text, std::string("删除文件失败"));
        QCOMPARE(pane->m_arrFolderImages, (std::vector<std::string>{files[1], files[3]}));
    }

    void aFolderChangeForgetsTheSelection() {
        ShowFolderOf(3);
        auto other = std::make_unique<TempDir>();
        MakePicture(other->File("x.bmp"), 50, 50, RGB(1, 2, 3));
        // Once while the list is shown, once after the picture window was.
        for (bool viaPicture : {false, true}) {
            ShowFolder(pics->Path());
            Click(0);
            Click(1, Qt::ControlModifier);
            if (viaPicture)
                f->GetImgContainer()->ShowImageWindow();
            ShowFolder(other->Path());
            QVERIFY(List()->m_arrSelected.empty() && List()->m_strCurFile.empty());
        }
        QVERIFY(f->OnCommand(ID_EDIT_DELETE)); // nothing to delete, nothing asked
        QVERIFY(ui->shown.empty() && FileExists(files[0]) && FileExists(files[1]));
    }

    void theBackgroundMakerFillsTheCellsWhileTheOptionIsOn() {
        ShowFolderOf(3);
        f->m_settings.mAutoThumb = 1;
        f->GetImgContainer()->RestartThumbnails(); // as after the options sheet's OK
        // The cells fill as their files appear, with no command of the user.
        QTRY_COMPARE_WITH_TIMEOUT(At(2 * 84 + 35, 30), QColor(80, 200, 90), 10000);
    }
};

QTEST_MAIN(ListWndTest)
#include "test_listwnd.moc"
