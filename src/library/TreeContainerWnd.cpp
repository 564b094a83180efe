#include "library/TreeContainerWnd.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/ProgramFolder.h"

#include <QPainter>

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
}

void CTreeContainerWnd::SaveSettings() {
    if (!m_pFrame)
        return;
    // A read-only program folder fails quietly; the next start finds the old file.
    WriteSettingsFile(GetSettingsPath(), m_pFrame->m_settings, m_strCurrentFolder);
}

void CTreeContainerWnd::ResetLibrary() {}

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
    LoadSettings(); // the second read gives the same values
    if (m_pFrame->m_bOpenCmdLineFile) {
        m_pFrame->m_bOpenCmdLineFile = false;
        m_strCurrentFolder = FolderOf(m_pFrame->m_strCmdLineFile);
        m_pFrame->m_strCurFolder = m_strCurrentFolder;
    }
}
