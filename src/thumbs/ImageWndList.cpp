#include "thumbs/ImageWndList.h"

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "image/ImageWnd.h"
#include "library/FileCommands.h"
#include "library/TreeFileCommands.h"
#include "library/TreeContainerWnd.h"
#include "platform/PlatformUi.h"
#include "platform/QtUtil.h"
#include "thumbs/ThumbCache.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScrollBar>
#include <QStaticText>
#include <QThread>
#include <QUrl>
#include <QWheelEvent>
#include <cerrno>
#include <cmath>

namespace {

constexpr COLORREF kNoPicturesColor = RGB(0, 116, 153);

QRect ToQRect(const ListRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

} // namespace

CImageWndList::CImageWndList(CMainFrame* frame, QWidget* parent)
    : QWidget(parent), m_pFrame(frame) {
    setObjectName("ImageWndList");
    setAccessibleName(QStringLiteral("ImageWndList"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(CursorFor(176));

    m_pScroll = new QScrollBar(Qt::Vertical, this);
    m_pScroll->setRange(0, 0);
    m_pScroll->setSingleStep(1);
    m_pScroll->hide();
    connect(m_pScroll, &QScrollBar::valueChanged, this, [this](int v) {
        if (v != m_nTopRow)
            ScrollToRow(v);
    });
    m_pBand = new QRubberBand(QRubberBand::Rectangle, this);

    QImage icon(QStringLiteral(":/icons/placeholder.png"));
    icon = icon.scaled(kListIconSize, kListIconSize).convertToFormat(QImage::Format_ARGB32);
    m_icon.resize(kListIconSize * kListIconSize);
    for (int y = 0; y < kListIconSize; ++y)
        for (int x = 0; x < kListIconSize; ++x)
            m_icon[y * kListIconSize + x] = icon.pixel(x, y);

    m_fnShellOpen = [](const std::string& path) {
        return QDesktopServices::openUrl(FileUrl(path));
    };

    // Menu 214, its first popup.
    m_pMenu = new QMenu(QStringLiteral("列表菜单"), this);
    const std::pair<int, const char*> items[] = {{ID_LIST_OPEN, "打开"},
                                                 {ID_LIST_COPY_TO, "复制到"},
                                                 {ID_LIST_MOVE_TO, "移动到"},
                                                 {ID_LIST_DELETE, "删除"}};
    for (const auto& [id, text] : items) {
        QAction* a = m_pMenu->addAction(QString::fromUtf8(text));
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id = id] { OnListCommand(id); });
    }
}

CImageWndList::~CImageWndList() = default;

int CImageWndList::Count() const {
    return m_pFrame ? m_pFrame->GetPictureCount() : 0;
}

std::string CImageWndList::PathOf(int i) const {
    return m_pFrame ? m_pFrame->GetPicturePath(i) : std::string();
}

CListLayout CImageWndList::Layout() const {
    return CListLayout(Count(), m_cxClient, m_cyClient, m_nTopRow);
}

bool CImageWndList::CtrlHeld(Qt::KeyboardModifiers mods) const {
    return m_bCtrlDown || (mods & Qt::ControlModifier);
}

void CImageWndList::UpdateClientSize() {
    // The scroll bar takes its width from the client area while it is shown;
    // it is shown whenever the narrower area needs it, so the two never
    // disagree.
    const int sbw = m_pScroll->sizeHint().width();
    const bool need = CListLayout(Count(), width() - sbw, height()).MaxTopRow() > 0;
    m_cxClient = need ? width() - sbw : width();
    m_cyClient = height();
    m_pScroll->setGeometry(width() - sbw, 0, sbw, height());
    m_pScroll->setVisible(need);
}

void CImageWndList::SetScrollRange() {
    const int oldWidth = m_cxClient;
    UpdateClientSize();
    if (m_cxClient != oldWidth) {
        // The scroll bar came or went: the client area changed size.
        m_nTopRow = 0;
    }
    const CListLayout layout = Layout();
    m_nTopRow = layout.ClampTopRow(m_nTopRow);
    QSignalBlocker block(m_pScroll);
    m_pScroll->setRange(0, layout.MaxTopRow());
    m_pScroll->setPageStep(std::max(1, m_cyClient / kListCellHeight));
    m_pScroll->setValue(m_nTopRow);
}

void CImageWndList::ScrollToRow(int row) {
    m_nTopRow = Layout().ClampTopRow(row);
    {
        QSignalBlocker block(m_pScroll);
        m_pScroll->setValue(m_nTopRow);
    }
    RedrawAll();
}

void CImageWndList::Render() {
    const QSize size(std::max(m_cxClient, 1), std::max(m_cyClient, 1));
    if (m_backing.size() != size)
        m_backing = QImage(size, QImage::Format_RGB32);
    ListCanvas canvas{reinterpret_cast<std::uint32_t*>(m_backing.bits()), m_backing.width(),
                      m_backing.height(), static_cast<int>(m_backing.bytesPerLine() / 4)};
    const CListLayout layout = Layout();
    const QFont captionFont = SongFont(9), badgeFont = SongFont(7);
    const QFontMetrics captionMetrics(captionFont), badgeMetrics(badgeFont);
    ListPaintInput in;
    in.layout = &layout;
    in.pathOf = [this](int i) { return PathOf(i); };
    in.states = &m_states;
    in.colors = m_colors;
    in.thumbFolder = GetThumbFolder();
    in.captionCharWidth = captionMetrics.averageCharWidth();
    in.badgeCharWidth = badgeMetrics.averageCharWidth();
    in.icon = m_icon.data();
    m_texts = PaintList(canvas, in);
    m_bNoPictures = false;
    if (!m_texts.empty()) {
        QPainter p(&m_backing);
        p.setPen(ToQColor(m_colors.caption));
        p.setFont(captionFont);
        for (const ListCellText& t : m_texts)
            DrawCachedText(p, m_captionTexts, t.caption, t.captionRect, true);
        p.setPen(ToQColor(m_colors.badgeText));
        p.setFont(badgeFont);
        for (const ListCellText& t : m_texts)
            if (t.placeholder)
                DrawCachedText(p, m_badgeTexts, t.badge, t.badgeTextRect, false);
    }
    UpdateAccessibleText();
}

void CImageWndList::DrawCachedText(QPainter& p, TextCache& cache, const std::string& text,
                                   const ListRect& r, bool centred) {
    // The laid-out texts are kept between paints (the same captions come back
    // with every repaint and scroll); the cache is dropped when it grows large.
    if (cache.size() > 4096)
        cache.clear();
    auto it = cache.find(text);
    if (it == cache.end()) {
        QStaticText st(Q(text));
        st.setTextFormat(Qt::PlainText);
        st.setPerformanceHint(QStaticText::AggressiveCaching);
        st.prepare(QTransform(), p.font());
        it = cache.emplace(text, std::move(st)).first;
    }
    const QStaticText& st = it->second;
    const QRect box = ToQRect(r);
    const int w = int(std::ceil(st.size().width()));
    const int x = centred ? box.left() + (box.width() - w) / 2 : box.left();
    // Only a text wider than its rectangle needs the clip.
    const bool clip = w > box.width();
    if (clip) {
        p.save();
        p.setClipRect(box);
    }
    p.drawStaticText(QPoint(x, box.top()), st);
    if (clip)
        p.restore();
}

void CImageWndList::UpdateAccessibleText() {
    QStringList lines;
    if (m_bNoPictures)
        lines << QString::fromUtf8(kNoPicturesText);
    for (const ListCellText& t : m_texts)
        lines << (t.placeholder ? Q(t.caption + " " + t.badge) : Q(t.caption));
    setAccessibleDescription(lines.join('\n'));
}

void CImageWndList::RedrawAll() {
    Render();
    update();
}

void CImageWndList::Refresh() {
    QThread::msleep(5);
    SetScrollRange();
    RedrawAll();
}

void CImageWndList::ForgetSelection() {
    m_arrSelected.clear();
    m_strCurFile.clear();
    m_rcBand = {};
}

void CImageWndList::ClearToBackground() {
    ForgetSelection();
    m_states.ClearMarks();
    m_texts.clear();
    m_bNoPictures = false;
    const QSize size(std::max(m_cxClient, 1), std::max(m_cyClient, 1));
    if (m_backing.size() != size)
        m_backing = QImage(size, QImage::Format_RGB32);
    m_backing.fill(ToQColor(m_colors.wndBack));
    UpdateAccessibleText();
    update();
}

void CImageWndList::ShowNoPicturesMessage() {
    if (m_backing.isNull())
        ClearToBackground();
    QPainter p(&m_backing);
    p.setFont(SongFont(18));
    p.setPen(ToQColor(kNoPicturesColor));
    p.drawText(QRect(0, m_cyClient / 2 - 10, m_cxClient, m_cyClient - (m_cyClient / 2 - 10)),
               Qt::AlignHCenter | Qt::AlignTop, QString::fromUtf8(kNoPicturesText));
    m_bNoPictures = true;
    UpdateAccessibleText();
    update();
}

void CImageWndList::ResetItemStates(int n) {
    m_states.Reset(n);
}

void CImageWndList::ClearSelectionMarks() {
    m_states.ClearMarks();
}

void CImageWndList::DrawFrame(int index, COLORREF colour) {
    if (m_backing.isNull())
        return;
    ListCanvas canvas{reinterpret_cast<std::uint32_t*>(m_backing.bits()), m_backing.width(),
                      m_backing.height(), static_cast<int>(m_backing.bytesPerLine() / 4)};
    const CListLayout layout = Layout();
    ListDrawFrame(canvas, layout, index, colour);
    update(ToQRect(layout.BoxRect(index)).adjusted(0, 0, 1, 1));
}

void CImageWndList::DrawAllFrames() {
    const CListLayout layout = Layout();
    for (int i = layout.FirstVisible(); i < layout.Count(); ++i) {
        if (layout.CellRect(i).top >= m_cyClient)
            break;
        DrawFrame(i, m_colors.frame);
    }
}

void CImageWndList::SetColors(COLORREF crCaption, COLORREF crCaptionBack, COLORREF crFrame,
                              COLORREF crTileBack, COLORREF crSelFrame) {
    m_colors.caption = crCaption;
    m_colors.captionBack = crCaptionBack;
    m_colors.frame = crFrame;
    m_colors.tileBack = crTileBack;
    m_colors.selFrame = crSelFrame;
    if (isVisible())
        RedrawAll();
}

void CImageWndList::SetBackgroundColor(COLORREF cr) {
    m_colors.wndBack = cr;
}

void CImageWndList::SelectAll() {
    const int count = Count();
    if (count <= 0)
        return;
    m_arrSelected.clear();
    for (int i = 0; i < count; ++i)
        m_arrSelected.push_back(PathOf(i));
    m_states.SelectAll();
    const CListLayout layout = Layout();
    for (int i = layout.FirstVisible(); i < count && layout.CellRect(i).top < m_cyClient; ++i)
        DrawFrame(i, m_colors.selFrame);
}

void CImageWndList::SelectByBand(const ListRect& band) {
    m_arrSelected.clear();
    for (int i : Layout().FilesInBand(band)) {
        m_arrSelected.push_back(PathOf(i));
        m_states.Set(i, CItemStates::kSelected);
        DrawFrame(i, m_colors.selFrame);
    }
}

void CImageWndList::paintEvent(QPaintEvent* e) {
    if (m_bFirstPaint || m_backing.isNull()) {
        m_bFirstPaint = false;
        SetScrollRange();
        Render();
    }
    QPainter p(this);
    p.drawImage(e->rect().topLeft(), m_backing, e->rect());
}

void CImageWndList::resizeEvent(QResizeEvent*) {
    UpdateClientSize();
    m_nTopRow = 0;
    SetScrollRange();
    if (isVisible()) { // a hidden list paints itself when it is shown
        Render();
        update();
    }
}

void CImageWndList::showEvent(QShowEvent*) {
    // Every time the list comes up it reads the cache files again: pictures
    // viewed in the meantime show their thumbnails.
    SetScrollRange();
    Render();
}

void CImageWndList::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    const int count = Count();
    if (count <= 0)
        return;
    const QPoint p = e->position().toPoint();
    setFocus();
    const CListLayout layout = Layout();
    const int hit = layout.HitTest(p.x(), p.y());
    m_strCurFile = hit >= 0 ? PathOf(hit) : std::string();
    if (CtrlHeld(e->modifiers())) {
        if (hit >= 0) {
            DrawFrame(hit, m_colors.selFrame);
            m_states.Set(hit, CItemStates::kSelected);
            m_arrSelected.push_back(m_strCurFile);
        }
    } else {
        m_states.ClearMarks();
        DrawAllFrames();
        m_arrSelected.clear();
        if (hit >= 0) {
            m_states.Set(hit, CItemStates::kSelected);
            DrawFrame(hit, m_colors.selFrame);
        }
    }
    if (m_rcBand.Width() > kListMinBandWidth) {
        RedrawAll();
        m_rcBand = {};
    }
    m_ptBandStart = p;
    m_bTracking = true;
}

