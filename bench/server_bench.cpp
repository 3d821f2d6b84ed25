// The distances on a PostgreSQL server of a federation's size: 5,000
// members x 40 race points. The calculator's three reads over the Unix
// socket, beside the same reads on the club's own file; and 50 clubs reading
// while 2 distance officers edit the same records for 30 seconds
// (PELLAMY_BENCH_SECONDS), counting errors and lost updates; and a Save of
// 10,000 lofts' coordinates.
//
// The server is the one PELLAMY_TEST_SERVER names, or a private one started
// here by scripts/pgserver in a temporary folder.
#include "distances/coordinatestore.h"
#include "distances/distancestore.h"
#include "distances/recordset.h"
#include "distances/schema.h"
#include "distances/servercopy.h"

#include "federation.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <csignal>

#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace pellamy;
using namespace benchsupport;

namespace {

constexpr char kPgserver[] = PELLAMY_SOURCE_DIR "/scripts/pgserver";

// The folder of a server started here, stopped and removed however the run
// ends: Ctrl+C and a failure as well as the end (the server runs in a
// session of its own, which the terminal's Ctrl+C does not reach).
char g_ownServerDir[256];

void stopOwnServer() {
    if (!*g_ownServerDir)
        return;
    if (const pid_t pid = fork(); pid == 0) {
        execl("/bin/sh", "sh", "-c", "\"$0\" stop \"$1\"; rm -rf \"$1\"", kPgserver, g_ownServerDir,
              static_cast<char*>(nullptr));
        _exit(127);
    } else if (pid > 0) {
        waitpid(pid, nullptr, 0);
    }
    *g_ownServerDir = 0;
}

[[noreturn]] void stopOwnServerAndEnd(int signal) {
    stopOwnServer();
    _exit(128 + signal);
}

[[noreturn]] void fail(const QString& why) {
    stopOwnServer();
    qFatal("%s", qPrintable(why));
}

// The server and a database of this run's own, filled once.
class BenchServer {
public:
    BenchServer() {
        admin_ = qEnvironmentVariable("PELLAMY_TEST_SERVER");
        if (admin_.isEmpty()) {
            // A short folder without blanks, as scripts/test makes: a
            // socket's path is limited to 107 bytes.
            QTemporaryDir made(QStringLiteral("/tmp/pellamy-bench-XXXXXX"));
            made.setAutoRemove(false); // removed as the server is stopped
            const QString folder = made.path();
            qstrncpy(g_ownServerDir, QFile::encodeName(folder).constData(), sizeof g_ownServerDir);
            std::signal(SIGINT, stopOwnServerAndEnd);
            std::signal(SIGTERM, stopOwnServerAndEnd);
            QProcess start;
            start.start(QString::fromUtf8(kPgserver), {QStringLiteral("start"), folder});
            start.waitForFinished(120000);
            admin_ = QString::fromUtf8(start.readAllStandardOutput()).trimmed();
            if (admin_.isEmpty())
                fail(QString::fromLocal8Bit(start.readAllStandardError()));
        }
        const QString name =
            QStringLiteral("pellamy_bench_%1").arg(QCoreApplication::applicationPid());
        exec(admin_, QStringLiteral("CREATE DATABASE %1;").arg(name));
        connection_ = admin_;
        connection_.replace(QLatin1String("dbname=postgres"), QLatin1String("dbname=") + name);
        QFile schema(QStringLiteral(PELLAMY_SOURCE_DIR "/distances/schema-postgres.sql"));
        schema.open(QIODevice::ReadOnly);
        exec(connection_, QString::fromUtf8(schema.readAll()));
        exec(connection_,
             QStringLiteral(
                 "INSERT INTO distances (name, racepoint, miles, yards, sixtieths) SELECT"
                 " 'Member ' || lpad(m::text, 4, '0'), 'Racepoint ' || lpad(r::text, 2, '0'),"
                 " (80 + r * 12 + m % 50)::text, ((m * 37 + r * 101) % 1760)::text,"
                 " (((80 + r * 12 + m % 50) * 1760 + (m * 37 + r * 101) % 1760) * 60)::text"
                 " FROM generate_series(0, 4999) m, generate_series(0, 39) r ORDER BY m, r;\n"
                 "VACUUM ANALYZE distances;"));
        source_.server = connection_;
        source_.copyPath = dir_.filePath("distances-copy.mdb");
        dropName_ = name;
    }
    ~BenchServer() {
        exec(admin_, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE);").arg(dropName_));
        stopOwnServer();
    }
    const DistanceSource& source() const { return source_; }
    const QString& connection() const { return connection_; }

    static void exec(const QString& server, const QString& sql) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "bench-admin");
            db.setConnectOptions(server);
            if (!db.open())
                fail(db.lastError().text());
            QString error;
            if (!runSqlScript(db, sql, &error))
                fail(error);
        }
        QSqlDatabase::removeDatabase("bench-admin");
    }

private:
    QTemporaryDir dir_;
    QString admin_, connection_, dropName_;
    DistanceSource source_;
};

const BenchServer& server() {
    static BenchServer instance;
    return instance;
}

// Range 0: the club's own file; range 1: the server.
DistanceStore storeFor(const benchmark::State& state) {
    return state.range(0) ? DistanceStore(server().source())
                          : DistanceStore(federationFolder().filePath("distances.mdb"));
}

} // namespace

