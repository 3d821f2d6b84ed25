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

QVector<std::pair<QLineEdit*, QString RaceDetails::*>> Pellamy::detailBoxes() const {
    using D = RaceDetails;
    return {
        {txtmember, &D::txtmember},     {txtbirds, &D::txtbirds},
        {txtwind, &D::txtwind},         {birdlibhrs, &D::birdlibhrs},
        {birdlibmins, &D::birdlibmins}, {midnight, &D::midnight},
        {midnight2, &D::midnight2},     {HODhr, &D::HODhr},
        {HODmin, &D::HODmin},           {HOLhr, &D::HOLhr},
        {HOLmin, &D::HOLmin},           {mtdetailset, &D::mtdetailset},
        {mtreadset, &D::mtreadset},     {mtdetailrake, &D::mtdetailrake},
        {mtreadrake, &D::mtreadrake},
    };
}

QVector<std::pair<QLineEdit*, QString CalculatorFields::*>> Pellamy::fieldBoxes() const {
    using F = CalculatorFields;
    QVector<std::pair<QLineEdit*, QString F::*>> boxes = {
        {MTSetHr, &F::MTSetHr},
        {MTSetMin, &F::MTSetMin},
        {MTSetSec, &F::MTSetSec},
        {MTRakeHr, &F::MTRakeHr},
        {MTRakeMin, &F::MTRakeMin},
        {MTRakeSec, &F::MTRakeSec},
        {CsHr, &F::CsHr},
        {CsMin, &F::CsMin},
        {CsSec, &F::CsSec},
        {CrHr, &F::CrHr},
        {CrMin, &F::CrMin},
        {CrSec, &F::CrSec},
        {birdlibsecs, &F::birdlibsecs},
        {birdclockhrs, &F::birdclockhrs},
        {birdclockmins, &F::birdclockmins},
        {birdclocksecs, &F::birdclocksecs},
        {extraday, &F::extraday},
        {sixtieths, &F::sixtieths},
        {Rubin, &F::Rubin},
        {Rubout, &F::Rubout},
        {ringno, &F::ringno},
        {txtcol, &F::txtcol},
        {txtsex, &F::txtsex},
        {txtpool, &F::txtpool},
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
    d.racepoint = racepoint->currentText();
    d.txtcomments = txtcomments->toPlainText();
    d.DayClockSet = DayClockSet->dateTime(), d.RaceDay = RaceDay->dateTime();
    d.DayClockOpen = DayClockOpen->dateTime(), d.DaybirdClocked = DaybirdClocked->dateTime();
    return d;
}

void Pellamy::showRaceDetails(const RaceDetails& d) {
    for (const auto& [box, detail] : detailBoxes())
        box->setText(d.*detail);
    if (d.racepoint != racepoint->currentText())
        setRacepointText(d.racepoint);
    if (d.txtcomments != txtcomments->toPlainText())
        txtcomments->setPlainText(d.txtcomments);
    // The pickers take their dates without recomputing the night counts,
    // which come with the details.
    const std::pair<QDateTimeEdit*, QDateTime> dates[] = {
        {DayClockSet, d.DayClockSet},
        {RaceDay, d.RaceDay},
        {DayClockOpen, d.DayClockOpen},
        {DaybirdClocked, d.DaybirdClocked},
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
    f.member = member->currentText();
    return f;
}

} // namespace pellamy
