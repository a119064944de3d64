#pragma once
// The popup menus a test makes a window show: whether one showed while an
// act ran (a menu the program runs in its own loop as well as one it leaves
// open), where it showed, and closed again either way.

#include <QPoint>

#include <functional>
#include <optional>

class QAbstractItemView;

// The screen position of the menu that showed, or none.
std::optional<QPoint> MenuShownBy(const std::function<void()>& act);

// A right click on the grid's current cell (its first one where it has none).
void RightClickTheCurrentCell(QAbstractItemView* grid);
