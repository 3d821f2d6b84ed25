// The calculator's three reads and the editor's opening on a federation-size
// distance database: 5,000 members x 40 race points.
#include "distances/distancestore.h"
#include "distances/editor/frmdistances.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "support/distancedb.h"

using namespace pellamy;

namespace {

QString member(int i) {
    return QStringLiteral("Member %1").arg(i, 4, 10, QChar(u'0'));
}
QString racepoint(int i) {
    return QStringLiteral("Racepoint %1").arg(i, 2, 10, QChar(u'0'));
}

const QTemporaryDir& federation() {
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        const QString path = dir.filePath("distances.mdb");
        testsupport::makeDistanceDatabase(path);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
            db.setDatabaseName(path);
            db.open();
            QSqlQuery q(db);
            q.exec("BEGIN");
            q.prepare("INSERT INTO Distances VALUES (?, ?, ?, ?, ?)");
            for (int m = 0; m < 5000; ++m)
                for (int r = 0; r < 40; ++r) {
                    const int miles = 80 + r * 12 + m % 50, yards = (m * 37 + r * 101) % 1760;
                    q.addBindValue(member(m));
                    q.addBindValue(racepoint(r));
                    q.addBindValue(QString::number(miles));
                    q.addBindValue(QString::number(yards));
                    q.addBindValue(QString::number((miles * 1760 + yards) * 60));
                    q.exec();
                }
            QSqlQuery(db).exec("COMMIT");
            db.close();
        }
        QSqlDatabase::removeDatabase("fill");
        made = true;
    }
    return dir;
}

} // namespace

static void BM_RacepointList(benchmark::State& state) {
    const DistanceStore store(federation().filePath("distances.mdb"));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.racepoints());
}
BENCHMARK(BM_RacepointList)->Unit(benchmark::kMillisecond);

static void BM_MemberList(benchmark::State& state) {
    const DistanceStore store(federation().filePath("distances.mdb"));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.members(racepoint(17)));
}
BENCHMARK(BM_MemberList)->Unit(benchmark::kMillisecond);

static void BM_DistanceLookup(benchmark::State& state) {
    const DistanceStore store(federation().filePath("distances.mdb"));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.distance(member(4321), racepoint(17)));
}
BENCHMARK(BM_DistanceLookup)->Unit(benchmark::kMillisecond);

static void BM_EditorOpens(benchmark::State& state) {
    ScriptedDialogService dialogs;
    for (auto _ : state) {
        frmdistances window(federation().path(), &dialogs);
        benchmark::DoNotOptimize(window.recordPosition());
    }
}
BENCHMARK(BM_EditorOpens)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
