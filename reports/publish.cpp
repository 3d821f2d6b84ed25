#include "publish.h"

#include "fieldpatterns.h"
#include "sheets.h"

#include "calc/numbers.h"
#include "calc/raceentry.h"
#include "calc/textforms.h"

#include <QLocale>
#include <QRegularExpression>

namespace pellamy {

namespace {

// The columns of the club sheet's table, as the published result shows them.
struct Published {
    const char* heading;
    int column;
};
constexpr Published kColumns[] = {
    {"Pos", Col::Pos},           {"Member", Col::Name},      {"Velocity", Col::Velocity},
    {"Distance", Col::Distance}, {"Var", Col::Var},          {"Bird", Col::BirdClocked},
    {"A.F.T", Col::FlyingTime},  {"Colour", Col::Colour},    {"Sex", Col::Sex},
    {"Ring No.", Col::RingNo},   {"Pool/Nom", Col::PoolNom},
};

// "150-1234" as miles, yards and the whole distance in yards; empty texts
// when it is not such a distance, or one too long to count in yards (a
// figure held down in the distances editor).
QStringList distanceNumbers(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,15})-(\\d{1,15})\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return {QString(), QString(), QString()};
    const qint64 miles = m.captured(1).toLongLong(), yards = m.captured(2).toLongLong();
    return {QString::number(miles), QString::number(yards), QString::number(miles * 1760 + yards)};
}

// A velocity as a plain number a spreadsheet reads ("0987.500" becomes
// "987.5"); the text as it stands when it is not a number.
QString plainNumber(const QString& text) {
    const std::optional<double> value = textToNumber(text);
    return value ? generalNumberText(*value) : text.trimmed();
}

// The decimal mark of the machine's spreadsheets, as Pellamy's locale
// has it: a German or French one reads "1234.567" as 1234567, or as text.
QString decimalMark() {
    return QLocale().decimalPoint() == QLatin1String(",") ? QStringLiteral(",")
                                                          : QStringLiteral(".");
}

// The result's columns of figures with decimals: the velocity and the
// clock variation. A ring number or a name that looks like one ("26.1234")
// is text, and stands as it is.
const QList<int> kResultFigures = {2, 6};

// A figure with decimals ("1234.567", "-0.5") in the machine's decimal mark;
// any other text as it stands.
QString localFigure(QString field, const QString& mark) {
    static const QRegularExpression figure(QStringLiteral("^-?\\d+\\.\\d+$"));
    if (mark != QLatin1String(".") && figure.match(field).hasMatch())
        field.replace(u'.', mark);
    return field;
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// "11-45-30" as "11:45:30": a spreadsheet reads the time as a time, where it
// would take "12-01-00" for a date. Anything else stands as it is.
QString clockTime(const QString& text) {
    static const QRegularExpression hms(QStringLiteral("^(-?\\d+)-(\\d\\d)-(\\d\\d)$"));
    const QRegularExpressionMatch m = hms.match(text);
    return m.hasMatch() ? m.captured(1) + u':' + m.captured(2) + u':' + m.captured(3) : text;
}

} // namespace

QStringList resultHeader() {
    return {"Pos",     "Member", "Velocity (yards per minute)",
            "Miles",   "Yards",  "Distance (yards)",
            "Var",     "Bird",   "A.F.T",
            "Colour",  "Sex",    "Ring No.",
            "Pool/Nom"};
}

QVector<QStringList> resultRows(const QVector<RaceEntryRow>& entries) {
    QVector<QStringList> rows;
    rows.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        const RaceEntryRow& e = entries[i];
        rows.push_back(QStringList{QString::number(i + 1), e.text(Col::Name),
                                   plainNumber(e.text(Col::Velocity))} +
                       distanceNumbers(e.text(Col::Distance)) +
                       QStringList{e.text(Col::Var), clockTime(e.text(Col::BirdClocked)),
                                   clockTime(e.text(Col::FlyingTime)), e.text(Col::Colour),
                                   e.text(Col::Sex), e.text(Col::RingNo), e.text(Col::PoolNom)});
    }
    return rows;
}

namespace {

// A text a spreadsheet would take for a formula (a name typed "=SUM(…)",
// "+44 Lofts", "- Bo Finch" or "@Home Lofts") and run, or show worked out
// or as an error: an apostrophe before it keeps it text, as a spreadsheet's
// own way of typing one. A figure ("-12.5", "-06") stays one.
QString inertText(const QString& text) {
    if (text.isEmpty() || !QStringView(u"=+-@").contains(text.front()) || textToNumber(text))
        return text;
    return u'\'' + text;
}

} // namespace

QString resultTabText(const QVector<RaceEntryRow>& entries) {
    // A tab or line break inside a text would split its row.
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
    const QString mark = decimalMark();
    QString text;
    const auto add = [&](QStringList fields, const QList<int>& figures) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            fields[i].replace(breaks, QStringLiteral(" "));
            fields[i] = figures.contains(i) ? localFigure(fields[i], mark) : inertText(fields[i]);
        }
        text += fields.join(u'\t') + u'\n';
    };
    add(resultHeader(), {});
    for (const QStringList& row : resultRows(entries))
        add(row, kResultFigures);
    return text;
}

