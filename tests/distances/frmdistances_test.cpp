#include "distances/editor/frmdistances.h"
#include "platform/lengthlimit.h"

#include "support/dialogcheck.h"
#include "support/distancedb.h"
#include "support/readonly.h"

#include <gmock/gmock.h>

#include <QSqlQuery>
#include <QToolTip>

namespace {

// The entry boxes in order: name, race point, miles, yards and the hidden sixtieths.
const char* const boxes[] = {"txtFields(0)", "txtFields(1)", "miles", "yards", "txtFields(4)"};

class DistancesEditorTest : public DialogTest {
protected:
    // A window on a database of the rows given (none: on no database).
    std::unique_ptr<frmdistances> open(std::optional<QVector<Row>> rows = std::nullopt) {
        if (rows)
            makeDistanceDatabase(path(), *rows);
        auto window = std::make_unique<frmdistances>(dir.path(), &dialogs);
        window->show();
        return window;
    }
    QVector<QStringList> rows() const { return distanceRows(path()); }

    static QLineEdit* box(frmdistances& w, const char* name) { return control<QLineEdit>(w, name); }
    // A button, or one of the data control's record arrows.
    static void click(frmdistances& w, const char* name) {
        QTest::mouseClick(control<QAbstractButton>(w, name), Qt::LeftButton);
    }
    // Types the text over what the box held, then presses the button given.
    static void retype(frmdistances& w, const char* name, const QString& text,
                       const char* then = nullptr) {
        box(w, name)->selectAll();
        QTest::keyClick(box(w, name), Qt::Key_Delete);
        QTest::keyClicks(box(w, name), text);
        if (then)
            click(w, then);
    }
    // Retypes name, race point, miles and yards, then presses the button given.
    static void typeRecord(frmdistances& w, const QStringList& texts, const char* then) {
        for (int i = 0; i < texts.size(); ++i)
            retype(w, boxes[i], texts[i]);
        click(w, then);
    }
    // Name, race point, miles, yards and sixtieths as the boxes show them.
    static QStringList fields(frmdistances& w) {
        return {box(w, "txtFields(0)")->text(), box(w, "txtFields(1)")->text(),
                box(w, "miles")->text(), box(w, "yards")->text(), box(w, "txtFields(4)")->text()};
    }
    static QString caption(frmdistances& w) { return control<DataControl>(w, "Data1")->caption(); }
    // The caption and the name and race point shown.
    static QString where(frmdistances& w) {
        return caption(w) + ' ' + fields(w).mid(0, 2).join(' ');
    }
    // Presses the button, then says where the window stands.
    static QString after(frmdistances& w, const char* button) {
        click(w, button);
        return where(w);
    }
};

const QVector<Row> threeRecords = {{"Smith", "Thurso", "412", "17", "43508220"},
                                   {"Brown", "Berwick", "248", "880", "26241600"},
                                   {"Smith", "Berwick", "250", "1234", "26474040"}};

} // namespace

