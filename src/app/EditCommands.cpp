#include "app/EditCommands.h"

#include "app/AutoSave.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "platform/PlatformUi.h"

namespace {

CImageWnd* Wnd(CMainFrame& f) {
    return f.GetImgContainer() ? f.GetImgContainer()->ImageWnd() : nullptr;
}

// One edit of the picture inside the work rectangle (x, y, w, h).
using Edit = void (*)(CImageBuffer&, int, int, int, int);

struct Adjustment {
    int id;
    Edit edit;
    bool mirror = false; // followed by the automatic save
};

const Adjustment kAdjustments[] = {
    {ID_ADJ_INVERT, [](CImageBuffer& b, int x, int y, int w, int h) { b.Invert(x, y, w, h); }},
    {ID_ADJ_GREY, [](CImageBuffer& b, int x, int y, int w, int h) { b.GreyScale(x, y, w, h); }},
    {ID_ADJ_SMOOTH, [](CImageBuffer& b, int x, int y, int w, int h) { b.Smooth(x, y, w, h); }},
    {ID_ADJ_BLACK_WHITE,
     [](CImageBuffer& b, int x, int y, int w, int h) { b.Threshold(x, y, w, h); }},
    {ID_ADJ_LINES, [](CImageBuffer& b, int x, int y, int w, int h) { b.LinePattern(x, y, w, h); }},
    // The mirrors always take the whole picture.
    {ID_ADJ_FLIP_LR, [](CImageBuffer& b, int, int, int, int) { b.MirrorLeftRight(); }, true},
    {ID_ADJ_FLIP_TB, [](CImageBuffer& b, int, int, int, int) { b.MirrorTopBottom(); }, true},
};

// With "旋转,翻转后，自动保存为jpg格式文件" on, a mirrored or turned picture is
// saved as a JPEG beside its file (sun.png as sunback.jpg), straight from
// memory; a file of that name is replaced only by a complete new one.
void AutoSave(CMainFrame& f, const CImageWnd& wnd) {
    if (!f.m_settings.mSave)
        return;
    const CImageBuffer& img = wnd.Image();
    if (!SaveImageFile(img, 0, 0, img.Width(), img.Height(), AutoSaveTarget(wnd.CurrentFile()),
                       kFormatJpeg))
        PlatformUi().MessageBox("创建文件失败");
}

void Adjust(CMainFrame& f, const Adjustment& a) {
    CImageWnd* wnd = Wnd(f);
    if (!wnd || !f.m_bImageLoaded)
        return;
    if (f.m_fZoom >= 1.0f) {
        // At actual size and above an edit starts again from the file on
        // disk, fitted to the window.
        wnd->Reload();
        f.ShowPosition();
        if (!f.m_bImageLoaded)
            return;
        f.SetZoom(wnd->FitToWindow());
    }
    CWaitCursor wait;
    // The work rectangle keeps its right and bottom edges as its corner point.
    const QRect& work = f.m_rcWork;
    wnd->EditPicture([&](CImageBuffer& img) {
        a.edit(img, work.left(), work.top(), work.right() - work.left(),
               work.bottom() - work.top());
        return true;
    });
    if (a.mirror)
        AutoSave(f, *wnd);
}

void Turn(CMainFrame& f, bool clockwise) {
    CImageWnd* wnd = Wnd(f);
    if (!wnd || !f.m_bImageLoaded)
        return;
    CWaitCursor wait;
    // The turned picture is laid out anew and shown fitted (or at actual size
    // when it fits), whatever the zoom was.
    const bool turned = wnd->EditPicture([clockwise](CImageBuffer& img) {
        return clockwise ? img.RotateClockwise() : img.RotateCounterClockwise();
    });
    if (!turned) {
        PlatformUi().MessageBox("系统分配内存失败");
        return;
    }
    f.SetZoom(wnd->View().GetZoom());
    f.ResetWorkRect();
    f.m_bRotated = true;
    AutoSave(f, *wnd);
}

} // namespace

void InstallEditCommands(CMainFrame& frame) {
    CMainFrame* f = &frame;
    for (const Adjustment& a : kAdjustments)
        f->SetCommandHandler(a.id, [f, &a] { Adjust(*f, a); });
    f->SetCommandHandler(ID_ROTATE_RIGHT, [f] { Turn(*f, true); });
    f->SetCommandHandler(ID_ROTATE_RIGHT_HIDDEN, [f] { Turn(*f, true); });
    f->SetCommandHandler(ID_ROTATE_LEFT, [f] { Turn(*f, false); });
    f->SetCommandHandler(ID_ZOOM_SELECTION, [f] {
        if (f->m_bImageLoaded && Wnd(*f))
            Wnd(*f)->ZoomToSelection();
    });
}
