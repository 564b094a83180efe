#include "thumbs/IconComboBox.h"

#include "platform/QtUtil.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kClearHistoryCommand = 32947;

COLORREF FromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

// Paints the items of the drop-down list through the box's own drawing.
class CIconItemDelegate : public QStyledItemDelegate {
public:
    explicit CIconItemDelegate(CIconComboBox* box) : QStyledItemDelegate(box), m_box(box) {}
    void paint(QPainter* p, const QStyleOptionViewItem& opt,
               const QModelIndex& index) const override {
        bool selected =
            (opt.state & QStyle::State_Selected) || (opt.state & QStyle::State_MouseOver);
        m_box->DrawItem(*p, opt.rect, index.row(), selected);
    }
    QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(opt, index);
        return {s.width() + 21, std::max(s.height(), 18)};
    }

private:
    CIconComboBox* m_box;
};

} // namespace

CIconComboBox::CIconComboBox(QWidget* parent)
    : QComboBox(parent), m_crText(FromQColor(QApplication::palette().color(QPalette::Text))),
      m_crSelBack(FromQColor(QApplication::palette().color(QPalette::Highlight))),
      m_hIcon(QIcon(":/icons/kelvra.png")) {
    setObjectName("HistoryBox");
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(160 / 18);
    setItemDelegate(new CIconItemDelegate(this));
    setContextMenuPolicy(Qt::NoContextMenu);
    installEventFilter(this);
    if (QLineEdit* edit = lineEdit()) {
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        edit->installEventFilter(this);
        edit->addAction(m_hIcon, QLineEdit::LeadingPosition); // the icon before the text
    }
}

void CIconComboBox::SetItemColors(COLORREF crBack, COLORREF crSelBack) {
    m_crBack = crBack;
    m_crSelBack = crSelBack;
    update();
}

bool CIconComboBox::AddItem(const std::string& text) {
    for (std::size_t i = 0; i < m_arrItems.size(); ++i)
        if (m_arrItems[i] == text) {
            setCurrentIndex(static_cast<int>(i));
            return false;
        }
    m_arrItems.push_back(text);
    addItem(PathText(text));
    return true;
}

void CIconComboBox::RemoveAllItems() {
    while (count() > 0)
        removeItem(0);
    m_arrItems.clear();
}

void CIconComboBox::DrawItem(QPainter& p, const QRect& r, int index, bool selected) const {
    COLORREF text = selected ? (~m_crText & 0xFFFFFFu) : m_crText;
    p.fillRect(r, ToQColor(selected ? m_crSelBack : m_crBack));
    if (index < 0 || index >= count())
        return;
    const int h = r.height();
    p.save();
    p.setFont(SongFont(9));
    p.setPen(ToQColor(text));
    p.drawText(QRect(r.left() + h + 5, r.top(), r.right() - (r.left() + h + 5), h),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
    p.drawPixmap(r.left(), r.top(), m_hIcon.pixmap(16, 16));
    p.restore();
}

bool CIconComboBox::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress) {
        auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() == Qt::RightButton) {
            PopupMenu(m->globalPosition().toPoint());
            return false; // the press goes on to its normal handling
        }
    } else if (e->type() == QEvent::KeyPress && (watched == this || watched == lineEdit())) {
        // The box has the focus and hands its keys on to the edit field
        // itself, past any filter there: Enter is taken as it reaches the box.
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && onEnter) {
            // A listed folder is its own bytes, whatever its name shows.
            const int listed = findText(lineEdit()->text());
            onEnter(listed >= 0 ? m_arrItems[std::size_t(listed)] : PathBytes(lineEdit()->text()));
            return true;
        }
    }
    return QComboBox::eventFilter(watched, e);
}

void CIconComboBox::PopupMenu(const QPoint& global) {
    QMenu menu(this);
    menu.setObjectName("HistoryMenu");
    QAction* clear = menu.addAction("清除记录");
    clear->setData(kClearHistoryCommand);
    m_pMenu = &menu;
    QAction* chosen = menu.exec(global);
    m_pMenu = nullptr;
    if (chosen && onCommand)
        onCommand(chosen->data().toInt());
}
