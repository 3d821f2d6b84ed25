#pragma once
// The calculator window, where a race is worked bird by bird: race details,
// race dates, hours of darkness, master clock details, the member's clock
// times, the bird, and the race entry list at the top in velocity order.
//
// Every control is a member carrying the control's own name, which is also
// its objectName(). Values live in the controls as text; the handlers gather
// them, call the race calculation and write the results back.

#include "calc/calculatorfields.h"
#include "calc/raceentrylist.h"
#include "distances/distancestore.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QTreeView;

namespace pellamy {

class GroupCaptions;
class MailLauncher;
class RaceRecovery;
class SheetPrinter;
struct SheetDetails;
class PictureButton;
class TimeOverlay;

class Pellamy : public QWidget {
    Q_OBJECT
public:
    // folder: the program folder holding distances.mdb. dialogs: the dialog
    // service (the real dialogs when none is given).
    explicit Pellamy(const QString& folder = programFolder(), DialogService* dialogs = nullptr,
                     QWidget* parent = nullptr);
    ~Pellamy() override;

    // Where the printed sheets get the club and the federation name from.
    using NamesSource = std::function<std::pair<QString, QString>()>;
    void setNamesSource(NamesSource source) { namesSource_ = std::move(source); }
    // The printer and the e-mail hand-off (the system's own when none is
    // given); the window does not own them.
    void setPrinter(SheetPrinter* printer);
    void setMailLauncher(MailLauncher* launcher);
    // What a confirmed Exit does: end the program.
    void setEndAction(std::function<void()> action) { endAction_ = std::move(action); }

    // The race entry list the list view shows.
    RaceEntryList& entries() { return entries_; }
    // The recovery record of the race on screen.
    RaceRecovery& recovery() { return *recovery_; }
    const QString& folder() const { return folder_; }

    // The entry list and the group captions over its columns.
    GroupCaptions* Label12;
    QTreeView* ListView1;

    // Race details.
    QGroupBox* Frame1;
    QLabel *Label26, *Label25, *Label22, *Label33, *Label28;
    QLineEdit *txtmember, *txtbirds, *txtwind;
    QComboBox* racepoint;
    QLineEdit *birdlibhrs, *birdlibmins, *birdlibsecs;
    QLineEdit *txtdateset, *txtdaterace;

    // Race dates and the night counts they give.
    QGroupBox* Frame7;
    QLabel *Label21, *Label27, *Label29;
    QDateTimeEdit *DayClockSet, *RaceDay, *DayClockOpen, *DaybirdClocked;
    QLineEdit *midnight, *midnight2, *extraday;

    // Hours of darkness.
    QGroupBox* Frame8;
    QLabel *Label30, *Label31, *Label32;
    QLineEdit *HODhr, *HODmin, *HOLhr, *HOLmin;

    // Master clock details.
    QGroupBox* Frame3;
    QLabel *Label13, *Label17, *Label14, *Label18;
    QLineEdit *mtdetailset, *mtreadset, *mtdetailrake, *mtreadrake;

    // The member and the clock times.
    QGroupBox* Frame4;
    QComboBox* member;
    QLabel *Label7, *Label9, *Label8, *Label10, *Label11;
    QTimeEdit *DTPicker1, *DTPicker5, *DTPicker4, *DTPicker6, *DTPicker7;
    QLineEdit *MTSetHr, *MTSetMin, *MTSetSec;
    QLineEdit *CsHr, *CsMin, *CsSec;
    QLineEdit *MTRakeHr, *MTRakeMin, *MTRakeSec;
    QLineEdit *CrHr, *CrMin, *CrSec;
    QLineEdit *birdclockhrs, *birdclockmins, *birdclocksecs;

    // The bird.
    QGroupBox* Frame2;
    QLabel *Label19, *Label20, *Label1, *Label2, *Label5, *Label6;
    QComboBox* comcol;
    QCheckBox *Check3, *Check4;
    QLineEdit *ringno, *Rubin, *Rubout;

    // Pool and nomination.
    QGroupBox* Frame6;
    QCheckBox *Check1, *Check2;

