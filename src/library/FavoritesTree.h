#pragma once
#include <QIcon>
#include <QTreeWidget>
#include <string>
#include <vector>

// The favourites tree of the left pane: a flat list of "[N]name" labels, one
// per favourite folder. Its image list holds the favourites icon at index 0
// and the folder-star icon at indices 1 to 32; every label shows index 0.
class CFavoritesTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CFavoritesTree(QWidget* parent);

    // Replaces every item by one top-level item per entry, labelled with the
    // entry's part before its separator, in the order of the list.
    void Rebuild(const std::vector<std::string>& entries);
    // Label of the current (caret) item; "" when there is none.
    std::string SelectedLabel() const;

    const std::vector<QIcon>& ImageList() const { return m_imageList; }

signals:
    // A left click on the favourite that is already selected.
    void selectedItemClicked(QTreeWidgetItem* item);

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    std::vector<QIcon> m_imageList;
};
