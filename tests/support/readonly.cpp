#include "readonly.h"

#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace testsupport {

namespace {

bool setImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

} // namespace

ReadOnly::ReadOnly(const QString& path) : path_(path) {
    if (::geteuid() == 0) {
        immutable_ = ok_ = setImmutable(path, true);
        return;
    }
    permissions_ = unsigned(QFile::permissions(path));
    ok_ = QFile::setPermissions(
        path, QFile::Permissions(permissions_) &
                  ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther));
}

ReadOnly::~ReadOnly() {
    if (immutable_)
        setImmutable(path_, false);
    else if (ok_)
        QFile::setPermissions(path_, QFile::Permissions(permissions_));
}

} // namespace testsupport
