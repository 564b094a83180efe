#include "app/KelvraApp.h"
#include "image/ImageBuffer.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>

int main(int argc, char** argv) {
    ReturnLargeBlocksAtOnce();
    QApplication app(argc, argv); // takes Qt's own options off the command line
    QApplication::setApplicationName("Kelvra");
    QApplication::setApplicationDisplayName("");
    QGuiApplication::setDesktopFileName("kelvra"); // the installed desktop entry
    // The desktop's own dialogs (file choosers, message-box buttons) in Chinese.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    // The arguments Qt left, as the bytes they came in: a path need not be
    // valid UTF-8.
    std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    CKelvraApp theApp;
    if (!theApp.InitInstance(args))
        return 1;
    return QApplication::exec();
}
