#pragma once

#include <QGuiApplication>

// The wait cursor over the program's windows for as long as a long operation
// runs, and the previous cursor back afterwards, also when it throws.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
