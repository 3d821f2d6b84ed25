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

} // namespace pellamy
