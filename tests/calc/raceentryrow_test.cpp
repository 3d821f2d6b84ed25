#include "calc/raceentryrow.h"

#include "support/entries.h"

static QStringList numbered(int count) {
    QStringList columns;
    for (int c = 0; c < count; ++c)
        columns << QStringLiteral("col %1").arg(c);
    return columns;
}

TEST(RaceEntryRow, KeepsEveryColumnAsGiven) {
    QStringList awkward = numbered(kColumnCount);
    awkward[Col::Name] = "";
    awkward[Col::RingNo] = QString(70000, u'r'); // longer than 16-bit offsets could hold
    awkward[Col::Comments] = QString::fromUtf8("Wet, windy\nand late €");
    const QStringList cases[] = {{},
                                 {""},
                                 numbered(5),
                                 numbered(Col::Members),
                                 numbered(Col::Members + 1),
                                 numbered(kColumnCount),
                                 awkward};
    for (const QStringList& columns : cases) {
        SCOPED_TRACE(columns.size());
        const RaceEntryRow row(columns);
        EXPECT_EQ(row.size(), columns.size());
        EXPECT_EQ(row.columns(), columns);
        for (int c = -1; c <= kColumnCount; ++c)
            EXPECT_EQ(row.text(c), columns.value(c)) << c;
    }
}

TEST(RaceEntryRow, ChangesOneColumnAndFillsOutAShortRow) {
    const QStringList full = numbered(kColumnCount);
    const auto with = [](QStringList columns, int column, const QString& text) {
        columns[column] = text;
        return columns;
    };
    // The row, the column set, the text, and the columns after.
    const std::tuple<QStringList, int, QString, QStringList> cases[] = {
        {full, Col::Name, "a much longer name", with(full, Col::Name, "a much longer name")},
        {full, Col::Pos, "", with(full, Col::Pos, "")},
        {full, Col::PoolNom, "P", with(full, Col::PoolNom, "P")},
        {full, Col::DayBird, "day", with(full, Col::DayBird, "day")},
        {{}, Col::Pos, "7", {"7"}},
        {{"1", "A"}, Col::Sex, "H", QStringList{"1", "A"} + QStringList(12, "") << "H"},
        {{"1"}, Col::Birds, "240", QStringList{"1"} + QStringList(18, "") << "240"},
        {full, kColumnCount, "none", full},
        {full, -1, "none", full},
    };
    for (const auto& [before, column, text, after] : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 columns, column %2").arg(before.size()).arg(column).toStdString());
        RaceEntryRow row(before);
        const RaceEntryRow copy = row;
        row.setText(column, text);
        EXPECT_EQ(row.columns(), after);
        EXPECT_EQ(copy.columns(), before); // a copy keeps its own columns
    }
}

TEST(RaceEntryRow, SharesTheRaceDetailsOfARowLikeIt) {
    const RaceEntryRow first(entry("A", "1200.000"));
    const RaceEntryRow same(entry("B", "1100.000"), &first);
    QStringList otherDay = entry("C", "1000.000");
    otherDay[Col::DayBird] = "25/05/2006";
    const RaceEntryRow other(otherDay, &first);
    const auto shared = [](const RaceEntryRow& a, const RaceEntryRow& b) {
        return a.text(Col::Comments).constData() == b.text(Col::Comments).constData();
    };
    EXPECT_TRUE(shared(first, same));
    EXPECT_FALSE(shared(first, other));
    EXPECT_EQ(same.text(Col::Name), "B");
    EXPECT_EQ(other.text(Col::DayBird), "25/05/2006");

    RaceEntryRow changed = same;
    changed.setText(Col::Comments, "late");
    EXPECT_EQ(first.text(Col::Comments), "c36");
    EXPECT_EQ(same.text(Col::Comments), "c36");
    EXPECT_EQ(changed.text(Col::Comments), "late");

    // Rows are equal when their columns are, however they are kept.
    EXPECT_EQ(RaceEntryRow(entry("B", "1100.000")), same);
    EXPECT_NE(RaceEntryRow(entry("B", "1100.000").mid(0, 38)), same);
    EXPECT_NE(changed, same);
}
