// The calculator window: clocking a bird into a large race, and start-up
// against a federation-size database.
#include "calc/raceentry.h"
#include "calculator/pellamy.h"

#include "calc/clocking.h"
#include "federation.h"
#include "support/distancedb.h"
#include "tests/calc/worked_example.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace pellamy;
using namespace benchsupport;

// One click of CALCULATE when the list holds 1,000, 10,000 or 100,000
// entries: the lookup, the arithmetic, the entry appended and moved to its
// place, the recovery record and the view brought up to date.
static void BM_ClockBirdIntoRace(benchmark::State& state) {
    ScriptedDialogService dialogs;
    Pellamy window(federationFolder().path(), &dialogs);
    window.show();
    QVector<QStringList> race;
    const CalculatorFields f = workedExample();
    const QStringList entry = clockBird(f, {}).entry;
    for (int i = 0; i < state.range(0); ++i) {
        QStringList e = entry;
        e[Col::Velocity] = QStringLiteral("%1.%2")
                               .arg(900 + i % 600, 4, 10, QChar(u'0'))
                               .arg(i % 1000, 3, 10, QChar(u'0'));
        race << e;
    }
    window.entries().appendAll(toRows(race));
    window.entries().sortByVelocity();
    QApplication::processEvents();
    int minute = 0;
    QLineEdit* minutes = window.findChild<QLineEdit*>("birdclockmins");
    for (auto _ : state) {
        minutes->setText(QString::number(minute++ % 60));
        dialogs.answerYesNo(true);
        window.Picture1_Click();
        QApplication::processEvents();
        state.PauseTiming();
        window.entries().removeEntry(window.entries().count() / 2);
        dialogs.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClockBirdIntoRace)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The calculator opened, shown and painted, ready for the first bird, on a
// federation's 200,000 rows and on an empty database, one after the other
// in each round so that both meet the same machine: "ratio" is the
// federation's time over the empty database's.
static void BM_StartUpShown(benchmark::State& state) {
    // Folders of their own: no race left behind by another benchmark.
    static QTemporaryDir emptyFolder, fullFolder;
    if (!QFile::exists(emptyFolder.filePath("distances.mdb"))) {
        testsupport::makeDistanceDatabase(emptyFolder.filePath("distances.mdb"));
        QFile::copy(federationFolder().filePath("distances.mdb"),
                    fullFolder.filePath("distances.mdb"));
    }
    const QString folders[] = {emptyFolder.path(), fullFolder.path()};
    ScriptedDialogService dialogs;
    qint64 spent[2] = {0, 0};
    QElapsedTimer timer;
    for (auto _ : state) {
        for (int i = 0; i < 2; ++i) {
            timer.start();
            Pellamy window(folders[i], &dialogs);
            window.show();
            QApplication::processEvents();
            benchmark::DoNotOptimize(window.grab().width()); // every control painted
            spent[i] += timer.nsecsElapsed();
        }
    }
    state.counters["empty_ms"] = spent[0] / 1e6 / double(state.iterations());
    state.counters["federation_ms"] = spent[1] / 1e6 / double(state.iterations());
    state.counters["ratio"] = double(spent[1]) / double(spent[0]);
}
BENCHMARK(BM_StartUpShown)->Unit(benchmark::kMillisecond)->MinTime(3);
