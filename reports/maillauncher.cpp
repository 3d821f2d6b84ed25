#include "maillauncher.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include "mail_windows.h"
#endif

namespace pellamy {

QString xdgEmailFailure(int exitCode, bool crashed, const QString& errorOutput) {
    if (!crashed && exitCode == 0)
        return QString();
    QString reason;
    if (crashed)
        reason = QStringLiteral("xdg-email stopped before it could open a message");
    else
        switch (exitCode) {
        case 1:
            reason = QStringLiteral("xdg-email did not understand what it was asked");
            break;
        case 2:
            reason = QStringLiteral("xdg-email could not find the result file");
            break;
        case 3:
            reason = QStringLiteral("no e-mail program is set up on this computer");
            break;
        case 4:
            reason = QStringLiteral("the e-mail program could not open a new message");
            break;
        default:
            reason = QStringLiteral("xdg-email failed with code %1").arg(exitCode);
            break;
        }
    // Its last line: a browser or mail program it tried may write dozens
    // before it, which would push the rest of the message off the screen.
    // Without an e-mail program it says only that, with the whole encoded
    // message address, which tells a secretary nothing more.
    const QString said =
        exitCode == 3 && !crashed ? QString() : errorOutput.trimmed().section(u'\n', -1).trimmed();
    return said.isEmpty() ? reason + u'.' : QStringLiteral("%1 (it said: %2).").arg(reason, said);
}

namespace {

bool breaksXdgEmail(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path) // typed into the message whole: any folder serves
    return false;
#else
    return path.contains(u'\'') || path.contains(u',') || path.contains(u'\\');
#endif
}

} // namespace

QString attachmentCopy(const QString& attachment) {
    // The e-mail program reads the file when the message is sent, not when
    // it is handed over: result.txt itself would be written over by the next
    // race e-mailed meanwhile.
    if (!QFileInfo::exists(attachment))
        return attachment;
    // A copy under the attachment's own name, in a new folder made from the
    // template; empty where none can be made or its path breaks it too.
    const auto copyIn = [&](const QString& folderTemplate) {
        QTemporaryDir folder(folderTemplate);
        folder.setAutoRemove(false);
        const QString copy = folder.filePath(QFileInfo(attachment).fileName());
        if (folder.isValid() && !breaksXdgEmail(QDir(folder.path()).canonicalPath()) &&
            QFile::copy(attachment, copy))
            return copy;
        folder.remove();
        return QString();
    };
    // In the user's cache, a folder of its own for each message: a message
    // not yet sent keeps its own result when the next race is e-mailed.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QDir mail(cache + QStringLiteral("/mail"));
    if (!cache.isEmpty() && mail.mkpath(QStringLiteral("."))) {
        const QDateTime weekAgo = QDateTime::currentDateTime().addDays(-7);
        for (const QFileInfo& old : mail.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (old.lastModified() < weekAgo)
                QDir(old.filePath()).removeRecursively();
        if (const QString copy = copyIn(mail.filePath(QStringLiteral("XXXXXX"))); !copy.isEmpty())
            return copy;
    }
    // Without a cache, or a home folder whose path breaks it: the temporary
    // folder, emptied when the computer starts.
    const QString copy = copyIn(QDir::tempPath() + QStringLiteral("/pellamy-mail-XXXXXX"));
    return copy.isEmpty() ? attachment : copy;
}

void DesktopMailLauncher::send(const QString& subject, const QString& body,
                               const QString& attachment, Failed failed) {
    const QString attached = attachmentCopy(attachment);
#ifdef Q_OS_WIN
    // The hand-off waits for the message window on a thread of its own; a
    // failure is said on the window's thread.
    sendMailWindowsInBackground(subject.toStdString(), body.toStdString(),
                                QDir::toNativeSeparators(attached).toStdString(),
                                [failed](const std::string& reason) {
                                    const QString text = QString::fromStdString(reason);
                                    QMetaObject::invokeMethod(
                                        QCoreApplication::instance(),
                                        [failed, text] { failed(text); }, Qt::QueuedConnection);
                                });
#else
    // The arguments go to xdg-email as a list, without a shell between, and
    // as UTF-8 whatever the locale (a folder "Zoë" would otherwise be cut at
    // its ë, and the message go without its attachment). It is never waited
    // for: an e-mail program that keeps xdg-email running while its message
    // is open leaves the calculator free all the same.
    auto* process = new QProcess;
    process->setProgram(QStringLiteral("xdg-email"));
    process->setArguments({QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
                           QStringLiteral("--body"), body, QStringLiteral("--attach"), attached});
    QObject::connect(
        process, &QProcess::errorOccurred, process,
        [process, failed](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            failed(QStringLiteral("xdg-email, which hands a message to the e-mail program, "
                                  "could not be started (%1); on Debian it comes with the package "
                                  "xdg-utils.")
                       .arg(process->errorString()));
            process->deleteLater();
        });
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int code, QProcess::ExitStatus status) {
                         const QString reason = xdgEmailFailure(
                             code, status == QProcess::CrashExit,
                             QString::fromLocal8Bit(process->readAllStandardError()));
                         if (!reason.isEmpty())
                             failed(reason);
                         process->deleteLater();
                     });
    process->start();
#endif
}

} // namespace pellamy
