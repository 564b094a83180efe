#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/KelvraApp.h"
#include "app/MainFrame.h"
#include "app/StatusBar.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "image/Selection.h"
#include "library/TreeContainerWnd.h"
#include "platform/FileOps.h"
#include "thumbs/ThumbCache.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

// Writes a w x h BMP whose pixel (x, y from the top) is a colour of its own.
std::string GradientPicture(const std::string& path, int w, int h, COLORREF base = RGB(0, 0, 0)) {
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

} // namespace

class ImageWndTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramHome> home;
    std::unique_ptr<CScriptedUi> ui;
    std::unique_ptr<CKelvraApp> app;
    CMainFrame* f = nullptr;
    CImageWnd* wnd = nullptr;
    QTemporaryDir pics;

    std::string Pic(const char* name) { return pics.path().toStdString() + "/" + name; }
    QAction* Action(int id) {
        for (QAction* a : f->findChildren<QAction*>())
            if (a->data().toInt() == id && a->parent() == f)
                return a;
        return nullptr;
    }
    void Open(const std::string& path) {
        ui->files.push_back(path);
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));
    }

private slots:
    void init() {
        home = std::make_unique<ProgramHome>();
        app = StartApp(1200, 800);
        QVERIFY(app);
        ui = std::make_unique<CScriptedUi>(); // after the app, so it replaces the real one
        f = app->MainFrame();
        wnd = f->GetImgContainer()->ImageWnd();
        GradientPicture(Pic("a_big.bmp"), 2400, 1800);
        GradientPicture(Pic("b_small.bmp"), 300, 200, RGB(0, 0, 100));
        GradientPicture(Pic("c_wide.bmp"), 3000, 100);
    }
    void cleanup() {
        ui.reset();
        app.reset();
        home.reset();
        QDir(pics.path()).removeRecursively();
        QDir().mkpath(pics.path());
    }

    void openShowsTheFittedPictureCentredWithStatusTexts() {
        Open(Pic("a_big.bmp"));
        QVERIFY(wnd->IsLoaded());
        QCOMPARE(wnd->geometry(), f->GetImgContainer()->rect());
        const int cw = wnd->width(), ch = wnd->height();
        float fit = std::min(float(cw) / 2400, float(ch) / 1800);
        QVERIFY(std::abs(wnd->View().GetZoom() - fit) < 1e-4);
        // The whole picture shows, centred, with margins in the background colour.
        ViewRect r = wnd->View().GetDestRect();
        QVERIFY(std::abs((r.left + r.right) - cw) <= 1);
        QVERIFY(std::abs((r.top + r.bottom) - ch) <= 1);
        QVERIFY(r.Width() <= cw && r.Height() <= ch);
        const QImage& img = wnd->Backing();
        if (r.left > 0)
            QCOMPARE(QColor(img.pixel(0, ch / 2)), QColor(255, 255, 255));
        QVERIFY(QColor(img.pixel(cw / 2, ch / 2)) != QColor(255, 255, 255));
        QCOMPARE(f->GetStatusText(1), std::string("1/3"));
        QCOMPARE(QString::fromStdString(f->GetStatusText(2)),
                 QString::asprintf("%2.0f%%", double(fit) * 100));
        QVERIFY(QString::fromStdString(f->GetStatusText(3)).startsWith("解码:"));
        QVERIFY(f->m_bImageLoaded);
        QCOMPARE(f->m_rcWork, QRect(QPoint(0, 0), QPoint(2400, 1800)));
        QVERIFY(ui->waitCount > 0);
        QCOMPARE(ui->waitDepth, 0);
        QCOMPARE(ui->filters.back(), std::string(" All Support files(*.*)|*.*|"));
    }

    void aFailedLoadShowsTheFailureTextAndDisablesPictureCommands() {
        WriteFileAtomically(Pic("broken.jpg"), "not a jpeg");
        Open(Pic("broken.jpg"));
        QVERIFY(wnd->LoadFailed());
        QVERIFY(!f->m_bImageLoaded);
        QCOMPARE(wnd->accessibleDescription(), QString("加载文件失败!"));
        f->UpdateCommandUi();
        QVERIFY(!Action(ID_ZOOM_IN)->isEnabled());
        QVERIFY(!f->OnCommand(ID_ZOOM_FIT));
        // The text is drawn in its colour, below the middle of the window.
        const QImage& img = wnd->Backing();
        bool found = false;
        for (int y = img.height() / 2 - 10; y < img.height() / 2 + 30 && !found; ++y)
            for (int x = 0; x < img.width() && !found; ++x) {
                QColor c(img.pixel(x, y));
                found = c.blue() > c.red() + 60 && c.green() > c.red() + 30;
            }
        QVERIFY(found);
    }

    void theLadderAndItsEnableRules() {
        Open(Pic("a_big.bmp"));
        QVERIFY(f->OnCommand(ID_ZOOM_FIT)); // fit step
        QVERIFY(Action(ID_ZOOM_OUT)->isEnabled());
        for (int i = 0; i < 8; ++i)
            f->OnCommand(ID_ZOOM_OUT); // down to step 1
        QCOMPARE(f->m_fZoom, wnd->View().GetZoomStep(1));
        QVERIFY(Action(ID_ZOOM_OUT)->isEnabled()); // below step 1 lies the list
        QVERIFY(f->OnCommand(ID_ZOOM_OUT));        // the option is off: it stays at step 1
        QCOMPARE(f->m_fZoom, wnd->View().GetZoomStep(1));
        // Zoom out below the smallest step with the list option on but... the
        // list is not empty here, so the right pane switches to the list.
        f->m_bListWhenSmallest = true;
        f->OnCommand(ID_ZOOM_OUT);
        QCOMPARE(f->GetImgContainer()->GetMode(), 2);
        QVERIFY(!f->m_bImageMode);
        // Opening a picture brings the picture back and unblocks zooming.
        Open(Pic("a_big.bmp"));
        QCOMPARE(f->GetImgContainer()->GetMode(), 1);
        QVERIFY(f->m_bZoomReady);
        for (int i = 0; i < 30; ++i)
            f->OnCommand(ID_ZOOM_IN);
        QCOMPARE(f->m_fZoom, 20.0f);
        QVERIFY(!Action(ID_ZOOM_IN)->isEnabled());
        QVERIFY(f->m_bWheelZoom); // zoom commands put the wheel into zoom mode
        QVERIFY(f->OnCommand(ID_ZOOM_ACTUAL));
        QCOMPARE(f->m_fZoom, 1.0f);
        QCOMPARE(QString::fromStdString(f->GetStatusText(2)), QString("100%"));
    }

    void zoomOutWithTheListOptionAndAnEmptyListStaysAtTheSmallestStep() {
        Open(Pic("a_big.bmp"));
        f->GetTreeContainer()->m_arrFolderImages.clear();
        f->m_bListWhenSmallest = true;
        for (int i = 0; i < 12; ++i)
            f->OnCommand(ID_ZOOM_OUT);
        QCOMPARE(f->GetImgContainer()->GetMode(), 1);
        QCOMPARE(f->m_fZoom, wnd->View().GetZoomStep(1));
        QVERIFY(f->m_bZoomReady);
        QVERIFY(f->OnCommand(ID_ZOOM_IN));
    }

    void dragPansAndStopsAtTheLastPixel() {
        Open(Pic("a_big.bmp"));
        f->OnCommand(ID_ZOOM_ACTUAL);
        QVERIFY(wnd->View().IsScrollable());
        ViewPoint before = wnd->View().GetScroll();
        QPoint p(wnd->width() / 2, wnd->height() / 2);
        QTest::mousePress(wnd, Qt::LeftButton, {}, p);
        QTest::mouseMove(wnd, p + QPoint(-40, 30));
        ViewPoint after = wnd->View().GetScroll();
        QCOMPARE(after.x, before.x + 40); // the picture follows the mouse
        QCOMPARE(after.y, before.y + 30);
        QCOMPARE(wnd->cursor().shape(), Qt::ClosedHandCursor);
        for (int i = 0; i < 60; ++i)
            QTest::mouseMove(wnd, p + QPoint(-40 - 50 * i, 30 + 50 * i));
        QTest::mouseRelease(wnd, Qt::LeftButton, {}, p + QPoint(-40 - 50 * 59, 30 + 50 * 59));
        QCOMPARE(wnd->View().GetScroll().x, 2400 - 1);
        QCOMPARE(wnd->View().GetScroll().y, 1800 - 1);
    }

    void aDragAboveZoom3IsSmoothedWhenTheBlurIsChosen() {
        // A board of 8-pixel black and white squares: hard edges to soften.
        CImageBuffer board;
        board.Allocate(2000, 300);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 2000; ++x) {
                std::uint8_t v = ((x / 8 + y / 8) % 2) ? 255 : 0;
                board.SetPixelRgb(x, y, v, v, v);
            }
        SaveWholeImage(board, Pic("d_board.bmp"));
        Open(Pic("d_board.bmp"));
        f->OnCommand(ID_ZOOM_ACTUAL);
        for (int i = 0; i < 3; ++i)
            f->OnCommand(ID_ZOOM_IN); // 4.0
        QCOMPARE(f->m_fZoom, 4.0f);
        auto drag = [&] {
            QPoint p(wnd->width() / 2, wnd->height() / 2);
            QTest::mousePress(wnd, Qt::LeftButton, {}, p);
            QTest::mouseMove(wnd, p + QPoint(-13, 0));
            QTest::mouseRelease(wnd, Qt::LeftButton, {}, p + QPoint(-13, 0));
        };
        // Replicated 4 x 4 blocks: neighbours inside a block are equal.
        auto blockEdges = [&] {
            const QImage& img = wnd->Backing();
            int y = wnd->View().GetDestRect().top + 100, changes = 0;
            for (int x = 1; x < 400; ++x)
                changes += img.pixel(x, y) != img.pixel(x - 1, y);
            return changes;
        };
        drag();
        int sharp = blockEdges();
        QVERIFY(sharp > 0 && sharp <= 400 / 32 + 1); // one change per square
        wnd->m_nSmoothing = 1;
        drag();
        QVERIFY(blockEdges() > 2 * sharp); // the blur softens every block edge
    }

    void arrowKeysStepByTheZoom() {
        Open(Pic("a_big.bmp"));
        f->OnCommand(ID_ZOOM_ACTUAL);
        f->OnCommand(ID_ZOOM_IN); // 2.0
        ViewPoint s = wnd->View().GetScroll();
        QTest::keyClick(wnd, Qt::Key_Right);
        QCOMPARE(wnd->View().GetScroll().x, s.x + 8); // trunc(2 x 4)
        QTest::keyClick(wnd, Qt::Key_Up);
        QCOMPARE(wnd->View().GetScroll().y, s.y + 8);
        Open(Pic("b_small.bmp")); // fits: arrows do nothing
        ViewPoint t = wnd->View().GetScroll();
        QTest::keyClick(wnd, Qt::Key_Left);
        QCOMPARE(wnd->View().GetScroll(), t);
    }

    void wheelStepsAfterALoadAndZoomsAfterAZoomCommand() {
        Open(Pic("a_big.bmp"));
        QVERIFY(!f->m_bWheelZoom);
        QWheelEvent towards(QPointF(10, 10), wnd->mapToGlobal(QPointF(10, 10)), QPoint(),
                            QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                            false);
        QApplication::sendEvent(wnd, &towards);
        QCOMPARE(f->GetTreeContainer()->m_strCurrentFile, Pic("b_small.bmp"));
        QCOMPARE(f->GetStatusText(1), std::string("2/3"));
        f->OnCommand(ID_ZOOM_IN);
        float z = f->m_fZoom;
        QApplication::sendEvent(wnd, &towards);
        QVERIFY(f->m_fZoom > z);
        QCOMPARE(f->GetTreeContainer()->m_strCurrentFile, Pic("b_small.bmp"));
    }

    void nextAndPreviousNeverWrapAndFollowTheCurrentFile() {
        Open(Pic("b_small.bmp")); // the second of three
        QVERIFY(Action(ID_PREV_PICTURE)->isEnabled());
        QVERIFY(Action(ID_NEXT_PICTURE)->isEnabled());
        f->OnCommand(ID_NEXT_PICTURE);
        QCOMPARE(wnd->CurrentFile(), Pic("c_wide.bmp"));
        f->UpdateCommandUi();
        QVERIFY(!Action(ID_NEXT_PICTURE)->isEnabled());
        QVERIFY(!f->OnCommand(ID_NEXT_PICTURE));
        f->OnCommand(ID_PREV_PICTURE);
        f->OnCommand(ID_PREV_PICTURE);
        QCOMPARE(wnd->CurrentFile(), Pic("a_big.bmp"));
        f->UpdateCommandUi();
        QVERIFY(!Action(ID_PREV_PICTURE)->isEnabled());
        // With one picture in the list, neither does anything.
        f->GetTreeContainer()->m_arrFolderImages = {Pic("a_big.bmp")};
        f->UpdateCommandUi();
        QVERIFY(!Action(ID_NEXT_PICTURE)->isEnabled());
    }

    void overviewPanelCloseAndPopup() {
        Open(Pic("a_big.bmp"));
        f->OnCommand(ID_ZOOM_ACTUAL);
        COverview& ov = wnd->Overview();
        QVERIFY(ov.IsShown(wnd->View()));
        ViewRect close = ov.CloseRect();
        QCOMPARE(ov.GetPosition(), (ViewPoint{wnd->width() - 100, wnd->height() - 166}));
        // The caption band is painted in its colour.
        ViewRect cap = ov.CaptionRect();
        QCOMPARE(QColor(wnd->Backing().pixel(cap.left + 3, cap.top + 3)), QColor(0x3C, 0x3C, 0x64));
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(close.left + 5, close.top + 5));
        QVERIFY(!f->m_bShowOverview);
        QVERIFY(!f->StatusBar()->Toggle(CStatusBar::kOverviewPane)->IsOn());
        // With the overview off, a right click draws the preview at the point and
        // the next left click inside it scrolls there.
        ViewPoint s = wnd->View().GetScroll();
        QTest::mouseClick(wnd, Qt::RightButton, {}, QPoint(50, 50));
        QVERIFY(wnd->m_bRightArmed);
        ViewRect pop = ov.PopupRect();
        QVERIFY(!pop.IsEmpty());
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(pop.left + 2, pop.top + 2));
        QVERIFY(!wnd->m_bRightArmed);
        QVERIFY(wnd->View().GetScroll() != s);
        f->OnCommand(ID_VIEW_OVERVIEW);
        QVERIFY(f->m_bShowOverview);
    }

    void fullScreenRowAndExitButton() {
        Open(Pic("a_big.bmp"));
        f->OnCommand(ID_VIEW_FULL_SCREEN);
        QVERIFY(f->m_bFullScreen);
        QTest::qWait(20);
        // The exit button ends full screen.
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(wnd->width() - 5, 5));
        QVERIFY(!f->m_bFullScreen);
        f->OnCommand(ID_VIEW_FULL_SCREEN);
        f->OnCommand(ID_VIEW_STRIP); // the row shows with the strip
        QTest::qWait(20);
        float z = f->m_fZoom;
        ViewRect zoomIn = wnd->Row().buttons[0];
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(zoomIn.left + 12, zoomIn.top + 12));
        QVERIFY(f->m_fZoom > z);
        ViewRect next = wnd->Row().buttons[4];
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(next.left + 12, next.top + 12));
        QCOMPARE(wnd->CurrentFile(), Pic("b_small.bmp"));
        f->OnCommand(ID_VIEW_FULL_SCREEN);
    }

    void doubleClickGoesToTheListAndKeysReachTheFrame() {
        Open(Pic("b_small.bmp"));
        QTest::keyClick(wnd, Qt::Key_Space);
        QVERIFY(!f->m_bLeftPaneShown);
        QTest::keyClick(wnd, Qt::Key_Space);
        QVERIFY(f->m_bLeftPaneShown);
        QTest::mouseDClick(wnd, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(f->GetImgContainer()->GetMode(), 2);
        QVERIFY(!f->m_bImageMode);
    }

    void contextMenuHasItsItemsWithLaterOnesGreyed() {
        Open(Pic("b_small.bmp"));
        QMenu* m = wnd->ContextMenu();
        QStringList texts;
        for (QAction* a : m->actions())
            texts << a->text();
        QCOMPARE(texts, (QStringList{"放大 ", "缩小  ", "适合    ", "删除", "保存为", "实际尺寸",
                                     "", "设置壁纸 "}));
        emit m->aboutToShow();
        QVERIFY(m->actions()[0]->isEnabled());
        QVERIFY(m->actions()[3]->isEnabled()); // deleting the shown picture
        QVERIFY(m->actions()[4]->isEnabled());
    }

    void saveAsConvertsByExtensionAndReportsFailures() {
        Open(Pic("b_small.bmp"));
        ui->files.push_back(Pic("out.JPG"));
        QVERIFY(f->OnCommand(ID_FILE_SAVE_AS));
        CImageBuffer back;
        QVERIFY(LoadImageFile(Pic("out.JPG"), back));
        QCOMPARE(back.Width(), 300);
        ui->files.push_back(Pic("out.png"));
        f->OnCommand(ID_FILE_SAVE_BUTTON);
        QVERIFY(FileExists(Pic("out.png")));
        ui->files.push_back(Pic("out.gif"));
        f->OnCommand(ID_FILE_SAVE_AS);
        QCOMPARE(ui->shown.back().text, std::string("无法保存为该文件格式"));
        QVERIFY(!FileExists(Pic("out.gif")));
        ui->files.push_back(Pic("no/such/folder/x.png"));
        f->OnCommand(ID_FILE_SAVE_AS);
        QCOMPARE(ui->shown.back().text, std::string("创建文件失败"));
        QCOMPARE(ui->filters.back(),
                 std::string("JPG(*.jpg)|*.jpg|BMP(*.bmp)|*.bmp|PNG(*.png)|*.png|"));
    }

    void slideShowShowsEachPictureAfterTheDelay() {
        Open(Pic("a_big.bmp"));
        QElapsedTimer t;
        std::vector<std::pair<QString, qint64>> seen;
        connect(f->GetImgContainer(), &CImgContainerWnd::slideShown, this,
                [&](const QString& path) {
                    seen.push_back({path, t.elapsed()});
                });
        t.start();
        QVERIFY(f->OnCommand(ID_SLIDE_SHOW));
        QVERIFY(f->GetImgContainer()->IsSlideRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!f->GetImgContainer()->IsSlideRunning(), 6000);
        QCOMPARE(int(seen.size()), 3);
        const char* names[] = {"a_big.bmp", "b_small.bmp", "c_wide.bmp"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(seen[i].first.toStdString(), Pic(names[i]));
            // About 1, 2 and 3 seconds after F6 (decoding a picture takes a little).
            QVERIFY2(seen[i].second >= 1000 * (i + 1) - 20 && seen[i].second < 1000 * (i + 1) + 600,
                     qPrintable(QString::number(seen[i].second)));
        }
        QCOMPARE(wnd->CurrentFile(), Pic("c_wide.bmp"));
        QCOMPARE(f->GetTreeContainer()->m_strCurrentFile, Pic("c_wide.bmp"));
        QCOMPARE(f->GetStatusText(1), std::string("3/3"));
        QVERIFY(f->OnCommand(ID_SLIDE_SHOW)); // a new show starts after the end
        QVERIFY(f->GetImgContainer()->IsSlideRunning());
        f->OnCommand(ID_SLIDE_SHOW); // and F6 stops it
        QVERIFY(!f->GetImgContainer()->IsSlideRunning());
    }

    void slideShowStopsWhenThePanelOpensAPictureAndSaysWhenEmpty() {
        Open(Pic("a_big.bmp"));
        f->OnCommand(ID_SLIDE_SHOW);
        QTest::qWait(300);
        f->OnCommand(ID_NEXT_PICTURE); // the left pane opens a picture: the show ends
        QTRY_VERIFY_WITH_TIMEOUT(!f->GetImgContainer()->IsSlideRunning(), 3000);
        QCOMPARE(wnd->CurrentFile(), Pic("a_big.bmp")); // the slide whose pause ran
        f->m_strCurFolder = pics.path().toStdString() + "/empty/";
        QDir().mkpath(QString::fromStdString(f->m_strCurFolder));
        f->OnCommand(ID_SLIDE_SHOW);
        QTRY_VERIFY_WITH_TIMEOUT(!ui->shown.empty(), 3000);
        QCOMPARE(ui->shown.back().text, std::string("当前文件夹中没有图片"));
        QTRY_VERIFY(!f->GetImgContainer()->IsSlideRunning());
    }

    void theDecodeTimePaneWidthsAndChoosersFollowTheShownPicture() {
        struct : QObject {
            std::function<void()> onPaint;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint)
                    onPaint();
                return false;
            }
        } probe;
        bool thumbWhenTimed = true;
        probe.onPaint = [&] { thumbWhenTimed = ThumbExists(Pic("b_small.bmp")); };
        f->StatusBar()->Pane(3)->installEventFilter(&probe);
        Open(Pic("b_small.bmp"));
        QVERIFY(!thumbWhenTimed && ThumbExists(Pic("b_small.bmp"))); // timed before the thumbnail
        f->GetTreeContainer()->ShowFolder("/");                      // the picture stays shown
        QVERIFY(f->OnCommand(ID_FILE_SAVE_AS));
        QCOMPARE(ui->startFolders.back(), pics.path().toStdString());
        f->SetStatusText(1, "141/150");
        CStatusPane* pos = f->StatusBar()->Pane(1);
        QVERIFY(pos->width() >=
                pos->fontMetrics().horizontalAdvance("141/150") + 2 * pos->frameWidth());
    }

    void aViewBlockThatCannotBeHadIsToldOncePerFailure() {
        for (std::size_t told : {1, 2}) {
            wnd->resize(40000, 20000); // 3.2 GB
            wnd->Repaint();
            QTest::qWait(10);
            QCOMPARE(ui->shown.size(), told);
            QCOMPARE(ui->shown.back().text, std::string("系统分配内存失败"));
            wnd->resize(400, 300);
        }
    }

    // Edits and the rubber-band selection ----------------------------------

    void eachEditChangesThePictureOnTheScreen() {
        const QColor before(51, 63, 160); // picture pixel (60, 50) of b_small
        Open(Pic("b_small.bmp"));
        const QRgb preview = wnd->Overview().PreviewPixel(10, 10);
        // With the automatic save on, flips and turns write the picture as
        // it is shown to "b_smallback.jpg".
        f->m_settings.mSave = 1;
        const QList<int> saving = {ID_ADJ_FLIP_LR, ID_ADJ_FLIP_TB, ID_ROTATE_RIGHT,
                                   ID_ROTATE_RIGHT_HIDDEN, ID_ROTATE_LEFT};
        for (int id : {ID_ADJ_INVERT, ID_ADJ_GREY, ID_ADJ_SMOOTH, ID_ADJ_BLACK_WHITE, ID_ADJ_LINES,
                       ID_ADJ_FLIP_LR, ID_ADJ_FLIP_TB, ID_ROTATE_RIGHT, ID_ROTATE_RIGHT_HIDDEN,
                       ID_ROTATE_LEFT}) {
            Open(Pic("b_small.bmp"));
            QCOMPARE(Shown(), before);
            QVERIFY2(f->OnCommand(id) && Shown() != before, QByteArray::number(id));
            CImageBuffer saved; // stays empty when nothing was saved
            LoadImageFile(Pic("b_smallback.jpg"), saved);
            QCOMPARE(saved.Width(), saving.contains(id) ? wnd->Image().Width() : 0);
            DeleteFileAt(Pic("b_smallback.jpg"));
        }
        // A turn greys the edits until the picture is shown at actual size.
        QVERIFY(f->m_bRotated && !f->QueryCommand(ID_ADJ_INVERT).enabled);
        QCOMPARE(f->m_rcWork, QRect(QPoint(0, 0), QPoint(200, 300)));
        QVERIFY(QDir().mkpath(QString::fromStdString(Pic("b_smallback.jpg/x")))); // not replaceable
        f->OnCommand(ID_ROTATE_LEFT);
        QCOMPARE(ui->shown.at(0).text, std::string("创建文件失败"));
        f->OnCommand(ID_ZOOM_ACTUAL);
        // At actual size each edit starts again from the file; below it they add up.
        f->OnCommand(ID_ADJ_INVERT);
        f->OnCommand(ID_ADJ_INVERT);
        QCOMPARE(Shown(), QColor(204, 192, 95));
        QCOMPARE(wnd->Overview().PreviewPixel(10, 10), 0xFF000000 | ~preview);
        f->OnCommand(ID_ZOOM_OUT);
        f->OnCommand(ID_ADJ_INVERT);
        QCOMPARE(wnd->Image().GetPixelRgb(60, 149), (RgbPixel{51, 63, 160}));
    }

    void rubberBandItsMenuAndItsCommands() {
        Open(Pic("a_big.bmp"));
        const ViewRect d = wnd->View().GetDestRect();
        // Dragged up and left past the picture's edge, then replaced by each
        // next drag.
        Drag(QPoint(d.left + 200, d.top + 200), QPoint(d.left - 10, d.top + 130));
        QCOMPARE(wnd->Selection(), (ViewRect{d.left, d.top + 130, d.left + 200, d.top + 200}));
        const ViewRect part = SelectionToPicture(
            {d.left + 150, d.top + 130, d.left + 200, d.top + 200}, d, {2400, 1800});
        // A right click offers the selection menu. "保存选区" writes a JPEG
        // for a name ending in upper-case JPG and refuses other extensions;
        // "复制选区" copies the pixels (the end-to-end test reads them back).
        ui->files = {Pic("sel.gif"), Pic("sel.JPG")};
        for (int item : {1, 1, 2}) {
            Drag(QPoint(d.left + 200, d.top + 200), QPoint(d.left + 150, d.top + 130));
            FromSelectionMenu(item, QPoint(d.left + 170, d.top + 170));
        }
        QCOMPARE(ui->shown.at(0).text, std::string("无法保存为该文件格式"));
        CImageBuffer saved;
        QVERIFY(!FileExists(Pic("sel.gif")) && LoadImageFile(Pic("sel.JPG"), saved));
        QCOMPARE(QSize(saved.Width(), saved.Height()), QSize(part.Width(), part.Height()));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(part.Width(), part.Height()));
        // A click inside a selection zooms into it; dragging then pans and never selects.
        Drag(QPoint(d.left + 300, d.top + 300), QPoint(d.left + 310, d.top + 310));
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(d.left + 305, d.top + 305));
        QVERIFY(f->m_fZoom > 1.0f && f->m_fZoom == wnd->View().GetZoom() && !wnd->HasSelection());
        Drag(QPoint(300, 300), QPoint(200, 250));
        QVERIFY(!wnd->HasSelection());
        // "放大选区" of the menu bar.
        f->OnCommand(ID_ZOOM_FIT);
        Drag(QPoint(d.left + 300, d.top + 300), QPoint(d.left + 400, d.top + 400));
        QVERIFY(f->OnCommand(ID_ZOOM_SELECTION) && f->m_fZoom > 1.0f);
    }

private:
    // The colour on the screen at picture pixel (60, 50) of a view at zoom 1.0.
    QColor Shown() {
        const ViewRect& r = wnd->View().GetDestRect();
        return wnd->Backing().pixel(r.left + 60, r.top + 50);
    }
    void FromSelectionMenu(int item, QPoint at) {
        QTimer::singleShot(0, [this, item] {
            QCOMPARE(QApplication::activePopupWidget(), wnd->SelectionMenu());
            wnd->SelectionMenu()->actions()[item]->trigger();
            wnd->SelectionMenu()->close();
        });
        QTest::mouseClick(wnd, Qt::RightButton, {}, at);
    }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(wnd, Qt::LeftButton, {}, from);
        QTest::mouseMove(wnd, to);
        QTest::mouseRelease(wnd, Qt::LeftButton, {}, to);
    }
};

QTEST_MAIN(ImageWndTest)
#include "test_imagewnd.moc"
