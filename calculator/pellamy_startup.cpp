// Start-up, member selection and the date and time pickers.

#include "pellamy.h"

#include "ui_pellamy.h"

#include "calc/nightcounts.h"
#include "calc/raceentry.h"
#include "distances/coordinates.h"
#include "distances/migration.h"
#include "distances/servercopy.h"
#include "picturebutton.h"
#include "platform/windowhabits.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeView>

#include <utility>

namespace pellamy {

namespace {

// The names of a list held more than once, once with a blank before or
// after (typed so in another program): listed twice alike, the one chosen
// may be the wrong one. Letters' case counts as the distances' own lookup
// counts it.
QStringList keptAgainWithBlanks(const QStringList& names) {
    QHash<QString, QString> seen;
    QStringList twice;
    for (const QString& name : names) {
        const QString key = nocaseKey(name.trimmed());
        if (key.isEmpty())
            continue; // said as a field missed out
        if (seen.contains(key) && !twice.contains(seen[key]))
            twice << seen[key];
        seen.insert(key, name.trimmed());
    }
    return twice;
}

const QString kMissedField = QStringLiteral(
    "You have missed out a field /s in a Database record, Please check your Database "
    "entries. Make sure all fields are filled in.");

} // namespace

int Pellamy::chosenIndex(const QComboBox* box) {
    const int index = box->currentIndex();
    return index >= 0 && box->currentText() == box->itemText(index) ? index : -1;
}

void Pellamy::connectHandlers() {
    connect(ui_->racepoint, &QComboBox::activated, this, &Pellamy::racepoint_Click);
    connect(ui_->Picture1, &PictureButton::clicked, this, &Pellamy::Picture1_Click);
    connect(ui_->DayClockSet, &QDateTimeEdit::dateTimeChanged, this, &Pellamy::DayClockSet_Change);
    connect(ui_->RaceDay, &QDateTimeEdit::dateTimeChanged, this, &Pellamy::RaceDay_Change);
    connect(ui_->DayClockOpen, &QDateTimeEdit::dateTimeChanged, this,
            &Pellamy::DayClockOpen_Change);
    connect(ui_->DaybirdClocked, &QDateTimeEdit::dateTimeChanged, this,
            &Pellamy::DaybirdClocked_Change);
    connect(ui_->DTPicker1, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker1_Change);
    connect(ui_->DTPicker4, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker4_Change);
    connect(ui_->DTPicker5, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker5_Change);
    connect(ui_->DTPicker6, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker6_Change);
    connect(ui_->DTPicker7, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker7_Change);

    connect(ui_->ListView1, &QTreeView::clicked, this, &Pellamy::ListView1_ItemClick);
    // The row made current from the keyboard (the list's first row when it
    // is tabbed into) is selected too, so that the bird the Edit boxes show
    // is the one their corrections go to.
    connect(ui_->ListView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!current.isValid())
                    return;
                QItemSelectionModel* selection = ui_->ListView1->selectionModel();
                if (!selection->isRowSelected(current.row(), {}))
                    selection->select(current, QItemSelectionModel::ClearAndSelect |
                                                   QItemSelectionModel::Rows);
                ListView1_ItemClick(current);
            });
    // Enter on a member chosen by typing goes on to the bird's clock time,
    // the next thing typed (Tab keeps the form's own order). Not as a Tab:
    // a time the picker cannot show is not passed over but asked for.
    // A name that is no member (a letter typed onto the name chosen) is
    // said, and chosen whole to be typed over, before the bird's time is
    // typed into it and Tab carries on to the master clock's times.
    connect(ui_->member->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const QString typed = ui_->member->currentText();
        if (ui_->member->findText(typed, Qt::MatchFixedString) >= 0) {
            ui_->DTPicker7->setFocus(Qt::OtherFocusReason);
        } else if (!typed.trimmed().isEmpty() && ui_->member->count() > 0) {
            // (With no members listed, why was said when the race point was chosen.)
            dialogs_->message(QStringLiteral("There is no distance for %1 from %2. Please choose "
                                             "the member from the list.")
                                  .arg(typed, ui_->racepoint->currentText()),
                              QStringLiteral("Pellamy"));
            ui_->member->lineEdit()->selectAll();
        }
    });
    connect(ui_->birdedit, &QLineEdit::textChanged, this, &Pellamy::birdedit_Change);
    connect(ui_->coledit, &QLineEdit::textChanged, this, &Pellamy::coledit_Change);
    connect(ui_->sexedit, &QLineEdit::textChanged, this, &Pellamy::sexedit_Change);
    connect(ui_->rubinedit, &QLineEdit::textChanged, this, &Pellamy::rubinedit_Change);
    connect(ui_->ruboutedit, &QLineEdit::textChanged, this, &Pellamy::ruboutedit_Change);
    connect(ui_->Command1, &QPushButton::clicked, this, &Pellamy::Command1_Click);
    connect(ui_->cmdremove, &QPushButton::clicked, this, &Pellamy::cmdremove_Click);
    connect(ui_->CmdClear, &QPushButton::clicked, this, &Pellamy::CmdClear_Click);
    connect(ui_->CmdExit, &QPushButton::clicked, this, &Pellamy::CmdExit_Click);
    connect(ui_->cmdsave, &QPushButton::clicked, this, &Pellamy::cmdsave_Click);
    connect(ui_->cmdopen, &QPushButton::clicked, this, &Pellamy::cmdopen_Click);
    connect(ui_->Clubprint, &QPushButton::clicked, this, &Pellamy::Clubprint_Click);
    connect(ui_->CmdPrint, &QPushButton::clicked, this, &Pellamy::CmdPrint_Click);
    connect(ui_->Command2, &QPushButton::clicked, this, &Pellamy::Command2_Click);

    // The race details typed for the sheets go into the entries, and so into
    // the recovery record, a moment after the typing stops: a race brought
    // back after a failure has them as they were typed.
    auto* typingStopped = new QTimer(this);
    typingStopped->setSingleShot(true);
    typingStopped->setInterval(500);
    connect(typingStopped, &QTimer::timeout, this, &Pellamy::takeTypedDetails);
    for (const auto& [column, box] : printedDetailBoxes())
        connect(box, &QLineEdit::textEdited, typingStopped, qOverload<>(&QTimer::start));
    connect(ui_->txtcomments, &QPlainTextEdit::textChanged, typingStopped,
            qOverload<>(&QTimer::start));
}

