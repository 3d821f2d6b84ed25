#pragma once
// Finds a window's control by its name, the name its form gives it.

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

namespace testsupport {

template <typename T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        ADD_FAILURE() << "no control named " << name;
    return found;
}

} // namespace testsupport
