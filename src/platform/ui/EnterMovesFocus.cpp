#include "platform/ui/EnterMovesFocus.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

void EnterMovesFocus::Watch(QWidget* control) {
    control->installEventFilter(this);
}

bool EnterMovesFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    // A Tab to the control moves the focus as the window's focus chain says.
    const bool back = key->modifiers() & Qt::ShiftModifier;
    QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                  back ? Qt::ShiftModifier : Qt::NoModifier);
    QCoreApplication::sendEvent(watched, &tab);
    return true;
}
