// Correcting, removing and clearing entries, and leaving the program.

#include "pellamy.h"

#include "ui_pellamy.h"

#include "calc/raceentry.h"
#include "racefile/recovery.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>

namespace pellamy {

int Pellamy::selectedEntry() const {
    const QModelIndex current = ui_->ListView1->selectionModel()->currentIndex();
    return current.isValid() && ui_->ListView1->selectionModel()->isRowSelected(current.row(), {})
               ? current.row()
               : -1;
}

void Pellamy::clearSelectedEntry() {
    ui_->ListView1->selectionModel()->clear();
}

void Pellamy::ListView1_ItemClick(const QModelIndex& index) {
    if (!index.isValid())
        return;
    // A row Ctrl+clicked again is no longer chosen: the boxes are emptied,
    // as what is typed there goes to no bird.
    const bool chosen = selectedEntry() == index.row();
    const auto shown = [&](int column) {
        return chosen ? entries_.text(index.row(), column) : QString();
    };
    ui_->birdedit->setText(shown(Col::RingNo));
    ui_->coledit->setText(shown(Col::Colour));
    ui_->sexedit->setText(shown(Col::Sex));
    ui_->rubinedit->setText(shown(Col::RubberIn));
    ui_->ruboutedit->setText(shown(Col::RubberOut));
}

void Pellamy::writeBack(int column, const QString& text) {
    // With no entry selected a change has nowhere to go and is ignored.
    const int row = selectedEntry();
    if (row >= 0 && entries_.text(row, column) != text)
        entries_.setText(row, column, text);
}

void Pellamy::birdedit_Change() {
    writeBack(Col::RingNo, ui_->birdedit->text());
}
void Pellamy::coledit_Change() {
    writeBack(Col::Colour, ui_->coledit->text());
}
void Pellamy::sexedit_Change() {
    writeBack(Col::Sex, ui_->sexedit->text());
}
void Pellamy::rubinedit_Change() {
    writeBack(Col::RubberIn, ui_->rubinedit->text());
}
void Pellamy::ruboutedit_Change() {
    writeBack(Col::RubberOut, ui_->ruboutedit->text());
}

void Pellamy::Command1_Click() {
    ui_->Frame10->hide();
    ui_->Frame11->show();
}

void Pellamy::cmdremove_Click() {
    const int row = selectedEntry();
    if (row >= 0) {
        // No other entry becomes the selected one, so the edit boxes never
        // write into an entry the user did not choose.
        clearSelectedEntry();
        entries_.removeEntry(row);
        clearSelectedEntry();
    }
    ui_->member->show();
}

void Pellamy::CmdClear_Click() {
    clearSelectedEntry();
    entries_.clear();
    ui_->member->show();
}

void Pellamy::CmdExit_Click() {
    if (!dialogs_->askYesNo(QStringLiteral("Have you saved race to file?"), QString()))
        return;
    exitConfirmed_ = true;
    // Details typed since the last save are kept for the next start with
    // the race (nothing is saved to a file).
    takeTypedDetails();
    recovery_->markEnded();
    if (endAction_)
        endAction_();
    else
        close();
}

void Pellamy::closeEvent(QCloseEvent* event) {
    // The window's own close box asks before a race not saved to a file is
    // closed, so that it is not lost from sight by a slip of the mouse (it is
    // offered at the next start all the same). It closes the calculator
    // alone: the distances editor or Season Results may still be open.
    if (!exitConfirmed_ && entries_.count() > 0 &&
        (recovery_->unsaved() || printedDetailsTyped()) &&
        !dialogs_->askYesNo(QStringLiteral("The race on screen has changes that have not been "
                                           "saved to a file. Close the calculator without saving "
                                           "them?"),
                            QStringLiteral("Pellamy"), false)) {
        event->ignore();
        return;
    }
    // Exit has ended the record already; the program's end then closes
    // every window, this one too.
    if (!exitConfirmed_) {
        takeTypedDetails();
        recovery_->markEnded();
    }
    event->accept();
}

} // namespace pellamy
