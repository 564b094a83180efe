#include "UiTestSupport.h"
#include "image/Codec.h"
#include "library/StringArchive.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/ImgContainerWnd.h"
#include "app/KelvraApp.h"
#include "app/MainFrame.h"
#include "app/StatusBar.h"
#include "library/TreeContainerWnd.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

class MainFrameTest : public QObject {
    Q_OBJECT
private:
    QAction* Action(CMainFrame* f, int id) {
        for (QAction* a : f->findChildren<QAction*>())
            if (a->data().toInt() == id)
                return a;
        return nullptr;
    }
    std::unique_ptr<CKelvraApp> Start(const std::vector<std::string>& args = {}) {
        return StartApp(1200, 800, args);
    }

private slots:
    void menusCarryTheirExactTexts() {
        ProgramHome home;
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        QCOMPARE(f->windowTitle(), QString("Tavisk看图"));
        QList<QAction*> popups = f->menuBar()->actions();
        QCOMPARE(popups.size(), 7);
        QCOMPARE(popups[0]->text(), QString("文件(&F)"));
        QCOMPARE(popups[6]->text(), QString("帮助(&H)"));
        // Every item of the table is in its popup, text for text.
        for (int i = 0; i < popups.size(); ++i) {
            QMenu* m = popups[i]->menu();
            const MenuItem& popup = MainMenu()[static_cast<std::size_t>(i)];
            QCOMPARE(m->actions().size(), int(popup.items.size()));
            for (int k = 0; k < m->actions().size(); ++k)
                QCOMPARE(m->actions()[k]->text().toStdString(),
                         popup.items[static_cast<std::size_t>(k)].text);
        }
        QCOMPARE(Action(f, ID_FILE_OPEN_IMAGE)->text(), QString("打开     Ctrl+0   "));
        QCOMPARE(Action(f, ID_ADJ_FLIP_TB)->statusTip(), QString("上下翻转  "));
    }

    void toolBarOrderTipsAndDropDown() {
        ProgramHome home;
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        QList<QAction*> acts = f->ToolBar()->actions();
        std::vector<int> ids;
        for (QAction* a : acts)
            ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
        QCOMPARE(ids, ToolBarButtons());
        QCOMPARE(acts[0]->toolTip(), QString("隐藏左侧视图"));
        for (QAction* a : acts)
            if (!a->isSeparator())
                QVERIFY(!a->icon().pixmap(24, 23).isNull());
        QAction* actual = Action(f, ID_ZOOM_ACTUAL_BUTTON);
        auto* button = qobject_cast<QToolButton*>(f->ToolBar()->widgetForAction(actual));
        QVERIFY(button);
        QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(actual->menu()->actions()[0]->text(), QString("实际大小"));
        QCOMPARE(actual->menu()->actions()[1]->data().toInt(), int(ID_ZOOM_FIT));
    }

    void enableRulesFollowTheFrameState() {
        ProgramHome home;
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        f->UpdateCommandUi();
        // Nothing loaded: picture commands are greyed, frame commands are not.
        QVERIFY(!Action(f, ID_ZOOM_IN)->isEnabled());
        QVERIFY(!Action(f, ID_FILE_SAVE_AS)->isEnabled());
        QVERIFY(!Action(f, ID_VIEW_OVERVIEW)->isEnabled());
        QVERIFY(Action(f, ID_VIEW_FULL_SCREEN)->isEnabled());
        QVERIFY(Action(f, ID_APP_ABOUT)->isEnabled());
        QVERIFY(Action(f, ID_VIEW_STATUS_BAR)->isChecked());
        // A greyed command is ignored, whatever asks for it.
        QVERIFY(!f->OnCommand(ID_ZOOM_IN));
        QVERIFY(!f->OnCommand(ID_UNBOUND_HOME));
        QVERIFY(!f->OnCommand(ID_UNBOUND_F7));
    }

