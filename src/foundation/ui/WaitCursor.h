#pragma once
// The hourglass while a long operation runs on the user-interface thread; the
// cursor comes back on every way out of the scope.

#include <QApplication>
#include <QCursor>

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
