#include "frmseason.h"

#include "calc/filewrite.h"
#include "platform/windowhabits.h"

#include "ui_frmseason.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QTextDocument>

namespace pellamy {

namespace {

const QString kTitle = QStringLiteral("Pellamy");

QString mergedNote(const SeasonTable& table) {
    QStringList notes;
    if (!table.mergedNames.isEmpty())
        notes << QStringLiteral("Counted as one member, as their names differ only in letter case "
                                "or spacing: ") +
                     table.mergedNames.join(QStringLiteral("; ")) + u'.';
    if (!table.alikeNames.isEmpty())
        notes << QStringLiteral("Counted apart, though their names are written almost "
                                "alike: ") +
                     table.alikeNames.join(QStringLiteral("; ")) +
                     QStringLiteral(". If they are one, put the race files right.");
    return notes.join(u'\n');
}

} // namespace

frmseason::frmseason(std::function<QString()> club, DialogService* dialogs, SheetPrinter* printer,
                     QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::frmseason>()), club_(std::move(club)),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogService>(this)),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()),
      ownPrinter_(printer ? nullptr : std::make_unique<QtSheetPrinter>()),
      printer_(printer ? printer : ownPrinter_.get()) {
    ui_->setupUi(this);
    connect(ui_->cmdChoose, &QPushButton::clicked, this, &frmseason::cmdChoose_Click);
    connect(ui_->cmdPrint, &QPushButton::clicked, this, &frmseason::cmdPrint_Click);
    connect(ui_->cmdSaveCsv, &QPushButton::clicked, this, &frmseason::cmdSaveCsv_Click);
    connect(ui_->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->optRacesClocked, &QRadioButton::toggled, this, &frmseason::workOut);
    connect(ui_->spnMinimumRaces, &QSpinBox::valueChanged, this, &frmseason::workOut);
    connect(ui_->chkFirstBirdOnly, &QCheckBox::toggled, this, &frmseason::workOut);
    connect(ui_->txtPoints, &QLineEdit::editingFinished, this, &frmseason::workOut);
    const int rowHeight = fontMetrics().height() + 6;
    for (QTableWidget* table : {ui_->lstRaces, ui_->tblAverages, ui_->tblPoints}) {
        table->verticalHeader()->hide();
        table->verticalHeader()->setDefaultSectionSize(rowHeight);
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table->setTabKeyNavigation(false); // Tab goes on to the next control
    }
    ui_->lstRaces->horizontalHeader()->setStretchLastSection(true);
    wheelOnlyWhenFocused(this);
    enterPressesButtons(this);
    oneLineTyping(this);
    workOut();
}

frmseason::~frmseason() = default;

void frmseason::cmdChoose_Click() {
    const QStringList paths =
        dialogs_->openFileNames(QStringLiteral("Race Files (*.txt);;All Files (*)"));
    if (paths.isEmpty())
        return;
    QVector<FileStamp> stamps;
    const QVector<SeasonRace> read = readFiles(paths, &stamps);
    take(read, stamps,
         QStringLiteral("Please look at these files before the results are printed:"));
}

namespace {
frmseason::FileStamp stamp(const QString& path) {
    const QFileInfo file(path);
    return {file.exists() ? file.size() : -1, file.lastModified()};
}
} // namespace

QVector<SeasonRace> frmseason::readFiles(const QStringList& files, QVector<FileStamp>* stamps) {
    const WaitCursor wait;
    QVector<SeasonRace> read;
    for (const QString& path : files) {
        *stamps << stamp(path); // before: a change while it is read shows at the next look
        read << readSeasonRace(path);
    }
    return read;
}

