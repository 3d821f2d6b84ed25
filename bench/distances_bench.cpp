// The calculator's three reads and the editor's opening on a federation-size
// distance database: 5,000 members x 40 race points.
#include "distances/coordinatestore.h"
#include "distances/distancestore.h"
#include "distances/editor/frmdistances.h"
#include "distances/workout.h"
#include "support/distancedb.h"

#include <QFile>
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

// Distances worked out from coordinates: 5,000 lofts x 40 race points, all
// 200,000 rows written, into an empty table (Range 0) and over a table that
// holds every pair with another distance (Range 1). The reference is the
// bare cost of inserting 200,000 rows in one transaction.
namespace {

QString coordinatesDatabase(const QTemporaryDir& dir, bool filled) {
    const QString path = dir.filePath(filled ? "filled.mdb" : "empty.mdb");
    if (QFile::exists(path))
        return path;
    testsupport::makeDistanceDatabase(path);
    PlaceLists lists;
    for (int i = 0; i < 5000; ++i)
        lists.lofts.push_back({member(i), QString::number(50 + i % 500 * 0.01, 'f', 6),
                               QString::number(-4 + i / 500 * 0.3, 'f', 6)});
    for (int i = 0; i < 40; ++i)
        lists.racepoints.push_back({racepoint(i), QString::number(43 + i * 0.4, 'f', 6),
                                    QString::number(-6 + i * 0.5, 'f', 6)});
    savePlaces(path, {}, lists);
    if (filled) {
        DistanceWorkOut workOut(path);
        WorkOutPlan plan;
        workOut.plan(&plan);
        for (DistanceWrite& w : plan.writes)
            w.sixtieths = QStringLiteral("60"), w.miles = QStringLiteral("0"),
            w.yards = QStringLiteral("1");
        workOut.write(plan);
    }
    return path;
}

} // namespace

static void BM_WorkOutDistances(benchmark::State& state) {
    static QTemporaryDir dir;
    const QString source = coordinatesDatabase(dir, state.range(0) == 1);
    const QString path = dir.filePath("run.mdb");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        QFile::copy(source, path);
        state.ResumeTiming();
        DistanceWorkOut workOut(path);
        WorkOutPlan plan;
        if (!workOut.plan(&plan) || plan.writes.size() != 200000 ||
            workOut.write(plan) != WriteOutcome::Done)
            state.SkipWithError("the work-out failed");
    }
}
BENCHMARK(BM_WorkOutDistances)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_Reference_Insert200000Rows(benchmark::State& state) {
    static QTemporaryDir dir;
    const QString path = dir.filePath("reference.mdb");
    for (auto _ : state) {
        state.PauseTiming();
        testsupport::makeDistanceDatabase(path);
        state.ResumeTiming();
        DistanceConnection connection(path, DistanceConnection::Mode::ReadWrite);
        QSqlDatabase db = connection.database();
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare("INSERT INTO Distances VALUES (?, ?, ?, ?, ?)");
        for (int i = 0; i < 200000; ++i) {
            insert.addBindValue(member(i % 5000));
            insert.addBindValue(racepoint(i / 5000));
            insert.addBindValue(QStringLiteral("100"));
            insert.addBindValue(QStringLiteral("880"));
            insert.addBindValue(QStringLiteral("10612800"));
            insert.exec();
        }
        db.commit();
    }
}
BENCHMARK(BM_Reference_Insert200000Rows)->Unit(benchmark::kMillisecond)->Iterations(3);
