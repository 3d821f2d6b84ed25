#pragma once
// The distances editor: one member's distance from one race point at a
// time, with navigation, Add, Delete, Update and Close.

#include "distances/editor/datacontrol.h"
#include "distances/recordset.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pellamy {

class frmdistances : public QWidget {
    Q_OBJECT
public:
    // folder: the program folder holding distances.mdb. dialogs: the
    // dialog service (the real dialogs when none is given).
    explicit frmdistances(const QString& folder = programFolder(), DialogService* dialogs = nullptr,
                          QWidget* parent = nullptr);
    ~frmdistances() override;

    // The controls. txtFields is a control array whose members 2 and 3 are
    // the boxes miles and yards.
    QLabel* lblLabels[4];
    QLineEdit* txtFields[5];
    QLineEdit* miles;
    QLineEdit* yards;
    QPushButton* cmdAdd;
    QPushButton* cmdDelete;
    QPushButton* cmdUpdate;
    QPushButton* cmdClose;
    DataControl* Data1;

    // The current record's 0-based position in the record set; -1 for none.
    int recordPosition() const { return records_.position(); }

public slots:
    void Form_Load();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdUpdate_Click();
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Data1_Reposition();
    void Data1_Error(const QString& description);
    void Data1_Move(DataControl::Move move);

    void showCurrent();
    DistanceRecord typed() const;
    bool hasPendingEdits() const;
    // Saves the typed record as Update does; false (nothing saved) when
    // miles or yards is not a number or the database refuses it.
    bool saveTyped();

    std::unique_ptr<DialogService> ownDialogs_;
    DialogService* dialogs_;
    QString databasePath_;
    DistanceRecordSet records_;
};

} // namespace pellamy