void Pellamy::Form_Load() {
    // The race dates: clocks set yesterday, race, bird and opening today,
    // each at the present time of day.
    const StartingDates dates = startingDates(QDateTime::currentDateTime());
    ui_->DaybirdClocked->setDateTime(dates.today);
    ui_->DayClockSet->setDateTime(dates.yesterday);
    ui_->DayClockOpen->setDateTime(dates.today);
    ui_->RaceDay->setDateTime(dates.today);

    ui_->comcol->clear();
    for (const Colour& colour : colourTable())
        ui_->comcol->addItem(QString::fromLatin1(colour.name));
    ui_->comcol->setCurrentIndex(0);

    centreOnScreen(this);

    // A club's Access database is brought over the first time it is opened.
    if (!store_.source().onServer()) {
        const Migration migration = migrateAccessDatabase(store_.path());
        if (migration.outcome != Migration::Outcome::NotNeeded)
            dialogs_->message(migration.message, QStringLiteral("Pellamy"));
    }

    ui_->racepoint->clear();
    ui_->racepoint->clearEditText();
    ui_->member->clear();
    ui_->member->clearEditText();
    // A database that is missing or cannot be read leaves both lists empty
    // without a message; rows without a race point are reported once.
    const NameList points = [&] {
        const WaitCursor wait;
        return store_.racepoints();
    }();
    reportDamage(points.fault);
    reportOffline();
    if (store_.source().onServer() && points.ok() && !store_.offline())
        keepServerCopy();
    // A file another program holds (a second copy writing distances), or a
    // table held on the server, is not an empty one: the lists would stay
    // empty all session unsaid.
    const bool held =
        points.fault == DatabaseFault::Busy || points.fault == DatabaseFault::ServerBusy;
    // A server that answers but cannot give the race points (its tables not
    // made, a user not granted them) is a federation's fault to mend: said,
    // where a club's own missing file is not.
    if (store_.source().onServer() && !points.ok() && !held &&
        points.fault != DatabaseFault::Unreachable)
        dialogs_->message(serverNotReadMessage(QStringLiteral("The race points"), points.error),
                          QStringLiteral("Pellamy"));
    if (points.hadEmpty)
        dialogs_->message(kMissedField, QStringLiteral("Pellamy"));
    if (held)
        dialogs_->message(faultMessage(points.fault,
                                       QStringLiteral("the race points could not be read."),
                                       QStringLiteral("Please close Pellamy and start it again in "
                                                      "a moment.")),
                          QStringLiteral("Pellamy"));
    if (!points.ok() || points.values.isEmpty())
        return;
    // So too a race point: its members are split between the two.
    if (const QStringList twice = keptAgainWithBlanks(points.values); !twice.isEmpty())
        dialogs_->message(
            QStringLiteral("The distances hold the race point %1 more than once, with a blank "
                           "before or after it in some records, so the list shows it more than "
                           "once and each holds only some of its members. %2")
                .arg(twice.join(QStringLiteral(", ")),
                     store_.source().onServer()
                         ? QStringLiteral("Please ask the federation's distance officer to put "
                                          "the race point right in those records.")
                         : QStringLiteral("Please put the race point right in those records "
                                          "under Enter Members Distances before entering birds.")),
            QStringLiteral("Pellamy"));
    ui_->racepoint->addItems(points.values);
    ui_->racepoint->setCurrentIndex(0);
    racepoint_Click();
}

