#pragma once
#include "thumbs/ListGeometry.h"
#include "thumbs/ListPaint.h"

#include <QImage>
#include <QStaticText>
#include <QWidget>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class CMainFrame;
class QMenu;
class QPainter;
class QRubberBand;
class QScrollBar;

// The thumbnail list: one 84 x 80 cell per picture of the left pane's list,
// with the cached thumbnail or a placeholder, selection by click, Ctrl-click,
// rubber band and Ctrl+A, scrolling by rows, and the file commands of its
// context menu. It draws into a backing image of its client size; painting
// only shows that image.
class CImageWndList : public QWidget {
    Q_OBJECT
public:
    CImageWndList(CMainFrame* frame, QWidget* parent);
    ~CImageWndList() override;

    // Paints the whole list into the backing image and shows it.
    void RedrawAll();
    // Waits 5 ms, paints the whole list and sets the scroll range.
    void Refresh();
    // Shows the background only, and forgets the selection of the old folder.
    void ClearToBackground();
    void ResetItemStates(int n);
    void ClearSelectionMarks();
    // The frame of every visible cell in the normal colour, without a repaint.
    void DrawAllFrames();
    void SetColors(COLORREF crCaption, COLORREF crCaptionBack, COLORREF crFrame,
                   COLORREF crTileBack, COLORREF crSelFrame);
    void SetBackgroundColor(COLORREF cr);
    void ShowNoPicturesMessage();
    void SelectAll();
    void DeleteSelection();
    void MoveSelection();
    void CopySelection();
    void OpenSelection();
    // The context-menu commands 33043, 33041, 33042, 33038.
    void OnListCommand(int id);
    // Forgets the selection and the clicked file (a folder change).
    void ForgetSelection();

    const QImage& Backing() const { return m_backing; }
    QMenu* ContextMenu() const { return m_pMenu; }
    QScrollBar* ScrollBar() const { return m_pScroll; }
    CListLayout Layout() const;
    const ListColors& Colors() const { return m_colors; }
    const std::vector<ListCellText>& Texts() const { return m_texts; }
    int ClientWidth() const { return m_cxClient; }
    int ClientHeight() const { return m_cyClient; }

    CItemStates m_states;
    std::string m_strCurFile;
    std::vector<std::string> m_arrSelected;
    ListRect m_rcBand;
    bool m_bCtrlDown = false;
    bool m_bFirstPaint = true;
    int m_nTopRow = 0;
    int m_cyClient = 0, m_cxClient = 0;
    // Opens a file with its associated program; false when that failed.
    std::function<bool(const std::string&)> m_fnShellOpen;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    int Count() const;
    std::string PathOf(int i) const;
    void Render();
    void UpdateClientSize();
    void SetScrollRange();
    void ScrollToRow(int row);
    void SelectByBand(const ListRect& band);
    void DrawFrame(int index, COLORREF colour);
    void AfterFileChange();
    void UpdateAccessibleText();
    bool CtrlHeld(Qt::KeyboardModifiers mods) const;
    using TextCache = std::unordered_map<std::string, QStaticText>;
    void DrawCachedText(QPainter& p, TextCache& cache, const std::string& text, const ListRect& r,
                        bool centred);

    CMainFrame* m_pFrame;
    QImage m_backing;
    ListColors m_colors;
    std::vector<ListCellText> m_texts;
    std::vector<std::uint32_t> m_icon; // placeholder icon 216, 32 x 32
    bool m_bNoPictures = false;        // the no-pictures text is on the window
    QScrollBar* m_pScroll = nullptr;
    QRubberBand* m_pBand = nullptr;
    QPoint m_ptBandStart;
    bool m_bTracking = false;
    QMenu* m_pMenu = nullptr;
    TextCache m_captionTexts, m_badgeTexts; // laid-out texts, by their text
};

inline constexpr const char* kNoPicturesText = "文件夹内没有可显示的图片";

// The commands of the list's context menu "列表菜单" (menu 214).
enum ListCommandId : int {
    ID_LIST_OPEN = 33043,
    ID_LIST_COPY_TO = 33041,
    ID_LIST_MOVE_TO = 33042,
    ID_LIST_DELETE = 33038,
};
