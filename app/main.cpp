// Pellamy: works out a pigeon club's race results.

#include "app/program.h"
#include "platform/programfolder.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

namespace {

// On Linux and other X11 or Wayland systems the program needs a display;
// without one Qt would abort with a message about reinstalling.
bool displayMissing(int argc, char* argv[]) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0)
            return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return false;
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    if (displayMissing(argc, argv)) {
        std::fputs("Pellamy needs a desktop session: no display was found.\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellamy"));
    QApplication::setWindowIcon(pellamy::programIcon());
    QApplication::setDesktopFileName(QStringLiteral("pellamy"));

    pellamy::Program program(pellamy::programFolder());
    program.start();
    return app.exec();
}
