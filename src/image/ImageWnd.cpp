#include "image/ImageWnd.h"

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/PictureFiles.h"
#include "app/StripLogic.h"
#include "image/Blur.h"
#include "image/Codec.h"
#include "image/ViewDest.h"
#include "library/TreeContainerWnd.h"
#include "platform/PlatformUi.h"
#include "platform/QtUtil.h"
#include "thumbs/ThumbCache.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>
#include <chrono>

namespace {

CViewDest DestOf(QImage& img) {
    CViewDest d;
    d.pBits = img.bits();
    d.nWidth = img.width();
    d.nHeight = img.height();
    d.nBytesPerRow = static_cast<int>(img.bytesPerLine());
    return d;
}

QRect ToQRect(const ViewRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Told when the view's block cannot be allocated.
constexpr const char* kOutOfMemoryText = "系统分配内存失败";

// Colours of the strip's buttons and frame (COLORREF values).
constexpr COLORREF kStripButtonFace = RGB(0xE4, 0xE4, 0xE4);
constexpr COLORREF kStripGlyph = 0xFA2626;
constexpr COLORREF kStripHighlight = 0xE41C1C;
constexpr COLORREF kStripSeparator = RGB(0x80, 0x80, 0x80);

// A magnifier drawn for the cursor over a selection.
QCursor MagnifierCursor() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4));
    p.drawEllipse(QPoint(12, 12), 8, 8);
    p.drawLine(18, 18, 28, 28);
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QPoint(12, 12), 8, 8);
    p.drawLine(18, 18, 28, 28);
    p.drawLine(8, 12, 16, 12);
    p.drawLine(12, 8, 12, 16);
    return QCursor(pm, 12, 12);
}

} // namespace

QCursor CursorFor(int id) {
    switch (id) {
    case 141:
        return QCursor(Qt::ClosedHandCursor);
    case 176:
        return QCursor(Qt::CrossCursor);
    case 195:
        return MagnifierCursor();
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

CImageWnd::CImageWnd(CMainFrame* frame, QWidget* parent)
    : QWidget(parent), m_pFrame(frame), m_pImage(std::make_unique<CImageBuffer>()) {
    setObjectName("ImageWnd");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);

    // Menu 137, also offered on the middle button.
    m_pMenu = new QMenu(QStringLiteral("右侧右键菜单"), this);
    auto add = [this](QMenu* m, int id, const char* text, int frameCommand) {
        QAction* a = m->addAction(QString::fromUtf8(text));
        a->setData(id);
        connect(a, &QAction::triggered, this,
                [this, frameCommand] { m_pFrame->OnCommand(frameCommand); });
        return a;
    };
    add(m_pMenu, ID_ZOOM_IN_CONTEXT, "放大 ", ID_ZOOM_IN_CONTEXT);
    add(m_pMenu, 32890, "缩小  ", ID_ZOOM_OUT);
    add(m_pMenu, 32892, "适合    ", ID_ZOOM_FIT);
    add(m_pMenu, 33027, "删除", ID_EDIT_DELETE);
    add(m_pMenu, 32949, "保存为", ID_FILE_SAVE_AS);
    add(m_pMenu, 32891, "实际尺寸", ID_ZOOM_ACTUAL);
    m_pMenu->addSeparator();
    QMenu* wall = m_pMenu->addMenu(QStringLiteral("设置壁纸 "));
    add(wall, 32952, "平铺", ID_WALLPAPER_TILE);
    add(wall, 32951, "居中", ID_WALLPAPER_CENTER);
    add(wall, 32950, "拉伸", ID_WALLPAPER_STRETCH);
    connect(m_pMenu, &QMenu::aboutToShow, this, [this, wall] {
        // Each item is usable exactly when the frame command it reaches is.
        QList<QAction*> all = m_pMenu->actions() + wall->actions();
        for (QAction* a : all) {
            int id = a->data().toInt();
            int cmd = id == 32890   ? ID_ZOOM_OUT
                      : id == 32892 ? ID_ZOOM_FIT
                      : id == 33027 ? ID_EDIT_DELETE
                      : id == 32949 ? ID_FILE_SAVE_AS
                      : id == 32891 ? ID_ZOOM_ACTUAL
                      : id == 32952 ? ID_WALLPAPER_TILE
                      : id == 32951 ? ID_WALLPAPER_CENTER
                      : id == 32950 ? ID_WALLPAPER_STRETCH
                                    : id;
            if (id)
                a->setEnabled(m_pFrame->QueryCommand(cmd).enabled);
        }
    });
    BuildSelectionMenu();
}

CImageWnd::~CImageWnd() = default;

void CImageWnd::SetBackgroundColor(COLORREF c) {
    m_crBackground = c;
    m_pImage->SetBackColor(c);
}

bool CImageWnd::OverviewOn() const {
    return m_pFrame->m_bShowOverview;
}

bool CImageWnd::RowActive() const {
    return m_pFrame->m_bFullScreen && m_bStripShown;
}

int CImageWnd::LayoutHeight() const {
    return m_bLayoutAboveStrip ? std::max(height() - kStripHeight, 0) : height();
}

bool CImageWnd::OpenImage(const std::string& path) {
    CWaitCursor wait;
    auto start = std::chrono::steady_clock::now();
    m_pFrame->ShowImageMode();
    m_pFrame->m_bImageLoaded = false;
    m_bLoaded = false;
    m_overview.Invalidate();
    m_strFile = path;
    auto img = std::make_unique<CImageBuffer>();
    img->SetBackColor(m_crBackground);
    if (!LoadImageFile(path, *img)) {
        ShowFailure();
        return false;
    }
    ShowLoaded(std::move(img));
    // The decode time runs up to the picture on the screen, in whole
    // milliseconds as the tick counter counts; the thumbnail and the overview
    // are made after it.
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - start)
                  .count();
    m_pFrame->SetStatusText(3, FormatDecodeTime(static_cast<float>(ms) * 0.001f));
    AfterShown();
    return true;
}

