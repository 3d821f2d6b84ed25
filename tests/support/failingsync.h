#pragma once
// While one lives, this process's requests to put a file on the disk fail as
// a full network share or a failing disk refuses them: every write was
// taken, and only the sync says the data never reached the disk.

#include <cerrno>

namespace testsupport {

struct FailingSync {
    explicit FailingSync(int error = EIO);
    ~FailingSync();
    FailingSync(const FailingSync&) = delete;
    FailingSync& operator=(const FailingSync&) = delete;
};

} // namespace testsupport
