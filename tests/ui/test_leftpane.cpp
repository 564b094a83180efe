#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "image/ImageWnd.h"
#include "library/FavoritesTree.h"
#include "library/ShellTreeCtrl.h"
#include "library/StringArchive.h"
#include "library/TreeContainerWnd.h"
#include "platform/FileOps.h"
#include "thumbs/IconComboBox.h"

#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace fs = std::filesystem;

namespace {

// A folder of the test as the home folder (the tree's second top-level item),
// with folders and pictures made below it.
class FakeHome : public TempDir {
public:
    std::string Top() const { return Path().substr(0, Path().size() - 1); }
    std::string operator/(const std::string& rel) const { return File(rel); }
    // Folders (ending with "/") and pictures.
    void Make(std::initializer_list<std::string> rels) {
        for (const std::string& rel : rels) {
            fs::create_directories(fs::path(File(rel)).parent_path());
            if (rel.back() != '/')
                MakePicture(File(rel), 40, 30, RGB(10, 20, 30));
        }
    }

private:
    ProgramFolderGuard m_home{Top(), "HOME"};
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

// Whether the item shows an expand button.
bool Button(QTreeWidgetItem* item) {
    return item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
}

} // namespace

class LeftPaneTest : public QObject, RunningApp {
    Q_OBJECT
    std::unique_ptr<FakeHome> user;
    CShellTreeCtrl* tree = nullptr;

    void Launch() {
        Start(1000, 700);
        tree = pane->FolderTree();
    }
    // Ends the running program first, which writes its own settings.
    void WriteIni(const std::string& folder, int lastSee) {
        app.reset();
        home->Write("System.ini", "[CurrentFolder]\nFolder=" + folder +
                                      "\n[ShowLastSee]\nmLastSee=" + std::to_string(lastSee) +
                                      "\n");
    }

private slots:
    void init() {
        Begin();
        user = std::make_unique<FakeHome>();
    }
    void cleanup() {
        End();
        user.reset();
    }

    void foldersAreReadWhenOpenedAndFilesOnRequest() {
        user->Make({"Albums/2024/May/x/", "Albums/Empty/", "Albums/.hidden/sub/", "Pics/a.jpg",
                    "Pics/b.PNG", "Pics/ver.2/"});
        user->Write("Pics/notes.txt", "x");
        Launch();
        QTreeWidgetItem* h = tree->HomeItem();
        QCOMPARE(tree->GetItemPath(h), user->Top());
        // Nothing below the home folder is read before it is opened.
        QVERIFY(h->childCount() == 0 && Button(h));
        const int fills = tree->FillCount();
        h->setExpanded(true);
        QTreeWidgetItem* albums = Child(h, "Albums");
        albums->setExpanded(true);
        QCOMPARE(Texts(albums), (QStringList{"2024", "Empty"})); // no placeholder left
        QVERIFY(tree->FillCount() == fills + 2 && Button(Child(albums, "2024")));
        QVERIFY(!Button(Child(albums, "Empty")));
        // A folder that turns out empty loses its button, unless it lies on a
        // removable or network mount: then it only closes again.
        Child(albums, "2024")->setExpanded(true);
        QTreeWidgetItem* may = Child(Child(albums, "2024"), "May");
        fs::remove_all(*user / "Albums/2024/May");
        const std::string mayPath = tree->GetItemPath(may);
        tree->m_fnIsFixedDisk = [&](const std::string& p) { return p != mayPath; };
        may->setExpanded(true);
        QVERIFY(!may->isExpanded() && Button(may));
        tree->m_fnIsFixedDisk = [](const std::string&) { return true; };
        may->setExpanded(true);
        QVERIFY(!Button(may));
        // Files shown (33030) on the selected folder.
        QTreeWidgetItem* pics = Child(h, "Pics");
        tree->setCurrentItem(pics);
        QVERIFY(pane->OnPaneCommand(ID_TREE_SHOW_FILES)); // opens the selected folder
        QCOMPARE(Texts(pics), (QStringList{"a.jpg", "b.PNG", "ver.2"}));
    }