void Pellamy::racepoint_Click() {
    // The members of the new race point are chosen from, even when the list
    // stood hidden for the next bird of the last member.
    ui_->member->show();
    ui_->member->clear();
    ui_->member->clearEditText();
    const NameList members = [&] {
        const WaitCursor wait;
        return store_.members(ui_->racepoint->currentText());
    }();
    reportOffline();
    // The server and its copy both out of reach has been said by
    // reportOffline().
    // A read that failed is said with its reason, not as a row with an
    // empty field, which the secretary would look for in vain.
    const QString racepoint = ui_->racepoint->currentText();
    if (members.fault == DatabaseFault::Damaged)
        reportDamage(members.fault);
    else if (members.fault == DatabaseFault::Busy || members.fault == DatabaseFault::ServerBusy)
        dialogs_->message(
            faultMessage(members.fault,
                         QStringLiteral("the members of %1 could not be read.").arg(racepoint)),
            QStringLiteral("Pellamy"));
    else if (!members.ok() && members.fault != DatabaseFault::Unreachable)
        dialogs_->message(
            store_.source().onServer()
                ? serverNotReadMessage(QStringLiteral("The members of %1").arg(racepoint),
                                       members.error)
                : QStringLiteral("The members of %1 could not be read from the distances: %2")
                      .arg(racepoint, members.error),
            QStringLiteral("Pellamy"));
    else if (members.hadEmpty)
        showMemberLoadProblem();
    if (members.values.isEmpty())
        return;
    ui_->member->addItems(members.values);
    ui_->member->setCurrentIndex(0);
    // A name kept twice, once with a blank before or after it, is listed
    // twice alike, each with its own distance.
    if (const QStringList twice = keptAgainWithBlanks(members.values); !twice.isEmpty())
        dialogs_->message(
            QStringLiteral("The distances hold %1 more than once from %2, with a blank before or "
                           "after the name in one record, each with a distance of its own, so the "
                           "list shows the name more than once. %3")
                .arg(twice.join(QStringLiteral(", ")), racepoint,
                     store_.source().onServer()
                         ? QStringLiteral("Please ask the federation's distance officer to "
                                          "delete the wrong record before entering these birds.")
                         : QStringLiteral("Please delete the wrong record under Enter Members "
                                          "Distances before entering these birds.")),
            QStringLiteral("Pellamy"));
}

void Pellamy::reportDamage(DatabaseFault fault) {
    if (fault == DatabaseFault::Damaged && firstReportOfDamage(store_.path()))
        dialogs_->message(damagedDatabaseMessage(), QStringLiteral("Pellamy"));
}

