#include "frmcoordinates.h"

#include "calc/textforms.h"
#include "distances/coordinates.h"
#include "distances/placecsv.h"
#include "distances/workout.h"
#include "platform/lengthlimit.h"
#include "platform/windowhabits.h"

#include "ui_frmcoordinates.h"

#include <cmath>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>

namespace pellamy {

namespace {

// Names are held to the Distances table's entry limits as they are typed
// (a name pasted too long is refused whole, not cut).
// Tab from a longitude (Shift+Tab from a name) ends the typing there, where
// the table would open the next row's name (the previous row's longitude)
// to be typed over.
class NameLimit : public QStyledItemDelegate {
public:
    NameLimit(int limit, QTableWidget* table) : QStyledItemDelegate(table), limit_(limit) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && index.column() == 0)
            limitTyping(line, limit_);
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        const int key =
            event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
        // The table is looked at only for a key: the editor's other events
        // come also while the table is being destroyed.
        const auto* table = key ? qobject_cast<const QTableWidget*>(parent()) : nullptr;
        if (table && ((key == Qt::Key_Tab && table->currentColumn() == table->columnCount() - 1) ||
                      (key == Qt::Key_Backtab && table->currentColumn() == 0))) {
            auto* editor = static_cast<QWidget*>(object);
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    int limit_;
};

const Axis kAxes[] = {Axis::Latitude, Axis::Longitude};

} // namespace

struct frmcoordinates::List {
    QTableWidget* table;
    QString one;   // "loft", "race point"
    QString many;  // "lofts", "race points"
    QString name;  // what the first column holds: "member", "race point"
    int nameLimit; // the Distances table's entry limit for that name
};

frmcoordinates::frmcoordinates(const DistanceSource& source, DialogService* dialogs,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::frmcoordinates>()),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogService>(this)),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()), source_(source) {
    ui_->setupUi(this);
    enterPressesButtons(this);
    lofts_ = std::make_unique<List>(List{ui_->lstLofts, QStringLiteral("loft"),
                                         QStringLiteral("lofts"), QStringLiteral("member"), 20});
    racepoints_ = std::make_unique<List>(List{ui_->lstRacepoints, QStringLiteral("race point"),
                                              QStringLiteral("race points"),
                                              QStringLiteral("race point"), 15});
    for (const List* list : {lofts_.get(), racepoints_.get()})
        list->table->setItemDelegate(new NameLimit(list->nameLimit, list->table));
    for (QTableWidget* table : {ui_->lstLofts, ui_->lstRacepoints}) {
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        table->setColumnWidth(0, 220);
        table->setColumnWidth(1, 170);
        table->horizontalHeader()->setStretchLastSection(true); // the longitude in reach
        connect(table, &QTableWidget::itemChanged, this,
                [this, table](QTableWidgetItem* item) { edited(listOf(table), item); });
        // Pasted on the list with no cell open: one row goes into the
        // current cell as if pasted there; several rows are imported.
        auto* paste = new QAction(table);
        paste->setShortcut(QKeySequence::Paste);
        paste->setShortcutContext(Qt::WidgetShortcut);
        table->addAction(paste);
        connect(paste, &QAction::triggered, this, [this, table] {
            const QString text = QGuiApplication::clipboard()->text();
            if (text.trimmed().isEmpty())
                return;
            QTableWidgetItem* cell = table->currentItem();
            const bool oneLine = !text.trimmed().contains(u'\n') && !text.trimmed().contains(u'\r');
            // A whole place on a place's name is added, or matched by its
            // name, not put over that place.
            const bool wholePlace = cell && cell->column() == 0 && text.trimmed().contains(u'\t') &&
                                    !cell->data(Qt::UserRole).toString().isEmpty();
            if (cell && oneLine && !wholePlace)
                cell->setText(text); // shared out by edited()
            else
                this->paste(listOf(table), text, table->currentRow());
        });
    }

    connect(ui_->cmdAddLoft, &QPushButton::clicked, this, &frmcoordinates::cmdAddLoft_Click);
    connect(ui_->cmdRemoveLoft, &QPushButton::clicked, this, &frmcoordinates::cmdRemoveLoft_Click);
    connect(ui_->cmdImportLofts, &QPushButton::clicked, this,
            &frmcoordinates::cmdImportLofts_Click);
    connect(ui_->cmdAddRacepoint, &QPushButton::clicked, this,
            &frmcoordinates::cmdAddRacepoint_Click);
    connect(ui_->cmdRemoveRacepoint, &QPushButton::clicked, this,
            &frmcoordinates::cmdRemoveRacepoint_Click);
    connect(ui_->cmdImportRacepoints, &QPushButton::clicked, this,
            &frmcoordinates::cmdImportRacepoints_Click);
    connect(ui_->cmdWorkOut, &QPushButton::clicked, this, &frmcoordinates::cmdWorkOut_Click);
    connect(ui_->cmdSave, &QPushButton::clicked, this, &frmcoordinates::cmdSave_Click);
    connect(ui_->cmdClose, &QPushButton::clicked, this, &frmcoordinates::cmdClose_Click);
}

