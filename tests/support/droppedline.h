#pragma once
// While one lives, the first statement this process sends to a PostgreSQL
// server that begins with the text given finds the line gone: the
// connection's socket is shut just before it is sent, as a network dropped
// or a server restarted at that moment leaves it.

namespace testsupport {

struct DroppedLine {
    explicit DroppedLine(const char* statementStart); // a string literal: kept, not copied
    ~DroppedLine();
    DroppedLine(const DroppedLine&) = delete;
    DroppedLine& operator=(const DroppedLine&) = delete;
};

} // namespace testsupport
