#include "calculatorfixture.h"

#include "calc/raceentry.h"
#include "calculator/groupcaptions.h"

#include <array>

namespace {

QStringList items(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

const QString kMissedField =
    "You have missed out a field /s in a Database record, Please check your Database entries. "
    "Make sure all fields are filled in.";

} // namespace

TEST_F(CalculatorTest, EmptyRowsAreSaidAndChoosingARacePointReplacesTheMembers) {
    makeDatabase({{"A", "", "1", "0", "105600"}, // a NULL one too: the store's
                  {"J. Smith", "Berwick", "250", "1234", "26474040"},
                  {"O'Brien", "Berwick", "251", "0", "26505600"},
                  {"Müller", "Lerwick", "500", "5", "52800300"},
                  {"", "Thurso", "1", "0", "105600"}});
    open(); // the row without a race point is said, and the rest loads
    EXPECT_EQ(shown(), QStringList({"message|Pellamy|" + kMissedField}));
    EXPECT_EQ(items(list("member")), QStringList({"J. Smith", "O'Brien"}));
    list("member")->hide(); // as for the last member's next bird: shown to choose from
    choose(list("racepoint"), 1);
    EXPECT_TRUE(list("member")->isVisible());
    EXPECT_EQ(items(list("member")), QStringList({QString::fromUtf8("Müller")}));

    choose(list("racepoint"), 2); // only a row without a name
    EXPECT_EQ(list("member")->count(), 0);
    EXPECT_EQ(dialogs.messages(), QStringList(2, kMissedField)); // the second for Thurso

    QFile::remove(path()); // the database went missing meanwhile: said as it is
    dialogs.clear();
    choose(list("racepoint"), 0);
    EXPECT_EQ(list("member")->count(), 0);
    EXPECT_EQ(dialogs.messages(),
              QStringList({"The members of Berwick could not be read from the distances: Could "
                           "not find file '" +
                           path() + "'."}));
}

// A race point kept again with a blank after it (typed so in another
// program) is listed twice alike, each with some of its members: said.
TEST_F(CalculatorTest, ARacePointKeptAgainWithABlankIsSaid) {
    makeDatabase(
        {{"Ann Hale", "Dover", "1", "0", "105600"}, {"Bo Finch", "Dover ", "1", "0", "105600"}});
    open();
    EXPECT_TRUE(takeMessage().startsWith("The distances hold the race point Dover more than once, "
                                         "with a blank before or after it in some records"));
    EXPECT_EQ(list("racepoint")->count(), 2);
}

TEST_F(CalculatorTest, ADamagedOrBusyDatabaseIsSaidOnce) {
    makeDamagedDatabase(path());
    open();
    // That no list is half read is the store's (DistanceStoreTest.ADamagedFileIsNeverHalfRead).
    for (int i = 0; i < list("racepoint")->count(); ++i)
        choose(list("racepoint"), i);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("distances.mdb is damaged"));

    // One another program holds is not taken for an empty one.
    QFile::remove(path());
    makeDatabase({{"J. Smith", "Berwick", "250", "1234", "26474040"}});
    SqlConnection other(path());
    QSqlQuery(other.db).exec("BEGIN EXCLUSIVE");
    dialogs.clear();
    open();
    EXPECT_EQ(dialogs.messages(), QStringList({"distances.mdb is in use by another program, so the "
                                               "race points could not be read. Please close "
                                               "Pellamy and start it again in a moment. If a "
                                               "database program has it open with changes not "
                                               "yet written, write or cancel them there first."}));
    QSqlQuery(other.db).exec("ROLLBACK");
}

TEST_F(CalculatorTest, NightCountsFollowTheDatePickers) {
    open();
    const QTime now(18, 5, 7);
    setDates(*window, {QDate(2006, 5, 26), now}, {QDate(2006, 5, 27), now},
             {QDate(2006, 5, 27), now}, {QDate(2006, 5, 28), now});
    EXPECT_EQ(texts({"midnight", "midnight2", "extraday"}), QStringList({"2", "0", "1"}));
    picker("DaybirdClocked")->setDate(QDate(2006, 5, 28)); // keeps the time of day
    EXPECT_EQ(texts({"midnight2", "extraday"}), QStringList({"1", "0"}));
    // 01:30 was skipped on 28 March 2027 in Britain, where the tests run: the pickers keep it, and
    // the nights stay whole. Their range is the form's, whatever the zone.
    const QDateTime gap(QDate(2027, 3, 28), QTime(1, 30));
    ASSERT_TRUE(!gap.isValid() || gap.time() != QTime(1, 30))
        << "no time zone Europe/London here (Debian's tzdata)";
    EXPECT_EQ(picker("DayClockSet")->minimumDateTime(),
              clockFaceDateTime(QDate(2005, 4, 2), QTime(0, 0)));
    const QDateTime saturday(QDate(2027, 3, 27), QTime(1, 30));
    setDates(*window, saturday.addDays(-1), saturday, saturday, saturday);
    for (const char* name : {"DaybirdClocked", "DayClockOpen"})
        picker(name)->setDate(QDate(2027, 3, 28));
    EXPECT_EQ(texts({"midnight", "midnight2", "extraday"}), QStringList({"2", "1", "0"}));
}

