#include "ScriptedFileOps.h"
#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "image/ImageWnd.h"
#include "library/BatchRenameDlg.h"
#include "library/ShellTreeCtrl.h"
#include "library/TreeContainerWnd.h"
#include "platform/FileOps.h"
#include "platform/QtUtil.h"
#include "thumbs/FolderChooser.h"
#include "thumbs/SmallDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <functional>

namespace {

// Runs fn on the modal dialog of that object name once it is shown (from
// inside its event loop), so that a test fills it in and closes it. A dialog
// that is still open after five seconds is closed, failing the test.
void OnDialog(const QString& name, std::function<void(QDialog*)> fn) {
    auto* timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dlg && dlg->isVisible() && dlg->objectName() == name) {
            timer->stop();
            timer->deleteLater();
            fn(dlg);
        } else if (++*waited > 500) {
            timer->stop();
            timer->deleteLater();
            if (dlg)
                dlg->reject();
        }
    });
    timer->start(10);
}

template <class T> T* Find(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromUtf8(name));
}

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CScriptedUi> ui;
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<ProgramHome> home;
    std::unique_ptr<CKelvraApp> app;
    CMainFrame* f = nullptr;
    CTreeContainerWnd* pane = nullptr;
    std::vector<std::string> files;

    std::string Dir() const { return S(tmp->path()) + "/"; }

    // The program with a folder of n pictures p0.bmp ... made current and
    // picture i shown from the left pane.
    void ShowPicture(int n, int i) {
        home = std::make_unique<ProgramHome>();
        ui.reset(); // the program installs its own desktop services first
        app = StartApp(1000, 700);
        QVERIFY(app);
        ui = std::make_unique<CScriptedUi>();
        f = app->MainFrame();
        pane = f->GetTreeContainer();
        for (int k = 0; k < n; ++k)
            files.push_back(
                MakePicture(Dir() + "p" + std::to_string(k) + ".bmp", 80, 60, RGB(200, 40 * k, 0)));
        pane->ShowFolder(Dir());
        pane->OpenPicture(files[static_cast<std::size_t>(i)]);
        QVERIFY(f->m_bImageMode && f->m_bImageLoaded);
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        QTest::keyClick(f->GetImgContainer()->ImageWnd(), Qt::Key(key), mods);
    }
    // The shown picture is still on the screen, without a current file.
    void VerifyShownWithoutFile() {
        QVERIFY(f->m_bImageLoaded && f->GetImgContainer()->ImageWnd()->IsLoaded());
        QVERIFY(pane->GetCurrentFile().empty());
    }