void Pellamy::reportOffline() {
    const QString notice = store_.takeNotice();
    if (!notice.isEmpty())
        dialogs_->message(notice, QStringLiteral("Pellamy"));
    if (copyFailure_.isEmpty())
        return;
    const QString reason = std::exchange(copyFailure_, QString());
    if (copyFailedOnServer_)
        dialogs_->message(QStringLiteral("The copy of the distances kept for when the server "
                                         "cannot be reached could not be made, because the "
                                         "distance server refused it or broke it off (%1). The "
                                         "last copy made, if any, is kept and read while the "
                                         "server cannot be reached. If this is said again when "
                                         "Pellamy next starts, please show it to the "
                                         "federation's distance officer.")
                              .arg(reason),
                          QStringLiteral("Pellamy"));
    else {
        // The last copy, when there is a whole one, still serves, but holds
        // no change made since.
        const QDateTime last = copyMade(store_.source().copyPath);
        dialogs_->message(
            QStringLiteral("The copy of the distances kept for when the server "
                           "cannot be reached could not be made in %1 (%2). %3"
                           "please make sure that this folder may be "
                           "written and the disk is not full, then start Pellamy "
                           "again.")
                .arg(QDir::toNativeSeparators(QFileInfo(store_.source().copyPath).absolutePath()),
                     reason,
                     last.isValid()
                         ? QStringLiteral("The last copy, made on %1, is read while the server "
                                          "is out of reach, but it holds no change made since: ")
                               .arg(copyMadeText(last))
                         : QStringLiteral("Without it no distances can be read while the server "
                                          "is out of reach: ")),
            QStringLiteral("Pellamy"));
    }
}

void Pellamy::keepServerCopy() {
    if (copying_ && copying_->isRunning())
        return;
    // A copy that cannot be made is said (at the next choice of a race point
    // or bird, not at whatever moment it fails): otherwise the club would
    // find out only on the day the server cannot be reached.
    copying_.reset(QThread::create([this, source = store_.source()] {
        bool onServer = false;
        const QString error = copyServerRows(source, &onServer);
        if (!error.isEmpty())
            QMetaObject::invokeMethod(
                this,
                [this, error, onServer] {
                    copyFailure_ = error;
                    copyFailedOnServer_ = onServer;
                },
                Qt::QueuedConnection);
    }));
    copying_->start(QThread::LowPriority);
}

void Pellamy::showMemberLoadProblem() {
    dialogs_->message(kMissedField, QStringLiteral("Pellamy"));
}

void Pellamy::DayClockSet_Change() {
    ui_->midnight->setText(nightCount(ui_->DayClockOpen->dateTime(), ui_->DayClockSet->dateTime()));
}

void Pellamy::RaceDay_Change() {
    ui_->midnight2->setText(nightCount(ui_->DaybirdClocked->dateTime(), ui_->RaceDay->dateTime()));
}

void Pellamy::DayClockOpen_Change() {
    ui_->midnight->setText(nightCount(ui_->DayClockOpen->dateTime(), ui_->DayClockSet->dateTime()));
    ui_->extraday->setText(
        nightCount(ui_->DayClockOpen->dateTime(), ui_->DaybirdClocked->dateTime()));
}

void Pellamy::DaybirdClocked_Change() {
    ui_->midnight2->setText(nightCount(ui_->DaybirdClocked->dateTime(), ui_->RaceDay->dateTime()));
    ui_->extraday->setText(
        nightCount(ui_->DayClockOpen->dateTime(), ui_->DaybirdClocked->dateTime()));
}

void Pellamy::copyTime(QTimeEdit* picker, QLineEdit* hours, QLineEdit* minutes,
                       QLineEdit* seconds) {
    const TimeTexts texts = timeCopy(picker->time());
    hours->setText(texts.hours);
    minutes->setText(texts.minutes);
    seconds->setText(texts.seconds);
}

void Pellamy::DTPicker1_Change() {
    copyTime(ui_->DTPicker1, ui_->MTSetHr, ui_->MTSetMin, ui_->MTSetSec);
}
void Pellamy::DTPicker4_Change() {
    copyTime(ui_->DTPicker4, ui_->MTRakeHr, ui_->MTRakeMin, ui_->MTRakeSec);
}
void Pellamy::DTPicker5_Change() {
    copyTime(ui_->DTPicker5, ui_->CsHr, ui_->CsMin, ui_->CsSec);
}
void Pellamy::DTPicker6_Change() {
    copyTime(ui_->DTPicker6, ui_->CrHr, ui_->CrMin, ui_->CrSec);
}
void Pellamy::DTPicker7_Change() {
    copyTime(ui_->DTPicker7, ui_->birdclockhrs, ui_->birdclockmins, ui_->birdclocksecs);
}

