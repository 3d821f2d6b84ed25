#include "racefile.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

#include "calc/raceentry.h"
#include "calc/windows1252.h"

namespace pellamy {

RaceFileWrite raceFileBytes(const QVector<RaceEntryRow>& entries) {
    RaceFileWrite out;
    QString text;
    qsizetype size = 0;
    for (const RaceEntryRow& entry : entries)
        for (int c = 0; c < entry.size(); ++c)
            size += entry.view(c).size() + 2;
    text.reserve(size + 4 * entries.size());

    const QString separator = QStringLiteral(", ");
    const QString recordEnd = QStringLiteral("\r\n\r\n");
    // A character no race file holds: it would end the line (CR) or make
    // the file unreadable. An LF is a line break of the comments.
    const auto notText = [](QChar ch) {
        const char16_t c = ch.unicode();
        return (c < 0x20 && c != u'\t' && c != u'\n') || c == 0x7F;
    };
    for (int i = 0; i < entries.size(); ++i) {
        const RaceEntryRow& entry = entries[i];
        bool comma = false, control = false;
        for (int c = 0; c < entry.size(); ++c) {
            if (c > 0)
                text += separator;
            const QStringView column = entry.view(c);
            const bool hasComma = column.contains(u',');
            const bool hasControl = std::any_of(column.begin(), column.end(), notText);
            if (!hasComma && !hasControl) {
                text += column;
                continue;
            }
            QString fixed = column.toString().replace(u',', u';');
            for (QChar& ch : fixed)
                if (notText(ch))
                    ch = u' ';
            text += fixed;
            comma = comma || hasComma;
            control = control || hasControl;
        }
        text += recordEnd;
        if (comma)
            out.commaEntries << i + 1;
        if (control)
            out.controlEntries << i + 1;
    }

    out.bytes = toWindows1252OrUtf8(text);
    // Each entry's pieces between line breaks of its comments, in bytes as
    // the reader measures them (a letter may take two in UTF-8, and the
    // mark counts in the first line).
    qsizetype at = 0;
    for (int i = 0; i < entries.size(); ++i) {
        const qsizetype end = out.bytes.indexOf("\r\n\r\n", at);
        for (qsizetype piece = at, next; piece < end; piece = next + 1) {
            next = out.bytes.indexOf('\n', piece);
            if (next < 0 || next > end)
                next = end;
            if (next - piece > kLongestRaceFileLine) {
                out.tooLongEntries << i + 1;
                break;
            }
        }
        at = end + 4;
    }
    return out;
}

namespace {

QStringView trimmedSpaces(QStringView field) {
    qsizetype begin = 0, end = field.size();
    while (begin < end && field[begin] == u' ')
        ++begin;
    while (end > begin && field[end - 1] == u' ')
        --end;
    return field.mid(begin, end - begin);
}

} // namespace

namespace {

// Reads the lines of bytes into out, the first being line firstLine + 1 of
// the file, each entry sharing the race details of the entry before it
// when they are the same, which keeps a large race small; utf8 when the
// file starts with the UTF-8 mark. Gives the number of the last line read.
int readLines(QByteArrayView bytes, RaceFileRead& out, int firstLine, bool utf8) {
    qsizetype pos = 0;
    int lineNumber = firstLine;
    while (pos < bytes.size()) {
        // One line: up to the next CR; a CR LF pair is one line end. Each
        // line is decoded on its own: a large race is never held as text
        // beside its bytes.
        qsizetype end = bytes.indexOf('\r', pos);
        if (end < 0)
            end = bytes.size();
        // A line a text editor saved as UTF-8 reads as written.
        const QByteArrayView lineBytes = bytes.sliced(pos, end - pos);
        const QString text = utf8 ? fromMarkedUtf8(lineBytes) : fromUtf8OrWindows1252(lineBytes);
        const QStringView line(text);
        pos = end + 1;
        if (pos < bytes.size() && bytes[pos] == '\n' && end < bytes.size())
            ++pos;
        ++lineNumber;
        if (line.isEmpty())
            continue;
        // A line of commas and blanks alone, as a spreadsheet saves the empty
        // line between entries, holds no entry (one of blanks alone is an
        // empty entry, as ever).
        if (line.contains(u',') && std::all_of(line.begin(), line.end(), [](QChar c) {
                return c == u',' || c == u' ' || c == u'\t';
            }))
            continue;

        QStringView fields[kRaceFileFields];
        int count = 0;
        qsizetype start = 0;
        while (true) {
            const qsizetype comma = line.indexOf(u',', start);
            if (count == kRaceFileFields) {
                out.overlongEntries << int(out.entries.size()) + 1;
                break;
            }
            fields[count++] =
                trimmedSpaces(line.mid(start, (comma < 0 ? line.size() : comma) - start));
            if (comma < 0)
                break;
            start = comma + 1;
        }
        out.entries << RaceEntryRow(fields, count,
                                    out.entries.isEmpty() ? nullptr : &out.entries.constLast());
    }
    return lineNumber;
}

} // namespace

QString entriesText(const QVector<int>& numbers, int entryCount) {
    if (entryCount > 1 && numbers.size() == entryCount)
        return QStringLiteral("every entry");
    QStringList texts;
    for (int n : numbers)
        texts << QString::number(n);
    return (numbers.size() == 1 ? QStringLiteral("entry ") : QStringLiteral("entries ")) +
           texts.join(QStringLiteral(", "));
}

RaceFileRead readRaceFile(const QByteArray& bytes) {
    RaceFileRead out;
    out.entries.reserve(bytes.count('\r') + 1);
    readLines(bytes, out, 0, bytes.startsWith(kUtf8Mark));
    out.entries.squeeze();
    return out;
}

RaceFileRead readRaceFile(QIODevice& file, qsizetype pieceSize) {
    RaceFileRead out;
    int linesRead = 0;
    // One buffer for every piece: the bytes after the last whole line read
    // so far, then the next piece read in after them.
    QByteArray buffer;
    const bool utf8 = file.peek(kUtf8Mark.size()) == kUtf8Mark;
    bool atEnd = false;
    while (!atEnd) {
        const qsizetype kept = buffer.size();
        buffer.resize(kept + pieceSize);
        const qint64 read = file.read(buffer.data() + kept, pieceSize);
        buffer.truncate(kept + std::max<qint64>(read, 0));
        atEnd = read <= 0;
        // Whole lines only: up to the last CR, and the LF after it, once the
        // byte after the CR is there to be seen.
        qsizetype cut = buffer.size();
        if (!atEnd) {
            const qsizetype cr = buffer.lastIndexOf('\r');
            if (cr < 0 || cr + 1 >= buffer.size())
                continue;
            cut = cr + 1 + (buffer[cr + 1] == '\n' ? 1 : 0);
        }
        linesRead = readLines(QByteArrayView(buffer).first(cut), out, linesRead, utf8);
        std::memmove(buffer.data(), buffer.constData() + cut, std::size_t(buffer.size() - cut));
        buffer.truncate(buffer.size() - cut);
    }
    out.entries.squeeze();
    return out;
}

QString tooLargeForARaceFile(qint64 size) {
    if (size <= kLargestRaceFile)
        return QString();
    return QStringLiteral("is larger than any race file (%1 MB)").arg(size >> 20);
}

QString notARaceFile(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QStringLiteral("is a Unicode (UTF-16) text file");
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = quint8(bytes[i]);
        if (c == '\r' || c == '\n') {
            lineStart = i + 1;
            continue;
        }
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return QStringLiteral("holds bytes that are not text");
        if (i - lineStart >= kLongestRaceFileLine)
            return QStringLiteral("has a line longer than %1 characters").arg(kLongestRaceFileLine);
    }
    // Text without a comma (a letter, the club's name file) holds no entry
    // but blanks; an empty file is an empty race.
    // A line of a race entry's fields divided by semicolons, not commas (a
    // comma or two may stand in its figures or comments).
    const auto dividedBy = [](QByteArrayView line, char separator) {
        return line.count(separator) >= kRaceFileFields - 1 &&
               line.count(',') < kRaceFileFields - 1;
    };
    // Or by commas with every field in double quotes, as a spreadsheet set
    // to quote them saves it: read so, no velocity would be a figure.
    const auto quotedLine = [](QByteArrayView line) {
        return line.trimmed().startsWith('"') && line.count(",\"") >= kRaceFileFields - 2;
    };
    // Lines as the reader takes them: a line break typed in the comments
    // (whose commas were saved as semicolons) ends no line.
    const QByteArray lines = hasBareLineFeeds(bytes) ? withRaceLineEnds(bytes) : bytes;
    QString saved; // how a spreadsheet saved it, when it did
    for (qsizetype start = 0; start < lines.size() && saved.isEmpty();) {
        qsizetype end = lines.indexOf('\r', start);
        if (end < 0)
            end = lines.size();
        const QByteArrayView line = QByteArrayView(lines).sliced(start, end - start);
        if (dividedBy(line, ';'))
            saved = QStringLiteral("holds its fields divided by semicolons, as a spreadsheet set "
                                   "for decimal commas saves it: please save it again with commas "
                                   "between the fields");
        else if (dividedBy(line, '\t'))
            saved = QStringLiteral("holds its fields divided by tabs, as a spreadsheet saves text: "
                                   "please save it again as CSV, with commas between the fields");
        else if (quotedLine(line))
            saved = QStringLiteral("holds its fields in double quotes, as a spreadsheet set to "
                                   "quote them saves it: please save it again without quotes");
        start = end + 1;
    }
    if (!saved.isEmpty())
        return saved + QStringLiteral(", or open the race as Pellamy saved it");
    if (!bytes.contains(',') && !bytes.trimmed().isEmpty())
        return QStringLiteral("holds no race entries");
    return QString();
}

