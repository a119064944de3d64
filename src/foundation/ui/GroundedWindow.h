#pragma once
// A window that writes object data listens where the data module says that
// what it stands on may have moved, and closes when the rows it holds no
// longer stand there (another object, another file or reading, a row gone).
// A screen of the main window that holds an operator's unsaved work (values
// typed, a mode begun) listens there too, and drops that work.

#include <functional>

class HeldRows;
class QWidget;

// held lives as long as window.
void CloseWhenGroundMoves(QWidget* window, const HeldRows* held);

// drop shows the screen's rows from the file again, ending what the operator
// began on them, so that no save writes it where the rows have moved. It runs
// once the road that moved them is over (the file open again), and only on a
// shown screen: a hidden one reads its rows anew when it is shown.
void DropWorkWhenGroundMoves(QWidget* screen, std::function<void()> drop);
