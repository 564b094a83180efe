#include "app/KelvraApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv); // takes Qt's own options off the command line
    QApplication::setApplicationName("Kelvra");
    QApplication::setApplicationDisplayName("");
    std::vector<std::string> args;
    for (const QString& a : QApplication::arguments().mid(1))
        args.push_back(a.toStdString());
    CKelvraApp theApp;
    if (!theApp.InitInstance(args))
        return 1;
    return QApplication::exec();
}
