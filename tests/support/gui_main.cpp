// The main of the window tests: a QApplication on the offscreen platform.
#include <QApplication>

#include <ctime>

#include <gtest/gtest.h>

// The offscreen platform says this of every window it shows.
static QtMessageHandler defaultHandler = nullptr;
static void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("propagateSizeHints")))
        defaultHandler(type, context, text);
}

int main(int argc, char** argv) {
    defaultHandler = qInstallMessageHandler(quietMessages);
    // As ctest runs them, when run by hand too: the system's error texts in
    // English, and a time zone with summer time.
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("TZ", "Europe/London");
    tzset();
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellamy"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pellamy"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
