// Start-up, member selection and the date and time pickers.

#include "pellamy.h"

#include "calc/nightcounts.h"
#include "calc/raceentry.h"
#include "distances/migration.h"
#include "picturebutton.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimeEdit>
#include <QTreeView>

namespace pellamy {

namespace {

const QString kMissedField = QStringLiteral(
    "You have missed out a field /s in a Database record, Please check your Database "
    "entries. Make sure all fields are filled in.");

} // namespace

int Pellamy::chosenIndex(const QComboBox* box) {
    const int index = box->currentIndex();
    return index >= 0 && box->currentText() == box->itemText(index) ? index : -1;
}

void Pellamy::connectHandlers() {
    connect(racepoint, &QComboBox::activated, this, &Pellamy::racepoint_Click);
    connect(Picture1, &PictureButton::clicked, this, &Pellamy::Picture1_Click);
    connect(DayClockSet, &QDateTimeEdit::dateTimeChanged, this, &Pellamy::DayClockSet_Change);
    connect(RaceDay, &QDateTimeEdit::dateTimeChanged, this, &Pellamy::RaceDay_Change);
    connect(DayClockOpen, &QDateTimeEdit::dateTimeChanged, this, &Pellamy::DayClockOpen_Change);
    connect(DaybirdClocked, &QDateTimeEdit::dateTimeChanged, this, &Pellamy::DaybirdClocked_Change);
    connect(DTPicker1, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker1_Change);
    connect(DTPicker4, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker4_Change);
    connect(DTPicker5, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker5_Change);
    connect(DTPicker6, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker6_Change);
    connect(DTPicker7, &QTimeEdit::timeChanged, this, &Pellamy::DTPicker7_Change);

    connect(ListView1, &QTreeView::clicked, this, &Pellamy::ListView1_ItemClick);
    connect(ListView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    ListView1_ItemClick(current);
            });
    connect(birdedit, &QLineEdit::textChanged, this, &Pellamy::birdedit_Change);
    connect(coledit, &QLineEdit::textChanged, this, &Pellamy::coledit_Change);
    connect(sexedit, &QLineEdit::textChanged, this, &Pellamy::sexedit_Change);
    connect(rubinedit, &QLineEdit::textChanged, this, &Pellamy::rubinedit_Change);
    connect(ruboutedit, &QLineEdit::textChanged, this, &Pellamy::ruboutedit_Change);
    connect(Command1, &QPushButton::clicked, this, &Pellamy::Command1_Click);
    connect(cmdremove, &QPushButton::clicked, this, &Pellamy::cmdremove_Click);
    connect(CmdClear, &QPushButton::clicked, this, &Pellamy::CmdClear_Click);
    connect(CmdExit, &QPushButton::clicked, this, &Pellamy::CmdExit_Click);
    connect(cmdsave, &QPushButton::clicked, this, &Pellamy::cmdsave_Click);
    connect(cmdopen, &QPushButton::clicked, this, &Pellamy::cmdopen_Click);
    connect(Clubprint, &QPushButton::clicked, this, &Pellamy::Clubprint_Click);
    connect(CmdPrint, &QPushButton::clicked, this, &Pellamy::CmdPrint_Click);
    connect(Command2, &QPushButton::clicked, this, &Pellamy::Command2_Click);
}

void Pellamy::Form_Load() {
    // The race dates: clocks set yesterday, race, bird and opening today,
    // each at the present time of day.
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime today(now.date(),
                          QTime(now.time().hour(), now.time().minute(), now.time().second()));
    DaybirdClocked->setDateTime(today);
    DayClockSet->setDateTime(today.addDays(-1));
    DayClockOpen->setDateTime(today);
    RaceDay->setDateTime(today);

    comcol->clear();
    for (const Colour& colour : colourTable())
        comcol->addItem(QString::fromLatin1(colour.name));
    comcol->setCurrentIndex(0);

    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2,
             area.top() + (area.height() - frameGeometry().height()) / 2);
    }

    // A club's Access database is brought over the first time it is opened.
    const Migration migration = migrateAccessDatabase(store_.path());
    if (migration.outcome != Migration::Outcome::NotNeeded)
        dialogs_->message(migration.message, QStringLiteral("Pellamy"));

    racepoint->clear();
    racepoint->clearEditText();
    member->clear();
    member->clearEditText();
    // A database that is missing or cannot be read leaves both lists empty
    // without a message; rows without a race point are reported once.
    const NameList points = store_.racepoints();
    reportDamage(points.fault);
    if (points.hadEmpty)
        dialogs_->message(kMissedField, QStringLiteral("Pellamy"));
    if (!points.ok() || points.values.isEmpty())
        return;
    racepoint->addItems(points.values);
    racepoint->setCurrentIndex(0);
    racepoint_Click();
}

