#include "thumbs/FolderChooser.h"

#include "library/ShellTreeCtrl.h"
#include "platform/FileOps.h"
#include "platform/QtUtil.h"
#include "thumbs/FolderPathCheck.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CFolderChooser::CFolderChooser(const std::string& windowTitle, const std::string& prompt,
                               const std::string& startFolder, QWidget* owner)
    : QDialog(owner), m_pszWindowTitle(windowTitle), m_pszStartFolder(startFolder) {
    setObjectName("FolderChooser");
    setWindowTitle(m_pszWindowTitle.empty() ? QStringLiteral("浏览文件夹") : Q(m_pszWindowTitle));
    resize(360, 440);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    if (!prompt.empty())
        layout->addWidget(new QLabel(Q(prompt), this));
    m_editPath = new QLineEdit(this);
    m_editPath->setObjectName("PathEdit");
    m_editPath->setFixedHeight(23);
    layout->addWidget(m_editPath);
    // Folders only: no frame behind the tree, so no picture files.
    m_pTree = new CShellTreeCtrl(nullptr, this);
    layout->addWidget(m_pTree, 1);
    auto* buttons = new QDialogButtonBox(this);
    m_btnOk = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    m_btnOk->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    connect(m_pTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { OnSelChanged(item); });
    connect(m_editPath, &QLineEdit::textChanged, this, &CFolderChooser::OnPathEdited);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFolderChooser::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CFolderChooser::DoModal() {
    m_bAccepted = false;
    m_pTree->Reset();
    std::string start = m_pszStartFolder;
    if (!DirectoryExists(start))
        start = PathBytes(QDir::homePath());
    m_btnOk->setEnabled(false);
    m_pTree->SelectPath(start);
    // A typed path replaces the one shown.
    m_editPath->setFocus();
    m_editPath->selectAll();
    exec();
    return m_bAccepted ? 1 : -1;
}

void CFolderChooser::OnSelChanged(QTreeWidgetItem* item) {
    // Only an item with a path on disk can be chosen.
    const std::string path = m_pTree->GetItemPath(item);
    const bool usable = !path.empty() && path.front() == '/';
    m_editPath->setText(usable ? PathText(path) : QString());
    m_btnOk->setEnabled(usable);
}

void CFolderChooser::OnPathEdited(const QString& text) {
    // The whole text: a path too long to be one is refused by the check, not cut.
    m_szPath = PathBytes(text);
    m_btnOk->setEnabled(!text.isEmpty());
}

void CFolderChooser::OnOK() {
    m_szPath = PathBytes(m_editPath->text());
    if (!CheckChosenFolder(m_szPath)) {
        m_editPath->setFocus();
        return;
    }
    m_bAccepted = true;
    accept();
}
