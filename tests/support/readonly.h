#pragma once
// Makes a file or folder read-only for the test process, whoever runs it:
// for root, whom permission bits do not stop, the file system's immutable
// flag; for anyone else, the write permission bits. Undone on destruction.

#include <QString>

namespace testsupport {

class ReadOnly {
public:
    explicit ReadOnly(const QString& path);
    ~ReadOnly();
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;
    // False when the file system cannot make it read-only (the test skips).
    bool ok() const { return ok_; }

private:
    QString path_;
    bool ok_ = false;
    bool immutable_ = false;
    unsigned permissions_ = 0;
};

} // namespace testsupport

// Makes the path read-only for the rest of the scope, as `variable`; the test
// is skipped where the file system cannot.
#define READ_ONLY_OR_SKIP(variable, path)                                                          \
    ::testsupport::ReadOnly variable(path);                                                        \
    if (!variable.ok())                                                                            \
    GTEST_SKIP() << "this file system cannot make " << QString(path).toStdString() << " read-only"
