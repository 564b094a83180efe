#pragma once
#include <QWidget>
#include <string>
#include <vector>

class CMainFrame;

// The left pane. It loads the settings as it is created and stores them as it
// is destroyed, does the start-up work at its first paint, and keeps the
// current folder and its list of pictures.
class CTreeContainerWnd : public QWidget {
    Q_OBJECT
public:
    explicit CTreeContainerWnd(CMainFrame* frame);
    ~CTreeContainerWnd() override;
    bool Create();

    void LoadSettings();
    void SaveSettings();
    // Forgets the stored library (the reset command).
    void ResetLibrary();
    // Index of a path in the picture list, -1 when absent.
    int FindFolderImage(const std::string& path) const;
    bool StartupDone() const { return !m_bFirstPaint; }

    std::vector<std::string> m_arrFolderImages; // pictures of the current folder
    std::string m_strCurrentFile;
    std::string m_strCurrentFolder;
    std::string m_strStartFolder; // the stored folder as read at start
    bool m_bShowLastSee = false;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void OnFirstPaint();

    CMainFrame* m_pFrame;
    bool m_bFirstPaint = true;
};