void Pellamy::racepoint_Click() {
    member->clear();
    member->clearEditText();
    const NameList members = store_.members(racepoint->currentText());
    if (members.fault == DatabaseFault::Damaged)
        reportDamage(members.fault);
    else if (!members.ok() || members.hadEmpty)
        showMemberLoadProblem();
    if (members.values.isEmpty())
        return;
    member->addItems(members.values);
    member->setCurrentIndex(0);
}

void Pellamy::reportDamage(DatabaseFault fault) {
    if (fault == DatabaseFault::Damaged && firstReportOfDamage(store_.path()))
        dialogs_->message(damagedDatabaseMessage(), QStringLiteral("Pellamy"));
}

void Pellamy::showMemberLoadProblem() {
    dialogs_->message(kMissedField, QStringLiteral("Pellamy"));
}

void Pellamy::DayClockSet_Change() {
    midnight->setText(nightCount(DayClockOpen->dateTime(), DayClockSet->dateTime()));
}

void Pellamy::RaceDay_Change() {
    midnight2->setText(nightCount(DaybirdClocked->dateTime(), RaceDay->dateTime()));
}

void Pellamy::DayClockOpen_Change() {
    midnight->setText(nightCount(DayClockOpen->dateTime(), DayClockSet->dateTime()));
    extraday->setText(nightCount(DayClockOpen->dateTime(), DaybirdClocked->dateTime()));
}

void Pellamy::DaybirdClocked_Change() {
    midnight2->setText(nightCount(DaybirdClocked->dateTime(), RaceDay->dateTime()));
    extraday->setText(nightCount(DayClockOpen->dateTime(), DaybirdClocked->dateTime()));
}

void Pellamy::copyTime(QTimeEdit* picker, QLineEdit* hours, QLineEdit* minutes,
                       QLineEdit* seconds) {
    const TimeTexts texts = timeCopy(picker->time());
    hours->setText(texts.hours);
    minutes->setText(texts.minutes);
    seconds->setText(texts.seconds);
}

void Pellamy::DTPicker1_Change() {
    copyTime(DTPicker1, MTSetHr, MTSetMin, MTSetSec);
}
void Pellamy::DTPicker4_Change() {
    copyTime(DTPicker4, MTRakeHr, MTRakeMin, MTRakeSec);
}
void Pellamy::DTPicker5_Change() {
    copyTime(DTPicker5, CsHr, CsMin, CsSec);
}
void Pellamy::DTPicker6_Change() {
    copyTime(DTPicker6, CrHr, CrMin, CrSec);
}
void Pellamy::DTPicker7_Change() {
    copyTime(DTPicker7, birdclockhrs, birdclockmins, birdclocksecs);
}

CalculatorFields Pellamy::gatherFields() const {
    CalculatorFields f;
    f.MTSetHr = MTSetHr->text(), f.MTSetMin = MTSetMin->text(), f.MTSetSec = MTSetSec->text();
    f.MTRakeHr = MTRakeHr->text(), f.MTRakeMin = MTRakeMin->text(), f.MTRakeSec = MTRakeSec->text();
    f.CsHr = CsHr->text(), f.CsMin = CsMin->text(), f.CsSec = CsSec->text();
    f.CrHr = CrHr->text(), f.CrMin = CrMin->text(), f.CrSec = CrSec->text();
    f.birdlibhrs = birdlibhrs->text(), f.birdlibmins = birdlibmins->text(),
    f.birdlibsecs = birdlibsecs->text();
    f.birdclockhrs = birdclockhrs->text(), f.birdclockmins = birdclockmins->text(),
    f.birdclocksecs = birdclocksecs->text();
    f.midnight = midnight->text(), f.midnight2 = midnight2->text(), f.extraday = extraday->text();
    f.HODhr = HODhr->text(), f.HODmin = HODmin->text(), f.HOLhr = HOLhr->text(),
    f.HOLmin = HOLmin->text();
    f.sixtieths = sixtieths->text();
    f.member = member->currentText();
    f.racepoint = racepoint->currentText();
    f.txtmember = txtmember->text(), f.txtbirds = txtbirds->text(), f.txtwind = txtwind->text();
    f.mtdetailset = mtdetailset->text(), f.mtreadset = mtreadset->text();
    f.mtdetailrake = mtdetailrake->text(), f.mtreadrake = mtreadrake->text();
    f.txtcomments = txtcomments->toPlainText();
    f.DayClockSet = DayClockSet->dateTime(), f.RaceDay = RaceDay->dateTime();
    f.DayClockOpen = DayClockOpen->dateTime(), f.DaybirdClocked = DaybirdClocked->dateTime();
    f.Rubin = Rubin->text(), f.Rubout = Rubout->text(), f.ringno = ringno->text();
    f.txtcol = txtcol->text(), f.txtsex = txtsex->text(), f.txtpool = txtpool->text();
    return f;
}

} // namespace pellamy
