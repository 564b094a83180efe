#include "library/ShellTreeCtrl.h"

#include "app/MainFrame.h"
#include "library/FolderTree.h"
#include "platform/FileOps.h"
#include "platform/ProgramFolder.h"
#include "platform/QtUtil.h"

#include <QDir>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QShowEvent>
#include <QMimeDatabase>
#include <QScrollBar>

// ---------------------------------------------------------------------------
// CLazyTreeCtrl

CLazyTreeCtrl::CLazyTreeCtrl(QWidget* parent) : QTreeWidget(parent) {
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        OnItemExpanding(item);
        OnItemExpanded(item);
    });
}

bool CLazyTreeCtrl::ShouldRefillChildren(QTreeWidgetItem*) {
    return false;
}

bool CLazyTreeCtrl::PopulateChildren(QTreeWidgetItem*) {
    return false;
}

void CLazyTreeCtrl::OnItemExpanding(QTreeWidgetItem* item) {
    if (item->childCount() > 0 && !ShouldRefillChildren(item)) {
        m_hPending = nullptr; // the children made before stay
        return;
    }
    m_hPending = item;
    setUpdatesEnabled(false);
    m_hPlaceholder = new QTreeWidgetItem(item, QStringList(m_strPlaceholder));
    m_bPlaceholder = true;
}

void CLazyTreeCtrl::OnItemExpanded(QTreeWidgetItem* item) {
    if (!m_hPending || m_hPending != item)
        return;
    setUpdatesEnabled(false);
    if (m_bPlaceholder) {
        delete m_hPlaceholder;
        m_hPlaceholder = nullptr;
        m_bPlaceholder = false;
    }
    m_hPending = nullptr;
    ++m_nFills;
    const bool sure = PopulateChildren(item);
    const bool hasChildren = item->childCount() > 0;
    if (sure) {
        item->setChildIndicatorPolicy(hasChildren ? QTreeWidgetItem::ShowIndicator
                                                  : QTreeWidgetItem::DontShowIndicator);
    } else if (!hasChildren) {
        // Not known for sure (a disc may be put in later): keep the button,
        // but do not leave the item open.
        item->setExpanded(false);
    }
    setUpdatesEnabled(true);
}

void CLazyTreeCtrl::FillRoot() {
    setUpdatesEnabled(false);
    m_bPendingRoot = true;
    ++m_nFills;
    PopulateChildren(nullptr);
    m_bPendingRoot = false;
    // Show the first top-level item without moving sideways.
    const int h = horizontalScrollBar()->value();
    if (topLevelItemCount() > 0)
        scrollToItem(topLevelItem(0));
    horizontalScrollBar()->setValue(h);
    setUpdatesEnabled(true);
}

// ---------------------------------------------------------------------------
// CTreeIcons

QIcon CTreeIcons::Folder() {
    if (m_folder.isNull()) {
        QFileIconProvider provider;
        QIcon closed = QIcon::fromTheme("folder", provider.icon(QAbstractFileIconProvider::Folder));
        QIcon open = QIcon::fromTheme("folder-open", closed);
        // The open folder is what a selected item shows.
        m_folder.addPixmap(closed.pixmap(16, 16), QIcon::Normal);
        m_folder.addPixmap(open.pixmap(16, 16), QIcon::Selected);
    }
    return m_folder;
}

QIcon CTreeIcons::Root() {
    if (m_root.isNull()) {
        QFileIconProvider provider;
        m_root =
            QIcon::fromTheme("drive-harddisk", provider.icon(QAbstractFileIconProvider::Drive));
    }
    return m_root;
}

QIcon CTreeIcons::Home() {
    if (m_home.isNull())
        m_home = QIcon::fromTheme("user-home", Folder());
    return m_home;
}

QIcon CTreeIcons::ForEntry(const std::string& name, int cls) {
    if (cls == kTreeFolder)
        return Folder();
    std::string key = TreeIconKey(name, cls);
    auto it = m_cache.find(key);
    if (it != m_cache.end())
        return it->second;
    static const QMimeDatabase mimes;
    QMimeType type = mimes.mimeTypeForFile(PathText(name), QMimeDatabase::MatchExtension);
    QFileIconProvider provider;
    QIcon icon = QIcon::fromTheme(
        type.iconName(),
        QIcon::fromTheme(type.genericIconName(), provider.icon(QAbstractFileIconProvider::File)));
    m_cache.emplace(std::move(key), icon);
    return icon;
}

// ---------------------------------------------------------------------------
// CShellTreeCtrl

