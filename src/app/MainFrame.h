#pragma once
#include "app/CommandState.h"
#include "app/Settings.h"

#include <QMainWindow>
#include <QRect>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QSplitter;
class QToolBar;
class CStatusBar;
class CImgContainerWnd;
class CTreeContainerWnd;

// The program's one top-level window: menu, tool bar, status bar and the
// splitter with the folder pane on the left and the picture pane on the
// right. It receives every command and holds the state both panes share.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Builds bars and panes; false when any part could not be made.
    bool Create();

    CImgContainerWnd* GetImgContainer() const { return m_pImgContainer; }
    CTreeContainerWnd* GetTreeContainer() const { return m_pTreeContainer; }
    CStatusBar* StatusBar() const { return m_wndStatusBar; }
    QToolBar* ToolBar() const { return m_wndToolBar; }
    QSplitter* Splitter() const { return m_wndSplitter; }

    void SetStatusText(int pane, const std::string& text);
    std::string GetStatusText(int pane) const;
    void SetTitleSuffix(const std::string& text);
    void ShowPosition();
    void ShowZoomText();
    void SetZoom(float zoom);
    float GetPrevZoom() const { return m_fPrevZoom > 0 ? m_fPrevZoom : 1.0f; }
    void SetMaxZoom(float z) { m_fMaxZoom = z; }
    void SetMinZoom(float z) { m_fMinZoom = z; }

    void ShowImageMode();
    void ShowListMode();
    void ToggleFullScreen();
    void ToggleLeftPane();
    void ShowLeftPane();
    void HideLeftPane();
    void EnsureLeftPaneShown();
    int LeftPaneWidth() const;

    void SetWorkRect(int left, int top, int right, int bottom) {
        m_rcWork = QRect(QPoint(left, top), QPoint(right, bottom));
    }
    void ClearWorkRect() { SetWorkRect(0, 0, 0, 0); }
    void ResetWorkRect();

    // Where the file and folder choosers open: the shown picture's folder,
    // else the left pane's current folder.
    std::string DialogFolder() const;

    int GetPictureCount() const;
    std::string GetPicturePath(int i) const;

    // Deletes one picture file: asks first when mDelete is on, and once the
    // file is gone takes it out of the left pane's list and folder tree.
    // True when the file was deleted.
    bool DeleteImageFile(const std::string& path);
    // The right pane's list when a folder changes.
    void ClearListPane();
    void ShowNoPictures();

    // The bottom strip of the picture window: which pictures fill its slots.
    void FillStrip(int first, int end);
    void RecomputeStrip();
    void StripStepBack();
    void StripStepForward();
    enum ERefreshStrip {
        kStripAfterPicture, // place the strip by m_nStripMode, then load it
        kStripKeep,         // load the same pictures again
        kStripRecentre,     // centre on the current picture, then load it
        kStripEnsure,       // place it only when it is empty, then load it
    };
    void RefreshStrip(ERefreshStrip how = kStripAfterPicture);
    // Draws the strip's slots from the cache files and puts the strip on the window.
    void LoadStripSlots();

    // Runs a command when it is enabled; returns whether it ran.
    bool OnCommand(int id);
    // Binds a command to a handler of a command family that lives in a file
    // of its own beside the frame (edits, file operations ...); the command
    // becomes available, and its enable rule still decides when it runs.
    void SetCommandHandler(int id, std::function<void()> handler);
    CommandUi QueryCommand(int id) const { return QueryCommandUi(id, Flags()); }
    FrameFlags Flags() const;
    // Brings every menu item and tool-bar button up to date with the state.
    void UpdateCommandUi();
    // Paints the strip and overview labels of the status bar.
    void PaintStatusLabels();

    // The shared state of both panes.
    CSystemSettings m_settings;
    bool m_bImageMode = true;
    bool m_bImageLoaded = false;
    bool m_bZoomReady = true;
    bool m_bWheelZoom = false;
    float m_fZoom = 1.0f;
    float m_fPrevZoom = 0.0f;
    float m_fMaxZoom = 50.0f;
    float m_fMinZoom = 0.25f;
    bool m_bFullScreen = false;
    bool m_bToolBarWasVisible = true;
    bool m_bStatusBarWasVisible = true;
    QMenuBar* m_menuSaved = nullptr;
    bool m_bLeftPaneShown = true;
    int m_nLeftPaneWidth = 150;
    const std::string m_strTitle = "Tavisk看图";
    std::string m_strCurFolder;
    int m_nCurIndex = 0;
    QRect m_rcWork;
    bool m_bListWhenSmallest = false;
    bool m_bRotated = false;
    int m_nDisplayMode = 1;
    int m_nInterpolation = 0;
    int m_nWheelMode = 0;
    std::vector<std::string> m_astrStrip;
    int m_nStripMode = 0;
    bool m_bOpenCmdLineFile = false;
    std::string m_strCmdLineFile;
    // Feature states shown by the two status labels.
    bool m_bShowStrip = false;
    bool m_bShowOverview = true;

signals:
    // Emitted after a command ran (tests and panes listen).
    void commandDone(int id);

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildMenu();
    void BuildToolBar();
    void BuildAccelerators();
    QAction* ActionFor(int id, const QString& text);
    void FillMenu(QMenu* menu, const std::vector<struct MenuItem>& items);
    void OnResetSystem();
    void OnAbout();
    void OnOpen();
    void OnSaveAs();
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomFit();
    void OnActualSize();
    void OnReload();
    void OnNextPrevious(bool next);
    void OnToggleOverview();
    void OnExportGps();
    class CImageWnd* ImageWnd() const;
    void DestroyPanes();

    QToolBar* m_wndToolBar = nullptr;
    CStatusBar* m_wndStatusBar = nullptr;
    QSplitter* m_wndSplitter = nullptr;
    CTreeContainerWnd* m_pTreeContainer = nullptr;
    CImgContainerWnd* m_pImgContainer = nullptr;
    std::multimap<int, QAction*> m_actions;
    std::map<int, std::function<void()>> m_handlers;
    class QStyle* m_pMenuStyle = nullptr; // the menus' look, made with the first menu
};

// The application's main window; null while it is being built and after it
// is gone.
CMainFrame* AfxGetMainWnd();
void AfxSetMainWnd(CMainFrame* frame);
