#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/KelvraApp.h"
#include "app/MainFrame.h"
#include "library/FavoritesTree.h"
#include "library/FolderTree.h"
#include "library/ShellTreeCtrl.h"
#include "library/StringArchive.h"
#include "image/ImageWnd.h"
#include "library/TreeContainerWnd.h"
#include "platform/FileOps.h"
#include "thumbs/IconComboBox.h"

#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A home folder of its own for one test (the tree's second top-level item).
class FakeHome {
public:
    FakeHome() {
        if (const char* h = std::getenv("HOME"))
            m_old = h;
        ::setenv("HOME", m_dir.path().toUtf8().constData(), 1);
    }
    ~FakeHome() { ::setenv("HOME", m_old.c_str(), 1); }
    std::string Path() const { return m_dir.path().toStdString(); }
    std::string operator/(const std::string& rel) const { return Path() + "/" + rel; }
    void Dir(const std::string& rel) const { fs::create_directories(*this / rel); }
    void File(const std::string& rel, const std::string& bytes = "x") const {
        fs::create_directories(fs::path(*this / rel).parent_path());
        std::ofstream(*this / rel, std::ios::binary) << bytes;
    }
    void Picture(const std::string& rel) const {
        fs::create_directories(fs::path(*this / rel).parent_path());
        fs::copy_file(std::string(KELVRA_SOURCE_DIR) + "/samples/sunset.jpg", *this / rel,
                      fs::copy_options::overwrite_existing);
    }

private:
    QTemporaryDir m_dir;
    std::string m_old;
};

QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& text) {
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    return nullptr;
}

QStringList Texts(QTreeWidgetItem* parent) {
    QStringList out;
    for (int i = 0; i < parent->childCount(); ++i)
        out << parent->child(i)->text(0);
    return out;
}

void WriteIni(const ProgramHome& home, const std::string& folder, int lastSee) {
    std::ofstream(home.File("System.ini"))
        << "[CurrentFolder]\nFolder=" << folder << "\n[ShowLastSee]\nmLastSee=" << lastSee << "\n";
}

} // namespace

class LeftPaneTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CKelvraApp> Start(const std::vector<std::string>& args = {}) {
        return StartApp(1000, 700, args);
    }
    static CTreeContainerWnd* Pane(CKelvraApp& app) { return app.MainFrame()->GetTreeContainer(); }