TEST_F(DistancesEditorTest, OpensOnTheFirstRecordByNameThenRacePointAndDeleteShowsTheNext) {
    auto w = open(threeRecords);
    EXPECT_EQ(caption(*w), "Record: 1");
    EXPECT_EQ(fields(*w), QStringList({"Brown", "Berwick", "248", "880", "26241600"}));
    EXPECT_EQ(after(*w, "Next"), "Record: 2 Smith Berwick");
    EXPECT_EQ(after(*w, "Last"), "Record: 3 Smith Thurso");
    EXPECT_EQ(after(*w, "Next"), "Record: 3 Smith Thurso"); // stays on the last
    EXPECT_EQ(after(*w, "First"), "Record: 1 Brown Berwick");
    click(*w, "Last");
    EXPECT_EQ(after(*w, "cmdDelete"), "Record: 2 Smith Berwick"); // the last: the new last shown
    click(*w, "First");
    EXPECT_EQ(after(*w, "cmdDelete"), "Record: 1 Smith Berwick");
    click(*w, "cmdDelete");
    EXPECT_EQ(caption(*w), "Record: 0");
    click(*w, "cmdDelete"); // none left: nothing happens
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(DistancesEditorTest, AddingARecordStoresItsSixtiethsAndShowsIt) {
    auto w = open(threeRecords);
    click(*w, "cmdAdd");
    EXPECT_EQ(caption(*w), "Record: 0");
    EXPECT_EQ(fields(*w), QStringList({"", "", "", "", ""}));
    // Refused here, where it can be put right, not found on race night.
    const std::pair<QStringList, const char*> refused[] = {
        {{"Smith", " ", "1", "0"}, "A race point must be typed."},
        {{"Smith", "Dover", "-1", "0"}, "Miles must not be below nought."},
        {{"smith", "THURSO", "1", "0"},
         "smith already has a distance from THURSO in another record, so this one has not been "
         "saved: with two, the calculator would take none of that member's birds. Please change "
         "the one already kept."},
        // Last, for what follows: no miles yet, and the blank after Dover a slip.
        {{"Smith, O'Brien", "Dover ", "", "880"},
         "Miles must be a number. The record has not been saved."}};
    for (const auto& [texts, why] : refused) {
        typeRecord(*w, texts, "cmdUpdate");
        EXPECT_THAT(takeMessage().toStdString(), testing::StartsWith(why));
    }
    EXPECT_EQ(rows().size(), 3);

    QTest::keyClicks(box(*w, "miles"), "100");
    // Cells pasted from a spreadsheet bring tabs and a line break, past the name's limit of 20.
    box(*w, "txtFields(0)")->selectAll();
    // A non-breaking space pasted in a name is stored as a blank, lest the name look alike but
    // be another's.
    QGuiApplication::clipboard()->setText("Smith, O'Brien\xC2\xA0& Son\tDover\t100\r\n");
    box(*w, "txtFields(0)")->paste();
    // One longer still is refused whole, and the box says why.
    QGuiApplication::clipboard()->setText("Smith, O'Brien & Sons");
    box(*w, "txtFields(0)")->selectAll();
    box(*w, "txtFields(0)")->paste();
    QCoreApplication::processEvents();
    EXPECT_EQ(QToolTip::text(), "This box takes at most 20 characters.");
    QToolTip::hideText(); // a longer text shown by the program is not refused aloud
    box(*w, "yards")->setText(QString(60, '1'));
    QCoreApplication::processEvents();
    EXPECT_EQ(QToolTip::text(), "");
    box(*w, "yards")->setText("880");
    click(*w, "cmdUpdate");
    const QStringList stored = {"Smith, O'Brien & Son", "Dover", "100", "880", "10612800"};
    EXPECT_EQ(rows().last(), stored);
    EXPECT_EQ(fields(*w), stored);
    EXPECT_EQ(caption(*w), "Record: 4"); // after Brown and both of Smith's

    // A distance put right in one of two rows a file already holds is saved.
    execSql(path(), "INSERT INTO Distances SELECT * FROM Distances WHERE Name = 'Brown'");
    auto again = open();
    retype(*again, "miles", "249", "cmdUpdate");
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(rows()[1][2], "249");
    // Changed into a pair another record holds: refused as one added would be.
    retype(*again, "txtFields(0)", "smith", "cmdUpdate");
    EXPECT_TRUE(takeMessage().startsWith("smith already has a distance from Berwick"));
    EXPECT_EQ(rows()[1][0], "Brown");
    // A pair another program added since the window read the records: the
    // record the refusal names can be stepped to.
    QTest::keyClick(box(*again, "txtFields(0)"), Qt::Key_Escape);
    execSql(path(), "INSERT INTO Distances VALUES ('Zed', 'Ayr', '1', '0', '105600')");
    click(*again, "cmdAdd");
    typeRecord(*again, {"Zed", "Ayr", "2", "0"}, "cmdUpdate");
    EXPECT_TRUE(takeMessage().startsWith("Zed already has a distance from Ayr"));
    QTest::keyClick(box(*again, "txtFields(0)"), Qt::Key_Escape);
    EXPECT_EQ(after(*again, "Last"), "Record: 6 Zed Ayr");
}

TEST_F(DistancesEditorTest, MovingOntoARecordDeletedElsewhereShowsTheOneNowInItsPlace) {
    auto w = open(threeRecords);
    execSql(path(), "DELETE FROM Distances WHERE Name = 'Smith' AND Racepoint = 'Berwick'");
    EXPECT_EQ(after(*w, "Next"), "Record: 2 Smith Thurso");
    EXPECT_EQ(after(*w, "Previous"), "Record: 1 Brown Berwick");
}

TEST_F(DistancesEditorTest, MovingSavesPendingEditsOrRefusesWhenTheyAreNoNumber) {
    auto w = open(threeRecords);
    // Renamed, Brown goes to the end; Next still shows the record after it.
    retype(*w, "txtFields(0)", "Taylor");
    QTest::keyClick(box(*w, "txtFields(0)"), Qt::Key_PageDown); // the arrows by keyboard too
    EXPECT_EQ(where(*w), "Record: 1 Smith Berwick");
    QTest::keyClick(box(*w, "txtFields(0)"), Qt::Key_PageDown, Qt::ControlModifier);
    retype(*w, "txtFields(0)", "Brown ", "First");
    EXPECT_EQ(where(*w), "Record: 1 Brown Berwick"); // stored without the blank typed after it
    retype(*w, "miles", "249", "Next");
    EXPECT_EQ(rows()[1], QStringList({"Brown", "Berwick", "249", "880", "26347200"}));
    EXPECT_EQ(caption(*w), "Record: 2");

    retype(*w, "yards", "far", "Next");
    EXPECT_EQ(takeMessages(),
              QStringList({"Yards must be a number. The record has not been saved."}));
    EXPECT_EQ(caption(*w), "Record: 2");
    EXPECT_EQ(box(*w, "yards")->text(), "far"); // nothing typed is lost
    EXPECT_EQ(rows()[2][3], "1234");

    retype(*w, "yards", "1000", "cmdClose"); // closing keeps typed changes as moving does
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(rows()[2][3], "1000");
}

// A missing database is said, and made empty only on a Yes (the program
// copied without it); a foreign one is left alone.
TEST_F(DistancesEditorTest, MissingOrForeignDatabaseIsReportedAndLeftAlone) {
    for (const bool make : {false, true}) {
        dialogs.answerYesNo(make);
        auto w = open();
        const QStringList seen = shown(); // the data control's report has no title
        ASSERT_EQ(seen.size(), 2);
        EXPECT_TRUE(seen[0].startsWith("message||Data error event hit err:Could not find"));
        EXPECT_TRUE(seen[1].startsWith("question|Pellamy|There is no distances.mdb in "));
        EXPECT_EQ(fields(*w), QStringList({"", "", "", "", ""}));
        EXPECT_EQ(caption(*w), "Record: 0");
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(QFileInfo::exists(path()), make);
        dialogs.clear();
    }
    auto made = open(); // what is typed now is kept
    typeRecord(*made, {"Ann Hale", "Dover", "1", "0"}, "cmdClose");
    EXPECT_EQ(rows(), (QVector<QStringList>{{"Ann Hale", "Dover", "1", "0", "105600"}}));
    QFile::remove(path());
    const QByteArray garbage("this is not a database\r\n");
    writeFile(path(), garbage);
    auto w = open(); // said once, and nothing typed is taken
    EXPECT_EQ(takeMessages(),
              QStringList({"distances.mdb is neither a Pellamy distance database nor "
                           "an Access database. The file has not been changed."}));
    EXPECT_TRUE(box(*w, "txtFields(0)")->isReadOnly());
    EXPECT_FALSE(control<QPushButton>(*w, "cmdUpdate")->isEnabled());
    EXPECT_EQ(fileBytes(path()), garbage);
    // A Distances another program made a view: said, and nothing typed is taken.
    makeDistanceDatabase(path(), {{"Ann Hale", "Dover", "1", "0", "105600"}});
    execSql(path(), "ALTER TABLE Distances RENAME TO Kept");
    execSql(path(), "CREATE VIEW Distances AS SELECT * FROM Kept");
    auto view = open();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(takeMessages()[0].contains("cannot be told apart"));
    EXPECT_FALSE(control<QPushButton>(*view, "cmdUpdate")->isEnabled());

    // Missing from a folder Pellamy may not write in: said, nothing asked.
    QFile::remove(path());
    READ_ONLY_OR_SKIP(readOnly, dir.path());
    open();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(
        takeMessages()[1].endsWith("Pellamy may not write there to make one. Please put Pellamy, "
                                   "with the club's distances.mdb, in a folder of your own."));
}

TEST_F(DistancesEditorTest, ControlsLimitsAndTabOrder) {
    auto w = open(threeRecords);
    const int limits[] = {20, 15, 50, 50, 9}; // of the boxes in their order
    for (size_t i = 0; i < std::size(boxes); ++i)
        EXPECT_EQ(typingLimit(box(*w, boxes[i])), limits[i]) << boxes[i];
    EXPECT_FALSE(box(*w, "txtFields(4)")->isVisible());
    // The record arrows are drawn pictures: no font has to hold them.
    for (const char* name : {"First", "Previous", "Next", "Last"}) {
        const QToolButton* b = control<QToolButton>(*w, name);
        EXPECT_TRUE(b && b->text().isEmpty() && !b->icon().isNull()) << name;
    }
    const auto picture = [&](const char* name) {
        return control<QToolButton>(*w, name)->icon().pixmap(16, 16).toImage();
    };
    EXPECT_NE(picture("First"), picture("Previous")); // the first and last with a bar
    EXPECT_NE(picture("Last"), picture("Next"));
    // Drawn again in the button text's colour when the colours change.
    QPalette light = w->palette();
    light.setColor(QPalette::ButtonText, Qt::white);
    w->setPalette(light);
    const QImage arrow = picture("First");
    EXPECT_EQ(arrow.pixelColor(arrow.width() / 2, arrow.height() / 2).rgb(), qRgb(255, 255, 255));

    QStringList order;
    for (QWidget* widget = box(*w, "txtFields(0)"); order.size() < 8;
         widget = widget->nextInFocusChain())
        if (widget->isVisible() && widget->focusPolicy() != Qt::NoFocus)
            order << widget->objectName();
    EXPECT_EQ(order, QStringList({"txtFields(0)", "txtFields(1)", "miles", "yards", "cmdAdd",
                                  "cmdDelete", "cmdUpdate", "cmdClose"}));
}

TEST_F(DistancesEditorTest, LockedDatabaseReportsTheUpdateAndKeepsTheTypedRecord) {
    const QString inUse = "distances.mdb is in use by another program, so the record has not "
                          "been saved. Please try again in a moment. If a database program has "
                          "it open with changes not yet written, write or cancel them there first.";
    auto w = open(threeRecords);
    { // Another program holds the database locked for writing.
        SqlConnection other(path());
        QSqlQuery(other.db).exec("BEGIN EXCLUSIVE");
        retype(*w, "txtFields(0)", "Browne", "cmdUpdate");
        auto second = open(std::nullopt); // opened meanwhile: not shown as empty unsaid
        QSqlQuery(other.db).exec("ROLLBACK");
    }
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(dialogs.messages()[0], inUse);
    EXPECT_TRUE(takeMessages()[1].contains("the records could not be read. Please close this "
                                           "window and open it again in a moment."));
    EXPECT_EQ(box(*w, "txtFields(0)")->text(), "Browne");
    click(*w, "cmdUpdate"); // free again: saved now
    EXPECT_EQ(rows()[1][0], "Browne");
    { // A program reading it keeps the write from being finished: said so too.
        SqlConnection other(path());
        for (const char* statement : {"BEGIN", "SELECT count(*) FROM Distances"})
            QSqlQuery(other.db).exec(statement);
        retype(*w, "txtFields(0)", "Browner", "cmdUpdate");
    }
    EXPECT_EQ(takeMessage(), inUse);
    EXPECT_EQ(rows()[1][0], "Browne");
    click(*w, "cmdUpdate");
    EXPECT_EQ(rows()[1][0], "Browner");
}

TEST_F(DistancesEditorTest, StoredTextsLongerThanTheEntryLimitsAreShownWholeAndKeptSo) {
    // A name brought over from another program may be longer than the box
    // takes, and longer than a line edit holds of itself (32,767).
    const std::string name = "A Very Long Member Name Indeed" + std::string(40000, 'd');
    auto w = open({{{name.c_str(), "A Long Race Point Name", "1", "0", "105600"},
                    {"Z", "Y", "2", "0", "211200"}}});
    EXPECT_EQ(box(*w, "txtFields(0)")->text(), QString::fromStdString(name));
    click(*w, "Next"); // nothing was changed, so nothing is saved
    EXPECT_EQ(rows()[0][0], QString::fromStdString(name));
}

TEST_F(DistancesEditorTest, TwoWritersOnOneFileNeverWriteOverAnotherRecord) {
    auto a = open(threeRecords);
    const QString deleted = "This record has been deleted, by another window or another copy "
                            "of Pellamy, since it was shown here, so your change has not been "
                            "saved. The records are now shown as they are stored.";

    // Another program deletes Brown/Berwick while A shows it: A's change is never written, however
    // often A presses Update or moves.
    execSql(path(), "DELETE FROM Distances WHERE Name = 'Brown'");
    retype(*a, "miles", "777", "cmdUpdate");
    EXPECT_EQ(shown(), QStringList({"message|Pellamy|" + deleted}));
    EXPECT_EQ(fields(*a).mid(0, 3), QStringList({"Smith", "Berwick", "250"}));
    click(*a, "cmdUpdate");
    click(*a, "Next");
    EXPECT_EQ(rows(), (QVector<QStringList>{{"Smith", "Thurso", "412", "17", "43508220"},
                                            {"Smith", "Berwick", "250", "1234", "26474040"}}));

    // A second window changes Smith/Thurso while A shows it: A's change and delete are refused.
    auto b = open();
    click(*b, "Last");
    retype(*b, "yards", "18", "cmdUpdate");
    dialogs.clear();
    retype(*a, "txtFields(0)", "Smyth", "cmdUpdate");
    EXPECT_EQ(takeMessages(),
              QStringList({"This record has been changed, by another window or another copy "
                           "of Pellamy, since it was shown here, so your change has not "
                           "been saved. It is now shown as it is stored."}));
    EXPECT_EQ(fields(*a).mid(0, 4), QStringList({"Smith", "Thurso", "412", "18"}));
    EXPECT_EQ(rows()[0], QStringList({"Smith", "Thurso", "412", "18", "43508280"}));
    retype(*b, "yards", "19", "cmdUpdate");
    click(*a, "cmdDelete");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("so it has not been deleted"));
    EXPECT_EQ(rows().size(), 2);
}

