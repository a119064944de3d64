#pragma once
// The popup menus a test makes a window show: whether one showed while an
// act ran (a menu the program runs in its own loop as well as one it leaves
// open), where it showed, and closed again either way.

#include <QPoint>

#include <functional>
#include <optional>

class QAbstractItemView;
class QWidget;

// The screen position of the menu that showed, or none.
std::optional<QPoint> MenuShownBy(const std::function<void()>& act);

// The control's window active again, as a closed menu leaves it, and the
// control with the focus; false when the focus does not come there.
bool GiveTheFocusBack(QWidget* control);

// A right click on the grid's current cell (its first one where it has none).
void RightClickTheCurrentCell(QAbstractItemView* grid);
