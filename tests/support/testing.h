#pragma once
// What every test starts from: GoogleTest, Qt values printed in its failure
// messages, and the files the tests read and write.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>

namespace pellamy {}
using namespace pellamy;

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << '}';
}

inline void PrintTo(const QDate& value, std::ostream* os) {
    *os << value.toString(Qt::ISODate).toStdString();
}

inline void PrintTo(const QDateTime& value, std::ostream* os) {
    *os << value.toString(Qt::ISODate).toStdString();
}

namespace testsupport {

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the file whole; an executable one is a script the tests run.
inline void writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    if (executable)
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// An environment variable set for as long as the object lives.
struct EnvSet {
    EnvSet(const char* variable, const QByteArray& value) : name(variable) { qputenv(name, value); }
    ~EnvSet() { was.isNull() ? qunsetenv(name) : qputenv(name, was); }
    const char* name;
    const QByteArray was = qgetenv(name);
};

// A folder for programs a test writes and runs, beside the test program: a
// temporary folder may not let programs run (/tmp mounted noexec).
inline QString programsFolderTemplate() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/programs-XXXXXX");
}

// A test in a folder of its own, whose distance database is path(). Without
// one (TMPDIR missing or read-only) the program stops: the test would work
// in, and clear, the folder it was started from.
class FolderTest : public testing::Test {
protected:
    FolderTest() {
        if (!dir.isValid()) {
            std::fprintf(stderr, "no temporary folder: %s\n", qPrintable(dir.errorString()));
            std::abort();
        }
    }
    QString path() const { return dir.filePath("distances.mdb"); }
    // A blank and a "%1" in the folder's name, as a secretary's folders may
    // have: every path is taken as it stands.
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/pellamy %1 test-XXXXXX")};
};

} // namespace testsupport

using namespace testsupport;