    void statusBarPanesAndPaintedLabels() {
        ProgramHome home;
        // A folder of several pictures, so that the strip has something to offer.
        auto app = Start({std::string(KELVRA_SOURCE_DIR) + "/samples/sunset.jpg"});
        CMainFrame* f = app->MainFrame();
        QTRY_VERIFY(f->GetTreeContainer()->StartupDone());
        CStatusBar* bar = f->StatusBar();
        const int widths[] = {198, 45, 40, 80, 80, 40, 120, 180, 40, 40, 500};
        for (int i = 0; i < 11; ++i)
            QCOMPARE(bar->Pane(i)->width(), widths[i]);
        QCOMPARE(bar->PaneText(0), QString("就绪"));
        // The fixed pane widths never make the window wider than a small screen.
        QVERIFY(f->minimumSizeHint().width() < 800);
        f->SetZoom(0.5f);
        QCOMPARE(bar->PaneText(2), QString("50%"));
        QCOMPARE(f->GetPrevZoom(), 0.5f);

        // The labels: black while on, grey while off, and readable by a screen reader.
        CStatusToggle* strip = bar->Toggle(CStatusBar::kStripPane);
        CStatusToggle* overview = bar->Toggle(CStatusBar::kOverviewPane);
        QVERIFY(!strip->IsOn());
        QVERIFY(overview->IsOn());
        auto darkest = [](QWidget* w) {
            QImage img = w->grab().toImage();
            int best = 255;
            for (int y = 3; y < img.height() - 3; ++y)
                for (int x = 4; x < img.width() - 3; ++x)
                    best = std::min(best, qGray(img.pixel(x, y)));
            return best;
        };
        // Black text has pixels darker than grey text can ever make.
        QVERIFY(darkest(overview) < 80);
        QVERIFY(darkest(strip) >= 85);
        QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(strip);
        QVERIFY(acc);
        QCOMPARE(acc->text(QAccessible::Name), QString("缩略图"));
        QAccessibleInterface* zoom = QAccessible::queryAccessibleInterface(bar->Pane(2));
        QCOMPARE(zoom->text(QAccessible::Name), QString("50%"));

        // A click on pane 8 toggles the strip label.
        QTest::mouseClick(strip, Qt::LeftButton);
        QVERIFY(strip->IsOn());
        QVERIFY(darkest(strip) < 80);
        // Pane 9 needs a picture: the click is ignored.
        QTest::mouseClick(overview, Qt::LeftButton);
        QVERIFY(overview->IsOn());
    }

