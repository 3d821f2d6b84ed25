// The printed sheets and the e-mailed result.

#include "pellamy.h"

#include "ui_pellamy.h"

#include "calc/filewrite.h"
#include "calc/textforms.h"
#include "racefile/recovery.h"
#include "reports/copies.h"
#include "reports/maillauncher.h"
#include "reports/sheetprinter.h"
#include "reports/sheets.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>

namespace pellamy {

namespace {

const QString kTitle = QStringLiteral("Pellamy");

} // namespace

void Pellamy::setPrinter(SheetPrinter* printer) {
    printer_ = printer;
}

void Pellamy::setMailLauncher(MailLauncher* launcher) {
    mailer_ = launcher;
}

SheetPrinter& Pellamy::printer() {
    if (!printer_) {
        ownPrinter_ = std::make_unique<QtSheetPrinter>();
        printer_ = ownPrinter_.get();
    }
    return *printer_;
}

MailLauncher& Pellamy::mailLauncher() {
    if (!mailer_) {
        ownMailer_ = std::make_unique<DesktopMailLauncher>();
        mailer_ = ownMailer_.get();
    }
    return *mailer_;
}

SheetDetails Pellamy::sheetDetails() const {
    SheetDetails d;
    static_cast<RaceDetails&>(d) = raceDetails();
    if (namesSource_)
        std::tie(d.club, d.fed) = namesSource_();
    // The race and setting dates as worked out with the last bird; before a
    // bird is clocked or a race is opened, the pickers' (the hidden boxes
    // hold their own names then, which would print as a date).
    static const QRegularExpression eightDigits(QStringLiteral("^\\d{8}$"));
    const auto date = [](const QLineEdit* box, const QDateTimeEdit* picker) {
        return eightDigits.match(box->text()).hasMatch() ? box->text()
                                                         : eightDigitDate(picker->date());
    };
    d.txtdaterace = date(ui_->txtdaterace, ui_->RaceDay);
    d.txtdateset = date(ui_->txtdateset, ui_->DayClockSet);
    return d;
}

void Pellamy::Clubprint_Click() {
    printSheet(false);
}

void Pellamy::CmdPrint_Click() {
    printSheet(true);
}

void Pellamy::printSheet(bool federation) {
    entries_.renumber();
    QLineEdit* copiesBox = federation ? ui_->txtcopies : ui_->txtcopies2;
    const Copies copies = copiesFrom(copiesBox->text());
    if (!copies.ok) {
        // Which of the two boxes (nought or less prints one copy).
        dialogs_->message(
            QStringLiteral("The number of copies of the %1 sheet must be a number up "
                           "to 32767. Nothing has been printed.")
                .arg(federation ? QStringLiteral("federation") : QStringLiteral("club")),
            kTitle);
        return;
    }
    if (copies.resetToOne)
        copiesBox->setText(QStringLiteral("1"));

    const SheetDetails details = sheetDetails();
    const PrintDocument document = federation
                                       ? federationSheet(details, entries_.rows(), copies.count)
                                       : clubSheet(details, entries_.rows(), copies.count);
    const QString problem = printOrSavePdf(
        printer(), document, [&](const QString& q) { return dialogs_->askYesNo(q, kTitle); },
        [&] { return chooseFileToSave(*dialogs_, QStringLiteral("PDF Files (*.pdf)"), kTitle); });
    if (!problem.isEmpty())
        dialogs_->message(problem, kTitle);
}

QString Pellamy::resultFileName() const {
    // A copy beyond those that keep a record takes a name of its own too.
    if (recovery_->everyRecordHeld())
        return QStringLiteral("result-%1.txt").arg(QCoreApplication::applicationPid());
    return recovery_->firstRunning()
               ? QStringLiteral("result.txt")
               : QStringLiteral("result-%1.txt").arg(recovery_->recordNumber());
}

QString Pellamy::resultElsewhere() const {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty()
               ? QString()
               : fileInFolder(fileInFolder(documents, QStringLiteral("Pellamy")), resultFileName());
}

void Pellamy::Command2_Click() {
    entries_.renumber();
    QString path = QDir::toNativeSeparators(fileInFolder(folder_, resultFileName()));
    // Written in place when the program folder is read-only but result.txt
    // itself is not.
    const QByteArray result = resultText(sheetDetails(), entries_.rows());
    const FileWrite written = writeWholeFile(path, result);
    if (!written.ok()) {
        // Beside a program installed by another user: in a folder of
        // Pellamy's own in the user's documents, so that the result can
        // still be sent.
        const QString instead = QDir::toNativeSeparators(resultElsewhere());
        // Compared by their folders: two files that are not there yet would
        // be taken for one.
        const auto folderOf = [](const QString& file) {
            const QFileInfo folder(QFileInfo(file).absolutePath());
            return folder.exists() ? folder.canonicalFilePath() : folder.absoluteFilePath();
        };
        FileWrite there;
        if (instead.isEmpty())
            there.problem = QStringLiteral("there is no documents folder");
        else if (folderOf(instead) == folderOf(path))
            there.problem = written.problem; // the program's folder is that one
        else if (!QDir().mkpath(QFileInfo(instead).absolutePath()))
            there.problem = QStringLiteral("its folder could not be made");
        else
            there = writeWholeFile(instead, result);
        if (!there.ok()) {
            const QString neither =
                instead.isEmpty()
                    ? QStringLiteral("and there is no documents folder to write it to instead")
                    : QStringLiteral("nor to %1, because %2").arg(instead, there.problem);
            dialogs_->message(QStringLiteral("The result could not be written to %1, because %2, "
                                             "%3, so no e-mail has been started.")
                                  .arg(path, written.problem, neither),
                              kTitle);
            return;
        }
        dialogs_->message(QStringLiteral("The result could not be written to %1, because %2, so "
                                         "it was written to %3 instead.")
                              .arg(path, written.problem, instead),
                          kTitle);
        path = instead;
    }
    // The hand-off runs on its own; a failure is said when it comes, if the
    // window is still there.
    mailLauncher().send(
        path, QStringLiteral("Please find attached this weeks race result"), path,
        [this, alive = QPointer<Pellamy>(this), path](const QString& reason) {
            if (!alive)
                return;
            dialogs_->message(
                QStringLiteral("The result could not be handed to your e-mail program: %1\nThe "
                               "result is in %2: please attach it to a message "
                               "yourself.")
                    .arg(reason, path),
                kTitle);
        });
}

} // namespace pellamy
