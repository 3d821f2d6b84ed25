#pragma once
// The race entry list: the one store of a race while the program runs.
// Rows of up to 39 text columns in list order, shown by the calculator's
// list view and read and changed by the race file, the reports and editing.

#include "raceentryrow.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace pellamy {

// The velocity order: true when entry a is faster than entry b (column 10
// compared as text, greater first; a velocity below 10000 written otherwise
// than the calculation writes it, as 987.5, compared in the calculation's
// form 0987.500).
bool fasterEntry(const RaceEntryRow& a, const RaceEntryRow& b);

// The most characters of one column the list view shows; the entry keeps
// the whole text. A long text cannot slow every repaint of the list.
constexpr int kShownColumnLength = 200;

// One change of the list, as the list made it: what a record of the race
// needs to make the same change again.
struct RaceChange {
    enum Kind {
        Append,    // rows appended at the end
        Move,      // one row moved from row to column (its new row)
        Sort,      // the whole list stable-sorted into velocity order
        SetText,   // column of row set to text
        Remove,    // row removed
        Clear,     // every row removed
        Renumber,  // column 0 of every row set to its position
        SetDetail, // column (a race detail) of every row that has it set to text
    };
    RaceChange(Kind kind, int row = 0, int column = 0, QString text = {},
               QVector<RaceEntryRow> rows = {})
        : kind(kind), row(row), column(column), text(std::move(text)), rows(std::move(rows)) {}
    Kind kind;
    int row;
    int column;
    QString text;
    QVector<RaceEntryRow> rows;
};

class RaceEntryList : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RaceEntryList(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int count() const { return int(rows_.size()); }
    QStringList entry(int row) const { return rows_[row].columns(); }
    const QVector<RaceEntryRow>& rows() const { return rows_; }

    // The text of a column; empty for a column the row does not have.
    QString text(int row, int column) const;

    // Appends a row as given (a calculated entry has an empty column 0;
    // a row read from a file may have fewer than 39 columns), sharing the
    // race details of the last row when they are the same.
    void append(const QStringList& entry);
    // Appends many rows at once, as when a race file is read.
    void appendAll(QVector<RaceEntryRow> rows);

    // Puts the list in velocity order: column 10 descending, compared as
    // text, equal velocities keeping their order.
    void sortByVelocity();

    // Changes one column of a row; a shorter row is first filled out with
    // empty columns up to it.
    void setText(int row, int column, const QString& text);
    // Sets a race detail (column 18 on) of every row that has the column.
    void setDetail(int column, const QString& text);

    void removeEntry(int row);
    void clear();

    // Sets column 0 of every row to its position, 1 to n in list order.
    // Only a change of a number is a change of the list.
    void renumber();

signals:
    // After every change, for whatever keeps a record of the race.
    void changed(const pellamy::RaceChange& change);

private:
    QVector<RaceEntryRow> rows_;
};

} // namespace pellamy
