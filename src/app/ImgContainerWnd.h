#pragma once
#include <QWidget>

class CMainFrame;

// The right pane: it holds the picture window and the thumbnail list, one of
// them visible at a time, and paints its own background in the right-pane
// colour.
class CImgContainerWnd : public QWidget {
    Q_OBJECT
public:
    explicit CImgContainerWnd(CMainFrame* frame);
    bool Create();
    int GetMode() const { return m_nMode; }

    int m_nMode = 1; // 1 = picture window shown, 2 = list shown
    int m_cxClient = 0;
    int m_cyClient = 0;
    bool m_bPauseRequest = false; // set by the pause key; nothing reads it yet

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    CMainFrame* m_pFrame;
};