private slots:
    void lazyExpansionPlaceholderAndCounts() {
        ProgramHome prog;
        FakeHome home;
        home.Dir("Albums/2024/May");
        home.Dir("Albums/Empty");
        home.Dir("Albums/.hidden/sub");
        home.Dir("Albums/v1.2");
        auto app = Start();
        QVERIFY(app);
        CShellTreeCtrl* tree = Pane(*app)->FolderTree();
        QVERIFY(tree && tree->isVisible());
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->RootItem()->text(0), QString("/"));
        QTreeWidgetItem* h = tree->HomeItem();
        QCOMPARE(tree->GetItemPath(h), home.Path());
        // Nothing below the home folder is read before it is opened.
        QCOMPARE(h->childCount(), 0);
        QCOMPARE(h->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        const int fills = tree->FillCount(), folders = tree->m_nFolderItems;

        h->setExpanded(true);
        QCOMPARE(Texts(h), QStringList{"Albums"});
        QTreeWidgetItem* albums = Child(h, "Albums");
        albums->setExpanded(true);
        QCOMPARE(Texts(albums), (QStringList{"2024", "Empty", "v1.2"})); // no placeholder left
        QCOMPARE(tree->FillCount(), fills + 2);
        QCOMPARE(tree->m_nFolderItems, folders + 4);
        QCOMPARE(Child(albums, "2024")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        QCOMPARE(Child(albums, "Empty")->childIndicatorPolicy(),
                 QTreeWidgetItem::DontShowIndicator);

        // Opening it again reads nothing: a folder made since stays unseen
        // until the item is refreshed.
        home.Dir("Albums/Later");
        albums->setExpanded(false);
        albums->setExpanded(true);
        QCOMPARE(tree->FillCount(), fills + 2);
        QVERIFY(!Child(albums, "Later"));
        tree->Refresh(albums);
        QVERIFY(Child(albums, "Later"));

        // A folder that turns out empty loses its button, unless it lies on a
        // removable or network mount: then it only closes again.
        home.Dir("Albums/2024/May/x");
        QTreeWidgetItem* may = Child(Child(albums, "2024"), "May");
        QVERIFY(!may); // 2024 is not open yet
        QTreeWidgetItem* y2024 = Child(albums, "2024");
        y2024->setExpanded(true);
        may = Child(y2024, "May");
        QCOMPARE(may->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        fs::remove_all(home / "Albums/2024/May");
        const std::string mayPath = tree->GetItemPath(may);
        tree->m_fnIsFixedDisk = [&](const std::string& p) { return p != mayPath; };
        may->setExpanded(true);
        QVERIFY(!may->isExpanded());
        QCOMPARE(may->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        tree->m_fnIsFixedDisk = [](const std::string&) { return true; };
        may->setExpanded(true);
        QCOMPARE(may->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    }

    void largeFolderLooksIntoFoldersInView() {
        ProgramHome prog;
        FakeHome home;
        for (int i = 0; i < 200; ++i)
            home.Dir("Many/f" + std::to_string(1000 + i));
        home.Dir("Many/f1199/inner");
        home.Dir("Many/" + std::string(120, 'n'));
        auto app = Start();
        CShellTreeCtrl* tree = Pane(*app)->FolderTree();
        tree->HomeItem()->setExpanded(true);
        QTreeWidgetItem* many = Child(tree->HomeItem(), "Many");
        many->setExpanded(true);
        QCOMPARE(many->childCount(), 201);
        // Folders in view show their true button; those below are looked
        // into when they are scrolled into view.
        QTreeWidgetItem* first = many->child(0);
        QTreeWidgetItem* last = Child(many, "f1199");
        QTreeWidgetItem* beforeLast = Child(many, "f1198");
        QCOMPARE(first->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
        QCOMPARE(beforeLast->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        tree->scrollToItem(last);
        QCOMPARE(beforeLast->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
        QCOMPARE(last->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        // A long name in view widens the column: it scrolls sideways.
        tree->scrollToItem(many->child(200));
        QVERIFY(tree->columnWidth(0) > tree->viewport()->width());
    }

    void filesShownAndHiddenAndReload() {
        ProgramHome prog;
        FakeHome home;
        home.File("Pics/a.jpg");
        home.File("Pics/b.PNG");
        home.File("Pics/notes.txt");
        home.File("Pics/a.ps");
        home.Dir("Pics/ver.2");
        home.Dir("Pics/Sub");
        home.File("Pics/Sub/c.gif");
        auto app = Start();
        CTreeContainerWnd* pane = Pane(*app);
        CMainFrame* f = app->MainFrame();
        CShellTreeCtrl* tree = pane->FolderTree();
        QCOMPARE(f->m_settings.mAdd, 0);
        {
            std::unique_ptr<QMenu> menu(pane->BuildFolderMenu());
            QAction* files = menu->actions().at(2);
            QCOMPARE(files->text(), QString("显示文件"));
            QVERIFY(!files->isChecked());
            QVERIFY(menu->actions().at(1)->text() == "搜索文件" &&
                    !menu->actions().at(1)->isEnabled());
        }
        tree->HomeItem()->setExpanded(true);
        QTreeWidgetItem* pics = Child(tree->HomeItem(), "Pics");
        tree->setCurrentItem(pics);
        QVERIFY(pane->OnPaneCommand(ID_TREE_SHOW_FILES)); // opens the selected folder
        QCOMPARE(f->m_settings.mAdd, 1);
        QVERIFY(pics->isExpanded());
        QCOMPARE(Texts(pics), (QStringList{"a.jpg", "b.PNG", "Sub", "ver.2"}));
        QCOMPARE(tree->GetImageItemCount(), 2);
        QCOMPARE(tree->ClassifyItem(Child(pics, "ver.2")), 3);
        {
            std::unique_ptr<QMenu> menu(pane->BuildFolderMenu());
            QCOMPARE(menu->actions().at(2)->text(), QString("隐藏文件"));
            QVERIFY(menu->actions().at(2)->isChecked());
        }
        // Hiding them again leaves what was read; a reload reads afresh.
        QVERIFY(pane->OnPaneCommand(ID_TREE_SHOW_FILES));
        QCOMPARE(f->m_settings.mAdd, 0);
        QVERIFY(!pics->isExpanded());
        QVERIFY(Child(pics, "a.jpg"));
        QVERIFY(pane->OnPaneCommand(ID_TREE_RELOAD));
        QVERIFY(tree->m_bEnumFiles);
        QCOMPARE(tree->GetImageItemCount(), 0);
        tree->HomeItem()->setExpanded(true);
        pics = Child(tree->HomeItem(), "Pics");
        pics->setExpanded(true);
        QCOMPARE(Texts(pics), (QStringList{"Sub", "ver.2"}));
        // Listing files, every folder may hold some: each gets a button.
        QCOMPARE(Child(pics, "ver.2")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    }

    void selectingFoldersFilesAndRemovingItems() {
        ProgramHome prog;
        FakeHome home;
        home.Picture("Trip/one.jpg");
        home.Picture("Trip/two.jpg");
        home.Dir("Trip/nothing");
        home.Dir("data/12024/x");
        home.Dir("data/2024");
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        CTreeContainerWnd* pane = Pane(*app);
        CShellTreeCtrl* tree = pane->FolderTree();
        const std::string trip = home / "Trip";

        QVERIFY(tree->SelectPath(trip));
        QCOMPARE(pane->m_strCurrentFolder, trip);
        QCOMPARE(f->m_strCurFolder, trip);
        QCOMPARE(pane->m_arrFolderImages,
                 (std::vector<std::string>{trip + "/one.jpg", trip + "/two.jpg"}));
        QVERIFY(pane->m_bFolderSelected);
        QVERIFY(!f->m_bImageMode); // the right pane lists the pictures
        QCOMPARE(f->GetImgContainer()->GetMode(), 2);
        QCOMPARE(pane->HistoryBox()->currentText().toStdString(), trip);

        // An equal name wins over one that merely contains the segment.
        QCOMPARE(tree->GetItemPath(tree->SelectPath(home / "data/2024")), home / "data/2024");
        QCOMPARE(tree->GetItemPath(tree->SelectPath(home / "DATA/2024/none")), home / "data/2024");

        QVERIFY(tree->SelectPath(trip + "/nothing"));
        QCOMPARE(pane->m_strCurrentFile, std::string("  "));
        QCOMPARE(f->GetStatusText(0), std::string("r"));
        QVERIFY(pane->m_arrFolderImages.empty());

        // A picture item opens the picture and makes its folder current.
        f->m_settings.mAdd = 1;
        QVERIFY(pane->OnPaneCommand(ID_TREE_RELOAD));
        QTreeWidgetItem* item = tree->SelectPath(trip + "/two.jpg");
        QCOMPARE(tree->GetItemPath(item), trip + "/two.jpg");
        QVERIFY(!pane->m_bFolderSelected);
        QCOMPARE(pane->m_strCurrentFile, trip + "/two.jpg");
        QCOMPARE(pane->m_strCurrentFolder, trip);
        QVERIFY(f->m_bImageLoaded);
        QVERIFY(f->m_bImageMode);
        {
            std::unique_ptr<QMenu> menu(pane->BuildFileMenu());
            QCOMPARE(menu->actions().size(), 7);
            QCOMPARE(menu->actions().at(2)->text(), QString("另存")); // saving exists
            QVERIFY(menu->actions().at(2)->isEnabled());
            QVERIFY(menu->actions().at(0)->isEnabled()); // and opening elsewhere
        }
        // Picking a folder forgets the shown picture: an empty folder leaves
        // the background, not the old picture, and no picture command works.
        QVERIFY(tree->SelectPath(trip + "/nothing"));
        QVERIFY(!f->m_bImageLoaded);
        QVERIFY(!f->GetImgContainer()->ImageWnd()->IsLoaded());
        QVERIFY(!f->OnCommand(ID_ZOOM_FIT));
        QVERIFY(tree->SelectPath(trip + "/two.jpg"));
        QVERIFY(f->m_bImageLoaded);

        // A deleted file's item goes without opening anything else.
        const int before = tree->HomeItem()->childCount();
        QTreeWidgetItem* tripItem = Child(tree->HomeItem(), "Trip");
        QVERIFY(Child(tripItem, "one.jpg"));
        pane->RemoveFileItem(trip + "/one.jpg");
        QVERIFY(!Child(tripItem, "one.jpg"));
        QCOMPARE(pane->m_strCurrentFile, trip + "/two.jpg");
        pane->RemoveFileItem(trip + "/two.jpg");
        QVERIFY(!Child(tripItem, "two.jpg"));
        QCOMPARE(pane->m_strCurrentFile, trip + "/two.jpg");
        pane->RemoveFileItem(trip); // not a file: stays
        pane->RemoveFileItem(home / "elsewhere.jpg");
        QCOMPARE(tree->HomeItem()->childCount(), before);

        // Single items made without reading the folder: a new folder after an
        // item (and made current), a file beside one; nothing for a path that
        // is not on disk.
        home.Dir("Trip/made");
        QTreeWidgetItem* nothing = Child(tripItem, "nothing");
        QTreeWidgetItem* made = tree->InsertFolderItem(nothing, "made", trip + "/made/");
        QVERIFY(made);
        QCOMPARE(tripItem->indexOfChild(made), tripItem->indexOfChild(nothing) + 1);
        QCOMPARE(pane->m_strCurrentFolder, trip + "/made");
        home.Picture("Trip/made/new.jpg");
        QTreeWidgetItem* file = tree->InsertFileItem(made, "new.jpg", trip + "/made/new.jpg");
        QVERIFY(file && file->parent() == made);
        QCOMPARE(tree->ClassifyItem(file), 1);
        QVERIFY(tree->m_strError.empty());
        QVERIFY(!tree->InsertFolderItem(nothing, "ghost", trip + "/ghost"));
        QCOMPARE(tree->m_strError, std::string("Error Gettting SystemFileInfo!"));
    }

    void modesTabsAndHeader() {
        ProgramHome prog;
        FakeHome home;
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        CTreeContainerWnd* pane = Pane(*app);
        QCOMPARE(pane->HistoryBox()->geometry(), QRect(6, 20, pane->width() - 6, 22));
        QCOMPARE(pane->FolderTree()->geometry().top(), 44);
        QImage header = pane->grab().toImage();
        QCOMPARE(header.pixelColor(pane->width() - 30, 8), QColor(198, 198, 198));
        QVERIFY(header.pixelColor(63, 2) != QColor(198, 198, 198)); // the active tab

        QVERIFY(f->OnCommand(ID_VIEW_FAVORITES));
        QCOMPARE(pane->m_nPaneMode, 1);
        QVERIFY(pane->HistoryBox()->isHidden());
        QVERIFY(pane->FavoritesTree()->isVisible());
        QVERIFY(pane->FolderTree()->isHidden());
        QCOMPARE(pane->FavoritesTree()->geometry().top(), 22);
        header = pane->grab().toImage();
        QCOMPARE(header.pixelColor(63, 2), QColor(198, 198, 198));

        // A click on the folder tab brings the folder view back.
        QTest::mouseClick(pane, Qt::LeftButton, {}, QPoint(30, 9));
        QCOMPARE(pane->m_nPaneMode, 0);
        QVERIFY(pane->HistoryBox()->isVisible());
        QVERIFY(pane->FolderTree()->isVisible());
        QVERIFY(pane->FavoritesTree()->isHidden());
        // The favourites tab again, and the favourites command while the pane
        // is hidden shows the pane.
        QTest::mouseClick(pane, Qt::LeftButton, {}, QPoint(90, 9));
        QCOMPARE(pane->m_nPaneMode, 1);
        f->OnCommand(ID_VIEW_FOLDERS);
        QTest::mouseClick(pane, Qt::LeftButton, {}, QPoint(pane->width() - 10, 9)); // close box
        QVERIFY(!f->m_bLeftPaneShown);
        QVERIFY(f->OnCommand(ID_VIEW_FAVORITES));
        QVERIFY(f->m_bLeftPaneShown);
        QVERIFY(f->LeftPaneWidth() > 0);

        // Space in the folder tree shows the folder tree, leaving the mode be.
        QTest::keyClick(pane->FavoritesTree(), Qt::Key_A);
        QTest::keyClick(pane->FolderTree(), Qt::Key_Space);
        QVERIFY(pane->FolderTree()->isVisible());
        QCOMPARE(pane->m_nPaneMode, 1);
    }

    void historyBoxRules() {
        ProgramHome prog;
        FakeHome home;
        home.Dir("A");
        home.File("cwd/Thumbnails/keep.tub");
        fs::create_directories(prog.File("Thumbnails"));
        std::ofstream(prog.File("Thumbnails/old.tub")) << "x";
        std::ofstream(prog.File("Thumbnails/OTHER.TUB")) << "x";
        std::ofstream(prog.File("Thumbnails/note.txt")) << "x";
        fs::path oldCwd = fs::current_path();
        fs::current_path(home / "cwd");
        auto app = Start();
        CTreeContainerWnd* pane = Pane(*app);
        CIconComboBox* box = pane->HistoryBox();
        CScriptedUi ui;
        box->RemoveAllItems();
        pane->AddToHistory(home / "A/");
        pane->AddToHistory(home / "A");
        pane->AddToHistory("/");
        QCOMPARE(box->Items(), (std::vector<std::string>{home / "A", "/"}));
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->currentIndex(), 1);
        pane->AddToHistory(home / "A"); // present: selected, not added
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(box->count(), 2);

        // Enter on a typed folder.
        box->lineEdit()->setText(QString::fromStdString(home / "missing"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(ui.shown.size(), std::size_t(1));
        QCOMPARE(ui.shown[0].text, std::string("文件目录不存在!"));
        QCOMPARE(ui.shown[0].caption, std::string("Tavisk美图"));
        box->lineEdit()->setText("A"); // relative: never the working directory's
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(ui.shown.size(), std::size_t(2));
        box->lineEdit()->setText(QString::fromStdString(home / "A"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Enter);
        QCOMPARE(ui.shown.size(), std::size_t(2));
        QCOMPARE(pane->m_strCurrentFolder, home / "A");
        QCOMPARE(pane->FolderTree()->GetSelectedPath(), home / "A");

        // The owner-drawn items: white, and the chosen blue when selected.
        QImage img(120, 18, QImage::Format_RGB32);
        QPainter p(&img);
        box->DrawItem(p, QRect(0, 0, 120, 18), 0, false);
        QCOMPARE(img.pixelColor(60, 1), QColor(255, 255, 255));
        QVERIFY(img.pixelColor(8, 8) != QColor(255, 255, 255)); // the program icon
        box->DrawItem(p, QRect(0, 0, 120, 18), 0, true);
        QCOMPARE(img.pixelColor(119, 1), QColor(16, 128, 188));
        box->DrawItem(p, QRect(0, 0, 120, 18), -1, false);
        QCOMPARE(img.pixelColor(8, 8), QColor(255, 255, 255));
        p.end();

        // "清除记录" from the box's right-button menu.
        QTimer::singleShot(200, [box] {
            QMenu* menu = box->ActiveMenu();
            QVERIFY(menu);
            QCOMPARE(menu->actions().at(0)->text(), QString("清除记录"));
            menu->setActiveAction(menu->actions().at(0));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QTest::mouseClick(box, Qt::RightButton, {}, QPoint(30, 10));
        QCOMPARE(box->count(), 0);
        QVERIFY(box->Items().empty());
        QVERIFY(!FileExists(prog.File("Thumbnails/old.tub")));
        QVERIFY(!FileExists(prog.File("Thumbnails/OTHER.TUB")));
        QVERIFY(FileExists(prog.File("Thumbnails/note.txt")));
        QVERIFY(FileExists(home / "cwd/Thumbnails/keep.tub"));
        app.reset();
        fs::current_path(oldCwd);
    }

    void favouritesCommands() {
        ProgramHome prog;
        FakeHome home;
        home.File("Shown/s.jpg");
        home.File("Holiday/h1.jpg");
        home.File("Holiday/h2.png");
        home.Dir("Bare");
        WriteIni(prog, home / "Shown", 0);
        auto app = Start();
        CMainFrame* f = app->MainFrame();
        CTreeContainerWnd* pane = Pane(*app);
        CFavoritesTree* fav = pane->FavoritesTree();
        CScriptedUi ui;
        QCOMPARE(pane->m_arrFolderImages, std::vector<std::string>{home / "Shown/s.jpg"});

        ui.folders = {home / "Bare/", "", home / "Holiday/"};
        QVERIFY(pane->OnPaneCommand(ID_FAVORITES_ADD));
        QCOMPARE(ui.folderTitles.at(0), std::string("请选择文件夹"));
        QCOMPARE(ui.shown.at(0).text, std::string("文件夹中无图形文件"));
        QCOMPARE(pane->Favorites().Count(), std::size_t(0));
        QVERIFY(pane->OnPaneCommand(ID_FAVORITES_ADD)); // cancelled
        QCOMPARE(ui.shown.size(), std::size_t(1));
        QVERIFY(pane->OnPaneCommand(ID_FAVORITES_ADD));
        QCOMPARE(pane->Favorites().Entries(),
                 std::vector<std::string>{"[1]Holiday###" + home / "Holiday/"});
        // The shown folder's list is left alone; the new item is selected
        // without making its folder current.
        QCOMPARE(pane->m_arrFolderImages, std::vector<std::string>{home / "Shown/s.jpg"});
        QCOMPARE(fav->topLevelItem(0)->text(0), QString("[1]Holiday"));
        QCOMPARE(fav->currentItem(), fav->topLevelItem(0));
        QCOMPARE(pane->m_strCurrentFolder, home / "Shown");
        QCOMPARE(fav->ImageList().size(), std::size_t(33));

        // From the folder menu: numbered count + 1, never renumbered; a folder
        // without pictures is not added.
        pane->FolderTree()->SelectPath(home / "Bare");
        QVERIFY(pane->OnPaneCommand(ID_TREE_ADD_FAVORITE));
        QCOMPARE(pane->Favorites().Count(), std::size_t(1));
        pane->FolderTree()->SelectPath(home / "Shown");
        QVERIFY(pane->OnPaneCommand(ID_TREE_ADD_FAVORITE));
        QVERIFY(pane->OnPaneCommand(ID_TREE_ADD_FAVORITE));
        QCOMPARE(pane->Favorites().Entries().back(), "[3]Shown###" + home / "Shown/");

        // Selecting a favourite makes its folder current.
        f->OnCommand(ID_VIEW_FAVORITES);
        QCOMPARE(fav->topLevelItemCount(), 3);
        fav->setCurrentItem(fav->topLevelItem(0));
        QCOMPARE(pane->m_strCurrentFolder, home / "Holiday/");
        QCOMPARE(pane->m_arrFolderImages.size(), std::size_t(2));
        // The right button selects the favourite first: the menu acts on the one shown selected.
        QTest::mouseClick(fav->viewport(), Qt::RightButton, {},
                          fav->visualItemRect(fav->topLevelItem(1)).center());
        QCOMPARE(fav->currentItem(), fav->topLevelItem(1));
        QCOMPARE(pane->m_strCurrentFolder, home / "Shown/");
        fav->setCurrentItem(fav->topLevelItem(0));

        // Removing the first renumbers the rest.
        QVERIFY(pane->OnPaneCommand(ID_FAVORITES_REMOVE));
        QCOMPARE(pane->Favorites().Entries(),
                 (std::vector<std::string>{"[1]Shown###" + home / "Shown/",
                                           "[2]Shown###" + home / "Shown/"}));
        QCOMPARE(fav->topLevelItem(1)->text(0), QString("[2]Shown"));
        QCOMPARE(pane->m_strCurrentFolder, home / "Holiday/"); // removal opens nothing
        fav->setCurrentItem(nullptr);
        QVERIFY(pane->OnPaneCommand(ID_FAVORITES_REMOVE)); // nothing selected: nothing removed
        QCOMPARE(pane->Favorites().Count(), std::size_t(2));

        app.reset(); // saved as the pane goes
        std::optional<std::string> bytes = ReadWholeFile(prog.File("tree.sxs"));
        QVERIFY(bytes);
        QCOMPARE(ReadStringArray(*bytes),
                 std::optional<std::vector<std::string>>(
                     {"[1]Shown###" + home / "Shown/", "[2]Shown###" + home / "Shown/"}));

        // The next start finds them; clearing empties the list and the file.
        app = Start();
        pane = Pane(*app);
        QCOMPARE(pane->Favorites().Count(), std::size_t(2));
        QCOMPARE(pane->FavoritesTree()->topLevelItemCount(), 2);
        QVERIFY(pane->OnPaneCommand(ID_FAVORITES_CLEAR));
        QCOMPARE(pane->FavoritesTree()->topLevelItemCount(), 0);
        app.reset();
        QCOMPARE(ReadWholeFile(prog.File("tree.sxs")),
                 std::optional<std::string>(std::string("\0\0", 2)));
    }

    void damagedFavouritesFileIsKept() {
        ProgramHome prog;
        FakeHome home;
        const std::string damaged("\x02\x00\x05[1]A#", 8); // ends early
        std::ofstream(prog.File("tree.sxs"), std::ios::binary) << damaged;
        auto app = Start();
        QCOMPARE(Pane(*app)->Favorites().Count(), std::size_t(0));
        app.reset();
        QCOMPARE(ReadWholeFile(prog.File("tree.sxs")), std::optional<std::string>(damaged));
    }

    void startUpWithAndWithoutLastFolder() {
        ProgramHome prog;
        FakeHome home;
        home.File("Last/a.jpg");
        home.File("Last/b.jpg");
        home.File("Other/c.jpg");
        for (int lastSee : {0, 1}) {
            WriteIni(prog, home / "Last", lastSee);
            auto app = Start();
            CTreeContainerWnd* pane = Pane(*app);
            QCOMPARE(pane->m_strCurrentFolder, home / "Last");
            QCOMPARE(app->MainFrame()->m_strCurFolder, home / "Last");
            QCOMPARE(pane->m_arrFolderImages.size(), std::size_t(2));
            QCOMPARE(pane->m_bShowLastSee, lastSee == 1);
            // Only the last-seen setting selects it in the tree.
            QCOMPARE(pane->FolderTree()->GetSelectedPath(),
                     lastSee ? home / "Last" : std::string());
            QCOMPARE(pane->HistoryBox()->count(), 1);
        }
        // A stored folder that is no full path lists nothing, whatever the
        // working directory holds.
        WriteIni(prog, "No Name", 0);
        {
            auto app = Start();
            QVERIFY(Pane(*app)->m_arrFolderImages.empty());
        }

        // With a file named at start, its folder is selected and listed, and
        // the file is not opened.
        WriteIni(prog, home / "Last", 1);
        auto app = Start({home / "Other/c.jpg"});
        CMainFrame* f = app->MainFrame();
        CTreeContainerWnd* pane = Pane(*app);
        QVERIFY(!f->m_bOpenCmdLineFile);
        QCOMPARE(pane->FolderTree()->GetSelectedPath(), home / "Other");
        QVERIFY(SameFolder(pane->m_strCurrentFolder, home / "Other"));
        QCOMPARE(pane->m_arrFolderImages, std::vector<std::string>{home / "Other/c.jpg"});
        QVERIFY(!f->m_bImageLoaded);
        QCOMPARE(f->GetImgContainer()->GetMode(), 2);
        app.reset();
        std::ifstream ini(prog.File("System.ini"));
        std::string text((std::istreambuf_iterator<char>(ini)), {});
        QVERIFY(text.find("Folder=" + home / "Other") != std::string::npos);
    }
};

QTEST_MAIN(LeftPaneTest)
#include "test_leftpane.moc"
