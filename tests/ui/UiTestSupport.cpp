#include "UiTestSupport.h"

#include "app/MainFrame.h"
#include "image/Codec.h"
#include "library/TreeContainerWnd.h"

#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

bool SetFolderReadOnly(const std::string& folder, bool readOnly) {
    if (::geteuid() != 0)
        return ::chmod(folder.c_str(), readOnly ? 0555 : 0755) == 0;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = readOnly ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

ProgramHome::ProgramHome() {
    ::setenv("KELVRA_HOME", m_dir.path().toUtf8().constData(), 1);
}
ProgramHome::~ProgramHome() {
    ::unsetenv("KELVRA_HOME");
}
std::string ProgramHome::Path() const {
    return m_dir.path().toStdString() + "/";
}

std::string MakePicture(const std::string& path, int w, int h, COLORREF colour) {
    CImageBuffer img;
    img.Allocate(w, h, colour);
    SaveWholeImage(img, path);
    return path;
}

std::unique_ptr<CKelvraApp> StartApp(int width, int height, const std::vector<std::string>& args) {
    auto app = std::make_unique<CKelvraApp>();
    if (!app->InitInstance(args))
        return nullptr;
    CMainFrame* f = app->MainFrame();
    f->showNormal();
    f->resize(width, height);
    f->show();
    if (!QTest::qWaitFor([&] { return f->GetTreeContainer()->StartupDone(); }, 3000))
        return nullptr;
    return app;
}
