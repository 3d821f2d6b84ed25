// Entering birds as a results secretary does on a club night: from the
// keyboard, with the mouse wheel never changing what is not being edited,
// and nothing on the window moving under the pointer.
#include "calculatorfixture.h"

#include "calc/raceentry.h"

#include <map>

namespace {

class EntryTest : public CalculatorTest {
protected:
    void SetUp() override {
        makeDatabase({{"J. Smith", "Berwick", "150", "1234", "15914040"},
                      {"A. Brown", "Berwick", "248", "880", "26241600"}});
        open();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        choose(list("member"), list("member")->findText("J. Smith"));
        enterWorkedExample(*window);
    }

    // Keys typed into whatever has the keyboard focus.
    static void keys(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    static void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
    static QString focusName() {
        for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                return w->objectName();
        return QString();
    }
    static void wheel(QWidget* w) {
        QWheelEvent up(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, 120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &up);
    }
    // A click on a picker's text, x from its left edge.
    static void clickAt(QDateTimeEdit* picker, int x) {
        QTest::mouseClick(picker->findChild<QLineEdit*>(), Qt::LeftButton, {},
                          QPoint(x, picker->height() / 2));
        QCoreApplication::processEvents();
    }
    // Makes another window active, does what happens meanwhile, then makes this one active again.
    void awayAndBack(const std::function<void()>& meanwhile = [] {}) {
        QWidget other;
        for (QWidget* active : {&other, static_cast<QWidget*>(window.get())}) {
            active->show();
            active->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(active));
            if (active == &other)
                meanwhile();
        }
    }
};

} // namespace

TEST_F(EntryTest, ABirdIsEnteredFromTheKeyboardAlone) {
    picker("DTPicker7")->setFocus();
    // The clock reading, then Tab through the bird's own fields to CALCULATE.
    keys("114530");
    const char* const steps[][2] = {{"ringno", "GB06N12345"}, {"Rubin", "12"}, {"Rubout", "345"},
                                    {"comcol", ""},           {"Check3", " "}, {"Check4", ""},
                                    {"Check1", " "},          {"Check2", ""},  {"Picture1", ""}};
    for (const auto& [name, typed] : steps) {
        key(Qt::Key_Tab);
        ASSERT_EQ(focusName(), name);
        keys(typed);
    }
    // Another window is active while the bird is clocked, as the question on the screen is: the
    // focus comes back to the picker with the window, and the next bird's figures start afresh.
    ASSERT_NO_FATAL_FAILURE(awayAndBack([&] {
        dialogs.answerYesNo(true);
        QTest::keyClick(control<QAbstractButton>(*window, "Picture1"), Qt::Key_Space);
    }));
    ASSERT_EQ(window->entries().count(), 1);
    const QStringList bird = window->entries().entry(0);
    EXPECT_EQ((QStringList{bird[Col::BirdClocked], bird[Col::RingNo], bird[Col::RubberIn],
                           bird[Col::RubberOut], bird[Col::Sex], bird[Col::PoolNom]}),
              (QStringList{"11-45-30", "GB06N12345", "12", "345", "C", "P"}));

    // Yes: the next bird's time is typed at once (the keys below go to the picker), and the
    // member's name stands where the hidden list stood (it is shown only while the list is hidden).
    auto* name = box("membershown");
    EXPECT_TRUE(name->isVisible() && name->isReadOnly());
    EXPECT_EQ(name->text(), "J. Smith");
    EXPECT_EQ(name->geometry(), list("member")->geometry());
    keys("11:50:02");
    EXPECT_EQ(texts({"birdclockhrs", "birdclockmins", "birdclocksecs"}),
              QStringList({"11", "50", "2"}));
    dialogs.answerYesNo(false);
    control<QAbstractButton>(*window, "Picture1")->setFocus();
    key(Qt::Key_Return); // CALCULATE by Return this time: the press animates first
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->entries().count() == 2; }, 5000));
    EXPECT_FALSE(name->isVisible());    // No: the list is back
    box("birdclockhrs")->setText("24"); // a time the picker cannot show (the last bird's)
    keys("A");           // letters choose the next member, not run on from the last name
    key(Qt::Key_Return); // and Enter goes on to the bird's time, typed whole over it
    EXPECT_EQ(list("member")->currentText(), "A. Brown");
    const auto clocked = {"birdclockhrs", "birdclockmins", "birdclocksecs"};
    keys("2405");
    for (int i = 0; i < 4; ++i) // every figure taken back: asked for again
        key(Qt::Key_Backspace);
    EXPECT_EQ(texts(clocked), QStringList({"24", "50", "2"}));
    key(Qt::Key_Shift); // as a keyboard that needs it for figures sends it
    keys("240530");     // an hour past 23 again
    key(Qt::Key_Tab);
    EXPECT_EQ(texts(clocked), QStringList({"24", "5", "30"}));
    EXPECT_EQ(focusName(), "ringno");
}

