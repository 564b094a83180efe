#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/EditCommands.h"
#include "app/FrameFileCommands.h"
#include "app/HelpCommands.h"
#include "app/ImgContainerWnd.h"
#include "app/ResizeOptionsCommands.h"
#include "app/StatusBar.h"
#include "app/WallpaperPrintCommands.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "platform/FileOps.h"
#include "platform/PlatformUi.h"
#include "thumbs/GpsExport.h"
#include "thumbs/ImageWndList.h"
#include "thumbs/ThumbCache.h"
#include "app/StripLogic.h"
#include "library/FileCommands.h"
#include "library/FileInfoCommands.h"
#include "library/FolderTree.h"
#include "library/TreeFileCommands.h"
#include "library/TreeContainerWnd.h"
#include "platform/ProgramFolder.h"
#include "platform/QtUtil.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

CMainFrame* g_pMainWnd = nullptr;

// Icons of the tool-bar buttons: a name of the desktop's icon theme, and the
// program's own drawing when the theme has none.
struct ButtonIcon {
    int id;
    const char* theme;
    const char* own;
};
constexpr ButtonIcon kIcons[] = {
    {ID_VIEW_LEFT_PANE, "view-sidetree", "leftpane"},
    {ID_FILE_SAVE_BUTTON, "document-save", "save"},
    {ID_EDIT_MOVE, "go-jump", "move"},
    {ID_EDIT_RENAME, "edit-rename", "rename"},
    {ID_EDIT_DELETE, "edit-delete", "delete"},
    {ID_TOOLS_SEARCH, "edit-find", "search"},
    {ID_VIEW_RELOAD, "view-refresh", "reload"},
    {ID_ROTATE_LEFT, "object-rotate-left", "rotleft"},
    {ID_ROTATE_RIGHT, "object-rotate-right", "rotright"},
    {ID_ZOOM_IN, "zoom-in", "zoomin"},
    {ID_ZOOM_OUT, "zoom-out", "zoomout"},
    {ID_ZOOM_ACTUAL_BUTTON, "zoom-original", "actual"},
    {ID_PREV_PICTURE, "go-previous", "prev"},
    {ID_NEXT_PICTURE, "go-next", "next"},
    {ID_SLIDE_SHOW, "media-playback-start", "slides"},
    {ID_FILE_PROPERTIES, "document-properties", "properties"},
    {ID_APP_ABOUT, "help-about", "about"},
};

QIcon ButtonIconFor(int id) {
    for (const ButtonIcon& b : kIcons)
        if (b.id == id)
            return QIcon::fromTheme(b.theme, QIcon(QString(":/icons/%1.png").arg(b.own)));
    return {};
}

// The accelerator keys: a key with its modifiers, keypad keys told apart.
struct KeyChord {
    int key;
    Qt::KeyboardModifiers mods;
    bool operator<(const KeyChord& o) const {
        return key != o.key ? key < o.key : mods.toInt() < o.mods.toInt();
    }
};

KeyChord ParseChord(const std::string& text) {
    if (text.rfind("Num+", 0) == 0) {
        QKeySequence seq(Q(text.substr(4)));
        return {seq[0].key(), Qt::KeypadModifier};
    }
    QKeySequence seq(Q(text));
    return {seq[0].key(), seq[0].keyboardModifiers()};
}

// A field the user types text into: an edit, or a drop-down box with one.
bool IsTextField(const QWidget* w) {
    if (qobject_cast<const QLineEdit*>(w))
        return true;
    auto* box = qobject_cast<const QComboBox*>(w);
    return box && box->isEditable();
}

