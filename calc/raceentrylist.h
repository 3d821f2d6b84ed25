#pragma once
// The race entry list: the one store of a race while the program runs.
// Rows of up to 39 text columns in list order, shown by the calculator's
// list view and read and changed by the race file, the reports and editing.

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace pellamy {

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
    const QStringList& entry(int row) const { return rows_[row]; }
    const QVector<QStringList>& entries() const { return rows_; }

    // The text of a column; empty for a column the row does not have.
    QString text(int row, int column) const;

    // Appends a row as given (a calculated entry has an empty column 0;
    // a row read from a file may have fewer than 39 columns).
    void append(const QStringList& entry);
    // Appends many rows at once, as when a race file is read.
    void appendAll(const QVector<QStringList>& entries);

    // Puts the list in velocity order: column 10 descending, compared as
    // text, equal velocities keeping their order.
    void sortByVelocity();

    // Changes one column of a row; a shorter row is first filled out with
    // empty columns up to it.
    void setText(int row, int column, const QString& text);

    void removeEntry(int row);
    void clear();

    // Sets column 0 of every row to its position, 1 to n in list order.
    void renumber();

private:
    QVector<QStringList> rows_;
};

} // namespace pellamy
