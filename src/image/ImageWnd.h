#pragma once
#include "app/Settings.h"
#include "image/DecodeAhead.h"
#include "image/FloatingRow.h"
#include "image/ImageBuffer.h"
#include "image/Overview.h"
#include "image/Render.h"
#include "image/Selection.h"
#include "image/View.h"

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMainFrame;
class QMenu;

// The picture window: shows the current picture on the zoom ladder, centred
// or scrolled, with the overview panel, and turns mouse, wheel and keys into
// view changes and frame commands. It draws into a backing image of its
// client size; painting only shows that image.
class CImageWnd : public QWidget {
    Q_OBJECT
public:
    CImageWnd(CMainFrame* frame, QWidget* parent);
    ~CImageWnd() override;

    // Loads and shows a file interactively (file list, keyboard, command
    // line), with the decode time in the status bar. False when it failed;
    // the failure text is shown then.
    bool OpenImage(const std::string& path);
    // Shows a picture the slide show has decoded (null: it could not be).
    void ShowSlide(const std::string& path, std::unique_ptr<CImageBuffer> img);
    // Forgets the shown picture (another folder became current): the window
    // shows its background and the picture commands wait for the next load.
    void ResetView();
    // Loads the current file again.
    bool Reload() { return OpenImage(m_strFile); }
    // Lets go of the picture decoded ahead (the list changed, or the list
    // window replaces this one).
    void ReleaseSpare() { m_ahead.Release(); }
    const CDecodeAhead& Ahead() const { return m_ahead; }
    // The picture being opened comes by a step back: the one before it is
    // decoded ahead, not the one after.
    bool m_bSteppedBack = false;

    bool IsLoaded() const { return m_bLoaded; }
    bool LoadFailed() const { return m_bLoadFailed; }
    const std::string& CurrentFile() const { return m_strFile; }
    // The shown picture's file was renamed, or ("") deleted or moved away;
    // the picture stays shown.
    void SetFileName(const std::string& path) { m_strFile = path; }
    const CImageBuffer& Image() const { return *m_pImage; }
    CViewState& View() { return m_view; }
    COverview& Overview() { return m_overview; }
    const QImage& Backing() const { return m_backing; }
    const CFloatingRow& Row() const { return m_row; }

    void SetBackgroundColor(COLORREF c);
    COLORREF GetBackgroundColor() const { return m_crBackground; }
    int m_nSmoothing = 0; // 0 none, 1 Gaussian blur after a drag above zoom 3

    // The view commands; each returns the zoom now shown.
    float ZoomIn();
    EZoomOutResult ZoomOut(bool bLeaveForList);
    float FitToWindow();
    float ActualSize();
    void SetZoomTo(float z);

    // Draws the view into the backing image and shows it.
    void Repaint();

    // Changes the picture in place and shows the result: the selection is
    // dropped, the overview made again, and when the size changed (a turn)
    // the view is laid out for the new size and shown fitted. False when
    // the edit failed; the picture is then unchanged.
    bool EditPicture(const std::function<bool(CImageBuffer&)>& edit);

    // The rubber-band selection over a reduced view, in client pixels;
    // empty when there is none. It is drawn with every repaint and dropped
    // whenever the view is laid out anew.
    const ViewRect& Selection() const { return m_rcSelection; }
    bool HasSelection() const { return !m_rcSelection.IsEmpty(); }
    // The picture pixels under the selection (empty when it covers none).
    ViewRect SelectedPart() const {
        return SelectionToPicture(m_rcSelection, m_view.GetDestRect(), m_view.GetImageSize());
    }
    void TrackSelection(const QPoint& pt);
    void ClearSelection();
    // Enlarges the selected part to fill the window, saves it as a JPEG or
    // BMP file chosen by the user, or copies it to the clipboard; each drops
    // the selection.
    void ZoomToSelection();
    void SaveSelection();
    void CopySelection();
    // The selection menu "矩形选择菜单" (menu 194).
    QMenu* SelectionMenu() const { return m_pSelectionMenu; }