private slots:
    void init() {
        ui = std::make_unique<CScriptedUi>();
        tmp = std::make_unique<QTemporaryDir>();
        files.clear();
    }
    void cleanup() {
        app.reset();
        home.reset();
        tmp.reset();
        ui.reset();
    }

    // -----------------------------------------------------------------------
    // The small dialogs

    void renameDialogShowsTheNameAndReturnsWhatWasTyped() {
        CRenameDlg dlg;
        dlg.m_strName = "a.b";
        OnDialog("RenameDlg", [](QDialog* d) {
            QCOMPARE(d->windowTitle(), QString("重命名"));
            auto* edit = Find<QLineEdit>(d, "Name");
            QCOMPARE(edit->text(), QString("a.b"));
            edit->clear(); // an empty name comes back as it is
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QCOMPARE(dlg.DoModal(), int(QDialog::Accepted));
        QCOMPARE(dlg.m_strName, std::string());

        dlg.m_strName = "kept";
        OnDialog("RenameDlg", [](QDialog* d) {
            Find<QLineEdit>(d, "Name")->setText("other");
            QTest::keyClick(d, Qt::Key_Escape);
        });
        QCOMPARE(dlg.DoModal(), int(QDialog::Rejected));
        QCOMPARE(dlg.m_strName, std::string("kept"));
    }

    void folderNameDialogBrowsesForItsFolder() {
        CFolderNameDlg dlg;
        dlg.m_strCaption = "移动文件";
        dlg.m_strFolder = S(tmp->path());
        dlg.m_strFileName = "sunset";
        const std::string made = Dir() + "new/sub";
        OnDialog("FolderNameDlg", [&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QString("移动文件"));
            QCOMPARE(Find<QLineEdit>(d, "FileName")->text(), QString("sunset"));
            OnDialog("FolderChooser", [&](QDialog* c) {
                QCOMPARE(c->windowTitle(), QString("Tavisk美图浏览"));
                // The chooser starts in the typed folder.
                auto* edit = Find<QLineEdit>(c, "PathEdit");
                QCOMPARE(edit->text(), tmp->path());
                edit->setText(Q(made));
                QTest::keyClick(edit, Qt::Key_Return); // "create it?" Yes
            });
            Find<QPushButton>(d, "Browse")->click();
            QCOMPARE(Find<QLineEdit>(d, "Folder")->text(), Q(made));
            QTest::keyClick(Find<QLineEdit>(d, "FileName"), Qt::Key_Return);
        });
        QCOMPARE(dlg.DoModal(), int(QDialog::Accepted));
        QCOMPARE(dlg.m_strFolder, made);
        QVERIFY(DirectoryExists(made));
        QCOMPARE(ui->shown.size(), std::size_t(1));
    }

    void chooserStaysOpenUntilThePathPassesItsCheck() {
        CFolderChooser chooser("", "请选择目录", Dir() + "missing", nullptr);
        OnDialog("FolderChooser", [&](QDialog* c) {
            QCOMPARE(c->windowTitle(), QString("浏览文件夹"));
            auto* chooserWnd = static_cast<CFolderChooser*>(c);
            QLineEdit* edit = chooserWnd->PathEdit();
            // A missing start folder: the home folder is picked.
            QCOMPARE(edit->text(), QDir::homePath());
            edit->setText("relative/x");
            chooserWnd->OkButton()->click();
            QVERIFY(c->isVisible());
            QVERIFY(QString::fromStdString(ui->shown.back().text)
                        .endsWith("is invalid. Please reenter."));
            edit->clear();
            QVERIFY(!chooserWnd->OkButton()->isEnabled());
            chooserWnd->Tree()->setCurrentItem(chooserWnd->Tree()->RootItem());
            QCOMPARE(edit->text(), QString("/"));
            QVERIFY(chooserWnd->OkButton()->isEnabled());
            c->reject();
        });
        QCOMPARE(chooser.DoModal(), -1);
    }

    void batchRenameDialogDefaultsAndFields() {
        CBatchRenameDlg dlg;
        OnDialog("BatchRenameDlg", [](QDialog* d) {
            QCOMPARE(d->windowTitle(), QString("批量命名"));
            auto* combo = Find<QComboBox>(d, "Position");
            QCOMPARE(combo->count(), 3);
            QCOMPARE(combo->itemText(0) + combo->itemText(1) + combo->itemText(2),
                     QString("后面中间前面"));
            QCOMPARE(combo->currentIndex(), 0);
            auto* edit = Find<QLineEdit>(d, "Description");
            QCOMPARE(edit->text(), QString("NO_"));
            combo->setCurrentIndex(1);
            edit->setText("A*B");
            Find<QPushButton>(d, "OK")->click();
        });
        QCOMPARE(dlg.DoModal(), int(QDialog::Accepted));
        QCOMPARE(dlg.m_nPosition, 1);
        QCOMPARE(dlg.m_strDesc, std::string("A*B"));
    }

    void filePropertiesShowsItsEightFields() {
        CFileProperties page;
        QCOMPARE(page.windowTitle(), QString("文件属性"));
        page.m_strPath = "/p/sunset.jpg";
        page.m_strFileName = "sunset.jpg";
        page.m_strAccessed = "2024-05-01";
        page.UpdateData();
        QCOMPARE(page.m_editPath->text(), QString("/p/sunset.jpg"));
        QVERIFY(page.m_editPath->isReadOnly());
        QCOMPARE(page.m_fields[0]->text(), QString("sunset.jpg"));
        QCOMPARE(page.m_fields[6]->text(), QString("2024-05-01"));
    }

    // -----------------------------------------------------------------------
    // The commands on the shown picture

    void renameTheShownPictureWithCtrlR() {
        ShowPicture(3, 1);
        OnDialog("RenameDlg", [](QDialog* d) {
            auto* edit = Find<QLineEdit>(d, "Name");
            QCOMPARE(edit->text(), QString("p1"));
            edit->setText("renamed");
            QTest::keyClick(edit, Qt::Key_Return);
        });
        Key(Qt::Key_R);
        const std::string renamed = Dir() + "renamed.bmp";
        QVERIFY(FileExists(renamed) && !FileExists(files[1]));
        QCOMPARE(pane->m_arrFolderImages, (std::vector<std::string>{files[0], renamed, files[2]}));
        QCOMPARE(pane->GetCurrentFile(), renamed);
        QCOMPARE(f->GetStatusText(1), std::string("2/3"));
        QVERIFY(ui->shown.empty());

        // A taken name and an empty one are refused; nothing moves.
        for (auto [typed, message] :
             {std::pair<QString, std::string>{"p0", "输入的文件名，已经存在!"},
              {"", "重命名文件失败"}}) {
            OnDialog("RenameDlg", [typed = typed](QDialog* d) {
                Find<QLineEdit>(d, "Name")->setText(typed);
                QTest::keyClick(d, Qt::Key_Return);
            });
            Key(Qt::Key_R);
            QCOMPARE(ui->shown.back().text, message);
            QCOMPARE(ui->shown.back().caption, std::string("Tavisk看图"));
        }
        QVERIFY(FileExists(renamed) && FileExists(files[0]));
    }

    void deleteTheShownPictureKeepsItOnScreen() {
        ShowPicture(3, 1);
        f->m_settings.mDelete = 1;
        QVERIFY(f->QueryCommand(ID_EDIT_DELETE).enabled);
        ui->answers = {IPlatformUi::AnswerCancel};
        Key(Qt::Key_Delete, Qt::NoModifier);
        QVERIFY(FileExists(files[1]));
        {
            // A failed delete says so and keeps the picture listed.
            CScriptedFileOps failing(CScriptedFileOps::Failing(EFileOp::kDelete, EACCES));
            QVERIFY(f->OnCommand(ID_EDIT_DELETE));
            QCOMPARE(ui->shown.back().text, std::string("删除文件失败"));
            QCOMPARE(pane->m_arrFolderImages.size(), std::size_t(3));
            QCOMPARE(pane->GetCurrentFile(), files[1]);
        }
        f->m_settings.mDelete = 0;
        const std::size_t asked = ui->shown.size();
        QVERIFY(f->OnCommand(ID_EDIT_DELETE));
        QCOMPARE(ui->shown.size(), asked); // no question with mDelete off
        QVERIFY(!FileExists(files[1]));
        QCOMPARE(pane->m_arrFolderImages, (std::vector<std::string>{files[0], files[2]}));
        VerifyShownWithoutFile();
        QCOMPARE(f->GetStatusText(1), std::string("0/2"));

        // Without a current file: copy asks for one, reload keeps the picture,
        // delete and rename do nothing.
        Key(Qt::Key_C);
        QCOMPARE(ui->shown.back().text, std::string("请选择一个图形文件！"));
        QVERIFY(ui->folderTitles.empty());
        QVERIFY(f->OnCommand(ID_VIEW_RELOAD));
        QVERIFY(f->OnCommand(ID_EDIT_RENAME));
        QVERIFY(f->OnCommand(ID_EDIT_DELETE));
        VerifyShownWithoutFile();
        QVERIFY(f->OnCommand(ID_NEED_FILE));
        QCOMPARE(ui->shown.back().text, std::string("Please select a Image file first!    "));
        QCOMPARE(pane->m_arrFolderImages.size(), std::size_t(2));
    }

    void moveTheShownPictureAway() {
        ShowPicture(2, 0);
        const std::string out = Dir() + "out/";
        std::filesystem::create_directory(out);
        MakePicture(out + "taken.bmp", 10, 10, RGB(1, 2, 3));
        auto answer = [&](const std::string& name) {
            OnDialog("FolderNameDlg", [&, name](QDialog* d) {
                QCOMPARE(d->windowTitle(), QString("移动文件"));
                QCOMPARE(Find<QLineEdit>(d, "Folder")->text(), Q(pane->GetCurrentFolder()));
                QCOMPARE(Find<QLineEdit>(d, "FileName")->text(), QString("p0"));
                Find<QLineEdit>(d, "Folder")->setText(Q(out));
                Find<QLineEdit>(d, "FileName")->setText(Q(name));
                QTest::keyClick(d, Qt::Key_Return);
            });
            QVERIFY(f->OnCommand(ID_EDIT_MOVE));
        };
        answer("taken");
        QCOMPARE(ui->shown.back().text, std::string("移动文件失败"));
        QVERIFY(FileExists(files[0]));
        QCOMPARE(pane->m_arrFolderImages.size(), std::size_t(2));

        answer("new.txt");
        QVERIFY(FileExists(out + "new.bmp") && !FileExists(files[0]));
        QCOMPARE(pane->m_arrFolderImages, std::vector<std::string>{files[1]});
        VerifyShownWithoutFile();
        QCOMPARE(f->GetStatusText(1), std::string("0/1"));
    }

    void copyTheShownPictureWithCtrlC() {
        ShowPicture(1, 0);
        const std::string out = Dir() + "out/";
        std::filesystem::create_directory(out);
        ui->folders = {out};
        Key(Qt::Key_C);
        QCOMPARE(ui->folderTitles, std::vector<std::string>{"请选择目录"});
        QVERIFY(FileExists(out + "p0.bmp"));
        QVERIFY(ui->shown.empty());
        CScriptedFileOps failing(CScriptedFileOps::Failing(EFileOp::kCopy, ENOSPC));
        ui->folders = {out};
        Key(Qt::Key_C);
        QCOMPARE(ui->shown.back().text, std::string("复制文件失败"));
        QCOMPARE(pane->GetCurrentFile(), files[0]);
    }

    void batchRenameNumbersThePicturesOfTheTree() {
        home = std::make_unique<ProgramHome>();
        ui.reset();
        app = StartApp(1000, 700);
        QVERIFY(app);
        ui = std::make_unique<CScriptedUi>();
        f = app->MainFrame();
        pane = f->GetTreeContainer();
        for (const char* name : {"a.bmp", "c.bmp", "e.bmp"})
            MakePicture(Dir() + name, 20, 20, RGB(9, 9, 9));
        std::filesystem::create_directory(Dir() + "b");
        // Files are shown from this folder on only, so that the running count
        // holds its three pictures.
        CShellTreeCtrl* tree = pane->FolderTree();
        QTreeWidgetItem* folder = tree->SelectPath(Dir());
        QVERIFY(folder);
        f->m_settings.mAdd = 1;
        tree->Refresh(folder);
        QCOMPARE(folder->childCount(), 4);
        auto batch = [&](const char* desc) {
            OnDialog("BatchRenameDlg", [desc](QDialog* d) {
                Find<QLineEdit>(d, "Description")->setText(desc);
                QTest::keyClick(d, Qt::Key_Return);
            });
            Key(Qt::Key_N);
        };
        auto child = [&](const QString& text) {
            for (int i = 0; i < folder->childCount(); ++i)
                if (folder->child(i)->text(0) == text)
                    return folder->child(i);
            return static_cast<QTreeWidgetItem*>(nullptr);
        };
        tree->setCurrentItem(child("c.bmp")); // shown
        QCOMPARE(pane->GetCurrentFile(), Dir() + "c.bmp");
        for (int run = 0; run < 2; ++run) { // the second run changes nothing
            batch("T");
            QStringList labels;
            for (int i = 0; i < folder->childCount(); ++i)
                labels << folder->child(i)->text(0);
            QCOMPARE(labels, (QStringList{"T1.bmp", "b", "T2.bmp", "T3.bmp"}));
            QCOMPARE(
                pane->m_arrFolderImages,
                (std::vector<std::string>{Dir() + "T1.bmp", Dir() + "T2.bmp", Dir() + "T3.bmp"}));
            QCOMPARE(pane->GetCurrentFile(), Dir() + "T2.bmp");
        }
        // With the folder b picked, its siblings keep their own folder.
        tree->setCurrentItem(child("b"));
        QCOMPARE(pane->GetCurrentFolder(), Dir() + "b");
        batch("X");
        QVERIFY(FileExists(Dir() + "X1.bmp") && FileExists(Dir() + "X3.bmp"));
        QVERIFY(std::filesystem::is_empty(Dir() + "b"));
        QVERIFY(ui->shown.empty());
    }
};

QTEST_MAIN(FileCommandsTest)
#include "test_filecommands.moc"