frmcoordinates::~frmcoordinates() = default;

frmcoordinates::List& frmcoordinates::listOf(QTableWidget* table) {
    return table == ui_->lstLofts ? *lofts_ : *racepoints_;
}

void frmcoordinates::say(const QString& message) {
    dialogs_->message(message, QStringLiteral("Pellamy"));
}

bool frmcoordinates::load() {
    const PlaceRead read = readPlaces(source_);
    if (!read.ok()) {
        say(read.fault == DatabaseFault::Damaged
                ? damagedDatabaseMessage()
                : QStringLiteral("The coordinates cannot be read: %1").arg(read.error));
        return false;
    }
    stored_ = read.lists;
    showList(*lofts_, stored_.lofts);
    showList(*racepoints_, stored_.racepoints);
    return true;
}

void frmcoordinates::showList(List& list, const QVector<Place>& places) {
    showing_ = true;
    list.table->setRowCount(0);
    list.table->setRowCount(int(places.size()));
    for (int row = 0; row < places.size(); ++row) {
        const QString texts[] = {places[row].name, places[row].latitude, places[row].longitude};
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setData(Qt::UserRole, texts[column]);
            list.table->setItem(row, column, item);
        }
    }
    showing_ = false;
}

QVector<Place> frmcoordinates::places(const List& list) const {
    QVector<Place> result;
    for (int row = 0; row < list.table->rowCount(); ++row) {
        QString texts[3];
        for (int column = 0; column < 3; ++column)
            if (const QTableWidgetItem* item = list.table->item(row, column))
                texts[column] = item->text();
        result.push_back({texts[0], texts[1], texts[2]});
    }
    return result;
}

bool frmcoordinates::commitTyping() {
    // A cell being typed into holds its text in its editor until the focus
    // leaves it; a button's access key, or the window's close box, does not
    // move the focus. What is typed counts all the same.
    refused_ = false;
    for (QTableWidget* table : {ui_->lstLofts, ui_->lstRacepoints})
        if (QWidget* editor = table->indexWidget(table->currentIndex()))
            emit table->itemDelegate()->commitData(editor);
    return !refused_;
}

namespace {

// A row added and left empty: it holds nothing to keep or to refuse.
bool blank(const Place& place) {
    return place.name.trimmed().isEmpty() && place.latitude.isEmpty() && place.longitude.isEmpty();
}

QVector<Place> withoutBlanks(QVector<Place> places) {
    places.removeIf(blank);
    return places;
}

} // namespace

PlaceLists frmcoordinates::shown() const {
    return {withoutBlanks(places(*lofts_)), withoutBlanks(places(*racepoints_))};
}

bool frmcoordinates::hasUnsavedChanges() const {
    return !(shown() == stored_);
}

QString frmcoordinates::refusal(const List& list, int row, int column, QString& text) const {
    if (column == 0) {
        text = plainBlanks(text);
        // Pasted on the list, a name meets no limit as it is typed.
        if (text.size() > list.nameLimit)
            return QStringLiteral("The name \"%1\" is longer than %2 characters.")
                .arg(text, QString::number(list.nameLimit));
        for (int other = 0; other < list.table->rowCount(); ++other) {
            const QTableWidgetItem* name = list.table->item(other, 0);
            if (other != row && name && !text.isEmpty() &&
                nocaseKey(name->text()) == nocaseKey(text))
                return QStringLiteral("There is already a %1 for \"%2\".").arg(list.one, text);
        }
    } else if (!text.isEmpty()) {
        const Axis axis = kAxes[column - 1];
        const CoordinateReading reading = readCoordinate(text, axis);
        if (!reading.nanoArcseconds)
            return reading.error;
        text = coordinateText(*reading.nanoArcseconds, axis);
    }
    return QString();
}

