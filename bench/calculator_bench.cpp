// The calculator window: clocking a bird into a large race, and start-up
// against a federation-size database.
#include "calc/raceentry.h"
#include "calculator/pellamy.h"

#include "calc/clocking.h"
#include "federation.h"
#include "tests/calc/worked_example.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <benchmark/benchmark.h>

using namespace pellamy;
using namespace benchsupport;

// One click of CALCULATE when the list holds 5,000 entries: the lookup, the
// arithmetic, the entry appended and sorted, and the view brought up to date.
static void BM_ClockBirdIntoRaceOf5000(benchmark::State& state) {
    ScriptedDialogService dialogs;
    Pellamy window(federationFolder().path(), &dialogs);
    window.show();
    QVector<QStringList> race;
    const CalculatorFields f = workedExample();
    const QStringList entry = clockBird(f, {}).entry;
    for (int i = 0; i < 5000; ++i) {
        QStringList e = entry;
        e[Col::Velocity] = QStringLiteral("%1.%2")
                               .arg(900 + i % 600, 4, 10, QChar(u'0'))
                               .arg(i % 1000, 3, 10, QChar(u'0'));
        race << e;
    }
    window.entries().appendAll(race);
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
BENCHMARK(BM_ClockBirdIntoRaceOf5000)->Unit(benchmark::kMillisecond);

static void BM_StartUpOnFederationDatabase(benchmark::State& state) {
    ScriptedDialogService dialogs;
    federationFolder();
    for (auto _ : state) {
        Pellamy window(federationFolder().path(), &dialogs);
        benchmark::DoNotOptimize(window.findChild<QComboBox*>("member")->count());
    }
}
BENCHMARK(BM_StartUpOnFederationDatabase)->Unit(benchmark::kMillisecond);
