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