// Enter on a name that is no member (a letter typed onto the name chosen)
// says so, and the name is chosen whole to be typed over; the next bird's
// time is not typed into it.
TEST_F(EntryTest, EnterOnANameThatIsNoMemberSaysSo) {
    list("member")->setFocus();
    QTest::keyClick(list("member")->lineEdit(), Qt::Key_End);
    keys("J");
    key(Qt::Key_Return);
    EXPECT_EQ(takeMessage(), "There is no distance for J. SmithJ from Berwick. Please choose the "
                             "member from the list.");
    EXPECT_EQ(focusName(), "member");
    EXPECT_EQ(list("member")->lineEdit()->selectedText(), "J. SmithJ");
    list("member")->clear(); // no members listed: why was said when the race point was chosen
    list("member")->setEditText("J. SmithJ");
    key(Qt::Key_Return);
}

// A morning time without its leading zero; a figure that makes no time is
// refused, and the figures after it do not slide into its place.
TEST_F(EntryTest, AClockReadingTypedIsTakenAsTypedOrNotAtAll) {
    const auto clocked = {"birdclockhrs", "birdclockmins", "birdclocksecs"};
    const auto typedInto = [&](const QString& figures) {
        box("ringno")->setFocus();
        picker("DTPicker7")->setTime(QTime(12, 0));
        picker("DTPicker7")->setFocus();
        for (const QChar figure : figures) // as a keyboard of any script sends it
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                QString(figure), Qt::NoModifier);
        return texts(clocked);
    };
    EXPECT_EQ(typedInto("93015"), QStringList({"9", "30", "15"}));
    EXPECT_EQ(typedInto("235959"), QStringList({"23", "59", "59"})); // the last second of a day
    EXPECT_EQ(typedInto("\u0661\u0660\u0663\u0660"), QStringList({"10", "30", "0"})); // not 00:00
    EXPECT_EQ(typedInto("\uFF11\uFF1A\uFF13\uFF10"), QStringList({"1", "30", "0"}));  // full width
    box("ringno")->setFocus(); // as an input method hands them over, at once
    picker("DTPicker7")->setFocus();
    QInputMethodEvent composed;
    composed.setCommitString("\uFF12\uFF1A\uFF10\uFF15");
    QApplication::sendEvent(QApplication::focusWidget(), &composed);
    EXPECT_EQ(texts(clocked), QStringList({"2", "5", "0"}));
    EXPECT_EQ(typedInto("240015"), QStringList({"2", "0", "0"}));
    key(Qt::Key_Tab); // nor is the time carried on until the figure is put right
    EXPECT_EQ(focusName(), "DTPicker7");
    EXPECT_TRUE(QToolTip::text().startsWith("\"240015\" is not a time: hours")); // not 02:00:00
    typedInto("1234567");
    EXPECT_TRUE(QToolTip::text().startsWith("\"1234567\" is not a time: there are more figures"));
    key(Qt::Key_Backspace); // 12:34:56 taken, and kept as the picker is left
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::text().isEmpty(); }));
    key(Qt::Key_Tab);
    EXPECT_EQ(texts(clocked), QStringList({"12", "34", "56"}));
    typedInto("1"); // every figure taken back: the time shown before, not midnight
    key(Qt::Key_Backspace);
    key(Qt::Key_Tab);
    EXPECT_EQ(texts(clocked), QStringList({"12", "0", "0"}));

    // Left by a click, figures refused stand in the boxes as typed, for
    // CALCULATE to refuse: never the time last taken, nor one nobody typed.
    const std::pair<const char*, QStringList> left[] = {{"240015", {"24", "00", "15"}},
                                                        {"1005059", {"1005059", "", ""}},
                                                        {"10:05:059", {"10:05:059", "", ""}}};
    for (const auto& [figures, shown] : left) {
        typedInto(figures);
        box("ringno")->setFocus(Qt::MouseFocusReason);
        EXPECT_EQ(texts(clocked), shown) << figures;
    }
    // Boxes that hold what the picker cannot show stay in view, and Tab
    // passes the focus on to the next control; the next bird's time asked
    // for (after Yes), it is typed over them.
    picker("DTPicker7")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(focusName(), "ringno");
    picker("DTPicker7")->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(focusName(), "birdclockhrs");
    // A click on the picker over figures refused opens the boxes holding them.
    typedInto("1260");
    clickAt(picker("DTPicker7"), 4);
    EXPECT_EQ(focusName(), "birdclockhrs");
    EXPECT_EQ(texts(clocked), QStringList({"12", "60", "0"}));
}

