#include "raceentry.h"

#include "numbers.h"
#include "textforms.h"

namespace pellamy {

const std::array<ColumnInfo, kColumnCount>& raceEntryColumns() {
    static const std::array<ColumnInfo, kColumnCount> columns{{
        {"Pos", 852, false},         {"Name", 2981, false},     {"Member", 1490, true},
        {"Master", 1490, true},      {"F/S", 852, true},        {"Member", 1490, true},
        {"Master", 1490, true},      {"Var", 852, true},        {"H : M : S", 1703, true},
        {"H : M : S", 2129, true},   {"Y.P.M", 1703, true},     {"In", 1022, true},
        {"Out", 1022, true},         {"Col", 894, true},        {"Sex", 1277, true},
        {"Ring No.", 2129, true},    {"Distance", 1703, true},  {"P/N", 852, false},
        {"Member", 852, false},      {"Birds", 852, false},     {"Wind", 852, false},
        {"Set Date", 852, false},    {"Race Date", 852, false}, {"Libh", 852, false},
        {"Libm", 852, false},        {"Racepoint", 852, false}, {"Midnight", 852, false},
        {"Midnight2", 852, false},   {"Hodhr", 852, false},     {"Hodmin", 852, false},
        {"Holhr", 852, false},       {"Holmin", 852, false},    {"mtdset", 852, false},
        {"mtrset", 852, false},      {"mtdrake", 852, false},   {"mtrrake", 852, false},
        {"TXTCOMMENTS", 852, false}, {"Clockopen", 852, false}, {"daybird", 852, false},
    }};
    return columns;
}

QStringList raceEntryHeaders() {
    QStringList headers;
    headers.reserve(kColumnCount);
    for (const ColumnInfo& column : raceEntryColumns())
        headers << QString::fromLatin1(column.header);
    return headers;
}

const std::array<ColumnGroup, 6>& columnGroups() {
    static const std::array<ColumnGroup, 6> groups{{
        {"Clock Setting", Col::MemberSet, Col::SetError, 60},
        {"Clock Reading", Col::MemberRead, Col::Var, 26},
        {"Bird", Col::BirdClocked, Col::BirdClocked, 24},
        {"A.F.T", Col::FlyingTime, Col::FlyingTime, 17},
        {"Velocity", Col::Velocity, Col::Velocity, 13},
        {"Rubbers", Col::RubberIn, Col::RubberOut, 12},
    }};
    return groups;
}

QString groupCaptionLine() {
    QString line;
    for (const ColumnGroup& group : columnGroups())
        line += QString(group.blanksBefore, u' ') + QString::fromLatin1(group.caption);
    return line + QString(48, u' ');
}

const std::array<Colour, 18>& colourTable() {
    static const std::array<Colour, 18> colours{{
        {"Blue", "BB"},
        {"Black", "BK"},
        {"Red", "RD"},
        {"Mealy", "MY"},
        {"Bronze", "BZ"},
        {"Slate", "SL"},
        {"Yellow", "Y"},
        {"White", "W"},
        {"Grizzle", "GZ"},
        {"Blue Cheq", "BC"},
        {"Dark Cheq", "DC"},
        {"Red Cheq", "RC"},
        {"Blue Pied", "BP"},
        {"Dark Pied", "DP"},
        {"Cheq Pied", "CP"},
        {"Gay Pied", "GP"},
        {"Red Pied", "RP"},
        {"White Flight", "WF"},
    }};
    return colours;
}

QString colourCode(int index, const QString& previous) {
    if (index < 0 || index >= int(colourTable().size()))
        return previous;
    return QString::fromLatin1(colourTable()[std::size_t(index)].code);
}

QString poolMark(bool pooled, bool noms) {
    if (pooled && noms)
        return QStringLiteral("P-N");
    if (pooled)
        return QStringLiteral("P");
    if (noms)
        return QStringLiteral("N");
    return QString();
}

QString sexCode(bool cock, bool hen, const QString& previous) {
    // If Cock is ticked Hen is unticked first, so Cock wins when both are.
    if (cock)
        hen = false;
    QString code = previous;
    if (cock && !hen)
        code = QStringLiteral("C");
    cock = false;
    if (hen && !cock)
        code = QStringLiteral("H");
    return code;
}

TimeFieldCheck checkTimeFields(CalculatorFields& f) {
    const QString over24 = QStringLiteral("Sorry but you can't enter a number higher than 24");
    const QString over59 = QStringLiteral("Sorry but you can't enter a number higher than 59");
    struct Rule {
        const char* name;
        QString CalculatorFields::*field;
        bool hours;
        const char* reset;
    };
    using F = CalculatorFields;
    static const Rule rules[] = {
        {"MTSetHr", &F::MTSetHr, true, "19"},
        {"MTSetMin", &F::MTSetMin, false, "0"},
        {"MTSetSec", &F::MTSetSec, false, "0"},
        {"MTRakeHr", &F::MTRakeHr, true, "19"},
        {"MTRakeMin", &F::MTRakeMin, false, "0"},
        {"MTRakeSec", &F::MTRakeSec, false, "0"},
        {"CsHr", &F::CsHr, true, "19"},
        {"CsMin", &F::CsMin, false, "0"},
        {"CsSec", &F::CsSec, false, "0"},
        {"CrHr", &F::CrHr, true, "19"},
        {"CrMin", &F::CrMin, false, "0"},
        {"CrSec", &F::CrSec, false, "0"},
        {"birdlibhrs", &F::birdlibhrs, true, "08"},
        {"birdlibmins", &F::birdlibmins, false, "0"},
        {"birdlibsecs", &F::birdlibsecs, false, "0"},
        {"birdclockhrs", &F::birdclockhrs, true, "10"},
        {"birdclockmins", &F::birdclockmins, false, "0"},
        {"birdclocksecs", &F::birdclocksecs, false, "0"},
    };

    TimeFieldCheck check;
    for (const Rule& rule : rules) {
        QString& text = f.*rule.field;
        const std::optional<double> value = textToNumber(text);
        if (!value) {
            check.allNumbers = false;
            check.notANumber = QString::fromLatin1(rule.name);
            break;
        }
        if (*value > (rule.hours ? 24 : 59)) {
            text = QString::fromLatin1(rule.reset);
            check.resets.push_back(
                {QString::fromLatin1(rule.name), rule.hours ? over24 : over59, text});
        }
    }
    return check;
}

QString distanceText(const QString& miles, const QString& yards) {
    return patternText(miles, QStringLiteral("000")) + u'-' +
           patternText(yards, QStringLiteral("0000"));
}

QString variationText(const QString& variation) {
    return patternText(variation.left(5).leftJustified(5, u' '), QStringLiteral("00"));
}

QStringList buildRaceEntry(const CalculatorFields& f, const VelocityResult& r) {
    const auto text = [](const std::optional<QString>& field) { return field.value_or(QString()); };
    QStringList entry;
    entry.reserve(kColumnCount);
    entry << QString() << f.member << hmsText(f.CsHr, f.CsMin, f.CsSec)
          << hmsText(f.MTSetHr, f.MTSetMin, f.MTSetSec)
          << patternText(generalNumberText(r.setError.value_or(0.0)), QStringLiteral("00"))
          << hmsText(f.CrHr, f.CrMin, f.CrSec) << hmsText(f.MTRakeHr, f.MTRakeMin, f.MTRakeSec)
          << variationText(text(r.variation))
          << hmsText(f.birdclockhrs, f.birdclockmins, f.birdclocksecs)
          << hmsText(text(r.FTHrs), text(r.FTMins), text(r.FTSecs))
          << patternText(text(r.velocity), QStringLiteral("0000.000")) << f.Rubin << f.Rubout
          << f.txtcol << f.txtsex << f.ringno << distanceText(text(r.miles), text(r.yards))
          << f.txtpool << f.columns();
    return entry;
}

} // namespace pellamy
