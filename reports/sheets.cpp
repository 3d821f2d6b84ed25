#include "sheets.h"

#include "calc/raceentry.h"
#include "calc/windows1252.h"
#include "fieldpatterns.h"

#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace pellamy {

namespace {

QString blanks(int n) {
    return QString(n, u' ');
}

// The values of a line laid out one character to a place on paper. A letter
// with its accents or vowel points, or one written as two UTF-16 units,
// stands as one stand-in character (from the private use area) while the
// line is laid out; characters that take no place (the marks that turn text
// around, zero-width blanks, soft hyphens, as a name pasted from a phone or a
// web page may hold) are left out. Counted as they are, either would move
// every column after them.
class Places {
public:
    QString in(const QString& text) {
        QString laid;
        QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, text);
        for (qsizetype from = 0, to = letters.toNextBoundary(); to != -1;
             from = to, to = letters.toNextBoundary()) {
            const QString letter = text.sliced(from, to - from);
            if (std::all_of(letter.cbegin(), letter.cend(),
                            [](QChar c) { return c.category() == QChar::Other_Format; }))
                continue;
            // (Past the stand-ins there are, a letter is laid out as it is.)
            if ((letter.size() == 1 && !isStandIn(letter[0])) ||
                held_.size() > kLastStandIn - kFirstStandIn) {
                laid += letter;
            } else {
                laid += QChar(char16_t(kFirstStandIn + held_.size()));
                held_ << letter;
            }
        }
        return laid;
    }
    // The line laid out, each stand-in given back its letter.
    QString out(const QString& line) const {
        QString text;
        for (const QChar c : line)
            text += isStandIn(c) ? held_.value(c.unicode() - kFirstStandIn) : QString(c);
        return text;
    }

private:
    static constexpr char16_t kFirstStandIn = 0xE000, kLastStandIn = 0xF8FF;
    static bool isStandIn(QChar c) {
        return c.unicode() >= kFirstStandIn && c.unicode() <= kLastStandIn;
    }
    QStringList held_;
};

// Adds lines in the document's current size.
class Lines {
public:
    explicit Lines(PrintDocument& document) : document_(document) {}
    void size(double points) { points_ = points; }
    // The role of the lines that follow, and whether each is kept on the
    // page of the line after it.
    void as(PrintLine::Role role, bool keepWithNext) {
        role_ = role;
        keep_ = keepWithNext;
    }
    void line(const QString& text = QString()) {
        document_.lines.push_back({text, points_, false, role_, keep_});
    }
    void centred(const QString& text) { document_.addCentred(text, points_, role_, keep_); }
    void empty(int count) {
        for (int i = 0; i < count; ++i)
            line();
    }
    // The table: its heading lines, then each entry's line and the empty
    // line after it. The last entry is kept with the foot, so the foot never
    // stands alone on a page.
    template <typename Heading, typename Row>
    void table(const QVector<RaceEntryRow>& entries, Heading heading, Row row) {
        as(PrintLine::Role::Heading, true);
        heading();
        for (qsizetype i = 0; i < entries.size(); ++i) {
            as(PrintLine::Role::Row, true);
            line(row(entries[i]));
            as(PrintLine::Role::Row, i + 1 == entries.size());
            line();
        }
        as(PrintLine::Role::Plain, true);
    }
    // The foot's last line ends what is kept together.
    void end() { document_.lines.last().keepWithNext = false; }

private:
    PrintDocument& document_;
    double points_ = 10;
    PrintLine::Role role_ = PrintLine::Role::Plain;
    bool keep_ = false;
};

// One column of a sheet's table: the entry column, its pattern (none: the
// value as it stands), the width it takes in a line of usual values (0: the
// pattern's places) and the blanks after it.
struct Field {
    int column;
    const char* pattern;
    int width;
    int gap;
    bool whole = false; // never cut: a position, or a value the sheet prints whole
};

// The first n characters of a line, but never fewer than kept (the end of
// a value printed whole); where a value is cut short, its last character
// kept is "…", so that two long names alike as far as the cut ("Jean
// Lefèvre" and "Jean Lefèvre-Dubois") do not print alike.
QString cutAt(const QString& line, qsizetype n, qsizetype kept) {
    if (n <= kept || line.size() <= n || QStringView(line).sliced(n).trimmed().isEmpty())
        return line.left(std::max(n, kept));
    return line.left(n - 1) + u'…';
}

