#include "app/KelvraApp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv); // takes Qt's own options off the command line
    QApplication::setApplicationName("Kelvra");
    QApplication::setApplicationDisplayName("");
    QGuiApplication::setDesktopFileName("kelvra"); // the installed desktop entry
    // The desktop's own dialogs (file choosers, message-box buttons) in Chinese.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    std::vector<std::string> args;
    for (const QString& a : QApplication::arguments().mid(1))
        args.push_back(a.toStdString());
    CKelvraApp theApp;
    if (!theApp.InitInstance(args))
        return 1;
    return QApplication::exec();
}
