#pragma once
// The cells of every grid and list show texts read from the file, which may
// be of any length. A column that fits its contents grows to the room of an
// ordinary long name and no further; a cell whose text does not fit shows
// its start and an ellipsis, and the whole text is its tool tip. KeyboardGrid
// (GridKeys.h) gives this to every grid.

#include <QString>

class QAbstractItemView;
class QEvent;
class QModelIndex;

namespace GridCells {

// The most characters a column fitting its contents is given room for.
constexpr int kColumnCharacters = 60;

// A column's width for its contents, wanted: no more than that room.
int CappedWidth(const QAbstractItemView* view, int wanted);
// The whole text of a cell whose text does not fit it; empty for one that fits.
QString ToolTip(const QAbstractItemView* view, const QModelIndex& index);
// Shows the whole text of the cell a tool-tip event points at when it does
// not fit; false for any other event, a cell that fits and a cell with a
// tool tip of its own, which the view shows as it would.
bool ShowToolTip(QAbstractItemView* view, QEvent* event);

}  // namespace GridCells
