#include "raceentryrow.h"

#include <QVarLengthArray>

#include <algorithm>

namespace pellamy {

RaceEntryRow::RaceEntryRow() : d(new Data) {}

RaceEntryRow::RaceEntryRow(const QStringList& columns, const RaceEntryRow* like)
    : RaceEntryRow(
          QVarLengthArray<QStringView, kColumnCount>(columns.cbegin(), columns.cend()).constData(),
          int(columns.size()), like) {}

RaceEntryRow::RaceEntryRow(const QStringView* columns, int count, const RaceEntryRow* like)
    : d(new Data) {
    d->ownCount = std::min(count, kOwnColumns);
    qsizetype length = 0;
    for (int c = 0; c < d->ownCount; ++c)
        length += columns[c].size();
    d->own.reserve(length);
    for (int c = 0; c < d->ownCount; ++c) {
        d->own += columns[c];
        d->ends[std::size_t(c)] = quint32(d->own.size());
    }

    const int details = count - d->ownCount;
    if (details == 0)
        return;
    const QStringList* shared = like ? &like->d->details : nullptr;
    if (shared && shared->size() == details &&
        std::equal(shared->cbegin(), shared->cend(), columns + kOwnColumns)) {
        d->details = *shared;
        return;
    }
    d->details.reserve(details);
    for (int c = kOwnColumns; c < count; ++c)
        d->details << columns[c].toString();
}

void RaceEntryRow::shareDetails(const RaceEntryRow& like) {
    const QStringList& mine = std::as_const(d)->details;
    const QStringList& theirs = like.d->details;
    if (mine.constData() != theirs.constData() && mine == theirs)
        d->details = theirs;
}

bool setDetailOfEvery(QVector<RaceEntryRow>& rows, int column, const QString& text) {
    if (column < Col::Members || column >= kColumnCount)
        return false;
    bool changed = false;
    for (RaceEntryRow& row : rows)
        if (row.size() > column && row.view(column) != text)
            row.setText(column, text), changed = true;
    if (changed)
        for (qsizetype i = 1; i < rows.size(); ++i)
            rows[i].shareDetails(rows[i - 1]);
    return changed;
}

QString RaceEntryRow::text(int column) const {
    if (column >= kOwnColumns && column < size())
        return d->details[column - kOwnColumns];
    return view(column).toString();
}

QStringList RaceEntryRow::columns() const {
    QStringList out;
    out.reserve(size());
    for (int c = 0; c < size(); ++c)
        out << text(c);
    return out;
}

void RaceEntryRow::setText(int column, const QString& text) {
    if (column < 0 || column >= kColumnCount)
        return;
    Data& row = *d;
    for (; row.ownCount <= std::min(column, kOwnColumns - 1); ++row.ownCount)
        row.ends[std::size_t(row.ownCount)] = quint32(row.own.size());
    if (column >= kOwnColumns) {
        while (row.details.size() <= column - kOwnColumns)
            row.details << QString();
        row.details[column - kOwnColumns] = text;
        return;
    }
    const quint32 start = column > 0 ? row.ends[std::size_t(column) - 1] : 0;
    const quint32 length = row.ends[std::size_t(column)] - start;
    row.own.replace(start, length, text);
    for (int c = column; c < row.ownCount; ++c)
        row.ends[std::size_t(c)] += quint32(text.size()) - length;
}

bool operator==(const RaceEntryRow& a, const RaceEntryRow& b) {
    if (a.size() != b.size())
        return false;
    for (int c = 0; c < a.size(); ++c)
        if (a.view(c) != b.view(c))
            return false;
    return true;
}

QVector<RaceEntryRow> toRows(const QVector<QStringList>& entries) {
    QVector<RaceEntryRow> rows;
    rows.reserve(entries.size());
    for (const QStringList& entry : entries)
        rows << RaceEntryRow(entry, rows.isEmpty() ? nullptr : &rows.constLast());
    return rows;
}

} // namespace pellamy