    // Comments, and the edit frame in the same place.
    QGroupBox* Frame10;
    QPlainTextEdit* txtcomments;
    QGroupBox* Frame11;
    QLabel *Label36, *Label38, *Label37, *Label39, *Label40;
    QLineEdit *coledit, *sexedit, *birdedit, *rubinedit, *ruboutedit;

    // Commands.
    QGroupBox* Frame9;
    QPushButton *cmdremove, *CmdClear, *Clubprint, *cmdsave;
    QPushButton *Command1, *Command2, *CmdPrint, *cmdopen;
    QLineEdit *txtcopies2, *txtcopies;
    PictureButton* Picture1;
    QPushButton* CmdExit;

    // Results (never shown).
    QGroupBox* Frame5;
    QLabel *Label3, *Label4, *Label15, *Label16;
    QLineEdit *variation, *FTHrs, *FTMins, *FTSecs, *velocity, *Text1;

    // Hidden holders.
    QLineEdit *txtsex, *txtcol, *txtpool;
    QLineEdit *Textcon2, *miles, *textcon4, *textcon5, *yards;
    QLineEdit* sixtieths;

    // The index of the chosen entry of a list, or -1 when the text shown is
    // not an entry of the list (typed instead of chosen).
    static int chosenIndex(const QComboBox* box);

public slots:
    void Form_Load();
    void racepoint_Click();
    void Picture1_Click();

    void DayClockSet_Change();
    void RaceDay_Change();
    void DayClockOpen_Change();
    void DaybirdClocked_Change();
    void DTPicker1_Change();
    void DTPicker4_Change();
    void DTPicker5_Change();
    void DTPicker6_Change();
    void DTPicker7_Change();

    void ListView1_ItemClick(const QModelIndex& index);
    void birdedit_Change();
    void coledit_Change();
    void sexedit_Change();
    void rubinedit_Change();
    void ruboutedit_Change();
    void Command1_Click();
    void cmdremove_Click();
    void CmdClear_Click();
    void CmdExit_Click();

    void cmdsave_Click();
    void cmdopen_Click();

    void Clubprint_Click();
    void CmdPrint_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createLayout();
    void setTabOrder();
    void connectHandlers();

    // The text boxes of the race details and of every field clocking reads,
    // with the field each shows.
    QVector<std::pair<QLineEdit*, QString RaceDetails::*>> detailBoxes() const;
    QVector<std::pair<QLineEdit*, QString CalculatorFields::*>> fieldBoxes() const;
    // The boxes' texts the window starts with.
    void showStartingTexts();
    // The race details as the controls hold them, and the other way.
    RaceDetails raceDetails() const;
    void showRaceDetails(const RaceDetails& details);
    // The fields that clocking a bird reads, as they stand.
    CalculatorFields gatherFields() const;
    void copyTime(QTimeEdit* picker, QLineEdit* hours, QLineEdit* minutes, QLineEdit* seconds);
    void showMemberLoadProblem();
    // Says once that distances.mdb is damaged, when a read found it so.
    void reportDamage(DatabaseFault fault);

    // The entry last clicked in the list; -1 when there is none.
    int selectedEntry() const;
    void clearSelectedEntry();
    void writeBack(int column, const QString& text);

    SheetPrinter& printer();
    MailLauncher& mailLauncher();
    SheetDetails sheetDetails() const;
    void printSheet(bool federation);

    // Starts the recovery record, first offering back a race that an
    // earlier run left unsaved.
    void startRecovery();
    bool saveRace();
    void openRace();
    void restoreRaceDetails(const QStringList& first);
    void setRacepointText(const QString& text);

    QString folder_;
    std::unique_ptr<DialogService> ownDialogs_;
    DialogService* dialogs_;
    DistanceStore store_;
    RaceEntryList entries_;
    TimeOverlay* timeRows_[5] = {};
    NamesSource namesSource_;
    SheetPrinter* printer_ = nullptr;
    MailLauncher* mailer_ = nullptr;
    std::unique_ptr<SheetPrinter> ownPrinter_;
    std::unique_ptr<MailLauncher> ownMailer_;
    std::function<void()> endAction_;
    bool exitConfirmed_ = false;
    std::unique_ptr<RaceRecovery> recovery_;
};

} // namespace pellamy
