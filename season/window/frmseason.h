#pragma once
// The season results window: the user chooses a season's race files, sees
// them in race-date order, and the averages and points tables worked out
// from them, to print or save as CSV. The race files are only read.

#include "season/season.h"
#include "season/seasonsheet.h"

#include "platform/dialogs.h"
#include "reports/sheetprinter.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <memory>

class QTableWidget;

namespace Ui {
class frmseason;
}

namespace pellamy {

class frmseason : public QWidget {
    Q_OBJECT
public:
    // club: the club's name for the printed sheet, read at each print (the
    // start window may change it while this window stays open). dialogs and
    // printer: the real ones when none are given.
    explicit frmseason(std::function<QString()> club, DialogService* dialogs = nullptr,
                       SheetPrinter* printer = nullptr, QWidget* parent = nullptr);
    ~frmseason() override;

public slots:
    void cmdChoose_Click();
    void cmdPrint_Click();
    void cmdSaveCsv_Click();

private:
public:
    // A file's size and time of change when it was read.
    using FileStamp = std::pair<qint64, QDateTime>;

private:
    // Reads each file, under a wait cursor, with its stamp.
    static QVector<SeasonRace> readFiles(const QStringList& files, QVector<FileStamp>* stamps);
    // Counts the races read, shows them and works the tables out. Says
    // heading with the files left out or to be looked at (heading alone too
    // when always).
    void take(const QVector<SeasonRace>& read, const QVector<FileStamp>& stamps,
              const QString& heading, bool always = false);
    // Works both tables out again from the races and the rules on screen.
    void workOut();
    // Whether the files chosen still read as they did. A race put right in
    // the calculator since (a bird taken out, a name mended) is taken in
    // afresh and said, so that no sheet is printed from what it was.
    bool filesAsRead();
    // Whether there is a season to print or save, with the points typed taken in.
    bool readyToPrintOrSave();
    void showRaces();
    static void fill(QTableWidget* table, const QStringList& header,
                     const QVector<QStringList>& rows);
    Competition shownCompetition() const;

    std::unique_ptr<Ui::frmseason> ui_;
    std::function<QString()> club_;
    std::unique_ptr<DialogService> ownDialogs_;
    DialogService* dialogs_;
    std::unique_ptr<SheetPrinter> ownPrinter_;
    SheetPrinter* printer_;
    QVector<SeasonRace> read_; // each file chosen as it read
    // Each file's stamp when it was read: a file still so is not read again
    // at each print.
    QVector<FileStamp> stamps_;
    QVector<SeasonRace> chosen_; // those, copies of a race among them left out or noted
    QVector<SeasonRace> races_;  // those read, in race-date order
    SeasonTable table_;
    QVector<int> forPlace_ = PointsRule().forPlace;
};

} // namespace pellamy
