// Clocking a bird: the CALCULATE picture's handler.

#include "pellamy.h"

#include "ui_pellamy.h"

#include "calc/clocking.h"
#include "calc/numbers.h"
#include "calc/textforms.h"
#include "distances/coordinates.h"
#include "platform/windowhabits.h"
#include "racefile/recovery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>

namespace pellamy {

namespace {

// One member, or one race point, as the distances match them: a name kept
// again with a blank before or after it is the same one.
bool sameName(const QString& a, const QString& b) {
    return nocaseKey(a.trimmed()) == nocaseKey(b.trimmed());
}

// A date picker's text by its day, as read (not the picker's time of day,
// nor the form a computer set otherwise wrote it in).
QString dayOf(const QString& text) {
    const std::optional<QDateTime> date = readDateText(text);
    return date ? date->date().toString(QStringLiteral("dd/MM/yyyy")) : text.section(u' ', 0, 0);
}

// Whether two date texts are of one day; a text not read as a date (a file
// from a computer set to another date form) is taken for the same day.
bool sameDay(const QString& a, const QString& b) {
    const std::optional<QDateTime> x = readDateText(a), y = readDateText(b);
    return !x || !y || x->date() == y->date();
}

} // namespace

// A member's birds in one race are worked out at one distance; a distance
// put right in the distances during the race (on a federation's server, by
// its officer), or a copy read once the server was gone, gives a bird
// another. Said, with what to do, when the entry made differs so from the
// member's birds already in the list.
QString Pellamy::otherDistance(const QStringList& entry) const {
    int birds = 0;
    QString before;
    bool keptTwice = false;
    for (int i = 0; i < entries_.count(); ++i)
        if (sameName(entries_.text(i, Col::Name), entry[Col::Name]) &&
            sameName(entries_.text(i, Col::Racepoint), entry[Col::Racepoint]) &&
            entries_.text(i, Col::Distance) != entry[Col::Distance]) {
            ++birds, before = entries_.text(i, Col::Distance);
            keptTwice = keptTwice || nocaseKey(entries_.text(i, Col::Name)) !=
                                         nocaseKey(entry[Col::Name]); // blanks apart
        }
    if (birds == 0)
        return QString();
    // Held twice by the distances too when the member list shows the name
    // twice (a race file read again has the blanks trimmed from its names).
    int listed = 0;
    for (int i = 0; i < ui_->member->count(); ++i)
        listed += sameName(ui_->member->itemText(i), entry[Col::Name]);
    keptTwice = keptTwice || listed > 1;
    return QStringLiteral("This bird was worked out at a distance of %1 for %2 from %3, but %4 "
                          "entered before for %2 %5 worked out at %6: %7. Please check which is "
                          "right, and clear and enter again the birds worked out at the wrong one.")
        .arg(entry[Col::Distance], entry[Col::Name].trimmed(), entry[Col::Racepoint],
             birds == 1 ? QStringLiteral("the bird") : QStringLiteral("%1 birds").arg(birds),
             birds == 1 ? QStringLiteral("was") : QStringLiteral("were"), before,
             keptTwice ? QStringLiteral("the distances hold the name more than once, with a "
                                        "blank before or after it in one record")
                       : QStringLiteral("the distance has been changed in the distances "
                                        "meanwhile"));
}

// A member's clock is set and read once a race: a bird of the member worked
// out with clock times none of the member's birds already in the list has
// (times mistyped, or the boxes as the program started after a race was
// opened or brought back, which keeps no clock times in them) has a
// velocity one of them gets wrong, unless the member clocked with a second
// clock. Said, with what to do.
QString Pellamy::otherClockTimes(const QStringList& entry) const {
    // The days too: a clock is set on one day and opened on one.
    constexpr int kTimes[] = {Col::MemberSet, Col::MasterSet, Col::MemberRead, Col::MasterRead};
    const auto times = [](const QStringList& e) {
        return QStringLiteral(
                   "set on %1 at %2 by the master clock's %3, read on %4 at %5 by its %6")
            .arg(dayOf(e[Col::SetDate]), e[Col::MemberSet], e[Col::MasterSet],
                 dayOf(e[Col::ClockOpen]), e[Col::MemberRead], e[Col::MasterRead]);
    };
    QString before;
    for (int i = 0; i < entries_.count(); ++i) {
        // A line of blanks, or one broken in a text editor, in a race file
        // opened holds no clock of the member's.
        const QStringList other = entries_.entry(i);
        if (other.size() < kColumnCount || !sameName(other[Col::Name], entry[Col::Name]) ||
            !sameName(other[Col::Racepoint], entry[Col::Racepoint]))
            continue;
        if (std::all_of(std::begin(kTimes), std::end(kTimes),
                        [&](int c) { return other[c] == entry[c]; }) &&
            sameDay(other[Col::SetDate], entry[Col::SetDate]) &&
            sameDay(other[Col::ClockOpen], entry[Col::ClockOpen]))
            return QString(); // a clock of the member's already
        before = times(other);
    }
    if (before.isEmpty())
        return QString();
    return QStringLiteral("This bird was worked out with %1's clock %2, but a bird entered before "
                          "for %1 was worked out with it %3. If %1 clocked with a second clock, "
                          "both may be right; if not, please check the clock times and the days "
                          "the clocks were set and opened (a race opened or brought back keeps no "
                          "clock times in the boxes), and clear and enter again the birds worked "
                          "out with the wrong ones.")
        .arg(entry[Col::Name].trimmed(), times(entry), before);
}

// A race is flown from one race point, liberated once: a bird worked out
// with other race details than the birds already in the list (the
// liberation time put right, or the race point chosen, after birds were
// entered) has a velocity that one of them gets wrong, and the sheets head
// them all with the details in the window. The darkness counts only
// between birds out overnight. Said, with what to do.
QString Pellamy::otherRaceDetails(const QStringList& entry) const {
    constexpr int kRace[] = {Col::LibHour, Col::LibMinute, Col::RaceDate, Col::Racepoint};
    constexpr int kDarkness[] = {Col::HodHr, Col::HodMin, Col::HolHr, Col::HolMin};
    const auto nights = [](const QString& text) { return textToNumber(text).value_or(0) != 0; };
    // As compared: the hour and minute as numbers ("8" is "08"), the race
    // date by its day, the race point as the distances match it.
    const auto hm = [](const QString& text) {
        return patternText(text.trimmed(), QStringLiteral("00"));
    };
    const auto details = [&](const QStringList& e, bool darkness, bool day = true) {
        QString text = QStringLiteral("liberated at %1 %2%3 from %4")
                           .arg(hm(e[Col::LibHour]), hm(e[Col::LibMinute]),
                                day ? QStringLiteral(" on ") + dayOf(e[Col::RaceDate]) : QString(),
                                e[Col::Racepoint].trimmed());
        if (darkness)
            text += QStringLiteral(", with darkness from %1 %2 to %3 %4")
                        .arg(hm(e[Col::HodHr]), hm(e[Col::HodMin]), hm(e[Col::HolHr]),
                             hm(e[Col::HolMin]));
        return text;
    };
    int birds = 0;
    QString now;        // this bird, as compared with the last that differs
    QStringList before; // the details of the birds that differ, each once
    for (const RaceEntryRow& row : entries_.rows()) {
        // Most birds hold the very texts: nothing is made for them.
        const auto same = [&](int column) { return row.view(column) == entry[column]; };
        if (std::all_of(std::begin(kRace), std::end(kRace), same) &&
            std::all_of(std::begin(kDarkness), std::end(kDarkness), same))
            continue;
        // A line broken short, or one of empty fields, in a race file holds no bird.
        const QStringList other = row.columns();
        if (other.size() < kColumnCount ||
            (other[Col::Racepoint].trimmed().isEmpty() && other[Col::LibHour].trimmed().isEmpty()))
            continue;
        const bool darkness = nights(entry[Col::Midnight2]) && nights(other[Col::Midnight2]);
        // The day compared apart: one not read as a date is taken as the same.
        if (sameDay(other[Col::RaceDate], entry[Col::RaceDate]) &&
            nocaseKey(details(other, darkness, false)) ==
                nocaseKey(details(entry, darkness, false)))
            continue;
        const QString theirs = details(other, darkness);
        ++birds, now = details(entry, darkness);
        if (!before.contains(theirs))
            before << theirs;
    }
    if (birds == 0)
        return QString();
    return QStringLiteral("This bird was worked out as %1, but %2 entered before it %3 worked out "
                          "as %4. Each bird keeps the race details it was worked out with, and "
                          "the sheets are headed with those in the window: please put the race "
                          "details right, and clear and enter again the birds worked out with the "
                          "wrong ones.")
        .arg(now, birds == 1 ? QStringLiteral("a bird") : QStringLiteral("%1 birds").arg(birds),
             birds == 1 ? QStringLiteral("was") : QStringLiteral("were"),
             before.join(QStringLiteral(" or as ")));
}

// A bird clocked once is entered once: its ring number already in the list
// (the bird entered again after a race was opened or brought back) would
// place it twice.
QString Pellamy::ringEnteredBefore(const QStringList& entry) const {
    const QString ring = entry[Col::RingNo].trimmed();
    if (ring.isEmpty())
        return QString();
    for (int i = 0; i < entries_.count(); ++i)
        if (entries_.rows()[i].view(Col::RingNo).trimmed().compare(ring, Qt::CaseInsensitive) == 0)
            return QStringLiteral(
                       "A bird with the ring number %1 is already in the list, "
                       "entered for %2 (velocity %3). If it is the same bird entered again, "
                       "please clear one of them.")
                .arg(ring, entries_.text(i, Col::Name).trimmed(), entries_.text(i, Col::Velocity));
    return QString();
}

void Pellamy::Picture1_Click() {
    // The set and race dates as eight digits, for the printed results.
    ui_->txtdateset->setText(eightDigitDate(ui_->DayClockSet->date()));
    ui_->txtdaterace->setText(eightDigitDate(ui_->RaceDay->date()));
    ui_->Frame11->hide();
    ui_->Frame10->show();

    // From here any failure skips to the closing steps, with what was
    // written so far kept and one message saying why no entry was made.
    QString noEntry, differentDistance, differentClock, differentDetails, ringTwice, doubt;
    QPersistentModelIndex added; // the entry made, wherever the list puts it
    const DistanceLookup lookup = [&] {
        const WaitCursor wait;
        return store_.distance(ui_->member->currentText(), ui_->racepoint->currentText());
    }();
    reportDamage(lookup.fault);
    reportOffline();
    if (lookup.ok()) {
        ui_->sixtieths->setText(lookup.text);
        ui_->cmdremove->show();

        BirdChoices choices;
        choices.pooled = ui_->Check1->isChecked();
        choices.noms = ui_->Check2->isChecked();
        choices.cock = ui_->Check3->isChecked();
        choices.hen = ui_->Check4->isChecked();
        choices.colourIndex = chosenIndex(ui_->comcol);
        const ClockingOutcome out = clockBird(gatherFields(), choices);

        for (const TimeFieldReset& reset : out.resets) {
            dialogs_->message(reset.message, QStringLiteral("Pellamy"));
            if (auto* field = findChild<QLineEdit*>(reset.field))
                field->setText(reset.resetText);
        }
        const VelocityResult& r = out.result;
        const std::pair<const std::optional<QString>*, QLineEdit*> results[] = {
            {&r.variation, ui_->variation}, {&r.FTHrs, ui_->FTHrs},
            {&r.FTMins, ui_->FTMins},       {&r.FTSecs, ui_->FTSecs},
            {&r.velocity, ui_->velocity},   {&r.Textcon2, ui_->Textcon2},
            {&r.miles, ui_->miles},         {&r.textcon4, ui_->textcon4},
            {&r.textcon5, ui_->textcon5},   {&r.yards, ui_->yards},
            {&r.Text1, ui_->Text1},
        };
        for (const auto& [value, field] : results)
            if (value->has_value())
                field->setText(**value);

        // The codes derived, the ticks and the bird's fields as the step
        // left them (emptied for the next bird once an entry is made).
        if (out.calculated) {
            ui_->txtpool->setText(out.fields.txtpool);
            ui_->txtsex->setText(out.fields.txtsex);
            ui_->txtcol->setText(out.fields.txtcol);
        }
        if (out.entryMade) {
            differentDistance = otherDistance(out.entry);
            differentClock = otherClockTimes(out.entry);
            differentDetails = otherRaceDetails(out.entry);
            ringTwice = ringEnteredBefore(out.entry);
            doubt = clockDoubt(out);
            const RecoveryGroup oneChange(*recovery_); // appended and in its place
            entries_.append(out.entry);
            added = entries_.index(entries_.count() - 1, Col::Pos);
            entries_.sortByVelocity();
        } else {
            noEntry = noEntryReason(out, lookup.text, ui_->member->currentText(),
                                    ui_->racepoint->currentText(), store_.source().onServer());
        }
        ui_->ringno->setText(out.fields.ringno);
        ui_->Rubin->setText(out.fields.Rubin);
        ui_->Rubout->setText(out.fields.Rubout);
        ui_->Check1->setChecked(out.choices.pooled);
        ui_->Check2->setChecked(out.choices.noms);
        ui_->Check3->setChecked(out.choices.cock);
        ui_->Check4->setChecked(out.choices.hen);
    } else if (lookup.fault == DatabaseFault::Damaged) {
        noEntry = QStringLiteral("its distance could not be read, because distances.mdb is "
                                 "damaged.");
    } else if (lookup.fault == DatabaseFault::Busy || lookup.fault == DatabaseFault::ServerBusy ||
               lookup.fault == DatabaseFault::Unreachable) {
        noEntry = faultMessage(lookup.fault, QStringLiteral("its distance could not be read."));
        noEntry[0] = noEntry[0].toLower();
    } else if (store_.source().onServer()) {
        noEntry = serverNotReadMessage(QStringLiteral("its distance"), lookup.error);
    } else {
        noEntry = QStringLiteral("its distance could not be read from the distances: %1")
                      .arg(lookup.error);
    }
    for (const QString& said :
         {doubt, differentDetails, differentDistance, differentClock, ringTwice})
        if (!said.isEmpty())
            dialogs_->message(said, QStringLiteral("Pellamy"));
    // A bird left out is said: the question alone would read as if it had
    // been entered. With no race point at all the message below says it; a
    // race point typed, not chosen, gives that message to a bird entered
    // too (its distance found all the same), so why this one was not is
    // said before it. A server out of reach with no copy read lists no race
    // point either: that is said instead, the database holding its entries
    // all along.
    const bool unreachable = lookup.fault == DatabaseFault::Unreachable;
    if (!noEntry.isEmpty() && (!ui_->racepoint->currentText().trimmed().isEmpty() || unreachable))
        dialogs_->message(QStringLiteral("No entry was made for this bird: ") + noEntry,
                          QStringLiteral("Pellamy"));

    // Closing steps, after an entry and after a failure alike.
    if (chosenIndex(ui_->racepoint) < 0 && !unreachable)
        dialogs_->message(QStringLiteral("You have no entries in your Database, please check."),
                          QStringLiteral("Pellamy"));
    // The bird just entered is in view while the next is asked for: its
    // row in the list, and the list on a form that scrolls.
    if (added.isValid()) {
        ui_->ListView1->scrollTo(added);
        const QRect row = ui_->ListView1->visualRect(added);
        const QPoint at =
            ui_->ListView1->viewport()->mapTo(formScroll_->widget(), QPoint(0, row.center().y()));
        // Up and down only: a form scrolled sideways to CALCULATE stays so.
        formScroll_->ensureVisible(formScroll_->horizontalScrollBar()->value(), at.y(), 0,
                                   row.height() + ui_->ListView1->header()->height());
    }
    ui_->member->hide();
    if (!dialogs_->askYesNo(QStringLiteral("Another Bird for ") + ui_->member->currentText(),
                            QStringLiteral("Pellamy"))) {
        ui_->member->show();
        // As Tab gives it, its text selected: letters typed choose the next
        // member instead of running on from the last one's name.
        ui_->member->setFocus(Qt::TabFocusReason);
        if (ui_->member->lineEdit())
            ui_->member->lineEdit()->selectAll();
    } else {
        // The next bird's clock time is typed straight away.
        ui_->DTPicker7->setFocus();
    }
}

} // namespace pellamy
