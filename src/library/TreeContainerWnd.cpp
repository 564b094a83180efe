#include "library/TreeContainerWnd.h"

#include "app/CommandIds.h"
#include "app/CommandState.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "app/PictureFiles.h"
#include "app/Settings.h"
#include "image/ImageWnd.h"
#include "library/FavoritesTree.h"
#include "library/FolderTree.h"
#include "library/ShellTreeCtrl.h"
#include "platform/FileOps.h"
#include "platform/PlatformUi.h"
#include "platform/ProgramFolder.h"
#include "platform/QtUtil.h"
#include "thumbs/IconComboBox.h"
#include "thumbs/ThumbCache.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cctype>

namespace {

constexpr int kHeaderHeight = 18;
const QColor kHeaderColor(198, 198, 198);
const QColor kTabLight(245, 245, 245);

// The frame command that carries out a file command of the folder tree.
int FrameCommandFor(int id) {
    switch (id) {
    case ID_TREE_OPEN:
        return ID_TREE_OPEN;
    case ID_TREE_COPY:
        return ID_EDIT_COPY_TO;
    case ID_TREE_SAVE_AS:
        return ID_FILE_SAVE_AS;
    case ID_TREE_DELETE:
        return ID_EDIT_DELETE;
    case ID_TREE_RENAME:
        return ID_EDIT_RENAME;
    case ID_TREE_BATCH_RENAME:
        return ID_EDIT_BATCH_RENAME;
    case ID_TREE_PROPERTIES:
        return ID_FILE_PROPERTIES;
    case ID_TREE_SEARCH:
        return ID_TOOLS_SEARCH_HIDDEN; // also while the thumbnail list shows
    default:
        return 0;
    }
}

} // namespace

CTreeContainerWnd::CTreeContainerWnd(CMainFrame* frame) : QWidget(frame), m_pFrame(frame) {
    setObjectName("TreeContainerWnd");
    setMinimumWidth(0);
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(true);
    // The pane carries out the frame's two view commands and its own menus.
    for (int id : {int(ID_VIEW_FOLDERS), int(ID_VIEW_FAVORITES), int(ID_TREE_ADD_FAVORITE),
                   int(ID_TREE_SHOW_FILES), int(ID_TREE_RELOAD), int(ID_FAVORITES_ADD),
                   int(ID_FAVORITES_REMOVE), int(ID_FAVORITES_CLEAR), int(ID_HISTORY_CLEAR)})
        SetCommandAvailable(id);
}

CTreeContainerWnd::~CTreeContainerWnd() {
    // Leave the splitter first: the right pane is laid out again at once and
    // may still read the picture list, which is whole here.
    hide();
    setParent(nullptr);
    if (!m_strTempFile.empty()) {
        ClearReadOnly(m_strTempFile);
        DeleteFileAt(m_strTempFile);
    }
    // A favourites file that could not be read is kept unless the list changed.
    m_favorites.SaveAtExit();
    SaveSettings();
    // The trees go before the members they report to.
    delete m_pTree;
    m_pTree = nullptr;
    delete m_pFavTree;
    m_pFavTree = nullptr;
}

bool CTreeContainerWnd::Create() {
    m_arrFolderImages.clear();
    LoadSettings();
    m_favorites.Load();

    m_pFavTree = new CFavoritesTree(this);
    m_pFavTree->hide();
    connect(m_pFavTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { OnFavoritesSelChanged(item); });
    connect(m_pFavTree, &CFavoritesTree::selectedItemClicked, this,
            [this](QTreeWidgetItem* item) { OnFavoritesSelChanged(item); });
    connect(m_pFavTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupFavoritesMenu(m_pFavTree->viewport()->mapToGlobal(pos));
    });
    RebuildFavoritesTree();

    m_cbHistory = new CIconComboBox(this);
    m_cbHistory->SetItemColors(RGB(255, 255, 255), RGB(16, 128, 188));
    m_cbHistory->onCommand = [this](int id) { OnPaneCommand(id); };
    m_cbHistory->onEnter = [this](const std::string& text) { OnHistoryEnter(text); };
    connect(m_cbHistory, &QComboBox::activated, this,
            [this](int index) { OnHistorySelected(m_cbHistory->Items().at(std::size_t(index))); });
    if (QLineEdit* edit = m_cbHistory->lineEdit())
        edit->installEventFilter(this);
    LayoutChildren();
    AddToHistory(m_strCurrentFolder);
    m_bFolderSelected = true;
    return true;
}

