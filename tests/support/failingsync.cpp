// The system's fsync and fdatasync, standing in for the C library's in the
// test program, so that a sync can be made to fail with an I/O error.
#include "support/failingsync.h"

#include <atomic>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
std::atomic<int> failing{0}; // the error said, or none

int syncOrFail(long call, int fd) {
    if (failing) {
        errno = failing;
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
FailingSync::FailingSync(int error) {
    failing = error;
}
FailingSync::~FailingSync() {
    failing = 0;
}
} // namespace testsupport