// A date is typed after one click on it, as after Tab, whatever month the picker showed: a day the
// month shown lacks waits for the month typed after it, a separator or Tab after a part the picker
// moved on from by itself does not skip the next, and a date that never is leaves the date shown as
// it was. (\b is Backspace, D Delete, S Shift alone, as a keyboard that needs it for figures sends
// it, \t Tab, < Shift+Tab, v the down arrow, L the left arrow, \r Enter, \x1b Escape, P the whole
// date pasted over, A another window made active and then this one again.)
TEST_F(EntryTest, ADateIsTypedAfterOneClickWhateverMonthItShowed) {
    auto* day = control<QDateTimeEdit>(*window, "DaybirdClocked");
    const QDate nov(2026, 11, 1), feb(2026, 2, 1), leapFeb(2028, 2, 1);
    std::vector<std::tuple<QDate, const char*, QDate>> cases = {
        {nov, "04122026", {2026, 12, 4}},     {nov, "31102027", {2027, 10, 31}},
        {nov, "3112", {2026, 12, 31}},        {nov, "29022028", {2028, 2, 29}},
        {nov, "29022028\r", {2028, 2, 29}},   {nov, "311/2027", {2027, 1, 31}},
        {nov, "311\r", {2026, 1, 31}},        {nov, "311\b102026", {2026, 10, 31}},
        {nov, "08/12/2027", {2027, 12, 8}},   {nov, "08\t12\t2027", {2027, 12, 8}},
        {nov, "31/10/2026", {2026, 10, 31}},  {feb, "31032026", {2026, 3, 31}},
        {feb, "30042027", {2027, 4, 30}},     {feb, "3/4/2026", {2026, 4, 3}},
        {nov, "2\b910", {2026, 10, 9}},       {nov, "31<v", {2026, 11, 29}},
        {nov, "31112026", {2026, 11, 1}},     {nov, "3111\x1b", {2026, 11, 1}},
        {nov, "3111L", {2026, 11, 1}},        {nov, "31P", {2026, 10, 15}},
        {nov, "31", {2026, 11, 1}},           {feb, "S3S1S0S3S2S0S2S6", {2026, 3, 31}},
        {nov, "08S/12S/2027", {2027, 12, 8}}, {feb, "3\b28/1/2027", {2027, 1, 28}},
        {nov, "1.2.2027", {2027, 2, 1}},      {nov, "31 1 2027", {2027, 1, 31}},
        {nov, "29022029\b8", {2028, 2, 29}},  {nov, "3D1102026", {2026, 10, 31}},
        {nov, "31A12", {2026, 12, 31}},       {leapFeb, "29022027", leapFeb},
        {leapFeb, "29022032", {2032, 2, 29}}};
    // Figures of other scripts, one date to a line.
    cases.insert(cases.end(),
                 {{nov, "\u0663\u0661\u0661\u0660\u0662\u0660\u0662\u0667", {2027, 10, 31}},
                  {nov, "\uFF13\uFF11\uFF11\uFF12", {2026, 12, 31}},
                  {nov, "\u0660\u0664\u0661\u0662\u0662\u0660\u0662\u0666", {2026, 12, 4}}});
    const std::map<char, Qt::Key> keyOf = {
        {'\b', Qt::Key_Backspace}, {'D', Qt::Key_Delete},  {'S', Qt::Key_Shift},
        {'\t', Qt::Key_Tab},       {'<', Qt::Key_Backtab}, {'v', Qt::Key_Down},
        {'L', Qt::Key_Left},       {'\r', Qt::Key_Return}, {'\x1b', Qt::Key_Escape}};
    QGuiApplication::clipboard()->setText("15/10/2026");
    const auto typedOver = [&](QDate shown, const char* typed) {
        day->setDate(shown);
        clickAt(day, 6);
        for (const QChar c : QString::fromUtf8(typed)) { // as typed, one key at a time
            if (c == u'P')
                for (const Qt::Key k : {Qt::Key_A, Qt::Key_V})
                    QTest::keyClick(QApplication::focusWidget(), k, Qt::ControlModifier);
            else if (c == u'A')
                awayAndBack();
            else if (c.unicode() < 128 && keyOf.count(char(c.unicode())))
                key(keyOf.at(char(c.unicode())));
            else // as a keyboard of any script sends it
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                    QString(c), Qt::NoModifier);
            QCoreApplication::processEvents();
        }
        for (int part = 0; part < 3 && day->hasFocus(); ++part)
            key(Qt::Key_Tab);
        return day->date();
    };
    for (const auto& [shown, typed, date] : cases)
        EXPECT_EQ(typedOver(shown, typed), date) << typed;
    // A desktop set to Arabic, its pickers showing Arabic-Indic figures.
    day->setLocale(QLocale(QLocale::Arabic, QLocale::Egypt));
    for (const auto& [shown, typed, date] : cases)
        EXPECT_EQ(typedOver(shown, typed), date) << typed << " in Arabic";
    day->unsetLocale();
    // A date an input method hands over at once, in full-width figures.
    day->setDate(nov);
    clickAt(day, 6);
    QInputMethodEvent composing("\uFF13\uFF11", {}); // underlined while being put together
    QApplication::sendEvent(day, &composing);
    QInputMethodEvent composed;
    composed.setCommitString("\uFF13\uFF11\uFF0F\uFF11\uFF10\uFF0F\uFF12\uFF10\uFF12\uFF17");
    QApplication::sendEvent(day, &composed);
    key(Qt::Key_Tab);
    EXPECT_EQ(day->date(), QDate(2027, 10, 31));
    // Left by a click after typing, then come back to by Tab: Tab steps
    // through the day, month and year and leaves, as before.
    clickAt(day, 6);
    keys("3110");
    box("ringno")->setFocus(Qt::MouseFocusReason);
    day->setFocus(Qt::TabFocusReason);
    for (int part = 0; part < 3; ++part)
        key(Qt::Key_Tab);
    EXPECT_FALSE(day->hasFocus());
}