// ---------------------------------------------------------------------------
// Settings and start-up

void CTreeContainerWnd::LoadSettings() {
    // The frame is reached as this pane's own frame: it exists before the
    // application knows it as its main window.
    if (!m_pFrame)
        return;
    std::string folder;
    ReadSettingsFile(GetSettingsPath(), m_pFrame->m_settings, folder);
    m_strCurrentFolder = folder;
    m_strStartFolder = folder;
    m_bShowLastSee = m_pFrame->m_settings.mLastSee != 0;
    // The picture window exists from the second read on.
    CImgContainerWnd* right = m_pFrame->GetImgContainer();
    if (right && right->ImageWnd())
        right->ImageWnd()->SetBackgroundColor(m_pFrame->m_settings.crRightBack);
}

void CTreeContainerWnd::SaveSettings() {
    if (!m_pFrame)
        return;
    // A read-only program folder fails quietly; the next start finds the old file.
    WriteSettingsFile(GetSettingsPath(), m_pFrame->m_settings, m_strCurrentFolder);
}

void CTreeContainerWnd::ResetLibrary() {
    // The stored favourites are gone; so are the ones in memory.
    m_favorites.Clear();
    RebuildFavoritesTree();
}

void CTreeContainerWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintHeader(p);
    p.end();
    if (m_bFirstPaint) {
        m_bFirstPaint = false;
        OnFirstPaint();
    }
}

void CTreeContainerWnd::CreateFolderTree() {
    m_pTree = new CShellTreeCtrl(m_pFrame, this);
    connect(m_pTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { OnFolderTreeSelChanged(item); });
    connect(m_pTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupFolderTreeMenu(m_pTree->viewport()->mapToGlobal(pos));
    });
    m_pTree->onSpace = [this] { SwitchMode(0); };
    m_pTree->onDelete = [this] { // only a picked picture, never a folder
        if (m_pTree->currentItem() && m_pTree->ClassifyItem() == kTreeImageFile)
            OnPaneCommand(ID_TREE_DELETE);
    };
    LayoutChildren();
    m_pTree->setVisible(m_nPaneMode == 0);
    m_pTree->Reset(); // folders only at first
}

void CTreeContainerWnd::OnFirstPaint() {
    CreateFolderTree();
    if (m_bShowLastSee)
        m_pTree->SelectPath(m_strCurrentFolder); // the selection makes it current
    else
        ShowFolder(m_strCurrentFolder);
    m_hSelItem = m_pTree->currentItem();
    m_bFolderSelected = true;

    LoadSettings(); // the second read gives the same values
    m_pFrame->UpdateCommandUi();

    if (m_pFrame->m_bOpenCmdLineFile) {
        // The folder of the file named at start is selected and listed; the
        // file itself is not opened (the user opens it from the list).
        m_pFrame->m_bOpenCmdLineFile = false;
        std::string folder = FolderPartOf(m_pFrame->m_strCmdLineFile);
        m_pTree->SelectPath(folder);
        m_hSelItem = m_pTree->currentItem();
        ShowFolder(folder);
        m_bFolderSelected = true;
    }
}

// ---------------------------------------------------------------------------
// Layout, header, tabs and keys

void CTreeContainerWnd::LayoutChildren() {
    const int w = width(), h = height();
    if (m_cbHistory)
        m_cbHistory->setGeometry(6, 20, std::max(w - 6, 0), 22);
    if (m_pTree)
        m_pTree->setGeometry(0, 44, w, std::max(h - 44, 0));
    if (m_pFavTree)
        m_pFavTree->setGeometry(0, 22, w, std::max(h - 22, 0));
}

void CTreeContainerWnd::resizeEvent(QResizeEvent*) {
    LayoutChildren();
}

