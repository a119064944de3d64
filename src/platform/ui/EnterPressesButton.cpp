#include "platform/ui/EnterPressesButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace {

// Enter alone: with Ctrl, Alt or Shift the key keeps the meaning the screen gives it.
bool isPlainEnter(const QKeyEvent* key) {
    const Qt::KeyboardModifiers others = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           others == Qt::NoModifier;
}

}  // namespace

// A key the focused widget leaves unused goes on to its parents: that it
// reaches a parent of a focused push button means nothing took it there. A
// button outside a dialog does not take Enter unless it is a default one.
bool EnterPressesButton::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    if (!isPlainEnter(static_cast<const QKeyEvent*>(event))) return false;
    auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
    auto* parent = qobject_cast<QWidget*>(watched);
    if (!button || !parent || parent == button || !parent->isAncestorOf(button)) return false;
    if (!button->isEnabled() || !button->isVisible()) return false;
    button->click();
    return true;
}
