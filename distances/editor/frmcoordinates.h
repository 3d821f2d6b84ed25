#pragma once
// The lofts' and race points' coordinates, each as an editable list with
// Add, Remove and Import, and the distances worked out from them. Opened
// from the distances editor.
//
// The lists are edited on screen and stored by Save (or when the window
// closes, if the user says so). A coordinate is read as it is typed: one
// that cannot be read is refused with a message and the cell keeps what it
// held; one that can is shown in the normal form.

#include "distances/coordinatestore.h"
#include "platform/dialogs.h"

#include <QWidget>

#include <memory>

class QTableWidget;
class QTableWidgetItem;

namespace Ui {
class frmcoordinates;
}

namespace pellamy {

class frmcoordinates : public QWidget {
    Q_OBJECT
public:
    // dialogs: the real ones over this window when none are given.
    frmcoordinates(const DistanceSource& source, DialogService* dialogs, QWidget* parent = nullptr);
    ~frmcoordinates() override;

    // Reads the lists from the database. False, after saying why, when they
    // cannot be read: the window is then not to be shown.
    bool load();
    bool hasUnsavedChanges() const;
    // Closes at once, throwing away what is not saved (the program is ending).
    void closeWithoutSaving();

public slots:
    void cmdAddLoft_Click();
    void cmdRemoveLoft_Click();
    void cmdImportLofts_Click();
    void cmdAddRacepoint_Click();
    void cmdRemoveRacepoint_Click();
    void cmdImportRacepoints_Click();
    void cmdWorkOut_Click();
    void cmdSave_Click();
    void cmdClose_Click();

signals:
    // Rows of the Distances table were added or changed.
    void distancesWritten();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct List;
    List& listOf(QTableWidget* table);
    void add(List& list);
    void remove(List& list);
    void import(List& list);
    // Takes in the places of a CSV file (or, with no file name, rows
    // pasted), the first new one into emptyRow when there is one; false,
    // after saying why, when nothing was taken in.
    bool takeIn(List& list, const QByteArray& bytes, const QString& fileName, int emptyRow = -1);
    // Rows pasted, the first new one into the row given if it is empty.
    bool paste(List& list, const QString& text, int row);
    void edited(List& list, QTableWidgetItem* item);
    // Why the text cannot stand in the cell; none when it can, the text then
    // put in the form the list shows.
    QString refusal(const List& list, int row, int column, QString& text) const;
    void showList(List& list, const QVector<Place>& places);
    QVector<Place> places(const List& list) const;
    PlaceLists shown() const;
    // Takes in what is typed in an open cell; false when it was refused
    // (and said), so that nothing goes on with the value it replaced.
    bool commitTyping();
    // Checks and stores the lists; false, after saying why, when nothing was
    // stored.
    bool save();
    void say(const QString& message);

    std::unique_ptr<Ui::frmcoordinates> ui_;
    std::unique_ptr<List> lofts_, racepoints_;
    // The real dialogs over this window when none are given: over the
    // editor, their closing would hand the keyboard to the blocked editor.
    std::unique_ptr<DialogService> ownDialogs_;
    DialogService* dialogs_;
    DistanceSource source_;
    PlaceLists stored_; // as read, or as last saved
    bool showing_ = false;
    bool refused_ = false; // a typed cell was refused since commitTyping began
    bool discardOnClose_ = false;
};

} // namespace pellamy
