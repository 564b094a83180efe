#include "app/KelvraApp.h"

#include "app/MainFrame.h"
#include "app/StartUp.h"
#include "platform/ProgramFolder.h"
#include "platform/QtPlatformUi.h"
#include "platform/QtUtil.h"

#include <QScreen>
#include <QStyle>

static void LoadResources() {
    // The icons are compiled into the window library, which is linked
    // statically: its resources must be registered by hand.
    Q_INIT_RESOURCE(kelvra);
}

CKelvraApp::CKelvraApp() : m_ui(std::make_unique<CQtPlatformUi>()) {
    UseCNumberFormat(); // the application object set the whole locale from the environment
    RemoveLeftoverTempFilesAtStart();
    LoadResources();
    SetPlatformUi(m_ui.get());
}

CKelvraApp::~CKelvraApp() {
    m_pMainWnd.reset(); // the panes store their files while the frame goes
    AfxSetMainWnd(nullptr);
    if (&PlatformUi() == m_ui.get())
        SetPlatformUi(nullptr);
}

bool CKelvraApp::InitInstance(const std::vector<std::string>& args) {
    // At most one file; a relative name is made absolute so its folder is found.
    std::string file = args.empty() ? std::string() : MakeAbsolutePath(args.front());
    auto frame = std::make_unique<CMainFrame>();
    if (!frame->Create())
        return false;
    if (file.empty() ? !m_doc.OnNewDocument() : !m_doc.OnOpenDocument(file))
        return false;
    m_pMainWnd = std::move(frame);
    AfxSetMainWnd(m_pMainWnd.get());
    if (!file.empty()) {
        m_pMainWnd->m_bOpenCmdLineFile = true;
        m_pMainWnd->m_strCmdLineFile = file;
    }
    m_pMainWnd->setWindowTitle(Q(m_pMainWnd->m_strTitle));
    // Where the window manager does not maximise it, the window still comes
    // up at a useful size: two thirds of the screen, centred.
    if (const QScreen* screen = m_pMainWnd->screen()) {
        const QRect avail = screen->availableGeometry();
        const QSize size(avail.width() * 2 / 3, avail.height() * 2 / 3);
        m_pMainWnd->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, avail));
    }
    m_pMainWnd->showMaximized();
    return true;
}
