#include "namefiles.h"

#include "calc/filewrite.h"
#include "calc/windows1252.h"

#include <QFile>
#include <QStringDecoder>

namespace pellamy {

QString readNameText(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    if (i < text.size() && text[i] == u'"') {
        // Up to the next double quote, wherever it is; without one, the rest
        // of the file less its line end.
        const qsizetype close = text.indexOf(u'"', i + 1);
        if (close >= 0)
            return text.mid(i + 1, close - i - 1);
        qsizetype end = text.size();
        while (end > i + 1 && (text[end - 1] == u'\r' || text[end - 1] == u'\n'))
            --end;
        return text.mid(i + 1, end - i - 1);
    }
    qsizetype end = i;
    while (end < text.size() && text[end] != u',' && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    while (end > i && text[end - 1] == u' ')
        --end;
    return text.mid(i, end - i);
}

QString readNameFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.read(64 * 1024);
    // Names Windows-1252 cannot hold are kept in UTF-8, marked as such; a
    // file saved in Notepad as "Unicode" is UTF-16 after its mark. A file
    // saved by hand in a text editor may be UTF-8 without the mark.
    if (const std::optional<QStringConverter::Encoding> marked =
            QStringConverter::encodingForData(bytes))
        return readNameText(QStringDecoder(*marked).decode(bytes));
    return readNameText(fromUtf8OrWindows1252(bytes));
}

FileWrite writeNameFile(const QString& path, const QString& name) {
    const QString line = u'"' + name + QStringLiteral("\"\r\n");
    return writeWholeFile(path, toWindows1252OrUtf8(line));
}

} // namespace pellamy
