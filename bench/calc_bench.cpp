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
    list.appendAll(rows);
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
    QVector<QStringList> rows;
    for (int i = 0; i < size; ++i)
        rows << entryWithVelocity(i);
    for (auto _ : state) {
        state.PauseTiming();
        RaceEntryList list;
        list.appendAll(rows);
        state.ResumeTiming();
        list.sortByVelocity();
    }
}
BENCHMARK(BM_SortUnsortedRace)->Arg(20000)->Unit(benchmark::kMillisecond);

static void BM_Velocity(benchmark::State& state) {
    CalculatorFields f = workedExample();
    for (auto _ : state)
        benchmark::DoNotOptimize(calculateVelocity(f));
}
BENCHMARK(BM_Velocity)->Unit(benchmark::kMicrosecond);
static void BM_Entry(benchmark::State& state) {
    CalculatorFields f = workedExample();
    const VelocityResult r = calculateVelocity(f);
    for (auto _ : state)
        benchmark::DoNotOptimize(buildRaceEntry(f, r));
}
BENCHMARK(BM_Entry)->Unit(benchmark::kMicrosecond);
static void BM_CopyCheck(benchmark::State& state) {
    CalculatorFields f = workedExample();
    for (auto _ : state) {
        CalculatorFields fields = f;
        benchmark::DoNotOptimize(checkTimeFields(fields));
    }
}
BENCHMARK(BM_CopyCheck)->Unit(benchmark::kMicrosecond);
static void BM_Gen(benchmark::State& state) {
    double v = 1176.85931296045;
    for (auto _ : state)
        benchmark::DoNotOptimize(generalNumberText(v));
}
BENCHMARK(BM_Gen);
static void BM_T2N(benchmark::State& state) {
    QString t = "1176.85931296045";
    for (auto _ : state)
        benchmark::DoNotOptimize(textToNumber(t));
}
BENCHMARK(BM_T2N);
BENCHMARK_MAIN();
