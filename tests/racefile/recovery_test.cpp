#include "racefile/recovery.h"

#include "calc/raceentry.h"
#include "support/entries.h"
#include "support/failingsync.h"
#include "support/filesizelimit.h"
#include "support/readonly.h"

#include <QSysInfo>

#include <array>
#include <memory>

namespace {

class RecoveryTest : public testing::Test {
protected:
    void SetUp() override { recovery.start(false); }

    QByteArray bytes() const { return fileBytes(recovery.path()); }
    RecoveredRace read() const { return readRecovery(bytes()); }

    QTemporaryDir dir;
    RaceEntryList list;
    RaceRecovery recovery{dir.path(), list};
};

} // namespace

TEST_F(RecoveryTest, EveryChangeOfTheListIsRecordedAndReadBackExactly) {
    const auto expectRecorded = [&](const char* change) {
        SCOPED_TRACE(change);
        EXPECT_EQ(read().entries, list.rows()); // none unless it is unsaved
    };
    list.appendAll(
        toRows({entry("A", "1300.000"), entry("B", "1200.000"), entry("C", "1100.000")}));
    expectRecorded("append three");
    list.append(entry("D", "1250.000"));
    list.sortByVelocity();
    expectRecorded("a bird moved to its place");
    list.setText(3, Col::Velocity, "1400.000");
    list.append(entry("E", "1000.000"));
    list.sortByVelocity();
    expectRecorded("an unsorted list sorted whole");
    list.setText(1, Col::RingNo, "tab\there\\n, new\r\nline é");
    expectRecorded("awkward texts");
    list.append({"", "F"});
    list.setText(5, Col::Sex, "H");
    expectRecorded("a short row filled out");
    list.setDetail(Col::Wind, "SW, fresh");
    expectRecorded("a race detail of every entry that has it");
    list.renumber();
    expectRecorded("renumbered");
    list.removeEntry(2);
    expectRecorded("removed");
    const QVector<RaceEntryRow> cleared = list.rows();
    list.clear(); // kept aside, beside a race declined
    EXPECT_EQ(readRecovery(fileBytes(recovery.path() + ".cleared")).entries, cleared);
    list.append(entry("G", "900.000"));
    expectRecorded("cleared and begun again");
    // A copy that cannot be made whole (a full disk) leaves the earlier one
    // as it was.
    {
        FileSizeLimit full(QFileInfo(recovery.path()).size() - 1);
        list.clear();
    }
    EXPECT_EQ(readRecovery(fileBytes(recovery.path() + ".cleared")).entries, cleared);
    list.append(entry("G", "900.000"));

    recovery.markSaved();
    EXPECT_FALSE(read().unsaved);
    EXPECT_TRUE(read().entries.isEmpty()); // a saved race is not even built
    list.setText(0, Col::Colour, "BB");
    EXPECT_EQ(read().entries, list.rows()); // the saved snapshot and the change
}

TEST_F(RecoveryTest, ATornOrDamagedLineLosesOnlyThatChangeAndWhatFollows) {
    list.appendAll(toRows({entry("A", "1300.000"), entry("B", "1200.000")}));
    const QVector<RaceEntryRow> before = list.rows();
    const qsizetype goodSize = bytes().size();
    list.setText(1, Col::RingNo, "GB-0042");
    const QByteArray whole = bytes();
    // Cut anywhere inside the last line (a write torn by a power cut).
    for (qsizetype size = goodSize; size < whole.size(); ++size) {
        ASSERT_EQ(readRecovery(whole.left(size)).entries, before) << size;
        ASSERT_FALSE(readRecovery(whole.left(size)).damaged) << size;
    }

    // Changes made as one come back together or not at all.
    {
        const RecoveryGroup oneChange(recovery);
        list.append(entry("C", "1400.000"));
        list.sortByVelocity(); // moved to the top
    }
    const QByteArray grouped = bytes();
    EXPECT_EQ(readRecovery(grouped).entries, list.rows());
    const qsizetype moveLine = grouped.lastIndexOf("\nM\t") + 1;
    EXPECT_EQ(readRecovery(grouped.left(moveLine)).entries.size(), 2);
    EXPECT_FALSE(readRecovery(grouped.left(moveLine)).damaged); // the group cut short
    EXPECT_TRUE(readRecovery("some other file\n").entries.isEmpty());
    EXPECT_FALSE(readRecovery("").unsaved);
}

TEST_F(RecoveryTest, AChangeCostsOneLineHoweverLongTheRace) {
    const auto growth = [&](int entries) {
        list.clear();
        QVector<QStringList> race;
        for (int i = 0; i < entries; ++i)
            race << entry(QString::number(i), QString::number(10000 - i / 4));
        list.appendAll(toRows(race));
        const qsizetype start = bytes().size();
        list.setText(7, Col::RingNo, "GB-1");
        return bytes().size() - start;
    };
    EXPECT_EQ(growth(100), growth(20000));
}

