// libpq's PQsendQuery, by which Qt's driver sends a statement, standing in
// for the library's in the test program (which exports it, so that the
// driver, loaded later, calls this one).
#include "support/droppedline.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/socket.h>

namespace {
std::atomic<const char*> dropBefore{nullptr};

// The driver has loaded libpq by the time it sends a statement.
void* libpq(const char* symbol) {
    static void* const library = ::dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
    void* found = library ? ::dlsym(library, symbol) : nullptr;
    if (!found)
        std::abort();
    return found;
}
} // namespace

extern "C" {
struct pg_conn;

int PQsendQuery(pg_conn* connection, const char* statement) {
    const char* start = dropBefore;
    if (start && std::strncmp(statement, start, std::strlen(start)) == 0 &&
        dropBefore.compare_exchange_strong(start, nullptr)) {
        const auto socketOf = reinterpret_cast<int (*)(const pg_conn*)>(libpq("PQsocket"));
        ::shutdown(socketOf(connection), SHUT_RDWR);
    }
    return reinterpret_cast<int (*)(pg_conn*, const char*)>(libpq("PQsendQuery"))(connection,
                                                                                  statement);
}
}

namespace testsupport {
DroppedLine::DroppedLine(const char* statementStart) {
    dropBefore = statementStart;
}
DroppedLine::~DroppedLine() {
    dropBefore = nullptr;
}
} // namespace testsupport