TEST_F(CalculatorTest, TimePickersAndTheirBoxesAlwaysAgree) {
    open();
    const std::array<const char*, 4> rows[] = {
        {"DTPicker1", "MTSetHr", "MTSetMin", "MTSetSec"},
        {"DTPicker4", "MTRakeHr", "MTRakeMin", "MTRakeSec"},
        {"DTPicker5", "CsHr", "CsMin", "CsSec"},
        {"DTPicker6", "CrHr", "CrMin", "CrSec"},
        {"DTPicker7", "birdclockhrs", "birdclockmins", "birdclocksecs"}};
    for (const auto& [name, h, m, s] : rows) {
        SCOPED_TRACE(name);
        QTimeEdit* edit = control<QTimeEdit>(*window, name);
        edit->setTime(QTime(7, 5, 0));
        EXPECT_EQ(texts({h, m, s}), QStringList({"7", "5", "0"}));
        type(m, "45");
        EXPECT_EQ(edit->time(), QTime(7, 45, 0)); // the picker shows what is typed
    }
}

// On an empty database, without a message (a missing one is where every EditingTest and
// ReportsWindowTest starts). Boxes take two characters; the copies boxes show one; the race details
// lie beyond the list's right edge until it is scrolled; hidden holders are never shown and the
// frames start right.
TEST_F(CalculatorTest, ControlsStartAsTheFormHasThem) {
    makeDatabase({});
    Pellamy& w = open();
    EXPECT_EQ(list("racepoint")->count(), 0);
    EXPECT_EQ(list("member")->count(), 0);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(picker("DayClockSet")->date(), today.addDays(-1));
    for (const char* name : {"RaceDay", "DayClockOpen", "DaybirdClocked"})
        EXPECT_EQ(picker(name)->date(), today) << name;
    EXPECT_EQ(list("comcol")->count(), 18);
    EXPECT_EQ(w.windowTitle(), "");
    for (const char* name : {"MTSetHr", "birdlibmins", "HOLhr"}) {
        type(name, "123");
        EXPECT_EQ(box(name)->text(), "12") << name;
    }
    EXPECT_EQ(texts({"txtcopies", "txtcopies2"}), QStringList({"1", "1"}));
    // Larger than the test's screen, it fits the screen, its form scrolling.
    const QRect area = w.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(w.frameGeometry().topLeft()) && w.width() <= area.width() &&
                w.height() <= area.height());

    QHeaderView* header = control<QTreeView>(w, "ListView1")->header();
    EXPECT_EQ(w.entries().headerData(Col::RingNo, Qt::Horizontal).toString(), "Ring No.");
    EXPECT_GE(header->sectionViewportPosition(18),
              control<QTreeView>(w, "ListView1")->viewport()->width());
    EXPECT_EQ(control<QLabel>(w, "Label12")->text().size(), 250);
    // At a large desktop font each group's caption still fits over its columns, which keep their
    // widths; a column dragged narrow makes no caption smaller.
    auto* captions = control<GroupCaptions>(w, "Label12");
    const int birdColumn = columnGroups()[2].first, birdWidth = header->sectionSize(birdColumn);
    header->resizeSection(birdColumn, 8);
    EXPECT_EQ(captions->captionFont(), captions->font());
    header->resizeSection(birdColumn, birdWidth);
    QFont large = captions->font();
    large.setPointSize(16);
    captions->setFont(large);
    for (std::size_t i = 0; i < columnGroups().size(); ++i)
        EXPECT_LE(QFontMetrics(captions->captionFont())
                      .horizontalAdvance(QString::fromLatin1(columnGroups()[i].caption)),
                  captions->groupRect(int(i)).width())
            << columnGroups()[i].caption;

    // The captions that wrap stand whole on their buttons, clear of a copies box inside one.
    for (const char* name : {"cmdremove", "CmdClear", "CmdPrint", "Clubprint"}) {
        const auto* button = control<QPushButton>(w, name);
        const auto* copies = button->findChild<QLineEdit*>();
        const int room = (copies ? copies->x() : button->width()) - 12;
        const QRect caption = button->fontMetrics().boundingRect(
            QRect(0, 0, room, 1000), Qt::TextWordWrap, button->text().trimmed());
        EXPECT_TRUE(caption.width() <= room && caption.height() <= button->height() - 8) << name;
    }

    // A screen reader names each box it can reach, each one otherwise (on
    // Linux a list box by the label it is the buddy of).
    QStringList spoken;
    for (QWidget* c : w.findChildren<QWidget*>())
        if (c->isVisible() && (c->focusPolicy() & Qt::TabFocus) && !c->objectName().isEmpty() &&
            !c->objectName().startsWith("qt_") && !qobject_cast<QScrollArea*>(c) &&
            (qobject_cast<QLineEdit*>(c) || qobject_cast<QAbstractSpinBox*>(c) ||
             qobject_cast<QComboBox*>(c) || qobject_cast<QAbstractScrollArea*>(c)))
            spoken << (qobject_cast<QComboBox*>(c)
                           ? c->accessibleName()
                           : QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name));
    EXPECT_EQ(spoken.size(), 47);
    EXPECT_FALSE(spoken.contains(QString()));
    EXPECT_EQ(QSet<QString>(spoken.begin(), spoken.end()).size(), spoken.size())
        << spoken.join(", ").toStdString();
    QStringList colourLabels; // its frame's caption too
    for (const auto& [label, relation] :
         QAccessible::queryAccessibleInterface(list("comcol"))->relations(QAccessible::Label))
        colourLabels << label->text(QAccessible::Name);
    EXPECT_TRUE(colourLabels.contains("Colour ..........."))
        << colourLabels.join(", ").toStdString();

    for (const char* name : {"sixtieths", "variation", "birdlibsecs", "txtdateset", "midnight"})
        EXPECT_FALSE(box(name)->isVisible()) << name;
    EXPECT_FALSE(frame("Frame5")->isVisible());
    EXPECT_TRUE(frame("Frame10")->isVisible());
    EXPECT_FALSE(frame("Frame11")->isVisible());
}