// A table line: the fields one after another as the patterns give them. A
// value longer than its width may run into the blanks after it, but always
// leaves one blank before the next column, which starts where it would in
// a line of usual values; what is left over is cut, and marked so (the
// full text stays in the race). A value printed whole instead moves what
// follows to the right, until a value that is cut, or shorter than its
// room, brings the line back under its headings. A line whose values all
// fit is the line of the fields joined.
template <std::size_t N> QString tableLine(const RaceEntryRow& e, const Field (&fields)[N]) {
    Places places;
    QString line = blanks(2);
    qsizetype start = line.size(); // where the column starts in a line of usual values
    qsizetype kept = 0;            // the end of the last value printed whole
    bool wholeBefore = false;
    for (const Field& f : fields) {
        if (line.size() > start) {
            QString content = line;
            while (content.endsWith(u' '))
                content.chop(1);
            if (content.size() < start)
                line = content.leftJustified(start);
            else
                line = (wholeBefore ? content : cutAt(content, start - 1, kept)) + u' ';
        }
        const QString value = places.in(e.text(f.column));
        const QString pattern = f.pattern ? QString::fromLatin1(f.pattern) : QString();
        line += f.pattern ? fieldPattern(value, pattern) : value;
        if (f.whole)
            kept = line.size();
        line += blanks(f.gap);
        const int places = int(pattern.size()) - (pattern.startsWith(u'!') ? 1 : 0);
        start += (f.width ? f.width : places) + f.gap;
        wholeBefore = f.whole;
    }
    if (wholeBefore || line.size() <= start)
        return places.out(line);
    return places.out(cutAt(line, start, kept));
}

constexpr Field kClubFields[] = {
    {Col::Pos, "!@@", 0, 2, true},
    {Col::Name, "!@@@@@@@@@@@@@@@@@@@@", 0, 2},
    {Col::Velocity, "!@@@@@@@@", 0, 3},
    {Col::Distance, "!@@@@@@@@", 0, 3},
    {Col::Var, "@@@@", 0, 3},
    {Col::BirdClocked, "!@@@@@@@@", 0, 3},
    {Col::FlyingTime, "!@@@@@@@@", 0, 5},
    {Col::Colour, "!@@@@@@", 0, 1},
    {Col::Sex, "!@", 0, 5},
    // A ring number cut short would read as another; the pool mark after a
    // long one is printed too.
    {Col::RingNo, "!@@@@@@@@@@@@@@", 0, 4, true},
    {Col::PoolNom, "@@@", 0, 0, true},
};

// The federation sheet's fields are narrower than their usual values (a
// time of eight characters in five places, a velocity in four): the widths
// are those of the usual values, as the headings are laid out for them.
// Right-aligned values and values without a pattern are printed whole: a
// ring or rubber number cut short would read as another one.
constexpr Field kFederationFields[] = {
    {Col::Pos, "!@@", 0, 2, true},
    {Col::Name, "!@@@@@@@@@@@@@@@@@@@@", 0, 3},
    {Col::MemberSet, nullptr, 8, 1, true},
    {Col::MasterSet, "@@@@@", 8, 2, true},
    {Col::SetError, nullptr, 2, 3, true},
    {Col::MemberRead, nullptr, 8, 2, true},
    {Col::MasterRead, "@@@@", 8, 2, true},
    {Col::Var, "@@@", 0, 2, true},
    {Col::BirdClocked, nullptr, 8, 2, true},
    {Col::FlyingTime, nullptr, 8, 2, true},
    {Col::Velocity, "@@@@", 8, 2, true},
    {Col::RubberIn, "@@@@", 0, 1, true},
    {Col::RubberOut, "@@@", 0, 2, true},
    {Col::Colour, "@@", 0, 2, true},
    {Col::Sex, "@", 0, 1, true},
    {Col::RingNo, "@@@@@@@@@@", 0, 2, true},
    {Col::Distance, nullptr, 9, 0, true}, // up to 1000-1759
};

} // namespace

QString clubSheetRaceLine(const SheetDetails& d) {
    return blanks(15) + d.txtmember + u' ' + QStringLiteral("Members") + u' ' +
           QStringLiteral("sent") + u' ' + d.txtbirds + u' ' +
           QStringLiteral("birds liberated into a") + u' ' + d.txtwind + u' ' +
           QStringLiteral("wind") + u' ' + QStringLiteral("at") + u' ' + d.birdlibhrs +
           d.birdlibmins + u' ' + QStringLiteral("from") + u' ' + d.racepoint;
}

QString clubSheetLine(const RaceEntryRow& e) {
    return tableLine(e, kClubFields);
}

