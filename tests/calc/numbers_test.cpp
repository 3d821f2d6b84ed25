#include "calc/numbers.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace pellamy;

TEST(TextToNumber, ReadsNumbersAndRefusesEverythingElse) {
    // The last is a distance as the lookup writes it.
    const std::pair<const char*, double> numbers[] = {
        {"  12.5 ", 12.5},   {"-0.5", -0.5},  {"+3", 3},
        {".5", 0.5},         {"5.", 5},       {"08", 8},
        {"1.5E-05", 1.5e-5}, {"1E+15", 1e15}, {"26474040\r\n", 26474040},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(textToNumber(QString::fromLatin1(text)), value) << text;
    // Two distance rows (a member listed twice for a race point) are no
    // number, nor is a comma decimal or a value beyond the double range.
    for (const char* text : {"26474040\r\n26474040\r\n", "1,5", "1e999", "", "   ", "12a", "1 000",
                             "1e", "-", ".", "inf", "nan"})
        EXPECT_EQ(textToNumber(QString::fromLatin1(text)), std::nullopt) << text;
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
    const std::pair<double, std::optional<std::int16_t>> cases[] = {
        {2.5, 2}, {3.5, 4}, {-0.5, 0}, {32767.4, 32767}, {-32768, -32768}, {32767.5, {}},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(toInt16(value), expected) << value;
}
