#pragma once
// A calculator window on a distance database in a temporary program folder,
// with scripted dialogs.

#include "calc/textforms.h"
#include "calculator/pellamy.h"
#include "racefile/recovery.h"

#include "support/dialogcheck.h"
#include "support/distancedb.h"

#include <memory>

// The four race dates, as the calendar and clock face read: clocks set,
// race day, bird clocked, clocks opened.
inline void setDates(const pellamy::Pellamy& w, const QDateTime& set, const QDateTime& race,
                     const QDateTime& bird, const QDateTime& open) {
    const std::pair<const char*, QDateTime> dates[] = {
        {"DayClockSet", set}, {"RaceDay", race}, {"DaybirdClocked", bird}, {"DayClockOpen", open}};
    for (const auto& [name, date] : dates)
        control<QDateTimeEdit>(w, name)->setDateTime(
            pellamy::clockFaceDateTime(date.date(), date.time()));
}

// The worked example race (calc/worked_example.h) as the user enters it:
// clocks set the evening before, opened on race day; no bird details yet.
inline void enterWorkedExample(const pellamy::Pellamy& w) {
    const QTime t(19, 45, 12);
    const QDateTime raceDay(QDate(2006, 5, 24), t);
    setDates(w, {QDate(2006, 5, 23), t}, raceDay, raceDay, raceDay);
    // clang-format off
    const std::pair<const char*, const char*> texts[] = {
        {"MTSetHr", "19"},      {"MTSetMin", "30"},      {"MTSetSec", "0"},
        {"CsHr", "19"},         {"CsMin", "30"},         {"CsSec", "2"},
        {"MTRakeHr", "19"},     {"MTRakeMin", "0"},      {"MTRakeSec", "0"},
        {"CrHr", "19"},         {"CrMin", "0"},          {"CrSec", "10"},
        {"birdclockhrs", "11"}, {"birdclockmins", "45"}, {"birdclocksecs", "30"},
        {"txtmember", "12"},    {"txtbirds", "240"},     {"txtwind", "SW"},
        {"mtdetailset", "Master clock 7"},  {"mtreadset", "19:30:00"},
        {"mtdetailrake", "Master clock 7"}, {"mtreadrake", "19:00:00"},
    };
    // clang-format on
    for (const auto& [name, text] : texts)
        control<QLineEdit>(w, name)->setText(QString::fromLatin1(text));
    control<QPlainTextEdit>(w, "txtcomments")->setPlainText(QStringLiteral("Good race"));
}

class CalculatorTest : public DialogTest {
protected:
    void makeDatabase(const QVector<Row>& rows) { makeDistanceDatabase(path(), rows); }

    pellamy::Pellamy& open() {
        window = std::make_unique<pellamy::Pellamy>(dir.path(), &dialogs);
        window->show();
        return *window;
    }

    // The window's controls by their names.
    QComboBox* list(const char* name) const { return control<QComboBox>(*window, name); }
    QGroupBox* frame(const char* name) const { return control<QGroupBox>(*window, name); }
    QCheckBox* tick(const char* name) const { return control<QCheckBox>(*window, name); }
    QDateTimeEdit* picker(const char* name) const { return control<QDateTimeEdit>(*window, name); }
    QLineEdit* box(const char* name) const { return control<QLineEdit>(*window, name); }
    QPlainTextEdit* comments() const { return control<QPlainTextEdit>(*window, "txtcomments"); }
    // The texts of boxes, in the order named.
    QStringList texts(std::initializer_list<const char*> names) const {
        QStringList out;
        for (const char* name : names)
            out << box(name)->text();
        return out;
    }

    void click(const char* name) const {
        QTest::mouseClick(control<QAbstractButton>(*window, name), Qt::LeftButton);
    }

    // Types a text into a box as the user would, replacing what it held.
    void type(const char* name, const QString& text) const {
        QLineEdit* edit = box(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    // Chooses an entry of a list as the user would.
    static void choose(QComboBox* list, int index) {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    // Opens (or saves) a race file as the user does, the chooser answered with it.
    void openFile(const QString& file) { clickWithFile("cmdopen", file); }
    void saveFile(const QString& file) { clickWithFile("cmdsave", file); }
    void clickWithFile(const char* button, const QString& file) {
        dialogs.answerFile(file);
        click(button);
    }

    // Clocks the bird on screen, answering the member question.
    void clock(bool anotherBird = true) {
        dialogs.answerYesNo(anotherBird);
        click("Picture1");
    }

    std::unique_ptr<pellamy::Pellamy> window;
};