QByteArray csvRecord(const QStringList& fields, const QList<int>& figures) {
    // Where the decimal mark is a comma, spreadsheets separate by ";".
    const QString mark = decimalMark();
    const char separator = mark == QLatin1String(",") ? ';' : ',';
    QByteArray record;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += separator;
        QByteArray field =
            (figures.contains(i) ? localFigure(fields[i], mark) : inertText(fields[i])).toUtf8();
        // Either separator quoted: a spreadsheet may split at both.
        if (field.contains(',') || field.contains(';') || field.contains('"') ||
            field.contains('\n') || field.contains('\r'))
            field = '"' + field.replace("\"", "\"\"") + '"';
        record += field;
    }
    return record + "\r\n";
}

QByteArray csvFile(const QStringList& header, const QVector<QStringList>& rows,
                   const QList<int>& figures) {
    QByteArray bytes = "\xEF\xBB\xBF" + csvRecord(header);
    for (const QStringList& row : rows)
        bytes += csvRecord(row, figures);
    return bytes;
}

QByteArray resultCsv(const QVector<RaceEntryRow>& entries) {
    return csvFile(resultHeader(), resultRows(entries), kResultFigures);
}

QByteArray resultWebPage(const SheetDetails& d, const QVector<RaceEntryRow>& entries) {
    QString html;
    html += QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n");
    // A club without a name yet (a new install) has no heading, and its
    // race alone names the page.
    const QString club = d.club.trimmed(), fed = d.fed.trimmed();
    const QString race =
        QStringLiteral("%1 %2").arg(d.racepoint.trimmed(), slashDate(d.txtdaterace)).trimmed();
    html += QStringLiteral("<title>%1</title>\n")
                .arg(escaped(club.isEmpty()   ? race
                             : race.isEmpty() ? club
                                              : QStringLiteral("%1: %2").arg(club, race)));
    html += QStringLiteral(
        "<style>\n"
        "body { font-family: sans-serif; margin: 1em; color: #111; }\n"
        "h1 { font-size: 1.4em; margin: 0; }\n"
        "p.fed { margin: 0.2em 0 1em; }\n"
        "div.table { overflow-x: auto; }\n"
        "table { border-collapse: collapse; font-family: \"Courier New\", monospace; "
        "font-size: 0.9em; }\n"
        "th, td { padding: 0.2em 0.6em; border-bottom: 1px solid #ccc; white-space: nowrap; "
        "text-align: left; }\n"
        // A long name wraps, so that on a phone the velocity beside it is in view.
        "td:nth-child(2) { white-space: normal; min-width: 8em; }\n"
        "th.n, td.n { text-align: right; }\n"
        "p.comments { white-space: pre-line; }\n"
        "</style>\n</head>\n<body>\n");
    if (!club.isEmpty())
        html += QStringLiteral("<h1>%1</h1>\n").arg(escaped(d.club));
    if (!fed.isEmpty())
        html += QStringLiteral("<p class=\"fed\">%1</p>\n").arg(escaped(d.fed));
    html += QStringLiteral("<p>%1<br>%2</p>\n")
                .arg(escaped(clubSheetRaceLine(d).trimmed()), escaped(slashDate(d.txtdaterace)));
    html += QStringLiteral("<div class=\"table\">\n<table>\n<thead>\n<tr>");
    const auto isNumber = [](int column) {
        return column == Col::Pos || column == Col::Velocity || column == Col::Var;
    };
    const auto cell = [&](const char* tag, int column, const QString& text) {
        return QStringLiteral("<%1%2>%3</%1>")
            .arg(QLatin1String(tag), isNumber(column) ? QStringLiteral(" class=\"n\"") : QString(),
                 escaped(text));
    };
    for (const Published& c : kColumns)
        html += cell("th", c.column, QString::fromLatin1(c.heading));
    html += QStringLiteral("</tr>\n</thead>\n<tbody>\n");
    for (int i = 0; i < entries.size(); ++i) {
        html += QStringLiteral("<tr>");
        for (const Published& c : kColumns)
            html += cell("td", c.column,
                         c.column == Col::Pos ? QString::number(i + 1) : entries[i].text(c.column));
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</tbody>\n</table>\n</div>\n");
    if (!d.txtcomments.trimmed().isEmpty())
        html += QStringLiteral("<p class=\"comments\">%1</p>\n").arg(escaped(d.txtcomments));
    html += QStringLiteral("</body>\n</html>\n");
    // The byte-order mark first: a web host that names another character set
    // for the page (ISO-8859-1, as many do) would otherwise show "Zoë" as
    // "ZoÃ«"; a browser takes the mark over what the host says.
    return "\xEF\xBB\xBF" + html.toUtf8();
}

} // namespace pellamy