QVector<std::pair<QLineEdit*, QString RaceDetails::*>> Pellamy::detailBoxes() const {
    using D = RaceDetails;
    return {
        {ui_->txtmember, &D::txtmember},     {ui_->txtbirds, &D::txtbirds},
        {ui_->txtwind, &D::txtwind},         {ui_->birdlibhrs, &D::birdlibhrs},
        {ui_->birdlibmins, &D::birdlibmins}, {ui_->midnight, &D::midnight},
        {ui_->midnight2, &D::midnight2},     {ui_->HODhr, &D::HODhr},
        {ui_->HODmin, &D::HODmin},           {ui_->HOLhr, &D::HOLhr},
        {ui_->HOLmin, &D::HOLmin},           {ui_->mtdetailset, &D::mtdetailset},
        {ui_->mtreadset, &D::mtreadset},     {ui_->mtdetailrake, &D::mtdetailrake},
        {ui_->mtreadrake, &D::mtreadrake},
    };
}

QVector<std::pair<QLineEdit*, QString CalculatorFields::*>> Pellamy::fieldBoxes() const {
    using F = CalculatorFields;
    QVector<std::pair<QLineEdit*, QString F::*>> boxes = {
        {ui_->MTSetHr, &F::MTSetHr},
        {ui_->MTSetMin, &F::MTSetMin},
        {ui_->MTSetSec, &F::MTSetSec},
        {ui_->MTRakeHr, &F::MTRakeHr},
        {ui_->MTRakeMin, &F::MTRakeMin},
        {ui_->MTRakeSec, &F::MTRakeSec},
        {ui_->CsHr, &F::CsHr},
        {ui_->CsMin, &F::CsMin},
        {ui_->CsSec, &F::CsSec},
        {ui_->CrHr, &F::CrHr},
        {ui_->CrMin, &F::CrMin},
        {ui_->CrSec, &F::CrSec},
        {ui_->birdlibsecs, &F::birdlibsecs},
        {ui_->birdclockhrs, &F::birdclockhrs},
        {ui_->birdclockmins, &F::birdclockmins},
        {ui_->birdclocksecs, &F::birdclocksecs},
        {ui_->extraday, &F::extraday},
        {ui_->sixtieths, &F::sixtieths},
        {ui_->Rubin, &F::Rubin},
        {ui_->Rubout, &F::Rubout},
        {ui_->ringno, &F::ringno},
        {ui_->txtcol, &F::txtcol},
        {ui_->txtsex, &F::txtsex},
        {ui_->txtpool, &F::txtpool},
    };
    for (const auto& [box, detail] : detailBoxes())
        boxes.push_back({box, detail});
    return boxes;
}

void Pellamy::showStartingTexts() {
    const CalculatorFields start;
    for (const auto& [box, field] : fieldBoxes())
        box->setText(start.*field);
}

RaceDetails Pellamy::raceDetails() const {
    RaceDetails d;
    for (const auto& [box, detail] : detailBoxes())
        d.*detail = box->text();
    d.racepoint = ui_->racepoint->currentText();
    d.txtcomments = ui_->txtcomments->toPlainText();
    d.DayClockSet = ui_->DayClockSet->dateTime(), d.RaceDay = ui_->RaceDay->dateTime();
    d.DayClockOpen = ui_->DayClockOpen->dateTime(),
    d.DaybirdClocked = ui_->DaybirdClocked->dateTime();
    return d;
}

void Pellamy::showRaceDetails(const RaceDetails& d) {
    for (const auto& [box, detail] : detailBoxes())
        box->setText(d.*detail);
    if (d.racepoint != ui_->racepoint->currentText())
        setRacepointText(d.racepoint);
    if (d.txtcomments != ui_->txtcomments->toPlainText())
        ui_->txtcomments->setPlainText(d.txtcomments);
    // The pickers take their dates without recomputing the night counts,
    // which come with the details.
    const std::pair<QDateTimeEdit*, QDateTime> dates[] = {
        {ui_->DayClockSet, d.DayClockSet},
        {ui_->RaceDay, d.RaceDay},
        {ui_->DayClockOpen, d.DayClockOpen},
        {ui_->DaybirdClocked, d.DaybirdClocked},
    };
    for (const auto& [picker, date] : dates) {
        const QSignalBlocker quiet(picker);
        picker->setDateTime(date);
    }
}

CalculatorFields Pellamy::gatherFields() const {
    CalculatorFields f;
    static_cast<RaceDetails&>(f) = raceDetails();
    for (const auto& [box, field] : fieldBoxes())
        f.*field = box->text();
    f.member = ui_->member->currentText();
    return f;
}

} // namespace pellamy
