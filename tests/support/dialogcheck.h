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

} // namespace testsupport
