#pragma once
// A race's result for others to read: rows to paste into a spreadsheet, a
// CSV file and a web page for the club's site. Each takes the entries as
// they stand, in list order, with positions numbered as the sheets number
// them.

#include "calc/raceentryrow.h"
#include "printdocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace pellamy {

// The result's table: a header, then one row of texts per entry. Velocity
// and distance are plain numbers (the distance also in yards), so that a
// spreadsheet sorts them.
QStringList resultHeader();
QVector<QStringList> resultRows(const QVector<RaceEntryRow>& entries);

// Tab-separated lines with the header, ended by LF: what "Copy Result"
// puts on the clipboard. Figures with decimals take the machine's decimal
// mark (the locale's), as its spreadsheet reads them.
QString resultTabText(const QVector<RaceEntryRow>& entries);

// One CSV record, quoted as RFC 4180 asks (a field with a comma, a quote or
// a line break in quotes, quotes doubled; one with a semicolon too, since a
// spreadsheet may split at it), ended by CR LF. Where the machine's decimal
// mark is a comma (German, French), figures with decimals in the columns
// figures names take it and the separator is ";", as that machine's
// spreadsheet reads a CSV file.
QByteArray csvRecord(const QStringList& fields, const QList<int>& figures = {});
// A CSV file in UTF-8 with a byte-order mark, so that a spreadsheet keeps
// accents; figures names the rows' columns of figures.
QByteArray csvFile(const QStringList& header, const QVector<QStringList>& rows,
                   const QList<int>& figures);
// The result's table as a CSV file.
QByteArray resultCsv(const QVector<RaceEntryRow>& entries);

// One self-contained HTML5 page: the club and federation names, the race
// line of the club sheet, the club sheet's table and the comments; every
// text escaped; inline style only, and readable on a phone.
QByteArray resultWebPage(const SheetDetails& details, const QVector<RaceEntryRow>& entries);

} // namespace pellamy
