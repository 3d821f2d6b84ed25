#pragma once
// Handing result.txt to the user's e-mail program: a new message with the
// file's full path as its subject, a line of text and the file attached.

#include <QString>

#include <functional>

namespace pellamy {

class MailLauncher {
public:
    // Called with the reason, in words, when no message could be opened.
    using Failed = std::function<void(const QString& reason)>;

    virtual ~MailLauncher() = default;
    // Starts the hand-off and returns without waiting for the e-mail
    // program; failed is called (then or later) when it does not succeed.
    virtual void send(const QString& subject, const QString& body, const QString& attachment,
                      Failed failed) = 0;
};

// The desktop's e-mail program: xdg-email on Linux and other free desktops,
// the mailto: link with the attachment keystrokes on Windows.
class DesktopMailLauncher : public MailLauncher {
public:
    void send(const QString& subject, const QString& body, const QString& attachment,
              Failed failed) override;
};

// The file a message is to attach: a copy of the attachment under the same
// name in a fresh folder of its own, so that a message not yet sent keeps
// its own result, in the user's cache (where copies a week old are removed)
// or else the temporary folder; never in a folder whose path holds a single
// quote, a comma or a backslash, which xdg-email's hand-off to Thunderbird
// breaks on. The attachment itself when no copy can be made.
QString attachmentCopy(const QString& attachment);

// Why xdg-email ended as it did, in words; empty when it succeeded.
QString xdgEmailFailure(int exitCode, bool crashed, const QString& errorOutput);

} // namespace pellamy
