// The main of the window tests: a QApplication on the offscreen platform.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellamy"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pellamy"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