void CImageWndList::mouseMoveEvent(QMouseEvent* e) {
    if (!m_bTracking || !(e->buttons() & Qt::LeftButton))
        return;
    m_pBand->setGeometry(QRect(m_ptBandStart, e->position().toPoint()).normalized());
    m_pBand->show();
}

void CImageWndList::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    if (m_bTracking) {
        m_bTracking = false;
        m_pBand->hide();
        const QPoint p = e->position().toPoint();
        const ListRect band = NormalizeRect({m_ptBandStart.x(), m_ptBandStart.y(), p.x(), p.y()});
        if (band.Width() > kListMinBandWidth) {
            m_rcBand = band;
            SelectByBand(band);
        }
    }
    if (Count() > 0 && m_rcBand.Width() > 0) {
        SelectByBand(m_rcBand);
        m_rcBand = {};
    }
}

void CImageWndList::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint p = e->position().toPoint();
    const std::string path = PathOf(Layout().HitTest(p.x(), p.y()));
    if (path.size() <= 4)
        return;
    m_pFrame->ShowImageMode();
    if (CTreeContainerWnd* tree = m_pFrame->GetTreeContainer())
        tree->OpenPicture(path);
}

void CImageWndList::wheelEvent(QWheelEvent* e) {
    e->accept();
    if (Count() <= 0)
        return;
    ScrollToRow(m_nTopRow + (e->angleDelta().y() >= 0 ? -1 : 1));
}