void CTreeContainerWnd::PaintHeader(QPainter& p) {
    const int w = width();
    const QColor back = palette().color(QPalette::Window);
    p.fillRect(0, 0, w, kHeaderHeight, kHeaderColor);
    const QRect active = m_nPaneMode == 0 ? FolderTabRect() : FavoritesTabRect();
    p.fillRect(active, back);
    for (const QRect& tab : {FolderTabRect(), FavoritesTabRect()}) {
        const bool on = tab == active;
        p.setPen(on ? kTabLight : kHeaderColor);
        p.drawLine(tab.left(), tab.bottom(), tab.left(), tab.top());
        p.drawLine(tab.left(), tab.top(), tab.right(), tab.top());
        p.setPen(Qt::black);
        p.drawLine(tab.right(), tab.top() + 1, tab.right(), tab.bottom());
    }
    p.drawPixmap(8, 1, QIcon(":/icons/tab208.png").pixmap(16, 16));
    p.drawPixmap(68, 1, QIcon(":/icons/tab209.png").pixmap(16, 16));
    p.setFont(SongFont(9));
    p.setPen(Qt::black);
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawText(QRect(26, 4, 60, 32), Qt::AlignLeft | Qt::AlignTop, "文件夹");
    p.drawText(QRect(86, 4, 60, 14), Qt::AlignLeft | Qt::AlignTop, "收藏夹");
    // The close box.
    const QRect box = CloseBoxRect(w);
    p.setPen(Qt::black);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.drawLine(box.left() + 3, box.top() + 3, box.right() - 3, box.bottom() - 3);
    p.drawLine(box.right() - 3, box.top() + 3, box.left() + 3, box.bottom() - 3);
}

void CTreeContainerWnd::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    const QPoint at = e->position().toPoint();
    if (FolderTabRect().contains(at) && m_nPaneMode == 1) {
        m_pFrame->OnCommand(ID_VIEW_FOLDERS);
    } else if (FavoritesTabRect().contains(at) && m_nPaneMode == 0) {
        m_pFrame->OnCommand(ID_VIEW_FAVORITES);
    } else if (CloseBoxRect(width()).contains(at)) {
        m_pFrame->OnCommand(ID_VIEW_LEFT_PANE);
    }
    QWidget::mousePressEvent(e);
}

void CTreeContainerWnd::keyPressEvent(QKeyEvent* e) {
    // A key on the pane itself brings the folder tree back.
    SwitchMode(0);
    QWidget::keyPressEvent(e);
}

bool CTreeContainerWnd::eventFilter(QObject* watched, QEvent* e) {
    if (m_cbHistory && watched == m_cbHistory->lineEdit()) {
        if (e->type() == QEvent::FocusIn)
            m_bComboHasFocus = true;
        else if (e->type() == QEvent::FocusOut)
            m_bComboHasFocus = false;
    }
    return QWidget::eventFilter(watched, e);
}

void CTreeContainerWnd::OnViewFolders() {
    m_nPaneMode = 0;
    LayoutChildren();
    if (m_cbHistory)
        m_cbHistory->show();
    SwitchMode(0);
    update(0, 0, width(), kHeaderHeight);
}

void CTreeContainerWnd::OnViewFavorites() {
    m_nPaneMode = 1;
    LayoutChildren();
    if (m_cbHistory)
        m_cbHistory->hide();
    SwitchMode(2);
    update(0, 0, width(), kHeaderHeight);
}

void CTreeContainerWnd::SwitchMode(int mode) {
    if (mode == 0) {
        if (m_pTree) {
            m_pTree->show();
            m_pTree->setFocus();
        }
        if (m_pFavTree)
            m_pFavTree->hide();
    } else if (mode == 2) {
        RebuildFavoritesTree();
        if (m_pFavTree)
            m_pFavTree->show();
        if (m_pTree)
            m_pTree->hide();
    }
}

// ---------------------------------------------------------------------------
// Current folder and file

void CTreeContainerWnd::ShowFolder(const std::string& folder) {
    m_strCurrentFolder = folder;
    m_pFrame->m_strCurFolder = folder;
    BuildFolderImageList(folder);
}

void CTreeContainerWnd::BuildFolderImageList(const std::string& folder) {
    // The folder is enumerated by its full path; a relative text (such as the
    // stored "No Name") names no folder, whatever the working directory is.
    if (folder.empty() || folder.front() != '/') {
        m_arrFolderImages.clear();
        return;
    }
    m_arrFolderImages = ListFolderPictures(folder);
}

