#pragma once
// Where a window stands on its screen.

class QWidget;

// Moves a window that stands past an edge of its screen back onto it, frame
// included, as far as it fits; a hidden, maximized or full-screen window is
// left where it is.
void KeepOnScreen(QWidget* window);
