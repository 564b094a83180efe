#include "UiTestSupport.h"
#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "app/OptionsSheet.h"
#include "image/Codec.h"
#include "image/ImageWnd.h"
#include "image/ResizeSaveDlg.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "thumbs/ImageWndList.h"

#include <FreeImage.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

template <typename T = QWidget> T* Child(QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QString::fromUtf8(name));
    if (!w)
        qWarning("no child %s", name);
    return w;
}

QColor PixelOf(QWidget* w, int x, int y) {
    return w->grab().toImage().pixelColor(x, y);
}

QColor Colour(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Runs a frame command that opens a modal dialog, and drives the dialog once
// it is up. The driver closes it (a dialog left open is rejected).
template <typename Dialog>
void Drive(CMainFrame* f, int command, std::function<void(Dialog*)> driver) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dlg = dynamic_cast<Dialog*>(modal)) {
            ran = true;
            driver(dlg);
        }
        if (modal && modal->isVisible())
            static_cast<QDialog*>(modal)->reject();
    });
    QVERIFY(f->OnCommand(command));
    QVERIFY(ran);
}

void Type(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
}

} // namespace

class ResizeOptionsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramHome> home;
    std::unique_ptr<CKelvraApp> app;
    std::unique_ptr<CScriptedUi> ui;
    CMainFrame* f = nullptr;
    QTemporaryDir pics;

    std::string Pic(const char* name) { return pics.path().toStdString() + "/" + name; }

