#include "platform/QtUtil.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>

QFont SongFont(double pointSize) {
    QFont f;
    f.setFamilies(QStringList{"宋体", "AR PL UMing CN", "AR PL UMing", "WenQuanYi Zen Hei"});
    f.setPointSizeF(pointSize);
    return f;
}

void LayOutSheet(QDialog* sheet, QTabWidget* pages) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, sheet);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, sheet, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, sheet, &QDialog::reject);
    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(pages);
    layout->addWidget(buttons);
}
