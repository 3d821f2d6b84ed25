#pragma once
// Limits the size of any file this process writes, as a full disk or a quota
// stops a write part-way, until destroyed. The write then fails instead of
// the process being killed.

#include <csignal>
#include <sys/resource.h>

namespace testsupport {

struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit limited = before;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    rlimit before{};
};

} // namespace testsupport
