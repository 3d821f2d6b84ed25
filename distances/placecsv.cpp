#include "placecsv.h"

#include "coordinates.h"

#include "calc/windows1252.h"

#include <QSet>
#include <QStringDecoder>

namespace pellamy {

namespace {

QString decoded(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

// The records of the text split at the separator, with fields in double
// quotes holding separators, line ends and doubled quotes as CSV has them.
// Each record keeps the number of the line it starts on.
struct Record {
    int line;
    QStringList fields;
};

QVector<Record> records(const QString& text, QChar separator) {
    QVector<Record> result;
    Record record{1, {}};
    QString field;
    bool quoted = false, fieldStarted = false;
    int line = 1;
    const auto endRecord = [&] {
        record.fields << field;
        if (!(record.fields.size() == 1 && record.fields[0].trimmed().isEmpty()))
            result << record;
        record = {line, {}};
        field.clear();
        fieldStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
        } else if (c == u'"' && !fieldStarted) {
            quoted = fieldStarted = true;
        } else if (c == separator) {
            record.fields << field;
            field.clear();
            fieldStarted = false;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRecord();
        } else {
            field += c;
            if (!c.isSpace())
                fieldStarted = true;
        }
    }
    if (!field.isEmpty() || !record.fields.isEmpty())
        endRecord();
    return result;
}

bool isPlace(const Record& record) {
    return record.fields.size() >= 3 &&
           readCoordinate(record.fields[1], Axis::Latitude).nanoArcseconds &&
           readCoordinate(record.fields[2], Axis::Longitude).nanoArcseconds;
}

} // namespace

PlaceImport readPlaceCsv(const QByteArray& bytes, int nameLimit) {
    const QString text = decoded(bytes);
    // The separator under which most records read as places; a decimal
    // comma splits a comma-separated reading so that it reads as none.
    QVector<Record> best;
    int bestCount = -1;
    for (QChar separator : {u'\t', u';', u','}) {
        QVector<Record> candidate = records(text, separator);
        const int count = int(std::count_if(candidate.begin(), candidate.end(), isPlace));
        if (count > bestCount) {
            best = std::move(candidate);
            bestCount = count;
        }
    }
    if (best.isEmpty())
        return {{}, QStringLiteral("The file holds no lines.")};
    // A first record that does not read as a place is the heading.
    if (!isPlace(best.front()))
        best.removeFirst();

    PlaceImport import;
    QStringList problems;
    QSet<QString> names;
    for (const Record& record : std::as_const(best)) {
        const QString where = QStringLiteral("Line %1: ").arg(record.line);
        if (record.fields.size() < 3) {
            problems << where + QStringLiteral("\"%1\" is not a name, a latitude and a longitude.")
                                    .arg(record.fields.join(u' ').trimmed());
            continue;
        }
        const QString name = record.fields[0].trimmed();
        const CoordinateReading latitude = readCoordinate(record.fields[1], Axis::Latitude);
        const CoordinateReading longitude = readCoordinate(record.fields[2], Axis::Longitude);
        if (name.isEmpty())
            problems << where + QStringLiteral("the name is empty.");
        else if (name.size() > nameLimit)
            problems << where + QStringLiteral("the name \"%1\" is longer than %2 characters.")
                                    .arg(name)
                                    .arg(nameLimit);
        else if (names.contains(nocaseKey(name)))
            problems << where + QStringLiteral("\"%1\" is in the file twice.").arg(name);
        else if (!latitude.nanoArcseconds)
            problems << where + latitude.error;
        else if (!longitude.nanoArcseconds)
            problems << where + longitude.error;
        else {
            names.insert(nocaseKey(name));
            import.places.push_back({name, coordinateText(*latitude.nanoArcseconds, Axis::Latitude),
                                     coordinateText(*longitude.nanoArcseconds, Axis::Longitude)});
        }
    }
    if (problems.isEmpty())
        return import;
    const qsizetype shown = std::min<qsizetype>(problems.size(), 5);
    QString error =
        QStringLiteral("Nothing was imported, because %1 of the file cannot be read:\n")
            .arg(problems.size() == 1 ? QStringLiteral("one line")
                                      : QStringLiteral("%1 lines").arg(problems.size()));
    error += problems.mid(0, shown).join(u'\n');
    if (problems.size() > shown)
        error += QStringLiteral("\n(and %1 more)").arg(problems.size() - shown);
    return {{}, error};
}

} // namespace pellamy