TEST_F(DistancesEditorTest, WithNoCurrentRecordUpdateAddsTheTypedOne) {
    for (const bool emptied : {false, true}) { // an empty database; the last record deleted
        SCOPED_TRACE(emptied ? "last deleted" : "empty");
        auto w = open(emptied ? QVector<Row>{threeRecords[0]} : QVector<Row>{});
        if (emptied)
            click(*w, "cmdDelete");
        typeRecord(*w, {"Jones", "Ayr", "100", "880"}, "cmdUpdate");
        EXPECT_TRUE(dialogs.shown().isEmpty());
        EXPECT_EQ(rows(), QVector<QStringList>({{"Jones", "Ayr", "100", "880", "10612800"}}));
        EXPECT_EQ(caption(*w), "Record: 1");
    }
}

TEST_F(DistancesEditorTest, EscapeThrowsAwayTheEditAndCloseCanAlwaysLeave) {
    makeDistanceDatabase(path(), threeRecords);
    const QByteArray before = fileBytes(path());
    auto w = open();
    retype(*w, "miles", "999");
    QTest::keyClick(box(*w, "miles"), Qt::Key_Escape);
    EXPECT_EQ(fields(*w)[2], "248");
    click(*w, "cmdAdd");
    QTest::keyClicks(box(*w, "txtFields(0)"), "Half typed");
    QTest::keyClick(box(*w, "txtFields(0)"), Qt::Key_Escape);
    EXPECT_EQ(where(*w), "Record: 1 Brown Berwick");
    click(*w, "Last"); // Delete on a record being added throws it away too
    click(*w, "cmdAdd");
    typeRecord(*w, {"Half typed", "Ayr", "1", "0"}, "cmdDelete");
    EXPECT_EQ(where(*w), "Record: 3 Smith Thurso");

    // A record that cannot be saved: the user says whether to close without it.
    dialogs.answerYesNo(false);
    retype(*w, "yards", "far", "cmdClose");
    EXPECT_TRUE(w->isVisible());
    dialogs.answerYesNo(true);
    click(*w, "cmdClose");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(shown(), QStringList(2, "question|Pellamy|Yards must be a number. The record has "
                                      "not been saved.\n\nClose the window without saving it?"));
    EXPECT_EQ(dialogs.noByDefault().size(), 2); // Enter keeps the record typed
    EXPECT_EQ(fileBytes(path()), before);
}

