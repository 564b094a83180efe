#include "UiTestSupport.h"

#include "app/MainFrame.h"
#include "image/Codec.h"
#include "library/TreeContainerWnd.h"

#include <QTest>

std::string MakePicture(const std::string& path, int w, int h, COLORREF colour) {
    CImageBuffer img;
    img.Allocate(w, h, colour);
    SaveWholeImage(img, path);
    return path;
}

std::string MakeGradientPicture(const std::string& path, int w, int h, COLORREF base) {
    CImageBuffer img;
    img.Allocate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelRgb(x, h - 1 - y, std::uint8_t(GetRValue(base) + x * 255 / w),
                            std::uint8_t(GetGValue(base) + y * 255 / h),
                            std::uint8_t(GetBValue(base) + 60));
    SaveWholeImage(img, path);
    return path;
}

void RunningApp::Start(int width, int height, const std::vector<std::string>& args) {
    ui.reset();
    app.reset();
    app = std::make_unique<CKelvraApp>();
    QVERIFY(app->InitInstance(args));
    f = app->MainFrame();
    pane = f->GetTreeContainer();
    f->showNormal();
    f->resize(width, height);
    f->show();
    QVERIFY(QTest::qWaitFor([&] { return pane->StartupDone(); }, 3000));
    ui = std::make_unique<CScriptedUi>();
}