PrintDocument clubSheet(const SheetDetails& d, const QVector<RaceEntryRow>& entries, int copies) {
    PrintDocument document;
    document.orientation = QPageLayout::Portrait;
    document.copies = copies;
    Lines out(document);
    out.size(14);
    out.empty(2);
    out.centred(QStringLiteral("PELLAMY 2003"));
    out.centred(QString(26, u'-'));
    out.empty(1);
    out.size(19);
    out.centred(d.club);
    out.size(10);
    out.empty(1);
    out.line(clubSheetRaceLine(d));
    out.line(blanks(43) + slashDate(d.txtdaterace));
    out.size(8);
    out.empty(2);
    const QString rule = blanks(2) + QString(126, u'.');
    out.table(
        entries,
        [&] {
            out.line(rule);
            out.line(QStringLiteral(" Pos       Member           Velocity   Distance    Var     "
                                    "Bird      A.F.T     Colour  Sex     Ring No.      Pool/Nom"));
            out.line(rule);
        },
        clubSheetLine);
    out.empty(2);
    out.size(12);
    // Each line of the comments centred on a line of its own.
    for (const QString& comment :
         d.txtcomments.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n"))))
        out.centred(comment);
    out.end();
    return document;
}

QString federationSheetLine(const RaceEntryRow& e) {
    return tableLine(e, kFederationFields);
}

PrintDocument federationSheet(const SheetDetails& d, const QVector<RaceEntryRow>& entries,
                              int copies) {
    PrintDocument document;
    document.orientation = QPageLayout::Landscape;
    document.copies = copies;
    Lines out(document);
    out.size(20);
    out.empty(1);
    out.centred(d.fed);
    out.centred(QStringLiteral("Result Sheet"));
    out.empty(2);
    out.size(12);
    // A club name that fills its places keeps a blank before "Lib Time".
    Places places; // the club name and race point laid out by the places they take
    QString club = fieldPattern(places.in(d.club), u'!' + QString(41, u'@'));
    if (!club.endsWith(u' '))
        club += u' ';
    out.line(places.out(blanks(8) + club + QStringLiteral("Lib Time  ...") + blanks(2) +
                        d.birdlibhrs + d.birdlibmins + blanks(13) +
                        QStringLiteral("No. of Birds ... ") + d.txtbirds));
    QString race = blanks(8) + QStringLiteral("Race Stage ....") + blanks(1) +
                   fieldPattern(places.in(d.racepoint), u'!' + QString(14, u'@'));
    toNextPrintZone(race);
    race += blanks(7) + QStringLiteral("Race Date ... ") + blanks(1) + slashDate(d.txtdaterace) +
            blanks(7) + QStringLiteral("Setting Date ...") + blanks(1) + slashDate(d.txtdateset);
    out.line(places.out(race));
    out.size(9);
    out.empty(2);
    out.table(
        entries,
        [&] {
            out.line(blanks(6) + QString(175, u'.'));
            out.line(blanks(31) + QStringLiteral("Clock Setting") + blanks(12) +
                     QStringLiteral("Clock Reading") + blanks(40) + QStringLiteral("Rubbers") +
                     blanks(3) + QStringLiteral("Bird"));
            out.line(blanks(6) + QStringLiteral("Name") + blanks(18) +
                     QStringLiteral("  Member   Master   F/S   Member    Master    Var   Bird     "
                                    "A.F.T    Velocity   In  Out   C - S    Ring     Distance"));
            out.line(blanks(6) + QString(176, u'.'));
        },
        federationSheetLine);
    out.empty(6);
    out.line(blanks(8) + QStringLiteral("Master Set ...") + blanks(1) + d.mtdetailset + blanks(10) +
             QStringLiteral("Master Read ...") + blanks(1) + d.mtdetailrake);
    out.line(blanks(8) + QStringLiteral("Reading    ...") + blanks(1) + d.mtreadset + blanks(10) +
             QStringLiteral("Reading     ...") + blanks(1) + d.mtreadrake);
    out.empty(4);
    out.line(blanks(8) + QStringLiteral("Signed ") + QString(37, u'.'));
    out.end();
    return document;
}

QString resultTextLine(const RaceEntryRow& e) {
    Places places;
    const auto value = [&](int c) { return places.in(e.text(c)); };
    const QString three = blanks(3);
    QString line = blanks(6) + value(Col::Pos);
    toNextPrintZone(line);
    line += value(Col::BirdClocked) + three + value(Col::FlyingTime) + three + value(Col::Colour) +
            three + value(Col::Sex) + three + value(Col::RingNo);
    toNextPrintZone(line);
    line += value(Col::Distance) + three + value(Col::Velocity) + three + value(Col::PoolNom);
    toNextPrintZone(line);
    line += value(Col::Name);
    return places.out(line);
}

QByteArray resultText(const SheetDetails& d, const QVector<RaceEntryRow>& entries) {
    QStringList lines;
    lines << QString();
    lines << blanks(22) + d.racepoint + blanks(5) + d.txtdaterace + blanks(5) + d.txtmember + u' ' +
                 QStringLiteral("Members") + u' ' + QStringLiteral("sent") + u' ' + d.txtbirds +
                 u' ' + QStringLiteral("birds") + u' ' + QStringLiteral("Lib") + u' ' +
                 d.birdlibhrs + u' ' + d.birdlibmins;
    lines << QString();
    lines << QStringLiteral("     Pos        Bird      A.F.T    Col  Sex    Ring     Distance   "
                            "Velocity  Nom       Member");
    lines << blanks(3) + QString(99, u'.');
    lines << QString();
    for (const RaceEntryRow& entry : entries)
        lines << resultTextLine(entry);
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return toWindows1252OrUtf8(text);
}

} // namespace pellamy