// A disk that fills, then has room again: the record never falls out of step
// with the list (a removed bird back, a correction on the wrong bird).
TEST_F(RecoveryTest, AWriteThatFailsPartWayNeverPutsTheRecordOutOfStep) {
    QVector<QStringList> race;
    for (int i = 0; i < 12; ++i)
        race << entry(QStringLiteral("B%1").arg(i), QString::number(1200 - i));
    list.appendAll(toRows(race));
    {
        FileSizeLimit full(QFileInfo(recovery.path()).size());
        for (int i = 0; i < 1000; ++i)
            list.setText(1, Col::RingNo, QString::number(i));
        list.removeEntry(10);
        EXPECT_FALSE(recovery.error().isEmpty());
    }
    {
        FailingSync refused; // a full share that says so only at the sync
        list.setText(9, Col::RingNo, "refused");
        EXPECT_TRUE(recovery.error().contains("Input/output error"))
            << recovery.error().toStdString();
    }
    list.setText(9, Col::RingNo, "between"); // written whole: appended to again
    EXPECT_EQ(recovery.error(), QString());
    {
        FailingSync refused;
        list.setText(8, Col::RingNo, "refused again");
        EXPECT_TRUE(recovery.error().contains("Input/output error"));
    }
    list.setText(9, Col::RingNo, "after");
    EXPECT_EQ(read().entries, list.rows());
    // A race cleared after a failed write is kept aside as far as it was written.
    {
        FileSizeLimit full(QFileInfo(recovery.path()).size());
        list.setText(0, Col::RingNo, "not written");
    }
    const QVector<RaceEntryRow> asWritten = read().entries;
    list.clear();
    EXPECT_EQ(readRecovery(fileBytes(recovery.path() + ".cleared")).entries, asWritten);
    list.appendAll(toRows(race));
    // Room again, nothing changed since a failed write, and Pellamy closed:
    // the race is written whole, to be offered as ended unsaved.
    list.removeEntry(0);
    {
        FileSizeLimit full(QFileInfo(recovery.path()).size());
        list.setText(0, Col::RingNo, QString(20000, u'x'));
    }
    recovery.markEnded();
    EXPECT_TRUE(read().ended);
    EXPECT_EQ(read().entries, list.rows());
}

TEST(RecoveryRecords, AnUnsavedRaceInALaterRecordIsOfferedOnTheNextStart) {
    // The first copy's race saved, or cleared: an empty list has nothing to offer.
    for (const bool cleared : {false, true}) {
        QTemporaryDir dir;
        RaceEntryList first, second;
        {
            RaceRecovery one(dir.path(), first), two(dir.path(), second);
            one.start(false), two.start(false);
            first.append(entry("A", "2.000"));
            second.append(entry("Z", "1.000"));
            // A second copy of Pellamy records to a file of its own.
            EXPECT_EQ(readRecovery(fileBytes(one.path())).entries, first.rows());
            cleared ? first.clear() : one.markSaved();
        } // a power cut: the second copy's race was never saved
        RaceEntryList next;
        const RaceRecovery restarted(dir.path(), next);
        EXPECT_TRUE(restarted.path().endsWith("race-recovery-2.journal")) << cleared;
        EXPECT_EQ(restarted.found().entries, second.rows()) << cleared;
    }

    // A copy beyond the records says so, not that the folder is read-only.
    QTemporaryDir dir;
    std::array<RaceEntryList, kMostRecoveryRecords + 1> lists;
    std::vector<std::unique_ptr<RaceRecovery>> copies;
    for (RaceEntryList& list : lists)
        copies.push_back(std::make_unique<RaceRecovery>(dir.path(), list));
    EXPECT_FALSE(copies[kMostRecoveryRecords - 1]->everyRecordHeld());
    EXPECT_TRUE(copies.back()->everyRecordHeld());
    EXPECT_TRUE(copies.back()->error().startsWith("9 other copies of Pellamy are running"));

    // A folder that can no longer be written (made read-only, or a full
    // disk): the race left unsaved is offered all the same, though the copy
    // that left it was killed (its lock left behind) and a line of the
    // record was damaged, which is said.
    QTemporaryDir locked;
    RaceEntryList unsaved, next;
    {
        RaceRecovery first(locked.path(), unsaved);
        first.start(false);
        unsaved.append(entry("A", "2.000"));
        unsaved.append(entry("B", "1.000"));
        QByteArray record = fileBytes(first.path());
        writeFile(first.path(),
                  record.insert(record.lastIndexOf('\n', record.size() - 2) + 1, "damaged\n"));
    }
    writeFile(locked.filePath("race-recovery.journal.lock"),
              "2147483000\npellamy\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    READ_ONLY_OR_SKIP(readOnly, locked.path());
    const RaceRecovery restarted(locked.path(), next);
    EXPECT_EQ(restarted.found().entries, unsaved.rows().mid(0, 1));
    EXPECT_TRUE(restarted.foundDamaged());
    EXPECT_EQ(restarted.path(), locked.filePath("race-recovery.journal")); // named when said
    EXPECT_TRUE(restarted.error().startsWith("Pellamy may not write in its folder"));
}
