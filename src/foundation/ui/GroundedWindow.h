#pragma once
// A window that writes object data listens where the data module says that
// what it stands on may have moved, and closes when the rows it holds no
// longer stand there (another object, another file or reading, a row gone).

class HeldRows;
class QWidget;

// held lives as long as window.
void CloseWhenGroundMoves(QWidget* window, const HeldRows* held);