void frmcoordinates::edited(List& list, QTableWidgetItem* item) {
    if (showing_)
        return;
    const int row = item->row(), column = item->column();
    // A row copied from a spreadsheet and pasted into a cell fills the cells
    // from there on, all of them or, when one is refused, none; a cell copied
    // comes with a line break, which is not kept. Several rows are imported.
    QStringList lines = item->text().split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    while (lines.size() > 1 && lines.last().trimmed().isEmpty())
        lines.removeLast();
    QStringList cells = lines.value(0).split(u'\t');
    // A spreadsheet row may go on past the longitude (notes, say), as a
    // file imported may.
    if (column == 0)
        cells = cells.mid(0, 3);
    while (column + cells.size() > 3 && cells.last().trimmed().isEmpty())
        cells.removeLast(); // a whole row copied, empty after the longitude
    if (lines.size() > 1) {
        // Several rows: taken in as from a file, the cell left as it was.
        const QString pasted = item->text();
        showing_ = true;
        item->setText(item->data(Qt::UserRole).toString());
        showing_ = false;
        if (!paste(list, pasted, row))
            refused_ = true;
        return;
    }
    QString refusal;
    if (column + cells.size() > 3)
        refusal = QStringLiteral("The row pasted has %1 cells, more than this cell and those after "
                                 "it take. A row of name, latitude and longitude is pasted into a "
                                 "%2's name.")
                      .arg(QString::number(cells.size()), list.one);
    for (int i = 0; i < cells.size() && refusal.isEmpty(); ++i) {
        cells[i] = cells[i].trimmed();
        refusal = this->refusal(list, row, column + i, cells[i]);
    }
    if (!refusal.isEmpty() && cells.size() > 1)
        refusal += QStringLiteral(" Nothing of the row pasted has been kept.");
    showing_ = true;
    if (refusal.isEmpty()) {
        for (int i = 0; i < cells.size(); ++i) {
            // An empty cell of a row pasted leaves the one it lands on as
            // it is: no coordinate is lost to a stray tab.
            if (cells.size() > 1 && cells[i].isEmpty()) {
                if (i == 0) // the cell pasted into, which holds the row
                    item->setText(item->data(Qt::UserRole).toString());
                continue;
            }
            QTableWidgetItem* cell = list.table->item(row, column + i);
            cell->setText(cells[i]);
            cell->setData(Qt::UserRole, cells[i]);
        }
    } else {
        item->setText(item->data(Qt::UserRole).toString());
    }
    showing_ = false;
    if (!refusal.isEmpty()) {
        refused_ = true;
        say(refusal);
    }
}

void frmcoordinates::add(List& list) {
    const int row = list.table->rowCount();
    showing_ = true;
    list.table->insertRow(row);
    for (int column = 0; column < 3; ++column) {
        auto* item = new QTableWidgetItem;
        item->setData(Qt::UserRole, QString());
        list.table->setItem(row, column, item);
    }
    showing_ = false;
    list.table->setCurrentCell(row, 0);
    list.table->setFocus();
    list.table->editItem(list.table->item(row, 0));
}

void frmcoordinates::remove(List& list) {
    QList<int> rows;
    for (const QModelIndex& index : list.table->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty() && list.table->currentRow() >= 0)
        rows << list.table->currentRow();
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (int row : rows)
        list.table->removeRow(row);
}

void frmcoordinates::import(List& list) {
    if (!commitTyping())
        return;
    const QString path =
        dialogs_->openFileName(QStringLiteral("CSV Files (*.csv *.txt);;All Files (*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        say(QStringLiteral("%1 cannot be read: %2")
                .arg(QFileInfo(path).fileName(), file.errorString()));
        return;
    }
    // A file far larger than any list of places (chosen by mistake under
    // "All Files") is not read into memory.
    if (file.size() > kLargestPlaceFile) {
        say(QStringLiteral("%1 is far larger than a list of places (%2 MB). Nothing was imported.")
                .arg(QFileInfo(path).fileName(), QString::number(file.size() >> 20)));
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        say(QStringLiteral("%1 could not be read whole (%2). Nothing was imported.")
                .arg(QFileInfo(path).fileName(), file.errorString()));
        return;
    }
    takeIn(list, bytes, QFileInfo(path).fileName());
}

