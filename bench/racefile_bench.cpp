// Saving and opening a 20,000-entry race through the calculator's handlers,
// with the file dialogs scripted.
#include "calc/raceentry.h"
#include "calculator/pellamy.h"

#include "calc/clocking.h"
#include "calc/raceentrylist.h"
#include "racefile/recovery.h"
#include "tests/calc/worked_example.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace pellamy;

namespace {

QVector<RaceEntryRow> race(int size) {
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
    return toRows(entries);
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

// Peak memory with a 20,000-entry race open against a bare Qt window, each
// in a process of its own (this program started again with
// PELLAMY_MEMORY_CASE set), so that neither peak hides in the other.
namespace {

void memoryCase(benchmark::State& state) {
    const QByteArray which = qgetenv("PELLAMY_MEMORY_CASE");
    const QString folder = QString::fromLocal8Bit(qgetenv("PELLAMY_MEMORY_FOLDER"));
    for (auto _ : state) {
        if (which == "bare") {
            QWidget window;
            window.resize(995, 675);
            window.show();
            QApplication::processEvents();
        } else {
            ScriptedDialogService dialogs;
            Pellamy window(folder, &dialogs);
            window.show();
            QApplication::processEvents();
            dialogs.answerFile(QDir(folder).filePath("race.txt"));
            window.cmdopen_Click();
            QApplication::processEvents();
        }
        // VmHWM: this process's own peak (ru_maxrss would carry the peak of
        // the process it was started from across exec).
        QFile status("/proc/self/status");
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                std::printf("peak_MB=%f\n", line.mid(6).trimmed().split(' ')[0].toDouble() / 1024);
        std::fflush(stdout);
        std::_Exit(0);
    }
}

const bool memoryCaseRegistered =
    !qEnvironmentVariableIsEmpty("PELLAMY_MEMORY_CASE") &&
    benchmark::RegisterBenchmark("BM_MemoryCase", memoryCase)->Iterations(1);

} // namespace

static void BM_PeakMemoryRaceOf20000AgainstBareWindow(benchmark::State& state) {
    QTemporaryDir dir;
    if (qEnvironmentVariableIsSet("PELLAMY_MEMORY_KEEP"))
        dir.setAutoRemove(false), std::printf("folder=%s\n", qPrintable(dir.path()));
    {
        ScriptedDialogService dialogs;
        Pellamy window(dir.path(), &dialogs);
        window.entries().appendAll(race(20000));
        dialogs.answerFile(dir.filePath("race.txt"));
        window.cmdsave_Click();
    }
    const auto peak = [&](const char* which) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PELLAMY_MEMORY_CASE", which);
        env.insert("PELLAMY_MEMORY_FOLDER", dir.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--benchmark_filter=BM_MemoryCase"});
        child.waitForFinished(120000);
        for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
            if (line.startsWith("peak_MB="))
                return line.mid(8).toDouble();
        return 0.0;
    };
    double bare = 0, full = 0;
    for (auto _ : state) {
        bare = peak("bare");
        full = peak("race");
    }
    state.counters["bare_MB"] = bare;
    state.counters["race_MB"] = full;
    state.counters["ratio"] = bare > 0 ? full / bare : 0;
}
BENCHMARK(BM_PeakMemoryRaceOf20000AgainstBareWindow)->Unit(benchmark::kMillisecond)->Iterations(1);

// Reading back the record of an unsaved race of 20,000 birds clocked one by
// one (each appended and moved to its place), as the calculator does at
// start-up after a crash.
static void BM_RecoveryReadOf20000Birds(benchmark::State& state) {
    QTemporaryDir dir;
    {
        RaceEntryList list;
        RaceRecovery recovery(dir.path(), list);
        recovery.start(false);
        for (const RaceEntryRow& entry : race(20000)) {
            const RecoveryGroup oneChange(recovery);
            list.append(entry.columns());
            list.sortByVelocity();
        }
    }
    QFile file(dir.filePath("race-recovery.journal"));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        const RecoveredRace found = readRecovery(bytes);
        if (found.entries.size() != 20000)
            state.SkipWithError("the race did not come back whole");
    }
    state.counters["record_MB"] = bytes.size() / 1048576.0;
}
BENCHMARK(BM_RecoveryReadOf20000Birds)->Unit(benchmark::kMillisecond);
