#include "library/FileInfoCommands.h"

#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "library/FileInfo.h"
#include "library/FolderTree.h"
#include "library/ShellTreeCtrl.h"
#include "library/TreeContainerWnd.h"
#include "platform/PlatformUi.h"
#include "platform/QtUtil.h"
#include "thumbs/ExifRows.h"
#include "thumbs/JpgExifInfo.h"
#include "thumbs/SmallDialogs.h"

#include <QTabWidget>

CFileInfoSheet::CFileInfoSheet(QWidget* parent) : QDialog(parent) {
    setObjectName("FileInfoSheet");
    setWindowTitle(QStringLiteral("文件信息"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("FileInfoTabs");
    m_pageFile = new CFileProperties(tabs);
    m_pageExif = new CJpgExifInfo(tabs);
    tabs->addTab(m_pageFile, m_pageFile->windowTitle());
    tabs->addTab(m_pageExif, m_pageExif->windowTitle());
    LayOutSheet(this, tabs);
}

// ---------------------------------------------------------------------------
// The left pane's status information

void CTreeContainerWnd::UpdateFileInfo(const std::string& path) {
    CImageWnd* wnd = m_pFrame->GetImgContainer()->ImageWnd();
    // After a failed load the window may still hold the previous picture:
    // its size and depth belong to no file now, nor does the caption's path.
    if (!m_pFrame->m_bImageLoaded || !wnd->IsLoaded()) {
        m_shownInfo = {};
        for (int pane = 0; pane <= 9; ++pane)
            m_pFrame->SetStatusText(pane, "");
        m_pFrame->SetTitleSuffix("");
        return;
    }
    const CImageBuffer& img = wnd->Image();
    std::optional<StatusFileTexts> texts =
        ReadStatusFileTexts(path, img.Width(), img.Height(), img.GetBitCount());
    if (!texts)
        return;
    m_strSizeText = std::to_string(img.Width()) + "x" + std::to_string(img.Height());
    m_strDepthText = std::to_string(img.GetBitCount()) + "bit";
    m_pFrame->UpdateCommandUi();
    m_shownInfo = *texts;
    ShowStatusFileTexts(*texts);
    m_pFrame->SetTitleSuffix("[" + path + "]");
}

void CTreeContainerWnd::ShowHoverFileInfo(const std::string& path) {
    if (path.empty()) {
        ShowStatusFileTexts(m_shownInfo);
        return;
    }
    // The header alone: hovering never decodes a picture.
    std::optional<ImageHeader> head = ReadImageHeader(path);
    std::optional<StatusFileTexts> texts = ReadStatusFileTexts(
        path, head ? head->width : 0, head ? head->height : 0, head ? head->bitsPerPixel : 0);
    if (!texts)
        return;
    if (!head)
        texts->info.clear();
    ShowStatusFileTexts(*texts);
}

void CTreeContainerWnd::ShowStatusFileTexts(const StatusFileTexts& texts) {
    m_pFrame->SetStatusText(4, texts.name);
    m_pFrame->SetStatusText(5, texts.size);
    m_pFrame->SetStatusText(6, texts.info);
    m_pFrame->SetStatusText(7, texts.modified);
}

// ---------------------------------------------------------------------------
// The frame's commands

namespace {

void ShowFileProperties(CMainFrame* f) {
    CTreeContainerWnd* pane = f->GetTreeContainer();
    const std::string file = pane->GetCurrentFile();
    if (file.empty()) {
        PlatformUi().MessageBox("Please Selected a file First");
        return;
    }
    std::optional<FilePropertyTexts> facts = ReadFilePropertyTexts(file);
    if (!facts)
        return;
    CFileInfoSheet sheet(f);
    CFileProperties* page = sheet.m_pageFile;
    page->m_strPath = facts->path;
    page->m_strFileName = facts->fileName;
    page->m_strFileSize = facts->fileSize;
    page->m_strImageSize = pane->m_strSizeText;
    page->m_strBitDepth = pane->m_strDepthText;
    page->m_strCreated = facts->created;
    page->m_strModified = facts->modified;
    page->m_strAccessed = facts->accessed;
    page->UpdateData();
    FillExifRows(file, sheet.m_pageExif->m_arrTags, sheet.m_pageExif->m_arrValues);
    sheet.m_pageExif->OnInitDialog();
    sheet.exec();
}

// The folder tree walks to the found picture's folder and selects its item,
// which opens the picture through the left pane. Where the tree lists no
// files, the pane opens the picture itself, so the search always ends with
// the picture on the screen.
void ShowFoundPicture(CMainFrame* f, const std::string& path) {
    CTreeContainerWnd* pane = f->GetTreeContainer();
    const std::string folder = FolderPartOf(path);
    QTreeWidgetItem* fileItem = nullptr;
    if (CShellTreeCtrl* tree = pane->FolderTree()) {
        QTreeWidgetItem* folderItem = tree->SelectPath(folder);
        pane->m_hSelItem = tree->currentItem();
        for (int i = 0; folderItem && !fileItem && i < folderItem->childCount(); ++i) {
            QTreeWidgetItem* child = folderItem->child(i);
            if (tree->ClassifyItem(child) == kTreeImageFile && tree->GetItemPath(child) == path)
                fileItem = child;
        }
        if (fileItem) {
            tree->scrollToItem(fileItem);
            tree->setCurrentItem(fileItem);
            pane->m_hSelItem = fileItem;
        }
    }
    if (pane->GetCurrentFile() != path) {
        if (!SameFolder(folder, pane->GetCurrentFolder())) {
            pane->ShowFolder(folder);
            pane->AddToHistory(folder);
        }
        pane->OpenPicture(path);
    }
    pane->m_bFolderSelected = fileItem == nullptr;
}

void SearchFile(CMainFrame* f) {
    CFolderNameDlg dlg(f);
    dlg.m_strCaption = "搜索文件";
    dlg.m_strFolder = f->m_strCurFolder;
    if (dlg.DoModal() != QDialog::Accepted)
        return;
    std::string found;
    switch (SearchPicture(dlg.m_strFolder, dlg.m_strFileName, found)) {
    case ESearchResult::kNothing:
        return;
    case ESearchResult::kNoFolder:
        PlatformUi().MessageBox("输入的路径不存在");
        return;
    case ESearchResult::kNotFound:
        PlatformUi().MessageBox("没有找到:" + dlg.m_strFileName);
        return;
    case ESearchResult::kFound:
        ShowFoundPicture(f, found);
        return;
    }
}

} // namespace

void InstallFileInfoCommands(CMainFrame* f) {
    f->SetCommandHandler(ID_FILE_PROPERTIES, [f] { ShowFileProperties(f); });
    f->SetCommandHandler(ID_TOOLS_SEARCH, [f] { SearchFile(f); });
    f->SetCommandHandler(ID_TOOLS_SEARCH_HIDDEN, [f] { SearchFile(f); });
    f->GetImgContainer()->ImageWnd()->onHoverFile = [f](const std::string& path) {
        f->GetTreeContainer()->ShowHoverFileInfo(path);
    };
}
