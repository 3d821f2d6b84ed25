#include "windows1252.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace pellamy {

namespace {

// Bytes 0x80 to 0x9F; every other byte is the code point of the same
// number. The five bytes Windows-1252 leaves unassigned stand for the C1
// control characters of their number, as Windows itself reads them, so
// every byte reads and writes back unchanged.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for a character; -1 when Windows-1252 has none.
int byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c)
            return int(0x80 + i);
    return -1;
}

} // namespace

QByteArray toWindows1252(const QString& text, bool* lossy) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        int byte = byteOf(c.unicode());
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one character in two halves: one "?"
        if (byte < 0) {
            byte = '?';
            if (lossy)
                *lossy = true;
        }
        bytes += char(byte);
    }
    return bytes;
}

QByteArray toWindows1252OrUtf8(const QString& text) {
    bool lossy = false;
    QByteArray bytes = toWindows1252(text, &lossy);
    // Windows-1252 that would read back as other text does not do either:
    // bytes that start with the UTF-8 mark ("ï»¿"), or a line that is UTF-8
    // too ("Å‚" is also "ł"). Held whole, a character is one byte.
    bool readsBack = !lossy && !bytes.startsWith(kUtf8Mark);
    for (qsizetype start = 0; readsBack && start < bytes.size();) {
        qsizetype end = bytes.indexOf('\r', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line = QByteArrayView(bytes).sliced(start, end - start);
        readsBack =
            std::all_of(line.begin(), line.end(), [](char c) { return quint8(c) < 0x80; }) ||
            fromUtf8OrWindows1252(line) == QStringView(text).sliced(start, end - start);
        start = end + 1;
    }
    return readsBack ? bytes : kUtf8Mark + text.toUtf8();
}

QString fromMarkedUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromUtf8OrWindows1252(bytes) : text;
}

QString fromUtf8OrWindows1252(QByteArrayView bytes) {
    if (std::any_of(bytes.begin(), bytes.end(), [](char c) { return quint8(c) >= 0x80; })) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        // Letters of the names clubs hold that Windows-1252 has not (Ł, ř,
        // ő, ș) come from Windows-1252 only as "Ä" or "Å" before a sign.
        const auto editorsLetter = [](QChar c) {
            const char16_t u = c.unicode();
            return byteOf(u) >= 0 || (u >= 0x100 && u <= 0x17F) || (u >= 0x218 && u <= 0x21B);
        };
        if (!utf8.hasError() && (bytes.startsWith("\xEF\xBB\xBF") ||
                                 std::all_of(text.cbegin(), text.cend(), editorsLetter)))
            return text;
    }
    return fromWindows1252(bytes);
}

QString fromWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) {
        const auto byte = quint8(b);
        *out++ = QChar(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte));
    }
    return text;
}

} // namespace pellamy
