// The calculator's three reads and the editor's opening on a federation-size
// distance database: 5,000 members x 40 race points.
#include "distances/distancestore.h"
#include "distances/editor/frmdistances.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace pellamy;

#include "federation.h"

using namespace benchsupport;

static void BM_RacepointList(benchmark::State& state) {
    const DistanceStore store(federationFolder().filePath("distances.mdb"));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.racepoints());
}
BENCHMARK(BM_RacepointList)->Unit(benchmark::kMillisecond);

static void BM_MemberList(benchmark::State& state) {
    const DistanceStore store(federationFolder().filePath("distances.mdb"));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.members(racepoint(17)));
}
BENCHMARK(BM_MemberList)->Unit(benchmark::kMillisecond);

static void BM_DistanceLookup(benchmark::State& state) {
    const DistanceStore store(federationFolder().filePath("distances.mdb"));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.distance(member(4321), racepoint(17)));
}
BENCHMARK(BM_DistanceLookup)->Unit(benchmark::kMillisecond);

static void BM_EditorOpens(benchmark::State& state) {
    ScriptedDialogService dialogs;
    for (auto _ : state) {
        frmdistances window(federationFolder().path(), &dialogs);
        benchmark::DoNotOptimize(window.recordPosition());
    }
}
BENCHMARK(BM_EditorOpens)->Unit(benchmark::kMillisecond);
