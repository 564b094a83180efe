#pragma once
#include "library/Favorites.h"
#include "library/FileInfo.h"

#include <QRect>
#include <QWidget>
#include <string>
#include <vector>

class CMainFrame;
class CShellTreeCtrl;
class CFavoritesTree;
class CIconComboBox;
class QMenu;
class QTreeWidgetItem;

// Commands of the pane's own pop-up menus.
enum PaneCommandId : int {
    ID_TREE_OPEN = 32914,         // file menu "打开"
    ID_TREE_COPY = 32907,         // file menu "复制"
    ID_TREE_SAVE_AS = 32876,      // file menu "另存"
    ID_TREE_DELETE = 32878,       // file menu "删除"
    ID_TREE_RENAME = 32875,       // file menu "重命名"
    ID_TREE_BATCH_RENAME = 32913, // file menu "批量命名"
    ID_TREE_PROPERTIES = 32879,   // file menu "属性"
    ID_TREE_SEARCH = 32925,       // folder menu "搜索文件"
    ID_TREE_ADD_FAVORITE = 32988, // folder menu "加入收藏夹"
    ID_TREE_SHOW_FILES = 33030,   // folder menu "显示文件" / "隐藏文件"
    ID_TREE_RELOAD = 33029,       // folder menu "重载视图"
    ID_FAVORITES_ADD = 33052,     // favourites menu "添加"
    ID_FAVORITES_REMOVE = 32978,  // favourites menu "删除"
    ID_FAVORITES_CLEAR = 33053,   // favourites menu "清空"
    ID_HISTORY_CLEAR = 32947,     // history box menu "清除记录"
};

// The left pane. In folder mode it shows the history box of visited folders
// and the folder tree; in favourites mode the favourites tree alone. It keeps
// the current folder, the current file and the list of the current folder's
// pictures that the frame and the right pane walk. It reads the settings as
// it is created, does the start-up work at its first paint, and stores the
// settings and the favourites as it is destroyed.
class CTreeContainerWnd : public QWidget {
    Q_OBJECT
public:
    explicit CTreeContainerWnd(CMainFrame* frame);
    ~CTreeContainerWnd() override;
    bool Create();

    void LoadSettings();
    void SaveSettings();
    // Forgets the stored library (the reset command).
    void ResetLibrary();
    // Builds the folder tree anew ("重载视图", and after the options changed
    // whether it lists picture files).
    void OnReloadTree();
    // Makes a folder current: the pane's and the frame's current folder, and
    // its picture list.
    void ShowFolder(const std::string& folder);
    // Lists the pictures of a folder into m_arrFolderImages.
    void BuildFolderImageList(const std::string& folder);
    // Entry i of the list, i kept inside the list; "" when it holds fewer than 2.
    std::string GetFolderImage(int i) const;
    // Index of a path in the picture list (exact bytes), -1 when absent.
    int FindFolderImage(const std::string& path) const;
    // Removes (mode 1) or replaces with newPath (mode 2) the entry of a path.
    void RemoveFolderImage(const std::string& path, int mode, const std::string& newPath = {});
    // Makes a file current and opens it in the picture window when its
    // extension is a picture's.
    void ShowImageFile(const std::string& path);
    // Opens a picture for the user through this pane (next, previous, a tree
    // or list click): a running slide show is asked to stop, the frame's
    // per-picture state is reset, and the file is shown.
    void OpenPicture(const std::string& path);
    // The status bar's file information (FileInfoCommands.cpp): the shown
    // picture's name, size, picture information and modification time in
    // panes 4 to 7 and its path in the caption; after a failed load panes 0
    // to 9 are emptied.
    void UpdateFileInfo(const std::string& path);
    // Panes 4 to 7 for a picture of the bottom strip under the mouse, from
    // its file and its header alone; "" puts the shown picture's texts back.
    void ShowHoverFileInfo(const std::string& path);
    // Removes the folder tree's item of a file path, when the tree has one
    // (after the file was deleted or moved away).
    void RemoveFileItem(const std::string& path);
    bool StartupDone() const { return !m_bFirstPaint; }
    std::string GetCurrentFolder() const { return m_strCurrentFolder; }
    std::string GetCurrentFile() const { return m_strCurrentFile; }