void CImageWndList::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Control:
        m_bCtrlDown = true;
        return;
    case Qt::Key_Space:
        m_pFrame->OnCommand(ID_VIEW_LEFT_PANE);
        return;
    case Qt::Key_Up:
        ScrollToRow(m_nTopRow - 1);
        return;
    case Qt::Key_Down:
        ScrollToRow(m_nTopRow + 1);
        return;
    case Qt::Key_Delete:
        DeleteSelection();
        return;
    case Qt::Key_A:
        if (CtrlHeld(e->modifiers())) {
            SelectAll();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(e);
}

void CImageWndList::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Control)
        m_bCtrlDown = false;
    QWidget::keyReleaseEvent(e);
}

void CImageWndList::contextMenuEvent(QContextMenuEvent* e) {
    m_pMenu->exec(e->globalPos());
}

void CImageWndList::OnListCommand(int id) {
    switch (id) {
    case ID_LIST_OPEN:
        OpenSelection();
        break;
    case ID_LIST_COPY_TO:
        CopySelection();
        break;
    case ID_LIST_MOVE_TO:
        MoveSelection();
        break;
    case ID_LIST_DELETE:
        DeleteSelection();
        break;
    default:
        break;
    }
}

void CImageWndList::OpenSelection() {
    const std::vector<std::string> targets = CommandTargets(m_arrSelected, m_strCurFile);
    if (!targets.empty() && !m_fnShellOpen(targets.front())) {
        const int error = errno;
        PlatformUi().MessageBox(
            S(QString::asprintf("Failed to run \"%s\", Error: %d", targets.front().c_str(), error)),
            "Open Failed ", IPlatformUi::Ok, IPlatformUi::Warning);
    }
    SetScrollRange();
    RedrawAll();
}