bool frmcoordinates::takeIn(List& list, const QByteArray& bytes, const QString& fileName,
                            int emptyRow) {
    const PlaceImport imported = readPlaceCsv(bytes, list.nameLimit,
                                              fileName.isEmpty() ? QStringLiteral("the rows pasted")
                                                                 : QStringLiteral("the file"));
    if (!imported.error.isEmpty()) {
        say(fileName.isEmpty() ? imported.error
                               : QStringLiteral("%1: %2").arg(fileName, imported.error));
        return false;
    }
    // A place already listed takes the coordinates read; the others go into
    // the empty row given (where the rows were pasted), then at the end.
    // Cells are written in place: the one pasted into is still being set.
    int added = 0, changed = 0;
    QHash<QString, int> rowOf;
    for (int row = 0; row < list.table->rowCount(); ++row)
        if (const QTableWidgetItem* name = list.table->item(row, 0))
            rowOf.insert(nocaseKey(name->text()), row);
    showing_ = true;
    for (const Place& place : imported.places) {
        const auto listed = rowOf.constFind(nocaseKey(place.name));
        int row = listed == rowOf.cend() ? list.table->rowCount() : *listed;
        QString name = place.name;
        if (listed != rowOf.cend()) {
            name = list.table->item(row, 0)->text(); // as the list has it
            // Counted only when a coordinate differs: a file imported again
            // changes nothing, and is not said to.
            const QTableWidgetItem* lat = list.table->item(row, 1);
            const QTableWidgetItem* lon = list.table->item(row, 2);
            if (!lat || !lon || lat->text() != place.latitude || lon->text() != place.longitude)
                ++changed;
        } else {
            if (emptyRow >= 0)
                row = std::exchange(emptyRow, -1);
            else
                list.table->insertRow(row);
            rowOf.insert(nocaseKey(place.name), row);
            ++added;
        }
        const QString texts[] = {name, place.latitude, place.longitude};
        for (int column = 0; column < 3; ++column) {
            QTableWidgetItem* item = list.table->item(row, column);
            if (!item)
                list.table->setItem(row, column, item = new QTableWidgetItem);
            item->setText(texts[column]);
            item->setData(Qt::UserRole, texts[column]);
        }
    }
    showing_ = false;
    // A first line left out as a heading is shown, lest a place be taken for one.
    const QString heading = imported.heading.isEmpty()
                                ? QString()
                                : QStringLiteral(" The first line, \"%1\", was read as a heading.")
                                      .arg(imported.heading);
    say(QStringLiteral("From %1: %2 added, %3 given new coordinates.%4 They are stored when you "
                       "press Save.")
            .arg(fileName.isEmpty() ? QStringLiteral("the rows pasted") : fileName,
                 countText(added, list.one, list.many), QString::number(changed), heading));
    return true;
}

bool frmcoordinates::paste(List& list, const QString& text, int row) {
    bool empty = row >= 0;
    for (int column = 0; column < 3 && empty; ++column)
        if (const QTableWidgetItem* item = list.table->item(row, column))
            empty = item->data(Qt::UserRole).toString().isEmpty();
    return takeIn(list, text.toUtf8(), QString(), empty ? row : -1);
}