std::string CTreeContainerWnd::GetFolderImage(int i) const {
    int n = static_cast<int>(m_arrFolderImages.size());
    if (n < 2)
        return {};
    return m_arrFolderImages[static_cast<std::size_t>(std::clamp(i, 0, n - 1))];
}

void CTreeContainerWnd::RemoveFolderImage(const std::string& path, int mode,
                                          const std::string& newPath) {
    int i = FindFolderImage(path);
    if (i < 0)
        return;
    if (mode == 1)
        m_arrFolderImages.erase(m_arrFolderImages.begin() + i);
    else if (mode == 2)
        m_arrFolderImages[static_cast<std::size_t>(i)] = newPath;
}

int CTreeContainerWnd::FindFolderImage(const std::string& path) const {
    for (std::size_t i = 0; i < m_arrFolderImages.size(); ++i)
        if (m_arrFolderImages[i] == path)
            return static_cast<int>(i);
    return -1;
}

void CTreeContainerWnd::ShowImageFile(const std::string& path) {
    m_strCurrentFile = path;
    std::string name = FileNameOf(path);
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ext.empty() || g_strPictureExts.find(ext) == std::string::npos)
        return;
    if (CImgContainerWnd* right = m_pFrame->GetImgContainer())
        right->ImageWnd()->OpenImage(path);
    if (m_pFrame->m_bImageLoaded)
        AddToHistory(FolderPartOf(path));
    UpdateFileInfo(path);
    m_pFrame->ShowPosition();
}

void CTreeContainerWnd::OpenPicture(const std::string& path) {
    if (CImgContainerWnd* right = m_pFrame->GetImgContainer())
        right->RequestStopSlideShow();
    m_pFrame->m_bRotated = false;
    m_pFrame->m_nDisplayMode = 0;
    ShowImageFile(path);
}

void CTreeContainerWnd::RemoveFileItem(const std::string& path) {
    if (!m_pTree)
        return;
    QTreeWidgetItem* item = m_pTree->FindLoadedItem(path);
    if (!item || m_pTree->ClassifyItem(item) == kTreeFolder)
        return;
    // The tree moves its selection off the item; that is no choice of the
    // user's and opens nothing.
    m_bRemovingItem = true;
    if (m_hSelItem == item)
        m_hSelItem = nullptr;
    delete item;
    m_bRemovingItem = false;
    if (!m_hSelItem)
        m_hSelItem = m_pTree->currentItem();
}

// ---------------------------------------------------------------------------
// Selections

void CTreeContainerWnd::OnFolderTreeSelChanged(QTreeWidgetItem* item) {
    if (m_bRemovingItem || !item)
        return;
    m_bFolderSelected = false;
    m_hSelItem = item;
    const std::string path = m_pTree->GetItemPath(item);
    if (m_pTree->ClassifyItem(item) != kTreeImageFile) {
        if (path.empty())
            return; // nothing on disk behind it
        ShowFolder(path);
        AddToHistory(path);
        m_bFolderSelected = true;
        m_bFromTree = false;
        m_strCurrentFile.clear();
        ShowFolderInRightPane();
        return;
    }
    const std::string folder = FolderPartOf(path);
    if (!SameFolder(folder, m_strCurrentFolder)) {
        ShowFolder(folder);
        AddToHistory(folder);
    }
    OpenPicture(path);
}

void CTreeContainerWnd::ShowFolderInRightPane() {
    m_pFrame->m_nStripMode = 0;
    m_pFrame->m_bRotated = false;
    if (CImgContainerWnd* right = m_pFrame->GetImgContainer())
        right->ImageWnd()->ResetView();
    if (!m_arrFolderImages.empty()) {
        m_pFrame->ShowListMode();
        return;
    }
    EmptyRightPane();
    m_pFrame->ShowNoPictures();
    m_strCurrentFile = "  ";
    m_pFrame->SetStatusText(0, "r");
    for (int pane = 1; pane <= 4; ++pane)
        m_pFrame->SetStatusText(pane, "");
}

void CTreeContainerWnd::EmptyRightPane() {
    m_pFrame->ClearListPane();
}

