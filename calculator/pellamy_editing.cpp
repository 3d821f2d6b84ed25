// Correcting, removing and clearing entries, and leaving the program.

#include "pellamy.h"

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
    const QModelIndex current = ListView1->selectionModel()->currentIndex();
    return current.isValid() && ListView1->selectionModel()->isRowSelected(current.row(), {})
               ? current.row()
               : -1;
}

void Pellamy::clearSelectedEntry() {
    ListView1->selectionModel()->clear();
}

void Pellamy::ListView1_ItemClick(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const int row = index.row();
    birdedit->setText(entries_.text(row, Col::RingNo));
    coledit->setText(entries_.text(row, Col::Colour));
    sexedit->setText(entries_.text(row, Col::Sex));
    rubinedit->setText(entries_.text(row, Col::RubberIn));
    ruboutedit->setText(entries_.text(row, Col::RubberOut));
}

void Pellamy::writeBack(int column, const QString& text) {
    // With no entry selected a change has nowhere to go and is ignored.
    const int row = selectedEntry();
    if (row >= 0 && entries_.text(row, column) != text)
        entries_.setText(row, column, text);
}

void Pellamy::birdedit_Change() {
    writeBack(Col::RingNo, birdedit->text());
}
void Pellamy::coledit_Change() {
    writeBack(Col::Colour, coledit->text());
}
void Pellamy::sexedit_Change() {
    writeBack(Col::Sex, sexedit->text());
}
void Pellamy::rubinedit_Change() {
    writeBack(Col::RubberIn, rubinedit->text());
}
void Pellamy::ruboutedit_Change() {
    writeBack(Col::RubberOut, ruboutedit->text());
}

void Pellamy::Command1_Click() {
    Frame10->hide();
    Frame11->show();
}

void Pellamy::cmdremove_Click() {
    const int row = selectedEntry();
    if (row >= 0) {
        // No other entry becomes the selected one, so the edit boxes never
        // write into an entry the user did not click.
        clearSelectedEntry();
        entries_.removeEntry(row);
        clearSelectedEntry();
    }
    member->show();
}

void Pellamy::CmdClear_Click() {
    clearSelectedEntry();
    entries_.clear();
    member->show();
}

void Pellamy::CmdExit_Click() {
    if (!dialogs_->askYesNo(QStringLiteral("Have you saved race to file?"), QString()))
        return;
    exitConfirmed_ = true;
    recovery_->markEnded();
    if (endAction_)
        endAction_();
    else
        close();
}

void Pellamy::closeEvent(QCloseEvent* event) {
    // The window's own close box ends the program as Exit does, so a race
    // still on screen is not lost by a slip of the mouse.
    if (!exitConfirmed_ && entries_.count() > 0 &&
        !dialogs_->askYesNo(QStringLiteral("Have you saved race to file?"), QString())) {
        event->ignore();
        return;
    }
    recovery_->markEnded();
    event->accept();
}

} // namespace pellamy
