#include "app/ImgContainerWnd.h"

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "platform/QtUtil.h"

#include <QKeyEvent>
#include <QPainter>

CImgContainerWnd::CImgContainerWnd(CMainFrame* frame) : QWidget(frame), m_pFrame(frame) {
    setObjectName("ImgContainerWnd");
    setFocusPolicy(Qt::StrongFocus);
    setMinimumWidth(0);
}

bool CImgContainerWnd::Create() {
    return true;
}

void CImgContainerWnd::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(e->rect(), ToQColor(m_pFrame->m_settings.crRightBack));
}

void CImgContainerWnd::resizeEvent(QResizeEvent*) {
    m_cxClient = width();
    m_cyClient = height();
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
