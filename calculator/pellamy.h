#pragma once
// The calculator window, where a race is worked bird by bird: race details,
// race dates, hours of darkness, master clock details, the member's clock
// times, the bird, and the race entry list at the top in velocity order.
//
// The controls come from the form pellamy.ui, each with the control's own
// name as its objectName(). Values live in the controls as text; the
// handlers gather them, call the race calculation and write the results back.

#include "calc/calculatorfields.h"
#include "calc/raceentrylist.h"
#include "distances/distancestore.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"

#include <QHash>
#include <QThread>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

class QComboBox;
class QLineEdit;
class QScrollArea;
class QTimeEdit;

namespace Ui {
class Pellamy;
}

namespace pellamy {

class MailLauncher;
class RaceRecovery;
class SheetPrinter;
struct SheetDetails;

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

    // The entry list's context menu: the result copied for a spreadsheet,
    // or saved as CSV or as a web page.
    void ListView1_ContextMenu(const QPoint& at);
    void copyResult();
    void saveResultAsCsv();
    void saveResultAsWebPage();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The form's controls as the form cannot set them: fonts, entry limits,
    // the list's columns, the pickers over their boxes.
    void setUpControls();
    void nameForScreenReaders();
    void connectHandlers();
    // What to say when the entry's distance is not the one the member's
    // birds in the list were worked out at; empty when it is.
    QString otherDistance(const QStringList& entry) const;
    QString otherClockTimes(const QStringList& entry) const;
    QString otherRaceDetails(const QStringList& entry) const;
    QString ringEnteredBefore(const QStringList& entry) const;

    // The text boxes of the race details and of every field clocking reads,
    // with the field each shows.
    QVector<std::pair<QLineEdit*, QString RaceDetails::*>> detailBoxes() const;
    QVector<std::pair<QLineEdit*, QString CalculatorFields::*>> fieldBoxes() const;
    // The boxes' texts the window starts with.
    void showStartingTexts();
    // The race details as the controls hold them, and the other way.
    RaceDetails raceDetails() const;
    void showRaceDetails(const RaceDetails& details);
    // The race details the sheets print besides the calculation's own
    // (members, birds, wind, the master clock's details; the comments
    // apart), with the column each is kept in.
    QVector<std::pair<int, QLineEdit*>> printedDetailBoxes() const;
    // Whether any of them, or the comments, was typed in since the race was
    // opened, brought back or saved; and the mark that none was.
    bool printedDetailsTyped() const;
    void markPrintedDetailsKept();
    // Every entry takes the printed details typed since.
    void takeTypedDetails();
    // result.txt, or result-2.txt and so on for a second copy of Pellamy on
    // the same folder (numbered as its recovery record): each copy's e-mail
    // carries its own race, however late the e-mail program reads the file.
    QString resultFileName() const;
    // Where the result goes when the program folder takes no result.txt:
    // Pellamy's own folder in the user's documents. Empty without one.
    QString resultElsewhere() const;
    // The fields that clocking a bird reads, as they stand.
    CalculatorFields gatherFields() const;
    void copyTime(QTimeEdit* picker, QLineEdit* hours, QLineEdit* minutes, QLineEdit* seconds);
    void showMemberLoadProblem();
    // Says once that distances.mdb is damaged, when a read found it so.
    void reportDamage(DatabaseFault fault);
    // Says that the distance server cannot be reached, once each time it is
    // found out of reach, and that the copy of its distances failed.
    void reportOffline();
    // After a start-up from the distance server: the club's copy of its
    // rows made afresh, on a thread of its own.
    void keepServerCopy();

    // The entry last clicked in the list; -1 when there is none.
    int selectedEntry() const;
    void clearSelectedEntry();
    void writeBack(int column, const QString& text);

    SheetPrinter& printer();
    MailLauncher& mailLauncher();
    SheetDetails sheetDetails() const;
    void printSheet(bool federation);
    // Whether there are entries to publish; says so when there are none.
    bool haveResult();
    void savePublished(const QString& filter, const QByteArray& bytes);

    // Starts the recovery record, first offering back a race that an
    // earlier run left unsaved.
    void startRecovery();
    bool saveRace();
    void openRace();
    void restoreRaceDetails(const QStringList& first);
    void setRacepointText(const QString& text);

    QString folder_;
    // The race files this window opened or saved, each with a hash of its
    // bytes then, to tell a save over one that another copy of Pellamy (or
    // another program) has changed it since.
    QHash<QString, QByteArray> raceFiles_;
    // The form (pellamy.ui): every control, named as the window names it.
    std::unique_ptr<Ui::Pellamy> ui_;
    QScrollArea* formScroll_ = nullptr; // the form, in a window smaller than itself
    std::unique_ptr<DialogService> ownDialogs_;
    DialogService* dialogs_;
    DistanceStore store_;
    RaceEntryList entries_;
    NamesSource namesSource_;
    SheetPrinter* printer_ = nullptr;
    MailLauncher* mailer_ = nullptr;
    std::unique_ptr<SheetPrinter> ownPrinter_;
    std::unique_ptr<MailLauncher> ownMailer_;
    std::function<void()> endAction_;
    bool exitConfirmed_ = false;
    std::unique_ptr<RaceRecovery> recovery_;
    std::unique_ptr<QThread> copying_;
    QString copyFailure_;             // why the copy was not made, until it is said
    bool copyFailedOnServer_ = false; // the server broke it off, not the folder
};

} // namespace pellamy
