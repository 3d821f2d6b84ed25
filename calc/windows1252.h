#pragma once
// Windows-1252, the single-byte character set of race files, name files and
// the e-mailed result, the same on every machine whatever its locale.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace pellamy {

// Encodes a text; a character Windows-1252 cannot hold is written as "?"
// and *lossy (when given) is set.
QByteArray toWindows1252(const QString& text, bool* lossy = nullptr);

QString fromWindows1252(QByteArrayView bytes);

// The mark before the text of a file Pellamy wrote in UTF-8.
inline const QByteArray kUtf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");

// Windows-1252 when it holds every character of the text and each line
// (up to a CR) reads back as written; otherwise UTF-8 after its mark, so
// that the letters Windows-1252 has not (Ł, ő, Cyrillic) are kept instead
// of each becoming "?". Pellamy, Notepad and mail programs read such a file
// as written.
QByteArray toWindows1252OrUtf8(const QString& text);

// A line of a file that starts with the UTF-8 mark: read as UTF-8 (the mark
// dropped), or as fromUtf8OrWindows1252 reads it where it is not UTF-8 (a
// line changed since by a program that writes Windows-1252).
QString fromMarkedUtf8(QByteArrayView bytes);

// Text Pellamy wrote in Windows-1252 or a text editor saved as UTF-8 (as
// today's editors do): read as UTF-8, its byte-order mark dropped, when the
// bytes are UTF-8 that starts with that mark, or that holds only characters
// Windows-1252 has and the letters of Latin names it has not (Ł, ř, ő, ș);
// else as Windows-1252. Pellamy's own text that happens to be UTF-8 too
// ("É’" is also "ɒ") holds another character, and so reads as written.
QString fromUtf8OrWindows1252(QByteArrayView bytes);

} // namespace pellamy