private slots:
    void init() {
        home = std::make_unique<ProgramHome>();
        app = StartApp(1000, 700);
        QVERIFY(app);
        ui = std::make_unique<CScriptedUi>();
        f = app->MainFrame();
    }
    void cleanup() {
        ui.reset();
        app.reset();
        home.reset();
    }

    void resizeDialogTypesSizesAndWritesTheFile() {
        QVERIFY(!f->QueryCommand(ID_EDIT_RESIZE).enabled); // no picture yet
        const std::string original = MakePicture(Pic("orig.bmp"), 300, 200, RGB(20, 140, 220));
        const std::string originalBytes = *ReadWholeFile(original);
        ui->files.push_back(original);
        QVERIFY(f->OnCommand(ID_FILE_OPEN_IMAGE));
        QVERIFY(f->QueryCommand(ID_EDIT_RESIZE).enabled);

        // Width typed as "1a0": the letter is refused, the locked height
        // follows (10 x 200 / 300 = 6) and does not feed back into the width.
        ui->files.push_back(Pic("small.JPG"));
        Drive<CResizeSaveDlg>(f, ID_EDIT_RESIZE, [&](CResizeSaveDlg* dlg) {
            QCOMPARE(dlg->windowTitle(), QString("更改尺寸保存"));
            auto* width = Child<QLineEdit>(dlg, "WidthEdit");
            auto* height = Child<QLineEdit>(dlg, "HeightEdit");
            QCOMPARE(width->text(), QString("300"));
            QVERIFY(Child<QCheckBox>(dlg, "KeepRatio")->isChecked());
            Type(width, "1a0");
            QCOMPARE(width->text(), QString("10"));
            QCOMPARE(height->text(), QString("6"));
            QTest::mouseClick(Child(dlg, "Unit1"), Qt::LeftButton); // inches at 96 dpi
            QCOMPARE(width->text(), QString("0.10"));
            QCOMPARE(height->text(), QString("0.06"));
            QTest::mouseClick(Child(dlg, "Unit2"), Qt::LeftButton);
            QTest::mouseClick(Child(dlg, "SaveButton"), Qt::LeftButton);
        });
        QCOMPARE(ui->filters.back(), std::string("JPG(*.jpg)|*.jpg|BMP(*.bmp)|*.bmp|"));
        CImageBuffer saved;
        // The extension's case does not matter.
        QCOMPARE(FreeImage_GetFileType(Pic("small.JPG").c_str(), 0), FIF_JPEG);
        QVERIFY(LoadImageFile(Pic("small.JPG"), saved));
        QCOMPARE(saved.Width(), 10);
        QCOMPARE(saved.Height(), 6);

        // 10 cm at 96 dpi is 377 pixels, and the file is exactly that wide;
        // "复位" first shows the opening size in the chosen unit.
        ui->files.push_back(Pic("wide.bmp"));
        Drive<CResizeSaveDlg>(f, ID_EDIT_RESIZE, [&](CResizeSaveDlg* dlg) {
            auto* width = Child<QLineEdit>(dlg, "WidthEdit");
            QTest::mouseClick(Child(dlg, "Unit0"), Qt::LeftButton);
            Type(width, "3");
            QTest::mouseClick(Child(dlg, "ResetButton"), Qt::LeftButton);
            QCOMPARE(width->text(), QString("7.94")); // 300 / 96 x 2.54
            Type(width, "10");
            QCOMPARE(Child<QLineEdit>(dlg, "HeightEdit")->text(), QString("6.64")); // 251 px
            dlg->accept();
        });
        QVERIFY(LoadImageFile(Pic("wide.bmp"), saved));
        QCOMPARE(saved.Width(), 377);
        QCOMPARE(saved.Height(), 251);
        QCOMPARE(saved.GetPixelRgb(376, 250), (RgbPixel{20, 140, 220}));

        // Refusals: a size below 1 before any file dialog; another extension;
        // a block over the picture limit.
        struct Refusal {
            const char *width, *height, *file, *message;
            bool unlock;
        } refusals[] = {
            {"0", "", nullptr, "请设置大于0的数值", false},
            {"50", "", "x.png", "无法保存为该文件格式", false},
            {"40000", "40000", "huge.bmp", "创建文件失败", true},
        };
        for (const Refusal& r : refusals) {
            const std::size_t dialogs = ui->filters.size();
            if (r.file)
                ui->files.push_back(Pic(r.file));
            Drive<CResizeSaveDlg>(f, ID_EDIT_RESIZE, [&](CResizeSaveDlg* dlg) {
                if (r.unlock)
                    QTest::mouseClick(Child(dlg, "KeepRatio"), Qt::LeftButton);
                Type(Child<QLineEdit>(dlg, "WidthEdit"), r.width);
                if (*r.height)
                    Type(Child<QLineEdit>(dlg, "HeightEdit"), r.height);
                dlg->accept();
            });
            QCOMPARE(ui->shown.back().text, std::string(r.message));
            QCOMPARE(ui->filters.size(), dialogs + (r.file ? 1 : 0));
            if (r.file)
                QVERIFY(!FileExists(Pic(r.file)));
        }

        // The shown picture and its file are untouched; nothing is left over.
        QCOMPARE(f->GetImgContainer()->ImageWnd()->Image().Width(), 300);
        QCOMPARE(*ReadWholeFile(original), originalBytes);
        QCOMPARE(QDir(pics.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
        QVERIFY(!FileExists(home->File("temp.bmp")) && !FileExists("temp.bmp"));

        // The picture window's "保存为" reaches the frame's save command.
        ui->files.push_back(Pic("copy.png"));
        QAction* saveAs = nullptr;
        for (QAction* a : f->GetImgContainer()->ImageWnd()->ContextMenu()->actions())
            if (a->data().toInt() == 32949)
                saveAs = a;
        QVERIFY(saveAs);
        saveAs->trigger();
        QVERIFY(LoadImageFile(Pic("copy.png"), saved));
        QCOMPARE(saved.Width(), 300);

        // After a rotation the command waits for the picture to be reloaded.
        f->m_bRotated = true;
        QVERIFY(!f->QueryCommand(ID_EDIT_RESIZE).enabled);
    }

    void optionsSheetShowsAppliesOnOkAndNothingOnCancel() {
        CSystemSettings& s = f->m_settings;
        s.crRightBack = RGB(10, 20, 30);
        s.crLeftBack = RGB(200, 0, 0);
        s.nTumCx = 150;
        s.mDelete = 1;
        s.mAdd = 0;
        f->GetImgContainer()->ShowListWindow();
        CImageWndList* list = f->GetImgContainer()->ListWnd();
        const ListColors listBefore = list->Colors();
        const COLORREF green = RGB(0, 200, 0);
        const COLORREF pictureBack = f->GetImgContainer()->ImageWnd()->GetBackgroundColor();

        // Cancel: every field shows the frame's value; a scheme recolours the
        // page at once, a colour box opens the colour dialog preset to its
        // colour; nothing reaches the frame.
        ui->colors.push_back(green);
        Drive<COptionsSheet>(f, ID_TOOLS_OPTIONS, [&](COptionsSheet* sheet) {
            QCOMPARE(sheet->windowTitle(), QString("选项"));
            auto* tabs = Child<QTabWidget>(sheet, "OptionsTabs");
            QCOMPARE(tabs->tabText(1), QString("缩略图 "));
            QWidget* display = Child(sheet, "DisplayPage");
            QCOMPARE(PixelOf(Child(display, "Box1018"), 20, 9), QColor(10, 20, 30));
            QCOMPARE(PixelOf(Child(display, "Sample1036"), 10, 5), QColor(200, 0, 0));
            QCOMPARE(PixelOf(Child(display, "Sample1036"), 60, 5), QColor(10, 20, 30));
            QCOMPARE(Child<QComboBox>(display, "List1012")->currentText(), QString("1秒"));
            QVERIFY(Child<QRadioButton>(display, "Radio1021")->isChecked()); // display mode 1
            QTest::mouseClick(Child(display, "Box1018"), Qt::LeftButton);
            QCOMPARE(ui->colorPresets.back(), RGB(10, 20, 30));
            QCOMPARE(PixelOf(Child(display, "Box1018"), 20, 9), QColor(0, 200, 0));

            tabs->setCurrentIndex(1);
            QWidget* thumbs = Child(sheet, "ThumbnailsPage");
            QCOMPARE(Child<QSpinBox>(thumbs, "Spin1003")->value(), 150);
            QCOMPARE(Child<QSpinBox>(thumbs, "Spin1005")->maximum(), 160);
            auto* scheme = Child<QComboBox>(thumbs, "List1015");
            QCOMPARE(scheme->currentText(), QString("方案1"));
            QCOMPARE(PixelOf(Child(thumbs, "背景颜色"), 20, 9), Colour(s.crTumBack));
            scheme->setFocus();
            QTest::keyClick(scheme, Qt::Key_Down); // "方案2"
            QCOMPARE(PixelOf(Child(thumbs, "背景颜色"), 20, 9), QColor(198, 198, 198));
            QWidget* cell = Child(thumbs, "Sample1036");
            QCOMPARE(PixelOf(cell, 4, 40), QColor(198, 198, 198));
            QCOMPARE(PixelOf(cell, 0, 40), QColor(0, 0, 0));        // the selection frame
            QCOMPARE(PixelOf(cell, 2, 40), QColor(255, 255, 255));  // the cell frame
            QCOMPARE(PixelOf(cell, 40, 20), QColor(167, 140, 140)); // row 2 of the picture box

            tabs->setCurrentIndex(2);
            QCOMPARE(Child<QCheckBox>(sheet, "Check1056")->isChecked(), true);
            QCOMPARE(Child<QCheckBox>(sheet, "Check1055")->isChecked(), false);
            QTest::mouseClick(Child(sheet, "Check1055"), Qt::LeftButton);
            sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        });
        QCOMPARE(s.crRightBack, RGB(10, 20, 30));
        QCOMPARE(s.mAdd, 0);
        QCOMPARE(f->GetImgContainer()->ImageWnd()->GetBackgroundColor(), pictureBack);
        QCOMPARE(list->Colors().wndBack, listBefore.wndBack);
        QCOMPARE(list->Colors().tileBack, listBefore.tileBack);

        // OK applies every page, also the pages' controls the user typed in.
        ui->colors.push_back(green);
        Drive<COptionsSheet>(f, ID_TOOLS_OPTIONS, [&](COptionsSheet* sheet) {
            QTest::mouseClick(Child(sheet, "Box1018"), Qt::LeftButton);
            auto* delay = Child<QComboBox>(sheet, "List1012");
            delay->setFocus();
            QTest::keyClick(delay, Qt::Key_Down);
            QTest::keyClick(delay, Qt::Key_Down); // "3秒"
            QTest::mouseClick(Child(sheet, "Radio1020"), Qt::LeftButton);
            QTest::mouseClick(Child(sheet, "Radio1039"), Qt::LeftButton);
            auto* interp = Child<QComboBox>(sheet, "List1062");
            interp->setFocus();
            QTest::keyClick(interp, Qt::Key_Down);
            Child<QTabWidget>(sheet, "OptionsTabs")->setCurrentIndex(1);
            auto* scheme = Child<QComboBox>(sheet, "List1015");
            scheme->setFocus();
            QTest::keyClick(scheme, Qt::Key_Down);
            auto* cx = Child<QSpinBox>(sheet, "Spin1003");
            cx->setFocus();
            cx->selectAll();
            QTest::keyClicks(cx, "120");
            QCOMPARE(cx->value(), 120);
            Child<QTabWidget>(sheet, "OptionsTabs")->setCurrentIndex(2);
            QTest::mouseClick(Child(sheet, "Check1055"), Qt::LeftButton);
            sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QCOMPARE(s.crRightBack, green);
        QCOMPARE(f->GetImgContainer()->ImageWnd()->GetBackgroundColor(), green);
        QCOMPARE(list->Colors().wndBack, RGB(198, 198, 198));
        QCOMPARE(list->Colors().tileBack, RGB(198, 198, 198));
        QCOMPARE(list->Backing().pixelColor(list->width() - 3, list->height() - 3),
                 QColor(198, 198, 198));
        QCOMPARE(f->GetImgContainer()->m_nSlideDelay, 3000);
        QCOMPARE(f->m_nDisplayMode, 0);
        QCOMPARE(f->m_nInterpolation, 1);
        QCOMPARE(f->GetImgContainer()->ImageWnd()->m_nSmoothing, 1);
        QCOMPARE(f->m_nWheelMode, 1);
        QVERIFY(f->m_bWheelZoom);
        QCOMPARE(s.nTumCx, 120);
        QCOMPARE(s.mAdd, 1);

        // Reopened, the sheet shows what was chosen.
        Drive<COptionsSheet>(f, ID_TOOLS_OPTIONS, [&](COptionsSheet* sheet) {
            QCOMPARE(Child<QComboBox>(sheet, "List1012")->currentText(), QString("3秒"));
            QCOMPARE(PixelOf(Child(sheet, "Box1018"), 20, 9), QColor(0, 200, 0));
            QVERIFY(Child<QRadioButton>(sheet, "Radio1039")->isChecked());
            QVERIFY(Child<QCheckBox>(sheet, "Check1055")->isChecked());
        });

        // At exit System.ini holds the stored values, the option mAdd as 0.
        app.reset();
        CIniFile ini;
        QVERIFY(ini.Load(home->File("System.ini")));
        QCOMPARE(ini.Get("RightBackColor", "Green").value_or(""), std::string("200"));
        QCOMPARE(ini.Get("TumBackColor", "Red").value_or(""), std::string("198"));
        QCOMPARE(ini.Get("TumSize", "Cx").value_or(""), std::string("120"));
        QCOMPARE(ini.Get("AddTreeWndImgfile", "mAdd").value_or(""), std::string("0"));
    }
};

QTEST_MAIN(ResizeOptionsTest)
#include "test_resizeoptions.moc"
