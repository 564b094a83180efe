#pragma once
#include <QDialog>

class CMainFrame;
class CFileProperties;
class CJpgExifInfo;

// The file-information sheet "文件信息": the file page and the EXIF page, with
// OK and Cancel. It only shows; nothing is written back.
class CFileInfoSheet : public QDialog {
    Q_OBJECT
public:
    explicit CFileInfoSheet(QWidget* parent);
    CFileProperties* m_pageFile;
    CJpgExifInfo* m_pageExif;
};

// Binds the file-information commands: properties (F2, the tool bar and the
// folder tree's "属性") and the search (F3, the tool bar, the folder tree's
// "搜索文件"), and lets the bottom strip show the information of the picture
// under the mouse.
void InstallFileInfoCommands(CMainFrame* frame);
