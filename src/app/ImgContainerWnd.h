#pragma once
#include "app/SlideShow.h"

#include <QWidget>
#include <memory>
#include <string>

class CMainFrame;
class CImageWnd;
class CImageWndList;
class CListThumbMaker;
class CSlideSink;

// The right pane: it holds the picture window and the thumbnail list, one of
// them visible at a time, paints its own background in the right-pane colour,
// and runs the slide show.
class CImgContainerWnd : public QWidget {
    Q_OBJECT
public:
    explicit CImgContainerWnd(CMainFrame* frame);
    ~CImgContainerWnd() override;
    bool Create();
    int GetMode() const { return m_nMode; }
    CImageWnd* ImageWnd() const { return m_wndImage; }
    // The thumbnail list; null until the pane first showed it.
    CImageWndList* ListWnd() const { return m_wndList; }

    void ShowImageWindow();
    // Shows the thumbnail list (made the first time) with fresh item states.
    void ShowListWindow();
    // The list after a change of folder or of its files.
    void RefreshList();
    // A folder without pictures: the list shows its background, then the
    // no-pictures text.
    void ClearListPane();
    void ShowNoPictures();
    // The shown list's missing thumbnails are made in the background while
    // the option is on (again after the options changed).
    void RestartThumbnails();
    // Stops them and waits for the picture under way (before the cache
    // folder is cleared).
    void StopThumbnails();

    void ToggleSlideShow();
    void RequestStopSlideShow();
    bool IsSlideRunning() const { return m_slide.IsRunning(); }

    // What the slide-show worker hands over, on this thread.
    void OnSlide(int run, const std::string& path, std::shared_ptr<CImageBuffer> img);
    void OnNoPictures(int run);
    void OnSlideFinished(int run);

    int m_nMode = 1; // 1 = picture window shown, 2 = list shown
    bool m_bListCreated = false;
    int m_cxClient = 0;
    int m_cyClient = 0;
    int m_nSlideDelay = 1000;     // milliseconds before each slide
    bool m_bPauseRequest = false; // set by the pause key; nothing reads it

signals:
    // A slide was put on the screen.
    void slideShown(const QString& path);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    CMainFrame* m_pFrame;
    CImageWnd* m_wndImage = nullptr;
    CImageWndList* m_wndList = nullptr;
    CListThumbMaker* m_thumbs = nullptr; // lives with the list
    std::shared_ptr<CSlideSink> m_sink;
    CSlideShow m_slide;
};
