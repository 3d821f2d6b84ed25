// The e-mail hand-off through xdg-email, a real process: never waited for,
// and a failure said in words.
#include "reports/maillauncher.h"

#include "support/testing.h"

#include <QProcess>
#include <QTest>

#include <optional>

namespace {

// An xdg-email of the test's own, first on the PATH.
struct FakeXdgEmail {
    explicit FakeXdgEmail(const QByteArray& body) {
        writeFile(dir.filePath("xdg-email"), "#!/bin/sh\n" + body, true);
        qputenv("PATH", dir.path().toUtf8() + ":" + path);
    }
    ~FakeXdgEmail() { qputenv("PATH", path); }
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir dir{programsFolderTemplate()};
};

} // namespace

TEST(MailHandOff, AnEmailProgramThatKeepsRunningDoesNotHoldTheWindow) {
    FakeXdgEmail fake("echo $$ > \"$(dirname \"$0\")/running\"\nexec sleep 600\n");
    std::optional<QString> failure;
    DesktopMailLauncher().send("subject", "body", "/tmp/result.txt",
                               [&](const QString& reason) { failure = reason; });
    // send() has returned with the e-mail program still running.
    const QString running = fake.dir.filePath("running");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QFile::exists(running) && QFile(running).size() > 0; }));
    EXPECT_FALSE(failure);
    QProcess::execute("kill", {QString::fromLatin1(fileBytes(running).trimmed())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); })); // its end is still heard
}

TEST(MailHandOff, AFailureIsSaidInWords) {
    const struct {
        QByteArray script;
        QString reason;
    } cases[] = {
        {"echo 'xdg-email: no method available for opening mailto:?subject=%2Ftmp' >&2; exit 3\n",
         "no e-mail program is set up on this computer."},
        {"echo 'noise' >&2; echo 'gio: no handler' >&2; exit 4\n",
         "the e-mail program could not open a new message (it said: gio: no handler)."},
        {"kill -9 $$\n", "xdg-email stopped before it could open a message."},
    };
    for (const auto& c : cases) {
        FakeXdgEmail fake(c.script);
        std::optional<QString> failure;
        DesktopMailLauncher().send("subject", "body", "/tmp/result.txt",
                                   [&](const QString& reason) { failure = reason; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); }));
        EXPECT_EQ(*failure, c.reason);
    }
    // No xdg-email at all.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    std::optional<QString> failure;
    DesktopMailLauncher().send("s", "b", "a", [&](const QString& reason) { failure = reason; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); }));
    qputenv("PATH", path);
    EXPECT_TRUE(failure->endsWith("on Debian it comes with the package xdg-utils."))
        << failure->toStdString();
}
