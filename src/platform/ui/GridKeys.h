#pragma once
// The keyboard every grid and list of the program keeps. Tab and Shift+Tab
// leave it for the next and previous control of its window, as they leave any
// other control, from a cell being edited too (the cell is stored first); the
// arrows, Home/End and PageUp/PageDown move within it. A grid with the focus
// is ringed in the highlight colour, an empty one too; one that takes the
// focus from the keyboard with no current cell is given its first one, so
// the focus frame shows where typing and the commands on "the current row" act.
// Shift+F10 and the Menu key open the grid's popup menu at its current cell,
// as a right click opens it.
//
// Every grid and list is a KeyboardGrid: the grid classes derive from it, and
// a form making a plain view makes KeyboardGrid<QTableView> and the like.

#include <QAbstractItemDelegate>
#include <QAbstractItemView>

#include <type_traits>
#include <utility>

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

  protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        const GridKeys::EditorEnd end = GridKeys::EndOfEditor(hint);
        View::closeEditor(editor, end.hint);
        if (end.leave != 0) this->focusNextPrevChild(end.leave > 0);
    }
};
