#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "thumbs/ImageWndList.h"

#include <FreeImage.h>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

template <typename T = QWidget> T* Child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromUtf8(name));
}
QColor PixelOf(QWidget* parent, const char* name, int x, int y) {
    return Child(parent, name)->grab().toImage().pixelColor(x, y);
}
void Click(QWidget* parent, const char* name) {
    QTest::mouseClick(Child(parent, name), Qt::LeftButton);
}
void Type(QWidget* dlg, const char* edit, const char* text) {
    Child<QLineEdit>(dlg, edit)->selectAll();
    QTest::keyClicks(Child(dlg, edit), text);
}

// Runs a frame command and drives the modal dialog it opens; a dialog the
// driver leaves open is cancelled.
void Drive(CMainFrame* f, int command, std::function<void(QDialog*)> driver) {
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        driver(dlg);
        if (dlg->isVisible())
            dlg->reject();
    });
    QVERIFY(f->OnCommand(command));
}

} // namespace

class ResizeOptionsTest : public QObject, RunningApp {
    Q_OBJECT
    std::string Pic(const char* name) { return pics->File(name); }

private slots:
    void cleanup() { End(); }

    // Both dialogs with a scripted file chooser and colour dialog.
    void resizeDialogWritesTheChosenSizeAndOptionsApplyOnOkOnly() {
        Begin();
        Start(1000, 700);
        ui->files = {MakePicture(Pic("orig.bmp"), 300, 200, RGB(20, 140, 220))};
        for (const char* name : {"small.JPG", "wide.bmp", "x.png", "huge.bmp", "copy.png"})
            ui->files.push_back(Pic(name));
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));

        // "1a0": the letter is refused; the locked height follows and does
        // not feed back into the width (6 would give 9).
        Drive(f, ID_EDIT_RESIZE, [](QDialog* dlg) {
            QCOMPARE(dlg->windowTitle(), QString("更改尺寸保存"));
            Type(dlg, "WidthEdit", "1a0");
            QCOMPARE(Child<QLineEdit>(dlg, "WidthEdit")->text() + "x" +
                         Child<QLineEdit>(dlg, "HeightEdit")->text(),
                     QString("10x6"));
            Click(dlg, "SaveButton");
        });
        QCOMPARE(ui->filters.back(), std::string("JPG(*.jpg)|*.jpg|BMP(*.bmp)|*.bmp|"));
        QCOMPARE(ui->startFolders.back() + "/", pics->Path()); // no trailing "/"
        QCOMPARE(FreeImage_GetFileType(Pic("small.JPG").c_str(), 0), FIF_JPEG);
        CImageBuffer saved;
        QVERIFY(LoadImageFile(Pic("small.JPG"), saved));
        QCOMPARE(QSize(saved.Width(), saved.Height()), QSize(10, 6));

        // 10 cm at 96 dpi gives a file exactly 377 pixels wide; "复位" first
        // shows the opening size in centimetres.
        Drive(f, ID_EDIT_RESIZE, [](QDialog* dlg) {
            Click(dlg, "Unit0");
            Type(dlg, "WidthEdit", "3");
            Click(dlg, "ResetButton");
            QCOMPARE(Child<QLineEdit>(dlg, "WidthEdit")->text(), QString("7.94"));
            Type(dlg, "WidthEdit", "10");
            dlg->accept();
        });
        QVERIFY(LoadImageFile(Pic("wide.bmp"), saved));
        QCOMPARE(QSize(saved.Width(), saved.Height()), QSize(377, 251));

        // Refusals: a size below 1 (no file is asked for), another extension,
        // a block over the picture limit.
        for (auto [width, message] : {std::pair{"0", "请设置大于0的数值"},
                                      {"50", "无法保存为该文件格式"},
                                      {"4000000", "创建文件失败"}}) {
            Drive(f, ID_EDIT_RESIZE, [width = width](QDialog* dlg) {
                Type(dlg, "WidthEdit", width);
                dlg->accept();
            });
            QCOMPARE(ui->shown.back().text, std::string(message));
        }
        QCOMPARE(ui->filters.size(), std::size_t(5));
        // No temporary file is left beside the targets or the program.
        QCOMPARE(
            QDir(QString::fromStdString(pics->Path())).entryList(QDir::Files | QDir::Hidden).size(),
            3);
        QVERIFY(
            QDir(QString::fromStdString(home->Path())).entryList({"*.bmp"}, QDir::Files).isEmpty());

        // The picture window's "保存为" reaches the frame's save command.
        for (QAction* a : f->GetImgContainer()->ImageWnd()->ContextMenu()->actions())
            if (a->data().toInt() == 32949)
                a->trigger();
        QVERIFY(LoadImageFile(Pic("copy.png"), saved));

        f->m_settings.crRightBack = RGB(10, 20, 30);
        f->GetImgContainer()->ShowListWindow();
        CImageWndList* list = f->GetImgContainer()->ListWnd();
        CImageWnd* wnd = f->GetImgContainer()->ImageWnd();
        const COLORREF pictureBack = wnd->GetBackgroundColor(), listBack = list->Colors().wndBack;
        ui->colors = {RGB(0, 200, 0), RGB(0, 200, 0)};

        // Cancel: the fields show the frame's values, a colour box opens the
        // colour dialog preset to its colour, a scheme recolours the page at
        // once; nothing reaches the frame.
        Drive(f, ID_TOOLS_OPTIONS, [&](QDialog* sheet) {
            Click(sheet, "Box1018");
            QCOMPARE(ui->colorPresets.back(), RGB(10, 20, 30));
            QCOMPARE(PixelOf(sheet, "Box1018", 20, 9), QColor(0, 200, 0));
            QTest::keyClick(Child(sheet, "List1015"), Qt::Key_Down); // "方案2"
            QWidget* thumbs = Child(sheet, "ThumbnailsPage");
            QCOMPARE(PixelOf(thumbs, "Sample1036", 4, 40), QColor(198, 198, 198));
            QCOMPARE(PixelOf(thumbs, "Sample1036", 40, 20), QColor(167, 140, 140)); // picture row 2
        });
        QCOMPARE(wnd->GetBackgroundColor(), pictureBack);
        QCOMPARE(list->Colors().wndBack, listBack);

        // OK applies what was chosen on every page; reopened, the sheet
        // shows the chosen delay.
        Drive(f, ID_TOOLS_OPTIONS, [](QDialog* sheet) {
            Click(sheet, "Box1018");
            for (const char* name : {"List1012", "List1012", "List1062", "List1015"})
                QTest::keyClick(Child(sheet, name), Qt::Key_Down); // 3 s, "高斯模糊", "方案2"
            Click(sheet, "Radio1039");
            Click(sheet, "Check1055");
            sheet->accept();
        });
        QCOMPARE(wnd->GetBackgroundColor(), RGB(0, 200, 0));
        QCOMPARE(list->Backing().pixelColor(list->width() - 3, list->height() - 3),
                 QColor(198, 198, 198));
        QCOMPARE(f->GetImgContainer()->m_nSlideDelay, 3000);
        QCOMPARE(wnd->m_nSmoothing, 1);
        QVERIFY(f->m_bWheelZoom && f->m_settings.mAdd == 1);
        Drive(f, ID_TOOLS_OPTIONS, [](QDialog* sheet) {
            QCOMPARE(Child<QComboBox>(sheet, "List1012")->currentText(), QString("3秒"));
        });
    }
};

QTEST_MAIN(ResizeOptionsTest)
#include "test_resizeoptions.moc"
