#include "app/WallpaperPrintCommands.h"

#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "image/ImageWnd.h"

void BindWallpaperAndPrintCommands(CMainFrame& frame) {
    frame.SetCommandHandler(ID_FILE_PRINT, [&frame] {
        if (frame.m_bImageLoaded)
            frame.GetImgContainer()->ImageWnd()->PrintPicture();
    });
}
