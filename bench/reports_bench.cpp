// The two printed sheets of a 5,000-entry race rendered to PDF.
#include "reports/sheetprinter.h"
#include "reports/sheets.h"
#include "tests/reports/sample_race.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace pellamy;

static void renderSheet(benchmark::State& state, bool federation) {
    const QVector<RaceEntryRow> entries = toRows(sampleRace(int(state.range(0))));
    QTemporaryDir dir;
    QtSheetPrinter printer;
    for (auto _ : state) {
        const PrintDocument document = federation ? federationSheet(sampleDetails(), entries, 1)
                                                  : clubSheet(sampleDetails(), entries, 1);
        QString error;
        if (!printer.printToPdf(document, dir.filePath("sheet.pdf"), error))
            state.SkipWithError(error.toUtf8().constData());
    }
}

static void BM_ClubSheetToPdf(benchmark::State& state) {
    renderSheet(state, false);
}
BENCHMARK(BM_ClubSheetToPdf)->Arg(5000)->Unit(benchmark::kMillisecond);

static void BM_FederationSheetToPdf(benchmark::State& state) {
    renderSheet(state, true);
}
BENCHMARK(BM_FederationSheetToPdf)->Arg(5000)->Unit(benchmark::kMillisecond);
