#include "placecsv.h"

#include "coordinates.h"

#include "calc/windows1252.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <utility>

namespace pellamy {

namespace {

QString decoded(QByteArray bytes) {
    // Spreadsheets' "Unicode text" is UTF-16, marked at its start.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                          : QStringDecoder::Utf16BE);
        return QString(utf16.decode(bytes.mid(2)));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

// The records of the text split at the separator, with fields in double
// quotes holding separators, line ends and doubled quotes as CSV has them.
// Each record keeps the number of the line it starts on, and which of its
// fields were quoted. A quote opened and never closed takes every line after
// it into one field: the line it opens on is given in openQuote.
struct Record {
    int line;
    QStringList fields;
    QVector<bool> quoted;
};

QVector<Record> records(const QString& text, QChar separator, int* openQuote) {
    QVector<Record> result;
    Record record{1, {}, {}};
    QString field;
    bool quoted = false, fieldStarted = false, wasQuoted = false;
    int line = 1, quoteLine = 0;
    const auto endField = [&] {
        record.fields << field;
        record.quoted << wasQuoted;
        field.clear();
        fieldStarted = wasQuoted = false;
    };
    const auto endRecord = [&] {
        endField();
        // A line of nothing but separators (a spreadsheet's emptied row) is
        // no place at all.
        if (!std::all_of(record.fields.cbegin(), record.fields.cend(),
                         [](const QString& f) { return f.trimmed().isEmpty(); }))
            result << record;
        record = {line, {}, {}};
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
            quoted = fieldStarted = wasQuoted = true;
            quoteLine = line;
        } else if (c == separator) {
            endField();
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
    *openQuote = quoted ? quoteLine : 0;
    return result;
}

bool isPlace(const Record& record) {
    return record.fields.size() >= 3 &&
           readCoordinate(record.fields[1], Axis::Latitude).nanoArcseconds &&
           readCoordinate(record.fields[2], Axis::Longitude).nanoArcseconds;
}

} // namespace

// How a heading names a longitude column: the words' beginnings in English,
// French, German and Dutch ("lengtegraad"), and a mapping program's X.
constexpr const char* kLongitudeWords[] = {"lon", "lng", "läng", "leng"};

PlaceImport readPlaceCsv(const QByteArray& bytes, int nameLimit, const QString& whole) {
    const QString text = decoded(bytes);
    // The separator under which most records read as places; a decimal
    // comma splits a comma-separated reading so that it reads as none. When
    // no line reads as a place, the one that gives most lines three fields,
    // so that the lines' own faults are named.
    QVector<Record> best;
    QChar bestSeparator;
    int bestOpenQuote = 0;
    std::pair<int, int> bestScore{-1, -1};
    for (QChar separator : {u'\t', u';', u','}) {
        int openQuote = 0;
        QVector<Record> candidate = records(text, separator, &openQuote);
        const std::pair<int, int> score{
            int(std::count_if(candidate.begin(), candidate.end(), isPlace)),
            int(std::count_if(candidate.begin(), candidate.end(),
                              [](const Record& r) { return r.fields.size() >= 3; }))};
        if (score > bestScore) {
            best = std::move(candidate);
            bestSeparator = separator;
            bestOpenQuote = openQuote;
            bestScore = score;
        }
    }
    // Read on, the places after such a quote would be left out unsaid, in a
    // column not read (notes, say), or taken for one name.
    if (bestOpenQuote > 0)
        return {{},
                QStringLiteral("Nothing was imported, because line %1 of %2 opens a double quote "
                               "that is never closed, so the lines after it would be read as part "
                               "of that line. Please close the quote or take it out.")
                    .arg(QString::number(bestOpenQuote), whole)};
    if (best.isEmpty())
        return {{}, QStringLiteral("There are no places in %1.").arg(whole)};
    // A first line is a heading when its latitude and longitude columns hold
    // words without a figure; a first line with figures that do not read, or
    // with no latitude or longitude ("?" or "-" for one not known), is named
    // as a fault like any other (not left out unsaid as a heading).
    const Record& first = best.front();
    const auto isWord = [](const QString& field) {
        return std::any_of(field.cbegin(), field.cend(), [](QChar c) { return c.isLetter(); }) &&
               std::none_of(field.cbegin(), field.cend(), [](QChar c) { return c.isDigit(); });
    };
    qsizetype headingFields = 0;
    QString heading;
    if (!isPlace(first) && isWord(first.fields.value(1)) && isWord(first.fields.value(2))) {
        // A heading that puts the longitude before the latitude, as mapping
        // programs export them, would put every place on another continent.
        const QString second = first.fields.value(1).trimmed();
        if (second.compare(QLatin1String("x"), Qt::CaseInsensitive) == 0 ||
            std::any_of(std::begin(kLongitudeWords), std::end(kLongitudeWords),
                        [&](const char* word) {
                            return second.startsWith(QString::fromUtf8(word), Qt::CaseInsensitive);
                        }))
            return {{},
                    QStringLiteral("The heading \"%1\" puts the longitude before the latitude. "
                                   "Please put the latitude in the second column and the "
                                   "longitude in the third. Nothing was imported.")
                        .arg(first.fields.join(bestSeparator))};
        headingFields = first.fields.size();
        heading = first.fields.join(bestSeparator);
        if (best.size() == 1) // a heading alone, or one line taken for one
            return {{},
                    QStringLiteral("There are no places in %1, only a heading: \"%2\".")
                        .arg(whole, first.fields.join(bestSeparator))};
        best.removeFirst(); // and with it the heading "first" stands for
    }

    PlaceImport import;
    import.heading = heading;
    QStringList problems;
    QSet<QString> names;
    for (const Record& record : std::as_const(best)) {
        const QString where = QStringLiteral("Line %1: ").arg(record.line);
        if (record.fields.size() < 3) {
            problems << where + QStringLiteral("\"%1\" is not a name, a latitude and a longitude.")
                                    .arg(record.fields.join(u' ').trimmed());
            continue;
        }
        // A decimal comma in a comma-separated file, unquoted, splits a
        // coordinate in two (51,5,-1,25 or N51 30 00,5,W0,1 or 51.5N,0,1W),
        // and what follows would be read as the next coordinate: such a line
        // is refused. The second half is a whole number, maybe with its
        // hemisphere, after a field ending in a figure without a decimal
        // point. A whole number after a longitude in minutes or seconds may
        // be a column of the file's own, when the heading names one.
        static const QRegularExpression latitudeHalf(QStringLiteral("^\\d+(\\s*[NSns])?$")),
            longitudeHalf(QStringLiteral("^\\d+(\\s*[EWew])?$")),
            wholeDegrees(QStringLiteral("^[NSEWnsew+-]?\\s*\\d+$"));
        const QStringList& f = record.fields;
        const auto plain = [&](int i) { return record.quoted[i] ? QString() : f[i].trimmed(); };
        const auto endsInFigure = [](const QString& text) {
            return !text.isEmpty() && text.back().isDigit() && !text.contains(u'.');
        };
        const bool latitudeSplit =
            latitudeHalf.match(plain(2)).hasMatch() && endsInFigure(plain(1));
        const bool longitudeSplit =
            f.size() >= 4 && longitudeHalf.match(plain(3)).hasMatch() && endsInFigure(plain(2)) &&
            (!plain(3).back().isDigit() || wholeDegrees.match(plain(2)).hasMatch() ||
             f.size() > headingFields);
        const bool split = f.size() >= 4 && (latitudeSplit || longitudeSplit);
        if (bestSeparator == u',' && split) {
            problems << where + QStringLiteral("\"%1\" looks like coordinates with decimal "
                                               "commas; put each coordinate in double quotes, "
                                               "or separate the columns with semicolons.")
                                    .arg(record.fields.join(u','));
            continue;
        }
        const QString name = plainBlanks(record.fields[0]).trimmed();
        const CoordinateReading latitude = readCoordinate(record.fields[1], Axis::Latitude);
        const CoordinateReading longitude = readCoordinate(record.fields[2], Axis::Longitude);
        if (name.isEmpty())
            problems << where + QStringLiteral("the name is empty.");
        else if (std::any_of(name.begin(), name.end(),
                             [](QChar c) { return c.category() == QChar::Other_Control; }))
            // A spreadsheet cell with a line break: no one could type such
            // a name, and it would go into the distances as it stands.
            problems << where + QStringLiteral("the name \"%1\" holds a line break or another "
                                               "character that is not text.")
                                    .arg(name.simplified());
        else if (name.size() > nameLimit)
            problems << where + QStringLiteral("the name \"%1\" is longer than %2 characters.")
                                    .arg(name, QString::number(nameLimit));
        else if (names.contains(nocaseKey(name)))
            problems << where + QStringLiteral("\"%1\" is in %2 twice.").arg(name, whole);
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
    QString error = QStringLiteral("Nothing was imported, because %1 of %2 cannot be read:\n")
                        .arg(problems.size() == 1 ? QStringLiteral("one line")
                                                  : QStringLiteral("%1 lines").arg(problems.size()),
                             whole);
    error += problems.mid(0, shown).join(u'\n');
    if (problems.size() > shown)
        error += QStringLiteral("\n(and %1 more)").arg(problems.size() - shown);
    return {{}, error};
}

} // namespace pellamy
