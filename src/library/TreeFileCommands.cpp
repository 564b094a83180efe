#include "library/TreeFileCommands.h"

#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "image/ImageWnd.h"
#include "library/BatchRenameDlg.h"
#include "library/FileCommands.h"
#include "library/FolderTree.h"
#include "library/ShellTreeCtrl.h"
#include "library/TreeContainerWnd.h"
#include "platform/DesktopLauncher.h"
#include "platform/PlatformUi.h"
#include "platform/ProgramFolder.h"
#include "platform/QtUtil.h"
#include "thumbs/SmallDialogs.h"

namespace {

// Gives a tree item its file's new path and name.
void RelabelItem(QTreeWidgetItem* item, const std::string& newPath) {
    item->setText(0, PathText(FileNameOf(newPath)));
    item->setData(0, CShellTreeCtrl::kPathRole, QByteArray::fromStdString(newPath));
}

} // namespace

void LeftPaneFileGone(CMainFrame* frame, const std::string& path) {
    CTreeContainerWnd* pane = frame ? frame->GetTreeContainer() : nullptr;
    if (!pane)
        return;
    CShellTreeCtrl* tree = pane->FolderTree();
    QTreeWidgetItem* item = tree ? tree->FindLoadedItem(path) : nullptr;
    const bool selected = item && item == tree->currentItem();
    pane->RemoveFolderImage(path, 1);
    pane->RemoveFileItem(path);
    if (selected) {
        // No other file becomes the picked one in its place.
        tree->setCurrentItem(nullptr);
        tree->clearSelection();
        pane->m_hSelItem = nullptr;
    }
    if (pane->m_strCurrentFile == path) {
        pane->m_strCurrentFile.clear();
        CImageWnd* wnd = frame->GetImgContainer()->ImageWnd();
        if (wnd->CurrentFile() == path)
            wnd->SetFileName({}); // the picture stays shown, without a file
    }
}

CTreeFileCommands::CTreeFileCommands(CMainFrame* frame)
    : m_pFrame(frame), m_pTree(frame->GetTreeContainer()) {}

std::string CTreeFileCommands::CurrentFile() const {
    // A folder without pictures leaves a placeholder text, not a path.
    const std::string& file = m_pTree->m_strCurrentFile;
    return !file.empty() && file.front() == '/' ? file : std::string();
}

void CTreeFileCommands::OpenWith() {
    const std::string file = CurrentFile();
    if (file.empty())
        PlatformUi().MessageBox(kSelectPicture);
    else
        OpenWithDesktop(file); // a failure shows the launcher's error
}

void CTreeFileCommands::CopyTo() {
    const std::string file = CurrentFile();
    if (file.empty()) {
        PlatformUi().MessageBox(kSelectPicture);
        return;
    }
    const std::string folder =
        PlatformUi().ChooseFolder(kChooseFolderTitle, m_pFrame->DialogFolder());
    if (!folder.empty())
        CopyFilesTo({file}, folder);
}

void CTreeFileCommands::Delete() {
    const std::string file = CurrentFile();
    if (file.empty())
        return;
    if (DeletePictureFile(file, m_pFrame->m_settings.mDelete != 0) != EDeleteResult::kDeleted)
        return;
    LeftPaneFileGone(m_pFrame, file);
    ShowChange();
}

void CTreeFileCommands::Move() {
    const std::string file = CurrentFile();
    if (file.empty())
        return;
    CFolderNameDlg dlg(m_pFrame);
    dlg.m_strCaption = "移动文件";
    dlg.m_strFolder = m_pFrame->m_strCurFolder;
    dlg.m_strFileName = SplitRenamePath(file).base;
    if (dlg.DoModal() != QDialog::Accepted)
        return;
    std::string to;
    if (MovePictureFile(file, dlg.m_strFolder, dlg.m_strFileName, to) != EMoveResult::kMoved)
        return;
    // A new name in the same folder is a rename; elsewhere the file is gone.
    if (SameFolder(FolderPartOf(to), FolderPartOf(file)))
        FileRenamed(file, to);
    else
        LeftPaneFileGone(m_pFrame, file);
    ShowChange();
}

void CTreeFileCommands::Rename() {
    const std::string file = CurrentFile();
    if (file.empty())
        return;
    CRenameDlg dlg(m_pFrame);
    dlg.m_strName = SplitRenamePath(file).base;
    if (dlg.DoModal() != QDialog::Accepted)
        return;
    std::string to;
    if (!RenamePictureFile(file, dlg.m_strName, S(m_pFrame->windowTitle()), to))
        return;
    FileRenamed(file, to);
    ShowChange();
}

void CTreeFileCommands::BatchRename() {
    CShellTreeCtrl* tree = m_pTree->FolderTree();
    CBatchRenameDlg dlg(m_pFrame);
    if (!tree || dlg.DoModal() != QDialog::Accepted)
        return;
    QTreeWidgetItem* sel = tree->currentItem();
    if (!sel)
        return;
    QTreeWidgetItem* parent = sel->parent() ? sel->parent() : tree->invisibleRootItem();
    std::vector<BatchItem> items;
    for (int i = 0; i < parent->childCount(); ++i)
        items.push_back(
            {tree->GetItemPath(parent->child(i)), tree->ClassifyItem(parent->child(i))});
    const int count = tree->GetImageItemCount();
    if (count < 1)
        return;
    if (dlg.m_strDesc.find('/') != std::string::npos) { // would move the files
        PlatformUi().MessageBox(kRenameFailed, S(m_pFrame->windowTitle()));
        return;
    }
    for (const BatchStep& step :
         ApplyBatchRename(PlanBatchRename(items, count, dlg.m_strDesc, dlg.m_nPosition))) {
        RelabelItem(parent->child(static_cast<int>(step.item)), step.newPath);
        if (m_pTree->m_strCurrentFile == step.oldPath)
            FileRenamed(step.oldPath, step.newPath);
    }
    m_pTree->BuildFolderImageList(m_pTree->m_strCurrentFolder);
    ShowChange();
}

void CTreeFileCommands::FileRenamed(const std::string& from, const std::string& to) {
    if (CShellTreeCtrl* tree = m_pTree->FolderTree())
        if (QTreeWidgetItem* item = tree->FindLoadedItem(from))
            RelabelItem(item, to);
    m_pTree->RemoveFolderImage(from, 2, to);
    if (m_pTree->m_strCurrentFile == from) {
        m_pTree->m_strCurrentFile = to;
        CImageWnd* wnd = m_pFrame->GetImgContainer()->ImageWnd();
        if (wnd->CurrentFile() == from)
            wnd->SetFileName(to);
    }
}

void CTreeFileCommands::ShowChange() {
    if (m_pFrame->GetImgContainer()->GetMode() == 2)
        m_pFrame->GetImgContainer()->RefreshList();
    if (m_pFrame->GetPictureCount() == 0)
        m_pFrame->SetStatusText(1, "");
    else
        m_pFrame->ShowPosition();
}
