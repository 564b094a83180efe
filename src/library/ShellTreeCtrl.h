#pragma once
#include <QIcon>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <unordered_map>

class CMainFrame;

// A tree whose items get their children the first time they are expanded. An
// item that may have children shows an expand button; expanding it puts a
// placeholder child in, which is replaced by what PopulateChildren inserts.
class CLazyTreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CLazyTreeCtrl(QWidget* parent);

    // Whether children already there are thrown away and made again at each
    // expansion (never, here).
    virtual bool ShouldRefillChildren(QTreeWidgetItem* item);
    // Inserts the children of an item (null: the top level). Returns false
    // when the children could not be known for sure (a folder on a removable
    // or network mount): an item left without children then keeps its expand
    // button so that it can be tried again.
    virtual bool PopulateChildren(QTreeWidgetItem* item);

    // Fills the top level.
    void FillRoot();
    // The two steps of an expansion.
    void OnItemExpanding(QTreeWidgetItem* item);
    void OnItemExpanded(QTreeWidgetItem* item);
    // How many times children were made (tests count enumerations).
    int FillCount() const { return m_nFills; }

protected:
    QString m_strPlaceholder;                  // text of the placeholder child
    QTreeWidgetItem* m_hPlaceholder = nullptr; // the placeholder while one is in
    bool m_bPlaceholder = false;
    QTreeWidgetItem* m_hPending = nullptr; // item whose expansion is under way
    bool m_bPendingRoot = false;           // the top level is being filled

private:
    int m_nFills = 0;
};

// Icons of the folder tree, looked up once per kind of item and per file
// extension (asking the desktop for every file is slow).
class CTreeIcons {
public:
    QIcon Folder();
    QIcon Root();
    QIcon Home();
    QIcon ForEntry(const std::string& name, int cls);

private:
    std::unordered_map<std::string, QIcon> m_cache;
    QIcon m_folder, m_root, m_home;
};

// The folder tree of the left pane. Its top level holds the file-system root
// "/" and the user's home folder; below them the folders and, while the frame
// asks for them, the picture files. Every item keeps its full path.
class CShellTreeCtrl : public CLazyTreeCtrl {
    Q_OBJECT
public:
    static constexpr int kPathRole = Qt::UserRole;
    static constexpr int kClassRole = Qt::UserRole + 1;
    // Set on a folder whose expand button is shown until it is known whether
    // it holds a folder (looked at once the item comes into view).
    static constexpr int kUnprobedRole = Qt::UserRole + 2;

    CShellTreeCtrl(CMainFrame* frame, QWidget* parent);

    // Lists files too (bEnumFiles) from now on, resets both counts and fills
    // the tree again.
    void InitRoot(bool bEnumFiles);
    // Both counts 0, folders only, the top level filled again.
    void Reset();
    // Throws the children of an item away and fills it again (null: the whole
    // tree). An item without children is left alone.
    void Refresh(QTreeWidgetItem* item);
    bool PopulateChildren(QTreeWidgetItem* item) override;

    // The path of an item as the file system spells it (its bytes); the
    // text shown is only drawn from it.
    std::string GetItemPath(QTreeWidgetItem* item) const;
    // The last component of the item's path.
    std::string ItemName(QTreeWidgetItem* item) const;
    std::string GetSelectedPath() const;
    // 1 picture file, 2 other file, 3 folder: of the item, or of the current
    // item when none is given.
    int ClassifyItem(QTreeWidgetItem* item = nullptr) const;
    // Expands the tree down along a path and makes the deepest item reached
    // current (which tells the pane). Returns that item, or null.
    QTreeWidgetItem* SelectPath(const std::string& path);
    int GetImageItemCount() const { return m_nImageItems; }
    int GetFolderItemCount() const { return m_nFolderItems; }

    // Single items put in without reading the folder: a folder after an
    // item (then made current), a file beside an item. Null, with m_strError
    // set, when the path cannot be found on disk.
    QTreeWidgetItem* InsertFolderItem(QTreeWidgetItem* hAfter, const std::string& name,
                                      const std::string& folderPath);
    QTreeWidgetItem* InsertFileItem(QTreeWidgetItem* hItem, const std::string& name,
                                    const std::string& path);
    // The item of a path among the items made so far (nothing is expanded).
    QTreeWidgetItem* FindLoadedItem(const std::string& path) const;
    // The top-level items.
    QTreeWidgetItem* RootItem() const { return topLevelItem(0); }
    QTreeWidgetItem* HomeItem() const {
        return topLevelItemCount() > 1 ? topLevelItem(1) : nullptr;
    }

    std::string m_strError;
    int m_nImageItems = 0;
    int m_nFolderItems = 0;
    bool m_bEnumFiles = false;
    // Whether a folder lies on a fixed local disk (tests stand in for mounts).
    std::function<bool(const std::string&)> m_fnIsFixedDisk;
    // Space and Delete in the tree (the pane acts on them).
    std::function<void()> onSpace;
    std::function<void()> onDelete;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QTreeWidgetItem* MakeItem(const std::string& path, const std::string& text, int cls,
                              bool hasChildren);
    bool FilesWanted() const;
    // Gives the folders in view whose sub-folders were not looked at yet
    // their true expand button, and widens the column to the widest row in
    // view.
    void ProbeVisibleItems();

    CMainFrame* m_pFrame;
    CTreeIcons m_icons;
};
