#include "filewrite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace pellamy {

namespace {

template <typename File> FileWrite writeTo(File& file, const QByteArray& bytes) {
    FileWrite out;
    out.opened = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (!out.opened) {
        out.problem = writeProblem(file);
        return out;
    }
    if (file.write(bytes) != bytes.size()) {
        out.problem = writeProblem(file);
        return out;
    }
    // QSaveFile puts the new file in place even when the disk refused it at
    // the last moment, so the sync is checked first; a new file not
    // committed is thrown away and the earlier one stays.
    out.problem = syncToDisk(file);
    if constexpr (std::is_same_v<File, QSaveFile>) {
        if (out.problem.isEmpty() && !file.commit()) {
            // Windows will not replace a file marked read-only.
            const QFileInfo target(file.fileName());
            const bool readOnly =
                file.error() == QFileDevice::RenameError && target.exists() && !target.isWritable();
            out.problem = writeProblem(readOnly ? QFileDevice::PermissionsError : file.error(),
                                       file.errorString());
        }
    }
    return out;
}

} // namespace

FileWrite writeWholeFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        // A device or the like is written, never replaced.
        QFile file(path);
        return writeTo(file, bytes);
    }
    QSaveFile file(path);
    const FileWrite whole = writeTo(file, bytes);
    if (whole.opened || !info.exists())
        return whole;
    // The folder takes no new file (read-only, or a file system that says
    // "not permitted"), but the file itself may still be writable. Written
    // in place, the old file is cut short first: without room for the rest
    // it is not touched.
    const QStorageInfo disk(info.absolutePath());
    if (disk.isValid() && disk.bytesAvailable() >= 0 &&
        disk.bytesAvailable() < bytes.size() - info.size())
        return {true, QStringLiteral("the disk is full")};
    // A write that still fails part-way (a quota, a file size limit) puts
    // the old content back, so the file is never left cut short.
    QFile direct(path);
    QByteArray old;
    if (direct.open(QIODevice::ReadOnly))
        old = direct.readAll(), direct.close();
    const FileWrite inPlace = writeTo(direct, bytes);
    if (inPlace.opened && !inPlace.ok() && old.size() == info.size()) {
        direct.close();
        writeTo(direct, old);
    }
    return inPlace.opened ? inPlace : whole;
}

QString replaceFile(const QString& from, const QString& to) {
    // The names as UTF-16: Windows takes them whole, where its 8-bit code
    // page would lose a letter of a folder's name.
    std::error_code failed;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), failed);
    return failed ? QString::fromStdString(failed.message()) : QString();
}

void removeStaleFiles(const QString& folder, const QStringList& patterns) {
    const QDateTime now = QDateTime::currentDateTime();
    for (const QFileInfo& stale : QDir(folder).entryInfoList(patterns, QDir::Files))
        if (stale.lastModified().secsTo(now) > 24 * 60 * 60)
            QFile::remove(stale.filePath());
}

QString syncToDisk(QFileDevice& file) {
    if (!file.flush())
        return writeProblem(file);
#if defined(Q_OS_UNIX)
    // A pipe or a device has nothing to sync and says EINVAL or EROFS, as a
    // file system without syncing says EINVAL. A file says EROFS when its
    // file system has put itself read-only after a fault, and then what was
    // written may never reach the disk.
    if (::fdatasync(file.handle()) != 0) {
        const int failed = errno;
        struct stat kind {};
        const bool nothingToSync =
            failed == EINVAL ||
            (failed == EROFS && ::fstat(file.handle(), &kind) == 0 && !S_ISREG(kind.st_mode));
        if (!nothingToSync)
            return writeProblem(QFileDevice::WriteError,
                                QString::fromLocal8Bit(std::strerror(failed)));
    }
#elif defined(Q_OS_WIN)
    // Asked of Windows itself: the C library's _commit says EBADF for every
    // failure, a full share's as well.
    const int fd = file.handle();
    const auto handle = fd < 0 ? INVALID_HANDLE_VALUE : HANDLE(::_get_osfhandle(fd));
    if (handle != INVALID_HANDLE_VALUE && !::FlushFileBuffers(handle)) {
        const DWORD code = ::GetLastError();
        // A device (NUL, a printer port) has nothing to flush.
        if (code != ERROR_INVALID_FUNCTION && code != ERROR_INVALID_HANDLE)
            return writeProblem(code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL
                                    ? QFileDevice::ResourceError
                                    : QFileDevice::WriteError,
                                qt_error_string(int(code)));
    }
#endif
    return {};
}

QString writeProblem(const QFileDevice& file) {
    const QString said = file.errorString();
    if (said.isEmpty() || said == QLatin1String("Unknown error")) {
        const QStorageInfo disk(QFileInfo(file.fileName()).absolutePath());
        if (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < 64 * 1024)
            return QStringLiteral("the disk is full");
    }
    return writeProblem(file.error(), said);
}

QString writeProblem(QFileDevice::FileError error, const QString& errorString) {
    if (error == QFileDevice::ResourceError || errorString.contains(QLatin1String("No space")))
        return QStringLiteral("the disk is full");
    // Said as what it is, not as a file held open by another program.
    // ("File name too long"; Windows: "The filename or extension is too long.")
    if (errorString.contains(QLatin1String("too long")))
        return QStringLiteral("the file's name is too long for the disk: please choose a shorter "
                              "one");
    // Putting the new file in place of the old one fails on Windows while
    // another program holds the old one open.
    if (error == QFileDevice::RenameError)
        return QStringLiteral("the file could not be replaced; another program (a spreadsheet or "
                              "PDF reader) may have it open (%1)")
            .arg(errorString);
    if (error == QFileDevice::PermissionsError ||
        errorString.contains(QLatin1String("Access is denied")) ||
        errorString.contains(QLatin1String("ermission denied")) ||
        errorString.contains(QLatin1String("not permitted")) ||
        errorString.contains(QLatin1String("not writable")) ||
        errorString.contains(QLatin1String("Read-only")))
        return QStringLiteral("Pellamy may not write there: the file, or the folder it is in, "
                              "is read-only");
    if (errorString.isEmpty() || errorString == QLatin1String("Unknown error"))
        return QStringLiteral("the disk could not be written");
    return QStringLiteral("the disk could not be written (%1)").arg(errorString);
}

} // namespace pellamy
