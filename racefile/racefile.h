#pragma once
// The race file: one record line per race entry, its column texts joined by
// ", ", each record followed by an empty line, CR LF line ends, Windows-1252
// bytes (UTF-8 after its mark when a text holds a letter Windows-1252 has
// not). There is no header, no quoting and no field count.

#include "calc/raceentry.h"
#include "calc/raceentryrow.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

namespace pellamy {

constexpr int kRaceFileFields = kColumnCount;

struct RaceFileWrite {
    QByteArray bytes;
    // Entries (1 = first) with a comma inside a column text, which is
    // written as a semicolon so that the file reads back whole.
    QVector<int> commaEntries;
    // Entries holding a character that is no text (pasted from another
    // program: a form feed, a CR), written as a blank so that the file opens.
    QVector<int> controlEntries;
    // Entries whose line is longer than a race file's lines may be: such a
    // file would not open, and is not to be written.
    QVector<int> tooLongEntries;
};

// The file for entries in list order, written as they stand (renumber the
// list first). An entry with fewer columns gives a shorter record.
RaceFileWrite raceFileBytes(const QVector<RaceEntryRow>& entries);

struct RaceFileRead {
    QVector<RaceEntryRow> entries;
    // Entries (1 = the first) whose lines held more than 39 fields: they
    // keep the first 39.
    QVector<int> overlongEntries;
};

// Entries of a race file named in a message: "entry 3", "entries 2, 5", or
// "every entry" when it is all of them (the race details every entry holds,
// such as the comments).
QString entriesText(const QVector<int>& numbers, int entryCount);

// The longest line a race file may hold: 39 fields of any sensible length
// fit many times over.
constexpr qsizetype kLongestRaceFileLine = 64 * 1024;

// The largest file read as a race file: a race of 100,000 birds takes about
// 40 MB. A larger file chosen by mistake (a backup, a video) is refused
// before it is read, not read whole into memory.
constexpr qint64 kLargestRaceFile = qint64(512) << 20;

// Why a file of size bytes cannot be a race file, in words that follow
// "it "; empty when it may be one.
QString tooLargeForARaceFile(qint64 size);

// Why bytes cannot be a race file, in words that follow "it ": a UTF-16
// byte-order mark, a byte that is no text (NUL and the other control bytes
// besides CR, LF and tab), a line over kLongestRaceFileLine bytes, or text
// but blanks without a comma. Empty when they can be read as one.
QString notARaceFile(const QByteArray& bytes);

// Whether bytes end their lines with a bare LF, as Linux and Mac files do,
// which a race file does not: such a file reads as one long line unless put
// right by raceFileLines. A file
// with CR LF line ends is not one, whatever LFs its fields hold.
bool hasBareLineFeeds(const QByteArray& bytes);

// A race file whose line ends were changed to LF on the way (through a Mac
// or Linux computer, or web mail) with CR LF line ends again. It has lost
// the difference between a line end and a line break typed into the
// comments: a line that reaches the comments but is short of a race
// entry's fields is joined again with the pieces after it (of at most the
// comments and the two fields after them) that make it whole, and every
// other LF ends a line.
QByteArray withRaceLineEnds(const QByteArray& bytes);

// The same for any race file: its CR LF line ends read as LF first, so that
// comments typed on two lines by a program that kept CR LF inside them are
// put together again too; a race file without such lines comes back as it
// was.
QByteArray raceFileLines(QByteArray bytes);
// Whether bytes need that: LF line ends, or a line that reaches the
// comments but is short of a race entry's fields.
bool needsRaceFileLines(const QByteArray& bytes);

// Whether bytes end part-way through an entry's line, as a file cut short
// while it was copied does: a last line without its line end, and short of
// an entry's fields. A whole last entry whose line end was lost in an editor
// is not.
bool endsPartWayThroughAnEntry(const QByteArray& bytes);

// The entries read from a file that do not stand as Pellamy writes them, by
// number from 1: those short of a race entry's fields (a line broken in a
// text editor or a spreadsheet; an entry that holds no bird and, when
// lastCut, the last entry are not counted), and whole entries whose clock times hold
// a '/' or ':' (made dates or times of day by a spreadsheet).
QVector<int> shortEntries(const QVector<RaceEntryRow>& entries, bool lastCut);
QVector<int> entriesWithDatedTimes(const QVector<RaceEntryRow>& entries);

// Whether an entry is a line of blanks (spaces, tabs): no bird, nor short of one.
bool isBlankLine(const RaceEntryRow& entry);
// Whether entry i holds no bird: a line of blanks, or its own position
// alone (as a save numbered a line of blanks before such lines were left
// out when a race is opened; a spreadsheet may have given it empty fields).
bool holdsNoBird(const QVector<RaceEntryRow>& entries, qsizetype i);

// The first entry that holds a bird (a race brought back, or one read for
// Season Results, may still hold lines of blanks): the one whose race
// details a race is read by. Null when there is none.
const RaceEntryRow* firstRaceEntry(const QVector<RaceEntryRow>& entries);

// How many bytes of a file come before a run of NUL bytes that ends it, as
// a file copied while the power went or a memory stick was pulled out keeps
// its length with its last blocks filled with nought: the entries before
// them are whole. The size of bytes when they end otherwise; 0 when there
// is nothing but NUL bytes.
qsizetype beforeZeroFilledEnd(const QByteArray& bytes);

// Reads a race file: lines end at CR (a CR LF pair is one line end; a bare
// LF does not end a line); each line splits at every ","; blanks around
// each field are removed; empty lines are skipped; a record with fewer
// fields gives a shorter entry.
RaceFileRead readRaceFile(const QByteArray& bytes);

// The same read from a file a piece at a time (whole lines of about
// pieceSize bytes), so that a large race is never held as bytes and entries
// at once.
RaceFileRead readRaceFile(QIODevice& file, qsizetype pieceSize = 1 << 20);

// The window caption for a race read from a file, built from its first
// entry, as "Result for ..... Exeter     24/05/2006     12 Members     Sent
// 240  Birds     Liberated at 0730     Into a SW Wind" (one line). Empty when
// the entry lacks a field the heading needs.
QString resultHeading(const QStringList& first);

} // namespace pellamy