    // The two views of the pane, as the frame's folder and favourites
    // commands switch them.
    void OnViewFolders();
    void OnViewFavorites();
    // 0: the folder tree (with the focus); 2: the favourites tree, rebuilt.
    void SwitchMode(int mode);

    // The history box.
    void AddToHistory(const std::string& path);
    // A folder picked in the history box (or typed there and confirmed).
    void OnHistorySelected(const std::string& text);
    // Enter in the history box with the typed text.
    void OnHistoryEnter(const std::string& text);

    // Runs a command of the pane's menus when it is enabled; returns whether
    // it ran.
    bool OnPaneCommand(int id);
    bool IsPaneCommandEnabled(int id) const;
    // The pop-up menus, built for the present state (the caller owns them).
    QMenu* BuildFolderMenu();
    QMenu* BuildFileMenu();
    QMenu* BuildFavoritesMenu();

    CShellTreeCtrl* FolderTree() const { return m_pTree; }
    CFavoritesTree* FavoritesTree() const { return m_pFavTree; }
    CIconComboBox* HistoryBox() const { return m_cbHistory; }
    const CFavorites& Favorites() const { return m_favorites; }

    // Areas of the header, for a pane of the given width.
    static QRect FolderTabRect() { return {6, 0, 60, 18}; }
    static QRect FavoritesTabRect() { return {66, 0, 60, 18}; }
    static QRect CloseBoxRect(int width) { return {width - 16, 3, 12, 12}; }

    int m_nPaneMode = 0;                        // 0 folder mode, 1 favourites mode
    std::vector<std::string> m_arrFolderImages; // pictures of the current folder
    std::string m_strCurrentFile;
    std::string m_strCurrentFolder;
    std::string m_strStartFolder; // the stored folder as read at start
    bool m_bShowLastSee = false;
    QTreeWidgetItem* m_hSelItem = nullptr; // the folder tree's selected item
    bool m_bFolderSelected = true;
    bool m_bFromTree = false;
    bool m_bNotify = true;
    bool m_bComboHasFocus = false;
    std::string m_strSizeText, m_strDepthText;
    std::string m_strTempFile; // deleted when the pane goes

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void OnFirstPaint();
    void CreateFolderTree();
    void LayoutChildren();
    void PaintHeader(class QPainter& p);
    void OnFolderTreeSelChanged(QTreeWidgetItem* item);
    void OnFavoritesSelChanged(QTreeWidgetItem* item);
    // The frame's side of a folder that became current: the right pane shows
    // its pictures, or is emptied when it holds none.
    void ShowFolderInRightPane();
    void EmptyRightPane();
    void RebuildFavoritesTree();
    void OnAddFavorite();
    void OnAddCurrentFolderToFavorites();
    void OnRemoveFavorite();
    void OnClearFavorites();
    void OnClearHistory();
    void OnToggleShowFiles();
    void PopupFolderTreeMenu(const QPoint& global);
    void PopupFavoritesMenu(const QPoint& global);
    QMenu* BuildMenu(const std::vector<std::pair<int, const char*>>& items);
    void ShowStatusFileTexts(const StatusFileTexts& texts);

    CMainFrame* m_pFrame;
    bool m_bFirstPaint = true;
    bool m_bRemovingItem = false;
    CShellTreeCtrl* m_pTree = nullptr;
    CFavoritesTree* m_pFavTree = nullptr;
    CIconComboBox* m_cbHistory = nullptr;
    CFavorites m_favorites;
    StatusFileTexts m_shownInfo; // panes 4 to 7 of the shown picture
};
