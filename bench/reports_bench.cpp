// The two printed sheets of a 5,000-entry race rendered to PDF.
#include "reports/sheetprinter.h"
#include "reports/sheets.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace pellamy;

namespace {

QVector<QStringList> race(int size) {
    QVector<QStringList> entries;
    for (int i = 0; i < size; ++i)
        entries << QStringList{
            QString::number(i + 1),
            QStringLiteral("Member %1").arg(i + 1),
            "19-30-02",
            "19-30-00",
            "02",
            "19-00-10",
            "19-00-00",
            "06",
            "11-45-30",
            "03-45-22",
            QStringLiteral("%1.%2").arg(1500 - i / 10).arg(i % 1000, 3, 10, QChar(u'0')),
            "12",
            "345",
            "BB",
            "C",
            QStringLiteral("GB06N%1").arg(10000 + i),
            "150-1234",
            "P-N"};
    return entries;
}

SheetDetails details() {
    SheetDetails d;
    d.club = "Rose, Crown and Anchor";
    d.fed = "North East Federation";
    d.racepoint = "Northpoint";
    d.txtdaterace = "24052006";
    d.txtdateset = "23052006";
    return d;
}

void renderSheet(benchmark::State& state, bool federation) {
    const QVector<QStringList> entries = race(int(state.range(0)));
    QTemporaryDir dir;
    QtSheetPrinter printer;
    for (auto _ : state) {
        const PrintDocument document =
            federation ? federationSheet(details(), entries, 1) : clubSheet(details(), entries, 1);
        QString error;
        if (!printer.printToPdf(document, dir.filePath("sheet.pdf"), error))
            state.SkipWithError(error.toUtf8().constData());
    }
}

} // namespace

static void BM_ClubSheetToPdf(benchmark::State& state) {
    renderSheet(state, false);
}
BENCHMARK(BM_ClubSheetToPdf)->Arg(5000)->Unit(benchmark::kMillisecond);

static void BM_FederationSheetToPdf(benchmark::State& state) {
    renderSheet(state, true);
}
BENCHMARK(BM_FederationSheetToPdf)->Arg(5000)->Unit(benchmark::kMillisecond);