QVector<int> shortEntries(const QVector<RaceEntryRow>& entries, bool lastCut) {
    QVector<int> out;
    for (int i = 0; i < entries.size() - (lastCut ? 1 : 0); ++i)
        if (entries[i].size() < kRaceFileFields && !holdsNoBird(entries, i))
            out << i + 1;
    return out;
}

bool isBlankLine(const RaceEntryRow& entry) {
    return entry.size() <= 1 && entry.view(0).trimmed().isEmpty();
}

bool holdsNoBird(const QVector<RaceEntryRow>& entries, qsizetype i) {
    const RaceEntryRow& entry = entries[i];
    if (isBlankLine(entry))
        return true;
    if (entry.view(0).trimmed() != QString::number(i + 1))
        return false;
    for (int column = 1; column < entry.size(); ++column)
        if (!entry.view(column).trimmed().isEmpty())
            return false;
    return true;
}

const RaceEntryRow* firstRaceEntry(const QVector<RaceEntryRow>& entries) {
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (!holdsNoBird(entries, i))
            return &entries[i];
    return nullptr;
}

QVector<int> entriesWithDatedTimes(const QVector<RaceEntryRow>& entries) {
    QVector<int> out;
    for (int i = 0; i < entries.size(); ++i)
        for (const int column : {Col::MemberSet, Col::MasterSet, Col::MemberRead, Col::MasterRead,
                                 Col::BirdClocked, Col::FlyingTime})
            if (entries[i].size() >= kRaceFileFields && (entries[i].view(column).contains(u'/') ||
                                                         entries[i].view(column).contains(u':'))) {
                out << i + 1;
                break;
            }
    return out;
}