// Takes the accelerator keys of the frame before any of its windows sees
// them, as the frame's accelerator table does. Other keys go to the focused
// window; what a focused text field leaves alone goes no further, so a key
// typed into it never acts on another window.
class CAcceleratorFilter : public QObject {
public:
    explicit CAcceleratorFilter(CMainFrame* frame) : QObject(frame), m_frame(frame) {
        for (const Accelerator& a : Accelerators())
            m_keys[ParseChord(a.key)] = a.id;
    }

protected:
    bool eventFilter(QObject* target, QEvent* e) override {
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride)
            return false;
        auto* w = qobject_cast<QWidget*>(target);
        if (!w || w->window() != m_frame)
            return false;
        QWidget* focus = QApplication::focusWidget();
        if (e->type() == QEvent::KeyPress && focus && focus != w && IsTextField(focus) &&
            w->isAncestorOf(focus)) {
            e->accept(); // passed up from the field: it stops here
            return true;
        }
        auto* k = static_cast<QKeyEvent*>(e);
        Qt::KeyboardModifiers mods =
            k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier |
                              Qt::KeypadModifier | Qt::MetaModifier);
        auto it = m_keys.find({k->key(), mods});
        if (it == m_keys.end() && (mods & Qt::ShiftModifier)) // "+" needs Shift on some layouts
            it = m_keys.find({k->key(), mods & ~Qt::ShiftModifier});
        if (it == m_keys.end())
            return false;
        if (e->type() == QEvent::ShortcutOverride) {
            e->accept(); // keep the key from other shortcuts; it arrives as a key press
            return true;
        }
        if (!k->isAutoRepeat() || it->second != ID_VIEW_FULL_SCREEN)
            m_frame->OnCommand(it->second); // a disabled command is ignored
        return true;
    }

private:
    CMainFrame* m_frame;
    std::map<KeyChord, int> m_keys;
};

// The main menu's look: a greyed item is highlighted too, so that its prompt
// shows in the status bar as an enabled item's does.
class CMenuStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_Menu_AllowActiveAndDisabled)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

} // namespace

CMainFrame* AfxGetMainWnd() {
    return g_pMainWnd;
}
void AfxSetMainWnd(CMainFrame* frame) {
    g_pMainWnd = frame;
}

CMainFrame::CMainFrame() {
    setObjectName("MainFrame");
    setWindowIcon(QIcon(":/icons/kelvra.png"));
}

CMainFrame::~CMainFrame() {
    DestroyPanes();
    if (g_pMainWnd == this)
        g_pMainWnd = nullptr;
}

void CMainFrame::DestroyPanes() {
    // The panes go first, while the frame they report to is still whole: the
    // folder pane stores the settings as it is destroyed.
    delete m_pTreeContainer;
    m_pTreeContainer = nullptr;
    delete m_pImgContainer;
    m_pImgContainer = nullptr;
}

bool CMainFrame::Create() {
    BuildMenu();
    BuildToolBar();
    m_wndStatusBar = new CStatusBar(this);
    setStatusBar(m_wndStatusBar);
    m_wndStatusBar->SetPaneText(0, QStringLiteral("就绪"));
    m_wndStatusBar->Toggle(CStatusBar::kStripPane)->onClick = [this] { OnCommand(ID_VIEW_STRIP); };
    m_wndStatusBar->Toggle(CStatusBar::kOverviewPane)->onClick = [this] {
        OnCommand(ID_VIEW_OVERVIEW);
    };

    // The splitter: folder pane 200 pixels wide, the picture pane the rest.
    m_wndSplitter = new QSplitter(Qt::Horizontal, this);
    m_wndSplitter->setObjectName("Splitter");
    m_wndSplitter->setChildrenCollapsible(true);
    m_pTreeContainer = new CTreeContainerWnd(this);
    m_pImgContainer = new CImgContainerWnd(this);
    if (!m_pTreeContainer->Create() || !m_pImgContainer->Create()) {
        DestroyPanes();
        return false;
    }
    m_wndSplitter->addWidget(m_pTreeContainer);
    m_wndSplitter->addWidget(m_pImgContainer);
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 1);
    m_pTreeContainer->setMinimumWidth(0);
    m_wndSplitter->setSizes({200, 4000});
    setCentralWidget(m_wndSplitter);

    BuildAccelerators();
    InstallEditCommands(*this);
    BindResizeAndOptionsCommands(*this);
    InstallFileCommands(this);
    InstallFileInfoCommands(this);
    BindWallpaperAndPrintCommands(*this);
    auto* idle = new QTimer(this); // idle-time refresh of enable states
    connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandUi);
    idle->start(250);
    UpdateCommandUi();
    PaintStatusLabels();
    return true;
}

