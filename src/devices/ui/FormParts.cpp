#include "devices/ui/FormParts.h"

#include "foundation/HelpLauncher.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QSpinBox* MakeSpin(QWidget* parent, const char* name, int minimum, int maximum, int value) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(minimum, maximum);
    s->setValue(value);
    return s;
}

QAction* MakeMenuItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

void DrawGrey(QWidget* w, bool grey) {
    QPalette p = w->palette();
    const QPalette app = QApplication::palette(w);
    p.setColor(QPalette::Active, QPalette::WindowText,
               grey ? app.color(QPalette::Disabled, QPalette::WindowText)
                    : app.color(QPalette::Active, QPalette::WindowText));
    p.setColor(QPalette::Inactive, QPalette::WindowText,
               p.color(QPalette::Active, QPalette::WindowText));
    w->setPalette(p);
}

bool DrawnGrey(const QWidget* w) {
    return w->palette().color(QPalette::Active, QPalette::WindowText) ==
           QApplication::palette(w).color(QPalette::Disabled, QPalette::WindowText);
}

void CloseHelpWhenLeft(QWidget* form, QEvent* event) {
    if (event->type() != QEvent::ActivationChange || form->isActiveWindow()) return;
    QWidget* active = QApplication::activeWindow();
    if (active && active != form) AppHelp().CloseViewer();
}

bool MoveFocusOnEnter(QWidget* form, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    QWidget* from = QApplication::focusWidget();
    if (!from || from->window() != form->window()) return false;
    QWidget* to = from;
    const bool back = key->modifiers() & Qt::ShiftModifier;
    do {
        to = back ? to->previousInFocusChain() : to->nextInFocusChain();
    } while (to != from &&
             (!to->isVisible() || !to->isEnabled() || !(to->focusPolicy() & Qt::TabFocus)));
    to->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
    return true;
}