CShellTreeCtrl::CShellTreeCtrl(CMainFrame* frame, QWidget* parent)
    : CLazyTreeCtrl(parent),
      m_fnIsFixedDisk([](const std::string& p) { return IsFixedDiskPath(p); }), m_pFrame(frame) {
    setObjectName("ShellTree");
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true); // lines and buttons at the top level too
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // The column is as wide as the widest row seen (measuring every row of a
    // large folder would cost more than reading it), and never narrower than
    // the view: long names scroll sideways.
    header()->setStretchLastSection(false);
    // A large folder is read without looking into each of its sub-folders;
    // the ones that come into view are looked at then.
    connect(this, &QTreeWidget::itemExpanded, this, [this] { ProbeVisibleItems(); });
    connect(this, &QTreeWidget::itemCollapsed, this, [this] { ProbeVisibleItems(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { ProbeVisibleItems(); });
}

void CShellTreeCtrl::ProbeVisibleItems() {
    if (!isVisible())
        return;
    // Find them all first: a changed item makes the view lay its rows out again.
    const int bottom = viewport()->height();
    std::vector<QTreeWidgetItem*> inView;
    const QFontMetrics fm(font());
    int widest = viewport()->width();
    for (QTreeWidgetItem* it = itemAt(0, 0); it; it = itemBelow(it)) {
        const QRect r = visualItemRect(it);
        if (r.top() >= bottom)
            break;
        widest = std::max(widest, r.left() + horizontalOffset() + iconSize().width() + 12 +
                                      fm.horizontalAdvance(it->text(0)));
        if (it->data(0, kUnprobedRole).toBool())
            inView.push_back(it);
    }
    if (widest > columnWidth(0) || columnWidth(0) < viewport()->width())
        setColumnWidth(0, widest);
    for (QTreeWidgetItem* it : inView) {
        it->setData(0, kUnprobedRole, QVariant());
        if (it->childCount() == 0 && !HasSubfolders(GetItemPath(it)))
            it->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    }
}

void CShellTreeCtrl::showEvent(QShowEvent* e) {
    CLazyTreeCtrl::showEvent(e);
    ProbeVisibleItems();
}

void CShellTreeCtrl::resizeEvent(QResizeEvent* e) {
    CLazyTreeCtrl::resizeEvent(e);
    ProbeVisibleItems();
}

bool CShellTreeCtrl::FilesWanted() const {
    return m_pFrame ? m_pFrame->m_settings.mAdd != 0 : m_bEnumFiles;
}

void CShellTreeCtrl::InitRoot(bool bEnumFiles) {
    m_bEnumFiles = bEnumFiles;
    m_nImageItems = m_nFolderItems = 0;
    Refresh(nullptr);
}

void CShellTreeCtrl::Reset() {
    m_nImageItems = m_nFolderItems = 0;
    m_bEnumFiles = false;
    clear();
    FillRoot();
}

void CShellTreeCtrl::Refresh(QTreeWidgetItem* item) {
    if (!item) {
        clear();
        FillRoot();
        return;
    }
    if (item->childCount() == 0)
        return;
    setUpdatesEnabled(false);
    qDeleteAll(item->takeChildren());
    m_hPending = item;
    OnItemExpanded(item);
    setUpdatesEnabled(true);
    ProbeVisibleItems();
}

QTreeWidgetItem* CShellTreeCtrl::MakeItem(const std::string& path, const std::string& text, int cls,
                                          bool hasChildren) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, PathText(text));
    item->setData(0, kPathRole, QByteArray::fromStdString(path));
    item->setData(0, kClassRole, cls);
    item->setIcon(0, m_icons.ForEntry(text, cls));
    item->setChildIndicatorPolicy(hasChildren ? QTreeWidgetItem::ShowIndicator
                                              : QTreeWidgetItem::DontShowIndicator);
    return item;
}

bool CShellTreeCtrl::PopulateChildren(QTreeWidgetItem* item) {
    if (!item) {
        // The top level: the file-system root and the home folder.
        QTreeWidgetItem* root = MakeItem("/", "/", kTreeFolder, true);
        root->setIcon(0, m_icons.Root());
        addTopLevelItem(root);
        std::string home = HistoryText(PathBytes(QDir::homePath()));
        if (!home.empty() && home != "/" && DirectoryExists(home)) {
            QTreeWidgetItem* h = MakeItem(home, FileNameOf(home), kTreeFolder, true);
            h->setIcon(0, m_icons.Home());
            h->setToolTip(0, PathText(home));
            addTopLevelItem(h);
        }
        m_nFolderItems += topLevelItemCount();
        return true;
    }
    item->setData(0, kUnprobedRole, QVariant()); // its children tell from now on
    const std::string folder = GetItemPath(item);
    if (folder.empty())
        return true;
    const bool showFiles = FilesWanted(); // read once for the whole folder
    std::vector<TreeChild> children;
    const bool withFiles = m_bEnumFiles || showFiles;
    ListTreeChildren(folder, withFiles, children, false);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(children.size()));
    for (const TreeChild& c : children) {
        if (c.cls == kTreeImageFile) {
            if (!showFiles)
                continue;
            ++m_nImageItems;
        } else {
            ++m_nFolderItems;
        }
        items.push_back(MakeItem(WithTrailingSlash(folder) + c.name, c.name, c.cls, c.hasChildren));
        if (c.cls == kTreeFolder && !withFiles)
            items.back()->setData(0, kUnprobedRole, true);
    }
    item->addChildren(items);
    return m_fnIsFixedDisk(folder);
}

