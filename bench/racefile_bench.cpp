// Saving and opening a 20,000-entry race through the calculator's handlers,
// with the file dialogs scripted.
#include "calc/raceentry.h"
#include "calculator/pellamy.h"

#include "calc/clocking.h"
#include "tests/calc/worked_example.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace pellamy;

namespace {

QVector<QStringList> race(int size) {
    const QStringList entry = clockBird(workedExample(), {}).entry;
    QVector<QStringList> entries;
    entries.reserve(size);
    for (int i = 0; i < size; ++i) {
        QStringList e = entry;
        e[Col::Name] = QStringLiteral("Member %1").arg(i);
        e[Col::Velocity] = QStringLiteral("%1.%2")
                               .arg(1600 - i / 20, 4, 10, QChar(u'0'))
                               .arg(i % 1000, 3, 10, QChar(u'0'));
        entries << e;
    }
    return entries;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

static void BM_SaveRaceOf20000(benchmark::State& state) {
    QTemporaryDir dir;
    ScriptedDialogService dialogs;
    Pellamy window(dir.path(), &dialogs);
    window.entries().appendAll(race(20000));
    for (auto _ : state) {
        dialogs.answerFile(dir.filePath("race.txt"));
        window.cmdsave_Click();
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_SaveRaceOf20000)->Unit(benchmark::kMillisecond);

static void BM_OpenRaceOf20000(benchmark::State& state) {
    QTemporaryDir dir;
    ScriptedDialogService dialogs;
    Pellamy window(dir.path(), &dialogs);
    window.entries().appendAll(race(20000));
    dialogs.answerFile(dir.filePath("race.txt"));
    window.cmdsave_Click();
    window.entries().clear();
    state.counters["before_MB"] = peakMegabytes();
    for (auto _ : state) {
        dialogs.answerFile(dir.filePath("race.txt"));
        window.cmdopen_Click();
    }
    state.counters["entries"] = window.entries().count();
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_OpenRaceOf20000)->Unit(benchmark::kMillisecond);
