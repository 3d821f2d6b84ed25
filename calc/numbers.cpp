#include "numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pellamy {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<double> textToNumber(const QString& text) {
    const QChar* c = text.constData();
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(c[begin]))
        ++begin;
    while (end > begin && isBlank(c[end - 1]))
        --end;
    if (begin == end || end - begin > 400)
        return std::nullopt;

    // Check the shape: [sign] digits [. digits] [e [sign] digits], with at
    // least one digit before the exponent. Up to 15 digits without an
    // exponent are read exactly on the way: a whole number below 2^53
    // divided by an exact power of ten is correctly rounded.
    qsizetype i = begin;
    bool negative = false;
    if (c[i] == u'+' || c[i] == u'-') {
        negative = c[i] == u'-';
        ++i;
    }
    std::uint64_t mantissa = 0; // only used up to 15 digits
    int digits = 0;
    int decimals = 0;
    while (i < end && isDigit(c[i])) {
        mantissa = mantissa * 10 + (c[i++].unicode() - u'0');
        ++digits;
    }
    if (i < end && c[i] == u'.') {
        ++i;
        while (i < end && isDigit(c[i])) {
            mantissa = mantissa * 10 + (c[i++].unicode() - u'0');
            ++digits;
            ++decimals;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i == end && digits <= 15) {
        static constexpr double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double value = double(mantissa) / powers[decimals];
        return negative ? -value : value;
    }
    if (i < end && (c[i] == u'e' || c[i] == u'E')) {
        ++i;
        if (i < end && (c[i] == u'+' || c[i] == u'-'))
            ++i;
        const qsizetype exponentStart = i;
        while (i < end && isDigit(c[i]))
            ++i;
        if (i == exponentStart)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    // Long or exponent forms: the general conversion, on the checked text.
    char buffer[401];
    int length = 0;
    for (qsizetype k = negative || c[begin] == u'+' ? begin + 1 : begin; k < end; ++k)
        buffer[length++] = char(c[k].unicode());
    double value = 0;
    const auto [ptr, ec] = std::from_chars(buffer, buffer + length, value);
    if (ec != std::errc() || ptr != buffer + length || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

double roundHalfEven(double value) {
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction > 0.5)
        return down + 1;
    if (fraction < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

std::optional<double> wholeDivide(double a, double b) {
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    const double x = roundHalfEven(a);
    const double y = roundHalfEven(b);
    if (!(x >= low && x <= high && y >= low && y <= high) || y == 0)
        return std::nullopt;
    return double(static_cast<std::int64_t>(x) / static_cast<std::int64_t>(y));
}

double truncateNumber(double value) {
    return std::trunc(value) + 0.0;
}

std::optional<std::int16_t> toInt16(double value) {
    const double r = roundHalfEven(value);
    if (!(r >= -32768 && r <= 32767))
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

} // namespace pellamy
