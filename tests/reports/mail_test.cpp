// The e-mail hand-off through xdg-email, a real process: never waited for,
// and a failure said in words.
#include "reports/maillauncher.h"

#include "support/testing.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <optional>

namespace {

// An xdg-email of the test's own, first on the PATH.
struct FakeXdgEmail {
    explicit FakeXdgEmail(const QByteArray& body) {
        writeFile(dir.filePath("xdg-email"), "#!/bin/sh\n" + body, true);
    }
    QTemporaryDir dir{programsFolderTemplate()};
    EnvSet path{"PATH", dir.path().toUtf8() + ":" + qgetenv("PATH")};
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
        {"kill -9 $$\n", "xdg-email stopped before it could open a message."}};
    for (const auto& c : cases) {
        FakeXdgEmail fake(c.script);
        std::optional<QString> failure;
        DesktopMailLauncher().send("subject", "body", "/tmp/result.txt",
                                   [&](const QString& reason) { failure = reason; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); }));
        EXPECT_EQ(*failure, c.reason);
    }
    EXPECT_EQ(xdgEmailFailure(0, false, "noise"), QString()); // handed over: nothing to say
    const EnvSet noXdgEmail("PATH", "/nonexistent");
    std::optional<QString> failure;
    DesktopMailLauncher().send("s", "b", "a", [&](const QString& reason) { failure = reason; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); }));
    EXPECT_TRUE(failure->endsWith("on Debian it comes with the package xdg-utils."))
        << failure->toStdString();
}

// Thunderbird takes xdg-email's attachment between single quotes in a list
// that commas divide: a result whose path holds either goes as a copy, each
// message's its own, from a folder whose path holds neither.
TEST(MailHandOff, AResultIsAttachedFromAPathThunderbirdReadsWhole) {
    FakeXdgEmail fake("[ \"$1\" = --utf8 ] || exit 9\n"
                      "while [ \"$1\" != --attach ]; do shift; done\n"
                      "printf '%s\\n' \"$2\" >> \"$(dirname \"$0\")/attached\"\n");
    QTemporaryDir cache;
    const EnvSet cacheHome("XDG_CACHE_HOME", cache.path().toUtf8());
    QStringList sent;
    const char* const folders[] = {"Northfield HS", "O'Hara's loft", "Northfield, Ayton",
                                   "O'Hara's loft", "Club\\new",     "Northfield HS"};
    for (const char* folder : folders) {
        const QString result = fake.dir.filePath(QString::fromUtf8(folder) + "/result.txt");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(result).path()));
        const QByteArray text = QByteArray::number(sent.size()) + " result of " + folder;
        writeFile(result, text);
        DesktopMailLauncher().send("subject", "body", result, [](const QString&) {});
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return fileBytes(fake.dir.filePath("attached")).count('\n') > sent.size(); }));
        sent = QString::fromUtf8(fileBytes(fake.dir.filePath("attached"))).trimmed().split(u'\n');
        const QString attached = sent.last();
        EXPECT_NE(attached, result) << folder;
        EXPECT_FALSE(attached.contains(u'\'') || attached.contains(u',') ||
                     attached.contains(u'\\'))
            << folder;
        EXPECT_EQ(QFileInfo(attached).fileName(), "result.txt");
        EXPECT_EQ(fileBytes(attached), text);
    }
    // A message not yet sent keeps its own result when the next race is e-mailed.
    EXPECT_EQ(fileBytes(sent[0]), "0 result of Northfield HS");
    EXPECT_EQ(fileBytes(sent[1]), "1 result of O'Hara's loft");
}