void CImageWnd::ShowSlide(const std::string& path, std::unique_ptr<CImageBuffer> img) {
    m_pFrame->m_bImageLoaded = false;
    m_bLoaded = false;
    m_overview.Invalidate();
    m_strFile = path;
    if (!img) {
        ShowFailure();
        return;
    }
    img->SetBackColor(m_crBackground);
    ShowLoaded(std::move(img));
    AfterShown();
}

void CImageWnd::ShowLoaded(std::unique_ptr<CImageBuffer> img) {
    m_pImage = std::move(img);
    m_bLoadFailed = false;
    m_bButtonDown = m_bDragging = m_bRightArmed = m_bPopupShown = false;
    m_rcSelection = {};
    m_overview.EndDrag();
    // The initial view of a new picture hides the strip, unless the picture
    // was picked in the strip or with the full-screen row: then it is laid
    // out above it.
    m_pFrame->m_nStripMode = kStripCentre;
    m_bLayoutAboveStrip = m_bKeepStrip && m_bStripShown;
    if (!m_bLayoutAboveStrip && m_bStripShown) {
        m_bStripShown = false;
        m_pFrame->m_bShowStrip = false;
        m_pFrame->PaintStatusLabels();
    }
    m_view.SetClientSize(width(), LayoutHeight());
    m_view.OpenPicture(m_pImage->Width(), m_pImage->Height(), m_pFrame->m_nDisplayMode == 1);
    TellZoomEnds();
    m_pFrame->SetWorkRect(0, 0, m_pImage->Width(), m_pImage->Height());
    m_pFrame->SetZoom(m_view.GetZoom());
    m_bLoaded = true;
    m_pFrame->m_bImageLoaded = true;
    m_pFrame->m_bWheelZoom = false; // every load sets the wheel to step through pictures
    m_pFrame->m_bZoomReady = true;
    Repaint();
}

void CImageWnd::AfterShown() {
    // A cache that cannot be written (read-only program folder) costs nothing here.
    WriteThumbnail(*m_pImage, m_strFile);
    m_overview.BuildOverview(*m_pImage);
    if (OverviewOn() && m_overview.IsShown(m_view))
        Repaint();
}

