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
    // Makes a folder current: the pane's and the frame's current folder, and
    // its picture list.
    void ShowFolder(const std::string& folder);
    // Lists the pictures of a folder into m_arrFolderImages.
    void BuildFolderImageList(const std::string& folder);
    // Entry i of the list, i kept inside the list; "" when it holds fewer than 2.
    std::string GetFolderImage(int i) const;
    // Index of a path in the picture list (exact bytes), -1 when absent.
    int FindFolderImage(const std::string& path) const;
    // Removes (mode 1) or replaces with newPath (mode 2) the entry of a path.
    void RemoveFolderImage(const std::string& path, int mode, const std::string& newPath = {});
    // Makes a file current and opens it in the picture window when its
    // extension is a picture's.
    void ShowImageFile(const std::string& path);
    // Opens a picture for the user through this pane (next, previous, a tree
    // or list click): a running slide show is asked to stop, the frame's
    // per-picture state is reset, and the file is shown.
    void OpenPicture(const std::string& path);
    // Removes the folder tree's item of a file path, when the tree has one
    // (after the file was deleted or moved away).
    void RemoveFileItem(const std::string& path);
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
