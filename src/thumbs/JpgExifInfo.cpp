#include "thumbs/JpgExifInfo.h"

#include "platform/QtUtil.h"
#include "thumbs/SmallDialogs.h"

#include <QHeaderView>
#include <QTreeWidget>

// Dialog 213, 243 x 140, with the list at (7, 7), 223 x 126.
CJpgExifInfo::CJpgExifInfo(QWidget* parent) : QWidget(parent) {
    setObjectName("JpgExifInfo");
    setWindowTitle(QStringLiteral("Exif信息"));
    setFixedSize(DialogUnitsRect(this, 0, 0, 243, 140).size());
    m_list = new QTreeWidget(this);
    m_list->setObjectName("ExifList");
    m_list->setRootIsDecorated(false);
    m_list->setGeometry(DialogUnitsRect(this, 7, 7, 223, 126));
}

void CJpgExifInfo::OnInitDialog() {
    m_list->clear();
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("标记"), QStringLiteral("值")});
    m_list->header()->setDefaultAlignment(Qt::AlignLeft);
    m_list->setColumnWidth(0, 130);
    m_list->setColumnWidth(1, 160);
    for (std::size_t i = 0; i < m_arrTags.size() && i < m_arrValues.size(); ++i) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, Q(m_arrTags[i]));
        item->setText(1, Q(m_arrValues[i]));
    }
}
