#include "thumbs/ListThumbMaker.h"

#include "app/MainFrame.h"
#include "thumbs/ImageWndList.h"

#include <QEvent>

namespace {
constexpr int kRepaintGatherMs = 30;
}

CListThumbMaker::CListThumbMaker(CMainFrame* frame, CImageWndList* list)
    : QObject(list), m_pFrame(frame), m_pList(list) {
    m_repaint.setSingleShot(true);
    m_repaint.setInterval(kRepaintGatherMs);
    connect(&m_repaint, &QTimer::timeout, m_pList, &CImageWndList::RedrawAll);
    CThumbMaker::Callbacks callbacks;
    // On the worker's thread: only posts to this object, which outlives the
    // worker (the destructor ends it first).
    callbacks.made = [this](int job, int index) {
        QMetaObject::invokeMethod(
            this, [this, job, index] { OnMade(job, index); }, Qt::QueuedConnection);
    };
    m_maker = std::make_unique<CThumbMaker>(std::move(callbacks));
    m_pList->installEventFilter(this);
}

CListThumbMaker::~CListThumbMaker() {
    m_maker.reset();
}

void CListThumbMaker::Start() {
    if (!m_pFrame->m_settings.mAutoThumb) {
        Stop();
        return;
    }
    std::vector<std::string> paths;
    const int count = m_pFrame->GetPictureCount();
    paths.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        paths.push_back(m_pFrame->GetPicturePath(i));
    m_visible = VisibleCells();
    m_nJob = m_maker->Start(std::move(paths), m_visible.first, m_visible.count);
}

void CListThumbMaker::Stop(bool waitForPicture) {
    m_maker->Stop(waitForPicture);
    m_repaint.stop(); // a list without pictures keeps its message
    m_nJob = -1;
}

CListThumbMaker::Cells CListThumbMaker::VisibleCells() const {
    const CListLayout layout = m_pList->Layout();
    const int rows = (m_pList->ClientHeight() + kListCellHeight - 1) / kListCellHeight;
    return {layout.FirstVisible(), layout.Columns() * rows};
}

bool CListThumbMaker::eventFilter(QObject* watched, QEvent* e) {
    // Every scroll and resize of the list ends in a paint.
    if (watched == m_pList && e->type() == QEvent::Paint && m_nJob >= 0) {
        const Cells now = VisibleCells();
        if (!(now == m_visible)) {
            m_visible = now;
            m_maker->SetVisible(now.first, now.count);
        }
    }
    return false;
}

void CListThumbMaker::OnMade(int job, int index) {
    if (job != m_nJob || index < m_visible.first || index >= m_visible.first + m_visible.count)
        return;
    if (!m_repaint.isActive())
        m_repaint.start();
}
