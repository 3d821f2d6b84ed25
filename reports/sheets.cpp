#include "sheets.h"

#include "calc/raceentry.h"
#include "calc/windows1252.h"
#include "fieldpatterns.h"

namespace pellamy {

namespace {

QString blanks(int n) {
    return QString(n, u' ');
}

QString column(const QStringList& entry, int c) {
    return entry.value(c);
}

// Adds lines in the document's current size.
class Lines {
public:
    explicit Lines(PrintDocument& document) : document_(document) {}
    void size(double points) { points_ = points; }
    void line(const QString& text = QString()) {
        document_.lines.push_back({text, points_, false});
    }
    void centred(const QString& text) { document_.lines.push_back({text, points_, true}); }
    void empty(int count) {
        for (int i = 0; i < count; ++i)
            line();
    }

private:
    PrintDocument& document_;
    double points_ = 10;
};

} // namespace

QString clubSheetLine(const QStringList& e) {
    return blanks(2) + fieldPattern(column(e, Col::Pos), QStringLiteral("!@@")) + blanks(2) +
           fieldPattern(column(e, Col::Name), QStringLiteral("!@@@@@@@@@@@@@@@@@@@@")) + blanks(2) +
           fieldPattern(column(e, Col::Velocity), QStringLiteral("!@@@@@@@@")) + blanks(3) +
           fieldPattern(column(e, Col::Distance), QStringLiteral("!@@@@@@@@")) + blanks(3) +
           fieldPattern(column(e, Col::Var), QStringLiteral("@@@@")) + blanks(3) +
           fieldPattern(column(e, Col::BirdClocked), QStringLiteral("!@@@@@@@@")) + blanks(3) +
           fieldPattern(column(e, Col::FlyingTime), QStringLiteral("!@@@@@@@@")) + blanks(5) +
           fieldPattern(column(e, Col::Colour), QStringLiteral("!@@@@@@")) + blanks(1) +
           fieldPattern(column(e, Col::Sex), QStringLiteral("!@")) + blanks(5) +
           fieldPattern(column(e, Col::RingNo), QStringLiteral("!@@@@@@@@@@@@@@")) + blanks(4) +
           fieldPattern(column(e, Col::PoolNom), QStringLiteral("@@@"));
}

PrintDocument clubSheet(const SheetDetails& d, const QVector<QStringList>& entries, int copies) {
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
    out.line(blanks(15) + d.txtmember + u' ' + QStringLiteral("Members") + u' ' +
             QStringLiteral("sent") + u' ' + d.txtbirds + u' ' +
             QStringLiteral("birds liberated into a") + u' ' + d.txtwind + u' ' +
             QStringLiteral("wind") + u' ' + QStringLiteral("at") + u' ' + d.birdlibhrs +
             d.birdlibmins + u' ' + QStringLiteral("from") + u' ' + d.racepoint);
    out.line(blanks(43) + slashDate(d.txtdaterace));
    out.size(8);
    out.empty(2);
    const QString rule = blanks(2) + QString(126, u'.');
    out.line(rule);
    out.line(QStringLiteral(" Pos       Member           Velocity   Distance    Var     Bird      "
                            "A.F.T     Colour  Sex     Ring No.      Pool/Nom"));
    out.line(rule);
    for (const QStringList& entry : entries) {
        out.line(clubSheetLine(entry));
        out.line();
    }
    out.empty(2);
    out.size(12);
    out.centred(d.txtcomments);
    return document;
}

QString federationSheetLine(const QStringList& e) {
    return blanks(2) + fieldPattern(column(e, Col::Pos), QStringLiteral("!@@")) + blanks(2) +
           fieldPattern(column(e, Col::Name), QStringLiteral("!@@@@@@@@@@@@@@@@@@@@")) + blanks(3) +
           column(e, Col::MemberSet) + blanks(1) +
           fieldPattern(column(e, Col::MasterSet), QStringLiteral("@@@@@")) + blanks(2) +
           column(e, Col::SetError) + blanks(3) + column(e, Col::MemberRead) + blanks(2) +
           fieldPattern(column(e, Col::MasterRead), QStringLiteral("@@@@")) + blanks(2) +
           fieldPattern(column(e, Col::Var), QStringLiteral("@@@")) + blanks(2) +
           column(e, Col::BirdClocked) + blanks(2) + column(e, Col::FlyingTime) + blanks(2) +
           fieldPattern(column(e, Col::Velocity), QStringLiteral("@@@@")) + blanks(2) +
           fieldPattern(column(e, Col::RubberIn), QStringLiteral("@@@@")) + blanks(1) +
           fieldPattern(column(e, Col::RubberOut), QStringLiteral("@@@")) + blanks(2) +
           fieldPattern(column(e, Col::Colour), QStringLiteral("@@")) + blanks(2) +
           fieldPattern(column(e, Col::Sex), QStringLiteral("@")) + blanks(1) +
           fieldPattern(column(e, Col::RingNo), QStringLiteral("@@@@@@@@@@")) + blanks(2) +
           column(e, Col::Distance);
}

PrintDocument federationSheet(const SheetDetails& d, const QVector<QStringList>& entries,
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
    out.line(blanks(8) + fieldPattern(d.club, u'!' + QString(41, u'@')) +
             QStringLiteral("Lib Time  ...") + blanks(2) + d.birdlibhrs + d.birdlibmins +
             blanks(13) + QStringLiteral("No. of Birds ... ") + d.txtbirds);
    QString race = blanks(8) + QStringLiteral("Race Stage ....") + blanks(1) +
                   fieldPattern(d.racepoint, u'!' + QString(14, u'@'));
    toNextPrintZone(race);
    race += blanks(7) + QStringLiteral("Race Date ... ") + blanks(1) + slashDate(d.txtdaterace) +
            blanks(7) + QStringLiteral("Setting Date ...") + blanks(1) + slashDate(d.txtdateset);
    out.line(race);
    out.size(9);
    out.empty(2);
    out.line(blanks(6) + QString(175, u'.'));
    out.line(blanks(31) + QStringLiteral("Clock Setting") + blanks(12) +
             QStringLiteral("Clock Reading") + blanks(40) + QStringLiteral("Rubbers") + blanks(3) +
             QStringLiteral("Bird"));
    out.line(blanks(6) + QStringLiteral("Name") + blanks(18) +
             QStringLiteral("  Member   Master   F/S   Member    Master    Var   Bird     A.F.T"
                            "    Velocity   In  Out   C - S    Ring     Distance"));
    out.line(blanks(6) + QString(176, u'.'));
    for (const QStringList& entry : entries) {
        out.line(federationSheetLine(entry));
        out.line();
    }
    out.empty(6);
    out.line(blanks(8) + QStringLiteral("Master Set ...") + blanks(1) + d.mtdetailset + blanks(10) +
             QStringLiteral("Master Read ...") + blanks(1) + d.mtdetailrake);
    out.line(blanks(8) + QStringLiteral("Reading    ...") + blanks(1) + d.mtreadset + blanks(10) +
             QStringLiteral("Reading     ...") + blanks(1) + d.mtreadrake);
    out.empty(4);
    out.line(blanks(8) + QStringLiteral("Signed ") + QString(37, u'.'));
    return document;
}

QString resultTextLine(const QStringList& e) {
    const QString three = blanks(3);
    QString line = blanks(6) + column(e, Col::Pos);
    toNextPrintZone(line);
    line += column(e, Col::BirdClocked) + three + column(e, Col::FlyingTime) + three +
            column(e, Col::Colour) + three + column(e, Col::Sex) + three + column(e, Col::RingNo);
    toNextPrintZone(line);
    line += column(e, Col::Distance) + three + column(e, Col::Velocity) + three +
            column(e, Col::PoolNom);
    toNextPrintZone(line);
    line += column(e, Col::Name);
    return line;
}

QByteArray resultText(const SheetDetails& d, const QVector<QStringList>& entries) {
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
    for (const QStringList& entry : entries)
        lines << resultTextLine(entry);
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return toWindows1252(text);
}

} // namespace pellamy