void CImageWnd::ResetView() {
    if (m_bStripShown)
        HideStrip();
    m_bLoaded = m_bLoadFailed = false;
    m_pFrame->m_bImageLoaded = false;
    m_bButtonDown = m_bDragging = m_bRightArmed = m_bPopupShown = false;
    m_rcSelection = {};
    m_overview.EndDrag();
    m_overview.Invalidate();
    m_view.ClearPicture();
    Repaint();
    // Position, zoom and decode time belonged to the picture.
    for (int pane = 1; pane <= 3; ++pane)
        m_pFrame->SetStatusText(pane, "");
}

void CImageWnd::ShowFailure() {
    m_bLoadFailed = true;
    m_bLoaded = false;
    m_rcSelection = {};
    m_view.ClearPicture();
    Repaint();
}

float CImageWnd::ZoomIn() {
    m_rcSelection = {};
    float z = m_view.ZoomIn();
    Repaint();
    return z;
}

EZoomOutResult CImageWnd::ZoomOut(bool bLeaveForList) {
    m_rcSelection = {};
    EZoomOutResult r = m_view.ZoomOut(bLeaveForList);
    if (r != EZoomOutResult::kLeftForList)
        Repaint();
    return r;
}

float CImageWnd::FitToWindow() {
    m_rcSelection = {};
    float z = m_view.FitToWindow();
    Repaint();
    return z;
}

float CImageWnd::ActualSize() {
    m_rcSelection = {};
    float z = m_view.ActualSize();
    Repaint();
    return z;
}

void CImageWnd::SetZoomTo(float z) {
    if (z != m_view.GetZoom()) {
        m_rcSelection = {};
        m_view.ApplyZoom(z);
        Repaint();
    }
}

bool CImageWnd::AllocateBacking() {
    const QSize want = size().expandedTo(QSize(1, 1));
    if (m_backing.size() == want)
        return true;
    // A block beyond the largest a picture may have is refused like memory
    // that cannot be had. The failure is told once, not at every paint.
    const std::uint64_t bytes = std::uint64_t(want.width()) * std::uint64_t(want.height()) * 4;
    m_backing = bytes <= CImageBuffer::kMaxBlock ? QImage(want, QImage::Format_RGB32) : QImage();
    if (!m_backing.isNull()) {
        m_bBackingFailed = false;
        return true;
    }
    if (!m_bBackingFailed) {
        m_bBackingFailed = true;
        QTimer::singleShot(0, this, [] { PlatformUi().MessageBox(kOutOfMemoryText); });
    }
    return false;
}

void CImageWnd::Repaint() {
    if (!AllocateBacking()) {
        update(); // nothing to draw from
        return;
    }
    CViewDest dest = DestOf(m_backing);
    if (m_bLoaded) {
        m_renderer.Render(*m_pImage, m_view, m_crBackground, dest);
        DrawOverlays(false);
    } else {
        FillRect(dest, {0, 0, dest.nWidth, dest.nHeight}, m_crBackground);
        if (m_bLoadFailed) {
            QPainter p(&m_backing);
            p.setFont(SongFont(18));
            p.setPen(ToQColor(kLoadFailureTextColor));
            p.drawText(ToQRect(LoadFailureTextRect(width(), height())), Qt::AlignHCenter,
                       QString::fromUtf8(kLoadFailureText));
        }
        if (RowActive())
            DrawFloatingRow();
    }
    if (m_bStripShown)
        DrawStripOverlay();
    setAccessibleDescription(m_bLoadFailed ? QString::fromUtf8(kLoadFailureText) : QString());
    update();
}

void CImageWnd::DrawOverlays(bool blur) {
    if (m_backing.isNull())
        return;
    DrawSelection();
    CViewDest dest = DestOf(m_backing);
    if (blur)
        BlurView(dest, m_view.GetZoom());
    if (OverviewOn() && m_overview.DrawOverview(dest, m_view)) {
        QPainter p(&m_backing);
        p.setFont(SongFont(9));
        p.setPen(ToQColor(kOverviewTextColor));
        p.drawText(ToQRect(m_overview.CaptionTextRect()), Qt::AlignCenter,
                   Q(COverview::CaptionText(m_view.GetZoom())));
    }
    if (RowActive())
        DrawFloatingRow();
}

