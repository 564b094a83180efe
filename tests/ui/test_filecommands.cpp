#include "UiTestSupport.h"
#include "library/BatchRenameDlg.h"
#include "library/ShellTreeCtrl.h"
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

    std::string Dir() const { return S(tmp->path()) + "/"; }

private slots:
    void init() {
        ui = std::make_unique<CScriptedUi>();
        tmp = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
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
};

QTEST_MAIN(FileCommandsTest)
#include "test_filecommands.moc"
