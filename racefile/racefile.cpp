#include "racefile.h"

#include <QIODevice>

#include "calc/raceentry.h"
#include "calc/windows1252.h"

namespace pellamy {

RaceFileWrite raceFileBytes(const QVector<QStringList>& entries) {
    RaceFileWrite out;
    QString text;
    qsizetype size = 0;
    for (const QStringList& entry : entries)
        for (const QString& column : entry)
            size += column.size() + 2;
    text.reserve(size + 4 * entries.size());

    const QString separator = QStringLiteral(", ");
    const QString recordEnd = QStringLiteral("\r\n\r\n");
    for (int i = 0; i < entries.size(); ++i) {
        const QStringList& entry = entries[i];
        bool comma = false;
        for (int c = 0; c < entry.size(); ++c) {
            if (c > 0)
                text += separator;
            if (entry[c].contains(u',')) {
                comma = true;
                text += QString(entry[c]).replace(u',', u';');
            } else {
                text += entry[c];
            }
        }
        text += recordEnd;
        if (comma)
            out.commaEntries << i + 1;
    }

    bool lossy = false;
    out.bytes = toWindows1252(text, &lossy);
    if (lossy) {
        // Rare: find the entries that lost a character.
        for (int i = 0; i < entries.size(); ++i) {
            bool entryLossy = false;
            toWindows1252(entries[i].join(QString()), &entryLossy);
            if (entryLossy)
                out.lossyEntries << i + 1;
        }
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

RaceFileRead readRaceFile(const QByteArray& bytes) {
    RaceFileRead out;
    // Room for every line at once, and each line decoded on its own: a
    // large race is never held as text beside its bytes.
    out.entries.reserve(bytes.count('\r') + 1);
    qsizetype pos = 0;
    int lineNumber = 0;
    while (pos < bytes.size()) {
        // One line: up to the next CR; a CR LF pair is one line end.
        qsizetype end = bytes.indexOf('\r', pos);
        if (end < 0)
            end = bytes.size();
        const QString text = fromWindows1252(bytes.mid(pos, end - pos));
        const QStringView line(text);
        pos = end + 1;
        if (pos < bytes.size() && bytes[pos] == '\n' && end < bytes.size())
            ++pos;
        ++lineNumber;
        if (line.isEmpty())
            continue;

        // The race details repeat from entry to entry: a field equal to the
        // previous entry's shares its text, which keeps a large race small.
        const QStringList* previous = out.entries.isEmpty() ? nullptr : &out.entries.last();
        QStringList entry;
        entry.reserve(kRaceFileFields);
        qsizetype start = 0;
        while (true) {
            const qsizetype comma = line.indexOf(u',', start);
            if (entry.size() == kRaceFileFields) {
                out.overlongLines << lineNumber;
                break;
            }
            const QStringView field =
                trimmedSpaces(line.mid(start, (comma < 0 ? line.size() : comma) - start));
            const qsizetype k = entry.size();
            if (previous && k < previous->size() && (*previous)[k] == field)
                entry << (*previous)[k];
            else
                entry << field.toString();
            if (comma < 0)
                break;
            start = comma + 1;
        }
        out.entries << entry;
    }
    out.entries.squeeze();
    return out;
}

RaceFileRead readRaceFile(QIODevice& file, qsizetype pieceSize) {
    RaceFileRead out;
    int linesBefore = 0;
    QByteArray buffer;
    bool atEnd = false;
    while (!atEnd) {
        const QByteArray more = file.read(pieceSize);
        atEnd = more.isEmpty();
        buffer += more;
        // Whole lines only: up to the last CR, and the LF after it, once the
        // byte after the CR is there to be seen.
        qsizetype cut = buffer.size();
        if (!atEnd) {
            const qsizetype cr = buffer.lastIndexOf('\r');
            if (cr < 0 || cr + 1 >= buffer.size())
                continue;
            cut = cr + 1 + (buffer[cr + 1] == '\n' ? 1 : 0);
        }
        const QByteArray piece = buffer.left(cut);
        buffer.remove(0, cut);
        RaceFileRead part = readRaceFile(piece);
        for (int line : part.overlongLines)
            out.overlongLines << linesBefore + line;
        out.entries += std::move(part.entries);
        linesBefore += int(piece.count('\r'));
    }
    out.entries.squeeze();
    return out;
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
    return QString();
}

bool hasBareLineFeeds(const QByteArray& bytes) {
    for (qsizetype i = bytes.indexOf('\n'); i >= 0; i = bytes.indexOf('\n', i + 1))
        if (i == 0 || bytes[i - 1] != '\r')
            return true;
    return false;
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