void CImageWnd::DrawFloatingRow() {
    if (m_backing.isNull())
        return;
    CViewDest dest = DestOf(m_backing);
    DarkenRect(dest, m_row.band, 80);
    DarkenRect(dest, m_row.exit, 60);
    QPainter p(&m_backing);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    for (std::size_t i = 0; i < m_row.buttons.size(); ++i) {
        QRect r = ToQRect(m_row.buttons[i]).adjusted(0, 0, -1, -1);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r);
        QRect in = r.adjusted(6, 6, -6, -6);
        QPoint c = r.center();
        switch (static_cast<EFloatingButton>(i)) {
        case EFloatingButton::kZoomIn:
            p.drawLine(in.left(), c.y(), in.right(), c.y());
            p.drawLine(c.x(), in.top(), c.x(), in.bottom());
            break;
        case EFloatingButton::kZoomOut:
            p.drawLine(in.left(), c.y(), in.right(), c.y());
            break;
        case EFloatingButton::kFit:
            p.drawLine(c.x() - 3, c.y() + 3, c.x() + 3, c.y() - 3);
            break;
        case EFloatingButton::kPrevious:
            p.drawLine(in.left(), c.y(), in.right(), c.y());
            p.drawLine(in.left(), c.y(), in.left() + 3, c.y() - 3);
            p.drawLine(in.left(), c.y(), in.left() + 3, c.y() + 3);
            break;
        case EFloatingButton::kNext:
            p.drawLine(in.left(), c.y(), in.right(), c.y());
            p.drawLine(in.right(), c.y(), in.right() - 3, c.y() - 3);
            p.drawLine(in.right(), c.y(), in.right() - 3, c.y() + 3);
            break;
        case EFloatingButton::kRotateRight:
            p.drawEllipse(in);
            break;
        case EFloatingButton::kNone:
            break;
        }
    }
    QRect x = ToQRect(m_row.exit);
    p.setPen(QPen(QColor(220, 0, 0), 1));
    int my = x.center().y();
    p.drawLine(x.left() + 8, my - 6, x.right() - 8, my + 6);
    p.drawLine(x.left() + 8, my + 6, x.right() - 8, my - 6);
}

void CImageWnd::paintEvent(QPaintEvent* e) {
    if (m_backing.size() != size())
        Repaint();
    QPainter p(this);
    if (m_backing.size() == size())
        p.drawImage(e->rect(), m_backing, e->rect());
}

void CImageWnd::resizeEvent(QResizeEvent*) {
    LayoutStrip();
    if (m_bStripShown && width() < 2 * kStripArrowWidth) {
        m_bStripShown = m_bLayoutAboveStrip = false; // no room for a strip
        m_pFrame->m_bShowStrip = false;
        m_pFrame->PaintStatusLabels();
    }
    m_rcSelection = {}; // it marked pixels of the old placement
    m_view.SetClientSize(width(), LayoutHeight());
    m_overview.ResetPosition(width(), height());
    m_row.Layout(width(), height());
    if (m_bStripShown)
        m_pFrame->RefreshStrip(CMainFrame::kStripAfterPicture); // as many slots as now fit
    Repaint();
}

void CImageWnd::OnRowButton(EFloatingButton b) {
    static const int commands[] = {ID_ZOOM_IN,      ID_ZOOM_OUT,     ID_ZOOM_FIT,
                                   ID_PREV_PICTURE, ID_NEXT_PICTURE, ID_ROTATE_RIGHT};
    // The row lives with the strip: a picture opened from it keeps the strip
    // and is laid out above it, as one picked in the strip is.
    const std::string before = m_strFile;
    m_bKeepStrip = true;
    m_pFrame->OnCommand(commands[static_cast<int>(b)]);
    m_bKeepStrip = false;
    if (m_strFile != before && m_bStripShown)
        m_pFrame->RefreshStrip(CMainFrame::kStripAfterPicture);
    Repaint();
}

