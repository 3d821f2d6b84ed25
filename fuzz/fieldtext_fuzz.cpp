// Fuzzes the texts typed into boxes or kept in small files: numbers, digit
// patterns, clock times, dates, miles and yards, the season's points list,
// server.txt's connection string and the club's name file.
//
//   scripts/fuzz [seconds]
//
// The input's first three lines are used as the boxes that go together
// (hours, minutes, seconds; miles, yards, sixtieths); the whole input as
// one box or file.

#include "app/namefiles.h"
#include "calc/numbers.h"
#include "calc/textforms.h"
#include "distances/sixtieths.h"
#include "distances/source.h"
#include "season/season.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void fail(const char* what) {
    fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

void checkNumber(const QString& text) {
    const std::optional<double> value = pellamy::textToNumber(text);
    if (!value)
        return;
    if (!std::isfinite(*value))
        fail("textToNumber gave a value that is not finite");
    // The largest numbers' fifteen figures round past the largest number:
    // where such a value could be stored (sixtiethsText), it is refused.
    if (std::fabs(*value) > 1.797693134862315e308)
        return;
    // The stored form of a number reads back, as every step of the
    // arithmetic reads back what it stored.
    const QString general = pellamy::generalNumberText(*value);
    const std::optional<double> again = pellamy::textToNumber(general);
    if (!again)
        fail("generalNumberText wrote a text textToNumber cannot read");
    if (std::fabs(*again - *value) > 1e-14 * std::fabs(*value))
        fail("generalNumberText moved the value by more than its 15 digits");
    for (const char* pattern : {"00", "000", "0000", "0000.000"}) {
        const QString written = pellamy::patternText(text, QString::fromLatin1(pattern));
        const std::optional<double> read = pellamy::textToNumber(written);
        if (!read)
            fail("patternText wrote a number as a text that is not one");
        const double half = std::strlen(pattern) > 4 ? 0.0005 : 0.5;
        if (std::fabs(*read - *value) > half + 1e-13 * std::fabs(*value))
            fail("patternText moved the value by more than its rounding");
    }
    (void)pellamy::roundHalfEven(*value);
    (void)pellamy::wholeDivide(*value, 7);
    (void)pellamy::wholeDivide(1e6, *value);
    (void)pellamy::toInt16(*value);
}

// A libpq connection string's keywords and values, as libpq reads them;
// false when it is not one.
bool conninfo(const QString& s, QList<std::pair<QString, QString>>* pairs) {
    qsizetype i = 0;
    // libpq's blanks are the ASCII ones only.
    const auto blank = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    const auto blanks = [&] {
        while (i < s.size() && blank(s[i]))
            ++i;
    };
    for (;;) {
        blanks();
        if (i == s.size())
            return true;
        QString key, value;
        while (i < s.size() && s[i] != u'=' && !blank(s[i]))
            key += s[i++];
        blanks();
        if (i == s.size() || s[i] != u'=')
            return false;
        ++i;
        blanks();
        if (i < s.size() && s[i] == u'\'') {
            ++i;
            for (;;) {
                if (i == s.size())
                    return false;
                if (s[i] == u'\\' && i + 1 < s.size())
                    value += s[i + 1], i += 2;
                else if (s[i] == u'\'') {
                    // libpq takes a keyword straight after the quote too;
                    // no server.txt is written so, and it is left out.
                    if (++i < s.size() && !blank(s[i]))
                        return false;
                    break;
                } else
                    value += s[i++];
            }
        } else {
            // A backslash takes the next character as it is; a last one is
            // dropped, as libpq drops it.
            while (i < s.size() && !blank(s[i])) {
                if (s[i] == u'\\')
                    ++i, i < s.size() ? void(value += s[i++]) : void();
                else
                    value += s[i++];
            }
        }
        pairs->append({key, value});
    }
}

void checkServer(const QString& text) {
    QString error;
    const QString line = pellamy::serverConnectionString(text, &error);
    if (line.isEmpty() == error.isEmpty())
        fail("serverConnectionString gave neither a line nor a reason, or both");
    if (line.isEmpty())
        return;
    if (line.contains(u';') || line.contains(u'\n'))
        fail("serverConnectionString passed on a ; or a line end");
    pellamy::DistanceSource source;
    source.server = line;
    const QString shown = source.serverShown();
    // Shown, the string still reads as one; its passwords show as "…", and
    // its other keywords and values are those of server.txt.
    // Only for a line of printable ASCII, as server.txt holds.
    for (QChar c : line)
        if ((c < u' ' || c > u'~') && c != u'\t')
            return;
    // And only where "password" is written as a keyword, not inside
    // another value or after another word's letters: there more is hidden.
    QList<std::pair<QString, QString>> before, after;
    if (!conninfo(line, &before))
        return;
    const auto isPassword = [](const QString& key) {
        return key == QLatin1String("password") || key == QLatin1String("sslpassword");
    };
    if (line.count(QLatin1String("password")) !=
        std::count_if(before.cbegin(), before.cend(),
                      [&](const auto& pair) { return isPassword(pair.first); }))
        return;
    if (!conninfo(shown, &after))
        fail("serverShown broke the connection string: part of a password shows");
    for (const auto& [key, value] : after) {
        if (!isPassword(key)) {
            if (!before.contains(std::pair{key, value})) {
                fprintf(stderr, "shown: %s\nkeyword: %s=%s\n", qPrintable(shown), qPrintable(key),
                        qPrintable(value));
                fail("serverShown shows a keyword server.txt has not: part of a password");
            }
            continue;
        }
        if (value != QStringLiteral("…")) {
            fprintf(stderr, "shown: %s\n", qPrintable(shown));
            fail("serverShown shows a password, or part of one");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = text.split(u'\n');
    const QString a = lines.value(0), b = lines.value(1), c = lines.value(2);

    checkNumber(text);
    checkNumber(a);
    (void)pellamy::hmsText(a, b, c);

    // Miles and yards as the distances editor saves them: the sixtieths it
    // stores are read again by the calculator and by every later check.
    if (const std::optional<QString> sixtieths = pellamy::sixtiethsText(a, b)) {
        if (!pellamy::textToNumber(*sixtieths))
            fail("sixtiethsText made a text that is not a number");
        if (!pellamy::sixtiethsDisagreement(a, b, *sixtieths).isEmpty())
            fail("the sixtieths made disagree with their own miles and yards");
        (void)pellamy::sixtiethsDisagreement(a, b, c);
    }

    if (const std::optional<QDateTime> date = pellamy::readDateText(text)) {
        const std::optional<QDateTime> again = pellamy::readDateText(pellamy::dateText(*date));
        if (!again || *again != *date)
            fail("a date read does not read back from its date text");
    }

    QString error;
    const QVector<int> points = pellamy::readPointsList(text, &error);
    if (points.isEmpty() == error.isEmpty())
        fail("readPointsList gave neither points nor a reason, or both");
    for (int p : points)
        if (p < 0 || p > pellamy::kMostPointsForAPlace)
            fail("readPointsList took points out of range");

    checkServer(text);

    (void)pellamy::readNameText(text);
    if (!text.contains(u'"') &&
        pellamy::readNameText(u'"' + text + QStringLiteral("\"\r\n")) != text)
        fail("a name written to its file does not read back");
    return 0;
}
