// A season of 30 race files of 2,000 entries each (300 members): reading
// them all and working out both tables, as the season window does when the
// files are chosen; beside it, reading the files alone; and the window
// shown, its averaging rule changed.
#include "racefile/racefile.h"
#include "season/season.h"
#include "season/window/frmseason.h"

#include <QApplication>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace pellamy;

namespace {

const QStringList& seasonFiles() {
    static QTemporaryDir dir;
    static QStringList files;
    if (!files.isEmpty())
        return files;
    for (int r = 0; r < 30; ++r) {
        QVector<RaceEntryRow> rows;
        for (int i = 0; i < 2000; ++i) {
            QStringList e;
            for (int c = 0; c < kColumnCount; ++c)
                e << QStringLiteral("%1").arg(c);
            e[Col::Pos] = QString::number(i + 1);
            e[Col::Name] = QStringLiteral("Member %1").arg((i * 7 + r) % 300, 3, 10, QChar(u'0'));
            e[Col::Velocity] = QStringLiteral("%1.%2")
                                   .arg(1400 - i / 5, 4, 10, QChar(u'0'))
                                   .arg((i * 37) % 1000, 3, 10, QChar(u'0'));
            e[Col::RaceDate] = QStringLiteral("%1/05/2026").arg(r % 28 + 1, 2, 10, QChar(u'0'));
            e[Col::Racepoint] = QStringLiteral("Racepoint %1").arg(r);
            rows << RaceEntryRow(e);
        }
        files << dir.filePath(QStringLiteral("race%1.txt").arg(r));
        QFile file(files.last());
        file.open(QIODevice::WriteOnly);
        file.write(raceFileBytes(rows).bytes);
    }
    return files;
}

} // namespace

static void BM_SeasonOf30RacesBothTables(benchmark::State& state) {
    const QStringList& files = seasonFiles();
    for (auto _ : state) {
        QVector<SeasonRace> read;
        for (const QString& file : files)
            read << readSeasonRace(file);
        const SeasonTable table = seasonTable(seasonOrder(read), {}, {});
        if (table.averages.size() != 300)
            state.SkipWithError("wrong members");
    }
}
BENCHMARK(BM_SeasonOf30RacesBothTables)->Unit(benchmark::kMillisecond);

// The reference: the 30 files read, nothing worked out.
static void BM_SeasonFilesReadOnly(benchmark::State& state) {
    const QStringList& files = seasonFiles();
    for (auto _ : state)
        for (const QString& file : files) {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(readRaceFile(f.readAll()));
        }
}
BENCHMARK(BM_SeasonFilesReadOnly)->Unit(benchmark::kMillisecond);

// The averaging rule changed on the window shown, the 30 races chosen: the
// tables worked out and filled again, each round one way and back. The
// arithmetic alone is BM_SeasonOf30RacesBothTables, in the same run.
static void BM_SeasonWindowRuleChanged(benchmark::State& state) {
    ScriptedDialogService dialogs;
    frmseason window([] { return QStringLiteral("Northfield Homing Society"); }, &dialogs);
    window.show();
    dialogs.answerFiles(seasonFiles());
    window.cmdChoose_Click();
    dialogs.clear();
    auto* everyRace = window.findChild<QRadioButton*>(QStringLiteral("optEveryRace"));
    auto* racesClocked = window.findChild<QRadioButton*>(QStringLiteral("optRacesClocked"));
    for (auto _ : state) {
        for (QRadioButton* rule : {racesClocked, everyRace}) {
            rule->setChecked(true);
            QApplication::processEvents();
        }
    }
}
BENCHMARK(BM_SeasonWindowRuleChanged)->Unit(benchmark::kMillisecond);