TEST_F(EntryTest, ADoubleClickOnAPickerOpensTheBoxBeneath) {
    QTimeEdit* masterSet = control<QTimeEdit>(*window, "DTPicker1");
    const QPoint middle(masterSet->width() / 2, masterSet->height() / 2);
    QTest::mouseDClick(masterSet->findChild<QLineEdit*>(), Qt::LeftButton, {}, middle);
    QTest::mouseRelease(masterSet->findChild<QLineEdit*>(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(focusName(), "MTSetMin"); // the middle of the picker
    EXPECT_TRUE(box("MTSetMin")->isVisible());
}

// A list and a picker: every list is guarded alike, and every picker.
TEST_F(EntryTest, TheWheelChangesOnlyWhatHasTheFocus) {
    QComboBox* member = list("member");
    QTimeEdit* masterSet = control<QTimeEdit>(*window, "DTPicker1");
    // With the focus, the wheel works as ever.
    const int memberAt = member->currentIndex();
    member->setFocus();
    wheel(member);
    EXPECT_NE(member->currentIndex(), memberAt);
    box("ringno")->setFocus();
    const int memberNow = member->currentIndex();
    const QTime set = masterSet->time();
    wheel(member);
    wheel(masterSet);
    EXPECT_EQ(member->currentIndex(), memberNow);
    EXPECT_EQ(masterSet->time(), set);
    // Where nothing scrolls, the focused picker takes the next turn at once;
    // on a form cut in height, a turn that scrolled it (from a caption, a box,
    // a gap) goes on scrolling when the focused picker slides under the pointer.
    masterSet->setFocus();
    wheel(masterSet);
    EXPECT_NE(masterSet->time(), set);
    window->resize(420, 300);
    QCoreApplication::processEvents(); // the form is laid out anew
    const QTime now = masterSet->time();
    wheel(window->findChild<QScrollArea*>()->viewport());
    wheel(masterSet);
    EXPECT_EQ(masterSet->time(), now);
}

// Coming back to the window (from another program, or a message closed)
// keeps the form where the user scrolled it.
TEST_F(EntryTest, ComingBackKeepsTheFormAsScrolled) {
    window->resize(420, 300);
    QCoreApplication::processEvents();
    QScrollBar* upDown = window->findChild<QScrollArea*>()->verticalScrollBar();
    box("mtdetailrake")->setFocus();
    ASSERT_GT(upDown->value(), 0);
    upDown->setValue(0);
    ASSERT_NO_FATAL_FAILURE(awayAndBack());
    EXPECT_EQ(QApplication::focusWidget(), box("mtdetailrake"));
    EXPECT_EQ(upDown->value(), 0);
}

TEST_F(EntryTest, EditTakesTheCommentsPlaceWithoutMovingAnythingAndClockingGivesItBack) {
    QWidget* watched[] = {frame("Frame10"), control<QWidget>(*window, "ListView1"),
                          control<QWidget>(*window, "Picture1"), frame("Frame9")};
    QVector<QRect> before;
    for (QWidget* w : watched)
        before << w->geometry();
    click("Command1"); // Edit
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame("Frame11")->isVisible(); }));
    EXPECT_EQ(frame("Frame11")->geometry(), before[0]);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(watched[i]->geometry(), before[i]) << watched[i]->objectName().toStdString();
    EXPECT_FALSE(frame("Frame10")->isVisible());
    clock(); // the comments are back
    EXPECT_TRUE(frame("Frame10")->isVisible());
    EXPECT_FALSE(frame("Frame11")->isVisible());
}

