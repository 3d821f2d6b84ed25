#pragma once
// The end of every window test: each dialog the window showed was answered
// by the test's script, and each message shown was looked at by the test.

#include "platform/dialogs.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace testsupport {

inline void expectDialogsHandled(const pellamy::ScriptedDialogService& dialogs) {
    EXPECT_EQ(dialogs.unanswered(), QStringList()) << "a dialog went unanswered";
    EXPECT_EQ(dialogs.unchecked(), QStringList()) << "a message the test did not look at";
}

// Each dialog shown, as one text "kind|title|text", so that a test compares
// them all at once.
inline QStringList shownDialogs(const pellamy::ScriptedDialogService& dialogs) {
    QStringList out;
    for (const pellamy::ScriptedDialogService::Shown& d : dialogs.shown())
        out << d.kind + u'|' + d.title + u'|' + d.text;
    return out;
}

} // namespace testsupport