void CImageWnd::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (e->button() == Qt::RightButton) {
        if (!m_bLoaded)
            return;
        m_bButtonDown = false;
        m_bRightArmed = true;
        if (m_view.GetZoom() >= 1.0f && m_view.IsScrollable()) {
            if (!OverviewOn()) {
                // The pop-up overview, drawn once at the point; the next left
                // click in it scrolls there.
                m_overview.DrawPopup(DestOf(m_backing), pt.x(), pt.y());
                m_bPopupShown = true;
                update();
            }
        } else if (HasSelection()) {
            m_pSelectionMenu->exec(e->globalPosition().toPoint());
        } else if (!(m_bStripShown && InStrip(pt))) {
            PopupMenu(e->globalPosition().toPoint());
        }
        UpdateCursor();
        return;
    }
    if (e->button() == Qt::MiddleButton) {
        PopupMenu(e->globalPosition().toPoint());
        return;
    }
    if (e->button() != Qt::LeftButton || !m_bLoaded)
        return;
    if (m_bStripShown && InStrip(pt) && !m_overview.IsDraggingMarker() &&
        !m_overview.IsDraggingPanel()) {
        QThread::msleep(50);
        OnStripClick(pt);
        return;
    }
    if (RowActive() && m_row.InRow(pt.x(), pt.y())) {
        OnRowButton(m_row.ButtonAt(pt.x(), pt.y()));
        return;
    }
    if (m_pFrame->m_bFullScreen && m_row.InExit(pt.x(), pt.y())) {
        m_pFrame->ToggleFullScreen();
        return;
    }
    if (OverviewOn() && m_overview.IsShown(m_view)) {
        switch (m_overview.HitTest(pt.x(), pt.y(), m_view)) {
        case EOverviewHit::kClose:
            m_pFrame->OnCommand(ID_VIEW_OVERVIEW);
            return;
        case EOverviewHit::kMarker:
            m_overview.BeginMarkerDrag(pt.x(), pt.y(), m_view);
            m_bButtonDown = true;
            return;
        case EOverviewHit::kPanel:
            m_overview.BeginPanelDrag(pt.x(), pt.y());
            m_bButtonDown = true;
            return;
        case EOverviewHit::kNone:
            break;
        }
    }
    setFocus();
    m_ptDown = pt;
    m_bButtonDown = true;
    if (m_bRightArmed) {
        if (m_bPopupShown && m_overview.ScrollToPopupPoint(pt.x(), pt.y(), m_view))
            Repaint();
        m_bRightArmed = false;
    }
    if (m_bPopupShown) {
        m_bPopupShown = false;
        Repaint();
    }
    if (!m_view.IsScrollable())
        m_ptAnchor = pt;
    if (m_rcSelection.Contains(pt.x(), pt.y()))
        ZoomToSelection();
    m_bDragging = true;
    UpdateCursor();
}

void CImageWnd::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    m_ptMouse = pt;
    if (!m_bLoaded)
        return;
    if (InStrip(pt)) {
        if (m_bStripShown) {
            SetHoverSlot(StripSlotFromPoint(pt.x())); // hover: the picture under the mouse
        } else if (!(e->buttons() & Qt::LeftButton) && !m_overview.IsDraggingMarker() &&
                   !m_overview.IsDraggingPanel()) {
            ShowStrip();
        }
    } else {
        SetHoverSlot(-1);
    }
    if (m_overview.IsDraggingMarker()) {
        m_overview.DragMarkerTo(pt.x(), pt.y(), m_view);
        Repaint(); // the marker moved, and the view with it
        return;
    }
    if (m_overview.IsDraggingPanel()) {
        m_overview.DragPanelTo(pt.x(), pt.y());
        if (m_bStripShown)
            HideStrip();
        Repaint();
        return;
    }
    if (m_bDragging && (e->buttons() & Qt::LeftButton) && m_view.GetZoom() >= 1.0f &&
        !(m_bStripShown && InStrip(pt))) {
        setCursor(CursorFor(141));
        if (m_bStripShown)
            HideStrip(); // panning hides the strip
        QPoint d = pt - m_ptDown;
        if (m_view.DragBy(d.x(), d.y()))
            Repaint();
        m_ptDown = pt;
    } else if (m_bDragging && (e->buttons() & Qt::LeftButton) && m_view.GetZoom() < 1.0f &&
               !(m_bStripShown && InStrip(pt))) {
        TrackSelection(pt); // a reduced view is never panned: the drag selects
    } else if (HasSelection()) {
        UpdateCursor(); // over the selection a click zooms into it
    }
}