    void fullScreenRestoresTheBarsThatWereVisible() {
        ProgramHome home;
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        QVERIFY(f->OnCommand(ID_VIEW_STATUS_BAR)); // hide the status bar first
        QVERIFY(f->StatusBar()->isHidden());
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Escape);
        QVERIFY(f->m_bFullScreen);
        QVERIFY(f->menuBar()->isHidden());
        QVERIFY(f->ToolBar()->isHidden());
        QCOMPARE(f->LeftPaneWidth(), 0);
        QVERIFY(f->m_bLeftPaneShown); // full screen leaves the flag alone
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Escape);
        QVERIFY(!f->m_bFullScreen);
        QVERIFY(!f->menuBar()->isHidden());
        QVERIFY(!f->ToolBar()->isHidden());
        QVERIFY(f->StatusBar()->isHidden()); // it was hidden before
        QVERIFY(f->LeftPaneWidth() > 0);
    }

    void leftPaneHidesAndComesBackAtItsWidth() {
        ProgramHome home;
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        QCOMPARE(f->LeftPaneWidth(), 200);
        f->Splitter()->setSizes({260, 900});
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Space);
        QCOMPARE(f->LeftPaneWidth(), 0);
        QVERIFY(!f->m_bLeftPaneShown);
        QVERIFY(!f->GetTreeContainer()->isHidden()); // a zero-width column, not a hidden window
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Space);
        QCOMPARE(f->LeftPaneWidth(), 260);

        // Hidden with Space, then full screen and back: the pane shows again while
        // the flag still says hidden; the next Space only sets the flag.
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Space);
        f->OnCommand(ID_VIEW_FULL_SCREEN);
        f->OnCommand(ID_VIEW_FULL_SCREEN);
        QCOMPARE(f->LeftPaneWidth(), 260);
        QVERIFY(!f->m_bLeftPaneShown);
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Space);
        QCOMPARE(f->LeftPaneWidth(), 260);
        QVERIFY(f->m_bLeftPaneShown);
        // Space in full screen never loses the width to come back to.
        f->OnCommand(ID_VIEW_FULL_SCREEN);
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Space);
        f->OnCommand(ID_VIEW_FULL_SCREEN);
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Space);
        QCOMPARE(f->LeftPaneWidth(), 260);
    }

    void firstShowBeforeAnyHideUses150() {
        ProgramHome home;
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        f->HideLeftPane();
        f->ShowLeftPane();
        QCOMPARE(f->LeftPaneWidth(), 150);
    }

    void settingsAreReadAtStartAndWrittenAtExit() {
        ProgramHome home;
        WriteFileAtomically(home.File("System.ini"),
                            "[RightBackColor]\nRed=300\nGreen=0\nBlue=0\n"
                            "[AddTreeWndImgfile]\nmAdd=1\n[ShowLastSee]\nmLastSee=1\n");
        {
            auto app = Start();
            CMainFrame* f = app->MainFrame();
            QCOMPARE(f->m_settings.crRightBack, RGB(44, 0, 0));
            QCOMPARE(f->m_settings.mAdd, 0);
            QCOMPARE(f->m_settings.mDelete, 1);
            QVERIFY(f->GetTreeContainer()->m_bShowLastSee);
            // The right pane paints in the right-pane colour.
            QImage shot = f->GetImgContainer()->grab().toImage();
            QCOMPARE(QColor(shot.pixel(10, 10)), QColor(44, 0, 0));
            f->m_settings.mSave = 1;
        }
        std::string ini = home.File("System.ini");
        QCOMPARE(GetPrivateProfileInt("AddTreeWndImgfile", "mAdd", -1, ini), 0);
        QCOMPARE(GetPrivateProfileInt("AutoSave", "mSave", -1, ini), 1);
        QCOMPARE(GetPrivateProfileInt("RightBackColor", "Red", -1, ini), 44);
        QCOMPARE(GetPrivateProfileInt("TumCrIndiColor", "Blue", -1, ini), 188);
        QCOMPARE(GetPrivateProfileString("CurrentFolder", "Folder", "", ini, 4096),
                 std::string("No Name"));
    }

    void commandLineFolderBecomesCurrentAtFirstPaint() {
        ProgramHome home;
        auto app = Start({"/data/pics/photo.jpg"});
        CMainFrame* f = app->MainFrame();
        QTRY_VERIFY(f->GetTreeContainer()->StartupDone());
        QVERIFY(!f->m_bOpenCmdLineFile);
        QCOMPARE(f->m_strCmdLineFile, std::string("/data/pics/photo.jpg"));
        QCOMPARE(f->m_strCurFolder, std::string("/data/pics"));
        app.reset();
        QCOMPARE(
            GetPrivateProfileString("CurrentFolder", "Folder", "", home.File("System.ini"), 4096),
            std::string("/data/pics"));
    }

    void resetDeletesTheFilesAndExitWritesSettingsAgain() {
        ProgramHome home;
        WriteFileAtomically(home.File("System.ini"), "[TumSize]\nCx=100\n");
        WriteFileAtomically(home.File("tree.sxs"), std::string("\0\0", 2));
        {
            auto app = Start();
            QVERIFY(app->MainFrame()->OnCommand(ID_TOOLS_RESET));
            QVERIFY(!FileExists(home.File("System.ini")));
            QVERIFY(!FileExists(home.File("tree.sxs")));
        }
        QCOMPARE(GetPrivateProfileInt("TumSize", "Cx", 0, home.File("System.ini")), 100);
    }

    void aReadOnlyProgramFolderIsTakenQuietly() {
        ProgramHome home;
        WriteFileAtomically(home.File("System.ini"), "[TumSize]\nCx=90\n");
        std::string pic = home.File("p.bmp");
        CImageBuffer img;
        img.Allocate(40, 30, RGB(1, 2, 3));
        QVERIFY(SaveWholeImage(img, pic));
        QVERIFY(SetFolderReadOnly(home.Path(), true));
        std::size_t messages = 0;
        {
            auto app = Start();
            CScriptedUi ui; // after the app, which puts in the real services
            QCOMPARE(app->MainFrame()->m_settings.nTumCx, 90);
            ui.files.push_back(pic);
            QVERIFY(app->MainFrame()->OnCommand(ID_FILE_OPEN_IMAGE));
            QVERIFY(app->MainFrame()->m_bImageLoaded); // shown, though no thumbnail could be kept
            app->MainFrame()->m_settings.nTumCx = 140;
            app->MainFrame()->close();
            messages = ui.shown.size();
        }
        SetFolderReadOnly(home.Path(), false);
        QCOMPARE(messages, std::size_t(0)); // no message about the settings or the cache
        QCOMPARE(GetPrivateProfileInt("TumSize", "Cx", 0, home.File("System.ini")), 90);
        QVERIFY(!FileExists(home.File("Thumb")));
    }

    void gpsExportWritesTheCurrentFoldersPositions() {
        ProgramHome home;
        auto app = Start({std::string(KELVRA_SOURCE_DIR) + "/samples/harbour.jpg"});
        CMainFrame* f = app->MainFrame();
        QTRY_VERIFY(f->GetTreeContainer()->StartupDone());
        QVERIFY(f->OnCommand(ID_TOOLS_EXPORT_GPS));
        auto bytes = ReadWholeFile(home.File("imggps.gpd"));
        QVERIFY(bytes);
        std::size_t pos = 0;
        auto folder = ReadStringArray(*bytes, pos);
        auto names = ReadStringArray(*bytes, pos);
        QVERIFY(folder && names);
        QCOMPARE(folder->front(), std::string(KELVRA_SOURCE_DIR) + "/samples");
        // The samples hold two JPEG files; only harbour.jpg has a position.
        QCOMPARE(names->size(), std::size_t(2));
        ReadStringArray(*bytes, pos); // dates
        auto latRef = ReadStringArray(*bytes, pos);
        auto lat = ReadStringArray(*bytes, pos);
        int harbour = (*names)[0] == "harbour.jpg" ? 0 : 1;
        QCOMPARE((*latRef)[harbour], std::string("N"));
        QVERIFY(std::abs(std::stod((*lat)[harbour]) - 31.2304) < 1e-4);
        QCOMPARE((*lat)[1 - harbour], std::string("0.000000"));
    }

    void acceleratorsReachTheFrameAndKeypadKeysAreTheirOwn() {
        ProgramHome home;
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        QSignalSpy done(f, &CMainFrame::commandDone);
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Pause);
        QCOMPARE(done.size(), 1);
        QVERIFY(f->GetImgContainer()->m_bPauseRequest);
        // Home and F7 are taken by the frame and do nothing.
        QTest::keyClick(f->GetImgContainer(), Qt::Key_Home);
        QTest::keyClick(f->GetImgContainer(), Qt::Key_F7);
        QCOMPARE(done.size(), 1);
        // Alt+X closes the window.
        QTest::keyClick(f->GetImgContainer(), Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(!f->isVisible());
    }
};

QTEST_MAIN(MainFrameTest)
#include "test_mainframe.moc"
