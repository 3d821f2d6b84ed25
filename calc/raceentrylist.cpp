#include "raceentrylist.h"

#include "numbers.h"
#include "textforms.h"

#include "raceentry.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace pellamy {

namespace {

// Whether the text stands as the calculation writes a velocity: "0000.000".
bool calculatedForm(QStringView v) {
    if (v.size() != 8)
        return false;
    for (int i = 0; i < 8; ++i) {
        const char16_t c = v[i].unicode();
        if (i == 4 ? c != u'.' : c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// The text the list orders a velocity by. The calculation's own text stands
// as it is; a velocity of 0 to 9999.999 written otherwise (987.5, by a
// spreadsheet or by hand) takes the calculation's form, so that it is
// ordered by its value as the calculation's texts are.
QString velocityKey(QStringView v) {
    const std::optional<double> value = textToNumber(v.toString());
    if (!value || *value < 0 || *value >= 9999.9995)
        return v.toString();
    return QString::asprintf("%08.3f", *value);
}

} // namespace

bool fasterEntry(const RaceEntryRow& a, const RaceEntryRow& b) {
    const QStringView va = a.view(Col::Velocity), vb = b.view(Col::Velocity);
    if (calculatedForm(va) && calculatedForm(vb))
        return va.compare(vb, Qt::CaseSensitive) > 0;
    return velocityKey(va).compare(velocityKey(vb), Qt::CaseSensitive) > 0;
}

RaceEntryList::RaceEntryList(QObject* parent) : QAbstractTableModel(parent) {}

int RaceEntryList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int RaceEntryList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RaceEntryList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole) {
        const QString all = withoutDirectionControls(rows_[index.row()].text(index.column()));
        if (all.size() <= kShownColumnLength)
            return all;
        return all.left(kShownColumnLength - 1) + QChar(0x2026); // "…"
    }
    if (role == Qt::TextAlignmentRole)
        return raceEntryColumns()[std::size_t(index.column())].centred
                   ? int(Qt::AlignCenter)
                   : int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant RaceEntryList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    const ColumnInfo& column = raceEntryColumns()[std::size_t(section)];
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(column.header);
    if (role == Qt::TextAlignmentRole)
        return column.centred ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QString RaceEntryList::text(int row, int column) const {
    return rows_[row].text(column);
}

void RaceEntryList::append(const QStringList& entry) {
    RaceEntryRow row(entry, rows_.isEmpty() ? nullptr : &rows_.constLast());
    beginInsertRows({}, count(), count());
    rows_.push_back(row);
    endInsertRows();
    emit changed({RaceChange::Append, 0, 0, {}, {row}});
}

void RaceEntryList::appendAll(QVector<RaceEntryRow> rows) {
    if (rows.isEmpty())
        return;
    beginInsertRows({}, count(), count() + int(rows.size()) - 1);
    // An empty list takes the rows as they are, without a copy.
    if (rows_.isEmpty())
        rows_ = rows;
    else
        rows_ += rows;
    endInsertRows();
    emit changed({RaceChange::Append, 0, 0, {}, std::move(rows)});
}

void RaceEntryList::sortByVelocity() {
    const auto faster = fasterEntry;
    if (rows_.size() < 2)
        return;
    // After a bird is appended only the last row can be out of place: move it
    // to its place, after every row at least as fast.
    const auto last = rows_.cend() - 1;
    if (std::is_sorted(rows_.cbegin(), last, faster)) {
        const int to = int(std::upper_bound(rows_.cbegin(), last, *last, faster) - rows_.cbegin());
        const int from = count() - 1;
        if (to != from) {
            beginMoveRows({}, from, from, {}, to);
            rows_.move(from, to);
            endMoveRows();
            emit changed({RaceChange::Move, from, to});
        }
        return;
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return faster(std::as_const(rows_)[a], std::as_const(rows_)[b]);
    });

    QVector<RaceEntryRow> sorted;
    sorted.reserve(rows_.size());
    QVector<int> newRowOf(rows_.size());
    for (int i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(rows_[order[i]]));
        newRowOf[order[i]] = i;
    }
    rows_ = std::move(sorted);

    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex& index : persistent)
        moved << this->index(newRowOf[index.row()], index.column());
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit changed({RaceChange::Sort});
}

void RaceEntryList::setText(int row, int column, const QString& text) {
    if (row < 0 || row >= count() || column < 0 || column >= kColumnCount)
        return;
    rows_[row].setText(column, text);
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
    emit changed({RaceChange::SetText, row, column, text});
}

void RaceEntryList::setDetail(int column, const QString& text) {
    if (!setDetailOfEvery(rows_, column, text))
        return;
    emit dataChanged(index(0, column), index(count() - 1, column), {Qt::DisplayRole});
    emit changed({RaceChange::SetDetail, 0, column, text});
}

void RaceEntryList::removeEntry(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    rows_.removeAt(row);
    endRemoveRows();
    emit changed({RaceChange::Remove, row});
}

void RaceEntryList::clear() {
    if (rows_.isEmpty())
        return;
    beginResetModel();
    rows_.clear();
    endResetModel();
    emit changed({RaceChange::Clear});
}

void RaceEntryList::renumber() {
    int first = -1, last = -1;
    for (int i = 0; i < count(); ++i) {
        const QString number = QString::number(i + 1);
        const RaceEntryRow& row = std::as_const(rows_)[i];
        if (!row.isEmpty() && row.view(Col::Pos) == number)
            continue;
        rows_[i].setText(Col::Pos, number);
        if (first < 0)
            first = i;
        last = i;
    }
    if (first >= 0) {
        emit dataChanged(index(first, 0), index(last, 0), {Qt::DisplayRole});
        emit changed({RaceChange::Renumber});
    }
}

} // namespace pellamy
