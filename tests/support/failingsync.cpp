// The system's fsync and fdatasync, standing in for the C library's in the
// test program, so that a sync can be made to fail with an I/O error.
#include "support/failingsync.h"

#include <atomic>
#include <cerrno>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
std::atomic<bool> failing{false};

int syncOrFail(long call, int fd) {
    if (failing) {
        errno = EIO;
        return -1;
    }
    return int(::syscall(call, fd));
}
} // namespace

extern "C" int fsync(int fd) {
    return syncOrFail(SYS_fsync, fd);
}
extern "C" int fdatasync(int fd) {
    return syncOrFail(SYS_fdatasync, fd);
}

namespace testsupport {
FailingSync::FailingSync() {
    failing = true;
}
FailingSync::~FailingSync() {
    failing = false;
}
} // namespace testsupport
