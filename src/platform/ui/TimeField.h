#pragma once
// The program's hours-and-minutes field ("HH:mm"). Tab leaves it as it leaves
// every other field, instead of stepping from the hours to the minutes; the
// arrows Left and Right move between them, Up and Down change the one the
// caret stands in.

#include <QTimeEdit>

class TimeField : public QTimeEdit {
  public:
    explicit TimeField(QWidget* parent = nullptr) : QTimeEdit(parent) {
        setDisplayFormat(QStringLiteral("HH:mm"));
    }

  protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};