QAction* CMainFrame::ActionFor(int id, const QString& text) {
    auto* a = new QAction(text, this);
    a->setData(id);
    a->setStatusTip(Q(CommandPrompt(id)));
    if (!CommandToolTip(id).empty())
        a->setToolTip(Q(CommandToolTip(id)));
    if (id == ID_VIEW_OVERVIEW || id == ID_VIEW_STATUS_BAR || id == ID_VIEW_TOOLBAR)
        a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions.emplace(id, a);
    return a;
}

void CMainFrame::FillMenu(QMenu* menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (!item.items.empty()) {
            QMenu* sub = menu->addMenu(Q(item.text));
            FillMenu(sub, item.items);
        } else if (item.id == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(ActionFor(item.id, Q(item.text)));
        }
    }
    if (!m_pMenuStyle) {
        m_pMenuStyle = new CMenuStyle(QApplication::style()->name());
        m_pMenuStyle->setParent(this);
    }
    menu->setStyle(m_pMenuStyle);
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    connect(menu, &QMenu::aboutToHide, this, [this] { SetStatusText(0, "就绪"); });
}

void CMainFrame::BuildMenu() {
    for (const MenuItem& popup : MainMenu()) {
        QMenu* menu = menuBar()->addMenu(Q(popup.text));
        FillMenu(menu, popup.items);
    }
}