void frmseason::take(const QVector<SeasonRace>& read, const QVector<FileStamp>& stamps,
                     const QString& heading, bool always) {
    read_ = read;
    stamps_ = stamps;
    chosen_ = read;
    leaveOutRepeatedRaces(chosen_);
    races_ = seasonOrder(chosen_);
    showRaces();
    workOut();
    // The files left out and the races counted with a doubt are said at
    // once, whole (a long list under Show Details): in the list of races
    // they may be out of sight, or cut short. The files left out first: in
    // a long message they are the ones seen.
    QStringList doubts, noted;
    for (const SeasonRace& race : chosen_)
        if (!race.error.isEmpty())
            doubts << QStringLiteral("%1 %2, and is left out.")
                          .arg(QFileInfo(race.file).fileName(), race.error);
        else if (!race.note.isEmpty())
            noted << QStringLiteral("%1: %2.").arg(QFileInfo(race.file).fileName(), race.note);
    doubts << noted;
    if (!doubts.isEmpty() || always)
        dialogs_->message(doubts.isEmpty() ? heading
                                           : heading + QStringLiteral("\n\n") + doubts.join(u'\n'),
                          kTitle);
}

void frmseason::showRaces() {
    ui_->lstRaces->setRowCount(0);
    QVector<QStringList> rows;
    for (int i = 0; i < races_.size(); ++i) {
        const SeasonRace& race = races_[i];
        rows << QStringList{
            QString::number(i + 1), race.racepoint,
            race.date.isValid() ? race.date.toString(QStringLiteral("dd/MM/yyyy")) : race.dateText,
            QString::number(race.birds.size()),
            race.note.isEmpty()
                ? QDir::toNativeSeparators(race.file)
                : QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(race.file), race.note)};
    }
    // Files that could not be read are listed after, with the reason.
    for (const SeasonRace& race : chosen_)
        if (!race.error.isEmpty())
            rows << QStringList{QStringLiteral("–"), QString(), QString(), QString(),
                                QStringLiteral("%1 %2, and is left out.")
                                    .arg(QDir::toNativeSeparators(race.file), race.error)};
    ui_->lstRaces->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(rows[r][c]);
            // A long path or reason, whole, and as plain text.
            if (!rows[r][c].isEmpty())
                item->setToolTip(Qt::convertFromPlainText(rows[r][c]));
            ui_->lstRaces->setItem(r, c, item);
        }
}

void frmseason::workOut() {
    ui_->spnMinimumRaces->setEnabled(ui_->optRacesClocked->isChecked());
    AverageRule averages{ui_->optRacesClocked->isChecked(), ui_->spnMinimumRaces->value()};
    // Points that cannot be read are said once; the last good ones stay.
    QString error;
    const QVector<int> forPlace = readPointsList(ui_->txtPoints->text(), &error);
    if (!forPlace.isEmpty()) {
        forPlace_ = forPlace;
        ui_->txtPoints->setModified(false);
    } else if (sender() == ui_->txtPoints) {
        dialogs_->message(error, kTitle);
        // Back to the points to put them right, not on to the tick box
        // beside them, which the blanks typed next would tick and untick.
        ui_->txtPoints->setFocus();
        ui_->txtPoints->selectAll();
    }
    PointsRule points;
    points.forPlace = forPlace_;
    points.firstBirdOnly = ui_->chkFirstBirdOnly->isChecked();
    table_ = seasonTable(races_, averages, points);
    // The season's figure (Average, Total) stands beside the member's own
    // columns, seen without scrolling past every race; the sheet and the
    // CSV keep it last.
    for (const auto& [table, competition] : {std::pair{ui_->tblAverages, Competition::Averages},
                                             {ui_->tblPoints, Competition::Points}}) {
        QStringList header = seasonHeader(races_, competition);
        QVector<QStringList> rows = seasonRows(table_, competition);
        const qsizetype leading = header.size() - races_.size() - 1;
        header.insert(leading, header.takeLast());
        for (QStringList& row : rows)
            row.insert(leading, row.takeLast());
        fill(table, header, rows);
    }
    QString averagesNote = mergedNote(table_);
    if (table_.belowMinimum > 0)
        averagesNote.prepend(belowMinimumText(table_) + QStringLiteral(" here.\n"));
    ui_->lblAveragesNote->setText(averagesNote.trimmed());
    ui_->lblPointsNote->setText(mergedNote(table_));
}

