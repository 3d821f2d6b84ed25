#pragma once
// The e-mail hand-off on Windows, written against the Windows API only.

#include <functional>
#include <string>

namespace pellamy {

// Opens "mailto:?subject=<path>&body=<body>" with the default e-mail program,
// waits up to 30 seconds for a new window titled with the path, then types
// Alt+I, A, the path, Tab, Tab, Enter into the active window to attach the
// file. False, with the reason, when no e-mail program takes the link or
// the window never appeared. The texts are UTF-8.
bool sendMailWindows(const std::string& subject, const std::string& body,
                     const std::string& attachment, std::string& error);

// The same on a thread of its own, so that the program never waits for the
// e-mail program: failed is called, on that thread, with the reason when no
// message could be opened. While one is being opened, another is let go,
// and failed is called for it at once.
void sendMailWindowsInBackground(std::string subject, std::string body, std::string attachment,
                                 std::function<void(const std::string&)> failed);

} // namespace pellamy