bool frmcoordinates::save() {
    if (!commitTyping())
        return false;
    // Every row complete and readable before anything is stored.
    for (List* list : {lofts_.get(), racepoints_.get()}) {
        const QVector<Place> rows = places(*list);
        for (int row = 0; row < rows.size(); ++row) {
            QString problem;
            const Place& place = rows[row];
            if (blank(place))
                continue;
            if (place.name.trimmed().isEmpty())
                problem = QStringLiteral("Row %1 of the %2 has no %3 name.")
                              .arg(row + 1)
                              .arg(list->many, list->name);
            for (int c = 0; c < 2 && problem.isEmpty(); ++c) {
                const QString& text = c == 0 ? place.latitude : place.longitude;
                if (text.isEmpty())
                    problem =
                        QStringLiteral("The %1 \"%2\" has no %3.")
                            .arg(list->one, place.name,
                                 c == 0 ? QStringLiteral("latitude") : QStringLiteral("longitude"));
                else if (const CoordinateReading r = readCoordinate(text, kAxes[c]);
                         !r.nanoArcseconds)
                    problem = r.error;
            }
            if (!problem.isEmpty()) {
                list->table->setCurrentCell(row, 0);
                say(problem + QStringLiteral(" Nothing has been saved."));
                return false;
            }
        }
    }
    const PlaceLists lists = shown();
    const PlaceSave saved = savePlaces(source_, stored_, lists);
    switch (saved.outcome) {
    case WriteOutcome::Done:
        break;
    case WriteOutcome::Changed:
    case WriteOutcome::Deleted:
        say(QStringLiteral("The coordinates have been changed by another window or another copy "
                           "of Pellamy since they were shown here, so yours have not been saved. "
                           "Close this window without saving and open it again to see them."));
        return false;
    case WriteOutcome::Failed:
    case WriteOutcome::HeldTwice: {
        const QString fault =
            faultMessage(saved.fault, QStringLiteral("the coordinates have not been saved."));
        say(fault.isEmpty()
                ? QStringLiteral("The coordinates could not be saved: %1").arg(saved.error)
                : fault);
        return false;
    }
    }
    // Shown again as stored: in order of name.
    stored_ = saved.stored;
    showList(*lofts_, stored_.lofts);
    showList(*racepoints_, stored_.racepoints);
    return true;
}

void frmcoordinates::cmdAddLoft_Click() {
    add(*lofts_);
}
void frmcoordinates::cmdRemoveLoft_Click() {
    remove(*lofts_);
}
void frmcoordinates::cmdImportLofts_Click() {
    import(*lofts_);
}
void frmcoordinates::cmdAddRacepoint_Click() {
    add(*racepoints_);
}
void frmcoordinates::cmdRemoveRacepoint_Click() {
    remove(*racepoints_);
}
void frmcoordinates::cmdImportRacepoints_Click() {
    import(*racepoints_);
}

void frmcoordinates::cmdSave_Click() {
    save();
}

