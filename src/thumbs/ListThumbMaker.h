#pragma once
#include "thumbs/ThumbMaker.h"

#include <QObject>
#include <QTimer>
#include <memory>

class CMainFrame;
class CImageWndList;

// Makes the missing thumbnails of the folder the list shows, while the
// option "浏览文件夹时，自动生成缩略图" is on. It starts a job over the
// frame's pictures whenever the list shows them, tells the worker which
// cells are on the screen after every paint of the list, and repaints the
// list when the cache file of a cell on the screen appears. Owned by the list.
class CListThumbMaker : public QObject {
    Q_OBJECT
public:
    CListThumbMaker(CMainFrame* frame, CImageWndList* list);
    // Waits for the worker to finish the picture under way.
    ~CListThumbMaker() override;

    // A job over the frame's current pictures when the option is on; a stop
    // otherwise.
    void Start();
    // waitForPicture: see CThumbMaker::Stop.
    void Stop(bool waitForPicture = false);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct Cells {
        int first = 0, count = 0;
        bool operator==(const Cells&) const = default;
    };
    Cells VisibleCells() const;
    void OnMade(int job, int index);

    CMainFrame* m_pFrame;
    CImageWndList* m_pList;
    int m_nJob = -1; // the job whose cells this list shows
    Cells m_visible;
    QTimer m_repaint; // gathers the files of a moment into one repaint
    std::unique_ptr<CThumbMaker> m_maker;
};
