// Saving the race to a file and opening a race from one.

#include "pellamy.h"

#include "ui_pellamy.h"

#include "calc/filewrite.h"
#include "calc/nightcounts.h"
#include "calc/raceentry.h"
#include "calc/textforms.h"
#include "racefile/racefile.h"
#include "racefile/recovery.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <utility>
#include <vector>

namespace pellamy {

namespace {

const QString kFilter = QStringLiteral("Text Files (*.txt)");
const QString kTitle = QStringLiteral("Pellamy");

// Whether two names stand for one file, there or not yet (letter case aside
// where the file system ignores it).
bool sameFile(const QString& a, const QString& b) {
    const QFileInfo one(a), other(b);
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    const Qt::CaseSensitivity letterCase = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity letterCase = Qt::CaseSensitive;
#endif
    if (one.exists() && other.exists())
        return one.canonicalFilePath().compare(other.canonicalFilePath(), letterCase) == 0;
    return QDir::cleanPath(one.absoluteFilePath())
               .compare(QDir::cleanPath(other.absoluteFilePath()), letterCase) == 0;
}

// A race file by the name it is known by, the same for every name of it.
QString fileKey(const QString& path) {
    const QFileInfo file(path);
    return file.exists() ? file.canonicalFilePath() : QDir::cleanPath(file.absoluteFilePath());
}

QByteArray bytesHash(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// The hash of a file's bytes as they are now; empty when it cannot be read
// or is no plain file (a device reads without end).
QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result() : QByteArray();
}

} // namespace

void Pellamy::cmdsave_Click() {
    entries_.renumber();
    if (saveRace()) {
        recovery_->markSaved();
        markPrintedDetailsKept();
    }
    ui_->member->show();
}

bool Pellamy::saveRace() {
    QString path = dialogs_->saveFileName(kFilter);
    if (path.isEmpty()) {
        dialogs_->message(QStringLiteral("You have not chosen a filename, Please try again."),
                          kTitle);
        return false;
    }
    // Pellamy's own text files beside it are no place for a race: the next
    // Email Result writes over result.txt (result-2.txt for a second copy
    // running), the sheets are headed with what club.txt and fed.txt hold,
    // and server.txt says how to reach the federation's server. Refused as
    // the name will be with ".txt", before replacing it is asked about.
    const QString named =
        QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0
            ? path
            : path + QStringLiteral(".txt");
    std::vector<std::pair<QString, const char*>> own = {
        {QStringLiteral("result.txt"), "the result it e-mails"},
        {QStringLiteral("club.txt"), "the club's name"},
        {QStringLiteral("fed.txt"), "the federation's name"},
        {QStringLiteral("server.txt"), "the federation server's address"}};
    for (int n = 2; n <= kMostRecoveryRecords; ++n)
        own.push_back({QStringLiteral("result-%1.txt").arg(n), "the result it e-mails"});
    const QString elsewhere = resultElsewhere();
    for (const auto& [name, what] : own)
        if (sameFile(named, fileInFolder(folder_, name)) ||
            (!elsewhere.isEmpty() && QFileInfo(elsewhere).fileName() == name &&
             sameFile(named, elsewhere))) {
            dialogs_->message(QStringLiteral("The race was not saved: %1 is where Pellamy keeps "
                                             "%2. Please save the race under another name.")
                                  .arg(QDir::toNativeSeparators(named), QString::fromLatin1(what)),
                              kTitle);
            return false;
        }
    // A name that does not end in ".txt" gets it, so that the race is listed
    // where races are opened.
    path = withFilterSuffix(*dialogs_, path, kFilter, kTitle);
    if (path.isEmpty())
        return false;
    // An empty list saved over a race (after Pellamy was started afresh, or
    // Clear List) would leave an empty file where the race was.
    if (entries_.count() == 0 && QFileInfo(path).size() > 0 &&
        !dialogs_->askYesNo(QStringLiteral("There are no birds in the list. Replace %1, which "
                                           "holds a race, with an empty race file?")
                                .arg(QDir::toNativeSeparators(path)),
                            kTitle, false))
        return false;
    // The race file opened or saved here, changed since by another copy of
    // Pellamy on the folder (a bird added there and saved): replaced unasked,
    // what was saved there would be lost.
    if (const QByteArray known = raceFiles_.value(fileKey(path)),
        now = known.isEmpty() ? QByteArray() : fileHash(path);
        !known.isEmpty() && !now.isEmpty() && now != known &&
        !dialogs_->askYesNo(
            QStringLiteral("%1 has been changed since it was opened or saved here, by another "
                           "copy of Pellamy or another program. Saving now replaces what was "
                           "saved there. Replace it all the same? (No leaves the race on screen "
                           "not saved: save it under another name to keep both.)")
                .arg(QDir::toNativeSeparators(path)),
            kTitle, false))
        return false;
    takeTypedDetails();
    // The file is replaced only once the whole race is written, so a save
    // that fails part-way leaves the previous file as it was.
    const RaceFileWrite written = raceFileBytes(entries_.rows());
    if (!written.tooLongEntries.isEmpty()) {
        dialogs_->message(
            QStringLiteral("The race was not saved: %1 would be longer than a race file's line "
                           "may be (%2 characters), and the file would not open again. Please "
                           "shorten the comments.")
                .arg(entriesText(written.tooLongEntries, entries_.count()))
                .arg(kLongestRaceFileLine),
            kTitle);
        return false;
    }
    const FileWrite file = writeWholeFile(path, written.bytes);
    // A name in a folder that is there is a name chosen: why it could not
    // be written is said below.
    if (!file.opened && !QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
        dialogs_->message(QStringLiteral("You have not chosen a filename, Please try again."),
                          kTitle);
        return false;
    }
    if (!file.ok()) {
        dialogs_->message(QStringLiteral("The race was not saved to %1, because %2. The race is "
                                         "still on screen: please save it somewhere else.")
                              .arg(QDir::toNativeSeparators(path), file.problem),
                          kTitle);
        return false;
    }
    // What was written otherwise than it stands, entry by entry.
    const std::pair<const QVector<int>&, QString> changed[] = {
        {written.commaEntries,
         QStringLiteral("The race was saved. In %1 a comma was saved as a semicolon, so that the "
                        "race file reads back whole.")},
        {written.controlEntries,
         QStringLiteral("The race was saved. Characters that are not text (pasted from another "
                        "program) in %1 were saved as blanks, so that the race file reads back "
                        "whole.")},
    };
    raceFiles_.insert(fileKey(path), bytesHash(written.bytes));
    for (const auto& [entries, text] : changed)
        if (!entries.isEmpty())
            dialogs_->message(text.arg(entriesText(entries, entries_.count())), kTitle);
    return true;
}

void Pellamy::cmdopen_Click() {
    openRace();
    ui_->member->show();
}

void Pellamy::openRace() {
    // A race on screen with changes not saved is not replaced without asking.
    if (entries_.count() > 0 && (recovery_->unsaved() || printedDetailsTyped()) &&
        !dialogs_->askYesNo(QStringLiteral("The race on screen has changes that have not been "
                                           "saved to a file. Open another race without saving "
                                           "them?"),
                            kTitle, false))
        return;
    // The file is chosen and read before anything on screen changes, so a
    // cancelled or failed choice leaves the race as it was.
    const QString path = dialogs_->openFileName(kFilter);
    if (path.isEmpty())
        return;
    if (!QFileInfo(path).isFile()) {
        dialogs_->message(QStringLiteral("You have chosen a wrong race date, Please try again."),
                          kTitle);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        dialogs_->message(QStringLiteral("The race file %1 could not be read (%2).")
                              .arg(QDir::toNativeSeparators(path), file.errorString()),
                          kTitle);
        return;
    }
    // The file is checked whole first, then read a piece at a time: a large
    // race is never held as bytes and entries at once. One whose line ends
    // were changed to LF on the way, or whose comments an older program kept
    // on two lines (CR LF inside), is read from its lines put right, held
    // whole (such a file comes from an e-mail or another computer, not from
    // a federation's race of many thousand birds).
    QByteArray putRight;
    bool cutShort = false, zeroFilled = false;
    const auto readWhole = [&] {
        if (file.error() == QFileDevice::NoError)
            return true;
        dialogs_->message(QStringLiteral("The race file %1 could not be read whole (%2). The race "
                                         "on screen has not been changed.")
                              .arg(QDir::toNativeSeparators(path), file.errorString()),
                          kTitle);
        return false;
    };
    {
        QString why = tooLargeForARaceFile(file.size());
        QByteArray bytes = why.isEmpty() ? file.readAll() : QByteArray();
        if (!readWhole())
            return;
        // The entries before a zero-filled end are read, held whole.
        if (const qsizetype kept = beforeZeroFilledEnd(bytes); kept > 0 && kept < bytes.size()) {
            bytes.truncate(kept);
            zeroFilled = true;
        }
        if (why.isEmpty())
            why = notARaceFile(bytes);
        if (!why.isEmpty()) {
            dialogs_->message(QStringLiteral("%1 is not a race file: it %2. The race on screen "
                                             "has not been changed.")
                                  .arg(QDir::toNativeSeparators(path), why),
                              kTitle);
            return;
        }
        if (needsRaceFileLines(bytes))
            putRight = raceFileLines(bytes);
        else if (zeroFilled)
            putRight = bytes;
        cutShort = endsPartWayThroughAnEntry(putRight.isEmpty() ? bytes : putRight);
    }
    RaceFileRead read;
    if (putRight.isEmpty()) {
        file.seek(0);
        read = readRaceFile(file);
        if (!readWhole())
            return;
    } else {
        read = readRaceFile(std::exchange(putRight, {}));
    }
    file.close();
    // A line of blanks (an edit in Notepad), or of its position alone (as a
    // save numbered one), holds no bird: left out, lest it be placed and
    // printed as one. The last line of a file cut short stays, to be seen.
    // The list is numbered afresh, so that the entries said below are
    // numbered as it shows them.
    const auto leftOutAt = [&](qsizetype i) {
        return holdsNoBird(read.entries, i) &&
               !((cutShort || zeroFilled) && i + 1 == read.entries.size());
    };
    bool leftOut = false;
    for (qsizetype i = 0; i < read.entries.size() && !leftOut; ++i)
        leftOut = leftOutAt(i);
    if (leftOut) {
        QVector<int> numberShown(read.entries.size() + 1, 0);
        QVector<RaceEntryRow> birds;
        for (qsizetype i = 0; i < read.entries.size(); ++i)
            if (!leftOutAt(i)) {
                birds << read.entries[i];
                numberShown[i + 1] = int(birds.size());
            }
        for (int& number : read.overlongEntries)
            number = numberShown.value(number, number);
        read.entries = std::move(birds);
    }

    for (QLineEdit* box : {ui_->txtbirds, ui_->txtwind, ui_->mtdetailset, ui_->mtreadset,
                           ui_->mtdetailrake, ui_->mtreadrake})
        box->clear();
    ui_->txtcomments->clear();
    setWindowTitle(QString());
    clearSelectedEntry();
    entries_.clear();
    entries_.appendAll(std::move(read.entries));
    if (leftOut)
        entries_.renumber();
    if (const RaceEntryRow* first = firstRaceEntry(entries_.rows()))
        restoreRaceDetails(first->columns());
    markPrintedDetailsKept();
    recovery_->markOpened();
    raceFiles_.insert(fileKey(path), fileHash(path));

    if (zeroFilled)
        dialogs_->message(QStringLiteral("The race file %1 ends in bytes of nought, as a file "
                                         "copied while the power went or a memory stick was "
                                         "pulled out does: entries at its end may be missing or "
                                         "incomplete. Please check it.")
                              .arg(QDir::toNativeSeparators(path)),
                          kTitle);
    else if (cutShort)
        dialogs_->message(QStringLiteral("The race file %1 ends part-way through a line, as a file "
                                         "cut short when it was copied does: its last entry may "
                                         "be incomplete. Please check it.")
                              .arg(QDir::toNativeSeparators(path)),
                          kTitle);
    // Lines broken in a text editor or a spreadsheet, whose pieces would
    // stand as birds, and clock times a spreadsheet made dates of.
    const QVector<int> cut = shortEntries(entries_.rows(), zeroFilled || cutShort);
    const QVector<int> datedTimes = entriesWithDatedTimes(entries_.rows());
    // "Entry 2 of the race file … holds … and is", "Entries 2, 5 … hold … and
    // are", "Every entry … holds … and is".
    const auto sayOfEntries = [&](const QVector<int>& numbers, const QString& message) {
        QString text = entriesText(numbers, entries_.count());
        text.front() = text.front().toUpper();
        const bool many = text.startsWith(QLatin1String("Entries"));
        dialogs_->message(message.arg(text, QDir::toNativeSeparators(path),
                                      many ? QStringLiteral("hold") : QStringLiteral("holds"),
                                      many ? QStringLiteral("are") : QStringLiteral("is")),
                          kTitle);
    };
    if (!cut.isEmpty())
        sayOfEntries(cut, QStringLiteral("%1 of the race file %2 %3 fewer than a race entry's 39 "
                                         "fields (a line broken in a text editor or a "
                                         "spreadsheet, say), and %4 shown as read, with figures "
                                         "perhaps in the wrong columns. Please put the file right "
                                         "before printing or saving the race."));
    if (!datedTimes.isEmpty())
        dialogs_->message(
            QStringLiteral("The clock times of %1 of the race file %2 are not written "
                           "as Pellamy writes them (a spreadsheet may have made "
                           "dates of them): please check them against the clock "
                           "sheets before printing the race.")
                .arg(entriesText(datedTimes, entries_.count()), QDir::toNativeSeparators(path)),
            kTitle);
    if (!read.overlongEntries.isEmpty())
        sayOfEntries(read.overlongEntries,
                     QStringLiteral("%1 of the race file %2 %3 more than a race entry's 39 fields "
                                    "(a comma typed inside a name or comment, say), and %4 shown "
                                    "with the first 39: what follows that comma may stand in the "
                                    "wrong columns. Please put the file right before printing or "
                                    "saving the race."));
}

void Pellamy::startRecovery() {
    recovery_ = std::make_unique<RaceRecovery>(folder_, entries_);
    const auto warn = [this] {
        const QString why =
            recovery_->path().isEmpty()
                ? recovery_->error()
                : QStringLiteral("the recovery file %1 cannot be written: %2")
                      .arg(QDir::toNativeSeparators(recovery_->path()), recovery_->error());
        dialogs_->message(QStringLiteral("The race on screen cannot be kept safe in case Pellamy "
                                         "stops unexpectedly, because %1. Please save the race "
                                         "to a file often.")
                              .arg(why),
                          kTitle);
    };
    connect(recovery_.get(), &RaceRecovery::failed, this, warn);
    connect(recovery_.get(), &RaceRecovery::clearedNotKept, this, [this](const QString& why) {
        dialogs_->message(
            QStringLiteral("The race cleared had not been saved, and it could not "
                           "be kept as %1, because %2.")
                .arg(QDir::toNativeSeparators(recovery_->path() + QStringLiteral(".cleared")), why),
            kTitle);
    });
    const bool cannotRecord = !recovery_->error().isEmpty();

    const RecoveredRace& found = recovery_->found();
    const bool offered = found.toOffer();
    QString damaged;
    if (recovery_->foundDamaged()) {
        damaged = (offered ? QStringLiteral("Part of the recovery file %1 was damaged, so the race "
                                            "in it could be read only as far as the damage.")
                           : QStringLiteral("The recovery file %1 was damaged, and no race could "
                                            "be read from it."))
                      .arg(QDir::toNativeSeparators(recovery_->path()));
        const QString kept = recovery_->damagedKeptAs();
        damaged += kept.isEmpty() ? QStringLiteral(" It could not be kept whole beside it.")
                                  : QStringLiteral(" The file is kept whole as %1.")
                                        .arg(QDir::toNativeSeparators(kept));
    }
    if (!damaged.isEmpty() && !offered)
        dialogs_->message(damaged, kTitle);
    bool restored = false;
    if (offered) {
        // The race named by its race point and day, as the secretary knows
        // it: two copies on one folder may each have left one.
        const RaceEntryRow* details = firstRaceEntry(found.entries);
        const RaceEntryRow& first = details ? *details : found.entries.first();
        QStringList race{first.text(Col::Racepoint)};
        if (const std::optional<QDateTime> day = readDateText(first.text(Col::RaceDate)))
            race << day->date().toString(QStringLiteral("dd/MM/yyyy"));
        race.removeAll(QString());
        race << countText(found.entries.size(), "entry", "entries");
        const QString offer =
            found.ended ? QStringLiteral("Pellamy was closed last time with the race on screen "
                                         "(%1) not saved to a file. Would you like to bring it "
                                         "back?")
                        : QStringLiteral("Pellamy was not closed properly last time, and the race "
                                         "on screen then (%1) had not been saved to a file. Would "
                                         "you like to bring it back?");
        // Escape or the close box brings the race back too: only No, said
        // plainly, sets aside what may be the only copy of a race.
        const QString asked = offer.arg(race.join(QStringLiteral(", "))) +
                              (damaged.isEmpty() ? QString() : QStringLiteral("\n\n") + damaged);
        if (dialogs_->askYesNoCancel(asked, kTitle).value_or(true)) {
            entries_.appendAll(found.entries);
            restoreRaceDetails(first.columns());
            markPrintedDetailsKept();
            restored = true;
        } else if (const QString why = recovery_->keepFoundAside(); !why.isEmpty()) {
            dialogs_->message(
                QStringLiteral("The race not brought back could not be kept as %1, because %2. "
                               "It stays in %3 only until the race on screen is changed.")
                    .arg(QDir::toNativeSeparators(recovery_->path() + QStringLiteral(".old")), why,
                         QDir::toNativeSeparators(recovery_->path())),
                kTitle);
        }
    }
    recovery_->start(restored);
    if (cannotRecord)
        warn();
}

void Pellamy::takeTypedDetails() {
    // The race details the sheets print besides the calculation's own are
    // often typed once the birds are in: every entry takes those typed since
    // the race was opened or saved, so that a file keeps what was printed
    // and opens with it. What was not typed stays as the entries hold it (a
    // file whose details could be restored only in part keeps the rest).
    const RecoveryGroup oneChange(*recovery_);
    for (const auto& [column, box] : printedDetailBoxes())
        if (box->isModified())
            entries_.setDetail(column, box->text());
    if (ui_->txtcomments->document()->isModified())
        entries_.setDetail(Col::Comments, ui_->txtcomments->toPlainText());
}

QVector<std::pair<int, QLineEdit*>> Pellamy::printedDetailBoxes() const {
    return {{Col::Members, ui_->txtmember}, {Col::Birds, ui_->txtbirds},
            {Col::Wind, ui_->txtwind},      {Col::MtdSet, ui_->mtdetailset},
            {Col::MtrSet, ui_->mtreadset},  {Col::MtdRake, ui_->mtdetailrake},
            {Col::MtrRake, ui_->mtreadrake}};
}

bool Pellamy::printedDetailsTyped() const {
    for (const auto& [column, box] : printedDetailBoxes())
        if (box->isModified())
            return true;
    return ui_->txtcomments->document()->isModified();
}

void Pellamy::markPrintedDetailsKept() {
    for (const auto& [column, box] : printedDetailBoxes())
        box->setModified(false);
    ui_->txtcomments->document()->setModified(false);
}

void Pellamy::restoreRaceDetails(const QStringList& first) {
    // Columns 18 to 38 in order; restoring stops at the first column the
    // entry lacks or at a date that cannot be read or lies outside the
    // pickers' range, and the controls after it keep what they hold.
    const auto takes = [this](int column, const QDateTime& date) {
        const QDateTimeEdit* picker = column == Col::SetDate     ? ui_->DayClockSet
                                      : column == Col::RaceDate  ? ui_->RaceDay
                                      : column == Col::ClockOpen ? ui_->DayClockOpen
                                                                 : ui_->DaybirdClocked;
        return date >= picker->minimumDateTime() && date <= picker->maximumDateTime();
    };
    RaceDetails details = raceDetails();
    const int read = readRaceDetails(first, details, takes);
    showRaceDetails(details);
    // The dates the sheets print, as the pickers now show them (those after
    // a date the reading stopped at are the race's on screen before).
    ui_->txtdateset->setText(eightDigitDate(ui_->DayClockSet->date()));
    ui_->txtdaterace->setText(eightDigitDate(ui_->RaceDay->date()));
    if (read < kColumnCount - Col::Members) {
        // Stopped at a date (a hand-edited file, another program's form):
        // what follows would print from the race on screen before, so it
        // is said.
        const int column = Col::Members + read;
        // The pickers not read keep their dates but take the time of day of
        // those read, so that a date put right after counts whole nights,
        // not the hours between this session's time and the file's.
        if (column > Col::SetDate) {
            const QTime time = ui_->DayClockSet->time();
            for (const auto& [picker, from] : {std::pair{ui_->RaceDay, Col::RaceDate},
                                               {ui_->DayClockOpen, Col::ClockOpen},
                                               {ui_->DaybirdClocked, Col::DayBird}}) {
                const QSignalBlocker keep(picker); // the counts read stay as the file has them
                if (from >= column)
                    picker->setTime(time);
            }
        }
        const QString date = column == Col::SetDate    ? QStringLiteral("date the clocks were set")
                             : column == Col::RaceDate ? QStringLiteral("race date")
                             : column == Col::ClockOpen
                                 ? QStringLiteral("date the clocks were opened")
                                 : QStringLiteral("date the bird was clocked");
        if (column < first.size())
            dialogs_->message(
                QStringLiteral("The race details were read only up to the %1: %2. The details "
                               "after it are not this race's; please check them before printing "
                               "or clocking more birds.")
                    .arg(date, first[column].trimmed().isEmpty()
                                   ? QStringLiteral("it is empty in the file")
                                   : QStringLiteral("\"%1\" is not a date Pellamy can take")
                                         .arg(first[column])),
                kTitle);
        return;
    }
    ui_->extraday->setText(
        nightCount(ui_->DayClockOpen->dateTime(), ui_->DaybirdClocked->dateTime()));
    QStringList heading = first; // with the liberation time as restored
    heading[Col::LibHour] = details.birdlibhrs, heading[Col::LibMinute] = details.birdlibmins;
    setWindowTitle(resultHeading(heading));
}

void Pellamy::setRacepointText(const QString& text) {
    // A race point of the list is chosen, with its members; any other text
    // is shown as it stands.
    const int index = ui_->racepoint->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index >= 0) {
        ui_->racepoint->setCurrentIndex(index);
        racepoint_Click();
    } else {
        ui_->racepoint->setEditText(text);
    }
}

} // namespace pellamy
