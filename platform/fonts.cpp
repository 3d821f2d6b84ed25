#include "fonts.h"

#include <QStringList>

namespace pellamy {

QFont windowFont(const QString& family, double points, bool bold) {
    QStringList families{family};
    if (family == QLatin1String("Courier New"))
        families << QStringLiteral("Liberation Mono") << QStringLiteral("DejaVu Sans Mono");
    else if (family == QLatin1String("Times New Roman") || family == QLatin1String("Georgia"))
        families << QStringLiteral("Liberation Serif") << QStringLiteral("DejaVu Serif");
    else
        families << QStringLiteral("Liberation Sans") << QStringLiteral("Arial")
                 << QStringLiteral("DejaVu Sans");
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace pellamy
