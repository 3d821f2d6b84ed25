#include "calc/numbers.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace pellamy;

TEST(TextToNumber, ReadsNumbersAndRefusesEverythingElse) {
    struct Case {
        const char* text;
        std::optional<double> expected;
    } cases[] = {
        {"12.5", 12.5},
        {"  12.5 ", 12.5},
        {"26474040\r\n", 26474040},       // one distance row
        {"26474040\r\n26474040\r\n", {}}, // two distance rows
        {"", {}},
        {"   ", {}},
        {"abc", {}},
        {"12a", {}},
        {"1,5", {}}, // never a comma decimal
        {"1 000", {}},
        {"-0.5", -0.5},
        {"+3", 3},
        {".5", 0.5},
        {"5.", 5},
        {"08", 8},
        {"1.5E-05", 1.5e-5},
        {"1E+15", 1e15},
        {"1e", {}},
        {"-", {}},
        {".", {}},
        {"inf", {}},
        {"nan", {}},
        {"1e999", {}}, // beyond the double range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(textToNumber(QString::fromLatin1(c.text)), c.expected);
    }
}

TEST(WholeNumbers, RoundHalfEvenDivisionAndTruncation) {
    struct Case {
        double a, b;
        std::optional<double> quotient;
    } cases[] = {
        {7, 2, 3},        {-7, 2, -3},   {2.5, 1, 2},   {3.5, 1, 4},   {-2.5, 1, -2},
        {3599.7, 60, 60}, {60, 60, 1},   {-0.3, 60, 0}, {59.6, 60, 1}, {10, 0.4, {}},
        {10, 0, {}},      {3e9, 60, {}}, {10, 0.5, {}}, {10, 1.5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " \\ " << c.b);
        EXPECT_EQ(wholeDivide(c.a, c.b), c.quotient);
    }
    EXPECT_EQ(truncateNumber(150.701136363636), 150);
    EXPECT_EQ(truncateNumber(-3.7), -3);
}

TEST(WholeNumbers, SixteenBitConversionRoundsHalfToEven) {
    EXPECT_EQ(toInt16(2.5), std::int16_t(2));
    EXPECT_EQ(toInt16(3.5), std::int16_t(4));
    EXPECT_EQ(toInt16(-0.5), std::int16_t(0));
    EXPECT_EQ(toInt16(32767.4), std::int16_t(32767));
    EXPECT_EQ(toInt16(32767.5), std::nullopt);
    EXPECT_EQ(toInt16(-32768), std::int16_t(-32768));
    EXPECT_EQ(toInt16(1e10), std::nullopt);
}