TEST_F(DistancesEditorTest, AReadOnlyDatabaseGetsOnePlainMessageAndTheWindowCloses) {
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "read-only folder" : "read-only file");
        makeDistanceDatabase(path(), threeRecords);
        const QByteArray before = fileBytes(path());
        READ_ONLY_OR_SKIP(readOnly, folder ? dir.path() : path());
        auto w = open();
        dialogs.clear();
        retype(*w, "miles", "249", "cmdUpdate");
        EXPECT_EQ(takeMessages(),
                  QStringList({"distances.mdb cannot be changed: the file, or the folder "
                               "it is in, is read-only. The record has not been saved."}));
        dialogs.answerYesNo(true);
        w->close();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(fileBytes(path()), before);
    }
}

// Put back from a copy while the editor is open: said as replaced, not as read-only.
TEST_F(DistancesEditorTest, ADatabaseReplacedMeanwhileIsSaidSo) {
    makeDistanceDatabase(path(), threeRecords);
    auto w = open();
    dialogs.clear();
    makeDistanceDatabase(dir.filePath("copy.mdb"), threeRecords);
    ASSERT_EQ(std::rename(qPrintable(dir.filePath("copy.mdb")), qPrintable(path())), 0);
    retype(*w, "miles", "249", "cmdUpdate");
    EXPECT_THAT(takeMessage().toStdString(),
                testing::StartsWith("distances.mdb was replaced (by a copy put back, say), moved "
                                    "or deleted while it was open, so the record has not been "
                                    "saved."));
    w->closeWithoutSaving();
}

TEST_F(DistancesEditorTest, ADamagedDatabaseIsReportedOnceAndNeverWritten) {
    makeDamagedDatabase(path());
    const QByteArray before = fileBytes(path());
    const QString damaged = "distances.mdb is damaged, so the distances cannot all be read. "
                            "Pellamy has not changed it and will not write to it. Please close "
                            "Pellamy and put back your latest copy of distances.mdb.";
    auto w = open();
    EXPECT_EQ(dialogs.messages(), QStringList({damaged}));
    auto second = open(); // a second window: already said
    EXPECT_EQ(takeMessages().size(), 1);

    typeRecord(*w, {"Jones", "Point 1", "1", "1"}, "cmdUpdate"); // told why nothing is saved
    EXPECT_EQ(dialogs.messages(), QStringList({damaged}));
    click(*w, "cmdCoordinates"); // nor are coordinates or distances worked out
    EXPECT_EQ(dialogs.messages(), QStringList({damaged, damaged}));
    EXPECT_FALSE(w->findChild<QWidget*>("frmcoordinates"));
    EXPECT_EQ(fileBytes(path()), before);
}
