#include "calc/textforms.h"

#include "calc/numbers.h"
#include "calc/windows1252.h"
#include "support/testing.h"

#include <QStringDecoder>

#include <cmath>
#include <random>
#include <tuple>

// The shape of the text; that its digits are the value's to fifteen
// significant places is proven for many values below.
TEST(GeneralNumberText, ShortestFormWithFifteenDigits) {
    const std::pair<double, const char*> cases[] = {
        {-12.5, "-12.5"}, {60, "60"},          {0, "0"},
        {-0.0, "0"},      {0.1 + 0.2, "0.3"},  {-0.000012345, "-0.000012345"},
        {1e15, "1E+15"},  {1.5e20, "1.5E+20"}, {1176.85931296045, "1176.85931296045"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(generalNumberText(value), QString::fromLatin1(text)) << text;
    // Fifteen nines rounded up carry into a new first digit.
    EXPECT_EQ(generalNumberText(0.99999999999999989), QStringLiteral("1"));
    EXPECT_EQ(generalNumberText(-99.999999999999986), QStringLiteral("-100"));
}

// 1100.1235 as a double lies just below .1235; no minus sign stands before
// a zero (no "-00" in a clock column); texts that are no number stand as
// they are.
TEST(PatternText, RoundsHalfAwayFromZeroOnTheDecimalDigits) {
    const std::pair<const char*, const char*> velocities[] = {
        {"1100.1235", "1100.124"}, {"987.6", "0987.600"},  {"10000.5", "10000.500"},
        {"-12.3456", "-0012.346"}, {"0.0004", "0000.000"}, {"0.0005", "0000.001"},
        {"1.2.3", "1.2.3"},
    };
    for (const auto& [text, expected] : velocities)
        EXPECT_EQ(patternText(text, "0000.000"), QString::fromLatin1(expected)) << text;
    const std::pair<const char*, const char*> twoDigits[] = {
        {"2", "02"},    {"-5", "-05"},    {"125", "125"},  {"0.5", "01"},  {"2.5", "03"},
        {"23.5", "24"}, {"-23.5", "-24"}, {"99.5", "100"}, {"0.49", "00"}, {"-0.3", "00"},
        {" 7 ", "07"},  {"abc", "abc"},   {"", ""},        {"-0", "00"},   {"-00", "00"},
        {"0", "00"},    {"-7", "-07"},    {"-07", "-07"},
    };
    for (const auto& [text, expected] : twoDigits)
        EXPECT_EQ(patternText(text, "00"), QString::fromLatin1(expected)) << text;
    EXPECT_EQ(hmsText("-0", "5", "-00"), "00-05-00");
}

TEST(DateText, WritesReadsBackAndRefusesTextsThatAreNoDate) {
    EXPECT_EQ(dateText({QDate(2006, 5, 24), QTime(19, 45, 12)}), "24/05/2006 19:45:12");
    EXPECT_EQ(dateText({QDate(2006, 5, 24), QTime(0, 0)}), "24/05/2006");
    EXPECT_EQ(eightDigitDate(QDate(2008, 2, 1)), "01022008");
    // The last was skipped when the clocks went forward in Britain, where
    // the tests run: a clock-face date keeps it.
    for (const auto& [date, time] : {std::pair{QDate(2005, 4, 2), QTime(0, 0, 1)},
                                     {QDate(2008, 2, 29), QTime(12, 0)},
                                     {QDate(2027, 3, 28), QTime(1, 30)}}) {
        const QDateTime value = clockFaceDateTime(date, time);
        EXPECT_EQ(readDateText(dateText(value)), value) << dateText(value).toStdString();
    }
    EXPECT_EQ(readDateText("4/5/2006 7:05"), clockFaceDateTime(QDate(2006, 5, 4), QTime(7, 5)));
    EXPECT_EQ(readDateText(" 24/05/2006 "), clockFaceDateTime(QDate(2006, 5, 24), QTime(0, 0)));
    for (const char* text : {"", "24/05/06", "31/02/2006", "24-05-2006", "24/05/2006 25:00:00",
                             "24/05/2006 19:45:12 PM", "x24/05/2006", "24/05/2006 19"})
        EXPECT_FALSE(readDateText(QString::fromLatin1(text)).has_value()) << text;
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

// What it cannot hold, a character beyond 16 bits included, is the race
// file's (RaceFile.TextsAreWrittenAsWindows1252WithCommasAsSemicolons).
TEST(Windows1252, EveryByteReadsAsTheSystemCodecReadsItAndWritesBackUnchanged) {
    // Names in UTF-8 with letters it has not are read as UTF-8.
    const QString names = QString::fromUtf8("Łucja Przykład, Jiří Vzorek, Bőske Minta, Ștefan Buț");
    EXPECT_EQ(fromUtf8OrWindows1252(names.toUtf8()), names);
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

TEST(TextToNumber, ReadsNumbersAndRefusesEverythingElse) {
    // The last is a distance as the lookup writes it.
    const std::pair<const char*, double> numbers[] = {
        {"  12.5 ", 12.5},   {"-0.5", -0.5},  {"+3", 3},
        {".5", 0.5},         {"5.", 5},       {"08", 8},
        {"1.5E-05", 1.5e-5}, {"1E+15", 1e15}, {"26474040\r\n", 26474040},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(textToNumber(QString::fromLatin1(text)), value) << text;
    EXPECT_EQ(textToNumber("12.5" + QString(60, u'0')), 12.5); // decimals as a program wrote them
    // Two distance rows (a member listed twice for a race point) are no
    // number, nor is a comma decimal or a value beyond the double range.
    for (const char* text : {"26474040\r\n26474040\r\n", "1,5", "1e999", "", "   ", "12a", "1 000",
                             "1e", "-", ".", "inf", "nan"})
        EXPECT_EQ(textToNumber(QString::fromLatin1(text)), std::nullopt) << text;
}

TEST(WholeNumbers, RoundHalfEvenDivisionAndTruncation) {
    // clang-format off
    const std::tuple<double, double, std::optional<double>> cases[] = {
        {7, 2, 3},        {-7, 2, -3},   {2.5, 1, 2},   {3.5, 1, 4},   {-2.5, 1, -2},
        {3599.7, 60, 60}, {60, 60, 1},   {-0.3, 60, 0}, {59.6, 60, 1}, {10, 0.4, {}},
        {10, 0, {}},      {3e9, 60, {}}, {10, 0.5, {}}, {10, 1.5, 5},
        {-2147483648.0, 2, -1073741824.0}, {2147483647.0, 1, 2147483647.0}, // a Long's ends
        {2147483648.0, 1, {}},
    };
    // clang-format on
    for (const auto& [a, b, quotient] : cases)
        EXPECT_EQ(wholeDivide(a, b), quotient) << a << " \\ " << b;
    EXPECT_EQ(truncateNumber(-3.7), -3);
}