    void selectingFoldersFilesAndRemovingItems() {
        user->Make({"Trip/one.jpg", "Trip/two.jpg", "Trip/nothing/"});
        Launch();
        const std::string trip = *user / "Trip";
        QVERIFY(tree->SelectPath(trip));
        QVERIFY(pane->m_strCurrentFolder == trip && f->m_strCurFolder == trip);
        QCOMPARE(pane->m_arrFolderImages,
                 (std::vector<std::string>{trip + "/one.jpg", trip + "/two.jpg"}));
        QVERIFY(!f->m_bImageMode &&
                f->GetImgContainer()->GetMode() == 2); // the right pane lists them
        QCOMPARE(pane->HistoryBox()->currentText().toStdString(), trip);
        QVERIFY(tree->SelectPath(trip + "/nothing") && pane->m_arrFolderImages.empty());
        QCOMPARE(f->GetStatusText(0), std::string("r"));
        // A picture item opens the picture and makes its folder current.
        f->m_settings.mAdd = 1;
        QVERIFY(pane->OnPaneCommand(ID_TREE_RELOAD));
        QVERIFY(tree->SelectPath(trip + "/two.jpg") && f->m_bImageLoaded && f->m_bImageMode);
        QVERIFY(pane->m_strCurrentFile == trip + "/two.jpg" && pane->m_strCurrentFolder == trip);
        // Picking a folder forgets the shown picture: an empty folder leaves
        // the background, and no picture command works.
        QVERIFY(tree->SelectPath(trip + "/nothing"));
        QVERIFY(!f->m_bImageLoaded && !f->GetImgContainer()->ImageWnd()->IsLoaded());
        QVERIFY(!f->OnCommand(ID_ZOOM_FIT));
        // A deleted file's item goes without opening anything else; a folder
        // stays. New items are made without reading the folder.
        QTreeWidgetItem* tripItem = Child(tree->HomeItem(), "Trip");
        pane->RemoveFileItem(trip + "/one.jpg");
        pane->RemoveFileItem(trip);
        QVERIFY(!Child(tripItem, "one.jpg") && Child(tripItem, "two.jpg"));
        // A new item keeps its path.
        user->Make({"Trip/new.jpg"});
        QTreeWidgetItem* file = tree->InsertFileItem(tripItem, "new.jpg", trip + "/new.jpg");
        QVERIFY(file && tree->GetItemPath(file) == trip + "/new.jpg");
    }

