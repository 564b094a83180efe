#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "app/StatusBar.h"
#include "library/StringArchive.h"
#include "library/TreeContainerWnd.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QToolBar>

class MainFrameTest : public QObject, RunningApp {
    Q_OBJECT

private slots:
    void init() { Begin(); }
    void cleanup() { End(); }

    void menusToolBarAndKeysComeFromTheTables() {
        Start();
        const QList<QAction*> popups = f->menuBar()->actions();
        QCOMPARE(std::size_t(popups.size()), MainMenu().size());
        for (int i = 0; i < popups.size(); ++i) {
            const auto& items = MainMenu()[std::size_t(i)].items;
            QCOMPARE(std::size_t(popups[i]->menu()->actions().size()), items.size());
            for (std::size_t k = 0; k < items.size(); ++k)
                QCOMPARE(popups[i]->menu()->actions()[int(k)]->text().toStdString(), items[k].text);
        }
        std::vector<int> ids;
        for (QAction* a : f->ToolBar()->actions())
            ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
        QCOMPARE(ids, ToolBarButtons());
        // Nothing loaded: a picture command is ignored. Accelerators are caught
        // before any window; Home and F7 do nothing; Alt+X closes the window.
        QVERIFY(!f->OnCommand(ID_ZOOM_IN));
        QSignalSpy done(f, &CMainFrame::commandDone);
        for (Qt::Key key : {Qt::Key_Pause, Qt::Key_Home, Qt::Key_F7})
            QTest::keyClick(f->GetImgContainer(), key);
        QVERIFY(done.size() == 1 && f->GetImgContainer()->m_bPauseRequest);
        QTest::keyClick(f->GetImgContainer(), Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(!f->isVisible());
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
};

QTEST_MAIN(MainFrameTest)
#include "test_mainframe.moc"
