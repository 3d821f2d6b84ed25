#include "fieldpatterns.h"

#include <algorithm>

namespace pellamy {

QString fieldPattern(const QString& value, const QString& pattern) {
    const bool left = pattern.startsWith(u'!');
    const int places = int(pattern.size()) - (left ? 1 : 0);
    return left ? value.leftJustified(places) : value.rightJustified(places);
}

QString slashDate(const QString& value) {
    const bool eightDigits =
        value.size() == 8 &&
        std::all_of(value.begin(), value.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (eightDigits)
        return value.mid(0, 2) + u'/' + value.mid(2, 2) + u'/' + value.mid(6, 2);
    // Places filled from the right; blanks for places left over.
    const QString pattern = QStringLiteral("@@/@@/@@");
    QString out;
    qsizetype next = value.size() - 1;
    for (qsizetype i = pattern.size() - 1; i >= 0; --i) {
        if (pattern[i] == u'@')
            out.prepend(next >= 0 ? value[next--] : QChar(u' '));
        else
            out.prepend(pattern[i]);
    }
    return value.left(next + 1) + out;
}

void toNextPrintZone(QString& line) {
    const qsizetype zone = 14;
    line = line.leftJustified((line.size() / zone + 1) * zone);
}

} // namespace pellamy
