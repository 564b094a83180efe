#include "app/ResizeOptionsCommands.h"

#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "app/OptionsSheet.h"
#include "image/ImageWnd.h"
#include "image/ResizeSaveDlg.h"
#include "library/TreeContainerWnd.h"
#include "platform/PlatformUi.h"
#include "thumbs/ImageWndList.h"

namespace {

// The frame and its windows as confirmed options reach them.
class CFrameOptionsTarget final : public IOptionsTarget {
public:
    explicit CFrameOptionsTarget(CMainFrame& frame) : m_frame(frame) {}

    CSystemSettings& Settings() override { return m_frame.m_settings; }
    void SetListWhenSmallest(bool on) override { m_frame.m_bListWhenSmallest = on; }
    void RebuildFolderTree() override {
        if (CTreeContainerWnd* tree = m_frame.GetTreeContainer())
            tree->OnReloadTree();
    }
    void SetPictureBackground(COLORREF c) override {
        CImgContainerWnd* pane = m_frame.GetImgContainer();
        pane->ImageWnd()->SetBackgroundColor(c);
        pane->ImageWnd()->Repaint();
        pane->update();
    }
    void SetListColors(const CSystemSettings& s) override {
        // A list made later takes its colours from the settings then.
        if (CImageWndList* list = m_frame.GetImgContainer()->ListWnd()) {
            list->SetBackgroundColor(s.crRightTubBk);
            list->SetColors(s.crTumTile, s.crTumTileBk, s.crTumCrIndi, s.crTumBack, s.crTumCrInfo);
        }
    }
    void SetSlideDelay(int ms) override { m_frame.GetImgContainer()->m_nSlideDelay = ms; }
    void SetDisplayMode(int mode) override { m_frame.m_nDisplayMode = mode; }
    void SetInterpolation(int interp) override {
        m_frame.m_nInterpolation = interp;
        m_frame.GetImgContainer()->ImageWnd()->m_nSmoothing = interp;
    }
    void SetWheelMode(int mode, bool wheelZoom) override {
        m_frame.m_nWheelMode = mode;
        m_frame.m_bWheelZoom = wheelZoom;
    }

private:
    CMainFrame& m_frame;
};

} // namespace

void BindResizeAndOptionsCommands(CMainFrame& frame) {
    frame.SetCommandHandler(ID_EDIT_RESIZE, [&frame] { ResizeAndSave(frame); });
    frame.SetCommandHandler(ID_TOOLS_OPTIONS, [&frame] { OnOptions(frame); });
}

void ResizeAndSave(CMainFrame& frame) {
    const CImageBuffer& img = frame.GetImgContainer()->ImageWnd()->Image();
    if (!frame.m_bImageLoaded || img.IsEmpty())
        return;
    CResizeSaveDlg dlg(&frame, img.Width(), img.Height());
    if (dlg.exec() != QDialog::Accepted)
        return;
    const std::int64_t width = dlg.Model().m_nWidth, height = dlg.Model().m_nHeight;
    const EResizeCheck check = CheckResizeSize(width, height);
    if (check == EResizeCheck::kBelowOne) {
        PlatformUi().MessageBox("请设置大于0的数值");
        return;
    }
    std::string path =
        PlatformUi().GetSaveFileName("JPG(*.jpg)|*.jpg|BMP(*.bmp)|*.bmp|", frame.DialogFolder());
    if (path.empty())
        return;
    const int format = ResizeFormatOf(path);
    if (format == 0) {
        PlatformUi().MessageBox("无法保存为该文件格式");
        return;
    }
    CWaitCursor wait;
    if (check != EResizeCheck::kOk ||
        !ResampleAndSave(img, static_cast<int>(width), static_cast<int>(height), path, format))
        PlatformUi().MessageBox("创建文件失败");
}

void OnOptions(CMainFrame& frame) {
    CImgContainerWnd* pane = frame.GetImgContainer();
    COptionsSheet sheet(&frame, FillOptions(frame.m_settings, pane->m_nSlideDelay,
                                            frame.m_nDisplayMode, frame.m_nInterpolation,
                                            frame.m_nWheelMode, frame.m_bListWhenSmallest));
    if (sheet.exec() != QDialog::Accepted)
        return;
    CFrameOptionsTarget target(frame);
    ApplyOptions(sheet.Options(), target);
    pane->RestartThumbnails();
}
