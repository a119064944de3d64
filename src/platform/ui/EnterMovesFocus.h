#pragma once
// The editors' keyboard convention: Enter in a watched control moves the focus
// to the next control of its window and Shift+Enter to the previous one; the
// key is swallowed.

#include <QObject>

class QEvent;
class QWidget;

class EnterMovesFocus : public QObject {
  public:
    explicit EnterMovesFocus(QObject* parent) : QObject(parent) {}
    void Watch(QWidget* control);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
