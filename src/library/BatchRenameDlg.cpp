#include "library/BatchRenameDlg.h"

#include "platform/QtUtil.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

// Dialog 172. Esc and the close box cancel.
CBatchRenameDlg::CBatchRenameDlg(QWidget* parent) : CSmallDialog(parent, "批量命名", 172, 50) {
    setObjectName("BatchRenameDlg");
    AddLabel("数字位置", 8, 10);
    m_cbPosition = new QComboBox(this);
    m_cbPosition->setObjectName("Position");
    m_cbPosition->addItems(
        {QStringLiteral("后面"), QStringLiteral("中间"), QStringLiteral("前面")});
    m_cbPosition->setGeometry(DialogUnitsRect(this, 46, 8, 74, 13));
    AddLabel("名字描述", 8, 29);
    m_editDesc = AddEdit("Description", 46, 27, 74, 13);
    QPushButton* apply = AddButton("应用", "OK", 126, 27, 38, 13);
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
}

void CBatchRenameDlg::UpdateData(bool bSaveAndValidate) {
    if (bSaveAndValidate) {
        m_strDesc = PathBytes(m_editDesc->text());
        m_nPosition = m_cbPosition->currentIndex();
    } else {
        m_editDesc->setText(PathText(m_strDesc));
        m_cbPosition->setCurrentIndex(m_nPosition);
    }
}
