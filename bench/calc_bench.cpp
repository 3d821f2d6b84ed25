// One bird's calculation and entry; a bird appended to a large race.
#include "calc/numbers.h"
#include "calc/raceentry.h"
#include "calc/raceentrylist.h"
#include "calc/textforms.h"
#include "calc/velocity.h"

#include "worked_example.h"

#include <benchmark/benchmark.h>

using namespace pellamy;

static void BM_OneBirdCalculationAndEntry(benchmark::State& state) {
    CalculatorFields f = workedExample();
    for (auto _ : state) {
        CalculatorFields fields = f;
        checkTimeFields(fields);
        const VelocityResult result = calculateVelocity(fields);
        QStringList entry = buildRaceEntry(fields, result);
        benchmark::DoNotOptimize(entry);
    }
}
BENCHMARK(BM_OneBirdCalculationAndEntry)->Unit(benchmark::kMicrosecond);

static QStringList entryWithVelocity(int i) {
    QStringList entry = buildRaceEntry(workedExample(), calculateVelocity(workedExample()));
    entry[Col::Velocity] =
        patternText(QString::number(500 + (i * 7919) % 1000) + ".5", QStringLiteral("0000.000"));
    return entry;
}

// Appends one bird to a race of `range(0)` entries in velocity order and
// restores the order, as clocking a bird does.
static void BM_AppendToRaceAndSort(benchmark::State& state) {
    const int size = int(state.range(0));
    RaceEntryList list;
    QVector<QStringList> rows;
    for (int i = 0; i < size; ++i)
        rows << entryWithVelocity(i);
    list.appendAll(toRows(rows));
    list.sortByVelocity();
    int i = size;
    for (auto _ : state) {
        list.append(entryWithVelocity(i++));
        list.sortByVelocity();
        state.PauseTiming();
        list.removeEntry(list.count() - 1 - (i % 2) * (list.count() / 2));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendToRaceAndSort)->Arg(20000)->Unit(benchmark::kMillisecond);

// The worst case: a race read unsorted from a file, sorted whole.
static void BM_SortUnsortedRace(benchmark::State& state) {
    const int size = int(state.range(0));
    QVector<QStringList> entries;
    for (int i = 0; i < size; ++i)
        entries << entryWithVelocity(i);
    const QVector<RaceEntryRow> rows = toRows(entries);
    for (auto _ : state) {
        state.PauseTiming();
        RaceEntryList list;
        list.appendAll(rows);
        state.ResumeTiming();
        list.sortByVelocity();
    }
}
BENCHMARK(BM_SortUnsortedRace)->Arg(20000)->Unit(benchmark::kMillisecond);

// The parts of one bird's calculation, to see where its time goes: the
// velocity arithmetic, the entry built from it, the time fields' check, and
// the number-text conversions both ways.
static void BM_PartVelocity(benchmark::State& state) {
    CalculatorFields f = workedExample();
    for (auto _ : state)
        benchmark::DoNotOptimize(calculateVelocity(f));
}
BENCHMARK(BM_PartVelocity)->Unit(benchmark::kMicrosecond);

static void BM_PartEntry(benchmark::State& state) {
    CalculatorFields f = workedExample();
    const VelocityResult r = calculateVelocity(f);
    for (auto _ : state)
        benchmark::DoNotOptimize(buildRaceEntry(f, r));
}
BENCHMARK(BM_PartEntry)->Unit(benchmark::kMicrosecond);

static void BM_PartTimeFieldCheck(benchmark::State& state) {
    CalculatorFields f = workedExample();
    for (auto _ : state) {
        CalculatorFields fields = f;
        benchmark::DoNotOptimize(checkTimeFields(fields));
    }
}
BENCHMARK(BM_PartTimeFieldCheck)->Unit(benchmark::kMicrosecond);

static void BM_PartGeneralNumberText(benchmark::State& state) {
    double v = 1176.85931296045;
    for (auto _ : state)
        benchmark::DoNotOptimize(generalNumberText(v));
}
BENCHMARK(BM_PartGeneralNumberText);

static void BM_PartTextToNumber(benchmark::State& state) {
    QString t = "1176.85931296045";
    for (auto _ : state)
        benchmark::DoNotOptimize(textToNumber(t));
}
BENCHMARK(BM_PartTextToNumber);

BENCHMARK_MAIN();
