#include "app/ImgContainerWnd.h"

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "image/ImageWnd.h"
#include "library/TreeContainerWnd.h"
#include "platform/PlatformUi.h"
#include "platform/QtUtil.h"
#include "thumbs/ImageWndList.h"
#include "thumbs/ListThumbMaker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <mutex>

// Carries what the slide-show worker produces over to the user-interface
// thread. Once the pane is gone nothing more is posted, and what was posted
// before finds no pane and is dropped.
class CSlideSink final : public CSlideShow::ISink {
public:
    explicit CSlideSink(CImgContainerWnd* pane) : m_target(pane) {}
    void Detach() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_alive = false;
    }
    void OnSlide(int run, int, int, const std::string& path,
                 std::unique_ptr<CImageBuffer> img) override {
        std::shared_ptr<CImageBuffer> shared(img.release());
        Post([run, path, shared](CImgContainerWnd* c) { c->OnSlide(run, path, shared); });
    }
    void OnNoPictures(int run) override {
        Post([run](CImgContainerWnd* c) { c->OnNoPictures(run); });
    }
    void OnFinished(int run) override {
        Post([run](CImgContainerWnd* c) { c->OnSlideFinished(run); });
    }

private:
    template <typename F> void Post(F f) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_alive)
            return;
        QPointer<CImgContainerWnd> target = m_target;
        QMetaObject::invokeMethod(
            qApp,
            [target, f] {
                if (target)
                    f(target.data());
            },
            Qt::QueuedConnection);
    }

    std::mutex m_mutex;
    bool m_alive = true;
    QPointer<CImgContainerWnd> m_target;
};

CImgContainerWnd::CImgContainerWnd(CMainFrame* frame)
    : QWidget(frame), m_pFrame(frame), m_sink(std::make_shared<CSlideSink>(this)), m_slide(m_sink) {
    setObjectName("ImgContainerWnd");
    setFocusPolicy(Qt::StrongFocus);
    setMinimumWidth(0);
}

CImgContainerWnd::~CImgContainerWnd() {
    m_sink->Detach(); // the show is abandoned as m_slide goes
}

bool CImgContainerWnd::Create() {
    m_wndImage = new CImageWnd(m_pFrame, this);
    m_wndImage->SetBackgroundColor(m_pFrame->m_settings.crRightBack);
    m_wndImage->setGeometry(rect());
    m_wndImage->show();
    return true;
}

void CImgContainerWnd::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(e->rect(), ToQColor(m_pFrame->m_settings.crRightBack));
}

void CImgContainerWnd::resizeEvent(QResizeEvent*) {
    m_cxClient = width();
    m_cyClient = height();
    if (m_nMode == 1 && m_wndImage)
        m_wndImage->setGeometry(0, 0, m_cxClient, m_cyClient);
    if (m_nMode == 2 && m_wndList)
        m_wndList->setGeometry(0, 0, m_cxClient, m_cyClient);
}

void CImgContainerWnd::keyPressEvent(QKeyEvent* e) {
    // Space is not an accelerator: the focused picture side turns it into the
    // hide-or-show-left-pane command.
    if (e->key() == Qt::Key_Space && e->modifiers() == Qt::NoModifier) {
        m_pFrame->OnCommand(ID_VIEW_LEFT_PANE);
        return;
    }
    QWidget::keyPressEvent(e);
}

void CImgContainerWnd::ShowImageWindow() {
    m_nMode = 1;
    m_wndImage->setGeometry(0, 0, m_cxClient, m_cyClient);
    if (m_wndList)
        m_wndList->hide();
    if (m_thumbs)
        m_thumbs->Stop(); // taken up again when the list comes back
    m_wndImage->show();
    m_wndImage->setFocus();
}

void CImgContainerWnd::ShowListWindow() {
    m_nMode = 2;
    if (!m_wndList) {
        m_wndList = new CImageWndList(m_pFrame, this);
        m_wndList->hide();
        const CSystemSettings& s = m_pFrame->m_settings;
        m_wndList->SetBackgroundColor(s.crRightTubBk);
        m_wndList->SetColors(s.crTumTile, s.crTumTileBk, s.crTumCrIndi, s.crTumBack, s.crTumCrInfo);
        m_thumbs = new CListThumbMaker(m_pFrame, m_wndList);
        m_bListCreated = true;
    }
    const bool wasShown = m_wndList->isVisible();
    m_wndImage->hide();
    m_wndImage->ReleaseSpare();
    // Whatever was picked belonged to the list as it was before.
    m_wndList->ForgetSelection();
    m_wndList->setGeometry(0, 0, m_cxClient, m_cyClient);
    m_wndList->ResetItemStates(std::max(m_pFrame->GetPictureCount(), 1));
    m_wndList->show(); // a list that comes up paints itself anew
    if (wasShown)
        m_wndList->Refresh();
    m_wndList->setFocus();
    m_wndList->DrawAllFrames();
    RestartThumbnails();
}

void CImgContainerWnd::RefreshList() {
    if (!m_wndList)
        return;
    m_wndList->ForgetSelection();
    m_wndList->ResetItemStates(std::max(m_pFrame->GetPictureCount(), 1));
    m_wndList->Refresh();
    m_wndList->ClearSelectionMarks();
    m_wndList->DrawAllFrames();
    RestartThumbnails();
}

void CImgContainerWnd::ClearListPane() {
    if (m_wndList)
        m_wndList->ClearToBackground();
    if (m_thumbs)
        m_thumbs->Stop();
}

void CImgContainerWnd::RestartThumbnails() {
    if (m_thumbs && m_nMode == 2)
        m_thumbs->Start();
}

void CImgContainerWnd::StopThumbnails() {
    if (m_thumbs)
        m_thumbs->Stop(true);
}

void CImgContainerWnd::ShowNoPictures() {
    if (m_wndList)
        m_wndList->ShowNoPicturesMessage();
}

void CImgContainerWnd::ToggleSlideShow() {
    m_slide.Toggle(m_pFrame->m_strCurFolder, m_nSlideDelay);
}

void CImgContainerWnd::RequestStopSlideShow() {
    m_slide.RequestStop();
}

void CImgContainerWnd::OnSlide(int run, const std::string& path,
                               std::shared_ptr<CImageBuffer> img) {
    if (!m_slide.AcceptSlide(run))
        return;
    std::unique_ptr<CImageBuffer> own;
    if (img)
        own = std::make_unique<CImageBuffer>(std::move(*img));
    m_wndImage->ShowSlide(path, std::move(own));
    // The shown slide is the file the file commands act on.
    if (CTreeContainerWnd* tree = m_pFrame->GetTreeContainer()) {
        tree->m_strCurrentFile = path;
        tree->UpdateFileInfo(path);
    }
    m_pFrame->ShowPosition();
    emit slideShown(Q(path));
}

void CImgContainerWnd::OnNoPictures(int run) {
    if (m_slide.AcceptSlide(run))
        PlatformUi().MessageBox("当前文件夹中没有图片");
}

void CImgContainerWnd::OnSlideFinished(int run) {
    m_slide.RunEnded(run);
}
