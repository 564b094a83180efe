// The image window's edits: the picture changed in place, and the
// rubber-band selection with its menu and its three commands.
#include "image/ImageWnd.h"

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "image/Codec.h"
#include "image/Selection.h"
#include "platform/PlatformUi.h"
#include "platform/QtUtil.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>

bool CImageWnd::EditPicture(const std::function<bool(CImageBuffer&)>& edit) {
    if (!m_bLoaded)
        return false;
    const int w = m_pImage->Width(), h = m_pImage->Height();
    if (!edit(*m_pImage))
        return false;
    m_rcSelection = {};
    m_overview.Invalidate();
    if (m_pImage->Width() != w || m_pImage->Height() != h) {
        m_view.ResetForRotation(m_pImage->Width(), m_pImage->Height());
        TellZoomEnds(); // the ladder of the turned picture
    }
    m_overview.BuildOverview(*m_pImage);
    Repaint();
    return true;
}

void CImageWnd::BuildSelectionMenu() {
    m_pSelectionMenu = new QMenu(QStringLiteral("矩形选择菜单"), this);
    const struct {
        int id;
        const char* text;
        void (CImageWnd::*run)();
    } items[] = {
        {ID_SELECTION_ZOOM, "放大选区", &CImageWnd::ZoomToSelection},
        {ID_SELECTION_SAVE, "保存选区", &CImageWnd::SaveSelection},
        {ID_SELECTION_COPY, "复制选区", &CImageWnd::CopySelection},
    };
    for (const auto& item : items) {
        QAction* a = m_pSelectionMenu->addAction(QString::fromUtf8(item.text));
        a->setData(item.id);
        connect(a, &QAction::triggered, this, [this, run = item.run] { (this->*run)(); });
    }
}

void CImageWnd::TrackSelection(const QPoint& pt) {
    if (!m_bLoaded || !(m_view.GetZoom() > 0.0f))
        return;
    m_rcSelection =
        RubberBandRect({m_ptAnchor.x(), m_ptAnchor.y()}, {pt.x(), pt.y()}, m_view.GetDestRect());
    Repaint(); // the picture, with the band over it
}

void CImageWnd::ClearSelection() {
    m_rcSelection = {};
    Repaint();
}

void CImageWnd::DrawSelection() {
    if (!HasSelection())
        return;
    const ViewRect &r = m_rcSelection, &dest = m_view.GetDestRect();
    const ViewRect part = SelectionToPicture(r, dest, m_view.GetImageSize());
    QPainter p(&m_backing);
    p.setClipRect(dest.left, dest.top, dest.Width(), dest.Height());
    p.setPen(QPen(ToQColor(kSelectionColor), 1, Qt::DotLine));
    const int right = r.right - 1, bottom = r.bottom - 1;
    p.drawLine(r.left, r.top, right, r.top);
    p.drawLine(right, r.top, right, bottom);
    p.drawLine(right, bottom, r.left, bottom);
    p.drawLine(r.left, bottom, r.left, r.top);
    // The size in picture pixels, centred from just above the middle down.
    const int textTop = r.top + r.Height() / 2 - 8;
    p.setFont(SongFont(14));
    p.drawText(QRect(r.left, textTop, r.Width(), r.bottom - textTop), Qt::AlignHCenter,
               Q(SelectionSizeText(part)));
}

void CImageWnd::ZoomToSelection() {
    if (!m_bLoaded || !(m_view.GetZoom() > 0.0f) || !HasSelection())
        return;
    const ViewRect part = SelectedPart();
    // Once the view is enlarged the rectangle no longer marks those pixels.
    m_rcSelection = {};
    if (!part.IsEmpty())
        m_pFrame->SetZoom(m_view.ZoomToSelection(part));
    Repaint();
}

void CImageWnd::SaveSelection() {
    if (!m_bLoaded || !HasSelection())
        return;
    const ViewRect part = SelectedPart();
    const std::string path =
        part.IsEmpty() ? std::string()
                       : PlatformUi().GetSaveFileName("JPG(*.jpg)|*.jpg|BMP(*.bmp)|*.bmp|",
                                                      m_pFrame->DialogFolder());
    if (!path.empty()) {
        // The selected pixels go from memory straight into the chosen file.
        const int format = SelectionSaveFormat(path);
        CWaitCursor wait;
        if (format == 0)
            PlatformUi().MessageBox("无法保存为该文件格式");
        else if (!SaveImageFile(*m_pImage, part.left, part.top, part.right, part.bottom, path,
                                format))
            PlatformUi().MessageBox("创建文件失败");
    }
    ClearSelection();
}

void CImageWnd::CopySelection() {
    if (!m_bLoaded || !HasSelection())
        return;
    const ViewRect part = SelectedPart();
    if (!part.IsEmpty()) {
        CWaitCursor wait;
        const CImageBuffer& img = *m_pImage;
        // The buffer's rows read top to bottom show the picture upside down;
        // the part is cut from that and turned the right way up.
        const QImage rows(img.Bits(), img.Width(), img.Height(), img.Stride(),
                          QImage::Format_BGR888);
        const QImage copy =
            rows.copy(part.left, img.Height() - part.bottom, part.Width(), part.Height())
                .mirrored(false, true);
        if (copy.isNull())
            PlatformUi().MessageBox("系统分配内存失败");
        else
            QGuiApplication::clipboard()->setImage(copy);
    }
    ClearSelection();
}
