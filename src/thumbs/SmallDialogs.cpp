#include "thumbs/SmallDialogs.h"

#include "platform/QtUtil.h"
#include "thumbs/FolderChooser.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QRect DialogUnitsRect(const QWidget* w, int x, int y, int cx, int cy) {
    const QFontMetrics fm(w->font());
    const int letters = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = (letters / 26 + 1) / 2, baseY = fm.height();
    return QRect(x * baseX / 4, y * baseY / 8, cx * baseX / 4, cy * baseY / 8);
}

// ---------------------------------------------------------------------------
// CSmallDialog

CSmallDialog::CSmallDialog(QWidget* parent, const char* caption, int cx, int cy)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(QString::fromUtf8(caption));
    setFixedSize(DialogUnitsRect(this, 0, 0, cx, cy).size());
}

int CSmallDialog::DoModal() {
    UpdateData(false);
    const int result = exec();
    if (result == QDialog::Accepted)
        UpdateData(true);
    return result;
}

void CSmallDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (auto* edit = findChild<QLineEdit*>()) {
        edit->setFocus();
        edit->selectAll();
    }
}

QLabel* CSmallDialog::AddLabel(const char* text, int x, int y, int cx, int cy) {
    auto* label = new QLabel(QString::fromUtf8(text), this);
    if (cx > 0) {
        label->setGeometry(DialogUnitsRect(this, x, y, cx, cy));
    } else {
        label->move(DialogUnitsRect(this, x, y, 0, 0).topLeft());
        label->adjustSize();
    }
    return label;
}

QLineEdit* CSmallDialog::AddEdit(const char* name, int x, int y, int cx, int cy) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(DialogUnitsRect(this, x, y, cx, cy));
    return edit;
}

QPushButton* CSmallDialog::AddButton(const char* text, const char* name, int x, int y, int cx,
                                     int cy) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    button->setObjectName(name);
    button->setGeometry(DialogUnitsRect(this, x, y, cx, cy));
    return button;
}

// ---------------------------------------------------------------------------
// CRenameDlg: dialog 138, 161 x 52. No Cancel button: Esc and the close box
// cancel.

CRenameDlg::CRenameDlg(QWidget* parent) : CSmallDialog(parent, "重命名", 161, 52) {
    setObjectName("RenameDlg");
    AddLabel("文件名", 11, 21);
    m_editName = AddEdit("Name", 40, 19, 73, 12);
    QPushButton* ok = AddButton("确定", "OK", 119, 19, 34, 12);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CRenameDlg::UpdateData(bool bSaveAndValidate) {
    if (bSaveAndValidate)
        m_strName = PathBytes(m_editName->text());
    else
        m_editName->setText(PathText(m_strName));
}

// ---------------------------------------------------------------------------
// CFolderNameDlg: dialog 158, 175 x 51.

CFolderNameDlg::CFolderNameDlg(QWidget* parent) : CSmallDialog(parent, "", 175, 51) {
    setObjectName("FolderNameDlg");
    AddLabel("目  录", 7, 10);
    m_editFolder = AddEdit("Folder", 34, 7, 88, 13);
    m_btnBrowse = AddButton("预览", "Browse", 128, 8, 37, 13);
    AddLabel("文件名", 5, 32);
    m_editFileName = AddEdit("FileName", 34, 29, 88, 13);
    QPushButton* ok = AddButton("确定", "OK", 129, 29, 37, 13);
    // Neither button takes Enter by being focused once: Enter is OK.
    m_btnBrowse->setAutoDefault(false);
    ok->setAutoDefault(false);
    connect(m_btnBrowse, &QPushButton::clicked, this, &CFolderNameDlg::OnBrowse);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CFolderNameDlg::UpdateData(bool bSaveAndValidate) {
    if (bSaveAndValidate) {
        m_strFolder = PathBytes(m_editFolder->text());
        m_strFileName = PathBytes(m_editFileName->text());
    } else {
        m_editFolder->setText(PathText(m_strFolder));
        m_editFileName->setText(PathText(m_strFileName));
    }
}

void CFolderNameDlg::showEvent(QShowEvent* e) {
    setWindowTitle(Q(m_strCaption));
    CSmallDialog::showEvent(e);
}

void CFolderNameDlg::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    CSmallDialog::keyPressEvent(e);
}

void CFolderNameDlg::OnBrowse() {
    UpdateData(true);
    CFolderChooser chooser("Tavisk美图浏览", "", m_strFolder, this);
    if (chooser.DoModal() == 1) {
        m_strFolder = chooser.GetPath();
        UpdateData(false);
    }
    // Back from the chooser, Enter belongs to this dialog again, whatever
    // window the window manager activated when the chooser closed.
    activateWindow();
    m_editFileName->setFocus();
}

// ---------------------------------------------------------------------------
// CFileProperties: property page 162, 185 x 122.

CFileProperties::CFileProperties(QWidget* parent) : QWidget(parent) {
    setObjectName("FileProperties");
    setWindowTitle(QStringLiteral("文件属性"));
    setFixedSize(DialogUnitsRect(this, 0, 0, 185, 122).size());
    const char* labels[] = {"存储路径", "文件名",   "文件大小", "图片尺寸",
                            "位深度",   "创建时间", "修改时间", "访问时间"};
    const int rows[] = {13, 26, 38, 51, 64, 77, 90, 103};
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(QString::fromUtf8(labels[i]), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        label->setGeometry(DialogUnitsRect(this, 8, rows[i] + 2, 34, 8));
    }
    m_editPath = new QLineEdit(this);
    m_editPath->setObjectName("Path");
    m_editPath->setReadOnly(true);
    m_editPath->setGeometry(DialogUnitsRect(this, 46, 13, 130, 12));
    for (int i = 0; i < 7; ++i) {
        m_fields[i] = new QLabel(this);
        m_fields[i]->setGeometry(DialogUnitsRect(this, 46, rows[i + 1] + 2, i == 0 ? 87 : 130, 8));
    }
}

void CFileProperties::UpdateData() {
    m_editPath->setText(PathText(m_strPath));
    m_editPath->setCursorPosition(0);
    const std::string* values[] = {&m_strFileName, &m_strFileSize, &m_strImageSize, &m_strBitDepth,
                                   &m_strCreated,  &m_strModified, &m_strAccessed};
    for (int i = 0; i < 7; ++i)
        m_fields[i]->setText(Q(*values[i]));
}