void frmseason::fill(QTableWidget* table, const QStringList& header,
                     const QVector<QStringList>& rows) {
    // The columns are sized to their contents once, when every item is in:
    // sized at each item, a season of 30 races took half a second a table.
    QHeaderView* columns = table->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    table->setUpdatesEnabled(false);
    table->clear();
    table->setColumnCount(int(header.size()));
    table->setHorizontalHeaderLabels(header);
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(rows[r][c]);
            // Figures line up on the right, as on the sheet.
            if (c != 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    columns->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setUpdatesEnabled(true);
}

Competition frmseason::shownCompetition() const {
    return ui_->tabCompetitions->currentWidget() == ui_->tabPoints ? Competition::Points
                                                                   : Competition::Averages;
}

bool frmseason::readyToPrintOrSave() {
    if (races_.isEmpty()) {
        dialogs_->message(chosen_.isEmpty()
                              ? QStringLiteral("Please choose the season's race files first.")
                              : QStringLiteral("None of the files chosen can be counted: the "
                                               "list says why for each. Please choose the "
                                               "season's race files again."),
                          kTitle);
        return false;
    }
    // Points typed but not taken in yet (Print or Save pressed by its access
    // key, the box never left) are taken in first. Points that cannot be
    // read stop the points sheet rather than print the last good ones
    // unseen; the averages do not use them.
    if (ui_->txtPoints->isModified()) {
        QString error;
        if (shownCompetition() == Competition::Points &&
            readPointsList(ui_->txtPoints->text(), &error).isEmpty()) {
            dialogs_->message(error, kTitle);
            return false;
        }
        workOut();
    }
    return filesAsRead();
}

bool frmseason::filesAsRead() {
    QStringList files;
    bool same = true;
    for (int i = 0; i < read_.size(); ++i) {
        files << read_[i].file;
        same = same && stamp(read_[i].file) == stamps_.value(i);
    }
    if (same)
        return true;
    QVector<FileStamp> stamps;
    const QVector<SeasonRace> now = readFiles(files, &stamps);
    QStringList changed;
    for (int i = 0; i < now.size(); ++i)
        if (!(now[i] == read_[i]))
            changed << QFileInfo(now[i].file).fileName();
    if (changed.isEmpty()) { // saved again as it was: nothing to say
        stamps_ = stamps;
        return true;
    }
    take(now, stamps,
         QStringLiteral("%1 changed since the files were chosen, so the tables have been worked "
                        "out again from the files as they are now. Please look at them, then "
                        "print or save again.")
             .arg(changed.join(QStringLiteral(", "))),
         true);
    return false;
}

void frmseason::cmdPrint_Click() {
    if (!readyToPrintOrSave())
        return;
    const PrintDocument sheet = seasonSheet(club_(), races_, table_, shownCompetition());
    const QString problem = printOrSavePdf(
        *printer_, sheet, [&](const QString& q) { return dialogs_->askYesNo(q, kTitle); },
        [&] { return chooseFileToSave(*dialogs_, QStringLiteral("PDF Files (*.pdf)"), kTitle); });
    if (!problem.isEmpty())
        dialogs_->message(problem, kTitle);
}

void frmseason::cmdSaveCsv_Click() {
    if (!readyToPrintOrSave())
        return;
    const QString path = chooseFileToSave(*dialogs_, QStringLiteral("CSV Files (*.csv)"), kTitle);
    if (path.isEmpty())
        return;
    const FileWrite written = writeWholeFile(path, seasonCsv(races_, table_, shownCompetition()));
    if (!written.ok())
        dialogs_->message(QStringLiteral("%1 could not be saved, because %2.")
                              .arg(QDir::toNativeSeparators(path), written.problem),
                          kTitle);
}

} // namespace pellamy
