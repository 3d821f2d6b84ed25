// Pellamy: works out a pigeon club's race results.

#include "app/program.h"
#include "platform/programfolder.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellamy"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pellamy"));
    QApplication::setWindowIcon(pellamy::programIcon());
    QApplication::setDesktopFileName(QStringLiteral("pellamy"));

    pellamy::Program program(pellamy::programFolder());
    program.start();
    return app.exec();
}
