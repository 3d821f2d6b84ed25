#include "maillauncher.h"

#include <QProcess>

#ifdef Q_OS_WIN
#include "mail_windows.h"
#endif

namespace pellamy {

bool DesktopMailLauncher::send(const QString& subject, const QString& body,
                               const QString& attachment, QString& error) {
#ifdef Q_OS_WIN
    std::string reason;
    // The shell and window titles take the system's 8-bit character set.
    if (!sendMailWindows(subject.toLocal8Bit().toStdString(), body.toLocal8Bit().toStdString(),
                         attachment.toLocal8Bit().toStdString(), reason)) {
        error = QString::fromLocal8Bit(reason.c_str());
        return false;
    }
    return true;
#else
    // The arguments go to xdg-email as a list, without a shell between.
    auto* process = new QProcess;
    process->setProgram(QStringLiteral("xdg-email"));
    process->setArguments({QStringLiteral("--subject"), subject, QStringLiteral("--body"), body,
                           QStringLiteral("--attach"), attachment});
    process->start();
    if (!process->waitForStarted(10000)) {
        error = QStringLiteral("xdg-email could not be started (%1).").arg(process->errorString());
        delete process;
        return false;
    }
    // xdg-email hands the message to the e-mail program and returns; one
    // that keeps it waiting is left to run.
    if (!process->waitForFinished(30000)) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool ok = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    if (!ok)
        error = QStringLiteral("xdg-email found no e-mail program to use (%1).")
                    .arg(QString::fromLocal8Bit(process->readAllStandardError()).trimmed());
    delete process;
    return ok;
#endif
}

} // namespace pellamy
