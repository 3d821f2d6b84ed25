#pragma once
// The two printed result sheets and the e-mailed result, laid out line by
// line. Each takes the entries as they stand, renumbered, in list order.

#include "calc/raceentryrow.h"
#include "printdocument.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

namespace pellamy {

// The club's result sheet: portrait, title block, summary and race date,
// one double-spaced line per entry, the comments at the foot.
PrintDocument clubSheet(const SheetDetails& details, const QVector<RaceEntryRow>& entries,
                        int copies);

// The federation's result sheet: landscape, every clock detail of each
// entry, the master clock details and a line for a signature.
PrintDocument federationSheet(const SheetDetails& details, const QVector<RaceEntryRow>& entries,
                              int copies);

// The club sheet's line of the race: members, birds, wind, liberation and
// race point.
QString clubSheetRaceLine(const SheetDetails& details);

// The table line of one entry on each sheet.
QString clubSheetLine(const RaceEntryRow& entry);
QString federationSheetLine(const RaceEntryRow& entry);

// result.txt: Windows-1252 bytes (UTF-8 after its mark when a text holds a
// letter Windows-1252 has not), every line ended by CR LF.
QByteArray resultText(const SheetDetails& details, const QVector<RaceEntryRow>& entries);
// The line of one entry in result.txt.
QString resultTextLine(const RaceEntryRow& entry);

} // namespace pellamy
