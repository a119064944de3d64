#pragma once
// The keyboard walk of a window, as an operator without a mouse makes it:
// Tab (or Shift+Tab) pressed from the control that has the focus until the
// focus comes back there, and what a window must offer such an operator:
//   - the controls the walk must reach: every visible, enabled control that
//     takes input, less those left out on purpose (each with its reason);
//   - no trap: each Tab moves the focus, and the walk comes back;
//   - every stop shows the focus: an input control, a grid standing on a cell;
//   - reading order: within each group (a widget or a layout holding
//     others) the stops run top to bottom and left to right.
// Where a window gives Tab a job of its own in a group of controls, the walk checks
// that Tab stays in the group and goes on past it along the focus chain.
// A command on a grid that a click or a double click on a cell or a click on a
// column's title runs has its keys too.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

using WidgetTest = std::function<bool(const QWidget*)>;

// Controls Tab does not reach on purpose, and why.
struct LeftOut {
    QString reason;
    WidgetTest matches;
};

// A group of controls where Tab keeps the focus, as its window wants.
struct TabInAGroup {
    QString rule;
    WidgetTest holds;
};

struct TabWalk {
    QList<QWidget*> stops;  // in the order reached, the first where it began
    QStringList faults;
};

// "QPushButton BitSave 'Сохранить' at (10,20)": for messages.
QString Describe(const QWidget* w);

// Presses Tab (forward) or Shift+Tab from the focused control of window.
TabWalk WalkWithTab(QWidget* window, bool forward, const QList<TabInAGroup>& groups = {});

// The visible, enabled controls of window that take input, less those left out.
QList<QWidget*> ControlsForTheKeyboard(QWidget* window, const QList<LeftOut>& leftOut);

// Whether the walk reached w: w itself, or for a radio button its group
// (Tab stops at one button of a group; the arrows choose within it).
bool Reached(const QList<QWidget*>& stops, const QWidget* w);

// The grids among the stops whose popup menu a right click on the current
// cell opens and Shift+F10 or the Menu key does not, as messages.
QStringList MenusOnlyAClickOpens(const QList<QWidget*>& stops);

// The clicks of a grid a command may hang on.
enum class GridClick { Cell, DoubleCell, Title };

// A grid's click whose command is given no key on purpose, and why.
struct ClickLeftOut {
    GridClick click;
    LeftOut control;
};

// The item views of window, shown or not, where a click or a double click on a
// cell or a click on a column's title runs a command and no key was given to
// do the same (GridKeys::ClickBy, DoubleClickBy, TitleClickBy), as messages;
// those left out on purpose are not looked at. A command on `activated` needs
// no key of its own: the view emits it for Enter itself.
QStringList ClicksNoKeyGives(QWidget* window, const QList<ClickLeftOut>& leftOut);

// The stops of a forward walk that break the reading order, as messages;
// the walk is read from its first stop in the focus chain after origin (the
// window, or the screen the walk is on).
QStringList OutOfReadingOrder(QWidget* window, QWidget* origin, const QList<QWidget*>& stops);
