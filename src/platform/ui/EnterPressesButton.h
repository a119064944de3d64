#pragma once
// The keyboard convention of the platform the screens come from: Enter on a
// focused push button presses it, on a work screen as in a dialog. Installed
// once on the application; a button or a form that gives Enter a meaning of
// its own keeps it, since only an Enter that the focused button left unused
// is taken.

#include <QObject>

class EnterPressesButton : public QObject {
  public:
    explicit EnterPressesButton(QObject* parent) : QObject(parent) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
