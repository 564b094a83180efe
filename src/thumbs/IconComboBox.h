#pragma once
#include "app/Settings.h"

#include <QComboBox>
#include <QIcon>
#include <functional>
#include <string>
#include <vector>

class QPainter;

// The history box of the left pane: a drop-down whose items carry the
// program's icon on a background of their own, painted by the box itself. A
// folder can also be typed into its edit field. A right click offers
// "清除记录".
class CIconComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CIconComboBox(QWidget* parent = nullptr);

    // The backgrounds of ordinary items and of the selected one.
    void SetItemColors(COLORREF crBack, COLORREF crSelBack);
    // Adds a text unless an equal one (same bytes) is listed; an equal one is
    // selected instead and false returned.
    bool AddItem(const std::string& text);
    void RemoveAllItems();
    const std::vector<std::string>& Items() const { return m_arrItems; }

    // Paints item `index` (-1: the empty edit part) into the rectangle.
    void DrawItem(QPainter& p, const QRect& r, int index, bool selected) const;

    // The command of the right-button menu goes to this handler (the pane).
    std::function<void(int)> onCommand;
    // Called on Enter in the edit field with the typed text.
    std::function<void(const std::string&)> onEnter;
    // The pop-up menu of the right button, while it is open (tests).
    class QMenu* ActiveMenu() const {
        return m_pMenu;
    }

    COLORREF m_crText;
    COLORREF m_crSelBack;
    COLORREF m_crBack = RGB(0, 0, 255);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void PopupMenu(const QPoint& global);

    std::vector<std::string> m_arrItems;
    QIcon m_hIcon;
    class QMenu* m_pMenu = nullptr;
};
