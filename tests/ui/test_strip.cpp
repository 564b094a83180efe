#include "UiTestSupport.h"
#include "platform/QtUtil.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/KelvraApp.h"
#include "app/MainFrame.h"
#include "app/StatusBar.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "library/TreeContainerWnd.h"
#include "platform/FileOps.h"
#include "thumbs/ThumbCache.h"

#include <QTest>

namespace {

void Wheel(QWidget* w, QPoint at, int delta) {
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

class StripTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramHome> home;
    std::unique_ptr<CKelvraApp> app;
    std::unique_ptr<CScriptedUi> ui;
    CMainFrame* f = nullptr;
    CTreeContainerWnd* tree = nullptr;
    CImageWnd* wnd = nullptr;
    QTemporaryDir pics;
    std::vector<std::string> files;

    // A folder of n small pictures, each of its own colour, listed by the left pane.
    void Folder(int n) {
        files.clear();
        for (int i = 0; i < n; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "s%02d.bmp", i);
            files.push_back(MakePicture(pics.path().toStdString() + "/" + name, 200, 150,
                                        RGB(10 * i, 250 - 8 * i, 77)));
        }
        tree->ShowFolder(pics.path().toStdString() + "/");
    }
    int Ch() const { return wnd->height(); }
    int N() const { return wnd->GetStripSlotCount(); }
    QColor At(int x, int y) const { return QColor(wnd->Backing().pixel(x, y)); }
    // A point in the middle of slot i.
    QPoint Slot(int i) const { return QPoint(15 + 60 * i + 30, Ch() - 33); }
    int FirstIndex() const { return tree->FindFolderImage(f->m_astrStrip.front()); }

private slots:
    void init() {
        home = std::make_unique<ProgramHome>();
        app = StartApp(900, 700);
        QVERIFY(app);
        ui = std::make_unique<CScriptedUi>();
        f = app->MainFrame();
        tree = f->GetTreeContainer();
        wnd = f->GetImgContainer()->ImageWnd();
    }
    void cleanup() {
        ui.reset();
        app.reset();
        home.reset();
        QDir(pics.path()).removeRecursively();
        QDir().mkpath(pics.path());
    }

    void toggleShowsSlotsThumbnailsPlaceholdersAndTheCurrentPicture() {
        Folder(30);
        tree->OpenPicture(files[0]);
        tree->OpenPicture(files[2]); // both leave cache files; 2 is current
        QCOMPARE(N(), (wnd->width() - 30) / 60 + 1);
        QVERIFY(f->OnCommand(ID_VIEW_STRIP));
        QVERIFY(wnd->m_bStripShown);
        QVERIFY(f->StatusBar()->Toggle(CStatusBar::kStripPane)->IsOn());
        // Centred on picture 2: it is near the left end, so the strip starts at 0.
        QCOMPARE(int(f->m_astrStrip.size()), N());
        QCOMPARE(f->m_astrStrip.front(), files[0]);
        // Slot 0: picture 0's thumbnail; slot 1: the grey ramp, 156 + row
        // counted from the bottom of the band.
        QCOMPARE(At(Slot(0).x(), Slot(0).y()), ToQColor(RGB(0, 250, 77)));
        QCOMPARE(At(Slot(1).x(), Ch() - 1 - 10), QColor(166, 166, 166));
        QCOMPARE(At(Slot(1).x(), Ch() - 1 - 62), QColor(218, 218, 218));
        // Separators, arrow buttons and the frame round slot 2.
        QCOMPARE(At(Slot(5).x(), Ch() - 1 - 2), QColor(0x80, 0x80, 0x80));
        QCOMPARE(At(15 + 60 * 4, Ch() - 30), QColor(0x80, 0x80, 0x80));
        QCOMPARE(At(1, Ch() - 2), QColor(0xE4, 0xE4, 0xE4));
        QCOMPARE(At(wnd->width() - 1, Ch() - 2), QColor(0xE4, 0xE4, 0xE4));
        QCOMPARE(At(15 + 120, Ch() - 64), QColor(0x1C, 0x1C, 0xE4));
        QCOMPARE(At(15 + 179, Ch() - 3), QColor(0x1C, 0x1C, 0xE4));

        // A new size brings as many slots as now fit, filled again.
        f->resize(1100, 700);
        QTest::qWait(20);
        QCOMPARE(int(f->m_astrStrip.size()), N());
        QCOMPARE(At(Slot(0).x(), Slot(0).y()), ToQColor(RGB(0, 250, 77)));
        QCOMPARE(At(Slot(N() - 2).x(), Ch() - 11), QColor(166, 166, 166));

        QVERIFY(f->OnCommand(ID_VIEW_STRIP));
        QVERIFY(!wnd->m_bStripShown);
        QVERIFY(!f->StatusBar()->Toggle(CStatusBar::kStripPane)->IsOn());
        QVERIFY(At(Slot(1).x(), Ch() - 11) != QColor(166, 166, 166)); // the picture is back
    }

    void mouseInTheBandShowsTheStripOnlyWithTwoPictures() {
        Folder(1);
        tree->OpenPicture(files[0]);
        QTest::mouseMove(wnd, Slot(2));
        QVERIFY(!wnd->m_bStripShown);
        QVERIFY(f->OnCommand(ID_VIEW_STRIP));
        QVERIFY(!wnd->m_bStripShown);
        Folder(2);
        QTest::mouseMove(wnd, QPoint(wnd->width() / 2, Ch() / 2));
        QTest::mouseMove(wnd, Slot(2));
        QVERIFY(wnd->m_bStripShown);
        QCOMPARE(f->m_astrStrip, files);
    }