void CMainFrame::BuildToolBar() {
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName("ToolBar");
    m_wndToolBar->setIconSize(QSize(24, 23));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    for (int id : ToolBarButtons()) {
        if (id == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* a = ActionFor(id, Q(CommandToolTip(id)));
        a->setIcon(ButtonIconFor(id));
        if (id == ID_ZOOM_ACTUAL_BUTTON) {
            // The actual-size button carries a drop-down arrow with its menu.
            auto* drop = new QMenu(this);
            drop->setObjectName("ActualSizeMenu");
            FillMenu(drop, ActualSizeMenu());
            a->setMenu(drop);
        }
        m_wndToolBar->addAction(a);
        if (id == ID_ZOOM_ACTUAL_BUTTON)
            if (auto* b = qobject_cast<QToolButton*>(m_wndToolBar->widgetForAction(a)))
                b->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

void CMainFrame::BuildAccelerators() {
    qApp->installEventFilter(new CAcceleratorFilter(this));
}

FrameFlags CMainFrame::Flags() const {
    FrameFlags f;
    f.imageLoaded = m_bImageLoaded;
    f.imageMode = m_bImageMode;
    f.rotated = m_bRotated;
    f.zoom = m_fZoom;
    f.maxZoom = m_fMaxZoom;
    f.minZoom = m_fMinZoom;
    f.count = GetPictureCount();
    f.curIndex = m_pTreeContainer
                     ? m_pTreeContainer->FindFolderImage(m_pTreeContainer->m_strCurrentFile)
                     : -1;
    f.overviewOn = m_bShowOverview;
    f.stripOn = m_bShowStrip;
    f.statusBarShown = m_wndStatusBar && !m_wndStatusBar->isHidden();
    f.toolBarShown = m_wndToolBar && !m_wndToolBar->isHidden();
    return f;
}

void CMainFrame::UpdateCommandUi() {
    FrameFlags f = Flags();
    for (auto& [id, action] : m_actions) {
        CommandUi ui = QueryCommandUi(id, f);
        action->setEnabled(ui.enabled);
        if (action->isCheckable())
            action->setChecked(ui.checked);
    }
}

bool CMainFrame::OnCommand(int id) {
    if (!QueryCommand(id).enabled)
        return false;
    switch (id) {
    case ID_APP_EXIT:
        close();
        break;
    case ID_APP_ABOUT:
        OnAbout();
        break;
    case ID_VIEW_FULL_SCREEN:
        ToggleFullScreen();
        break;
    case ID_VIEW_LEFT_PANE:
        ToggleLeftPane();
        break;
    case ID_VIEW_FOLDERS:
        EnsureLeftPaneShown();
        m_pTreeContainer->OnViewFolders();
        break;
    case ID_VIEW_FAVORITES:
        EnsureLeftPaneShown();
        m_pTreeContainer->OnViewFavorites();
        break;
    case ID_VIEW_STATUS_BAR:
        m_wndStatusBar->setVisible(m_wndStatusBar->isHidden());
        break;
    case ID_VIEW_TOOLBAR:
        m_wndToolBar->setVisible(m_wndToolBar->isHidden());
        break;
    case ID_TOOLS_RESET:
        OnResetSystem();
        break;
    case ID_VIEW_STRIP:
        ImageWnd()->ToggleStrip();
        PaintStatusLabels();
        break;
    case ID_STRIP_CENTRE:
    case ID_STRIP_CENTRE_FILL:
        RefreshStrip(kStripRecentre);
        ImageWnd()->HighlightCurrent();
        break;
    case ID_TOOLS_CLEAR_THUMBS:
        // Every cell and slot shows its placeholder now; no thumbnail made in
        // the background lands in the folder while it goes.
        m_pImgContainer->StopThumbnails();
        ClearThumbCache();
        if (m_pImgContainer->GetMode() == 2)
            m_pImgContainer->RefreshList();
        else if (ImageWnd()->m_bStripShown)
            RefreshStrip(kStripKeep);
        break;
    case ID_VIEW_OVERVIEW:
        OnToggleOverview();
        break;
    case ID_SLIDE_PAUSE:
        m_pImgContainer->m_bPauseRequest = true;
        break;
    case ID_FILE_OPEN_IMAGE:
        OnOpen();
        break;
    case ID_FILE_SAVE_AS:
    case ID_FILE_SAVE_BUTTON:
        OnSaveAs();
        break;
    case ID_ZOOM_IN:
    case ID_ZOOM_IN_CONTEXT:
        OnZoomIn();
        break;
    case ID_ZOOM_OUT:
        OnZoomOut();
        break;
    case ID_ZOOM_FIT:
        OnZoomFit();
        break;
    case ID_ZOOM_ACTUAL:
    case ID_ZOOM_ACTUAL_BUTTON:
        OnActualSize();
        break;
    case ID_VIEW_RELOAD:
        OnReload();
        break;
    case ID_NEXT_PICTURE:
        OnNextPrevious(true);
        break;
    case ID_PREV_PICTURE:
        OnNextPrevious(false);
        break;
    case ID_SLIDE_SHOW:
        m_pImgContainer->ToggleSlideShow();
        break;
    case ID_VIEW_LIST:
        m_pImgContainer->ShowListWindow();
        break;
    case ID_TOOLS_EXPORT_GPS:
    case ID_TOOLS_EXPORT_GPS2:
        OnExportGps();
        break;
    case ID_WORK_CLEAR:
        ClearWorkRect();
        break;
    case ID_WORK_WHOLE:
        ResetWorkRect();
        break;
    case ID_HELP_FINDER:
    case ID_HELP_HOMEPAGE:
    case ID_HELP_CONTACT:
        RunHelpCommand(id, GetDataFolder());
        break;
    default:
        if (auto h = m_handlers.find(id); h != m_handlers.end())
            h->second();
        break; // other commands are bound to nothing
    }
    UpdateCommandUi();
    emit commandDone(id);
    return true;
}

void CMainFrame::SetCommandHandler(int id, std::function<void()> handler) {
    m_handlers[id] = std::move(handler);
    SetCommandAvailable(id);
}

CImageWnd* CMainFrame::ImageWnd() const {
    return m_pImgContainer->ImageWnd();
}

void CMainFrame::ShowImageMode() {
    m_bImageMode = true;
    if (m_pImgContainer && m_pImgContainer->GetMode() != 1)
        m_pImgContainer->ShowImageWindow();
}

void CMainFrame::ShowListMode() {
    if (GetPictureCount() == 0)
        return;
    m_bImageMode = false;
    if (m_pImgContainer->GetMode() != 2)
        m_pImgContainer->ShowListWindow();
    else
        m_pImgContainer->RefreshList();
}

void CMainFrame::ResetWorkRect() {
    const CImageBuffer& img = ImageWnd()->Image();
    SetWorkRect(0, 0, img.Width(), img.Height());
}

void CMainFrame::OnOpen() {
    std::string file = PlatformUi().GetOpenFileName(" All Support files(*.*)|*.*|", DialogFolder());
    if (file.empty())
        return;
    CWaitCursor wait;
    m_bWheelZoom = false;
    m_bZoomReady = true;
    m_nDisplayMode = 0;
    m_bRotated = false;
    ImageWnd()->OpenImage(file);
    // The left pane walks the opened file's folder from now on.
    if (!SameFolder(FolderPartOf(file), m_pTreeContainer->m_strCurrentFolder))
        m_pTreeContainer->ShowFolder(FolderPartOf(file));
    m_pTreeContainer->m_strCurrentFile = file;
    ImageWnd()->Repaint();
    if (m_bImageLoaded)
        ResetWorkRect();
    m_pTreeContainer->UpdateFileInfo(file);
    ShowPosition();
}

void CMainFrame::OnSaveAs() {
    if (!m_bImageLoaded)
        return;
    CWaitCursor wait;
    std::string target = PlatformUi().GetSaveFileName(
        "JPG(*.jpg)|*.jpg|BMP(*.bmp)|*.bmp|PNG(*.png)|*.png|", DialogFolder());
    if (target.empty())
        return;
    std::string name = FileNameOf(target);
    std::size_t dot = name.find_last_of('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    int format = ext == "bmp"   ? kFormatBmp
                 : ext == "jpg" ? kFormatJpeg
                 : ext == "png" ? kFormatPng
                                : 0;
    const CImageBuffer& img = ImageWnd()->Image();
    if (format == 0)
        PlatformUi().MessageBox("无法保存为该文件格式");
    else if (!SaveImageFile(img, 0, 0, img.Width(), img.Height(), target, format))
        PlatformUi().MessageBox("创建文件失败");
}

void CMainFrame::OnZoomIn() {
    if (!m_bImageLoaded || !m_bZoomReady)
        return;
    m_bZoomReady = false;
    m_fPrevZoom = m_fZoom;
    m_bWheelZoom = true;
    m_fZoom = ImageWnd()->ZoomIn();
    ShowZoomText();
    m_bZoomReady = true;
}

void CMainFrame::OnZoomOut() {
    if (!m_bImageLoaded || !m_bZoomReady)
        return;
    m_bZoomReady = false;
    m_fPrevZoom = m_fZoom;
    m_bWheelZoom = true;
    // Below the smallest step the list takes over, when asked for and when
    // there is a list to show; otherwise the view stays at the smallest step.
    bool toList = m_bListWhenSmallest && GetPictureCount() > 0;
    if (ImageWnd()->ZoomOut(toList) == EZoomOutResult::kLeftForList) {
        ShowListMode(); // the zoom commands wait for the next picture
        return;
    }
    m_fZoom = ImageWnd()->View().GetZoom();
    ShowZoomText();
    m_bZoomReady = true;
}

void CMainFrame::OnZoomFit() {
    SetZoom(ImageWnd()->FitToWindow());
}

void CMainFrame::OnActualSize() {
    if (!m_bImageLoaded)
        return;
    SetZoom(ImageWnd()->ActualSize());
    m_bRotated = false;
}

void CMainFrame::OnReload() {
    std::string file = m_pTreeContainer->m_strCurrentFile;
    if (file.empty())
        file = ImageWnd()->CurrentFile();
    if (file.empty())
        return; // the shown picture's file was deleted or moved away
    m_bRotated = false;
    ImageWnd()->OpenImage(file);
    // The file may have changed on disk: its size, dimensions and time too.
    m_pTreeContainer->UpdateFileInfo(file);
    ShowPosition();
}

void CMainFrame::OnNextPrevious(bool next) {
    m_bWheelZoom = false;
    const int cur = m_pTreeContainer->FindFolderImage(m_pTreeContainer->m_strCurrentFile);
    // No wrap: past the last picture nothing happens, before the first the
    // first is opened again.
    std::optional<int> index = StepTarget(GetPictureCount(), cur, next);
    if (!index)
        return;
    m_nCurIndex = *index;
    // After a step back the picture before is decoded ahead, else the next one.
    ImageWnd()->m_bSteppedBack = !next;
    m_pTreeContainer->OpenPicture(GetPicturePath(*index));
    ImageWnd()->m_bSteppedBack = false;
}

void CMainFrame::OnToggleOverview() {
    m_bShowOverview = !m_bShowOverview;
    ImageWnd()->Repaint();
    if (ImageWnd()->m_bStripShown)
        RefreshStrip(kStripKeep);
    PaintStatusLabels();
}

void CMainFrame::OnExportGps() {
    CWaitCursor wait;
    ExportGpsInfo(m_pTreeContainer->m_strCurrentFolder, m_pTreeContainer->m_arrFolderImages);
}

void CMainFrame::OnAbout() {
    CAboutDlg dlg(this);
    dlg.exec();
}

void CMainFrame::OnResetSystem() {
    std::string folder = GetProgramFolder();
    DeleteStoredSettings(folder);
    if (m_pTreeContainer)
        m_pTreeContainer->ResetLibrary();
}

void CMainFrame::PaintStatusLabels() {
    if (m_wndStatusBar)
        m_wndStatusBar->PaintToggleLabels(m_bShowStrip, m_bShowOverview);
}

void CMainFrame::SetStatusText(int pane, const std::string& text) {
    if (m_wndStatusBar)
        m_wndStatusBar->SetPaneText(pane, Q(text));
}

std::string CMainFrame::GetStatusText(int pane) const {
    return m_wndStatusBar ? S(m_wndStatusBar->PaneText(pane)) : std::string();
}

void CMainFrame::SetTitleSuffix(const std::string& text) {
    setWindowTitle(Q(m_strTitle + text));
}

void CMainFrame::ShowPosition() {
    int count = GetPictureCount();
    if (count == 0 || !m_pTreeContainer)
        return;
    int cur = m_pTreeContainer->FindFolderImage(m_pTreeContainer->m_strCurrentFile);
    SetStatusText(1, std::to_string(cur + 1) + "/" + std::to_string(count));
}

void CMainFrame::ShowZoomText() {
    SetStatusText(2, S(QString::asprintf("%2.0f%%", double(m_fZoom) * 100.0)));
}

void CMainFrame::SetZoom(float zoom) {
    m_fZoom = m_fPrevZoom = zoom;
    ShowZoomText();
}

std::string CMainFrame::DialogFolder() const {
    if (m_bImageLoaded && !ImageWnd()->CurrentFile().empty())
        return FolderPartOf(ImageWnd()->CurrentFile());
    if (m_pTreeContainer && DirectoryExists(m_pTreeContainer->m_strCurrentFolder))
        return m_pTreeContainer->m_strCurrentFolder;
    return PathBytes(QDir::homePath()); // never the working directory
}

int CMainFrame::GetPictureCount() const {
    return m_pTreeContainer ? static_cast<int>(m_pTreeContainer->m_arrFolderImages.size()) : 0;
}

std::string CMainFrame::GetPicturePath(int i) const {
    if (i < 0 || i >= GetPictureCount())
        return {};
    return m_pTreeContainer->m_arrFolderImages[static_cast<std::size_t>(i)];
}

bool CMainFrame::DeleteImageFile(const std::string& path) {
    if (DeletePictureFile(path, m_settings.mDelete != 0) != EDeleteResult::kDeleted)
        return false;
    LeftPaneFileGone(this, path);
    return true;
}

void CMainFrame::ClearListPane() {
    if (m_pImgContainer)
        m_pImgContainer->ClearListPane();
}

void CMainFrame::ShowNoPictures() {
    if (m_pImgContainer)
        m_pImgContainer->ShowNoPictures();
}

void CMainFrame::FillStrip(int first, int end) {
    m_astrStrip.clear();
    for (int i : ::FillStrip(first, end, GetPictureCount()))
        m_astrStrip.push_back(GetPicturePath(i));
    ImageWnd()->m_astrStripFiles = m_astrStrip;
}

namespace {
// Index in the picture list of the path in the strip's first slot; -1 when
// the strip is empty or that picture is no longer listed.
int StripFirstIndex(const CMainFrame& f) {
    if (f.m_astrStrip.empty() || !f.GetTreeContainer())
        return -1;
    return f.GetTreeContainer()->FindFolderImage(f.m_astrStrip.front());
}
} // namespace

void CMainFrame::RecomputeStrip() {
    const int cur = m_pTreeContainer->FindFolderImage(m_pTreeContainer->m_strCurrentFile);
    std::optional<StripRange> r =
        ::RecomputeStrip(GetPictureCount(), std::max(cur, 0), ImageWnd()->GetStripSlotCount(),
                         StripFirstIndex(*this), m_nStripMode);
    if (!r)
        return;
    ImageWnd()->m_nFirstSlot = r->first;
    FillStrip(r->first, r->end);
}

void CMainFrame::StripStepBack() {
    std::optional<StripRange> r =
        ::StripStepBack(GetPictureCount(), ImageWnd()->GetStripSlotCount(), StripFirstIndex(*this));
    if (!r)
        return;
    ImageWnd()->m_nFirstSlot = r->first;
    FillStrip(r->first, r->end);
}

void CMainFrame::StripStepForward() {
    std::optional<StripRange> r = ::StripStepForward(
        GetPictureCount(), ImageWnd()->GetStripSlotCount(), StripFirstIndex(*this));
    if (!r)
        return;
    ImageWnd()->m_nFirstSlot = r->first;
    FillStrip(r->first, r->end);
}

void CMainFrame::LoadStripSlots() {
    CImageWnd* wnd = ImageWnd();
    wnd->ClearStrip();
    const std::string folder = GetThumbFolder();
    for (std::size_t i = 0; i < m_astrStrip.size(); ++i)
        wnd->LoadStripSlot(static_cast<int>(i), folder + GetThumbName(m_astrStrip[i]));
    wnd->DrawStripFrame();
    wnd->DrawStrip();
    wnd->DrawStripFrame();
}

void CMainFrame::RefreshStrip(ERefreshStrip how) {
    if (how != kStripAfterPicture && GetPictureCount() <= 1)
        return;
    switch (how) {
    case kStripAfterPicture:
        RecomputeStrip();
        break;
    case kStripKeep:
        break;
    case kStripRecentre:
        m_nStripMode = kStripCentre;
        RecomputeStrip();
        break;
    case kStripEnsure:
        if (m_astrStrip.empty())
            RecomputeStrip();
        break;
    }
    LoadStripSlots();
}

int CMainFrame::LeftPaneWidth() const {
    return m_wndSplitter ? m_wndSplitter->sizes().value(0) : 0;
}

void CMainFrame::HideLeftPane() {
    m_wndSplitter->setSizes({0, m_wndSplitter->width()});
    m_pTreeContainer->hide();
}

void CMainFrame::ShowLeftPane() {
    m_pTreeContainer->show();
    m_wndSplitter->setSizes({m_nLeftPaneWidth, m_wndSplitter->width() - m_nLeftPaneWidth});
}

void CMainFrame::ToggleLeftPane() {
    if (m_bLeftPaneShown) {
        // Remember the width to come back to; a pane that is already out of
        // sight (full screen) keeps the width it had before.
        if (int w = LeftPaneWidth(); w > 0)
            m_nLeftPaneWidth = w;
        m_wndSplitter->setSizes({0, m_wndSplitter->width()});
        m_bLeftPaneShown = false;
    } else {
        m_bLeftPaneShown = true;
        m_wndSplitter->setSizes({m_nLeftPaneWidth, m_wndSplitter->width() - m_nLeftPaneWidth});
    }
}

void CMainFrame::EnsureLeftPaneShown() {
    if (!m_bLeftPaneShown)
        ToggleLeftPane();
}

void CMainFrame::ToggleFullScreen() {
    if (!m_bFullScreen) {
        m_bToolBarWasVisible = !m_wndToolBar->isHidden();
        m_bStatusBarWasVisible = !m_wndStatusBar->isHidden();
        m_menuSaved = menuBar();
        m_menuSaved->hide();
        HideLeftPane();
        showFullScreen();
        m_wndToolBar->hide();
        m_wndStatusBar->hide();
        m_bFullScreen = true;
    } else {
        showMaximized();
        if (m_menuSaved)
            m_menuSaved->show();
        m_menuSaved = nullptr;
        m_wndToolBar->setVisible(m_bToolBarWasVisible);
        m_wndStatusBar->setVisible(m_bStatusBarWasVisible);
        ShowLeftPane();
        m_bFullScreen = false;
    }
}

bool CMainFrame::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        // The fly-by prompt of a menu item or button goes into pane 0.
        QString tip = static_cast<QStatusTipEvent*>(e)->tip();
        SetStatusText(0, tip.isEmpty() ? "就绪" : S(tip));
        return true;
    }
    return QMainWindow::event(e);
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    // Closing never asks anything: no document is ever saved.
    e->accept();
}
