#include "ScriptedFileOps.h"
#include "ScriptedLauncher.h"
#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "library/ShellTreeCtrl.h"
#include "library/TreeContainerWnd.h"
#include "thumbs/ExifRows.h"
#include "thumbs/ImageWndList.h"
#include "thumbs/SmallDialogs.h"
#include "platform/QtUtil.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cerrno>
#include <filesystem>

namespace {

// Runs fn on the modal dialog of that object name once it is shown (inside
// its event loop), for the test to fill it in and close it; after five
// seconds without it, whatever dialog is open is closed instead.
void OnDialog(const QString& name, std::function<void(QDialog*)> fn, int ticks = 500) {
    QTimer::singleShot(10, qApp, [=] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dlg && dlg->isVisible() && dlg->objectName() == name)
            fn(dlg);
        else if (ticks > 0)
            OnDialog(name, fn, ticks - 1);
        else if (dlg)
            dlg->reject();
    });
}

QLineEdit* Edit(QWidget* dlg, const char* name) {
    return dlg->findChild<QLineEdit*>(name);
}

// Fills the edits of a dialog and presses Enter.
void Answer(const QString& dialog, std::vector<std::pair<const char*, std::string>> fields) {
    OnDialog(dialog, [fields](QDialog* d) {
        for (const auto& [name, text] : fields)
            Edit(d, name)->setText(Q(text));
        QTest::keyClick(d, Qt::Key_Return);
    });
}

} // namespace

class FileCommandsTest : public QObject, RunningApp {
    Q_OBJECT

    std::string Dir() const { return pics->Path(); }

    void CtrlKey(Qt::Key key) {
        QTest::keyClick(f->GetImgContainer()->ImageWnd(), key, Qt::ControlModifier);
    }
    // The picture is still on the screen, but there is no current file.
    void VerifyShownWithoutFile(const char* position) {
        QVERIFY(f->m_bImageLoaded && f->GetImgContainer()->ImageWnd()->IsLoaded());
        QVERIFY(pane->GetCurrentFile().empty());
        QCOMPARE(f->GetStatusText(1), std::string(position));
    }

private slots:
    void init() {
        Begin();
        Start(1000, 700);
    }
    void cleanup() { End(); }

    void renameMoveAndDeleteTheShownPicture() {
        std::vector<std::string> files;
        for (int k = 0; k < 3; ++k)
            files.push_back(MakePicture(Dir() + "p" + std::to_string(k) + ".bmp", 80, 60, 0));
        pane->ShowFolder(Dir());
        pane->OpenPicture(files[1]);
        CScriptedLauncher launcher; // the tree's "打开"
        QVERIFY(pane->OnPaneCommand(ID_TREE_OPEN));
        QCOMPARE(launcher.opened, std::vector<std::string>{files[1]});
        Answer("RenameDlg", {{"Name", "renamed"}});
        CtrlKey(Qt::Key_R);
        files[1] = Dir() + "renamed.bmp";
        QVERIFY(FileExists(files[1]));
        QCOMPARE(pane->m_arrFolderImages, (std::vector<std::string>{files[0], files[1], files[2]}));
        QCOMPARE(pane->GetCurrentFile(), files[1]);
        QCOMPARE(f->GetStatusText(1), std::string("2/3"));

        pane->OpenPicture(files[0]);
        const std::string out = Dir() + "out/";
        std::filesystem::create_directory(out);
        // The move dialog starts with the current folder and the base name.
        OnDialog("FolderNameDlg", [&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QString("移动文件"));
            QCOMPARE(Edit(d, "Folder")->text(), Q(Dir()));
            QCOMPARE(Edit(d, "FileName")->text(), QString("p0"));
            Edit(d, "Folder")->setText(Q(out));
            Edit(d, "FileName")->setText("new.txt");
            QTest::keyClick(d, Qt::Key_Return);
        });
        QVERIFY(f->OnCommand(ID_EDIT_MOVE));
        QVERIFY(FileExists(out + "new.bmp") && !FileExists(files[0]));
        QCOMPARE(pane->m_arrFolderImages, (std::vector<std::string>{files[1], files[2]}));
        VerifyShownWithoutFile("0/2");

        // Without a current file the commands do nothing.
        for (int id : {ID_VIEW_RELOAD, ID_EDIT_RENAME, ID_EDIT_DELETE, ID_EDIT_MOVE})
            QVERIFY(f->OnCommand(id));
        VerifyShownWithoutFile("0/2");
        QVERIFY(f->OnCommand(ID_NEED_FILE));
        QCOMPARE(ui->shown.back().text, std::string("Please select a Image file first!    "));

