#pragma once
#include <QDialog>
#include <string>

class CShellTreeCtrl;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

// The folder chooser: a tree of the file system with "/" and the home folder
// at the top, and above it an edit that shows the picked folder's path and
// takes a typed one. OK checks the path (CheckChosenFolder), offers to make
// a missing folder, and stays open when the check fails.
class CFolderChooser : public QDialog {
    Q_OBJECT
public:
    // A window title (empty: "浏览文件夹"), a prompt shown above the edit
    // (may be empty), the folder selected at start (empty or missing: the
    // home folder) and the owner window.
    CFolderChooser(const std::string& windowTitle, const std::string& prompt,
                   const std::string& startFolder, QWidget* owner);

    // 1 when a path was accepted, otherwise -1.
    int DoModal();
    std::string GetPath() const { return m_szPath; }

    CShellTreeCtrl* Tree() const { return m_pTree; }
    QLineEdit* PathEdit() const { return m_editPath; }
    QPushButton* OkButton() const { return m_btnOk; }

private:
    void OnSelChanged(QTreeWidgetItem* item);
    void OnPathEdited(const QString& text);
    void OnOK();

    std::string m_pszWindowTitle;
    std::string m_pszStartFolder;
    std::string m_szPath;
    bool m_bAccepted = false;
    CShellTreeCtrl* m_pTree;
    QLineEdit* m_editPath;
    QPushButton* m_btnOk;
};