void CTreeContainerWnd::OnFavoritesSelChanged(QTreeWidgetItem* item) {
    if (!m_bNotify || !item)
        return;
    std::optional<std::string> folder = m_favorites.FolderForLabel(S(item->text(0)));
    if (!folder)
        return;
    m_arrFolderImages.clear();
    ShowFolder(*folder);
    m_strCurrentFile.clear();
    ShowFolderInRightPane();
}

// ---------------------------------------------------------------------------
// History box

void CTreeContainerWnd::AddToHistory(const std::string& path) {
    if (!m_cbHistory)
        return;
    if (m_cbHistory->AddItem(HistoryText(path)))
        m_cbHistory->setCurrentIndex(m_cbHistory->count() - 1);
}

void CTreeContainerWnd::OnHistorySelected(const std::string& text) {
    if (m_pTree) {
        m_pTree->SelectPath(text);
        m_hSelItem = m_pTree->currentItem();
    }
    ShowFolder(text);
    m_bFolderSelected = true;
}

void CTreeContainerWnd::OnHistoryEnter(const std::string& text) {
    if (m_nPaneMode != 0)
        return;
    // Only a full path names a folder; the working directory means nothing.
    if (!text.empty() && text.front() == '/' && DirectoryExists(text))
        OnHistorySelected(text);
    else
        PlatformUi().MessageBox("文件目录不存在!", "Tavisk美图");
}

void CTreeContainerWnd::OnClearHistory() {
    DeleteOldTubFiles(); // only under the program folder
    if (m_cbHistory)
        m_cbHistory->RemoveAllItems();
}

// ---------------------------------------------------------------------------
// Menus and commands

bool CTreeContainerWnd::IsPaneCommandEnabled(int id) const {
    if (int frameId = FrameCommandFor(id))
        return IsCommandAvailable(frameId) && m_pFrame->QueryCommand(frameId).enabled;
    return IsCommandAvailable(id);
}

QMenu* CTreeContainerWnd::BuildMenu(const std::vector<std::pair<int, const char*>>& items) {
    auto* menu = new QMenu(this);
    for (const auto& [id, text] : items) {
        QAction* a = menu->addAction(QString::fromUtf8(text));
        a->setData(id);
        a->setEnabled(IsPaneCommandEnabled(id));
    }
    return menu;
}

QMenu* CTreeContainerWnd::BuildFolderMenu() {
    const bool shown = m_pFrame->m_settings.mAdd != 0;
    QMenu* menu = BuildMenu({{ID_TREE_ADD_FAVORITE, "加入收藏夹"},
                             {ID_TREE_SEARCH, "搜索文件"},
                             {ID_TREE_SHOW_FILES, shown ? "隐藏文件" : "显示文件"},
                             {ID_TREE_RELOAD, "重载视图"}});
    menu->setObjectName("FolderMenu");
    QAction* files = menu->actions().at(2);
    files->setCheckable(true);
    files->setChecked(shown);
    return menu;
}

QMenu* CTreeContainerWnd::BuildFileMenu() {
    QMenu* menu = BuildMenu({{ID_TREE_OPEN, "打开"},
                             {ID_TREE_COPY, "复制"},
                             {ID_TREE_SAVE_AS, "另存"},
                             {ID_TREE_DELETE, "删除"},
                             {ID_TREE_RENAME, "重命名"},
                             {ID_TREE_BATCH_RENAME, "批量命名"},
                             {ID_TREE_PROPERTIES, "属性"}});
    menu->setObjectName("FileMenu");
    return menu;
}

QMenu* CTreeContainerWnd::BuildFavoritesMenu() {
    QMenu* menu = BuildMenu(
        {{ID_FAVORITES_ADD, "添加"}, {ID_FAVORITES_REMOVE, "删除"}, {ID_FAVORITES_CLEAR, "清空"}});
    menu->setObjectName("FavoritesMenu");
    return menu;
}

void CTreeContainerWnd::PopupFolderTreeMenu(const QPoint& global) {
    if (m_nPaneMode != 0 || !m_pTree)
        return;
    std::unique_ptr<QMenu> menu(m_pTree->currentItem() && m_pTree->ClassifyItem() == kTreeImageFile
                                    ? BuildFileMenu()
                                    : BuildFolderMenu());
    if (QAction* a = menu->exec(global))
        OnPaneCommand(a->data().toInt());
}