std::string CShellTreeCtrl::GetItemPath(QTreeWidgetItem* item) const {
    if (!item)
        return {};
    return item->data(0, kPathRole).toByteArray().toStdString();
}

std::string CShellTreeCtrl::ItemName(QTreeWidgetItem* item) const {
    return FileNameOf(GetItemPath(item));
}

std::string CShellTreeCtrl::GetSelectedPath() const {
    return GetItemPath(currentItem());
}

int CShellTreeCtrl::ClassifyItem(QTreeWidgetItem* item) const {
    if (!item)
        item = currentItem();
    if (!item)
        return kTreeFolder;
    QVariant cls = item->data(0, kClassRole);
    return cls.isValid() ? cls.toInt() : ClassifyTreePath(GetItemPath(item));
}

QTreeWidgetItem* CShellTreeCtrl::SelectPath(const std::string& path) {
    // Start below the home folder when the path lies inside it, else below "/".
    QTreeWidgetItem* top = nullptr;
    std::optional<std::vector<std::string>> segments;
    if (QTreeWidgetItem* home = HomeItem()) {
        segments = SegmentsBelow(GetItemPath(home), path);
        if (segments)
            top = home;
    }
    if (!top && RootItem()) {
        segments = SegmentsBelow("/", path);
        if (segments)
            top = RootItem();
    }
    if (!top)
        return nullptr;
    setUpdatesEnabled(false);
    QTreeWidgetItem* reached = top;
    for (const std::string& seg : *segments) {
        if (ClassifyItem(reached) != kTreeFolder)
            break;
        reached->setExpanded(true);
        std::vector<std::string> names;
        names.reserve(static_cast<std::size_t>(reached->childCount()));
        for (int i = 0; i < reached->childCount(); ++i)
            names.push_back(ItemName(reached->child(i)));
        int i = MatchTreeSegment(names, seg);
        if (i < 0)
            break;
        reached = reached->child(i);
    }
    if (ClassifyItem(reached) == kTreeFolder)
        reached->setExpanded(true); // the folder reached is opened as well
    setUpdatesEnabled(true);
    scrollToItem(reached);
    setCurrentItem(reached);
    return reached;
}

QTreeWidgetItem* CShellTreeCtrl::InsertFolderItem(QTreeWidgetItem* hAfter, const std::string& name,
                                                  const std::string& folderPath) {
    std::string path = HistoryText(folderPath);
    if (!hAfter || !DirectoryExists(path)) {
        m_strError = "Error Gettting SystemFileInfo!";
        return nullptr;
    }
    QTreeWidgetItem* parent = hAfter->parent() ? hAfter->parent() : invisibleRootItem();
    QTreeWidgetItem* item =
        MakeItem(path, name, kTreeFolder, FilesWanted() || m_bEnumFiles || HasSubfolders(path));
    parent->insertChild(parent->indexOfChild(hAfter) + 1, item);
    ++m_nFolderItems;
    setCurrentItem(item);
    return item;
}

QTreeWidgetItem* CShellTreeCtrl::InsertFileItem(QTreeWidgetItem* hItem, const std::string& name,
                                                const std::string& path) {
    if (!hItem || !FileExists(path)) {
        m_strError = "Error Gettting SystemFileInfo!";
        return nullptr;
    }
    QTreeWidgetItem* item = MakeItem(path, name, ClassifyTreeName(name, false), false);
    if (name.find('.') != std::string::npos) {
        hItem->insertChild(hItem->childCount() > 0 ? 1 : 0, item);
    } else {
        QTreeWidgetItem* parent = hItem->parent() ? hItem->parent() : invisibleRootItem();
        parent->insertChild(parent->indexOfChild(hItem) + 1, item);
    }
    if (ClassifyItem(item) == kTreeImageFile)
        ++m_nImageItems;
    return item;
}

QTreeWidgetItem* CShellTreeCtrl::FindLoadedItem(const std::string& path) const {
    for (QTreeWidgetItem* top : {HomeItem(), RootItem()}) {
        if (!top)
            continue;
        std::optional<std::vector<std::string>> segments = SegmentsBelow(GetItemPath(top), path);
        if (!segments)
            continue;
        QTreeWidgetItem* here = top;
        for (const std::string& seg : *segments) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < here->childCount() && !next; ++i)
                if (ItemName(here->child(i)) == seg)
                    next = here->child(i);
            here = next;
            if (!here)
                break;
        }
        if (here && GetItemPath(here) == HistoryText(path))
            return here;
    }
    return nullptr;
}

void CShellTreeCtrl::mousePressEvent(QMouseEvent* e) {
    // A right click on an item selects it first, as a left click does, so
    // that its menu acts on the item the user sees selected; beside the items
    // it selects nothing.
    if (e->button() == Qt::RightButton && !itemAt(e->position().toPoint())) {
        e->accept();
        return;
    }
    CLazyTreeCtrl::mousePressEvent(e);
}

void CShellTreeCtrl::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space && onSpace)
        onSpace();
    else if (e->key() == Qt::Key_Delete && onDelete)
        onDelete();
    CLazyTreeCtrl::keyPressEvent(e);
}
