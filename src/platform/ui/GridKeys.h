#pragma once
// The keyboard every grid and list of the program keeps. Tab and Shift+Tab
// leave it for the next and previous control of its window, as they leave any
// other control, from a cell being edited too (the cell is stored first); the
// arrows, Home/End and PageUp/PageDown move within it. A grid with the focus
// is ringed in the highlight colour, an empty one too; one that takes the
// focus from the keyboard with no current cell is given its first one, so
// the focus frame shows where typing and the commands on "the current row" act.
// Shift+F10 and the Menu key open the grid's popup menu at its current cell,
// as a right click opens it. A click or a double click on a cell and a click on
// a column's title are given keys where they run a command (ClickBy,
// DoubleClickBy, TitleClickBy).
//
// Every grid and list is a KeyboardGrid: the grid classes derive from it, and
// a form making a plain view makes KeyboardGrid<QTableView> and the like. Its
// cells keep long texts from the file in bounds (GridCells).

#include "platform/ui/GridCells.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QKeyCombination>
#include <QList>

#include <functional>
#include <type_traits>
#include <utility>

class QTableView;

namespace GridKeys {

// Tab off the cells, the focus ring, and a current cell on a keyboard focus.
void Apply(QAbstractItemView* view);

// How a cell editor closed by its delegate ends: Tab and Shift+Tab close it
// with no hint and leave the grid (leave +1 forward, -1 backward) instead of
// opening the next cell; any other end is the view's own.
struct EditorEnd {
    QAbstractItemDelegate::EndEditHint hint = QAbstractItemDelegate::NoHint;
    int leave = 0;
};
EditorEnd EndOfEditor(QAbstractItemDelegate::EndEditHint hint);

// Enter, from either key; and Enter or Space.
inline const QList<QKeyCombination> kEnter = {Qt::Key_Return, Qt::Key_Enter};
inline const QList<QKeyCombination> kEnterOrSpace = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space};

// Keys that do on the current cell what a double click does on a cell: the
// view emits its doubleClicked for them, so every command a double click
// runs, runs for the key too. Where `when` is given, the keys do it only while
// it holds, and are the view's own otherwise. A key the window itself takes on
// the view first stays the window's; a key given to two clicks gives the first
// of double click, click, title click.
void DoubleClickBy(QAbstractItemView* view, const QList<QKeyCombination>& keys,
                   std::function<bool()> when = {});
// Likewise keys that do on the current cell what a click on it does: the view
// emits its clicked for them (an item widget's own click signals follow it).
void ClickBy(QAbstractItemView* view, const QList<QKeyCombination>& keys,
             std::function<bool()> when = {});
// Likewise keys that do on the current cell's column what a click on the
// column's title does: the header emits its sectionClicked for them. Where
// the view marks whole rows, a frame marks its current cell while the keys
// work, for the column to be seen.
void TitleClickBy(QTableView* view, const QList<QKeyCombination>& keys,
                  std::function<bool()> when = {});

// The keys given to a view's double click, its click and its titles' click;
// none where none were.
QList<QKeyCombination> DoubleClickKeys(const QAbstractItemView* view);
QList<QKeyCombination> ClickKeys(const QAbstractItemView* view);
QList<QKeyCombination> TitleClickKeys(const QAbstractItemView* view);

}  // namespace GridKeys

template <class View>
class KeyboardGrid : public View {
  public:
    // The view's own constructors (a grid is never copied nor moved).
    template <class... Args>
    requires std::is_constructible_v<View, Args...>
    explicit KeyboardGrid(Args&&... args) : View(std::forward<Args>(args)...) {
        GridKeys::Apply(this);
    }

    // A column fitting its contents fits an ordinary long name at most.
    int sizeHintForColumn(int column) const override {
        return GridCells::CappedWidth(this, View::sizeHintForColumn(column));
    }

  protected:
    bool viewportEvent(QEvent* event) override {
        return GridCells::ShowToolTip(this, event) || View::viewportEvent(event);
    }

    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        const GridKeys::EditorEnd end = GridKeys::EndOfEditor(hint);
        View::closeEditor(editor, end.hint);
        if (end.leave != 0) this->focusNextPrevChild(end.leave > 0);
    }
};
