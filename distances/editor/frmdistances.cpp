#include "frmdistances.h"

#include "calc/numbers.h"
#include "distances/connection.h"
#include "distances/coordinates.h"
#include "distances/editor/frmcoordinates.h"
#include "distances/geodesic.h"
#include "distances/migration.h"
#include "distances/schema.h"
#include "distances/servercopy.h"
#include "distances/sixtieths.h"
#include "distances/upload.h"
#include "platform/fonts.h"
#include "platform/lengthlimit.h"
#include "platform/windowhabits.h"

#include "ui_frmdistances.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <tuple>

namespace pellamy {

frmdistances::frmdistances(const QString& folder, DialogService* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::frmdistances>()),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogService>(this)),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()), source_(distanceSourceInFolder(folder)),
      records_(std::make_unique<DistanceRecordSet>(source_)) {
    ui_->setupUi(this);
    // The control arrays' names, which a form cannot hold.
    lblLabels_ = {ui_->lblLabels_0_, ui_->lblLabels_1_, ui_->lblLabels_2_, ui_->lblLabels_3_};
    txtFields_ = {ui_->txtFields_0_, ui_->txtFields_1_, ui_->miles, ui_->yards, ui_->txtFields_4_};
    for (int i = 0; i < 4; ++i) {
        lblLabels_[i]->setObjectName(QStringLiteral("lblLabels(%1)").arg(i));
        nameAfterLabel(txtFields_[i], lblLabels_[i]); // for screen readers
    }
    for (int i : {0, 1, 4})
        txtFields_[i]->setObjectName(QStringLiteral("txtFields(%1)").arg(i));

    // The window's fonts, in sizes a form cannot hold, and the entry limits.
    const QFont boxFont = windowFont(QStringLiteral("MS Sans Serif"), 9.75, true);
    for (QLabel* label : lblLabels_)
        label->setFont(boxFont);
    const int limits[] = {20, 15, 50, 50, 9};
    for (int i = 0; i < 5; ++i) {
        limitTyping(txtFields_[i], limits[i]);
        if (i < 4)
            txtFields_[i]->setFont(boxFont);
    }
    // Room for a distance's figures at the desktop's text size: squeezed by
    // a larger one, Miles showed "98" for 498.
    for (QLineEdit* figures : {ui_->miles, ui_->yards})
        figures->setMinimumWidth(
            figures->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    resize(size().expandedTo(minimumSizeHint()));

    connect(ui_->cmdAdd, &QPushButton::clicked, this, &frmdistances::cmdAdd_Click);
    connect(ui_->cmdDelete, &QPushButton::clicked, this, &frmdistances::cmdDelete_Click);
    connect(ui_->cmdUpdate, &QPushButton::clicked, this, &frmdistances::cmdUpdate_Click);
    connect(ui_->cmdClose, &QPushButton::clicked, this, &frmdistances::cmdClose_Click);
    connect(ui_->cmdCoordinates, &QPushButton::clicked, this, &frmdistances::cmdCoordinates_Click);
    connect(ui_->cmdUpload, &QPushButton::clicked, this, &frmdistances::cmdUpload_Click);
    // Only a club whose distances are on a federation's server brings its
    // own file up to it.
    ui_->cmdUpload->setVisible(source_.onServer());
    connect(ui_->Data1, &DataControl::moveRequested, this, &frmdistances::Data1_Move);

    wheelOnlyWhenFocused(this);
    enterPressesButtons(this);
    oneLineTyping(this);
    Form_Load();
}

frmdistances::~frmdistances() = default;

void frmdistances::Form_Load() {
    if (source_.onServer()) {
        loadFromServer();
        showCurrent();
        return;
    }
    // A club's Access database is brought over the first time it is opened;
    // one that cannot be is reported once, here, and the editor then stays
    // empty as for a missing database.
    const Migration migration = migrateAccessDatabase(source_.databasePath);
    if (migration.outcome != Migration::Outcome::NotNeeded)
        dialogs_->message(migration.message, QStringLiteral("Pellamy"));
    // An Access file left as it was takes nothing typed here.
    if (migration.outcome == Migration::Outcome::Failed)
        makeReadOnly();
    if (!records_->open()) {
        damaged_ = records_->fault() == DatabaseFault::Damaged;
        if (damaged_) {
            if (firstReportOfDamage(source_.databasePath))
                dialogs_->message(damagedDatabaseMessage(), QStringLiteral("Pellamy"));
        } else if (records_->fault() == DatabaseFault::Busy) {
            // Not an empty file: records typed in now would be there twice.
            dialogs_->message(faultMessage(records_->fault(),
                                           QStringLiteral("the records could not be read."),
                                           QStringLiteral("Please close this window and open it "
                                                          "again in a moment.")),
                              QStringLiteral("Pellamy"));
        } else if (migration.outcome != Migration::Outcome::Failed) {
            Data1_Error(records_->error());
            // A file there whose records cannot be read takes nothing typed.
            if (databaseKind(source_.databasePath) != DatabaseKind::Missing)
                makeReadOnly();
            offerNewDatabase();
        }
    }
    showCurrent();
}

// A program folder without distances.mdb (the program copied on its own)
// would leave nothing typed here anywhere to go: an empty database is made
// there on a Yes.
void frmdistances::offerNewDatabase() {
    if (databaseKind(source_.databasePath) != DatabaseKind::Missing)
        return;
    const QFileInfo folder(QFileInfo(source_.databasePath).absolutePath());
    const QString shown = QDir::toNativeSeparators(folder.filePath());
    if (!folder.isWritable()) {
        dialogs_->message(QStringLiteral("There is no distances.mdb in %1, and Pellamy may not "
                                         "write there to make one. Please put Pellamy, with the "
                                         "club's distances.mdb, in a folder of your own.")
                              .arg(shown),
                          QStringLiteral("Pellamy"));
        makeReadOnly(); // nothing typed here could be kept
        return;
    }
    if (!dialogs_->askYesNo(QStringLiteral("There is no distances.mdb in %1. Make a new, empty "
                                           "one there, for the distances you type in this window?")
                                .arg(shown),
                            QStringLiteral("Pellamy")))
        return;
    if (const QString why = createDistanceDatabase(source_.databasePath); !why.isEmpty()) {
        dialogs_->message(
            QStringLiteral("A new distances.mdb could not be made in %1 (%2).").arg(shown, why),
            QStringLiteral("Pellamy"));
        return;
    }
    if (!records_->open())
        Data1_Error(records_->error());
}

void frmdistances::loadFromServer() {
    bool opened = false;
    {
        const WaitCursor wait;
        opened = records_->open();
    }
    if (opened) {
        if (records_->mayWrite())
            return;
        say(QStringLiteral("The distances are kept on the federation's server, where your user "
                           "may read them but not change them. The federation's distance officer "
                           "makes the changes."));
    } else if (records_->fault() == DatabaseFault::ServerBusy) {
        say(faultMessage(records_->fault(), QStringLiteral("the distances could not be read."),
                         QStringLiteral("Please close this window and open it again in a "
                                        "moment.")));
    } else if (records_->fault() != DatabaseFault::Unreachable) {
        // Nothing to change in, and said as the calculator says it.
        say(serverNotReadMessage(QStringLiteral("The distances"), records_->error()));
    } else {
        // The server out of reach: the club's copy is shown, if it is whole,
        // and nothing can be changed until the server is back.
        OfflineCopy copy;
        {
            const WaitCursor wait;
            copy = offlineCopy(records_->error(), source_, QStringLiteral("this window is closed"));
        }
        say(copy.notice);
        if (copy.usable) {
            records_ = std::make_unique<DistanceRecordSet>(source_.copyPath);
            records_->open(DistanceConnection::Mode::Read);
        }
    }
    makeReadOnly();
}

void frmdistances::makeReadOnly() {
    readOnly_ = true;
    for (QLineEdit* box : txtFields_)
        box->setReadOnly(true);
    for (QPushButton* button :
         {ui_->cmdAdd, ui_->cmdDelete, ui_->cmdUpdate, ui_->cmdCoordinates, ui_->cmdUpload})
        button->setEnabled(false);
}

void frmdistances::showCurrent() {
    const DistanceRecord& r = records_->current();
    const QString values[] = {r.name, r.racepoint, r.miles, r.yards, r.sixtieths};
    for (int i = 0; i < 5; ++i)
        txtFields_[i]->setText(values[i]);
    Data1_Reposition();
}

DistanceRecord frmdistances::typed() const {
    return {txtFields_[0]->text(), txtFields_[1]->text(), ui_->miles->text(), ui_->yards->text(),
            records_->current().sixtieths};
}

bool frmdistances::hasPendingEdits() const {
    if (readOnly_)
        return false;
    const DistanceRecord now = typed();
    const DistanceRecord& stored = records_->current();
    if (records_->isNew() || records_->position() < 0)
        return !(now.name.isEmpty() && now.racepoint.isEmpty() && now.miles.isEmpty() &&
                 now.yards.isEmpty());
    return now.name != stored.name || now.racepoint != stored.racepoint ||
           now.miles != stored.miles || now.yards != stored.yards;
}

QString frmdistances::whyNotWritten(WriteOutcome outcome, bool deleting) {
    const bool saving = !deleting;
    const QString done = saving ? QStringLiteral("saved") : QStringLiteral("deleted");
    switch (outcome) {
    case WriteOutcome::Done:
        return QString();
    case WriteOutcome::Deleted:
        return saving ? QStringLiteral("This record has been deleted, by another window or "
                                       "another copy of Pellamy, since it was shown here, so your "
                                       "change has not been saved. The records are now shown as "
                                       "they are stored.")
                      : QStringLiteral("This record had already been deleted, by another window "
                                       "or another copy of Pellamy. The records are now shown as "
                                       "they are stored.");
    case WriteOutcome::HeldTwice:
        return QStringLiteral("%1 already has a distance from %2 in another record, so this one "
                              "has not been saved: with two, the calculator would take none of "
                              "that member's birds. Please change the one already kept.")
            .arg(typed().name.trimmed(), typed().racepoint.trimmed());
    case WriteOutcome::Changed:
        return QStringLiteral("This record has been changed, by another window or another copy of "
                              "Pellamy, since it was shown here, so %1. It is now shown as it is "
                              "stored.")
            .arg(saving ? QStringLiteral("your change has not been saved")
                        : QStringLiteral("it has not been deleted"));
    case WriteOutcome::Failed:
        break;
    }
    damaged_ = records_->fault() == DatabaseFault::Damaged;
    // Said as not saved, a record the server did save would be typed again.
    if (records_->commitUnanswered())
        return QStringLiteral("The line to the distance server was lost as the record was being "
                              "%1, so it is not known whether it has been %1. Once the server can "
                              "be reached, look for the record before %2 it again.")
            .arg(done, saving ? QStringLiteral("saving") : QStringLiteral("deleting"));
    const QString fault =
        faultMessage(records_->fault(), QStringLiteral("the record has not been %1.").arg(done));
    if (!fault.isEmpty())
        return fault;
    return QStringLiteral("Data error event hit err:") + records_->error();
}

QString frmdistances::saveTyped() {
    DistanceRecord record = typed();
    // Blanks typed at either end of a name or race point would make a
    // second "Berwick" in the calculator's list, some members under each, as
    // would a blank of another kind (pasted from a web page); a stored text
    // left as it was keeps what it holds.
    const DistanceRecord& stored = records_->current();
    const bool isNew = records_->isNew() || records_->position() < 0;
    for (QString DistanceRecord::*text : {&DistanceRecord::name, &DistanceRecord::racepoint})
        if (isNew || record.*text != stored.*text)
            record.*text = plainBlanks(record.*text).trimmed();
    const std::optional<QString> sixtieths = sixtiethsText(record.miles, record.yards);
    if (!sixtieths) {
        const bool milesBad = !sixtiethsText(record.miles, QStringLiteral("0"));
        (milesBad ? ui_->miles : ui_->yards)->setFocus();
        return milesBad ? QStringLiteral("Miles must be a number. The record has not been saved.")
                        : QStringLiteral("Yards must be a number. The record has not been saved.");
    }
    // What the calculator cannot take is refused here, where it can be put
    // right, not found on race night.
    for (const auto& [text, box, what] :
         {std::tuple{record.name, txtFields_[0], "A name"},
          std::tuple{record.racepoint, txtFields_[1], "A race point"}})
        if (text.isEmpty()) {
            box->setFocus();
            return QStringLiteral("%1 must be typed. The record has not been saved.")
                .arg(QLatin1String(what));
        }
    for (const auto& [text, box, what] : {std::tuple{record.miles, ui_->miles, "Miles"},
                                          std::tuple{record.yards, ui_->yards, "Yards"}})
        if (textToNumber(text).value_or(0) < 0) {
            box->setFocus();
            return QStringLiteral("%1 must not be below nought. The record has not been saved.")
                .arg(QLatin1String(what));
        }
    if (damaged_)
        return damagedDatabaseMessage();
    record.sixtieths = *sixtieths;
    txtFields_[4]->setText(record.sixtieths);
    const WriteOutcome outcome = [&] {
        const WaitCursor wait;
        return records_->save(record);
    }();
    // Saved, or read afresh after another program's change: shown as stored.
    // Refused, the record typed stays to be put right.
    if (outcome != WriteOutcome::Failed && outcome != WriteOutcome::HeldTwice)
        showCurrent();
    // Saved, but the records could not be read again at once: said, so
    // that the record is not typed in a second time.
    if (outcome == WriteOutcome::Done && records_->position() < 0 && !records_->error().isEmpty())
        return QStringLiteral("The record has been saved, but the records could not be read "
                              "again: %1")
            .arg(records_->error());
    return whyNotWritten(outcome, false);
}

void frmdistances::say(const QString& message) {
    // The data control's own error report has no title of its own.
    dialogs_->message(message, message.startsWith(QLatin1String("Data error"))
                                   ? QString()
                                   : QStringLiteral("Pellamy"));
}

bool frmdistances::saveTypedOrSay() {
    const QString why = saveTyped();
    if (!why.isEmpty())
        say(why);
    return why.isEmpty();
}

void frmdistances::cmdAdd_Click() {
    if (hasPendingEdits() && !saveTypedOrSay())
        return;
    records_->addNew();
    showCurrent();
    txtFields_[0]->setFocus();
}

void frmdistances::cmdDelete_Click() {
    // A record being added is not in the file yet: Delete throws it away, as
    // Escape does, rather than leave it to be saved by the next step.
    if (records_->position() < 0) {
        records_->cancelNew();
        showCurrent();
        return;
    }
    if (damaged_) {
        dialogs_->message(damagedDatabaseMessage(), QStringLiteral("Pellamy"));
        return;
    }
    const WriteOutcome removed = [&] {
        const WaitCursor wait;
        return records_->removeCurrent();
    }();
    QString why = whyNotWritten(removed, true);
    // Deleted, but the records left could not be read again at once.
    if (removed == WriteOutcome::Done && records_->position() < 0 && records_->count() > 0)
        why = QStringLiteral("The record has been deleted, but the records could not be read "
                             "again: %1")
                  .arg(records_->error());
    if (!why.isEmpty())
        say(why);
    showCurrent();
}

void frmdistances::cmdUpdate_Click() {
    saveTypedOrSay();
}

void frmdistances::cmdClose_Click() {
    close();
}

void frmdistances::cmdCoordinates_Click() {
    if (!geodesicAvailable()) {
        say(QStringLiteral("Coordinates need GeographicLib, which this copy of Pellamy was built "
                           "without, so distances cannot be worked out from them here."));
        return;
    }
    // Nothing is written to a damaged database, and a record being typed is
    // saved first, so the distances worked out never meet it half-done.
    if (damaged_) {
        say(damagedDatabaseMessage());
        return;
    }
    if (hasPendingEdits() && !saveTypedOrSay())
        return;
    if (coordinates_) {
        coordinates_->raise();
        coordinates_->activateWindow();
        return;
    }
    // A test's scripted dialogs serve both windows; real ones are the
    // coordinates window's own.
    auto* window = new frmcoordinates(source_, ownDialogs_ ? nullptr : dialogs_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    if (!window->load()) {
        delete window;
        return;
    }
    connect(window, &frmcoordinates::distancesWritten, this, &frmdistances::distancesWritten);
    coordinates_ = window;
    window->show();
    centreOnScreen(window);
}

void frmdistances::cmdUpload_Click() {
    if (hasPendingEdits() && !saveTypedOrSay())
        return;
    if (!dialogs_->askYesNo(
            QStringLiteral("Bring the distances of this club's distances.mdb up to the server?\n\n"
                           "Distances the server has not got are added. Where the server already "
                           "holds a different distance for a member and race point, the server's "
                           "distance is kept and the row is listed; so is a row with an empty "
                           "name, race point or Sixtieths, one this file holds twice with "
                           "different distances, one whose Sixtieths is not what its miles "
                           "and yards make, or one below nought. A name the server holds with "
                           "another distance (perhaps another club's member) brings up none of "
                           "its rows."),
            QStringLiteral("Pellamy")))
        return;
    // A club's Access file is brought over to Pellamy's own form first.
    const Migration migration = migrateAccessDatabase(source_.databasePath);
    if (migration.outcome == Migration::Outcome::Failed) {
        say(migration.message);
        return;
    }
    // Rows the conversion found doubtful would go to every club of the
    // server: they are checked first. (One without a name or race point is
    // never brought up, and is listed then.)
    if (migration.outcome == Migration::Outcome::Migrated) {
        if (migration.doubtfulRows > migration.incompleteRows) {
            say(migration.message +
                QStringLiteral("\n\nNothing has been brought up to the server yet. Please look "
                               "at those rows first: when \"Bring to the server…\" is pressed "
                               "again, the distances are brought up as they stand, and a row whose "
                               "Sixtieths is not what its miles and yards make is listed "
                               "instead."));
            return;
        }
        say(migration.message);
    }
    const Upload upload = uploadDistances(source_.databasePath, source_);
    if (upload.commitUnanswered) {
        say(QStringLiteral("The line to the distance server was lost as the distances were being "
                           "brought up, so it is not known whether they were. Once the server can "
                           "be reached, press \"Bring to the server…\" again: a distance already "
                           "there is counted as there, not added twice."));
        return;
    }
    if (!upload.ok()) {
        const QString fault =
            faultMessage(upload.fault, QStringLiteral("nothing has been brought up."));
        // The server's own words are added (a server that takes no writes
        // at all says so only in them); the club file's faults are said
        // whole by the message alone.
        const bool clubFile = upload.fault == DatabaseFault::Damaged ||
                              upload.fault == DatabaseFault::ReadOnly ||
                              upload.fault == DatabaseFault::Busy;
        say(fault.isEmpty()
                ? QStringLiteral("Nothing has been brought up to the server: ") + upload.error
            : clubFile ? fault
                       : fault + QStringLiteral("\n\n") + upload.error);
        return;
    }
    say(uploadReport(upload));
    distancesWritten();
}

void frmdistances::distancesWritten() {
    if (hasPendingEdits())
        return;
    records_->refresh();
    showCurrent();
}

void frmdistances::closeWithoutSaving() {
    if (coordinates_)
        coordinates_->closeWithoutSaving();
    discardOnClose_ = true;
    close();
}

void frmdistances::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        records_->cancelNew();
        showCurrent();
        return;
    }
    // The record arrows from the keyboard, as in an Access form: Page Up and
    // Page Down step, with Ctrl to the first and the last record.
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        const bool down = event->key() == Qt::Key_PageDown;
        Data1_Move(down ? (control ? DataControl::Move::Last : DataControl::Move::Next)
                        : (control ? DataControl::Move::First : DataControl::Move::Previous));
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmdistances::closeEvent(QCloseEvent* event) {
    // Typed changes are kept as moving to another record keeps them. One
    // that cannot be saved is named, and the user chooses whether to close
    // without it: the window never traps the user.
    if (discardOnClose_ || !hasPendingEdits()) {
        event->accept();
        return;
    }
    const QString why = saveTyped();
    if (why.isEmpty() || !hasPendingEdits()) {
        if (!why.isEmpty())
            say(why);
        event->accept();
        return;
    }
    if (dialogs_->askYesNo(why + QStringLiteral("\n\nClose the window without saving it?"),
                           QStringLiteral("Pellamy"), false))
        event->accept();
    else
        event->ignore();
}

void frmdistances::Data1_Move(DataControl::Move move) {
    const int count = records_->count();
    if (count == 0)
        return;
    const int from = records_->position();
    int to = 0;
    switch (move) {
    case DataControl::Move::First:
        to = 0;
        break;
    case DataControl::Move::Previous:
        to = from < 0 ? 0 : std::max(0, from - 1);
        break;
    case DataControl::Move::Next:
        to = from < 0 ? count - 1 : std::min(count - 1, from + 1);
        break;
    case DataControl::Move::Last:
        to = count - 1;
        break;
    }
    // The record a step leads to is the one next to this record as the set
    // stood: a save that renames this record moves it in the order, and the
    // step then still goes to the record that followed it.
    const qint64 target = records_->addressAt(to);
    if (hasPendingEdits() && !saveTypedOrSay())
        return;
    if (move == DataControl::Move::First)
        to = 0;
    else if (move == DataControl::Move::Last)
        to = records_->count() - 1;
    else if (const int now = records_->positionOf(target); now >= 0)
        to = now;
    bool moved = false;
    {
        const WaitCursor wait;
        moved = records_->moveTo(to);
    }
    if (!moved && records_->fault() == DatabaseFault::Unreachable)
        say(faultMessage(records_->fault(), QStringLiteral("the record could not be shown.")));
    else if (!moved)
        Data1_Error(records_->error());
    showCurrent();
}

void frmdistances::Data1_Reposition() {
    ui_->Data1->setCaption(QStringLiteral("Record: ") + QString::number(records_->position() + 1));
}

void frmdistances::Data1_Error(const QString& description) {
    dialogs_->message(QStringLiteral("Data error event hit err:") + description, QString());
}

} // namespace pellamy