void frmcoordinates::cmdWorkOut_Click() {
    if (!commitTyping() || (hasUnsavedChanges() && !save()))
        return;
    if (stored_.lofts.isEmpty() || stored_.racepoints.isEmpty()) {
        say(QStringLiteral("Working out distances needs at least one loft and one race point "
                           "with coordinates."));
        return;
    }
    DistanceWorkOut workOut(source_);
    WorkOutPlan plan;
    bool planned = false;
    {
        const WaitCursor wait;
        planned = workOut.plan(&plan);
    }
    if (!planned) {
        const QString fault =
            faultMessage(workOut.fault(), QStringLiteral("nothing has been worked out."));
        say(fault.isEmpty()
                ? QStringLiteral("The distances cannot be worked out: %1").arg(workOut.error())
                : fault);
        return;
    }
    // Worked out from what the window shows, or not at all: another window
    // or copy may have saved other coordinates since they were read.
    if (!(plan.places == stored_)) {
        say(QStringLiteral("The coordinates have been changed by another window or another copy "
                           "of Pellamy since this window read them, so nothing has been worked "
                           "out. Please close this window and open it again."));
        return;
    }
    QString leftOut;
    if (!plan.unreadable.isEmpty()) {
        leftOut = QStringLiteral("\n\nLeft out, since their coordinates cannot be read:\n") +
                  plan.unreadable.mid(0, 10).join(u'\n');
        if (plan.unreadable.size() > 10)
            leftOut += QStringLiteral("\n(and %1 more)").arg(plan.unreadable.size() - 10);
    }
    if (!plan.heldTwice.isEmpty())
        leftOut += QStringLiteral("\n\nHeld in more than one row, so the calculator will take no "
                                  "bird of these until one row of each is deleted in the "
                                  "distances editor:\n") +
                   plan.heldTwice.join(u'\n');
    if (plan.writes.isEmpty()) {
        say(QStringLiteral("The distances in the database already agree with the coordinates "
                           "(%1): nothing needs changing.")
                .arg(countText(plan.unchanged, "row", "rows")) +
            leftOut);
        return;
    }

    QString question =
        QStringLiteral("Worked out from the coordinates: %1 to add, %2 to change, %3 already "
                       "right.")
            .arg(countText(plan.added, "row", "rows"), countText(plan.changed, "row", "rows"),
                 countText(plan.unchanged, "row", "rows"));
    question += QStringLiteral(" The longest is %1 (%2).")
                    .arg(milesAndYardsText(QString::number(plan.longestYards / 1760),
                                           QString::number(plan.longestYards % 1760)),
                         plan.longestPair);
    if (plan.largestChange) {
        // Six figures of yards are hard to judge: a change of a mile or more
        // (coordinates typed wrong) is said in miles and yards.
        const qint64 change = std::llround(*plan.largestChange);
        question += QStringLiteral(" The largest change is %1.")
                        .arg(change < 1760 ? countText(change, "yard", "yards")
                                           : milesAndYardsText(QString::number(change / 1760),
                                                               QString::number(change % 1760)));
    }
    if (plan.changed > 0)
        question += QStringLiteral("\n\nThese rows hold a different distance, typed by hand or "
                                   "worked out before, or none, and will be changed:\n") +
                    plan.changedRows.join(u'\n');
    if (!plan.newNames.isEmpty())
        question += QStringLiteral("\n\nNew to the distances (%1), so added under these names "
                                   "(check that none is a member or race point spelt "
                                   "otherwise):\n")
                        .arg(countText(plan.newNames.size(), "name", "names")) +
                    plan.newNames.join(u'\n');
    if (!plan.besideAlike.isEmpty())
        question += QStringLiteral("\n\nAdded beside a member written almost alike (%1; check "
                                   "that none is that member under another name):\n")
                        .arg(countText(plan.besideAlike.size(), "row", "rows")) +
                    plan.besideAlike.join(u'\n');
    if (!plan.pointsAlike.isEmpty())
        question += QStringLiteral("\n\nA race point new to the distances beside one written "
                                   "almost alike (check that none is that race point under "
                                   "another name):\n") +
                    plan.pointsAlike.join(u'\n');
    question += leftOut + QStringLiteral("\n\nWrite these distances to the database?");
    // A distance typed by hand is changed, and a member or race point perhaps
    // added under a second name, only by a Yes said plainly: Enter alone
    // answers No.
    if (!dialogs_->askYesNo(question, QStringLiteral("Work out distances"),
                            plan.changed == 0 && plan.besideAlike.isEmpty() &&
                                plan.pointsAlike.isEmpty()))
        return;

    WriteOutcome outcome;
    {
        const WaitCursor wait;
        outcome = workOut.write(plan);
    }
    switch (outcome) {
    case WriteOutcome::Done:
        emit distancesWritten();
        say(QStringLiteral("The distances have been written: %1 added, %2 changed.")
                .arg(countText(plan.added, "row", "rows"), countText(plan.changed, "row", "rows")) +
            (workOut.keptAs().isEmpty()
                 ? QString()
                 : QStringLiteral(" The distances as they were are kept in %1: to go back to "
                                  "them, close Pellamy and any other program that has %2 "
                                  "open, and put that file in its place.")
                       .arg(QDir::toNativeSeparators(
                                QFileInfo(source_.databasePath).dir().filePath(workOut.keptAs())),
                            QFileInfo(source_.databasePath).fileName())));
        return;
    case WriteOutcome::Changed:
    case WriteOutcome::Deleted:
        say(QStringLiteral("The database has been changed by another window or another copy of "
                           "Pellamy since the distances were worked out, so nothing has been "
                           "written. Press Work out distances again to see what would change "
                           "now."));
        return;
    case WriteOutcome::Failed:
    case WriteOutcome::HeldTwice: {
        const QString fault =
            faultMessage(workOut.fault(), QStringLiteral("no distance has been written."));
        say(fault.isEmpty() ? QStringLiteral("The distances could not be written, so none has "
                                             "been: %1")
                                  .arg(workOut.error())
                            : fault);
        return;
    }
    }
}

void frmcoordinates::cmdClose_Click() {
    close();
}

void frmcoordinates::closeWithoutSaving() {
    discardOnClose_ = true;
    close();
}

void frmcoordinates::closeEvent(QCloseEvent* event) {
    if (!discardOnClose_ && !commitTyping())
        return event->ignore(); // the window stays, on the cell refused
    if (discardOnClose_ || !hasUnsavedChanges())
        return event->accept();
    // Cancel (and Escape) keeps the window open with the changes in it.
    const std::optional<bool> saveFirst = dialogs_->askYesNoCancel(
        QStringLiteral("Save the changes you have made to the coordinates?"),
        QStringLiteral("Pellamy"));
    if (saveFirst && (!*saveFirst || save()))
        event->accept();
    else
        event->ignore();
}

} // namespace pellamy
