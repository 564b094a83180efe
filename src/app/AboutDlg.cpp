#include "app/AboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
const char* const kAboutText =
    "Kelvra 是一个看图软件：在左侧的文件夹树中选择文件夹，右侧显示其中图片的缩略图，"
    "双击打开一张图片，可以缩放、拖动、全屏、幻灯片显示。\r\n\r\n"
    "设置保存在程序目录的 System.ini 中，收藏夹保存在 tree.sxs 中。";
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutDlg");
    setWindowTitle(QStringLiteral("关于"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(":/icons/kelvra.png"));
    auto* name = new QLabel(QStringLiteral("Tavisk看图 1.0"), this);
    auto* text = new QPlainTextEdit(this);
    text->setObjectName("AboutText"); // the fixed text, read-only
    text->setReadOnly(true);
    text->setPlainText(QString::fromUtf8(kAboutText));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(name, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(text, 1);
    layout->addWidget(buttons);
    resize(365, 267); // 243 x 164 dialog units
}