        pane->OpenPicture(files[1]);
        f->m_settings.mDelete = 0;
        {
            CScriptedFileOps failing(CScriptedFileOps::Failing(EFileOp::kDelete, EACCES));
            QVERIFY(f->OnCommand(ID_EDIT_DELETE));
            QCOMPARE(ui->shown.back().text, std::string("删除文件失败"));
            QCOMPARE(pane->GetCurrentFile(), files[1]);
        }
        QVERIFY(f->OnCommand(ID_EDIT_DELETE));
        QVERIFY(!FileExists(files[1]));
        QCOMPARE(pane->m_arrFolderImages, std::vector<std::string>{files[2]});
        VerifyShownWithoutFile("0/1");
    }

    // The tree's side: Delete there means the tree's picture, even while the
    // thumbnail list is shown, and nothing with a folder picked; batch rename
    // numbers the pictures among the picked item's siblings, each in its own
    // folder.
    void treeDeleteAndBatchRename() {
        for (const char* name : {"a.bmp", "c.bmp", "e.bmp"})
            MakePicture(Dir() + name, 20, 20, RGB(9, 9, 9));
        std::filesystem::create_directory(Dir() + "b");
        // Files are shown from this folder on only: the running count is 3.
        CShellTreeCtrl* tree = pane->FolderTree();
        QTreeWidgetItem* folder = tree->SelectPath(Dir());
        f->m_settings.mAdd = 1;
        f->m_settings.mDelete = 0;
        tree->Refresh(folder);
        CImageWndList* list = f->GetImgContainer()->ListWnd();
        list->m_arrSelected = {Dir() + "a.bmp"};
        QTest::keyClick(tree, Qt::Key_Delete);
        tree->setCurrentItem(folder->child(2)); // c.bmp, shown
        Answer("BatchRenameDlg", {{"Description", "T"}});
        CtrlKey(Qt::Key_N);
        QStringList labels;
        for (int i = 0; i < folder->childCount(); ++i)
            labels << folder->child(i)->text(0);
        QCOMPARE(labels, (QStringList{"T1.bmp", "b", "T2.bmp", "T3.bmp"}));
        QCOMPARE(pane->m_arrFolderImages,
                 (std::vector<std::string>{Dir() + "T1.bmp", Dir() + "T2.bmp", Dir() + "T3.bmp"}));
        QCOMPARE(pane->GetCurrentFile(), Dir() + "T2.bmp");

        QVERIFY(f->OnCommand(ID_VIEW_LIST));
        list->m_arrSelected = {Dir() + "T1.bmp"};
        QTest::keyClick(tree, Qt::Key_Delete);
        QVERIFY(FileExists(Dir() + "T1.bmp") && !FileExists(Dir() + "T2.bmp"));

        tree->setCurrentItem(folder->child(1)); // the folder b
        Answer("BatchRenameDlg", {{"Description", "X"}});
        CtrlKey(Qt::Key_N);
        QVERIFY(FileExists(Dir() + "X1.bmp") && FileExists(Dir() + "X2.bmp"));
        QVERIFY(std::filesystem::is_empty(Dir() + "b"));
        QVERIFY(ui->shown.empty());
    }

    // F2 and F3 with the sheet and the search dialog answered by the test.
    void fileInformationAndSearch() {
        const std::string jpg = Dir() + "a.jpg", png = Dir() + "b.png", boat = Dir() + "c/boat.bmp";
        CImageBuffer img;
        QVERIFY(img.Allocate(64, 48) && SaveImageFile(img, 0, 0, 64, 48, jpg, kFormatJpeg) &&
                SaveImageFile(img, 0, 0, 64, 48, png, kFormatPng));
        pane->ShowFolder(Dir());
        CImageWnd* wnd = f->GetImgContainer()->ImageWnd();
        for (const std::string& file : {jpg, png}) { // a PNG has no EXIF rows
            pane->OpenPicture(file);
            std::vector<std::string> tags, values;
            FillExifRows(file, tags, values);
            QStringList shown, expected{Q(file), "64x48", "24bit"};
            for (std::size_t i = 0; i < tags.size(); ++i)
                expected << Q(tags[i]) << Q(values[i]);
            OnDialog("FileInfoSheet", [&](QDialog* d) {
                d->reject();
                auto* page = d->findChild<CFileProperties*>();
                shown << page->m_editPath->text() << page->m_fields[2]->text()
                      << page->m_fields[3]->text();
                auto* list = d->findChild<QTreeWidget*>("ExifList");
                for (int i = 0; i < list->topLevelItemCount(); ++i)
                    shown << list->topLevelItem(i)->text(0) << list->topLevelItem(i)->text(1);
            });
            QTest::keyClick(wnd, Qt::Key_F2);
            QVERIFY(shown == expected && tags.empty() == (file == png));
        }
        pane->OpenPicture(Dir() + "gone.jpg"); // a failed load leaves no facts of the one before
        QVERIFY(f->GetStatusText(4).empty() && f->GetStatusText(6).empty());

        std::filesystem::create_directory(Dir() + "c");
        MakePicture(boat, 20, 20, RGB(1, 2, 3));
        f->m_settings.mAdd = 1;
        QVERIFY(pane->OnPaneCommand(ID_TREE_RELOAD)); // the tree lists files
        for (const auto& [name, message] :
             {std::pair{"zzz", "没有找到:zzz"}, std::pair{"boat", ""}}) {
            ui->shown.clear();
            QStringList seen;
            OnDialog("FolderNameDlg", [&, name = name](QDialog* d) {
                seen << d->windowTitle() << Edit(d, "Folder")->text();
                Edit(d, "Folder")->setText(Q(Dir() + "c//"));
                Edit(d, "FileName")->setText(name);
                QTest::keyClick(d, Qt::Key_Return);
            });
            QTest::keyClick(wnd, Qt::Key_F3);
            QCOMPARE(seen, (QStringList{"搜索文件", Q(Dir())}));
            QCOMPARE(ui->shown.empty() ? "" : ui->shown.back().text, std::string(message));
        }
        QVERIFY(pane->GetCurrentFile() == boat && wnd->CurrentFile() == boat && f->m_bImageLoaded &&
                pane->FolderTree()->GetSelectedPath() == boat && !pane->m_bFolderSelected);

        f->m_settings.mDelete = 0;
        QVERIFY(f->OnCommand(ID_EDIT_DELETE)); // shown, but no current file any more
        QTest::keyClick(wnd, Qt::Key_F2);
        QCOMPARE(ui->shown.back().text, std::string("Please Selected a file First"));
        f->ShowListMode(); // the folder tree's "搜索文件" is there while the list shows too
        QVERIFY(pane->IsPaneCommandEnabled(ID_TREE_SEARCH));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "test_filecommands.moc"