void CImageWnd::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    bool wasDragging = m_bDragging;
    bool markerDrag = m_overview.IsDraggingMarker();
    bool panelDrag = m_overview.IsDraggingPanel();
    m_bButtonDown = m_bDragging = m_bRightArmed = false;
    m_overview.EndDrag();
    if (!m_bLoaded)
        return;
    if (panelDrag || markerDrag) {
        Repaint();
    } else if (wasDragging && m_view.IsScrollable()) {
        // A strongly enlarged view is smoothed once the drag is over.
        if (ShouldBlurAfterDrag(m_nSmoothing, m_view.GetZoom())) {
            m_renderer.Render(*m_pImage, m_view, m_crBackground, DestOf(m_backing));
            DrawOverlays(true);
            update();
        } else {
            Repaint();
        }
    }
    UpdateCursor();
}

void CImageWnd::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        m_pFrame->ShowListMode();
}

void CImageWnd::wheelEvent(QWheelEvent* e) {
    const bool away = e->angleDelta().y() >= 0;
    m_ptMouse = e->position().toPoint();
    if (m_bStripShown && InStrip(m_ptMouse)) {
        // Over the strip the wheel moves the strip by one picture.
        if (away)
            m_pFrame->StripStepBack();
        else
            m_pFrame->StripStepForward();
        m_pFrame->LoadStripSlots();
        HighlightCurrent();
    } else if (!m_pFrame->m_bWheelZoom) {
        if (m_bWheelIdle) {
            QThread::msleep(m_bStripShown ? 5 : 10);
            m_bWheelIdle = false;
            m_pFrame->OnCommand(away ? ID_PREV_PICTURE : ID_NEXT_PICTURE);
            m_bWheelIdle = true;
        }
    } else {
        m_pFrame->OnCommand(away ? ID_ZOOM_OUT : ID_ZOOM_IN);
    }
    e->accept();
}

void CImageWnd::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!m_bLoaded)
            return;
        EArrowKey k = e->key() == Qt::Key_Left    ? EArrowKey::kLeft
                      : e->key() == Qt::Key_Right ? EArrowKey::kRight
                      : e->key() == Qt::Key_Up    ? EArrowKey::kUp
                                                  : EArrowKey::kDown;
        if (m_view.ArrowKey(k))
            Repaint();
        return;
    }
    case Qt::Key_Escape:
        m_pFrame->OnCommand(ID_VIEW_FULL_SCREEN);
        return;
    case Qt::Key_Space:
        m_pFrame->OnCommand(ID_VIEW_LEFT_PANE);
        return;
    case Qt::Key_Delete:
        m_pFrame->OnCommand(ID_EDIT_DELETE);
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

void CImageWnd::TellZoomEnds() {
    m_pFrame->SetMaxZoom(m_view.Ladder().GetMaxZoom());
    // The lowest end is the marker below step 1: zoom out stays usable at
    // step 1, where it may leave for the list.
    m_pFrame->SetMinZoom(m_view.Ladder().GetLowestEnd());
}

void CImageWnd::UpdateCursor() {
    int id;
    if (HasSelection()) {
        // Over the selection the magnifier, unless a right click armed the
        // pop-up overview.
        const bool inside = m_rcSelection.Contains(m_ptMouse.x(), m_ptMouse.y());
        id = inside ? (m_bRightArmed ? 176 : 195) : (m_bRightArmed ? 176 : 140);
    } else {
        // The strip's cursor while it is shown, else the plain cursor unless
        // a right click armed the pop-up overview.
        id = m_bStripShown ? 176 : (!m_bRightArmed || OverviewOn()) ? 140 : 176;
    }
    setCursor(CursorFor(id));
}

