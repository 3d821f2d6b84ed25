#pragma once
// The tests that read real Access files: a clone without the files beside it,
// or a build without the Access reader, skips them and says where it looked;
// under CI they must be there.

#include "distances/migration.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#define REQUIRE_ACCESS_FILES()                                                                     \
    do {                                                                                           \
        const QString data = QStringLiteral(PELLAMY_ACCESS_TESTDATA);                              \
        QString missing;                                                                           \
        if (!QFileInfo(data + "/distances-text-jet4.mdb").isFile())                                \
            missing = "the Access test files are not in " + data;                                  \
        else if (!QFileInfo(pellamy::accessReaderPath()).isExecutable())                           \
            missing = "this build has no Access reader (" + pellamy::accessReaderPath() + ")";     \
        if (!missing.isEmpty() && qEnvironmentVariable("CI") == QLatin1String("true"))             \
            FAIL() << missing.toStdString();                                                       \
        if (!missing.isEmpty())                                                                    \
            GTEST_SKIP() << missing.toStdString();                                                 \
    } while (false)
