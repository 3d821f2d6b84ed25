// Clocking a bird: the CALCULATE picture's handler.

#include "pellamy.h"

#include "calc/clocking.h"
#include "calc/textforms.h"
#include "racefile/recovery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace pellamy {

void Pellamy::Picture1_Click() {
    // The set and race dates as eight digits, for the printed results.
    txtdateset->setText(eightDigitDate(DayClockSet->date()));
    txtdaterace->setText(eightDigitDate(RaceDay->date()));
    Frame11->hide();
    Frame10->show();

    // From here any failure skips to the closing steps without a message of
    // its own; what was written so far stays.
    const DistanceLookup lookup = store_.distance(member->currentText(), racepoint->currentText());
    reportDamage(lookup.fault);
    if (lookup.ok()) {
        sixtieths->setText(lookup.text);
        cmdremove->show();

        BirdChoices choices;
        choices.pooled = Check1->isChecked();
        choices.noms = Check2->isChecked();
        choices.cock = Check3->isChecked();
        choices.hen = Check4->isChecked();
        choices.colourIndex = chosenIndex(comcol);
        const ClockingOutcome out = clockBird(gatherFields(), choices);

        for (const TimeFieldReset& reset : out.resets) {
            dialogs_->message(reset.message, QStringLiteral("Pellamy"));
            if (auto* field = findChild<QLineEdit*>(reset.field))
                field->setText(reset.resetText);
        }
        const VelocityResult& r = out.result;
        const std::pair<const std::optional<QString>*, QLineEdit*> results[] = {
            {&r.variation, variation}, {&r.FTHrs, FTHrs},       {&r.FTMins, FTMins},
            {&r.FTSecs, FTSecs},       {&r.velocity, velocity}, {&r.Textcon2, Textcon2},
            {&r.miles, miles},         {&r.textcon4, textcon4}, {&r.textcon5, textcon5},
            {&r.yards, yards},         {&r.Text1, Text1},
        };
        for (const auto& [value, field] : results)
            if (value->has_value())
                field->setText(**value);

        // The codes derived, the ticks and the bird's fields as the step
        // left them (emptied for the next bird once an entry is made).
        if (out.calculated) {
            txtpool->setText(out.fields.txtpool);
            txtsex->setText(out.fields.txtsex);
            txtcol->setText(out.fields.txtcol);
        }
        if (out.entryMade) {
            const RecoveryGroup oneChange(*recovery_); // appended and in its place
            entries_.append(out.entry);
            entries_.sortByVelocity();
        }
        ringno->setText(out.fields.ringno);
        Rubin->setText(out.fields.Rubin);
        Rubout->setText(out.fields.Rubout);
        Check1->setChecked(out.choices.pooled);
        Check2->setChecked(out.choices.noms);
        Check3->setChecked(out.choices.cock);
        Check4->setChecked(out.choices.hen);
    }

    // Closing steps, after an entry and after a failure alike.
    if (chosenIndex(racepoint) < 0)
        dialogs_->message(QStringLiteral("You have no entries in your Database, please check."),
                          QStringLiteral("Pellamy"));
    member->hide();
    if (!dialogs_->askYesNo(QStringLiteral("Another Bird for ") + member->currentText(),
                            QStringLiteral("Pellamy")))
        member->show();
}

} // namespace pellamy