void CImageWnd::PopupMenu(const QPoint& global) {
    m_pMenu->exec(global);
}

// The bottom strip -----------------------------------------------------------

int CImageWnd::GetStripSlotCount() const {
    return StripSlotCount(width());
}

bool CImageWnd::InStrip(const QPoint& pt) const {
    const StripRect band = StripBandRect(width(), height());
    return pt.x() >= band.left && pt.x() < band.right && pt.y() >= band.top && pt.y() < band.bottom;
}

void CImageWnd::LayoutStrip() {
    m_nStripWidth = std::max(width() - 2 * kStripArrowWidth, 0);
    m_stripBlock.assign(StripBlockSize(m_nStripWidth), 0);
    ClearStrip();
}

void CImageWnd::ShowStrip() {
    // A strip needs a second picture to offer, and room for its two buttons.
    if (m_pFrame->GetPictureCount() <= 1 || width() < 2 * kStripArrowWidth)
        return;
    m_bStripShown = true;
    m_pFrame->m_bShowStrip = true;
    m_nHoverSlot = -1;
    if (RowActive())
        Repaint(); // the floating row of full-screen mode comes with the strip
    m_pFrame->RefreshStrip(CMainFrame::kStripAfterPicture);
    HighlightCurrent();
    m_pFrame->PaintStatusLabels();
    UpdateCursor();
}

void CImageWnd::HideStrip() {
    m_bStripShown = false;
    m_pFrame->m_bShowStrip = false;
    SetHoverSlot(-1);
    if (m_bLayoutAboveStrip) {
        m_bLayoutAboveStrip = false;
        m_view.SetClientSize(width(), height());
    }
    Repaint();
    m_pFrame->PaintStatusLabels();
    UpdateCursor();
}

void CImageWnd::ToggleStrip() {
    if (m_bStripShown)
        HideStrip();
    else
        ShowStrip();
    if (OverviewOn() && m_bLoaded) {
        DrawOverlays(false);
        if (m_bStripShown)
            DrawStripOverlay();
        update();
    }
}

void CImageWnd::ClearStrip() {
    ClearStripBlock(m_stripBlock, m_nStripWidth);
}

void CImageWnd::LoadStripSlot(int i, const std::string& cacheFile) {
    std::optional<CThumbnail> thumb = ReadThumbnailFile(cacheFile);
    DrawStripSlot(m_stripBlock, m_nStripWidth, i, thumb ? &*thumb : nullptr);
}

