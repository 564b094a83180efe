#include "library/TreeContainerWnd.h"

#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "app/PictureFiles.h"
#include "image/ImageWnd.h"
#include "app/Settings.h"
#include "platform/ProgramFolder.h"

#include <QPainter>
#include <algorithm>
#include <cctype>

CTreeContainerWnd::CTreeContainerWnd(CMainFrame* frame) : QWidget(frame), m_pFrame(frame) {
    setObjectName("TreeContainerWnd");
    setMinimumWidth(0);
}

CTreeContainerWnd::~CTreeContainerWnd() {
    SaveSettings();
}

bool CTreeContainerWnd::Create() {
    LoadSettings();
    return true;
}

void CTreeContainerWnd::LoadSettings() {
    // The frame is reached as this pane's own frame: it exists before the
    // application knows it as its main window.
    if (!m_pFrame)
        return;
    std::string folder;
    ReadSettingsFile(GetSettingsPath(), m_pFrame->m_settings, folder);
    m_strCurrentFolder = folder;
    m_strStartFolder = folder;
    m_bShowLastSee = m_pFrame->m_settings.mLastSee != 0;
    // The picture window exists from the second read on.
    CImgContainerWnd* right = m_pFrame->GetImgContainer();
    if (right && right->ImageWnd())
        right->ImageWnd()->SetBackgroundColor(m_pFrame->m_settings.crRightBack);
}

void CTreeContainerWnd::SaveSettings() {
    if (!m_pFrame)
        return;
    // A read-only program folder fails quietly; the next start finds the old file.
    WriteSettingsFile(GetSettingsPath(), m_pFrame->m_settings, m_strCurrentFolder);
}

void CTreeContainerWnd::ResetLibrary() {}

void CTreeContainerWnd::ShowFolder(const std::string& folder) {
    m_strCurrentFolder = folder;
    m_pFrame->m_strCurFolder = folder;
    BuildFolderImageList(folder);
}

void CTreeContainerWnd::BuildFolderImageList(const std::string& folder) {
    // The folder is enumerated by its path; the working directory is never changed.
    m_arrFolderImages = ListFolderPictures(folder);
}

std::string CTreeContainerWnd::GetFolderImage(int i) const {
    int n = static_cast<int>(m_arrFolderImages.size());
    if (n < 2)
        return {};
    return m_arrFolderImages[static_cast<std::size_t>(std::clamp(i, 0, n - 1))];
}

void CTreeContainerWnd::RemoveFolderImage(const std::string& path, int mode,
                                          const std::string& newPath) {
    int i = FindFolderImage(path);
    if (i < 0)
        return;
    if (mode == 1)
        m_arrFolderImages.erase(m_arrFolderImages.begin() + i);
    else if (mode == 2)
        m_arrFolderImages[static_cast<std::size_t>(i)] = newPath;
}

void CTreeContainerWnd::ShowImageFile(const std::string& path) {
    m_strCurrentFile = path;
    std::string name = FileNameOf(path);
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ext.empty() || g_strPictureExts.find(ext) == std::string::npos)
        return;
    if (CImgContainerWnd* right = m_pFrame->GetImgContainer())
        right->ImageWnd()->OpenImage(path);
    m_pFrame->ShowPosition();
}

void CTreeContainerWnd::OpenPicture(const std::string& path) {
    if (CImgContainerWnd* right = m_pFrame->GetImgContainer())
        right->RequestStopSlideShow();
    m_pFrame->m_bRotated = false;
    m_pFrame->m_nDisplayMode = 0;
    ShowImageFile(path);
}

void CTreeContainerWnd::RemoveFileItem(const std::string& path) {
    // The folder tree does not list files yet: nothing to remove.
    (void)path;
}

int CTreeContainerWnd::FindFolderImage(const std::string& path) const {
    for (std::size_t i = 0; i < m_arrFolderImages.size(); ++i)
        if (m_arrFolderImages[i] == path)
            return static_cast<int>(i);
    return -1;
}

void CTreeContainerWnd::paintEvent(QPaintEvent*) {
    if (m_bFirstPaint) {
        m_bFirstPaint = false;
        OnFirstPaint();
    }
}

void CTreeContainerWnd::OnFirstPaint() {
    ShowFolder(m_strCurrentFolder); // the stored folder is current again
    LoadSettings();                 // the second read gives the same values
    if (m_pFrame->m_bOpenCmdLineFile) {
        // The folder of the file named at start is listed; the file itself is
        // not opened (the user opens it from the list).
        m_pFrame->m_bOpenCmdLineFile = false;
        ShowFolder(FolderOf(m_pFrame->m_strCmdLineFile));
        m_pFrame->ShowListMode();
    }
}
