#include "library/FavoritesTree.h"

#include "library/Favorites.h"
#include "platform/QtUtil.h"

#include <QHeaderView>
#include <QMouseEvent>

CFavoritesTree::CFavoritesTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("FavoritesTree");
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    m_imageList.push_back(QIcon(":/icons/fav175.png"));
    for (int i = 0; i < 32; ++i)
        m_imageList.push_back(QIcon(":/icons/fav185.png"));
}

void CFavoritesTree::Rebuild(const std::vector<std::string>& entries) {
    clear();
    QList<QTreeWidgetItem*> items;
    for (const std::string& e : entries) {
        auto* item = new QTreeWidgetItem(QStringList(PathText(SplitFavorite(e).display)));
        item->setIcon(0, m_imageList[0]);
        items.push_back(item);
    }
    addTopLevelItems(items);
}

std::string CFavoritesTree::SelectedLabel() const {
    QTreeWidgetItem* item = currentItem();
    return item ? S(item->text(0)) : std::string();
}

void CFavoritesTree::mousePressEvent(QMouseEvent* e) {
    // A right click on a favourite selects it first, so that the menu acts on
    // the one the user sees selected; beside the items it selects nothing.
    QTreeWidgetItem* hit = itemAt(e->position().toPoint());
    if (e->button() == Qt::RightButton && !hit) {
        e->accept();
        return;
    }
    const bool again = e->button() == Qt::LeftButton && hit && hit == currentItem();
    QTreeWidget::mousePressEvent(e);
    if (again)
        emit selectedItemClicked(hit); // the selection did not change: open it all the same
}
