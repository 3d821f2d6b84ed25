#include "textforms.h"

#include "numbers.h"

#include <QTimeZone>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace pellamy {

namespace {

// A finite double rounded to 15 significant digits:
// value = d0.d1d2... x 10^exponent, with no trailing zero digits.
struct Decimal {
    bool negative = false;
    char digits[17] = {};
    int count = 0; // 0 for the value zero
    int exponent = 0;
};

// Reads the digits and exponent of a scientific text "-d.ddde+XX".
Decimal scientificDigits(const char* p, const char* end) {
    Decimal d;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.' && d.count < 17)
            d.digits[d.count++] = *p;
    if (p < end) {
        ++p; // 'e'
        std::from_chars(*p == '+' ? p + 1 : p, end, d.exponent);
    }
    return d;
}

// Rounds digits beyond the 15th away: up in magnitude when the 16th digit
// is 5 or more.
void roundToFifteen(Decimal& d, bool up) {
    d.count = std::min(d.count, 15);
    if (!up)
        return;
    int i = 14;
    while (i >= 0 && d.digits[i] == '9')
        d.digits[i--] = '0';
    if (i < 0) {
        d.digits[0] = '1';
        ++d.exponent;
    } else {
        ++d.digits[i];
    }
}

// The value rounded to 15 significant digits, halves away from zero.
Decimal decimalOf(double value) {
    if (value == 0)
        return {};
    // The shortest text that reads back as the same double lies within half
    // a unit of the value's last place, so its 16th digit decides the
    // rounding, unless the text ends in exactly that 5: then the exact
    // binary value, written out in full, decides.
    char buffer[40];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    Decimal d = scientificDigits(buffer, result.ptr);
    if (d.count == 16 && d.digits[15] == '5') {
        char exact[800]; // a double's exact expansion has at most 767 digits
        result =
            std::to_chars(exact, exact + sizeof exact, value, std::chars_format::scientific, 767);
        d = scientificDigits(exact, result.ptr);
    }
    if (d.count > 15)
        roundToFifteen(d, d.digits[15] >= '5');
    while (d.count > 0 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

void appendWhole(std::string& out, std::int64_t value) {
    char buffer[24];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// Appends the general number text of a finite value.
void appendGeneral(std::string& out, double value) {
    // Whole numbers below 10^15 are written directly.
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        appendWhole(out, static_cast<std::int64_t>(value));
        return;
    }
    const Decimal d = decimalOf(value);
    if (d.count == 0) {
        out += '0';
        return;
    }
    if (d.negative)
        out += '-';
    if (d.exponent >= 15) {
        out += d.digits[0];
        if (d.count > 1) {
            out += '.';
            out.append(d.digits + 1, std::size_t(d.count - 1));
        }
        out += "E+";
        if (d.exponent < 10)
            out += '0';
        appendWhole(out, d.exponent);
    } else if (d.exponent >= 0) {
        const int whole = d.exponent + 1;
        out.append(d.digits, std::size_t(std::min(whole, d.count)));
        if (whole > d.count)
            out.append(std::size_t(whole - d.count), '0');
        if (d.count > whole) {
            out += '.';
            out.append(d.digits + whole, std::size_t(d.count - whole));
        }
    } else {
        out += "0.";
        out.append(std::size_t(-d.exponent - 1), '0');
        out.append(d.digits, std::size_t(d.count));
    }
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

// The decimal digits of a number text. A plain decimal text of at most 15
// significant digits ("08", "-3.75", "1176.85931296045") is taken digit for
// digit, which is what reading it as a double and writing its general number
// text would give; any other number goes through the double.
std::optional<Decimal> decimalOfText(const QString& text) {
    qsizetype i = 0, end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    Decimal d;
    qsizetype p = i;
    if (p < end && (text[p] == u'-' || text[p] == u'+'))
        d.negative = text[p++] == u'-';
    int wholeDigits = 0;  // significant digits before the point
    int leadingZeros = 0; // zeros after the point before the first significant digit
    bool point = false, any = false, plain = true;
    for (; p < end && plain; ++p) {
        const char16_t c = text[p].unicode();
        if (c == u'.' && !point) {
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            any = true;
            if (d.count == 0 && c == u'0') {
                if (point)
                    ++leadingZeros;
                continue;
            }
            if (d.count == 15) {
                plain = false;
                break;
            }
            d.digits[d.count++] = char(c);
            if (!point)
                ++wholeDigits;
        } else {
            plain = false;
        }
    }
    if (plain && any) {
        d.exponent = wholeDigits > 0 ? wholeDigits - 1 : -leadingZeros - 1;
        while (d.count > 0 && d.digits[d.count - 1] == '0')
            --d.count;
        if (d.count == 0)
            d.exponent = 0;
        return d;
    }
    const std::optional<double> number = textToNumber(text);
    if (!number)
        return std::nullopt;
    return decimalOf(*number);
}

// Appends a number text written with `wholeDigits` leading-zero places and
// `decimals` decimals; false (nothing appended) when it is not a number.
bool appendPattern(std::string& out, const QString& text, int wholeDigits, int decimals) {
    // Short whole numbers ("19", "0", "-5"), the usual clock field texts.
    const qsizetype size = text.size();
    if (decimals == 0 && size > 0 && size <= 9) {
        const QChar* c = text.constData();
        const bool negative = c[0] == u'-';
        qsizetype i = negative ? 1 : 0;
        while (i < size && c[i] >= u'0' && c[i] <= u'9')
            ++i;
        if (i == size && i > (negative ? 1 : 0)) {
            qsizetype first = negative ? 1 : 0;
            while (first < size - 1 && c[first] == u'0')
                ++first;
            const bool zero = c[first] == u'0';
            if (negative && !zero)
                out += '-';
            for (qsizetype pad = wholeDigits - (size - first); pad > 0; --pad)
                out += '0';
            for (qsizetype k = first; k < size; ++k)
                out += char(c[k].unicode());
            return true;
        }
    }

    const std::optional<Decimal> number = decimalOfText(text);
    if (!number)
        return false;
    const Decimal& d = *number;

    // scaled = |value| x 10^decimals rounded half away from zero on the
    // decimal digits, as a string of digits.
    std::string scaled;
    const int keep = d.count == 0 ? 0 : d.exponent + decimals + 1;
    if (d.count == 0 || keep < 0) {
        scaled = "0";
    } else if (keep == 0) {
        scaled = d.digits[0] >= '5' ? "1" : "0";
    } else {
        scaled.assign(d.digits, std::size_t(std::min(keep, d.count)));
        if (keep > d.count)
            scaled.append(std::size_t(keep - d.count), '0');
        if (keep < d.count && d.digits[keep] >= '5') {
            int i = int(scaled.size()) - 1;
            while (i >= 0 && scaled[std::size_t(i)] == '9')
                scaled[std::size_t(i--)] = '0';
            if (i < 0)
                scaled.insert(scaled.begin(), '1');
            else
                ++scaled[std::size_t(i)];
        }
    }
    const bool isZero = scaled.find_first_not_of('0') == std::string::npos;
    if (scaled.size() < std::size_t(wholeDigits + decimals))
        scaled.insert(0, std::size_t(wholeDigits + decimals) - scaled.size(), '0');

    if (d.negative && !isZero)
        out += '-';
    const std::size_t wholeLength = scaled.size() - std::size_t(decimals);
    out.append(scaled, 0, wholeLength);
    if (decimals > 0) {
        out += '.';
        out.append(scaled, wholeLength, std::string::npos);
    }
    return true;
}

} // namespace

QString generalNumberText(double value) {
    std::string text;
    appendGeneral(text, value);
    return latin1(text);
}

QString patternText(const QString& text, const QString& pattern) {
    const qsizetype point = pattern.indexOf(u'.');
    const int wholeDigits = int(point < 0 ? pattern.size() : point);
    const int decimals = int(point < 0 ? 0 : pattern.size() - point - 1);
    std::string out;
    if (!appendPattern(out, text, wholeDigits, decimals))
        return text;
    return latin1(out);
}

QString hmsText(const QString& hours, const QString& minutes, const QString& seconds) {
    std::string out;
    if (appendPattern(out, hours, 2, 0) && (out += '-', appendPattern(out, minutes, 2, 0)) &&
        (out += '-', appendPattern(out, seconds, 2, 0)))
        return latin1(out);
    // A part that is not a number stands as it is.
    const QString two = QStringLiteral("00");
    return patternText(hours, two) + u'-' + patternText(minutes, two) + u'-' +
           patternText(seconds, two);
}

namespace {

char* twoDigits(char* p, int value) {
    *p++ = char('0' + value / 10 % 10);
    *p++ = char('0' + value % 10);
    return p;
}

} // namespace

QString dateText(const QDateTime& value) {
    const QDate date = value.date();
    const QTime time = value.time();
    char buffer[24];
    char* p = twoDigits(buffer, date.day());
    *p++ = '/';
    p = twoDigits(p, date.month());
    *p++ = '/';
    p = twoDigits(p, date.year() / 100);
    p = twoDigits(p, date.year());
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0) {
        *p++ = ' ';
        p = twoDigits(p, time.hour());
        *p++ = ':';
        p = twoDigits(p, time.minute());
        *p++ = ':';
        p = twoDigits(p, time.second());
    }
    return QString::fromLatin1(buffer, p - buffer);
}

namespace {

// Reads 1 to maxDigits digits at pos; -1 when there are none.
int readNumber(const QString& text, qsizetype& pos, int maxDigits) {
    int value = 0;
    int digits = 0;
    while (pos < text.size() && digits < maxDigits && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

bool expect(const QString& text, qsizetype& pos, QChar c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

} // namespace

QDateTime clockFaceDateTime(const QDate& date, const QTime& time) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return QDateTime(date, time, QTimeZone::UTC);
#else
    return QDateTime(date, time, Qt::UTC);
#endif
}

std::optional<QDateTime> readDateText(const QString& input) {
    const QString text = input.trimmed();
    qsizetype pos = 0;
    const int day = readNumber(text, pos, 2);
    if (day < 0 || !expect(text, pos, u'/'))
        return std::nullopt;
    const int month = readNumber(text, pos, 2);
    if (month < 0 || !expect(text, pos, u'/'))
        return std::nullopt;
    const qsizetype yearStart = pos;
    const int year = readNumber(text, pos, 4);
    if (year < 0 || pos - yearStart != 4)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    if (pos == text.size())
        return clockFaceDateTime(date, QTime(0, 0));

    if (!expect(text, pos, u' '))
        return std::nullopt;
    const int hour = readNumber(text, pos, 2);
    if (hour < 0 || !expect(text, pos, u':'))
        return std::nullopt;
    const int minute = readNumber(text, pos, 2);
    if (minute < 0)
        return std::nullopt;
    int second = 0;
    if (expect(text, pos, u':')) {
        second = readNumber(text, pos, 2);
        if (second < 0)
            return std::nullopt;
    }
    const QTime time(hour, minute, second);
    if (pos != text.size() || !time.isValid())
        return std::nullopt;
    return clockFaceDateTime(date, time);
}

QString eightDigitDate(const QDate& date) {
    return QStringLiteral("%1%2%3")
        .arg(date.day(), 2, 10, QChar(u'0'))
        .arg(date.month(), 2, 10, QChar(u'0'))
        .arg(date.year(), 4, 10, QChar(u'0'));
}

QString countText(qsizetype count, const QString& one, const QString& many) {
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}

QString withoutDirectionControls(const QString& text) {
    QString shown = text;
    shown.removeIf([](QChar c) {
        switch (c.direction()) {
        case QChar::DirLRE:
        case QChar::DirRLE:
        case QChar::DirLRO:
        case QChar::DirRLO:
        case QChar::DirPDF:
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
        case QChar::DirPDI:
            return true;
        default:
            return false;
        }
    });
    return shown;
}

} // namespace pellamy
