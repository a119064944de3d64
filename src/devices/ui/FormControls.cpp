#include "devices/ui/FormControls.h"

#include "foundation/HelpLauncher.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>

#include <memory>
#include <optional>

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

void ShowWindow(QWidget* form) {
    if (!form) return;
    form->show();
    form->raise();
}

QSpinBox* MakeSpin(QWidget* parent, const char* name, int min, int max, int value, int step) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(min, max);
    spin->setSingleStep(step);
    spin->setValue(value);
    return spin;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
}

ElidedLabel* MakeNameLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new ElidedLabel(text, parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QAction* MakeMenuItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

void SetBold(QWidget* w, bool bold) {
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

void DrawGrey(QWidget* w, bool grey) {
    QPalette p = w->palette();
    const QPalette app = QApplication::palette(w);
    const QColor colour = grey ? app.color(QPalette::Disabled, QPalette::WindowText)
                               : app.color(QPalette::Active, QPalette::WindowText);
    p.setColor(QPalette::Active, QPalette::WindowText, colour);
    p.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    w->setPalette(p);
}

bool DrawnGrey(const QWidget* w) {
    return w->palette().color(QPalette::Active, QPalette::WindowText) ==
           QApplication::palette(w).color(QPalette::Disabled, QPalette::WindowText);
}

void CloseHelpOnDeactivate(QWidget* form, QEvent* event) {
    if (event->type() != QEvent::ActivationChange || form->isActiveWindow()) return;
    // Losing the focus to the help viewer itself keeps it open.
    QWidget* active = QApplication::activeWindow();
    if (active && active != form) AppHelp().CloseViewer();
}

ProgressFn BusyProgress() {
    auto wait = std::make_shared<std::optional<WaitCursor>>();
    return [wait, gauge = ProgressGauge()](int value, int maximum, bool visible) {
        if (visible && !wait->has_value()) wait->emplace();
        gauge(value, maximum, visible);
        if (!visible) wait->reset();
    };
}
