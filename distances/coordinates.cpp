#include "coordinates.h"

#include <QVector>

namespace pellamy {

namespace {

constexpr qint64 kNano = 1000000000;        // nano-arcseconds in an arcsecond
constexpr qint64 kPerMinute = 60 * kNano;   // ... in a minute of arc
constexpr qint64 kPerDegree = 3600 * kNano; // ... in a degree

QString axisWord(Axis axis) {
    return axis == Axis::Latitude ? QStringLiteral("latitude") : QStringLiteral("longitude");
}

QString unreadable(const QString& text, Axis axis) {
    return QStringLiteral("The %1 \"%2\" cannot be read. Write it as decimal degrees "
                          "(51.4778 or -0.0015), degrees and minutes (51 28.668N) or degrees, "
                          "minutes and seconds (51:28:40.1N or 51°28'40.1\"N).")
        .arg(axisWord(axis), text);
}

// One number of a coordinate: its whole part, the digits after its decimal
// point, and the mark written after it (°, ' or ", or none).
struct Part {
    qint64 whole = 0;
    QString fraction;
    QChar mark;
};

// The number's value in the unit given (a degree, minute or second of arc),
// in nano-arcseconds, rounded to the nearest one only when it has more places
// than a nano-arcsecond holds. In 64 bits (not every compiler has 128): the
// first nine places scale exactly, only the rest are rounded.
qint64 scaled(const Part& part, qint64 unit) {
    // Digits beyond 18 are worth far less than a nano-arcsecond.
    const QString digits = part.fraction.left(18);
    const qint64 seconds = unit / kNano; // 3600, 60 or 1
    qint64 first = 0, rest = 0, restScale = 1;
    for (int i = 0; i < 9; ++i)
        first = first * 10 + (i < digits.size() ? digits[i].digitValue() : 0);
    for (qsizetype i = 9; i < digits.size(); ++i)
        rest = rest * 10 + digits[i].digitValue(), restScale *= 10;
    return part.whole * unit + first * seconds + (rest * seconds * 2 + restScale) / (restScale * 2);
}

} // namespace

QString nocaseKey(const QString& name) {
    QString key = name;
    for (QChar& c : key)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return key;
}

QString plainBlanks(QString name) {
    for (QChar& c : name)
        if (c.category() == QChar::Separator_Space)
            c = u' ';
    return name;
}

CoordinateReading readCoordinate(const QString& original, Axis axis) {
    const QString quoted = original.trimmed();
    if (quoted.isEmpty())
        return {std::nullopt, QStringLiteral("The %1 is empty.").arg(axisWord(axis))};

    // The marks as they are typed or pasted: primes, typographic quotes,
    // the ordinal and ring signs some keyboards give for the degree sign,
    // and the minus sign.
    QString text = quoted;
    for (QChar& c : text) {
        switch (c.unicode()) {
        case 0x2032:
        case 0x2019:
        case 0x2018:
        case 0x00B4:
        case 0x0060:
            c = u'\'';
            break;
        case 0x2033:
        case 0x201C:
        case 0x201D:
            c = u'"';
            break;
        case 0x00BA:
        case 0x02DA:
            c = u'°';
            break;
        case 0x2212:
        case 0x2013:
            c = u'-';
            break;
        default:
            break;
        }
    }

    text.replace(QStringLiteral("''"), QStringLiteral("\""));

    // The hemisphere, before or after the numbers.
    QChar hemisphere;
    if (text.front().isLetter()) {
        hemisphere = text.front().toUpper();
        text = text.mid(1).trimmed();
    } else if (text.back().isLetter()) {
        hemisphere = text.back().toUpper();
        text.chop(1);
        text = text.trimmed();
    }
    const QString hemispheres =
        axis == Axis::Latitude ? QStringLiteral("NS") : QStringLiteral("EW");
    if (!hemisphere.isNull() && !hemispheres.contains(hemisphere)) {
        if (QStringLiteral("NSEW").contains(hemisphere))
            return {std::nullopt,
                    QStringLiteral("The %1 \"%2\" is marked %3, but a %1 is %4.")
                        .arg(axisWord(axis), quoted, hemisphere,
                             axis == Axis::Latitude ? QStringLiteral("north (N) or south (S)")
                                                    : QStringLiteral("east (E) or west (W)"))};
        return {std::nullopt, unreadable(quoted, axis)};
    }

    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        if (!hemisphere.isNull())
            return {std::nullopt, QStringLiteral("The %1 \"%2\" has both a sign and %3: write "
                                                 "one or the other.")
                                      .arg(axisWord(axis), quoted, hemisphere)};
        negative = text.front() == u'-';
        text = text.mid(1).trimmed();
    }

