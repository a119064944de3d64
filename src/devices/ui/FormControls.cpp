#include "devices/ui/FormControls.h"

#include "foundation/HelpLauncher.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"

#include <QApplication>
#include <QKeyEvent>
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
