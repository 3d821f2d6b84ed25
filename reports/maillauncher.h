#pragma once
// Handing result.txt to the user's e-mail program: a new message with the
// file's full path as its subject, a line of text and the file attached.

#include <QString>

namespace pellamy {

class MailLauncher {
public:
    virtual ~MailLauncher() = default;
    // False, with the reason, when no e-mail program could be started.
    virtual bool send(const QString& subject, const QString& body, const QString& attachment,
                      QString& error) = 0;
};

// The desktop's e-mail program: xdg-email on Linux and other free desktops,
// the mailto: link with the attachment keystrokes on Windows.
class DesktopMailLauncher : public MailLauncher {
public:
    bool send(const QString& subject, const QString& body, const QString& attachment,
              QString& error) override;
};

} // namespace pellamy