void CTreeContainerWnd::PopupFavoritesMenu(const QPoint& global) {
    std::unique_ptr<QMenu> menu(BuildFavoritesMenu());
    if (QAction* a = menu->exec(global))
        OnPaneCommand(a->data().toInt());
}

bool CTreeContainerWnd::OnPaneCommand(int id) {
    if (!IsPaneCommandEnabled(id))
        return false;
    switch (id) {
    case ID_TREE_ADD_FAVORITE:
        OnAddCurrentFolderToFavorites();
        break;
    case ID_TREE_SHOW_FILES:
        OnToggleShowFiles();
        break;
    case ID_TREE_RELOAD:
        OnReloadTree();
        break;
    case ID_FAVORITES_ADD:
        OnAddFavorite();
        break;
    case ID_FAVORITES_REMOVE:
        OnRemoveFavorite();
        break;
    case ID_FAVORITES_CLEAR:
        OnClearFavorites();
        break;
    case ID_HISTORY_CLEAR:
        OnClearHistory();
        break;
    default:
        if (int frameId = FrameCommandFor(id)) {
            // The frame acts on this pane's current file, never on the
            // thumbnail list's selection.
            m_bFromTree = true;
            m_pFrame->OnCommand(frameId);
            m_bFromTree = false;
        }
        break;
    }
    return true;
}

void CTreeContainerWnd::OnToggleShowFiles() {
    int& shown = m_pFrame->m_settings.mAdd;
    const bool wasOn = shown != 0;
    shown = wasOn ? 0 : 1;
    if (QTreeWidgetItem* sel = m_pTree ? m_pTree->currentItem() : nullptr)
        sel->setExpanded(!wasOn);
}

void CTreeContainerWnd::OnReloadTree() {
    if (!m_pTree)
        return;
    m_hSelItem = nullptr;
    m_pTree->InitRoot(true);
}

// ---------------------------------------------------------------------------
// Favourites

void CTreeContainerWnd::RebuildFavoritesTree() {
    if (!m_pFavTree)
        return;
    const bool notify = m_bNotify;
    m_bNotify = false; // the rebuild's own selection changes open nothing
    m_pFavTree->Rebuild(m_favorites.Entries());
    m_bNotify = notify;
}

void CTreeContainerWnd::OnAddFavorite() {
    std::string folder = PlatformUi().ChooseFolder("请选择文件夹", m_pFrame->DialogFolder());
    if (folder.empty())
        return;
    // Counted in a list of its own: the current folder's list stays as it is.
    const bool hasPictures = !ListFolderPictures(folder).empty();
    folder = WithTrailingSlash(folder);
    m_bNotify = false;
    if (hasPictures) {
        m_favorites.Add(folder);
        m_favorites.Renumber();
        RebuildFavoritesTree();
        m_bNotify = false;
        if (QTreeWidgetItem* first = m_pFavTree->itemAt(5, 5))
            m_pFavTree->setCurrentItem(first);
    } else {
        PlatformUi().MessageBox("文件夹中无图形文件");
    }
    m_bNotify = true;
}

void CTreeContainerWnd::OnAddCurrentFolderToFavorites() {
    BuildFolderImageList(m_strCurrentFolder);
    if (!m_arrFolderImages.empty())
        m_favorites.Add(
            WithTrailingSlash(m_strCurrentFolder)); // numbered count + 1, no renumbering
}

void CTreeContainerWnd::OnRemoveFavorite() {
    if (m_favorites.Count() == 0)
        return;
    m_bNotify = false;
    QTreeWidgetItem* item = m_pFavTree->currentItem();
    if (item && m_favorites.RemoveByLabel(S(item->text(0)))) {
        delete item;
        if (m_favorites.Count() > 0) {
            m_favorites.Renumber();
            RebuildFavoritesTree();
            m_bNotify = false;
        }
        EmptyRightPane();
    }
    m_bNotify = true;
}

void CTreeContainerWnd::OnClearFavorites() {
    m_bNotify = false;
    m_favorites.Clear();
    RebuildFavoritesTree();
    EmptyRightPane();
    m_bNotify = true;
}
