#include "calc/raceentrylist.h"

#include "calc/raceentry.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "support/entries.h"

namespace {

// Every list in these tests is watched by Qt's model tester, which stops the
// test at once when a change is signalled wrongly to the views.
struct TestedList : RaceEntryList {
    QAbstractItemModelTester tester{this, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

} // namespace

TEST(RaceEntryList, SelectionFollowsTheEntryWhenTheListIsSorted) {
    TestedList list;
    list.append(entry("A", "1000.000"));
    list.append(entry("B", "0900.000"));
    const QPersistentModelIndex selected = list.index(1, Col::Name); // B
    list.append(entry("C", "1100.000"));
    list.sortByVelocity();
    EXPECT_EQ(selected.row(), 2);
    EXPECT_EQ(selected.data().toString(), "B");

    // Rows read from a file: several out of place, a velocity below 1 written
    // as a spreadsheet writes it, and a short row, which goes last and stays short.
    list.appendAll(toRows({entry("D", "0800.000"),
                           {"7", "short row"},
                           entry("E", "1200.000"),
                           entry("F", "0000.400"),
                           entry("G", "0.5")}));
    list.sortByVelocity();
    EXPECT_EQ(names(list), QStringList({"E", "C", "A", "B", "D", "G", "F", "short row"}));
    EXPECT_EQ(selected.data().toString(), "B");
    EXPECT_EQ(list.entry(7).size(), 2);
    EXPECT_EQ(list.text(7, Col::Velocity), "");
}

TEST(RaceEntryList, RenumberRemoveChangeAndClear) {
    TestedList list;
    list.appendAll(toRows({entry("A", "1"), entry("B", "2"), entry("C", "3"), QStringList()}));
    QSignalSpy numbered(&list, &RaceEntryList::dataChanged);
    list.renumber();
    ASSERT_EQ(numbered.count(), 1); // the rows renumbered, first to last, for the view to show
    EXPECT_EQ(numbered[0][0].toModelIndex().row(), 0);
    EXPECT_EQ(numbered[0][1].toModelIndex().row(), 3);
    EXPECT_EQ(list.text(0, Col::Pos), "1");
    EXPECT_EQ(list.text(3, Col::Pos), "4");

    list.removeEntry(1);
    EXPECT_EQ(names(list), QStringList({"A", "C", ""}));
    EXPECT_EQ(list.text(1, Col::Pos), "3"); // positions change only when renumbered

    QSignalSpy changed(&list, &RaceEntryList::dataChanged);
    list.setText(1, Col::RingNo, "GB123");
    EXPECT_EQ(list.text(1, Col::RingNo), "GB123");
    EXPECT_EQ(changed.count(), 1);
    list.setText(2, Col::Sex, "H"); // a short row grows to the column
    EXPECT_EQ(list.entry(2).size(), Col::Sex + 1);
    list.setText(7, Col::Sex, "H"); // no such row: nothing happens
    list.removeEntry(-1);
    EXPECT_EQ(list.count(), 3);

    // Renumbering numbers already right changes nothing.
    list.renumber();
    QSignalSpy renumbered(&list, &RaceEntryList::dataChanged);
    list.renumber();
    EXPECT_EQ(renumbered.count(), 0);

    list.clear();
    EXPECT_EQ(list.count(), 0);
    list.renumber();
}

TEST(RaceEntryList, TheViewShowsALongTextCutAndTheEntryKeepsItWhole) {
    TestedList list;
    const QString comment(10 * 1024 * 1024, u'x');
    QStringList e = entry("A", "1");
    e[Col::Comments] = comment;
    list.append(e);
    const QString shown = list.data(list.index(0, Col::Comments)).toString();
    EXPECT_EQ(shown.size(), kShownColumnLength);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_EQ(list.text(0, Col::Comments), comment);
    EXPECT_EQ(list.data(list.index(0, Col::Name)).toString(), "A");
    // A ring holding a right-to-left override shows as typed, not mirrored.
    list.setText(0, Col::RingNo, QStringLiteral("GB26\u202EN999"));
    EXPECT_EQ(list.data(list.index(0, Col::RingNo)).toString(), "GB26N999");
}

// However few the birds, the faster is first, and equal velocities stay in
// clocking order, whether sorted as each bird comes or once at the end.
TEST(RaceEntryList, KeepsVelocityOrderWithEqualVelocitiesInClockingOrder) {
    // Velocities a spreadsheet or a hand wrote otherwise take their place by
    // value; 10000 and more, and texts that are no number, by their text.
    const std::pair<QStringList, QStringList> cases[] = {
        {{"1176.859", "0987.600", "1000.000", "1176.859", "1200.001", "0987.600"},
         {"E", "A", "D", "C", "B", "F"}},
        {{"0987.600", "1176.859"}, {"B", "A"}},
        {{"1176.859", "0987.600"}, {"A", "B"}},
        {{"0987.600", "1000.000", "1176.859"}, {"C", "B", "A"}},
        {{"987.5", "1012.345", "0955.020"}, {"B", "A", "C"}},
        {{" 998.1", "0998.100", "\n1176.859", ""}, {"C", "A", "B", "D"}},
        {{"9999.000", "10000.000"}, {"A", "B"}},
    };
    for (const bool asEachComes : {false, true})
        for (const auto& [velocities, order] : cases) {
            TestedList list;
            for (int i = 0; i < velocities.size(); ++i) {
                list.append(entry(QString(QChar(u'A' + i)), velocities[i]));
                if (asEachComes)
                    list.sortByVelocity();
            }
            if (!asEachComes)
                list.sortByVelocity();
            EXPECT_EQ(names(list), order) << velocities.join(' ').toStdString()
                                          << (asEachComes ? ", sorted as each came" : "");
        }
}
