#pragma once
// One race entry as the race entry list keeps it. A large race must stay
// small while it is open, so a row is not 39 separate texts: the bird's own
// columns (0 to 17) are one text with where each column ends, and the race
// details (columns 18 on), the same for most entries of a race, are a list
// shared with every row that was built like it. A copy of a row shares all
// of it until either is changed.

#include "raceentry.h"

#include <QSharedData>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <array>

namespace pellamy {

class RaceEntryRow {
public:
    RaceEntryRow();
    // The columns as given: a row may have fewer than 39, or none. The row
    // shares like's race details when they are the same texts.
    explicit RaceEntryRow(const QStringList& columns, const RaceEntryRow* like = nullptr);
    RaceEntryRow(const QStringView* columns, int count, const RaceEntryRow* like = nullptr);

    int size() const { return d->ownCount + int(d->details.size()); }
    bool isEmpty() const { return size() == 0; }

    // The text of a column; empty for a column the row does not have.
    QStringView view(int column) const;
    QString text(int column) const;
    QStringList columns() const;

    // Changes one column; a shorter row is first filled out with empty
    // columns up to it. A column outside 0 to 38 is left alone.
    void setText(int column, const QString& text);

    // Shares like's race details when they are the same texts.
    void shareDetails(const RaceEntryRow& like);

    friend bool operator==(const RaceEntryRow& a, const RaceEntryRow& b);
    friend bool operator!=(const RaceEntryRow& a, const RaceEntryRow& b) { return !(a == b); }

private:
    static constexpr int kOwnColumns = Col::Members;

    struct Data : QSharedData {
        int ownCount = 0;
        std::array<quint32, kOwnColumns> ends{}; // where each own column ends in own
        QString own;
        QStringList details;
    };
    QSharedDataPointer<Data> d;
};

// Inline: the velocity order compares views of every row.
inline QStringView RaceEntryRow::view(int column) const {
    if (column < 0 || column >= size())
        return {};
    if (column >= kOwnColumns)
        return d->details[column - kOwnColumns];
    const quint32 start = column > 0 ? d->ends[std::size_t(column) - 1] : 0;
    return QStringView(d->own).sliced(start, d->ends[std::size_t(column)] - start);
}

// Rows of entries in order, each sharing the race details of the one before
// when they are the same.
QVector<RaceEntryRow> toRows(const QVector<QStringList>& entries);

// Sets a race detail (column 18 on) of every row that has the column, rows
// alike then sharing their details again; false when no row changed.
bool setDetailOfEvery(QVector<RaceEntryRow>& rows, int column, const QString& text);

} // namespace pellamy

Q_DECLARE_TYPEINFO(pellamy::RaceEntryRow, Q_RELOCATABLE_TYPE);
