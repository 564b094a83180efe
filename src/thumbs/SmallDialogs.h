#pragma once
#include <QDialog>
#include <QRect>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

// A rectangle given in dialog units (a quarter of the font's average
// character width across, an eighth of its height down), in pixels of the
// widget's font.
QRect DialogUnitsRect(const QWidget* w, int x, int y, int cx, int cy);

// The frame of the program's small modal dialogs: a caption and a close box,
// a fixed client size in dialog units, and fields moved to and from the
// controls by UpdateData. DoModal shows the controls' values taken from the
// members, and on OK reads them back; it returns QDialog::Accepted or
// Rejected. The dialogs check nothing: the caller looks at the values.
class CSmallDialog : public QDialog {
    Q_OBJECT
public:
    int DoModal();
    virtual void UpdateData(bool bSaveAndValidate) = 0;

protected:
    CSmallDialog(QWidget* parent, const char* caption, int cx, int cy);
    // The first edit starts with the focus and its text selected, so that
    // typing replaces it.
    void showEvent(QShowEvent* e) override;
    QLabel* AddLabel(const char* text, int x, int y, int cx = 0, int cy = 8);
    QLineEdit* AddEdit(const char* name, int x, int y, int cx, int cy);
    QPushButton* AddButton(const char* text, const char* name, int x, int y, int cx, int cy);
};

// "重命名": the new base name of a file.
class CRenameDlg : public CSmallDialog {
    Q_OBJECT
public:
    explicit CRenameDlg(QWidget* parent = nullptr);
    void UpdateData(bool bSaveAndValidate) override;

    std::string m_strName;
    QLineEdit* m_editName;
};

// A folder and a file name, with a browse button for the folder: the move
// dialog ("移动文件") and the search dialog ("搜索文件"). The caller sets the
// caption.
class CFolderNameDlg : public CSmallDialog {
    Q_OBJECT
public:
    explicit CFolderNameDlg(QWidget* parent = nullptr);
    void UpdateData(bool bSaveAndValidate) override;
    // The browse button: the folder chooser, starting in the typed folder.
    void OnBrowse();

    std::string m_strCaption;
    std::string m_strFolder;
    std::string m_strFileName;
    QLineEdit* m_editFolder;
    QLineEdit* m_editFileName;
    QPushButton* m_btnBrowse;

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

// The first page of the file-information sheet, "文件属性": eight facts of a
// file, shown only.
class CFileProperties : public QWidget {
    Q_OBJECT
public:
    explicit CFileProperties(QWidget* parent = nullptr);
    // Shows the members in the controls (nothing is ever read back).
    void UpdateData();

    std::string m_strPath, m_strFileName, m_strFileSize, m_strImageSize, m_strBitDepth,
        m_strCreated, m_strModified, m_strAccessed;
    QLineEdit* m_editPath;
    QLabel* m_fields[7]; // file name ... access time, in the order of the members
};
