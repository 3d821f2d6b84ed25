#pragma once
// What every window test needs: its controls by the names the forms give
// them, and at its end the check that each dialog the window showed was
// answered by the test's script and each message shown was looked at.

#include "platform/dialogs.h"
#include "support/testing.h"

#include <QTest>
#include <QtWidgets>

namespace testsupport {

template <typename T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        ADD_FAILURE() << "no control named " << name;
    return found;
}

// The one message of those given, the test failing on none or several.
inline QString onlyMessage(const QStringList& messages) {
    EXPECT_EQ(messages.size(), 1) << messages.join(u'\n').toStdString();
    return messages.value(0);
}

inline void expectDialogsHandled(const pellamy::ScriptedDialogService& dialogs) {
    EXPECT_EQ(dialogs.unanswered(), QStringList()) << "a dialog went unanswered";
    EXPECT_EQ(dialogs.unchecked(), QStringList()) << "a message the test did not look at";
    EXPECT_EQ(dialogs.unused(), QStringList()) << "a scripted answer no dialog took";
}

// A test whose dialogs are scripted, each of them answered by its end.
class DialogTest : public FolderTest {
protected:
    void TearDown() override { expectDialogsHandled(dialogs); }
    // Each dialog shown, as one text "kind|title|text", so that a test
    // compares them all at once.
    QStringList shown() const {
        QStringList out;
        for (const pellamy::ScriptedDialogService::Shown& d : dialogs.shown())
            out << d.kind + u'|' + d.title + u'|' + d.text;
        return out;
    }
    // The messages shown since the last look, which are then forgotten.
    QStringList takeMessages() {
        const QStringList texts = dialogs.messages();
        dialogs.clear();
        return texts;
    }
    // The one message shown since the last look (none or several fail the test).
    QString takeMessage() { return onlyMessage(takeMessages()); }
    pellamy::ScriptedDialogService dialogs;
};

} // namespace testsupport
