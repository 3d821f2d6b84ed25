#pragma once
// The distances editor: one member's distance from one race point at a
// time, with navigation, Add, Delete, Update and Close.

#include "distances/editor/datacontrol.h"
#include "distances/recordset.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QLineEdit;

namespace Ui {
class frmdistances;
}

namespace pellamy {

class frmcoordinates;

class frmdistances : public QWidget {
    Q_OBJECT
public:
    // folder: the program folder holding distances.mdb. dialogs: the
    // dialog service (the real dialogs when none is given).
    explicit frmdistances(const QString& folder = programFolder(), DialogService* dialogs = nullptr,
                          QWidget* parent = nullptr);
    ~frmdistances() override;

    // The current record's 0-based position in the record set; -1 for none.
    int recordPosition() const { return records_->position(); }

    // Closes the window at once, throwing away whatever is typed and not
    // saved (the program is ending).
    void closeWithoutSaving();

public slots:
    void Form_Load();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdUpdate_Click();
    void cmdClose_Click();
    // Opens the coordinates window, from which distances are worked out.
    void cmdCoordinates_Click();
    // Brings the club's own distances.mdb up to the federation's server.
    void cmdUpload_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape throws away the edit on screen.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Data1_Reposition();
    void Data1_Error(const QString& description);
    void Data1_Move(DataControl::Move move);

    // Opens the server's records, or the club's copy for reading only when
    // the server cannot be reached.
    void offerNewDatabase();
    void loadFromServer();
    // Nothing can be typed or changed: the distances are shown as they are.
    void makeReadOnly();
    void showCurrent();
    DistanceRecord typed() const;
    bool hasPendingEdits() const;
    // Saves the typed record as Update does. Empty when it was saved;
    // otherwise nothing was saved and the text says why.
    QString saveTyped();
    // Saves as saveTyped() and shows why when nothing was saved.
    bool saveTypedOrSay();
    // Why a save or a delete wrote nothing, in the user's words; empty when
    // it was done. A damaged database is remembered, so nothing is written
    // to it again.
    QString whyNotWritten(WriteOutcome outcome, bool deleting);
    void say(const QString& message);
    // After distances were written from coordinates: the records read
    // afresh, unless an edit is on screen (its save then finds any change).
    void distancesWritten();

    // The form (frmdistances.ui). txtFields is a control array whose members
    // 2 and 3 are the boxes miles and yards.
    std::unique_ptr<Ui::frmdistances> ui_;
    std::array<QLabel*, 4> lblLabels_;
    std::array<QLineEdit*, 5> txtFields_;
    std::unique_ptr<DialogService> ownDialogs_;
    DialogService* dialogs_;
    DistanceSource source_;
    std::unique_ptr<DistanceRecordSet> records_;
    // The server out of reach: the copy is shown and nothing is written.
    bool readOnly_ = false;
    // Nothing is written to a damaged database.
    bool damaged_ = false;
    bool discardOnClose_ = false;
    QPointer<frmcoordinates> coordinates_;
};

} // namespace pellamy
