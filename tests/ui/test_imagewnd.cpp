#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "app/StatusBar.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "image/Selection.h"
#include "library/TreeContainerWnd.h"
#include "platform/FileOps.h"
#include "platform/QtUtil.h"
#include "thumbs/ThumbCache.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTimer>

class ImageWndTest : public QObject, RunningApp {
    Q_OBJECT
    CImageWnd* wnd = nullptr;
    std::vector<std::string> files;

    std::string Pic(const char* name) const { return pics->File(name); }
    bool Enabled(int id) {
        f->UpdateCommandUi();
        for (QAction* a : f->findChildren<QAction*>())
            if (a->data().toInt() == id && a->parent() == f)
                return a->isEnabled();
        return false;
    }
    void Open(const std::string& path) {
        ui->files.push_back(path);
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));
    }
    QColor At(int x, int y) const { return QColor(wnd->Backing().pixel(x, y)); }
    void Click(QPoint p) { QTest::mouseClick(wnd, Qt::LeftButton, {}, p); }
    int Ch() const { return wnd->height(); }
    QPoint Slot(int i) const { return QPoint(15 + 60 * i + 30, Ch() - 33); } // its middle
    int FirstIndex() const { return pane->FindFolderImage(f->m_astrStrip.front()); }

private slots:
    void init() {
        Begin();
        Start();
        wnd = f->GetImgContainer()->ImageWnd();
        MakePicture(Pic("a_big.bmp"), 2400, 1800, RGB(200, 30, 30));
        MakeGradientPicture(Pic("b_small.bmp"), 300, 200, RGB(0, 0, 100));
        MakePicture(Pic("c_wide.bmp"), 3000, 100, RGB(30, 30, 200));
    }
    void cleanup() { End(); }

    void openTheLadderAndTheListOption() {
        Open(Pic("a_big.bmp"));
        QVERIFY(wnd->IsLoaded() && ui->waitCount > 0 && ui->waitDepth == 0);
        // The fitted picture in the middle, the margins in the background colour.
        const ViewRect r = wnd->View().GetDestRect();
        QCOMPARE(At(r.left - 1, wnd->height() / 2), QColor(255, 255, 255));
        QCOMPARE(At(r.left + 1, wnd->height() / 2), QColor(200, 30, 30));
        QCOMPARE(f->GetStatusText(1), std::string("1/3"));
        QCOMPARE(f->GetStatusText(2),
                 QString::asprintf("%2.0f%%", wnd->View().GetZoom() * 100.0).toStdString());
        // Zoom out stays usable at step 1 (below it lies the list): with the
        // option off, or with an empty list, the view stays at step 1 and
        // zooming stays usable; with the option and pictures the list comes.
        const float step1 = wnd->View().GetZoomStep(1);
        for (int i = 0; i < 12; ++i)
            f->OnCommand(ID_ZOOM_OUT);
        QVERIFY(f->m_fZoom == step1 && Enabled(ID_ZOOM_OUT));
        QVERIFY(f->OnCommand(ID_ZOOM_OUT) && f->m_fZoom == step1);
        f->m_bListWhenSmallest = true;
        const auto list = pane->m_arrFolderImages;
        pane->m_arrFolderImages.clear();
        f->OnCommand(ID_ZOOM_OUT);
        QVERIFY(f->GetImgContainer()->GetMode() == 1 && f->m_bZoomReady && f->m_fZoom == step1);
        QVERIFY(Enabled(ID_ZOOM_IN));
        pane->m_arrFolderImages = list;
        f->OnCommand(ID_ZOOM_OUT);
        QVERIFY(f->GetImgContainer()->GetMode() == 2 && !f->m_bImageMode);
        // Next and previous follow the current file and never wrap; next is
        // greyed when the file is not in the list.
        Open(Pic("c_wide.bmp"));
        QVERIFY(!Enabled(ID_NEXT_PICTURE) && !f->OnCommand(ID_NEXT_PICTURE));
        f->OnCommand(ID_PREV_PICTURE);
        QVERIFY(wnd->CurrentFile() == Pic("b_small.bmp") && Enabled(ID_NEXT_PICTURE));
        pane->m_arrFolderImages = {Pic("a_big.bmp")};
        QVERIFY(!Enabled(ID_NEXT_PICTURE));
        // A failed load shows the failure text and greys the picture commands.
        WriteFileAtomically(Pic("broken.jpg"), "not a jpeg");
        Open(Pic("broken.jpg"));
        QVERIFY(wnd->accessibleDescription() == "加载文件失败!" && !Enabled(ID_ZOOM_IN));
    }

    void saveAsConvertsByExtensionAndReportsFailures() {
        Open(Pic("b_small.bmp"));
        // The extension decides, whatever its case; failures have their texts.
        ui->files = {Pic("out.JPG"), Pic("out.gif"), Pic("no/such/folder/x.png")};
        QVERIFY(f->OnCommand(ID_FILE_SAVE_AS));
        CImageBuffer back;
        QVERIFY(LoadImageFile(Pic("out.JPG"), back) && back.Width() == 300);
        f->OnCommand(ID_FILE_SAVE_BUTTON);
        QCOMPARE(ui->shown.back().text, std::string("无法保存为该文件格式"));
        QVERIFY(!FileExists(Pic("out.gif")));
        f->OnCommand(ID_FILE_SAVE_AS);
        QCOMPARE(ui->shown.back().text, std::string("创建文件失败"));
    }

    void slideShowShowsEachPictureOfTheFolder() {
        Open(Pic("a_big.bmp"));
        QStringList seen;
        connect(f->GetImgContainer(), &CImgContainerWnd::slideShown, this,
                [&](const QString& path) { seen << path.section('/', -1); });
        QVERIFY(f->OnCommand(ID_SLIDE_SHOW));
        QTRY_VERIFY_WITH_TIMEOUT(!f->GetImgContainer()->IsSlideRunning(), 6000);
        QCOMPARE(seen, QStringList({"a_big.bmp", "b_small.bmp", "c_wide.bmp"}));
        // The status bar and the caption follow each slide.
        QVERIFY(f->GetStatusText(1) == "3/3" && f->GetStatusText(4) == "c_wide.bmp");
        QCOMPARE(f->GetStatusText(6), std::string("BMP:3000x100x24bit"));
        // A reload shows the file as it is on disk now, in the status bar too.
        MakePicture(Pic("c_wide.bmp"), 40, 30, RGB(1, 2, 3));
        QVERIFY(f->OnCommand(ID_VIEW_RELOAD) && f->GetStatusText(6) == "BMP:40x30x24bit");
        // A folder without pictures says so.
        f->m_strCurFolder = pics->Path() + "empty/";
        QDir().mkpath(QString::fromStdString(f->m_strCurFolder));
        f->OnCommand(ID_SLIDE_SHOW);
        QTRY_VERIFY_WITH_TIMEOUT(!ui->shown.empty(), 3000);
        QCOMPARE(ui->shown.back().text, std::string("当前文件夹中没有图片"));
    }

    void theStripShowsThumbnailsAndOpensItsSlots() {
        // A folder of small pictures, each of its own colour; 0 and 2 are
        // opened, which leaves their cache files, and 2 is current.
        std::filesystem::create_directories(pics->File("strip"));
        for (int i = 0; i < 30; ++i)
            files.push_back(MakePicture(pics->File("strip/" + std::to_string(100 + i) + ".bmp"),
                                        200, 150, RGB(10 * i, 250 - 8 * i, 77)));
        pane->ShowFolder(pics->File("strip/"));
        pane->OpenPicture(files[0]);
        pane->OpenPicture(files[2]);
        QVERIFY(f->OnCommand(ID_VIEW_STRIP) && wnd->m_bStripShown);
        QVERIFY(f->StatusBar()->Toggle(CStatusBar::kStripPane)->IsOn());
        // Near the left end, so the strip starts at 0: picture 0's thumbnail,
        // the frame round slot 2.
        QCOMPARE(At(Slot(0).x(), Slot(0).y()), ToQColor(RGB(0, 250, 77)));
        QCOMPARE(At(15 + 120, Ch() - 64), QColor(0x1C, 0x1C, 0xE4));
        // A slot click opens its picture, laid out above the band; the last
        // full slot steps the strip forward, the first back.
        Click(Slot(3));
        QVERIFY(pane->m_strCurrentFile == files[3] && wnd->CurrentFile() == files[3]);
        const ViewRect r = wnd->View().GetDestRect();
        QVERIFY(std::abs((r.top + r.bottom) - (Ch() - 66)) <= 1);
        QCOMPARE(At(Slot(3).x(), Slot(3).y()), ToQColor(RGB(30, 226, 77)));
        Click(QPoint(wnd->width() - 45, Ch() - 33));
        QCOMPARE(FirstIndex(), 1);
        Click(Slot(0));
        QVERIFY(pane->m_strCurrentFile == files[1] && FirstIndex() == 0);
        // A pan hides the strip; no strip below 30 pixels.
        for (int i = 0; i < 4; ++i)
            f->OnCommand(ID_ZOOM_IN); // 200 x 150 at 5.0 no longer fits
        QVERIFY(wnd->m_bStripShown && wnd->View().IsScrollable());
        QTest::mousePress(wnd, Qt::LeftButton, {}, QPoint(wnd->width() / 2, Ch() / 3));
        QTest::mouseMove(wnd, QPoint(wnd->width() / 2 - 30, Ch() / 3 + 20));
        QTest::mouseRelease(wnd, Qt::LeftButton, {}, QPoint(wnd->width() / 2 - 30, Ch() / 3 + 20));
        QVERIFY(!wnd->m_bStripShown && !f->StatusBar()->Toggle(CStatusBar::kStripPane)->IsOn());
        wnd->resize(29, 300);
        f->OnCommand(ID_VIEW_STRIP);
        QVERIFY(wnd->GetStripSlotCount() == 0 && !wnd->m_bStripShown);
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
        QCOMPARE(ui->startFolders.back() + "/", pics->Path()); // no trailing "/"
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