bool hasBareLineFeeds(const QByteArray& bytes) {
    // An LF in a file whose lines end in CR LF is a line break typed into a
    // field (the comments), which reads as part of that field.
    return bytes.contains('\n') && !bytes.contains("\r\n");
}

namespace {

int fieldCount(QByteArrayView line) {
    return int(line.count(',')) + 1;
}

} // namespace

QByteArray withRaceLineEnds(const QByteArray& bytes) {
    // A line broken in the comments holds the fields up to them and a piece
    // of them; the pieces after it hold the rest of the comments, the last
    // also the two fields after them.
    constexpr int kPieceFields = kRaceFileFields - Col::Comments;
    const QList<QByteArray> lines = bytes.split('\n');
    QByteArray out;
    out.reserve(bytes.size() + lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        qsizetype last = i;
        if (int fields = fieldCount(lines[i]); fields < kRaceFileFields && fields > Col::Comments)
            for (qsizetype j = i + 1; j < lines.size(); ++j) {
                const int more = fieldCount(lines[j]);
                if (more > kPieceFields)
                    break;
                fields += more - 1;
                if (fields >= kRaceFileFields) {
                    last = j;
                    break;
                }
            }
        for (qsizetype k = i; k <= last; ++k)
            out += lines[k] + (k < last ? "\n" : "");
        if (last + 1 < lines.size())
            out += "\r\n";
        i = last;
    }
    return out;
}

QByteArray raceFileLines(QByteArray bytes) {
    return withRaceLineEnds(bytes.replace("\r\n", "\n"));
}

bool needsRaceFileLines(const QByteArray& bytes) {
    if (hasBareLineFeeds(bytes))
        return true;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\r', start);
        if (end < 0)
            end = bytes.size();
        const int fields = fieldCount(QByteArrayView(bytes).sliced(start, end - start));
        if (fields > Col::Comments && fields < kRaceFileFields)
            return true;
        start = end + 1;
    }
    return false;
}

qsizetype beforeZeroFilledEnd(const QByteArray& bytes) {
    qsizetype end = bytes.size();
    while (end > 0 && bytes[end - 1] == '\0')
        --end;
    return end;
}

bool endsPartWayThroughAnEntry(const QByteArray& bytes) {
    // The last line as the reader takes it: after the last CR (and its LF),
    // since an LF inside a field (the comments) ends no line.
    QByteArrayView last = QByteArrayView(bytes).sliced(bytes.lastIndexOf('\r') + 1);
    if (last.startsWith('\n'))
        last = last.sliced(1);
    // Blanks an editor left on a last line of their own hold no entry.
    last = last.trimmed();
    return !last.isEmpty() && !hasBareLineFeeds(bytes) && last.count(',') + 1 < kRaceFileFields;
}

QString resultHeading(const QStringList& f) {
    if (f.size() <= Col::Racepoint)
        return QString();
    const QString five(5, u' ');
    return QStringLiteral("Result for .....") + u' ' + f[Col::Racepoint] + five + f[Col::RaceDate] +
           five + f[Col::Members] + u' ' + QStringLiteral("Members") + five +
           QStringLiteral("Sent") + u' ' + f[Col::Birds] + QStringLiteral("  ") +
           QStringLiteral("Birds") + five + QStringLiteral("Liberated at") + u' ' +
           f[Col::LibHour] + f[Col::LibMinute] + five + QStringLiteral("Into a") + u' ' +
           f[Col::Wind] + u' ' + QStringLiteral("Wind");
}

} // namespace pellamy