    void aSlotClickOpensItsPictureAboveTheStripAndSteps() {
        Folder(30);
        tree->OpenPicture(files[0]);
        f->OnCommand(ID_VIEW_STRIP);
        QTest::mouseClick(wnd, Qt::LeftButton, {}, Slot(3));
        QCOMPARE(tree->m_strCurrentFile, files[3]);
        QCOMPARE(wnd->CurrentFile(), files[3]);
        QVERIFY(wnd->m_bStripShown);
        // Laid out in the client area above the band.
        ViewRect r = wnd->View().GetDestRect();
        QVERIFY(std::abs((r.top + r.bottom) - (Ch() - 66)) <= 1);
        QCOMPARE(At(wnd->width() / 2, (r.top + r.bottom) / 2), ToQColor(RGB(30, 226, 77)));
        QCOMPARE(At(15 + 180, Ch() - 64), QColor(0x1C, 0x1C, 0xE4));
        QCOMPARE(FirstIndex(), 0); // a middle slot refreshes in place
        QVERIFY(ThumbExists(files[3]));
        QCOMPARE(At(Slot(3).x(), Slot(3).y()), ToQColor(RGB(30, 226, 77)));

        // The last full slot steps the strip forward one picture, the first back one.
        const int lastFull = (wnd->width() - 45 - 15) / 60;
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(wnd->width() - 45, Ch() - 33));
        QCOMPARE(tree->m_strCurrentFile, files[std::size_t(lastFull)]);
        QCOMPARE(FirstIndex(), 1);
        QCOMPARE(wnd->m_nFirstSlot, 1);
        QTest::mouseClick(wnd, Qt::LeftButton, {}, Slot(0));
        QCOMPARE(tree->m_strCurrentFile, files[1]);
        QCOMPARE(FirstIndex(), 0);

        // Hiding the strip lays the picture out in the whole window again.
        f->OnCommand(ID_VIEW_STRIP);
        r = wnd->View().GetDestRect();
        QVERIFY(std::abs((r.top + r.bottom) - Ch()) <= 1);
    }

    void arrowsPageAndTheWheelStepsWithinTheList() {
        const int n = N(), right = wnd->width() - 5, count = 2 * n + 3;
        QVERIFY(n > 3);
        Folder(count);
        tree->OpenPicture(files[0]);
        f->OnCommand(ID_VIEW_STRIP);
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(right, Ch() - 30));
        QCOMPARE(FirstIndex(), n);
        QCOMPARE(f->m_nStripMode, 2);
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(right, Ch() - 30));
        QCOMPARE(FirstIndex(), count - n); // the last page ends at the last picture
        QCOMPARE(f->m_astrStrip.back(), files.back());
        QTest::mouseClick(wnd, Qt::LeftButton, {}, QPoint(5, Ch() - 30));
        QCOMPARE(FirstIndex(), count - 2 * n);
        QCOMPARE(tree->m_strCurrentFile, files[0]); // paging opens nothing

        Wheel(wnd, Slot(2), 120); // away: one back
        QCOMPARE(FirstIndex(), count - 2 * n - 1);
        for (int i = 0; i < 40; ++i)
            Wheel(wnd, Slot(2), -120); // towards: forward, up to the last picture
        QCOMPARE(FirstIndex(), count - n);
        QCOMPARE(wnd->m_nFirstSlot, count - n);
        QCOMPARE(tree->m_strCurrentFile, files[0]);
        // Off the band the wheel steps through the pictures as before.
        Wheel(wnd, QPoint(100, 100), -120);
        QCOMPARE(tree->m_strCurrentFile, files[1]);
        QVERIFY(!wnd->m_bStripShown); // a new picture's first view hides the strip
    }

    void panningHidesTheStripAndANarrowPaneHasNone() {
        Folder(3);
        files.push_back(
            MakePicture(pics.path().toStdString() + "/z_big.bmp", 2400, 1800, RGB(9, 9, 9)));
        tree->ShowFolder(pics.path().toStdString() + "/");
        tree->OpenPicture(files.back());
        f->OnCommand(ID_ZOOM_ACTUAL);
        QVERIFY(wnd->View().IsScrollable());
        f->OnCommand(ID_VIEW_STRIP);
        QVERIFY(wnd->m_bStripShown);
        const QPoint p(wnd->width() / 2, Ch() / 3);
        QTest::mousePress(wnd, Qt::LeftButton, {}, p);
        QTest::mouseMove(wnd, p + QPoint(-30, 20));
        QTest::mouseRelease(wnd, Qt::LeftButton, {}, p + QPoint(-30, 20));
        QVERIFY(!wnd->m_bStripShown);
        QVERIFY(!f->StatusBar()->Toggle(CStatusBar::kStripPane)->IsOn());

        wnd->resize(29, 300);
        QCOMPARE(wnd->GetStripSlotCount(), 0);
        f->OnCommand(ID_VIEW_STRIP);
        QVERIFY(!wnd->m_bStripShown);
    }
};

QTEST_MAIN(StripTest)
#include "test_strip.moc"
