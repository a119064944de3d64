#include "support/PopupMenus.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {

// How often a menu run in its own loop is looked for.
constexpr int kLookEveryMs = 5;
// How long a window may take to be active again on a busy machine.
constexpr int kRegainMs = 5000;

bool closeShownMenu(std::optional<QPoint>& shown) {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return false;
    shown = menu->pos();
    menu->close();
    return true;
}

}  // namespace

std::optional<QPoint> MenuShownBy(const std::function<void()>& act) {
    std::optional<QPoint> shown;
    QTimer watch;
    watch.setInterval(kLookEveryMs);
    QObject::connect(&watch, &QTimer::timeout, [&shown] { closeShownMenu(shown); });
    watch.start();
    act();
    QCoreApplication::processEvents();
    closeShownMenu(shown);
    QCoreApplication::processEvents();
    return shown;
}

// A menu shows as a window of its own, which the desktop may make active,
// late on a busy machine: the control's window is asked to be active again.
bool GiveTheFocusBack(QWidget* control) {
    for (int i = 0; i < 3 && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
    control->window()->activateWindow();
    control->setFocus(Qt::TabFocusReason);
    return QTest::qWaitFor(
        [control] {
            if (QApplication::focusWidget() != control) control->setFocus(Qt::TabFocusReason);
            return QApplication::activeWindow() == control->window() &&
                   QApplication::focusWidget() == control;
        },
        kRegainMs);
}

void RightClickTheCurrentCell(QAbstractItemView* grid) {
    QModelIndex cell = grid->currentIndex();
    if (!cell.isValid() && grid->model()) cell = grid->model()->index(0, 0, grid->rootIndex());
    const QPoint at = cell.isValid() ? grid->visualRect(cell).center() : QPoint(1, 1);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(grid->viewport(), &click);
}