TEST_F(EntryTest, TabOrderFollowsTheWindowsOrder) {
    const char* order[] = {
        // Where a window opens; a bird entered from the keyboard: its time, its details, CALCULATE.
        "DTPicker7",    "ringno",        "Rubin",         "Rubout",     "comcol",
        "Check3",       "Check4",        "Check1",        "Check2",     "Picture1",
        "birdclockhrs", "birdclockmins", "birdclocksecs", "MTSetHr",    "MTSetMin",
        "MTSetSec",     "MTRakeHr",      "MTRakeMin",     "MTRakeSec",  "CrHr",
        "CrMin",        "CrSec",         "CsHr",          "CsMin",      "CsSec",
        "ListView1",    "mtdetailset",   "mtdetailrake",  "mtreadset",  "mtreadrake",
        "txtwind",      "txtbirds",      "txtmember",     "birdlibhrs", "birdlibmins",
        "HOLmin",       "HOLhr",         "HODmin",        "HODhr",      "CmdClear",
        "cmdopen",      "CmdPrint",      "txtcopies",     "cmdremove",  "cmdsave",
        "Clubprint",    "txtcopies2",    "txtcomments",   "CmdExit",    "racepoint",
        "DTPicker4",    "DTPicker5",     "DTPicker6",     "member",     "DTPicker1"};
    // In a window smaller than the form, each stop is brought into view
    // whole, or from its top left where it is larger than the view.
    window->resize(420, 300);
    const QWidget* view = window->findChild<QScrollArea*>()->viewport();
    for (const char* name : order) {
        ASSERT_EQ(focusName(), name);
        QWidget* focus = QApplication::focusWidget();
        const QRect whole(focus->mapTo(view, QPoint(0, 0)), focus->size());
        const bool large = whole.width() > view->width() || whole.height() > view->height();
        const QRect seen = large ? QRect(whole.topLeft(), QSize(1, 1)) : whole;
        EXPECT_TRUE(name == order[0] || view->rect().contains(seen)) << name;
        // A picker steps through its own parts before passing the focus on.
        for (int part = 0; part < 4 && QApplication::focusWidget() == focus; ++part)
            QTest::keyClick(focus, Qt::Key_Tab);
    }
}
