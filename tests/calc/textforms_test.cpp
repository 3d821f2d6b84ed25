#include "calc/textforms.h"

#include "calc/numbers.h"
#include "calc/windows1252.h"

#include "support/qt_printers.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace pellamy;

TEST(GeneralNumberText, ShortestFormWithFifteenDigits) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {1143.21, "1143.21"},
        {-12.5, "-12.5"},
        {60, "60"},
        {0, "0"},
        {-0.0, "0"},
        {0.1 + 0.2, "0.3"},
        {1176.85931296045, "1176.85931296045"},
        {15914040.0 / (3 * 3600 + 45 * 60 + 22.4659606656587), "1176.85931296045"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-0.000012345, "-0.000012345"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},
        {1.5e20, "1.5E+20"},
        {10612800, "10612800"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(generalNumberText(c.value), QString::fromLatin1(c.text));
    }
}

TEST(PatternText, RoundsHalfAwayFromZeroOnTheDecimalDigits) {
    struct Case {
        const char* text;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"1100.1235", "0000.000", "1100.124"}, // the double lies just below .1235
        {"1176.85931296045", "0000.000", "1176.859"},
        {"987.6", "0000.000", "0987.600"},
        {"10000.5", "0000.000", "10000.500"},
        {"-12.3456", "0000.000", "-0012.346"},
        {"2", "00", "02"},
        {"-5", "00", "-05"},
        {"125", "00", "125"},
        {"23.5", "00", "24"},
        {"-23.5", "00", "-24"},
        {"0.5", "00", "01"},
        {"2.5", "00", "03"},
        {"0.49", "00", "00"},
        {"-0.3", "00", "00"},
        {"-0.300000000000182", "00", "00"},
        {"9.5", "00", "10"},
        {"99.5", "00", "100"},
        {"85", "000", "085"},
        {"440.5", "0000", "0441"},
        {"1234", "0000", "1234"},
        {" 7 ", "00", "07"},
        {"0.0004", "0000.000", "0000.000"},
        {"0.0005", "0000.000", "0000.001"},
        {"abc", "00", "abc"},
        {"", "00", ""},
        {"1.2.3", "0000.000", "1.2.3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " as " << c.pattern);
        EXPECT_EQ(patternText(QString::fromLatin1(c.text), QString::fromLatin1(c.pattern)),
                  QString::fromLatin1(c.expected));
    }
}

TEST(HmsText, JoinsThreeTwoDigitParts) {
    EXPECT_EQ(hmsText("7", "5", "9"), "07-05-09");
    EXPECT_EQ(hmsText("3", "45", "22.4659606656587"), "03-45-22");
    EXPECT_EQ(hmsText("-1", "10", "64800"), "-01-10-64800");
    EXPECT_EQ(hmsText("1", "0", "-0.3"), "01-00-00");
}

TEST(DateText, WritesAndReadsBackTheSameDateAndTime) {
    const QDateTime values[] = {
        {QDate(2006, 5, 24), QTime(19, 45, 12)}, {QDate(2006, 5, 24), QTime(0, 0, 0)},
        {QDate(2005, 4, 2), QTime(0, 0, 1)},     {QDate(2050, 12, 31), QTime(23, 59, 59)},
        {QDate(2008, 2, 29), QTime(12, 0, 0)},
    };
    for (const QDateTime& value : values) {
        const QString text = dateText(value);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(readDateText(text), value);
    }
    EXPECT_EQ(dateText({QDate(2006, 5, 24), QTime(19, 45, 12)}), "24/05/2006 19:45:12");
    EXPECT_EQ(dateText({QDate(2006, 5, 24), QTime(0, 0)}), "24/05/2006");
}

TEST(DateText, ReadsShortFormsAndRefusesTextsThatAreNoDate) {
    EXPECT_EQ(readDateText("4/5/2006 7:05"), QDateTime(QDate(2006, 5, 4), QTime(7, 5)));
    EXPECT_EQ(readDateText(" 24/05/2006 "), QDateTime(QDate(2006, 5, 24), QTime(0, 0)));
    for (const char* text : {"", "24/05/06", "31/02/2006", "24-05-2006", "24/05/2006 25:00:00",
                             "24/05/2006 19:45:12 PM", "x24/05/2006", "24/05/2006 19"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(readDateText(QString::fromLatin1(text)).has_value());
    }
}

TEST(EightDigitDate, DayMonthFullYear) {
    EXPECT_EQ(eightDigitDate(QDate(2006, 5, 24)), "24052006");
    EXPECT_EQ(eightDigitDate(QDate(2008, 2, 1)), "01022008");
}

TEST(GeneralNumberText, AgreesWithFifteenDigitRoundingForManyValues) {
    // Compared through the double each text stands for: two texts of at most
    // 15 significant digits stand for the same double only when they are the
    // same number.
    std::mt19937_64 random(20061);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 14);
    for (int i = 0; i < 200000; ++i) {
        double value = mantissa(random) * std::pow(10.0, exponent(random));
        if (i % 3 == 0)
            value = -value;
        if (i % 5 == 0) // values with a tail of exactly half at the 16th digit
            value = (std::floor(std::fabs(value) * 1e6) + 0.5) / 1e6;
        const QString text = generalNumberText(value);
        const double reference = QString::number(value, 'e', 14).toDouble();
        ASSERT_EQ(textToNumber(text), reference) << text.toStdString() << " for " << value;
        ASSERT_FALSE(text.contains(u'e') || text.contains(u'E')) << text.toStdString();
    }
}

TEST(TextToNumber, ShortTextsReadExactlyAsTheGeneralConversion) {
    std::mt19937_64 random(1176);
    std::uniform_int_distribution<std::int64_t> digits(0, 999999999999999);
    std::uniform_int_distribution<int> point(0, 15);
    for (int i = 0; i < 100000; ++i) {
        QString text = QString::number(digits(random));
        const int decimals = std::min<int>(point(random), int(text.size()));
        text.insert(text.size() - decimals, u'.');
        if (i % 2)
            text.prepend(u'-');
        ASSERT_EQ(textToNumber(text), text.toDouble()) << text.toStdString();
    }
}

TEST(Windows1252, KeepsWhatItCanHoldAndMarksTheRest) {
    bool lossy = false;
    EXPECT_EQ(toWindows1252(QString::fromUtf8("Müller é €5"), &lossy),
              QByteArray("M\xfcller \xe9 \x80"
                         "5"));
    EXPECT_FALSE(lossy);
    EXPECT_EQ(toWindows1252(QString::fromUtf8("Łódź 🐦!"), &lossy), QByteArray("?\xf3"
                                                                              "d? ?!"));
    EXPECT_TRUE(lossy);
    EXPECT_EQ(fromWindows1252(QByteArray("M\xfcller \xe9 \x80")), QString::fromUtf8("Müller é €"));
}

TEST(Windows1252, EveryByteReadsAsTheSystemCodecReadsItAndWritesBackUnchanged) {
    QStringDecoder reference("windows-1252"); // ICU's table, where Qt has it
    if (!reference.isValid())
        GTEST_SKIP() << "this Qt has no windows-1252 codec to compare with";
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = fromWindows1252(all);
    EXPECT_EQ(text, reference.decode(all));
    bool lossy = false;
    EXPECT_EQ(toWindows1252(text, &lossy), all);
    EXPECT_FALSE(lossy);
}