void CImageWnd::DrawStrip() {
    if (!m_bStripShown || m_backing.isNull() || m_nStripWidth <= 0)
        return;
    const int top = height() - kStripHeight;
    const std::size_t stride = CImageBuffer::StrideFor(m_nStripWidth);
    for (int row = 0; row < kStripHeight; ++row) {
        const int y = top + kStripHeight - 1 - row; // the block is bottom-up
        if (y < 0 || y >= m_backing.height())
            continue;
        const std::uint8_t* src = m_stripBlock.data() + stride * row;
        auto* dst = reinterpret_cast<QRgb*>(m_backing.scanLine(y));
        for (int x = 0; x < m_nStripWidth && kStripArrowWidth + x < m_backing.width(); ++x)
            dst[kStripArrowWidth + x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
    }
    update(kStripArrowWidth, top, m_nStripWidth, kStripHeight);
}

void CImageWnd::DrawStripFrame() {
    if (!m_bStripShown || m_backing.isNull())
        return;
    const int cw = width(), ch = height();
    QPainter p(&m_backing);
    const StripRect arrows[] = {StripLeftArrowRect(cw, ch), StripRightArrowRect(cw, ch)};
    for (int side = 0; side < 2; ++side) {
        const StripRect& a = arrows[side];
        QRect r(a.left, a.top, a.right - a.left, a.bottom - a.top);
        p.fillRect(r, ToQColor(kStripButtonFace));
        // A chevron 6 wide and 12 high pointing outwards, centred in the button.
        const int cx = (a.left + a.right) / 2, cy = (a.top + a.bottom) / 2;
        const int tip = side == 0 ? cx - 3 : cx + 3, back = side == 0 ? cx + 3 : cx - 3;
        p.setPen(QPen(ToQColor(kStripGlyph), 2));
        p.drawLine(back, cy - 6, tip, cy);
        p.drawLine(tip, cy, back, cy + 6);
    }
    p.setPen(QPen(ToQColor(kStripSeparator), 1));
    const int x = cw - kStripArrowWidth + 2;
    p.drawLine(x, ch - kStripHeight, x, ch - 1);
    update(0, ch - kStripHeight, cw, kStripHeight);
}

void CImageWnd::HighlightCurrent() {
    if (!m_bStripShown || m_backing.isNull())
        return;
    std::string current = m_strFile;
    if (CTreeContainerWnd* tree = m_pFrame->GetTreeContainer())
        if (!tree->m_strCurrentFile.empty())
            current = tree->m_strCurrentFile;
    auto it = std::find(m_astrStripFiles.begin(), m_astrStripFiles.end(), current);
    if (it == m_astrStripFiles.end())
        return;
    const StripRect r =
        StripHighlightRect(static_cast<int>(it - m_astrStripFiles.begin()), height());
    QPainter p(&m_backing);
    const QColor c = ToQColor(kStripHighlight);
    const int w = r.right - r.left, h = r.bottom - r.top;
    p.fillRect(r.left, r.top, w, 1, c);
    p.fillRect(r.left, r.bottom - 1, w, 1, c);
    p.fillRect(r.left, r.top, 1, h, c);
    p.fillRect(r.right - 1, r.top, 1, h, c);
    update(r.left, r.top, w, h);
}

void CImageWnd::DrawStripOverlay() {
    DrawStrip();
    DrawStripFrame();
    HighlightCurrent();
}

void CImageWnd::OnStripClick(const QPoint& pt) {
    if (m_pFrame->GetPictureCount() <= 1)
        return;
    const int cw = width();
    switch (StripHitTest(pt.x(), cw)) {
    case StripHit::LeftArrow:
    case StripHit::RightArrow:
        m_pFrame->m_nStripMode =
            StripHitTest(pt.x(), cw) == StripHit::LeftArrow ? kStripPageBack : kStripPageForward;
        m_pFrame->RefreshStrip(CMainFrame::kStripAfterPicture);
        HighlightCurrent();
        return;
    case StripHit::Slot:
        break;
    }
    const int slot = StripSlotFromPoint(pt.x());
    if (slot < 0 || slot >= static_cast<int>(m_astrStripFiles.size()))
        return;
    const std::string path = m_astrStripFiles[static_cast<std::size_t>(slot)];
    if (path.size() <= 4 || !IsPictureFile(path))
        return;
    CTreeContainerWnd* tree = m_pFrame->GetTreeContainer();
    if (!tree)
        return;
    // Opened through the left pane, so that its list follows; the strip
    // stays and the picture is laid out above it.
    m_bKeepStrip = true;
    tree->OpenPicture(path);
    m_bKeepStrip = false;
    if (!m_bLoaded)
        return;
    switch (StripAfterSlotClick(pt.x(), cw)) {
    case StripFollowUp::StepBack:
        m_pFrame->StripStepBack();
        m_pFrame->LoadStripSlots();
        break;
    case StripFollowUp::StepForward:
        m_pFrame->StripStepForward();
        m_pFrame->LoadStripSlots();
        break;
    case StripFollowUp::Refresh:
        m_pFrame->RefreshStrip(CMainFrame::kStripKeep);
        break;
    }
    HighlightCurrent();
    if (RowActive()) {
        DrawFloatingRow();
        update();
    }
}

void CImageWnd::leaveEvent(QEvent* e) {
    SetHoverSlot(-1);
    QWidget::leaveEvent(e);
}

void CImageWnd::SetHoverSlot(int slot) {
    if (slot == m_nHoverSlot)
        return;
    m_nHoverSlot = slot;
    const bool filled = slot >= 0 && slot < static_cast<int>(m_astrStripFiles.size());
    if (onHoverFile)
        onHoverFile(filled ? m_astrStripFiles[static_cast<std::size_t>(slot)] : std::string());
}