static void BM_ServerRacepointList(benchmark::State& state) {
    const DistanceStore store = storeFor(state);
    for (auto _ : state)
        if (store.racepoints().values.size() != 40)
            state.SkipWithError("wrong race points");
}
BENCHMARK(BM_ServerRacepointList)
    ->Arg(0)
    ->Arg(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

static void BM_ServerMemberList(benchmark::State& state) {
    const DistanceStore store = storeFor(state);
    for (auto _ : state)
        if (store.members(racepoint(17)).values.size() != 5000)
            state.SkipWithError("wrong members");
}
BENCHMARK(BM_ServerMemberList)
    ->Arg(0)
    ->Arg(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

static void BM_ServerDistanceLookup(benchmark::State& state) {
    const DistanceStore store = storeFor(state);
    for (auto _ : state)
        if (store.distance(member(4321), racepoint(17)).text.isEmpty())
            state.SkipWithError("no distance");
}
BENCHMARK(BM_ServerDistanceLookup)
    ->Arg(0)
    ->Arg(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The club's copy of all 200,000 rows, as made after a start-up from the
// server (on a thread of its own, so the calculator does not wait for it).
static void BM_ServerCopyOf200000Rows(benchmark::State& state) {
    for (auto _ : state)
        if (!copyServerRows(server().source()).isEmpty())
            state.SkipWithError("the copy failed");
}
BENCHMARK(BM_ServerCopyOf200000Rows)->Iterations(3)->Unit(benchmark::kMillisecond);

// A coordinates Save of 10,000 lofts: every row written again, on the
// club's own file (0) and on the server (1). The server's rows go a group
// at a time: one by one, each waits for its answer.
static void BM_ServerSaveTenThousandLofts(benchmark::State& state) {
    const DistanceSource source =
        state.range(0) ? server().source()
                       : DistanceSource(federationFolder().filePath("distances.mdb"));
    PlaceLists lists;
    for (int m = 0; m < 10000; ++m)
        lists.lofts.push_back({QStringLiteral("Loft %1").arg(m), QString::fromUtf8("51°30'00\"N"),
                               QString::fromUtf8("0°07'00\"W")});
    PlaceLists before = readPlaces(source).lists;
    for (auto _ : state) {
        const PlaceSave saved = savePlaces(source, before, lists);
        if (saved.outcome != WriteOutcome::Done)
            state.SkipWithError(qPrintable(saved.error));
        before = saved.stored;
    }
}
BENCHMARK(BM_ServerSaveTenThousandLofts)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// 50 readers (a distance at a time, as clocking reads them, and now and
// then a race point's members)
// while 2 editors add 1 to the yards of the same 20 records, each save
// refused when the other saved the record first and then tried again. At
// the end every record's yards must have grown by the saves that were done.
static void BM_FiftyClubsReadingTwoOfficersWriting(benchmark::State& state) {
    const int seconds = qEnvironmentVariableIsSet("PELLAMY_BENCH_SECONDS")
                            ? qEnvironmentVariableIntValue("PELLAMY_BENCH_SECONDS")
                            : 30;
    const DistanceSource source = server().source();
    constexpr int kHotRecords = 20;
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::atomic<long> reads{0}, readErrors{0}, saves{0}, refused{0}, writeErrors{0};
        std::vector<std::atomic<int>> done(kHotRecords);
        std::vector<int> before(kHotRecords);
        {
            DistanceRecordSet records(source);
            records.open();
            for (int i = 0; i < kHotRecords; ++i)
                records.moveTo(i), before[i] = records.current().yards.toInt();
        }
        std::vector<std::thread> threads;
        for (int c = 0; c < 50; ++c)
            threads.emplace_back([&, c] {
                const DistanceStore store(source);
                QRandomGenerator random(c);
                for (long n = 0; !stop; ++n) {
                    const QString point = racepoint(random.bounded(40));
                    if (n % 20 == 0) {
                        const NameList members = store.members(point);
                        if (!members.ok() || members.values.size() != 5000)
                            ++readErrors;
                    }
                    const DistanceLookup lookup =
                        store.distance(member(random.bounded(5000)), point);
                    if (!lookup.ok() || lookup.text.isEmpty())
                        ++readErrors;
                    ++reads;
                }
            });
        for (int e = 0; e < 2; ++e)
            threads.emplace_back([&, e] {
                DistanceRecordSet records(source);
                if (!records.open())
                    return void(++writeErrors);
                QRandomGenerator random(100 + e);
                while (!stop) {
                    const int i = random.bounded(kHotRecords);
                    if (!records.moveTo(i))
                        continue;
                    DistanceRecord record = records.current();
                    record.yards = QString::number(record.yards.toInt() + 1);
                    switch (records.save(record)) {
                    case WriteOutcome::Done:
                        ++saves, ++done[i];
                        break;
                    case WriteOutcome::Changed:
                    case WriteOutcome::Deleted:
                        ++refused;
                        break;
                    case WriteOutcome::Failed:
                    case WriteOutcome::HeldTwice:
                        ++writeErrors;
                        break;
                    }
                }
            });
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        stop = true;
        for (std::thread& t : threads)
            t.join();
        long lost = 0;
        DistanceRecordSet records(source);
        records.open();
        for (int i = 0; i < kHotRecords; ++i) {
            records.moveTo(i);
            lost += std::abs(records.current().yards.toInt() - before[i] - done[i]);
        }
        state.counters["reads_per_s"] = double(reads) / seconds;
        state.counters["read_errors"] = double(readErrors);
        state.counters["saves"] = double(saves);
        state.counters["refused_as_changed"] = double(refused);
        state.counters["write_errors"] = double(writeErrors);
        state.counters["lost_updates"] = double(lost);
        if (readErrors || writeErrors || lost)
            state.SkipWithError("errors or lost updates");
    }
}
BENCHMARK(BM_FiftyClubsReadingTwoOfficersWriting)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
