#include "season.h"

#include "calc/numbers.h"
#include "calc/raceentry.h"
#include "calc/textforms.h"
#include "racefile/racefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace pellamy {

namespace {

// Names that differ only in letter case or spacing are one member.
QString memberKey(const QString& name) {
    QString key = name.toCaseFolded();
    key.removeIf([](QChar c) { return c.isSpace(); });
    return key;
}

// Names alike but for their punctuation ("J. Smith", "J Smith"): maybe one
// member written otherwise in one file.
QString lettersAndFigures(const QString& name) {
    QString key = name.toCaseFolded();
    key.removeIf([](QChar c) { return !c.isLetterOrNumber(); });
    return key;
}

// Whether two names' letters and figures are a slip or two apart: a
// letter added, left out or changed, or two swapped; one slip in a name of
// under ten, two in a longer one. The restricted edit distance, given up
// once past the slips allowed.
bool slipsApart(const QString& a, const QString& b) {
    const qsizetype allowed = std::min(a.size(), b.size()) < 10 ? 1 : 2;
    if (std::abs(a.size() - b.size()) > allowed)
        return false;
    // Three rows of the table: the one before last, the last and this one.
    thread_local std::vector<qsizetype> table;
    const qsizetype width = b.size() + 1;
    table.resize(3 * width);
    qsizetype *before = table.data(), *last = before + width, *now = last + width;
    std::iota(last, last + width, 0);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        now[0] = i;
        qsizetype least = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            now[j] = std::min({last[j] + 1, now[j - 1] + 1, last[j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                now[j] = std::min(now[j], before[j - 2] + 1);
            least = std::min(least, now[j]);
        }
        if (least > allowed)
            return false;
        std::swap(before, last);
        std::swap(last, now);
    }
    return last[b.size()] <= allowed;
}

std::optional<qint64> thousandths(const QString& velocity) {
    // A figure beyond any flight (a hand-edited file's "1E+300") is no
    // velocity: in thousandths it would not fit, nor would the season's sums.
    // Nor is nought or less (a bird clocked before liberation, or one a
    // secretary zeroed by hand): such a bird was not clocked in the race.
    const std::optional<double> value = textToNumber(velocity);
    if (!value || !(*value > 0 && *value < 1e9))
        return std::nullopt;
    const qint64 scaled = std::llround(*value * 1000);
    return scaled > 0 ? std::optional<qint64>(scaled) : std::nullopt;
}

// The members of a season, each under the first spelling met, in the order
// first met.
struct Members {
    QHash<QString, int> byKey;
    QStringList names;
    QVector<QStringList> spellings;

    int of(const QString& name) {
        const QString key = memberKey(name);
        auto found = byKey.constFind(key);
        if (found == byKey.cend()) {
            found = byKey.insert(key, int(names.size()));
            names << name;
            spellings.push_back({name});
        } else if (!spellings[*found].contains(name)) {
            spellings[*found] << name;
        }
        return *found;
    }
};

// Places for values sorted best first: equal values share the place of the
// first of them, and each is marked as tied.
template <typename Row, typename Equal> void place(QVector<Row>& rows, Equal equal) {
    for (int i = 0; i < rows.size(); ++i) {
        const bool sameAsBefore = i > 0 && equal(rows[i - 1], rows[i]);
        rows[i].place.position = sameAsBefore ? rows[i - 1].place.position : i + 1;
        rows[i].place.tied = sameAsBefore || (i + 1 < rows.size() && equal(rows[i], rows[i + 1]));
    }
}

} // namespace

QString Placed::text() const {
    return QString::number(position) + (tied ? QStringLiteral("=") : QString());
}

QString AverageRow::averageText() const {
    if (racesCounted == 0)
        return QStringLiteral("0.000");
    // Rounded half away from zero in whole thousandths, from exact whole
    // numbers.
    const qint64 scaled = (2 * std::abs(sum) + racesCounted) / (2 * racesCounted);
    return thousandthsText(sum < 0 ? -scaled : scaled);
}

QString thousandthsText(qint64 thousandths) {
    const qint64 whole = std::abs(thousandths);
    return QStringLiteral("%1%2.%3")
        .arg(thousandths < 0 ? QStringLiteral("-") : QString())
        .arg(whole / 1000)
        .arg(whole % 1000, 3, 10, QChar(u'0'));
}

SeasonRace readSeasonRace(const QString& path) {
    SeasonRace race;
    race.file = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        race.error = QStringLiteral("cannot be read (%1)").arg(file.errorString());
        return race;
    }
    if (const QString why = tooLargeForARaceFile(file.size()); !why.isEmpty()) {
        race.error = QStringLiteral("is not a race file: it %1").arg(why);
        return race;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        race.error = QStringLiteral("could not be read whole (%1)").arg(file.errorString());
        return race;
    }
    // A race whose last birds may be lost to a zero-filled end is not
    // counted; what is no race before it is said as such.
    const qsizetype kept = beforeZeroFilledEnd(bytes);
    const bool zeroFilled = kept > 0 && kept < bytes.size();
    if (const QString why = notARaceFile(zeroFilled ? bytes.left(kept) : bytes); !why.isEmpty()) {
        race.error = QStringLiteral("is not a race file: it %1").arg(why);
        return race;
    }
    if (zeroFilled) {
        race.error = QStringLiteral("ends in bytes of nought, as a file copied while the power "
                                    "went or a memory stick was pulled out does: birds at its "
                                    "end may be missing");
        return race;
    }
    // A race file whose line ends were changed on the way (through a Mac or
    // Linux computer, or web mail), or one whose comments were typed on two
    // lines by a program that kept CR LF inside them, still holds every
    // bird: its entries' lines are put together again.
    // As the calculator reads it: a line break kept in a name (a table
    // edited by hand) is part of the name.
    if (needsRaceFileLines(bytes))
        bytes = raceFileLines(bytes);
    const RaceFileRead read = readRaceFile(bytes);
    // A file cut short while it was copied would lose its last birds unseen;
    // one with no line reaching a race entry's race point (a note typed in
    // Notepad) was never a race.
    if (endsPartWayThroughAnEntry(bytes)) {
        // A race cut short in its first entry still begins as one does: its
        // place, a comma and a member.
        const bool entryBefore =
            std::any_of(read.entries.cbegin(), read.entries.cend(),
                        [](const RaceEntryRow& entry) { return entry.size() > Col::Racepoint; }) ||
            (!read.entries.isEmpty() && read.entries.first().size() > Col::Name && [&] {
                bool number = false;
                read.entries.first().text(Col::Pos).trimmed().toUInt(&number);
                return number;
            }());
        race.error = entryBefore ? QStringLiteral("ends part-way through a line, as a file cut "
                                                  "short when it was copied does")
                                 : QStringLiteral("is not a race file: its lines do not hold "
                                                  "race entries");
        return race;
    }
    // The race point and date from the first line that is not blanks.
    const RaceEntryRow* first = firstRaceEntry(read.entries);
    if (!first) {
        race.error = QStringLiteral("holds no race entries");
        return race;
    }
    // A comma typed into a name by hand moves the velocity of that line out
    // of its column: the bird would go missing from the season unseen.
    if (!read.overlongEntries.isEmpty()) {
        race.error = QStringLiteral("has more fields than a race entry holds in %1 (a comma in a "
                                    "name or comment?)")
                         .arg(entriesText(read.overlongEntries, int(read.entries.size())));
        return race;
    }
    if (first->size() <= Col::Racepoint) {
        race.error = QStringLiteral("is not a race file: its lines do not hold race entries");
        return race;
    }
    race.racepoint = first->text(Col::Racepoint).trimmed();
    race.dateText = first->text(Col::RaceDate);
    if (const std::optional<QDateTime> date = readDateText(race.dateText))
        race.date = date->date();
    // Every entry is a bird, or said: an entry cut short in the middle of
    // the file (an edit gone wrong) leaves the race out, as a file cut short
    // does; a bird without a velocity that can count is named in the note.
    QStringList notCounted;
    for (qsizetype i = 0; i < read.entries.size(); ++i) {
        const RaceEntryRow& entry = read.entries[i];
        const QString member = entry.text(Col::Name).trimmed();
        if (holdsNoBird(read.entries, i))
            continue;
        const QString which =
            QStringLiteral("entry %1%2")
                .arg(QString::number(i + 1),
                     member.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(member));
        if (entry.size() < kRaceFileFields) {
            race.error =
                QStringLiteral("is cut short at its %1: it holds %2 of a race entry's "
                               "%3 fields")
                    .arg(which, QString::number(entry.size()), QString::number(kRaceFileFields));
            race.birds.clear();
            return race;
        }
        const std::optional<qint64> velocity = thousandths(entry.text(Col::Velocity));
        if (!member.isEmpty() && velocity)
            race.birds.push_back({member, *velocity});
        else
            notCounted << which;
    }
    // Counted over every race, a race without one bird that counts (a file
    // of other figures, saved as a race file) would put every member's
    // average down: left out, saying why.
    if (race.birds.isEmpty()) {
        race.error = QStringLiteral("holds no bird that can be counted: no entry has a member and "
                                    "a velocity above nought");
        return race;
    }
    QStringList notes;
    if (!notCounted.isEmpty())
        // Said of the entries: the race itself is counted.
        notes << QStringLiteral("%1 %2 not counted, having no member or no velocity above "
                                "nought")
                     .arg(notCounted.join(QStringLiteral(", ")),
                          notCounted.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    if (!race.date.isValid())
        notes << QStringLiteral("its race date \"%1\" cannot be read, so it stands after the "
                                "races whose dates can")
                     .arg(race.dateText);
    race.note = notes.join(QStringLiteral("; "));
    return race;
}

QString belowMinimumText(const SeasonTable& table) {
    return QStringLiteral("%1 clocked in fewer than %2 races %3 not listed")
        .arg(countText(table.belowMinimum, QStringLiteral("member"), QStringLiteral("members")),
             QString::number(table.minimumRaces),
             table.belowMinimum == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}

bool operator==(const SeasonBird& a, const SeasonBird& b) {
    return a.member == b.member && a.thousandths == b.thousandths;
}

bool operator==(const SeasonRace& a, const SeasonRace& b) {
    return a.file == b.file && a.racepoint == b.racepoint && a.dateText == b.dateText &&
           a.date == b.date && a.birds == b.birds && a.error == b.error && a.note == b.note;
}

void leaveOutRepeatedRaces(QVector<SeasonRace>& races) {
    // Each bird by its member and velocity to the thousandth, worked out
    // once a race; and each race's keys counted, for the birds two share.
    using Key = std::pair<QString, qint64>;
    QVector<QVector<Key>> keys;
    QVector<QHash<Key, int>> counted;
    for (const SeasonRace& race : races) {
        keys.push_back({});
        counted.push_back({});
        for (const SeasonBird& bird : race.birds) {
            keys.back().push_back({memberKey(bird.member), bird.thousandths});
            ++counted.back()[keys.back().back()];
        }
    }
    // How many of race i's birds race j holds too: in two races apart,
    // hardly ever more than one.
    const auto sharedBirds = [&](qsizetype i, qsizetype j) {
        qsizetype shared = 0;
        for (auto it = counted[i].cbegin(); it != counted[i].cend(); ++it)
            shared += std::min(it.value(), counted[j].value(it.key()));
        return shared;
    };
    // The race day, not the time of day the clocks were set at: the same
    // race entered again later that day is the same race.
    const auto sameDay = [](const SeasonRace& a, const SeasonRace& b) {
        return a.racepoint.compare(b.racepoint, Qt::CaseInsensitive) == 0 &&
               (a.date.isValid() ? a.date == b.date : a.dateText == b.dateText);
    };
    for (qsizetype i = 0; i < races.size(); ++i) {
        bool noted = false;
        for (qsizetype j = 0; j < i && races[i].error.isEmpty(); ++j) {
            if (!races[j].error.isEmpty())
                continue;
            const bool day = sameDay(races[j], races[i]);
            // In any order: a copy sorted by name in a spreadsheet holds the same birds.
            const bool birds = keys[i].size() == keys[j].size() && counted[i] == counted[j];
            const QString other = QDir::toNativeSeparators(races[j].file);
            if (day && birds) {
                races[i].error = QStringLiteral("is the same race as %1").arg(other);
                continue;
            }
            if (noted)
                continue;
            // Birds at the same velocities to the thousandth, all or half of
            // one race's (two at least, where it has two), are the same race
            // (saved part-way, or a bird put right since) with its date or
            // race point put right in one copy: noted, as the birds would
            // count twice.
            const qsizetype fewer = std::min(keys[i].size(), keys[j].size());
            const qsizetype shared = day || birds ? 0 : sharedBirds(i, j);
            if (!day && !(birds && fewer > 0) &&
                !(shared >= std::min<qsizetype>(fewer, 2) && shared * 2 >= fewer && shared > 0))
                continue;
            noted = true;
            const QString note =
                day     ? QStringLiteral("the same race point and day as %1: if it is the same "
                                             "race, choose one")
                : birds ? QStringLiteral("the same birds at the same velocities as %1, but "
                                         "another race point or day: if it is the same race, "
                                         "choose one")
                        : QStringLiteral("%2 of its birds at the same velocities as in %1, but "
                                         "another race point or day: if it is the same race, "
                                         "choose one")
                              .arg(QStringLiteral("%1"), QString::number(shared));
            QStringList notes{note.arg(QFileInfo(races[j].file).fileName())};
            if (!races[i].note.isEmpty())
                notes << races[i].note;
            races[i].note = notes.join(QStringLiteral("; "));
        }
    }
}

QVector<SeasonRace> seasonOrder(const QVector<SeasonRace>& races) {
    QVector<SeasonRace> read;
    for (const SeasonRace& race : races)
        if (race.error.isEmpty())
            read << race;
    std::stable_sort(read.begin(), read.end(), [](const SeasonRace& a, const SeasonRace& b) {
        if (a.date.isValid() != b.date.isValid())
            return a.date.isValid();
        return a.date < b.date;
    });
    return read;
}

QVector<int> readPointsList(const QString& text, QString* error) {
    QVector<int> points;
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    for (const QString& part : text.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const int value = part.toInt(&ok);
        // A place's points are counted by the tens; a figure past any
        // sensible one is a slip, and totals over a season stay far within
        // their counting.
        if (!ok || value < 0 || value > kMostPointsForAPlace) {
            *error = QStringLiteral("The points must be whole numbers from 0 to %1, one for each "
                                    "place, such as 10 9 8 7 6 5 4 3 2 1: \"%2\" is not one.")
                         .arg(QString::number(kMostPointsForAPlace), part);
            return {};
        }
        points << value;
    }
    if (points.isEmpty())
        *error = QStringLiteral("Please type the points for each place, such as 10 9 8 7 6 5 4 3 "
                                "2 1.");
    return points;
}

SeasonTable seasonTable(const QVector<SeasonRace>& races, const AverageRule& averageRule,
                        const PointsRule& pointsRule) {
    Members members;
    const int raceCount = int(races.size());
    QVector<QVector<std::optional<qint64>>> best;
    QVector<QVector<int>> points;
    const auto grow = [&](int member) {
        while (best.size() <= member) {
            best.push_back(QVector<std::optional<qint64>>(raceCount));
            points.push_back(QVector<int>(raceCount));
        }
    };
    for (int r = 0; r < raceCount; ++r) {
        // The members of the birds that are placed, in list order. A
        // member's first bird is the fastest of them: a file corrected by
        // hand need not be in velocity order.
        QVector<int> counted;
        QVector<qint64> velocities;
        for (const SeasonBird& bird : races[r].birds) {
            const int m = members.of(bird.member);
            grow(m);
            std::optional<qint64>& first = best[m][r];
            const bool seen = first.has_value();
            if (!first || bird.thousandths > *first)
                first = bird.thousandths;
            if (!pointsRule.firstBirdOnly || !seen) {
                counted << m;
                velocities << bird.thousandths;
            }
        }
        if (pointsRule.firstBirdOnly)
            for (int i = 0; i < counted.size(); ++i)
                velocities[i] = *best[counted[i]][r];
        // Places in order of velocity; equal velocities share a place.
        QVector<int> order(counted.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return velocities[a] > velocities[b]; });
        for (int i = 0; i < order.size(); ++i) {
            int placeIndex = i;
            while (placeIndex > 0 && velocities[order[placeIndex - 1]] == velocities[order[i]])
                --placeIndex;
            if (placeIndex < pointsRule.forPlace.size())
                points[counted[order[i]]][r] += pointsRule.forPlace[placeIndex];
        }
    }

    SeasonTable table;
    table.minimumRaces = averageRule.minimumRaces;
    table.averagesRule =
        !averageRule.clockedOnly ? QStringLiteral("Over every race, a race missed counting 0")
        : averageRule.minimumRaces > 1
            ? QStringLiteral("Over the races clocked in, for members clocked in %1 races or more")
                  .arg(averageRule.minimumRaces)
            : QStringLiteral("Over the races clocked in");
    QStringList forPlace;
    for (int p : pointsRule.forPlace)
        forPlace << QString::number(p);
    table.pointsRule =
        QStringLiteral("Points for places %1, %2")
            .arg(forPlace.join(u' '), pointsRule.firstBirdOnly
                                          ? QStringLiteral("each member's first bird")
                                          : QStringLiteral("every bird"));
    QHash<QString, qsizetype> alikeAt;
    QVector<QStringList> alike;
    for (const QString& name : members.names) {
        const auto at = alikeAt.constFind(lettersAndFigures(name));
        if (at == alikeAt.cend())
            alikeAt.insert(lettersAndFigures(name), alike.size()), alike.push_back({});
        alike[at == alikeAt.cend() ? alike.size() - 1 : *at] << QStringLiteral("“%1”").arg(name);
    }
    for (const QStringList& names : alike)
        if (names.size() > 1)
            table.alikeNames << names.join(QStringLiteral(", "));
    // A name put right part-way through the season (in the distances
    // editor, say) leaves its member two names a slip apart that never
    // clock in one race. Names whose first letters or initials differ (A.
    // Smith, J. Smith; Smith A, Smith J), and short ones (T Hall, T Hill),
    // are taken for two members. The races each member clocked in,
    // as bits, tell those pairs apart quickly in a federation's season.
    const qsizetype words = (raceCount + 63) / 64;
    QVector<quint64> clocked(members.names.size() * words);
    for (int m = 0; m < members.names.size(); ++m)
        for (int r = 0; r < raceCount; ++r)
            if (best[m][r])
                clocked[m * words + r / 64] |= quint64(1) << (r % 64);
    const auto neverTogether = [&](int a, int b) {
        for (qsizetype w = 0; w < words; ++w)
            if (clocked[a * words + w] & clocked[b * words + w])
                return false;
        return true;
    };
    QVector<QString> forms;
    QVector<QStringList> initials;
    static const QRegularExpression between(QStringLiteral("[^\\p{L}\\p{N}]+"));
    for (const QString& name : members.names) {
        forms << lettersAndFigures(name);
        QStringList single = name.toCaseFolded().split(between, Qt::SkipEmptyParts);
        single.removeIf([](const QString& word) { return word.size() > 1; });
        single.sort();
        initials << single;
    }
    for (int a = 0; a < forms.size(); ++a)
        for (int b = a + 1; b < forms.size(); ++b)
            if (neverTogether(a, b) && forms[a] != forms[b] && forms[a].size() >= 6 &&
                forms[b].size() >= 6 && forms[a][0] == forms[b][0] && initials[a] == initials[b] &&
                slipsApart(forms[a], forms[b]))
                table.alikeNames
                    << QStringLiteral("“%1”, “%2”").arg(members.names[a], members.names[b]);
    for (int m = 0; m < members.names.size(); ++m) {
        if (members.spellings[m].size() > 1) {
            QStringList quoted;
            for (const QString& spelling : members.spellings[m])
                quoted << QStringLiteral("“%1”").arg(spelling);
            table.mergedNames << quoted.join(QStringLiteral(", "));
        }
        AverageRow average;
        average.member = members.names[m];
        average.velocities = best[m];
        for (const std::optional<qint64>& v : best[m])
            if (v) {
                ++average.racesClocked;
                average.sum += *v;
            }
        average.racesCounted = averageRule.clockedOnly ? average.racesClocked : raceCount;
        if (!averageRule.clockedOnly || average.racesClocked >= averageRule.minimumRaces)
            table.averages << average;
        else
            ++table.belowMinimum;
        PointsRow row;
        row.member = members.names[m];
        row.points = points[m];
        row.total = std::accumulate(row.points.cbegin(), row.points.cend(), 0);
        table.points << row;
    }
    // A member left out is not taken for one forgotten.
    if (table.belowMinimum > 0)
        table.averagesRule += QStringLiteral(" (%1)").arg(belowMinimumText(table));
    // Averages compared exactly: a / n against b / k as a × k against b × n
    // (thousandths of some thousands of yards a minute over tens of races
    // stay far within 64 bits).
    const auto higherAverage = [](const AverageRow& a, const AverageRow& b) {
        return a.sum * b.racesCounted > b.sum * a.racesCounted;
    };
    // Members level on the table are listed by name.
    const auto byName = [](const auto& a, const auto& b) {
        return a.member.compare(b.member, Qt::CaseInsensitive) < 0;
    };
    std::sort(table.averages.begin(), table.averages.end(), byName);
    std::sort(table.points.begin(), table.points.end(), byName);
    std::stable_sort(table.averages.begin(), table.averages.end(), higherAverage);
    place(table.averages, [&](const AverageRow& a, const AverageRow& b) {
        return !higherAverage(a, b) && !higherAverage(b, a);
    });
    std::stable_sort(table.points.begin(), table.points.end(),
                     [](const PointsRow& a, const PointsRow& b) { return a.total > b.total; });
    place(table.points, [](const PointsRow& a, const PointsRow& b) { return a.total == b.total; });
    return table;
}

} // namespace pellamy
