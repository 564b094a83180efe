#include "app/StatusBar.h"

#include "platform/QtUtil.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
// Widths in pixels of panes 0 to 10, wider only for a longer text; pane 11
// takes what is left.
constexpr int kPaneWidths[] = {198, 45, 40, 80, 80, 40, 120, 180, 40, 40, 500};
} // namespace

CStatusPane::CStatusPane(int index, int width, QWidget* parent) : QLabel(parent), m_nIndex(index) {
    setObjectName(QString("StatusPane%1").arg(index));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setIndent(2);
    setTextFormat(Qt::PlainText);
    if (width > 0)
        resize(width, height());
}

CStatusToggle::CStatusToggle(int index, int width, const QString& label, QWidget* parent)
    : CStatusPane(index, width, parent) {
    setText(label);
    setAccessibleDescription(QStringLiteral("off"));
}

void CStatusToggle::SetOn(bool on) {
    m_bOn = on;
    setAccessibleDescription(on ? QStringLiteral("on") : QStringLiteral("off"));
    repaint();
}

void CStatusToggle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawFrame(&p);
    // The item rectangle with its left edge 2 pixels further right, the label
    // centred, no background of its own.
    QRect r = rect().adjusted(2, 0, 0, 0);
    p.setFont(SongFont(9));
    p.setPen(m_bOn ? QColor(0, 0, 0) : QColor(88, 88, 88));
    p.drawText(r, Qt::AlignCenter, text());
}

void CStatusToggle::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && onClick)
        onClick();
    CStatusPane::mousePressEvent(e);
}

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatusBar");
    m_strip = new QWidget(this);
    m_strip->setMinimumSize(0, fontMetrics().height() + 6);
    m_strip->installEventFilter(this);
    addWidget(m_strip, 1);
    for (int i = 0; i < kPaneCount; ++i) {
        int width = i < 11 ? kPaneWidths[i] : 0;
        CStatusPane* pane;
        if (i == kStripPane)
            pane = new CStatusToggle(i, width, QStringLiteral("缩略图"), m_strip);
        else if (i == kOverviewPane)
            pane = new CStatusToggle(i, width, QStringLiteral("鸟瞰图"), m_strip);
        else
            pane = new CStatusPane(i, width, m_strip);
        m_panes.push_back(pane);
    }
}

bool CStatusBar::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_strip && e->type() == QEvent::Resize)
        LayoutPanes();
    return QStatusBar::eventFilter(watched, e);
}

int CStatusBar::PaneWidth(int pane) const {
    // The fixed width, or more when the text needs it: a text is never cut.
    // The two labels keep theirs (they paint their own short texts).
    if (Toggle(pane))
        return kPaneWidths[pane];
    return std::max(kPaneWidths[pane], m_panes[static_cast<std::size_t>(pane)]->sizeHint().width());
}

void CStatusBar::LayoutPanes() {
    const int gap = 2, h = m_strip->height();
    int x = 0;
    for (int i = 0; i < kPaneCount; ++i) {
        int w = i < 11 ? PaneWidth(i) : std::max(m_strip->width() - x, 0);
        m_panes[static_cast<std::size_t>(i)]->setGeometry(x, 0, w, h);
        x += w + gap;
    }
}

void CStatusBar::SetPaneText(int pane, const QString& text) {
    if (pane < 0 || pane >= kPaneCount || pane == kStripPane || pane == kOverviewPane ||
        m_panes[pane]->text() == text)
        return;
    m_panes[pane]->setText(text);
    if (pane < 11 && PaneWidth(pane) != m_panes[pane]->width())
        LayoutPanes();
    m_panes[pane]->repaint(); // shown at once, as the text is set
}

QString CStatusBar::PaneText(int pane) const {
    return pane >= 0 && pane < kPaneCount ? m_panes[pane]->text() : QString();
}

CStatusToggle* CStatusBar::Toggle(int pane) const {
    return pane == kStripPane || pane == kOverviewPane ? static_cast<CStatusToggle*>(m_panes[pane])
                                                       : nullptr;
}

void CStatusBar::PaintToggleLabels(bool stripOn, bool overviewOn) {
    Toggle(kStripPane)->SetOn(stripOn);
    Toggle(kOverviewPane)->SetOn(overviewOn);
}