void CImageWndList::CopySelection() {
    const std::vector<std::string> targets = CommandTargets(m_arrSelected, m_strCurFile);
    if (targets.empty())
        return;
    const std::string folder =
        PlatformUi().ChooseFolder(kChooseFolderTitle, m_pFrame->DialogFolder());
    if (folder.empty())
        return;
    CopyFilesTo(targets, folder);
    if (!m_arrSelected.empty()) {
        m_arrSelected.clear();
        m_states.ClearMarks();
    }
    SetScrollRange();
    RedrawAll();
}

void CImageWndList::MoveSelection() {
    const std::vector<std::string> targets = CommandTargets(m_arrSelected, m_strCurFile);
    if (targets.empty())
        return;
    const std::string folder =
        PlatformUi().ChooseFolder(kChooseFolderTitle, m_pFrame->DialogFolder());
    if (folder.empty())
        return;
    for (const std::string& moved : MoveFilesTo(targets, folder)) {
        LeftPaneFileGone(m_pFrame, moved);
        if (moved == m_strCurFile)
            m_strCurFile.clear();
    }
    m_arrSelected.clear();
    AfterFileChange();
}

void CImageWndList::DeleteSelection() {
    const std::vector<std::string> targets = CommandTargets(m_arrSelected, m_strCurFile);
    if (targets.empty())
        return;
    const bool ask = m_pFrame->m_settings.mDelete != 0;
    if (ask && !ConfirmDelete())
        return;
    for (const std::string& path : targets)
        m_pFrame->DeleteImageFile(path);
    // The paths of the selection are gone (or were kept, with a message).
    ForgetSelection();
    AfterFileChange();
}

void CImageWndList::AfterFileChange() {
    // The file list changed: new states for it, then the whole list again.
    m_states.Reset(Count());
    SetScrollRange();
    RedrawAll();
    DrawAllFrames();
}
