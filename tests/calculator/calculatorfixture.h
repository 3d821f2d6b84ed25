#pragma once
// A calculator window on a distance database in a temporary program folder,
// with scripted dialogs.

#include "calculator/pellamy.h"
#include "racefile/recovery.h"

#include "support/controls.h"
#include "support/dialogcheck.h"
#include "support/distancedb.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeView>

using testsupport::control;

#include <gtest/gtest.h>

#include <memory>

class CalculatorTest : public testing::Test {
public:
    void TearDown() override { testsupport::expectDialogsHandled(dialogs); }

    QString databasePath() const { return dir.filePath("distances.mdb"); }

    void makeDatabase(const QVector<testsupport::Row>& rows) {
        testsupport::makeDistanceDatabase(databasePath(), rows);
    }

    pellamy::Pellamy& open() {
        window = std::make_unique<pellamy::Pellamy>(dir.path(), &dialogs);
        window->show();
        return *window;
    }

    // The window's controls by their names.
    QComboBox* list(const char* name) const { return control<QComboBox>(*window, name); }
    QPushButton* button(const char* name) const { return control<QPushButton>(*window, name); }
    QGroupBox* frame(const char* name) const { return control<QGroupBox>(*window, name); }
    QLineEdit* box(const char* name) const {
        return window->findChild<QLineEdit*>(QString::fromLatin1(name));
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

    // Clocks the bird on screen, answering the member question.
    void clock(bool anotherBird = true) {
        dialogs.answerYesNo(anotherBird);
        QTest::mouseClick(control<QAbstractButton>(*window, "Picture1"), Qt::LeftButton);
    }

    QTemporaryDir dir;
    pellamy::ScriptedDialogService dialogs;
    std::unique_ptr<pellamy::Pellamy> window;
};
