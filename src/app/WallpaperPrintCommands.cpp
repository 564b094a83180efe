#include "app/WallpaperPrintCommands.h"

#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "app/Wallpaper.h"
#include "image/ImageWnd.h"
#include "library/TreeContainerWnd.h"
#include "platform/PlatformUi.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

void SetWallpaper(CMainFrame& frame, EWallpaperStyle style) {
    if (!frame.m_bImageLoaded)
        return;
    CWaitCursor wait;
    const CImageWnd* wnd = frame.GetImgContainer()->ImageWnd();
    std::string file = frame.GetTreeContainer()->GetCurrentFile();
    if (file.empty())
        file = wnd->CurrentFile();
    // A stretched picture is made for the primary screen's size in device pixels.
    QSize screen;
    if (const QScreen* s = QGuiApplication::primaryScreen())
        screen = s->size() * s->devicePixelRatio();
    if (!SetWallpaperFromPicture(wnd->Image(), file, style, screen.width(), screen.height()))
        PlatformUi().MessageBox("设置壁纸失败");
}

} // namespace

void BindWallpaperAndPrintCommands(CMainFrame& frame) {
    frame.SetCommandHandler(ID_WALLPAPER_TILE,
                            [&frame] { SetWallpaper(frame, EWallpaperStyle::kTile); });
    frame.SetCommandHandler(ID_WALLPAPER_CENTER,
                            [&frame] { SetWallpaper(frame, EWallpaperStyle::kCenter); });
    frame.SetCommandHandler(ID_WALLPAPER_STRETCH,
                            [&frame] { SetWallpaper(frame, EWallpaperStyle::kStretch); });
    frame.SetCommandHandler(ID_FILE_PRINT, [&frame] {
        if (frame.m_bImageLoaded)
            frame.GetImgContainer()->ImageWnd()->PrintPicture();
    });
}
