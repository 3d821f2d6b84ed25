#include "windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace pellamy {

QByteArray toWindows1252(const QString& text, bool* lossy) {
    QStringEncoder encoder("windows-1252");
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    // Some character has no byte: go character by character.
    if (lossy)
        *lossy = true;
    bytes.clear();
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        QStringEncoder one("windows-1252");
        const QByteArray encoded = one.encode(QStringView(text).mid(i, length));
        bytes += one.hasError() || encoded.size() != 1 ? QByteArray("?") : encoded;
        i += length - 1;
    }
    return bytes;
}

QString fromWindows1252(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1252");
    return decoder.decode(bytes);
}

} // namespace pellamy
