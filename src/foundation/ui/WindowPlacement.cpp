#include "foundation/ui/WindowPlacement.h"

#include "foundation/MainWindowLogic.h"

#include <QScreen>
#include <QWidget>

void KeepOnScreen(QWidget* window) {
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen || !window->isVisible() || window->isMaximized() || window->isFullScreen()) return;
    const QRect frame = window->frameGeometry();
    const QRect kept = MainWindowLogic::KeepWithin(frame, screen->availableGeometry());
    if (kept != frame) window->move(kept.topLeft());
}