    // Prints the picture at the physical size it has on the screen (57607):
    // it goes through a BMP file with a unique name in the temporary folder,
    // deleted afterwards, to PrintBmpFile.
    void PrintPicture();
    // Prints a BMP file on the printer chosen in the print dialog, cut into
    // vertical slices one page wide, each page with its footer
    // (app/PrintLayout.h). Tells the user when no printer can be found or
    // printing cannot start; a file that cannot be read prints nothing.
    void PrintBmpFile(const std::string& path);

    // The context menu of the window (menu 137).
    QMenu* ContextMenu() const { return m_pMenu; }

    // The bottom strip: a 66-pixel band of thumbnails of the neighbouring
    // pictures. The frame decides which pictures fill its slots.
    void ShowStrip();
    void HideStrip();
    void ToggleStrip();
    void ClearStrip();
    void LoadStripSlot(int i, const std::string& cacheFile);
    void DrawStrip();
    void DrawStripFrame();
    void HighlightCurrent();
    int GetStripSlotCount() const;
    bool InStrip(const QPoint& pt) const;
    int StripWidth() const { return m_nStripWidth; }
    const std::vector<std::uint8_t>& StripBlock() const { return m_stripBlock; }

    bool m_bStripShown = false;
    int m_nHoverSlot = -1;
    int m_nFirstSlot = 0;                      // list index of the picture in slot 0
    std::vector<std::string> m_astrStripFiles; // the pictures of the slots
    // Told the picture of the slot under the mouse when the hovered slot
    // changes, "" when the mouse leaves the strip or is over an empty slot.
    std::function<void(const std::string& path)> onHoverFile;

    // Interaction state.
    bool m_bButtonDown = false;
    bool m_bDragging = false;
    bool m_bRightArmed = false;
    bool m_bWheelIdle = true;
    QPoint m_ptDown, m_ptAnchor, m_ptMouse;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void ShowLoaded(std::unique_ptr<CImageBuffer> img);
    // Starts decoding the picture that a step on from the shown one opens.
    void DecodeAhead();
    // After a picture is on the screen: its thumbnail and its overview.
    void AfterShown();
    // The backing image at the client size; false (told once) when it cannot be had.
    bool AllocateBacking();
    void ShowFailure();
    // The strip slot under the mouse (-1: none); a change is told to onHoverFile.
    void SetHoverSlot(int slot);
    void DrawOverlays(bool blur);
    void DrawFloatingRow();
    void UpdateCursor();
    void TellZoomEnds(); // the ladder's two ends, to the main frame
    void BuildSelectionMenu();
    void DrawSelection();
    void PopupMenu(const QPoint& global);
    void OnRowButton(EFloatingButton b);
    bool OverviewOn() const;
    bool RowActive() const;
    void OnStripClick(const QPoint& pt);
    void DrawStripOverlay();
    void LayoutStrip();
    // The height the picture is laid out in: above the strip while a picture
    // opened from the strip is shown with it.
    int LayoutHeight() const;

    CMainFrame* m_pFrame;
    std::unique_ptr<CImageBuffer> m_pImage;
    CDecodeAhead m_ahead;
    CViewState m_view;
    CViewRenderer m_renderer;
    COverview m_overview;
    CFloatingRow m_row;
    QImage m_backing;
    COLORREF m_crBackground = 0;
    std::string m_strFile;
    bool m_bLoaded = false;
    bool m_bLoadFailed = false;
    bool m_bPopupShown = false;
    bool m_bBackingFailed = false;
    QMenu* m_pMenu = nullptr;
    QMenu* m_pSelectionMenu = nullptr;
    ViewRect m_rcSelection;
    std::vector<std::uint8_t> m_stripBlock; // bottom-up, cw - 30 pixels wide, 66 rows
    int m_nStripWidth = 0;
    bool m_bKeepStrip = false; // the picture being opened keeps the strip shown
    bool m_bLayoutAboveStrip = false;
};

// The program's cursors by resource number: 140 and 176 the plain ones, 141
// the hand that drags the view, 195 over a selection.
QCursor CursorFor(int id);
