// Fuzzes reading a race file for the season, and the season's table.
//
//   scripts/fuzz [seconds]
//
// The input is one race file. A race read holds only birds with a member
// and a velocity above nought; read twice, the second copy is left out; the
// table over it and a race of other birds places in turn, none below nought.

#include "season/season.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what) {
    fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

QString racePath(const char* name) {
    return QDir::temp().filePath(QStringLiteral("pellamy-season-fuzz-%1-%2")
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(name));
}

void checkTable(const QVector<pellamy::SeasonRace>& races, const pellamy::AverageRule& averages,
                const pellamy::PointsRule& points) {
    const pellamy::SeasonTable table = pellamy::seasonTable(races, averages, points);
    for (qsizetype i = 0; i < table.averages.size(); ++i) {
        const pellamy::AverageRow& row = table.averages[i];
        if (row.place.position < 1 || row.place.position > i + 1 || row.sum < 0)
            fail("an average placed out of turn, or below nought");
        (void)row.averageText();
    }
    for (qsizetype i = 0; i < table.points.size(); ++i)
        if (table.points[i].place.position < 1 || table.points[i].total < 0)
            fail("points placed out of turn, or below nought");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path = [] {
        std::atexit([] { QFile::remove(racePath("race.txt")); }); // a run leaves nothing behind
        return racePath("race.txt");
    }();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fail("the fuzzer cannot write its race file");
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const pellamy::SeasonRace race = pellamy::readSeasonRace(path);
    if (!race.error.isEmpty()) {
        if (!race.birds.isEmpty())
            fail("a race left out still holds birds");
        return 0;
    }
    for (const pellamy::SeasonBird& bird : race.birds)
        if (bird.member.isEmpty() || bird.member != bird.member.trimmed() ||
            bird.thousandths <= 0 || bird.thousandths >= qint64(1000000000) * 1000)
            fail("a bird counted without a member or a velocity above nought");

    pellamy::SeasonRace copy = race;
    copy.file = racePath("copy.txt");
    pellamy::SeasonRace other;
    other.file = racePath("other.txt");
    other.racepoint = QStringLiteral("Elsewhere");
    other.birds = {{QStringLiteral("Orla Penhale"), 1200000},
                   {QStringLiteral("orla  penhale"), 900000}};
    QVector<pellamy::SeasonRace> races{race, copy, other};
    pellamy::leaveOutRepeatedRaces(races);
    if (races[1].error.isEmpty())
        fail("a race read twice is counted twice");
    const QVector<pellamy::SeasonRace> ordered = pellamy::seasonOrder(races);
    if (ordered.size() != 2)
        fail("seasonOrder lost or kept a race it should not");

    checkTable(ordered, {}, {});
    pellamy::PointsRule firstOnly;
    firstOnly.firstBirdOnly = true;
    firstOnly.forPlace = {pellamy::kMostPointsForAPlace, 3, 0};
    checkTable(ordered, {true, 2}, firstOnly);
    return 0;
}