    void modesTabsHistoryAndItsClearing() {
        user->Make({"A/", "cwd/Thumbnails/"});
        user->Write("cwd/Thumbnails/keep.tub", "x");
        home->Write("Thumbnails/old.tub", "x");
        const fs::path oldCwd = fs::current_path();
        fs::current_path(*user / "cwd");
        Launch();
        // The history keeps "/" and no duplicates; a typed folder must exist
        // and be a full path (never the working directory's).
        CIconComboBox* box = pane->HistoryBox();
        box->RemoveAllItems();
        for (const std::string& folder : {*user / "A/", *user / "A", std::string("/")})
            pane->AddToHistory(folder);
        QCOMPARE(box->Items(), (std::vector<std::string>{*user / "A", "/"}));
        for (const std::string& typed : {*user / "missing", std::string("A"), *user / "A"}) {
            box->lineEdit()->setText(QString::fromStdString(typed));
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        }
        QCOMPARE(ui->shown.size(), std::size_t(2));
        QCOMPARE(ui->shown[0].text + ui->shown[0].caption,
                 std::string("文件目录不存在!Tavisk美图"));
        QVERIFY(pane->m_strCurrentFolder == *user / "A" && tree->GetSelectedPath() == *user / "A");
        // "清除记录" from the box's right-button menu empties it and deletes the
        // .tub files of the program folder's Thumbnails/ only.
        QTimer::singleShot(200, [box] {
            QMenu* menu = box->ActiveMenu();
            QVERIFY(menu && menu->actions().at(0)->text() == "清除记录");
            menu->setActiveAction(menu->actions().at(0));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QTest::mouseClick(box, Qt::RightButton, {}, QPoint(30, 10));
        QVERIFY(box->count() == 0 && !FileExists(home->File("Thumbnails/old.tub")));
        QVERIFY(FileExists(*user / "cwd/Thumbnails/keep.tub"));
        // The favourites command and the folder tab switch the modes.
        QVERIFY(f->OnCommand(ID_VIEW_FAVORITES) && pane->m_nPaneMode == 1 && tree->isHidden());
        QTest::mouseClick(pane, Qt::LeftButton, {}, QPoint(30, 9));
        QVERIFY(pane->m_nPaneMode == 0 && tree->isVisible());

        app.reset();
        fs::current_path(oldCwd);
    }

    void favouritesCommandsAndTreeSxs() {
        user->Make({"Shown/s.jpg", "Holiday/h1.jpg", "Holiday/h2.png", "Bare/"});
        WriteIni(*user / "Shown", 0);
        Launch();
        CFavoritesTree* fav = pane->FavoritesTree();
        const std::vector<std::string> shown{*user / "Shown/s.jpg"};
        // A folder without pictures is refused, a cancel does nothing; the
        // shown folder's list is left alone and the new item is selected
        // without making its folder current.
        ui->folders = {*user / "Bare/", "", *user / "Holiday/", *user / "Shown/"};
        for (int i = 0; i < 4; ++i)
            QVERIFY(pane->OnPaneCommand(ID_FAVORITES_ADD));
        QVERIFY(ui->folderTitles.at(0) == "请选择文件夹" && ui->shown.size() == 1);
        QCOMPARE(ui->shown.at(0).text, std::string("文件夹中无图形文件"));
        QCOMPARE(pane->Favorites().Entries(),
                 (std::vector<std::string>{"[1]Holiday###" + *user / "Holiday/",
                                           "[2]Shown###" + *user / "Shown/"}));
        QVERIFY(pane->m_arrFolderImages == shown && pane->m_strCurrentFolder == *user / "Shown");
        QVERIFY(fav->currentItem() == fav->topLevelItem(0) &&
                fav->topLevelItem(0)->text(0) == "[1]Holiday");
        // Selecting a favourite makes its folder current; the right button
        // selects first, so the menu acts on the one shown selected; removing
        // renumbers the rest and opens nothing.
        f->OnCommand(ID_VIEW_FAVORITES);
        fav->setCurrentItem(fav->topLevelItem(0));
        QVERIFY(pane->m_strCurrentFolder == *user / "Holiday/" &&
                pane->m_arrFolderImages.size() == 2);
        QTest::mouseClick(fav->viewport(), Qt::RightButton, {},
                          fav->visualItemRect(fav->topLevelItem(1)).center());
        QVERIFY(fav->currentItem() == fav->topLevelItem(1) &&
                pane->m_strCurrentFolder == *user / "Shown/");
        fav->setCurrentItem(fav->topLevelItem(0));
        QVERIFY(pane->OnPaneCommand(ID_FAVORITES_REMOVE));
        const std::vector<std::string> rest{"[1]Shown###" + *user / "Shown/"};
        QVERIFY(pane->Favorites().Entries() == rest && fav->topLevelItem(0)->text(0) == "[1]Shown");
        QCOMPARE(pane->m_strCurrentFolder, *user / "Holiday/");
        // Saved as the pane goes.
        app.reset();
        QVERIFY(ReadStringArray(ReadWholeFile(home->File("tree.sxs")).value_or("")) == rest);
    }

    void startUpWithAndWithoutTheLastFolder() {
        user->Make({"Last/a.jpg", "Last/b.jpg", "Other/c.jpg"});
        for (int lastSee : {0, 1}) {
            WriteIni(*user / "Last", lastSee);
            Launch();
            QVERIFY(pane->m_strCurrentFolder == *user / "Last" &&
                    pane->m_arrFolderImages.size() == 2);
            // Only the last-seen setting selects it in the tree.
            QCOMPARE(tree->GetSelectedPath(), lastSee ? *user / "Last" : std::string());
            QCOMPARE(pane->HistoryBox()->count(), 1);
        }
        // A stored folder that is no full path lists nothing, whatever the
        // working directory holds.
        WriteIni("No Name", 0);
        Launch();
        QVERIFY(pane->m_arrFolderImages.empty());
    }
};

QTEST_MAIN(LeftPaneTest)
#include "test_leftpane.moc"