    // A comma is a decimal point only where it can be nothing else.
    const qsizetype commas = text.count(u',');
    if (commas > 1 || (commas == 1 && text.contains(u'.')))
        return {std::nullopt, unreadable(quoted, axis)};
    text.replace(u',', u'.');

    // The numbers, each with the mark after it.
    QVector<Part> parts;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        // A colon stands between two numbers, and only there.
        if (c == u':') {
            const QStringView after = QStringView(text).mid(i + 1).trimmed();
            if (parts.isEmpty() || !parts.back().mark.isNull() || after.isEmpty() ||
                !after.front().isDigit())
                return {std::nullopt, unreadable(quoted, axis)};
            ++i;
            continue;
        }
        if (c == u'°' || c == u'\'' || c == u'"') {
            if (parts.isEmpty() || !parts.back().mark.isNull())
                return {std::nullopt, unreadable(quoted, axis)};
            parts.back().mark = c;
            ++i;
            continue;
        }
        if (c < u'0' || c > u'9')
            return {std::nullopt, unreadable(quoted, axis)};
        Part part;
        qsizetype digits = 0;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            if (++digits > 3)
                return {std::nullopt, unreadable(quoted, axis)};
            part.whole = part.whole * 10 + text[i].digitValue();
            ++i;
        }
        if (i < n && text[i] == u'.') {
            ++i;
            while (i < n && text[i] >= u'0' && text[i] <= u'9')
                part.fraction += text[i++];
            if (part.fraction.isEmpty())
                return {std::nullopt, unreadable(quoted, axis)};
        }
        parts.push_back(part);
    }
    if (parts.isEmpty() || parts.size() > 3)
        return {std::nullopt, unreadable(quoted, axis)};

    // Degrees, then minutes, then seconds; only the last may have a
    // fraction, each mark must name its own place, and minutes and seconds
    // stay under 60.
    const QChar marks[] = {u'°', u'\'', u'"'};
    const qint64 units[] = {kPerDegree, kPerMinute, kNano};
    qint64 value = 0;
    for (qsizetype p = 0; p < parts.size(); ++p) {
        const Part& part = parts[p];
        if (!part.mark.isNull() && part.mark != marks[p])
            return {std::nullopt, unreadable(quoted, axis)};
        if (!part.fraction.isEmpty() && p + 1 < parts.size())
            return {std::nullopt, unreadable(quoted, axis)};
        if (p > 0 && part.whole >= 60)
            return {std::nullopt,
                    QStringLiteral("The %1 \"%2\" has %3 of 60 or more.")
                        .arg(axisWord(axis), quoted,
                             p == 1 ? QStringLiteral("minutes") : QStringLiteral("seconds"))};
        value += scaled(part, units[p]);
    }

    const qint64 limit = (axis == Axis::Latitude ? 90 : 180) * kPerDegree;
    if (value > limit)
        return {std::nullopt, axis == Axis::Latitude
                                  ? QStringLiteral("The latitude \"%1\" lies outside 90°S to "
                                                   "90°N.")
                                        .arg(quoted)
                                  : QStringLiteral("The longitude \"%1\" lies outside 180°W to "
                                                   "180°E.")
                                        .arg(quoted)};
    if (negative || hemisphere == u'S' || hemisphere == u'W')
        value = -value;
    return {value, QString()};
}

QString coordinateText(qint64 value, Axis axis) {
    const bool negative = value < 0;
    const qint64 size = negative ? -value : value;
    const qint64 degrees = size / kPerDegree;
    const qint64 minutes = size % kPerDegree / kPerMinute;
    const qint64 seconds = size % kPerMinute / kNano;
    const qint64 nano = size % kNano;
    QString text = QStringLiteral("%1°%2'%3")
                       .arg(degrees)
                       .arg(minutes, 2, 10, QLatin1Char('0'))
                       .arg(seconds, 2, 10, QLatin1Char('0'));
    if (nano != 0) {
        QString places = QStringLiteral("%1").arg(nano, 9, 10, QLatin1Char('0'));
        while (places.endsWith(u'0'))
            places.chop(1);
        text += u'.' + places;
    }
    text += u'"';
    if (axis == Axis::Latitude)
        text += negative ? u'S' : u'N';
    else
        text += negative ? u'W' : u'E';
    return text;
}

double coordinateDegrees(qint64 value) {
    // Whole degrees and the rest apart, so the double is as near the exact
    // value as a double can be.
    return double(value / kPerDegree) + double(value % kPerDegree) / double(kPerDegree);
}

} // namespace pellamy
